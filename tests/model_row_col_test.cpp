// Column and row nodes: tree walks, the shared data-child slot, ownership of
// children, copying, assignment and comparison.
#include <gtest/gtest.h>

#include <algorithm>

#include "model_test_support.h"

using namespace kavo;
using namespace kavo_test;

namespace {

int g_ids[2];
CStyle* const kStyle = reinterpret_cast<CStyle*>(&g_ids[0]);
CFormat* const kFormat = reinterpret_cast<CFormat*>(&g_ids[1]);

TestColumn* Col(const char* pszText, int nWidth = 0, DestroyLog* pLog = nullptr) {
    return new TestColumn(pszText, pLog, CRect(0, 0, nWidth, 10));
}

}  // namespace

TEST(ColumnTree, WalksCoverOnlyLeavesAndShareOneDataChildSlot) {
    // root > S1 (1000) > A (10), B (20); root > C (40);
    // root > S2 (5000) > S3 (7000) > D (80); S2 > E (160).
    CTblColumn root;
    TestColumn *s1, *a, *b, *c, *s2, *d, *e;
    With(&root, With(s1 = Col("S1", 1000), a = Col("A", 10), b = Col("B", 20)), c = Col("C", 40),
         With(s2 = Col("S2", 5000), With(Col("S3", 7000), d = Col("D", 80)), e = Col("E", 160)));
    EXPECT_EQ(root.GetNumDataChildren(), 5);      // A B C D E
    EXPECT_EQ(s2->GetNumDataChildren(), 2);       // D E
    EXPECT_EQ(root.GetDataChildrenWidth(), 310);  // 10+20+40+80+160
    EXPECT_EQ(s2->GetDataChildrenWidth(), 240);
    EXPECT_EQ(root.GetDepth(0), 3);  // root > S2 > S3 > D
    EXPECT_EQ(s1->GetDepth(1), 2);

    const TestColumn* expected[] = {a, b, c, d, e, nullptr};
    int n = 0;
    for (int i = 0; i < 6; ++i, n = 0) EXPECT_EQ(root.GetDataChild(i, &n), expected[i]) << i;
    EXPECT_EQ(root.GetDataChild(5, &n), nullptr);
    EXPECT_EQ(n, 5);  // every leaf counted, nothing found
    // B is found inside S1 (counter 2); C is still counted by the root (3);
    // S2 is entered after the find and returns at once.
    n = 0;
    CRowColOb*& slot = root.GetDataChild(1, &n);
    EXPECT_EQ(n, 3);
    // Starting past n returns the slot as it is, without counting; a write
    // to the slot leaves the tree alone.
    slot = nullptr, n = 4;
    EXPECT_EQ(root.GetDataChild(1, &n), nullptr); EXPECT_EQ(n, 4);
    EXPECT_EQ(s1->GetChild(1), b);
    // Another node's search uses the very same slot; its counter numbers the
    // leaves from its value.
    n = 2;
    EXPECT_EQ(&s2->GetDataChild(3, &n), &slot); EXPECT_EQ(slot, e);
}

TEST(NodeOwnership, RemovingDestroysSubtreesOnceAndInsertingNeverLinks) {
    DestroyLog log;
    CTblColumn parent;
    With(&parent, Col("A", 0, &log), With(Col("S", 0, &log), Col("S1", 0, &log)), Col("C", 0, &log));
    parent.RemoveChildAt(1);
    EXPECT_EQ(log, (DestroyLog{"S", "S1"}));  // a node before its children
    EXPECT_EQ(Shape(parent), "(A,C)");
    parent.RemoveAllChildren();
    EXPECT_EQ(log, (DestroyLog{"S", "S1", "A", "C"})); EXPECT_TRUE(parent.HasData());
    // [B], [A B], [A B D] (7 is past the end), [A B C D], [A B C D E] (one past the end).
    const std::pair<int, const char*> steps[] = {{-1, "B"}, {0, "A"}, {7, "D"}, {2, "C"}, {4, "E"}};
    for (const auto& s : steps) parent.InsertChildBefore(s.first, Col(s.second));
    EXPECT_EQ(Shape(parent), "(A,B,C,D,E)"); EXPECT_EQ(parent.GetChild(0)->GetParent(), nullptr);
}

