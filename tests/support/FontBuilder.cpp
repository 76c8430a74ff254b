#include "tests/support/FontBuilder.h"

namespace testing_support {

TByteWriter& TByteWriter::U8(std::uint8_t Value)
{
    FBytes.push_back(Value);
    return *this;
}

TByteWriter& TByteWriter::U16(std::uint16_t Value)
{
    return U8(static_cast<std::uint8_t>(Value >> 8)).U8(static_cast<std::uint8_t>(Value));
}

TByteWriter& TByteWriter::U32(std::uint32_t Value)
{
    return U16(static_cast<std::uint16_t>(Value >> 16)).U16(static_cast<std::uint16_t>(Value));
}

TByteWriter& TByteWriter::U64(std::uint64_t Value)
{
    return U32(static_cast<std::uint32_t>(Value >> 32)).U32(static_cast<std::uint32_t>(Value));
}

TByteWriter& TByteWriter::Tag(std::string_view Tag)
{
    for (std::size_t i = 0; i < 4; ++i)
        U8(i < Tag.size() ? static_cast<std::uint8_t>(Tag[i]) : ' ');
    return *this;
}

TByteWriter& TByteWriter::Raw(const TBytes& Bytes)
{
    FBytes.insert(FBytes.end(), Bytes.begin(), Bytes.end());
    return *this;
}

TByteWriter& TByteWriter::Text(std::string_view Text)
{
    for (const char C : Text)
        U8(static_cast<std::uint8_t>(C));
    return *this;
}

TByteWriter& TByteWriter::Utf16(std::u16string_view Text)
{
    for (const char16_t C : Text)
        U16(C);
    return *this;
}

TByteWriter& TByteWriter::Zeros(std::size_t Count)
{
    FBytes.insert(FBytes.end(), Count, 0);
    return *this;
}

TBytes HeadTable(const THeadFields& Fields)
{
    return TByteWriter()
        .U32(0x00010000)            // version
        .U32(0x00028000)            // fontRevision 2.5
        .U32(0x12345678)            // checkSumAdjustment
        .U32(Fields.Magic)          // magicNumber
        .U16(0x000B)                // flags
        .U16(Fields.UnitsPerEm)     // unitsPerEm
        .U64(3600000000ull)         // created
        .U64(3700000000ull)         // modified
        .S16(-100).S16(-200).S16(1000).S16(2000)  // xMin yMin xMax yMax
        .U16(1)                     // macStyle
        .U16(8)                     // lowestRecPPEM
        .S16(2)                     // fontDirectionHint
        .S16(Fields.IndexToLocFormat)
        .S16(0);                    // glyphDataFormat
}

TBytes HheaTable(std::uint16_t NumberOfHMetrics)
{
    return TByteWriter()
        .U32(0x00010000)
        .S16(1900).S16(-500).S16(67)    // ascender descender lineGap
        .U16(2000)                      // advanceWidthMax
        .S16(-50).S16(-60).S16(1950)    // minLSB minRSB xMaxExtent
        .S16(1).S16(0).S16(0)           // caretSlopeRise caretSlopeRun caretOffset
        .S16(0).S16(0).S16(0).S16(0)    // reserved
        .S16(0)                         // metricDataFormat
        .U16(NumberOfHMetrics);
}

TBytes MaxpTable(std::uint16_t NumGlyphs)
{
    TByteWriter W;
    W.U32(0x00010000).U16(NumGlyphs);
    for (std::uint16_t Field = 1; Field <= 13; ++Field)
        W.U16(static_cast<std::uint16_t>(Field * 10));
    return W;
}

TBytes HmtxTable(const std::vector<std::pair<std::uint16_t, std::int16_t>>& Long, const std::vector<std::int16_t>& Short)
{
    TByteWriter W;
    for (const auto& [Advance, Bearing] : Long)
        W.U16(Advance).S16(Bearing);
    for (const std::int16_t Bearing : Short)
        W.S16(Bearing);
    return W;
}

TBytes CmapTable(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& Mappings)
{
    const auto SegCount = static_cast<std::uint16_t>(Mappings.size() + 1);
    TByteWriter Sub;
    Sub.U16(4).U16(static_cast<std::uint16_t>(16 + 8 * SegCount)).U16(0);
    Sub.U16(static_cast<std::uint16_t>(2 * SegCount)).U16(0).U16(0).U16(0);  // search values unused
    for (const auto& Mapping : Mappings)
        Sub.U16(Mapping.first);
    Sub.U16(0xFFFF).U16(0);  // endCode terminator, reservedPad
    for (const auto& Mapping : Mappings)
        Sub.U16(Mapping.first);
    Sub.U16(0xFFFF);
    for (const auto& [Code, Glyph] : Mappings)
        Sub.U16(static_cast<std::uint16_t>(Glyph - Code));
    Sub.U16(1);
    for (std::size_t i = 0; i < SegCount; ++i)
        Sub.U16(0);
    return TByteWriter().U16(0).U16(1).U16(3).U16(1).U32(12).Raw(Sub);
}

TBytes NameTable(const std::vector<TNameRecord>& Records)
{
    TByteWriter Header;
    TByteWriter Storage;
    Header.U16(0).U16(static_cast<std::uint16_t>(Records.size()))
        .U16(static_cast<std::uint16_t>(6 + 12 * Records.size()));
    for (const TNameRecord& R : Records) {
        const std::size_t Offset = Storage.Size();
        if (R.PlatformID == 0 || R.PlatformID == 3)
            Storage.Utf16(R.Text);
        else
            for (const char16_t C : R.Text)
                Storage.U8(static_cast<std::uint8_t>(C));
        Header.U16(R.PlatformID).U16(R.EncodingID).U16(R.LanguageID).U16(R.NameID)
            .U16(static_cast<std::uint16_t>(Storage.Size() - Offset)).U16(static_cast<std::uint16_t>(Offset));
    }
    return Header.Raw(Storage);
}

TFontBuilder& TFontBuilder::Version(std::uint32_t Version)
{
    FVersion = Version;
    return *this;
}

TFontBuilder& TFontBuilder::Add(std::string_view Tag, TBytes Body)
{
    FTables.emplace_back(std::string(Tag), std::move(Body));
    return *this;
}

TFontBuilder& TFontBuilder::Record(std::string_view Tag, std::uint32_t Offset, std::uint32_t Length)
{
    FRecords.Tag(Tag).U32(0).U32(Offset).U32(Length);
    ++FRecordCount;
    return *this;
}

TBytes TFontBuilder::Build() const
{
    TByteWriter W;
    const auto Count = static_cast<std::uint16_t>(FTables.size() + FRecordCount);
    W.U32(FVersion).U16(Count).U16(0).U16(0).U16(0);
    std::uint32_t Offset = 12 + 16 * Count;
    for (const auto& [Tag, Body] : FTables) {
        W.Tag(Tag).U32(0).U32(Offset).U32(static_cast<std::uint32_t>(Body.size()));
        Offset += static_cast<std::uint32_t>((Body.size() + 3) & ~std::size_t{3});
    }
    W.Raw(FRecords);
    for (const auto& Table : FTables)
        W.Raw(Table.second).Zeros((4 - Table.second.size() % 4) % 4);
    return W;
}

TFontBuilder MinimalFont(std::uint16_t NumGlyphs)
{
    std::vector<std::pair<std::uint16_t, std::int16_t>> Metrics;
    for (std::uint16_t i = 0; i < NumGlyphs; ++i)
        Metrics.emplace_back(static_cast<std::uint16_t>(500 + i), static_cast<std::int16_t>(i));
    TFontBuilder Font;
    Font.Add("cmap", CmapTable())
        .Add("head", HeadTable())
        .Add("hhea", HheaTable(NumGlyphs))
        .Add("hmtx", HmtxTable(Metrics))
        .Add("maxp", MaxpTable(NumGlyphs));
    return Font;
}

namespace {

std::uint32_t ReadU32(const TBytes& Bytes, std::size_t At)
{
    return std::uint32_t{Bytes[At]} << 24 | std::uint32_t{Bytes[At + 1]} << 16 | std::uint32_t{Bytes[At + 2]} << 8 |
           Bytes[At + 3];
}

void WriteU32(TBytes& Bytes, std::size_t At, std::uint32_t Value)
{
    for (std::size_t k = 0; k < 4; ++k)
        Bytes[At + k] = static_cast<std::uint8_t>(Value >> (24 - 8 * k));
}

// The font moved to Base: its directory's offsets grow by Base.
TBytes Relocated(TBytes Font, std::uint32_t Base)
{
    const std::size_t Count = std::size_t{Font[4]} << 8 | Font[5];
    for (std::size_t i = 0; i < Count && 12 + 16 * i + 16 <= Font.size(); ++i)
        WriteU32(Font, 12 + 16 * i + 8, ReadU32(Font, 12 + 16 * i + 8) + Base);
    return Font;
}

}  // namespace

TBytes CollectionFile(const std::vector<TBytes>& Fonts, std::uint32_t Version, std::size_t SharedCopies)
{
    const std::size_t NumFonts = Fonts.size() + SharedCopies;
    std::uint32_t Offset = static_cast<std::uint32_t>(12 + 4 * NumFonts + (Version == 0x00020000 ? 12 : 0));
    TByteWriter Header;
    Header.Tag("ttcf").U32(Version).U32(static_cast<std::uint32_t>(NumFonts));
    TByteWriter Body;
    TBytes FirstDirectory;
    for (const TBytes& Font : Fonts) {
        Header.U32(Offset);
        const TBytes Moved = Relocated(Font, Offset);
        if (FirstDirectory.empty()) {
            const std::size_t Count = std::size_t{Font[4]} << 8 | Font[5];
            FirstDirectory.assign(Moved.begin(), Moved.begin() + static_cast<std::ptrdiff_t>(12 + 16 * Count));
        }
        Body.Raw(Moved).Zeros((4 - Moved.size() % 4) % 4);
        Offset += static_cast<std::uint32_t>((Moved.size() + 3) & ~std::size_t{3});
    }
    for (std::size_t i = 0; i < SharedCopies; ++i) {
        Header.U32(Offset);
        Body.Raw(FirstDirectory);
        Offset += static_cast<std::uint32_t>(FirstDirectory.size());
    }
    if (Version == 0x00020000)
        Header.U32(0).U32(0).U32(0);
    return Header.Raw(Body.Bytes());
}

}  // namespace testing_support
