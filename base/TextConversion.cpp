#include "base/TextConversion.h"

#include <array>
#include <cstdint>

#ifdef _WIN32
#include <climits>
#include <stdexcept>
#include <windows.h>
#endif

namespace base {

namespace {

bool IsHighSurrogate(char32_t Code) { return Code >= 0xD800 && Code <= 0xDBFF; }
bool IsLowSurrogate(char32_t Code) { return Code >= 0xDC00 && Code <= 0xDFFF; }

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

}  // namespace

void AppendUtf8(std::string& Out, char32_t Code)
{
    if (Code < 0x80) {
        Out += static_cast<char>(Code);
    } else if (Code < 0x800) {
        Out += static_cast<char>(0xC0 | (Code >> 6));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += static_cast<char>(0xE0 | (Code >> 12));
        Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (Code >> 18));
        Out += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

std::size_t DecodeUtf8(std::string_view Text, std::size_t i, char32_t& Code)
{
    const auto Lead = static_cast<unsigned char>(Text[i]);
    std::size_t Length = 0;
    char32_t Min = 0;
    if (Lead < 0x80)
        return Code = Lead, 1;
    if (Lead >= 0xC2 && Lead <= 0xDF)
        Length = 2, Min = 0x80, Code = Lead & 0x1F;
    else if (Lead >= 0xE0 && Lead <= 0xEF)
        Length = 3, Min = 0x800, Code = Lead & 0x0F;
    else if (Lead >= 0xF0 && Lead <= 0xF4)
        Length = 4, Min = 0x10000, Code = Lead & 0x07;
    else
        return 0;
    if (Length > Text.size() - i)
        return 0;
    for (std::size_t k = 1; k < Length; ++k) {
        const auto Next = static_cast<unsigned char>(Text[i + k]);
        if ((Next & 0xC0) != 0x80)
            return 0;
        Code = (Code << 6) | (Next & 0x3F);
    }
    if (Code < Min || Code > 0x10FFFF)
        return 0;
    return Length;
}

std::string Utf16ToUtf8(std::u16string_view Text, TLoneSurrogates Surrogates)
{
    std::string Out;
    Out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char32_t Code = Text[i];
        if (IsHighSurrogate(Code) && i + 1 < Text.size() && IsLowSurrogate(Text[i + 1])) {
            Code = 0x10000 + ((Code - 0xD800) << 10) + (Text[i + 1] - 0xDC00);
            ++i;
        } else if (Surrogates == TLoneSurrogates::Replace && (IsHighSurrogate(Code) || IsLowSurrogate(Code))) {
            Code = 0xFFFD;
        }
        AppendUtf8(Out, Code);
    }
    return Out;
}

std::u16string Utf8ToUtf16(std::string_view Text)
{
    std::u16string Out;
    Out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size();) {
        char32_t Code = 0;
        const std::size_t Length = DecodeUtf8(Text, i, Code);
        if (Length == 0) {
            Out += u'\uFFFD';
            ++i;
            continue;
        }
        i += Length;
        if (Code >= 0x10000) {
            Out += static_cast<char16_t>(0xD800 + ((Code - 0x10000) >> 10));
            Out += static_cast<char16_t>(0xDC00 + ((Code - 0x10000) & 0x3FF));
        } else {
            Out += static_cast<char16_t>(Code);
        }
    }
    return Out;
}

std::u16string Windows1252ToUtf16(std::string_view Bytes)
{
    std::u16string Text(Bytes.size(), u'\0');
    for (std::size_t i = 0; i < Bytes.size(); ++i) {
        const auto Byte = static_cast<std::uint8_t>(Bytes[i]);
        Text[i] = Byte >= 0x80 && Byte < 0xA0 ? Windows1252High[Byte - 0x80] : static_cast<char16_t>(Byte);
    }
    return Text;
}

std::vector<std::uint8_t> Utf16ToLittleEndian(std::u16string_view Text)
{
    std::vector<std::uint8_t> Bytes;
    Bytes.reserve(2 * Text.size());
    for (const char16_t Unit : Text) {
        Bytes.push_back(static_cast<std::uint8_t>(Unit & 0xFF));
        Bytes.push_back(static_cast<std::uint8_t>(Unit >> 8));
    }
    return Bytes;
}

std::u16string LittleEndianToUtf16(std::span<const std::uint8_t> Bytes)
{
    std::u16string Text;
    Text.reserve(Bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < Bytes.size(); i += 2)
        Text += static_cast<char16_t>(Bytes[i] | (Bytes[i + 1] << 8));
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

std::wstring Utf8ToWide(std::string_view Text)
{
    const std::u16string Units = Utf8ToUtf16(Text);
    return std::wstring(Units.begin(), Units.end());
}

std::string WideToUtf8(std::wstring_view Text)
{
    return Utf16ToUtf8(std::u16string(Text.begin(), Text.end()));
}

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

}  // namespace base
