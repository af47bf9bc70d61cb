// Element sizing: the width search, printer face names, and the column tree
// (spanner widths shared out, nested spanners, level heights).
//
// Unless a test says otherwise: no font on the surface, so a byte is 8 wide
// and a line 16 high; "X" is 16 high, so the margin m is 16 / 5 = 3 and the
// line height L is 16 + 2 * 3 = 22.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "layout_test_support.h"

using namespace kavo;
using namespace layout_test;

namespace {

// A column node with a caption, limits from min up to (max width, 30 lines)
// and a box as wide as given and as high as the minimum.
CTblColumn* Node(const char* pszText, CSize min, int nWidth, int nMaxWidth = 0) {
    auto* p = new CTblColumn;
    p->SetText(pszText);
    LayoutTestAccess::SetLimits(*p, min, CSize(nMaxWidth ? nMaxWidth : nWidth, 30 * 22));
    LayoutTestAccess::SetPos(*p, CRect(0, 0, nWidth, min.cy));
    return p;
}
// A data column as the layout leaves it before the spanners are reconciled.
CTblColumn* Data(int nWidth, int nHeight = 22) { return Node("", CSize(nWidth, nHeight), nWidth); }

// The layout metrics are process-wide; every test sets those it measures with.
class Sizing : public ::testing::Test {
protected:
    void SetUp() override { g_nMargin = 3; g_nLineHeight = 22; }
    CRecordingDC dc;
    CRecordingDC twips{MM_TWIPS};
};

}  // namespace

// --- The width search --------------------------------------------------------

TEST_F(Sizing, WidthSearchStepsByTheLineHeightUntilTheTextFitsOneLine) {
    const char* const k4 = "aaaa bbbb cccc dddd";
    const struct {
        const char* text;
        bool twips, noMetrics;
        int before;  // text height left by an earlier measurement
        CSize min, max, size;
        int height;
    } cases[] = {
        // Empty text: the minimum, nothing measured.
        {"", false, false, 99, {40, 22}, {200, 110}, {40, 22}, 99},
        // Inner limits 34 x 16: "abc" (24) fits at the first trial.
        {"abc", false, false, 0, {40, 22}, {200, 110}, {40, 22}, 16},
        // "aaaa bbbb" (72): trials 34 and 56 wrap it, 78 holds it: 78 + 6 = 84.
        {"aaaa bbbb", false, false, 0, {40, 22}, {200, 110}, {84, 22}, 16},
        {"aaaa bbbb", true, false, 0, {40, 22}, {200, 110}, {84, 22}, -16},
        // Maximum 84: the last trial 78 breaks it into two lines of at most
        // 72: (72, 32) plus the margins.
        {k4, false, false, 0, {40, 22}, {84, 110}, {78, 38}, 32},
        {k4, true, false, 0, {40, 22}, {84, 110}, {78, 38}, -32},
        // A maximum height of 30 leaves 24 inside: the 32 is cut.
        {k4, false, false, 0, {40, 22}, {84, 30}, {78, 30}, 32},
        // Minimum wider than maximum: no trial; width 0 is raised to the inner
        // minimum 94, the height is the last measurement's.
        {"abc", false, false, 48, {100, 22}, {50, 110}, {100, 54}, 48},
        // Before any layout the metrics are 0: the search must not loop on a
        // step of 0. One trial at 10 breaks the words into letters: eight
        // lines of 8 (128 high, cut to 100), raised to the width 10.
        {"aaaa bbbb", false, true, 0, {10, 16}, {500, 100}, {10, 100}, 128},
    };
    for (const auto& c : cases) {
        g_nMargin = c.noMetrics ? 0 : 3, g_nLineHeight = c.noMetrics ? 0 : 22;
        CTblOb ob(c.text);
        LayoutTestAccess::SetTextHeight(ob, c.before);
        EXPECT_EQ(LayoutTestAccess::CalcRectSize(ob, c.twips ? &twips : &dc, c.min, c.max), c.size) << c.text;
        EXPECT_EQ(ob.GetTextHeight(), c.height) << c.text;
    }
}

