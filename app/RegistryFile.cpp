#include "app/RegistryFile.h"

#include <algorithm>
#include <span>

#include "base/Format.h"
#include "base/TextConversion.h"

namespace app {

using platform::TRegistryValue;
using platform::TRegistryValueState;

namespace {

constexpr std::u16string_view Header = u"Windows Registry Editor Version 5.00";
// A value whose name no line of the Registry Editor's can hold.
// The Registry Editor skips it as a comment; a comment we write has a blank
// after the semicolon, so it never reads as one of these.
constexpr std::u16string_view UndoOnly = u";undo only: ";

bool IsLineBreak(char16_t C) { return C == u'\r' || C == u'\n'; }

void AppendAscii(std::u16string& Out, std::string_view Text) { Out.append(Text.begin(), Text.end()); }

// LineBreaks: the undo-only form, which escapes them too.
void AppendQuoted(std::u16string& Out, std::u16string_view Text, bool LineBreaks)
{
    Out += u'"';
    for (const char16_t C : Text) {
        if (C == u'\\' || C == u'"')
            Out += u'\\';
        if (LineBreaks && IsLineBreak(C))
            Out.append(C == u'\r' ? u"\\r" : u"\\n");
        else
            Out += C;
    }
    Out += u'"';
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

void AppendHexBytes(std::u16string& Out, const std::vector<std::uint8_t>& Data)
{
    static constexpr char16_t Digits[] = u"0123456789abcdef";
    Out.reserve(Out.size() + Data.size() * 3);
    for (std::size_t i = 0; i < Data.size(); ++i) {
        if (i > 0)
            Out += u',';
        Out += Digits[Data[i] >> 4];
        Out += Digits[Data[i] & 15];
    }
}

void AppendValueData(std::u16string& Out, const TRegistryValue& Value)
{
    if (Value.State == TRegistryValueState::Missing) {
        Out += u'-';
        return;
    }
    std::u16string Text;
    if (Value.Type == platform::RegSz && IsPlainText(Value.Data, Text)) {
        AppendQuoted(Out, Text, false);
        return;
    }
    if (Value.Type == platform::RegDword && Value.Data.size() == 4) {
        std::uint32_t Number = 0;
        for (std::size_t i = 4; i-- > 0;)
            Number = Number << 8 | Value.Data[i];
        AppendAscii(Out, "dword:");
        AppendAscii(Out, base::HexDigits(Number, 8));
        return;
    }
    if (Value.Type == platform::RegBinary) {
        AppendAscii(Out, "hex:");
    } else {
        AppendAscii(Out, "hex(");
        AppendAscii(Out, base::HexDigits(Value.Type));
        AppendAscii(Out, "):");
    }
    AppendHexBytes(Out, Value.Data);
}

void AppendValue(std::u16string& Out, const TRegistryFileValue& Value)
{
    const std::u16string Name = base::Utf8ToUtf16(Value.Name);
    const bool LineBreaks = std::any_of(Name.begin(), Name.end(), IsLineBreak);
    if (LineBreaks)
        Out += UndoOnly;
    if (Name.empty())
        Out += u'@';
    else
        AppendQuoted(Out, Name, LineBreaks);
    Out += u'=';
    AppendValueData(Out, Value.Value);
    Out += u"\r\n";
}

// A line break would end the comment and make the rest a line of its own;
// it is written as a blank (no path holds one).
void AppendComment(std::u16string& Out, const std::string& Comment)
{
    Out += u"; ";
    for (const char16_t C : base::Utf8ToUtf16(Comment))
        Out += IsLineBreak(C) ? u' ' : C;
    Out += u"\r\n";
}

int HexDigit(char16_t C)
{
    if (C >= u'0' && C <= u'9')
        return C - u'0';
    if (C >= u'a' && C <= u'f')
        return C - u'a' + 10;
    if (C >= u'A' && C <= u'F')
        return C - u'A' + 10;
    return -1;
}

// Reading, in one pass over the text: every physical line is looked at once,
// hex data continued over lines included.
class TParser {
public:
    explicit TParser(std::u16string Text) : FText(std::move(Text)) {}

    TRegistryFile Parse()
    {
        TRegistryFile File;
        bool HeaderSeen = false;
        // The last line seen, when it was a plain comment.
        bool LastWasComment = false;
        std::u16string_view Line;
        while (NextLine(Line)) {
            if (Line.empty())
                continue;
            LastWasComment = false;
            if (!HeaderSeen) {
                if (Line != Header)
                    Fail("it does not begin with \"Windows Registry Editor Version 5.00\"");
                HeaderSeen = true;
            } else if (Line.starts_with(UndoOnly)) {
                if (File.Keys.empty())
                    Fail("a value stands before the first key");
                File.Keys.back().Values.push_back(ParseValue(Line.substr(UndoOnly.size()), true));
            } else if (Line.front() == u';') {
                Line.remove_prefix(Line.starts_with(u"; ") ? 2 : 1);
                File.Closing = base::Utf16ToUtf8(Line);
                LastWasComment = true;
                if (File.Keys.empty())
                    File.Comments.push_back(File.Closing);
            } else if (Line.front() == u'[') {
                if (Line.back() != u']' || Line.size() < 3)
                    Fail("a key line does not end with \"]\"");
                if (Line[1] == u'-')
                    Fail("it deletes a key");
                File.Keys.push_back({base::Utf16ToUtf8(Line.substr(1, Line.size() - 2)), {}});
            } else {
                if (File.Keys.empty())
                    Fail("a value stands before the first key");
                File.Keys.back().Values.push_back(ParseValue(Line, false));
            }
        }
        if (!HeaderSeen)
            Fail("it is empty");
        // An empty comment closes nothing: it is not written as one.
        if (!LastWasComment || File.Closing.empty())
            File.Closing.clear();
        else if (File.Keys.empty())
            File.Comments.pop_back();
        return File;
    }

private:
    [[noreturn]] void Fail(const std::string& Why) const
    {
        throw ERegistryFileError(base::FormatText("line %d: %s", {FLineNumber, Why}));
    }

    // The next physical line, without its line end and trailing blanks.
    bool NextLine(std::u16string_view& Line)
    {
        if (FAt >= FText.size())
            return false;
        const std::size_t End = std::min(FText.find_first_of(u"\r\n", FAt), FText.size());
        Line = std::u16string_view(FText).substr(FAt, End - FAt);
        FAt = End;
        if (FAt < FText.size() && FText[FAt] == u'\r')
            ++FAt;
        if (FAt < FText.size() && FText[FAt] == u'\n')
            ++FAt;
        ++FLineNumber;
        while (!Line.empty() && (Line.back() == u' ' || Line.back() == u'\t'))
            Line.remove_suffix(1);
        return true;
    }

    // A quoted text from At, its escapes undone; At ends after the quote.
    // LineBreaks: the undo-only form, whose \r and \n stand for line breaks.
    std::u16string QuotedText(std::u16string_view Line, std::size_t& At, bool LineBreaks) const
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
                if (++At >= Line.size())
                    Fail("a quoted text holds an unknown escape");
                C = Line[At];
                if (LineBreaks && (C == u'r' || C == u'n'))
                    C = C == u'r' ? u'\r' : u'\n';
                else if (C != u'\\' && C != u'"')
                    Fail("a quoted text holds an unknown escape");
            }
            Text += C;
        }
        Fail("a quoted text is not closed");
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

