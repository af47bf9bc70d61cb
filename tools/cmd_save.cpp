// kavotbl save: a table file loaded and written back by the library's writer,
// whole or as the block of one table.
#include <cerrno>
#include <cstdio>
#include <cstring>
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
    int nStatus;
    if (!ParseCommandLine(opts, argc, argv, nStatus)) return nStatus;
    std::string output;
    int nTable = 0;
    Selection sel;
    bool bSelect = false;
    if (!OutputOption(opts, "-o OUT.tbl", output) || !TableOption(opts, nTable) ||
        !BlockOptions(opts, nTable, sel, bSelect))
        return kExitUsage;

    ProgressBar progress("loading", 1);
    Document doc;
    std::vector<kavo::CTable*> tables;
    if (!LoadTables(opts, nTable, doc, progress, tables, nStatus)) return nStatus;
    if (!BlockSelected(opts, *tables.front(), sel, bSelect)) return kExitUsage;

    OutputFile out(output, true);
    if (!OpenOutput("save", out)) return kExitFailure;
    // Standard output has no path: the text is gathered, then written.
    kavo::CSpecFile file;
    const bool bStdout = out.GetWritePath().empty();
    if (bStdout ? !file.OpenTextWrite() : !file.Open(out.GetWritePath().c_str(), kavo::CSpecFile::modeWrite))
        return Fail("save", "cannot write " + output + ": " + std::strerror(errno));
    doc.registry->Save(file);
    progress.Restart("writing " + output, static_cast<long long>(tables.size()));
    for (std::size_t i = 0; i < tables.size() && !g_bInterrupted; ++i) {
        tables[i]->Save(file, bSelect ? 1 : 0);
        progress.Update(static_cast<long long>(i + 1));
    }
    progress.Finish();
    bool bComplete = file.Close() && !file.HasWriteError();
    if (bStdout && bComplete && !g_bInterrupted)
        bComplete = std::fwrite(file.GetText().data(), 1, file.GetText().size(), stdout) == file.GetText().size();
    return FinishOutput("save", out, g_bInterrupted, bComplete ? nullptr : "the disk refused part of it");
}

extern const Command kCommand_save = {"save", "write a table file back, whole or a block of one table", &RunSave};

}  // namespace kavotool
