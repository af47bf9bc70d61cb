// The grid of elements from which the host writes a table as RTF: heading
// rows on top (spanners by level, then the data columns), then one grid row
// per data row (captions by stub level, the data row, its cells).
//
// Spanners and captions are placed in one pass over each tree; the grid
// position of a data column or data row is looked up in a table built once,
// so the whole grid costs time in proportion to its size.
#include <unordered_map>
#include <vector>

#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/table.h"
#include "kavotbl/model/tbl_cell.h"

namespace kavo {

namespace {

using PosMap = std::unordered_map<const CTblOb*, int>;

bool Exported(const CTblOb* pOb, int bBlockedOnly) { return !bBlockedOnly || pOb->IsBlocked(); }

void PutEntry(CRTFRowArray& rows, int nRow, int nEntry, CTblOb* pOb) {
    if (nRow < 0 || nRow >= rows.GetSize()) return;
    CRTFRow& row = rows[nRow];
    if (nEntry < 0 || nEntry >= row.GetSize()) return;
    row[nEntry] = pOb;
}

// Places the spanners (or captions) of a subtree. Every inner node finds the
// first exported data node below it; place(node, depth, leaf) stores the
// node. A node that is not exported in a blocked-only export is not placed,
// nor is anything below it, but its data nodes still count for the nodes
// above it. Post-order without recursion, so that a deep tree cannot
// exhaust the stack.
template <class Place>
void PlaceInnerNodes(CRowColOb* pRoot, int bBlockedOnly, Place place) {
    struct Frame {
        CRowColOb* pNode;
        int nDepth;
        int nNext;
        bool bPlaced;  // the node and its subtree are placed
        CRowColOb* pFirstLeaf;
    };
    if (pRoot->HasData()) return;
    std::vector<Frame> stack;
    stack.push_back({pRoot, 0, 0, Exported(pRoot, bBlockedOnly), nullptr});
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.nNext < f.pNode->GetNumChildren()) {
            CRowColOb* pChild = f.pNode->GetChildAt(f.nNext++);
            if (pChild->HasData()) {
                if (f.pFirstLeaf == nullptr && Exported(pChild, bBlockedOnly)) f.pFirstLeaf = pChild;
                continue;
            }
            const bool bPlaced = f.bPlaced && Exported(pChild, bBlockedOnly);
            const int nDepth = f.nDepth + 1;
            stack.push_back({pChild, nDepth, 0, bPlaced, nullptr});
            continue;
        }
        const Frame done = f;
        stack.pop_back();
        if (done.bPlaced && done.pFirstLeaf != nullptr && !done.pNode->GetText().IsEmpty())
            place(done.pNode, done.nDepth, done.pFirstLeaf);
        if (!stack.empty() && stack.back().pFirstLeaf == nullptr) stack.back().pFirstLeaf = done.pFirstLeaf;
    }
}

void PlaceSpanners(CTblColumn* pRoot, CRTFRowArray& rows, const PosMap& entryOfColumn, int nRootRow,
                   int bBlockedOnly) {
    PlaceInnerNodes(pRoot, bBlockedOnly, [&](CRowColOb* pNode, int nDepth, CRowColOb* pLeaf) {
        const auto it = entryOfColumn.find(pLeaf);
        if (it != entryOfColumn.end()) PutEntry(rows, nRootRow + nDepth, it->second, pNode);
    });
}

void PlaceCaptions(CTblRow* pRoot, CRTFRowArray& rows, const PosMap& gridRowOfRow, int nRootEntry,
                   int bBlockedOnly) {
    PlaceInnerNodes(pRoot, bBlockedOnly, [&](CRowColOb* pNode, int nDepth, CRowColOb* pLeaf) {
        const auto it = gridRowOfRow.find(pLeaf);
        if (it != gridRowOfRow.end()) PutEntry(rows, it->second, nRootEntry + nDepth, pNode);
    });
}

}  // namespace

void CTblColumn::AddRTFSpanners(CRTFRowArray& rows, int nColumnRow, int bBlockedOnly, int nLevel) {
    // A data column stands at the first entry that holds it in the column row.
    PosMap entryOfColumn;
    if (nColumnRow >= 0 && nColumnRow < rows.GetSize()) {
        const CRTFRow& row = rows[nColumnRow];
        for (int e = 0; e < row.GetSize(); ++e)
            if (row[e] != nullptr) entryOfColumn.emplace(row[e], e);
    }
    PlaceSpanners(this, rows, entryOfColumn, nLevel, bBlockedOnly);
}

void CTblRow::AddRTFCaptions(CRTFRowArray& rows, int nRowEntry, int bBlockedOnly, int nLevel) {
    // A data row stands in the first grid row, from the top, that holds it.
    PosMap gridRowOfRow;
    for (int g = 0; g < rows.GetSize(); ++g) {
        const CRTFRow& row = rows[g];
        if (nRowEntry >= 0 && nRowEntry < row.GetSize() && row[nRowEntry] != nullptr)
            gridRowOfRow.emplace(row[nRowEntry], g);
    }
    PlaceCaptions(this, rows, gridRowOfRow, nLevel, bBlockedOnly);
}

void CTable::LayoutRTF(CRTFRowArray& rows, int bBlockedOnly) {
    PutMetricsInForce();
    const int nDataCols = m_arrDataColumns.GetSize();
    const int nDataRows = m_arrDataRows.GetSize();
    int n = 0, m = 0;
    for (int i = 0; i < nDataCols; ++i)
        if (Exported(m_arrDataColumns[i], bBlockedOnly)) ++n;
    for (int i = 0; i < nDataRows; ++i)
        if (Exported(m_arrDataRows[i], bBlockedOnly)) ++m;

    const int C = m_pColumnRoot->GetDepth(0);
    const int R = m_pRowRoot->GetDepth(0);

    // The grid is appended after whatever the caller's array holds already;
    // every grid row index below counts from its first row.
    const int base = rows.GetSize();
    CRTFRow templ;
    for (int i = 0; i < R + n; ++i) templ.Add(nullptr);
    rows.Reserve(base + C + m);
    for (int i = 0; i < C + m; ++i) rows.Add(templ);

    const int nColumnRow = base + C - 1;
    PosMap entryOfColumn;
    for (int i = 0, j = 0; i < nDataCols; ++i) {
        CTblColumn* pCol = m_arrDataColumns[i];
        if (!Exported(pCol, bBlockedOnly)) continue;
        PutEntry(rows, nColumnRow, R + j, pCol);
        entryOfColumn.emplace(pCol, R + j);
        ++j;
    }
    PlaceSpanners(m_pColumnRoot, rows, entryOfColumn, base - 1, bBlockedOnly);

    PosMap gridRowOfRow;
    for (int i = 0, k = 0; i < nDataRows; ++i) {
        CTblRow* pRow = m_arrDataRows[i];
        if (!Exported(pRow, bBlockedOnly)) continue;
        const int g = base + C + k++;
        PutEntry(rows, g, R - 1, pRow);
        gridRowOfRow.emplace(pRow, g);
        // Every cell of an exported row is formatted, exported or not, so
        // that the texts handed out match the values.
        const int nCells = pRow->GetNumCells();
        for (int c = 0, j = 0; c < nCells; ++c) {
            CTblCell* pCell = pRow->GetCell(c);
            if (pCell == nullptr) continue;
            if (pCell->IsDirty()) pCell->Format();
            if (Exported(pCell, bBlockedOnly)) PutEntry(rows, g, R + j++, pCell);
        }
    }
    PlaceCaptions(m_pRowRoot, rows, gridRowOfRow, -1, bBlockedOnly);
}

}  // namespace kavo
