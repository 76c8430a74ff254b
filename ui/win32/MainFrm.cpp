#include "ui/win32/MainFrm.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <unordered_set>

#include "app/FontRepairUnit.h"
#include "base/Format.h"
#include "base/TextConversion.h"
#include "ui/model/ScanLog.h"
#include "ui/win32/AboutFrm.h"
#include "ui/win32/Controls.h"
#include "ui/win32/ReadMeFrm.h"
#include "ui/win32/resources/ResourceIds.h"

namespace ui {

namespace {

const wchar_t* const ClassName = L"TMainForm";
constexpr int ListId = 200;
constexpr int ResultsId = 201;
constexpr int StatusId = 202;
constexpr int ToolBarId = 203;
constexpr int SplitterHeight = 3;

struct TColumn {
    const wchar_t* Caption;
    int Width;
};
const TColumn Columns[] = {{L"Font Name", 160}, {L"Registry Name", 200}, {L"Filename", 240}, {L"Problem", 160}};

std::string TimeSeparator()
{
    wchar_t Separator[8] = L":";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, Separator, 8);
    return base::WideToUtf8(Separator);
}

TLocalTime Now()
{
    SYSTEMTIME Time;
    GetLocalTime(&Time);
    return {Time.wYear, Time.wMonth, Time.wDay, Time.wHour, Time.wMinute, Time.wSecond};
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

}  // namespace

TMainForm::TMainForm(const platform::TPlatform& Platform, const TFileVersionInfo& Version)
    : FPlatform(Platform), FVersion(Version), FLogHeight(Scale(121))
{
    RegisterWindowClass(ClassName, &RoutedWindowProc<TMainForm>, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const int Width = Scale(793);
    const int Height = Scale(443);
    // Centred on the screen.
    CreateWindowExW(0, ClassName, L"Velmorant", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                    (GetSystemMetrics(SM_CXSCREEN) - Width) / 2, (GetSystemMetrics(SM_CYSCREEN) - Height) / 2, Width,
                    Height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
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

    FToolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBSTYLE_FLAT |
                               TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0, FHandle,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(ToolBarId)), GetModuleHandleW(nullptr),
                               nullptr);
    SendMessageW(FToolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(FToolBar, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
    FToolImages = IconList({IDI_TOOL_SCAN, IDI_TOOL_REPAIR, IDI_TOOL_EXIT, IDI_TOOL_ABOUT, IDI_TOOL_READ_ME});
    SendMessageW(FToolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FToolImages));
    auto Button = [](int Image, int Command, const wchar_t* Caption) {
        return TBBUTTON{Image, Command, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>(Caption)};
    };
    const TBBUTTON Separator{0, 0, 0, BTNS_SEP, {}, 0, 0};
    const TBBUTTON Buttons[] = {Button(0, ID_SCAN, L"Velmorant"), Separator, Button(1, ID_REPAIR, L"Repair Items"),
                                Separator, Button(4, ID_READ_ME, L"Read Me"), Button(3, ID_ABOUT, L"About"),
                                Separator, Button(2, ID_EXIT, L"Exit")};
    SendMessageW(FToolBar, TB_ADDBUTTONSW, std::size(Buttons), reinterpret_cast<LPARAM>(Buttons));
    SendMessageW(FToolBar, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scale(81), Scale(36)));
    SendMessageW(FToolBar, TB_AUTOSIZE, 0, 0);

    FFonts = std::make_unique<TSaSortListView>(
        FHandle, ListId, WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
        LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    HWND List = FFonts->Handle();
    SendMessageW(List, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
    for (int i = 0; i < fcColumnCount; ++i) {
        LVCOLUMNW Column{};
        Column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        Column.pszText = const_cast<wchar_t*>(Columns[i].Caption);
        Column.cx = Scale(Columns[i].Width);
        Column.iSubItem = i;
        ListView_InsertColumn(List, i, &Column);
    }
    FStatusImages = IconList({IDI_STATUS_OK, IDI_STATUS_PROBLEM, IDI_STATUS_MINOR});
    ListView_SetImageList(List, FStatusImages, LVSIL_SMALL);

    FResults = CreateChild(L"EDIT", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0,
                           0, 0, FHandle, ResultsId, WS_EX_CLIENTEDGE);
    SendMessageW(FResults, WM_SETFONT, reinterpret_cast<WPARAM>(FLogFont.Handle()), FALSE);
    SendMessageW(FResults, EM_SETLIMITTEXT, 0, 0);

    FStatusBar = CreateChild(STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, 0, 0, 0, 0, FHandle, StatusId);
    int Parts[] = {-1};
    SendMessageW(FStatusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(Parts));

    FPopup = CreatePopupMenu();
    AppendMenuW(FPopup, MF_STRING, ID_POPUP_REPAIR, L"&Repair Items");
    SetFocus(List);
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
    MoveWindow(FFonts->Handle(), 0, Top, Client.right, std::max(0, ListBottom - Top), TRUE);
    MoveWindow(FResults, 0, LogTop, Client.right, LogHeight, TRUE);
    InvalidateRect(FHandle, nullptr, TRUE);
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
    return std::max(0, Available - Scale(SplitterHeight) - Scale(40));
}

bool TMainForm::TranslateKeys(MSG& Message)
{
    if (FKeys != nullptr && TranslateAcceleratorW(FHandle, FKeys, &Message))
        return true;
    // A multi-line edit in dialog mode closes its parent on Escape: in the
    // log that would end the program.
    if (Message.hwnd == FResults && (Message.message == WM_KEYDOWN || Message.message == WM_CHAR) &&
        Message.wParam == VK_ESCAPE)
        return true;
    return IsDialogMessageW(FHandle, &Message) != FALSE;
}

void TMainForm::AppIdle()
{
    if (!FShowReadMe)
        return;
    FShowReadMe = false;
    ShowReadMe();
}

void TMainForm::ShowStatus(const std::string& Text)
{
    SendMessageW(FStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(Text).c_str()));
}

void TMainForm::ProcessMessages()
{
    // A scan asks after every file; a repaint per file would cost more than
    // reading the file, so the queue runs at most every 40 ms.
    const DWORD Now = GetTickCount();
    if (Now - FLastPump < 40)
        return;
    FLastPump = Now;
    UpdateWindow(FStatusBar);
    MSG Message;
    while (PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE)) {
        if (Message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(Message.wParam));
            return;
        }
        if (TranslateKeys(Message))
            continue;
        TranslateMessage(&Message);
        DispatchMessageW(&Message);
    }
}

