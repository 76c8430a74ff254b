#include "truetype/tables/cmap/UnitCmapEncodingSubTable.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "base/BigEndianView.h"
#include "truetype/sfnt/UnitWarningCollector.h"

namespace truetype {

namespace {

constexpr std::string_view RepeatedCharacter =
    "Format 4 - Can't map character %d to index %d because character is already mapped.";
constexpr std::string_view IllegalMapping =
    "[fixed] TCmapEncodingSubTable with FSubTableFormat %d has illegal mapping from glyph index %d to character %d.";

// Count bytes from the stream's position in one read, as many as the stream
// holds, taken as 16-bit words.
class TWords {
public:
    TWords(TStream& Stream, std::size_t Count) : FBlock(Stream, Count) {}
    std::uint8_t Byte(std::size_t Index) const { return FBlock.View().Byte(Index); }
    std::uint16_t Word(std::size_t Index) const { return FBlock.View().UShort(2 * Index); }

private:
    base::TBigEndianBlock FBlock;
};

// The warnings of one kind that a loop may repeat without limit: formatted
// while the collector still keeps them, afterwards only counted, so that a
// hostile table does not pay for billions of lines nobody keeps.
class TRepeatedWarning {
public:
    explicit TRepeatedWarning(std::string_view Format)
        : FFormat(Format), FKeeps(!TWarningCollector::IsFull(Format)) {}

