#include <windows.h>
#include <winsvc.h>

#include <algorithm>

#include "base/TextConversion.h"
#include "base/Win32Handle.h"
#include "platform/win32/Win32Platform.h"

namespace platform {

namespace {

// The manager and the service, with only the rights the call needs, so that
// a query works for a user that may not control the service.
struct TOpenService {
    base::TServiceHandle Manager;
    base::TServiceHandle Service;
    DWORD Error = ERROR_SUCCESS;
};

TOpenService OpenNamedService(const std::string& Name, DWORD Access)
{
    TOpenService Open;
    Open.Manager = base::TServiceHandle(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!Open.Manager.Valid()) {
        Open.Error = GetLastError();
        return Open;
    }
    Open.Service = base::TServiceHandle(OpenServiceW(Open.Manager.Get(), base::Utf8ToWide(Name).c_str(), Access));
    if (!Open.Service.Valid())
        Open.Error = GetLastError();
    return Open;
}

TServiceState StateOf(DWORD State)
{
    switch (State) {
    case SERVICE_STOPPED: return TServiceState::Stopped;
    case SERVICE_START_PENDING: return TServiceState::StartPending;
    case SERVICE_STOP_PENDING: return TServiceState::StopPending;
    case SERVICE_RUNNING: return TServiceState::Running;
    case SERVICE_CONTINUE_PENDING: return TServiceState::ContinuePending;
    case SERVICE_PAUSE_PENDING: return TServiceState::PausePending;
    case SERVICE_PAUSED: return TServiceState::Paused;
    default: return TServiceState::Unknown;
    }
}

bool QueryStatus(SC_HANDLE Service, SERVICE_STATUS_PROCESS& Status)
{
    DWORD Needed = 0;
    return QueryServiceStatusEx(Service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&Status), sizeof Status,
                                &Needed) != FALSE;
}

}  // namespace

TServiceState TWin32Services::QueryState(const std::string& Name)
{
    const TOpenService Open = OpenNamedService(Name, SERVICE_QUERY_STATUS);
    if (!Open.Service.Valid())
        return Open.Error == ERROR_SERVICE_DOES_NOT_EXIST ? TServiceState::Missing : TServiceState::Unknown;
    SERVICE_STATUS_PROCESS Status{};
    return QueryStatus(Open.Service.Get(), Status) ? StateOf(Status.dwCurrentState) : TServiceState::Unknown;
}

bool TWin32Services::Stop(const std::string& Name)
{
    const TOpenService Open = OpenNamedService(Name, SERVICE_STOP | SERVICE_QUERY_STATUS);
    if (!Open.Service.Valid())
        return false;
    SERVICE_STATUS Status{};
    if (ControlService(Open.Service.Get(), SERVICE_CONTROL_STOP, &Status))
        return true;
    // A service on its way down takes no second stop, and one that is down
    // takes none at all: either is what was asked.
    const DWORD Error = GetLastError();
    SERVICE_STATUS_PROCESS Now{};
    return (Error == ERROR_SERVICE_NOT_ACTIVE || Error == ERROR_SERVICE_CANNOT_ACCEPT_CTRL) &&
           QueryStatus(Open.Service.Get(), Now) &&
           (Now.dwCurrentState == SERVICE_STOPPED || Now.dwCurrentState == SERVICE_STOP_PENDING);
}

bool TWin32Services::Start(const std::string& Name)
{
    const TOpenService Open = OpenNamedService(Name, SERVICE_START);
    if (!Open.Service.Valid())
        return false;
    return StartServiceW(Open.Service.Get(), 0, nullptr) != FALSE || GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
}

bool TWin32Services::WaitForState(const std::string& Name, TServiceState Wanted, std::uint32_t BoundMilliseconds)
{
    const TOpenService Open = OpenNamedService(Name, SERVICE_QUERY_STATUS);
    if (!Open.Service.Valid())
        return false;
    const ULONGLONG Started = GetTickCount64();
    for (;;) {
        SERVICE_STATUS_PROCESS Status{};
        if (!QueryStatus(Open.Service.Get(), Status))
            return false;
        if (StateOf(Status.dwCurrentState) == Wanted)
            return true;
        const ULONGLONG Waited = GetTickCount64() - Started;
        if (Waited >= BoundMilliseconds)
            return false;
        // A tenth of the service's own estimate, as the manager's samples
        // poll, but between 100 ms and one second.
        const ULONGLONG Pause = std::clamp<ULONGLONG>(Status.dwWaitHint / 10, 100, 1000);
        Sleep(static_cast<DWORD>(std::min<ULONGLONG>(Pause, BoundMilliseconds - Waited)));
    }
}

}  // namespace platform
