// TODO(render): placeholder definitions so that the library links; replaced by the drawing code.
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/render/draw_state.h"

namespace kavo {

int g_nTitleHeight = 0;
int g_nHeadingHeight = 0;
int g_nStubWidth = 0;
int g_nDrawRight = 0;
int g_nDrawBottom = 0;

void CTblOb::Draw(CDC*, int) {}
void CTblCell::Draw(CDC* pDC, int nPage) { CTblOb::Draw(pDC, nPage); }
void CRowColOb::Draw(CDC*, int, int) {}
int CTblColumn::CanDrawBorderLeft() const { return 1; }
int CTblColumn::CanDrawBorderRight() const { return 1; }
int CTblRow::CanDrawBorderTop() const { return 1; }
int CTblRow::CanDrawBorderBottom() const { return 1; }

}  // namespace kavo
