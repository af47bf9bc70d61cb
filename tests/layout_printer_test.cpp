// Printer layout and pagination: spanner copies and their removal, page
// numbers, row placement on pages, the column-page split, the repeated pass,
// the flip, and the switch between the screen and printer layouts.
//
// Printer surfaces are recording surfaces in MM_TWIPS. Without a font a byte
// is 8 wide and a line 16 high: margin m = 3, line height L = 22. A font of
// twips height 5 makes a byte 2 wide and a line 5 high: m = 1, L = 7.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "layout_test_support.h"

using kavo::CPoint;
using kavo::CRecordingDC;
using kavo::CRect;
using kavo::CSize;
using kavo::CTable;
using kavo::CTblColumn;
using kavo::CTblRow;
using kavo::LayoutTestAccess;
using layout_test::FlatTableText;
using layout_test::LoadTable;
using layout_test::Pages;
using layout_test::Word;

namespace {

CTblColumn* Leaf(const char* pszText, int nPage) {
    auto* p = new CTblColumn;
    p->SetText(pszText);
    p->AddPage(nPage);
    return p;
}

CTblColumn* Span(const char* pszText, std::initializer_list<CTblColumn*> children) {
    auto* p = new CTblColumn;
    p->SetText(pszText);
    for (CTblColumn* c : children) p->AddChild(c);
    return p;
}

std::vector<const CTblColumn*> Children(const CTblColumn* p) {
    std::vector<const CTblColumn*> v;
    for (int i = 0; i < p->GetNumChildren(); ++i) v.push_back(p->GetChild(i));
    return v;
}

// Every box of a laid-out table, for the flip checks.
void ExpectAllFlipped(const CTable& t) {
    for (const CRect& rc : layout_test::AllBoxes(t)) EXPECT_GE(rc.top, rc.bottom);
}

// ---------------------------------------------------------------------------
// Spanners split over column pages and joined again.

using SpannerPagesTest = ::testing::Test;

TEST_F(SpannerPagesTest, SpannerOverTwoPagesGetsACopyOnTheSecond) {
    CTblColumn root;
    CTblColumn *a = Leaf("a", 0), *b = Leaf("b", 0), *c = Leaf("c", 1), *d = Leaf("d", 1), *e = Leaf("e", 1);
    CTblColumn* s = Span("Span", {b, c, d});
    root.AddChild(a);
    root.AddChild(s);
    root.AddChild(e);
    root.AddPage(0);
    EXPECT_EQ(s->GetNumSpannedPages(), 2);  // pages 0 to 1 of its first and last columns
    root.InitSpannerPageNums();

    ASSERT_EQ(root.GetNumChildren(), 4);
    const CTblColumn* copy = root.GetChild(2);
    EXPECT_EQ(root.GetChild(0), a);
    EXPECT_EQ(root.GetChild(1), s);
    EXPECT_EQ(root.GetChild(3), e);
    EXPECT_EQ(Children(s), (std::vector<const CTblColumn*>{b}));
    EXPECT_EQ(Children(copy), (std::vector<const CTblColumn*>{c, d}));
    EXPECT_TRUE(copy->IsMultiPage());
    EXPECT_FALSE(s->IsMultiPage());
    EXPECT_EQ(copy->GetText(), "Span");
    EXPECT_EQ(Pages(s), std::vector<int>{0});
    EXPECT_EQ(Pages(copy), std::vector<int>{1});

    root.PruneSpanners();
    EXPECT_EQ(Children(&root), (std::vector<const CTblColumn*>{a, s, e}));
    EXPECT_EQ(Children(s), (std::vector<const CTblColumn*>{b, c, d}));
}

TEST_F(SpannerPagesTest, SpannerOverThreePagesGetsTwoCopiesInOrder) {
    CTblColumn root;
    CTblColumn *b = Leaf("b", 0), *c = Leaf("c", 1), *d = Leaf("d", 2);
    CTblColumn* s = Span("S", {b, c, d});
    root.AddChild(s);
    root.AddPage(0);
    EXPECT_EQ(s->GetNumSpannedPages(), 3);
    root.InitSpannerPageNums();
    ASSERT_EQ(root.GetNumChildren(), 3);
    EXPECT_EQ(Children(root.GetChild(1)), (std::vector<const CTblColumn*>{c}));
    EXPECT_EQ(Children(root.GetChild(2)), (std::vector<const CTblColumn*>{d}));
    EXPECT_EQ(Pages(root.GetChild(1)), std::vector<int>{1});
    EXPECT_EQ(Pages(root.GetChild(2)), std::vector<int>{2});
    root.PruneSpanners();
    ASSERT_EQ(root.GetNumChildren(), 1);
    EXPECT_EQ(Children(s), (std::vector<const CTblColumn*>{b, c, d}));
}

TEST_F(SpannerPagesTest, NestedSpannersSplitInnerFirstAndJoinAgain) {
    // S over (T over b, c) and d, with c and d on page 1: T splits into T and
    // T', then S into S (T) and S' (T', d).
    CTblColumn root;
    CTblColumn *b = Leaf("b", 0), *c = Leaf("c", 1), *d = Leaf("d", 1);
    CTblColumn* t = Span("T", {b, c});
    CTblColumn* s = Span("S", {t, d});
    root.AddChild(s);
    root.AddPage(0);
    root.InitSpannerPageNums();
    ASSERT_EQ(root.GetNumChildren(), 2);
    EXPECT_EQ(Children(s), (std::vector<const CTblColumn*>{t}));
    const CTblColumn* sCopy = root.GetChild(1);
    ASSERT_EQ(sCopy->GetNumChildren(), 2);
    EXPECT_EQ(sCopy->GetChild(0)->GetText(), "T");
    EXPECT_TRUE(sCopy->GetChild(0)->IsMultiPage());
    EXPECT_EQ(Children(sCopy->GetChild(0)), (std::vector<const CTblColumn*>{c}));
    EXPECT_EQ(sCopy->GetChild(1), d);

    root.PruneSpanners();
    EXPECT_EQ(Children(&root), (std::vector<const CTblColumn*>{s}));
    EXPECT_EQ(Children(s), (std::vector<const CTblColumn*>{t, d}));
    EXPECT_EQ(Children(t), (std::vector<const CTblColumn*>{b, c}));
}

TEST_F(SpannerPagesTest, SpannerTakesThePageOfItsFirstDataColumn) {
    CTblColumn root;
    CTblColumn* s = Span("S", {Span("T", {Leaf("b", 2)})});
    root.AddChild(s);
    root.AddPage(0);
    root.InitSpannerPageNums();
    EXPECT_EQ(Pages(s), std::vector<int>{2});
    EXPECT_EQ(Pages(s->GetChild(0)), std::vector<int>{2});
    EXPECT_EQ(root.GetNumChildren(), 1);
}

TEST_F(SpannerPagesTest, PageWithoutAnyOfTheSpannersColumnsGetsNoCopy) {
    // Columns on pages 0 and 2 only: an empty copy for page 1 would become a
    // data column of its own.
    CTblColumn root;
    CTblColumn *b = Leaf("b", 0), *c = Leaf("c", 2);
    root.AddChild(Span("S", {b, c}));
    root.AddPage(0);
    root.InitSpannerPageNums();
    ASSERT_EQ(root.GetNumChildren(), 2);
    EXPECT_EQ(Children(root.GetChild(1)), (std::vector<const CTblColumn*>{c}));
    EXPECT_EQ(Pages(root.GetChild(1)), std::vector<int>{2});
    EXPECT_EQ(root.GetNumDataChildren(), 2);
}

TEST_F(SpannerPagesTest, PageNumbersRepeatPerRowPageAndSpreadPerColumnPage) {
    // Two column pages, three row pages.
    CTblColumn root;
    CTblColumn* col = Leaf("c", 1);
    root.AddChild(col);
    root.AddPage(0);
    root.SetPageNums(2, 3);
    EXPECT_EQ(Pages(&root), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(Pages(col), (std::vector<int>{1, 3, 5}));

    CTblRow rows;
    auto* group = new CTblRow;
    auto* row = new CTblRow;
    group->AddChild(row);
    rows.AddChild(group);
    rows.AddPage(0);
    group->AddPage(0);
    row->AddPage(1);
    rows.SetPageNums(2, 3);
    EXPECT_EQ(Pages(&rows), (std::vector<int>{0, 1}));
    EXPECT_EQ(Pages(row), (std::vector<int>{2, 3}));
}

// ---------------------------------------------------------------------------
// Rows on pages.

using RowPagesTest = ::testing::Test;

TEST_F(RowPagesTest, RowTallerThanTheRoomStartsAPageEvenWhenFirst) {
    // Room: |nBody| 66 below the top 44, so rows must end by 110.
    layout_test::MetricsScope metrics(3, 22);
    CTblRow root;
    auto* tall = new CTblRow;
    LayoutTestAccess::SetPos(*tall, CRect(0, 0, 100, 100));
    root.AddChild(tall);
    int y = 44, nPage = 0;
    LayoutTestAccess::CalcPtrOffset(root, -66, 44, y, nPage, -1);
    // 44 + 100 > 110: page 1, where it overruns; page 0 holds no row.
    EXPECT_EQ(nPage, 1);
    EXPECT_EQ(tall->GetPos(), CRect(0, 44, 100, 144));
    EXPECT_EQ(Pages(tall), std::vector<int>{1});
    EXPECT_EQ(Pages(&root), std::vector<int>{0});
}

TEST_F(RowPagesTest, VerticalPageSizeIsTheDeepestBottomOnThePage) {
    CTblRow root;
    auto* a = new CTblRow;
    auto* b = new CTblRow;
    auto* c = new CTblRow;
    LayoutTestAccess::SetPos(*a, CRect(0, -44, 10, -66));
    LayoutTestAccess::SetPos(*b, CRect(0, -66, 10, -88));
    LayoutTestAccess::SetPos(*c, CRect(0, -44, 10, -60));
    a->AddPage(0);
    b->AddPage(0);
    c->AddPage(1);
    a->AddChild(b);
    root.AddChild(a);
    root.AddChild(c);
    EXPECT_EQ(root.GetVerticalPageSize(0), -88);
    EXPECT_EQ(root.GetVerticalPageSize(1), -60);
    EXPECT_EQ(root.GetVerticalPageSize(7), 0);
}

TEST_F(RowPagesTest, CaptionIsLeftAloneAtTheFootOfAPage) {
    // No font: every row 22 high. Title 22, heading 22: rows start at 44 and
    // must end by the printable height 110. G1, r1 and G2 fill page 0
    // (ending at 66, 88, 110); G2's rows r2 and r3 go to page 1.
    const std::string text =
        "[Table]\nSize=3, 1\n\n[Title]\nText=T\n\n[Column]\nText=c\n"
        "\n[RowGroup]\nText=G1\n\n[Row]\nText=r1\nData=0\n[EndGroup]\n"
        "\n[RowGroup]\nText=G2\n\n[Row]\nText=r2\nData=0\n\n[Row]\nText=r3\nData=0\n[EndGroup]\n";
    auto p = LoadTable(text);
    CRecordingDC twips(kavo::MM_TWIPS);
    p->table.LayoutPrinter(CRect(0, 0, 1000, -110), &twips);
    const CTblRow* g1 = p->table.GetRowRoot()->GetChild(0);
    const CTblRow* g2 = p->table.GetRowRoot()->GetChild(1);
    EXPECT_EQ(p->table.GetNumPages(), 2);
    EXPECT_EQ(Pages(g1), std::vector<int>{0});
    EXPECT_EQ(Pages(g1->GetChild(0)), std::vector<int>{0});
    EXPECT_EQ(Pages(g2), std::vector<int>{0});
    EXPECT_EQ(Pages(g2->GetChild(0)), std::vector<int>{1});
    EXPECT_EQ(Pages(g2->GetChild(1)), std::vector<int>{1});
    // Stub of 250 (a quarter of 1000); level-1 rows indented by 15; flipped.
    EXPECT_EQ(g2->GetPos(), CRect(0, -88, 250, -110));
    EXPECT_EQ(g2->GetChild(0)->GetPos(), CRect(15, -44, 250, -66));
    EXPECT_EQ(p->table.GetRowRoot()->GetVerticalPageSize(0), -110);
    EXPECT_EQ(p->table.GetRowRoot()->GetVerticalPageSize(1), -88);
}

// ---------------------------------------------------------------------------
// Column pages: how many columns, how wide, on which page.

TEST(ColumnPagesTest, FourteenColumnsSplitFiveFiveFour) {
    // Twips font 5: m = 1, L = 7, a byte 2 wide. Row caption 999 bytes: the
    // stub needs 1998 + 2 = 2000. Column captions 749 bytes: 1498 + 2 = 1500.
    // Printable width 11000: the screen pass gives the stub 2000 (14 * 1500
    // does not fit) and every column 1500. 9000 / 1500 = 6 per page, so
    // 3 pages; the excess 18 - 14 = 4 leaves 5, 5, 4 columns of
    // 9000 / 5 = 1800, 1800 and 9000 / 4 = 2250.
    auto p = LoadTable(FlatTableText(std::vector<std::string>(14, Word(749)), {Word(999, 'r')}), 16, 5);
    ASSERT_EQ(p->result, 1);
    CRecordingDC twips(kavo::MM_TWIPS);
    p->table.LayoutPrinter(CRect(0, 0, 11000, -15120), &twips);
    const CTable& t = p->table;
    EXPECT_EQ(kavo::g_nMargin, 1);
    EXPECT_EQ(kavo::g_nLineHeight, 7);
    EXPECT_EQ(t.GetNumHorzPages(), 3);
    EXPECT_EQ(t.GetNumPages(), 3);
    const int counts[] = {5, 5, 4};
    const int widths[] = {1800, 1800, 2250};
    int c = 0;
    for (int page = 0; page < 3; ++page)
        for (int k = 0; k < counts[page]; ++k, ++c) {
            EXPECT_EQ(Pages(t.GetColumn(c)), std::vector<int>{page}) << "column " << c;
            EXPECT_EQ(t.GetColumn(c)->Left(), 2000 + k * widths[page]) << "column " << c;
            EXPECT_EQ(t.GetColumn(c)->Width(), widths[page]) << "column " << c;
        }
    EXPECT_EQ(Pages(t.GetRow(0)), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Pages(t.GetCell(0, 13)), std::vector<int>{2});
}

class DistributionTest : public ::testing::Test {
protected:
    // No font: captions of 12 bytes need 96 + 6 = 102, the row "r" 8 + 6 = 14.
    // At W = 500 the columns do not fit the data budget 375, so the stub
    // shrinks to 14 and 486 / 102 = 4 columns go on a page.
    std::vector<std::vector<int>> Lay(int nCols) {
        auto p = LoadTable(FlatTableText(std::vector<std::string>(static_cast<std::size_t>(nCols), Word(12)), {"r"}));
        CRecordingDC twips(kavo::MM_TWIPS);
        p->table.LayoutPrinter(CRect(0, 0, 500, -1000), &twips);
        std::vector<std::vector<int>> pages(static_cast<std::size_t>(p->table.GetNumHorzPages()));
        for (int c = 0; c < nCols; ++c)
            pages[static_cast<std::size_t>(p->table.GetColumn(c)->GetPage(0))].push_back(
                p->table.GetColumn(c)->Width());
        return pages;
    }
};

TEST_F(DistributionTest, TenColumnsFourPerPage) {
    // 3 pages; the excess 2 comes off the last two: 4, 3, 3 columns of
    // 486 / 4 = 121 and 486 / 3 = 162.
    EXPECT_EQ(Lay(10), (std::vector<std::vector<int>>{{121, 121, 121, 121}, {162, 162, 162}, {162, 162, 162}}));
}

TEST_F(DistributionTest, FiveColumnsFourPerPage) {
    // 2 pages; the excess 3 comes off the last, the first, the last: 3 and 2
    // columns of 486 / 3 = 162 and 486 / 2 = 243.
    EXPECT_EQ(Lay(5), (std::vector<std::vector<int>>{{162, 162, 162}, {243, 243}}));
}

// ---------------------------------------------------------------------------
// Two column pages and three row pages.
//
// No font. W = 1000: ten 12-byte columns (102 each) do not fit the budget
// 750; the stub shrinks to the row caption's 14 and 986 / 102 = 9 columns
// fit on a page: 2 pages of 5 columns, each 986 / 5 = 197 wide. The title
// (22) and the heading (22) leave the printable height 110 room for three
// rows of 22 per page: seven rows take 3 row pages.

class PagedTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        p = LoadTable(FlatTableText(std::vector<std::string>(10, Word(12)), std::vector<std::string>(7, "r"), "T"));
        ASSERT_EQ(p->result, 1);
        p->table.LayoutPrinter(CRect(0, 0, 1000, -110), &twips);
    }
    const CTable& t() const { return p->table; }
    CRecordingDC twips{kavo::MM_TWIPS};
    std::unique_ptr<layout_test::LoadedTable> p;
};

