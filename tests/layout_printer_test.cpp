// Printer layout and pagination: spanner copies and their removal, the
// column-page split, page lists, the repeated pass, the flip, and the switch
// between the screen and printer layouts.
//
// Printer surfaces are recording surfaces in MM_TWIPS. Without a font a byte
// is 8 wide and a line 16 high: margin m = 3, line height L = 22. A font of
// twips height 5 makes a byte 2 wide and a line 5 high: m = 1, L = 7.
#include <gtest/gtest.h>

#include "layout_test_support.h"

using namespace kavo;
using namespace layout_test;
using Cols = std::vector<CTblColumn*>;
using Ints = std::vector<int>;

namespace {

CTblColumn* Column(const std::string& text, int nPage, Cols children = {}) {
    auto* p = new CTblColumn;
    p->SetText(text.c_str());
    if (nPage >= 0) p->AddPage(nPage);
    for (CTblColumn* c : children) p->AddChild(c);
    return p;
}

Cols Children(const CTblColumn* p) {
    Cols v;
    for (int i = 0; i < p->GetNumChildren(); ++i) v.push_back(p->GetChild(i));
    return v;
}

// A column subtree as "text@pages(children)", with "*" marking a copy.
std::string Tree(const CTblColumn& n) {
    std::string s = n.GetText().str() + (n.IsMultiPage() ? "*" : "");
    for (int page : Pages(&n)) s += "@" + std::to_string(page);
    for (int i = 0; i < n.GetNumChildren(); ++i) s += (i ? "," : "(") + Tree(*n.GetChild(i));
    return n.GetNumChildren() ? s + ")" : s;
}

// A table read from text and laid out on a printer page of the given size.
struct Printed {
    Printed(const std::string& text, int nWidth, int nHeight, int nFont = 0, int nTwips = 0)
        : p(LoadTable(text, nFont, nTwips)) {
        EXPECT_EQ(p->result, 1);
        if (nWidth > 0) Print(nWidth, nHeight);  // 0: left to the test
    }
    void Print(int nWidth, int nHeight) { t.LayoutPrinter(CRect(0, 0, nWidth, -nHeight), &twips); }
    CRecordingDC twips{MM_TWIPS};
    std::unique_ptr<LoadedTable> p;
    CTable& t = p->table;
};

// The widths of the data columns on each column page.
std::vector<Ints> ColumnPages(const CTable& t) {
    std::vector<Ints> pages(static_cast<std::size_t>(t.GetNumHorzPages()));
    for (int c = 0; c < t.GetNumDataColumns(); ++c)
        pages.at(static_cast<std::size_t>(t.GetColumn(c)->GetPage(0))).push_back(t.GetColumn(c)->Width());
    return pages;
}

void ExpectAllFlipped(const CTable& t) {
    for (const CRect& rc : AllBoxes(t)) EXPECT_GE(rc.top, rc.bottom);
}

}  // namespace

// --- Spanners split over column pages and joined again ---------------------------

TEST(SpannerPages, SpannerIsCopiedOntoEveryLaterPageOfItsColumnsAndJoinedAgain) {
    // S over a, b, c on the given pages, then z on the last page. S keeps the
    // columns of its first page; a copy of it sits behind it for every later
    // page that has columns of S, with that page. Pruning gives the very
    // columns back to S.
    const std::pair<Ints, const char*> cases[] = {
        {{0, 1, 1}, "@0(S@0(a@0),S*@1(b@1,c@1),z@1)"},
        {{0, 1, 2}, "@0(S@0(a@0),S*@1(b@1),S*@2(c@2),z@2)"},
        {{0, 2}, "@0(S@0(a@0),S*@2(b@2),z@2)"},  // an empty copy would be a data column of its own
    };
    for (const auto& c : cases) {
        Cols leaves;
        for (int page : c.first) leaves.push_back(Column(std::string(1, char('a' + leaves.size())), page));
        CTblColumn* s = Column("S", -1, leaves);
        const std::unique_ptr<CTblColumn> root(Column("", 0, {s, Column("z", c.first.back())}));
        EXPECT_EQ(s->GetNumSpannedPages(), c.first.back() + 1);  // first to last page
        root->InitSpannerPageNums();
        EXPECT_EQ(Tree(*root), c.second);
        root->PruneSpanners();
        EXPECT_EQ(root->GetNumChildren(), 2); EXPECT_EQ(Children(s), leaves);
    }
}

