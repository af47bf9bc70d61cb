// kavotbl print: every table of a file (or one) laid out on paper and written
// to a PDF, with the heading at the top and the footing and page number at
// the foot of every page.
#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common.h"
#include "kavotbl/cairo/cairo_dc.h"

namespace kavotool {
namespace {

using kavo::CDC;
using kavo::CRect;
using kavo::CTable;
using kavo::CTblOb;
using kavo::UINT;

constexpr double kMinPrintable = 72.0;  // points: an inch of paper at least
constexpr int kTwips = 20;              // per point

UINT Justification(const CTblOb& piece) {
    const kavo::CStyle* style = piece.GetStyle();
    if (!style) return kavo::DT_LEFT;
    return style->m_nHorJust == 1 ? kavo::DT_CENTER : style->m_nHorJust == 2 ? kavo::DT_RIGHT : kavo::DT_LEFT;
}

// Selects the font of an element's style for as long as it lives.
class PieceFont {
public:
    PieceFont(CDC& dc, const CTblOb& piece) : m_dc(dc) {
        if (piece.LoadFont(&dc, m_font)) {
            m_pOld = dc.SelectObject(&m_font);
            m_bSelected = true;
        }
    }
    ~PieceFont() {
        if (m_bSelected) m_dc.SelectObject(m_pOld);
    }
    PieceFont(const PieceFont&) = delete;
    PieceFont& operator=(const PieceFont&) = delete;

private:
    CDC& m_dc;
    kavo::CFont m_font;
    kavo::CFont* m_pOld = nullptr;
    bool m_bSelected = false;
};

// Height of a text wrapped to nWidth in the piece's font (0 without text).
int TextHeight(CDC& dc, const CTblOb& piece, const kavo::CKAVOString& text, int nWidth) {
    if (text.IsEmpty()) return 0;
    PieceFont font(dc, piece);
    CRect rc(0, 0, nWidth, 0);
    return std::abs(dc.DrawText(text, &rc,
                                kavo::DT_CALCRECT | kavo::DT_WORDBREAK | kavo::DT_NOPREFIX |
                                    kavo::DT_EXTERNALLEADING | Justification(piece)));
}

int LineHeight(CDC& dc, const CTblOb& piece) {
    PieceFont font(dc, piece);
    return dc.GetTextExtent("", 0).cy;
}

// Draws text wrapped in rc (twips: top above bottom) in the piece's style.
void DrawPieceText(CDC& dc, const CTblOb& piece, const kavo::CKAVOString& text, CRect rc, UINT nAlign) {
    if (text.IsEmpty()) return;
    PieceFont font(dc, piece);
    const int saved = dc.SaveDC();
    dc.SetBkMode(kavo::TRANSPARENT);
    dc.DrawText(text, &rc, kavo::DT_WORDBREAK | kavo::DT_NOPREFIX | kavo::DT_NOCLIP | nAlign);
    dc.RestoreDC(saved);
}

// Paints the page white before anything else is drawn. Cairo's PDF surface
// collects the area of every operation of a page in a region; once a first
// operation covers the whole page, each further one adds to it in constant
// time instead of in time that grows with the rectangles already there.
void PaintPaper(cairo_t* cr, double dPageW, double dPageH) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_reset_clip(cr);
    cairo_rectangle(cr, 0, 0, dPageW, dPageH);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_restore(cr);
}

// Where one table goes on its pages, in twips of the printable area.
struct TablePages {
    CTable* pTable = nullptr;
    int nHeadBand = 0;  // heading and the gap below it
    int nFootBand = 0;  // gap, footing and the page-number line
    int nFootText = 0;  // height of the footing text
    int nPages = 0;
};

}  // namespace

