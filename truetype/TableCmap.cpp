#include "TableCmap.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "UnitWarningCollector.h"

namespace truetype {

namespace {

// A read-only view of a stream that keeps every 4 KiB page it has fetched.
// The records and segments of a hostile cmap can send a million small reads
// back and forth across the file; each page is then transferred once,
// whatever the buffering of the stream underneath (a file stream refills its
// whole window on every jump out of it). Holds at most the file's size.
class TPageCache final : public TStream {
public:
    explicit TPageCache(TStream& Source) : FSource(Source), FSize(Source.Size()), FPosition(Source.Position()) {}

    std::size_t Read(void* Buffer, std::size_t Count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Size() const override { return FSize; }
    std::int64_t Position() const override { return FPosition; }
    void SetPosition(std::int64_t Position) override { FPosition = std::max<std::int64_t>(0, Position); }

private:
    static constexpr std::int64_t PageSize = 4096;
    using TPage = std::vector<std::uint8_t>;

    const TPage& Page(std::int64_t Number);

    TStream& FSource;
    const std::int64_t FSize;
    std::int64_t FPosition;
    std::unordered_map<std::int64_t, TPage> FPages;
};

const TPageCache::TPage& TPageCache::Page(std::int64_t Number)
{
    auto [At, Added] = FPages.try_emplace(Number);
    if (Added) {
        const std::int64_t Start = Number * PageSize;
        At->second.resize(static_cast<std::size_t>(std::min(PageSize, FSize - Start)));
        FSource.SetPosition(Start);
        At->second.resize(FSource.Read(At->second.data(), At->second.size()));
    }
    return At->second;
}

std::size_t TPageCache::Read(void* Buffer, std::size_t Count)
{
    auto* Out = static_cast<std::uint8_t*>(Buffer);
    std::size_t Done = 0;
    while (Done < Count && FPosition < FSize) {
        const TPage& Bytes = Page(FPosition / PageSize);
        const auto Offset = static_cast<std::size_t>(FPosition % PageSize);
        if (Offset >= Bytes.size())
            break;
        const std::size_t N = std::min(Count - Done, Bytes.size() - Offset);
        std::memcpy(Out + Done, Bytes.data() + Offset, N);
        Done += N;
        FPosition += static_cast<std::int64_t>(N);
    }
    return Done;
}

}  // namespace

void TTableCmap::LoadFromStream(TStream& Source)
{
    Clear();
    TPageCache Stream(Source);
    const std::int64_t Start = Stream.Position();
    Version = ReadUShort(Stream);
    const std::uint16_t NumTables = ReadUShort(Stream);

    // All records in one read; those past the end of the stream read as zeros.
    std::vector<std::uint8_t> Bytes(8 * std::size_t{NumTables}, 0);
    Stream.Read(Bytes.data(), Bytes.size());
    TSpanStream Records(Bytes.data(), Bytes.size());

    std::size_t EntriesRead = 0;
    for (std::uint16_t i = 0; i < NumTables; ++i) {
        if (EntriesRead >= MaxEntriesRead) {
            TWarningCollector::AddFmt("[ignored] %d of %d cmap encoding records were not read: the records before "
                                      "them already read %d mappings, segments and subheaders",
                                      {NumTables - i, NumTables, EntriesRead});
            break;
        }
        const std::uint16_t PlatformID = ReadUShort(Records);
        const std::uint16_t EncodingID = ReadUShort(Records);
        const std::uint32_t Offset = ReadULong(Records);
        Stream.SetPosition(Start + Offset);
        if (TCmapEncodingSubTable* SubTable = FMappingTable.AddEncoding(PlatformID, EncodingID)) {
            SubTable->LoadFromStream(Stream);
            EntriesRead += SubTable->EntriesRead();
        }
    }
    Source.SetPosition(Stream.Position());
}

void TTableCmap::SaveToStream(TStream& Stream)
{
    const std::int64_t Start = Stream.Position();
    const std::size_t Count = EncodingCount();
    if (Count > 0xFFFF)
        RaiseFontErrorFmt("A cmap table of %d encodings does not fit its 16-bit count", {Count});
    WriteUShort(Stream, Version);
    WriteUShort(Stream, static_cast<std::uint16_t>(Count));
    std::int64_t Offset = 4 + 8 * static_cast<std::int64_t>(Count);
    for (std::size_t i = 0; i < Count; ++i) {
        TCmapEncodingTableEntry& Entry = Encodings(static_cast<std::ptrdiff_t>(i));
        Stream.SetPosition(Start + 4 + 8 * static_cast<std::int64_t>(i));
        WriteUShort(Stream, Entry.PlatformID);
        WriteUShort(Stream, Entry.PlatformSpecificEncodingID);
        WriteULong(Stream, static_cast<std::uint32_t>(Offset));
        Stream.SetPosition(Start + Offset);
        Entry.SubTable.SaveToStream(Stream);
        Offset = Stream.Size() - Start;
    }
}

}  // namespace truetype
