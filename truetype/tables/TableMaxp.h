#pragma once

#include <cstdint>

#include "truetype/sfnt/TableBase.h"
#include "truetype/sfnt/TableFields.h"

namespace truetype {

// The maximum profile, 32 bytes. All fourteen fields are read whatever the
// version says, so a version 0.5 table reads on into whatever follows it.
class TTableMaxp final : public TFontTable {
public:
    explicit TTableMaxp(std::string_view Tag) : TFontTable(Tag, "TTableMaxp", "maxp") {}

    std::uint32_t version = 0;
    std::uint16_t numGlyphs = 0;
    std::uint16_t maxPoints = 0;
    std::uint16_t maxContours = 0;
    std::uint16_t maxCompositePoints = 0;
    std::uint16_t maxCompositeContours = 0;
    std::uint16_t maxZones = 0;
    std::uint16_t maxTwilightPoints = 0;
    std::uint16_t maxStorage = 0;
    std::uint16_t maxFunctionDefs = 0;
    std::uint16_t maxInstructionDefs = 0;
    std::uint16_t maxStackElements = 0;
    std::uint16_t maxSizeOfInstructions = 0;
    std::uint16_t maxComponentElements = 0;
    std::uint16_t maxComponentDepth = 0;

    // The fields in file order (TableFields.h).
    template <typename Self, typename Visitor>
    static void Fields(Self& T, Visitor&& Visit)
    {
        Visit("version", T.version);
        Visit("numGlyphs", T.numGlyphs);
        Visit("maxPoints", T.maxPoints);
        Visit("maxContours", T.maxContours);
        Visit("maxCompositePoints", T.maxCompositePoints);
        Visit("maxCompositeContours", T.maxCompositeContours);
        Visit("maxZones", T.maxZones);
        Visit("maxTwilightPoints", T.maxTwilightPoints);
        Visit("maxStorage", T.maxStorage);
        Visit("maxFunctionDefs", T.maxFunctionDefs);
        Visit("maxInstructionDefs", T.maxInstructionDefs);
        Visit("maxStackElements", T.maxStackElements);
        Visit("maxSizeOfInstructions", T.maxSizeOfInstructions);
        Visit("maxComponentElements", T.maxComponentElements);
        Visit("maxComponentDepth", T.maxComponentDepth);
    }

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
};

}  // namespace truetype
