#include <gtest/gtest.h>

#include <random>

#include "tests/support/CmapBuilder.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/cmap/TableCmap.h"

using namespace truetype;
using namespace testing_support;

namespace {

using TPairs = std::vector<std::pair<int, int>>;

void AddAll(TCmapEncodingSubTable& SubTable, const TPairs& Mappings)
{
    for (const auto& [Code, Glyph] : Mappings)
        SubTable.AddMapping(static_cast<std::uint16_t>(Code), static_cast<std::uint16_t>(Glyph));
}

TPairs Pairs(const TCmapEncodingSubTable& SubTable)
{
    TPairs Result;
    for (const TCharacterToGlyphIndexMapping& Mapping : SubTable.Mappings)
        Result.emplace_back(Mapping.CharacterCode, Mapping.GlyphIndex);
    return Result;
}

TBytes Saved(TCmapEncodingSubTable& SubTable)
{
    TMemoryStream Out;
    SubTable.SaveToStream(Out);
    return Out.Bytes();
}

// A format 4 subtable holding Mappings, as the writer lays it out.
TBytes SavedFormat4(const TPairs& Mappings)
{
    TCmapEncodingSubTable SubTable;
    SubTable.SetSubTableFormat(4);
    AddAll(SubTable, Mappings);
    return Saved(SubTable);
}

// What a subtable saved as Bytes loads back as.
TPairs Reloaded(const TBytes& Bytes)
{
    TMemoryStream In(Bytes);
    TCmapEncodingSubTable SubTable;
    SubTable.LoadFromStream(In);
    return Pairs(SubTable);
}

std::string SaveError(std::uint16_t Format)
{
    TCmapEncodingSubTable SubTable;
    SubTable.SetSubTableFormat(Format);
    SubTable.Version = 3;
    try {
        Saved(SubTable);
    } catch (const FontException& Error) {
        return Error.what();
    }
    return "";
}

// The segmenting rules transcribed step by step, to hold the writer's
// single-pass walk against.
TCmapSegment ReferenceSegment(const TPairs& M, std::size_t& Position)
{
    const auto n = static_cast<std::int64_t>(M.size());
    const auto s = static_cast<std::int64_t>(Position);
    if (s >= n) {
        Position = 0;
        return {};
    }
    auto ch = [&](std::int64_t k) { return M[static_cast<std::size_t>(k)].first; };
    auto gl = [&](std::int64_t k) { return M[static_cast<std::size_t>(k)].second; };
    auto DeltaEnd = [&](std::int64_t a) {
        std::int64_t e = a;
        while (e + 1 < n && ch(e + 1) - ch(a) == e + 1 - a && gl(e + 1) - gl(a) == e + 1 - a)
            ++e;
        return e;
    };
    std::int64_t e = DeltaEnd(s);
    bool Delta = true;
    if (!(e - s >= 3 || (e + 1 < n && ch(e + 1) - ch(s) != e + 1 - s))) {
        Delta = false;
        e = s;
        while (e + 1 < n && ch(e + 1) - ch(s) == e + 1 - s)
            ++e;
        if (e - s >= 9) {
            for (std::int64_t a = s; a < n - 1;) {
                const std::int64_t b = DeltaEnd(a);
                if (b - a + 1 >= 9) {
                    e = a - 1;
                    break;
                }
                if (b < n - 1 && ch(b + 1) == ch(b) + 1)
                    a = b + 1;
                else
                    break;
            }
        }
    }
    Position = static_cast<std::size_t>(e + 1);
    return {static_cast<std::uint16_t>(ch(s)), static_cast<std::uint16_t>(ch(e)), Delta};
}

}  // namespace

TEST(CmapSave, SegmentsFollowTheRulesStepByStep)
{
    std::mt19937 Random(20240611);
    for (int Round = 0; Round < 300; ++Round) {
        TPairs Mappings;
        int Code = 0;
        int Glyph = 0;
        const int Count = static_cast<int>(Random() % 80);
        for (int i = 0; i < Count; ++i) {
            const auto Roll = static_cast<unsigned>(Random() % 20);
            Code += Roll == 0 ? 0 : Roll < 17 ? 1 : 2 + static_cast<int>(Random() % 4);
            Glyph = Random() % 3 != 0 ? Glyph + 1 : static_cast<int>(Random() % 50);
            Mappings.emplace_back(Code, Glyph);
        }
        TCmapEncodingSubTable SubTable;
        AddAll(SubTable, Mappings);
        std::size_t Ours = 0;
        std::size_t Theirs = 0;
        for (bool More = true; More;) {
            TCmapSegment Segment;
            More = SubTable.FindNextSegment(Ours, Segment);
            const TCmapSegment Expected = ReferenceSegment(Mappings, Theirs);
            ASSERT_EQ(Segment.StartCode, Expected.StartCode) << "round " << Round;
            ASSERT_EQ(Segment.EndCode, Expected.EndCode) << "round " << Round;
            ASSERT_EQ(Segment.IsDelta, Expected.IsDelta) << "round " << Round;
            ASSERT_EQ(Ours, Theirs);
        }
    }
}

