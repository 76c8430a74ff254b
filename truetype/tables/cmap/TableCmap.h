// The character to glyph mapping table: one subtable per platform and
// encoding, each read into flat mappings.
#pragma once

#include <cstddef>
#include <cstdint>

#include "truetype/sfnt/TableBase.h"
#include "truetype/tables/cmap/UnitCmapMappingTable.h"

namespace truetype {

class TTableCmap final : public TFontTable {
public:
    explicit TTableCmap(std::string_view Tag) : TFontTable(Tag, "TTableCmap", "cmap") {}

    // A file of a few kilobytes can point thousands of records at one large
    // subtable. The records after those that have read this many entries
    // (mappings, format 2 subheaders, format 4 segments) are skipped.
    static constexpr std::size_t MaxEntriesRead = std::size_t{1} << 21;

    // The table's version word, read and written unchanged.
    std::uint16_t Version = 0;

    std::size_t EncodingCount() const { return FMappingTable.EncodingCount(); }
    TCmapEncodingTableEntry& Encodings(std::ptrdiff_t Index) const { return FMappingTable.Encodings(Index); }
    TCmapMappingTable& MappingTable() { return FMappingTable; }
    void Clear() { FMappingTable.Clear(); }

    void LoadFromStream(TStream& Stream) override;
    // Places each subtable at the end of the stream: nothing may follow the
    // table while it is written.
    void SaveToStream(TStream& Stream) override;
    // Deletes, with a warning each, every mapping to a glyph index not below
    // NumGlyphs. Answers whether any went.
    bool RemoveIllegalMappings(std::uint16_t NumGlyphs) { return FMappingTable.RemoveIllegalMappings(NumGlyphs); }

private:
    TCmapMappingTable FMappingTable;
};

}  // namespace truetype