void TMainForm::Add(const std::string& Line)
{
    const int End = GetWindowTextLengthW(FResults);
    SendMessageW(FResults, EM_SETSEL, End, End);
    SendMessageW(FResults, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Wide(Line + "\r\n").c_str()));
}

void TMainForm::ToolButton1Click()
{
    if (FScanning)
        return;
    FScanning = true;
    HCURSOR Previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    // The rows refer to entries that Refresh is about to destroy: they go
    // first, and every command stays away until the scan is over.
    FFilling = true;
    ListView_DeleteAllItems(FFonts->Handle());
    FRows.clear();
    FFilling = false;
    for (int Command : {ID_SCAN, ID_REPAIR, ID_READ_ME, ID_ABOUT})
        SendMessageW(FToolBar, TB_ENABLEBUTTON, Command, FALSE);
    bool Completed = false;
    std::string Error;
    try {
        Add(BannerLine());
        Add(StartedLine(Now(), TimeSeparator()));
        FInstalledFonts->Refresh();
        FillFontList();
        app::RestoreFontsFolder(FPlatform, FHandle, *this);
        Add(CompletedLine(Now(), TimeSeparator()));
        Add("");
        FFonts->SetSortColumn(fcProblem);
        FFonts->SetSortAscending(true);
        Completed = true;
    } catch (const std::exception& Failure) {
        Error = Failure.what();
    }
    FScanning = false;
    for (int Command : {ID_SCAN, ID_READ_ME, ID_ABOUT})
        SendMessageW(FToolBar, TB_ENABLEBUTTON, Command, TRUE);
    UpdateControls();
    SetCursor(Previous != nullptr ? Previous : LoadCursorW(nullptr, IDC_ARROW));
    if (Completed)
        MessageBeep(MB_OK);
    else
        ShowError(FHandle, Error);
    if (FCloseAfterScan)
        Close();
}

