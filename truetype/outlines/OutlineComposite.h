// The outline of a composite glyph: components that place other glyphs'
// outlines, and instruction bytes after the last of them.
#pragma once

#include <optional>

#include "truetype/outlines/CompositeGlyph.h"
#include "truetype/outlines/OutlineBase.h"

namespace truetype {

class TOutlineComposite final : public TOutlineWithInstructions {
public:
    // Composites nest at most this deep (the depth of a composite of simple
    // glyphs is 1); no real font comes near it.
    static constexpr int MaxComponentDepth = 64;

    TCompositeGlyph Components;

    void Clear();

    // The operations that visit component outlines skip a component that is
    // not linked (a composite decoded on its own). They walk the components
    // without recursion, holding at most MaxComponentDepth composites, and
    // raise a FontException where linking by hand nests them deeper (or in
    // a cycle); the collection links a font's composites only once it has
    // seen that they nest and expand within bounds.
    int GetComponentDepth() const override;
    int GetComponentCount() const override { return static_cast<int>(Components.Count()); }
    int GetCompositeContourCount() const override;
    int GetCompositePointCount() const override;
    void AppendContours(TOutlineContours& Target, const TPlacement& Placement) const override;
    void Draw(base::IPolygonSurface& Canvas, const TDrawView& View) const override;
    void SaveToStream(TStream& Stream) const override;
    int GetOutlineKind() const override { return OutlineKindComposite; }
    bool UsesGlyph(std::uint16_t GlyphIndex) const override;
    base::TIntRect CalculateBoundingBox() override;

    // Raises "Composite Glyph with %d number of contours" unless the glyph
    // holds -1 contours; adds "no flagXYValues" for each point anchor.
    std::size_t Decode(const base::TBigEndianView& Glyf, std::size_t Offset) override;
    // The glyph index of each component of the composite at Offset, appended
    // to Glyphs in order, as Decode reads them but without their placements
    // (nor the warnings); raises as Decode raises on a glyph of -1 contours.
    static void ReadComponentGlyphs(const base::TBigEndianView& Glyf, std::size_t Offset,
                                    std::vector<std::uint16_t>& Glyphs);
    std::vector<std::uint8_t> Encode() const;

    // Turns point anchors into offsets, in component order.
    void ResolveAnchorPoints();

    // Where a component's points go inside a placement of its composite.
    static TPlacement ComponentPlacement(const TPlacement& Outer, const TCompositeMember& Member);
    // Point Number of Outline placed, as AppendContours would place it, or
    // nothing when the outline has fewer points. Skips whole components by
    // their counts, so that it never expands more than one path.
    static std::optional<TTrueTypePoint> PlacedPoint(const TOutlineBase& Outline, const TPlacement& Placement,
                                                     std::size_t Number);

    // What the collection learnt of this composite's expansion when it
    // checked it: the counts below then answer at once, and PlacedPoint
    // finds the component that holds a point by bisection. It holds while
    // the components stay as they were linked; Clear and Decode drop it.
    struct TExpansion {
        std::uint32_t Points = 0;
        std::uint32_t Contours = 0;
        int Depth = 0;
        // The expanded points of the components before each component, and
        // last of all of them.
        std::vector<std::uint32_t> PointsBefore;
    };
    void SetExpansion(TExpansion Expansion) { FExpansion = std::move(Expansion); }
    const std::optional<TExpansion>& Expansion() const { return FExpansion; }

private:
    // Calls Visit(Outline, Placement) for every outline that is not a
    // composite, in the order AppendContours places them; answers the depth.
    template <typename Leaf>
    int ForEachPlacedLeaf(const TPlacement& Placement, Leaf&& Visit) const;
    // The contours of all components, placed with the identity placement.
    void PlaceInto(class TOutlineSimple& Temporary) const;

    std::optional<TExpansion> FExpansion;
};

// The outline as a composite, or null; asks the kind rather than the type
// system, since a font has thousands of outlines.
inline const TOutlineComposite* AsComposite(const TOutlineBase& Outline)
{
    return Outline.GetOutlineKind() == OutlineKindComposite ? static_cast<const TOutlineComposite*>(&Outline)
                                                             : nullptr;
}
inline TOutlineComposite* AsComposite(TOutlineBase& Outline)
{
    return Outline.GetOutlineKind() == OutlineKindComposite ? static_cast<TOutlineComposite*>(&Outline) : nullptr;
}

}  // namespace truetype
