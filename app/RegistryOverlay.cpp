#include "app/RegistryOverlay.h"

#include <unordered_map>

#include "base/AsciiText.h"

namespace app {

using platform::TRegistryValue;
using platform::TRegistryValueState;

struct TRegistryOverlay::TKeyState {
    platform::TRegistryRoot Root;
    std::string Path;
    std::string FoldedPath;
    std::vector<TValueChange> Changes;
    // By the value name in upper case.
    std::unordered_map<std::string, std::size_t> ChangeIndex;
    // The real key's names as spelled, by upper case; read once, when first
    // needed, so that many changes cost no walk of the key each.
    std::optional<std::unordered_map<std::string, std::string>> RealNames;
};

namespace {

class TOverlayKey final : public platform::IRegistryKey {
public:
    TOverlayKey(std::unique_ptr<platform::IRegistryKey> Real, TRegistryOverlay::TKeyState& State,
                platform::ITextServices& Text)
        : FReal(std::move(Real)), FState(State), FText(Text)
    {
    }

    std::vector<std::string> ValueNames() override
    {
        std::vector<std::string> Names;
        if (FReal)
            for (const std::string& Name : FReal->ValueNames()) {
                const TValueChange* Change = Find(Name);
                if (Change == nullptr)
                    Names.push_back(Name);
                else if (Change->New.State != TRegistryValueState::Missing)
                    Names.push_back(Change->NewName);
            }
        for (const TValueChange& Change : FState.Changes)
            if (Change.Old.State == TRegistryValueState::Missing && Change.New.State != TRegistryValueState::Missing)
                Names.push_back(Change.NewName);
        return Names;
    }

    TRegistryValue QueryValue(const std::string& Name) override
    {
        if (const TValueChange* Change = Find(Name))
            return Change->New;
        return FReal ? FReal->QueryValue(Name) : TRegistryValue{};
    }

    bool ValueExists(const std::string& Name) override
    {
        if (const TValueChange* Change = Find(Name))
            return Change->New.State != TRegistryValueState::Missing;
        return FReal && FReal->ValueExists(Name);
    }

    void WriteValue(const std::string& Name, std::uint32_t Type, const std::vector<std::uint8_t>& Data) override
    {
        TValueChange& Change = Touch(Name);
        // An existing value keeps its letter case, as in the registry; one
        // deleted before takes the new name's.
        if (Change.New.State == TRegistryValueState::Missing)
            Change.NewName = Name;
        Change.New = TRegistryValue{TRegistryValueState::Present, Type, Data};
    }

    bool DeleteValue(const std::string& Name) override
    {
        if (!ValueExists(Name))
            return false;
        Touch(Name).New = TRegistryValue{};
        return true;
    }

private:
    TValueChange* Find(const std::string& Name)
    {
        const auto Found = FState.ChangeIndex.find(FText.UpperCaseOrdinal(Name));
        return Found == FState.ChangeIndex.end() ? nullptr : &FState.Changes[Found->second];
    }

    TValueChange& Touch(const std::string& Name)
    {
        if (TValueChange* Change = Find(Name))
            return *Change;
        TValueChange Change;
        if (FReal && FReal->ValueExists(Name)) {
            Change.OldName = RealName(Name);
            Change.Old = FReal->QueryValue(Name);
            if (Change.Old.State == TRegistryValueState::Missing)
                Change.Old.State = TRegistryValueState::Refused;
        }
        Change.NewName = Change.OldName;
        Change.New = Change.Old;
        FState.ChangeIndex[FText.UpperCaseOrdinal(Name)] = FState.Changes.size();
        FState.Changes.push_back(std::move(Change));
        return FState.Changes.back();
    }

    std::string RealName(const std::string& Name)
    {
        if (!FState.RealNames) {
            FState.RealNames.emplace();
            for (const std::string& Existing : FReal->ValueNames())
                FState.RealNames->emplace(FText.UpperCaseOrdinal(Existing), Existing);
        }
        const auto Found = FState.RealNames->find(FText.UpperCaseOrdinal(Name));
        return Found == FState.RealNames->end() ? Name : Found->second;
    }

    std::unique_ptr<platform::IRegistryKey> FReal;
    TRegistryOverlay::TKeyState& FState;
    platform::ITextServices& FText;
};

}  // namespace

TRegistryOverlay::TRegistryOverlay(platform::IRegistry& Real, platform::ITextServices& Text) : FReal(Real), FText(Text)
{
}

TRegistryOverlay::~TRegistryOverlay() = default;

std::unique_ptr<platform::IRegistryKey> TRegistryOverlay::Wrap(std::unique_ptr<platform::IRegistryKey> Real,
                                                               platform::TRegistryRoot Root, const std::string& Path)
{
    const std::string Relative(platform::KeyPathBelowRoot(Path));
    const std::string Folded = base::UpperCaseAscii(Relative);
    TKeyState* State = nullptr;
    for (const auto& Key : FKeys)
        if (Key->Root == Root && Key->FoldedPath == Folded)
            State = Key.get();
    if (State == nullptr) {
        FKeys.push_back(std::make_unique<TKeyState>());
        State = FKeys.back().get();
        State->Root = Root;
        State->Path = Relative;
        State->FoldedPath = Folded;
    }
    return std::make_unique<TOverlayKey>(std::move(Real), *State, FText);
}

std::unique_ptr<platform::IRegistryKey> TRegistryOverlay::OpenKey(platform::TRegistryRoot Root, const std::string& Path,
                                                                  platform::TRegistryAccess Access)
{
    std::unique_ptr<platform::IRegistryKey> Real = FReal.OpenKey(Root, Path, Access);
    if (!Real)
        return nullptr;
    return Wrap(std::move(Real), Root, Path);
}

std::unique_ptr<platform::IRegistryKey> TRegistryOverlay::CreateKey(platform::TRegistryRoot Root, const std::string& Path)
{
    std::unique_ptr<platform::IRegistryKey> Real = FReal.OpenKey(Root, Path, platform::TRegistryAccess::Full);
    // A key that is there but may not be changed cannot be created either; a
    // missing one is pretended.
    if (!Real && FReal.OpenKey(Root, Path, platform::TRegistryAccess::Read))
        return nullptr;
    return Wrap(std::move(Real), Root, Path);
}

std::vector<TKeyChanges> TRegistryOverlay::Changes() const
{
    std::vector<TKeyChanges> Keys;
    for (const auto& Key : FKeys)
        if (!Key->Changes.empty())
            Keys.push_back(TKeyChanges{Key->Root, Key->Path, Key->Changes});
    return Keys;
}

}  // namespace app
