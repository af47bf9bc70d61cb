// Drawing, checked through the calls that a recording surface receives.
//
// Golden files: tests/data/draw/*.golden hold the recorded calls of a whole
// small table. After a deliberate change of the drawing or the layout,
// regenerate them with KAVOTBL_UPDATE_GOLDEN=1 and review the diff.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/table.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/render/draw_state.h"
#include "kavotbl/style/format.h"
#include "kavotbl/style/registry.h"
#include "kavotbl/style/style.h"

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

class TestColumn : public CTblColumn {
public:
    TestColumn(const char* psz, const CRect& rc, CStyle* pStyle = nullptr) {
        SetText(psz);
        SetStyle(pStyle);
        Pos() = rc;
    }
    using CTblOb::SetBorder;
};

class TestRow : public CTblRow {
public:
    TestRow(const char* psz, const CRect& rc, CStyle* pStyle = nullptr) {
        SetText(psz);
        SetStyle(pStyle);
        Pos() = rc;
    }
    using CTblOb::SetBorder;
};

class TestCell : public CTblCell {
public:
    using CTblCell::CTblCell;
    using CTblOb::Pos;
};

std::vector<CDCCall> CallsOf(const CRecordingDC& dc, CDCCall::Kind kind) {
    std::vector<CDCCall> out;
    for (const CDCCall& c : dc.GetCalls())
        if (c.kind == kind) out.push_back(c);
    return out;
}

std::vector<std::string> TextsDrawn(const CRecordingDC& dc) {
    std::vector<std::string> out;
    for (const CDCCall& c : CallsOf(dc, CDCCall::DrawText)) out.push_back(c.text.str());
    return out;
}

bool HasLine(const CRecordingDC& dc, CPoint from, CPoint to) {
    for (const CDCCall& c : CallsOf(dc, CDCCall::LineTo))
        if (c.from == from && c.to == to) return true;
    return false;
}

const CDCCall* FindText(const CRecordingDC& dc, const std::string& text) {
    for (const CDCCall& c : dc.GetCalls())
        if (c.kind == CDCCall::DrawText && c.text.str() == text) return &c;
    return nullptr;
}

// Keeps the module-wide metrics and drawing-pass values of one test from
// leaking into the next.
class DrawGlobals : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = {g_nMargin, g_nLineHeight, g_nTitleHeight, g_nHeadingHeight, g_nStubWidth, g_nDrawRight, g_nDrawBottom};
        g_nMargin = 3;
        g_nTitleHeight = g_nHeadingHeight = g_nStubWidth = 0;
        g_nDrawRight = g_nDrawBottom = 100000;
    }
    void TearDown() override {
        g_nMargin = m_saved[0];
        g_nLineHeight = m_saved[1];
        g_nTitleHeight = m_saved[2];
        g_nHeadingHeight = m_saved[3];
        g_nStubWidth = m_saved[4];
        g_nDrawRight = m_saved[5];
        g_nDrawBottom = m_saved[6];
    }

private:
    std::vector<int> m_saved;
};

LOGFONT MakeFont(const char* pszFace, int nHeight, unsigned char nCharSet) {
    LOGFONT lf;
    lf.lfHeight = nHeight;
    lf.lfCharSet = nCharSet;
    std::strncpy(lf.lfFaceName, pszFace, sizeof lf.lfFaceName - 1);
    return lf;
}

}  // namespace

// ---------------------------------------------------------------------------
// One element

class ElementDraw : public DrawGlobals {
protected:
    ElementDraw() : ob("Hello", &style) {
        style.m_nHorJust = 0;
        style.m_nVertJust = 0;
        ob.Pos() = CRect(10, 20, 110, 60);
    }
    CStyle style;
    TestOb ob;
    CRecordingDC dc;
};

TEST_F(ElementDraw, CallsComeInOrderAndTextSitsInsideTheMargin) {
    style.m_logFont = MakeFont("Serif", 20, ANSI_CHARSET);
    style.m_lineLeft = style.m_lineTop = style.m_lineRight = style.m_lineBottom = LINE_SINGLE;
    style.m_borderTop = LINE_SINGLE;
    ob.SetBorder(CRect(10, 20, 300, 60));
    ob.Draw(&dc, -1);

    std::vector<CDCCall::Kind> kinds;
    for (const CDCCall& c : dc.GetCalls()) kinds.push_back(c.kind);
    using K = CDCCall;
    const std::vector<CDCCall::Kind> expected = {
        K::MoveTo, K::MoveTo, K::LineTo, K::MoveTo, K::MoveTo,               // borders: only the top drawn
        K::SaveDC, K::SetBkMode, K::SelectFont,                               // state
        K::MoveTo, K::LineTo, K::MoveTo, K::LineTo, K::MoveTo, K::LineTo, K::MoveTo, K::LineTo,  // lines
        K::DrawText, K::SelectFont, K::RestoreDC};
    EXPECT_EQ(kinds, expected);

    const CDCCall* text = FindText(dc, "Hello");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->rect, CRect(13, 23, 107, 57));
    EXPECT_EQ(text->format, kTextFlags);
    EXPECT_EQ(text->font.lfHeight, 20);
    EXPECT_EQ(CallsOf(dc, CDCCall::SetBkMode)[0].value, TRANSPARENT);
    // The previous (absent) font is selected again and the state restored.
    EXPECT_EQ(CallsOf(dc, CDCCall::SelectFont).back().value, 0);
    EXPECT_EQ(dc.GetCurrentLogFont(), nullptr);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
}

