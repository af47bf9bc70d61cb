// Column and row nodes: tree walks, the shared data-child slot, ownership of
// children, copying, assignment and comparison.
#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/tbl_cell.h"
#include "model_test_support.h"

using kavo::CFormat;
using kavo::CRect;
using kavo::CRectArray;
using kavo::CRowColOb;
using kavo::CSize;
using kavo::CStyle;
using kavo::CTblCell;
using kavo::CTblColumn;
using kavo::CTblRow;
using kavo_test::DestroyLog;
using kavo_test::LoggedColumn;
using kavo_test::TestColumn;
using kavo_test::TestRow;

namespace {

CStyle* SomeStyle() {
    static int s;
    return reinterpret_cast<CStyle*>(&s);
}
CFormat* SomeFormat() {
    static int f;
    return reinterpret_cast<CFormat*>(&f);
}

TestColumn* Leaf(const char* pszText, int nWidth = 0) {
    auto* p = new TestColumn(pszText);
    p->Pos() = CRect(0, 0, nWidth, 10);
    return p;
}

// root
// +- S1 (spanner, width 1000)
// |  +- A (10)
// |  +- B (20)
// +- C (40)
// +- S2 (spanner)
//    +- S3 (spanner)
//    |  +- D (80)
//    +- E (160)
class ColumnTreeFixture : public ::testing::Test {
protected:
    void SetUp() override {
        s1 = Leaf("S1", 1000);
        a = Leaf("A", 10);
        b = Leaf("B", 20);
        s1->AddChild(a);
        s1->AddChild(b);
        c = Leaf("C", 40);
        s2 = Leaf("S2", 5000);
        s3 = Leaf("S3", 7000);
        d = Leaf("D", 80);
        e = Leaf("E", 160);
        s3->AddChild(d);
        s2->AddChild(s3);
        s2->AddChild(e);
        root.AddChild(s1);
        root.AddChild(c);
        root.AddChild(s2);
    }
    CTblColumn root;
    TestColumn *s1, *a, *b, *c, *s2, *s3, *d, *e;
};

}  // namespace

// --- Walks -----------------------------------------------------------------

TEST(NodeWalks, NewNodeIsADataNodeOfDepthZero) {
    CTblColumn col;
    EXPECT_TRUE(col.HasData());
    EXPECT_EQ(col.GetNumDataChildren(), 0);
    EXPECT_EQ(col.GetDataChildrenWidth(), 0);
    EXPECT_EQ(col.GetDepth(0), 0);
    EXPECT_EQ(col.GetDepth(3), 3);
    EXPECT_EQ(col.GetParent(), nullptr);
    EXPECT_EQ(col.IsMultiPage(), 0);
    CTblRow row;
    EXPECT_TRUE(row.HasData());
    EXPECT_EQ(row.GetNumCells(), 0);
    EXPECT_EQ(row.HasArea(), 0);
}

TEST(NodeWalks, FlatAndTwoLevelRoots) {
    CTblColumn flat;
    for (int i = 0; i < 3; ++i) flat.AddChild(new CTblColumn);
    EXPECT_EQ(flat.GetNumDataChildren(), 3);
    EXPECT_EQ(flat.GetDepth(0), 1);
    EXPECT_FALSE(flat.HasData());

    CTblColumn twoLevel;
    auto* pSpanner = new CTblColumn;
    pSpanner->AddChild(new CTblColumn);
    pSpanner->AddChild(new CTblColumn);
    twoLevel.AddChild(pSpanner);
    twoLevel.AddChild(new CTblColumn);
    EXPECT_EQ(twoLevel.GetNumDataChildren(), 3);
    EXPECT_EQ(twoLevel.GetDepth(0), 2);
}

TEST_F(ColumnTreeFixture, CountsWidthsAndDepthCoverOnlyLeaves) {
    EXPECT_EQ(root.GetNumDataChildren(), 5);        // A B C D E
    EXPECT_EQ(s2->GetNumDataChildren(), 2);         // D E
    EXPECT_EQ(root.GetDataChildrenWidth(), 310);    // 10+20+40+80+160
    EXPECT_EQ(s2->GetDataChildrenWidth(), 240);
    EXPECT_EQ(root.GetDepth(0), 3);                 // root > S2 > S3 > D
    EXPECT_EQ(s1->GetDepth(1), 2);
}

