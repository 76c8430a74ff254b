// The platform services the application core is given; it owns none of them.
#pragma once

#include "platform/FileSystem.h"
#include "platform/FontSession.h"
#include "platform/Registry.h"
#include "platform/Services.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"

namespace platform {

struct TPlatform {
    IRegistry& Registry;
    IShell& Shell;
    IFileSystem& Files;
    ISystemInfo& System;
    ITextServices& Text;
    IFontSession& Session;
    IServices& Services;
};

}  // namespace platform
