// Linking a table after it was read: data arrays, parent links, one cell per
// data column in every data row, and each cell's style and format.
#include <algorithm>
#include <cstddef>
#include <unordered_map>
#include <vector>

#include "kavotbl/model/table.h"
#include "kavotbl/style/registry.h"

namespace kavo {

namespace {

// One depth-first walk: the leaves below pNode in child order.
template <class Node>
void CollectLeaves(const CRowColOb* pNode, CArray<Node*, Node*>& arr) {
    const int n = pNode->GetNumChildren();
    for (int i = 0; i < n; ++i) {
        CRowColOb* pChild = pNode->GetChildAt(i);
        if (pChild->HasData())
            arr.Add(static_cast<Node*>(pChild));
        else
            CollectLeaves(pChild, arr);
    }
}

}  // namespace

void CTable::OptimizeDataChildren() {
    m_arrDataColumns.RemoveAll();
    m_arrDataRows.RemoveAll();
    CollectLeaves(m_pColumnRoot, m_arrDataColumns);
    CollectLeaves(m_pRowRoot, m_arrDataRows);
}

void CTable::SetRowColObParent(CRowColOb* pNode, CRowColOb* pParent) {
    if (pNode == nullptr) return;
    pNode->m_pParent = pParent;
    for (CRowColOb* pChild : pNode->m_listChildren) SetRowColObParent(pChild, pNode);
}

void CTable::AdjustCellLinkages() {
    const int nCols = GetNumDataColumns();
    const int nRows = GetNumDataRows();
    for (int r = 0; r < nRows; ++r) {
        CTblRow* pRow = m_arrDataRows[r];
        // Cells cut off stay in the block; no row refers to them any more.
        while (pRow->GetNumCells() > nCols) pRow->RemoveCellAt(pRow->GetNumCells() - 1);
        pRow->m_arrCells.Reserve(nCols);
        while (pRow->GetNumCells() < nCols) {
            CTblCell* pCell = AllocCell(0);
            if (pCell == nullptr) break;  // the block cannot grow further
            pRow->AddCell(pCell);
        }
        const int n = pRow->GetNumCells();
        for (int c = 0; c < n; ++c) {
            CTblCell* pCell = pRow->m_arrCells[c];
            pCell->m_pCol = m_arrDataColumns[c];
            pCell->m_pRow = pRow;
        }
    }
}

void CTable::AdjustMasks(const CCellMaskArray& arrMasks) {
    const bool bStyles = m_pRegistry != nullptr && m_pRegistry->GetNumStyles() > 0;
    const bool bFormats = m_pRegistry != nullptr && m_pRegistry->GetNumFormats() > 0;
    CStyle* pDefaultStyle = bStyles ? m_pRegistry->GetStyle(0) : nullptr;
    CFormat* pDefaultFormat = bFormats ? m_pRegistry->GetFormat(0) : nullptr;
    const int nRows = GetNumDataRows();

    // Masks that hit a cell, ordered by (row, column) and, within one cell,
    // by list order: the first of a cell carrying a style (or a format) wins.
    // A counting sort by row, then a stable sort of each row's few masks by
    // column, keeps a file with a mask for every cell near linear.
    std::vector<int> rowStart(static_cast<std::size_t>(nRows) + 1, 0);
    int nHits = 0;
    for (int i = 0; i < arrMasks.GetSize(); ++i) {
        const CELL_MASK& m = arrMasks[i];
        if (m.nRow >= 0 && m.nRow < nRows && m.nCol >= 0 && m.nCol < m_arrDataRows[m.nRow]->GetNumCells()) {
            ++rowStart[static_cast<std::size_t>(m.nRow) + 1];
            ++nHits;
        }
    }
    for (int r = 0; r < nRows; ++r) rowStart[static_cast<std::size_t>(r) + 1] += rowStart[static_cast<std::size_t>(r)];
    std::vector<int> order(static_cast<std::size_t>(nHits));
    {
        std::vector<int> next(rowStart.begin(), rowStart.end() - 1);
        for (int i = 0; i < arrMasks.GetSize(); ++i) {
            const CELL_MASK& m = arrMasks[i];
            if (m.nRow >= 0 && m.nRow < nRows && m.nCol >= 0 && m.nCol < m_arrDataRows[m.nRow]->GetNumCells())
                order[static_cast<std::size_t>(next[static_cast<std::size_t>(m.nRow)]++)] = i;
        }
    }
    // Row by row, so that each row's cells are fetched once: first its masks,
    // then the row's, the column's or the default for what is still unset.
    for (int r = 0; r < nRows; ++r) {
        CTblRow* pRow = m_arrDataRows[r];
        const auto first = order.begin() + rowStart[static_cast<std::size_t>(r)];
        const auto last = order.begin() + rowStart[static_cast<std::size_t>(r) + 1];
        std::stable_sort(first, last, [&arrMasks](int a, int b) { return arrMasks[a].nCol < arrMasks[b].nCol; });
        for (auto it = first; it != last;) {
            const int nCol = arrMasks[*it].nCol;
            CStyle* pStyle = nullptr;
            CFormat* pFormat = nullptr;
            for (; it != last && arrMasks[*it].nCol == nCol; ++it) {
                if (pStyle == nullptr) pStyle = arrMasks[*it].pStyle;
                if (pFormat == nullptr) pFormat = arrMasks[*it].pFormat;
            }
            CTblCell* pCell = pRow->m_arrCells[nCol];
            if (pFormat != nullptr) pCell->m_pFormat = pFormat;
            if (pStyle != nullptr) pCell->m_pStyle = pStyle;
        }

        const int n = pRow->GetNumCells();
        for (int c = 0; c < n; ++c) {
            CTblCell* pCell = pRow->m_arrCells[c];
            const CTblColumn* pCol = pCell->m_pCol;
            if (pCell->m_pFormat == nullptr) {
                CFormat* pFormat = pRow->m_pCellFormat;
                if (pFormat == nullptr && pCol != nullptr) pFormat = pCol->m_pCellFormat;
                pCell->m_pFormat = pFormat ? pFormat : pDefaultFormat;
            }
            if (pCell->m_pStyle == nullptr) {
                CStyle* pStyle = pRow->m_pCellStyle;
                if (pStyle == nullptr && pCol != nullptr) pStyle = pCol->m_pCellStyle;
                pCell->m_pStyle = pStyle ? pStyle : pDefaultStyle;
            }
        }
    }
}

}  // namespace kavo

