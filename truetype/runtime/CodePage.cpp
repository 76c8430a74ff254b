#include "runtime/CodePage.h"

#include <array>
#include <cstdint>

#ifdef _WIN32
#include <climits>
#include <stdexcept>
#include <windows.h>
#endif

namespace truetype {

namespace {

// Bytes 80 to 9F of Windows-1252; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char ToWindows1252(char16_t Code)
{
    if (Code < 0x80 || (Code >= 0xA0 && Code <= 0xFF))
        return static_cast<char>(Code);
    for (std::size_t i = 0; i < Windows1252High.size(); ++i)
        if (Windows1252High[i] == Code)
            return static_cast<char>(0x80 + i);
    return '?';
}

bool IsHighSurrogate(char16_t Code) { return Code >= 0xD800 && Code <= 0xDBFF; }
bool IsLowSurrogate(char16_t Code) { return Code >= 0xDC00 && Code <= 0xDFFF; }

}  // namespace

std::u16string Windows1252ToUtf16(std::string_view Bytes)
{
    std::u16string Text(Bytes.size(), u'\0');
    for (std::size_t i = 0; i < Bytes.size(); ++i) {
        const auto Byte = static_cast<std::uint8_t>(Bytes[i]);
        Text[i] = Byte >= 0x80 && Byte < 0xA0 ? Windows1252High[Byte - 0x80] : static_cast<char16_t>(Byte);
    }
    return Text;
}

std::string Utf16ToWindows1252(std::u16string_view Text)
{
    std::string Bytes;
    Bytes.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (IsHighSurrogate(Text[i]) && i + 1 < Text.size() && IsLowSurrogate(Text[i + 1]))
            ++i;  // outside the code page: the pair gives one '?' below
        Bytes += ToWindows1252(Text[i]);
    }
    return Bytes;
}

#ifdef _WIN32

namespace {

int CheckedLength(std::size_t Size)
{
    if (Size > static_cast<std::size_t>(INT_MAX))
        throw std::length_error("Text too long for a code page conversion");
    return static_cast<int>(Size);
}

}  // namespace

std::u16string AnsiToUtf16(std::string_view Bytes)
{
    if (Bytes.empty())
        return {};
    const int Size = CheckedLength(Bytes.size());
    const int Units = MultiByteToWideChar(CP_ACP, 0, Bytes.data(), Size, nullptr, 0);
    std::wstring Wide(static_cast<std::size_t>(Units > 0 ? Units : 0), L'\0');
    if (Units > 0)
        MultiByteToWideChar(CP_ACP, 0, Bytes.data(), Size, Wide.data(), Units);
    return std::u16string(Wide.begin(), Wide.end());
}

std::string Utf16ToAnsi(std::u16string_view Text)
{
    if (Text.empty())
        return {};
    const std::wstring Wide(Text.begin(), Text.end());
    const int Size = CheckedLength(Wide.size());
    const int Count = WideCharToMultiByte(CP_ACP, 0, Wide.data(), Size, nullptr, 0, nullptr, nullptr);
    std::string Bytes(static_cast<std::size_t>(Count > 0 ? Count : 0), '\0');
    if (Count > 0)
        WideCharToMultiByte(CP_ACP, 0, Wide.data(), Size, Bytes.data(), Count, nullptr, nullptr);
    return Bytes;
}

#else

std::u16string AnsiToUtf16(std::string_view Bytes) { return Windows1252ToUtf16(Bytes); }
std::string Utf16ToAnsi(std::u16string_view Text) { return Utf16ToWindows1252(Text); }

#endif

}  // namespace truetype
