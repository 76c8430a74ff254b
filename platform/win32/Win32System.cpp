#include <windows.h>

#include <cwchar>

#include "base/AsciiText.h"
#include "base/TextConversion.h"
#include "base/Win32Handle.h"
#include "platform/win32/Win32Platform.h"

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
        Version.ServicePack = base::WideToUtf8(Info.szCSDVersion);
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

TLocalTime TWin32SystemInfo::LocalTime()
{
    SYSTEMTIME Now{};
    GetLocalTime(&Now);
    return {Now.wYear, Now.wMonth, Now.wDay, Now.wHour, Now.wMinute, Now.wSecond};
}

bool TWin32SystemInfo::IsAdministrator()
{
    SID_IDENTIFIER_AUTHORITY NtAuthority = SECURITY_NT_AUTHORITY;
    PSID Administrators = nullptr;
    if (!AllocateAndInitializeSid(&NtAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                  0, &Administrators))
        return false;
    BOOL Member = FALSE;
    if (!CheckTokenMembership(nullptr, Administrators, &Member))
        Member = FALSE;
    FreeSid(Administrators);
    if (Member == FALSE)
        return false;
    // Windows holds the group of a filtered token for denial only, but Wine's
    // limited token keeps it: the token must say it is elevated too.
    const base::TFileHandle Token([] {
        HANDLE Opened = nullptr;
        return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &Opened) ? Opened : INVALID_HANDLE_VALUE;
    }());
    TOKEN_ELEVATION Elevation{};
    DWORD Size = 0;
    return Token.Valid() &&
           GetTokenInformation(Token.Get(), TokenElevation, &Elevation, sizeof Elevation, &Size) != FALSE &&
           Elevation.TokenIsElevated != 0;
}

std::vector<std::optional<std::string>> TWin32SystemInfo::VersionStrings(const std::string& File,
                                                                         const std::vector<std::string>& SubBlocks)
{
    std::vector<std::optional<std::string>> Values(SubBlocks.size());
    const std::wstring WideFile = base::Utf8ToWide(File);
    DWORD Ignored = 0;
    const DWORD Size = GetFileVersionInfoSizeW(WideFile.c_str(), &Ignored);
    if (Size == 0)
        return Values;
    std::vector<BYTE> Block(Size, 0);
    if (!GetFileVersionInfoW(WideFile.c_str(), 0, Size, Block.data()))
        return Values;
    for (std::size_t i = 0; i < SubBlocks.size(); ++i) {
        const std::wstring Query = base::Utf8ToWide(SubBlocks[i].starts_with('\\') ? SubBlocks[i] : "\\" + SubBlocks[i]);
        void* Text = nullptr;
        UINT Length = 0;
        if (VerQueryValueW(Block.data(), Query.c_str(), &Text, &Length) && Text != nullptr)
            Values[i] = base::WideToUtf8(std::wstring_view(static_cast<const wchar_t*>(Text),
                                                 wcsnlen(static_cast<const wchar_t*>(Text), Length)));
    }
    return Values;
}

int TWin32TextServices::CompareText(std::string_view A, std::string_view B)
{
    const std::wstring WideA = base::Utf8ToWide(A);
    const std::wstring WideB = base::Utf8ToWide(B);
    const int Result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, WideA.data(),
                                      static_cast<int>(WideA.size()), WideB.data(), static_cast<int>(WideB.size()));
    if (Result == 0)
        return base::CompareTextAscii(A, B);
    return Result - CSTR_EQUAL;
}

}  // namespace platform

namespace platform {

std::string TWin32TextServices::UpperCaseOrdinal(std::string_view Text)
{
    std::wstring Wide = base::Utf8ToWide(Text);
    if (Wide.empty())
        return {};
    // The invariant upper-case mapping keeps the length: one code unit each.
    std::wstring Upper(Wide.size(), L'\0');
    const int Length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, Wide.data(), static_cast<int>(Wide.size()),
                                     Upper.data(), static_cast<int>(Upper.size()), nullptr, nullptr, 0);
    if (Length <= 0)
        return base::UpperCaseAscii(Text);
    Upper.resize(static_cast<std::size_t>(Length));
    return base::WideToUtf8(Upper);
}

bool TWin32FontSession::AddFont(const std::string& Path) { return AddFontResourceW(base::Utf8ToWide(Path).c_str()) > 0; }

bool TWin32FontSession::RemoveFont(const std::string& Path)
{
    return RemoveFontResourceW(base::Utf8ToWide(Path).c_str()) != FALSE;
}

bool TWin32FontSession::BroadcastFontChange()
{
    DWORD_PTR Ignored = 0;
    return SendMessageTimeoutW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0, SMTO_ABORTIFHUNG, 2000, &Ignored) != 0;
}

}  // namespace platform
