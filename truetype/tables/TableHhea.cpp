#include "truetype/tables/TableHhea.h"

namespace truetype {

void TTableHhea::LoadFromStream(TStream& Stream) { ReadFields(Stream, *this); }

void TTableHhea::SaveToStream(TStream& Stream) { WriteFields(Stream, *this); }

}  // namespace truetype
