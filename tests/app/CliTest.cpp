#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "tests/app/AppTestSupport.h"
#include "tools/cli/Cli.h"

using namespace app_testing;

namespace {

struct TRun {
    int Status = 0;
    std::string Out;
    std::string Err;
};

TRun RunCli(TMachine& M, std::vector<std::string> Arguments)
{
    std::ostringstream Out, Err;
    TRun Result;
    Result.Status = cli::RunCli(M.Services, Arguments, Out, Err);
    Result.Out = Out.str();
    Result.Err = Err.str();
    return Result;
}

void PlantProblems(TMachine& M)
{
    M.Files.PutFile(M.InFonts("bad.ttf"), std::string_view("not a font"));
    M.Register("Bad (TrueType)", "bad.ttf");
    M.Register("Gone (TrueType)", "gone.ttf");
    M.Registry.SetValue(FontsKey, "Number (TrueType)", platform::RegDword, {7, 0, 0, 0});
}

}  // namespace

TEST(Cli, ScanPrintsOneRowPerEntryAndChangesNothing)
{
    TMachine M;
    EXPECT_EQ(RunCli(M, {"scan"}).Out, "0 items\n");
    EXPECT_EQ(RunCli(M, {"scan"}).Status, cli::ExitClean);
    EXPECT_TRUE(RunCli(M, {"scan", "--time"}).Err.starts_with("scanned 0 items in "));
    PlantProblems(M);
    const TRun Text = RunCli(M, {"scan"});
    EXPECT_EQ(Text.Status, cli::ExitProblems);
    EXPECT_EQ(Text.Out, "Invalid Font\t\tBad (TrueType)\tC:\\Windows\\Fonts\\bad.ttf\tmachine\n"
                        "File not found\t\tGone (TrueType)\tC:\\Windows\\Fonts\\gone.ttf\tmachine\n"
                        "Wrong Registry Data Type\t\tNumber (TrueType)\t\tmachine\n"
                        "3 items\n");
    const TRun Json = RunCli(M, {"scan", "--json"});
    EXPECT_EQ(Json.Status, cli::ExitProblems);
    EXPECT_EQ(Json.Out, "{\"items\":[\n"
                        "{\"fontName\":\"\",\"registryName\":\"Bad (TrueType)\",\"fileName\":"
                        "\"C:\\\\Windows\\\\Fonts\\\\bad.ttf\",\"problem\":1,\"problemText\":\"Invalid Font\",\"scope\":\"machine\",\"format\":\"truetype\",\"detail\":\"\"},\n"
                        "{\"fontName\":\"\",\"registryName\":\"Gone (TrueType)\",\"fileName\":"
                        "\"C:\\\\Windows\\\\Fonts\\\\gone.ttf\",\"problem\":2,\"problemText\":\"File not found\",\"scope\":\"machine\",\"format\":\"truetype\",\"detail\":\"\"},\n"
                        "{\"fontName\":\"\",\"registryName\":\"Number (TrueType)\",\"fileName\":\"\",\"problem\":3,"
                        "\"problemText\":\"Wrong Registry Data Type\",\"scope\":\"machine\",\"format\":\"truetype\",\"detail\":\"\"}]}\n");
    EXPECT_EQ(M.Registry.ValueNames(FontsKey).size(), 3u);
    EXPECT_TRUE(M.Files.FileExists(M.InFonts("bad.ttf")));
}

