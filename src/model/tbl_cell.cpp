// Data cells: construction and copying.
#include "kavotbl/model/tbl_cell.h"

namespace kavo {

KAVO_IMPLEMENT_DYNAMIC(CTblCell, CTblOb)

CTblCell::CTblCell(std::int64_t nData) : m_nData(nData) {}

CTblCell::CTblCell(const CTblCell& src)
    : CTblOb(src),
      m_nFlags(src.m_nFlags),
      m_nBackupTextHeight{src.m_nBackupTextHeight[0], src.m_nBackupTextHeight[1]},
      m_pFormat(src.m_pFormat),
      m_nData(src.m_nData),
      m_pCol(src.m_pCol),
      m_pRow(src.m_pRow) {}

CTblCell& CTblCell::operator=(const CTblCell& src) {
    CTblOb::operator=(src);
    m_pFormat = src.m_pFormat;
    m_nData = src.m_nData;
    // The saved boxes come from the source, the saved text heights stay.
    const unsigned char nTall = kTallSlot0 | kTallSlot1;
    m_nFlags = static_cast<unsigned char>((src.m_nFlags & ~nTall) | (m_nFlags & nTall));
    m_pCol = src.m_pCol;
    m_pRow = src.m_pRow;
    return *this;
}

CTblCell::~CTblCell() = default;

void CTblCell::SaveLayout(int bSlot, const CRect* pPlaced) {
    const int i = SlotIndex(bSlot);
    const unsigned char nPlaced = PlacedFlag(i);
    if (FitsShort(m_nTextHeight)) {
        m_nBackupTextHeight[i] = static_cast<std::int16_t>(m_nTextHeight);
        m_nFlags &= static_cast<unsigned char>(~TallFlag(i));
    } else {
        Extra().nBackupTextHeight[i] = m_nTextHeight;
        m_nFlags |= TallFlag(i);
    }
    if (pPlaced && *pPlaced == m_rcPos) {
        m_nFlags |= nPlaced;
        return;
    }
    m_nFlags &= static_cast<unsigned char>(~nPlaced);
    SaveBox(i);
}

void CTblCell::LoadLayout(int bSlot, const CRect* pPlaced) {
    const int i = SlotIndex(bSlot);
    m_nTextHeight = (m_nFlags & TallFlag(i)) ? Ext().nBackupTextHeight[i] : m_nBackupTextHeight[i];
    if (m_nFlags & PlacedFlag(i)) {
        if (pPlaced) m_rcPos = *pPlaced;
        return;
    }
    LoadBox(i);
}

}  // namespace kavo
