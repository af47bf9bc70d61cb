// Cells and the table container: cell copying, the cell block, comparison,
// ownership and table-wide block colour.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "kavotbl/model/table.h"
#include "kavotbl/style/format.h"
#include "model_test_support.h"

using kavo::CFormat;
using kavo::CRect;
using kavo::CRectArray;
using kavo::CSize;
using kavo::CTable;
using kavo::CTblCell;
using kavo::CTblColumn;
using kavo::CTblOb;
using kavo::CTblRow;
using kavo_test::DestroyLog;
using kavo_test::LoggedColumn;
using kavo_test::Place;
using kavo_test::TestCell;
using kavo_test::TestRow;

namespace {

CFormat* SomeFormat() {
    static int f;
    return reinterpret_cast<CFormat*>(&f);
}

}  // namespace

// --- Cells -----------------------------------------------------------------

TEST(Cell, NewCellIsDirtyAndUnlinked) {
    CTblCell cell(-5);
    EXPECT_EQ(cell.GetData(), -5);
    EXPECT_EQ(cell.IsDirty(), 1);
    EXPECT_EQ(cell.GetFormat(), nullptr);
    EXPECT_EQ(cell.GetCol(), nullptr);
    EXPECT_EQ(cell.GetRow(), nullptr);
    EXPECT_TRUE(cell.GetText().IsEmpty());
    EXPECT_EQ(CTblCell().GetData(), 0);
}

TEST(Cell, CopyAndAssignmentCarryValueFormatMarkAndLinks) {
    CTblColumn col;
    CTblRow row;
    TestCell src(INT64_C(9000000000));
    src.SetText("9,000,000,000");
    src.SetFormat(SomeFormat());
    src.SetCol(&col);
    src.SetRow(&row);
    src.Pos() = CRect(1, 2, 3, 4);
    src.SetBorder(CRect(1, 2, 3, 4));
    src.SetBlockColor(0xABCDEF);
    CRectArray rects;
    src.Block(rects, 1);

    CTblCell copy(src);
    EXPECT_EQ(copy.GetData(), INT64_C(9000000000));
    EXPECT_EQ(copy.GetFormat(), SomeFormat());
    EXPECT_EQ(copy.IsDirty(), 1);
    EXPECT_EQ(copy.GetCol(), &col);
    EXPECT_EQ(copy.GetRow(), &row);
    EXPECT_EQ(copy.GetText(), "9,000,000,000");
    EXPECT_EQ(copy.GetBorder(), CRect(1, 2, 3, 4));
    EXPECT_EQ(copy.IsBlocked(), 1);
    EXPECT_EQ(copy.GetBlockColor(), 0u);

    TestCell target(1);
    target.SetBorder(CRect(0, 0, 9, 9));
    static_cast<CTblCell&>(target) = src;
    EXPECT_EQ(target.GetData(), INT64_C(9000000000));
    EXPECT_EQ(target.GetFormat(), SomeFormat());
    EXPECT_EQ(target.GetCol(), &col);
    EXPECT_EQ(target.GetRow(), &row);
    EXPECT_EQ(target.GetPos(), CRect(1, 2, 3, 4));
    EXPECT_EQ(target.GetBorder(), CRect(0, 0, 9, 9));  // element assignment keeps it
    EXPECT_EQ(target.IsBlocked(), 0);
}

TEST(Cell, CopyAndAssignmentCarryACleanMark) {
    kavo::CFormat fmt;
    CTblCell clean(12);
    clean.SetFormat(&fmt);
    clean.Format();
    ASSERT_EQ(clean.IsDirty(), 0);

    CTblCell copy(clean);
    EXPECT_EQ(copy.IsDirty(), 0);
    CTblCell assigned(12);
    assigned = clean;
    EXPECT_EQ(assigned.IsDirty(), 0);
    assigned.SetData(12);  // the same value leaves the mark alone
    EXPECT_EQ(assigned.IsDirty(), 0);
    assigned.SetData(-1);
    EXPECT_EQ(assigned.IsDirty(), 1);
    EXPECT_EQ(clean.GetData(), 12);
}

