#include "truetype/sfnt/RawDataTable.h"

#include <algorithm>
#include <cstdint>

namespace truetype {

void TRawDataTable::LoadRawData(TStream& Stream, std::uint32_t Length)
{
    Data.clear();
    if (Length == 0)
        return;
    if (Length > Stream.Remaining())
        throw EStreamError("Stream read error");
    Data.resize(Length);
    Stream.ReadBuffer(Data.data(), Data.size());
}

void TRawDataTable::LoadFromStream(TStream& Stream)
{
    Stream.SetPosition(0);
    LoadRawData(Stream, static_cast<std::uint32_t>(std::min<std::int64_t>(Stream.Size(), UINT32_MAX)));
}

void TRawDataTable::SaveToStream(TStream& Stream)
{
    Stream.WriteBuffer(Data.data(), Data.size());
}

}  // namespace truetype
