#include "truetype/outlines/FontOutlines.h"

#include <algorithm>

#include "base/ListError.h"
#include "truetype/outlines/OutlineComposite.h"
#include "truetype/outlines/OutlineSimple.h"
#include "truetype/outlines/TableGlyf.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/TableLoca.h"
#include "truetype/tables/TableMaxp.h"

namespace truetype {

TOutlineBase& TFontOutlines::Items(std::ptrdiff_t Index)
{
    return *base::ListItem(FOutlines, Index);
}

const TOutlineBase& TFontOutlines::Items(std::ptrdiff_t Index) const
{
    return *base::ListItem(FOutlines, Index);
}

namespace {

void RequireTables(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf)
{
    if (Maxp == nullptr || Loca == nullptr || Glyf == nullptr)
        RaiseFontError("Maxp, Glyf and/ or Loca table(s) missing!");
}

}  // namespace

// Decodes one glyph after another out of the glyf bytes, keeping the
// decoded size within what the table's size can back.
struct TFontOutlines::TDecoder {
    const base::TBigEndianView Data;
    const std::uint64_t Budget = DecodedBytesPerByte * Data.Size() + DecodedBytesAllowance;
    std::uint64_t Decoded = 0;

    // The outline of glyph Glyph at Begin, filed in Slot before it is
    // decoded, so that a glyph that fails is freed with the rest.
    void Decode(std::unique_ptr<TOutlineBase>& Slot, std::uint16_t Glyph, std::uint32_t Begin)
    {
        const std::int16_t Contours = Data.Short(Begin);
        std::unique_ptr<TOutlineWithInstructions> Outline;
        if (Contours > 0)
            Outline = std::make_unique<TOutlineSimple>();
        else if (Contours == -1)
            Outline = std::make_unique<TOutlineComposite>();
        if (!Outline) {
            TWarningCollector::AddFmt("Unexpected number of contours %d in glyph %d", {Contours, Glyph});
            Slot = std::make_unique<TOutlineEmpty>();
            return;
        }
        TOutlineWithInstructions& Decoding = *Outline;
        Slot = std::move(Outline);
        Decoding.Decode(Data, Begin);
        Decoded += sizeof(TTrueTypePoint) * static_cast<std::uint64_t>(Decoding.GetPointCount()) +
                   sizeof(TCompositeMember) * static_cast<std::uint64_t>(Decoding.GetComponentCount());
        if (Decoded > Budget)
            RaiseFontErrorFmt("Glyph %d: the outlines decoded take %d bytes, more than %d bytes of glyph "
                              "data can hold",
                              {Glyph, Decoded, Data.Size()});
    }
};

void TFontOutlines::RetrieveOutlinesFromTables(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf)
{
    Clear();
    try {
        Retrieve(Maxp, Loca, Glyf);
    } catch (...) {
        // A font either loads whole or not at all: outlines left linked by a
        // retrieval that failed could lead a walk into a cycle, or through an
        // expansion nobody checked.
        Clear();
        throw;
    }
}

void TFontOutlines::RetrieveOutlinesFromTables(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf,
                                               std::span<const std::uint16_t> Glyphs)
{
    Clear();
    try {
        RetrieveSome(Maxp, Loca, Glyf, Glyphs);
    } catch (...) {
        Clear();
        throw;
    }
}

void TFontOutlines::Retrieve(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf)
{
    RequireTables(Maxp, Loca, Glyf);
    const std::uint16_t NumGlyphs = Maxp->numGlyphs;
    TDecoder Decoder{base::TBigEndianView(Glyf->GlyphData())};
    FOutlines.reserve(NumGlyphs);
    bool Skip = false;
    for (std::uint16_t i = 0; i < NumGlyphs; ++i) {
        const std::uint32_t Begin = Loca->Locations(i).Offset;
        const std::uint32_t End = Loca->Locations(i + 1).Offset;
        if (Begin == End || Skip) {
            FOutlines.push_back(std::make_unique<TOutlineEmpty>());
        } else if (End < Begin) {
            TWarningCollector::AddFmt(
                "[fixed] Glyph index %d offsets not correct: GlyphOffsetBegin %d GlyphOffsetEnd %d", {i, Begin, End});
            TWarningCollector::Add("[ignored] All other glyph outline data will be skipped.");
            Skip = true;
            FOutlines.push_back(std::make_unique<TOutlineEmpty>());
        } else {
            FOutlines.emplace_back();
            Decoder.Decode(FOutlines.back(), i, Begin);
        }
        if (OnProgress)
            OnProgress(*this, RoundHalfEven(std::int64_t{i} * 80, NumGlyphs) + 20);
    }
    Finish();
}

void TFontOutlines::RetrieveSome(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf,
                                 std::span<const std::uint16_t> Glyphs)
{
    RequireTables(Maxp, Loca, Glyf);
    const std::uint16_t NumGlyphs = Maxp->numGlyphs;
    // The full retrieval decodes nothing from the first glyph whose offsets
    // run backwards on; neither does this one.
    std::uint32_t Usable = NumGlyphs;
    for (std::uint16_t i = 0; i < NumGlyphs && Usable == NumGlyphs; ++i) {
        const std::uint32_t Begin = Loca->Locations(i).Offset;
        const std::uint32_t End = Loca->Locations(i + 1).Offset;
        if (End < Begin) {
            TWarningCollector::AddFmt(
                "[fixed] Glyph index %d offsets not correct: GlyphOffsetBegin %d GlyphOffsetEnd %d", {i, Begin, End});
            TWarningCollector::Add("[ignored] All other glyph outline data will be skipped.");
            Usable = i;
        }
    }
    TDecoder Decoder{base::TBigEndianView(Glyf->GlyphData())};
    FOutlines.resize(NumGlyphs);
    // Each glyph is decoded at most once, so the work list holds at most
    // NumGlyphs glyphs however the components point.
    std::vector<bool> Queued(NumGlyphs, false);
    std::vector<std::uint16_t> Pending;
    auto Want = [&](std::uint16_t Glyph) {
        if (Glyph < NumGlyphs && !Queued[Glyph]) {
            Queued[Glyph] = true;
            Pending.push_back(Glyph);
        }
    };
    for (const std::uint16_t Glyph : Glyphs)
        Want(Glyph);
    while (!Pending.empty()) {
        const std::uint16_t Glyph = Pending.back();
        Pending.pop_back();
        const std::uint32_t Begin = Loca->Locations(Glyph).Offset;
        if (Glyph >= Usable || Begin == Loca->Locations(Glyph + 1).Offset)
            continue;
        Decoder.Decode(FOutlines[Glyph], Glyph, Begin);
        if (const TOutlineComposite* Composite = AsComposite(*FOutlines[Glyph]))
            for (const TCompositeMember& Member : Composite->Components)
                Want(Member.GlyphIndex);
    }
    for (auto& Outline : FOutlines)
        if (!Outline)
            Outline = std::make_unique<TOutlineEmpty>();
    Finish();
}

void TFontOutlines::Finish()
{
    LinkComponents();
    CheckComponents();
    ResolveAnchorPoints();
}

void TFontOutlines::LinkComponents()
{
    for (const auto& Outline : FOutlines)
        if (TOutlineComposite* Composite = AsComposite(*Outline))
            for (TCompositeMember& Member : Composite->Components)
                Member.Outline = base::ListItem(FOutlines, Member.GlyphIndex).get();
}

void TFontOutlines::ResolveAnchorPoints()
{
    for (const auto& Outline : FOutlines)
        if (TOutlineComposite* Composite = AsComposite(*Outline))
            Composite->ResolveAnchorPoints();
}

namespace {

// Under Windows every block of more than half a megabyte is mapped on its
// own and unmapped when freed, each of its pages faulted in anew: a scan
// that checks thousands of fonts keeps its working buffers on the thread
// instead. Not reentrant: one check runs at a time on a thread.
template <typename T>
T& KeptFromFontToFont()
{
    thread_local T Kept;
    return Kept;
}

// The glyph data of a larger font is read into a buffer of its own.
constexpr std::size_t MaxKeptGlyphBytes = 16u << 20;
constexpr std::size_t MaxKeptMembers = 1u << 20;

struct TCounts {
    std::uint32_t Points = 0;
    std::uint32_t Contours = 0;
    std::uint32_t Components = 0;
    int Depth = 0;
};

// The outlines as the composite check sees them; what it learns of each
// composite goes into the composite.
struct TOutlineGraph {
    const std::vector<std::unique_ptr<TOutlineBase>>& Outlines;

