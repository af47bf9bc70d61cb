// Cells and the table container: cell copying, the cell block, ownership,
// table-wide block colour, and area rows of a table read from text.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "model_test_support.h"

using namespace kavo;
using namespace kavo_test;

TEST(Cell, CopyAndAssignmentCarryValueFormatDirtyMarkAndLinks) {
    CFormat fmt;
    CTblColumn col;
    CTblRow row;
    CTblCell src(INT64_C(9000000000));
    src.SetFormat(&fmt), src.SetCol(&col), src.SetRow(&row);
    for (int clean = 0; clean < 2; ++clean) {
        if (clean) src.Format();
        CTblCell copy(src), assigned(1);
        assigned = src;
        for (const CTblCell* p : {&copy, &assigned}) {
            EXPECT_EQ(p->GetData(), INT64_C(9000000000)); EXPECT_EQ(p->GetFormat(), &fmt);
            EXPECT_EQ(p->IsDirty(), 1 - clean); EXPECT_EQ(p->GetCol(), &col);
            EXPECT_EQ(p->GetRow(), &row);
        }
    }
    src.SetData(INT64_C(9000000000));  // the same value leaves the mark alone
    EXPECT_EQ(src.IsDirty(), 0);
    src.SetData(-1);
    EXPECT_EQ(src.IsDirty(), 1);
}

TEST(Table, DestructionDestroysEveryNodeOnceInOrder) {
    DestroyLog log;
    {
        CTable t;
        With(&t, With(new TestColumn("S", &log), new TestColumn("A", &log), new TestColumn("B", &log)),
             new TestColumn("C", &log));
        auto* pRow = new TestRow("row", &log);
        t.Alloc(CSize(1, 2));
        pRow->AddCell(t.AllocCell(1)), pRow->AddCell(t.AllocCell(2));
        t.AddChild(With(new TestRow("caption", &log), pRow));
    }
    // Column tree, then row tree; a node before its children. The cells go
    // with the block, not with their row.
    EXPECT_EQ(log, (DestroyLog{"S", "A", "B", "C", "caption", "row"}));
}

// --- The cell block ----------------------------------------------------------

TEST(CellBlock, CellsAreHandedOutDirtyAndKeepAddressesAndValuesWhileTheBlockGrows) {
    CTable t;
    t.Alloc(CSize(1, 3));
    std::vector<CTblCell*> cells;
    // Past the reserve of 3: one more cell per call.
    for (int i = 0; i < 2000; ++i) {
        cells.push_back(t.AllocCell(100 + i));
        ASSERT_EQ(t.GetNumDataCells(), i < 3 ? 3 : i + 1); ASSERT_EQ(cells.back()->IsDirty(), 1);
    }
    // A larger reservation adds cells behind those handed out.
    t.Alloc(CSize(100, 50));
    EXPECT_EQ(t.GetNumDataCells(), 5000);
    cells.push_back(t.AllocCell(-1));
    EXPECT_EQ(t.GetNumDataCells(), 5000);
    for (std::size_t i = 0; i < 2000; ++i) {
        ASSERT_EQ(cells[i]->GetData(), 100 + static_cast<int>(i)) << i;
        ASSERT_NE(cells[i], cells[i + 1]) << i;
    }
    ASSERT_NE(cells[0], cells[2000]);
}

TEST(CellBlock, ShrinkingBelowTheNextCellKeepsHandingOutInsideTheBlock) {
    CTable t;
    t.Alloc(CSize(2, 2));
    CTblCell* p0 = t.AllocCell(1);
    t.AllocCell(2), t.AllocCell(3), t.Alloc(CSize(1, 1));
    EXPECT_EQ(p0->GetData(), 1);  // the kept cell stays where it was
    CTblCell* p = t.AllocCell(4);
    EXPECT_NE(p, p0); EXPECT_EQ(t.GetNumDataCells(), 2);
    // The cell handed out is the block's new last cell, not one beyond it.
    t.StuffBlockColor(0x000A0B0C);
    EXPECT_EQ(p->GetBlockColor(), 0x000A0B0Cu);
    t.Alloc(CSize(0, 5));  // frees every cell
    EXPECT_EQ(t.GetNumDataCells(), 0); EXPECT_EQ(t.AllocCell(5)->GetData(), 5);
    EXPECT_EQ(t.GetNumDataCells(), 1);
}

