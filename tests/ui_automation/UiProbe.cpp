// velmorant-ui-probe: reads the Velmorant window from another process with
// ordinary window messages, for the end-to-end test. Buffers that a control
// fills live in the program's own address space (VirtualAllocEx) and are read
// back with ReadProcessMemory. One command per run; output UTF-8 lines with
// tab-separated fields.
//
//   find TITLE | texts TITLE | list | status | log | toolbar | arrow-places
//   header-point COLUMN | button-point INDEX | row-point ROW | during-scan COLUMN | stop-scan | hot | clipboard
//   resize WIDTH HEIGHT | dpi-changed DPI | window-rect | status-rect | list-rect | time-scan | time-sort COLUMN | time-paint | time-select
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/TextConversion.h"

namespace {

HWND FindTopLevel(const std::wstring& Title)
{
    struct TSearch {
        std::wstring Title;
        HWND Found = nullptr;
    } Search{Title};
    EnumWindows(
        [](HWND Window, LPARAM Data) -> BOOL {
            auto* S = reinterpret_cast<TSearch*>(Data);
            wchar_t Text[256] = {};
            InternalGetWindowText(Window, Text, 256);
            if (IsWindowVisible(Window) && S->Title == Text) {
                S->Found = Window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&Search));
    return Search.Found;
}

std::string TextOf(HWND Window)
{
    const auto Length = SendMessageW(Window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring Text(static_cast<std::size_t>(Length) + 1, L'\0');
    SendMessageW(Window, WM_GETTEXT, Text.size(), reinterpret_cast<LPARAM>(Text.data()));
    Text.resize(static_cast<std::size_t>(Length));
    return base::WideToUtf8(Text);
}

std::string ClassOf(HWND Window)
{
    wchar_t Name[128] = {};
    GetClassNameW(Window, Name, 128);
    return base::WideToUtf8(Name);
}

HWND Child(HWND Parent, const wchar_t* Class)
{
    return FindWindowExW(Parent, nullptr, Class, nullptr);
}

// Memory in the program that owns Window.
class TRemoteBuffer {
public:
    TRemoteBuffer(HWND Window, std::size_t Size) : FSize(Size)
    {
        DWORD Process = 0;
        GetWindowThreadProcessId(Window, &Process);
        FProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, Process);
        FAddress = VirtualAllocEx(FProcess, nullptr, Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~TRemoteBuffer()
    {
        VirtualFreeEx(FProcess, FAddress, 0, MEM_RELEASE);
        CloseHandle(FProcess);
    }
    TRemoteBuffer(const TRemoteBuffer&) = delete;
    TRemoteBuffer& operator=(const TRemoteBuffer&) = delete;

    void* Address() const { return FAddress; }
    LPARAM Param(std::size_t Offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(FAddress) + Offset); }
    void Write(const void* Data, std::size_t Size, std::size_t Offset = 0)
    {
        WriteProcessMemory(FProcess, static_cast<char*>(FAddress) + Offset, Data, Size, nullptr);
    }
    void Read(void* Data, std::size_t Size, std::size_t Offset = 0)
    {
        ReadProcessMemory(FProcess, static_cast<char*>(FAddress) + Offset, Data, Size, nullptr);
    }

private:
    std::size_t FSize;
    HANDLE FProcess = nullptr;
    void* FAddress = nullptr;
};

constexpr std::size_t TextOffset = 1024;
constexpr int TextChars = 1024;

std::string ItemText(HWND List, TRemoteBuffer& Buffer, int Row, int Column)
{
    LVITEMW Item{};
    Item.iSubItem = Column;
    Item.pszText = reinterpret_cast<wchar_t*>(Buffer.Param(TextOffset));
    Item.cchTextMax = TextChars;
    Buffer.Write(&Item, sizeof(Item));
    const auto Length = SendMessageW(List, LVM_GETITEMTEXTW, static_cast<WPARAM>(Row), Buffer.Param());
    std::wstring Text(static_cast<std::size_t>(Length), L'\0');
    Buffer.Read(Text.data(), Text.size() * sizeof(wchar_t), TextOffset);
    return base::WideToUtf8(Text);
}

void PrintLine(const std::vector<std::string>& Fields)
{
    std::string Line;
    for (std::size_t i = 0; i < Fields.size(); ++i)
        Line += (i ? "\t" : "") + Fields[i];
    std::printf("%s\n", Line.c_str());
}

struct TMain {
    HWND Window = FindTopLevel(L"Velmorant");
    HWND List = Window ? Child(Window, WC_LISTVIEWW) : nullptr;
    HWND Header = List ? GetWindow(List, GW_CHILD) : nullptr;
};

int ListRows(const TMain& Main)
{
    TRemoteBuffer Buffer(Main.List, TextOffset + TextChars * sizeof(wchar_t));
    const int Columns = static_cast<int>(SendMessageW(Main.Header, HDM_GETITEMCOUNT, 0, 0));
    std::vector<std::string> Header{"columns"};
    for (int c = 0; c < Columns; ++c) {
        LVCOLUMNW Column{};
        Column.mask = LVCF_TEXT | LVCF_WIDTH;
        Column.pszText = reinterpret_cast<wchar_t*>(Buffer.Param(TextOffset));
        Column.cchTextMax = TextChars;
        Buffer.Write(&Column, sizeof(Column));
        SendMessageW(Main.List, LVM_GETCOLUMNW, static_cast<WPARAM>(c), Buffer.Param());
        Buffer.Read(&Column, sizeof(Column));
        std::wstring Text(TextChars, L'\0');
        Buffer.Read(Text.data(), Text.size() * sizeof(wchar_t), TextOffset);
        Text.resize(wcsnlen(Text.c_str(), Text.size()));
        Header.push_back(base::WideToUtf8(Text) + "/" + std::to_string(Column.cx));
    }
    PrintLine(Header);
    const int Rows = static_cast<int>(SendMessageW(Main.List, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < Rows; ++r) {
        LVITEMW Item{};
        Item.mask = LVIF_IMAGE | LVIF_STATE;
        Item.iItem = r;
        Item.stateMask = LVIS_SELECTED;
        Buffer.Write(&Item, sizeof(Item));
        SendMessageW(Main.List, LVM_GETITEMW, 0, Buffer.Param());
        Buffer.Read(&Item, sizeof(Item));
        std::vector<std::string> Fields{"row", std::to_string(Item.iImage), (Item.state & LVIS_SELECTED) ? "1" : "0"};
        for (int c = 0; c < Columns; ++c)
            Fields.push_back(ItemText(Main.List, Buffer, r, c));
        PrintLine(Fields);
    }
    return 0;
}

int ToolBar(const TMain& Main)
{
    HWND Bar = Child(Main.Window, TOOLBARCLASSNAMEW);
    TRemoteBuffer Buffer(Bar, TextOffset + TextChars * sizeof(wchar_t));
    const int Count = static_cast<int>(SendMessageW(Bar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < Count; ++i) {
        TBBUTTON Button{};
        SendMessageW(Bar, TB_GETBUTTON, static_cast<WPARAM>(i), Buffer.Param());
        Buffer.Read(&Button, sizeof(Button));
        if (Button.fsStyle & BTNS_SEP) {
            PrintLine({"separator"});
            continue;
        }
        const auto Length = SendMessageW(Bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(Button.idCommand),
                                         Buffer.Param(TextOffset));
        std::wstring Text(static_cast<std::size_t>(Length > 0 ? Length : 0), L'\0');
        Buffer.Read(Text.data(), Text.size() * sizeof(wchar_t), TextOffset);
        const bool Enabled = SendMessageW(Bar, TB_ISBUTTONENABLED, static_cast<WPARAM>(Button.idCommand), 0) != 0;
        PrintLine({"button", base::WideToUtf8(Text), std::to_string(Button.iBitmap), Enabled ? "enabled" : "disabled"});
    }
    return 0;
}

// The left edge of a column in the list's coordinates.
int ColumnLeft(const TMain& Main, int Column)
{
    int Left = 0;
    for (int c = 0; c < Column; ++c)
        Left += static_cast<int>(SendMessageW(Main.List, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
    return Left;
}

// Where each column's arrow would stand, in screen coordinates: another
// process cannot read the header's pixels, the caller reads a screenshot.
int ArrowPlaces(const TMain& Main)
{
    RECT Client;
    GetClientRect(Main.Header, &Client);
    const int Columns = static_cast<int>(SendMessageW(Main.Header, HDM_GETITEMCOUNT, 0, 0));
    // The arrow is magnified by whole factors: twice from 144 DPI.
    HDC Screen = GetDC(nullptr);
    const int Dpi = GetDeviceCaps(Screen, LOGPIXELSY);
    ReleaseDC(nullptr, Screen);
    const int Factor = Dpi < 144 ? 1 : (Dpi + 48) / 96;
    int Right = 0;
    for (int c = 0; c < Columns; ++c) {
        Right += static_cast<int>(SendMessageW(Main.List, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
        POINT At{Right - 9 * Factor - 5 * Factor, (Client.bottom - 9 * Factor) / 2};
        ClientToScreen(Main.Header, &At);
        PrintLine({"place", std::to_string(c), std::to_string(At.x), std::to_string(At.y), std::to_string(Factor)});
    }
    return 0;
}

int Point(HWND Window, int X, int Y)
{
    POINT At{X, Y};
    ClientToScreen(Window, &At);
    std::printf("%ld %ld\n", At.x, At.y);
    return 0;
}

// The preview pane's place on the screen, then its face chooser: shown or
// not, its items and the one chosen.
int Preview(const TMain& Main)
{
    HWND Pane = Child(Main.Window, L"TPreviewPane");
    if (!Pane)
        return 1;
    RECT Place;
    GetWindowRect(Pane, &Place);
    PrintLine({"pane", std::to_string(Place.left), std::to_string(Place.top), std::to_string(Place.right - Place.left),
               std::to_string(Place.bottom - Place.top)});
    HWND Faces = Child(Pane, WC_COMBOBOXW);
    std::vector<std::string> Fields{"faces", IsWindowVisible(Faces) ? "shown" : "hidden",
                                    std::to_string(SendMessageW(Faces, CB_GETCURSEL, 0, 0))};
    const int Count = static_cast<int>(SendMessageW(Faces, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < Count; ++i) {
        std::wstring Text(static_cast<std::size_t>(SendMessageW(Faces, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0)),
                          L'\0');
        SendMessageW(Faces, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(Text.data()));
        Fields.push_back(base::WideToUtf8(Text));
    }
    PrintLine(Fields);
    GetWindowRect(Faces, &Place);
    PrintLine({"faces-point", std::to_string((Place.left + Place.right) / 2) + " " +
                                  std::to_string((Place.top + Place.bottom) / 2)});
    return 0;
}

double Milliseconds(std::chrono::steady_clock::time_point Since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Since).count();
}

// Starts a scan and waits until its status bar names a file; false when
// it does not within 20 s.
bool StartScan(const TMain& Main, HWND Status)
{
    PostMessageW(Main.Window, WM_COMMAND, 100, 0);
    const auto Start = std::chrono::steady_clock::now();
    while (TextOf(Status).rfind("Parsing ", 0) != 0)
        if (Milliseconds(Start) > 20000)
            return false;
    return true;
}

}  // namespace

int wmain(int Count, wchar_t** Arguments)
{
    if (Count < 2)
        return 2;
    const std::wstring Command = Arguments[1];
    if (Command == L"find" && Count == 3)
        return FindTopLevel(Arguments[2]) ? (std::printf("found\n"), 0) : 1;
    if (Command == L"texts" && Count == 3) {
        HWND Window = FindTopLevel(Arguments[2]);
        if (!Window)
            return 1;
        for (HWND C = GetWindow(Window, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT))
            PrintLine({ClassOf(C), TextOf(C)});
        return 0;
    }
    const TMain Main;
    if (!Main.Window || !Main.List)
        return 1;
    if (Command == L"list")
        return ListRows(Main);
    if (Command == L"status")
        return std::printf("%s\n", TextOf(Child(Main.Window, STATUSCLASSNAMEW)).c_str()), 0;
    if (Command == L"log") {
        const std::string Text = TextOf(Child(Main.Window, L"EDIT"));
        std::fwrite(Text.data(), 1, Text.size(), stdout);
        return 0;
    }
    if (Command == L"toolbar")
        return ToolBar(Main);
    if (Command == L"focus") {
        GUITHREADINFO Info{};
        Info.cbSize = sizeof(Info);
        GetGUIThreadInfo(GetWindowThreadProcessId(Main.Window, nullptr), &Info);
        return std::printf("%s\n", Info.hwndFocus ? ClassOf(Info.hwndFocus).c_str() : ""), 0;
    }
    if (Command == L"arrow-places")
        return ArrowPlaces(Main);
    if (Command == L"preview")
        return Preview(Main);
    if (Command == L"header-point" && Count == 3) {
        const int Column = _wtoi(Arguments[2]);
        const int Left = ColumnLeft(Main, Column);
        const int Width = static_cast<int>(SendMessageW(Main.List, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Column), 0));
        RECT Client;
        GetClientRect(Main.Header, &Client);
        return Point(Main.Header, Left + Width / 3, Client.bottom / 2);
    }
    if (Command == L"button-point" && Count == 3) {
        HWND Bar = Child(Main.Window, TOOLBARCLASSNAMEW);
        TRemoteBuffer Buffer(Bar, sizeof(RECT));
        SendMessageW(Bar, TB_GETITEMRECT, static_cast<WPARAM>(_wtoi(Arguments[2])), Buffer.Param());
        RECT Rect{};
        Buffer.Read(&Rect, sizeof(Rect));
        return Point(Bar, (Rect.left + Rect.right) / 2, (Rect.top + Rect.bottom) / 2);
    }
    if (Command == L"row-point" && Count == 3) {
        // Scrolled into view first, as a user would.
        SendMessageW(Main.List, LVM_ENSUREVISIBLE, static_cast<WPARAM>(_wtoi(Arguments[2])), FALSE);
        TRemoteBuffer Buffer(Main.List, sizeof(RECT));
        RECT Rect{LVIR_LABEL, 0, 0, 0};
        Buffer.Write(&Rect, sizeof(Rect));
        SendMessageW(Main.List, LVM_GETITEMRECT, static_cast<WPARAM>(_wtoi(Arguments[2])), Buffer.Param());
        Buffer.Read(&Rect, sizeof(Rect));
        return Point(Main.List, Rect.left + 20, (Rect.top + Rect.bottom) / 2);
    }
    if (Command == L"during-scan" && Count == 3) {
        // Starts a scan and, while its status bar still says "Parsing", clicks
        // the column's header and asks for every row: the user who does not
        // wait. Prints the toolbar's enabled buttons seen then, and whether
        // the scan still ran after the clicks.
        HWND Bar = Child(Main.Window, TOOLBARCLASSNAMEW);
        HWND Status = Child(Main.Window, STATUSCLASSNAMEW);
        if (!StartScan(Main, Status))
            return 1;
        std::vector<std::string> Fields{"during"};
        for (int Id = 100; Id <= 104; ++Id)
            Fields.push_back(SendMessageW(Bar, TB_ISBUTTONENABLED, static_cast<WPARAM>(Id), 0) ? "1" : "0");
        const int Left = ColumnLeft(Main, _wtoi(Arguments[2]));
        SendMessageW(Main.Header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Left + 20, 5));
        SendMessageW(Main.Header, WM_LBUTTONUP, 0, MAKELPARAM(Left + 20, 5));
        SendMessageW(Main.Window, WM_COMMAND, 106, 0);
        SendMessageW(Main.Window, WM_COMMAND, 101, 0);
        Fields.push_back(TextOf(Status).rfind("Parsing ", 0) == 0 ? "running" : "ended");
        PrintLine(Fields);
        return 0;
    }
    if (Command == L"stop-scan") {
        // Starts a scan and, once it names a file, presses Escape: prints the
        // rows left when the scan has ended.
        HWND Status = Child(Main.Window, STATUSCLASSNAMEW);
        const auto Start = std::chrono::steady_clock::now();
        if (!StartScan(Main, Status))
            return 1;
        PostMessageW(Main.List, WM_KEYDOWN, VK_ESCAPE, 0);
        while (TextOf(Status).rfind("Parsing ", 0) == 0)
            if (Milliseconds(Start) > 120000)
                return 1;
        std::printf("%d\n", static_cast<int>(SendMessageW(Main.List, LVM_GETITEMCOUNT, 0, 0)));
        return 0;
    }
    if (Command == L"hot")
        return std::printf("%d\n", static_cast<int>(SendMessageW(Child(Main.Window, TOOLBARCLASSNAMEW), TB_GETHOTITEM,
                                                                   0, 0))), 0;
    if (Command == L"clipboard") {
        if (!OpenClipboard(nullptr))
            return 1;
        HANDLE Data = GetClipboardData(CF_UNICODETEXT);
        const auto* Text = Data ? static_cast<const wchar_t*>(GlobalLock(Data)) : nullptr;
        const std::string Utf8 = Text ? base::WideToUtf8(Text) : std::string();
        if (Text)
            GlobalUnlock(Data);
        CloseClipboard();
        // As the clipboard holds it: text mode would double its line ends.
        _setmode(_fileno(stdout), _O_BINARY);
        std::fwrite(Utf8.data(), 1, Utf8.size(), stdout);
        return Text ? 0 : 1;
    }
    if (Command == L"resize" && Count == 4) {
        SetWindowPos(Main.Window, nullptr, 0, 0, _wtoi(Arguments[2]), _wtoi(Arguments[3]),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (Command == L"window-rect" || Command == L"status-rect" || Command == L"list-rect") {
        RECT Rect{};
        GetWindowRect(Command == L"window-rect"   ? Main.Window
                      : Command == L"list-rect" ? Main.List
                                                : Child(Main.Window, STATUSCLASSNAMEW),
                      &Rect);
        return std::printf("%ld %ld %ld %ld\n", Rect.left, Rect.top, Rect.right, Rect.bottom), 0;
    }
    if (Command == L"dpi-changed" && Count == 3) {
        // As Windows tells a window moved to a monitor of another DPI: the
        // new DPI and a proposed rectangle, here the window's own scaled.
        const int Dpi = _wtoi(Arguments[2]);
        RECT Rect{};
        GetWindowRect(Main.Window, &Rect);
        HWND Bar = Child(Main.Window, TOOLBARCLASSNAMEW);
        const int Old = HIWORD(SendMessageW(Bar, TB_GETBUTTONSIZE, 0, 0)) * 96 / 36;
        Rect.right = Rect.left + MulDiv(Rect.right - Rect.left, Dpi, Old);
        Rect.bottom = Rect.top + MulDiv(Rect.bottom - Rect.top, Dpi, Old);
        TRemoteBuffer Buffer(Main.Window, sizeof(RECT));
        Buffer.Write(&Rect, sizeof(Rect));
        SendMessageW(Main.Window, WM_DPICHANGED, MAKEWPARAM(Dpi, Dpi), Buffer.Param());
        const auto Size = SendMessageW(Bar, TB_GETBUTTONSIZE, 0, 0);
        return std::printf("%d %d %d\n", LOWORD(Size), HIWORD(Size),
                           static_cast<int>(SendMessageW(Main.List, LVM_GETCOLUMNWIDTH, 0, 0))),
               0;
    }
    if (Command == L"time-select") {
        // Ctrl+A's command, then a click on the first row, which leaves it
        // alone selected; the controls follow after each.
        auto Start = std::chrono::steady_clock::now();
        SendMessageW(Main.Window, WM_COMMAND, 106, 0);
        SendMessageW(Main.Window, WM_NULL, 0, 0);
        std::printf("select-all %.1f ms, %d selected\n", Milliseconds(Start),
                    static_cast<int>(SendMessageW(Main.List, LVM_GETSELECTEDCOUNT, 0, 0)));
        SendMessageW(Main.List, LVM_ENSUREVISIBLE, 0, FALSE);
        TRemoteBuffer Buffer(Main.List, sizeof(RECT));
        RECT Rect{LVIR_LABEL, 0, 0, 0};
        Buffer.Write(&Rect, sizeof(Rect));
        SendMessageW(Main.List, LVM_GETITEMRECT, 0, Buffer.Param());
        Buffer.Read(&Rect, sizeof(Rect));
        const LPARAM At = MAKELPARAM(Rect.left + 20, (Rect.top + Rect.bottom) / 2);
        Start = std::chrono::steady_clock::now();
        SendMessageW(Main.List, WM_LBUTTONDOWN, MK_LBUTTON, At);
        SendMessageW(Main.List, WM_LBUTTONUP, 0, At);
        SendMessageW(Main.Window, WM_NULL, 0, 0);
        std::printf("deselect %.1f ms, %d selected\n", Milliseconds(Start),
                    static_cast<int>(SendMessageW(Main.List, LVM_GETSELECTEDCOUNT, 0, 0)));
        return 0;
    }
    // Measurements: each call is synchronous, so its time is the program's.
    if (Command == L"time-scan") {
        const auto Start = std::chrono::steady_clock::now();
        SendMessageW(Main.Window, WM_COMMAND, 100, 0);
        std::printf("scan %.1f ms, %d rows\n", Milliseconds(Start),
                    static_cast<int>(SendMessageW(Main.List, LVM_GETITEMCOUNT, 0, 0)));
        return 0;
    }
    if (Command == L"time-paint") {
        const auto Start = std::chrono::steady_clock::now();
        RedrawWindow(Main.List, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SendMessageW(Main.List, WM_NULL, 0, 0);
        std::printf("paint %.1f ms\n", Milliseconds(Start));
        return 0;
    }
    if (Command == L"time-preview") {
        // The pane's load of the selected font, which its timer starts.
        HWND Pane = Child(Main.Window, L"TPreviewPane");
        const auto Start = std::chrono::steady_clock::now();
        SendMessageW(Pane, WM_TIMER, 1, 0);
        std::printf("preview %.1f ms\n", Milliseconds(Start));
        return 0;
    }
    if (Command == L"time-sort" && Count == 3) {
        // A click on the column's header, as the mouse gives it.
        const LPARAM At = MAKELPARAM(ColumnLeft(Main, _wtoi(Arguments[2])) + 20, 5);
        const auto Start = std::chrono::steady_clock::now();
        SendMessageW(Main.Header, WM_LBUTTONDOWN, MK_LBUTTON, At);
        SendMessageW(Main.Header, WM_LBUTTONUP, 0, At);
        std::printf("sort %.1f ms\n", Milliseconds(Start));
        return 0;
    }
    return 2;
}
