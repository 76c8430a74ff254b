#include "truetype/outlines/PolyPolyGon.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "truetype/outlines/OutlineContours.h"

namespace truetype {

namespace {

// Subdivision stops at this depth whatever the flatness: a curve placed
// through nested scales, or with coordinates that are not finite, would
// otherwise never come down to a few device units.
constexpr int MaxSubdivisionDepth = 12;
constexpr double FlatAngle = 0.03;

std::int32_t TruncateToInt(double Value)
{
    if (std::isnan(Value))
        return 0;
    // Symmetric, so that a bound can be negated.
    constexpr double Low = -double(std::numeric_limits<std::int32_t>::max());
    constexpr double High = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(Value), Low, High));
}

template <typename Xy>
double Distance(const Xy& A, const Xy& B)
{
    return std::hypot(B.X - A.X, B.Y - A.Y);
}

}  // namespace

TPolyPolyGon::TXy TPolyPolyGon::Map(const TTrueTypePoint& Point) const
{
    double X = std::trunc(Point.X);
    double Y = std::trunc(Point.Y);
    if (View.Scale01 != 0 && View.Scale10 != 0) {
        const double OldX = X;
        X = View.Scale10 * Y;
        Y = View.Scale01 * OldX;
    }
    X = View.ScaleX * X + View.OffsetX;
    Y = View.ScaleY * Y + View.OffsetY;
    return {View.Zoom * X + View.Origin.X, View.Origin.Y - View.Zoom * Y};
}

template <typename Emit>
void TPolyPolyGon::Flatten(TXy S, TXy K, TXy E, Emit&& EmitPoint, bool ForBounds)
{
    const double Limit = ForBounds ? 1 : 2;
    const auto At = [&](double t) {
        const double a = (1 - t) * (1 - t), b = 2 * t * (1 - t), c = t * t;
        return TXy{a * S.X + b * K.X + c * E.X, a * S.Y + b * K.Y + c * E.Y};
    };
    const auto Subdivide = [&](const auto& Self, TXy L, TXy R, double t, double Step, int Depth) -> void {
        const TXy M = At(t);
        if (!ForBounds) {
            const double A1 = std::atan2(L.Y - M.Y, L.X - M.X);
            const double A2 = std::atan2(M.Y - R.Y, M.X - R.X);
            if (std::fabs(A1 - A2) < FlatAngle)
                return;
        }
        if (Depth < MaxSubdivisionDepth && Distance(L, M) > Limit)
            Self(Self, L, M, t - Step, Step / 2, Depth + 1);
        EmitPoint(M);
        if (Depth < MaxSubdivisionDepth && Distance(M, R) > Limit)
            Self(Self, M, R, t + Step, Step / 2, Depth + 1);
    };
    EmitPoint(S);
    if (Distance(S, E) > Limit)
        Subdivide(Subdivide, S, E, 0.5, 0.25, 1);
}

template <typename Emit>
void TPolyPolyGon::Traverse(std::span<const TTrueTypePoint> Contour, Emit&& EmitPoint, bool ForBounds)
{
    const std::size_t n = Contour.size();
    TTrueTypePoint Pen;
    std::size_t i = 0;
    if (Contour[0].OnCurve) {
        Pen = Contour[0];
        i = 1;
    } else if (Contour[n - 1].OnCurve) {
        Pen = Contour[n - 1];
    } else {
        Pen = {(Contour[0].X + Contour[n - 1].X) / 2, (Contour[0].Y + Contour[n - 1].Y) / 2, true};
    }
    const auto LineTo = [&](const TTrueTypePoint& P) {
        EmitPoint(Map(Pen));
        Pen = P;
    };
    const auto CurveTo = [&](const TTrueTypePoint& K, const TTrueTypePoint& E) {
        Flatten(Map(Pen), Map(K), Map(E), EmitPoint, ForBounds);
        Pen = E;
    };
    while (i < n) {
        const TTrueTypePoint& P = Contour[i];
        if (P.OnCurve) {
            LineTo(P);
            if (i + 1 == n)
                LineTo(Contour[0]);
            i += 1;
            continue;
        }
        const TTrueTypePoint& Q = i + 1 == n ? Contour[0] : Contour[i + 1];
        if (Q.OnCurve) {
            CurveTo(P, Q);
            if (i + 2 == n)
                LineTo(Contour[0]);
            i += 2;
        } else {
            CurveTo(P, {(P.X + Q.X) / 2, (P.Y + Q.Y) / 2, true});
            i += 1;
        }
    }
}

void TPolyPolyGon::EmitDrawn(TXy Point)
{
    if (FPoints.size() == FPoints.capacity())
        FPoints.reserve(std::max(FPoints.capacity() + CapacityStep, 2 * FPoints.capacity()));
    FPoints.push_back({TruncateToInt(Point.X), TruncateToInt(Point.Y)});
    ++FCurrentCount;
}

void TPolyPolyGon::EmitBounds(TXy Point)
{
    if (FFirstPoint) {
        FMinX = FMaxX = Point.X;
        FMinY = FMaxY = Point.Y;
        FFirstPoint = false;
        return;
    }
    FMinX = std::min(FMinX, Point.X);
    FMinY = std::min(FMinY, Point.Y);
    FMaxX = std::max(FMaxX, Point.X);
    FMaxY = std::max(FMaxY, Point.Y);
}

void TPolyPolyGon::AddContour(std::span<const TTrueTypePoint> Contour)
{
    if (Contour.size() < 2)
        return;
    FCurrentCount = 0;
    Traverse(Contour, [this](TXy Point) { EmitDrawn(Point); }, false);
    if (FCurrentCount < 2)
        FPoints.resize(FPoints.size() - static_cast<std::size_t>(FCurrentCount));
    else
        FPolygonCounts.push_back(FCurrentCount);
}

base::TIntRect TPolyPolyGon::GetContourBounds(std::span<const TTrueTypePoint> Contour)
{
    FMinX = FMinY = FMaxX = FMaxY = 0;
    if (!Contour.empty()) {
        FFirstPoint = true;
        EmitBounds(Map(Contour[0]));
        FFirstPoint = true;
        if (Contour.size() >= 2)
            Traverse(Contour, [this](TXy Point) { EmitBounds(Point); }, true);
    }
    return {TruncateToInt(FMinX), -TruncateToInt(FMaxY), TruncateToInt(FMaxX), -TruncateToInt(FMinY)};
}

void TPolyPolyGon::Clear()
{
    FPoints = {};
    FPolygonCounts.clear();
}

void DrawPolyPolygon(base::IPolygonSurface& Canvas, const std::vector<base::TIntPoint>& Points,
                     std::int32_t PolygonCount, const std::vector<std::int32_t>& PolygonCounts)
{
    if (PolygonCount > 1)
        Canvas.PolyPolygon(Points.data(), PolygonCounts.data(), PolygonCount);
    else if (PolygonCount == 1)
        Canvas.Polygon(Points.data(), PolygonCounts[0]);
}

}  // namespace truetype
