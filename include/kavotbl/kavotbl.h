// The whole public interface of the table library.
#pragma once

#include "kavotbl/file/cell_mask.h"
#include "kavotbl/file/document.h"
#include "kavotbl/host/host.h"
#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/cell_block.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/table.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/model/tbl_ob.h"
#include "kavotbl/render/draw_state.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/rtf/rtf_row.h"
#include "kavotbl/style/format.h"
#include "kavotbl/style/registry.h"
#include "kavotbl/style/style.h"
