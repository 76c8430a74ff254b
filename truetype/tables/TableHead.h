#pragma once

#include <cstdint>

#include "truetype/sfnt/TableBase.h"
#include "truetype/sfnt/TableFields.h"

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

    // The fields in file order (TableFields.h).
    template <typename Self, typename Visitor>
    static void Fields(Self& T, Visitor&& Visit)
    {
        Visit("version", T.version);
        Visit("fontRevision", T.fontRevision);
        Visit("checkSumAdjustment", T.checkSumAdjustment);
        Visit("magicNumber", T.magicNumber);
        Visit("flags", T.flags);
        Visit("unitsPerEm", T.unitsPerEm);
        Visit("created", T.created);
        Visit("modified", T.modified);
        Visit("xMin", T.xMin);
        Visit("yMin", T.yMin);
        Visit("xMax", T.xMax);
        Visit("yMax", T.yMax);
        Visit("macStyle", T.macStyle);
        Visit("lowestRecPPEM", T.lowestRecPPEM);
        Visit("fontDirectionHint", T.fontDirectionHint);
        Visit("indexToLocFormat", T.indexToLocFormat);
        Visit("glyphDataFormat", T.glyphDataFormat);
    }

    void LoadFromStream(TStream& Stream) override;
    // Always writes the proper magic number, whatever was loaded.
    void SaveToStream(TStream& Stream) override;
};

}  // namespace truetype