TEST(SpannerPages, NestedSpannersSplitInnerFirstAndJoinAgain) {
    // S over (T over b, c) and d, with c and d on page 1: T splits into T and
    // T', then S into S (T) and S' (T', d); each takes its first column's page.
    CTblColumn *b = Column("b", 0), *c = Column("c", 1), *d = Column("d", 1), *t = Column("T", -1, {b, c});
    CTblColumn* s = Column("S", -1, {t, d});
    const std::unique_ptr<CTblColumn> root(Column("", 0, {s}));
    root->InitSpannerPageNums();
    EXPECT_EQ(Tree(*root), "@0(S@0(T@0(b@0)),S*@1(T*@1(c@1),d@1))");
    root->PruneSpanners();
    EXPECT_EQ(Children(root.get()), Cols{s}); EXPECT_EQ(Children(s), (Cols{t, d}));
    EXPECT_EQ(Children(t), (Cols{b, c}));
}

// --- Column pages: how many columns, how wide, on which page ------------------------

TEST(ColumnPages, FourteenColumnsSplitFiveFiveFour) {
    // Twips font 5: m = 1, L = 7, a byte 2 wide. Row caption 999 bytes: the
    // stub needs 1998 + 2 = 2000. Column captions 749 bytes: 1498 + 2 = 1500.
    // Printable width 11000: the screen pass gives the stub 2000 (14 * 1500
    // does not fit) and every column 1500. 9000 / 1500 = 6 per page, so
    // 3 pages; the excess 18 - 14 = 4 leaves 5, 5, 4 columns of
    // 9000 / 5 = 1800, 1800 and 9000 / 4 = 2250.
    Printed pr(FlatTableText(Strings(14, Word(749)), {Word(999, 'r')}), 11000, 15120, 16, 5);
    EXPECT_EQ(pr.t.GetNumPages(), 3);
    EXPECT_EQ(ColumnPages(pr.t), (std::vector<Ints>{Ints(5, 1800), Ints(5, 1800), Ints(4, 2250)}));
    const std::pair<int, int> lefts[] = {{0, 2000}, {4, 2000 + 4 * 1800}, {5, 2000}, {13, 2000 + 3 * 2250}};
    for (const auto& l : lefts) EXPECT_EQ(pr.t.GetColumn(l.first)->GetPos().left, l.second) << l.first;
    EXPECT_EQ(Pages(pr.t.GetRow(0)), (Ints{0, 1, 2})); EXPECT_EQ(Pages(pr.t.GetCell(0, 13)), Ints{2});
}

TEST(ColumnPages, ExcessComesOffTheLastPagesFirst) {
    // No font: captions of 12 bytes need 96 + 6 = 102, the row "r" 8 + 6 = 14.
    // At W = 500 the columns do not fit the data budget 375, so the stub
    // shrinks to 14 and 486 / 102 = 4 columns go on a page.
    // Ten columns: 3 pages; the excess 2 comes off the last two: 4, 3, 3
    // columns of 486 / 4 = 121 and 486 / 3 = 162.
    // Five columns: 2 pages; the excess 3 comes off the last, the first, the
    // last: 3 and 2 columns of 486 / 3 = 162 and 486 / 2 = 243.
    const std::pair<int, std::vector<Ints>> cases[] = {{10, {Ints(4, 121), Ints(3, 162), Ints(3, 162)}},
                                                       {5, {Ints(3, 162), Ints(2, 243)}}};
    for (const auto& c : cases) {
        Printed pr(FlatTableText(Strings(c.first, Word(12)), {"r"}), 500, 1000);
        EXPECT_EQ(ColumnPages(pr.t), c.second) << c.first;
    }
}

