#include <windows.h>

#include <cwchar>

#include "Win32Platform.h"
#include "Win32Text.h"

namespace platform {

std::uint32_t TWin32SystemInfo::DefaultLocale() { return GetSystemDefaultLCID(); }

TOsVersion TWin32SystemInfo::Version()
{
    OSVERSIONINFOW Info{};
    Info.dwOSVersionInfoSize = sizeof(Info);
    TOsVersion Version;
    if (GetVersionExW(&Info)) {
        Version.PlatformId = Info.dwPlatformId;
        Version.Major = Info.dwMajorVersion;
        Version.Minor = Info.dwMinorVersion;
        Version.Build = Info.dwBuildNumber;
        Version.ServicePack = Narrow(Info.szCSDVersion);
    }
    return Version;
}

TMemoryStatus TWin32SystemInfo::MemoryStatus()
{
    MEMORYSTATUSEX Status{};
    Status.dwLength = sizeof(Status);
    TMemoryStatus Memory;
    if (GlobalMemoryStatusEx(&Status)) {
        Memory.MemoryLoad = Status.dwMemoryLoad;
        Memory.TotalPhysical = Status.ullTotalPhys;
        Memory.AvailablePhysical = Status.ullAvailPhys;
        Memory.TotalVirtual = Status.ullTotalVirtual;
        Memory.AvailableVirtual = Status.ullAvailVirtual;
    }
    return Memory;
}

std::vector<std::optional<std::string>> TWin32SystemInfo::VersionStrings(const std::string& File,
                                                                         const std::vector<std::string>& SubBlocks)
{
    std::vector<std::optional<std::string>> Values(SubBlocks.size());
    const std::wstring WideFile = Wide(File);
    DWORD Ignored = 0;
    const DWORD Size = GetFileVersionInfoSizeW(WideFile.c_str(), &Ignored);
    if (Size == 0)
        return Values;
    std::vector<BYTE> Block(Size, 0);
    if (!GetFileVersionInfoW(WideFile.c_str(), 0, Size, Block.data()))
        return Values;
    for (std::size_t i = 0; i < SubBlocks.size(); ++i) {
        const std::wstring Query = Wide(SubBlocks[i].starts_with('\\') ? SubBlocks[i] : "\\" + SubBlocks[i]);
        void* Text = nullptr;
        UINT Length = 0;
        if (VerQueryValueW(Block.data(), Query.c_str(), &Text, &Length) && Text != nullptr)
            Values[i] = Narrow(std::wstring_view(static_cast<const wchar_t*>(Text),
                                                 wcsnlen(static_cast<const wchar_t*>(Text), Length)));
    }
    return Values;
}

int TWin32TextServices::CompareText(std::string_view A, std::string_view B)
{
    const std::wstring WideA = Wide(A);
    const std::wstring WideB = Wide(B);
    const int Result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, WideA.data(),
                                      static_cast<int>(WideA.size()), WideB.data(), static_cast<int>(WideB.size()));
    if (Result == 0)
        return CompareTextAscii(A, B);
    return Result - CSTR_EQUAL;
}

std::string TWin32TextServices::AnsiToUtf8(std::string_view Ansi)
{
    if (Ansi.empty())
        return {};
    const int Length = MultiByteToWideChar(CP_ACP, 0, Ansi.data(), static_cast<int>(Ansi.size()), nullptr, 0);
    std::wstring Text(static_cast<std::size_t>(Length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, Ansi.data(), static_cast<int>(Ansi.size()), Text.data(), Length);
    return Narrow(Text);
}

std::string TWin32TextServices::Utf8ToAnsi(std::string_view Text, bool* Lossy)
{
    const std::wstring WideText = Wide(Text);
    BOOL UsedDefault = FALSE;
    std::string Ansi;
    if (!WideText.empty()) {
        const int Length = WideCharToMultiByte(CP_ACP, 0, WideText.data(), static_cast<int>(WideText.size()), nullptr,
                                               0, nullptr, nullptr);
        Ansi.assign(static_cast<std::size_t>(Length), '\0');
        WideCharToMultiByte(CP_ACP, 0, WideText.data(), static_cast<int>(WideText.size()), Ansi.data(), Length,
                            nullptr, &UsedDefault);
    }
    if (Lossy != nullptr)
        *Lossy = UsedDefault != FALSE;
    return Ansi;
}

}  // namespace platform
