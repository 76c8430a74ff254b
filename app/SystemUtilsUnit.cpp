#include "app/SystemUtilsUnit.h"

#include <vector>

namespace app {

std::string GetFontsRegistryKey(platform::ISystemInfo& System)
{
    if (System.Version().PlatformId == platform::PlatformWin32NT)
        return "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    return "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
}

std::string_view ScopeName(TFontScope Scope) { return Scope == TFontScope::User ? "user" : "machine"; }

std::string GetFontsFolder(platform::IShell& Shell) { return Shell.FontsFolder(); }

std::string GetUserFontsRegistryKey() { return "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"; }

std::string GetUserFontsFolder(platform::IShell& Shell)
{
    const std::string LocalAppData = Shell.LocalAppDataFolder();
    return LocalAppData.empty() ? std::string() : LocalAppData + "\\Microsoft\\Windows\\Fonts";
}

std::string GetScopeFontsFolder(platform::IShell& Shell, TFontScope Scope)
{
    return Scope == TFontScope::User ? GetUserFontsFolder(Shell) : GetFontsFolder(Shell);
}

std::unique_ptr<platform::IRegistryKey> OpenFontsKey(const platform::TPlatform& Platform, TFontScope Scope,
                                                     platform::TRegistryAccess Access)
{
    if (Scope == TFontScope::Machine)
        return Platform.Registry.OpenLocalMachineKey(GetFontsRegistryKey(Platform.System), Access);
    if (Access == platform::TRegistryAccess::Full)
        return Platform.Registry.CreateKey(platform::TRegistryRoot::CurrentUser, GetUserFontsRegistryKey());
    return Platform.Registry.OpenKey(platform::TRegistryRoot::CurrentUser, GetUserFontsRegistryKey(), Access);
}

std::string GetWindowsFolder(platform::IFileSystem& Files) { return Files.WindowsFolder(); }

bool ShellDeleteFiles(platform::IShell& Shell, platform::TWindowHandle Owner, const std::vector<std::string>& Paths)
{
    const platform::TShellDeleteResult Result = Shell.DeleteFiles(Owner, Paths);
    // A failure the user did not cause is a failure all the same: a caller
    // that logs "Succesfully deleted" must not do so for a file still there.
    return !Result.Aborted && Result.Succeeded;
}

}  // namespace app
