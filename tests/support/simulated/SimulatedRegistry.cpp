#include "tests/support/simulated/SimulatedPlatform.h"

#include <algorithm>

#include "base/AsciiText.h"


namespace platform {

namespace {

std::string KeyPath(std::string_view Path)
{
    if (!Path.empty() && Path.front() == '\\')
        Path.remove_prefix(1);
    return std::string(Path);
}

}  // namespace

class TSimulatedRegistryKey final : public IRegistryKey {
public:
    TSimulatedRegistryKey(TSimulatedRegistry& Registry, std::string Path) : FRegistry(Registry), FPath(std::move(Path)) {}

    std::vector<std::string> ValueNames() override { return FRegistry.ValueNames(FPath); }

    TRegistryValue QueryValue(const std::string& Name) override
    {
        TRegistryValue Result;
        const TSimulatedRegistry::TKey* Key = FRegistry.FindKey(FPath);
        const auto Stored = FRegistry.Value(FPath, Name);
        if (Key == nullptr || !Stored)
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

    bool ValueExists(const std::string& Name) override { return FRegistry.Value(FPath, Name).has_value(); }

    void WriteString(const std::string& Name, const std::string& Data) override
    {
        if (FRegistry.RefuseWrites)
            throw ERegistryError("Failed to set data for '" + Name + "'");
        FRegistry.SetString(FPath, Name, Data);
    }

    bool DeleteValue(const std::string& Name) override
    {
        TSimulatedRegistry::TKey* Key = FRegistry.FindKey(FPath);
        if (Key == nullptr || FRegistry.RefuseWrites)
            return false;
        const std::string Folded = TSimulatedRegistry::Fold(Name);
        const auto Found = std::find_if(Key->Values.begin(), Key->Values.end(), [&](const auto& Value) {
            return TSimulatedRegistry::Fold(Value.Name) == Folded;
        });
        if (Found == Key->Values.end())
            return false;
        Key->Values.erase(Found);
        return true;
    }

private:
    TSimulatedRegistry& FRegistry;
    std::string FPath;
};

std::string TSimulatedRegistry::Fold(std::string_view Text) { return base::UpperCaseAscii(Text); }

TSimulatedRegistry::TKey* TSimulatedRegistry::FindKey(const std::string& Path)
{
    const auto Found = FKeys.find(Fold(KeyPath(Path)));
    return Found == FKeys.end() ? nullptr : &Found->second;
}

const TSimulatedRegistry::TKey* TSimulatedRegistry::FindKey(const std::string& Path) const
{
    const auto Found = FKeys.find(Fold(KeyPath(Path)));
    return Found == FKeys.end() ? nullptr : &Found->second;
}

std::unique_ptr<IRegistryKey> TSimulatedRegistry::OpenLocalMachineKey(const std::string& Path, TRegistryAccess Access)
{
    const TKey* Key = FindKey(Path);
    if (Key == nullptr || Key->DenyRead || (Access == TRegistryAccess::Full && Key->DenyFull))
        return nullptr;
    return std::make_unique<TSimulatedRegistryKey>(*this, KeyPath(Path));
}

void TSimulatedRegistry::CreateKey(const std::string& Path) { FKeys[Fold(KeyPath(Path))]; }

void TSimulatedRegistry::SetString(const std::string& Path, const std::string& Name, const std::string& Text)
{
    SetValue(Path, Name, RegSz, RegistryStringData(Text));
}

void TSimulatedRegistry::SetValue(const std::string& Path, const std::string& Name, std::uint32_t Type,
                               std::vector<std::uint8_t> Data)
{
    TKey& Key = FKeys[Fold(KeyPath(Path))];
    const std::string Folded = Fold(Name);
    for (TStoredValue& Value : Key.Values)
        if (Fold(Value.Name) == Folded) {
            // As in Windows, the value keeps the letter case it was created with.
            Value.Type = Type;
            Value.Data = std::move(Data);
            return;
        }
    Key.Values.push_back({Name, Type, std::move(Data)});
}

std::optional<TSimulatedRegistry::TStoredValue> TSimulatedRegistry::Value(const std::string& Path,
                                                                    const std::string& Name) const
{
    const TKey* Key = FindKey(Path);
    if (Key == nullptr)
        return std::nullopt;
    const std::string Folded = Fold(Name);
    for (const TStoredValue& Value : Key->Values)
        if (Fold(Value.Name) == Folded)
            return Value;
    return std::nullopt;
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
    TKey& Key = FKeys[Fold(KeyPath(Path))];
    if (Access == TRegistryAccess::Read)
        Key.DenyRead = true;
    Key.DenyFull = true;
}

void TSimulatedRegistry::RefuseData(const std::string& Path, const std::string& Name)
{
    FKeys[Fold(KeyPath(Path))].Refused.insert(Fold(Name));
}

}  // namespace platform
