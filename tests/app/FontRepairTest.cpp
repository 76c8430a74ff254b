#include <gtest/gtest.h>

#include <algorithm>
#include <exception>

#include "app/SystemUtilsUnit.h"
#include "tests/app/AppTestSupport.h"

using namespace app;
using namespace app_testing;
using platform::TSimulatedShell;
using platform::TRegistryAccess;

namespace {

// A scanned machine whose entries of the chosen codes are selected, in list order.
struct TRepairRun {
    explicit TRepairRun(TMachine& M, std::vector<TFontProblem> Codes = {}) : Fonts(M.Services, Progress), Machine(M)
    {
        Fonts.Refresh();
        for (std::size_t i = 0; i < Fonts.Count(); ++i)
            if (std::find(Codes.begin(), Codes.end(), Fonts.Items(i).Problem) != Codes.end())
                Selected.push_back(&Fonts.Items(i));
    }
    TRepairResult Run() { return TFontRepair(Machine.Services, Fonts, nullptr).RepairSelectedItems(Selected); }
    std::vector<std::string> Inventory() const
    {
        std::vector<std::string> Lines;
        for (std::size_t i = 0; i < Fonts.Count(); ++i)
            Lines.push_back(Describe(Fonts.Items(i)));
        return Lines;
    }

    TNoScanProgress Progress;
    TInstalledFonts Fonts;
    TMachine& Machine;
    std::vector<TFontInfo*> Selected;
};

// Per entry worked: "index outcome row-action[ registry name]".
std::vector<std::string> Rows(const TRepairResult& Result)
{
    static const char* const Outcomes[] = {"repaired",     "nameTaken",        "noFontName",  "accessDenied",
                                           "userKeyUnavailable", "writeRefused", "changedSinceScan", "fileNotMoved"};
    static const char* const Actions[] = {"keep", "remove", "mark"};
    std::vector<std::string> Lines;
    for (const TEntryRepair& Entry : Result.Entries) {
        std::string Line = std::to_string(Entry.Index) + " " + Outcomes[static_cast<int>(Entry.Outcome)] + " " +
                           Actions[static_cast<int>(Entry.Action)];
        if (!Entry.RegistryName.empty())
            Line += " " + Entry.RegistryName;
        Lines.push_back(Line);
    }
    return Lines;
}

// Every entry's changes, in the order made.
std::vector<std::string> Changes(const TRepairResult& Result)
{
    static const char* const Kinds[] = {"recycle", "delete", "write", "restore"};
    std::vector<std::string> Lines;
    for (const TEntryRepair& Entry : Result.Entries)
        for (const TRepairStep& Step : Entry.Changes) {
            std::string Line = std::string(Kinds[Step.Kind]) + " " + Step.Name;
            if (Step.Kind == TRepairStep::WriteValue)
                Line += " = " + Step.Data;
            if (!Step.Done)
                Line += " (not done)";
            Lines.push_back(Line);
        }
    return Lines;
}

std::vector<std::string> Values(TMachine& M)
{
    std::vector<std::string> Lines;
    for (const std::string& Name : M.Registry.ValueNames(FontsKey))
        Lines.push_back(Name + "=" + M.Registry.StringValue(FontsKey, Name).value_or("?"));
    return Lines;
}

// One entry of every code that is removed: 1, 2, 3 and 5, and a healthy font.
void PlantRemovable(TMachine& M)
{
    M.Files.PutFile(M.InFonts("bad.ttf"), std::string_view("not a font"));
    M.PutFont("good.ttf", u"Good");
    M.Register("Bad (TrueType)", "bad.ttf");
    M.Register("Gone (TrueType)", "gone.ttf");
    M.Registry.SetValue(FontsKey, "Number (TrueType)", platform::RegDword, {7, 0, 0, 0});
    M.Register("Good (TrueType)", "good.ttf");
    M.Register("Good Copy (TrueType)", "good.ttf");
}

}  // namespace

