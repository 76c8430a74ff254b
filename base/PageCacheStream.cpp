#include "base/PageCacheStream.h"

#include <algorithm>
#include <cstring>

namespace base {

TPageCacheStream::TPageCacheStream(TStream& Source)
    : FSource(Source), FSize(Source.Size()), FPosition(Source.Position())
{
}

void TPageCacheStream::SetPosition(std::int64_t Position) { FPosition = std::max<std::int64_t>(0, Position); }

const TPageCacheStream::TPage& TPageCacheStream::Page(std::int64_t Number)
{
    if (Number == FLastNumber)
        return *FLastPage;
    auto [At, Added] = FPages.try_emplace(Number);
    if (Added) {
        const std::int64_t Start = Number * PageSize;
        At->second.resize(static_cast<std::size_t>(std::min(PageSize, FSize - Start)));
        FSource.SetPosition(Start);
        At->second.resize(FSource.Read(At->second.data(), At->second.size()));
    }
    FLastNumber = Number;
    FLastPage = &At->second;
    return At->second;
}

std::size_t TPageCacheStream::Read(void* Buffer, std::size_t Count)
{
    auto* Out = static_cast<std::uint8_t*>(Buffer);
    std::size_t Done = 0;
    while (Done < Count && FPosition < FSize) {
        const TPage& Bytes = Page(FPosition / PageSize);
        const auto Offset = static_cast<std::size_t>(FPosition % PageSize);
        if (Offset >= Bytes.size())
            break;
        const std::size_t N = std::min(Count - Done, Bytes.size() - Offset);
        std::memcpy(Out + Done, Bytes.data() + Offset, N);
        Done += N;
        FPosition += static_cast<std::int64_t>(N);
    }
    return Done;
}

}  // namespace base
