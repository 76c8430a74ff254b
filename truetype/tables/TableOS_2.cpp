#include "truetype/tables/TableOS_2.h"

namespace truetype {

std::uint32_t TTableOS_2::CodePageRange(std::uint32_t Value, std::string_view Format) const
{
    if (version < 1)
        RaiseFontErrorFmt(Format, {version});
    return Value;
}

std::uint32_t TTableOS_2::CodePageRange1() const
{
    return CodePageRange(ulCodePageRange1, "[Table OS/2] This version %d doesn't support ulCodePageRange1!");
}

std::uint32_t TTableOS_2::CodePageRange2() const
{
    return CodePageRange(ulCodePageRange2, "[Table OS/2] This version %d doesn't support ulCodePageRange2!");
}

void TTableOS_2::LoadFromStream(TStream& Stream) { ReadFields(Stream, *this); }

void TTableOS_2::SaveToStream(TStream& Stream) { WriteFields(Stream, *this); }

}  // namespace truetype
