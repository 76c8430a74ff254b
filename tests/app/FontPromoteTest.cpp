#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/FontPromoteUnit.h"
#include "app/RepairBackup.h"
#include "tests/app/AppTestSupport.h"
#include "tools/cli/Cli.h"

using namespace app;
using namespace app_testing;

namespace {

const std::string KernelKey = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Kernel";

// A machine with one healthy font of the user's own, "Good" in ug.ttf.
struct TPromoteMachine : TMachine {
    TPromoteMachine()
    {
        Files.PutFile(InUserFonts("ug.ttf"), NamedFont(u"Good"));
        RegisterUser("Good (TrueType)", InUserFonts("ug.ttf"));
    }
};

std::vector<TFontInfo*> Healthy(TInstalledFonts& Fonts)
{
    std::vector<TFontInfo*> Selected;
    for (std::size_t i = 0; i < Fonts.Count(); ++i)
        if (TFontPromotion::CanPromote(Fonts.Items(i)))
            Selected.push_back(&Fonts.Items(i));
    return Selected;
}

std::vector<TRepairOutcome> Outcomes(const TRepairResult& Result)
{
    std::vector<TRepairOutcome> Found;
    for (const TEntryRepair& Entry : Result.Entries)
        Found.push_back(Entry.Outcome);
    return Found;
}

// The entry of the value Name in Scope.
TFontInfo* Find(TInstalledFonts& Fonts, const std::string& Name, TFontScope Scope)
{
    for (std::size_t i = 0; i < Fonts.Count(); ++i)
        if (Fonts.Items(i).RegistryName == Name && Fonts.Items(i).Scope == Scope)
            return &Fonts.Items(i);
    return nullptr;
}

void SetMitigation(TMachine& M, std::uint32_t Type, std::vector<std::uint8_t> Data)
{
    M.Registry.CreateKey(KernelKey);
    M.Registry.SetValue(KernelKey, "MitigationOptions", Type, std::move(Data));
}

}  // namespace

TEST(Promote, CopiesUnderAFreeNameAfterOneBackupThatUndoPutsBack)
{
    TPromoteMachine M;
    // ug.ttf is taken by a file, ug_0.ttf by a value whose file is missing.
    M.PutFont("ug.ttf", u"Other");
    M.Register("Other (TrueType)", "ug.ttf");
    M.Register("Missing (TrueType)", "ug_0.ttf");
    const std::vector<std::string> Before = M.Snapshot();
    TNoScanProgress Progress;
    TInstalledFonts Fonts(M.Services, Progress);
    Fonts.Refresh();
    TFontPromotion Promotion(M.Services, Fonts, nullptr);

    const TRepairResult Preview = Promotion.PreviewSelectedItems(Healthy(Fonts));
    ASSERT_EQ(Outcomes(Preview), std::vector<TRepairOutcome>{TRepairOutcome::Repaired});
    EXPECT_EQ(M.Snapshot(), Before);
    EXPECT_FALSE(M.Files.FileExists(M.InFonts("ug_1.ttf")));
    EXPECT_TRUE(M.Shell.Recycled().empty());

    const TRepairResult Result = Promotion.PromoteSelectedItems(Healthy(Fonts));
    ASSERT_EQ(Outcomes(Result), std::vector<TRepairOutcome>{TRepairOutcome::Repaired});
    EXPECT_TRUE(Result.Messages.empty());
    EXPECT_EQ(M.Registry.StringValue(FontsKey, "Good (TrueType)"), "ug_1.ttf");
    EXPECT_EQ(M.Files.FileBytes(M.InFonts("ug_1.ttf")), NamedFont(u"Good"));
    EXPECT_EQ(M.Registry.StringValue(UserFontsKey, "Good (TrueType)"), std::nullopt);
    EXPECT_FALSE(M.Files.FileExists(M.InUserFonts("ug.ttf")));
    EXPECT_EQ(M.Shell.Recycled().size(), 1u);
    EXPECT_EQ(M.Session.Removed, std::vector<std::string>{M.InUserFonts("ug.ttf")});
    EXPECT_EQ(M.Session.Added, std::vector<std::string>{M.InFonts("ug_1.ttf")});
    EXPECT_EQ(M.Session.Broadcasts, 1);
    // The entry stays, now the machine's.
    ASSERT_EQ(Result.Entries[0].Action, TRowAction::Refill);
    const TFontInfo* Moved = Find(Fonts, "Good (TrueType)", TFontScope::Machine);
    ASSERT_NE(Moved, nullptr);
    EXPECT_EQ(Moved->FileName, M.InFonts("ug_1.ttf"));
    EXPECT_GE(Fonts.IndexOfFileName(M.InFonts("ug_1.ttf"), TFontScope::Machine), 0);

    // One backup of both keys; undo puts both back and names both files.
    const TUndoResult Undo = UndoRepairBackup(M.Services, Result.Backup, false);
    EXPECT_EQ(M.Snapshot(), Before);
    EXPECT_EQ(Undo.RecycledFiles, std::vector<std::string>{M.InUserFonts("ug.ttf")});
    EXPECT_EQ(Undo.CopiedFiles, std::vector<std::string>{M.InFonts("ug_1.ttf")});
}

