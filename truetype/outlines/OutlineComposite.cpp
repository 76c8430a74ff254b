#include "truetype/outlines/OutlineComposite.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "truetype/outlines/OutlineSimple.h"
#include "truetype/sfnt/UnitWarningCollector.h"

namespace truetype {

namespace {

enum : std::uint16_t {
    ArgsAreWords = 0x0001,
    ArgsAreXYValues = 0x0002,
    RoundXYToGridFlag = 0x0004,
    WeHaveAScale = 0x0008,
    ReservedBit = 0x0010,
    MoreComponents = 0x0020,
    WeHaveAnXAndYScale = 0x0040,
    WeHaveATwoByTwo = 0x0080,
    WeHaveInstructions = 0x0100,
    UseMyMetricsFlag = 0x0200,
    OverlapCompoundFlag = 0x0400,
    ScaledComponentOffsetFlag = 0x0800,
    UnscaledComponentOffsetFlag = 0x1000,
};

// Truncated toward zero and kept inside 16 bits (offsets of placements
// far outside a glyph's range are not written as they would wrap).
std::int16_t TruncateToShort(double Value)
{
    if (std::isnan(Value))
        return 0;
    return static_cast<std::int16_t>(std::clamp(std::trunc(Value), -32768.0, 32767.0));
}

// The component records of the composite at Offset, as every reading of it
// walks them: Record gets each record's flags and offset. Past the end of the
// table the flags read as zeros and end the list; inside it every record
// takes at least six bytes. Answers where the instructions lie, if any.
struct TComponentRecords {
    std::size_t InstructionsAt = 0;
    std::uint16_t InstructionLength = 0;
    std::size_t End() const { return InstructionsAt + InstructionLength; }
};
template <typename OnRecord>
TComponentRecords ForEachComponentRecord(const base::TBigEndianView& Glyf, std::size_t Offset, OnRecord&& Record)
{
    std::size_t Cursor = Offset + 10;
    std::uint16_t Flags = 0;
    do {
        Flags = Glyf.UShort(Cursor);
        Record(Flags, Cursor);
        const std::size_t Transform = Flags & WeHaveAScale ? 2 : Flags & WeHaveAnXAndYScale ? 4 : Flags & WeHaveATwoByTwo ? 8 : 0;
        Cursor += 4 + (Flags & ArgsAreWords ? 4 : 2) + Transform;
    } while (Flags & MoreComponents);
    if (!(Flags & WeHaveInstructions))
        return {Cursor, 0};
    return {Cursor + 2, Glyf.UShort(Cursor)};
}

std::size_t ExpandedPoints(const TOutlineBase& Outline)
{
    return static_cast<std::size_t>(Outline.GetPointCount()) + static_cast<std::size_t>(Outline.GetCompositePointCount());
}

}  // namespace

void TOutlineComposite::Clear()
{
    Components.Clear();
    Instructions.clear();
    FExpansion.reset();
}

// Depth first with a stack of its own, so that the nesting costs no native
// stack however deep it goes: a composite linked by hand could nest without
// end, and one linked by the collection nests within the bound it checked.
template <typename Leaf>
int TOutlineComposite::ForEachPlacedLeaf(const TPlacement& Placement, Leaf&& Visit) const
{
    struct TFrame {
        const TOutlineComposite* Composite;
        std::size_t Next;
        TPlacement Placement;
    };
    std::array<TFrame, MaxComponentDepth> Stack;
    Stack[0] = {this, 0, Placement};
    std::size_t Height = 1;
    int Deepest = 1;
    while (Height > 0) {
        TFrame& Top = Stack[Height - 1];
        if (Top.Next == Top.Composite->Components.Count()) {
            --Height;
            continue;
        }
        const TCompositeMember& Member = Top.Composite->Components.Items(static_cast<std::ptrdiff_t>(Top.Next++));
        if (Member.Outline == nullptr)
            continue;
        const TPlacement Placed = ComponentPlacement(Top.Placement, Member);
        if (const TOutlineComposite* Inner = AsComposite(*Member.Outline)) {
            if (Height == Stack.size())
                RaiseFontErrorFmt("A composite glyph nests components more than %d deep", {MaxComponentDepth});
            Stack[Height++] = {Inner, 0, Placed};
            Deepest = std::max(Deepest, static_cast<int>(Height));
        } else {
            Visit(*Member.Outline, Placed);
        }
    }
    return Deepest;
}

int TOutlineComposite::GetComponentDepth() const
{
    if (FExpansion)
        return FExpansion->Depth;
    return ForEachPlacedLeaf(IdentityPlacement, [](const TOutlineBase&, const TPlacement&) {});
}

int TOutlineComposite::GetCompositeContourCount() const
{
    if (FExpansion)
        return static_cast<int>(FExpansion->Contours);
    std::size_t Sum = 0;
    ForEachPlacedLeaf(IdentityPlacement, [&Sum](const TOutlineBase& Outline, const TPlacement&) {
        Sum += static_cast<std::size_t>(Outline.GetContourCount());
    });
    return static_cast<int>(Sum);
}

int TOutlineComposite::GetCompositePointCount() const
{
    if (FExpansion)
        return static_cast<int>(FExpansion->Points);
    std::size_t Sum = 0;
    ForEachPlacedLeaf(IdentityPlacement, [&Sum](const TOutlineBase& Outline, const TPlacement&) {
        Sum += static_cast<std::size_t>(Outline.GetPointCount());
    });
    return static_cast<int>(Sum);
}

bool TOutlineComposite::UsesGlyph(std::uint16_t GlyphIndex) const
{
    return std::any_of(Components.begin(), Components.end(),
                       [GlyphIndex](const TCompositeMember& Member) { return Member.GlyphIndex == GlyphIndex; });
}

TPlacement TOutlineComposite::ComponentPlacement(const TPlacement& Outer, const TCompositeMember& Member)
{
    double ScaleX = Outer.ScaleX, ScaleY = Outer.ScaleY;
    if (Member.ScaleX != 0 || Member.ScaleY != 0) {
        ScaleX *= Member.ScaleX;
        ScaleY *= Member.ScaleY;
    }
    double U = Member.OffsetX, V = Member.OffsetY;
    double Scale01 = Member.Scale01, Scale10 = Member.Scale10;
    if (Outer.Scale01 != 0 && Outer.Scale10 != 0) {
        U = Outer.Scale10 * Member.OffsetY;
        V = Outer.Scale01 * Member.OffsetX;
        if (Member.Scale01 == 0 || Member.Scale10 == 0) {
            Scale01 = Outer.Scale01;
            Scale10 = Outer.Scale10;
        } else {
            Scale01 = Scale10 = 0;
            if (Outer.Scale01 * Member.Scale01 > 0 && Outer.Scale10 * Member.Scale10 > 0) {
                ScaleX = -ScaleX;
                ScaleY = -ScaleY;
            }
        }
    }
    return {U * Outer.ScaleX + Outer.OffsetX, V * Outer.ScaleY + Outer.OffsetY, ScaleX, ScaleY, Scale01, Scale10};
}

void TOutlineComposite::AppendContours(TOutlineContours& Target, const TPlacement& Placement) const
{
    ForEachPlacedLeaf(Placement, [&Target](const TOutlineBase& Outline, const TPlacement& Placed) {
        Outline.AppendContours(Target, Placed);
    });
}

std::optional<TTrueTypePoint> TOutlineComposite::PlacedPoint(const TOutlineBase& Outline, const TPlacement& Placement,
                                                             std::size_t Number)
{
    // Down one path of components, one composite per level.
    const TOutlineBase* Current = &Outline;
    TPlacement Placed = Placement;
    for (int Level = 0;; ++Level) {
        if (Current->GetOutlineKind() == OutlineKindSimple) {
            const std::span<const TTrueTypePoint> Points =
                static_cast<const TOutlineSimple*>(Current)->Contours.AllPoints();
            if (Number >= Points.size())
                return std::nullopt;
            TTrueTypePoint Point = Points[Number];
            Placed.Apply(Point);
            return Point;
        }
        const TOutlineComposite* Composite = AsComposite(*Current);
        if (Composite == nullptr)
            return std::nullopt;
        if (Level == MaxComponentDepth)
            RaiseFontErrorFmt("A composite glyph nests components more than %d deep", {MaxComponentDepth});
        const TCompositeGlyph& Members = Composite->Components;
        std::size_t First = 0;
        if (Composite->FExpansion) {
            // The last component whose points start at or before Number.
            const std::vector<std::uint32_t>& Before = Composite->FExpansion->PointsBefore;
            const auto At = std::upper_bound(
                Before.begin(), Before.begin() + static_cast<std::ptrdiff_t>(Members.Count()), Number);
            First = static_cast<std::size_t>(At - Before.begin());
            First = First > 0 ? First - 1 : 0;
            Number -= Before[First];
        }
        const TCompositeMember* Holder = nullptr;
        for (std::size_t i = First; i < Members.Count() && Holder == nullptr; ++i) {
            const TCompositeMember& Member = Members.Items(static_cast<std::ptrdiff_t>(i));
            if (Member.Outline == nullptr)
                continue;
            const std::size_t Count = ExpandedPoints(*Member.Outline);
            if (Number < Count)
                Holder = &Member;
            else
                Number -= Count;
        }
        if (Holder == nullptr)
            return std::nullopt;
        Placed = ComponentPlacement(Placed, *Holder);
        Current = Holder->Outline;
    }
}

void TOutlineComposite::ResolveAnchorPoints()
{
    const auto Rounded = [](const std::optional<TTrueTypePoint>& Point) {
        return Point ? std::pair{std::nearbyint(Point->X), std::nearbyint(Point->Y)} : std::pair{0.0, 0.0};
    };
    for (TCompositeMember& Member : Components) {
        if (Member.XYValues)
            continue;
        const auto [ParentX, ParentY] = Rounded(PlacedPoint(*this, IdentityPlacement, Member.ParentPoint));
        std::optional<TTrueTypePoint> Child;
        if (Member.Outline != nullptr)
            Child = PlacedPoint(*Member.Outline, ComponentPlacement(IdentityPlacement, Member), Member.ChildPoint);
        const auto [ChildX, ChildY] = Rounded(Child);
        Member.XYValues = true;
        Member.OffsetX = ParentX - ChildX;
        Member.OffsetY = ParentY - ChildY;
    }
}

std::size_t TOutlineComposite::Decode(const base::TBigEndianView& Glyf, std::size_t Offset)
{
    Clear();
    const std::int16_t Contours = Glyf.Short(Offset);
    if (Contours != -1)
        RaiseFontErrorFmt("Composite Glyph with %d number of contours", {Contours});
    BoundingBox = {Glyf.Short(Offset + 2), Glyf.Short(Offset + 4), Glyf.Short(Offset + 6), Glyf.Short(Offset + 8)};
    const TComponentRecords Records = ForEachComponentRecord(Glyf, Offset, [&](std::uint16_t Flags, std::size_t At) {
        TCompositeMember& Member = Components.Add({});
        Member.XYValues = false;
        Member.GlyphIndex = Glyf.UShort(At + 2);
        std::size_t Cursor = At + 4;
        std::int32_t Argument1 = 0, Argument2 = 0;
        if (Flags & ArgsAreWords) {
            Argument1 = Glyf.Short(Cursor);
            Argument2 = Glyf.Short(Cursor + 2);
            Cursor += 4;
        } else {
            Argument1 = static_cast<std::int8_t>(Glyf.Byte(Cursor));
            Argument2 = static_cast<std::int8_t>(Glyf.Byte(Cursor + 1));
            Cursor += 2;
        }
        if (Flags & ArgsAreXYValues) {
            Member.XYValues = true;
            Member.OffsetX = Argument1;
            Member.OffsetY = Argument2;
        } else {
            TWarningCollector::Add("no flagXYValues");
            Member.ParentPoint = static_cast<std::uint8_t>(Argument1 & 0xFF);
            Member.ChildPoint = static_cast<std::uint8_t>(Argument2 & 0xFF);
        }
        const auto F2Dot14At = [&](std::size_t Field) { return F2Dot14ToFloat(Glyf.UShort(Field)); };
        if (Flags & WeHaveAScale) {
            Member.ScaleX = Member.ScaleY = F2Dot14At(Cursor);
        } else if (Flags & WeHaveAnXAndYScale) {
            Member.ScaleX = F2Dot14At(Cursor);
            Member.ScaleY = F2Dot14At(Cursor + 2);
        } else if (Flags & WeHaveATwoByTwo) {
            Member.ScaleX = F2Dot14At(Cursor);
            Member.Scale01 = F2Dot14At(Cursor + 2);
            Member.Scale10 = F2Dot14At(Cursor + 4);
            Member.ScaleY = F2Dot14At(Cursor + 6);
            Member.TwoByTwo = true;
        }
        Member.ReservedFlag = (Flags & ReservedBit) != 0;
        Member.RoundXYToGrid = (Flags & RoundXYToGridFlag) != 0;
        Member.UseMyMetrics = (Flags & UseMyMetricsFlag) != 0;
        Member.OverlapCompound = (Flags & OverlapCompoundFlag) != 0;
        Member.ScaledComponentOffset = (Flags & ScaledComponentOffsetFlag) != 0;
        Member.UnscaledComponentOffset = (Flags & UnscaledComponentOffsetFlag) != 0;
    });
    CopyInstructions(Glyf, Records.InstructionsAt, Records.InstructionLength);
    return Records.End();
}

void TOutlineComposite::ReadComponentGlyphs(const base::TBigEndianView& Glyf, std::size_t Offset,
                                            std::vector<std::uint16_t>& Glyphs)
{
    const TComponentRecords Records = ForEachComponentRecord(
        Glyf, Offset, [&](std::uint16_t, std::size_t At) { Glyphs.push_back(Glyf.UShort(At + 2)); });
    CheckInstructionRange(Glyf, Records.InstructionsAt, Records.InstructionLength);
}

std::vector<std::uint8_t> TOutlineComposite::Encode() const
{
    std::vector<std::uint8_t> Out;
    WriteUShort(Out, 0xFFFF);
    for (const std::int32_t Value : {BoundingBox.Left, BoundingBox.Top, BoundingBox.Right, BoundingBox.Bottom})
        WriteUShort(Out, static_cast<std::uint16_t>(Value));
    const std::size_t Count = Components.Count();
    for (std::size_t i = 0; i < Count; ++i) {
        const TCompositeMember& M = Components.Items(static_cast<std::ptrdiff_t>(i));
        const bool Last = i + 1 == Count;
        std::uint16_t Flags = 0;
        if (M.OffsetX < -128 || M.OffsetX > 127 || M.OffsetY < -128 || M.OffsetY > 127)
            Flags |= ArgsAreWords;
        if (M.XYValues)
            Flags |= ArgsAreXYValues;
        if (M.RoundXYToGrid)
            Flags |= RoundXYToGridFlag;
        if (M.ReservedFlag)
            Flags |= ReservedBit;
        if (M.TwoByTwo)
            Flags |= WeHaveATwoByTwo;
        else if (M.ScaleX != 1 || M.ScaleY != 1)
            Flags |= M.ScaleX == M.ScaleY ? WeHaveAScale : WeHaveAnXAndYScale;
        if (!Last)
            Flags |= MoreComponents;
        if (M.UseMyMetrics)
            Flags |= UseMyMetricsFlag;
        if (M.OverlapCompound)
            Flags |= OverlapCompoundFlag;
        if (M.ScaledComponentOffset)
            Flags |= ScaledComponentOffsetFlag;
        if (M.UnscaledComponentOffset)
            Flags |= UnscaledComponentOffsetFlag;
        if (Last && !Instructions.empty())
            Flags |= WeHaveInstructions;
        WriteUShort(Out, Flags);
        WriteUShort(Out, M.GlyphIndex);
        const bool Words = (Flags & ArgsAreWords) != 0;
        if (M.XYValues) {
            const auto X = static_cast<std::uint16_t>(TruncateToShort(M.OffsetX));
            const auto Y = static_cast<std::uint16_t>(TruncateToShort(M.OffsetY));
            if (Words) {
                WriteUShort(Out, X);
                WriteUShort(Out, Y);
            } else {
                Out.push_back(static_cast<std::uint8_t>(X & 0xFF));
                Out.push_back(static_cast<std::uint8_t>(Y & 0xFF));
            }
        } else if (Words) {
            WriteUShort(Out, M.ParentPoint);
            WriteUShort(Out, M.ChildPoint);
        } else {
            Out.push_back(M.ParentPoint);
            Out.push_back(M.ChildPoint);
        }
        if (Flags & WeHaveAScale) {
            WriteUShort(Out, FloatToF2Dot14(M.ScaleX));
        } else if (Flags & WeHaveAnXAndYScale) {
            WriteUShort(Out, FloatToF2Dot14(M.ScaleX));
            WriteUShort(Out, FloatToF2Dot14(M.ScaleY));
        } else if (Flags & WeHaveATwoByTwo) {
            for (const double Value : {M.ScaleX, M.Scale01, M.Scale10, M.ScaleY})
                WriteUShort(Out, FloatToF2Dot14(Value));
        }
    }
    if (!Instructions.empty()) {
        WriteUShort(Out, static_cast<std::uint16_t>(Instructions.size()));
        Out.insert(Out.end(), Instructions.begin(), Instructions.begin() + (Instructions.size() & 0xFFFF));
    }
    return Out;
}

void TOutlineComposite::SaveToStream(TStream& Stream) const
{
    const std::vector<std::uint8_t> Bytes = Encode();
    Stream.WriteBuffer(Bytes.data(), Bytes.size());
}

void TOutlineComposite::PlaceInto(TOutlineSimple& Temporary) const
{
    Temporary.BoundingBox = BoundingBox;
    AppendContours(Temporary.Contours, IdentityPlacement);
}

void TOutlineComposite::Draw(base::IPolygonSurface& Canvas, const TDrawView& View) const
{
    TOutlineSimple Temporary;
    PlaceInto(Temporary);
    Temporary.Draw(Canvas, View);
}

base::TIntRect TOutlineComposite::CalculateBoundingBox()
{
    TOutlineSimple Temporary;
    PlaceInto(Temporary);
    BoundingBox = Temporary.CalculateBoundingBox();
    return BoundingBox;
}

}  // namespace truetype
