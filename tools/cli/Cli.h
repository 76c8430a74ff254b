// velmorant-cli's commands over the application core, on whatever platform
// it is given: the Win32 one in the program, our own native one in tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace cli {

enum : int { ExitClean = 0, ExitProblems = 1, ExitError = 2 };

// Arguments without the program's name.
int RunCli(const platform::TPlatform& Platform, const std::vector<std::string>& Arguments, std::ostream& Out,
           std::ostream& Err);

}  // namespace cli
