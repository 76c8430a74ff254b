#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/CmapBuilder.h"
#include "tests/support/FontBuilder.h"
#include "tests/support/TempFolder.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/TableHead.h"
#include "truetype/tables/TableHmtx.h"
#include "truetype/tables/TableLoca.h"
#include "truetype/tables/TableMaxp.h"
#include "truetype/tables/TableUnknown.h"
#include "truetype/tables/cmap/TableCmap.h"

using namespace truetype;
using namespace testing_support;

namespace {

// Loads Bytes and answers the error message, or "" when the load finished.
std::string Load(TTrueTypeFont& Font, const TBytes& Bytes, std::int64_t At = 0)
{
    TMemoryStream S(Bytes);
    S.SetPosition(At);
    try {
        Font.LoadFromStream(S);
        EXPECT_TRUE(Font.Loaded);
        return "";
    } catch (const std::exception& Error) {
        EXPECT_FALSE(Font.Loaded);
        return Error.what();
    }
}

std::vector<std::string> Warnings() { return TWarningCollector::Warnings(); }
std::vector<std::string> LogLines(const TTrueTypeFont& Font) { return {Font.Log.begin(), Font.Log.end()}; }

// A log line that is Prefix followed by a count of milliseconds.
bool IsTiming(std::string_view Line, const std::string& Prefix)
{
    return Line.size() > Prefix.size() && Line.starts_with(Prefix) &&
           Line.find_first_not_of("0123456789", Prefix.size()) == std::string::npos;
}

TBytes LocaBytes(std::uint16_t NumGlyphs)
{
    TByteWriter W;
    for (std::uint16_t i = 0; i <= NumGlyphs; ++i)
        W.U16(0);
    return W;
}

}  // namespace

TEST(TrueTypeFont, LogsTheDirectoryInBothPassesAndReportsProgress)
{
    const TBytes Bytes = TFontBuilder().Add("cmap", CmapTable()).Add("maxp", MaxpTable(0)).Build();
    TTrueTypeFont Font(false);
    std::vector<int> Progress;
    Font.OnProgress = [&](TTrueTypeFont&, const std::string& Caption, int Percent) {
        EXPECT_EQ(Caption, "Loading Font...");
        Progress.push_back(Percent);
    };
    ASSERT_EQ(Load(Font, Bytes), "");
    EXPECT_EQ(Progress, (std::vector<int>{0, 10, 20, 0}));

    const std::string Size = std::to_string(Bytes.size());
    const std::size_t CmapSize = CmapTable().size();
    const std::string CmapLine = "cmap 0 44 " + std::to_string(CmapSize);
    const std::string MaxpLine = "maxp 0 " + std::to_string(44 + (CmapSize + 3) / 4 * 4) + " 32";
    const std::vector<std::string> Expected = {
        Size + " 2", "from file  0 0 0", "calculated 32 1 0", CmapLine, MaxpLine, "Tag maxp Time ",
        CmapLine, "Tag cmap Time ", "Number of glyphs 0", MaxpLine};
    const std::vector<std::string> Lines = LogLines(Font);
    ASSERT_EQ(Lines.size(), Expected.size());
    for (std::size_t i = 0; i < Expected.size(); ++i)
        if (Expected[i].ends_with("Time "))
            EXPECT_TRUE(IsTiming(Lines[i], Expected[i])) << Lines[i];
        else
            EXPECT_EQ(Lines[i], Expected[i]);
    EXPECT_TRUE(Warnings().empty());
}

TEST(TrueTypeFont, MetricsTablesGetTheirCountsWhereverMaxpStands)
{
    TTrueTypeFont Font(false);
    ASSERT_EQ(Load(Font, MinimalFont(4).Build()), "");  // hmtx precedes maxp in the directory
    const auto* Hmtx = dynamic_cast<TTableHmtx*>(Font.Tables.FindTable("hmtx"));
    ASSERT_NE(Hmtx, nullptr);
    EXPECT_EQ(Hmtx->NumGlyphs, 4);
    EXPECT_EQ(Hmtx->NumberOfHMetrics, 4);
    EXPECT_EQ(Hmtx->Items(3).AdvanceWidth, 503);
    EXPECT_EQ(Font.MaxpTable()->numGlyphs, 4);
}

