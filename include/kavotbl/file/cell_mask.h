// Per-cell style or format read from a row section, applied after loading.
#pragma once

#include "kavotbl/host/object.h"

namespace kavo {

class CStyle;
class CFormat;

/// A single-cell style or format: collected while a table is read, given to
/// the cell at (nRow, nCol) when the table is linked.
struct CELL_MASK {
    CStyle* pStyle = nullptr;    // none for a "CellFormat" line
    CFormat* pFormat = nullptr;  // none for a "CellStyle" line
    int nCol = 0;                // data column number
    int nRow = 0;                // data row number
};

using CCellMaskArray = CArray<CELL_MASK, CELL_MASK&>;

}  // namespace kavo
