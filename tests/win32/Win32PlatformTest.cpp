// The Win32 platform layer against the real API (under Wine in CI).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "base/AsciiText.h"
#include "base/TextConversion.h"
#include "base/Win32Handle.h"
#include "platform/win32/Win32Platform.h"

using namespace platform;

namespace {

// Test cases run as processes of their own, several at once in one prefix:
// each has a key of its own.
const std::string TestKeyName = "SOFTWARE\\VelmorantPlatformTests-" + std::to_string(GetCurrentProcessId());
const std::string TestKey = "\\" + TestKeyName;

class Win32Platform : public ::testing::Test {
protected:
    void SetUp() override
    {
        HKEY Key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, base::Utf8ToWide(TestKeyName).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &Key, nullptr),
                  ERROR_SUCCESS);
        const DWORD Number = 7;
        RegSetValueExW(Key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Number), sizeof(Number));
        RegSetValueExW(Key, L"Empty", 0, REG_SZ, nullptr, 0);
        const wchar_t Expand[] = L"%WINDIR%\\x.ttf";
        RegSetValueExW(Key, L"Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(Expand), sizeof(Expand));
        RegCloseKey(Key);

        wchar_t Temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, Temp);
        Folder = base::WideToUtf8(Temp) + "velmorant-platform-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryW(base::Utf8ToWide(Folder).c_str(), nullptr);
    }

    void TearDown() override
    {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, base::Utf8ToWide(TestKeyName).c_str());
        for (const TFolderEntry& Entry : Machine.Files.ListFolder(Folder)) {
            const std::wstring Path = base::Utf8ToWide(Folder + "\\" + Entry.Name);
            SetFileAttributesW(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(Path.c_str());
        }
        RemoveDirectoryW(base::Utf8ToWide(Folder).c_str());
    }

    TWin32Platform Machine{TWin32Shell::TUi::Silent};
    std::string Folder;
};

}  // namespace