    std::size_t Count() const { return Outlines.size(); }
    const TOutlineComposite* Composite(std::size_t Glyph) const { return AsComposite(*Outlines[Glyph]); }
    bool IsComposite(std::size_t Glyph) const { return Composite(Glyph) != nullptr; }
    TCounts Leaf(std::size_t Glyph) const
    {
        return {static_cast<std::uint32_t>(Outlines[Glyph]->GetPointCount()),
                static_cast<std::uint32_t>(Outlines[Glyph]->GetContourCount()), 0, 0};
    }
    std::size_t MemberCount(std::size_t Glyph) const { return Composite(Glyph)->Components.Count(); }
    std::size_t Member(std::size_t Glyph, std::size_t k) const
    {
        return Composite(Glyph)->Components.Items(static_cast<std::ptrdiff_t>(k)).GlyphIndex;
    }
    static constexpr bool KeepsExpansions = true;
    void Expanded(std::size_t Glyph, TOutlineComposite::TExpansion Expansion) const
    {
        AsComposite(*Outlines[Glyph])->SetExpansion(std::move(Expansion));
    }
};

// A check's own record of the glyphs, which keeps no outline: a simple
// glyph's count of points, a composite's components.
struct TShapeGraph {
    struct TShape {
        std::uint32_t Points = 0;
        std::uint32_t First = 0;
        std::uint32_t Members = 0;
        bool Composite = false;
    };
    std::vector<TShape> Shapes;
    std::vector<std::uint16_t> Members;

