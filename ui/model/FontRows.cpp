#include "ui/model/FontRows.h"

#include "base/AsciiText.h"

namespace ui {

TStatusImage StatusImageOf(app::TFontProblem Problem)
{
    switch (Problem) {
    case app::fpInvalidFont:
    case app::fpDamagedFont:
    case app::fpFileNotFound:
    case app::fpWrongDataType:
    case app::fpNoRegistryKey:
    case app::fpDuplicate: return siProblem;
    case app::fpWrongFontName:
    case app::fpShadowedFont: return siMinorProblem;
    default: return siNoProblem;
    }
}

TFontRow TFontRow::FromEntry(app::TFontInfo& Entry)
{
    TFontRow Row;
    Row.Cells = {Entry.FontName, Entry.RegistryName, Entry.FileName, std::string(app::ProblemText(Entry.Problem))};
    Row.Image = StatusImageOf(Entry.Problem);
    Row.Entry = &Entry;
    return Row;
}

void TFontRow::MarkRepaired(const std::string& RegistryName)
{
    Image = siNoProblem;
    Cells[fcRegistryName] = RegistryName;
    Cells[fcProblem].clear();
    Note.clear();
}

namespace {

int Sign(int Value) { return (Value > 0) - (Value < 0); }

int CompareCells(const std::string& A, const std::string& B)
{
    const int Folded = Sign(base::CompareTextAscii(A, B));
    return Folded != 0 ? Folded : Sign(A.compare(B));
}

}  // namespace

int CompareFontRows(int SortColumn, bool Ascending, const TFontRow& A, const TFontRow& B)
{
    const int Factor = Ascending ? 1 : -1;
    switch (SortColumn) {
    case fcFontName:
    case fcRegistryName:
    case fcFileName: {
        const auto Column = static_cast<std::size_t>(SortColumn);
        return CompareCells(A.Cells[Column], B.Cells[Column]) * Factor;
    }
    case fcProblem:
        if (A.Entry == nullptr || B.Entry == nullptr)
            return 0;
        return Sign(app::CompareFontInfo(*A.Entry, *B.Entry)) * Factor;
    default: return 0;
    }
}

namespace {

void AppendLine(std::string& Text, const std::array<std::string, fcColumnCount>& Cells)
{
    for (std::size_t Column = 0; Column < Cells.size(); ++Column) {
        if (Column != 0)
            Text += '\t';
        for (const char Ch : Cells[Column])
            Text += (Ch == '\t' || Ch == '\r' || Ch == '\n') ? ' ' : Ch;
    }
    Text += "\r\n";
}

}  // namespace

std::string RowsAsText(const std::array<std::string, fcColumnCount>& Captions, const std::vector<const TFontRow*>& Rows)
{
    std::string Text;
    AppendLine(Text, Captions);
    for (const TFontRow* Row : Rows)
        AppendLine(Text, Row->Cells);
    return Text;
}

}  // namespace ui
