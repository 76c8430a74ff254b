// The OS/2 table, whose layout grows with its version: 78 bytes for version
// 0, 86 for version 1, 96 for version 2 and later (fields that later versions
// add after usMaxContext are neither read nor written).
#pragma once

#include <cstdint>
#include <string>

#include "truetype/sfnt/TableBase.h"

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

    // Raise for a version 0 table, which has no code page ranges.
    std::uint32_t CodePageRange1() const;
    std::uint32_t CodePageRange2() const;

    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;

private:
    std::uint32_t CodePageRange(std::uint32_t Value, std::string_view Format) const;
};

}  // namespace truetype
