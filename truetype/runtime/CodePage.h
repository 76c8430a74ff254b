// 8-bit text in the system's default (ANSI) code page and UTF-16: how the name
// table reads and writes the strings of its one-byte platforms.
#pragma once

#include <string>
#include <string_view>

namespace truetype {

// Windows-1252, the ANSI code page of the portable build. Its five undefined
// bytes (81, 8D, 8F, 90, 9D) become the C1 controls of the same value, as
// Windows converts them, so every byte survives a round trip.
std::u16string Windows1252ToUtf16(std::string_view Bytes);
// A character the code page lacks becomes one '?' (a surrogate pair counts as
// one character).
std::string Utf16ToWindows1252(std::u16string_view Text);

// The system's ANSI code page: on Windows the real one (which may be a
// double-byte code page, so bytes and characters need not correspond one to
// one), elsewhere Windows-1252.
std::u16string AnsiToUtf16(std::string_view Bytes);
std::string Utf16ToAnsi(std::u16string_view Text);

}  // namespace truetype
