// The glyph data table, kept as its bytes: loca's offsets point into them,
// and the outlines are decoded from them.
#pragma once

#include <cstdint>
#include <vector>

#include "truetype/sfnt/RawDataTable.h"

namespace truetype {

class TTableGlyf final : public TRawDataTable {
public:
    explicit TTableGlyf(std::string_view Tag) : TRawDataTable(Tag, "TTableGlyf", "glyf") {}

    const base::TReadBuffer& GlyphData() const { return Data(); }
};

}  // namespace truetype
