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
// Moves the files named in Paths (one path, or several separated by ";") to
// the recycle bin without asking. True when the shell moved them: not when
// the user cancelled, and not when the shell reported a failure.
bool ShellDeleteFiles(platform::IShell& Shell, platform::TWindowHandle Owner, const std::string& Paths);
// The same for paths already apart. A path of its own may hold a ";" (a
// legal file name character), so single files are never passed as text.
bool ShellDeleteFiles(platform::IShell& Shell, platform::TWindowHandle Owner, const std::vector<std::string>& Paths);

}  // namespace app
