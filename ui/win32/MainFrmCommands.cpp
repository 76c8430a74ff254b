// TMainForm's commands: the message loop's keys, the scan with its status
// and log lines, the repair of the selected rows and what it reports, the
// reset of the font cache, and the About and Read Me windows.
#include "ui/win32/MainFrm.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <unordered_set>

#include "app/FontCacheUnit.h"
#include "app/FontPromoteUnit.h"
#include "app/FontRepairUnit.h"
#include "app/UntrustedFontsUnit.h"
#include "base/Format.h"
#include "base/TextConversion.h"
#include "ui/model/ScanLog.h"
#include "ui/win32/AboutFrm.h"
#include "ui/win32/ReadMeFrm.h"
#include "ui/win32/resources/ResourceIds.h"

namespace ui {

namespace {

std::string TimeSeparator()
{
    wchar_t Separator[8] = L":";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, Separator, 8);
    return base::WideToUtf8(Separator);
}

}  // namespace

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
    // A scan names every file: the bar shows the latest name when the
    // queue is pumped, as often as the window repaints.
    if (FScanning) {
        FScanStatus = Text;
        return;
    }
    SendMessageW(FStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(Text).c_str()));
}

void TMainForm::ShowProgress(std::size_t Done, std::size_t Total)
{
    FScanDone = Done;
    FScanTotal = Total;
}

void TMainForm::ProcessMessages()
{
    // A scan asks after every file; a repaint per file would cost more than
    // reading the file, so the queue runs at most every 40 ms.
    const DWORD Now = GetTickCount();
    if (Now - FLastPump < 40)
        return;
    FLastPump = Now;
    SendMessageW(FStatusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(FScanStatus).c_str()));
    if (FProgressBar != nullptr && FScanTotal > 0) {
        // The bar's range is 16-bit on older controls: it counts in 1/1000.
        SendMessageW(FProgressBar, PBM_SETRANGE32, 0, 1000);
        SendMessageW(FProgressBar, PBM_SETPOS, static_cast<WPARAM>(FScanDone * 1000 / FScanTotal), 0);
    }
    UpdateWindow(FStatusBar);
    MSG Message;
    while (PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE)) {
        if (Message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(Message.wParam));
            return;
        }
        // Escape anywhere in the window stops the scan.
        if (Message.message == WM_KEYDOWN && Message.wParam == VK_ESCAPE) {
            FStopRequested = true;
            continue;
        }
        if (TranslateKeys(Message))
            continue;
        TranslateMessage(&Message);
        DispatchMessageW(&Message);
    }
}

void TMainForm::ShowScanProgress(bool Show)
{
    // While a scan runs the status bar has a second part, the progress bar.
    RECT Bar;
    GetClientRect(FStatusBar, &Bar);
    const int Width = Scale(160);
    int Parts[] = {std::max(0, static_cast<int>(Bar.right) - Width - Scale(20)), -1};
    SendMessageW(FStatusBar, SB_SETPARTS, Show ? 2 : 1, reinterpret_cast<LPARAM>(Show ? Parts : Parts + 1));
    if (!Show) {
        if (FProgressBar != nullptr)
            DestroyWindow(FProgressBar);
        FProgressBar = nullptr;
        return;
    }
    RECT Part{};
    SendMessageW(FStatusBar, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&Part));
    FProgressBar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, Part.left + 2, Part.top + 2,
                                   std::max(0, Width - 4), std::max(0, static_cast<int>(Part.bottom - Part.top) - 4),
                                   FStatusBar, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(FProgressBar, PBM_SETRANGE32, 0, 1000);
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
    SetRowCount(0);
    FOrder.clear();
    FRows.clear();
    FFilling = false;
    FStopRequested = false;
    FScanStatus.clear();
    FScanDone = FScanTotal = 0;
    ShowScanProgress(true);
    FPreview->Show("", "");
    for (int Command : {ID_SCAN, ID_REPAIR, ID_READ_ME, ID_ABOUT})
        SendMessageW(FToolBar, TB_ENABLEBUTTON, Command, FALSE);
    bool Completed = false;
    bool Stopped = false;
    std::string Error;
    try {
        Add(BannerLine());
        Add(StartedLine(FPlatform.System.LocalTime(), TimeSeparator()));
        if (FInstalledFonts->Refresh()) {
            FillFontList();
            const std::string Policy = app::UntrustedFontBlockingLine(FInstalledFonts->UntrustedFontBlocking(),
                                                                      FInstalledFonts->FontsFolder());
            if (!Policy.empty())
                Add(Policy);
            app::RestoreFontsFolder(FPlatform, FHandle, *this);
            Add(CompletedLine(FPlatform.System.LocalTime(), TimeSeparator()));
            Add("");
            FFonts->SetSortColumn(fcProblem);
            FFonts->SetSortAscending(true);
            Completed = true;
        } else {
            // Stopped: no rows, no folder fixes; the block says so and ends.
            Add(base::WideToUtf8(ResourceText(IDS_SCAN_STOPPED)));
            Add("");
            Stopped = true;
        }
    } catch (const std::exception& Failure) {
        Error = Failure.what();
    }
    FScanning = false;
    ShowScanProgress(false);
    for (int Command : {ID_SCAN, ID_READ_ME, ID_ABOUT})
        SendMessageW(FToolBar, TB_ENABLEBUTTON, Command, TRUE);
    UpdateControls();
    SetCursor(Previous != nullptr ? Previous : LoadCursorW(nullptr, IDC_ARROW));
    if (Completed)
        MessageBeep(MB_OK);
    else if (!Stopped)
        ShowError(FHandle, Error);
    if (FCloseAfterScan)
        Close();
}

