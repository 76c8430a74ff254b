// Platform services that pretend: reads go to the real ones, changes are
// only remembered. A repair's preview runs on them, to learn what the repair
// will change before it changes anything, and so does a dry run.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace app {

// One value the overlay changed, as it was and as it would be.
struct TValueChange {
    // The name as the registry spells it (a value keeps the letter case it
    // was created with), before and after.
    std::string OldName;
    std::string NewName;
    // Present or Refused before; Missing when the value did not exist.
    platform::TRegistryValue Old;
    // Present after, or Missing when deleted.
    platform::TRegistryValue New;
};

struct TKeyChanges {
    platform::TRegistryRoot Root = platform::TRegistryRoot::LocalMachine;
    // Without the leading backslash, as first opened.
    std::string Path;
    // In the order the values were first changed.
    std::vector<TValueChange> Values;
};

class TRegistryOverlay final : public platform::IRegistry {
public:
    // Text: the registry's own matching of value names.
    TRegistryOverlay(platform::IRegistry& Real, platform::ITextServices& Text);
    ~TRegistryOverlay() override;

    // Opened for real with the access asked for, so that missing rights show.
    std::unique_ptr<platform::IRegistryKey> OpenKey(platform::TRegistryRoot Root, const std::string& Path,
                                                    platform::TRegistryAccess Access) override;
    // A missing key is opened as an empty one: it would be created.
    std::unique_ptr<platform::IRegistryKey> CreateKey(platform::TRegistryRoot Root, const std::string& Path) override;

    // Every key with a value changed, in the order first opened.
    std::vector<TKeyChanges> Changes() const;

    struct TKeyState;

private:
    std::unique_ptr<platform::IRegistryKey> Wrap(std::unique_ptr<platform::IRegistryKey> Real,
                                                 platform::TRegistryRoot Root, const std::string& Path);

    platform::IRegistry& FReal;
    platform::ITextServices& FText;
    std::vector<std::unique_ptr<TKeyState>> FKeys;
};

// Moves nothing and answers as if the shell had.
class TOverlayShell final : public platform::IShell {
public:
    explicit TOverlayShell(platform::IShell& Real) : FReal(Real) {}

    std::string FontsFolder() override { return FReal.FontsFolder(); }
    std::string LocalAppDataFolder() override { return FReal.LocalAppDataFolder(); }
    bool HasRecycleBin(const std::string& Path) override { return FReal.HasRecycleBin(Path); }
    platform::TShellDeleteResult DeleteFiles(platform::TWindowHandle, const std::vector<std::string>&) override
    {
        return {false, true};
    }

private:
    platform::IShell& FReal;
};

// Tells the session nothing.
class TOverlaySession final : public platform::IFontSession {
public:
    bool AddFont(const std::string&) override { return true; }
    bool RemoveFont(const std::string&) override { return true; }
    bool BroadcastFontChange() override { return true; }
};

// The real platform with the registry, the shell and the session pretending.
class TOverlayPlatform {
public:
    explicit TOverlayPlatform(const platform::TPlatform& Real)
        : Registry(Real.Registry, Real.Text), Shell(Real.Shell),
          Platform{Registry, Shell, Real.Files, Real.System, Real.Text, Session, Real.Services}
    {
    }
    TOverlayPlatform(const TOverlayPlatform&) = delete;
    TOverlayPlatform& operator=(const TOverlayPlatform&) = delete;

    TRegistryOverlay Registry;
    TOverlayShell Shell;
    TOverlaySession Session;
    const platform::TPlatform Platform;
};

}  // namespace app
