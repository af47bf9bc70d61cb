// Options of the printer layout and of drawing that a publication wants.
#pragma once

#include "kavotbl/host/string.h"

namespace kavo {

/// Options of a table's printer layout and drawing (CTable::SetPrintOptions).
/// Every default keeps the layout and drawing as they are without options,
/// so a table that is given none prints exactly as before; Publishing()
/// turns every option on.
struct CPrintOptions {
    // Pagination.
    /// A caption never ends a page: it moves to the next page with its first
    /// rows (two, or all when it has fewer), and a group's last row is not
    /// left alone at the top of a page when one more row can go with it.
    int bKeepWithNext = 0;
    /// A row page that starts inside row groups repeats their captions at the
    /// top of the stub, each followed by strContinued.
    int bContinuedCaptions = 0;
    CKAVOString strContinued = " (continued)";

    // Widths.
    /// Each data column as wide as its widest cell text or caption word plus
    /// margins; the stub as wide as its longest label when the data columns
    /// still fit beside it, otherwise at most nStubLimitPercent of the
    /// printable width, its labels wrapping.
    int bWidthsFromContent = 0;
    int nStubLimitPercent = 40;
    /// With widths from content: the room left on a column page is spread
    /// evenly over its data columns (0: left as space at the right).
    int bSpreadLeftover = 1;
    /// With widths from content: column pages are cut at spanner boundaries;
    /// a spanner is split only when it alone is wider than a page.
    int bCutAtSpanners = 1;
    /// With widths from content: a table a little too wide for one column
    /// page is printed in smaller type, down to (100 - nMaxShrinkPercent)% of
    /// its size, before it is cut into column pages (0: never shrink; at
    /// most 30).
    int nMaxShrinkPercent = 0;

    // Measuring (also in the screen layout).
    /// Elements measured in the font of their own style, as they are drawn,
    /// rather than all in the table's font.
    int bMeasureInStyleFonts = 0;

    // Drawing (also on the screen).
    /// Double and thick rules drawn as such, rule widths in proportion to the
    /// type size (0: only single rules are drawn).
    int bAllRuleKinds = 0;
    /// The rules along the top and bottom of a spanner stop a margin short of
    /// its ends, so that the rules of neighbouring spanners stay apart.
    int bTrimSpannerRules = 0;

    /// Every option on, with a fit-to-width shrink of up to 30%.
    static CPrintOptions Publishing() {
        CPrintOptions o;
        o.bKeepWithNext = o.bContinuedCaptions = o.bWidthsFromContent = 1;
        o.nMaxShrinkPercent = 30;
        o.bAllRuleKinds = o.bTrimSpannerRules = o.bMeasureInStyleFonts = 1;
        return o;
    }
};

}  // namespace kavo
