// Every conversion of text in the program, in one place. Text lives as UTF-8
// and crosses to Windows as UTF-16. Windows allows unpaired surrogates in
// names (files, registry values); they travel as their generalised UTF-8
// sequences (WTF-8), so that every UTF-16 string survives the round trip and
// a name read from the system opens what it names. The 8-bit code pages are
// how the name table stores the strings of its one-byte platforms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace base {

void AppendUtf8(std::string& Out, char32_t Code);
// Decodes the sequence at Text[i] into Code; answers its length, 0 when it is
// not UTF-8. Surrogates are accepted: they are how WTF-8 keeps unpaired ones.
std::size_t DecodeUtf8(std::string_view Text, std::size_t i, char32_t& Code);

enum class TLoneSurrogates : unsigned char {
    Keep,     // as WTF-8: for names that must reach the system again
    Replace,  // as U+FFFD: for readers that take only UTF-8, such as JSON
};

std::string Utf16ToUtf8(std::u16string_view Text, TLoneSurrogates Surrogates = TLoneSurrogates::Keep);
// Bytes that are neither UTF-8 nor WTF-8 become U+FFFD each.
std::u16string Utf8ToUtf16(std::string_view Text);

// UTF-16 code units as the little-endian bytes the registry and its files
// store them in; an odd last byte is no code unit.
std::vector<std::uint8_t> Utf16ToLittleEndian(std::u16string_view Text);
std::u16string LittleEndianToUtf16(std::span<const std::uint8_t> Bytes);

#ifdef _WIN32
// The same for the Windows API's wchar_t text.
std::wstring Utf8ToWide(std::string_view Text);
std::string WideToUtf8(std::wstring_view Text);
#endif

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

}  // namespace base
