// TMainForm's commands: the message loop's keys, the scan with its status
// and log lines, the repair of the selected rows and what it reports, the
// reset of the font cache, and the About and Read Me windows.
#include "ui/win32/MainFrm.h"

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
    FPreview->Show("", "");
    for (int Command : {ID_SCAN, ID_REPAIR, ID_READ_ME, ID_ABOUT})
        SendMessageW(FToolBar, TB_ENABLEBUTTON, Command, FALSE);
    bool Completed = false;
    std::string Error;
    try {
        Add(BannerLine());
        Add(StartedLine(FPlatform.System.LocalTime(), TimeSeparator()));
        FInstalledFonts->Refresh();
        FillFontList();
        const std::string Policy =
            app::UntrustedFontBlockingLine(FInstalledFonts->UntrustedFontBlocking(), FInstalledFonts->FontsFolder());
        if (!Policy.empty())
            Add(Policy);
        app::RestoreFontsFolder(FPlatform, FHandle, *this);
        Add(CompletedLine(FPlatform.System.LocalTime(), TimeSeparator()));
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
        } else if (Repair.Action == app::TRowAction::Refill && Row->Entry != nullptr) {
            *Row = TFontRow::FromEntry(*Row->Entry);
            ShowRow(Index, *Row, false);
        }
    }
    std::erase_if(FRows, [&Removed](const std::unique_ptr<TFontRow>& Kept) { return Removed.contains(Kept.get()); });
    FFilling = false;
    PreviewSelection();
    // The registry file is the user's way back: importing it in the Registry
    // Editor (or velmorant-cli undo) puts back the values the run changed.
    if (!Result.Backup.empty())
        Add(base::FormatText(base::WideToUtf8(ResourceText(BackupText)), {Result.Backup}));
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
    case IDOK:
        if (GetFocus() == FToolBar)
            PressHotButton();
        return true;
    default: return false;
    }
}

}  // namespace ui
