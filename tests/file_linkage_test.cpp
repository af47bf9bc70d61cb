// Linking after a read: data arrays and parent links, padding and trimming
// of rows, and the precedence of cell styles and formats.
#include <gtest/gtest.h>

#include <string>

#include "file_test_support.h"
#include "kavotbl/host/recording_dc.h"

using namespace file_test;
using kavo::CTable;

namespace {

const char* const kStyles =
    "[Style]\nLabel=RowS\n[Style]\nLabel=ColS\n[Style]\nLabel=MaskS\n"
    "[Format]\nLabel=RowF\n[Format]\nLabel=ColF\n[Format]\nLabel=MaskF\n";

// Columns: A, [S: B, [T: C]], D; rows: [G: [H: r0]], r1, r2. The cell of
// group G is no data cell and is left alone.
const char* const kTrees =
    "[Table]\n[Column]\nText=A\n[ColumnGroup]\n[Column]\nText=B\n[ColumnGroup]\n[Column]\nText=C\n[EndGroup]"
    "\n"
    "[EndGroup]\n[Column]\nText=D\n[RowGroup]\nData=7\n[RowGroup]\n[Row]\nText=r0\nData=1, 2\n[EndGroup]\n"
    "[EndGroup]\n[Row]\nText=r1\nData=1, 2, 3, 4, 5, 6\n[Row]\nText=r2\n";

// clang-format off
const std::vector<Case> kLinks = {
    // The data arrays list the leaves depth first. Short rows are padded with
    // zero cells, long ones trimmed; all of them stay in the block:
    // 1 + 2 + 6 + 2 + 4. Each row of the wrong length is reported.
    {kTrees, "X D N", "A B C D /r0/r1/r2|1 2 0 0/1 2 3 4/0 0 0 0|15", 3, "line 29: row 'r0' has 2 values for 4 data columns; the rest are 0"},
    // A mask beats the row's cell style, which beats the column's, which
    // beats the registry's first ("Default"); the same for formats.
    {"[Table]\n[Column]\nCellStyle=ColS\nCellFormat=ColF\n[Column]\nCellStyle=ColS\nCellFormat=ColF\n"
     "[Column]\n[Row]\nCellStyle=RowS\nCellFormat=RowF\nCellStyle=0, MaskS\nCellFormat=0, MaskF\n[Row]\n"
     "CellStyle=2, MaskS\n",
     "P", "MaskS+MaskF RowS+RowF RowS+RowF/ColS+ColF ColS+ColF MaskS", 2},
    // The first mask of a cell wins; one with an unknown name gives nothing.
    {"[Table]\n[Column]\n[Column]\n[Column]\nCellStyle=ColS\n[Row]\nCellStyle=1, MaskS\nCellFormat=1, MaskF\n"
     "CellStyle=1, RowS\nCellFormat=1, RowF\nCellStyle=0, Nope\nCellStyle=0, MaskS\nCellStyle=2, Nope\n"
     "CellFormat=2, Nope\n", "P", "MaskS MaskS+MaskF ColS", 4, "line 26: no format 'Nope'"},
    // Masks outside the row do nothing; those out of column order still land.
    {"[Table]\n[Column]\n[Column]\n[Row]\nCellStyle=5, MaskS\nCellStyle=-1, MaskS\nCellStyle=2, MaskS\n"
     "[Row]\n", "P", "Default Default/Default Default", 2},
    {"[Table]\n" + Rep("[Column]\n", 4) + "[Row]\nCellStyle=3, MaskS\nCellStyle=0, RowS\nCellStyle=2, ColS\n",
     "P", "RowS Default ColS MaskS", 1},
    // Row numbers count row sections: an empty group, at the top or inside
    // another, is a data row without a number of its own, and a mask in a
    // group before its first row is that row's.
    {"[Table]\n[Column]\n[Column]\n[RowGroup]\n[EndGroup]\n[RowGroup]\n[RowGroup]\n[EndGroup]\n[Row]\n"
     "CellStyle=1, MaskS\n[EndGroup]\n", "P", "Default MaskS/Default Default/Default Default", 3},
    {"[Table]\n[Column]\n[Column]\n[Row]\n[RowGroup]\nCellStyle=1, MaskS\n[Row]\n[Row]\n[EndGroup]\n", "P",
     "Default Default/Default MaskS/Default Default", 3},
};
// clang-format on

TEST(Linkage, DataArraysPaddingAndMasks) { CheckCases(kStyles, kLinks); }

TEST(Linkage, EveryCellKnowsItsRowAndColumnAndEveryNodeItsParent) {
    auto doc = Load(kTrees);
    CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetNumDataColumns() * 10 + t.GetNumDataRows(), 43);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_TRUE(t.GetCell(r, c)->GetRow() == t.GetRow(r) &&
                        t.GetCell(r, c)->GetCol() == t.GetColumn(c));
    EXPECT_NE(t.GetCell(2, 0), t.GetCell(2, 1));
    const kavo::CTblRow* pG = t.GetRowRoot()->GetChild(0);
    ASSERT_EQ(pG->GetNumCells(), 1);
    EXPECT_TRUE(pG->GetCell(0)->GetData() == 7 && pG->GetCell(0)->GetCol() == nullptr);
    const kavo::CTblColumn* pS = t.GetColumnRoot()->GetChild(1);
    EXPECT_TRUE(t.GetColumnRoot()->GetParent() == nullptr && pS->GetParent() == t.GetColumnRoot());
    EXPECT_TRUE(t.GetColumn(1)->GetParent() == pS && t.GetColumn(2)->GetParent() == pS->GetChild(1));
    EXPECT_EQ(t.GetColumn(3)->GetParent(), t.GetColumnRoot());
    EXPECT_TRUE(t.GetRow(0)->GetParent()->GetParent() == pG && t.GetRow(1)->GetParent() == t.GetRowRoot());
}

