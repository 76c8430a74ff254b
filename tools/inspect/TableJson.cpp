#include "tools/inspect/TableJson.h"

#include <algorithm>

#include "truetype/sfnt/RawDataTable.h"
#include "truetype/tables/TableGasp.h"
#include "truetype/tables/TableHead.h"
#include "truetype/tables/TableHhea.h"
#include "truetype/tables/TableHmtx.h"
#include "truetype/tables/TableKern.h"
#include "truetype/tables/TableLoca.h"
#include "truetype/tables/TableMaxp.h"
#include "truetype/tables/TableName.h"
#include "truetype/tables/TableOS_2.h"
#include "truetype/tables/TablePCLT.h"
#include "truetype/tables/cmap/TableCmap.h"
#include "truetype/tables/post/TablePost.h"

namespace inspect {

using namespace truetype;

namespace {

void WriteHead(TJsonWriter& Json, const TTableHead& T)
{
    Json.Field("version", T.version).Field("fontRevision", T.fontRevision)
        .Field("checkSumAdjustment", T.checkSumAdjustment).Field("magicNumber", T.magicNumber)
        .Field("flags", T.flags).Field("unitsPerEm", T.unitsPerEm)
        .Field("created", T.created).Field("modified", T.modified)
        .Field("xMin", T.xMin).Field("yMin", T.yMin).Field("xMax", T.xMax).Field("yMax", T.yMax)
        .Field("macStyle", T.macStyle).Field("lowestRecPPEM", T.lowestRecPPEM)
        .Field("fontDirectionHint", T.fontDirectionHint).Field("indexToLocFormat", T.indexToLocFormat)
        .Field("glyphDataFormat", T.glyphDataFormat);
}

void WriteHhea(TJsonWriter& Json, const TTableHhea& T)
{
    Json.Field("version", T.version).Field("ascender", T.ascender).Field("descender", T.descender)
        .Field("lineGap", T.lineGap).Field("advanceWidthMax", T.advanceWidthMax)
        .Field("minLeftSideBearing", T.minLeftSideBearing).Field("minRightSideBearing", T.minRightSideBearing)
        .Field("xMaxExtent", T.xMaxExtent).Field("caretSlopeRise", T.caretSlopeRise)
        .Field("caretSlopeRun", T.caretSlopeRun).Field("caretOffset", T.caretOffset);
    Json.Key("reserved").BeginArray();
    for (const std::int16_t Word : T.reserved)
        Json.Value(Word);
    Json.EndArray();
    Json.Field("metricDataFormat", T.metricDataFormat).Field("numberOfHMetrics", T.numberOfHMetrics);
}

void WriteMaxp(TJsonWriter& Json, const TTableMaxp& T)
{
    Json.Field("version", T.version).Field("numGlyphs", T.numGlyphs).Field("maxPoints", T.maxPoints)
        .Field("maxContours", T.maxContours).Field("maxCompositePoints", T.maxCompositePoints)
        .Field("maxCompositeContours", T.maxCompositeContours).Field("maxZones", T.maxZones)
        .Field("maxTwilightPoints", T.maxTwilightPoints).Field("maxStorage", T.maxStorage)
        .Field("maxFunctionDefs", T.maxFunctionDefs).Field("maxInstructionDefs", T.maxInstructionDefs)
        .Field("maxStackElements", T.maxStackElements).Field("maxSizeOfInstructions", T.maxSizeOfInstructions)
        .Field("maxComponentElements", T.maxComponentElements).Field("maxComponentDepth", T.maxComponentDepth);
}

void WriteHmtx(TJsonWriter& Json, const TTableHmtx& T)
{
    Json.Field("numberOfHMetrics", T.NumberOfHMetrics);
    Json.Key("metrics").BeginArray();
    for (std::size_t i = 0; i < T.Count(); ++i) {
        const THmtxMetrics& M = T.Items(static_cast<std::ptrdiff_t>(i));
        Json.BeginArray().Value(M.AdvanceWidth).Value(M.LeftSideBearing).EndArray();
    }
    Json.EndArray();
}

void WriteLoca(TJsonWriter& Json, const TTableLoca& T)
{
    Json.Field("indexToLocFormat", T.IndexToLocFormat).Field("count", T.Count());
}

// One record per name, in the tree's order.
void WriteName(TJsonWriter& Json, const TTableName& T)
{
    Json.Key("records").BeginArray();
    ForEachName(T.Names, [&Json](const TNamePlatformList& Platform, const TNameLanguageList& Language,
                                 const TNameField& Name) {
        Json.BeginObject().Field("platformID", Platform.PlatformID).Field("encodingID", Platform.EncodingID)
            .Field("languageID", Language.LanguageID).Field("nameID", Name.NameID)
            .Field("text", std::u16string_view(Name.Text)).EndObject();
    });
    Json.EndArray();
}

void WriteCmap(TJsonWriter& Json, const TTableCmap& T)
{
    Json.Field("version", T.Version);
    Json.Key("encodings").BeginArray();
    for (std::size_t i = 0; i < T.EncodingCount(); ++i) {
        const TCmapEncodingTableEntry& Entry = T.Encodings(static_cast<std::ptrdiff_t>(i));
        const TCmapEncodingSubTable& SubTable = Entry.SubTable;
        Json.BeginObject().Field("platformID", Entry.PlatformID)
            .Field("encodingID", Entry.PlatformSpecificEncodingID)
            .Field("format", SubTable.SubTableFormat()).Field("language", SubTable.Version);
        Json.Key("mappings").BeginArray();
        for (const TCharacterToGlyphIndexMapping& Mapping : SubTable.Mappings)
            Json.BeginArray().Value(Mapping.CharacterCode).Value(Mapping.GlyphIndex).EndArray();
        Json.EndArray().EndObject();
    }
    Json.EndArray();
}

// Single-byte font text, each byte one character (Latin-1), zero bytes included.
std::u16string ByteText(std::string_view Bytes)
{
    std::u16string Text(Bytes.size(), u'\0');
    std::transform(Bytes.begin(), Bytes.end(), Text.begin(),
                   [](char C) { return static_cast<char16_t>(static_cast<unsigned char>(C)); });
    return Text;
}

template <typename Bytes>
void WriteByteArray(TJsonWriter& Json, std::string_view Name, const Bytes& Values)
{
    Json.Key(Name).BeginArray();
    for (const std::uint8_t Byte : Values)
        Json.Value(Byte);
    Json.EndArray();
}

void WritePost(TJsonWriter& Json, const TTablePost& T)
{
    Json.Key("formatType").BeginArray().Value(T.FormatType.IntegerPart).Value(T.FormatType.FractionWord).EndArray();
    Json.Field("italicAngle", T.italicAngle).Field("underlinePosition", T.underlinePosition)
        .Field("underlineThickness", T.underlineThickness).Field("isFixedPitch", T.isFixedPitch)
        .Field("minMemType42", T.minMemType42).Field("maxMemType42", T.maxMemType42)
        .Field("minMemType1", T.minMemType1).Field("maxMemType1", T.maxMemType1)
        .Field("numberOfGlyphs", T.NumberOfGlyphs);
    Json.Key("glyphNames").BeginArray();
    for (std::size_t i = 0; i < T.GlyphNames.Count(); ++i)
        Json.Value(std::u16string_view(ByteText(T.GlyphNames.Items(static_cast<std::ptrdiff_t>(i)).Name)));
    Json.EndArray();
}

void WriteOS2(TJsonWriter& Json, const TTableOS_2& T)
{
    Json.Field("version", T.version).Field("xAvgCharWidth", T.xAvgCharWidth)
        .Field("usWeightClass", T.usWeightClass).Field("usWidthClass", T.usWidthClass).Field("fsType", T.fsType)
        .Field("ySubscriptXSize", T.ySubscriptXSize).Field("ySubscriptYSize", T.ySubscriptYSize)
        .Field("ySubscriptXOffset", T.ySubscriptXOffset).Field("ySubscriptYOffset", T.ySubscriptYOffset)
        .Field("ySuperscriptXSize", T.ySuperscriptXSize).Field("ySuperscriptYSize", T.ySuperscriptYSize)
        .Field("ySuperscriptXOffset", T.ySuperscriptXOffset).Field("ySuperscriptYOffset", T.ySuperscriptYOffset)
        .Field("yStrikeoutSize", T.yStrikeoutSize).Field("yStrikeoutPosition", T.yStrikeoutPosition)
        .Field("sFamilyClass", T.sFamilyClass);
    WriteByteArray(Json, "panose", T.panose);
    Json.Field("ulUnicodeRange1", T.ulUnicodeRange1).Field("ulUnicodeRange2", T.ulUnicodeRange2)
        .Field("ulUnicodeRange3", T.ulUnicodeRange3).Field("ulUnicodeRange4", T.ulUnicodeRange4)
        .Field("achVendID", std::u16string_view(ByteText(T.achVendID))).Field("fsSelection", T.fsSelection)
        .Field("usFirstCharIndex", T.usFirstCharIndex).Field("usLastCharIndex", T.usLastCharIndex)
        .Field("sTypoAscender", T.sTypoAscender).Field("sTypoDescender", T.sTypoDescender)
        .Field("sTypoLineGap", T.sTypoLineGap).Field("usWinAscent", T.usWinAscent)
        .Field("usWinDescent", T.usWinDescent);
    if (T.version >= 1)
        Json.Field("ulCodePageRange1", T.ulCodePageRange1).Field("ulCodePageRange2", T.ulCodePageRange2);
    if (T.version >= 2)
        Json.Field("sxHeight", T.sxHeight).Field("sCapHeight", T.sCapHeight)
            .Field("usDefaultChar", T.usDefaultChar).Field("usBreakChar", T.usBreakChar)
            .Field("usMaxContext", T.usMaxContext);
}

void WritePCLT(TJsonWriter& Json, const TTablePCLT& T)
{
    Json.Field("version", T.version).Field("fontNumber", T.fontNumber).Field("pitch", T.pitch)
        .Field("xHeight", T.xHeight).Field("style", T.style).Field("typeFamily", T.typeFamily)
        .Field("capHeight", T.capHeight).Field("symbolSet", T.symbolSet)
        .Field("typeface", std::u16string_view(ByteText(T.Typeface())));
    WriteByteArray(Json, "characterComplement", T.characterComplement);
    Json.Field("fileName", std::u16string_view(ByteText(T.FileName()))).Field("strokeWeight", T.strokeWeight)
        .Field("widthType", T.widthType).Field("serifStyle", T.serifStyle).Field("reserved", T.reserved);
}

void WriteGasp(TJsonWriter& Json, const TTableGasp& T)
{
    Json.Field("version", T.Version);
    Json.Key("ranges").BeginArray();
    for (std::size_t i = 0; i < T.Count(); ++i) {
        const TGaspRange& Range = T.Items(static_cast<std::ptrdiff_t>(i));
        Json.BeginArray().Value(Range.RangeMaxPPEM).Value(Range.RangeGaspBehavior).EndArray();
    }
    Json.EndArray();
}

void WriteKern(TJsonWriter& Json, const TTableKern& T)
{
    Json.Field("version", T.Version);
    Json.Key("pairs").BeginArray();
    for (std::size_t i = 0; i < T.Count(); ++i) {
        const TKerningPair& Pair = T.Items(static_cast<std::ptrdiff_t>(i));
        Json.BeginArray().Value(Pair.Left).Value(Pair.Right).Value(Pair.Value).EndArray();
    }
    Json.EndArray();
}

void WriteRaw(TJsonWriter& Json, const TRawDataTable& T)
{
    Json.Field("raw", true).Field("length", T.Length());
}

// Tries Writer when the table is of the class it takes.
template <typename Table>
bool TryWrite(TJsonWriter& Json, const TFontTable& Any, void (*Writer)(TJsonWriter&, const Table&))
{
    const auto* Typed = dynamic_cast<const Table*>(&Any);
    if (Typed != nullptr)
        Writer(Json, *Typed);
    return Typed != nullptr;
}

}  // namespace

void WriteTableJson(TJsonWriter& Json, const TFontTable& Table)
{
    Json.BeginObject();
    // One line per table class.
    TryWrite(Json, Table, WriteHead) || TryWrite(Json, Table, WriteHhea) || TryWrite(Json, Table, WriteMaxp) ||
        TryWrite(Json, Table, WriteHmtx) || TryWrite(Json, Table, WriteLoca) || TryWrite(Json, Table, WriteCmap) ||
        TryWrite(Json, Table, WriteName) || TryWrite(Json, Table, WritePost) || TryWrite(Json, Table, WriteOS2) ||
        TryWrite(Json, Table, WritePCLT) || TryWrite(Json, Table, WriteGasp) || TryWrite(Json, Table, WriteKern) ||
        TryWrite(Json, Table, WriteRaw);
    Json.EndObject();
}

}  // namespace inspect
