// TBaseWindow and TBaseDialog: a window (a dialog from a template) of the
// program whose messages go to a member of the object that made it. The
// object binds itself to its window through GWLP_USERDATA at the first
// message that carries it (WM_NCCREATE, WM_INITDIALOG) and lets go at
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

// A dialog's caption shows the program's icon, as the class of its other
// windows does.
void SetProgramIcon(HWND Dialog);

// TDerived has INT_PTR HandleMessage(UINT, WPARAM, LPARAM), a dialog
// procedure: TRUE for a message it handled, FALSE to leave it to the dialog
// manager. The dialog manager gives Escape (IDCANCEL), Enter (the default
// button) and Tab their dialog meaning.
template <class TDerived>
class TBaseDialog {
public:
    HWND Handle() const { return FHandle; }

    // Runs the dialog modally over Owner, which is disabled meanwhile, until
    // EndDialog; returns EndDialog's result.
    INT_PTR RunModal(HWND Owner, int TemplateId)
    {
        return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TemplateId), Owner, &TBaseDialog::DialogProc,
                               reinterpret_cast<LPARAM>(this));
    }

protected:
    TBaseDialog() = default;
    ~TBaseDialog() = default;
    TBaseDialog(const TBaseDialog&) = delete;
    TBaseDialog& operator=(const TBaseDialog&) = delete;

    // A dialog procedure answers most messages with TRUE or FALSE; those
    // that answer a value of their own (WM_SETCURSOR) set it here.
    INT_PTR Answer(LRESULT Result)
    {
        SetWindowLongPtrW(FHandle, DWLP_MSGRESULT, Result);
        return TRUE;
    }

    HWND FHandle = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND Dialog, UINT Message, WPARAM WParam, LPARAM LParam)
    {
        if (Message == WM_INITDIALOG) {
            auto* Created = reinterpret_cast<TBaseDialog*>(LParam);
            Created->FHandle = Dialog;
            SetWindowLongPtrW(Dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Created));
            SetProgramIcon(Dialog);
        }
        auto* Self = reinterpret_cast<TBaseDialog*>(GetWindowLongPtrW(Dialog, GWLP_USERDATA));
        if (Self == nullptr)
            return FALSE;
        if (Message == WM_NCDESTROY) {
            SetWindowLongPtrW(Dialog, GWLP_USERDATA, 0);
            Self->FHandle = nullptr;
            return FALSE;
        }
        try {
            return static_cast<TDerived*>(Self)->HandleMessage(Message, WParam, LParam);
        } catch (const std::exception& Error) {
            ShowError(Dialog, Error.what());
            return TRUE;
        }
    }
};

}  // namespace ui
