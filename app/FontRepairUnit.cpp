#include "app/FontRepairUnit.h"

#include <algorithm>
#include <utility>

#include "app/FilePaths.h"
#include "app/RegistryOverlay.h"
#include "app/RepairBackup.h"
#include "app/SystemUtilsUnit.h"
#include "base/AsciiText.h"

namespace app {

const std::string_view NameTakenMessage =
    "Can't repair some items because another font is using the registry value. Try to uninstall these fonts.";
const std::string_view AccessDeniedMessage =
    "Can't repair some items because changing the registry's Fonts key needs administrator rights. "
    "Run Velmorant as an administrator and repair them again.";
const std::string_view NoFontNameMessage =
    "Can't repair some items because their font name could not be read from the font file, "
    "and the registry value is named after the font.";
const std::string_view UserKeyUnavailableMessage =
    "Can't repair some of your own fonts because your Fonts key in the registry could not be opened.";
const std::string_view ChangedSinceScanMessage =
    "Some items were not repaired because they changed since the scan. Scan again and repair them.";
const std::string_view FileNotMovedMessage =
    "Can't repair some items because their font file could not be moved to the recycle bin: another program may "
    "be using it, it may lie outside the Fonts folder, or its drive may have no recycle bin. Their registry values "
    "were kept.";

const std::string_view NotBackedUpMessage =
    "Can't repair some items because the registry would not return their values for the backup, "
    "and the repair changes only what its backup can put back.";

namespace {

// One closing message per kind of failure, in this order.
const std::pair<TRepairOutcome, std::string_view> ClosingMessages[] = {
    {TRepairOutcome::AccessDenied, AccessDeniedMessage},
    {TRepairOutcome::NameTaken, NameTakenMessage},
    {TRepairOutcome::NoFontName, NoFontNameMessage},
    {TRepairOutcome::UserKeyUnavailable, UserKeyUnavailableMessage},
    {TRepairOutcome::ChangedSinceScan, ChangedSinceScanMessage},
    {TRepairOutcome::FileNotMoved, FileNotMovedMessage},
    {TRepairOutcome::NotBackedUp, NotBackedUpMessage},
};

}  // namespace

std::string FontValueData(const std::string& FileName, const std::string& FontsFolder)
{
    if (!FontsFolder.empty() && base::SameTextAscii(ExtractFilePath(FileName), FontsFolder + "\\"))
        return ExtractFileName(FileName);
    return FileName;
}

namespace {

void DeleteFontValue(platform::IRegistryKey& Key, TEntryRepair& Repair, const std::string& Name, bool& Changed)
{
    const bool Deleted = Key.DeleteValue(Name);
    Changed |= Deleted;
    Repair.Changes.push_back(TRepairStep{TRepairStep::DeleteValue, Name, {}, Deleted});
}

void WriteFontValue(platform::IRegistryKey& Key, TEntryRepair& Repair, const std::string& Name,
                    const std::string& Data, bool& Changed)
{
    Key.WriteString(Name, Data);
    Changed = true;
    Repair.Changes.push_back(TRepairStep{TRepairStep::WriteValue, Name, Data, true});
}

bool AnyOutcome(const std::vector<TEntryRepair>& Entries, TRepairOutcome Outcome)
{
    return std::any_of(Entries.begin(), Entries.end(),
                       [Outcome](const TEntryRepair& Entry) { return Entry.Outcome == Outcome; });
}

// The files of the steps of one kind that were done.
std::vector<std::string> FilesOf(const TRepairResult& Result, TRepairStep::TKind Kind)
{
    std::vector<std::string> Files;
    for (const TEntryRepair& Entry : Result.Entries)
        for (const TRepairStep& Step : Entry.Changes)
            if (Step.Kind == Kind && Step.Done)
                Files.push_back(Step.Name);
    return Files;
}

// Whether a value, the scan's and the registry's now, is the same.
bool SameValue(const platform::TRegistryValue& A, const platform::TRegistryValue& B)
{
    return A.State == B.State && A.Type == B.Type && A.Data == B.Data;
}

}  // namespace

bool AnyValueNames(platform::IRegistryKey& Key, const std::string& File, const std::string& Folder)
{
    for (const std::string& Name : Key.ValueNames()) {
        const platform::TRegistryValue Value = Key.QueryValue(Name);
        if (Value.State != platform::TRegistryValueState::Present ||
            (Value.Type != platform::RegSz && Value.Type != platform::RegExpandSz))
            continue;
        const std::string Data = platform::RegistryStringText(Value.Data);
        if (!Data.empty() && base::SameTextAscii(ResolveAgainst(Data, Folder), File))
            return true;
    }
    return false;
}

// A file the folder pass found, which no value named.
bool Unregistered(const TFontInfo& Entry)
{
    return Entry.Problem == fpNoRegistryKey ||
           (Entry.RegistryName.empty() && Entry.ScannedValue.State == platform::TRegistryValueState::Missing);
}

bool StillAsScanned(const platform::TPlatform& Platform, platform::IRegistryKey& Key, const TFontInfo& Entry)
{
    if (!Entry.RegistryName.empty() && !SameValue(Key.QueryValue(Entry.RegistryName), Entry.ScannedValue))
        return false;
    // A device was never looked at, and is not now.
    if (Entry.FileName.empty() || IsDevicePath(Entry.FileName))
        return true;
    if (Platform.Files.FileIdentity(Entry.FileName) != Entry.ScannedFile)
        return false;
    return !Unregistered(Entry) ||
           !AnyValueNames(Key, Entry.FileName, GetScopeFontsFolder(Platform.Shell, Entry.Scope));
}

std::string RecyclablePath(const platform::TPlatform& Platform, const TFontInfo& Entry)
{
    const std::string Folder = GetScopeFontsFolder(Platform.Shell, Entry.Scope);
    if (IsDevicePath(Entry.FileName) || Folder.empty())
        return {};
    const std::string Final = Platform.Files.FinalPath(Entry.FileName);
    if (Final.empty() || !IsInsideFolder(Final, Platform.Files.FinalPath(Folder)) ||
        !Platform.Shell.HasRecycleBin(Final))
        return {};
    return Final;
}

TFontRepair::TFontRepair(const platform::TPlatform& Platform, TInstalledFonts& Fonts, platform::TWindowHandle Owner)
    : FPlatform(Platform), FFonts(Fonts), FOwner(Owner)
{
}

TRepairResult PreviewChanges(const platform::TPlatform& Platform, const TChangeWork& Work)
{
    TOverlayPlatform Overlay(Platform);
    TChangeRun Preview{Overlay.Platform, false, {}, false};
    return Work(Preview);
}

TRepairResult RunWithBackup(const platform::TPlatform& Platform, std::string_view Command, const TChangeWork& Work)
{
    // The preview learns every value the run will change and every file it
    // will recycle, so that the backup holds them before anything changes.
    TOverlayPlatform Overlay(Platform);
    TChangeRun Preview{Overlay.Platform, false, {}, false};
    const TRepairResult Planned = Work(Preview);
    const std::vector<TKeyChanges> Changes = Overlay.Registry.Changes();
    const std::vector<std::string> Recycled = FilesOf(Planned, TRepairStep::RecycleFile);
    const std::vector<std::string> Copied = FilesOf(Planned, TRepairStep::CopyFile);
    std::string Backup;
    if (!Changes.empty() || !Recycled.empty() || !Copied.empty()) {
        try {
            Backup = WriteRepairBackup(Platform, RepairBackupOf(Changes, Recycled, Copied));
        } catch (const platform::EFileError& Error) {
            TRepairResult Refused;
            Refused.Error = std::make_exception_ptr(platform::EFileError(
                std::string(Command) + " changed nothing: its registry backup could not be written (" + Error.what() +
                ")"));
            return Refused;
        }
    }

    TChangeRun Real{Platform, true, {}, false};
    TRepairResult Result = Work(Real);
    Result.Backup = Backup;
    // The shell can still refuse a file the plan expected to move (another
    // program opened it in the meantime), and a copy can take another free
    // name: the backup then names the files as they went, so that undo never
    // sends the user to look for one in the recycle bin.
    const std::vector<std::string> Moved = FilesOf(Result, TRepairStep::RecycleFile);
    const std::vector<std::string> Made = FilesOf(Result, TRepairStep::CopyFile);
    if (!Backup.empty() && (Moved != Recycled || Made != Copied))
        RewriteRepairBackup(Platform, Backup, RepairBackupOf(Changes, Moved, Made));
    if (Real.RegistryChanged) {
        // Open programs see the fonts without a restart.
        for (const std::string& File : Real.NewFonts)
            Platform.Session.AddFont(File);
        Platform.Session.BroadcastFontChange();
    }
    return Result;
}

TRepairResult WorkBackwards(const std::vector<TFontInfo*>& Selected,
                            const std::function<TRepairOutcome(TFontInfo&, TEntryRepair&)>& Item,
                            TClosingMessages Messages)
{
    TRepairResult Result;
    // From the last to the first: an entry removed and destroyed is behind
    // the run, never reached again through the pointers still ahead.
    for (std::size_t Index = Selected.size(); Index-- > 0;) {
        TEntryRepair Repair;
        Repair.Index = Index;
        try {
            Repair.Outcome = Item(*Selected[Index], Repair);
        } catch (const platform::ERegistryError&) {
            Repair.Outcome = TRepairOutcome::WriteRefused;
            Repair.Action = TRowAction::Keep;
            Result.Entries.push_back(std::move(Repair));
            Result.Error = std::current_exception();
            return Result;
        }
        for (const auto& [Outcome, Message] : Messages)
            if (Outcome == Repair.Outcome)
                Repair.Reason = Message;
        Result.Entries.push_back(std::move(Repair));
    }
    for (const auto& [Outcome, Message] : Messages)
        if (AnyOutcome(Result.Entries, Outcome))
            Result.Messages.emplace_back(Message);
    return Result;
}

TRepairResult TFontRepair::PreviewSelectedItems(const std::vector<TFontInfo*>& Selected)
{
    return PreviewChanges(FPlatform, [&](TRun& Run) { return Work(Run, Selected); });
}

TRepairResult TFontRepair::RepairSelectedItems(const std::vector<TFontInfo*>& Selected)
{
    return RunWithBackup(FPlatform, "The repair", [&](TRun& Run) { return Work(Run, Selected); });
}

TRepairResult TFontRepair::Work(TRun& Run, const std::vector<TFontInfo*>& Selected)
{
    return WorkBackwards(
        Selected, [&](TFontInfo& Entry, TEntryRepair& Repair) { return RepairItem(Run, Entry, Repair); },
        ClosingMessages);
}

TRepairOutcome TFontRepair::RepairItem(TRun& Run, TFontInfo& Entry, TEntryRepair& Repair)
{
    switch (Entry.Problem) {
    case fpInvalidFont:
    case fpDamagedFont:
    case fpFileNotFound:
    case fpWrongDataType:
    case fpDuplicate:
        break;
    case fpNoRegistryKey:
    case fpWrongFontName:
        // A value named " (TrueType)" registers nothing, and the value it
        // would replace may be the file's only registration.
        if (Entry.FontName.empty())
            return TRepairOutcome::NoFontName;
        break;
    default:
        return TRepairOutcome::Repaired;
    }

    // Without full access every change below would silently do nothing. A
    // user's own key needs no administrator.
    const std::unique_ptr<platform::IRegistryKey> Key =
        OpenFontsKey(Run.Platform, Entry.Scope, platform::TRegistryAccess::Full);
    if (!Key)
        return Entry.Scope == TFontScope::User ? TRepairOutcome::UserKeyUnavailable : TRepairOutcome::AccessDenied;
    if (!StillAsScanned(Run.Platform, *Key, Entry))
        return TRepairOutcome::ChangedSinceScan;
    // Only what the backup can put back is changed: the entry's own value,
    // and the name it is registered under anew.
    const bool Writes = Entry.Problem == fpNoRegistryKey || Entry.Problem == fpWrongFontName;
    if ((!Unregistered(Entry) && !BackupCanHold(*Key, Entry.RegistryName)) ||
        (Writes && !BackupCanHold(*Key, Entry.ExpectedRegistryName())))
        return TRepairOutcome::NotBackedUp;

    switch (Entry.Problem) {
    case fpInvalidFont:
    case fpDamagedFont: {
        // The value goes only with the file: a font kept on disk keeps its
        // registration, so that nothing good is lost to a refused move.
        TRepairStep Step{TRepairStep::RecycleFile, Entry.FileName, {}, false};
        const std::string Final = RecyclablePath(Run.Platform, Entry);
        if (!Final.empty())
            Step.Done = ShellDeleteFiles(Run.Platform.Shell, FOwner, std::vector<std::string>{Final});
        Repair.Changes.push_back(Step);
        if (!Step.Done)
            return TRepairOutcome::FileNotMoved;
        if (!Unregistered(Entry))
            DeleteFontValue(*Key, Repair, Entry.RegistryName, Run.RegistryChanged);
        RemoveEntry(Run, Entry, Repair);
        return TRepairOutcome::Repaired;
    }
    case fpNoRegistryKey:
        return RegisterFont(Run, *Key, Entry, Repair);
    case fpWrongFontName:
        return RenameFont(Run, *Key, Entry, Repair);
    default:
        DeleteFontValue(*Key, Repair, Entry.RegistryName, Run.RegistryChanged);
        RemoveEntry(Run, Entry, Repair);
        return TRepairOutcome::Repaired;
    }
}

namespace {

// The Fonts folder whose files a scope's value names by their bare name.
std::string BareNameFolder(const platform::TPlatform& Platform, TFontScope Scope)
{
    return Scope == TFontScope::Machine ? GetFontsFolder(Platform.Shell) : std::string();
}

}  // namespace

TRepairOutcome TFontRepair::RegisterFont(TRun& Run, platform::IRegistryKey& Key, TFontInfo& Entry,
                                         TEntryRepair& Repair)
{
    const std::string Name = Entry.ExpectedRegistryName();
    if (Key.ValueExists(Name))
        return TRepairOutcome::NameTaken;
    WriteFontValue(Key, Repair, Name, FontValueData(Entry.FileName, BareNameFolder(Run.Platform, Entry.Scope)),
                   Run.RegistryChanged);
    Run.NewFonts.push_back(Entry.FileName);
    MarkRepaired(Run, Entry, Repair, Name);
    return TRepairOutcome::Repaired;
}

TRepairOutcome TFontRepair::RenameFont(TRun& Run, platform::IRegistryKey& Key, TFontInfo& Entry, TEntryRepair& Repair)
{
    const std::string Name = Entry.ExpectedRegistryName();
    // The entry's own value spelled in another letter case does not block;
    // letter case as the registry matches names, across Unicode.
    platform::ITextServices& Text = Run.Platform.Text;
    const bool OwnValue = Text.UpperCaseOrdinal(Name) == Text.UpperCaseOrdinal(Entry.RegistryName);
    if (!OwnValue && Key.ValueExists(Name))
        return TRepairOutcome::NameTaken;
    const std::string Data = FontValueData(Entry.FileName, BareNameFolder(Run.Platform, Entry.Scope));
    if (OwnValue) {
        // Only a new value takes the new letter case, so the old one goes
        // first; a refused write puts it back as it was.
        const platform::TRegistryValue Old = Key.QueryValue(Entry.RegistryName);
        DeleteFontValue(Key, Repair, Entry.RegistryName, Run.RegistryChanged);
        try {
            WriteFontValue(Key, Repair, Name, Data, Run.RegistryChanged);
        } catch (const platform::ERegistryError&) {
            if (Old.State == platform::TRegistryValueState::Present) {
                TRepairStep Restore{TRepairStep::RestoreValue, Entry.RegistryName, {}, true};
                try {
                    Key.WriteValue(Entry.RegistryName, Old.Type, Old.Data);
                } catch (const platform::ERegistryError&) {
                    Restore.Done = false;
                }
                Repair.Changes.push_back(Restore);
            }
            throw;
        }
    } else {
        // Written before the old value goes: a refused write leaves the font
        // registered as it was.
        WriteFontValue(Key, Repair, Name, Data, Run.RegistryChanged);
        DeleteFontValue(Key, Repair, Entry.RegistryName, Run.RegistryChanged);
    }
    MarkRepaired(Run, Entry, Repair, Name);
    return TRepairOutcome::Repaired;
}

void TFontRepair::MarkRepaired(TRun& Run, TFontInfo& Entry, TEntryRepair& Repair, const std::string& RegistryName)
{
    Repair.Action = TRowAction::MarkRepaired;
    Repair.RegistryName = RegistryName;
    if (Run.Apply)
        Entry.Problem = fpNone;
}

void TFontRepair::RemoveEntry(TRun& Run, TFontInfo& Entry, TEntryRepair& Repair)
{
    Repair.Action = TRowAction::Remove;
    if (Run.Apply)
        FFonts.Remove(&Entry);
}

}  // namespace app
