// A simulated machine for the application core's tests, with font files and
// registry values set up in a line each.
#pragma once

#include <string>
#include <vector>

#include "app/FontRepairUnit.h"
#include "app/FontsFolderUnit.h"
#include "app/InstalledFontsUnit.h"
#include "tests/support/FontBuilder.h"
#include "tests/support/simulated/SimulatedPlatform.h"

namespace app_testing {

inline const std::string FontsKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
inline const std::string FontsFolder = "C:\\Windows\\Fonts";

// A font that loads, named by a Microsoft full name in English (none when
// FullName is empty), plus any further name records.
testing_support::TBytes NamedFont(const std::u16string& FullName,
                                  std::vector<testing_support::TNameRecord> More = {});
// A font that loads and has a name, but whose head lacks the magic number.
testing_support::TBytes FontWithoutMagic();

class TMachine : public platform::TSimulatedMachine {
public:
    TMachine();

    platform::TPlatform Services{Platform()};

    void Register(const std::string& ValueName, const std::string& Data) { Registry.SetString(FontsKey, ValueName, Data); }
    // A file in the Fonts folder (bare name) or anywhere (full path).
    void PutFont(const std::string& Path, const std::u16string& FullName);
    std::string InFonts(const std::string& Name) const { return FontsFolder + "\\" + Name; }
};

// Refresh, and the entries as "problem|font name|registry name|file name".
std::vector<std::string> Scan(TMachine& Machine);
std::string Describe(const app::TFontInfo& Entry);

// The font list: one row per inventory entry; selected are the rows whose
// code is among the chosen.
class TTestRows final : public app::IFontListRows {
public:
    TTestRows(app::TInstalledFonts& Fonts, std::vector<app::TFontProblem> Selected);

    std::size_t RowCount() const override { return FRows.size(); }
    bool RowSelected(std::size_t Row) const override { return FRows[Row].Selected; }
    app::TFontInfo& RowEntry(std::size_t Row) const override { return *FRows[Row].Entry; }
    void RemoveRow(std::size_t Row) override;
    void MarkRowRepaired(std::size_t Row, const std::string& RegistryName) override;
    void UpdateControls() override { ++ControlUpdates; }
    void ShowError(const std::string& Message) override { Errors.push_back(Message); }
    void StepDone(std::size_t Row, const app::TRepairStep& Step) override;
    void RowDone(std::size_t Row, app::TRepairOutcome Outcome) override;

    // "icon|registry cell|problem cell" per row left.
    std::vector<std::string> Cells() const;

    std::vector<std::string> Errors;
    std::vector<std::string> Steps;
    std::vector<app::TRepairOutcome> Outcomes;
    int ControlUpdates = 0;

private:
    struct TRow {
        app::TFontInfo* Entry;
        bool Selected;
        int Icon;
        std::string RegistryCell;
        std::string ProblemCell;
    };
    std::vector<TRow> FRows;
};

}  // namespace app_testing
