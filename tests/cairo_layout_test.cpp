// Tables laid out on the Cairo surface: every text fits the box that layout
// gave it, measured in the font that draws it, on screen and on paper.
#include <gtest/gtest.h>

#ifdef KAVOTBL_HAVE_CAIRO

#include <cairo.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kavotbl/cairo/cairo_dc.h"
#include "kavotbl/kavotbl.h"

namespace kavo {
namespace {

std::string ReadExample() {
    std::ifstream in(std::string(KAVOTBL_SOURCE_DIR) + "/tests/cli/households.tbl", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Captions long enough to wrap, words of old files, figures of every width.
std::string WrappingTable() {
    std::string t = "[Table]\nSize=4, 5\n[Title]\nText=Table 3. Persons in employment by branch of economic activity "
                    "and occupational status, annual averages\n[StubHead]\nText=Branch of economic activity\n";
    t += "[ColumnGroup]\nText=Employees in establishments of every size class\n";
    const char* cols[] = {"Total", "Self-employed persons without employees", "Family workers (unpaid)",
                          "Employ\xE9s", "Not stated"};
    for (const char* c : cols) t += std::string("[Column]\nText=") + c + "\n";
    t += "[EndGroup]\n";
    const char* rows[] = {"Agriculture, forestry and fishing", "Manufacturing of food products, beverages and tobacco",
                          "Caf\xE9s and restaurants", "All branches"};
    const char* data[] = {"1, 22, 333, 4444, 55555", "-1, -22, -333, -4444, -55555", "0, 7, 1234567, 98765432, 3",
                          "999999999, 12, 0, 1, 2"};
    for (int r = 0; r < 4; ++r) t += std::string("[Row]\nText=") + rows[r] + "\nData=" + data[r] + "\n";
    return t;
}

class CairoLayout : public ::testing::TestWithParam<int> {
protected:
    // Loads a table and gives the registry a 10-point font.
    void Load(const std::string& text) {
        CSpecFile file;
        file.OpenText(text);
        registry.Build(file);
        table.SetStyleRegistry(&registry);
        ASSERT_TRUE(table.Build(file));
        LOGFONT lf;
        lf.lfHeight = -13;
        std::strcpy(lf.lfFaceName, "DejaVu Sans");
        registry.UpdateFonts(&lf, 200);
    }

    // Every element of the laid-out table: text width per wrapped line, and
    // the number of lines, within the box less its margins.
    void ExpectTextsFit(CDC& dc) {
        CFont font;
        CFont* pOld = nullptr;
        const bool bFont = table.LoadFont(&dc, font) != 0;
        if (bFont) pOld = dc.SelectObject(&font);
        const int m = g_nMargin;
        const int lineHeight = dc.GetTextExtent("", 0).cy;
        auto check = [&](const CTblOb& ob, const char* what) {
            if (ob.GetText().IsEmpty() || ob.GetPos().IsRectNull()) return;
            const int w = ob.GetPos().Width() - 2 * m;
            const int h = std::abs(ob.GetPos().Height()) - 2 * m;
            std::vector<CTextLine> lines;
            dc.WrapText(ob.GetText().c_str(), ob.GetText().GetLength(), w, true, lines);
            for (const CTextLine& line : lines)
                EXPECT_LE(line.nWidth, w) << what << " '" << ob.GetText().c_str() << "'";
            // Text cut at the maximum height is the layout's rule, not a misfit.
            if (h < 30 * g_nLineHeight - 2 * m) {
                EXPECT_LE(static_cast<int>(lines.size()) * lineHeight, h) << what << " '" << ob.GetText().c_str() << "'";
            }
        };
        for (int r = 0; r < table.GetNumDataRows(); ++r) {
            check(*table.GetRow(r), "row");
            for (int c = 0; c < table.GetNumDataColumns(); ++c) check(*table.GetCell(r, c), "cell");
        }
        for (int c = 0; c < table.GetNumDataColumns(); ++c) check(*table.GetColumn(c), "column");
        for (int i = 0; i < table.GetColumnRoot()->GetNumChildren(); ++i)
            check(*table.GetColumnRoot()->GetChildAt(i), "spanner");
        check(*table.GetTitle(), "title");
        check(*table.GetStubHead(), "stub head");
        if (bFont) dc.SelectObject(pOld);
    }

    CStyleRegistry registry;
    CTable table;
};

TEST_P(CairoLayout, ScreenLayoutGivesEveryTextRoom) {
    Load(GetParam() == 0 ? ReadExample() : WrappingTable());
    auto dc = CCairoDC::CreateMeasuringDC(MM_TEXT);
    table.LayoutTable(CRect(0, 0, 640, 480), dc.get());
    ASSERT_GT(g_nMargin, 0);
    ExpectTextsFit(*dc);
}

TEST_P(CairoLayout, PrinterLayoutGivesEveryTextRoom) {
    Load(GetParam() == 0 ? ReadExample() : WrappingTable());
    auto dc = CCairoDC::CreateMeasuringDC(MM_TWIPS);
    table.LayoutPrinter(CRect(0, 0, 10800, -14400), dc.get());
    ASSERT_GE(table.GetNumPages(), 1);
    ExpectTextsFit(*dc);
}

INSTANTIATE_TEST_SUITE_P(Tables, CairoLayout, ::testing::Values(0, 1));

TEST(CairoLayoutDraw, CellTextIsDrawnInsideItsCell) {
    // Draw the wrapping table on an image and check that no ink lies in the
    // one-pixel gap at the right edge of any right-aligned figure's cell.
    CStyleRegistry registry;
    CTable table;
    CSpecFile file;
    file.OpenText(WrappingTable());
    registry.Build(file);
    table.SetStyleRegistry(&registry);
    ASSERT_TRUE(table.Build(file));
    LOGFONT lf;
    lf.lfHeight = -13;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    registry.UpdateFonts(&lf, 200);

    const int W = 900, H = 600;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    {
        CCairoDC dc(cr);
        table.LayoutTable(CRect(0, 0, W, H), &dc);
        table.Draw(&dc, CRect(0, 0, W, H), -1);
    }
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    auto ink = [&](int x, int y) {
        std::uint32_t v;
        std::memcpy(&v, data + y * stride + x * 4, 4);
        return (v & 0xFFFFFF) != 0xFFFFFF;
    };
    int nCells = 0;
    for (int r = 0; r < table.GetNumDataRows(); ++r)
        for (int c = 0; c < table.GetNumDataColumns(); ++c) {
            const CRect box = table.GetCell(r, c)->GetPos();
            // The margin strip inside the right edge stays blank: text ends
            // where its measured width says, never in the margin.
            const int x0 = box.right - g_nMargin + 1, x1 = box.right - 1;
            for (int y = box.top + 1; y < box.bottom - 1 && y < H; ++y)
                for (int x = x0; x < x1 && x < W; ++x) EXPECT_FALSE(ink(x, y)) << "cell " << r << "," << c;
            ++nCells;
        }
    EXPECT_EQ(nCells, 20);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

}  // namespace
}  // namespace kavo

#else

TEST(CairoLayout, NotBuilt) { GTEST_SKIP() << "configured without the Cairo surface"; }

#endif
