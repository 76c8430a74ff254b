#include <gtest/gtest.h>

#include "app/SystemUtilsUnit.h"
#include "tests/app/AppTestSupport.h"

using namespace app;
using namespace app_testing;
using platform::TSimulatedShell;
using platform::TRegistryAccess;

namespace {

// A scanned machine whose rows of the chosen codes are selected.
struct TRepairRun {
    explicit TRepairRun(TMachine& M, std::vector<TFontProblem> Selected = {})
        : Fonts(M.Services, Progress), Machine(M)
    {
        Fonts.Refresh();
        Rows = std::make_unique<TTestRows>(Fonts, std::move(Selected));
    }
    void Run() { TFontRepair(Machine.Services, Fonts, *Rows, nullptr).RepairSelectedItems(); }
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
    std::unique_ptr<TTestRows> Rows;
};

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
    ASSERT_EQ(R.Fonts.Count(), 5u);
    R.Run();
    EXPECT_EQ(Values(M), std::vector<std::string>{"Good (TrueType)=good.ttf"});
    EXPECT_EQ(R.Inventory(), std::vector<std::string>{Describe(R.Fonts.Items(0))});
    EXPECT_EQ(R.Fonts.Items(0).RegistryName, "Good (TrueType)");
    EXPECT_EQ(R.Rows->Cells(), std::vector<std::string>{"0|Good (TrueType)|"});
    EXPECT_EQ(M.Shell.Recycled(), std::vector<std::string>{"0-bad.ttf"});
    // From the last row to the first: the duplicate, the data type, the missing file, the invalid font.
    EXPECT_EQ(R.Rows->Steps, (std::vector<std::string>{
                                 "delete Good Copy (TrueType)",
                                 "delete Number (TrueType)",
                                 "delete Gone (TrueType)",
                                 "recycle " + M.InFonts("bad.ttf"),
                                 "delete Bad (TrueType)",
                             }));
    EXPECT_TRUE(R.Rows->Errors.empty());
    EXPECT_EQ(R.Rows->ControlUpdates, 1);
}

TEST(FontRepair, WithNothingSelectedNothingChanges)
{
    TMachine M;
    PlantRemovable(M);
    const std::vector<std::string> Before = Values(M);
    TRepairRun R(M);
    R.Run();
    EXPECT_EQ(Values(M), Before);
    EXPECT_EQ(R.Fonts.Count(), 5u);
    EXPECT_TRUE(R.Rows->Errors.empty());
    EXPECT_EQ(R.Rows->ControlUpdates, 1);
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
    R.Run();
    EXPECT_EQ(Values(M), (std::vector<std::string>{
                             "Named (TrueType)=named.ttf",
                             "Far (TrueType)=D:\\Elsewhere\\far.ttf",
                             "Case Name (TrueType)=case.ttf",
                             "Loose (TrueType)=loose.ttf",
                         }));
    // The rows stay where they were, repaired.
    EXPECT_EQ(R.Rows->Cells(), (std::vector<std::string>{
                                   "0|Loose (TrueType)|",
                                   "0|Case Name (TrueType)|",
                                   "0|Far (TrueType)|",
                                   "0|Named (TrueType)|",
                               }));
    for (std::size_t i = 0; i < R.Fonts.Count(); ++i)
        EXPECT_EQ(R.Fonts.Items(i).Problem, fpNone);
    // Only the value renamed in letter case is deleted before it is written.
    EXPECT_EQ(R.Rows->Steps, (std::vector<std::string>{
                                 "write Named (TrueType) = named.ttf",
                                 "delete Old Name (TrueType)",
                                 "write Far (TrueType) = D:\\Elsewhere\\far.ttf",
                                 "delete Far Away (TrueType)",
                                 "delete CASE NAME (TrueType)",
                                 "write Case Name (TrueType) = case.ttf",
                                 "write Loose (TrueType) = loose.ttf",
                             }));
    // A second run finds nothing left to do.
    R.Rows->Steps.clear();
    R.Run();
    EXPECT_TRUE(R.Rows->Steps.empty());
    EXPECT_TRUE(R.Rows->Errors.empty());
}

TEST(FontRepair, ANameTakenByAnotherFontBlocksOnlyItsOwnRow)
{
    TMachine M;
    M.PutFont("real.ttf", u"Taken");
    M.PutFont("copy.ttf", u"Taken");
    M.PutFont("other.ttf", u"Other");
    M.Register("Taken (TrueType)", "real.ttf");
    M.Register("Wrong (TrueType)", "copy.ttf");
    M.Register("Gone (TrueType)", "gone.ttf");
    M.Register("Other Wrong (TrueType)", "other.ttf");
    TRepairRun R(M, {fpWrongFontName, fpFileNotFound, fpNoRegistryKey});
    R.Run();
    EXPECT_EQ(Values(M), (std::vector<std::string>{
                             "Taken (TrueType)=real.ttf",
                             "Wrong (TrueType)=copy.ttf",
                             "Other (TrueType)=other.ttf",
                         }));
    EXPECT_EQ(R.Rows->Errors, std::vector<std::string>{std::string(NameTakenMessage)});
    EXPECT_NE(std::find(R.Rows->Cells().begin(), R.Rows->Cells().end(), "2|Wrong (TrueType)|Wrong Registry Font Name"),
              R.Rows->Cells().end());
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
    const std::vector<std::string> Cells = R.Rows->Cells();
    R.Run();
    EXPECT_EQ(Values(M), Before);
    EXPECT_EQ(R.Inventory(), Inventory);
    EXPECT_EQ(R.Rows->Cells(), Cells);
    EXPECT_TRUE(M.Files.FileExists(M.InFonts("bad.ttf")));
    EXPECT_TRUE(M.Shell.Requests.empty());
    EXPECT_EQ(R.Rows->Errors, std::vector<std::string>{std::string(AccessDeniedMessage)});
    EXPECT_EQ(R.Rows->Outcomes, std::vector<TRepairOutcome>(5, TRepairOutcome::AccessDenied));
}

