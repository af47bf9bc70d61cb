// Spreadsheet workbooks: one worksheet per table, numbers kept as numbers
// with number formats made from the table's formats, written row by row in
// the spreadsheet library's constant-memory mode.
#include <xlsxwriter.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <map>
#include <set>
#include <tuple>

#include "kavotbl/export/text.h"
#include "kavotbl/host/dc.h"
#include "kavotbl/style/format.h"
#include "kavotbl/style/style.h"
#include "shape.h"
#include "writers.h"

namespace kavo {
namespace export_detail {

namespace {

constexpr std::int64_t kExactLimit = std::int64_t(1) << 53;

std::string Utf8(const CKAVOString& text) {
    std::string s;
    AppendUtf8(s, text);
    return s;
}

// The number of characters of UTF-8 text.
std::size_t Chars(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

// A sheet name from the table's name: at most 31 characters, none of
// []:*?/\, no apostrophe at either end, unique without regard to case.
std::string SheetName(const std::string& wanted, std::size_t i, std::set<std::string>& used) {
    std::string s;
    for (char c : wanted) {
        if (std::strchr("[]:*?/\\", c) || static_cast<unsigned char>(c) < 0x20) c = '_';
        s += c;
    }
    while (!s.empty() && s.front() == '\'') s.erase(0, 1);
    while (!s.empty() && s.back() == '\'') s.pop_back();
    if (s.empty()) s = "Table " + std::to_string(i + 1);
    auto cut = [](std::string t, std::size_t nMax) {
        std::size_t n = 0, k = 0;
        for (; k < t.size(); ++k)
            if ((static_cast<unsigned char>(t[k]) & 0xC0) != 0x80 && ++n > nMax) break;
        t.resize(k);
        return t;
    };
    s = cut(s, 31);
    auto lower = [](std::string t) {
        for (char& c : t) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return t;
    };
    std::string name = s;
    for (int k = 2; used.count(lower(name)) || lower(name) == "history"; ++k) {
        const std::string suffix = " (" + std::to_string(k) + ")";
        name = cut(s, 31 - suffix.size()) + suffix;
    }
    used.insert(lower(name));
    return name;
}

// The number format of a table format: decimals, thousands grouping, the
// zero text as the zero section; a hidden format shows only its zero text.
std::string NumberFormat(const CFormat& f) {
    const int d = std::max(0, f.m_nDecimals);
    const bool bGroup = !f.m_strThousandSep.IsEmpty();
    std::string num = bGroup ? (d > 0 && !f.m_bZeroBeforeDecimal ? "#,###" : "#,##0")
                             : (d > 0 && !f.m_bZeroBeforeDecimal ? "#" : "0");
    if (d > 0) num += "." + std::string(static_cast<std::size_t>(std::min(d, 30)), '0');
    std::string zero = "\"";
    for (char c : Utf8(f.m_strZeroMask)) zero += c == '"' ? std::string("\"\\\"\"") : std::string(1, c);
    zero += "\"";
    if (f.m_strZeroMask.IsEmpty()) zero.clear();
    if (f.m_bHidden) return ";;" + zero;
    return num + ";-" + num + ";" + zero;
}

class Book {
public:
    Book(lxw_workbook* pBook) : m_pBook(pBook) {}

    // The cell format of an element's style, with a number format, an indent
    // and wrapping as asked.
    lxw_format* Format(const CStyle* s, const CFormat* f, int nIndent, bool bWrap) {
        const auto key = std::make_tuple(s, f, nIndent, bWrap);
        if (key == m_lastKey) return m_pLast;
        auto& slot = m_formats[key];
        if (!slot) {
            lxw_format* x = workbook_add_format(m_pBook);
            if (s) {
                format_set_align(x, s->m_nHorJust == 0 ? LXW_ALIGN_LEFT : s->m_nHorJust == 1 ? LXW_ALIGN_CENTER
                                                                                               : LXW_ALIGN_RIGHT);
                format_set_align(x, s->m_nVertJust == 0 ? LXW_ALIGN_VERTICAL_TOP
                                    : s->m_nVertJust == 1 ? LXW_ALIGN_VERTICAL_CENTER
                                                          : LXW_ALIGN_VERTICAL_BOTTOM);
                auto border = [](LINES k) -> uint8_t {
                    return k == LINE_SINGLE ? LXW_BORDER_THIN : k == LINE_DOUBLE ? LXW_BORDER_DOUBLE
                                                            : k == LINE_THICK    ? LXW_BORDER_MEDIUM
                                                                                 : LXW_BORDER_NONE;
                };
                if (s->m_lineTop) format_set_top(x, border(s->m_lineTop));
                if (s->m_lineBottom) format_set_bottom(x, border(s->m_lineBottom));
                if (s->m_lineLeft) format_set_left(x, border(s->m_lineLeft));
                if (s->m_lineRight) format_set_right(x, border(s->m_lineRight));
                const LOGFONT& lf = s->m_logFont;
                if (lf.lfHeight != 0) {
                    const std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName));
                    if (!face.empty()) format_set_font_name(x, face.c_str());
                    if (s->m_nTwipsHeight > 0) format_set_font_size(x, s->m_nTwipsHeight / 20.0);
                    if (lf.lfWeight >= 600) format_set_bold(x);
                    if (lf.lfItalic) format_set_italic(x);
                }
            }
            if (f) format_set_num_format(x, NumberFormat(*f).c_str());
            if (nIndent > 0) format_set_indent(x, static_cast<uint8_t>(std::min(nIndent, 15)));
            if (bWrap) format_set_text_wrap(x);
            slot = x;
        }
        m_lastKey = key;
        m_pLast = slot;
        return slot;
    }

private:
    using Key = std::tuple<const CStyle*, const CFormat*, int, bool>;
    lxw_workbook* m_pBook;
    std::map<Key, lxw_format*> m_formats;
    Key m_lastKey{nullptr, nullptr, -1, false};
    lxw_format* m_pLast = nullptr;
};

// Numbers go out with "." whatever the program's locale says.
class CNumericLocale {
public:
    CNumericLocale() {
        m_c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
        if (m_c) m_old = uselocale(m_c);
    }
    ~CNumericLocale() {
        if (m_c) {
            uselocale(m_old);
            freelocale(m_c);
        }
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t m_c = static_cast<locale_t>(0);
    locale_t m_old = static_cast<locale_t>(0);
};

uint8_t Paper(const CExportPage& p) {
    const int w = std::min(p.nWidth, p.nHeight), h = std::max(p.nWidth, p.nHeight);
    auto near = [](int a, int b) { return std::abs(a - b) <= 30; };
    if (near(w, 12240) && near(h, 15840)) return 1;   // letter
    if (near(w, 12240) && near(h, 20160)) return 5;   // legal
    if (near(w, 11906) && near(h, 16838)) return 9;   // A4
    return 0;                                         // the printer's default
}

}  // namespace

int WriteXlsx(const Tables& tables, const char* pszPath, const CExportOptions& options, CExportReport& report) {
    CNumericLocale numeric;
    lxw_workbook_options wo = {};
    wo.constant_memory = LXW_TRUE;
    const char* pszTmp = std::getenv("TMPDIR");
    std::string tmp = pszTmp && *pszTmp ? pszTmp : "/tmp";
    wo.tmpdir = tmp.data();
    lxw_workbook* pBook = workbook_new_opt(pszPath, &wo);
    if (!pBook) {
        report.strError = "the spreadsheet could not be created";
        return 0;
    }
    Book book(pBook);

    std::string title = options.strTitle;
    if (title.empty() && !tables.empty()) title = Utf8(tables[0]->GetTitle()->GetText());
    lxw_doc_properties props = {};
    props.title = title.data();
    workbook_set_properties(pBook, &props);

    std::set<std::string> used;
    TableShape shape;
    std::string text;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        CTable& table = *tables[t];
        const std::string wanted = Utf8(table.GetName());
        const std::string name = SheetName(wanted, t, used);
        if (!wanted.empty() && name != wanted)
            report.arrWarnings.push_back(TableName(t) + ": the worksheet is named \"" + name + "\": \"" + wanted +
                                         "\" is no valid sheet name");
        lxw_worksheet* ws = workbook_add_worksheet(pBook, name.c_str());
        if (!ws) {
            report.strError = "the worksheet \"" + name + "\" could not be added";
            workbook_close(pBook);
            return 0;
        }
        MakeShape(table, options.bBlockedOnly, shape);
        const std::size_t n = shape.columns.size();
        std::vector<double> widths(n + 1, 0.0);
        auto widen = [&](std::size_t c, const std::string& s, int nSpan) {
            // The longest word of a caption that may wrap, the whole of anything else.
            std::size_t longest = 0, cur = 0;
            for (unsigned char ch : s) {
                if (ch == ' ') cur = 0;
                else if ((ch & 0xC0) != 0x80) longest = std::max(longest, ++cur);
            }
            const double w = nSpan > 0 ? std::min<double>(Chars(s), std::max<double>(longest, 12.0 * nSpan)) / nSpan
                                       : static_cast<double>(Chars(s));
            widths[c] = std::max(widths[c], w);
        };

        lxw_row_t row = 0;
        const CTblOb* pTitle = table.GetTitle();
        if (!pTitle->GetText().IsEmpty())
            worksheet_write_string(ws, row++, 0, Utf8(pTitle->GetText()).c_str(), book.Format(pTitle->GetStyle(), nullptr, 0, false));
        const CTblOb* pHeader = table.GetHeader();
        if (!pHeader->GetText().IsEmpty())
            worksheet_write_string(ws, row++, 0, Utf8(pHeader->GetText()).c_str(), book.Format(pHeader->GetStyle(), nullptr, 0, false));
        if (row > 0) ++row;  // a blank row above the table

        // Heading rows: spanners merged and centred over their columns, data
        // columns in the row of their level (those above the last level
        // keep blank cells below them), the stub head over the stub.
        const lxw_row_t headFirst = row;
        std::size_t h = 0;
        for (int l = 0; l < shape.nLevels; ++l, ++row) {
            const CTblOb* pStubHead = table.GetStubHead();
            if (l + 1 == shape.nLevels) {
                worksheet_write_string(ws, row, 0, Utf8(pStubHead->GetText()).c_str(),
                                       book.Format(pStubHead->GetStyle(), nullptr, 0, true));
                widen(0, Utf8(pStubHead->GetText()), 1);
            }
            for (; h < shape.head.size() && shape.head[h].nLevel == l; ++h) {
                const HeadCell& c = shape.head[h];
                const std::string s = Utf8(c.pColumn->GetText());
                const lxw_col_t col = static_cast<lxw_col_t>(c.nCol + 1);
                lxw_format* f = book.Format(c.pColumn->GetStyle(), nullptr, 0, true);
                if (c.nSpan > 1) {
                    lxw_format* centred = book.Format(c.pColumn->GetStyle(), nullptr, -1, true);
                    format_set_align(centred, LXW_ALIGN_CENTER);
                    worksheet_merge_range(ws, row, col, row, static_cast<lxw_col_t>(col + c.nSpan - 1), s.c_str(), centred);
                } else if (c.nRows > 1) {
                    // Written in the last heading row (below), where the table puts it.
                    continue;
                } else {
                    worksheet_write_string(ws, row, col, s.c_str(), f);
                }
                widen(static_cast<std::size_t>(c.nCol) + 1, s, c.nSpan);
            }
            if (l + 1 == shape.nLevels)
                for (const HeadCell& c : shape.head)
                    if (c.nRows > 1) {
                        const std::string s = Utf8(c.pColumn->GetText());
                        worksheet_write_string(ws, row, static_cast<lxw_col_t>(c.nCol + 1), s.c_str(),
                                               book.Format(c.pColumn->GetStyle(), nullptr, 0, true));
                        widen(static_cast<std::size_t>(c.nCol) + 1, s, 1);
                    }
        }
        const lxw_row_t bodyFirst = row;

        int nAsText = 0;
        char num[40];
        for (const BodyLine& line : shape.body) {
            text.clear();
            AppendUtf8(text, line.pRow->GetText());
            worksheet_write_string(ws, row, 0, text.c_str(),
                                   book.Format(line.pRow->GetStyle(), nullptr, line.nLevel, false));
            widths[0] = std::max(widths[0], static_cast<double>(Chars(text) + 2 * line.nLevel));
            if (line.bData) {
                for (std::size_t j = 0; j < n; ++j) {
                    const int c = shape.columns[j];
                    const CTblCell* pCell = c < line.pRow->GetNumCells() ? line.pRow->GetCell(c) : nullptr;
                    if (!pCell) continue;
                    const CFormat* f = pCell->GetFormat();
                    const lxw_col_t col = static_cast<lxw_col_t>(j + 1);
                    lxw_format* x = book.Format(pCell->GetStyle(), f, 0, false);
                    const std::int64_t v = pCell->GetData();
                    const int d = f ? f->m_nDecimals : 0;
                    const double len = static_cast<double>(pCell->GetText().GetLength());
                    if (len > widths[j + 1]) widths[j + 1] = len;
                    bool bExact = v > -kExactLimit && v < kExactLimit && d >= -15 && d <= 22;
                    double x10 = 0;
                    if (bExact) {
                        x10 = d >= 0 ? static_cast<double>(v) / std::pow(10.0, d) : static_cast<double>(v) * std::pow(10.0, -d);
                        if (std::fabs(x10) >= 9007199254740992.0) bExact = false;
                        // Sixteen significant digits are more than the file's
                        // notation always gives back: check them.
                        if (bExact && (v >= 1000000000000000 || v <= -1000000000000000)) {
                            std::snprintf(num, sizeof num, "%.16G", x10);
                            text.clear();
                            AppendPlainDecimal(text, v, d);
                            bExact = std::strtod(text.c_str(), nullptr) == std::strtod(num, nullptr) &&
                                     text == num;
                        }
                    }
                    if (bExact) {
                        worksheet_write_number(ws, row, col, x10, x);
                    } else {
                        ++nAsText;
                        text.clear();
                        AppendUtf8(text, pCell->GetText());
                        worksheet_write_string(ws, row, col, text.c_str(), x);
                    }
                }
            }
            ++row;
        }
        if (nAsText > 0)
            report.arrWarnings.push_back(TableName(t) + ": " + std::to_string(nAsText) +
                                         (nAsText == 1 ? " value is" : " values are") +
                                         " beyond what a spreadsheet number holds exactly and written as text");

        const CTblOb* pFooter = table.GetFooter();
        if (!pFooter->GetText().IsEmpty())
            worksheet_write_string(ws, row + 1, 0, Utf8(pFooter->GetText()).c_str(),
                                   book.Format(pFooter->GetStyle(), nullptr, 0, false));

        for (std::size_t c = 0; c <= n; ++c)
            worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 std::min(60.0, std::max(c ? 6.0 : 10.0, widths[c] + 2.0)), nullptr);
        if (n > 0 && !shape.body.empty()) worksheet_freeze_panes(ws, bodyFirst, 1);
        if (bodyFirst > headFirst) worksheet_repeat_rows(ws, headFirst, bodyFirst - 1);
        worksheet_repeat_columns(ws, 0, 0);
        const CExportPage& page = options.page;
        if (const uint8_t paper = Paper(page)) worksheet_set_paper(ws, paper);
        if (page.nWidth > page.nHeight) worksheet_set_landscape(ws);
        const double m = page.nMargin / 1440.0;
        worksheet_set_margins(ws, m, m, m, m);
        worksheet_set_footer(ws, "&CPage &P of &N");
    }
    if (tables.empty()) workbook_add_worksheet(pBook, nullptr);  // a workbook needs a sheet
    const lxw_error e = workbook_close(pBook);
    if (e != LXW_NO_ERROR) {
        report.strError = lxw_strerror(e);
        return 0;
    }
    return 1;
}

}  // namespace export_detail
}  // namespace kavo
