#include <gtest/gtest.h>

#include <algorithm>

#include "tests/app/AppTestSupport.h"

using namespace app;
using namespace app_testing;
using platform::TRegistryAccess;

namespace {

// "scope problem|font|registry name|file".
std::vector<std::string> ScanScopes(TInstalledFonts& Fonts)
{
    Fonts.Refresh();
    std::vector<std::string> Lines;
    for (std::size_t i = 0; i < Fonts.Count(); ++i)
        Lines.push_back(std::string(ScopeName(Fonts.Items(i).Scope)) + " " + Describe(Fonts.Items(i)));
    return Lines;
}

std::string Line(std::string_view Scope, TFontProblem Problem, const std::string& Font, const std::string& Value,
                 const std::string& File)
{
    return std::string(Scope) + " " + std::to_string(Problem) + "|" + Font + "|" + Value + "|" + File;
}

std::vector<TFontInfo*> All(TInstalledFonts& Fonts)
{
    std::vector<TFontInfo*> Selected;
    for (std::size_t i = 0; i < Fonts.Count(); ++i)
        Selected.push_back(&Fonts.Items(i));
    return Selected;
}

}  // namespace

TEST(UserFonts, EachScopeIsJudgedByItsOwnKeyAndFolder)
{
    TMachine M;
    M.PutFont("shared.ttf", u"Shared");
    M.Register("Shared (TrueType)", "shared.ttf");
    M.Files.PutFile(M.InUserFonts("mine.ttf"), NamedFont(u"Mine"));
    M.Files.PutFile(M.InUserFonts("bare.ttf"), NamedFont(u"Bare"));
    M.Files.PutFile(M.InUserFonts("loose.ttf"), NamedFont(u"Loose"));
    M.Files.PutFile(M.InUserFonts("marlett.ttf"), NamedFont(u"Marlett"));
    M.Files.PutFile(M.InUserFonts("machine.ttf"), NamedFont(u"Machine"));
    M.Register("Machine (TrueType)", M.InUserFonts("machine.ttf"));
    M.RegisterUser("Mine (TrueType)", M.InUserFonts("mine.ttf"));
    M.RegisterUser("Mine Again (TrueType)", M.InUserFonts("MINE.TTF"));
    M.RegisterUser("Bare (TrueType)", "bare.ttf");
    // A machine font named by a user value too is no duplicate: scopes are apart.
    M.RegisterUser("Shared (TrueType)", M.InFonts("shared.ttf"));
    M.RegisterUser("Gone (TrueType)", M.InUserFonts("gone.ttf"));
    M.Registry.SetValue(UserFontsKey, "Number (TrueType)", platform::RegDword, {1, 0, 0, 0});
    TNoScanProgress Progress;
    TInstalledFonts Fonts(M.Services, Progress);
    EXPECT_EQ(ScanScopes(Fonts), (std::vector<std::string>{
                                        Line("user", fpFileNotFound, "", "Gone (TrueType)", M.InUserFonts("gone.ttf")),
                                        Line("user", fpWrongDataType, "", "Number (TrueType)", ""),
                                        Line("user", fpNoRegistryKey, "Loose", "", M.InUserFonts("loose.ttf")),
                                        Line("user", fpNoRegistryKey, "Machine", "", M.InUserFonts("machine.ttf")),
                                        Line("user", fpNoRegistryKey, "Marlett", "", M.InUserFonts("marlett.ttf")),
                                        Line("user", fpDuplicate, "Mine", "Mine Again (TrueType)",
                                             M.InUserFonts("MINE.TTF")),
                                        Line("user", fpNone, "Bare", "Bare (TrueType)", M.InUserFonts("bare.ttf")),
                                        Line("machine", fpNone, "Machine", "Machine (TrueType)",
                                             M.InUserFonts("machine.ttf")),
                                        Line("user", fpNone, "Mine", "Mine (TrueType)", M.InUserFonts("mine.ttf")),
                                        Line("machine", fpNone, "Shared", "Shared (TrueType)", M.InFonts("shared.ttf")),
                                        Line("user", fpNone, "Shared", "Shared (TrueType)", M.InFonts("shared.ttf")),
                                    }));
    EXPECT_EQ(Fonts.UserFontsFolder(), UserFontsFolder);
    EXPECT_EQ(Fonts.IndexOfFileName(M.InUserFonts("mine.ttf"), TFontScope::Machine), -1);
    EXPECT_EQ(Fonts.IndexOfFileName(M.InUserFonts("mine.ttf")), 8);
    // Without a local application data folder the user scope has only its full paths.
    M.Shell.SetLocalAppDataFolder("");
    const std::vector<std::string> Lines = ScanScopes(Fonts);
    EXPECT_EQ(std::count_if(Lines.begin(), Lines.end(), [](const std::string& L) { return L.starts_with("user"); }), 5);
}

