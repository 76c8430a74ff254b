// The repair of the entries selected in the font list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/InstalledFontsUnit.h"
#include "platform/Platform.h"

namespace app {

enum class TRepairOutcome : std::uint8_t {
    Repaired,
    // The value name the entry needs belongs to another font.
    NameTaken,
    // A registry value needs the font's name, and the file gave none.
    NoFontName,
    // The Fonts key cannot be opened with full access.
    AccessDenied,
};

// One change a repair makes, in the order it makes them.
struct TRepairStep {
    enum TKind : std::uint8_t { RecycleFile, DeleteValue, WriteValue };
    TKind Kind = DeleteValue;
    // The file's path, or the value's name.
    std::string Name;
    // What WriteValue stores.
    std::string Data;
    // RecycleFile: whether the shell reports the file moved. The repair goes
    // on either way.
    bool Done = true;
};

extern const std::string_view NameTakenMessage;
extern const std::string_view AccessDeniedMessage;
extern const std::string_view NoFontNameMessage;

// The font list as the repair sees it: rows that refer to inventory entries.
class IFontListRows {
public:
    virtual ~IFontListRows() = default;
    virtual std::size_t RowCount() const = 0;
    virtual bool RowSelected(std::size_t Row) const = 0;
    virtual TFontInfo& RowEntry(std::size_t Row) const = 0;
    virtual void RemoveRow(std::size_t Row) = 0;
    // Status icon 0, "Registry Name" cell RegistryName, "Problem" cell empty;
    // the row keeps its place.
    virtual void MarkRowRepaired(std::size_t Row, const std::string& RegistryName) = 0;
    // The repair commands' state and the status text.
    virtual void UpdateControls() = 0;
    // A message box of the error type with a single OK button.
    virtual void ShowError(const std::string& Message) = 0;

    // For a console front end: what a row's repair changed, and its outcome.
    // The row may already be gone when its outcome arrives.
    virtual void StepDone(std::size_t /*Row*/, const TRepairStep& /*Step*/) {}
    virtual void RowDone(std::size_t /*Row*/, TRepairOutcome /*Outcome*/) {}
};

// The registry value data for a font file: its bare name when it lies
// directly in the Fonts folder, else the full path.
std::string FontValueData(const std::string& FileName, const std::string& FontsFolder);

class TFontRepair {
public:
    TFontRepair(const platform::TPlatform& Platform, TInstalledFonts& Fonts, IFontListRows& Rows,
                platform::TWindowHandle Owner);

    // Repairs the selected rows from the last to the first, then tells the
    // user once per kind of failure. A refused registry write raises
    // platform::ERegistryError and ends the run at that row.
    void RepairSelectedItems();
    TRepairOutcome RepairItem(std::size_t Row);

private:
    void DeleteFontValue(platform::IRegistryKey& Key, std::size_t Row, const std::string& Name);
    void WriteFontValue(platform::IRegistryKey& Key, std::size_t Row, const std::string& Name, const std::string& Data);
    TRepairOutcome RegisterFont(platform::IRegistryKey& Key, std::size_t Row, TFontInfo& Entry);
    TRepairOutcome RenameFont(platform::IRegistryKey& Key, std::size_t Row, TFontInfo& Entry);
    void RemoveEntry(std::size_t Row, TFontInfo& Entry);

    const platform::TPlatform& FPlatform;
    TInstalledFonts& FFonts;
    IFontListRows& FRows;
    platform::TWindowHandle FOwner;
};

}  // namespace app