template <class T>
class NodeAssignment : public ::testing::Test {};
using NodeKinds = ::testing::Types<CTblColumn, CTblRow>;
TYPED_TEST_SUITE(NodeAssignment, NodeKinds);

TYPED_TEST(NodeAssignment, OldChildrenLiveOnWithTheNodeAndGoOnceEvenWhenTheSourceIsAmongThem) {
    // Assigned-over children leave the tree but stay alive (a table may still
    // point at them) until the node itself goes; each goes exactly once.
    using N = Node<TypeParam>;
    DestroyLog log;
    {
        N top("top", &log);
        With(&top, With(new N("mid", &log), With(new N("low", &log), new N("leaf", &log))), new N("old", &log));
        TypeParam& same = top;
        static_cast<TypeParam&>(top) = same;  // copies are plain nodes: they log nothing
        EXPECT_TRUE(log.empty());
        EXPECT_EQ(Shape(top), "top(mid(low(leaf)),old)");
        static_cast<TypeParam&>(top) = *top.GetChild(0);  // a source inside the subtree replaced
        EXPECT_EQ(Shape(top), "mid(low(leaf))");
        TypeParam* pChild = top.GetChild(0);
        *pChild = top;  // the target's parent as the source
        EXPECT_EQ(Shape(top), "mid(mid(low(leaf)))");
        EXPECT_TRUE(log.empty());
    }
    std::sort(log.begin(), log.end());
    EXPECT_EQ(log, (DestroyLog{"leaf", "low", "mid", "mid", "old"}));  // top goes by the text it took
}

TEST(ColumnCopy, CopyAndAssignmentTakeContentAndChildrenAndDifferInTheRest) {
    // A spanner with every column field set, over two leaves, under a parent.
    CTblColumn parent;
    TestColumn src("Residence", nullptr, CRect(0, 0, 300, 20));
    src.SetStyle(kStyle), src.SetCellStyle(kStyle), src.SetCellFormat(kFormat);
    src.SetBorder(CRect(0, 0, 300, 20));
    src.SetMinSize(CSize(5, 6)), src.SetMaxSize(CSize(500, 600));
    src.SetMultiPage(), src.AddPage(4), src.BackupClient(1);
    CRectArray rects;
    src.Block(rects, 1);  // the whole subtree
    With(&src, new TestColumn("Urban", nullptr, CRect(0, 20, 150, 40)), Col("Rural"));
    src.SetParent(&parent);

    CTblColumn copy(src);
    TestColumn target("old");
    target.AddPage(8), target.SetBorder(CRect(1, 1, 2, 2));
    static_cast<CTblColumn&>(target) = src;
    for (const CTblColumn* p : {&copy, static_cast<CTblColumn*>(&target)}) {
        EXPECT_EQ(p->GetStyle(), kStyle); EXPECT_EQ(p->GetPos(), CRect(0, 0, 300, 20));
        EXPECT_EQ(p->GetMinSize(), CSize(5, 6)); EXPECT_EQ(p->GetMaxSize(), CSize(500, 600));
        EXPECT_EQ(p->IsBlocked() + p->GetChild(0)->IsBlocked(), 0); EXPECT_EQ(p->GetParent(), nullptr);
        // Deep copies of the children, unequal because children compare by identity.
        ASSERT_EQ(Shape(*p), "Residence(Urban,Rural)"); EXPECT_NE(p->GetChild(0), src.GetChild(0));
        EXPECT_EQ(p->GetChild(0)->GetPos(), CRect(0, 20, 150, 40)); EXPECT_TRUE(*p != src);
    }
    // The copy takes cell style and format, the multi-page mark and the pages,
    // but neither border nor backups; the assignment keeps the target's.
    EXPECT_EQ(copy.GetCellStyle(), kStyle); EXPECT_EQ(target.GetCellStyle(), nullptr);
    EXPECT_EQ(copy.GetCellFormat(), kFormat); EXPECT_EQ(target.GetCellFormat(), nullptr);
    EXPECT_EQ(copy.IsMultiPage(), 1); EXPECT_EQ(target.IsMultiPage(), 0);
    EXPECT_EQ(Pages(copy), Ints{4}); EXPECT_EQ(Pages(target), Ints{8});
    EXPECT_EQ(copy.GetBorder(), CRect()); EXPECT_EQ(target.GetBorder(), CRect(1, 1, 2, 2));
    copy.RestoreClient(1);
    EXPECT_EQ(copy.GetPos(), CRect());
}

