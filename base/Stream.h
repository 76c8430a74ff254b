// Seekable byte streams: the only way the font library touches bytes.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace base {

// An allocator that leaves the elements a vector grows by as they are, for
// buffers that a read fills at once: zeroing them first would be wasted.
template <typename T>
struct TNoFillAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = TNoFillAllocator<U>;
    };
    TNoFillAllocator() = default;
    template <typename U>
    TNoFillAllocator(const TNoFillAllocator<U>&) noexcept {}  // NOLINT(google-explicit-constructor)

    template <typename U>
    void construct(U* Place) noexcept
    {
        ::new (static_cast<void*>(Place)) U;
    }
    template <typename U, typename... Args>
    void construct(U* Place, Args&&... Values)
    {
        ::new (static_cast<void*>(Place)) U(std::forward<Args>(Values)...);
    }
};

// Bytes read from a stream.
using TReadBuffer = std::vector<std::uint8_t, TNoFillAllocator<std::uint8_t>>;

// Errors of the stream itself (a short bulk copy, a file that cannot be opened).
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to Count bytes; answers how many arrived. Reading at or past the
    // end delivers nothing and is not an error.
    virtual std::size_t Read(void* Buffer, std::size_t Count) = 0;
    virtual std::size_t Write(const void* Buffer, std::size_t Count) = 0;

    virtual std::int64_t Size() const = 0;
    virtual std::int64_t Position() const = 0;
    // Any non-negative position is allowed, also one past the end.
    virtual void SetPosition(std::int64_t Position) = 0;

    // Bytes left between the position and the end (0 when positioned past it).
    std::int64_t Remaining() const;

    // Bulk copies fail with "Stream read error" / "Stream write error" when
    // not every byte could be transferred.
    void ReadBuffer(void* Buffer, std::size_t Count);
    // The next Count bytes, or as many as the stream still holds: a count
    // read from a file buys no allocation beyond what the file backs.
    TReadBuffer ReadUpTo(std::size_t Count);
    // The same, appended to Bytes; answers how many bytes came.
    template <typename Buffer>
    std::size_t AppendUpTo(Buffer& Bytes, std::size_t Count)
    {
        const auto Held = static_cast<std::uint64_t>(Remaining());
        const std::size_t Had = Bytes.size();
        Bytes.resize(Had + static_cast<std::size_t>(std::min<std::uint64_t>(Count, Held)));
        const std::size_t Got = Read(Bytes.data() + Had, Bytes.size() - Had);
        Bytes.resize(Had + Got);
        return Got;
    }
    void WriteBuffer(const void* Buffer, std::size_t Count);
};

// A growable stream in memory; writes past the end fill the gap with zeros.
class TMemoryStream final : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> Bytes);

    std::size_t Read(void* Buffer, std::size_t Count) override;
    std::size_t Write(const void* Buffer, std::size_t Count) override;
    std::int64_t Size() const override;
    std::int64_t Position() const override;
    void SetPosition(std::int64_t Position) override;

    const std::vector<std::uint8_t>& Bytes() const { return FBytes; }
    void Clear();

private:
    std::vector<std::uint8_t> FBytes;
    std::int64_t FPosition = 0;
};

// A read-only view of bytes that someone else keeps alive (no copy).
class TSpanStream final : public TStream {
public:
    TSpanStream(const std::uint8_t* Data, std::size_t Size);

    std::size_t Read(void* Buffer, std::size_t Count) override;
    std::size_t Write(const void* Buffer, std::size_t Count) override;
    std::int64_t Size() const override;
    std::int64_t Position() const override;
    void SetPosition(std::int64_t Position) override;

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::int64_t FPosition = 0;
};

// Whom a read-only file stream lets open the file beside it (Windows only;
// POSIX has no share modes).
enum class TFileShare : std::uint8_t {
    // Other readers only: what a font load wants while it reads.
    DenyWriters,
    // Other readers and writers, as a plain read does: a file another program
    // holds open for writing still opens.
    AllowWriters,
};

// A file opened for reading. Other writers are denied where the platform can
// (Windows share modes); small reads go through a few window buffers so that
// the many two-byte reads of a table parse do not each become a system call,
// and a parse that comes back to a place read a little before (a font's
// second pass) finds it still there.
class TFileStream final : public TStream {
public:
    // Raises EStreamError "Cannot open file %s" when the file cannot be opened.
    explicit TFileStream(const std::string& FileName, TFileShare Share = TFileShare::DenyWriters);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::size_t Read(void* Buffer, std::size_t Count) override;
    std::size_t Write(const void* Buffer, std::size_t Count) override;
    std::int64_t Size() const override;
    std::int64_t Position() const override;
    void SetPosition(std::int64_t Position) override;

private:
    struct THandle;
    struct TWindow {
        // Filled on demand, never zeroed: only the Length bytes read count.
        std::unique_ptr<std::uint8_t[]> Bytes;
        std::size_t Capacity = 0;
        std::int64_t Start = 0;
        std::size_t Length = 0;
        std::uint64_t LastUsed = 0;

        bool Holds(std::int64_t At) const { return At >= Start && At < Start + static_cast<std::int64_t>(Length); }
    };
    static constexpr std::size_t WindowCount = 4;

    bool Fill(std::int64_t At);
    // Makes the window that holds At the current one; false when none does.
    bool Find(std::int64_t At);

    std::unique_ptr<THandle> FHandle;
    std::int64_t FSize = 0;
    std::int64_t FPosition = 0;
    std::array<TWindow, WindowCount> FWindows;
    TWindow* FWindow = &FWindows[0];
    std::uint64_t FClock = 0;
    std::size_t FFillSize = 0;
};

}  // namespace base
