#include "truetype/tables/TableHmtx.h"

#include <algorithm>

#include "base/ListError.h"

namespace truetype {

const THmtxMetrics& TTableHmtx::Items(std::ptrdiff_t Index) const { return base::ListItem(FMetrics, Index); }
THmtxMetrics& TTableHmtx::Items(std::ptrdiff_t Index) { return base::ListItem(FMetrics, Index); }

void TTableHmtx::LoadFromStream(TStream& Stream)
{
    Clear();
    if (NumberOfHMetrics == 0 && NumGlyphs > 0)
        RaiseFontError("hmtx numberOfHMetrics is zero while numGlyphs>0 !!");
    if (NumGlyphs == 0)
        return;

    // One read for the whole table; what lies past the end of the stream
    // stays zero, as the primitives would deliver it.
    const std::size_t Long = std::min(NumberOfHMetrics, NumGlyphs);
    std::vector<std::uint8_t> Bytes(4 * Long + 2 * (NumGlyphs - Long), 0);
    Stream.Read(Bytes.data(), Bytes.size());
    const std::uint8_t* At = Bytes.data();
    auto Word = [&At] {
        const auto Value = static_cast<std::uint16_t>((At[0] << 8) | At[1]);
        At += 2;
        return Value;
    };

    // Glyphs past the long entries repeat the last long advance width.
    FMetrics.resize(NumGlyphs);
    for (std::size_t i = 0; i < Long; ++i) {
        FMetrics[i].AdvanceWidth = Word();
        FMetrics[i].LeftSideBearing = static_cast<std::int16_t>(Word());
    }
    const std::uint16_t LastAdvance = FMetrics[Long - 1].AdvanceWidth;
    for (std::size_t i = Long; i < NumGlyphs; ++i) {
        FMetrics[i].AdvanceWidth = LastAdvance;
        FMetrics[i].LeftSideBearing = static_cast<std::int16_t>(Word());
    }
}

void TTableHmtx::CalcNumberOfHMetrics()
{
    if (!OptimizeHMetrics || NumGlyphs <= 1) {
        NumberOfHMetrics = NumGlyphs;
        return;
    }
    const std::uint16_t Last = Items(NumGlyphs - 1).AdvanceWidth;
    int k = NumGlyphs - 2;
    while (k > 0 && Items(k).AdvanceWidth == Last)
        --k;
    NumberOfHMetrics = static_cast<std::uint16_t>(k + 2);
}

void TTableHmtx::SaveToStream(TStream& Stream)
{
    const std::int64_t Start = Stream.Position();
    CalcNumberOfHMetrics();
    const std::int64_t Long = NumberOfHMetrics;
    for (std::int64_t i = 0; i < NumGlyphs; ++i) {
        const THmtxMetrics& Metrics = Items(i);
        if (i < Long) {
            Stream.SetPosition(Start + 4 * i);
            WriteUFWord(Stream, Metrics.AdvanceWidth);
        } else {
            Stream.SetPosition(Start + 4 * Long + 2 * (i - Long));
        }
        WriteFWord(Stream, Metrics.LeftSideBearing);
    }
}

}  // namespace truetype
