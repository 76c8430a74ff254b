#include <gtest/gtest.h>

#include <algorithm>

#include "app/FontCacheUnit.h"
#include "tests/app/AppTestSupport.h"

namespace {

using namespace app_testing;
using app::TCacheStep;
using platform::TServiceState;

const std::string Local = "C:\\Windows\\ServiceProfiles\\LocalService\\AppData\\Local";
const std::string CacheFolder = Local + "\\FontCache";
const std::string SystemCache = "C:\\Windows\\System32\\FNTCACHE.DAT";
const std::string CloudFont = "C:\\Users\\Tester\\AppData\\Local\\Microsoft\\FontCache\\4\\CloudFonts\\Aptos\\1.ttf";

class TLines final : public app::IResultsLog {
public:
    void Add(const std::string& Line) override { Lines.push_back(Line); }
    std::vector<std::string> Lines;
};

// A Windows 10 machine's caches, with neighbours the reset must leave alone.
struct TCacheMachine : TMachine {
    explicit TCacheMachine(bool Wpf = true)
    {
        ServiceControl.Add("FontCache");
        if (Wpf)
            ServiceControl.Add("FontCache3.0.0.0", {TServiceState::Running, 5000, false, false});
        for (const char* Name : {"~FontCache-System.dat", "~FontCache-S-1-5-21-7.dat", "lastalive0.dat"})
            Files.PutFile(CacheFolder + "\\" + Name, "cache");
        Files.PutFile(Local + "\\FontCache3.0.0.0.dat", "wpf");
        Files.PutFile(SystemCache, "gdi");
        Files.PutFile(CloudFont, "cloud");
    }
    app::TFontCacheResult Reset(bool DryRun = false) { return app::ResetFontCache(Platform(), DryRun, Log); }
    TLines Log;
};

TEST(FontCache, AResetStopsDeletesTheCachesOnlyAndStartsAgain)
{
    TCacheMachine M;
    const app::TFontCacheResult Result = M.Reset();
    EXPECT_TRUE(Result.Complete);
    EXPECT_FALSE(Result.RestartNeeded);
    EXPECT_EQ(M.ServiceControl.Requests, (std::vector<std::string>{"stop FontCache", "stop FontCache3.0.0.0",
                                                              "start FontCache", "start FontCache3.0.0.0"}));
    EXPECT_EQ(M.ServiceControl.QueryState("fontcache"), TServiceState::Running);
    EXPECT_FALSE(M.Files.FileExists(CacheFolder + "\\~FontCache-System.dat"));
    EXPECT_FALSE(M.Files.FileExists(Local + "\\FontCache3.0.0.0.dat"));
    EXPECT_FALSE(M.Files.FileExists(SystemCache));
    EXPECT_TRUE(M.Files.FileExists(CacheFolder + "\\lastalive0.dat"));
    EXPECT_TRUE(M.Files.FileExists(CloudFont));
    EXPECT_EQ(M.Log.Lines.front(), "Stopped the service FontCache.");
    EXPECT_EQ(M.Log.Lines[5], "Deleted the font cache file C:\\Windows\\System32\\FNTCACHE.DAT.");
    EXPECT_EQ(M.Log.Lines.size(), 2u + 4u + 2u + 1u);
    EXPECT_EQ(M.Log.Lines.back(), "The font cache was reset. Windows builds it again as programs use fonts.");

    // Nothing left to do: the caches are gone, and a service that was not
    // running stays so.
    TCacheMachine Again;
    Again.Reset();
    Again.ServiceControl.Add("FontCache3.0.0.0", {TServiceState::Stopped, 0, false, false});
    Again.Log.Lines.clear();
    EXPECT_TRUE(Again.Reset().Complete);
    EXPECT_EQ(Again.Log.Lines[1], "The service FontCache3.0.0.0 was not running.");
    EXPECT_EQ(Again.Log.Lines[2], "No font cache files were found.");
    EXPECT_EQ(Again.ServiceControl.QueryState("FontCache3.0.0.0"), TServiceState::Stopped);
}

TEST(FontCache, AFileInUseIsDeletedAtRestartAndAMissingServiceIsSkipped)
{
    TCacheMachine M(false);
    M.Files.HoldOpen(SystemCache, platform::TSimulatedFileSystem::THold::ForWriting);
    const app::TFontCacheResult Result = M.Reset();
    EXPECT_FALSE(Result.Complete);
    EXPECT_TRUE(Result.RestartNeeded);
    EXPECT_EQ(M.Files.RemovedAtRestart, std::vector<std::string>{SystemCache});
    EXPECT_EQ(M.Log.Lines[1], "The service FontCache3.0.0.0 does not exist on this system; skipped.");
    EXPECT_NE(std::find(M.Log.Lines.begin(), M.Log.Lines.end(),
                        "Could not delete the font cache file C:\\Windows\\System32\\FNTCACHE.DAT now; it will be "
                        "deleted when Windows restarts."),
              M.Log.Lines.end());
    EXPECT_EQ(M.Log.Lines.back(), "Restart Windows to complete the reset of the font cache.");

    M.Files.RefuseRemovalAtRestart = true;
    M.Log.Lines.clear();
    EXPECT_FALSE(M.Reset().RestartNeeded);
    EXPECT_EQ(M.Log.Lines[2], "Warning: Could not delete the font cache file C:\\Windows\\System32\\FNTCACHE.DAT.");
}

TEST(FontCache, ServicesThatRefuseOrAreSlowLeaveTheFilesForTheRestart)
{
    TCacheMachine Refusing;
    Refusing.ServiceControl.Find("FontCache")->RefuseStop = true;
    Refusing.ServiceControl.Find("FontCache3.0.0.0")->StopMilliseconds = 31000;
    Refusing.ServiceControl.Find("FontCache3.0.0.0")->RefuseStart = true;
    const app::TFontCacheResult Result = Refusing.Reset();
    EXPECT_TRUE(Result.RestartNeeded);
    EXPECT_EQ(Refusing.Log.Lines[0], "Warning: Could not stop the service FontCache.");
    EXPECT_EQ(Refusing.Log.Lines[1], "Warning: The service FontCache3.0.0.0 did not stop within 30 seconds.");
    // Every cache still there, each to go at the restart; only the service
    // that was asked to stop is started again.
    EXPECT_TRUE(Refusing.Files.FileExists(SystemCache));
    EXPECT_EQ(Refusing.Files.RemovedAtRestart.size(), 4u);
    EXPECT_EQ(Refusing.ServiceControl.Requests.back(), "start FontCache3.0.0.0");
    EXPECT_EQ(Refusing.Log.Lines.end()[-2], "Warning: Could not start the service FontCache3.0.0.0 again.");
}

TEST(FontCache, WithoutRightsOrInADryRunNothingChanges)
{
    TCacheMachine User;
    User.System.Administrator = false;
    EXPECT_TRUE(User.Reset().Refused);
    EXPECT_EQ(User.Log.Lines, std::vector<std::string>{
                                  "The font cache can only be reset with administrator rights. Nothing was changed."});
    EXPECT_TRUE(User.ServiceControl.Requests.empty());
    EXPECT_TRUE(User.Files.FileExists(SystemCache));

    TCacheMachine Dry;
    const app::TFontCacheResult Result = Dry.Reset(true);
    EXPECT_TRUE(Result.Complete);
    EXPECT_TRUE(Dry.ServiceControl.Requests.empty());
    EXPECT_TRUE(Dry.Files.FileExists(SystemCache));
    EXPECT_EQ(Dry.Log.Lines.front(), "Would stop the service FontCache.");
    EXPECT_EQ(Dry.Log.Lines.back(), "Would start the service FontCache3.0.0.0 again.");
    EXPECT_EQ(Result.Steps.size(), 2u + 4u + 2u);
}

TEST(FontCache, ALinkPlantedAmongTheCachesIsNotFollowed)
{
    // The simulated machine's links are the host's: the MinGW build's host
    // is Wine, which makes none.
#ifndef _WIN32
    TCacheMachine M;
    M.Files.PutFile("C:\\Users\\Tester\\precious.dat", "keep");
    M.Files.PutLink(CacheFolder + "\\~FontCache-Planted.dat", "C:\\Users\\Tester\\precious.dat");
    const app::TFontCacheResult Result = M.Reset();
    EXPECT_FALSE(Result.Complete);
    EXPECT_TRUE(M.Files.FileExists("C:\\Users\\Tester\\precious.dat"));
    EXPECT_TRUE(M.Files.FileExists(CacheFolder + "\\~FontCache-Planted.dat"));
    EXPECT_NE(std::find(M.Log.Lines.begin(), M.Log.Lines.end(),
                        "Warning: Skipped " + CacheFolder + "\\~FontCache-Planted.dat: it leads out of its folder."),
              M.Log.Lines.end());
#endif
    EXPECT_TRUE(app::IsFontCacheFileName("~fontcache-system.DAT"));
    EXPECT_FALSE(app::IsFontCacheFileName("FontCache.dat.bak"));
    EXPECT_FALSE(app::IsFontCacheFileName("lastalive0.dat"));
}

}  // namespace
