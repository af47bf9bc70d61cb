// The RTF writer of the export module: text escaping for code page 1252,
// and documents read back with a small RTF reader (rows, cell boundaries,
// merges, indents, justification, rules, paragraphs around the table).
#include <gtest/gtest.h>

#if defined(KAVOTBL_HAVE_EXPORT)

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "kavotbl/file/document.h"
#include "kavotbl/export/rtf_document.h"
#include "kavotbl/host/recording_dc.h"
#include "kavotbl/export/text.h"

namespace kavo {
namespace {

using Strings = std::vector<std::string>;

// ------------------------------------------------------------------ reader

struct Para {
    std::string text;
    int li = 0;
    char just = 'l';
    bool keepn = false;
};

struct CellDef {
    int x = 0;
    char merge = '-';  // F first of a merge, M merged into it
    char valign = 't';
    std::set<char> borders;  // single rules: b, l, r, t
};

struct Row {
    bool header = false;
    bool keep = false;
    std::vector<CellDef> defs;
    std::vector<std::vector<Para>> cells;
};

struct Doc {
    int depth = 0;  // of braces at the end
    std::string font;
    std::set<int> sizes;
    std::map<std::string, int> last;  // the number after each control word, the last one
    std::vector<Para> paras;          // outside tables
    std::vector<Row> rows;
    std::string order;  // P for a paragraph outside a table, R for a row, B for a page break
    std::map<std::string, int> count;  // of each control word
};

// Reads what the writer produces, ASCII texts only: enough of the format to
// see what a word processor sees.
Doc Read(const std::string& rtf) {
    Doc d;
    int skip = 0, font = 0;  // depth of a destination that is not text, of the font table
    bool intbl = false;
    char border = 0;
    Para cur;
    Row row;
    CellDef def;
    std::vector<Para> cell;
    auto endPara = [&] {
        (intbl ? cell : d.paras).push_back(cur);
        d.order += intbl ? "" : "P";
        cur.text.clear();
    };
    const std::map<std::string, std::function<void(int)>> words = {
        {"fonttbl", [&](int) { font = d.depth; }},
        {"colortbl", [&](int) { skip = d.depth; }},
        {"pard", [&](int) { cur = Para(), intbl = false; }},
        {"intbl", [&](int) { intbl = true; }},
        {"li", [&](int n) { cur.li = n; }},
        {"par", [&](int) { endPara(); }},
        {"cell", [&](int) { endPara(), row.cells.push_back(cell), cell.clear(); }},
        {"row", [&](int) { d.rows.push_back(row), d.order += 'R', row = Row(); }},
        {"trowd", [&](int) { row = Row(); }},
        {"trhdr", [&](int) { row.header = true; }},
        {"trkeep", [&](int) { row.keep = true; }},
        {"keepn", [&](int) { cur.keepn = true; }},
        {"page", [&](int) { d.order += 'B'; }},
        {"cellx", [&](int n) { def.x = n, row.defs.push_back(def), def = CellDef(); }},
        {"fs", [&](int n) { d.sizes.insert(n); }},
    };
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '}' && d.depth == skip) skip = 0;
        if (c == '}' && d.depth == font) font = 0;
        if (c == '{' || c == '}') d.depth += c == '{' ? 1 : -1;
        const bool bEscaped = c == '\\' && std::strchr("\\{}", rtf[i + 1]);
        const char t = bEscaped ? rtf[++i] : c;
        if (!skip && (bEscaped || !std::strchr("{}\\\r\n", c)) && !(font && t == ';'))
            (font ? d.font : cur.text) += t;
        if (c != '\\' || bEscaped) continue;
        if (rtf[i + 1] == '*') skip = skip ? skip : d.depth;
        std::size_t e = ++i, len = 0;
        while (std::isalpha(static_cast<unsigned char>(rtf[e]))) ++e;
        const std::string w = rtf.substr(i, e - i);
        const bool bNumber = rtf[e] == '-' || std::isdigit(static_cast<unsigned char>(rtf[e]));
        const int n = bNumber ? std::stoi(rtf.substr(e, 12), &len) : 0;
        i = rtf[e + len] == ' ' ? e + len : e + len - 1;  // a blank delimiter is not text
        if (skip && w != "fonttbl" && w != "colortbl") continue;
        if (w.compare(0, 6, "clbrdr") == 0) border = w[6];
        if (w == "brdrs" && border) def.borders.insert(border);
        if (w.compare(0, 4, "brdr") == 0) border = 0;
        if (w.compare(0, 8, "clvertal") == 0) def.valign = w[8];
        if (w == "ql" || w == "qc" || w == "qr") cur.just = w[1];
        if (w == "clmgf" || w == "clmrg") def.merge = w == "clmgf" ? 'F' : 'M';
        if (words.count(w)) words.at(w)(n);
        d.last[w] = n;
        ++d.count[w];
    }
    return d;
}

