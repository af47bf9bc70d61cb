// The example table files: each loads without a message, saves back to its
// own bytes, and holds the table it is meant to show.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "file_test_support.h"
#include "kavotbl/host/recording_dc.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ExampleTest : public ::testing::TestWithParam<const char*> {
protected:
    kavo::CTable& Open(const std::string& name) {
        EXPECT_EQ(doc.LoadFile((std::string(KAVOTBL_SOURCE_DIR) + "/examples/" + name).c_str()), 1);
        EXPECT_TRUE(capture.messages.empty());
        EXPECT_EQ(doc.GetNumTables(), 1);
        return *doc.GetTable(0);
    }
    file_test::MessageCapture capture;
    kavo::CTableDocument doc;
};

TEST_P(ExampleTest, SavesBackByteForByteToTextAndToAFile) {
    const std::string bytes = ReadBytes(std::string(KAVOTBL_SOURCE_DIR) + "/examples/" + GetParam());
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(Open(GetParam()).IsLoaded());
    EXPECT_EQ(doc.SaveText(), bytes);
    const std::string out = testing::TempDir() + "/file_examples_" + GetParam();
    ASSERT_EQ(doc.SaveFile(out.c_str()), 1);
    EXPECT_EQ(ReadBytes(out), bytes);
    std::remove(out.c_str());
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleTest,
                         ::testing::Values("households.tbl", "areas.tbl", "cellstyles.tbl", "wide.tbl"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param).substr(0, std::strlen(param.param) - 4);
                         });

TEST_F(ExampleTest, EachShowsWhatItIsFor) {
    // Households: total = urban + rural on every row; the last row sums the others.
    const kavo::CTable& h = Open("households.tbl");
    ASSERT_EQ(h.GetNumDataRows(), 7);
    for (int r = 0; r < 7; ++r) EXPECT_EQ(h.GetCellData(r, 0), h.GetCellData(r, 1) + h.GetCellData(r, 2)) << r;
    for (int c = 0; c < 3; ++c) {
        std::int64_t sum = 0;
        for (int r = 0; r < 6; ++r) sum += h.GetCellData(r, c);
        EXPECT_EQ(h.GetCellData(6, c), sum) << c;
    }
    // Wide: ten-point text on a letter page with half-inch margins takes
    // several column and row pages.
    kavo::CTable& w = Open("wide.tbl");
    kavo::LOGFONT lf;
    lf.lfHeight = -13;
    std::strcpy(lf.lfFaceName, "Serif");
    doc.GetRegistry().UpdateFonts(&lf, 200);
    kavo::CRecordingDC twips(kavo::MM_TWIPS);
    w.LayoutPrinter(kavo::CRect(0, 0, 10800, -14400), &twips);
    EXPECT_GT(w.GetNumHorzPages(), 1);
    EXPECT_GT(w.GetNumPages(), w.GetNumHorzPages());
}

}  // namespace
