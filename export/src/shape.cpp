#include "shape.h"

#include <algorithm>
#include <unordered_map>

#include "kavotbl/export/text.h"

namespace kavo {
namespace export_detail {

void MakeShape(CTable& table, int bBlockedOnly, TableShape& shape) {
    shape = TableShape();
    std::unordered_map<const CRowColOb*, int> exported;  // data column -> exported index
    for (int i = 0; i < table.GetNumDataColumns(); ++i) {
        const CTblColumn* p = table.GetColumn(i);
        if (bBlockedOnly && !p->IsBlocked()) continue;
        exported.emplace(p, static_cast<int>(shape.columns.size()));
        shape.columns.push_back(i);
    }

    // Columns, without recursion: a tree read from a file may be deep.
    struct Item {
        const CTblColumn* p;
        int nLevel;
    };
    struct Range {
        int nFirst = -1, nCount = 0;
    };
    std::vector<Item> stack;
    std::vector<std::pair<Item, Range>> spanners;
    const CTblColumn* pRoot = table.GetColumnRoot();
    for (int i = pRoot->GetNumChildren() - 1; i >= 0; --i) stack.push_back({pRoot->GetChild(i), 0});
    std::vector<HeadCell> leaves;
    std::unordered_map<const CRowColOb*, Range> ranges;
    while (!stack.empty()) {
        const Item it = stack.back();
        stack.pop_back();
        if (it.p->HasData()) {
            const auto e = exported.find(it.p);
            if (e == exported.end()) continue;
            leaves.push_back({it.p, it.nLevel, e->second, 1, 1});
            shape.nLevels = std::max(shape.nLevels, it.nLevel + 1);
            // Every spanner above it covers it.
            for (const CRowColOb* q = it.p->GetParent(); q && q != pRoot; q = q->GetParent()) {
                Range& r = ranges[q];
                if (r.nFirst < 0) r.nFirst = e->second;
                ++r.nCount;
            }
            continue;
        }
        if (bBlockedOnly && !it.p->IsBlocked()) continue;
        spanners.push_back({it, Range()});
        for (int i = it.p->GetNumChildren() - 1; i >= 0; --i) stack.push_back({it.p->GetChild(i), it.nLevel + 1});
    }
    for (const auto& s : spanners) {
        const auto r = ranges.find(s.first.p);
        if (r == ranges.end() || r->second.nCount == 0) continue;
        shape.head.push_back({s.first.p, s.first.nLevel, r->second.nFirst, r->second.nCount, 1});
    }
    for (HeadCell& c : leaves) {
        c.nRows = shape.nLevels - c.nLevel;
        shape.head.push_back(c);
    }
    std::stable_sort(shape.head.begin(), shape.head.end(), [](const HeadCell& a, const HeadCell& b) {
        return a.nLevel != b.nLevel ? a.nLevel < b.nLevel : a.nCol < b.nCol;
    });

    // Rows in pre-order; a caption only when a row below it is exported.
    struct RowItem {
        const CTblRow* p;
        int nLevel;
    };
    std::vector<RowItem> rows;
    const CTblRow* pRowRoot = table.GetRowRoot();
    for (int i = pRowRoot->GetNumChildren() - 1; i >= 0; --i) rows.push_back({pRowRoot->GetChild(i), 0});
    std::vector<std::size_t> open;  // body indexes of captions still waiting for a data row
    std::vector<int> openLevels;
    while (!rows.empty()) {
        const RowItem it = rows.back();
        rows.pop_back();
        while (!openLevels.empty() && openLevels.back() >= it.nLevel) {
            // A caption without exported rows below it goes again.
            if (open.back() + 1 == shape.body.size()) shape.body.pop_back();
            open.pop_back();
            openLevels.pop_back();
        }
        if (it.p->HasData()) {
            if (bBlockedOnly && !it.p->IsBlocked()) continue;
            shape.body.push_back({it.p, it.nLevel, true});
            shape.nStubLevels = std::max(shape.nStubLevels, it.nLevel + 1);
            for (int c : shape.columns)
                if (c < it.p->GetNumCells()) {
                    CTblCell* pCell = it.p->GetCell(c);
                    if (pCell && pCell->IsDirty() && pCell->GetFormat()) pCell->Format();
                }
            // Its captions have a row now: keep them.
            open.assign(open.size(), static_cast<std::size_t>(-2));
            continue;
        }
        if (bBlockedOnly && !it.p->IsBlocked()) continue;
        open.push_back(shape.body.size());
        openLevels.push_back(it.nLevel);
        shape.body.push_back({it.p, it.nLevel, false});
        for (int i = it.p->GetNumChildren() - 1; i >= 0; --i) rows.push_back({it.p->GetChild(i), it.nLevel + 1});
    }
    while (!open.empty()) {
        if (open.back() + 1 == shape.body.size()) shape.body.pop_back();
        open.pop_back();
    }
}

void AppendPlainDecimal(std::string& out, std::int64_t v, int nDecimals) {
    nDecimals = std::clamp(nDecimals, -40, 40);
    std::uint64_t m = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + m % 10);
        m /= 10;
    } while (m);
    if (v < 0) out += '-';
    if (nDecimals <= 0) {
        for (int i = n - 1; i >= 0; --i) out += digits[i];
        if (v != 0) out.append(static_cast<std::size_t>(-nDecimals), '0');
        return;
    }
    if (n <= nDecimals) {
        out += "0.";
        out.append(static_cast<std::size_t>(nDecimals - n), '0');
        for (int i = n - 1; i >= 0; --i) out += digits[i];
        return;
    }
    for (int i = n - 1; i >= 0; --i) {
        out += digits[i];
        if (i == nDecimals) out += '.';
    }
}

void AppendUtf8(std::string& out, const CKAVOString& text) {
    const std::string& s = text.str();
    bool bAscii = true;
    for (unsigned char c : s) bAscii = bAscii && c < 0x80;
    if (bAscii) {
        out += s;
    } else {
        out += TextToUtf8(s);
    }
}

}  // namespace export_detail
}  // namespace kavo
