#include <gtest/gtest.h>

#include "tests/support/FontBuilder.h"
#include "tests/support/TableIo.h"
#include "truetype/tables/TableOS_2.h"
#include "truetype/tables/TablePCLT.h"

using namespace truetype;
using testing_support::TByteWriter;
using testing_support::TBytes;

namespace {

// An OS/2 table of Version whose every field up to Size bytes is distinct.
TBytes OS2Table(std::uint16_t Version, std::size_t Size)
{
    TByteWriter W;
    W.U16(Version);
    for (std::uint16_t i = 1; i <= 15; ++i)  // xAvgCharWidth to sFamilyClass
        W.U16(static_cast<std::uint16_t>(0x0100 + i));
    for (std::uint8_t i = 1; i <= 10; ++i)  // panose
        W.U8(i);
    W.U32(0x11111111).U32(0x22222222).U32(0x33333333).U32(0x44444444);
    W.U8(0x41).U8(0x42).U8(0).U8(0);  // achVendID
    W.U16(0x40).U16(0x20).U16(0xFFFF).S16(800).S16(-200).S16(90).U16(0xFFF0).U16(0x8001);
    W.U32(0x55555555).U32(0x66666666).S16(500).S16(700).U16(1).U16(32).U16(3).U16(0xEEEE);
    TBytes Bytes = W;
    Bytes.resize(Size);
    return Bytes;
}

template <typename Table>
TBytes RoundTrip(Table& T, const TBytes& Bytes)
{
    TMemoryStream In(Bytes);
    T.LoadFromStream(In);
    return testing_support::Saved(T);
}

}  // namespace

TEST(OS2Table, EachVersionReadsAndWritesItsOwnLayout)
{
    struct TCase {
        std::uint16_t Version;
        std::size_t Size;
    };
    for (const TCase Case : {TCase{0, 78}, TCase{1, 86}, TCase{2, 96}, TCase{3, 96}, TCase{4, 96}, TCase{5, 96}}) {
        // Anything after the layout stays unread.
        TBytes Bytes = OS2Table(Case.Version, Case.Size);
        TBytes Longer = Bytes;
        Longer.insert(Longer.end(), {0xEE, 0xEE, 0xEE, 0xEE});
        TTableOS_2 OS2("OS/2");
        EXPECT_EQ(RoundTrip(OS2, Longer), Bytes) << Case.Version;
        EXPECT_EQ(OS2.achVendID, std::string("AB\0\0", 4));
        EXPECT_EQ(OS2.panose[9], 10);
        EXPECT_EQ(OS2.sFamilyClass, 0x010F);
        EXPECT_EQ(OS2.usWinAscent, -16);
        EXPECT_EQ(OS2.ulCodePageRange2, Case.Version >= 1 ? 0x66666666u : 0u);
        EXPECT_EQ(OS2.usMaxContext, Case.Version >= 2 ? 3 : 0);
    }
}

TEST(OS2Table, Version0HasNoCodePageRanges)
{
    TTableOS_2 OS2("OS/2");
    RoundTrip(OS2, OS2Table(0, 78));
    const auto Refusal = [](auto Read) {
        try {
            Read();
        } catch (const FontException& E) {
            return std::string(E.what());
        }
        return std::string("read");
    };
    EXPECT_EQ(Refusal([&] { OS2.CodePageRange1(); }), "[Table OS/2] This version 0 doesn't support ulCodePageRange1!");
    EXPECT_EQ(Refusal([&] { OS2.CodePageRange2(); }), "[Table OS/2] This version 0 doesn't support ulCodePageRange2!");
    OS2.version = 1;
    EXPECT_EQ(OS2.CodePageRange1(), 0u);
}

TEST(OS2Table, CutShortReadsZerosAndAShortVendorIdIsPadded)
{
    TTableOS_2 OS2("OS/2");
    TBytes Cut = OS2Table(2, 58);
    TMemoryStream In(Cut);
    OS2.LoadFromStream(In);
    EXPECT_EQ(OS2.ulUnicodeRange4, 0x44444444u);
    EXPECT_EQ(OS2.achVendID, std::string(4, '\0'));
    EXPECT_EQ(OS2.usMaxContext, 0);

    OS2.achVendID = "XY";
    TMemoryStream Out;
    OS2.SaveToStream(Out);
    EXPECT_EQ(Out.Bytes()[58], 'X');
    EXPECT_EQ(Out.Bytes()[61], ' ');
}

TEST(PCLTTable, StringsAreFittedAndKeepTheirZeroBytes)
{
    TTablePCLT PCLT("PCLT");
    PCLT.SetTypeface("Abc");
    EXPECT_EQ(PCLT.Typeface(), "Abc" + std::string(13, ' '));
    PCLT.SetFileName("LONGNAME1");
    EXPECT_EQ(PCLT.FileName(), "LONGNA");

    TByteWriter W;
    W.U32(0x00010000).U32(0x12345678).U16(1).U16(2).U16(3).U16(4).U16(5).U16(6);
    W.Text("Face").Zeros(2).Text("0123456789");
    W.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).U8(7).U8(8);
    W.Text("AB").Zeros(1).Text("CDE").U8(0xF9).U8(0x7F).U8(0x80).U8(0xFF);
    const TBytes Bytes = W;
    ASSERT_EQ(Bytes.size(), 54u);
    EXPECT_EQ(RoundTrip(PCLT, Bytes), Bytes);
    EXPECT_EQ(PCLT.Typeface(), std::string("Face\0\0" "0123456789", 16));
    EXPECT_EQ(PCLT.FileName(), std::string("AB\0CDE", 6));
    EXPECT_EQ(PCLT.strokeWeight, -7);
    EXPECT_EQ(PCLT.serifStyle, 0x80);
    EXPECT_EQ(PCLT.characterComplement[7], 8);

    // Cut in the typeface: the strings come back padded to their widths.
    TBytes Cut(Bytes.begin(), Bytes.begin() + 24);
    TMemoryStream In(Cut);
    PCLT.LoadFromStream(In);
    EXPECT_EQ(PCLT.Typeface(), "Face" + std::string(12, ' '));
    EXPECT_EQ(PCLT.FileName(), std::string(6, ' '));
    EXPECT_EQ(PCLT.reserved, 0);
}
