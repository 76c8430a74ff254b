// A table kept as its bytes, without parsing.
#pragma once

#include <cstdint>
#include <vector>

#include "truetype/sfnt/TableBase.h"

namespace truetype {

class TRawDataTable : public TFontTable, public TRawDataLoadable {
public:
    using TFontTable::TFontTable;

    std::vector<std::uint8_t> Data;

    // Replaces Data with the next Length bytes; "Stream read error" when the
    // stream holds fewer (checked before anything is allocated).
    void LoadRawData(TStream& Stream, std::uint32_t Length) override;
    // Replaces Data with the whole stream, whatever its position.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
};

}  // namespace truetype
