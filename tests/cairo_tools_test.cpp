// Ctrl-C while the kavotbl program loads a file, which its runs cannot
// reach: the progress bar notices it and loading stops as cancelled.
#include <gtest/gtest.h>

#if defined(KAVOTBL_HAVE_CAIRO) && defined(KAVOTBL_HAVE_TOOLS)

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "common.h"

namespace kavotool {
namespace {

TEST(Loading, CtrlCCancelsThroughTheProgressBar) {
    const std::string path = "/tmp/kavotbl-tools-" + std::to_string(getpid()) + ".tbl";
    std::ofstream(path) << "[Table]\nSize=1, 1\n[Column]\nText=A\n[Row]\nText=r\nData=5\n"
                           "[Table]\nSize=1, 1\n[Column]\nText=B\n[Row]\nText=s\nData=6\n";
    Document doc;
    std::string error;
    ProgressBar progress("loading", 1);
    g_bInterrupted = 1;
    const LoadStatus status = LoadDocument(path, doc, &progress, error);
    g_bInterrupted = 0;
    std::remove(path.c_str());
    EXPECT_EQ(status, LoadStatus::Cancelled);
    EXPECT_EQ(error, "cancelled");
}

}  // namespace
}  // namespace kavotool

#else

TEST(CairoTools, NotBuilt) { GTEST_SKIP() << "configured without the kavotbl program"; }

#endif