TEST_F(ElementDraw, EmptyTextDrawsNeitherRulesNorBordersNorShading) {
    style.m_lineLeft = LINE_SINGLE;
    style.m_borderLeft = LINE_SINGLE;
    ob.SetBorder(CRect(10, 20, 300, 60));
    CRectArray rects;
    ob.Block(rects, 1);
    ob.SetBlockColor(RGB(1, 2, 3));
    ob.SetText("");
    ob.Draw(&dc, -1);
    EXPECT_TRUE(dc.GetCalls().empty());
}

TEST_F(ElementDraw, AnUnplacedElementDrawsNothing) {
    ob.Pos() = CRect();
    ob.Draw(&dc, -1);
    EXPECT_TRUE(dc.GetCalls().empty());
}

TEST_F(ElementDraw, AHiddenValueLeavesTheCellBlank) {
    CFormat hidden;
    hidden.m_bHidden = 1;
    TestCell cell(42);
    cell.SetFormat(&hidden);
    cell.SetStyle(&style);
    cell.Pos() = CRect(0, 0, 50, 20);
    cell.Format();
    ASSERT_TRUE(cell.GetText().IsEmpty());
    cell.Draw(&dc, -1);
    EXPECT_TRUE(dc.GetCalls().empty());
}

TEST_F(ElementDraw, DoubleAndThickRulesAreNotDrawn) {
    style.m_lineLeft = LINE_SINGLE;
    style.m_lineTop = LINE_DOUBLE;
    style.m_lineRight = LINE_THICK;
    style.m_lineBottom = LINE_SINGLE;
    ob.Draw(&dc, -1);
    const auto lines = CallsOf(dc, CDCCall::LineTo);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].from, CPoint(10, 60));  // left rule, drawn upward
    EXPECT_EQ(lines[0].to, CPoint(10, 20));
    EXPECT_EQ(lines[1].from, CPoint(110, 60));  // bottom rule, drawn leftward
    EXPECT_EQ(lines[1].to, CPoint(10, 60));
    // Every corner is still visited, so a later rule starts where it should.
    EXPECT_EQ(CallsOf(dc, CDCCall::MoveTo).size(), 4u);
}

TEST_F(ElementDraw, HorizontalJustificationAddsItsFlag) {
    style.m_nHorJust = 1;
    ob.Draw(&dc, -1);
    style.m_nHorJust = 2;
    ob.Draw(&dc, -1);
    const auto texts = CallsOf(dc, CDCCall::DrawText);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].format, kTextFlags | DT_CENTER);
    EXPECT_EQ(texts[1].format, kTextFlags | DT_RIGHT);
}

TEST_F(ElementDraw, CentredTextMovesDownByHalfTheSpareHeight) {
    g_nMargin = 0;
    style.m_nVertJust = 1;
    ob.Pos() = CRect(0, 100, 80, 130);  // 30 high
    ob.SetTextHeight(10);
    ob.Draw(&dc, -1);
    EXPECT_EQ(FindText(dc, "Hello")->rect, CRect(0, 110, 80, 130));
}

TEST_F(ElementDraw, BottomJustifiedTextEndsAtTheInsetBottom) {
    style.m_nVertJust = 2;
    ob.SetTextHeight(16);
    ob.Draw(&dc, -1);
    // Inset bottom 57, so the text starts 16 above it.
    EXPECT_EQ(FindText(dc, "Hello")->rect, CRect(13, 41, 107, 57));
}

TEST_F(ElementDraw, OnTwipsTheInsetAndCentringWorkUpward) {
    CRecordingDC twips(MM_TWIPS);
    style.m_nVertJust = 1;
    ob.Pos() = CRect(10, -100, 110, -131);
    ob.SetTextHeight(-10);
    ob.Draw(&twips, 0);
    // Inset: top -103, bottom -128. Centre: -103 + (-128 + 10 + 103) / 2 = -103 + (-15 / 2) = -110.
    EXPECT_EQ(FindText(twips, "Hello")->rect, CRect(13, -110, 107, -128));
}

TEST_F(ElementDraw, PageListsChooseThePages) {
    ob.AddPage(2);
    ob.AddPage(5);
    for (int page : {-1, 0, 2, 3, 5, 6}) {
        dc.ClearCalls();
        ob.Draw(&dc, page);
        const bool bDrawn = !CallsOf(dc, CDCCall::DrawText).empty();
        EXPECT_EQ(bDrawn, page == -1 || page == 2 || page == 5) << "page " << page;
    }
}

TEST_F(ElementDraw, AnEmptyPageListMeansEveryPage) {
    for (int page : {-1, 0, 7}) {
        dc.ClearCalls();
        ob.Draw(&dc, page);
        EXPECT_EQ(CallsOf(dc, CDCCall::DrawText).size(), 1u) << "page " << page;
    }
}

