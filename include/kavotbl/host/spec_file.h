// Line reader and writer of table files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "kavotbl/host/string.h"

namespace kavo {

/// A table file read or written line by line. A line is "Key=Value" (the key
/// ends at the first "="), a heading in square brackets, or blank. Blank
/// lines are never returned; a value's leading blanks are dropped on reading;
/// LF is written and CRLF accepted. The same class reads and writes text in
/// memory.
class CSpecFile {
public:
    enum { modeRead = 0, modeWrite = 1 };

    CSpecFile();
    ~CSpecFile();
    CSpecFile(const CSpecFile&) = delete;
    CSpecFile& operator=(const CSpecFile&) = delete;

    /// Opens a file for reading or writing; 1 on success, 0 on failure.
    int Open(const char* pszPath, int nMode);
    /// Reads from text in memory; always 1.
    int OpenText(std::string text);
    /// Writes to memory; the text written is returned by GetText. Always 1.
    int OpenTextWrite();
    /// The text written so far in memory mode (empty for files).
    const std::string& GetText() const;
    /// Flushes and closes; 1 when everything written reached the file.
    int Close();
    bool IsOpen() const;

    /// Reads the next non-blank line: 0 when a line was read, nonzero at end
    /// of file. A heading comes back whole as the key with an empty value.
    int GetLine(CKAVOString& strKey, CKAVOString& strValue);
    /// Makes the next GetLine return the line just read again (one level).
    void UngetLine();
    /// Called after an unrecognised heading: skips to the next heading or end.
    void SkipSection();
    /// True when no further line can be read.
    bool IsEOF();
    /// Number (1-based) of the line last read.
    int GetLineNumber() const;
    /// Bytes consumed so far.
    std::uint64_t GetPosition() const;

    /// Writes a key line that GetLine returns as exactly this key and value.
    void PutLine(const CKAVOString& strKey, const CKAVOString& strValue);
    /// Writes a whole line (a heading, or "" for a blank line).
    void PutLine(const CKAVOString& strLine);
    /// True when a write to the file failed.
    bool HasWriteError() const;

private:
    bool ReadRawLine(std::string& line);
    void WriteRaw(const std::string& s);

    std::FILE* m_pFile = nullptr;
    int m_nMode = modeRead;
    bool m_bMemory = false;
    std::string m_text;         // memory text (read) or written text (write)
    std::size_t m_nMemPos = 0;  // read offset in m_text
    std::uint64_t m_nPosition = 0;
    int m_nLineNumber = 0;
    bool m_bUnget = false;
    bool m_bWriteError = false;
    bool m_bPeeked = false;  // m_peekLine holds a non-blank line read ahead
    std::string m_peekLine;
    int m_nPeekLineNumber = 0;
    CKAVOString m_lastKey, m_lastValue;
    int m_nLastLineNumber = 0;
};

}  // namespace kavo
