// The polygon surface of a Windows device context: the calls go to GDI
// unchanged, and fills use whatever pen and brush the context holds.
#pragma once

#include <windows.h>

#include "base/PolygonSurface.h"

namespace platform {

class TGdiPolygonSurface final : public base::IPolygonSurface {
public:
    // The context stays its owner's; the surface only draws on it.
    explicit TGdiPolygonSurface(HDC Dc) : FDc(Dc) {}

    base::TPolyFillMode SetPolyFillMode(base::TPolyFillMode Mode) override;
    void PolyPolygon(const base::TIntPoint* Points, const std::int32_t* Counts, std::int32_t PolygonCount) override;
    void Polygon(const base::TIntPoint* Points, std::int32_t Count) override;

private:
    HDC FDc;
};

}  // namespace platform
