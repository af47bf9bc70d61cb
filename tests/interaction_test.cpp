// Hit testing, blocking, block colour and scrolling, on single trees and on a
// loaded table whose boxes are placed by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kavotbl/model/table.h"
#include "kavotbl/style/registry.h"
#include "model_test_support.h"

using kavo::CPoint;
using kavo::CRect;
using kavo::CRectArray;
using kavo::CSize;
using kavo::CStyleRegistry;
using kavo::CTable;
using kavo::CTblCell;
using kavo::CTblColumn;
using kavo::CTblOb;
using kavo::CTblRow;
using kavo_test::Place;
using kavo_test::TestColumn;
using kavo_test::TestTable;

namespace {

std::vector<CRect> Rects(const CRectArray& arr) { return std::vector<CRect>(arr.begin(), arr.end()); }

// Screen-like boxes for this table:
//
//   title     (0,0)-(300,20), heading (0,0)-(50,10) inside it, footing far below
//   stub head (0,20)-(100,60)
//   Spanner   (100,20)-(200,40) over A (100,40)-(150,60), B (150,40)-(200,60)
//   C         (200,20)-(300,60)
//   Caption   (0,60)-(100,80) over R0 (0,80)-(100,100), R1 (0,100)-(100,120)
//   cell (r, c): columns A, B, C across, rows R0, R1 down
const char kTableText[] =
    "[Table]\n"
    "Size=2, 3\n"
    "Name=Households\n"
    "[Title]\n"
    "Text=Households by size\n"
    "[ColumnGroup]\n"
    "Text=Spanner\n"
    "[Column]\n"
    "Text=A\n"
    "[Column]\n"
    "Text=B\n"
    "[EndGroup]\n"
    "[Column]\n"
    "Text=C\n"
    "[RowGroup]\n"
    "Text=Caption\n"
    "[Row]\n"
    "Text=R0\n"
    "Data=1, 2, 3\n"
    "[Row]\n"
    "Text=R1\n"
    "Data=4, 5, 6\n"
    "[EndGroup]\n";

class LoadedTable : public ::testing::Test {
protected:
    void SetUp() override {
        int nMessages = -1;
        ASSERT_EQ(kavo_test::LoadTableText(kTableText, m_reg, table, &nMessages), 1);
        ASSERT_EQ(nMessages, 0);
        ASSERT_EQ(table.GetNumDataColumns(), 3);
        ASSERT_EQ(table.GetNumDataRows(), 2);

        CTblColumn* root = table.GetColumnRoot();
        spanner = root->GetChild(0);
        a = spanner->GetChild(0);
        b = spanner->GetChild(1);
        c = root->GetChild(1);
        caption = table.GetRowRoot()->GetChild(0);
        r0 = caption->GetChild(0);
        r1 = caption->GetChild(1);
        ASSERT_EQ(table.GetColumn(0), a);
        ASSERT_EQ(table.GetRow(1), r1);

        Place(*table.GetTitle(), CRect(0, 0, 300, 20));
        Place(*table.GetHeader(), CRect(0, 0, 50, 10));
        Place(*table.GetFooter(), CRect(0, 200, 300, 220));
        Place(*table.GetStubHead(), CRect(0, 20, 100, 60));
        Place(*spanner, CRect(100, 20, 200, 40));
        Place(*a, CRect(100, 40, 150, 60));
        Place(*b, CRect(150, 40, 200, 60));
        Place(*c, CRect(200, 20, 300, 60));
        Place(*caption, CRect(0, 60, 100, 80));
        Place(*r0, CRect(0, 80, 100, 100));
        Place(*r1, CRect(0, 100, 100, 120));
        for (int r = 0; r < 2; ++r)
            for (int col = 0; col < 3; ++col) Place(*table.GetCell(r, col), CellBox(r, col));
    }
    static CRect CellBox(int r, int c) {
        static const int x[] = {100, 150, 200, 300};
        return CRect(x[c], 80 + 20 * r, x[c + 1], 100 + 20 * r);
    }

    CStyleRegistry m_reg;
    TestTable table;
    CTblColumn *spanner = nullptr, *a = nullptr, *b = nullptr, *c = nullptr;
    CTblRow *caption = nullptr, *r0 = nullptr, *r1 = nullptr;
};

}  // namespace

// --- Hit testing on trees ----------------------------------------------------

