#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "app/FilePaths.h"
#include "app/SystemUtilsUnit.h"
#include "tests/app/AppTestSupport.h"

using namespace app;
using namespace app_testing;
using namespace testing_support;
using platform::TRegistryAccess;

namespace {

std::string Entry(TFontProblem Problem, const std::string& FontName, const std::string& RegistryName,
                  const std::string& FileName)
{
    return std::to_string(Problem) + "|" + FontName + "|" + RegistryName + "|" + FileName;
}

class TCountingProgress final : public IScanProgress {
public:
    void ShowStatus(const std::string& Text) override { Status.push_back(Text); }
    void ProcessMessages() override { ++Pumps; }
    void ShowProgress(std::size_t Done, std::size_t Total) override { Counts.emplace_back(Done, Total); }
    bool StopRequested() override { return Counts.size() > StopAfter; }
    std::vector<std::string> Status;
    int Pumps = 0;
    std::vector<std::pair<std::size_t, std::size_t>> Counts;
    std::size_t StopAfter = SIZE_MAX;
};

}  // namespace

TEST(InstalledFonts, RegisteredFontsResolveAgainstTheFontsFolderWithoutRegardToCase)
{
    TMachine M;
    M.PutFont("arial.ttf", u"Arial");
    M.PutFont("times.ttf", u"Times New Roman");
    M.PutFont("D:\\Other Fonts\\other.ttf", u"Other");
    M.Register("Arial (TrueType)", "arial.ttf");
    M.Register("Times New Roman (TrueType)", "TIMES.TTF");
    M.Register("Other (TrueType)", "D:\\Other Fonts\\other.ttf");
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           Entry(fpNone, "Arial", "Arial (TrueType)", "C:\\Windows\\Fonts\\arial.ttf"),
                           Entry(fpNone, "Other", "Other (TrueType)", "D:\\Other Fonts\\other.ttf"),
                           Entry(fpNone, "Times New Roman", "Times New Roman (TrueType)", "C:\\Windows\\Fonts\\TIMES.TTF"),
                       }));
}

TEST(InstalledFonts, ValueNamesMustMatchTheFontNameExactly)
{
    TMachine M;
    M.PutFont("arial.ttf", u"Arial");
    M.PutFont("cour.ttf", u"Courier New");
    M.PutFont("note.ttf", u"Noten \u00C4\u20AC\U0001D11E");
    M.Register("arial (TrueType)", "arial.ttf");
    M.Register("Courier New", "cour.ttf");
    M.Register("Noten \xC3\x84\xE2\x82\xAC\xF0\x9D\x84\x9E (TrueType)", "note.ttf");
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           Entry(fpWrongFontName, "Arial", "arial (TrueType)", M.InFonts("arial.ttf")),
                           Entry(fpWrongFontName, "Courier New", "Courier New", M.InFonts("cour.ttf")),
                           Entry(fpNone, "Noten \xC3\x84\xE2\x82\xAC\xF0\x9D\x84\x9E",
                                 "Noten \xC3\x84\xE2\x82\xAC\xF0\x9D\x84\x9E (TrueType)", M.InFonts("note.ttf")),
                       }));
}

TEST(InstalledFonts, DuplicatesAreJudgedInSortedOrderAgainstTheLastEntryNamingTheFile)
{
    TMachine M;
    M.PutFont("dup.ttf", u"Dup");
    M.PutFont("pair.ttf", u"Pair");
    // Processed as Aaa, bbb, Dup: bbb is judged against Aaa, Dup against bbb.
    M.Register("Dup (TrueType)", "dup.ttf");
    M.Register("bbb (TrueType)", "DUP.TTF");
    M.Register("Aaa (TrueType)", "C:\\Windows\\Fonts\\dup.ttf");
    // A wrongly named first value gives way to a correctly named second one.
    M.Register("Pair (TrueType)", "pair.ttf");
    M.Register("Old Pair (TrueType)", "pair.ttf");
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           Entry(fpDuplicate, "Dup", "bbb (TrueType)", M.InFonts("DUP.TTF")),
                           Entry(fpDuplicate, "Dup", "Dup (TrueType)", M.InFonts("dup.ttf")),
                           Entry(fpDuplicate, "Pair", "Old Pair (TrueType)", M.InFonts("pair.ttf")),
                           Entry(fpWrongFontName, "Dup", "Aaa (TrueType)", M.InFonts("dup.ttf")),
                           Entry(fpNone, "Pair", "Pair (TrueType)", M.InFonts("pair.ttf")),
                       }));
}

