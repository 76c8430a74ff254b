#include "app/FilePaths.h"

#include <algorithm>
#include <array>

#include "base/AsciiText.h"

namespace app {

namespace {

std::size_t AfterLastDelimiter(std::string_view Path)
{
    const std::size_t Last = Path.find_last_of("\\:");
    return Last == std::string_view::npos ? 0 : Last + 1;
}

bool IsSlash(char C) { return C == '\\' || C == '/'; }

bool IsDriveLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }

bool HasDrive(std::string_view Path) { return Path.size() >= 2 && IsDriveLetter(Path[0]) && Path[1] == ':'; }

bool StartsWithText(std::string_view Path, std::string_view Prefix)
{
    return Path.size() >= Prefix.size() && base::SameTextAscii(Path.substr(0, Prefix.size()), Prefix);
}

// The prefix with either slash: "\\?\" also as "//?/".
bool StartsWithSlashed(std::string_view Path, std::string_view Prefix)
{
    if (Path.size() < Prefix.size())
        return false;
    for (std::size_t i = 0; i < Prefix.size(); ++i) {
        const bool Match = IsSlash(Prefix[i]) ? IsSlash(Path[i]) : base::SameTextAscii(Path.substr(i, 1), Prefix.substr(i, 1));
        if (!Match)
            return false;
    }
    return true;
}

// A component Windows maps to a DOS device: its name up to the first dot or
// colon, trailing spaces dropped.
bool IsDeviceName(std::string_view Component)
{
    std::string_view Name = Component.substr(0, std::min(Component.find_first_of(".:"), Component.size()));
    while (!Name.empty() && Name.back() == ' ')
        Name.remove_suffix(1);
    static constexpr std::array<std::string_view, 6> Fixed = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const std::string_view Device : Fixed)
        if (base::SameTextAscii(Name, Device))
            return true;
    if (Name.size() < 4 || Name.size() > 5)
        return false;
    const std::string_view Stem = Name.substr(0, 3);
    if (!base::SameTextAscii(Stem, "COM") && !base::SameTextAscii(Stem, "LPT"))
        return false;
    const std::string_view Number = Name.substr(3);
    // A digit, or the superscripts one, two and three (U+00B9, U+00B2, U+00B3).
    return (Number.size() == 1 && Number[0] >= '0' && Number[0] <= '9') || Number == "\xC2\xB9" ||
           Number == "\xC2\xB2" || Number == "\xC2\xB3";
}

}  // namespace

std::string ExtractFilePath(std::string_view Path) { return std::string(Path.substr(0, AfterLastDelimiter(Path))); }

std::string ExtractFileName(std::string_view Path) { return std::string(Path.substr(AfterLastDelimiter(Path))); }

std::string ExtractFileExt(std::string_view Path)
{
    const std::size_t Dot = Path.find_last_of('.');
    if (Dot == std::string_view::npos || Dot < AfterLastDelimiter(Path))
        return {};
    return std::string(Path.substr(Dot));
}

bool IsAbsolutePath(std::string_view Path)
{
    return (HasDrive(Path) && Path.size() >= 3 && IsSlash(Path[2])) ||
           (Path.size() >= 2 && IsSlash(Path[0]) && IsSlash(Path[1]));
}

std::string ResolveAgainst(std::string_view Path, std::string_view Folder)
{
    if (IsAbsolutePath(Path))
        return std::string(Path);
    if (HasDrive(Path))
        Path.remove_prefix(2);
    while (!Path.empty() && IsSlash(Path.front()))
        Path.remove_prefix(1);
    return std::string(Folder) + "\\" + std::string(Path);
}

bool IsDevicePath(std::string_view Path)
{
    if (StartsWithSlashed(Path, "\\\\.\\") || StartsWithSlashed(Path, "\\??\\"))
        return true;
    if (StartsWithSlashed(Path, "\\\\?\\")) {
        // The long-path forms of a drive path and a UNC path name files;
        // every other name there (GLOBALROOT, Volume{...}, pipes) a device.
        const std::string_view Rest = Path.substr(4);
        if (!(HasDrive(Rest) && Rest.size() >= 3 && IsSlash(Rest[2])) && !StartsWithSlashed(Rest, "UNC\\"))
            return true;
    }
    std::size_t Start = 0;
    while (Start <= Path.size()) {
        const std::size_t End = std::min(Path.find_first_of("\\/", Start), Path.size());
        std::string_view Component = Path.substr(Start, End - Start);
        // "C:CON.ttf": the drive is no part of the name.
        if (Start == 0 && HasDrive(Component))
            Component.remove_prefix(2);
        if (IsDeviceName(Component))
            return true;
        Start = End + 1;
    }
    return false;
}

bool IsInsideFolder(std::string_view Path, std::string_view Folder)
{
    while (!Folder.empty() && IsSlash(Folder.back()))
        Folder.remove_suffix(1);
    return !Folder.empty() && Path.size() > Folder.size() + 1 && StartsWithText(Path, Folder) &&
           IsSlash(Path[Folder.size()]);
}

}  // namespace app
