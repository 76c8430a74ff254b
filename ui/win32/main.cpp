// velmorant.exe: the window program over the application core.
#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <string>

#include "base/TextConversion.h"
#include "platform/win32/ComScope.h"
#include "platform/win32/Win32Platform.h"
#include "ui/model/FileVersionUnit.h"
#include "ui/win32/Controls.h"
#include "ui/win32/MainFrm.h"

namespace {

std::string OwnFileName()
{
    std::wstring Path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD Length = GetModuleFileNameW(nullptr, Path.data(), static_cast<DWORD>(Path.size()));
        if (Length < Path.size()) {
            Path.resize(Length);
            return base::WideToUtf8(Path);
        }
        Path.resize(Path.size() * 2);
    }
}

// The loop runs until the main window closes; whenever the queue is empty the
// application's idle event runs once before the loop waits again.
int RunMessageLoop(ui::TMainForm& Main)
{
    MSG Message;
    for (;;) {
        while (PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE)) {
            if (Message.message == WM_QUIT)
                return static_cast<int>(Message.wParam);
            if (Main.Handle() != nullptr && Main.TranslateKeys(Message))
                continue;
            TranslateMessage(&Message);
            DispatchMessageW(&Message);
        }
        if (Main.Handle() != nullptr) {
            try {
                Main.AppIdle();
            } catch (const std::exception& Error) {
                ui::ShowError(Main.Handle(), Error.what());
            }
        }
        WaitMessage();
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int Show)
{
    const platform::TComScope Com;
    const INITCOMMONCONTROLSEX Controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&Controls);
    platform::TWin32Platform Machine;
    const platform::TPlatform Platform = Machine.Platform();
    // Read once, before the main window exists.
    const ui::TFileVersionInfo Version = ui::LoadVersionInfo(Machine.System, OwnFileName());
    try {
        ui::TMainForm Main(Platform, Version);
        if (Main.Handle() == nullptr)
            return 1;
        ShowWindow(Main.Handle(), Show);
        UpdateWindow(Main.Handle());
        return RunMessageLoop(Main);
    } catch (const std::exception& Error) {
        ui::ShowError(nullptr, Error.what());
        return 1;
    }
}
