// The Fonts folder fixes that every scan runs: the font cache file, the
// folder's system attribute, and its Desktop.ini.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace app {

// The results log under the font list; lines are only ever appended.
class IResultsLog {
public:
    virtual ~IResultsLog() = default;
    virtual void Add(const std::string& Line) = 0;
};

// The exact content that makes the shell show the folder as the Fonts folder.
extern const std::string_view DesktopIniContent;

// The text split into lines (ended by CR, LF or CR LF) and joined again with
// each line followed by CR LF.
std::string NormalizeLineBreaks(std::string_view Text);

// Appends one line per fix that acted. Only a Desktop.ini that cannot be
// created raises (platform::EFileError).
void RestoreFontsFolder(const platform::TPlatform& Platform, platform::TWindowHandle Owner, IResultsLog& Log);

}  // namespace app
