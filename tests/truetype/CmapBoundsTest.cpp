// Hostile cmap tables: small files that would make a naive reader do billions
// of steps or hold millions of mappings. Each must load, bounded.
#include <gtest/gtest.h>

#include "tests/support/CmapBuilder.h"
#include "tests/support/TableIo.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/cmap/TableCmap.h"

using namespace truetype;
using namespace testing_support;

namespace {

std::unique_ptr<TTableCmap> LoadCmap(const TBytes& Bytes) { return testing_support::Loaded<TTableCmap>("cmap", Bytes); }

// Record 0 holds SubTable; records 1 to Count - 1 point at it, each with a
// pair of its own.
TBytes SharedBy(std::size_t Count, const TBytes& SubTable)
{
    TCmapBuilder Builder;
    Builder.Add(0, 0, SubTable);
    for (std::size_t i = 1; i < Count; ++i)
        Builder.Share(static_cast<std::uint16_t>(i), 0, 0);
    return Builder.Build();
}

const std::vector<std::string>& Warnings() { return TWarningCollector::Warnings(); }

std::string Dropped(std::uint64_t Count, const std::string& Kind)
{
    return "[ignored] " + std::to_string(Count) + " more warnings of the kind \"" + Kind + "\" were dropped";
}

std::string Skipped(std::size_t NotRead, std::size_t EntriesRead)
{
    return "[ignored] " + std::to_string(NotRead) + " of 65535 cmap encoding records were not read: the records "
           "before them already read " + std::to_string(EntriesRead) + " mappings, segments and subheaders";
}

// A stream that counts the bytes it hands out.
class TCountingStream final : public TStream {
public:
    explicit TCountingStream(TBytes Bytes) : FInner(std::move(Bytes)) {}
    std::size_t Read(void* Buffer, std::size_t Count) override
    {
        const std::size_t Got = FInner.Read(Buffer, Count);
        BytesRead += Got;
        return Got;
    }
    std::size_t Write(const void* Buffer, std::size_t Count) override { return FInner.Write(Buffer, Count); }
    std::int64_t Size() const override { return FInner.Size(); }
    std::int64_t Position() const override { return FInner.Position(); }
    void SetPosition(std::int64_t Position) override { FInner.SetPosition(Position); }

    std::uint64_t BytesRead = 0;

private:
    TMemoryStream FInner;
};

}  // namespace

TEST(CmapBounds, ReadsJumpingBackAndForthFetchEachByteOnce)
{
    // Every segment maps one new code; its glyph is read alternately right
    // after its idRangeOffset field and 120 KB further on, and 2000 records
    // read the subtable again. A stream that refills a window on each jump
    // would transfer gigabytes.
    std::vector<TFormat4Segment> Segments = {{0, 29999, 0, 0}};
    for (std::uint16_t i = 1; i < 32766; ++i) {
        const auto Code = static_cast<std::uint16_t>(29999 + i);
        Segments.push_back(i % 2 != 0 ? TFormat4Segment{0, Code, 0, 0xFFFF} : TFormat4Segment{Code, Code, 0, 2});
    }
    Segments.push_back(Format4Terminator());
    TBytes SubTable = Format4SubTable(Segments);
    SubTable.resize(SubTable.size() + 200000, 0);
    TCountingStream Stream(SharedBy(2000, SubTable));
    TTableCmap Cmap("cmap");
    Cmap.LoadFromStream(Stream);
    EXPECT_EQ(Cmap.EncodingCount(), 22u);
    EXPECT_EQ(Cmap.Encodings(0).SubTable.Mappings.Count(), 30000u + 32765);
    EXPECT_LE(Stream.BytesRead, static_cast<std::uint64_t>(Stream.Size()));
}

TEST(CmapBounds, OverlappingSegmentsOverTheWholeRangeCountTheirRepeatsInBulk)
{
    std::vector<TFormat4Segment> Segments(32766, {0, 0xFFFE, 0, 0});
    Segments.push_back(Format4Terminator());
    const auto Cmap = LoadCmap(TCmapBuilder().Add(3, 1, Format4SubTable(Segments)).Build());
    const TCmapEncodingSubTable& SubTable = Cmap->Encodings(0).SubTable;
    ASSERT_EQ(SubTable.Mappings.Count(), 65535u);
    EXPECT_EQ(SubTable.Mappings.Items(65534), (TCharacterToGlyphIndexMapping{65534, 65534}));

    // 32765 segments repeat 65535 codes each; 2000 of them are said.
    const std::string Kind = "Format 4 - Can't map character %d to index %d because character is already mapped.";
    ASSERT_EQ(Warnings().size(), 2001u);
    EXPECT_EQ(Warnings()[1999], "Format 4 - Can't map character 1999 to index 1999 because character is already mapped.");
    EXPECT_EQ(Warnings().back(), Dropped(32765ull * 65535 - 2000, Kind));
}

