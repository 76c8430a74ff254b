#include "ui/win32/BaseWindow.h"

#include <tuple>

#include "ui/win32/resources/ResourceIds.h"

namespace ui {

void RegisterWindowClass(const wchar_t* Name, WNDPROC Procedure, HBRUSH Background)
{
    WNDCLASSEXW Class{};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), Name, &Class))
        return;
    Class.cbSize = sizeof(Class);
    Class.lpfnWndProc = Procedure;
    Class.hInstance = GetModuleHandleW(nullptr);
    Class.hIcon = LoadIconW(Class.hInstance, MAKEINTRESOURCEW(IDI_APP));
    Class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Class.hbrBackground = Background;
    Class.lpszClassName = Name;
    RegisterClassExW(&Class);
}

void SetProgramIcon(HWND Dialog)
{
    const HINSTANCE Program = GetModuleHandleW(nullptr);
    for (const auto& [Kind, Width, Height] : {std::tuple{ICON_BIG, SM_CXICON, SM_CYICON},
                                              std::tuple{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}) {
        HANDLE Icon = LoadImageW(Program, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, GetSystemMetrics(Width),
                                 GetSystemMetrics(Height), LR_SHARED);
        SendMessageW(Dialog, WM_SETICON, Kind, reinterpret_cast<LPARAM>(Icon));
    }
}

}  // namespace ui
