// TAboutForm: product, version and legal lines, the vendor's link, an
// animated picture, and facts about the running system. The dialog template
// IDD_ABOUT (resources/AboutDlg.rc) places the controls.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/Platform.h"
#include "ui/model/AboutText.h"
#include "ui/win32/BaseWindow.h"
#include "ui/win32/Controls.h"

namespace ui {

class TAboutForm final : public TBaseDialog<TAboutForm> {
public:
    TAboutForm(const platform::TPlatform& Platform, const TFileVersionInfo& Version);
    ~TAboutForm();

    // Shows the window modally over Owner until it closes.
    void ShowModal(HWND Owner);

private:
    friend class TBaseDialog<TAboutForm>;
    INT_PTR HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam);

    void FormCreate();
    void Timer1Timer();
    void OpenVendorAddress();
    void DrawProductName(const DRAWITEMSTRUCT& Item);
    void DrawImage(const DRAWITEMSTRUCT& Item);
    unsigned Random(unsigned Below);

    const platform::TPlatform& FPlatform;
    const TFileVersionInfo& FVersion;
    HWND FProgramIcon = nullptr;
    HWND FLink = nullptr;
    HWND FImage = nullptr;
    HWND FTips = nullptr;
    // The picture, the size of its control.
    SIZE FPictureSize{};
    HBITMAP FPicture = nullptr;
    HDC FPictureDc = nullptr;
    HGDIOBJ FPreviousBitmap = nullptr;
    TFont FBold{L"MS Sans Serif", 10, FW_BOLD};
    TFont FLinkFont{L"MS Sans Serif", 8};
    std::uint32_t FSeed;
};

}  // namespace ui