TEST(ColumnPages, TwoByThreePagesListAndFlipEveryElement) {
    // No font. W = 1000: ten 12-byte columns (102 each) do not fit the budget
    // 750; the stub shrinks to the row caption's 14 and 986 / 102 = 9 columns
    // fit on a page: 2 pages of 5 columns, each 986 / 5 = 197 wide. The title
    // (22) and the heading (22) leave the printable height 110 room for three
    // rows of 22 per page: seven rows take 3 row pages, page = column page +
    // 2 * row page. Column 5 opens page 1 at the stub's edge; rows restart
    // under the heading; everything is flipped.
    Printed pr(FlatTableText(Strings(10, Word(12)), Strings(7, "r"), "T"), 1000, 110);
    const CTable& t = pr.t;
    EXPECT_EQ(t.GetNumPages(), 6);
    const std::pair<const CTblOb*, Ints> lists[] = {
        {t.GetColumn(0), {0, 2, 4}}, {t.GetColumn(5), {1, 3, 5}}, {t.GetColumnRoot(), {0, 2, 4}},
        {t.GetRow(0), {0, 1}},       {t.GetRow(3), {2, 3}},       {t.GetRow(6), {4, 5}},
        {t.GetRowRoot(), {0, 1}},    {t.GetCell(3, 5), {3}},      {t.GetCell(6, 4), {4}},
        {t.GetTitle(), {}},          {t.GetHeader(), {}},         {t.GetStubHead(), {}}};
    for (const auto& l : lists) EXPECT_EQ(Pages(l.first), l.second) << l.first->GetText().c_str();
    const std::pair<const CTblOb*, CRect> boxes[] = {
        {t.GetColumn(0), CRect(14, -22, 211, -44)}, {t.GetColumn(5), CRect(14, -22, 211, -44)},
        {t.GetColumn(9), CRect(802, -22, 999, -44)}, {t.GetRow(2), CRect(0, -88, 14, -110)},
        {t.GetRow(3), CRect(0, -44, 14, -66)},       {t.GetCell(3, 5), CRect(14, -44, 211, -66)}};
    for (const auto& b : boxes) EXPECT_EQ(b.first->GetPos(), b.second);
    ExpectAllFlipped(t);
    EXPECT_EQ(t.GetRowRoot()->GetVerticalPageSize(5), -66);
    // The heading spans every column of every page: 10 * 197.
    EXPECT_EQ(t.ColSize(), CSize(1970, -22)); EXPECT_EQ(t.RowSize(), CSize(14, -154));
    EXPECT_EQ(t.GetColumn(0)->GetBorder(), CRect(14, -22, 211, -198));
    EXPECT_EQ(t.GetRow(0)->GetBorder(), CRect(0, -44, 1984, -66));
}

TEST(RowPages, CaptionStaysAtTheFootOfAPageWithoutItsRows) {
    // Title 22, heading 22: rows start at 44 and must end by the printable
    // height 110. G1, r1 and G2 fill page 0 (ending at 66, 88, 110); G2's rows
    // start page 1 under the heading. The stub is 1000 / 4 = 250; level-1
    // rows are indented by 15.
    Printed pr("[Table]\nSize=3, 1\n[Title]\nText=T\n[Column]\nText=c\n[RowGroup]\nText=G1\n[Row]\nText=r1\n"
               "Data=0\n[EndGroup]\n[RowGroup]\nText=G2\n[Row]\nText=r2\nData=0\n[Row]\nText=r3\nData=0\n",
               1000, 110);
    const CTblRow* g2 = pr.t.GetRowRoot()->GetChild(1);
    EXPECT_EQ(pr.t.GetNumPages(), 2); EXPECT_EQ(Pages(g2), Ints{0});
    EXPECT_EQ(Pages(pr.t.GetRow(0)), Ints{0}); EXPECT_EQ(Pages(pr.t.GetRow(1)), Ints{1});
    EXPECT_EQ(g2->GetPos(), CRect(0, -88, 250, -110));
    EXPECT_EQ(pr.t.GetRow(1)->GetPos(), CRect(15, -44, 250, -66));
}

