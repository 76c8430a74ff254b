// A read-only view of another stream that keeps every page it has fetched.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "base/Stream.h"

namespace base {

// For readers whose small reads jump back and forth across a file (the
// records and segments of a hostile cmap can send a million of them): each
// page is transferred from the source once, whatever the source's buffering.
// Holds at most the source's size; the source must not change meanwhile.
class TPageCacheStream final : public TStream {
public:
    explicit TPageCacheStream(TStream& Source);

    std::size_t Read(void* Buffer, std::size_t Count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Size() const override { return FSize; }
    std::int64_t Position() const override { return FPosition; }
    void SetPosition(std::int64_t Position) override;

private:
    static constexpr std::int64_t PageSize = 4096;
    // Filled by the read at once.
    using TPage = TReadBuffer;

    const TPage& Page(std::int64_t Number);

    TStream& FSource;
    const std::int64_t FSize;
    std::int64_t FPosition;
    std::unordered_map<std::int64_t, TPage> FPages;
    // The page of the last read: most reads land in it again.
    std::int64_t FLastNumber = -1;
    const TPage* FLastPage = nullptr;
};

}  // namespace base
