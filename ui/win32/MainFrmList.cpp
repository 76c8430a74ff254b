// TMainForm's font list: its columns and rows over the inventory, the
// selection that enables the repair command, sorting by column, the popup
// menu, and the toolbar's tooltips.
#include "ui/win32/MainFrm.h"

#include <commctrl.h>
#include <windowsx.h>

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

void TMainForm::CreateList()
{
    FFonts = std::make_unique<TSaSortListView>(
        FHandle, ListId, WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
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
    FStatusImages = IconList({IDI_STATUS_OK, IDI_STATUS_PROBLEM, IDI_STATUS_MINOR});
    ListView_SetImageList(List, FStatusImages, LVSIL_SMALL);

    FPopup = CreatePopupMenu();
    AppendMenuW(FPopup, MF_STRING, ID_POPUP_REPAIR, ResourceText(IDS_POPUP_REPAIR).c_str());
    AppendMenuW(FPopup, MF_STRING, ID_POPUP_PROMOTE, ResourceText(IDS_POPUP_PROMOTE).c_str());
    AppendMenuW(FPopup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(FPopup, MF_STRING, ID_POPUP_RESET_CACHE, ResourceText(IDS_POPUP_RESET_CACHE).c_str());
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

LRESULT TMainForm::Notify(const NMHDR& Header)
{
    if (Header.hwndFrom == FFonts->Handle()) {
        if (Header.code == LVN_COLUMNCLICK) {
            ColumnClick(reinterpret_cast<const NMLISTVIEW&>(Header).iSubItem);
        } else if (Header.code == LVN_ITEMCHANGED && !FFilling) {
            const auto& Change = reinterpret_cast<const NMLISTVIEW&>(Header);
            if ((Change.uChanged & LVIF_STATE) && ((Change.uOldState ^ Change.uNewState) & LVIS_SELECTED)) {
                UpdateControls();
                PreviewSelection();
            }
        } else if (Header.code == LVN_GETINFOTIPW && !FScanning) {
            ShowRowTip(const_cast<NMLVGETINFOTIPW&>(reinterpret_cast<const NMLVGETINFOTIPW&>(Header)));
        }
    } else if (Header.code == TTN_GETDISPINFOW) {
        ShowTip(const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(Header)));
    }
    return 0;
}

void TMainForm::ShowRowTip(NMLVGETINFOTIPW& Tip)
{
    const TFontRow* Row = RowAt(Tip.iItem);
    if (Row == nullptr || Row->Entry == nullptr || Tip.pszText == nullptr || Tip.cchTextMax <= 0)
        return;
    // Why a damaged font is damaged, then the row's notes.
    std::string Text = Row->Entry->Detail;
    for (const std::string& Note : FInstalledFonts->Notes(*Row->Entry))
        Text += (Text.empty() ? "" : "\r\n") + Note;
    if (Text.empty())
        return;
    // The list gives its own buffer (with the label's text when it is cut
    // short, which the notes replace).
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
