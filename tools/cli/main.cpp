// velmorant-cli: the application core on the running Windows, for
// administrators and scripts.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "base/TextConversion.h"
#include "platform/win32/ComScope.h"
#include "platform/win32/Win32Platform.h"
#include "tools/cli/Cli.h"

int wmain(int Count, wchar_t** Arguments)
{
    // Names of any script: what the console shows and a pipe carries is UTF-8.
    SetConsoleOutputCP(CP_UTF8);
    std::ios::sync_with_stdio(false);
    const platform::TComScope Com;
    std::vector<std::string> Words;
    for (int i = 1; i < Count; ++i)
        Words.push_back(base::WideToUtf8(Arguments[i]));
    platform::TWin32Platform Machine(platform::TWin32Shell::TUi::Silent);
    const int Status = cli::RunCli(Machine.Platform(), Words, std::cin, std::cout, std::cerr);
    std::cout.flush();
    return Status;
}
