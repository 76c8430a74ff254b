// One encoding record of the cmap table with the subtable it owns.
#pragma once

#include <cstdint>

#include "truetype/tables/cmap/UnitCmapEncodingSubTable.h"

namespace truetype {

class TCmapEncodingTableEntry {
public:
    TCmapEncodingTableEntry(std::uint16_t Platform, std::uint16_t Encoding);
    TCmapEncodingTableEntry(const TCmapEncodingTableEntry&) = delete;
    TCmapEncodingTableEntry& operator=(const TCmapEncodingTableEntry&) = delete;

    const std::uint16_t PlatformID;
    const std::uint16_t PlatformSpecificEncodingID;
    // Created with the entry and gone with it.
    TCmapEncodingSubTable SubTable;
};

}  // namespace truetype
