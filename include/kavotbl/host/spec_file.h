// Line reader and writer of table files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "kavotbl/host/string.h"

namespace kavo {

/// A table file read or written line by line. A line is "Key=Value" (the key
/// ends at the first "="), a heading in square brackets, or blank. Blank
/// lines are never returned; a value's leading blanks are dropped on reading;
/// LF is written and CRLF accepted. The same class reads and writes text in
/// memory.
///
/// Values are written byte for byte, except a value that holds a line break
/// (CR or LF): it is written as "Key= \" followed by the value with "\\"
/// for a backslash, "\n" for LF and "\r" for CR, and read back as it was.
/// A value that begins with blanks loses them on reading (so an indented row
/// text does not grow at each save and reload); hence an ordinary value that
/// itself begins with a blank and a backslash is read as an escaped one.
/// Keys lose their surrounding blanks; line breaks in a key, or in a whole
/// line, are written as blanks so that the file keeps its lines.
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
    // A physical line: a view into the read buffer, or into own when it had
    // to outlive a refill (or spanned one).
    struct Slot {
        std::string_view line;
        std::string own;
        bool bOwned = false;
        int nLineNumber = 0;
        std::uint64_t nEndPos = 0;  // bytes consumed up to and including its end
        void Pin();
    };

    void Reset();
    bool NextPhysical(Slot& slot);
    bool NextNonBlank(Slot& slot);
    bool Refill();
    void Parse(const Slot& slot, CKAVOString& strKey, CKAVOString& strValue) const;
    void WriteRaw(const char* p, std::size_t n);

    std::FILE* m_pFile = nullptr;
    int m_nMode = modeRead;
    bool m_bMemory = false;
    bool m_bOpen = false;
    std::string m_text;           // memory text (read) or written text (write)
    std::vector<char> m_buf;      // file read buffer
    const char* m_pData = nullptr;  // bytes being read: m_text or m_buf
    std::size_t m_nLen = 0;
    std::size_t m_nPos = 0;
    bool m_bSourceDone = false;   // nothing more to refill from
    std::uint64_t m_nConsumed = 0;  // bytes read through m_nPos
    int m_nPhysLine = 0;          // physical lines read so far
    Slot m_cur;                   // the line last returned
    Slot m_peek;                  // a non-blank line read ahead
    bool m_bHaveCur = false;
    bool m_bPeeked = false;
    bool m_bUnget = false;
    bool m_bWriteError = false;
    std::uint64_t m_nPosition = 0;
    int m_nLineNumber = 0;
    std::string m_out;            // one line being written
};

}  // namespace kavo
