// printf-like formatting of messages with the two placeholders the library
// uses: %d (a decimal integer) and %s (a string). "%%" gives a percent sign.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace base {

class TFormatArg {
public:
    template <std::integral T>
    TFormatArg(T Value) : FIsText(false)  // NOLINT(google-explicit-constructor)
    {
        if constexpr (std::is_signed_v<T>)
            FSigned = Value;
        else
            FUnsigned = Value, FIsUnsigned = true;
    }
    TFormatArg(std::string_view Text) : FIsText(true), FText(Text) {}  // NOLINT
    TFormatArg(const std::string& Text) : FIsText(true), FText(Text) {}  // NOLINT
    TFormatArg(const char* Text) : FIsText(true), FText(Text) {}  // NOLINT

    void AppendDecimal(std::string& Out) const;
    void AppendText(std::string& Out) const;

private:
    bool FIsText;
    bool FIsUnsigned = false;
    std::int64_t FSigned = 0;
    std::uint64_t FUnsigned = 0;
    std::string_view FText;
};

// Placeholders without a matching argument are left as they stand; a %d given
// text prints the text, and a %s given a number prints the number.
std::string FormatText(std::string_view Format, std::initializer_list<TFormatArg> Args);

// Value in lower-case hexadecimal or in decimal, with leading zeros up to
// MinDigits.
std::string HexDigits(std::uint64_t Value, std::size_t MinDigits = 1);
std::string DecimalDigits(std::uint64_t Value, std::size_t MinDigits = 1);

// UTF-8 text as a console shows it safely: every control character (C0, DEL,
// C1) as \xHH, and the characters that turn or break lines unseen (U+2028,
// U+2029, the bidirectional embeddings, overrides and isolates) as \uHHHH.
// Bytes that are not UTF-8 stay as they are.
std::string EscapedControls(std::string_view Text);

}  // namespace base
