// The OS/2 table, whose layout grows with its version: 78 bytes for version
// 0, 86 for version 1, 96 for version 2 and later (fields that later versions
// add after usMaxContext are neither read nor written).
#pragma once

#include <cstdint>
#include <string>

#include "truetype/sfnt/TableBase.h"
#include "truetype/sfnt/TableFields.h"

namespace truetype {

class TTableOS_2 final : public TFontTable {
public:
    explicit TTableOS_2(std::string_view Tag) : TFontTable(Tag, "TTableOS_2", "OS/2") {}

    std::uint16_t version = 0;
    std::int16_t xAvgCharWidth = 0;
    std::uint16_t usWeightClass = 0;
    std::uint16_t usWidthClass = 0;
    std::uint16_t fsType = 0;
    std::int16_t ySubscriptXSize = 0;
    std::int16_t ySubscriptYSize = 0;
    std::int16_t ySubscriptXOffset = 0;
    std::int16_t ySubscriptYOffset = 0;
    std::int16_t ySuperscriptXSize = 0;
    std::int16_t ySuperscriptYSize = 0;
    std::int16_t ySuperscriptXOffset = 0;
    std::int16_t ySuperscriptYOffset = 0;
    std::int16_t yStrikeoutSize = 0;
    std::int16_t yStrikeoutPosition = 0;
    std::int16_t sFamilyClass = 0;
    TPanose panose{};
    std::uint32_t ulUnicodeRange1 = 0;
    std::uint32_t ulUnicodeRange2 = 0;
    std::uint32_t ulUnicodeRange3 = 0;
    std::uint32_t ulUnicodeRange4 = 0;
    // Four characters, one per byte of the file, zero bytes included.
    std::string achVendID = std::string(4, '\0');
    std::uint16_t fsSelection = 0;
    std::uint16_t usFirstCharIndex = 0;
    std::uint16_t usLastCharIndex = 0;
    std::int16_t sTypoAscender = 0;
    std::int16_t sTypoDescender = 0;
    std::int16_t sTypoLineGap = 0;
    // Unsigned in the format; the 16 bits travel unchanged either way.
    std::int16_t usWinAscent = 0;
    std::int16_t usWinDescent = 0;
    // Version 1 and later.
    std::uint32_t ulCodePageRange1 = 0;
    std::uint32_t ulCodePageRange2 = 0;
    // Version 2 and later.
    std::int16_t sxHeight = 0;
    std::int16_t sCapHeight = 0;
    std::uint16_t usDefaultChar = 0;
    std::uint16_t usBreakChar = 0;
    std::uint16_t usMaxContext = 0;

    // The fields in file order (TableFields.h), each version's own.
    template <typename Self, typename Visitor>
    static void Fields(Self& T, Visitor&& Visit)
    {
        Visit("version", T.version);
        Visit("xAvgCharWidth", T.xAvgCharWidth);
        Visit("usWeightClass", T.usWeightClass);
        Visit("usWidthClass", T.usWidthClass);
        Visit("fsType", T.fsType);
        Visit("ySubscriptXSize", T.ySubscriptXSize);
        Visit("ySubscriptYSize", T.ySubscriptYSize);
        Visit("ySubscriptXOffset", T.ySubscriptXOffset);
        Visit("ySubscriptYOffset", T.ySubscriptYOffset);
        Visit("ySuperscriptXSize", T.ySuperscriptXSize);
        Visit("ySuperscriptYSize", T.ySuperscriptYSize);
        Visit("ySuperscriptXOffset", T.ySuperscriptXOffset);
        Visit("ySuperscriptYOffset", T.ySuperscriptYOffset);
        Visit("yStrikeoutSize", T.yStrikeoutSize);
        Visit("yStrikeoutPosition", T.yStrikeoutPosition);
        Visit("sFamilyClass", T.sFamilyClass);
        Visit("panose", T.panose);
        Visit("ulUnicodeRange1", T.ulUnicodeRange1);
        Visit("ulUnicodeRange2", T.ulUnicodeRange2);
        Visit("ulUnicodeRange3", T.ulUnicodeRange3);
        Visit("ulUnicodeRange4", T.ulUnicodeRange4);
        Visit("achVendID", T.achVendID);
        Visit("fsSelection", T.fsSelection);
        Visit("usFirstCharIndex", T.usFirstCharIndex);
        Visit("usLastCharIndex", T.usLastCharIndex);
        Visit("sTypoAscender", T.sTypoAscender);
        Visit("sTypoDescender", T.sTypoDescender);
        Visit("sTypoLineGap", T.sTypoLineGap);
        Visit("usWinAscent", T.usWinAscent);
        Visit("usWinDescent", T.usWinDescent);
        const TFieldSince Version1{T.version, 1};
        Visit("ulCodePageRange1", T.ulCodePageRange1, Version1);
        Visit("ulCodePageRange2", T.ulCodePageRange2, Version1);
        const TFieldSince Version2{T.version, 2};
        Visit("sxHeight", T.sxHeight, Version2);
        Visit("sCapHeight", T.sCapHeight, Version2);
        Visit("usDefaultChar", T.usDefaultChar, Version2);
        Visit("usBreakChar", T.usBreakChar, Version2);
        Visit("usMaxContext", T.usMaxContext, Version2);
    }

    // Raise for a version 0 table, which has no code page ranges.
    std::uint32_t CodePageRange1() const;
    std::uint32_t CodePageRange2() const;

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;

private:
    std::uint32_t CodePageRange(std::uint32_t Value, std::string_view Format) const;
};

}  // namespace truetype
