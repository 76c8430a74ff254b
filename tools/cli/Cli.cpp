#include "tools/cli/Cli.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "app/FontPromoteUnit.h"
#include "app/FontCacheUnit.h"
#include "app/FontRepairUnit.h"
#include "app/FontsFolderUnit.h"
#include "app/InstalledFontsUnit.h"
#include "app/RepairBackup.h"
#include "app/UntrustedFontsUnit.h"
#include "base/AsciiText.h"
#include "base/Format.h"
#include "base/TextConversion.h"
#include "tools/json/JsonWriter.h"

namespace cli {

namespace {

using namespace app;

const char* const Usage =
    "usage: velmorant-cli COMMAND [OPTIONS]\n"
    "Finds and repairs problems with the installed fonts, as the Velmorant\n"
    "window does, for administrators and scripts.\n"
    "\n"
    "  scan [--json] [--time]\n"
    "      Rebuilds the inventory from the registry's Fonts key and the Fonts folder,\n"
    "      then from your own Fonts key and font folder, and prints one row per\n"
    "      entry, problems first: problem, font name, registry value name, file name\n"
    "      and scope (machine or user), separated by tabs (the problem is empty for\n"
    "      a healthy font), then \"N items\". With --json it prints {\"items\":\n"
    "      [{\"fontName\", \"registryName\", \"fileName\", \"problem\", \"problemText\",\n"
    "      \"scope\", \"format\", \"detail\"}], \"untrustedFontBlocking\"} (format: truetype,\n"
    "      opentype or collection; detail: why a damaged font is damaged, else\n"
    "      empty; blocking, when the policy sets it: on, off or audit). A row with\n"
    "      notes (the machine font of the same name; a font of your own that\n"
    "      Windows' untrusted font blocking keeps from programs using GDI) is\n"
    "      followed by a line \"  note: ...\" per note, in JSON \"notes\": [...].\n"
    "      When the policy blocks or logs untrusted fonts, stderr says so once.\n"
    "      --time also prints to stderr how long the scan took.\n"
    "      Changes nothing.\n"
    "      Exit status: 0 when no entry has a problem, 1 when some have.\n"
    "\n"
    "  repair [--problem N]... [--dry-run] [--json] [--pause-before-repair]\n"
    "      Scans, then repairs the entries with the given problem codes (every code\n"
    "      when none is given), from the last entry to the first, and prints what\n"
    "      each repair changed. Codes: 1 Invalid Font (file to the recycle bin, value\n"
    "      deleted), 2 File not found, 3 Wrong Registry Data Type, 5 Duplicate\n"
    "      Registry Data (value deleted), 4 No Registry Key (value written),\n"
    "      6 Wrong Registry Font Name (value renamed), 7 Damaged Font (as 1; also\n"
    "      a damaged file no value names); code 8 Same Name as a Machine Font has\n"
    "      no repair. Before it changes anything it writes a registry backup to\n"
    "      %LOCALAPPDATA%\\Velmorant\\Backups and prints its path. --dry-run\n"
    "      prints what would change and changes nothing. The\n"
    "      machine's fonts need administrator rights, your own do not. An entry\n"
    "      whose value or file changed since the scan is left alone, and so is an\n"
    "      invalid font whose file cannot go to the recycle bin (in use, outside\n"
    "      the Fonts folder, or on a drive without one): its value is kept.\n"
    "      --pause-before-repair (for tests) prints \"scanned; press Enter to\n"
    "      repair\" after the scan and waits for a line on standard input.\n"
    "      Exit status: 0 when every chosen entry was repaired, 1 when some could\n"
    "      not be.\n"
    "\n"
    "  promote [--font NAME]... [--dry-run] [--json]\n"
    "      Scans, then installs for all users your own healthy fonts (only those\n"
    "      named NAME, without regard to ASCII case, when --font is given): each\n"
    "      file is copied into the Fonts folder (never over a file there: as\n"
    "      Windows' installer does, name_0.ttf, name_1.ttf ... when the name is\n"
    "      taken) and registered in the machine's Fonts key by its bare name, then\n"
    "      your value is deleted and your file moved to the recycle bin, after one\n"
    "      registry backup of both Fonts keys that undo puts back. Needs\n"
    "      administrator rights: without them nothing changes. A font whose value\n"
    "      or file changed since the scan, or whose name the machine's key already\n"
    "      has, is left alone. --dry-run prints what would change.\n"
    "      Exit status: 0 when every chosen font was installed for all users, 1\n"
    "      when some could not be.\n"
    "\n"
    "  undo FILE [--dry-run]\n"
    "      Puts back the registry values a repair's backup holds, and lists the\n"
    "      files the repair moved to the recycle bin, to be restored from there,\n"
    "      and the copies promote made in the Fonts folder, which it leaves.\n"
    "      Only a complete backup of the two Fonts keys is accepted: the file is\n"
    "      checked whole before anything changes. --dry-run prints what would\n"
    "      change.\n"
    "\n"
    "  fix-folder\n"
    "      Runs the Fonts folder fixes (font cache file, the folder's system\n"
    "      attribute, Desktop.ini) and prints their log lines.\n"
    "\n"
    "  reset-cache [--dry-run] [--json]\n"
    "      Resets the font caches of Windows 7 to 11: stops the FontCache service\n"
    "      and, where it exists, FontCache3.0.0.0, deletes their cache files and\n"
    "      FNTCACHE.DAT, and starts again the services it stopped. A file that\n"
    "      cannot be deleted now is deleted when Windows restarts. Prints a line\n"
    "      per step; --json prints {\"dryRun\", \"refused\", \"restartNeeded\",\n"
    "      \"complete\", \"steps\": [{\"action\", \"name\", \"result\"}], \"log\"}.\n"
    "      --dry-run prints what it would do. Needs administrator rights.\n"
    "      Exit status: 0 when the reset is complete, 1 when some step was not\n"
    "      done or Windows must restart to complete it, 2 without administrator\n"
    "      rights (nothing is changed).\n"
    "\n"
    "Exit status 2 on an error or bad usage.\n";

enum class TCommand : std::uint8_t { Help, Scan, Repair, FixFolder, Undo, Promote, ResetCache };

struct TOptions {
    TCommand Command = TCommand::Help;
    bool Json = false;
    bool DryRun = false;
    bool Time = false;
    bool Pause = false;
    std::set<TFontProblem> Problems;
    std::vector<std::string> Fonts;
    std::string File;
};

// The codes the repair acts on: every code with a text but the shadowed
// font's, which of the two copies is wanted being the user's choice.
bool Repairable(TFontProblem Problem) { return !ProblemText(Problem).empty() && Problem != fpShadowedFont; }

std::optional<TOptions> ParseArguments(const std::vector<std::string>& Arguments)
{
    TOptions Options;
    if (Arguments.empty())
        return std::nullopt;
    static const std::map<std::string, TCommand> Commands = {
        {"scan", TCommand::Scan}, {"repair", TCommand::Repair}, {"fix-folder", TCommand::FixFolder},
        {"undo", TCommand::Undo}, {"promote", TCommand::Promote}, {"reset-cache", TCommand::ResetCache},
        {"--help", TCommand::Help}, {"-h", TCommand::Help}, {"help", TCommand::Help}};
    const auto Command = Commands.find(Arguments[0]);
    if (Command == Commands.end())
        return std::nullopt;
    Options.Command = Command->second;
    for (std::size_t i = 1; i < Arguments.size(); ++i) {
        const std::string& Argument = Arguments[i];
        const bool Changes = Options.Command == TCommand::Repair || Options.Command == TCommand::Promote;
        const bool Scans = Options.Command == TCommand::Scan || Changes;
        if (Argument == "--help" || Argument == "-h") {
            Options.Command = TCommand::Help;
        } else if (Argument == "--json" && (Scans || Options.Command == TCommand::ResetCache)) {
            Options.Json = true;
        } else if (Argument == "--time" && Options.Command == TCommand::Scan) {
            Options.Time = true;
        } else if (Argument == "--dry-run" &&
                   (Changes || Options.Command == TCommand::Undo || Options.Command == TCommand::ResetCache)) {
            Options.DryRun = true;
        } else if (Argument == "--pause-before-repair" && Options.Command == TCommand::Repair) {
            Options.Pause = true;
        } else if (Argument == "--problem" && Options.Command == TCommand::Repair && i + 1 < Arguments.size()) {
            const std::string& Code = Arguments[++i];
            if (Code.empty() || Code.size() > 3 || !std::all_of(Code.begin(), Code.end(), [](char C) {
                    return C >= '0' && C <= '9';
                }) || std::stoi(Code) > 255 || !Repairable(static_cast<TFontProblem>(std::stoi(Code))))
                return std::nullopt;
            Options.Problems.insert(static_cast<TFontProblem>(std::stoi(Code)));
        } else if (Argument == "--font" && Options.Command == TCommand::Promote && i + 1 < Arguments.size()) {
            Options.Fonts.push_back(Arguments[++i]);
        } else if (Options.Command == TCommand::Undo && Options.File.empty() && !Argument.starts_with("--")) {
            Options.File = Argument;
        } else {
            return std::nullopt;
        }
    }
    if (Options.Command == TCommand::Undo && Options.File.empty())
        return std::nullopt;
    if (Options.Command == TCommand::Repair && Options.Problems.empty())
        for (int Code = 1; Code <= 255; ++Code)
            if (Repairable(static_cast<TFontProblem>(Code)))
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
    Json.Field("scope", ScopeName(Entry.Scope));
    Json.Field("format", FormatName(Entry.Format));
    JsonText(Json, "detail", Entry.Detail);
}

std::string EntryRow(const TFontInfo& Entry)
{
    return std::string(ProblemText(Entry.Problem)) + "\t" + Entry.FontName + "\t" + Entry.RegistryName + "\t" +
           Entry.FileName + "\t" + std::string(ScopeName(Entry.Scope));
}

void WarnWithoutFontsFolder(const TInstalledFonts& Fonts, std::ostream& Err)
{
    if (Fonts.FontsFolder().empty())
        Err << "velmorant-cli: warning: the Fonts folder could not be determined; fonts registered by file name "
               "only and the folder's own fonts were not listed\n";
}

void WriteNotes(inspect::TJsonWriter& Json, const std::vector<std::string>& Notes)
{
    if (Notes.empty())
        return;
    Json.Key("notes").BeginArray();
    for (const std::string& Note : Notes)
        Json.Value(base::Utf8ToUtf16(Note));
    Json.EndArray();
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
    const std::string Policy = UntrustedFontBlockingLine(Fonts.UntrustedFontBlocking(), Fonts.FontsFolder());
    if (!Policy.empty())
        Err << "velmorant-cli: note: " << Policy << '\n';
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
            WriteNotes(Json, Fonts.Notes(Entry));
            Json.EndObject();
        } else {
            Out << EntryRow(Entry) << '\n';
            for (const std::string& Note : Fonts.Notes(Entry))
                Out << "  note: " << Note << '\n';
        }
    }
    if (Options.Json) {
        Json.EndArray();
        if (Fonts.UntrustedFontBlocking() != TUntrustedFontBlocking::NotSet)
            Json.Field("untrustedFontBlocking", UntrustedFontBlockingName(Fonts.UntrustedFontBlocking()));
        Json.EndObject();
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
    case TRepairOutcome::UserKeyUnavailable: return "userKeyUnavailable";
    case TRepairOutcome::WriteRefused: return "writeRefused";
    case TRepairOutcome::ChangedSinceScan: return "changedSinceScan";
    case TRepairOutcome::FileNotMoved: return "fileNotMoved";
    case TRepairOutcome::NotBackedUp: return "notBackedUp";
    case TRepairOutcome::NotPromotable: return "notPromotable";
    case TRepairOutcome::FileNotCopied: return "fileNotCopied";
    }
    return "";
}

