// A streaming JSON writer: keys and values in order, commas handled here.
#pragma once

#include <concepts>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace inspect {

class TJsonWriter {
public:
    explicit TJsonWriter(std::ostream& Out) : FOut(Out) {}

    TJsonWriter& BeginObject() { return Open('{'); }
    TJsonWriter& EndObject() { return Close('}'); }
    TJsonWriter& BeginArray() { return Open('['); }
    TJsonWriter& EndArray() { return Close(']'); }
    TJsonWriter& Key(std::string_view Name);

    TJsonWriter& Value(std::string_view Text);
    TJsonWriter& Value(const char* Text) { return Value(std::string_view(Text)); }
    TJsonWriter& Value(const std::string& Text) { return Value(std::string_view(Text)); }
    TJsonWriter& Value(std::u16string_view Text);
    TJsonWriter& Value(bool Flag);
    // The shortest text that reads back as the same double; whole numbers
    // without a fraction. Not-a-number and infinities are written as null.
    TJsonWriter& Value(double Number);
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    TJsonWriter& Value(T Number)
    {
        Separate();
        FOut << +Number;
        return *this;
    }
    TJsonWriter& Null();

    template <typename T>
    TJsonWriter& Field(std::string_view Name, const T& Data)
    {
        Key(Name);
        return Value(Data);
    }

    // Starts the next element, or the end of the document, on a new line
    // (after the comma that separates it from the one before).
    void Newline()
    {
        if (FHasElement.empty())
            FOut << '\n';
        else
            FNewlinePending = true;
    }

private:
    void Separate();
    TJsonWriter& Open(char Bracket);
    TJsonWriter& Close(char Bracket);

    std::ostream& FOut;
    // Per open container: whether it already holds an element.
    std::vector<bool> FHasElement;
    bool FAfterKey = false;
    bool FNewlinePending = false;
    void FlushNewline();
};

// Text as a JSON string literal. Valid UTF-8 passes through; any other byte
// (a tag or a message carrying raw font bytes) is taken as Latin-1.
std::string JsonQuote(std::string_view Text);

}  // namespace inspect