TEST_F(ElementDraw, ABlockedElementIsShadedInsideItsRulesOnTheScreenOnly) {
    CRectArray rects;
    ob.Block(rects, 1);
    ob.SetBlockColor(RGB(200, 10, 20));
    ob.Draw(&dc, -1);

    const auto fills = CallsOf(dc, CDCCall::Rectangle);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, CRect(11, 21, 110, 60));
    EXPECT_EQ(fills[0].color, RGB(200, 10, 20));
    const auto pens = CallsOf(dc, CDCCall::SelectPen);
    ASSERT_EQ(pens.size(), 2u);
    EXPECT_EQ(pens[0].color, RGB(200, 10, 20));
    EXPECT_EQ(pens[1].value, 0);  // the surface's own pen again
    EXPECT_EQ(CallsOf(dc, CDCCall::SetBkColor)[0].color, RGB(200, 10, 20));
    EXPECT_EQ(CallsOf(dc, CDCCall::SelectBrush).back().value, 0);
    // The text is written over the shading.
    const auto& calls = dc.GetCalls();
    std::size_t iFill = 0, iText = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].kind == CDCCall::Rectangle) iFill = i;
        if (calls[i].kind == CDCCall::DrawText) iText = i;
    }
    EXPECT_LT(iFill, iText);

    CRecordingDC twips(MM_TWIPS);
    ob.Draw(&twips, -1);
    EXPECT_TRUE(CallsOf(twips, CDCCall::Rectangle).empty());
    EXPECT_EQ(CallsOf(twips, CDCCall::DrawText).size(), 1u);
}

TEST_F(ElementDraw, CyrillicFontsGetTheirPrinterFaceOnTwipsOnly) {
    style.m_logFont = MakeFont("Arial", 20, RUSSIAN_CHARSET);
    style.m_nTwipsHeight = 240;
    ob.Draw(&dc, -1);
    CRecordingDC twips(MM_TWIPS);
    ob.Draw(&twips, -1);
    EXPECT_STREQ(FindText(dc, "Hello")->font.lfFaceName, "Arial");
    EXPECT_EQ(FindText(dc, "Hello")->font.lfHeight, 20);
    EXPECT_STREQ(FindText(twips, "Hello")->font.lfFaceName, "Arial Cyr");
    EXPECT_EQ(FindText(twips, "Hello")->font.lfHeight, 240);
    // The style itself is left as it was; another character set keeps its face on paper.
    EXPECT_STREQ(style.m_logFont.lfFaceName, "Arial");
    style.m_logFont.lfCharSet = ANSI_CHARSET;
    twips.ClearCalls();
    ob.Draw(&twips, -1);
    EXPECT_STREQ(FindText(twips, "Hello")->font.lfFaceName, "Arial");
    EXPECT_EQ(FindText(twips, "Hello")->font.lfHeight, 240);
}

TEST_F(ElementDraw, AStyleWithoutAFontKeepsTheSurfaceFont) {
    const LOGFONT lf = MakeFont("Mono", 12, ANSI_CHARSET);
    CFont font;
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    dc.ClearCalls();
    ob.Draw(&dc, -1);
    EXPECT_TRUE(CallsOf(dc, CDCCall::SelectFont).empty());
    EXPECT_STREQ(FindText(dc, "Hello")->font.lfFaceName, "Mono");
}

// ---------------------------------------------------------------------------
// Borders and their tests

class BorderDraw : public DrawGlobals {
protected:
    BorderDraw() {
        style.m_borderLeft = style.m_borderTop = style.m_borderRight = style.m_borderBottom = LINE_SINGLE;
    }
    CStyle style;
    CRecordingDC dc;
};

TEST_F(BorderDraw, BordersStopAtTheDrawnEdges) {
    TestOb ob("x", &style);
    ob.SetBorder(CRect(5, 10, 500, 400));
    g_nDrawRight = 300;   // narrower than the border
    g_nDrawBottom = 1000; // lower than the border
    ob.DrawBorders(&dc);
    EXPECT_TRUE(HasLine(dc, {5, 400}, {5, 10}));
    EXPECT_TRUE(HasLine(dc, {5, 10}, {300, 10}));
    EXPECT_TRUE(HasLine(dc, {300, 10}, {300, 400}));
    EXPECT_TRUE(HasLine(dc, {300, 400}, {5, 400}));
    EXPECT_EQ(CallsOf(dc, CDCCall::LineTo).size(), 4u);
}

TEST_F(BorderDraw, OnlySingleBordersAreDrawn) {
    style.m_borderLeft = LINE_DOUBLE;
    style.m_borderTop = LINE_THICK;
    style.m_borderRight = LINE_NONE;
    TestOb ob("x", &style);
    ob.SetBorder(CRect(5, 10, 50, 40));
    ob.DrawBorders(&dc);
    const auto lines = CallsOf(dc, CDCCall::LineTo);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from, CPoint(50, 40));
    EXPECT_EQ(lines[0].to, CPoint(5, 40));
    EXPECT_EQ(CallsOf(dc, CDCCall::MoveTo).size(), 4u);
}

TEST_F(BorderDraw, AnUnsetBorderDrawsNothing) {
    TestOb ob("x", &style);
    ob.DrawBorders(&dc);
    EXPECT_TRUE(dc.GetCalls().empty());
}

TEST_F(BorderDraw, AColumnUnderTheStubLosesThatSide) {
    g_nStubWidth = 100;
    TestColumn atStub("a", CRect(100, 0, 150, 20), &style);
    atStub.SetBorder(CRect(100, 0, 150, 300));
    atStub.DrawBorders(&dc);
    // No left rule and not even a move to its start.
    EXPECT_FALSE(HasLine(dc, {100, 300}, {100, 0}));
    EXPECT_EQ(CallsOf(dc, CDCCall::MoveTo).size(), 3u);
    EXPECT_TRUE(HasLine(dc, {150, 0}, {150, 300}));

    dc.ClearCalls();
    TestColumn under("b", CRect(40, 0, 100, 20), &style);
    under.SetBorder(CRect(40, 0, 100, 300));
    under.DrawBorders(&dc);
    EXPECT_EQ(CallsOf(dc, CDCCall::MoveTo).size(), 2u);  // top and bottom only
    EXPECT_EQ(CallsOf(dc, CDCCall::LineTo).size(), 2u);

    dc.ClearCalls();
    TestColumn right("c", CRect(101, 0, 150, 20), &style);
    right.SetBorder(CRect(101, 0, 150, 300));
    right.DrawBorders(&dc);
    EXPECT_EQ(CallsOf(dc, CDCCall::LineTo).size(), 4u);
}

