#include "app/RegistryFile.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "base/Format.h"
#include "base/TextConversion.h"

namespace app {

using platform::TRegistryValue;
using platform::TRegistryValueState;

namespace {

constexpr std::u16string_view Header = u"Windows Registry Editor Version 5.00";

std::u16string Quoted(std::u16string_view Text)
{
    std::u16string Out = u"\"";
    for (const char16_t C : Text) {
        if (C == u'\\' || C == u'"')
            Out += u'\\';
        Out += C;
    }
    return Out + u"\"";
}

// Text that an import stores back exactly: code units ended by one NUL,
// without another NUL, line breaks or other controls, and without unpaired
// surrogates.
bool IsPlainText(const std::vector<std::uint8_t>& Data, std::u16string& Text)
{
    if (Data.size() < 2 || Data.size() % 2 != 0 || Data[Data.size() - 1] != 0 || Data[Data.size() - 2] != 0)
        return false;
    Text = base::LittleEndianToUtf16(std::span(Data).first(Data.size() - 2));
    if (std::any_of(Text.begin(), Text.end(), [](char16_t Unit) { return Unit < 0x20 || Unit == 0x7F; }))
        return false;
    return base::Utf8ToUtf16(base::Utf16ToUtf8(Text, base::TLoneSurrogates::Replace)) == Text;
}

std::u16string Ascii(const std::string& Text) { return std::u16string(Text.begin(), Text.end()); }

std::u16string HexBytes(const std::vector<std::uint8_t>& Data)
{
    std::string Out;
    char Byte[4];
    for (std::size_t i = 0; i < Data.size(); ++i) {
        std::snprintf(Byte, sizeof Byte, "%02x", Data[i]);
        if (i > 0)
            Out += ',';
        Out += Byte;
    }
    return Ascii(Out);
}

std::u16string ValueData(const TRegistryValue& Value)
{
    if (Value.State == TRegistryValueState::Missing)
        return u"-";
    std::u16string Text;
    if (Value.Type == platform::RegSz && IsPlainText(Value.Data, Text))
        return Quoted(Text);
    char Prefix[32];
    if (Value.Type == platform::RegDword && Value.Data.size() == 4) {
        const std::uint32_t Number = Value.Data[0] | (Value.Data[1] << 8) | (Value.Data[2] << 16) |
                                     (static_cast<std::uint32_t>(Value.Data[3]) << 24);
        std::snprintf(Prefix, sizeof Prefix, "dword:%08x", Number);
        return Ascii(Prefix);
    }
    if (Value.Type == platform::RegBinary)
        return u"hex:" + HexBytes(Value.Data);
    std::snprintf(Prefix, sizeof Prefix, "hex(%x):", Value.Type);
    return Ascii(Prefix) + HexBytes(Value.Data);
}

// Reading, line by line.
class TParser {
public:
    explicit TParser(std::u16string Text) : FText(std::move(Text)) {}

    TRegistryFile Parse()
    {
        TRegistryFile File;
        bool HeaderSeen = false;
        std::u16string Line;
        while (NextLine(Line)) {
            if (Line.empty())
                continue;
            if (!HeaderSeen) {
                if (Line != Header)
                    Fail("it does not begin with \"Windows Registry Editor Version 5.00\"");
                HeaderSeen = true;
            } else if (Line.front() == u';') {
                // A comment.
            } else if (Line.front() == u'[') {
                if (Line.back() != u']' || Line.size() < 3)
                    Fail("a key line does not end with \"]\"");
                if (Line[1] == u'-')
                    Fail("it deletes a key");
                File.Keys.push_back({base::Utf16ToUtf8(Line.substr(1, Line.size() - 2)), {}});
            } else {
                if (File.Keys.empty())
                    Fail("a value stands before the first key");
                File.Keys.back().Values.push_back(ParseValue(Line));
            }
        }
        if (!HeaderSeen)
            Fail("it is empty");
        return File;
    }

private:
    [[noreturn]] void Fail(const std::string& Why) const
    {
        throw ERegistryFileError(base::FormatText("line %d: %s", {std::to_string(FLineNumber), Why}));
    }

    // One line, with hex data continued over lines ending in "\" joined.
    bool NextLine(std::u16string& Line)
    {
        Line.clear();
        bool Continued = false;
        while (FAt < FText.size()) {
            const std::size_t End = std::min(FText.find_first_of(u"\r\n", FAt), FText.size());
            std::u16string_view Part(FText.data() + FAt, End - FAt);
            FAt = End;
            if (FAt < FText.size() && FText[FAt] == u'\r')
                ++FAt;
            if (FAt < FText.size() && FText[FAt] == u'\n')
                ++FAt;
            ++FLineNumber;
            if (Continued)
                Part.remove_prefix(std::min(Part.find_first_not_of(u" \t"), Part.size()));
            while (!Part.empty() && (Part.back() == u' ' || Part.back() == u'\t'))
                Part.remove_suffix(1);
            Line += Part;
            Continued = !Line.empty() && Line.front() != u';' && Line.front() != u'[' && Line.back() == u'\\' &&
                        Line.find(u"=hex") != std::u16string::npos;
            if (!Continued)
                return true;
            Line.pop_back();
        }
        return !Line.empty();
    }