TEST_F(ColumnTreeFixture, DataChildIsFoundDepthFirst) {
    const TestColumn* expected[] = {a, b, c, d, e};
    for (int i = 0; i < 5; ++i) {
        int n = 0;
        EXPECT_EQ(root.GetDataChild(i, &n), expected[i]) << i;
    }
    int n = 0;
    EXPECT_EQ(root.GetDataChild(5, &n), nullptr);
    EXPECT_EQ(n, 5);  // every leaf counted, nothing found
    n = 0;
    EXPECT_EQ(root.GetDataChild(1000, &n), nullptr);
}

TEST_F(ColumnTreeFixture, CounterStopsEnteringSubtreesAfterAFind) {
    // B is found inside S1 (counter 2); C is still counted by the root (3);
    // S2 is entered after the find and returns at once.
    int n = 0;
    EXPECT_EQ(root.GetDataChild(1, &n), b);
    EXPECT_EQ(n, 3);

    // Starting past n returns the slot as it is, without counting.
    n = 4;
    EXPECT_EQ(root.GetDataChild(1, &n), b);
    EXPECT_EQ(n, 4);

    // A counter started elsewhere numbers the leaves from its value.
    n = 2;
    EXPECT_EQ(s2->GetDataChild(3, &n), e);
}

TEST_F(ColumnTreeFixture, DataChildSlotIsSharedAndWritableWithoutTouchingTheTree) {
    int n = 0;
    CRowColOb*& slot = root.GetDataChild(2, &n);
    EXPECT_EQ(slot, c);
    slot = nullptr;
    EXPECT_EQ(root.GetChildAt(1), c);  // the tree keeps C
    n = 10;
    EXPECT_EQ(root.GetDataChild(2, &n), nullptr);  // the slot as written
    // Another node's search uses the very same slot.
    n = 0;
    CRowColOb*& other = s1->GetDataChild(0, &n);
    EXPECT_EQ(&other, &slot);
    EXPECT_EQ(other, a);
}

TEST_F(ColumnTreeFixture, PagesFlipsAndSavedLayoutsCoverTheSubtree) {
    root.AddPage(1);
    d->AddPage(1);
    d->AddPage(2);
    root.RemoveAllPages();
    EXPECT_EQ(root.GetNumPages(), 0);
    EXPECT_EQ(d->GetNumPages(), 0);

    d->Pos() = CRect(1, 2, 3, 4);
    root.BackupClient(1);
    root.IHateTwips();
    EXPECT_EQ(d->GetPos(), CRect(1, -2, 3, -4));
    EXPECT_EQ(a->GetPos(), CRect(0, 0, 10, -10));
    root.BackupClient(0);
    root.RestoreClient(1);
    EXPECT_EQ(d->GetPos(), CRect(1, 2, 3, 4));
    root.RestoreClient(0);
    EXPECT_EQ(d->GetPos(), CRect(1, -2, 3, -4));
    root.IHateTwips();
    EXPECT_EQ(d->GetPos(), CRect(1, 2, 3, 4));
    EXPECT_EQ(e->GetPos(), CRect(0, 0, 160, 10));
}

// --- Ownership -------------------------------------------------------------

TEST(NodeOwnership, DestroyingAColumnDestroysItsSubtreeOnceEachInOrder) {
    DestroyLog log;
    {
        LoggedColumn top("top", &log);
        auto* pSpanner = new LoggedColumn("S", &log);
        pSpanner->AddChild(new LoggedColumn("A", &log));
        pSpanner->AddChild(new LoggedColumn("B", &log));
        top.AddChild(pSpanner);
        top.AddChild(new LoggedColumn("C", &log));
    }
    // A node's own destructor body runs before its children are destroyed.
    EXPECT_EQ(log.names, (std::vector<std::string>{"top", "S", "A", "B", "C"}));
}

