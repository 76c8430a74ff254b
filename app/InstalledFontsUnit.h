// The inventory of installed TrueType fonts: the registry's Fonts key and
// the Fonts folder, then the current user's Fonts key and font folder, every
// entry classified by one problem code within its scope.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/SystemUtilsUnit.h"
#include "app/UntrustedFontsUnit.h"
#include "platform/Platform.h"

namespace base {
class TStream;
}
namespace truetype {
class TTrueTypeFont;
}

namespace app {

// The numbers are fixed: the sort order and the repair depend on them.
enum TFontProblem : std::uint8_t {
    fpNone = 0,
    fpInvalidFont = 1,
    fpFileNotFound = 2,
    fpWrongDataType = 3,
    fpNoRegistryKey = 4,
    fpDuplicate = 5,
    fpWrongFontName = 6,
    // Passes the head check, but a font in it does not load whole.
    fpDamagedFont = 7,
    // A healthy font of the user's own that has the name of a font installed
    // for all users (another file): programs see only one of the two.
    fpShadowedFont = 8,
};

// The text of the list's "Problem" column; empty for fpNone and for codes
// without one.
std::string_view ProblemText(TFontProblem Problem);

// What a scan shows while it identifies files: the main window's status bar
// and its message queue.
class IScanProgress {
public:
    virtual ~IScanProgress() = default;
    virtual void ShowStatus(const std::string& Text) = 0;
    virtual void ProcessMessages() = 0;
    // Done of Total values and folder files looked at; Total is known
    // before the first.
    virtual void ShowProgress(std::size_t /*Done*/, std::size_t /*Total*/) {}
    // Asked between two entries: true ends the scan with an empty inventory.
    virtual bool StopRequested() { return false; }
};

class TNoScanProgress final : public IScanProgress {
public:
    void ShowStatus(const std::string&) override {}
    void ProcessMessages() override {}
};

// The value name that registers a font: its name followed by " (TrueType)".
std::string RegistryValueName(const std::string& FontName);

// What a font file holds: one font with TrueType outlines, one with CFF
// outlines (OpenType), or a collection of fonts.
enum class TFontFormat : std::uint8_t { TrueType, OpenType, Collection };

// "truetype", "opentype" or "collection".
std::string_view FormatName(TFontFormat Format);

class TFontInfo {
public:
    std::string FileName;
    // UTF-8; empty when the name could not be read.
    std::string FontName;
    std::string RegistryName;
    TFontProblem Problem = fpNone;
    TFontScope Scope = TFontScope::Machine;
    // As the file shows it; as its extension tells when it cannot be read.
    TFontFormat Format = TFontFormat::TrueType;
    // CFF outlines: a single OpenType font, or a collection holding one.
    bool CffOutlines = false;
    // Why the file's font is damaged (a font of a collection named by its
    // number); empty when it is not, or the entry has another problem.
    std::string Detail;
    // What the scan saw, so that a repair can tell whether it still holds:
    // the registry value as it was read (Missing for a file the folder pass
    // found), and the file's identity when ParseFile began (none when there
    // was no file, or it was never looked at).
    platform::TRegistryValue ScannedValue;
    std::optional<platform::TFileIdentity> ScannedFile;
    // fpShadowedFont: the file of the machine's font of the same name.
    std::string ShadowedBy;

    // The name of the value that registers the font, as Windows' installer
    // writes it: the font name, then " (TrueType)", or " (OpenType)" for CFF
    // outlines.
    std::string ExpectedRegistryName() const;

    // Sets FileName to Path, FontName to the font's name (for a collection,
    // the names of its fonts in file order joined by " & "), or to empty
    // text, and the format; never fails.
    void ParseFile(const platform::TPlatform& Platform, IScanProgress& Progress, const std::string& Path);
    // Reads the font file in Stream: FontName, Format, CffOutlines and
    // Detail (the damage judgement, made whatever the head check says). A
    // collection has a name only when every font in it has one.
    void ReadFontFile(base::TStream& Stream, std::uint16_t Language);
    // Loads the font from Stream (outlines off) and chooses its name for the
    // language; leaves Name untouched when anything fails.
    static void ReadFontName(base::TStream& Stream, std::uint16_t Language, std::u16string& Name);
    // The name in a loaded font for the language (the low 16 bits of the
    // system's default locale); false when the font has no English full name
    // among its Microsoft name records.
    static bool GetFontName(const truetype::TTrueTypeFont& Font, std::uint16_t Language, std::u16string& Name);
};

// Negative when A comes first: problems by code, then entries without one,
// by font name (ASCII letters without regard to case) within a code.
int CompareFontInfo(const TFontInfo& A, const TFontInfo& B);

class TInstalledFonts {
public:
    TInstalledFonts(const platform::TPlatform& Platform, IScanProgress& Progress);

