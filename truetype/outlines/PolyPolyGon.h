// Turns contours into integer polygons in device space, flattening the
// quadratic curves by subdivision, and measures the flattened contours.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/PolygonSurface.h"

namespace truetype {

struct TTrueTypePoint;

// The mapping from font units to device units.
struct TDrawView {
    // Handed through to the builder; no step reads it.
    base::TIntRect Rect;
    base::TIntPoint Origin;
    double Zoom = 1;
    std::int32_t OffsetX = 0;
    std::int32_t OffsetY = 0;
    double ScaleX = 1;
    double ScaleY = 1;
    double Scale01 = 0;
    double Scale10 = 0;
};

class TPolyPolyGon {
public:
    // The point array grows by this many points at a time.
    static constexpr std::size_t CapacityStep = 5000;

    TDrawView View;

    // Appends the polygon of one contour; a contour of fewer than 2 points,
    // or one that flattens to fewer, adds none.
    void AddContour(std::span<const TTrueTypePoint> Contour);
    // The flattened contour's box: Left = MinX, Top = -MaxY, Right = MaxX,
    // Bottom = -MinY, in device units.
    base::TIntRect GetContourBounds(std::span<const TTrueTypePoint> Contour);
    void Clear();

    const std::vector<base::TIntPoint>& Points() const { return FPoints; }
    const std::vector<std::int32_t>& PolygonCounts() const { return FPolygonCounts; }
    std::int32_t PolygonCount() const { return static_cast<std::int32_t>(FPolygonCounts.size()); }

private:
    struct TXy {
        double X = 0;
        double Y = 0;
    };
    TXy Map(const TTrueTypePoint& Point) const;
    template <typename Emit>
    void Traverse(std::span<const TTrueTypePoint> Contour, Emit&& EmitPoint, bool ForBounds);
    template <typename Emit>
    void Flatten(TXy S, TXy K, TXy E, Emit&& EmitPoint, bool ForBounds);
    void EmitDrawn(TXy Point);
    void EmitBounds(TXy Point);

    bool FFirstPoint = false;
    std::int32_t FCurrentCount = 0;
    double FMinX = 0, FMinY = 0, FMaxX = 0, FMaxY = 0;
    std::vector<base::TIntPoint> FPoints;
    std::vector<std::int32_t> FPolygonCounts;
};

// Polygon for one polygon, PolyPolygon for several, nothing for none.
void DrawPolyPolygon(base::IPolygonSurface& Canvas, const std::vector<base::TIntPoint>& Points,
                     std::int32_t PolygonCount, const std::vector<std::int32_t>& PolygonCounts);

}  // namespace truetype
