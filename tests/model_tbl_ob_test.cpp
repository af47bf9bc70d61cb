// The table element: construction, copying, assignment, comparison, moving,
// flipping and the two saved layouts.
#include <gtest/gtest.h>

#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/table.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/model/tbl_ob.h"
#include "model_test_support.h"

using kavo::CObject;
using kavo::CPoint;
using kavo::CRect;
using kavo::CRectArray;
using kavo::CSize;
using kavo::CStyle;
using kavo::CRowColOb;
using kavo::CTblOb;
using kavo_test::TestOb;

namespace {

// Any distinct addresses serve as style identities; styles are never dereferenced here.
CStyle* StyleA() {
    static int a;
    return reinterpret_cast<CStyle*>(&a);
}
CStyle* StyleB() {
    static int b;
    return reinterpret_cast<CStyle*>(&b);
}

// An element with every field set to a recognisable value, including both
// saved layouts (slot 1 holds (1,2,3,4)/height 11, slot 0 holds (5,6,7,8)/height 22).
class ElementFixture : public ::testing::Test {
protected:
    void SetUp() override {
        src.SetText("Urban");
        src.SetStyle(StyleA());
        src.SetTextHeight(11);
        src.Pos() = CRect(1, 2, 3, 4);
        src.BackupClient(1);
        src.SetTextHeight(22);
        src.Pos() = CRect(5, 6, 7, 8);
        src.BackupClient(0);
        src.SetTextHeight(33);
        src.Pos() = CRect(10, 20, 30, 40);
        src.SetBorder(CRect(9, 19, 31, 41));
        src.SetMinSize(CSize(4, 5));
        src.SetMaxSize(CSize(400, 500));
        src.AddPage(2);
        src.AddPage(0);
        CRectArray rects;
        src.Block(rects, 1);
        src.SetBlockColor(0x00FF8040);
    }
    TestOb src;
};

}  // namespace

TEST(ElementBasics, NewElementIsEmptyAndUnblocked) {
    CTblOb ob;
    EXPECT_TRUE(ob.GetText().IsEmpty());
    EXPECT_EQ(ob.GetStyle(), nullptr);
    EXPECT_EQ(ob.GetPos(), CRect());
    EXPECT_EQ(ob.GetBorder(), CRect());
    EXPECT_EQ(ob.GetNumPages(), 0);
    EXPECT_EQ(ob.IsBlocked(), 0);
    EXPECT_EQ(ob.GetTextHeight(), 0);
    // Documented initial block colour.
    EXPECT_EQ(ob.GetBlockColor(), 0u);

    CTblOb named("Total", StyleB());
    EXPECT_EQ(named.GetText(), "Total");
    EXPECT_EQ(named.GetStyle(), StyleB());
}

TEST(ElementBasics, RuntimeClassesNameEveryModelClassAndItsBase) {
    kavo::CTable table;
    kavo::CTblCell cell;
    const kavo::CRuntimeClass* pCol = table.GetColumnRoot()->GetRuntimeClass();
    EXPECT_STREQ(pCol->m_lpszClassName, "CTblColumn");
    EXPECT_EQ(pCol->m_pBaseClass, KAVO_RUNTIME_CLASS(CRowColOb));
    EXPECT_STREQ(pCol->m_pBaseClass->m_lpszClassName, "CRowColOb");
    EXPECT_EQ(pCol->m_pBaseClass->m_pBaseClass, KAVO_RUNTIME_CLASS(CTblOb));
    EXPECT_EQ(KAVO_RUNTIME_CLASS(CTblOb)->m_pBaseClass, KAVO_RUNTIME_CLASS(CObject));
    EXPECT_STREQ(table.GetRowRoot()->GetRuntimeClass()->m_lpszClassName, "CTblRow");
    EXPECT_TRUE(table.GetRowRoot()->IsKindOf(KAVO_RUNTIME_CLASS(CRowColOb)));
    EXPECT_STREQ(table.GetRuntimeClass()->m_lpszClassName, "CTable");
    EXPECT_TRUE(table.IsKindOf(KAVO_RUNTIME_CLASS(CTblOb)));
    EXPECT_FALSE(table.IsKindOf(KAVO_RUNTIME_CLASS(CRowColOb)));
    EXPECT_STREQ(cell.GetRuntimeClass()->m_lpszClassName, "CTblCell");
    EXPECT_EQ(cell.GetRuntimeClass()->m_pBaseClass, KAVO_RUNTIME_CLASS(CTblOb));
    EXPECT_FALSE(cell.IsKindOf(KAVO_RUNTIME_CLASS(CRowColOb)));
}

