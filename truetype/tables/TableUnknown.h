#pragma once

#include "truetype/sfnt/RawDataTable.h"

namespace truetype {

// Any table the loader keeps without a parser of its own.
class TTableUnknown final : public TRawDataTable {
public:
    using TRawDataTable::TRawDataTable;
};

}  // namespace truetype
