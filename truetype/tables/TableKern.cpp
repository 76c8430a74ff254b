#include "truetype/tables/TableKern.h"

#include <algorithm>
#include <unordered_set>

#include "base/BigEndianView.h"
#include "base/ListError.h"
#include "truetype/sfnt/UnitWarningCollector.h"

namespace truetype {

namespace {

constexpr std::int64_t SubtableHeaderSize = 6;
constexpr std::size_t PairSize = 6;

// The position of the first pair that repeats an earlier one, or Count when
// none does. Pairs in ascending order, as the format asks for, repeat none;
// others are sorted with their positions, which finds it in n log n steps
// where asking each pair of those before it would take the square.
std::size_t FirstRepeatedPair(const base::TBigEndianView& Pairs, std::size_t Count)
{
    std::size_t Ascending = 1;
    while (Ascending < Count && Pairs.ULong(PairSize * (Ascending - 1)) < Pairs.ULong(PairSize * Ascending))
        ++Ascending;
    if (Ascending >= Count)
        return Count;
    std::vector<std::uint64_t> Keyed(Count);
    for (std::size_t i = 0; i < Count; ++i)
        Keyed[i] = std::uint64_t{Pairs.ULong(PairSize * i)} << 32 | i;
    std::sort(Keyed.begin(), Keyed.end());
    std::size_t First = Count;
    for (std::size_t i = 1; i < Count; ++i)
        if (Keyed[i] >> 32 == Keyed[i - 1] >> 32)
            First = std::min<std::size_t>(First, Keyed[i] & 0xFFFFFFFF);
    return First;
}

}  // namespace

const TKerningPair& TTableKern::Items(std::ptrdiff_t Index) const { return base::ListItem(FPairs, Index); }

std::ptrdiff_t TTableKern::IndexOfPair(std::uint16_t Left, std::uint16_t Right) const
{
    const auto Found = std::find_if(FPairs.begin(), FPairs.end(),
                                    [&](const TKerningPair& P) { return P.Left == Left && P.Right == Right; });
    return Found == FPairs.end() ? -1 : Found - FPairs.begin();
}

void TTableKern::LoadFromStream(TStream& Stream)
{
    Clear();
    const std::int64_t Start = Stream.Position();
    Version = ReadUShort(Stream);
    const std::uint16_t SubtableCount = ReadUShort(Stream);
    std::int64_t Offset = Start + 4;
    bool Format0Loaded = false;
    for (std::uint16_t i = 0; i < SubtableCount; ++i) {
        // Subtables past the end of the file read as empty format 0 ones,
        // which change nothing once one has been loaded.
        if (Format0Loaded && Offset >= Stream.Size())
            break;
        Stream.SetPosition(Offset);
        const std::uint16_t SubtableVersion = ReadUShort(Stream);
        const std::uint16_t Length = ReadUShort(Stream);
        const std::uint16_t Coverage = ReadUShort(Stream);
        const int Format = Coverage >> 8;
        if (Format == 0 && SubtableVersion == 0) {
            if (!Format0Loaded)
                LoadFormat0(Stream);
            Format0Loaded = true;
        } else if (Format == 0) {
            TWarningCollector::AddFmt("Unsupported Kern SubtableVersion: FormatType %d SubtableVersion %d.",
                                      {Format, SubtableVersion});
        } else if (Format == 2) {
            TWarningCollector::AddFmt("Unsupported Kern FormatType %d Version %d.", {Format, SubtableVersion});
        } else {
            TWarningCollector::AddFmt("Unknown Kern FormatType %d Version %d.", {Format, SubtableVersion});
        }
        // The next subtable follows this one's length; a length shorter than
        // the header would put the next header inside this one.
        Offset += std::max<std::int64_t>(Length, SubtableHeaderSize);
    }
}

void TTableKern::LoadFormat0(TStream& Stream)
{
    const std::uint16_t Count = ReadUShort(Stream);
    for (int i = 0; i < 3; ++i)
        ReadUShort(Stream);  // search range, entry selector, range shift
    if (Count == 0)
        return;
    if (Count > MaxPairs) {
        TWarningCollector::AddFmt("Corrupted kern table. Too many kerning pairs %d while %d is the maximum.",
                                  {Count, MaxPairs});
        return;
    }
    // Pairs the file does not hold read as zeros: the second of them repeats
    // the first.
    const base::TBigEndianBlock Block(Stream, PairSize * Count);
    const base::TBigEndianView& Pairs = Block.View();
    std::size_t Kept = FirstRepeatedPair(Pairs, Count);
    if (!FPairs.empty()) {
        // Pairs loaded before (a second subtable read into this table) count
        // as loaded too.
        std::unordered_set<std::uint32_t> Loaded;
        for (const TKerningPair& Pair : FPairs)
            Loaded.insert(std::uint32_t{Pair.Left} << 16 | Pair.Right);
        for (std::size_t i = 0; i < Kept; ++i)
            if (Loaded.contains(Pairs.ULong(PairSize * i))) {
                Kept = i;
                break;
            }
    }
    FPairs.reserve(Kept);
    for (std::size_t i = 0; i < Kept; ++i)
        FPairs.push_back({Pairs.UShort(PairSize * i), Pairs.UShort(PairSize * i + 2), Pairs.Short(PairSize * i + 4)});
    if (Kept < Count)
        TWarningCollector::Add("kern table has same kerning pair twice (or more).");
}

void TTableKern::SaveToStream(TStream& Stream)
{
    // The subtable's 16-bit length runs out before its pair count does.
    if (FPairs.size() > MaxPairs)
        RaiseFontErrorFmt("A kern table of %d pairs does not fit its 16-bit subtable length", {FPairs.size()});
    WriteUShort(Stream, Version);
    if (FPairs.empty()) {
        WriteUShort(Stream, 0);
        return;
    }
    WriteUShort(Stream, 1);
    WriteUShort(Stream, 0);  // subtable version
    WriteUShort(Stream, static_cast<std::uint16_t>(14 + PairSize * FPairs.size()));
    WriteUShort(Stream, 1);  // horizontal kerning, format 0
    SaveFormat0(Stream);
}

void TTableKern::SaveFormat0(TStream& Stream) const
{
    const auto Count = static_cast<std::uint16_t>(FPairs.size());
    WriteUShort(Stream, Count);
    const TSearchValues Search = CalcSearchValues(Count, PairSize);
    WriteUShort(Stream, Search.SearchRange);
    WriteUShort(Stream, Search.EntrySelector);
    WriteUShort(Stream, Search.RangeShift);
    for (const TKerningPair& Pair : FPairs) {
        WriteUShort(Stream, Pair.Left);
        WriteUShort(Stream, Pair.Right);
        WriteShort(Stream, Pair.Value);
    }
}

}  // namespace truetype