TEST(Cli, ADryRunTellsWhatTheRepairThenDoes)
{
    TMachine M;
    PlantProblems(M);
    const TRun Dry = RunCli(M, {"repair", "--dry-run", "--problem", "1", "--problem", "2"});
    EXPECT_EQ(Dry.Status, cli::ExitClean);
    EXPECT_EQ(Dry.Out, "File not found\t\tGone (TrueType)\tC:\\Windows\\Fonts\\gone.ttf\tmachine\n"
                       "  would delete registry value \"Gone (TrueType)\"\n"
                       "  would be repaired\n"
                       "Invalid Font\t\tBad (TrueType)\tC:\\Windows\\Fonts\\bad.ttf\tmachine\n"
                       "  would move C:\\Windows\\Fonts\\bad.ttf to the recycle bin\n"
                       "  would delete registry value \"Bad (TrueType)\"\n"
                       "  would be repaired\n");
    EXPECT_EQ(M.Registry.ValueNames(FontsKey).size(), 3u);
    EXPECT_TRUE(M.Shell.Requests.empty());

    const TRun Real = RunCli(M, {"repair", "--problem", "1", "--problem", "2"});
    EXPECT_EQ(Real.Status, cli::ExitClean);
    EXPECT_EQ(Real.Out, "backup: C:\\Users\\Tester\\AppData\\Local\\Velmorant\\Backups\\repair-20260307-090502.reg\n"
                        "File not found\t\tGone (TrueType)\tC:\\Windows\\Fonts\\gone.ttf\tmachine\n"
                        "  deleted registry value \"Gone (TrueType)\"\n"
                        "  repaired\n"
                        "Invalid Font\t\tBad (TrueType)\tC:\\Windows\\Fonts\\bad.ttf\tmachine\n"
                        "  moved C:\\Windows\\Fonts\\bad.ttf to the recycle bin\n"
                        "  deleted registry value \"Bad (TrueType)\"\n"
                        "  repaired\n");
    EXPECT_EQ(M.Registry.ValueNames(FontsKey), std::vector<std::string>{"Number (TrueType)"});
    EXPECT_EQ(M.Shell.Recycled(), std::vector<std::string>{"0-bad.ttf"});
}

TEST(Cli, ARepairWithoutRightsOrWithARefusedWriteIsNotClean)
{
    TMachine M;
    PlantProblems(M);
    M.Files.PutFile(M.InFonts("nameless.ttf"), NamedFont(u""));
    M.Registry.DenyAccess(FontsKey, platform::TRegistryAccess::Full);
    const TRun Denied = RunCli(M, {"repair", "--json"});
    EXPECT_EQ(Denied.Status, cli::ExitProblems);
    EXPECT_NE(Denied.Out.find("\"outcome\":\"accessDenied\",\"changes\":[]"), std::string::npos);
    EXPECT_NE(Denied.Out.find("\"outcome\":\"noFontName\""), std::string::npos);
    EXPECT_NE(Denied.Out.find(std::string(app::AccessDeniedMessage)), std::string::npos);
    EXPECT_NE(Denied.Out.find(std::string(app::NoFontNameMessage)), std::string::npos);
    EXPECT_EQ(M.Registry.ValueNames(FontsKey).size(), 3u);

    TMachine N;
    N.PutFont("loose.ttf", u"Loose");
    N.Files.PutFile(N.InFonts("bad.ttf"), std::string_view("not a font"));
    N.Register("Bad (TrueType)", "bad.ttf");
    N.Registry.RefuseWrites = true;
    const TRun Refused = RunCli(N, {"repair"});
    EXPECT_EQ(Refused.Status, cli::ExitError);
    EXPECT_NE(Refused.Err.find("Failed to set data for"), std::string::npos);
}

TEST(Cli, FixFolderPrintsTheLogLinesAndBadUsageIsRefused)
{
    TMachine M;
    M.Files.PutFile("C:\\Windows\\ttfCache", std::string_view("cache"));
    const TRun Fix = RunCli(M, {"fix-folder"});
    EXPECT_EQ(Fix.Status, cli::ExitClean);
    EXPECT_EQ(Fix.Out, "Succesfully deleted (possible corrupted) file C:\\Windows\\ttfCache. If necessary Windows will "
                       "regenerate it.\n");
    for (const std::vector<std::string>& Bad : std::vector<std::vector<std::string>>{
             {}, {"frobnicate"}, {"scan", "--dry-run"}, {"repair", "--problem", "0"}, {"repair", "--problem", "99"}, {"repair", "--problem"},
             {"fix-folder", "--json"}}) {
        const TRun Usage = RunCli(M, Bad);
        EXPECT_EQ(Usage.Status, cli::ExitError);
        EXPECT_NE(Usage.Err.find("usage: velmorant-cli"), std::string::npos);
    }
    const TRun Help = RunCli(M, {"--help"});
    EXPECT_EQ(Help.Status, cli::ExitClean);
    EXPECT_NE(Help.Out.find("repair [--problem N]... [--dry-run] [--json]"), std::string::npos);
}

