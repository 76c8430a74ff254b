#pragma once

#include <array>
#include <cstdint>

#include "truetype/sfnt/TableBase.h"

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

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
};

}  // namespace truetype
