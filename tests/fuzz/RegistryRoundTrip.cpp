#include "tests/fuzz/RegistryRoundTrip.h"

#include "app/RegistryFile.h"
#include "base/TextConversion.h"

namespace fuzzing {

namespace {

bool SameValues(const app::TRegistryFile& A, const app::TRegistryFile& B)
{
    if (A.Keys.size() != B.Keys.size())
        return false;
    for (std::size_t k = 0; k < A.Keys.size(); ++k) {
        const auto& Left = A.Keys[k];
        const auto& Right = B.Keys[k];
        if (Left.Path != Right.Path || Left.Values.size() != Right.Values.size())
            return false;
        for (std::size_t v = 0; v < Left.Values.size(); ++v) {
            const platform::TRegistryValue& L = Left.Values[v].Value;
            const platform::TRegistryValue& R = Right.Values[v].Value;
            if (Left.Values[v].Name != Right.Values[v].Name || L.State != R.State || L.Type != R.Type ||
                L.Data != R.Data)
                return false;
        }
    }
    return A.Closing == B.Closing;
}

std::vector<std::uint8_t> Utf16File(std::u16string_view Text)
{
    std::vector<std::uint8_t> Bytes{0xFF, 0xFE};
    const std::vector<std::uint8_t> Units = base::Utf16ToLittleEndian(Text);
    Bytes.insert(Bytes.end(), Units.begin(), Units.end());
    return Bytes;
}

}  // namespace

bool RegistryFileSurvivesRoundTrip(const std::uint8_t* Data, std::size_t Size)
{
    app::TRegistryFile First;
    try {
        First = app::ParseRegistryFile(std::vector<std::uint8_t>(Data, Data + Size));
    } catch (const app::ERegistryFileError&) {
        return true;
    }
    const std::vector<std::uint8_t> Written = app::FormatRegistryFile(First);
    try {
        const app::TRegistryFile Second = app::ParseRegistryFile(Written);
        return SameValues(First, Second) && app::FormatRegistryFile(Second) == Written;
    } catch (const app::ERegistryFileError&) {
        return false;
    }
}

std::vector<TRegistrySeed> RegistrySeeds()
{
    app::TRegistryFile Backup;
    Backup.Comments = {"Moved to the recycle bin: C:\\Windows\\Fonts\\bad.ttf"};
    Backup.Keys.push_back({"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", {}});
    auto& Values = Backup.Keys[0].Values;
    using platform::TRegistryValueState;
    Values.push_back({"Created (TrueType)", {}});
    Values.push_back({"Quoted \"q\" \\ (TrueType)",
                      {TRegistryValueState::Present, platform::RegSz, platform::RegistryStringData("C:\\a.ttf")}});
    Values.push_back({"Two\r\nLines", {TRegistryValueState::Present, platform::RegSz, {'x', 0, 0}}});
    Values.push_back({"Number", {TRegistryValueState::Present, platform::RegDword, {1, 2, 3, 4}}});
    Values.push_back({"Blob", {TRegistryValueState::Present, platform::RegBinary, {0xAB, 0xCD}}});
    Values.push_back({"", {TRegistryValueState::Present, 0xFFFF0012u, {0, 1, 2}}});
    Backup.Closing = "End of the Velmorant repair backup";
    return {
        {"backup.reg", app::FormatRegistryFile(Backup)},
        {"export.reg", Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n"
                                 u"@=\"default\"\r\n\"Multi\"=hex(7):41,00,00,00,\\\r\n  42,00,00,00,\\\r\n  00,00\r\n"
                                 u"; a comment \\\r\n\"D\"=dword:0000000a\r\n\"Gone\"=-\r\n")},
    };
}

}  // namespace fuzzing
