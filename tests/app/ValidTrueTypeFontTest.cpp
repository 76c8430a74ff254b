#include <gtest/gtest.h>

#include "app/ValidTrueTypeFontUnit.h"
#include "tests/app/AppTestSupport.h"

using namespace app;
using namespace app_testing;
using namespace testing_support;

namespace {

// An offset table, Dummies records of another tag, then one record of Tag
// pointing at a head body (or at Offset when given).
TBytes Directory(std::size_t Dummies, std::string_view Tag, std::optional<std::uint32_t> Offset = {},
                 std::uint32_t Magic = 0x5F0F3CF5)
{
    TByteWriter W;
    W.U32(0x00010000).U16(0).U16(0).U16(0).U16(0);  // numTables 0: never trusted
    const auto HeadAt = static_cast<std::uint32_t>(12 + 16 * (Dummies + 1));
    for (std::size_t i = 0; i < Dummies; ++i)
        W.Tag("abcd").U32(0).U32(1).U32(0);
    W.Tag(Tag).U32(0).U32(Offset.value_or(HeadAt)).U32(54);
    return W.Raw(HeadTable({.Magic = Magic}));
}

bool Valid(const TBytes& Bytes)
{
    base::TMemoryStream Stream(Bytes);
    return IsValidTrueTypeFont(Stream);
}

std::int32_t Offset(const TBytes& Bytes, std::string_view Tag)
{
    base::TMemoryStream Stream(Bytes);
    return FindTableOffset(Stream, Tag);
}

}  // namespace

TEST(ValidTrueTypeFont, FindsTheHeadRecordAmongTheFirstFiftyWithoutRegardToCase)
{
    EXPECT_EQ(Offset(Directory(0, "head"), "head"), 28);
    EXPECT_TRUE(Valid(Directory(0, "head")));
    EXPECT_TRUE(Valid(Directory(3, "HEAD")));
    EXPECT_TRUE(Valid(Directory(49, "Head")));
    // The 51st record is never read.
    EXPECT_EQ(Offset(Directory(50, "head"), "head"), -1);
    EXPECT_FALSE(Valid(Directory(50, "head")));
    EXPECT_EQ(Offset(Directory(2, "head"), "abcd"), 1);
    // A tag is text up to its first NUL: "hea" followed by NUL is no "head".
    TBytes Short = Directory(0, "head");
    Short[15] = 0;
    EXPECT_EQ(Offset(Short, "head"), -1);
    EXPECT_EQ(Offset(Short, "hea"), 28);
}

TEST(ValidTrueTypeFont, RefusesOffsetsOfZeroAndBeyondTheSignedRange)
{
    EXPECT_FALSE(Valid(Directory(0, "head", 0)));
    EXPECT_EQ(Offset(Directory(0, "head", 0x80000000u), "head"), std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(Valid(Directory(0, "head", 0x80000000u)));
    EXPECT_FALSE(Valid(Directory(0, "head", 0xFFFFFFFFu)));
    EXPECT_FALSE(Valid(Directory(0, "head", {}, 0x5F0F3CF4)));
}

TEST(ValidTrueTypeFont, NeedsAllSixteenBytesOfTheHeadStart)
{
    const TBytes Whole = Directory(0, "head");
    EXPECT_TRUE(Valid(TBytes(Whole.begin(), Whole.begin() + 28 + 16)));
    EXPECT_FALSE(Valid(TBytes(Whole.begin(), Whole.begin() + 28 + 15)));
    EXPECT_FALSE(Valid(TBytes(Whole.begin(), Whole.begin() + 20)));
    EXPECT_FALSE(Valid({}));
}

TEST(ValidTrueTypeFont, AnswersForFilesThatAreMissingOrNoFonts)
{
    TMachine Machine;
    Machine.Files.PutFile(Machine.InFonts("good.ttf"), NamedFont(u"Good"));
    Machine.Files.PutFile(Machine.InFonts("text.ttf"), std::string_view("not a font at all, just some text"));
    EXPECT_TRUE(IsValidTrueTypeFont(Machine.Files, "C:\\WINDOWS\\FONTS\\GOOD.TTF"));
    EXPECT_FALSE(IsValidTrueTypeFont(Machine.Files, Machine.InFonts("text.ttf")));
    EXPECT_FALSE(IsValidTrueTypeFont(Machine.Files, Machine.InFonts("missing.ttf")));
    EXPECT_FALSE(IsValidTrueTypeFont(Machine.Files, FontsFolder));
    EXPECT_EQ(FindTableOffset(Machine.Files, Machine.InFonts("missing.ttf"), "head"), -1);
}

TEST(ValidTrueTypeFont, JudgesACollectionByItsHeaderAndTheHeadOfEveryFont)
{
    const TBytes Good = NamedFont(u"Good");
    const TBytes Bad = Directory(0, "head", {}, 0x12345678);
    EXPECT_TRUE(Valid(CollectionFile({Good, Good})));
    EXPECT_FALSE(Valid(CollectionFile({Good, Bad})));
    TBytes Many = CollectionFile({Good, Good});
    Many[8] = Many[9] = 0xFF;  // 2 fonts become 0xFFFF0002
    EXPECT_FALSE(Valid(Many));
}