TEST(RowPages, RowTallerThanThePageStaysOnTheFirstPage) {
    // Under title and heading (44) the printable height 110 leaves 66; the
    // stub is 250, so each 30-byte word (240) of the first row takes a line:
    // 6 * 16 + 6 = 102. No row is on page 0 yet, so the row stays there, cut
    // at the page's foot (110), and the next row starts page 1; the same
    // with captions kept with their rows.
    std::string tall;
    for (int i = 0; i < 6; ++i) tall += (i ? " " : "") + Word(30);
    Printed pr(FlatTableText({"c"}, {tall, "r"}, "T"), 1000, 110);
    EXPECT_EQ(pr.t.GetNumPages(), 2);
    EXPECT_EQ(Pages(pr.t.GetRow(0)), Ints{0}); EXPECT_EQ(Pages(pr.t.GetRow(1)), Ints{1});
    EXPECT_EQ(pr.t.GetRow(0)->GetPos(), CRect(0, -44, 250, -110));
    EXPECT_EQ(pr.t.GetRow(1)->GetPos().top, -44);
    CPrintOptions keep;
    keep.bKeepWithNext = 1;
    pr.t.SetPrintOptions(keep);
    pr.Print(1000, 110);
    EXPECT_EQ(pr.t.GetNumPages(), 2);
    EXPECT_EQ(pr.t.GetRow(0)->GetPos(), CRect(0, -44, 250, -110));
}

TEST(PrintedHeading, LevelsComeFromTheWidthsOnThePageAndTheBandHoldsTheStubHead) {
    // "Total" beside "Sex" over "Male" and "Female", under a title, in
    // columns of 750 / 3 = 250 beside a stub of 250: every caption takes one line, so "Sex" sits right under the title
    // and the rows start under two levels of 22, whatever the screen pass on
    // this surface measured.
    Printed sex(FlatTableText({"Total", "[Sex", "Male", "Female", "]"}, {"r"}, "T"), 1000, 1000);
    const CTable& t = sex.t;
    const std::pair<const CTblOb*, CRect> boxes[] = {
        {t.GetColumnRoot()->GetChild(1), CRect(500, -22, 1000, -44)}, {t.GetColumn(1), CRect(500, -44, 750, -66)},
        {t.GetColumn(0), CRect(250, -22, 500, -66)}, {t.GetStubHead(), CRect(0, -22, 250, -66)},
        {t.GetRow(0), CRect(0, -66, 250, -88)}};
    for (const auto& b : boxes) EXPECT_EQ(b.first->GetPos(), b.second) << b.first->GetText().c_str();
    // A stub head of three lines (54) over a heading of two (44): the band is
    // 54, the spanner's columns taking the difference, and the rows start
    // below both.
    const std::string head = Word(24, 'a') + " " + Word(24, 'b') + " " + Word(24, 'c');
    Printed tall(FlatTableText({"[Group", "a", "b", "]", "c"}, {"r"}, "T", head), 1000, 1000);
    const CTable& u = tall.t;
    EXPECT_EQ(u.GetStubHead()->GetPos(), CRect(0, -22, 250, -76));
    EXPECT_EQ(u.GetColumnRoot()->GetChild(0)->GetPos().bottom, -44);
    EXPECT_EQ(u.GetColumn(0)->GetPos().bottom, -76); EXPECT_EQ(u.GetColumn(2)->GetPos().top, -22);
    EXPECT_EQ(u.GetRow(0)->GetPos(), CRect(0, -76, 250, -98)); EXPECT_EQ(u.ColSize().cy, -54);
}

