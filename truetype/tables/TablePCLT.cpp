#include "truetype/tables/TablePCLT.h"

namespace truetype {

void TTablePCLT::LoadFromStream(TStream& Stream) { ReadFields(Stream, *this); }

void TTablePCLT::SaveToStream(TStream& Stream) { WriteFields(Stream, *this); }

}  // namespace truetype
