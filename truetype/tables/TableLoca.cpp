#include "truetype/tables/TableLoca.h"

#include <algorithm>

#include "base/BigEndianView.h"

namespace truetype {

namespace {

void CheckFormat(std::int16_t Format)
{
    if (Format != 0 && Format != 1)
        RaiseFontErrorFmt("Wrong indexToLocFormat value %d", {Format});
}

}  // namespace

void TTableLoca::LoadFromStream(TStream& Stream)
{
    Clear();
    if (NumGlyphs == 0)
        return;
    CheckFormat(IndexToLocFormat);

    // One read, as far as the stream holds the offsets; the ones wholly past
    // its end read as zeros and are kept as one.
    const std::size_t Entries = std::size_t{NumGlyphs} + 1;
    const std::size_t Width = IndexToLocFormat == 0 ? 2 : 4;
    const base::TBigEndianBlock Block(Stream, Entries * Width);
    const base::TBigEndianView& Bytes = Block.View();
    const std::size_t Backed = std::min(Entries, (Bytes.Size() + Width - 1) / Width);
    FLocations.Reserve(Backed);
    for (std::size_t i = 0; i < Backed; ++i)
        FLocations.Add({Width == 2 ? 2u * Bytes.UShort(2 * i) : Bytes.ULong(4 * i)});
    FLocations.SetTail({}, Entries - Backed);
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
