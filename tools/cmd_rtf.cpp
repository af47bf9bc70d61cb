// kavotbl rtf: tables written as an RTF document that a word processor opens
// as real tables, ready to paste into a report.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common.h"
#include "kavotbl/export/rtf_document.h"
#include "page_setup.h"

namespace kavotool {

static int RunRtf(int argc, char** argv) {
    OptionParser opts("rtf", "FILE -o OUT.rtf [options]",
                      "Writes the tables of a table file as an RTF document: each table's title and\n"
                      "heading as paragraphs, the table itself as a word-processor table (spanners\n"
                      "merged over their columns, captions indented in the stub, justification and\n"
                      "single rules from the styles), and the footing below it.",
                      std::vector<OptionSpec>{
                          {"output", 'o', "OUT.rtf", "the RTF file to write (required)"},
                          {"table", 0, "N", "write only the N-th table (from 1)"},
                          {"select", 0, "ROWS:COLS", "write only this block, e.g. 2-5:0-3 (data rows and columns from 0)"},
                          {"blocked-only", 0, nullptr, "write only the block that --select gives (which it implies)"},
                          {"paper", 0, "NAME", "letter (default), a4 or legal"},
                          {"landscape", 0, nullptr, "turn the paper sideways"},
                          {"font", 0, "FAMILY", "font family named in the document (default DejaVu Sans)"},
                          {"size", 0, "PT", "font size in points (default 10)"},
                      } + PublishingSpecs());
    int nStatus;
    if (!ParseCommandLine(opts, argc, argv, nStatus)) return nStatus;
    std::string output;
    int nTable = 0;
    Selection sel;
    bool bSelect = false;
    const PaperSize* paper = nullptr;
    double dSize = 10.0;
    if (!OutputOption(opts, "-o OUT.rtf", output) || !TableOption(opts, nTable) ||
        !BlockOptions(opts, nTable, sel, bSelect) || !PaperOption(opts, paper) || !SizeOption(opts, dSize))
        return kExitUsage;
    // The document names the font; the word processor that opens it finds it.
    const std::string family = opts.Get("font", "DejaVu Sans");
    if (family.empty() || family.size() > 31 || family.find_first_of(";{}\\\n\r") != std::string::npos)
        return Fail("rtf", "--font needs a family name of 1 to 31 characters without ; { } or \\", kExitUsage);

    ProgressBar progress("loading", 1);
    Document doc;
    std::vector<kavo::CTable*> tables;
    if (!LoadTables(opts, nTable, doc, progress, tables, nStatus)) return nStatus;
    if (!BlockSelected(opts, *tables.front(), sel, bSelect)) return kExitUsage;
    kavo::CPrintOptions options;
    if (!PublishingOptions(opts, doc, options)) return kExitUsage;
    GiveFont(*doc.registry, family, dSize);

    kavo::CRtfPage page;
    page.nWidth = static_cast<int>(std::lround(paper->width * 20));
    page.nHeight = static_cast<int>(std::lround(paper->height * 20));
    if (opts.Has("landscape")) std::swap(page.nWidth, page.nHeight);
    page.bAllRuleKinds = options.bAllRuleKinds != 0;
    kavo::CRtfDocument rtf(page);
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
    if (!OpenOutput("rtf", out)) return kExitFailure;
    std::FILE* f = std::fopen(out.TempPath().c_str(), "wb");
    if (!f) return Fail("rtf", "cannot write " + output + ": " + std::strerror(errno));
    errno = 0;
    const bool bWritten = rtf.WriteTo(f);
    const int nWriteErrno = errno;
    const bool bClosed = std::fclose(f) == 0;
    return FinishOutput("rtf", out, false,
                        bClosed && bWritten ? nullptr : std::strerror(bWritten ? errno : nWriteErrno));
}

extern const Command kCommand_rtf = {"rtf", "write tables as an RTF document for a word processor", &RunRtf};

}  // namespace kavotool
