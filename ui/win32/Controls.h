// What every window of the program shares: sizes scaled from their 96 DPI
// figures, the window font, the program's texts and text for the wide API,
// the general error
// handler, and the Tab key outside dialogs.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace ui {

// The DPI the program draws at: the system's at start, then that of the
// monitor the main window was moved to (WM_DPICHANGED; the program is
// per-monitor DPI aware).
int ScreenDpi();
void SetScreenDpi(int Dpi);
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

// Stops a window's drawing while many of its items change, then paints it
// once: a list control would otherwise invalidate every item it changes, a
// call to the window system each.
class TRedrawPause {
public:
    explicit TRedrawPause(HWND Window);
    ~TRedrawPause();
    TRedrawPause(const TRedrawPause&) = delete;
    TRedrawPause& operator=(const TRedrawPause&) = delete;

private:
    HWND FWindow;
};

// "MS Sans Serif", 8 points at the current DPI: the font of every window.
HFONT WindowFont();

// A text of the program's string table (resources/Strings.rc), in the
// language the resources hold; empty for an identifier it lacks.
std::wstring ResourceText(unsigned Id);

std::wstring Wide(std::string_view Utf8);
std::string WindowTextOf(HWND Window);
void SetText(HWND Window, std::string_view Utf8);

// The program's icons at the small size of the screen's DPI, in the order
// given.
HIMAGELIST IconList(std::initializer_list<int> Icons);

HWND CreateChild(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int Width, int Height,
                 HWND Parent, int Id, DWORD ExStyle = 0);

// The general error handler: an error that escaped a command, in a message
// box; the program goes on.
void ShowError(HWND Owner, std::string_view Message);

// WM_NEXTDLGCTL, which IsDialogMessage sends for Tab and Shift+Tab: the focus
// moves to the next (previous) control with WS_TABSTOP, or to the one given.
void MoveTabFocus(HWND Window, WPARAM WParam, LPARAM LParam);

}  // namespace ui
