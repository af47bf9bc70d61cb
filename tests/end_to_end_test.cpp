// A table's whole life as a host drives it: load an example file, lay it out
// for a window, scroll, hit-test, block, draw, print every page, come back
// to the screen, prepare the RTF grid, save the block and load it again.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/table.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/rtf/rtf_row.h"
#include "kavotbl/style/registry.h"

using namespace kavo;

namespace {

std::vector<const CDCCall*> Calls(const CRecordingDC& dc, CDCCall::Kind kind) {
    std::vector<const CDCCall*> out;
    for (const CDCCall& c : dc.GetCalls())
        if (c.kind == kind) out.push_back(&c);
    return out;
}

CPoint Centre(const CTblOb* ob) {
    const CRect& rc = ob->GetPos();
    return CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

// Every box of the table, in a fixed order, to compare two layouts.
std::vector<CRect> Boxes(CTable& t) {
    std::vector<CRect> out = {t.GetTitle()->GetPos(), t.GetStubHead()->GetPos(), t.GetHeader()->GetPos(),
                              t.GetFooter()->GetPos()};
    std::vector<const CRowColOb*> stack = {t.GetColumnRoot(), t.GetRowRoot()};
    while (!stack.empty()) {
        const CRowColOb* n = stack.back();
        stack.pop_back();
        out.push_back(n->GetPos());
        for (int i = 0; i < n->GetNumChildren(); ++i) stack.push_back(n->GetChildAt(i));
    }
    for (int r = 0; r < t.GetNumDataRows(); ++r)
        for (int c = 0; c < t.GetNumDataColumns(); ++c) out.push_back(t.GetCell(r, c)->GetPos());
    return out;
}

bool OnPage(const CTblOb* ob, int page) {
    for (int i = 0; i < ob->GetNumPages(); ++i)
        if (ob->GetPage(i) == page) return true;
    return ob->GetNumPages() == 0;
}

// Draws every page: each draws the title, the stub head, and exactly the
// columns, rows and cells whose page lists name it; nothing is shaded or
// clipped on paper; every cell is on exactly one page.
void DrawEveryPage(CTable& t, CRecordingDC& printer, const CRect& paper) {
    const int nRows = t.GetNumDataRows(), nCols = t.GetNumDataColumns();
    std::vector<int> cellPages(static_cast<std::size_t>(t.GetNumPages()), 0);
    for (int r = 0; r < nRows; ++r)
        for (int c = 0; c < nCols; ++c) {
            EXPECT_EQ(t.GetCell(r, c)->GetNumPages(), 1);
            if (t.GetCell(r, c)->GetNumPages() != 1) continue;
            ++cellPages[static_cast<std::size_t>(t.GetCell(r, c)->GetPage(0))];
        }
    int nCellsPlaced = 0;
    for (int page = 0; page < t.GetNumPages(); ++page) {
        printer.ClearCalls();
        t.Draw(&printer, paper, page);
        std::multiset<std::string> drawn;
        for (const CDCCall* d : Calls(printer, CDCCall::DrawText)) drawn.insert(d->text.str());
        std::multiset<std::string> expected;
        for (const CTblOb* piece : {t.GetTitle(), t.GetStubHead()})
            if (!piece->GetText().IsEmpty()) expected.insert(piece->GetText().str());
        std::vector<const CRowColOb*> stack = {t.GetColumnRoot(), t.GetRowRoot()};
        while (!stack.empty()) {
            const CRowColOb* n = stack.back();
            stack.pop_back();
            if (!n->GetText().IsEmpty() && OnPage(n, page)) expected.insert(n->GetText().str());
            for (int i = 0; i < n->GetNumChildren(); ++i) stack.push_back(n->GetChildAt(i));
        }
        int nCells = 0;
        for (int r = 0; r < nRows; ++r)
            for (int c = 0; c < nCols; ++c)
                if (OnPage(t.GetCell(r, c), page)) {
                    if (!t.GetCell(r, c)->GetText().IsEmpty()) expected.insert(t.GetCell(r, c)->GetText().str());
                    ++nCells;
                }
        EXPECT_EQ(drawn, expected) << "page " << page;
        EXPECT_TRUE(Calls(printer, CDCCall::Rectangle).empty()) << "page " << page;
        EXPECT_TRUE(Calls(printer, CDCCall::ExcludeClipRect).empty()) << "page " << page;
        EXPECT_EQ(nCells, cellPages[static_cast<std::size_t>(page)]);
        nCellsPlaced += nCells;
    }
    EXPECT_EQ(nCellsPlaced, nRows * nCols);
}

}  // namespace

TEST(EndToEnd, HouseholdsFromFileToScreenPaperRtfAndBack) {
    // Load.
    CSpecFile file;
    ASSERT_EQ(file.Open(KAVOTBL_SOURCE_DIR "/examples/households.tbl", CSpecFile::modeRead), 1);
    CStyleRegistry registry;
    ASSERT_EQ(registry.Build(file), 1);
    LOGFONT lf;
    lf.lfHeight = 16;
    std::strcpy(lf.lfFaceName, "Sans");
    registry.UpdateFonts(&lf, 200);
    CRecordingDC screen;
    ASSERT_EQ(registry.CreateCompatibleDC(&screen), 1);
    CTable t;
    t.SetStyleRegistry(&registry);
    ASSERT_EQ(t.Build(file), 1);
    file.Close();
    ASSERT_TRUE(t.IsLoaded());
    ASSERT_EQ(t.GetNumDataRows(), 7);
    ASSERT_EQ(t.GetNumDataColumns(), 5);
    EXPECT_EQ(t.GetCellData(1, 1), 402115);

    // Lay out for a window.
    screen.SetRecording(false);
    t.LayoutTable(CRect(0, 0, 640, 480), &screen);
    screen.SetRecording(true);
    const CSize size = t.Size();
    ASSERT_GT(size.cx, 0);
    ASSERT_GT(size.cy, 0);
    EXPECT_EQ(t.GetTitle()->GetPos().TopLeft(), CPoint(0, 0));
    for (int c = 1; c < 5; ++c) EXPECT_EQ(t.GetColumn(c)->Left(), t.GetColumn(c - 1)->Right());
    for (int r = 1; r < 7; ++r) EXPECT_GE(t.GetRow(r)->Top(), t.GetRow(r - 1)->Bottom());

    // Scroll: columns sideways, rows up and down, cells both ways, the title not at all.
    const CRect title = t.GetTitle()->GetPos();
    const CRect col = t.GetColumn(2)->GetPos();
    const CRect row = t.GetRow(2)->GetPos();
    const CRect cell = t.GetCell(2, 2)->GetPos();
    t.ScrollBy(-12, -8);
    EXPECT_EQ(t.GetTitle()->GetPos(), title);
    EXPECT_EQ(t.GetColumn(2)->GetPos(), CRect(col.left - 12, col.top, col.right - 12, col.bottom));
    EXPECT_EQ(t.GetRow(2)->GetPos(), CRect(row.left, row.top - 8, row.right, row.bottom - 8));
    EXPECT_EQ(t.GetCell(2, 2)->GetPos(), CRect(cell.left - 12, cell.top - 8, cell.right - 12, cell.bottom - 8));

    // Hit-test and block "Urban" and "Rural" of the counts, the rows of two
    // to four persons, and the cells where they cross.
    CRectArray rects;
    std::vector<CTblOb*> blocked;
    auto hitAndBlock = [&](const CPoint& pt, CTblOb* pExpected) {
        CTblOb* pHit = nullptr;
        ASSERT_EQ(t.HitTest(pt, pHit), 1);
        ASSERT_EQ(pHit, pExpected);
        const int nBefore = rects.GetSize();
        pHit->Block(rects, 1);
        ASSERT_EQ(rects.GetSize(), nBefore + 1);
        EXPECT_EQ(rects[nBefore], pHit->GetPos());
        blocked.push_back(pHit);
    };
    for (int c = 1; c <= 2; ++c) hitAndBlock(Centre(t.GetColumn(c)), t.GetColumn(c));
    for (int r = 1; r <= 3; ++r) {
        hitAndBlock(Centre(t.GetRow(r)), t.GetRow(r));
        for (int c = 1; c <= 2; ++c) {
            // The top-left corner belongs to the cell; the bottom-right one to its neighbours.
            hitAndBlock(t.GetCell(r, c)->GetPos().TopLeft(), t.GetCell(r, c));
        }
    }
    const int nDirect = rects.GetSize();
    t.BlockParents(rects, 1);
    CRowColOb* counts = t.GetColumnRoot()->GetChildAt(0);
    CRowColOb* privateHouseholds = t.GetRowRoot()->GetChildAt(0);
    EXPECT_TRUE(counts->IsBlocked());
    EXPECT_TRUE(privateHouseholds->IsBlocked());
    EXPECT_TRUE(t.GetColumnRoot()->IsBlocked());
    EXPECT_TRUE(t.GetRowRoot()->IsBlocked());
    EXPECT_FALSE(t.GetColumnRoot()->GetChildAt(1)->IsBlocked());
    EXPECT_EQ(rects.GetSize(), nDirect + 4);  // the spanner, the group and the two roots
    EXPECT_TRUE(t.IsBlocked());
    const COLORREF crBlock = RGB(180, 200, 255);
    t.StuffBlockColor(crBlock);

    // Draw a window: every blocked element is shaded, and nothing else.
    screen.SetClipBox(CRect(0, 0, 640, 480));
    t.Draw(&screen, CRect(0, 0, 640, 480), -1);
    const std::string firstScreen = screen.Dump();
    const auto fills = Calls(screen, CDCCall::Rectangle);
    std::vector<CTblOb*> shaded;
    for (CTblOb* ob : blocked) shaded.push_back(ob);
    shaded.push_back(counts);
    shaded.push_back(privateHouseholds);
    ASSERT_EQ(fills.size(), shaded.size());
    for (CTblOb* ob : shaded) {
        const CRect& b = ob->GetPos();
        bool bFound = false;
        for (const CDCCall* f : fills)
            bFound = bFound || (f->rect == CRect(b.left + 1, b.top + 1, b.right, b.bottom) && f->color == crBlock);
        EXPECT_TRUE(bFound) << ob->GetText().str();
    }
    EXPECT_EQ(Calls(screen, CDCCall::ExcludeClipRect).size(), 3u);
    const int nScreenMargin = g_nMargin;

    // Print: keep the screen layout, lay out for letter paper, draw every page.
    t.BackupClient(1);
    const std::vector<CRect> screenBoxes = Boxes(t);
    const int nTopColumns = t.GetColumnRoot()->GetNumChildren();
    CRecordingDC printer(MM_TWIPS);
    printer.SetRecording(false);
    const CRect paper(0, 0, 9360, -12960);
    t.LayoutPrinter(paper, &printer);
    printer.SetRecording(true);
    ASSERT_GE(t.GetNumPages(), 1);
    DrawEveryPage(t, printer, paper);

    // Back to the screen: the same boxes, metrics and drawing as before printing.
    t.RestoreClient(1);
    EXPECT_EQ(g_nMargin, nScreenMargin);
    EXPECT_EQ(t.GetColumnRoot()->GetNumChildren(), nTopColumns);
    EXPECT_EQ(Boxes(t), screenBoxes);
    screen.ClearCalls();
    t.Draw(&screen, CRect(0, 0, 640, 480), -1);
    EXPECT_EQ(screen.Dump(), firstScreen);

    // The RTF grid of the whole table: 2 heading levels, 2 stub levels.
    CRTFRowArray whole;
    t.LayoutRTF(whole, 0);
    ASSERT_EQ(whole.GetSize(), 2 + 7);
    for (int g = 0; g < whole.GetSize(); ++g) ASSERT_EQ(whole[g].GetSize(), 2 + 5);
    EXPECT_EQ(whole[0][2], counts);
    EXPECT_EQ(whole[0][5], t.GetColumnRoot()->GetChildAt(1));
    for (int c = 0; c < 5; ++c) EXPECT_EQ(whole[1][2 + c], t.GetColumn(c));
    EXPECT_EQ(whole[2][0], privateHouseholds);
    for (int r = 0; r < 7; ++r) {
        EXPECT_EQ(whole[2 + r][1], t.GetRow(r));
        for (int c = 0; c < 5; ++c) EXPECT_EQ(whole[2 + r][2 + c], t.GetCell(r, c));
    }

    // ... and of the block: its two columns and three rows, with their parents.
    CRTFRowArray block;
    t.LayoutRTF(block, 1);
    ASSERT_EQ(block.GetSize(), 2 + 3);
    for (int g = 0; g < block.GetSize(); ++g) ASSERT_EQ(block[g].GetSize(), 2 + 2);
    EXPECT_EQ(block[0][2], counts);
    EXPECT_EQ(block[1][2], t.GetColumn(1));
    EXPECT_EQ(block[1][3], t.GetColumn(2));
    EXPECT_EQ(block[2][0], privateHouseholds);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(block[2 + k][1], t.GetRow(1 + k));
        EXPECT_EQ(block[2 + k][2], t.GetCell(1 + k, 1));
        EXPECT_EQ(block[2 + k][3], t.GetCell(1 + k, 2));
    }

