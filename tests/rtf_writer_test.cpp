// The RTF writer of the kavotbl program: text escaping for code page 1252,
// and documents read back with a small RTF reader (rows, cell boundaries,
// merges, indents, justification, rules, paragraphs around the table).
#include <gtest/gtest.h>

#if defined(KAVOTBL_HAVE_TOOLS)

#include <cctype>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common.h"
#include "kavotbl/file/document.h"
#include "rtf_writer.h"

namespace kavotool {
namespace {

// ------------------------------------------------------------------ reader

struct Para {
    std::string text;  // UTF-8
    int li = 0;
    char just = 'l';
    std::set<char> rules;  // paragraph borders: t, l, b, r
};

struct CellDef {
    int x = 0;
    bool mergeFirst = false, mergeNext = false;
    std::set<char> borders;
    char valign = 't';
};

struct Row {
    bool header = false;
    int left = 0;  // \trleft
    std::vector<CellDef> defs;
    std::vector<std::vector<Para>> cells;
};

struct Doc {
    bool balanced = true;
    std::string font;
    std::set<int> fontSizes;
    int paperw = 0, paperh = 0, margl = 0;
    bool landscape = false;
    std::vector<Para> paras;   // outside tables, in order
    std::vector<Row> rows;
    std::string order;         // 'P' for a paragraph outside a table, 'R' for a row
};

void AppendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The few bytes of code page 1252 that the tests use beyond Latin-1.
unsigned FromCp1252(unsigned b) {
    switch (b) {
    case 0x80: return 0x20AC;
    case 0x93: return 0x201C;
    case 0x94: return 0x201D;
    case 0x96: return 0x2013;
    case 0x97: return 0x2014;
    default: return b;
    }
}

// Reads the RTF that the writer produces: enough of the format to see what
// a word processor sees.
Doc Read(const std::string& rtf) {
    Doc d;
    int depth = 0;
    int skipDepth = -1;   // inside a destination that is not text
    int fontDepth = -1;   // inside the font table
    Para cur;
    bool intbl = false;
    Row row;
    std::vector<Para> cell;
    CellDef def;
    char pendingPara = 0, pendingCell = 0;
    unsigned highSurrogate = 0;
    bool bSkipFallback = false;
    auto text = [&](unsigned cp) {
        if (skipDepth >= 0) return;
        if (fontDepth >= 0) {
            if (cp != ';') AppendUtf8(d.font, cp);
            return;
        }
        if (bSkipFallback) {
            bSkipFallback = false;
            return;
        }
        AppendUtf8(cur.text, cp);
    };
    auto endPara = [&]() {
        if (intbl) {
            cell.push_back(cur);
        } else {
            d.paras.push_back(cur);
            d.order += 'P';
        }
        cur.text.clear();
    };
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{') {
            ++depth;
            continue;
        }
        if (c == '}') {
            if (depth == skipDepth) skipDepth = -1;
            if (depth == fontDepth) fontDepth = -1;
            if (--depth < 0) d.balanced = false;
            continue;
        }
        if (c == '\r' || c == '\n') continue;
        if (c != '\\') {
            text(static_cast<unsigned char>(c));
            continue;
        }
        if (++i >= rtf.size()) break;
        const char s = rtf[i];
        if (s == '\\' || s == '{' || s == '}') {
            text(static_cast<unsigned char>(s));
            continue;
        }
        if (s == '*') {
            if (skipDepth < 0) skipDepth = depth;
            continue;
        }
        if (s == '\'') {
            text(FromCp1252(static_cast<unsigned>(std::stoi(rtf.substr(i + 1, 2), nullptr, 16))));
            i += 2;
            continue;
        }
        std::string word;
        while (i < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[i]))) word += rtf[i++];
        std::string num;
        if (i < rtf.size() && (rtf[i] == '-' || std::isdigit(static_cast<unsigned char>(rtf[i])))) {
            num += rtf[i++];
            while (i < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[i]))) num += rtf[i++];
        }
        if (i < rtf.size() && rtf[i] != ' ') --i;  // the delimiter belongs to the text
        const int n = num.empty() ? 0 : std::stoi(num);
        if (word == "fonttbl") fontDepth = depth;
        else if (word == "colortbl") skipDepth = depth;
        else if (skipDepth >= 0) continue;
        else if (word == "u") {
            const unsigned unit = static_cast<unsigned>(n < 0 ? n + 65536 : n);
            if (unit >= 0xD800 && unit < 0xDC00) {
                highSurrogate = unit;
            } else if (unit >= 0xDC00 && unit < 0xE000) {
                text(0x10000 + ((highSurrogate - 0xD800) << 10) + (unit - 0xDC00));
            } else {
                text(unit);
            }
            bSkipFallback = true;
        } else if (word == "pard") cur = Para(), intbl = false;
        else if (word == "intbl") intbl = true;
        else if (word == "li") cur.li = n;
        else if (word == "ql" || word == "qc" || word == "qr") cur.just = word[1];
        else if (word == "brdrt" || word == "brdrl" || word == "brdrb" || word == "brdrr") pendingPara = word[4];
        else if (word == "clbrdrt" || word == "clbrdrl" || word == "clbrdrb" || word == "clbrdrr")
            pendingCell = word[6];
        else if (word == "brdrs") {
            if (pendingCell) def.borders.insert(pendingCell);
            else if (pendingPara) cur.rules.insert(pendingPara);
            pendingCell = pendingPara = 0;
        } else if (word == "par") endPara();
        else if (word == "cell") {
            endPara();
            row.cells.push_back(cell);
            cell.clear();
        } else if (word == "row") {
            d.rows.push_back(row);
            d.order += 'R';
            row = Row();
        } else if (word == "trowd") row = Row();
        else if (word == "trhdr") row.header = true;
        else if (word == "trleft") row.left = n;
        else if (word == "clmgf") def.mergeFirst = true;
        else if (word == "clmrg") def.mergeNext = true;
        else if (word == "clvertalt" || word == "clvertalc" || word == "clvertalb") def.valign = word[8];
        else if (word == "cellx") {
            def.x = n;
            row.defs.push_back(def);
            def = CellDef();
        } else if (word == "tab") text('\t');
        else if (word == "line") text('\n');
        else if (word == "fs") d.fontSizes.insert(n);
        else if (word == "paperw") d.paperw = n;
        else if (word == "paperh") d.paperh = n;
        else if (word == "margl") d.margl = n;
        else if (word == "landscape") d.landscape = true;
    }
    if (depth != 0) d.balanced = false;
    return d;
}

