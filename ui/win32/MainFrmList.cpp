// TMainForm's font list: its columns and rows over the inventory, the
// selection that enables the repair command, sorting by column, the popup
// menu, and the toolbar's tooltips.
#include "ui/win32/MainFrm.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <unordered_set>

#include "app/FontPromoteUnit.h"
#include "base/Format.h"
#include "base/TextConversion.h"
#include "ui/win32/resources/ResourceIds.h"

namespace ui {

namespace {

constexpr int ListId = 200;

struct TColumn {
    unsigned Caption;
    int Width;
};
const TColumn Columns[] = {{IDS_COLUMN_FONT_NAME, 160},
                           {IDS_COLUMN_REGISTRY_NAME, 200},
                           {IDS_COLUMN_FILENAME, 240},
                           {IDS_COLUMN_PROBLEM, 160}};

}  // namespace

unsigned ColumnCaption(int Column)
{
    return Column >= 0 && Column < fcColumnCount ? Columns[Column].Caption : 0;
}

int ColumnWidth(int Column)
{
    return Column >= 0 && Column < fcColumnCount ? Columns[Column].Width : 0;
}

void TMainForm::CreateList()
{
    FFonts = std::make_unique<TSaSortListView>(
        FHandle, ListId, WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_OWNERDATA,
        LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP | LVS_EX_INFOTIP);
    HWND List = FFonts->Handle();
    SendMessageW(List, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
    for (int i = 0; i < fcColumnCount; ++i) {
        std::wstring Caption = ResourceText(Columns[i].Caption);
        LVCOLUMNW Column{};
        Column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        Column.pszText = Caption.data();
        Column.cx = Scale(Columns[i].Width);
        Column.iSubItem = i;
        ListView_InsertColumn(List, i, &Column);
    }
    FStatusImages = StatusImages();
    ListView_SetImageList(List, FStatusImages, LVSIL_SMALL);
    SetWindowSubclass(List, &TMainForm::ListProc, 0, reinterpret_cast<DWORD_PTR>(this));

    FPopup = CreatePopupMenu();
    AppendMenuW(FPopup, MF_STRING, ID_POPUP_REPAIR, ResourceText(IDS_POPUP_REPAIR).c_str());
    AppendMenuW(FPopup, MF_STRING, ID_POPUP_PROMOTE, ResourceText(IDS_POPUP_PROMOTE).c_str());
    AppendMenuW(FPopup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(FPopup, MF_STRING, ID_POPUP_RESET_CACHE, ResourceText(IDS_POPUP_RESET_CACHE).c_str());
}

LRESULT CALLBACK TMainForm::ListProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR,
                                     DWORD_PTR Data)
{
    if (Message == WM_LBUTTONDOWN && (WParam & (MK_CONTROL | MK_SHIFT)) == 0 &&
        ListView_GetSelectedCount(Window) > 1) {
        // A plain click leaves one row selected. The list would deselect the
        // others one by one, each repainted: they go at once, before it.
        auto* Self = reinterpret_cast<TMainForm*>(Data);
        LVHITTESTINFO Hit{};
        Hit.pt = {GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        if (ListView_HitTest(Window, &Hit) != -1 && !Self->FScanning) {
            const TRedrawPause Pause(Window);
            Self->ClearSelection();
        }
    } else if (Message == WM_NCDESTROY) {
        RemoveWindowSubclass(Window, &TMainForm::ListProc, 0);
    }
    return DefSubclassProc(Window, Message, WParam, LParam);
}

void TMainForm::FillFontList()
{
    FFilling = true;
    SetRowCount(0);
    FOrder.clear();
    FRows.clear();
    FRows.reserve(FInstalledFonts->Count());
    FOrder.reserve(FInstalledFonts->Count());
    for (std::size_t i = 0; i < FInstalledFonts->Count(); ++i) {
        FRows.push_back(std::make_unique<TFontRow>(TFontRow::FromEntry(FInstalledFonts->Items(i))));
        FOrder.push_back(FRows.back().get());
    }
    SetRowCount(FOrder.size());
    FFilling = false;
    // The rows may have brought a vertical scroll bar, which narrows the
    // room the last column fills.
    FitLastColumn();
    UpdateControls();
}

void TMainForm::SetRowCount(std::size_t Count)
{
    HWND List = FFonts->Handle();
    const TRedrawPause Pause(List);
    // Selection and focus belong to positions: a new count starts without.
    ClearSelection();
    ListView_SetItemCountEx(List, static_cast<int>(Count), 0);
}

void TMainForm::SelectRows(const std::vector<int>& Rows)
{
    HWND List = FFonts->Handle();
    if (!Rows.empty() && Rows.size() == FOrder.size()) {
        ListView_SetItemState(List, -1, LVIS_SELECTED, LVIS_SELECTED);
        return;
    }
    for (int Row : Rows)
        ListView_SetItemState(List, Row, LVIS_SELECTED, LVIS_SELECTED);
}

void TMainForm::ClearSelection()
{
    HWND List = FFonts->Handle();
    const int Focused = ListView_GetNextItem(List, -1, LVNI_FOCUSED);
    if (Focused != -1)
        ListView_SetItemState(List, Focused, 0, LVIS_FOCUSED);
    // The list's own clearing visits every row, selected or not, and so
    // does a search for the selected ones: a few are cleared one by one.
    const auto Selected = static_cast<std::size_t>(ListView_GetSelectedCount(List));
    if (Selected * 8 > static_cast<std::size_t>(ListView_GetItemCount(List))) {
        ListView_SetItemState(List, -1, 0, LVIS_SELECTED);
        return;
    }
    for (int Row : SelectedRows())
        ListView_SetItemState(List, Row, 0, LVIS_SELECTED);
}

void TMainForm::ShowCell(NMLVDISPINFOW& Info) const
{
    const TFontRow* Row = RowAt(Info.item.iItem);
    if (Row == nullptr)
        return;
    if (Info.item.mask & LVIF_IMAGE)
        Info.item.iImage = Row->Image;
    if ((Info.item.mask & LVIF_TEXT) && Info.item.pszText != nullptr && Info.item.cchTextMax > 0 &&
        Info.item.iSubItem >= 0 && Info.item.iSubItem < fcColumnCount) {
        const std::wstring Cell = Wide(Row->Cells[static_cast<std::size_t>(Info.item.iSubItem)]);
        lstrcpynW(Info.item.pszText, Cell.c_str(), Info.item.cchTextMax);
    }
}

TFontRow* TMainForm::RowAt(int Index) const
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= FOrder.size())
        return nullptr;
    return FOrder[static_cast<std::size_t>(Index)];
}

std::vector<int> TMainForm::SelectedRows() const
{
    std::vector<int> Rows;
    for (int Row = ListView_GetNextItem(FFonts->Handle(), -1, LVNI_SELECTED); Row != -1;
         Row = ListView_GetNextItem(FFonts->Handle(), Row, LVNI_SELECTED))
        Rows.push_back(Row);
    return Rows;
}

void TMainForm::PreviewSelection()
{
    const int First = ListView_GetNextItem(FFonts->Handle(), -1, LVNI_SELECTED);
    const TFontRow* Row = First == -1 || FScanning ? nullptr : RowAt(First);
    const app::TFontInfo* Entry = Row != nullptr ? Row->Entry : nullptr;
    FPreview->Show(Entry != nullptr ? Entry->FileName : "", Entry != nullptr ? Entry->FontName : "");
}

void TMainForm::UpdateControls()
{
    HWND List = FFonts->Handle();
    // Only the first selected row decides.
    const int First = ListView_GetNextItem(List, -1, LVNI_SELECTED);
    const TFontRow* Row = First == -1 ? nullptr : RowAt(First);
    FRepairEnabled = Row != nullptr && Row->Entry != nullptr && Row->Entry->Problem != app::fpNone;
    EnableMenuItem(FPopup, ID_POPUP_REPAIR, MF_BYCOMMAND | (FRepairEnabled ? MF_ENABLED : MF_GRAYED));
    FPromoteEnabled = Row != nullptr && Row->Entry != nullptr && app::TFontPromotion::CanPromote(*Row->Entry);
    EnableMenuItem(FPopup, ID_POPUP_PROMOTE, MF_BYCOMMAND | (FPromoteEnabled ? MF_ENABLED : MF_GRAYED));
    SendMessageW(FToolBar, TB_ENABLEBUTTON, ID_REPAIR, FRepairEnabled && !FScanning);
    ShowStatus(base::FormatText(base::WideToUtf8(ResourceText(IDS_STATUS_COUNTS)),
                                {ListView_GetItemCount(List), static_cast<int>(ListView_GetSelectedCount(List))}));
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
    // The selection and the focus stay with their rows, not their places.
    // With every row selected the selection stays as it is: looking for the
    // selected rows would visit every row.
    HWND List = FFonts->Handle();
    const bool All = !FOrder.empty() && ListView_GetSelectedCount(List) == FOrder.size();
    std::unordered_set<const TFontRow*> Selected;
    if (!All)
        for (int Index : SelectedRows())
            Selected.insert(RowAt(Index));
    const int WasFocused = ListView_GetNextItem(List, -1, LVNI_FOCUSED);
    const TFontRow* Focused = RowAt(WasFocused);
    const int Column = FFonts->SortColumn();
    const bool Ascending = FFonts->SortAscending();
    std::stable_sort(FOrder.begin(), FOrder.end(), [Column, Ascending](const TFontRow* A, const TFontRow* B) {
        return CompareFontRows(Column, Ascending, *A, *B) < 0;
    });
    FFilling = true;
    const TRedrawPause Pause(List);
    if (All) {
        if (WasFocused != -1)
            ListView_SetItemState(List, WasFocused, 0, LVIS_FOCUSED);
    } else {
        ClearSelection();
    }
    std::vector<int> Rows;
    for (std::size_t i = 0; i < FOrder.size(); ++i) {
        if (Selected.contains(FOrder[i]))
            Rows.push_back(static_cast<int>(i));
        if (FOrder[i] == Focused)
            ListView_SetItemState(List, static_cast<int>(i), LVIS_FOCUSED, LVIS_FOCUSED);
    }
    SelectRows(Rows);
    FFilling = false;
}

void TMainForm::SelectAll()
{
    if (GetFocus() == FResults) {
        SendMessageW(FResults, EM_SETSEL, 0, -1);
        return;
    }
    if (FScanning)
        return;
    {
        const TRedrawPause Pause(FFonts->Handle());
        ListView_SetItemState(FFonts->Handle(), -1, LVIS_SELECTED, LVIS_SELECTED);
    }
    SelectionChanged();
}

void TMainForm::SelectionChanged()
{
    if (FFilling || FUpdatePending)
        return;
    FUpdatePending = true;
    PostMessageW(FHandle, WM_APP_UPDATE_CONTROLS, 0, 0);
}

LRESULT TMainForm::Notify(const NMHDR& Header)
{
    if (Header.hwndFrom == FFonts->Handle()) {
        if (Header.code == LVN_COLUMNCLICK) {
            ColumnClick(reinterpret_cast<const NMLISTVIEW&>(Header).iSubItem);
        } else if (Header.code == LVN_GETDISPINFOW) {
            ShowCell(const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(Header)));
        } else if (Header.code == LVN_ITEMCHANGED) {
            const auto& Change = reinterpret_cast<const NMLISTVIEW&>(Header);
            if ((Change.uChanged & LVIF_STATE) && ((Change.uOldState ^ Change.uNewState) & LVIS_SELECTED))
                SelectionChanged();
        } else if (Header.code == LVN_GETINFOTIPW && !FScanning) {
            ShowRowTip(const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(Header)));
        } else if (Header.code == LVN_ODSTATECHANGED) {
            const auto& Change = reinterpret_cast<const NMLVODSTATECHANGE&>(Header);
            if ((Change.uOldState ^ Change.uNewState) & LVIS_SELECTED)
                SelectionChanged();
        }
    } else if (Header.code == TTN_GETDISPINFOW) {
        ShowTip(const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(Header)));
    }
    return 0;
}

