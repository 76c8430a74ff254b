#include <gtest/gtest.h>

#include <map>

#include "base/ListError.h"
#include "tests/support/FontBuilder.h"
#include "tests/support/TableIo.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/post/StandardGlyphNames.h"
#include "truetype/tables/post/TablePost.h"

using namespace truetype;
using testing_support::TByteWriter;
using testing_support::TBytes;
using testing_support::Saved;

namespace {

TByteWriter PostHeader(std::uint32_t Version)
{
    TByteWriter W;
    W.U32(Version).U32(0xFFF48000).S16(-75).S16(50).U32(1).U32(2).U32(3).U32(4).U32(5);
    return W;
}

std::unique_ptr<TTablePost> LoadPost(const TBytes& Bytes) { return testing_support::Loaded<TTablePost>("post", Bytes); }

std::vector<std::string> Names(const TTablePost& Post)
{
    std::vector<std::string> Result;
    for (std::size_t i = 0; i < Post.GlyphNames.Count(); ++i)
        Result.emplace_back(Post.GlyphNames.Items(static_cast<std::ptrdiff_t>(i)).Name);
    return Result;
}

std::string SaveError(TTablePost& Post)
{
    try {
        Saved(Post);
    } catch (const FontException& E) {
        return E.what();
    }
    return "saved";
}

}  // namespace

TEST(PostTable, StandardNamesKeepTheirOwnSpellingAndAreLookedUpExactly)
{
    const std::map<int, std::string_view> OwnSpelling = {{0, "notdef"},    {1, "null"},           {2, "CR"},
                                                         {163, "exclamationdown"}, {168, "increment"},
                                                         {172, "nbspace"}, {210, "applelogo"}, {250, "Idot"}};
    // The other 250 are the standard Macintosh order: FNV-1a of the names,
    // each followed by a line feed, as fontTools' standardGlyphOrder gives it.
    std::uint64_t Hash = 0xcbf29ce484222325;
    for (int i = 0; i < StandardGlyphNameCount; ++i) {
        const std::string_view Name = StandardGlyphNames[static_cast<std::size_t>(i)];
        if (const auto Own = OwnSpelling.find(i); Own != OwnSpelling.end()) {
            EXPECT_EQ(Name, Own->second);
            continue;
        }
        for (const char C : std::string(Name) + "\n")
            Hash = (Hash ^ static_cast<std::uint8_t>(C)) * 0x100000001b3;
    }
    EXPECT_EQ(Hash, 0xf38069c2b3dd2263u);
    for (int i = 0; i < StandardGlyphNameCount; ++i)
        EXPECT_EQ(IndexOfStandardName(StandardGlyphNames[static_cast<std::size_t>(i)]), i);
    EXPECT_EQ(IndexOfStandardName(".notdef"), -1);
    EXPECT_EQ(IndexOfStandardName("Space"), -1);
    EXPECT_EQ(IndexOfStandardName(""), -1);
    EXPECT_EQ(TTablePost::IndexOfStandardName("dcroat"), 257);
}

TEST(PostTable, Format1BecomesFormat2AndIsWrittenAs258Indices)
{
    const auto Post = LoadPost(PostHeader(0x00010000));
    EXPECT_TRUE(Post->FormatType.Is(2, 0));
    EXPECT_EQ(Post->NumberOfGlyphs, 258);
    ASSERT_EQ(Post->GlyphNames.Count(), 258u);
    EXPECT_EQ(Post->GlyphNames.Items(168).Name, "increment");
    EXPECT_EQ(Post->italicAngle, -753664);

    TByteWriter Expected = PostHeader(0x00020000);
    Expected.U16(258);
    for (std::uint16_t i = 0; i < 258; ++i)
        Expected.U16(i);
    EXPECT_EQ(Saved(*Post), Expected.Bytes());
    // Only a format 1.0 table can be changed.
    try {
        Post->ChangeToFormat2();
        FAIL();
    } catch (const FontException& E) {
        EXPECT_STREQ(E.what(), "Can't change Post FormatType 2.0 to Format 2");
    }
    EXPECT_TRUE(TWarningCollector::Warnings().empty());
}

TEST(PostTable, Format2NamesStandardCustomRepeatedAndReserved)
{
    TByteWriter W = PostHeader(0x00020000);
    W.U16(6).U16(0).U16(258).U16(258).U16(259).U16(40000).U16(260);
    W.U8(7).Text(".notdef").U8(0).U8(5).Text("Space").U8(3).Text("xyz");
    const auto Post = LoadPost(W);
    EXPECT_EQ(Names(*Post), (std::vector<std::string>{"notdef", ".notdef", ".notdef", "", "", "Space"}));

    // Every glyph with a non-standard name gets a name of its own: ".notdef"
    // (spelt otherwise in the standard list) and the empty name included.
    Post->GlyphNames.Set(4, "space");
    TByteWriter Expected = PostHeader(0x00020000);
    Expected.U16(6).U16(0).U16(258).U16(259).U16(260).U16(3).U16(261);
    Expected.U8(7).Text(".notdef").U8(7).Text(".notdef").U8(0).U8(5).Text("Space");
    EXPECT_EQ(Saved(*Post), Expected.Bytes());
    EXPECT_EQ(Names(*LoadPost(Expected)), Names(*Post));

    // Fewer names than glyphs cannot be written.
    Post->NumberOfGlyphs = 7;
    EXPECT_THROW(Saved(*Post), base::EListError);

    // A name of the list itself can be added again, however the pool grows.
    for (int i = 0; i < 100; ++i)
        Post->GlyphNames.Add(Post->GlyphNames.Items(5).Name);
    EXPECT_EQ(Post->GlyphNames.Items(105).Name, "Space");
}

