// kavotbl view: starts the viewer, kavotbl-view, on the files given. It is
// looked for beside this program first, then on the PATH.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "common.h"

namespace kavotool {

static int RunView(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(
                "usage: kavotbl view FILE...\n\n"
                "Shows the table files in the viewer, kavotbl-view, a window per file.\n");
            return kExitOk;
        }
    }
    if (argc < 2) return Fail("view", "no table file given (see kavotbl view --help)", kExitUsage);
    std::vector<char*> args;
    char name[] = "kavotbl-view";
    args.push_back(name);
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    args.push_back(nullptr);

    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        std::string beside(self, static_cast<std::size_t>(n));
        beside = beside.substr(0, beside.rfind('/') + 1) + name;
        if (access(beside.c_str(), X_OK) == 0) execv(beside.c_str(), args.data());
        // In a build tree the viewer sits in its own folder.
        std::string built(self, static_cast<std::size_t>(n));
        built = built.substr(0, built.rfind('/'));
        built = built.substr(0, built.rfind('/') + 1) + "viewer/" + name;
        if (access(built.c_str(), X_OK) == 0) execv(built.c_str(), args.data());
    }
    execvp(name, args.data());
    if (errno == ENOENT) return Fail("view", "the viewer (kavotbl-view) is not installed");
    return Fail("view", std::string("cannot start kavotbl-view: ") + std::strerror(errno));
}

extern const Command kCommand_view = {"view", "show table files in a window (kavotbl-view)", &RunView};

}  // namespace kavotool
