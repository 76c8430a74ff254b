#include "ui/win32/AboutFrm.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/TextConversion.h"
#include "ui/win32/resources/ResourceIds.h"

namespace ui {

namespace {

const wchar_t* const ClassName = L"TAboutForm";
constexpr DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | DS_MODALFRAME;
constexpr DWORD ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int IconId = 400;
constexpr int ProductNameId = 401;
constexpr int VersionId = 402;
constexpr int CopyrightId = 403;
constexpr int LinkId = 404;
constexpr int ImageId = 405;
constexpr int Comments1Id = 406;
constexpr int Comments2Id = 407;
constexpr int Comments2bId = 408;
constexpr int TimerId = 1;
constexpr int ImageWidth = 245;
constexpr int ImageHeight = 73;

std::string ThousandSeparator()
{
    wchar_t Separator[8] = L",";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, Separator, 8);
    return base::WideToUtf8(Separator);
}

}  // namespace

TAboutForm::TAboutForm(HWND Owner, const platform::TPlatform& Platform, const TFileVersionInfo& Version)
    : FPlatform(Platform), FVersion(Version), FSeed(GetTickCount() | 1u)
{
    const int Width = Scale(347);
    const int Height = Scale(264);
    RECT Frame{0, 0, Width, Height};
    AdjustWindowRectEx(&Frame, Style, FALSE, ExStyle);
    const int OuterWidth = Frame.right - Frame.left;
    const int OuterHeight = Frame.bottom - Frame.top;
    const int Left = (GetSystemMetrics(SM_CXSCREEN) - OuterWidth) / 2;
    const int Top = (GetSystemMetrics(SM_CYSCREEN) - OuterHeight) / 2;
    Create(ClassName, L"", Style, ExStyle, {Left, Top, Left + OuterWidth, Top + OuterHeight}, Owner);
}

TAboutForm::~TAboutForm()
{
    if (FHandle != nullptr)
        DestroyWindow(FHandle);
    if (FPictureDc != nullptr) {
        SelectObject(FPictureDc, FPreviousBitmap);
        DeleteDC(FPictureDc);
    }
    if (FPicture != nullptr)
        DeleteObject(FPicture);
}

unsigned TAboutForm::Random(unsigned Below)
{
    // A linear congruential generator is plenty for where text lands.
    FSeed = FSeed * 1664525u + 1013904223u;
    return (FSeed >> 8) % Below;
}

void TAboutForm::FormCreate()
{
    // Image1: the picture, filled with the button face.
    HDC Screen = GetDC(FHandle);
    FPictureDc = CreateCompatibleDC(Screen);
    FPicture = CreateCompatibleBitmap(Screen, Scale(ImageWidth), Scale(ImageHeight));
    ReleaseDC(FHandle, Screen);
    FPreviousBitmap = SelectObject(FPictureDc, FPicture);
    RECT All{0, 0, Scale(ImageWidth), Scale(ImageHeight)};
    FillRect(FPictureDc, &All, GetSysColorBrush(COLOR_BTNFACE));

    HICON AppIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                  Scale(32), Scale(32), LR_SHARED));
    FProgramIcon = CreateChild(L"STATIC", L"", SS_ICON | SS_NOTIFY | SS_REALSIZECONTROL, Scale(8), Scale(16), Scale(32),
                               Scale(32), FHandle, IconId);
    SendMessageW(FProgramIcon, STM_SETICON, reinterpret_cast<WPARAM>(AppIcon), 0);
    // Both product-name labels in one: the lighter copy, then the black one.
    HWND Name = CreateChild(L"STATIC", Wide(FVersion.ProductName).c_str(), SS_OWNERDRAW, Scale(56), Scale(16),
                            Scale(270), Scale(20), FHandle, ProductNameId);
    (void)Name;
    CreateChild(L"STATIC", Wide(VersionLine(FVersion)).c_str(), SS_LEFT | SS_NOPREFIX, Scale(56), Scale(36),
                Scale(280), Scale(14), FHandle, VersionId);
    CreateChild(L"STATIC", Wide(CopyrightLine(FVersion)).c_str(), SS_LEFT | SS_NOPREFIX, Scale(56), Scale(52),
                Scale(280), Scale(14), FHandle, CopyrightId);
    FLink = CreateChild(L"STATIC", Wide(VendorAddress).c_str(), SS_CENTER | SS_NOTIFY | SS_NOPREFIX, Scale(56),
                        Scale(72), Scale(245), Scale(14), FHandle, LinkId);
    FImage = CreateChild(L"STATIC", L"", SS_OWNERDRAW, Scale(56), Scale(96), Scale(ImageWidth), Scale(ImageHeight),
                         FHandle, ImageId);
    const platform::TOsVersion Os = FPlatform.System.Version();
    CreateChild(L"STATIC", Wide(OperatingSystemLine(Os)).c_str(), SS_LEFT | SS_NOPREFIX, Scale(56), Scale(180),
                Scale(285), Scale(14), FHandle, Comments1Id);
    // One line, never wrapped: a font wider than "MS Sans Serif" would push
    // "Windows:" onto a second line that the label cannot show.
    CreateChild(L"STATIC", L"Physical Memory available to Windows:", SS_LEFTNOWORDWRAP, Scale(56), Scale(196),
                Scale(192), Scale(14), FHandle, Comments2Id);
    CreateChild(L"STATIC", Wide(MemoryLine(FPlatform.System.MemoryStatus().TotalPhysical, ThousandSeparator())).c_str(),
                SS_RIGHT, Scale(248), Scale(196), Scale(82), Scale(14), FHandle, Comments2bId);
    CreateChild(L"STATIC", L"", SS_ETCHEDHORZ, Scale(56), Scale(212), Scale(281), Scale(2), FHandle, 0);
    HWND Ok = CreateChild(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, Scale(256), Scale(230), Scale(80),
                          Scale(24), FHandle, IDOK);
    SetText(FHandle, AboutCaption(FVersion));
    SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(AppIcon));

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
    SetFocus(Ok);
}

