#include "ui/model/SortArrow.h"

#include <cstddef>

namespace ui {

std::optional<TArrowPlace> ArrowPlace(const std::vector<int>& ColumnWidths, int SortColumn, int ArrowWidth,
                                      int ArrowHeight, int HeaderHeight)
{
    if (SortColumn < 0 || static_cast<std::size_t>(SortColumn) >= ColumnWidths.size())
        return std::nullopt;
    int Right = 0;
    for (int i = 0; i <= SortColumn; ++i)
        Right += ColumnWidths[static_cast<std::size_t>(i)];
    if (ArrowWidth + 8 >= ColumnWidths[static_cast<std::size_t>(SortColumn)])
        return std::nullopt;
    // Integer division truncates toward zero, also for a header lower than
    // the arrow.
    return TArrowPlace{Right - ArrowWidth - 5, (HeaderHeight - ArrowHeight) / 2};
}

}  // namespace ui
