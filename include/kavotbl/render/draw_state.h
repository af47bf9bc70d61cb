// State of the drawing pass under way, set by CTable::Draw and read by the
// border drawing. One table is drawn at a time.
#pragma once

namespace kavo {

extern int g_nTitleHeight;    // height of the title's box
extern int g_nHeadingHeight;  // height of the column tree
extern int g_nStubWidth;      // width of the row tree
extern int g_nDrawRight;      // right edge of the drawing rectangle
extern int g_nDrawBottom;     // bottom edge, or the drawn height when smaller in magnitude

}  // namespace kavo