// --- The table -------------------------------------------------------------

TEST(Table, NewTableIsEmptyWithItsOwnRoots) {
    CTable t;
    EXPECT_EQ(t.GetNumDataCells(), 0);
    EXPECT_EQ(t.IsLoaded(), 0);
    EXPECT_EQ(t.GetNumPages(), 0);
    EXPECT_EQ(t.GetNumAreaLevels(), 0u);
    ASSERT_NE(t.GetColumnRoot(), nullptr);
    ASSERT_NE(t.GetRowRoot(), nullptr);
    EXPECT_TRUE(t.GetColumnRoot()->HasData());
    EXPECT_TRUE(t.GetRowRoot()->HasData());
    EXPECT_EQ(t.Size(), CSize());

    CTable other;
    EXPECT_NE(other.GetColumnRoot(), t.GetColumnRoot());
}

TEST(Table, SizeAddsTheTitleHeight) {
    CTable t;
    CTblOb title("Table 1");
    Place(title, CRect(5, 7, 200, 57));
    t.SetTitle(title);
    EXPECT_EQ(t.GetTitle()->GetText(), "Table 1");
    EXPECT_EQ(t.TitleSize(), CSize(195, 50));
    // Without a layout the heading and stub sizes are 0: only the title counts.
    EXPECT_EQ(t.Size(), CSize(0, 50));
}

TEST(Table, EqualOnlyToItself) {
    CTable a, b;
    EXPECT_TRUE(a == a);
    EXPECT_FALSE(a != a);
    // Everything compared but the roots is alike.
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a != b);

    a.SetName("T");
    EXPECT_TRUE(a == a);
}

TEST(Table, DestructionDestroysEveryNodeOnce) {
    DestroyLog log;
    {
        CTable t;
        auto* pSpanner = new LoggedColumn("S", &log);
        pSpanner->AddChild(new LoggedColumn("A", &log));
        pSpanner->AddChild(new LoggedColumn("B", &log));
        t.AddChild(pSpanner);
        t.AddChild(new LoggedColumn("C", &log));
        auto* pCaption = new TestRow("caption", &log);
        auto* pRow = new TestRow("row", &log);
        t.Alloc(CSize(1, 2));
        pRow->AddCell(t.AllocCell(1));
        pRow->AddCell(t.AllocCell(2));
        pCaption->AddChild(pRow);
        t.AddChild(pCaption);
    }
    // Column tree first, then the row tree; the cells go with the block.
    EXPECT_EQ(log.names, (std::vector<std::string>{"S", "A", "B", "C", "caption", "row"}));
}

// --- The cell block ----------------------------------------------------------

TEST(CellBlock, AllocReservesZeroedDirtyCellsHandedOutInOrder) {
    CTable t;
    t.Alloc(CSize(2, 3));
    ASSERT_EQ(t.GetNumDataCells(), 6);
    CTblCell* p0 = t.AllocCell(7);
    EXPECT_EQ(p0->GetData(), 7);
    EXPECT_EQ(p0->IsDirty(), 1);
    EXPECT_EQ(t.GetNumDataCells(), 6);
    std::vector<CTblCell*> handed{p0};
    for (int i = 1; i < 6; ++i) {
        CTblCell* p = t.AllocCell(0);
        EXPECT_EQ(p->GetData(), 0);
        EXPECT_EQ(p->IsDirty(), 1);
        for (CTblCell* q : handed) EXPECT_NE(p, q);
        handed.push_back(p);
    }
    EXPECT_EQ(t.GetNumDataCells(), 6);
    EXPECT_EQ(p0->GetData(), 7);
}