TEST(Linkage, OneMaskForEveryCellOfALargeTable) {
    const int nRows = 300, nCols = 40;
    const char* const names[] = {"RowS", "ColS", "MaskS"};
    std::string body = "[Table]\n" + Rep("[Column]\n", nCols);
    for (int r = 0; r < nRows; ++r) {
        body += "[Row]\n";
        for (int c = nCols - 1; c >= 0; --c)
            body += "CellStyle=" + std::to_string(c) + ", " + names[(r + c) % 3] + "\n";
    }
    auto doc = Load(kStyles + body);
    const CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetNumDataRows(), nRows);
    for (int r = 0; r < nRows; ++r)
        for (int c = 0; c < nCols; ++c)
            ASSERT_EQ(Label(t.GetCell(r, c)->GetStyle()), names[(r + c) % 3]) << r << "," << c;
}

}  // namespace

// Tree edits after loading: an assignment keeps what the table still points
// at alive, and the table links itself again before a layout, or when the
// caller asks after removing a node.
TEST(Linkage, TreeEditsAreLinkedAgain) {
    MessageCapture capture;
    auto doc = Load(
        "[Table]\n[ColumnGroup]\nText=G1\n[Column]\nText=a\n[EndGroup]\n[ColumnGroup]\nText=G2\n[Column]\nText=b\n"
        "[EndGroup]\n[Column]\nText=c\n[RowGroup]\nText=H1\n[Row]\nText=r0\nData=1, 2, 3\n[EndGroup]\n"
        "[RowGroup]\nText=H2\n[Row]\nText=r1\nData=4, 5, 6\n[EndGroup]\n");
    CTable& t = (*doc)[0];
    kavo::CTblColumn* pCols = t.GetColumnRoot();
    *pCols->GetChild(0) = *pCols->GetChild(1);
    *t.GetRowRoot()->GetChild(0) = *t.GetRowRoot()->GetChild(1);
    EXPECT_FALSE(t.IsLinked());
    // Saving walks the trees; the rows still hold their cells.
    EXPECT_NE(SaveTable(t).find("[ColumnGroup]\nText=G2\n\n[Column]\nText=b\n[EndGroup]\n\n[ColumnGroup]\nText=G2"),
              std::string::npos);
    kavo::CRecordingDC dc;
    t.LayoutTable(kavo::CRect(0, 0, 600, 400), &dc);
    EXPECT_TRUE(t.IsLinked());
    // The copy of b took no cells of its own: its rows get zeros, and the
    // row copied over r0 shares r1's cells.
    EXPECT_EQ(Fields(t, "X D"), "b b c /r1/r1|0 5 6/0 5 6");
    // A removed data column takes its values along; the others keep theirs.
    t.GetColumnRoot()->RemoveChildAt(1);
    t.Relink();
    EXPECT_EQ(Fields(t, "X D"), "b c /r1/r1|0 6/0 6");
    EXPECT_TRUE(t.IsLinked() && capture.messages.empty());
}
