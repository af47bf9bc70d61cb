// Process-wide layout metrics, set by the last layout on any table.
#pragma once

namespace kavo {

/// Inner margin on each side of every element: a fifth of the height of "X"
/// in the table font.
extern int g_nMargin;
/// Height of "X" plus two margins: the height of a one-line element and the
/// step of the width search.
extern int g_nLineHeight;
/// Set while a printer layout repeats itself after a column was widened.
extern int g_bRepaginating;

}  // namespace kavo
