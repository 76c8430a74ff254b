#include "tools/cli/DryRun.h"

#include <algorithm>

#include "base/AsciiText.h"

namespace cli {

namespace {

std::string Fold(std::string_view Text) { return base::UpperCaseAscii(Text); }

class TDryRunKey final : public platform::IRegistryKey {
public:
    TDryRunKey(std::unique_ptr<platform::IRegistryKey> Real, TDryRunRegistry::TChanges& Changes)
        : FReal(std::move(Real)), FChanges(Changes)
    {
    }

    std::vector<std::string> ValueNames() override
    {
        std::vector<std::string> Names;
        for (const std::string& Name : FReal->ValueNames())
            if (const auto Changed = FChanges.find(Fold(Name)); Changed == FChanges.end() || Changed->second)
                Names.push_back(Name);
        for (const auto& Change : FChanges)
            if (Change.second && std::none_of(Names.begin(), Names.end(),
                                              [&](const std::string& Name) { return Fold(Name) == Change.first; }))
                Names.push_back(Change.second->first);
        return Names;
    }

    platform::TRegistryValue QueryValue(const std::string& Name) override
    {
        const auto Changed = FChanges.find(Fold(Name));
        if (Changed == FChanges.end())
            return FReal->QueryValue(Name);
        platform::TRegistryValue Value;
        if (Changed->second) {
            Value.State = platform::TRegistryValueState::Present;
            Value.Type = platform::RegSz;
            Value.Data = platform::RegistryStringData(Changed->second->second);
        }
        return Value;
    }

    bool ValueExists(const std::string& Name) override
    {
        const auto Changed = FChanges.find(Fold(Name));
        return Changed == FChanges.end() ? FReal->ValueExists(Name) : Changed->second.has_value();
    }

    void WriteString(const std::string& Name, const std::string& Data) override
    {
        // An existing value keeps its letter case, as in the registry; one
        // deleted before takes the new name's.
        std::string Kept = Name;
        const auto Changed = FChanges.find(Fold(Name));
        if (Changed != FChanges.end()) {
            if (Changed->second)
                Kept = Changed->second->first;
        } else if (FReal->ValueExists(Name)) {
            Kept = ExistingName(Name);
        }
        FChanges[Fold(Name)] = std::make_pair(Kept, Data);
    }

    bool DeleteValue(const std::string& Name) override
    {
        if (!ValueExists(Name))
            return false;
        FChanges[Fold(Name)] = std::nullopt;
        return true;
    }

private:
    std::string ExistingName(const std::string& Name)
    {
        for (const std::string& Existing : FReal->ValueNames())
            if (Fold(Existing) == Fold(Name))
                return Existing;
        return Name;
    }

    std::unique_ptr<platform::IRegistryKey> FReal;
    TDryRunRegistry::TChanges& FChanges;
};

}  // namespace

std::unique_ptr<platform::IRegistryKey> TDryRunRegistry::OpenLocalMachineKey(const std::string& Path,
                                                                             platform::TRegistryAccess Access)
{
    std::unique_ptr<platform::IRegistryKey> Real = FReal.OpenLocalMachineKey(Path, Access);
    if (!Real)
        return nullptr;
    std::string_view Relative = Path;
    if (Relative.starts_with('\\'))
        Relative.remove_prefix(1);
    return std::make_unique<TDryRunKey>(std::move(Real), FChanges[Fold(Relative)]);
}

}  // namespace cli
