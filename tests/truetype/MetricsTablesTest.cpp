#include <gtest/gtest.h>

#include "tests/support/FontBuilder.h"
#include "tests/support/TableIo.h"
#include "truetype/tables/TableHead.h"
#include "truetype/tables/TableHhea.h"
#include "truetype/tables/TableHmtx.h"
#include "truetype/tables/TableLoca.h"
#include "truetype/tables/TableMaxp.h"

using namespace truetype;
using testing_support::TByteWriter;

using testing_support::Saved;

namespace {

std::unique_ptr<TTableHmtx> LoadHmtx(std::uint16_t NumberOfHMetrics, std::uint16_t NumGlyphs,
                                     std::vector<std::uint8_t> Bytes)
{
    auto Hmtx = std::make_unique<TTableHmtx>("hmtx");
    Hmtx->NumberOfHMetrics = NumberOfHMetrics;
    Hmtx->NumGlyphs = NumGlyphs;
    TMemoryStream S(std::move(Bytes));
    Hmtx->LoadFromStream(S);
    return Hmtx;
}

std::vector<std::uint16_t> Advances(const TTableHmtx& Hmtx)
{
    std::vector<std::uint16_t> Result;
    for (std::size_t i = 0; i < Hmtx.Count(); ++i)
        Result.push_back(Hmtx.Items(static_cast<std::ptrdiff_t>(i)).AdvanceWidth);
    return Result;
}

}  // namespace

TEST(FixedTables, HeadHheaAndMaxpRoundTripAndHeadFixesItsMagic)
{
    TMemoryStream S(testing_support::HeadTable({.Magic = 0xDEADBEEF, .IndexToLocFormat = 1}));
    TTableHead Head("head");
    Head.LoadFromStream(S);
    EXPECT_EQ(S.Position(), 54);
    EXPECT_EQ(Head.magicNumber, 0xDEADBEEFu);
    EXPECT_EQ(Head.fontRevision, 0x00028000u);
    EXPECT_EQ(Head.created, 3600000000);
    EXPECT_EQ(Head.xMin, -100);
    EXPECT_EQ(Head.indexToLocFormat, 1);
    auto Expected = testing_support::HeadTable({.IndexToLocFormat = 1});
    EXPECT_EQ(Saved(Head), Expected);
    EXPECT_EQ(Head.magicNumber, TTableHead::MagicNumber);

    const auto HheaBytes = testing_support::HheaTable(7);
    TMemoryStream H(HheaBytes);
    TTableHhea Hhea("hhea");
    Hhea.LoadFromStream(H);
    EXPECT_EQ(H.Position(), 36);
    EXPECT_EQ(Hhea.descender, -500);
    EXPECT_EQ(Hhea.numberOfHMetrics, 7);
    EXPECT_EQ(Saved(Hhea), HheaBytes);

    const auto MaxpBytes = testing_support::MaxpTable(42);
    TMemoryStream M(MaxpBytes);
    TTableMaxp Maxp("maxp");
    Maxp.LoadFromStream(M);
    EXPECT_EQ(Maxp.numGlyphs, 42);
    EXPECT_EQ(Maxp.maxPoints, 10);
    EXPECT_EQ(Maxp.maxComponentDepth, 130);
    EXPECT_EQ(Saved(Maxp), MaxpBytes);
}

TEST(FixedTables, MaxpVersionHalfReadsOnIntoWhatFollows)
{
    TMemoryStream S(TByteWriter().U32(0x00005000).U16(9).U16(0xAAAA).U16(0xBBBB));
    TTableMaxp Maxp("maxp");
    Maxp.LoadFromStream(S);
    EXPECT_EQ(Maxp.numGlyphs, 9);
    EXPECT_EQ(Maxp.maxPoints, 0xAAAA);
    EXPECT_EQ(Maxp.maxContours, 0xBBBB);
    EXPECT_EQ(Maxp.maxCompositePoints, 0);  // past the end: zeros
}

TEST(Hmtx, ShortEntriesRepeatTheLastAdvance)
{
    auto Hmtx = LoadHmtx(3, 5, TByteWriter().U16(10).S16(1).U16(20).S16(2).U16(30).S16(3).S16(-4).S16(-5));
    EXPECT_EQ(Advances(*Hmtx), (std::vector<std::uint16_t>{10, 20, 30, 30, 30}));
    EXPECT_EQ(Hmtx->Items(3).LeftSideBearing, -4);
    EXPECT_EQ(Hmtx->Items(4).LeftSideBearing, -5);

    auto Extra = LoadHmtx(10, 4, TByteWriter().U16(1).S16(0).U16(2).S16(0).U16(3).S16(0).U16(4).S16(0).U16(99));
    EXPECT_EQ(Advances(*Extra), (std::vector<std::uint16_t>{1, 2, 3, 4}));

    EXPECT_EQ(LoadHmtx(0, 0, {})->Count(), 0u);
    try {
        LoadHmtx(0, 5, {});
        FAIL();
    } catch (const FontException& Error) {
        EXPECT_STREQ(Error.what(), "hmtx numberOfHMetrics is zero while numGlyphs>0 !!");
    }
}

