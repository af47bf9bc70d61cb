// kavotbl rtf: tables written as an RTF document that a word processor opens
// as real tables, ready to paste into a report.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common.h"
#include "rtf_writer.h"

namespace kavotool {

static int RunRtf(int argc, char** argv) {
    OptionParser opts("rtf", "FILE -o OUT.rtf [options]",
                      "Writes the tables of a table file as an RTF document: each table's title and\n"
                      "heading as paragraphs, the table itself as a word-processor table (spanners\n"
                      "merged over their columns, captions indented in the stub, justification and\n"
                      "single rules from the styles), and the footing below it.",
                      {
                          {"output", 'o', "OUT.rtf", "the RTF file to write (required)"},
                          {"table", 0, "N", "write only the N-th table (from 1)"},
                          {"select", 0, "ROWS:COLS", "write only this block, e.g. 2-5:0-3 (data rows and columns from 0)"},
                          {"blocked-only", 0, nullptr, "write only the block that --select gives (which it implies)"},
                          {"paper", 0, "NAME", "letter (default), a4 or legal"},
                          {"landscape", 0, nullptr, "turn the paper sideways"},
                          {"font", 0, "FAMILY", "font family named in the document (default DejaVu Sans)"},
                          {"size", 0, "PT", "font size in points (default 10)"},
                      });
    std::string error;
    if (!opts.Parse(argc, argv, error)) return Fail("rtf", error, kExitUsage);
    if (opts.HelpRequested()) {
        opts.PrintHelp(stdout);
        return kExitOk;
    }
    if (opts.Positionals().size() != 1)
        return Fail("rtf", opts.Positionals().empty() ? "no table file given (see kavotbl rtf --help)"
                                                      : "one table file at a time, please",
                    kExitUsage);
    const std::string output = opts.Get("output");
    if (output.empty()) return Fail("rtf", "no output file given (-o OUT.rtf)", kExitUsage);

    int nTable = 0;
    if (opts.Has("table") && !ParseInt(opts.Get("table"), 1, 1 << 30, nTable))
        return Fail("rtf", "--table needs a table number from 1, not '" + opts.Get("table") + "'", kExitUsage);
    Selection sel;
    const bool bSelect = opts.Has("select");
    if (bSelect && !ParseSelection(opts.Get("select"), sel))
        return Fail("rtf", "--select needs ROWS:COLS such as 2-5:0-3, not '" + opts.Get("select") + "'", kExitUsage);
    if (opts.Has("blocked-only") && !bSelect)
        return Fail("rtf", "--blocked-only needs --select ROWS:COLS: a table file keeps no block", kExitUsage);
    if (bSelect && nTable == 0) nTable = 1;
    const std::string paperName = opts.Get("paper", "letter");
    const PaperSize* paper = FindPaper(paperName);
    if (!paper) return Fail("rtf", "unknown paper '" + paperName + "' (letter, a4 or legal)", kExitUsage);
    double dSize = 10.0;
    if (opts.Has("size") && !ParseNumber(opts.Get("size"), 4.0, 72.0, dSize))
        return Fail("rtf", "--size needs a point size from 4 to 72, not '" + opts.Get("size") + "'", kExitUsage);
    // The document names the font; the word processor that opens it finds it.
    const std::string family = opts.Get("font", "DejaVu Sans");
    if (family.empty() || family.size() > 31 || family.find_first_of(";{}\\\n\r") != std::string::npos)
        return Fail("rtf", "--font needs a family name of 1 to 31 characters without ; { } or \\", kExitUsage);

    ProgressBar progress("loading", 1);
    Document doc;
    const LoadStatus status = LoadDocument(opts.Positionals()[0], doc, &progress, error);
    if (status != LoadStatus::Ok)
        return Fail("rtf", error, status == LoadStatus::Cancelled ? kExitCancelled : kExitFailure);
    std::vector<kavo::CTable*> tables;
    if (!SelectTables(doc, nTable, tables, error)) return Fail("rtf", error);
    if (bSelect) {
        if (!SelectionFits(*tables.front(), sel, opts.Get("select"), error)) return Fail("rtf", error, kExitUsage);
        BlockSelection(*tables.front(), sel);
    }
    GiveFont(*doc.registry, family, dSize);

    RtfPage page;
    page.nWidth = static_cast<int>(std::lround(paper->width * 20));
    page.nHeight = static_cast<int>(std::lround(paper->height * 20));
    if (opts.Has("landscape")) std::swap(page.nWidth, page.nHeight);
    RtfDocument rtf(page);
    progress.Restart("writing " + output, static_cast<long long>(tables.size()));
    for (std::size_t i = 0; i < tables.size() && !g_bInterrupted; ++i) {
        const int nWidth = rtf.AddTable(*tables[i], bSelect ? 1 : 0);
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

    AtomicFile out(output);
    if (!out.Open(error)) return Fail("rtf", error);
    std::FILE* f = std::fopen(out.TempPath().c_str(), "wb");
    if (!f) return Fail("rtf", "cannot write " + output + ": " + std::strerror(errno));
    errno = 0;
    const bool bWritten = rtf.WriteTo(f);
    const int nWriteErrno = errno;
    if (std::fclose(f) != 0 || !bWritten)
        return Fail("rtf", "cannot write " + output + ": " + std::strerror(bWritten ? errno : nWriteErrno));
    if (!out.Commit(error)) return Fail("rtf", error);
    return kExitOk;
}

extern const Command kCommand_rtf = {"rtf", "write tables as an RTF document for a word processor", &RunRtf};

}  // namespace kavotool
