// Writing tables: default lines left out, sections and their order, the
// splitting of "Data" lines, single-cell lines, saves of the block only.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "file_test_support.h"
#include "kavotbl/host/recording_dc.h"

using namespace file_test;
using kavo::CTable;

namespace {

const char* const kStyles = "[Style]\nLabel=Bold\n[Style]\nLabel=Italic\n[Format]\nLabel=Pct\nDecimals=1\n";

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class WriterTest : public ::testing::Test {
protected:
    std::unique_ptr<Loaded> Read(const std::string& body) { return Load(kStyles + body); }
    MessageCapture capture;
};

struct WriteCase {
    const char* body;
    const char* key;  // the values of this key, or the whole text when null
    Strings expected;
    bool bReloads = true;  // to the same cell styles and formats
};

// clang-format off
const WriteCase kWrites[] = {
    {"[Table]\nAreaLevels=3\nName=Census\nStyle=Bold\n", nullptr,
     {"\n[Table]\nSize=0, 0\nAreaLevels=3\nName=Census\nStyle=Bold\n"}},
    // Pieces in their fixed order; a default style or an empty text is left out.
    {"[Table]\n[Footing]\nStyle=italic\n[Heading]\nText=H\n[StubHead]\nText=S\n[Title]\nText=T\n", nullptr,
     {"\n[Table]\nSize=0, 0\n\n[Title]\nText=T\n\n[StubHead]\nText=S\n\n[Heading]\nText=H\n\n[Footing]\n"
      "Style=Italic\n"}},
    // A spanner ends right after its last column; an empty one is a column.
    {"[Table]\n[ColumnGroup]\nText=Residence\nCellFormat=Pct\n[Column]\nText=Urban\n[Column]\nText=Rural\n"
     "Style=Bold\nCellStyle=Italic\n[EndGroup]\n[ColumnGroup]\nText=Alone\n[EndGroup]\n", nullptr,
     {"\n[Table]\nSize=0, 3\n\n[ColumnGroup]\nText=Residence\nCellFormat=Pct\n\n[Column]\nText=Urban\n\n"
      "[Column]\nText=Rural\nStyle=Bold\nCellStyle=Italic\n[EndGroup]\n\n[Column]\nText=Alone\n"
      "Style=ColumnGroup\n"}},
    // Row lines in their fixed order, area codes always eight; a text that
    // does not carry the indent of its codes follows them, so that it reads
    // back unindented.
    {"[Table]\n[Column]\n[Column]\n[RowGroup]\nText=G\nCellStyle=Bold\n[Row]\nData=1, 2\nCellFormat=Pct\n"
     "CellStyle=Italic\nStyle=Bold\nAreaName=Here\nAreaCodes=3\nText=R\nCellFormat=1, Pct\n"
     "CellStyle=0, Bold\n[EndGroup]\n", nullptr,
     {"\n[Table]\nSize=1, 2\n\n[Column]\n\n[Column]\n\n[RowGroup]\nText=G\nCellStyle=Bold\n\n[Row]\n"
      "AreaCodes=3, 0, 0, 0, 0, 0, 0, 0\nAreaName=Here\nText=R\nStyle=Bold\nCellStyle=Italic\nCellFormat=Pct\n"
      "CellStyle=0, Bold\nData=1, 2\n[EndGroup]\n"}},
    // Area lines go out whole even when empty, the text being the indent
    // alone; a row without values has an empty "Data" line.
    {"[Table]\n[Row]\nAreaCodes=1, 2\n[Row]\n", nullptr,
     {"\n[Table]\nSize=2, 0\n\n[Row]\nText=        \nAreaCodes=1, 2, 0, 0, 0, 0, 0, 0\nAreaName=\nData=\n\n"
      "[Row]\nData=\n"}},
    // A cell's "Default" style is written where the cell would inherit
    // another; no line for what the row gives...
    {"[Table]\n[Column]\nCellStyle=Italic\n[Row]\nCellStyle=Bold\nCellStyle=0, Default\n", "CellStyle",
     {"Italic", "Bold", "0, Default"}},
    {"[Table]\n[Column]\n[Column]\n[Row]\nCellStyle=Bold\nCellStyle=1, Bold\n", "CellStyle", {"Bold"}},
    {"[Table]\n[Column]\n[Column]\n[Row]\nCellFormat=Pct\nCellFormat=0, Pct\n", "CellFormat", {"Pct"}},
    // ... but a cell with its column's style under another row style keeps it.
    {"[Table]\n[Column]\nCellStyle=Italic\n[Column]\nCellStyle=Italic\n[Row]\nCellStyle=Bold\n"
     "CellStyle=0, Italic\n[Row]\nCellStyle=1, Italic\n", "CellStyle",
     {"Italic", "Italic", "Bold", "0, Italic"}},
};
// clang-format on

TEST_F(WriterTest, LinesAndTheirOrder) {
    for (const WriteCase& c : kWrites) {
        SCOPED_TRACE(c.body);
        auto doc = Read(c.body);
        const std::string saved = SaveTable((*doc)[0]);
        EXPECT_EQ(c.key ? Values(saved, c.key) : Strings{saved}, c.expected);
        if (!c.bReloads) continue;
        EXPECT_EQ(Cells((*Read(saved))[0], true), Cells((*doc)[0], true));
    }
}

TEST_F(WriterTest, DataLinesCloseBeforeTheyPassTwoHundredCharacters) {
    // A line counts 7 for the key, each value with its ", " and 10 to spare:
    // 31 values of 4 digits: 7 + 30 * 6 + 4 + 10 = 201 closes the line at 30;
    // 20 values of 20 characters: 7 + 8 * 22 + 20 + 10 = 213 closes it at 8;
    // 100 values of 1 digit: 7 + 61 * 3 + 1 + 10 = 201 closes it at 61.
    // clang-format off
    const struct {
        int nValues;
        std::string value;
        std::vector<std::size_t> counts;
    } cases[] = {{31, "1234", {30, 1}}, {20, "-1234567890123456789", {8, 8, 4}}, {100, "7", {61, 39}},
                 {30, "1234", {30}}, {61, "7", {61}}};
    // clang-format on
    for (const auto& c : cases) {
        std::string data;
        for (int i = 0; i < c.nValues; ++i) data += (i ? ", " : "") + c.value;
        auto doc = Load("[Table]\n" + Rep("[Column]\n", c.nValues) + "[Row]\nData=" + data + "\n");
        std::vector<std::size_t> counts;
        std::string joined;
        for (const std::string& v : Values(SaveTable((*doc)[0]), "Data")) {
            counts.push_back((v.size() + 2) / (c.value.size() + 2));
            joined += (joined.empty() ? "" : ", ") + v;
        }
        EXPECT_EQ(counts, c.counts) << c.nValues << " x " << c.value;
        EXPECT_EQ(joined, data);
    }
}

TEST_F(WriterTest, BlockOnlySavesTheRowsAndColumnsOfTheBlockWithTheirCaptionsAndSpanners) {
    // Columns: [Spanner: A, B, C], D; rows: [Group: r0, r1], r2. Each cell's
    // value is 10 * row + column; cell (1, 3) has its own style and (1, 1)
    // its own format.
    auto doc = Read(
        "[Table]\nName=T\n[Title]\nText=Title\n[ColumnGroup]\nText=Spanner\n[Column]\nText=A\n"
        "[Column]\nText=B\n[Column]\nText=C\n[EndGroup]\n[Column]\nText=D\n[RowGroup]\nText=Group\n"
        "[Row]\nText=r0\nData=0, 1, 2, 3\n[Row]\nText=r1\nCellStyle=3, Bold\nCellFormat=1, Pct\n"
        "Data=10, 11, 12, 13\n[EndGroup]\n[Row]\nText=r2\nData=20, 21, 22, 23\n");
    CTable& t = (*doc)[0];
    // Nothing blocked: nothing written, and the save says so.
    {
        kavo::CSpecFile out;
        out.OpenTextWrite();
        EXPECT_EQ(t.Save(out, 1), 0);
        EXPECT_EQ(out.GetText(), "");
        EXPECT_EQ(t.Save(out, 0), 1);
    }
    // Blocked data rows and columns alone (B and D, r1 and r2) take their
    // spanner and caption along; cell (1, 3) is the second cell written and
    // (1, 1) the first.
    kavo::CRectArray rects;
    t.GetColumn(1)->Block(rects, 1);
    t.GetColumn(3)->Block(rects, 1);
    t.GetRow(1)->Block(rects, 1);
    t.GetRow(2)->Block(rects, 1);
    const std::string saved = SaveTable(t, 1);
    EXPECT_EQ(saved,
              "\n[Table]\nSize=2, 2\nName=T\n\n[Title]\nText=Title\n\n[ColumnGroup]\nText=Spanner\n\n[Column]\n"
              "Text=B\n[EndGroup]\n\n[Column]\nText=D\n\n[RowGroup]\nText=Group\n\n[Row]\nText=r1\n"
              "CellFormat=0, Pct\nCellStyle=1, Bold\nData=11, 13\n[EndGroup]\n\n[Row]\nText=r2\nData=21, 23\n");
    EXPECT_EQ(Cells((*Read(saved))[0], true), "Default+Pct Bold/Default Default");
    // BlockParents on top changes nothing.
    t.BlockParents(rects, 1);
    EXPECT_EQ(SaveTable(t, 1), saved);

    // Blocked cells alone: a 2 x 3 block of cells (rows 0-1, columns 1-3)
    // saves those rows and columns; r0 and r1 share the group, B and C the
    // spanner. SelectBlock gives the same save and shades the same cells.
    t.ClearBlock(rects);
    for (int r = 0; r <= 1; ++r)
        for (int c = 1; c <= 3; ++c) t.GetCell(r, c)->Block(rects, 1);
    const std::string cells = SaveTable(t, 1);
    EXPECT_EQ(cells,
              "\n[Table]\nSize=2, 3\nName=T\n\n[Title]\nText=Title\n\n[ColumnGroup]\nText=Spanner\n\n[Column]\n"
              "Text=B\n\n[Column]\nText=C\n[EndGroup]\n\n[Column]\nText=D\n\n[RowGroup]\nText=Group\n\n[Row]\n"
              "Text=r0\nData=1, 2, 3\n\n[Row]\nText=r1\nCellFormat=0, Pct\nCellStyle=2, Bold\nData=11, 12, 13\n"
              "[EndGroup]\n");
    EXPECT_EQ(t.SelectBlock(1, 3, 0, 1, rects), 1);  // corners in either order
    EXPECT_EQ(SaveTable(t, 1), cells);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(t.GetCell(r, c)->IsBlocked(), r <= 1 && c >= 1 ? 1 : 0) << r << "," << c;
    EXPECT_EQ(t.GetColumn(0)->IsBlocked() + t.GetRow(2)->IsBlocked(), 0);
    EXPECT_EQ(t.GetColumnRoot()->GetChild(0)->IsBlocked(), 1);  // the spanner
    // A new block replaces the old one: whole rows only, every column.
    rects.RemoveAll();
    EXPECT_EQ(t.SelectBlock(2, 0, 2, 3, rects), 1);
    EXPECT_EQ(Values(SaveTable(t, 1), "Data"), (Strings{"20, 21, 22, 23"}));
    EXPECT_FALSE(t.GetRowRoot()->GetChild(0)->IsBlocked());  // the group lost its rows
    EXPECT_EQ(t.SelectBlock(0, 0, 3, 0, rects), 0);  // row 3 does not exist
    EXPECT_EQ(Values(SaveTable(t, 1), "Data"), (Strings{"20, 21, 22, 23"}));
    t.ClearBlock(rects);
    EXPECT_EQ(SaveTable(t, 1), "");
}

TEST_F(WriterTest, SavesTheTreeAsLoadedWhateverLayoutIsInForce) {
    // P over A, B and Q over C, D, E: at a printable width of 500 four
    // columns go on a page, so A, B, C and D, E share two pages and Q is cut
    // between them. The copy of Q that the printer layout adds is never
    // written, in any layout and after any way back.
    auto doc = Read(
        "[Table]\n[Title]\nText=T\n[ColumnGroup]\nText=P\n[Column]\nText=aaaaaaaaaaaa\n[Column]\n"
        "Text=bbbbbbbbbbbb\n[EndGroup]\n[ColumnGroup]\nText=Q\n[Column]\nText=cccccccccccc\n[Column]\n"
        "Text=dddddddddddd\n[Column]\nText=eeeeeeeeeeee\n[EndGroup]\n[Row]\nText=r\nData=1, 2, 3, 4, 5\n");
    CTable& t = (*doc)[0];
    const std::string loaded = SaveTable(t);
    kavo::CRecordingDC screen, printer(kavo::MM_TWIPS);
    const kavo::CRect page(0, 0, 500, -1000);
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"screen", [&] { t.LayoutTable(kavo::CRect(0, 0, 800, 600), &screen), t.BackupClient(1); }},
        {"printer", [&] { t.LayoutPrinter(page, &printer); }},
        {"printer again", [&] { t.LayoutPrinter(page, &printer); }},
        {"restore 1", [&] { t.RestoreClient(1); }},
        {"restore 0", [&] { t.RestoreClient(0); }},
        {"screen again", [&] { t.LayoutTable(kavo::CRect(0, 0, 800, 600), &screen); }},
    };
    for (const auto& step : steps) {
        step.second();
        EXPECT_EQ(SaveTable(t), loaded) << step.first;
    }
    EXPECT_EQ(t.GetNumHorzPages(), 2);
    EXPECT_EQ(Count(loaded, "[ColumnGroup]"), 2);
    // A save of the block in the printer layout writes no copy either.
    t.LayoutPrinter(page, &printer);
    kavo::CRectArray rects;
    t.GetColumn(4)->Block(rects, 1);
    EXPECT_EQ(Count(SaveTable(t, 1), "[ColumnGroup]"), 1);
    EXPECT_EQ(t.GetColumnRoot()->GetNumChildren(), 3);  // the copy is back after the save
}

}  // namespace