// Every column, spanner and copy of one lies between the stub and the
// printable width.
void ExpectColumnsInside(const CTable& t, int nWidth) {
    auto walk = [&](const CRowColOb* p, auto& self) -> void {
        for (int i = 0; i < p->GetNumChildren(); ++i) {
            const CRowColOb* c = p->GetChildAt(i);
            EXPECT_GE(c->GetPos().left, t.RowSize().cx) << c->GetText().c_str();
            EXPECT_LE(c->GetPos().right, nWidth) << c->GetText().c_str();
            self(c, self);
        }
    };
    walk(t.GetColumnRoot(), walk);
}

TEST(ColumnPages, ColumnsWidenedByASpannerStayInsideThePrintableWidth) {
    // No font, W = 500: five 12-byte columns (102) beside a stub of 14, 4 a
    // page: pages of 3 and 2 columns, 162 and 243 wide. A spanner over the
    // first two whose 49-byte word needs 398 widens them to 199 each, still
    // narrower than the 243 of page 1, but page 0 would need 560 of 486. The
    // pass is repeated with 486 / 199 = 2 columns a page: 2, 2 and 1.
    Printed pr(FlatTableText({"[" + Word(49, 'g'), Word(12), Word(12), "]", Word(12), Word(12), Word(12)}, {"r"}),
               500, 1000);
    EXPECT_EQ(ColumnPages(pr.t), (std::vector<Ints>{Ints(2, 243), Ints(2, 243), Ints{486}}));
    ExpectColumnsInside(pr.t, 500);
}

TEST(StubWidth, AStubWiderThanThePageTakesHalfOfItAndItsLabelsWrap) {
    // A stub head of one 100-byte word (806) on paper 500 wide: the stub
    // takes half, 250, and the two data columns share the other half; the
    // word is broken into lines of 30, 30, 30 and 10 bytes (70 high, and so
    // the band), and a 95-letter row label into lines of 30 inside the stub.
    Printed pr(FlatTableText({"a", "b"}, {Word(95, 'r')}, "", Word(100, 'h')), 500, 1000);
    const CTable& t = pr.t;
    EXPECT_EQ(t.GetStubHead()->GetPos(), CRect(0, -22, 250, -92));
    EXPECT_EQ(t.GetColumn(0)->GetPos(), CRect(250, -22, 375, -92));
    EXPECT_EQ(t.GetColumn(1)->GetPos(), CRect(375, -22, 500, -92));
    EXPECT_EQ(t.GetRow(0)->GetPos(), CRect(0, -92, 250, -162));
    ExpectColumnsInside(t, 500);
    // Drawn, every text lies in its box: the label as four lines of the stub.
    CRecordingDC page(MM_TWIPS);
    pr.p->table.Draw(&page, CRect(0, 0, 500, -1000), 0);
    int nLabels = 0;
    for (const CDCCall& c : page.GetCalls()) {
        if (c.kind != CDCCall::DrawText || c.text != Word(95, 'r').c_str()) continue;
        ++nLabels;
        EXPECT_EQ(c.rect, CRect(3, -95, 247, -159));
    }
    EXPECT_EQ(nLabels, 1);
}

// --- Spanners on printed pages, and the way back to the screen ------------------------

// As above on one tall page, with a spanner "Group" over columns 3 to 6:
// columns 3, 4 fall on page 0, columns 5, 6 on page 1.
struct PrintedSpanner : ::testing::Test, Printed {
    PrintedSpanner() : Printed(FlatTableText(GroupColumns(), {"r"}), 0, 0) {
        for (int c = 0; c < 10; ++c) columns.push_back(t.GetColumn(c));
        group = t.GetColumnRoot()->GetChild(3);
    }
    static Strings GroupColumns() {
        Strings cols(10, Word(12));
        cols.insert(cols.begin() + 7, "]");
        cols.insert(cols.begin() + 3, "[Group");
        return cols;
    }
    Cols columns;
    CTblColumn* group = nullptr;
};

