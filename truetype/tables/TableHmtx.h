#pragma once

#include <cstdint>
#include <vector>

#include "truetype/sfnt/GlyphEntryList.h"
#include "truetype/sfnt/TableBase.h"

namespace truetype {

struct THmtxMetrics {
    std::uint16_t AdvanceWidth = 0;
    std::int16_t LeftSideBearing = 0;
};

// The horizontal metrics: one entry per glyph, also for the glyphs past the
// long entries (those repeat the last long entry's advance width).
class TTableHmtx final : public TFontTable {
public:
    explicit TTableHmtx(std::string_view Tag) : TFontTable(Tag, "TTableHmtx", "hmtx") {}

    // Set by the loader from hhea and maxp before the table loads.
    std::uint16_t NumberOfHMetrics = 0;
    std::uint16_t NumGlyphs = 0;
    bool OptimizeHMetrics = true;

    std::size_t Count() const { return FMetrics.Count(); }
    const THmtxMetrics& Items(std::ptrdiff_t Index) const { return FMetrics.Items(Index); }
    THmtxMetrics& Items(std::ptrdiff_t Index) { return FMetrics.Items(Index); }
    void Add(const THmtxMetrics& Metrics) { FMetrics.Add(Metrics); }
    void Clear() { FMetrics.Clear(); }

    // Ends the long entries at the first glyph of the final run of equal
    // advance widths (glyph 0 is always long).
    void CalcNumberOfHMetrics();

    void LoadFromStream(TStream& Stream) override;
    // Recomputes NumberOfHMetrics first; needs NumGlyphs entries.
    void SaveToStream(TStream& Stream) override;

private:
    TGlyphEntryList<THmtxMetrics> FMetrics;
};

}  // namespace truetype