TEST(Promote, ChangesNothingWithoutRightsAndLeavesChangedOrTakenFontsAlone)
{
    TPromoteMachine M;
    M.System.Administrator = false;
    const std::vector<std::string> Before = M.Snapshot();
    TNoScanProgress Progress;
    TInstalledFonts Fonts(M.Services, Progress);
    Fonts.Refresh();
    TRepairResult Result = TFontPromotion(M.Services, Fonts, nullptr).PromoteSelectedItems(Healthy(Fonts));
    EXPECT_EQ(Outcomes(Result), std::vector<TRepairOutcome>{TRepairOutcome::AccessDenied});
    EXPECT_EQ(Result.Messages, std::vector<std::string>{std::string(PromoteAccessDeniedMessage)});
    EXPECT_TRUE(Result.Backup.empty());
    EXPECT_EQ(M.Snapshot(), Before);
    EXPECT_FALSE(M.Files.FileExists(M.InFonts("ug.ttf")));
    EXPECT_EQ(M.Session.Broadcasts, 0);

    // A file rewritten since the scan; a name the machine's key has (a
    // missing font: no shadow, yet the value cannot be written); a row that
    // is not a healthy one of the user's own.
    M.System.Administrator = true;
    M.Files.PutFile(M.InUserFonts("taken.ttf"), NamedFont(u"Taken"));
    M.RegisterUser("Taken (TrueType)", M.InUserFonts("taken.ttf"));
    M.Register("Taken (TrueType)", "gone.ttf");
    M.PutFont("machine.ttf", u"Machine");
    M.Register("Machine (TrueType)", "machine.ttf");
    Fonts.Refresh();
    std::vector<TFontInfo*> Selected = Healthy(Fonts);
    ASSERT_EQ(Selected.size(), 2u);
    Selected.push_back(Find(Fonts, "Machine (TrueType)", TFontScope::Machine));
    M.Files.PutFile(M.InUserFonts("ug.ttf"), NamedFont(u"Good Again"));
    const std::vector<std::string> Changed = M.Snapshot();
    Result = TFontPromotion(M.Services, Fonts, nullptr).PromoteSelectedItems(Selected);
    EXPECT_EQ(Outcomes(Result), (std::vector<TRepairOutcome>{TRepairOutcome::NotPromotable,
                                                             TRepairOutcome::NameTaken,
                                                             TRepairOutcome::ChangedSinceScan}));
    EXPECT_EQ(Result.Messages.size(), 3u);
    EXPECT_EQ(M.Snapshot(), Changed);
    EXPECT_TRUE(M.Shell.Recycled().empty());
}

TEST(Promote, TheConsoleInstallsTheChosenFontsAndSaysWhatItDid)
{
    TPromoteMachine M;
    M.Files.PutFile(M.InUserFonts("second.ttf"), NamedFont(u"Second"));
    M.RegisterUser("Second (TrueType)", M.InUserFonts("second.ttf"));
    const auto Run = [&M](std::vector<std::string> Arguments, std::string* Out = nullptr) {
        std::ostringstream Text, Err;
        const int Status = cli::RunCli(M.Services, Arguments, Text, Err);
        if (Out != nullptr)
            *Out = Text.str();
        return Status;
    };
    std::string Out;
    EXPECT_EQ(Run({"promote", "--dry-run", "--font", "second"}, &Out), cli::ExitClean);
    EXPECT_EQ(Out, "\tSecond\tSecond (TrueType)\t" + M.InUserFonts("second.ttf") + "\tuser\n"
                   "  would copy the file to " + M.InFonts("second.ttf") + "\n"
                   "  would write registry value \"Second (TrueType)\" = \"second.ttf\"\n"
                   "  would move " + M.InUserFonts("second.ttf") + " to the recycle bin\n"
                   "  would delete registry value \"Second (TrueType)\"\n"
                   "  would be installed for all users\n");
    EXPECT_EQ(Run({"promote", "--problem", "1"}), cli::ExitError);
    M.System.Administrator = false;
    EXPECT_EQ(Run({"promote", "--json"}, &Out), cli::ExitProblems);
    EXPECT_NE(Out.find("\"outcome\":\"accessDenied\""), std::string::npos);
    M.System.Administrator = true;
    EXPECT_EQ(Run({"promote", "--json", "--font", "Second"}, &Out), cli::ExitClean);
    EXPECT_NE(Out.find("{\"action\":\"copyFile\",\"name\":"), std::string::npos);
    EXPECT_EQ(M.Registry.ValueNames(FontsKey), std::vector<std::string>{"Second (TrueType)"});
    EXPECT_EQ(M.Registry.ValueNames(UserFontsKey), std::vector<std::string>{"Good (TrueType)"});
}