TEST(TreeHitTest, NodeBeforeChildrenAndFirstChildFirst) {
    TestColumn parent("parent");
    parent.Pos() = CRect(0, 0, 100, 10);
    auto* pFirst = new TestColumn("first");
    pFirst->Pos() = CRect(0, 0, 60, 20);
    auto* pSecond = new TestColumn("second");
    pSecond->Pos() = CRect(40, 0, 100, 20);
    auto* pGrandchild = new TestColumn("grandchild");
    pGrandchild->Pos() = CRect(40, 10, 50, 20);
    pFirst->AddChild(pGrandchild);
    parent.AddChild(pFirst);
    parent.AddChild(pSecond);

    CTblOb* pHit = nullptr;
    EXPECT_EQ(parent.HitTest(CPoint(50, 5), pHit), 1);
    EXPECT_EQ(pHit, &parent);
    EXPECT_EQ(parent.HitTest(CPoint(45, 15), pHit), 1);
    EXPECT_EQ(pHit, pFirst);  // its own box before its child's
    EXPECT_EQ(parent.HitTest(CPoint(70, 15), pHit), 1);
    EXPECT_EQ(pHit, pSecond);
    pHit = nullptr;
    EXPECT_EQ(parent.HitTest(CPoint(100, 15), pHit), 0);
    EXPECT_EQ(pHit, nullptr);
}

// --- Blocking on trees -------------------------------------------------------

TEST(TreeBlock, BlockingASubtreeAppendsChangedBoxesInPreOrder) {
    TestColumn top("top");
    top.Pos() = CRect(0, 0, 1, 1);
    auto* pS = new TestColumn("S");
    pS->Pos() = CRect(0, 0, 2, 2);
    auto* pA = new TestColumn("A");
    pA->Pos() = CRect(0, 0, 3, 3);
    auto* pB = new TestColumn("B");
    pB->Pos() = CRect(0, 0, 4, 4);
    pS->AddChild(pA);
    top.AddChild(pS);
    top.AddChild(pB);

    CRectArray rects;
    pA->Block(rects, 1);  // already blocked below: not appended again
    rects.RemoveAll();
    top.Block(rects, 1);
    EXPECT_EQ(Rects(rects), (std::vector<CRect>{CRect(0, 0, 1, 1), CRect(0, 0, 2, 2), CRect(0, 0, 4, 4)}));
    EXPECT_EQ(pA->IsBlocked(), 1);
    EXPECT_EQ(pB->IsBlocked(), 1);
    top.Block(rects, 1);
    EXPECT_EQ(rects.GetSize(), 3);
    top.Block(rects, 0);
    EXPECT_EQ(rects.GetSize(), 7);
    EXPECT_EQ(pA->IsBlocked(), 0);
}

TEST(TreeBlock, ParentsFollowTheirChildrenUpToTheRoot) {
    // root > S1 > (S2 > (x, y), z), w
    CTblColumn root;
    auto* pS1 = new TestColumn("S1");
    pS1->Pos() = CRect(1, 1, 2, 2);
    auto* pS2 = new TestColumn("S2");
    pS2->Pos() = CRect(2, 2, 3, 3);
    auto* pX = new TestColumn("x");
    auto* pY = new TestColumn("y");
    auto* pZ = new TestColumn("z");
    auto* pW = new TestColumn("w");
    pS2->AddChild(pX);
    pS2->AddChild(pY);
    pS1->AddChild(pS2);
    pS1->AddChild(pZ);
    root.AddChild(pS1);
    root.AddChild(pW);

    CRectArray rects;
    pX->Block(rects, 1);
    pY->Block(rects, 1);
    rects.RemoveAll();
    root.BlockParents(rects, 1);
    // Each parent once, deepest first, the root's empty box last.
    EXPECT_EQ(Rects(rects), (std::vector<CRect>{CRect(2, 2, 3, 3), CRect(1, 1, 2, 2), CRect()}));
    EXPECT_EQ(pS1->IsBlocked(), 1);
    EXPECT_EQ(root.IsBlocked(), 1);
    EXPECT_EQ(pZ->IsBlocked(), 0);  // siblings are not touched
    EXPECT_EQ(pW->IsBlocked(), 0);
    root.BlockParents(rects, 1);
    EXPECT_EQ(rects.GetSize(), 3);

    // Clearing: S2 has blocked children and is cleared; S1 then has no
    // blocked child and stays blocked, which in turn clears the root.
    rects.RemoveAll();
    root.BlockParents(rects, 0);
    EXPECT_EQ(Rects(rects), (std::vector<CRect>{CRect(2, 2, 3, 3), CRect()}));
    EXPECT_EQ(pS2->IsBlocked(), 0);
    EXPECT_EQ(pS1->IsBlocked(), 1);
    EXPECT_EQ(root.IsBlocked(), 0);
    EXPECT_EQ(pX->IsBlocked(), 1);
}

