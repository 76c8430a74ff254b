#include "ui/win32/Controls.h"

#include <map>
#include <memory>

#include "base/TextConversion.h"
#include "ui/win32/resources/ResourceIds.h"

namespace ui {

namespace {

int& CurrentDpi()
{
    static int Dpi = [] {
        HDC Screen = GetDC(nullptr);
        const int Value = GetDeviceCaps(Screen, LOGPIXELSY);
        ReleaseDC(nullptr, Screen);
        return Value > 0 ? Value : 96;
    }();
    return Dpi;
}

}  // namespace

int ScreenDpi() { return CurrentDpi(); }

void SetScreenDpi(int Dpi)
{
    // Windows proposes DPIs from 96 to a few times that; anything else is
    // no monitor's.
    if (Dpi >= 48 && Dpi <= 960)
        CurrentDpi() = Dpi;
}

int Scale(int Pixels96) { return MulDiv(Pixels96, ScreenDpi(), 96); }

TFont::TFont(const wchar_t* Face, int Points, int Weight, DWORD PitchAndFamily)
    : FHandle(CreateFontW(-MulDiv(Points, ScreenDpi(), 72), 0, 0, 0, Weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, PitchAndFamily, Face))
{
}

TFont::~TFont()
{
    if (FHandle != nullptr)
        DeleteObject(FHandle);
}

TRedrawPause::TRedrawPause(HWND Window) : FWindow(Window) { SendMessageW(FWindow, WM_SETREDRAW, FALSE, 0); }

TRedrawPause::~TRedrawPause()
{
    SendMessageW(FWindow, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(FWindow, nullptr, TRUE);
}

HFONT WindowFont()
{
    // One per DPI met, kept: a control may still hold the last one.
    static std::map<int, std::unique_ptr<TFont>> Fonts;
    std::unique_ptr<TFont>& Font = Fonts[ScreenDpi()];
    if (!Font)
        Font = std::make_unique<TFont>(L"MS Sans Serif", 8);
    return Font->Handle();
}

std::wstring ResourceText(unsigned Id)
{
    // With no buffer LoadString hands out the resource's own text, which
    // need not end in a zero: its length says where it ends.
    const wchar_t* Text = nullptr;
    const int Length = LoadStringW(GetModuleHandleW(nullptr), Id, reinterpret_cast<wchar_t*>(&Text), 0);
    return Length > 0 && Text != nullptr ? std::wstring(Text, static_cast<std::size_t>(Length)) : std::wstring();
}

std::wstring Wide(std::string_view Utf8) { return base::Utf8ToWide(Utf8); }

std::string WindowTextOf(HWND Window)
{
    std::wstring Text(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
    Text.resize(static_cast<std::size_t>(GetWindowTextW(Window, Text.data(), static_cast<int>(Text.size()))));
    return base::WideToUtf8(Text);
}

void SetText(HWND Window, std::string_view Utf8) { SetWindowTextW(Window, Wide(Utf8).c_str()); }

HWND CreateChild(const wchar_t* Class, const wchar_t* Text, DWORD Style, int X, int Y, int Width, int Height,
                 HWND Parent, int Id, DWORD ExStyle)
{
    HWND Child = CreateWindowExW(ExStyle, Class, Text, WS_CHILD | WS_VISIBLE | Style, X, Y, Width, Height, Parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(Child, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
    return Child;
}

HIMAGELIST IconList(std::initializer_list<int> Icons)
{
    const int Size = Scale(16);
    HIMAGELIST List = ImageList_Create(Size, Size, ILC_COLOR32 | ILC_MASK, static_cast<int>(Icons.size()), 0);
    for (int Id : Icons) {
        HICON Icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(Id), IMAGE_ICON, Size, Size, LR_DEFAULTCOLOR));
        ImageList_AddIcon(List, Icon);
        DestroyIcon(Icon);
    }
    return List;
}

void ShowError(HWND Owner, std::string_view Message)
{
    MessageBoxW(Owner, Wide(Message).c_str(), ResourceText(IDS_PROGRAM_NAME).c_str(), MB_OK | MB_ICONERROR);
}

void MoveTabFocus(HWND Window, WPARAM WParam, LPARAM LParam)
{
    if (LOWORD(LParam) != 0) {
        SetFocus(reinterpret_cast<HWND>(WParam));
        return;
    }
    if (HWND Next = GetNextDlgTabItem(Window, GetFocus(), WParam != 0); Next != nullptr)
        SetFocus(Next);
}

}  // namespace ui
