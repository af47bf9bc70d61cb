// The viewer's controller without a window: scrolling under the frozen
// parts, clicks that select blocks, the status and clipboard texts, and
// saving the selection. Laid out on the fixed-pitch recording surface (8
// units a byte, 16 a line: margin 3, line height 22).
#include <gtest/gtest.h>

#ifdef KAVOTBL_HAVE_VIEWER

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "kavotbl/host/recording_dc.h"
#include "layout_test_support.h"
#include "view_controller.h"

namespace {

using kavo::CRecordingDC;
using layout_test::LoadedTable;
using layout_test::LoadTable;
using kavo::viewer::BlockRange;
using kavo::viewer::ScrollKey;
using kavo::viewer::ViewController;

const char* const kTable = R"([Format]
Label=Pct
Decimals=1

[Table]
Size=3, 3
Name=Small

[Title]
Text=Households & size

[StubHead]
Text=Size

[Column]
Text=Total

[ColumnGroup]
Text=Residence

[Column]
Text=Urban

[Column]
Text=Rural <x>
CellFormat=Pct
[EndGroup]

[RowGroup]
Text=Private

[Row]
Text=One
Data=1200, 800, 400

[Row]
Text=Two
Data=950, 600, 350
[EndGroup]

[Row]
Text=All
Data=2150, 1400, 750
)";

struct ViewerTest : ::testing::Test {
    std::unique_ptr<LoadedTable> t = LoadTable(kTable);
    CRecordingDC dc;
    ViewController view{t->table};
    kavo::CTable& table = t->table;

    void SetUp() override { ASSERT_EQ(t->result, 1); }
    static kavo::CPoint Center(const kavo::CTblOb* p) {
        return kavo::CPoint((p->Left() + p->Right()) / 2, (p->Top() + p->Bottom()) / 2);
    }
    bool ClickOn(const kavo::CTblOb* p, bool bExtend = false) {
        const kavo::CPoint pt = Center(p);
        return view.Click(pt.x, pt.y, bExtend);
    }
    void ExpectBlock(int r0, int c0, int r1, int c1) {
        const BlockRange& s = view.Selection();
        EXPECT_EQ(s.nRow0, r0);
        EXPECT_EQ(s.nCol0, c0);
        EXPECT_EQ(s.nRow1, r1);
        EXPECT_EQ(s.nCol1, c1);
        for (int r = 0; r < table.GetNumDataRows(); ++r)
            for (int c = 0; c < table.GetNumDataColumns(); ++c)
                EXPECT_EQ(table.GetCell(r, c)->IsBlocked() != 0, r >= r0 && r <= r1 && c >= c0 && c <= c1)
                    << "cell " << r << "," << c;
    }
};

TEST_F(ViewerTest, ScrollsTheBodyUnderTheFrozenPartsAndKeepsThePlaceAcrossLayouts) {
    view.Layout(&dc, 150, 120);
    const int nColLeft = table.GetColumn(0)->Left(), nRowTop = table.GetRow(2)->Top();
    const kavo::CRect title = table.GetTitle()->GetPos(), stub = table.GetStubHead()->GetPos();
    ASSERT_GT(view.MaxScrollX(), 0);
    ASSERT_GT(view.MaxScrollY(), 0);
    EXPECT_EQ(view.MaxScrollX(), table.Size().cx - 150);
    EXPECT_EQ(view.MaxScrollY(), table.Size().cy - 120);
    EXPECT_FALSE(view.ScrollKeyPressed(ScrollKey::Up));  // at the top already

    EXPECT_TRUE(view.ScrollKeyPressed(ScrollKey::CtrlEnd));
    EXPECT_EQ(view.ScrollX(), view.MaxScrollX());
    EXPECT_EQ(view.ScrollY(), view.MaxScrollY());
    EXPECT_EQ(table.GetColumn(0)->Left(), nColLeft - view.MaxScrollX());
    EXPECT_EQ(table.GetRow(2)->Top(), nRowTop - view.MaxScrollY());
    EXPECT_EQ(table.GetTitle()->GetPos(), title);
    EXPECT_EQ(table.GetStubHead()->GetPos(), stub);
    EXPECT_FALSE(view.ScrollKeyPressed(ScrollKey::PageDown));  // at the far corner

    EXPECT_TRUE(view.ScrollKeyPressed(ScrollKey::Home));
    EXPECT_EQ(view.ScrollX(), 0);
    EXPECT_EQ(view.ScrollY(), view.MaxScrollY());
    EXPECT_TRUE(view.ScrollKeyPressed(ScrollKey::CtrlHome));
    EXPECT_TRUE(view.ScrollKeyPressed(ScrollKey::Down));
    EXPECT_EQ(view.ScrollY(), std::min(22, view.MaxScrollY()));
    EXPECT_FALSE(view.ScrollTo(-5, -5) && view.ScrollX() != 0);
    EXPECT_EQ(view.ScrollY(), 0);

    // A new layout at the same width scrolls the fresh boxes to the same place.
    view.ScrollTo(4, 3);
    view.Layout(&dc, 150, 120);
    EXPECT_EQ(view.ScrollX(), 4);
    EXPECT_EQ(view.ScrollY(), 3);
    EXPECT_EQ(table.GetColumn(0)->Left(), nColLeft - 4);
    EXPECT_EQ(table.GetRow(2)->Top(), nRowTop - 3);
    // A window large enough for the whole table has nothing to scroll.
    view.Layout(&dc, 2000, 2000);
    EXPECT_EQ(view.ScrollX(), 0);
    EXPECT_EQ(view.ScrollY(), 0);
    EXPECT_EQ(view.MaxScrollX(), 0);
}