namespace kavo {

namespace {

// Whether the leaves below pNode, depth first, are arr from index *pn on;
// also checks the parent links.
template <class Node>
bool LeavesAre(const CRowColOb* pNode, const CArray<Node*, Node*>& arr, int* pn) {
    const int n = pNode->GetNumChildren();
    for (int i = 0; i < n; ++i) {
        const CRowColOb* pChild = pNode->GetChildAt(i);
        if (pChild->GetParent() != pNode) return false;
        if (pChild->HasData()) {
            if (*pn >= arr.GetSize() || arr[*pn] != pChild) return false;
            ++*pn;
        } else if (!LeavesAre(pChild, arr, pn)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool CTable::IsLinked() const {
    int nCols = 0, nRows = 0;
    if (!LeavesAre(m_pColumnRoot, m_arrDataColumns, &nCols) || nCols != m_arrDataColumns.GetSize()) return false;
    if (!LeavesAre(m_pRowRoot, m_arrDataRows, &nRows) || nRows != m_arrDataRows.GetSize()) return false;
    for (int r = 0; r < nRows; ++r) {
        const CTblRow* pRow = m_arrDataRows[r];
        if (pRow->GetNumCells() != nCols) return false;
        for (int c = 0; c < nCols; ++c) {
            const CTblCell* pCell = pRow->m_arrCells[c];
            // Rows assigned from one another share cells, so a cell's row
            // link names one of them: it is not compared.
            if (pCell == nullptr || pCell->m_pCol != m_arrDataColumns[c]) return false;
        }
    }
    return true;
}

void CTable::Relink() {
    // Where each old data column's cells go; a column that left the trees
    // has no place (it may even be destroyed: it is only compared).
    std::unordered_map<const CTblColumn*, int> place;
    OptimizeDataChildren();
    SetRowColObParent(m_pRowRoot, nullptr);
    SetRowColObParent(m_pColumnRoot, nullptr);
    const int nCols = GetNumDataColumns();
    for (int c = 0; c < nCols; ++c) place.emplace(m_arrDataColumns[c], c);
    std::vector<CTblCell*> cells, loose;
    for (int r = 0; r < GetNumDataRows(); ++r) {
        CTblRow* pRow = m_arrDataRows[r];
        // Cells linked to a column still there go to it; cells never linked
        // (added since) fill the places left, in order.
        cells.assign(static_cast<std::size_t>(nCols), nullptr);
        loose.clear();
        for (int i = 0; i < pRow->GetNumCells(); ++i) {
            CTblCell* pCell = pRow->m_arrCells[i];
            if (pCell == nullptr) continue;
            if (pCell->m_pCol == nullptr) {
                loose.push_back(pCell);
                continue;
            }
            const auto it = place.find(pCell->m_pCol);
            if (it != place.end() && cells[static_cast<std::size_t>(it->second)] == nullptr)
                cells[static_cast<std::size_t>(it->second)] = pCell;
        }
        std::size_t nLoose = 0;
        for (CTblCell*& pCell : cells)
            if (pCell == nullptr && nLoose < loose.size()) pCell = loose[nLoose++];
        pRow->m_arrCells.RemoveAll();
        pRow->m_arrCells.Reserve(nCols);
        for (CTblCell* pCell : cells) {
            if (pCell == nullptr) pCell = AllocCell(0);
            if (pCell == nullptr) break;  // the block cannot grow further
            pRow->AddCell(pCell);
        }
    }
    AdjustCellLinkages();
    AdjustMasks(CCellMaskArray());
}

}  // namespace kavo