TEST(NodeOwnership, RemoveChildAtDestroysOnlyThatChild) {
    DestroyLog log;
    CTblColumn parent;
    parent.AddChild(new LoggedColumn("A", &log));
    auto* pSpanner = new LoggedColumn("S", &log);
    pSpanner->AddChild(new LoggedColumn("S1", &log));
    parent.AddChild(pSpanner);
    auto* pC = new LoggedColumn("C", &log);
    parent.AddChild(pC);

    parent.RemoveChildAt(1);
    EXPECT_EQ(log.names, (std::vector<std::string>{"S", "S1"}));
    ASSERT_EQ(parent.GetNumChildren(), 2);
    EXPECT_EQ(parent.GetChild(1), pC);

    log.names.clear();
    parent.RemoveAllChildren();
    EXPECT_EQ(log.names, (std::vector<std::string>{"A", "C"}));
    EXPECT_TRUE(parent.HasData());
}

TEST(NodeOwnership, DestroyingARowLeavesItsCellsAlive) {
    std::deque<CTblCell> cells;  // cells belong to someone else, as in a table
    cells.emplace_back(5);
    cells.emplace_back(6);
    DestroyLog log;
    {
        TestRow caption("caption", &log);
        auto* pRow = new TestRow("row", &log);
        pRow->AddCell(&cells[0]);
        pRow->AddCell(&cells[1]);
        caption.AddChild(pRow);
        caption.AddCell(&cells[1]);
    }
    EXPECT_EQ(log.names, (std::vector<std::string>{"caption", "row"}));
    EXPECT_EQ(cells[0].GetData(), 5);
    EXPECT_EQ(cells[1].GetData(), 6);
}