namespace {

// A document loaded, saved and loaded again: what each load shows of one
// table ("|"-joined Fields), and the messages of the reload.
struct RoundTrip {
    std::string first, second, saved;
    std::size_t nReloadMessages;
};

RoundTrip LoadSaveLoad(const std::string& text, const std::string& what) {
    kavo::CTableDocument doc, again;
    EXPECT_EQ(doc.LoadText(text), 1);
    const std::string saved = doc.SaveText();
    EXPECT_EQ(again.LoadText(saved), 1);
    if (doc.GetNumTables() != 1 || again.GetNumTables() != 1) return {};
    return {Fields(*doc.GetTable(0), what), Fields(*again.GetTable(0), what), saved, again.GetMessages().size()};
}

}  // namespace

// What one load gives, the next load of what the writer made of it gives too,
// without a message.
TEST_F(WriterTest, LabelsStylesAndFormatsSurviveARoundTrip) {
    const struct {
        std::string text;
        const char* what;
        const char* expected;
    } cases[] = {
        // A cell's "Default" format under a column's "P2" stays "Default".
        {"[Format]\nLabel=P2\nDecimals=2\n[Table]\n[Column]\nCellFormat=P2\n[Row]\nCellFormat=0, Default\nData=7\n",
         "P", "Default"},
        // Texts without the indent of their codes, read after them or on an
        // empty group; an indented text keeps its indent, no more.
        {"[Table]\n[Column]\n[RowGroup]\nText=Country\nAreaCodes=1\n[EndGroup]\n[Row]\nAreaCodes=1, 2\n"
         "Text=Urban\nData=1\n[Row]\nText=Rural\nAreaCodes=1, 2\nData=2\n[Row]\nAreaCodes=0, 3\nText=\nData=3\n",
         "X", " /Country/Urban/        Rural/"},
        // A style without a label on one cell, a format whose name holds ", "
        // on a row and on one cell.
        {"[Style]\nHorJust=Left\n[Format]\nLabel=Pct, 1dp\nDecimals=1\n[Table]\n[Column]\n[Column]\n[Row]\n"
         "CellStyle=1, \nCellFormat=Pct, 1dp\n[Row]\nCellFormat=0, Pct, 1dp\nData=1, 2\n",
         "P rf", "Default+Pct, 1dp +Pct, 1dp/Default+Pct, 1dp Default|Pct, 1dp"},
        // An area name without codes; leading blanks of a text.
        {"[Table]\n[Title]\nText= \\\\s\\sIndented\n[Row]\nAreaName=Somewhere\n", "ra Tx", "Somewhere|  Indented"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        capture.messages.clear();
        const RoundTrip r = LoadSaveLoad(c.text, c.what);
        EXPECT_EQ(r.first, c.expected);
        EXPECT_EQ(r.second, c.expected) << r.saved;
        EXPECT_EQ(r.nReloadMessages, 0u) << r.saved;
    }
    // A blank thousands separator is kept.
    kavo::CTableDocument doc, again;
    doc.LoadText("[Format]\nLabel=Blank\nThousandSep=,\n[Table]\n");
    doc.GetRegistry().GetFormat(1)->m_strThousandSep = " ";
    again.LoadText(doc.SaveText());
    EXPECT_EQ(again.GetRegistry().GetFormat(1)->m_strThousandSep, " ");
}
