// Printer layout: the screen layout measured on a twips surface, cut into
// column pages (data columns sharing the width beside the stub, spanners
// repeated over their part on each page) and row pages, flipped for a y axis
// that grows upward; and the two saved layouts of a table.
#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "kavotbl/host/platform.h"
#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/table.h"
#include "kavotbl/style/registry.h"
#include "layout/layout_common.h"
#include "layout/spanner_copies.h"

namespace kavo {

int g_bRepaginating = 0;

namespace {

// Each repeated pass raises the widest minimum column width, so the passes
// end by themselves; this bound only keeps an odd table from taking many.
constexpr int kMaxPrinterPasses = 16;

int FirstPage(const CTblOb* p) { return p->GetNumPages() > 0 ? p->GetPage(0) : -1; }

}  // namespace

// ---------------------------------------------------------------------------
// CTable

void CTable::LayoutPrinter(const CRect& rc, CDC* pDC) {
    BeginWaitCursor();
    const CMeasureModeScope measure(m_printOptions.bMeasureInStyleFonts);
    const CTypeScaleScope scale(100);  // LayoutForPrinter chooses the size
    // The copies of an earlier printer layout, in the tree or kept for slot
    // 0, make way for this one's.
    m_pColumnRoot->PruneSpanners();
    DiscardSpannerCopies();
    DiscardContinuedCaptions();
    bool bOnePerPage = false;  // the last resort of a table that keeps widening
    for (int nPass = 1;; ++nPass) {
        if (g_bRepaginating) {
            m_pColumnRoot->PruneSpanners();
        } else {
            LayoutForPrinter(rc, pDC);
        }

        const CStyleFontScope font(*this, pDC);
        m_pRowRoot->RemoveAllPages();
        m_pColumnRoot->RemoveAllPages();
        m_title.RemoveAllPages();
        m_header.RemoveAllPages();
        m_footer.RemoveAllPages();
        m_stubHead.RemoveAllPages();

        // How many data columns a page carries beside the stub. A page too
        // narrow for even one column still gets one; columns that need no
        // width all go on one page.
        const int nCols = GetNumDataColumns();
        const int nAvailW = rc.Width() - m_sizeRow.cx;
        int nMaxMin = 0;
        for (int c = 0; c < nCols; ++c) nMaxMin = std::max(nMaxMin, m_arrDataColumns[c]->GetMinSize().cx);
        int nPerPage = nMaxMin > 0 ? nAvailW / nMaxMin : nCols;
        if (nPerPage < 1 || bOnePerPage) nPerPage = 1;
        const bool bContent = m_printOptions.bWidthsFromContent != 0;
        std::vector<int> assigned;
        if (bContent) ContentColumnWidths(assigned);
        const int H = bContent ? CutContentColumnPages(pDC, nAvailW, assigned)
                               : nCols > 0 ? (nCols + nPerPage - 1) / nPerPage : 1;
        m_nHorzPages = H;

        // Every page starts with nPerPage columns; the excess is taken off one
        // at a time from the last page towards the first, round and round:
        // each page loses nExcess / H, and the last nExcess % H one more.
        const int nExcess = nCols > 0 ? H * nPerPage - nCols : 0;
        int nMaxW = nMaxMin;
        int iCol = 0;
        std::vector<int> pageW(static_cast<std::size_t>(H), 0);  // the width each page gave its columns
        for (int page = 0; page < H && iCol < nCols && !bContent; ++page) {
            const int nOnPage = nPerPage - nExcess / H - (page >= H - nExcess % H ? 1 : 0);
            const int w = std::max(nAvailW / std::max(nOnPage, 1), 0);
            pageW[static_cast<std::size_t>(page)] = w;
            int x = m_sizeRow.cx;
            for (int k = 0; k < nOnPage && iCol < nCols; ++k, ++iCol) {
                CTblColumn* pCol = m_arrDataColumns[iCol];
                pCol->SetWidth(w);
                // The heading's heights come from the widths on the page.
                pCol->SetHeight(pCol->CalcRectSize(pDC, CSize(w, g_nLineHeight), CSize(w, 30 * g_nLineHeight)).cy);
                pCol->Offset(x - pCol->Left(), 0);
                x += w;
                pCol->AddPage(page);
            }
            nMaxW = std::max(nMaxW, w);
        }

        m_pColumnRoot->AddPage(0);
        m_pColumnRoot->InitSpannerPageNums();
        OptimizeDataChildren();
        // No spanner, nor a copy, asks for more than the printable width: its
        // caption wraps instead, so one column on a page always fits.
        const int nSpannerMax = std::max(nAvailW, 0);
        auto capSpanners = [nSpannerMax](CTblColumn* pNode, auto& self) -> void {
            for (CRowColOb* p : pNode->m_listChildren) {
                if (p->HasData()) continue;
                if (p->GetMinSize().cx > nSpannerMax) p->SetMinSize(CSize(nSpannerMax, p->GetMinSize().cy));
                self(static_cast<CTblColumn*>(p), self);
            }
        };
        capSpanners(m_pColumnRoot, capSpanners);
        m_pColumnRoot->CalcLayoutSize(pDC);

        // A spanner wider than its columns on a page widened them. A column
        // now wider than any page gave it, or widened on a page that no
        // longer holds its columns, needs the whole pass again with fewer
        // columns per page.
        g_bRepaginating = 0;
        const int nDataCols = GetNumDataColumns();
        std::vector<long long> pageSum(static_cast<std::size_t>(H), 0);
        for (int c = 0; c < nDataCols; ++c) {
            const int page = FirstPage(m_arrDataColumns[c]);
            if (page >= 0 && page < H) pageSum[static_cast<std::size_t>(page)] += m_arrDataColumns[c]->Width();
        }
        bool bOverflow = false;
        for (int c = 0; c < nDataCols; ++c) {
            CTblColumn* pCol = m_arrDataColumns[c];
            const int page = FirstPage(pCol);
            const bool bPaged = page >= 0 && page < H;
            const int nGiven = bContent ? assigned[static_cast<std::size_t>(c)]
                                        : bPaged ? pageW[static_cast<std::size_t>(page)] : nMaxW;
            const bool bWidened = bPaged && pCol->Width() > nGiven;
            const bool bOver = bWidened && pageSum[static_cast<std::size_t>(page)] > nAvailW;
            if (!(pCol->Width() > (bContent ? nGiven : nMaxW) || bOver)) continue;
            bOverflow = bOverflow || bOver;
            if (nPass < kMaxPrinterPasses) {
                pCol->SetMinSize(CSize(pCol->Width(), 0));
                g_bRepaginating = 1;
            }
        }
        if (!g_bRepaginating && bOverflow && !bOnePerPage && nPerPage > 1) {
            // Still too wide after every pass allowed: one column a page fits.
            bOnePerPage = true;
            g_bRepaginating = 1;
        }
        if (g_bRepaginating) continue;

        // The stub head at its own height again: the band it meets is this pass's.
        CalcComponentSize(m_stubHead, CRect(0, m_title.Height(), m_stubHead.Width(), 0), pDC, 0);
        AlignHeadingBand();

        // Place the column heading of every page. Below the root every node
        // shares its column page with its children, so one walk over the
        // root's children, with a running x per page, places every column.
        const int nTitleH = m_title.Height();
        m_pColumnRoot->ResetPos();
        m_pColumnRoot->CalcPtrOffset(CPoint(m_sizeRow.cx, nTitleH), 0);
        {
            std::vector<int> xs(static_cast<std::size_t>(H), m_sizeRow.cx);
            for (CRowColOb* p : m_pColumnRoot->m_listChildren) {
                CTblColumn* pChild = static_cast<CTblColumn*>(p);
                const int page = FirstPage(pChild);
                if (page < 0 || page >= H || page == 0) continue;  // page 0 was placed above
                int& x = xs[static_cast<std::size_t>(page)];
                pChild->CalcPtrOffset(CPoint(x, nTitleH), page);
                x += pChild->Width();
            }
        }

        m_pColumnRoot->ResetPos();
        const int nColH = HeadingBandHeight();
        const int nBody = rc.bottom - rc.top + nColH + nTitleH;
        m_pColumnRoot->FlushColumns(nTitleH + nColH);

        int R = 1;
        if (m_printOptions.bKeepWithNext || m_printOptions.bContinuedCaptions) {
            R = PaginateRows(pDC, nBody, nTitleH + nColH);
        } else {
            int nRowPage = 0;
            int y = nTitleH + nColH;
            m_pRowRoot->CalcPtrOffset(nBody, nTitleH + nColH, y, nRowPage, -1);
            R = nRowPage + 1;
        }

        m_pRowRoot->IHateTwips();
        m_pColumnRoot->IHateTwips();
        m_title.IHateTwips();
        m_header.IHateTwips();
        m_footer.IHateTwips();
        m_stubHead.IHateTwips();

        m_pRowRoot->SetPageNums(H, R);
        m_pColumnRoot->SetPageNums(H, R);

        for (int r = 0; r < GetNumDataRows(); ++r) {
            const CTblRow* pRow = m_arrDataRows[r];
            const int nRowFirst = FirstPage(pRow);
            const int nCells = std::min(pRow->GetNumCells(), nDataCols);
            for (int c = 0; c < nCells; ++c) {
                CTblCell* pCell = pRow->GetCell(c);
                if (!pCell) continue;
                const CTblColumn* pCol = m_arrDataColumns[c];
                // Rewritten in place: a repeated print allocates nothing per cell.
                pCell->SetOnePage(FirstPage(pCol) + nRowFirst);
                pCell->m_rcPos = PlacedBox(pCol, pRow);
            }
        }

        m_nNumPages = H * R;
        m_pColumnRoot->ResetPos();
        m_pRowRoot->ResetPos();
        const int nFlippedTitleH = m_title.Height();
        m_sizeCol = CSize(m_pColumnRoot->SpannedWidth(), HeadingBandHeight());
        m_sizeRow = CSize(m_pRowRoot->SpannedWidth(), m_pRowRoot->SpannedHeight());
        m_pColumnRoot->SetBorders(m_sizeRow.cy + nFlippedTitleH + m_sizeCol.cy);
        m_pRowRoot->SetBorders(m_sizeCol.cx + m_sizeRow.cx);
        FinishContinuedCaptions(H, m_sizeCol.cx + m_sizeRow.cx);
        SetBorder(CRect(0, 0, m_sizeCol.cx + m_sizeRow.cx, nFlippedTitleH + m_sizeRow.cy + m_sizeCol.cy));

        BackupClient(0);
        m_bPrinterInForce = 1;
        break;
    }
    EndWaitCursor();
}

// Both layouts give a data cell the box of its data column across its data
// row: saving that box in every cell would double what a cell takes.
template <class Fn>
void CTable::ForEachDataCell(Fn fn) {
    const int nDataCols = GetNumDataColumns();
    for (int r = 0; r < GetNumDataRows(); ++r) {
        CTblRow* pRow = m_arrDataRows[r];
        for (int c = 0; c < pRow->GetNumCells(); ++c) {
            CTblCell* pCell = pRow->GetCell(c);
            if (!pCell) continue;
            if (c >= nDataCols) {
                fn(*pCell, nullptr);  // no layout places it
                continue;
            }
            const CRect rc = PlacedBox(m_arrDataColumns[c], pRow);
            fn(*pCell, &rc);
        }
    }
}

void CTable::BackupClient(int bSlot) {
    m_pColumnRoot->BackupClient(bSlot);
    m_pRowRoot->BackupClient(bSlot);
    m_title.BackupClient(bSlot);
    m_header.BackupClient(bSlot);
    m_footer.BackupClient(bSlot);
    m_stubHead.BackupClient(bSlot);
    ForEachDataCell([bSlot](CTblCell& cell, const CRect* pPlaced) { cell.SaveLayout(bSlot, pPlaced); });
    const int i = SlotIndex(bSlot);
    m_nBackupMargin[i] = m_nMargin;
    m_nBackupLineHeight[i] = m_nLineHeight;
}

void CTable::RestoreClient(int bSlot) {
    // The screen layout comes back with the metrics of the registry's
    // surface when the host made one to match its window; otherwise with
    // those it was saved with.
    const int iSlot = SlotIndex(bSlot);
    const bool bSaved = m_nBackupLineHeight[iSlot] != 0;
    if (bSlot) {
        if (m_pRegistry && m_pRegistry->GetDC() && (m_pRegistry->HasCompatibleDC() || !bSaved)) {
            CDC* pDC = m_pRegistry->GetDC();
            const CStyleFontScope font(*this, pDC);
            MeasureLayoutMetrics(pDC);
            KeepMetrics();
        } else if (bSaved) {
            m_nMargin = m_nBackupMargin[iSlot];
            m_nLineHeight = m_nBackupLineHeight[iSlot];
        }
        StashSpannerCopies();
        m_bPrinterInForce = 0;
    } else {
        if (bSaved) {
            m_nMargin = m_nBackupMargin[iSlot];
            m_nLineHeight = m_nBackupLineHeight[iSlot];
        }
        UnstashSpannerCopies();
        m_bPrinterInForce = bSaved ? 1 : 0;
    }
    PutMetricsInForce();
    m_pColumnRoot->RestoreClient(bSlot);
    m_pRowRoot->RestoreClient(bSlot);
    m_title.RestoreClient(bSlot);
    m_header.RestoreClient(bSlot);
    m_footer.RestoreClient(bSlot);
    m_stubHead.RestoreClient(bSlot);
    OptimizeDataChildren();
    ForEachDataCell([bSlot](CTblCell& cell, const CRect* pPlaced) { cell.LoadLayout(bSlot, pPlaced); });

    const int nTitleH = m_title.Height();
    m_sizeCol = CSize(m_pColumnRoot->SpannedWidth(), HeadingBandHeight());
    m_sizeRow = CSize(m_pRowRoot->SpannedWidth(), m_pRowRoot->SpannedHeight());
    m_pColumnRoot->SetBorders(m_sizeRow.cy + nTitleH + m_sizeCol.cy);
    m_pRowRoot->SetBorders(m_sizeCol.cx + m_sizeRow.cx);
    SetBorder(CRect(0, 0, m_sizeCol.cx + m_sizeRow.cx, nTitleH + m_sizeRow.cy + m_sizeCol.cy));
}

// ---------------------------------------------------------------------------
// CTblColumn

void CTblColumn::CalcPtrOffset(CPoint pt, int nPage) {
    int y = pt.y;
    if (FirstPage(this) == nPage) {
        Offset(pt.x - Left(), pt.y - Top());
        y = pt.y + Height();
    }
    int x = pt.x;
    for (CRowColOb* p : m_listChildren) {
        CTblColumn* pChild = static_cast<CTblColumn*>(p);
        pChild->CalcPtrOffset(CPoint(x, y), nPage);
        if (FirstPage(pChild) == nPage) x += pChild->Width();
    }
}

int CTblColumn::GetNumSpannedPages() const {
    if (HasData()) return 1;
    const int nFirst = FirstPage(m_listChildren.front());
    const int nLast = FirstPage(m_listChildren.back());
    if (nFirst < 0 || nLast < 0) return 1;
    return nLast - nFirst + 1;
}

void CTblColumn::InitSpannerPageNums() {
    // The children list is rebuilt rather than inserted into, so that a
    // spanner split over many pages costs no more than its children.
    std::vector<CRowColOb*> result;
    result.reserve(m_listChildren.size());
    for (CRowColOb* pNode : m_listChildren) {
        CTblColumn* pC = static_cast<CTblColumn*>(pNode);
        pC->InitSpannerPageNums();
        if (pC->GetNumPages() == 0) {
            int nCounter = 0;
            const CRowColOb* pFirstData = pC->HasData() ? pC : pC->GetDataChild(0, &nCounter);
            if (pFirstData && pFirstData->GetNumPages() > 0) pC->AddPage(pFirstData->GetPage(0));
        }
        result.push_back(pC);
        if (pC->GetNumSpannedPages() <= 1) continue;

        // pC keeps the columns of its first page; each further page gets a
        // copy of it with the same caption over that page's columns.
        std::vector<CRowColOb*>& kids = pC->m_listChildren;
        const int nFirst = FirstPage(kids.front());
        std::size_t k = 1;
        while (k < kids.size() && FirstPage(kids[k]) == nFirst) ++k;
        int nCur = nFirst + 1;

        auto makeCopy = [pC]() {
            // Copy without the children: they are handed over one by one.
            std::vector<CRowColOb*> held;
            held.swap(pC->m_listChildren);
            CTblColumn* pCopy = new CTblColumn(*pC);
            held.swap(pC->m_listChildren);
            pCopy->CTblOb::RemoveAllPages();
            pCopy->SetParent(pC->GetParent());
            return pCopy;
        };
        CTblColumn* pCopy = makeCopy();
        auto finishCopy = [&](int nPage) {
            pCopy->SetText(pC->GetText());
            pCopy->AddPage(nPage);
            pCopy->SetMultiPage();
            result.push_back(pCopy);
        };
        for (std::size_t i = k; i < kids.size();) {
            CTblColumn* pG = static_cast<CTblColumn*>(kids[i]);
            const int nPage = FirstPage(pG);
            if (nPage <= nCur) {
                // Pages ascend along the columns; one behind the cursor stays
                // with the current copy rather than stalling the walk.
                pCopy->m_listChildren.push_back(pG);
                pG->SetParent(pCopy);
                ++i;
            } else if (pCopy->m_listChildren.empty()) {
                // No column of the spanner on the pages between: no copy for them.
                nCur = nPage;
            } else {
                finishCopy(nCur);
                ++nCur;
                pCopy = makeCopy();
            }
        }
        if (pCopy->m_listChildren.empty())
            delete pCopy;
        else
            finishCopy(nCur);
        kids.resize(k);
    }
    m_listChildren.swap(result);
}

void CTblColumn::PruneSpanners() {
    CTable::SpannerCopies copies;
    copies.Take(this);
}  // the copies go with the record

// ---------------------------------------------------------------------------
// CTable::SpannerCopies

void CTable::SpannerCopies::Take(CTblColumn* pRoot) {
    TakeLevel(pRoot);
    shape.clear();
    if (!levels.empty()) Shape(pRoot, shape);
}

void CTable::SpannerCopies::TakeLevel(CTblColumn* pParent) {
    // Copies hand their columns back to the spanner they continue, all at
    // once, before that spanner is pruned itself.
    std::vector<CRowColOb*>& list = pParent->m_listChildren;
    std::size_t nKept = 0;
    Level level;
    CTblColumn* pOwner = nullptr;
    for (CRowColOb* pNode : list) {
        CTblColumn* pC = static_cast<CTblColumn*>(pNode);
        if (pC->m_bMultiPage && pOwner) {
            if (level.listBefore.empty()) level.listBefore = list;
            if (level.owners.empty() || level.owners.back().first != pOwner)
                level.owners.emplace_back(pOwner, pOwner->m_listChildren.size());
            for (CRowColOb* pG : pC->m_listChildren) {
                pOwner->m_listChildren.push_back(pG);
                static_cast<CTblColumn*>(pG)->SetParent(pOwner);
            }
            level.copies.emplace_back(pC, std::move(pC->m_listChildren));
            pC->m_listChildren.clear();
            continue;
        }
        // A continuation with nothing before it to return to stays as a spanner of its own.
        pC->m_bMultiPage = 0;
        pOwner = pC;
        list[nKept++] = pC;
    }
    list.resize(nKept);
    if (!level.copies.empty()) {
        level.pParent = pParent;
        levels.push_back(std::move(level));
    }
    for (CRowColOb* pNode : list) TakeLevel(static_cast<CTblColumn*>(pNode));
}

int CTable::SpannerCopies::PutBack(CTblColumn* pRoot, bool bCheck) {
    if (levels.empty()) return 1;
    if (bCheck) {
        std::vector<std::pair<const CRowColOb*, std::size_t>> now;
        Shape(pRoot, now);
        if (now != shape) {
            Discard();
            return 0;
        }
    }
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
        for (auto& owner : it->owners) owner.first->m_listChildren.resize(owner.second);
        for (auto& copy : it->copies) {
            copy.first->m_listChildren = std::move(copy.second);
            for (CRowColOb* pG : copy.first->m_listChildren) static_cast<CTblColumn*>(pG)->SetParent(copy.first);
        }
        it->pParent->m_listChildren = std::move(it->listBefore);
    }
    levels.clear();
    shape.clear();
    return 1;
}

