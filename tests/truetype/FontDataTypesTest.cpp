#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/FontBuilder.h"
#include "truetype/sfnt/FontDataTypes.h"

using namespace truetype;

namespace {

TMemoryStream StreamOf(std::vector<std::uint8_t> Bytes) { return TMemoryStream(std::move(Bytes)); }

std::vector<std::uint8_t> Written(void (*Write)(TStream&, double), double Value)
{
    TMemoryStream S;
    Write(S, Value);
    return S.Bytes();
}

}  // namespace

TEST(FontDataTypes, IntegersAreBigEndianAndSignednessOnlyInterprets)
{
    auto S = StreamOf({0x00, 0x01, 0xFF, 0xFE, 0xFF, 0xFE, 0x00, 0x01, 0x00, 0x00});
    EXPECT_EQ(ReadUShort(S), 1);
    EXPECT_EQ(ReadShort(S), -2);
    EXPECT_EQ(ReadUShort(S), 65534);
    const std::uint32_t Fixed = ReadFixed(S);
    EXPECT_EQ(Fixed, 65536u);
    EXPECT_EQ(FixedMajor(Fixed), 1);
    EXPECT_EQ(FixedMinor(Fixed), 0);

    auto D = StreamOf({0, 0, 0, 0, 0, 0, 1, 2, 0, 0, 0, 1, 0, 0, 0, 0});
    EXPECT_EQ(ReadLongDateTime(D), 258);
    EXPECT_EQ(ReadLongDateTime(D), std::int64_t{1} << 32);
}

TEST(FontDataTypes, ReadsPastTheEndDeliverZerosAndAdvanceOnlyByWhatArrived)
{
    auto S = StreamOf({0xAB});
    EXPECT_EQ(ReadUShort(S), 0xAB00);
    EXPECT_EQ(S.Position(), 1);
    EXPECT_EQ(ReadULong(S), 0u);
    EXPECT_EQ(ReadTag(S), std::string("\0\0\0\0", 4));
    EXPECT_EQ(ReadByteString(S, 100), "");
    EXPECT_EQ(ReadCountedString(S), "");
}

TEST(FontDataTypes, StringsCountTheirUnitsAndShortenAtTheEnd)
{
    auto S = StreamOf({0, 'A', 0, 'B', 0, 'C'});
    EXPECT_EQ(ReadUnicodeString(S, 5), u"AB");
    EXPECT_EQ(S.Position(), 4);

    auto Short = StreamOf({3, 'a', 'b'});
    EXPECT_EQ(ReadCountedString(Short), "ab");

    auto Bytes = StreamOf({'c', 'v', 't', ' ', 0xE9});
    EXPECT_EQ(ReadTag(Bytes), "cvt ");
    EXPECT_EQ(ReadByteString(Bytes, 1), "\xE9");

    TMemoryStream Out;
    WriteCountedString(Out, std::string(300, 'x'));
    ASSERT_EQ(Out.Size(), 45);
    EXPECT_EQ(Out.Bytes()[0], 44);
    WriteUnicodeString(Out, u"\u00E9Z");
    EXPECT_EQ(Out.Size(), 49);
    EXPECT_EQ(Out.Bytes()[45], 0x00);
    EXPECT_EQ(Out.Bytes()[46], 0xE9);
}

TEST(FontDataTypes, F2Dot14ConvertsBothWaysWithClampingAndTiesToEven)
{
    EXPECT_EQ(F2Dot14ToFloat(0x4000), 1.0);
    EXPECT_EQ(F2Dot14ToFloat(0xC000), -1.0);
    EXPECT_EQ(F2Dot14ToFloat(0x8000), -2.0);
    EXPECT_EQ(F2Dot14ToFloat(0x7FFF), 1.99993896484375);

    EXPECT_EQ(Written(WriteF2Dot14, 2.5), (std::vector<std::uint8_t>{0x7F, 0xFF}));
    EXPECT_EQ(Written(WriteF2Dot14, -3.0), (std::vector<std::uint8_t>{0x80, 0x00}));
    EXPECT_EQ(Written(WriteF2Dot14, -1.0), (std::vector<std::uint8_t>{0xC0, 0x00}));
    EXPECT_EQ(Written(WriteF2Dot14, 1.0 / 32768), (std::vector<std::uint8_t>{0x00, 0x00}));
    EXPECT_EQ(FloatToF2Dot14(0.5), 0x2000);
    EXPECT_EQ(FloatToF2Dot14(3.0 / 32768), 0x0002);  // 1.5 rounds to the even 2
    EXPECT_EQ(FloatToF2Dot14(1e300), 0x7FFF);
    EXPECT_EQ(FloatToF2Dot14(-1e300), 0x8000);
}

