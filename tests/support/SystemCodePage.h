// Tests whose expectations hold for Windows-1252 only, which is the ANSI code
// page of the portable build and of most Western Windows systems.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

namespace testing_support {

inline bool AnsiIsWindows1252()
{
#ifdef _WIN32
    return GetACP() == 1252;
#else
    return true;
#endif
}

}  // namespace testing_support