    // Save the block and read it back with a registry of its own.
    CSpecFile out;
    ASSERT_EQ(out.OpenTextWrite(), 1);
    registry.Save(out);
    t.Save(out, 1);
    const std::string saved = out.GetText();
    out.Close();
    CSpecFile in;
    ASSERT_EQ(in.OpenText(saved), 1);
    CStyleRegistry registry2;
    ASSERT_EQ(registry2.Build(in), 1);
    CTable t2;
    t2.SetStyleRegistry(&registry2);
    ASSERT_EQ(t2.Build(in), 1);
    ASSERT_EQ(t2.GetNumDataRows(), 3);
    ASSERT_EQ(t2.GetNumDataColumns(), 2);
    EXPECT_EQ(t2.GetName(), t.GetName());
    EXPECT_EQ(t2.GetTitle()->GetText(), t.GetTitle()->GetText());
    EXPECT_EQ(t2.GetColumnRoot()->GetChildAt(0)->GetText(), counts->GetText());
    EXPECT_EQ(t2.GetRowRoot()->GetChildAt(0)->GetText(), privateHouseholds->GetText());
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(t2.GetRow(k)->GetText(), t.GetRow(1 + k)->GetText());
        for (int c = 0; c < 2; ++c) EXPECT_EQ(t2.GetCellData(k, c), t.GetCellData(1 + k, 1 + c));
    }
    for (int c = 0; c < 2; ++c) EXPECT_EQ(t2.GetColumn(c)->GetText(), t.GetColumn(1 + c)->GetText());
    ASSERT_NE(registry2.FindStyle("TotalRow"), nullptr);
}

