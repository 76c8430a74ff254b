#include "truetype/tables/TableHead.h"

namespace truetype {

void TTableHead::LoadFromStream(TStream& Stream) { ReadFields(Stream, *this); }

void TTableHead::SaveToStream(TStream& Stream)
{
    magicNumber = MagicNumber;
    WriteFields(Stream, *this);
}

}  // namespace truetype
