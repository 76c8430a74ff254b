#include "app/InstalledFontsUnit.h"

#include <algorithm>

#include "app/FilePaths.h"
#include "app/FontDamageUnit.h"
#include "app/SystemUtilsUnit.h"
#include "app/ValidTrueTypeFontUnit.h"
#include "base/AsciiText.h"
#include "base/Format.h"
#include "base/ListError.h"
#include "base/TextConversion.h"
#include "truetype/sfnt/CollectionHeader.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/tables/TableName.h"

namespace app {

namespace {

// The registry's data of a value as text, or why there is none.
enum class TDataKind : std::uint8_t { Text, WrongType };

TDataKind StringValueText(const platform::TRegistryValue& Value, std::string& Text)
{
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

// What a file's name says it holds, for a file that cannot be read.
void FormatOfExtension(std::string_view Path, TFontInfo& Entry)
{
    const std::string Extension = ExtractFileExt(Path);
    const bool Collection = base::SameTextAscii(Extension, ".ttc") || base::SameTextAscii(Extension, ".otc");
    Entry.CffOutlines = base::SameTextAscii(Extension, ".otf") || base::SameTextAscii(Extension, ".otc");
    Entry.Format = Collection ? TFontFormat::Collection
        : Entry.CffOutlines   ? TFontFormat::OpenType
                              : TFontFormat::TrueType;
}

// The name of a loaded font; false when it has none. Any fault of the
// lookup only leaves it without one.
bool NameOf(const truetype::TTrueTypeFont& Font, std::uint16_t Language, std::u16string& Name)
{
    try {
        std::u16string Chosen;
        if (!Font.Loaded || !TFontInfo::GetFontName(Font, Language, Chosen))
            return false;
        Name = std::move(Chosen);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// CFF outlines: no glyf table, and the OpenType version or a CFF table.
bool HasCffOutlines(const truetype::TTrueTypeFont& Font)
{
    bool Cff = Font.Version == 0x4F54544F;  // "OTTO"
    for (const truetype::TTrueTypeFont::TDirectoryEntry& Entry : Font.Directory) {
        if (Entry.Tag == "glyf")
            return false;
        Cff = Cff || Entry.Tag == "CFF " || Entry.Tag == "CFF2";
    }
    return Cff;
}

constexpr std::uint16_t EnglishUS = 0x0409;

enum : std::uint16_t { NameFamily = 1, NameSubfamily = 2, NameFullName = 4 };

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
    case fpDamagedFont: return "Damaged Font";
    case fpShadowedFont: return "Same Name as a Machine Font";
    default: return "";
    }
}

std::string RegistryValueName(const std::string& FontName) { return FontName + " (TrueType)"; }

std::string_view FormatName(TFontFormat Format)
{
    switch (Format) {
    case TFontFormat::OpenType: return "opentype";
    case TFontFormat::Collection: return "collection";
    default: return "truetype";
    }
}

std::string TFontInfo::ExpectedRegistryName() const
{
    return CffOutlines ? FontName + " (OpenType)" : RegistryValueName(FontName);
}

void TFontInfo::ParseFile(const platform::TPlatform& Platform, IScanProgress& Progress, const std::string& Path)
{
    Progress.ShowStatus(base::FormatText("Parsing %s", {Path}));
    Progress.ProcessMessages();
    FileName = Path;
    FontName.clear();
    FormatOfExtension(Path, *this);
    // Before the file is read: a change while it is read shows as one.
    ScannedFile = Platform.Files.FileIdentity(Path);
    try {
        const auto Language = static_cast<std::uint16_t>(Platform.System.DefaultLocale() & 0xFFFF);
        ReadFontFile(*Platform.Files.OpenRead(FileName), Language);
    } catch (const std::exception&) {
        // A file that cannot be opened has no name, like one that cannot be read.
    }
}

void TFontInfo::ReadFontFile(base::TStream& Stream, std::uint16_t Language)
{
    Detail.clear();
    std::u16string Name;
    if (!truetype::IsCollection(Stream, 0)) {
        const std::unique_ptr<truetype::TTrueTypeFont> Judged = JudgedFont(0);
        const truetype::TTrueTypeFont& Font = *Judged;
        Detail = LoadAndJudge(*Judged, Stream).value_or(std::string());
        NameOf(Font, Language, Name);
        // The directory stays read when a later step of the load failed.
        if (!Font.Directory.empty()) {
            CffOutlines = HasCffOutlines(Font);
            Format = CffOutlines ? TFontFormat::OpenType : TFontFormat::TrueType;
        }
        FontName = base::Utf16ToUtf8(Name);
        return;
    }
    // A collection, whatever its file is called. Its fonts are named in file
    // order; one without a name leaves the collection without one. Each is
    // judged until one is damaged.
    Format = TFontFormat::Collection;
    try {
        const truetype::TCollectionHeader Header = truetype::ReadCollectionHeader(Stream, 0);
        bool Named = Header.NumFonts <= TInstalledFonts::MaxCollectionFonts;
        bool Cff = false;
        const std::uint32_t Faces = std::min(Header.NumFonts, TInstalledFonts::MaxCollectionFonts);
        // Fonts of a collection often share one glyf, which is checked once.
        std::vector<truetype::TOutlinePlace> Sound;
        for (std::uint32_t Face = 0; Face < Faces && Detail.empty(); ++Face) {
            const std::unique_ptr<truetype::TTrueTypeFont> Judged = JudgedFont(Face);
            Judged->SoundOutlines = &Sound;
            const truetype::TTrueTypeFont& Font = *Judged;
            Stream.SetPosition(0);
            if (const std::optional<std::string> Damage = LoadAndJudge(*Judged, Stream))
                Detail = base::FormatText("Font %d of the collection: %s", {Face, *Damage});
            std::u16string One;
            if (!NameOf(Font, Language, One))
                Named = false;
            Name += (Face == 0 ? u"" : u" & ") + One;
            Cff = Cff || HasCffOutlines(Font);
        }
        if (!Named || !Detail.empty())
            return;
        CffOutlines = Cff;
        FontName = base::Utf16ToUtf8(Name);
    } catch (const std::exception& Error) {
        // A collection whose header does not read has no name.
        Detail = Error.what();
    }
}

void TFontInfo::ReadFontName(base::TStream& Stream, std::uint16_t Language, std::u16string& Name)
{
    truetype::TTrueTypeFont Font(false);
    try {
        Font.LoadFromStream(Stream);
    } catch (const std::exception&) {
        return;
    }
    NameOf(Font, Language, Name);
}

bool TFontInfo::GetFontName(const truetype::TTrueTypeFont& Font, std::uint16_t Language, std::u16string& Name)
{
    const truetype::TTableName* Table = Font.NameTable();
    if (Table == nullptr)
        return false;
    const truetype::TNamePlatformList* Names = Table->FindPlatform(3, 0);
    if (Names == nullptr)
        Names = Table->FindPlatform(3, 1);
    if (Names == nullptr)
        return false;
    std::u16string EnglishFullName;
    if (!Names->GetName(EnglishUS, NameFullName, EnglishFullName))
        return false;

    std::u16string Subfamily, Family;
    if (Names->GetName(Language, NameFullName, Name))
        return true;
    if (Names->GetName(Language, NameSubfamily, Subfamily)) {
        if (Names->GetName(Language, NameFamily, Family) || Names->GetName(EnglishUS, NameFamily, Family)) {
            Name = Family + u' ' + Subfamily;
            return true;
        }
    }
    Name = EnglishFullName;
    return true;
}

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

const TFontInfo& TInstalledFonts::Items(std::size_t Index) const
{
    return *base::ListItem(FItems, static_cast<std::ptrdiff_t>(Index));
}

TFontInfo& TInstalledFonts::Items(std::size_t Index)
{
    return *base::ListItem(FItems, static_cast<std::ptrdiff_t>(Index));
}

TFontInfo& TInstalledFonts::Add(std::unique_ptr<TFontInfo> Entry)
{
    FItems.push_back(std::move(Entry));
    TFontInfo& Added = *FItems.back();
    if (FIndexed)
        FByFile[static_cast<std::size_t>(Added.Scope)][base::UpperCaseAscii(Added.FileName)] = FItems.size() - 1;
    return Added;
}

void TInstalledFonts::Relocate(TFontInfo& Entry, const std::string& FileName, TFontScope Scope)
{
    Entry.FileName = FileName;
    Entry.Scope = Scope;
    FIndexed = false;
}

void TInstalledFonts::Remove(const TFontInfo* Entry)
{
    const auto Found = std::find_if(FItems.begin(), FItems.end(),
                                    [Entry](const std::unique_ptr<TFontInfo>& Item) { return Item.get() == Entry; });
    if (Found != FItems.end()) {
        FItems.erase(Found);
        FIndexed = false;
    }
}

const TInstalledFonts::TFileIndex& TInstalledFonts::FileIndex(TFontScope Scope) const
{
    if (!FIndexed) {
        for (TFileIndex& Index : FByFile)
            Index.clear();
        for (std::size_t i = 0; i < FItems.size(); ++i)
            FByFile[static_cast<std::size_t>(FItems[i]->Scope)][base::UpperCaseAscii(FItems[i]->FileName)] = i;
        FIndexed = true;
    }
    return FByFile[static_cast<std::size_t>(Scope)];
}

std::ptrdiff_t TInstalledFonts::IndexOfFileName(std::string_view Path, TFontScope Scope) const
{
    const TFileIndex& Index = FileIndex(Scope);
    const auto Found = Index.find(base::UpperCaseAscii(Path));
    return Found == Index.end() ? -1 : static_cast<std::ptrdiff_t>(Found->second);
}

std::ptrdiff_t TInstalledFonts::IndexOfFileName(std::string_view Path) const
{
    return std::max(IndexOfFileName(Path, TFontScope::Machine), IndexOfFileName(Path, TFontScope::User));
}

bool TInstalledFonts::IsTrueTypeFile(std::string_view Path)
{
    return base::SameTextAscii(ExtractFileExt(Path), ".ttf");
}

bool TInstalledFonts::IsFontFile(std::string_view Path)
{
    const std::string Extension = ExtractFileExt(Path);
    for (const std::string_view Known : {".ttf", ".ttc", ".otf", ".otc"})
        if (base::SameTextAscii(Extension, Known))
            return true;
    return false;
}

bool TInstalledFonts::Refresh()
{
    FItems.clear();
    FIndexed = false;
    FFontsFolder = GetFontsFolder(FPlatform.Shell);
    FUserFontsFolder = GetUserFontsFolder(FPlatform.Shell);
    const TFontScope Scopes[] = {TFontScope::Machine, TFontScope::User};
    TScopeList Lists[2];
    FDone = 0;
    FTotal = 0;
    for (const TFontScope Scope : Scopes) {
        TScopeList& List = Lists[static_cast<std::size_t>(Scope)];
        List = ListScope(Scope);
        FTotal += List.Names.size() + List.Files.size();
    }
    FProgress.ShowProgress(0, FTotal);
    for (const TFontScope Scope : Scopes) {
        const TScopeList& List = Lists[static_cast<std::size_t>(Scope)];
        if (!ReadRegistry(Scope, List) || !ReadFontsFolder(Scope, List)) {
            // Stopped between two entries: none is left half-built, and
            // none of a scan that did not end is shown.
            FItems.clear();
            FIndexed = false;
            return false;
        }
    }
    MarkShadowedFonts();
    FBlocking = ReadUntrustedFontBlocking(FPlatform);
    std::stable_sort(FItems.begin(), FItems.end(),
                     [](const std::unique_ptr<TFontInfo>& A, const std::unique_ptr<TFontInfo>& B) {
                         return CompareFontInfo(*A, *B) < 0;
                     });
    FIndexed = false;
    return true;
}

TInstalledFonts::TScopeList TInstalledFonts::ListScope(TFontScope Scope) const
{
    TScopeList List;
    List.Key = OpenFontsKey(FPlatform, Scope, platform::TRegistryAccess::Read);
    if (List.Key) {
        List.Names = List.Key->ValueNames();
        // The order decides which of two values naming one file is the
        // duplicate.
        std::stable_sort(List.Names.begin(), List.Names.end(), [this](const std::string& A, const std::string& B) {
            return FPlatform.Text.CompareText(A, B) < 0;
        });
    }
    if (const std::string& Folder = ScopeFolder(Scope); !Folder.empty())
        List.Files = FPlatform.Files.ListFolder(Folder);
    return List;
}

bool TInstalledFonts::Step()
{
    FProgress.ShowProgress(++FDone, FTotal);
    return !FProgress.StopRequested();
}

bool TInstalledFonts::ReadRegistry(TFontScope Scope, const TScopeList& List)
{
    for (const std::string& Name : List.Names) {
        ReadValue(*List.Key, Name, Scope);
        if (!Step())
            return false;
    }
    return true;
}

void TInstalledFonts::ReadValue(platform::IRegistryKey& Key, const std::string& Name, TFontScope Scope)
{
    auto Entry = std::make_unique<TFontInfo>();
    Entry->RegistryName = Name;
    Entry->Scope = Scope;
    Entry->ScannedValue = Key.QueryValue(Name);
    std::string Path;
    if (StringValueText(Entry->ScannedValue, Path) == TDataKind::WrongType) {
        Add(std::move(Entry)).Problem = fpWrongDataType;
        return;
    }
    if (Path.empty()) {
        Add(std::move(Entry)).Problem = fpFileNotFound;
        return;
    }
    if (!IsAbsolutePath(Path)) {
        // A relative path, bare name or not, lies in its scope's folder,
        // never in the current folder the program happened to start in.
        // Without that folder it has no place to be judged in; any other
        // (the current drive's root) would be a guess.
        const std::string& Folder = ScopeFolder(Scope);
        if (Folder.empty())
            return;
        Path = ResolveAgainst(Path, Folder);
    }
    if (!IsFontFile(Path))
        return;
    if (IsDevicePath(Path)) {
        // A device is no font file: it is never opened (a read from a
        // console or a pipe would wait), and its value registers nothing.
        Entry->FileName = Path;
        FormatOfExtension(Path, *Entry);
        Add(std::move(Entry)).Problem = fpFileNotFound;
        return;
    }

    Entry->ParseFile(FPlatform, FProgress, Path);
    if (Entry->RegistryName != Entry->ExpectedRegistryName())
        Entry->Problem = fpWrongFontName;

    const std::ptrdiff_t Other = IndexOfFileName(Path, Scope);
    TFontInfo& E = Add(std::move(Entry));
    if (Other >= 0) {
        TFontInfo& O = *FItems[static_cast<std::size_t>(Other)];
        if (O.Problem == fpWrongFontName && E.Problem == fpNone)
            O.Problem = fpDuplicate;
        else
            E.Problem = fpDuplicate;
        E.Detail.clear();
        return;
    }
    // A file another program keeps from being read is not known to be
    // invalid: it keeps the code of the name check.
    if (!FPlatform.Files.FileExists(Path)) {
        E.Problem = fpFileNotFound;
    } else {
        const THeadCheck Head = CheckTrueTypeHead(FPlatform.Files, Path);
        if (Head == THeadCheck::Invalid)
            E.Problem = fpInvalidFont;
        else if (Head == THeadCheck::Valid && !E.Detail.empty())
            E.Problem = fpDamagedFont;
    }
    if (E.Problem != fpDamagedFont)
        E.Detail.clear();
}

void TInstalledFonts::MarkShadowedFonts()
{
    // The machine's fonts that Windows loads: registered, there and named.
    std::unordered_map<std::string, const TFontInfo*> MachineFonts;
    for (const std::unique_ptr<TFontInfo>& Item : FItems)
        if (Item->Scope == TFontScope::Machine && !Item->FontName.empty() &&
            (Item->Problem == fpNone || Item->Problem == fpWrongFontName))
            MachineFonts.emplace(base::UpperCaseAscii(Item->FontName), Item.get());
    for (const std::unique_ptr<TFontInfo>& Item : FItems) {
        if (Item->Scope != TFontScope::User || Item->Problem != fpNone || Item->FontName.empty())
            continue;
        const auto Found = MachineFonts.find(base::UpperCaseAscii(Item->FontName));
        // A user's value naming the machine's own file registers nothing new.
        if (Found == MachineFonts.end() || base::SameTextAscii(Found->second->FileName, Item->FileName))
            continue;
        Item->Problem = fpShadowedFont;
        Item->ShadowedBy = Found->second->FileName;
    }
}

std::vector<std::string> TInstalledFonts::Notes(const TFontInfo& Entry) const
{
    std::vector<std::string> Lines;
    if (Entry.Problem == fpShadowedFont)
        Lines.push_back(base::FormatText(
            "A font installed for all users has the same name (%s): programs see only one of the two.",
            {Entry.ShadowedBy}));
    if (Entry.Scope == TFontScope::User && FBlocking == TUntrustedFontBlocking::On)
        Lines.emplace_back(BlockedUserFontNote);
    return Lines;
}

bool TInstalledFonts::ReadFontsFolder(TFontScope Scope, const TScopeList& List)
{
    const std::string& Folder = ScopeFolder(Scope);
    for (const platform::TFolderEntry& Found : List.Files) {
        const std::string Path = Folder + "\\" + Found.Name;
        const bool Candidate = (Found.Attributes & (platform::FileAttrDirectory | platform::FileAttrVolumeLabel)) == 0 &&
                               IsFontFile(Path) && !IsDevicePath(Path) && IndexOfFileName(Path, Scope) == -1;
        if (Candidate) {
            auto Entry = std::make_unique<TFontInfo>();
            Entry->Scope = Scope;
            Entry->ParseFile(FPlatform, FProgress, Path);
            // The head check costs a read only for a file judged damaged.
            if (!Entry->Detail.empty() && CheckTrueTypeHead(FPlatform.Files, Path) == THeadCheck::Valid)
                Entry->Problem = fpDamagedFont;
            else
                Entry->Detail.clear();
            // Marlett is the system's own symbol font and is never registered.
            if (Entry->Problem == fpNone &&
                (Scope == TFontScope::User || !base::SameTextAscii(Found.Name, "Marlett.ttf")))
                Entry->Problem = fpNoRegistryKey;
            Add(std::move(Entry));
        }
        if (!Step())
            return false;
    }
    return true;
}

}  // namespace app
