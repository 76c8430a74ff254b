// Facts about the running system, and the text services that depend on its
// locale and code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The platform identifiers of GetVersionEx.
inline constexpr std::uint32_t PlatformWin32s = 0;
inline constexpr std::uint32_t PlatformWin32Windows = 1;
inline constexpr std::uint32_t PlatformWin32NT = 2;

struct TOsVersion {
    std::uint32_t PlatformId = PlatformWin32NT;
    std::uint32_t Major = 0;
    std::uint32_t Minor = 0;
    std::uint32_t Build = 0;
    // The service-pack text exactly as the system gives it.
    std::string ServicePack;
};

struct TMemoryStatus {
    std::uint32_t MemoryLoad = 0;  // percent in use
    std::uint64_t TotalPhysical = 0;
    std::uint64_t AvailablePhysical = 0;
    std::uint64_t TotalVirtual = 0;
    std::uint64_t AvailableVirtual = 0;
};

struct TLocalTime {
    std::uint16_t Year = 0;
    std::uint16_t Month = 0;
    std::uint16_t Day = 0;
    std::uint16_t Hour = 0;
    std::uint16_t Minute = 0;
    std::uint16_t Second = 0;
};

class ISystemInfo {
public:
    virtual ~ISystemInfo() = default;

    // GetSystemDefaultLCID.
    virtual std::uint32_t DefaultLocale() = 0;
    virtual TOsVersion Version() = 0;
    virtual TMemoryStatus MemoryStatus() = 0;
    // GetLocalTime.
    virtual TLocalTime LocalTime() = 0;
    // Whether the program runs with an administrator's rights: a member of
    // the Administrators group whose token is elevated (a filtered token of
    // User Account Control holds the group for denial only).
    virtual bool IsAdministrator() = 0;
    // The string values of a file's version resource, one per sub-block
    // ("StringFileInfo\040904E4\ProductName"), in the order asked; a value
    // the resource lacks, or every value when the file has no version
    // resource, is absent.
    virtual std::vector<std::optional<std::string>> VersionStrings(const std::string& File,
                                                                   const std::vector<std::string>& SubBlocks) = 0;
};

class ITextServices {
public:
    virtual ~ITextServices() = default;

    // The user's locale's case-insensitive order: negative, 0 or positive.
    virtual int CompareText(std::string_view A, std::string_view B) = 0;
    // The text with every letter in upper case by the system's own table,
    // code unit by code unit and without regard to locale: the registry
    // matches value names by this, so two names are the same value when
    // their upper-case forms are equal.
    virtual std::string UpperCaseOrdinal(std::string_view Text) = 0;
};

}  // namespace platform
