#include "ui/win32/MainFrm.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "ui/win32/resources/ResourceIds.h"

namespace ui {

namespace {

const wchar_t* const ClassName = L"TMainForm";
constexpr int ResultsId = 201;
constexpr int StatusId = 202;
constexpr int ToolBarId = 203;
constexpr int SplitterHeight = 3;

}  // namespace

TMainForm::TMainForm(const platform::TPlatform& Platform, const TFileVersionInfo& Version)
    : FPlatform(Platform), FVersion(Version), FLogHeight(Scale(121))
{
    // Wider by the preview pane, as far as the screen allows.
    const int Width = std::min(Scale(793) + TPreviewPane::DefaultWidth(), GetSystemMetrics(SM_CXSCREEN));
    const int Height = Scale(443);
    // Centred on the screen.
    const int Left = (GetSystemMetrics(SM_CXSCREEN) - Width) / 2;
    const int Top = (GetSystemMetrics(SM_CYSCREEN) - Height) / 2;
    Create(ClassName, ResourceText(IDS_PROGRAM_NAME).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, {Left, Top, Left + Width, Top + Height},
           nullptr);
}

TMainForm::~TMainForm()
{
    if (FHandle != nullptr && IsWindow(FHandle))
        DestroyWindow(FHandle);
}

void TMainForm::CreateControls()
{
    // FormCreate: the empty inventory; the Read Me window waits for the first
    // idle moment.
    FInstalledFonts = std::make_unique<app::TInstalledFonts>(FPlatform, *this);
    FKeys = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_MAIN));
    CreateToolBar();
    CreateList();
    FPreview = std::make_unique<TPreviewPane>(FHandle, [this] { Layout(); });
    FPreview->Show("", "");
    CreateLogAndStatus();
    SetFocus(FFonts->Handle());
}

