#include "JsonWriter.h"

namespace inspect {

namespace {

void AppendCodePoint(std::string& Out, char32_t Code)
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

// Length of the valid UTF-8 sequence at Text[i], or 0.
std::size_t Utf8SequenceLength(std::string_view Text, std::size_t i)
{
    const auto Lead = static_cast<unsigned char>(Text[i]);
    std::size_t Length = 0;
    char32_t Min = 0;
    char32_t Code = 0;
    if (Lead >= 0xC2 && Lead <= 0xDF)
        Length = 2, Min = 0x80, Code = Lead & 0x1F;
    else if (Lead >= 0xE0 && Lead <= 0xEF)
        Length = 3, Min = 0x800, Code = Lead & 0x0F;
    else if (Lead >= 0xF0 && Lead <= 0xF4)
        Length = 4, Min = 0x10000, Code = Lead & 0x07;
    else
        return 0;
    if (i + Length > Text.size())
        return 0;
    for (std::size_t k = 1; k < Length; ++k) {
        const auto Next = static_cast<unsigned char>(Text[i + k]);
        if ((Next & 0xC0) != 0x80)
            return 0;
        Code = (Code << 6) | (Next & 0x3F);
    }
    if (Code < Min || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF))
        return 0;
    return Length;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view Text)
{
    std::string Out;
    Out.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        char32_t Code = Text[i];
        if (Code >= 0xD800 && Code <= 0xDBFF && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 &&
            Text[i + 1] <= 0xDFFF) {
            Code = 0x10000 + ((Code - 0xD800) << 10) + (Text[i + 1] - 0xDC00);
            ++i;
        } else if (Code >= 0xD800 && Code <= 0xDFFF) {
            Code = 0xFFFD;  // an unpaired surrogate
        }
        AppendCodePoint(Out, Code);
    }
    return Out;
}

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
            AppendCodePoint(Out, C);
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
}

TJsonWriter& TJsonWriter::BeginObject()
{
    Separate();
    FOut << '{';
    FHasElement.push_back(false);
    return *this;
}

TJsonWriter& TJsonWriter::EndObject()
{
    FOut << '}';
    FHasElement.pop_back();
    return *this;
}

TJsonWriter& TJsonWriter::BeginArray()
{
    Separate();
    FOut << '[';
    FHasElement.push_back(false);
    return *this;
}

TJsonWriter& TJsonWriter::EndArray()
{
    FOut << ']';
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

TJsonWriter& TJsonWriter::Value(std::u16string_view Text) { return Value(Utf16ToUtf8(Text)); }

TJsonWriter& TJsonWriter::Value(bool Flag)
{
    Separate();
    FOut << (Flag ? "true" : "false");
    return *this;
}

TJsonWriter& TJsonWriter::Null()
{
    Separate();
    FOut << "null";
    return *this;
}

}  // namespace inspect
