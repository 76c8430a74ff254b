#include "truetype/tables/TableGasp.h"

#include <algorithm>

#include "base/BigEndianView.h"
#include "base/ListError.h"

namespace truetype {

namespace {

bool LowerLimit(const TGaspRange& A, const TGaspRange& B) { return A.RangeMaxPPEM < B.RangeMaxPPEM; }

}  // namespace

void TTableGasp::AddRange(const TGaspRange& Range)
{
    FRanges.insert(std::upper_bound(FRanges.begin(), FRanges.end(), Range, LowerLimit), Range);
}

const TGaspRange& TTableGasp::Items(std::ptrdiff_t Index) const { return base::ListItem(FRanges, Index); }

void TTableGasp::LoadFromStream(TStream& Stream)
{
    Clear();
    Version = ReadUShort(Stream);
    const std::uint16_t Count = ReadUShort(Stream);
    // Ranges the file does not hold read as zeros, like any read past its end.
    const base::TBigEndianBlock Ranges(Stream, 4 * std::size_t{Count});
    FRanges.reserve(Count);
    for (std::size_t i = 0; i < Count; ++i)
        FRanges.push_back({Ranges.View().UShort(4 * i), Ranges.View().UShort(4 * i + 2)});
    // A stable sort leaves the list as inserting each range in turn would,
    // without the square of the count in moves for a descending table.
    std::stable_sort(FRanges.begin(), FRanges.end(), LowerLimit);
}

void TTableGasp::SaveToStream(TStream& Stream)
{
    WriteUShort(Stream, Version);
    WriteUShort(Stream, static_cast<std::uint16_t>(FRanges.size()));
    for (const TGaspRange& Range : FRanges) {
        WriteUShort(Stream, Range.RangeMaxPPEM);
        WriteUShort(Stream, Range.RangeGaspBehavior);
    }
}

}  // namespace truetype
