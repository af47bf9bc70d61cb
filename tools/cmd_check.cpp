// kavotbl check: loads table files and reports every message that loading
// showed, with file and line, for people or (--json) for tools.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common.h"
#include "kavotbl/export/text.h"

namespace kavotool {

namespace {

// What one file gave: its messages (with the place taken out of their
// text), whether it could be read at all, and how many tables it held.
struct Checked {
    std::string path;
    bool bReadable = true;
    bool bLoaded = false;
    int nTables = 0;
    std::vector<LoadMessage> messages;
};

Checked CheckFile(const std::string& given, ProgressBar& progress) {
    Checked c;
    kavo::CTableDocument doc;
    DiscardMessageBoxes silent;  // the messages are what check prints, once
    if (given == "-") {
        c.path = kStandardInput;
        std::string text;
        if (!ReadStandardInput(text)) {
            c.bReadable = false;
            c.messages.push_back({kavo::IDS_CANNOT_OPEN, 0, std::string("cannot read it: ") + std::strerror(errno)});
            return c;
        }
        c.bLoaded = doc.LoadText(std::move(text), &progress) != 0;
    } else {
        c.path = given;
        struct stat st;
        const bool bFound = stat(given.c_str(), &st) == 0;
        if (!bFound || S_ISDIR(st.st_mode)) {
            c.bReadable = false;
            c.messages.push_back({kavo::IDS_CANNOT_OPEN, 0,
                                  std::string("cannot open it: ") + (bFound ? "it is a folder" : std::strerror(errno))});
            return c;
        }
        progress.Restart("checking " + given, static_cast<long long>(st.st_size) / 100);
        c.bLoaded = doc.LoadFile(given.c_str(), &progress) != 0;
    }
    c.nTables = doc.GetNumTables();
    for (const kavo::CLoadMessage& m : doc.GetMessages()) {
        if (m.nID == kavo::IDS_CANNOT_OPEN) c.bReadable = false;
        c.messages.push_back(ToLoadMessage(m));
    }
    return c;
}

}  // namespace

static int RunCheck(int argc, char** argv) {
    OptionParser opts("check", "FILE... [--json]",
                      "Loads each table file and prints every message that loading shows, as\n"
                      "FILE:LINE: text. The exit status is 0 when no file gave a message, 1 when\n"
                      "any did, and 2 when a file cannot be read. FILE may be - for standard input.",
                      {
                          {"json", 0, nullptr, "print the messages as JSON: one record per file"},
                      });
    std::string error;
    if (!opts.Parse(argc, argv, error)) return Fail("check", error, kExitUsage);
    if (opts.HelpRequested()) {
        opts.PrintHelp(stdout);
        return kExitOk;
    }
    if (opts.Positionals().empty()) return Fail("check", "no table file given (see kavotbl check --help)", kExitUsage);
    const bool bJson = opts.Has("json");

    ProgressBar progress("checking", 1);
    int nStatus = kExitOk;
    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    for (const std::string& path : opts.Positionals()) {
        const Checked c = CheckFile(path, progress);
        progress.Finish();
        if (g_bInterrupted) return Fail("check", "cancelled", kExitCancelled);
        if (!c.bReadable)
            nStatus = kExitUsage;
        else if (!c.messages.empty() && nStatus == kExitOk)
            nStatus = kExitFailure;
        if (!bJson) {
            PrintMessages(stdout, c.path, c.messages);
            continue;
        }
        nlohmann::ordered_json messages = nlohmann::ordered_json::array();
        for (const LoadMessage& m : c.messages) messages.push_back(MessageJson(m));
        files.push_back({{"file", kavo::TextToUtf8(c.path)},
                         {"readable", c.bReadable},
                         {"loaded", c.bLoaded},
                         {"tables", c.nTables},
                         {"messages", std::move(messages)}});
    }
    if (bJson) std::cout << files.dump(2) << '\n' << std::flush;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout)
        return Fail("check", "cannot write to standard output");
    return nStatus;
}

extern const Command kCommand_check = {"check", "report every message that loading table files shows", &RunCheck};

}  // namespace kavotool
