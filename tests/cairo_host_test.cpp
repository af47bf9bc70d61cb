// What a host program sees of the library on a real surface: drawing gives
// the surface back as it was, and tables laid out at other sizes in the same
// process draw as if each were alone.
#include <gtest/gtest.h>

#ifdef KAVOTBL_HAVE_CAIRO

#include <string>

#include "draw_test_support.h"

namespace kavo {
namespace {

// A titled table with a spanner and more rows and columns than a small
// window shows, so that it scrolls both ways.
std::string ScrollingTable() {
    std::string s = "[Style]\nLabel=Ruled\nLineBottom=Single\nLineRight=Single\n"
                    "[Table]\nSize=24, 8\n[Title]\nText=Table 1. Persons by district and age group\n"
                    "[StubHead]\nText=District\n[ColumnGroup]\nText=Age group\n";
    for (int c = 0; c < 8; ++c) s += "[Column]\nText=Aged " + std::to_string(10 * c) + " to " + std::to_string(10 * c + 9) + "\n";
    s += "[EndGroup]\n";
    for (int r = 0; r < 24; ++r) {
        s += "[Row]\nText=District number " + std::to_string(r + 1) + "\nStyle=Ruled\nData=";
        for (int c = 0; c < 8; ++c) s += (c ? ", " : "") + std::to_string((r + 1) * 1013 * (c + 3) % 99991);
        s += "\n";
    }
    return s;
}

// Number of pixels in which two images of the same size differ.
int Differences(Canvas& a, Canvas& b, int w, int h) {
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) n += a.Pixel(x, y) != b.Pixel(x, y);
    return n;
}

void PaintWhite(Canvas& canvas) {
    cairo_t* cr = canvas.dc->GetContext();
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
}

constexpr int kW = 700, kH = 400;
const CRect kWindow(0, 0, kW, kH);
const LOGFONT kSmall = MakeFont("DejaVu Sans", -13);
const LOGFONT kLarge = MakeFont("DejaVu Sans", -30);

TEST(HostSurface, DrawingLeavesTheSurfaceAsItFoundIt) {
    LoadedTable doc(ScrollingTable(), &kSmall);
    ASSERT_TRUE(doc.loaded);
    Canvas canvas(kW, kH);
    CDC& dc = *canvas.dc;
    CFont font;
    Select(dc, font, kLarge);
    CPen pen(PS_SOLID, 0, RGB(1, 2, 3));
    CBrush brush(RGB(4, 5, 6));
    dc.SelectObject(&pen), dc.SelectObject(&brush);
    dc.SetBkColor(RGB(7, 8, 9)), dc.SetBkMode(OPAQUE), dc.SetTextColor(RGB(10, 11, 12));
    dc.MoveTo(17, 19);
    CRect clipBefore;
    const int nRegionBefore = dc.GetClipBox(&clipBefore);

    doc.table.LayoutTable(kWindow, &dc);
    doc.table.Draw(&dc, kWindow, -1);

    CRect clip;
    EXPECT_EQ(dc.GetClipBox(&clip), nRegionBefore);
    EXPECT_EQ(clip, clipBefore);
    ASSERT_NE(dc.GetCurrentLogFont(), nullptr);
    EXPECT_EQ(dc.GetCurrentLogFont()->lfHeight, -30);
    EXPECT_EQ(dc.GetPenColor(), RGB(1, 2, 3)); EXPECT_EQ(dc.GetBrushColor(), RGB(4, 5, 6));
    EXPECT_EQ(dc.GetBkColor(), RGB(7, 8, 9)); EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.GetTextColor(), RGB(10, 11, 12));
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(17, 19));
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    dc.SelectObject(static_cast<CPen*>(nullptr)), dc.SelectObject(static_cast<CBrush*>(nullptr));
}

TEST(HostSurface, ARepaintAfterScrollingOnTheSameSurfaceShowsNothingStale) {
    // The host's repaint: clear the window, scroll, draw again. It must give
    // exactly what a fresh surface shows for the scrolled table.
    LoadedTable doc(ScrollingTable(), &kSmall), fresh(ScrollingTable(), &kSmall);
    ASSERT_TRUE(doc.loaded && fresh.loaded);
    Canvas window(kW, kH), expected(kW, kH);
    doc.table.LayoutTable(kWindow, window.dc.get());
    doc.table.Draw(window.dc.get(), kWindow, -1);
    PaintWhite(window);
    doc.table.ScrollBy(-120, -90);
    doc.table.Draw(window.dc.get(), kWindow, -1);

    fresh.table.LayoutTable(kWindow, expected.dc.get());
    fresh.table.ScrollBy(-120, -90);
    fresh.table.Draw(expected.dc.get(), kWindow, -1);
    EXPECT_GT(expected.Ink().Width(), kW / 2);  // something was drawn to compare
    EXPECT_EQ(Differences(window, expected, kW, kH), 0);
}

TEST(HostSurface, TablesOfOneProcessKeepTheirOwnMetrics) {
    // Document A at 13 px, document B at 30 px: laying B out, or printing
    // it, changes nothing in how A is drawn, hit or sized afterwards.
    LoadedTable a(ScrollingTable(), &kSmall), b(ScrollingTable(), &kLarge);
    ASSERT_TRUE(a.loaded && b.loaded);
    Canvas alone(kW, kH), shared(kW, kH), other(kW, kH);
    a.table.LayoutTable(kWindow, alone.dc.get());
    a.table.Draw(alone.dc.get(), kWindow, -1);
    const CRect footer = (a.table.CalcFooterSize(kWindow, alone.dc.get()), a.table.GetFooter()->GetPos());
    CTblOb* pHitAlone = nullptr;
    a.table.HitTest(CPoint(400, 200), pHitAlone);

    a.table.LayoutTable(kWindow, shared.dc.get());
    b.table.LayoutTable(kWindow, other.dc.get());
    b.table.Draw(other.dc.get(), kWindow, -1);
    a.table.Draw(shared.dc.get(), kWindow, -1);
    EXPECT_EQ(Differences(alone, shared, kW, kH), 0);

    // B printed and brought back to the screen between two repaints of A.
    auto printer = CCairoDC::CreateMeasuringDC(MM_TWIPS);
    b.table.BackupClient(1);
    b.table.LayoutPrinter(CRect(0, 0, 12240, -15840), printer.get());
    b.table.RestoreClient(1);
    PaintWhite(shared);
    a.table.Draw(shared.dc.get(), kWindow, -1);
    EXPECT_EQ(Differences(alone, shared, kW, kH), 0);
    a.table.CalcFooterSize(kWindow, shared.dc.get());
    EXPECT_EQ(a.table.GetFooter()->GetPos(), footer);
    CTblOb* pHit = nullptr;
    a.table.HitTest(CPoint(400, 200), pHit);
    EXPECT_EQ(pHit, pHitAlone);

    // And B, drawn again after A, is drawn at its own size.
    Canvas bAlone(kW, kH);
    PaintWhite(other);
    b.table.Draw(other.dc.get(), kWindow, -1);
    LoadedTable b2(ScrollingTable(), &kLarge);
    b2.table.LayoutTable(kWindow, bAlone.dc.get());
    b2.table.Draw(bAlone.dc.get(), kWindow, -1);
    EXPECT_EQ(Differences(other, bAlone, kW, kH), 0);
}

}  // namespace
}  // namespace kavo

#endif
