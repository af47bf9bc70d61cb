// Screen layout: one continuous table for a given width, with the stub and a
// common data-column width, every element and cell given its box with the
// table's top-left corner at the origin.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "kavotbl/host/platform.h"
#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/table.h"
#include "layout/layout_common.h"

namespace kavo {

// ---------------------------------------------------------------------------
// CTable

void CTable::LayoutTable(const CRect& rc, CDC* pDC) {
    BeginWaitCursor();
    // A printer layout's spanner copies have no place on the screen; slot 0
    // brings them back with the rest of that layout.
    StashSpannerCopies();
    m_bPrinterInForce = 0;  // the repeated captions belong to the printed pages
    // Trees edited since the table was linked (a node assigned or removed)
    // are linked again first, so that no list points past them.
    if (!IsLinked()) Relink();
    {
        const CMeasureModeScope measure(m_printOptions.bMeasureInStyleFonts);
        const CStyleFontScope font(*this, pDC);
        MeasureLayoutMetrics(pDC);
        KeepMetrics();
        const int L = g_nLineHeight;
        const int m = g_nMargin;
        const int nCols = GetNumDataColumns();
        const int nRows = GetNumDataRows();

        // Minimum column widths: the caption's longest word, or the widest cell
        // (whose size already holds its margins; two more go on top).
        std::vector<int> minWidths(static_cast<std::size_t>(nCols));
        for (int c = 0; c < nCols; ++c) {
            CTblColumn* pCol = m_arrDataColumns[c];
            const CMeasureFontScope colFont(*pCol, pDC);
            const CSize word = pCol->GetText().GetLongestWordSize(pDC);
            pCol->SetMinSize(CSize(word.cx + 2 * m, word.cy + 2 * m));
            minWidths[static_cast<std::size_t>(c)] = word.cx + 2 * m;
        }
        // Row by row: each row's cells lie together in the cell block.
        for (int r = 0; r < nRows; ++r) {
            CTblRow* pRow = m_arrDataRows[r];
            const int nCells = std::min(pRow->GetNumCells(), nCols);
            for (int c = 0; c < nCells; ++c) {
                CTblCell* pCell = pRow->GetCell(c);
                if (!pCell) continue;
                const CSize size = pCell->CalcRectSize(pDC, CSize(L, L), CSize(30 * L, 5 * L));
                int& nMin = minWidths[static_cast<std::size_t>(c)];
                nMin = std::max(nMin, size.cx + 2 * m);
            }
        }
        int nMaxMin = 0;
        for (int c = 0; c < nCols; ++c) {
            CTblColumn* pCol = m_arrDataColumns[c];
            const int nMin = minWidths[static_cast<std::size_t>(c)];
            pCol->SetMinSize(CSize(nMin, pCol->GetMinSize().cy));
            nMaxMin = std::max(nMaxMin, nMin);
        }

        // Stub width and data area: the data columns get three quarters of the
        // width unless the stub head needs more, or the stub has room to spare
        // while the columns do not fit.
        const int W = rc.right - rc.left;
        const int nDataBudget = static_cast<int>(W * 0.75);
        const int nStubBudget = W - nDataBudget;
        int nNeed = m_pRowRoot->GetWidestSingleLineRow(pDC, -1) + 2 * m;
        if (m_bPrinterPass && m_printOptions.bWidthsFromContent && m_printOptions.bContinuedCaptions &&
            !m_printOptions.strContinued.IsEmpty()) {
            // A caption repeated on a continuation page is a label too: with
            // its suffix on one line where room allows, not broken in a word.
            const CKAVOString& suffix = m_printOptions.strContinued;
            auto widest = [&](const CRowColOb* pNode, int nLevel, auto& self) -> int {
                int n = 0;
                for (const CRowColOb* p : pNode->m_listChildren) {
                    if (p->HasData()) continue;
                    const CMeasureFontScope captionFont(*p, pDC);
                    const CKAVOString text = p->GetText() + suffix;
                    n = std::max(n, RowIndent(nLevel) + pDC->GetTextExtent(text.c_str(), text.GetLength()).cx);
                    n = std::max(n, self(p, nLevel + 1, self));
                }
                return n;
            };
            nNeed = std::max(nNeed, widest(m_pRowRoot, 0, widest) + 2 * m);
        }
        int nHeadNeed;
        {
            const CMeasureFontScope headFont(m_stubHead, pDC);
            nHeadNeed = m_stubHead.GetText().GetLongestWordSize(pDC).cx + 2 * m;
        }
        int nStub = nStubBudget;
        long long nDataArea = nDataBudget;
        if (nHeadNeed > nNeed) {
            nNeed = nHeadNeed;
            nStub = std::max(nStubBudget, nHeadNeed);
            nDataArea = static_cast<long long>(W) - nStub;
        }
        const long long nColsWidth = static_cast<long long>(nCols) * nMaxMin;
        if (nNeed < nStub && nColsWidth > nDataArea) {
            nStub = static_cast<int>(std::max<long long>(nNeed, W - nColsWidth));
            nDataArea = static_cast<long long>(W) - nStub;
        }
        if (m_bPrinterPass) {
            // On paper the stub takes at most half the width, less when a
            // data column needs more, never less than its budget: every
            // column page keeps a data column of real width, the stub's
            // labels wrap.
            const int nCap = std::max(nStubBudget, std::min(W / 2, W - nMaxMin));
            if (nStub > nCap) {
                nStub = nCap;
                nDataArea = static_cast<long long>(W) - nStub;
            }
        }
        // Without data columns there is nothing to share the data area.
        int nColW = 0;
        if (nCols > 0) nColW = nColsWidth > nDataArea ? nMaxMin : static_cast<int>(nDataArea / nCols);

        for (int c = 0; c < nCols; ++c) {
            CTblColumn* pCol = m_arrDataColumns[c];
            pCol->SetMinSize(CSize(nColW, L));
            pCol->SetMaxSize(CSize(nColW, 30 * L));
        }
        if (m_bPrinterPass && m_printOptions.bWidthsFromContent) {
            // Printed with widths from content: each column as wide as its
            // widest text, the stub as wide as its labels while room allows.
            long long nSum = 0;
            for (int w : minWidths) nSum += w;
            nStub = ContentStubWidth(W, nNeed, nHeadNeed, nSum);
            for (int c = 0; c < nCols; ++c) {
                CTblColumn* pCol = m_arrDataColumns[c];
                pCol->SetMinSize(CSize(minWidths[static_cast<std::size_t>(c)], L));
                pCol->SetMaxSize(CSize(minWidths[static_cast<std::size_t>(c)], 30 * L));
            }
        }

        m_pColumnRoot->InitSize(pDC);
        m_pColumnRoot->SetStyle(nullptr);
        m_pColumnRoot->CalcLayoutSize(pDC);
        m_pColumnRoot->ResetPos();

        m_pRowRoot->InitSize(pDC, nStub);
        m_pRowRoot->CalcLayoutSize(pDC, -1);
        const int nStubSpan = m_pRowRoot->SpannedWidth();

        CalcComponentSize(m_title, rc, pDC, 0);
        CalcComponentSize(m_header, rc, pDC, 0);
        CalcComponentSize(m_footer, rc, pDC, 0);
        const int nTitleH = m_title.Height();
        CalcComponentSize(m_stubHead, CRect(0, nTitleH, nStubSpan, 0), pDC, 0);

        AlignHeadingBand();
        CalcOffsets();

        m_sizeCol = CSize(m_pColumnRoot->SpannedWidth(), HeadingBandHeight());
        m_sizeRow = CSize(m_pRowRoot->SpannedWidth(), m_pRowRoot->SpannedHeight());
        m_pColumnRoot->SetBorders(m_sizeRow.cy + nTitleH + m_sizeCol.cy);
        m_pRowRoot->SetBorders(m_sizeCol.cx + m_sizeRow.cx);
        SetBorder(CRect(0, 0, m_sizeCol.cx + m_sizeRow.cx, nTitleH + m_sizeRow.cy + m_sizeCol.cy));
    }
    EndWaitCursor();
}

void CTable::CalcComponentSize(CTblOb& ob, const CRect& rc, CDC* pDC, int bLoadFont) {
    if (bLoadFont) {
        const CStyleFontScope font(ob, pDC);
        CalcComponentSize(ob, rc, pDC, 0);
        return;
    }
    const int w = rc.Width();
    const CSize size = ob.CalcRectSize(pDC, CSize(w, g_nLineHeight), CSize(w, 30 * g_nLineHeight));
    ob.m_rcPos.SetRect(rc.left, rc.top, rc.left + size.cx, rc.top + size.cy);
}

void CTable::CalcTitleSize(const CRect& rc, CDC* pDC, int bLoadFont) {
    PutMetricsInForce();
    CalcComponentSize(m_title, rc, pDC, bLoadFont);
}
void CTable::CalcHeaderSize(const CRect& rc, CDC* pDC) {
    PutMetricsInForce();
    CalcComponentSize(m_header, rc, pDC, 0);
}
void CTable::CalcFooterSize(const CRect& rc, CDC* pDC) {
    PutMetricsInForce();
    CalcComponentSize(m_footer, rc, pDC, 0);
}
void CTable::CalcStubHeadSize(const CRect& rc, CDC* pDC) {
    PutMetricsInForce();
    CalcComponentSize(m_stubHead, rc, pDC, 0);
}

void CTable::AlignHeadingBand() {
    // Every column of a level as tall as the tallest of that level, and the
    // band as tall as the stub head when that is taller: the last level
    // takes the difference, so that the data columns below the spanners,
    // not the spanners, stretch, and the stub head as tall as the band.
    CArray<int, int> levels;
    levels.SetSize(m_pColumnRoot->GetDepth(0) + 1);
    m_pColumnRoot->GetColumnLvlHeights(levels, 0);
    const int nLevels = levels.GetSize();
    int nBand = 0;
    for (int i = 1; i < nLevels; ++i) nBand += levels[i];
    const bool bHead = !m_stubHead.GetText().IsEmpty();
    if (bHead && m_stubHead.Height() > nBand) {
        if (nLevels > 1) levels[nLevels - 1] += m_stubHead.Height() - nBand;
        nBand = m_stubHead.Height();
    }
    m_pColumnRoot->AlignColumnLvlHeights(levels, 0);
    if (nLevels > 1 || bHead) m_stubHead.SetHeight(nBand);
}

int CTable::HeadingBandHeight() const {
    // A stub head with text over a table without columns still needs its room.
    const int nCol = m_pColumnRoot->SpannedHeight();
    if (m_stubHead.GetText().IsEmpty() || std::llabs(m_stubHead.Height()) <= std::llabs(nCol)) return nCol;
    return m_stubHead.Height();
}

void CTable::KeepMetrics() {
    m_nMargin = g_nMargin;
    m_nLineHeight = g_nLineHeight;
}

void CTable::PutMetricsInForce() const {
    if (m_nLineHeight == 0 && m_nMargin == 0) return;
    g_nMargin = m_nMargin;
    g_nLineHeight = m_nLineHeight;
}

void CTable::CalcOffsets() {
    const int nStubSpan = m_pRowRoot->SpannedWidth();
    const int nTitleH = m_title.Height();

    m_pColumnRoot->ResetPos();
    const int nColH = HeadingBandHeight();
    m_pColumnRoot->CalcScrOffset(CPoint(nStubSpan, nTitleH));
    m_pColumnRoot->FlushColumns(nTitleH + nColH);

    m_pRowRoot->ResetPos();
    int y = nTitleH + nColH;
    m_pRowRoot->CalcScrOffset(y, -1);
    m_pRowRoot->ResetPos();

    const int nCols = GetNumDataColumns();
    for (int r = 0; r < GetNumDataRows(); ++r) {
        const CTblRow* pRow = m_arrDataRows[r];
        const int nCells = std::min(pRow->GetNumCells(), nCols);
        for (int c = 0; c < nCells; ++c) {
            CTblCell* pCell = pRow->GetCell(c);
            if (!pCell) continue;
            pCell->m_rcPos = PlacedBox(m_arrDataColumns[c], pRow);
        }
    }
}

void CTable::AdjustForTitleSizeChange(int dy) {
    m_pRowRoot->AdjustForTitleSizeChange(dy);
    m_pColumnRoot->AdjustForTitleSizeChange(dy);
    for (int r = 0; r < GetNumDataRows(); ++r) {
        CTblRow* pRow = m_arrDataRows[r];
        for (int c = 0; c < pRow->GetNumCells(); ++c)
            if (CTblCell* pCell = pRow->GetCell(c)) pCell->Offset(0, dy);
    }
}

// ---------------------------------------------------------------------------
// CRowColOb

void CRowColOb::AdjustForTitleSizeChange(int dy) {
    Offset(0, dy);
    if (m_pExtra && !m_pExtra->rcBorder.IsRectNull()) m_pExtra->rcBorder.OffsetRect(0, dy);
    for (CRowColOb* p : m_listChildren) p->AdjustForTitleSizeChange(dy);
}

// ---------------------------------------------------------------------------
// CTblColumn

void CTblColumn::CalcScrOffset(CPoint pt) {
    Offset(pt);
    int x = pt.x;
    const int y = pt.y + Height();
    for (CRowColOb* p : m_listChildren) {
        CTblColumn* pChild = static_cast<CTblColumn*>(p);
        pChild->CalcScrOffset(CPoint(x, y));
        x += pChild->Width();
    }
}

void CTblColumn::SetBorders(int nBottom) {
    CRect rc = m_rcPos;
    rc.bottom = nBottom;
    SetBorder(rc);
    for (CRowColOb* p : m_listChildren) p->SetBorders(nBottom);
}

// ---------------------------------------------------------------------------
// CTblRow

void CTblRow::CalcScrOffset(int& y, int nLevel) {
    Offset(5 * g_nMargin * nLevel, y);
    y += Height();
    for (CRowColOb* p : m_listChildren) static_cast<CTblRow*>(p)->CalcScrOffset(y, nLevel + 1);
}

void CTblRow::SetBorders(int nRight) {
    CRect rc = m_rcPos;
    rc.right = nRight;
    SetBorder(rc);
    for (CRowColOb* p : m_listChildren) p->SetBorders(nRight);
}

}  // namespace kavo
