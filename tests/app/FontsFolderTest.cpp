#include <gtest/gtest.h>

#include "tests/app/AppTestSupport.h"

using namespace app;
using namespace app_testing;
using platform::TSimulatedShell;

namespace {

class TLines final : public IResultsLog {
public:
    void Add(const std::string& Line) override { Lines.push_back(Line); }
    std::vector<std::string> Lines;
};

const std::string Ini = "C:\\Windows\\Fonts\\Desktop.ini";
const std::string Cache = "C:\\Windows\\ttfCache";
constexpr std::uint32_t Protected = platform::FileAttrArchive | platform::FileAttrHidden | platform::FileAttrSystem;

std::vector<std::string> Fix(TMachine& M)
{
    TLines Log;
    RestoreFontsFolder(M.Services, nullptr, Log);
    return Log.Lines;
}

std::string IniText(TMachine& M)
{
    const auto Bytes = M.Files.FileBytes(Ini);
    return Bytes ? std::string(Bytes->begin(), Bytes->end()) : "<none>";
}

}  // namespace

TEST(FontsFolder, AHealthySystemLogsNothing)
{
    TMachine M;
    EXPECT_EQ(Fix(M), std::vector<std::string>{});
    // Line ends of LF alone, or none at the end, still count as correct.
    M.Files.PutFile(Ini, std::string_view("[.ShellClassInfo]\nUICLSID={BD84B380-8CA2-1069-AB1D-08000948F534}"));
    M.Files.SetAttributes(Ini, Protected | platform::FileAttrReadOnly);
    EXPECT_EQ(Fix(M), std::vector<std::string>{});
    EXPECT_TRUE(M.Shell.Requests.empty());
}

TEST(FontsFolder, TheCacheIsRecycledAndTheFolderAttributeRestored)
{
    TMachine M;
    M.Files.PutFile(Cache, std::string_view("cache"));
    M.Files.SetAttributes(FontsFolder, platform::FileAttrReadOnly);
    EXPECT_EQ(Fix(M), (std::vector<std::string>{
                          "Succesfully deleted (possible corrupted) file C:\\Windows\\ttfCache. If necessary Windows "
                          "will regenerate it.",
                          "Succesfully restored folder attributes for C:\\Windows\\Fonts.",
                      }));
    EXPECT_FALSE(M.Files.FileExists(Cache));
    EXPECT_EQ(M.Shell.Recycled(), std::vector<std::string>{"0-ttfCache"});
    EXPECT_EQ(M.Files.GetAttributes(FontsFolder),
              platform::FileAttrDirectory | platform::FileAttrReadOnly | platform::FileAttrSystem);
}

TEST(FontsFolder, ACorruptedDesktopIniIsRecycledRecreatedAndProtected)
{
    for (const std::string_view Corrupted : {
             std::string_view("[.ShellClassInfo]\r\nUICLSID={BD84B380-8CA2-1069-AB1D-08000948F534}\r\n\r\n"),
             std::string_view("[.ShellClassInfo]\r\nuiclsid={BD84B380-8CA2-1069-AB1D-08000948F534}\r\n"),
             std::string_view("\xEF\xBB\xBF[.ShellClassInfo]\r\nUICLSID={BD84B380-8CA2-1069-AB1D-08000948F534}\r\n"),
             std::string_view(""),
         }) {
        TMachine M;
        M.Files.PutFile(Ini, Corrupted);
        EXPECT_EQ(Fix(M), (std::vector<std::string>{
                              "Succesfully deleted corrupted file C:\\Windows\\Fonts\\Desktop.ini.",
                              "Succesfully created file C:\\Windows\\Fonts\\Desktop.ini.",
                              "Succesfully restored folder attributes for C:\\Windows\\Fonts\\Desktop.ini.",
                          }))
            << Corrupted;
        EXPECT_EQ(IniText(M), DesktopIniContent);
        EXPECT_EQ(M.Files.GetAttributes(Ini), Protected);
        EXPECT_EQ(M.Shell.Recycled(), std::vector<std::string>{"0-Desktop.ini"});
    }
}

TEST(FontsFolder, AMissingDesktopIniIsCreatedAndProtected)
{
    TMachine M;
    M.Shell.DeleteMode = TSimulatedShell::TDeleteMode::Fail;
    M.Files.MoveOut(Ini, M.Root / "elsewhere");
    EXPECT_EQ(Fix(M), (std::vector<std::string>{
                          "Succesfully created file C:\\Windows\\Fonts\\Desktop.ini.",
                          "Succesfully restored folder attributes for C:\\Windows\\Fonts\\Desktop.ini.",
                      }));
    EXPECT_EQ(IniText(M), DesktopIniContent);
    EXPECT_EQ(M.Files.GetAttributes(Ini), Protected);
}

