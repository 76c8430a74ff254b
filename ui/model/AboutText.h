// The lines the About window builds from the program's version strings and
// from the running system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/SystemInfo.h"
#include "ui/model/FileVersionUnit.h"

namespace ui {

// "Version 1.0 (build 1.0.0.1)".
std::string VersionLine(const TFileVersionInfo& Info);
// The legal notice, a space, the company name.
std::string CopyrightLine(const TFileVersionInfo& Info);
std::string AboutCaption(const TFileVersionInfo& Info);
// "Microsoft Windows NT 10.00 (build 19045)" followed by the service-pack
// text exactly as given.
std::string OperatingSystemLine(const platform::TOsVersion& Version);
// Total physical memory in KB, thousands grouped with Separator, then " KB".
std::string MemoryLine(std::uint64_t TotalPhysicalBytes, std::string_view Separator);

// The vendor's web address: the About window's link and tooltip, and the
// scan's banner line.
extern const std::string_view VendorAddress;

}  // namespace ui
