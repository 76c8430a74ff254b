// What every window of the program shares: sizes scaled from their 96 DPI
// figures, the window font, text for the wide API, the general error
// handler, and the modal loop of the About and Read Me windows.
#pragma once

#include <windows.h>

#include <exception>

#include <string>
#include <string_view>

namespace ui {

// The system DPI, read once: the program is system-DPI-aware.
int ScreenDpi();
int Scale(int Pixels96);

// A GDI font that the object deletes.
class TFont {
public:
    TFont(const wchar_t* Face, int Points, int Weight = FW_NORMAL, DWORD PitchAndFamily = DEFAULT_PITCH | FF_SWISS);
    ~TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;
    HFONT Handle() const { return FHandle; }

private:
    HFONT FHandle;
};

// "MS Sans Serif", 8 points: the font of every window.
HFONT WindowFont();

std::wstring Wide(std::string_view Utf8);
std::string WindowTextOf(HWND Window);
void SetText(HWND Window, std::string_view Utf8);

HWND CreateChild(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int Width, int Height,
                 HWND Parent, int Id, DWORD ExStyle = 0);

// The general error handler: an error that escaped a command, in a message
// box; the program goes on.
void ShowError(HWND Owner, std::string_view Message);

// Runs Window as a modal window of Owner until it is destroyed: the owner is
// disabled meanwhile, and Tab, Enter (IDOK) and Escape (IDCANCEL) work as in
// a dialog.
void RunModal(HWND Owner, HWND Window);
// Closes a window that RunModal runs: its owner is enabled first, so that
// Windows gives the owner the activation back rather than another program.
void CloseModal(HWND Window);
// WM_NEXTDLGCTL, which IsDialogMessage sends for Tab and Shift+Tab: the focus
// moves to the next (previous) control with WS_TABSTOP, or to the one given.
void MoveTabFocus(HWND Window, WPARAM WParam, LPARAM LParam);

// Registers a window class of the program once; its procedure hands every
// message to the object stored at creation (lpCreateParams).
template <class TWindow>
LRESULT CALLBACK RoutedWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    if (Message == WM_NCCREATE) {
        auto* Create = reinterpret_cast<CREATESTRUCTW*>(LParam);
        SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Create->lpCreateParams));
        static_cast<TWindow*>(Create->lpCreateParams)->FHandle = Window;
    }
    auto* Object = reinterpret_cast<TWindow*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (Object == nullptr)
        return DefWindowProcW(Window, Message, WParam, LParam);
    if (Message == WM_NCDESTROY) {
        SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
        Object->FHandle = nullptr;
        return DefWindowProcW(Window, Message, WParam, LParam);
    }
    // The general error handler: whatever escapes a command is shown, and
    // the program goes on.
    try {
        return Object->HandleMessage(Message, WParam, LParam);
    } catch (const std::exception& Error) {
        ShowError(Window, Error.what());
        return 0;
    }
}

void RegisterWindowClass(const wchar_t* Name, WNDPROC Procedure, HBRUSH Background);

}  // namespace ui
