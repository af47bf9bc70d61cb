// kavotbl save: a table file loaded and written back by the library's writer,
// whole or as the block of one table.
#include <string>
#include <vector>

#include "common.h"

namespace kavotool {

static int RunSave(int argc, char** argv) {
    OptionParser opts("save", "FILE -o OUT.tbl [options]",
                      "Loads a table file and writes it back: the styles and formats, then every\n"
                      "table, leaving out what the reader would supply by itself. With --select,\n"
                      "only a block of one table is written: its data rows and columns, their\n"
                      "cells, and the captions and spanners above them. OUT appears only once it\n"
                      "is complete; it may be FILE itself.",
                      {
                          {"output", 'o', "OUT.tbl", "the table file to write (required)"},
                          {"table", 0, "N", "write only the N-th table (from 1)"},
                          {"select", 0, "ROWS:COLS", "write only this block, e.g. 2-5:0-3 (data rows and columns from 0)"},
                          {"blocked-only", 0, nullptr, "write only the block that --select gives (which it implies)"},
                      });
    std::string error;
    if (!opts.Parse(argc, argv, error)) return Fail("save", error, kExitUsage);
    if (opts.HelpRequested()) {
        opts.PrintHelp(stdout);
        return kExitOk;
    }
    if (opts.Positionals().size() != 1)
        return Fail("save", opts.Positionals().empty() ? "no table file given (see kavotbl save --help)"
                                                       : "one table file at a time, please",
                    kExitUsage);
    const std::string output = opts.Get("output");
    if (output.empty()) return Fail("save", "no output file given (-o OUT.tbl)", kExitUsage);
    int nTable = 0;
    if (opts.Has("table") && !ParseInt(opts.Get("table"), 1, 1 << 30, nTable))
        return Fail("save", "--table needs a table number from 1, not '" + opts.Get("table") + "'", kExitUsage);
    Selection sel;
    const bool bSelect = opts.Has("select");
    if (bSelect && !ParseSelection(opts.Get("select"), sel))
        return Fail("save", "--select needs ROWS:COLS such as 2-5:0-3, not '" + opts.Get("select") + "'", kExitUsage);
    if (opts.Has("blocked-only") && !bSelect)
        return Fail("save", "--blocked-only needs --select ROWS:COLS: a table file keeps no block", kExitUsage);
    if (bSelect && nTable == 0) nTable = 1;

    ProgressBar progress("loading", 1);
    Document doc;
    const LoadStatus status = LoadDocument(opts.Positionals()[0], doc, &progress, error);
    if (status != LoadStatus::Ok)
        return Fail("save", error, status == LoadStatus::Cancelled ? kExitCancelled : kExitFailure);
    std::vector<kavo::CTable*> tables;
    if (!SelectTables(doc, nTable, tables, error)) return Fail("save", error);
    if (bSelect) {
        if (!SelectionFits(*tables.front(), sel, opts.Get("select"), error)) return Fail("save", error, kExitUsage);
        BlockSelection(*tables.front(), sel);
    }

    AtomicFile out(output);
    if (!out.Open(error)) return Fail("save", error);
    {
        kavo::CSpecFile file;
        if (!file.Open(out.TempPath().c_str(), kavo::CSpecFile::modeWrite))
            return Fail("save", "cannot write " + output);
        doc.registry->Save(file);
        progress.Restart("writing " + output, static_cast<long long>(tables.size()));
        for (std::size_t i = 0; i < tables.size() && !g_bInterrupted; ++i) {
            tables[i]->Save(file, bSelect ? 1 : 0);
            progress.Update(static_cast<long long>(i + 1));
        }
        progress.Finish();
        const bool bComplete = file.Close() && !file.HasWriteError();
        if (g_bInterrupted) return Fail("save", "cancelled; " + output + " was not written", kExitCancelled);
        if (!bComplete) return Fail("save", "cannot write " + output + ": the disk refused part of it");
    }
    if (!out.Commit(error)) return Fail("save", error);
    return kExitOk;
}

extern const Command kCommand_save = {"save", "write a table file back, whole or a block of one table", &RunSave};

}  // namespace kavotool
