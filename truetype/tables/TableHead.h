#pragma once

#include <cstdint>

#include "truetype/sfnt/TableBase.h"

namespace truetype {

// The font header, 54 bytes.
class TTableHead final : public TFontTable {
public:
    explicit TTableHead(std::string_view Tag) : TFontTable(Tag, "TTableHead", "head") {}

    static constexpr std::uint32_t MagicNumber = 0x5F0F3CF5;

    std::uint32_t version = 0;
    std::uint32_t fontRevision = 0;
    std::uint32_t checkSumAdjustment = 0;
    std::uint32_t magicNumber = 0;
    std::uint16_t flags = 0;
    std::uint16_t unitsPerEm = 0;
    std::int64_t created = 0;
    std::int64_t modified = 0;
    std::int16_t xMin = 0;
    std::int16_t yMin = 0;
    std::int16_t xMax = 0;
    std::int16_t yMax = 0;
    std::uint16_t macStyle = 0;
    std::uint16_t lowestRecPPEM = 0;
    std::int16_t fontDirectionHint = 0;
    std::int16_t indexToLocFormat = 0;
    std::int16_t glyphDataFormat = 0;

    void LoadFromStream(TStream& Stream) override;
    // Always writes the proper magic number, whatever was loaded.
    void SaveToStream(TStream& Stream) override;
};

}  // namespace truetype
