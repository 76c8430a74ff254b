#include "tools/inspect/RenderGlyph.h"

#include <algorithm>

#include "truetype/tables/TableHead.h"
#include "truetype/tables/TableHhea.h"

using namespace truetype;

namespace inspect {

base::TRasterSurface RenderGlyph(const TTrueTypeFont& Font, std::uint16_t Glyph, std::int32_t Size)
{
    const TOutlineBase& Outline = Font.Outlines.Items(Glyph);
    base::TRasterSurface Image(Size, Size);
    double Ascender = 800, Descender = -200;
    if (const TTableHhea* Hhea = Font.HheaTable(); Hhea != nullptr && Hhea->ascender > Hhea->descender) {
        Ascender = Hhea->ascender;
        Descender = Hhea->descender;
    } else if (const TTableHead* Head = Font.HeadTable(); Head != nullptr && Head->unitsPerEm > 0) {
        Ascender = 0.8 * Head->unitsPerEm;
        Descender = -0.2 * Head->unitsPerEm;
    }
    TDrawView View;
    View.Zoom = Image.Height() / (Ascender - Descender);
    const base::TIntRect Box = Outline.BoundingBox;
    const double Middle = (double(Box.Left) + double(Box.Right)) / 2;
    View.Origin = {static_cast<std::int32_t>(Image.Width() / 2.0 - Middle * View.Zoom),
                   static_cast<std::int32_t>(Ascender * View.Zoom)};
    View.Rect = {0, 0, Image.Width(), Image.Height()};
    Outline.Draw(Image, View);
    return Image;
}

}  // namespace inspect