TEST(FontRepair, RemovesTheEntriesWhoseValueOrFileIsOfNoUse)
{
    TMachine M;
    PlantRemovable(M);
    TRepairRun R(M, {fpInvalidFont, fpFileNotFound, fpWrongDataType, fpDuplicate});
    ASSERT_EQ(R.Selected.size(), 4u);
    const TRepairResult Result = R.Run();
    EXPECT_EQ(Values(M), std::vector<std::string>{"Good (TrueType)=good.ttf"});
    ASSERT_EQ(R.Fonts.Count(), 1u);
    EXPECT_EQ(R.Fonts.Items(0).RegistryName, "Good (TrueType)");
    EXPECT_EQ(M.Shell.Recycled(), std::vector<std::string>{"0-bad.ttf"});
    // From the last selected to the first: the duplicate, the data type, the missing file, the invalid font.
    EXPECT_EQ(Rows(Result), (std::vector<std::string>{"3 repaired remove", "2 repaired remove", "1 repaired remove",
                                                      "0 repaired remove"}));
    EXPECT_EQ(Changes(Result), (std::vector<std::string>{
                                   "delete Good Copy (TrueType)",
                                   "delete Number (TrueType)",
                                   "delete Gone (TrueType)",
                                   "recycle " + M.InFonts("bad.ttf"),
                                   "delete Bad (TrueType)",
                               }));
    EXPECT_TRUE(Result.Messages.empty());
    EXPECT_FALSE(Result.Error);
}

TEST(FontRepair, WithNothingSelectedNothingChanges)
{
    TMachine M;
    PlantRemovable(M);
    const std::vector<std::string> Before = Values(M);
    TRepairRun R(M);
    const TRepairResult Result = R.Run();
    EXPECT_EQ(Values(M), Before);
    EXPECT_EQ(R.Fonts.Count(), 5u);
    EXPECT_TRUE(Result.Entries.empty());
    EXPECT_TRUE(Result.Messages.empty());
}

TEST(FontRepair, RegistersAndRenamesWithTheBareNameForFilesInTheFontsFolder)
{
    TMachine M;
    M.PutFont("loose.ttf", u"Loose");
    M.PutFont("named.ttf", u"Named");
    M.PutFont("D:\\Elsewhere\\far.ttf", u"Far");
    M.PutFont("case.ttf", u"Case Name");
    M.Register("Old Name (TrueType)", "c:\\windows\\fonts\\named.ttf");
    M.Register("Far Away (TrueType)", "D:\\Elsewhere\\far.ttf");
    M.Register("CASE NAME (TrueType)", "case.ttf");
    TRepairRun R(M, {fpNoRegistryKey, fpWrongFontName});
    const TRepairResult Result = R.Run();
    EXPECT_EQ(Values(M), (std::vector<std::string>{
                             "Named (TrueType)=named.ttf",
                             "Far (TrueType)=D:\\Elsewhere\\far.ttf",
                             "Case Name (TrueType)=case.ttf",
                             "Loose (TrueType)=loose.ttf",
                         }));
    EXPECT_EQ(Rows(Result), (std::vector<std::string>{
                                "3 repaired mark Named (TrueType)",
                                "2 repaired mark Far (TrueType)",
                                "1 repaired mark Case Name (TrueType)",
                                "0 repaired mark Loose (TrueType)",
                            }));
    for (std::size_t i = 0; i < R.Fonts.Count(); ++i)
        EXPECT_EQ(R.Fonts.Items(i).Problem, fpNone);
    // Only the value renamed in letter case is deleted before it is written.
    EXPECT_EQ(Changes(Result), (std::vector<std::string>{
                                   "write Named (TrueType) = named.ttf",
                                   "delete Old Name (TrueType)",
                                   "write Far (TrueType) = D:\\Elsewhere\\far.ttf",
                                   "delete Far Away (TrueType)",
                                   "delete CASE NAME (TrueType)",
                                   "write Case Name (TrueType) = case.ttf",
                                   "write Loose (TrueType) = loose.ttf",
                               }));
    // A second run finds nothing left to do.
    const TRepairResult Again = R.Run();
    EXPECT_EQ(Rows(Again), (std::vector<std::string>{"3 repaired keep", "2 repaired keep", "1 repaired keep",
                                                     "0 repaired keep"}));
    EXPECT_TRUE(Changes(Again).empty());
    EXPECT_TRUE(Again.Messages.empty());
}

