#include "app/ValidTrueTypeFontUnit.h"

#include <array>
#include <exception>

#include "base/AsciiText.h"
#include "base/BigEndianView.h"
#include "truetype/sfnt/CollectionHeader.h"
#include "truetype/sfnt/FontDataTypes.h"
#include "truetype/tables/TableHead.h"

namespace app {

namespace {

constexpr std::size_t TableRecordLimit = 50;

}  // namespace

std::int32_t FindTableOffset(base::TStream& Stream, std::string_view Tag, std::int64_t FontStart)
{
    // The offset table's count of tables is not trusted: records are read
    // until one matches, the file ends, or the limit is reached.
    Stream.SetPosition(FontStart + 12);
    std::array<std::uint8_t, 16> Record{};
    for (std::size_t i = 0; i < TableRecordLimit; ++i) {
        if (Stream.Read(Record.data(), Record.size()) < Record.size())
            break;
        std::string RecordTag;
        for (std::size_t k = 0; k < 4 && Record[k] != 0; ++k)
            RecordTag += static_cast<char>(Record[k]);
        if (base::SameTextAscii(RecordTag, Tag))
            return static_cast<std::int32_t>(base::TBigEndianView(Record).ULong(8));
    }
    return -1;
}

std::int32_t FindTableOffset(platform::IFileSystem& Files, const std::string& Path, std::string_view Tag)
{
    try {
        return FindTableOffset(*Files.OpenReadShared(Path), Tag);
    } catch (const std::exception&) {
        return -1;
    }
}

namespace {

bool HasValidHead(base::TStream& Stream, std::int64_t FontStart)
{
    const std::int32_t Offset = FindTableOffset(Stream, "head", FontStart);
    if (Offset <= 0)
        return false;
    Stream.SetPosition(Offset);
    std::array<std::uint8_t, 16> Head{};
    return Stream.Read(Head.data(), Head.size()) == Head.size() && base::TBigEndianView(Head).ULong(12) == truetype::TTableHead::MagicNumber;
}

}  // namespace

bool IsValidTrueTypeFont(base::TStream& Stream)
{
    // A collection, whatever its file is called, is judged by its header and
    // the head of every font in it: its first directory is no font's.
    if (!truetype::IsCollection(Stream, 0))
        return HasValidHead(Stream, 0);
    try {
        const truetype::TCollectionHeader Header = truetype::ReadCollectionHeader(Stream, 0);
        for (const std::uint32_t Offset : Header.Offsets)
            if (!HasValidHead(Stream, Offset))
                return false;
        return true;
    } catch (const truetype::FontException&) {
        return false;
    }
}

THeadCheck CheckTrueTypeHead(platform::IFileSystem& Files, const std::string& Path)
{
    if (!Files.FileExists(Path))
        return THeadCheck::Invalid;
    bool Valid = false;
    try {
        // A font another program holds open for writing is still a font.
        Valid = IsValidTrueTypeFont(*Files.OpenReadShared(Path));
    } catch (const std::exception&) {
    }
    // A file that could not be opened or read through is asked why.
    if (!Valid && Files.FileInUse(Path))
        return THeadCheck::InUse;
    return Valid ? THeadCheck::Valid : THeadCheck::Invalid;
}

bool IsValidTrueTypeFont(platform::IFileSystem& Files, const std::string& Path)
{
    return CheckTrueTypeHead(Files, Path) == THeadCheck::Valid;
}

}  // namespace app
