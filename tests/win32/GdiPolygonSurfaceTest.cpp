// Outlines drawn through GDI on a memory device context (under Wine in CI)
// fill the same pixels as our software surface.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/RasterSurface.h"
#include "platform/win32/GdiPolygonSurface.h"
#include "truetype/outlines/OutlineSimple.h"

using namespace truetype;

namespace {

constexpr int Side = 64;

// A square with a second square inside it, both turning the same way (the
// winding rule fills the inner one, the alternate rule would not), and a
// curved contour.
std::unique_ptr<TOutlineSimple> Glyph()
{
    auto Outline = std::make_unique<TOutlineSimple>();
    const auto Add = [&](std::initializer_list<TTrueTypePoint> Points) {
        TContour Contour;
        for (const TTrueTypePoint& Point : Points)
            Contour.Add(Point);
        Outline->Contours.Add(Contour);
    };
    Add({{10, 10, true}, {10, 110, true}, {70, 110, true}, {70, 10, true}});
    Add({{30, 30, true}, {30, 60, true}, {50, 60, true}, {50, 30, true}});
    Add({{80, 10, true}, {80, 110, false}, {120, 60, false}, {120, 10, true}});
    return Outline;
}

TDrawView View()
{
    TDrawView View;
    View.Zoom = 0.5;
    View.Origin = {0, Side};
    return View;
}

}  // namespace

TEST(GdiPolygonSurface, FillsWhatTheSoftwareSurfaceFills)
{
    HDC Dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(Dc, nullptr);
    BITMAPINFO Info{};
    Info.bmiHeader = {sizeof(BITMAPINFOHEADER), Side, -Side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* Bits = nullptr;
    HBITMAP Bitmap = CreateDIBSection(Dc, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    ASSERT_NE(Bitmap, nullptr);
    HGDIOBJ OldBitmap = SelectObject(Dc, Bitmap);
    PatBlt(Dc, 0, 0, Side, Side, WHITENESS);
    HGDIOBJ OldPen = SelectObject(Dc, GetStockObject(NULL_PEN));
    HGDIOBJ OldBrush = SelectObject(Dc, GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(Dc, ALTERNATE);

    platform::TGdiPolygonSurface Surface(Dc);
    Glyph()->Draw(Surface, View());
    GdiFlush();
    EXPECT_EQ(GetPolyFillMode(Dc), ALTERNATE);

    base::TRasterSurface Ours(Side, Side);
    Glyph()->Draw(Ours, View());

    int Filled = 0, Different = 0;
    const auto* Pixels = static_cast<const std::uint32_t*>(Bits);
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            const bool Gdi = (Pixels[y * Side + x] & 0xFFFFFF) == 0;
            const bool Software = Ours.Pixel(x, y) == 0;
            Filled += Gdi;
            Different += Gdi != Software;
        }
    // The inner square is filled: the winding rule was in force.
    EXPECT_EQ(Pixels[(Side - 22) * Side + 20] & 0xFFFFFF, 0u);
    EXPECT_GT(Filled, 800);
    // Edges may round apart; interiors do not.
    EXPECT_LT(Different * 25, Filled) << Different << " of " << Filled;

    SelectObject(Dc, OldBrush);
    SelectObject(Dc, OldPen);
    SelectObject(Dc, OldBitmap);
    DeleteObject(Bitmap);
    DeleteDC(Dc);
}