TEST(FontRepair, AnEntryThatCannotBeRepairedKeepsItsRowAndIsToldOncePerKind)
{
    TMachine M;
    M.PutFont("real.ttf", u"Taken");
    M.PutFont("copy.ttf", u"Taken");
    M.PutFont("loose.ttf", u"Taken");
    M.PutFont("other.ttf", u"Other");
    M.Files.PutFile(M.InFonts("nameless.ttf"), NamedFont(u""));
    M.Register("Taken (TrueType)", "real.ttf");
    M.Register("Wrong (TrueType)", "copy.ttf");
    M.Register("Gone (TrueType)", "gone.ttf");
    M.Register("Other Wrong (TrueType)", "other.ttf");
    TRepairRun R(M, {fpWrongFontName, fpFileNotFound, fpNoRegistryKey});
    const TRepairResult Result = R.Run();
    EXPECT_EQ(Values(M), (std::vector<std::string>{
                             "Taken (TrueType)=real.ttf",
                             "Wrong (TrueType)=copy.ttf",
                             "Other (TrueType)=other.ttf",
                         }));
    // Selected: the missing file, the nameless and the taken loose font, the two wrong names.
    EXPECT_EQ(Rows(Result), (std::vector<std::string>{
                                "4 nameTaken keep",
                                "3 repaired mark Other (TrueType)",
                                "2 nameTaken keep",
                                "1 noFontName keep",
                                "0 repaired remove",
                            }));
    EXPECT_EQ(R.Selected[4]->Problem, fpWrongFontName);
    EXPECT_EQ(Result.Messages,
              (std::vector<std::string>{std::string(NameTakenMessage), std::string(NoFontNameMessage)}));
}

TEST(FontRepair, WithoutFullAccessNothingIsReportedRepaired)
{
    TMachine M;
    PlantRemovable(M);
    M.PutFont("loose.ttf", u"Loose");
    M.Registry.DenyAccess(FontsKey, TRegistryAccess::Full);
    const std::vector<std::string> Before = Values(M);
    TRepairRun R(M, {fpInvalidFont, fpFileNotFound, fpWrongDataType, fpDuplicate, fpNoRegistryKey});
    const std::vector<std::string> Inventory = R.Inventory();
    const TRepairResult Result = R.Run();
    EXPECT_EQ(Values(M), Before);
    EXPECT_EQ(R.Inventory(), Inventory);
    EXPECT_TRUE(M.Files.FileExists(M.InFonts("bad.ttf")));
    EXPECT_TRUE(M.Shell.Requests.empty());
    EXPECT_EQ(Result.Messages, std::vector<std::string>{std::string(AccessDeniedMessage)});
    EXPECT_EQ(Rows(Result), (std::vector<std::string>{"4 accessDenied keep", "3 accessDenied keep",
                                                      "2 accessDenied keep", "1 accessDenied keep",
                                                      "0 accessDenied keep"}));
}

