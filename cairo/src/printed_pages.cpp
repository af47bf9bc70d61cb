#include "kavotbl/cairo/printed_pages.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "kavotbl/style/style.h"

namespace kavo {
namespace {

constexpr int kTwips = 20;  // per point

UINT Justification(const CTblOb& piece) {
    const CStyle* style = piece.GetStyle();
    if (!style) return DT_LEFT;
    return style->m_nHorJust == 1 ? DT_CENTER : style->m_nHorJust == 2 ? DT_RIGHT : DT_LEFT;
}

// Selects the font of an element's style for as long as it lives.
class PieceFont {
public:
    PieceFont(CDC& dc, const CTblOb& piece) : m_dc(dc) {
        if (piece.LoadFont(&dc, m_font)) {
            m_pOld = dc.SelectObject(&m_font);
            m_bSelected = true;
        }
    }
    ~PieceFont() {
        if (m_bSelected) m_dc.SelectObject(m_pOld);
    }
    PieceFont(const PieceFont&) = delete;
    PieceFont& operator=(const PieceFont&) = delete;

private:
    CDC& m_dc;
    CFont m_font;
    CFont* m_pOld = nullptr;
    bool m_bSelected = false;
};

int TextHeight(CDC& dc, const CTblOb& piece, int nWidth) {
    if (piece.GetText().IsEmpty()) return 0;
    PieceFont font(dc, piece);
    CRect rc(0, 0, nWidth, 0);
    return std::abs(dc.DrawText(piece.GetText(), &rc,
                                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXTERNALLEADING | Justification(piece)));
}

int LineHeight(CDC& dc, const CTblOb& piece) {
    PieceFont font(dc, piece);
    return dc.GetTextExtent("", 0).cy;
}

// Draws text wrapped in rc (twips: top above bottom) in the piece's style.
void DrawPieceText(CDC& dc, const CTblOb& piece, const CKAVOString& text, CRect rc, UINT nAlign) {
    if (text.IsEmpty()) return;
    PieceFont font(dc, piece);
    const int saved = dc.SaveDC();
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(text, &rc, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP | nAlign);
    dc.RestoreDC(saved);
}

}  // namespace

CPrintedPages::CPrintedPages(CDC& dc, const std::vector<CTable*>& tables, const CPageSetup& setup,
                             const CPrintOptions& options)
    : m_setup(setup) {
    const int nWidth = static_cast<int>(std::floor(setup.PrintW() * kTwips));
    const int nHeight = static_cast<int>(std::floor(setup.PrintH() * kTwips));
    for (CTable* pTable : tables) {
        CTable& t = *pTable;
        Table tp{pTable, 0, 0, 0, 0, 0, m_nTotal};
        const int nHead = TextHeight(dc, *t.GetHeader(), nWidth);
        const int nGap = LineHeight(dc, t) / 2;
        tp.nHeadBand = nHead ? nHead + nGap : 0;
        tp.nFootText = TextHeight(dc, *t.GetFooter(), nWidth);
        const int nNumberLine = setup.numbering == CPageSetup::kNone ? 0 : LineHeight(dc, *t.GetFooter());
        // A footing printed once goes under the last row: the pages keep room
        // for it below the rows, so the last page holds it too.
        tp.nFootBand = nGap + tp.nFootText + nNumberLine;
        // Headings and footings never take more than two thirds of a page.
        tp.nBody = std::max(nHeight / 3, nHeight - tp.nHeadBand - tp.nFootBand);
        t.SetPrintOptions(options);
        t.LayoutPrinter(CRect(0, 0, nWidth, -tp.nBody), &dc);
        tp.nPages = std::max(1, t.GetNumPages());
        m_nTotal += tp.nPages;
        m_tables.push_back(tp);
    }
}

void CPrintedPages::DrawPage(CCairoDC& dc, int k) const {
    if (k < 0 || k >= m_nTotal) return;
    std::size_t i = 0;
    while (i + 1 < m_tables.size() && m_tables[i + 1].nFirstSheet <= k) ++i;
    const Table& tp = m_tables[i];
    CTable& t = *tp.pTable;
    const int nSheet = k - tp.nFirstSheet;
    // Across: the column pages of a row page, then the next row page; down:
    // the row pages of a column page first. Slots past the last page of an
    // uneven grid are skipped by counting only real pages.
    int nPage = nSheet;
    if (m_setup.bDownThenAcross) {
        const int H = std::max(1, t.GetNumHorzPages());
        const int R = (tp.nPages + H - 1) / H;
        for (int s = 0, n = 0; s < R * H; ++s) {
            const int p = (s % R) * H + s / R;
            if (p >= tp.nPages) continue;
            if (n++ == nSheet) {
                nPage = p;
                break;
            }
        }
    }
    const int nWidth = static_cast<int>(std::floor(m_setup.PrintW() * kTwips));
    const int nHeight = static_cast<int>(std::floor(m_setup.PrintH() * kTwips));
    // Logical (0, 0) is the top-left corner of the table's part of the page.
    dc.SetViewportOrg(m_setup.dLeft, m_setup.dTop + static_cast<double>(tp.nHeadBand) / kTwips);
    DrawPieceText(dc, *t.GetHeader(), t.GetHeader()->GetText(), CRect(0, tp.nHeadBand, nWidth, 0),
                  Justification(*t.GetHeader()));
    t.Draw(&dc, CRect(0, 0, nWidth, -tp.nBody), nPage);
    // The page number sits on the last line of the printable area, the
    // footing right above it, or once under the table's last row.
    const int nLine = m_setup.numbering == CPageSetup::kNone ? 0 : LineHeight(dc, *t.GetFooter());
    const int nBottom = -(nHeight - tp.nHeadBand);
    if (!m_setup.bFootingOnce) {
        DrawPieceText(dc, *t.GetFooter(), t.GetFooter()->GetText(),
                      CRect(0, nBottom + nLine + tp.nFootText, nWidth, nBottom + nLine), Justification(*t.GetFooter()));
    } else if (nSheet == tp.nPages - 1) {
        const int nTop = t.GetRowRoot()->GetVerticalPageSize(nPage) - LineHeight(dc, t) / 2;
        DrawPieceText(dc, *t.GetFooter(), t.GetFooter()->GetText(), CRect(0, nTop, nWidth, nTop - tp.nFootText),
                      Justification(*t.GetFooter()));
    }
    if (m_setup.numbering != CPageSetup::kNone) {
        const bool bDoc = m_setup.numbering == CPageSetup::kDocument;
        const int n = (bDoc ? k + 1 : nSheet + 1) + m_setup.nFirstPage - 1;
        const int N = (bDoc ? m_nTotal : tp.nPages) + m_setup.nFirstPage - 1;
        const std::string line = "Page " + std::to_string(n) + " of " + std::to_string(N);
        DrawPieceText(dc, *t.GetFooter(), line.c_str(), CRect(0, nBottom + nLine, nWidth, nBottom), DT_CENTER);
    }
    dc.Flush();
}

}  // namespace kavo
