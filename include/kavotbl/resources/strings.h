// The library's string table and the formatting of its file messages.
#pragma once

#include "kavotbl/host/string.h"

namespace kavo {

enum : unsigned {
    IDS_INVALID_SECTION_HEADING = 5000,  // "Invalid section heading at line %d:"
    IDS_UNRECOGNIZED_COMMAND = 5001,     // "Unrecognized command at line %d:"
    IDS_WRONG_VERSION = 5002,
    IDS_NOT_TABLE_FILE = 5003,
    IDS_PICK_TABLES_TO_SAVE = 5004,
    IDS_PICK_TABLES_TO_PRINT = 5005,
    IDS_DATA_CELL_EMPTY = 5006,
    IDS_DATA_CELL_NOT_NUMERIC = 5007,  // "... not numeric:  %s"
    IDS_TOO_MANY_ROWS = 5008,
    IDS_AREA_CODES_MISSING = 5009,
    IDS_AREA_CODES_NOT_NUMERIC = 5010,
};

/// Text of a string-table entry; empty for an unknown id.
CKAVOString LoadKAVOString(unsigned nID);

/// The entry's text with its "%d" replaced by nLine, then a newline and the
/// key. The key is data: nothing in it is interpreted.
CKAVOString FormatLineMessage(unsigned nID, int nLine, const CKAVOString& strKey);
/// Shows FormatLineMessage in a message box with an OK button.
void ShowLineMessage(unsigned nID, int nLine, const CKAVOString& strKey);
/// The entry's text with its "%s" (if any) replaced by strItem.
CKAVOString FormatItemMessage(unsigned nID, const CKAVOString& strItem);

}  // namespace kavo
