// Replays the fuzz corpus and the example files through the fuzz target's
// own check: every file loads without harm, and what the writer makes of it
// loads again to the same tables and saves to the same text.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../fuzz/table_reader_entry.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesIn(const fs::path& dir, const char* pszExtension = nullptr) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.is_regular_file() && (!pszExtension || entry.path().extension() == pszExtension))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Replay(const fs::path& dir, std::size_t nAtLeast, const char* pszExtension = nullptr) {
    const std::vector<fs::path> files = FilesIn(dir, pszExtension);
    EXPECT_GE(files.size(), nAtLeast) << dir;
    for (const fs::path& path : files) {
        const std::string bytes = ReadBytes(path);
        EXPECT_EQ(kavo_fuzz::CheckTableFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "")
            << path;
    }
}

TEST(FileCorpus, EveryCorpusFileRoundTrips) { Replay(fs::path(KAVOTBL_SOURCE_DIR) / "fuzz" / "corpus", 20); }

TEST(FileCorpus, EveryExampleRoundTrips) { Replay(fs::path(KAVOTBL_SOURCE_DIR) / "examples", 4, ".tbl"); }

}  // namespace