std::vector<std::string> Texts(const std::vector<Para>& paras) {
    std::vector<std::string> v;
    for (const Para& p : paras) v.push_back(p.text);
    return v;
}

// ------------------------------------------------------------------ text

TEST(RtfText, BackslashAndBracesAreEscaped) {
    std::string out;
    AppendRtfText(out, "a\\b{c}d");
    EXPECT_EQ(out, "a\\\\b\\{c\\}d");
}

TEST(RtfText, TabsAndLineBreaksBecomeControlWordsAndOtherControlsVanish) {
    std::string out;
    AppendRtfText(out, "x\ty\r\nz\rw\x01v\x7f");
    EXPECT_EQ(out, "x\\tab y\\line z\\line wv");
}

TEST(RtfText, Utf8WithinTheCodePageBecomesItsBytes) {
    std::string out;
    AppendRtfText(out, "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D");  // café € “q”
    EXPECT_EQ(out, "caf\\'e9 \\'80 \\'93q\\'94");
}

TEST(RtfText, Utf8BeyondTheCodePageBecomesUnicodeWithAFallback) {
    std::string out;
    AppendRtfText(out, "\xE4\xBA\xBA");  // U+4EBA
    EXPECT_EQ(out, "\\u20154?");
    out.clear();
    AppendRtfText(out, "\xEF\xAC\x81");  // U+FB01, above 32767: a negative number
    EXPECT_EQ(out, "\\u-1279?");
    out.clear();
    AppendRtfText(out, "\xF0\x9F\x98\x80");  // U+1F600: D83D DE00
    EXPECT_EQ(out, "\\u-10179?\\u-8704?");
}

