// Tables laid out on the Cairo surface: every text fits the box that layout
// gave it, measured in the font that draws it, on screen and on paper.
#include <gtest/gtest.h>

#ifdef KAVOTBL_HAVE_CAIRO

#include <cstdlib>

#include "draw_test_support.h"

namespace kavo {
namespace {

// Captions long enough to wrap, words of old files, figures of every width.
const char* const kWrapping =
    "[Table]\nSize=4, 5\n[Title]\nText=Table 3. Persons in employment by branch of economic activity and "
    "occupational status, annual averages\n[StubHead]\nText=Branch of economic activity\n"
    "[ColumnGroup]\nText=Employees in establishments of every size class\n[Column]\nText=Total\n"
    "[Column]\nText=Self-employed persons without employees\n[Column]\nText=Family workers (unpaid)\n"
    "[Column]\nText=Employ\xE9s\n[Column]\nText=Not stated\n[EndGroup]\n"
    "[Row]\nText=Agriculture, forestry and fishing\nData=1, 22, 333, 4444, 55555\n"
    "[Row]\nText=Manufacturing of food products, beverages and tobacco\nData=-1, -22, -333, -4444, -55555\n"
    "[Row]\nText=Caf\xE9s and restaurants\nData=0, 7, 1234567, 98765432, 3\n"
    "[Row]\nText=All branches\nData=999999999, 12, 0, 1, 2\n";

// 10 points on the screen.
const LOGFONT kFont = MakeFont("DejaVu Sans", -13);

class CairoLayout : public ::testing::TestWithParam<int> {};

TEST_P(CairoLayout, EveryTextHasRoomInTheFontThatDrawsIt) {
    const int nMapMode = GetParam();
    LoadedTable doc(kWrapping, &kFont);
    CTable& table = doc.table;
    auto dc = CCairoDC::CreateMeasuringDC(nMapMode);
    if (nMapMode == MM_TWIPS)
        table.LayoutPrinter(CRect(0, 0, 10800, -14400), dc.get());
    else
        table.LayoutTable(CRect(0, 0, 640, 480), dc.get());
    ASSERT_TRUE(doc.loaded && g_nMargin > 0);

    // Every wrapped line within the box less its margins, and the lines
    // within its height, in the font that draws the element.
    auto check = [&](const CTblOb& ob) {
        if (ob.GetText().IsEmpty() || ob.GetPos().IsRectNull()) return;
        CFont font;
        const bool bFont = ob.LoadFont(dc.get(), font);  // selected for this element only
        CFont* pOld = bFont ? dc->SelectObject(&font) : nullptr;
        const int w = ob.GetPos().Width() - 2 * g_nMargin, h = std::abs(ob.GetPos().Height()) - 2 * g_nMargin;
        std::vector<CTextLine> lines;
        dc->WrapText(ob.GetText().c_str(), ob.GetText().GetLength(), w, true, lines);
        for (const CTextLine& line : lines) EXPECT_LE(line.nWidth, w) << ob.GetText().c_str();
        // Text cut at the maximum height is the layout's rule, not a misfit.
        if (h < 30 * g_nLineHeight - 2 * g_nMargin) {
            const int lineHeight = std::abs(dc->GetTextExtent("", 0).cy);
            EXPECT_LE(static_cast<int>(lines.size()) * lineHeight, h) << ob.GetText().c_str();
        }
        if (bFont) dc->SelectObject(pOld);
    };
    const auto node = [&](const CRowColOb* n) { check(*n); };
    ForEachNode(table.GetColumnRoot(), node);
    ForEachNode(table.GetRowRoot(), node);
    for (int r = 0; r < table.GetNumDataRows(); ++r)
        for (int c = 0; c < table.GetNumDataColumns(); ++c) check(*table.GetCell(r, c));
    check(*table.GetTitle());
    check(*table.GetStubHead());
}

INSTANTIATE_TEST_SUITE_P(ScreenAndPaper, CairoLayout, ::testing::Values(MM_TEXT, MM_TWIPS));

TEST(CairoLayoutDraw, CellTextIsDrawnInsideItsCell) {
    // Draw the wrapping table on an image: the margin strip inside the right
    // edge of every cell stays blank, so text ends where its measured width
    // says, never in the margin.
    LoadedTable doc(kWrapping, &kFont);
    ASSERT_TRUE(doc.loaded);
    Canvas canvas(900, 600);
    doc.table.LayoutTable(CRect(0, 0, 900, 600), canvas.dc.get());
    doc.table.Draw(canvas.dc.get(), CRect(0, 0, 900, 600), -1);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c) {
            const CRect box = doc.table.GetCell(r, c)->GetPos();
            const CRect strip(box.right - g_nMargin + 1, box.top + 1, box.right - 1, box.bottom - 1);
            EXPECT_TRUE(canvas.Ink(strip).IsRectEmpty() && !canvas.Ink(box).IsRectEmpty()) << r << "," << c;
        }
}

}  // namespace
}  // namespace kavo

#else

TEST(CairoLayout, NotBuilt) { GTEST_SKIP() << "configured without the Cairo surface"; }

#endif
