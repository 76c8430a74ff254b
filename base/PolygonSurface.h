// A surface that fills integer polygons, the one drawing service the font
// library needs. It mirrors the three device-context calls of Windows GDI
// (SetPolyFillMode, PolyPolygon, Polygon): a Win32 surface passes them on to
// a device context, a software surface fills an image of its own. Whatever
// pen and brush the surface holds are the ones a fill uses.
#pragma once

#include <cstdint>

namespace base {

struct TIntPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool operator==(const TIntPoint&) const = default;
};

struct TIntRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    bool operator==(const TIntRect&) const = default;
};

// The fill rules, with GDI's values.
enum class TPolyFillMode : int { Alternate = 1, Winding = 2 };

class IPolygonSurface {
public:
    virtual ~IPolygonSurface() = default;
    // Sets the rule and answers the one set before.
    virtual TPolyFillMode SetPolyFillMode(TPolyFillMode Mode) = 0;
    // Counts[i] points per polygon, the polygons' points one after another.
    virtual void PolyPolygon(const TIntPoint* Points, const std::int32_t* Counts, std::int32_t PolygonCount) = 0;
    virtual void Polygon(const TIntPoint* Points, std::int32_t Count) = 0;
};

}  // namespace base
