#include "app/FontCacheUnit.h"

#include <algorithm>

#include "app/SystemUtilsUnit.h"
#include "base/AsciiText.h"
#include "base/Format.h"

namespace app {

using base::FormatText;
using platform::TServiceState;
using TResult = TCacheStep::TResult;

namespace {

constexpr int WaitSeconds = static_cast<int>(ServiceWaitMilliseconds / 1000);

// Below the Windows folder. The service of Windows 8 and later keeps its
// files (~FontCache-System.dat, ~FontCache-S-1-5-21-....dat,
// ~FontCache-FontFace.dat) in the profile's FontCache folder; that of
// Windows 7 kept them (FontCache-System.dat, FontCache-S-....dat) in the
// profile's Local folder itself, where the Presentation Foundation's
// service keeps FontCache3.0.0.0.dat on every version.
constexpr std::string_view ServiceLocal = "\\ServiceProfiles\\LocalService\\AppData\\Local";
constexpr std::string_view ServiceCacheFolders[] = {"\\ServiceProfiles\\LocalService\\AppData\\Local\\FontCache",
                                                    ServiceLocal};
constexpr std::string_view SystemCacheFile = "\\System32\\FNTCACHE.DAT";

// A cache file as the folder listing names it, and where it must lie once
// every link and junction is resolved.
struct TCacheFile {
    std::string Path;
    std::string Expected;
};

class TReset {
public:
    TReset(const platform::TPlatform& Platform, bool DryRun, IResultsLog& Log)
        : FPlatform(Platform), FDryRun(DryRun), FLog(Log)
    {
    }

    TFontCacheResult Run();

private:
    void Step(TCacheStep::TKind Kind, const std::string& Name, TResult Result, const std::string& Line)
    {
        FResult.Steps.push_back({Kind, Name, Result});
        FLog.Add(Line);
    }
    void StopServices();
    std::vector<TCacheFile> FindCacheFiles(const std::string& Windows);
    void DeleteCacheFile(const TCacheFile& File);
    void StartServices();

