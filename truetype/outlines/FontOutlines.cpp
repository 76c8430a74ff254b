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

// A depth-first walk over the composites, each visited once: the counts of
// a composite come from its components' counts. The walk stops at a glyph it
// has visited before, so how deep it goes depends on the order of the glyphs
// (a chain in ascending order never goes deeper than one level); the bound
// holds for the depth each composite is given, and the walk's own level
// keeps its recursion within the same bound.
struct TFontOutlines::TCheck {
    enum class TState : std::uint8_t { New, Open, Done };
    struct TCounts {
        std::uint32_t Points = 0;
        std::uint32_t Contours = 0;
        std::uint32_t Components = 0;
        int Depth = 0;
    };

    static constexpr int MaxComponentDepth = TOutlineComposite::MaxComponentDepth;

    const std::vector<std::unique_ptr<TOutlineBase>>& Outlines;
    std::vector<TState> States = std::vector<TState>(Outlines.size(), TState::New);
    std::vector<TCounts> Counts = std::vector<TCounts>(Outlines.size());

    [[noreturn]] static void RaiseTooDeep(std::size_t Glyph)
    {
        RaiseFontErrorFmt("Composite glyph %d nests components more than %d deep", {Glyph, MaxComponentDepth});
    }

    TCounts Visit(std::size_t Glyph, int Level)
    {
        TOutlineBase& Outline = *Outlines[Glyph];
        TOutlineComposite* Composite = AsComposite(Outline);
        if (Composite == nullptr)
            return {static_cast<std::uint32_t>(Outline.GetPointCount()),
                    static_cast<std::uint32_t>(Outline.GetContourCount()), 0, 0};
        if (States[Glyph] == TState::Done)
            return Counts[Glyph];
        if (States[Glyph] == TState::Open)
            RaiseFontErrorFmt("Composite glyph %d uses itself through its components", {Glyph});
        if (Level >= MaxComponentDepth)
            RaiseTooDeep(Glyph);
        States[Glyph] = TState::Open;
        TOutlineComposite::TExpansion Expansion;
        Expansion.PointsBefore.reserve(Composite->Components.Count() + 1);
        TCounts Total{0, 0, 0, 1};
        for (const TCompositeMember& Member : Composite->Components) {
            Expansion.PointsBefore.push_back(Total.Points);
            const TCounts Child = Visit(Member.GlyphIndex, Level + 1);
            Total.Points += Child.Points;
            Total.Contours += Child.Contours;
            Total.Components += 1 + Child.Components;
            Total.Depth = std::max(Total.Depth, 1 + Child.Depth);
            if (Total.Depth > MaxComponentDepth)
                RaiseTooDeep(Glyph);
            if (Total.Points > MaxExpandedPoints)
                RaiseFontErrorFmt("Composite glyph %d expands to more than %d points", {Glyph, MaxExpandedPoints});
            if (Total.Components > MaxExpandedComponents)
                RaiseFontErrorFmt("Composite glyph %d expands to more than %d components",
                                  {Glyph, MaxExpandedComponents});
        }
        Expansion.PointsBefore.push_back(Total.Points);
        Expansion.Points = Total.Points;
        Expansion.Contours = Total.Contours;
        Expansion.Depth = Total.Depth;
        Composite->SetExpansion(std::move(Expansion));
        States[Glyph] = TState::Done;
        Counts[Glyph] = Total;
        return Total;
    }
};

void TFontOutlines::CheckComponents()
{
    TCheck Check{FOutlines};
    for (std::size_t Glyph = 0; Glyph < FOutlines.size(); ++Glyph)
        Check.Visit(Glyph, 0);
}

}  // namespace truetype
