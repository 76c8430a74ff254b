#include "truetype/tables/TableHead.h"

namespace truetype {

void TTableHead::LoadFromStream(TStream& Stream)
{
    version = ReadFixed(Stream);
    fontRevision = ReadFixed(Stream);
    checkSumAdjustment = ReadULong(Stream);
    magicNumber = ReadULong(Stream);
    flags = ReadUShort(Stream);
    unitsPerEm = ReadUShort(Stream);
    created = ReadLongDateTime(Stream);
    modified = ReadLongDateTime(Stream);
    xMin = ReadFWord(Stream);
    yMin = ReadFWord(Stream);
    xMax = ReadFWord(Stream);
    yMax = ReadFWord(Stream);
    macStyle = ReadUShort(Stream);
    lowestRecPPEM = ReadUShort(Stream);
    fontDirectionHint = ReadShort(Stream);
    indexToLocFormat = ReadShort(Stream);
    glyphDataFormat = ReadShort(Stream);
}

void TTableHead::SaveToStream(TStream& Stream)
{
    WriteFixed(Stream, version);
    WriteFixed(Stream, fontRevision);
    WriteULong(Stream, checkSumAdjustment);
    magicNumber = MagicNumber;
    WriteULong(Stream, magicNumber);
    WriteUShort(Stream, flags);
    WriteUShort(Stream, unitsPerEm);
    WriteLongDateTime(Stream, created);
    WriteLongDateTime(Stream, modified);
    WriteFWord(Stream, xMin);
    WriteFWord(Stream, yMin);
    WriteFWord(Stream, xMax);
    WriteFWord(Stream, yMax);
    WriteUShort(Stream, macStyle);
    WriteUShort(Stream, lowestRecPPEM);
    WriteShort(Stream, fontDirectionHint);
    WriteShort(Stream, indexToLocFormat);
    WriteShort(Stream, glyphDataFormat);
}

}  // namespace truetype
