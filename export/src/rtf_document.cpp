#include "kavotbl/export/rtf_document.h"

#include "kavotbl/export/text.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/style/style.h"
#include "rtf_words.h"
#include "writers.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <unordered_set>
#include <vector>

namespace kavo {

using rtf::Justification;
using rtf::VerticalAlignment;

namespace {

// ------------------------------------------------------------------ styles

// The rule kind on each edge: 0 none, else a kavo::LINES kind. Where two
// rules meet on one edge the heavier kind (the larger number) wins.
struct Edges {
    int top = 0, left = 0, bottom = 0, right = 0;
};
int Or(int a, int b) { return std::max(a, b); }

// Whether double and thick rules are written as such (RtfPage::bAllRuleKinds)
// and the width of a single rule in twips; set by AddTable.
bool s_bAllRuleKinds = false;
int s_nRuleWidth = 10;

// Without bAllRuleKinds only single rules are written; double and thick
// ones are kept in the file but never shown.
int Kind(kavo::LINES k) { return s_bAllRuleKinds ? static_cast<int>(k) : k == kavo::LINE_SINGLE ? 1 : 0; }

Edges SingleLines(const CTblOb& ob) {
    Edges e;
    if (const CStyle* s = ob.GetStyle())
        e = Edges{Kind(s->m_lineTop), Kind(s->m_lineLeft), Kind(s->m_lineBottom), Kind(s->m_lineRight)};
    return e;
}

Edges SingleBorders(const CTblOb& ob) {
    Edges e;
    if (const CStyle* s = ob.GetStyle())
        e = Edges{Kind(s->m_borderTop), Kind(s->m_borderLeft), Kind(s->m_borderBottom), Kind(s->m_borderRight)};
    return e;
}

// The border words of a rule kind: single, double, or thick (three times as wide).
std::string RuleWords(int nKind) {
    if (nKind == kavo::LINE_DOUBLE) return "\\brdrdb\\brdrw" + std::to_string(s_nRuleWidth);
    if (nKind == kavo::LINE_THICK) return "\\brdrs\\brdrw" + std::to_string(3 * s_nRuleWidth);
    return "\\brdrs\\brdrw" + std::to_string(s_nRuleWidth);
}

void AppendParagraphRules(std::string& out, const Edges& e) {
    if (e.top) out += "\\brdrt" + RuleWords(e.top) + "\\brsp20";
    if (e.left) out += "\\brdrl" + RuleWords(e.left) + "\\brsp40";
    if (e.bottom) out += "\\brdrb" + RuleWords(e.bottom) + "\\brsp20";
    if (e.right) out += "\\brdrr" + RuleWords(e.right) + "\\brsp40";
}

void AppendCellRules(std::string& out, const Edges& e) {
    if (e.top) out += "\\clbrdrt" + RuleWords(e.top);
    if (e.left) out += "\\clbrdrl" + RuleWords(e.left);
    if (e.bottom) out += "\\clbrdrb" + RuleWords(e.bottom);
    if (e.right) out += "\\clbrdrr" + RuleWords(e.right);
}

// Stub level of a row node: 0 for a child of the row root.
int StubLevel(const CRowColOb* pNode) {
    int nAncestors = 0;
    for (const CRowColOb* p = pNode->GetParent(); p != nullptr && nAncestors < (1 << 20); p = p->GetParent())
        ++nAncestors;
    return std::max(nAncestors - 1, 0);  // the root is no level
}

// Exported data columns below a spanner: those that stand in the grid.
int ExportedLeaves(const CRowColOb* pNode, const std::unordered_set<const CTblOb*>& exported) {
    int n = 0;
    std::vector<const CRowColOb*> stack{pNode};
    while (!stack.empty()) {
        const CRowColOb* p = stack.back();
        stack.pop_back();
        if (p->HasData()) {
            n += exported.count(p) ? 1 : 0;
            continue;
        }
        for (int i = p->GetNumChildren() - 1; i >= 0; --i) stack.push_back(p->GetChildAt(i));
    }
    return n;
}

// Estimated text widths in hundredths of an em, from typical advance
// widths of a sans-serif face: a document is reflowed by whatever opens
// it, so the estimate only has to size the columns sensibly.
struct TextSize {
    int nWidth = 0;        // the whole text on one line
    int nLongestWord = 0;  // its widest blank-free run
};

int CharWidth(unsigned char c) {
    if (c >= '0' && c <= '9') return 64;
    if (c >= 'A' && c <= 'Z') return c == 'I' ? 30 : (c == 'M' || c == 'W') ? 90 : 70;
    if (c >= 'a' && c <= 'z') return (c == 'i' || c == 'j' || c == 'l') ? 28 : (c == 'm' || c == 'w') ? 90 : 60;
    if (c == ' ' || c == ',' || c == '.' || c == ':' || c == ';' || c == '\'' || c == '!' || c == '|') return 32;
    if (c < 0x80) return 50;
    return 70;  // a character beyond ASCII (its first byte)
}

TextSize Measure(const std::string& text) {
    TextSize t;
    int nWord = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue;  // a UTF-8 continuation byte adds no character
        if (c == '\n') {
            nWord = 0;
            continue;
        }
        const int w = CharWidth(c);
        t.nWidth += w;
        if (c == ' ' || c == '\t') {
            nWord = 0;
        } else {
            nWord += w;
            t.nLongestWord = std::max(t.nLongestWord, nWord);
        }
    }
    return t;
}

// One paragraph of a cell: a paragraph mark before all but the first.
void AppendParagraph(std::string& out, const std::string& font, const CTblOb* pOb, int nIndent, const Edges& rules,
                     bool bFirst) {
    if (!bFirst) out += "\\par";
    out += "\\pard\\plain\\intbl";
    out += font;
    out += Justification(pOb);
    if (nIndent > 0) out += "\\li" + std::to_string(nIndent);
    AppendParagraphRules(out, rules);
    out += ' ';
    if (pOb) AppendRtfText(out, pOb->GetText().str());
}

}  // namespace

