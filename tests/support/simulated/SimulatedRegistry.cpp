#include "tests/support/simulated/SimulatedPlatform.h"

#include <algorithm>

#include "base/AsciiText.h"
#include "base/TextConversion.h"

namespace platform {

namespace {

char16_t UpperCaseUnit(char16_t C)
{
    if ((C >= u'a' && C <= u'z') || (C >= 0xE0 && C <= 0xFE && C != 0xF7) || (C >= 0x3B1 && C <= 0x3C9 && C != 0x3C2) ||
        (C >= 0x430 && C <= 0x44F))
        return static_cast<char16_t>(C - 0x20);
    if (C == 0xFF)
        return 0x178;
    if (C >= 0x450 && C <= 0x45F)
        return static_cast<char16_t>(C - 0x50);
    // Latin Extended-A pairs its letters upper, lower; from U+0139 to U+0148
    // and U+0179 to U+017E lower, upper.
    const bool OddPairs = (C >= 0x139 && C <= 0x148) || (C >= 0x179 && C <= 0x17E);
    if (C >= 0x100 && C <= 0x17F && C != 0x131 && C != 0x138 && C != 0x149 && C != 0x17F &&
        (C % 2 == 0) == OddPairs)
        return static_cast<char16_t>(C - 1);
    return C;
}

bool IsStringType(std::uint32_t Type) { return Type == RegSz || Type == RegExpandSz || Type == RegMultiSz; }

// What RegSetValueExW stores of Count bytes at Buffer: for the string types,
// data that does not end in NUL gains the code unit after it when that unit
// is NUL. Bytes past the buffer count as zeros, as the heap after a vector's
// end often holds.
std::vector<std::uint8_t> StoredBySetValue(std::uint32_t Type, const std::vector<std::uint8_t>& Buffer,
                                           std::size_t Count)
{
    const auto ByteAt = [&Buffer](std::size_t At) -> std::uint8_t { return At < Buffer.size() ? Buffer[At] : 0; };
    std::size_t Stored = Count;
    if (Count >= 2 && IsStringType(Type)) {
        const std::size_t Last = (Count / 2 - 1) * 2;
        const bool EndsInNul = ByteAt(Last) == 0 && ByteAt(Last + 1) == 0;
        if (!EndsInNul && ByteAt(Last + 2) == 0 && ByteAt(Last + 3) == 0)
            Stored = Last + 4;
    }
    std::vector<std::uint8_t> Data;
    for (std::size_t At = 0; At < Stored; ++At)
        Data.push_back(ByteAt(At));
    return Data;
}

}  // namespace

std::string SimulatedUpperCase(std::string_view Text)
{
    std::u16string Units = base::Utf8ToUtf16(Text);
    for (char16_t& Unit : Units)
        Unit = UpperCaseUnit(Unit);
    return base::Utf16ToUtf8(Units);
}

class TSimulatedRegistryKey final : public IRegistryKey {
public:
    TSimulatedRegistryKey(TSimulatedRegistry& Registry, std::string Path) : FRegistry(Registry), FPath(std::move(Path)) {}

    std::vector<std::string> ValueNames() override { return FRegistry.ValueNames(FPath); }

    TRegistryValue QueryValue(const std::string& Name) override
    {
        TRegistryValue Result;
        TSimulatedRegistry::TKey* Key = FRegistry.FindKey(FPath);
        const TSimulatedRegistry::TStoredValue* Stored = Key == nullptr ? nullptr : Key->Find(Name);
        if (Stored == nullptr || Name.find('\0') != std::string::npos)
            return Result;
        if (Key->Refused.count(TSimulatedRegistry::Fold(Name)) != 0) {
            Result.State = TRegistryValueState::Refused;
            return Result;
        }
        Result.State = TRegistryValueState::Present;
        Result.Type = Stored->Type;
        Result.Data = Stored->Data;
        return Result;
    }

    bool ValueExists(const std::string& Name) override
    {
        TSimulatedRegistry::TKey* Key = FRegistry.FindKey(FPath);
        return Key != nullptr && Key->Find(Name) != nullptr && Name.find('\0') == std::string::npos;
    }

    void WriteValue(const std::string& Name, std::uint32_t Type, const std::vector<std::uint8_t>& Data) override
    {
        // As in the Win32 registry, names holding NUL are refused.
        if (FRegistry.RefuseWrites || FRegistry.RefusedWriteNames.count(Name) != 0 ||
            Name.find('\0') != std::string::npos)
            throw ERegistryError("Failed to set data for '" + Name + "'");
        FRegistry.SetValue(FPath, Name, Type, StoredBySetValue(Type, RegistryWriteBuffer(Data), Data.size()));
    }