TEST_F(ElementFixture, CopyConstructorCopiesEverythingButTheBlockColour) {
    CTblOb copy(src);
    EXPECT_EQ(copy.GetText(), "Urban");
    EXPECT_EQ(copy.GetStyle(), StyleA());
    EXPECT_EQ(copy.GetTextHeight(), 33);
    EXPECT_EQ(copy.GetPos(), CRect(10, 20, 30, 40));
    EXPECT_EQ(copy.GetBorder(), CRect(9, 19, 31, 41));
    EXPECT_EQ(copy.GetMinSize(), CSize(4, 5));
    EXPECT_EQ(copy.GetMaxSize(), CSize(400, 500));
    EXPECT_EQ(copy.IsBlocked(), 1);
    ASSERT_EQ(copy.GetNumPages(), 2);
    EXPECT_EQ(copy.GetPage(0), 2);
    EXPECT_EQ(copy.GetPage(1), 0);
    EXPECT_EQ(copy.GetBlockColor(), 0u);

    copy.RestoreClient(1);
    EXPECT_EQ(copy.GetPos(), CRect(1, 2, 3, 4));
    EXPECT_EQ(copy.GetTextHeight(), 11);
    copy.RestoreClient(0);
    EXPECT_EQ(copy.GetPos(), CRect(5, 6, 7, 8));
    EXPECT_EQ(copy.GetTextHeight(), 22);
}

TEST_F(ElementFixture, AssignmentCopiesContentAndKeepsTheTargetsMarks) {
    TestOb target("old", StyleB());
    target.SetTextHeight(-7);
    target.SetBorder(CRect(0, 0, 5, 5));
    target.SetBlockColor(0x123456);
    target.Pos() = CRect(100, 100, 200, 200);
    target.BackupClient(1);  // saved height -7 in both slots
    target.BackupClient(0);
    target.AddPage(9);

    target = src;
    EXPECT_EQ(target.GetText(), "Urban");
    EXPECT_EQ(target.GetStyle(), StyleA());
    EXPECT_EQ(target.GetPos(), CRect(10, 20, 30, 40));
    EXPECT_EQ(target.GetMinSize(), CSize(4, 5));
    EXPECT_EQ(target.GetMaxSize(), CSize(400, 500));
    ASSERT_EQ(target.GetNumPages(), 2);
    EXPECT_EQ(target.GetPage(0), 2);
    EXPECT_EQ(target.GetPage(1), 0);
    // Kept from before.
    EXPECT_EQ(target.GetTextHeight(), -7);
    EXPECT_EQ(target.GetBorder(), CRect(0, 0, 5, 5));
    EXPECT_EQ(target.IsBlocked(), 0);
    EXPECT_EQ(target.GetBlockColor(), 0x123456u);
    EXPECT_TRUE(target == src);

    // Saved positions come from the source, saved heights stay the target's.
    target.RestoreClient(1);
    EXPECT_EQ(target.GetPos(), CRect(1, 2, 3, 4));
    EXPECT_EQ(target.GetTextHeight(), -7);
    target.RestoreClient(0);
    EXPECT_EQ(target.GetPos(), CRect(5, 6, 7, 8));
    EXPECT_EQ(target.GetTextHeight(), -7);
}

TEST_F(ElementFixture, SelfAssignmentChangesNothing) {
    CTblOb& same = src;
    static_cast<CTblOb&>(src) = same;
    EXPECT_EQ(src.GetText(), "Urban");
    EXPECT_EQ(src.GetNumPages(), 2);
    EXPECT_EQ(src.GetPos(), CRect(10, 20, 30, 40));
}

TEST_F(ElementFixture, EqualityIgnoresMarksBordersAndMaximumSize) {
    TestOb other(src);
    other.SetMaxSize(CSize(1, 1));
    other.SetBorder(CRect());
    other.SetBlockColor(7);
    other.SetTextHeight(-1);
    other.BackupClient(1);
    CRectArray rects;
    other.Block(rects, 0);
    EXPECT_TRUE(other == src);
    EXPECT_FALSE(other != src);
}

TEST_F(ElementFixture, EqualityTestsTextStylePositionMinimumAndPages) {
    {
        TestOb o(src);
        o.SetText("urban");  // case matters
        EXPECT_FALSE(o == src);
        EXPECT_TRUE(o != src);
    }
    {
        TestOb o(src);
        o.SetStyle(StyleB());
        EXPECT_FALSE(o == src);
    }
    {
        TestOb o(src);
        o.Pos().bottom += 1;
        EXPECT_FALSE(o == src);
    }
    {
        TestOb o(src);
        o.SetMinSize(CSize(4, 6));
        EXPECT_FALSE(o == src);
    }
    {
        TestOb o(src);
        o.AddPage(3);  // longer list
        EXPECT_FALSE(o == src);
        EXPECT_FALSE(src == o);
    }
    {
        TestOb o(src);
        o.RemoveAllPages();
        o.AddPage(2);
        o.AddPage(1);  // same length, one number differs
        EXPECT_FALSE(o == src);
    }
}