TEST(Cli, ACollectionStoredUnderATtfNameIsNoInvalidFont)
{
    // Its repair would move a good font to the recycle bin.
    TMachine M;
    M.Files.PutFile(M.InFonts("pair.ttf"), testing_support::CollectionFile({NamedFont(u"Good"), NamedFont(u"Other")}));
    M.Register("Good (TrueType)", "pair.ttf");
    const TRun Scan = RunCli(M, {"scan"});
    EXPECT_EQ(Scan.Out.find("Invalid Font"), std::string::npos) << Scan.Out;
}

namespace {

// Standard input whose first read runs Swap and then gives one empty line:
// what a test does between the scan and the repair.
class TSwapInput final : public std::streambuf {
public:
    explicit TSwapInput(std::function<void()> Swap) : FSwap(std::move(Swap)) {}

protected:
    int_type underflow() override
    {
        if (!FSwap)
            return traits_type::eof();
        FSwap();
        FSwap = nullptr;
        setg(FLine, FLine, FLine + 1);
        return traits_type::to_int_type(FLine[0]);
    }

private:
    std::function<void()> FSwap;
    char FLine[1] = {'\n'};
};

}  // namespace

TEST(Cli, ARepairTellsWhatItLeftAloneAndNeverCallsItRepaired)
{
    TMachine M;
    PlantProblems(M);
    TSwapInput Swap([&M] { M.PutFont("bad.ttf", u"Bad"); });
    std::istream In(&Swap);
    std::ostringstream Out, Err;
    const int Status = cli::RunCli(M.Services, {"repair", "--problem", "1", "--pause-before-repair"}, In, Out, Err);
    EXPECT_EQ(Status, cli::ExitProblems);
    EXPECT_EQ(Out.str(), "scanned; press Enter to repair\n"
                         "Invalid Font\t\tBad (TrueType)\tC:\\Windows\\Fonts\\bad.ttf\tmachine\n"
                         "  not repaired: changed since the scan\n" +
                             std::string(app::ChangedSinceScanMessage) + "\n");
    EXPECT_EQ(M.Registry.StringValue(FontsKey, "Bad (TrueType)"), "bad.ttf");

    M.Files.PutFile(M.InFonts("bad.ttf"), std::string_view("not a font"));
    M.Files.HoldOpen(M.InFonts("bad.ttf"), platform::TSimulatedFileSystem::THold::ForWriting);
    const TRun Held = RunCli(M, {"repair", "--problem", "1"});
    EXPECT_EQ(Held.Status, cli::ExitProblems);
    EXPECT_NE(Held.Out.find("  could not move C:\\Windows\\Fonts\\bad.ttf to the recycle bin\n"
                            "  not repaired: the file could not be moved to the recycle bin\n"),
              std::string::npos)
        << Held.Out;
    EXPECT_EQ(Held.Out.find("  repaired"), std::string::npos);
    EXPECT_EQ(M.Registry.StringValue(FontsKey, "Bad (TrueType)"), "bad.ttf");
}

TEST(Cli, ResetCacheTellsByItsStatusWhetherTheResetIsComplete)
{
    TMachine M;
    M.ServiceControl.Add("FontCache");
    const std::string Cache = "C:\\Windows\\System32\\FNTCACHE.DAT";
    M.Files.PutFile(Cache, std::string_view("gdi"));

    M.System.Administrator = false;
    EXPECT_EQ(RunCli(M, {"reset-cache"}).Status, cli::ExitError);
    M.System.Administrator = true;

    const TRun Dry = RunCli(M, {"reset-cache", "--dry-run", "--json"});
    EXPECT_EQ(Dry.Status, cli::ExitClean);
    EXPECT_NE(Dry.Out.find("{\"action\":\"deleteFile\",\"name\":\"C:\\\\Windows\\\\System32\\\\FNTCACHE.DAT\","
                           "\"result\":\"planned\"}"),
              std::string::npos)
        << Dry.Out;
    EXPECT_TRUE(M.Files.FileExists(Cache));

    M.Files.HoldOpen(Cache, platform::TSimulatedFileSystem::THold::Exclusive);
    const TRun Held = RunCli(M, {"reset-cache"});
    EXPECT_EQ(Held.Status, cli::ExitProblems);
    EXPECT_TRUE(Held.Out.ends_with("Restart Windows to complete the reset of the font cache.\n")) << Held.Out;
    EXPECT_EQ(RunCli(M, {"reset-cache", "--time"}).Status, cli::ExitError);
}
