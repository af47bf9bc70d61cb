// Screen layout: layout metrics, stub and column widths, heading and stub
// head heights, the box of every element and cell, borders, components and
// the shift after a title change.
//
// Without a font a byte is 8 wide and a line 16 high: margin m = 16 / 5 = 3,
// line height L = 16 + 6 = 22. With a font of height 4 a byte is 2 wide and a
// line 4 high: m = 4 / 5 = 0 and L = 4, so widths are twice the byte counts.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kavotbl/style/style.h"
#include "layout_test_support.h"

using kavo::CRecordingDC;
using kavo::CRect;
using kavo::CSize;
using kavo::CTable;
using kavo::CTblColumn;
using kavo::CTblRow;
using layout_test::FlatTableText;
using layout_test::LoadTable;
using layout_test::Word;

namespace {

// A spanner over two data columns, a third data column, and a row group of
// two data rows; values whose texts are 5 or 3 bytes wide.
const char* const kHouseholds =
    "[Table]\nSize=2, 3\nName=T\n"
    "\n[Title]\nText=Households by size\n"
    "\n[StubHead]\nText=Size of household\n"
    "\n[ColumnGroup]\nText=Residence\n"
    "\n[Column]\nText=Urban\n"
    "\n[Column]\nText=Rural\n"
    "[EndGroup]\n"
    "\n[Column]\nText=Total\n"
    "\n[RowGroup]\nText=All households\n"
    "\n[Row]\nText=One person\nData=1200, 800, 2000\n"
    "\n[Row]\nText=Two persons\nData=950, 600, 1550\n"
    "[EndGroup]\n";

class ScreenLayoutTest : public ::testing::Test {
protected:
    CRecordingDC dc;
};

// ---------------------------------------------------------------------------
// Layout metrics from the table font.

using LayoutMetricsTest = ScreenLayoutTest;

TEST_F(LayoutMetricsTest, NoFontGivesMarginThreeAndLineHeightTwentyTwo) {
    auto p = LoadTable("[Table]\n");
    kavo::g_nMargin = kavo::g_nLineHeight = 0;
    p->table.LayoutTable(CRect(0, 0, 800, 600), &dc);
    EXPECT_EQ(kavo::g_nMargin, 3);
    EXPECT_EQ(kavo::g_nLineHeight, 22);
}

TEST_F(LayoutMetricsTest, TableFontSetsTheMetricsAndIsReleasedAfterwards) {
    // "X" 20 high: margin 20 / 5 = 4, line height 20 + 8 = 28.
    auto p = LoadTable("[Table]\n", -20, 300);
    p->table.LayoutTable(CRect(0, 0, 800, 600), &dc);
    EXPECT_EQ(kavo::g_nMargin, 4);
    EXPECT_EQ(kavo::g_nLineHeight, 28);
    EXPECT_EQ(dc.GetCurrentLogFont(), nullptr);
}

TEST_F(LayoutMetricsTest, TwipsSurfaceMeasuresTheTwipsHeight) {
    // On a printer the font is 300 high: margin 60, line height 420.
    auto p = LoadTable("[Table]\n", -20, 300);
    CRecordingDC twips(kavo::MM_TWIPS);
    p->table.LayoutTable(CRect(0, 0, 11520, -15120), &twips);
    EXPECT_EQ(kavo::g_nMargin, 60);
    EXPECT_EQ(kavo::g_nLineHeight, 420);
}

TEST_F(LayoutMetricsTest, LayoutShowsTheWaitCursorOnce) {
    int nBegin = 0, nEnd = 0;
    kavo::SetWaitCursorHooks([&] { ++nBegin; }, [&] { ++nEnd; });
    auto p = LoadTable("[Table]\n");
    p->table.LayoutTable(CRect(0, 0, 800, 600), &dc);
    kavo::SetWaitCursorHooks(nullptr, nullptr);
    EXPECT_EQ(nBegin, 1);
    EXPECT_EQ(nEnd, 1);
}

// ---------------------------------------------------------------------------
// Positions of every element of a table with a spanner and a row group.
//
// W = 800: data budget 600, stub budget 200. Column minimums: "Urban",
// "Rural", "Total" 40 + 6 = 46; cells "1,200" 40 + 6 = 46 and "800" 30; so
// the widest minimum is 46, and 3 * 46 fits into 600: every data column is
// 600 / 3 = 200 wide. Widest row caption "All households" 112 + 6 < 200 and
// the stub head's longest word "household" 72 + 6 < 118: the stub is 200.
// Every caption fits on one line: every box is L = 22 high.

class HouseholdsTest : public ScreenLayoutTest {
protected:
    void SetUp() override {
        p = LoadTable(kHouseholds);
        ASSERT_EQ(p->result, 1);
        t().LayoutTable(CRect(0, 0, 800, 600), &dc);
    }
    CTable& t() { return p->table; }
    CTblColumn* Col(int i) { return t().GetColumnRoot()->GetChild(i); }
    CTblRow* Group() { return t().GetRowRoot()->GetChild(0); }
    std::unique_ptr<layout_test::LoadedTable> p;
};

TEST_F(HouseholdsTest, PiecesSitAtTheTopLeft) {
    EXPECT_EQ(t().GetTitle()->GetPos(), CRect(0, 0, 800, 22));
    // An empty heading or footing still gets one line.
    EXPECT_EQ(t().GetHeader()->GetPos(), CRect(0, 0, 800, 22));
    EXPECT_EQ(t().GetFooter()->GetPos(), CRect(0, 0, 800, 22));
    // The stub head sits under the title, as wide as the stub, and is
    // stretched to the two heading levels: 22 + 22.
    EXPECT_EQ(t().GetStubHead()->GetPos(), CRect(0, 22, 200, 66));
}

TEST_F(HouseholdsTest, ColumnsFollowTheStubLeftToRight) {
    CTblColumn* pResidence = Col(0);
    EXPECT_EQ(pResidence->GetPos(), CRect(200, 22, 600, 44));
    // Data columns reach down to the bottom of the heading: 22 + 44 = 66.
    EXPECT_EQ(pResidence->GetChild(0)->GetPos(), CRect(200, 44, 400, 66));
    EXPECT_EQ(pResidence->GetChild(1)->GetPos(), CRect(400, 44, 600, 66));
    EXPECT_EQ(Col(1)->GetPos(), CRect(600, 22, 800, 66));
    EXPECT_EQ(t().GetColumn(2), Col(1));
    EXPECT_EQ(Col(1)->GetMinSize(), CSize(200, 22));
    EXPECT_EQ(Col(1)->GetMaxSize(), CSize(200, 660));
}

TEST_F(HouseholdsTest, RowsFollowTheHeadingIndentedByLevel) {
    EXPECT_EQ(Group()->GetPos(), CRect(0, 66, 200, 88));
    // Level 1: indented by 5 * 3 = 15, ending at the stub's right edge.
    EXPECT_EQ(Group()->GetChild(0)->GetPos(), CRect(15, 88, 200, 110));
    EXPECT_EQ(Group()->GetChild(1)->GetPos(), CRect(15, 110, 200, 132));
    EXPECT_TRUE(t().GetRowRoot()->GetPos().IsRectNull());
}

TEST_F(HouseholdsTest, CellsLieAtTheirColumnAndRow) {
    const int lefts[] = {200, 400, 600};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(t().GetCell(r, c)->GetPos(), CRect(lefts[c], 88 + 22 * r, lefts[c] + 200, 110 + 22 * r))
                << "cell " << r << "," << c;
    EXPECT_EQ(t().GetCell(0, 0)->GetText(), "1,200");
}

TEST_F(HouseholdsTest, SizesAndBorders) {
    EXPECT_EQ(t().ColSize(), CSize(600, 44));
    EXPECT_EQ(t().RowSize(), CSize(200, 66));
    EXPECT_EQ(t().Size(), CSize(800, 22 + 44 + 66));
    // Column borders reach the bottom of the table, row borders its right edge.
    EXPECT_EQ(Col(0)->GetBorder(), CRect(200, 22, 600, 132));
    EXPECT_EQ(Col(0)->GetChild(1)->GetBorder(), CRect(400, 44, 600, 132));
    EXPECT_EQ(Group()->GetChild(0)->GetBorder(), CRect(15, 88, 800, 110));
    EXPECT_EQ(t().GetBorder(), CRect(0, 0, 800, 132));
}

TEST_F(HouseholdsTest, EveryLayoutStartsAfresh) {
    const std::vector<CRect> first = layout_test::AllBoxes(t());
    t().LayoutTable(CRect(0, 0, 400, 600), &dc);
    EXPECT_NE(layout_test::AllBoxes(t()), first);
    t().LayoutTable(CRect(0, 0, 800, 600), &dc);
    EXPECT_EQ(layout_test::AllBoxes(t()), first);
}

TEST_F(HouseholdsTest, TitleChangeShiftsTheBodyOnly) {
    t().AdjustForTitleSizeChange(10);
    EXPECT_EQ(t().GetTitle()->GetPos(), CRect(0, 0, 800, 22));
    EXPECT_EQ(t().GetStubHead()->GetPos(), CRect(0, 22, 200, 66));
    EXPECT_EQ(Col(0)->GetPos(), CRect(200, 32, 600, 54));
    EXPECT_EQ(Col(0)->GetBorder(), CRect(200, 32, 600, 142));
    EXPECT_EQ(Group()->GetChild(1)->GetPos(), CRect(15, 120, 200, 142));
    EXPECT_EQ(t().GetCell(1, 2)->GetPos(), CRect(600, 120, 800, 142));
    EXPECT_EQ(t().GetBorder(), CRect(0, 0, 800, 132));
}

TEST_F(HouseholdsTest, TitleMeasuredInItsOwnFont) {
    // The title's own font is 32 high (16 per byte): "Households by size"
    // fits the width, but one line of 32 exceeds the inner minimum 16, so the
    // single trial keeps 32: 32 + 6 high.
    kavo::CStyle big("Big");
    big.m_logFont = layout_test::MakeFont(32);
    t().GetTitle()->SetStyle(&big);
    t().CalcTitleSize(CRect(0, 0, 800, 0), &dc, 1);
    EXPECT_EQ(t().GetTitle()->GetPos(), CRect(0, 0, 800, 38));
    EXPECT_EQ(dc.GetCurrentLogFont(), nullptr);
    // Without loading it, the table font (none) is used: one line of 16.
    t().CalcTitleSize(CRect(0, 0, 800, 0), &dc, 0);
    EXPECT_EQ(t().GetTitle()->GetPos(), CRect(0, 0, 800, 22));
}

TEST_F(HouseholdsTest, ComponentsAreSizedToTheirRectangle) {
    // The footing is placed at the rectangle's corner and wrapped at its width:
    // "Households by size" (144) at 100 - 6 = 94 inside: "Households" (80),
    // "by size" (56), two lines.
    t().GetFooter()->SetText("Households by size");
    t().CalcFooterSize(CRect(5, 300, 105, 0), &dc);
    EXPECT_EQ(t().GetFooter()->GetPos(), CRect(5, 300, 105, 300 + 32 + 6));
    t().CalcHeaderSize(CRect(0, 50, 300, 0), &dc);
    EXPECT_EQ(t().GetHeader()->GetPos(), CRect(0, 50, 300, 72));
    t().CalcStubHeadSize(CRect(0, 22, 150, 0), &dc);
    EXPECT_EQ(t().GetStubHead()->GetPos(), CRect(0, 22, 150, 44));
}

// ---------------------------------------------------------------------------
// Stub and column widths. With a font of height 4, captions of n bytes
// need exactly 2n, and every cell ("-", 2 wide) needs only L = 4.

class StubWidthTest : public ScreenLayoutTest {
protected:
    std::unique_ptr<layout_test::LoadedTable> Lay(const std::string& text, int W) {
        auto p = LoadTable(text, 4, 4);
        EXPECT_EQ(p->result, 1);
        p->table.LayoutTable(CRect(0, 0, W, 600), &dc);
        EXPECT_EQ(kavo::g_nMargin, 0);
        EXPECT_EQ(kavo::g_nLineHeight, 4);
        return p;
    }
};

TEST_F(StubWidthTest, RoomyTableSharesThreeQuartersAmongItsColumns) {
    // W = 800, minimum widths 60, 80, 70, widest caption 150: data budget
    // 600, stub 200; 3 * 80 = 240 <= 600, so every column is 600 / 3 = 200.
    auto p = Lay(FlatTableText({Word(30, 'a'), Word(40, 'b'), Word(35, 'c')}, {Word(75, 'r')}), 800);
    const CTable& t = p->table;
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(t.GetColumn(c)->Left(), 200 + 200 * c);
        EXPECT_EQ(t.GetColumn(c)->Width(), 200);
    }
    EXPECT_EQ(t.GetRow(0)->Width(), 200);
    EXPECT_EQ(t.RowSize().cx, 200);
}