TEST_F(BorderDraw, ARowUnderTheHeadingBandLosesThatSide) {
    g_nTitleHeight = 30;
    g_nHeadingHeight = 40;
    TestRow atBand("a", CRect(0, 70, 100, 90), &style);
    atBand.SetBorder(CRect(0, 70, 400, 90));
    atBand.DrawBorders(&dc);
    EXPECT_FALSE(HasLine(dc, {0, 70}, {400, 70}));
    EXPECT_TRUE(HasLine(dc, {400, 90}, {0, 90}));

    dc.ClearCalls();
    TestRow under("b", CRect(0, 50, 100, 70), &style);
    under.SetBorder(CRect(0, 50, 400, 70));
    under.DrawBorders(&dc);
    EXPECT_EQ(CallsOf(dc, CDCCall::LineTo).size(), 2u);  // left and right only
    EXPECT_TRUE(HasLine(dc, {0, 70}, {0, 50}));
    EXPECT_TRUE(HasLine(dc, {400, 50}, {400, 70}));
}

// ---------------------------------------------------------------------------
// Trees

class TreeDraw : public DrawGlobals {
protected:
    CStyle style;
    CRecordingDC dc;
};

TEST_F(TreeDraw, NodesComeBeforeTheirChildrenInListOrder) {
    TestColumn root("", CRect());
    auto* span = new TestColumn("Sex", CRect(100, 0, 300, 20), &style);
    span->AddChild(new TestColumn("Male", CRect(100, 20, 200, 40), &style));
    span->AddChild(new TestColumn("Female", CRect(200, 20, 300, 40), &style));
    root.AddChild(span);
    root.AddChild(new TestColumn("Total", CRect(300, 0, 400, 40), &style));
    root.Draw(&dc, -1, 0);
    EXPECT_EQ(TextsDrawn(dc), (std::vector<std::string>{"Sex", "Male", "Female", "Total"}));
}

TEST_F(TreeDraw, ScreenRowsOutsideTheClipBoxAreSkippedButNotTheirChildren) {
    TestRow root("", CRect());
    // A tall caption starting above the window, whose children reach into it.
    auto* group = new TestRow("North", CRect(0, -40, 100, 0), &style);
    group->AddChild(new TestRow("Town", CRect(0, 0, 100, 20), &style));
    group->AddChild(new TestRow("Village", CRect(0, 20, 100, 40), &style));
    root.AddChild(group);
    root.AddChild(new TestRow("South", CRect(0, 40, 100, 60), &style));
    root.AddChild(new TestRow("West", CRect(0, 60, 100, 80), &style));
    dc.SetClipBox(CRect(0, 10, 800, 41));
    root.Draw(&dc, -1, 1);
    EXPECT_EQ(TextsDrawn(dc), (std::vector<std::string>{"Town", "Village", "South"}));
}

TEST_F(TreeDraw, ScreenColumnsOutsideTheClipBoxAreSkipped) {
    TestColumn root("", CRect());
    auto* span = new TestColumn("Sex", CRect(100, 0, 300, 20), &style);
    span->AddChild(new TestColumn("Male", CRect(100, 20, 200, 40), &style));
    span->AddChild(new TestColumn("Female", CRect(200, 20, 300, 40), &style));
    root.AddChild(span);
    root.AddChild(new TestColumn("Total", CRect(300, 0, 400, 40), &style));
    root.AddChild(new TestColumn("Share", CRect(400, 0, 500, 40), &style));
    // The clip box starts on the right rule of "Male", which is still visible.
    dc.SetClipBox(CRect(200, 0, 400, 600));
    root.Draw(&dc, -1, 0);
    EXPECT_EQ(TextsDrawn(dc), (std::vector<std::string>{"Sex", "Male", "Female", "Total"}));
}

TEST_F(TreeDraw, PrintedPagesIgnoreTheClipBoxAndFollowPageLists) {
    CRecordingDC twips(MM_TWIPS);
    twips.SetClipBox(CRect(0, 0, 1, 1));
    TestRow root("", CRect());
    auto* a = new TestRow("A", CRect(0, -1000, 100, -1200), &style);
    auto* b = new TestRow("B", CRect(0, -1200, 100, -1400), &style);
    a->AddPage(0);
    b->AddPage(1);
    root.AddChild(a);
    root.AddChild(b);
    root.Draw(&twips, 1, 1);
    EXPECT_EQ(TextsDrawn(twips), std::vector<std::string>{"B"});
}

// ---------------------------------------------------------------------------
// Whole tables, laid out by the library