TEST(NodeOwnership, InsertChildBeforeInsertsOrAppends) {
    CTblColumn parent;
    auto* pA = new CTblColumn;
    auto* pB = new CTblColumn;
    auto* pC = new CTblColumn;
    auto* pD = new CTblColumn;
    auto* pE = new CTblColumn;
    parent.InsertChildBefore(-1, pB);  // [B]
    parent.InsertChildBefore(0, pA);   // [A B]
    parent.InsertChildBefore(7, pD);   // [A B D]
    parent.InsertChildBefore(2, pC);   // [A B C D]
    parent.InsertChildBefore(4, pE);   // one past the end: [A B C D E]
    const CTblColumn* expected[] = {pA, pB, pC, pD, pE};
    ASSERT_EQ(parent.GetNumChildren(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(parent.GetChild(i), expected[i]) << i;
    EXPECT_EQ(pA->GetParent(), nullptr);  // attaching does not link
}

// --- Columns: copy, assignment, equality -----------------------------------

namespace {

// A spanner with every column field set, over two leaves.
class ColumnCopyFixture : public ::testing::Test {
protected:
    void SetUp() override {
        src.SetText("Residence");
        src.SetStyle(SomeStyle());
        src.SetCellStyle(SomeStyle());
        src.SetCellFormat(SomeFormat());
        src.Pos() = CRect(0, 0, 300, 20);
        src.SetBorder(CRect(0, 0, 300, 20));
        src.SetMinSize(CSize(5, 6));
        src.SetMaxSize(CSize(500, 600));
        src.SetMultiPage();
        src.AddPage(4);
        src.AddPage(5);
        src.BackupClient(1);
        CRectArray rects;
        src.Block(rects, 1);  // the whole subtree
        src.SetBlockColor(99);
        auto* pUrban = new TestColumn("Urban");
        pUrban->Pos() = CRect(0, 20, 150, 40);
        pUrban->SetCellFormat(SomeFormat());
        pUrban->AddPage(4);
        src.AddChild(pUrban);
        src.AddChild(new TestColumn("Rural"));
        parent.SetText("parent");
        src.SetParent(&parent);
    }
    CTblColumn parent;
    TestColumn src;
};

}  // namespace

TEST_F(ColumnCopyFixture, CopyConstructorIsDeep) {
    CTblColumn copy(src);
    EXPECT_EQ(copy.GetText(), "Residence");
    EXPECT_EQ(copy.GetStyle(), SomeStyle());
    EXPECT_EQ(copy.GetCellStyle(), SomeStyle());
    EXPECT_EQ(copy.GetCellFormat(), SomeFormat());
    EXPECT_EQ(copy.GetPos(), CRect(0, 0, 300, 20));
    EXPECT_EQ(copy.GetMinSize(), CSize(5, 6));
    EXPECT_EQ(copy.GetMaxSize(), CSize(500, 600));
    EXPECT_EQ(copy.IsMultiPage(), 1);
    ASSERT_EQ(copy.GetNumPages(), 2);
    EXPECT_EQ(copy.GetPage(1), 5);
    // Starts fresh: border, mark, colour, backups, parent.
    EXPECT_EQ(copy.GetBorder(), CRect());
    EXPECT_EQ(copy.IsBlocked(), 0);
    EXPECT_EQ(copy.GetBlockColor(), 0u);
    EXPECT_EQ(copy.GetParent(), nullptr);

    ASSERT_EQ(copy.GetNumChildren(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NE(copy.GetChild(i), src.GetChild(i));
        EXPECT_EQ(copy.GetChild(i)->GetText(), src.GetChild(i)->GetText());
        EXPECT_STREQ(copy.GetChild(i)->GetRuntimeClass()->m_lpszClassName, "CTblColumn");
    }
    EXPECT_EQ(copy.GetChild(0)->GetPos(), CRect(0, 20, 150, 40));
    EXPECT_EQ(copy.GetChild(0)->GetCellFormat(), SomeFormat());
    EXPECT_EQ(copy.GetChild(0)->GetNumPages(), 1);
    EXPECT_EQ(copy.GetChild(0)->IsBlocked(), 0);
    // Children are compared by identity, so a deep copy is a different tree.
    EXPECT_FALSE(copy == src);

    // No saved layouts came along.
    copy.RestoreClient(1);
    EXPECT_EQ(copy.GetPos(), CRect());

    // The copy owns its own nodes.
    copy.RemoveAllChildren();
    EXPECT_EQ(src.GetChild(0)->GetText(), "Urban");
}

TEST(ColumnCopy, CopyOfALeafComparesEqual) {
    TestColumn leaf("Urban");
    leaf.Pos() = CRect(1, 2, 3, 4);
    CTblColumn copy(leaf);
    EXPECT_TRUE(copy == leaf);
}

TEST_F(ColumnCopyFixture, AssignmentCopiesContentAndKeepsTheRest) {
    DestroyLog log;
    LoggedColumn target("old", &log);
    target.SetCellStyle(nullptr);
    target.AddPage(8);
    target.SetBorder(CRect(1, 1, 2, 2));
    target.AddChild(new LoggedColumn("old child 1", &log));
    auto* pOld2 = new LoggedColumn("old child 2", &log);
    pOld2->AddChild(new LoggedColumn("old grandchild", &log));
    target.AddChild(pOld2);

    static_cast<CTblColumn&>(target) = src;
    EXPECT_EQ(log.Count("old child 1"), 1);
    EXPECT_EQ(log.Count("old child 2"), 1);
    EXPECT_EQ(log.Count("old grandchild"), 1);

    EXPECT_EQ(target.GetText(), "Residence");
    EXPECT_EQ(target.GetStyle(), SomeStyle());
    EXPECT_EQ(target.GetPos(), CRect(0, 0, 300, 20));
    EXPECT_EQ(target.GetMinSize(), CSize(5, 6));
    EXPECT_EQ(target.GetMaxSize(), CSize(500, 600));
    // Left as they were.
    EXPECT_EQ(target.GetCellStyle(), nullptr);
    EXPECT_EQ(target.GetCellFormat(), nullptr);
    EXPECT_EQ(target.IsMultiPage(), 0);
    ASSERT_EQ(target.GetNumPages(), 1);
    EXPECT_EQ(target.GetPage(0), 8);
    EXPECT_EQ(target.GetBorder(), CRect(1, 1, 2, 2));
    EXPECT_EQ(target.IsBlocked(), 0);
    EXPECT_EQ(target.GetParent(), nullptr);

    ASSERT_EQ(target.GetNumChildren(), 2);
    EXPECT_EQ(target.GetChild(0)->GetText(), "Urban");
    EXPECT_EQ(target.GetChild(1)->GetText(), "Rural");
    EXPECT_NE(target.GetChild(0), src.GetChild(0));
    EXPECT_FALSE(target == src);
    EXPECT_TRUE(target != src);
}

TEST(ColumnAssignment, SelfAssignmentRebuildsTheSameShape) {
    DestroyLog log;
    LoggedColumn col("self", &log);
    auto* pSpanner = new LoggedColumn("S", &log);
    pSpanner->AddChild(new LoggedColumn("A", &log));
    col.AddChild(pSpanner);
    col.AddChild(new LoggedColumn("B", &log));

    CTblColumn& same = col;
    static_cast<CTblColumn&>(col) = same;
    EXPECT_EQ(log.names, (std::vector<std::string>{"S", "A", "B"}));
    EXPECT_EQ(col.GetText(), "self");
    ASSERT_EQ(col.GetNumChildren(), 2);
    EXPECT_EQ(col.GetChild(0)->GetText(), "S");
    ASSERT_EQ(col.GetChild(0)->GetNumChildren(), 1);
    EXPECT_EQ(col.GetChild(0)->GetChild(0)->GetText(), "A");
    EXPECT_EQ(col.GetChild(1)->GetText(), "B");
    EXPECT_EQ(col.GetNumDataChildren(), 2);
}

TEST(ColumnAssignment, AssigningADescendantOrAnAncestorIsSafe) {
    CTblColumn top;
    top.SetText("top");
    auto* pMid = new CTblColumn;
    pMid->SetText("mid");
    auto* pLow = new CTblColumn;
    pLow->SetText("low");
    pLow->AddChild(new CTblColumn);
    pMid->AddChild(pLow);
    top.AddChild(pMid);

    // The source lives inside the subtree being replaced.
    top = *pMid;
    EXPECT_EQ(top.GetText(), "mid");
    ASSERT_EQ(top.GetNumChildren(), 1);
    EXPECT_EQ(top.GetChild(0)->GetText(), "low");
    EXPECT_EQ(top.GetChild(0)->GetNumChildren(), 1);

    // The source is the target's parent.
    CTblColumn* pChild = top.GetChild(0);
    *pChild = top;
    EXPECT_EQ(pChild->GetText(), "mid");
    ASSERT_EQ(pChild->GetNumChildren(), 1);
    EXPECT_EQ(pChild->GetChild(0)->GetText(), "low");
    EXPECT_EQ(top.GetDepth(0), 3);
}

TEST(ColumnEquality, ComparesContentThenChildIdentity) {
    TestColumn a("X"), b("X");
    a.Pos() = b.Pos() = CRect(1, 2, 3, 4);
    a.SetMaxSize(CSize(9, 9));
    b.SetMaxSize(CSize(9, 9));
    a.SetCellStyle(SomeStyle());  // takes no part
    a.SetMultiPage();
    a.AddPage(3);
    a.SetBorder(CRect(0, 0, 1, 1));
    EXPECT_TRUE(a == b);

    b.SetMaxSize(CSize(9, 10));  // unlike the element, columns compare maxima
    EXPECT_FALSE(a == b);
    b.SetMaxSize(CSize(9, 9));
    b.SetMinSize(CSize(1, 0));
    EXPECT_FALSE(a == b);
    b.SetMinSize(CSize());
    b.SetText("x");
    EXPECT_FALSE(a == b);
    b.SetText("X");

    auto* pShared = new CTblColumn;
    a.AddChild(pShared);
    EXPECT_FALSE(a == b);  // different child counts
    b.AddChild(new CTblColumn);
    EXPECT_FALSE(a == b);  // equal-looking but different objects
    b.RemoveAllChildren();
    b.AddChild(pShared);  // the same object under both
    EXPECT_TRUE(a == b);
    b.DetachChildren();  // so the shared child is destroyed once, by a
}

// --- Rows: assignment, equality, area parent -------------------------------

namespace {

class RowFixture : public ::testing::Test {
protected:
    RowFixture() : cells(4) {}
    void SetUp() override {
        for (int i = 0; i < 4; ++i) cells[static_cast<std::size_t>(i)].SetData(10 * i);
        src.SetText("All households");
        src.SetStyle(SomeStyle());
        src.Pos() = CRect(0, 10, 100, 30);
        src.AddCell(&cells[0]);
        src.AddCell(&cells[1]);
        auto* pChild = new TestRow("One person");
        pChild->AddCell(&cells[2]);
        src.AddChild(pChild);
    }
    std::deque<CTblCell> cells;
    TestRow src;
};

}  // namespace

TEST_F(RowFixture, AssignmentSharesCellsAndReplacesChildren) {
    DestroyLog log;
    TestRow target("old", &log);
    target.AddCell(&cells[3]);
    target.AddPage(6);
    target.AddChild(new TestRow("old child", &log));

    static_cast<CTblRow&>(target) = src;
    EXPECT_EQ(log.names, (std::vector<std::string>{"old child"}));
    EXPECT_EQ(target.GetText(), "All households");
    EXPECT_EQ(target.GetStyle(), SomeStyle());
    EXPECT_EQ(target.GetPos(), CRect(0, 10, 100, 30));
    EXPECT_EQ(target.GetNumPages(), 1);  // pages are not part of a node's assignment
    ASSERT_EQ(target.GetNumCells(), 2);
    EXPECT_EQ(target.GetCell(0), &cells[0]);
    EXPECT_EQ(target.GetCell(1), &cells[1]);
    ASSERT_EQ(target.GetNumChildren(), 1);
    CTblRow* pChild = target.GetChild(0);
    EXPECT_NE(pChild, src.GetChild(0));
    EXPECT_EQ(pChild->GetText(), "One person");
    ASSERT_EQ(pChild->GetNumCells(), 1);
    EXPECT_EQ(pChild->GetCell(0), &cells[2]);
    EXPECT_EQ(target.HasArea(), 0);
    // The children differ in identity, so the rows do not compare equal.
    EXPECT_FALSE(target == src);
    EXPECT_EQ(cells[3].GetData(), 30);  // the dropped cell pointer left the cell alone
}

TEST_F(RowFixture, SelfAndDescendantAssignmentKeepCellsAndTree) {
    CTblRow& same = src;
    static_cast<CTblRow&>(src) = same;
    ASSERT_EQ(src.GetNumCells(), 2);
    EXPECT_EQ(src.GetCell(1), &cells[1]);
    ASSERT_EQ(src.GetNumChildren(), 1);
    EXPECT_EQ(src.GetChild(0)->GetText(), "One person");

    static_cast<CTblRow&>(src) = *src.GetChild(0);
    EXPECT_EQ(src.GetText(), "One person");
    ASSERT_EQ(src.GetNumCells(), 1);
    EXPECT_EQ(src.GetCell(0), &cells[2]);
    EXPECT_EQ(src.GetNumChildren(), 0);
}

TEST_F(RowFixture, EqualityComparesCellsByIdentity) {
    TestRow a("r"), b("r");
    a.AddCell(&cells[0]);
    b.AddCell(&cells[0]);
    EXPECT_TRUE(a == b);

    // Same value, different cell object.
    CTblCell twin(cells[1].GetData());
    a.AddCell(&cells[1]);
    b.AddCell(&twin);
    EXPECT_FALSE(a == b);

    TestRow c("r");
    c.AddCell(&cells[0]);
    EXPECT_FALSE(a == c);  // fewer cells
    EXPECT_TRUE(c != a);
}

TEST(RowArea, NoAreaAlongTheParentChainGivesNull) {
    TestRow top("top");
    auto* pMid = new TestRow("mid");
    auto* pLeaf = new TestRow("leaf");
    pMid->AddChild(pLeaf);
    top.AddChild(pMid);
    pLeaf->SetParent(pMid);
    pMid->SetParent(&top);
    EXPECT_EQ(pLeaf->GetAreaParent(), nullptr);
    EXPECT_EQ(top.GetAreaParent(), nullptr);
}
