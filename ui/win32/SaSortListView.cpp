#include "ui/win32/SaSortListView.h"

#include <commctrl.h>

#include "ui/model/SortArrow.h"
#include "ui/win32/Controls.h"

namespace ui {

namespace {

HBITMAP LoadArrow(const wchar_t* Name)
{
    // Magenta, the arrows' background, becomes the header's face colour.
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), Name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace

TSaSortListView::TSaSortListView(HWND Parent, int Id, DWORD Style, DWORD ExtendedStyle)
    : FList(CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | Style, 0, 0, 0, 0, Parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), GetModuleHandleW(nullptr), nullptr)),
      FHeader(GetWindow(FList, GW_CHILD)),
      FAscending(LoadArrow(L"BMP_ASCENDING")),
      FDescending(LoadArrow(L"BMP_DESCENDING"))
{
    ListView_SetExtendedListViewStyle(FList, ExtendedStyle);
    if (FHeader != nullptr) {
        // In the header's user data, not a window property: the list asks its
        // header something for every row whose state changes, and under Wine
        // each property lookup is a call to the server (15 us a row).
        SetWindowLongPtrW(FHeader, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        FPreviousHeaderProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(FHeader, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TSaSortListView::HeaderProc)));
    }
}

TSaSortListView::~TSaSortListView()
{
    if (FHeader != nullptr && IsWindow(FHeader)) {
        SetWindowLongPtrW(FHeader, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FPreviousHeaderProc));
        SetWindowLongPtrW(FHeader, GWLP_USERDATA, 0);
    }
    DeleteObject(FAscending);
    DeleteObject(FDescending);
}

int TSaSortListView::ColumnCount() const
{
    return FHeader != nullptr ? static_cast<int>(SendMessageW(FHeader, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::vector<int> TSaSortListView::ColumnWidths() const
{
    std::vector<int> Widths;
    for (int i = 0; i < ColumnCount(); ++i)
        Widths.push_back(ListView_GetColumnWidth(FList, i));
    return Widths;
}

void TSaSortListView::SetSortColumn(int Column)
{
    if (Column == FSortColumn || Column < -1 || Column >= ColumnCount())
        return;
    FSortColumn = Column;
    InvalidateRect(FHeader, nullptr, TRUE);
    if (OnSortColumnChange)
        OnSortColumnChange(*this);
}

void TSaSortListView::SetSortAscending(bool Ascending)
{
    if (Ascending == FSortAscending)
        return;
    FSortAscending = Ascending;
    InvalidateRect(FHeader, nullptr, TRUE);
    if (OnSortModeChange)
        OnSortModeChange(*this);
}

LRESULT CALLBACK TSaSortListView::HeaderProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam)
{
    auto* Self = reinterpret_cast<TSaSortListView*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (Self == nullptr)
        return DefWindowProcW(Window, Message, WParam, LParam);
    const LRESULT Result = CallWindowProcW(Self->FPreviousHeaderProc, Window, Message, WParam, LParam);
    if (Message == WM_PAINT && Self->FSortColumn != -1)
        Self->DrawArrow();
    return Result;
}

void TSaSortListView::DrawArrow()
{
    HBITMAP Bitmap = FSortAscending ? FAscending : FDescending;
    BITMAP Info{};
    if (Bitmap == nullptr || GetObjectW(Bitmap, sizeof(Info), &Info) == 0)
        return;
    const int Factor = ArrowMagnification(ScreenDpi());
    const int Width = Info.bmWidth * Factor;
    const int Height = Info.bmHeight * Factor;
    RECT Client;
    GetClientRect(FHeader, &Client);
    const auto Place = ArrowPlace(ColumnWidths(), FSortColumn, Width, Height, Client.bottom - Client.top, Factor);
    if (!Place)
        return;
    HDC Target = GetDC(FHeader);
    // The triangle's middle shows the header: on a light one (the themed
    // header is white) the picture's grey and white edges would all but
    // vanish, so they are drawn darker there.
    const COLORREF Under = GetPixel(Target, Place->X + Width / 2, Place->Y + Height * 2 / 3);
    const bool Light = Under != CLR_INVALID &&
                       GetRValue(Under) * 299 + GetGValue(Under) * 587 + GetBValue(Under) * 114 > 160 * 1000;
    HDC Source = CreateCompatibleDC(Target);
    HGDIOBJ Previous = SelectObject(Source, Bitmap);
    HDC Scaled = CreateCompatibleDC(Target);
    HBITMAP Picture = CreateCompatibleBitmap(Target, Width, Height);
    HGDIOBJ PreviousPicture = SelectObject(Scaled, Picture);
    SetStretchBltMode(Scaled, COLORONCOLOR);
    StretchBlt(Scaled, 0, 0, Width, Height, Source, 0, 0, Info.bmWidth, Info.bmHeight, SRCCOPY);
    if (Light) {
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X) {
                const COLORREF Pixel = GetPixel(Scaled, X, Y);
                if (Pixel == RGB(128, 128, 128))
                    SetPixel(Scaled, X, Y, DarkEdge);
                else if (Pixel == RGB(255, 255, 255))
                    SetPixel(Scaled, X, Y, LightEdge);
            }
    }
    TransparentBlt(Target, Place->X, Place->Y, Width, Height, Scaled, 0, 0, Width, Height, RGB(255, 0, 255));
    SelectObject(Scaled, PreviousPicture);
    DeleteObject(Picture);
    DeleteDC(Scaled);
    SelectObject(Source, Previous);
    DeleteDC(Source);
    ReleaseDC(FHeader, Target);
}

}  // namespace ui
