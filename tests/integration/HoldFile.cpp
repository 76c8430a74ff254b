// Another program that holds a file open, for the console's tests under
// Wine: "exclusive" shares it with nobody, "write" opens it for writing and
// shares reading and writing but not deletion. Prints "holding" once the file
// is open, and closes it when a line arrives on standard input.
//
//     velmorant-hold-file exclusive|write PATH
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int Count, wchar_t** Arguments)
{
    if (Count != 3)
        return 2;
    const bool Exclusive = std::wcscmp(Arguments[1], L"exclusive") == 0;
    const DWORD Share = Exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    const HANDLE File = CreateFileW(Arguments[2], GENERIC_READ | GENERIC_WRITE, Share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE) {
        std::printf("cannot open: %lu\n", GetLastError());
        return 1;
    }
    std::printf("holding\n");
    std::fflush(stdout);
    char Line[16];
    std::fgets(Line, sizeof Line, stdin);
    CloseHandle(File);
    return 0;
}
