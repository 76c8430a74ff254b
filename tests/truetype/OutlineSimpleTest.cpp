#include <gtest/gtest.h>

#include <memory>

#include "base/BigEndianView.h"
#include "tests/truetype/OutlineTestSupport.h"
#include "truetype/outlines/OutlineSimple.h"

using namespace truetype;
using namespace outline_testing;

namespace {

std::unique_ptr<TOutlineSimple> Decoded(const TBytes& Bytes)
{
    auto Outline = std::make_unique<TOutlineSimple>();
    Outline->Decode(base::TBigEndianView(Bytes), 0);
    return Outline;
}

std::vector<std::size_t> ContourSizes(const TOutlineSimple& Outline)
{
    std::vector<std::size_t> Sizes;
    for (std::size_t i = 0; i < Outline.Contours.Count(); ++i)
        Sizes.push_back(Outline.Contours.Items(static_cast<std::ptrdiff_t>(i)).size());
    return Sizes;
}

// n points on-curve in one contour with the given coordinates.
std::unique_ptr<TOutlineSimple> Line(const std::vector<double>& Xs)
{
    auto Outline = std::make_unique<TOutlineSimple>();
    TContour Contour;
    for (const double X : Xs)
        Contour.Add({X, 0, true});
    Outline->Contours.Add(Contour);
    return Outline;
}

}  // namespace

TEST(OutlineSimple, DecodesAndEncodesATriangle)
{
    const TBytes Glyph = SimpleGlyph({{{0, 0}, {100, 0}, {100, 100}}});
    const auto Outline = Decoded(Glyph);
    ASSERT_EQ(ContourSizes(*Outline), std::vector<std::size_t>{3});
    const std::vector<TTrueTypePoint> Expected{{0, 0, true}, {100, 0, true}, {100, 100, true}};
    EXPECT_EQ(std::vector<TTrueTypePoint>(Outline->Contours.AllPoints().begin(), Outline->Contours.AllPoints().end()),
              Expected);
    const TBytes Encoded = Outline->Encode();
    const TBytes Tail(Encoded.begin() + 14, Encoded.end());
    EXPECT_EQ(Tail, (TBytes{0x31, 0x33, 0x35, 100, 100}));
    EXPECT_EQ(Decoded(Encoded)->Contours, Outline->Contours);
}

TEST(OutlineSimple, EncodesRunsRoundingAndDeltaForms)
{
    // 256 equal flags: one flag with the repeat bit and 255; 257: one more.
    const auto FlagsOf = [](const std::unique_ptr<TOutlineSimple>& Outline) {
        const TBytes Bytes = Outline->Encode();
        return TBytes(Bytes.begin() + 14, Bytes.end());
    };
    EXPECT_EQ(FlagsOf(Line(std::vector<double>(256, 0))), (TBytes{0x39, 255}));
    EXPECT_EQ(FlagsOf(Line(std::vector<double>(257, 0))), (TBytes{0x39, 255, 0x31}));
    // Halves to even: 0.5 -> 0, 2.5 -> 2, 1.5 -> 2.
    EXPECT_EQ(FlagsOf(Line({0.5, 2.5, 1.5})), (TBytes{0x31, 0x33, 0x31, 2}));
    // 255 and -255 in one byte; 256 and -256 in two.
    EXPECT_EQ(FlagsOf(Line({255, 0, 256, 0})), (TBytes{0x33, 0x23, 0x29, 1, 255, 255, 1, 0, 0xFF, 0x00}));
}

TEST(OutlineSimple, DecodesIrregularFlagsAndEndPointsAsTheyCome)
{
    // One contour claiming 2 points, a flag repeated over 4: all 5 appear.
    TByteWriter Repeat;
    Repeat.S16(1).Zeros(8).U16(1).U16(0).U8(0x39).U8(4);
    EXPECT_EQ(Decoded(Repeat)->Contours.PointCount(), 5u);

    // End points 5, 5, 10: contour 1 gets point 6 alone.
    TByteWriter Equal;
    Equal.S16(3).Zeros(8).U16(5).U16(5).U16(10).U16(0).U8(0x39).U8(10);
    EXPECT_EQ(ContourSizes(*Decoded(Equal)), (std::vector<std::size_t>{6, 1, 4}));
    // End points 5, 3: every point stays in contour 0.
    TByteWriter Falling;
    Falling.S16(2).Zeros(8).U16(5).U16(3).U16(0).U8(0x39).U8(3);
    EXPECT_EQ(ContourSizes(*Decoded(Falling)), std::vector<std::size_t>{4});
}

TEST(OutlineSimple, FailuresAndMissingBytes)
{
    TByteWriter NoPoints;
    NoPoints.S16(1).Zeros(8).U16(0xFFFF);
    EXPECT_THROW(Decoded(NoPoints), FontException);
    // Instruction bytes past the end are an error; point data past the end
    // reads as zeros.
    TByteWriter Instructions;
    Instructions.S16(1).Zeros(8).U16(0).U16(10).U8(1);
    EXPECT_THROW(Decoded(Instructions), EStreamError);
    TByteWriter Short;
    Short.S16(1).Zeros(8).U16(9).U16(0);
    const auto Outline = Decoded(Short);
    EXPECT_EQ(Outline->Contours.PointCount(), 10u);
    EXPECT_EQ(Outline->Contours.AllPoints()[9], (TTrueTypePoint{0, 0, false}));
}

TEST(OutlineSimple, InstructionBlockContoursCopiesAndSerialisedForm)
{
    TOutlineSimple Outline;
    TMemoryStream Block(TBytes{0x03, 0x00, 7, 8, 9, 10});
    Outline.LoadInstructionsFromStream(Block);
    EXPECT_EQ(Outline.Instructions, (TBytes{7, 8, 9}));
    TMemoryStream Out;
    Outline.SaveInstructionsToStream(Out);
    EXPECT_EQ(Out.Bytes(), (TBytes{0x03, 0x00, 7, 8, 9}));

    // Without contours: the header, the instructions and no flags.
    EXPECT_EQ(Outline.Encode(), (TBytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 7, 8, 9}));

    TOutlineContours Set = Line({1.25, -3})->Contours;
    TMemoryStream Serialised;
    Set.SaveToStream(Serialised);
    Serialised.SetPosition(0);
    TOutlineContours Loaded;
    Loaded.LoadFromStream(Serialised);
    EXPECT_EQ(Loaded, Set);
    Loaded.AppendCopy(Loaded);
    EXPECT_EQ(Loaded.Count(), 2u);
    EXPECT_EQ(Loaded.Items(1)[0].X, 1.25);
    TOutlineContours Placed;
    Line({10})->AppendContours(Placed, {5, 7, 2, 1, 0, 0});
    EXPECT_EQ(Placed.AllPoints()[0], (TTrueTypePoint{25, 7, true}));
}
