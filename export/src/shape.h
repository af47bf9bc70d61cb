// The shape of a table as the flat writers (spreadsheet, CSV, web page) need
// it: the exported data columns, the heading cells level by level with
// their spans, and the body lines (captions and data rows) in order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kavotbl/model/table.h"

namespace kavo {
namespace export_detail {

struct HeadCell {
    const CTblColumn* pColumn;
    int nLevel;  // heading row, from 0
    int nCol;    // first exported data column below it
    int nSpan;   // exported data columns below it
    int nRows;   // heading rows it covers: more than 1 for a data column above the last level
};

struct BodyLine {
    const CTblRow* pRow;
    int nLevel;  // stub level, 0 for a child of the row root
    bool bData;  // a data row, else a caption
};

struct TableShape {
    std::vector<int> columns;  // data-column numbers of the exported columns
    int nLevels = 0;           // heading rows
    std::vector<HeadCell> head;  // by level, then left to right
    std::vector<BodyLine> body;
    int nStubLevels = 0;
};

/// The shape of the table, or of its blocked part; cells exported are
/// formatted.
void MakeShape(CTable& table, int bBlockedOnly, TableShape& shape);

/// The value of a cell as a plain decimal ("-1234.50"): the value with its
/// last nDecimals digits after a "." (negative counts add zeros).
void AppendPlainDecimal(std::string& out, std::int64_t v, int nDecimals);

/// UTF-8 of an element text (which may be code page 1252) appended.
void AppendUtf8(std::string& out, const CKAVOString& text);

}  // namespace export_detail
}  // namespace kavo