    const platform::TPlatform& FPlatform;
    const bool FDryRun;
    IResultsLog& FLog;
    TFontCacheResult FResult;
    std::vector<std::string> FStopped;
    // A service that may still hold its files: they are only deleted at
    // the next start of Windows, before it runs.
    bool FServiceStillRunning = false;
};

void TReset::StopServices()
{
    for (const std::string_view Service : FontCacheServices) {
        const std::string Name(Service);
        const TServiceState State = FPlatform.Services.QueryState(Name);
        if (State == TServiceState::Missing) {
            Step(TCacheStep::StopService, Name, TResult::Missing,
                 FormatText("The service %s does not exist on this system; skipped.", {Name}));
        } else if (State == TServiceState::Stopped) {
            Step(TCacheStep::StopService, Name, TResult::NotRunning,
                 FormatText("The service %s was not running.", {Name}));
        } else if (State == TServiceState::Unknown) {
            FServiceStillRunning = true;
            Step(TCacheStep::StopService, Name, TResult::Failed,
                 FormatText("Warning: Could not query the state of the service %s.", {Name}));
        } else if (FDryRun) {
            FStopped.push_back(Name);
            Step(TCacheStep::StopService, Name, TResult::Planned, FormatText("Would stop the service %s.", {Name}));
        } else if (!FPlatform.Services.Stop(Name)) {
            FServiceStillRunning = true;
            Step(TCacheStep::StopService, Name, TResult::Failed,
                 FormatText("Warning: Could not stop the service %s.", {Name}));
        } else {
            // Asked to stop: started again even when it is slow to go.
            FStopped.push_back(Name);
            if (FPlatform.Services.WaitForState(Name, TServiceState::Stopped, ServiceWaitMilliseconds)) {
                Step(TCacheStep::StopService, Name, TResult::Done, FormatText("Stopped the service %s.", {Name}));
            } else {
                FServiceStillRunning = true;
                Step(TCacheStep::StopService, Name, TResult::TimedOut,
                     FormatText("Warning: The service %s did not stop within %d seconds.", {Name, WaitSeconds}));
            }
        }
    }
}

std::vector<TCacheFile> TReset::FindCacheFiles(const std::string& Windows)
{
    // The final path of the Windows folder stands for it; below it nothing
    // may lead elsewhere, so that a link planted among the caches cannot
    // have another file deleted.
    const std::string FinalWindows = FPlatform.Files.FinalPath(Windows);
    std::vector<TCacheFile> Files;
    for (const std::string_view Folder : ServiceCacheFolders)
        for (const platform::TFolderEntry& Entry : FPlatform.Files.ListFolder(Windows + std::string(Folder)))
            if ((Entry.Attributes & platform::FileAttrDirectory) == 0 && IsFontCacheFileName(Entry.Name))
                Files.push_back({Windows + std::string(Folder) + "\\" + Entry.Name,
                                 FinalWindows + std::string(Folder) + "\\" + Entry.Name});
    const std::string System = Windows + std::string(SystemCacheFile);
    if (FPlatform.Files.FileExists(System))
        Files.push_back({System, FinalWindows + std::string(SystemCacheFile)});
    return Files;
}

void TReset::DeleteCacheFile(const TCacheFile& File)
{
    const std::string Final = FPlatform.Files.FinalPath(File.Path);
    if (Final.empty() || !base::SameTextAscii(Final, File.Expected)) {
        Step(TCacheStep::DeleteCacheFile, File.Path, TResult::Elsewhere,
             FormatText("Warning: Skipped %s: it leads out of its folder.", {File.Path}));
        return;
    }
    if (FDryRun) {
        Step(TCacheStep::DeleteCacheFile, Final, TResult::Planned, FormatText("Would delete the font cache file %s.", {Final}));
        return;
    }
    if (!FServiceStillRunning && FPlatform.Files.RemoveFile(Final)) {
        Step(TCacheStep::DeleteCacheFile, Final, TResult::Done, FormatText("Deleted the font cache file %s.", {Final}));
    } else if (FPlatform.Files.RemoveFileAtRestart(Final)) {
        FResult.RestartNeeded = true;
        Step(TCacheStep::DeleteCacheFile, Final, TResult::AtRestart,
             FormatText("Could not delete the font cache file %s now; it will be deleted when Windows restarts.", {Final}));
    } else {
        Step(TCacheStep::DeleteCacheFile, Final, TResult::Failed,
             FormatText("Warning: Could not delete the font cache file %s.", {Final}));
    }
}

void TReset::StartServices()
{
    for (const std::string& Name : FStopped) {
        if (FDryRun)
            Step(TCacheStep::StartService, Name, TResult::Planned, FormatText("Would start the service %s again.", {Name}));
        else if (!FPlatform.Services.Start(Name))
            Step(TCacheStep::StartService, Name, TResult::Failed,
                 FormatText("Warning: Could not start the service %s again.", {Name}));
        else if (!FPlatform.Services.WaitForState(Name, TServiceState::Running, ServiceWaitMilliseconds))
            Step(TCacheStep::StartService, Name, TResult::TimedOut,
                 FormatText("Warning: The service %s did not start within %d seconds.", {Name, WaitSeconds}));
        else
            Step(TCacheStep::StartService, Name, TResult::Done, FormatText("Started the service %s again.", {Name}));
    }
}

TFontCacheResult TReset::Run()
{
    if (!FPlatform.System.IsAdministrator()) {
        FResult.Refused = true;
        FLog.Add("The font cache can only be reset with administrator rights. Nothing was changed.");
        return FResult;
    }
    const std::string Windows = GetWindowsFolder(FPlatform.Files);
    if (Windows.empty()) {
        FLog.Add("Warning: Could not determine the Windows folder. The font cache was not reset.");
        return FResult;
    }
    StopServices();
    const std::vector<TCacheFile> Files = FindCacheFiles(Windows);
    if (Files.empty())
        FLog.Add("No font cache files were found.");
    if (FServiceStillRunning && !FDryRun && !Files.empty())
        FLog.Add("A font cache service may still be using its files: they will be deleted when Windows restarts.");
    for (const TCacheFile& File : Files)
        DeleteCacheFile(File);
    StartServices();

    const bool AllDone = std::all_of(FResult.Steps.begin(), FResult.Steps.end(), [](const TCacheStep& Done) {
        return Done.Result != TResult::Failed && Done.Result != TResult::TimedOut && Done.Result != TResult::Elsewhere;
    });
    FResult.Complete = AllDone && !FResult.RestartNeeded;
    if (FResult.RestartNeeded)
        FLog.Add("Restart Windows to complete the reset of the font cache.");
    else if (FResult.Complete && !FDryRun)
        FLog.Add("The font cache was reset. Windows builds it again as programs use fonts.");
    return FResult;
}

}  // namespace

bool IsFontCacheFileName(std::string_view Name)
{
    const std::string Upper = base::UpperCaseAscii(Name);
    return Upper.size() >= 13 && Upper.ends_with(".DAT") &&
           Upper.substr(0, Upper.size() - 4).find("FONTCACHE") != std::string::npos;
}

TFontCacheResult ResetFontCache(const platform::TPlatform& Platform, bool DryRun, IResultsLog& Log)
{
    return TReset(Platform, DryRun, Log).Run();
}

}  // namespace app
