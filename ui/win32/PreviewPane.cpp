#include "ui/win32/PreviewPane.h"

#include <windowsx.h>

#include <algorithm>

#include "base/Format.h"
#include "base/TextConversion.h"
#include "platform/win32/GdiPolygonSurface.h"
#include "ui/win32/resources/ResourceIds.h"

namespace ui {

namespace {

const wchar_t* const ClassName = L"TPreviewPane";
constexpr UINT_PTR LoadTimer = 1;
// A selection moved with the arrow keys passes over rows faster than this.
constexpr UINT LoadDelay = 120;
constexpr int FacesId = 301;
constexpr int SplitterWidth = 4;
constexpr int DefaultWidth96 = 220;
constexpr int Margin = 8;
constexpr int PixelsPerEm = 20;
constexpr int Oversample = 4;
// The largest picture drawn before it is reduced: 64 MiB of pixels.
constexpr int MaxSide = 4096;
constexpr std::uint32_t MaxFacesListed = 256;

std::wstring Formatted(unsigned Id, std::initializer_list<base::TFormatArg> Args)
{
    return Wide(base::FormatText(base::WideToUtf8(ResourceText(Id)), Args));
}

}  // namespace

TPreviewPane::TPreviewPane(HWND Parent, std::function<void()> Resized)
    : FResized(std::move(Resized)), FWidth(DefaultWidth())
{
    Create(ClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, {0, 0, 0, 0}, Parent);
    FFaces = CreateChild(WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 0, 0, FHandle, FacesId);
    SendMessageW(FFaces, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
    ShowWindow(FFaces, SW_HIDE);
}

TPreviewPane::~TPreviewPane()
{
    if (FImage != nullptr)
        DeleteObject(FImage);
    if (FHandle != nullptr && IsWindow(FHandle))
        DestroyWindow(FHandle);
}

void TPreviewPane::ChangeDpi(int Old, int New)
{
    FWidth = MulDiv(FWidth, New, Old);
    SendMessageW(FFaces, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont()), FALSE);
    const RECT Picture = Area();
    MoveWindow(FFaces, Picture.left + Scale(Margin), Scale(Margin), Scale(140), Scale(200), TRUE);
    Render();
    InvalidateRect(FHandle, nullptr, FALSE);
}

int TPreviewPane::DefaultWidth() { return Scale(DefaultWidth96); }

int TPreviewPane::LayoutWidth(int ClientWidth) const
{
    // The list keeps room for its first columns.
    return std::max(0, std::min(std::max(FWidth, Scale(120)), ClientWidth - Scale(240)));
}

void TPreviewPane::Show(const std::string& Path, const std::string& EntryName)
{
    if (Path == FPath && (FPreview || !Path.empty()))
        return;
    FPath = Path;
    FEntryName = EntryName;
    FFace = 0;
    KillTimer(FHandle, LoadTimer);
    FPreview.reset();
    ShowWindow(FFaces, SW_HIDE);
    if (!Path.empty())
        SetTimer(FHandle, LoadTimer, LoadDelay, nullptr);
    Render();
}

void TPreviewPane::Load()
{
    KillTimer(FHandle, LoadTimer);
    if (FPath.empty())
        return;
    // The name in the language the scan chooses it by.
    FPreview = TFontPreview::Load(FPath, FFace, static_cast<std::uint16_t>(GetSystemDefaultLCID() & 0xFFFF));
    if (FPreview->Name.empty())
        FPreview->Name = FEntryName;
    SendMessageW(FFaces, CB_RESETCONTENT, 0, 0);
    const std::uint32_t Faces = std::min(FPreview->FaceCount, MaxFacesListed);
    if (Faces > 1) {
        for (std::uint32_t Face = 0; Face < Faces; ++Face)
            SendMessageW(FFaces, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Formatted(IDS_PREVIEW_FACE, {Face + 1, FPreview->FaceCount}).c_str()));
        SendMessageW(FFaces, CB_SETCURSEL, FFace, 0);
    }
    ShowWindow(FFaces, Faces > 1 ? SW_SHOW : SW_HIDE);
    Render();
}

void TPreviewPane::ChooseFace()
{
    const LRESULT Chosen = SendMessageW(FFaces, CB_GETCURSEL, 0, 0);
    if (Chosen < 0 || static_cast<std::uint32_t>(Chosen) == FFace)
        return;
    FFace = static_cast<std::uint32_t>(Chosen);
    Load();
}

