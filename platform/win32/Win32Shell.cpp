#include <windows.h>

#include <shellapi.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "base/TextConversion.h"
#include "base/Win32Handle.h"
#include "platform/win32/Win32Platform.h"

namespace platform {

namespace {

// A shell item list, which the shell allocates with the COM allocator.
struct TItemIdListKind {
    using THandle = LPITEMIDLIST;
    static LPITEMIDLIST Invalid() { return nullptr; }
    static void Close(LPITEMIDLIST List) { CoTaskMemFree(List); }
};

}  // namespace

std::string TWin32Shell::FontsFolder()
{
    LPITEMIDLIST List = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_FONTS, &List)))
        return {};
    const base::TWin32Handle<TItemIdListKind> Folder(List);
    wchar_t Buffer[MAX_PATH + 1] = {};
    if (!SHGetPathFromIDListW(Folder.Get(), Buffer))
        return {};
    return base::WideToUtf8(Buffer);
}

std::string TWin32Shell::LocalAppDataFolder()
{
    PWSTR Path = nullptr;
    const HRESULT Status = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &Path);
    // The path is the caller's to free, also when the call failed.
    std::string Folder = SUCCEEDED(Status) && Path != nullptr ? base::WideToUtf8(Path) : std::string();
    CoTaskMemFree(Path);
    while (Folder.size() > 3 && Folder.back() == '\\')
        Folder.pop_back();
    return Folder;
}

bool TWin32Shell::HasRecycleBin(const std::string& Path)
{
    std::wstring Root(MAX_PATH + 1, L'\0');
    if (!GetVolumePathNameW(base::Utf8ToWide(Path).c_str(), Root.data(), static_cast<DWORD>(Root.size())))
        return false;
    // Fails for a volume without one: a network share, a drive whose bin
    // was never made, Wine without a trash folder it can write.
    SHQUERYRBINFO Info{};
    Info.cbSize = sizeof Info;
    return SUCCEEDED(SHQueryRecycleBinW(Root.c_str(), &Info));
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
    // A user at the window is asked before a file too big for the bin is
    // deleted for good; a script cannot answer, and is checked beforehand.
    if (FUi == TUi::Silent)
        Operation.fFlags |= FOF_SILENT | FOF_NOERRORUI;
    else
        Operation.fFlags |= FOF_WANTNUKEWARNING;
    Operation.lpszProgressTitle = L"Working...";
    const int Status = SHFileOperationW(&Operation);
    return {Operation.fAnyOperationsAborted != FALSE, Status == 0};
}

}  // namespace platform
