// The string table and the file messages made from it.
#include "host_test_support.h"

using kavo::CKAVOString;

TEST(StringTable, TextsAreExactAndUnknownIdsEmpty) {
    const std::pair<unsigned, const char*> texts[] = {
        // 5000, 5001, 5006, 5007 and 5011 to 5021 come out in the messages of the readers and below.
        {5002, "Table file is not version KAVO4.1; try to load it anyway?"},
        {5003, "This is not an KAVO table file; file not loaded."},
        {5004, "Pick tables to save"}, {5005, "Pick tables to print"},
        {5008, "This table contains too many rows to display correctly under Windows 3.1.  "
               "Try reducing the font size or adjusting the table variables."},
        {5009, "Internal tabluation error.  Area code(s) missing."},
        {5010, "Internal tabluation error.  Area code(s) not numeric."}, {4999, ""}, {5022, ""}, {0, ""},
    };
    for (const auto& t : texts) EXPECT_EQ(kavo::LoadKAVOString(t.first), t.second) << t.first;
}

TEST(LineMessages, PlaceholdersAreFilledAndKeysNeverInterpreted) {
    EXPECT_EQ(kavo::FormatLineMessage(kavo::IDS_UNRECOGNIZED_COMMAND, 17, CKAVOString("Bogus")),
              "Unrecognized command at line 17:\nBogus");
    EXPECT_EQ(kavo::FormatLineMessage(kavo::IDS_UNRECOGNIZED_COMMAND, 2, CKAVOString("%d%s%n%%")),
              "Unrecognized command at line 2:\n%d%s%n%%");
    EXPECT_EQ(kavo::FormatItemMessage(kavo::IDS_DATA_CELL_NOT_NUMERIC, CKAVOString("12x%s")),
              "Internal tabluation error.  Data cell is not numeric:  12x%s");
    EXPECT_EQ(kavo::FormatItemMessage(kavo::IDS_DATA_CELL_EMPTY, CKAVOString("ignored")),
              "Internal tabluation error.  Data cell is empty.");
}