TEST(CmapSave, OneDeltaRunIsOneSegmentBeforeTheTerminator)
{
    TPairs Mappings;
    for (int Code = 0x20; Code <= 0x7E; ++Code)
        Mappings.emplace_back(Code, Code - 0x20 + 3);
    const TBytes Expected = TByteWriter()
        .U16(4).U16(32).U16(0)          // format, length, version
        .U16(4).U16(4).U16(1).U16(0)    // segCountX2, searchRange, entrySelector, rangeShift
        .U16(0x7E).U16(0xFFFF)          // endCode
        .U16(0)                         // reservedPad
        .U16(0x20).U16(0xFFFF)          // startCode
        .S16(3 - 0x20).U16(1)           // idDelta
        .U16(0).U16(0);                 // idRangeOffset
    EXPECT_EQ(SavedFormat4(Mappings), Expected);
    EXPECT_EQ(Reloaded(Expected), Mappings);
}

TEST(CmapSave, CodesWithoutAGlyphRunGoThroughTheGlyphArray)
{
    const TBytes Expected = TByteWriter()
        .U16(4).U16(38).U16(0)
        .U16(4).U16(4).U16(1).U16(0)
        .U16(0x43).U16(0xFFFF)
        .U16(0)
        .U16(0x41).U16(0xFFFF)
        .U16(0).U16(1)
        .U16(4).U16(0)                  // 4 bytes from the first field to the array
        .U16(5).U16(9).U16(2);          // glyphIdArray
    EXPECT_EQ(SavedFormat4({{0x41, 5}, {0x42, 9}, {0x43, 2}}), Expected);

    // No mappings: only the terminator.
    EXPECT_EQ(SavedFormat4({}), TBytes(TByteWriter().U16(4).U16(24).U16(0).U16(2).U16(2).U16(0).U16(0)
                                           .U16(0xFFFF).U16(0).U16(0xFFFF).U16(1).U16(0)));
}

TEST(CmapSave, ALongGlyphRunInsideAnArraySegmentStartsASegmentOfItsOwn)
{
    // Codes 10 to 24 rise by one; codes 13 to 21 carry glyphs 100 to 108.
    TPairs Mappings = {{10, 50}, {11, 40}, {12, 30}};
    for (int Code = 13; Code <= 21; ++Code)
        Mappings.emplace_back(Code, Code + 87);
    Mappings.insert(Mappings.end(), {{22, 7}, {23, 3}, {24, 9}});
    const TBytes Expected = TByteWriter()
        .U16(4).U16(60).U16(0)
        .U16(8).U16(8).U16(2).U16(0)
        .U16(12).U16(21).U16(24).U16(0xFFFF)
        .U16(0)
        .U16(10).U16(13).U16(22).U16(0xFFFF)
        .U16(0).U16(87).U16(0).U16(1)
        .U16(8).U16(0).U16(10).U16(0)   // 2 * (segCount - i + glyphs before)
        .U16(50).U16(40).U16(30).U16(7).U16(3).U16(9);
    EXPECT_EQ(SavedFormat4(Mappings), Expected);
    EXPECT_EQ(Reloaded(Expected), Mappings);

    // A run of 8 stays inside the array segment.
    TPairs Shorter = {{10, 50}};
    for (int Code = 11; Code <= 18; ++Code)
        Shorter.emplace_back(Code, Code + 89);
    Shorter.insert(Shorter.end(), {{19, 7}, {20, 3}, {21, 9}});
    const TBytes Saved = SavedFormat4(Shorter);
    EXPECT_EQ(Saved[6 + 1], 4);  // segCountX2: one array segment and the terminator
    EXPECT_EQ(Reloaded(Saved), Shorter);

    // A short run followed by a gap in the codes is a delta segment; a lone
    // last mapping is an array segment.
    const TBytes Gap = SavedFormat4({{1, 5}, {2, 6}, {10, 7}});
    EXPECT_EQ(Gap, TBytes(TByteWriter().U16(4).U16(42).U16(0).U16(6).U16(4).U16(1).U16(2)
                              .U16(2).U16(10).U16(0xFFFF).U16(0).U16(1).U16(10).U16(0xFFFF)
                              .U16(4).U16(0).U16(1).U16(0).U16(4).U16(0).U16(7)));
}

