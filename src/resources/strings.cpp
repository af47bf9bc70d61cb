// The library's string table and the formatting of its file messages.
#include "kavotbl/resources/strings.h"

#include <cstring>
#include <string>

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
    {IDS_ROW_LENGTH, "row '%s' has %s for %s; %s"},
    {IDS_SIZE_MISMATCH, "\"Size\" says %s and %s; the table has %s and %s"},
    {IDS_ENDS_IN_GROUP, "the file ends inside the group '%s' (no [EndGroup])"},
    {IDS_UNKNOWN_VALUE, "%s=%s is not %s; taken as %s"},
    {IDS_NO_STYLE, "no style '%s'"},
    {IDS_NO_FORMAT, "no format '%s'"},
    {IDS_KEY_TWICE, "%s is given twice in one section; the later value stands"},
    {IDS_TOO_MANY_CELLS, "the table would hold %s cells, more than the %s allowed; it is not loaded"},
    {IDS_OUT_OF_MEMORY, "out of memory; the table is not loaded"},
    {IDS_NO_TABLE, "the file holds no [Table] section"},
    {IDS_CANNOT_OPEN, "cannot open '%s': %s"},
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
    ShowFileMessage(nID, nLine, FormatLineMessage(nID, nLine, strKey), MB_OK);
}

namespace {
thread_local CLoadMessageLog* t_pLog = nullptr;
}  // namespace

CLoadMessageLog::CLoadMessageLog() : m_pOuter(t_pLog) { t_pLog = this; }

CLoadMessageLog::~CLoadMessageLog() { t_pLog = m_pOuter; }

int ShowFileMessage(unsigned nID, int nLine, const CKAVOString& strText, unsigned nType) {
    if (t_pLog != nullptr) {
        // Memory for the record may run out too; the message is still shown.
        try {
            t_pLog->m_messages.push_back(CLoadMessage{nID, nLine, strText.str()});
        } catch (...) {
        }
    }
    return KAVOMessageBox(strText, nType);
}

void ReportLine(unsigned nID, int nLine, std::initializer_list<std::string> texts, unsigned nType) {
    std::string msg;
    if (nLine > 0) msg = "line " + std::to_string(nLine) + ": ";
    const std::string format = LoadKAVOString(nID).str();
    auto it = texts.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
            if (it != texts.end()) msg += *it++;
            ++i;
        } else {
            msg += format[i];
        }
    }
    ShowFileMessage(nID, nLine, CKAVOString(msg), nType);
}

CKAVOString FormatItemMessage(unsigned nID, const CKAVOString& strItem) {
    CKAVOString msg = LoadKAVOString(nID);
    ReplaceFirst(msg.str(), "%s", strItem.str());
    return msg;
}

}  // namespace kavo
