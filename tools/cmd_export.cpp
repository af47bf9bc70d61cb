// kavotbl export: tables written as a spreadsheet, CSV, a web page or RTF by
// the export module, the format taken from the output's extension.
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "common.h"
#include "kavotbl/cairo/cairo_dc.h"
#include "kavotbl/export/export.h"
#include "page_setup.h"

namespace kavotool {

static int RunExport(int argc, char** argv) {
    OptionParser opts("export", "FILE -o OUT [--format xlsx|csv|html|rtf] [options]",
                      "Writes the tables of a table file as a spreadsheet (one worksheet per table,\n"
                      "numbers kept as numbers), CSV (RFC 4180, UTF-8), a self-contained web page or\n"
                      "an RTF document. The format is the output's extension unless --format names it.",
                      {
                          {"output", 'o', "OUT", "the file to write (required)"},
                          {"format", 0, "FMT", "xlsx, csv, html or rtf (default: from OUT's extension)"},
                          {"table", 0, "N", "write only the N-th table (from 1)"},
                          {"select", 0, "ROWS:COLS", "write only this block, e.g. 2-5:0-3 (data rows and columns from 0)"},
                          {"paper", 0, "NAME", "letter (default), a4 or legal, for the print set-up"},
                          {"landscape", 0, nullptr, "turn the paper sideways"},
                          {"margin", 0, "LEN", "margin on every side (default 1in)"},
                          {"font", 0, "FAMILY", "font family named in the file (default DejaVu Sans)"},
                          {"size", 0, "PT", "font size in points (default 10)"},
                          {"bom", 0, nullptr, "CSV: begin with a byte-order mark"},
                          {"no-captions", 0, nullptr, "CSV: leave the caption rows out"},
                          {"heading-levels", 0, nullptr, "CSV: one heading record per level"},
                          {"shown", 0, nullptr, "CSV: the texts the table shows instead of plain numbers"},
                          {"fragment", 0, nullptr, "HTML: the tables alone, for embedding in another page"},
                          {"no-panels", 0, nullptr, "RTF: one word-processor table per table instead of print's pages"},
                      });
    int nStatus;
    if (!ParseCommandLine(opts, argc, argv, nStatus)) return nStatus;
    std::string output;
    int nTable = 0;
    Selection sel;
    bool bSelect = false;
    const PaperSize* paper = nullptr;
    double dSize = 10.0, dMargin = 72.0;
    if (!OutputOption(opts, "-o OUT", output) || !TableOption(opts, nTable) ||
        !BlockOptions(opts, nTable, sel, bSelect) || !PaperOption(opts, paper) || !SizeOption(opts, dSize) ||
        !MarginOption(opts, dMargin))
        return kExitUsage;
    kavo::CExportOptions options;
    const std::string format = opts.Has("format") ? opts.Get("format") : Extension(output);
    if (!kavo::FindExportFormat(format, options.format)) {
        if (opts.Has("format")) return Fail("export", "--format needs xlsx, csv, html or rtf, not '" + format + "'", kExitUsage);
        return Fail("export", "cannot tell the format of " + output + " (give --format xlsx|csv|html|rtf)", kExitUsage);
    }
    const std::string family = opts.Get("font", "DejaVu Sans");
    if (family.empty() || family.size() > 31 || family.find_first_of(";{}\\\"<>\n\r") != std::string::npos)
        return Fail("export", "--font needs a family name of 1 to 31 characters without ; { } \\ \" < or >", kExitUsage);

    ProgressBar progress("loading", 1);
    Document doc;
    std::vector<kavo::CTable*> tables;
    if (!LoadTables(opts, nTable, doc, progress, tables, nStatus, true)) return nStatus;
    if (!BlockSelected(opts, *tables.front(), sel, bSelect)) return kExitUsage;
    GiveFont(*doc.registry, family, dSize);
    progress.Finish();

    options.bBlockedOnly = bSelect ? 1 : 0;
    options.page.nWidth = static_cast<int>(std::lround(paper->width * 20));
    options.page.nHeight = static_cast<int>(std::lround(paper->height * 20));
    if (opts.Has("landscape")) std::swap(options.page.nWidth, options.page.nHeight);
    options.page.nMargin = static_cast<int>(std::lround(dMargin * 20));
    options.bBom = opts.Has("bom");
    options.bCaptionRecords = !opts.Has("no-captions");
    options.bHeadingLevels = opts.Has("heading-levels");
    options.bShownText = opts.Has("shown");
    options.bFragment = opts.Has("fragment");

    // RTF in print's pages: the tables laid out as print lays them out.
    std::unique_ptr<kavo::CDC> dc;
    if (options.format == kavo::ExportFormat::Rtf && !opts.Has("no-panels")) {
        PageSetup ps;
        ps.dPageW = options.page.nWidth / 20.0, ps.dPageH = options.page.nHeight / 20.0;
        ps.dTop = ps.dRight = ps.dBottom = ps.dLeft = dMargin;
        dc = kavo::CCairoDC::CreateMeasuringDC(kavo::MM_TWIPS);
        doc.registry->CreateCompatibleDC(dc.get());
        const kavo::CPrintedPages pages(*dc, tables, ps);
        options.bRtfPanels = 1;
    }

    kavo::CExportReport report;
    // The module writes files as the other commands do; "-" is standard output.
    const int bOk = output == "-" ? kavo::ExportTables(tables, std::cout, options, &report) && std::cout.flush()
                                  : kavo::ExportTables(tables, output.c_str(), options, &report);
    for (const std::string& w : report.arrWarnings) std::fprintf(stderr, "kavotbl export: warning: %s\n", w.c_str());
    if (g_bInterrupted) return Fail("export", "cancelled", kExitCancelled);
    if (!bOk) return Fail("export", output == "-" ? "cannot write to standard output" : report.strError);
    return kExitOk;
}

extern const Command kCommand_export = {"export", "write tables as a spreadsheet, CSV, a web page or RTF", &RunExport};

}  // namespace kavotool