TEST_F(Win32Platform, RegistryValuesKeepTheirTypesSizesAndUnicodeNames)
{
    ASSERT_EQ(Machine.Registry.OpenLocalMachineKey("\\SOFTWARE\\NoSuchKeyHere", TRegistryAccess::Read), nullptr);
    auto Key = Machine.Registry.OpenLocalMachineKey(TestKey, TRegistryAccess::Full);
    ASSERT_NE(Key, nullptr);
    // Outside every code page, and an unpaired surrogate that only UTF-16 can hold.
    const std::string Name = "Noten \xC3\x84\xE2\x82\xAC\xF0\x9D\x84\x9E\xE4\xB8\xAD (TrueType)";
    const std::string Lone = base::Utf16ToUtf8(u"Lone \xD800 (TrueType)");
    Key->WriteString(Name, "C:\\Fonts\\\xE4\xB8\xAD.ttf");
    Key->WriteString(Lone, "lone.ttf");

    const TRegistryValue Written = Key->QueryValue(Name);
    EXPECT_EQ(Written.State, TRegistryValueState::Present);
    EXPECT_EQ(Written.Type, RegSz);
    EXPECT_EQ(Written.Data.size(), (14 + 1) * 2u);  // the terminating NUL is stored
    EXPECT_EQ(RegistryStringText(Written.Data), "C:\\Fonts\\\xE4\xB8\xAD.ttf");
    const TRegistryValue Number = Key->QueryValue("NUMBER");
    EXPECT_EQ(Number.Type, RegDword);
    EXPECT_EQ(Number.Data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
    EXPECT_EQ(Key->QueryValue("Empty").Data.size(), 0u);
    EXPECT_EQ(Key->QueryValue("Expand").Type, RegExpandSz);
    EXPECT_EQ(RegistryStringText(Key->QueryValue("Expand").Data), "%WINDIR%\\x.ttf");
    EXPECT_EQ(Key->QueryValue("Missing").State, TRegistryValueState::Missing);

    std::vector<std::string> Names = Key->ValueNames();
    std::sort(Names.begin(), Names.end());
    EXPECT_EQ(Names, (std::vector<std::string>{"Empty", "Expand", Lone, Name, "Number"}));
    EXPECT_TRUE(Key->ValueExists("noten \xC3\x84\xE2\x82\xAC\xF0\x9D\x84\x9E\xE4\xB8\xAD (truetype)"));
    EXPECT_TRUE(Key->ValueExists(Lone));
    EXPECT_TRUE(Key->DeleteValue(Name));
    EXPECT_FALSE(Key->DeleteValue(Name));
    EXPECT_FALSE(Key->ValueExists(Name));

    auto ReadOnly = Machine.Registry.OpenLocalMachineKey(TestKey.substr(1), TRegistryAccess::Read);
    ASSERT_NE(ReadOnly, nullptr);
    EXPECT_THROW(ReadOnly->WriteString("Refused", "x"), ERegistryError);
}

// RegSetValueExW stores one code unit more than it is told when string data
// lacks its NUL and the unit after it is NUL; WriteValue stores exactly the
// bytes it is given, of even or odd size, and takes no name holding NUL.
TEST_F(Win32Platform, StringDataIsStoredExactlyWithoutItsNulAndOfOddSizes)
{
    auto Key = Machine.Registry.OpenLocalMachineKey(TestKey, TRegistryAccess::Full);
    ASSERT_NE(Key, nullptr);
    const std::uint8_t Raw[] = {'r', 0, 'a', 0, 0, 0};
    HKEY Handle = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, base::Utf8ToWide(TestKeyName).c_str(), 0, KEY_ALL_ACCESS, &Handle),
              ERROR_SUCCESS);
    RegSetValueExW(Handle, L"Api", 0, REG_SZ, Raw, 4);
    RegCloseKey(Handle);
    EXPECT_EQ(Key->QueryValue("Api").Data.size(), 6u);

    for (const std::vector<std::uint8_t>& Data :
         {std::vector<std::uint8_t>{'r', 0, 'a', 0}, std::vector<std::uint8_t>{'o', 0, '.', 0, 0}}) {
        // Zeros after the data, inside the vector's own memory.
        std::vector<std::uint8_t> Written(64, 0);
        Written.assign(Data.begin(), Data.end());
        for (const std::uint32_t Type : {RegSz, RegExpandSz, RegMultiSz}) {
            Key->WriteValue("Exact", Type, Written);
            EXPECT_EQ(Key->QueryValue("Exact").Data, Data) << Type;
        }
    }
    const std::string WithNul("Exact\0x", 7);
    EXPECT_THROW(Key->WriteValue(WithNul, RegSz, {}), ERegistryError);
    EXPECT_THROW(Key->DeleteValue(WithNul), ERegistryError);
    EXPECT_EQ(Key->QueryValue(WithNul).State, TRegistryValueState::Missing);
    EXPECT_TRUE(Key->ValueExists("Exact"));
}

