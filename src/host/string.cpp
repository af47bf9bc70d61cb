// The utility byte string and the decimal conversion helper.
#include "kavotbl/host/string.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string_view>

#include "kavotbl/host/dc.h"

namespace kavo {

namespace {

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Parses [blanks][sign]digits from p. Accumulates towards the sign's side so
// that INT64_MIN is exact; beyond the range the value saturates and
// *pOverflow is set. *pEnd receives the first byte not read, *pDigits the
// number of digits seen.
std::int64_t ParseDecimal(const char* p, const char* end, const char** pEnd, int* pDigits, bool* pOverflow) {
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    bool neg = false;
    if (p < end && (*p == '+' || *p == '-')) {
        neg = *p == '-';
        ++p;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t v = 0;  // negative while neg
    int digits = 0;
    bool overflow = false;
    for (; p < end && IsDigit(*p); ++p, ++digits) {
        const int d = *p - '0';
        if (overflow) continue;
        if (neg) {
            if (v < (kMin + d) / 10) {
                overflow = true;
                v = kMin;
            } else {
                v = v * 10 - d;
            }
        } else {
            if (v > (kMax - d) / 10) {
                overflow = true;
                v = kMax;
            } else {
                v = v * 10 + d;
            }
        }
    }
    *pEnd = p;
    *pDigits = digits;
    *pOverflow = overflow;
    return v;
}

// Clamps a [first, first + count) request to [0, len].
void ClampRange(int len, int& first, int& count) {
    if (first < 0) first = 0;
    if (first > len) first = len;
    if (count < 0) count = 0;
    if (count > len - first) count = len - first;
}

}  // namespace

int CKAVOString::Compare(const char* psz) const {
    const std::string_view other = psz ? std::string_view(psz) : std::string_view();
    const int r = std::string_view(m_str).compare(other);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CKAVOString::CompareNoCase(const char* psz) const {
    if (!psz) psz = "";
    const std::size_t n = m_str.size();
    std::size_t i = 0;
    for (; i < n && psz[i] != '\0'; ++i) {
        const auto a = static_cast<unsigned char>(ToLowerAscii(m_str[i]));
        const auto b = static_cast<unsigned char>(ToLowerAscii(psz[i]));
        if (a != b) return a < b ? -1 : 1;
    }
    if (i < n) return 1;               // psz ended first
    return psz[i] != '\0' ? -1 : 0;    // this string ended first, or both
}

std::int64_t CKAVOString::Val() const {
    const char* end = nullptr;
    int digits = 0;
    bool overflow = false;
    const std::int64_t v = ParseDecimal(m_str.data(), m_str.data() + m_str.size(), &end, &digits, &overflow);
    return digits ? v : 0;
}

int CKAVOString::IsNumeric() const {
    const char* p = m_str.data();
    const char* const e = p + m_str.size();
    const char* end = nullptr;
    int digits = 0;
    bool overflow = false;
    ParseDecimal(p, e, &end, &digits, &overflow);
    if (digits == 0 || overflow) return 0;
    while (end < e && (*end == ' ' || *end == '\t')) ++end;
    return end == e ? 1 : 0;
}

CKAVOString& CKAVOString::Str(std::int64_t n, int nWidth, char chFill) {
    char buf[24];
    i64toa(n, buf);
    const int len = static_cast<int>(std::strlen(buf));
    m_str.clear();
    if (nWidth > len) m_str.append(static_cast<std::size_t>(nWidth - len), chFill);
    m_str.append(buf, static_cast<std::size_t>(len));
    return *this;
}

CKAVOString CKAVOString::GetNextWord() {
    const std::size_t sep = m_str.find(", ");
    if (sep == std::string::npos) {
        CKAVOString item(std::move(m_str));
        m_str.clear();
        return item;
    }
    CKAVOString item(m_str.substr(0, sep));
    m_str.erase(0, sep + 2);
    return item;
}

CKAVOString CKAVOString::Left(int nCount) const {
    int first = 0;
    ClampRange(GetLength(), first, nCount);
    return CKAVOString(m_str.substr(0, static_cast<std::size_t>(nCount)));
}

CKAVOString CKAVOString::Right(int nCount) const {
    const int len = GetLength();
    if (nCount < 0) nCount = 0;
    if (nCount > len) nCount = len;
    return CKAVOString(m_str.substr(static_cast<std::size_t>(len - nCount)));
}

CKAVOString CKAVOString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CKAVOString CKAVOString::Mid(int nFirst, int nCount) const {
    ClampRange(GetLength(), nFirst, nCount);
    return CKAVOString(m_str.substr(static_cast<std::size_t>(nFirst), static_cast<std::size_t>(nCount)));
}

int CKAVOString::Find(const char* psz, int nStart) const {
    if (!psz) return -1;
    if (nStart < 0) nStart = 0;
    if (nStart > GetLength()) return -1;
    const std::size_t pos = m_str.find(psz, static_cast<std::size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CKAVOString::Insert(int i, const char* psz) {
    if (i < 0) i = 0;
    if (i > GetLength()) i = GetLength();
    if (psz) m_str.insert(static_cast<std::size_t>(i), psz);
    return GetLength();
}

void CKAVOString::MakeUpper() {
    for (char& c : m_str) c = ToUpperAscii(c);
}

void CKAVOString::MakeLower() {
    for (char& c : m_str) c = ToLowerAscii(c);
}

void CKAVOString::TrimLeft() {
    std::size_t i = 0;
    while (i < m_str.size() && IsBlank(m_str[i])) ++i;
    m_str.erase(0, i);
}

void CKAVOString::TrimRight() {
    std::size_t n = m_str.size();
    while (n > 0 && IsBlank(m_str[n - 1])) --n;
    m_str.resize(n);
}

CSize CKAVOString::GetLongestWordSize(CDC* pDC) const {
    if (!pDC) return CSize(0, 0);
    const char* const p = m_str.data();
    const std::size_t n = m_str.size();
    int widest = 0;
    bool any = false;
    for (std::size_t i = 0; i < n;) {
        while (i < n && IsBlank(p[i])) ++i;
        const std::size_t start = i;
        while (i < n && !IsBlank(p[i])) ++i;
        if (i > start) {
            any = true;
            widest = std::max(widest, pDC->GetTextExtent(p + start, static_cast<int>(i - start)).cx);
        }
    }
    if (!any) return CSize(0, 0);
    return CSize(widest, pDC->GetTextExtent("", 0).cy);
}

char* i64toa(std::int64_t n, char* buf) {
    // Work on the magnitude as unsigned so that INT64_MIN needs no special case.
    std::uint64_t mag = n < 0 ? (~static_cast<std::uint64_t>(n) + 1u) : static_cast<std::uint64_t>(n);
    char tmp[24];
    int len = 0;
    do {
        tmp[len++] = static_cast<char>('0' + mag % 10u);
        mag /= 10u;
    } while (mag != 0);
    char* out = buf;
    if (n < 0) *out++ = '-';
    while (len > 0) *out++ = tmp[--len];
    *out = '\0';
    return buf;
}

}  // namespace kavo
