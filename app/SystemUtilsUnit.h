// The system locations and shell services the application core uses.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace app {

// Where a font is installed: for every user of the machine (the Fonts key
// below HKEY_LOCAL_MACHINE and the Fonts folder), or for the current user
// alone (the Fonts key below HKEY_CURRENT_USER and the user font folder).
enum class TFontScope : std::uint8_t { Machine, User };

// "machine" or "user".
std::string_view ScopeName(TFontScope Scope);

// The Fonts key below HKEY_LOCAL_MACHINE for the running platform family,
// with the leading backslash that makes it absolute.
std::string GetFontsRegistryKey(platform::ISystemInfo& System);
// Without a trailing backslash; empty text when the shell cannot name it.
std::string GetFontsFolder(platform::IShell& Shell);
std::string GetWindowsFolder(platform::IFileSystem& Files);

// The current user's Fonts key below HKEY_CURRENT_USER, with the leading
// backslash.
std::string GetUserFontsRegistryKey();
// The user font folder, %LOCALAPPDATA%\Microsoft\Windows\Fonts; empty text
// when the shell cannot name the local application data folder.
std::string GetUserFontsFolder(platform::IShell& Shell);
// The scope's Fonts folder.
std::string GetScopeFontsFolder(platform::IShell& Shell, TFontScope Scope);
// The scope's Fonts key, or null when it cannot be opened so. The user's
// key is created when a change needs it: a user installs fonts of his own
// without anyone's leave.
std::unique_ptr<platform::IRegistryKey> OpenFontsKey(const platform::TPlatform& Platform, TFontScope Scope,
                                                     platform::TRegistryAccess Access);
// Moves the files to the recycle bin without asking. True when the shell
// moved them: not when the user cancelled, and not when the shell reported a
// failure. The paths go to the shell apart: a path may hold a ";", a legal
// file name character, so no list of paths is ever one text.
bool ShellDeleteFiles(platform::IShell& Shell, platform::TWindowHandle Owner, const std::vector<std::string>& Paths);

}  // namespace app
