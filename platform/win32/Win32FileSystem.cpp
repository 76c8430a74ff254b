#include <windows.h>

#include "Win32Platform.h"
#include "Win32Text.h"
#include "runtime/Format.h"

namespace platform {

namespace {

class THandle {
public:
    explicit THandle(HANDLE Handle) : FHandle(Handle) {}
    ~THandle()
    {
        if (FHandle != INVALID_HANDLE_VALUE)
            CloseHandle(FHandle);
    }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE Get() const { return FHandle; }

private:
    HANDLE FHandle;
};

class TFindHandle {
public:
    explicit TFindHandle(HANDLE Handle) : FHandle(Handle) {}
    ~TFindHandle()
    {
        if (FHandle != INVALID_HANDLE_VALUE)
            FindClose(FHandle);
    }
    TFindHandle(const TFindHandle&) = delete;
    TFindHandle& operator=(const TFindHandle&) = delete;
    HANDLE Get() const { return FHandle; }

private:
    HANDLE FHandle;
};

}  // namespace

std::string TWin32FileSystem::WindowsFolder()
{
    std::wstring Buffer(MAX_PATH, L'\0');
    UINT Length = GetWindowsDirectoryW(Buffer.data(), static_cast<UINT>(Buffer.size()));
    if (Length >= Buffer.size()) {
        // Longer than the classic limit: the answer is the size needed.
        Buffer.assign(Length, L'\0');
        Length = GetWindowsDirectoryW(Buffer.data(), static_cast<UINT>(Buffer.size()));
    }
    if (Length == 0 || Length >= Buffer.size())
        return {};
    return Narrow(std::wstring_view(Buffer.data(), Length));
}

std::uint32_t TWin32FileSystem::GetAttributes(const std::string& Path)
{
    return GetFileAttributesW(Wide(Path).c_str());
}

bool TWin32FileSystem::SetAttributes(const std::string& Path, std::uint32_t Attributes)
{
    return SetFileAttributesW(Wide(Path).c_str(), Attributes) != FALSE;
}

bool TWin32FileSystem::FileExists(const std::string& Path)
{
    const DWORD Attributes = GetFileAttributesW(Wide(Path).c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<TFolderEntry> TWin32FileSystem::ListFolder(const std::string& Folder)
{
    std::vector<TFolderEntry> Entries;
    WIN32_FIND_DATAW Found{};
    const TFindHandle Search(FindFirstFileW(Wide(Folder + "\\*.*").c_str(), &Found));
    if (Search.Get() == INVALID_HANDLE_VALUE)
        return Entries;
    do
        Entries.push_back({Narrow(Found.cFileName), Found.dwFileAttributes});
    while (FindNextFileW(Search.Get(), &Found));
    return Entries;
}

std::unique_ptr<truetype::TStream> TWin32FileSystem::OpenRead(const std::string& Path)
{
    // The library's file stream opens with the UTF-16 API and denies writers.
    return std::make_unique<truetype::TFileStream>(Path);
}

void TWin32FileSystem::WriteNewFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes)
{
    const THandle File(CreateFileW(Wide(Path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    DWORD Written = 0;
    if (File.Get() == INVALID_HANDLE_VALUE ||
        !WriteFile(File.Get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &Written, nullptr) ||
        Written != Bytes.size())
        throw EFileError(truetype::FormatText("Cannot create file %s", {Path}));
}

}  // namespace platform
