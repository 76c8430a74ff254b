#include <gtest/gtest.h>

#include <span>
#include <sstream>

#include "app/RegistryFile.h"
#include "app/RepairBackup.h"
#include "base/Format.h"
#include "base/TextConversion.h"
#include "tests/app/AppTestSupport.h"
#include "tools/cli/Cli.h"

using namespace app;
using namespace app_testing;

namespace {

const std::string Backups = "C:\\Users\\Tester\\AppData\\Local\\Velmorant\\Backups";
const std::string FirstBackup = Backups + "\\repair-20260307-090502.reg";

int Cli(TMachine& M, std::vector<std::string> Arguments, std::string* Out = nullptr, std::string* Err = nullptr)
{
    std::ostringstream OutText, ErrText;
    const int Status = cli::RunCli(M.Services, Arguments, OutText, ErrText);
    if (Out != nullptr)
        *Out = OutText.str();
    if (Err != nullptr)
        *Err = ErrText.str();
    return Status;
}

std::vector<std::uint8_t> Utf16File(std::u16string_view Text)
{
    std::vector<std::uint8_t> Bytes{0xFF, 0xFE};
    for (const char16_t Unit : Text)
        Bytes.push_back(static_cast<std::uint8_t>(Unit & 0xFF)), Bytes.push_back(static_cast<std::uint8_t>(Unit >> 8));
    return Bytes;
}

// The file as UTF-8 text, after checking that it is UTF-16LE with its mark.
std::string FileText(TMachine& M, const std::string& Path)
{
    const auto Bytes = M.Files.FileBytes(Path);
    if (!Bytes || Bytes->size() < 2 || (*Bytes)[0] != 0xFF || (*Bytes)[1] != 0xFE || Bytes->size() % 2 != 0)
        return "<not UTF-16LE with a byte-order mark>";
    std::u16string Text;
    for (std::size_t i = 2; i < Bytes->size(); i += 2)
        Text += static_cast<char16_t>((*Bytes)[i] | ((*Bytes)[i + 1] << 8));
    return base::Utf16ToUtf8(Text);
}

// Values of every kind the backup must keep exactly, in both keys.
void PlantOddValues(TMachine& M)
{
    M.Files.PutFile(M.InFonts("bad.ttf"), std::string_view("not a font"));
    M.Register("Bad (TrueType)", "bad.ttf");
    M.Register("Gone \"Q\" \\ (TrueType)", "C:\\Missing\\gone.ttf");
    M.Register("\xC3\x9Cn\xC3\xAF \xE4\xB8\xAD (TrueType)", "\xC3\xBCn\xC3\xAF.ttf");
    M.Registry.SetValue(FontsKey, "Number (TrueType)", platform::RegDword, {0x78, 0x56, 0x34, 0x12});
    M.Registry.SetValue(FontsKey, "Blob (TrueType)", platform::RegBinary, {0x01, 0xAB});
    // A string without its NUL must come back without it.
    M.Registry.SetValue(FontsKey, "Raw (TrueType)", platform::RegSz, {'r', 0, '.', 0, 't', 0, 't', 0, 'f', 0});
    // And one of an odd size whose last byte is zero: the registry API must
    // not take it for the start of a NUL.
    M.Registry.SetValue(FontsKey, "Odd (TrueType)", platform::RegSz, {'o', 0, '.', 0, 't', 0, 't', 0, 'f', 0, 0});
    // A name the Registry Editor's lines cannot hold.
    M.Register("Two\r\nLines (TrueType)", "C:\\Missing\\two.ttf");
    M.PutFont("loose.ttf", u"Loose");
    M.RegisterUser("Mine (TrueType)", M.InUserFonts("mine.ttf"));
}

}  // namespace

