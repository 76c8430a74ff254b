#include "truetype/tables/TableMaxp.h"

namespace truetype {

void TTableMaxp::LoadFromStream(TStream& Stream) { ReadFields(Stream, *this); }

void TTableMaxp::SaveToStream(TStream& Stream) { WriteFields(Stream, *this); }

}  // namespace truetype
