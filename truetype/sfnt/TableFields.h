// The fields of a fixed-layout table, described once.
//
// Each such table lists its fields in file order in one static member
// template,
//
//     template <typename Self, typename Visitor>
//     static void Fields(Self& Table, Visitor&& Visit);
//
// which calls Visit(Name, Member) for every field, or Visit(Name, Member,
// TFieldSince{...}) for a field that only later versions of the layout hold.
// Self is the table or the const table, so the one list serves the load
// (ReadFields), the save (WriteFields) and whoever shows the values (the
// inspect tool's JSON). Names are the TrueType standard's field names.
//
// How a field travels on the stream follows from the member's type:
//   uint8 BYTE, int8 CHAR, uint16 USHORT (UFWORD), int16 SHORT (FWORD),
//   uint32 ULONG (Fixed: the raw 16.16 bits), int32 LONG, int64 LONGDATETIME;
//   std::array of bytes: the bytes in one transfer (panose);
//   any other std::array: its elements one after the other;
//   std::string: a tag, four characters (ReadTag, WriteTag);
//   TFixedText<N>: N single-byte characters, fitted to N when read.
// A table with a type of its own (post's version halves) declares
// ReadFieldValue and WriteFieldValue for it beside the type.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "truetype/sfnt/FontDataTypes.h"

namespace truetype {

// Text of exactly Width single-byte characters, zero bytes included.
template <std::size_t Width>
class TFixedText {
public:
    static constexpr std::size_t Length = Width;

    const std::string& Text() const { return FText; }
    // Pads with spaces or cuts to the width.
    void Set(std::string_view Value)
    {
        FText.assign(Value.substr(0, Width));
        FText.resize(Width, ' ');
    }

private:
    std::string FText = std::string(Width, '\0');
};

// A field that a table holds only from version First on. Version refers to
// the table's own version field, which the list visits first: a load decides
// on it only when it reaches the field.
struct TFieldSince {
    const std::uint16_t& Version;
    std::uint16_t First;

    bool Holds() const { return Version >= First; }
};

inline void ReadFieldValue(TStream& Stream, std::uint8_t& Value) { Value = ReadByte(Stream); }
inline void ReadFieldValue(TStream& Stream, std::int8_t& Value) { Value = ReadChar(Stream); }
inline void ReadFieldValue(TStream& Stream, std::uint16_t& Value) { Value = ReadUShort(Stream); }
inline void ReadFieldValue(TStream& Stream, std::int16_t& Value) { Value = ReadShort(Stream); }
inline void ReadFieldValue(TStream& Stream, std::uint32_t& Value) { Value = ReadULong(Stream); }
inline void ReadFieldValue(TStream& Stream, std::int32_t& Value) { Value = static_cast<std::int32_t>(ReadULong(Stream)); }
inline void ReadFieldValue(TStream& Stream, std::int64_t& Value) { Value = ReadLongDateTime(Stream); }
inline void ReadFieldValue(TStream& Stream, std::string& Value) { Value = ReadTag(Stream); }
// The bytes the stream does not hold read as zeros.
template <std::size_t N>
void ReadFieldValue(TStream& Stream, std::array<std::uint8_t, N>& Value)
{
    Value.fill(0);
    Stream.Read(Value.data(), N);
}
template <typename T, std::size_t N>
void ReadFieldValue(TStream& Stream, std::array<T, N>& Value)
{
    for (T& Element : Value)
        ReadFieldValue(Stream, Element);
}
// A text cut short by the end of the stream is padded like any other.
template <std::size_t Width>
void ReadFieldValue(TStream& Stream, TFixedText<Width>& Value)
{
    static_assert(Width <= 0xFFFF);
    Value.Set(ReadByteString(Stream, static_cast<std::uint16_t>(Width)));
}

inline void WriteFieldValue(TStream& Stream, std::uint8_t Value) { WriteByte(Stream, Value); }
inline void WriteFieldValue(TStream& Stream, std::int8_t Value) { WriteChar(Stream, Value); }
inline void WriteFieldValue(TStream& Stream, std::uint16_t Value) { WriteUShort(Stream, Value); }
inline void WriteFieldValue(TStream& Stream, std::int16_t Value) { WriteShort(Stream, Value); }
inline void WriteFieldValue(TStream& Stream, std::uint32_t Value) { WriteULong(Stream, Value); }
inline void WriteFieldValue(TStream& Stream, std::int32_t Value) { WriteULong(Stream, static_cast<std::uint32_t>(Value)); }
inline void WriteFieldValue(TStream& Stream, std::int64_t Value) { WriteLongDateTime(Stream, Value); }
// A tag set shorter than four characters is padded with spaces, as the
// format pads tags.
inline void WriteFieldValue(TStream& Stream, const std::string& Value) { WriteTag(Stream, Value); }
template <std::size_t N>
void WriteFieldValue(TStream& Stream, const std::array<std::uint8_t, N>& Value)
{
    Stream.Write(Value.data(), N);
}
template <typename T, std::size_t N>
void WriteFieldValue(TStream& Stream, const std::array<T, N>& Value)
{
    for (const T& Element : Value)
        WriteFieldValue(Stream, Element);
}
template <std::size_t Width>
void WriteFieldValue(TStream& Stream, const TFixedText<Width>& Value)
{
    WriteByteString(Stream, Value.Text());
}

// Reads every field the table's version holds, in file order; a field the
// version lacks becomes zero.
class TFieldReader {
public:
    explicit TFieldReader(TStream& Stream) : FStream(Stream) {}

    template <typename T>
    void operator()(std::string_view, T& Value)
    {
        ReadFieldValue(FStream, Value);
    }
    template <typename T>
    void operator()(std::string_view, T& Value, TFieldSince Since)
    {
        if (Since.Holds())
            ReadFieldValue(FStream, Value);
        else
            Value = T{};
    }

private:
    TStream& FStream;
};

// Writes every field the table's version holds, in file order.
class TFieldWriter {
public:
    explicit TFieldWriter(TStream& Stream) : FStream(Stream) {}

    template <typename T>
    void operator()(std::string_view, const T& Value)
    {
        WriteFieldValue(FStream, Value);
    }
    template <typename T>
    void operator()(std::string_view, const T& Value, TFieldSince Since)
    {
        if (Since.Holds())
            WriteFieldValue(FStream, Value);
    }

private:
    TStream& FStream;
};

template <typename Table>
void ReadFields(TStream& Stream, Table& Fixed)
{
    Table::Fields(Fixed, TFieldReader(Stream));
}

template <typename Table>
void WriteFields(TStream& Stream, const Table& Fixed)
{
    Table::Fields(Fixed, TFieldWriter(Stream));
}

}  // namespace truetype
