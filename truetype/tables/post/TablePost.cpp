#include "truetype/tables/post/TablePost.h"

#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/post/StandardGlyphNames.h"

namespace truetype {

namespace {

constexpr std::uint16_t SpaceSavingFraction = 0x5000;
// Custom names are written with the indices from 258 to LastCustomIndex.
constexpr std::uint16_t FirstCustomIndex = StandardGlyphNameCount;

void Warn(std::string_view Format, const TPostFormatType& Version)
{
    TWarningCollector::AddFmt(Format, {Version.IntegerPart, Version.FractionWord});
}

[[noreturn]] void Refuse(std::string_view Format, const TPostFormatType& Version)
{
    RaiseFontErrorFmt(Format, {Version.IntegerPart, Version.FractionWord});
}

constexpr std::string_view UnknownFormat = "Unknown Post FormatType %d.%d";
constexpr std::string_view QuickDrawGXFormat = "[Apple for use with QuickDraw GX] Unsupported Post FormatType %d.%d";
constexpr std::string_view SpaceSavingFormat = "Unsupported Post Space Saving Table FormatType %d.%d";

}  // namespace

void TTablePost::ChangeToFormat2()
{
    if (!FormatType.Is(1, 0))
        Refuse("Can't change Post FormatType %d.%d to Format 2", FormatType);
    Clear();
    GlyphNames.AddStandardNames();
    FormatType = {2, 0};
    NumberOfGlyphs = StandardGlyphNameCount;
}

void TTablePost::LoadFromStream(TStream& Stream)
{
    Clear();
    ReadFields(Stream, *this);

    if (FormatType.FractionWord == 0) {
        switch (FormatType.IntegerPart) {
        case 1: ChangeToFormat2(); break;
        case 2:
            NumberOfGlyphs = ReadUShort(Stream);
            GlyphNames.LoadFormat2(Stream, NumberOfGlyphs);
            break;
        case 3: break;
        case 4:
            Warn(QuickDrawGXFormat, FormatType);
            ResetToFormat2();
            break;
        default:
            Warn(UnknownFormat, FormatType);
            ResetToFormat2();
            break;
        }
    } else if (FormatType.FractionWord == SpaceSavingFraction) {
        Warn(FormatType.IntegerPart == 2 ? SpaceSavingFormat : UnknownFormat, FormatType);
        ResetToFormat2();
    } else {
        Warn(UnknownFormat, FormatType);
        ResetToFormat2();
    }
}

void TTablePost::SaveToStream(TStream& Stream)
{
    WriteFields(Stream, *this);

    if (FormatType.FractionWord == 0) {
        switch (FormatType.IntegerPart) {
        case 1: Refuse("Saving not supported: Post FormatType %d.%d", FormatType);
        case 2: SaveFormat2Names(Stream); return;
        case 3: return;
        case 4: Refuse(QuickDrawGXFormat, FormatType);
        default: Refuse(UnknownFormat, FormatType);
        }
    }
    if (FormatType.FractionWord == SpaceSavingFraction && FormatType.IntegerPart == 2)
        Refuse(SpaceSavingFormat, FormatType);
    Refuse(UnknownFormat, FormatType);
}

// The indices and the custom names are gathered first and written in two
// blocks: the same bytes as writing each index and name in place.
void TTablePost::SaveFormat2Names(TStream& Stream) const
{
    TMemoryStream Indices;
    TMemoryStream Names;
    std::uint32_t Written = 0;
    for (std::size_t i = 0; i < NumberOfGlyphs; ++i) {
        const std::string_view Name = GlyphNames.Items(static_cast<std::ptrdiff_t>(i)).Name;
        int Index = IndexOfStandardName(Name);
        if (Index < 0) {
            ++Written;
            Index = static_cast<int>(FirstCustomIndex - 1 + Written);
            if (Index <= LastCustomIndex)
                WriteCountedString(Names, Name);
            else
                Index = 0;
        }
        WriteUShort(Indices, static_cast<std::uint16_t>(Index));
    }
    WriteUShort(Stream, NumberOfGlyphs);
    Stream.WriteBuffer(Indices.Bytes().data(), Indices.Bytes().size());
    Stream.WriteBuffer(Names.Bytes().data(), Names.Bytes().size());
}

}  // namespace truetype
