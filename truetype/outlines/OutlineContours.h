// Outline points and contours. A contour set keeps the points of all its
// contours in one array, with the end of each contour beside it: a glyph
// costs two allocations, not one per point or per contour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "truetype/sfnt/FontDataTypes.h"

namespace truetype {

struct TTrueTypePoint {
    // Whole numbers after decoding; doubles so that placements scale and
    // offset them without loss.
    double X = 0;
    double Y = 0;
    bool OnCurve = false;
    bool operator==(const TTrueTypePoint&) const = default;
};

// Where a component's points go: an optional exchange of the axes, then
// scales and offsets.
struct TPlacement {
    double OffsetX = 0;
    double OffsetY = 0;
    double ScaleX = 1;
    double ScaleY = 1;
    double Scale01 = 0;
    double Scale10 = 0;

    void Apply(TTrueTypePoint& Point) const
    {
        if (Scale01 != 0 && Scale10 != 0) {
            const double OldX = Point.X;
            Point.X = Scale10 * Point.Y;
            Point.Y = Scale01 * OldX;
        }
        Point.X = ScaleX * Point.X + OffsetX;
        Point.Y = ScaleY * Point.Y + OffsetY;
    }
};

inline constexpr TPlacement IdentityPlacement{};

// One closed contour, built on its own; a contour set copies it in.
class TContour {
public:
    void Add(const TTrueTypePoint& Point) { FPoints.push_back(Point); }
    void Clear() { FPoints.clear(); }
    const TTrueTypePoint& Points(std::ptrdiff_t Index) const;
    std::size_t Count() const { return FPoints.size(); }
    std::span<const TTrueTypePoint> View() const { return FPoints; }
    void Transform(const TPlacement& Placement);
    void SaveToStream(TStream& Stream) const;
    void LoadFromStream(TStream& Stream);

private:
    std::vector<TTrueTypePoint> FPoints;
};

class TOutlineContours {
public:
    void Add(const TContour& Contour) { Add(Contour.View()); }
    void Add(std::span<const TTrueTypePoint> Points);
    void Clear();
    std::span<const TTrueTypePoint> Items(std::ptrdiff_t Index) const;
    std::size_t Count() const { return FEnds.size(); }
    std::size_t PointCount() const { return FPoints.size(); }
    // Every point, contour after contour.
    std::span<const TTrueTypePoint> AllPoints() const { return FPoints; }
    void Transform(const TPlacement& Placement);

    // The serialised form: uint16 contour count, per contour a uint16 point
    // count and per point two native doubles and a boolean byte.
    void SaveToStream(TStream& Stream) const;
    void LoadFromStream(TStream& Stream);

    // Deep copies. The points are plain values, so a copy through the
    // serialised form and a copy of the arrays are the same thing; the
    // arrays are copied.
    void Assign(const TOutlineContours& Other);
    void AppendCopy(const TOutlineContours& Other);
    // Appends Other's contours with the placement applied to their points.
    void AppendPlaced(const TOutlineContours& Other, const TPlacement& Placement);

    bool operator==(const TOutlineContours&) const = default;

    // For decoders: points appended one by one, each contour started before
    // its first point.
    void Reserve(std::size_t Points, std::size_t Contours);
    void StartContour() { FEnds.push_back(static_cast<std::uint32_t>(FPoints.size())); }
    void AddPoint(const TTrueTypePoint& Point)
    {
        FPoints.push_back(Point);
        ++FEnds.back();
    }
    TTrueTypePoint& Point(std::size_t Index) { return FPoints[Index]; }

private:
    std::vector<TTrueTypePoint> FPoints;
    // One past the last point of each contour.
    std::vector<std::uint32_t> FEnds;
};

}  // namespace truetype