TEST(CmapBounds, RecordsSharingALargeSubTableStopAtTheEntryLimit)
{
    // Format 2: every high byte reads 256 codes (65536 mappings a record).
    std::vector<std::uint16_t> Keys(256, 8);
    Keys[0] = 0;
    const auto Format2 = LoadCmap(SharedBy(65535, Format2SubTable(Keys, {{0, 256, 0, 10}, {0, 256, 0, 2}},
                                                                  std::vector<std::uint16_t>(256, 1))));
    ASSERT_EQ(Format2->EncodingCount(), 32u);
    EXPECT_EQ(Format2->Encodings(31).SubTable.Mappings.Count(), 65536u);
    EXPECT_EQ(Warnings().back(), Skipped(65535 - 32, 32 * (65536 + 256)));

    // Format 6: 65535 mappings a record.
    const auto Format6 = LoadCmap(SharedBy(65535, Format6SubTable(0, std::vector<std::uint16_t>(65535, 1))));
    ASSERT_EQ(Format6->EncodingCount(), 33u);
    EXPECT_EQ(Warnings().back(), Skipped(65535 - 33, 33 * 65535));

    // Format 4 segments that map nothing still cost their reading.
    std::vector<TFormat4Segment> Empty(32766, {1, 0, 0, 0});
    Empty.push_back(Format4Terminator());
    const auto Format4 = LoadCmap(SharedBy(65535, Format4SubTable(Empty)));
    EXPECT_EQ(Format4->EncodingCount(), 65u);
    EXPECT_EQ(Warnings().back(), Skipped(65535 - 65, 65 * 32766));

    // Removing two million mappings says 2000 of them, the last one first.
    TWarningCollector::Clear();
    EXPECT_TRUE(Format6->RemoveIllegalMappings(1));
    ASSERT_EQ(Warnings().size(), 2001u);
    const std::string Kind =
        "[fixed] TCmapEncodingSubTable with FSubTableFormat %d has illegal mapping from glyph index %d to character %d.";
    EXPECT_EQ(Warnings().front(),
              "[fixed] TCmapEncodingSubTable with FSubTableFormat 4 has illegal mapping from glyph index 1 to character 65534.");
    EXPECT_EQ(Warnings().back(), Dropped(33ull * 65535 - 2000, Kind));
    for (std::ptrdiff_t i = 0; i < 33; ++i)
        EXPECT_EQ(Format6->Encodings(i).SubTable.Mappings.Count(), 0u);
}

TEST(CmapBounds, Format2SubHeadersCannotAliasOtherHighBytes)
{
    // Every high byte names one subheader of 65535 entries: 256 codes each.
    const auto Cmap = LoadCmap(TCmapBuilder()
                                   .Add(3, 1, Format2SubTable(std::vector<std::uint16_t>(256, 8),
                                                              {{0, 0, 0, 0}, {0, 65535, 0, 2}},
                                                              std::vector<std::uint16_t>(256, 3)))
                                   .Build());
    const TCmapEncodingSubTable& SubTable = Cmap->Encodings(0).SubTable;
    ASSERT_EQ(SubTable.Mappings.Count(), 65536u);
    EXPECT_EQ(SubTable.Mappings.Items(65535), (TCharacterToGlyphIndexMapping{0xFFFF, 3}));
}

TEST(CmapBounds, SixtyFiveThousandRecordsLoadWithoutQuadraticWork)
{
    // Each record with a small subtable of its own.
    TCmapBuilder Own;
    for (std::uint32_t i = 0; i < 65535; ++i)
        Own.Add(static_cast<std::uint16_t>(i), 1,
                Format4SubTable({{static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i), 1, 0},
                                 Format4Terminator()}));
    const auto Cmap = LoadCmap(Own.Build());
    ASSERT_EQ(Cmap->EncodingCount(), 65535u);
    EXPECT_TRUE(Warnings().empty());
    EXPECT_EQ(Cmap->Encodings(65534).SubTable.Mappings.Items(0), (TCharacterToGlyphIndexMapping{65534, 65535}));
    EXPECT_EQ(Cmap->MappingTable().FindEncoding(40000, 1), &Cmap->Encodings(40000));

    // Every record for the same pair: one entry, and the repeats counted.
    TCmapBuilder Same;
    Same.Add(3, 1, Format4SubTable({Format4Terminator()}));
    for (std::size_t i = 1; i < 65535; ++i)
        Same.Share(3, 1, 0);
    const auto One = LoadCmap(Same.Build());
    EXPECT_EQ(One->EncodingCount(), 1u);
    ASSERT_EQ(Warnings().size(), 2001u);
    EXPECT_EQ(Warnings().back(),
              Dropped(65534 - 2000, "CmapEncodingSubTable with PlatFormID %d and PlatformSpecificEncodingID %d already exists"));

    // A header alone claiming 65535 records: past the end of the file they
    // all read as (0, 0) at offset 0, where the header itself is taken for a
    // format 6 subtable once, and then named again 65534 times.
    const auto Header = LoadCmap({0, 6, 0xFF, 0xFF});
    EXPECT_EQ(Header->EncodingCount(), 1u);
    ASSERT_EQ(Warnings().size(), 2002u);
    EXPECT_EQ(Warnings()[1], "CmapEncodingSubTable with PlatFormID 0 and PlatformSpecificEncodingID 0 already exists");
    EXPECT_EQ(Warnings().back(),
              Dropped(65534 - 2000, "CmapEncodingSubTable with PlatFormID %d and PlatformSpecificEncodingID %d already exists"));
}
