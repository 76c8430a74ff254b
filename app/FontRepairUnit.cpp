#include "app/FontRepairUnit.h"

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

TFontRepair::TFontRepair(const platform::TPlatform& Platform, TInstalledFonts& Fonts, IFontListRows& Rows,
                         platform::TWindowHandle Owner)
    : FPlatform(Platform), FFonts(Fonts), FRows(Rows), FOwner(Owner)
{
}

void TFontRepair::RepairSelectedItems()
{
    bool NameTaken = false;
    bool AccessDenied = false;
    bool NoFontName = false;
    for (std::size_t Row = FRows.RowCount(); Row-- > 0;) {
        if (!FRows.RowSelected(Row))
            continue;
        const TRepairOutcome Outcome = RepairItem(Row);
        NameTaken |= Outcome == TRepairOutcome::NameTaken;
        AccessDenied |= Outcome == TRepairOutcome::AccessDenied;
        NoFontName |= Outcome == TRepairOutcome::NoFontName;
        FRows.RowDone(Row, Outcome);
    }
    FRows.UpdateControls();
    if (AccessDenied)
        FRows.ShowError(std::string(AccessDeniedMessage));
    if (NameTaken)
        FRows.ShowError(std::string(NameTakenMessage));
    if (NoFontName)
        FRows.ShowError(std::string(NoFontNameMessage));
}

TRepairOutcome TFontRepair::RepairItem(std::size_t Row)
{
    TFontInfo& Entry = FRows.RowEntry(Row);
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
        FRows.StepDone(Row, Step);
        DeleteFontValue(*Key, Row, Entry.RegistryName);
        RemoveEntry(Row, Entry);
        return TRepairOutcome::Repaired;
    }
    case fpNoRegistryKey:
        return RegisterFont(*Key, Row, Entry);
    case fpWrongFontName:
        return RenameFont(*Key, Row, Entry);
    default:
        DeleteFontValue(*Key, Row, Entry.RegistryName);
        RemoveEntry(Row, Entry);
        return TRepairOutcome::Repaired;
    }
}

TRepairOutcome TFontRepair::RegisterFont(platform::IRegistryKey& Key, std::size_t Row, TFontInfo& Entry)
{
    const std::string Name = RegistryValueName(Entry.FontName);
    if (Key.ValueExists(Name))
        return TRepairOutcome::NameTaken;
    WriteFontValue(Key, Row, Name, FontValueData(Entry.FileName, GetFontsFolder(FPlatform.Shell)));
    FRows.MarkRowRepaired(Row, Name);
    Entry.Problem = fpNone;
    return TRepairOutcome::Repaired;
}

TRepairOutcome TFontRepair::RenameFont(platform::IRegistryKey& Key, std::size_t Row, TFontInfo& Entry)
{
    const std::string Name = RegistryValueName(Entry.FontName);
    // The entry's own value spelled in another letter case does not block.
    const bool OwnValue = base::SameTextAscii(Name, Entry.RegistryName);
    if (!OwnValue && Key.ValueExists(Name))
        return TRepairOutcome::NameTaken;
    const std::string Data = FontValueData(Entry.FileName, GetFontsFolder(FPlatform.Shell));
    if (OwnValue) {
        // Only a new value takes the new letter case, so the old one goes first.
        DeleteFontValue(Key, Row, Entry.RegistryName);
        WriteFontValue(Key, Row, Name, Data);
    } else {
        // Written before the old value goes: a refused write leaves the font
        // registered as it was.
        WriteFontValue(Key, Row, Name, Data);
        DeleteFontValue(Key, Row, Entry.RegistryName);
    }
    FRows.MarkRowRepaired(Row, Name);
    Entry.Problem = fpNone;
    return TRepairOutcome::Repaired;
}

void TFontRepair::DeleteFontValue(platform::IRegistryKey& Key, std::size_t Row, const std::string& Name)
{
    const bool Deleted = Key.DeleteValue(Name);
    FRows.StepDone(Row, TRepairStep{TRepairStep::DeleteValue, Name, {}, Deleted});
}

void TFontRepair::WriteFontValue(platform::IRegistryKey& Key, std::size_t Row, const std::string& Name,
                                 const std::string& Data)
{
    Key.WriteString(Name, Data);
    FRows.StepDone(Row, TRepairStep{TRepairStep::WriteValue, Name, Data, true});
}

void TFontRepair::RemoveEntry(std::size_t Row, TFontInfo& Entry)
{
    FRows.RemoveRow(Row);
    FFonts.Remove(&Entry);
}

}  // namespace app
