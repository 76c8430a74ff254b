// TPreviewPane: the selected font drawn with the library's own outlines,
// beside the list. Its left edge is the splitter between the two. A
// selection is loaded once it has stood still for a moment, one font at a
// time, on the window's thread; the picture is drawn four times as large
// and reduced by averaging, so that its edges are smooth.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ui/model/FontPreview.h"
#include "ui/win32/BaseWindow.h"

namespace ui {

class TPreviewPane final : public TBaseWindow<TPreviewPane> {
public:
    // Resized is called when the user drags the splitter.
    TPreviewPane(HWND Parent, std::function<void()> Resized);
    ~TPreviewPane();

    // The file of the row to show (empty text: no row), and the entry's name
    // for a font that names itself nothing.
    void Show(const std::string& Path, const std::string& EntryName);
    // The width the pane starts with.
    static int DefaultWidth();
    // The pane's width in a client area this wide.
    int LayoutWidth(int ClientWidth) const;
    // The main window moved to a monitor of another DPI (ScreenDpi is New).
    void ChangeDpi(int Old, int New);

private:
    friend class TBaseWindow<TPreviewPane>;
    LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam);
    void Load();
    void ChooseFace();
    // Draws the picture or the message into FImage at the pane's size.
    void Render();
    void RenderFont(HDC Dc, const RECT& Area);
    void Paint();
    bool SplitterMessage(UINT Message, WPARAM WParam, LPARAM LParam);
    RECT Area() const;

    std::function<void()> FResized;
    std::string FPath;
    std::string FEntryName;
    std::uint32_t FFace = 0;
    std::optional<TFontPreview> FPreview;
    HWND FFaces = nullptr;
    HBITMAP FImage = nullptr;
    int FWidth;
    int FDragStart = -1;
    int FDragWidth = 0;
};

}  // namespace ui
