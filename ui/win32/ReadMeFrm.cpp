#include "ui/win32/ReadMeFrm.h"

#include "ui/model/ScanLog.h"
#include "ui/win32/Controls.h"

namespace ui {

namespace {

const wchar_t* const ClassName = L"TReadMeForm";
constexpr int TextId = 300;
constexpr DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | DS_MODALFRAME;
constexpr DWORD ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

}  // namespace

TReadMeForm::TReadMeForm(HWND Owner)
{
    RECT Frame{0, 0, Scale(604), Scale(251)};
    AdjustWindowRectEx(&Frame, Style, FALSE, ExStyle);
    OffsetRect(&Frame, Scale(250) - Frame.left, Scale(245) - Frame.top);
    Create(ClassName, L"Read Me", Style, ExStyle, Frame, Owner);
}

TReadMeForm::~TReadMeForm()
{
    if (FHandle != nullptr)
        DestroyWindow(FHandle);
}

LRESULT TReadMeForm::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam)
{
    switch (Message) {
    case WM_CREATE: {
        const int Panel = Scale(33);
        HWND Text = CreateChild(L"EDIT", Wide(ReadMeText()).c_str(),
                                WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, Scale(604),
                                Scale(251) - Panel, FHandle, TextId, WS_EX_CLIENTEDGE);
        FOk = CreateChild(L"BUTTON", L"Ok", WS_TABSTOP | BS_DEFPUSHBUTTON, Scale(272), Scale(251) - Panel + Scale(4),
                          Scale(75), Scale(25), FHandle, IDOK);
        (void)Text;
        return 0;
    }
    case WM_SHOWWINDOW:
        if (WParam)
            SetFocus(FOk);
        break;
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(WParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_COMMAND:
        if (LOWORD(WParam) == IDOK || LOWORD(WParam) == IDCANCEL) {
            CloseModal(FHandle);
            return 0;
        }
        break;
    case WM_NEXTDLGCTL: MoveTabFocus(FHandle, WParam, LParam); return 0;
    case WM_CLOSE: CloseModal(FHandle); return 0;
    default: break;
    }
    return DefWindowProcW(FHandle, Message, WParam, LParam);
}

}  // namespace ui