TEST(ElementGeometry, ScrollMovesABorderOnlyWhenItIsNotEmpty) {
    TestOb ob;
    ob.Pos() = CRect(10, 20, 30, 40);
    ob.ScrollBy(5, -5);
    EXPECT_EQ(ob.GetPos(), CRect(15, 15, 35, 35));
    EXPECT_EQ(ob.GetBorder(), CRect());

    ob.SetBorder(CRect(0, 0, 10, 10));
    ob.ScrollBy(-3, 4);
    EXPECT_EQ(ob.GetPos(), CRect(12, 19, 32, 39));
    EXPECT_EQ(ob.GetBorder(), CRect(-3, 4, 7, 14));

    // A flipped border (top below bottom) counts as empty.
    ob.SetBorder(CRect(0, -10, 10, -20));
    ob.ScrollBy(1, 1);
    EXPECT_EQ(ob.GetBorder(), CRect(0, -10, 10, -20));
    // So does a zero-width one away from the origin.
    ob.SetBorder(CRect(5, 5, 5, 50));
    ob.ScrollBy(1, 1);
    EXPECT_EQ(ob.GetBorder(), CRect(5, 5, 5, 50));
}

TEST(ElementGeometry, FlipTwiceRestoresAndTouchesOnlyTopAndBottom) {
    TestOb ob;
    ob.Pos() = CRect(10, 20, 30, 40);
    ob.SetBorder(CRect(1, 2, 3, 4));
    ob.SetTextHeight(12);
    ob.IHateTwips();
    EXPECT_EQ(ob.GetPos(), CRect(10, -20, 30, -40));
    EXPECT_EQ(ob.Height(), -20);
    EXPECT_EQ(ob.GetBorder(), CRect(1, 2, 3, 4));
    EXPECT_EQ(ob.GetTextHeight(), 12);
    ob.IHateTwips();
    EXPECT_EQ(ob.GetPos(), CRect(10, 20, 30, 40));
}

TEST(ElementGeometry, SavedLayoutSlotsAreIndependent) {
    TestOb ob;
    ob.RestoreClient(0);  // never saved
    EXPECT_EQ(ob.GetPos(), CRect());
    EXPECT_EQ(ob.GetTextHeight(), 0);

    ob.Pos() = CRect(1, 1, 2, 2);
    ob.SetTextHeight(5);
    ob.BackupClient(1);
    ob.Pos() = CRect(3, 3, 4, 4);
    ob.SetTextHeight(-6);
    ob.BackupClient(0);
    ob.Pos() = CRect(7, 7, 8, 8);
    ob.SetTextHeight(9);

    ob.RestoreClient(1);
    EXPECT_EQ(ob.GetPos(), CRect(1, 1, 2, 2));
    EXPECT_EQ(ob.GetTextHeight(), 5);
    ob.RestoreClient(0);
    EXPECT_EQ(ob.GetPos(), CRect(3, 3, 4, 4));
    EXPECT_EQ(ob.GetTextHeight(), -6);
    // Any nonzero value selects the same slot as 1.
    ob.RestoreClient(42);
    EXPECT_EQ(ob.GetPos(), CRect(1, 1, 2, 2));
}

TEST(ElementInteraction, HitIncludesLeftAndTopEdgesOnly) {
    TestOb ob;
    ob.Pos() = CRect(10, 20, 30, 40);
    CTblOb* pHit = nullptr;
    EXPECT_EQ(ob.HitTest(CPoint(10, 20), pHit), 1);
    EXPECT_EQ(pHit, &ob);

    CTblOb sentinel;
    for (const CPoint& pt : {CPoint(30, 25), CPoint(15, 40), CPoint(9, 25), CPoint(15, 19)}) {
        pHit = &sentinel;
        EXPECT_EQ(ob.HitTest(pt, pHit), 0) << pt.x << "," << pt.y;
        EXPECT_EQ(pHit, &sentinel);
    }
    pHit = &sentinel;
    EXPECT_EQ(ob.HitTest(CPoint(29, 39), pHit), 1);
    EXPECT_EQ(pHit, &ob);
}

TEST(ElementInteraction, BlockAppendsTheBoxOnlyWhenTheMarkChanges) {
    TestOb ob;
    ob.Pos() = CRect(1, 2, 3, 4);
    CRectArray rects;
    ob.Block(rects, 0);
    EXPECT_EQ(rects.GetSize(), 0);
    ob.Block(rects, 1);
    ASSERT_EQ(rects.GetSize(), 1);
    EXPECT_EQ(rects[0], CRect(1, 2, 3, 4));
    EXPECT_EQ(ob.IsBlocked(), 1);
    ob.Block(rects, 1);
    EXPECT_EQ(rects.GetSize(), 1);
    ob.Block(rects, 0);
    EXPECT_EQ(rects.GetSize(), 2);
    EXPECT_EQ(ob.IsBlocked(), 0);
}
