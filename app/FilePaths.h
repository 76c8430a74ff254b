// Windows path pieces. The delimiters are the backslash and the drive colon
// only, as the registry's and the shell's paths use them.
#pragma once

#include <string>
#include <string_view>

namespace app {

// The folder part with its trailing delimiter; empty when there is none.
std::string ExtractFilePath(std::string_view Path);
std::string ExtractFileName(std::string_view Path);
// From the last dot after the last delimiter, the dot included.
std::string ExtractFileExt(std::string_view Path);

}  // namespace app