TEST(FontsFolder, FailuresAreWarnedAndTheNextFixStillRuns)
{
    for (const auto Mode : {TSimulatedShell::TDeleteMode::Cancel, TSimulatedShell::TDeleteMode::Fail}) {
        TMachine M;
        M.Shell.DeleteMode = Mode;
        M.Files.PutFile(Cache, std::string_view("cache"));
        M.Files.PutFile(Ini, std::string_view("[.ShellClassInfo]\r\n"));
        M.Files.SetAttributes(Ini, platform::FileAttrArchive);
        M.Files.SetAttributes(FontsFolder, 0);
        M.Files.RefuseAttributeChanges = true;
        EXPECT_EQ(Fix(M), (std::vector<std::string>{
                              "Warning: Could not delete file C:\\Windows\\ttfCache.",
                              "Warning: Could not restore folder attributes for C:\\Windows\\Fonts.",
                              "Warning: Could not delete corrupted file C:\\Windows\\Fonts\\Desktop.ini.",
                              "Warning: could not restore folder attributes for C:\\Windows\\Fonts\\Desktop.ini.",
                          }));
        // The corrupted file stays and is not rewritten.
        EXPECT_EQ(IniText(M), "[.ShellClassInfo]\r\n");
        EXPECT_TRUE(M.Files.FileExists(Cache));
    }
}

TEST(FontsFolder, ADesktopIniThatCannotBeCreatedEndsTheFixes)
{
    TMachine M;
    M.Files.PutFile(Ini, std::string_view("wrong"));
    M.Files.RefuseCreate = true;
    TLines Log;
    EXPECT_THROW(RestoreFontsFolder(M.Services, nullptr, Log), platform::EFileError);
    EXPECT_EQ(Log.Lines, std::vector<std::string>{"Succesfully deleted corrupted file C:\\Windows\\Fonts\\Desktop.ini."});
}

TEST(FontsFolder, WithoutAFontsFolderNoOtherFolderIsTouched)
{
    TMachine M;
    M.Shell.SetFontsFolder("");
    M.Files.PutFile(Cache, std::string_view("cache"));
    M.Files.PutFile("C:\\Desktop.ini", std::string_view("someone else's"));
    EXPECT_EQ(Fix(M), (std::vector<std::string>{
                          "Succesfully deleted (possible corrupted) file C:\\Windows\\ttfCache. If necessary Windows "
                          "will regenerate it.",
                          "Warning: Could not determine the Fonts folder. Its attributes and Desktop.ini were not "
                          "checked, and the fonts in it were not listed.",
                      }));
    EXPECT_EQ(M.Files.GetAttributes("C:\\Desktop.ini"), platform::FileAttrArchive);
    EXPECT_EQ(M.Shell.Requests.size(), 1u);
}

TEST(FontsFolder, LinesAreSplitAtEveryKindOfLineBreak)
{
    EXPECT_EQ(NormalizeLineBreaks(""), "");
    EXPECT_EQ(NormalizeLineBreaks("a"), "a\r\n");
    EXPECT_EQ(NormalizeLineBreaks("a\rb\nc\r\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(NormalizeLineBreaks("a\n\r"), "a\r\n\r\n");
    EXPECT_EQ(NormalizeLineBreaks("a\r\r\n"), "a\r\n\r\n");
    EXPECT_EQ(NormalizeLineBreaks("\n"), "\r\n");
}

TEST(FontsFolder, WithoutAWindowsFolderOrAReadableIniThereIsAWarningAndNoGuess)
{
    TMachine M;
    M.Files.PutFile("C:\\ttfCache", std::string_view("a root file the fix must not reach"));
    M.Files.SetWindowsFolder("");
    M.Files.HoldOpen(Ini, platform::TSimulatedFileSystem::THold::Exclusive);
    EXPECT_EQ(Fix(M), (std::vector<std::string>{
                          "Warning: Could not determine the Windows folder. The font cache file was not checked.",
                          "Warning: Could not read file C:\\Windows\\Fonts\\Desktop.ini.",
                      }));
    EXPECT_TRUE(M.Shell.Requests.empty());
    EXPECT_TRUE(M.Files.FileExists("C:\\ttfCache"));
    // An ini another program only writes to is read as a plain read reads it.
    M.Files.HoldOpen(Ini, platform::TSimulatedFileSystem::THold::ForWriting);
    EXPECT_EQ(Fix(M), std::vector<std::string>{
                          "Warning: Could not determine the Windows folder. The font cache file was not checked."});
}