// --- A loaded table: hit testing ----------------------------------------------

TEST_F(LoadedTable, CellEdgesBelongToTheCellAtTheirLeftAndTop) {
    CTblOb* pHit = nullptr;
    ASSERT_EQ(table.HitTest(CPoint(100, 80), pHit), 1);
    EXPECT_EQ(pHit, table.GetCell(0, 0));
    // Right edge of (0,0) is the left edge of (0,1); bottom edge of (0,1) the top of (1,1).
    ASSERT_EQ(table.HitTest(CPoint(150, 99), pHit), 1);
    EXPECT_EQ(pHit, table.GetCell(0, 1));
    ASSERT_EQ(table.HitTest(CPoint(160, 100), pHit), 1);
    EXPECT_EQ(pHit, table.GetCell(1, 1));
    ASSERT_EQ(table.HitTest(CPoint(299, 119), pHit), 1);
    EXPECT_EQ(pHit, table.GetCell(1, 2));

    // The table's right and bottom edges hit nothing.
    CTblOb* pBefore = pHit;
    EXPECT_EQ(table.HitTest(CPoint(300, 90), pHit), 0);
    EXPECT_EQ(table.HitTest(CPoint(150, 120), pHit), 0);
    EXPECT_EQ(pHit, pBefore);
}

TEST_F(LoadedTable, NodesAndPiecesAreFoundInTheirBoxes) {
    CTblOb* pHit = nullptr;
    ASSERT_EQ(table.HitTest(CPoint(120, 45), pHit), 1);
    EXPECT_EQ(pHit, a);
    ASSERT_EQ(table.HitTest(CPoint(150, 20), pHit), 1);
    EXPECT_EQ(pHit, spanner);
    ASSERT_EQ(table.HitTest(CPoint(10, 110), pHit), 1);
    EXPECT_EQ(pHit, r1);
    ASSERT_EQ(table.HitTest(CPoint(10, 70), pHit), 1);
    EXPECT_EQ(pHit, caption);
    ASSERT_EQ(table.HitTest(CPoint(10, 30), pHit), 1);
    EXPECT_EQ(pHit, table.GetStubHead());
}

TEST_F(LoadedTable, HeadingAndFootingAreNeverHit) {
    CTblOb* pHit = nullptr;
    // Inside the heading, which lies inside the title: the title answers.
    ASSERT_EQ(table.HitTest(CPoint(5, 5), pHit), 1);
    EXPECT_EQ(pHit, table.GetTitle());
    // Inside the footing only.
    pHit = nullptr;
    EXPECT_EQ(table.HitTest(CPoint(10, 210), pHit), 0);
    EXPECT_EQ(pHit, nullptr);
    // The table's own box is not hittable either.
    table.Pos() = CRect(0, 0, 1000, 1000);
    EXPECT_EQ(table.HitTest(CPoint(500, 500), pHit), 0);
    EXPECT_EQ(pHit, nullptr);
}

TEST_F(LoadedTable, LaterCandidatesWinOverlaps) {
    CTblOb* pHit = nullptr;
    // Stub head over title.
    Place(*table.GetStubHead(), CRect(0, 0, 100, 60));
    ASSERT_EQ(table.HitTest(CPoint(10, 10), pHit), 1);
    EXPECT_EQ(pHit, table.GetStubHead());
    // A row over a column.
    Place(*r1, CRect(100, 40, 150, 60));
    ASSERT_EQ(table.HitTest(CPoint(120, 50), pHit), 1);
    EXPECT_EQ(pHit, r1);
    // A title or stub-head hit stops the search before the trees.
    Place(*c, CRect(0, 0, 300, 60));
    ASSERT_EQ(table.HitTest(CPoint(250, 10), pHit), 1);
    EXPECT_EQ(pHit, table.GetTitle());
    // A node hit stops it before the cells.
    Place(*caption, CRect(100, 80, 150, 100));
    ASSERT_EQ(table.HitTest(CPoint(120, 90), pHit), 1);
    EXPECT_EQ(pHit, caption);
}

