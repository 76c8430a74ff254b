#include "app/SystemUtilsUnit.h"

#include <vector>

namespace app {

std::string GetFontsRegistryKey(platform::ISystemInfo& System)
{
    if (System.Version().PlatformId == platform::PlatformWin32NT)
        return "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    return "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
}

std::string GetFontsFolder(platform::IShell& Shell) { return Shell.FontsFolder(); }

std::string GetWindowsFolder(platform::IFileSystem& Files) { return Files.WindowsFolder(); }

bool ShellDeleteFiles(platform::IShell& Shell, platform::TWindowHandle Owner, const std::vector<std::string>& Paths)
{
    const platform::TShellDeleteResult Result = Shell.DeleteFiles(Owner, Paths);
    // A failure the user did not cause is a failure all the same: a caller
    // that logs "Succesfully deleted" must not do so for a file still there.
    return !Result.Aborted && Result.Succeeded;
}

}  // namespace app
