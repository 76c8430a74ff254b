#include "tests/fuzz/LoadUntrusted.h"

#include <exception>

#include "truetype/font/TrueTypeFont.h"

namespace fuzzing {

void LoadUntrustedFont(const std::uint8_t* Data, std::size_t Size)
{
    for (const bool LoadOutlines : {false, true}) {
        base::TSpanStream Stream(Data, Size);
        truetype::TTrueTypeFont Font(LoadOutlines);
        try {
            Font.LoadFromStream(Stream);
        } catch (const std::exception&) {
        }
        // What a loaded font offers must be safe to use, a failed load's
        // leftovers too: the counts walk every composite, the bounds flatten
        // every curve.
        for (std::size_t Glyph = 0; Glyph < Font.Outlines.Count(); ++Glyph) {
            truetype::TOutlineBase& Outline = Font.Outlines.Items(static_cast<std::ptrdiff_t>(Glyph));
            static_cast<void>(Outline.GetCompositePointCount() + Outline.GetCompositeContourCount() +
                              Outline.GetComponentDepth());
            static_cast<void>(Outline.CalculateBoundingBox());
        }
    }
}

}  // namespace fuzzing