    // Rebuilds the inventory: the machine scope's registry pass and folder
    // pass, the user scope's, then the sort. False when the progress asked
    // to stop: the inventory is then empty, never partly built.
    bool Refresh();

    std::size_t Count() const { return FItems.size(); }
    const TFontInfo& Items(std::size_t Index) const;
    TFontInfo& Items(std::size_t Index);
    // Takes the entry out of the list and destroys it.
    void Remove(const TFontInfo* Entry);
    // The entry's font now lies in FileName, installed in Scope.
    void Relocate(TFontInfo& Entry, const std::string& FileName, TFontScope Scope);
    // The last entry whose FileName equals Path without regard to ASCII
    // case; -1 when there is none. Looked up in an index, which follows the
    // entries as they join and leave (an entry's FileName never changes).
    std::ptrdiff_t IndexOfFileName(std::string_view Path) const;
    // The same among the entries of one scope.
    std::ptrdiff_t IndexOfFileName(std::string_view Path, TFontScope Scope) const;
    static bool IsTrueTypeFile(std::string_view Path);
    // The files the scan considers: .ttf, .ttc, .otf and .otc, without regard
    // to ASCII case.
    static bool IsFontFile(std::string_view Path);
    // The most fonts of one collection the scan names; a collection claiming
    // more gets no name (each font is a whole load).
    static constexpr std::uint32_t MaxCollectionFonts = 256;

    // The Fonts folder of the last Refresh; empty when the shell could not
    // name it, in which case bare file names and the folder were not read.
    const std::string& FontsFolder() const { return FFontsFolder; }
    // The user font folder of the last Refresh; empty when the shell could
    // not name it.
    const std::string& UserFontsFolder() const { return FUserFontsFolder; }
    const std::string& ScopeFolder(TFontScope Scope) const
    {
        return Scope == TFontScope::User ? FUserFontsFolder : FFontsFolder;
    }
    // The untrusted font policy the last Refresh read.
    TUntrustedFontBlocking UntrustedFontBlocking() const { return FBlocking; }
    // What a reader of the entry's row is told beyond its problem text: the
    // machine font of the same name, and for a user's font that the policy
    // blocks, that programs using GDI cannot load it.
    std::vector<std::string> Notes(const TFontInfo& Entry) const;

private:
    using TFileIndex = std::unordered_map<std::string, std::size_t>;

    // What one scope's passes look at, read before the first pass so that
    // the progress knows the whole count.
    struct TScopeList {
        std::unique_ptr<platform::IRegistryKey> Key;
        std::vector<std::string> Names;
        std::vector<platform::TFolderEntry> Files;
    };
    TScopeList ListScope(TFontScope Scope) const;
    bool ReadRegistry(TFontScope Scope, const TScopeList& List);
    bool ReadFontsFolder(TFontScope Scope, const TScopeList& List);
    // Counts one value or file looked at; false when the scan is to stop.
    bool Step();
    void ReadValue(platform::IRegistryKey& Key, const std::string& Name, TFontScope Scope);
    void MarkShadowedFonts();
    TFontInfo& Add(std::unique_ptr<TFontInfo> Entry);
    const TFileIndex& FileIndex(TFontScope Scope) const;

    const platform::TPlatform& FPlatform;
    IScanProgress& FProgress;
    std::size_t FDone = 0;
    std::size_t FTotal = 0;
    std::string FFontsFolder;
    std::string FUserFontsFolder;
    TUntrustedFontBlocking FBlocking = TUntrustedFontBlocking::NotSet;
    std::vector<std::unique_ptr<TFontInfo>> FItems;
    // Per scope, the position of the last entry naming a file, by the file's
    // path in upper case; rebuilt after the list is sorted or shrinks.
    mutable TFileIndex FByFile[2];
    mutable bool FIndexed = true;
};

}  // namespace app