void CTable::SpannerCopies::Discard() {
    // The copies' columns are back with their spanners: only the copies go.
    for (Level& level : levels)
        for (auto& copy : level.copies) delete copy.first;
    levels.clear();
    shape.clear();
}

void CTable::SpannerCopies::Shape(const CRowColOb* pRoot,
                                  std::vector<std::pair<const CRowColOb*, std::size_t>>& out) {
    std::vector<const CRowColOb*> stack{pRoot};
    while (!stack.empty()) {
        const CRowColOb* p = stack.back();
        stack.pop_back();
        out.emplace_back(p, p->m_listChildren.size());
        for (const CRowColOb* pChild : p->m_listChildren) stack.push_back(pChild);
    }
}

void CTable::StashSpannerCopies() {
    // A tree without copies leaves the copies already kept, if any, alone.
    auto* pNew = new SpannerCopies;
    pNew->Take(m_pColumnRoot);
    if (pNew->Empty()) {
        delete pNew;
        return;
    }
    DiscardSpannerCopies();
    m_pSpannerCopies = pNew;
}

void CTable::UnstashSpannerCopies() {
    if (!m_pSpannerCopies) return;
    m_pSpannerCopies->PutBack(m_pColumnRoot, true);
    DiscardSpannerCopies();
}

void CTable::DiscardSpannerCopies() {
    delete m_pSpannerCopies;
    m_pSpannerCopies = nullptr;
}

