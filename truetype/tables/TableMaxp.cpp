#include "truetype/tables/TableMaxp.h"

namespace truetype {

template <typename Visit>
void TTableMaxp::ForEachField(Visit&& Field)
{
    for (std::uint16_t* Value : {&numGlyphs, &maxPoints, &maxContours, &maxCompositePoints,
                                 &maxCompositeContours, &maxZones, &maxTwilightPoints, &maxStorage,
                                 &maxFunctionDefs, &maxInstructionDefs, &maxStackElements,
                                 &maxSizeOfInstructions, &maxComponentElements, &maxComponentDepth})
        Field(*Value);
}

void TTableMaxp::LoadFromStream(TStream& Stream)
{
    version = ReadFixed(Stream);
    ForEachField([&](std::uint16_t& Value) { Value = ReadUShort(Stream); });
}

void TTableMaxp::SaveToStream(TStream& Stream)
{
    WriteFixed(Stream, version);
    ForEachField([&](std::uint16_t& Value) { WriteUShort(Stream, Value); });
}

}  // namespace truetype
