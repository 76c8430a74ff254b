// COM on the calling thread for as long as the object lives: the shell's
// recycle bin wants it on the thread that uses it.
#pragma once

#include <objbase.h>

namespace platform {

class TComScope {
public:
    TComScope() : FInitialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~TComScope()
    {
        if (FInitialized)
            CoUninitialize();
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    bool FInitialized;
};

}  // namespace platform
