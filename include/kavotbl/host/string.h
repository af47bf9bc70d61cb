// The utility byte string and the decimal conversion helper.
#pragma once

#include <cstdint>
#include <string>

#include "kavotbl/host/types.h"

namespace kavo {

class CDC;

/// Byte string with the operations the table library relies on. Bytes are
/// not interpreted: any encoding passes through unchanged.
class CKAVOString {
public:
    CKAVOString() = default;
    CKAVOString(const char* psz) : m_str(psz ? psz : "") {}  // NOLINT: implicit by design
    CKAVOString(const char* p, int nLength) : m_str(p, nLength > 0 ? static_cast<std::size_t>(nLength) : 0) {}
    CKAVOString(std::string s) : m_str(std::move(s)) {}  // NOLINT: implicit by design
    CKAVOString(int nCount, char ch) : m_str(nCount > 0 ? static_cast<std::size_t>(nCount) : 0, ch) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    const char* c_str() const { return m_str.c_str(); }
    operator const char*() const { return m_str.c_str(); }  // NOLINT: implicit by design
    const std::string& str() const { return m_str; }
    std::string& str() { return m_str; }
    char GetAt(int i) const { return m_str[static_cast<std::size_t>(i)]; }
    void SetAt(int i, char ch) { m_str[static_cast<std::size_t>(i)] = ch; }

    CKAVOString& operator=(const char* psz) { m_str = psz ? psz : ""; return *this; }
    CKAVOString& operator+=(const CKAVOString& s) { m_str += s.m_str; return *this; }
    CKAVOString& operator+=(const char* psz) { if (psz) m_str += psz; return *this; }
    CKAVOString& operator+=(char ch) { m_str += ch; return *this; }
    friend CKAVOString operator+(CKAVOString a, const CKAVOString& b) { a += b; return a; }
    friend CKAVOString operator+(CKAVOString a, const char* b) { a += b; return a; }
    friend CKAVOString operator+(const char* a, const CKAVOString& b) { return CKAVOString(a) += b; }

    friend bool operator==(const CKAVOString& a, const CKAVOString& b) { return a.m_str == b.m_str; }
    friend bool operator!=(const CKAVOString& a, const CKAVOString& b) { return a.m_str != b.m_str; }
    friend bool operator==(const CKAVOString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator!=(const CKAVOString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CKAVOString& a, const CKAVOString& b) { return a.m_str < b.m_str; }

    /// Byte-wise comparison: negative, 0 or positive.
    int Compare(const char* psz) const;
    /// 0 when equal ignoring ASCII letter case; otherwise negative or positive.
    int CompareNoCase(const char* psz) const;

    /// Value of the decimal number in the string: optional blanks, an optional
    /// sign, digits. Reading stops at the first other character; a value
    /// beyond the 64-bit range saturates. 0 when there are no digits.
    std::int64_t Val() const;
    /// Nonzero when the whole string (blanks around it allowed) is a decimal
    /// integer within the 64-bit range, so that Val reads all of it.
    int IsNumeric() const;
    /// Sets the string to the decimal text of n, right-aligned in nWidth
    /// characters filled with chFill (nWidth -1: no padding); returns *this.
    CKAVOString& Str(std::int64_t n, int nWidth = -1, char chFill = ' ');

    /// Removes and returns the first item of a ", "-separated list; an empty
    /// item comes back empty; after the last item the string is empty.
    CKAVOString GetNextWord();

    CKAVOString Left(int nCount) const;
    CKAVOString Right(int nCount) const;
    CKAVOString Mid(int nFirst) const;
    CKAVOString Mid(int nFirst, int nCount) const;
    /// Index of the first occurrence of psz at or after nStart, or -1.
    int Find(const char* psz, int nStart = 0) const;
    /// Inserts psz before index i (clamped to the string) and returns the new length.
    int Insert(int i, const char* psz);
    void MakeUpper();
    void MakeLower();
    void TrimLeft();
    void TrimRight();

    /// Size of the widest blank-separated word in the surface's selected font
    /// (width and line height); (0, 0) for a string without words.
    CSize GetLongestWordSize(CDC* pDC) const;

private:
    std::string m_str;
};

/// Writes the decimal digits of n, "-" first when negative, and a zero byte
/// into buf, which must hold at least 21 bytes. Returns buf.
char* i64toa(std::int64_t n, char* buf);

}  // namespace kavo
