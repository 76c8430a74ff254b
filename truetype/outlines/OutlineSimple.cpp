#include "truetype/outlines/OutlineSimple.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace truetype {

namespace {

enum : std::uint8_t {
    FlagOnCurve = 0x01,
    FlagXShort = 0x02,
    FlagYShort = 0x04,
    FlagRepeat = 0x08,
    FlagXSame = 0x10,
    FlagYSame = 0x20,
};

// One coordinate pass over the decoded flags: the running value of the
// coordinate for every point, read from the bytes at Cursor onwards.
template <typename Store>
std::size_t DecodeCoordinates(const base::TBigEndianView& Glyf, std::size_t Cursor,
                              const std::vector<std::uint8_t>& Flags, std::uint8_t Short, std::uint8_t Same,
                              Store&& StoreValue)
{
    std::int32_t Value = 0;
    for (std::size_t k = 0; k < Flags.size(); ++k) {
        const std::uint8_t Flag = Flags[k];
        if (Flag & Short) {
            const std::int32_t Delta = Glyf.Byte(Cursor++);
            Value += (Flag & Same) ? Delta : -Delta;
        } else if (!(Flag & Same)) {
            Value += Glyf.Short(Cursor);
            Cursor += 2;
        }
        StoreValue(k, Value);
    }
    return Cursor;
}

// The flag runs of a simple glyph, as every reading of it walks them: Run
// gets each flag with the first point it covers and the number of points
// (1 to 256). Answers the offset after the last flag byte and the number
// of points covered.
struct TFlagRuns {
    std::size_t End = 0;
    std::size_t Covered = 0;
};
template <typename OnRun>
TFlagRuns ForEachFlagRun(const base::TBigEndianView& Glyf, const TOutlineSimple::THeader& Header, OnRun&& Run)
{
    const std::size_t Start = Header.FlagsAt();
    // Each step reads at most two bytes and covers at least one point: when
    // the view holds twice the count from the first flag on, no read can
    // pass its end, and the bytes are read without a check each.
    const std::span<const std::uint8_t> Held = Glyf.Bytes(Start, 2 * std::size_t{Header.PointCount});
    const bool Inside = Held.size() == 2 * std::size_t{Header.PointCount};
    const std::uint8_t* const Bytes = Held.data();
    std::size_t Cursor = 0;
    std::size_t Covered = 0;
    while (Covered < Header.PointCount) {
        const std::uint8_t Flag = Inside ? Bytes[Cursor] : Glyf.Byte(Start + Cursor);
        const std::uint8_t Next = Inside ? Bytes[Cursor + 1] : Glyf.Byte(Start + Cursor + 1);
        // Without a branch on the flag: the runs of a glyph follow no pattern
        // a predictor could learn.
        const std::size_t Repeated = (Flag & FlagRepeat) != 0;
        const std::size_t Count = 1 + (Next & (0 - Repeated));
        Cursor += 1 + Repeated;
        Run(Flag, Covered, Count);
        Covered += Count;
    }
    return {Start + Cursor, Covered};
}

// The nearest integer, halves to even, in 16 bits: coordinates are written
// as 16-bit deltas, computed in 16-bit arithmetic.
std::uint16_t RoundToWord(double Value)
{
    if (std::isnan(Value))
        return 0;
    constexpr double Limit = 9.0e15;  // well inside int64, exact for doubles
    return static_cast<std::uint16_t>(static_cast<std::int64_t>(std::nearbyint(std::clamp(Value, -Limit, Limit))));
}

// Adds the flag bits of one delta and writes its bytes.
void EncodeDelta(std::uint16_t Delta, std::uint8_t Short, std::uint8_t Same, std::uint8_t& Flag,
                 std::vector<std::uint8_t>& Out)
{
    const auto Signed = static_cast<std::int16_t>(Delta);
    if (Signed == 0) {
        Flag |= Same;
    } else if (Signed >= -255 && Signed <= 255) {
        Flag |= Short;
        if (Signed > 0)
            Flag |= Same;
        Out.push_back(static_cast<std::uint8_t>(Signed > 0 ? Signed : -Signed));
    } else {
        WriteUShort(Out, Delta);
    }
}

}  // namespace

void TOutlineSimple::Clear()
{
    Instructions.clear();
    Contours.Clear();
}

