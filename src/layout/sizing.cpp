// TODO(layout): placeholder definitions so that the library links; replaced by the sizing code.
#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/tbl_cell.h"

namespace kavo {

int g_nMargin = 0;
int g_nLineHeight = 0;

CSize CTblOb::CalcRectSize(CDC*, CSize sizeMin, CSize) { return sizeMin; }
CSize CTblCell::CalcRectSize(CDC*, CSize sizeMin, CSize) { return sizeMin; }
int CTblColumn::SpannedHeight() const { return 0; }
int CTblColumn::SpannedWidth() const { return 0; }
int CTblRow::SpannedHeight() const { return 0; }
int CTblRow::SpannedWidth() const { return 0; }

}  // namespace kavo
