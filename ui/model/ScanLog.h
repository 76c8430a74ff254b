// The lines a scan writes into the results log, and the Read Me text.
#pragma once

#include <string>
#include <string_view>

#include "platform/SystemInfo.h"

namespace ui {

// The platform's clock gives the time the log shows.
using TLocalTime = platform::TLocalTime;

// The first line of every scan's block: the maker and its web address.
std::string BannerLine();
// "Started:    dd-mm-yyyy, at hh:mm:ss", the time separator the locale's.
std::string StartedLine(const TLocalTime& Time, std::string_view TimeSeparator);
// "Completed:  dd-mm-yyyy, at hh:mm:ss".
std::string CompletedLine(const TLocalTime& Time, std::string_view TimeSeparator);

// The Read Me window's text, lines ended by CR LF.
std::string ReadMeText();

}  // namespace ui
