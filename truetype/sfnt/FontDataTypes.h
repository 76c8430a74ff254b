// The sfnt data types on a byte stream (big-endian), the known table tags, and
// the library's one exception type.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/Format.h"
#include "base/Stream.h"

namespace truetype {

// The base library's streams and messages are the font library's own
// vocabulary.
using base::EStreamError;
using base::FormatText;
using base::TFileStream;
using base::TFormatArg;
using base::TMemoryStream;
using base::TSpanStream;
using base::TStream;

// At most four 8-bit characters; compared byte by byte as unsigned values,
// which is exactly std::string's ordering.
using TTableTag = std::string;

using TPanose = std::array<std::uint8_t, 10>;

struct TSearchValues {
    std::uint16_t SearchRange = 0;
    std::uint16_t EntrySelector = 0;
    std::uint16_t RangeShift = 0;
};

struct TFloatPoint {
    double X = 0;
    double Y = 0;
};

// The loader dispatches on these codes. 0 stands for a tag no row lists.
enum class TTableKind : std::uint8_t {
    Unknown = 0,
    Cmap = 1, Cvt = 2, Fpgm = 3, Gasp = 4, Glyf = 5, Head = 6, Hhea = 7, Hmtx = 8,
    Kern = 9, Loca = 10, Maxp = 11, Name = 12, Post = 13, Prep = 14,
    MMSD = 16, MMFX = 17, OS2 = 18, CFF = 19, Fvar = 20, BASE = 21, GDEF = 22,
    GPOS = 23, GSUB = 24, JSTF = 25, EBDT = 26, EBLC = 27, EBSC = 28, DSIG = 29,
    Hdmx = 30, LTSH = 31, PCLT = 32, VDMX = 33, Vhea = 34, Vmtx = 35,
};

struct TKnownTable {
    std::string_view Tag;
    TTableKind Kind;
    std::string_view Description;
};

extern const std::array<TKnownTable, 34> KnownTables;

TTableKind GetTableKind(std::string_view Tag);

class FontException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void RaiseFontError(const std::string& Message);
[[noreturn]] void RaiseFontErrorFmt(std::string_view Format, std::initializer_list<TFormatArg> Args);

// Reads deliver zeros for the bytes the stream does not have; no primitive
// raises at the end of the stream.
std::uint8_t ReadByte(TStream& Stream);
std::int8_t ReadChar(TStream& Stream);
std::uint16_t ReadUShort(TStream& Stream);
std::int16_t ReadShort(TStream& Stream);
inline std::uint16_t ReadUFWord(TStream& Stream) { return ReadUShort(Stream); }
inline std::int16_t ReadFWord(TStream& Stream) { return ReadShort(Stream); }
std::uint32_t ReadULong(TStream& Stream);
std::uint32_t ReadFixed(TStream& Stream);
double ReadF2Dot14(TStream& Stream);
std::int64_t ReadLongDateTime(TStream& Stream);
TTableTag ReadTag(TStream& Stream);
TPanose ReadPanose(TStream& Stream);
// Strings read past the end come back shortened to what the stream holds.
std::string ReadCountedString(TStream& Stream);
std::string ReadByteString(TStream& Stream, std::uint16_t Count);
std::u16string ReadUnicodeString(TStream& Stream, std::uint16_t ByteLength);

void WriteByte(TStream& Stream, std::uint8_t Value);
void WriteChar(TStream& Stream, std::int8_t Value);
void WriteUShort(TStream& Stream, std::uint16_t Value);
// The same bytes appended to an encoding built in memory.
void WriteUShort(std::vector<std::uint8_t>& Bytes, std::uint16_t Value);
void WriteShort(TStream& Stream, std::int16_t Value);
inline void WriteUFWord(TStream& Stream, std::uint16_t Value) { WriteUShort(Stream, Value); }
inline void WriteFWord(TStream& Stream, std::int16_t Value) { WriteShort(Stream, Value); }
void WriteULong(TStream& Stream, std::uint32_t Value);
void WriteFixed(TStream& Stream, std::uint32_t Value);
void WriteF2Dot14(TStream& Stream, double Value);
void WriteLongDateTime(TStream& Stream, std::int64_t Value);
// Pads a tag shorter than four characters with spaces.
void WriteTag(TStream& Stream, std::string_view Tag);
void WritePanose(TStream& Stream, const TPanose& Value);
void WriteCountedString(TStream& Stream, std::string_view Text);
void WriteByteString(TStream& Stream, std::string_view Text);
void WriteUnicodeString(TStream& Stream, std::u16string_view Text);

// The program's own native-order serialisation of outline points.
TFloatPoint ReadFloatPoint(TStream& Stream);
void WriteFloatPoint(TStream& Stream, const TFloatPoint& Value);
bool ReadBoolean(TStream& Stream);
void WriteBoolean(TStream& Stream, bool Value);

std::uint16_t SwapUShort(std::uint16_t Value);
std::int16_t SwapShort(std::int16_t Value);
std::uint32_t SwapULong(std::uint32_t Value);
std::uint32_t SwapFixed(std::uint32_t Value);
std::int64_t SwapLongDateTime(std::int64_t Value);

double F2Dot14ToFloat(std::uint16_t Bits);
std::uint16_t FloatToF2Dot14(double Value);

// round(Numerator / Denominator), halves to the even neighbour, for either
// sign of each (the Denominator not 0; numbers well inside 63 bits).
int RoundHalfEven(std::int64_t Numerator, std::int64_t Denominator);

TSearchValues CalcSearchValues(std::uint16_t Count, std::uint16_t UnitSize);

// The signed upper and unsigned lower halves of a raw 16.16 value.
inline std::int16_t FixedMajor(std::uint32_t Fixed) { return static_cast<std::int16_t>(Fixed >> 16); }
inline std::uint16_t FixedMinor(std::uint32_t Fixed) { return static_cast<std::uint16_t>(Fixed & 0xFFFF); }

}  // namespace truetype
