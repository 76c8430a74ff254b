#include "base/RasterSurface.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace base {

namespace {

struct TEdge {
    double X0, Y0, X1, Y1;
    int Direction;  // +1 downward, -1 upward
};

struct TCrossing {
    double X;
    int Direction;
    bool operator<(const TCrossing& Other) const { return X < Other.X; }
};

}  // namespace

TRasterSurface::TRasterSurface(std::int32_t Width, std::int32_t Height, std::uint8_t Background)
    : FWidth(std::clamp(Width, 0, MaxSide)), FHeight(std::clamp(Height, 0, MaxSide)),
      FPixels(static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight), Background)
{
}

std::uint8_t TRasterSurface::Pixel(std::int32_t X, std::int32_t Y) const
{
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return 0;
    return FPixels[static_cast<std::size_t>(Y) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(X)];
}

TPolyFillMode TRasterSurface::SetPolyFillMode(TPolyFillMode Mode)
{
    return std::exchange(FMode, Mode);
}

void TRasterSurface::Polygon(const TIntPoint* Points, std::int32_t Count)
{
    PolyPolygon(Points, &Count, 1);
}

// A scanline fill: every polygon is closed, and the crossings of all edges
// with the line through the pixel centres are summed by direction (winding)
// or counted (alternate).
void TRasterSurface::PolyPolygon(const TIntPoint* Points, const std::int32_t* Counts, std::int32_t PolygonCount)
{
    std::vector<TEdge> Edges;
    double MinY = INFINITY, MaxY = -INFINITY;
    std::size_t First = 0;
    for (std::int32_t p = 0; p < PolygonCount; ++p) {
        const auto Count = static_cast<std::size_t>(std::max(Counts[p], 0));
        for (std::size_t i = 0; i < Count; ++i) {
            const TIntPoint& A = Points[First + i];
            const TIntPoint& B = Points[First + (i + 1) % Count];
            if (A.Y == B.Y)
                continue;
            const int Direction = B.Y > A.Y ? 1 : -1;
            const TIntPoint& Top = Direction > 0 ? A : B;
            const TIntPoint& Bottom = Direction > 0 ? B : A;
            Edges.push_back({double(Top.X), double(Top.Y), double(Bottom.X), double(Bottom.Y), Direction});
            MinY = std::min(MinY, double(Top.Y));
            MaxY = std::max(MaxY, double(Bottom.Y));
        }
        First += Count;
    }
    if (Edges.empty())
        return;
    const auto FirstRow = static_cast<std::int32_t>(std::max(0.0, std::ceil(MinY - 0.5)));
    const auto EndRow = static_cast<std::int32_t>(std::min(double(FHeight), std::ceil(MaxY - 0.5)));
    std::vector<TCrossing> Crossings;
    for (std::int32_t Row = FirstRow; Row < EndRow; ++Row) {
        const double Y = Row + 0.5;
        Crossings.clear();
        for (const TEdge& E : Edges)
            if (E.Y0 <= Y && Y < E.Y1)
                Crossings.push_back({E.X0 + (Y - E.Y0) * (E.X1 - E.X0) / (E.Y1 - E.Y0), E.Direction});
        std::sort(Crossings.begin(), Crossings.end());
        int Winding = 0;
        for (std::size_t i = 0; i + 1 < Crossings.size(); ++i) {
            Winding += FMode == TPolyFillMode::Winding ? Crossings[i].Direction : 1;
            const bool Inside = FMode == TPolyFillMode::Winding ? Winding != 0 : Winding % 2 != 0;
            if (!Inside)
                continue;
            // Pixels whose centres lie in [left, right).
            const double Left = std::max(0.0, std::ceil(Crossings[i].X - 0.5));
            const double Right = std::min(double(FWidth), std::ceil(Crossings[i + 1].X - 0.5));
            if (Left >= Right)
                continue;
            std::uint8_t* Line = FPixels.data() + static_cast<std::size_t>(Row) * static_cast<std::size_t>(FWidth);
            std::fill(Line + static_cast<std::ptrdiff_t>(Left), Line + static_cast<std::ptrdiff_t>(Right), Brush);
        }
    }
}

}  // namespace base
