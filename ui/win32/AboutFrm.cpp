#include "ui/win32/AboutFrm.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/TextConversion.h"
#include "ui/win32/resources/ResourceIds.h"

namespace ui {

namespace {

constexpr int TimerId = 1;
// The picture's size at 96 DPI: where the animation's text lands is drawn
// from these figures and scaled to the picture's real size.
constexpr int ImageWidth = 245;
constexpr int ImageHeight = 73;

std::string ThousandSeparator()
{
    wchar_t Separator[8] = L",";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, Separator, 8);
    return base::WideToUtf8(Separator);
}

}  // namespace

TAboutForm::TAboutForm(const platform::TPlatform& Platform, const TFileVersionInfo& Version)
    : FPlatform(Platform), FVersion(Version), FSeed(GetTickCount() | 1u)
{
}

TAboutForm::~TAboutForm()
{
    if (FPictureDc != nullptr) {
        SelectObject(FPictureDc, FPreviousBitmap);
        DeleteDC(FPictureDc);
    }
    if (FPicture != nullptr)
        DeleteObject(FPicture);
}

void TAboutForm::ShowModal(HWND Owner) { RunModal(Owner, IDD_ABOUT); }

unsigned TAboutForm::Random(unsigned Below)
{
    // A linear congruential generator is plenty for where text lands.
    FSeed = FSeed * 1664525u + 1013904223u;
    return (FSeed >> 8) % Below;
}

void TAboutForm::FormCreate()
{
    FProgramIcon = GetDlgItem(FHandle, IDC_ABOUT_ICON);
    FLink = GetDlgItem(FHandle, IDC_ABOUT_LINK);
    FImage = GetDlgItem(FHandle, IDC_ABOUT_IMAGE);

    // Image1: the picture, filled with the button face.
    RECT All;
    GetClientRect(FImage, &All);
    FPictureSize = {All.right, All.bottom};
    HDC Screen = GetDC(FHandle);
    FPictureDc = CreateCompatibleDC(Screen);
    FPicture = CreateCompatibleBitmap(Screen, FPictureSize.cx, FPictureSize.cy);
    ReleaseDC(FHandle, Screen);
    FPreviousBitmap = SelectObject(FPictureDc, FPicture);
    FillRect(FPictureDc, &All, GetSysColorBrush(COLOR_BTNFACE));

    RECT IconPlace;
    GetClientRect(FProgramIcon, &IconPlace);
    HICON AppIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                  IconPlace.right, IconPlace.bottom, LR_SHARED));
    SendMessageW(FProgramIcon, STM_SETICON, reinterpret_cast<WPARAM>(AppIcon), 0);
    SetText(GetDlgItem(FHandle, IDC_ABOUT_PRODUCT_NAME), FVersion.ProductName);
    SetText(GetDlgItem(FHandle, IDC_ABOUT_VERSION), VersionLine(FVersion));
    SetText(GetDlgItem(FHandle, IDC_ABOUT_COPYRIGHT), CopyrightLine(FVersion));
    SetText(FLink, VendorAddress);
    SetText(GetDlgItem(FHandle, IDC_ABOUT_OPERATING_SYSTEM), OperatingSystemLine(FPlatform.System.Version()));
    SetText(GetDlgItem(FHandle, IDC_ABOUT_MEMORY),
            MemoryLine(FPlatform.System.MemoryStatus().TotalPhysical, ThousandSeparator()));
    SetText(FHandle, AboutCaption(FVersion));

    FTips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FHandle, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
    const std::wstring Address = Wide(VendorAddress);
    for (HWND Tool : {FProgramIcon, FLink}) {
        TOOLINFOW Info{};
        Info.cbSize = sizeof(Info);
        Info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        Info.hwnd = FHandle;
        Info.uId = reinterpret_cast<UINT_PTR>(Tool);
        Info.lpszText = const_cast<wchar_t*>(Address.c_str());
        SendMessageW(FTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&Info));
    }
    SetTimer(FHandle, TimerId, 250, nullptr);
    SetFocus(GetDlgItem(FHandle, IDOK));
}

