#include "truetype/tables/TableOS_2.h"

namespace truetype {

std::uint32_t TTableOS_2::CodePageRange(std::uint32_t Value, std::string_view Format) const
{
    if (version < 1)
        RaiseFontErrorFmt(Format, {version});
    return Value;
}

std::uint32_t TTableOS_2::CodePageRange1() const
{
    return CodePageRange(ulCodePageRange1, "[Table OS/2] This version %d doesn't support ulCodePageRange1!");
}

std::uint32_t TTableOS_2::CodePageRange2() const
{
    return CodePageRange(ulCodePageRange2, "[Table OS/2] This version %d doesn't support ulCodePageRange2!");
}

void TTableOS_2::LoadFromStream(TStream& Stream)
{
    version = ReadUShort(Stream);
    xAvgCharWidth = ReadShort(Stream);
    usWeightClass = ReadUShort(Stream);
    usWidthClass = ReadUShort(Stream);
    fsType = ReadUShort(Stream);
    ySubscriptXSize = ReadShort(Stream);
    ySubscriptYSize = ReadShort(Stream);
    ySubscriptXOffset = ReadShort(Stream);
    ySubscriptYOffset = ReadShort(Stream);
    ySuperscriptXSize = ReadShort(Stream);
    ySuperscriptYSize = ReadShort(Stream);
    ySuperscriptXOffset = ReadShort(Stream);
    ySuperscriptYOffset = ReadShort(Stream);
    yStrikeoutSize = ReadShort(Stream);
    yStrikeoutPosition = ReadShort(Stream);
    sFamilyClass = ReadShort(Stream);
    panose = ReadPanose(Stream);
    ulUnicodeRange1 = ReadULong(Stream);
    ulUnicodeRange2 = ReadULong(Stream);
    ulUnicodeRange3 = ReadULong(Stream);
    ulUnicodeRange4 = ReadULong(Stream);
    achVendID = ReadTag(Stream);
    fsSelection = ReadUShort(Stream);
    usFirstCharIndex = ReadUShort(Stream);
    usLastCharIndex = ReadUShort(Stream);
    sTypoAscender = ReadShort(Stream);
    sTypoDescender = ReadShort(Stream);
    sTypoLineGap = ReadShort(Stream);
    usWinAscent = ReadShort(Stream);
    usWinDescent = ReadShort(Stream);

    ulCodePageRange1 = version >= 1 ? ReadULong(Stream) : 0;
    ulCodePageRange2 = version >= 1 ? ReadULong(Stream) : 0;
    const bool HasVersion2Fields = version >= 2;
    sxHeight = HasVersion2Fields ? ReadShort(Stream) : 0;
    sCapHeight = HasVersion2Fields ? ReadShort(Stream) : 0;
    usDefaultChar = HasVersion2Fields ? ReadUShort(Stream) : 0;
    usBreakChar = HasVersion2Fields ? ReadUShort(Stream) : 0;
    usMaxContext = HasVersion2Fields ? ReadUShort(Stream) : 0;
}

void TTableOS_2::SaveToStream(TStream& Stream)
{
    WriteUShort(Stream, version);
    WriteShort(Stream, xAvgCharWidth);
    WriteUShort(Stream, usWeightClass);
    WriteUShort(Stream, usWidthClass);
    WriteUShort(Stream, fsType);
    WriteShort(Stream, ySubscriptXSize);
    WriteShort(Stream, ySubscriptYSize);
    WriteShort(Stream, ySubscriptXOffset);
    WriteShort(Stream, ySubscriptYOffset);
    WriteShort(Stream, ySuperscriptXSize);
    WriteShort(Stream, ySuperscriptYSize);
    WriteShort(Stream, ySuperscriptXOffset);
    WriteShort(Stream, ySuperscriptYOffset);
    WriteShort(Stream, yStrikeoutSize);
    WriteShort(Stream, yStrikeoutPosition);
    WriteShort(Stream, sFamilyClass);
    WritePanose(Stream, panose);
    WriteULong(Stream, ulUnicodeRange1);
    WriteULong(Stream, ulUnicodeRange2);
    WriteULong(Stream, ulUnicodeRange3);
    WriteULong(Stream, ulUnicodeRange4);
    // A vendor ID set shorter than four characters is padded with spaces, as
    // the format pads vendor IDs.
    WriteTag(Stream, achVendID);
    WriteUShort(Stream, fsSelection);
    WriteUShort(Stream, usFirstCharIndex);
    WriteUShort(Stream, usLastCharIndex);
    WriteShort(Stream, sTypoAscender);
    WriteShort(Stream, sTypoDescender);
    WriteShort(Stream, sTypoLineGap);
    WriteShort(Stream, usWinAscent);
    WriteShort(Stream, usWinDescent);
    if (version >= 1) {
        WriteULong(Stream, CodePageRange1());
        WriteULong(Stream, CodePageRange2());
    }
    if (version >= 2) {
        WriteShort(Stream, sxHeight);
        WriteShort(Stream, sCapHeight);
        WriteUShort(Stream, usDefaultChar);
        WriteUShort(Stream, usBreakChar);
        WriteUShort(Stream, usMaxContext);
    }
}

}  // namespace truetype