TEST(UserFonts, AUserRepairWritesTheUserKeyWithoutAdministratorRights)
{
    TMachine M;
    M.Files.PutFile(M.InUserFonts("loose.ttf"), NamedFont(u"Loose"));
    M.Files.PutFile(M.InUserFonts("named.ttf"), NamedFont(u"Named"));
    M.PutFont("machine.ttf", u"Machine");
    M.Registry.DenyAccess(FontsKey, TRegistryAccess::Full);
    TNoScanProgress Progress;
    TInstalledFonts Fonts(M.Services, Progress);
    Fonts.Refresh();
    // No user key yet: the repair creates it, and registers by full path.
    TRepairResult Result = TFontRepair(M.Services, Fonts, nullptr).RepairSelectedItems(All(Fonts));
    EXPECT_EQ(M.Registry.ValueNames(UserFontsKey), (std::vector<std::string>{"Named (TrueType)", "Loose (TrueType)"}));
    EXPECT_EQ(M.Registry.StringValue(UserFontsKey, "Loose (TrueType)"), M.InUserFonts("loose.ttf"));
    EXPECT_TRUE(M.Registry.ValueNames(FontsKey).empty());
    EXPECT_EQ(Result.Messages, std::vector<std::string>{std::string(AccessDeniedMessage)});
    // Running programs learn of both new fonts, with one broadcast.
    EXPECT_EQ(M.Session.Added, (std::vector<std::string>{M.InUserFonts("named.ttf"), M.InUserFonts("loose.ttf")}));
    EXPECT_EQ(M.Session.Broadcasts, 1);

    // A run that changes nothing tells nobody and writes no backup.
    Fonts.Refresh();
    Result = TFontRepair(M.Services, Fonts, nullptr).RepairSelectedItems(All(Fonts));
    EXPECT_EQ(M.Session.Broadcasts, 1);
    EXPECT_TRUE(Result.Backup.empty());

    // A user key that cannot be had is told in its own words.
    TMachine N;
    N.Files.PutFile(N.InUserFonts("loose.ttf"), NamedFont(u"Loose"));
    N.Registry.RefuseCreateKeys = true;
    TInstalledFonts Other(N.Services, Progress);
    Other.Refresh();
    Result = TFontRepair(N.Services, Other, nullptr).RepairSelectedItems(All(Other));
    EXPECT_EQ(Result.Messages, std::vector<std::string>{std::string(UserKeyUnavailableMessage)});

    // A user key that is there but may not be changed: the preview says so
    // as the run does, and a run that changes nothing writes no backup.
    TMachine L;
    L.Files.PutFile(L.InUserFonts("loose.ttf"), NamedFont(u"Loose"));
    L.RegisterUser("Other (TrueType)", L.InUserFonts("other.ttf"));
    L.Registry.DenyAccess(UserFontsKey, TRegistryAccess::Full);
    TInstalledFonts Locked(L.Services, Progress);
    Locked.Refresh();
    const std::vector<TFontInfo*> Loose{&Locked.Items(1)};
    ASSERT_EQ(Loose[0]->Problem, fpNoRegistryKey);
    TFontRepair LockedRepair(L.Services, Locked, nullptr);
    EXPECT_EQ(LockedRepair.PreviewSelectedItems(Loose).Entries.at(0).Outcome, TRepairOutcome::UserKeyUnavailable);
    Result = LockedRepair.RepairSelectedItems(Loose);
    EXPECT_EQ(Result.Entries.at(0).Outcome, TRepairOutcome::UserKeyUnavailable);
    EXPECT_TRUE(Result.Backup.empty());
}
