#pragma once

#include <cstdint>

#include "base/RasterSurface.h"
#include "truetype/font/TrueTypeFont.h"

namespace inspect {

// Draws glyph Glyph of a font loaded with outlines, black on white, into a
// square image of Size pixels: the font's ascender to descender fill the
// height, and the glyph's box stands in the middle of the width. Raises
// std::out_of_range for a glyph the font does not have.
base::TRasterSurface RenderGlyph(const truetype::TTrueTypeFont& Font, std::uint16_t Glyph, std::int32_t Size);

}  // namespace inspect
