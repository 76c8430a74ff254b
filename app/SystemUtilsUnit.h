// The system locations and shell services the application core uses.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace app {

// The Fonts key below HKEY_LOCAL_MACHINE for the running platform family,
// with the leading backslash that makes it absolute.
std::string GetFontsRegistryKey(platform::ISystemInfo& System);
// Without a trailing backslash; empty text when the shell cannot name it.
std::string GetFontsFolder(platform::IShell& Shell);
std::string GetWindowsFolder(platform::IFileSystem& Files);
// Moves the files to the recycle bin without asking. True when the shell
// moved them: not when the user cancelled, and not when the shell reported a
// failure. The paths go to the shell apart: a path may hold a ";", a legal
// file name character, so no list of paths is ever one text.
bool ShellDeleteFiles(platform::IShell& Shell, platform::TWindowHandle Owner, const std::vector<std::string>& Paths);

}  // namespace app