TEST(FontDataTypes, QuotientsRoundHalvesToEvenForBothSigns)
{
    // The quotients are exact in double, and nearbyint ties to even.
    for (std::int64_t Numerator = -40; Numerator <= 40; ++Numerator)
        for (std::int64_t Denominator = -8; Denominator <= 8; ++Denominator) {
            if (Denominator == 0)
                continue;
            EXPECT_EQ(RoundHalfEven(Numerator, Denominator),
                      static_cast<int>(std::nearbyint(double(Numerator) / double(Denominator))))
                << Numerator << " / " << Denominator;
        }
    EXPECT_EQ(RoundHalfEven(-3, 2), -2);
}

TEST(FontDataTypes, SearchValuesFollowTheLargestPowerOfTwo)
{
    auto Check = [](std::uint16_t Count, std::uint16_t Unit, std::uint16_t Range, std::uint16_t Selector,
                    std::uint16_t Shift) {
        const TSearchValues V = CalcSearchValues(Count, Unit);
        EXPECT_EQ(V.SearchRange, Range) << Count;
        EXPECT_EQ(V.EntrySelector, Selector) << Count;
        EXPECT_EQ(V.RangeShift, Shift) << Count;
    };
    Check(0, 16, 0, 0, 0);
    Check(1, 16, 16, 0, 0);
    Check(11, 16, 128, 3, 48);
    Check(16, 16, 256, 4, 0);
    Check(17, 16, 256, 4, 16);
    Check(65535, 2, 0, 15, 65534);  // 32768 * 2 truncated to 16 bits
}

TEST(FontDataTypes, TableKindsMatchWholeTagsWithCase)
{
    EXPECT_EQ(GetTableKind("OS/2"), TTableKind::OS2);
    EXPECT_EQ(GetTableKind("CFF "), TTableKind::CFF);
    EXPECT_EQ(GetTableKind("DSIG"), TTableKind::DSIG);
    EXPECT_EQ(static_cast<int>(GetTableKind("vmtx")), 35);
    EXPECT_EQ(GetTableKind("Cmap"), TTableKind::Unknown);
    EXPECT_EQ(GetTableKind("cvt"), TTableKind::Unknown);
    EXPECT_EQ(GetTableKind(std::string("cmap\0", 5)), TTableKind::Cmap);  // only four characters count
}

TEST(FontDataTypes, SwapsReverseBytes)
{
    EXPECT_EQ(SwapUShort(0x1234), 0x3412);
    EXPECT_EQ(SwapULong(0x12345678), 0x78563412u);
    EXPECT_EQ(SwapLongDateTime(0x0102030405060708), 0x0807060504030201);
}

TEST(FontDataTypes, TagsArePaddedAndFormattingFillsPlaceholders)
{
    TMemoryStream S;
    WriteTag(S, "cvt");
    EXPECT_EQ(S.Bytes(), (std::vector<std::uint8_t>{'c', 'v', 't', ' '}));

    EXPECT_EQ(FormatText("%s %d %d%%", {"glyf", -7, 4294967295u}), "glyf -7 4294967295%");
    EXPECT_EQ(FormatText("%d and %s", {1}), "1 and %s");
    EXPECT_EQ(FormatText("%x %d 100%", {5}), "%x 5 100%");
    EXPECT_EQ(FormatText("A format longer than a short string's own buffer: %d, %s.", {-1, "end"}),
              "A format longer than a short string's own buffer: -1, end.");
}
