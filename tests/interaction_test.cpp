// Hit testing, blocking and scrolling, on single trees and on a loaded table
// whose boxes are placed by hand.
#include <gtest/gtest.h>

#include "model_test_support.h"

using namespace kavo;
using namespace kavo_test;
using Rects = std::vector<CRect>;

namespace {

Rects Of(const CRectArray& arr) { return Rects(arr.begin(), arr.end()); }
TestColumn* Col(const CRect& rc = CRect()) { return new TestColumn("", nullptr, rc); }

CTblOb* HitOf(CTblOb& ob, int x, int y) {
    CTblOb* pHit = nullptr;
    const int n = ob.HitTest(CPoint(x, y), pHit);
    EXPECT_EQ(n, pHit != nullptr ? 1 : 0) << x << "," << y;
    return pHit;
}

// Screen-like boxes for this table:
//
//   title     (0,0)-(300,20), heading (0,0)-(50,10) inside it, footing far below
//   stub head (0,20)-(100,60)
//   Spanner   (100,20)-(200,40) over A (100,40)-(150,60), B (150,40)-(200,60)
//   C         (200,20)-(300,60)
//   Caption   (0,60)-(100,80) over R0 (0,80)-(100,100), R1 (0,100)-(100,120)
//   cell (r, c): columns A, B, C across, rows R0, R1 down
class LoadedTable : public ::testing::Test {
protected:
    void SetUp() override {
        const char* const text =
            "[Table]\nSize=2, 3\n[Title]\nText=Households\n[ColumnGroup]\nText=Spanner\n[Column]\nText=A\n"
            "[Column]\nText=B\n[EndGroup]\n[Column]\nText=C\n[RowGroup]\nText=Caption\n"
            "[Row]\nText=R0\nData=1, 2, 3\n[Row]\nText=R1\nData=4, 5, 6\n[EndGroup]\n";
        ASSERT_EQ(LoadTableText(text, m_reg, table), 1);
        spanner = table.GetColumnRoot()->GetChild(0), a = spanner->GetChild(0);
        c = table.GetColumnRoot()->GetChild(1);
        caption = table.GetRowRoot()->GetChild(0), r0 = caption->GetChild(0), r1 = caption->GetChild(1);
        CTblOb* const obs[] = {table.GetTitle(), table.GetHeader(), table.GetFooter(), table.GetStubHead(),
                               spanner, a, spanner->GetChild(1), c, caption, r0, r1};
        for (std::size_t i = 0; i < 11; ++i) Place(*obs[i], kBoxes[i]);
        for (int r = 0; r < 2; ++r)
            for (int col = 0; col < 3; ++col) Place(*table.GetCell(r, col), CellBox(r, col));
    }
    static CRect CellBox(int r, int c) {
        static const int x[] = {100, 150, 200, 300};
        return CRect(x[c], 80 + 20 * r, x[c + 1], 100 + 20 * r);
    }
    CTblOb* Hit(int x, int y) { return HitOf(table, x, y); }
    // The boxes of the pieces and nodes in the order of blocking.
    const CRect kBoxes[11] = {CRect(0, 0, 300, 20),    CRect(0, 0, 50, 10),     CRect(0, 200, 300, 220),
                              CRect(0, 20, 100, 60),   CRect(100, 20, 200, 40), CRect(100, 40, 150, 60),
                              CRect(150, 40, 200, 60), CRect(200, 20, 300, 60), CRect(0, 60, 100, 80),
                              CRect(0, 80, 100, 100),  CRect(0, 100, 100, 120)};

    CStyleRegistry m_reg;
    CTable table;
    CTblColumn *spanner = nullptr, *a = nullptr, *c = nullptr;
    CTblRow *caption = nullptr, *r0 = nullptr, *r1 = nullptr;
};

}  // namespace

// --- Trees -----------------------------------------------------------------

TEST(TreeInteraction, HitTestTriesANodeBeforeItsChildrenAndTheFirstChildFirst) {
    TestColumn parent("parent", nullptr, CRect(0, 0, 100, 10));
    TestColumn *pFirst = With(Col(CRect(0, 0, 60, 20)), Col(CRect(40, 10, 50, 20))), *pSecond;
    With(&parent, pFirst, pSecond = Col(CRect(40, 0, 100, 20)));
    EXPECT_EQ(HitOf(parent, 50, 5), &parent);
    EXPECT_EQ(HitOf(parent, 45, 15), pFirst);  // its own box before its child's
    EXPECT_EQ(HitOf(parent, 70, 15), pSecond); EXPECT_EQ(HitOf(parent, 100, 15), nullptr);
}