TEST(FontRepair, AnEntryWithoutAFontNameKeepsItsRegistration)
{
    TMachine M;
    M.Files.PutFile(M.InFonts("nameless.ttf"), NamedFont(u""));
    M.Files.PutFile(M.InFonts("loose.ttf"), NamedFont(u""));
    M.Register("Nameless (TrueType)", "nameless.ttf");
    TRepairRun R(M, {fpWrongFontName, fpNoRegistryKey});
    R.Run();
    EXPECT_EQ(Values(M), std::vector<std::string>{"Nameless (TrueType)=nameless.ttf"});
    EXPECT_EQ(R.Rows->Errors, std::vector<std::string>{std::string(NoFontNameMessage)});
    EXPECT_EQ(R.Rows->Outcomes, std::vector<TRepairOutcome>(2, TRepairOutcome::NoFontName));
    EXPECT_TRUE(R.Rows->Steps.empty());
}

TEST(FontRepair, ARefusedWriteEndsTheRunAndKeepsTheOldValue)
{
    TMachine M;
    M.PutFont("a.ttf", u"A");
    M.PutFont("b.ttf", u"B");
    M.Register("Wrong A (TrueType)", "a.ttf");
    M.Register("Wrong B (TrueType)", "b.ttf");
    TRepairRun R(M, {fpWrongFontName});
    M.Registry.RefuseWrites = true;
    EXPECT_THROW(R.Run(), platform::ERegistryError);
    EXPECT_EQ(Values(M), (std::vector<std::string>{"Wrong A (TrueType)=a.ttf", "Wrong B (TrueType)=b.ttf"}));
    EXPECT_EQ(R.Rows->ControlUpdates, 0);
}

TEST(FontRepair, AnInvalidFontLosesItsValueEvenWhenTheShellKeepsTheFile)
{
    TMachine M;
    M.Files.PutFile(M.InFonts("bad;x.ttf"), std::string_view("not a font"));
    M.Files.PutFile(M.InFonts("bad"), std::string_view("a file the path must not reach"));
    M.Register("Bad (TrueType)", "bad;x.ttf");
    M.Shell.DeleteMode = TSimulatedShell::TDeleteMode::Cancel;
    TRepairRun R(M, {fpInvalidFont});
    R.Run();
    EXPECT_TRUE(Values(M).empty());
    EXPECT_EQ(R.Rows->Steps, (std::vector<std::string>{"recycle " + M.InFonts("bad;x.ttf") + " (not done)",
                                                       "delete Bad (TrueType)"}));
    // The path went to the shell whole, not split at its ";".
    EXPECT_EQ(M.Shell.Requests, std::vector<std::vector<std::string>>{{M.InFonts("bad;x.ttf")}});
    EXPECT_EQ(R.Fonts.Count(), 0u);
}

TEST(FontRepair, TheValueDataIsTheBareNameOnlyDirectlyInTheFontsFolder)
{
    EXPECT_EQ(FontValueData("C:\\Windows\\Fonts\\a.ttf", "C:\\Windows\\Fonts"), "a.ttf");
    EXPECT_EQ(FontValueData("c:\\WINDOWS\\fonts\\a.ttf", "C:\\Windows\\Fonts"), "a.ttf");
    EXPECT_EQ(FontValueData("C:\\Windows\\Fonts\\sub\\a.ttf", "C:\\Windows\\Fonts"), "C:\\Windows\\Fonts\\sub\\a.ttf");
    EXPECT_EQ(FontValueData("C:\\Windows\\a.ttf", "C:\\Windows\\Fonts"), "C:\\Windows\\a.ttf");
    EXPECT_EQ(FontValueData("\\a.ttf", ""), "\\a.ttf");
}

TEST(FontRepair, ShellDeletionListsEndAtTheirFirstEmptyPath)
{
    TMachine M;
    M.Shell.DeleteMode = TSimulatedShell::TDeleteMode::Fail;
    EXPECT_FALSE(ShellDeleteFiles(M.Shell, nullptr, std::string("C:\\a;C:\\b;;C:\\c")));
    EXPECT_FALSE(ShellDeleteFiles(M.Shell, nullptr, std::string("C:\\d;")));
    EXPECT_EQ(M.Shell.Requests, (std::vector<std::vector<std::string>>{{"C:\\a", "C:\\b"}, {"C:\\d"}}));
}
