// The PostScript table: the header of every version, and for formats 1.0 and
// 2.0 one glyph name per glyph.
#pragma once

#include <cstdint>
#include <string_view>

#include "truetype/sfnt/TableBase.h"
#include "truetype/sfnt/TableFields.h"
#include "truetype/tables/post/PostScriptNameList.h"
#include "truetype/tables/post/StandardGlyphNames.h"

namespace truetype {

// A 16.16 version held as its two halves: 2.5 is 2 and 0x5000.
struct TPostFormatType {
    std::int16_t IntegerPart = 0;
    std::uint16_t FractionWord = 0;

    bool Is(std::int16_t Integer, std::uint16_t Fraction) const
    {
        return IntegerPart == Integer && FractionWord == Fraction;
    }
};

// On the stream the two halves are one 16.16 value, integer part first.
inline void ReadFieldValue(TStream& Stream, TPostFormatType& Value)
{
    Value.IntegerPart = ReadShort(Stream);
    Value.FractionWord = ReadUShort(Stream);
}
inline void WriteFieldValue(TStream& Stream, const TPostFormatType& Value)
{
    WriteShort(Stream, Value.IntegerPart);
    WriteUShort(Stream, Value.FractionWord);
}

class TTablePost final : public TFontTable {
public:
    explicit TTablePost(std::string_view Tag) : TFontTable(Tag, "TTablePost", "post") {}

    TPostFormatType FormatType;
    std::int32_t italicAngle = 0;  // raw 16.16
    std::int16_t underlinePosition = 0;
    std::int16_t underlineThickness = 0;
    std::uint32_t isFixedPitch = 0;
    std::uint32_t minMemType42 = 0;
    std::uint32_t maxMemType42 = 0;
    std::uint32_t minMemType1 = 0;
    std::uint32_t maxMemType1 = 0;

    // The 32-byte header in file order (TableFields.h).
    template <typename Self, typename Visitor>
    static void Fields(Self& T, Visitor&& Visit)
    {
        Visit("formatType", T.FormatType);
        Visit("italicAngle", T.italicAngle);
        Visit("underlinePosition", T.underlinePosition);
        Visit("underlineThickness", T.underlineThickness);
        Visit("isFixedPitch", T.isFixedPitch);
        Visit("minMemType42", T.minMemType42);
        Visit("maxMemType42", T.maxMemType42);
        Visit("minMemType1", T.minMemType1);
        Visit("maxMemType1", T.maxMemType1);
    }

    // The glyph count of a format 2.0 table.
    std::uint16_t NumberOfGlyphs = 0;
    // One name per glyph, in glyph order.
    TPostScriptNameList GlyphNames;

    void Clear() { GlyphNames.Clear(); }
    // The first position among StandardGlyphNames that spells Name, or -1.
    static int IndexOfStandardName(std::string_view Name) { return truetype::IndexOfStandardName(Name); }
    // Format 1.0 becomes format 2.0 naming the 258 standard glyphs.
    void ChangeToFormat2();

    // Never raises: versions it cannot read become an empty format 2.0 table.
    void LoadFromStream(TStream& Stream) override;
    // Writes formats 2.0 and 3.0; every other version raises after the header.
    void SaveToStream(TStream& Stream) override;

private:
    void SaveFormat2Names(TStream& Stream) const;
    void ResetToFormat2() { FormatType = {2, 0}; }
};

}  // namespace truetype