TEST(FontRepair, AnEntryWithoutAFontNameKeepsItsRegistration)
{
    TMachine M;
    M.Files.PutFile(M.InFonts("nameless.ttf"), NamedFont(u""));
    M.Files.PutFile(M.InFonts("loose.ttf"), NamedFont(u""));
    M.Register("Nameless (TrueType)", "nameless.ttf");
    TRepairRun R(M, {fpWrongFontName, fpNoRegistryKey});
    const TRepairResult Result = R.Run();
    EXPECT_EQ(Values(M), std::vector<std::string>{"Nameless (TrueType)=nameless.ttf"});
    EXPECT_EQ(Result.Messages, std::vector<std::string>{std::string(NoFontNameMessage)});
    EXPECT_EQ(Rows(Result), (std::vector<std::string>{"1 noFontName keep", "0 noFontName keep"}));
    EXPECT_TRUE(Changes(Result).empty());
}

TEST(FontRepair, ARefusedWriteEndsTheRunAndKeepsWhatWasWorkedBefore)
{
    TMachine M;
    M.PutFont("a.ttf", u"A");
    M.PutFont("b.ttf", u"B");
    M.PutFont("good.ttf", u"Good");
    M.PutFont("copy.ttf", u"Good");
    M.Register("Wrong A (TrueType)", "a.ttf");
    M.Register("Wrong B (TrueType)", "b.ttf");
    M.Register("Good (TrueType)", "good.ttf");
    M.Register("Copy (TrueType)", "copy.ttf");
    TRepairRun R(M, {fpWrongFontName, fpNone});
    const std::vector<std::string> Before = Values(M);
    M.Registry.RefuseWrites = true;
    const TRepairResult Result = R.Run();
    EXPECT_EQ(Values(M), Before);
    // The healthy font and the copy whose name is taken; B raised the error, A was never reached.
    EXPECT_EQ(Rows(Result), (std::vector<std::string>{"3 repaired keep", "2 nameTaken keep", "1 writeRefused keep"}));
    EXPECT_TRUE(Result.Messages.empty());
    EXPECT_THROW(std::rethrow_exception(Result.Error), platform::ERegistryError);
    EXPECT_EQ(R.Selected[0]->Problem, fpWrongFontName);
}

TEST(FontRepair, ARefusedDeleteEndsTheRunAndTheEntryStays)
{
    TMachine M;
    M.Register("Gone (TrueType)", "gone.ttf");
    TRepairRun R(M, {fpFileNotFound});
    M.Registry.RefuseWrites = true;
    const TRepairResult Result = R.Run();
    EXPECT_EQ(Rows(Result), std::vector<std::string>{"0 writeRefused keep"});
    EXPECT_THROW(std::rethrow_exception(Result.Error), platform::ERegistryError);
    EXPECT_EQ(R.Fonts.Count(), 1u);
    EXPECT_EQ(M.Registry.StringValue(FontsKey, "Gone (TrueType)"), "gone.ttf");
}

TEST(FontRepair, AnInvalidFontWhoseFileTheShellKeepsKeepsItsValue)
{
    TMachine M;
    M.Files.PutFile(M.InFonts("bad;x.ttf"), std::string_view("not a font"));
    M.Files.PutFile(M.InFonts("bad"), std::string_view("a file the path must not reach"));
    M.Files.PutFile(M.InFonts("busy.ttf"), std::string_view("not a font either"));
    M.Register("Bad (TrueType)", "bad;x.ttf");
    M.Register("Busy (TrueType)", "busy.ttf");
    M.Shell.DeleteMode = TSimulatedShell::TDeleteMode::Cancel;
    TRepairRun R(M, {fpInvalidFont});
    // Read through while another program writes it, but not to be moved.
    M.Files.HoldOpen(M.InFonts("busy.ttf"), platform::TSimulatedFileSystem::THold::ForWriting);
    const TRepairResult Cancelled = R.Run();
    EXPECT_EQ(Values(M).size(), 2u);
    EXPECT_EQ(Rows(Cancelled), (std::vector<std::string>{"1 fileNotMoved keep", "0 fileNotMoved keep"}));
    EXPECT_EQ(Changes(Cancelled), (std::vector<std::string>{"recycle " + M.InFonts("busy.ttf") + " (not done)",
                                                            "recycle " + M.InFonts("bad;x.ttf") + " (not done)"}));
    // The path went to the shell whole, not split at its ";".
    EXPECT_EQ(M.Shell.Requests.back(), std::vector<std::string>{M.InFonts("bad;x.ttf")});
    EXPECT_EQ(Cancelled.Messages, std::vector<std::string>{std::string(FileNotMovedMessage)});
    EXPECT_EQ(R.Fonts.Count(), 2u);
    M.Shell.DeleteMode = TSimulatedShell::TDeleteMode::Normal;
    const TRepairResult Held = R.Run();
    EXPECT_EQ(Rows(Held), (std::vector<std::string>{"1 fileNotMoved keep", "0 repaired remove"}));
    EXPECT_EQ(Values(M), std::vector<std::string>{"Busy (TrueType)=busy.ttf"});
}