namespace {

const char* const kTableText = R"([Style]
Label=Table
BorderLeft=Single
BorderTop=Single
BorderRight=Single
BorderBottom=Single

[Style]
Label=Column
LineLeft=Single
LineRight=Single
BorderLeft=Single
BorderRight=Single

[Style]
Label=Row
HorJust=Left
BorderTop=Single
BorderBottom=Single

[Table]
Size=4, 3
Name=Population

[Title]
Text=Population by area

[StubHead]
Text=Area

[ColumnGroup]
Text=Sex

[Column]
Text=Male

[Column]
Text=Female
[EndGroup]

[Column]
Text=Total

[RowGroup]
Text=North

[Row]
Text=Town
Data=1200, 800, 2000

[Row]
Text=Village
Data=5, 6, 11
[EndGroup]

[Row]
Text=South
Data=7, 8, 15

[Row]
Text=West
Data=0, 3, 3
)";

// Compares recorded calls with tests/data/draw/<name>.golden, or rewrites
// the file when KAVOTBL_UPDATE_GOLDEN=1.
void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(KAVOTBL_TEST_DATA_DIR) + "/draw/" + name + ".golden";
    if (const char* env = std::getenv("KAVOTBL_UPDATE_GOLDEN"); env && std::strcmp(env, "1") == 0) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream out(path, std::ios::binary);
        out << actual;
        ASSERT_TRUE(out.good()) << "cannot write " << path;
        GTEST_SKIP() << "rewrote " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing " << path << "; run with KAVOTBL_UPDATE_GOLDEN=1";
    std::stringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(actual, golden.str());
}

// A registry and one table read from text; the registry outlives the table.
struct LoadedTable {
    explicit LoadedTable(const std::string& text) {
        CSpecFile file;
        file.OpenText(text);
        registry.Build(file);
        const LOGFONT lf = MakeFont("Serif", 16, ANSI_CHARSET);
        registry.UpdateFonts(&lf, 200);
        table.SetStyleRegistry(&registry);
        loaded = table.Build(file);
    }
    CStyleRegistry registry;
    CTable table;
    int loaded = 0;
};

// A table with rows of its own for the culling tests: nCols data columns
// and nRows data rows under nGroups row groups.
std::string GridText(int nRows, int nCols, int nGroups) {
    std::ostringstream out;
    out << "[Table]\nSize=" << nRows << ", " << nCols << "\n\n[StubHead]\nText=Stub\n";
    for (int c = 0; c < nCols; ++c) out << "\n[Column]\nText=C" << c << "\n";
    const int perGroup = nRows / nGroups;
    int r = 0;
    for (int g = 0; g < nGroups; ++g) {
        out << "\n[RowGroup]\nText=G" << g << "\n";
        for (int k = 0; k < perGroup; ++k, ++r) {
            out << "\n[Row]\nText=R" << r << "\nData=";
            for (int c = 0; c < nCols; ++c) out << (c ? ", " : "") << (r * 100 + c + 1);
            out << "\n";
        }
        out << "[EndGroup]\n";
    }
    return out.str();
}

}  // namespace

class TableDraw : public DrawGlobals {
protected:
    void SetUp() override {
        DrawGlobals::SetUp();
        ASSERT_EQ(doc.loaded, 1);
        measure.SetRecording(false);
        doc.table.LayoutTable(CRect(0, 0, 600, 400), &measure);
    }
    CTable& T() { return doc.table; }
    CTblColumn* Col(int i) { return T().GetColumn(i); }
    CTblRow* Row(int i) { return T().GetRow(i); }

    LoadedTable doc{kTableText};
    CRecordingDC measure;
    CRecordingDC dc;
};

TEST_F(TableDraw, ScreenPassSetsTheDrawingValuesAndFrameRules) {
    T().Draw(&dc, CRect(0, 0, 600, 2000), -1);
    const int titleH = T().GetTitle()->Height();
    const int headH = T().ColSize().cy;
    const int stubW = T().StubHeadSize().cx;
    const int drawnH = titleH + headH + T().RowSize().cy;
    EXPECT_EQ(g_nTitleHeight, titleH);
    EXPECT_EQ(g_nHeadingHeight, headH);
    EXPECT_EQ(g_nStubWidth, T().RowSize().cx);
    EXPECT_EQ(g_nDrawRight, 600);
    EXPECT_EQ(g_nDrawBottom, drawnH);  // the table ends above the drawing rectangle

    const auto lines = CallsOf(dc, CDCCall::LineTo);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].from, CPoint(0, titleH));
    EXPECT_EQ(lines[0].to, CPoint(600, titleH));
    EXPECT_EQ(lines[1].from, CPoint(stubW, titleH));
    EXPECT_EQ(lines[1].to, CPoint(stubW, drawnH));
    EXPECT_EQ(lines[2].from, CPoint(0, titleH + headH));
    EXPECT_EQ(lines[2].to, CPoint(600, titleH + headH));

    // A drawing rectangle shorter than the table cuts the rules at its bottom.
    dc.ClearCalls();
    T().Draw(&dc, CRect(0, 0, 300, 90), -1);
    EXPECT_EQ(g_nDrawBottom, 90);
    EXPECT_TRUE(HasLine(dc, {stubW, titleH}, {stubW, 90}));
}