TEST_F(PrintedSpanner, SpannerIsRepeatedOverItsColumnsOnTheNextPage) {
    Print(1000, 1000);
    ASSERT_EQ(t.GetColumnRoot()->GetNumChildren(), 8);
    const CTblColumn* copy = t.GetColumnRoot()->GetChild(4);
    EXPECT_EQ(copy->GetText(), "Group"); EXPECT_EQ(Children(group), (Cols{columns[3], columns[4]}));
    EXPECT_EQ(Children(copy), (Cols{columns[5], columns[6]})); EXPECT_EQ(Pages(copy), Ints{1});
    for (int c = 0; c < 10; ++c) EXPECT_EQ(t.GetColumn(c), columns[static_cast<std::size_t>(c)]);
    // Under a title of 22. Every caption takes one line at its width on the
    // page, so both levels are 22 high, whatever the screen pass measured; the
    // spanner sits over its page's columns; data columns reach 22 + 22 + 22 =
    // 66; the stub head is stretched to the heading. Flipped.
    const std::pair<const CTblOb*, CRect> boxes[] = {
        {group, CRect(14 + 3 * 197, -22, 14 + 5 * 197, -44)}, {copy, CRect(14, -22, 14 + 2 * 197, -44)},
        {columns[5], CRect(14, -44, 211, -66)},               {columns[0], CRect(14, -22, 211, -66)},
        {t.GetStubHead(), CRect(0, -22, 14, -66)}};
    for (const auto& b : boxes) EXPECT_EQ(b.first->GetPos(), b.second);
    ExpectAllFlipped(t);
}

TEST_F(PrintedSpanner, ScreenLayoutComesBackAfterPrintingAndPrintingAgainGivesTheSamePages) {
    CRecordingDC screen;
    t.LayoutTable(CRect(0, 0, 800, 600), &screen);
    const std::vector<CRect> screenBoxes = AllBoxes(t);
    const CSize screenSize = t.Size();
    t.BackupClient(1), Print(1000, 1000);
    const std::vector<CRect> printed = AllBoxes(t);
    t.RestoreClient(1);
    EXPECT_EQ(Children(group), (Cols{columns[3], columns[4], columns[5], columns[6]}));
    EXPECT_EQ(AllBoxes(t), screenBoxes);  // the copies are gone: the same tree and boxes
    EXPECT_EQ(t.Size(), screenSize);
    t.RestoreClient(0);  // slot 0 brings the printed layout back, the copy of the spanner with it
    EXPECT_EQ(AllBoxes(t), printed);
    EXPECT_EQ(t.GetColumnRoot()->GetChild(4)->IsMultiPage(), 1);
    // A screen layout in between, or none, leaves no copy on the screen and
    // none to pile up: printing again gives the same pages.
    t.LayoutTable(CRect(0, 0, 800, 600), &screen);
    EXPECT_EQ(AllBoxes(t), screenBoxes);
    CRTFRowArray grid;
    t.LayoutRTF(grid, 0);
    int nGroups = 0;
    for (int i = 0; i < grid[0].GetSize(); ++i) nGroups += grid[0][i] && grid[0][i]->GetText() == "Group";
    EXPECT_EQ(nGroups, 1);
    Print(1000, 1000), Print(1000, 1000);
    EXPECT_EQ(AllBoxes(t), printed);
    // Without a registry the copies are still pruned and the boxes restored.
    Print(1000, 1000), t.SetStyleRegistry(nullptr), t.RestoreClient(1);
    EXPECT_EQ(AllBoxes(t), screenBoxes);
    t.SetStyleRegistry(&p->registry), Print(1000, 1000);
    EXPECT_EQ(AllBoxes(t), printed);
}

TEST(PrinterMetrics, RestoringTheScreenLayoutMeasuresTheScreenMetricsAgain) {
    // Screen font 20 high: margin 4, line 28; printer font 300: 60 and 420.
    Printed pr(FlatTableText({"Urban", "Rural"}, {"One", "Two"}, "Title"), 0, 0, -20, 300);
    CRecordingDC screen;
    pr.t.LayoutTable(CRect(0, 0, 800, 600), &screen);
    pr.t.BackupClient(1), pr.Print(11520, 15120);
    EXPECT_EQ(g_nLineHeight, 420);
    pr.t.RestoreClient(1);
    EXPECT_EQ(g_nMargin, 4); EXPECT_EQ(g_nLineHeight, 28);
}

