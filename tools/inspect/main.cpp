// velmorant-inspect: loads font files with the library and shows what it read.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "app/InstalledFontsUnit.h"
#include "app/ValidTrueTypeFontUnit.h"
#include "tools/inspect/OutlineJson.h"
#include "tools/inspect/TableJson.h"
#ifdef VELMORANT_HAVE_PNG
#include "tools/inspect/PngFile.h"
#include "tools/inspect/RenderGlyph.h"
#endif
#include "tools/json/JsonWriter.h"
#include "truetype/font/TrueTypeFont.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/TableMaxp.h"

using namespace truetype;

namespace {

struct TOptions {
    bool Json = false;
    bool Outlines = false;
    bool Glyphs = false;
    // --render: the glyph, the image's side in pixels, and the PNG file.
    long RenderGlyph = -1;
    long RenderSize = 0;
    std::string RenderFile;
    // Stands for the system's default locale in the name choice.
    std::uint16_t Locale = 0x0409;
    // The font of a collection to load.
    std::uint32_t Face = 0;
    std::vector<std::string> Files;
};

const char* const Usage =
    "usage: velmorant-inspect [--json] [--outlines] [--locale LCID] [--face N] FILE...\n"
    "Loads each font file with the Velmorant TrueType library and shows what it read:\n"
    "a readable summary, or with --json one JSON array with an object per file.\n"
    "  --outlines     load glyph outlines too (glyf and loca); the JSON gains \"outlines\"\n"
    "                 with their count and the points and contours of all glyphs placed\n"
    "  --glyphs       with --outlines: the JSON gains \"glyphs\", each glyph's kind, box,\n"
    "                 placed contours and components\n"
#ifdef VELMORANT_HAVE_PNG
    "  --render GLYPH --size PX --out FILE.png\n"
    "                 draws one glyph of the (single) FILE into a PNG of PX by PX pixels\n"
#endif
    "  --locale LCID  the system locale the scan's name choice assumes (\"name\" in the\n"
    "                 JSON; default 0x0409); \"validHead\" is the scan's raw head check,\n"
    "                 \"damaged\" why the scan would call the file damaged, or null\n"
    "  --face N       load font N (from 0) of a collection; the JSON's \"collection\"\n"
    "                 gives its header (null for a single font)\n"
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
    // UTF-8; a collection's names joined by " & ".
    std::string Name;
    app::TFontFormat Format = app::TFontFormat::TrueType;
    bool ValidHead = false;
    // Why the file is damaged, as the scan judges it; empty when it is not.
    std::string Damaged;
};

TIdentity Identify(const std::string& File, std::uint16_t Locale)
{
    TIdentity Identity;
    try {
        TFileStream Stream(File);
        app::TFontInfo Info;
        Info.ReadFontFile(Stream, Locale);
        Identity.Name = Info.FontName;
        Identity.Format = Info.Format;
        Identity.Damaged = Info.Detail;
        Identity.ValidHead = app::IsValidTrueTypeFont(Stream);
    } catch (const std::exception&) {
        // A file that cannot be opened has neither.
    }
    return Identity;
}