TEST_F(TableDraw, ScreenOrderAndClipExclusions) {
    T().Draw(&dc, CRect(0, 0, 600, 400), -1);
    std::vector<std::string> expected = {"Area", "Population by area",  // stub head, title
                                         "Sex", "Male", "Female", "Total",  // column tree
                                         "North", "Town", "Village", "South", "West"};  // row tree
    for (int r = 0; r < T().GetNumDataRows(); ++r)  // cells, row by row
        for (int c = 0; c < T().GetNumDataColumns(); ++c) expected.push_back(T().GetCell(r, c)->GetText().str());
    EXPECT_EQ(TextsDrawn(dc), expected);

    const int titleH = T().GetTitle()->Height();
    const CSize col = T().ColSize(), row = T().RowSize();
    const auto excl = CallsOf(dc, CDCCall::ExcludeClipRect);
    ASSERT_EQ(excl.size(), 3u);
    EXPECT_EQ(excl[0].rect, CRect(0, 0, row.cx + 1, titleH + col.cy + 2));
    EXPECT_EQ(excl[1].rect, CRect(0, 0, row.cx + 1, titleH + col.cy + row.cy + 2));
    EXPECT_EQ(excl[2].rect, CRect(0, 0, row.cx + col.cx + 1, titleH + col.cy + 2));

    // The first exclusion comes before the column tree, the others before the cells.
    const auto& calls = dc.GetCalls();
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < calls.size(); ++i)
        if (calls[i].kind == CDCCall::ExcludeClipRect ||
            (calls[i].kind == CDCCall::DrawText &&
             (calls[i].text == "Sex" || calls[i].text == "West" || calls[i].text == expected[11])))
            at.push_back(i);
    ASSERT_EQ(at.size(), 6u);
    EXPECT_EQ(calls[at[0]].kind, CDCCall::ExcludeClipRect);
    EXPECT_EQ(calls[at[1]].text, "Sex");
    EXPECT_EQ(calls[at[2]].text, "West");
    EXPECT_EQ(calls[at[3]].kind, CDCCall::ExcludeClipRect);
    EXPECT_EQ(calls[at[4]].kind, CDCCall::ExcludeClipRect);
    EXPECT_EQ(calls[at[5]].text, expected[11]);
}

TEST_F(TableDraw, ScrolledColumnsAndRowsLoseTheirBordersUnderTheStubAndHeading) {
    // Scroll so that "Female" starts at the stub edge ("Male" lies under the
    // stub) and "Town" starts at the bottom of the heading band.
    const int stub = T().RowSize().cx;
    const int band = T().GetTitle()->Height() + T().ColSize().cy;
    T().ScrollBy(stub - Col(1)->Left(), band - Row(0)->Top());
    T().Draw(&dc, CRect(0, 0, 600, 400), -1);

    auto hasLeft = [&](const CRect& b) { return HasLine(dc, {b.left, g_nDrawBottom}, {b.left, b.top}); };
    auto hasRight = [&](const CRect& b) { return HasLine(dc, {b.right, b.top}, {b.right, g_nDrawBottom}); };
    const CRect male = Col(0)->GetBorder(), female = Col(1)->GetBorder(), total = Col(2)->GetBorder();
    ASSERT_EQ(female.left, stub);
    EXPECT_FALSE(hasLeft(male));
    EXPECT_FALSE(hasRight(male));
    EXPECT_FALSE(hasLeft(female));
    EXPECT_TRUE(hasRight(female));
    EXPECT_TRUE(hasLeft(total));

    const CRect town = Row(0)->GetBorder(), village = Row(1)->GetBorder();
    const int right = std::abs(g_nDrawRight) < std::abs(town.right) ? g_nDrawRight : town.right;
    ASSERT_EQ(town.top, band);
    EXPECT_FALSE(HasLine(dc, {town.left, town.top}, {right, town.top}));
    EXPECT_TRUE(HasLine(dc, {right, town.bottom}, {town.left, town.bottom}));
    EXPECT_TRUE(HasLine(dc, {village.left, village.top}, {right, village.top}));
    // The caption above "Town" is now under the band: neither top nor bottom.
    const CRect north = T().GetRowRoot()->GetChildAt(0)->GetBorder();
    EXPECT_FALSE(HasLine(dc, {right, north.bottom}, {north.left, north.bottom}));
}

TEST_F(TableDraw, BlockedCellsAreShadedInTheBlockColour) {
    CRectArray rects;
    T().GetCell(1, 2)->Block(rects, 1);
    T().StuffBlockColor(RGB(0, 0, 128));
    T().Draw(&dc, CRect(0, 0, 600, 400), -1);
    const auto fills = CallsOf(dc, CDCCall::Rectangle);
    ASSERT_EQ(fills.size(), 1u);
    const CRect box = T().GetCell(1, 2)->GetPos();
    EXPECT_EQ(fills[0].rect, CRect(box.left + 1, box.top + 1, box.right, box.bottom));
    EXPECT_EQ(fills[0].color, RGB(0, 0, 128));
}

TEST_F(TableDraw, ATableNotLaidOutDrawsNothing) {
    LoadedTable fresh(kTableText);
    fresh.table.Draw(&dc, CRect(0, 0, 600, 400), -1);
    EXPECT_TRUE(dc.GetCalls().empty());
}

TEST_F(TableDraw, MatchesTheGoldenScreenDrawing) {
    T().Draw(&dc, CRect(0, 0, 600, 400), -1);
    ExpectGolden("screen", dc.Dump());
}

// ---------------------------------------------------------------------------
// Printed pages

// With the font 200 twips high: a stub of 500 and data columns of 680 give
// two column pages; 1680 high leaves room for three rows under the heading.
const CRect kPrintable(0, 0, 2000, -1680);