    // A quoted text from At, its escapes undone; At ends after the quote.
    std::u16string QuotedText(const std::u16string& Line, std::size_t& At) const
    {
        if (At >= Line.size() || Line[At] != u'"')
            Fail("a quoted text is expected");
        std::u16string Text;
        for (++At; At < Line.size(); ++At) {
            char16_t C = Line[At];
            if (C == u'"') {
                ++At;
                return Text;
            }
            if (C == u'\\') {
                if (++At >= Line.size() || (Line[At] != u'\\' && Line[At] != u'"'))
                    Fail("a quoted text holds an unknown escape");
                C = Line[At];
            }
            Text += C;
        }
        Fail("a quoted text is not closed");
    }

    static int HexDigit(char16_t C)
    {
        if (C >= u'0' && C <= u'9')
            return C - u'0';
        if (C >= u'a' && C <= u'f')
            return C - u'a' + 10;
        if (C >= u'A' && C <= u'F')
            return C - u'A' + 10;
        return -1;
    }

    std::uint32_t HexNumber(std::u16string_view Text, std::size_t MaxDigits) const
    {
        if (Text.empty() || Text.size() > MaxDigits)
            Fail("a hexadecimal number is expected");
        std::uint32_t Number = 0;
        for (const char16_t C : Text) {
            const int Digit = HexDigit(C);
            if (Digit < 0)
                Fail("a hexadecimal number is expected");
            Number = Number * 16 + static_cast<std::uint32_t>(Digit);
        }
        return Number;
    }

    std::vector<std::uint8_t> HexData(std::u16string_view Text) const
    {
        std::vector<std::uint8_t> Data;
        while (!Text.empty()) {
            const std::size_t Comma = std::min(Text.find(u','), Text.size());
            std::u16string_view Byte = Text.substr(0, Comma);
            while (!Byte.empty() && Byte.front() == u' ')
                Byte.remove_prefix(1);
            while (!Byte.empty() && Byte.back() == u' ')
                Byte.remove_suffix(1);
            Data.push_back(static_cast<std::uint8_t>(HexNumber(Byte, 2)));
            if (Comma == Text.size())
                break;
            Text.remove_prefix(Comma + 1);
            if (Text.empty())
                Fail("hex data ends with a comma");
        }
        return Data;
    }

    TRegistryFileValue ParseValue(const std::u16string& Line) const
    {
        TRegistryFileValue Value;
        std::size_t At = 0;
        if (Line[0] == u'@')
            At = 1;
        else
            Value.Name = base::Utf16ToUtf8(QuotedText(Line, At));
        if (At >= Line.size() || Line[At] != u'=')
            Fail("a value name is not followed by \"=\"");
        const std::u16string_view Data = std::u16string_view(Line).substr(At + 1);
        TRegistryValue& Stored = Value.Value;
        Stored.State = TRegistryValueState::Present;
        if (Data == u"-") {
            Stored = TRegistryValue{};
        } else if (!Data.empty() && Data.front() == u'"') {
            std::size_t End = 0;
            const std::u16string Text = QuotedText(std::u16string(Data), End);
            if (End != Data.size())
                Fail("text follows the quoted data");
            Stored.Type = platform::RegSz;
            Stored.Data = platform::RegistryStringData(base::Utf16ToUtf8(Text));
        } else if (Data.starts_with(u"dword:")) {
            const std::uint32_t Number = HexNumber(Data.substr(6), 8);
            Stored.Type = platform::RegDword;
            for (int Shift = 0; Shift < 32; Shift += 8)
                Stored.Data.push_back(static_cast<std::uint8_t>(Number >> Shift));
        } else if (Data.starts_with(u"hex:")) {
            Stored.Type = platform::RegBinary;
            Stored.Data = HexData(Data.substr(4));
        } else if (Data.starts_with(u"hex(")) {
            const std::size_t Close = Data.find(u"):");
            if (Close == std::u16string_view::npos)
                Fail("hex( is not followed by a type and \"):\"");
            Stored.Type = HexNumber(Data.substr(4, Close - 4), 8);
            Stored.Data = HexData(Data.substr(Close + 2));
        } else {
            Fail("the value's data is of no known form");
        }
        return Value;
    }

    std::u16string FText;
    std::size_t FAt = 0;
    std::size_t FLineNumber = 0;
};

}  // namespace

std::vector<std::uint8_t> FormatRegistryFile(const TRegistryFile& File)
{
    std::u16string Text = std::u16string(Header) + u"\r\n\r\n";
    for (const std::string& Comment : File.Comments)
        Text += u"; " + base::Utf8ToUtf16(Comment) + u"\r\n";
    if (!File.Comments.empty())
        Text += u"\r\n";
    for (const TRegistryFileKey& Key : File.Keys) {
        Text += u"[" + base::Utf8ToUtf16(Key.Path) + u"]\r\n";
        for (const TRegistryFileValue& Value : Key.Values)
            Text += (Value.Name.empty() ? u"@" : Quoted(base::Utf8ToUtf16(Value.Name))) + u"=" +
                    ValueData(Value.Value) + u"\r\n";
        Text += u"\r\n";
    }
    return base::Utf16ToLittleEndian(u"\uFEFF" + Text);
}

TRegistryFile ParseRegistryFile(const std::vector<std::uint8_t>& Bytes)
{
    if (Bytes.size() > RegistryFileLimit)
        throw ERegistryFileError("it is too large for a registry backup");
    if (Bytes.size() < 2 || Bytes[0] != 0xFF || Bytes[1] != 0xFE || Bytes.size() % 2 != 0)
        throw ERegistryFileError("it is not UTF-16LE text with its byte-order mark");
    return TParser(base::LittleEndianToUtf16(std::span(Bytes).subspan(2))).Parse();
}

}  // namespace app