void WriteJson(inspect::TJsonWriter& Json, const std::string& File, const TTrueTypeFont& Font, const TResult& Result,
               const TIdentity& Identity, const TOptions& Options)
{
    Json.BeginObject();
    Json.Field("file", File).Field("loaded", Result.Loaded);
    Json.Field("name", Identity.Name).Field("format", app::FormatName(Identity.Format));
    Json.Field("validHead", Identity.ValidHead);
    Json.Key("damaged");
    if (Identity.Damaged.empty())
        Json.Null();
    else
        Json.Value(Identity.Damaged);
    Json.Key("error");
    if (Result.HasError)
        Json.Value(Result.Error);
    else
        Json.Null();
    Json.Field("version", Font.Version).Field("hasDigitalSignature", Font.HasDigitalSignature);
    Json.Field("numGlyphs", NumGlyphs(Font));
    Json.Field("face", Font.Face).Key("collection");
    if (Font.Collection) {
        Json.BeginObject().Field("version", Font.Collection->Version).Field("numFonts", Font.Collection->NumFonts);
        Json.Key("offsets").BeginArray();
        for (const std::uint32_t Offset : Font.Collection->Offsets)
            Json.Value(Offset);
        Json.EndArray().EndObject();
    } else {
        Json.Null();
    }
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
    for (const std::string_view Line : Font.Log)
        Json.Value(Line);
    Json.EndArray();
    Json.Key("tables").BeginObject();
    for (const TFontTable& Table : Font.Tables) {
        Json.Key(Table.Tag());
        inspect::WriteTableJson(Json, Table);
    }
    Json.EndObject();
    if (Options.Outlines)
        inspect::WriteOutlineTotalsJson(Json, Font.Outlines);
    if (Options.Glyphs)
        inspect::WriteGlyphsJson(Json, Font.Outlines);
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
        else if (Argument == "--glyphs")
            Options.Outlines = Options.Glyphs = true;
#ifdef VELMORANT_HAVE_PNG
        else if ((Argument == "--render" || Argument == "--size") && i + 1 < Count) {
            char* End = nullptr;
            const long Number = std::strtol(Arguments[++i], &End, 0);
            if (End == Arguments[i] || *End != '\0' || Number < 0 || Number > 65535)
                return false;
            (Argument == "--render" ? Options.RenderGlyph : Options.RenderSize) = Number;
        }
        else if (Argument == "--out" && i + 1 < Count)
            Options.RenderFile = Arguments[++i];
#endif
        else if (Argument == "--locale" && i + 1 < Count) {
            char* End = nullptr;
            const unsigned long Locale = std::strtoul(Arguments[++i], &End, 0);
            if (End == Arguments[i] || *End != '\0' || Locale > 0xFFFFFFFF)
                return false;
            Options.Locale = static_cast<std::uint16_t>(Locale & 0xFFFF);
        }
        else if (Argument == "--face" && i + 1 < Count) {
            char* End = nullptr;
            const unsigned long Face = std::strtoul(Arguments[++i], &End, 0);
            if (End == Arguments[i] || *End != '\0' || Face > 0xFFFFFFFF)
                return false;
            Options.Face = static_cast<std::uint32_t>(Face);
        }
        else if (Argument == "--")
            for (++i; i < Count; ++i)
                Options.Files.emplace_back(Arguments[i]);
        else if (Argument.starts_with("-"))
            return false;
        else
            Options.Files.push_back(Argument);
    }
    if (Options.RenderGlyph >= 0) {
        Options.Outlines = true;
        return Options.Files.size() == 1 && Options.RenderSize > 0 && !Options.RenderFile.empty();
    }
    return !Options.Files.empty();
}

#ifdef VELMORANT_HAVE_PNG
int Render(const TOptions& Options)
{
    TTrueTypeFont Font(true);
    Font.Face = Options.Face;
    const TResult Result = Load(Font, Options.Files[0]);
    if (!Result.Loaded) {
        std::cerr << Options.Files[0] << ": not loaded: " << Result.Error << '\n';
        return 1;
    }
    try {
        const auto Glyph = static_cast<std::uint16_t>(Options.RenderGlyph);
        inspect::WritePng(Options.RenderFile,
                          inspect::RenderGlyph(Font, Glyph, static_cast<std::int32_t>(Options.RenderSize)));
    } catch (const std::exception& Error) {
        std::cerr << Error.what() << '\n';
        return 1;
    }
    return 0;
}
#endif

}  // namespace

int main(int Count, char** Arguments)
{
    TOptions Options;
    if (!ParseArguments(Count, Arguments, Options)) {
        std::cerr << Usage;
        return 2;
    }
#ifdef VELMORANT_HAVE_PNG
    if (Options.RenderGlyph >= 0)
        return Render(Options);
#endif
    std::ios::sync_with_stdio(false);
    inspect::TJsonWriter Json(std::cout);
    if (Options.Json)
        Json.BeginArray();
    std::size_t Failed = 0;
    for (const std::string& File : Options.Files) {
        // The scan's own reading first: it loads the font too, and would
        // replace this load's warnings with its own.
        const TIdentity Identity = Options.Json ? Identify(File, Options.Locale) : TIdentity{};
        TTrueTypeFont Font(Options.Outlines);
        Font.Face = Options.Face;
        const TResult Result = Load(Font, File);
        if (!Result.Loaded)
            ++Failed;
        if (Options.Json) {
            Json.Newline();
            WriteJson(Json, File, Font, Result, Identity, Options);
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