TEST(TrueTypeFont, FontsWithoutOutlineDataLoadOnlyWithoutOutlines)
{
    const TBytes Otto = MinimalFont().Version(0x4F54544F).Add("CFF ", {1, 2, 3}).Build();
    TTrueTypeFont Plain(false);
    EXPECT_EQ(Load(Plain, Otto), "");
    EXPECT_EQ(Warnings(), (std::vector<std::string>{"Unknown font format (version number 20308.21583)."}));

    TTrueTypeFont WithOutlines(true);
    EXPECT_EQ(Load(WithOutlines, Otto),
              "OpenType fonts containing CFF data not supported (version number 20308.21583).");

    TTrueTypeFont Apple(true);
    EXPECT_EQ(Load(Apple, MinimalFont().Version(0x74727565).Build()),
              "Font without outline information not supported (version number 29810.30053).");

    // glyf and loca leave no table behind when outlines are off.
    const TBytes WithGlyf = MinimalFont(2).Add("glyf", {0, 0, 0, 0}).Add("loca", LocaBytes(2)).Build();
    TTrueTypeFont NoOutlines(false);
    EXPECT_EQ(Load(NoOutlines, WithGlyf), "");
    EXPECT_EQ(NoOutlines.Tables.FindTable("glyf"), nullptr);
    EXPECT_EQ(NoOutlines.Tables.FindTable("loca"), nullptr);

    // With outlines, loca takes head's format and gives up its offsets at the end.
    TTrueTypeFont Outlines(true);
    EXPECT_EQ(Load(Outlines, WithGlyf), "");
    ASSERT_NE(Outlines.LocaTable(), nullptr);
    EXPECT_EQ(Outlines.LocaTable()->NumGlyphs, 2);
    EXPECT_EQ(Outlines.LocaTable()->Count(), 0u);
    EXPECT_TRUE(IsTiming(Outlines.Log.Back(), "RetrieveOutlinesFromTables Time "));
}

TEST(TrueTypeFont, SignaturesAndUnknownTablesAreKeptAsTheirBytes)
{
    TTrueTypeFont Font(false);
    ASSERT_EQ(Load(Font, MinimalFont().Add("DSIG", TBytes(13, 9)).Add("zzzz", {}).Build()), "");
    EXPECT_TRUE(Font.HasDigitalSignature);
    const auto* Dsig = dynamic_cast<TTableUnknown*>(Font.Tables.FindTable("DSIG"));
    ASSERT_NE(Dsig, nullptr);
    EXPECT_EQ(TBytes(Dsig->Data().begin(), Dsig->Data().end()), TBytes(13, 9));

    // A second load replaces everything, the signature flag included.
    ASSERT_EQ(Load(Font, MinimalFont().Build()), "");
    EXPECT_FALSE(Font.HasDigitalSignature);
    EXPECT_EQ(Font.Tables.FindTable("DSIG"), nullptr);

    // Without unknown tables the signature is noted but not kept.
    TTrueTypeFont Lean(false);
    Lean.KeepUnknownTables = false;
    ASSERT_EQ(Load(Lean, MinimalFont().Add("DSIG", TBytes(13, 9)).Build()), "");
    EXPECT_TRUE(Lean.HasDigitalSignature);
    EXPECT_EQ(Lean.Tables.FindTable("DSIG"), nullptr);
    EXPECT_NE(Lean.CmapTable(), nullptr);
}