TEST_F(Win32Platform, FilesKeepTheirAttributesAndFoldersListHiddenEntries)
{
    const std::string File = Folder + "\\\xE4\xB8\xAD Hidden.ttf";
    Machine.Files.WriteNewFile(File, {'a', 'b', 'c'});
    EXPECT_TRUE(Machine.Files.FileExists(File));
    EXPECT_FALSE(Machine.Files.FileExists(Folder));
    EXPECT_NE(Machine.Files.GetAttributes(Folder) & FileAttrDirectory, 0u);
    EXPECT_EQ(Machine.Files.GetAttributes(Folder + "\\missing"), FileAttrInvalid);
    ASSERT_TRUE(Machine.Files.SetAttributes(File, FileAttrHidden | FileAttrSystem | FileAttrArchive));
    EXPECT_EQ(Machine.Files.GetAttributes(File) & 0x27u, FileAttrHidden | FileAttrSystem | FileAttrArchive);
    EXPECT_FALSE(Machine.Files.SetAttributes(Folder + "\\missing", FileAttrSystem));

    bool Listed = false;
    for (const TFolderEntry& Entry : Machine.Files.ListFolder(Folder))
        if (Entry.Name == "\xE4\xB8\xAD Hidden.ttf")
            Listed = (Entry.Attributes & FileAttrHidden) != 0;
    EXPECT_TRUE(Listed);

    const auto Stream = Machine.Files.OpenRead(File);
    char Bytes[4] = {};
    EXPECT_EQ(Stream->Read(Bytes, 4), 3u);
    EXPECT_EQ(std::string(Bytes), "abc");
    EXPECT_THROW(Machine.Files.OpenRead(Folder + "\\missing"), base::EStreamError);
    // A hidden, system file cannot be replaced by a plain one.
    EXPECT_THROW(Machine.Files.WriteNewFile(File, {'x'}), EFileError);
    EXPECT_THROW(Machine.Files.WriteNewFile(Folder + "\\no\\such\\folder.ini", {'x'}), EFileError);
}

TEST_F(Win32Platform, EveryNameTheFolderListingGivesOpensForReading)
{
    // Beyond every code page, a surrogate pair, and an unpaired surrogate
    // where the file system can hold one (Wine's cannot always).
    const std::u16string Names[] = {u"\u4E2D\u6587.ttf", u"\U0001F600 emoji.ttf",
                                    std::u16string(u"lone ") + char16_t(0xD800) + u".ttf"};
    std::size_t Created = 0;
    for (const std::u16string& Name : Names) {
        const std::wstring Path = base::Utf8ToWide(Folder) + L"\\" + std::wstring(Name.begin(), Name.end());
        const base::TFileHandle File(
            CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!File.Valid())
            continue;
        DWORD Written = 0;
        WriteFile(File.Get(), "font", 4, &Written, nullptr);
        ++Created;
    }
    ASSERT_GE(Created, 2u);
    std::size_t Opened = 0;
    for (const TFolderEntry& Entry : Machine.Files.ListFolder(Folder)) {
        if ((Entry.Attributes & FileAttrDirectory) != 0)
            continue;
        const std::string Path = Folder + "\\" + Entry.Name;
        EXPECT_TRUE(Machine.Files.FileExists(Path)) << Path;
        char Bytes[4] = {};
        EXPECT_EQ(Machine.Files.OpenRead(Path)->Read(Bytes, 4), 4u) << Path;
        ++Opened;
    }
    EXPECT_EQ(Opened, Created);
}

TEST_F(Win32Platform, TheShellNamesTheFontsFolderAndRecyclesFiles)
{
    const std::string Windows = Machine.Files.WindowsFolder();
    EXPECT_EQ(base::CompareTextAscii(Machine.Shell.FontsFolder(), Windows + "\\Fonts"), 0);
    const std::string File = Folder + "\\recycle me;really.ttf";
    Machine.Files.WriteNewFile(File, {'x'});
    const TShellDeleteResult Deleted = Machine.Shell.DeleteFiles(nullptr, {File});
    EXPECT_TRUE(Deleted.Succeeded);
    EXPECT_FALSE(Deleted.Aborted);
    EXPECT_FALSE(Machine.Files.FileExists(File));
    EXPECT_FALSE(Machine.Shell.DeleteFiles(nullptr, {Folder + "\\missing.ttf"}).Succeeded);
}