TEST(UserFonts, AUserFontWithTheNameOfAnotherMachineFontIsShadowed)
{
    TMachine M;
    M.PutFont("same.ttf", u"Same");
    M.Register("Same (TrueType)", "same.ttf");
    M.PutFont("wrong.ttf", u"Wrong");
    M.Register("Misnamed (TrueType)", "wrong.ttf");
    M.Register("Missing (TrueType)", "missing.ttf");
    for (const char* Name : {"Same", "Wrong", "Missing", "Alone"}) {
        const std::string File = M.InUserFonts(std::string(Name) + ".ttf");
        M.Files.PutFile(File, NamedFont(std::u16string(Name, Name + std::char_traits<char>::length(Name))));
        M.RegisterUser(std::string(Name) + " (TrueType)", File);
    }
    // The machine's own file registered for the user too shadows nothing.
    M.RegisterUser("Same Again (TrueType)", M.InFonts("same.ttf"));
    const std::vector<std::string> Rows = Scan(M);
    // Sorted by code: 8 after the others' problems, before the healthy.
    EXPECT_EQ(std::vector<std::string>(Rows.begin() + 1, Rows.begin() + 6),
              (std::vector<std::string>{
                  "6|Same|Same Again (TrueType)|" + M.InFonts("same.ttf"),
                  "6|Wrong|Misnamed (TrueType)|" + M.InFonts("wrong.ttf"),
                  "8|Same|Same (TrueType)|" + M.InUserFonts("Same.ttf"),
                  "8|Wrong|Wrong (TrueType)|" + M.InUserFonts("Wrong.ttf"),
                  "0|Alone|Alone (TrueType)|" + M.InUserFonts("Alone.ttf"),
              }));
    TNoScanProgress Progress;
    TInstalledFonts Fonts(M.Services, Progress);
    Fonts.Refresh();
    TFontInfo* Shadowed = Find(Fonts, "Same (TrueType)", TFontScope::User);
    ASSERT_NE(Shadowed, nullptr);
    EXPECT_EQ(Fonts.Notes(*Shadowed),
              std::vector<std::string>{"A font installed for all users has the same name (" + M.InFonts("same.ttf") +
                                       "): programs see only one of the two."});
    EXPECT_FALSE(TFontPromotion::CanPromote(*Shadowed));
    // Nothing to repair: which of the two is wanted is the user's choice.
    const TRepairResult Repair = TFontRepair(M.Services, Fonts, nullptr).RepairSelectedItems({Shadowed});
    EXPECT_TRUE(Repair.Entries.at(0).Changes.empty());
    EXPECT_TRUE(Repair.Backup.empty());
}

TEST(UserFonts, UntrustedFontBlockingIsReadFromTheKernelsMitigationOptions)
{
    TPromoteMachine M;
    M.PutFont("machine.ttf", u"Machine");
    M.Register("Machine (TrueType)", "machine.ttf");
    TNoScanProgress Progress;
    TInstalledFonts Fonts(M.Services, Progress);
    const auto Blocking = [&] {
        Fonts.Refresh();
        return Fonts.UntrustedFontBlocking();
    };
    EXPECT_EQ(Blocking(), TUntrustedFontBlocking::NotSet);
    const std::uint32_t RegQword = 11;
    // Bits 48 and 49 of a QWORD; other bits around them do not count.
    SetMitigation(M, RegQword, {0xFF, 0, 0, 0, 0, 0, 0x01 | 0x10, 0});
    EXPECT_EQ(Blocking(), TUntrustedFontBlocking::On);
    EXPECT_EQ(Fonts.Notes(*Find(Fonts, "Good (TrueType)", TFontScope::User)),
              std::vector<std::string>{std::string(BlockedUserFontNote)});
    EXPECT_TRUE(Fonts.Notes(*Find(Fonts, "Machine (TrueType)", TFontScope::Machine)).empty());
    EXPECT_TRUE(UntrustedFontBlockingLine(TUntrustedFontBlocking::On, FontsFolder)
                    .starts_with("Windows blocks untrusted fonts: programs that use GDI cannot load fonts from outside "
                                 "C:\\Windows\\Fonts,"));
    SetMitigation(M, RegQword, {0, 0, 0, 0, 0, 0, 0x02, 0});
    EXPECT_EQ(Blocking(), TUntrustedFontBlocking::Off);
    EXPECT_TRUE(Fonts.Notes(*Find(Fonts, "Good (TrueType)", TFontScope::User)).empty());
    EXPECT_TRUE(UntrustedFontBlockingLine(TUntrustedFontBlocking::Off, FontsFolder).empty());
    // A longer binary value, as later versions of Windows write it.
    std::vector<std::uint8_t> Binary(24, 0);
    Binary[6] = 0x03;
    SetMitigation(M, platform::RegBinary, Binary);
    EXPECT_EQ(Blocking(), TUntrustedFontBlocking::Audit);
    EXPECT_FALSE(UntrustedFontBlockingLine(TUntrustedFontBlocking::Audit, FontsFolder).empty());
    // Too short to hold the field, or of another type: not set.
    SetMitigation(M, platform::RegBinary, {0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Blocking(), TUntrustedFontBlocking::NotSet);
    SetMitigation(M, platform::RegDword, {0, 0, 0, 1});
    EXPECT_EQ(Blocking(), TUntrustedFontBlocking::NotSet);
}