void TAboutForm::Timer1Timer()
{
    static const COLORREF Colours[] = {RGB(255, 0, 0), RGB(0, 0, 128), RGB(0, 0, 0)};
    static const int Sizes[] = {8, 12, 20};
    const COLORREF Colour = Colours[Random(3)];
    const TFont Font(L"MS Sans Serif", Sizes[Random(3)]);
    const int X = MulDiv(static_cast<int>(Random(300)) - 50, FPictureSize.cx, ImageWidth);
    const int Y = MulDiv(static_cast<int>(Random(100)) - 10, FPictureSize.cy, ImageHeight);
    HGDIOBJ Previous = SelectObject(FPictureDc, Font.Handle());
    SetTextColor(FPictureDc, Colour);
    // The text's cell in the button face covers what lies under it.
    SetBkColor(FPictureDc, GetSysColor(COLOR_BTNFACE));
    SetBkMode(FPictureDc, OPAQUE);
    const std::wstring Text = ResourceText(IDS_ABOUT_ANIMATION);
    TextOutW(FPictureDc, X, Y, Text.c_str(), static_cast<int>(Text.size()));
    SelectObject(FPictureDc, Previous);
    InvalidateRect(FImage, nullptr, FALSE);
}

void TAboutForm::OpenVendorAddress()
{
    ShellExecuteW(FHandle, L"open", Wide(VendorAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    EndDialog(FHandle, IDOK);
}

void TAboutForm::DrawProductName(const DRAWITEMSTRUCT& Item)
{
    FillRect(Item.hDC, &Item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const std::wstring Text = Wide(FVersion.ProductName);
    HGDIOBJ Previous = SelectObject(Item.hDC, FBold.Handle());
    SetBkMode(Item.hDC, TRANSPARENT);
    SetTextColor(Item.hDC, GetSysColor(COLOR_3DLIGHT));
    TextOutW(Item.hDC, 1, 1, Text.c_str(), static_cast<int>(Text.size()));
    SetTextColor(Item.hDC, RGB(0, 0, 0));
    TextOutW(Item.hDC, 0, 0, Text.c_str(), static_cast<int>(Text.size()));
    SelectObject(Item.hDC, Previous);
}

void TAboutForm::DrawImage(const DRAWITEMSTRUCT& Item)
{
    BitBlt(Item.hDC, 0, 0, FPictureSize.cx, FPictureSize.cy, FPictureDc, 0, 0, SRCCOPY);
}

INT_PTR TAboutForm::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam)
{
    switch (Message) {
    case WM_INITDIALOG:
        FormCreate();
        // The focus is on OK already.
        return FALSE;
    case WM_TIMER:
        if (WParam == TimerId)
            Timer1Timer();
        return TRUE;
    case WM_DRAWITEM: {
        const auto& Item = *reinterpret_cast<const DRAWITEMSTRUCT*>(LParam);
        if (Item.CtlID == IDC_ABOUT_PRODUCT_NAME)
            DrawProductName(Item);
        else if (Item.CtlID == IDC_ABOUT_IMAGE)
            DrawImage(Item);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(LParam) == FLink) {
            SetTextColor(reinterpret_cast<HDC>(WParam), RGB(0, 0, 255));
            SetBkMode(reinterpret_cast<HDC>(WParam), TRANSPARENT);
            SelectObject(reinterpret_cast<HDC>(WParam), FLinkFont.Handle());
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return FALSE;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(WParam) == FProgramIcon || reinterpret_cast<HWND>(WParam) == FLink) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return Answer(TRUE);
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(WParam)) {
        // Escape is IDCANCEL, and Enter presses OK, the default button.
        case IDOK:
        case IDCANCEL: EndDialog(FHandle, LOWORD(WParam)); return TRUE;
        case IDC_ABOUT_ICON:
        case IDC_ABOUT_LINK:
            if (HIWORD(WParam) == STN_CLICKED)
                OpenVendorAddress();
            return TRUE;
        default: return FALSE;
        }
    case WM_DESTROY: KillTimer(FHandle, TimerId); return FALSE;
    default: return FALSE;
    }
}

}  // namespace ui
