#include <gtest/gtest.h>

#include "tests/support/FontBuilder.h"
#include "tests/support/TableIo.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/TableGasp.h"
#include "truetype/tables/TableKern.h"

using namespace truetype;
using testing_support::TByteWriter;
using testing_support::TBytes;
using testing_support::Saved;

namespace {

std::vector<std::vector<int>> Pairs(const TTableKern& Kern)
{
    std::vector<std::vector<int>> Result;
    for (std::size_t i = 0; i < Kern.Count(); ++i) {
        const TKerningPair& P = Kern.Items(static_cast<std::ptrdiff_t>(i));
        Result.push_back({P.Left, P.Right, P.Value});
    }
    return Result;
}

// A kern table of one format 0 subtable holding Pairs (left, right, value).
TByteWriter KernHeader(std::uint16_t Subtables) { return std::move(TByteWriter().U16(0).U16(Subtables)); }
TByteWriter& Format0(TByteWriter& W, const std::vector<std::vector<int>>& Pairs, std::uint16_t Count = 0)
{
    const auto N = static_cast<std::uint16_t>(Count != 0 ? Count : Pairs.size());
    W.U16(0).U16(static_cast<std::uint16_t>(14 + 6 * Pairs.size())).U16(1).U16(N).U16(0).U16(0).U16(0);
    for (const auto& P : Pairs)
        W.U16(static_cast<std::uint16_t>(P[0])).U16(static_cast<std::uint16_t>(P[1])).S16(static_cast<std::int16_t>(P[2]));
    return W;
}

}  // namespace

TEST(GaspTable, RangesAreHeldInAscendingOrderEqualLimitsInFileOrder)
{
    const auto Gasp = testing_support::Loaded<TTableGasp>(
        "gasp", TByteWriter().U16(1).U16(5).U16(8).U16(2).U16(65535).U16(3).U16(16).U16(1).U16(16).U16(7).U16(8).U16(9));
    EXPECT_EQ(Saved(*Gasp), TBytes(TByteWriter().U16(1).U16(5).U16(8).U16(2).U16(8).U16(9).U16(16).U16(1).U16(16)
                                       .U16(7).U16(65535).U16(3)));
    Gasp->AddRange({16, 42});
    Gasp->AddRange({0, 43});
    EXPECT_EQ(Gasp->Items(0).RangeGaspBehavior, 43);
    EXPECT_EQ(Gasp->Items(5).RangeGaspBehavior, 42);
    EXPECT_EQ(Gasp->Count(), 7u);

    // A count the file does not back: the missing ranges read as zeros.
    const auto Cut = testing_support::Loaded<TTableGasp>("gasp", TByteWriter().U16(0).U16(0xFFFF).U16(9).U16(1));
    EXPECT_EQ(Cut->Count(), 0xFFFFu);
    EXPECT_EQ(Cut->Items(0xFFFE).RangeMaxPPEM, 9);
}

TEST(KernTable, ThreePairsAreWrittenAsOneFormat0SubtableOf36Bytes)
{
    TByteWriter W = KernHeader(1);
    const auto Kern = testing_support::Loaded<TTableKern>("kern", Format0(W, {{5, 7, -40}, {1, 2, 30}, {5, 8, 0}}));
    const TBytes Expected = TByteWriter().U16(0).U16(1).U16(0).U16(32).U16(1).U16(3).U16(12).U16(1).U16(6)
                                .U16(5).U16(7).S16(-40).U16(1).U16(2).U16(30).U16(5).U16(8).U16(0);
    EXPECT_EQ(Saved(*Kern), Expected);
    EXPECT_EQ(Kern->IndexOfPair(1, 2), 1);
    EXPECT_EQ(Kern->IndexOfPair(2, 1), -1);
    EXPECT_FALSE(Kern->IsEmpty());
    EXPECT_TRUE(TWarningCollector::Warnings().empty());

    const auto Empty = testing_support::Loaded<TTableKern>("kern", TByteWriter().U16(3).U16(0));
    EXPECT_TRUE(Empty->IsEmpty());
    EXPECT_EQ(Saved(*Empty), TBytes(TByteWriter().U16(3).U16(0)));
}

TEST(KernTable, ARepeatedPairStopsTheReadingAfterThePairsBeforeIt)
{
    TByteWriter W = KernHeader(1);
    const auto Kern = testing_support::Loaded<TTableKern>("kern", Format0(W, {{5, 7, 1}, {5, 8, 2}, {9, 9, 3}, {5, 7, 4}, {5, 8, 5}}));
    EXPECT_EQ(Pairs(*Kern), (std::vector<std::vector<int>>{{5, 7, 1}, {5, 8, 2}, {9, 9, 3}}));
    EXPECT_EQ(TWarningCollector::Warnings(),
              std::vector<std::string>{"kern table has same kerning pair twice (or more)."});

    // Pairs the file lacks read as (0, 0, 0): the second one repeats.
    TByteWriter Cut = KernHeader(1);
    const auto Short = testing_support::Loaded<TTableKern>("kern", Format0(Cut, {{1, 2, 3}}, 500));
    EXPECT_EQ(Pairs(*Short), (std::vector<std::vector<int>>{{1, 2, 3}, {0, 0, 0}}));

    // The stop is at the first pair that repeats one before it, wherever the
    // pair it repeats stands.
    TByteWriter Crossed = KernHeader(1);
    const auto Early = testing_support::Loaded<TTableKern>("kern", Format0(Crossed, {{5, 7, 1}, {9, 9, 2}, {9, 9, 3}, {5, 7, 4}}));
    EXPECT_EQ(Pairs(*Early), (std::vector<std::vector<int>>{{5, 7, 1}, {9, 9, 2}}));

    // A second subtable read into the table stops at a pair already loaded.
    TByteWriter More;
    More.U16(2).U16(0).U16(0).U16(0).U16(1).U16(1).S16(6).U16(5).U16(7).S16(7);
    TMemoryStream In(More.Bytes());
    TWarningCollector::Clear();
    Early->LoadFormat0(In);
    EXPECT_EQ(Pairs(*Early), (std::vector<std::vector<int>>{{5, 7, 1}, {9, 9, 2}, {1, 1, 6}}));
    EXPECT_EQ(TWarningCollector::Warnings().size(), 1u);
}

