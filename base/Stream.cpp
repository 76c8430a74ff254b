#include "base/Stream.h"

#include <algorithm>
#include <cstring>

namespace base {

std::int64_t TStream::Remaining() const
{
    return std::max<std::int64_t>(0, Size() - Position());
}

void TStream::ReadBuffer(void* Buffer, std::size_t Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EStreamError("Stream read error");
}

TReadBuffer TStream::ReadUpTo(std::size_t Count)
{
    TReadBuffer Bytes;
    AppendUpTo(Bytes, Count);
    return Bytes;
}

void TStream::WriteBuffer(const void* Buffer, std::size_t Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EStreamError("Stream write error");
}

namespace {

// Copies what a byte range [0, Size) holds at Position into Buffer.
std::size_t CopyOut(const std::uint8_t* Data, std::size_t Size, std::int64_t Position,
                    void* Buffer, std::size_t Count)
{
    if (Position < 0 || static_cast<std::uint64_t>(Position) >= Size)
        return 0;
    const std::size_t Available = Size - static_cast<std::size_t>(Position);
    const std::size_t N = std::min(Count, Available);
    if (N != 0)
        std::memcpy(Buffer, Data + Position, N);
    return N;
}

}  // namespace

TMemoryStream::TMemoryStream(std::vector<std::uint8_t> Bytes) : FBytes(std::move(Bytes)) {}

std::size_t TMemoryStream::Read(void* Buffer, std::size_t Count)
{
    const std::size_t N = CopyOut(FBytes.data(), FBytes.size(), FPosition, Buffer, Count);
    FPosition += static_cast<std::int64_t>(N);
    return N;
}

std::size_t TMemoryStream::Write(const void* Buffer, std::size_t Count)
{
    if (Count == 0)
        return 0;
    const auto End = static_cast<std::size_t>(FPosition) + Count;
    if (End > FBytes.size())
        FBytes.resize(End);
    std::memcpy(FBytes.data() + FPosition, Buffer, Count);
    FPosition = static_cast<std::int64_t>(End);
    return Count;
}

std::int64_t TMemoryStream::Size() const { return static_cast<std::int64_t>(FBytes.size()); }
std::int64_t TMemoryStream::Position() const { return FPosition; }
void TMemoryStream::SetPosition(std::int64_t Position) { FPosition = std::max<std::int64_t>(0, Position); }

void TMemoryStream::Clear()
{
    FBytes.clear();
    FPosition = 0;
}

TSpanStream::TSpanStream(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}

std::size_t TSpanStream::Read(void* Buffer, std::size_t Count)
{
    const std::size_t N = CopyOut(FData, FSize, FPosition, Buffer, Count);
    FPosition += static_cast<std::int64_t>(N);
    return N;
}

std::size_t TSpanStream::Write(const void*, std::size_t) { return 0; }
std::int64_t TSpanStream::Size() const { return static_cast<std::int64_t>(FSize); }
std::int64_t TSpanStream::Position() const { return FPosition; }
void TSpanStream::SetPosition(std::int64_t Position) { FPosition = std::max<std::int64_t>(0, Position); }

}  // namespace base
