#include <gtest/gtest.h>

#include "base/RasterSurface.h"
#include "truetype/outlines/OutlineSimple.h"

using namespace truetype;
using base::TIntPoint;

namespace {

// Records the calls a drawing makes.
class TRecordingSurface final : public base::IPolygonSurface {
public:
    base::TPolyFillMode Mode = base::TPolyFillMode::Alternate;
    std::vector<std::string> Calls;

    base::TPolyFillMode SetPolyFillMode(base::TPolyFillMode NewMode) override { return std::exchange(Mode, NewMode); }
    void PolyPolygon(const TIntPoint*, const std::int32_t*, std::int32_t Count) override
    {
        Calls.push_back("PolyPolygon " + std::to_string(Count) + (Mode == base::TPolyFillMode::Winding ? " winding" : ""));
    }
    void Polygon(const TIntPoint*, std::int32_t Count) override
    {
        Calls.push_back("Polygon " + std::to_string(Count) + (Mode == base::TPolyFillMode::Winding ? " winding" : ""));
    }
};

std::vector<TTrueTypePoint> Points(std::initializer_list<TTrueTypePoint> List) { return List; }

std::vector<TIntPoint> Polygon(std::initializer_list<TTrueTypePoint> Contour)
{
    TPolyPolyGon Builder;
    Builder.AddContour(Points(Contour));
    return Builder.Points();
}

}  // namespace

TEST(PolyPolyGon, FlattensContours)
{
    EXPECT_TRUE(Polygon({{5, 5, true}}).empty());
    EXPECT_EQ(Polygon({{0, 0, true}, {10, 20, true}}), (std::vector<TIntPoint>{{0, 0}, {10, -20}}));
    // All off-curve: starts at the midpoint of the last and the first.
    EXPECT_EQ(Polygon({{0, 0, false}, {100, 0, false}, {100, 100, false}, {0, 100, false}})[0], (TIntPoint{0, -50}));
    // A control point on the chord, or a curve shorter than 2 units: only
    // the start point of the curve.
    EXPECT_EQ(Polygon({{0, 0, true}, {50, 0, false}, {100, 0, true}}), (std::vector<TIntPoint>{{0, 0}, {100, 0}}));
    EXPECT_EQ(Polygon({{0, 0, true}, {1, 1, false}, {1, 0, true}, {50, 50, true}}).size(), 3u);
    // A real curve is subdivided.
    EXPECT_GT(Polygon({{0, 0, true}, {50, 100, false}, {100, 0, true}}).size(), 5u);
}

TEST(PolyPolyGon, BoundsFollowTheCurveNotItsControlPoints)
{
    TPolyPolyGon Builder;
    EXPECT_EQ(Builder.GetContourBounds(Points({{0, 0, true}, {50, 100, false}, {100, 0, true}})),
              (base::TIntRect{0, 0, 100, 50}));
    TOutlineSimple Outline;
    EXPECT_EQ(Outline.CalculateBoundingBox(), base::TIntRect{});
    TContour Contour;
    for (const TTrueTypePoint& P : Points({{0, 0, true}, {50, 100, false}, {100, 0, true}}))
        Contour.Add(P);
    Outline.Contours.Add(Contour);
    EXPECT_EQ(Outline.CalculateBoundingBox(), (base::TIntRect{0, 0, 100, 50}));
    EXPECT_EQ(Outline.BoundingBox, (base::TIntRect{0, 0, 100, 50}));
}

TEST(PolyPolyGon, DrawUsesPolygonOrPolyPolygonAndRestoresTheFillMode)
{
    TOutlineSimple Outline;
    TRecordingSurface Surface;
    Outline.Draw(Surface, {});
    TContour Square;
    for (const TTrueTypePoint& P : Points({{0, 0, true}, {10, 0, true}, {10, 10, true}, {0, 10, true}}))
        Square.Add(P);
    Outline.Contours.Add(Square);
    Outline.Draw(Surface, {});
    Outline.Contours.Add(Square);
    Outline.Draw(Surface, {});
    EXPECT_EQ(Surface.Calls, (std::vector<std::string>{"Polygon 4 winding", "PolyPolygon 2 winding"}));
    EXPECT_EQ(Surface.Mode, base::TPolyFillMode::Alternate);
}

TEST(RasterSurface, FillsByTheRule)
{
    // Two squares of the same direction, one inside the other: the winding
    // rule fills the inner one, the alternate rule leaves it open.
    const std::vector<TIntPoint> Squares{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {3, 3}, {7, 3}, {7, 7}, {3, 7}};
    const std::vector<std::int32_t> Counts{4, 4};
    base::TRasterSurface Winding(12, 12);
    Winding.SetPolyFillMode(base::TPolyFillMode::Winding);
    Winding.PolyPolygon(Squares.data(), Counts.data(), 2);
    EXPECT_EQ(Winding.Pixel(5, 5), 0);
    EXPECT_EQ(Winding.Pixel(1, 1), 0);
    EXPECT_EQ(Winding.Pixel(10, 10), 255);
    base::TRasterSurface Alternate(12, 12);
    Alternate.PolyPolygon(Squares.data(), Counts.data(), 2);
    EXPECT_EQ(Alternate.Pixel(5, 5), 255);
    EXPECT_EQ(Alternate.Pixel(1, 1), 0);
}
