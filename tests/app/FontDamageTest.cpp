#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/Stream.h"
#include "tests/app/AppTestSupport.h"

using namespace app;
using namespace app_testing;
using namespace testing_support;

namespace {

// A square: one contour of four on-curve points, long coordinates; 36 bytes
// with its padding.
TBytes SquareGlyph()
{
    TByteWriter W;
    W.S16(1).S16(0).S16(0).S16(100).S16(100).U16(3).U16(0);
    W.U8(1).U8(1).U8(1).U8(1);
    W.S16(0).S16(100).S16(0).S16(-100).S16(0).S16(0).S16(100).S16(0).U16(0);
    return W;
}

// A composite of one word-argument component using glyph Uses; 20 bytes.
TBytes CompositeGlyph(std::uint16_t Uses)
{
    return TByteWriter().S16(-1).S16(0).S16(0).S16(0).S16(0).U16(0x0003).U16(Uses).S16(0).S16(0).U16(0);
}

// A TrueType font of glyf and long-format loca as given, named "Glyphs".
TBytes GlyphFont(const TBytes& Glyf, const std::vector<std::uint32_t>& Offsets, std::uint16_t NumGlyphs,
                 const TBytes& Cmap = CmapTable())
{
    TByteWriter Loca;
    for (const std::uint32_t Offset : Offsets)
        Loca.U32(Offset);
    return TFontBuilder()
        .Add("cmap", Cmap)
        .Add("head", HeadTable({.IndexToLocFormat = 1}))
        .Add("hhea", HheaTable(1))
        .Add("hmtx", HmtxTable({{500, 0}}))
        .Add("loca", Loca)
        .Add("maxp", MaxpTable(NumGlyphs))
        .Add("name", NameTable({{3, 1, 0x409, 4, u"Glyphs"}}))
        .Add("glyf", Glyf)
        .Build();
}

TBytes TwoSquares()
{
    TBytes Glyf = SquareGlyph();
    const TBytes Second = SquareGlyph();
    Glyf.insert(Glyf.end(), Second.begin(), Second.end());
    return GlyphFont(Glyf, {0, 36, 72}, 2);
}

// Font 0 of Collection again, sharing all its tables but maxp, which counts
// NumGlyphs: a font of its own only by the glyphs it reads out of glyf.
TBytes WithSharingFace(TBytes Collection, std::uint16_t NumGlyphs)
{
    const auto U32At = [&Collection](std::size_t At) {
        return std::uint32_t{Collection[At]} << 24 | std::uint32_t{Collection[At + 1]} << 16 |
               std::uint32_t{Collection[At + 2]} << 8 | Collection[At + 3];
    };
    const std::size_t Directory = U32At(16);  // font 1's
    const std::size_t Tables = std::size_t{Collection[Directory + 4]} << 8 | Collection[Directory + 5];
    const TBytes Maxp = MaxpTable(NumGlyphs);
    for (std::size_t i = 0; i < Tables; ++i) {
        const std::size_t Record = Directory + 12 + 16 * i;
        if (std::string(Collection.begin() + Record, Collection.begin() + Record + 4) != "maxp")
            continue;
        const auto At = static_cast<std::uint32_t>(Collection.size());
        const TBytes Fields = TByteWriter().U32(At).U32(static_cast<std::uint32_t>(Maxp.size()));
        std::copy(Fields.begin(), Fields.end(), Collection.begin() + Record + 8);
    }
    Collection.insert(Collection.end(), Maxp.begin(), Maxp.end());
    return Collection;
}

std::string Judged(base::TStream& Stream)
{
    TFontInfo Info;
    Info.ReadFontFile(Stream, 0x0409);
    return Info.Detail;
}

std::string Judged(const TBytes& Bytes)
{
    base::TMemoryStream Stream(Bytes);
    return Judged(Stream);
}

}  // namespace

TEST(FontDamage, NoFontOfTheGoodSetIsJudgedDamaged)
{
    std::size_t Judgements = 0;
    for (const auto& Found : std::filesystem::recursive_directory_iterator("/usr/share/fonts")) {
        const std::string Extension = Found.path().extension().string();
        if (Extension != ".ttf" && Extension != ".ttc" && Extension != ".otf" && Extension != ".otc")
            continue;
        base::TFileStream Stream(Found.path().string());
        EXPECT_EQ(Judged(Stream), "") << Found.path();
        ++Judgements;
    }
    EXPECT_GT(Judgements, 100u);
    for (const TBytes& Built : {TwoSquares(), GlyphFont(TBytes(), {0, 0, 0}, 2), NamedFont(u"Minimal"),
                                GlyphFont(SquareGlyph(), {0, 36, 40}, 2),
                                CollectionFile({TwoSquares(), NamedFont(u"Second")})})
        EXPECT_EQ(Judged(Built), "");
    // CFF outlines: no glyf, and nothing damaged for that.
    EXPECT_EQ(Judged(MinimalFont().Version(0x4F54544F).Add("CFF ", {1, 0, 4, 1}).Build()), "");
}

