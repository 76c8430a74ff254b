#include "base/Format.h"

#include <algorithm>
#include <charconv>

#include "base/TextConversion.h"

namespace base {

void TFormatArg::AppendDecimal(std::string& Out) const
{
    if (FIsText) {
        Out += FText;
        return;
    }
    char Buffer[24];
    const auto Result = FIsUnsigned ? std::to_chars(Buffer, Buffer + sizeof Buffer, FUnsigned)
                                    : std::to_chars(Buffer, Buffer + sizeof Buffer, FSigned);
    Out.append(Buffer, Result.ptr);
}

void TFormatArg::AppendText(std::string& Out) const
{
    if (FIsText)
        Out += FText;
    else
        AppendDecimal(Out);
}

std::string FormatText(std::string_view Format, std::initializer_list<TFormatArg> Args)
{
    std::string Out;
    // A short text stays in the string's own small buffer: reserving room for
    // every argument would cost an allocation per log line even then.
    if (Format.size() > Out.capacity())
        Out.reserve(Format.size() + 16 * Args.size());
    auto Next = Args.begin();
    std::size_t i = 0;
    while (i < Format.size()) {
        // Plain text up to the next placeholder goes over in one piece.
        const std::size_t Percent = std::min(Format.find('%', i), Format.size());
        Out.append(Format, i, Percent - i);
        i = Percent;
        if (i == Format.size())
            break;
        if (i + 1 == Format.size()) {
            Out += '%';
            break;
        }
        const char Kind = Format[i + 1];
        if (Kind == '%') {
            Out += '%';
            i += 2;
        } else if ((Kind == 'd' || Kind == 's') && Next != Args.end()) {
            if (Kind == 'd')
                Next->AppendDecimal(Out);
            else
                Next->AppendText(Out);
            ++Next;
            i += 2;
        } else {
            Out += '%';
            ++i;
        }
    }
    return Out;
}

namespace {

std::string Digits(std::uint64_t Value, std::size_t MinDigits, int Base)
{
    char Buffer[24];
    const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value, Base);
    const std::size_t Length = static_cast<std::size_t>(Result.ptr - Buffer);
    std::string Out(Length < MinDigits ? MinDigits - Length : 0, '0');
    Out.append(Buffer, Length);
    return Out;
}

bool HiddenFormatting(char32_t Code)
{
    return Code == 0x2028 || Code == 0x2029 || (Code >= 0x202A && Code <= 0x202E) || (Code >= 0x2066 && Code <= 0x2069) ||
           Code == 0x200E || Code == 0x200F;
}

}  // namespace

std::string HexDigits(std::uint64_t Value, std::size_t MinDigits) { return Digits(Value, MinDigits, 16); }

std::string DecimalDigits(std::uint64_t Value, std::size_t MinDigits) { return Digits(Value, MinDigits, 10); }

std::string EscapedControls(std::string_view Text)
{
    std::string Out;
    Out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size();) {
        char32_t Code = 0;
        const std::size_t Length = DecodeUtf8(Text, i, Code);
        if (Length == 0) {
            Out += Text[i++];
            continue;
        }
        if (Code < 0x20 || (Code >= 0x7F && Code < 0xA0))
            Out.append("\\x").append(HexDigits(Code, 2));
        else if (HiddenFormatting(Code))
            Out.append("\\u").append(HexDigits(Code, 4));
        else
            Out.append(Text, i, Length);
        i += Length;
    }
    return Out;
}

}  // namespace base
