// The font list's order (lvFontsCompare) and its rows, without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "ui/model/FontRows.h"

namespace {

using namespace app;
using ui::CompareFontRows;
using ui::TFontRow;

struct TRows {
    std::vector<std::unique_ptr<TFontInfo>> Entries;
    std::vector<TFontRow> Rows;

    void Add(const std::string& Name, TFontProblem Problem, const std::string& File = "")
    {
        auto Entry = std::make_unique<TFontInfo>();
        Entry->FontName = Name;
        Entry->RegistryName = RegistryValueName(Name);
        Entry->FileName = File.empty() ? "C:\\Windows\\Fonts\\" + Name + ".ttf" : File;
        Entry->Problem = Problem;
        Rows.push_back(TFontRow::FromEntry(*Entry));
        Entries.push_back(std::move(Entry));
    }

    std::vector<std::string> SortedNames(int Column, bool Ascending)
    {
        std::vector<TFontRow> Sorted = Rows;
        std::stable_sort(Sorted.begin(), Sorted.end(), [&](const TFontRow& A, const TFontRow& B) {
            return CompareFontRows(Column, Ascending, A, B) < 0;
        });
        std::vector<std::string> Names;
        for (const TFontRow& Row : Sorted)
            Names.push_back(Row.Cells[ui::fcFontName]);
        return Names;
    }
};

TEST(FontRowsTest, RowShowsEntryAndIconByCode)
{
    TRows List;
    List.Add("Arial", fpNone);
    List.Add("Broken", fpInvalidFont);
    List.Add("Named", fpWrongFontName);
    List.Add("Loose", fpNoRegistryKey);
    const TFontRow& Broken = List.Rows[1];
    EXPECT_EQ(Broken.Cells[ui::fcRegistryName], "Broken (TrueType)");
    EXPECT_EQ(Broken.Cells[ui::fcFileName], "C:\\Windows\\Fonts\\Broken.ttf");
    EXPECT_EQ(Broken.Cells[ui::fcProblem], "Invalid Font");
    EXPECT_EQ(Broken.Entry, List.Entries[1].get());
    EXPECT_EQ(List.Rows[0].Image, ui::siNoProblem);
    EXPECT_EQ(List.Rows[0].Cells[ui::fcProblem], "");
    EXPECT_EQ(Broken.Image, ui::siProblem);
    EXPECT_EQ(List.Rows[2].Image, ui::siMinorProblem);
    EXPECT_EQ(List.Rows[3].Image, ui::siProblem);
    EXPECT_EQ(ui::StatusImageOf(fpShadowedFont), ui::siMinorProblem);
    EXPECT_EQ(ui::StatusImageOf(static_cast<TFontProblem>(9)), ui::siNoProblem);
    EXPECT_EQ(ui::StatusImageOf(fpDamagedFont), ui::siProblem);

    TFontRow Repaired = List.Rows[2];
    Repaired.MarkRepaired("Named Right (TrueType)");
    EXPECT_EQ(Repaired.Image, ui::siNoProblem);
    EXPECT_EQ(Repaired.Cells[ui::fcRegistryName], "Named Right (TrueType)");
    EXPECT_EQ(Repaired.Cells[ui::fcProblem], "");
    EXPECT_EQ(Repaired.Cells[ui::fcFontName], "Named");
}

TEST(FontRowsTest, TextColumnsFoldAsciiCaseThenCompareCodes)
{
    TRows List;
    List.Add("beta", fpNone);
    List.Add("Alpha", fpNone);
    List.Add("alpha", fpNone);
    List.Add("ALPHA", fpNone);
    // Upper case before lower case among names equal but for case.
    EXPECT_EQ(List.SortedNames(ui::fcFontName, true), (std::vector<std::string>{"ALPHA", "Alpha", "alpha", "beta"}));
    EXPECT_EQ(List.SortedNames(ui::fcFontName, false), (std::vector<std::string>{"beta", "alpha", "Alpha", "ALPHA"}));
    // The registry cells follow the names here; the file cells by their own text.
    EXPECT_EQ(List.SortedNames(ui::fcRegistryName, true), List.SortedNames(ui::fcFontName, true));
    List.Rows[0].Cells[ui::fcFileName] = "C:\\A.ttf";
    EXPECT_EQ(List.SortedNames(ui::fcFileName, true).front(), "beta");
    // Bytes above 0x7F (UTF-8) come after every ASCII letter.
    List.Add("\xC3\x84rger", fpNone);
    EXPECT_EQ(List.SortedNames(ui::fcFontName, true).back(), "\xC3\x84rger");
}

TEST(FontRowsTest, ProblemColumnIsInventoryOrderRepairedRowsWithHealthyOnes)
{
    TRows List;
    List.Add("Zeta", fpNone);
    List.Add("Misnamed", fpWrongFontName);
    List.Add("Garbage", fpInvalidFont);
    List.Add("Aardvark", fpNone);
    List.Add("Missing", fpFileNotFound);
    // The cell text says nothing; the entry decides.
    List.Rows[1].Entry->Problem = fpNone;
    List.Rows[1].MarkRepaired("Misnamed (TrueType)");
    EXPECT_EQ(List.SortedNames(ui::fcProblem, true),
              (std::vector<std::string>{"Garbage", "Missing", "Aardvark", "Misnamed", "Zeta"}));
    EXPECT_EQ(List.SortedNames(ui::fcProblem, false),
              (std::vector<std::string>{"Zeta", "Misnamed", "Aardvark", "Missing", "Garbage"}));
}

TEST(FontRowsTest, UnsortedOrUnknownColumnLeavesOrder)
{
    TRows List;
    List.Add("b", fpNone);
    List.Add("a", fpInvalidFont);
    for (int Column : {-1, 4, 100})
        EXPECT_EQ(CompareFontRows(Column, true, List.Rows[0], List.Rows[1]), 0) << Column;
    EXPECT_EQ(CompareFontRows(ui::fcFontName, true, List.Rows[0], List.Rows[0]), 0);
}

TEST(FontRowsTest, CopiedRowsAreOneHeaderAndOneTabSeparatedLineEach)
{
    TRows List;
    List.Add("Plain", fpNone);
    List.Add("Two\tLines\r\nName", fpInvalidFont);
    const std::string Text = ui::RowsAsText({"Font Name", "Registry Name", "Filename", "Problem"},
                                            {&List.Rows[1], &List.Rows[0]});
    const std::string Header = "Font Name\tRegistry Name\tFilename\tProblem\r\n";
    ASSERT_EQ(Text.substr(0, Header.size()), Header);
    const std::string Second = Text.substr(Header.size(), Text.find("\r\n", Header.size()) - Header.size());
    EXPECT_EQ(Second.substr(0, Second.find('\t')), "Two Lines  Name");
    EXPECT_EQ(std::count(Second.begin(), Second.end(), '\t'), 3);
    EXPECT_EQ(std::count(Text.begin(), Text.end(), '\n'), 3);
    EXPECT_NE(Text.find("\r\nPlain\t"), std::string::npos);
}

}  // namespace
