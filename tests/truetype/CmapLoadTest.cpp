#include <gtest/gtest.h>

#include "base/ListError.h"
#include "tests/support/CmapBuilder.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/cmap/TableCmap.h"

using namespace truetype;
using namespace testing_support;

namespace {

using TPairs = std::vector<std::pair<int, int>>;

TPairs Pairs(const TCmapEncodingSubTable& SubTable)
{
    TPairs Result;
    for (const TCharacterToGlyphIndexMapping& Mapping : SubTable.Mappings)
        Result.emplace_back(Mapping.CharacterCode, Mapping.GlyphIndex);
    return Result;
}

class CmapLoad : public ::testing::Test {
protected:
    void SetUp() override { TWarningCollector::Clear(); }

    static const std::vector<std::string>& Warnings() { return TWarningCollector::Warnings(); }

    // Loads a table holding the one subtable (platform 3, encoding 1).
    TCmapEncodingSubTable& LoadOne(const TBytes& SubTable)
    {
        Load(TCmapBuilder().Add(3, 1, SubTable).Build());
        return Cmap.Encodings(0).SubTable;
    }

    void Load(const TBytes& Bytes)
    {
        TMemoryStream S(Bytes);
        Cmap.LoadFromStream(S);
    }

    // The message of the FontException that loading Bytes raises.
    std::string LoadError(const TBytes& SubTable)
    {
        try {
            LoadOne(SubTable);
        } catch (const FontException& Error) {
            return Error.what();
        }
        return "";
    }

    TTableCmap Cmap{"cmap"};
};

}  // namespace

TEST_F(CmapLoad, RecordsKeepFileOrderAndTheFirstSubTableOfEachPair)
{
    const TBytes A = Format4SubTable({{0x41, 0x41, 1, 0}, Format4Terminator()});
    Load(TCmapBuilder(5)
             .Add(3, 1, A)
             .Add(1, 0, Format0SubTable({0, 7}))
             .Add(3, 1, Format6SubTable(0x30, {9}))
             .Share(0, 3, 0)
             .Build());
    EXPECT_EQ(Cmap.Version, 5);
    ASSERT_EQ(Cmap.EncodingCount(), 3u);
    EXPECT_EQ(Cmap.Encodings(0).PlatformID, 3);
    EXPECT_EQ(Cmap.Encodings(1).PlatformID, 1);
    EXPECT_EQ(Cmap.Encodings(2).PlatformSpecificEncodingID, 3);
    // The repeated pair is not read at all, so format 6 says nothing.
    EXPECT_EQ(Warnings(), (std::vector<std::string>{
        "CmapEncodingSubTable with PlatFormID 3 and PlatformSpecificEncodingID 1 already exists"}));
    EXPECT_EQ(Pairs(Cmap.Encodings(0).SubTable), (TPairs{{0x41, 0x42}}));
    // Two records at one subtable give two entries with a copy each.
    EXPECT_EQ(Pairs(Cmap.Encodings(2).SubTable), Pairs(Cmap.Encodings(0).SubTable));
    EXPECT_EQ(Cmap.MappingTable().FindEncoding(1, 0), &Cmap.Encodings(1));
    EXPECT_EQ(Cmap.MappingTable().FindEncoding(3, 10), nullptr);
    EXPECT_EQ(Cmap.MappingTable().AddEncoding(1, 0), nullptr);

    // A reload replaces everything, the pair index included.
    Load(TCmapBuilder().Add(1, 0, Format0SubTable({})).Build());
    EXPECT_EQ(Cmap.EncodingCount(), 1u);
    EXPECT_EQ(Cmap.MappingTable().FindEncoding(3, 1), nullptr);
}

