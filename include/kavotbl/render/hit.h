// What a point of a laid-out table hits, as a host wants to know it.
#pragma once

// X11 defines None as a macro; set it aside so that HitKind::None can be
// declared whichever header a host includes first.
#pragma push_macro("None")
#undef None

namespace kavo {

class CTblOb;
class CTblCell;

/// The kind of element a hit test found.
enum class HitKind : int {
    Outside,   ///< nothing: the point lies outside every element that can be hit
    Title,     ///< the title
    StubHead,  ///< the stub head
    Spanner,   ///< a column node with children
    Column,    ///< a data column
    Caption,   ///< a row node with children
    Row,       ///< a data row
    Cell,      ///< a data cell
    None = Outside,  ///< the same as Outside (where X11's None macro is in force, write Outside)
};

/// Result of CTable::HitTestElement. nRow is the data row of a hit row or
/// cell, nCol the data column of a hit column or cell; both are -1
/// otherwise. pOb is the element hit (null for Outside); pCell is the cell
/// when a cell was hit.
struct CTblHit {
    HitKind kind = HitKind::Outside;
    int nRow = -1;
    int nCol = -1;
    CTblOb* pOb = nullptr;
    CTblCell* pCell = nullptr;
};

}  // namespace kavo

#pragma pop_macro("None")
