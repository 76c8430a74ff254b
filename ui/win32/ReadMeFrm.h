// TReadMeForm: the warnings and instructions, shown modally.
#pragma once

#include <windows.h>

namespace ui {

class TReadMeForm {
public:
    explicit TReadMeForm(HWND Owner);
    ~TReadMeForm();
    TReadMeForm(const TReadMeForm&) = delete;
    TReadMeForm& operator=(const TReadMeForm&) = delete;

    HWND Handle() const { return FHandle; }

    LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam);
    HWND FHandle = nullptr;

private:
    HWND FOk = nullptr;
};

}  // namespace ui
