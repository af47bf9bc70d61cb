// The library's string table and the formatting of its file messages.
#include "kavotbl/resources/strings.h"

#include <cstring>

#include "kavotbl/host/platform.h"

namespace kavo {

namespace {

struct StringEntry {
    unsigned nID;
    const char* pszText;
};

constexpr StringEntry kStrings[] = {
    {IDS_INVALID_SECTION_HEADING, "Invalid section heading at line %d:"},
    {IDS_UNRECOGNIZED_COMMAND, "Unrecognized command at line %d:"},
    {IDS_WRONG_VERSION, "Table file is not version KAVO4.1; try to load it anyway?"},
    {IDS_NOT_TABLE_FILE, "This is not an KAVO table file; file not loaded."},
    {IDS_PICK_TABLES_TO_SAVE, "Pick tables to save"},
    {IDS_PICK_TABLES_TO_PRINT, "Pick tables to print"},
    {IDS_DATA_CELL_EMPTY, "Internal tabluation error.  Data cell is empty."},
    {IDS_DATA_CELL_NOT_NUMERIC, "Internal tabluation error.  Data cell is not numeric:  %s"},
    {IDS_TOO_MANY_ROWS,
     "This table contains too many rows to display correctly under Windows 3.1.  Try reducing the font size or "
     "adjusting the table variables."},
    {IDS_AREA_CODES_MISSING, "Internal tabluation error.  Area code(s) missing."},
    {IDS_AREA_CODES_NOT_NUMERIC, "Internal tabluation error.  Area code(s) not numeric."},
};

// Replaces the first occurrence of pszMark in str with strWith; the
// replacement is never scanned again.
void ReplaceFirst(std::string& str, const char* pszMark, const std::string& strWith) {
    const std::size_t pos = str.find(pszMark);
    if (pos != std::string::npos) str.replace(pos, std::strlen(pszMark), strWith);
}

}  // namespace

CKAVOString LoadKAVOString(unsigned nID) {
    for (const StringEntry& e : kStrings)
        if (e.nID == nID) return CKAVOString(e.pszText);
    return CKAVOString();
}

CKAVOString FormatLineMessage(unsigned nID, int nLine, const CKAVOString& strKey) {
    CKAVOString msg = LoadKAVOString(nID);
    CKAVOString number;
    number.Str(nLine);
    ReplaceFirst(msg.str(), "%d", number.str());
    msg += '\n';
    msg += strKey;
    return msg;
}

void ShowLineMessage(unsigned nID, int nLine, const CKAVOString& strKey) {
    KAVOMessageBox(FormatLineMessage(nID, nLine, strKey), MB_OK);
}

CKAVOString FormatItemMessage(unsigned nID, const CKAVOString& strItem) {
    CKAVOString msg = LoadKAVOString(nID);
    ReplaceFirst(msg.str(), "%s", strItem.str());
    return msg;
}

}  // namespace kavo
