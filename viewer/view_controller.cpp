#include "view_controller.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace kavo {
namespace viewer {

namespace {

// Access to an element's box, to narrow a column scrolled partly under the
// stub for the length of one drawing pass.
struct BoxAccess : CTblOb {
    static CRect& Box(CTblOb& ob) { return (ob.*(&BoxAccess::Pos))(); }
};

// One line of text: line breaks and tabs become blanks.
std::string OneLine(const CKAVOString& s) {
    std::string out = s.str();
    for (char& c : out)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return out;
}

void AppendHtml(std::string& out, const std::string& text) {
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
}

// Nodes from the top level (below the root) down to the node itself.
template <class Node>
void Chain(const Node* p, std::vector<const CRowColOb*>& chain) {
    chain.clear();
    for (const CRowColOb* q = p; q && q->GetParent(); q = q->GetParent()) chain.push_back(q);
    std::reverse(chain.begin(), chain.end());
}

std::string Path(const CRowColOb* p) {
    std::vector<const CRowColOb*> chain;
    Chain(p, chain);
    std::string out;
    for (const CRowColOb* q : chain) {
        if (!out.empty()) out += " / ";
        out += OneLine(q->GetText());
    }
    return out;
}

// The heading grid of the selected columns: for each heading level a text
// per column (spanner texts only over the first column under them, data
// column captions on the last level) and how many columns it spans.
struct HeadGrid {
    int nLevels = 0;
    std::vector<std::vector<const CRowColOb*>> chains;  // per selected column
    // The node shown at a level over column i, or null; nSpan its width in
    // selected columns when i is its first column, else 0.
    const CRowColOb* At(int nLevel, int i, int& nSpan) const {
        nSpan = 0;
        const auto& ch = chains[static_cast<std::size_t>(i)];
        const int nLeafLevel = static_cast<int>(ch.size()) - 1;
        const CRowColOb* p = nullptr;
        if (nLevel == nLevels - 1) {
            p = ch.back();
        } else if (nLevel < nLeafLevel) {
            p = ch[static_cast<std::size_t>(nLevel)];
        }
        if (!p) return nullptr;
        if (p->HasData()) {
            nSpan = 1;
            return p;
        }
        if (i > 0) {
            const auto& prev = chains[static_cast<std::size_t>(i - 1)];
            if (static_cast<int>(prev.size()) - 1 > nLevel && prev[static_cast<std::size_t>(nLevel)] == p) return p;
        }
        nSpan = 1;
        for (std::size_t j = static_cast<std::size_t>(i) + 1; j < chains.size(); ++j) {
            const auto& next = chains[j];
            if (static_cast<int>(next.size()) - 1 <= nLevel || next[static_cast<std::size_t>(nLevel)] != p) break;
            ++nSpan;
        }
        return p;
    }
};

HeadGrid MakeHeadGrid(const CTable& table, const BlockRange& sel) {
    HeadGrid g;
    for (int c = sel.nCol0; c <= sel.nCol1; ++c) {
        std::vector<const CRowColOb*> chain;
        Chain(table.GetColumn(c), chain);
        g.nLevels = std::max(g.nLevels, static_cast<int>(chain.size()));
        g.chains.push_back(std::move(chain));
    }
    return g;
}

// Calls caption(node) for every caption that starts at data row r within
// the block, then row(r), for each selected row in order.
template <class Caption, class Row>
void ForEachBodyLine(const CTable& table, const BlockRange& sel, Caption caption, Row row) {
    std::vector<const CRowColOb*> prev, chain;
    for (int r = sel.nRow0; r <= sel.nRow1; ++r) {
        Chain(table.GetRow(r), chain);
        for (std::size_t k = 0; k + 1 < chain.size(); ++k)
            if (k + 1 >= prev.size() || prev[k] != chain[k]) caption(chain[k], static_cast<int>(k));
        row(r);
        prev.swap(chain);
    }
}

std::string CellText(const CTable& table, int r, int c) {
    CTblCell* pCell = table.GetCell(r, c);
    if (!pCell) return std::string();
    pCell->Format();
    return OneLine(pCell->GetText());
}

}  // namespace

void GiveFont(CStyleRegistry& registry, const char* pszFamily, double dPoints) {
    LOGFONT lf;
    lf.lfHeight = -std::max(1, static_cast<int>(std::lround(dPoints * 96.0 / 72.0)));
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, pszFamily, sizeof lf.lfFaceName - 1);
    registry.UpdateFonts(&lf, std::max(1, static_cast<int>(std::lround(dPoints * 20.0))));
}

