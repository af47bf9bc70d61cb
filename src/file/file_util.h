// Helpers shared by the table reader, the group readers, the linkage and the
// writer. Internal to the library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "kavotbl/host/spec_file.h"
#include "kavotbl/host/string.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/style/registry.h"

namespace kavo {
namespace file_detail {

/// Deepest nesting of column or row groups the readers follow. Every tree
/// walk of the library recurses, so a limit keeps a hostile file from
/// overflowing the stack; a deeper group heading is reported (message 5000)
/// and its section skipped.
constexpr int kMaxGroupDepth = 2000;

/// Largest "Size" the reader reserves up front. The block grows on demand as
/// cells are handed out, so a reservation is only a head start; trusting a
/// bigger claim would let a two-line file take megabytes per table.
constexpr std::int64_t kMaxReservedCells = 4096;

/// Cells a table may hold after linking (data rows × data columns) are
/// tied to the bytes of its text: short heading lines alone could otherwise
/// ask the linkage for billions of padding cells. Every table may have
/// kMinCellAllowance; beyond that kCellsPerByte for each byte of its text,
/// and never more than CTable::GetMaxCells.
constexpr std::int64_t kMinCellAllowance = std::int64_t{1} << 18;
constexpr std::int64_t kCellsPerByte = 64;

/// Processor time CTable::Build spends linking, added up while a benchmark points
/// g_pLinkNanoseconds at a counter (null otherwise: nothing is timed).
extern std::int64_t* g_pLinkNanoseconds;

/// Notes which keys of one section were given, to report a second one.
class KeysSeen {
public:
    /// True when key number n (below 32) was seen before in this section.
    bool Twice(int n) {
        const std::uint32_t bit = std::uint32_t{1} << n;
        const bool b = (m_bits & bit) != 0;
        m_bits |= bit;
        return b;
    }

private:
    std::uint32_t m_bits = 0;
};

/// "1 row", "2 rows": a count as a message gives it.
inline std::string Count(std::int64_t n, const char* pszOne, const char* pszMany) {
    return std::to_string(n) + " " + (n == 1 ? pszOne : pszMany);
}

/// A label as a message names it: without the blanks in front, on one
/// line, and cut short (at a character boundary) when long.
inline std::string Quoted(const CKAVOString& str) {
    constexpr std::size_t kMax = 60;
    std::string_view v(str.str());
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
    std::string out(v.substr(0, kMax));
    if (v.size() > kMax) {
        while (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0x80) out.pop_back();
        if (!out.empty() && (static_cast<unsigned char>(out.back()) & 0x80) != 0) out.pop_back();
        out += "...";
    }
    for (char& c : out)
        if (c == '\n' || c == '\r') c = ' ';
    return out;
}

/// Reports key number n of a section when it was given before.
inline void CheckTwice(const CSpecFile& file, const CKAVOString& strKey, KeysSeen& seen, int n) {
    if (seen.Twice(n)) ReportLine(IDS_KEY_TWICE, file.GetLineNumber(), {"\"" + strKey.str() + "\""});
}
/// "no style 'X'" / "no format 'X'" for a name the registry does not hold.
inline void ReportNoStyle(const CSpecFile& file, const CKAVOString& strName) {
    ReportLine(IDS_NO_STYLE, file.GetLineNumber(), {Quoted(strName)});
}
inline void ReportNoFormat(const CSpecFile& file, const CKAVOString& strName) {
    ReportLine(IDS_NO_FORMAT, file.GetLineNumber(), {Quoted(strName)});
}

/// A key that begins with "[" is a heading.
inline bool IsHeading(const CKAVOString& strKey) {
    return !strKey.IsEmpty() && strKey.GetAt(0) == '[';
}

/// The low 32 bits of a 64-bit value, as a field of 32 bits receives them.
inline std::int32_t Low32(std::int64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

/// Takes ", "-separated items off the front of a value without copying the
/// rest each time (GetNextWord's rules: an empty item comes back empty, and
/// after the last item nothing is left). Keeps long "Data" and "AreaCodes"
/// lines linear.
class ItemCursor {
public:
    explicit ItemCursor(std::string_view s) : m_rest(s) {}
    bool Empty() const { return m_rest.empty(); }
    std::string_view Next() {
        const std::size_t sep = m_rest.find(", ");
        std::string_view item;
        if (sep == std::string_view::npos) {
            item = m_rest;
            m_rest = std::string_view();
        } else {
            item = m_rest.substr(0, sep);
            m_rest.remove_prefix(sep + 2);
        }
        return item;
    }

private:
    std::string_view m_rest;
};

inline std::string_view View(const CKAVOString& s) {
    return std::string_view(s.str().data(), s.str().size());
}

/// Registry lookups that tolerate a missing registry (nothing is found).
inline CStyle* FindStyle(const CStyleRegistry* pRegistry, const char* pszLabel) {
    return pRegistry ? pRegistry->FindStyle(CKAVOString(pszLabel)) : nullptr;
}
inline CStyle* FindStyle(const CStyleRegistry* pRegistry, const CKAVOString& strLabel) {
    return pRegistry ? pRegistry->FindStyle(strLabel) : nullptr;
}
inline CFormat* FindFormat(const CStyleRegistry* pRegistry, const CKAVOString& strLabel) {
    return pRegistry ? pRegistry->FindFormat(strLabel) : nullptr;
}

}  // namespace file_detail
}  // namespace kavo
