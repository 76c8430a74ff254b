// Comparisons of text that fold the ASCII letters a to z to upper case and
// compare every other byte by value: paths, file extensions and font names,
// where Windows' own rules are not at hand.
#pragma once

#include <string>
#include <string_view>

namespace base {

int CompareTextAscii(std::string_view A, std::string_view B);
bool SameTextAscii(std::string_view A, std::string_view B);
std::string UpperCaseAscii(std::string_view Text);

}  // namespace base