TEST(FontDamage, EachFontOfTheBadSetIsJudgedDamagedWithItsReason)
{
    TBytes Cut = TwoSquares();
    const std::size_t Size = Cut.size();
    Cut.resize(Size - 30);
    const TBytes CmapWithoutSegments =
        TByteWriter().U16(0).U16(1).U16(3).U16(1).U32(12).U16(4).U16(24).U16(0).U16(0).Zeros(16);
    TBytes Cycle = CompositeGlyph(1);
    const TBytes Back = CompositeGlyph(0);
    Cycle.insert(Cycle.end(), Back.begin(), Back.end());

    EXPECT_EQ(Judged(Cut), "Table glyf (offset " + std::to_string(Size - 72) + ", length 72) runs past the end of the file (" +
                               std::to_string(Size - 30) + " bytes)");
    EXPECT_EQ(Judged(GlyphFont(SquareGlyph(), {0, 36, 100, 120}, 3)),
              "Glyph 2 starts at offset 100, past the end of the glyf table (36 bytes)");
    EXPECT_EQ(Judged(GlyphFont(SquareGlyph(), {0, 36, 5000, 20}, 3)),
              "Glyph 2 starts at offset 5000, past the end of the glyf table (36 bytes)");
    EXPECT_EQ(Judged(GlyphFont(SquareGlyph(), {0, 36}, 4)), "Table loca holds 2 offsets, fewer than the 5 that 4 glyphs need");
    const TBytes Far = MinimalFont().Record("GSUB", 1 << 20, 16).Build();
    EXPECT_EQ(Judged(Far), "Table GSUB (offset 1048576, length 16) runs past the end of the file (" +
                               std::to_string(Far.size()) + " bytes)");
    EXPECT_EQ(Judged(GlyphFont(Cycle, {0, 20, 40}, 2)), "Composite glyph 0 uses itself through its components");
    EXPECT_EQ(Judged(GlyphFont(SquareGlyph(), {0, 36}, 1, CmapWithoutSegments)), "Cmap Format 4 NumberOfSegments=0 !");
    EXPECT_EQ(Judged(CollectionFile({TwoSquares(), GlyphFont(Cycle, {0, 20, 40}, 2)})),
              "Font 1 of the collection: Composite glyph 0 uses itself through its components");
    // Font 0 reads only the square; font 1 shares its glyf and loca, and its
    // second glyph uses itself.
    TBytes SquareThenLoop = SquareGlyph();
    const TBytes Loop = CompositeGlyph(1);
    SquareThenLoop.insert(SquareThenLoop.end(), Loop.begin(), Loop.end());
    const TBytes Sharing = CollectionFile({GlyphFont(SquareThenLoop, {0, 36, 56}, 1)}, 0x00010000, 1);
    EXPECT_EQ(Judged(Sharing), "");
    EXPECT_EQ(Judged(WithSharingFace(Sharing, 2)),
              "Font 1 of the collection: Composite glyph 1 uses itself through its components");
}

TEST(FontDamage, ScanGivesDamagedFontsTheirCodeAndRepairRecyclesThem)
{
    TMachine M;
    const TBytes Cycle = CompositeGlyph(0);
    M.Files.PutFile(M.InFonts("cycle.ttf"), GlyphFont(Cycle, {0, 20}, 1));
    M.Register("Glyphs (TrueType)", "cycle.ttf");
    M.Files.PutFile(M.InFonts("loose.ttf"), GlyphFont(SquareGlyph(), {0, 900, 936}, 2));
    M.Files.PutFile(M.InFonts("good.ttf"), TwoSquares());
    M.Register("Good (TrueType)", "good.ttf");

    TNoScanProgress Progress;
    TInstalledFonts Fonts(M.Services, Progress);
    Fonts.Refresh();
    std::vector<std::string> Lines;
    std::vector<TFontInfo*> Damaged;
    for (std::size_t i = 0; i < Fonts.Count(); ++i) {
        Lines.push_back(Describe(Fonts.Items(i)) + "|" + Fonts.Items(i).Detail);
        if (Fonts.Items(i).Problem == fpDamagedFont)
            Damaged.push_back(&Fonts.Items(i));
    }
    std::sort(Lines.begin(), Lines.end());
    EXPECT_EQ(Lines, (std::vector<std::string>{
                         "6|Glyphs|Good (TrueType)|" + M.InFonts("good.ttf") + "|",
                         "7|Glyphs||" + M.InFonts("loose.ttf") +
                             "|Glyph 1 starts at offset 900, past the end of the glyf table (36 bytes)",
                         // A font whose load fails has no name.
                         "7||Glyphs (TrueType)|" + M.InFonts("cycle.ttf") +
                             "|Composite glyph 0 uses itself through its components"}));
    EXPECT_EQ(ProblemText(fpDamagedFont), "Damaged Font");

    const TRepairResult Result = TFontRepair(M.Services, Fonts, nullptr).RepairSelectedItems(Damaged);
    EXPECT_EQ(Fonts.Count(), 1u);
    EXPECT_EQ(M.Shell.Recycled().size(), 2u);
    EXPECT_FALSE(M.Registry.Value(FontsKey, "Glyphs (TrueType)").has_value());
    EXPECT_TRUE(M.Registry.Value(FontsKey, "Good (TrueType)").has_value());
    EXPECT_FALSE(Result.Backup.empty());
}
