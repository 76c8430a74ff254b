// Where the sorted column's arrow goes in the list header.
#pragma once

#include <optional>
#include <vector>

namespace ui {

struct TArrowPlace {
    int X = 0;
    int Y = 0;
};

// ColumnWidths: the list's columns, left to right. No place when nothing is
// sorted, the column does not exist, or the column is too narrow to hold the
// arrow with 8 pixels to spare (ArrowWidth + 8 >= the column's width).
// Otherwise 5 pixels left of the column's right edge, centred vertically.
std::optional<TArrowPlace> ArrowPlace(const std::vector<int>& ColumnWidths, int SortColumn, int ArrowWidth,
                                      int ArrowHeight, int HeaderHeight);

}  // namespace ui
