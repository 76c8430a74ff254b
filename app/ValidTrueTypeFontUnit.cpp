#include "app/ValidTrueTypeFontUnit.h"

#include <array>
#include <exception>

#include "base/AsciiText.h"
#include "base/BigEndianView.h"

namespace app {

namespace {

constexpr std::size_t TableRecordLimit = 50;

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
            return static_cast<std::int32_t>(base::TBigEndianView(Record).ULong(8));
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
    return Stream.Read(Head.data(), Head.size()) == Head.size() && base::TBigEndianView(Head).ULong(12) == 0x5F0F3CF5;
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

}  // namespace app