// ------------------------------------------------------------------ document

CRtfDocument::CRtfDocument(CRtfPage page) : m_page(page) {}

void CRtfDocument::ChooseFont(const CTable& table) {
    const CStyle* s = table.GetStyle();
    if (!s) s = table.GetTitle()->GetStyle();
    if (!s || s->m_logFont.lfHeight == 0) return;
    const std::string face = rtf::Face(s->m_logFont);
    if (!face.empty() && face.find_first_of(";{}\\") == std::string::npos) m_font = face;
    if (s->m_nTwipsHeight > 0) m_nHalfPoints = std::clamp((s->m_nTwipsHeight + 5) / 10, 8, 288);
}

int CRtfDocument::AddTable(CTable& table, int bBlockedOnly, const CRtfBands& bands) {
    m_nLastWidth = 0;
    if (m_nTables == 0) ChooseFont(table);
    if (m_page.bColumnPanels && table.GetNumPages() > 0) {
        ++m_nTables;
        return AddPanels(table, bBlockedOnly, bands);
    }
    s_bAllRuleKinds = m_page.bAllRuleKinds;
    s_nRuleWidth = std::max(5, m_nHalfPoints / 2);  // 10 twips at 10 points
    const std::string font = "\\f0\\fs" + std::to_string(m_nHalfPoints);
    std::string& out = m_body;
    if (m_nTables > 0) out += "\\pard\\plain" + font + "\\par\n";
    ++m_nTables;

    // Title and heading above the table, kept with it on one page. The
    // table's own top border runs above the title.
    for (const CTblOb* pPiece : {table.GetTitle(), table.GetHeader()}) {
        if (pPiece->GetText().IsEmpty()) continue;
        out += "\\pard\\plain" + font + Justification(pPiece) + "\\sa120\\keepn";
        Edges rules = SingleLines(*pPiece);
        if (pPiece == table.GetTitle()) rules.top = Or(rules.top, SingleBorders(table).top);
        AppendParagraphRules(out, rules);
        out += ' ';
        AppendRtfText(out, pPiece->GetText().str());
        out += "\\par\n";
    }

    CRTFRowArray grid;
    table.LayoutRTF(grid, bBlockedOnly);
    const int nGridRows = grid.GetSize();
    const int C = std::min(table.GetColumnRoot()->GetDepth(0), nGridRows);
    const int R = table.GetRowRoot()->GetDepth(0);
    const int n = nGridRows > 0 ? std::max(0, grid[0].GetSize() - R) : 0;
    const int nCells = n + 1;  // the stub is one column; captions are indented in it

    if (nGridRows > 0) {
        const CTblOb* pStubHead = table.GetStubHead();
        std::unordered_set<const CTblOb*> exportedColumns;
        if (C > 0)
            for (int j = 0; j < n; ++j)
                if (const CTblOb* p = grid[C - 1][R + j]) exportedColumns.insert(p);

        // Spans of the heading cells: span[g * n + j] is the number of data
        // columns the entry at (g, j) covers; 0 for a cell merged into one
        // on its left.
        std::vector<int> span(static_cast<std::size_t>(C) * static_cast<std::size_t>(n), 1);
        for (int g = 0; g + 1 < C; ++g) {
            for (int j = 0; j < n; ++j) {
                const CTblOb* p = grid[g][R + j];
                if (!p) continue;
                int s = std::max(1, ExportedLeaves(static_cast<const CRowColOb*>(p), exportedColumns));
                int k = 1;
                while (k < s && j + k < n && grid[g][R + j + k] == nullptr) ++k;
                span[static_cast<std::size_t>(g * n + j)] = k;
                for (int q = 1; q < k; ++q) span[static_cast<std::size_t>(g * n + j + q)] = 0;
                j += k - 1;
            }
        }

        // Widths, as a word processor would need them: all data columns one
        // width (as on the screen), the stub as wide as its longest line
        // within reason, both fitted to the printable width when possible.
        // Widths in hundredths of an em until the end, then in twips.
        const int em = m_nHalfPoints * 10;  // twips
        const int gap = 72;                 // cell padding on either side, twips
        const int indent = em;              // per stub level, twips
        const int indentEm = 100;
        constexpr int kChar = 60;           // an average character
        constexpr int kSafety = 50;         // added to natural widths: faces differ
        constexpr int kWordSafety = 20;     // added to the longest word
        const int avail = std::max(1440, PrintableWidth());
        int stubNat = 0, stubMin = 0, colNat = 0, colMin = 0;
        auto stubText = [&](const CTblOb* p, int nLevel) {
            const TextSize t = Measure(p->GetText().str());
            stubNat = std::max(stubNat, nLevel * indentEm + t.nWidth + kSafety);
            stubMin = std::max(stubMin, nLevel * indentEm + t.nLongestWord + kWordSafety);
        };
        if (C > 0 && !pStubHead->GetText().IsEmpty()) {
            const TextSize t = Measure(pStubHead->GetText().str());
            stubMin = std::max(stubMin, t.nLongestWord + kWordSafety);
            stubNat = std::max(stubNat, std::min(t.nWidth, std::max(t.nLongestWord, 16 * kChar)));
        }
        for (int g = 0; g < nGridRows; ++g) {
            const CRTFRow& row = grid[g];
            if (g >= C)
                for (int e = 0; e < R && e < row.GetSize(); ++e)
                    if (const CTblOb* p = row[e]) stubText(p, e + 1 < R ? e : StubLevel(static_cast<const CRowColOb*>(p)));
            for (int j = 0; j < n; ++j) {
                const CTblOb* p = row[R + j];
                if (!p) continue;
                const TextSize t = Measure(p->GetText().str());
                const int s = g < C ? std::max(1, span[static_cast<std::size_t>(g * n + j)]) : 1;
                // Captions may wrap; numbers may not.
                const int nat = g < C ? std::min(t.nWidth, std::max(t.nLongestWord, (s > 1 ? 24 : 12) * kChar)) : t.nWidth;
                colNat = std::max(colNat, (nat + kSafety + s - 1) / s);
                colMin = std::max(colMin, (t.nLongestWord + kWordSafety + s - 1) / s);
            }
        }
        auto twips = [&](int w) { return static_cast<int>((static_cast<long long>(w) * em + 99) / 100); };
        colMin = twips(std::max(colMin, 4 * kChar)) + 2 * gap;
        colNat = std::max(twips(std::min(colNat, 20 * kChar)) + 2 * gap, colMin);
        stubMin = twips(stubMin) + 2 * gap;
        stubNat = twips(stubNat) + 2 * gap;
        int stub = std::max(stubMin, std::min(stubNat, avail * 2 / 5));
        int colW = colNat;
        if (n > 0 && stub + n * colW > avail) {
            colW = std::max(colMin, (avail - stub) / n);
            // A narrower stub only when that brings the table within the
            // margins; a table too wide anyway keeps its captions whole.
            const int squeezed = std::max(stubMin, avail - n * colW);
            if (squeezed < stub && squeezed + n * colW <= avail) stub = squeezed;
        }
        m_nLastWidth = stub + n * colW;

        // Rules: those of each element's box, the border rules of columns
        // (down to the foot of the table), of rows (across it) and of the
        // table, and the frame below the title, right of the stub and
        // below the column heading.
        const Edges tableBorders = SingleBorders(table);
        std::vector<int> leftFrom(static_cast<std::size_t>(nCells), nGridRows), rightFrom(leftFrom);
        std::vector<char> bottomAtFoot(static_cast<std::size_t>(nCells), 0);
        for (int g = 0; g < C; ++g) {
            for (int j = 0; j < n; ++j) {
                const CTblOb* p = grid[g][R + j];
                if (!p || p->GetText().IsEmpty()) continue;
                const int s = std::max(1, span[static_cast<std::size_t>(g * n + j)]);
                const Edges b = SingleBorders(*p);
                if (b.left) leftFrom[static_cast<std::size_t>(j + 1)] = std::min(leftFrom[static_cast<std::size_t>(j + 1)], g);
                if (b.right)
                    rightFrom[static_cast<std::size_t>(j + s)] = std::min(rightFrom[static_cast<std::size_t>(j + s)], g);
                if (b.bottom)
                    for (int q = 0; q < s; ++q) {
                        char& k = bottomAtFoot[static_cast<std::size_t>(j + 1 + q)];
                        k = static_cast<char>(std::max<int>(k, b.bottom));
                    }
            }
        }

        // About 75 bytes go out per cell; growing by doubling would copy them again and again.
        out.reserve(out.size() + static_cast<std::size_t>(nGridRows) * static_cast<std::size_t>(nCells) * 80 + 4096);
        std::vector<Edges> rules(static_cast<std::size_t>(nCells));
        const std::string rowHead = "\\trowd\\trgaph" + std::to_string(gap) + "\\trleft-" + std::to_string(gap);
        for (int g = 0; g < nGridRows; ++g) {
            const CRTFRow& row = grid[g];
            const bool bHeading = g < C;
            std::fill(rules.begin(), rules.end(), Edges());
            for (int c = 0; c < nCells; ++c) {
                Edges& e = rules[static_cast<std::size_t>(c)];
                e.left = Or(g >= leftFrom[static_cast<std::size_t>(c)], c == 0 ? tableBorders.left : 0);
                e.right = Or(g >= rightFrom[static_cast<std::size_t>(c)] || (c == 0),
                             c == nCells - 1 ? tableBorders.right : 0);
                e.top = g == 0;
                e.bottom = Or(g == C - 1, g == nGridRows - 1 ? Or(bottomAtFoot[static_cast<std::size_t>(c)],
                                                                  tableBorders.bottom)
                                                             : 0);
            }
            auto addLines = [&](int c0, int c1, const Edges& l) {
                for (int c = c0; c <= c1; ++c) {
                    Edges& e = rules[static_cast<std::size_t>(c)];
                    e.top = Or(e.top, l.top);
                    e.bottom = Or(e.bottom, l.bottom);
                }
                rules[static_cast<std::size_t>(c0)].left = Or(rules[static_cast<std::size_t>(c0)].left, l.left);
                rules[static_cast<std::size_t>(c1)].right = Or(rules[static_cast<std::size_t>(c1)].right, l.right);
            };
            const CTblOb* pVAlign = nullptr;  // the element whose style aligns the stub cell
            if (bHeading) {
                if (g == C - 1 && !pStubHead->GetText().IsEmpty()) {
                    addLines(0, 0, SingleLines(*pStubHead));
                    pVAlign = pStubHead;
                }
                for (int j = 0; j < n; ++j) {
                    const CTblOb* p = row[R + j];
                    if (!p || p->GetText().IsEmpty()) continue;
                    const int s = std::max(1, span[static_cast<std::size_t>(g * n + j)]);
                    Edges l = SingleLines(*p);
                    l.top = Or(l.top, SingleBorders(*p).top);
                    addLines(j + 1, j + s, l);
                }
            } else {
                for (int e = 0; e < R; ++e) {
                    const CTblOb* p = row[e];
                    if (!p || p->GetText().IsEmpty()) continue;
                    const Edges b = SingleBorders(*p);
                    // A row's border rectangle reaches the right of the table.
                    addLines(0, nCells - 1, Edges{b.top, b.left, e == R - 1 ? b.bottom : 0, b.right});
                }
                if (R > 0) pVAlign = row[R - 1];
                for (int j = 0; j < n; ++j)
                    if (const CTblOb* p = row[R + j])
                        if (!p->GetText().IsEmpty()) addLines(j + 1, j + 1, SingleLines(*p));
            }

            // Row and cell definitions.
            out += rowHead;
            if (bHeading) out += "\\trhdr";
            out += '\n';
            int x = -gap + stub;
            for (int c = 0; c < nCells; ++c) {
                const CTblOb* pCellOb = c == 0 ? pVAlign : row[R + c - 1];
                int s = 1;
                if (c > 0 && bHeading) s = span[static_cast<std::size_t>(g * n + c - 1)];
                out += VerticalAlignment(pCellOb);
                AppendCellRules(out, rules[static_cast<std::size_t>(c)]);
                if (s == 0) {
                    out += "\\clmrg";
                } else if (s > 1) {
                    out += "\\clmgf";
                }
                if (c > 0) x += colW;
                out += "\\cellx" + std::to_string(x) + '\n';
            }

            // Cell contents.
            if (bHeading) {
                if (g == C - 1 && !pStubHead->GetText().IsEmpty()) {
                    AppendParagraph(out, font, pStubHead, 0, Edges(), true);
                } else {
                    AppendParagraph(out, font, nullptr, 0, Edges(), true);
                }
            } else {
                bool bFirst = true;
                for (int e = 0; e < R; ++e) {
                    const CTblOb* p = row[e];
                    if (!p) continue;
                    const int nLevel = e + 1 < R ? e : StubLevel(static_cast<const CRowColOb*>(p));
                    Edges lines = p->GetText().IsEmpty() ? Edges() : SingleLines(*p);
                    if (e + 1 < R && !p->GetText().IsEmpty()) lines.bottom = Or(lines.bottom, SingleBorders(*p).bottom);
                    AppendParagraph(out, font, p, nLevel * indent, lines, bFirst);
                    bFirst = false;
                }
                if (bFirst) AppendParagraph(out, font, nullptr, 0, Edges(), true);
            }
            out += "\\cell\n";
            for (int j = 0; j < n; ++j) {
                const bool bMerged = bHeading && span[static_cast<std::size_t>(g * n + j)] == 0;
                AppendParagraph(out, font, bMerged ? nullptr : row[R + j], 0, Edges(), true);
                out += "\\cell\n";
            }
            out += "\\row\n";
        }
    }

    // The footing, or an empty paragraph: a table needs one after it.
    const CTblOb* pFooter = table.GetFooter();
    out += "\\pard\\plain" + font + Justification(pFooter) + "\\sb120";
    if (!pFooter->GetText().IsEmpty()) {
        AppendParagraphRules(out, SingleLines(*pFooter));
        out += ' ';
        AppendRtfText(out, pFooter->GetText().str());
    }
    out += "\\par\n";
    return m_nLastWidth;
}

