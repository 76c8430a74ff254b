#include "truetype/tables/cmap/UnitCmapMappingTable.h"

#include "base/ListError.h"
#include "truetype/sfnt/UnitWarningCollector.h"

namespace truetype {

TCmapEncodingSubTable* TCmapMappingTable::AddEncoding(std::uint16_t PlatformID, std::uint16_t PlatformSpecificEncodingID)
{
    if (FindEncoding(PlatformID, PlatformSpecificEncodingID) != nullptr) {
        WarnRepeatedEncoding(PlatformID, PlatformSpecificEncodingID, 1);
        return nullptr;
    }
    auto& Entry = FEntries.emplace_back(std::make_unique<TCmapEncodingTableEntry>(PlatformID, PlatformSpecificEncodingID));
    FByPair.emplace(Key(PlatformID, PlatformSpecificEncodingID), Entry.get());
    return &Entry->SubTable;
}

void TCmapMappingTable::WarnRepeatedEncoding(std::uint16_t PlatformID, std::uint16_t PlatformSpecificEncodingID,
                                             std::uint64_t Count)
{
    TWarningCollector::AddFmtRepeated(
        "CmapEncodingSubTable with PlatFormID %d and PlatformSpecificEncodingID %d already exists",
        {PlatformID, PlatformSpecificEncodingID}, Count);
}

TCmapEncodingTableEntry* TCmapMappingTable::FindEncoding(std::uint16_t PlatformID,
                                                         std::uint16_t PlatformSpecificEncodingID) const
{
    const auto Found = FByPair.find(Key(PlatformID, PlatformSpecificEncodingID));
    return Found == FByPair.end() ? nullptr : Found->second;
}

TCmapEncodingTableEntry& TCmapMappingTable::Encodings(std::ptrdiff_t Index) const
{
    return *base::ListItem(FEntries, Index);
}

void TCmapMappingTable::Clear()
{
    FByPair.clear();
    FEntries.clear();
}

bool TCmapMappingTable::RemoveIllegalMappings(std::uint16_t NumGlyphs)
{
    bool Removed = false;
    for (std::size_t i = FEntries.size(); i-- > 0;)
        Removed = FEntries[i]->SubTable.RemoveIllegalMappings(NumGlyphs) || Removed;
    return Removed;
}

}  // namespace truetype