TOutlineSimple::THeader TOutlineSimple::ReadHeader(const base::TBigEndianView& Glyf, std::size_t Offset)
{
    THeader Header;
    Header.ContourCount = Glyf.Short(Offset);
    // With a count below 1 the last end point index lies before the array;
    // an offset before the table reads as zero, as one past it does.
    const std::int64_t LastEndPoint = static_cast<std::int64_t>(Offset) + 10 + 2 * (std::int64_t{Header.ContourCount} - 1);
    Header.PointCount = static_cast<std::uint16_t>(
        (LastEndPoint < 0 ? 0 : Glyf.UShort(static_cast<std::size_t>(LastEndPoint))) + 1);
    if (Header.PointCount == 0)
        RaiseFontErrorFmt("Simple Glyph with %d number of points", {0});
    const auto AfterEndPoints = static_cast<std::size_t>(LastEndPoint + 2 < 0 ? 0 : LastEndPoint + 2);
    Header.InstructionLength = Glyf.UShort(AfterEndPoints);
    Header.InstructionsAt = AfterEndPoints + 2;
    CheckInstructionRange(Glyf, Header.InstructionsAt, Header.InstructionLength);
    return Header;
}

std::size_t TOutlineSimple::Decode(const base::TBigEndianView& Glyf, std::size_t Offset)
{
    Clear();
    const THeader Header = ReadHeader(Glyf, Offset);
    const std::int16_t n = Header.ContourCount;
    BoundingBox = {Glyf.Short(Offset + 2), Glyf.Short(Offset + 4), Glyf.Short(Offset + 6), Glyf.Short(Offset + 8)};
    const auto EndPointAt = [&](std::int64_t j) -> std::uint16_t {
        const std::int64_t At = static_cast<std::int64_t>(Offset) + 10 + 2 * j;
        return At < 0 ? 0 : Glyf.UShort(static_cast<std::size_t>(At));
    };
    CopyInstructions(Glyf, Header.InstructionsAt, Header.InstructionLength);

    // The flags, one per point, repeats expanded. A repeat count may cover
    // points past the count; those points are created too.
    std::size_t Cursor = Header.FlagsAt();
    // Kept from glyph to glyph: a font decodes thousands of them.
    thread_local std::vector<std::uint8_t> Flags;
    Flags.resize(std::size_t{Header.PointCount} + MaxPointsPastCount);
    const TFlagRuns Runs = ForEachFlagRun(Glyf, Header, [](std::uint8_t Flag, std::size_t First, std::size_t Count) {
        std::fill_n(Flags.begin() + static_cast<std::ptrdiff_t>(First), Count, Flag);
    });
    Cursor = Runs.End;
    Flags.resize(Runs.Covered);

    // The contours: an end point index smaller than the point's index
    // starts the next contour, at most one per point.
    // Room for as many contours as there are points, whatever the file claims.
    Contours.Reserve(Flags.size(), std::clamp<std::size_t>(static_cast<std::size_t>(std::max<int>(n, 1)), 1,
                                                           std::max<std::size_t>(Flags.size(), 1)));
    Contours.StartContour();
    std::int64_t j = 0;
    std::uint16_t EndPoint = EndPointAt(0);
    Cursor = DecodeCoordinates(Glyf, Cursor, Flags, FlagXShort, FlagXSame, [&](std::size_t k, std::int32_t X) {
        if (EndPoint < k) {
            Contours.StartContour();
            EndPoint = EndPointAt(++j);
        }
        Contours.AddPoint({double(X), 0, (Flags[k] & FlagOnCurve) != 0});
    });
    return DecodeCoordinates(Glyf, Cursor, Flags, FlagYShort, FlagYSame,
                             [&](std::size_t k, std::int32_t Y) { Contours.Point(k).Y = Y; });
}

TOutlineSimple::TExtent TOutlineSimple::Measure(const base::TBigEndianView& Glyf, std::size_t Offset)
{
    std::size_t CoordinateBytes = 0;
    const TFlagRuns Runs =
        ForEachFlagRun(Glyf, ReadHeader(Glyf, Offset), [&](std::uint8_t Flag, std::size_t, std::size_t Count) {
            const std::size_t Width = (Flag & FlagXShort ? 1 : Flag & FlagXSame ? 0 : 2) +
                                      (Flag & FlagYShort ? 1 : Flag & FlagYSame ? 0 : 2);
            CoordinateBytes += Count * Width;
        });
    return {static_cast<std::uint32_t>(Runs.Covered), Runs.End + CoordinateBytes};
}

std::uint32_t TOutlineSimple::CountPoints(const base::TBigEndianView& Glyf, std::size_t Offset)
{
    return static_cast<std::uint32_t>(
        ForEachFlagRun(Glyf, ReadHeader(Glyf, Offset), [](std::uint8_t, std::size_t, std::size_t) {}).Covered);
}

