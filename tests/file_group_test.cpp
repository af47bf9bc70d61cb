// Reading column and row sections: data values, area codes and the limit on
// nesting.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "file/file_util.h"
#include "file_test_support.h"

using namespace file_test;
using kavo::CTable;

namespace {

class GroupReaderTest : public ::testing::Test {
protected:
    MessageCapture capture;
};

TEST_F(GroupReaderTest, DataLinesContinueOneAnotherAndKeepSixtyFourBits) {
    // An empty line among them takes no cell.
    auto doc = Load("[Table]\n" + Rep("[Column]\n", 10) +
                    "[Row]\nData=1, -2, 007\nData=\nData=-0, 42 , +5\n"
                    "Data=9223372036854775807, -9223372036854775808, 4294967296\nData=1234567890123456789\n");
    const std::int64_t values[] = {1, -2, 7, 0, 42, 5, INT64_MAX, INT64_MIN, std::int64_t{1} << 32,
                                   1234567890123456789};
    CTable& t = (*doc)[0];
    ASSERT_EQ(doc->results[0], 1);
    EXPECT_TRUE(capture.messages.empty());
    ASSERT_EQ(t.GetRow(0)->GetNumCells(), 10);
    for (int c = 0; c < 10; ++c) EXPECT_EQ(t.GetCellData(0, c), values[c]) << c;
    EXPECT_EQ(t.GetNumDataCells(), 10);  // nothing padded
}

TEST_F(GroupReaderTest, AreaCodesIndentTheTextOfARowFourBlanksALevel) {
    const struct {
        const char* lines;
        std::string text;
        std::vector<int> codes;  // the eight levels
    } cases[] = {
        {"[Row]\nText=Urban\nAreaCodes=1, 2\nAreaName=N\n", "        Urban", {1, 2, 0, 0, 0, 0, 0, 0}},
        {"[Row]\nText=Same\nAreaCodes=0, 0\nAreaName=N\n", "Same", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"[Row]\nText=Deep\nAreaCodes=0, 0, 0, 0, 0, 0, 0, 5\nAreaName=N\n", std::string(32, ' ') + "Deep",
         {0, 0, 0, 0, 0, 0, 0, 5}},
        // Codes past the eighth are dropped without touching the name.
        {"[Row]\nText=T\nAreaCodes=1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11\nAreaName=N\n", std::string(32, ' ') + "T",
         {1, 2, 3, 4, 5, 6, 7, 8}},
        // Text after the codes replaces the indented text; each code keeps its low 32 bits.
        {"[Row]\nText=Old\nAreaCodes=4294967297, -1\nText=New\nAreaName=N\n", "New", {1, -1, 0, 0, 0, 0, 0, 0}},
        // A row group is not indented.
        {"[RowGroup]\nText=Region\nAreaCodes=7, 3\nAreaName=N\n[Row]\n[EndGroup]\n", "Region", {7, 3, 0, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        auto doc = Load(std::string("[Table]\n") + c.lines);
        const kavo::CTblRow* p = (*doc)[0].GetRowRoot()->GetChild(0);
        EXPECT_EQ(doc->results[0], 1);
        EXPECT_TRUE(p->HasArea());
        EXPECT_EQ(p->GetText(), c.text);
        EXPECT_EQ(p->GetAreaName(), "N");
        for (int i = 0; i < 8; ++i) EXPECT_EQ(p->GetArea().GetCode(i), c.codes[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_TRUE(capture.messages.empty());
}

// Every walk of a tree recurses, so groups nest no deeper than the limit.
class NestingTest : public ::testing::TestWithParam<const char*> {
protected:
    MessageCapture capture;
};

TEST_P(NestingTest, DeepGroupsStopAtTheLimitWithoutOverflowingTheStack) {
    const std::string heading = GetParam();
    const int nLimit = kavo::file_detail::kMaxGroupDepth;
    auto doc = Load("[Table]\n" + Rep(heading + "\n", 100000));
    CTable& t = (*doc)[0];
    ASSERT_EQ(doc->results[0], 1);
    const kavo::CRowColOb* pRoot = heading == "[ColumnGroup]" ? static_cast<const kavo::CRowColOb*>(t.GetColumnRoot())
                                                               : t.GetRowRoot();
    EXPECT_EQ(pRoot->GetDepth(0), nLimit);
    // The first heading past the limit is line nLimit + 2 (line 1 is [Table]).
    ASSERT_FALSE(capture.messages.empty());
    EXPECT_NE(capture.messages[0].text.find("line " + std::to_string(nLimit + 2) + ":\n" + heading), std::string::npos)
        << capture.messages[0].text;
    // Saving and destroying such a tree recurse too.
    EXPECT_GT(SaveTable(t).size(), static_cast<std::size_t>(nLimit) * heading.size());
}

INSTANTIATE_TEST_SUITE_P(Trees, NestingTest, ::testing::Values("[ColumnGroup]", "[RowGroup]"));

}  // namespace