    bool DeleteValue(const std::string& Name) override
    {
        if (Name.find('\0') != std::string::npos)
            throw ERegistryError("Failed to delete '" + Name + "'");
        TSimulatedRegistry::TKey* Key = FRegistry.FindKey(FPath);
        if (Key == nullptr || Key->Find(Name) == nullptr)
            return false;
        if (FRegistry.RefuseWrites)
            throw ERegistryError("Failed to delete '" + Name + "'");
        return Key->Erase(Name);
    }

private:
    TSimulatedRegistry& FRegistry;
    std::string FPath;
};

TSimulatedRegistry::TStoredValue* TSimulatedRegistry::TKey::Find(const std::string& Name)
{
    const auto Found = Index.find(Fold(Name));
    return Found == Index.end() ? nullptr : &Values[Found->second];
}

bool TSimulatedRegistry::TKey::Erase(const std::string& Name)
{
    const auto Found = Index.find(Fold(Name));
    if (Found == Index.end())
        return false;
    Values.erase(Values.begin() + static_cast<std::ptrdiff_t>(Found->second));
    Index.clear();
    for (std::size_t i = 0; i < Values.size(); ++i)
        Index[Fold(Values[i].Name)] = i;
    return true;
}

std::string TSimulatedRegistry::Fold(std::string_view Text) { return SimulatedUpperCase(Text); }

std::string TSimulatedRegistry::KeyName(TRegistryRoot Root, std::string_view Path)
{
    Path = KeyPathBelowRoot(Path);
    return (Root == TRegistryRoot::CurrentUser ? "HKCU\\" : "HKLM\\") + base::UpperCaseAscii(Path);
}

std::string TSimulatedRegistry::KeyName(std::string_view Path)
{
    constexpr std::string_view User = "HKEY_CURRENT_USER\\";
    if (Path.size() >= User.size() && base::SameTextAscii(Path.substr(0, User.size()), User))
        return KeyName(TRegistryRoot::CurrentUser, Path.substr(User.size()));
    return KeyName(TRegistryRoot::LocalMachine, Path);
}

TSimulatedRegistry::TKey* TSimulatedRegistry::FindKey(const std::string& Path)
{
    const auto Found = FKeys.find(KeyName(Path));
    return Found == FKeys.end() ? nullptr : &Found->second;
}

const TSimulatedRegistry::TKey* TSimulatedRegistry::FindKey(const std::string& Path) const
{
    const auto Found = FKeys.find(KeyName(Path));
    return Found == FKeys.end() ? nullptr : &Found->second;
}

namespace {

std::string SetUpPath(TRegistryRoot Root, std::string_view Path)
{
    Path = KeyPathBelowRoot(Path);
    return (Root == TRegistryRoot::CurrentUser ? "HKEY_CURRENT_USER\\" : "") + std::string(Path);
}

}  // namespace

std::unique_ptr<IRegistryKey> TSimulatedRegistry::OpenKey(TRegistryRoot Root, const std::string& Path,
                                                          TRegistryAccess Access)
{
    const std::string Full = SetUpPath(Root, Path);
    const TKey* Key = FindKey(Full);
    if (Key == nullptr || Key->DenyRead || (Access == TRegistryAccess::Full && Key->DenyFull))
        return nullptr;
    return std::make_unique<TSimulatedRegistryKey>(*this, Full);
}

std::unique_ptr<IRegistryKey> TSimulatedRegistry::CreateKey(TRegistryRoot Root, const std::string& Path)
{
    const std::string Full = SetUpPath(Root, Path);
    if (FindKey(Full) == nullptr && !RefuseCreateKeys)
        CreateKey(Full);
    return OpenKey(Root, Path, TRegistryAccess::Full);
}

void TSimulatedRegistry::CreateKey(const std::string& Path) { FKeys[KeyName(Path)]; }

void TSimulatedRegistry::SetString(const std::string& Path, const std::string& Name, const std::string& Text)
{
    SetValue(Path, Name, RegSz, RegistryStringData(Text));
}

void TSimulatedRegistry::SetValue(const std::string& Path, const std::string& Name, std::uint32_t Type,
                                  std::vector<std::uint8_t> Data)
{
    TKey& Key = FKeys[KeyName(Path)];
    // As in Windows, a value keeps the letter case it was created with.
    if (TStoredValue* Value = Key.Find(Name)) {
        Value->Type = Type;
        Value->Data = std::move(Data);
        return;
    }
    Key.Index[Fold(Name)] = Key.Values.size();
    Key.Values.push_back({Name, Type, std::move(Data)});
}

std::optional<TSimulatedRegistry::TStoredValue> TSimulatedRegistry::Value(const std::string& Path,
                                                                          const std::string& Name) const
{
    const TKey* Key = FindKey(Path);
    if (Key == nullptr)
        return std::nullopt;
    const auto Found = Key->Index.find(Fold(Name));
    if (Found == Key->Index.end())
        return std::nullopt;
    return Key->Values[Found->second];
}

std::optional<std::string> TSimulatedRegistry::StringValue(const std::string& Path, const std::string& Name) const
{
    const auto Stored = Value(Path, Name);
    if (!Stored)
        return std::nullopt;
    return RegistryStringText(Stored->Data);
}

std::vector<std::string> TSimulatedRegistry::ValueNames(const std::string& Path) const
{
    std::vector<std::string> Names;
    if (const TKey* Key = FindKey(Path))
        for (const TStoredValue& Value : Key->Values)
            Names.push_back(Value.Name);
    return Names;
}

void TSimulatedRegistry::DenyAccess(const std::string& Path, TRegistryAccess Access)
{
    TKey& Key = FKeys[KeyName(Path)];
    if (Access == TRegistryAccess::Read)
        Key.DenyRead = true;
    Key.DenyFull = true;
}

void TSimulatedRegistry::RefuseData(const std::string& Path, const std::string& Name)
{
    FKeys[KeyName(Path)].Refused.insert(Fold(Name));
}

}  // namespace platform