TEST_F(StubWidthTest, CrowdedTableNarrowsTheStubAndScrolls) {
    // W = 400, ten columns of minimum 50, widest caption 70: data budget 300,
    // stub 100; 500 > 300 and 70 < 100, so the stub is max(70, 400 - 500) = 70,
    // the data area 330 < 500, and every column keeps 50: 570 in all.
    auto p = Lay(FlatTableText(std::vector<std::string>(10, Word(25)), {Word(35, 'r')}), 400);
    const CTable& t = p->table;
    EXPECT_EQ(t.GetRow(0)->Width(), 70);
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(t.GetColumn(c)->Left(), 70 + 50 * c);
        EXPECT_EQ(t.GetColumn(c)->Width(), 50);
    }
    EXPECT_EQ(t.Size().cx, 570);
}

TEST_F(StubWidthTest, StubHeadWordWiderThanEverythingSetsTheStub) {
    // As above with a stub head word of 60 bytes (120): wider than the stub
    // budget 100 and the rows' need 70, so the stub is exactly 120.
    auto p = Lay(FlatTableText(std::vector<std::string>(10, Word(25)), {Word(35, 'r')}, "", Word(60, 'h')), 400);
    const CTable& t = p->table;
    EXPECT_EQ(t.GetRow(0)->Width(), 120);
    EXPECT_EQ(t.GetStubHead()->Width(), 120);
    EXPECT_EQ(t.GetColumn(0)->Left(), 120);
    EXPECT_EQ(t.GetColumn(0)->Width(), 50);
}

