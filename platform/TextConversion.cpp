#include "TextConversion.h"

#include <algorithm>

namespace platform {

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

namespace {

bool IsHighSurrogate(char32_t Code) { return Code >= 0xD800 && Code <= 0xDBFF; }
bool IsLowSurrogate(char32_t Code) { return Code >= 0xDC00 && Code <= 0xDFFF; }

char UpperAscii(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

}  // namespace

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

std::string Utf16ToUtf8(std::u16string_view Text)
{
    std::string Out;
    Out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char32_t Code = Text[i];
        if (IsHighSurrogate(Code) && i + 1 < Text.size() && IsLowSurrogate(Text[i + 1])) {
            Code = 0x10000 + ((Code - 0xD800) << 10) + (Text[i + 1] - 0xDC00);
            ++i;
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

int CompareTextAscii(std::string_view A, std::string_view B)
{
    const std::size_t Common = std::min(A.size(), B.size());
    for (std::size_t i = 0; i < Common; ++i) {
        const auto X = static_cast<unsigned char>(UpperAscii(A[i]));
        const auto Y = static_cast<unsigned char>(UpperAscii(B[i]));
        if (X != Y)
            return X < Y ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

bool SameTextAscii(std::string_view A, std::string_view B)
{
    return A.size() == B.size() && CompareTextAscii(A, B) == 0;
}

std::string UpperCaseAscii(std::string_view Text)
{
    std::string Upper(Text);
    for (char& C : Upper)
        C = UpperAscii(C);
    return Upper;
}

}  // namespace platform
