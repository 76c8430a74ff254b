// The reset of the font caches of Windows 7 to 11: a command of its own,
// since Windows then builds its caches anew. It stops the Windows Font Cache
// service and, where it exists, the Windows Presentation Foundation one,
// deletes their cache files and FNTCACHE.DAT, and starts again the services
// it stopped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/FontsFolderUnit.h"
#include "platform/Platform.h"

namespace app {

// In the order they are stopped and started again.
inline constexpr std::string_view FontCacheServices[] = {"FontCache", "FontCache3.0.0.0"};
// How long a service may take to stop, or to start again.
inline constexpr std::uint32_t ServiceWaitMilliseconds = 30000;

struct TCacheStep {
    enum TKind : std::uint8_t { StopService, DeleteCacheFile, StartService };
    enum class TResult : std::uint8_t {
        Done,
        Planned,     // a dry run's
        Missing,     // no such service: skipped
        NotRunning,  // stopped already: neither stopped nor started
        Failed,
        TimedOut,
        AtRestart,   // the file is deleted when Windows next starts
        Elsewhere    // the file leads out of its folder: left alone
    };
    TKind Kind = StopService;
    // The service's name, or the file's path.
    std::string Name;
    TResult Result = TResult::Done;
};

struct TFontCacheResult {
    // Without administrator rights nothing is done.
    bool Refused = false;
    bool RestartNeeded = false;
    // Every step done (or, in a dry run, doable), and no restart needed.
    bool Complete = false;
    std::vector<TCacheStep> Steps;
};

// Whether a file name is one of the caches' (Windows' wildcard
// "*FontCache*.dat", without regard to ASCII case).
bool IsFontCacheFileName(std::string_view Name);

// Writes a line per step into the log. A dry run changes nothing and says
// what it would do.
TFontCacheResult ResetFontCache(const platform::TPlatform& Platform, bool DryRun, IResultsLog& Log);

}  // namespace app
