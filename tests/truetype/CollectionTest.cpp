#include <gtest/gtest.h>

#include "tests/support/FontBuilder.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/tables/TableMaxp.h"

using namespace truetype;
using namespace testing_support;

namespace {

std::string Load(TTrueTypeFont& Font, const TBytes& Bytes, std::uint32_t Face)
{
    TMemoryStream S(Bytes);
    Font.Face = Face;
    try {
        Font.LoadFromStream(S);
        return "";
    } catch (const FontException& Error) {
        EXPECT_FALSE(Font.Loaded);
        return Error.what();
    }
}

void WriteU32(TBytes& Bytes, std::size_t At, std::uint32_t Value)
{
    for (std::size_t k = 0; k < 4; ++k)
        Bytes[At + k] = static_cast<std::uint8_t>(Value >> (24 - 8 * k));
}

}  // namespace

TEST(Collection, EveryFontLoadsFromItsOwnDirectoryAndSharedTablesAreRead)
{
    for (const std::uint32_t Version : {0x00010000u, 0x00020000u}) {
        const TBytes File = CollectionFile({MinimalFont(3).Build(), MinimalFont(5).Build()}, Version, 1);
        const std::uint16_t Glyphs[] = {3, 5, 3};  // font 2 shares font 0's tables
        for (std::uint32_t Face = 0; Face < 3; ++Face) {
            TTrueTypeFont Font(false);
            ASSERT_EQ(Load(Font, File, Face), "") << Face;
            EXPECT_EQ(Font.MaxpTable()->numGlyphs, Glyphs[Face]);
            ASSERT_TRUE(Font.Collection.has_value());
            EXPECT_EQ(Font.Collection->Version, Version);
            EXPECT_EQ(Font.Collection->NumFonts, 3u);
            EXPECT_EQ(Font.Collection->Offsets.size(), 3u);
            EXPECT_EQ(Font.Version, 0x00010000u);
        }
        TTrueTypeFont Font(false);
        EXPECT_EQ(Load(Font, File, 3), "Font 3 not found: the collection holds 3 fonts");
    }
    TTrueTypeFont Single(false);
    ASSERT_EQ(Load(Single, MinimalFont().Build(), 0), "");
    EXPECT_FALSE(Single.Collection.has_value());
    EXPECT_EQ(Load(Single, MinimalFont().Build(), 1), "Font 1 not found: the file holds a single font");
}

TEST(Collection, CffFontsInACollectionLoadAllButOutlines)
{
    const TBytes File = CollectionFile({MinimalFont().Build(), MinimalFont().Version(0x4F54544F).Build()});
    TTrueTypeFont Plain(false);
    EXPECT_EQ(Load(Plain, File, 1), "");
    TTrueTypeFont WithOutlines(true);
    EXPECT_EQ(Load(WithOutlines, File, 1),
              "OpenType fonts containing CFF data not supported (version number 20308.21583).");
}

TEST(Collection, HeadersTheFileCannotBackAreRefused)
{
    TBytes Many = CollectionFile({MinimalFont().Build(), MinimalFont().Build()});
    WriteU32(Many, 8, 65535);
    TTrueTypeFont Font(false);
    EXPECT_EQ(Load(Font, Many, 0).rfind("Font collection claims 65535 fonts, more than its ", 0), 0u);

    TBytes PastEnd = CollectionFile({MinimalFont().Build(), MinimalFont().Build()});
    WriteU32(PastEnd, 16, static_cast<std::uint32_t>(PastEnd.size() - 4));
    EXPECT_EQ(Load(Font, PastEnd, 0).rfind("Font 1 of the collection starts at ", 0), 0u);
    WriteU32(PastEnd, 16, 0xFFFFFFFF);
    EXPECT_EQ(Load(Font, PastEnd, 0).rfind("Font 1 of the collection starts at ", 0), 0u);

    TBytes Unknown = CollectionFile({MinimalFont().Build()});
    WriteU32(Unknown, 4, 0x00030000);
    EXPECT_EQ(Load(Font, Unknown, 0), "Unknown font collection format (version number 3.0).");
    EXPECT_EQ(Load(Font, TBytes{'t', 't', 'c', 'f', 0, 1, 0, 0, 0, 0, 0, 0}, 0), "Font collection holds no fonts");
}
