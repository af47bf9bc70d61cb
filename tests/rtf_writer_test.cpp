// The RTF writer of the kavotbl program: text escaping for code page 1252,
// and documents read back with a small RTF reader (rows, cell boundaries,
// merges, indents, justification, rules, paragraphs around the table).
#include <gtest/gtest.h>

#if defined(KAVOTBL_HAVE_TOOLS)

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common.h"
#include "kavotbl/file/document.h"
#include "rtf_writer.h"

namespace kavotool {
namespace {

using Strings = std::vector<std::string>;

// ------------------------------------------------------------------ reader

struct Para {
    std::string text;
    int li = 0;
    char just = 'l';
};

struct CellDef {
    int x = 0;
    char merge = '-';     // F first of a merge, M merged into it
    char valign = 't';
    std::string borders;  // single rules: b, l, r, t
};

struct Row {
    bool header = false;
    int left = 0;
    std::vector<CellDef> defs;
    std::vector<std::vector<Para>> cells;
};

struct Doc {
    int depth = 0;  // of braces at the end
    std::string font;
    std::set<int> sizes;
    int paperw = 0, paperh = 0, margl = 0;
    bool landscape = false;
    std::vector<Para> paras;  // outside tables
    std::vector<Row> rows;
    std::string order;        // P for a paragraph outside a table, R for a row
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
    auto text = [&](char c) {
        if (!skip && !font) cur.text += c;
        if (!skip && font && c != ';') d.font += c;
    };
    auto endPara = [&] {
        (intbl ? cell : d.paras).push_back(cur);
        if (!intbl) d.order += 'P';
        cur.text.clear();
    };
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{' || c == '}') {
            if (c == '}' && d.depth == skip) skip = 0;
            if (c == '}' && d.depth == font) font = 0;
            d.depth += c == '{' ? 1 : -1;
        } else if (c != '\\') {
            if (c != '\r' && c != '\n') text(c);
        } else if (std::strchr("\\{}", rtf[++i])) {
            text(rtf[i]);
        } else if (rtf[i] == '*') {
            skip = skip ? skip : d.depth;
        } else {
            std::size_t e = i, len = 0;
            while (std::isalpha(static_cast<unsigned char>(rtf[e]))) ++e;
            const std::string w = rtf.substr(i, e - i);
            const int n = rtf[e] == '-' || std::isdigit(static_cast<unsigned char>(rtf[e])) ? std::stoi(rtf.substr(e, 12), &len) : 0;
            i = rtf[e + len] == ' ' ? e + len : e + len - 1;  // a blank delimiter is not text
            if (w == "fonttbl") font = d.depth;
            else if (w == "colortbl") skip = d.depth;
            else if (skip) continue;
            else if (w == "pard") cur = Para(), intbl = false;
            else if (w == "intbl") intbl = true;
            else if (w == "li") cur.li = n;
            else if (w == "ql" || w == "qc" || w == "qr") cur.just = w[1];
            else if (w.size() == 7 && w.compare(0, 6, "clbrdr") == 0) border = w[6];
            else if (w.compare(0, 4, "brdr") == 0) {
                if (w == "brdrs" && border) def.borders += border;
                border = 0;
            } else if (w == "par") endPara();
            else if (w == "cell") endPara(), row.cells.push_back(cell), cell.clear();
            else if (w == "row") d.rows.push_back(row), d.order += 'R', row = Row();
            else if (w == "trowd") row = Row();
            else if (w == "trhdr") row.header = true;
            else if (w == "trleft") row.left = n;
            else if (w == "clmgf" || w == "clmrg") def.merge = w == "clmgf" ? 'F' : 'M';
            else if (w.compare(0, 8, "clvertal") == 0) def.valign = w[8];
            else if (w == "cellx") {
                def.x = n;
                std::sort(def.borders.begin(), def.borders.end());
                row.defs.push_back(def);
                def = CellDef();
            } else if (w == "fs") d.sizes.insert(n);
            else if (w == "paperw") d.paperw = n;
            else if (w == "paperh") d.paperh = n;
            else if (w == "margl") d.margl = n;
            else if (w == "landscape") d.landscape = true;
        }
    }
    return d;
}

Strings Texts(const std::vector<Para>& paras) {
    Strings v;
    for (const Para& p : paras) v.push_back(p.text);
    return v;
}

// Per cell the texts of its paragraphs joined by "/", or per cell f of it.
Strings Cells(const Row& row, std::string (*f)(const Row&, std::size_t) = nullptr) {
    Strings v;
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
        std::string s;
        for (const std::string& t : Texts(row.cells[c])) s += (s.empty() ? "" : "/") + t;
        v.push_back(f ? f(row, c) : s);
    }
    return v;
}

// ------------------------------------------------------------------ text