TEST(RepairBackup, HoldsEveryValueExactlyAsItWasAndTheFilesRecycled)
{
    TMachine M;
    PlantOddValues(M);
    std::string Out;
    EXPECT_EQ(Cli(M, {"repair"}, &Out), cli::ExitClean);
    EXPECT_TRUE(Out.starts_with("backup: " + FirstBackup + "\n"));
    EXPECT_EQ(FileText(M, FirstBackup),
              "Windows Registry Editor Version 5.00\r\n"
              "\r\n"
              "; Moved to the recycle bin: C:\\Windows\\Fonts\\bad.ttf\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n"
              "\"Loose (TrueType)\"=-\r\n"
              "\"Number (TrueType)\"=dword:12345678\r\n"
              "\"Blob (TrueType)\"=hex:01,ab\r\n"
              "\"\xC3\x9Cn\xC3\xAF \xE4\xB8\xAD (TrueType)\"=\"\xC3\xBCn\xC3\xAF.ttf\"\r\n"
              ";undo only: \"Two\\r\\nLines (TrueType)\"=\"C:\\\\Missing\\\\two.ttf\"\r\n"
              "\"Raw (TrueType)\"=hex(1):72,00,2e,00,74,00,74,00,66,00\r\n"
              "\"Odd (TrueType)\"=hex(1):6f,00,2e,00,74,00,74,00,66,00,00\r\n"
              "\"Gone \\\"Q\\\" \\\\ (TrueType)\"=\"C:\\\\Missing\\\\gone.ttf\"\r\n"
              "\"Bad (TrueType)\"=\"bad.ttf\"\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n"
              "\"Mine (TrueType)\"=\"C:\\\\Users\\\\Tester\\\\AppData\\\\Local\\\\Microsoft\\\\Windows\\\\Fonts\\\\mine.ttf\"\r\n"
              "\r\n"
              "; End of the Velmorant repair backup\r\n");
}

TEST(RepairBackup, UndoPutsBackExactlyWhatTheRepairChanged)
{
    TMachine M;
    PlantOddValues(M);
    M.PutFont("case.ttf", u"Case Name");
    M.PutFont("old.ttf", u"Renamed");
    M.Register("CASE NAME (TrueType)", "case.ttf");
    M.Register("Old Name (TrueType)", "old.ttf");
    M.Files.PutFile(M.InUserFonts("own.ttf"), NamedFont(u"Own"));
    const std::vector<std::string> Before = M.Snapshot();
    ASSERT_EQ(Cli(M, {"repair"}), cli::ExitClean);
    EXPECT_NE(M.Snapshot(), Before);
    const int Broadcasts = M.Session.Broadcasts;

    std::string Out;
    EXPECT_EQ(Cli(M, {"undo", FirstBackup, "--dry-run"}, &Out), cli::ExitClean);
    // The values created first, then the old ones: a rename in letter case only comes back.
    EXPECT_TRUE(Out.starts_with("would delete registry value \"Renamed (TrueType)\" in the machine Fonts key\n"
                                "would delete registry value \"Case Name (TrueType)\" in the machine Fonts key\n"
                                "would delete registry value \"Loose (TrueType)\" in the machine Fonts key\n"
                                "would put back registry value \"Old Name (TrueType)\" in the machine Fonts key\n"
                                "would put back registry value \"CASE NAME (TrueType)\" in the machine Fonts key\n"))
        << Out;
    EXPECT_NE(Out.find("would put back registry value \"Mine (TrueType)\" in the user Fonts key\n"), std::string::npos);
    EXPECT_NE(M.Snapshot(), Before);

    EXPECT_EQ(Cli(M, {"undo", FirstBackup}, &Out), cli::ExitClean);
    EXPECT_EQ(M.Snapshot(), Before);
    EXPECT_EQ(M.Session.Broadcasts, Broadcasts + 1);
    // A second run in the same second keeps the first backup and gets its own.
    ASSERT_EQ(Cli(M, {"repair"}, &Out), cli::ExitClean);
    EXPECT_TRUE(Out.starts_with("backup: " + Backups + "\\repair-20260307-090502-2.reg\n"));
    EXPECT_EQ(Cli(M, {"undo", Backups + "\\repair-20260307-090502-2.reg"}), cli::ExitClean);
    EXPECT_EQ(M.Snapshot(), Before);
}

