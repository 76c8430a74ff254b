// TMainForm: the toolbar's commands, the font list over the inventory, the
// results log and the status bar. It translates messages into calls on the
// application core and the core's answers into rows, controls and messages.
// MainFrm.cpp holds the window, its controls and their layout with the
// splitter; MainFrmList.cpp the list, its sorting, the popup menu and the
// tooltips; MainFrmCommands.cpp the keys, the scan, the repair and its
// results, and the reset of the font cache.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/FontRepairUnit.h"
#include "app/FontsFolderUnit.h"
#include "app/InstalledFontsUnit.h"
#include "platform/Platform.h"
#include "ui/model/AboutText.h"
#include "ui/model/FontRows.h"
#include "ui/win32/BaseWindow.h"
#include "ui/win32/Controls.h"
#include "ui/win32/PreviewPane.h"
#include "ui/win32/SaSortListView.h"

namespace ui {

// The string table's caption of a list column, and its width at 96 DPI.
unsigned ColumnCaption(int Column);
int ColumnWidth(int Column);

// Posted once for a burst of selection changes.
constexpr UINT WM_APP_UPDATE_CONTROLS = WM_APP + 1;

class TMainForm final : public TBaseWindow<TMainForm>, public app::IScanProgress, public app::IResultsLog {
public:
    TMainForm(const platform::TPlatform& Platform, const TFileVersionInfo& Version);
    ~TMainForm() override;
    // The message loop's keys: F5, F1, Ctrl+A, and Tab between the controls.
    bool TranslateKeys(MSG& Message);
    // The application's idle event: the Read Me window, once.
    void AppIdle();

    // IScanProgress: the status bar while a scan runs, and the message pump.
    void ShowStatus(const std::string& Text) override;
    void ProcessMessages() override;
    void ShowProgress(std::size_t Done, std::size_t Total) override;
    bool StopRequested() override { return FStopRequested; }
    // IResultsLog: lines are only ever appended.
    void Add(const std::string& Line) override;

private:
    friend class TBaseWindow<TMainForm>;
    LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam);

    // MainFrm.cpp
    void CreateControls();
    void CreateToolBar();
    void CreateLogAndStatus();
    void Layout();
    void FitLastColumn();
    SIZE MinimumSize() const;
    int ListMinHeight() const;
    // The most the log can take of the client area, the list keeping a little.
    int MaxLogHeight() const;
    // The splitter between the list and the log: the window's own client
    // area shows between them.
    bool SplitterMessage(UINT Message, WPARAM WParam, LPARAM LParam);
    void Close();
    void Destroy();

    // MainFrmCommands.cpp
    bool Command(int Id);
    void ToolButton1Click();
    void RepairSelectedItems();
    void PromoteSelectedItems();
    // The selected rows' entries, in list order, and the rows they are in.
    void SelectedEntries(std::vector<app::TFontInfo*>& Entries, std::vector<int>& EntryRows) const;
    // Applies a repair's or a promotion's result to the rows (EntryRows: the
    // row of each selected entry), then tells the backup and the messages.
    void ShowChangeResult(const app::TRepairResult& Result, const std::vector<int>& EntryRows, unsigned BackupText);
    void ResetFontCache();
    void ShowReadMe();
    void ShowAbout();
    void PressHotButton();
    void MoveHotButton(int Step);
    static LRESULT CALLBACK ToolBarProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                                        DWORD_PTR Data);
    // Ctrl+C: the selected rows as tab-separated text with a header line
    // (in the log, its selected text).
    void CopyRows();
    void ShowScanProgress(bool Show);

    static std::unique_ptr<TFont> LogFont();
    static HIMAGELIST ToolImages();
    static HIMAGELIST StatusImages();
    void ChangeDpi(int Dpi, const RECT& Proposed);

    // MainFrmList.cpp
    void CreateList();
    // No row selected or focused, at the cost of the rows that were.
    void ClearSelection();
    static LRESULT CALLBACK ListProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR Id,
                                     DWORD_PTR Data);
    void FillFontList();
    void UpdateControls();
    void ShowPopup(LPARAM Where);
    void ColumnClick(int Column);
    void SortRows();
    void SelectAll();
    // Selection changes arrive per row, per range or for all rows at once:
    // the controls and the preview follow once, after the input that
    // changed them.
    void SelectionChanged();
    // The preview follows the first selected row.
    void PreviewSelection();
    void ShowCell(NMLVDISPINFOW& Info) const;
    LRESULT Notify(const NMHDR& Header);
    void ShowTip(NMTTDISPINFOW& Tip);
    // A row's notes (the machine font of the same name, fonts the untrusted
    // font policy blocks, why a repair failed) as its tooltip.
    void ShowRowTip(NMLVGETINFOTIPW& Tip) const;
    std::vector<int> SelectedRows() const;
    TFontRow* RowAt(int Index) const;
    // The list holds no rows of its own (LVS_OWNERDATA): it has a count and
    // asks for what it draws.
    void SetRowCount(std::size_t Count);
    void SelectRows(const std::vector<int>& Rows);

    const platform::TPlatform& FPlatform;
    const TFileVersionInfo& FVersion;
    std::unique_ptr<app::TInstalledFonts> FInstalledFonts;
    // The rows' data, which refers to inventory entries it does not own;
    // FOrder is the list's order of them, the one a sort changes.
    std::vector<std::unique_ptr<TFontRow>> FRows;
    std::vector<TFontRow*> FOrder;
    bool FUpdatePending = false;
    // During a scan the status text and the progress bar change when the
    // queue is pumped, not per file.
    std::string FScanStatus;
    std::size_t FScanDone = 0;
    std::size_t FScanTotal = 0;
    bool FStopRequested = false;
    HWND FProgressBar = nullptr;
    bool FShowReadMe = true;
    // While a scan runs, no command, column click or popup reaches the list or
    // the inventory; closing waits for the scan's end.
    bool FScanning = false;
    bool FCloseAfterScan = false;
    bool FFilling = false;
    bool FRepairEnabled = true;
    bool FPromoteEnabled = false;
    int FLogHeight;
    DWORD FLastPump = 0;
    int FDragStart = -1;
    int FDragHeight = 0;
    HWND FToolBar = nullptr;
    HWND FResults = nullptr;
    HWND FStatusBar = nullptr;
    HIMAGELIST FToolImages = nullptr;
    HIMAGELIST FStatusImages = nullptr;
    HMENU FPopup = nullptr;
    HACCEL FKeys = nullptr;
    std::unique_ptr<TFont> FLogFont;
    std::unique_ptr<TSaSortListView> FFonts;
    std::unique_ptr<TPreviewPane> FPreview;
};

}  // namespace ui