void TMainForm::CreateToolBar()
{
    FToolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBSTYLE_FLAT |
                               TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0, FHandle,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(ToolBarId)), GetModuleHandleW(nullptr),
                               nullptr);
    SendMessageW(FToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(FToolBar, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
    FToolImages = ToolImages();
    SendMessageW(FToolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FToolImages));
    // The toolbar keeps copies of the captions.
    const std::wstring Captions[] = {ResourceText(IDS_BUTTON_SCAN), ResourceText(IDS_BUTTON_REPAIR),
                                     ResourceText(IDS_BUTTON_READ_ME), ResourceText(IDS_BUTTON_ABOUT),
                                     ResourceText(IDS_BUTTON_EXIT)};
    auto Button = [&Captions](int Image, int Command, int Caption) {
        return TBBUTTON{Image, Command, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0,
                        reinterpret_cast<INT_PTR>(Captions[Caption].c_str())};
    };
    const TBBUTTON Separator{0, 0, 0, BTNS_SEP, {}, 0, 0};
    const TBBUTTON Buttons[] = {Button(0, ID_SCAN, 0), Separator, Button(1, ID_REPAIR, 1), Separator,
                                Button(4, ID_READ_ME, 2), Button(3, ID_ABOUT, 3), Separator, Button(2, ID_EXIT, 4)};
    SendMessageW(FToolBar, TB_ADDBUTTONSW, std::size(Buttons), reinterpret_cast<LPARAM>(Buttons));
    SendMessageW(FToolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scale(81), Scale(36)));
    SendMessageW(FToolBar, TB_AUTOSIZE, 0, 0);
    SetWindowSubclass(FToolBar, &TMainForm::ToolBarProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void TMainForm::MoveHotButton(int Step)
{
    // The next button that can be pressed, round the ends; separators and
    // disabled buttons are passed over.
    const auto Count = static_cast<int>(SendMessageW(FToolBar, TB_BUTTONCOUNT, 0, 0));
    int Hot = static_cast<int>(SendMessageW(FToolBar, TB_GETHOTITEM, 0, 0));
    if (Hot < 0)
        Hot = Step > 0 ? -1 : Count;
    for (int Tried = 0; Tried < Count; ++Tried) {
        Hot = (Hot + Step + Count) % Count;
        TBBUTTON Button{};
        if (SendMessageW(FToolBar, TB_GETBUTTON, static_cast<WPARAM>(Hot), reinterpret_cast<LPARAM>(&Button)) &&
            !(Button.fsStyle & BTNS_SEP) && (Button.fsState & TBSTATE_ENABLED)) {
            SendMessageW(FToolBar, TB_SETHOTITEM, static_cast<WPARAM>(Hot), 0);
            return;
        }
    }
}

LRESULT CALLBACK TMainForm::ToolBarProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR,
                                        DWORD_PTR Data)
{
    // The toolbar keeps the arrow keys, Enter and Space to itself: the
    // dialog manager would move the focus with the arrows.
    auto* Self = reinterpret_cast<TMainForm*>(Data);
    switch (Message) {
    case WM_GETDLGCODE: return DefSubclassProc(Window, Message, WParam, LParam) | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        switch (WParam) {
        case VK_LEFT:
        case VK_UP: Self->MoveHotButton(-1); return 0;
        case VK_RIGHT:
        case VK_DOWN: Self->MoveHotButton(1); return 0;
        case VK_SPACE:
        case VK_RETURN: Self->PressHotButton(); return 0;
        default: break;
        }
        break;
    case WM_CHAR:
        if (WParam == L' ' || WParam == L'\r')
            return 0;
        break;
    case WM_SETFOCUS:
        // Reached from the keyboard: a button shows which one Enter presses.
        if (SendMessageW(Window, TB_GETHOTITEM, 0, 0) < 0)
            Self->MoveHotButton(1);
        break;
    case WM_KILLFOCUS:
        // No highlight stays behind on a toolbar the focus has left.
        SendMessageW(Window, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
        break;
    default: break;
    }
    return DefSubclassProc(Window, Message, WParam, LParam);
}

void TMainForm::CreateLogAndStatus()
{
    FResults = CreateChild(L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0,
                           0, 0, FHandle, ResultsId, WS_EX_CLIENTEDGE);
    FLogFont = LogFont();
    SendMessageW(FResults, WM_SETFONT, reinterpret_cast<WPARAM>(FLogFont->Handle()), FALSE);
    SendMessageW(FResults, EM_SETLIMITTEXT, 0, 0);

    FStatusBar = CreateChild(STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, 0, 0, 0, 0, FHandle, StatusId);
    int Parts[] = {-1};
    SendMessageW(FStatusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(Parts));
}

void TMainForm::Layout()
{
    RECT Client;
    GetClientRect(FHandle, &Client);
    SendMessageW(FToolBar, TB_AUTOSIZE, 0, 0);
    SendMessageW(FStatusBar, WM_SIZE, 0, 0);
    RECT Bar;
    GetWindowRect(FToolBar, &Bar);
    const int Top = Bar.bottom - Bar.top;
    GetWindowRect(FStatusBar, &Bar);
    const int Bottom = Client.bottom - (Bar.bottom - Bar.top);
    // The log keeps the height the user gave it: a window made small, or
    // minimised, shows less of it only until it grows again.
    const int LogHeight = std::clamp(FLogHeight, 0, MaxLogHeight());
    const int LogTop = Bottom - LogHeight;
    const int ListBottom = LogTop - Scale(SplitterHeight);
    const int PreviewWidth = FPreview->LayoutWidth(Client.right);
    MoveWindow(FFonts->Handle(), 0, Top, Client.right - PreviewWidth, std::max(0, ListBottom - Top), TRUE);
    MoveWindow(FPreview->Handle(), Client.right - PreviewWidth, Top, PreviewWidth, std::max(0, ListBottom - Top), TRUE);
    MoveWindow(FResults, 0, LogTop, Client.right, LogHeight, TRUE);
    FitLastColumn();
    InvalidateRect(FHandle, nullptr, TRUE);
    // The status bar paints only what its new size uncovers: the size grip
    // of its old size would stay in the middle of it. The preview and the
    // log are moved with their old pixels, which may hold the list's scroll
    // bar as it was just drawn where the pane stood.
    InvalidateRect(FStatusBar, nullptr, TRUE);
    InvalidateRect(FPreview->Handle(), nullptr, FALSE);
    InvalidateRect(FResults, nullptr, TRUE);
}

void TMainForm::FitLastColumn()
{
    // The last column takes the width the others leave, never less than its
    // own.
    HWND List = FFonts->Handle();
    const std::vector<int> Widths = FFonts->ColumnWidths();
    if (Widths.empty())
        return;
    RECT Client;
    GetClientRect(List, &Client);
    int Others = 0;
    for (std::size_t i = 0; i + 1 < Widths.size(); ++i)
        Others += Widths[i];
    const int Width = std::max(Scale(ColumnWidth(fcColumnCount - 1)), static_cast<int>(Client.right) - Others);
    if (Width != Widths.back())
        ListView_SetColumnWidth(List, static_cast<int>(Widths.size()) - 1, Width);
}

std::unique_ptr<TFont> TMainForm::LogFont()
{
    return std::make_unique<TFont>(L"Courier New", 8, FW_NORMAL, FIXED_PITCH | FF_MODERN);
}

HIMAGELIST TMainForm::ToolImages()
{
    return IconList({IDI_TOOL_SCAN, IDI_TOOL_REPAIR, IDI_TOOL_EXIT, IDI_TOOL_ABOUT, IDI_TOOL_READ_ME});
}

HIMAGELIST TMainForm::StatusImages() { return IconList({IDI_STATUS_OK, IDI_STATUS_PROBLEM, IDI_STATUS_MINOR}); }

void TMainForm::ChangeDpi(int Dpi, const RECT& Proposed)
{
    // Moved to a monitor of another DPI: fonts, icons and sizes are made
    // anew for it, the columns, the log and the preview keep their share,
    // and the window takes the size the system proposes there.
    const int Old = ScreenDpi();
    SetScreenDpi(Dpi);
    const int New = ScreenDpi();
    if (New != Old) {
        for (HWND Control : {FToolBar, FFonts->Handle(), FStatusBar})
            SendMessageW(Control, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), TRUE);
        std::unique_ptr<TFont> Log = LogFont();
        SendMessageW(FResults, WM_SETFONT, reinterpret_cast<WPARAM>(Log->Handle()), TRUE);
        FLogFont = std::move(Log);
        HIMAGELIST Tools = ToolImages();
        SendMessageW(FToolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Tools));
        ImageList_Destroy(std::exchange(FToolImages, Tools));
        SendMessageW(FToolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scale(81), Scale(36)));
        HIMAGELIST Status = StatusImages();
        ListView_SetImageList(FFonts->Handle(), Status, LVSIL_SMALL);
        ImageList_Destroy(std::exchange(FStatusImages, Status));
        const std::vector<int> Widths = FFonts->ColumnWidths();
        for (std::size_t i = 0; i < Widths.size(); ++i)
            ListView_SetColumnWidth(FFonts->Handle(), static_cast<int>(i), MulDiv(Widths[i], New, Old));
        FLogHeight = MulDiv(FLogHeight, New, Old);
        FPreview->ChangeDpi(Old, New);
    }
    SetWindowPos(FHandle, nullptr, Proposed.left, Proposed.top, Proposed.right - Proposed.left,
                 Proposed.bottom - Proposed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
}