class PageDraw : public DrawGlobals {
protected:
    void SetUp() override {
        DrawGlobals::SetUp();
        ASSERT_EQ(doc.loaded, 1);
        printer.SetRecording(false);
        // Narrow and short enough for two column pages and several row pages.
        doc.table.LayoutPrinter(kPrintable, &printer);
        printer.SetRecording(true);
        ASSERT_GT(doc.table.GetNumHorzPages(), 1);
        ASSERT_GT(doc.table.GetNumPages(), doc.table.GetNumHorzPages());
    }
    CTable& T() { return doc.table; }
    std::vector<int> PagesOf(const CTblOb* ob) {
        std::vector<int> out;
        for (int i = 0; i < ob->GetNumPages(); ++i) out.push_back(ob->GetPage(i));
        return out;
    }

    LoadedTable doc{kTableText};
    CRecordingDC printer{MM_TWIPS};
};

TEST_F(PageDraw, MatchesTheGoldenSecondPage) {
    T().Draw(&printer, kPrintable, 1);
    ExpectGolden("page1", printer.Dump());
}

TEST_F(PageDraw, APageWithoutRowsDrawsNothingAtAll) {
    T().Draw(&printer, kPrintable, T().GetNumPages());
    EXPECT_TRUE(printer.GetCalls().empty());
}

TEST_F(PageDraw, TheTableBottomBorderBelongsToTheLastRowOfPages) {
    const int nLast = T().GetNumPages() - T().GetNumHorzPages();
    for (int page = 0; page < T().GetNumPages(); ++page) {
        printer.ClearCalls();
        T().Draw(&printer, kPrintable, page);
        // The table's borders come right after the six calls of the frame
        // rules and before the stub head saves the surface state.
        const auto& calls = printer.GetCalls();
        ASSERT_GT(calls.size(), 6u);
        int nMoves = 0, nLines = 0;
        for (std::size_t i = 6; i < calls.size() && calls[i].kind != CDCCall::SaveDC; ++i) {
            nMoves += calls[i].kind == CDCCall::MoveTo;
            nLines += calls[i].kind == CDCCall::LineTo;
        }
        const int nSides = page >= nLast ? 4 : 3;
        EXPECT_EQ(nMoves, nSides) << "page " << page;
        EXPECT_EQ(nLines, nSides) << "page " << page;
    }
}

TEST_F(PageDraw, PrintedRowsKeepTheirBordersBelowTheHeading) {
    // On paper y grows upward: the first row of a page touches the heading
    // band and has no top border; every row below it has one, as on the screen.
    T().Draw(&printer, kPrintable, 0);
    std::vector<const CRowColOb*> onPage;
    std::vector<const CRowColOb*> stack = {T().GetRowRoot()};
    while (!stack.empty()) {
        const CRowColOb* n = stack.back();
        stack.pop_back();
        if (n != T().GetRowRoot() && !PagesOf(n).empty() && PagesOf(n)[0] == 0) onPage.push_back(n);
        for (int i = 0; i < n->GetNumChildren(); ++i) stack.push_back(n->GetChildAt(i));
    }
    ASSERT_GE(onPage.size(), 2u);
    std::sort(onPage.begin(), onPage.end(), [](auto* a, auto* b) { return a->Top() > b->Top(); });
    EXPECT_EQ(onPage[0]->Top(), g_nTitleHeight + g_nHeadingHeight);
    for (std::size_t i = 0; i < onPage.size(); ++i) {
        const CRect b = onPage[i]->GetBorder();
        bool bTop = false;
        const auto& calls = printer.GetCalls();
        for (std::size_t k = 6; k < calls.size(); ++k)  // past the frame rules
            bTop = bTop || (calls[k].kind == CDCCall::LineTo && calls[k].from == CPoint(b.left, b.top) &&
                            calls[k].to.y == b.top && calls[k].to.x > b.left);
        EXPECT_EQ(bTop, i > 0) << onPage[i]->GetText().str();
    }
}

namespace {

bool Lists(const CTblOb* ob, int page) {
    if (ob->GetNumPages() == 0) return true;
    for (int i = 0; i < ob->GetNumPages(); ++i)
        if (ob->GetPage(i) == page) return true;
    return false;
}

void CollectOnPage(const CRowColOb* node, int page, std::multiset<std::string>& out) {
    if (!node->GetText().IsEmpty() && Lists(node, page)) out.insert(node->GetText().str());
    for (int i = 0; i < node->GetNumChildren(); ++i) CollectOnPage(node->GetChildAt(i), page, out);
}

}  // namespace