    // Comma-separated bytes of one or two digits, blanks around them. A part
    // ending in "\" goes on in the next line, without its leading blanks
    // (Continues: not in a comment line, which never goes on).
    std::vector<std::uint8_t> HexData(std::u16string_view Part, bool Continues)
    {
        std::vector<std::uint8_t> Data;
        std::size_t Digits = 0;
        unsigned Byte = 0;
        bool AfterComma = false;
        bool Blank = false;
        for (;;) {
            const bool More = Continues && !Part.empty() && Part.back() == u'\\';
            if (More)
                Part.remove_suffix(1);
            for (const char16_t C : Part) {
                if (C == u',') {
                    if (Digits == 0)
                        Fail("a hexadecimal number is expected");
                    Data.push_back(static_cast<std::uint8_t>(Byte));
                    Digits = 0, Byte = 0, AfterComma = true, Blank = false;
                } else if (C == u' ') {
                    Blank = Digits > 0;
                } else {
                    const int Digit = HexDigit(C);
                    if (Digit < 0 || Blank || Digits == 2)
                        Fail("a hexadecimal number is expected");
                    Byte = Byte * 16 + static_cast<unsigned>(Digit);
                    ++Digits;
                }
            }
            if (!More || !NextLine(Part))
                break;
            Part.remove_prefix(std::min(Part.find_first_not_of(u" \t"), Part.size()));
        }
        if (Digits > 0)
            Data.push_back(static_cast<std::uint8_t>(Byte));
        else if (AfterComma)
            Fail("hex data ends with a comma");
        return Data;
    }

    TRegistryFileValue ParseValue(std::u16string_view Line, bool UndoOnlyForm)
    {
        TRegistryFileValue Value;
        std::size_t At = 0;
        if (Line.starts_with(u"@")) {
            At = 1;
        } else {
            const std::u16string Name = QuotedText(Line, At, UndoOnlyForm);
            if (Name.find(u'\0') != std::u16string::npos)
                Fail("a value name holds NUL");
            if (Name.size() > platform::RegistryValueNameLimit)
                Fail(base::FormatText("a value name is longer than %d characters",
                                      {platform::RegistryValueNameLimit}));
            Value.Name = base::Utf16ToUtf8(Name);
        }
        if (At >= Line.size() || Line[At] != u'=')
            Fail("a value name is not followed by \"=\"");
        const std::u16string_view Data = Line.substr(At + 1);
        TRegistryValue& Stored = Value.Value;
        Stored.State = TRegistryValueState::Present;
        if (Data == u"-") {
            Stored = TRegistryValue{};
        } else if (Data.starts_with(u"\"")) {
            std::size_t End = 0;
            const std::u16string Text = QuotedText(Data, End, UndoOnlyForm);
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
            Stored.Data = HexData(Data.substr(4), !UndoOnlyForm);
        } else if (Data.starts_with(u"hex(")) {
            const std::size_t Close = Data.find(u"):");
            if (Close == std::u16string_view::npos)
                Fail("hex( is not followed by a type and \"):\"");
            Stored.Type = HexNumber(Data.substr(4, Close - 4), 8);
            Stored.Data = HexData(Data.substr(Close + 2), !UndoOnlyForm);
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
    std::u16string Text = u"\uFEFF";
    Text += Header;
    Text += u"\r\n\r\n";
    for (const std::string& Comment : File.Comments)
        AppendComment(Text, Comment);
    if (!File.Comments.empty())
        Text += u"\r\n";
    for (const TRegistryFileKey& Key : File.Keys) {
        Text += u'[';
        Text += base::Utf8ToUtf16(Key.Path);
        Text += u"]\r\n";
        for (const TRegistryFileValue& Value : Key.Values)
            AppendValue(Text, Value);
        Text += u"\r\n";
    }
    if (!File.Closing.empty())
        AppendComment(Text, File.Closing);
    return base::Utf16ToLittleEndian(Text);
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