std::vector<std::uint8_t> TOutlineSimple::Encode() const
{
    std::vector<std::uint8_t> Out;
    const std::size_t Count = Contours.Count();
    WriteUShort(Out, static_cast<std::uint16_t>(Count));
    for (const std::int32_t Value : {BoundingBox.Left, BoundingBox.Top, BoundingBox.Right, BoundingBox.Bottom})
        WriteUShort(Out, static_cast<std::uint16_t>(Value));
    std::size_t Total = 0;
    for (std::size_t i = 0; i < Count; ++i) {
        Total += Contours.Items(static_cast<std::ptrdiff_t>(i)).size();
        WriteUShort(Out, static_cast<std::uint16_t>(Total - 1));
    }
    WriteUShort(Out, static_cast<std::uint16_t>(Instructions.size()));
    Out.insert(Out.end(), Instructions.begin(), Instructions.begin() + (Instructions.size() & 0xFFFF));

    const std::span<const TTrueTypePoint> Points =
        Contours.AllPoints().first(std::min<std::size_t>(Contours.PointCount(), Total & 0xFFFF));
    std::vector<std::uint8_t> XBytes, YBytes;
    std::uint16_t PreviousX = 0, PreviousY = 0;
    std::size_t RunStart = 0;  // where the flag of the current run stands in Out
    std::size_t RunLength = 0;  // points after the first in the current run
    for (std::size_t k = 0; k < Points.size(); ++k) {
        const std::uint16_t X = RoundToWord(Points[k].X), Y = RoundToWord(Points[k].Y);
        std::uint8_t Flag = Points[k].OnCurve ? FlagOnCurve : 0;
        EncodeDelta(static_cast<std::uint16_t>(X - PreviousX), FlagXShort, FlagXSame, Flag, XBytes);
        EncodeDelta(static_cast<std::uint16_t>(Y - PreviousY), FlagYShort, FlagYSame, Flag, YBytes);
        PreviousX = X;
        PreviousY = Y;
        if (k > 0 && RunLength < 255 && (Out[RunStart] & ~FlagRepeat) == Flag) {
            if (RunLength++ == 0) {
                Out[RunStart] |= FlagRepeat;
                Out.push_back(1);
            } else {
                Out.back() = static_cast<std::uint8_t>(RunLength);
            }
            continue;
        }
        RunStart = Out.size();
        RunLength = 0;
        Out.push_back(Flag);
    }
    Out.insert(Out.end(), XBytes.begin(), XBytes.end());
    Out.insert(Out.end(), YBytes.begin(), YBytes.end());
    return Out;
}

void TOutlineSimple::SaveToStream(TStream& Stream) const
{
    const std::vector<std::uint8_t> Bytes = Encode();
    Stream.WriteBuffer(Bytes.data(), Bytes.size());
}

void TOutlineSimple::AppendContours(TOutlineContours& Target, const TPlacement& Placement) const
{
    Target.AppendPlaced(Contours, Placement);
}

void TOutlineSimple::Draw(base::IPolygonSurface& Canvas, const TDrawView& View) const
{
    // The previous rule comes back also when a step fails.
    struct TRestoreMode {
        base::IPolygonSurface& Canvas;
        base::TPolyFillMode Previous;
        ~TRestoreMode() { Canvas.SetPolyFillMode(Previous); }
    } Restore{Canvas, Canvas.SetPolyFillMode(base::TPolyFillMode::Winding)};
    TPolyPolyGon Builder;
    Builder.View = View;
    for (std::size_t i = 0; i < Contours.Count(); ++i)
        Builder.AddContour(Contours.Items(static_cast<std::ptrdiff_t>(i)));
    DrawPolyPolygon(Canvas, Builder.Points(), Builder.PolygonCount(), Builder.PolygonCounts());
}

base::TIntRect TOutlineSimple::CalculateBoundingBox()
{
    base::TIntRect Box;
    for (std::size_t i = 0; i < Contours.Count(); ++i) {
        TPolyPolyGon Builder;
        const base::TIntRect Bounds = Builder.GetContourBounds(Contours.Items(static_cast<std::ptrdiff_t>(i)));
        if (i == 0) {
            Box = Bounds;
            continue;
        }
        Box.Left = std::min(Box.Left, Bounds.Left);
        Box.Top = std::min(Box.Top, Bounds.Top);
        Box.Right = std::max(Box.Right, Bounds.Right);
        Box.Bottom = std::max(Box.Bottom, Bounds.Bottom);
    }
    BoundingBox = Box;
    return Box;
}

}  // namespace truetype