// The texts of a repair's outcomes; a promotion says "installed for all
// users" where a repair says "repaired".
std::string RepairOutcomeText(TRepairOutcome Outcome, bool DryRun)
{
    switch (Outcome) {
    case TRepairOutcome::Repaired: return DryRun ? "would be repaired" : "repaired";
    case TRepairOutcome::NameTaken: return "not repaired: another font uses the registry value name";
    case TRepairOutcome::NoFontName: return "not repaired: the font's name could not be read";
    case TRepairOutcome::AccessDenied: return "not repaired: administrator rights are needed";
    case TRepairOutcome::UserKeyUnavailable: return "not repaired: your Fonts key could not be opened";
    case TRepairOutcome::WriteRefused: return "not repaired: the registry refused a write";
    case TRepairOutcome::ChangedSinceScan: return "not repaired: changed since the scan";
    case TRepairOutcome::FileNotMoved: return "not repaired: the file could not be moved to the recycle bin";
    case TRepairOutcome::NotBackedUp: return "not repaired: the backup could not hold its registry value";
    case TRepairOutcome::NotPromotable: return "not repaired: not a healthy font of your own";
    case TRepairOutcome::FileNotCopied: return "not repaired: the file could not be copied into the Fonts folder";
    }
    return "";
}

std::string OutcomeText(TRepairOutcome Outcome, bool DryRun, bool Promote)
{
    std::string Text = RepairOutcomeText(Outcome, DryRun);
    if (!Promote)
        return Text;
    if (Outcome == TRepairOutcome::Repaired)
        return DryRun ? "would be installed for all users" : "installed for all users";
    if (Outcome == TRepairOutcome::FileNotMoved)
        return "your own file could not be moved to the recycle bin; it stays installed for you";
    constexpr std::string_view Refused = "not repaired";
    return "not installed for all users" + Text.substr(Refused.size());
}