TEST_F(PagedTableTest, PageCounts) {
    EXPECT_EQ(t().GetNumHorzPages(), 2);
    EXPECT_EQ(t().GetNumPages(), 6);
}

TEST_F(PagedTableTest, PageListsOfColumnsRowsAndCells) {
    EXPECT_EQ(Pages(t().GetColumn(0)), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(Pages(t().GetColumn(5)), (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(Pages(t().GetColumnRoot()), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(Pages(t().GetRow(0)), (std::vector<int>{0, 1}));
    EXPECT_EQ(Pages(t().GetRow(3)), (std::vector<int>{2, 3}));
    EXPECT_EQ(Pages(t().GetRow(6)), (std::vector<int>{4, 5}));
    EXPECT_EQ(Pages(t().GetRowRoot()), (std::vector<int>{0, 1}));
    EXPECT_EQ(Pages(t().GetCell(3, 5)), std::vector<int>{3});
    EXPECT_EQ(Pages(t().GetCell(6, 4)), std::vector<int>{4});
    EXPECT_EQ(t().GetTitle()->GetNumPages(), 0);
    EXPECT_EQ(t().GetHeader()->GetNumPages(), 0);
    EXPECT_EQ(t().GetFooter()->GetNumPages(), 0);
    EXPECT_EQ(t().GetStubHead()->GetNumPages(), 0);
}

TEST_F(PagedTableTest, BoxesAreFlippedPerPage) {
    ExpectAllFlipped(t());
    // Column 5 opens page 1 at the stub's edge; rows restart under the heading.
    EXPECT_EQ(t().GetColumn(0)->GetPos(), CRect(14, -22, 211, -44));
    EXPECT_EQ(t().GetColumn(5)->GetPos(), CRect(14, -22, 211, -44));
    EXPECT_EQ(t().GetColumn(9)->GetPos(), CRect(802, -22, 999, -44));
    EXPECT_EQ(t().GetRow(2)->GetPos(), CRect(0, -88, 14, -110));
    EXPECT_EQ(t().GetRow(3)->GetPos(), CRect(0, -44, 14, -66));
    EXPECT_EQ(t().GetCell(3, 5)->GetPos(), CRect(14, -44, 211, -66));
    EXPECT_EQ(t().GetTitle()->GetPos(), CRect(0, 0, 1000, -22));
    EXPECT_EQ(t().GetRowRoot()->GetVerticalPageSize(2), -110);
    EXPECT_EQ(t().GetRowRoot()->GetVerticalPageSize(5), -66);
}

TEST_F(PagedTableTest, SizesAndBordersAreNegative) {
    // The heading spans every column of every page: 10 * 197.
    EXPECT_EQ(t().ColSize(), CSize(1970, -22));
    EXPECT_EQ(t().RowSize(), CSize(14, -154));
    EXPECT_EQ(t().GetBorder(), CRect(0, 0, 1984, -22 - 22 - 154));
    EXPECT_EQ(t().GetColumn(0)->GetBorder(), CRect(14, -22, 211, -198));
    EXPECT_EQ(t().GetRow(0)->GetBorder(), CRect(0, -44, 1984, -66));
}

// ---------------------------------------------------------------------------
// Spanners on printed pages.
//
// As above with one tall page, and a spanner "Group" over columns 3 to 6:
// columns 3, 4 fall on page 0, columns 5, 6 on page 1.

class PrintedSpannerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text = "[Table]\nSize=1, 10\n";
        for (int c = 0; c < 10; ++c) {
            if (c == 3) text += "\n[ColumnGroup]\nText=Group\n";
            text += "\n[Column]\nText=" + Word(12) + "\n";
            if (c == 6) text += "[EndGroup]\n";
        }
        text += "\n[Row]\nText=r\nData=0, 0, 0, 0, 0, 0, 0, 0, 0, 0\n";
        p = LoadTable(text);
        ASSERT_EQ(p->result, 1);
        for (int c = 0; c < 10; ++c) columns.push_back(p->table.GetColumn(c));
        group = p->table.GetColumnRoot()->GetChild(3);
    }
    CTable& t() { return p->table; }
    CRecordingDC twips{kavo::MM_TWIPS};
    CRecordingDC screen;
    std::unique_ptr<layout_test::LoadedTable> p;
    std::vector<CTblColumn*> columns;
    CTblColumn* group = nullptr;
};

TEST_F(PrintedSpannerTest, SpannerIsRepeatedOverItsColumnsOnTheNextPage) {
    t().LayoutPrinter(CRect(0, 0, 1000, -1000), &twips);
    const CTblColumn* root = t().GetColumnRoot();
    ASSERT_EQ(root->GetNumChildren(), 8);
    const CTblColumn* copy = root->GetChild(4);
    EXPECT_EQ(root->GetChild(3), group);
    EXPECT_TRUE(copy->IsMultiPage());
    EXPECT_EQ(copy->GetText(), "Group");
    EXPECT_EQ(Children(group), (std::vector<const CTblColumn*>{columns[3], columns[4]}));
    EXPECT_EQ(Children(copy), (std::vector<const CTblColumn*>{columns[5], columns[6]}));
    EXPECT_EQ(Pages(group), std::vector<int>{0});
    EXPECT_EQ(Pages(copy), std::vector<int>{1});
    // The data columns keep their numbers.
    for (int c = 0; c < 10; ++c) EXPECT_EQ(t().GetColumn(c), columns[static_cast<std::size_t>(c)]);

    // Under a title of 22. The data columns keep the heights of the screen
    // pass, which reached down to the bottom of its two-level heading: column
    // 0 is 44 high, and so level 1 is 44 high, level 2 22. The spanner sits
    // over its page's columns; data columns reach 22 + 44 + 22 = 88. Flipped.
    EXPECT_EQ(group->GetPos(), CRect(14 + 3 * 197, -22, 14 + 5 * 197, -66));
    EXPECT_EQ(copy->GetPos(), CRect(14, -22, 14 + 2 * 197, -66));
    EXPECT_EQ(columns[5]->GetPos(), CRect(14, -66, 211, -88));
    EXPECT_EQ(columns[0]->GetPos(), CRect(14, -22, 211, -88));
    // The stub head is stretched to the heading.
    EXPECT_EQ(t().GetStubHead()->GetPos(), CRect(0, -22, 14, -88));
    ExpectAllFlipped(t());
}

TEST_F(PrintedSpannerTest, ScreenLayoutComesBackAfterPrinting) {
    t().LayoutTable(CRect(0, 0, 800, 600), &screen);
    const std::vector<CRect> screenBoxes = layout_test::AllBoxes(t());
    const CSize screenSize = t().Size();
    const CRect screenBorder = t().GetBorder();
    t().BackupClient(1);

    t().LayoutPrinter(CRect(0, 0, 1000, -1000), &twips);
    ASSERT_EQ(t().GetColumnRoot()->GetNumChildren(), 8);
    const CRect printedCell = t().GetCell(0, 6)->GetPos();

    t().RestoreClient(1);
    EXPECT_EQ(Children(t().GetColumnRoot()).size(), 7u);
    EXPECT_EQ(Children(group), (std::vector<const CTblColumn*>{columns[3], columns[4], columns[5], columns[6]}));
    EXPECT_EQ(layout_test::AllBoxes(t()), screenBoxes);
    EXPECT_EQ(t().Size(), screenSize);
    EXPECT_EQ(t().GetBorder(), screenBorder);

    // Slot 0 still holds the printer layout of the cells.
    t().RestoreClient(0);
    EXPECT_EQ(t().GetCell(0, 6)->GetPos(), printedCell);
}

TEST_F(PrintedSpannerTest, RestoringWithoutARegistryStillPrunesAndRestores) {
    t().LayoutTable(CRect(0, 0, 800, 600), &screen);
    const std::vector<CRect> screenBoxes = layout_test::AllBoxes(t());
    t().BackupClient(1);
    t().LayoutPrinter(CRect(0, 0, 1000, -1000), &twips);
    t().SetStyleRegistry(nullptr);
    t().RestoreClient(1);
    EXPECT_EQ(t().GetColumnRoot()->GetNumChildren(), 7);
    EXPECT_EQ(layout_test::AllBoxes(t()), screenBoxes);
    t().SetStyleRegistry(&p->registry);
}

TEST_F(PrintedSpannerTest, PrintingAgainGivesTheSamePages) {
    t().LayoutPrinter(CRect(0, 0, 1000, -1000), &twips);
    const std::vector<CRect> first = layout_test::AllBoxes(t());
    t().RestoreClient(1);
    t().LayoutPrinter(CRect(0, 0, 1000, -1000), &twips);
    EXPECT_EQ(layout_test::AllBoxes(t()), first);
    EXPECT_EQ(Pages(t().GetCell(0, 6)), std::vector<int>{1});
}

TEST(PrinterMetricsTest, RestoringTheScreenLayoutMeasuresTheScreenMetricsAgain) {
    // Screen font 20 high: margin 4, line 28; printer font 300: 60 and 420.
    auto p = LoadTable(FlatTableText({"Urban", "Rural"}, {"One", "Two"}, "Title"), -20, 300);
    CRecordingDC screen;
    CRecordingDC twips(kavo::MM_TWIPS);
    p->table.LayoutTable(CRect(0, 0, 800, 600), &screen);
    p->table.BackupClient(1);
    p->table.LayoutPrinter(CRect(0, 0, 11520, -15120), &twips);
    EXPECT_EQ(kavo::g_nMargin, 60);
    EXPECT_EQ(kavo::g_nLineHeight, 420);
    p->table.RestoreClient(1);
    EXPECT_EQ(kavo::g_nMargin, 4);
    EXPECT_EQ(kavo::g_nLineHeight, 28);
}

// ---------------------------------------------------------------------------
// The repeated pass, and tables that leave nothing to divide by.

TEST(RepeatedPassTest, SpannerWiderThanItsPageColumnsRepaginates) {
    // As PagedTableTest, with a spanner over columns 4 and 5 whose caption is
    // one 30-byte word: minimum 240 + 6 = 246. First pass: 5 and 5 columns of
    // 197; the spanner on page 0 and its copy on page 1 each widen their one
    // column to 246 > 197. Second pass: the widest minimum is 246, so
    // 986 / 246 = 4 per page, 3 pages of 4, 3, 3 columns: 246, 328, 328 wide.
    std::string text = "[Table]\nSize=1, 10\n";
    for (int c = 0; c < 10; ++c) {
        if (c == 4) text += "\n[ColumnGroup]\nText=" + Word(30, 'g') + "\n";
        text += "\n[Column]\nText=" + Word(12) + "\n";
        if (c == 5) text += "[EndGroup]\n";
    }
    text += "\n[Row]\nText=r\nData=0, 0, 0, 0, 0, 0, 0, 0, 0, 0\n";
    auto p = LoadTable(text);
    CRecordingDC twips(kavo::MM_TWIPS);
    int nBegin = 0, nEnd = 0;
    kavo::SetWaitCursorHooks([&] { ++nBegin; }, [&] { ++nEnd; });
    p->table.LayoutPrinter(CRect(0, 0, 1000, -1000), &twips);
    kavo::SetWaitCursorHooks(nullptr, nullptr);
    EXPECT_EQ(nBegin, nEnd);
    EXPECT_EQ(kavo::g_bRepaginating, 0);

    const CTable& t = p->table;
    EXPECT_EQ(t.GetNumHorzPages(), 3);
    const int pages[] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2};
    const int widths[] = {246, 246, 246, 246, 328, 328, 328, 328, 328, 328};
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(t.GetColumn(c)->GetPage(0), pages[c]) << "column " << c;
        EXPECT_EQ(t.GetColumn(c)->Width(), widths[c]) << "column " << c;
    }
    // The spanner lies on page 1 only: no copy is left.
    EXPECT_EQ(t.GetColumnRoot()->GetNumChildren(), 9);
    EXPECT_EQ(t.GetColumnRoot()->GetChild(4)->GetPos().Width(), 656);
}