TEST_F(LoadedTable, FlippedLayoutIsNeverHit) {
    table.GetTitle()->IHateTwips();
    table.GetHeader()->IHateTwips();
    table.GetFooter()->IHateTwips();
    table.GetStubHead()->IHateTwips();
    table.GetColumnRoot()->IHateTwips();
    table.GetRowRoot()->IHateTwips();
    for (int r = 0; r < 2; ++r)
        for (int col = 0; col < 3; ++col) table.GetCell(r, col)->IHateTwips();
    EXPECT_EQ(table.GetCell(1, 2)->GetPos(), CRect(200, -100, 300, -120));

    CTblOb* pHit = nullptr;
    for (int x = 0; x <= 300; x += 10)
        for (int y = -220; y <= 220; y += 10) ASSERT_EQ(table.HitTest(CPoint(x, y), pHit), 0) << x << "," << y;
    EXPECT_EQ(pHit, nullptr);
}

// --- A loaded table: blocking ---------------------------------------------------

TEST_F(LoadedTable, BlockingTheTableVisitsPiecesTreesThenCells) {
    CRectArray rects;
    table.Block(rects, 1);
    std::vector<CRect> expected = {
        CRect(0, 0, 300, 20),    CRect(0, 0, 50, 10),      CRect(0, 200, 300, 220),
        CRect(0, 20, 100, 60),   CRect(),                  CRect(100, 20, 200, 40),
        CRect(100, 40, 150, 60), CRect(150, 40, 200, 60),  CRect(200, 20, 300, 60),
        CRect(),                 CRect(0, 60, 100, 80),    CRect(0, 80, 100, 100),
        CRect(0, 100, 100, 120)};
    for (int r = 0; r < 2; ++r)
        for (int col = 0; col < 3; ++col) expected.push_back(CellBox(r, col));
    EXPECT_EQ(Rects(rects), expected);
    EXPECT_EQ(table.GetHeader()->IsBlocked(), 1);
    EXPECT_EQ(table.GetCell(1, 2)->IsBlocked(), 1);

    // Fully blocked: nothing changes, nothing is appended.
    table.Block(rects, 1);
    EXPECT_EQ(rects.GetSize(), static_cast<int>(expected.size()));

    // Clearing appends everything once more, in the same order.
    rects.RemoveAll();
    table.Block(rects, 0);
    EXPECT_EQ(Rects(rects), expected);
    EXPECT_EQ(table.IsBlocked(), 0);
}

TEST_F(LoadedTable, BlockParentsClimbsBothTreesAndNothingElse) {
    CRectArray rects;
    a->Block(rects, 1);
    b->Block(rects, 1);
    r0->Block(rects, 1);
    table.GetCell(0, 0)->Block(rects, 1);
    rects.RemoveAll();

    table.BlockParents(rects, 1);
    EXPECT_EQ(Rects(rects),
              (std::vector<CRect>{CRect(100, 20, 200, 40), CRect(), CRect(0, 60, 100, 80), CRect()}));
    EXPECT_EQ(table.GetColumnRoot()->IsBlocked(), 1);
    EXPECT_EQ(table.GetRowRoot()->IsBlocked(), 1);
    EXPECT_EQ(c->IsBlocked(), 0);
    EXPECT_EQ(table.GetTitle()->IsBlocked(), 0);
    EXPECT_EQ(table.GetCell(0, 1)->IsBlocked(), 0);

    table.BlockParents(rects, 1);
    EXPECT_EQ(rects.GetSize(), 4);
}

TEST_F(LoadedTable, OnlyCellsMakeTheTableBlocked) {
    CRectArray rects;
    table.GetTitle()->Block(rects, 1);
    table.GetStubHead()->Block(rects, 1);
    caption->Block(rects, 1);  // with its data rows
    spanner->Block(rects, 1);  // with its data columns
    table.Block(rects, 0);
    table.GetTitle()->Block(rects, 1);
    caption->Block(rects, 1);
    c->Block(rects, 1);
    EXPECT_EQ(table.IsBlocked(), 0);

    // A spare cell of the block that no row refers to does not count.
    CTblCell* pSpare = table.AllocCell(0);
    pSpare->Block(rects, 1);
    EXPECT_EQ(table.IsBlocked(), 0);

    table.GetCell(1, 2)->Block(rects, 1);
    EXPECT_EQ(table.IsBlocked(), 1);
}

