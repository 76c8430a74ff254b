#pragma once

#include <array>
#include <cstdint>

#include "truetype/sfnt/TableBase.h"
#include "truetype/sfnt/TableFields.h"

namespace truetype {

// The horizontal header, 36 bytes.
class TTableHhea final : public TFontTable {
public:
    explicit TTableHhea(std::string_view Tag) : TFontTable(Tag, "TTableHhea", "hhea") {}

    std::uint32_t version = 0;
    std::int16_t ascender = 0;
    std::int16_t descender = 0;
    std::int16_t lineGap = 0;
    std::uint16_t advanceWidthMax = 0;
    std::int16_t minLeftSideBearing = 0;
    std::int16_t minRightSideBearing = 0;
    std::int16_t xMaxExtent = 0;
    std::int16_t caretSlopeRise = 0;
    std::int16_t caretSlopeRun = 0;
    // Held as read and written back; none of them is interpreted.
    std::int16_t caretOffset = 0;
    std::array<std::int16_t, 4> reserved{};
    std::int16_t metricDataFormat = 0;
    std::uint16_t numberOfHMetrics = 0;

    // The fields in file order (TableFields.h).
    template <typename Self, typename Visitor>
    static void Fields(Self& T, Visitor&& Visit)
    {
        Visit("version", T.version);
        Visit("ascender", T.ascender);
        Visit("descender", T.descender);
        Visit("lineGap", T.lineGap);
        Visit("advanceWidthMax", T.advanceWidthMax);
        Visit("minLeftSideBearing", T.minLeftSideBearing);
        Visit("minRightSideBearing", T.minRightSideBearing);
        Visit("xMaxExtent", T.xMaxExtent);
        Visit("caretSlopeRise", T.caretSlopeRise);
        Visit("caretSlopeRun", T.caretSlopeRun);
        Visit("caretOffset", T.caretOffset);
        Visit("reserved", T.reserved);
        Visit("metricDataFormat", T.metricDataFormat);
        Visit("numberOfHMetrics", T.numberOfHMetrics);
    }

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
};

}  // namespace truetype
