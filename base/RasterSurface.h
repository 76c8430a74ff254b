// A portable software polygon surface: fills polygons into an 8-bit image
// of its own, one sample per pixel at the pixel's centre, as GDI decides
// which pixels an interior covers. It has no pen; the brush is a grey level.
#pragma once

#include <cstdint>
#include <vector>

#include "base/PolygonSurface.h"

namespace base {

class TRasterSurface final : public IPolygonSurface {
public:
    // Width and Height are cut to MaxSide each, so that an image never
    // grows past what its caller can have meant.
    static constexpr std::int32_t MaxSide = 16384;

    TRasterSurface(std::int32_t Width, std::int32_t Height, std::uint8_t Background = 255);

    std::int32_t Width() const { return FWidth; }
    std::int32_t Height() const { return FHeight; }
    // Row after row, top row first.
    const std::vector<std::uint8_t>& Pixels() const { return FPixels; }
    std::uint8_t Pixel(std::int32_t X, std::int32_t Y) const;

    std::uint8_t Brush = 0;

    TPolyFillMode SetPolyFillMode(TPolyFillMode Mode) override;
    void PolyPolygon(const TIntPoint* Points, const std::int32_t* Counts, std::int32_t PolygonCount) override;
    void Polygon(const TIntPoint* Points, std::int32_t Count) override;

private:
    std::int32_t FWidth;
    std::int32_t FHeight;
    std::vector<std::uint8_t> FPixels;
    TPolyFillMode FMode = TPolyFillMode::Alternate;
};

}  // namespace base