TEST(ColumnEquality, ComparesContentAndMaximumThenChildIdentity) {
    TestColumn a("X", nullptr, CRect(1, 2, 3, 4)), b("X", nullptr, CRect(1, 2, 3, 4));
    // These take no part.
    a.SetCellStyle(kStyle), a.SetMultiPage(), a.AddPage(3), a.SetBorder(CRect(0, 0, 1, 1));
    EXPECT_TRUE(a == b);
    EXPECT_TRUE(CTblColumn(b) == b);  // a copy of a leaf
    b.SetMaxSize(CSize(9, 10));       // unlike the element, columns compare maxima
    EXPECT_FALSE(a == b);
    b.SetMaxSize(CSize()), b.SetMinSize(CSize(1, 0));
    EXPECT_FALSE(a == b);
    b.SetMinSize(CSize());

    auto* pShared = new CTblColumn;
    a.AddChild(pShared);
    EXPECT_FALSE(a == b);  // different child counts
    b.AddChild(new CTblColumn);
    EXPECT_FALSE(a == b);  // equal-looking but different objects
    b.RemoveAllChildren(), b.AddChild(pShared);
    EXPECT_TRUE(a == b);
    b.DetachChildren();  // so the shared child is destroyed once, by a
}

TEST(RowCopy, AssignmentSharesCellsAndCopiesChildrenWhileEqualityComparesCellIdentity) {
    CTblCell cells[4] = {CTblCell(0), CTblCell(10), CTblCell(20), CTblCell(30)};
    TestRow src("All households", nullptr, CRect(0, 10, 100, 30));
    src.SetStyle(kStyle), src.AddCell(&cells[0]), src.AddCell(&cells[1]);
    auto* pChild = new TestRow("One person");
    pChild->AddCell(&cells[2]);
    src.AddChild(pChild);
    TestRow target("old");
    target.AddCell(&cells[3]), target.AddPage(6);

    static_cast<CTblRow&>(target) = src;
    EXPECT_EQ(target.GetStyle(), kStyle); EXPECT_EQ(target.GetPos(), CRect(0, 10, 100, 30));
    EXPECT_EQ(Pages(target), Ints{6});  // pages are not part of a node's assignment
    ASSERT_EQ(target.GetNumCells(), 2); EXPECT_EQ(target.GetCell(1), &cells[1]);
    ASSERT_EQ(Shape(target), "All households(One person)"); EXPECT_NE(target.GetChild(0), pChild);
    ASSERT_EQ(target.GetChild(0)->GetNumCells(), 1); EXPECT_EQ(target.GetChild(0)->GetCell(0), &cells[2]);
    EXPECT_FALSE(target == src);  // the children differ in identity

    TestRow x("r"), y("r");
    CTblCell twin(cells[0].GetData());  // the same value in another cell object
    x.AddCell(&cells[0]), y.AddCell(&twin);
    EXPECT_FALSE(x == y);
    y.GetCell(0) = &cells[0];
    EXPECT_TRUE(x == y);
}
