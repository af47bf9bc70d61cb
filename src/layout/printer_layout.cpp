// TODO(layout): placeholder definitions so that the library links; replaced by the printer layout.
#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/table.h"

namespace kavo {

int g_bRepaginating = 0;

void CTable::BackupClient(int) {}
void CTable::RestoreClient(int) {}

}  // namespace kavo