TEST(PostTable, VersionsItCannotReadWarnAndBecomeEmptyFormat2)
{
    struct TCase {
        std::uint32_t Version;
        std::string Warning;
    };
    const TCase Cases[] = {
        {0x00040000, "[Apple for use with QuickDraw GX] Unsupported Post FormatType 4.0"},
        {0x00025000, "Unsupported Post Space Saving Table FormatType 2.20480"},
        {0x00035000, "Unknown Post FormatType 3.20480"},
        {0x00050000, "Unknown Post FormatType 5.0"},
        {0x00021234, "Unknown Post FormatType 2.4660"},
    };
    for (const TCase& Case : Cases) {
        TByteWriter W = PostHeader(Case.Version);
        W.U16(1).U16(3);
        const auto Post = LoadPost(W);
        EXPECT_EQ(TWarningCollector::Warnings(), std::vector<std::string>{Case.Warning}) << Case.Version;
        EXPECT_TRUE(Post->FormatType.Is(2, 0));
        EXPECT_EQ(Post->NumberOfGlyphs, 0);
        TByteWriter Expected = PostHeader(0x00020000);
        EXPECT_EQ(Saved(*Post), Expected.U16(0).Bytes());
    }
}

TEST(PostTable, Format3IsItsHeaderAndOtherVersionsAreNotWritten)
{
    const TBytes Header = PostHeader(0x00030000);
    const auto Post = LoadPost(TByteWriter(PostHeader(0x00030000)).U16(5).Bytes());
    EXPECT_EQ(Post->GlyphNames.Count(), 0u);
    EXPECT_TRUE(TWarningCollector::Warnings().empty());
    EXPECT_EQ(Saved(*Post), Header);

    Post->FormatType = {1, 0};
    EXPECT_EQ(SaveError(*Post), "Saving not supported: Post FormatType 1.0");
    Post->FormatType = {4, 0};
    EXPECT_EQ(SaveError(*Post), "[Apple for use with QuickDraw GX] Unsupported Post FormatType 4.0");
    Post->FormatType = {2, 0x5000};
    EXPECT_EQ(SaveError(*Post), "Unsupported Post Space Saving Table FormatType 2.20480");
    Post->FormatType = {7, 0x5000};
    EXPECT_EQ(SaveError(*Post), "Unknown Post FormatType 7.20480");
    Post->FormatType = {-1, 0};
    EXPECT_EQ(SaveError(*Post), "Unknown Post FormatType -1.0");
}

TEST(PostTable, MoreThan32510CustomNamesAreWrittenAsIndexZero)
{
    TTablePost Post("post");
    Post.FormatType = {2, 0};
    Post.NumberOfGlyphs = 32512;
    for (int i = 0; i < 32512; ++i)
        Post.GlyphNames.Add("g1");
    const TBytes Bytes = Saved(Post);
    testing_support::TBytes Tail(Bytes.begin() + 34 + 2 * 32509, Bytes.begin() + 34 + 2 * 32512);
    EXPECT_EQ(Tail, (TBytes{0x7F, 0xFF, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes.size(), 34u + 2 * 32512 + 3 * 32510);
}

TEST(PostTable, IndicesIntoNothingCostNoMoreThanTheGlyphCount)
{
    // 65535 glyphs pointing at the last custom name, none of which exist.
    TByteWriter W = PostHeader(0x00020000);
    W.U16(0xFFFF);
    for (int i = 0; i < 0xFFFF; ++i)
        W.U16(32767);
    const auto Post = LoadPost(W);
    ASSERT_EQ(Post->GlyphNames.Count(), 0xFFFFu);
    EXPECT_EQ(Post->GlyphNames.Items(0xFFFE).Name, "");

    // A table cut after its count: the missing indices read as 0.
    const auto Cut = LoadPost(TByteWriter(PostHeader(0x00020000)).U16(0xFFFF).U16(3).Bytes());
    ASSERT_EQ(Cut->GlyphNames.Count(), 0xFFFFu);
    EXPECT_EQ(Cut->GlyphNames.Items(0).Name, "space");
    EXPECT_EQ(Cut->GlyphNames.Items(1).Name, "notdef");

    // A custom name the end of the file cuts keeps what it has; the names
    // after it are empty.
    const auto CutName = LoadPost(TByteWriter(PostHeader(0x00020000)).U16(3).U16(259).U16(258).U16(260)
                                      .U8(1).Text("a").U8(5).Text("bc").Bytes());
    EXPECT_EQ(Names(*CutName), (std::vector<std::string>{"bc", "a", ""}));
}

TEST(PostTable, LoaderCreatesTheTable)
{
    TByteWriter W = PostHeader(0x00020000);
    W.U16(3).U16(0).U16(3).U16(258).U8(5).Text("alpha");
    TMemoryStream S(testing_support::MinimalFont().Add("post", W).Build());
    TTrueTypeFont Font(false);
    Font.LoadFromStream(S);
    const auto* Post = dynamic_cast<const TTablePost*>(Font.Tables.FindTable("post"));
    ASSERT_NE(Post, nullptr);
    EXPECT_EQ(Names(*Post), (std::vector<std::string>{"notdef", "space", "alpha"}));
}