TEST(RepairBackup, WithoutABackupTheRepairChangesNothingAndADryRunWritesNone)
{
    TMachine M;
    PlantOddValues(M);
    const std::vector<std::string> Before = M.Snapshot();
    std::string Out, Err;
    EXPECT_EQ(Cli(M, {"repair", "--dry-run", "--json"}, &Out), cli::ExitClean);
    EXPECT_EQ(Out.find("\"backup\""), std::string::npos);
    EXPECT_FALSE(M.Files.HostPath(Backups).has_value() && std::filesystem::exists(*M.Files.HostPath(Backups)));

    M.Files.RefuseCreate = true;
    EXPECT_EQ(Cli(M, {"repair"}, &Out, &Err), cli::ExitError);
    EXPECT_NE(Err.find("The repair changed nothing: its registry backup could not be written"), std::string::npos);
    M.Files.RefuseCreate = false;
    M.Shell.SetLocalAppDataFolder("");
    EXPECT_EQ(Cli(M, {"repair"}, &Out, &Err), cli::ExitError);
    EXPECT_EQ(M.Snapshot(), Before);
    EXPECT_TRUE(M.Files.FileExists(M.InFonts("bad.ttf")));
    EXPECT_TRUE(M.Session.Added.empty());
    EXPECT_EQ(M.Session.Broadcasts, 0);
}

TEST(RepairBackup, UndoRefusesOtherKeysAndMalformedFilesAndChangesNothing)
{
    TMachine M;
    M.Register("Kept (TrueType)", "kept.ttf");
    const std::vector<std::string> Before = M.Snapshot();
    const std::u16string Head = u"Windows Registry Editor Version 5.00\r\n\r\n";
    const std::u16string End = u"\r\n; End of the Velmorant repair backup\r\n";
    const std::u16string Fonts = u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n";
    const std::pair<std::vector<std::uint8_t>, std::string> Refused[] = {
        {Utf16File(Head + Fonts + u"\"Kept (TrueType)\"=-\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Run]\r\n\"x\"=\"y\"\r\n" + End),
         "only the two Fonts keys"},
        {Utf16File(Head + u"[-HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n"),
         "line 3: it deletes a key"},
        {Utf16File(u"REGEDIT4\r\n" + Fonts), "line 1: it does not begin with"},
        {Utf16File(Head + Fonts + u"\"Kept (TrueType)\"=\"unclosed\r\n"), "line 4: a quoted text is not closed"},
        {Utf16File(Head + Fonts + u"\"Kept (TrueType)\"=hex:1,2g\r\n"), "line 4: a hexadecimal number is expected"},
        {Utf16File(Head + Fonts + u"\"Kept (TrueType)\"=dword:123456789\r\n"), "a hexadecimal number"},
        {Utf16File(Head + u"\"Kept (TrueType)\"=-\r\n"), "a value stands before the first key"},
        {std::vector<std::uint8_t>{'W', 'i', 'n'}, "byte-order mark"},
    };
    for (const auto& [Bytes, Why] : Refused) {
        M.Files.PutFile("C:\\undo.reg", Bytes);
        std::string Err;
        EXPECT_EQ(Cli(M, {"undo", "C:\\undo.reg"}, nullptr, &Err), cli::ExitError) << Why;
        EXPECT_NE(Err.find(Why), std::string::npos) << Err;
        EXPECT_NE(Err.find("nothing was changed"), std::string::npos) << Err;
        EXPECT_EQ(M.Snapshot(), Before);
    }
    std::string Err;
    EXPECT_EQ(Cli(M, {"undo", "C:\\missing.reg"}, nullptr, &Err), cli::ExitError);
    EXPECT_EQ(Cli(M, {"undo"}, nullptr, &Err), cli::ExitError);

    // The machine key without administrator rights.
    M.Files.PutFile("C:\\undo.reg", Utf16File(Head + Fonts + u"\"Kept (TrueType)\"=-\r\n" + End));
    M.Registry.DenyAccess(FontsKey, platform::TRegistryAccess::Full);
    EXPECT_EQ(Cli(M, {"undo", "C:\\undo.reg"}, nullptr, &Err), cli::ExitError);
    EXPECT_NE(Err.find("needs administrator rights"), std::string::npos) << Err;
    // A dry run asks for the rights the undo needs.
    EXPECT_EQ(Cli(M, {"undo", "--dry-run", "C:\\undo.reg"}, nullptr, &Err), cli::ExitError);
    EXPECT_EQ(M.Snapshot(), Before);
}

