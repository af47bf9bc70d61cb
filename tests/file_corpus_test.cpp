// Replays the fuzz corpus and the example files through the fuzz target's
// own check: every file loads without harm, and what the writer makes of it
// loads again to the same tables and saves to the same text. The examples,
// written as the writer writes, also load without a message and save back
// to their own bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "../fuzz/table_reader_entry.h"
#include "file_test_support.h"

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Checks the files of a folder; returns how many there were.
std::size_t Replay(const fs::path& dir, bool bExamples) {
    std::size_t n = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (!entry.is_regular_file() || (bExamples && entry.path().extension() != ".tbl")) continue;
        SCOPED_TRACE(entry.path());
        ++n;
        const std::string bytes = ReadBytes(entry.path());
        EXPECT_EQ(
            kavo_fuzz::CheckTableFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), "");
        if (!bExamples) continue;
        file_test::MessageCapture capture;
        kavo::CTableDocument doc;
        EXPECT_EQ(doc.LoadFile(entry.path().c_str()), 1);
        EXPECT_TRUE(capture.messages.empty() && doc.GetNumTables() == 1);
        EXPECT_EQ(doc.SaveText(), bytes);
        const std::string out = testing::TempDir() + "/file_corpus_" + entry.path().filename().string();
        EXPECT_EQ(doc.SaveFile(out.c_str()), 1);
        EXPECT_EQ(ReadBytes(out), bytes);
        std::remove(out.c_str());
    }
    return n;
}

TEST(FileCorpus, EveryCorpusFileRoundTrips) {
    EXPECT_GE(Replay(fs::path(KAVOTBL_SOURCE_DIR) / "fuzz" / "corpus", false), 20u);
}

// Each corpus file loads to the result, tables and messages (ids and lines)
// written down for it, and every message that concerns a line says which.
TEST(FileCorpus, EveryCorpusFileGivesItsMessages) {
    std::map<std::string, std::string> expected;
    std::ifstream list(fs::path(KAVOTBL_SOURCE_DIR) / "tests" / "data" / "corpus_messages.txt");
    for (std::string line; std::getline(list, line);) {
        const std::size_t blank = line.find(' ');
        if (!line.empty() && line[0] != '#' && blank != std::string::npos)
            expected[line.substr(0, blank)] = line.substr(blank + 1);
    }
    file_test::MessageCapture capture;
    std::size_t n = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(KAVOTBL_SOURCE_DIR) / "fuzz" / "corpus")) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        kavo::CTableDocument doc;
        const int nResult = doc.LoadFile(entry.path().c_str());
        std::string got = std::to_string(nResult) + " " + std::to_string(doc.GetNumTables()) + ":";
        for (const kavo::CLoadMessage& m : doc.GetMessages()) {
            got += " " + std::to_string(m.nID) + "@" + std::to_string(m.nLine);
            if (m.nID > kavo::IDS_AREA_CODES_NOT_NUMERIC && m.nLine > 0) {
                EXPECT_EQ(m.strText.rfind("line " + std::to_string(m.nLine) + ": ", 0), 0u) << m.strText;
            }
        }
        EXPECT_EQ(got, expected[name]);
        ++n;
    }
    EXPECT_EQ(n, expected.size());
}

TEST(FileCorpus, EveryExampleRoundTripsToItsOwnBytes) {
    EXPECT_GE(Replay(fs::path(KAVOTBL_SOURCE_DIR) / "examples", true), 4u);
}

}  // namespace