void TMainForm::SelectedEntries(std::vector<app::TFontInfo*>& Entries, std::vector<int>& EntryRows) const
{
    for (int Index : SelectedRows()) {
        TFontRow* Row = RowAt(Index);
        if (Row == nullptr || Row->Entry == nullptr)
            continue;
        Entries.push_back(Row->Entry);
        EntryRows.push_back(Index);
    }
}

void TMainForm::RepairSelectedItems()
{
    if (FScanning)
        return;
    std::vector<app::TFontInfo*> Entries;
    std::vector<int> EntryRows;
    SelectedEntries(Entries, EntryRows);
    const app::TRepairResult Result = app::TFontRepair(FPlatform, *FInstalledFonts, FHandle).RepairSelectedItems(Entries);
    ShowChangeResult(Result, EntryRows, IDS_BACKUP_SAVED);
}

void TMainForm::PromoteSelectedItems()
{
    if (FScanning || !FPromoteEnabled)
        return;
    std::vector<app::TFontInfo*> Entries;
    std::vector<int> EntryRows;
    SelectedEntries(Entries, EntryRows);
    const app::TRepairResult Result =
        app::TFontPromotion(FPlatform, *FInstalledFonts, FHandle).PromoteSelectedItems(Entries);
    ShowChangeResult(Result, EntryRows, IDS_PROMOTE_BACKUP_SAVED);
}

void TMainForm::ShowChangeResult(const app::TRepairResult& Result, const std::vector<int>& EntryRows,
                                 unsigned BackupText)
{
    // The entries of removed rows are gone already: no notification of the
    // list may look at a row until its update is done.
    FFilling = true;
    std::unordered_set<const TFontRow*> Removed;
    // Rows the run left as they were stay selected, each saying why; rows
    // it did not reach (a refused write ended it) stay selected too.
    std::unordered_set<const TFontRow*> Failed;
    for (int Index : EntryRows)
        Failed.insert(RowAt(Index));
    for (const app::TEntryRepair& Repair : Result.Entries) {
        TFontRow* Row = RowAt(EntryRows.at(Repair.Index));
        if (Row == nullptr)
            continue;
        if (Repair.Outcome == app::TRepairOutcome::Repaired)
            Failed.erase(Row);
        else
            Row->Note = std::string(Repair.Reason);
        if (Repair.Action == app::TRowAction::Remove) {
            Row->Entry = nullptr;
            Removed.insert(Row);
        } else if (Repair.Action == app::TRowAction::MarkRepaired) {
            Row->MarkRepaired(Repair.RegistryName);
        } else if (Repair.Action == app::TRowAction::Refill && Row->Entry != nullptr) {
            *Row = TFontRow::FromEntry(*Row->Entry);
        }
    }
    if (Result.Error && !Result.Entries.empty()) {
        try {
            std::rethrow_exception(Result.Error);
        } catch (const std::exception& Failure) {
            if (TFontRow* Row = RowAt(EntryRows.at(Result.Entries.back().Index)))
                Row->Note = Failure.what();
        }
    }
    std::erase_if(FOrder, [&Removed](const TFontRow* Kept) { return Removed.contains(Kept); });
    std::erase_if(FRows, [&Removed](const std::unique_ptr<TFontRow>& Kept) { return Removed.contains(Kept.get()); });
    SetRowCount(FOrder.size());
    std::vector<int> Still;
    for (std::size_t i = 0; i < FOrder.size(); ++i)
        if (Failed.contains(FOrder[i]))
            Still.push_back(static_cast<int>(i));
    {
        const TRedrawPause Pause(FFonts->Handle());
        SelectRows(Still);
    }
    FFilling = false;
    PreviewSelection();
    // The registry file is the user's way back: importing it in the Registry
    // Editor (or velmorant-cli undo) puts back the values the run changed.
    // It is a block of its own in the log, after the scan's.
    if (!Result.Backup.empty()) {
        Add(base::FormatText(base::WideToUtf8(ResourceText(BackupText)), {Result.Backup}));
        Add("");
    }
    UpdateControls();
    // One message box for the run, however many kinds of row it could not
    // change.
    if (!Result.Messages.empty()) {
        std::string Text;
        for (const std::string& Message : Result.Messages)
            Text += (Text.empty() ? "" : "\n\n") + Message;
        MessageBoxW(FHandle, Wide(Text).c_str(), ResourceText(IDS_ERROR_CAPTION).c_str(), MB_OK | MB_ICONERROR);
    }
    if (Result.Error) {
        try {
            std::rethrow_exception(Result.Error);
        } catch (const std::exception& Failure) {
            ShowError(FHandle, Failure.what());
        }
    }
}

