#include "tools/inspect/TableJson.h"

#include <algorithm>
#include <array>
#include <concepts>
#include <string>

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

// The values of the field lists (TableFields.h): numbers as numbers, arrays
// and post's version halves as arrays, texts and tags as Latin-1 text.
template <std::integral T>
void FieldJson(TJsonWriter& Json, T Value)
{
    Json.Value(Value);
}

void FieldJson(TJsonWriter& Json, const std::string& Tag) { Json.Value(std::u16string_view(ByteText(Tag))); }

template <std::size_t Width>
void FieldJson(TJsonWriter& Json, const TFixedText<Width>& Text)
{
    Json.Value(std::u16string_view(ByteText(Text.Text())));
}

void FieldJson(TJsonWriter& Json, const TPostFormatType& Version)
{
    Json.BeginArray().Value(Version.IntegerPart).Value(Version.FractionWord).EndArray();
}

template <typename T, std::size_t N>
void FieldJson(TJsonWriter& Json, const std::array<T, N>& Values)
{
    Json.BeginArray();
    for (const T& Value : Values)
        FieldJson(Json, Value);
    Json.EndArray();
}

// One key per field the table's version holds, in file order.
class TFieldJson {
public:
    explicit TFieldJson(TJsonWriter& Json) : FJson(Json) {}

    template <typename T>
    void operator()(std::string_view Name, const T& Value)
    {
        FJson.Key(Name);
        FieldJson(FJson, Value);
    }
    template <typename T>
    void operator()(std::string_view Name, const T& Value, TFieldSince Since)
    {
        if (Since.Holds())
            (*this)(Name, Value);
    }

private:
    TJsonWriter& FJson;
};

template <typename Table>
void WriteFixed(TJsonWriter& Json, const Table& T)
{
    Table::Fields(T, TFieldJson(Json));
}

void WritePost(TJsonWriter& Json, const TTablePost& T)
{
    WriteFixed(Json, T);
    Json.Field("numberOfGlyphs", T.NumberOfGlyphs);
    Json.Key("glyphNames").BeginArray();
    for (std::size_t i = 0; i < T.GlyphNames.Count(); ++i)
        Json.Value(std::u16string_view(ByteText(T.GlyphNames.Items(static_cast<std::ptrdiff_t>(i)).Name)));
    Json.EndArray();
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
    TryWrite(Json, Table, WriteFixed<TTableHead>) || TryWrite(Json, Table, WriteFixed<TTableHhea>) ||
        TryWrite(Json, Table, WriteFixed<TTableMaxp>) || TryWrite(Json, Table, WriteHmtx) ||
        TryWrite(Json, Table, WriteLoca) || TryWrite(Json, Table, WriteCmap) || TryWrite(Json, Table, WriteName) ||
        TryWrite(Json, Table, WritePost) || TryWrite(Json, Table, WriteFixed<TTableOS_2>) ||
        TryWrite(Json, Table, WriteFixed<TTablePCLT>) || TryWrite(Json, Table, WriteGasp) ||
        TryWrite(Json, Table, WriteKern) || TryWrite(Json, Table, WriteRaw);
    Json.EndObject();
}

}  // namespace inspect