std::string StepText(const TRepairStep& Step, bool DryRun)
{
    switch (Step.Kind) {
    case TRepairStep::RecycleFile:
        if (!Step.Done)
            return (DryRun ? "cannot move " : "could not move ") + Step.Name + " to the recycle bin";
        return (DryRun ? "would move " : "moved ") + Step.Name + " to the recycle bin";
    case TRepairStep::DeleteValue:
        if (!Step.Done)
            return "registry value \"" + Step.Name + "\" was already gone";
        return (DryRun ? "would delete" : "deleted") + std::string(" registry value \"") + Step.Name + "\"";
    case TRepairStep::WriteValue:
        return (DryRun ? "would write" : "wrote") + std::string(" registry value \"") + Step.Name + "\" = \"" +
               Step.Data + "\"";
    case TRepairStep::RestoreValue:
        return (Step.Done ? "put back registry value \"" : "could not put back registry value \"") + Step.Name + "\"";
    case TRepairStep::CopyFile: return (DryRun ? "would copy the file to " : "copied the file to ") + Step.Name;
    }
    return "";
}

void WriteRepairJson(std::ostream& Out, const TConsoleList& List, const TRepairResult& Result, bool DryRun)
{
    static const char* const Actions[] = {"recycleFile", "deleteValue", "writeValue", "restoreValue", "copyFile"};
    inspect::TJsonWriter Json(Out);
    Json.BeginObject().Field("dryRun", DryRun);
    if (!Result.Backup.empty())
        JsonText(Json, "backup", Result.Backup);
    Json.Key("items").BeginArray();
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

void WriteRepairText(std::ostream& Out, const TConsoleList& List, const TRepairResult& Result, bool DryRun,
                     bool Promote)
{
    if (!Result.Backup.empty())
        Out << "backup: " << Result.Backup << '\n';
    for (const TEntryRepair& Repair : Result.Entries) {
        Out << EntryRow(List.Before[Repair.Index]) << '\n';
        for (const TRepairStep& Step : Repair.Changes)
            Out << "  " << StepText(Step, DryRun) << '\n';
        Out << "  " << OutcomeText(Repair.Outcome, DryRun, Promote) << '\n';
    }
    for (const std::string& Message : Result.Messages)
        Out << Message << '\n';
}

// What a repair or a promotion did, and its exit status.
int Report(const TOptions& Options, const TConsoleList& List, const TRepairResult& Result, std::ostream& Out)
{
    if (Options.Json)
        WriteRepairJson(Out, List, Result, Options.DryRun);
    else
        WriteRepairText(Out, List, Result, Options.DryRun, Options.Command == TCommand::Promote);
    // Told after what was changed before it.
    if (Result.Error)
        std::rethrow_exception(Result.Error);
    const bool AllRepaired = std::all_of(Result.Entries.begin(), Result.Entries.end(), [](const TEntryRepair& Repair) {
        return Repair.Outcome == TRepairOutcome::Repaired;
    });
    return AllRepaired ? ExitClean : ExitProblems;
}

int Repair(const platform::TPlatform& Platform, const TOptions& Options, std::istream& In, std::ostream& Out,
           std::ostream& Err)
{
    TNoScanProgress Progress;
    TInstalledFonts Fonts(Platform, Progress);
    Fonts.Refresh();
    WarnWithoutFontsFolder(Fonts, Err);
    const TConsoleList List = SelectByCode(Fonts, Options.Problems);
    if (Options.Pause) {
        // A test changes the machine here, between the scan and the repair.
        Out << "scanned; press Enter to repair" << std::endl;
        std::string Line;
        std::getline(In, Line);
    }
    TFontRepair Repairer(Platform, Fonts, nullptr);
    const TRepairResult Result =
        Options.DryRun ? Repairer.PreviewSelectedItems(List.Selected) : Repairer.RepairSelectedItems(List.Selected);
    return Report(Options, List, Result, Out);
}

int Promote(const platform::TPlatform& Platform, const TOptions& Options, std::ostream& Out, std::ostream& Err)
{
    TNoScanProgress Progress;
    TInstalledFonts Fonts(Platform, Progress);
    Fonts.Refresh();
    WarnWithoutFontsFolder(Fonts, Err);
    TConsoleList List;
    for (std::size_t i = 0; i < Fonts.Count(); ++i) {
        TFontInfo& Entry = Fonts.Items(i);
        const bool Named = Options.Fonts.empty() ||
                           std::any_of(Options.Fonts.begin(), Options.Fonts.end(), [&Entry](const std::string& Font) {
                               return base::SameTextAscii(Font, Entry.FontName);
                           });
        if (!Named || !TFontPromotion::CanPromote(Entry))
            continue;
        List.Selected.push_back(&Entry);
        List.Before.push_back(Entry);
    }
    TFontPromotion Promotion(Platform, Fonts, nullptr);
    const TRepairResult Result = Options.DryRun ? Promotion.PreviewSelectedItems(List.Selected)
                                                : Promotion.PromoteSelectedItems(List.Selected);
    return Report(Options, List, Result, Out);
}

// Every text of an undo comes from a file anyone may have written: its
// control characters are shown escaped, so that a name cannot pass for
// another.
int Undo(const platform::TPlatform& Platform, const TOptions& Options, std::ostream& Out, std::ostream& Err)
{
    TUndoResult Result;
    try {
        Result = UndoRepairBackup(Platform, Options.File, Options.DryRun);
    } catch (const ERegistryFileError& Error) {
        Err << "velmorant-cli: " << base::EscapedControls(Error.what()) << "; nothing was changed\n";
        return ExitError;
    }
    for (const TUndoStep& Step : Result.Steps) {
        const std::string Name = "registry value \"" + base::EscapedControls(Step.Name) + "\"";
        if (Step.Value.State == platform::TRegistryValueState::Missing)
            Out << (!Step.Done ? Name + " was already gone" : (Options.DryRun ? "would delete " : "deleted ") + Name);
        else
            Out << (Options.DryRun ? "would put back " : "put back ") << Name;
        Out << " in the " << ScopeName(Step.Scope) << " Fonts key\n";
    }
    for (const std::string& File : Result.RecycledFiles)
        Out << "cannot put back " << base::EscapedControls(File)
            << ": the repair moved it to the recycle bin; restore it from there\n";
    for (const std::string& File : Result.CopiedFiles)
        Out << "left " << base::EscapedControls(File)
            << " in the Fonts folder: the installation for all users copied it there; delete it if it is not wanted\n";
    if (Result.Error) {
        try {
            std::rethrow_exception(Result.Error);
        } catch (const std::exception& Error) {
            Err << "velmorant-cli: " << base::EscapedControls(Error.what())
                << (Result.TakenBack ? "; the values it had changed were set back, so nothing was changed\n"
                                     : "; some values it had changed could not be set back\n");
        }
        return ExitError;
    }
    return ExitClean;
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

// Keeps the lines for the JSON, or prints them as they come.
class TCacheLog final : public IResultsLog {
public:
    TCacheLog(std::ostream& Out, bool Keep) : FOut(Out), FKeep(Keep) {}
    void Add(const std::string& Line) override
    {
        if (FKeep)
            Lines.push_back(Line);
        else
            FOut << Line << '\n' << std::flush;
    }
    std::vector<std::string> Lines;

private:
    std::ostream& FOut;
    bool FKeep;
};

int ResetCache(const platform::TPlatform& Platform, const TOptions& Options, std::ostream& Out)
{
    static const char* const Actions[] = {"stopService", "deleteFile", "startService"};
    static const char* const Results[] = {"done",   "planned",  "missing",   "notRunning",
                                          "failed", "timedOut", "atRestart", "elsewhere"};
    TCacheLog Log(Out, Options.Json);
    const TFontCacheResult Result = ResetFontCache(Platform, Options.DryRun, Log);
    if (Options.Json) {
        inspect::TJsonWriter Json(Out);
        Json.BeginObject()
            .Field("dryRun", Options.DryRun)
            .Field("refused", Result.Refused)
            .Field("restartNeeded", Result.RestartNeeded)
            .Field("complete", Result.Complete);
        Json.Key("steps").BeginArray();
        for (const TCacheStep& Step : Result.Steps) {
            Json.Newline();
            Json.BeginObject().Field("action", Actions[Step.Kind]);
            JsonText(Json, "name", Step.Name);
            Json.Field("result", Results[static_cast<int>(Step.Result)]).EndObject();
        }
        Json.EndArray().Key("log").BeginArray();
        for (const std::string& Line : Log.Lines) {
            Json.Newline();
            Json.Value(base::Utf8ToUtf16(Line));
        }
        Json.EndArray().EndObject();
        Json.Newline();
    }
    if (Result.Refused)
        return ExitError;
    return Result.Complete ? ExitClean : ExitProblems;
}

}  // namespace

int RunCli(const platform::TPlatform& Platform, const std::vector<std::string>& Arguments, std::ostream& Out,
           std::ostream& Err)
{
    std::istringstream NoInput;
    return RunCli(Platform, Arguments, NoInput, Out, Err);
}

int RunCli(const platform::TPlatform& Platform, const std::vector<std::string>& Arguments, std::istream& In,
           std::ostream& Out, std::ostream& Err)
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
        case TCommand::Repair: return Repair(Platform, *Options, In, Out, Err);
        case TCommand::FixFolder: return FixFolder(Platform, Out);
        case TCommand::Undo: return Undo(Platform, *Options, Out, Err);
        case TCommand::Promote: return Promote(Platform, *Options, Out, Err);
        case TCommand::ResetCache: return ResetCache(Platform, *Options, Out);
        }
    } catch (const std::exception& Error) {
        Err << "velmorant-cli: " << Error.what() << '\n';
    }
    return ExitError;
}

}  // namespace cli
