#include "truetype/tables/TableHmtx.h"

#include <algorithm>

#include "base/BigEndianView.h"


namespace truetype {

void TTableHmtx::LoadFromStream(TStream& Stream)
{
    Clear();
    if (NumberOfHMetrics == 0 && NumGlyphs > 0)
        RaiseFontError("hmtx numberOfHMetrics is zero while numGlyphs>0 !!");
    if (NumGlyphs == 0)
        return;

    // One read for the whole table, as far as the stream holds it; what lies
    // past its end reads as zeros, as the primitives would deliver it.
    const std::size_t Long = std::min(NumberOfHMetrics, NumGlyphs);
    const base::TBigEndianBlock Block(Stream, 4 * Long + 2 * (NumGlyphs - Long));
    const base::TBigEndianView& Bytes = Block.View();

    // Glyphs past the long entries repeat the last long advance width. The
    // entries wholly past the end of the stream all hold that width and a
    // zero bearing (a long entry there has width 0, and then so has the last
    // one), so they are kept as one.
    const std::uint16_t LastAdvance = Bytes.UShort(4 * (Long - 1));
    // The entries whose first byte the block holds.
    const std::size_t Size = Bytes.Size();
    const std::size_t Backed = Size <= 4 * Long ? (Size + 3) / 4
                                                : std::min<std::size_t>(NumGlyphs, Long + (Size - 4 * Long + 1) / 2);
    const std::size_t BackedLong = std::min(Backed, Long);
    FMetrics.Reserve(Backed);
    FMetrics.AddRun(BackedLong, [&Bytes](std::size_t i) {
        return THmtxMetrics{Bytes.UShort(4 * i), Bytes.Short(4 * i + 2)};
    });
    FMetrics.AddRun(Backed - BackedLong, [&Bytes, LastAdvance, Long](std::size_t k) {
        return THmtxMetrics{LastAdvance, Bytes.Short(4 * Long + 2 * k)};
    });
    FMetrics.SetTail({LastAdvance, 0}, NumGlyphs - Backed);
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
