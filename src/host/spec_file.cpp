// Line reader and writer of table files.
#include "kavotbl/host/spec_file.h"

#include <climits>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace kavo {

namespace {

constexpr std::size_t kReadBufferSize = 256 * 1024;
constexpr std::size_t kWriteFlushSize = 64 * 1024;
// Written in front of a value that holds line breaks or begins with a blank.
// It begins with a blank because leading blanks of values are not kept
// anyway; the value's own leading blanks are written as escapes ("\s" for a
// blank, "\t" for a tab), which are kept.
constexpr char kEscapeMark[] = " \\";
constexpr std::size_t kEscapeMarkLen = 2;

constexpr bool IsSpace(char c) { return c == ' ' || c == '\t'; }
constexpr bool IsSpaceOrCR(char c) { return c == ' ' || c == '\t' || c == '\r'; }

bool IsBlankLine(std::string_view s) {
    for (char c : s)
        if (!IsSpaceOrCR(c)) return false;
    return true;
}

std::string_view TrimBoth(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && IsSpaceOrCR(s[b])) ++b;
    std::size_t e = s.size();
    while (e > b && IsSpaceOrCR(s[e - 1])) --e;
    return s.substr(b, e - b);
}

void Assign(CKAVOString& str, std::string_view v) { str.str().assign(v.data(), v.size()); }

// Two memchr scans beat find_first_of, which tests every byte against the set.
bool HasLineBreak(const std::string& s) {
    return std::memchr(s.data(), '\n', s.size()) != nullptr || std::memchr(s.data(), '\r', s.size()) != nullptr;
}

// Appends s with line breaks turned into blanks, so that it stays on one line.
void AppendOneLine(std::string& out, const std::string& s) {
    if (!HasLineBreak(s)) {
        out += s;
        return;
    }
    for (char c : s) out += (c == '\r' || c == '\n') ? ' ' : c;
}

}  // namespace

void CSpecFile::Slot::Pin() {
    if (bOwned || line.empty()) return;
    own.assign(line.data(), line.size());
    line = own;
    bOwned = true;
}

CSpecFile::CSpecFile() = default;

CSpecFile::~CSpecFile() { Close(); }

void CSpecFile::Reset() {
    m_pFile = nullptr;
    m_nMode = modeRead;
    m_bMemory = false;
    m_bOpen = false;
    m_text.clear();
    m_pData = nullptr;
    m_nLen = 0;
    m_nPos = 0;
    m_bSourceDone = true;
    m_nConsumed = 0;
    m_nPhysLine = 0;
    m_cur = Slot();
    m_peek = Slot();
    m_bHaveCur = false;
    m_bPeeked = false;
    m_bUnget = false;
    m_bWriteError = false;
    m_nPosition = 0;
    m_nLineNumber = 0;
    m_out.clear();
}

int CSpecFile::Open(const char* pszPath, int nMode) {
    Close();
    Reset();
    if (!pszPath || !*pszPath || (nMode != modeRead && nMode != modeWrite)) return 0;
    std::error_code ec;
    if (std::filesystem::is_directory(pszPath, ec)) {
        errno = EISDIR;
        return 0;
    }
    m_pFile = std::fopen(pszPath, nMode == modeRead ? "rb" : "wb");
    if (!m_pFile) return 0;
    m_nMode = nMode;
    m_bOpen = true;
    if (nMode == modeRead) {
        m_buf.resize(kReadBufferSize);
        m_pData = m_buf.data();
        m_bSourceDone = false;
    }
    return 1;
}

int CSpecFile::OpenText(std::string text) {
    Close();
    Reset();
    m_text = std::move(text);
    m_bMemory = true;
    m_bOpen = true;
    m_nMode = modeRead;
    m_pData = m_text.data();
    m_nLen = m_text.size();
    return 1;
}

int CSpecFile::OpenTextWrite() {
    Close();
    Reset();
    m_bMemory = true;
    m_bOpen = true;
    m_nMode = modeWrite;
    return 1;
}

const std::string& CSpecFile::GetText() const { return m_text; }