// --- The repeated pass, and tables that leave nothing to divide by -----------------------

TEST(RepeatedPass, SpannerWiderThanItsPageColumnsRepaginates) {
    // As the two-by-three table, with a spanner over columns 4 and 5 whose
    // caption is one 30-byte word: minimum 240 + 6 = 246. First pass: 5 and 5
    // columns of 197; the spanner on page 0 and its copy on page 1 each widen
    // their one column to 246 > 197. Second pass: the widest minimum is 246,
    // so 986 / 246 = 4 per page, 3 pages of 4, 3, 3 columns: 246, 328, 328
    // wide. The spanner lies on page 1 only: no copy is left.
    Strings cols(10, Word(12));
    cols.insert(cols.begin() + 6, "]");
    cols.insert(cols.begin() + 4, "[" + Word(30, 'g'));
    int nBegin = 0, nEnd = 0;
    SetWaitCursorHooks([&] { ++nBegin; }, [&] { ++nEnd; });
    Printed pr(FlatTableText(cols, {"r"}), 1000, 1000);
    SetWaitCursorHooks(nullptr, nullptr);
    EXPECT_EQ(nBegin, nEnd); EXPECT_EQ(g_bRepaginating, 0);
    EXPECT_EQ(ColumnPages(pr.t), (std::vector<Ints>{Ints(4, 246), Ints(3, 328), Ints(3, 328)}));
    EXPECT_EQ(pr.t.GetColumnRoot()->GetNumChildren(), 9);
    EXPECT_EQ(pr.t.GetColumnRoot()->GetChild(4)->GetPos().Width(), 656);
}

TEST(NothingToDivide, ColumnWiderThanThePageOrNeedingNoWidthOrNoColumnsAtAll) {
    // A spanner over column 0 alone with a 70-byte word: minimum 566. At
    // W = 500 the stub is 125 and 375 remains. The spanner asks for no more
    // than 375: the first pass widens column 0 to 375, which no longer fits
    // beside b and c, so the second pass has 375 / 375 = 1 column per page.
    // Each column gets a page of its own, 375 wide, at the stub's edge, and
    // the spanner's word is broken over two lines (46 and 24 bytes): 38 high.
    Printed wide(FlatTableText({"[" + Word(70, 'g'), "a", "]", "b", "c"}, {"r"}), 500, 1000);
    EXPECT_EQ(ColumnPages(wide.t), (std::vector<Ints>{{375}, {375}, {375}}));
    for (int c = 0; c < 3; ++c) EXPECT_EQ(wide.t.GetColumn(c)->GetPos().left, 125);
    EXPECT_EQ(wide.t.GetColumnRoot()->GetChild(0)->GetPos(), CRect(125, -22, 500, -60));  // under an empty title
    // Twips font 4: margin 0. Empty captions and no rows need no width at
    // all, and a printable width of 1 leaves every column 0 wide, on one page.
    Printed empty(FlatTableText({"", "", ""}, {}), 1, 1000, 16, 4);
    EXPECT_EQ(g_nMargin, 0); EXPECT_EQ(ColumnPages(empty.t), (std::vector<Ints>{{0, 0, 0}}));
    // No data columns: title 22, no heading, rows of 22 from 22 on; the
    // printable height 88 holds rows ending at 44, 66, 88: four rows take two
    // pages, both of the one column page.
    Printed none(FlatTableText({}, {"a", "b", "c", "d"}, "T"), 1000, 88);
    EXPECT_EQ(none.t.GetNumHorzPages(), 1); EXPECT_EQ(Pages(none.t.GetRow(3)), Ints{1});
    EXPECT_EQ(Pages(none.t.GetColumnRoot()), (Ints{0, 1}));
}
