// Replays the fuzz corpus and the example files through the fuzz target's
// own check: every file loads without harm, and what the writer makes of it
// loads again to the same tables and saves to the same text.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "../fuzz/table_reader_entry.h"

namespace {

namespace fs = std::filesystem;

void Replay(const fs::path& dir, std::size_t nAtLeast, const char* pszExtension = nullptr) {
    std::size_t n = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (!entry.is_regular_file() || (pszExtension && entry.path().extension() != pszExtension)) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(kavo_fuzz::CheckTableFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
            << entry.path();
        ++n;
    }
    EXPECT_GE(n, nAtLeast) << dir;
}

TEST(FileCorpus, EveryCorpusFileRoundTrips) { Replay(fs::path(KAVOTBL_SOURCE_DIR) / "fuzz" / "corpus", 20); }

TEST(FileCorpus, EveryExampleRoundTrips) { Replay(fs::path(KAVOTBL_SOURCE_DIR) / "examples", 4, ".tbl"); }

}  // namespace
