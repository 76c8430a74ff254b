// Name tables built to make a small file cost much. Times are printed, never
// asserted.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>

#include "tests/truetype/NameTestSupport.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/sfnt/UnitWarningCollector.h"

using namespace truetype;
using namespace testing_support;
using namespace name_tests;

namespace {

// A format 0 table of 65535 records made by Record(i), with stringOffset
// StringOffset and Storage following the records.
TBytes ManyRecords(std::uint16_t StringOffset, const std::function<void(TByteWriter&, std::uint16_t)>& Record,
                   const TBytes& Storage = {})
{
    TByteWriter W;
    W.U16(0).U16(0xFFFF).U16(StringOffset);
    for (std::uint32_t i = 0; i < 0xFFFF; ++i)
        Record(W, static_cast<std::uint16_t>(i));
    return W.Raw(Storage);
}

// Loads the table into a whole font, as the application does, and prints the time.
std::unique_ptr<TTrueTypeFont> TimedFontLoad(const std::string& What, const TBytes& Name)
{
    auto Font = std::make_unique<TTrueTypeFont>(false);
    TMemoryStream S(MinimalFont().Add("name", Name).Build());
    const auto Started = std::chrono::steady_clock::now();
    Font->LoadFromStream(S);
    const auto Elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Started);
    std::cout << "[ measure  ] " << What << ": " << Elapsed.count() << " ms for " << S.Size() << " bytes\n";
    return Font;
}

}  // namespace

TEST(NameHostile, ManyRecordsOnOneLongStringStopAtTheDecodingBudget)
{
    // 65535 records, all reading the same 65534 bytes (the records
    // themselves): 4 GB of text without the budget. The last one, short,
    // still fits into what the budget has left.
    const TBytes Table = ManyRecords(6, [](TByteWriter& W, std::uint16_t i) {
        W.U16(3).U16(1).U16(0x409).U16(i).U16(i == 0xFFFE ? 2 : 0xFFFE).U16(0);
    });
    const auto Font = TimedFontLoad("65535 records on one 64 KB string", Table);
    const TTableName* Name = Font->NameTable();
    ASSERT_NE(Name, nullptr);
    const std::size_t Fitting = TTableName::MaxDecodedBytes / 0xFFFE;
    EXPECT_EQ(Name->FindPlatform(3, 1)->Items(0).Count(), Fitting + 1);
    const std::string Expected = FormatText("[ignored] %d name records: their strings would pass the %d bytes of "
                                            "text one name table may decode",
                                            {0xFFFE - Fitting, TTableName::MaxDecodedBytes});
    EXPECT_EQ(TWarningCollector::Warnings(), std::vector<std::string>{Expected});
}

TEST(NameHostile, ManyDistinctKeysAtEveryLevelLoadInLinearTime)
{
    const auto Names = TimedFontLoad("65535 name IDs in one language", ManyRecords(6, [](TByteWriter& W, std::uint16_t i) {
        W.U16(3).U16(1).U16(0x409).U16(i).U16(0).U16(0);
    }));
    EXPECT_EQ(Names->NameTable()->FindPlatform(3, 1)->FindLanguage(0x409)->Count(), 0xFFFFu);
    std::u16string Text = u"?";
    EXPECT_TRUE(Names->NameTable()->FindPlatform(3, 1)->GetName(0x409, 0xFFFE, Text));
    EXPECT_EQ(Text, u"");

    const auto Languages = TimedFontLoad("65535 languages", ManyRecords(6, [](TByteWriter& W, std::uint16_t i) {
        W.U16(3).U16(1).U16(i).U16(4).U16(0).U16(0);
    }));
    EXPECT_EQ(Languages->NameTable()->FindPlatform(3, 1)->Count(), 0xFFFFu);

    const auto Platforms = TimedFontLoad("65535 platform pairs", ManyRecords(6, [](TByteWriter& W, std::uint16_t i) {
        W.U16(i >> 8).U16(i & 0xFF).U16(0).U16(4).U16(2).U16(i);
    }));
    EXPECT_EQ(Platforms->NameTable()->Names.Count(), 0xFFFFu);
    EXPECT_NE(Platforms->NameTable()->FindPlatform(0xFF, 0xFE), nullptr);
}

TEST(NameHostile, LengthsAndOffsetsPastTheTableReadWhatTheStreamHas)
{
    // Offsets and lengths at their largest from a storage near the end of
    // the file; a record count running past the end reads zeros.
    TByteWriter W;
    W.U16(0).U16(0xFFFF).U16(0xFFFF);
    W.U16(1).U16(0).U16(0).U16(1).U16(0xFFFF).U16(0xFFFF);
    W.U16(3).U16(1).U16(0).U16(1).U16(0xFFFF).U16(0);
    const auto Font = TimedFontLoad("65535 records in a 30-byte table", W);
    const TTableName* Name = Font->NameTable();
    ASSERT_NE(Name, nullptr);
    // The zero records past the end all land on (0, 0, 0, 0).
    EXPECT_EQ(Flatten(Name->Names),
              (std::vector<TRecord>{{1, 0, 0, 1, u""}, {3, 1, 0, 1, u""}, {0, 0, 0, 0, u""}}));
}

TEST(NameHostile, SavingTheLargestTablesStaysQuick)
{
    // 5460 records, the most a table can hold. First the worst case of the
    // search for shared strings: one 65535-byte string and 5459 short ones
    // that occur nowhere, each searched for in all the others. Then 5459
    // pieces of one long string, which all share.
    for (const bool Distinct : {true, false}) {
        TTableName Name("name");
        std::u16string Long;
        for (std::uint32_t i = 0; Long.size() < (Distinct ? 0xFFFFu : 2000u); ++i)
            Long += static_cast<char16_t>(u'a' + i * 7 % 26);
        for (std::uint16_t i = 0; i < 5459; ++i) {
            std::u16string Short(12, u'z');
            Short[0] = static_cast<char16_t>(u'A' + i / 676);
            Short[1] = static_cast<char16_t>(u'A' + i / 26 % 26);
            Short[2] = static_cast<char16_t>(u'A' + i % 26);
            Name.Names.AddName(Distinct ? 1 : 3, 0, i / 256, i % 256, Distinct ? Short : Long.substr(i % 1900, 100));
        }
        // Last in the record order, so that every string starts below 65536.
        Name.Names.AddName(Distinct ? 1 : 3, 0, 0xFFFF, 0, Long);
        const auto Started = std::chrono::steady_clock::now();
        const TBytes Bytes = SaveName(Name);
        const auto Elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Started);
        std::cout << "[ measure  ] saving 5460 " << (Distinct ? "unshareable" : "shared") << " strings: "
                  << Elapsed.count() << " ms, " << Bytes.size() << " bytes\n";
        auto Again = LoadName(Bytes);
        EXPECT_EQ(Flatten(Again->Names), Flatten(Name.Names));
    }
}
