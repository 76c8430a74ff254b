#include "tests/support/CmapBuilder.h"

namespace testing_support {

TBytes Format0SubTable(const std::vector<std::uint8_t>& Glyphs, std::uint16_t Length, std::uint16_t Language)
{
    TByteWriter W;
    W.U16(0).U16(Length).U16(Language);
    for (std::size_t Code = 0; Code < 256; ++Code)
        W.U8(Code < Glyphs.size() ? Glyphs[Code] : 0);
    return W;
}

TBytes Format2SubTable(const std::vector<std::uint16_t>& Keys, const std::vector<TFormat2SubHeader>& SubHeaders,
                       const std::vector<std::uint16_t>& GlyphIds)
{
    TByteWriter W;
    W.U16(2).U16(static_cast<std::uint16_t>(6 + 512 + 8 * SubHeaders.size() + 2 * GlyphIds.size())).U16(0);
    for (std::size_t High = 0; High < 256; ++High)
        W.U16(High < Keys.size() ? Keys[High] : 0);
    for (const TFormat2SubHeader& H : SubHeaders)
        W.U16(H.FirstCode).U16(H.EntryCount).S16(H.IdDelta).U16(H.IdRangeOffset);
    for (const std::uint16_t Glyph : GlyphIds)
        W.U16(Glyph);
    return W;
}

TBytes Format4SubTable(const std::vector<TFormat4Segment>& Segments, const std::vector<std::uint16_t>& GlyphIds,
                       std::uint16_t ReservedPad)
{
    const std::size_t SegCount = Segments.size();
    TByteWriter W;
    W.U16(4).U16(static_cast<std::uint16_t>(16 + 8 * SegCount + 2 * GlyphIds.size())).U16(0);
    W.U16(static_cast<std::uint16_t>(2 * SegCount)).U16(0).U16(0).U16(0);  // search values are not read
    for (const TFormat4Segment& S : Segments)
        W.U16(S.EndCode);
    W.U16(ReservedPad);
    for (const TFormat4Segment& S : Segments)
        W.U16(S.StartCode);
    for (const TFormat4Segment& S : Segments)
        W.S16(S.IdDelta);
    for (const TFormat4Segment& S : Segments)
        W.U16(S.IdRangeOffset);
    for (const std::uint16_t Glyph : GlyphIds)
        W.U16(Glyph);
    return W;
}

TFormat4Segment Format4Terminator() { return {0xFFFF, 0xFFFF, 1, 0}; }

TBytes Format6SubTable(std::uint16_t FirstCode, const std::vector<std::uint16_t>& GlyphIds, std::uint16_t Language)
{
    TByteWriter W;
    W.U16(6).U16(static_cast<std::uint16_t>(10 + 2 * GlyphIds.size())).U16(Language);
    W.U16(FirstCode).U16(static_cast<std::uint16_t>(GlyphIds.size()));
    for (const std::uint16_t Glyph : GlyphIds)
        W.U16(Glyph);
    return W;
}

TCmapBuilder& TCmapBuilder::Add(std::uint16_t PlatformID, std::uint16_t EncodingID, TBytes SubTable)
{
    FRecords.push_back({PlatformID, EncodingID, FSubTables.size()});
    FSubTables.push_back(std::move(SubTable));
    return *this;
}

TCmapBuilder& TCmapBuilder::Share(std::uint16_t PlatformID, std::uint16_t EncodingID, std::size_t Index)
{
    FRecords.push_back({PlatformID, EncodingID, FRecords.at(Index).SubTable});
    return *this;
}

TBytes TCmapBuilder::Build() const
{
    std::vector<std::uint32_t> Offsets;
    std::uint32_t Offset = static_cast<std::uint32_t>(4 + 8 * FRecords.size());
    for (const TBytes& SubTable : FSubTables) {
        Offsets.push_back(Offset);
        Offset += static_cast<std::uint32_t>(SubTable.size());
    }
    TByteWriter W;
    W.U16(FVersion).U16(static_cast<std::uint16_t>(FRecords.size()));
    for (const TRecord& R : FRecords)
        W.U16(R.PlatformID).U16(R.EncodingID).U32(Offsets[R.SubTable]);
    for (const TBytes& SubTable : FSubTables)
        W.Raw(SubTable);
    return W;
}

}  // namespace testing_support
