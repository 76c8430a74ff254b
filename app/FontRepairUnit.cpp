#include "app/FontRepairUnit.h"

#include <algorithm>

#include "app/FilePaths.h"
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

std::string FontValueData(const std::string& FileName, const std::string& FontsFolder)
{
    if (!FontsFolder.empty() && base::SameTextAscii(ExtractFilePath(FileName), FontsFolder + "\\"))
        return ExtractFileName(FileName);
    return FileName;
}

namespace {

void DeleteFontValue(platform::IRegistryKey& Key, TEntryRepair& Repair, const std::string& Name)
{
    const bool Deleted = Key.DeleteValue(Name);
    Repair.Changes.push_back(TRepairStep{TRepairStep::DeleteValue, Name, {}, Deleted});
}

void WriteFontValue(platform::IRegistryKey& Key, TEntryRepair& Repair, const std::string& Name,
                    const std::string& Data)
{
    Key.WriteString(Name, Data);
    Repair.Changes.push_back(TRepairStep{TRepairStep::WriteValue, Name, Data, true});
}

void MarkRepaired(TFontInfo& Entry, TEntryRepair& Repair, const std::string& RegistryName)
{
    Entry.Problem = fpNone;
    Repair.Action = TRowAction::MarkRepaired;
    Repair.RegistryName = RegistryName;
}

bool AnyOutcome(const std::vector<TEntryRepair>& Entries, TRepairOutcome Outcome)
{
    return std::any_of(Entries.begin(), Entries.end(),
                       [Outcome](const TEntryRepair& Entry) { return Entry.Outcome == Outcome; });
}

}  // namespace

TFontRepair::TFontRepair(const platform::TPlatform& Platform, TInstalledFonts& Fonts, platform::TWindowHandle Owner)
    : FPlatform(Platform), FFonts(Fonts), FOwner(Owner)
{
}

TRepairResult TFontRepair::RepairSelectedItems(const std::vector<TFontInfo*>& Selected)
{
    TRepairResult Result;
    // From the last to the first: an entry removed and destroyed is behind
    // the run, never reached again through the pointers still ahead.
    for (std::size_t Index = Selected.size(); Index-- > 0;) {
        TEntryRepair Repair;
        Repair.Index = Index;
        try {
            Repair.Outcome = RepairItem(*Selected[Index], Repair);
        } catch (const platform::ERegistryError&) {
            Result.Error = std::current_exception();
            return Result;
        }
        Result.Entries.push_back(std::move(Repair));
    }
    if (AnyOutcome(Result.Entries, TRepairOutcome::AccessDenied))
        Result.Messages.emplace_back(AccessDeniedMessage);
    if (AnyOutcome(Result.Entries, TRepairOutcome::NameTaken))
        Result.Messages.emplace_back(NameTakenMessage);
    if (AnyOutcome(Result.Entries, TRepairOutcome::NoFontName))
        Result.Messages.emplace_back(NoFontNameMessage);
    return Result;
}

TRepairOutcome TFontRepair::RepairItem(TFontInfo& Entry, TEntryRepair& Repair)
{
    switch (Entry.Problem) {
    case fpInvalidFont:
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

    // Without full access every change below would silently do nothing.
    const std::unique_ptr<platform::IRegistryKey> Key = FPlatform.Registry.OpenLocalMachineKey(
        GetFontsRegistryKey(FPlatform.System), platform::TRegistryAccess::Full);
    if (!Key)
        return TRepairOutcome::AccessDenied;

    switch (Entry.Problem) {
    case fpInvalidFont: {
        // The shell's outcome does not hold the repair up: an invalid file
        // that stays behind shows as unregistered in the next scan.
        TRepairStep Step{TRepairStep::RecycleFile, Entry.FileName, {}, true};
        Step.Done = ShellDeleteFiles(FPlatform.Shell, FOwner, std::vector<std::string>{Entry.FileName});
        Repair.Changes.push_back(Step);
        DeleteFontValue(*Key, Repair, Entry.RegistryName);
        RemoveEntry(Entry, Repair);
        return TRepairOutcome::Repaired;
    }
    case fpNoRegistryKey:
        return RegisterFont(*Key, Entry, Repair);
    case fpWrongFontName:
        return RenameFont(*Key, Entry, Repair);
    default:
        DeleteFontValue(*Key, Repair, Entry.RegistryName);
        RemoveEntry(Entry, Repair);
        return TRepairOutcome::Repaired;
    }
}

TRepairOutcome TFontRepair::RegisterFont(platform::IRegistryKey& Key, TFontInfo& Entry, TEntryRepair& Repair)
{
    const std::string Name = RegistryValueName(Entry.FontName);
    if (Key.ValueExists(Name))
        return TRepairOutcome::NameTaken;
    WriteFontValue(Key, Repair, Name, FontValueData(Entry.FileName, GetFontsFolder(FPlatform.Shell)));
    MarkRepaired(Entry, Repair, Name);
    return TRepairOutcome::Repaired;
}

TRepairOutcome TFontRepair::RenameFont(platform::IRegistryKey& Key, TFontInfo& Entry, TEntryRepair& Repair)
{
    const std::string Name = RegistryValueName(Entry.FontName);
    // The entry's own value spelled in another letter case does not block.
    const bool OwnValue = base::SameTextAscii(Name, Entry.RegistryName);
    if (!OwnValue && Key.ValueExists(Name))
        return TRepairOutcome::NameTaken;
    const std::string Data = FontValueData(Entry.FileName, GetFontsFolder(FPlatform.Shell));
    if (OwnValue) {
        // Only a new value takes the new letter case, so the old one goes first.
        DeleteFontValue(Key, Repair, Entry.RegistryName);
        WriteFontValue(Key, Repair, Name, Data);
    } else {
        // Written before the old value goes: a refused write leaves the font
        // registered as it was.
        WriteFontValue(Key, Repair, Name, Data);
        DeleteFontValue(Key, Repair, Entry.RegistryName);
    }
    MarkRepaired(Entry, Repair, Name);
    return TRepairOutcome::Repaired;
}

void TFontRepair::RemoveEntry(TFontInfo& Entry, TEntryRepair& Repair)
{
    Repair.Action = TRowAction::Remove;
    FFonts.Remove(&Entry);
}

}  // namespace app
