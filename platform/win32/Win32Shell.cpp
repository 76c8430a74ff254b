#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include "base/TextConversion.h"
#include "platform/win32/Win32Platform.h"

namespace platform {

std::string TWin32Shell::FontsFolder()
{
    LPITEMIDLIST Folder = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_FONTS, &Folder)))
        return {};
    wchar_t Buffer[MAX_PATH + 1] = {};
    const BOOL Found = SHGetPathFromIDListW(Folder, Buffer);
    CoTaskMemFree(Folder);
    return Found ? base::WideToUtf8(Buffer) : std::string();
}

TShellDeleteResult TWin32Shell::DeleteFiles(TWindowHandle Owner, const std::vector<std::string>& Paths)
{
    // The shell's list: every path ended by NUL, the whole ended by one more.
    std::wstring From;
    for (const std::string& Path : Paths)
        From.append(base::Utf8ToWide(Path)).push_back(L'\0');
    From.push_back(L'\0');
    const wchar_t To[2] = {L'\0', L'\0'};

    SHFILEOPSTRUCTW Operation{};
    Operation.hwnd = static_cast<HWND>(Owner);
    Operation.wFunc = FO_DELETE;
    Operation.pFrom = From.c_str();
    Operation.pTo = To;
    Operation.fFlags = FOF_SIMPLEPROGRESS | FOF_FILESONLY | FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
    if (FUi == TUi::Silent)
        Operation.fFlags |= FOF_SILENT | FOF_NOERRORUI;
    Operation.lpszProgressTitle = L"Working...";
    const int Status = SHFileOperationW(&Operation);
    return {Operation.fAnyOperationsAborted != FALSE, Status == 0};
}

}  // namespace platform
