// The rows of the font list as data: what each cell shows and the inventory
// entry the row refers to (it does not own it), and the order the list's
// column clicks sort by.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/InstalledFontsUnit.h"

namespace ui {

// Status images of the font list, in the order of the image list.
enum TStatusImage : int { siNoProblem = 0, siProblem = 1, siMinorProblem = 2 };

TStatusImage StatusImageOf(app::TFontProblem Problem);

enum TFontColumn : int { fcFontName = 0, fcRegistryName = 1, fcFileName = 2, fcProblem = 3, fcColumnCount = 4 };

struct TFontRow {
    // Font name, registry name, file name, problem text: as shown.
    std::array<std::string, fcColumnCount> Cells;
    TStatusImage Image = siNoProblem;
    app::TFontInfo* Entry = nullptr;
    // Why the last repair left the row as it was; empty otherwise.
    std::string Note;

    static TFontRow FromEntry(app::TFontInfo& Entry);
    // A repaired row keeps its place: the check mark, the value name that
    // now registers the font, no problem text.
    void MarkRepaired(const std::string& RegistryName);
};

// lvFontsCompare: negative when A comes first. Columns 0 to 2 compare their
// cells without regard to ASCII case, then by character code; column 3 is
// the inventory's own order of the entries. Ascending false turns every
// result round; any other SortColumn (-1: not sorted) answers 0.
int CompareFontRows(int SortColumn, bool Ascending, const TFontRow& A, const TFontRow& B);

// Rows as the clipboard takes them: the column captions, then one line per
// row, cells separated by tabs, lines ended by CR LF. A tab or line break
// inside a cell becomes a space, so that every row stays one line.
std::string RowsAsText(const std::array<std::string, fcColumnCount>& Captions, const std::vector<const TFontRow*>& Rows);

}  // namespace ui
