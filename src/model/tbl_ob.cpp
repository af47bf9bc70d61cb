// The table element: copying, comparison, moving, flipping, saved layouts,
// hit testing and blocking of a single element.
#include "kavotbl/model/tbl_ob.h"

namespace kavo {

KAVO_IMPLEMENT_DYNAMIC(CTblOb, CObject)

CTblOb::CTblOb(const CKAVOString& strText, CStyle* pStyle)
    : m_strText(strText), m_pStyle(pStyle), m_nPageState(0), m_bBlocked(0) {}

CTblOb::CTblOb(const CTblOb& src)
    : CObject(src),
      m_strText(src.m_strText),
      m_pStyle(src.m_pStyle),
      m_rcPos(src.m_rcPos),
      m_pExtra(src.m_pExtra ? std::make_unique<detail::CTblObExtra>(*src.m_pExtra) : nullptr),
      m_nTextHeight(src.m_nTextHeight),
      m_nPage(src.m_nPage),
      m_nPageState(src.m_nPageState),
      m_bBlocked(src.m_bBlocked) {}

void CTblOb::operator=(const CTblOb& src) {
    if (this == &src) return;
    m_strText = src.m_strText;
    m_pStyle = src.m_pStyle;
    m_rcPos = src.m_rcPos;
    const detail::CTblObExtra& from = src.Ext();
    SetMinSize(from.sizeMin);
    SetMaxSize(from.sizeMax);
    if (m_pExtra || src.m_pExtra) {
        detail::CTblObExtra& to = Extra();
        to.rcBackupPos[0] = from.rcBackupPos[0];
        to.rcBackupPos[1] = from.rcBackupPos[1];
    }
    CopyPages(src);
}

bool CTblOb::operator==(const CTblOb& o) const {
    if (m_strText != o.m_strText) return false;
    if (m_pStyle != o.m_pStyle) return false;
    if (m_rcPos != o.m_rcPos) return false;
    if (GetMinSize() != o.GetMinSize()) return false;
    if (GetNumPages() != o.GetNumPages()) return false;
    for (int i = 0; i < GetNumPages(); ++i)
        if (GetPage(i) != o.GetPage(i)) return false;
    return true;
}

CTblOb::~CTblOb() = default;

detail::CTblObExtra& CTblOb::Extra() {
    if (!m_pExtra) m_pExtra = std::make_unique<detail::CTblObExtra>();
    return *m_pExtra;
}

const detail::CTblObExtra& CTblOb::NoExtra() {
    static const detail::CTblObExtra none;
    return none;
}

void CTblOb::AddPage(int nPage) {
    if (m_nPageState == 0) {
        SetOnePage(nPage);
        return;
    }
    std::vector<int>& pages = Extra().pages;
    if (m_nPageState == 1) {
        // The second entry moves the list out; its memory stays for later lists.
        pages.clear();
        pages.push_back(m_nPage);
        m_nPageState = kPagesInExtra;
    }
    pages.push_back(nPage);
}

void CTblOb::SetPagesInExtra(int nFirst) {
    Extra().pages.assign(1, nFirst);
    m_nPageState = kPagesInExtra;
}

void CTblOb::CopyPages(const CTblOb& src) {
    if (this == &src) return;
    if (src.m_nPageState == kPagesInExtra) Extra().pages = src.m_pExtra->pages;
    m_nPage = src.m_nPage;
    m_nPageState = src.m_nPageState;
}

void CTblOb::ScrollBy(int dx, int dy) {
    m_rcPos.OffsetRect(dx, dy);
    // An unset (or flipped) border has no place to move to.
    if (m_pExtra && !m_pExtra->rcBorder.IsRectEmpty()) m_pExtra->rcBorder.OffsetRect(dx, dy);
}

int CTblOb::HitTest(const CPoint& pt, CTblOb*& pHit) {
    if (!m_rcPos.PtInRect(pt)) return 0;
    pHit = this;
    return 1;
}

void CTblOb::Block(CRectArray& rects, int bBlock) {
    // Any nonzero mark is the same mark: only a change adds the box.
    if (m_bBlocked == (bBlock != 0)) return;
    m_bBlocked = bBlock != 0 ? 1 : 0;
    rects.Add(m_rcPos);
}

void CTblOb::IHateTwips() {
    m_rcPos.top = -m_rcPos.top;
    m_rcPos.bottom = -m_rcPos.bottom;
}

void CTblOb::BackupClient(int bSlot) {
    const int i = SlotIndex(bSlot);
    SaveBox(i);
    m_pExtra->nBackupTextHeight[i] = m_nTextHeight;
}

void CTblOb::RestoreClient(int bSlot) {
    const int i = SlotIndex(bSlot);
    LoadBox(i);
    m_nTextHeight = Ext().nBackupTextHeight[i];
}

}  // namespace kavo
