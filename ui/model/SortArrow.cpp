#include "ui/model/SortArrow.h"

#include <cstddef>

namespace ui {

std::optional<TArrowPlace> ArrowPlace(const std::vector<int>& ColumnWidths, int SortColumn, int ArrowWidth,
                                      int ArrowHeight, int HeaderHeight, int Margins)
{
    if (SortColumn < 0 || static_cast<std::size_t>(SortColumn) >= ColumnWidths.size())
        return std::nullopt;
    int Right = 0;
    for (int i = 0; i <= SortColumn; ++i)
        Right += ColumnWidths[static_cast<std::size_t>(i)];
    if (ArrowWidth + 8 * Margins >= ColumnWidths[static_cast<std::size_t>(SortColumn)])
        return std::nullopt;
    // Integer division truncates toward zero, also for a header lower than
    // the arrow.
    return TArrowPlace{Right - ArrowWidth - 5 * Margins, (HeaderHeight - ArrowHeight) / 2};
}

int ArrowMagnification(int Dpi) { return Dpi < 144 ? 1 : (Dpi + 48) / 96; }

}  // namespace ui