TEST(CellBlock, CellsKeepAddressesAndValuesWhileTheBlockGrows) {
    CTable t;
    t.Alloc(CSize(1, 3));
    std::vector<CTblCell*> cells;
    for (int i = 0; i < 3; ++i) cells.push_back(t.AllocCell(100 + i));

    // Past the reserve: one more cell per call.
    for (int i = 3; i < 2000; ++i) {
        cells.push_back(t.AllocCell(100 + i));
        ASSERT_EQ(t.GetNumDataCells(), i + 1);
    }
    // A larger reservation adds cells behind those handed out.
    t.Alloc(CSize(100, 50));
    EXPECT_EQ(t.GetNumDataCells(), 5000);
    CTblCell* pNext = t.AllocCell(-1);
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(cells[static_cast<std::size_t>(i)]->GetData(), 100 + i) << i;
        ASSERT_NE(cells[static_cast<std::size_t>(i)], pNext);
    }
    EXPECT_EQ(pNext->GetData(), -1);
    EXPECT_EQ(t.GetNumDataCells(), 5000);
}

TEST(CellBlock, ShrinkingBelowTheNextCellKeepsHandingOutInsideTheBlock) {
    CTable t;
    t.Alloc(CSize(2, 2));
    CTblCell* p0 = t.AllocCell(1);
    t.AllocCell(2);
    t.AllocCell(3);
    t.Alloc(CSize(1, 1));
    EXPECT_EQ(t.GetNumDataCells(), 1);
    EXPECT_EQ(p0->GetData(), 1);  // the kept cell stays where it was
    CTblCell* p = t.AllocCell(4);
    ASSERT_NE(p, nullptr);
    EXPECT_NE(p, p0);
    EXPECT_EQ(p->GetData(), 4);
    EXPECT_EQ(t.GetNumDataCells(), 2);
    // The cell handed out is the block's new last cell, not one beyond it.
    t.StuffBlockColor(0x000A0B0C);
    EXPECT_EQ(p->GetBlockColor(), 0x000A0B0Cu);

    t.Alloc(CSize(0, 5));  // frees every cell
    EXPECT_EQ(t.GetNumDataCells(), 0);
    p = t.AllocCell(5);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetData(), 5);
    EXPECT_EQ(t.GetNumDataCells(), 1);
}

TEST(CellBlock, NegativeOrAbsurdSizesReserveNothing) {
    CTable t;
    t.Alloc(CSize(2, 2));
    CTblCell* p0 = t.AllocCell(11);
    const CSize absurd[] = {
        CSize(-1, 3),                // the "no growth step" form
        CSize(3, -1),
        CSize(-2, -2),               // a positive product of negative sides
        CSize(INT_MAX, INT_MAX),     // beyond int
        CSize(65536, 65536),         // 2^32: wraps to 0 in 32 bits
        CSize(100000, 30000),        // 3e9: beyond int
        CSize(20000, 20000),         // 4e8: fits an int, far too many to reserve
        CSize(INT_MIN, -1),
    };
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
    CTblCell* pHanded = t.AllocCell(1);
    auto* pSpanner = new CTblColumn;
    auto* pLeaf = new CTblColumn;
    pSpanner->AddChild(pLeaf);
    t.AddChild(pSpanner);
    auto* pRow = new TestRow;
    pRow->AddCell(pHanded);
    t.AddChild(pRow);

    t.StuffBlockColor(0x00336699);
    const CTblOb* all[] = {&t, t.GetTitle(), t.GetHeader(), t.GetFooter(), t.GetStubHead(),
                           t.GetColumnRoot(), pSpanner, pLeaf, t.GetRowRoot(), pRow, pHanded};
    for (const CTblOb* p : all) EXPECT_EQ(p->GetBlockColor(), 0x00336699u);
    // Cells not yet handed out are coloured too: hand them out and look.
    for (int i = 1; i < 4; ++i) EXPECT_EQ(t.AllocCell(0)->GetBlockColor(), 0x00336699u) << i;
    // A cell added after the call has the initial colour.
    EXPECT_EQ(t.AllocCell(0)->GetBlockColor(), 0u);
}

// --- A loaded table ------------------------------------------------------------