TEST_F(CmapLoad, Format0ReadsEveryByteAndChecksItsLength)
{
    std::vector<std::uint8_t> Glyphs(256);
    for (std::size_t Code = 0; Code < 256; ++Code)
        Glyphs[Code] = static_cast<std::uint8_t>(Code % 7);
    const TCmapEncodingSubTable& SubTable = LoadOne(Format0SubTable(Glyphs, 262, 3));
    EXPECT_EQ(SubTable.SubTableFormat(), 0);
    EXPECT_EQ(SubTable.Version, 3);
    ASSERT_EQ(SubTable.Mappings.Count(), 256u);
    // Glyph 0 mappings are kept.
    EXPECT_EQ(SubTable.Mappings.Items(0), (TCharacterToGlyphIndexMapping{0, 0}));
    EXPECT_EQ(SubTable.Mappings.Items(255), (TCharacterToGlyphIndexMapping{255, 255 % 7}));

    EXPECT_EQ(LoadOne(Format0SubTable(Glyphs, 0)).Mappings.Count(), 0u);
    EXPECT_TRUE(Warnings().empty());
    EXPECT_EQ(LoadError(Format0SubTable(Glyphs, 256)), "Length Cmap Format 0 Expecting 262 bytes instead of 256 bytes");
}

TEST_F(CmapLoad, Format4MapsThroughDeltaAndThroughTheGlyphArray)
{
    // Segment 1's idRangeOffset field stands 2 * (segCount - 1) bytes before
    // the glyph array.
    const TBytes Bytes = Format4SubTable({{0x30, 0x30, 0, 0},
                                          {0x61, 0x63, 5, 2 * 4},
                                          {0x41, 0x43, -29, 0},
                                          {0x70, 0x6F, 0, 0},  // ends before it starts: skipped
                                          Format4Terminator()},
                                         {10, 0, 20});
    const TCmapEncodingSubTable& SubTable = LoadOne(Bytes);
    EXPECT_EQ(Pairs(SubTable),
              (TPairs{{0x30, 0x30}, {0x61, 15}, {0x62, 0}, {0x63, 25}, {0x41, 36}, {0x42, 37}, {0x43, 38}}));
    EXPECT_TRUE(Warnings().empty());

    // Codes and glyphs wrap at 65536.
    EXPECT_EQ(Pairs(LoadOne(Format4SubTable({{0xFFF0, 0xFFF1, 0x20, 0}, Format4Terminator()}))),
              (TPairs{{0xFFF0, 0x10}, {0xFFF1, 0x11}}));
}

TEST_F(CmapLoad, Format4EdgesOfTheSegmentList)
{
    // Only the terminator: no mappings, no error.
    EXPECT_EQ(LoadOne(Format4SubTable({Format4Terminator()})).Mappings.Count(), 0u);
    EXPECT_EQ(LoadError(Format4SubTable({})), "Cmap Format 4 NumberOfSegments=0 !");

    // The last segment is never read, whatever it holds.
    EXPECT_EQ(Pairs(LoadOne(Format4SubTable({{0x41, 0x42, 0, 0}, {0x61, 0x62, 0, 0}}))), (TPairs{{0x41, 0x41}, {0x42, 0x42}}));

    TWarningCollector::Clear();
    EXPECT_EQ(LoadOne(Format4SubTable({{0x41, 0x41, 0, 0}, Format4Terminator()}, {}, 7)).Mappings.Count(), 1u);
    EXPECT_EQ(Warnings(), (std::vector<std::string>{"[cmap encoding format 4] ReservedPad in cmap should be 0 but is 7"}));
}

TEST_F(CmapLoad, Format4OverlapsKeepTheFirstMappingWithAWarningPerCharacter)
{
    const TCmapEncodingSubTable& SubTable =
        LoadOne(Format4SubTable({{0x41, 0x44, 1, 0}, {0x43, 0x46, 10, 0}, Format4Terminator()}));
    EXPECT_EQ(Pairs(SubTable), (TPairs{{0x41, 0x42}, {0x42, 0x43}, {0x43, 0x44}, {0x44, 0x45}, {0x45, 0x4F}, {0x46, 0x50}}));
    EXPECT_EQ(Warnings(), (std::vector<std::string>{
        "Format 4 - Can't map character 67 to index 77 because character is already mapped.",
        "Format 4 - Can't map character 68 to index 78 because character is already mapped."}));
}

