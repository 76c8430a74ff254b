#pragma once

#include <cstdint>
#include <vector>

#include "truetype/sfnt/GlyphEntryList.h"
#include "truetype/sfnt/TableBase.h"

namespace truetype {

struct TIndexToLocation {
    std::uint32_t Offset = 0;
};

// Where each glyph's data starts in glyf: NumGlyphs + 1 offsets after a load.
// They are kept as read; outline retrieval checks them.
class TTableLoca final : public TFontTable {
public:
    explicit TTableLoca(std::string_view Tag) : TFontTable(Tag, "TTableLoca", "loca") {}

    // Set by the loader from head and maxp before the table loads.
    std::int16_t IndexToLocFormat = 0;
    std::uint16_t NumGlyphs = 0;

    std::size_t Count() const { return FLocations.Count(); }
    const TIndexToLocation& Locations(std::ptrdiff_t Index) const { return FLocations.Items(Index); }
    void Add(TIndexToLocation Location) { FLocations.Add(Location); }
    void Clear() { FLocations.Clear(); }

    void LoadFromStream(TStream& Stream) override;
    // The short format stores offsets halved, so only even offsets up to
    // 131070 survive it; the writer refuses any other rather than corrupt it.
    void SaveToStream(TStream& Stream) override;

private:
    TGlyphEntryList<TIndexToLocation> FLocations;
};

}  // namespace truetype