TEST(FontRepair, AnEntryThatChangedSinceTheScanIsLeftAlone)
{
    TMachine M;
    PlantRemovable(M);
    M.Register("Other Gone (TrueType)", "other.ttf");
    M.PutFont("loose.ttf", u"Loose");
    TRepairRun R(M, {fpInvalidFont, fpFileNotFound, fpWrongDataType, fpNoRegistryKey});
    ASSERT_EQ(R.Selected.size(), 5u);
    // A good font copied over the invalid one, the missing font installed,
    // the number rewritten as good text, the loose font registered.
    M.PutFont("bad.ttf", u"Bad");
    M.PutFont("gone.ttf", u"Gone");
    M.Register("Number (TrueType)", "good.ttf");
    M.Register("Loose Too (TrueType)", "C:\\WINDOWS\\Fonts\\LOOSE.TTF");
    const std::vector<std::string> Before = Values(M);
    const TRepairResult Result = R.Run();
    // Only the missing file that is still missing is repaired.
    EXPECT_EQ(Rows(Result), (std::vector<std::string>{"4 changedSinceScan keep", "3 changedSinceScan keep",
                                                      "2 repaired remove", "1 changedSinceScan keep",
                                                      "0 changedSinceScan keep"}));
    EXPECT_EQ(Changes(Result), std::vector<std::string>{"delete Other Gone (TrueType)"});
    EXPECT_TRUE(M.Shell.Requests.empty());
    EXPECT_EQ(Values(M).size(), Before.size() - 1);
    EXPECT_EQ(Result.Messages, std::vector<std::string>{std::string(ChangedSinceScanMessage)});
}

TEST(FontRepair, NoFileIsDeletedForGoodNorRecycledOutsideItsScopesFontsFolder)
{
    TMachine M;
    for (const std::string& File : {M.InFonts("bad.ttf"), std::string("C:\\Windows\\up.ttf"),
                                    std::string("D:\\Elsewhere\\far.ttf"), std::string("C:\\Important\\mine.ttf")})
        M.Files.PutFile(File, std::string_view("not a font"));
    // The simulated machine's links are the host's: the MinGW build's host
    // is Wine, which makes none.
#ifndef _WIN32
    constexpr std::size_t Links = 2;
    M.Files.PutLink(M.InUserFonts("linked"), "C:\\Important");
    M.Files.PutLink(M.InFonts("out.ttf"), "C:\\Important\\mine.ttf");
    M.Register("Out (TrueType)", "out.ttf");
    M.RegisterUser("Linked (TrueType)", M.InUserFonts("linked\\mine.ttf"));
#else
    constexpr std::size_t Links = 0;
#endif
    M.Register("Bad (TrueType)", "bad.ttf");
    M.Register("Up (TrueType)", "..\\up.ttf");
    M.Register("Far (TrueType)", "D:\\Elsewhere\\far.ttf");
    M.Shell.DrivesWithoutRecycleBin.insert('C');
    TRepairRun R(M, {fpInvalidFont});
    ASSERT_EQ(R.Selected.size(), 3u + Links);
    const std::vector<std::string> Before = M.Snapshot();
    const TRepairResult Preview = TFontRepair(M.Services, R.Fonts, nullptr).PreviewSelectedItems(R.Selected);
    const TRepairResult Result = R.Run();
    for (const TRepairResult* Run : {&Preview, &Result})
        for (const TEntryRepair& Entry : Run->Entries)
            EXPECT_EQ(Entry.Outcome, TRepairOutcome::FileNotMoved) << Entry.Index;
    EXPECT_TRUE(M.Shell.Requests.empty());
    EXPECT_EQ(M.Snapshot(), Before);
    EXPECT_TRUE(M.Files.FileExists(M.InFonts("bad.ttf")));
    // With a recycle bin, only the file in the Fonts folder goes.
    M.Shell.DrivesWithoutRecycleBin.clear();
    R.Run();
    ASSERT_EQ(M.Shell.Requests.size(), 1u);
    EXPECT_EQ(M.Shell.Requests[0], std::vector<std::string>{M.InFonts("bad.ttf")});
    EXPECT_EQ(R.Fonts.Count(), 2u + Links);
}

