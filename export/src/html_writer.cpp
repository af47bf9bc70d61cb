// A self-contained web page (or, as a fragment, the tables alone): inline
// CSS made from the registry's styles, no scripts, nothing fetched.
#include <algorithm>
#include <cstring>
#include <ostream>
#include <unordered_map>

#include "kavotbl/host/dc.h"
#include "kavotbl/style/registry.h"
#include "kavotbl/style/style.h"
#include "shape.h"
#include "writers.h"

namespace kavo {
namespace export_detail {

namespace {

void EscapeUtf8(std::string& out, const std::string& s) {
    // Blanks in front indent a label, as they do in print.
    std::size_t i = 0;
    for (; i < s.size() && s[i] == ' '; ++i) out += "&#160;";
    for (; i < s.size(); ++i) {
        const char c = s[i];
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r':
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
            out += "<br>";
            break;
        case '\n': out += "<br>"; break;
        default:
            // Other control characters are no text of a page.
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out += c;
        }
    }
}

void Escape(std::string& out, const CKAVOString& text) {
    const std::string& s = text.str();
    bool bAscii = true;
    for (unsigned char c : s) bAscii = bAscii && c < 0x80;
    if (bAscii) {
        EscapeUtf8(out, s);
    } else {
        std::string u;
        AppendUtf8(u, text);
        EscapeUtf8(out, u);
    }
}

const char* Rule(LINES kind) {
    switch (kind) {
    case LINE_SINGLE: return "1px solid";
    case LINE_DOUBLE: return "3px double";
    case LINE_THICK: return "2px solid";
    default: return nullptr;
    }
}

void Rules(std::string& css, LINES top, LINES right, LINES bottom, LINES left) {
    const LINES kinds[4] = {top, right, bottom, left};
    const char* edges[4] = {"top", "right", "bottom", "left"};
    for (int i = 0; i < 4; ++i)
        if (const char* r = Rule(kinds[i])) css += std::string("border-") + edges[i] + ":" + r + ";";
}

// The declarations of a style: justification, the rules of the element's
// box, the font.
std::string StyleCss(const CStyle& s) {
    std::string css;
    css += s.m_nHorJust == 0 ? "text-align:left;" : s.m_nHorJust == 1 ? "text-align:center;" : "text-align:right;";
    css += s.m_nVertJust == 0 ? "vertical-align:top;" : s.m_nVertJust == 1 ? "vertical-align:middle;"
                                                                            : "vertical-align:bottom;";
    Rules(css, s.m_lineTop, s.m_lineRight, s.m_lineBottom, s.m_lineLeft);
    const LOGFONT& lf = s.m_logFont;
    if (lf.lfHeight != 0) {
        const std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName));
        if (!face.empty() && face.find_first_of("'\"\\<>;{}&") == std::string::npos)
            css += "font-family:'" + face + "',sans-serif;";
        if (s.m_nTwipsHeight > 0) css += "font-size:" + std::to_string(s.m_nTwipsHeight / 20.0).substr(0, 5) + "pt;";
        if (lf.lfWeight >= 600) css += "font-weight:bold;";
        if (lf.lfItalic) css += "font-style:italic;";
    }
    return css;
}

// Border rectangles: a column's run down to the foot of the table, a row's
// across it; here they rule the column's or row's own cells.
std::string BorderCss(const CStyle& s) {
    std::string css;
    Rules(css, s.m_borderTop, s.m_borderRight, s.m_borderBottom, s.m_borderLeft);
    return css;
}

class Page {
public:
    Page(const CExportOptions& options) : m_options(options) {}

    void Styles(const Tables& tables) {
        for (const CTable* t : tables) {
            const CStyleRegistry* r = t->GetStyleRegistry();
            if (!r || m_registries.count(r)) continue;
            Registry& reg = m_registries[r];
            reg.nBase = m_nStyles;
            for (int i = 0; i < r->GetNumStyles(); ++i) {
                const CStyle* s = r->GetStyle(i);
                if (!s) continue;
                reg.index[s] = m_nStyles + i;
                m_css.push_back(StyleCss(*s));
                m_borders.push_back(BorderCss(*s));
            }
            m_nStyles += r->GetNumStyles();
        }
    }