TEST(TreeInteraction, BlockParentsFollowTheirChildrenUpToTheRoot) {
    // root > S1 > (S2 > (x, y), z), w
    CTblColumn root;
    TestColumn *pX = Col(), *pY = Col(), *pZ = Col(), *pW = Col();
    TestColumn* pS1 = With(Col(CRect(1, 1, 2, 2)), With(Col(CRect(2, 2, 3, 3)), pX, pY), pZ);
    With(&root, pS1, pW);
    CRectArray rects;
    pX->Block(rects, 1), pY->Block(rects, 1), rects.RemoveAll();
    root.BlockParents(rects, 1);
    // Each parent once, deepest first, the root's empty box last; siblings untouched.
    EXPECT_EQ(Of(rects), (Rects{CRect(2, 2, 3, 3), CRect(1, 1, 2, 2), CRect()}));
    EXPECT_EQ(pZ->IsBlocked() + pW->IsBlocked(), 0);
    root.BlockParents(rects, 1);
    EXPECT_EQ(rects.GetSize(), 3);
    // Clearing: S2 has blocked children and is cleared; S1 then has no
    // blocked child and stays blocked, which in turn clears the root.
    rects.RemoveAll(), root.BlockParents(rects, 0);
    EXPECT_EQ(Of(rects), (Rects{CRect(2, 2, 3, 3), CRect()})); EXPECT_EQ(pS1->IsBlocked(), 1);
    EXPECT_EQ(root.IsBlocked(), 0); EXPECT_EQ(pX->IsBlocked(), 1);
}

// --- A loaded table ------------------------------------------------------------

TEST_F(LoadedTable, HitTestFindsCellsNodesAndPiecesByTheirLeftAndTopEdges) {
    // Right edge of (0,0) is the left of (0,1); bottom edge of (0,1) the top
    // of (1,1); the table's own right and bottom edges hit nothing. The
    // heading lies inside the title and is never hit; nor is the footing.
    const struct { int x, y; const CTblOb* hit; } cases[] = {
        {100, 80, table.GetCell(0, 0)}, {150, 99, table.GetCell(0, 1)}, {160, 100, table.GetCell(1, 1)},
        {299, 119, table.GetCell(1, 2)}, {300, 90, nullptr}, {150, 120, nullptr}, {120, 45, a},
        {150, 20, spanner}, {10, 110, r1}, {10, 70, caption}, {10, 30, table.GetStubHead()},
        {5, 5, table.GetTitle()}, {10, 210, nullptr}};
    for (const auto& k : cases) EXPECT_EQ(Hit(k.x, k.y), k.hit) << k.x << "," << k.y;
    Place(table, CRect(0, 0, 1000, 1000));  // nor the table's own box
    EXPECT_EQ(Hit(500, 500), nullptr);

    // The same hits told as kind, data row and data column.
    const struct { int x, y; HitKind kind; int nRow, nCol; } kinds[] = {
        {160, 100, HitKind::Cell, 1, 1}, {299, 119, HitKind::Cell, 1, 2}, {120, 45, HitKind::Column, -1, 0},
        {250, 30, HitKind::Column, -1, 2}, {150, 20, HitKind::Spanner, -1, -1}, {10, 110, HitKind::Row, 1, -1},
        {10, 70, HitKind::Caption, -1, -1}, {10, 30, HitKind::StubHead, -1, -1}, {5, 5, HitKind::Title, -1, -1},
        {500, 500, HitKind::Outside, -1, -1}};
    for (const auto& k : kinds) {
        const CTblHit hit = table.HitTestElement(CPoint(k.x, k.y));
        EXPECT_TRUE(hit.kind == k.kind && hit.nRow == k.nRow && hit.nCol == k.nCol) << k.x << "," << k.y;
        EXPECT_EQ(hit.pOb, Hit(k.x, k.y));
        EXPECT_EQ(hit.pCell, k.kind == HitKind::Cell ? table.GetCell(k.nRow, k.nCol) : nullptr);
    }
}

