#include "base/Format.h"

#include <algorithm>
#include <charconv>

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

}  // namespace base
