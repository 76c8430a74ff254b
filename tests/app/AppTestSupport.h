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
inline const std::string UserFontsKey = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
inline const std::string UserFontsFolder = "C:\\Users\\Tester\\AppData\\Local\\Microsoft\\Windows\\Fonts";

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
    void RegisterUser(const std::string& ValueName, const std::string& Data)
    {
        Registry.SetString(UserFontsKey, ValueName, Data);
    }
    std::string InUserFonts(const std::string& Name) const { return UserFontsFolder + "\\" + Name; }
    // Every value of both Fonts keys, as "key|name|type|data bytes in hex",
    // sorted: what a backup and its undo must leave exactly as it was.
    std::vector<std::string> Snapshot() const;
};

// Refresh, and the entries as "problem|font name|registry name|file name".
std::vector<std::string> Scan(TMachine& Machine);
std::string Describe(const app::TFontInfo& Entry);

}  // namespace app_testing
