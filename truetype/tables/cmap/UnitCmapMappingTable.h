// The encodings of a cmap table, in the order of their records, each
// platform and encoding pair at most once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "truetype/tables/cmap/UnitCmapEncodingTableEntry.h"

namespace truetype {

class TCmapMappingTable {
public:
    TCmapMappingTable() = default;
    TCmapMappingTable(const TCmapMappingTable&) = delete;
    TCmapMappingTable& operator=(const TCmapMappingTable&) = delete;

    // Appends an entry and answers its subtable; answers none, with a
    // warning, when the pair already has one.
    TCmapEncodingSubTable* AddEncoding(std::uint16_t PlatformID, std::uint16_t PlatformSpecificEncodingID);
    // The warnings of Count further records that name a pair already present.
    static void WarnRepeatedEncoding(std::uint16_t PlatformID, std::uint16_t PlatformSpecificEncodingID,
                                     std::uint64_t Count);
    TCmapEncodingTableEntry* FindEncoding(std::uint16_t PlatformID, std::uint16_t PlatformSpecificEncodingID) const;
    std::size_t EncodingCount() const { return FEntries.size(); }
    TCmapEncodingTableEntry& Encodings(std::ptrdiff_t Index) const;
    void Clear();
    // Entries last to first; answers whether any mapping went.
    bool RemoveIllegalMappings(std::uint16_t NumGlyphs);

private:
    static std::uint32_t Key(std::uint16_t PlatformID, std::uint16_t PlatformSpecificEncodingID)
    {
        return (std::uint32_t{PlatformID} << 16) | PlatformSpecificEncodingID;
    }

    std::vector<std::unique_ptr<TCmapEncodingTableEntry>> FEntries;
    // The pairs present, so that a table of 65535 records is not searched
    // once per record.
    std::unordered_map<std::uint32_t, TCmapEncodingTableEntry*> FByPair;
};

}  // namespace truetype
