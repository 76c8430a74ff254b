#include "tools/json/JsonWriter.h"

#include <charconv>
#include <cmath>

#include "base/TextConversion.h"

namespace inspect {

namespace {

using base::AppendUtf8;

// Length of the valid UTF-8 sequence at Text[i], or 0. Surrogates are no
// characters here.
std::size_t Utf8SequenceLength(std::string_view Text, std::size_t i)
{
    char32_t Code = 0;
    const std::size_t Length = base::DecodeUtf8(Text, i, Code);
    return Code >= 0xD800 && Code <= 0xDFFF ? 0 : Length;
}

}  // namespace

std::string JsonQuote(std::string_view Text)
{
    static const char Hex[] = "0123456789abcdef";
    std::string Out = "\"";
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const auto C = static_cast<unsigned char>(Text[i]);
        if (C == '"' || C == '\\') {
            Out += '\\';
            Out += static_cast<char>(C);
        } else if (C < 0x20 || C == 0x7F) {
            Out += "\\u00";
            Out += Hex[C >> 4];
            Out += Hex[C & 15];
        } else if (C < 0x80) {
            Out += static_cast<char>(C);
        } else if (const std::size_t Length = Utf8SequenceLength(Text, i)) {
            Out.append(Text.substr(i, Length));
            i += Length - 1;
        } else {
            AppendUtf8(Out, C);
        }
    }
    Out += '"';
    return Out;
}

void TJsonWriter::Separate()
{
    if (FAfterKey) {
        FAfterKey = false;
        return;
    }
    if (!FHasElement.empty()) {
        if (FHasElement.back())
            FOut << ',';
        FHasElement.back() = true;
    }
    FlushNewline();
}

void TJsonWriter::FlushNewline()
{
    if (FNewlinePending)
        FOut << '\n';
    FNewlinePending = false;
}

TJsonWriter& TJsonWriter::Open(char Bracket)
{
    Separate();
    FOut << Bracket;
    FHasElement.push_back(false);
    return *this;
}

TJsonWriter& TJsonWriter::Close(char Bracket)
{
    FlushNewline();
    FOut << Bracket;
    FHasElement.pop_back();
    return *this;
}

TJsonWriter& TJsonWriter::Key(std::string_view Name)
{
    Separate();
    FOut << JsonQuote(Name) << ':';
    FAfterKey = true;
    return *this;
}

TJsonWriter& TJsonWriter::Value(std::string_view Text)
{
    Separate();
    FOut << JsonQuote(Text);
    return *this;
}

// JSON readers take UTF-8 only: an unpaired surrogate shows as U+FFFD.
TJsonWriter& TJsonWriter::Value(std::u16string_view Text)
{
    return Value(base::Utf16ToUtf8(Text, base::TLoneSurrogates::Replace));
}

TJsonWriter& TJsonWriter::Value(bool Flag)
{
    Separate();
    FOut << (Flag ? "true" : "false");
    return *this;
}

TJsonWriter& TJsonWriter::Value(double Number)
{
    if (!std::isfinite(Number))
        return Null();
    Separate();
    char Text[32];
    const auto Result = std::to_chars(Text, Text + sizeof Text, Number);
    FOut.write(Text, Result.ptr - Text);
    return *this;
}

TJsonWriter& TJsonWriter::Null()
{
    Separate();
    FOut << "null";
    return *this;
}

}  // namespace inspect
