#pragma once

#include "tools/json/JsonWriter.h"
#include "truetype/outlines/FontOutlines.h"

namespace inspect {

// "outlines": the count of outlines and the points and contours of all of
// them fully placed (composites expanded).
void WriteOutlineTotalsJson(TJsonWriter& Json, const truetype::TFontOutlines& Outlines);
// "glyphs": one object per glyph with its kind, the box the file holds, the
// placed contours and, for composites, the components.
void WriteGlyphsJson(TJsonWriter& Json, const truetype::TFontOutlines& Outlines);

}  // namespace inspect
