#include "base/Format.h"
#include "base/Stream.h"
#include "base/TextConversion.h"
#include "base/Win32Handle.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace base {

namespace {
// A read at a new place fetches FirstFill bytes, and each read that goes on
// where the window ends doubles that, up to MaxFill: a table parsed field by
// field costs a handful of system calls, while the many small tables of a
// font that sit between glyph data do not each pull in 64 KiB.
constexpr std::size_t FirstFill = 4 * 1024;
constexpr std::size_t MaxFill = 64 * 1024;
}  // namespace

#ifdef _WIN32

struct TFileStream::THandle {
    TFileHandle File;
    std::size_t ReadAt(std::int64_t At, void* Buffer, std::size_t Count)
    {
        LARGE_INTEGER Distance;
        Distance.QuadPart = At;
        if (!SetFilePointerEx(File.Get(), Distance, nullptr, FILE_BEGIN))
            return 0;
        DWORD Got = 0;
        if (!ReadFile(File.Get(), Buffer, static_cast<DWORD>(Count), &Got, nullptr))
            return 0;
        return Got;
    }
};

TFileStream::TFileStream(const std::string& FileName, TFileShare Share) : FHandle(std::make_unique<THandle>())
{
    const DWORD ShareMode = Share == TFileShare::AllowWriters ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    FHandle->File = TFileHandle(CreateFileW(Utf8ToWide(FileName).c_str(), GENERIC_READ, ShareMode, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER Size;
    if (!FHandle->File.Valid() || !GetFileSizeEx(FHandle->File.Get(), &Size))
        throw EStreamError(FormatText("Cannot open file %s", {FileName}));
    FSize = Size.QuadPart;
}

#else

struct TFileStream::THandle {
    int File = -1;
    ~THandle()
    {
        if (File >= 0)
            close(File);
    }
    std::size_t ReadAt(std::int64_t At, void* Buffer, std::size_t Count)
    {
        std::size_t Done = 0;
        while (Done < Count) {
            const ssize_t Got = pread(File, static_cast<char*>(Buffer) + Done, Count - Done,
                                      static_cast<off_t>(At + static_cast<std::int64_t>(Done)));
            if (Got <= 0)
                break;
            Done += static_cast<std::size_t>(Got);
        }
        return Done;
    }
};

TFileStream::TFileStream(const std::string& FileName, TFileShare) : FHandle(std::make_unique<THandle>())
{
    // POSIX has no share modes; the file is simply opened read-only.
    FHandle->File = open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat Info {};
    if (FHandle->File < 0 || fstat(FHandle->File, &Info) != 0 || S_ISDIR(Info.st_mode))
        throw EStreamError(FormatText("Cannot open file %s", {FileName}));
    FSize = Info.st_size;
}

#endif

TFileStream::~TFileStream() = default;

bool TFileStream::Find(std::int64_t At)
{
    for (TWindow& Window : FWindows)
        if (Window.Holds(At)) {
            FWindow = &Window;
            FWindow->LastUsed = ++FClock;
            return true;
        }
    return false;
}

bool TFileStream::Fill(std::int64_t At)
{
    if (At >= FSize)
        return false;
    // A read that goes on where the current window ends refills that window,
    // growing; any other takes the window used longest ago.
    const bool GoesOn = FWindow->Length != 0 && At == FWindow->Start + static_cast<std::int64_t>(FWindow->Length);
    FFillSize = GoesOn ? std::min(2 * FFillSize, MaxFill) : FirstFill;
    if (!GoesOn)
        FWindow = &*std::min_element(FWindows.begin(), FWindows.end(), [](const TWindow& A, const TWindow& B) {
            return A.LastUsed < B.LastUsed;
        });
    TWindow& Window = *FWindow;
    const auto Want = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(FFillSize), FSize - At));
    if (Want > Window.Capacity) {
        Window.Bytes = std::make_unique_for_overwrite<std::uint8_t[]>(FFillSize);
        Window.Capacity = FFillSize;
    }
    Window.Start = At;
    Window.Length = FHandle->ReadAt(At, Window.Bytes.get(), Want);
    Window.LastUsed = ++FClock;
    return Window.Length != 0;
}

std::size_t TFileStream::Read(void* Buffer, std::size_t Count)
{
    if (Count == 0)
        return 0;
    // The common case, a field inside the current window, without the loop.
    const std::int64_t InWindow = FPosition - FWindow->Start;
    if (InWindow >= 0 && static_cast<std::uint64_t>(InWindow) + Count <= FWindow->Length) {
        std::memcpy(Buffer, FWindow->Bytes.get() + InWindow, Count);
        FPosition += static_cast<std::int64_t>(Count);
        return Count;
    }
    auto* Out = static_cast<std::uint8_t*>(Buffer);
    std::size_t Done = 0;
    while (Done < Count && FPosition < FSize) {
        if (!FWindow->Holds(FPosition) && !Find(FPosition)) {
            // A read as big as a first fill goes straight to the file, which
            // saves copying raw tables through the window.
            if (Count - Done >= FirstFill) {
                const std::size_t Got = FHandle->ReadAt(FPosition, Out + Done, Count - Done);
                Done += Got;
                FPosition += static_cast<std::int64_t>(Got);
                break;
            }
            if (!Fill(FPosition))
                break;
        }
        const auto Offset = static_cast<std::size_t>(FPosition - FWindow->Start);
        const std::size_t N = std::min(Count - Done, FWindow->Length - Offset);
        std::memcpy(Out + Done, FWindow->Bytes.get() + Offset, N);
        Done += N;
        FPosition += static_cast<std::int64_t>(N);
    }
    return Done;
}

std::size_t TFileStream::Write(const void*, std::size_t) { return 0; }
std::int64_t TFileStream::Size() const { return FSize; }
std::int64_t TFileStream::Position() const { return FPosition; }
void TFileStream::SetPosition(std::int64_t Position) { FPosition = std::max<std::int64_t>(0, Position); }

}  // namespace base
