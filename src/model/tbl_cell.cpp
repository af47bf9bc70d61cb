// Data cells: construction and copying.
#include "kavotbl/model/tbl_cell.h"

namespace kavo {

KAVO_IMPLEMENT_DYNAMIC(CTblCell, CTblOb)

CTblCell::CTblCell(std::int64_t nData) : m_nData(nData) {}

CTblCell::CTblCell(const CTblCell& src)
    : CTblOb(src),
      m_bDirty(src.m_bDirty),
      m_pFormat(src.m_pFormat),
      m_nData(src.m_nData),
      m_pCol(src.m_pCol),
      m_pRow(src.m_pRow) {}

CTblCell& CTblCell::operator=(const CTblCell& src) {
    CTblOb::operator=(src);
    m_pFormat = src.m_pFormat;
    m_nData = src.m_nData;
    m_bDirty = src.m_bDirty;
    m_pCol = src.m_pCol;
    m_pRow = src.m_pRow;
    return *this;
}

CTblCell::~CTblCell() = default;

}  // namespace kavo