    std::size_t Count() const { return Shapes.size(); }
    bool IsComposite(std::size_t Glyph) const { return Shapes[Glyph].Composite; }
    TCounts Leaf(std::size_t Glyph) const { return {Shapes[Glyph].Points, 0, 0, 0}; }
    std::size_t MemberCount(std::size_t Glyph) const { return Shapes[Glyph].Members; }
    std::size_t Member(std::size_t Glyph, std::size_t k) const { return Members[Shapes[Glyph].First + k]; }
    static constexpr bool KeepsExpansions = false;
    void Expanded(std::size_t, TOutlineComposite::TExpansion) const {}
};

enum class TVisitState : std::uint8_t { New, Open, Done };

struct TVisits {
    std::vector<TVisitState> States;
    // Read only for glyphs Done, so never cleared.
    std::vector<TCounts> Counts;
};

// A depth-first walk over the composites, each visited once: the counts of
// a composite come from its components' counts. The walk stops at a glyph it
// has visited before, so how deep it goes depends on the order of the glyphs
// (a chain in ascending order never goes deeper than one level); the bound
// holds for the depth each composite is given, and the walk's own level
// keeps its recursion within the same bound.
template <typename Graph>
struct TCompositeCheck {
    using TState = TVisitState;

    static constexpr int MaxComponentDepth = TOutlineComposite::MaxComponentDepth;

    const Graph& Glyphs;
    TVisits& Visits = KeptFromFontToFont<TVisits>();
    std::vector<TState>& States = Visits.States;
    std::vector<TCounts>& Counts = Visits.Counts;

    [[noreturn]] static void RaiseTooDeep(std::size_t Glyph)
    {
        RaiseFontErrorFmt("Composite glyph %d nests components more than %d deep", {Glyph, MaxComponentDepth});
    }

