// Printer layout with widths from content: every data column as wide as its
// widest text, the stub as wide as its longest label while the columns fit
// beside it, column pages cut where no spanner that fits a page is split,
// the room left on a page spread over its columns, and type made smaller,
// within a limit, when that brings the table onto one column page.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/table.h"
#include "layout/layout_common.h"

namespace kavo {

int g_nTypeScale = 100;

namespace {

// The spanners above a data column, nearest first; the root is not one.
template <class F>
void ForEachSpanner(const CRowColOb* pCol, const CRowColOb* pRoot, F f) {
    for (const CRowColOb* p = pCol->GetParent(); p && p != pRoot; p = p->GetParent()) f(p);
}

}  // namespace

int CTable::ContentStubWidth(int nWidth, int nNeed, int nHeadNeed, long long nColsWidth) const {
    const int nPercent = std::clamp(m_printOptions.nStubLimitPercent, 0, 100);
    const long long nLimit = static_cast<long long>(nWidth) * nPercent / 100;
    long long nStub = nNeed;
    // The labels wrap only when the data columns would not fit beside them,
    // and then at no less than the limit or the room the columns leave.
    const long long nRoom = std::max<long long>(nLimit, nWidth - nColsWidth);
    if (nNeed + nColsWidth > nWidth) nStub = std::min<long long>(nNeed, nRoom);
    // A stub head's long word keeps to the same bound and is broken there,
    // so that the data columns keep their room beside the stub.
    nStub = std::max<long long>(nStub, std::min<long long>(nHeadNeed, nRoom));
    return static_cast<int>(std::max<long long>(nStub, 0));
}

long long CTable::ContentColumnWidths(std::vector<int>& widths) const {
    const int nCols = GetNumDataColumns();
    widths.resize(static_cast<std::size_t>(nCols));
    for (int c = 0; c < nCols; ++c) widths[static_cast<std::size_t>(c)] = m_arrDataColumns[c]->GetMinSize().cx;
    // A spanner's longest caption word spreads over its columns when they
    // are narrower together, inner spanners first (columns are in tree order,
    // so a spanner's columns are one run of them).
    struct Run {
        int nFirst = -1, nLast = -1, nDepth = 0;
    };
    std::unordered_map<const CRowColOb*, Run> runs;
    for (int c = 0; c < nCols; ++c) {
        int nDepth = 0;
        ForEachSpanner(m_arrDataColumns[c], m_pColumnRoot, [&](const CRowColOb*) { ++nDepth; });
        ForEachSpanner(m_arrDataColumns[c], m_pColumnRoot, [&](const CRowColOb* p) {
            Run& r = runs[p];
            if (r.nFirst < 0) r.nFirst = c, r.nDepth = nDepth;
            r.nLast = c;
            --nDepth;
        });
    }
    std::vector<std::pair<const CRowColOb*, Run>> order(runs.begin(), runs.end());
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return a.second.nDepth != b.second.nDepth ? a.second.nDepth > b.second.nDepth : a.second.nFirst < b.second.nFirst;
    });
    for (const auto& e : order) {
        const Run& r = e.second;
        long long nSum = 0;
        for (int c = r.nFirst; c <= r.nLast; ++c) nSum += widths[static_cast<std::size_t>(c)];
        const long long nDeficit = e.first->GetMinSize().cx - nSum;
        if (nDeficit <= 0) continue;
        const int n = r.nLast - r.nFirst + 1;
        for (int c = r.nFirst; c <= r.nLast; ++c)
            widths[static_cast<std::size_t>(c)] += static_cast<int>(nDeficit / n + (c - r.nFirst < nDeficit % n ? 1 : 0));
    }
    long long nTotal = 0;
    for (int w : widths) nTotal += w;
    return nTotal;
}