TEST(InstalledFonts, FilesThatAreMissingInvalidOrNamelessAreTold)
{
    TMachine M;
    M.Files.PutFile(M.InFonts("nomagic.ttf"), FontWithoutMagic());
    M.Files.PutFile(M.InFonts("nameless.ttf"), NamedFont(u"", {{1, 0, 0, 4, u"Mac Only"}}));
    M.Files.PutFile(M.InFonts("garbage.ttf"), std::string_view("garbage"));
    M.Register("Gone (TrueType)", "gone.ttf");
    M.Register("No Magic (TrueType)", "nomagic.ttf");
    M.Register("Nameless (TrueType)", "nameless.ttf");
    M.Register("Garbage (TrueType)", "garbage.ttf");
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           Entry(fpInvalidFont, "", "Garbage (TrueType)", M.InFonts("garbage.ttf")),
                           Entry(fpInvalidFont, "No Magic", "No Magic (TrueType)", M.InFonts("nomagic.ttf")),
                           Entry(fpFileNotFound, "", "Gone (TrueType)", M.InFonts("gone.ttf")),
                           Entry(fpWrongFontName, "", "Nameless (TrueType)", M.InFonts("nameless.ttf")),
                       }));
}

TEST(InstalledFonts, ValuesOfOtherTypesOrWithoutDataAreTold)
{
    TMachine M;
    M.PutFont("expand.ttf", u"Expand");
    M.PutFont("cut.ttf", u"Cut");
    M.Registry.SetValue(FontsKey, "Dword (TrueType)", platform::RegDword, {1, 0, 0, 0});
    M.Registry.SetValue(FontsKey, "Binary (TrueType)", platform::RegBinary, {});
    M.Registry.SetValue(FontsKey, "Multi (TrueType)", platform::RegMultiSz, platform::RegistryStringData("cut.ttf"));
    M.Registry.SetValue(FontsKey, "Expand (TrueType)", platform::RegExpandSz, platform::RegistryStringData("expand.ttf"));
    M.Register("Empty (TrueType)", "");
    M.Register("Cut (TrueType)", std::string("cut.ttf\0ignored.ttf", 19));
    M.Register("Refused (TrueType)", "refused.ttf");
    M.Registry.RefuseData(FontsKey, "Refused (TrueType)");
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           Entry(fpFileNotFound, "", "Binary (TrueType)", ""),
                           Entry(fpFileNotFound, "", "Empty (TrueType)", ""),
                           Entry(fpWrongDataType, "", "Dword (TrueType)", ""),
                           Entry(fpWrongDataType, "", "Multi (TrueType)", ""),
                           Entry(fpWrongDataType, "", "Refused (TrueType)", ""),
                           Entry(fpNone, "Cut", "Cut (TrueType)", M.InFonts("cut.ttf")),
                           Entry(fpNone, "Expand", "Expand (TrueType)", M.InFonts("expand.ttf")),
                       }));
}

TEST(InstalledFonts, TheFolderPassListsUnregisteredFontFilesButNotMarlett)
{
    TMachine M;
    M.PutFont("arial.ttf", u"Arial");
    M.PutFont("loose.ttf", u"Loose");
    M.PutFont("MARLETT.TTF", u"Marlett");
    M.Files.PutFile(M.InFonts("junk.ttf"), std::string_view("junk"));
    M.Files.PutFile(M.InFonts("hidden.TTF"), NamedFont(u"Hidden"));
    M.Files.SetAttributes(M.InFonts("hidden.TTF"), platform::FileAttrHidden | platform::FileAttrSystem |
                                                       platform::FileAttrReadOnly);
    M.Files.PutFile(M.InFonts("other.otf"), NamedFont(u"Other"));
    M.Files.PutFile(M.InFonts("coll.ttc"), NamedFont(u"Coll"));
    M.Files.PutFile(M.InFonts("small.fon"), std::string_view("MZ"));
    M.Files.CreateFolder(M.InFonts("folder.ttf"));
    M.Register("Arial (TrueType)", "ARIAL.TTF");
    M.Register("Other (OpenType)", "other.otf");
    M.Register("Coll (TrueType)", "coll.ttc");
    M.Register("Small", "small.fon");
    std::vector<std::string> Lines = Scan(M);
    EXPECT_EQ(Lines, (std::vector<std::string>{
                         Entry(fpNoRegistryKey, "", "", M.InFonts("junk.ttf")),
                         Entry(fpNoRegistryKey, "Hidden", "", M.InFonts("hidden.TTF")),
                         Entry(fpNoRegistryKey, "Loose", "", M.InFonts("loose.ttf")),
                         // Judged by what they hold, whatever their names say.
                         Entry(fpWrongFontName, "Other", "Other (OpenType)", M.InFonts("other.otf")),
                         Entry(fpNone, "Arial", "Arial (TrueType)", M.InFonts("ARIAL.TTF")),
                         Entry(fpNone, "Coll", "Coll (TrueType)", M.InFonts("coll.ttc")),
                         Entry(fpNone, "Marlett", "", M.InFonts("MARLETT.TTF")),
                     }));
}