TEST_F(Win32Platform, SystemFactsAndTextServicesAnswer)
{
    EXPECT_NE(Machine.System.DefaultLocale() & 0xFFFF, 0u);
    const TOsVersion Version = Machine.System.Version();
    EXPECT_EQ(Version.PlatformId, PlatformWin32NT);
    EXPECT_GE(Version.Major, 5u);
    EXPECT_GT(Machine.System.MemoryStatus().TotalPhysical, 0u);

    wchar_t Self[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, Self, MAX_PATH);
    const auto Values = Machine.System.VersionStrings(
        base::WideToUtf8(Self), {"StringFileInfo\\040904E4\\CompanyName", "StringFileInfo\\040904E4\\FileVersion",
                       "StringFileInfo\\040904E4\\Comments"});
    EXPECT_EQ(Values, (std::vector<std::optional<std::string>>{"Velmorant Test Company", "1.2.3.4", std::nullopt}));
    EXPECT_EQ(Machine.System.VersionStrings(Folder, {"StringFileInfo\\040904E4\\CompanyName"}),
              std::vector<std::optional<std::string>>{std::nullopt});

    EXPECT_EQ(Machine.Text.CompareText("Arial (TrueType)", "ARIAL (TRUETYPE)"), 0);
    EXPECT_LT(Machine.Text.CompareText("arial", "Courier"), 0);
    EXPECT_GT(Machine.Text.CompareText("Times", "courier"), 0);
}