void TAboutForm::Timer1Timer()
{
    static const COLORREF Colours[] = {RGB(255, 0, 0), RGB(0, 0, 128), RGB(0, 0, 0)};
    static const int Sizes[] = {8, 12, 20};
    const COLORREF Colour = Colours[Random(3)];
    const TFont Font(L"MS Sans Serif", Sizes[Random(3)]);
    const int X = Scale(static_cast<int>(Random(300)) - 50);
    const int Y = Scale(static_cast<int>(Random(100)) - 10);
    HGDIOBJ Previous = SelectObject(FPictureDc, Font.Handle());
    SetTextColor(FPictureDc, Colour);
    // The text's cell in the button face covers what lies under it.
    SetBkColor(FPictureDc, GetSysColor(COLOR_BTNFACE));
    SetBkMode(FPictureDc, OPAQUE);
    TextOutW(FPictureDc, X, Y, L"Velmorant", 9);
    SelectObject(FPictureDc, Previous);
    InvalidateRect(FImage, nullptr, FALSE);
}

void TAboutForm::OpenVendorAddress()
{
    ShellExecuteW(FHandle, L"open", Wide(VendorAddress).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    CloseModal(FHandle);
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
    BitBlt(Item.hDC, 0, 0, Scale(ImageWidth), Scale(ImageHeight), FPictureDc, 0, 0, SRCCOPY);
}

LRESULT TAboutForm::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam)
{
    switch (Message) {
    case WM_CREATE: FormCreate(); return 0;
    case WM_TIMER:
        if (WParam == TimerId)
            Timer1Timer();
        return 0;
    case WM_DRAWITEM: {
        const auto& Item = *reinterpret_cast<const DRAWITEMSTRUCT*>(LParam);
        if (Item.CtlID == ProductNameId)
            DrawProductName(Item);
        else if (Item.CtlID == ImageId)
            DrawImage(Item);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(LParam) == FLink) {
            SetTextColor(reinterpret_cast<HDC>(WParam), RGB(0, 0, 255));
            SetBkMode(reinterpret_cast<HDC>(WParam), TRANSPARENT);
            SelectObject(reinterpret_cast<HDC>(WParam), FLinkFont.Handle());
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(WParam) == FProgramIcon || reinterpret_cast<HWND>(WParam) == FLink) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(WParam)) {
        case IDOK:
        case IDCANCEL: CloseModal(FHandle); return 0;
        case IconId:
        case LinkId:
            if (HIWORD(WParam) == STN_CLICKED)
                OpenVendorAddress();
            return 0;
        default: break;
        }
        break;
    case WM_NEXTDLGCTL: MoveTabFocus(FHandle, WParam, LParam); return 0;
    case WM_CLOSE: CloseModal(FHandle); return 0;
    case WM_DESTROY: KillTimer(FHandle, TimerId); break;
    default: break;
    }
    return DefWindowProcW(FHandle, Message, WParam, LParam);
}

}  // namespace ui
