// Printer layout options for publication: captions kept with their rows, a
// group's last row kept company, captions repeated on continuation pages.
//
// No font: a byte is 8 wide and a line 16 high, margin 3, line height 22.
// Printed 1000 wide, the stub is a quarter, 250; a row is indented 15 per
// level. Title and heading take 44, so a page of height 44 + 22 k holds k
// one-line rows.
#include <gtest/gtest.h>

#include "layout_test_support.h"

using namespace kavo;
using namespace layout_test;
using Ints = std::vector<int>;

namespace {

// Table text of one data column and a row tree written as "G(a,b),c": a
// name followed by parentheses is a caption over the rows inside them.
std::string TreeText(const std::string& tree) {
    std::string body;
    int nRows = 0;
    std::string name;
    auto flush = [&](bool bGroup) {
        if (name.empty()) return;
        body += bGroup ? "\n[RowGroup]\nText=" + name + "\n" : "\n[Row]\nText=" + name + "\nData=0\n";
        nRows += bGroup ? 0 : 1;
        name.clear();
    };
    for (char ch : tree) {
        if (ch == '(')
            flush(true);
        else if (ch == ')')
            flush(false), body += "[EndGroup]\n";
        else if (ch == ',')
            flush(false);
        else
            name += ch;
    }
    flush(false);
    return "[Table]\nSize=" + std::to_string(nRows) + ", 1\n[Title]\nText=T\n[Column]\nText=c\n" + body;
}

struct Printed {
    Printed(const std::string& tree, int nRowsPerPage, const CPrintOptions& o) : p(LoadTable(TreeText(tree))) {
        EXPECT_EQ(p->result, 1);
        t.SetPrintOptions(o);
        t.LayoutPrinter(CRect(0, 0, 1000, -(44 + 22 * nRowsPerPage)), &twips);
    }
    // The rows of the tree in pre-order as "text@row page".
    std::string RowPages() const {
        std::string s;
        auto walk = [&](const CRowColOb* n, auto& self) -> void {
            for (int i = 0; i < n->GetNumChildren(); ++i) {
                const CRowColOb* c = n->GetChildAt(i);
                s += (s.empty() ? "" : " ") + c->GetText().str() + "@" + std::to_string(c->GetPage(0));
                self(c, self);
            }
        };
        walk(t.GetRowRoot(), walk);
        return s;
    }
    CRecordingDC twips{MM_TWIPS};
    std::unique_ptr<LoadedTable> p;
    CTable& t = p->table;
};

CPrintOptions Options(int bKeep, int bContinued) {
    CPrintOptions o;
    o.bKeepWithNext = bKeep, o.bContinuedCaptions = bContinued;
    return o;
}

}  // namespace

