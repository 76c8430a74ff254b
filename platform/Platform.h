// The platform services the application core is given; it owns none of them.
#pragma once

#include "FileSystem.h"
#include "Registry.h"
#include "Shell.h"
#include "SystemInfo.h"

namespace platform {

struct TPlatform {
    IRegistry& Registry;
    IShell& Shell;
    IFileSystem& Files;
    ISystemInfo& System;
    ITextServices& Text;
};

}  // namespace platform
