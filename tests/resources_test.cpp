#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kavotbl/host/platform.h"
#include "kavotbl/resources/strings.h"

using kavo::CKAVOString;

TEST(StringTable, TextsAreExact) {
    EXPECT_EQ(kavo::LoadKAVOString(5000), "Invalid section heading at line %d:");
    EXPECT_EQ(kavo::LoadKAVOString(5001), "Unrecognized command at line %d:");
    EXPECT_EQ(kavo::LoadKAVOString(5002), "Table file is not version KAVO4.1; try to load it anyway?");
    EXPECT_EQ(kavo::LoadKAVOString(5003), "This is not an KAVO table file; file not loaded.");
    EXPECT_EQ(kavo::LoadKAVOString(5004), "Pick tables to save");
    EXPECT_EQ(kavo::LoadKAVOString(5005), "Pick tables to print");
    EXPECT_EQ(kavo::LoadKAVOString(5006), "Internal tabluation error.  Data cell is empty.");
    EXPECT_EQ(kavo::LoadKAVOString(5007), "Internal tabluation error.  Data cell is not numeric:  %s");
    EXPECT_EQ(kavo::LoadKAVOString(5008),
              "This table contains too many rows to display correctly under Windows 3.1.  "
              "Try reducing the font size or adjusting the table variables.");
    EXPECT_EQ(kavo::LoadKAVOString(5009), "Internal tabluation error.  Area code(s) missing.");
    EXPECT_EQ(kavo::LoadKAVOString(5010), "Internal tabluation error.  Area code(s) not numeric.");
}

TEST(StringTable, UnknownIdsAreEmpty) {
    EXPECT_TRUE(kavo::LoadKAVOString(4999).IsEmpty());
    EXPECT_TRUE(kavo::LoadKAVOString(5011).IsEmpty());
    EXPECT_TRUE(kavo::LoadKAVOString(0).IsEmpty());
}

TEST(LineMessages, LineNumberThenNewlineAndKey) {
    EXPECT_EQ(kavo::FormatLineMessage(kavo::IDS_UNRECOGNIZED_COMMAND, 17, CKAVOString("Bogus")),
              "Unrecognized command at line 17:\nBogus");
    EXPECT_EQ(kavo::FormatLineMessage(kavo::IDS_INVALID_SECTION_HEADING, -3, CKAVOString("[X]")),
              "Invalid section heading at line -3:\n[X]");
}

TEST(LineMessages, KeyIsNeverInterpreted) {
    // Format directives in the key come through untouched.
    EXPECT_EQ(kavo::FormatLineMessage(kavo::IDS_UNRECOGNIZED_COMMAND, 2, CKAVOString("%d%s%n%%")),
              "Unrecognized command at line 2:\n%d%s%n%%");
}

TEST(LineMessages, ItemReplacesThePlaceholder) {
    EXPECT_EQ(kavo::FormatItemMessage(kavo::IDS_DATA_CELL_NOT_NUMERIC, CKAVOString("12x%s")),
              "Internal tabluation error.  Data cell is not numeric:  12x%s");
    EXPECT_EQ(kavo::FormatItemMessage(kavo::IDS_DATA_CELL_EMPTY, CKAVOString("ignored")),
              "Internal tabluation error.  Data cell is empty.");
}

TEST(LineMessages, ShowGoesToTheMessageBoxWithOk) {
    std::vector<std::pair<std::string, unsigned>> seen;
    auto prev = kavo::SetMessageBoxHandler([&](const CKAVOString& text, unsigned type) {
        seen.emplace_back(text.str(), type);
        return kavo::IDOK;
    });
    kavo::ShowLineMessage(kavo::IDS_INVALID_SECTION_HEADING, 9, CKAVOString("[Nonsense]"));
    kavo::SetMessageBoxHandler(prev);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].first, "Invalid section heading at line 9:\n[Nonsense]");
    EXPECT_EQ(seen[0].second, static_cast<unsigned>(kavo::MB_OK));
}