RECT TPreviewPane::Area() const
{
    RECT Client;
    GetClientRect(FHandle, &Client);
    Client.left = std::min(Client.right, static_cast<LONG>(Scale(SplitterWidth)));
    return Client;
}

void TPreviewPane::Render()
{
    if (FHandle == nullptr)
        return;
    const RECT Client = Area();
    const int Width = Client.right - Client.left;
    const int Height = Client.bottom - Client.top;
    if (FImage != nullptr)
        DeleteObject(FImage);
    FImage = nullptr;
    if (Width > 0 && Height > 0) {
        HDC Screen = GetDC(FHandle);
        FImage = CreateCompatibleBitmap(Screen, Width, Height);
        HDC Dc = CreateCompatibleDC(Screen);
        ReleaseDC(FHandle, Screen);
        HGDIOBJ Old = SelectObject(Dc, FImage);
        RECT Whole{0, 0, Width, Height};
        FillRect(Dc, &Whole, GetSysColorBrush(COLOR_WINDOW));
        RECT Text{Scale(Margin), Scale(Margin), Width - Scale(Margin), Height - Scale(Margin)};
        if (IsWindowVisible(FFaces)) {
            RECT Combo;
            GetWindowRect(FFaces, &Combo);
            Text.top += Combo.bottom - Combo.top + Scale(Margin);
        }
        std::wstring Message;
        if (!FPreview)
            Message = FPath.empty() ? ResourceText(IDS_PREVIEW_NONE) : L"";
        else if (FPreview->State == TPreviewState::Cff)
            Message = Formatted(IDS_PREVIEW_CFF, {FPreview->Name});
        else if (FPreview->State == TPreviewState::Failed)
            Message = Formatted(IDS_PREVIEW_FAILED, {FPreview->Error});
        if (FPreview && FPreview->State == TPreviewState::Drawn) {
            RenderFont(Dc, Text);
        } else if (!Message.empty()) {
            HGDIOBJ OldFont = SelectObject(Dc, WindowFont());
            SetBkMode(Dc, TRANSPARENT);
            SetTextColor(Dc, GetSysColor(COLOR_GRAYTEXT));
            DrawTextW(Dc, Message.c_str(), static_cast<int>(Message.size()), &Text,
                      DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
            SelectObject(Dc, OldFont);
        }
        SelectObject(Dc, Old);
        DeleteDC(Dc);
    }
    InvalidateRect(FHandle, nullptr, FALSE);
}

void TPreviewPane::RenderFont(HDC Dc, const RECT& Area)
{
    const int Width = std::min<int>(Area.right - Area.left, MaxSide / Oversample);
    const int Height = std::min<int>(Area.bottom - Area.top, MaxSide / Oversample);
    if (Width <= 0 || Height <= 0)
        return;
    // Drawn large in black on white, then reduced by averaging each block
    // of pixels into one: halftone stretching does that on Windows, but not
    // under Wine, whose stretch only picks pixels.
    const int LargeWidth = Width * Oversample;
    BITMAPINFO Info{};
    Info.bmiHeader = {sizeof(BITMAPINFOHEADER), LargeWidth, -Height * Oversample, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* LargeBits = nullptr;
    HBITMAP Large = CreateDIBSection(Dc, &Info, DIB_RGB_COLORS, &LargeBits, nullptr, 0);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    void* SmallBits = nullptr;
    HBITMAP Small = CreateDIBSection(Dc, &Info, DIB_RGB_COLORS, &SmallBits, nullptr, 0);
    if (Large != nullptr && Small != nullptr) {
        HDC LargeDc = CreateCompatibleDC(Dc);
        HGDIOBJ OldBitmap = SelectObject(LargeDc, Large);
        RECT Whole{0, 0, LargeWidth, Height * Oversample};
        FillRect(LargeDc, &Whole, GetSysColorBrush(COLOR_WINDOW));
        HGDIOBJ OldBrush = SelectObject(LargeDc, GetSysColorBrush(COLOR_WINDOWTEXT));
        HGDIOBJ OldPen = SelectObject(LargeDc, GetStockObject(NULL_PEN));
        const TPreviewPicture Picture = FPreview->Render(Scale(PixelsPerEm) * Oversample, {0, 0}, LargeWidth);
        platform::TGdiPolygonSurface Surface(LargeDc);
        Picture.Draw(Surface);
        GdiFlush();
        SelectObject(LargeDc, OldPen);
        SelectObject(LargeDc, OldBrush);
        SelectObject(LargeDc, OldBitmap);
        DeleteDC(LargeDc);
        const auto* From = static_cast<const std::uint8_t*>(LargeBits);
        auto* To = static_cast<std::uint8_t*>(SmallBits);
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X)
                for (int Channel = 0; Channel < 4; ++Channel) {
                    unsigned Sum = 0;
                    for (int Dy = 0; Dy < Oversample; ++Dy)
                        for (int Dx = 0; Dx < Oversample; ++Dx)
                            Sum += From[((static_cast<std::size_t>(Y) * Oversample + Dy) * LargeWidth +
                                         static_cast<std::size_t>(X) * Oversample + Dx) * 4 + Channel];
                    To[(static_cast<std::size_t>(Y) * Width + X) * 4 + Channel] =
                        static_cast<std::uint8_t>(Sum / (Oversample * Oversample));
                }
        HDC SmallDc = CreateCompatibleDC(Dc);
        HGDIOBJ OldSmall = SelectObject(SmallDc, Small);
        BitBlt(Dc, Area.left, Area.top, Width, Height, SmallDc, 0, 0, SRCCOPY);
        SelectObject(SmallDc, OldSmall);
        DeleteDC(SmallDc);
    }
    if (Large != nullptr)
        DeleteObject(Large);
    if (Small != nullptr)
        DeleteObject(Small);
}

void TPreviewPane::Paint()
{
    PAINTSTRUCT Paint;
    HDC Dc = BeginPaint(FHandle, &Paint);
    RECT Client;
    GetClientRect(FHandle, &Client);
    const RECT Picture = Area();
    RECT Splitter{0, 0, Picture.left, Client.bottom};
    FillRect(Dc, &Splitter, GetSysColorBrush(COLOR_BTNFACE));
    if (FImage != nullptr) {
        HDC Source = CreateCompatibleDC(Dc);
        HGDIOBJ Old = SelectObject(Source, FImage);
        BitBlt(Dc, Picture.left, Picture.top, Picture.right - Picture.left, Picture.bottom - Picture.top, Source, 0, 0,
               SRCCOPY);
        SelectObject(Source, Old);
        DeleteDC(Source);
    }
    EndPaint(FHandle, &Paint);
}

bool TPreviewPane::SplitterMessage(UINT Message, WPARAM, LPARAM LParam)
{
    switch (Message) {
    case WM_LBUTTONDOWN: {
        if (GET_X_LPARAM(LParam) >= Area().left)
            return false;
        POINT At{GET_X_LPARAM(LParam), 0};
        MapWindowPoints(FHandle, GetParent(FHandle), &At, 1);
        FDragStart = At.x;
        FDragWidth = FWidth;
        SetCapture(FHandle);
        return true;
    }
    case WM_MOUSEMOVE:
        if (FDragStart >= 0 && GetCapture() == FHandle) {
            POINT At{GET_X_LPARAM(LParam), 0};
            MapWindowPoints(FHandle, GetParent(FHandle), &At, 1);
            FWidth = std::max(Scale(120), FDragWidth + FDragStart - static_cast<int>(At.x));
            if (FResized)
                FResized();
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

LRESULT TPreviewPane::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam)
{
    switch (Message) {
    case WM_SIZE: {
        const RECT Picture = Area();
        MoveWindow(FFaces, Picture.left + Scale(Margin), Scale(Margin), Scale(140), Scale(200), TRUE);
        Render();
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(); return 0;
    case WM_TIMER:
        if (WParam == LoadTimer)
            Load();
        return 0;
    case WM_COMMAND:
        if (LOWORD(WParam) == FacesId && HIWORD(WParam) == CBN_SELCHANGE)
            ChooseFace();
        return 0;
    case WM_SETCURSOR: {
        POINT At;
        GetCursorPos(&At);
        ScreenToClient(FHandle, &At);
        if (reinterpret_cast<HWND>(WParam) == FHandle && At.x < Area().left) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
            return TRUE;
        }
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (SplitterMessage(Message, WParam, LParam))
            return 0;
        break;
    default: break;
    }
    return DefWindowProcW(FHandle, Message, WParam, LParam);
}

}  // namespace ui
