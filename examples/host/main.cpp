// kavotbl_host_example: the whole life of a table in a host program, as the
// host guide (docs/host-guide.md) walks through it. It loads the first table
// of a table file, lays it out for a 700 x 400 window and draws it to
// window.png, scrolls and draws again (scrolled.png), hits a point and
// selects a block (block.png, block.tbl), prints every page to table.pdf
// and switches back to the screen, and finally builds a table in code
// (built.tbl).
//
//   kavotbl_host_example FILE.tbl OUTDIR
//
// Exit status: 0 on success, 1 when something could not be read or written,
// 2 on bad usage.
#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <kavotbl/cairo/cairo_dc.h>
#include <kavotbl/kavotbl.h>

namespace {

using namespace kavo;

constexpr int kWindowW = 700, kWindowH = 400;

// --- Fonts --------------------------------------------------------------
// One font for every style: 10 points, 13 pixels on the screen (a negative
// height is the character height) and 200 twips on paper.
void GiveFonts(CStyleRegistry& registry) {
    LOGFONT lf;
    lf.lfHeight = -13;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, "DejaVu Sans", sizeof lf.lfFaceName - 1);
    registry.UpdateFonts(&lf, 200);
}

// --- A window ------------------------------------------------------------
// An image stands in for the window; a real host wraps its own surface.
struct Window {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWindowW, kWindowH);
    cairo_t* cr = cairo_create(surface);
    CCairoDC dc{cr, MM_TEXT};
    ~Window() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    void Clear() {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
    }
    bool Write(const std::string& path) { return cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS; }
};

// The host's repaint: clear, let the table draw title, stub head, trees and
// cells, then draw the footing below the table itself (Draw leaves the
// heading and footing to the host).
void Repaint(Window& w, CTable& table) {
    w.Clear();
    const CRect window(0, 0, kWindowW, kWindowH);
    table.Draw(&w.dc, window, kScreenPage);
    CTblOb& footer = *table.GetFooter();
    if (!footer.GetText().IsEmpty()) {
        CFont font;  // the footing's style font, when it has one
        CFont* pOld = footer.LoadFont(&w.dc, font) ? w.dc.SelectObject(&font) : nullptr;
        CRect rc(0, table.Size().cy + 4, kWindowW, kWindowH);
        w.dc.DrawText(footer.GetText(), &rc, DT_WORDBREAK | DT_NOPREFIX);
        if (font.IsCreated()) w.dc.SelectObject(pOld);
    }
}

const char* KindName(HitKind kind) {
    switch (kind) {
    case HitKind::Title: return "title";
    case HitKind::StubHead: return "stub head";
    case HitKind::Spanner: return "spanner";
    case HitKind::Column: return "data column";
    case HitKind::Caption: return "caption";
    case HitKind::Row: return "data row";
    case HitKind::Cell: return "cell";
    case HitKind::Outside: break;
    }
    return "nothing";
}

// --- Printing ---------------------------------------------------------------
// Letter paper with half-inch margins: the printable area in twips, y up.
bool Print(CTable& table, const std::string& path) {
    const double dPageW = 612, dPageH = 792, dMargin = 36;  // points
    const int nWidth = static_cast<int>((dPageW - 2 * dMargin) * 20);
    const int nHeight = static_cast<int>((dPageH - 2 * dMargin) * 20);
    cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), dPageW, dPageH);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    {
        CCairoDC printer(cr, MM_TWIPS);
        printer.SetViewportOrg(dMargin, dMargin);  // logical (0, 0): top-left of the printable area
        // Keep the screen layout, lay out for the printer (kept in the
        // printer slot), draw each page, and put the screen layout back.
        // A line at the foot of each page carries the page number.
        table.BackupClient(kScreenSlot);
        const int nLine = 300;
        table.LayoutPrinter(CRect(0, 0, nWidth, -(nHeight - nLine)), &printer);
        const int nPages = table.GetNumPages();
        for (int nPage = 0; nPage < nPages; ++nPage) {
            table.Draw(&printer, CRect(0, 0, nWidth, -(nHeight - nLine)), nPage);
            const std::string number = "Page " + std::to_string(nPage + 1) + " of " + std::to_string(nPages);
            CRect rc(0, -(nHeight - nLine), nWidth, -nHeight);
            printer.DrawText(number.c_str(), -1, &rc, DT_CENTER | DT_NOPREFIX);
            cairo_show_page(cr);
        }
        std::printf("printed %d pages (%d across)\n", nPages, table.GetNumHorzPages());
        table.RestoreClient(kScreenSlot);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool bOk = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return bOk;
}