TEST_F(DrawGlobals, EveryPageDrawsExactlyTheElementsThatListIt) {
    // Row groups broken across row pages, spanners across column pages.
    std::ostringstream text;
    text << "[Table]\nSize=30, 7\n\n[Title]\nText=T\n\n[ColumnGroup]\nText=Span\n";
    for (int c = 0; c < 7; ++c) text << "\n[Column]\nText=C" << c << "\n";
    text << "[EndGroup]\n";
    for (int g = 0; g < 3; ++g) {
        text << "\n[RowGroup]\nText=G" << g << "\n";
        for (int k = 0; k < 10; ++k) {
            text << "\n[Row]\nText=R" << g * 10 + k << "\nData=";
            for (int c = 0; c < 7; ++c) text << (c ? ", " : "") << (g * 10 + k) * 10 + c + 1;
            text << "\n";
        }
        text << "[EndGroup]\n";
    }
    LoadedTable doc(text.str());
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    CRecordingDC printer(MM_TWIPS);
    printer.SetRecording(false);
    const CRect rc(0, 0, 3000, -4000);
    t.LayoutPrinter(rc, &printer);
    printer.SetRecording(true);
    ASSERT_GT(t.GetNumHorzPages(), 1);
    ASSERT_GT(t.GetNumPages() / t.GetNumHorzPages(), 2);

    for (int page = 0; page < t.GetNumPages(); ++page) {
        printer.ClearCalls();
        t.Draw(&printer, rc, page);
        std::multiset<std::string> drawn;
        for (const std::string& s : TextsDrawn(printer)) drawn.insert(s);
        std::multiset<std::string> expected = {"T"};
        CollectOnPage(t.GetColumnRoot(), page, expected);
        CollectOnPage(t.GetRowRoot(), page, expected);
        for (int r = 0; r < t.GetNumDataRows(); ++r)
            for (int c = 0; c < t.GetNumDataColumns(); ++c)
                if (Lists(t.GetCell(r, c), page)) expected.insert(t.GetCell(r, c)->GetText().str());
        EXPECT_EQ(drawn, expected) << "page " << page;
        EXPECT_TRUE(CallsOf(printer, CDCCall::ExcludeClipRect).empty()) << "page " << page;
        // The body ends at the lowest row of the page.
        const int bottom = t.GetRowRoot()->GetVerticalPageSize(page);
        EXPECT_EQ(g_nDrawBottom, std::abs(bottom) < std::abs(rc.bottom) ? bottom : rc.bottom) << "page " << page;
    }
}

TEST_F(DrawGlobals, DrawCellsDrawsARowInColumnOrder) {
    LoadedTable doc(kTableText);
    ASSERT_EQ(doc.loaded, 1);
    CRecordingDC measure;
    measure.SetRecording(false);
    doc.table.LayoutTable(CRect(0, 0, 600, 400), &measure);
    CTblRow* row = doc.table.GetRow(0);
    CRecordingDC dc;
    row->DrawCells(&dc, -1);
    std::vector<std::string> expected;
    for (int c = 0; c < row->GetNumCells(); ++c) expected.push_back(row->GetCell(c)->GetText().str());
    EXPECT_EQ(TextsDrawn(dc), expected);
}

// ---------------------------------------------------------------------------
// Drawing a window of a large table

class WindowDraw : public DrawGlobals {
protected:
    void SetUp() override {
        DrawGlobals::SetUp();
        ASSERT_EQ(doc.loaded, 1);
        measure.SetRecording(false);
        doc.table.LayoutTable(CRect(0, 0, 400, 300), &measure);
    }
    CTable& T() { return doc.table; }

    // Texts of the elements whose boxes meet the clip box, found by visiting
    // every element: rows by their vertical extent, columns by their
    // horizontal one, cells by both.
    std::multiset<std::string> VisibleOfFullDraw(const CRect& clip) {
        std::multiset<std::string> out;
        auto meets = [&](const CRect& b, bool bRowOnly) {
            const bool bVert = b.top < clip.bottom && b.bottom > clip.top;
            const bool bHorz = b.right >= clip.left && b.left < clip.right;
            return bRowOnly ? bVert : bVert && bHorz;
        };
        for (int r = 0; r < T().GetNumDataRows(); ++r) {
            CTblRow* row = T().GetRow(r);
            for (int c = 0; c < T().GetNumDataColumns(); ++c)
                if (meets(row->GetCell(c)->GetPos(), false) && meets(row->GetPos(), true))
                    out.insert(row->GetCell(c)->GetText().str());
        }
        std::vector<CRowColOb*> stack = {T().GetRowRoot()};
        while (!stack.empty()) {
            CRowColOb* n = stack.back();
            stack.pop_back();
            if (!n->GetText().IsEmpty() && meets(n->GetPos(), true)) out.insert(n->GetText().str());
            for (int i = 0; i < n->GetNumChildren(); ++i) stack.push_back(n->GetChildAt(i));
        }
        for (int c = 0; c < T().GetNumDataColumns(); ++c) {
            const CRect b = T().GetColumn(c)->GetPos();
            if (b.right >= clip.left && b.left < clip.right) out.insert(T().GetColumn(c)->GetText().str());
        }
        return out;
    }

    LoadedTable doc{GridText(60, 12, 6)};
    CRecordingDC measure;
};

TEST_F(WindowDraw, OnlyWhatMeetsTheClipBoxIsDrawnWhereverTheTableIsScrolled) {
    const CRect clip(130, 60, 330, 250);
    for (const CPoint& d : {CPoint(0, 0), CPoint(-150, -400), CPoint(0, -37), CPoint(-90, -1000), CPoint(240, 900)}) {
        T().ScrollBy(d.x, d.y);
        CRecordingDC dc;
        dc.SetClipBox(clip);
        T().Draw(&dc, CRect(0, 0, 400, 300), -1);
        std::multiset<std::string> drawn;
        for (const std::string& s : TextsDrawn(dc)) drawn.insert(s);
        drawn.erase("Stub");  // the stub head is always drawn
        const std::multiset<std::string> expected = VisibleOfFullDraw(clip);
        EXPECT_EQ(drawn, expected) << "scrolled by " << d.x << ", " << d.y;
        EXPECT_LT(expected.size(), 100u);  // a window, not the whole table
        if (d == CPoint(0, 0)) {
            EXPECT_GT(expected.size(), 10u);
        }
    }
}