int CSpecFile::Close() {
    if (!m_bOpen) return m_bWriteError ? 0 : 1;
    if (m_pFile) {
        if (m_nMode == modeWrite) {
            if (!m_out.empty() && std::fwrite(m_out.data(), 1, m_out.size(), m_pFile) != m_out.size())
                m_bWriteError = true;
            m_out.clear();
            if (std::fflush(m_pFile) != 0) m_bWriteError = true;
        }
        if (std::fclose(m_pFile) != 0 && m_nMode == modeWrite) m_bWriteError = true;
        m_pFile = nullptr;
    }
    m_bOpen = false;
    m_bPeeked = false;
    m_bUnget = false;
    m_bHaveCur = false;
    m_cur = Slot();
    m_peek = Slot();
    return m_bWriteError ? 0 : 1;
}

bool CSpecFile::IsOpen() const { return m_bOpen; }

bool CSpecFile::Refill() {
    if (m_bSourceDone || !m_pFile) return false;
    // The buffer is about to be overwritten: lines still needed get their own copy.
    if (m_bHaveCur) m_cur.Pin();
    if (m_bPeeked) m_peek.Pin();
    const std::size_t n = std::fread(m_buf.data(), 1, m_buf.size(), m_pFile);
    m_nPos = 0;
    m_nLen = n;
    if (n == 0) {
        m_bSourceDone = true;  // end of file or a read error: either way nothing more
        return false;
    }
    return true;
}

bool CSpecFile::NextPhysical(Slot& slot) {
    slot.line = std::string_view();
    slot.bOwned = false;
    bool bCarry = false;  // the line is being gathered in slot.own
    for (;;) {
        if (m_nPos < m_nLen) {
            const char* s = m_pData + m_nPos;
            const std::size_t avail = m_nLen - m_nPos;
            const char* nl = static_cast<const char*>(std::memchr(s, '\n', avail));
            const std::size_t take = nl ? static_cast<std::size_t>(nl - s) : avail;
            const std::size_t adv = nl ? take + 1 : take;
            if (nl && !bCarry) {
                slot.line = std::string_view(s, take);
            } else {
                if (!bCarry) {
                    slot.own.clear();
                    bCarry = true;
                }
                slot.own.append(s, take);
            }
            m_nPos += adv;
            m_nConsumed += adv;
            if (nl) break;
        }
        if (!Refill()) {
            if (!bCarry) return false;
            break;
        }
    }
    if (bCarry) {
        slot.line = slot.own;
        slot.bOwned = true;
    }
    // A UTF-8 byte-order mark in front of the first line is no part of it.
    if (m_nPhysLine == 0 && slot.line.size() >= 3 && slot.line.compare(0, 3, "\xEF\xBB\xBF") == 0)
        slot.line.remove_prefix(3);
    if (m_nPhysLine < INT_MAX) ++m_nPhysLine;
    slot.nLineNumber = m_nPhysLine;
    slot.nEndPos = m_nConsumed;
    return true;
}

bool CSpecFile::NextNonBlank(Slot& slot) {
    while (NextPhysical(slot))
        if (!IsBlankLine(slot.line)) return true;
    return false;
}

void CSpecFile::Parse(const Slot& slot, CKAVOString& strKey, CKAVOString& strValue) const {
    const std::string_view line = slot.line;
    std::size_t b = 0;
    while (b < line.size() && IsSpace(line[b])) ++b;
    if (b < line.size() && line[b] == '[') {
        Assign(strKey, TrimBoth(line));
        strValue.Empty();
        return;
    }
    const std::size_t eq = line.find('=', b);
    if (eq == std::string_view::npos) {
        Assign(strKey, TrimBoth(line));
        strValue.Empty();
        return;
    }
    Assign(strKey, TrimBoth(line.substr(0, eq)));
    std::string_view raw = line.substr(eq + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (raw.size() >= kEscapeMarkLen && raw.compare(0, kEscapeMarkLen, kEscapeMark) == 0) {
        raw.remove_prefix(kEscapeMarkLen);
        // Blanks in the file are dropped as for any value; escaped ones stay.
        while (!raw.empty() && IsSpace(raw.front())) raw.remove_prefix(1);
        std::string& out = strValue.str();
        out.clear();
        out.reserve(raw.size());
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const char c = raw[i];
            if (c == '\\' && i + 1 < raw.size()) {
                const char n = raw[i + 1];
                const char* const pszFrom = "\\nrst";
                const char* const pszTo = "\\\n\r \t";
                const char* pHit = std::strchr(pszFrom, n);
                if (n != '\0' && pHit != nullptr) {
                    out += pszTo[pHit - pszFrom];
                    ++i;
                    continue;
                }
            }
            out += c;
        }
        return;
    }
    std::size_t lead = 0;
    while (lead < raw.size() && IsSpace(raw[lead])) ++lead;
    Assign(strValue, raw.substr(lead));
}