TEST(InstalledFonts, WithoutAccessToTheKeyEveryFolderFontIsUnregistered)
{
    TMachine M;
    M.PutFont("arial.ttf", u"Arial");
    M.PutFont("marlett.ttf", u"Marlett");
    M.Register("Arial (TrueType)", "arial.ttf");
    M.Registry.DenyAccess(FontsKey, TRegistryAccess::Read);
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           Entry(fpNoRegistryKey, "Arial", "", M.InFonts("arial.ttf")),
                           Entry(fpNone, "Marlett", "", M.InFonts("marlett.ttf")),
                       }));
}

TEST(InstalledFonts, WithoutAFontsFolderOnlyFullPathsAreJudged)
{
    TMachine M;
    M.PutFont("arial.ttf", u"Arial");
    M.PutFont("C:\\arial.ttf", u"Arial");
    M.PutFont("D:\\Fonts\\other.ttf", u"Other");
    M.Register("Arial (TrueType)", "arial.ttf");
    M.Register("Other (TrueType)", "D:\\Fonts\\other.ttf");
    M.Shell.SetFontsFolder("");
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           Entry(fpNone, "Other", "Other (TrueType)", "D:\\Fonts\\other.ttf"),
                       }));
}

TEST(InstalledFonts, EntriesSortByCodeThenByNameWithoutProblemsLast)
{
    TFontInfo A, B;
    A.Problem = fpNone, A.FontName = "alpha";
    B.Problem = fpWrongFontName, B.FontName = "Zeta";
    EXPECT_GT(CompareFontInfo(A, B), 0);
    EXPECT_LT(CompareFontInfo(B, A), 0);
    B.Problem = fpNone;
    EXPECT_LT(CompareFontInfo(A, B), 0);
    A.FontName = "ZETA";
    EXPECT_EQ(CompareFontInfo(A, B), 0);
    A.Problem = fpInvalidFont, B.Problem = fpDuplicate;
    EXPECT_LT(CompareFontInfo(A, B), 0);
    // Only ASCII letters fold: a-umlaut sorts by its code, after every ASCII letter.
    A.Problem = B.Problem = fpNone;
    A.FontName = "\xC3\xA4", B.FontName = "Z";
    EXPECT_GT(CompareFontInfo(A, B), 0);
}

TEST(InstalledFonts, PathHelpersFollowTheWindowsDelimiters)
{
    EXPECT_TRUE(TInstalledFonts::IsTrueTypeFile("C:\\Fonts\\a.TtF"));
    EXPECT_TRUE(TInstalledFonts::IsTrueTypeFile("C:a.ttf"));
    EXPECT_FALSE(TInstalledFonts::IsTrueTypeFile("C:\\Fonts\\a.ttf.bak"));
    EXPECT_FALSE(TInstalledFonts::IsTrueTypeFile("C:\\Fonts.ttf\\file"));
    EXPECT_FALSE(TInstalledFonts::IsTrueTypeFile("C:\\Fonts\\a.ttf "));
    EXPECT_FALSE(TInstalledFonts::IsTrueTypeFile("ttf"));
    for (const char* Font : {"a.TTC", "a.otf", "C:\\F\\a.OtC", "a.ttf"})
        EXPECT_TRUE(TInstalledFonts::IsFontFile(Font)) << Font;
    for (const char* Other : {"a.fon", "a.fnt", "a.ttc.bak", "C:\\a.otf\\b"})
        EXPECT_FALSE(TInstalledFonts::IsFontFile(Other)) << Other;
}