TEST_F(StubWidthTest, WideCellRaisesItsColumnMinimum) {
    // Cells 1234567 show "1,234,567": 18 wide, so its column needs 18; the
    // captions need 2. Ten such columns (180) do not fit the data budget of
    // W = 100 (75); the stub (25) has room to spare over the rows' need 2, so
    // it shrinks to max(2, 100 - 180) = 2, and every column is 18 wide.
    std::string text = "[Table]\nSize=1, 10\n";
    for (int c = 0; c < 10; ++c) text += "\n[Column]\nText=c\n";
    text += "\n[Row]\nText=r\nData=1234567";
    for (int c = 1; c < 10; ++c) text += ", 1234567";
    text += "\n";
    auto p = Lay(text, 100);
    EXPECT_EQ(p->table.GetColumn(0)->Left(), 2);
    EXPECT_EQ(p->table.GetColumn(9)->Width(), 18);
}

// ---------------------------------------------------------------------------
// Heights of the heading and the stub head (no font: m = 3, L = 22).

using HeadingHeightTest = ScreenLayoutTest;

TEST_F(HeadingHeightTest, CaptionsWiderThanTheStubWrapAndTheStubStays) {
    // Forty 4-byte words (1592 wide) in a stub of 200 (194 inside): five
    // words to a line (5 * 32 + 4 * 8 = 192), eight lines: 128 + 6 high.
    std::string caption;
    for (int i = 0; i < 40; ++i) caption += i ? " abcd" : "abcd";
    auto p = LoadTable(FlatTableText({"c"}, {caption}));
    p->table.LayoutTable(CRect(0, 0, 800, 600), &dc);
    EXPECT_EQ(p->table.GetRow(0)->GetPos(), CRect(0, 44, 200, 44 + 134));
    EXPECT_EQ(p->table.GetColumn(0)->GetPos(), CRect(200, 22, 800, 44));
}

