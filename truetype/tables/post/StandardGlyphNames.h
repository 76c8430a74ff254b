// The 258 glyph names that post formats 1.0 and 2.0 refer to by position: the
// standard Macintosh order, with this library's own spelling of eight of
// them (positions 0, 1, 2, 163, 168, 172, 210 and 250).
#pragma once

#include <array>
#include <string_view>

namespace truetype {

constexpr int StandardGlyphNameCount = 258;

extern const std::array<std::string_view, StandardGlyphNameCount> StandardGlyphNames;

// The first position whose name equals Name byte for byte, or -1. Looked up
// through an index: a table of 65535 glyphs asks once per glyph.
int IndexOfStandardName(std::string_view Name);

}  // namespace truetype