    bool Keeps() const { return FKeeps; }
    void Add(std::initializer_list<TFormatArg> Args)
    {
        TWarningCollector::AddFmt(FFormat, Args);
        FKeeps = !TWarningCollector::IsFull(FFormat);
    }
    void Drop(std::uint64_t Count) { FDropped += Count; }
    // Hands the count of dropped warnings to the collector.
    void Flush()
    {
        if (FDropped != 0)
            TWarningCollector::AddDropped(FFormat, FDropped);
        FDropped = 0;
    }

private:
    std::string_view FFormat;
    bool FKeeps;
    std::uint64_t FDropped = 0;
};

}  // namespace

void TCmapEncodingSubTable::Clear()
{
    Mappings.Clear();
    FEntriesRead = 0;
    FStructuresRead = 0;
}

void TCmapEncodingSubTable::LoadFromStream(TStream& Stream)
{
    Clear();
    FSubTableFormat = ReadUShort(Stream);
    const std::uint16_t Length = ReadUShort(Stream);
    Version = ReadUShort(Stream);
    switch (FSubTableFormat) {
    case 0:
        LoadFormat0(Stream, Length);
        break;
    case 2:
        TWarningCollector::Add("TCmapEncodingSubTable.LoadFormat2 is not supported for saving.");
        LoadFormat2(Stream, Length);
        RelabelAsFormat4();
        break;
    case 4:
        LoadFormat4(Stream);
        break;
    case 6:
        TWarningCollector::Add("TCmapEncodingSubTable.LoadFormat6 is not supported for saving.");
        LoadFormat6(Stream, Length);
        RelabelAsFormat4();
        break;
    default:
        TWarningCollector::AddFmt("Unsupported cmap encoding format: Format %d Length %d Version %d",
                                  {FSubTableFormat, Length, Version});
        break;
    }
    FEntriesRead = FStructuresRead + Mappings.Count();
}

void TCmapEncodingSubTable::RelabelAsFormat4()
{
    // Formats 2 and 6 are only read; writing them back produces format 4.
    FSubTableFormat = 4;
    Version = 0;
}

void TCmapEncodingSubTable::LoadFormat0(TStream& Stream, std::uint16_t Length)
{
    if (Length == 0)
        return;
    if (Length != 262)
        RaiseFontErrorFmt("Length Cmap Format 0 Expecting 262 bytes instead of %d bytes", {Length});
    const TWords Glyphs(Stream, 256);
    Mappings.Reserve(256);
    for (std::uint16_t Code = 0; Code < 256; ++Code)
        AddMapping(Code, Glyphs.Byte(Code));
}

void TCmapEncodingSubTable::LoadFormat2(TStream& Stream, std::uint16_t Length)
{
    if (Length < 512)
        return;
    const TWords Keys(Stream, 512);
    const std::int64_t SubHeaders = Stream.Position();
    bool KeyZeroSeen = false;
    for (std::uint32_t High = 0; High < 256; ++High) {
        const std::uint16_t Key = Keys.Word(High);
        // Key 0 is the single-byte codes' subheader; later high bytes that
        // name it are not lead bytes.
        if (Key == 0) {
            if (KeyZeroSeen)
                continue;
            KeyZeroSeen = true;
        }
        Stream.SetPosition(SubHeaders + Key);
        const TWords Header(Stream, 8);
        ++FStructuresRead;
        const std::uint16_t FirstCode = Header.Word(0);
        const std::uint16_t EntryCount = Header.Word(1);
        const std::uint16_t IdDelta = Header.Word(2);
        const std::uint16_t IdRangeOffset = Header.Word(3);
        if (EntryCount == 0)
            continue;
        // A low byte ends at 255: entries past it would only alias the codes
        // of the next high bytes (up to 16.7 million mappings from 2.5 KB).
        const std::uint32_t InRange = FirstCode > 255 ? 0 : std::min<std::uint32_t>(EntryCount, 256 - FirstCode);
        Stream.SetPosition(SubHeaders + Key + 6 + IdRangeOffset);
        const TWords Glyphs(Stream, 2 * std::size_t{InRange});
        for (std::uint32_t j = 0; j < InRange; ++j) {
            const std::uint16_t Stored = Glyphs.Word(j);
            const auto Glyph = static_cast<std::uint16_t>(Stored == 0 ? 0 : Stored + IdDelta);
            AddMapping(static_cast<std::uint16_t>(High * 256 + FirstCode + j), Glyph);
        }
    }
}

void TCmapEncodingSubTable::LoadFormat4(TStream& Stream)
{
    const std::int64_t Body = Stream.Position();
    const std::size_t SegCount = ReadUShort(Stream) / 2;
    if (SegCount == 0)
        RaiseFontError("Cmap Format 4 NumberOfSegments=0 !");
    // The last segment is taken to be the 0xFFFF terminator and never read.
    if (SegCount == 1)
        return;

    // endCode, reservedPad, startCode, idDelta and idRangeOffset in one read.
    Stream.SetPosition(Body + 8);
    const TWords Words(Stream, 2 * (4 * SegCount + 1));
    const std::uint16_t ReservedPad = Words.Word(SegCount);
    if (ReservedPad != 0)
        TWarningCollector::AddFmt("[cmap encoding format 4] ReservedPad in cmap should be 0 but is %d", {ReservedPad});

    // The codes mapped so far: the reader's own, so that it can pass over
    // runs of them in bulk, and so that no subtable keeps 8 KiB after its load.
    auto Mapped = std::make_unique<TCodeSet>();
    // Room for the mappings at once: the segments' codes, each code once.
    std::size_t Codes = 0;
    for (std::size_t i = 0; i + 1 < SegCount; ++i)
        Codes += std::size_t{1} + Words.Word(i) - std::min(Words.Word(i), Words.Word(SegCount + 1 + i));
    Mappings.Reserve(std::min<std::size_t>(Codes, 0x10000));
    TRepeatedWarning Repeated(RepeatedCharacter);
    for (std::size_t i = 0; i + 1 < SegCount; ++i) {
        ++FStructuresRead;
        const std::uint16_t EndCode = Words.Word(i);
        const std::uint16_t StartCode = Words.Word(SegCount + 1 + i);
        const std::uint16_t IdDelta = Words.Word(2 * SegCount + 1 + i);
        const std::uint16_t IdRangeOffset = Words.Word(3 * SegCount + 1 + i);
        if (EndCode < StartCode)
            continue;
        const auto RangeOffsetField = Body + 10 + static_cast<std::int64_t>(6 * SegCount + 2 * i);
        auto GlyphOf = [&](std::uint32_t Code) {
            if (IdRangeOffset == 0)
                return static_cast<std::uint16_t>(Code + IdDelta);
            Stream.SetPosition(RangeOffsetField + IdRangeOffset + 2 * (Code - StartCode));
            const std::uint16_t Stored = ReadUShort(Stream);
            return static_cast<std::uint16_t>(Stored == 0 ? 0 : Stored + IdDelta);
        };

        std::uint32_t Code = StartCode;
        while (Code <= EndCode) {
            const auto Character = static_cast<std::uint16_t>(Code);
            if (!Mapped->Contains(Character)) {
                // The run of codes not mapped yet, mapped in one go: the same
                // mappings as one code at a time, with one read of glyph ids.
                const std::uint32_t RunEnd = Mapped->FirstPresent(Code, EndCode);
                Mapped->InsertRange(Code, RunEnd - 1);
                AddRun(Stream, Code, RunEnd - Code, IdDelta,
                       IdRangeOffset == 0 ? -1 : RangeOffsetField + IdRangeOffset + 2 * (Code - StartCode));
                Code = RunEnd;
            } else if (Repeated.Keeps()) {
                Repeated.Add({Code, GlyphOf(Code)});
                ++Code;
            } else {
                // Overlapping segments each as wide as the code range would
                // otherwise cost billions of steps for warnings nobody keeps.
                const std::uint32_t Next = Mapped->FirstAbsent(Code, EndCode);
                Repeated.Drop(Next - Code);
                Code = Next;
            }
        }
    }
    Repeated.Flush();
}

void TCmapEncodingSubTable::AddRun(TStream& Stream, std::uint32_t First, std::uint32_t Count, std::uint16_t IdDelta,
                                   std::int64_t GlyphIds)
{
    if (GlyphIds < 0) {
        Mappings.AddRun(Count, [&](std::size_t k) {
            return TCharacterToGlyphIndexMapping{static_cast<std::uint16_t>(First + k),
                                                 static_cast<std::uint16_t>(First + k + IdDelta)};
        });
        return;
    }
    Stream.SetPosition(GlyphIds);
    const TWords Glyphs(Stream, 2 * std::size_t{Count});
    Mappings.AddRun(Count, [&](std::size_t k) {
        const std::uint16_t Stored = Glyphs.Word(k);
        return TCharacterToGlyphIndexMapping{static_cast<std::uint16_t>(First + k),
                                             static_cast<std::uint16_t>(Stored == 0 ? 0 : Stored + IdDelta)};
    });
}

void TCmapEncodingSubTable::LoadFormat6(TStream& Stream, std::uint16_t Length)
{
    if (Length == 0)
        return;
    const std::uint16_t FirstCode = ReadUShort(Stream);
    const std::uint16_t EntryCount = ReadUShort(Stream);
    const TWords Glyphs(Stream, 2 * std::size_t{EntryCount});
    Mappings.Reserve(EntryCount);
    for (std::uint32_t j = 0; j < EntryCount; ++j)
        AddMapping(static_cast<std::uint16_t>(FirstCode + j), Glyphs.Word(j));
}

bool TCmapEncodingSubTable::RemoveIllegalMappings(std::uint16_t NumGlyphs)
{
    auto IsIllegal = [NumGlyphs](const TCharacterToGlyphIndexMapping& Mapping) {
        return Mapping.GlyphIndex >= NumGlyphs;
    };
    // Most fonts have none: one pass finds that out.
    if (std::none_of(Mappings.begin(), Mappings.end(), IsIllegal))
        return false;
    // The warnings name the mappings last to first; the removal itself is one
    // pass, so that a table of millions of bad mappings stays linear.
    TRepeatedWarning Illegal(IllegalMapping);
    for (auto At = Mappings.end(); At != Mappings.begin();) {
        const TCharacterToGlyphIndexMapping& Mapping = *--At;
        if (!IsIllegal(Mapping))
            continue;
        if (Illegal.Keeps())
            Illegal.Add({FSubTableFormat, Mapping.GlyphIndex, Mapping.CharacterCode});
        else
            Illegal.Drop(1);
    }
    Illegal.Flush();
    return Mappings.RemoveIf(IsIllegal) != 0;
}

void TCmapEncodingSubTable::SaveToStream(TStream& Stream)
{
    Mappings.SortByCharacterCode();
    const std::int64_t Start = Stream.Position();
    WriteUShort(Stream, FSubTableFormat);
    WriteUShort(Stream, 0);
    WriteUShort(Stream, Version);
    switch (FSubTableFormat) {
    case 0:
        SaveFormat0(Stream);
        break;
    case 4:
        SaveFormat4(Stream);
        break;
    case 2:
        RaiseFontError("Unsupported cmap encoding format 2 [High-byte mapping through table]");
    case 6:
        RaiseFontError("Saving Unsupported cmap encoding Format 6: Trimmed table mapping ");
    default:
        RaiseFontErrorFmt("Unsupported cmap encoding format: Format %d Version %d", {FSubTableFormat, Version});
    }
    // A length cut to 16 bits would make the saved table unreadable.
    const std::int64_t Length = Stream.Size() - Start;
    if (Length > 0xFFFF)
        RaiseFontErrorFmt("Cmap format %d subtable of %d bytes does not fit its 16-bit length", {FSubTableFormat, Length});
    Stream.SetPosition(Start + 2);
    WriteUShort(Stream, static_cast<std::uint16_t>(Length));
    Stream.SetPosition(Stream.Size());
}

void TCmapEncodingSubTable::SaveFormat0(TStream& Stream) const
{
    std::array<std::uint8_t, 256> Glyphs{};
    for (const TCharacterToGlyphIndexMapping& Mapping : Mappings)
        if (Mapping.CharacterCode <= 255 && Mapping.GlyphIndex <= 255)
            Glyphs[Mapping.CharacterCode] = static_cast<std::uint8_t>(Mapping.GlyphIndex);
    Stream.WriteBuffer(Glyphs.data(), Glyphs.size());
}

bool TCmapEncodingSubTable::FindNextSegment(std::size_t& Position, TCmapSegment& Segment) const
{
    const std::size_t Count = Mappings.Count();
    const std::size_t First = Position;
    if (First >= Count) {
        Segment = TCmapSegment{};
        Position = 0;
        return false;
    }
    auto Code = [&](std::size_t k) -> std::int64_t { return Mappings.Items(static_cast<std::ptrdiff_t>(k)).CharacterCode; };
    auto Glyph = [&](std::size_t k) -> std::int64_t { return Mappings.Items(static_cast<std::ptrdiff_t>(k)).GlyphIndex; };
    auto Offset = [](std::size_t k, std::size_t From) { return static_cast<std::int64_t>(k - From); };
    // The last index of the run from From in which codes and glyphs both rise by one.
    auto DeltaRunEnd = [&](std::size_t From) {
        std::size_t Last = From;
        while (Last + 1 < Count && Code(Last + 1) - Code(From) == Offset(Last + 1, From) &&
               Glyph(Last + 1) - Glyph(From) == Offset(Last + 1, From))
            ++Last;
        return Last;
    };

    std::size_t Last = DeltaRunEnd(First);
    const bool CodesGoOn = Last + 1 < Count && Code(Last + 1) - Code(First) == Offset(Last + 1, First);
    Segment.IsDelta = Last - First >= 3 || (Last + 1 < Count && !CodesGoOn);
    if (!Segment.IsDelta) {
        // An array segment runs as long as the codes rise by one, but gives
        // way to a delta run of at least 9 mappings inside it, which then
        // starts the next segment. Walking the delta runs one after another
        // finds the same end as measuring the whole code run first.
        std::size_t From = First;
        for (;;) {
            const std::size_t RunEnd = DeltaRunEnd(From);
            if (From > First && RunEnd - From + 1 >= 9) {
                Last = From - 1;
                break;
            }
            if (RunEnd + 1 < Count && Code(RunEnd + 1) == Code(RunEnd) + 1) {
                From = RunEnd + 1;
                continue;
            }
            Last = RunEnd;
            break;
        }
    }
    Segment.StartCode = static_cast<std::uint16_t>(Code(First));
    Segment.EndCode = static_cast<std::uint16_t>(Code(Last));
    Position = Last + 1;
    return true;
}

void TCmapEncodingSubTable::SaveFormat4(TStream& Stream) const
{
    std::size_t Position = 0;
    TCmapSegment Segment;
    std::size_t SegCount = 0;
    do {
        FindNextSegment(Position, Segment);
        ++SegCount;
    } while (Segment.StartCode != 0xFFFF);

    std::vector<std::uint16_t> EndCodes, StartCodes, IdDeltas, IdRangeOffsets, GlyphIds;
    Position = 0;
    for (std::size_t i = 0; i < SegCount; ++i) {
        const std::size_t First = Position;
        FindNextSegment(Position, Segment);
        EndCodes.push_back(Segment.EndCode);
        StartCodes.push_back(Segment.StartCode);
        if (Segment.IsDelta) {
            const bool IsLast = i + 1 == SegCount;
            IdDeltas.push_back(static_cast<std::uint16_t>(
                IsLast ? 1 : Mappings.Items(static_cast<std::ptrdiff_t>(First)).GlyphIndex - Segment.StartCode));
            IdRangeOffsets.push_back(0);
        } else {
            IdDeltas.push_back(0);
            IdRangeOffsets.push_back(static_cast<std::uint16_t>(2 * (SegCount - i + GlyphIds.size())));
            for (std::size_t k = 0; k <= std::size_t{Segment.EndCode} - Segment.StartCode; ++k)
                GlyphIds.push_back(Mappings.Items(static_cast<std::ptrdiff_t>(First + k)).GlyphIndex);
        }
    }

    const TSearchValues Search = CalcSearchValues(static_cast<std::uint16_t>(SegCount), 2);
    WriteUShort(Stream, static_cast<std::uint16_t>(2 * SegCount));
    WriteUShort(Stream, Search.SearchRange);
    WriteUShort(Stream, Search.EntrySelector);
    WriteUShort(Stream, Search.RangeShift);
    for (const std::uint16_t Code : EndCodes)
        WriteUShort(Stream, Code);
    WriteUShort(Stream, 0);  // reservedPad
    for (const auto* Array : {&StartCodes, &IdDeltas, &IdRangeOffsets, &GlyphIds})
        for (const std::uint16_t Word : *Array)
            WriteUShort(Stream, Word);
}

}  // namespace truetype