TEST_F(HeadingHeightTest, LevelsShareTheHeightOfTheirTallestColumn) {
    // Data columns are 600 / 3 = 200 wide. "word" ten times (392 wide) wraps
    // at 194 into two lines: 38 high. Level 1 holds the spanner (22) and that
    // column (38): both become 38. Level 2 keeps 22; the heading is
    // 38 + 22 = 60 high and every data column ends at 22 + 60 = 82.
    std::string text =
        "[Table]\nSize=0, 3\n\n[ColumnGroup]\nText=Residence\n\n[Column]\nText=Urban\n\n[Column]\nText=Rural\n"
        "[EndGroup]\n\n[Column]\nText=word word word word word word word word word word\n";
    auto p = LoadTable(text);
    p->table.LayoutTable(CRect(0, 0, 800, 600), &dc);
    CTblColumn* pSpanner = p->table.GetColumnRoot()->GetChild(0);
    EXPECT_EQ(pSpanner->GetPos(), CRect(200, 22, 600, 60));
    EXPECT_EQ(pSpanner->GetChild(0)->GetPos(), CRect(200, 60, 400, 82));
    EXPECT_EQ(p->table.GetColumn(2)->GetPos(), CRect(600, 22, 800, 82));
    EXPECT_EQ(p->table.ColSize(), CSize(600, 60));
    // A table without rows still gets its heading; the stub head took the
    // heading's height as it was before the levels were equalised: 22 + 22.
    EXPECT_EQ(p->table.RowSize(), CSize(0, 0));
    EXPECT_EQ(p->table.GetStubHead()->GetPos(), CRect(0, 22, 200, 66));
}