    TCounts Visit(std::size_t Glyph, int Level)
    {
        if (!Glyphs.IsComposite(Glyph))
            return Glyphs.Leaf(Glyph);
        if (States[Glyph] == TState::Done)
            return Counts[Glyph];
        if (States[Glyph] == TState::Open)
            RaiseFontErrorFmt("Composite glyph %d uses itself through its components", {Glyph});
        if (Level >= MaxComponentDepth)
            RaiseTooDeep(Glyph);
        States[Glyph] = TState::Open;
        const std::size_t Members = Glyphs.MemberCount(Glyph);
        TOutlineComposite::TExpansion Expansion;
        if constexpr (Graph::KeepsExpansions)
            Expansion.PointsBefore.reserve(Members + 1);
        TCounts Total{0, 0, 0, 1};
        for (std::size_t k = 0; k < Members; ++k) {
            if constexpr (Graph::KeepsExpansions)
                Expansion.PointsBefore.push_back(Total.Points);
            const TCounts Child = Visit(Glyphs.Member(Glyph, k), Level + 1);
            Total.Points += Child.Points;
            Total.Contours += Child.Contours;
            Total.Components += 1 + Child.Components;
            Total.Depth = std::max(Total.Depth, 1 + Child.Depth);
            if (Total.Depth > MaxComponentDepth)
                RaiseTooDeep(Glyph);
            if (Total.Points > TFontOutlines::MaxExpandedPoints)
                RaiseFontErrorFmt("Composite glyph %d expands to more than %d points",
                                  {Glyph, TFontOutlines::MaxExpandedPoints});
            if (Total.Components > TFontOutlines::MaxExpandedComponents)
                RaiseFontErrorFmt("Composite glyph %d expands to more than %d components",
                                  {Glyph, TFontOutlines::MaxExpandedComponents});
        }
        if constexpr (Graph::KeepsExpansions)
            Expansion.PointsBefore.push_back(Total.Points);
        Expansion.Points = Total.Points;
        Expansion.Contours = Total.Contours;
        Expansion.Depth = Total.Depth;
        Glyphs.Expanded(Glyph, std::move(Expansion));
        States[Glyph] = TState::Done;
        Counts[Glyph] = Total;
        return Total;
    }

