#include "truetype/tables/cmap/TableCmap.h"

#include <algorithm>
#include <vector>

#include "base/PageCacheStream.h"
#include "truetype/sfnt/UnitWarningCollector.h"

namespace truetype {

void TTableCmap::LoadFromStream(TStream& Source)
{
    Clear();
    // Subtables and their arrays lie anywhere in the file.
    base::TPageCacheStream Stream(Source);
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