void CTblColumn::SetPageNums(int nHorzPages, int nRowPages) {
    if (GetNumPages() > 0) {
        const int p = GetPage(0);
        for (int k = 1; k < nRowPages; ++k) AddPage(p + k * nHorzPages);
    }
    for (CRowColOb* pNode : m_listChildren) static_cast<CTblColumn*>(pNode)->SetPageNums(nHorzPages, nRowPages);
}

// ---------------------------------------------------------------------------
// CTblRow

void CTblRow::CalcPtrOffset(int nBody, int nTop, int& y, int& nPage, int nLevel) {
    Offset(-Left(), -Top());
    // The room is |nBody| below nTop; a row that would cross it starts a
    // page, unless the page has no row yet: then it stays, cut at the foot.
    const long long nFoot = std::llabs(static_cast<long long>(nBody)) + nTop;
    if (y > nTop && static_cast<long long>(y) + Height() > nFoot) {
        y = nTop;
        ++nPage;
    }
    if (y == nTop && y + Height() > nFoot) SetHeight(static_cast<int>(nFoot - y));
    Offset(5 * g_nMargin * nLevel, y);
    y += Height();
    AddPage(nPage);
    for (CRowColOb* pNode : m_listChildren)
        static_cast<CTblRow*>(pNode)->CalcPtrOffset(nBody, nTop, y, nPage, nLevel + 1);
}

void CTblRow::SetPageNums(int nHorzPages, int nRowPages) {
    (void)nRowPages;
    if (GetNumPages() > 0) {
        const int r = GetPage(0);
        SetOnePage(r * nHorzPages);
        for (int k = 1; k < nHorzPages; ++k) AddPage(r * nHorzPages + k);
    }
    for (CRowColOb* pNode : m_listChildren) static_cast<CTblRow*>(pNode)->SetPageNums(nHorzPages, nRowPages);
}

int CTblRow::GetVerticalPageSize(int nPage) const {
    int nBottom = 0;
    for (int i = 0; i < GetNumPages(); ++i) {
        if (GetPage(i) != nPage) continue;
        nBottom = Bottom();
        break;
    }
    for (const CRowColOb* pNode : m_listChildren) {
        const int n = static_cast<const CTblRow*>(pNode)->GetVerticalPageSize(nPage);
        if (std::llabs(n) > std::llabs(nBottom)) nBottom = n;
    }
    return nBottom;
}

}  // namespace kavo
