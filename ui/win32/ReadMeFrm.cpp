#include "ui/win32/ReadMeFrm.h"

#include "ui/model/ScanLog.h"
#include "ui/win32/Controls.h"
#include "ui/win32/resources/ResourceIds.h"

namespace ui {

void TReadMeForm::ShowModal(HWND Owner) { RunModal(Owner, IDD_READ_ME); }

INT_PTR TReadMeForm::HandleMessage(UINT Message, WPARAM WParam, LPARAM)
{
    switch (Message) {
    case WM_INITDIALOG: {
        // The template's place on the screen is the frame's, as the window's
        // design gives it; the dialog manager puts the client area there.
        POINT Client{0, 0};
        ClientToScreen(FHandle, &Client);
        SetWindowPos(FHandle, nullptr, Client.x, Client.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
