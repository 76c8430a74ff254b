// Platform services that pretend: reads go to the real ones, changes are
// only remembered, so that a dry run sees the registry as the repair would
// leave it without anything being changed.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace cli {

class TDryRunRegistry final : public platform::IRegistry {
public:
    explicit TDryRunRegistry(platform::IRegistry& Real) : FReal(Real) {}

    // Opened for real with the access asked for, so that missing rights show.
    std::unique_ptr<platform::IRegistryKey> OpenLocalMachineKey(const std::string& Path,
                                                                platform::TRegistryAccess Access) override;

    // By key, by folded value name: the value written, or nothing for deleted.
    using TChanges = std::map<std::string, std::optional<std::pair<std::string, std::string>>>;

private:
    platform::IRegistry& FReal;
    std::map<std::string, TChanges> FChanges;
};

class TDryRunShell final : public platform::IShell {
public:
    explicit TDryRunShell(platform::IShell& Real) : FReal(Real) {}

    std::string FontsFolder() override { return FReal.FontsFolder(); }
    // Moves nothing and answers as if the shell had.
    platform::TShellDeleteResult DeleteFiles(platform::TWindowHandle, const std::vector<std::string>&) override
    {
        return {false, true};
    }

private:
    platform::IShell& FReal;
};

}  // namespace cli