TEST(TrueTypeFont, AFontLoadedFromItsFileReadsItsRawTablesWhenAskedAsAnEagerLoadWould)
{
    // More than the file stream's read window holds.
    TBytes Pattern(200000);
    for (std::size_t i = 0; i < Pattern.size(); ++i)
        Pattern[i] = static_cast<std::uint8_t>(i * 7);
    const TBytes Bytes = MinimalFont().Add("GPOS", Pattern).Add("prep", {1, 2, 3}).Add("zzzz", {}).Build();
    const TTempFolder Folder;
    const auto Write = [&](const std::string& Name, const TBytes& Content) {
        const auto Path = Folder.Path() / Name;
        std::ofstream(Path, std::ios::binary)
            .write(reinterpret_cast<const char*>(Content.data()), static_cast<std::streamsize>(Content.size()));
        return Path;
    };
    const auto Path = Write("raw.ttf", Bytes);

    TTrueTypeFont FromFile(false), FromMemory(false);
    FromFile.LoadFromFile(Path.string());
    ASSERT_EQ(Load(FromMemory, Bytes), "");
    ASSERT_EQ(FromFile.Tables.Count(), FromMemory.Tables.Count());
    for (const TFontTable& Table : FromMemory.Tables)
        if (const auto* Eager = dynamic_cast<const TRawDataTable*>(&Table)) {
            const auto* Deferred = dynamic_cast<const TRawDataTable*>(FromFile.Tables.FindTable(Table.Tag()));
            ASSERT_NE(Deferred, nullptr) << Table.Tag();
            EXPECT_EQ(Deferred->Length(), Eager->Length()) << Table.Tag();
            EXPECT_EQ(Deferred->Data(), Eager->Data()) << Table.Tag();
        }

    // A table past the end fails the load from the file as it fails the
    // load from memory, and the file is closed with the font's tables.
    TFontBuilder PastTheEnd = MinimalFont();
    const auto Size = static_cast<std::uint32_t>(PastTheEnd.Build().size() + 16);
    PastTheEnd.Record("GSUB", Size - 32, 64);
    const auto Hostile = Write("past.ttf", PastTheEnd.Build());
    TTrueTypeFont Refused(false);
    try {
        Refused.LoadFromFile(Hostile.string());
        FAIL();
    } catch (const std::exception& Error) {
        EXPECT_STREQ(Error.what(), "Stream read error");
        EXPECT_EQ(Load(FromMemory, PastTheEnd.Build()), "Stream read error");
    }
    Refused.Clear();
    std::filesystem::remove(Hostile);
    EXPECT_FALSE(std::filesystem::exists(Hostile));

#ifndef _WIN32
    // Nothing denies other writers on POSIX: bytes the file no longer holds
    // (and the stream has not read already) read as zeros.
    TTrueTypeFont Shrunk(false);
    Shrunk.LoadFromFile(Path.string());
    std::filesystem::resize_file(Path, 0);
    const auto* Gpos = dynamic_cast<const TRawDataTable*>(Shrunk.Tables.FindTable("GPOS"));
    ASSERT_NE(Gpos, nullptr);
    ASSERT_EQ(Gpos->Data().size(), Pattern.size());
    EXPECT_EQ(TBytes(Gpos->Data().end() - 1000, Gpos->Data().end()), TBytes(1000, 0));
#endif
}

TEST(TrueTypeFont, CmapMappingsToGlyphsTheFontLacksGoAtTheEndOfTheLoad)
{
    TTrueTypeFont Font(false);
    // The cmap stands before maxp: numGlyphs is known only at the end.
    ASSERT_EQ(Load(Font, TFontBuilder()
                             .Add("cmap", CmapTable({{0x41, 2}, {0x42, 3}, {0x43, 70}}))
                             .Add("head", HeadTable())
                             .Add("hhea", HheaTable(3))
                             .Add("hmtx", HmtxTable({{500, 0}, {501, 1}, {502, 2}}))
                             .Add("maxp", MaxpTable(3))
                             .Build()),
              "");
    EXPECT_EQ(Warnings(), (std::vector<std::string>{
        "[fixed] TCmapEncodingSubTable with FSubTableFormat 4 has illegal mapping from glyph index 70 to character 67.",
        "[fixed] TCmapEncodingSubTable with FSubTableFormat 4 has illegal mapping from glyph index 3 to character 66."}));
    ASSERT_NE(Font.CmapTable(), nullptr);
    const TCmapEncodingSubTable& SubTable = Font.CmapTable()->Encodings(0).SubTable;
    ASSERT_EQ(SubTable.Mappings.Count(), 1u);
    EXPECT_EQ(SubTable.Mappings.Items(0), (TCharacterToGlyphIndexMapping{0x41, 2}));

    // A cmap error ends the load.
    EXPECT_EQ(Load(Font, TFontBuilder()
                             .Add("cmap", TCmapBuilder().Add(3, 1, Format4SubTable({})).Build())
                             .Add("maxp", MaxpTable(0))
                             .Build()),
              "Cmap Format 4 NumberOfSegments=0 !");
    EXPECT_NE(Font.CmapTable(), nullptr);
}

TEST(TrueTypeFont, OffsetsCountFromWhereTheFontStarts)
{
    TBytes Bytes(12, 0xEE);
    const TBytes Font = MinimalFont(2).Build();
    Bytes.insert(Bytes.end(), Font.begin(), Font.end());
    TTrueTypeFont Loaded(false);
    EXPECT_EQ(Load(Loaded, Bytes, 12), "");
    EXPECT_EQ(Loaded.MaxpTable()->numGlyphs, 2);
}