TEST_F(ViewerTest, ClicksSelectTheElementAndEverythingUnderIt) {
    view.Layout(&dc, 600, 400);
    const kavo::CTblOb* pSpanner = table.GetColumn(1)->GetParent();
    EXPECT_TRUE(ClickOn(pSpanner));
    ExpectBlock(0, 1, 2, 2);
    EXPECT_TRUE(pSpanner->IsBlocked());
    EXPECT_FALSE(table.GetColumn(0)->IsBlocked());

    EXPECT_TRUE(ClickOn(table.GetRow(0)->GetParent()));  // the caption "Private"
    ExpectBlock(0, 0, 1, 2);

    // A cell, then Shift+click on another: the block between them.
    EXPECT_TRUE(ClickOn(table.GetCell(2, 2)));
    ExpectBlock(2, 2, 2, 2);
    EXPECT_TRUE(ClickOn(table.GetCell(0, 1), true));
    ExpectBlock(0, 1, 2, 2);
    // Shift+click on a data column widens the columns from the anchor's.
    EXPECT_TRUE(ClickOn(table.GetColumn(0), true));
    ExpectBlock(0, 0, 2, 2);

    EXPECT_TRUE(ClickOn(table.GetTitle()));
    ExpectBlock(0, 0, 2, 2);
    EXPECT_TRUE(table.GetTitle()->IsBlocked());

    EXPECT_TRUE(view.Click(590, 390, false));  // below and right of everything
    EXPECT_TRUE(view.Selection().IsEmpty());
    EXPECT_FALSE(table.IsBlocked());
    EXPECT_FALSE(pSpanner->IsBlocked());
    EXPECT_FALSE(table.GetTitle()->IsBlocked());
    EXPECT_FALSE(view.Click(590, 390, false));  // nothing changes

    EXPECT_TRUE(view.Select(BlockRange{1, 1, 9, 9}));  // clamped to the table
    ExpectBlock(1, 1, 2, 2);
    EXPECT_FALSE(view.Select(BlockRange{5, 5, 9, 9}));
}

TEST_F(ViewerTest, StatusNamesTheCaptionsTheValueAndTheShownText) {
    view.Layout(&dc, 600, 400);
    const kavo::CPoint pt = Center(table.GetCell(0, 2));
    EXPECT_EQ(view.StatusText(pt.x, pt.y),
              "Row: Private / One  |  Column: Residence / Rural <x>  |  Value: 400  |  Shown: \"40.0\"");
    const kavo::CPoint sp = Center(table.GetColumn(1)->GetParent());
    EXPECT_EQ(view.StatusText(sp.x, sp.y), "Spanner: Residence  (data columns 2 to 3)");
    EXPECT_EQ(view.StatusText(590, 390), "");
}