void TMainForm::FillFontList()
{
    HWND List = FFonts->Handle();
    SendMessageW(List, WM_SETREDRAW, FALSE, 0);
    FFilling = true;
    try {
        ListView_DeleteAllItems(List);
        FRows.clear();
        FRows.reserve(FInstalledFonts->Count());
        for (std::size_t i = 0; i < FInstalledFonts->Count(); ++i) {
            FRows.push_back(std::make_unique<TFontRow>(TFontRow::FromEntry(FInstalledFonts->Items(i))));
            ShowRow(static_cast<int>(i), *FRows.back(), true);
        }
    } catch (...) {
        FFilling = false;
        SendMessageW(List, WM_SETREDRAW, TRUE, 0);
        throw;
    }
    FFilling = false;
    SendMessageW(List, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(List, nullptr, TRUE);
    UpdateControls();
}

void TMainForm::ShowRow(int Index, const TFontRow& Row, bool Insert)
{
    HWND List = FFonts->Handle();
    const std::wstring Caption = Wide(Row.Cells[fcFontName]);
    LVITEMW Item{};
    Item.mask = LVIF_TEXT | LVIF_IMAGE | (Insert ? LVIF_PARAM : 0u);
    Item.iItem = Index;
    Item.pszText = const_cast<wchar_t*>(Caption.c_str());
    Item.iImage = Row.Image;
    Item.lParam = reinterpret_cast<LPARAM>(&Row);
    if (Insert)
        Index = ListView_InsertItem(List, &Item);
    else
        ListView_SetItem(List, &Item);
    for (int Column = fcRegistryName; Column < fcColumnCount; ++Column) {
        const std::wstring Cell = Wide(Row.Cells[static_cast<std::size_t>(Column)]);
        ListView_SetItemText(List, Index, Column, const_cast<wchar_t*>(Cell.c_str()));
    }
}

TFontRow* TMainForm::RowAt(int Index) const
{
    LVITEMW Item{};
    Item.mask = LVIF_PARAM;
    Item.iItem = Index;
    if (!ListView_GetItem(FFonts->Handle(), &Item))
        return nullptr;
    return reinterpret_cast<TFontRow*>(Item.lParam);
}

std::vector<int> TMainForm::SelectedRows() const
{
    std::vector<int> Rows;
    for (int Row = ListView_GetNextItem(FFonts->Handle(), -1, LVNI_SELECTED); Row != -1;
         Row = ListView_GetNextItem(FFonts->Handle(), Row, LVNI_SELECTED))
        Rows.push_back(Row);
    return Rows;
}

void TMainForm::UpdateControls()
{
    HWND List = FFonts->Handle();
    // Only the first selected row decides.
    const int First = ListView_GetNextItem(List, -1, LVNI_SELECTED);
    const TFontRow* Row = First == -1 ? nullptr : RowAt(First);
    FRepairEnabled = Row != nullptr && Row->Entry != nullptr && Row->Entry->Problem != app::fpNone;
    EnableMenuItem(FPopup, ID_POPUP_REPAIR, MF_BYCOMMAND | (FRepairEnabled ? MF_ENABLED : MF_GRAYED));
    SendMessageW(FToolBar, TB_ENABLEBUTTON, ID_REPAIR, FRepairEnabled && !FScanning);
    ShowStatus(base::FormatText("%d items,  %d items selected",
                                {ListView_GetItemCount(List), static_cast<int>(ListView_GetSelectedCount(List))}));
}

void TMainForm::RepairSelectedItems()
{
    if (FScanning)
        return;
    const std::vector<int> Rows = SelectedRows();
    std::vector<app::TFontInfo*> Entries;
    std::vector<int> EntryRows;
    for (int Index : Rows) {
        TFontRow* Row = RowAt(Index);
        if (Row == nullptr || Row->Entry == nullptr)
            continue;
        Entries.push_back(Row->Entry);
        EntryRows.push_back(Index);
    }
    const app::TRepairResult Result = app::TFontRepair(FPlatform, *FInstalledFonts, FHandle).RepairSelectedItems(Entries);
    // The entries of removed rows are gone already: no notification of the
    // list may look at a row until its update is done.
    FFilling = true;
    std::unordered_set<const TFontRow*> Removed;
    // Last row first: a removed row leaves the places of those still to come.
    for (const app::TEntryRepair& Repair : Result.Entries) {
        const int Index = EntryRows.at(Repair.Index);
        TFontRow* Row = RowAt(Index);
        if (Row == nullptr)
            continue;
        if (Repair.Action == app::TRowAction::Remove) {
            Row->Entry = nullptr;
            ListView_DeleteItem(FFonts->Handle(), Index);
            Removed.insert(Row);
        } else if (Repair.Action == app::TRowAction::MarkRepaired) {
            Row->MarkRepaired(Repair.RegistryName);
            ShowRow(Index, *Row, false);
        }
    }
    std::erase_if(FRows, [&Removed](const std::unique_ptr<TFontRow>& Kept) { return Removed.contains(Kept.get()); });
    FFilling = false;
    // The registry file is the user's way back: importing it in the Registry
    // Editor (or velmorant-cli undo) puts back the values the repair changed.
    if (!Result.Backup.empty())
        Add("Registry values saved before the repair to " + Result.Backup + ". Import this file to undo the repair.");
    UpdateControls();
    // One message box for the run, however many kinds of row it could not
    // repair.
    if (!Result.Messages.empty()) {
        std::string Text;
        for (const std::string& Message : Result.Messages)
            Text += (Text.empty() ? "" : "\n\n") + Message;
        MessageBoxW(FHandle, Wide(Text).c_str(), L"Error", MB_OK | MB_ICONERROR);
    }
    if (Result.Error) {
        try {
            std::rethrow_exception(Result.Error);
        } catch (const std::exception& Failure) {
            ShowError(FHandle, Failure.what());
        }
    }
}

void TMainForm::ShowReadMe()
{
    TReadMeForm ReadMe(FHandle);
    RunModal(FHandle, ReadMe.Handle());
}

void TMainForm::ShowAbout()
{
    TAboutForm About(FHandle, FPlatform, FVersion);
    RunModal(FHandle, About.Handle());
}

void TMainForm::ShowPopup(LPARAM Where)
{
    if (FScanning)
        return;
    POINT At{GET_X_LPARAM(Where), GET_Y_LPARAM(Where)};
    HWND List = FFonts->Handle();
    if (Where == -1) {
        // From the keyboard: under the focused row, or the list's corner.
        RECT Row{};
        const int Focused = ListView_GetNextItem(List, -1, LVNI_FOCUSED);
        if (Focused != -1 && ListView_GetItemRect(List, Focused, &Row, LVIR_LABEL))
            At = {Row.left + Scale(8), Row.bottom};
        else
            At = {Scale(8), Scale(24)};
        ClientToScreen(List, &At);
    }
    // pmFontsPopup
    UpdateControls();
    TrackPopupMenu(FPopup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, At.x, At.y, 0, FHandle, nullptr);
}

void TMainForm::ColumnClick(int Column)
{
    if (FScanning)
        return;
    if (Column == FFonts->SortColumn()) {
        FFonts->SetSortAscending(!FFonts->SortAscending());
    } else {
        FFonts->SetSortAscending(true);
        FFonts->SetSortColumn(Column);
    }
    SortRows();
}

void TMainForm::SortRows()
{
    ListView_SortItems(FFonts->Handle(), &TMainForm::CompareRows, reinterpret_cast<LPARAM>(this));
}

int CALLBACK TMainForm::CompareRows(LPARAM A, LPARAM B, LPARAM Self)
{
    const auto* Form = reinterpret_cast<const TMainForm*>(Self);
    return CompareFontRows(Form->FFonts->SortColumn(), Form->FFonts->SortAscending(),
                           *reinterpret_cast<const TFontRow*>(A), *reinterpret_cast<const TFontRow*>(B));
}

void TMainForm::SelectAll()
{
    if (GetFocus() == FResults) {
        SendMessageW(FResults, EM_SETSEL, 0, -1);
        return;
    }
    if (FScanning)
        return;
    ListView_SetItemState(FFonts->Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
    UpdateControls();
}

void TMainForm::PressHotButton()
{
    // Enter on the toolbar (IsDialogMessage makes it IDOK) presses the button
    // the arrow keys picked.
    const auto Hot = static_cast<int>(SendMessageW(FToolBar, TB_GETHOTITEM, 0, 0));
    TBBUTTON Button{};
    if (Hot >= 0 && SendMessageW(FToolBar, TB_GETBUTTON, Hot, reinterpret_cast<LPARAM>(&Button)) &&
        !(Button.fsStyle & BTNS_SEP) && (Button.fsState & TBSTATE_ENABLED))
        PostMessageW(FHandle, WM_COMMAND, Button.idCommand, 0);
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

LRESULT TMainForm::Notify(const NMHDR& Header)
{
    if (Header.hwndFrom == FFonts->Handle()) {
        if (Header.code == LVN_COLUMNCLICK) {
            ColumnClick(reinterpret_cast<const NMLISTVIEW&>(Header).iSubItem);
        } else if (Header.code == LVN_ITEMCHANGED && !FFilling) {
            const auto& Change = reinterpret_cast<const NMLISTVIEW&>(Header);
            if ((Change.uChanged & LVIF_STATE) && ((Change.uOldState ^ Change.uNewState) & LVIS_SELECTED))
                UpdateControls();
        }
    } else if (Header.code == TTN_GETDISPINFOW) {
        // The toolbar's tooltips: the button's caption and its key.
        auto& Tip = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(Header));
        switch (Tip.hdr.idFrom) {
        case ID_SCAN: Tip.lpszText = const_cast<wchar_t*>(L"Scan the installed fonts (F5)"); break;
        case ID_REPAIR: Tip.lpszText = const_cast<wchar_t*>(L"Repair the selected items"); break;
        case ID_READ_ME: Tip.lpszText = const_cast<wchar_t*>(L"Read Me (F1)"); break;
        case ID_ABOUT: Tip.lpszText = const_cast<wchar_t*>(L"About Velmorant"); break;
        case ID_EXIT: Tip.lpszText = const_cast<wchar_t*>(L"Exit"); break;
        default: break;
        }
    }
    return 0;
}

LRESULT TMainForm::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam)
{
    switch (Message) {
    case WM_CREATE: CreateControls(); return 0;
    case WM_SIZE: Layout(); return 0;
    case WM_GETMINMAXINFO: {
        auto* Info = reinterpret_cast<MINMAXINFO*>(LParam);
        Info->ptMinTrackSize = {Scale(420), Scale(260)};
        return 0;
    }
    case WM_SETFOCUS: SetFocus(FFonts->Handle()); return 0;
    case WM_NEXTDLGCTL:
        MoveTabFocus(FHandle, WParam, LParam);
        // A toolbar reached from the keyboard shows which button Enter presses.
        if (GetFocus() == FToolBar && SendMessageW(FToolBar, TB_GETHOTITEM, 0, 0) < 0)
            SendMessageW(FToolBar, TB_SETHOTITEM, 0, 0);
        return 0;
    case WM_NOTIFY: return Notify(*reinterpret_cast<const NMHDR*>(LParam));
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
        switch (LOWORD(WParam)) {
        case ID_SCAN:
            if (!FScanning)
                ToolButton1Click();
            return 0;
        case ID_REPAIR:
        case ID_POPUP_REPAIR: RepairSelectedItems(); return 0;
        case ID_READ_ME:
            if (!FScanning)
                ShowReadMe();
            return 0;
        case ID_ABOUT:
            if (!FScanning)
                ShowAbout();
            return 0;
        case ID_EXIT: Close(); return 0;
        case ID_SELECT_ALL: SelectAll(); return 0;
        case IDOK:
            if (GetFocus() == FToolBar)
                PressHotButton();
            return 0;
        default: break;
        }
        break;
    case WM_SETCURSOR:
        if (FScanning) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        if (LOWORD(LParam) == HTCLIENT && reinterpret_cast<HWND>(WParam) == FHandle) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        FDragStart = GET_Y_LPARAM(LParam);
        FDragHeight = FLogHeight;
        SetCapture(FHandle);
        return 0;
    case WM_MOUSEMOVE:
        if (FDragStart >= 0 && GetCapture() == FHandle) {
            FLogHeight = std::clamp(FDragHeight + FDragStart - GET_Y_LPARAM(LParam), 0, MaxLogHeight());
            Layout();
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (FDragStart >= 0 && GetCapture() == FHandle)
            ReleaseCapture();
        FDragStart = -1;
        return 0;
    case WM_CLOSE: Close(); return 0;
    case WM_DESTROY:
        // FormDestroy: the rows go before the inventory they refer to.
        FRows.clear();
        FFonts.reset();
        FInstalledFonts.reset();
        if (FPopup != nullptr)
            DestroyMenu(FPopup);
        if (FToolImages != nullptr)
            ImageList_Destroy(FToolImages);
        if (FStatusImages != nullptr)
            ImageList_Destroy(FStatusImages);
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefWindowProcW(FHandle, Message, WParam, LParam);
}

}  // namespace ui
