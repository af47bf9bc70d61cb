// Selections as a host makes them: a block of data rows by data columns in
// one call, and what a point hits told as kind, data row and data column.
#include <utility>
#include <vector>

#include "kavotbl/model/table.h"

namespace kavo {

namespace {

// Gives every inner node of the tree the mark of "has a blocked child",
// children before their parents (the order of BlockParents); iterative, so
// that a deep tree cannot exhaust the stack.
void MarkInnerNodes(CRowColOb* pRoot, CRectArray& rects) {
    struct Frame {
        CRowColOb* pNode;
        int nNext;
        bool bAny;
    };
    std::vector<Frame> stack{{pRoot, 0, false}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.nNext < f.pNode->GetNumChildren()) {
            CRowColOb* pChild = f.pNode->GetChildAt(f.nNext++);
            if (pChild->HasData())
                f.bAny = f.bAny || pChild->IsBlocked();
            else
                stack.push_back({pChild, 0, false});
            continue;
        }
        const Frame done = f;
        stack.pop_back();
        done.pNode->CTblOb::Block(rects, done.bAny ? 1 : 0);
        if (!stack.empty()) stack.back().bAny = stack.back().bAny || done.bAny;
    }
}

}  // namespace

int CTable::SelectBlock(int nFirstRow, int nFirstCol, int nLastRow, int nLastCol, CRectArray& rects) {
    if (nFirstRow > nLastRow) std::swap(nFirstRow, nLastRow);
    if (nFirstCol > nLastCol) std::swap(nFirstCol, nLastCol);
    const int nRows = GetNumDataRows(), nCols = GetNumDataColumns();
    if (nFirstRow < 0 || nFirstCol < 0 || nLastRow >= nRows || nLastCol >= nCols) return 0;

    m_title.Block(rects, 0);
    m_header.Block(rects, 0);
    m_footer.Block(rects, 0);
    m_stubHead.Block(rects, 0);
    for (int c = 0; c < nCols; ++c)
        m_arrDataColumns[c]->CTblOb::Block(rects, c >= nFirstCol && c <= nLastCol ? 1 : 0);
    MarkInnerNodes(m_pColumnRoot, rects);
    for (int r = 0; r < nRows; ++r) m_arrDataRows[r]->CTblOb::Block(rects, r >= nFirstRow && r <= nLastRow ? 1 : 0);
    MarkInnerNodes(m_pRowRoot, rects);
    for (int r = 0; r < nRows; ++r) {
        CTblRow* pRow = m_arrDataRows[r];
        const bool bRow = r >= nFirstRow && r <= nLastRow;
        for (int c = 0; c < pRow->GetNumCells(); ++c)
            if (CTblCell* pCell = pRow->GetCell(c)) pCell->Block(rects, bRow && c >= nFirstCol && c <= nLastCol ? 1 : 0);
    }
    return 1;
}

CTblHit CTable::HitTestElement(const CPoint& pt) {
    CTblHit hit;
    CTblOb* pOb = nullptr;
    if (!HitTest(pt, pOb) || pOb == nullptr) return hit;
    hit.pOb = pOb;
    if (pOb == &m_title) {
        hit.kind = HitKind::Title;
    } else if (pOb == &m_stubHead) {
        hit.kind = HitKind::StubHead;
    } else if (auto* pCol = dynamic_cast<CTblColumn*>(pOb)) {
        hit.kind = pCol->HasData() ? HitKind::Column : HitKind::Spanner;
        if (pCol->HasData()) hit.nCol = GetColumnNum(pCol);
    } else if (auto* pRow = dynamic_cast<CTblRow*>(pOb)) {
        hit.kind = pRow->HasData() ? HitKind::Row : HitKind::Caption;
        if (pRow->HasData()) hit.nRow = GetRowNum(pRow);
    } else if (auto* pCell = dynamic_cast<CTblCell*>(pOb)) {
        hit.kind = HitKind::Cell;
        hit.pCell = pCell;
        hit.nRow = GetRowNum(pCell->GetRow());
        hit.nCol = GetColumnNum(pCell->GetCol());
    }
    return hit;
}

}  // namespace kavo
