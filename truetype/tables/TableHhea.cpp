#include "truetype/tables/TableHhea.h"

namespace truetype {

void TTableHhea::LoadFromStream(TStream& Stream)
{
    version = ReadFixed(Stream);
    ascender = ReadFWord(Stream);
    descender = ReadFWord(Stream);
    lineGap = ReadFWord(Stream);
    advanceWidthMax = ReadUFWord(Stream);
    minLeftSideBearing = ReadFWord(Stream);
    minRightSideBearing = ReadFWord(Stream);
    xMaxExtent = ReadFWord(Stream);
    caretSlopeRise = ReadShort(Stream);
    caretSlopeRun = ReadShort(Stream);
    caretOffset = ReadShort(Stream);
    for (std::int16_t& Word : reserved)
        Word = ReadShort(Stream);
    metricDataFormat = ReadShort(Stream);
    numberOfHMetrics = ReadUShort(Stream);
}

void TTableHhea::SaveToStream(TStream& Stream)
{
    WriteFixed(Stream, version);
    WriteFWord(Stream, ascender);
    WriteFWord(Stream, descender);
    WriteFWord(Stream, lineGap);
    WriteUFWord(Stream, advanceWidthMax);
    WriteFWord(Stream, minLeftSideBearing);
    WriteFWord(Stream, minRightSideBearing);
    WriteFWord(Stream, xMaxExtent);
    WriteShort(Stream, caretSlopeRise);
    WriteShort(Stream, caretSlopeRun);
    WriteShort(Stream, caretOffset);
    for (const std::int16_t Word : reserved)
        WriteShort(Stream, Word);
    WriteShort(Stream, metricDataFormat);
    WriteUShort(Stream, numberOfHMetrics);
}

}  // namespace truetype
