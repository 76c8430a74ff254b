#include "tools/cli/Cli.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <map>
#include <optional>
#include <set>

#include "app/FontRepairUnit.h"
#include "app/FontsFolderUnit.h"
#include "app/InstalledFontsUnit.h"
#include "base/TextConversion.h"
#include "tools/cli/DryRun.h"
#include "tools/json/JsonWriter.h"

namespace cli {

namespace {

using namespace app;

const char* const Usage =
    "usage: velmorant-cli COMMAND [OPTIONS]\n"
    "Finds and repairs problems with the installed TrueType fonts, as the Velmorant\n"
    "window does, for administrators and scripts.\n"
    "\n"
    "  scan [--json] [--time]\n"
    "      Rebuilds the inventory from the registry's Fonts key and the Fonts folder\n"
    "      and prints one row per entry, problems first: problem, font name,\n"
    "      registry value name and file name, separated by tabs (the problem is\n"
    "      empty for a healthy font), then \"N items\". With --json it prints\n"
    "      {\"items\": [{\"fontName\", \"registryName\", \"fileName\", \"problem\",\n"
    "      \"problemText\"}]}. --time also prints to stderr how long the scan took.\n"
    "      Changes nothing.\n"
    "      Exit status: 0 when no entry has a problem, 1 when some have.\n"
    "\n"
    "  repair [--problem N]... [--dry-run] [--json]\n"
    "      Scans, then repairs the entries with the given problem codes (every code\n"
    "      when none is given), from the last entry to the first, and prints what\n"
    "      each repair changed. Codes: 1 Invalid Font (file to the recycle bin, value\n"
    "      deleted), 2 File not found, 3 Wrong Registry Data Type, 5 Duplicate\n"
    "      Registry Data (value deleted), 4 No Registry Key (value written),\n"
    "      6 Wrong Registry Font Name (value renamed). --dry-run prints what would\n"
    "      change and changes nothing. Needs administrator rights.\n"
    "      Exit status: 0 when every chosen entry was repaired, 1 when some could\n"
    "      not be.\n"
    "\n"
    "  fix-folder\n"
    "      Runs the Fonts folder fixes (font cache file, the folder's system\n"
    "      attribute, Desktop.ini) and prints their log lines.\n"
    "\n"
    "Exit status 2 on an error or bad usage.\n";

enum class TCommand : std::uint8_t { Help, Scan, Repair, FixFolder };

struct TOptions {
    TCommand Command = TCommand::Help;
    bool Json = false;
    bool DryRun = false;
    bool Time = false;
    std::set<TFontProblem> Problems;
};

std::optional<TOptions> ParseArguments(const std::vector<std::string>& Arguments)
{
    TOptions Options;
    if (Arguments.empty())
        return std::nullopt;
    static const std::map<std::string, TCommand> Commands = {
        {"scan", TCommand::Scan}, {"repair", TCommand::Repair}, {"fix-folder", TCommand::FixFolder},
        {"--help", TCommand::Help}, {"-h", TCommand::Help}, {"help", TCommand::Help}};
    const auto Command = Commands.find(Arguments[0]);
    if (Command == Commands.end())
        return std::nullopt;
    Options.Command = Command->second;
    for (std::size_t i = 1; i < Arguments.size(); ++i) {
        const std::string& Argument = Arguments[i];
        const bool Scans = Options.Command == TCommand::Scan || Options.Command == TCommand::Repair;
        if (Argument == "--help" || Argument == "-h") {
            Options.Command = TCommand::Help;
        } else if (Argument == "--json" && Scans) {
            Options.Json = true;
        } else if (Argument == "--time" && Options.Command == TCommand::Scan) {
            Options.Time = true;
        } else if (Argument == "--dry-run" && Options.Command == TCommand::Repair) {
            Options.DryRun = true;
        } else if (Argument == "--problem" && Options.Command == TCommand::Repair && i + 1 < Arguments.size()) {
            const std::string& Code = Arguments[++i];
            if (Code.size() != 1 || Code[0] < '0' || Code[0] > '6')
                return std::nullopt;
            Options.Problems.insert(static_cast<TFontProblem>(Code[0] - '0'));
        } else {
            return std::nullopt;
        }
    }
    if (Options.Command == TCommand::Repair && Options.Problems.empty())
        for (int Code = fpInvalidFont; Code <= fpWrongFontName; ++Code)
            Options.Problems.insert(static_cast<TFontProblem>(Code));
    return Options;
}

// Names come from fonts and the registry: an unpaired surrogate shows as
// U+FFFD rather than as bytes no JSON reader takes.
void JsonText(inspect::TJsonWriter& Json, std::string_view Key, const std::string& Text)
{
    Json.Key(Key).Value(base::Utf8ToUtf16(Text));
}

void WriteEntryFields(inspect::TJsonWriter& Json, const TFontInfo& Entry)
{
    JsonText(Json, "fontName", Entry.FontName);
    JsonText(Json, "registryName", Entry.RegistryName);
    JsonText(Json, "fileName", Entry.FileName);
    Json.Field("problem", static_cast<unsigned>(Entry.Problem));
    Json.Field("problemText", ProblemText(Entry.Problem));
}

std::string EntryRow(const TFontInfo& Entry)
{
    return std::string(ProblemText(Entry.Problem)) + "\t" + Entry.FontName + "\t" + Entry.RegistryName + "\t" +
           Entry.FileName;
}

void WarnWithoutFontsFolder(const TInstalledFonts& Fonts, std::ostream& Err)
{
    if (Fonts.FontsFolder().empty())
        Err << "velmorant-cli: warning: the Fonts folder could not be determined; fonts registered by file name "
               "only and the folder's own fonts were not listed\n";
}

int Scan(const platform::TPlatform& Platform, const TOptions& Options, std::ostream& Out, std::ostream& Err)
{
    TNoScanProgress Progress;
    TInstalledFonts Fonts(Platform, Progress);
    const auto Started = std::chrono::steady_clock::now();
    Fonts.Refresh();
    const std::chrono::duration<double, std::milli> Took = std::chrono::steady_clock::now() - Started;
    if (Options.Time)
        Err << "scanned " << Fonts.Count() << " items in " << Took.count() << " ms\n";
    WarnWithoutFontsFolder(Fonts, Err);
    bool Problems = false;
    inspect::TJsonWriter Json(Out);
    if (Options.Json)
        Json.BeginObject().Key("items").BeginArray();
    for (std::size_t i = 0; i < Fonts.Count(); ++i) {
        const TFontInfo& Entry = Fonts.Items(i);
        Problems |= Entry.Problem != fpNone;
        if (Options.Json) {
            Json.Newline();
            Json.BeginObject();
            WriteEntryFields(Json, Entry);
            Json.EndObject();
        } else {
            Out << EntryRow(Entry) << '\n';
        }
    }
    if (Options.Json) {
        Json.EndArray().EndObject();
        Json.Newline();
    } else {
        Out << Fonts.Count() << " items\n";
    }
    return Problems ? ExitProblems : ExitClean;
}

// The rows of a console: the entries whose code was chosen, in inventory
// order, each as it was before the repair changed or destroyed it.
struct TConsoleList {
    std::vector<TFontInfo*> Selected;
    std::vector<TFontInfo> Before;
};

TConsoleList SelectByCode(TInstalledFonts& Fonts, const std::set<TFontProblem>& Chosen)
{
    TConsoleList List;
    for (std::size_t i = 0; i < Fonts.Count(); ++i) {
        TFontInfo& Entry = Fonts.Items(i);
        if (Chosen.count(Entry.Problem) == 0)
            continue;
        List.Selected.push_back(&Entry);
        List.Before.push_back(Entry);
    }
    return List;
}

const char* OutcomeName(TRepairOutcome Outcome)
{
    switch (Outcome) {
    case TRepairOutcome::Repaired: return "repaired";
    case TRepairOutcome::NameTaken: return "nameTaken";
    case TRepairOutcome::NoFontName: return "noFontName";
    case TRepairOutcome::AccessDenied: return "accessDenied";
    }
    return "";
}

std::string OutcomeText(TRepairOutcome Outcome, bool DryRun)
{
    switch (Outcome) {
    case TRepairOutcome::Repaired: return DryRun ? "would be repaired" : "repaired";
    case TRepairOutcome::NameTaken: return "not repaired: another font uses the registry value name";
    case TRepairOutcome::NoFontName: return "not repaired: the font's name could not be read";
    case TRepairOutcome::AccessDenied: return "not repaired: administrator rights are needed";
    }
    return "";
}

std::string StepText(const TRepairStep& Step, bool DryRun)
{
    switch (Step.Kind) {
    case TRepairStep::RecycleFile:
        if (!Step.Done)
            return "the shell did not move " + Step.Name + " to the recycle bin";
        return (DryRun ? "would move " : "moved ") + Step.Name + " to the recycle bin";
    case TRepairStep::DeleteValue:
        if (!Step.Done)
            return "registry value \"" + Step.Name + "\" was already gone";
        return (DryRun ? "would delete" : "deleted") + std::string(" registry value \"") + Step.Name + "\"";
    case TRepairStep::WriteValue:
        return (DryRun ? "would write" : "wrote") + std::string(" registry value \"") + Step.Name + "\" = \"" +
               Step.Data + "\"";
    }
    return "";
}

void WriteRepairJson(std::ostream& Out, const TConsoleList& List, const TRepairResult& Result, bool DryRun)
{
    static const char* const Actions[] = {"recycleFile", "deleteValue", "writeValue"};
    inspect::TJsonWriter Json(Out);
    Json.BeginObject().Field("dryRun", DryRun).Key("items").BeginArray();
    for (const TEntryRepair& Repair : Result.Entries) {
        Json.Newline();
        Json.BeginObject();
        WriteEntryFields(Json, List.Before[Repair.Index]);
        Json.Field("outcome", OutcomeName(Repair.Outcome));
        Json.Key("changes").BeginArray();
        for (const TRepairStep& Step : Repair.Changes) {
            Json.BeginObject().Field("action", Actions[Step.Kind]);
            JsonText(Json, "name", Step.Name);
            if (Step.Kind == TRepairStep::WriteValue)
                JsonText(Json, "data", Step.Data);
            Json.Field("done", Step.Done).EndObject();
        }
        Json.EndArray().EndObject();
    }
    Json.EndArray().Key("messages").BeginArray();
    for (const std::string& Message : Result.Messages)
        Json.Value(Message);
    Json.EndArray().EndObject();
    Json.Newline();
}

void WriteRepairText(std::ostream& Out, const TConsoleList& List, const TRepairResult& Result, bool DryRun)
{
    for (const TEntryRepair& Repair : Result.Entries) {
        Out << EntryRow(List.Before[Repair.Index]) << '\n';
        for (const TRepairStep& Step : Repair.Changes)
            Out << "  " << StepText(Step, DryRun) << '\n';
        Out << "  " << OutcomeText(Repair.Outcome, DryRun) << '\n';
    }
    for (const std::string& Message : Result.Messages)
        Out << Message << '\n';
}

int Repair(const platform::TPlatform& Real, const TOptions& Options, std::ostream& Out, std::ostream& Err)
{
    TDryRunRegistry DryRegistry(Real.Registry);
    TDryRunShell DryShell(Real.Shell);
    const platform::TPlatform Platform = Options.DryRun
        ? platform::TPlatform{DryRegistry, DryShell, Real.Files, Real.System, Real.Text}
        : Real;

    TNoScanProgress Progress;
    TInstalledFonts Fonts(Platform, Progress);
    Fonts.Refresh();
    WarnWithoutFontsFolder(Fonts, Err);
    const TConsoleList List = SelectByCode(Fonts, Options.Problems);
    const TRepairResult Result = TFontRepair(Platform, Fonts, nullptr).RepairSelectedItems(List.Selected);
    if (Options.Json)
        WriteRepairJson(Out, List, Result, Options.DryRun);
    else
        WriteRepairText(Out, List, Result, Options.DryRun);
    // Told after what was repaired before it.
    if (Result.Error)
        std::rethrow_exception(Result.Error);
    const bool AllRepaired = std::all_of(Result.Entries.begin(), Result.Entries.end(), [](const TEntryRepair& Repair) {
        return Repair.Outcome == TRepairOutcome::Repaired;
    });
    return AllRepaired ? ExitClean : ExitProblems;
}

class TStreamLog final : public IResultsLog {
public:
    explicit TStreamLog(std::ostream& Out) : FOut(Out) {}
    void Add(const std::string& Line) override { FOut << Line << '\n' << std::flush; }

private:
    std::ostream& FOut;
};

int FixFolder(const platform::TPlatform& Platform, std::ostream& Out)
{
    TStreamLog Log(Out);
    RestoreFontsFolder(Platform, nullptr, Log);
    return ExitClean;
}

}  // namespace

int RunCli(const platform::TPlatform& Platform, const std::vector<std::string>& Arguments, std::ostream& Out,
           std::ostream& Err)
{
    const std::optional<TOptions> Options = ParseArguments(Arguments);
    if (!Options) {
        Err << Usage;
        return ExitError;
    }
    try {
        switch (Options->Command) {
        case TCommand::Help: Out << Usage; return ExitClean;
        case TCommand::Scan: return Scan(Platform, *Options, Out, Err);
        case TCommand::Repair: return Repair(Platform, *Options, Out, Err);
        case TCommand::FixFolder: return FixFolder(Platform, Out);
        }
    } catch (const std::exception& Error) {
        Err << "velmorant-cli: " << Error.what() << '\n';
    }
    return ExitError;
}

}  // namespace cli