    void Run()
    {
        States.assign(Glyphs.Count(), TState::New);
        Counts.resize(Glyphs.Count());
        for (std::size_t Glyph = 0; Glyph < Glyphs.Count(); ++Glyph)
            if (Glyphs.IsComposite(Glyph))
                Visit(Glyph, 0);
    }
};

}  // namespace

namespace {

// How a check counts the points of a simple glyph: exactly, walking its
// flag runs as the decoder does, or at first only from its end point
// indices, which leave the count short by at most MaxPointsPastCount.
enum class TPointCount : std::uint8_t { Exact, Bounded };

// The glyphs read as the retrieval reads them, raising what it raises. With
// points counted Bounded, a glyph's flags are walked only while the counts
// at most leave the decoded size's bound in doubt, and the answer is false
// where a fault might lie whose place only the exact check can tell.
bool CheckShapes(const TTableMaxp& Maxp, const TTableLoca& Loca, const base::TBigEndianView& Data,
                 TPointCount Points)
{
    const std::uint16_t NumGlyphs = Maxp.numGlyphs;
    const std::uint64_t Budget =
        TFontOutlines::DecodedBytesPerByte * Data.Size() + TFontOutlines::DecodedBytesAllowance;
    const bool Exact = Points == TPointCount::Exact;
    std::uint64_t Decoded = 0;
    TShapeGraph& Graph = KeptFromFontToFont<TShapeGraph>();
    Graph.Shapes.assign(NumGlyphs, {});
    Graph.Members.clear();
    // The simple glyphs whose points are counted at most, and where each starts.
    auto& Bounded = KeptFromFontToFont<std::vector<std::pair<std::uint16_t, std::uint32_t>>>();
    Bounded.clear();
    std::uint32_t End = NumGlyphs > 0 ? Loca.Locations(0).Offset : 0;
    for (std::uint16_t i = 0; i < NumGlyphs; ++i) {
        const std::uint32_t Begin = End;
        End = Loca.Locations(i + 1).Offset;
        if (Begin == End)
            continue;
        // The retrieval leaves every glyph from here on empty.
        if (End < Begin)
            break;
        const std::int16_t Contours = Data.Short(Begin);
        TShapeGraph::TShape& Shape = Graph.Shapes[i];
        if (Contours > 0 && Exact) {
            Shape.Points = TOutlineSimple::CountPoints(Data, Begin);
            Decoded += sizeof(TTrueTypePoint) * std::uint64_t{Shape.Points};
        } else if (Contours > 0) {
            // A glyph that fails here may follow glyphs that already took
            // more than the bound.
            try {
                Shape.Points = TOutlineSimple::ReadHeader(Data, Begin).PointCount + TOutlineSimple::MaxPointsPastCount;
            } catch (const std::exception&) {
                return false;
            }
            Bounded.emplace_back(i, Begin);
            Decoded += sizeof(TTrueTypePoint) * std::uint64_t{Shape.Points};
        } else if (Contours == -1) {
            Shape.Composite = true;
            Shape.First = static_cast<std::uint32_t>(Graph.Members.size());
            try {
                TOutlineComposite::ReadComponentGlyphs(Data, Begin, Graph.Members);
            } catch (const std::exception&) {
                if (Exact)
                    throw;
                return false;
            }
            Shape.Members = static_cast<std::uint32_t>(Graph.Members.size() - Shape.First);
            Decoded += sizeof(TCompositeMember) * std::uint64_t{Shape.Members};
        } else {
            continue;
        }
        // Counted exactly, the size grows glyph by glyph, and the first glyph
        // that takes it past the bound is named; counted at most, it is
        // compared once all are read.
        if (Exact && Decoded > Budget)
            RaiseFontErrorFmt("Glyph %d: the outlines decoded take %d bytes, more than %d bytes of glyph "
                              "data can hold",
                              {i, Decoded, Data.Size()});
    }
    // The size only grows, so it stays within the bound at every glyph when
    // it does at the last. Each glyph counted exactly takes its surplus off.
    for (std::size_t k = 0; k < Bounded.size() && Decoded > Budget; ++k) {
        TShapeGraph::TShape& Shape = Graph.Shapes[Bounded[k].first];
        const std::uint32_t Counted = TOutlineSimple::CountPoints(Data, Bounded[k].second);
        Decoded -= sizeof(TTrueTypePoint) * std::uint64_t{Shape.Points - Counted};
        Shape.Points = Counted;
    }
    if (Decoded > Budget)
        return false;
    // As linking finds a component past the last glyph.
    for (const std::uint16_t Member : Graph.Members)
        if (Member >= NumGlyphs)
            base::CheckListIndex(Member, NumGlyphs);
    if (Exact) {
        TCompositeCheck<TShapeGraph>{Graph}.Run();
        return true;
    }
    // Only the expansions' counts of points can come out larger than the
    // exact check's; the exact check says which fault comes first.
    try {
        TCompositeCheck<TShapeGraph>{Graph}.Run();
    } catch (const FontException&) {
        return false;
    }
    return true;
}

}  // namespace

void TFontOutlines::CheckOutlinesFromTables(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf)
{
    RequireTables(Maxp, Loca, Glyf);
    // The points counted at most bound the exact counts from above, and only
    // upper bounds are checked against them: where those hold, so do the
    // exact ones. Most glyphs' flags need not be walked at all; a font the
    // bounded check cannot settle, a faulty one above all, is checked again
    // exactly.
    auto& Scratch = KeptFromFontToFont<base::TReadBuffer>();
    // The buffers of a font far larger than most are not kept for the next,
    // whether its check passes or not.
    struct TReleaseLarge {
        base::TReadBuffer& Bytes;
        ~TReleaseLarge()
        {
            if (Bytes.capacity() > MaxKeptGlyphBytes)
                Bytes = {};
            if (TShapeGraph& Graph = KeptFromFontToFont<TShapeGraph>(); Graph.Members.capacity() > MaxKeptMembers)
                Graph.Members = {};
        }
    } const Release{Scratch};
    const base::TBigEndianView Data(Glyf->BorrowData(Scratch));
    if (!CheckShapes(*Maxp, *Loca, Data, TPointCount::Bounded))
        CheckShapes(*Maxp, *Loca, Data, TPointCount::Exact);
}

void TFontOutlines::CheckComponents()
{
    const TOutlineGraph Graph{FOutlines};
    TCompositeCheck<TOutlineGraph>{Graph}.Run();
}

}  // namespace truetype
