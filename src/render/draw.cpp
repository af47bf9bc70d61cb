// Drawing of a laid-out table on the screen (page -1) or on one printed page.
//
// A repaint costs what it shows, not the size of the table. On the screen
// the layout places rows downward in pre-order and columns rightward in tree
// order, each node's subtree inside its own band, so the first visible row,
// column or cell is found by binary search and the walk stops after the last
// visible one. On a printed page the rows of the page follow each other in
// the same order, and a cell is on a page only with its row and its column.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/table.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/render/draw_state.h"
#include "kavotbl/style/style.h"
#include "layout/layout_common.h"

namespace kavo {

int g_nTitleHeight = 0;
int g_nHeadingHeight = 0;
int g_nStubWidth = 0;
int g_nDrawRight = 0;
int g_nDrawBottom = 0;

namespace {

// Direction of y in the table pass under way: 1 when y grows downward, -1
// on a twips surface; 1 outside a pass. The row border tests compare in this
// direction so that a printed row keeps the borders it has on the screen.
int s_nYSign = 1;

// Whatever a table pass selects, clips or moves, the host gets its surface
// back as it gave it: the next repaint must not inherit the exclusions.
class SurfaceStateScope {
public:
    explicit SurfaceStateScope(CDC* pDC) : m_pDC(pDC), m_nSaved(pDC->SaveDC()) {}
    ~SurfaceStateScope() { m_pDC->RestoreDC(m_nSaved); }
    SurfaceStateScope(const SurfaceStateScope&) = delete;
    SurfaceStateScope& operator=(const SurfaceStateScope&) = delete;

private:
    CDC* m_pDC;
    int m_nSaved;
};

// Drawing-pass options of the table being drawn (CPrintOptions): whether
// double and thick rules are drawn, the line height their widths follow,
// and the margin cut off both ends of the horizontal rules of the spanner
// being drawn.
bool s_bAllRuleKinds = false;
int s_nRuleLineHeight = 0;
int s_nTrim = 0;

struct RuleScope {
    RuleScope(bool bAll, bool bTrim, int nLineHeight) : m_bTrim(bTrim) {
        s_bAllRuleKinds = bAll;
        s_nRuleLineHeight = nLineHeight;
    }
    ~RuleScope() { s_bAllRuleKinds = false, s_nRuleLineHeight = 0, s_nTrim = 0; }
    RuleScope(const RuleScope&) = delete;
    RuleScope& operator=(const RuleScope&) = delete;
    // Trims the spanners' rules while one of them is drawn.
    void Drawing(const CRowColOb* pNode) const { s_nTrim = m_bTrim && pNode->GetNumChildren() > 0 ? g_nMargin : 0; }
    bool m_bTrim;
};
const RuleScope* s_pRules = nullptr;

// A rule of a kind from the current position (x0, y0) to (x1, y1). Without
// bAllRuleKinds only a single rule is drawn, in the current pen. With it a
// thick rule takes a pen a fourteenth of the line height wide, and a double
// rule is two rules of the current pen a fourteenth of the line height
// apart; the current position ends at (x1, y1) as after LineTo.
void Rule(CDC* pDC, LINES kind, int x0, int y0, int x1, int y1) {
    if (!s_bAllRuleKinds || kind == LINE_SINGLE) {
        if (kind == LINE_SINGLE) pDC->LineTo(x1, y1);
        return;
    }
    if (kind == LINE_THICK) {
        CPen pen(PS_SOLID, std::max(2, s_nRuleLineHeight / 14), pDC->GetPenColor());
        CPen* pOld = pDC->SelectObject(&pen);
        pDC->LineTo(x1, y1);
        pDC->SelectObject(pOld);
    } else if (kind == LINE_DOUBLE) {
        const int d = std::max(1, s_nRuleLineHeight / 28);
        const int dx = y0 == y1 ? 0 : d, dy = y0 == y1 ? d : 0;
        pDC->MoveTo(x0 - dx, y0 - dy);
        pDC->LineTo(x1 - dx, y1 - dy);
        pDC->MoveTo(x0 + dx, y0 + dy);
        pDC->LineTo(x1 + dx, y1 + dy);
        pDC->MoveTo(x1, y1);
    }
}

struct YSignScope {
    explicit YSignScope(int nSign) { s_nYSign = nSign; }
    ~YSignScope() { s_nYSign = 1; }
    YSignScope(const YSignScope&) = delete;
    YSignScope& operator=(const YSignScope&) = delete;
};

bool IsTwips(const CDC* pDC) { return pDC->GetMapMode() == MM_TWIPS; }

// 64-bit so that the most negative coordinate has a magnitude too.
std::int64_t Mag(int v) { return std::llabs(static_cast<std::int64_t>(v)); }

int ClampInt(std::int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int>(v);
}

// Page lists are ascending, so the scan gives up at the first later page.
bool ListsPage(const CTblOb& ob, int nPage) {
    const int n = ob.GetNumPages();
    for (int i = 0; i < n; ++i) {
        const int p = ob.GetPage(i);
        if (p == nPage) return true;
        if (p > nPage) return false;
    }
    return false;
}

// First and last page of an element; an unpaged element is on every page.
int FirstPage(const CTblOb& ob) { return ob.GetNumPages() > 0 ? ob.GetPage(0) : INT32_MIN; }
int LastPage(const CTblOb& ob) { return ob.GetNumPages() > 0 ? ob.GetPage(ob.GetNumPages() - 1) : INT32_MAX; }

// Last page of a subtree of the row tree: pagination takes rows in
// pre-order, so it is the last page of the last row.
int SubtreeLastPage(const CRowColOb* pNode) {
    while (pNode->GetNumChildren() > 0) pNode = pNode->GetChildAt(pNode->GetNumChildren() - 1);
    return LastPage(*pNode);
}

// The screen pass: page -1 on a surface whose y grows downward.
bool IsScreenPass(const CDC* pDC, int nPage) { return nPage == -1 && !IsTwips(pDC); }

// A rule lies on the pixel row or column of its coordinate, so a box that
// touches the clip box with its bottom or right edge is still visible. Rows
// scrolled above the window have negative coordinates and stay outside.
bool RowOutside(int nTop, int nBottom, const CRect& rcClip) {
    return nTop >= rcClip.bottom || nBottom < rcClip.top;
}

bool ColumnOutside(int nLeft, int nRight, const CRect& rcClip) {
    return nRight < rcClip.left || nLeft >= rcClip.right;
}

// Bottom of the last row of a subtree in pre-order: on the screen layout the
// lowest edge of the whole subtree.
int SubtreeBottom(const CRowColOb* pNode) {
    while (pNode->GetNumChildren() > 0) pNode = pNode->GetChildAt(pNode->GetNumChildren() - 1);
    return pNode->Bottom();
}

// First index in [0, n) for which pred holds, pred being false then true.
template <class Pred>
int FirstTrue(int n, Pred pred) {
    int lo = 0, hi = n;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (pred(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

// Pre-order walk of a subtree without recursion, so that a deep tree cannot
// exhaust the stack. first(node) gives the index of the first child worth
// visiting, stop(child) ends the walk over the remaining siblings, and
// visit(node) draws one node.
template <class First, class Stop, class Visit>
void WalkTree(CRowColOb* pRoot, First first, Stop stop, Visit visit) {
    struct Frame {
        CRowColOb* pNode;
        int nNext;
    };
    std::vector<Frame> stack;
    visit(pRoot);
    stack.push_back({pRoot, first(pRoot)});
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.nNext >= f.pNode->GetNumChildren()) {
            stack.pop_back();
            continue;
        }
        CRowColOb* pChild = f.pNode->GetChildAt(f.nNext);
        if (stop(pChild)) {
            stack.pop_back();
            continue;
        }
        ++f.nNext;
        visit(pChild);
        stack.push_back({pChild, first(pChild)});
    }
}

void DrawRowTreeOnScreen(CRowColOb* pRoot, CDC* pDC, const CRect& rcClip) {
    WalkTree(
        pRoot,
        [&](const CRowColOb* pNode) {
            return FirstTrue(pNode->GetNumChildren(),
                             [&](int k) { return SubtreeBottom(pNode->GetChildAt(k)) >= rcClip.top; });
        },
        [&](const CRowColOb* pChild) { return pChild->Top() >= rcClip.bottom; },
        [&](CRowColOb* pNode) {
            if (!RowOutside(pNode->Top(), pNode->Bottom(), rcClip)) pNode->CTblOb::Draw(pDC, -1);
        });
}

void DrawColumnTreeOnScreen(CRowColOb* pRoot, CDC* pDC, const CRect& rcClip) {
    WalkTree(
        pRoot,
        [&](const CRowColOb* pNode) {
            return FirstTrue(pNode->GetNumChildren(),
                             [&](int k) { return pNode->GetChildAt(k)->Right() >= rcClip.left; });
        },
        [&](const CRowColOb* pChild) { return pChild->Left() >= rcClip.right; },
        [&](CRowColOb* pNode) {
            if (ColumnOutside(pNode->Left(), pNode->Right(), rcClip)) return;
            if (s_pRules) s_pRules->Drawing(pNode);
            pNode->CTblOb::Draw(pDC, -1);
        });
}

// The walk of printed pages and of other surfaces: on a surface that is
// not twips, rows outside the clip box (their edges taken by magnitude,
// which also serves a flipped layout) are not drawn. On a page of a paged
// row tree only the subtrees that reach the page are visited: pages grow
// with the rows in pre-order, so a subtree spans from its own first page to
// the last page of its last row.
void DrawTreeByWalk(CRowColOb* pRoot, CDC* pDC, int nPage, int bRowTree, bool bTwips,
                    const CRect& rcClip) {
    const bool bPagedRows = bRowTree && nPage != -1 && pRoot->GetNumPages() > 0;
    WalkTree(
        pRoot,
        [&](const CRowColOb* pNode) {
            if (!bPagedRows) return 0;
            return FirstTrue(pNode->GetNumChildren(),
                             [&](int k) { return SubtreeLastPage(pNode->GetChildAt(k)) >= nPage; });
        },
        [&](const CRowColOb* pChild) { return bPagedRows && FirstPage(*pChild) > nPage; },
        [&](CRowColOb* pNode) {
            if (bRowTree && !bTwips &&
                (Mag(pNode->Top()) >= rcClip.bottom || Mag(pNode->Bottom()) < rcClip.top))
                return;
            if (!bRowTree && s_pRules) s_pRules->Drawing(pNode);
            pNode->CTblOb::Draw(pDC, nPage);
        });
}

// Bottom of largest magnitude among the rows on a page of a paged row tree:
// what CTblRow::GetVerticalPageSize gives, visiting only the subtrees that
// reach the page.
int PageBottom(CRowColOb* pRoot, int nPage) {
    int nBottom = 0;
    WalkTree(
        pRoot,
        [&](const CRowColOb* pNode) {
            return FirstTrue(pNode->GetNumChildren(),
                             [&](int k) { return SubtreeLastPage(pNode->GetChildAt(k)) >= nPage; });
        },
        [&](const CRowColOb* pChild) { return FirstPage(*pChild) > nPage; },
        [&](CRowColOb* pNode) {
            if (ListsPage(*pNode, nPage) && Mag(pNode->Bottom()) > Mag(nBottom)) nBottom = pNode->Bottom();
        });
    return nBottom;
}

}  // namespace

void CTblOb::Justify(UINT& nFormat, CRect& rcText) const {
    if (m_pStyle == nullptr) return;
    if (m_pStyle->m_nHorJust == 1)
        nFormat |= DT_CENTER;
    else if (m_pStyle->m_nHorJust == 2)
        nFormat |= DT_RIGHT;

    const std::int64_t top = rcText.top, bottom = rcText.bottom, height = m_nTextHeight;
    if (m_pStyle->m_nVertJust == 1)
        rcText.top = ClampInt(top + (bottom - height - top) / 2);  // truncates towards zero
    else if (m_pStyle->m_nVertJust == 2)
        rcText.top = ClampInt(bottom - height);
}

void CTblOb::DrawLines(CDC* pDC) const {
    if (pDC == nullptr || m_pStyle == nullptr) return;
    const CRect& rc = m_rcPos;
    // By default only a single rule is drawn; double and thick rules have no pen of their own.
    const int l = rc.left + s_nTrim, r = rc.right - s_nTrim;
    pDC->MoveTo(rc.left, rc.bottom);
    Rule(pDC, m_pStyle->m_lineLeft, rc.left, rc.bottom, rc.left, rc.top);
    pDC->MoveTo(l, rc.top);
    Rule(pDC, m_pStyle->m_lineTop, l, rc.top, r, rc.top);
    pDC->MoveTo(rc.right, rc.top);
    Rule(pDC, m_pStyle->m_lineRight, rc.right, rc.top, rc.right, rc.bottom);
    pDC->MoveTo(r, rc.bottom);
    Rule(pDC, m_pStyle->m_lineBottom, r, rc.bottom, l, rc.bottom);
}

void CTblOb::DrawBorders(CDC* pDC) const {
    if (pDC == nullptr || m_pStyle == nullptr) return;
    const CRect& rc = GetBorder();
    if (rc.IsRectNull()) return;
    // Borders stop at the edge of what is drawn: the drawing rectangle or the
    // end of the table on this page.
    const int bottom = Mag(g_nDrawBottom) < Mag(rc.bottom) ? g_nDrawBottom : rc.bottom;
    const int right = Mag(g_nDrawRight) < Mag(rc.right) ? g_nDrawRight : rc.right;

    if (CanDrawBorderLeft()) {
        pDC->MoveTo(rc.left, bottom);
        Rule(pDC, m_pStyle->m_borderLeft, rc.left, bottom, rc.left, rc.top);
    }
    if (CanDrawBorderTop()) {
        pDC->MoveTo(rc.left, rc.top);
        Rule(pDC, m_pStyle->m_borderTop, rc.left, rc.top, right, rc.top);
    }
    if (CanDrawBorderRight()) {
        pDC->MoveTo(right, rc.top);
        Rule(pDC, m_pStyle->m_borderRight, right, rc.top, right, bottom);
    }
    if (CanDrawBorderBottom()) {
        pDC->MoveTo(right, bottom);
        Rule(pDC, m_pStyle->m_borderBottom, right, bottom, rc.left, bottom);
    }
}

void CTblOb::Draw(CDC* pDC, int nPage) {
    if (pDC == nullptr) return;
    if (m_rcPos.IsRectNull() || m_strText.IsEmpty()) return;
    if (nPage != -1 && GetNumPages() > 0 && !ListsPage(*this, nPage)) return;

    const bool bTwips = IsTwips(pDC);
    const int nSign = bTwips ? -1 : 1;
    CRect rcText = m_rcPos;

    DrawBorders(pDC);

    // On a twips surface top lies above bottom, so the inset still moves
    // them towards each other.
    rcText.left += g_nMargin;
    rcText.right -= g_nMargin;
    rcText.top += g_nMargin * nSign;
    rcText.bottom -= g_nMargin * nSign;

    UINT nFormat = DT_WORDBREAK | DT_NOCLIP | DT_NOPREFIX;

    const int nSaved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
    CFont font;
    CFont* pOldFont = nullptr;
    const bool bFont = LoadFont(pDC, font) != 0;
    if (bFont) pOldFont = pDC->SelectObject(&font);
    DrawLines(pDC);
    const int nInnerTop = rcText.top;
    Justify(nFormat, rcText);
    // Text taller than its box starts at the box's top, not above it.
    if (static_cast<std::int64_t>(rcText.top) * nSign < static_cast<std::int64_t>(nInnerTop) * nSign) rcText.top = nInnerTop;

    if (m_bBlocked && !bTwips) {
        CBrush brush(m_crBlock);
        CPen pen(PS_SOLID, 0, m_crBlock);
        CBrush* pOldBrush = pDC->SelectObject(&brush);
        CPen* pOldPen = pDC->SelectObject(&pen);
        pDC->SetBkColor(m_crBlock);
        // From inside the left and top rules; Rectangle leaves out the right
        // and bottom edges, so all four rules stay visible.
        pDC->Rectangle(m_rcPos.left + 1, m_rcPos.top + 1, m_rcPos.right, m_rcPos.bottom);
        pDC->SelectObject(pOldBrush);
        pDC->SelectObject(pOldPen);
        brush.DeleteObject();
        pen.DeleteObject();
    }

    // Whatever does not fit is cut with an ellipsis and clipped to the box.
    pDC->DrawTextInBox(m_strText, &rcText, nFormat, m_rcPos);

    if (bFont) pDC->SelectObject(pOldFont);
    pDC->RestoreDC(nSaved);
    font.DeleteObject();
}

void CTblCell::Draw(CDC* pDC, int nPage) { CTblOb::Draw(pDC, nPage); }

void CRowColOb::Draw(CDC* pDC, int nPage, int bRowTree) {
    if (pDC == nullptr) return;
    CRect rcClip;
    pDC->GetClipBox(&rcClip);
    if (IsScreenPass(pDC, nPage)) {
        if (bRowTree)
            DrawRowTreeOnScreen(this, pDC, rcClip);
        else
            DrawColumnTreeOnScreen(this, pDC, rcClip);
        return;
    }
    DrawTreeByWalk(this, pDC, nPage, bRowTree, IsTwips(pDC), rcClip);
}

void CTblRow::DrawCells(CDC* pDC, int nPage) {
    const int n = GetNumCells();
    for (int i = 0; i < n; ++i)
        if (CTblCell* pCell = GetCell(i)) pCell->Draw(pDC, nPage);
}

int CTblColumn::CanDrawBorderLeft() const { return Left() > g_nStubWidth; }
int CTblColumn::CanDrawBorderRight() const { return Right() > g_nStubWidth; }

int CTblRow::CanDrawBorderTop() const {
    const std::int64_t band = static_cast<std::int64_t>(g_nTitleHeight) + g_nHeadingHeight;
    return static_cast<std::int64_t>(Top()) * s_nYSign > band * s_nYSign;
}

int CTblRow::CanDrawBorderBottom() const {
    const std::int64_t band = static_cast<std::int64_t>(g_nTitleHeight) + g_nHeadingHeight;
    return static_cast<std::int64_t>(Bottom()) * s_nYSign > band * s_nYSign;
}

void CTable::Draw(CDC* pDC, const CRect& rcDraw, int nPage) {
    if (pDC == nullptr) return;
    const bool bTwips = IsTwips(pDC);
    const YSignScope sign(bTwips ? -1 : 1);
    const CTypeScaleScope scale(bTwips && m_bPrinterInForce ? m_nTypeScale : 100);
    PutMetricsInForce();

    g_nTitleHeight = m_title.Height();
    g_nHeadingHeight = m_sizeCol.cy;
    g_nStubWidth = m_sizeRow.cx;
    CRect rcClip;
    pDC->GetClipBox(&rcClip);

    std::int64_t nDrawn = 0;
    if (nPage == -1)
        nDrawn = static_cast<std::int64_t>(g_nTitleHeight) + m_sizeCol.cy + m_sizeRow.cy;
    else if (m_pRowRoot->GetNumPages() > 0)
        nDrawn = PageBottom(m_pRowRoot, nPage);
    else
        nDrawn = m_pRowRoot->GetVerticalPageSize(nPage);
    // A page without rows still shows the title and the heading band.
    if (nDrawn == 0 && nPage >= 0 && nPage < m_nNumPages) nDrawn = static_cast<std::int64_t>(g_nTitleHeight) + m_sizeCol.cy;
    if (nDrawn == 0) return;
    const SurfaceStateScope state(pDC);
    const RuleScope rules(m_printOptions.bAllRuleKinds != 0, m_printOptions.bTrimSpannerRules != 0, g_nLineHeight);

    g_nDrawRight = rcDraw.right;
    g_nDrawBottom = rcDraw.bottom;
    if (nPage == -1 && m_pRowRoot->GetNumChildren() > 0) {
        // Scrolled rows take the frame's foot along (the first caption starts
        // at the heading band's bottom when not scrolled), never above the band.
        const std::int64_t nBand = static_cast<std::int64_t>(g_nTitleHeight) + m_sizeCol.cy;
        nDrawn = std::max(nBand, nDrawn + m_pRowRoot->GetChildAt(0)->Top() - nBand);
    }
    if (Mag(rcDraw.bottom) > std::llabs(nDrawn)) g_nDrawBottom = ClampInt(nDrawn);

    // Frame rules, in the surface's own pen whatever the styles say.
    const int yHeadTop = g_nTitleHeight;
    const int yHeadBottom = ClampInt(static_cast<std::int64_t>(g_nTitleHeight) + m_sizeCol.cy);
    const int xStub = m_stubHead.Width();
    pDC->MoveTo(0, yHeadTop);
    pDC->LineTo(g_nDrawRight, yHeadTop);
    pDC->MoveTo(xStub, yHeadTop);
    pDC->LineTo(xStub, g_nDrawBottom);
    pDC->MoveTo(0, yHeadBottom);
    pDC->LineTo(g_nDrawRight, yHeadBottom);

    // The table's bottom border belongs to the last row of pages only.
    m_bDrawBottomBorder = nPage == -1 ? 1 : (nPage >= m_nNumPages - m_nHorzPages ? 1 : 0);
    DrawBorders(pDC);
    m_bDrawBottomBorder = 1;

    m_stubHead.Draw(pDC, nPage);
    m_title.Draw(pDC, nPage);

    const bool bScreen = nPage == -1;
    const int nHeadingBand = ClampInt(static_cast<std::int64_t>(g_nTitleHeight) + m_sizeCol.cy + 2);
    // Scrolled column heads and captions slide under the stub head corner.
    if (bScreen) pDC->ExcludeClipRect(0, 0, m_sizeRow.cx + 1, nHeadingBand);

    s_pRules = &rules;
    m_pColumnRoot->Draw(pDC, nPage, 0);
    s_pRules = nullptr;
    s_nTrim = 0;
    m_pRowRoot->Draw(pDC, nPage, 1);
    DrawContinuedCaptions(pDC, nPage);

    if (bScreen) {
        // Scrolled cells slide under the stub column and the heading band.
        pDC->ExcludeClipRect(0, 0, m_sizeRow.cx + 1,
                             ClampInt(static_cast<std::int64_t>(nHeadingBand) + m_sizeRow.cy));
        pDC->ExcludeClipRect(0, 0, ClampInt(static_cast<std::int64_t>(m_sizeRow.cx) + m_sizeCol.cx + 1),
                             nHeadingBand);
    }

    const int nRows = m_arrDataRows.GetSize();
    const int nCols = m_arrDataColumns.GetSize();
    if (IsScreenPass(pDC, nPage)) {
        // Only the rows and cells crossing the clip box: data rows go
        // downward, data columns (and the cells under them) rightward.
        int r = FirstTrue(nRows, [&](int k) { return m_arrDataRows[k]->Bottom() >= rcClip.top; });
        const int c0 = FirstTrue(nCols, [&](int k) { return m_arrDataColumns[k]->Right() >= rcClip.left; });
        const int c1 = FirstTrue(nCols, [&](int k) { return m_arrDataColumns[k]->Left() >= rcClip.right; });
        for (; r < nRows; ++r) {
            CTblRow* pRow = m_arrDataRows[r];
            if (pRow->Top() >= rcClip.bottom) break;
            if (RowOutside(pRow->Top(), pRow->Bottom(), rcClip)) continue;
            const int nCells = pRow->GetNumCells();
            const int cEnd = c1 < nCells ? c1 : nCells;
            for (int c = c0; c < cEnd; ++c) {
                CTblCell* pCell = pRow->GetCell(c);
                if (pCell == nullptr || ColumnOutside(pCell->Left(), pCell->Right(), rcClip)) continue;
                pCell->Draw(pDC, -1);
            }
        }
        return;
    }

    // A printed page. Pagination puts a cell on a page only when its row and
    // its column are on it, and the data rows of one page follow each other:
    // only those rows and columns are visited. Unpaged elements (empty page
    // lists) are on every page.
    const bool bPaged = nPage != -1;
    std::vector<int> cols;
    cols.reserve(static_cast<std::size_t>(nCols));
    for (int c = 0; c < nCols; ++c)
        if (!bPaged || m_arrDataColumns[c]->GetNumPages() == 0 || ListsPage(*m_arrDataColumns[c], nPage))
            cols.push_back(c);
    int r0 = 0, r1 = nRows;
    if (bPaged && m_pRowRoot->GetNumPages() > 0) {
        r0 = FirstTrue(nRows, [&](int k) { return LastPage(*m_arrDataRows[k]) >= nPage; });
        r1 = FirstTrue(nRows, [&](int k) { return FirstPage(*m_arrDataRows[k]) > nPage; });
    }
    for (int r = r0; r < r1; ++r) {
        CTblRow* pRow = m_arrDataRows[r];
        if (!bTwips && (Mag(pRow->Top()) >= Mag(rcClip.bottom) || Mag(pRow->Bottom()) < Mag(rcClip.top)))
            continue;
        if (bPaged && pRow->GetNumPages() > 0 && !ListsPage(*pRow, nPage)) continue;
        const int nCells = pRow->GetNumCells();
        for (int c : cols) {
            if (c >= nCells) break;
            if (CTblCell* pCell = pRow->GetCell(c)) pCell->Draw(pDC, nPage);
        }
    }
}

}  // namespace kavo