SIZE TMainForm::MinimumSize() const
{
    // Every toolbar button, and the list with several rows over a log of a
    // few lines.
    SIZE Buttons{};
    SendMessageW(FToolBar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&Buttons));
    RECT Bar;
    int Height = ListMinHeight() + Scale(SplitterHeight) + Scale(48);
    for (HWND Control : {FToolBar, FStatusBar}) {
        GetWindowRect(Control, &Bar);
        Height += Bar.bottom - Bar.top;
    }
    RECT Frame{0, 0, std::max(static_cast<int>(Buttons.cx) + Scale(8), Scale(420)), Height};
    AdjustWindowRectEx(&Frame, static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(FHandle, GWL_EXSTYLE)));
    return {Frame.right - Frame.left, Frame.bottom - Frame.top};
}

int TMainForm::ListMinHeight() const
{
    // The header and five rows of the small icons' height.
    RECT Header{};
    GetWindowRect(FFonts->Header(), &Header);
    return (Header.bottom - Header.top) + 5 * Scale(17) + Scale(6);
}

int TMainForm::MaxLogHeight() const
{
    RECT Client, Bar;
    GetClientRect(FHandle, &Client);
    int Available = Client.bottom;
    for (HWND Control : {FToolBar, FStatusBar}) {
        GetWindowRect(Control, &Bar);
        Available -= Bar.bottom - Bar.top;
    }
    return std::max(0, Available - Scale(SplitterHeight) - ListMinHeight());
}

