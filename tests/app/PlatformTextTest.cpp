#include <gtest/gtest.h>

#include "NativePlatform.h"
#include "TextConversion.h"

using namespace platform;

TEST(PlatformText, EveryUtf16StringSurvivesTheTripThroughUtf8)
{
    const std::u16string Samples[] = {u"", u"Arial (TrueType)", u"\u00C4\u20AC\u4E2D", u"\U0001D11E",
                                      std::u16string{u'A', 0xD800, u'B'}, std::u16string{0xDC00},
                                      std::u16string{0xDBFF}};
    for (const std::u16string& Text : Samples)
        EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(Text)), Text);
    EXPECT_EQ(Utf16ToUtf8(u"\u00C4\U0001D11E"), "\xC3\x84\xF0\x9D\x84\x9E");
    // Bytes that are not UTF-8 become one U+FFFD each.
    EXPECT_EQ(Utf8ToUtf16("a\xFF\xC3z\xF0\x9D\x84"), (std::u16string{u'a', 0xFFFD, 0xFFFD, u'z', 0xFFFD, 0xFFFD, 0xFFFD}));
}

TEST(PlatformText, AsciiComparisonsFoldOnlyAsciiLetters)
{
    EXPECT_EQ(CompareTextAscii("arial.TTF", "ARIAL.ttf"), 0);
    EXPECT_LT(CompareTextAscii("Arial", "Arial Bold"), 0);
    EXPECT_GT(CompareTextAscii("_", "a"), 0);  // '_' (5F) against 'A' (41): letters fold to upper case
    EXPECT_FALSE(SameTextAscii("\xC3\xA4", "\xC3\x84"));
    EXPECT_EQ(UpperCaseAscii("Marlett.ttf \xC3\xA4"), "MARLETT.TTF \xC3\xA4");

    TNativeTextServices Text;
    bool Lossy = false;
    EXPECT_EQ(Text.Utf8ToAnsi("\xE2\x82\xAC \xC3\xA9", &Lossy), "\x80 \xE9");
    EXPECT_FALSE(Lossy);
    EXPECT_EQ(Text.Utf8ToAnsi("\xE4\xB8\xAD", &Lossy), "?");
    EXPECT_TRUE(Lossy);
    EXPECT_EQ(Text.AnsiToUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
}
