#include "app/ValidTrueTypeFontUnit.h"

#include <array>
#include <exception>

#include "app/InstalledFontsUnit.h"
#include "base/AsciiText.h"
#include "base/Format.h"
#include "base/TextConversion.h"
#include "truetype/sfnt/TrueTypeFont.h"
#include "truetype/tables/TableName.h"

namespace app {

namespace {

constexpr std::size_t TableRecordLimit = 50;
constexpr std::uint16_t EnglishUS = 0x0409;

enum : std::uint16_t { NameFamily = 1, NameSubfamily = 2, NameFullName = 4 };

std::uint32_t BigEndian32(const std::uint8_t* Bytes)
{
    return (std::uint32_t{Bytes[0]} << 24) | (std::uint32_t{Bytes[1]} << 16) | (std::uint32_t{Bytes[2]} << 8) |
           Bytes[3];
}

}  // namespace

std::int32_t FindTableOffset(base::TStream& Stream, std::string_view Tag)
{
    // The offset table's count of tables is not trusted: records are read
    // until one matches, the file ends, or the limit is reached.
    Stream.SetPosition(12);
    std::array<std::uint8_t, 16> Record{};
    for (std::size_t i = 0; i < TableRecordLimit; ++i) {
        if (Stream.Read(Record.data(), Record.size()) < Record.size())
            break;
        std::string RecordTag;
        for (std::size_t k = 0; k < 4 && Record[k] != 0; ++k)
            RecordTag += static_cast<char>(Record[k]);
        if (base::SameTextAscii(RecordTag, Tag))
            return static_cast<std::int32_t>(BigEndian32(&Record[8]));
    }
    return -1;
}

std::int32_t FindTableOffset(platform::IFileSystem& Files, const std::string& Path, std::string_view Tag)
{
    try {
        return FindTableOffset(*Files.OpenRead(Path), Tag);
    } catch (const std::exception&) {
        return -1;
    }
}

bool IsValidTrueTypeFont(base::TStream& Stream)
{
    const std::int32_t Offset = FindTableOffset(Stream, "head");
    if (Offset <= 0)
        return false;
    Stream.SetPosition(Offset);
    std::array<std::uint8_t, 16> Head{};
    return Stream.Read(Head.data(), Head.size()) == Head.size() && BigEndian32(&Head[12]) == 0x5F0F3CF5;
}

bool IsValidTrueTypeFont(platform::IFileSystem& Files, const std::string& Path)
{
    if (!Files.FileExists(Path))
        return false;
    try {
        return IsValidTrueTypeFont(*Files.OpenRead(Path));
    } catch (const std::exception&) {
        return false;
    }
}

void TFontInfo::ParseFile(const platform::TPlatform& Platform, IScanProgress& Progress, const std::string& Path)
{
    Progress.ShowStatus(base::FormatText("Parsing %s", {Path}));
    Progress.ProcessMessages();
    FileName = Path;
    std::u16string Name;
    try {
        const auto Language = static_cast<std::uint16_t>(Platform.System.DefaultLocale() & 0xFFFF);
        ReadFontName(*Platform.Files.OpenRead(FileName), Language, Name);
    } catch (const std::exception&) {
        // A file that cannot be opened has no name, like one that cannot be read.
    }
    FontName = base::Utf16ToUtf8(Name);
}

void TFontInfo::ReadFontName(base::TStream& Stream, std::uint16_t Language, std::u16string& Name)
{
    try {
        truetype::TTrueTypeFont Font(false);
        Font.LoadFromStream(Stream);
        std::u16string Chosen;
        if (GetFontName(Font, Language, Chosen))
            Name = std::move(Chosen);
    } catch (const std::exception&) {
        // Any fault of the file only leaves the name empty.
    }
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

}  // namespace app
