// kavotbl rtf: tables written as an RTF document that a word processor opens
// as real tables, ready to paste into a report.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <memory>
#include <vector>

#include "common.h"
#include "kavotbl/cairo/cairo_dc.h"
#include "kavotbl/export/rtf_document.h"
#include "page_setup.h"

namespace kavotool {

static int RunRtf(int argc, char** argv) {
    OptionParser opts("rtf", "FILE -o OUT.rtf [options]",
                      "Writes the tables of a table file as an RTF document. Each table is cut into the\n"
                      "column pages that print gives it on the same paper, each page's columns a\n"
                      "word-processor table of their own with the stub, the spanners over their part\n"
                      "and the title and column heading repeated at the top of every page, and the\n"
                      "rows cut into print's pages.\n"
                      "The heading and footing go in the page header and footer. --no-panels writes\n"
                      "each table as one word-processor table between its title and its footing.",
                      std::vector<OptionSpec>{
                          {"output", 'o', "OUT.rtf", "the RTF file to write (required)"},
                          {"table", 0, "N", "write only the N-th table (from 1)"},
                          {"select", 0, "ROWS:COLS", "write only this block, e.g. 2-5:0-3 (data rows and columns from 0)"},
                          {"blocked-only", 0, nullptr, "write only the block that --select gives (which it implies)"},
                          {"font", 0, "FAMILY", "font family named in the document (default DejaVu Sans)"},
                          {"size", 0, "PT", "font size in points (default 10)"},
                          {"no-panels", 0, nullptr, "one word-processor table per table, however wide"},
                          {"panels-together", 0, nullptr, "only a blank line between column panels, not a new page"},
                          {"flowing-rows", 0, nullptr, "let the word processor page the rows instead of print's row pages"},
                      } + PageSetupSpecs() + PublishingSpecs());
    int nStatus;
    if (!ParseCommandLine(opts, argc, argv, nStatus)) return nStatus;
    std::string output;
    int nTable = 0;
    Selection sel;
    bool bSelect = false;
    PageSetup ps;
    double dSize = 10.0;
    if (!OutputOption(opts, "-o OUT.rtf", output) || !TableOption(opts, nTable) ||
        !BlockOptions(opts, nTable, sel, bSelect) || !PageSetupOptions(opts, ps) || !SizeOption(opts, dSize))
        return kExitUsage;
    // The document names the font; the word processor that opens it finds it.
    const std::string family = opts.Get("font", "DejaVu Sans");
    if (family.empty() || family.size() > 31 || family.find_first_of(";{}\\\n\r") != std::string::npos)
        return Fail("rtf", "--font needs a family name of 1 to 31 characters without ; { } or \\", kExitUsage);
    const bool bPanels = !opts.Has("no-panels");
    // One table per table keeps the inch of margin it always had.
    if (!bPanels && !opts.Has("margin")) ps.dTop = ps.dRight = ps.dBottom = ps.dLeft = 72;

    ProgressBar progress("loading", 1);
    Document doc;
    std::vector<kavo::CTable*> tables;
    if (!LoadTables(opts, nTable, doc, progress, tables, nStatus, true)) return nStatus;
    // With panels the block is marked once the layout made the spanners'
    // copies for further column pages, so that they belong to it too.
    if (!bPanels && !BlockSelected(opts, *tables.front(), sel, bSelect)) return kExitUsage;
    kavo::CPrintOptions options;
    int nOptionStatus = kExitOk;
    if (!PublishingOptions(opts, doc, options, nOptionStatus)) return nOptionStatus;
    GiveFont(*doc.registry, family, dSize);

    kavo::CRtfPage page;
    page.nWidth = static_cast<int>(std::lround(ps.dPageW * 20));
    page.nHeight = static_cast<int>(std::lround(ps.dPageH * 20));
    page.nMarginTop = static_cast<int>(std::lround(ps.dTop * 20));
    page.nMarginRight = static_cast<int>(std::lround(ps.dRight * 20));
    page.nMarginBottom = static_cast<int>(std::lround(ps.dBottom * 20));
    page.nMarginLeft = static_cast<int>(std::lround(ps.dLeft * 20));
    page.bAllRuleKinds = options.bAllRuleKinds != 0;
    page.bColumnPanels = bPanels;
    page.bPanelPageBreaks = !opts.Has("panels-together");
    page.bRowPagesAsPrinted = !opts.Has("flowing-rows");
    page.bDownThenAcross = ps.bDownThenAcross;
    page.bFootingOnce = ps.bFootingOnce;
    page.pageNumbers = ps.numbering == PageSetup::kNone       ? kavo::CRtfPage::kNoPageNumbers
                       : ps.numbering == PageSetup::kDocument ? kavo::CRtfPage::kDocumentPages
                                                              : kavo::CRtfPage::kTablePages;
    page.nFirstPage = ps.nFirstPage;
    kavo::CRtfDocument rtf(page);

    // With panels every table is laid out as print lays it out, on a
    // surface that measures as print's does.
    std::unique_ptr<kavo::CPrintedPages> pages;
    std::unique_ptr<kavo::CDC> dc;
    if (bPanels) {
        dc = kavo::CCairoDC::CreateMeasuringDC(kavo::MM_TWIPS);
        const std::string measured = kavo::CairoFontFamily(family.c_str());
        if (measured != family) GiveFont(*doc.registry, measured, dSize);
        doc.registry->CreateCompatibleDC(dc.get());
        progress.Restart("laying out", 1);
        pages = std::make_unique<kavo::CPrintedPages>(*dc, tables, ps, options);
        progress.Update(1);
        if (!g_bInterrupted && !BlockSelected(opts, *tables.front(), sel, bSelect)) return kExitUsage;
        // The document names the family asked for, whatever face measured it.
        if (measured != family) GiveFont(*doc.registry, family, dSize);
    }
    progress.Restart("writing " + output, static_cast<long long>(tables.size()));
    for (std::size_t i = 0; i < tables.size() && !g_bInterrupted; ++i) {
        kavo::CRtfBands bands;
        bands.nHead = pages ? pages->GetHeadBand(i) : 0;
        bands.nFoot = pages ? pages->GetFootBand(i) : 0;
        const int nWidth = rtf.AddTable(*tables[i], bSelect ? 1 : 0, bands);
        progress.Update(static_cast<long long>(i + 1));
        if (nWidth > rtf.PrintableWidth()) {
            progress.Finish();
            std::fprintf(stderr,
                         "kavotbl rtf: warning: table %d is %.1f in wide, more than the %.1f in between the "
                         "margins (try --landscape or a smaller --size)\n",
                         nTable ? nTable : static_cast<int>(i) + 1, nWidth / 1440.0, rtf.PrintableWidth() / 1440.0);
        }
    }
    progress.Finish();
    if (g_bInterrupted) return Fail("rtf", "cancelled; " + output + " was not written", kExitCancelled);

    OutputFile out(output, true);
    if (!OpenOutput("rtf", out)) return kExitFailure;
    std::FILE* f = OutputStream("rtf", out);
    if (!f) return kExitFailure;
    errno = 0;
    const bool bWritten = rtf.WriteTo(f);
    return FinishOutput("rtf", out, false, bWritten ? nullptr : std::strerror(errno ? errno : EIO));
}

extern const Command kCommand_rtf = {"rtf", "write tables as an RTF document for a word processor", &RunRtf};

}  // namespace kavotool
