// A table's whole life as a host drives it: load an example file, lay it out
// for a window, scroll, hit-test, block, draw, print every page, come back
// to the screen, prepare the RTF grid, save the block and load it again.
#include <gtest/gtest.h>

#include <cstdlib>

#include "draw_test_support.h"

using namespace kavo;

namespace {

CPoint Centre(const CTblOb* ob) {
    const CRect& rc = ob->GetPos();
    return CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

bool OnPage(const CTblOb* ob, int page) {
    for (int i = 0; i < ob->GetNumPages(); ++i)
        if (ob->GetPage(i) == page) return true;
    return ob->GetNumPages() == 0;
}

}  // namespace

TEST(EndToEnd, HouseholdsFromFileToScreenPaperRtfAndBack) {
    // Load, with a 16-pixel, 200-twips font.
    CSpecFile file;
    ASSERT_EQ(file.Open(KAVOTBL_SOURCE_DIR "/examples/households.tbl", CSpecFile::modeRead), 1);
    CStyleRegistry registry;
    const LOGFONT lf = MakeFont("Sans", 16);
    CRecordingDC screen;
    CTable t;
    t.SetStyleRegistry(&registry);
    ASSERT_EQ(registry.Build(file), 1);
    registry.UpdateFonts(&lf, 200);
    ASSERT_EQ(registry.CreateCompatibleDC(&screen) + t.Build(file), 2);
    ASSERT_TRUE(t.IsLoaded() && t.GetNumDataRows() == 7 && t.GetNumDataColumns() == 5);
    EXPECT_EQ(t.GetCellData(1, 1), 402115);

    // Lay out for a window.
    screen.SetRecording(false);
    t.LayoutTable(CRect(0, 0, 640, 480), &screen);
    screen.SetRecording(true);
    ASSERT_TRUE(t.Size().cx > 0 && t.Size().cy > 0);
    EXPECT_EQ(t.GetTitle()->GetPos().TopLeft(), CPoint(0, 0));
    for (int c = 1; c < 5; ++c) EXPECT_EQ(t.GetColumn(c)->Left(), t.GetColumn(c - 1)->Right());
    for (int r = 1; r < 7; ++r) EXPECT_GE(t.GetRow(r)->Top(), t.GetRow(r - 1)->Bottom());

    // Scroll: columns sideways, rows up and down, cells both ways, the title not at all.
    const CRect title = t.GetTitle()->GetPos(), col = t.GetColumn(2)->GetPos();
    const CRect row = t.GetRow(2)->GetPos(), cell = t.GetCell(2, 2)->GetPos();
    t.ScrollBy(-12, -8);
    EXPECT_EQ(t.GetTitle()->GetPos(), title);
    EXPECT_EQ(t.GetColumn(2)->GetPos(), CRect(col.left - 12, col.top, col.right - 12, col.bottom));
    EXPECT_EQ(t.GetRow(2)->GetPos(), CRect(row.left, row.top - 8, row.right, row.bottom - 8));
    EXPECT_EQ(t.GetCell(2, 2)->GetPos(),
              CRect(cell.left - 12, cell.top - 8, cell.right - 12, cell.bottom - 8));

    // Hit-test and block "Urban" and "Rural" of the counts, the rows of two
    // to four persons, and the cells where they cross.
    CRectArray rects;
    std::vector<CTblOb*> shaded;
    auto hitAndBlock = [&](const CPoint& pt, CTblOb* pExpected) {
        CTblOb* pHit = nullptr;
        ASSERT_EQ(t.HitTest(pt, pHit), 1);
        ASSERT_EQ(pHit, pExpected);
        pHit->Block(rects, 1);
        ASSERT_EQ(rects.GetSize(), static_cast<int>(shaded.size()) + 1);
        EXPECT_EQ(rects[rects.GetSize() - 1], pHit->GetPos());
        shaded.push_back(pHit);
    };
    for (int c = 1; c <= 2; ++c) hitAndBlock(Centre(t.GetColumn(c)), t.GetColumn(c));
    for (int r = 1; r <= 3; ++r) {
        hitAndBlock(Centre(t.GetRow(r)), t.GetRow(r));
        // The top-left corner belongs to the cell; the bottom-right one to its neighbours.
        for (int c = 1; c <= 2; ++c) hitAndBlock(t.GetCell(r, c)->GetPos().TopLeft(), t.GetCell(r, c));
    }
    t.BlockParents(rects, 1);
    CRowColOb *counts = t.GetColumnRoot()->GetChildAt(0), *privateHouseholds = t.GetRowRoot()->GetChildAt(0);
    EXPECT_TRUE(counts->IsBlocked() && privateHouseholds->IsBlocked() && t.IsBlocked());
    EXPECT_TRUE(t.GetColumnRoot()->IsBlocked() && t.GetRowRoot()->IsBlocked());
    EXPECT_FALSE(t.GetColumnRoot()->GetChildAt(1)->IsBlocked());
    // The spanner, the group and the two roots besides.
    EXPECT_EQ(rects.GetSize(), static_cast<int>(shaded.size()) + 4);
    const COLORREF crBlock = RGB(180, 200, 255);
    t.StuffBlockColor(crBlock);

    // Draw a window: every blocked element is shaded, and nothing else.
    screen.SetClipBox(CRect(0, 0, 640, 480));
    t.Draw(&screen, CRect(0, 0, 640, 480), -1);
    const std::string firstScreen = screen.Dump();
    shaded.insert(shaded.end(), {counts, privateHouseholds});
    const auto fills = CallsOf(screen, CDCCall::Rectangle);
    ASSERT_EQ(fills.size(), shaded.size());
    for (CTblOb* ob : shaded) {
        const CRect& b = ob->GetPos();
        EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), [&](const CDCCall& f) {
            return f.rect == CRect(b.left + 1, b.top + 1, b.right, b.bottom) && f.color == crBlock;
        })) << ob->GetText().str();
    }
    EXPECT_EQ(CallsOf(screen, CDCCall::ExcludeClipRect).size(), 3u);

    // Print, keeping the screen layout, on paper small enough for several
    // column and row pages. Each page draws the title, the stub head, and
    // exactly the columns, rows and cells whose page lists name it, down to
    // its lowest row; nothing is shaded or clipped on paper, whatever the
    // clip box; every cell is on exactly one page.
    t.BackupClient(1);
    const CRect paper(0, 0, 4000, -3000);
    CRecordingDC printer(MM_TWIPS);
    printer.SetRecording(false);
    t.LayoutPrinter(paper, &printer);
    printer.SetRecording(true);
    printer.SetClipBox(CRect(0, 0, 1, 1));
    ASSERT_TRUE(t.GetNumHorzPages() > 1 && t.GetNumPages() > t.GetNumHorzPages());
    int nCellsPlaced = 0;
    for (int page = 0; page < t.GetNumPages(); ++page) {
        printer.ClearCalls();
        t.Draw(&printer, paper, page);
        std::multiset<std::string> expected = {t.GetTitle()->GetText().str(),
                                               t.GetStubHead()->GetText().str()};
        const auto onPage = [&](const CRowColOb* n) {
            if (!n->GetText().IsEmpty() && OnPage(n, page)) expected.insert(n->GetText().str());
        };
        ForEachNode(t.GetColumnRoot(), onPage);
        ForEachNode(t.GetRowRoot(), onPage);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 5; ++c) {
                EXPECT_EQ(t.GetCell(r, c)->GetNumPages(), 1);
                if (!OnPage(t.GetCell(r, c), page)) continue;
                ++nCellsPlaced;
                expected.insert(t.GetCell(r, c)->GetText().str());
            }
        EXPECT_EQ(TextsDrawn(printer), expected) << "page " << page;
        EXPECT_TRUE(CallsOf(printer, CDCCall::Rectangle).empty() &&
                    CallsOf(printer, CDCCall::ExcludeClipRect).empty());
        const int bottom = t.GetRowRoot()->GetVerticalPageSize(page);
        EXPECT_EQ(g_nDrawBottom, std::abs(bottom) < std::abs(paper.bottom) ? bottom : paper.bottom);
    }
    EXPECT_EQ(nCellsPlaced, 7 * 5);

    // Back to the screen: the same tree, boxes, metrics and drawing as before printing.
    t.RestoreClient(1);
    screen.ClearCalls();
    t.Draw(&screen, CRect(0, 0, 640, 480), -1);
    EXPECT_EQ(screen.Dump(), firstScreen);

    // The RTF grids of the whole table and of the block, with 2 heading and
    // 2 stub levels: the spanners over their first (blocked) columns, the
    // group beside its first (blocked) row.
    CRTFRowArray whole, block;
    t.LayoutRTF(whole, 0);
    t.LayoutRTF(block, 1);
    ASSERT_TRUE(whole.GetSize() == 2 + 7 && whole[8].GetSize() == 2 + 5 && block.GetSize() == 2 + 3);
    EXPECT_TRUE(whole[0][5] == t.GetColumnRoot()->GetChildAt(1) && whole[8][6] == t.GetCell(6, 4));
    EXPECT_TRUE(whole[0][2] == counts && block[0][2] == counts && block[2][0] == privateHouseholds);
    for (int r = 0; r < 3; ++r) {
        ASSERT_EQ(block[2 + r].GetSize(), 2 + 2);
        for (int c = 0; c < 2; ++c)
            EXPECT_TRUE(block[1][2 + c] == t.GetColumn(1 + c) && block[2 + r][1] == t.GetRow(1 + r) &&
                        block[2 + r][2 + c] == t.GetCell(1 + r, 1 + c)) << r << "," << c;
    }

    // Save the block and read it back with a registry of its own.
    CSpecFile out;
    ASSERT_EQ(out.OpenTextWrite(), 1);
    registry.Save(out);
    t.Save(out, 1);
    LoadedTable back(out.GetText());
    CTable& t2 = back.table;
    ASSERT_TRUE(back.loaded == 1 && t2.GetNumDataRows() == 3 && t2.GetNumDataColumns() == 2);
    EXPECT_TRUE(t2.GetName() == t.GetName() && t2.GetTitle()->GetText() == t.GetTitle()->GetText());
    EXPECT_EQ(t2.GetColumnRoot()->GetChildAt(0)->GetText(), counts->GetText());
    EXPECT_EQ(t2.GetRowRoot()->GetChildAt(0)->GetText(), privateHouseholds->GetText());
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c) {
            EXPECT_TRUE(t2.GetRow(r)->GetText() == t.GetRow(1 + r)->GetText() &&
                        t2.GetColumn(c)->GetText() == t.GetColumn(1 + c)->GetText());
            EXPECT_EQ(t2.GetCellData(r, c), t.GetCellData(1 + r, 1 + c));
        }
    EXPECT_NE(back.registry.FindStyle("TotalRow"), nullptr);
}