TEST(RepairBackup, FilesAsTheRegistryEditorExportsThemAreRead)
{
    const TRegistryFile File = ParseRegistryFile(Utf16File(
        u"Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\X]\r\n@=\"default\"\r\n"
        u"\"Multi\"=hex(7):41,00,00,00,\\\r\n  42,00,00,00,\\\r\n  00,00\r\n; a comment \\\r\n\"D\"=dword:0000000a\r\n"));
    ASSERT_EQ(File.Keys.size(), 1u);
    const auto& Values = File.Keys[0].Values;
    ASSERT_EQ(Values.size(), 3u);
    EXPECT_EQ(Values[0].Name, "");
    EXPECT_EQ(Values[0].Value.Data, platform::RegistryStringData("default"));
    EXPECT_EQ(Values[1].Value.Type, platform::RegMultiSz);
    EXPECT_EQ(Values[1].Value.Data, (std::vector<std::uint8_t>{0x41, 0, 0, 0, 0x42, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Values[2].Value.Data, (std::vector<std::uint8_t>{10, 0, 0, 0}));
    // What we write we read back the same.
    EXPECT_EQ(FormatRegistryFile(ParseRegistryFile(FormatRegistryFile(File))), FormatRegistryFile(File));
}

TEST(RepairBackup, EveryCutOfAFileIsReadOrRefusedWithoutHarm)
{
    TRegistryFile File;
    File.Comments = {"Moved to the recycle bin: C:\\a.ttf"};
    File.Keys.push_back({"HKEY_LOCAL_MACHINE\\X", {}});
    File.Keys[0].Values.push_back({"A \"q\" \\", {platform::TRegistryValueState::Present, platform::RegSz,
                                                   platform::RegistryStringData("C:\\a.ttf")}});
    File.Keys[0].Values.push_back({"B", {platform::TRegistryValueState::Present, 11, {1, 2, 3, 4, 5, 6, 7, 8}}});
    File.Keys[0].Values.push_back({"C", {}});
    const std::vector<std::uint8_t> Bytes = FormatRegistryFile(File);
    for (std::size_t Size = 0; Size <= Bytes.size(); ++Size) {
        try {
            ParseRegistryFile(std::vector<std::uint8_t>(Bytes.begin(), Bytes.begin() + static_cast<std::ptrdiff_t>(Size)));
        } catch (const ERegistryFileError&) {
        }
    }
    const TRegistryFile Back = ParseRegistryFile(Bytes);
    ASSERT_EQ(Back.Keys.size(), 1u);
    EXPECT_EQ(Back.Keys[0].Values[0].Name, "A \"q\" \\");
    EXPECT_EQ(Back.Keys[0].Values[1].Value.Type, 11u);
    EXPECT_EQ(Back.Keys[0].Values[2].Value.State, platform::TRegistryValueState::Missing);
}

namespace {

const std::u16string Head = u"Windows Registry Editor Version 5.00\r\n\r\n";
const std::u16string MachineKey = u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n";
const std::u16string Closing = u"\r\n; End of the Velmorant repair backup\r\n";

}  // namespace

TEST(RepairBackup, UndoChecksTheWholeFileBeforeItChangesAnything)
{
    TMachine M;
    M.Register("Velmo Keep (TrueType)", "keep.ttf");
    M.Register("Velmo Other (TrueType)", "other.ttf");
    const std::vector<std::string> Before = M.Snapshot();
    const std::u16string Valid = u"\"Velmo Other (TrueType)\"=-\r\n";
    const std::pair<std::u16string, std::string> Refused[] = {
        // The system takes names as C strings: this one would delete "Velmo Keep (TrueType)".
        {MachineKey + Valid + u"\"Velmo Keep (TrueType)" + std::u16string(1, u'\0') + u"x\"=-\r\n" + Closing,
         "line 5: a value name holds NUL"},
        {MachineKey + Valid + u"\"" + std::u16string(16384, u'n') + u"\"=\"x.ttf\"\r\n" + Closing,
         "line 5: a value name is longer than 16383 characters"},
        // Cut short, or without the closing line.
        {MachineKey + Valid, "it does not end with the line \"; End of the Velmorant repair backup\""},
        {MachineKey + Valid + Closing + u"\"Velmo Keep (TrueType)\"=-\r\n", "it does not end with the line"},
        {MachineKey + Valid + u"; End of another file\r\n", "it does not end with the line"},
    };
    for (const auto& [Text, Why] : Refused) {
        M.Files.PutFile("C:\\undo.reg", Utf16File(Head + Text));
        for (const bool DryRun : {true, false}) {
            std::string Out, Err;
            std::vector<std::string> Arguments{"undo", "C:\\undo.reg"};
            if (DryRun)
                Arguments.push_back("--dry-run");
            EXPECT_EQ(Cli(M, Arguments, &Out, &Err), cli::ExitError) << Why;
            EXPECT_NE(Err.find(Why), std::string::npos) << Err;
            EXPECT_EQ(Out, "");
            EXPECT_EQ(M.Snapshot(), Before);
        }
    }
    // Every complete line of a real backup but its last is a file cut short.
    M.Files.PutFile(M.InFonts("bad.ttf"), std::string_view("not a font"));
    M.Register("Bad (TrueType)", "bad.ttf");
    ASSERT_EQ(Cli(M, {"repair"}), cli::ExitClean);
    const std::vector<std::string> Repaired = M.Snapshot();
    const std::vector<std::uint8_t> Backup = *M.Files.FileBytes(FirstBackup);
    for (std::size_t Cut = 2; Cut + 2 < Backup.size(); Cut += 2) {
        if (Backup[Cut - 2] != '\n')
            continue;
        M.Files.PutFile("C:\\cut.reg", std::vector<std::uint8_t>(Backup.begin(), Backup.begin() + static_cast<std::ptrdiff_t>(Cut)));
        EXPECT_EQ(Cli(M, {"undo", "C:\\cut.reg"}), cli::ExitError) << Cut;
        EXPECT_EQ(M.Snapshot(), Repaired);
    }
}

TEST(RepairBackup, AWriteRefusedHalfwaySetsBackWhatTheUndoHadChanged)
{
    TMachine M;
    M.Register("Velmo Keep (TrueType)", "keep.ttf");
    M.Register("Velmo Other (TrueType)", "other.ttf");
    const std::vector<std::string> Before = M.Snapshot();
    M.Files.PutFile("C:\\undo.reg", Utf16File(Head + MachineKey + u"\"Velmo Keep (TrueType)\"=-\r\n"
                                                  u"\"Velmo New (TrueType)\"=\"new.ttf\"\r\n"
                                                  u"\"Velmo Other (TrueType)\"=\"moved.ttf\"\r\n" + Closing));
    M.Registry.RefusedWriteNames = {"Velmo Other (TrueType)"};
    std::string Out, Err;
    EXPECT_EQ(Cli(M, {"undo", "C:\\undo.reg"}, &Out, &Err), cli::ExitError);
    EXPECT_EQ(Out, "");
    EXPECT_NE(Err.find("were set back, so nothing was changed"), std::string::npos) << Err;
    EXPECT_EQ(M.Snapshot(), Before);
}

TEST(RepairBackup, UndoShowsControlCharactersEscapedAndTellsOfRecycledFiles)
{
    TMachine M;
    M.Files.PutFile(M.InFonts("bad.ttf"), std::string_view("not a font"));
    M.Register("Bad (TrueType)", "bad.ttf");
    M.Register("Velmo\x1b[1A Keep\xE2\x80\xAE (TrueType)", "C:\\Missing\\x.ttf");
    M.Register("Two\nLines (TrueType)", "C:\\Missing\\two.ttf");
    ASSERT_EQ(Cli(M, {"repair"}), cli::ExitClean);
    for (const bool DryRun : {true, false}) {
        std::string Out;
        std::vector<std::string> Arguments{"undo", FirstBackup};
        if (DryRun)
            Arguments.push_back("--dry-run");
        EXPECT_EQ(Cli(M, Arguments, &Out), cli::ExitClean);
        const std::string Done = DryRun ? "would put back" : "put back";
        EXPECT_NE(Out.find(Done + " registry value \"Velmo\\x1b[1A Keep\\u202e (TrueType)\" in the machine Fonts key\n"),
                  std::string::npos)
            << Out;
        EXPECT_NE(Out.find(Done + " registry value \"Two\\x0aLines (TrueType)\""), std::string::npos) << Out;
        EXPECT_NE(Out.find("cannot put back C:\\Windows\\Fonts\\bad.ttf: the repair moved it to the recycle bin; "
                           "restore it from there\n"),
                  std::string::npos)
            << Out;
    }
    EXPECT_EQ(M.Registry.StringValue(FontsKey, "Two\nLines (TrueType)"), "C:\\Missing\\two.ttf");
}

TEST(RepairBackup, AFileTheShellRefusesAfterThePlanIsNotListedAsMoved)
{
    TMachine M;
    M.Files.PutFile(M.InFonts("bad.ttf"), std::string_view("not a font"));
    M.Register("Bad (TrueType)", "bad.ttf");
    M.Register("Gone (TrueType)", "C:\\Missing\\gone.ttf");
    // The plan expects the move; the shell refuses it when it comes.
    M.Shell.DeleteMode = platform::TSimulatedShell::TDeleteMode::Fail;
    EXPECT_EQ(Cli(M, {"repair"}), cli::ExitProblems);
    const std::string Text = FileText(M, FirstBackup);
    EXPECT_EQ(Text.find("recycle bin"), std::string::npos) << Text;
    EXPECT_NE(Text.find("\"Gone (TrueType)\"=\"C:\\\\Missing\\\\gone.ttf\"\r\n"), std::string::npos) << Text;
    EXPECT_TRUE(Text.ends_with("; End of the Velmorant repair backup\r\n"));
}

TEST(RepairBackup, ValuesWhoseNamesBreakLinesComeBackFromTheirOwnLines)
{
    TRegistryFile File;
    File.Keys.push_back({"HKEY_LOCAL_MACHINE\\X", {}});
    for (const char* Name : {"A\r\nB", "\n", "C\\\r\"D\""})
        File.Keys[0].Values.push_back(
            {Name, {platform::TRegistryValueState::Present, platform::RegSz, platform::RegistryStringData("a\\b.ttf")}});
    File.Keys[0].Values.push_back({"E\rF", {}});
    File.Keys[0].Values.push_back({"Plain", {}});
    const std::vector<std::uint8_t> Bytes = FormatRegistryFile(File);
    const std::u16string Text = base::LittleEndianToUtf16(std::span(Bytes).subspan(2));
    // The Registry Editor skips the comment lines and reads the rest.
    EXPECT_NE(Text.find(u"\r\n;undo only: \"A\\r\\nB\"=\"a\\\\b.ttf\"\r\n;undo only: \"\\n\"="), std::u16string::npos);
    EXPECT_NE(Text.find(u"\r\n;undo only: \"C\\\\\\r\\\"D\\\"\"="), std::u16string::npos);
    EXPECT_NE(Text.find(u"\r\n;undo only: \"E\\rF\"=-\r\n\"Plain\"=-\r\n"), std::u16string::npos);
    const TRegistryFile Back = ParseRegistryFile(Bytes);
    ASSERT_EQ(Back.Keys.size(), 1u);
    ASSERT_EQ(Back.Keys[0].Values.size(), File.Keys[0].Values.size());
    for (std::size_t i = 0; i < Back.Keys[0].Values.size(); ++i) {
        EXPECT_EQ(Back.Keys[0].Values[i].Name, File.Keys[0].Values[i].Name);
        EXPECT_EQ(Back.Keys[0].Values[i].Value.Data, File.Keys[0].Values[i].Value.Data);
    }
    // Only in those lines do \r and \n stand for line breaks.
    EXPECT_THROW(ParseRegistryFile(Utf16File(Head + MachineKey + u"\"A\\nB\"=-\r\n")), ERegistryFileError);
}

TEST(RepairBackup, AFileOfManyMegabytesIsReadInOnePass)
{
    // Hex data continued over 200,000 lines: reading it must not look at
    // what came before in each line.
    std::u16string Text = Head + MachineKey + u"\"Big\"=hex(3):";
    std::vector<std::uint8_t> Expected;
    for (std::size_t Line = 0; Line < 200000; ++Line) {
        for (unsigned Byte = 0; Byte < 8; ++Byte) {
            Expected.push_back(static_cast<std::uint8_t>(Line * 8 + Byte));
            Text += base::Utf8ToUtf16(base::HexDigits(Expected.back(), 2)) + u",";
        }
        Text += u"\\\r\n  ";
    }
    Text += u"00\r\n";
    Expected.push_back(0);
    const std::vector<std::uint8_t> Bytes = Utf16File(Text);
    ASSERT_GT(Bytes.size(), 5u << 20);
    const TRegistryFile File = ParseRegistryFile(Bytes);
    ASSERT_EQ(File.Keys.size(), 1u);
    ASSERT_EQ(File.Keys[0].Values.size(), 1u);
    EXPECT_EQ(File.Keys[0].Values[0].Value.Data, Expected);
}

TEST(RepairBackup, WhatARepairBacksUpItsUndoReadsAndWhatItCannotItLeavesAlone)
{
    TMachine M;
    M.Registry.SetValue(FontsKey, "Number (TrueType)", platform::RegDword, {1, 0, 0, 0});
    M.Register("Unread (TrueType)", "unread.ttf");
    M.Registry.RefuseData(FontsKey, "Unread (TrueType)");
    const std::vector<std::string> Before = M.Snapshot();
    std::string Out;
    EXPECT_EQ(Cli(M, {"repair"}, &Out), cli::ExitProblems);
    EXPECT_NE(Out.find("Unread (TrueType)\t\tmachine\n  not repaired: the backup could not hold its registry value\n"),
              std::string::npos)
        << Out;
    EXPECT_NE(Out.find(NotBackedUpMessage), std::string::npos);
    EXPECT_FALSE(M.Registry.Value(FontsKey, "Number (TrueType)"));
    EXPECT_TRUE(M.Registry.Value(FontsKey, "Unread (TrueType)"));
    EXPECT_EQ(Cli(M, {"undo", FirstBackup}), cli::ExitClean);
    EXPECT_EQ(M.Snapshot(), Before);

    // A 12 MiB value takes a backup of 72 MB, more than an undo reads: the
    // repair refuses before it changes anything.
    M.Registry.SetValue(FontsKey, "Large (TrueType)", platform::RegBinary, std::vector<std::uint8_t>(12u << 20, 0xAB));
    std::string Err;
    EXPECT_EQ(Cli(M, {"repair"}, &Out, &Err), cli::ExitError);
    EXPECT_NE(Err.find("The repair changed nothing: its registry backup could not be written (it would take "),
              std::string::npos)
        << Err;
    EXPECT_TRUE(M.Registry.Value(FontsKey, "Large (TrueType)"));
    EXPECT_TRUE(M.Registry.Value(FontsKey, "Number (TrueType)"));
}
