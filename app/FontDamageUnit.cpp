#include "app/FontDamageUnit.h"

#include <exception>
#include <new>

#include "base/BigEndianView.h"
#include "base/Format.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/tables/TableHead.h"
#include "truetype/tables/TableMaxp.h"

namespace app {

namespace {

using TDirectoryEntry = truetype::TTrueTypeFont::TDirectoryEntry;

// The directory as the load read it, against the file's size: offsets count
// from the start of the file, a collection's fonts' too.
std::optional<std::string> DirectoryDamage(const truetype::TTrueTypeFont& Font, std::int64_t FontStart,
                                           std::int64_t FileSize)
{
    if (Font.Directory.empty() && Font.NumTables == 0)
        return std::nullopt;
    const std::int64_t DirectoryEnd = FontStart + 12 + 16 * std::int64_t{Font.NumTables};
    if (DirectoryEnd > FileSize)
        return base::FormatText("The table directory's %d records end at offset %d, past the end of the file (%d bytes)",
                                {Font.NumTables, DirectoryEnd, FileSize});
    for (const TDirectoryEntry& Entry : Font.Directory)
        if (Entry.Offset > FileSize || Entry.Length > FileSize - Entry.Offset)
            return base::FormatText("Table %s (offset %d, length %d) runs past the end of the file (%d bytes)",
                                    {Entry.Tag, Entry.Offset, Entry.Length, FileSize});
    return std::nullopt;
}

const TDirectoryEntry* FindRecord(const truetype::TTrueTypeFont& Font, std::string_view Tag)
{
    for (const TDirectoryEntry& Entry : Font.Directory)
        if (Entry.Tag == Tag)
            return &Entry;
    return nullptr;
}

// What a load with outlines reads as zeros and empty glyphs without an
// error: loca too short for the glyphs, and offsets past the glyph data.
// The last offset only ends the last glyph, and may count glyf's padding.
std::optional<std::string> LocaDamage(const truetype::TTrueTypeFont& Font, base::TStream& Stream)
{
    const TDirectoryEntry* Loca = FindRecord(Font, "loca");
    const TDirectoryEntry* Glyf = FindRecord(Font, "glyf");
    const truetype::TTableHead* Head = Font.HeadTable();
    const truetype::TTableMaxp* Maxp = Font.MaxpTable();
    if (Loca == nullptr || Glyf == nullptr || Head == nullptr || Maxp == nullptr || Maxp->numGlyphs == 0)
        return std::nullopt;
    const std::size_t Width = Head->indexToLocFormat == 0 ? 2 : 4;
    const std::size_t Needed = std::size_t{Maxp->numGlyphs} + 1;
    if (Loca->Length / Width < Needed)
        return base::FormatText("Table loca holds %d offsets, fewer than the %d that %d glyphs need",
                                {Loca->Length / Width, Needed, Maxp->numGlyphs});
    Stream.SetPosition(Loca->Offset);
    const base::TBigEndianBlock Block(Stream, Needed * Width);
    const base::TBigEndianView& Bytes = Block.View();
    for (std::size_t i = 0; i + 1 < Needed; ++i) {
        const std::uint32_t Offset = Width == 2 ? 2u * Bytes.UShort(2 * i) : Bytes.ULong(4 * i);
        if (Offset > Glyf->Length)
            return base::FormatText("Glyph %d starts at offset %d, past the end of the glyf table (%d bytes)",
                                    {i, Offset, Glyf->Length});
    }
    return std::nullopt;
}

std::string ErrorText(const std::exception& Error)
{
    if (dynamic_cast<const std::bad_alloc*>(&Error) != nullptr)
        return "Out of memory";
    return Error.what();
}

}  // namespace

std::unique_ptr<truetype::TTrueTypeFont> JudgedFont(std::uint32_t Face)
{
    auto Font = std::make_unique<truetype::TTrueTypeFont>(true);
    Font->CheckOutlinesOnly = true;
    Font->KeepUnknownTables = false;
    Font->Face = Face;
    return Font;
}

std::optional<std::string> LoadAndJudge(truetype::TTrueTypeFont& Font, base::TStream& Stream)
{
    const std::int64_t Start = Stream.Position();
    const std::int64_t FileSize = Stream.Size();
    std::optional<std::string> LoadError;
    try {
        Font.LoadFromStream(Stream);
    } catch (const std::exception& Error) {
        LoadError = ErrorText(Error);
    }
    // A table past the end is the plainer reason for the read error it
    // causes.
    const std::int64_t FontStart = Font.Collection && Font.Face < Font.Collection->Offsets.size()
        ? Start + Font.Collection->Offsets[Font.Face]
        : Start;
    if (std::optional<std::string> Damage = DirectoryDamage(Font, FontStart, FileSize))
        return Damage;
    if (LoadError)
        return LoadError;
    try {
        return LocaDamage(Font, Stream);
    } catch (const std::exception& Error) {
        return ErrorText(Error);
    }
}

}  // namespace app