TEST(RepeatedPassTest, ColumnWiderThanThePagePutsOneColumnOnEachPage) {
    // A spanner over column 0 alone with a 70-byte word: minimum 566. At
    // W = 500 the stub is 125 and 375 remains: the first pass widens column 0
    // to 566, wider than the page, so the second has 375 / 566 = 0 columns
    // per page. Each column then gets a page of its own, 375 wide, and the
    // spanner keeps its column at 566.
    const std::string text = "[Table]\nSize=1, 3\n\n[ColumnGroup]\nText=" + Word(70, 'g') +
                             "\n\n[Column]\nText=a\n[EndGroup]\n\n[Column]\nText=b\n\n[Column]\nText=c\n"
                             "\n[Row]\nText=r\nData=0, 0, 0\n";
    auto p = LoadTable(text);
    CRecordingDC twips(kavo::MM_TWIPS);
    p->table.LayoutPrinter(CRect(0, 0, 500, -1000), &twips);
    const CTable& t = p->table;
    EXPECT_EQ(t.GetNumHorzPages(), 3);
    EXPECT_EQ(t.GetNumPages(), 3);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(t.GetColumn(c)->GetPage(0), c);
        EXPECT_EQ(t.GetColumn(c)->Left(), 125);
    }
    EXPECT_EQ(t.GetColumn(0)->Width(), 566);
    EXPECT_EQ(t.GetColumn(1)->Width(), 375);
}

