// UTF-8 and UTF-16 in both directions. Text crosses to the Windows API as
// UTF-16 and lives everywhere else as UTF-8; an unpaired surrogate, which
// Windows allows in names, is carried as its generalised UTF-8 sequence
// (WTF-8), so that every UTF-16 string survives the round trip unchanged.
#pragma once

#include <string>
#include <string_view>

namespace platform {

void AppendUtf8(std::string& Out, char32_t Code);
// Decodes the sequence at Text[i] into Code; answers its length, 0 when it is
// not UTF-8. Surrogates are accepted: they are how WTF-8 keeps unpaired ones.
std::size_t DecodeUtf8(std::string_view Text, std::size_t i, char32_t& Code);

std::string Utf16ToUtf8(std::u16string_view Text);
// Bytes that are not UTF-8 become U+FFFD each.
std::u16string Utf8ToUtf16(std::string_view Text);

// Letters a to z folded to upper case, every other byte compared by value.
int CompareTextAscii(std::string_view A, std::string_view B);
bool SameTextAscii(std::string_view A, std::string_view B);
std::string UpperCaseAscii(std::string_view Text);

}  // namespace platform