int CTable::CutContentColumnPages(CDC* pDC, int nAvailW, std::vector<int>& widths) {
    const int nCols = GetNumDataColumns();
    if (nCols == 0) return 1;
    std::unordered_map<const CRowColOb*, long long> spannerW;
    for (int c = 0; c < nCols; ++c)
        ForEachSpanner(m_arrDataColumns[c], m_pColumnRoot,
                       [&](const CRowColOb* p) { spannerW[p] += widths[static_cast<std::size_t>(c)]; });
    // A cut in front of column j splits the spanners over both j - 1 and j;
    // it is acceptable when each of them is wider than a page anyway.
    auto acceptable = [&](int j) {
        bool bOk = true;
        ForEachSpanner(m_arrDataColumns[j - 1], m_pColumnRoot, [&](const CRowColOb* a) {
            bool bOver = false;
            ForEachSpanner(m_arrDataColumns[j], m_pColumnRoot, [&](const CRowColOb* b) { bOver = bOver || a == b; });
            if (bOver && spannerW[a] <= nAvailW) bOk = false;
        });
        return bOk;
    };

    int nPage = 0;
    for (int nStart = 0; nStart < nCols; ++nPage) {
        // As many columns as fit, at least one.
        long long x = 0;
        int nEnd = nStart;
        while (nEnd < nCols && (nEnd == nStart || x + widths[static_cast<std::size_t>(nEnd)] <= nAvailW))
            x += widths[static_cast<std::size_t>(nEnd++)];
        if (nEnd < nCols && m_printOptions.bCutAtSpanners) {
            int j = nEnd;
            while (j > nStart + 1 && !acceptable(j)) --j;
            if (acceptable(j)) nEnd = j;
        }
        long long nUsed = 0;
        for (int c = nStart; c < nEnd; ++c) nUsed += widths[static_cast<std::size_t>(c)];
        const int nOn = nEnd - nStart;
        const long long nLeft = nAvailW - nUsed;
        int px = m_sizeRow.cx;
        for (int c = nStart; c < nEnd; ++c) {
            int& w = widths[static_cast<std::size_t>(c)];
            if (m_printOptions.bSpreadLeftover && nLeft > 0)
                w += static_cast<int>(nLeft / nOn + (c - nStart < nLeft % nOn ? 1 : 0));
            CTblColumn* pCol = m_arrDataColumns[c];
            pCol->SetWidth(w);
            const int h = pCol->Height();  // only the text height is refreshed
            pCol->CalcRectSize(pDC, CSize(w, h), CSize(w, h));
            pCol->Offset(px - pCol->Left(), 0);
            px += w;
            pCol->AddPage(nPage);
        }
        nStart = nEnd;
    }
    // Spanners wrap their captions over their columns (CalcLayoutSize) rather
    // than sharing out their one-line width among them.
    for (const auto& e : spannerW) {
        CTblColumn* p = const_cast<CTblColumn*>(static_cast<const CTblColumn*>(e.first));
        p->SetWidth(std::min(p->Width(), p->GetMinSize().cx));
    }
    return nPage;
}

void CTable::LayoutForPrinter(const CRect& rc, CDC* pDC) {
    m_nTypeScale = g_nTypeScale = 100;
    m_bPrinterPass = 1;
    LayoutTable(rc, pDC);
    const int nMaxShrink = std::clamp(m_printOptions.nMaxShrinkPercent, 0, 30);
    if (!m_printOptions.bWidthsFromContent || nMaxShrink == 0 || GetNumDataColumns() == 0) {
        m_bPrinterPass = 0;
        return;
    }
    const long long W = rc.Width();
    std::vector<int> widths;
    long long nCols = ContentColumnWidths(widths);
    long long nStub = m_sizeRow.cx;
    if (nStub + nCols <= W || nCols <= 0) {
        m_bPrinterPass = 0;
        return;
    }
    // Text widths follow the type size, so the first try is in proportion;
    // a stub held at its limit does not shrink, so the second assumes that.
    // Each try is a whole layout: the table is measured anew.
    const int nLeast = 100 - nMaxShrink;
    // Margins keep their size, so nothing shrinks more than the type does:
    // a table that would not fit even then (give or take the rounding of
    // smaller glyphs) is not laid out again.
    if ((nStub + nCols) * nLeast > W * 102) {
        m_bPrinterPass = 0;
        return;
    }
    const int tries[] = {static_cast<int>(100 * W / (nStub + nCols)),
                         static_cast<int>(W > nStub ? 100 * (W - nStub) / nCols : 0), nLeast};
    int nPrev = 100;
    bool bFits = false;
    for (int nTry : tries) {
        const int nScale = std::max(nLeast, std::min(nTry, nPrev - 1));
        if (nScale >= nPrev) continue;
        nPrev = nScale;
        m_nTypeScale = g_nTypeScale = nScale;
        LayoutTable(rc, pDC);
        nCols = ContentColumnWidths(widths);
        nStub = m_sizeRow.cx;
        if (nStub + nCols <= W) {
            bFits = true;
            break;
        }
        if (nScale == nLeast) break;
    }
    if (!bFits) {
        // No size within the limit brings it onto one page: cut it at full size.
        m_nTypeScale = g_nTypeScale = 100;
        LayoutTable(rc, pDC);
    }
    m_bPrinterPass = 0;
}

}  // namespace kavo
