// Helpers shared by the table reader, the group readers, the linkage and the
// writer. Internal to the library.
#pragma once

#include <cstdint>
#include <string_view>

#include "kavotbl/host/string.h"
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

/// Most cells one table may hold after linking (data rows × data columns).
/// A few hundred thousand short heading lines could otherwise ask the
/// linkage for billions of padding cells.
constexpr std::int64_t kMaxTableCells = std::int64_t{1} << 24;

/// Processor time CTable::Build spends linking, added up while a benchmark points
/// g_pLinkNanoseconds at a counter (null otherwise: nothing is timed).
extern std::int64_t* g_pLinkNanoseconds;

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
