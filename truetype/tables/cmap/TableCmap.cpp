#include "truetype/tables/cmap/TableCmap.h"

#include <algorithm>
#include <vector>

#include "base/BigEndianView.h"
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

    // All records in one read, as far as the stream holds them. The records
    // wholly past its end read as platform 0, encoding 0, offset 0: the first
    // of them is read like any other, and each further one only names that
    // encoding again.
    const base::TBigEndianBlock Block(Stream, 8 * std::size_t{NumTables});
    const base::TBigEndianView& Records = Block.View();
    const std::size_t FirstRepeat = (Block.Size() + 7) / 8 + 1;

    std::size_t EntriesRead = 0;
    for (std::uint16_t i = 0; i < NumTables; ++i) {
        if (EntriesRead >= MaxEntriesRead) {
            TWarningCollector::AddFmt("[ignored] %d of %d cmap encoding records were not read: the records before "
                                      "them already read %d mappings, segments and subheaders",
                                      {NumTables - i, NumTables, EntriesRead});
            break;
        }
        if (i >= FirstRepeat) {
            TCmapMappingTable::WarnRepeatedEncoding(0, 0, NumTables - i);
            break;
        }
        const std::uint16_t PlatformID = Records.UShort(8 * std::size_t{i});
        const std::uint16_t EncodingID = Records.UShort(8 * std::size_t{i} + 2);
        const std::uint32_t Offset = Records.ULong(8 * std::size_t{i} + 4);
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