ViewController::ViewController(CTable& table) : m_table(table) {}

void ViewController::Layout(CDC* pDC, int cx, int cy) {
    m_cx = std::max(0, cx);
    m_cy = std::max(0, cy);
    m_table.LayoutTable(CRect(0, 0, m_cx, m_cy), pDC);
    m_nLine = std::max(1, g_nLineHeight);
    m_nMargin = g_nMargin;
    m_bLaidOut = true;
    // The layout puts the body back at its start; scroll it where it was.
    const int x = std::min(m_x, MaxScrollX()), y = std::min(m_y, MaxScrollY());
    m_x = m_y = 0;
    ScrollTo(x, y);
}

int ViewController::MaxScrollX() const { return m_bLaidOut ? std::max(0, m_table.Size().cx - m_cx) : 0; }
int ViewController::MaxScrollY() const { return m_bLaidOut ? std::max(0, m_table.Size().cy - m_cy) : 0; }
int ViewController::BodyWidth() const { return std::max(0, m_cx - m_table.RowSize().cx); }
int ViewController::BodyHeight() const {
    return std::max(0, m_cy - m_table.TitleSize().cy - m_table.ColSize().cy);
}
int ViewController::LineStep() const { return m_nLine; }

bool ViewController::ScrollTo(int x, int y) {
    x = std::max(0, std::min(x, MaxScrollX()));
    y = std::max(0, std::min(y, MaxScrollY()));
    if (x == m_x && y == m_y) return false;
    // Scrolling right or down moves the body left or up.
    m_table.ScrollBy(m_x - x, m_y - y);
    m_x = x;
    m_y = y;
    return true;
}

bool ViewController::ScrollKeyPressed(ScrollKey key) {
    const int nPage = std::max(LineStep(), BodyHeight() - LineStep());
    switch (key) {
    case ScrollKey::Left: return ScrollBy(-LineStep(), 0);
    case ScrollKey::Right: return ScrollBy(LineStep(), 0);
    case ScrollKey::Up: return ScrollBy(0, -LineStep());
    case ScrollKey::Down: return ScrollBy(0, LineStep());
    case ScrollKey::PageUp: return ScrollBy(0, -nPage);
    case ScrollKey::PageDown: return ScrollBy(0, nPage);
    case ScrollKey::Home: return ScrollTo(0, m_y);
    case ScrollKey::End: return ScrollTo(MaxScrollX(), m_y);
    case ScrollKey::CtrlHome: return ScrollTo(0, 0);
    case ScrollKey::CtrlEnd: return ScrollTo(MaxScrollX(), MaxScrollY());
    }
    return false;
}

void ViewController::Draw(CDC* pDC) {
    if (!m_bLaidOut) return;
    // A column scrolled partly under the stub shows its caption over the
    // part still in view: its box starts nearer the stub's edge while drawing.
    const int nStub = m_table.RowSize().cx;
    struct Narrowed {
        CTblOb* pOb;
        int nLeft;
    };
    std::vector<Narrowed> narrowed;
    if (m_x > 0) {
        std::vector<CRowColOb*> stack{m_table.GetColumnRoot()};
        while (!stack.empty()) {
            CRowColOb* p = stack.back();
            stack.pop_back();
            CRect& box = BoxAccess::Box(*p);
            if (box.left >= nStub) continue;  // it and its children are in view
            if (box.right > nStub && p->GetParent()) {
                // Only as far as the caption still fits on one line: a
                // narrower box would wrap it into the heading below.
                CFont font;
                const int bFont = p->LoadFont(pDC, font);
                CFont* pOld = bFont ? pDC->SelectObject(&font) : nullptr;
                const int nNeed = pDC->GetTextExtent(p->GetText()).cx + 2 * m_nMargin;
                if (bFont) pDC->SelectObject(pOld);
                const int nLeft = std::max(box.left, std::min(nStub, box.right - nNeed));
                if (nLeft > box.left) {
                    narrowed.push_back({p, box.left});
                    box.left = nLeft;
                }
            }
            for (int i = 0; i < p->GetNumChildren(); ++i) stack.push_back(p->GetChildAt(i));
        }
    }
    m_table.Draw(pDC, CRect(0, 0, m_cx, m_cy), kScreenPage);
    for (const Narrowed& n : narrowed) BoxAccess::Box(*n.pOb).left = n.nLeft;
}

