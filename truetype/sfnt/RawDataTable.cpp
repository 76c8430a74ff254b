#include "truetype/sfnt/RawDataTable.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace truetype {

namespace {

void CheckHeld(TStream& Stream, std::uint32_t Length)
{
    if (Length > Stream.Remaining())
        throw EStreamError("Stream read error");
}

}  // namespace

const base::TReadBuffer& TRawDataTable::Data() const
{
    if (FDeferred != nullptr)
        ReadDeferred(*std::exchange(FDeferred, nullptr), FData);
    return FData;
}

std::span<const std::uint8_t> TRawDataTable::BorrowData(base::TReadBuffer& Scratch) const
{
    if (FDeferred == nullptr)
        return FData;
    ReadDeferred(*FDeferred, Scratch);
    return Scratch;
}

void TRawDataTable::ReadDeferred(TStream& Source, base::TReadBuffer& Into) const
{
    // The length was checked against the source at the load. Should the
    // file have shrunk since (POSIX cannot deny other writers), the bytes it
    // no longer holds read as zeros, like any read past an end.
    Into.resize(FDeferredLength);
    Source.SetPosition(FDeferredAt);
    const std::size_t Got = Source.Read(Into.data(), Into.size());
    std::fill(Into.begin() + static_cast<std::ptrdiff_t>(Got), Into.end(), std::uint8_t{0});
}

void TRawDataTable::LoadRawData(TStream& Stream, std::uint32_t Length)
{
    Clear();
    if (Length == 0)
        return;
    CheckHeld(Stream, Length);
    FData.resize(Length);
    Stream.ReadBuffer(FData.data(), FData.size());
}

void TRawDataTable::DeferRawData(TStream& Source, std::uint32_t Length)
{
    Clear();
    if (Length == 0)
        return;
    CheckHeld(Source, Length);
    FDeferred = &Source;
    FDeferredAt = Source.Position();
    FDeferredLength = Length;
    Source.SetPosition(FDeferredAt + Length);
}

void TRawDataTable::LoadFromStream(TStream& Stream)
{
    Stream.SetPosition(0);
    LoadRawData(Stream, static_cast<std::uint32_t>(std::min<std::int64_t>(Stream.Size(), UINT32_MAX)));
}

void TRawDataTable::SaveToStream(TStream& Stream)
{
    const base::TReadBuffer& Bytes = Data();
    Stream.WriteBuffer(Bytes.data(), Bytes.size());
}

void TRawDataTable::Clear()
{
    FData = {};
    FDeferred = nullptr;
    FDeferredLength = 0;
}

}  // namespace truetype
