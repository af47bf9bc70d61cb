// The table element: what copying, assignment and comparison take from an
// element, the two saved layouts, and moving a box with its border.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>

#include "model_test_support.h"

using namespace kavo;
using namespace kavo_test;

namespace {

// Distinct addresses serve as style identities; styles are never dereferenced here.
int g_styles[2];
CStyle* const kStyleA = reinterpret_cast<CStyle*>(&g_styles[0]);
CStyle* const kStyleB = reinterpret_cast<CStyle*>(&g_styles[1]);

// An element with every field set. Saved layouts: slot 1 (any nonzero slot)
// holds (1,2,3,4) with text height 11, slot 0 holds (5,6,7,8) with 22.
class Element : public ::testing::Test {
protected:
    void SetUp() override {
        const std::pair<int, int> saved[] = {{1, 11}, {0, 22}};
        for (const auto& s : saved) {
            src.Pos() = s.first ? CRect(1, 2, 3, 4) : CRect(5, 6, 7, 8);
            src.SetTextHeight(s.second);
            src.BackupClient(s.first);
        }
        src.SetTextHeight(33), src.SetBorder(CRect(9, 19, 31, 41));
        src.Pos() = CRect(10, 20, 30, 40);
        src.SetMinSize(CSize(4, 5)), src.SetMaxSize(CSize(400, 500));
        src.AddPage(2), src.AddPage(0);
        CRectArray rects;
        src.Block(rects, 1), src.SetBlockColor(0x00FF8040);
    }
    // What every copy and assignment takes from the source; leaves ob in slot 0.
    static void ExpectContent(CTblOb& ob, int nSavedHeight1, int nSavedHeight0) {
        EXPECT_EQ(ob.GetText(), "Urban"); EXPECT_EQ(ob.GetStyle(), kStyleA);
        EXPECT_EQ(ob.GetPos(), CRect(10, 20, 30, 40)); EXPECT_EQ(ob.GetMinSize(), CSize(4, 5));
        EXPECT_EQ(ob.GetMaxSize(), CSize(400, 500)); EXPECT_EQ(Pages(ob), (Ints{2, 0}));
        ob.RestoreClient(42);
        EXPECT_EQ(ob.GetPos(), CRect(1, 2, 3, 4)); EXPECT_EQ(ob.GetTextHeight(), nSavedHeight1);
        ob.RestoreClient(0);
        EXPECT_EQ(ob.GetPos(), CRect(5, 6, 7, 8)); EXPECT_EQ(ob.GetTextHeight(), nSavedHeight0);
    }
    TestOb src{"Urban", kStyleA};
};

}  // namespace

TEST_F(Element, CopyTakesEverythingButTheBlockColour) {
    TestOb copy(src);
    EXPECT_EQ(copy.GetTextHeight(), 33); EXPECT_EQ(copy.GetBorder(), CRect(9, 19, 31, 41));
    EXPECT_EQ(copy.IsBlocked(), 1); EXPECT_EQ(copy.GetBlockColor(), kDefaultBlockColor);
    ExpectContent(copy, 11, 22);
}

TEST_F(Element, AssignmentKeepsTheTargetsHeightsBorderMarkAndColour) {
    TestOb target("old", kStyleB);
    target.SetTextHeight(-7), target.SetBorder(CRect(0, 0, 5, 5)), target.SetBlockColor(0x123456);
    target.BackupClient(1), target.BackupClient(0);  // saved height -7 in both slots
    target.AddPage(9);

    target = src;
    EXPECT_EQ(target.GetTextHeight(), -7); EXPECT_EQ(target.GetBorder(), CRect(0, 0, 5, 5));
    EXPECT_EQ(target.IsBlocked(), 0); EXPECT_EQ(target.GetBlockColor(), 0x123456u);
    EXPECT_TRUE(target == src);
    // Saved positions come from the source, saved heights stay the target's.
    ExpectContent(target, -7, -7);

    CTblOb& same = src;
    static_cast<CTblOb&>(src) = same;
    ExpectContent(src, 11, 22);
}

TEST_F(Element, EqualityComparesTextStylePositionMinimumAndPagesOnly) {
    // Assigned elements differ in text height, border, mark, colour and saved
    // heights and still compare equal (above); neither does the maximum count.
    const struct {
        std::function<void(TestOb&)> change;
        bool equal;
    } cases[] = {
        {[](TestOb& o) { o.SetMaxSize(CSize(1, 1)); }, true},
        {[](TestOb& o) { o.SetText("urban"); }, false},  // case matters
        {[](TestOb& o) { o.SetStyle(kStyleB); }, false},
        {[](TestOb& o) { o.Pos().bottom += 1; }, false},
        {[](TestOb& o) { o.SetMinSize(CSize(4, 6)); }, false},
        {[](TestOb& o) { o.AddPage(3); }, false},  // a longer list
        {[](TestOb& o) { o.RemoveAllPages(); o.AddPage(2); o.AddPage(1); }, false},  // one number differs
    };
    for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        TestOb o(src);
        cases[i].change(o);
        // Both orders give the same answer and != the opposite one.
        EXPECT_EQ((o == src) + 2 * (src == o) + 4 * (o != src), cases[i].equal ? 3 : 4) << "case " << i;
    }
}