TEST(CellBlock, NegativeOrAbsurdSizesReserveNothing) {
    CTable t;
    t.Alloc(CSize(2, 2));
    CTblCell* p0 = t.AllocCell(11);
    // -1 x 3 is the "no growth step" form; -2 x -2 a positive product of
    // negative sides; INT_MAX squared and 100000 x 30000 (3e9) are beyond an
    // int; 65536 squared (2^32) wraps to 0 in 32 bits; 20000 squared (4e8)
    // fits an int but is far too many cells to reserve.
    const CSize absurd[] = {CSize(-1, 3),        CSize(3, -1),          CSize(-2, -2),
                            CSize(INT_MAX, INT_MAX), CSize(65536, 65536), CSize(100000, 30000),
                            CSize(20000, 20000), CSize(INT_MIN, -1)};
    for (const CSize& size : absurd) {
        t.Alloc(size);
        EXPECT_EQ(t.GetNumDataCells(), 4) << size.cx << " x " << size.cy;
    }
    EXPECT_EQ(p0->GetData(), 11);
    // The block still hands out its cells and grows past them on demand.
    for (int i = 0; i < 4; ++i) ASSERT_NE(t.AllocCell(i), nullptr);
    EXPECT_EQ(t.GetNumDataCells(), 5);
}

TEST(CellBlock, StuffBlockColorReachesEveryCellPieceAndNode) {
    CTable t;
    t.Alloc(CSize(2, 2));
    auto* pRow = new TestRow;
    pRow->AddCell(t.AllocCell(1));
    auto* pLeaf = new CTblColumn;
    With(&t, With(new CTblColumn, pLeaf), pRow);
    t.StuffBlockColor(0x00336699);
    const CTblOb* all[] = {&t, t.GetTitle(), t.GetHeader(), t.GetFooter(), t.GetStubHead(), t.GetColumnRoot(),
                           t.GetColumnRoot()->GetChild(0), pLeaf, t.GetRowRoot(), pRow, pRow->GetCell(0)};
    for (const CTblOb* p : all) EXPECT_EQ(p->GetBlockColor(), 0x00336699u);
    // Cells not yet handed out are coloured too: hand them out and look.
    for (int i = 1; i < 4; ++i) EXPECT_EQ(t.AllocCell(0)->GetBlockColor(), 0x00336699u) << i;
    EXPECT_EQ(t.AllocCell(0)->GetBlockColor(), kDefaultBlockColor);  // added after the call
}

TEST(LoadedModel, AreaRowsAreFoundAndCopiedAndTablesEqualOnlyThemselves) {
    const char* const text =
        "[Table]\nSize=3, 2\nAreaLevels=2\n[Column]\nText=Urban\n[Column]\nText=Rural\n"
        "[RowGroup]\nText=Region\nAreaCodes=7, 3\nAreaName=North\n[Row]\nText=District\nData=1, 2\n"
        "[Row]\nText=Village\nAreaCodes=7, 3, 12\nAreaName=Hill\nData=3, 4\n[EndGroup]\n"
        "[Row]\nText=Total\nData=4, 6\n";
    CStyleRegistry reg, reg2;
    CTable t, again;
    ASSERT_EQ(LoadTableText(text, reg, t), 1); ASSERT_EQ(LoadTableText(text, reg2, again), 1);
    EXPECT_TRUE(t == t);
    EXPECT_TRUE(t != again);  // alike in everything but their roots

    CTblRow* pGroup = t.GetRowRoot()->GetChild(0);
    EXPECT_EQ(t.GetRowNum(pGroup), -1);  // a caption is not a data row
    EXPECT_EQ(t.GetRow(0)->GetAreaParent(), pGroup);  // the nearest row with an area
    EXPECT_EQ(t.GetRow(1)->GetAreaParent(), t.GetRow(1));
    EXPECT_EQ(t.GetRow(2)->GetAreaParent(), nullptr);  // under the bare root

    CTblRow copy;
    copy = *t.GetRow(1);
    EXPECT_EQ(copy.HasArea(), 1); EXPECT_EQ(copy.GetArea().GetCode(2), 12);
    EXPECT_EQ(copy.GetAreaName(), "Hill");
    EXPECT_TRUE(copy == *t.GetRow(1));  // the same cells, no children
    copy = *t.GetRow(0);
    EXPECT_EQ(copy.HasArea(), 0); EXPECT_TRUE(copy.GetAreaName().IsEmpty());
}

TEST(LoadedModel, SetCellDataKeepsEverySixtyFourBitValue) {
    CStyleRegistry reg;
    CTable t;
    ASSERT_EQ(LoadTableText("[Table]\nSize=1, 2\n[Column]\nText=A\n[Column]\nText=B\n[Row]\nText=R\nData=0, 0\n",
                            reg, t), 1);
    t.GetCell(0, 0)->Format();
    t.SetCellData(0, 0, std::int64_t{5000000000});
    EXPECT_EQ(t.GetCellData(0, 0), 5000000000);
    EXPECT_EQ(t.GetCell(0, 0)->IsDirty(), 1);
    t.SetCellData(0, 1, -1);  // the design's int form widens with its sign
    EXPECT_EQ(t.GetCellData(0, 1), -1);
    t.SetCellData(0, 0, -9000000000000000000LL);  // long long and unsigned pick the 64-bit form
    EXPECT_EQ(t.GetCellData(0, 0), -9000000000000000000LL);
    t.SetCellData(0, 1, 4000000000u);
    EXPECT_EQ(t.GetCellData(0, 1), 4000000000);
}
