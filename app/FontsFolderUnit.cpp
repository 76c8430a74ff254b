#include "app/FontsFolderUnit.h"

#include <algorithm>
#include <exception>

#include "app/SystemUtilsUnit.h"
#include "base/Format.h"

namespace app {

using base::FormatText;

const std::string_view DesktopIniContent =
    "[.ShellClassInfo]\r\n"
    "UICLSID={BD84B380-8CA2-1069-AB1D-08000948F534}\r\n";

namespace {

constexpr std::uint32_t DesktopIniAttributes =
    platform::FileAttrArchive | platform::FileAttrHidden | platform::FileAttrSystem;

// Line breaks only ever grow in the normalised text, so a file longer than
// the correct content cannot be correct and need not be read further.
enum class TIniState : std::uint8_t { Correct, Corrupted, Unreadable };

TIniState CheckDesktopIni(platform::IFileSystem& Files, const std::string& Path)
{
    try {
        const std::unique_ptr<base::TStream> Stream = Files.OpenReadShared(Path);
        if (Stream->Size() > static_cast<std::int64_t>(DesktopIniContent.size()))
            return TIniState::Corrupted;
        std::string Text(static_cast<std::size_t>(Stream->Size()), '\0');
        Text.resize(Stream->Read(Text.data(), Text.size()));
        return NormalizeLineBreaks(Text) == DesktopIniContent ? TIniState::Correct : TIniState::Corrupted;
    } catch (const std::exception&) {
        return TIniState::Unreadable;
    }
}

void RestoreAttributes(platform::IFileSystem& Files, const std::string& Path, std::uint32_t Wanted,
                       std::string_view FailureFormat, IResultsLog& Log)
{
    // Attributes that cannot be read come back with every bit set, which
    // already includes the wanted ones: nothing is done then.
    const std::uint32_t Attributes = Files.GetAttributes(Path);
    if ((Attributes & Wanted) == Wanted)
        return;
    if (Files.SetAttributes(Path, Attributes | Wanted))
        Log.Add(FormatText("Succesfully restored folder attributes for %s.", {Path}));
    else
        Log.Add(FormatText(FailureFormat, {Path}));
}

}  // namespace

std::string NormalizeLineBreaks(std::string_view Text)
{
    std::string Out;
    Out.reserve(Text.size() + 2);
    std::size_t i = 0;
    while (i < Text.size()) {
        const std::size_t End = std::min(Text.find_first_of("\r\n", i), Text.size());
        Out.append(Text.substr(i, End - i)).append("\r\n");
        i = End;
        if (i < Text.size() && Text[i] == '\r')
            ++i;
        if (i < Text.size() && Text[i] == '\n')
            ++i;
    }
    return Out;
}

void RestoreFontsFolder(const platform::TPlatform& Platform, platform::TWindowHandle Owner, IResultsLog& Log)
{
    const std::string Windows = GetWindowsFolder(Platform.Files);
    const std::string Cache = Windows + "\\ttfCache";
    if (Windows.empty()) {
        // "\ttfCache" would be the current drive's root.
        Log.Add("Warning: Could not determine the Windows folder. The font cache file was not checked.");
    } else if (Platform.Files.FileExists(Cache)) {
        if (ShellDeleteFiles(Platform.Shell, Owner, std::vector<std::string>{Cache}))
            Log.Add(FormatText(
                "Succesfully deleted (possible corrupted) file %s. If necessary Windows will regenerate it.", {Cache}));
        else
            Log.Add(FormatText("Warning: Could not delete file %s.", {Cache}));
    }

    const std::string Folder = GetFontsFolder(Platform.Shell);
    if (Folder.empty()) {
        // "\Desktop.ini" would be the current drive's root: no other folder
        // may stand in for the Fonts folder.
        Log.Add("Warning: Could not determine the Fonts folder. Its attributes and Desktop.ini were not checked, "
                "and the fonts in it were not listed.");
        return;
    }
    RestoreAttributes(Platform.Files, Folder, platform::FileAttrSystem,
                      "Warning: Could not restore folder attributes for %s.", Log);

    const std::string Ini = Folder + "\\Desktop.ini";
    bool Recreate = false;
    if (Platform.Files.FileExists(Ini)) {
        const TIniState State = CheckDesktopIni(Platform.Files, Ini);
        if (State == TIniState::Unreadable) {
            // Neither correct nor corrupted as far as anyone can tell: left alone.
            Log.Add(FormatText("Warning: Could not read file %s.", {Ini}));
        } else if (State == TIniState::Corrupted) {
            if (ShellDeleteFiles(Platform.Shell, Owner, std::vector<std::string>{Ini})) {
                Log.Add(FormatText("Succesfully deleted corrupted file %s.", {Ini}));
                Recreate = true;
            } else {
                Log.Add(FormatText("Warning: Could not delete corrupted file %s.", {Ini}));
            }
        }
    } else {
        Recreate = true;
    }

    if (Recreate) {
        Platform.Files.WriteNewFile(Ini, std::vector<std::uint8_t>(DesktopIniContent.begin(), DesktopIniContent.end()));
        Log.Add(FormatText("Succesfully created file %s.", {Ini}));
    }

    RestoreAttributes(Platform.Files, Ini, DesktopIniAttributes, "Warning: could not restore folder attributes for %s.",
                      Log);
}

}  // namespace app
