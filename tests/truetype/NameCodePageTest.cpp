#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "NameTestSupport.h"
#include "runtime/CodePage.h"

using namespace truetype;
using namespace testing_support;
using namespace name_tests;

namespace {

std::string AllBytes()
{
    std::string Bytes;
    for (int i = 0; i < 256; ++i)
        Bytes += static_cast<char>(i);
    return Bytes;
}

// Whether the system's ANSI code page is Windows-1252 (always so off Windows).
bool AnsiIsWindows1252()
{
#ifdef _WIN32
    return GetACP() == 1252;
#else
    return true;
#endif
}

}  // namespace

TEST(NameCodePage, Windows1252BothWays)
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
    for (const char16_t Undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(Text[Undefined], Undefined);
    // Every byte survives the round trip.
    EXPECT_EQ(Utf16ToWindows1252(Text), AllBytes());

    // What the code page lacks is one '?' per character, a surrogate pair included.
    const std::string Expected{'A', '?', '?', '\x82', '?', '?', 'z', '?'};
    EXPECT_EQ(Utf16ToWindows1252(u"A\u0100\u0080\u201A\U0001F600\xD800z\xDC00"), Expected);
    EXPECT_EQ(Utf16ToWindows1252(u""), "");
    EXPECT_EQ(Windows1252ToUtf16(""), u"");
}

TEST(NameCodePage, TheAnsiCodePageIsWindows1252OutsideWindows)
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

TEST(NameCodePage, OneBytePlatformsGoThroughTheCodePage)
{
    if (!AnsiIsWindows1252())
        GTEST_SKIP() << "the system's ANSI code page is not 1252";
    // Platform 1 stores "Café €" as six bytes; 0x81 becomes U+0081.
    TByteWriter W;
    W.U16(0).U16(1).U16(18).U16(1).U16(0).U16(0).U16(4).U16(7).U16(0).Text("Caf\xE9 \x80\x81");
    auto Name = LoadName(W);
    EXPECT_EQ(Flatten(Name->Names), (std::vector<TRecord>{{1, 0, 0, 4, u"Caf\u00E9 \u20AC\u0081"}}));
    EXPECT_EQ(SaveName(*Name), W.Bytes());

    // A character outside the code page is stored as '?', its length in bytes.
    TTableName Other("name");
    Other.Names.AddName(2, 0, 0, 1, u"\u4E2Dx");
    const TBytes Bytes = SaveName(Other);
    EXPECT_EQ(Bytes, TByteWriter().U16(0).U16(1).U16(18).U16(2).U16(0).U16(0).U16(1).U16(2).U16(0).Text("?x").Bytes());
}
