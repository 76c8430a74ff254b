#include "tests/support/simulated/SimulatedPlatform.h"


#include "base/AsciiText.h"

namespace platform {

namespace fs = std::filesystem;

std::vector<std::optional<std::string>> TSimulatedSystemInfo::VersionStrings(const std::string& File,
                                                                          const std::vector<std::string>& SubBlocks)
{
    const std::string Folded = base::UpperCaseAscii(File);
    std::vector<std::optional<std::string>> Values;
    for (const std::string& SubBlock : SubBlocks) {
        const auto Found = VersionResources.find({Folded, SubBlock});
        Values.push_back(Found == VersionResources.end() ? std::nullopt : std::optional(Found->second));
    }
    return Values;
}

int TSimulatedTextServices::CompareText(std::string_view A, std::string_view B) { return base::CompareTextAscii(A, B); }

TServiceState TSimulatedServices::QueryState(const std::string& Name)
{
    const TService* Service = Find(Name);
    return Service == nullptr ? TServiceState::Missing : Service->State;
}

bool TSimulatedServices::Stop(const std::string& Name)
{
    Requests.push_back("stop " + Name);
    TService* Service = Find(Name);
    if (Service == nullptr || Service->RefuseStop)
        return false;
    if (Service->State != TServiceState::Stopped)
        Service->State = Service->StopMilliseconds == 0 ? TServiceState::Stopped : TServiceState::StopPending;
    return true;
}

bool TSimulatedServices::Start(const std::string& Name)
{
    Requests.push_back("start " + Name);
    TService* Service = Find(Name);
    if (Service == nullptr || Service->RefuseStart)
        return false;
    Service->State = TServiceState::Running;
    return true;
}

bool TSimulatedServices::WaitForState(const std::string& Name, TServiceState Wanted, std::uint32_t BoundMilliseconds)
{
    TService* Service = Find(Name);
    if (Service == nullptr)
        return false;
    if (Service->State == TServiceState::StopPending && Wanted == TServiceState::Stopped &&
        Service->StopMilliseconds <= BoundMilliseconds)
        Service->State = TServiceState::Stopped;
    return Service->State == Wanted;
}

void TSimulatedServices::Add(const std::string& Name) { Add(Name, TService()); }

void TSimulatedServices::Add(const std::string& Name, TService Service)
{
    FServices[base::UpperCaseAscii(Name)] = Service;
}

TSimulatedServices::TService* TSimulatedServices::Find(const std::string& Name)
{
    const auto Found = FServices.find(base::UpperCaseAscii(Name));
    return Found == FServices.end() ? nullptr : &Found->second;
}

TSimulatedMachine::TSimulatedMachine()
    : Files(Root / "drives"), Shell(Files, Root / "RecycleBin")
{
    Files.CreateFolder("C:\\Windows\\Fonts");
    Registry.CreateKey("\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
    Files.CreateFolder(Shell.LocalAppDataFolder());
}

}  // namespace platform