TEST(EndToEnd, WideTablePrintsEveryCellOnceAndComesBackToTheScreen) {
    CSpecFile file;
    ASSERT_EQ(file.Open(KAVOTBL_SOURCE_DIR "/examples/wide.tbl", CSpecFile::modeRead), 1);
    CStyleRegistry registry;
    ASSERT_EQ(registry.Build(file), 1);
    LOGFONT lf;
    lf.lfHeight = 16;
    std::strcpy(lf.lfFaceName, "Sans");
    registry.UpdateFonts(&lf, 200);
    CRecordingDC screen;
    screen.SetRecording(false);
    ASSERT_EQ(registry.CreateCompatibleDC(&screen), 1);
    CTable t;
    t.SetStyleRegistry(&registry);
    ASSERT_EQ(t.Build(file), 1);
    const int nRows = t.GetNumDataRows(), nCols = t.GetNumDataColumns();
    ASSERT_GT(nRows * nCols, 0);

    t.LayoutTable(CRect(0, 0, 800, 600), &screen);
    t.BackupClient(1);
    const std::vector<CRect> screenBoxes = Boxes(t);

    CRecordingDC printer(MM_TWIPS);
    printer.SetRecording(false);
    const CRect paper(0, 0, 9360, -12960);
    t.LayoutPrinter(paper, &printer);
    printer.SetRecording(true);
    ASSERT_GT(t.GetNumHorzPages(), 1);
    ASSERT_GT(t.GetNumPages(), t.GetNumHorzPages());

    DrawEveryPage(t, printer, paper);

    t.RestoreClient(1);
    EXPECT_EQ(Boxes(t), screenBoxes);
    CRecordingDC again;
    again.SetClipBox(CRect(0, 0, 800, 600));
    t.Draw(&again, CRect(0, 0, 800, 600), -1);
    EXPECT_FALSE(Calls(again, CDCCall::DrawText).empty());
}