TEST(Hmtx, MoreGlyphsThanTheFileHoldsReadAsZeros)
{
    auto Hmtx = LoadHmtx(1, 65535, TByteWriter().U16(700).S16(5).U8(0xFF));
    ASSERT_EQ(Hmtx->Count(), 65535u);
    EXPECT_EQ(Hmtx->Items(1).LeftSideBearing, -256);  // cut by the end: its low byte reads as zero
    EXPECT_EQ(Hmtx->Items(65534).AdvanceWidth, 700);
    EXPECT_EQ(Hmtx->Items(65534).LeftSideBearing, 0);
    // A long entry past the end has width 0, and so have the short ones.
    auto Cut = LoadHmtx(3, 9, TByteWriter().U16(700).S16(5).U16(800));
    EXPECT_EQ(Advances(*Cut), (std::vector<std::uint16_t>{700, 800, 0, 0, 0, 0, 0, 0, 0}));
    // Changing the entries past the file keeps every entry in place.
    Hmtx->Items(65534).LeftSideBearing = 9;
    Hmtx->Add({1, 2});
    ASSERT_EQ(Hmtx->Count(), 65536u);
    EXPECT_EQ(Hmtx->Items(65533).AdvanceWidth, 700);
    EXPECT_EQ(Hmtx->Items(65534).LeftSideBearing, 9);
    EXPECT_EQ(Hmtx->Items(65535).AdvanceWidth, 1);

    TTableLoca Loca("loca");
    Loca.IndexToLocFormat = 1;
    Loca.NumGlyphs = 65535;
    TMemoryStream S(TByteWriter().U32(4).U16(0x1234));
    Loca.LoadFromStream(S);
    ASSERT_EQ(Loca.Count(), 65536u);
    EXPECT_EQ(Loca.Locations(1).Offset, 0x12340000u);
    EXPECT_EQ(Loca.Locations(65535).Offset, 0u);
    EXPECT_THROW(Loca.Locations(65536), std::out_of_range);
}

TEST(Hmtx, WritingKeepsLongEntriesUpToTheFinalRunOfEqualAdvances)
{
    auto NumberFor = [](std::vector<std::uint16_t> Widths, bool Optimize = true) {
        TTableHmtx Hmtx("hmtx");
        Hmtx.NumGlyphs = static_cast<std::uint16_t>(Widths.size());
        Hmtx.OptimizeHMetrics = Optimize;
        for (const auto W : Widths)
            Hmtx.Add({W, 0});
        Hmtx.CalcNumberOfHMetrics();
        return Hmtx.NumberOfHMetrics;
    };
    EXPECT_EQ(NumberFor({5, 6, 7, 7}), 3);
    EXPECT_EQ(NumberFor({5, 7, 7, 7}), 2);
    EXPECT_EQ(NumberFor({7, 7, 7, 7}), 2);
    EXPECT_EQ(NumberFor({7}), 1);
    EXPECT_EQ(NumberFor({}), 0);
    EXPECT_EQ(NumberFor({5, 6, 7, 7}, false), 4);

    auto Hmtx = LoadHmtx(4, 4, TByteWriter().U16(5).S16(1).U16(6).S16(2).U16(7).S16(3).U16(7).S16(4));
    EXPECT_EQ(Saved(*Hmtx), (std::vector<std::uint8_t>(TByteWriter().U16(5).S16(1).U16(6).S16(2).U16(7).S16(3).S16(4))));
    EXPECT_EQ(Hmtx->NumberOfHMetrics, 3);

    TTableHmtx Missing("hmtx");
    Missing.NumGlyphs = 2;
    Missing.Add({1, 1});
    EXPECT_THROW(Saved(Missing), std::out_of_range);
}

TEST(Loca, ReadsBothFormatsAndRefusesOthers)
{
    auto Load = [](std::int16_t Format, std::uint16_t NumGlyphs, std::vector<std::uint8_t> Bytes) {
        auto Loca = std::make_unique<TTableLoca>("loca");
        Loca->IndexToLocFormat = Format;
        Loca->NumGlyphs = NumGlyphs;
        TMemoryStream S(std::move(Bytes));
        Loca->LoadFromStream(S);
        return Loca;
    };
    auto Short = Load(0, 2, TByteWriter().U16(0).U16(0x8000).U16(0xFFFF));
    EXPECT_EQ(Short->Locations(1).Offset, 65536u);
    EXPECT_EQ(Short->Locations(2).Offset, 131070u);
    EXPECT_EQ(Saved(*Short), (std::vector<std::uint8_t>(TByteWriter().U16(0).U16(0x8000).U16(0xFFFF))));

    auto Long = Load(1, 1, TByteWriter().U32(4).U32(0x12345678));
    EXPECT_EQ(Long->Locations(1).Offset, 0x12345678u);
    EXPECT_THROW(Long->Locations(2), std::out_of_range);

    EXPECT_EQ(Load(2, 0, {})->Count(), 0u);  // no glyphs: the format is not looked at
    for (const std::int16_t Bad : {std::int16_t{2}, std::int16_t{-1}}) {
        try {
            Load(Bad, 1, {});
            FAIL();
        } catch (const FontException& Error) {
            EXPECT_EQ(std::string(Error.what()), "Wrong indexToLocFormat value " + std::to_string(Bad));
        }
    }
}

TEST(Loca, WritingRefusesWhatItCannotStore)
{
    TTableLoca Empty("loca");
    try {
        Saved(Empty);
        FAIL();
    } catch (const FontException& Error) {
        EXPECT_STREQ(Error.what(), "Can't save loca table to stream when numglyphs is zero!");
    }

    TTableLoca Loca("loca");
    Loca.NumGlyphs = 1;
    Loca.Add({0});
    Loca.Add({0x20000});  // beyond what a halved 16-bit offset can hold
    EXPECT_THROW(Saved(Loca), FontException);
    Loca.IndexToLocFormat = 1;
    EXPECT_EQ(Saved(Loca).size(), 8u);
}