TEST_F(Win32Platform, TheUsersHiveTakesValuesOfEveryTypeExactly)
{
    const std::string UserKey = "\\" + TestKeyName + "\\Fonts";
    ASSERT_EQ(Machine.Registry.OpenKey(TRegistryRoot::CurrentUser, UserKey, TRegistryAccess::Read), nullptr);
    auto Key = Machine.Registry.CreateKey(TRegistryRoot::CurrentUser, UserKey);
    ASSERT_NE(Key, nullptr);
    // A DWORD of three bytes: the data is stored as given, whatever its type says.
    const std::vector<std::uint8_t> Short{7, 0, 0};
    Key->WriteValue("Raw", RegDword, Short);
    Key->WriteValue("Blob", RegBinary, {1, 2, 3});
    Key->WriteValue("Empty", RegSz, {});
    Key->WriteString("\xC3\x89" "cole (TrueType)", "x.ttf");
    auto Again = Machine.Registry.OpenKey(TRegistryRoot::CurrentUser, UserKey, TRegistryAccess::Read);
    ASSERT_NE(Again, nullptr);
    EXPECT_EQ(Again->QueryValue("Raw").Data, Short);
    EXPECT_EQ(Again->QueryValue("Blob").Type, RegBinary);
    EXPECT_EQ(Again->QueryValue("Blob").Data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(Again->QueryValue("Empty").Data.size(), 0u);
    // The registry matches names by its own upper case, beyond ASCII too.
    EXPECT_TRUE(Again->ValueExists("\xC3\xA9" "COLE (TRUETYPE)"));
    EXPECT_EQ(Machine.Text.UpperCaseOrdinal("\xC3\xA9" "cole \xD0\xB6"), "\xC3\x89" "COLE \xD0\x96");
    EXPECT_EQ(Machine.Registry.OpenKey(TRegistryRoot::LocalMachine, UserKey, TRegistryAccess::Read), nullptr);
    Key.reset();
    Again.reset();
    RegDeleteKeyW(HKEY_CURRENT_USER, base::Utf8ToWide(TestKeyName + "\\Fonts").c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, base::Utf8ToWide(TestKeyName).c_str());
}

TEST_F(Win32Platform, AFileAnotherProgramWritesOpensForAPlainReadOnly)
{
    const std::string File = Folder + "\\busy.ttf";
    EXPECT_TRUE(Machine.Files.CreateNewFile(File, {'b', 'u', 's', 'y'}));
    EXPECT_FALSE(Machine.Files.CreateNewFile(File, {'x'}));
    const base::TFileHandle Writer(CreateFileW(base::Utf8ToWide(File).c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(Writer.Valid());
    EXPECT_THROW(Machine.Files.OpenRead(File), base::EStreamError);
    char Bytes[4] = {};
    EXPECT_EQ(Machine.Files.OpenReadShared(File)->Read(Bytes, 4), 4u);
}

TEST_F(Win32Platform, ACopyNeverReplacesAFileAndKeepsTheOriginalsIdentity)
{
    const std::string From = Folder + "\\from.ttf";
    const std::string To = Folder + "\\to.ttf";
    Machine.Files.WriteNewFile(From, {'f', 'o', 'n', 't'});
    EXPECT_TRUE(Machine.Files.CopyNewFile(From, To));
    EXPECT_EQ(Machine.Files.FileIdentity(To), Machine.Files.FileIdentity(From));
    Machine.Files.WriteNewFile(From, {'o', 't', 'h', 'e', 'r'});
    EXPECT_FALSE(Machine.Files.CopyNewFile(From, To));
    EXPECT_EQ(Machine.Files.FileIdentity(To)->Size, 4u);
    EXPECT_THROW(Machine.Files.CopyNewFile(Folder + "\\missing.ttf", Folder + "\\new.ttf"), EFileError);
    EXPECT_FALSE(Machine.Files.FileExists(Folder + "\\new.ttf"));
}

TEST_F(Win32Platform, AFileHeldWithoutSharingIsInUseAndStillHasItsIdentityAndFinalPath)
{
    const std::string File = Folder + "\\held.ttf";
    Machine.Files.WriteNewFile(File, {'h', 'e', 'l', 'd', '!'});
    const std::optional<TFileIdentity> Seen = Machine.Files.FileIdentity(File);
    ASSERT_TRUE(Seen.has_value());
    EXPECT_EQ(Seen->Size, 5u);
    EXPECT_FALSE(Machine.Files.FileIdentity(Folder).has_value());
    EXPECT_FALSE(Machine.Files.FileInUse(File));
    // ".." resolved, the letter case as the file system keeps it.
    const std::string Final = Machine.Files.FinalPath(Folder + "\\..\\" + base::UpperCaseAscii(
                                                          Folder.substr(Folder.find_last_of('\\') + 1)) + "\\HELD.TTF");
    EXPECT_TRUE(base::SameTextAscii(Final, Machine.Files.FinalPath(Folder) + "\\held.ttf")) << Final;
    EXPECT_EQ(Machine.Files.FinalPath(Folder + "\\missing.ttf"), "");
    {
        const base::TFileHandle Holder(CreateFileW(base::Utf8ToWide(File).c_str(), GENERIC_READ, 0, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(Holder.Valid());
        EXPECT_TRUE(Machine.Files.FileInUse(File));
        EXPECT_EQ(Machine.Files.FileIdentity(File), Seen);
        EXPECT_FALSE(Machine.Files.FinalPath(File).empty());
    }
    Machine.Files.WriteNewFile(File, {'n', 'e', 'w'});
    EXPECT_NE(Machine.Files.FileIdentity(File), Seen);
    EXPECT_TRUE(Machine.Shell.HasRecycleBin(File));
}

TEST_F(Win32Platform, FoldersTimeAndTheSessionAnswer)
{
    const std::string LocalAppData = Machine.Shell.LocalAppDataFolder();
    ASSERT_FALSE(LocalAppData.empty());
    EXPECT_NE(Machine.Files.GetAttributes(LocalAppData) & FileAttrDirectory, 0u);
    const std::string Nested = Folder + "\\a\\b";
    Machine.Files.CreateFolders(Nested);
    EXPECT_NE(Machine.Files.GetAttributes(Nested) & FileAttrDirectory, 0u);
    Machine.Files.CreateFolders(Nested);
    Machine.Files.WriteNewFile(Folder + "\\file", {'x'});
    EXPECT_THROW(Machine.Files.CreateFolders(Folder + "\\file\\c"), EFileError);
    RemoveDirectoryW(base::Utf8ToWide(Nested).c_str());
    RemoveDirectoryW(base::Utf8ToWide(Folder + "\\a").c_str());
    EXPECT_GE(Machine.System.LocalTime().Year, 2020u);
    EXPECT_FALSE(Machine.Session.AddFont(Folder + "\\file"));
    EXPECT_TRUE(Machine.Session.BroadcastFontChange());
}
