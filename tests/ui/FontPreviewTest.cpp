#include <gtest/gtest.h>

#include <fstream>

#include "base/RasterSurface.h"
#include "tests/support/FontBuilder.h"
#include "tests/support/TempFolder.h"
#include "ui/model/FontPreview.h"

using namespace testing_support;

namespace {

// One square contour of Size units from the origin, every point on the curve.
TBytes Square(std::int16_t Size)
{
    TByteWriter Glyph;
    Glyph.S16(1).S16(0).S16(0).S16(Size).S16(Size).U16(3).U16(0);
    Glyph.U8(1).U8(1).U8(1).U8(1);
    Glyph.S16(0).S16(Size).S16(0).S16(static_cast<std::int16_t>(-Size));
    Glyph.S16(0).S16(0).S16(Size).S16(0);
    return Glyph;
}

// Glyph 0 a square of 400 units, advance 500; glyph 1 one of 500, advance
// 600, for every Latin letter; 1000 units to the em.
TBytes LatinFont(std::uint32_t Version = 0x00010000)
{
    std::vector<std::pair<std::uint16_t, std::uint16_t>> Mappings;
    for (char16_t Letter = 'A'; Letter <= 'z'; ++Letter)
        if (Letter <= 'Z' || Letter >= 'a')
            Mappings.emplace_back(Letter, 1);
    const TBytes Glyphs[] = {Square(400), Square(500)};
    TBytes Glyf = Glyphs[0];
    Glyf.insert(Glyf.end(), Glyphs[1].begin(), Glyphs[1].end());
    TByteWriter Loca;
    Loca.U32(0).U32(static_cast<std::uint32_t>(Glyphs[0].size())).U32(static_cast<std::uint32_t>(Glyf.size()));
    TFontBuilder Font;
    Font.Version(Version)
        .Add("cmap", CmapTable(Mappings))
        .Add("head", HeadTable({.IndexToLocFormat = 1, .UnitsPerEm = 1000}))
        .Add("hhea", HheaTable(2))
        .Add("hmtx", HmtxTable({{500, 0}, {600, 0}}))
        .Add("maxp", MaxpTable(2))
        .Add("name", NameTable({{.Text = u"Preview Test"}}));
    if (Version == 0x00010000)
        Font.Add("glyf", Glyf).Add("loca", Loca);
    else
        Font.Add("CFF ", TBytes(16, 0));
    return Font.Build();
}

std::string Write(const TTempFolder& Folder, const char* Name, const TBytes& Bytes)
{
    const std::string Path = (Folder.Path() / Name).string();
    std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Bytes.data()),
                                               static_cast<std::streamsize>(Bytes.size()));
    return Path;
}

}  // namespace

TEST(FontPreview, LaysOutTheSampleWithTheFontsAdvances)
{
    TTempFolder Folder;
    const ui::TFontPreview Preview = ui::TFontPreview::Load(Write(Folder, "latin.ttf", LatinFont()), 0, 0x0409);
    ASSERT_EQ(Preview.State, ui::TPreviewState::Drawn) << Preview.Error;
    EXPECT_EQ(Preview.Name, "Preview Test");
    EXPECT_EQ(Preview.FaceCount, 1u);
    // Latin letters and no script of its own: the name, letters and digits.
    ASSERT_EQ(Preview.Lines.size(), 4u);
    EXPECT_EQ(Preview.LineGlyphs[1], std::vector<std::uint16_t>(26, 1));
    // 100 pixels to the em: 60 a letter, 50 an unmapped digit.
    const ui::TPreviewPicture Whole = Preview.Render(100, {10, 0}, 5000);
    EXPECT_EQ(Whole.Width, 26 * 60);
    EXPECT_EQ(Whole.Counts.size(), 12u + 26 + 26 + 21);
    const ui::TPreviewPicture Cut = Preview.Render(100, {0, 0}, 300);
    EXPECT_EQ(Cut.Width, 300);
    base::TRasterSurface Surface(400, 700);
    Cut.Draw(Surface);
    // hhea's line is 2467 units, the name's 370 pixels; the capitals stand
    // on the baseline 190 pixels below, 50 pixels high, 60 apart.
    EXPECT_EQ(Surface.Pixel(25, 535), 0);
    EXPECT_EQ(Surface.Pixel(55, 535), 255);

    TBytes Faces = CollectionFile({LatinFont(), LatinFont()});
    const ui::TFontPreview Second = ui::TFontPreview::Load(Write(Folder, "two.ttc", Faces), 1, 0x0409);
    EXPECT_EQ(Second.State, ui::TPreviewState::Drawn);
    EXPECT_EQ(Second.FaceCount, 2u);
}

TEST(FontPreview, CffFontsAndFailuresSayWhy)
{
    TTempFolder Folder;
    const ui::TFontPreview Cff = ui::TFontPreview::Load(Write(Folder, "cff.otf", LatinFont(0x4F54544F)), 0, 0x0409);
    EXPECT_EQ(Cff.State, ui::TPreviewState::Cff);
    EXPECT_EQ(Cff.Name, "Preview Test");
    const ui::TFontPreview Garbage = ui::TFontPreview::Load(Write(Folder, "bad.ttf", TBytes(64, 7)), 0, 0x0409);
    EXPECT_EQ(Garbage.State, ui::TPreviewState::Failed);
    EXPECT_FALSE(Garbage.Error.empty());
    const ui::TFontPreview Face = ui::TFontPreview::Load(Write(Folder, "latin.ttf", LatinFont()), 3, 0x0409);
    EXPECT_EQ(Face.State, ui::TPreviewState::Failed);
    EXPECT_TRUE(ui::TFontPreview::Load((Folder.Path() / "none.ttf").string(), 0, 0x0409).Error.size() > 0);
}

TEST(FontPreview, OwnScriptFromTheMappedCodes)
{
    std::vector<bool> Mapped(0x10000, false);
    for (char16_t Code = 0x20; Code < 0x7F; ++Code)
        Mapped[Code] = true;
    EXPECT_EQ(ui::OwnScriptSample(Mapped), u"");
    for (char16_t Code = 0x4E00; Code < 0x5000; ++Code)
        Mapped[Code] = true;
    EXPECT_EQ(ui::OwnScriptSample(Mapped).substr(0, 4), u"天地玄黄");
    std::vector<bool> Hebrew(0x10000, false);
    for (char16_t Code = 0x5D0; Code <= 0x5EA; ++Code)
        Hebrew[Code] = true;
    // Drawn right to left without shaping: stored reversed.
    EXPECT_EQ(ui::OwnScriptSample(Hebrew).back(), u'ד');
    std::vector<bool> Symbols(0x10000, false);
    Symbols[0x2600] = Symbols[0x2601] = true;
    EXPECT_EQ(ui::OwnScriptSample(Symbols), u"\u2600\u2601");
}
