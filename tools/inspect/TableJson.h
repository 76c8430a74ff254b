#pragma once

#include "tools/json/JsonWriter.h"
#include "truetype/sfnt/TableBase.h"

namespace inspect {

// The table as one JSON object: its fields, or the length of a raw table.
void WriteTableJson(TJsonWriter& Json, const truetype::TFontTable& Table);

}  // namespace inspect
