// Linking after a read: data arrays, parent links, padding and trimming of
// rows, and the precedence of cell styles and formats.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_test_support.h"
#include "kavotbl/model/table.h"

using file_test::Load;
using file_test::MessageCapture;
using kavo::CTable;

namespace {

const char* const kStyles =
    "[Style]\nLabel=RowS\n[Style]\nLabel=ColS\n[Style]\nLabel=MaskS\n"
    "[Format]\nLabel=RowF\n[Format]\nLabel=ColF\n[Format]\nLabel=MaskF\n";

std::string Columns(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "[Column]\nText=C" + std::to_string(i) + "\n";
    return s;
}

class LinkageTest : public ::testing::Test {
protected:
    std::unique_ptr<file_test::Loaded> Read(const std::string& body) { return Load(std::string(kStyles) + body); }
    MessageCapture capture;
};

TEST_F(LinkageTest, ShortRowIsPaddedWithZeroCellsLinkedToTheLastColumns) {
    auto doc = Read("[Table]\n" + Columns(5) + "[Row]\nData=1, 2, 3\n");
    CTable& t = (*doc)[0];
    const kavo::CTblRow* pRow = t.GetRow(0);
    ASSERT_EQ(pRow->GetNumCells(), 5);
    EXPECT_EQ(t.GetCellData(0, 2), 3);
    for (int c = 3; c < 5; ++c) {
        EXPECT_EQ(t.GetCellData(0, c), 0);
        EXPECT_EQ(t.GetCell(0, c)->GetCol(), t.GetColumn(c));
        EXPECT_EQ(t.GetCell(0, c)->GetRow(), pRow);
    }
}

TEST_F(LinkageTest, LongRowLosesItsLastCells) {
    auto doc = Read("[Table]\n" + Columns(5) + "[Row]\nData=1, 2, 3, 4, 5, 6, 7\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetRow(0)->GetNumCells(), 5);
    EXPECT_EQ(t.GetCellData(0, 4), 5);
    // The two cut off stay in the block.
    EXPECT_EQ(t.GetNumDataCells(), 7);
}

TEST_F(LinkageTest, RowWithoutDataGetsOneZeroCellPerColumn) {
    auto doc = Read("[Table]\n" + Columns(2) + "[Row]\nText=Empty\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetRow(0)->GetNumCells(), 2);
    EXPECT_EQ(t.GetCellData(0, 0), 0);
    EXPECT_EQ(t.GetCellData(0, 1), 0);
    EXPECT_NE(t.GetCell(0, 0), t.GetCell(0, 1));
}

TEST_F(LinkageTest, EveryCellKnowsItsRowAndColumn) {
    auto doc = Read("[Table]\n[ColumnGroup]\n" + Columns(2) + "[EndGroup]\n" + Columns(1) +
                    "[RowGroup]\n[Row]\nData=1, 2, 3\n[Row]\nData=4\n[EndGroup]\n[Row]\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetNumDataRows(), 3);
    ASSERT_EQ(t.GetNumDataColumns(), 3);
    for (int r = 0; r < 3; ++r) {
        ASSERT_EQ(t.GetRow(r)->GetNumCells(), 3);
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(t.GetCell(r, c)->GetRow(), t.GetRow(r));
            EXPECT_EQ(t.GetCell(r, c)->GetCol(), t.GetColumn(c));
        }
    }
}

TEST_F(LinkageTest, DataArraysListTheLeavesDepthFirst) {
    // Columns: A, [S: B, [T: C, D], E], F; rows likewise nested.
    auto doc = Read(
        "[Table]\n[Column]\nText=A\n[ColumnGroup]\nText=S\n[Column]\nText=B\n[ColumnGroup]\nText=T\n"
        "[Column]\nText=C\n[Column]\nText=D\n[EndGroup]\n[Column]\nText=E\n[EndGroup]\n[Column]\nText=F\n"
        "[RowGroup]\nText=G\n[RowGroup]\nText=H\n[Row]\nText=r0\n[EndGroup]\n[Row]\nText=r1\n[EndGroup]\n"
        "[Row]\nText=r2\n");
    CTable& t = (*doc)[0];
    const std::vector<std::string> cols = {"A", "B", "C", "D", "E", "F"};
    ASSERT_EQ(t.GetNumDataColumns(), t.GetColumnRoot()->GetNumDataChildren());
    ASSERT_EQ(t.GetNumDataColumns(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(t.GetColumn(i)->GetText(), cols[static_cast<std::size_t>(i)]);
        int n = 0;
        EXPECT_EQ(t.GetColumnRoot()->GetDataChild(i, &n), t.GetColumn(i));
    }
    ASSERT_EQ(t.GetNumDataRows(), t.GetRowRoot()->GetNumDataChildren());
    ASSERT_EQ(t.GetNumDataRows(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.GetRow(i)->GetText(), "r" + std::to_string(i));
        int n = 0;
        EXPECT_EQ(t.GetRowRoot()->GetDataChild(i, &n), t.GetRow(i));
    }
}

TEST_F(LinkageTest, ParentLinksFollowTheTrees) {
    auto doc = Read("[Table]\n[ColumnGroup]\n[Column]\n[EndGroup]\n[Column]\n"
                    "[RowGroup]\n[RowGroup]\n[Row]\n[EndGroup]\n[EndGroup]\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(t.GetColumnRoot()->GetParent(), nullptr);
    EXPECT_EQ(t.GetRowRoot()->GetParent(), nullptr);
    const kavo::CTblColumn* pSpanner = t.GetColumnRoot()->GetChild(0);
    EXPECT_EQ(pSpanner->GetParent(), t.GetColumnRoot());
    EXPECT_EQ(t.GetColumn(0)->GetParent(), pSpanner);
    EXPECT_EQ(t.GetColumn(1)->GetParent(), t.GetColumnRoot());
    const kavo::CTblRow* pOuter = t.GetRowRoot()->GetChild(0);
    const kavo::CTblRow* pInner = pOuter->GetChild(0);
    EXPECT_EQ(pInner->GetParent(), pOuter);
    EXPECT_EQ(t.GetRow(0)->GetParent(), pInner);
}

// ---------------------------------------------------------------------------
// Styles and formats: mask, then row, then column, then "Default"

TEST_F(LinkageTest, MaskBeatsRowBeatsColumnBeatsDefault) {
    auto doc = Read("[Table]\n[Column]\nCellStyle=ColS\nCellFormat=ColF\n[Column]\nCellStyle=ColS\nCellFormat=ColF\n"
                    "[Column]\n"
                    "[Row]\nCellStyle=RowS\nCellFormat=RowF\nCellStyle=0, MaskS\nCellFormat=0, MaskF\n"
                    "[Row]\nCellStyle=2, MaskS\n");
    CTable& t = (*doc)[0];
    const kavo::CStyleRegistry& reg = doc->registry;
    // Row 0: mask on column 0; the row's own elsewhere, over the column's.
    EXPECT_EQ(t.GetCell(0, 0)->GetStyle(), reg.FindStyle("MaskS"));
    EXPECT_EQ(t.GetCell(0, 0)->GetFormat(), reg.FindFormat("MaskF"));
    EXPECT_EQ(t.GetCell(0, 1)->GetStyle(), reg.FindStyle("RowS"));
    EXPECT_EQ(t.GetCell(0, 1)->GetFormat(), reg.FindFormat("RowF"));
    EXPECT_EQ(t.GetCell(0, 2)->GetStyle(), reg.FindStyle("RowS"));
    // Row 1: no row styles: the column's, or the registry's first.
    EXPECT_EQ(t.GetCell(1, 0)->GetStyle(), reg.FindStyle("ColS"));
    EXPECT_EQ(t.GetCell(1, 0)->GetFormat(), reg.FindFormat("ColF"));
    EXPECT_EQ(t.GetCell(1, 2)->GetStyle(), reg.FindStyle("MaskS"));
    EXPECT_EQ(t.GetCell(1, 2)->GetFormat(), reg.GetFormat(0));
    EXPECT_EQ(reg.GetFormat(0)->GetLabel(), "Default");
}

TEST_F(LinkageTest, StyleMaskAndFormatMaskOfOneCellBothApply) {
    auto doc = Read("[Table]\n" + Columns(3) + "[Row]\nCellStyle=2, MaskS\nCellFormat=2, MaskF\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(t.GetCell(0, 2)->GetStyle(), doc->registry.FindStyle("MaskS"));
    EXPECT_EQ(t.GetCell(0, 2)->GetFormat(), doc->registry.FindFormat("MaskF"));
}

TEST_F(LinkageTest, FirstMaskOfACellInListOrderWins) {
    auto doc = Read("[Table]\n" + Columns(2) +
                    "[Row]\nCellStyle=1, MaskS\nCellFormat=1, MaskF\nCellStyle=1, RowS\nCellFormat=1, RowF\n"
                    "CellStyle=0, Nope\nCellStyle=0, ColS\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(t.GetCell(0, 1)->GetStyle(), doc->registry.FindStyle("MaskS"));
    EXPECT_EQ(t.GetCell(0, 1)->GetFormat(), doc->registry.FindFormat("MaskF"));
    // A mask without a style (unknown name) gives nothing; the next one does.
    EXPECT_EQ(t.GetCell(0, 0)->GetStyle(), doc->registry.FindStyle("ColS"));
}

TEST_F(LinkageTest, MasksOutsideTheRowHaveNoEffect) {
    auto doc = Read("[Table]\n" + Columns(2) + "[Row]\nCellStyle=5, MaskS\nCellStyle=-1, MaskS\nCellStyle=2, MaskS\n[Row]\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetNumDataRows(), 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) EXPECT_EQ(t.GetCell(r, c)->GetStyle(), doc->registry.GetStyle(0));
}

TEST_F(LinkageTest, MaskRowNumbersCountRowSectionsOnly) {
    // An empty row group is a data row but raises no count, so the mask of
    // the row after it names the group's cell.
    auto doc = Read("[Table]\n" + Columns(2) + "[RowGroup]\nText=G\n[EndGroup]\n[Row]\nText=R\nCellStyle=1, MaskS\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetNumDataRows(), 2);
    EXPECT_EQ(t.GetRow(0)->GetText(), "G");
    EXPECT_EQ(t.GetCell(0, 1)->GetStyle(), doc->registry.FindStyle("MaskS"));
    EXPECT_EQ(t.GetCell(1, 1)->GetStyle(), doc->registry.GetStyle(0));
}

TEST_F(LinkageTest, MasksGivenOutOfColumnOrderReachTheirCells) {
    auto doc = Read("[Table]\n" + Columns(4) + "[Row]\nCellStyle=3, MaskS\nCellStyle=0, RowS\nCellStyle=2, ColS\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(t.GetCell(0, 3)->GetStyle(), doc->registry.FindStyle("MaskS"));
    EXPECT_EQ(t.GetCell(0, 0)->GetStyle(), doc->registry.FindStyle("RowS"));
    EXPECT_EQ(t.GetCell(0, 2)->GetStyle(), doc->registry.FindStyle("ColS"));
    EXPECT_EQ(t.GetCell(0, 1)->GetStyle(), doc->registry.GetStyle(0));
}

TEST_F(LinkageTest, OneMaskForEveryCellOfALargeTable) {
    // Each cell gets a style chosen by its position; every one must land.
    const int nRows = 300;
    const int nCols = 40;
    const char* const names[] = {"RowS", "ColS", "MaskS"};
    std::string body = "[Table]\n" + Columns(nCols);
    for (int r = 0; r < nRows; ++r) {
        body += "[Row]\n";
        for (int c = nCols - 1; c >= 0; --c)
            body += "CellStyle=" + std::to_string(c) + ", " + names[(r + c) % 3] + "\n";
    }
    auto doc = Read(body);
    CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetNumDataRows(), nRows);
    for (int r = 0; r < nRows; ++r)
        for (int c = 0; c < nCols; ++c)
            ASSERT_EQ(t.GetCell(r, c)->GetStyle(), doc->registry.FindStyle(names[(r + c) % 3])) << r << "," << c;
}

}  // namespace
