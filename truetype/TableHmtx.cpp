#include "TableHmtx.h"

#include <algorithm>

#include "runtime/ListError.h"

namespace truetype {

const THmtxMetrics& TTableHmtx::Items(std::ptrdiff_t Index) const { return ListItem(FMetrics, Index); }
THmtxMetrics& TTableHmtx::Items(std::ptrdiff_t Index) { return ListItem(FMetrics, Index); }

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
    auto Word = [&](std::size_t At) { return static_cast<std::uint16_t>((Bytes[At] << 8) | Bytes[At + 1]); };

    FMetrics.reserve(NumGlyphs);
    std::uint16_t Advance = 0;
    for (std::size_t i = 0; i < NumGlyphs; ++i) {
        THmtxMetrics Metrics;
        if (i < Long) {
            Advance = Word(4 * i);
            Metrics.LeftSideBearing = static_cast<std::int16_t>(Word(4 * i + 2));
        } else {
            Metrics.LeftSideBearing = static_cast<std::int16_t>(Word(4 * Long + 2 * (i - Long)));
        }
        Metrics.AdvanceWidth = Advance;
        FMetrics.push_back(Metrics);
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
