#include "platform/win32/GdiPolygonSurface.h"

#include <cstddef>

namespace platform {

// Our points are GDI's: two 32-bit integers, x first.
static_assert(sizeof(base::TIntPoint) == sizeof(POINT) && offsetof(base::TIntPoint, Y) == offsetof(POINT, y));
static_assert(sizeof(std::int32_t) == sizeof(INT));

base::TPolyFillMode TGdiPolygonSurface::SetPolyFillMode(base::TPolyFillMode Mode)
{
    const int Previous = ::SetPolyFillMode(FDc, static_cast<int>(Mode));
    return Previous == WINDING ? base::TPolyFillMode::Winding : base::TPolyFillMode::Alternate;
}

void TGdiPolygonSurface::PolyPolygon(const base::TIntPoint* Points, const std::int32_t* Counts,
                                     std::int32_t PolygonCount)
{
    ::PolyPolygon(FDc, reinterpret_cast<const POINT*>(Points), reinterpret_cast<const INT*>(Counts), PolygonCount);
}

void TGdiPolygonSurface::Polygon(const base::TIntPoint* Points, std::int32_t Count)
{
    ::Polygon(FDc, reinterpret_cast<const POINT*>(Points), Count);
}

}  // namespace platform