TEST(KeepWithNext, CaptionsGoToTheNextPageWithTheirFirstRows) {
    // tree, rows a page holds, pages without and with the option.
    const struct {
        const char* tree;
        int nRows;
        const char* plain;
        const char* kept;
    } cases[] = {
        // G2 would end page 0; it takes its first two rows along.
        {"G1(a),G2(b,c)", 3, "G1@0 a@0 G2@0 b@1 c@1", "G1@0 a@0 G2@1 b@1 c@1"},
        // A caption with one row takes that row.
        {"G1(a,b),G2(c)", 4, "G1@0 a@0 b@0 G2@0 c@1", "G1@0 a@0 b@0 G2@1 c@1"},
        // Nested captions go together with the first two rows below them.
        {"x,y,A(B(a,b))", 4, "x@0 y@0 A@0 B@0 a@1 b@1", "x@0 y@0 A@1 B@1 a@1 b@1"},
        // A group's last row would start a page alone: the row before it goes along.
        {"G(a,b,c,d)", 4, "G@0 a@0 b@0 c@0 d@1", "G@0 a@0 b@0 c@1 d@1"},
        // ... unless the caption needs that row: then the last row stays alone.
        {"G(a,b,c)", 3, "G@0 a@0 b@0 c@1", "G@0 a@0 b@0 c@1"},
        // Rows outside any group are not a group.
        {"a,b,c,d", 3, "a@0 b@0 c@0 d@1", "a@0 b@0 c@0 d@1"},
        // A caption whose rows cannot share a page with it stays first on its
        // page; a row that would leave one row alone on its page stays.
        {"G(a,b,c,d)", 2, "G@0 a@0 b@1 c@1 d@2", "G@0 a@0 b@1 c@1 d@2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Printed(c.tree, c.nRows, CPrintOptions()).RowPages(), c.plain) << c.tree;
        Printed kept(c.tree, c.nRows, Options(1, 0));
        EXPECT_EQ(kept.RowPages(), c.kept) << c.tree;
        EXPECT_EQ(kept.t.GetNumContinuedCaptions(), 0);
    }
    // Positions restart under the heading on every page, indented by level.
    Printed kept("x,y,A(B(a,b))", 4, Options(1, 0));
    const CTblRow* a = kept.t.GetRowRoot()->GetChild(2);
    EXPECT_EQ(a->GetPos(), CRect(0, -44, 250, -66));
    EXPECT_EQ(a->GetChild(0)->GetChild(1)->GetPos(), CRect(30, -110, 250, -132));
    EXPECT_EQ(Pages(a), (Ints{1})); EXPECT_EQ(kept.t.GetNumPages(), 2);
}

TEST(ContinuedCaptions, PagesStartingInsideGroupsRepeatTheirCaptions) {
    CPrintOptions o = Options(0, 1);
    o.strContinued = " (cont.)";
    // Page 0: A B a b. Page 1 continues A and B: their captions, then c,
    // C. Page 2 continues A only (C starts inside it on page 1): d.
    Printed pr("A(B(a,b,c),C(d))", 4, o);
    EXPECT_EQ(pr.RowPages(), "A@0 B@0 a@0 b@0 c@1 C@1 d@2");
    const CTable& t = pr.t;
    ASSERT_EQ(t.GetNumContinuedCaptions(), 3);
    const std::tuple<std::string, CRect, Ints> expected[] = {
        {"A (cont.)", CRect(0, -44, 250, -66), {1, 2}},
        {"B (cont.)", CRect(15, -66, 250, -88), {1}},
        {"C (cont.)", CRect(15, -66, 250, -88), {2}},
    };
    for (int i = 0; i < 3; ++i) {
        const CTblRow* c = t.GetContinuedCaption(i);
        EXPECT_EQ(c->GetText().str(), std::get<0>(expected[i]));
        EXPECT_EQ(c->GetPos(), std::get<1>(expected[i])) << i;
        EXPECT_EQ(Pages(c), std::get<2>(expected[i])) << i;
        EXPECT_EQ(c->GetBorder(), CRect(c->Left(), c->Top(), 250 + 750, c->Bottom()));
    }
    EXPECT_EQ(t.GetContinuedCaption(0)->GetStyle(), t.GetRowRoot()->GetChild(0)->GetStyle());
    // The rows of page 1 start under the repeated captions.
    EXPECT_EQ(t.GetRow(2)->GetPos(), CRect(30, -88, 250, -110));
    EXPECT_EQ(t.GetRow(3)->GetPos(), CRect(30, -88, 250, -110));

    // Drawn on the pages they repeat on, in the caption's place.
    auto drawn = [&](int nPage) {
        CRecordingDC dc(MM_TWIPS);
        pr.t.Draw(&dc, CRect(0, 0, 1000, -132), nPage);
        std::vector<std::string> texts;
        for (const CDCCall& c : dc.GetCalls())
            if (c.kind == CDCCall::DrawText && c.text.str().find("(cont.)") != std::string::npos)
                texts.push_back(c.text.str());
        return texts;
    };
    EXPECT_TRUE(drawn(0).empty());
    EXPECT_EQ(drawn(1), (std::vector<std::string>{"A (cont.)", "B (cont.)"}));
    EXPECT_EQ(drawn(2), (std::vector<std::string>{"A (cont.)", "C (cont.)"}));
    // They belong to the printer layout: not there with the screen layout.
    pr.t.BackupClient(1);
    pr.t.RestoreClient(1);
    EXPECT_EQ(pr.t.GetNumContinuedCaptions(), 0); EXPECT_TRUE(drawn(1).empty());
    pr.t.RestoreClient(0);
    EXPECT_EQ(pr.t.GetNumContinuedCaptions(), 3);
    CRecordingDC screen;
    pr.t.LayoutTable(CRect(0, 0, 800, 600), &screen);
    EXPECT_EQ(pr.t.GetNumContinuedCaptions(), 0);
}

TEST(ContinuedCaptions, RepeatedCaptionsTakeTheirRoomAndWrapWithTheSuffix) {
    // Keep with next and continued captions together. A's caption is 28
    // bytes (224): with " (continued)" it wraps onto two lines, 38 high.
    // Page 0: A a b; c would leave d alone at the top of page 1, so c goes
    // along. Page 1: A's two lines (44 to 82), then c and d.
    const std::string a = Word(28, 'A');
    Printed pr(a + "(a,b,c,d)", 4, Options(1, 1));
    EXPECT_EQ(pr.RowPages(), a + "@0 a@0 b@0 c@1 d@1");
    ASSERT_EQ(pr.t.GetNumContinuedCaptions(), 1);
    EXPECT_EQ(pr.t.GetContinuedCaption(0)->GetText().str(), a + " (continued)");
    EXPECT_EQ(pr.t.GetContinuedCaption(0)->GetPos(), CRect(0, -44, 250, -82));
    EXPECT_EQ(pr.t.GetRow(2)->GetPos(), CRect(15, -82, 250, -104));
    // Repeated captions that would leave a page no room for its first row
    // are left out: a page of one row holds rows only.
    Printed tight("A(a,b,c)", 1, Options(1, 1));
    EXPECT_EQ(tight.RowPages(), "A@0 a@1 b@2 c@3");
    EXPECT_EQ(tight.t.GetNumContinuedCaptions(), 0);
}

// --- Widths from content ---------------------------------------------------------

namespace {

// A flat table printed with widths from content and the given changes.
struct Widths {
    Widths(const Strings& cols, const Strings& rows, int nWidth, void (*change)(CPrintOptions&) = nullptr,
           int nFont = 0, const std::string& head = "")
        : p(LoadTable(FlatTableText(cols, rows, "", head), nFont, nFont)) {
        CPrintOptions o;
        o.bWidthsFromContent = 1;
        if (change) change(o);
        t.SetPrintOptions(o);
        t.LayoutPrinter(CRect(0, 0, nWidth, -10000), &twips);
    }
    // Column page and width of every data column, and the stub width.
    std::vector<std::pair<int, int>> Columns() const {
        std::vector<std::pair<int, int>> v;
        for (int c = 0; c < t.GetNumDataColumns(); ++c) v.emplace_back(t.GetColumn(c)->GetPage(0), t.GetColumn(c)->Width());
        return v;
    }
    int Stub() const { return t.GetRow(0)->Width(); }
    CRecordingDC twips{MM_TWIPS};
    std::unique_ptr<LoadedTable> p;
    CTable& t = p->table;
};
using ColPages = std::vector<std::pair<int, int>>;

// Four words of 25 bytes.
std::string Long() { return Word(25) + " " + Word(25) + " " + Word(25) + " " + Word(25); }

}  // namespace

TEST(WidthsFromContent, ColumnsAsWideAsTheirTextStubAsItsLabelsLeftoverSpread) {
    // Captions of 20, 10 and 5 bytes need 166, 86 and 46; the label of 30
    // bytes 246. 246 + 298 fit 1000: the stub keeps its labels on one line
    // and the 456 left over goes to the columns, 152 each.
    const Strings cols = {Word(20), Word(10), Word(5)};
    Widths spread(cols, {Word(30)}, 1000);
    EXPECT_EQ(spread.Stub(), 246);
    EXPECT_EQ(spread.Columns(), (ColPages{{0, 318}, {0, 238}, {0, 198}}));
    EXPECT_EQ(spread.t.GetColumn(2)->GetPos().left, 246 + 318 + 238);
    Widths space(cols, {Word(30)}, 1000, [](CPrintOptions& o) { o.bSpreadLeftover = 0; });
    EXPECT_EQ(space.Columns(), (ColPages{{0, 166}, {0, 86}, {0, 46}}));
    // A label of 103 bytes (830) and those columns do not fit: the stub takes
    // what the columns leave, 702, and the label wraps onto two lines.
    Widths wrapped(cols, {Long()}, 1000);
    EXPECT_EQ(wrapped.Stub(), 702); EXPECT_EQ(-wrapped.t.GetRow(0)->Height(), 38);
    // Columns of 294 do not fit beside it either: the stub stops at 40% (400)
    // or the limit asked for, and the columns go on as many pages as needed.
    const Strings wide(3, Word(36));
    Widths limited(wide, {Long()}, 1000);
    EXPECT_EQ(limited.Stub(), 400);
    EXPECT_EQ(limited.Columns(), (ColPages{{0, 300}, {0, 300}, {1, 600}}));
    Widths quarter(wide, {Long()}, 1000, [](CPrintOptions& o) { o.nStubLimitPercent = 25; });
    EXPECT_EQ(quarter.Stub(), 250);
    EXPECT_EQ(quarter.Columns(), (ColPages{{0, 375}, {0, 375}, {1, 750}}));
    // A stub head of one word of 150 bytes (1206) keeps to the same limit and
    // is broken there: the columns keep their widths beside it.
    Widths head(wide, {"r"}, 1000, nullptr, 0, Word(150));
    EXPECT_EQ(head.Stub(), 400); EXPECT_EQ(head.t.GetStubHead()->Width(), 400);
    EXPECT_EQ(head.Columns(), limited.Columns());
    // A spanner's longest word (40 bytes, 326) widens its two columns of 94
    // by 69 each.
    Widths spanner({"[" + Word(40), Word(11), Word(11), "]"}, {"r"}, 1000, [](CPrintOptions& o) { o.bSpreadLeftover = 0; });
    EXPECT_EQ(spanner.Columns(), (ColPages{{0, 163}, {0, 163}}));
    EXPECT_EQ(spanner.t.GetColumnRoot()->GetChild(0)->Width(), 326);
}

TEST(WidthsFromContent, ColumnPagesAreCutBetweenSpannersThatFitAPage) {
    // Columns of 94; 300 wide, the stub 14: 286 take three columns.
    auto noSpread = [](CPrintOptions& o) { o.bSpreadLeftover = 0; };
    const Strings cols = {Word(11), Word(11), "[S", Word(11), Word(11), Word(11), "]"};
    // S (282) fits a page: the first page ends before it.
    EXPECT_EQ(Widths(cols, {"r"}, 300, noSpread).Columns(), (ColPages{{0, 94}, {0, 94}, {1, 94}, {1, 94}, {1, 94}}));
    EXPECT_EQ(Widths(cols, {"r"}, 300, [](CPrintOptions& o) { o.bSpreadLeftover = 0, o.bCutAtSpanners = 0; }).Columns(),
              (ColPages{{0, 94}, {0, 94}, {0, 94}, {1, 94}, {1, 94}}));
    // Spread: 98 left on page 0, 4 on page 1 (the first column takes the remainder).
    EXPECT_EQ(Widths(cols, {"r"}, 300).Columns(), (ColPages{{0, 143}, {0, 143}, {1, 96}, {1, 95}, {1, 95}}));
    // A spanner wider than a page is split where the page is full, but not
    // inside a spanner below it that fits: T (two columns) goes whole.
    const Strings nested = {"[S", Word(11), Word(11), "[T", Word(11), Word(11), "]", Word(11), "]"};
    EXPECT_EQ(Widths(nested, {"r"}, 300, noSpread).Columns(),
              (ColPages{{0, 94}, {0, 94}, {1, 94}, {1, 94}, {1, 94}}));
}

TEST(WidthsFromContent, TypeShrinksToFitOnePageWithinTheLimit) {
    // Twips font 100: a byte 50, margin 20. Three captions of 4 bytes and a
    // label of 4 need 240 each: 960 on a page of 900. At 93% a byte is 46,
    // the margin 18, each 220: 880 fits, and the 20 left are spread.
    auto shrink = [](CPrintOptions& o) { o.nMaxShrinkPercent = 30; };
    Widths fit(Strings(3, Word(4)), {Word(4)}, 900, shrink, 100);
    EXPECT_EQ(fit.t.GetNumHorzPages(), 1); EXPECT_EQ(fit.Stub(), 220);
    EXPECT_EQ(fit.Columns(), (ColPages{{0, 227}, {0, 227}, {0, 226}})); EXPECT_EQ(g_nLineHeight, 93 + 36);
    // Pages are drawn in the smaller type.
    CRecordingDC dc(MM_TWIPS);
    fit.t.Draw(&dc, CRect(0, 0, 900, -10000), 0);
    int nSmall = 0;
    for (const CDCCall& c : dc.GetCalls()) nSmall += c.kind == CDCCall::SelectFont && c.font.lfHeight == 93;
    EXPECT_GT(nSmall, 0);
    // Without shrinking, or when even 70% would not fit (600), the type
    // keeps its size and the columns go on further pages.
    Widths kept(Strings(3, Word(4)), {Word(4)}, 900, nullptr, 100);
    EXPECT_EQ(kept.t.GetNumHorzPages(), 2);
    Widths tooWide(Strings(3, Word(4)), {Word(4)}, 600, shrink, 100);
    EXPECT_EQ(tooWide.t.GetNumHorzPages(), 3); EXPECT_EQ(tooWide.Stub(), 240);
}
