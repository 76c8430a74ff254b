// The judgement of a font file that passes the raw head check: whether each
// font in it loads whole, its outlines included, and lies inside the file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace base {
class TStream;
}
namespace truetype {
class TTrueTypeFont;
}

namespace app {

// Loads into Font (made by JudgedFont) the font that starts at Stream's
// position, as the scan loads it for its name, and answers why the font is
// damaged, or nothing when it is not: the load's error (for a font with
// TrueType outlines, a glyf or loca table, its outlines checked as a load
// builds them); a table record, or the table it points at, lying past the
// end of the file; a loca table holding fewer offsets than the glyphs
// need, or a glyph that starts past the end of glyf.
// Warnings, checksums and the tables kept as bytes are not judged. Font
// stays as its load left it.
// A font object that loads as the judgement needs: outlines checked and
// not kept, the tables kept as bytes not read (one past the end of the file
// is found in the directory).
std::unique_ptr<truetype::TTrueTypeFont> JudgedFont(std::uint32_t Face);

std::optional<std::string> LoadAndJudge(truetype::TTrueTypeFont& Font, base::TStream& Stream);

}  // namespace app
