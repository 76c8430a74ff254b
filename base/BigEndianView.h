// The one checked reader of big-endian values in bytes held in memory. Every
// read names its byte offset; the bytes a read would take past the end of
// the view count as zeros, exactly as the stream primitives deliver them, so
// that a reader may fetch a table's bytes once, only as many as the file
// holds, and decode it field by field without a bounds test of its own.
#pragma once

#include <array>
#include <bit>
#include <cstring>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/Stream.h"

namespace base {

class TBigEndianView {
public:
    TBigEndianView() = default;
    TBigEndianView(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}
    explicit TBigEndianView(std::span<const std::uint8_t> Bytes) : TBigEndianView(Bytes.data(), Bytes.size()) {}
    explicit TBigEndianView(const std::vector<std::uint8_t>& Bytes) : TBigEndianView(Bytes.data(), Bytes.size()) {}

    std::size_t Size() const { return FSize; }
    // Whether the byte at Offset lies inside the view.
    bool Holds(std::size_t Offset) const { return Offset < FSize; }

    std::uint8_t Byte(std::size_t Offset) const { return Offset < FSize ? FData[Offset] : 0; }
    // The Count bytes at Offset, or as many of them as the view holds.
    std::span<const std::uint8_t> Bytes(std::size_t Offset, std::size_t Count) const
    {
        if (Offset >= FSize)
            return {};
        return {FData + Offset, Count <= FSize - Offset ? Count : FSize - Offset};
    }
    std::uint16_t UShort(std::size_t Offset) const
    {
        if (Fits(Offset, 2)) {
            std::uint16_t Value;
            std::memcpy(&Value, FData + Offset, 2);
            return FromBigEndian(Value);
        }
        return static_cast<std::uint16_t>(Cut(Offset, 2));
    }
    std::int16_t Short(std::size_t Offset) const { return static_cast<std::int16_t>(UShort(Offset)); }
    std::uint32_t ULong(std::size_t Offset) const
    {
        if (Fits(Offset, 4)) {
            std::uint32_t Value;
            std::memcpy(&Value, FData + Offset, 4);
            return FromBigEndian(Value);
        }
        return Cut(Offset, 4);
    }

private:
    // One load and one byte swap where the machine is little-endian.
    template <typename T>
    static T FromBigEndian(T Value)
    {
        if constexpr (std::endian::native == std::endian::big)
            return Value;
        else if constexpr (sizeof(T) == 2)
            return __builtin_bswap16(Value);
        else
            return __builtin_bswap32(Value);
    }
    // Written so that no offset, however large, can overflow the tests.
    bool Fits(std::size_t Offset, std::size_t Count) const { return Offset <= FSize && Count <= FSize - Offset; }
    // A value that the end of the view cuts: its missing bytes are zeros.
    std::uint32_t Cut(std::size_t Offset, std::size_t Count) const
    {
        std::uint32_t Value = 0;
        for (std::size_t k = 0; k < Count; ++k)
            Value = Value << 8 | (Offset < FSize && k < FSize - Offset ? FData[Offset + k] : 0u);
        return Value;
    }

    const std::uint8_t* FData = nullptr;
    std::size_t FSize = 0;
};

// The next Count bytes of a stream, or as many as it holds, fetched in one
// read and decoded through the view: a count taken from a file buys no
// allocation beyond what the file backs. Short blocks (a cmap segment's glyph
// ids, a record) are held inside the object, so that the many of them a load
// reads cost no allocation each.
class TBigEndianBlock {
public:
    TBigEndianBlock(TStream& Stream, std::size_t Count)
    {
        if (Count <= InlineSize) {
            FView = TBigEndianView(FInline.data(), Stream.Read(FInline.data(), Count));
        } else {
            FBytes = Stream.ReadUpTo(Count);
            FView = TBigEndianView(FBytes.data(), FBytes.size());
        }
    }
    // The view refers to the block's own bytes.
    TBigEndianBlock(const TBigEndianBlock&) = delete;
    TBigEndianBlock& operator=(const TBigEndianBlock&) = delete;

    const TBigEndianView& View() const { return FView; }
    std::size_t Size() const { return FView.Size(); }

private:
    static constexpr std::size_t InlineSize = 256;
    std::array<std::uint8_t, InlineSize> FInline;
    TReadBuffer FBytes;
    TBigEndianView FView;
};

}  // namespace base
