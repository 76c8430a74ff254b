// Runs a program as an administrator's programs run without elevation: with
// the limited token linked to the elevated one this program gets, as User
// Account Control gives it. Waits for the program and ends with its exit
// status; 125 when it cannot start it.
//
//     velmorant-run-limited PROGRAM [ARGUMENTS]...
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int Count, wchar_t** Arguments)
{
    if (Count < 2)
        return 125;
    std::wstring Line;
    for (int i = 1; i < Count; ++i) {
        // Our tests' arguments hold no quotes of their own.
        const std::wstring Argument = Arguments[i];
        const bool Quote = Argument.empty() || Argument.find_first_of(L" \t") != std::wstring::npos;
        Line += (i > 1 ? L" " : L"") + (Quote ? L"\"" + Argument + L"\"" : Argument);
    }
    HANDLE Token = nullptr;
    TOKEN_LINKED_TOKEN Linked{};
    DWORD Size = 0;
    HANDLE Primary = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &Token) ||
        !GetTokenInformation(Token, TokenLinkedToken, &Linked, sizeof Linked, &Size) ||
        !DuplicateTokenEx(Linked.LinkedToken, TOKEN_ALL_ACCESS, nullptr, SecurityImpersonation, TokenPrimary,
                          &Primary)) {
        std::fprintf(stderr, "no limited token: %lu\n", GetLastError());
        return 125;
    }
    STARTUPINFOW Startup{};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Process{};
    if (!CreateProcessAsUserW(Primary, nullptr, Line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &Startup,
                              &Process)) {
        std::fprintf(stderr, "cannot start: %lu\n", GetLastError());
        return 125;
    }
    WaitForSingleObject(Process.hProcess, INFINITE);
    DWORD Status = 125;
    GetExitCodeProcess(Process.hProcess, &Status);
    return static_cast<int>(Status);
}
