// Glyph data for outline tests: simple and composite glyphs as bytes, and
// fonts with long-format loca around them.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/FontBuilder.h"
#include "truetype/outlines/OutlineContours.h"

namespace outline_testing {

using testing_support::TBytes;
using testing_support::TByteWriter;

// A simple glyph with one contour per list, all points on-curve, written
// with long coordinates and no repeats.
inline TBytes SimpleGlyph(const std::vector<std::vector<std::pair<std::int16_t, std::int16_t>>>& Contours)
{
    TByteWriter W;
    W.S16(static_cast<std::int16_t>(Contours.size())).S16(0).S16(0).S16(0).S16(0);
    std::size_t Total = 0;
    for (const auto& C : Contours) {
        Total += C.size();
        W.U16(static_cast<std::uint16_t>(Total - 1));
    }
    W.U16(0);
    for (std::size_t i = 0; i < Total; ++i)
        W.U8(0x01);
    std::int16_t Previous = 0;
    for (const auto& C : Contours)
        for (const auto& P : C) {
            W.S16(static_cast<std::int16_t>(P.first - Previous));
            Previous = P.first;
        }
    Previous = 0;
    for (const auto& C : Contours)
        for (const auto& P : C) {
            W.S16(static_cast<std::int16_t>(P.second - Previous));
            Previous = P.second;
        }
    return W;
}

struct TComponent {
    std::uint16_t Glyph = 0;
    std::int16_t Argument1 = 0;
    std::int16_t Argument2 = 0;
    bool XYValues = true;
};

// A composite of word-argument components.
inline TBytes CompositeGlyph(const std::vector<TComponent>& Components)
{
    TByteWriter W;
    W.S16(-1).S16(0).S16(0).S16(0).S16(0);
    for (std::size_t i = 0; i < Components.size(); ++i) {
        const TComponent& C = Components[i];
        std::uint16_t Flags = 0x0001;
        if (C.XYValues)
            Flags |= 0x0002;
        if (i + 1 < Components.size())
            Flags |= 0x0020;
        W.U16(Flags).U16(C.Glyph).S16(C.Argument1).S16(C.Argument2);
    }
    return W;
}

// A font of these glyphs, with offsets as given (NumGlyphs + 1 of them) or,
// when Offsets is empty, the glyphs one after another.
inline TBytes FontOf(const std::vector<TBytes>& Glyphs, std::vector<std::uint32_t> Offsets = {},
                     TBytes Glyf = {})
{
    const auto NumGlyphs = static_cast<std::uint16_t>(Offsets.empty() ? Glyphs.size() : Offsets.size() - 1);
    if (Offsets.empty()) {
        Offsets.push_back(0);
        for (const TBytes& G : Glyphs) {
            Glyf.insert(Glyf.end(), G.begin(), G.end());
            Offsets.push_back(static_cast<std::uint32_t>(Glyf.size()));
        }
    }
    TByteWriter Loca;
    for (const std::uint32_t Offset : Offsets)
        Loca.U32(Offset);
    testing_support::TFontBuilder Font;
    Font.Add("cmap", testing_support::CmapTable())
        .Add("glyf", Glyf)
        .Add("head", testing_support::HeadTable({.IndexToLocFormat = 1}))
        .Add("hhea", testing_support::HheaTable(1))
        .Add("loca", Loca)
        .Add("maxp", testing_support::MaxpTable(NumGlyphs));
    return Font.Build();
}

}  // namespace outline_testing
