// TSaSortListView: a report list that keeps the column it is sorted by and
// the direction, and draws the arrow in that column's header. It sorts
// nothing itself: its owner sorts and sets the two properties.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace ui {

class TSaSortListView {
public:
    // The arrow's edges on a light header.
    static constexpr COLORREF DarkEdge = RGB(32, 32, 32);
    static constexpr COLORREF LightEdge = RGB(112, 112, 112);

    // Creates the list window as a child of Parent.
    TSaSortListView(HWND Parent, int Id, DWORD Style, DWORD ExtendedStyle);
    ~TSaSortListView();
    TSaSortListView(const TSaSortListView&) = delete;
    TSaSortListView& operator=(const TSaSortListView&) = delete;

    HWND Handle() const { return FList; }
    HWND Header() const { return FHeader; }

    int SortColumn() const { return FSortColumn; }
    // Ignores the current value, values below -1 and past the last column.
    void SetSortColumn(int Column);
    bool SortAscending() const { return FSortAscending; }
    void SetSortAscending(bool Ascending);

    std::function<void(TSaSortListView&)> OnSortColumnChange;
    std::function<void(TSaSortListView&)> OnSortModeChange;

    int ColumnCount() const;
    std::vector<int> ColumnWidths() const;

private:
    static LRESULT CALLBACK HeaderProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
    void DrawArrow();

    HWND FList;
    HWND FHeader;
    WNDPROC FPreviousHeaderProc = nullptr;
    HBITMAP FAscending;
    HBITMAP FDescending;
    int FSortColumn = -1;
    bool FSortAscending = true;
};

}  // namespace ui
