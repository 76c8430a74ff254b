// velmorant-inspect: loads font files with the library and shows what it read.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "app/InstalledFontsUnit.h"
#include "app/ValidTrueTypeFontUnit.h"
#include "tools/inspect/TableJson.h"
#include "tools/json/JsonWriter.h"
#include "truetype/sfnt/TrueTypeFont.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/TableMaxp.h"

using namespace truetype;

namespace {

struct TOptions {
    bool Json = false;
    bool Outlines = false;
    // Stands for the system's default locale in the name choice.
    std::uint16_t Locale = 0x0409;
    std::vector<std::string> Files;
};

const char* const Usage =
    "usage: velmorant-inspect [--json] [--outlines] [--locale LCID] FILE...\n"
    "Loads each font file with the Velmorant TrueType library and shows what it read:\n"
    "a readable summary, or with --json one JSON array with an object per file.\n"
    "  --outlines     load glyph outlines too (glyf and loca)\n"
    "  --locale LCID  the system locale the scan's name choice assumes (\"name\" in the\n"
    "                 JSON; default 0x0409); \"validHead\" is the scan's raw head check\n"
    "Exit status: 0 when every file loaded, 1 when any did not, 2 on bad usage.\n";

struct TResult {
    bool Loaded = false;
    std::string Error;
    bool HasError = false;
};

TResult Load(TTrueTypeFont& Font, const std::string& File)
{
    TResult Result;
    // A file that cannot be opened never reaches the load, which would clear
    // the previous file's warnings.
    TWarningCollector::Clear();
    try {
        Font.LoadFromFile(File);
        Result.Loaded = Font.Loaded;
    } catch (const std::bad_alloc&) {
        Result.Error = "Out of memory";
        Result.HasError = true;
    } catch (const std::exception& Error) {
        Result.Error = Error.what();
        Result.HasError = true;
    }
    return Result;
}

unsigned NumGlyphs(const TTrueTypeFont& Font)
{
    const TTableMaxp* Maxp = Font.MaxpTable();
    return Maxp != nullptr ? Maxp->numGlyphs : 0;
}

// What a scan makes of the file, each answer from a reading of its own, as
// the scan does it.
struct TIdentity {
    std::u16string Name;
    bool ValidHead = false;
};

TIdentity Identify(const std::string& File, std::uint16_t Locale)
{
    TIdentity Identity;
    try {
        TFileStream Stream(File);
        app::TFontInfo::ReadFontName(Stream, Locale, Identity.Name);
        Identity.ValidHead = app::IsValidTrueTypeFont(Stream);
    } catch (const std::exception&) {
        // A file that cannot be opened has neither.
    }
    return Identity;
}

void WriteJson(inspect::TJsonWriter& Json, const std::string& File, const TTrueTypeFont& Font, const TResult& Result,
               const TIdentity& Identity)
{
    Json.BeginObject();
    Json.Field("file", File).Field("loaded", Result.Loaded);
    Json.Field("name", Identity.Name).Field("validHead", Identity.ValidHead);
    Json.Key("error");
    if (Result.HasError)
        Json.Value(Result.Error);
    else
        Json.Null();
    Json.Field("version", Font.Version).Field("hasDigitalSignature", Font.HasDigitalSignature);
    Json.Field("numGlyphs", NumGlyphs(Font));
    Json.Key("directory").BeginArray();
    for (std::size_t i = 0; i < Font.NumTables; ++i) {
        const TTrueTypeFont::TDirectoryEntry& Entry = Font.Record(i);
        Json.BeginObject().Field("tag", Entry.Tag).Field("checkSum", Entry.CheckSum)
            .Field("offset", Entry.Offset).Field("length", Entry.Length).EndObject();
    }
    Json.EndArray();
    Json.Key("warnings").BeginArray();
    for (const std::string& Line : TWarningCollector::Warnings())
        Json.Value(Line);
    Json.EndArray();
    Json.Key("log").BeginArray();
    for (const std::string& Line : Font.Log)
        Json.Value(Line);
    Json.EndArray();
    Json.Key("tables").BeginObject();
    for (const TFontTable& Table : Font.Tables) {
        Json.Key(Table.Tag());
        inspect::WriteTableJson(Json, Table);
    }
    Json.EndObject();
    Json.EndObject();
}

void WriteSummary(std::ostream& Out, const std::string& File, const TTrueTypeFont& Font, const TResult& Result)
{
    Out << File << '\n';
    if (Result.Loaded)
        Out << "  loaded";
    else
        Out << "  not loaded: " << Result.Error;
    Out << ", version " << FixedMajor(Font.Version) << '.' << FixedMinor(Font.Version) << ", " << NumGlyphs(Font)
        << " glyphs" << (Font.HasDigitalSignature ? ", signed" : "") << '\n';
    Out << "  " << Font.Tables.Count() << " tables:";
    for (const TFontTable& Table : Font.Tables)
        Out << " '" << Table.Tag() << '\'';
    Out << '\n';
    const auto& Warnings = TWarningCollector::Warnings();
    Out << "  " << Warnings.size() << " warnings\n";
    for (const std::string& Line : Warnings)
        Out << "    " << Line << '\n';
}

bool ParseArguments(int Count, char** Arguments, TOptions& Options)
{
    for (int i = 1; i < Count; ++i) {
        const std::string Argument = Arguments[i];
        if (Argument == "--json")
            Options.Json = true;
        else if (Argument == "--outlines")
            Options.Outlines = true;
        else if (Argument == "--locale" && i + 1 < Count) {
            char* End = nullptr;
            const unsigned long Locale = std::strtoul(Arguments[++i], &End, 0);
            if (End == Arguments[i] || *End != '\0' || Locale > 0xFFFFFFFF)
                return false;
            Options.Locale = static_cast<std::uint16_t>(Locale & 0xFFFF);
        }
        else if (Argument == "--")
            for (++i; i < Count; ++i)
                Options.Files.emplace_back(Arguments[i]);
        else if (Argument.starts_with("-"))
            return false;
        else
            Options.Files.push_back(Argument);
    }
    return !Options.Files.empty();
}

}  // namespace

int main(int Count, char** Arguments)
{
    TOptions Options;
    if (!ParseArguments(Count, Arguments, Options)) {
        std::cerr << Usage;
        return 2;
    }
    std::ios::sync_with_stdio(false);
    inspect::TJsonWriter Json(std::cout);
    if (Options.Json)
        Json.BeginArray();
    std::size_t Failed = 0;
    for (const std::string& File : Options.Files) {
        TTrueTypeFont Font(Options.Outlines);
        const TResult Result = Load(Font, File);
        if (!Result.Loaded)
            ++Failed;
        if (Options.Json) {
            Json.Newline();
            WriteJson(Json, File, Font, Result, Identify(File, Options.Locale));
        } else {
            WriteSummary(std::cout, File, Font, Result);
        }
    }
    if (Options.Json) {
        Json.EndArray();
        Json.Newline();
    } else {
        std::cout << Options.Files.size() << " fonts: " << Options.Files.size() - Failed << " loaded, " << Failed
                  << " not loaded\n";
    }
    return Failed == 0 ? 0 : 1;
}