    // class="sN" (or, in a fragment, the declarations themselves) of an element.
    void Attr(std::string& out, const CTblOb* p, bool bBorders, const char* pszExtra = nullptr) {
        const int i = Index(p);
        std::string cls = pszExtra ? pszExtra : "";
        if (m_options.bFragment) {
            std::string css;
            if (i >= 0) css = m_css[static_cast<std::size_t>(i)] + (bBorders ? m_borders[static_cast<std::size_t>(i)] : "");
            if (!cls.empty()) out += " class=\"" + cls + "\"";
            if (!css.empty()) out += " style=\"" + css + "\"";
            return;
        }
        if (i >= 0) {
            cls += (cls.empty() ? "s" : " s") + std::to_string(i);
            if (bBorders && !m_borders[static_cast<std::size_t>(i)].empty()) cls += " b" + std::to_string(i);
        }
        if (!cls.empty()) out += " class=\"" + cls + "\"";
    }

    // The same for a cell, from attributes made once per style.
    void CellAttr(std::string& out, const CTblOb* p) {
        const int i = Index(p);
        if (i < 0) return;
        if (m_cellAttr.size() <= static_cast<std::size_t>(i)) m_cellAttr.resize(static_cast<std::size_t>(i) + 1);
        std::string& a = m_cellAttr[static_cast<std::size_t>(i)];
        if (a.empty()) Attr(a, p, false);
        out += a;
    }

    std::string Sheet(int nStubLevels) const {
        std::string css =
            "table.kt{border-collapse:collapse;margin:0 0 1.5em 0}"
            "table.kt th,table.kt td{padding:0.15em 0.4em;font-weight:normal}"
            "table.kt td{text-align:right;white-space:nowrap}"
            "table.kt caption{padding:0 0 0.4em 0}";
        for (int l = 1; l < nStubLevels; ++l)
            css += "table.kt th.l" + std::to_string(l) + "{padding-left:" + std::to_string(0.4 + 1.5 * l).substr(0, 4) + "em}";
        for (std::size_t i = 0; i < m_css.size(); ++i) {
            css += ".s" + std::to_string(i) + "{" + m_css[i] + "}";
            if (!m_borders[i].empty()) css += ".b" + std::to_string(i) + "{" + m_borders[i] + "}";
        }
        const CExportPage& p = m_options.page;
        css += "@media print{thead{display:table-header-group}tfoot{display:table-footer-group}"
               "tr{break-inside:avoid}caption{break-after:avoid}}"
               "@page{size:" + std::to_string(p.nWidth / 1440.0).substr(0, 5) + "in " +
               std::to_string(p.nHeight / 1440.0).substr(0, 5) + "in;margin:" +
               std::to_string(p.nMargin / 1440.0).substr(0, 5) + "in}";
        return css;
    }

private:
    struct Registry {
        int nBase = 0;
        std::unordered_map<const CStyle*, int> index;
    };
    int Index(const CTblOb* p) {
        if (!p || !p->GetStyle()) return -1;
        if (p->GetStyle() == m_pLastStyle) return m_nLastIndex;
        m_pLastStyle = p->GetStyle();
        m_nLastIndex = -1;
        for (const auto& r : m_registries) {
            const auto e = r.second.index.find(p->GetStyle());
            if (e != r.second.index.end()) return m_nLastIndex = e->second;
        }
        return -1;
    }
    const CExportOptions& m_options;
    std::unordered_map<const CStyleRegistry*, Registry> m_registries;
    std::vector<std::string> m_css, m_borders, m_cellAttr;
    int m_nStyles = 0;
    const CStyle* m_pLastStyle = nullptr;
    int m_nLastIndex = -1;
};

}  // namespace

