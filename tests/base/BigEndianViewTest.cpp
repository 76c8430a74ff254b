#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "base/BigEndianView.h"

using namespace base;

TEST(BigEndianView, ReadsPastTheEndGiveZerosWhateverTheOffset)
{
    const std::vector<std::uint8_t> Bytes{0x12, 0x34, 0x56, 0x78, 0x9A};
    const TBigEndianView View(Bytes);
    EXPECT_EQ(View.UShort(0), 0x1234);
    EXPECT_EQ(View.Short(3), static_cast<std::int16_t>(0x789A));
    EXPECT_EQ(View.ULong(1), 0x3456789Au);
    // Cut by the end: the missing bytes are zeros, low end first.
    EXPECT_EQ(View.UShort(4), 0x9A00);
    EXPECT_EQ(View.ULong(2), 0x56789A00u);
    EXPECT_EQ(View.Byte(5), 0);
    for (const std::size_t Far : {std::size_t{6}, std::numeric_limits<std::size_t>::max() - 1,
                                  std::numeric_limits<std::size_t>::max()}) {
        EXPECT_EQ(View.ULong(Far), 0u);
        EXPECT_EQ(View.UShort(Far), 0);
    }
    EXPECT_EQ(TBigEndianView().ULong(0), 0u);

    // A block holds what the stream holds, no more.
    TMemoryStream Stream(Bytes);
    Stream.SetPosition(3);
    const TBigEndianBlock Block(Stream, 1000000);
    EXPECT_EQ(Block.Size(), 2u);
    EXPECT_EQ(Block.View().ULong(0), 0x789A0000u);
    EXPECT_EQ(Stream.Position(), 5);

    // Short blocks, held inside the object, and long ones read alike.
    std::vector<std::uint8_t> Counting(600);
    for (std::size_t i = 0; i < Counting.size(); ++i)
        Counting[i] = static_cast<std::uint8_t>(i);
    TMemoryStream Long(Counting);
    EXPECT_EQ(TBigEndianBlock(Long, 0).Size(), 0u);
    for (const std::size_t Count : {std::size_t{256}, std::size_t{257}, std::size_t{200}}) {
        const auto At = static_cast<std::size_t>(Long.Position());
        const TBigEndianBlock Piece(Long, Count);
        const std::size_t Held = std::min(Count, Counting.size() - At);
        ASSERT_EQ(Piece.Size(), Held);
        EXPECT_EQ(Piece.View().Byte(0), Counting[At]);
        EXPECT_EQ(Piece.View().Byte(Held - 1), Counting[At + Held - 1]);
        EXPECT_EQ(Piece.View().Byte(Held), 0);
    }
    EXPECT_EQ(Long.Position(), 600);
}
