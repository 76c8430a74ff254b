#pragma once

#include "truetype/sfnt/RawDataTable.h"

namespace truetype {

// The hinting programs and values: "cvt ", "fpgm" and "prep", kept as bytes.
class TTableHinting final : public TRawDataTable {
public:
    using TRawDataTable::TRawDataTable;
};

}  // namespace truetype