TEST_F(ViewerTest, ClipboardTextsHoldTheBlockWithItsHeadingsAndCaptions) {
    view.Layout(&dc, 600, 400);
    EXPECT_EQ(view.SelectionAsTsv(), "");
    view.SelectAll();
    EXPECT_EQ(view.SelectionAsTsv(),
              "\t\tResidence\t\n"
              "Size\tTotal\tUrban\tRural <x>\n"
              "Private\n"
              "One\t1,200\t800\t40.0\n"
              "Two\t950\t600\t35.0\n"
              "All\t2,150\t1,400\t75.0\n");

    // A caption above the block's first row comes along; spanners merge.
    ASSERT_TRUE(view.Select(BlockRange{1, 1, 2, 2}));
    EXPECT_EQ(view.SelectionAsTsv(),
              "\tResidence\t\n"
              "Size\tUrban\tRural <x>\n"
              "Private\n"
              "Two\t600\t35.0\n"
              "All\t1,400\t75.0\n");
    const std::string html = view.SelectionAsHtml();
    EXPECT_NE(html.find("<tr><th></th><th colspan=\"2\">Residence</th></tr>"), std::string::npos) << html;
    EXPECT_NE(html.find("<th>Rural &lt;x&gt;</th>"), std::string::npos) << html;
    EXPECT_NE(html.find(">Private</th></tr>"), std::string::npos) << html;
    EXPECT_NE(html.find(">Two</th><td style=\"text-align:right\">600</td>"), std::string::npos) << html;
    EXPECT_EQ(html.find("Households"), std::string::npos);
    EXPECT_EQ(html.find("One"), std::string::npos);
}

TEST_F(ViewerTest, SavedSelectionLoadsAsATableOfTheBlock) {
    char dir[] = "/tmp/kavotbl-viewer-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/part.tbl";
    view.Layout(&dc, 600, 400);
    std::string error;
    EXPECT_EQ(view.SaveSelection(path, error), 0);
    EXPECT_EQ(error, "nothing is selected");
    EXPECT_NE(access(path.c_str(), F_OK), 0);

    ASSERT_TRUE(view.Select(BlockRange{1, 1, 2, 2}));
    ASSERT_EQ(view.SaveSelection(path, error), 1) << error;
    {
        const auto guard = std::make_unique<LoadedTable>();  // regional settings fixed
        kavo::CTableDocument doc;
        ASSERT_EQ(doc.LoadFile(path.c_str()), 1);
        ASSERT_EQ(doc.GetNumTables(), 1);
        const kavo::CTable& part = *doc.GetTable(0);
        ASSERT_EQ(part.GetNumDataRows(), 2);
        ASSERT_EQ(part.GetNumDataColumns(), 2);
        EXPECT_EQ(part.GetColumn(1)->GetText().str(), "Rural <x>");
        EXPECT_EQ(part.GetColumn(1)->GetParent()->GetText().str(), "Residence");
        EXPECT_EQ(part.GetRow(0)->GetParent()->GetText().str(), "Private");
        EXPECT_EQ(part.GetCellData(0, 0), 600);
        EXPECT_EQ(part.GetCellData(1, 1), 750);
        part.GetCell(1, 1)->Format();  // the column's format came along
        EXPECT_EQ(part.GetCell(1, 1)->GetText().str(), "75.0");
    }
    // A folder that does not exist: a reason, and nothing left behind.
    EXPECT_EQ(view.SaveSelection(std::string(dir) + "/no/such.tbl", error), 0);
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    std::remove(path.c_str());
    rmdir(dir);
}

TEST_F(ViewerTest, ASpannerPartlyScrolledAwayKeepsItsCaptionInView) {
    view.Layout(&dc, 90, 300);
    kavo::CTblOb* pSpanner = table.GetColumn(1)->GetParent();
    const int nStub = table.RowSize().cx;
    // Scroll until the spanner's left edge lies under the stub.
    const int dx = pSpanner->Left() - nStub + 10;
    ASSERT_LE(dx, view.MaxScrollX());
    ASSERT_TRUE(view.ScrollTo(dx, 0));
    ASSERT_LT(pSpanner->Left(), nStub);
    ASSERT_GT(pSpanner->Right(), nStub);
    const kavo::CRect box = pSpanner->GetPos();
    dc.ClearCalls();
    view.Draw(&dc);
    bool bFound = false;
    for (const kavo::CDCCall& c : dc.GetCalls())
        if (c.kind == kavo::CDCCall::DrawText && c.text.str() == "Residence") {
            bFound = true;
            EXPECT_GE(c.rect.left, nStub);  // inside the part still in view
        }
    EXPECT_TRUE(bFound);
    EXPECT_EQ(pSpanner->GetPos(), box);  // the layout is as it was
}

}  // namespace

#else

TEST(ViewerTest, Skipped) { GTEST_SKIP() << "built without the viewer"; }

#endif