CTblHit ViewController::Hit(int x, int y) {
    if (!m_bLaidOut) return CTblHit();
    return m_table.HitTestElement(CPoint(x, y));
}

const CRowColOb* ViewController::FirstLeaf(const CRowColOb* p) {
    while (p && !p->HasData()) p = p->GetChildAt(0);
    return p;
}

const CRowColOb* ViewController::LastLeaf(const CRowColOb* p) {
    while (p && !p->HasData()) p = p->GetChildAt(p->GetNumChildren() - 1);
    return p;
}

void ViewController::NodeRange(const CTblHit& hit, int& first, int& last) const {
    const auto* pNode = static_cast<const CRowColOb*>(hit.pOb);
    const CRowColOb* a = FirstLeaf(pNode);
    const CRowColOb* b = LastLeaf(pNode);
    if (hit.kind == HitKind::Spanner || hit.kind == HitKind::Column) {
        first = m_table.GetColumnNum(static_cast<const CTblColumn*>(a));
        last = m_table.GetColumnNum(static_cast<const CTblColumn*>(b));
    } else {
        first = m_table.GetRowNum(static_cast<const CTblRow*>(a));
        last = m_table.GetRowNum(static_cast<const CTblRow*>(b));
    }
}

bool ViewController::Click(int x, int y, bool bExtend) {
    const CTblHit hit = Hit(x, y);
    const int nRows = m_table.GetNumDataRows(), nCols = m_table.GetNumDataColumns();
    const BlockRange before = m_sel;
    const bool bAnchor = bExtend && !m_sel.IsEmpty();
    switch (hit.kind) {
    case HitKind::None:
        ClearSelection();
        break;
    case HitKind::Title:
    case HitKind::StubHead:
        SelectAll();
        break;
    case HitKind::Cell:
        if (bAnchor && m_nAnchorRow >= 0 && m_nAnchorCol >= 0) {
            SelectRange(m_nAnchorRow, m_nAnchorCol, hit.nRow, hit.nCol);
        } else {
            m_nAnchorRow = hit.nRow;
            m_nAnchorCol = hit.nCol;
            SelectRange(hit.nRow, hit.nCol, hit.nRow, hit.nCol);
        }
        break;
    case HitKind::Spanner:
    case HitKind::Column: {
        int c0 = -1, c1 = -1;
        NodeRange(hit, c0, c1);
        if (c0 < 0 || c1 < 0 || nRows == 0) {
            ClearSelection();
            break;
        }
        if (bAnchor && m_nAnchorCol >= 0) {
            c0 = std::min(c0, m_nAnchorCol);
            c1 = std::max(c1, m_nAnchorCol);
        } else {
            m_nAnchorCol = c0;
        }
        m_nAnchorRow = -1;
        SelectRange(0, c0, nRows - 1, c1);
        break;
    }
    case HitKind::Caption:
    case HitKind::Row: {
        int r0 = -1, r1 = -1;
        NodeRange(hit, r0, r1);
        if (r0 < 0 || r1 < 0 || nCols == 0) {
            ClearSelection();
            break;
        }
        if (bAnchor && m_nAnchorRow >= 0) {
            r0 = std::min(r0, m_nAnchorRow);
            r1 = std::max(r1, m_nAnchorRow);
        } else {
            m_nAnchorRow = r0;
        }
        m_nAnchorCol = -1;
        SelectRange(r0, 0, r1, nCols - 1);
        break;
    }
    }
    return before.nRow0 != m_sel.nRow0 || before.nRow1 != m_sel.nRow1 || before.nCol0 != m_sel.nCol0 ||
           before.nCol1 != m_sel.nCol1 || hit.kind == HitKind::Title || hit.kind == HitKind::StubHead;
}

