// TReadMeForm: the warnings and instructions, shown modally. The dialog
// template IDD_READ_ME (resources/ReadMeDlg.rc) places the controls.
#pragma once

#include <windows.h>

#include "ui/win32/BaseWindow.h"

namespace ui {

class TReadMeForm final : public TBaseDialog<TReadMeForm> {
public:
    // Shows the window modally over Owner until it closes.
    void ShowModal(HWND Owner);

private:
    friend class TBaseDialog<TReadMeForm>;
    INT_PTR HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam);
};

}  // namespace ui