namespace {

const char kAreaTable[] =
    "[Table]\n"
    "Size=3, 2\n"
    "AreaLevels=2\n"
    "[Column]\n"
    "Text=Urban\n"
    "[Column]\n"
    "Text=Rural\n"
    "[RowGroup]\n"
    "Text=Region\n"
    "AreaCodes=7, 3\n"
    "AreaName=North\n"
    "[Row]\n"
    "Text=District\n"
    "Data=1, 2\n"
    "[Row]\n"
    "Text=Village\n"
    "AreaCodes=7, 3, 12\n"
    "AreaName=Hill\n"
    "Data=3, 4\n"
    "[EndGroup]\n"
    "[Row]\n"
    "Text=Total\n"
    "Data=4, 6\n";

class LoadedModel : public ::testing::Test {
protected:
    void SetUp() override {
        int nMessages = -1;
        ASSERT_EQ(kavo_test::LoadTableText(kAreaTable, m_reg, table, &nMessages), 1);
        ASSERT_EQ(nMessages, 0);
        ASSERT_EQ(table.GetNumDataColumns(), 2);
        ASSERT_EQ(table.GetNumDataRows(), 3);
    }
    kavo::CStyleRegistry m_reg;
    CTable table;
};

}  // namespace

TEST_F(LoadedModel, CellsAndDataNumbersAgreeWithTheTrees) {
    CTblRow* pGroup = table.GetRowRoot()->GetChild(0);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(table.GetRowNum(table.GetRow(r)), r);
        for (int c = 0; c < 2; ++c) EXPECT_EQ(table.GetCell(r, c), table.GetRow(r)->GetCell(c));
    }
    EXPECT_EQ(table.GetColumnNum(table.GetColumn(1)), 1);
    EXPECT_EQ(table.GetColumnNum(table.GetColumnRoot()), -1);
    EXPECT_EQ(table.GetRowNum(pGroup), -1);  // a caption is not a data row
    EXPECT_EQ(table.GetCellData(1, 1), 4);
    EXPECT_EQ(table.GetCellData(2, 0), 4);

    table.SetCellData(2, 1, -1);
    EXPECT_EQ(table.GetCellData(2, 1), INT64_C(-1));
    EXPECT_EQ(table.GetCell(2, 1)->IsDirty(), 1);
}

TEST_F(LoadedModel, TablesFromTheSameFileDiffer) {
    kavo::CStyleRegistry reg;
    CTable again;
    ASSERT_EQ(kavo_test::LoadTableText(kAreaTable, reg, again, nullptr), 1);
    EXPECT_TRUE(table == table);
    EXPECT_FALSE(table == again);
    EXPECT_TRUE(table != again);
    EXPECT_EQ(table.GetName(), again.GetName());
}

TEST_F(LoadedModel, AreaParentIsTheNearestRowWithArea) {
    CTblRow* pGroup = table.GetRowRoot()->GetChild(0);
    CTblRow* pDistrict = table.GetRow(0);
    CTblRow* pVillage = table.GetRow(1);
    EXPECT_EQ(pDistrict->GetParent(), pGroup);
    EXPECT_EQ(pDistrict->GetAreaParent(), pGroup);
    EXPECT_EQ(pVillage->GetAreaParent(), pVillage);
    EXPECT_EQ(pGroup->GetAreaParent(), pGroup);
    EXPECT_EQ(table.GetRow(2)->GetAreaParent(), nullptr);  // under the bare root
}

TEST_F(LoadedModel, RowAssignmentCarriesTheAreaFields) {
    CTblRow* pVillage = table.GetRow(1);
    CTblRow copy;
    copy = *pVillage;
    EXPECT_EQ(copy.HasArea(), 1);
    EXPECT_EQ(copy.GetArea(), pVillage->GetArea());
    EXPECT_EQ(copy.GetArea().GetCode(2), 12);
    EXPECT_EQ(copy.GetAreaName(), "Hill");
    ASSERT_EQ(copy.GetNumCells(), 2);
    EXPECT_EQ(copy.GetCell(1), table.GetCell(1, 1));
    // Same cells, no children: the rows compare equal, whatever their areas.
    EXPECT_TRUE(copy == *pVillage);
    CTblRow other;
    other = *table.GetRow(0);
    EXPECT_EQ(other.HasArea(), 0);
    EXPECT_TRUE(other.GetAreaName().IsEmpty());
}