// --- Saving -----------------------------------------------------------------
// The registry's styles and formats first, then the table (or its block).
bool Save(const CStyleRegistry& registry, const CTable& table, int bBlockedOnly, const std::string& path) {
    CSpecFile file;
    if (!file.Open(path.c_str(), CSpecFile::modeWrite)) return false;
    registry.Save(file);
    const int bSaved = table.Save(file, bBlockedOnly);  // 0: nothing blocked, nothing written
    return file.Close() && bSaved;
}

// --- Building a table in code --------------------------------------------------
bool BuildInCode(const std::string& path) {
    CStyleRegistry registry;
    registry.InitDefaults();  // "Default" at index 0 and a style for every element
    CFormat percent(CKAVOString("Percent"));
    percent.m_nDecimals = 1;  // 125 shows as 12.5
    registry.RegisterFormat(&percent);

    CTable table;  // declared after the registry, so destroyed before it
    table.SetStyleRegistry(&registry);
    CTableBuilder b(table);
    b.SetTitle("Table 2. Households by residence");
    b.SetStubHead("Size");
    CTblColumn* pResidence = b.AddSpanner("Residence");
    b.AddColumn("Urban", pResidence);
    b.AddColumn("Rural", pResidence);
    b.SetCellFormat(b.AddColumn("Urban share"), "Percent");
    CTblRow* pAll = b.AddCaption("All households");
    b.AddRow("One person", {1200, 800, 600}, pAll);
    b.AddRow("Two persons", {950, 600, 613}, pAll);
    if (!b.Link()) return false;
    std::printf("built %d x %d\n", table.GetNumDataRows(), table.GetNumDataColumns());
    return Save(registry, table, 0, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kavotbl_host_example FILE.tbl OUTDIR\n");
        return 2;
    }
    const std::string out = std::string(argv[2]) + "/";

    // --- Loading ---------------------------------------------------------------
    // Messages of the reader go to the handler; a host shows them its way.
    SetMessageBoxHandler([](const CKAVOString& text, unsigned) {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return IDOK;
    });
    CSpecFile file;
    if (!file.Open(argv[1], CSpecFile::modeRead)) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    CStyleRegistry registry;  // owns the styles and formats: outlives the table
    registry.Build(file);
    CTable table;
    table.SetStyleRegistry(&registry);
    if (!table.Build(file)) {
        std::fprintf(stderr, "no table could be loaded from %s\n", argv[1]);
        return 1;
    }
    GiveFonts(registry);

    // --- Screen layout and drawing -----------------------------------------------
    Window window;
    registry.CreateCompatibleDC(&window.dc);  // measuring surface matching the window
    table.LayoutTable(CRect(0, 0, kWindowW, kWindowH), &window.dc);
    Repaint(window, table);
    std::printf("laid out %d x %d\n", table.Size().cx, table.Size().cy);

    // --- Scrolling ---------------------------------------------------------------
    // Scrolling the view right and down by (dx, dy) moves the body by (-dx, -dy);
    // scrolling back moves it by (+dx, +dy). Title and stub head stay put.
    const int dx = 40, dy = 30;
    table.ScrollBy(-dx, -dy);
    Repaint(window, table);
    if (!window.Write(out + "scrolled.png")) return 1;
    table.ScrollBy(dx, dy);
    Repaint(window, table);
    if (!window.Write(out + "window.png")) return 1;

    // --- Hit testing and selecting ---------------------------------------------------
    // A point in window coordinates; here the middle of the first data cell.
    if (table.GetNumDataRows() > 0 && table.GetNumDataColumns() > 0) {
        const CRect& box = table.GetCell(0, 0)->GetPos();
        const CTblHit hit = table.HitTestElement(CPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2));
        std::printf("hit: %s at data row %d, data column %d\n", KindName(hit.kind), hit.nRow, hit.nCol);

        // Data rows 0 to 1 by data columns 0 to 1 (as far as the table goes);
        // rects gets the boxes to repaint.
        CRectArray rects;
        const int nLastRow = table.GetNumDataRows() > 1 ? 1 : 0;
        const int nLastCol = table.GetNumDataColumns() > 1 ? 1 : 0;
        table.SelectBlock(0, 0, nLastRow, nLastCol, rects);
        std::printf("selected %d x %d, %d boxes to repaint\n", nLastRow + 1, nLastCol + 1, rects.GetSize());
        Repaint(window, table);
        if (!window.Write(out + "block.png")) return 1;
        if (!Save(registry, table, 1, out + "block.tbl")) return 1;
        rects.RemoveAll();
        table.ClearBlock(rects);
    }

    // --- Printing, then the screen again -----------------------------------------------
    if (!Print(table, out + "table.pdf")) return 1;
    Repaint(window, table);  // the screen layout is back in force

    if (!BuildInCode(out + "built.tbl")) return 1;
    std::printf("done\n");
    return 0;
}
