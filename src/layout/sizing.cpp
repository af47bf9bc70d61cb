// Element sizing: the width search that wraps an element's text inside its
// limits, the initial sizing of the two trees, the reconciliation of spanner
// widths with their columns, spanned extents and heading levels.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/style/style.h"
#include "layout/layout_common.h"

namespace kavo {

int g_nMargin = 0;
int g_nLineHeight = 0;

namespace {

// Suffix that names the Cyrillic variant of a face on a printer.
constexpr char kCyrillicSuffix[] = " Cyr";

// Appends the Cyrillic suffix to a face name of lfFaceName's fixed size; what
// does not fit is cut so that the name keeps its terminating zero.
void AppendCyrillicSuffix(char (&face)[sizeof(LOGFONT::lfFaceName)]) {
    constexpr std::size_t nCap = sizeof(face) - 1;
    std::size_t n = 0;
    while (n < nCap && face[n] != '\0') ++n;
    for (std::size_t i = 0; kCyrillicSuffix[i] != '\0' && n < nCap; ++i) face[n++] = kCyrillicSuffix[i];
    face[n] = '\0';
}

}  // namespace

int RowIndent(int nLevel) { return 5 * g_nMargin * std::max(nLevel, 0); }

void MeasureLayoutMetrics(CDC* pDC) {
    CRect rc(0, 0, 32767, 0);
    const int h = std::abs(pDC->DrawText("X", 1, &rc, kMeasureFlags));
    g_nMargin = h / 5;
    g_nLineHeight = h + 2 * g_nMargin;
}

CStyleFontScope::CStyleFontScope(const CTblOb& ob, CDC* pDC) : m_pDC(pDC) {
    if (ob.LoadFont(pDC, m_font)) {
        m_pOldFont = pDC->SelectObject(&m_font);
        m_bSelected = true;
    }
}

CStyleFontScope::~CStyleFontScope() {
    if (!m_bSelected) return;
    m_pDC->SelectObject(m_pOldFont);
    m_font.DeleteObject();
}

int g_bMeasureInStyleFonts = 0;

CMeasureFontScope::CMeasureFontScope(const CTblOb& ob, CDC* pDC) {
    if (!g_bMeasureInStyleFonts || !ob.LoadFont(pDC, m_font)) return;
    const LOGFONT* pCur = pDC->GetCurrentLogFont();
    if (pCur && std::memcmp(pCur, &m_font.GetLogFont(), sizeof(LOGFONT)) == 0) return;
    m_pDC = pDC;
    m_pOldFont = pDC->SelectObject(&m_font);
}

CMeasureFontScope::~CMeasureFontScope() {
    if (m_pDC) m_pDC->SelectObject(m_pOldFont);
}

// ---------------------------------------------------------------------------
// CTblOb

int CTblOb::LoadFont(CDC* pDC, CFont& font) const {
    if (!m_pStyle || m_pStyle->m_logFont.lfHeight == 0) return 0;
    LOGFONT lf = m_pStyle->m_logFont;
    if (pDC->GetMapMode() == MM_TWIPS) {
        lf.lfHeight = m_pStyle->m_nTwipsHeight;
        if (g_nTypeScale != 100 && lf.lfHeight != 0) {
            const long long h = static_cast<long long>(lf.lfHeight) * g_nTypeScale / 100;
            lf.lfHeight = h != 0 ? static_cast<int>(h) : (lf.lfHeight > 0 ? 1 : -1);
        }
        if (lf.lfCharSet == RUSSIAN_CHARSET) AppendCyrillicSuffix(lf.lfFaceName);
    }
    return font.CreateFontIndirect(&lf) ? 1 : 0;
}

CSize CTblOb::CalcRectSize(CDC* pDC, CSize sizeMin, CSize sizeMax) { return WrapToSize(pDC, sizeMin, sizeMax, 0); }

CSize CTblOb::WrapToSize(CDC* pDC, CSize sizeMin, CSize sizeMax, UINT nMoreFlags) {
    if (m_strText.IsEmpty()) return sizeMin;
    const CMeasureFontScope font(*this, pDC);

    UINT nFormat = kMeasureFlags | nMoreFlags;
    const int nJust = m_pStyle ? m_pStyle->m_nHorJust : 0;
    if (nJust == 1)
        nFormat |= DT_CENTER;
    else if (nJust == 2)
        nFormat |= DT_RIGHT;

    const int nSaved = pDC->SaveDC();
    const int nSign = pDC->GetMapMode() == MM_TWIPS ? -1 : 1;
    const int m2 = 2 * g_nMargin;
    const int minW = sizeMin.cx - m2;
    const int minH = sizeMin.cy - m2;
    const int maxW = sizeMax.cx - m2;
    const int maxH = sizeMax.cy - m2;

    CRect rc(0, 0, 0, 0);
    CSize size;
    bool bFits = false;
    // 64-bit trial widths: a maximum near the int limit must not wrap around.
    // Before any layout the step is 0; one trial is then all there is.
    const long long nStep = g_nLineHeight;
    for (long long w = minW; w <= maxW; w += nStep) {
        rc.right = static_cast<int>(w);
        m_nTextHeight = pDC->DrawText(m_strText, &rc, nFormat);
        if (static_cast<long long>(m_nTextHeight) * nSign <= minH) {
            size = CSize(static_cast<int>(w), minH);
            bFits = true;
            break;
        }
        if (nStep <= 0) break;
    }
    if (!bFits) size = CSize(rc.Width(), std::min(m_nTextHeight * nSign, maxH));

    size.cx = std::max(size.cx, minW) + m2;
    size.cy = std::max(size.cy, minH) + m2;
    pDC->RestoreDC(nSaved);
    return size;
}

// ---------------------------------------------------------------------------
// CTblCell

CSize CTblCell::CalcRectSize(CDC* pDC, CSize sizeMin, CSize sizeMax) {
    if (m_nFlags & kDirty) Format();
    const CMeasureFontScope font(*this, pDC);
    const CSize word = m_strText.GetLongestWordSize(pDC);
    if (word.cx > sizeMin.cx) sizeMin.cx = word.cx;
    // The width search starts a margin on each side inside the longest word,
    // which stays whole there: a value is never broken, its column is made
    // wide enough for it.
    return WrapToSize(pDC, sizeMin, sizeMax, DT_WHOLEWORDS);
}

// ---------------------------------------------------------------------------
// CTblColumn

void CTblColumn::InitSize(CDC* pDC) {
    ResetPos();
    if (!HasData()) {
        const CMeasureFontScope font(*this, pDC);
        // A spanner may grow to five times its longest word before it wraps.
        const int minW = m_strText.GetLongestWordSize(pDC).cx + 2 * g_nMargin;
        SetMinSize(CSize(minW, g_nLineHeight));
        SetMaxSize(CSize(5 * minW, 30 * g_nLineHeight));
    }
    const CSize size = CalcRectSize(pDC, GetMinSize(), GetMaxSize());
    m_rcPos.SetRect(0, 0, size.cx, size.cy);
    for (CRowColOb* p : m_listChildren) static_cast<CTblColumn*>(p)->InitSize(pDC);
}

CSize CTblColumn::CalcLayoutSize(CDC* pDC) {
    int nSum = 0;
    for (CRowColOb* p : m_listChildren) nSum += static_cast<CTblColumn*>(p)->CalcLayoutSize(pDC).cx;

    if (nSum >= Width()) {
        // The columns below are at least as wide as the caption: wrap it at their width.
        const CSize size = CalcRectSize(pDC, CSize(nSum, GetMinSize().cy), CSize(nSum, GetMaxSize().cy));
        m_rcPos.right = m_rcPos.left + size.cx;
        m_rcPos.bottom = m_rcPos.top + size.cy;
    } else if (nSum > 0) {
        // The caption is wider than its columns: widen them.
        AdjustWidth(pDC, std::max(GetMinSize().cx, nSum));
    }
    return CSize(Width(), Height());
}

void CTblColumn::AdjustWidth(CDC* pDC, int nWidth) {
    SetWidth(nWidth);
    const int nData = GetNumDataChildren();
    if (nData > 0) {
        const int nPer = nWidth / nData;
        int nTotal = 0;
        for (CRowColOb* p : m_listChildren) {
            CTblColumn* pChild = static_cast<CTblColumn*>(p);
            const int nTarget = pChild->HasData()
                                    ? std::max(nPer, pChild->Width())
                                    : std::max(nPer * pChild->GetNumDataChildren(), pChild->GetDataChildrenWidth());
            pChild->AdjustWidth(pDC, nTarget);
            nTotal += pChild->Width();
        }
        if (nTotal > nWidth)
            SetWidth(nTotal);
        else if (nTotal < nWidth)
            // The integer remainder goes to the first child's own box.
            m_listChildren.front()->m_rcPos.right += nWidth - nTotal;
    }
    const CSize size = CalcRectSize(pDC, CSize(Width(), GetMinSize().cy), CSize(Width(), GetMaxSize().cy));
    SetHeight(size.cy);
}

int CTblColumn::SpannedWidth() const {
    if (HasData()) return Width();
    int n = 0;
    for (const CRowColOb* p : m_listChildren) n += p->SpannedWidth();
    return n;
}

int CTblColumn::SpannedHeight() const {
    // Compared by magnitude, so that a flipped layout follows the same chain.
    int nBest = 0;
    bool bAny = false;
    for (const CRowColOb* p : m_listChildren) {
        const int h = p->SpannedHeight();
        if (!bAny || std::abs(static_cast<long long>(h)) > std::abs(static_cast<long long>(nBest))) {
            nBest = h;
            bAny = true;
        }
    }
    return Height() + nBest;
}

void CTblColumn::GetColumnLvlHeights(CArray<int, int>& levels, int nLevel) const {
    if (nLevel < 0 || nLevel >= levels.GetSize()) return;
    levels[nLevel] = std::max(levels[nLevel], Height());
    for (const CRowColOb* p : m_listChildren)
        static_cast<const CTblColumn*>(p)->GetColumnLvlHeights(levels, nLevel + 1);
}

void CTblColumn::AlignColumnLvlHeights(const CArray<int, int>& levels, int nLevel) {
    if (nLevel < 0 || nLevel >= levels.GetSize()) return;
    SetHeight(levels[nLevel]);
    for (CRowColOb* p : m_listChildren) static_cast<CTblColumn*>(p)->AlignColumnLvlHeights(levels, nLevel + 1);
}

void CTblColumn::FlushColumns(int nBottom) {
    if (HasData()) {
        m_rcPos.bottom = nBottom;
        return;
    }
    for (CRowColOb* p : m_listChildren) static_cast<CTblColumn*>(p)->FlushColumns(nBottom);
}

// ---------------------------------------------------------------------------
// CTblRow

void CTblRow::InitSize(CDC* pDC, int nWidth) {
    ResetPos();
    SetMinSize(CSize(0, g_nLineHeight));
    SetMaxSize(CSize(nWidth, 30 * g_nLineHeight));
    for (CRowColOb* p : m_listChildren) static_cast<CTblRow*>(p)->InitSize(pDC, nWidth);
}

void CTblRow::CalcLayoutSize(CDC* pDC, int nLevel) {
    const int w = GetMaxSize().cx - RowIndent(nLevel);
    const CSize size = CalcRectSize(pDC, CSize(w, GetMinSize().cy), CSize(w, GetMaxSize().cy));
    m_rcPos.SetRect(0, 0, size.cx, size.cy);
    for (CRowColOb* p : m_listChildren) static_cast<CTblRow*>(p)->CalcLayoutSize(pDC, nLevel + 1);
}

int CTblRow::GetWidestSingleLineRow(CDC* pDC, int nLevel) const {
    int nWidest = RowIndent(nLevel);
    if (!m_strText.IsEmpty()) {
        const CMeasureFontScope font(*this, pDC);
        CSize size;
        pDC->GetTextExtentPoint32A(m_strText.c_str(), m_strText.GetLength(), &size);
        nWidest += size.cx;
    }
    for (const CRowColOb* p : m_listChildren)
        nWidest = std::max(nWidest, static_cast<const CTblRow*>(p)->GetWidestSingleLineRow(pDC, nLevel + 1));
    return nWidest;
}

int CTblRow::SpannedWidth() const {
    int n = Width();
    for (const CRowColOb* p : m_listChildren) n = std::max(n, p->SpannedWidth());
    return n;
}

int CTblRow::SpannedHeight() const {
    int n = Height();
    for (const CRowColOb* p : m_listChildren) n += p->SpannedHeight();
    return n;
}

}  // namespace kavo
