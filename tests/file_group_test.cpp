// Reading column and row sections: data values, area codes and the limit on
// nesting.
#include <gtest/gtest.h>

#include <string>

#include "file/file_util.h"
#include "file_test_support.h"

using namespace file_test;

namespace {

const std::string k32 = std::string(32, ' ');

// clang-format off
const std::vector<Case> kGroups = {
    // Values fill the data columns in order over continued "Data" lines, an
    // empty one taking no cell, and keep 64 bits.
    {"[Table]\n" + Rep("[Column]\n", 10) + "[Row]\nData=1, -2, 007\nData=\nData=-0, 42 , +5\n"
     "Data=9223372036854775807, -9223372036854775808, 4294967296\nData=1234567890123456789\n",
     "N D", "10|1 -2 7 0 42 5 9223372036854775807 -9223372036854775808 4294967296 1234567890123456789"},
    // Area codes indent a row's text four blanks a level, up to the last
    // code that is not zero.
    {"[Table]\n[Row]\nText=Urban\nAreaCodes=1, 2\nAreaName=N\n", "Gx Gk Ga",
     "        Urban|1 2 0 0 0 0 0 0|N"},
    {"[Table]\n[Row]\nText=Same\nAreaCodes=0, 0\n", "Gx Gk", "Same|0 0 0 0 0 0 0 0"},
    {"[Table]\n[Row]\nText=Deep\nAreaCodes=0, 0, 0, 0, 0, 0, 0, 5\n", "Gx Gk", k32 + "Deep|0 0 0 0 0 0 0 5"},
    // Codes past the eighth are dropped without touching the name.
    {"[Table]\n[Row]\nText=T\nAreaCodes=1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11\nAreaName=N\n", "Gx Gk Ga",
     k32 + "T|1 2 3 4 5 6 7 8|N"},
    // Text after the codes replaces the indented text; each code keeps its
    // low 32 bits; a row group is not indented.
    {"[Table]\n[Row]\nText=Old\nAreaCodes=4294967297, -1\nText=New\n", "Gx Gk", "New|1 -1 0 0 0 0 0 0", 1, "line 5: \"Text\" is given twice in one section; the later value stands"},
    {"[Table]\n[RowGroup]\nText=Region\nAreaCodes=7, 3\n[Row]\n[EndGroup]\n", "Gx Gk",
     "Region|7 3 0 0 0 0 0 0"},
};
// clang-format on

TEST(GroupReader, DataAndAreaCodes) { CheckCases("", kGroups); }

// Every walk of a tree recurses, so groups nest no deeper than the limit.
TEST(GroupReader, DeepGroupsStopAtTheLimitWithoutOverflowingTheStack) {
    const int nLimit = kavo::file_detail::kMaxGroupDepth;
    for (const std::string heading : {"[ColumnGroup]", "[RowGroup]"}) {
        MessageCapture capture;
        auto doc = Load("[Table]\n" + Rep(heading + "\n", 100000));
        const kavo::CTable& t = (*doc)[0];
        ASSERT_EQ(doc->results[0], 1);
        const kavo::CRowColOb* pRoot =
            heading == "[RowGroup]" ? static_cast<const kavo::CRowColOb*>(t.GetRowRoot()) : t.GetColumnRoot();
        EXPECT_EQ(pRoot->GetDepth(0), nLimit);
        // The first heading past the limit is line nLimit + 2 (line 1 is [Table]).
        ASSERT_FALSE(capture.messages.empty());
        EXPECT_NE(capture.messages[0].text.find("line " + std::to_string(nLimit + 2) + ":\n" + heading),
                  std::string::npos)
            << capture.messages[0].text;
        // Saving and destroying such a tree recurse too.
        EXPECT_GT(SaveTable(t).size(), static_cast<std::size_t>(nLimit) * heading.size());
    }
}

}  // namespace