bool TMainForm::SplitterMessage(UINT Message, WPARAM WParam, LPARAM LParam)
{
    switch (Message) {
    case WM_SETCURSOR:
        if (LOWORD(LParam) != HTCLIENT || reinterpret_cast<HWND>(WParam) != FHandle)
            return false;
        SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
        return true;
    case WM_LBUTTONDOWN:
        FDragStart = GET_Y_LPARAM(LParam);
        FDragHeight = FLogHeight;
        SetCapture(FHandle);
        return true;
    case WM_MOUSEMOVE:
        if (FDragStart >= 0 && GetCapture() == FHandle) {
            FLogHeight = std::clamp(FDragHeight + FDragStart - GET_Y_LPARAM(LParam), 0, MaxLogHeight());
            Layout();
        }
        return true;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (FDragStart >= 0 && GetCapture() == FHandle)
            ReleaseCapture();
        FDragStart = -1;
        return true;
    default: return false;
    }
}

void TMainForm::Close()
{
    if (FScanning) {
        // The scan is inside this window's message handling: it ends first.
        FCloseAfterScan = true;
        return;
    }
    DestroyWindow(FHandle);
}

void TMainForm::Destroy()
{
    // FormDestroy: the rows go before the inventory they refer to.
    RemoveWindowSubclass(FToolBar, &TMainForm::ToolBarProc, 0);
    FOrder.clear();
    FRows.clear();
    FFonts.reset();
    FPreview.reset();
    FInstalledFonts.reset();
    if (FPopup != nullptr)
        DestroyMenu(FPopup);
    if (FToolImages != nullptr)
        ImageList_Destroy(FToolImages);
    if (FStatusImages != nullptr)
        ImageList_Destroy(FStatusImages);
    PostQuitMessage(0);
}

LRESULT TMainForm::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam)
{
    switch (Message) {
    case WM_CREATE: CreateControls(); return 0;
    case WM_SIZE: Layout(); return 0;
    case WM_GETMINMAXINFO: {
        auto* Info = reinterpret_cast<MINMAXINFO*>(LParam);
        if (FToolBar == nullptr || FStatusBar == nullptr || !FFonts)
            return 0;
        const SIZE Minimum = MinimumSize();
        Info->ptMinTrackSize = {Minimum.cx, Minimum.cy};
        return 0;
    }
    case WM_SETFOCUS: SetFocus(FFonts->Handle()); return 0;
    case WM_NEXTDLGCTL:
        MoveTabFocus(FHandle, WParam, LParam);
        return 0;
    case WM_NOTIFY: return Notify(*reinterpret_cast<const NMHDR*>(LParam));
    case WM_APP_UPDATE_CONTROLS:
        FUpdatePending = false;
        UpdateControls();
        PreviewSelection();
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(WParam) == FFonts->Handle())
            ShowPopup(LParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        // The read-only log keeps the look of a text box.
        if (reinterpret_cast<HWND>(LParam) == FResults) {
            SetBkColor(reinterpret_cast<HDC>(WParam), GetSysColor(COLOR_WINDOW));
            SetTextColor(reinterpret_cast<HDC>(WParam), GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_COMMAND:
        if (Command(LOWORD(WParam)))
            return 0;
        break;
    case WM_SETCURSOR:
        if (FScanning) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        if (SplitterMessage(Message, WParam, LParam))
            return TRUE;
        break;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: SplitterMessage(Message, WParam, LParam); return 0;
    case WM_DPICHANGED: ChangeDpi(LOWORD(WParam), *reinterpret_cast<const RECT*>(LParam)); return 0;
    case WM_CLOSE: Close(); return 0;
    case WM_DESTROY: Destroy(); return 0;
    default: break;
    }
    return DefWindowProcW(FHandle, Message, WParam, LParam);
}

}  // namespace ui
