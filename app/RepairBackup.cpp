#include "app/RepairBackup.h"

#include <exception>
#include <memory>

#include "base/AsciiText.h"
#include "base/Format.h"
#include "base/Stream.h"
#include "base/TextConversion.h"

namespace app {

using platform::TRegistryValueState;

namespace {

constexpr int SameSecondLimit = 100;
constexpr std::string_view RecycledComment = "Moved to the recycle bin: ";
constexpr std::string_view CopiedComment = "Copied into the Fonts folder: ";

// The root's full name, a backslash and the path below it.
std::string FullKeyName(platform::TRegistryRoot Root, std::string_view Path)
{
    std::string Name = Root == platform::TRegistryRoot::CurrentUser ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\";
    Name += platform::KeyPathBelowRoot(Path);
    return Name;
}

bool UndoTakesName(const std::string& Name)
{
    return Name.find('\0') == std::string::npos &&
           base::Utf8ToUtf16(Name).size() <= platform::RegistryValueNameLimit;
}

}  // namespace

const std::string_view BackupClosing = "End of the Velmorant repair backup";

bool BackupCanHold(platform::IRegistryKey& Key, const std::string& Name)
{
    return UndoTakesName(Name) && Key.QueryValue(Name).State != TRegistryValueState::Refused;
}

TRegistryFile RepairBackupOf(const std::vector<TKeyChanges>& Keys, const std::vector<std::string>& RecycledFiles,
                             const std::vector<std::string>& CopiedFiles)
{
    TRegistryFile File;
    for (const std::string& Recycled : RecycledFiles)
        File.Comments.push_back(std::string(RecycledComment) + Recycled);
    for (const std::string& Copied : CopiedFiles)
        File.Comments.push_back(std::string(CopiedComment) + Copied);
    for (const TKeyChanges& Key : Keys) {
        TRegistryFileKey Section{FullKeyName(Key.Root, Key.Path), {}};
        // The created values go first: a value renamed in letter case only
        // is deleted under its new spelling before the old one is written.
        for (const TValueChange& Change : Key.Values)
            if (Change.New.State == TRegistryValueState::Present &&
                (Change.Old.State == TRegistryValueState::Missing || Change.NewName != Change.OldName))
                Section.Values.push_back({Change.NewName, {}});
        for (const TValueChange& Change : Key.Values) {
            if (Change.Old.State == TRegistryValueState::Refused || !UndoTakesName(Change.OldName) ||
                !UndoTakesName(Change.NewName))
                throw platform::EFileError(base::FormatText(
                    "the registry would not return the value %s of %s as it is", {Change.OldName, Section.Path}));
            if (Change.Old.State == TRegistryValueState::Present)
                Section.Values.push_back({Change.OldName, Change.Old});
        }
        File.Keys.push_back(std::move(Section));
    }
    File.Closing = BackupClosing;
    return File;
}

std::string WriteRepairBackup(const platform::TPlatform& Platform, const TRegistryFile& Backup)
{
    const std::string LocalAppData = Platform.Shell.LocalAppDataFolder();
    if (LocalAppData.empty())
        throw platform::EFileError("Cannot find the local application data folder");
    const std::string Folder = LocalAppData + "\\Velmorant\\Backups";
    Platform.Files.CreateFolders(Folder);
    const platform::TLocalTime Now = Platform.System.LocalTime();
    const std::string Stamp = base::DecimalDigits(Now.Year % 10000u, 4) + base::DecimalDigits(Now.Month % 100u, 2) +
                              base::DecimalDigits(Now.Day % 100u, 2) + "-" + base::DecimalDigits(Now.Hour % 100u, 2) +
                              base::DecimalDigits(Now.Minute % 100u, 2) + base::DecimalDigits(Now.Second % 100u, 2);
    const std::vector<std::uint8_t> Bytes = FormatRegistryFile(Backup);
    if (Bytes.size() > RegistryFileLimit)
        throw platform::EFileError(base::FormatText("it would take %d bytes, more than the %d an undo reads",
                                                    {Bytes.size(), RegistryFileLimit}));
    for (int Run = 1; Run <= SameSecondLimit; ++Run) {
        std::string Path = Folder + "\\repair-" + Stamp;
        if (Run > 1)
            Path.append("-").append(base::DecimalDigits(static_cast<unsigned>(Run)));
        Path += ".reg";
        if (Platform.Files.CreateNewFile(Path, Bytes))
            return Path;
    }
    throw platform::EFileError(base::FormatText("Cannot create a new backup file in %s", {Folder}));
}

void RewriteRepairBackup(const platform::TPlatform& Platform, const std::string& Path, const TRegistryFile& Backup)
{
    const std::vector<std::uint8_t> Bytes = FormatRegistryFile(Backup);
    if (Bytes.size() > RegistryFileLimit)
        return;
    try {
        Platform.Files.WriteNewFile(Path, Bytes);
    } catch (const platform::EFileError&) {
        // The first backup stays; it lists a file more than went.
    }
}

std::string RegistryFileKeyName(const platform::TPlatform& Platform, TFontScope Scope)
{
    if (Scope == TFontScope::User)
        return FullKeyName(platform::TRegistryRoot::CurrentUser, GetUserFontsRegistryKey());
    return FullKeyName(platform::TRegistryRoot::LocalMachine, GetFontsRegistryKey(Platform.System));
}

namespace {

// What an undo's change found: so that a write the registry refuses halfway
// (rights taken away, a value another program locked) can leave both keys as
// they were before the undo began.
struct TFound {
    platform::IRegistryKey* Key;
    const std::string* Name;
    platform::TRegistryValue Value;
};

// Sets each value back to what it was, the last change first; false when the
// registry refused one of them too. A value it would not return cannot be
// written back and counts as refused.
bool TakeBack(const std::vector<TFound>& Found)
{
    bool All = true;
    for (auto It = Found.rbegin(); It != Found.rend(); ++It) {
        try {
            if (It->Value.State == TRegistryValueState::Present)
                It->Key->WriteValue(*It->Name, It->Value.Type, It->Value.Data);
            else if (It->Value.State == TRegistryValueState::Missing)
                It->Key->DeleteValue(*It->Name);
            else
                All = false;
        } catch (const platform::ERegistryError&) {
            All = false;
        }
    }
    return All;
}

}  // namespace

TUndoResult UndoRepairBackup(const platform::TPlatform& Platform, const std::string& Path, bool DryRun)
{
    std::vector<std::uint8_t> Bytes;
    try {
        const std::unique_ptr<base::TStream> Stream = Platform.Files.OpenReadShared(Path);
        if (Stream->Size() > static_cast<std::int64_t>(RegistryFileLimit))
            throw ERegistryFileError(base::FormatText("%s is too large for a registry backup", {Path}));
        Bytes.resize(static_cast<std::size_t>(Stream->Size()));
        Bytes.resize(Stream->Read(Bytes.data(), Bytes.size()));
    } catch (const base::EStreamError& Error) {
        throw ERegistryFileError(Error.what());
    }
    TRegistryFile File;
    try {
        File = ParseRegistryFile(Bytes);
    } catch (const ERegistryFileError& Error) {
        throw ERegistryFileError(base::FormatText("%s is not a registry backup: %s", {Path, Error.what()}));
    }
    if (File.Closing != BackupClosing)
        throw ERegistryFileError(base::FormatText(
            "%s is not a complete repair backup: it does not end with the line \"; %s\"", {Path, BackupClosing}));

    // Every key is checked and opened before the first value changes.
    std::vector<TFontScope> Scopes;
    for (const TRegistryFileKey& Key : File.Keys) {
        if (base::SameTextAscii(Key.Path, RegistryFileKeyName(Platform, TFontScope::Machine)))
            Scopes.push_back(TFontScope::Machine);
        else if (base::SameTextAscii(Key.Path, RegistryFileKeyName(Platform, TFontScope::User)))
            Scopes.push_back(TFontScope::User);
        else
            throw ERegistryFileError(base::FormatText(
                "%s names the key %s; only the two Fonts keys are put back", {Path, Key.Path}));
    }
    std::unique_ptr<platform::IRegistryKey> Keys[2];
    for (const TFontScope Scope : Scopes) {
        auto& Key = Keys[static_cast<std::size_t>(Scope)];
        // A dry run asks for the same access as the undo, without creating
        // the user's key: it fails where the undo would.
        bool Missing = false;
        if (!Key && DryRun && Scope == TFontScope::User) {
            Key = Platform.Registry.OpenKey(platform::TRegistryRoot::CurrentUser, GetUserFontsRegistryKey(),
                                            platform::TRegistryAccess::Full);
            Missing = !Key && !OpenFontsKey(Platform, Scope, platform::TRegistryAccess::Read);
        } else if (!Key) {
            Key = OpenFontsKey(Platform, Scope, platform::TRegistryAccess::Full);
        }
        if (!Key && !Missing)
            throw ERegistryFileError(base::FormatText(
                "Cannot open %s with full access; putting its values back needs administrator rights",
                {RegistryFileKeyName(Platform, Scope)}));
    }

    TUndoResult Result;
    for (const std::string& Comment : File.Comments)
        if (Comment.starts_with(RecycledComment))
            Result.RecycledFiles.push_back(Comment.substr(RecycledComment.size()));
        else if (Comment.starts_with(CopiedComment))
            Result.CopiedFiles.push_back(Comment.substr(CopiedComment.size()));
    std::vector<TFound> Found;
    bool Changed = false;
    try {
        for (std::size_t k = 0; k < File.Keys.size(); ++k) {
            platform::IRegistryKey* Key = Keys[static_cast<std::size_t>(Scopes[k])].get();
            for (const TRegistryFileValue& Value : File.Keys[k].Values) {
                TUndoStep Step{Scopes[k], Value.Name, Value.Value, true};
                // A change the registry refuses changed nothing: only those
                // that went through are set back.
                TFound Before{Key, &Value.Name, {}};
                if (!DryRun && Key != nullptr)
                    Before.Value = Key->QueryValue(Value.Name);
                if (Value.Value.State == TRegistryValueState::Missing) {
                    Step.Done = Key != nullptr && (DryRun ? Key->ValueExists(Value.Name) : Key->DeleteValue(Value.Name));
                } else if (!DryRun) {
                    Key->WriteValue(Value.Name, Value.Value.Type, Value.Value.Data);
                }
                if (!DryRun && Key != nullptr)
                    Found.push_back(std::move(Before));
                Changed |= Step.Done && !DryRun;
                Result.Steps.push_back(std::move(Step));
            }
        }
    } catch (const platform::ERegistryError&) {
        Result.Error = std::current_exception();
        Result.TakenBack = TakeBack(Found);
        if (Result.TakenBack)
            Result.Steps.clear();
    }
    if (Changed)
        Platform.Session.BroadcastFontChange();
    return Result;
}

}  // namespace app