TEST_F(HeadingHeightTest, TallStubHeadStretchesTheTopLevelColumns) {
    // Three 24-byte words (192 each) wrap one to a line at 194: the stub head
    // is 48 + 6 = 54 high, taller than the heading (22 + 22). The spanner and
    // the top-level data column become 54; the spanner's columns stay 22 and
    // the heading grows to 54 + 22 = 76; the stub head keeps 54.
    std::string text = "[Table]\nSize=1, 3\n\n[StubHead]\nText=" + Word(24, 'a') + " " + Word(24, 'b') + " " +
                       Word(24, 'c') +
                       "\n\n[ColumnGroup]\nText=Group\n\n[Column]\nText=a\n\n[Column]\nText=b\n[EndGroup]\n"
                       "\n[Column]\nText=c\n\n[Row]\nText=r\nData=0, 0, 0\n";
    auto p = LoadTable(text);
    p->table.LayoutTable(CRect(0, 0, 800, 600), &dc);
    EXPECT_EQ(p->table.GetStubHead()->GetPos(), CRect(0, 22, 200, 76));
    EXPECT_EQ(p->table.GetColumnRoot()->GetChild(0)->GetPos(), CRect(200, 22, 600, 76));
    EXPECT_EQ(p->table.GetColumn(0)->GetPos(), CRect(200, 76, 400, 98));
    EXPECT_EQ(p->table.GetColumn(2)->GetPos(), CRect(600, 22, 800, 98));
    EXPECT_EQ(p->table.GetRow(0)->Top(), 98);
}

TEST_F(HeadingHeightTest, TableWithoutDataColumnsLaysOutItsRows) {
    auto p = LoadTable(FlatTableText({}, {"One", "Two"}, "Title"));
    p->table.LayoutTable(CRect(0, 0, 800, 600), &dc);
    EXPECT_EQ(p->table.GetNumDataColumns(), 0);
    EXPECT_EQ(p->table.ColSize(), CSize(0, 0));
    // No heading below the title: the rows start at 22.
    EXPECT_EQ(p->table.GetRow(1)->GetPos(), CRect(0, 44, 200, 66));
    EXPECT_EQ(p->table.RowSize(), CSize(200, 44));
}

}  // namespace
