#include "runtime/Format.h"

#include <charconv>

namespace truetype {

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
    Out.reserve(Format.size() + 16 * Args.size());
    auto Next = Args.begin();
    for (std::size_t i = 0; i < Format.size(); ++i) {
        const char C = Format[i];
        if (C != '%' || i + 1 == Format.size()) {
            Out += C;
            continue;
        }
        const char Kind = Format[i + 1];
        if (Kind == '%') {
            Out += '%';
            ++i;
        } else if ((Kind == 'd' || Kind == 's') && Next != Args.end()) {
            if (Kind == 'd')
                Next->AppendDecimal(Out);
            else
                Next->AppendText(Out);
            ++Next;
            ++i;
        } else {
            Out += C;
        }
    }
    return Out;
}

}  // namespace truetype