TEST_F(LoadedTable, LaterCandidatesWinOverlapsAndAnEarlierHitStopsTheSearch) {
    // Stub head over title, a row over a column; a title hit comes before the
    // trees, a node hit before the cells. Each step keeps the boxes before it.
    const struct { CTblOb* ob; CRect box; int x, y; const CTblOb* hit; } steps[] = {
        {table.GetStubHead(), CRect(0, 0, 100, 60), 10, 10, table.GetStubHead()},
        {r1, CRect(100, 40, 150, 60), 120, 50, r1}, {c, CRect(0, 0, 300, 60), 250, 10, table.GetTitle()},
        {caption, CRect(100, 80, 150, 100), 120, 90, caption}};
    for (const auto& k : steps) {
        Place(*k.ob, k.box);
        EXPECT_EQ(Hit(k.x, k.y), k.hit) << k.x << "," << k.y;
    }
}

TEST_F(LoadedTable, BlockingTheTableVisitsPiecesTreesThenCellsAndOnlyCellsCount) {
    // The pieces, the column root (empty box) and its tree, the row root and its tree.
    Rects expected(kBoxes, kBoxes + 4);
    expected.push_back(CRect());
    expected.insert(expected.end(), kBoxes + 4, kBoxes + 8);
    expected.push_back(CRect());
    expected.insert(expected.end(), kBoxes + 8, kBoxes + 11);
    for (int r = 0; r < 2; ++r)
        for (int col = 0; col < 3; ++col) expected.push_back(CellBox(r, col));
    CRectArray rects;
    table.Block(rects, 1);
    EXPECT_EQ(Of(rects), expected);
    table.Block(rects, 1);  // fully blocked: nothing is appended
    EXPECT_EQ(rects.GetSize(), static_cast<int>(expected.size()));
    rects.RemoveAll(), table.Block(rects, 0);  // clearing appends everything once more, in order
    EXPECT_EQ(Of(rects), expected);

    // Pieces, nodes and a spare cell of the block that no row refers to do
    // not make the table blocked; a cell in a row does.
    for (CTblOb* p : {table.GetTitle(), table.GetStubHead(), static_cast<CTblOb*>(caption),
                      static_cast<CTblOb*>(c), static_cast<CTblOb*>(table.AllocCell(0))})
        p->Block(rects, 1);
    EXPECT_EQ(table.IsBlocked(), 0);
    table.GetCell(1, 2)->Block(rects, 1);
    EXPECT_EQ(table.IsBlocked(), 1);
}

TEST_F(LoadedTable, ScrollMovesColumnsSidewaysRowsDownCellsBothAndPiecesNot) {
    // In two steps, with one row's cells reached in between and the other's
    // not: every cell ends up moved by the sum, once.
    table.ScrollBy(-60, -20);
    EXPECT_EQ(table.GetCell(1, 2)->GetPos(), CRect(140, 80, 240, 100));
    table.ScrollBy(-40, -30);
    const std::pair<const CTblOb*, CRect> moved[] = {
        {a, CRect(0, 40, 50, 60)},          {spanner, CRect(0, 20, 100, 40)},
        {c, CRect(100, 20, 200, 60)},       {caption, CRect(0, 10, 100, 30)},
        {r1, CRect(0, 50, 100, 70)},        {table.GetCell(0, 0), CRect(0, 30, 50, 50)},
        {table.GetCell(1, 2), CRect(100, 50, 200, 70)},
        {table.GetColumnRoot(), CRect(-100, 0, -100, 0)}, {table.GetRowRoot(), CRect(0, -50, 0, -50)},
        {table.GetTitle(), CRect(0, 0, 300, 20)},         {table.GetStubHead(), CRect(0, 20, 100, 60)},
        {table.GetHeader(), CRect(0, 0, 50, 10)},         {table.GetFooter(), CRect(0, 200, 300, 220)}};
    for (const auto& m : moved) EXPECT_EQ(m.first->GetPos(), m.second) << m.first->GetText().c_str();
    EXPECT_EQ(a->GetBorder(), CRect());  // unset borders stay at the origin
    EXPECT_EQ(r0->GetBorder(), CRect());
}
