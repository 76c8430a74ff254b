// The one owner of a Windows handle: it closes the handle, in the way its
// kind is closed, when it goes. Windows builds only.
#pragma once

#ifdef _WIN32

#include <windows.h>
// Left out of <windows.h> by WIN32_LEAN_AND_MEAN.
#include <winsvc.h>

#include <utility>

namespace base {

template <typename Kind>
class TWin32Handle {
public:
    using THandle = typename Kind::THandle;

    TWin32Handle() = default;
    explicit TWin32Handle(THandle Handle) : FHandle(Handle) {}
    ~TWin32Handle() { Reset(); }
    TWin32Handle(TWin32Handle&& Other) noexcept : FHandle(std::exchange(Other.FHandle, Kind::Invalid())) {}
    TWin32Handle& operator=(TWin32Handle&& Other) noexcept
    {
        if (this != &Other) {
            Reset();
            FHandle = std::exchange(Other.FHandle, Kind::Invalid());
        }
        return *this;
    }

    THandle Get() const { return FHandle; }
    bool Valid() const { return FHandle != Kind::Invalid(); }
    void Reset()
    {
        if (Valid())
            Kind::Close(FHandle);
        FHandle = Kind::Invalid();
    }

private:
    THandle FHandle = Kind::Invalid();
};

struct TFileHandleKind {
    using THandle = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE Handle) { CloseHandle(Handle); }
};

struct TFindHandleKind {
    using THandle = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE Handle) { FindClose(Handle); }
};

struct TRegistryKeyKind {
    using THandle = HKEY;
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY Key) { RegCloseKey(Key); }
};

struct TServiceHandleKind {
    using THandle = SC_HANDLE;
    static SC_HANDLE Invalid() { return nullptr; }
    static void Close(SC_HANDLE Service) { CloseServiceHandle(Service); }
};

using TFileHandle = TWin32Handle<TFileHandleKind>;
using TFindHandle = TWin32Handle<TFindHandleKind>;
using TRegistryKeyHandle = TWin32Handle<TRegistryKeyKind>;
// A handle of the service control manager or of one service.
using TServiceHandle = TWin32Handle<TServiceHandleKind>;

}  // namespace base

#endif
