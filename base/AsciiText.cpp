#include "base/AsciiText.h"

#include <algorithm>

namespace base {

namespace {

char UpperAscii(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

}  // namespace

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

}  // namespace base
