#include "ui/win32/ReadMeFrm.h"

#include <algorithm>

#include "ui/model/ScanLog.h"
#include "ui/win32/Controls.h"
#include "ui/win32/resources/ResourceIds.h"

namespace ui {

void TReadMeForm::ShowModal(HWND Owner) { RunModal(Owner, IDD_READ_ME); }

INT_PTR TReadMeForm::HandleMessage(UINT Message, WPARAM WParam, LPARAM)
{
    switch (Message) {
    case WM_INITDIALOG: {
        // Centred over the main window, and wholly on its monitor's work
        // area, whatever the DPI makes of the template's size.
        RECT Owner{}, Own{};
        GetWindowRect(GetWindow(FHandle, GW_OWNER) != nullptr ? GetWindow(FHandle, GW_OWNER) : GetDesktopWindow(),
                      &Owner);
        GetWindowRect(FHandle, &Own);
        MONITORINFO Monitor{};
        Monitor.cbSize = sizeof(Monitor);
        GetMonitorInfoW(MonitorFromRect(&Owner, MONITOR_DEFAULTTONEAREST), &Monitor);
        const RECT& Work = Monitor.rcWork;
        const LONG Width = Own.right - Own.left, Height = Own.bottom - Own.top;
        const LONG Left = std::max(Work.left, std::min((Owner.left + Owner.right - Width) / 2, Work.right - Width));
        const LONG Top = std::max(Work.top, std::min((Owner.top + Owner.bottom - Height) / 2, Work.bottom - Height));
        SetWindowPos(FHandle, nullptr, Left, Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetText(GetDlgItem(FHandle, IDC_READ_ME_TEXT), ReadMeText());
        // The button, not the text, has the focus: Enter closes the window.
        SetFocus(GetDlgItem(FHandle, IDOK));
        return FALSE;
    }
    case WM_CTLCOLORSTATIC:
        // The read-only text keeps the look of a text box.
        SetBkColor(reinterpret_cast<HDC>(WParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    case WM_COMMAND:
        if (LOWORD(WParam) == IDOK || LOWORD(WParam) == IDCANCEL) {
            EndDialog(FHandle, LOWORD(WParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace ui