TEST(CmapSave, Format4RoundTripsAMixOfRunsArraysAndGlyphZero)
{
    TPairs Mappings;
    for (int Code = 0x20; Code <= 0x7E; ++Code)
        Mappings.emplace_back(Code, Code - 29);
    for (int Code = 0x100; Code <= 0x1FF; ++Code)
        Mappings.emplace_back(Code, (Code * 7919) % 500);
    for (int Code = 0x3000; Code <= 0x3010; ++Code)
        Mappings.emplace_back(Code, 0);
    for (int Code = 0x4E00; Code <= 0x4E40; Code += 2)
        Mappings.emplace_back(Code, Code % 300 + 1);
    Mappings.emplace_back(0xFFFE, 77);
    // Added out of order: the writer sorts, so the reloaded list is sorted.
    TCmapEncodingSubTable SubTable;
    SubTable.SetSubTableFormat(4);
    AddAll(SubTable, TPairs(Mappings.rbegin(), Mappings.rend()));
    const TBytes Bytes = Saved(SubTable);
    EXPECT_EQ(Pairs(SubTable), Mappings);
    EXPECT_EQ(Reloaded(Bytes), Mappings);
}

TEST(CmapSave, Format0KeepsWhatFitsABytePerCode)
{
    TCmapEncodingSubTable SubTable;
    AddAll(SubTable, {{0x41, 5}, {0x141, 6}, {0x42, 300}, {0x41, 7}, {0, 1}});
    const TBytes Bytes = Saved(SubTable);
    ASSERT_EQ(Bytes.size(), 262u);
    EXPECT_EQ(Bytes[2] * 256 + Bytes[3], 262);
    EXPECT_EQ(Bytes[6], 1);
    EXPECT_EQ(Bytes[6 + 0x41], 7);  // the later mapping for a code wins
    EXPECT_EQ(Bytes[6 + 0x42], 0);

    // A whole format 0 table comes back byte for byte.
    std::vector<std::uint8_t> Glyphs(256);
    for (std::size_t Code = 0; Code < 256; ++Code)
        Glyphs[Code] = static_cast<std::uint8_t>(255 - Code);
    const TBytes Original = Format0SubTable(Glyphs, 262, 2);
    TMemoryStream In(Original);
    TCmapEncodingSubTable Loaded;
    Loaded.LoadFromStream(In);
    EXPECT_EQ(Saved(Loaded), Original);
}

TEST(CmapSave, TablesRoundTripWithTheirRecordOrderAndVersion)
{
    std::vector<std::uint16_t> Glyphs;
    for (std::uint16_t i = 0; i < 40; ++i)
        Glyphs.push_back(static_cast<std::uint16_t>(i * 3 % 17));
    const TBytes Original = TCmapBuilder(1)
        .Add(3, 1, Format4SubTable({{0x41, 0x5A, 3, 0}, {0x61, 0x62, 0, 4}, Format4Terminator()}, {8, 0}))
        .Add(1, 0, Format6SubTable(0x20, Glyphs))
        .Add(0, 3, Format0SubTable({0, 1, 2, 3}))
        .Build();
    TTableCmap First("cmap");
    TMemoryStream In(Original);
    First.LoadFromStream(In);
    TMemoryStream Out;
    First.SaveToStream(Out);

    TWarningCollector::Clear();
    TTableCmap Second("cmap");
    Out.SetPosition(0);
    Second.LoadFromStream(Out);
    EXPECT_TRUE(TWarningCollector::Warnings().empty());  // format 6 was written as format 4
    EXPECT_EQ(Second.Version, 1);
    ASSERT_EQ(Second.EncodingCount(), 3u);
    for (std::ptrdiff_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Second.Encodings(i).PlatformID, First.Encodings(i).PlatformID);
        EXPECT_EQ(Second.Encodings(i).SubTable.SubTableFormat(), First.Encodings(i).SubTable.SubTableFormat());
        EXPECT_EQ(Pairs(Second.Encodings(i).SubTable), Pairs(First.Encodings(i).SubTable));
    }
    EXPECT_EQ(Second.Encodings(1).SubTable.SubTableFormat(), 4);

    // Saving what was loaded gives the same bytes again.
    TMemoryStream Again;
    Second.SaveToStream(Again);
    EXPECT_EQ(Again.Bytes(), Out.Bytes());
}

TEST(CmapSave, FormatsWithoutAWriterAndOverlongSubTablesAreRefused)
{
    EXPECT_EQ(SaveError(2), "Unsupported cmap encoding format 2 [High-byte mapping through table]");
    EXPECT_EQ(SaveError(6), "Saving Unsupported cmap encoding Format 6: Trimmed table mapping ");
    EXPECT_EQ(SaveError(12), "Unsupported cmap encoding format: Format 12 Version 3");

    // 40000 codes without a glyph run need 80000 bytes of glyph array.
    TPairs Mappings;
    for (int Code = 0; Code < 40000; ++Code)
        Mappings.emplace_back(Code, Code * 7 % 1000);
    try {
        SavedFormat4(Mappings);
        ADD_FAILURE() << "saved";
    } catch (const FontException& Error) {
        EXPECT_STREQ(Error.what(), "Cmap format 4 subtable of 80032 bytes does not fit its 16-bit length");
    }
}
