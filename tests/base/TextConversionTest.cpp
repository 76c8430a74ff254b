#include <gtest/gtest.h>

#include "base/AsciiText.h"
#include "base/TextConversion.h"
#include "tests/support/SystemCodePage.h"

using namespace base;
using testing_support::AnsiIsWindows1252;

namespace {

std::string AllBytes()
{
    std::string Bytes;
    for (int i = 0; i < 256; ++i)
        Bytes += static_cast<char>(i);
    return Bytes;
}

}  // namespace

TEST(TextConversion, EveryUtf16StringSurvivesTheTripThroughUtf8)
{
    const std::u16string Samples[] = {u"", u"Arial (TrueType)", u"\u00C4\u20AC\u4E2D", u"\U0001D11E",
                                      std::u16string{u'A', 0xD800, u'B'}, std::u16string{0xDC00},
                                      std::u16string{0xDBFF}};
    for (const std::u16string& Text : Samples)
        EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(Text)), Text);
    EXPECT_EQ(Utf16ToUtf8(u"\u00C4\U0001D11E"), "\xC3\x84\xF0\x9D\x84\x9E");
    // An unpaired surrogate is kept as WTF-8, or replaced for readers of UTF-8 only.
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', 0xD800}), "a\xED\xA0\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', 0xD800}, TLoneSurrogates::Replace), "a\xEF\xBF\xBD");
#ifdef _WIN32
    EXPECT_EQ(Utf8ToWide(Utf16ToUtf8(std::u16string{u'a', 0xDC00})), (std::wstring{L'a', 0xDC00}));
    EXPECT_EQ(WideToUtf8(std::wstring{L'a', 0xDC00}), "a\xED\xB0\x80");
#endif
    // Bytes that are not UTF-8 become one U+FFFD each.
    EXPECT_EQ(Utf8ToUtf16("a\xFF\xC3z\xF0\x9D\x84"), (std::u16string{u'a', 0xFFFD, 0xFFFD, u'z', 0xFFFD, 0xFFFD, 0xFFFD}));
}

TEST(TextConversion, AsciiComparisonsFoldOnlyAsciiLetters)
{
    EXPECT_EQ(CompareTextAscii("arial.TTF", "ARIAL.ttf"), 0);
    EXPECT_LT(CompareTextAscii("Arial", "Arial Bold"), 0);
    EXPECT_GT(CompareTextAscii("_", "a"), 0);  // '_' (5F) against 'A' (41): letters fold to upper case
    EXPECT_FALSE(SameTextAscii("\xC3\xA4", "\xC3\x84"));
    EXPECT_EQ(UpperCaseAscii("Marlett.ttf \xC3\xA4"), "MARLETT.TTF \xC3\xA4");
}

TEST(CodePage, Windows1252BothWays)
{
    const std::u16string Text = Windows1252ToUtf16(AllBytes());
    ASSERT_EQ(Text.size(), 256u);
    EXPECT_EQ(Text[0x41], u'A');
    EXPECT_EQ(Text[0x80], u'\u20AC');
    EXPECT_EQ(Text[0x8A], u'\u0160');
    EXPECT_EQ(Text[0x9F], u'\u0178');
    EXPECT_EQ(Text[0xA0], u'\u00A0');
    EXPECT_EQ(Text[0xE9], u'\u00E9');
    // The five bytes the code page leaves undefined are their C1 controls.
    for (const char16_t Undefined : {u'\x81', u'\x8D', u'\x8F', u'\x90', u'\x9D'})
        EXPECT_EQ(Text[Undefined], Undefined);
    // Every byte survives the round trip.
    EXPECT_EQ(Utf16ToWindows1252(Text), AllBytes());

    // What the code page lacks is one '?' per character, a surrogate pair included.
    const std::string Expected{'A', '?', '?', '\x82', '?', '?', 'z', '?'};
    EXPECT_EQ(Utf16ToWindows1252(u"A\u0100\u0080\u201A\U0001F600\xD800z\xDC00"), Expected);
    EXPECT_EQ(Utf16ToWindows1252(u""), "");
    EXPECT_EQ(Windows1252ToUtf16(""), u"");
}

TEST(CodePage, TheAnsiCodePageIsWindows1252OutsideWindows)
{
    EXPECT_EQ(AnsiToUtf16("Plain ASCII"), u"Plain ASCII");
    EXPECT_EQ(Utf16ToAnsi(u"Plain ASCII"), "Plain ASCII");
    EXPECT_EQ(AnsiToUtf16(""), u"");
    EXPECT_EQ(Utf16ToAnsi(u""), "");
    if (!AnsiIsWindows1252())
        GTEST_SKIP() << "the system's ANSI code page is not 1252";
    EXPECT_EQ(AnsiToUtf16(AllBytes()), Windows1252ToUtf16(AllBytes()));
    EXPECT_EQ(Utf16ToAnsi(Windows1252ToUtf16(AllBytes())), AllBytes());
}
