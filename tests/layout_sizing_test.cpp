// Element sizing: the width search, cells, fonts, the column tree (limits,
// spanner widths, spanned extents, level heights) and the row tree.
//
// Unless a test says otherwise: no font on the surface, so a byte is 8 wide
// and a line 16 high; "X" is 16 high, so the margin m is 16 / 5 = 3 and the
// line height L is 16 + 2 * 3 = 22.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "kavotbl/style/format.h"
#include "kavotbl/style/style.h"
#include "layout_test_support.h"

using kavo::CDC;
using kavo::CPoint;
using kavo::CRect;
using kavo::CSize;
using kavo::CRecordingDC;
using kavo::CTblCell;
using kavo::CTblColumn;
using kavo::CTblOb;
using kavo::CTblRow;
using kavo::LayoutTestAccess;
using layout_test::MetricsScope;

namespace {

// A column node with a caption, fixed limits and a box, as the layout leaves
// a data column before the spanners are reconciled.
CTblColumn* DataColumn(const char* pszText, int nWidth, int nHeight = 22) {
    auto* p = new CTblColumn;
    p->SetText(pszText);
    LayoutTestAccess::SetLimits(*p, CSize(nWidth, nHeight), CSize(nWidth, 30 * 22));
    LayoutTestAccess::SetPos(*p, CRect(0, 0, nWidth, nHeight));
    return p;
}

CTblColumn* Spanner(const char* pszText, CSize min, CRect box) {
    auto* p = new CTblColumn;
    p->SetText(pszText);
    LayoutTestAccess::SetLimits(*p, min, CSize(5 * min.cx, 30 * 22));
    LayoutTestAccess::SetPos(*p, box);
    return p;
}

CTblRow* Row(const char* pszText) {
    auto* p = new CTblRow;
    p->SetText(pszText);
    return p;
}

class SizingTest : public ::testing::Test {
protected:
    MetricsScope metrics{3, 22};
    CRecordingDC dc;
    CRecordingDC twips{kavo::MM_TWIPS};
};

// ---------------------------------------------------------------------------
// The width search of CTblOb::CalcRectSize.

using CalcRectSizeTest = SizingTest;

TEST_F(CalcRectSizeTest, EmptyTextGivesTheMinimumAndMeasuresNothing) {
    CTblOb ob;
    LayoutTestAccess::SetTextHeight(ob, 99);
    EXPECT_EQ(LayoutTestAccess::CalcRectSize(ob, &dc, CSize(40, 22), CSize(200, 110)), CSize(40, 22));
    EXPECT_EQ(ob.GetTextHeight(), 99);
}

TEST_F(CalcRectSizeTest, TextFittingAtTheMinimumWidthGetsTheMinimum) {
    // Inner limits: 40 - 6 = 34 wide, 22 - 6 = 16 high. "abc" is 24 wide: one
    // line of 16 at the first trial, so (34, 16) plus the margins.
    CTblOb ob("abc");
    EXPECT_EQ(LayoutTestAccess::CalcRectSize(ob, &dc, CSize(40, 22), CSize(200, 110)), CSize(40, 22));
    EXPECT_EQ(ob.GetTextHeight(), 16);
}

TEST_F(CalcRectSizeTest, WidensInLineHeightStepsUntilTheTextFitsOnOneLine) {
    // "aaaa bbbb" is 72 wide. Trials 34 and 34 + 22 = 56 wrap it onto two
    // lines; 56 + 22 = 78 holds it: 78 + 6 = 84 = 40 + 2 * 22.
    CTblOb ob("aaaa bbbb");
    EXPECT_EQ(LayoutTestAccess::CalcRectSize(ob, &dc, CSize(40, 22), CSize(200, 110)), CSize(84, 22));
    EXPECT_EQ(ob.GetTextHeight(), 16);
}

TEST_F(CalcRectSizeTest, WrapsAtTheLastTrialWidthWhenNoneHoldsOneLine) {
    // Maximum 84: inner trials 34, 56, 78. At 78 the text breaks into
    // "aaaa bbbb" (72) and "cccc dddd": two lines, 32 high, 72 wide.
    CTblOb ob("aaaa bbbb cccc dddd");
    EXPECT_EQ(LayoutTestAccess::CalcRectSize(ob, &dc, CSize(40, 22), CSize(84, 110)), CSize(72 + 6, 32 + 6));
    EXPECT_EQ(ob.GetTextHeight(), 32);
}

TEST_F(CalcRectSizeTest, CutsTheHeightAtTheMaximum) {
    // As above, but the maximum height 30 leaves 24 inside: 32 is cut to 24.
    CTblOb ob("aaaa bbbb cccc dddd");
    EXPECT_EQ(LayoutTestAccess::CalcRectSize(ob, &dc, CSize(40, 22), CSize(84, 30)), CSize(78, 30));
}

TEST_F(CalcRectSizeTest, TwipsSurfaceGivesTheSamePositiveSizes) {
    CTblOb one("aaaa bbbb");
    CTblOb two("aaaa bbbb cccc dddd");
    EXPECT_EQ(LayoutTestAccess::CalcRectSize(one, &twips, CSize(40, 22), CSize(200, 110)), CSize(84, 22));
    EXPECT_EQ(LayoutTestAccess::CalcRectSize(two, &twips, CSize(40, 22), CSize(84, 110)), CSize(78, 38));
    // The text height keeps the surface's sign.
    EXPECT_EQ(one.GetTextHeight(), -16);
    EXPECT_EQ(two.GetTextHeight(), -32);
}

TEST_F(CalcRectSizeTest, NoTrialKeepsTheEarlierTextHeight) {
    // Minimum wider than maximum: nothing is measured; width 0 is raised to
    // the inner minimum 94, and the height comes from the last measurement.
    CTblOb ob("abc");
    LayoutTestAccess::SetTextHeight(ob, 48);
    EXPECT_EQ(LayoutTestAccess::CalcRectSize(ob, &dc, CSize(100, 22), CSize(50, 110)), CSize(94 + 6, 48 + 6));
    EXPECT_EQ(ob.GetTextHeight(), 48);
}

TEST_F(CalcRectSizeTest, MeasuringBeforeAnyLayoutMakesOneTrial) {
    // Before the first layout the metrics are 0: the search must not loop on
    // a step of 0. One trial at 10 wraps "aaaa bbbb" onto two lines, the
    // widest 32; the height 32 is under the maximum 100.
    MetricsScope none(0, 0);
    CTblOb ob("aaaa bbbb");
    EXPECT_EQ(LayoutTestAccess::CalcRectSize(ob, &dc, CSize(10, 16), CSize(500, 100)), CSize(32, 32));
}

// ---------------------------------------------------------------------------
// Cells.

class CellSizeTest : public SizingTest {
protected:
    layout_test::QuietHost quiet;  // default separators: "," and "."
};

TEST_F(CellSizeTest, FormatsADirtyCellAndRaisesTheMinimumToItsLongestWord) {
    kavo::CFormat fmt("Default");
    CTblCell cell(1234567);
    cell.SetFormat(&fmt);
    // "1,234,567" is 72 wide: the minimum width 22 becomes 72, the inner
    // trial width 66. The word is wider than the trial but on one line: (66, 16).
    EXPECT_EQ(cell.CalcRectSize(&dc, CSize(22, 22), CSize(660, 110)), CSize(72, 22));
    EXPECT_EQ(cell.GetText(), "1,234,567");
    EXPECT_FALSE(cell.IsDirty());
}

TEST_F(CellSizeTest, SearchesFromTheLongestWord) {
    kavo::CFormat fmt("Spaced");
    fmt.m_strThousandSep = " ";
    CTblCell cell(1234567);
    cell.SetFormat(&fmt);
    // "1 234 567" (72 wide), longest word 24: inner trials 18, 40, 62 wrap it;
    // 84 holds it on one line: 84 + 6 = 90.
    EXPECT_EQ(cell.CalcRectSize(&dc, CSize(22, 22), CSize(660, 110)), CSize(90, 22));
}

TEST_F(CellSizeTest, CleanCellIsNotFormattedAgain) {
    kavo::CFormat fmt("Default");
    CTblCell cell(5);
    cell.SetFormat(&fmt);
    cell.Format();
    cell.SetText("abcdefghij");  // 80 wide: kept because the cell is not dirty
    EXPECT_EQ(cell.CalcRectSize(&dc, CSize(22, 22), CSize(660, 110)), CSize(80, 22));
    EXPECT_EQ(cell.GetText(), "abcdefghij");
}

// ---------------------------------------------------------------------------
// Fonts of styles.

class LoadFontTest : public SizingTest {
protected:
    kavo::CStyle style{"Cyrillic"};
    void SetUp() override {
        style.m_logFont = layout_test::MakeFont(-16, "Arial", kavo::RUSSIAN_CHARSET);
        style.m_nTwipsHeight = 240;
    }
};

TEST_F(LoadFontTest, NoStyleOrNoFontMakesNoFont) {
    kavo::CFont font;
    CTblOb noStyle("x");
    EXPECT_EQ(noStyle.LoadFont(&dc, font), 0);
    kavo::CStyle empty("Empty");
    CTblOb noFont("x", &empty);
    EXPECT_EQ(noFont.LoadFont(&dc, font), 0);
    EXPECT_FALSE(font.IsCreated());
}

TEST_F(LoadFontTest, ScreenFontIsTheStyleFontUnchanged) {
    kavo::CFont font;
    CTblOb ob("x", &style);
    ASSERT_EQ(ob.LoadFont(&dc, font), 1);
    EXPECT_EQ(font.GetLogFont().lfHeight, -16);
    EXPECT_STREQ(font.GetLogFont().lfFaceName, "Arial");
}

TEST_F(LoadFontTest, TwipsFontTakesTheTwipsHeightAndTheCyrillicFace) {
    kavo::CFont font;
    CTblOb ob("x", &style);
    ASSERT_EQ(ob.LoadFont(&twips, font), 1);
    EXPECT_EQ(font.GetLogFont().lfHeight, 240);
    EXPECT_STREQ(font.GetLogFont().lfFaceName, "Arial Cyr");
    // The style itself is not changed.
    EXPECT_STREQ(style.m_logFont.lfFaceName, "Arial");

    style.m_logFont.lfCharSet = kavo::ANSI_CHARSET;
    kavo::CFont ansi;
    ASSERT_EQ(ob.LoadFont(&twips, ansi), 1);
    EXPECT_STREQ(ansi.GetLogFont().lfFaceName, "Arial");
}

TEST_F(LoadFontTest, LongFaceNameIsCutAndStaysTerminated) {
    kavo::CFont font;
    CTblOb ob("x", &style);
    // 29 bytes leave room for two of the four suffix bytes within 31.
    const std::string face29 = layout_test::Word(29, 'F');
    std::strcpy(style.m_logFont.lfFaceName, face29.c_str());
    ASSERT_EQ(ob.LoadFont(&twips, font), 1);
    EXPECT_EQ(std::string(font.GetLogFont().lfFaceName, 31), face29 + " C");
    EXPECT_EQ(font.GetLogFont().lfFaceName[31], '\0');

    // A record filled to all 32 bytes without a terminator keeps 31 of them.
    std::memset(style.m_logFont.lfFaceName, 'G', sizeof style.m_logFont.lfFaceName);
    kavo::CFont full;
    ASSERT_EQ(ob.LoadFont(&twips, full), 1);
    EXPECT_EQ(full.GetLogFont().lfFaceName[31], '\0');
    EXPECT_EQ(std::strlen(full.GetLogFont().lfFaceName), 31u);
}

// ---------------------------------------------------------------------------
// The column tree.

using ColumnSizingTest = SizingTest;

TEST_F(ColumnSizingTest, InitSizeGivesSpannersLimitsAndKeepsThoseOfDataColumns) {
    CTblColumn root;
    CTblColumn* pSpanner = Spanner("Residence area", CSize(0, 0), CRect(7, 7, 9, 9));
    CTblColumn* pData = DataColumn("Urban", 50);
    LayoutTestAccess::SetPos(*pData, CRect(5, 5, 500, 500));
    pSpanner->AddChild(pData);
    root.AddChild(pSpanner);
    root.InitSize(&dc);

    // Longest word "Residence" is 72: minimum (72 + 6, 22), maximum (5 * 78, 30 * 22).
    EXPECT_EQ(pSpanner->GetMinSize(), CSize(78, 22));
    EXPECT_EQ(pSpanner->GetMaxSize(), CSize(390, 660));
    // "Residence area" is 112 wide: inner trials 72 and 94 wrap it, 116 holds it.
    EXPECT_EQ(pSpanner->GetPos(), CRect(0, 0, 122, 22));
    // The data column keeps (50, 22) to (50, 660); its old box is gone.
    EXPECT_EQ(pData->GetMinSize(), CSize(50, 22));
    EXPECT_EQ(pData->GetMaxSize(), CSize(50, 660));
    EXPECT_EQ(pData->GetPos(), CRect(0, 0, 50, 22));
}

TEST_F(ColumnSizingTest, SpannerTakesTheWidthOfItsColumns) {
    CTblColumn root;
    CTblColumn* pSpanner = Spanner("Area", CSize(38, 22), CRect(0, 0, 38, 22));
    pSpanner->AddChild(DataColumn("Urban", 50));
    pSpanner->AddChild(DataColumn("Rural", 50));
    root.AddChild(pSpanner);
    // "Area" is re-wrapped at 50 + 50: one line.
    EXPECT_EQ(LayoutTestAccess::CalcLayoutSize(*pSpanner, &dc), CSize(100, 22));
    EXPECT_EQ(pSpanner->GetPos(), CRect(0, 0, 100, 22));
}

TEST_F(ColumnSizingTest, CaptionWiderThanItsColumnsWidensThemAndWrapsAtTheirWidth) {
    // "aaaa bbbb": minimum 4 * 8 + 6 = 38, box 82 wide after InitSize. The
    // columns add up to 60 < 82: the spanner is adjusted to max(38, 60) = 60,
    // each column keeps 30, and the caption wraps at 54 inside: two lines.
    CTblColumn* pSpanner = Spanner("aaaa bbbb", CSize(38, 22), CRect(0, 0, 82, 22));
    pSpanner->AddChild(DataColumn("", 30));
    pSpanner->AddChild(DataColumn("", 30));
    CTblColumn root;
    root.AddChild(pSpanner);
    EXPECT_EQ(LayoutTestAccess::CalcLayoutSize(*pSpanner, &dc), CSize(60, 32 + 6));
    EXPECT_EQ(pSpanner->GetChild(0)->Width(), 30);
    EXPECT_EQ(pSpanner->GetChild(1)->Width(), 30);
}

TEST_F(ColumnSizingTest, SpannerOfMinimumFortyOverThirtyOneSharesOutItsWidth) {
    // Columns 10, 10 and 11 add up to 31 under a 45-wide spanner of minimum
    // 40: adjusted to 40, per = 40 / 3 = 13, the columns become 13, 13, 13;
    // the total 39 falls 1 short and the first column takes it: 14.
    CTblColumn* pSpanner = Spanner("", CSize(40, 22), CRect(0, 0, 45, 22));
    pSpanner->AddChild(DataColumn("", 10));
    pSpanner->AddChild(DataColumn("", 10));
    pSpanner->AddChild(DataColumn("", 11));
    CTblColumn root;
    root.AddChild(pSpanner);
    EXPECT_EQ(LayoutTestAccess::CalcLayoutSize(*pSpanner, &dc).cx, 40);
    EXPECT_EQ(pSpanner->GetChild(0)->Width(), 14);
    EXPECT_EQ(pSpanner->GetChild(1)->Width(), 13);
    EXPECT_EQ(pSpanner->GetChild(2)->Width(), 13);
    EXPECT_EQ(pSpanner->SpannedWidth(), 40);
}

TEST_F(ColumnSizingTest, NestedSpannerGetsTheShareOfAllItsColumns) {
    // S (minimum 90) over T (over a, b of 10) and c (10): the columns add up
    // to 30 < 95, so S is adjusted to 90 with per = 90 / 3 = 30. T's target
    // is max(30 * 2, 20) = 60, shared as 30 and 30; c gets max(30, 10) = 30.
    CTblColumn* pS = Spanner("", CSize(90, 22), CRect(0, 0, 95, 22));
    CTblColumn* pT = Spanner("", CSize(0, 22), CRect(0, 0, 20, 22));
    pT->AddChild(DataColumn("", 10));
    pT->AddChild(DataColumn("", 10));
    pS->AddChild(pT);
    pS->AddChild(DataColumn("", 10));
    CTblColumn root;
    root.AddChild(pS);
    LayoutTestAccess::CalcLayoutSize(*pS, &dc);
    EXPECT_EQ(pS->Width(), 90);
    EXPECT_EQ(pT->Width(), 60);
    EXPECT_EQ(pT->GetChild(0)->Width(), 30);
    EXPECT_EQ(pT->GetChild(1)->Width(), 30);
    EXPECT_EQ(pS->GetChild(1)->Width(), 30);
}

TEST_F(ColumnSizingTest, ColumnWiderThanItsShareKeepsItsWidthAndWidensTheSpanner) {
    // Adjusted to 40 over columns 30 and 5: per = 20, the columns become
    // max(20, 30) = 30 and max(20, 5) = 20; their total 50 widens the spanner.
    CTblColumn* pSpanner = Spanner("", CSize(40, 22), CRect(0, 0, 50, 22));
    pSpanner->AddChild(DataColumn("", 30));
    pSpanner->AddChild(DataColumn("", 5));
    LayoutTestAccess::AdjustWidth(*pSpanner, &dc, 40);
    EXPECT_EQ(pSpanner->GetChild(0)->Width(), 30);
    EXPECT_EQ(pSpanner->GetChild(1)->Width(), 20);
    EXPECT_EQ(pSpanner->Width(), 50);
    delete pSpanner;
}

TEST_F(ColumnSizingTest, AdjustWidthOfADataColumnRewrapsItsCaption) {
    // A data column alone: no share to compute; the caption "aaaa bbbb" is
    // re-wrapped at 40 (34 inside): two lines.
    CTblColumn* pData = DataColumn("aaaa bbbb", 20);
    LayoutTestAccess::AdjustWidth(*pData, &dc, 40);
    EXPECT_EQ(pData->GetPos(), CRect(0, 0, 40, 38));
    delete pData;
}

TEST_F(ColumnSizingTest, SpannedExtentsFollowTheTallestChainByMagnitude) {
    // root (empty) -> S (22) -> a (30), b (44); root -> c (22).
    CTblColumn root;
    CTblColumn* pS = Spanner("", CSize(0, 22), CRect(0, 0, 999, 22));
    pS->AddChild(DataColumn("", 10, 30));
    pS->AddChild(DataColumn("", 20, 44));
    root.AddChild(pS);
    root.AddChild(DataColumn("", 40, 22));
    // Widths of data columns only: 10 + 20 + 40; the spanner's 999 is ignored.
    EXPECT_EQ(root.SpannedWidth(), 70);
    // S: 22 + 44 = 66 beats c's 22.
    EXPECT_EQ(root.SpannedHeight(), 66);
    root.IHateTwips();
    EXPECT_EQ(root.SpannedHeight(), -66);
}

TEST_F(ColumnSizingTest, SpannedHeightTakesTheFirstOfEqualChains) {
    CTblColumn root;
    CTblColumn* pS = Spanner("", CSize(0, 10), CRect(0, 0, 10, 10));
    pS->AddChild(DataColumn("", 10, 30));
    root.AddChild(pS);  // 10 + 30 = 40
    CTblColumn* pFlipped = DataColumn("", 10);
    LayoutTestAccess::SetPos(*pFlipped, CRect(0, 40, 10, 0));  // -40: as tall, other sign
    root.AddChild(pFlipped);
    LayoutTestAccess::SetPos(root, CRect(0, 0, 0, 5));
    EXPECT_EQ(root.SpannedHeight(), 5 + 40);
}

TEST_F(ColumnSizingTest, LevelHeightsMakeEveryLevelAsTallAsItsTallestColumn) {
    // Level 1: S (22) and c (44); level 2: a (30) and b (20).
    CTblColumn root;
    CTblColumn* pS = Spanner("", CSize(0, 22), CRect(0, 0, 30, 22));
    CTblColumn* pA = DataColumn("", 10, 30);
    CTblColumn* pB = DataColumn("", 20, 20);
    CTblColumn* pC = DataColumn("", 40, 44);
    pS->AddChild(pA);
    pS->AddChild(pB);
    root.AddChild(pS);
    root.AddChild(pC);
    kavo::CArray<int, int> levels;
    levels.SetSize(root.GetDepth(0) + 1);
    ASSERT_EQ(levels.GetSize(), 3);
    root.GetColumnLvlHeights(levels, 0);
    EXPECT_EQ(levels[0], 0);
    EXPECT_EQ(levels[1], 44);
    EXPECT_EQ(levels[2], 30);
    root.AlignColumnLvlHeights(levels, 0);
    EXPECT_EQ(pS->Height(), 44);
    EXPECT_EQ(pC->Height(), 44);
    EXPECT_EQ(pA->Height(), 30);
    EXPECT_EQ(pB->Height(), 30);
}

TEST_F(ColumnSizingTest, LevelArrayTooShortIsLeftAlone) {
    CTblColumn root;
    CTblColumn* pS = Spanner("", CSize(0, 22), CRect(0, 0, 30, 22));
    pS->AddChild(DataColumn("", 10, 30));
    root.AddChild(pS);
    kavo::CArray<int, int> levels;
    levels.SetSize(2);  // one level short
    root.GetColumnLvlHeights(levels, 0);
    root.AlignColumnLvlHeights(levels, 0);
    EXPECT_EQ(levels[1], 22);
    EXPECT_EQ(pS->GetChild(0)->Height(), 30);
}

TEST_F(ColumnSizingTest, FlushColumnsExtendsDataColumnsOnly) {
    CTblColumn root;
    CTblColumn* pS = Spanner("", CSize(0, 22), CRect(0, 0, 30, 22));
    CTblColumn* pA = DataColumn("", 10, 30);
    pS->AddChild(pA);
    root.AddChild(pS);
    CTblColumn* pC = DataColumn("", 40, 44);
    root.AddChild(pC);
    LayoutTestAccess::FlushColumns(root, 200);
    EXPECT_EQ(pA->Bottom(), 200);
    EXPECT_EQ(pC->Bottom(), 200);
    EXPECT_EQ(pS->Bottom(), 22);
}

// ---------------------------------------------------------------------------
// The row tree.

using RowSizingTest = SizingTest;

TEST_F(RowSizingTest, InitSizeGivesEveryRowTheStubLimits) {
    CTblRow root;
    CTblRow* pGroup = Row("Group");
    CTblRow* pData = Row("Data");
    LayoutTestAccess::SetLimits(*pData, CSize(5, 5), CSize(5, 5));
    LayoutTestAccess::SetPos(*pData, CRect(1, 2, 3, 4));
    pGroup->AddChild(pData);
    root.AddChild(pGroup);
    root.InitSize(&dc, 200);
    for (const CTblRow* p : {static_cast<const CTblRow*>(&root), static_cast<const CTblRow*>(pGroup),
                             static_cast<const CTblRow*>(pData)}) {
        EXPECT_EQ(p->GetMinSize(), CSize(0, 22));
        EXPECT_EQ(p->GetMaxSize(), CSize(200, 660));
        EXPECT_EQ(p->GetPos(), CRect());
    }
}

TEST_F(RowSizingTest, RowsAreAsWideAsTheStubLessTheirIndentation) {
    // Levels -1 (root), 0, 1, 2: indentation 0, 0, 15, 30 (5 * m per level).
    CTblRow root;
    CTblRow* p0 = Row("Total");
    CTblRow* p1 = Row("Urban");
    CTblRow* p2 = Row("North");
    p1->AddChild(p2);
    p0->AddChild(p1);
    root.AddChild(p0);
    root.InitSize(&dc, 200);
    LayoutTestAccess::CalcLayoutSize(root, &dc, -1);
    EXPECT_EQ(root.GetPos(), CRect(0, 0, 200, 22));
    EXPECT_EQ(p0->GetPos(), CRect(0, 0, 200, 22));
    EXPECT_EQ(p1->GetPos(), CRect(0, 0, 185, 22));
    EXPECT_EQ(p2->GetPos(), CRect(0, 0, 170, 22));
}

TEST_F(RowSizingTest, CaptionWiderThanTheStubWrapsDownward) {
    // Stub 60 (54 inside): "aaaa bbbb cccc" breaks into three lines of 16.
    CTblRow root;
    CTblRow* pRow = Row("aaaa bbbb cccc");
    root.AddChild(pRow);
    root.InitSize(&dc, 60);
    LayoutTestAccess::CalcLayoutSize(root, &dc, -1);
    EXPECT_EQ(pRow->GetPos(), CRect(0, 0, 60, 3 * 16 + 6));
}

TEST_F(RowSizingTest, CaptionIsCutAtThirtyLineHeights) {
    // Fifty one-byte words at a width of 8 inside: fifty lines, 800 high; the
    // maximum 30 * 22 = 660 leaves 654 inside: the box is 660 high.
    std::string text;
    for (int i = 0; i < 50; ++i) text += i ? " x" : "x";
    CTblRow root;
    CTblRow* pRow = Row(text.c_str());
    root.AddChild(pRow);
    root.InitSize(&dc, 14);
    LayoutTestAccess::CalcLayoutSize(root, &dc, -1);
    EXPECT_EQ(pRow->Height(), 660);
}

TEST_F(RowSizingTest, WidestSingleLineRowCountsIndentation) {
    // "Total" at level 0: 40; "Urban areas" at level 1: 88 + 15 = 103;
    // an empty caption at level 2: 30.
    CTblRow root;
    CTblRow* pTotal = Row("Total");
    CTblRow* pUrban = Row("Urban areas");
    pUrban->AddChild(Row(""));
    pTotal->AddChild(pUrban);
    root.AddChild(pTotal);
    EXPECT_EQ(LayoutTestAccess::GetWidestSingleLineRow(root, &dc, -1), 103);

    // Deep empty captions: "A" is 8, but the level-3 caption is indented by 45.
    CTblRow deep;
    CTblRow* pA = Row("A");
    CTblRow* pB = Row("");
    CTblRow* pC = Row("");
    pC->AddChild(Row(""));
    pB->AddChild(pC);
    pA->AddChild(pB);
    deep.AddChild(pA);
    EXPECT_EQ(LayoutTestAccess::GetWidestSingleLineRow(deep, &dc, -1), 45);
}

TEST_F(RowSizingTest, SpannedExtentsOfRows) {
    CTblRow root;
    CTblRow* pGroup = Row("");
    CTblRow* pA = Row("");
    CTblRow* pB = Row("");
    LayoutTestAccess::SetPos(*pGroup, CRect(0, 0, 100, 20));
    LayoutTestAccess::SetPos(*pA, CRect(0, 0, 130, 30));
    LayoutTestAccess::SetPos(*pB, CRect(0, 0, 90, 40));
    pGroup->AddChild(pA);
    pGroup->AddChild(pB);
    root.AddChild(pGroup);
    // Width: the widest row anywhere; height: every row's height added up.
    EXPECT_EQ(root.SpannedWidth(), 130);
    EXPECT_EQ(root.SpannedHeight(), 20 + 30 + 40);
}

}  // namespace
