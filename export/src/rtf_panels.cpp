// Tables written as print cuts them: one word-processor table per column
// page of the printer layout, in the widths and row heights that print
// gave them, with the title and the column heading as heading rows that
// repeat on every page, so that the word processor pages the rows down
// much as print does.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

#include "kavotbl/export/rtf_document.h"
#include "kavotbl/export/text.h"
#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/constants.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/style/style.h"
#include "rtf_words.h"

namespace kavo {

using rtf::Face;
using rtf::Justification;
using rtf::VerticalAlignment;

namespace {

// The rule kind on each edge of a cell: 0 none, else a LINES kind; where
// two rules fall on one edge the heavier kind (the larger number) wins.
struct Edges {
    int top = 0, left = 0, bottom = 0, right = 0;
};

// One cell of a panel row.
struct Cell {
    const CTblOb* pOb = nullptr;     // whose text it shows (null: none)
    const CTblOb* pStyled = nullptr;  // whose style aligns it
    int x = 0;                        // right boundary
    int nIndent = 0;
    char hmerge = 0;  // F first of cells merged across, M merged into it
    char vmerge = 0;  // F first of cells merged down, M merged into it
    Edges e;
};

struct Row {
    int nFirst = 0, nCells = 0;  // its cells in the panel's cell list
    int nHeight = 0;             // at least, twips
    bool bHeader = false;        // repeated at the top of every page
    bool bKeepNext = false;      // kept on the page of the next row
    int nRowPage = -1;           // print's row page; -1 for the heading rows
};

// A column page's rows and cells, and where each row page's rows begin.
struct Panel {
    std::vector<Row> rows;
    std::vector<Cell> cells;
    std::vector<int> pageStart;  // body rows of row page r: pageStart[r] to pageStart[r + 1] - 1
    int nBody0 = 0;              // the first body row
};

int Mag(int v) { return v < 0 ? -v : v; }
int FirstPage(const CTblOb* p) { return p && p->GetNumPages() > 0 ? p->GetPage(0) : 0; }

bool ListsPage(const CTblOb* p, int nPage) {
    for (int i = 0; i < p->GetNumPages(); ++i)
        if (p->GetPage(i) == nPage) return true;
    return false;
}

// Lines of a text, for the bands estimated without the host's measure.
int TextLines(const CKAVOString& s) {
    if (s.IsEmpty()) return 0;
    return 1 + static_cast<int>(std::count(s.str().begin(), s.str().end(), '\n'));
}

}  // namespace

int CRtfDocument::FontIndex(const std::string& face) {
    if (face.empty() || face == m_font) return 0;
    for (std::size_t i = 0; i < m_extraFonts.size(); ++i)
        if (m_extraFonts[i] == face) return static_cast<int>(i) + 1;
    if (face.find_first_of(";{}\\") != std::string::npos || m_extraFonts.size() >= 250) return 0;
    m_extraFonts.push_back(face);
    return static_cast<int>(m_extraFonts.size());
}

int CRtfDocument::AddPanels(CTable& table, int bBlockedOnly, const CRtfBands& bandsIn) {
    // The printer layout with its metrics, spanner copies included: the
    // copies re-caption each spanner over its part on every column page.
    table.RestoreClient(kPrinterSlot);
    const int H = std::max(1, table.GetNumHorzPages());
    const int nMargin = std::max(0, g_nMargin);
    const int nLine = std::max(1, g_nLineHeight);
    const bool bAll = m_page.bAllRuleKinds;
    const int nRuleW = std::max(5, m_nHalfPoints / 2);
    auto kind = [bAll](LINES k) { return bAll ? static_cast<int>(k) : k == LINE_SINGLE ? 1 : 0; };
    auto lines = [&](const CTblOb* p) {
        const CStyle* s = p ? p->GetStyle() : nullptr;
        return s ? Edges{kind(s->m_lineTop), kind(s->m_lineLeft), kind(s->m_lineBottom), kind(s->m_lineRight)}
                 : Edges();
    };
    auto borders = [&](const CTblOb* p) {
        const CStyle* s = p ? p->GetStyle() : nullptr;
        return s ? Edges{kind(s->m_borderTop), kind(s->m_borderLeft), kind(s->m_borderBottom), kind(s->m_borderRight)}
                 : Edges();
    };

    // Type of each style: face, size, weight and slant, written before each text.
    std::unordered_map<const CStyle*, std::string> runs;
    const std::string plainRun = "\\f0\\fs" + std::to_string(m_nHalfPoints);
    auto run = [&](const CTblOb* p) -> const std::string& {
        const CStyle* s = p ? p->GetStyle() : nullptr;
        if (!s || s->m_logFont.lfHeight == 0) return plainRun;
        auto it = runs.find(s);
        if (it != runs.end()) return it->second;
        std::string r = "\\f" + std::to_string(FontIndex(Face(s->m_logFont)));
        r += "\\fs" + std::to_string(s->m_nTwipsHeight > 0 ? std::clamp((s->m_nTwipsHeight + 5) / 10, 8, 288)
                                                           : m_nHalfPoints);
        if (s->m_logFont.lfWeight >= 600) r += "\\b";
        if (s->m_logFont.lfItalic) r += "\\i";
        return runs.emplace(s, std::move(r)).first->second;
    };
    auto text = [&](std::string& out, const CTblOb* p) {
        out += run(p);
        out += ' ';
        if (p) AppendRtfText(out, p->GetText().str());
    };

    // Page set-up of the table's section: the heading in the page header,
    // the footing and the page number in the footer, the rows between them
    // in the height print left them.
    const CTblOb* pHeading = table.GetHeader();
    const CTblOb* pFooting = table.GetFooter();
    const bool bFootInFooter = !m_page.bFootingOnce && !pFooting->GetText().IsEmpty();
    const bool bNumbers = m_page.pageNumbers != CRtfPage::kNoPageNumbers;
    CRtfBands bands = bandsIn;
    if (bands.nHead <= 0 && !pHeading->GetText().IsEmpty()) bands.nHead = TextLines(pHeading->GetText()) * nLine + nLine / 2;
    if (bands.nFoot <= 0 && (bFootInFooter || bNumbers || m_page.bFootingOnce))
        bands.nFoot = nLine / 2 + TextLines(pFooting->GetText()) * nLine + (bNumbers ? nLine : 0);
    // A little more room than print had, so that rounding in the word
    // processor does not push the last row of a page onto the next.
    const int nSlack = std::min(40, nLine / 4);
    std::size_t nTotalAt = std::string::npos;  // where the page count goes in the section's head
    std::string section;
    {
        std::string& s = section;
        s += "\\sbkpage\\pgwsxn" + std::to_string(m_page.nWidth) + "\\pghsxn" + std::to_string(m_page.nHeight);
        s += "\\marglsxn" + std::to_string(m_page.Left()) + "\\margrsxn" + std::to_string(m_page.Right());
        s += "\\margtsxn" + std::to_string(m_page.Top() + std::max(0, bands.nHead));
        s += "\\margbsxn" + std::to_string(std::max(0, m_page.Bottom() + std::max(0, bands.nFoot) - nSlack));
        s += "\\headery" + std::to_string(m_page.Top()) + "\\footery" + std::to_string(m_page.Bottom());
        if (m_page.nWidth > m_page.nHeight) s += "\\lndscpsxn";
        s += '\n';
        if (!pHeading->GetText().IsEmpty()) {
            s += "{\\header\\pard\\plain";
            s += Justification(pHeading);
            text(s, pHeading);
            s += "\\par}\n";
        }
        if (bFootInFooter || bNumbers) {
            s += "{\\footer";
            if (bFootInFooter) {
                s += "\\pard\\plain";
                s += Justification(pFooting);
                text(s, pFooting);
                s += "\\par";
            }
            if (bNumbers) {
                // Print counts the pages it printed; the fields count the
                // word processor's, the same when it pages as print does.
                s += "\\pard\\plain\\qc" + run(pFooting) + " Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} of ";
                if (m_page.pageNumbers == CRtfPage::kDocumentPages && m_page.nFirstPage == 1)
                    s += "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}";
                else
                    nTotalAt = s.size();  // filled in once the pages are counted
                s += "\\par";
            }
            s += "}\n";
        }
    }
    std::string& out = m_body;
    // Each table starts a section of its own on a new page; its further
    // pages start with a page break, which word processors honour where
    // some take a section break between like pages for a continuous one.
    auto startSection = [&](bool bFirstOfTable) {
        if (!bFirstOfTable) {
            out += "\\pard\\plain\\fs2\\sl-2\\slmult0\\page\\par\n";
            return;
        }
        if (!out.empty()) out += "\\pard\\plain\\fs2\\sl-2\\slmult0\\sect\n";
        out += "\\sectd";
        if (m_nSections == 0 || m_page.pageNumbers == CRtfPage::kTablePages)
            out += "\\pgnrestart\\pgnstarts" + std::to_string(std::max(0, m_page.nFirstPage));
        if (nTotalAt != std::string::npos)
            m_pageTotals.push_back(PageTotal{out.size() + nTotalAt, m_page.pageNumbers == CRtfPage::kTablePages
                                                                        ? static_cast<int>(m_tablePages.size())
                                                                        : -1});
        out += section;
        // Some word processors run a section on after the last like page;
        // a break before a first paragraph at the top of a page is no break.
        if (m_nSections > 0) out += "\\pard\\plain\\pagebb\\fs2\\sl-2\\slmult0\\par\n";
        ++m_nSections;
    };
    startSection(true);

    CRTFRowArray grid;
    table.LayoutRTF(grid, bBlockedOnly);
    const int nGridRows = grid.GetSize();
    const int C = std::min(table.GetColumnRoot()->GetDepth(0), nGridRows);
    const int R = table.GetRowRoot()->GetDepth(0);
    const int n = nGridRows > 0 ? std::max(0, grid[0].GetSize() - R) : 0;
    const CTblOb* pTitle = table.GetTitle();
    const CTblOb* pStubHead = table.GetStubHead();
    const int nStubW = Mag(table.RowSize().cx);

    // The exported data columns of each column page, in order.
    std::vector<std::vector<int>> panels(static_cast<std::size_t>(H));
    for (int j = 0; j < n && C > 0; ++j)
        panels[static_cast<std::size_t>(FirstPage(grid[C - 1][R + j]) % H)].push_back(j);
    // Column pages without a column of the block are left out.
    panels.erase(std::remove_if(panels.begin(), panels.end(), [](const std::vector<int>& p) { return p.empty(); }),
                 panels.end());
    if (panels.empty()) panels.emplace_back();

    // Heights of the heading levels from the tops of the nodes at each level.
    std::vector<int> levelTop(static_cast<std::size_t>(C) + 1, -1);
    const int nHeadTop = Mag(pTitle->Height());
    const int nHeadBottom = nHeadTop + Mag(table.ColSize().cy);
    if (C > 0) {
        levelTop[0] = nHeadTop;
        levelTop[static_cast<std::size_t>(C)] = nHeadBottom;
        for (int g = 1; g < C; ++g)
            for (int j = 0; j < n && levelTop[static_cast<std::size_t>(g)] < 0; ++j)
                if (const CTblOb* p = grid[g][R + j]) levelTop[static_cast<std::size_t>(g)] = Mag(p->Top());
        for (int g = 1; g < C; ++g)
            if (levelTop[static_cast<std::size_t>(g)] < levelTop[static_cast<std::size_t>(g) - 1])
                levelTop[static_cast<std::size_t>(g)] = levelTop[static_cast<std::size_t>(g) - 1];
    }

    const int nRowPages = std::max(1, table.GetNumPages() / H);
    std::vector<Panel> built(panels.size());
    std::vector<int> span, topRow;
    int nWidest = 0;
    for (std::size_t p = 0; p < panels.size(); ++p) {
        const std::vector<int>& cols = panels[p];
        const int k = static_cast<int>(cols.size());
        const int nc = k + 1;  // the stub and the panel's columns
        std::vector<Row>& rows = built[p].rows;
        std::vector<Cell>& cells = built[p].cells;
        // Right boundaries: the stub, then each column where print put it.
        std::vector<int> xs(static_cast<std::size_t>(nc), nStubW);
        for (int q = 0; q < k; ++q) {
            const CTblOb* pCol = grid[C - 1][R + cols[static_cast<std::size_t>(q)]];
            xs[static_cast<std::size_t>(q) + 1] = std::max(xs[static_cast<std::size_t>(q)] + 2 * nMargin + 1, pCol->Right());
        }
        const int nRight = xs.back();
        nWidest = std::max(nWidest, nRight);
        auto addRow = [&](int nHeight, bool bHeader, int nCells, const CTblOb* pPaged = nullptr) {
            Row r;
            if (pPaged) r.nRowPage = std::min(FirstPage(pPaged) / H, nRowPages - 1);
            r.nFirst = static_cast<int>(cells.size());
            r.nCells = nCells;
            r.nHeight = nHeight;
            r.bHeader = bHeader;
            rows.push_back(r);
            for (int c = 0; c < nCells; ++c) {
                Cell cell;
                cell.x = nCells == 1 ? nRight : xs[static_cast<std::size_t>(c)];
                cells.push_back(cell);
            }
            return static_cast<int>(rows.size()) - 1;
        };
        auto at = [&](int r, int c) -> Cell& {
            return cells[static_cast<std::size_t>(rows[static_cast<std::size_t>(r)].nFirst + c)];
        };

        // The title, as wide as print made it or the panel, whichever is wider.
        int nTitleRow = -1;
        if (!pTitle->GetText().IsEmpty()) {
            nTitleRow = addRow(Mag(pTitle->Height()), true, 1);
            Cell& c = at(nTitleRow, 0);
            c.pOb = c.pStyled = pTitle;
            c.x = std::max(nRight, pTitle->Width());
        }
        // The column heading: the stub head merged down the levels, each
        // spanner across its columns, each data column down from the
        // first level that no spanner above it takes.
        const int nHead0 = static_cast<int>(rows.size());
        span.assign(static_cast<std::size_t>(C) * static_cast<std::size_t>(k), 0);
        topRow.assign(static_cast<std::size_t>(k), C - 1);
        for (int g = 0; g + 1 < C; ++g)
            for (int q = 0; q < k; ++q) {
                const CTblOb* pNode = grid[g][R + cols[static_cast<std::size_t>(q)]];
                if (!pNode) continue;
                int s = 1;
                while (q + s < k && grid[g][R + cols[static_cast<std::size_t>(q + s)]] == nullptr &&
                       static_cast<const CRowColOb*>(pNode)->GetNumChildren() > 0) {
                    // The spanner's columns are the ones below it on this page.
                    const CRowColOb* pCol = static_cast<const CRowColOb*>(grid[C - 1][R + cols[static_cast<std::size_t>(q + s)]]);
                    const CRowColOb* a = pCol;
                    while (a && a != pNode) a = a->GetParent();
                    if (!a) break;
                    ++s;
                }
                for (int t = 0; t < s; ++t) span[static_cast<std::size_t>(g * k + q + t)] = t == 0 ? s : -1;
                q += s - 1;
            }
        for (int q = 0; q < k; ++q)
            for (int g = C - 2; g >= 0 && span[static_cast<std::size_t>(g * k + q)] == 0; --g) topRow[static_cast<std::size_t>(q)] = g;
        for (int g = 0; g < C; ++g) {
            const int h = levelTop[static_cast<std::size_t>(g) + 1] - levelTop[static_cast<std::size_t>(g)];
            const int r = addRow(std::max(h, 0), true, nc);
            Cell& stub = at(r, 0);
            stub.pStyled = pStubHead;
            if (C > 1) stub.vmerge = g == 0 ? 'F' : 'M';
            if (g == 0) stub.pOb = pStubHead;
            for (int q = 0; q < k; ++q) {
                Cell& c = at(r, q + 1);
                const int s = span[static_cast<std::size_t>(g * k + q)];
                const CTblOb* pNode = grid[g][R + cols[static_cast<std::size_t>(q)]];
                const CTblOb* pCol = grid[C - 1][R + cols[static_cast<std::size_t>(q)]];
                if (g >= topRow[static_cast<std::size_t>(q)]) {
                    c.pStyled = pCol;
                    if (g == topRow[static_cast<std::size_t>(q)]) c.pOb = pCol;
                    if (topRow[static_cast<std::size_t>(q)] < C - 1) c.vmerge = g == topRow[static_cast<std::size_t>(q)] ? 'F' : 'M';
                } else if (s > 0) {
                    c.pOb = c.pStyled = pNode;
                    if (s > 1) c.hmerge = 'F';
                } else if (s < 0) {
                    c.hmerge = 'M';
                }
            }
        }
        const int nBody0 = static_cast<int>(rows.size());
        // The body: each caption on a row of its own above its first row,
        // kept with what follows, then the data row with its cells.
        for (int g = C; g < nGridRows; ++g) {
            const CRTFRow& gr = grid[g];
            for (int e = 0; e + 1 < R; ++e) {
                const CTblOb* pCap = gr[e];
                if (!pCap) continue;
                const int r = addRow(Mag(pCap->Height()), false, nc, pCap);
                rows[static_cast<std::size_t>(r)].bKeepNext = true;
                Cell& c = at(r, 0);
                c.pOb = c.pStyled = pCap;
                c.nIndent = std::max(0, pCap->Left());
            }
            const CTblOb* pRow = R > 0 ? gr[R - 1] : nullptr;
            const int r = addRow(pRow ? Mag(pRow->Height()) : nLine, false, nc, pRow);
            Cell& c = at(r, 0);
            c.pOb = c.pStyled = pRow;
            c.nIndent = pRow ? std::max(0, pRow->Left()) : 0;
            for (int q = 0; q < k; ++q) {
                Cell& d = at(r, q + 1);
                d.pOb = d.pStyled = gr[R + cols[static_cast<std::size_t>(q)]];
            }
        }
        const int nRows = static_cast<int>(rows.size());
        built[p].nBody0 = nBody0;
        built[p].pageStart.assign(static_cast<std::size_t>(nRowPages) + 1, nRows);
        for (int r = nRows - 1; r >= nBody0; --r)
            for (int q = 0; q <= rows[static_cast<std::size_t>(r)].nRowPage; ++q)
                built[p].pageStart[static_cast<std::size_t>(q)] = std::min(built[p].pageStart[static_cast<std::size_t>(q)], r);
        for (int q = nRowPages - 1; q >= 0; --q)
            built[p].pageStart[static_cast<std::size_t>(q)] =
                std::min(built[p].pageStart[static_cast<std::size_t>(q)], built[p].pageStart[static_cast<std::size_t>(q) + 1]);
        if (nRows == 0) continue;
        const int nLast = nRows - 1;

        // Rules. One between two cells goes on the cell above it or on its
        // left, so that word processors do not draw it twice.
        auto sameCells = [&](int a, int b) {
            return rows[static_cast<std::size_t>(a)].nCells == rows[static_cast<std::size_t>(b)].nCells;
        };
        auto hrule = [&](int r, int c0, int c1, bool bTop, int kd) {
            if (!kd || r < 0 || r > nLast) return;
            const int nCells = rows[static_cast<std::size_t>(r)].nCells;
            const bool bUp = bTop && r > 0 && sameCells(r - 1, r);
            for (int c = std::max(c0, 0); c <= std::min(c1, nCells - 1); ++c) {
                int& edge = bUp ? at(r - 1, c).e.bottom : bTop ? at(r, c).e.top : at(r, c).e.bottom;
                edge = std::max(edge, kd);
            }
        };
        auto vrule = [&](int r0, int r1, int c, bool bLeft, int kd) {
            if (!kd) return;
            for (int r = std::max(r0, 0); r <= std::min(r1, nLast); ++r) {
                const int nCells = rows[static_cast<std::size_t>(r)].nCells;
                const int cc = std::min(c, nCells - 1);
                int& edge = bLeft && cc > 0 ? at(r, cc - 1).e.right : bLeft ? at(r, cc).e.left : at(r, cc).e.right;
                edge = std::max(edge, kd);
            }
        };
        auto box = [&](int r0, int r1, int c0, int c1, const Edges& l) {
            hrule(r0, c0, c1, true, l.top);
            hrule(r1, c0, c1, false, l.bottom);
            vrule(r0, r1, c0, true, l.left);
            vrule(r0, r1, c1, false, l.right);
        };
        const Edges tb = borders(&table);
        hrule(0, 0, nc, true, tb.top);
        vrule(0, nLast, 0, true, tb.left);
        for (int r = 0; r <= nLast; ++r) vrule(r, r, rows[static_cast<std::size_t>(r)].nCells - 1, false, tb.right);
        hrule(nLast, 0, nc, false, tb.bottom);
        if (nTitleRow >= 0) box(nTitleRow, nTitleRow, 0, 0, lines(pTitle));
        const int nHeadLast = nBody0 - 1;
        if (C > 0) {
            // The frame: above and below the column heading, right of the stub.
            hrule(nHead0, 0, nc, true, 1);
            hrule(nHeadLast, 0, nc, false, 1);
            box(nHead0, nHeadLast, 0, 0, lines(pStubHead));
        }
        vrule(nHead0, nLast, 0, false, 1);
        for (int g = 0; g < C; ++g) {
            const int r = nHead0 + g;
            for (int q = 0; q < k; ++q) {
                const Cell& c = at(r, q + 1);
                if (!c.pOb || c.vmerge == 'M' || c.pOb->GetText().IsEmpty()) continue;
                const bool bCol = c.pOb == grid[C - 1][R + cols[static_cast<std::size_t>(q)]];
                const int s = bCol ? 1 : std::max(1, span[static_cast<std::size_t>(g * k + q)]);
                box(r, bCol ? nHeadLast : r, q + 1, q + s, lines(c.pOb));
                const Edges b = borders(c.pOb);
                hrule(r, q + 1, q + s, true, b.top);
                if (q > 0) vrule(r, nLast, q + 1, true, b.left);  // not at the stub's edge
                vrule(r, nLast, q + s, false, b.right);
                hrule(nLast, q + 1, q + s, false, b.bottom);
            }
        }
        for (int r = nBody0; r <= nLast; ++r) {
            const CTblOb* pRowOb = at(r, 0).pOb;
            if (pRowOb && !pRowOb->GetText().IsEmpty()) {
                box(r, r, 0, 0, lines(pRowOb));
                const Edges b = borders(pRowOb);
                if (r > nBody0) hrule(r, 0, nc, true, b.top);
                hrule(r, 0, nc, false, b.bottom);
                vrule(r, r, 0, true, b.left);
                vrule(r, r, nc - 1, false, b.right);
            }
            for (int q = 0; q < k; ++q)
                if (const CTblOb* pCell = at(r, q + 1).pOb)
                    if (!pCell->GetText().IsEmpty()) box(r, r, q + 1, q + 1, lines(pCell));
        }

    }

    // The pages, in print's order: each column page's rows in print's row
    // pages, each a table of its own from a new page that repeats the title
    // and the column heading; or each column page one table whose rows the
    // word processor pages.
    const bool bPrintPages = m_page.bPanelPageBreaks && m_page.bRowPagesAsPrinted;
    const int nPages = static_cast<int>(built.size()) * (bPrintPages ? nRowPages : 1);
    bool bWritten = false;
    int nWrittenPages = 0;
    std::vector<Cell> repeated;
    auto rows0Cells = [](const Panel& panel) { return panel.rows[static_cast<std::size_t>(panel.nBody0)].nCells; };
    for (int nPage = 0; nPage < nPages; ++nPage) {
        const int nPanels = static_cast<int>(built.size());
        int p = nPage, rp = -1;  // rp -1: every row page
        if (bPrintPages) {
            p = m_page.bDownThenAcross ? nPage / nRowPages : nPage % nPanels;
            rp = m_page.bDownThenAcross ? nPage % nRowPages : nPage / nPanels;
        }
        const Panel& panel = built[static_cast<std::size_t>(p)];
        if (panel.rows.empty()) continue;
        if (bWritten) {
            if (m_page.bPanelPageBreaks)
                startSection(false);
            else
                out += "\\pard\\plain" + plainRun + "\\par\n";
        }
        const int nBodyFrom = rp < 0 ? panel.nBody0 : panel.pageStart[static_cast<std::size_t>(rp)];
        const int nBodyTo = rp < 0 ? static_cast<int>(panel.rows.size()) : panel.pageStart[static_cast<std::size_t>(rp) + 1];
        // Row pages without a row of the block are left out too.
        if (nBodyFrom == nBodyTo && panel.nBody0 < static_cast<int>(panel.rows.size())) continue;
        auto at = [&](int r, int c) -> const Cell& {
            return panel.cells[static_cast<std::size_t>(panel.rows[static_cast<std::size_t>(r)].nFirst + c)];
        };
        // The table. Cells keep print's margins inside them.
        out.reserve(out.size() + panel.cells.size() * 90 / static_cast<std::size_t>(std::max(1, rp < 0 ? 1 : nRowPages)) + 4096);
        // A little less on the right than print keeps: word processors set
        // the same words a hair wider, and a label that print just fitted
        // must not wrap.
        const std::string m = std::to_string(nMargin);
        // Word processors put the table's edge a cell margin left of
        // \\trleft and move the boundaries with it: both go a margin right.
        const std::string rowHead = "\\trowd\\trgaph" + m + "\\trleft" + m + "\\trpaddl" + m + "\\trpaddr" + std::to_string(nMargin / 3) + "\\trpaddt" +
                                    m + "\\trpaddb" + m + "\\trpaddfl3\\trpaddfr3\\trpaddft3\\trpaddfb3\\trkeep";
        auto rule = [&](const char* pszEdge, int kd) {
            if (!kd) return;
            out += pszEdge;
            if (kd == LINE_DOUBLE)
                out += "\\brdrdb\\brdrw" + std::to_string(nRuleW);
            else if (kd == LINE_THICK)
                out += "\\brdrth\\brdrw" + std::to_string(2 * nRuleW);
            else
                out += "\\brdrs\\brdrw" + std::to_string(nRuleW);
        };
        auto writeRow = [&](const Row& row, const Cell* pCells) {
            out += rowHead;
            if (row.bHeader) out += "\\trhdr";
            if (row.nHeight > 0) out += "\\trrh" + std::to_string(row.nHeight);
            out += '\n';
            for (int c = 0; c < row.nCells; ++c) {
                const Cell& cell = pCells[c];
                out += VerticalAlignment(cell.pStyled);
                if (cell.vmerge) out += cell.vmerge == 'F' ? "\\clvmgf" : "\\clvmrg";
                if (cell.hmerge) out += cell.hmerge == 'F' ? "\\clmgf" : "\\clmrg";
                rule("\\clbrdrt", cell.e.top);
                rule("\\clbrdrl", cell.e.left);
                rule("\\clbrdrb", cell.e.bottom);
                rule("\\clbrdrr", cell.e.right);
                out += "\\cellx" + std::to_string(cell.x + nMargin) + '\n';
            }
            for (int c = 0; c < row.nCells; ++c) {
                const Cell& cell = pCells[c];
                out += "\\pard\\plain\\intbl";
                if (row.bKeepNext) out += "\\keepn";
                out += Justification(cell.pStyled);
                if (cell.nIndent > 0) out += "\\li" + std::to_string(cell.nIndent);
                const bool bShown = cell.pOb && cell.hmerge != 'M' && cell.vmerge != 'M';
                text(out, bShown ? cell.pOb : nullptr);
                out += "\\cell\n";
            }
            out += "\\row\n";
        };
        for (int r = 0; r < panel.nBody0; ++r)
            writeRow(panel.rows[static_cast<std::size_t>(r)], &at(r, 0));
        // A page that starts inside row groups repeats their captions, as
        // print does, on rows like those of the body.
        if (rp >= 0 && nBodyFrom < nBodyTo) {
            const Cell* pLike = &at(nBodyFrom, 0);
            for (int i = 0; i < table.GetNumContinuedCaptions(); ++i) {
                const CTblRow* pCap = table.GetContinuedCaption(i);
                if (!ListsPage(pCap, rp * H)) continue;
                Row row;
                row.nCells = rows0Cells(panel);
                row.nHeight = Mag(pCap->Height());
                row.bKeepNext = true;
                repeated.assign(pLike, pLike + row.nCells);
                for (Cell& c : repeated) c.pOb = c.pStyled = nullptr, c.e = Edges(), c.nIndent = 0;
                repeated[0].pOb = repeated[0].pStyled = pCap;
                repeated[0].nIndent = std::max(0, pCap->Left());
                repeated[0].e.right = 1;  // the frame right of the stub
                writeRow(row, repeated.data());
            }
        }
        for (int r = nBodyFrom; r < nBodyTo; ++r) writeRow(panel.rows[static_cast<std::size_t>(r)], &at(r, 0));
        bWritten = true;
        ++nWrittenPages;
    }
    // With the rows left to the word processor, print's count is the best guess.
    m_tablePages.push_back(std::max(1, bPrintPages ? nWrittenPages : table.GetNumPages()));

    // The footing once under the table, or an empty paragraph: a table
    // needs one after it.
    out += "\\pard\\plain";
    if (m_page.bFootingOnce && !pFooting->GetText().IsEmpty()) {
        out += Justification(pFooting);
        out += "\\sb" + std::to_string(nLine / 2);
        text(out, pFooting);
    } else {
        out += "\\fs2\\sl-2\\slmult0";
    }
    out += "\\par\n";
    m_nLastWidth = nWidest;
    return nWidest;
}

}  // namespace kavo
