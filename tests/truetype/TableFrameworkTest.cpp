#include <gtest/gtest.h>

#include "truetype/sfnt/FontTables.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/TableHead.h"
#include "truetype/tables/TableHinting.h"
#include "truetype/tables/TableUnknown.h"

using namespace truetype;

namespace {

std::vector<std::string> Tags(const TFontTables& Tables)
{
    std::vector<std::string> Result;
    for (const TFontTable& Table : Tables)
        Result.push_back(Table.Tag());
    return Result;
}

}  // namespace

TEST(FontTables, KeepsTablesInByteOrderAndRefusesDuplicates)
{
    TFontTables Tables;
    for (const char* Tag : {"name", "cmap", "OS/2", "head", "cvt ", "fpgm", "PCLT"})
        Tables.Add(std::make_unique<TTableUnknown>(Tag));
    EXPECT_EQ(Tags(Tables), (std::vector<std::string>{"OS/2", "PCLT", "cmap", "cvt ", "fpgm", "head", "name"}));
    EXPECT_EQ(Tables.Items(1).Tag(), "PCLT");
    EXPECT_THROW(Tables.Items(7), std::out_of_range);

    Tables.Add(std::make_unique<TTableUnknown>("glyf"));
    try {
        Tables.Add(std::make_unique<TTableUnknown>("glyf"));
        FAIL();
    } catch (const FontException& Error) {
        EXPECT_STREQ(Error.what(), "Table glyf already exists!");
    }
    EXPECT_EQ(Tables.Count(), 8u);

    EXPECT_EQ(Tables.FindTable("loca"), nullptr);
    EXPECT_EQ(Tables.FindTable("GLYF"), nullptr);
    EXPECT_EQ(Tables.FindTable("glyf")->Tag(), "glyf");

    Tables.Clear();
    EXPECT_EQ(Tables.Count(), 0u);
    EXPECT_EQ(Tables.PreferredOrder.Count(), 0u);
}

TEST(FontTables, TablesOfOneTagRefuseOthers)
{
    try {
        TTableHead Table("nam");
        FAIL();
    } catch (const FontException& Error) {
        EXPECT_STREQ(Error.what(), "Creating Fonttable TTableHead with tag nam");
    }
    EXPECT_EQ(TTableUnknown("abcdef").Tag(), "abcd");
}

TEST(RawDataTable, CopiesExactlyItsLengthOrFailsBeforeAllocating)
{
    TMemoryStream S(std::vector<std::uint8_t>(20, 0x55));
    TTableHinting Table("prep");
    S.SetPosition(2);
    Table.LoadRawData(S, 0);
    EXPECT_TRUE(Table.Data().empty());
    EXPECT_EQ(S.Position(), 2);
    Table.LoadRawData(S, 12);
    EXPECT_EQ(Table.Data().size(), 12u);
    EXPECT_EQ(S.Position(), 14);

    try {
        Table.LoadRawData(S, 0xFFFFFFFF);
        FAIL();
    } catch (const EStreamError& Error) {
        EXPECT_STREQ(Error.what(), "Stream read error");
    }

    TMemoryStream Out;
    TTableUnknown Empty("zzzz");
    Empty.SaveToStream(Out);
    EXPECT_EQ(Out.Size(), 0);

    S.SetPosition(19);
    Table.LoadFromStream(S);  // takes the whole stream, whatever the position
    EXPECT_EQ(Table.Data().size(), 20u);
}

TEST(WarningCollector, KeepsAFewThousandOfOneKindAndCountsTheRest)
{
    TWarningCollector::Clear();
    const char* Kind = "Glyph %d is odd";
    const int Max = static_cast<int>(TWarningCollector::MaxWarningsPerKind);
    for (int i = 0; i < Max + 5; ++i)
        TWarningCollector::AddFmt(Kind, {i});
    TWarningCollector::Add("another kind");
    EXPECT_TRUE(TWarningCollector::IsFull(Kind));
    EXPECT_FALSE(TWarningCollector::IsFull("another kind"));
    TWarningCollector::AddDropped(Kind, 10);

    const auto& Lines = TWarningCollector::Warnings();
    ASSERT_EQ(Lines.size(), std::size_t(Max) + 2);
    EXPECT_EQ(Lines[Max - 1], "Glyph " + std::to_string(Max - 1) + " is odd");
    EXPECT_EQ(Lines[Max], "[ignored] 15 more warnings of the kind \"Glyph %d is odd\" were dropped");
    EXPECT_EQ(Lines[Max + 1], "another kind");

    // The count goes on rising, and a new read of the list shows it.
    TWarningCollector::AddFmt(Kind, {0});
    EXPECT_EQ(TWarningCollector::Warnings()[Max],
              "[ignored] 16 more warnings of the kind \"Glyph %d is odd\" were dropped");

    TWarningCollector::Clear();
    EXPECT_TRUE(TWarningCollector::Warnings().empty());
    EXPECT_FALSE(TWarningCollector::IsFull(Kind));
}