void TMainForm::ResetFontCache()
{
    if (FScanning)
        return;
    // It makes Windows build its caches anew: never without the user's word.
    if (MessageBoxW(FHandle, ResourceText(IDS_RESET_CACHE_CONFIRM).c_str(), ResourceText(IDS_RESET_CACHE_CAPTION).c_str(),
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    HCURSOR Previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const app::TFontCacheResult Result = app::ResetFontCache(FPlatform, false, *this);
    Add("");
    SetCursor(Previous != nullptr ? Previous : LoadCursorW(nullptr, IDC_ARROW));
    if (Result.Refused)
        MessageBoxW(FHandle, ResourceText(IDS_RESET_CACHE_NO_RIGHTS).c_str(), ResourceText(IDS_RESET_CACHE_CAPTION).c_str(),
                    MB_OK | MB_ICONWARNING);
}

void TMainForm::ShowReadMe()
{
    TReadMeForm ReadMe;
    ReadMe.ShowModal(FHandle);
}

void TMainForm::ShowAbout()
{
    TAboutForm About(FPlatform, FVersion);
    About.ShowModal(FHandle);
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

void TMainForm::CopyRows()
{
    if (GetFocus() == FResults) {
        SendMessageW(FResults, WM_COPY, 0, 0);
        return;
    }
    if (FScanning)
        return;
    std::vector<const TFontRow*> Rows;
    for (int Index : SelectedRows())
        if (const TFontRow* Row = RowAt(Index))
            Rows.push_back(Row);
    if (Rows.empty())
        return;
    std::array<std::string, fcColumnCount> Captions;
    for (int Column = 0; Column < fcColumnCount; ++Column)
        Captions[static_cast<std::size_t>(Column)] = base::WideToUtf8(ResourceText(ColumnCaption(Column)));
    const std::wstring Text = Wide(RowsAsText(Captions, Rows));
    if (!OpenClipboard(FHandle))
        return;
    EmptyClipboard();
    const std::size_t Bytes = (Text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL Memory = GlobalAlloc(GMEM_MOVEABLE, Bytes); Memory != nullptr) {
        if (void* Place = GlobalLock(Memory); Place != nullptr) {
            std::memcpy(Place, Text.c_str(), Bytes);
            GlobalUnlock(Memory);
            // The clipboard owns the memory once it took it.
            if (SetClipboardData(CF_UNICODETEXT, Memory) == nullptr)
                GlobalFree(Memory);
        } else {
            GlobalFree(Memory);
        }
    }
    CloseClipboard();
}

bool TMainForm::Command(int Id)
{
    switch (Id) {
    case ID_SCAN:
        if (!FScanning)
            ToolButton1Click();
        return true;
    case ID_REPAIR:
    case ID_POPUP_REPAIR: RepairSelectedItems(); return true;
    case ID_POPUP_PROMOTE: PromoteSelectedItems(); return true;
    case ID_POPUP_RESET_CACHE: ResetFontCache(); return true;
    case ID_READ_ME:
        if (!FScanning)
            ShowReadMe();
        return true;
    case ID_ABOUT:
        if (!FScanning)
            ShowAbout();
        return true;
    case ID_EXIT: Close(); return true;
    case ID_SELECT_ALL: SelectAll(); return true;
    case ID_COPY: CopyRows(); return true;
    case IDOK:
        if (GetFocus() == FToolBar)
            PressHotButton();
        return true;
    default: return false;
    }
}

}  // namespace ui
