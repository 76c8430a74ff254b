#include "app/InstalledFontsUnit.h"

#include <algorithm>

#include "app/FilePaths.h"
#include "app/SystemUtilsUnit.h"
#include "app/ValidTrueTypeFontUnit.h"
#include "base/AsciiText.h"
#include "base/ListError.h"

namespace app {

namespace {

// The registry's data of a value as text, or why there is none.
enum class TDataKind : std::uint8_t { Text, WrongType };

TDataKind ReadStringValue(platform::IRegistryKey& Key, const std::string& Name, std::string& Text)
{
    const platform::TRegistryValue Value = Key.QueryValue(Name);
    Text.clear();
    if (Value.State == platform::TRegistryValueState::Missing)
        return TDataKind::Text;
    if (Value.State == platform::TRegistryValueState::Refused)
        return TDataKind::WrongType;
    if (Value.Data.empty())
        return TDataKind::Text;
    if (Value.Type != platform::RegSz && Value.Type != platform::RegExpandSz)
        return TDataKind::WrongType;
    // REG_EXPAND_SZ data stays unexpanded.
    Text = platform::RegistryStringText(Value.Data);
    return TDataKind::Text;
}

bool HasFolderPart(std::string_view Path) { return Path.find_first_of("\\:") != std::string_view::npos; }

}  // namespace

std::string_view ProblemText(TFontProblem Problem)
{
    switch (Problem) {
    case fpInvalidFont: return "Invalid Font";
    case fpFileNotFound: return "File not found";
    case fpWrongDataType: return "Wrong Registry Data Type";
    case fpNoRegistryKey: return "No Registry Key";
    case fpDuplicate: return "Duplicate Registry Data";
    case fpWrongFontName: return "Wrong Registry Font Name";
    default: return "";
    }
}

std::string RegistryValueName(const std::string& FontName) { return FontName + " (TrueType)"; }

int CompareFontInfo(const TFontInfo& A, const TFontInfo& B)
{
    if (A.Problem == B.Problem)
        return base::CompareTextAscii(A.FontName, B.FontName);
    if (A.Problem == fpNone)
        return 1;
    if (B.Problem == fpNone)
        return -1;
    return A.Problem < B.Problem ? -1 : 1;
}

TInstalledFonts::TInstalledFonts(const platform::TPlatform& Platform, IScanProgress& Progress)
    : FPlatform(Platform), FProgress(Progress)
{
}

TFontInfo& TInstalledFonts::Items(std::size_t Index) const
{
    return *base::ListItem(FItems, static_cast<std::ptrdiff_t>(Index));
}

TFontInfo& TInstalledFonts::Add(std::unique_ptr<TFontInfo> Entry)
{
    FItems.push_back(std::move(Entry));
    return *FItems.back();
}

void TInstalledFonts::Remove(const TFontInfo* Entry)
{
    const auto Found = std::find_if(FItems.begin(), FItems.end(),
                                    [Entry](const std::unique_ptr<TFontInfo>& Item) { return Item.get() == Entry; });
    if (Found != FItems.end())
        FItems.erase(Found);
}

std::ptrdiff_t TInstalledFonts::IndexOfFileName(std::string_view Path) const
{
    for (std::size_t i = FItems.size(); i-- > 0;)
        if (base::SameTextAscii(FItems[i]->FileName, Path))
            return static_cast<std::ptrdiff_t>(i);
    return -1;
}

bool TInstalledFonts::IsTrueTypeFile(std::string_view Path)
{
    return base::SameTextAscii(ExtractFileExt(Path), ".ttf");
}

void TInstalledFonts::Refresh()
{
    FItems.clear();
    FFontsFolder = GetFontsFolder(FPlatform.Shell);
    ReadRegistry();
    ReadFontsFolder();
    std::stable_sort(FItems.begin(), FItems.end(),
                     [](const std::unique_ptr<TFontInfo>& A, const std::unique_ptr<TFontInfo>& B) {
                         return CompareFontInfo(*A, *B) < 0;
                     });
}

void TInstalledFonts::ReadRegistry()
{
    const std::unique_ptr<platform::IRegistryKey> Key = FPlatform.Registry.OpenLocalMachineKey(
        GetFontsRegistryKey(FPlatform.System), platform::TRegistryAccess::Read);
    if (!Key)
        return;
    std::vector<std::string> Names = Key->ValueNames();
    // The order decides which of two values naming one file is the duplicate.
    std::stable_sort(Names.begin(), Names.end(), [this](const std::string& A, const std::string& B) {
        return FPlatform.Text.CompareText(A, B) < 0;
    });
    for (const std::string& Name : Names)
        ReadValue(*Key, Name);
}

void TInstalledFonts::ReadValue(platform::IRegistryKey& Key, const std::string& Name)
{
    auto Entry = std::make_unique<TFontInfo>();
    Entry->RegistryName = Name;
    std::string Path;
    if (ReadStringValue(Key, Name, Path) == TDataKind::WrongType) {
        Add(std::move(Entry)).Problem = fpWrongDataType;
        return;
    }
    if (Path.empty()) {
        Add(std::move(Entry)).Problem = fpFileNotFound;
        return;
    }
    if (!HasFolderPart(Path)) {
        // Without the Fonts folder a bare name has no place to be judged in;
        // any other folder (the current drive's root) would be a guess.
        if (FFontsFolder.empty())
            return;
        Path = FFontsFolder + "\\" + Path;
    }
    if (!IsTrueTypeFile(Path))
        return;

    Entry->ParseFile(FPlatform, FProgress, Path);
    if (Entry->RegistryName != RegistryValueName(Entry->FontName))
        Entry->Problem = fpWrongFontName;

    const std::ptrdiff_t Other = IndexOfFileName(Path);
    TFontInfo& E = Add(std::move(Entry));
    if (Other >= 0) {
        TFontInfo& O = *FItems[static_cast<std::size_t>(Other)];
        if (O.Problem == fpWrongFontName && E.Problem == fpNone)
            O.Problem = fpDuplicate;
        else
            E.Problem = fpDuplicate;
        return;
    }
    if (!FPlatform.Files.FileExists(Path))
        E.Problem = fpFileNotFound;
    else if (!IsValidTrueTypeFont(FPlatform.Files, Path))
        E.Problem = fpInvalidFont;
}

void TInstalledFonts::ReadFontsFolder()
{
    if (FFontsFolder.empty())
        return;
    for (const platform::TFolderEntry& Found : FPlatform.Files.ListFolder(FFontsFolder)) {
        if ((Found.Attributes & (platform::FileAttrDirectory | platform::FileAttrVolumeLabel)) != 0)
            continue;
        const std::string Path = FFontsFolder + "\\" + Found.Name;
        if (!IsTrueTypeFile(Path) || IndexOfFileName(Path) != -1)
            continue;
        TFontInfo& Entry = Add(std::make_unique<TFontInfo>());
        Entry.ParseFile(FPlatform, FProgress, Path);
        // Marlett is the system's own symbol font and is never registered.
        if (!base::SameTextAscii(Found.Name, "Marlett.ttf"))
            Entry.Problem = fpNoRegistryKey;
    }
}

}  // namespace app
