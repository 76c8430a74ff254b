// The glyph outlines of a font, built from maxp, loca and glyf when a font is
// loaded with outlines.
#pragma once

#include "truetype/sfnt/TableBase.h"
#include "truetype/tables/TableLoca.h"
#include "truetype/tables/TableMaxp.h"

namespace truetype {

class TFontOutlines {
public:
    std::size_t Count() const { return 0; }
    void Clear() {}
    // Outline building arrives with the glyf table class; until then a font
    // loaded with outlines keeps glyf as bytes and ends with no outlines.
    void RetrieveOutlinesFromTables(const TTableMaxp&, const TTableLoca&, const TFontTable&) {}
};

}  // namespace truetype
