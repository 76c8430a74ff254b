#include <gtest/gtest.h>

#include "tests/support/SystemCodePage.h"
#include "tests/truetype/NameTestSupport.h"

using namespace truetype;
using namespace testing_support;
using namespace name_tests;

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