TEST(TrueTypeFont, ErrorsLeaveTheFontUnloadedWithTheTablesReadSoFar)
{
    TTrueTypeFont Font(false);
    ASSERT_EQ(Load(Font, MinimalFont().Build()), "");
    EXPECT_EQ(Load(Font, {}), "Stream is empty!");
    EXPECT_EQ(Font.Tables.Count(), 0u);
    EXPECT_EQ(Font.NumTables, 0u);

    EXPECT_EQ(Load(Font, MinimalFont().Add("head", HeadTable()).Build()), "Table head already exists!");
    EXPECT_EQ(Font.Tables.FindTable("head")->Tag(), "head");

    EXPECT_EQ(Load(Font, TFontBuilder().Add("cmap", CmapTable()).Build()), "Table maxp not found!");
    EXPECT_EQ(Load(Font, TFontBuilder().Add("maxp", MaxpTable(0)).Build()), "Table cmap not found!");

    // hhea missing: hmtx has no long entries for its glyphs.
    EXPECT_EQ(Load(Font, TFontBuilder().Add("cmap", CmapTable()).Add("maxp", MaxpTable(2))
                              .Add("hmtx", HmtxTable({{1, 1}, {2, 2}})).Build()),
              "hmtx numberOfHMetrics is zero while numGlyphs>0 !!");
    EXPECT_NE(Font.MaxpTable(), nullptr);
}

TEST(TrueTypeFont, HostileDirectoriesEndWithoutHarm)
{
    TTrueTypeFont Font(false);
    // An 11-byte file claiming 65535 tables: the directory reads as zeros.
    EXPECT_EQ(Load(Font, {0, 1, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0}), "Table maxp not found!");
    EXPECT_EQ(Font.NumTables, 65535u);
    EXPECT_TRUE(Font.Directory.empty());
    EXPECT_EQ(Font.Record(65534), (TTrueTypeFont::TDirectoryEntry{std::string(4, '\0'), 0, 0, 0}));

    // Two records, then 65533 zero records past the end of the file: each is
    // logged in both passes; the first of them is kept as an unknown table,
    // and the second has the same tag.
    TBytes Short = TFontBuilder().Record("cmap", 0xFFFFFF00, 4).Record("maxp", 0xFFFFFF00, 32).Build();
    Short[4] = Short[5] = 0xFF;
    Load(Font, Short);
    EXPECT_FALSE(Font.Loaded);
    EXPECT_NE(Font.Tables.FindTable(std::string(4, '\0')), nullptr);
    TTrueTypeFont Known(false);
    Known.KeepUnknownTables = false;
    EXPECT_EQ(Load(Known, Short), "");
    EXPECT_EQ(Known.Log.Count(), 3 + (65535 + 1) + (65535 + 2));
    EXPECT_TRUE(IsTiming(LogLines(Known)[5], "Tag maxp Time "));
    EXPECT_EQ(LogLines(Known).back(), std::string("\0\0\0\0 0 0 0", 10));

    // 65535 records, all kept as raw tables, in descending tag order.
    TFontBuilder Many = MinimalFont();
    for (std::uint32_t i = 0; i < 65530; ++i)
        Many.Record(std::string{'~', static_cast<char>(0xFF - i / 256), static_cast<char>(0xFF - i % 256), 'x'},
                    0xFFFFFFF0, 0);
    EXPECT_EQ(Load(Font, Many.Build()), "");
    EXPECT_EQ(Font.Tables.Count(), 65535u);

    // A raw table running past the end of the file.
    TBytes Truncated = MinimalFont().Add("GPOS", TBytes(8, 0)).Build();
    Truncated.resize(Truncated.size() - 4);
    EXPECT_EQ(Load(Font, Truncated), "Stream read error");

    // A parsed table whose offset lies past the end reads zeros and loads.
    EXPECT_EQ(Load(Font, MinimalFont().Record("head", 0x7FFFFFF0, 54).Build()), "Table head already exists!");
    TFontBuilder FarHead;
    FarHead.Add("cmap", CmapTable()).Add("maxp", MaxpTable(0)).Record("head", 0xFFFFFFF0, 54);
    EXPECT_EQ(Load(Font, FarHead.Build()), "");
    ASSERT_NE(Font.HeadTable(), nullptr);
    EXPECT_EQ(Font.HeadTable()->unitsPerEm, 0);
}

TEST(TrueTypeFont, OverlappingRawTablesCannotMultiplyTheFile)
{
    TFontBuilder Builder = MinimalFont();
    Builder.Add("GPOS", TBytes(4096, 1));
    for (int i = 0; i < 200; ++i)
        Builder.Record(std::string{'r', 'a', static_cast<char>('a' + i / 26), static_cast<char>('a' + i % 26)}, 0,
                       4096);
    TTrueTypeFont Font(false);
    const std::string Error = Load(Font, Builder.Build());
    EXPECT_NE(Error.find("more than the font's"), std::string::npos) << Error;
}