bool ViewController::SelectRange(int r0, int c0, int r1, int c1) {
    m_rects.RemoveAll();
    if (!m_table.SelectBlock(r0, c0, r1, c1, m_rects)) return false;
    m_sel.nRow0 = std::min(r0, r1);
    m_sel.nRow1 = std::max(r0, r1);
    m_sel.nCol0 = std::min(c0, c1);
    m_sel.nCol1 = std::max(c0, c1);
    return true;
}

bool ViewController::Select(const BlockRange& range) {
    const int nRows = m_table.GetNumDataRows(), nCols = m_table.GetNumDataColumns();
    const int r0 = std::max(0, std::min(range.nRow0, range.nRow1));
    const int r1 = std::min(nRows - 1, std::max(range.nRow0, range.nRow1));
    const int c0 = std::max(0, std::min(range.nCol0, range.nCol1));
    const int c1 = std::min(nCols - 1, std::max(range.nCol0, range.nCol1));
    if (range.IsEmpty() || r0 > r1 || c0 > c1) return false;
    m_nAnchorRow = r0;
    m_nAnchorCol = c0;
    return SelectRange(r0, c0, r1, c1);
}

void ViewController::SelectAll() {
    m_rects.RemoveAll();
    m_table.Block(m_rects, 1);
    m_sel = BlockRange();
    if (m_table.GetNumDataRows() > 0 && m_table.GetNumDataColumns() > 0) {
        m_sel.nRow0 = m_sel.nCol0 = 0;
        m_sel.nRow1 = m_table.GetNumDataRows() - 1;
        m_sel.nCol1 = m_table.GetNumDataColumns() - 1;
    }
    m_nAnchorRow = m_nAnchorCol = 0;
}

void ViewController::ClearSelection() {
    m_rects.RemoveAll();
    m_table.ClearBlock(m_rects);
    m_sel = BlockRange();
    m_nAnchorRow = m_nAnchorCol = -1;
}

std::string ViewController::StatusText(int x, int y) {
    const CTblHit hit = Hit(x, y);
    switch (hit.kind) {
    case HitKind::None: return std::string();
    case HitKind::Title: return "Title: " + OneLine(hit.pOb->GetText());
    case HitKind::StubHead: return "Stub head: " + OneLine(hit.pOb->GetText());
    case HitKind::Spanner:
    case HitKind::Caption: {
        int first = -1, last = -1;
        NodeRange(hit, first, last);
        const bool bSpanner = hit.kind == HitKind::Spanner;
        std::string s = (bSpanner ? "Spanner: " : "Caption: ") + Path(static_cast<CRowColOb*>(hit.pOb));
        if (first >= 0) {
            s += bSpanner ? "  (data columns " : "  (data rows ";
            s += std::to_string(first + 1) + " to " + std::to_string(last + 1) + ")";
        }
        return s;
    }
    case HitKind::Column:
        return "Column " + std::to_string(hit.nCol + 1) + ": " + Path(static_cast<CRowColOb*>(hit.pOb));
    case HitKind::Row:
        return "Row " + std::to_string(hit.nRow + 1) + ": " + Path(static_cast<CRowColOb*>(hit.pOb));
    case HitKind::Cell: {
        hit.pCell->Format();
        return "Row: " + Path(m_table.GetRow(hit.nRow)) + "  |  Column: " + Path(m_table.GetColumn(hit.nCol)) +
               "  |  Value: " + std::to_string(hit.pCell->GetData()) + "  |  Shown: \"" +
               OneLine(hit.pCell->GetText()) + "\"";
    }
    }
    return std::string();
}

