// The components of a composite glyph.
#pragma once

#include <cstdint>
#include <vector>

#include "base/ListError.h"

namespace truetype {

class TOutlineBase;

struct TCompositeMember {
    // The outline of glyph GlyphIndex in the same collection, set when the
    // collection links its components; not owned.
    const TOutlineBase* Outline = nullptr;
    std::uint16_t GlyphIndex = 0;
    // False while the component is anchored by point numbers.
    bool XYValues = true;
    bool TwoByTwo = false;
    bool ReservedFlag = false;
    bool RoundXYToGrid = false;
    bool UseMyMetrics = false;
    double ScaleX = 1.0;
    double ScaleY = 1.0;
    double Scale01 = 0.0;
    double Scale10 = 0.0;
    double OffsetX = 0.0;
    double OffsetY = 0.0;
    // Point numbers keep their low 8 bits.
    std::uint8_t ParentPoint = 0;
    std::uint8_t ChildPoint = 0;
    bool OverlapCompound = false;
    bool ScaledComponentOffset = false;
    bool UnscaledComponentOffset = false;
};

class TCompositeGlyph {
public:
    TCompositeMember& Add(const TCompositeMember& Member) { return FItems.emplace_back(Member); }
    void Clear() { FItems.clear(); }
    TCompositeMember& Items(std::ptrdiff_t Index) { return base::ListItem(FItems, Index); }
    const TCompositeMember& Items(std::ptrdiff_t Index) const { return base::ListItem(FItems, Index); }
    std::size_t Count() const { return FItems.size(); }

    auto begin() { return FItems.begin(); }
    auto end() { return FItems.end(); }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<TCompositeMember> FItems;
};

}  // namespace truetype
