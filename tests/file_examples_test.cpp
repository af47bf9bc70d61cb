// The example table files: each loads without a message, saves back to its
// own bytes, and holds the table it is meant to show.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "file_test_support.h"
#include "kavotbl/file/document.h"
#include "kavotbl/host/recording_dc.h"
#include "kavotbl/model/table.h"

using kavo::CTable;
using kavo::CTableDocument;

namespace {

std::string ExamplePath(const char* pszName) { return std::string(KAVOTBL_SOURCE_DIR) + "/examples/" + pszName; }

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class ExampleTest : public ::testing::TestWithParam<const char*> {
protected:
    file_test::MessageCapture capture;
};

TEST_P(ExampleTest, LoadsAndSavesBackByteForByte) {
    const std::string bytes = ReadBytes(ExamplePath(GetParam()));
    ASSERT_FALSE(bytes.empty());
    CTableDocument doc;
    ASSERT_EQ(doc.LoadFile(ExamplePath(GetParam()).c_str()), 1);
    EXPECT_TRUE(capture.messages.empty());
    ASSERT_EQ(doc.GetNumTables(), 1);
    EXPECT_TRUE(doc.GetTable(0)->IsLoaded());
    const std::string saved = doc.SaveText();
    EXPECT_EQ(saved, bytes);

    CTableDocument again;
    ASSERT_EQ(again.LoadText(saved), 1);
    EXPECT_EQ(again.SaveText(), saved);
}

TEST_P(ExampleTest, SavesToAFileAndLoadsFromIt) {
    CTableDocument doc;
    ASSERT_EQ(doc.LoadFile(ExamplePath(GetParam()).c_str()), 1);
    const std::string out = testing::TempDir() + "/file_examples_" + GetParam();
    ASSERT_EQ(doc.SaveFile(out.c_str()), 1);
    EXPECT_EQ(ReadBytes(out), ReadBytes(ExamplePath(GetParam())));
    std::remove(out.c_str());
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleTest,
                         ::testing::Values("households.tbl", "areas.tbl", "cellstyles.tbl", "wide.tbl"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                             return std::string(param.param).substr(0, std::strlen(param.param) - 4);
                         });

class ExampleContentTest : public ::testing::Test {
protected:
    const CTable& Open(const char* pszName) {
        EXPECT_EQ(doc.LoadFile(ExamplePath(pszName).c_str()), 1);
        return *doc.GetTable(0);
    }
    file_test::MessageCapture capture;
    CTableDocument doc;
};

TEST_F(ExampleContentTest, HouseholdsTotalsAddUp) {
    const CTable& t = Open("households.tbl");
    ASSERT_EQ(t.GetNumDataColumns(), 5);
    ASSERT_EQ(t.GetNumDataRows(), 7);
    EXPECT_EQ(t.GetColumnRoot()->GetNumChildren(), 2);
    EXPECT_EQ(t.GetColumnRoot()->GetChild(0)->GetNumChildren(), 3);
    // Total = urban + rural on every row; the last row sums the others.
    for (int r = 0; r < 7; ++r) EXPECT_EQ(t.GetCellData(r, 0), t.GetCellData(r, 1) + t.GetCellData(r, 2)) << r;
    for (int c = 0; c < 3; ++c) {
        std::int64_t sum = 0;
        for (int r = 0; r < 6; ++r) sum += t.GetCellData(r, c);
        EXPECT_EQ(t.GetCellData(6, c), sum) << c;
    }
    // Percentages carry one implied decimal and the total row is bold.
    const kavo::CFormat* pPct = t.GetCell(0, 3)->GetFormat();
    ASSERT_NE(pPct, nullptr);
    EXPECT_EQ(pPct->m_nDecimals, 1);
    EXPECT_EQ(t.GetCell(0, 0)->GetFormat()->GetLabel(), "Default");
    EXPECT_EQ(t.GetCell(6, 4)->GetStyle()->GetLabel(), "Bold");
    EXPECT_EQ(t.GetRow(6)->GetStyle()->GetLabel(), "TotalRow");
    EXPECT_FALSE(t.GetStubHead()->GetText().IsEmpty());
    EXPECT_FALSE(t.GetHeader()->GetText().IsEmpty());
    EXPECT_FALSE(t.GetFooter()->GetText().IsEmpty());
}

TEST_F(ExampleContentTest, AreasNestOverThreeLevels) {
    const CTable& t = Open("areas.tbl");
    EXPECT_EQ(t.GetNumAreaLevels(), 3u);
    int nLevel[4] = {0, 0, 0, 0};
    bool bAccented = false;
    for (int r = 0; r < t.GetNumDataRows(); ++r) {
        const kavo::CTblRow* pRow = t.GetRow(r);
        ASSERT_TRUE(pRow->HasArea());
        int k = 0;
        while (k < 8 && pRow->GetArea().GetCode(k) != 0) ++k;
        ASSERT_GE(k, 1);
        ASSERT_LE(k, 3);
        ++nLevel[k];
        // The text is the area name indented four blanks per level.
        EXPECT_EQ(pRow->GetText(), std::string(static_cast<std::size_t>(4 * k), ' ') + pRow->GetAreaName().str());
        if (pRow->GetAreaName() == "S\xE3o Paulo") bAccented = true;
    }
    EXPECT_EQ(nLevel[1], 1);
    EXPECT_GE(nLevel[2], 2);
    EXPECT_GE(nLevel[3], nLevel[2]);
    EXPECT_TRUE(bAccented);
    // Each region's population is the sum of its districts'; the country's
    // the sum of the regions'.
    std::int64_t nCountry = 0;
    for (int r = 1; r < t.GetNumDataRows();) {
        const std::int64_t nRegion = t.GetCellData(r, 0);
        nCountry += nRegion;
        std::int64_t sum = 0;
        int d = r + 1;
        for (; d < t.GetNumDataRows() && t.GetRow(d)->GetArea().GetCode(2) != 0; ++d) sum += t.GetCellData(d, 0);
        EXPECT_EQ(sum, nRegion) << r;
        r = d;
    }
    EXPECT_EQ(t.GetCellData(0, 0), nCountry);
}

TEST_F(ExampleContentTest, CellStylesHideAndMarkSingleCells) {
    const CTable& t = Open("cellstyles.tbl");
    int nHidden = 0;
    int nHighlight = 0;
    for (int r = 0; r < t.GetNumDataRows(); ++r)
        for (int c = 0; c < t.GetNumDataColumns(); ++c) {
            const kavo::CTblCell* pCell = t.GetCell(r, c);
            if (pCell->GetFormat()->m_bHidden) {
                ++nHidden;
                EXPECT_LT(pCell->GetData(), 5);  // only small counts are suppressed
                EXPECT_GT(pCell->GetData(), 0);
            }
            if (pCell->GetStyle()->GetLabel() == "Highlight") {
                ++nHighlight;
                for (int o = 0; o + 1 < t.GetNumDataRows(); ++o) EXPECT_LE(t.GetCellData(o, c), pCell->GetData());
            }
        }
    EXPECT_GE(nHidden, 2);
    EXPECT_EQ(nHighlight, 4);  // the largest of each size class
    // Zero counts show the zero mask of their column's format.
    EXPECT_EQ(t.GetCell(1, 3)->GetData(), 0);
    EXPECT_EQ(t.GetCell(1, 3)->GetFormat()->m_strZeroMask, "nil");
}

TEST_F(ExampleContentTest, WideTablePrintsOnSeveralColumnAndRowPages) {
    ASSERT_EQ(doc.LoadFile(ExamplePath("wide.tbl").c_str()), 1);
    CTable& t = *doc.GetTable(0);
    ASSERT_EQ(t.GetNumDataColumns(), 20);
    ASSERT_EQ(t.GetNumDataRows(), 60);
    EXPECT_EQ(t.GetColumnRoot()->GetNumChildren(), 3);
    // Both sexes (rows 0-19) = males (20-39) + females (40-59).
    for (int r = 0; r < 20; ++r)
        for (int c = 0; c < 20; ++c) EXPECT_EQ(t.GetCellData(r, c), t.GetCellData(20 + r, c) + t.GetCellData(40 + r, c));

    // Ten-point text on a letter page with half-inch margins.
    kavo::LOGFONT lf;
    lf.lfHeight = -13;
    std::strcpy(lf.lfFaceName, "Serif");
    doc.GetRegistry().UpdateFonts(&lf, 200);
    kavo::CRecordingDC twips(kavo::MM_TWIPS);
    t.LayoutPrinter(kavo::CRect(0, 0, 10800, -14400), &twips);
    EXPECT_GT(t.GetNumHorzPages(), 1);
    EXPECT_GT(t.GetNumPages(), t.GetNumHorzPages());
}

}  // namespace