TEST_F(CmapLoad, Format2MapsLeadBytesAndBecomesFormat4)
{
    // Key 0 (high byte 0) reads subheader 0 for single bytes; 0x81 reads
    // subheader 1 at byte 8; 0x82 names key 0 again and is no lead byte.
    std::vector<std::uint16_t> Keys(256, 0);
    Keys[0x81] = 8;
    // idRangeOffset counts from the field: subheader 0's stands 10 bytes
    // before the glyph array, subheader 1's 2 bytes.
    const TBytes Bytes = Format2SubTable(Keys, {{0x20, 3, 0, 10}, {0x40, 2, 100, 2 + 2 * 3}}, {1, 0, 3, 5, 0});
    const TCmapEncodingSubTable& SubTable = LoadOne(Bytes);
    EXPECT_EQ(Pairs(SubTable), (TPairs{{0x20, 1}, {0x21, 0}, {0x22, 3}, {0x8140, 105}, {0x8141, 0}}));
    EXPECT_EQ(SubTable.SubTableFormat(), 4);
    EXPECT_EQ(SubTable.Version, 0);
    EXPECT_EQ(Warnings(), (std::vector<std::string>{"TCmapEncodingSubTable.LoadFormat2 is not supported for saving."}));

    // Shorter than 512 bytes: empty, and nothing more is said.
    TBytes Short = Bytes;
    Short[2] = 0x01, Short[3] = 0xFF;
    TWarningCollector::Clear();
    EXPECT_EQ(LoadOne(Short).Mappings.Count(), 0u);
    EXPECT_EQ(Warnings().size(), 1u);
}