int CSpecFile::GetLine(CKAVOString& strKey, CKAVOString& strValue) {
    if (!m_bOpen || m_nMode != modeRead) {
        strKey.Empty();
        strValue.Empty();
        return 1;
    }
    if (m_bUnget && m_bHaveCur) {
        m_bUnget = false;
    } else {
        m_bUnget = false;
        if (m_bPeeked) {
            std::swap(m_cur, m_peek);
            // A moved string may carry its bytes elsewhere: re-aim owned views.
            if (m_cur.bOwned) m_cur.line = m_cur.own;
            if (m_peek.bOwned) m_peek.line = m_peek.own;
            m_bPeeked = false;
        } else if (!NextNonBlank(m_cur)) {
            m_bHaveCur = false;
            m_nPosition = m_nConsumed;
            strKey.Empty();
            strValue.Empty();
            return 1;
        }
        m_bHaveCur = true;
    }
    m_nLineNumber = m_cur.nLineNumber;
    m_nPosition = m_cur.nEndPos;
    Parse(m_cur, strKey, strValue);
    return 0;
}

void CSpecFile::UngetLine() {
    if (m_bHaveCur) m_bUnget = true;
}

void CSpecFile::SkipSection() {
    if (!m_bOpen || m_nMode != modeRead) return;
    m_bUnget = false;
    for (;;) {
        if (!m_bPeeked) {
            if (!NextNonBlank(m_peek)) {
                m_nPosition = m_nConsumed;
                return;
            }
            m_bPeeked = true;
        }
        const std::string_view line = m_peek.line;
        std::size_t b = 0;
        while (b < line.size() && IsSpace(line[b])) ++b;
        if (b < line.size() && line[b] == '[') return;  // the next read returns it
        m_nPosition = m_peek.nEndPos;
        m_bPeeked = false;
    }
}

bool CSpecFile::IsEOF() {
    if (!m_bOpen || m_nMode != modeRead) return true;
    if ((m_bUnget && m_bHaveCur) || m_bPeeked) return false;
    m_bPeeked = NextNonBlank(m_peek);
    return !m_bPeeked;
}

int CSpecFile::GetLineNumber() const { return m_nLineNumber; }

std::uint64_t CSpecFile::GetPosition() const { return m_nPosition; }

void CSpecFile::PutLine(const CKAVOString& strKey, const CKAVOString& strValue) {
    if (!m_bOpen || m_nMode != modeWrite) return;
    std::string& out = m_bMemory ? m_text : m_out;
    AppendOneLine(out, strKey.str());
    out += '=';
    const std::string& v = strValue.str();
    if (!HasLineBreak(v) && (v.empty() || !IsSpace(v[0]))) {
        out += v;
    } else {
        out += kEscapeMark;
        std::size_t nLead = 0;
        for (; nLead < v.size() && IsSpace(v[nLead]); ++nLead) out += v[nLead] == ' ' ? "\\s" : "\\t";
        for (char c : std::string_view(v).substr(nLead)) {
            if (c == '\\') out += "\\\\";
            else if (c == '\n') out += "\\n";
            else if (c == '\r') out += "\\r";
            else out += c;
        }
    }
    out += '\n';
    if (!m_bMemory && m_out.size() >= kWriteFlushSize) WriteRaw(m_out.data(), m_out.size());
}

void CSpecFile::PutLine(const CKAVOString& strLine) {
    if (!m_bOpen || m_nMode != modeWrite) return;
    std::string& out = m_bMemory ? m_text : m_out;
    AppendOneLine(out, strLine.str());
    out += '\n';
    if (!m_bMemory && m_out.size() >= kWriteFlushSize) WriteRaw(m_out.data(), m_out.size());
}

void CSpecFile::WriteRaw(const char* p, std::size_t n) {
    if (m_pFile && n && std::fwrite(p, 1, n, m_pFile) != n) m_bWriteError = true;
    m_out.clear();
}

bool CSpecFile::HasWriteError() const { return m_bWriteError; }

}  // namespace kavo
