#include "truetype/sfnt/FontDataTypes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "base/BigEndianView.h"

namespace truetype {

namespace {

constexpr std::array<TKnownTable, 34> KnownTableRows = {{
    {"cmap", TTableKind::Cmap, "Character to glyph mapping"},
    {"head", TTableKind::Head, "Font header"},
    {"hhea", TTableKind::Hhea, "Horizontal header"},
    {"hmtx", TTableKind::Hmtx, "Horizontal metrics"},
    {"maxp", TTableKind::Maxp, "Maximum profile"},
    {"name", TTableKind::Name, "Naming table"},
    {"OS/2", TTableKind::OS2, "OS/2 and Windows specific metrics"},
    {"post", TTableKind::Post, "PostScript information"},
    {"cvt ", TTableKind::Cvt, "Control Value Table"},
    {"fpgm", TTableKind::Fpgm, "Font program"},
    {"glyf", TTableKind::Glyf, "Glyph data"},
    {"loca", TTableKind::Loca, "Index to location"},
    {"prep", TTableKind::Prep, "CVT Program"},
    {"CFF ", TTableKind::CFF, "PostScript font program (compact font format)"},
    {"fvar", TTableKind::Fvar, "Apple's font variations table"},
    {"MMSD", TTableKind::MMSD, "Multiple master supplementary data"},
    {"MMFX", TTableKind::MMFX, "Multiple master font metrics"},
    {"BASE", TTableKind::BASE, "Baseline data"},
    {"GDEF", TTableKind::GDEF, "Glyph definition data"},
    {"GPOS", TTableKind::GPOS, "Glyph positioning data"},
    {"GSUB", TTableKind::GSUB, "Glyph substitution data"},
    {"JSTF", TTableKind::JSTF, "Justification data"},
    {"EBDT", TTableKind::EBDT, "Embedded bitmap data"},
    {"EBLC", TTableKind::EBLC, "Embedded bitmap location data"},
    {"EBSC", TTableKind::EBSC, "Embedded bitmap scaling data"},
    {"DSIG", TTableKind::DSIG, "Digital signature"},
    {"gasp", TTableKind::Gasp, "Grid-fitting/Scan-conversion"},
    {"hdmx", TTableKind::Hdmx, "Horizontal device metrics"},
    {"kern", TTableKind::Kern, "Kerning"},
    {"LTSH", TTableKind::LTSH, "Linear threshold data"},
    {"PCLT", TTableKind::PCLT, "PCL 5 data"},
    {"VDMX", TTableKind::VDMX, "Vertical device metrics"},
    {"vhea", TTableKind::Vhea, "Vertical Metrics header"},
    {"vmtx", TTableKind::Vmtx, "Vertical Metrics"},
}};

// Four tag bytes as one number: the loader asks for the kind of every
// directory record in both passes, and a hostile directory has 65535 of them.
constexpr std::uint32_t PackTag(std::string_view Tag)
{
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(Tag[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(Tag[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(Tag[2])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(Tag[3]));
}

struct TPackedKind {
    std::uint32_t Tag;
    TTableKind Kind;
    constexpr bool operator<(const TPackedKind& Other) const { return Tag < Other.Tag; }
};

// Sorted by packed tag for a binary search.
constexpr std::array<TPackedKind, KnownTableRows.size()> PackedKinds = [] {
    std::array<TPackedKind, KnownTableRows.size()> Packed{};
    for (std::size_t i = 0; i < Packed.size(); ++i)
        Packed[i] = {PackTag(KnownTableRows[i].Tag), KnownTableRows[i].Kind};
    std::sort(Packed.begin(), Packed.end());
    return Packed;
}();

static_assert(std::all_of(KnownTableRows.begin(), KnownTableRows.end(),
                          [](const TKnownTable& Row) { return Row.Tag.size() == 4; }));
static_assert(std::adjacent_find(PackedKinds.begin(), PackedKinds.end(), [](const TPackedKind& A, const TPackedKind& B) {
                  return A.Tag == B.Tag;
              }) == PackedKinds.end());

}  // namespace

const std::array<TKnownTable, 34> KnownTables = KnownTableRows;

TTableKind GetTableKind(std::string_view Tag)
{
    // Every row's tag has four characters, so a shorter one matches none.
    if (Tag.size() < 4)
        return TTableKind::Unknown;
    const TPackedKind Key{PackTag(Tag), TTableKind::Unknown};
    const auto Found = std::lower_bound(PackedKinds.begin(), PackedKinds.end(), Key);
    return Found != PackedKinds.end() && Found->Tag == Key.Tag ? Found->Kind : TTableKind::Unknown;
}

void RaiseFontError(const std::string& Message) { throw FontException(Message); }

void RaiseFontErrorFmt(std::string_view Format, std::initializer_list<TFormatArg> Args)
{
    throw FontException(FormatText(Format, Args));
}

namespace {

// The next N bytes of the stream, as many as it holds: the view reads the
// missing ones as zeros.
template <std::size_t N>
class TNextBytes {
public:
    explicit TNextBytes(TStream& Stream) : FView(FBytes, Stream.Read(FBytes, N)) {}
    TNextBytes(const TNextBytes&) = delete;
    TNextBytes& operator=(const TNextBytes&) = delete;
    const base::TBigEndianView* operator->() const { return &FView; }

private:
    std::uint8_t FBytes[N];
    base::TBigEndianView FView;
};

template <std::size_t N>
std::array<std::uint8_t, N> BigEndianBytes(std::uint64_t Value)
{
    std::array<std::uint8_t, N> Bytes;
    for (std::size_t i = 0; i < N; ++i)
        Bytes[N - 1 - i] = static_cast<std::uint8_t>(Value >> (8 * i));
    return Bytes;
}

template <std::size_t N>
void WriteBigEndian(TStream& Stream, std::uint64_t Value)
{
    const std::array<std::uint8_t, N> Bytes = BigEndianBytes<N>(Value);
    Stream.Write(Bytes.data(), N);
}

}  // namespace

std::uint8_t ReadByte(TStream& Stream) { return TNextBytes<1>(Stream)->Byte(0); }
std::int8_t ReadChar(TStream& Stream) { return static_cast<std::int8_t>(ReadByte(Stream)); }
std::uint16_t ReadUShort(TStream& Stream) { return TNextBytes<2>(Stream)->UShort(0); }
std::int16_t ReadShort(TStream& Stream) { return TNextBytes<2>(Stream)->Short(0); }
std::uint32_t ReadULong(TStream& Stream) { return TNextBytes<4>(Stream)->ULong(0); }
std::uint32_t ReadFixed(TStream& Stream) { return ReadULong(Stream); }
double ReadF2Dot14(TStream& Stream) { return F2Dot14ToFloat(ReadUShort(Stream)); }

std::int64_t ReadLongDateTime(TStream& Stream)
{
    const TNextBytes<8> Bytes(Stream);
    return static_cast<std::int64_t>(std::uint64_t{Bytes->ULong(0)} << 32 | Bytes->ULong(4));
}

TTableTag ReadTag(TStream& Stream)
{
    char Bytes[4] = {};
    Stream.Read(Bytes, 4);
    return TTableTag(Bytes, 4);
}

TPanose ReadPanose(TStream& Stream)
{
    TPanose Value{};
    Stream.Read(Value.data(), Value.size());
    return Value;
}

std::string ReadByteString(TStream& Stream, std::uint16_t Count)
{
    // Never allocate more than the stream can still deliver.
    std::string Text(static_cast<std::size_t>(std::min<std::int64_t>(Count, Stream.Remaining())), '\0');
    Text.resize(Stream.Read(Text.data(), Text.size()));
    return Text;
}

std::string ReadCountedString(TStream& Stream)
{
    std::uint8_t Length = 0;
    if (Stream.Read(&Length, 1) != 1)
        return {};
    return ReadByteString(Stream, Length);
}

std::u16string ReadUnicodeString(TStream& Stream, std::uint16_t ByteLength)
{
    // Whole code units only: an odd last byte, or one the stream lacks, is none.
    const auto Units = static_cast<std::size_t>(std::min<std::int64_t>(ByteLength / 2, Stream.Remaining() / 2));
    const base::TBigEndianBlock Bytes(Stream, 2 * Units);
    std::u16string Text(Bytes.Size() / 2, u'\0');
    for (std::size_t i = 0; i < Text.size(); ++i)
        Text[i] = static_cast<char16_t>(Bytes.View().UShort(2 * i));
    return Text;
}

void WriteByte(TStream& Stream, std::uint8_t Value) { WriteBigEndian<1>(Stream, Value); }
void WriteChar(TStream& Stream, std::int8_t Value) { WriteBigEndian<1>(Stream, static_cast<std::uint8_t>(Value)); }
void WriteUShort(TStream& Stream, std::uint16_t Value) { WriteBigEndian<2>(Stream, Value); }

void WriteUShort(std::vector<std::uint8_t>& Bytes, std::uint16_t Value)
{
    const std::array<std::uint8_t, 2> Big = BigEndianBytes<2>(Value);
    Bytes.insert(Bytes.end(), Big.begin(), Big.end());
}

void WriteShort(TStream& Stream, std::int16_t Value) { WriteBigEndian<2>(Stream, static_cast<std::uint16_t>(Value)); }
void WriteULong(TStream& Stream, std::uint32_t Value) { WriteBigEndian<4>(Stream, Value); }
void WriteFixed(TStream& Stream, std::uint32_t Value) { WriteULong(Stream, Value); }
void WriteF2Dot14(TStream& Stream, double Value) { WriteUShort(Stream, FloatToF2Dot14(Value)); }
void WriteLongDateTime(TStream& Stream, std::int64_t Value) { WriteBigEndian<8>(Stream, static_cast<std::uint64_t>(Value)); }

void WriteTag(TStream& Stream, std::string_view Tag)
{
    char Bytes[4] = {' ', ' ', ' ', ' '};
    std::memcpy(Bytes, Tag.data(), std::min<std::size_t>(Tag.size(), 4));
    Stream.Write(Bytes, 4);
}

void WritePanose(TStream& Stream, const TPanose& Value) { Stream.Write(Value.data(), Value.size()); }

void WriteCountedString(TStream& Stream, std::string_view Text)
{
    const auto Length = static_cast<std::uint8_t>(Text.size() % 256);
    WriteByte(Stream, Length);
    Stream.Write(Text.data(), Length);
}

void WriteByteString(TStream& Stream, std::string_view Text)
{
    Stream.Write(Text.data(), Text.size() % 65536);
}

void WriteUnicodeString(TStream& Stream, std::u16string_view Text)
{
    const std::size_t Units = Text.size() % 65536;
    std::string Bytes(Units * 2, '\0');
    for (std::size_t i = 0; i < Units; ++i) {
        Bytes[2 * i] = static_cast<char>(Text[i] >> 8);
        Bytes[2 * i + 1] = static_cast<char>(Text[i] & 0xFF);
    }
    Stream.Write(Bytes.data(), Bytes.size());
}

TFloatPoint ReadFloatPoint(TStream& Stream)
{
    TFloatPoint Point;
    double Both[2] = {};
    Stream.Read(Both, sizeof Both);
    Point.X = Both[0];
    Point.Y = Both[1];
    return Point;
}

void WriteFloatPoint(TStream& Stream, const TFloatPoint& Value)
{
    const double Both[2] = {Value.X, Value.Y};
    Stream.Write(Both, sizeof Both);
}

bool ReadBoolean(TStream& Stream) { return ReadByte(Stream) != 0; }
void WriteBoolean(TStream& Stream, bool Value) { WriteByte(Stream, Value ? 1 : 0); }

std::uint16_t SwapUShort(std::uint16_t Value) { return static_cast<std::uint16_t>((Value << 8) | (Value >> 8)); }
std::int16_t SwapShort(std::int16_t Value) { return static_cast<std::int16_t>(SwapUShort(static_cast<std::uint16_t>(Value))); }

std::uint32_t SwapULong(std::uint32_t Value)
{
    return (Value << 24) | ((Value & 0xFF00u) << 8) | ((Value >> 8) & 0xFF00u) | (Value >> 24);
}

std::uint32_t SwapFixed(std::uint32_t Value) { return SwapULong(Value); }

std::int64_t SwapLongDateTime(std::int64_t Value)
{
    const auto Bits = static_cast<std::uint64_t>(Value);
    const std::uint64_t Low = SwapULong(static_cast<std::uint32_t>(Bits));
    const std::uint64_t High = SwapULong(static_cast<std::uint32_t>(Bits >> 32));
    return static_cast<std::int64_t>((Low << 32) | High);
}

double F2Dot14ToFloat(std::uint16_t Bits) { return static_cast<std::int16_t>(Bits) / 16384.0; }

std::uint16_t FloatToF2Dot14(double Value)
{
    if (std::isnan(Value))
        return 0;
    // Clamp first so that huge values never reach an integer conversion;
    // nearbyint rounds halves to even in the default rounding mode.
    const double Scaled = std::nearbyint(std::clamp(Value * 16384.0, -32768.0, 32767.0));
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(Scaled));
}

int RoundHalfEven(std::int64_t Numerator, std::int64_t Denominator)
{
    // Division truncates toward zero, so the remainder takes the sign of the
    // numerator: the quotient moves away from zero, in the direction of the
    // exact result, when the remainder is more than half the divisor.
    if (Denominator < 0) {
        Numerator = -Numerator;
        Denominator = -Denominator;
    }
    std::int64_t Quotient = Numerator / Denominator;
    const std::int64_t Twice = 2 * (Numerator % Denominator);
    const std::int64_t Away = Twice < 0 ? -Twice : Twice;
    if (Away > Denominator || (Away == Denominator && Quotient % 2 != 0))
        Quotient += Twice < 0 ? -1 : 1;
    return static_cast<int>(Quotient);
}

TSearchValues CalcSearchValues(std::uint16_t Count, std::uint16_t UnitSize)
{
    TSearchValues Values;
    if (Count == 0)
        return Values;
    const unsigned Power = std::bit_floor(static_cast<unsigned>(Count));
    Values.SearchRange = static_cast<std::uint16_t>(Power * UnitSize);
    Values.EntrySelector = static_cast<std::uint16_t>(std::countr_zero(Power));
    Values.RangeShift = static_cast<std::uint16_t>((Count - Power) * UnitSize);
    return Values;
}

}  // namespace truetype