static int RunPrint(int argc, char** argv) {
    OptionParser opts("print", "FILE -o OUT.pdf [options]",
                      "Lays the tables of a table file out on paper and writes them to a PDF file.\n"
                      "A table too wide or too long for a page continues on further pages, each\n"
                      "repeating the title, the stub and the column headings it needs; every\n"
                      "table starts on a new page.",
                      {
                          {"output", 'o', "OUT.pdf", "the PDF file to write (required)"},
                          {"table", 0, "N", "print only the N-th table of the file (from 1)"},
                          {"paper", 0, "NAME", "letter (default), a4 or legal"},
                          {"landscape", 0, nullptr, "turn the paper sideways"},
                          {"margin", 0, "LEN", "margin on every side: 0.5in (default), 1cm, 12mm, 36pt"},
                          {"font", 0, "FAMILY", "font family (default DejaVu Sans)"},
                          {"size", 0, "PT", "font size in points (default 10)"},
                      });
    int nStatus;
    if (!ParseCommandLine(opts, argc, argv, nStatus)) return nStatus;
    std::string output;
    int nTable = 0;
    const PaperSize* paper = nullptr;
    double dMargin = 36.0, dSize = 10.0;
    if (!OutputOption(opts, "-o OUT.pdf", output) || !TableOption(opts, nTable) ||
        !PaperOption(opts, paper) || !MarginOption(opts, dMargin) || !SizeOption(opts, dSize))
        return kExitUsage;
    const std::string family = ResolveFamily("print", opts.Get("font", "DejaVu Sans"));

    double dPageW = paper->width, dPageH = paper->height;
    if (opts.Has("landscape")) std::swap(dPageW, dPageH);
    const double dPrintW = dPageW - 2 * dMargin, dPrintH = dPageH - 2 * dMargin;
    if (dPrintW < kMinPrintable || dPrintH < kMinPrintable)
        return Fail("print", "the margins leave less than an inch of paper to print on", kExitUsage);

    ProgressBar progress("loading", 1);
    Document doc;
    std::vector<CTable*> tables;
    if (!LoadTables(opts, nTable, doc, progress, tables, nStatus)) return nStatus;
    GiveFont(*doc.registry, family, dSize);

    AtomicFile out(output);
    if (!OpenOutput("print", out)) return kExitFailure;
    cairo_surface_t* surface = cairo_pdf_surface_create(out.TempPath().c_str(), dPageW, dPageH);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        const std::string why = cairo_status_to_string(cairo_surface_status(surface));
        cairo_surface_destroy(surface);
        return Fail("print", "cannot write " + output + ": " + why);
    }
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "kavotbl");
    cairo_t* cr = cairo_create(surface);
    int nResult = kExitOk;
    {
        kavo::CCairoDC dc(cr, kavo::MM_TWIPS);
        dc.SetGatherText(true);
        doc.registry->CreateCompatibleDC(&dc);
        const int nWidth = static_cast<int>(std::floor(dPrintW * kTwips));
        const int nHeight = static_cast<int>(std::floor(dPrintH * kTwips));

        // Lay every table out first: the page numbers count the whole file.
        std::vector<TablePages> layouts;
        int nTotal = 0;
        for (CTable* t : tables) {
            TablePages tp;
            tp.pTable = t;
            const int nHead = TextHeight(dc, *t->GetHeader(), t->GetHeader()->GetText(), nWidth);
            const int nGap = LineHeight(dc, *t) / 2;
            tp.nHeadBand = nHead ? nHead + nGap : 0;
            tp.nFootText = TextHeight(dc, *t->GetFooter(), t->GetFooter()->GetText(), nWidth);
            tp.nFootBand = nGap + tp.nFootText + LineHeight(dc, *t->GetFooter());
            // Headings and footings never take more than two thirds of a page.
            const int nBody = std::max(nHeight / 3, nHeight - tp.nHeadBand - tp.nFootBand);
            t->LayoutPrinter(CRect(0, 0, nWidth, -nBody), &dc);
            tp.nPages = std::max(1, t->GetNumPages());
            nTotal += tp.nPages;
            layouts.push_back(tp);
        }

        progress.Restart("printing " + output, nTotal);
        int nPageNo = 0;
        for (const TablePages& tp : layouts) {
            CTable& t = *tp.pTable;
            const int nBody = std::max(nHeight / 3, nHeight - tp.nHeadBand - tp.nFootBand);
            // Logical (0, 0) is the top-left corner of the table's part of the page.
            dc.SetViewportOrg(dMargin, dMargin + static_cast<double>(tp.nHeadBand) / kTwips);
            for (int nPage = 0; nPage < tp.nPages; ++nPage) {
                if (g_bInterrupted) break;
                ++nPageNo;
                PaintPaper(cr, dPageW, dPageH);
                DrawPieceText(dc, *t.GetHeader(), t.GetHeader()->GetText(),
                              CRect(0, tp.nHeadBand, nWidth, 0), Justification(*t.GetHeader()));
                t.Draw(&dc, CRect(0, 0, nWidth, -nBody), nPage);
                // The page number sits on the last line of the printable area,
                // the footing right above it.
                const int nLine = LineHeight(dc, *t.GetFooter());
                const int nBottom = -(nHeight - tp.nHeadBand);
                DrawPieceText(dc, *t.GetFooter(), t.GetFooter()->GetText(),
                              CRect(0, nBottom + nLine + tp.nFootText, nWidth, nBottom + nLine),
                              Justification(*t.GetFooter()));
                const std::string pageLine =
                    "Page " + std::to_string(nPageNo) + " of " + std::to_string(nTotal);
                DrawPieceText(dc, *t.GetFooter(), pageLine.c_str(), CRect(0, nBottom + nLine, nWidth, nBottom),
                              kavo::DT_CENTER);
                dc.Flush();
                cairo_show_page(cr);
                progress.Update(nPageNo);
            }
        }
        progress.Finish();
        if (g_bInterrupted) nResult = kExitCancelled;
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t written = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    return FinishOutput("print", out, nResult == kExitCancelled,
                        written != CAIRO_STATUS_SUCCESS ? cairo_status_to_string(written) : nullptr);
}

extern const Command kCommand_print = {"print", "print tables to a PDF file", &RunPrint};

}  // namespace kavotool
