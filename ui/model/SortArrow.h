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
// Margins is the factor the arrow is magnified by at the screen's DPI; the
// 5 and 8 pixels grow with it.
std::optional<TArrowPlace> ArrowPlace(const std::vector<int>& ColumnWidths, int SortColumn, int ArrowWidth,
                                      int ArrowHeight, int HeaderHeight, int Margins = 1);

// The whole factor a 96 DPI picture is magnified by: 1 up to 143 DPI, 2 from
// 144, and so on.
int ArrowMagnification(int Dpi);

}  // namespace ui