TEST(InstalledFonts, EveryFileParsedShowsItsPathAndLetsMessagesRun)
{
    TMachine M;
    M.PutFont("a.ttf", u"A");
    M.Register("A (TrueType)", "a.ttf");
    M.Register("Gone (TrueType)", "gone.ttf");
    M.PutFont("b.ttf", u"B");
    TCountingProgress Progress;
    TInstalledFonts Fonts(M.Services, Progress);
    Fonts.Refresh();
    EXPECT_EQ(Progress.Status, (std::vector<std::string>{"Parsing " + M.InFonts("a.ttf"),
                                                         "Parsing " + M.InFonts("gone.ttf"),
                                                         "Parsing " + M.InFonts("b.ttf")}));
    EXPECT_EQ(Progress.Pumps, 3);
    EXPECT_EQ(Fonts.IndexOfFileName("c:\\windows\\fonts\\A.TTF"), 2);
    EXPECT_EQ(Fonts.IndexOfFileName("a.ttf"), -1);
    // The index follows an entry that leaves.
    Fonts.Remove(&Fonts.Items(0));
    EXPECT_EQ(Fonts.IndexOfFileName("c:\\windows\\fonts\\A.TTF"), 1);
    // A second refresh starts from nothing.
    Fonts.Refresh();
    EXPECT_EQ(Fonts.Count(), 3u);
}

TEST(InstalledFonts, ProgressCountsValuesAndFilesAndAStopLeavesNoEntry)
{
    TMachine M;
    M.PutFont("a.ttf", u"A");
    M.Register("A (TrueType)", "a.ttf");
    M.Register("Gone (TrueType)", "gone.ttf");
    M.PutFont("b.ttf", u"B");
    TCountingProgress Progress;
    TInstalledFonts Fonts(M.Services, Progress);
    EXPECT_TRUE(Fonts.Refresh());
    // Both values and every folder file, the total known from the start.
    const std::size_t Total = Progress.Counts.at(0).second;
    EXPECT_GE(Total, 4u);
    ASSERT_EQ(Progress.Counts.size(), Total + 1);
    for (std::size_t i = 0; i <= Total; ++i)
        EXPECT_EQ(Progress.Counts[i], std::make_pair(i, Total));

    // Stopped after the second value: what was built goes, and a scan that
    // is not stopped builds it all again.
    Progress.Counts.clear();
    Progress.StopAfter = 2;
    EXPECT_FALSE(Fonts.Refresh());
    EXPECT_EQ(Fonts.Count(), 0u);
    EXPECT_EQ(Progress.Counts.size(), 3u);
    EXPECT_EQ(Fonts.IndexOfFileName(M.InFonts("a.ttf")), -1);
    Progress.StopAfter = SIZE_MAX;
    EXPECT_TRUE(Fonts.Refresh());
    EXPECT_EQ(Fonts.Count(), 3u);
}

TEST(InstalledFonts, TheFontsKeyDependsOnThePlatformFamily)
{
    TMachine M;
    const std::string Key9x = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Fonts";
    M.PutFont("arial.ttf", u"Arial");
    M.Registry.SetString(Key9x, "Arial (TrueType)", "arial.ttf");
    EXPECT_EQ(GetFontsRegistryKey(M.System), FontsKey);
    EXPECT_EQ(Scan(M), std::vector<std::string>{Entry(fpNoRegistryKey, "Arial", "", M.InFonts("arial.ttf"))});
    M.System.OsVersion.PlatformId = platform::PlatformWin32Windows;
    EXPECT_EQ(GetFontsRegistryKey(M.System), Key9x);
    EXPECT_EQ(Scan(M), std::vector<std::string>{Entry(fpNone, "Arial", "Arial (TrueType)", M.InFonts("arial.ttf"))});
}