TEST(RtfText, BytesThatAreNotUtf8AreReadAsCodePage1252) {
    std::string out;
    AppendRtfText(out, "Caf\xE9 \x80");
    EXPECT_EQ(out, "Caf\\'e9 \\'80");
    out.clear();
    AppendRtfText(out, "\x81");  // undefined in the code page
    EXPECT_EQ(out, "\\u-3?");
    out.clear();
    AppendRtfText(out, "\xC0\xAF");  // an overlong slash is no UTF-8
    EXPECT_EQ(out, "\\'c0\\'af");
    out.clear();
    AppendRtfText(out, "\xED\xA0\x80");  // an encoded surrogate neither
    EXPECT_EQ(out, "\\'ed\\'a0\\'80");
    out.clear();
    AppendRtfText(out, "ab\xE2\x82");  // cut short
    EXPECT_EQ(out, "ab\\'e2\\'82");
}

TEST(RtfText, CodePageTextBecomesUtf8AndUtf8StaysAsItIs) {
    EXPECT_EQ(TextToUtf8("\xE9\x80"), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(TextToUtf8("\x8D"), "\xEF\xBF\xBD");
    EXPECT_EQ(TextToUtf8("\xC3\xA9t\xC3\xA9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(DecodeText("A\xC3\xA9"), std::u32string(U"A\u00E9"));
}

// ------------------------------------------------------------------ documents

// Residence spans Urban and Rural; Total stands alone. "All" groups One and
// Two; Sum is a row of its own.
const char kTable[] = R"([Style]
Label=Ruled
HorJust=Center
VertJust=Top
LineTop=Single
LineBottom=Double

[Style]
Label=Edge
HorJust=Left
BorderLeft=Single
BorderBottom=Single

[Format]
Label=Hide
Hidden=Yes

[Format]
Label=Dots
ThousandSep=.

[Table]
Size=3, 3
Name=T

[Title]
Text=Title {1}

[Heading]
Text=Head

[Footing]
Text=Foot \ end

[StubHead]
Text=Stub

[ColumnGroup]
Text=Residence

[Column]
Text=Urban
CellFormat=Dots

[Column]
Text=Rural
Style=Edge
[EndGroup]

[Column]
Text=Total

[RowGroup]
Text=All

[Row]
Text=One
CellStyle=1, Ruled
Data=1, 2, 3

[Row]
Text=Two
CellFormat=0, Hide
Data=4, 5, 9
[EndGroup]

[Row]
Text=Sum
Style=Edge
Data=5, 7, 12
)";

class RtfDocumentTest : public ::testing::Test {
protected:
    kavo::CTableDocument& Load(const std::string& text) {
        docs.push_back(std::make_unique<kavo::CTableDocument>());
        EXPECT_EQ(docs.back()->LoadText(text), 1);
        return *docs.back();
    }
    static Doc Write(kavo::CTable& table, int bBlockedOnly = 0, RtfPage page = RtfPage()) {
        RtfDocument rtf(page);
        rtf.AddTable(table, bBlockedOnly);
        return Read(rtf.Text());
    }
    static std::vector<std::string> CellTexts(const Row& row) {
        std::vector<std::string> v;
        for (const auto& c : row.cells) {
            std::string s;
            for (const Para& p : c) s += (s.empty() ? "" : "/") + p.text;
            v.push_back(s);
        }
        return v;
    }
    std::vector<std::unique_ptr<kavo::CTableDocument>> docs;
};

TEST_F(RtfDocumentTest, OneRowPerGridRowWithTheStubAsOneColumn) {
    kavo::CTableDocument& doc = Load(kTable);
    const Doc d = Write(*doc.GetTable(0));
    ASSERT_TRUE(d.balanced);
    // Two heading rows and three data rows; the stub and three data columns.
    ASSERT_EQ(d.rows.size(), 5u);
    for (const Row& r : d.rows) {
        ASSERT_EQ(r.defs.size(), 4u);
        ASSERT_EQ(r.cells.size(), 4u);
    }
    EXPECT_EQ(CellTexts(d.rows[0]), (std::vector<std::string>{"", "Residence", "", ""}));
    EXPECT_EQ(CellTexts(d.rows[1]), (std::vector<std::string>{"Stub", "Urban", "Rural", "Total"}));
    EXPECT_EQ(CellTexts(d.rows[2]), (std::vector<std::string>{"All/One", "1", "2", "3"}));
    // The hidden format leaves an empty cell.
    EXPECT_EQ(CellTexts(d.rows[3]), (std::vector<std::string>{"Two", "", "5", "9"}));
    EXPECT_EQ(CellTexts(d.rows[4]), (std::vector<std::string>{"Sum", "5", "7", "12"}));
    EXPECT_TRUE(d.rows[0].header && d.rows[1].header);
    EXPECT_FALSE(d.rows[2].header || d.rows[3].header || d.rows[4].header);
}

TEST_F(RtfDocumentTest, TitleAndHeadingAboveTheTableAndFootingBelow) {
    kavo::CTableDocument& doc = Load(kTable);
    const Doc d = Write(*doc.GetTable(0));
    EXPECT_EQ(d.order, "PPRRRRRP");
    EXPECT_EQ(Texts(d.paras), (std::vector<std::string>{"Title {1}", "Head", "Foot \\ end"}));
}

TEST_F(RtfDocumentTest, SpannerMergedAcrossItsDataColumns) {
    kavo::CTableDocument& doc = Load(kTable);
    const Doc d = Write(*doc.GetTable(0));
    ASSERT_EQ(d.rows.size(), 5u);
    const Row& top = d.rows[0];
    EXPECT_FALSE(top.defs[0].mergeFirst || top.defs[0].mergeNext);
    EXPECT_TRUE(top.defs[1].mergeFirst);
    EXPECT_TRUE(top.defs[2].mergeNext);
    EXPECT_FALSE(top.defs[3].mergeFirst || top.defs[3].mergeNext);
    for (std::size_t r = 1; r < d.rows.size(); ++r)
        for (const CellDef& c : d.rows[r].defs) EXPECT_FALSE(c.mergeFirst || c.mergeNext) << "row " << r;
}

TEST_F(RtfDocumentTest, BoundariesGrowAndDataColumnsShareOneWidth) {
    kavo::CTableDocument& doc = Load(kTable);
    const Doc d = Write(*doc.GetTable(0));
    ASSERT_EQ(d.rows.size(), 5u);
    for (const Row& r : d.rows) {
        for (std::size_t c = 0; c < r.defs.size(); ++c) EXPECT_EQ(r.defs[c].x, d.rows[0].defs[c].x);
        for (std::size_t c = 1; c < r.defs.size(); ++c) EXPECT_GT(r.defs[c].x, r.defs[c - 1].x);
    }
    const std::vector<CellDef>& defs = d.rows[0].defs;
    EXPECT_EQ(defs[2].x - defs[1].x, defs[3].x - defs[2].x);
    // The stub is wide enough for "Stub" and "One" with its indent.
    EXPECT_GT(defs[0].x, 200);
}

TEST_F(RtfDocumentTest, CaptionsIndentedByStubLevelInTheStub) {
    kavo::CTableDocument& doc = Load(R"([Table]
Size=3, 1
[Column]
Text=C
[RowGroup]
Text=Country
[RowGroup]
Text=Region
[Row]
Text=Town
Data=1
[EndGroup]
[Row]
Text=Rest
Data=2
[EndGroup]
[Row]
Text=World
Data=3
)");
    const Doc d = Write(*doc.GetTable(0));
    ASSERT_EQ(d.rows.size(), 4u);
    const auto& first = d.rows[1].cells[0];
    ASSERT_EQ(first.size(), 3u);
    // One em (twenty half-points = 200 twips) per level.
    EXPECT_EQ(first[0].text, "Country");
    EXPECT_EQ(first[0].li, 0);
    EXPECT_EQ(first[1].text, "Region");
    EXPECT_EQ(first[1].li, 200);
    EXPECT_EQ(first[2].text, "Town");
    EXPECT_EQ(first[2].li, 400);
    ASSERT_EQ(d.rows[2].cells[0].size(), 1u);
    EXPECT_EQ(d.rows[2].cells[0][0].text, "Rest");
    EXPECT_EQ(d.rows[2].cells[0][0].li, 200);
    // A data row at the top level is not indented, however deep the stub.
    EXPECT_EQ(d.rows[3].cells[0][0].text, "World");
    EXPECT_EQ(d.rows[3].cells[0][0].li, 0);
}

TEST_F(RtfDocumentTest, JustificationAndVerticalAlignmentFromEachStyle) {
    kavo::CTableDocument& doc = Load(kTable);
    const Doc d = Write(*doc.GetTable(0));
    ASSERT_EQ(d.rows.size(), 5u);
    // The default styles justify right and align at the bottom.
    EXPECT_EQ(d.rows[1].cells[1][0].just, 'r');
    EXPECT_EQ(d.rows[2].cells[1][0].just, 'r');
    EXPECT_EQ(d.rows[2].defs[1].valign, 'b');
    // The cell styled Ruled: centred, at the top.
    EXPECT_EQ(d.rows[2].cells[2][0].just, 'c');
    EXPECT_EQ(d.rows[2].defs[2].valign, 't');
    // Edge justifies left: the column Rural and the row Sum.
    EXPECT_EQ(d.rows[1].cells[2][0].just, 'l');
    EXPECT_EQ(d.rows[4].cells[0][0].just, 'l');
    EXPECT_EQ(d.paras[0].just, 'r');
}

TEST_F(RtfDocumentTest, SingleRulesBecomeBordersAndOtherKindsDoNot) {
    kavo::CTableDocument& doc = Load(kTable);
    const Doc d = Write(*doc.GetTable(0));
    ASSERT_EQ(d.rows.size(), 5u);
    // The Ruled cell has a single rule on top; its double rule below is not drawn.
    EXPECT_TRUE(d.rows[2].defs[2].borders.count('t'));
    EXPECT_FALSE(d.rows[2].defs[2].borders.count('b'));
    EXPECT_FALSE(d.rows[2].defs[3].borders.count('t'));
    // Rural's left border runs from its heading down to the foot, not above it.
    EXPECT_FALSE(d.rows[0].defs[2].borders.count('l'));
    for (std::size_t r = 1; r < 5; ++r) EXPECT_TRUE(d.rows[r].defs[2].borders.count('l')) << "row " << r;
    EXPECT_FALSE(d.rows[3].defs[3].borders.count('l'));
    // Sum's border rectangle reaches across the table: its bottom rule too.
    for (const CellDef& c : d.rows[4].defs) EXPECT_TRUE(c.borders.count('b'));
    EXPECT_TRUE(d.rows[4].defs[0].borders.count('l'));
    EXPECT_FALSE(d.rows[3].defs[0].borders.count('l'));
}

TEST_F(RtfDocumentTest, FrameRulesBelowTitleRightOfStubAndBelowHeading) {
    kavo::CTableDocument& doc = Load(kTable);
    const Doc d = Write(*doc.GetTable(0));
    ASSERT_EQ(d.rows.size(), 5u);
    for (const CellDef& c : d.rows[0].defs) EXPECT_TRUE(c.borders.count('t'));
    for (const CellDef& c : d.rows[1].defs) EXPECT_TRUE(c.borders.count('b'));
    for (const Row& r : d.rows) EXPECT_TRUE(r.defs[0].borders.count('r'));
    EXPECT_FALSE(d.rows[2].defs[1].borders.count('t'));
    EXPECT_FALSE(d.rows[2].defs[1].borders.count('b'));
    EXPECT_FALSE(d.rows[3].defs[3].borders.count('r'));
}

TEST_F(RtfDocumentTest, BlockOnlyKeepsTheBlockAndSpansOnlyItsColumns) {
    kavo::CTableDocument& doc = Load(kTable);
    kavo::CTable& t = *doc.GetTable(0);
    Selection sel;
    ASSERT_TRUE(ParseSelection("0-1:1-2", sel));
    BlockSelection(t, sel);
    const Doc d = Write(t, 1);
    ASSERT_EQ(d.rows.size(), 4u);
    for (const Row& r : d.rows) ASSERT_EQ(r.defs.size(), 3u);
    // Residence keeps only Rural below it: no merge.
    EXPECT_EQ(CellTexts(d.rows[0]), (std::vector<std::string>{"", "Residence", ""}));
    EXPECT_FALSE(d.rows[0].defs[1].mergeFirst);
    EXPECT_EQ(CellTexts(d.rows[1]), (std::vector<std::string>{"Stub", "Rural", "Total"}));
    EXPECT_EQ(CellTexts(d.rows[2]), (std::vector<std::string>{"All/One", "2", "3"}));
    EXPECT_EQ(CellTexts(d.rows[3]), (std::vector<std::string>{"Two", "5", "9"}));

    kavo::CTableDocument& doc2 = Load(kTable);
    kavo::CTable& t2 = *doc2.GetTable(0);
    ASSERT_TRUE(ParseSelection("2:0-1", sel));
    BlockSelection(t2, sel);
    const Doc d2 = Write(t2, 1);
    ASSERT_EQ(d2.rows.size(), 3u);
    EXPECT_TRUE(d2.rows[0].defs[1].mergeFirst);
    EXPECT_TRUE(d2.rows[0].defs[2].mergeNext);
    EXPECT_EQ(CellTexts(d2.rows[2]), (std::vector<std::string>{"Sum", "5", "7"}));
}

TEST_F(RtfDocumentTest, CellsAreFormattedBeforeTheyAreWritten) {
    kavo::CTableDocument& doc = Load(kTable);
    kavo::CTable& t = *doc.GetTable(0);
    t.SetCellData(0, 0, 1234567);
    const Doc d = Write(t);
    ASSERT_EQ(d.rows.size(), 5u);
    EXPECT_EQ(d.rows[2].cells[1][0].text, "1.234.567");
}

TEST_F(RtfDocumentTest, TextsWithRtfCharactersAndNonAsciiReadBackUnchanged) {
    kavo::CTableDocument& doc = Load(
        "[Table]\nSize=1, 1\n[Title]\nText=Caf\xC3\xA9 {\\} \xE4\xBA\xBA \xF0\x9F\x98\x80\n[Column]\nText=\\col{}\n"
        "[Row]\nText=Row \xE2\x80\x93 one\nData=1\n");
    const Doc d = Write(*doc.GetTable(0));
    ASSERT_TRUE(d.balanced);
    ASSERT_EQ(d.rows.size(), 2u);
    EXPECT_EQ(d.paras[0].text, "Caf\xC3\xA9 {\\} \xE4\xBA\xBA \xF0\x9F\x98\x80");
    EXPECT_EQ(d.rows[0].cells[1][0].text, "\\col{}");
    EXPECT_EQ(d.rows[1].cells[0][0].text, "Row \xE2\x80\x93 one");
}

TEST_F(RtfDocumentTest, RegistryFontAndSizeOrTheDefaultFace) {
    kavo::CTableDocument& plain = Load(kTable);
    Doc d = Write(*plain.GetTable(0));
    EXPECT_EQ(d.font, "DejaVu Sans");
    EXPECT_EQ(d.fontSizes, std::set<int>{20});

    kavo::CTableDocument& doc = Load(kTable);
    GiveFont(doc.GetRegistry(), "Liberation Serif", 12);
    d = Write(*doc.GetTable(0));
    EXPECT_EQ(d.font, "Liberation Serif");
    EXPECT_EQ(d.fontSizes, std::set<int>{24});
    // Indents follow the size: one em of twelve points.
    ASSERT_EQ(d.rows.size(), 5u);
    EXPECT_EQ(d.rows[2].cells[0][1].li, 240);
}

TEST_F(RtfDocumentTest, PaperSizeAndOrientation) {
    kavo::CTableDocument& doc = Load(kTable);
    RtfPage page;
    page.nWidth = 16838;
    page.nHeight = 11906;
    page.nMargin = 720;
    const Doc d = Write(*doc.GetTable(0), 0, page);
    EXPECT_EQ(d.paperw, 16838);
    EXPECT_EQ(d.paperh, 11906);
    EXPECT_EQ(d.margl, 720);
    EXPECT_TRUE(d.landscape);
    EXPECT_FALSE(Write(*doc.GetTable(0)).landscape);
}

TEST_F(RtfDocumentTest, WideTablesAreNarrowedToThePageWhenTheyCanBe) {
    // Five columns fit beside a narrowed stub only.
    std::string text = "[Table]\nSize=1, 5\n";
    for (int c = 0; c < 5; ++c) text += "[Column]\nText=Households with children under five\n";
    text += "[Row]\nText=A row caption that is rather long for a stub\nData=1, 2, 3, 4, 5\n";
    kavo::CTableDocument& doc = Load(text);
    RtfDocument rtf;
    const int nWidth = rtf.AddTable(*doc.GetTable(0), 0);
    EXPECT_LE(nWidth, rtf.PrintableWidth());
    const Doc d = Read(rtf.Text());
    ASSERT_EQ(d.rows.size(), 2u);
    // Boundaries count from the left margin, the table starting a cell
    // padding to its left so that the texts line up with the margin.
    EXPECT_LT(d.rows[0].left, 0);
    EXPECT_EQ(d.rows[0].defs.back().x - d.rows[0].left, nWidth);

    std::string wide = "[Table]\nSize=1, 40\n";
    std::string data;
    for (int c = 0; c < 40; ++c) {
        wide += "[Column]\nText=C\n";
        data += (c ? ", " : "") + std::string("123456789");
    }
    wide += "[Row]\nText=R\nData=" + data + "\n";
    kavo::CTableDocument& doc2 = Load(wide);
    RtfDocument rtf2;
    EXPECT_GT(rtf2.AddTable(*doc2.GetTable(0), 0), rtf2.PrintableWidth());
}

TEST_F(RtfDocumentTest, SeveralTablesFollowEachOtherAfterABlankParagraph) {
    kavo::CTableDocument& doc = Load(std::string(kTable) + "\n[Table]\nSize=1, 1\n[Title]\nText=Second\n"
                                                           "[Column]\nText=X\n[Row]\nText=Y\nData=8\n");
    ASSERT_EQ(doc.GetNumTables(), 2);
    RtfDocument rtf;
    rtf.AddTable(*doc.GetTable(0), 0);
    rtf.AddTable(*doc.GetTable(1), 0);
    EXPECT_EQ(rtf.GetNumTables(), 2);
    // Written straight to a file, the document is the same.
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(rtf.WriteTo(f));
    std::string written(static_cast<std::size_t>(std::ftell(f)), '\0');
    std::rewind(f);
    EXPECT_EQ(std::fread(&written[0], 1, written.size(), f), written.size());
    std::fclose(f);
    EXPECT_EQ(written, rtf.Text());
    const Doc d = Read(rtf.Text());
    ASSERT_TRUE(d.balanced);
    EXPECT_EQ(d.order, "PPRRRRRPPPRRP");
    EXPECT_EQ(Texts(d.paras), (std::vector<std::string>{"Title {1}", "Head", "Foot \\ end", "", "Second", ""}));
    ASSERT_EQ(d.rows.size(), 7u);
    EXPECT_EQ(CellTexts(d.rows[6]), (std::vector<std::string>{"Y", "8"}));
}

TEST_F(RtfDocumentTest, ATableWithoutRowsOrColumnsIsOnlyItsParagraphs) {
    kavo::CTableDocument& doc = Load("[Table]\nSize=0, 0\n[Title]\nText=Only a title\n");
    const Doc d = Write(*doc.GetTable(0));
    ASSERT_TRUE(d.balanced);
    EXPECT_TRUE(d.rows.empty());
    EXPECT_EQ(Texts(d.paras), (std::vector<std::string>{"Only a title", ""}));
}

TEST_F(RtfDocumentTest, RowsWithoutColumnsKeepTheirStub) {
    kavo::CTableDocument& doc = Load("[Table]\nSize=2, 0\n[Row]\nText=A\n[Row]\nText=B\n");
    const Doc d = Write(*doc.GetTable(0));
    ASSERT_EQ(d.rows.size(), 2u);
    EXPECT_EQ(CellTexts(d.rows[0]), std::vector<std::string>{"A"});
    EXPECT_EQ(CellTexts(d.rows[1]), std::vector<std::string>{"B"});
}

}  // namespace
}  // namespace kavotool

#else

TEST(RtfWriter, NeedsTheProgram) { GTEST_SKIP() << "the kavotbl program was not built (it needs Cairo and nlohmann-json)"; }

#endif