TEST(KernTable, AtMost10920PairsLoadAndAreWritten)
{
    std::vector<std::vector<int>> Many;
    for (int i = 0; i < 10921; ++i)
        Many.push_back({i / 256, i % 256, i % 100});
    TByteWriter W = KernHeader(1);
    const auto TooMany = testing_support::Loaded<TTableKern>("kern", Format0(W, Many));
    EXPECT_TRUE(TooMany->IsEmpty());
    EXPECT_EQ(TWarningCollector::Warnings(),
              std::vector<std::string>{"Corrupted kern table. Too many kerning pairs 10921 while 10920 is the maximum."});

    Many.pop_back();
    TByteWriter Fitting = KernHeader(1);
    const auto Kern = testing_support::Loaded<TTableKern>("kern", Format0(Fitting, Many));
    EXPECT_EQ(Kern->Count(), 10920u);
    EXPECT_EQ(Saved(*Kern).size(), 4u + 14 + 6 * 10920);
    // One more would wrap the subtable's length.
    Kern->AddPair({1, 1, 1});
    EXPECT_THROW(Saved(*Kern), FontException);
}

TEST(KernTable, EverySubtableIsVisitedAndOnlyTheFirstFormat0Loads)
{
    TByteWriter W = KernHeader(6);
    W.U16(0).U16(6).U16(0x0201);  // format 2
    W.U16(0).U16(6).U16(0x0301);  // format 3
    W.U16(1).U16(6).U16(0x0001);  // format 0, version 1
    Format0(W, {{1, 2, 3}});
    Format0(W, {{4, 5, 6}});      // a second format 0: skipped silently
    W.U16(0).U16(0).U16(0x0101);  // format 1, and a length shorter than its header
    const auto Kern = testing_support::Loaded<TTableKern>("kern", W);
    EXPECT_EQ(Pairs(*Kern), (std::vector<std::vector<int>>{{1, 2, 3}}));
    EXPECT_EQ(TWarningCollector::Warnings(),
              (std::vector<std::string>{"Unsupported Kern FormatType 2 Version 0.",
                                        "Unknown Kern FormatType 3 Version 0.",
                                        "Unsupported Kern SubtableVersion: FormatType 0 SubtableVersion 1.",
                                        "Unknown Kern FormatType 1 Version 0."}));
}

TEST(KernTable, LoaderCreatesGaspAndKernAnd65535SubtablesStayCheap)
{
    TByteWriter W = KernHeader(0xFFFF);
    Format0(W, {{1, 2, 3}});
    for (int i = 0; i < 1000; ++i)
        W.U16(0).U16(6).U16(0x0201);
    TMemoryStream S(testing_support::MinimalFont()
                        .Add("gasp", TByteWriter().U16(0).U16(1).U16(65535).U16(15))
                        .Add("kern", W)
                        .Build());
    TTrueTypeFont Font(false);
    Font.LoadFromStream(S);
    const auto* Kern = dynamic_cast<const TTableKern*>(Font.Tables.FindTable("kern"));
    ASSERT_NE(Kern, nullptr);
    EXPECT_EQ(Pairs(*Kern), (std::vector<std::vector<int>>{{1, 2, 3}}));
    EXPECT_EQ(TWarningCollector::Warnings().size(), 1000u);
    ASSERT_NE(dynamic_cast<const TTableGasp*>(Font.Tables.FindTable("gasp")), nullptr);
}

TEST(GaspKernHostile, DescendingRangesAndAFileOfSubtablesStayCheap)
{
    // Inserting 65535 descending ranges one by one would move ~2^31 ranges.
    TByteWriter G;
    G.U16(0).U16(0xFFFF);
    for (std::uint32_t i = 0; i < 0xFFFF; ++i)
        G.U16(static_cast<std::uint16_t>(0xFFFF - i)).U16(static_cast<std::uint16_t>(i));
    const auto Gasp = testing_support::Loaded<TTableGasp>("gasp", G);
    EXPECT_EQ(Gasp->Items(0).RangeMaxPPEM, 1);
    EXPECT_EQ(Gasp->Items(0xFFFE).RangeMaxPPEM, 0xFFFF);

    // 65535 format 2 subtables, all in the file: one warning kept per
    // subtable up to the collector's limit.
    TByteWriter K = KernHeader(0xFFFF);
    for (int i = 0; i < 0xFFFF; ++i)
        K.U16(0).U16(6).U16(0x0201);
    const auto Kern = testing_support::Loaded<TTableKern>("kern", K);
    EXPECT_TRUE(Kern->IsEmpty());
    EXPECT_EQ(TWarningCollector::Warnings().size(), TWarningCollector::MaxWarningsPerKind + 1);
}