TEST(FontRepair, TheValueDataIsTheBareNameOnlyDirectlyInTheFontsFolder)
{
    EXPECT_EQ(FontValueData("C:\\Windows\\Fonts\\a.ttf", "C:\\Windows\\Fonts"), "a.ttf");
    EXPECT_EQ(FontValueData("c:\\WINDOWS\\fonts\\a.ttf", "C:\\Windows\\Fonts"), "a.ttf");
    EXPECT_EQ(FontValueData("C:\\Windows\\Fonts\\sub\\a.ttf", "C:\\Windows\\Fonts"), "C:\\Windows\\Fonts\\sub\\a.ttf");
    EXPECT_EQ(FontValueData("C:\\Windows\\a.ttf", "C:\\Windows\\Fonts"), "C:\\Windows\\a.ttf");
    EXPECT_EQ(FontValueData("\\a.ttf", ""), "\\a.ttf");
}

TEST(FontRepair, ALetterCaseRenameWhoseWriteIsRefusedPutsTheOldValueBack)
{
    TMachine M;
    M.PutFont("case.ttf", u"Case Name");
    M.Registry.SetString(FontsKey, "CASE NAME (TrueType)", "C:\\Windows\\Fonts\\case.ttf");
    TRepairRun R(M, {fpWrongFontName});
    M.Registry.RefusedWriteNames.insert("Case Name (TrueType)");
    const TRepairResult Result = R.Run();
    EXPECT_EQ(Values(M), std::vector<std::string>{"CASE NAME (TrueType)=C:\\Windows\\Fonts\\case.ttf"});
    EXPECT_EQ(Rows(Result), std::vector<std::string>{"0 writeRefused keep"});
    EXPECT_EQ(Changes(Result), (std::vector<std::string>{"delete CASE NAME (TrueType)", "restore CASE NAME (TrueType)"}));
    EXPECT_THROW(std::rethrow_exception(Result.Error), platform::ERegistryError);
    EXPECT_EQ(R.Selected[0]->Problem, fpWrongFontName);
}

TEST(FontRepair, ARenameInNonAsciiLetterCaseIsTheEntrysOwnValue)
{
    TMachine M;
    M.PutFont("ecole.ttf", u"\u00C9cole \u0416");
    M.Register("\xC3\xA9" "cole \xD0\xB6 (TrueType)", "ecole.ttf");
    TRepairRun R(M, {fpWrongFontName});
    const TRepairResult Result = R.Run();
    EXPECT_EQ(Rows(Result), std::vector<std::string>{"0 repaired mark \xC3\x89" "cole \xD0\x96 (TrueType)"});
    EXPECT_EQ(Values(M), std::vector<std::string>{"\xC3\x89" "cole \xD0\x96 (TrueType)=ecole.ttf"});
}
