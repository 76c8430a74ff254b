#include "truetype/tables/TableLoca.h"

#include "base/ListError.h"

namespace truetype {

namespace {

void CheckFormat(std::int16_t Format)
{
    if (Format != 0 && Format != 1)
        RaiseFontErrorFmt("Wrong indexToLocFormat value %d", {Format});
}

}  // namespace

const TIndexToLocation& TTableLoca::Locations(std::ptrdiff_t Index) const { return base::ListItem(FLocations, Index); }

void TTableLoca::LoadFromStream(TStream& Stream)
{
    Clear();
    if (NumGlyphs == 0)
        return;
    CheckFormat(IndexToLocFormat);

    const std::size_t Entries = std::size_t{NumGlyphs} + 1;
    const std::size_t Width = IndexToLocFormat == 0 ? 2 : 4;
    std::vector<std::uint8_t> Bytes(Entries * Width, 0);
    Stream.Read(Bytes.data(), Bytes.size());

    FLocations.reserve(Entries);
    for (std::size_t i = 0; i < Entries; ++i) {
        const std::uint8_t* At = &Bytes[i * Width];
        TIndexToLocation Location;
        if (Width == 2)
            Location.Offset = 2u * ((At[0] << 8) | At[1]);
        else
            Location.Offset = (std::uint32_t{At[0]} << 24) | (At[1] << 16) | (At[2] << 8) | At[3];
        FLocations.push_back(Location);
    }
}

void TTableLoca::SaveToStream(TStream& Stream)
{
    if (NumGlyphs == 0)
        RaiseFontError("Can't save loca table to stream when numglyphs is zero!");
    CheckFormat(IndexToLocFormat);
    for (std::ptrdiff_t i = 0; i <= NumGlyphs; ++i) {
        const std::uint32_t Offset = Locations(i).Offset;
        if (IndexToLocFormat == 0) {
            if (Offset % 2 != 0 || Offset > 0x1FFFE)
                RaiseFontErrorFmt("Offset %d of glyph %d does not fit the short loca format", {Offset, i});
            WriteUShort(Stream, static_cast<std::uint16_t>(Offset >> 1));
        } else {
            WriteULong(Stream, Offset);
        }
    }
}

}  // namespace truetype
