// The table element: copying, comparison, moving, flipping, saved layouts,
// hit testing and blocking of a single element.
#include "kavotbl/model/tbl_ob.h"

#include <algorithm>
#include <cstddef>

namespace kavo {

KAVO_IMPLEMENT_DYNAMIC(CTblOb, CObject)

namespace {

// Slot 0 of the backup arrays serves bSlot nonzero, slot 1 serves bSlot zero.
inline int BackupIndex(int bSlot) { return bSlot ? 0 : 1; }

}  // namespace

// The block colour keeps its in-class initial value 0 (black): drawing reads it
// only for blocked elements, which are always given a colour first.
CTblOb::CTblOb(const CKAVOString& strText, CStyle* pStyle) : m_strText(strText), m_pStyle(pStyle) {}

CTblOb::CTblOb(const CTblOb& src)
    : CObject(src),
      m_strText(src.m_strText),
      m_pStyle(src.m_pStyle),
      m_rcPos(src.m_rcPos),
      m_rcBorder(src.m_rcBorder),
      m_sizeMin(src.m_sizeMin),
      m_sizeMax(src.m_sizeMax),
      m_arrPages(src.m_arrPages),
      m_nTextHeight(src.m_nTextHeight),
      m_bBlocked(src.m_bBlocked) {
    for (int i = 0; i < 2; ++i) {
        m_rcBackupPos[i] = src.m_rcBackupPos[i];
        m_nBackupTextHeight[i] = src.m_nBackupTextHeight[i];
    }
}

void CTblOb::operator=(const CTblOb& src) {
    if (this == &src) return;
    m_strText = src.m_strText;
    m_pStyle = src.m_pStyle;
    m_rcPos = src.m_rcPos;
    m_sizeMin = src.m_sizeMin;
    m_sizeMax = src.m_sizeMax;
    m_rcBackupPos[0] = src.m_rcBackupPos[0];
    m_rcBackupPos[1] = src.m_rcBackupPos[1];
    m_arrPages = src.m_arrPages;
}

bool CTblOb::operator==(const CTblOb& o) const {
    if (m_strText != o.m_strText) return false;
    if (m_pStyle != o.m_pStyle) return false;
    if (m_rcPos != o.m_rcPos) return false;
    if (m_sizeMin != o.m_sizeMin) return false;
    if (m_arrPages.GetSize() != o.m_arrPages.GetSize()) return false;
    for (int i = 0; i < m_arrPages.GetSize(); ++i)
        if (m_arrPages[i] != o.m_arrPages[i]) return false;
    return true;
}

CTblOb::~CTblOb() = default;

// ---------------------------------------------------------------------------
// CPageList

CPageList& CPageList::operator=(const CPageList& src) {
    if (this == &src) return *this;
    if (src.m_nSize <= 1 && !m_pMore) {
        m_nSize = src.m_nSize;
        m_nOne = src.m_nSize ? src[0] : 0;
        return *this;
    }
    Reserve(src.m_nSize);
    for (int i = 0; i < src.m_nSize; ++i) m_pMore[i] = src[i];
    m_nSize = src.m_nSize;
    return *this;
}

void CPageList::Reserve(int n) {
    const int nCap = m_pMore ? m_nCap : 1;
    if (n <= nCap) return;
    const int nNew = std::max({n, 2 * nCap, 4});
    int* p = new int[static_cast<std::size_t>(nNew)]();
    for (int i = 0; i < m_nSize; ++i) p[i] = (*this)[i];
    delete[] m_pMore;
    m_pMore = p;
    m_nCap = nNew;
}

void CPageList::Add(int nPage) {
    Reserve(m_nSize + 1);
    (*this)[m_nSize] = nPage;
    ++m_nSize;
}

void CPageList::SetSize(int n) {
    if (n < 0) n = 0;
    Reserve(n);
    for (int i = m_nSize; i < n; ++i) (*this)[i] = 0;
    m_nSize = n;
}

void CTblOb::ScrollBy(int dx, int dy) {
    m_rcPos.OffsetRect(dx, dy);
    // An unset (or flipped) border has no place to move to.
    if (!m_rcBorder.IsRectEmpty()) m_rcBorder.OffsetRect(dx, dy);
}

int CTblOb::HitTest(const CPoint& pt, CTblOb*& pHit) {
    if (!m_rcPos.PtInRect(pt)) return 0;
    pHit = this;
    return 1;
}

void CTblOb::Block(CRectArray& rects, int bBlock) {
    if (m_bBlocked == bBlock) return;
    m_bBlocked = bBlock;
    rects.Add(m_rcPos);
}

void CTblOb::IHateTwips() {
    m_rcPos.top = -m_rcPos.top;
    m_rcPos.bottom = -m_rcPos.bottom;
}

void CTblOb::BackupClient(int bSlot) {
    const int i = BackupIndex(bSlot);
    m_rcBackupPos[i] = m_rcPos;
    m_nBackupTextHeight[i] = m_nTextHeight;
}

void CTblOb::RestoreClient(int bSlot) {
    const int i = BackupIndex(bSlot);
    m_rcPos = m_rcBackupPos[i];
    m_nTextHeight = m_nBackupTextHeight[i];
}

}  // namespace kavo
