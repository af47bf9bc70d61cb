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
#include "page_setup.h"

namespace kavotool {
namespace {

using kavo::CDC;
using kavo::CRect;
using kavo::CTable;
using kavo::CTblOb;
using kavo::UINT;

constexpr int kTwips = 20;  // per point

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

}  // namespace

static int RunPrint(int argc, char** argv) {
    OptionParser opts("print", "FILE -o OUT.pdf [options]",
                      "Lays the tables of a table file out on paper and writes them to a PDF file.\n"
                      "A table too wide or too long for a page continues on further pages, each\n"
                      "repeating the title, the stub and the column headings it needs; every\n"
                      "table starts on a new page.",
                      std::vector<OptionSpec>{
                          {"output", 'o', "OUT.pdf", "the PDF file to write (required)"},
                          {"table", 0, "N", "print only the N-th table of the file (from 1)"},
                          {"font", 0, "FAMILY", "font family of styles without their own (default DejaVu Sans)"},
                          {"size", 0, "PT", "font size in points of styles without their own (default 10)"},
                      } + PageSetupSpecs() + PublishingSpecs());
    int nStatus;
    if (!ParseCommandLine(opts, argc, argv, nStatus)) return nStatus;
    std::string output;
    int nTable = 0;
    PageSetup ps;
    double dSize = 10.0;
    if (!OutputOption(opts, "-o OUT.pdf", output) || !TableOption(opts, nTable) || !PageSetupOptions(opts, ps) ||
        !SizeOption(opts, dSize))
        return kExitUsage;
    const std::string family = ResolveFamily("print", opts.Get("font", "DejaVu Sans"));

    const double dPageW = ps.dPageW, dPageH = ps.dPageH;

    ProgressBar progress("loading", 1);
    Document doc;
    std::vector<CTable*> tables;
    if (!LoadTables(opts, nTable, doc, progress, tables, nStatus, true)) return nStatus;
    kavo::CPrintOptions options;
    if (!PublishingOptions(opts, doc, options)) return kExitUsage;
    GiveFont(*doc.registry, family, dSize);

    OutputFile out(output, true);
    if (!OpenOutput("print", out)) return kExitFailure;
    std::FILE* stream = OutputStream("print", out);
    if (!stream) return kExitFailure;
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(WriteToStream, stream, dPageW, dPageH);
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
        const int nWidth = static_cast<int>(std::floor(ps.PrintW() * kTwips));
        const int nHeight = static_cast<int>(std::floor(ps.PrintH() * kTwips));

        // Lay every table out first: the page numbers count the whole file.
        std::vector<TablePages> layouts;
        int nTotal = 0;
        for (CTable* t : tables) {
            layouts.push_back(LayoutOnPaper(dc, *t, ps, options));
            nTotal += layouts.back().nPages;
        }

        progress.Restart("printing " + output, nTotal);
        int nPrinted = 0, nFirstOfTable = 0;
        for (const TablePages& tp : layouts) {
            CTable& t = *tp.pTable;
            const int H = std::max(1, t.GetNumHorzPages());
            const int R = (tp.nPages + H - 1) / H;
            // Logical (0, 0) is the top-left corner of the table's part of the page.
            dc.SetViewportOrg(ps.dLeft, ps.dTop + static_cast<double>(tp.nHeadBand) / kTwips);
            for (int k = 0; k < tp.nPages; ++k) {
                if (g_bInterrupted) break;
                // Across: the column pages of a row page, then the next row page; down: the row
                // pages of a column page first.
                const int nPage = ps.bDownThenAcross ? (k % R) * H + k / R : k;
                if (nPage >= tp.nPages) continue;
                ++nPrinted;
                PaintPaper(cr, dPageW, dPageH);
                DrawPieceText(dc, *t.GetHeader(), t.GetHeader()->GetText(), CRect(0, tp.nHeadBand, nWidth, 0),
                              Justification(*t.GetHeader()));
                t.Draw(&dc, CRect(0, 0, nWidth, -tp.nBody), nPage);
                // The page number sits on the last line of the printable area,
                // the footing right above it, or once under the table's last row.
                const int nLine = ps.numbering == PageSetup::kNone ? 0 : LineHeight(dc, *t.GetFooter());
                const int nBottom = -(nHeight - tp.nHeadBand);
                const bool bLast = k == tp.nPages - 1;
                if (!ps.bFootingOnce) {
                    DrawPieceText(dc, *t.GetFooter(), t.GetFooter()->GetText(),
                                  CRect(0, nBottom + nLine + tp.nFootText, nWidth, nBottom + nLine),
                                  Justification(*t.GetFooter()));
                } else if (bLast) {
                    const int nTop = t.GetRowRoot()->GetVerticalPageSize(nPage) - LineHeight(dc, t) / 2;
                    DrawPieceText(dc, *t.GetFooter(), t.GetFooter()->GetText(),
                                  CRect(0, nTop, nWidth, nTop - tp.nFootText), Justification(*t.GetFooter()));
                }
                if (ps.numbering != PageSetup::kNone) {
                    const bool bDoc = ps.numbering == PageSetup::kDocument;
                    const int n = (bDoc ? nPrinted : nPrinted - nFirstOfTable) + ps.nFirstPage - 1;
                    const int N = (bDoc ? nTotal : tp.nPages) + ps.nFirstPage - 1;
                    const std::string pageLine = "Page " + std::to_string(n) + " of " + std::to_string(N);
                    DrawPieceText(dc, *t.GetFooter(), pageLine.c_str(), CRect(0, nBottom + nLine, nWidth, nBottom),
                                  kavo::DT_CENTER);
                }
                dc.Flush();
                cairo_show_page(cr);
                progress.Update(nPrinted);
            }
            nFirstOfTable = nPrinted;
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