std::string CRtfDocument::Head() const {
    std::string head = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033\\uc1\n{\\fonttbl{\\f0\\fswiss\\fcharset0 ";
    AppendRtfText(head, m_font);
    if (m_font != "Arial") head += "{\\*\\falt Arial}";
    head += ";}";
    for (std::size_t i = 0; i < m_extraFonts.size(); ++i) {
        head += "{\\f" + std::to_string(i + 1) + "\\fnil\\fcharset0 ";
        AppendRtfText(head, m_extraFonts[i]);
        head += ";}";
    }
    head += "}\n{\\colortbl;\\red0\\green0\\blue0;}\n{\\*\\generator kavotbl;}\n";
    head += "\\paperw" + std::to_string(m_page.nWidth) + "\\paperh" + std::to_string(m_page.nHeight);
    head += "\\margl" + std::to_string(m_page.Left()) + "\\margr" + std::to_string(m_page.Right()) + "\\margt" +
            std::to_string(m_page.Top()) + "\\margb" + std::to_string(m_page.Bottom());
    if (m_page.nWidth > m_page.nHeight) head += "\\landscape";
    if (m_nSections > 0 && m_page.nFirstPage != 1) head += "\\pgnstart" + std::to_string(std::max(0, m_page.nFirstPage));
    head += "\\widowctrl\n";
    return head;
}

// The body in pieces, with the page counts of the footers filled in.
template <class Put>
bool CRtfDocument::PutBody(Put put) const {
    std::size_t nFrom = 0;
    int nDocument = 0;
    for (int n : m_tablePages) nDocument += n;
    for (const PageTotal& t : m_pageTotals) {
        const int nPages = t.nTable >= 0 && t.nTable < static_cast<int>(m_tablePages.size())
                               ? m_tablePages[static_cast<std::size_t>(t.nTable)]
                               : nDocument;
        const std::string total = std::to_string(nPages + m_page.nFirstPage - 1);
        if (!put(m_body.data() + nFrom, t.nOffset - nFrom) || !put(total.data(), total.size())) return false;
        nFrom = t.nOffset;
    }
    return put(m_body.data() + nFrom, m_body.size() - nFrom);
}

std::string CRtfDocument::Text() const {
    std::string text = Head();
    text.reserve(text.size() + m_body.size() + 64);
    PutBody([&](const char* p, std::size_t n) {
        text.append(p, n);
        return true;
    });
    return text + "}\n";
}

bool CRtfDocument::WriteTo(std::FILE* f) const {
    const std::string head = Head();
    return std::fwrite(head.data(), 1, head.size(), f) == head.size() &&
           PutBody([f](const char* p, std::size_t n) { return std::fwrite(p, 1, n, f) == n; }) &&
           std::fputs("}\n", f) >= 0;
}

}  // namespace kavo

namespace kavo {

bool CRtfDocument::WriteTo(std::ostream& out) const {
    out << Head();
    PutBody([&out](const char* p, std::size_t n) {
        out.write(p, static_cast<std::streamsize>(n));
        return static_cast<bool>(out);
    });
    out << "}\n";
    return static_cast<bool>(out);
}

int export_detail::WriteRtf(const Tables& tables, std::ostream& out, const CExportOptions& options,
                            CExportReport& report) {
    CRtfPage page;
    page.nWidth = options.page.nWidth;
    page.nHeight = options.page.nHeight;
    page.nMargin = options.page.nMargin;
    page.bColumnPanels = options.bRtfPanels != 0;
    page.pageNumbers = options.bRtfPanels ? CRtfPage::kDocumentPages : CRtfPage::kNoPageNumbers;
    CRtfDocument rtf(page);
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (options.bRtfPanels && tables[i]->GetNumPages() == 0)
            report.arrWarnings.push_back(TableName(i) + " was not laid out for print; it is written as one table");
        const int nWidth = rtf.AddTable(*tables[i], options.bBlockedOnly);
        if (nWidth > rtf.PrintableWidth()) {
            char buf[160];
            std::snprintf(buf, sizeof buf, "%s is %.1f in wide, more than the %.1f in between the margins",
                          TableName(i).c_str(), nWidth / 1440.0, rtf.PrintableWidth() / 1440.0);
            report.arrWarnings.push_back(buf);
        }
    }
    if (!rtf.WriteTo(out)) {
        report.strError = "the stream failed";
        return 0;
    }
    return 1;
}

}  // namespace kavo
