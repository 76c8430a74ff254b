#include "truetype/tables/cmap/UnitCmapEncodingTableEntry.h"

namespace truetype {

TCmapEncodingTableEntry::TCmapEncodingTableEntry(std::uint16_t Platform, std::uint16_t Encoding)
    : PlatformID(Platform), PlatformSpecificEncodingID(Encoding)
{
}

}  // namespace truetype
