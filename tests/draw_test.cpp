// Drawing, checked through the calls that a recording surface receives.
//
// Golden files: tests/data/draw/*.golden hold the recorded calls of a whole
// small table. After a deliberate change of the drawing or the layout,
// regenerate them with KAVOTBL_UPDATE_GOLDEN=1 and review the diff.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "draw_test_support.h"

using namespace kavo;

namespace {

constexpr UINT kTextFlags = DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX;

class TestOb : public CTblOb {
public:
    using CTblOb::CTblOb;
    using CTblOb::Pos;
    using CTblOb::SetBorder;
    void SetTextHeight(int n) { m_nTextHeight = n; }
};

// The kinds of the calls, one letter each, in the order of CDCCall::Kind:
// SaveDC s, RestoreDC r, SelectFont f, SelectPen p, SelectBrush b, SetBkMode m,
// SetBkColor c, SetMapMode x, MoveTo M, LineTo L, Rectangle R, DrawText T,
// ExcludeClipRect X, IntersectClipRect I.
std::string Kinds(const CRecordingDC& dc) {
    static_assert(CDCCall::IntersectClipRect == 13, "one letter for every kind of call");
    std::string out;
    for (const CDCCall& c : dc.GetCalls()) out += "srfpbmcxMLRTXI"[c.kind];
    return out;
}

bool HasLine(const CRecordingDC& dc, CPoint from, CPoint to) {
    for (const CDCCall& c : CallsOf(dc, CDCCall::LineTo))
        if (c.from == from && c.to == to) return true;
    return false;
}

// The margin and the drawing-pass values that the single-element tests
// assume; the table tests set their own through layout and drawing.
class DrawGlobals : public ::testing::Test {
protected:
    void SetUp() override {
        g_nMargin = 3;
        g_nTitleHeight = g_nHeadingHeight = g_nStubWidth = 0;
        g_nDrawRight = g_nDrawBottom = 100000;
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// One element

class ElementDraw : public DrawGlobals {
protected:
    ElementDraw() : ob("Hello", &style) {
        style.m_nHorJust = style.m_nVertJust = 0;
        ob.Pos() = CRect(10, 20, 110, 60);
    }
    CStyle style;
    TestOb ob;
    CRecordingDC dc;
};

TEST_F(ElementDraw, CallsComeInOrderAndTextSitsInsideTheMargin) {
    style.m_logFont = MakeFont("Serif", 20);
    style.m_lineLeft = style.m_lineTop = style.m_lineRight = style.m_lineBottom = LINE_SINGLE;
    style.m_borderTop = LINE_SINGLE;
    ob.SetBorder(CRect(10, 20, 300, 60));
    ob.Draw(&dc, -1);

    // Borders (only the top drawn), state, rules, text, state again.
    EXPECT_EQ(Kinds(dc), "MMLMM" "smf" "MLMLMLML" "Tfr");
    const CDCCall text = CallsOf(dc, CDCCall::DrawText)[0];
    EXPECT_EQ(text.rect, CRect(13, 23, 107, 57));  // the box less the margin of 3
    EXPECT_TRUE(text.format == kTextFlags && text.font.lfHeight == 20);
    EXPECT_EQ(CallsOf(dc, CDCCall::SetBkMode)[0].value, TRANSPARENT);
    // The previous (absent) font is selected again and the state restored.
    EXPECT_TRUE(dc.GetCurrentLogFont() == nullptr && dc.GetBkMode() == OPAQUE);
}

TEST_F(ElementDraw, AnElementWithoutTextOrNotOnThePageDrawsNothingAtAll) {
    // Rules, borders and shading are all set, so a stray call would show.
    style.m_lineLeft = style.m_borderLeft = LINE_SINGLE;
    ob.SetBorder(CRect(10, 20, 300, 60));
    CRectArray rects;
    ob.Block(rects, 1);
    ob.SetText("");
    ob.Draw(&dc, -1);
    // Listed on page 2: drawn on it and on the screen only (whole tables: the end-to-end test).
    ob.SetText("x");
    ob.AddPage(2);
    ob.Draw(&dc, 1);
    ob.Draw(&dc, 3);
    EXPECT_TRUE(dc.GetCalls().empty());
    ob.Draw(&dc, 2);
    EXPECT_EQ(CallsOf(dc, CDCCall::DrawText).size(), 1u);
}

TEST_F(ElementDraw, OnlySingleRulesAndBordersAreDrawnAndBordersStopAtTheDrawnEdges) {
    style.m_lineLeft = style.m_lineBottom = style.m_borderLeft = style.m_borderBottom = LINE_SINGLE;
    style.m_lineTop = LINE_DOUBLE;
    style.m_lineRight = style.m_borderTop = LINE_THICK;
    style.m_borderRight = LINE_NONE;
    ob.DrawBorders(&dc);  // no border rectangle yet
    EXPECT_TRUE(dc.GetCalls().empty());
    ob.SetBorder(CRect(5, 10, 500, 40));
    g_nDrawRight = 300;    // narrower than the border
    g_nDrawBottom = 1000;  // lower than the border
    ob.Draw(&dc, -1);
    std::vector<CPoint> ends;
    for (const CDCCall& c : CallsOf(dc, CDCCall::LineTo)) ends.insert(ends.end(), {c.from, c.to});
    EXPECT_EQ(ends, (std::vector<CPoint>{{5, 40}, {5, 10}, {300, 40}, {5, 40},      // left and bottom borders
                                         {10, 60}, {10, 20}, {110, 60}, {10, 60}}));  // left and bottom rules
    // Every corner is still visited, so a later line starts where it should.
    EXPECT_EQ(CallsOf(dc, CDCCall::MoveTo).size(), 8u);
}

TEST_F(ElementDraw, JustificationSetsFlagsAndMovesTheTextRectangle) {
    struct Case { int nMapMode, nHor, nVert, nMargin; CRect pos; int nTextHeight; CRect rect; UINT flags; };
    const Case cases[] = {
        {MM_TEXT, 1, 0, 3, CRect(10, 20, 110, 60), 0, CRect(13, 23, 107, 57), kTextFlags | DT_CENTER},
        {MM_TEXT, 2, 0, 3, CRect(10, 20, 110, 60), 0, CRect(13, 23, 107, 57), kTextFlags | DT_RIGHT},
        // Top 100 + (130 - 10 - 100) / 2 = 110.
        {MM_TEXT, 0, 1, 0, CRect(0, 100, 80, 130), 10, CRect(0, 110, 80, 130), kTextFlags},
        // Inset bottom 57, so the text starts 16 above it.
        {MM_TEXT, 0, 2, 3, CRect(10, 20, 110, 60), 16, CRect(13, 41, 107, 57), kTextFlags},
        // Inset -103 to -128; -103 + (-128 + 10 + 103) / 2 = -103 + (-15 / 2) = -110.
        {MM_TWIPS, 0, 1, 3, CRect(10, -100, 110, -131), -10, CRect(13, -110, 107, -128), kTextFlags},
    };
    for (const Case& c : cases) {
        CRecordingDC surface(c.nMapMode);
        g_nMargin = c.nMargin;
        style.m_nHorJust = c.nHor;
        style.m_nVertJust = c.nVert;
        ob.Pos() = c.pos;
        ob.SetTextHeight(c.nTextHeight);
        ob.Draw(&surface, -1);
        const std::vector<CDCCall> texts = CallsOf(surface, CDCCall::DrawText);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_TRUE(texts[0].rect == c.rect && texts[0].format == c.flags) << c.nHor << "/" << c.nVert;
    }
}

TEST_F(ElementDraw, TextThatDoesNotFitIsCutAtItsBoxWithAnEllipsisAndClippedToIt) {
    // Inside the margins 94 wide (11 bytes a line) and 34 high (two lines):
    // "alpha beta", "gamma delta", "epsilon", "zeta". The second line shown
    // ends in an ellipsis; text justified to the bottom, 64 high, still
    // starts at the box's top.
    ob.SetText("alpha beta gamma delta epsilon zeta");
    style.m_nVertJust = 2;
    ob.SetTextHeight(64);
    ob.Draw(&dc, -1);
    std::vector<CDCCall> texts = CallsOf(dc, CDCCall::DrawText);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "alpha beta\ngamma de..."); EXPECT_EQ(texts[0].rect, CRect(13, 23, 107, 57));
    EXPECT_TRUE(CallsOf(dc, CDCCall::IntersectClipRect).empty());  // what is drawn fits
    // A box narrower than a letter: one letter a line, and what is drawn is
    // clipped to the box, inside the element's own saved state.
    dc.ClearCalls();
    ob.SetText("Hello");
    ob.Pos() = CRect(10, 20, 20, 60);
    ob.Draw(&dc, -1);
    EXPECT_EQ(Kinds(dc), "smMMMM" "sITr" "r");
    EXPECT_EQ(CallsOf(dc, CDCCall::IntersectClipRect)[0].rect, CRect(10, 20, 20, 60));
    EXPECT_EQ(CallsOf(dc, CDCCall::DrawText)[0].text, "H\n...");
}

TEST_F(ElementDraw, ABlockedElementIsShadedInsideItsRulesOnTheScreenOnly) {
    CRectArray rects;
    ob.Block(rects, 1);
    ob.SetBlockColor(RGB(200, 10, 20));
    ob.Draw(&dc, -1);

    // Brush, pen and background in the block colour, the fill, the
    // surface's own brush and pen again, and the text over the fill.
    EXPECT_EQ(Kinds(dc), "smMMMM" "bpcRbp" "Tr");
    const auto fill = CallsOf(dc, CDCCall::Rectangle)[0];
    EXPECT_EQ(fill.rect, CRect(11, 21, 110, 60));  // inside the left and top rules
    for (const CDCCall& c : {fill, CallsOf(dc, CDCCall::SelectPen)[0], CallsOf(dc, CDCCall::SetBkColor)[0]})
        EXPECT_EQ(c.color, RGB(200, 10, 20)) << c.kind;
    EXPECT_EQ(CallsOf(dc, CDCCall::SelectPen)[1].value + CallsOf(dc, CDCCall::SelectBrush)[1].value, 0);

    CRecordingDC twips(MM_TWIPS);
    ob.Draw(&twips, -1);
    EXPECT_TRUE(CallsOf(twips, CDCCall::Rectangle).empty() && CallsOf(twips, CDCCall::DrawText).size() == 1);
}

// ---------------------------------------------------------------------------
// Whole tables, laid out by the library

namespace {

const char* const kTableText =
    "[Style]\nLabel=Table\nBorderLeft=Single\nBorderTop=Single\nBorderRight=Single\nBorderBottom=Single\n"
    "[Style]\nLabel=Column\nLineLeft=Single\nLineRight=Single\nBorderLeft=Single\nBorderRight=Single\n"
    "[Style]\nLabel=Row\nHorJust=Left\nBorderTop=Single\nBorderBottom=Single\n"
    "[Table]\nSize=4, 3\nName=Population\n[Title]\nText=Population by area\n[StubHead]\nText=Area\n"
    "[ColumnGroup]\nText=Sex\n[Column]\nText=Male\n[Column]\nText=Female\n[EndGroup]\n[Column]\nText=Total\n"
    "[RowGroup]\nText=North\n[Row]\nText=Town\nData=1200, 800, 2000\n[Row]\nText=Village\nData=5, 6, 11\n"
    "[EndGroup]\n[Row]\nText=South\nData=7, 8, 15\n[Row]\nText=West\nData=0, 3, 3\n";

// Compares recorded calls with tests/data/draw/<name>.golden, or rewrites
// the file when KAVOTBL_UPDATE_GOLDEN=1.
void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(KAVOTBL_TEST_DATA_DIR) + "/draw/" + name + ".golden";
    if (const char* env = std::getenv("KAVOTBL_UPDATE_GOLDEN"); env && std::strcmp(env, "1") == 0) {
        ASSERT_TRUE(std::ofstream(path, std::ios::binary) << actual) << "cannot write " << path;
        GTEST_SKIP() << "rewrote " << path;
    }
    std::stringstream golden;
    golden << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(actual, golden.str()) << "compared with " << path << "; KAVOTBL_UPDATE_GOLDEN=1 rewrites it";
}

const LOGFONT kSerif = MakeFont("Serif", 16);

// Fixture of a table laid out on a silent surface of the given mapping mode.
class LaidOut : public DrawGlobals {
protected:
    LaidOut(const std::string& text, int nMapMode, const CRect& rc)
        : doc(text, &kSerif), dc(nMapMode), m_rc(rc) {}
    // Paper is laid out on the surface that prints it, the screen on one of its own.
    void SetUp() override {
        DrawGlobals::SetUp();
        ASSERT_EQ(doc.loaded, 1);
        dc.SetRecording(false);
        measure.SetRecording(false);
        dc.GetMapMode() == MM_TWIPS ? doc.table.LayoutPrinter(m_rc, &dc)
                                    : doc.table.LayoutTable(m_rc, &measure);
        dc.SetRecording(true);
    }
    CTable& T() { return doc.table; }
    LoadedTable doc;
    CRecordingDC dc, measure;
    CRect m_rc;
};

}  // namespace

class TableDraw : public LaidOut {
protected:
    TableDraw() : LaidOut(kTableText, MM_TEXT, CRect(0, 0, 600, 400)) {}
};

TEST_F(TableDraw, ScreenPassValuesFrameRulesOrderClipExclusionsAndTheGoldenDrawing) {
    T().Draw(&dc, CRect(0, 0, 600, 2000), -1);
    const int titleH = T().GetTitle()->Height(), headH = T().ColSize().cy, stubW = T().StubHeadSize().cx;
    const int drawnH = titleH + headH + T().RowSize().cy;
    // The table ends above the drawing rectangle, which gives the right edge.
    EXPECT_EQ((std::vector<int>{g_nTitleHeight, g_nHeadingHeight, g_nStubWidth, g_nDrawRight, g_nDrawBottom}),
              (std::vector<int>{titleH, headH, T().RowSize().cx, 600, drawnH}));

    std::vector<CPoint> ends;  // the frame rules come first
    for (const CDCCall& c : CallsOf(dc, CDCCall::LineTo)) ends.insert(ends.end(), {c.from, c.to});
    ends.resize(6);
    EXPECT_EQ(ends, (std::vector<CPoint>{{0, titleH}, {600, titleH}, {stubW, titleH}, {stubW, drawnH},
                                         {0, titleH + headH}, {600, titleH + headH}}));

    // A drawing rectangle shorter than the table cuts the rules at its bottom.
    dc.ClearCalls();
    T().Draw(&dc, CRect(0, 0, 300, 90), -1);
    EXPECT_EQ(g_nDrawBottom, 90);
    EXPECT_TRUE(HasLine(dc, {stubW, titleH}, {stubW, 90}));

    // The clip exclusions, and the golden drawing, which holds the order of every call.
    dc.ClearCalls();
    T().Draw(&dc, CRect(0, 0, 600, 400), -1);

    const CSize col = T().ColSize(), row = T().RowSize();
    std::vector<CRect> excl;
    for (const CDCCall& c : CallsOf(dc, CDCCall::ExcludeClipRect)) excl.push_back(c.rect);
    // The stub head corner, the stub, the heading band.
    EXPECT_EQ(excl, (std::vector<CRect>{CRect(0, 0, row.cx + 1, titleH + col.cy + 2),
                                        CRect(0, 0, row.cx + 1, titleH + col.cy + row.cy + 2),
                                        CRect(0, 0, row.cx + col.cx + 1, titleH + col.cy + 2)}));
    ExpectGolden("screen", dc.Dump());
}

TEST_F(TableDraw, ScrolledColumnsAndRowsLoseTheirBordersUnderTheStubAndHeading) {
    // Scroll so that "Female" starts at the stub edge ("Male" lies under the
    // stub) and "Town" starts at the bottom of the heading band.
    const int stub = T().RowSize().cx, band = T().GetTitle()->Height() + T().ColSize().cy;
    T().ScrollBy(stub - T().GetColumn(1)->Left(), band - T().GetRow(0)->Top());
    T().Draw(&dc, CRect(0, 0, 600, 400), -1);

    auto hasLeft = [&](const CRect& b) { return HasLine(dc, {b.left, g_nDrawBottom}, {b.left, b.top}); };
    auto hasRight = [&](const CRect& b) { return HasLine(dc, {b.right, b.top}, {b.right, g_nDrawBottom}); };
    const CRect male = T().GetColumn(0)->GetBorder(), female = T().GetColumn(1)->GetBorder();
    const CRect total = T().GetColumn(2)->GetBorder();
    ASSERT_EQ(female.left, stub);
    EXPECT_EQ((std::vector<bool>{hasLeft(male), hasRight(male), hasLeft(female), hasRight(female),
                                 hasLeft(total)}),
              (std::vector<bool>{false, false, false, true, true}));

    const CRect town = T().GetRow(0)->GetBorder(), village = T().GetRow(1)->GetBorder();
    const int right = std::abs(g_nDrawRight) < std::abs(town.right) ? g_nDrawRight : town.right;
    ASSERT_EQ(town.top, band);
    // Town's top, its bottom, Village's top, and the bottom of the caption
    // above "Town", which is now under the band.
    const CRect north = T().GetRowRoot()->GetChildAt(0)->GetBorder();
    EXPECT_EQ((std::vector<bool>{HasLine(dc, {town.left, town.top}, {right, town.top}),
                                 HasLine(dc, {right, town.bottom}, {town.left, town.bottom}),
                                 HasLine(dc, {village.left, village.top}, {right, village.top}),
                                 HasLine(dc, {right, north.bottom}, {north.left, north.bottom})}),
              (std::vector<bool>{false, true, true, false}));
}

TEST_F(TableDraw, FrameFollowsScrolledRowsAndARowTouchingTheClipBoxIsDrawn) {
    // Rows scrolled up by 10 end 10 higher: so do the stub rule and the foot.
    const int titleH = T().GetTitle()->Height(), stubW = T().StubHeadSize().cx;
    const int foot = titleH + T().ColSize().cy + T().RowSize().cy;
    T().ScrollBy(0, -10);
    T().Draw(&dc, CRect(0, 0, 600, 2000), -1);
    EXPECT_EQ(g_nDrawBottom, foot - 10);
    EXPECT_TRUE(HasLine(dc, {stubW, titleH}, {stubW, foot - 10}));
    // A repaint from a row's bottom edge down still draws that row, whose
    // rule lies on the edge, as a column touching the clip box is drawn.
    const CTblRow* town = T().GetRow(0);
    CRecordingDC window;
    window.SetClipBox(CRect(0, town->Bottom(), 600, 400));
    T().Draw(&window, CRect(0, 0, 600, 400), -1);
    EXPECT_EQ(TextsDrawn(window).count(town->GetText().str()), 1u);
}

// ---------------------------------------------------------------------------
// Printed pages

// With the font 200 twips high: a stub of 500 and data columns of 680 give
// two column pages; 1680 high leaves room for three rows under the heading.
const CRect kPrintable(0, 0, 2000, -1680);

class PageDraw : public LaidOut {
protected:
    PageDraw() : LaidOut(kTableText, MM_TWIPS, kPrintable) {}
};

TEST_F(PageDraw, BottomBorderOnTheLastRowOfPagesPage1IsGoldenAndNoPageOrLayoutDrawsNothing) {
    T().Draw(&dc, kPrintable, T().GetNumPages());
    LoadedTable(kTableText, &kSerif).table.Draw(&dc, CRect(0, 0, 600, 400), -1);
    EXPECT_TRUE(dc.GetCalls().empty());
    ASSERT_GT(T().GetNumHorzPages(), 1);
    ASSERT_GT(T().GetNumPages(), T().GetNumHorzPages());
    const int nLast = T().GetNumPages() - T().GetNumHorzPages();
    for (int page = 0; page < T().GetNumPages(); ++page) {
        dc.ClearCalls();
        T().Draw(&dc, kPrintable, page);
        // The table's borders come right after the pass saves the surface
        // state and draws the six calls of the frame rules, and before the
        // stub head saves the state again.
        const std::string kinds = Kinds(dc).substr(1);
        const std::string borders = kinds.substr(6, kinds.find('s') - 6);
        EXPECT_EQ(borders, page >= nLast ? "MLMLMLML" : "MLMLML") << "page " << page;
        if (page == 1) ExpectGolden("page1", dc.Dump());
    }
}

TEST(EmptyPageDraw, TableWithoutDataRowsPrintsItsTitleHeadingAndStubHead) {
    LoadedTable doc("[Table]\nSize=0, 2\n[Title]\nText=Title\n[StubHead]\nText=Stub\n[ColumnGroup]\nText=Sex\n"
                    "[Column]\nText=Male\n[Column]\nText=Female\n[EndGroup]\n",
                    &kSerif);
    CRecordingDC dc(MM_TWIPS);
    doc.table.LayoutPrinter(kPrintable, &dc);
    ASSERT_EQ(doc.table.GetNumPages(), 1);
    dc.ClearCalls();
    doc.table.Draw(&dc, kPrintable, 0);
    EXPECT_EQ(TextsDrawn(dc), (std::multiset<std::string>{"Title", "Stub", "Sex", "Male", "Female"}));
    // The frame's stub rule reaches the heading band's foot.
    const int band = doc.table.GetTitle()->Height() + doc.table.ColSize().cy;
    EXPECT_TRUE(HasLine(dc, {doc.table.StubHeadSize().cx, doc.table.GetTitle()->Height()},
                        {doc.table.StubHeadSize().cx, band}));
}

// ---------------------------------------------------------------------------
// Drawing a window of a large table

namespace {

// 60 data rows of 12 columns under 6 row groups.
std::string GridText() {
    std::string t = "[Table]\nSize=60, 12\n[StubHead]\nText=Stub\n";
    for (int c = 0; c < 12; ++c) t += "[Column]\nText=C" + std::to_string(c) + "\n";
    for (int r = 0; r < 60; ++r) {
        if (r % 10 == 0)
            t += std::string(r ? "[EndGroup]\n" : "") + "[RowGroup]\nText=G" + std::to_string(r / 10) + "\n";
        t += "[Row]\nText=R" + std::to_string(r) + "\nData=";
        for (int c = 0; c < 12; ++c) t += (c ? ", " : "") + std::to_string(r * 100 + c + 1);
        t += "\n";
    }
    return t + "[EndGroup]\n";
}

}  // namespace

class WindowDraw : public LaidOut {
protected:
    WindowDraw() : LaidOut(GridText(), MM_TEXT, CRect(0, 0, 400, 300)) {}
};

TEST_F(WindowDraw, OnlyWhatMeetsTheClipBoxIsDrawnWhereverTheTableIsScrolled) {
    const CRect clip(130, 60, 330, 250);
    // Rows by their vertical extent, columns by their horizontal one, cells by both.
    auto vert = [&](const CRect& b) { return b.top < clip.bottom && b.bottom > clip.top; };
    auto horz = [&](const CRect& b) { return b.right >= clip.left && b.left < clip.right; };
    const CPoint scrolls[] = {{0, 0}, {-150, -400}, {0, -37}, {-90, -1000}, {240, 900}};
    for (const CPoint& d : scrolls) {
        T().ScrollBy(d.x, d.y);
        std::multiset<std::string> expected;
        for (int r = 0; r < T().GetNumDataRows(); ++r)
            for (int c = 0; c < T().GetNumDataColumns(); ++c)
                if (const CTblOb* cell = T().GetCell(r, c);
                    vert(T().GetRow(r)->GetPos()) && vert(cell->GetPos()) && horz(cell->GetPos()))
                    expected.insert(cell->GetText().str());
        ForEachNode(T().GetRowRoot(), [&](const CRowColOb* n) {
            if (!n->GetText().IsEmpty() && vert(n->GetPos())) expected.insert(n->GetText().str());
        });
        for (int c = 0; c < T().GetNumDataColumns(); ++c)
            if (horz(T().GetColumn(c)->GetPos())) expected.insert(T().GetColumn(c)->GetText().str());

        CRecordingDC window;
        window.SetClipBox(clip);
        T().Draw(&window, CRect(0, 0, 400, 300), -1);
        std::multiset<std::string> drawn = TextsDrawn(window);
        drawn.erase("Stub");  // the stub head is always drawn
        EXPECT_EQ(drawn, expected) << "scrolled by " << d.x << ", " << d.y;
        // A window, not the whole table, and not an empty one at the start.
        EXPECT_TRUE(expected.size() < 100u && (d != CPoint(0, 0) || expected.size() > 10u));
    }
}

TEST_F(TableDraw, EveryRuleKindAndTrimmedSpannerRulesWithTheOptions) {
    CStyle& group = *doc.registry.FindStyle(CKAVOString("ColumnGroup"));
    group.m_lineBottom = LINE_THICK;
    group.m_lineTop = LINE_DOUBLE;
    const CTblColumn* sex = T().GetColumnRoot()->GetChild(0);
    const CRect& rc = sex->GetPos();
    const auto spannerLines = [&] {
        std::vector<CDCCall> out;
        for (const CDCCall& c : CallsOf(dc, CDCCall::LineTo))
            if (std::max(c.from.y, c.to.y) <= rc.bottom + 1 && std::min(c.from.x, c.to.x) >= rc.left &&
                std::max(c.from.x, c.to.x) <= rc.right && c.from.y == c.to.y && c.from.x != c.to.x &&
                c.from.y != g_nTitleHeight && c.from.y != g_nTitleHeight + g_nHeadingHeight)
                out.push_back(c);
        return out;
    };
    T().Draw(&dc, CRect(0, 0, 600, 400), -1);
    EXPECT_TRUE(spannerLines().empty());  // without options double and thick draw nothing

    CPrintOptions o;
    o.bAllRuleKinds = o.bTrimSpannerRules = 1;
    T().SetPrintOptions(o);
    dc.ClearCalls();
    T().Draw(&dc, CRect(0, 0, 600, 400), -1);
    // Margin 3 off both ends; the double rule 1 either side of the top (22 / 28,
    // at least 1); the thick one in a pen of 2 (22 / 14, at least 2).
    const std::vector<CDCCall> lines = spannerLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].from, CPoint(rc.left + 3, rc.top - 1));
    EXPECT_EQ(lines[0].to, CPoint(rc.right - 3, rc.top - 1));
    EXPECT_EQ(lines[1].from, CPoint(rc.left + 3, rc.top + 1));
    EXPECT_EQ(lines[2].from, CPoint(rc.right - 3, rc.bottom));
    EXPECT_EQ(lines[2].to, CPoint(rc.left + 3, rc.bottom));
    int nPens = 0;
    for (const CDCCall& c : CallsOf(dc, CDCCall::SelectPen)) nPens += c.value == 1 && c.nPenWidth == 2;
    EXPECT_EQ(nPens, 1);
    // Data columns' rules are not trimmed: their left and right rules stay whole.
    const CTblColumn* male = sex->GetChild(0);
    EXPECT_TRUE(HasLine(dc, {male->Left(), male->Bottom()}, {male->Left(), male->Top()}));
}
