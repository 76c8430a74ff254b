// A service of our own for the font cache reset's test under Wine, installed
// in the test's prefix under the name "FontCache". It writes "start" and
// "stop" lines into a log as the service control manager starts and stops
// it. While it runs it holds HELD open without sharing deletion, as the
// real service holds its caches, and it takes STOP-MILLISECONDS to stop:
// the file can only be deleted once the reset has waited for the stop.
//
//     velmorant-fake-service NAME LOG STOP-MILLISECONDS [HELD]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::wstring GName;
std::wstring GLog;
std::wstring GHeld;
DWORD GStopMilliseconds = 0;
SERVICE_STATUS_HANDLE GStatusHandle = nullptr;
HANDLE GStopAsked = nullptr;

void Report(DWORD State, DWORD WaitHint = 0)
{
    SERVICE_STATUS Status{};
    Status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    Status.dwCurrentState = State;
    Status.dwControlsAccepted = State == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    Status.dwWaitHint = WaitHint;
    Status.dwCheckPoint = State == SERVICE_STOP_PENDING ? 1 : 0;
    SetServiceStatus(GStatusHandle, &Status);
}

void Note(const char* Line)
{
    if (FILE* Log = _wfopen(GLog.c_str(), L"a")) {
        std::fprintf(Log, "%s\n", Line);
        std::fclose(Log);
    }
}

DWORD WINAPI Control(DWORD Code, DWORD, void*, void*)
{
    if (Code != SERVICE_CONTROL_STOP)
        return Code == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
    Report(SERVICE_STOP_PENDING, GStopMilliseconds + 1000);
    SetEvent(GStopAsked);
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, wchar_t**)
{
    GStatusHandle = RegisterServiceCtrlHandlerExW(GName.c_str(), Control, nullptr);
    if (GStatusHandle == nullptr)
        return;
    // Once the reset has deleted it, a started service finds it no more.
    const HANDLE Held = GHeld.empty() ? INVALID_HANDLE_VALUE
                                      : CreateFileW(GHeld.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    Note(Held != INVALID_HANDLE_VALUE ? "start holding" : "start");
    Report(SERVICE_RUNNING);
    WaitForSingleObject(GStopAsked, INFINITE);
    Sleep(GStopMilliseconds);
    if (Held != INVALID_HANDLE_VALUE)
        CloseHandle(Held);
    Note("stop");
    Report(SERVICE_STOPPED);
}

}  // namespace

int wmain(int Count, wchar_t** Arguments)
{
    if (Count != 4 && Count != 5)
        return 2;
    GName = Arguments[1];
    GLog = Arguments[2];
    GStopMilliseconds = static_cast<DWORD>(std::wcstoul(Arguments[3], nullptr, 10));
    if (Count == 5)
        GHeld = Arguments[4];
    GStopAsked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SERVICE_TABLE_ENTRYW Table[] = {{GName.data(), ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(Table) ? 0 : 1;
}