TEST_F(CmapLoad, Format2SubHeadersEndAtLowByte255)
{
    // Entries past low byte 255 name no byte pair; they used to become glyph
    // 0 mappings aliasing the codes of the following high bytes.
    std::vector<std::uint16_t> Keys(256, 0);
    Keys[1] = 8;
    const TBytes Bytes = Format2SubTable(Keys, {{250, 65535, 0, 10}, {300, 5, 0, 0}}, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(Pairs(LoadOne(Bytes)), (TPairs{{250, 1}, {251, 2}, {252, 3}, {253, 4}, {254, 5}, {255, 6}}));
}

TEST_F(CmapLoad, Format6ReadsEveryEntryAndBecomesFormat4)
{
    const TCmapEncodingSubTable& SubTable = LoadOne(Format6SubTable(0xFFFE, {3, 0, 4}, 9));
    EXPECT_EQ(Pairs(SubTable), (TPairs{{0xFFFE, 3}, {0xFFFF, 0}, {0, 4}}));
    EXPECT_EQ(SubTable.SubTableFormat(), 4);
    EXPECT_EQ(SubTable.Version, 0);
    EXPECT_EQ(Warnings(), (std::vector<std::string>{"TCmapEncodingSubTable.LoadFormat6 is not supported for saving."}));

    TBytes Empty = Format6SubTable(0x20, {1, 2});
    Empty[2] = Empty[3] = 0;
    EXPECT_EQ(LoadOne(Empty).Mappings.Count(), 0u);
}

TEST_F(CmapLoad, OtherFormatsKeepTheirHeaderWithoutMappings)
{
    const TCmapEncodingSubTable& SubTable = LoadOne(TByteWriter().U16(99).U16(20).U16(3).Zeros(14));
    EXPECT_EQ(SubTable.SubTableFormat(), 99);
    EXPECT_EQ(SubTable.Version, 3);
    EXPECT_EQ(SubTable.Mappings.Count(), 0u);
    EXPECT_EQ(Warnings(), (std::vector<std::string>{"Unsupported cmap encoding format: Format 99 Length 20 Version 3"}));

    // A subtable offset past the end of the stream reads zeros: an empty format 0.
    TBytes Far = TCmapBuilder().Add(3, 1, {}).Build();
    Far[8] = 0x7F;
    Load(Far);
    EXPECT_EQ(Cmap.Encodings(0).SubTable.SubTableFormat(), 0);
    EXPECT_EQ(Cmap.Encodings(0).SubTable.Mappings.Count(), 0u);
}

TEST_F(CmapLoad, RemoveIllegalMappingsWarnsFromTheLastMappingOfTheLastEntry)
{
    Load(TCmapBuilder()
             .Add(3, 1, Format4SubTable({{0x41, 0x41, 99 - 0x41, 0}, {0x42, 0x43, 100 - 0x42, 0}, Format4Terminator()}))
             .Add(1, 0, Format6SubTable(0x41, {101, 5}))
             .Build());
    TWarningCollector::Clear();
    EXPECT_TRUE(Cmap.RemoveIllegalMappings(100));
    EXPECT_EQ(Warnings(), (std::vector<std::string>{
        "[fixed] TCmapEncodingSubTable with FSubTableFormat 4 has illegal mapping from glyph index 101 to character 65.",
        "[fixed] TCmapEncodingSubTable with FSubTableFormat 4 has illegal mapping from glyph index 101 to character 67.",
        "[fixed] TCmapEncodingSubTable with FSubTableFormat 4 has illegal mapping from glyph index 100 to character 66."}));
    EXPECT_EQ(Pairs(Cmap.Encodings(0).SubTable), (TPairs{{0x41, 99}}));
    EXPECT_EQ(Pairs(Cmap.Encodings(1).SubTable), (TPairs{{0x42, 5}}));
    EXPECT_FALSE(Cmap.RemoveIllegalMappings(100));
    EXPECT_EQ(Warnings().size(), 3u);
}

TEST(CmapMappings, TheCodeIndexFollowsEveryChangeOfTheList)
{
    TCharacterToGlyphIndexMappings Mappings;
    EXPECT_FALSE(Mappings.IsMapped(0x41));
    Mappings.Add({0x41, 1});
    Mappings.Add({0x20, 2});
    Mappings.Add({0x41, 3});
    EXPECT_TRUE(Mappings.IsMapped(0x41));
    EXPECT_TRUE(Mappings.IsMapped(0x20));
    Mappings.Add({0xFFFF, 4});
    EXPECT_TRUE(Mappings.IsMapped(0xFFFF));

    // One of two mappings for 0x41 goes: the code is still mapped.
    Mappings.Delete(0);
    EXPECT_TRUE(Mappings.IsMapped(0x41));
    Mappings.Delete(1);
    EXPECT_FALSE(Mappings.IsMapped(0x41));
    EXPECT_THROW(Mappings.Delete(2), base::EListError);

    EXPECT_EQ(Mappings.RemoveIf([](const auto& M) { return M.GlyphIndex == 4; }), 1u);
    EXPECT_FALSE(Mappings.IsMapped(0xFFFF));
    Mappings.Clear();
    EXPECT_FALSE(Mappings.IsMapped(0x20));

    // Sorting keeps mappings of one code in the order they were added.
    for (const auto& [Code, Glyph] : TPairs{{9, 1}, {3, 2}, {9, 3}, {3, 4}, {1, 5}})
        Mappings.Add({static_cast<std::uint16_t>(Code), static_cast<std::uint16_t>(Glyph)});
    Mappings.SortByCharacterCode();
    TPairs Sorted;
    for (const auto& M : Mappings)
        Sorted.emplace_back(M.CharacterCode, M.GlyphIndex);
    EXPECT_EQ(Sorted, (TPairs{{1, 5}, {3, 2}, {3, 4}, {9, 1}, {9, 3}}));
}

TEST(CmapMappings, CodeSetFindsTheFirstAbsentCodeAcrossFullWords)
{
    TCodeSet Set;
    EXPECT_EQ(Set.FirstAbsent(0, 0xFFFF), 0u);
    for (std::uint32_t Code = 10; Code < 10000; ++Code)
        Set.Insert(static_cast<std::uint16_t>(Code));
    EXPECT_EQ(Set.FirstAbsent(5, 20), 5u);
    EXPECT_EQ(Set.FirstAbsent(10, 0xFFFF), 10000u);
    EXPECT_EQ(Set.FirstAbsent(64, 9999), 10000u);  // all present: To + 1
    EXPECT_EQ(Set.FirstAbsent(100, 200), 201u);

    for (std::uint32_t Code = 0; Code <= 0xFFFF; ++Code)
        Set.Insert(static_cast<std::uint16_t>(Code));
    EXPECT_EQ(Set.FirstAbsent(0, 0xFFFF), 0x10000u);
    EXPECT_TRUE(Set.Contains(0xFFFF));
}