TEST(ElementGeometry, ScrollMovesTheBorderOnlyWhenItIsNotEmpty) {
    // A flipped border and one without width away from the origin are empty too.
    const std::pair<CRect, CRect> borders[] = {{CRect(0, 0, 10, 10), CRect(-3, 4, 7, 14)},
                                               {CRect(), CRect()},
                                               {CRect(0, -10, 10, -20), CRect(0, -10, 10, -20)},
                                               {CRect(5, 5, 5, 50), CRect(5, 5, 5, 50)}};
    for (const auto& b : borders) {
        TestOb ob;
        ob.Pos() = CRect(10, 20, 30, 40);
        ob.SetBorder(b.first), ob.ScrollBy(-3, 4);
        EXPECT_EQ(ob.GetPos(), CRect(7, 24, 27, 44)); EXPECT_EQ(ob.GetBorder(), b.second);
    }
}

// The page list keeps one entry inside the element and moves to memory of
// its own past that; every step of the move, and copies either way, keep the
// entries.
TEST(PageList, KeepsItsEntriesAcrossGrowingShrinkingAndCopying) {
    TestOb l;
    l.AddPage(7);
    TestOb one(l);
    for (int i = 1; i < 40; ++i) l.AddPage(7 + i);
    Ints want;
    for (int i = 0; i < 40; ++i) want.push_back(7 + i);
    EXPECT_EQ(Pages(l), want);
    EXPECT_EQ(Pages(one), (Ints{7}));

    one = l;  // a one-entry list takes a long one
    EXPECT_EQ(Pages(one), want);
    l.RemoveAllPages(), l.AddPage(3);  // the grown list reused from the start
    one = l;
    EXPECT_EQ(Pages(one), (Ints{3}));
    l.AddPage(4), l.AddPage(5);
    TestOb copy(l);
    l.RemoveAllPages();
    EXPECT_EQ(Pages(copy), (Ints{3, 4, 5}));
    EXPECT_EQ(Pages(l), Ints{});
    const CTblOb& same = copy;
    static_cast<CTblOb&>(copy) = same;
    EXPECT_EQ(Pages(copy), (Ints{3, 4, 5}));
}

// Cells keep a one-page list and their saved text heights in 16 bits; what
// does not fit goes to the element's extra part and comes back whole, through
// copies and assignment too (which keeps the target's saved heights).
TEST(CompactCell, PagesAndSavedHeightsBeyondSixteenBitsComeBackWhole) {
    struct Cell : CTblCell {
        void SetTextHeight(int n) { m_nTextHeight = n; }
    };
    for (const int nBig : {32767, 32768, -32768, -32769, INT_MAX, INT_MIN}) {
        Cell c;
        c.AddPage(nBig);
        c.SetTextHeight(nBig), c.BackupClient(1);
        c.SetTextHeight(-12), c.BackupClient(0);
        Cell copy(c), target;
        target.SetTextHeight(7), target.BackupClient(1), target.SetTextHeight(-50000), target.BackupClient(0);
        target = c;
        for (Cell* p : {&c, &copy}) {
            EXPECT_EQ(Pages(*p), Ints{nBig});
            p->RestoreClient(1);
            EXPECT_EQ(p->GetTextHeight(), nBig);
            p->RestoreClient(0);
            EXPECT_EQ(p->GetTextHeight(), -12);
        }
        EXPECT_EQ(Pages(target), Ints{nBig});
        target.RestoreClient(1);
        EXPECT_EQ(target.GetTextHeight(), 7);
        target.RestoreClient(0);
        EXPECT_EQ(target.GetTextHeight(), -50000);
        c.AddPage(3);
        EXPECT_EQ(Pages(c), (Ints{nBig, 3}));
        c.SetTextHeight(5), c.BackupClient(1), c.SetTextHeight(0), c.RestoreClient(1);  // a short one again
        EXPECT_EQ(c.GetTextHeight(), 5);
    }
}

// A million-cell table lives in its cells: what the layouts set only on rows,
// columns and the table stays out of them (64-bit GNU library layout).
#if defined(__GLIBCXX__) && UINTPTR_MAX == UINT64_MAX
static_assert(sizeof(CTblCell) <= 120, "a data cell grew past 120 bytes");
#endif
