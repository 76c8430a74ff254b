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

void TFontOutlines::Retrieve(const TTableMaxp* Maxp, const TTableLoca* Loca, const TTableGlyf* Glyf)
{
    if (Maxp == nullptr || Loca == nullptr || Glyf == nullptr)
        RaiseFontError("Maxp, Glyf and/ or Loca table(s) missing!");
    const std::uint16_t NumGlyphs = Maxp->numGlyphs;
    const base::TBigEndianView Data(Glyf->GlyphData());
    const std::uint64_t Budget = DecodedBytesPerByte * Data.Size() + DecodedBytesAllowance;
    std::uint64_t Decoded = 0;
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
            const std::int16_t Contours = Data.Short(Begin);
            std::unique_ptr<TOutlineWithInstructions> Outline;
            if (Contours > 0)
                Outline = std::make_unique<TOutlineSimple>();
            else if (Contours == -1)
                Outline = std::make_unique<TOutlineComposite>();
            if (Outline) {
                // Filed before decoding, so that a glyph that fails is
                // freed with the rest.
                TOutlineWithInstructions& Decoding = *Outline;
                FOutlines.push_back(std::move(Outline));
                Decoding.Decode(Data, Begin);
                Decoded += sizeof(TTrueTypePoint) * static_cast<std::uint64_t>(Decoding.GetPointCount()) +
                           sizeof(TCompositeMember) * static_cast<std::uint64_t>(Decoding.GetComponentCount());
                if (Decoded > Budget)
                    RaiseFontErrorFmt("Glyph %d: the outlines decoded take %d bytes, more than %d bytes of glyph "
                                      "data can hold",
                                      {i, Decoded, Data.Size()});
            } else {
                TWarningCollector::AddFmt("Unexpected number of contours %d in glyph %d", {Contours, i});
                FOutlines.push_back(std::make_unique<TOutlineEmpty>());
            }
        }
        if (OnProgress)
            OnProgress(*this, RoundHalfEven(std::int64_t{i} * 80, NumGlyphs) + 20);
    }
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
