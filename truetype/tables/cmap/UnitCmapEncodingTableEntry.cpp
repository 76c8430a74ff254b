#include "truetype/tables/cmap/UnitCmapEncodingTableEntry.h"

namespace truetype {

TCmapEncodingTableEntry::TCmapEncodingTableEntry(std::uint16_t PlatformID, std::uint16_t PlatformSpecificEncodingID)
    : PlatformID(PlatformID), PlatformSpecificEncodingID(PlatformSpecificEncodingID)
{
}

}  // namespace truetype