// Per row the texts of its cells, of each cell's paragraphs joined by "/",
// or what f gives for each cell; cells joined by "|".
Strings Rows(const Doc& d, std::string (*f)(const Row&, std::size_t) = nullptr) {
    Strings rows;
    for (const Row& row : d.rows) {
        std::string s;
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            std::string t;
            for (const Para& p : row.cells[c]) t += (t.empty() ? "" : "/") + p.text;
            s += (c ? "|" : "") + (f ? f(row, c) : t);
        }
        rows.push_back(s);
    }
    return rows;
}

// ------------------------------------------------------------------ text

TEST(RtfText, EscapesAndCodePage1252) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\\b{c}d", "a\\\\b\\{c\\}d"},
        {"x\ty\r\nz\rw\x01v\x7f", "x\\tab y\\line z\\line wv"},  // other controls vanish
        {"caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D",
         "caf\\'e9 \\'80 \\'93q\\'94"},               // UTF-8 in the code page
        {"\xE4\xBA\xBA", "\\u20154?"},                // U+4EBA
        {"\xEF\xAC\x81", "\\u-1279?"},                // U+FB01 is above 32767: 64257 - 65536
        {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},  // U+1F600: D83D DE00
        // Bytes that are not UTF-8 are code page 1252, where 0x81 is undefined.
        {"Caf\xE9 \x80", "Caf\\'e9 \\'80"},
        {"\x81", "\\u-3?"},
        {"\xC0\xAF", "\\'c0\\'af"},           // an overlong slash
        {"\xED\xA0\x80", "\\'ed\\'a0\\'80"},  // an encoded surrogate
        {"ab\xE2\x82", "ab\\'e2\\'82"},       // cut short
    };
    for (const auto& c : cases) {
        std::string out;
        AppendRtfText(out, c.first);
        EXPECT_EQ(out, c.second) << c.first;
    }
    // Code page text becomes UTF-8, and UTF-8 stays as it is.
    EXPECT_EQ(TextToUtf8("\x8D\xE9\x80"), "\xEF\xBF\xBD\xC3\xA9\xE2\x82\xAC");  // 0x8D is undefined
    EXPECT_EQ(TextToUtf8("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
}

// ------------------------------------------------------------------ documents

// Residence spans Urban and Rural; Total stands alone. "All" groups One and
// Two; Sum is a row of its own.
const char kTable[] =
    "[Style]\nLabel=Ruled\nHorJust=Center\nVertJust=Top\nLineTop=Single\nLineBottom=Double\n"
    "[Style]\nLabel=Edge\nHorJust=Left\nBorderLeft=Single\nBorderBottom=Single\n"
    "[Format]\nLabel=Hide\nHidden=Yes\n[Format]\nLabel=Dots\nThousandSep=.\n"
    "[Table]\nSize=3, 3\nName=T\n[Title]\nText=Title {1}\n[Heading]\nText=Head\n[Footing]\nText=Foot \\ end\n"
    "[StubHead]\nText=Stub\n[ColumnGroup]\nText=Residence\n[Column]\nText=Urban\nCellFormat=Dots\n"
    "[Column]\nText=Rural\nStyle=Edge\n[EndGroup]\n[Column]\nText=Total\n[RowGroup]\nText=All\n"
    "[Row]\nText=One\nCellStyle=1, Ruled\nData=1, 2, 3\n[Row]\nText=Two\nCellFormat=0, Hide\nData=4, 5, 9\n"
    "[EndGroup]\n[Row]\nText=Sum\nStyle=Edge\nData=5, 7, 12\n";

class RtfDocumentTest : public ::testing::Test {
protected:
    kavo::CTable& Load(const std::string& text) {
        docs.push_back(std::make_unique<kavo::CTableDocument>());
        EXPECT_EQ(docs.back()->LoadText(text), 1);
        return *docs.back()->GetTable(0);
    }
    static Doc Write(kavo::CTable& table, int bBlockedOnly = 0, CRtfPage page = CRtfPage()) {
        CRtfDocument rtf(page);
        rtf.AddTable(table, bBlockedOnly);
        return Read(rtf.Text());
    }
    std::vector<std::unique_ptr<kavo::CTableDocument>> docs;
};

TEST_F(RtfDocumentTest, OneRowPerGridRowWithSpannersMergedOverTheirColumns) {
    // A second table with a title only and a third of rows without columns
    // follow the first, each after a blank paragraph.
    const std::string text = std::string(kTable) +
                             "[Table]\nSize=0, 0\n[Title]\nText=Only a title\n"
                             "[Table]\nSize=2, 0\n[Row]\nText=A\n[Row]\nText=B\n";
    CRtfDocument rtf;
    Load(text).SetCellData(0, 0, 1234567);  // formatted before it is written
    for (int i = 0; i < 3; ++i) rtf.AddTable(*docs[0]->GetTable(i), 0);
    EXPECT_EQ(rtf.GetNumTables(), 3);
    const Doc d = Read(rtf.Text());
    EXPECT_EQ(d.depth, 0);
    EXPECT_EQ(d.order, "PPRRRRRPPPPPRRP");
    Strings paras;
    for (const Para& p : d.paras) paras.push_back(p.text);
    EXPECT_EQ(paras, (Strings{"Title {1}", "Head", "Foot \\ end", "", "Only a title", "", "", ""}));
    // Two heading rows and three data rows of the stub and three data
    // columns; the caption of a group shares the stub cell of its first row,
    // and the hidden format leaves its cell empty.
    EXPECT_EQ(Rows(d), (Strings{"|Residence||", "Stub|Urban|Rural|Total", "All/One|1.234.567|2|3", "Two||5|9",
                                "Sum|5|7|12", "A", "B"}));
    ASSERT_EQ(d.rows.size(), 7u);
    for (std::size_t r = 0; r < 7; ++r) {
        EXPECT_EQ(d.rows[r].header, r < 2);
        ASSERT_EQ(d.rows[r].defs.size(), r < 5 ? 4u : 1u);
        for (std::size_t c = 0; c < d.rows[r].defs.size() && r < 5; ++c) {
            EXPECT_EQ(d.rows[r].defs[c].x, d.rows[0].defs[c].x);
            EXPECT_EQ(d.rows[r].defs[c].merge, r > 0 || c == 0 || c == 3 ? '-' : c == 1 ? 'F' : 'M');
        }
    }
    const std::vector<CellDef>& defs = d.rows[0].defs;
    EXPECT_GT(defs[0].x, 200);  // room for "Stub" and an indented "One"
    EXPECT_GT(defs[1].x, defs[0].x);
    EXPECT_EQ(defs[2].x - defs[1].x, defs[3].x - defs[2].x);  // data columns share one width
}

TEST_F(RtfDocumentTest, StylesGiveJustificationAlignmentAndSingleRules) {
    const Doc d = Write(Load(kTable));
    ASSERT_EQ(d.rows.size(), 5u);
    auto just = [](const Row& r, std::size_t c) { return std::string(1, r.cells[c][0].just); };
    auto valign = [](const Row& r, std::size_t c) { return std::string(1, r.defs[c].valign); };
    auto borders = [](const Row& r, std::size_t c) {
        const std::set<char>& b = r.defs[c].borders;
        return b.empty() ? "-" : std::string(b.begin(), b.end());
    };
    // The default styles justify right and align at the bottom; Ruled
    // centres at the top; Edge (the column Rural, the row Sum) justifies left.
    const Strings justs = Rows(d, just);
    EXPECT_EQ(justs[1] + " " + justs[2] + " " + justs[4], "r|r|l|r r|r|c|r l|r|r|r");
    EXPECT_EQ(Rows(d, valign)[2], "b|b|t|b");
    EXPECT_EQ(d.paras[0].just, 'r');
    // Frame rules above the headings, below them and right of the stub.
    // Rural's left rule runs from its heading down; Ruled's single rule
    // above is drawn and its double one below is not; Sum's rules frame the
    // whole row.
    EXPECT_EQ(Rows(d, borders), (Strings{"rt|t|t|t", "br|b|bl|b", "r|-|lt|-", "r|-|l|-", "blr|b|bl|b"}));
}

TEST_F(RtfDocumentTest, CaptionsIndentedByStubLevelInTheStub) {
    const Doc d =
        Write(Load("[Table]\nSize=3, 1\n[Column]\nText=C\n[RowGroup]\nText=Country\n[RowGroup]\nText=Region\n"
                   "[Row]\nText=Town\nData=1\n[EndGroup]\n[Row]\nText=Rest\nData=2\n[EndGroup]\n"
                   "[Row]\nText=World\nData=3\n"));
    ASSERT_EQ(d.rows.size(), 4u);
    // One em (twenty half-points = 200 twips) per level; a data row at the
    // top level is not indented, however deep the stub.
    auto indents = [](const Row& r, std::size_t c) {
        std::string s;
        for (const Para& p : r.cells[c]) s += (s.empty() ? "" : "/") + p.text + " " + std::to_string(p.li);
        return c ? std::string() : s;
    };
    const Strings stub = Rows(d, indents);
    EXPECT_EQ(Strings(stub.begin() + 1, stub.end()),
              (Strings{"Country 0/Region 200/Town 400|", "Rest 200|", "World 0|"}));
}

TEST_F(RtfDocumentTest, FontSizeAndPage) {
    Doc d = Write(Load(kTable));
    EXPECT_EQ(d.font, "DejaVu Sans");
    EXPECT_EQ(d.sizes, std::set<int>{20});
    EXPECT_EQ(std::vector<int>({d.last["paperw"], d.last["paperh"], d.last["margl"]}),
              std::vector<int>({12240, 15840, 1440}));
    EXPECT_EQ(d.last.count("landscape"), 0u);

    kavo::CTable& t = Load(kTable);
    LOGFONT lf;
    lf.lfHeight = -16;
    std::strcpy(lf.lfFaceName, "Liberation Serif");
    t.GetStyleRegistry()->UpdateFonts(&lf, 240);  // twelve points
    d = Write(t, 0, CRtfPage{16838, 11906, 720});  // A4 landscape, half-inch margins
    EXPECT_EQ(d.font, "Liberation Serif");
    EXPECT_EQ(d.sizes, std::set<int>{24});
    EXPECT_EQ(d.rows.at(2).cells[0][1].li, 240);  // one em of twelve points
    EXPECT_EQ(std::vector<int>({d.last["paperw"], d.last["paperh"], d.last["margl"]}),
              std::vector<int>({16838, 11906, 720}));
    EXPECT_EQ(d.last.count("landscape"), 1u);
}

TEST_F(RtfDocumentTest, WideTablesAreNarrowedToThePageWhenTheyCanBe) {
    // Five columns fit beside a narrowed stub only.
    std::string text = "[Table]\nSize=1, 5\n";
    for (int c = 0; c < 5; ++c) text += "[Column]\nText=Households with children under five\n";
    kavo::CTable& t =
        Load(text + "[Row]\nText=A row caption that is rather long for a stub\nData=1, 2, 3, 4, 5\n");
    CRtfDocument rtf;
    const int nWidth = rtf.AddTable(t, 0);
    EXPECT_LE(nWidth, rtf.PrintableWidth());
    const Doc d = Read(rtf.Text());
    ASSERT_EQ(d.rows.size(), 2u);
    // Boundaries count from the left margin, the table starting a cell
    // padding to its left so that the texts line up with the margin.
    EXPECT_LT(d.last.at("trleft"), 0);
    EXPECT_EQ(d.rows[0].defs.back().x - d.last.at("trleft"), nWidth);

    std::string wide = "[Table]\nSize=1, 40\n", data;
    for (int c = 0; c < 40; ++c)
        wide += "[Column]\nText=C\n", data += (c ? ", " : "") + std::string("123456789");
    CRtfDocument rtf2;
    EXPECT_GT(rtf2.AddTable(Load(wide + "[Row]\nText=R\nData=" + data + "\n"), 0), rtf2.PrintableWidth());
}

TEST_F(RtfDocumentTest, ColumnPanelsAreThePrintedPages) {
    // Twelve columns under two spanners, three data rows under a caption,
    // laid out on a page that holds four columns and two rows: three column
    // pages by two row pages.
    std::string text =
        "[Style]\nLabel=Boxed\nLineBottom=Double\nBorderLeft=Thick\n"
        "[Table]\nSize=3, 12\n[Title]\nText=T\n[Heading]\nText=Head\n[Footing]\nText=Foot\n[StubHead]\nText=Stub\n";
    for (const char* group : {"Left", "Right"}) {
        text += std::string("[ColumnGroup]\nText=") + group + "\n";
        for (int c = 0; c < 6; ++c) text += "[Column]\nText=C" + std::to_string(c) + (c == 1 ? "\nStyle=Boxed\n" : "\n");
        text += "[EndGroup]\n";
    }
    text += "[RowGroup]\nText=Cap\n";
    for (int r = 0; r < 3; ++r) text += "[Row]\nText=R" + std::to_string(r) + "\nData=1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12\n";
    kavo::CTable& t = Load(text + "[EndGroup]\n");
    LOGFONT lf;
    lf.lfHeight = -13;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    t.GetStyleRegistry()->UpdateFonts(&lf, 200);
    CRecordingDC dc(MM_TWIPS);
    dc.SetRecording(false);
    CRect rc(0, 0, 0, 0);
    for (int w = 1000; w < 30000 && t.GetNumHorzPages() != 3; w += 50) {
        rc = CRect(0, 0, w, -20000);
        t.LayoutPrinter(rc, &dc);
    }
    ASSERT_EQ(t.GetNumHorzPages(), 3);
    const int nRowH = std::abs(t.GetRow(0)->Height());
    rc.bottom = -(std::abs(t.TitleSize().cy) + std::abs(t.ColSize().cy) + 3 * nRowH + nRowH / 2);
    t.LayoutPrinter(rc, &dc);
    ASSERT_EQ(t.GetNumPages(), 6);
    const int nStub = std::abs(t.RowSize().cx);

    CRtfPage page;
    page.nMarginTop = 500, page.nMarginRight = 600, page.nMarginBottom = 700, page.nMarginLeft = 800;
    page.bAllRuleKinds = true;
    page.bColumnPanels = true;
    page.pageNumbers = CRtfPage::kDocumentPages;
    CRtfDocument rtf(page);
    EXPECT_EQ(rtf.AddTable(t, 0, CRtfBands{300, 400}), std::abs(t.GetColumn(3)->Right()));
    const std::string raw = rtf.Text();
    const Doc d = Read(raw);
    EXPECT_EQ(d.depth, 0);
    // Print's page order, across then down: one table per page with the
    // title and two heading rows, then the rows of its row page; a page
    // break before each page but the first. The page header and footer
    // hold the first three paragraphs.
    EXPECT_EQ(d.order, "PPPRRRRRRBPRRRRRRBPRRRRRRBPRRRRBPRRRRBPRRRRP");
    const Strings rows = Rows(d);
    EXPECT_EQ(Strings(rows.begin(), rows.begin() + 6),
              (Strings{"T", "Stub|Left|||", "|C0|C1|C2|C3", "Cap||||", "R0|1|2|3|4", "R1|1|2|3|4"}));
    // The spanner over the page boundary is captioned again over its part.
    EXPECT_EQ(rows[7] + " " + rows[8], "Stub|Left||Right| |C4|C5|C0|C1");
    EXPECT_EQ(rows.back(), "R2|9|10|11|12");
    for (std::size_t r = 0; r < d.rows.size(); ++r) {
        const Row& row = d.rows[r];
        const bool bHead = row.cells.size() == 1 || row.cells[0][0].text == "Stub" || row.cells[0][0].text.empty();
        EXPECT_EQ(row.header, bHead) << rows[r];
        EXPECT_TRUE(row.keep) << rows[r];
        EXPECT_EQ(row.cells[0][0].keepn, row.cells[0][0].text == "Cap") << rows[r];
        if (row.cells.size() > 1) {
            // Boundaries where print put the columns, from \\trleft: word
            // processors put the table's edge a cell margin left of it,
            // at the page margin.
            EXPECT_EQ(row.defs[0].x - d.last.at("trleft"), nStub);
            EXPECT_EQ(row.defs[4].x - row.defs[0].x, std::abs(t.GetColumn(3)->Right()) - nStub);
        }
    }
    // Page set-up: paper, margins, the bands of heading and footing, and
    // the page number as fields.
    EXPECT_EQ(std::vector<int>({d.last.at("marglsxn"), d.last.at("margrsxn"), d.last.at("headery"),
                                d.last.at("footery")}),
              std::vector<int>({800, 600, 500, 700}));
    EXPECT_EQ(d.last.at("margtsxn"), 800);
    EXPECT_GT(d.last.at("margbsxn"), 1000);
    EXPECT_LE(d.last.at("margbsxn"), 1100);
    EXPECT_NE(raw.find("{\\header\\pard\\plain"), std::string::npos);
    EXPECT_NE(raw.find("Page {\\field{\\*\\fldinst PAGE}"), std::string::npos);
    EXPECT_NE(raw.find("{\\*\\fldinst NUMPAGES}"), std::string::npos);
    EXPECT_EQ(d.count.at("sectd"), 1);
    // Rules as cell borders, none as paragraph borders: C1's double rule
    // under it, its thick border left of it down to the foot of the table,
    // the frame right of the stub.
    EXPECT_EQ(d.count.count("brdrb") + d.count.count("brdrt") + d.count.count("brsp"), 0u);
    EXPECT_NE(raw.find("\\clbrdrb\\brdrdb"), std::string::npos);
    EXPECT_GE(static_cast<int>(raw.find("\\clbrdrr\\brdrth")), 0);
    EXPECT_GT(d.count.at("clbrdrr"), 30);

    // The footing once under the table, panels one after another, the
    // word processor paging the rows: three tables, no breaks, no footer.
    page.bPanelPageBreaks = false;
    page.bFootingOnce = true;
    page.pageNumbers = CRtfPage::kNoPageNumbers;
    CRtfDocument flowing(page);
    flowing.AddTable(t, 0);
    const Doc f = Read(flowing.Text());
    EXPECT_EQ(f.order, "PRRRRRRRPRRRRRRRPRRRRRRRP");
    EXPECT_EQ(f.paras.back().text, "Foot");
    EXPECT_EQ(flowing.Text().find("{\\footer"), std::string::npos);

    // Counted from page 3 over two tables, each table a section of its own:
    // the count is filled in once the pages are written.
    page.bPanelPageBreaks = true;
    page.pageNumbers = CRtfPage::kDocumentPages;
    page.nFirstPage = 3;
    CRtfDocument twice(page);
    twice.AddTable(t, 0);
    twice.AddTable(t, 0);
    const std::string both = twice.Text();
    const Doc b = Read(both);
    EXPECT_EQ(b.count.at("sectd"), 2);
    EXPECT_EQ(b.count.at("sect"), 1);
    EXPECT_EQ(b.last.at("pgnstarts"), 3);
    EXPECT_EQ(b.count.at("page"), 10);  // five breaks within each table
    EXPECT_EQ(b.count.at("pagebb"), 1);  // and the second on a new page
    for (const std::size_t at : {both.find(" of 14\\par"), both.rfind(" of 14\\par")}) EXPECT_NE(at, std::string::npos);
    std::ostringstream streamed;
    EXPECT_TRUE(twice.WriteTo(streamed));
    EXPECT_EQ(streamed.str(), both);

    // Pages that start inside a group repeat its caption, as print does.
    CPrintOptions continued;
    continued.bContinuedCaptions = 1;
    continued.strContinued = " (cont.)";  // a short suffix: the stub is narrow
    t.SetPrintOptions(continued);
    t.LayoutPrinter(rc, &dc);
    ASSERT_EQ(t.GetNumPages(), 6);
    CRtfPage printed;
    printed.bColumnPanels = true;
    CRtfDocument withCaptions(printed);
    withCaptions.AddTable(t, 0);
    int nRepeated = 0;
    for (const std::string& row : Rows(Read(withCaptions.Text()))) nRepeated += row == "Cap (cont.)||||";
    EXPECT_EQ(nRepeated, 3);

    // Without a printer layout the table is written as one, as without panels.
    kavo::CTable& unlaid = Load(kTable);
    CRtfDocument plain(page);
    plain.AddTable(unlaid, 0);
    EXPECT_EQ(Read(plain.Text()).order, "PPRRRRRP");
}

}  // namespace
}  // namespace kavo

#else

TEST(RtfWriter, NeedsTheExportModule) {
    GTEST_SKIP() << "the export module was not built";
}

#endif
