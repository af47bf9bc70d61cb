// The library's string table and the formatting of its file messages.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

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
    // Departures from what a key or section says; the value is taken as
    // the reader always took it, and these only tell the user so.
    IDS_ROW_LENGTH = 5011,
    IDS_SIZE_MISMATCH = 5012,
    IDS_ENDS_IN_GROUP = 5013,
    IDS_UNKNOWN_VALUE = 5014,
    IDS_NO_STYLE = 5015,
    IDS_NO_FORMAT = 5016,
    IDS_KEY_TWICE = 5017,
    IDS_TOO_MANY_CELLS = 5018,
    IDS_OUT_OF_MEMORY = 5019,
    IDS_NO_TABLE = 5020,
    IDS_CANNOT_OPEN = 5021,
};

/// Text of a string-table entry; empty for an unknown id.
CKAVOString LoadKAVOString(unsigned nID);

/// The entry's text with its "%d" replaced by nLine, then a newline and the
/// key. The key is data: nothing in it is interpreted.
CKAVOString FormatLineMessage(unsigned nID, int nLine, const CKAVOString& strKey);
/// Shows FormatLineMessage in a message box with an OK button.
void ShowLineMessage(unsigned nID, int nLine, const CKAVOString& strKey);

/// One message of a load: its string-table id, the line of the file it
/// concerns (0 when it concerns no line) and its text as the message box
/// showed it.
struct CLoadMessage {
    unsigned nID = 0;
    int nLine = 0;
    std::string strText;
};

/// Keeps the messages that loading shows while it lives, in the order shown,
/// besides showing them through the message-box handler as always. Logs
/// nest: the innermost one alive keeps them. One per thread.
class CLoadMessageLog {
public:
    CLoadMessageLog();
    ~CLoadMessageLog();
    CLoadMessageLog(const CLoadMessageLog&) = delete;
    CLoadMessageLog& operator=(const CLoadMessageLog&) = delete;
    const std::vector<CLoadMessage>& GetMessages() const { return m_messages; }
    std::vector<CLoadMessage> TakeMessages() { return std::move(m_messages); }

private:
    friend int ShowFileMessage(unsigned, int, const CKAVOString&, unsigned);
    std::vector<CLoadMessage> m_messages;
    CLoadMessageLog* m_pOuter;
};

/// Shows strText through the message-box handler and keeps it, with nID and
/// nLine, in the current CLoadMessageLog; returns the handler's answer.
int ShowFileMessage(unsigned nID, int nLine, const CKAVOString& strText, unsigned nType = 0x0000u);
/// Formats pszFormat with "line N: " in front (when nLine > 0) and each
/// "%s" replaced by the next of the texts, then shows it as ShowFileMessage.
void ReportLine(unsigned nID, int nLine, std::initializer_list<std::string> texts, unsigned nType = 0x0000u);
/// The entry's text with its "%s" (if any) replaced by strItem.
CKAVOString FormatItemMessage(unsigned nID, const CKAVOString& strItem);

}  // namespace kavo
