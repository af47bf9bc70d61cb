// The table container: ownership of trees, pieces and cells, the cell block,
// comparison, and the table-wide hit testing, blocking and scrolling.
#include "kavotbl/model/table.h"

#include <climits>

namespace kavo {

KAVO_IMPLEMENT_DYNAMIC(CTable, CTblOb)

namespace {

// Most cells Alloc reserves up front (about 216 MB of cells). A table file
// states its size in a single line, so a larger claim is not trusted: nothing
// is reserved and AllocCell grows the block as cells are really handed out.
constexpr std::int64_t kMaxReservedCells = std::int64_t{1} << 20;

}  // namespace

CTable::CTable() : m_pColumnRoot(new CTblColumn), m_pRowRoot(new CTblRow) {}

CTable::~CTable() {
    DiscardSpannerCopies();
    DiscardContinuedCaptions();
    delete m_pColumnRoot;
    m_pColumnRoot = nullptr;
    delete m_pRowRoot;  // rows only release their cell pointers
    m_pRowRoot = nullptr;
    m_cellBlock.Clear();
    m_arrDataColumns.RemoveAll();
    m_arrDataRows.RemoveAll();
    m_nNextCell = 0;
    // The four pieces and the element part go with the members and the base.
}

int CTable::GetColumnNum(const CTblColumn* pColumn) const {
    for (int i = 0; i < m_arrDataColumns.GetSize(); ++i)
        if (m_arrDataColumns[i] == pColumn) return i;
    return -1;
}

int CTable::GetRowNum(const CTblRow* pRow) const {
    for (int i = 0; i < m_arrDataRows.GetSize(); ++i)
        if (m_arrDataRows[i] == pRow) return i;
    return -1;
}

void CTable::Alloc(const CSize& size) {
    // The block grows and shrinks at its end without moving the cells that
    // stay, so rows may keep pointing at them.
    if (size.cx < 0 || size.cy < 0) return;
    const std::int64_t nCells = std::int64_t{size.cx} * std::int64_t{size.cy};
    if (nCells > kMaxReservedCells) return;
    if (nCells == 0)
        m_cellBlock.Clear();
    else
        m_cellBlock.Resize(static_cast<std::size_t>(nCells));
    if (m_nNextCell > nCells) m_nNextCell = static_cast<int>(nCells);
}

CTblCell* CTable::AllocCell(std::int64_t nData) {
    if (m_nNextCell == INT_MAX) return nullptr;  // the block is indexed by int
    if (static_cast<std::size_t>(m_nNextCell) >= m_cellBlock.size()) m_cellBlock.EmplaceBack();
    CTblCell& cell = m_cellBlock[static_cast<std::size_t>(m_nNextCell++)];
    cell.SetData(nData);
    return &cell;
}

CSize CTable::Size() const {
    return CSize(m_sizeCol.cx + m_sizeRow.cx, m_title.Height() + m_sizeCol.cy + m_sizeRow.cy);
}

bool CTable::operator==(const CTable& o) const {
    if (m_bLoaded != o.m_bLoaded) return false;
    if (m_strText != o.m_strText) return false;
    if (m_title != o.m_title) return false;
    if (m_header != o.m_header) return false;
    if (m_stubHead != o.m_stubHead) return false;
    if (m_footer != o.m_footer) return false;
    if (GetNumDataRows() != o.GetNumDataRows()) return false;
    if (GetNumDataColumns() != o.GetNumDataColumns()) return false;
    return m_pRowRoot == o.m_pRowRoot && m_pColumnRoot == o.m_pColumnRoot;
}

int CTable::HitTest(const CPoint& pt, CTblOb*& pHit) {
    // Later hits override earlier ones: the stub head over the title, a row
    // over a column.
    PutMetricsInForce();
    int bHit = 0;
    if (m_title.HitTest(pt, pHit)) bHit = 1;
    if (m_stubHead.HitTest(pt, pHit)) bHit = 1;
    if (bHit) return 1;
    if (m_pColumnRoot->HitTest(pt, pHit)) bHit = 1;
    if (m_pRowRoot->HitTest(pt, pHit)) bHit = 1;
    if (bHit) return 1;
    for (CTblRow* pRow : m_arrDataRows) {
        if (pRow == nullptr) continue;
        for (int c = 0; c < pRow->GetNumCells(); ++c) {
            CTblCell* pCell = pRow->GetCell(c);
            if (pCell != nullptr && pCell->HitTest(pt, pHit)) return 1;
        }
    }
    return 0;
}

void CTable::Block(CRectArray& rects, int bBlock) {
    m_title.Block(rects, bBlock);
    m_header.Block(rects, bBlock);
    m_footer.Block(rects, bBlock);
    m_stubHead.Block(rects, bBlock);
    m_pColumnRoot->Block(rects, bBlock);
    m_pRowRoot->Block(rects, bBlock);
    for (CTblRow* pRow : m_arrDataRows) {
        if (pRow == nullptr) continue;
        for (int c = 0; c < pRow->GetNumCells(); ++c) {
            CTblCell* pCell = pRow->GetCell(c);
            if (pCell != nullptr) pCell->Block(rects, bBlock);
        }
    }
}

void CTable::BlockParents(CRectArray& rects, int bBlock) {
    m_pColumnRoot->BlockParents(rects, bBlock);
    m_pRowRoot->BlockParents(rects, bBlock);
}

int CTable::IsBlocked() const {
    for (const CTblRow* pRow : m_arrDataRows) {
        if (pRow == nullptr) continue;
        for (int c = 0; c < pRow->GetNumCells(); ++c) {
            const CTblCell* pCell = pRow->GetCell(c);
            if (pCell != nullptr && pCell->IsBlocked()) return 1;
        }
    }
    return 0;
}

void CTable::StuffBlockColor(unsigned long cr) {
    m_title.SetBlockColor(cr);
    m_header.SetBlockColor(cr);
    m_footer.SetBlockColor(cr);
    m_stubHead.SetBlockColor(cr);
    SetBlockColor(cr);
    for (std::size_t i = 0; i < m_cellBlock.size(); ++i) m_cellBlock[i].SetBlockColor(cr);
    m_pRowRoot->StuffBlockColor(cr);
    m_pColumnRoot->StuffBlockColor(cr);
}

void CTable::ScrollBy(int dx, int dy) {
    // Title, heading, footing, stub head and the table's border stay put.
    m_pRowRoot->ScrollBy(dx, dy);
    m_pColumnRoot->ScrollBy(dx, dy);
}

}  // namespace kavo
