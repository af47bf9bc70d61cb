// kavotbl: load table files, print them to PDF, render them as images,
// write them as RTF, save them back and tell what they hold.
//
// Each subcommand lives in its own cmd_<name>.cpp, which defines
// `extern const kavotool::Command kCommand_<name>`; adding one takes that
// file and one line in the list below.
#include <cstdio>
#include <cstring>
#include <string>

#include "common.h"

#define KAVOTBL_COMMANDS(X) \
    X(print)                \
    X(render)               \
    X(rtf)                  \
    X(export)               \
    X(save)                 \
    X(info)                 \
    X(check)                \
    X(view)

namespace kavotool {
#define KAVOTBL_DECLARE_COMMAND(name) extern const Command kCommand_##name;
KAVOTBL_COMMANDS(KAVOTBL_DECLARE_COMMAND)
#undef KAVOTBL_DECLARE_COMMAND
}  // namespace kavotool

namespace {

using kavotool::Command;

#define KAVOTBL_COMMAND_ENTRY(name) &kavotool::kCommand_##name,
const Command* const kCommands[] = {KAVOTBL_COMMANDS(KAVOTBL_COMMAND_ENTRY)};
#undef KAVOTBL_COMMAND_ENTRY

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: kavotbl <command> [options] [arguments]\n"
                 "       kavotbl <command> --help\n"
                 "       kavotbl --version\n\n"
                 "commands:\n");
    for (const Command* c : kCommands) std::fprintf(out, "  %-10s %s\n", c->name, c->summary);
}

const Command* FindCommand(const char* name) {
    for (const Command* c : kCommands)
        if (std::strcmp(c->name, name) == 0) return c;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return kavotool::kExitUsage;
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h") {
        PrintUsage(stdout);
        return kavotool::kExitOk;
    }
    if (first == "--version") {
        std::printf("kavotbl %s\n", KAVOTBL_VERSION);
        return kavotool::kExitOk;
    }
    if (first == "help") {
        if (argc < 3) {
            PrintUsage(stdout);
            return kavotool::kExitOk;
        }
        const Command* c = FindCommand(argv[2]);
        if (!c) return kavotool::Fail("", std::string("unknown command '") + argv[2] + "'", kavotool::kExitUsage);
        char help[] = "--help";
        char* args[] = {argv[2], help, nullptr};
        return c->run(2, args);
    }
    const Command* c = FindCommand(argv[1]);
    if (!c) {
        return kavotool::Fail("", "unknown command '" + first + "' (see kavotbl --help)", kavotool::kExitUsage);
    }
    kavotool::InstallInterruptHandler();
    return c->run(argc - 1, argv + 1);
}
