// velmorant-cli's commands over the application core, on whatever platform
// it is given: the Win32 one in the program, our own native one in tests.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace cli {

enum : int { ExitClean = 0, ExitProblems = 1, ExitError = 2 };

// Arguments without the program's name. In is what `repair
// --pause-before-repair` waits on; without it, it reads an empty input.
int RunCli(const platform::TPlatform& Platform, const std::vector<std::string>& Arguments, std::ostream& Out,
           std::ostream& Err);
int RunCli(const platform::TPlatform& Platform, const std::vector<std::string>& Arguments, std::istream& In,
           std::ostream& Out, std::ostream& Err);

}  // namespace cli