TEST(EmptyTablePrintTest, TableWithoutDataColumnsHasOneColumnPage) {
    // No font: title 22, no heading, rows of 22 from 22 on; the printable
    // height 88 holds rows ending at 44, 66, 88: four rows take two pages.
    auto p = LoadTable(FlatTableText({}, {"a", "b", "c", "d"}, "T"));
    CRecordingDC twips(kavo::MM_TWIPS);
    p->table.LayoutPrinter(CRect(0, 0, 1000, -88), &twips);
    EXPECT_EQ(p->table.GetNumHorzPages(), 1);
    EXPECT_EQ(p->table.GetNumPages(), 2);
    EXPECT_EQ(Pages(p->table.GetRow(3)), std::vector<int>{1});
    EXPECT_EQ(Pages(p->table.GetColumnRoot()), (std::vector<int>{0, 1}));
}

TEST(EmptyTablePrintTest, ColumnsNeedingNoWidthShareOnePage) {
    // Twips font 4: margin 0. Empty captions and no rows need no width at
    // all, and a printable width of 1 leaves every column 0 wide.
    auto p = LoadTable(FlatTableText({"", "", ""}, {}), 16, 4);
    CRecordingDC twips(kavo::MM_TWIPS);
    p->table.LayoutPrinter(CRect(0, 0, 1, -1000), &twips);
    EXPECT_EQ(kavo::g_nMargin, 0);
    EXPECT_EQ(p->table.GetNumHorzPages(), 1);
    EXPECT_EQ(p->table.GetNumPages(), 1);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(Pages(p->table.GetColumn(c)), std::vector<int>{0});
}

TEST(EmptyTablePrintTest, SinglePageTableHasPageZeroEverywhere) {
    auto p = LoadTable(FlatTableText({"a", "b"}, {"x", "y"}, "T"));
    CRecordingDC twips(kavo::MM_TWIPS);
    p->table.LayoutPrinter(CRect(0, 0, 11520, -15120), &twips);
    const CTable& t = p->table;
    EXPECT_EQ(t.GetNumPages(), 1);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Pages(t.GetColumn(i)), std::vector<int>{0});
        EXPECT_EQ(Pages(t.GetRow(i)), std::vector<int>{0});
        for (int c = 0; c < 2; ++c) EXPECT_EQ(Pages(t.GetCell(i, c)), std::vector<int>{0});
    }
    ExpectAllFlipped(t);
}

}  // namespace
