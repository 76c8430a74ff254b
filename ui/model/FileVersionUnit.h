// The program's version strings, read from a file's version resource.
#pragma once

#include <string>

#include "platform/SystemInfo.h"

namespace ui {

struct TFileVersionInfo {
    std::string CompanyName;
    std::string ProductName;
    std::string FileVersion;
    std::string ProductVersion;
    std::string LegalCopyright;
    std::string Comments;
};

// The six strings of the file's version resource under 040904E4; a missing
// value, or a file without a version resource, leaves its field empty.
TFileVersionInfo LoadVersionInfo(platform::ISystemInfo& System, const std::string& FileName);

}  // namespace ui