int WriteHtml(const Tables& tables, std::ostream& out, const CExportOptions& options, CExportReport& report) {
    Page page(options);
    page.Styles(tables);
    std::vector<TableShape> shapes(tables.size());
    int nStubLevels = 1;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        MakeShape(*tables[t], options.bBlockedOnly, shapes[t]);
        nStubLevels = std::max(nStubLevels, shapes[t].nStubLevels);
    }

    std::string buf;
    auto flush = [&] {
        out.write(buf.data(), static_cast<std::streamsize>(buf.size()));
        buf.clear();
    };
    if (!options.bFragment) {
        CKAVOString title = options.strTitle.c_str();
        if (title.IsEmpty() && !tables.empty()) title = tables[0]->GetTitle()->GetText();
        if (title.IsEmpty() && !tables.empty()) title = tables[0]->GetName();
        buf += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
        Escape(buf, title.IsEmpty() ? CKAVOString("Tables") : title);
        buf += "</title>\n<style>\nbody{font-family:sans-serif;margin:1em}\n" + page.Sheet(nStubLevels) +
               "\n</style>\n</head>\n<body>\n";
    }
    for (std::size_t t = 0; t < tables.size(); ++t) {
        CTable& table = *tables[t];
        const TableShape& shape = shapes[t];
        const std::size_t n = shape.columns.size();
        const CTblOb* pHeader = table.GetHeader();
        if (!pHeader->GetText().IsEmpty()) {
            buf += "<p";
            page.Attr(buf, pHeader, false, "heading");
            buf += '>';
            Escape(buf, pHeader->GetText());
            buf += "</p>\n";
        }
        buf += "<table";
        page.Attr(buf, &table, true, "kt");
        buf += ">\n";
        if (!table.GetTitle()->GetText().IsEmpty()) {
            buf += "<caption";
            page.Attr(buf, table.GetTitle(), false);
            buf += '>';
            Escape(buf, table.GetTitle()->GetText());
            buf += "</caption>\n";
        }
        if (n > 0 && shape.nLevels > 0) {
            buf += "<thead>\n";
            std::size_t h = 0;
            for (int l = 0; l < shape.nLevels; ++l) {
                buf += "<tr>";
                if (l == 0) {
                    buf += "<th";
                    page.Attr(buf, table.GetStubHead(), false);
                    if (shape.nLevels > 1) buf += " rowspan=\"" + std::to_string(shape.nLevels) + "\"";
                    buf += " scope=\"col\">";
                    Escape(buf, table.GetStubHead()->GetText());
                    buf += "</th>";
                }
                for (; h < shape.head.size() && shape.head[h].nLevel == l; ++h) {
                    const HeadCell& c = shape.head[h];
                    buf += "<th";
                    page.Attr(buf, c.pColumn, true);
                    if (c.nSpan > 1) buf += " colspan=\"" + std::to_string(c.nSpan) + "\"";
                    if (c.nRows > 1) buf += " rowspan=\"" + std::to_string(c.nRows) + "\"";
                    buf += c.pColumn->HasData() ? " scope=\"col\">" : " scope=\"colgroup\">";
                    Escape(buf, c.pColumn->GetText());
                    buf += "</th>";
                }
                buf += "</tr>\n";
            }
            buf += "</thead>\n";
        }
        if (!shape.body.empty()) {
            buf += "<tbody>\n";
            for (const BodyLine& line : shape.body) {
                buf += "<tr";
                if (!line.bData) buf += " class=\"caption\"";
                buf += "><th";
                std::string level = line.nLevel > 0 ? "l" + std::to_string(std::min(line.nLevel, nStubLevels - 1)) : "";
                page.Attr(buf, line.pRow, true, level.empty() ? nullptr : level.c_str());
                buf += " scope=\"row\">";
                Escape(buf, line.pRow->GetText());
                buf += "</th>";
                for (std::size_t j = 0; j < n; ++j) {
                    const int c = shape.columns[j];
                    const CTblCell* pCell = line.bData && c < line.pRow->GetNumCells() ? line.pRow->GetCell(c) : nullptr;
                    buf += "<td";
                    if (pCell) page.CellAttr(buf, pCell);
                    buf += '>';
                    if (pCell) Escape(buf, pCell->GetText());
                    buf += "</td>";
                }
                buf += "</tr>\n";
                if (buf.size() > (1u << 16)) flush();
            }
            buf += "</tbody>\n";
        }
        buf += "</table>\n";
        const CTblOb* pFooter = table.GetFooter();
        if (!pFooter->GetText().IsEmpty()) {
            buf += "<p";
            page.Attr(buf, pFooter, false, "footing");
            buf += '>';
            Escape(buf, pFooter->GetText());
            buf += "</p>\n";
        }
    }
    if (!options.bFragment) buf += "</body>\n</html>\n";
    flush();
    if (!out) {
        report.strError = "the stream failed";
        return 0;
    }
    return 1;
}

}  // namespace export_detail
}  // namespace kavo