void TMainForm::ShowRowTip(NMLVGETINFOTIPW& Tip) const
{
    const TFontRow* Row = RowAt(Tip.iItem);
    if (Row == nullptr || Tip.pszText == nullptr || Tip.cchTextMax <= 0)
        return;
    // The cut text as the list gives it, why a damaged font is damaged, the
    // row's notes, and why the last repair left it as it was.
    std::string Text = Tip.dwFlags == 0 ? base::WideToUtf8(Tip.pszText) : std::string();
    const auto AddLine = [&Text](const std::string& Line) { Text += (Text.empty() ? "" : "\r\n") + Line; };
    if (Row->Entry != nullptr) {
        if (!Row->Entry->Detail.empty())
            AddLine(Row->Entry->Detail);
        for (const std::string& Note : FInstalledFonts->Notes(*Row->Entry))
            AddLine(Note);
    }
    if (!Row->Note.empty())
        AddLine(Row->Note);
    if (Text.empty())
        return;
    lstrcpynW(Tip.pszText, Wide(Text).c_str(), Tip.cchTextMax);
}

void TMainForm::ShowTip(NMTTDISPINFOW& Tip)
{
    // The toolbar's tooltips: the button's caption and its key.
    unsigned Text = 0;
    switch (Tip.hdr.idFrom) {
    case ID_SCAN: Text = IDS_TIP_SCAN; break;
    case ID_REPAIR: Text = IDS_TIP_REPAIR; break;
    case ID_READ_ME: Text = IDS_TIP_READ_ME; break;
    case ID_ABOUT: Text = IDS_TIP_ABOUT; break;
    case ID_EXIT: Text = IDS_TIP_EXIT; break;
    default: return;
    }
    // The tooltip copies the text from its own buffer before this returns.
    lstrcpynW(Tip.szText, ResourceText(Text).c_str(), static_cast<int>(std::size(Tip.szText)));
    Tip.lpszText = Tip.szText;
}

}  // namespace ui