TEST_F(LoadedTable, BlockColourReachesEveryPartOfALoadedTable) {
    table.StuffBlockColor(0x00010203);
    const CTblOb* all[] = {&table, table.GetTitle(), table.GetHeader(), table.GetFooter(),
                           table.GetStubHead(), table.GetColumnRoot(), spanner, a, b, c,
                           table.GetRowRoot(), caption, r0, r1};
    for (const CTblOb* p : all) EXPECT_EQ(p->GetBlockColor(), 0x00010203u) << p->GetText().c_str();
    for (int r = 0; r < 2; ++r)
        for (int col = 0; col < 3; ++col) EXPECT_EQ(table.GetCell(r, col)->GetBlockColor(), 0x00010203u);
}

// --- A loaded table: scrolling ---------------------------------------------------

TEST_F(LoadedTable, ScrollMovesColumnsSidewaysRowsDownCellsBothAndPiecesNot) {
    table.SetBorder(CRect(0, 0, 300, 120));
    table.ScrollBy(-100, -50);

    EXPECT_EQ(a->GetPos(), CRect(0, 40, 50, 60));
    EXPECT_EQ(spanner->GetPos(), CRect(0, 20, 100, 40));
    EXPECT_EQ(c->GetPos(), CRect(100, 20, 200, 60));
    EXPECT_EQ(caption->GetPos(), CRect(0, 10, 100, 30));
    EXPECT_EQ(r1->GetPos(), CRect(0, 50, 100, 70));
    EXPECT_EQ(table.GetCell(0, 0)->GetPos(), CRect(0, 30, 50, 50));
    EXPECT_EQ(table.GetCell(1, 2)->GetPos(), CRect(100, 50, 200, 70));

    EXPECT_EQ(table.GetTitle()->GetPos(), CRect(0, 0, 300, 20));
    EXPECT_EQ(table.GetStubHead()->GetPos(), CRect(0, 20, 100, 60));
    EXPECT_EQ(table.GetHeader()->GetPos(), CRect(0, 0, 50, 10));
    EXPECT_EQ(table.GetFooter()->GetPos(), CRect(0, 200, 300, 220));
    EXPECT_EQ(table.GetBorder(), CRect(0, 0, 300, 120));
    EXPECT_EQ(table.GetColumnRoot()->GetPos(), CRect(-100, 0, -100, 0));
    EXPECT_EQ(table.GetRowRoot()->GetPos(), CRect(0, -50, 0, -50));
    // Unset borders stay at the origin.
    EXPECT_EQ(a->GetBorder(), CRect());
    EXPECT_EQ(r0->GetBorder(), CRect());
}

TEST(TableScroll, BordersFollowTheirNodesAndCellsMoveWithTheirRows) {
    CTable t;
    t.Alloc(CSize(1, 1));
    CTblCell* p = t.AllocCell(1);
    Place(*p, CRect(100, 100, 150, 120));
    auto* pRow = new kavo_test::TestRow("row");
    pRow->Pos() = CRect(0, 100, 100, 120);
    pRow->SetBorder(CRect(0, 100, 100, 120));
    pRow->AddCell(p);
    auto* pCaption = new kavo_test::TestRow("caption");
    pCaption->AddChild(pRow);
    t.AddChild(pCaption);
    auto* pCol = new TestColumn("col");
    pCol->Pos() = CRect(100, 0, 150, 20);
    pCol->SetBorder(CRect(100, 0, 150, 100));
    t.AddChild(pCol);

    t.ScrollBy(-100, -50);
    EXPECT_EQ(pRow->GetPos(), CRect(0, 50, 100, 70));
    EXPECT_EQ(pRow->GetBorder(), CRect(0, 50, 100, 70));
    EXPECT_EQ(p->GetPos(), CRect(0, 50, 50, 70));
    EXPECT_EQ(pCol->GetPos(), CRect(0, 0, 50, 20));
    EXPECT_EQ(pCol->GetBorder(), CRect(0, 0, 50, 100));
    EXPECT_EQ(pCaption->GetPos(), CRect(0, -50, 0, -50));
    EXPECT_EQ(pCaption->GetBorder(), CRect());
}
