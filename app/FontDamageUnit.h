// The judgement of a font file that passes the raw head check: whether each
// font in it loads whole, its outlines included, and lies inside the file.
#pragma once

#include <optional>
#include <string>

namespace base {
class TStream;
}
namespace truetype {
class TTrueTypeFont;
}

namespace app {

// Loads into Font (made without outlines; its Face chosen) the font that
// starts at Stream's position, as the scan loads it for its name, and
// answers why the font is damaged, or nothing when it is not: the load's
// error; a table record, or the table it points at, lying past the end of
// the file; for a font with TrueType outlines (a glyf or loca table), the
// error of a load with its outlines, a loca table holding fewer offsets
// than the glyphs need, or a glyph that starts past the end of glyf.
// Warnings, checksums and the tables kept as bytes are not judged. Font
// stays as its load left it.
std::optional<std::string> LoadAndJudge(truetype::TTrueTypeFont& Font, base::TStream& Stream);

}  // namespace app
