#include "app/FontPromoteUnit.h"

#include <memory>
#include <unordered_set>

#include "app/FilePaths.h"
#include "app/RepairBackup.h"
#include "app/SystemUtilsUnit.h"
#include "base/AsciiText.h"

namespace app {

const std::string_view PromoteAccessDeniedMessage =
    "Can't install fonts for all users without administrator rights: the Fonts folder and the registry's Fonts key "
    "need them. Run Velmorant as an administrator and try again.";
const std::string_view NotPromotableMessage =
    "Some items were not installed for all users: only healthy fonts installed for you alone can be.";
const std::string_view PromoteNameTakenMessage =
    "Some fonts were not installed for all users because a font installed for all users already uses their "
    "registry value name.";
const std::string_view PromoteChangedSinceScanMessage =
    "Some fonts were not installed for all users because they changed since the scan. Scan again and try again.";
const std::string_view FileNotCopiedMessage =
    "Some fonts were not installed for all users because their file could not be copied into the Fonts folder.";
const std::string_view PromoteFileNotMovedMessage =
    "Some of your own font files could not be moved to the recycle bin: another program may be using them, they may "
    "lie outside your font folder, or their drive may have no recycle bin. They stay installed for you.";

std::string FontsFolderCandidate(const std::string& Folder, const std::string& File, int Number)
{
    const std::string Name = ExtractFileName(File);
    if (Number < 0)
        return Folder + "\\" + Name;
    const std::string Extension = ExtractFileExt(Name);
    return Folder + "\\" + Name.substr(0, Name.size() - Extension.size()) + "_" + std::to_string(Number) + Extension;
}

namespace {

// Every file the key's string values name, in ASCII upper case: a copy must
// not take a name that a value (of a missing font, say) already claims.
std::unordered_set<std::string> NamedFiles(platform::IRegistryKey& Key, const std::string& Folder)
{
    std::unordered_set<std::string> Files;
    for (const std::string& Name : Key.ValueNames()) {
        const platform::TRegistryValue Value = Key.QueryValue(Name);
        if (Value.State != platform::TRegistryValueState::Present ||
            (Value.Type != platform::RegSz && Value.Type != platform::RegExpandSz))
            continue;
        const std::string Data = platform::RegistryStringText(Value.Data);
        if (!Data.empty())
            Files.insert(base::UpperCaseAscii(ResolveAgainst(Data, Folder)));
    }
    return Files;
}

}  // namespace

TFontPromotion::TFontPromotion(const platform::TPlatform& Platform, TInstalledFonts& Fonts,
                               platform::TWindowHandle Owner)
    : FPlatform(Platform), FFonts(Fonts), FOwner(Owner)
{
}

bool TFontPromotion::CanPromote(const TFontInfo& Entry)
{
    return Entry.Scope == TFontScope::User && Entry.Problem == fpNone && !Entry.RegistryName.empty() &&
           !Entry.FileName.empty();
}

TRepairResult TFontPromotion::PreviewSelectedItems(const std::vector<TFontInfo*>& Selected)
{
    return PreviewChanges(FPlatform, [&](TChangeRun& Run) { return Work(Run, Selected); });
}

TRepairResult TFontPromotion::PromoteSelectedItems(const std::vector<TFontInfo*>& Selected)
{
    return RunWithBackup(FPlatform, "The installation for all users",
                         [&](TChangeRun& Run) { return Work(Run, Selected); });
}

TRepairResult TFontPromotion::Work(TChangeRun& Run, const std::vector<TFontInfo*>& Selected)
{
    static const std::pair<TRepairOutcome, std::string_view> ClosingMessages[] = {
        {TRepairOutcome::AccessDenied, PromoteAccessDeniedMessage},
        {TRepairOutcome::NotPromotable, NotPromotableMessage},
        {TRepairOutcome::UserKeyUnavailable, UserKeyUnavailableMessage},
        {TRepairOutcome::ChangedSinceScan, PromoteChangedSinceScanMessage},
        {TRepairOutcome::NameTaken, PromoteNameTakenMessage},
        {TRepairOutcome::NotBackedUp, NotBackedUpMessage},
        {TRepairOutcome::FileNotCopied, FileNotCopiedMessage},
        {TRepairOutcome::FileNotMoved, PromoteFileNotMovedMessage},
    };
    return WorkBackwards(
        Selected, [&](TFontInfo& Entry, TEntryRepair& Repair) { return PromoteItem(Run, Entry, Repair); },
        ClosingMessages);
}

TRepairOutcome TFontPromotion::PromoteItem(TChangeRun& Run, TFontInfo& Entry, TEntryRepair& Repair)
{
    const platform::TPlatform& P = Run.Platform;
    if (!CanPromote(Entry))
        return TRepairOutcome::NotPromotable;
    // Asked first: a standard user's program may still open the machine's
    // key for writing where an administrator loosened its rights, but the
    // Fonts folder would refuse the copy halfway.
    if (!P.System.IsAdministrator())
        return TRepairOutcome::AccessDenied;
    const std::unique_ptr<platform::IRegistryKey> UserKey =
        OpenFontsKey(P, TFontScope::User, platform::TRegistryAccess::Full);
    if (!UserKey)
        return TRepairOutcome::UserKeyUnavailable;
    const std::unique_ptr<platform::IRegistryKey> MachineKey =
        OpenFontsKey(P, TFontScope::Machine, platform::TRegistryAccess::Full);
    if (!MachineKey)
        return TRepairOutcome::AccessDenied;
    if (!StillAsScanned(P, *UserKey, Entry))
        return TRepairOutcome::ChangedSinceScan;
    const std::string Name = Entry.ExpectedRegistryName();
    if (MachineKey->ValueExists(Name))
        return TRepairOutcome::NameTaken;
    if (!BackupCanHold(*UserKey, Entry.RegistryName) || !BackupCanHold(*MachineKey, Name))
        return TRepairOutcome::NotBackedUp;
    // The user's file must be one to recycle before anything changes: the
    // font would otherwise stay installed twice.
    const std::string Source = RecyclablePath(P, Entry);
    if (Source.empty())
        return TRepairOutcome::FileNotMoved;
    const std::string Folder = GetFontsFolder(P.Shell);
    if (Folder.empty())
        return TRepairOutcome::FileNotCopied;

    // Never over another file, nor under a name a value claims.
    const std::unordered_set<std::string> Claimed = NamedFiles(*MachineKey, Folder);
    std::string Target;
    try {
        for (int Number = -1; Number < FreeNameLimit - 1 && Target.empty(); ++Number) {
            const std::string Candidate = FontsFolderCandidate(Folder, Entry.FileName, Number);
            if (Claimed.count(base::UpperCaseAscii(Candidate)) != 0)
                continue;
            // The preview copies nothing: it only finds the name a copy
            // would take now.
            if (Run.Apply ? P.Files.CopyNewFile(Source, Candidate)
                          : P.Files.GetAttributes(Candidate) == platform::FileAttrInvalid)
                Target = Candidate;
        }
    } catch (const platform::EFileError&) {
        return TRepairOutcome::FileNotCopied;
    }
    if (Target.empty())
        return TRepairOutcome::FileNotCopied;
    Repair.Changes.push_back(TRepairStep{TRepairStep::CopyFile, Target, {}, true});

    const std::string Data = FontValueData(Target, Folder);
    MachineKey->WriteString(Name, Data);
    Run.RegistryChanged = true;
    Run.NewFonts.push_back(Target);
    Repair.Changes.push_back(TRepairStep{TRepairStep::WriteValue, Name, Data, true});

    // The session holds the user's file open until it lets go of its fonts.
    P.Session.RemoveFont(Entry.FileName);
    TRepairStep Recycle{TRepairStep::RecycleFile, Entry.FileName, {}, false};
    Recycle.Done = ShellDeleteFiles(P.Shell, FOwner, std::vector<std::string>{Source});
    Repair.Changes.push_back(Recycle);
    if (!Recycle.Done) {
        P.Session.AddFont(Entry.FileName);
        return TRepairOutcome::FileNotMoved;
    }
    const bool Deleted = UserKey->DeleteValue(Entry.RegistryName);
    Repair.Changes.push_back(TRepairStep{TRepairStep::DeleteValue, Entry.RegistryName, {}, Deleted});

    Repair.Action = TRowAction::Refill;
    Repair.RegistryName = Name;
    if (Run.Apply) {
        FFonts.Relocate(Entry, Target, TFontScope::Machine);
        Entry.RegistryName = Name;
        Entry.ScannedValue = MachineKey->QueryValue(Name);
        Entry.ScannedFile = P.Files.FileIdentity(Target);
    }
    return TRepairOutcome::Repaired;
}

}  // namespace app
