#include "tools/inspect/TableJson.h"

#include "truetype/sfnt/RawDataTable.h"
#include "truetype/tables/TableHead.h"
#include "truetype/tables/TableHhea.h"
#include "truetype/tables/TableHmtx.h"
#include "truetype/tables/TableLoca.h"
#include "truetype/tables/TableMaxp.h"
#include "truetype/tables/TableName.h"
#include "truetype/tables/cmap/TableCmap.h"

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

void WriteRaw(TJsonWriter& Json, const TRawDataTable& T)
{
    Json.Field("raw", true).Field("length", T.Data.size());
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
        TryWrite(Json, Table, WriteName) || TryWrite(Json, Table, WriteRaw);
    Json.EndObject();
}

}  // namespace inspect