std::string ViewController::SelectionAsTsv() const {
    std::string out;
    if (m_sel.IsEmpty()) return out;
    const HeadGrid grid = MakeHeadGrid(m_table, m_sel);
    const int nCols = m_sel.nCol1 - m_sel.nCol0 + 1;
    for (int l = 0; l < grid.nLevels; ++l) {
        if (l == grid.nLevels - 1) out += OneLine(m_table.GetStubHead()->GetText());
        for (int i = 0; i < nCols; ++i) {
            out += '\t';
            int nSpan = 0;
            const CRowColOb* p = grid.At(l, i, nSpan);
            if (p && nSpan) out += OneLine(p->GetText());
        }
        out += '\n';
    }
    ForEachBodyLine(
        m_table, m_sel, [&](const CRowColOb* p, int) { out += OneLine(p->GetText()) + '\n'; },
        [&](int r) {
            out += OneLine(m_table.GetRow(r)->GetText());
            for (int c = m_sel.nCol0; c <= m_sel.nCol1; ++c) {
                out += '\t';
                out += CellText(m_table, r, c);
            }
            out += '\n';
        });
    return out;
}

std::string ViewController::SelectionAsHtml() const {
    std::string out;
    if (m_sel.IsEmpty()) return out;
    const HeadGrid grid = MakeHeadGrid(m_table, m_sel);
    const int nCols = m_sel.nCol1 - m_sel.nCol0 + 1;
    out += "<table>\n<thead>\n";
    for (int l = 0; l < grid.nLevels; ++l) {
        out += "<tr><th>";
        if (l == grid.nLevels - 1) AppendHtml(out, OneLine(m_table.GetStubHead()->GetText()));
        out += "</th>";
        for (int i = 0; i < nCols; ++i) {
            int nSpan = 0;
            const CRowColOb* p = grid.At(l, i, nSpan);
            if (p && !nSpan) continue;  // inside a spanner's merged cell
            if (!p) {
                out += "<th></th>";
                continue;
            }
            out += nSpan > 1 ? "<th colspan=\"" + std::to_string(nSpan) + "\">" : std::string("<th>");
            AppendHtml(out, OneLine(p->GetText()));
            out += "</th>";
        }
        out += "</tr>\n";
    }
    out += "</thead>\n<tbody>\n";
    ForEachBodyLine(
        m_table, m_sel,
        [&](const CRowColOb* p, int) {
            out += "<tr><th colspan=\"" + std::to_string(nCols + 1) + "\" style=\"text-align:left\">";
            AppendHtml(out, OneLine(p->GetText()));
            out += "</th></tr>\n";
        },
        [&](int r) {
            out += "<tr><th style=\"text-align:left\">";
            AppendHtml(out, OneLine(m_table.GetRow(r)->GetText()));
            out += "</th>";
            for (int c = m_sel.nCol0; c <= m_sel.nCol1; ++c) {
                out += "<td style=\"text-align:right\">";
                AppendHtml(out, CellText(m_table, r, c));
                out += "</td>";
            }
            out += "</tr>\n";
        });
    out += "</tbody>\n</table>\n";
    return out;
}

int ViewController::SaveSelection(const std::string& path, std::string& error) const {
    const CStyleRegistry* pRegistry = m_table.GetStyleRegistry();
    if (!pRegistry) {
        error = "the table has no styles to save";
        return 0;
    }
    // Written beside the target and renamed over it once complete.
    const std::string temp = path + ".part";
    CSpecFile file;
    if (!file.Open(temp.c_str(), CSpecFile::modeWrite)) {
        error = "cannot write " + path;
        return 0;
    }
    pRegistry->Save(file);
    const int bAny = m_table.Save(file, 1);
    const bool bWriteError = file.HasWriteError() || !file.Close();
    if (!bAny || bWriteError || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        error = !bAny ? "nothing is selected" : "cannot write " + path;
        return 0;
    }
    return 1;
}

}  // namespace viewer
}  // namespace kavo
