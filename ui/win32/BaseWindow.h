// TBaseWindow: a window of the program whose messages go to a member of the
// object that made it. The class is registered once; the object binds itself
// to its window at WM_NCCREATE through GWLP_USERDATA and lets go at
// WM_NCDESTROY, so that no message reaches an object that is gone.
#pragma once

#include <windows.h>

#include <exception>

#include "ui/win32/Controls.h"

namespace ui {

// Registers a window class of the program once, with the program's icon.
void RegisterWindowClass(const wchar_t* Name, WNDPROC Procedure, HBRUSH Background);

// TDerived has LRESULT HandleMessage(UINT, WPARAM, LPARAM); whatever it does
// not handle it passes to DefWindowProc itself.
template <class TDerived>
class TBaseWindow {
public:
    HWND Handle() const { return FHandle; }

protected:
    TBaseWindow() = default;
    ~TBaseWindow() = default;
    TBaseWindow(const TBaseWindow&) = delete;
    TBaseWindow& operator=(const TBaseWindow&) = delete;

    void Create(const wchar_t* ClassName, const wchar_t* Caption, DWORD Style, DWORD ExStyle, const RECT& Place,
                HWND Owner)
    {
        RegisterWindowClass(ClassName, &TBaseWindow::WindowProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        CreateWindowExW(ExStyle, ClassName, Caption, Style, Place.left, Place.top, Place.right - Place.left,
                        Place.bottom - Place.top, Owner, nullptr, GetModuleHandleW(nullptr), this);
    }

    HWND FHandle = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
    {
        if (Message == WM_NCCREATE) {
            auto* Created = static_cast<TBaseWindow*>(reinterpret_cast<CREATESTRUCTW*>(LParam)->lpCreateParams);
            Created->FHandle = Window;
            SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Created));
        }
        auto* Self = reinterpret_cast<TBaseWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
        if (Self == nullptr)
            return DefWindowProcW(Window, Message, WParam, LParam);
        if (Message == WM_NCDESTROY) {
            SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
            Self->FHandle = nullptr;
            return DefWindowProcW(Window, Message, WParam, LParam);
        }
        // The general error handler: whatever escapes a command is shown,
        // and the program goes on.
        try {
            return static_cast<TDerived*>(Self)->HandleMessage(Message, WParam, LParam);
        } catch (const std::exception& Error) {
            ShowError(Window, Error.what());
            return 0;
        }
    }
};

}  // namespace ui
