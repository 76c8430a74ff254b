#include "truetype/outlines/OutlineContours.h"

#include "base/ListError.h"

namespace truetype {

namespace {

void SavePoints(TStream& Stream, std::span<const TTrueTypePoint> Points)
{
    WriteUShort(Stream, static_cast<std::uint16_t>(Points.size()));
    for (const TTrueTypePoint& Point : Points) {
        WriteFloatPoint(Stream, {Point.X, Point.Y});
        WriteBoolean(Stream, Point.OnCurve);
    }
}

// Reads one contour's points; a count past what the stream holds stops at
// its end.
template <typename AddPoint>
void LoadPoints(TStream& Stream, AddPoint&& Add)
{
    constexpr std::int64_t PointBytes = 17;
    const std::uint16_t Count = ReadUShort(Stream);
    for (std::uint16_t i = 0; i < Count && Stream.Remaining() >= PointBytes; ++i) {
        const TFloatPoint Xy = ReadFloatPoint(Stream);
        Add(TTrueTypePoint{Xy.X, Xy.Y, ReadBoolean(Stream)});
    }
}

}  // namespace

const TTrueTypePoint& TContour::Points(std::ptrdiff_t Index) const
{
    return base::ListItem(FPoints, Index);
}

void TContour::Transform(const TPlacement& Placement)
{
    for (TTrueTypePoint& Point : FPoints)
        Placement.Apply(Point);
}

void TContour::SaveToStream(TStream& Stream) const { SavePoints(Stream, FPoints); }

void TContour::LoadFromStream(TStream& Stream)
{
    Clear();
    LoadPoints(Stream, [this](const TTrueTypePoint& Point) { Add(Point); });
}

void TOutlineContours::Add(std::span<const TTrueTypePoint> Points)
{
    FPoints.insert(FPoints.end(), Points.begin(), Points.end());
    FEnds.push_back(static_cast<std::uint32_t>(FPoints.size()));
}

void TOutlineContours::Clear()
{
    FPoints.clear();
    FEnds.clear();
}

std::span<const TTrueTypePoint> TOutlineContours::Items(std::ptrdiff_t Index) const
{
    base::CheckListIndex(Index, FEnds.size());
    const auto At = static_cast<std::size_t>(Index);
    const std::size_t Begin = At == 0 ? 0 : FEnds[At - 1];
    return std::span<const TTrueTypePoint>(FPoints).subspan(Begin, FEnds[At] - Begin);
}

void TOutlineContours::Transform(const TPlacement& Placement)
{
    for (TTrueTypePoint& Point : FPoints)
        Placement.Apply(Point);
}

void TOutlineContours::SaveToStream(TStream& Stream) const
{
    WriteUShort(Stream, static_cast<std::uint16_t>(Count()));
    for (std::size_t i = 0; i < Count(); ++i)
        SavePoints(Stream, Items(static_cast<std::ptrdiff_t>(i)));
}

void TOutlineContours::LoadFromStream(TStream& Stream)
{
    Clear();
    const std::uint16_t Contours = ReadUShort(Stream);
    for (std::uint16_t i = 0; i < Contours && Stream.Remaining() > 0; ++i) {
        StartContour();
        LoadPoints(Stream, [this](const TTrueTypePoint& Point) { AddPoint(Point); });
    }
}

void TOutlineContours::Assign(const TOutlineContours& Other)
{
    if (&Other == this)
        return;
    FPoints = Other.FPoints;
    FEnds = Other.FEnds;
}

void TOutlineContours::AppendCopy(const TOutlineContours& Other) { AppendPlaced(Other, IdentityPlacement); }

void TOutlineContours::AppendPlaced(const TOutlineContours& Other, const TPlacement& Placement)
{
    const std::size_t Base = FPoints.size();
    const std::size_t OtherContours = Other.FEnds.size();
    const std::size_t OtherPoints = Other.FPoints.size();
    // Other may be this set itself: sizes first, then copies by index.
    FPoints.reserve(Base + OtherPoints);
    for (std::size_t i = 0; i < OtherPoints; ++i) {
        TTrueTypePoint Point = Other.FPoints[i];
        Placement.Apply(Point);
        FPoints.push_back(Point);
    }
    FEnds.reserve(FEnds.size() + OtherContours);
    for (std::size_t i = 0; i < OtherContours; ++i)
        FEnds.push_back(static_cast<std::uint32_t>(Base + Other.FEnds[i]));
}

void TOutlineContours::Reserve(std::size_t Points, std::size_t Contours)
{
    FPoints.reserve(Points);
    FEnds.reserve(Contours);
}

}  // namespace truetype