TEST(RtfText, EscapesAndCodePage1252) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\\b{c}d", "a\\\\b\\{c\\}d"},
        {"x\ty\r\nz\rw\x01v\x7f", "x\\tab y\\line z\\line wv"},  // other controls vanish
        {"caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D", "caf\\'e9 \\'80 \\'93q\\'94"},  // UTF-8 in the code page
        {"\xE4\xBA\xBA", "\\u20154?"},                // U+4EBA
        {"\xEF\xAC\x81", "\\u-1279?"},                // U+FB01 is above 32767: 64257 - 65536
        {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},  // U+1F600: D83D DE00
        // Bytes that are not UTF-8 are code page 1252, where 0x81 is undefined.
        {"Caf\xE9 \x80", "Caf\\'e9 \\'80"},
        {"\x81", "\\u-3?"},
        {"\xC0\xAF", "\\'c0\\'af"},          // an overlong slash
        {"\xED\xA0\x80", "\\'ed\\'a0\\'80"},  // an encoded surrogate
        {"ab\xE2\x82", "ab\\'e2\\'82"},      // cut short
    };
    for (const auto& c : cases) {
        std::string out;
        AppendRtfText(out, c.first);
        EXPECT_EQ(out, c.second) << c.first;
    }
    EXPECT_EQ(TextToUtf8("\xE9\x80"), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(TextToUtf8("\x8D"), "\xEF\xBF\xBD");
    EXPECT_EQ(TextToUtf8("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(DecodeText("A\xC3\xA9"), std::u32string(U"A\u00E9"));
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
    kavo::CTable& Load(const std::string& text, int nTable = 0) {
        docs.push_back(std::make_unique<kavo::CTableDocument>());
        EXPECT_EQ(docs.back()->LoadText(text), 1);
        return *docs.back()->GetTable(nTable);
    }
    static Doc Write(kavo::CTable& table, int bBlockedOnly = 0, RtfPage page = RtfPage()) {
        RtfDocument rtf(page);
        rtf.AddTable(table, bBlockedOnly);
        return Read(rtf.Text());
    }
    std::vector<std::unique_ptr<kavo::CTableDocument>> docs;
};

TEST_F(RtfDocumentTest, OneRowPerGridRowWithSpannersMergedOverTheirColumns) {
    kavo::CTable& t = Load(kTable);
    t.SetCellData(0, 0, 1234567);  // formatted before it is written
    const Doc d = Write(t);
    EXPECT_EQ(d.depth, 0);
    EXPECT_EQ(d.order, "PPRRRRRP");
    EXPECT_EQ(Texts(d.paras), (Strings{"Title {1}", "Head", "Foot \\ end"}));
    // Two heading rows and three data rows of the stub and three data
    // columns; the caption of a group shares the stub cell of its first row,
    // and the hidden format leaves its cell empty.
    const Strings cells[] = {{"", "Residence", "", ""}, {"Stub", "Urban", "Rural", "Total"},
                             {"All/One", "1.234.567", "2", "3"}, {"Two", "", "5", "9"}, {"Sum", "5", "7", "12"}};
    ASSERT_EQ(d.rows.size(), 5u);
    for (std::size_t r = 0; r < 5; ++r) {
        EXPECT_EQ(Cells(d.rows[r]), cells[r]);
        EXPECT_EQ(d.rows[r].header, r < 2);
        ASSERT_EQ(d.rows[r].defs.size(), 4u);
        for (std::size_t c = 0; c < 4; ++c) {
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
    auto borders = [](const Row& r, std::size_t c) { return r.defs[c].borders.empty() ? "-" : r.defs[c].borders; };
    // The default styles justify right and align at the bottom; Ruled
    // centres at the top; Edge (the column Rural, the row Sum) justifies left.
    EXPECT_EQ(Cells(d.rows[1], just), (Strings{"r", "r", "l", "r"}));
    EXPECT_EQ(Cells(d.rows[2], just), (Strings{"r", "r", "c", "r"}));
    EXPECT_EQ(Cells(d.rows[4], just), (Strings{"l", "r", "r", "r"}));
    EXPECT_EQ(Cells(d.rows[2], valign), (Strings{"b", "b", "t", "b"}));
    EXPECT_EQ(d.paras[0].just, 'r');
    // Frame rules above the headings, below them and right of the stub.
    // Rural's left rule runs from its heading down; Ruled's single rule
    // above is drawn and its double one below is not; Sum's rules frame the
    // whole row.
    const Strings rules[] = {{"rt", "t", "t", "t"}, {"br", "b", "bl", "b"}, {"r", "-", "lt", "-"},
                             {"r", "-", "l", "-"}, {"blr", "b", "bl", "b"}};
    for (std::size_t r = 0; r < 5; ++r) EXPECT_EQ(Cells(d.rows[r], borders), rules[r]) << "row " << r;
}

TEST_F(RtfDocumentTest, CaptionsIndentedByStubLevelInTheStub) {
    const Doc d = Write(Load("[Table]\nSize=3, 1\n[Column]\nText=C\n[RowGroup]\nText=Country\n[RowGroup]\nText=Region\n"
                             "[Row]\nText=Town\nData=1\n[EndGroup]\n[Row]\nText=Rest\nData=2\n[EndGroup]\n"
                             "[Row]\nText=World\nData=3\n"));
    ASSERT_EQ(d.rows.size(), 4u);
    // One em (twenty half-points = 200 twips) per level; a data row at the
    // top level is not indented, however deep the stub.
    auto indents = [](const Row& r, std::size_t c) {
        std::string s;
        for (const Para& p : r.cells[c]) s += (s.empty() ? "" : "/") + p.text + " " + std::to_string(p.li);
        return s;
    };
    EXPECT_EQ(Cells(d.rows[1], indents)[0], "Country 0/Region 200/Town 400");
    EXPECT_EQ(Cells(d.rows[2], indents)[0], "Rest 200");
    EXPECT_EQ(Cells(d.rows[3], indents)[0], "World 0");
}

TEST_F(RtfDocumentTest, FontSizeAndPage) {
    Doc d = Write(Load(kTable));
    EXPECT_EQ(d.font, "DejaVu Sans");
    EXPECT_EQ(d.sizes, std::set<int>{20});
    EXPECT_EQ(std::vector<int>({d.paperw, d.paperh, d.margl}), std::vector<int>({12240, 15840, 1440}));
    EXPECT_FALSE(d.landscape);

    kavo::CTable& t = Load(kTable);
    GiveFont(*t.GetStyleRegistry(), "Liberation Serif", 12);
    RtfPage a4;
    a4.nWidth = 16838;
    a4.nHeight = 11906;
    a4.nMargin = 720;
    d = Write(t, 0, a4);
    EXPECT_EQ(d.font, "Liberation Serif");
    EXPECT_EQ(d.sizes, std::set<int>{24});
    EXPECT_EQ(d.rows.at(2).cells[0][1].li, 240);  // one em of twelve points
    EXPECT_EQ(std::vector<int>({d.paperw, d.paperh, d.margl}), std::vector<int>({16838, 11906, 720}));
    EXPECT_TRUE(d.landscape);
}

TEST_F(RtfDocumentTest, WideTablesAreNarrowedToThePageWhenTheyCanBe) {
    // Five columns fit beside a narrowed stub only.
    std::string text = "[Table]\nSize=1, 5\n";
    for (int c = 0; c < 5; ++c) text += "[Column]\nText=Households with children under five\n";
    kavo::CTable& t = Load(text + "[Row]\nText=A row caption that is rather long for a stub\nData=1, 2, 3, 4, 5\n");
    RtfDocument rtf;
    const int nWidth = rtf.AddTable(t, 0);
    EXPECT_LE(nWidth, rtf.PrintableWidth());
    const Doc d = Read(rtf.Text());
    ASSERT_EQ(d.rows.size(), 2u);
    // Boundaries count from the left margin, the table starting a cell
    // padding to its left so that the texts line up with the margin.
    EXPECT_LT(d.rows[0].left, 0);
    EXPECT_EQ(d.rows[0].defs.back().x - d.rows[0].left, nWidth);

    std::string wide = "[Table]\nSize=1, 40\n", data;
    for (int c = 0; c < 40; ++c) wide += "[Column]\nText=C\n", data += (c ? ", " : "") + std::string("123456789");
    RtfDocument rtf2;
    EXPECT_GT(rtf2.AddTable(Load(wide + "[Row]\nText=R\nData=" + data + "\n"), 0), rtf2.PrintableWidth());
}

TEST_F(RtfDocumentTest, TablesFollowEachOtherAfterABlankParagraph) {
    // The second table has a title only, the third rows without columns.
    const std::string text = std::string(kTable) + "[Table]\nSize=0, 0\n[Title]\nText=Only a title\n"
                                                   "[Table]\nSize=2, 0\n[Row]\nText=A\n[Row]\nText=B\n";
    RtfDocument rtf;
    for (int i = 0; i < 3; ++i) rtf.AddTable(Load(text, i), 0);
    EXPECT_EQ(rtf.GetNumTables(), 3);
    const Doc d = Read(rtf.Text());
    EXPECT_EQ(d.depth, 0);
    EXPECT_EQ(d.order, "PPRRRRRP" "P" "PP" "P" "RRP");
    EXPECT_EQ(Texts(d.paras), (Strings{"Title {1}", "Head", "Foot \\ end", "", "Only a title", "", "", ""}));
    ASSERT_EQ(d.rows.size(), 7u);
    EXPECT_EQ(Cells(d.rows[5]), Strings{"A"});
    EXPECT_EQ(Cells(d.rows[6]), Strings{"B"});
    // Written straight to a file, the document is the same.
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(rtf.WriteTo(f));
    std::string written(static_cast<std::size_t>(std::ftell(f)), '\0');
    std::rewind(f);
    EXPECT_EQ(std::fread(&written[0], 1, written.size(), f), written.size());
    std::fclose(f);
    EXPECT_EQ(written, rtf.Text());
}

}  // namespace
}  // namespace kavotool

#else

TEST(RtfWriter, NeedsTheProgram) { GTEST_SKIP() << "the kavotbl program was not built (it needs Cairo and nlohmann-json)"; }

#endif
