#include "ui/model/FileVersionUnit.h"

#include <optional>
#include <vector>

namespace ui {

TFileVersionInfo LoadVersionInfo(platform::ISystemInfo& System, const std::string& FileName)
{
    static const std::vector<std::string> Keys = {
        "StringFileInfo\\040904E4\\CompanyName",    "StringFileInfo\\040904E4\\ProductName",
        "StringFileInfo\\040904E4\\FileVersion",    "StringFileInfo\\040904E4\\ProductVersion",
        "StringFileInfo\\040904E4\\LegalCopyright", "StringFileInfo\\040904E4\\Comments"};
    const std::vector<std::optional<std::string>> Values = System.VersionStrings(FileName, Keys);
    TFileVersionInfo Info;
    std::string* const Targets[] = {&Info.CompanyName,    &Info.ProductName,    &Info.FileVersion,
                                    &Info.ProductVersion, &Info.LegalCopyright, &Info.Comments};
    for (std::size_t i = 0; i < Keys.size() && i < Values.size(); ++i)
        if (Values[i])
            *Targets[i] = *Values[i];
    return Info;
}

}  // namespace ui