TEST_F(Sizing, PrinterFaceNameIsCutToFitAndStaysTerminated) {
    CStyle style("Cyrillic");
    CFont font, full;
    CTblOb ob("x", &style);
    style.m_logFont = MakeFont(-16, "", RUSSIAN_CHARSET), style.m_nTwipsHeight = 240;
    // 29 bytes leave room for two of the four suffix bytes within 31.
    const std::string face29 = Word(29, 'F');
    std::strcpy(style.m_logFont.lfFaceName, face29.c_str());
    ASSERT_EQ(ob.LoadFont(&twips, font), 1);
    EXPECT_EQ(std::string(font.GetLogFont().lfFaceName, 31), face29 + " C");
    EXPECT_EQ(font.GetLogFont().lfFaceName[31], '\0');
    EXPECT_EQ(std::string(style.m_logFont.lfFaceName), face29);  // the style is left alone
    // A record filled to all 32 bytes without a terminator keeps 31 of them.
    std::memset(style.m_logFont.lfFaceName, 'G', sizeof style.m_logFont.lfFaceName);
    ASSERT_EQ(ob.LoadFont(&twips, full), 1); EXPECT_EQ(std::strlen(full.GetLogFont().lfFaceName), 31u);
}

// --- The column tree -----------------------------------------------------------

TEST_F(Sizing, SpannerWiderThanItsColumnsSharesOutItsWidth) {
    const struct {
        const char* caption;
        int min, box;
        std::vector<int> columns, widths;
        CSize size;
    } cases[] = {
        // The columns add up to 60 < 82: adjusted to max(38, 60) = 60, each
        // keeps 30, and the caption wraps at 54 inside: two lines, 32 + 6.
        {"aaaa bbbb", 38, 82, {30, 30}, {30, 30}, {60, 38}},
        // 31 < 45: adjusted to the minimum 40, per = 40 / 3 = 13; the total
        // 39 falls 1 short and the first column takes it: 14, 13, 13.
        {"", 40, 45, {10, 10, 11}, {14, 13, 13}, {40, 22}},
        // 35 < 50: adjusted to 40, per = 20: a column wider than its share
        // keeps its width (30), the other gets 20, and 50 widens the spanner.
        {"", 40, 50, {30, 5}, {30, 20}, {50, 22}},
    };
    for (const auto& c : cases) {
        CTblColumn root;
        CTblColumn* pSpanner = Node(c.caption, CSize(c.min, 22), c.box, 5 * c.min);
        for (int w : c.columns) pSpanner->AddChild(Data(w));
        root.AddChild(pSpanner);
        EXPECT_EQ(LayoutTestAccess::CalcLayoutSize(*pSpanner, &dc), c.size) << c.box;
        for (std::size_t i = 0; i < c.widths.size(); ++i)
            EXPECT_EQ(pSpanner->GetChild(static_cast<int>(i))->Width(), c.widths[i]) << c.box << ", " << i;
        EXPECT_EQ(pSpanner->SpannedWidth(), c.size.cx);
    }
}

TEST_F(Sizing, NestedSpannerGetsTheShareOfAllItsColumns) {
    // S (minimum 90) over T (over a, b of 10) and c (10): 30 < 95, so S is
    // adjusted to 90 with per = 30. T's target is max(30 * 2, 20) = 60, shared
    // as 30 and 30; c gets max(30, 10) = 30.
    CTblColumn root;
    CTblColumn *pT = Node("", CSize(0, 22), 20), *pS = Node("", CSize(90, 22), 95, 450);
    pT->AddChild(Data(10)), pT->AddChild(Data(10));
    pS->AddChild(pT), pS->AddChild(Data(10)), root.AddChild(pS);
    EXPECT_EQ(LayoutTestAccess::CalcLayoutSize(*pS, &dc).cx, 90); EXPECT_EQ(pT->Width(), 60);
    EXPECT_EQ(pT->GetChild(1)->Width(), 30); EXPECT_EQ(pS->GetChild(1)->Width(), 30);
    // A level array one level short (none for a and b) is left alone, where
    // writing or reading past its end would be out of bounds.
    CArray<int, int> levels;
    levels.SetSize(3);
    root.GetColumnLvlHeights(levels, 0), root.AlignColumnLvlHeights(levels, 0);
    EXPECT_EQ(levels[2], 22);
}
