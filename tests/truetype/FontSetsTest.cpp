// The library's three sets of fonts, kept as font sanitizers keep theirs:
// good fonts load whole and read back what they were built with; bad fonts
// are refused with the message that names their fault. The third, fuzzing
// set (tests/fuzz/regressions) has only to stay within bounds: the replay
// test loads it. Installed fonts are the differential tests' good set.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/CmapBuilder.h"
#include "tests/support/FontBuilder.h"
#include "tests/truetype/OutlineTestSupport.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/tables/TableMaxp.h"

using namespace truetype;
using namespace testing_support;
using outline_testing::CompositeGlyph;
using outline_testing::FontOf;
using outline_testing::SimpleGlyph;

namespace {

struct TGoodFont {
    const char* Name;
    TBytes Bytes;
    std::uint32_t Face = 0;
    std::uint16_t NumGlyphs = 0;
    // Points of each glyph as its outline expands them; empty without glyf.
    std::vector<int> Points;
};

struct TBadFont {
    const char* Name;
    TBytes Bytes;
    bool WithOutlines;
    std::string Message;
};

const TBytes Square = SimpleGlyph({{{0, 0}, {0, 100}, {100, 100}, {100, 0}}});

std::vector<TGoodFont> GoodFonts()
{
    TBytes Named = MinimalFont(3)
                       .Add("name", NameTable({{.NameID = 1, .Text = u"Good"}, {.NameID = 4, .Text = u"Good Sans"}}))
                       .Build();
    return {
        {"the smallest font: metrics and an empty cmap", MinimalFont(3).Build(), 0, 3, {}},
        {"a named font", Named, 0, 3, {}},
        {"simple and composite outlines", FontOf({Square, CompositeGlyph({{0, 10, 10}, {0, 200, 0}})}), 0, 2, {4, 8}},
        {"a composite of a composite", FontOf({Square, CompositeGlyph({{0}}), CompositeGlyph({{1}, {0}})}), 0, 3,
         {4, 4, 8}},
        {"an empty glyph between two", FontOf({Square, {}, Square}), 0, 3, {4, 0, 4}},
        {"the second font of a collection", CollectionFile({MinimalFont(3).Build(), MinimalFont(7).Build()}), 1, 7,
         {}},
    };
}

std::vector<TBadFont> BadFonts()
{
    TBytes ZeroMetrics = TFontBuilder()
                             .Add("cmap", CmapTable())
                             .Add("hhea", HheaTable(0))
                             .Add("hmtx", {})
                             .Add("maxp", MaxpTable(2))
                             .Build();
    TBytes WrongLocFormat = TFontBuilder()
                                .Add("cmap", CmapTable())
                                .Add("glyf", Square)
                                .Add("head", HeadTable({.IndexToLocFormat = 2}))
                                .Add("hhea", HheaTable(1))
                                .Add("loca", TByteWriter().U32(0).U32(static_cast<std::uint32_t>(Square.size())))
                                .Add("maxp", MaxpTable(1))
                                .Build();
    TBytes NoSegments = TFontBuilder()
                            .Add("cmap", TByteWriter().U16(0).U16(1).U16(3).U16(1).U32(12)  // one (3, 1) encoding
                                             .U16(4).U16(14).U16(0)  // format 4, length, language
                                             .U16(0).U16(0).U16(0).U16(0))  // segCountX2 0, search fields
                            .Add("maxp", MaxpTable(1))
                            .Build();
    TBytes OldCollection = CollectionFile({MinimalFont().Build()}, 0x00030000);
    return {
        {"an empty file", {}, false, "Stream is empty!"},
        {"no cmap", TFontBuilder().Add("maxp", MaxpTable(1)).Build(), false, "Table cmap not found!"},
        {"no maxp", TFontBuilder().Add("cmap", CmapTable()).Build(), false, "Table maxp not found!"},
        {"outlines asked of a font without glyf", MinimalFont().Build(), true,
         "Font without outline information not supported (version number 1.0)."},
        {"hmtx without long metrics", ZeroMetrics, false, "hmtx numberOfHMetrics is zero while numGlyphs>0 !!"},
        {"an indexToLocFormat of 2", WrongLocFormat, true, "Wrong indexToLocFormat value 2"},
        {"a format 4 cmap of no segments", NoSegments, false, "Cmap Format 4 NumberOfSegments=0 !"},
        {"a composite that uses itself", FontOf({Square, CompositeGlyph({{1}})}), true,
         "Composite glyph 1 uses itself through its components"},
        {"a collection of an unknown version", OldCollection, false,
         "Unknown font collection format (version number 3.0)."},
        {"a collection of no fonts", TByteWriter().Tag("ttcf").U32(0x00010000).U32(0), false,
         "Font collection holds no fonts"},
    };
}

std::string Load(TTrueTypeFont& Font, const TBytes& Bytes)
{
    TMemoryStream S(Bytes);
    try {
        Font.LoadFromStream(S);
        return Font.Loaded ? "" : "not loaded";
    } catch (const std::exception& Error) {
        return Error.what();
    }
}

}  // namespace

TEST(FontSets, GoodFontsLoadWholeAndReadBackWhatWasBuilt)
{
    for (const TGoodFont& Good : GoodFonts()) {
        SCOPED_TRACE(Good.Name);
        const bool WithOutlines = !Good.Points.empty();
        TTrueTypeFont Font(WithOutlines);
        Font.Face = Good.Face;
        ASSERT_EQ(Load(Font, Good.Bytes), "");
        EXPECT_EQ(Font.MaxpTable()->numGlyphs, Good.NumGlyphs);
        ASSERT_EQ(Font.Outlines.Count(), Good.Points.size());
        for (std::size_t Glyph = 0; Glyph < Good.Points.size(); ++Glyph) {
            const TOutlineBase& Outline = Font.Outlines.Items(static_cast<std::ptrdiff_t>(Glyph));
            const int Points =
                Outline.GetComponentCount() > 0 ? Outline.GetCompositePointCount() : Outline.GetPointCount();
            EXPECT_EQ(Points, Good.Points[Glyph]) << "glyph " << Glyph;
        }
    }
}

TEST(FontSets, BadFontsAreRefusedWithTheMessageThatNamesTheirFault)
{
    for (const TBadFont& Bad : BadFonts()) {
        SCOPED_TRACE(Bad.Name);
        TTrueTypeFont Font(Bad.WithOutlines);
        EXPECT_EQ(Load(Font, Bad.Bytes), Bad.Message);
        EXPECT_FALSE(Font.Loaded);
    }
}
