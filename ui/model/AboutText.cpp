#include "ui/model/AboutText.h"

namespace ui {

const std::string_view VendorAddress = "https://velmorant.example.org/";

std::string VersionLine(const TFileVersionInfo& Info)
{
    return "Version " + Info.ProductVersion + " (build " + Info.FileVersion + ")";
}

std::string CopyrightLine(const TFileVersionInfo& Info) { return Info.LegalCopyright + " " + Info.CompanyName; }

std::string AboutCaption(const TFileVersionInfo& Info) { return "About " + Info.ProductName; }

std::string OperatingSystemLine(const platform::TOsVersion& Version)
{
    std::string Family;
    switch (Version.PlatformId) {
    case platform::PlatformWin32s: Family = "3.11"; break;
    case platform::PlatformWin32Windows: Family = Version.Minor >= 10 ? "98" : "95"; break;
    case platform::PlatformWin32NT: Family = "NT"; break;
    default: Family = "??"; break;
    }
    std::string Minor = std::to_string(Version.Minor);
    if (Version.Minor < 10)
        Minor.insert(Minor.begin(), '0');
    return "Microsoft Windows " + Family + " " + std::to_string(Version.Major) + "." + Minor + " (build " +
           std::to_string(Version.Build & 0xFFFFu) + Version.ServicePack + ")";
}

std::string MemoryLine(std::uint64_t TotalPhysicalBytes, std::string_view Separator)
{
    const std::string Digits = std::to_string(TotalPhysicalBytes / 1024 + (TotalPhysicalBytes % 1024 >= 512 ? 1 : 0));
    std::string Grouped;
    for (std::size_t i = 0; i < Digits.size(); ++i) {
        if (i > 0 && (Digits.size() - i) % 3 == 0)
            Grouped += Separator;
        Grouped += Digits[i];
    }
    return Grouped + " KB";
}

}  // namespace ui