TEST(InstalledFonts, AFontAnotherProgramWritesIsStillValid)
{
    TMachine M;
    M.PutFont("busy.ttf", u"Busy");
    M.PutFont("locked.ttf", u"Locked");
    M.Register("Busy (TrueType)", "busy.ttf");
    M.Register("Locked (TrueType)", "locked.ttf");
    M.Files.HoldOpen(M.InFonts("busy.ttf"), platform::TSimulatedFileSystem::THold::ForWriting);
    M.Files.HoldOpen(M.InFonts("locked.ttf"), platform::TSimulatedFileSystem::THold::Exclusive);
    // The name is read while denying writers, so the busy font has none now;
    // its head check still passes and its value is not taken for an invalid
    // font's. The locked font cannot be read at all: that says nothing about
    // it, so the head check gives it no code either.
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           Entry(fpWrongFontName, "", "Busy (TrueType)", M.InFonts("busy.ttf")),
                           Entry(fpWrongFontName, "", "Locked (TrueType)", M.InFonts("locked.ttf")),
                       }));
}

TEST(InstalledFonts, ARelativePathLiesInItsScopesFontsFolderWhereverTheProgramStarts)
{
    TMachine M;
    M.PutFont(M.InFonts("sub\\inner.ttf"), u"Inner");
    M.PutFont("C:\\Windows\\up.ttf", u"Up");
    M.PutFont("drive.ttf", u"Drive");
    M.PutFont("root.ttf", u"Root");
    M.PutFont(UserFontsFolder + "\\mine\\own.ttf", u"Own");
    M.Register("Inner (TrueType)", "sub\\inner.ttf");
    M.Register("Up (TrueType)", "..\\up.ttf");
    M.Register("Drive (TrueType)", "C:drive.ttf");
    M.Register("Root (TrueType)", "\\root.ttf");
    M.RegisterUser("Own (TrueType)", "mine\\own.ttf");
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           Entry(fpNone, "Drive", "Drive (TrueType)", M.InFonts("drive.ttf")),
                           Entry(fpNone, "Inner", "Inner (TrueType)", M.InFonts("sub\\inner.ttf")),
                           Entry(fpNone, "Own", "Own (TrueType)", M.InUserFonts("mine\\own.ttf")),
                           Entry(fpNone, "Root", "Root (TrueType)", M.InFonts("root.ttf")),
                           Entry(fpNone, "Up", "Up (TrueType)", M.InFonts("..\\up.ttf")),
                       }));
}

TEST(InstalledFonts, ADeviceNameIsNeverOpenedAndNamesNoFile)
{
    TMachine M;
    // Files a Windows machine could not hold under these names: were they
    // opened, the font in CON.ttf would be read.
    M.PutFont("CON.ttf", u"Con");
    M.PutFont("nul.TTF", u"Nul");
    M.Register("Con (TrueType)", "CON.ttf");
    M.Register("Com (TrueType)", "com1.font.ttf");
    M.Register("Aux (TrueType)", "C:\\Windows\\Fonts\\Aux .ttf");
    M.Register("Pipe (TrueType)", "\\\\.\\pipe\\font.ttf");
    M.Register("Root (TrueType)", "\\\\?\\GLOBALROOT\\Device\\font.ttf");
    M.Register("Lpt (TrueType)", "lpt9.ttf");
    M.Register("Prn (TrueType)", "Prn.ttf");
    EXPECT_EQ(Scan(M), (std::vector<std::string>{
                           Entry(fpFileNotFound, "", "Aux (TrueType)", M.InFonts("Aux .ttf")),
                           Entry(fpFileNotFound, "", "Com (TrueType)", M.InFonts("com1.font.ttf")),
                           Entry(fpFileNotFound, "", "Con (TrueType)", M.InFonts("CON.ttf")),
                           Entry(fpFileNotFound, "", "Lpt (TrueType)", M.InFonts("lpt9.ttf")),
                           Entry(fpFileNotFound, "", "Pipe (TrueType)", "\\\\.\\pipe\\font.ttf"),
                           Entry(fpFileNotFound, "", "Prn (TrueType)", M.InFonts("Prn.ttf")),
                           Entry(fpFileNotFound, "", "Root (TrueType)", "\\\\?\\GLOBALROOT\\Device\\font.ttf"),
                       }));
    EXPECT_TRUE(IsDevicePath("C:\\Windows\\Fonts\\COM\xC2\xB9.ttf"));
    EXPECT_TRUE(IsDevicePath("conout$.ttf"));
    for (const char* File : {"\\\\?\\C:\\Windows\\Fonts\\a.ttf", "CONSOLE.ttf", "COM10.ttf", "LPT.ttf", "icon.ttf"})
        EXPECT_FALSE(IsDevicePath(File)) << File;
}
