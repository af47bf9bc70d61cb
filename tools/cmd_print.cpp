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

using kavo::CTable;

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
    if (!PublishingOptions(opts, doc, options, nStatus)) return nStatus;
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
        // Lay every table out first: the page numbers count the whole file.
        const kavo::CPrintedPages pages(dc, tables, ps, options);
        const int nTotal = pages.GetNumPages();
        progress.Restart("printing " + output, nTotal);
        for (int k = 0; k < nTotal && !g_bInterrupted; ++k) {
            PaintPaper(cr, dPageW, dPageH);
            pages.DrawPage(dc, k);
            cairo_show_page(cr);
            progress.Update(k + 1);
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
