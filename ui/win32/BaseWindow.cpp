#include "ui/win32/BaseWindow.h"

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

}  // namespace ui
