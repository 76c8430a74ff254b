// Every glyph of the DejaVu and Liberation fonts encodes and decodes back to
// the same outline, and nearly every simple glyph to the bytes of the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/BigEndianView.h"
#include "truetype/outlines/OutlineComposite.h"
#include "truetype/outlines/OutlineSimple.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/tables/TableHead.h"

using namespace truetype;

namespace {

std::vector<std::filesystem::path> Fonts()
{
    std::vector<std::filesystem::path> Found;
    for (const char* Folder : {"/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/truetype/liberation",
                               "/usr/share/fonts/truetype/liberation2"}) {
        std::error_code Error;
        for (const auto& Entry : std::filesystem::directory_iterator(Folder, Error))
            if (Entry.path().extension() == ".ttf")
                Found.push_back(Entry.path());
    }
    return Found;
}

bool SameComponents(const TOutlineComposite& A, const TOutlineComposite& B)
{
    if (A.Components.Count() != B.Components.Count())
        return false;
    for (std::size_t i = 0; i < A.Components.Count(); ++i) {
        const TCompositeMember &M = A.Components.Items(static_cast<std::ptrdiff_t>(i)),
                               &N = B.Components.Items(static_cast<std::ptrdiff_t>(i));
        if (M.GlyphIndex != N.GlyphIndex || M.OffsetX != N.OffsetX || M.OffsetY != N.OffsetY ||
            M.ScaleX != N.ScaleX || M.ScaleY != N.ScaleY || M.Scale01 != N.Scale01 || M.Scale10 != N.Scale10 ||
            M.UseMyMetrics != N.UseMyMetrics || M.RoundXYToGrid != N.RoundXYToGrid)
            return false;
    }
    return A.Instructions == B.Instructions;
}

}  // namespace

TEST(OutlineRoundTrip, EveryDejaVuAndLiberationGlyph)
{
    const std::vector<std::filesystem::path> Files = Fonts();
    if (Files.empty())
        GTEST_SKIP() << "no DejaVu or Liberation fonts installed";
    for (const auto& File : Files) {
        std::ifstream In(File, std::ios::binary);
        const std::vector<std::uint8_t> Bytes{std::istreambuf_iterator<char>(In), {}};
        TTrueTypeFont Font(true);
        Font.LoadFromFile(File.string());
        std::uint32_t Glyf = 0, Loca = 0;
        for (const auto& Entry : Font.Directory) {
            if (Entry.Tag == "glyf")
                Glyf = Entry.Offset;
            if (Entry.Tag == "loca")
                Loca = Entry.Offset;
        }
        const base::TBigEndianView View(Bytes);
        const bool Long = Font.HeadTable()->indexToLocFormat != 0;
        const auto Offset = [&](std::size_t i) -> std::size_t {
            return Long ? View.ULong(Loca + 4 * i) : 2u * View.UShort(Loca + 2 * i);
        };
        std::size_t Canonical = 0, Glyphs = 0;
        for (std::size_t i = 0; i < Font.Outlines.Count(); ++i) {
            const TOutlineBase& Outline = Font.Outlines.Items(static_cast<std::ptrdiff_t>(i));
            std::vector<std::uint8_t> Encoded;
            bool Same = false;
            if (const auto* Simple = dynamic_cast<const TOutlineSimple*>(&Outline)) {
                Encoded = Simple->Encode();
                TOutlineSimple Again;
                Again.Decode(base::TBigEndianView(Encoded), 0);
                Same = Again.Contours == Simple->Contours && Again.Instructions == Simple->Instructions &&
                       Again.BoundingBox == Simple->BoundingBox;
            } else if (const auto* Composite = dynamic_cast<const TOutlineComposite*>(&Outline)) {
                Encoded = Composite->Encode();
                TOutlineComposite Again;
                Again.Decode(base::TBigEndianView(Encoded), 0);
                Same = SameComponents(Again, *Composite);
            } else {
                continue;
            }
            EXPECT_TRUE(Same) << File << " glyph " << i;
            // Composites may hold word arguments for small offsets, or
            // anchors that the load resolved: only their outlines compare.
            if (Outline.GetOutlineKind() != OutlineKindSimple)
                continue;
            ++Glyphs;
            const std::size_t Begin = Glyf + Offset(i);
            Canonical += Begin + Encoded.size() <= Bytes.size() &&
                         std::equal(Encoded.begin(), Encoded.end(), Bytes.begin() + static_cast<std::ptrdiff_t>(Begin));
        }
        // Both families write their simple glyphs as this library does, but
        // for a few deltas of 255 that their tools put in the long form.
        EXPECT_GE(Canonical * 100, Glyphs * 97) << File << ": " << Canonical << " of " << Glyphs;
    }
}
