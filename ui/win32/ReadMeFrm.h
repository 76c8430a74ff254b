// TReadMeForm: the warnings and instructions, shown modally.
#pragma once

#include <windows.h>

#include "ui/win32/BaseWindow.h"

namespace ui {

class TReadMeForm final : public TBaseWindow<TReadMeForm> {
public:
    explicit TReadMeForm(HWND Owner);
    ~TReadMeForm();

private:
    friend class TBaseWindow<TReadMeForm>;
    LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam);

    HWND FOk = nullptr;
};

}  // namespace ui
