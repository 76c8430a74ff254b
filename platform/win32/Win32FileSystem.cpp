#include <windows.h>

#include "base/Format.h"
#include "base/TextConversion.h"
#include "base/Win32Handle.h"
#include "platform/win32/Win32Platform.h"

namespace platform {

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
    return base::WideToUtf8(std::wstring_view(Buffer.data(), Length));
}

std::uint32_t TWin32FileSystem::GetAttributes(const std::string& Path)
{
    return GetFileAttributesW(base::Utf8ToWide(Path).c_str());
}

bool TWin32FileSystem::SetAttributes(const std::string& Path, std::uint32_t Attributes)
{
    return SetFileAttributesW(base::Utf8ToWide(Path).c_str(), Attributes) != FALSE;
}

bool TWin32FileSystem::FileExists(const std::string& Path)
{
    const DWORD Attributes = GetFileAttributesW(base::Utf8ToWide(Path).c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<TFileIdentity> TWin32FileSystem::FileIdentity(const std::string& Path)
{
    WIN32_FILE_ATTRIBUTE_DATA Data{};
    if (!GetFileAttributesExW(base::Utf8ToWide(Path).c_str(), GetFileExInfoStandard, &Data) ||
        (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    const auto Join = [](DWORD High, DWORD Low) { return (std::uint64_t{High} << 32) | Low; };
    return TFileIdentity{Join(Data.nFileSizeHigh, Data.nFileSizeLow),
                         Join(Data.ftLastWriteTime.dwHighDateTime, Data.ftLastWriteTime.dwLowDateTime)};
}

bool TWin32FileSystem::FileInUse(const std::string& Path)
{
    const base::TFileHandle File(CreateFileW(base::Utf8ToWide(Path).c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!File.Valid()) {
        const DWORD Error = GetLastError();
        return Error == ERROR_SHARING_VIOLATION || Error == ERROR_LOCK_VIOLATION;
    }
    char Byte = 0;
    DWORD Read = 0;
    return !ReadFile(File.Get(), &Byte, 1, &Read, nullptr) && GetLastError() == ERROR_LOCK_VIOLATION;
}

std::string TWin32FileSystem::FinalPath(const std::string& Path)
{
    // Attributes only: no share mode of another program's stands in the way,
    // and a folder opens too.
    const base::TFileHandle File(CreateFileW(base::Utf8ToWide(Path).c_str(), FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!File.Valid())
        return {};
    const DWORD Flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    std::wstring Buffer(MAX_PATH, L'\0');
    DWORD Length = GetFinalPathNameByHandleW(File.Get(), Buffer.data(), static_cast<DWORD>(Buffer.size()), Flags);
    if (Length >= Buffer.size()) {
        // The answer is the size needed, its NUL included.
        Buffer.assign(Length, L'\0');
        Length = GetFinalPathNameByHandleW(File.Get(), Buffer.data(), static_cast<DWORD>(Buffer.size()), Flags);
    }
    if (Length == 0 || Length >= Buffer.size())
        return {};
    Buffer.resize(Length);
    // "\\?\C:\..." or "\\?\UNC\server\share\...".
    if (Buffer.starts_with(L"\\\\?\\UNC\\"))
        Buffer.replace(0, 8, L"\\\\");
    else if (Buffer.starts_with(L"\\\\?\\"))
        Buffer.erase(0, 4);
    return base::WideToUtf8(Buffer);
}

std::vector<TFolderEntry> TWin32FileSystem::ListFolder(const std::string& Folder)
{
    std::vector<TFolderEntry> Entries;
    WIN32_FIND_DATAW Found{};
    const base::TFindHandle Search(FindFirstFileW(base::Utf8ToWide(Folder + "\\*.*").c_str(), &Found));
    if (!Search.Valid())
        return Entries;
    do
        Entries.push_back({base::WideToUtf8(Found.cFileName), Found.dwFileAttributes});
    while (FindNextFileW(Search.Get(), &Found));
    return Entries;
}

std::unique_ptr<base::TStream> TWin32FileSystem::OpenRead(const std::string& Path)
{
    // The library's file stream opens with the UTF-16 API and denies writers.
    return std::make_unique<base::TFileStream>(Path);
}

std::unique_ptr<base::TStream> TWin32FileSystem::OpenReadShared(const std::string& Path)
{
    return std::make_unique<base::TFileStream>(Path, base::TFileShare::AllowWriters);
}

void TWin32FileSystem::WriteNewFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes)
{
    const base::TFileHandle File(CreateFileW(base::Utf8ToWide(Path).c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD Written = 0;
    if (!File.Valid() ||
        !WriteFile(File.Get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &Written, nullptr) ||
        Written != Bytes.size())
        throw EFileError(base::FormatText("Cannot create file %s", {Path}));
}

bool TWin32FileSystem::CreateNewFile(const std::string& Path, const std::vector<std::uint8_t>& Bytes)
{
    const std::wstring WidePath = base::Utf8ToWide(Path);
    base::TFileHandle File(
        CreateFileW(WidePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!File.Valid()) {
        const DWORD Error = GetLastError();
        if (Error == ERROR_FILE_EXISTS || Error == ERROR_ALREADY_EXISTS)
            return false;
        throw EFileError(base::FormatText("Cannot create file %s", {Path}));
    }
    DWORD Written = 0;
    if (!WriteFile(File.Get(), Bytes.data(), static_cast<DWORD>(Bytes.size()), &Written, nullptr) ||
        Written != Bytes.size()) {
        // A part of the file is worse than none.
        File.Reset();
        DeleteFileW(WidePath.c_str());
        throw EFileError(base::FormatText("Cannot create file %s", {Path}));
    }
    return true;
}

bool TWin32FileSystem::CopyNewFile(const std::string& From, const std::string& To)
{
    // Fail if the target exists: nothing another installer put there is
    // ever replaced.
    if (CopyFileW(base::Utf8ToWide(From).c_str(), base::Utf8ToWide(To).c_str(), TRUE))
        return true;
    const DWORD Error = GetLastError();
    if (Error == ERROR_FILE_EXISTS || Error == ERROR_ALREADY_EXISTS)
        return false;
    throw EFileError(base::FormatText("Cannot copy file %s to %s", {From, To}));
}

void TWin32FileSystem::CreateFolders(const std::string& Path)
{
    // Each folder from the top down; those that exist already are passed over.
    for (std::size_t At = Path.find('\\', 3); ; At = Path.find('\\', At + 1)) {
        const std::string Folder = Path.substr(0, At);
        CreateDirectoryW(base::Utf8ToWide(Folder).c_str(), nullptr);
        if (At == std::string::npos)
            break;
    }
    const DWORD Attributes = GetFileAttributesW(base::Utf8ToWide(Path).c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES || (Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        throw EFileError(base::FormatText("Cannot create folder %s", {Path}));
}

bool TWin32FileSystem::RemoveFile(const std::string& Path)
{
    return DeleteFileW(base::Utf8ToWide(Path).c_str()) != FALSE;
}

bool TWin32FileSystem::RemoveFileAtRestart(const std::string& Path)
{
    return MoveFileExW(base::Utf8ToWide(Path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

}  // namespace platform
