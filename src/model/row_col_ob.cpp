// Column and row nodes: ownership of children, tree walks, copying,
// comparison, hit testing, blocking, block colour and scrolling.
#include "kavotbl/model/row_col_ob.h"

#include <utility>

#include "kavotbl/model/tbl_cell.h"

namespace kavo {

KAVO_IMPLEMENT_DYNAMIC(CRowColOb, CTblOb)
KAVO_IMPLEMENT_DYNAMIC(CTblColumn, CRowColOb)
KAVO_IMPLEMENT_DYNAMIC(CTblRow, CRowColOb)

namespace {

// Result of GetDataChild, shared by every node: callers read it before the
// next search.
CRowColOb* g_pDataChild = nullptr;

// Destroys the nodes of a list that has already been detached from its owner,
// first to last.
void DestroyNodes(std::vector<CRowColOb*>& nodes) {
    for (CRowColOb* p : nodes) delete p;
    nodes.clear();
}

}  // namespace

// ---------------------------------------------------------------------------
// CRowColOb

CRowColOb::CRowColOb() = default;

CRowColOb::~CRowColOb() {
    RemoveAllChildren();
    DestroyNodes(m_listRetired);
}

void CRowColOb::RemoveChildAt(int i) {
    const auto it = m_listChildren.begin() + i;
    CRowColOb* p = *it;
    m_listChildren.erase(it);
    delete p;
}

void CRowColOb::RemoveAllChildren() {
    // Detach the whole list first, so the node never lists a destroyed child.
    std::vector<CRowColOb*> old;
    old.swap(m_listChildren);
    DestroyNodes(old);
}

int CRowColOb::GetNumDataChildren() const {
    int n = 0;
    for (const CRowColOb* p : m_listChildren) n += p->HasData() ? 1 : p->GetNumDataChildren();
    return n;
}

int CRowColOb::GetDataChildrenWidth() const {
    int n = 0;
    for (const CRowColOb* p : m_listChildren) n += p->HasData() ? p->Width() : p->GetDataChildrenWidth();
    return n;
}

CRowColOb*& CRowColOb::GetDataChild(int n, int* pnCounter) {
    if (*pnCounter > n) return g_pDataChild;
    g_pDataChild = nullptr;
    for (CRowColOb* p : m_listChildren) {
        if (p->HasData()) {
            if (n == *pnCounter) g_pDataChild = p;
            ++*pnCounter;
        } else {
            CRowColOb* pFound = p->GetDataChild(n, pnCounter);
            g_pDataChild = pFound;
        }
    }
    return g_pDataChild;
}

int CRowColOb::GetDepth(int nLevel) const {
    if (m_listChildren.empty()) return nLevel;
    int nDepth = nLevel + 1;
    for (const CRowColOb* p : m_listChildren) {
        const int d = p->GetDepth(nLevel + 1);
        if (d > nDepth) nDepth = d;
    }
    return nDepth;
}

void CRowColOb::RemoveAllPages() {
    CTblOb::RemoveAllPages();
    for (CRowColOb* p : m_listChildren) p->RemoveAllPages();
}

void CRowColOb::IHateTwips() {
    CTblOb::IHateTwips();
    for (CRowColOb* p : m_listChildren) p->IHateTwips();
}

void CRowColOb::BackupClient(int bSlot) {
    CTblOb::BackupClient(bSlot);
    for (CRowColOb* p : m_listChildren) p->BackupClient(bSlot);
}

void CRowColOb::RestoreClient(int bSlot) {
    CTblOb::RestoreClient(bSlot);
    for (CRowColOb* p : m_listChildren) p->RestoreClient(bSlot);
}

int CRowColOb::HitTest(const CPoint& pt, CTblOb*& pHit) {
    if (CTblOb::HitTest(pt, pHit)) return 1;
    for (CRowColOb* p : m_listChildren)
        if (p->HitTest(pt, pHit)) return 1;
    return 0;
}

void CRowColOb::Block(CRectArray& rects, int bBlock) {
    CTblOb::Block(rects, bBlock);
    for (CRowColOb* p : m_listChildren) p->Block(rects, bBlock);
}

void CRowColOb::BlockParents(CRectArray& rects, int bBlock) {
    for (CRowColOb* p : m_listChildren) {
        p->BlockParents(rects, bBlock);
        if (p->IsBlocked()) CTblOb::Block(rects, bBlock);
    }
}

void CRowColOb::StuffBlockColor(unsigned long cr) {
    SetBlockColor(cr);
    for (CRowColOb* p : m_listChildren) p->StuffBlockColor(cr);
}

// ---------------------------------------------------------------------------
// CTblColumn

namespace {

// Builds new nodes assigned from the children of src. Done before the
// target changes, so src may be the target itself or lie inside its subtree.
template <class Node>
std::vector<CRowColOb*> AssignedCopies(const std::vector<CRowColOb*>& src) {
    std::vector<CRowColOb*> copies;
    copies.reserve(src.size());
    for (const CRowColOb* p : src) {
        auto* pNew = new Node;
        *pNew = *static_cast<const Node*>(p);
        copies.push_back(pNew);
    }
    return copies;
}

// Same child objects in the same order.
bool SameChildren(const std::vector<CRowColOb*>& a, const std::vector<CRowColOb*>& b) { return a == b; }

}  // namespace

CTblColumn::CTblColumn() = default;

CTblColumn::CTblColumn(const CTblColumn& src) : CRowColOb() {
    m_strText = src.m_strText;
    m_pStyle = src.m_pStyle;
    m_pCellStyle = src.m_pCellStyle;
    m_pCellFormat = src.m_pCellFormat;
    m_rcPos = src.m_rcPos;
    SetMinSize(src.GetMinSize());
    SetMaxSize(src.GetMaxSize());
    m_bMultiPage = src.m_bMultiPage;
    CopyPages(src);
    m_listChildren.reserve(src.m_listChildren.size());
    for (const CRowColOb* p : src.m_listChildren)
        m_listChildren.push_back(new CTblColumn(*static_cast<const CTblColumn*>(p)));
}

CTblColumn& CTblColumn::operator=(const CTblColumn& src) {
    std::vector<CRowColOb*> copies = AssignedCopies<CTblColumn>(src.m_listChildren);
    m_strText = src.m_strText;
    m_pStyle = src.m_pStyle;
    m_rcPos = src.m_rcPos;
    SetMinSize(src.GetMinSize());
    SetMaxSize(src.GetMaxSize());
    // The old children leave the tree without being destroyed: src may be
    // one of them, and the table's data lists and cells may point at them.
    m_listChildren.swap(copies);
    m_listRetired.insert(m_listRetired.end(), copies.begin(), copies.end());
    return *this;
}

bool CTblColumn::operator==(const CTblColumn& o) const {
    return m_strText == o.m_strText && m_pStyle == o.m_pStyle && m_rcPos == o.m_rcPos &&
           GetMinSize() == o.GetMinSize() && GetMaxSize() == o.GetMaxSize() &&
           SameChildren(m_listChildren, o.m_listChildren);
}

CTblColumn::~CTblColumn() { RemoveAllChildren(); }

void CTblColumn::InsertChildBefore(int nIndex, CTblColumn* pChild) {
    if (nIndex < 0 || nIndex >= GetNumChildren())
        m_listChildren.push_back(pChild);
    else
        m_listChildren.insert(m_listChildren.begin() + nIndex, pChild);
}

void CTblColumn::ScrollBy(int dx, int dy) {
    // The heading band only moves sideways; what lies below it moves both ways.
    CTblOb::ScrollBy(dx, 0);
    for (CRowColOb* p : m_listChildren) p->ScrollBy(dx, dy);
}

// ---------------------------------------------------------------------------
// CTblRow

CTblRow::CTblRow() = default;

CTblRow& CTblRow::operator=(const CTblRow& src) {
    // The cells become shared: both rows must see them where they are.
    src.SettleCells();
    SettleCells();
    std::vector<CRowColOb*> copies = AssignedCopies<CTblRow>(src.m_listChildren);
    m_strText = src.m_strText;
    m_pStyle = src.m_pStyle;
    m_rcPos = src.m_rcPos;
    SetMinSize(src.GetMinSize());
    SetMaxSize(src.GetMaxSize());
    m_arrCells = src.m_arrCells;
    m_bHasArea = src.m_bHasArea;
    m_area = src.m_area;
    m_strAreaName = src.m_strAreaName;
    // The old children leave the tree without being destroyed: src may be
    // one of them, and the table's data lists and cells may point at them.
    m_listChildren.swap(copies);
    m_listRetired.insert(m_listRetired.end(), copies.begin(), copies.end());
    return *this;
}

bool CTblRow::operator==(const CTblRow& o) const {
    if (!(m_strText == o.m_strText && m_pStyle == o.m_pStyle && m_rcPos == o.m_rcPos &&
          GetMinSize() == o.GetMinSize() && GetMaxSize() == o.GetMaxSize()))
        return false;
    if (m_arrCells.GetSize() != o.m_arrCells.GetSize()) return false;
    for (int i = 0; i < m_arrCells.GetSize(); ++i)
        if (m_arrCells[i] != o.m_arrCells[i]) return false;
    return SameChildren(m_listChildren, o.m_listChildren);
}

CTblRow::~CTblRow() {
    RemoveAllCells();  // the cells belong to the table
    RemoveAllChildren();
}

void CTblRow::MoveCells() const {
    const int dx = m_nCellDx, dy = m_nCellDy;
    m_nCellDx = m_nCellDy = 0;
    for (CTblCell* pCell : m_arrCells)
        if (pCell != nullptr) pCell->ScrollBy(dx, dy);
}

CTblRow* CTblRow::GetAreaParent() {
    for (CRowColOb* p = this; p != nullptr; p = p->GetParent()) {
        auto* pRow = static_cast<CTblRow*>(p);
        if (pRow->m_bHasArea) return pRow;
    }
    return nullptr;
}

void CTblRow::ScrollBy(int dx, int dy) {
    // The stub only moves up and down; its cells move both ways.
    CTblOb::ScrollBy(0, dy);
    m_nCellDx += dx;
    m_nCellDy += dy;
    for (CRowColOb* p : m_listChildren) p->ScrollBy(dx, dy);
}

}  // namespace kavo
