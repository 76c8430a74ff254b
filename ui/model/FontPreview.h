// What the preview pane shows of one font: its name and sample lines drawn
// with the library's own outlines, or why it cannot be drawn. A load reads
// the outlines of only the glyphs the sample needs and closes the file
// before it returns.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/PolygonSurface.h"
#include "truetype/outlines/OutlineContours.h"

namespace ui {

enum class TPreviewState { Drawn, Cff, Failed };

// Polygons in device pixels, filled with the nonzero winding rule.
struct TPreviewPicture {
    std::vector<base::TIntPoint> Points;
    std::vector<std::int32_t> Counts;
    // How many of the polygons each glyph drawn has, in order: a glyph is
    // filled on its own, since a fill's cost may grow with the edges it
    // holds times the lines it spans.
    std::vector<std::int32_t> Glyphs;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    void Draw(base::IPolygonSurface& Surface) const;
};

class TFontPreview {
public:
    // A line is cut after this many characters, a name after NameLimit.
    static constexpr std::size_t LineLimit = 80;
    static constexpr std::size_t NameLimit = 64;

    // Face counts from 0; a single font has one face. Language chooses the
    // name as the scan does. Never fails: a font that cannot be read says
    // why in Error.
    static TFontPreview Load(const std::string& Path, std::uint32_t Face, std::uint16_t Language);

    TPreviewState State = TPreviewState::Failed;
    // UTF-8; the entry's name is the caller's when the font names none.
    std::string Name;
    std::string Error;
    std::uint32_t FaceCount = 1;
    // The name first, then the sample lines.
    std::vector<std::u16string> Lines;
    // The glyph of each character of each line (.notdef where unmapped).
    std::vector<std::vector<std::uint16_t>> LineGlyphs;

    // The lines one under another from At (their top left), PixelsPerEm
    // pixels to the em (the name half as large again); a line stops at
    // MaxWidth pixels.
    TPreviewPicture Render(double PixelsPerEm, base::TIntPoint At, std::int32_t MaxWidth) const;

private:
    struct TGlyph {
        truetype::TOutlineContours Contours;
        std::uint16_t Advance = 0;
    };
    std::map<std::uint16_t, TGlyph> FGlyphs;
    std::uint16_t FUnitsPerEm = 1000;
    std::int32_t FAscender = 800;
    std::int32_t FLineHeight = 1200;
};

// The sample line in the font's own script, given which BMP code points
// its cmap maps: the script whose block it maps most of, when that is more
// than it maps of Latin or it lacks the Latin letters; empty otherwise.
std::u16string OwnScriptSample(const std::vector<bool>& Mapped);

}  // namespace ui
