// Screen layout: layout metrics, stub and column widths, heading heights,
// the box of every element and cell, and borders.
//
// Without a font a byte is 8 wide and a line 16 high: margin m = 16 / 5 = 3,
// line height L = 16 + 6 = 22. With a font of height 4 a byte is 2 wide and a
// line 4 high: m = 4 / 5 = 0 and L = 4, so widths are twice the byte counts.
#include <gtest/gtest.h>

#include "layout_test_support.h"

using namespace kavo;
using namespace layout_test;

namespace {

using Loaded = std::unique_ptr<LoadedTable>;

Loaded Lay(const std::string& text, int nWidth, int nFont = 0) {
    Loaded p = LoadTable(text, nFont, nFont);
    EXPECT_EQ(p->result, 1);
    CRecordingDC dc;
    p->table.LayoutTable(CRect(0, 0, nWidth, 600), &dc);
    return p;
}

TEST(LayoutMetrics, ComeFromTheTableFontOnEachSurface) {
    const struct { int font, twipsFont, mode, margin, line; } cases[] = {
        {0, 0, MM_TEXT, 3, 22},        // no font: "X" 16 high
        {-20, 300, MM_TEXT, 4, 28},    // 20 / 5 = 4, 20 + 8 = 28
        {-20, 300, MM_TWIPS, 60, 420}, // the printer font: 300 / 5, 300 + 120
    };
    for (const auto& c : cases) {
        auto p = LoadTable("[Table]\n", c.font, c.twipsFont);
        CRecordingDC dc(c.mode);
        g_nMargin = g_nLineHeight = 0;
        p->table.LayoutTable(CRect(0, 0, 800, c.mode == MM_TWIPS ? -600 : 600), &dc);
        EXPECT_EQ(g_nMargin, c.margin); EXPECT_EQ(g_nLineHeight, c.line);
        EXPECT_EQ(dc.GetCurrentLogFont(), nullptr);  // the table font is released
    }
}

}  // namespace

TEST(Households, EveryElementAndCellHasItsBoxAndBorder) {
    // A spanner over two data columns, a third data column, and a row group
    // of two data rows.
    //
    // W = 800: data budget 600, stub budget 200. Column minimums: "Urban",
    // "Rural", "Total" 40 + 6 = 46; cells "1,200" 40 + 6 = 46 and "800" 30;
    // so the widest minimum is 46, and 3 * 46 fits into 600: every data
    // column is 600 / 3 = 200 wide. Widest row caption "All households"
    // 112 + 6 < 200 and the stub head's longest word "household" 72 + 6 < 118:
    // the stub is 200. Every caption fits on one line: every box is L = 22 high.
    //
    // The heading and footing are empty and still get one line. The stub head
    // sits under the title, as wide as the stub, stretched to the two heading
    // levels; data columns reach down to the bottom of the heading, 22 + 44 =
    // 66; level-1 rows are indented by 5 * 3 = 15 and end at the stub's edge.
    Loaded p = Lay(
        "[Table]\nSize=2, 3\n[Title]\nText=Households by size\n[StubHead]\nText=Size of household\n"
        "[ColumnGroup]\nText=Residence\n[Column]\nText=Urban\n[Column]\nText=Rural\n[EndGroup]\n"
        "[Column]\nText=Total\n[RowGroup]\nText=All households\n[Row]\nText=One person\n"
        "Data=1200, 800, 2000\n[Row]\nText=Two persons\nData=950, 600, 1550\n[EndGroup]\n",
        800);
    const CTable& t = p->table;
    const CTblColumn* pResidence = t.GetColumnRoot()->GetChild(0);
    const std::pair<const CTblOb*, CRect> boxes[] = {
        {t.GetTitle(), CRect(0, 0, 800, 22)},      {t.GetHeader(), CRect(0, 0, 800, 22)},
        {t.GetFooter(), CRect(0, 0, 800, 22)},     {t.GetStubHead(), CRect(0, 22, 200, 66)},
        {pResidence, CRect(200, 22, 600, 44)},     {t.GetColumn(0), CRect(200, 44, 400, 66)},
        {t.GetColumn(1), CRect(400, 44, 600, 66)}, {t.GetColumn(2), CRect(600, 22, 800, 66)},
        {t.GetRowRoot()->GetChild(0), CRect(0, 66, 200, 88)},
        {t.GetRow(0), CRect(15, 88, 200, 110)},    {t.GetRow(1), CRect(15, 110, 200, 132)},
        {t.GetRowRoot(), CRect()}};
    for (const auto& b : boxes) EXPECT_EQ(b.first->GetPos(), b.second) << b.first->GetText().c_str();
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(t.GetCell(r, c)->GetPos(),
                      CRect(200 + 200 * c, 88 + 22 * r, 400 + 200 * c, 110 + 22 * r));
    EXPECT_EQ(t.GetCell(0, 0)->GetText(), "1,200"); EXPECT_EQ(t.ColSize(), CSize(600, 44));
    EXPECT_EQ(t.RowSize(), CSize(200, 66)); EXPECT_EQ(t.Size(), CSize(800, 22 + 44 + 66));
    // Column borders reach the bottom of the table, row borders its right edge.
    EXPECT_EQ(pResidence->GetBorder(), CRect(200, 22, 600, 132));
    EXPECT_EQ(t.GetColumn(1)->GetBorder(), CRect(400, 44, 600, 132));
    EXPECT_EQ(t.GetRow(0)->GetBorder(), CRect(15, 88, 800, 110));
    EXPECT_EQ(t.GetBorder(), CRect(0, 0, 800, 132));
    // A title 10 higher moves the trees, their borders and the cells down;
    // the title, the stub head and the table's border stay.
    p->table.AdjustForTitleSizeChange(10);
    EXPECT_EQ(pResidence->GetBorder(), CRect(200, 32, 600, 142));
    EXPECT_EQ(t.GetRow(1)->GetPos(), CRect(15, 120, 200, 142));
    EXPECT_EQ(t.GetCell(1, 2)->GetPos(), CRect(600, 120, 800, 142));
    EXPECT_EQ(t.GetStubHead()->GetPos(), CRect(0, 22, 200, 66));
    EXPECT_EQ(t.GetBorder(), CRect(0, 0, 800, 132));
}

// --- Stub and column widths (font 4: captions of n bytes need exactly 2n,
// and every cell, "-", needs only L = 4) -----------------------------------------

TEST(StubWidth, RoomyTableSharesThreeQuartersCrowdedNarrowsTheStubAndWideCellsRaiseMinimums) {
    // W = 800, minimum widths 60, 80, 70, widest caption 150: data budget
    // 600, stub 200; 3 * 80 = 240 <= 600, so every column is 600 / 3 = 200.
    auto p = Lay(FlatTableText({Word(30, 'a'), Word(40, 'b'), Word(35, 'c')}, {Word(75, 'r')}), 800, 4);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(p->table.GetColumn(c)->GetPos().left, 200 + 200 * c);
    EXPECT_EQ(p->table.GetColumn(2)->Width(), 200); EXPECT_EQ(p->table.GetRow(0)->Width(), 200);

    // W = 400, ten columns of minimum 50, widest caption 70: data budget 300,
    // stub 100; 500 > 300 and 70 < 100, so the stub is max(70, 400 - 500) = 70,
    // the data area 330 < 500, and every column keeps 50: 570 in all.
    const Strings columns(10, Word(25));
    auto q = Lay(FlatTableText(columns, {Word(35, 'r')}), 400, 4);
    EXPECT_EQ(q->table.GetRow(0)->Width(), 70);
    for (int c = 0; c < 10; ++c) EXPECT_EQ(q->table.GetColumn(c)->GetPos().left, 70 + 50 * c);
    EXPECT_EQ(q->table.Size().cx, 570);
    // A stub head word of 60 bytes (120) beats the stub budget 100 and the
    // rows' need 70: the stub is exactly 120.
    auto r = Lay(FlatTableText(columns, {Word(35, 'r')}, "", Word(60, 'h')), 400, 4);
    EXPECT_EQ(r->table.GetRow(0)->Width(), 120); EXPECT_EQ(r->table.GetStubHead()->Width(), 120);
    EXPECT_EQ(r->table.GetColumn(0)->GetPos(), CRect(120, 4, 170, 8));  // under an empty title of one line

    // "1,234,567" is 18 wide, the captions 2. Ten such columns (180) do not
    // fit the data budget 75 of W = 100; the stub (25) shrinks to
    // max(2, 100 - 180) = 2, and every column is 18 wide.
    std::string text = FlatTableText(Strings(10, "c"), {"r"});
    text = text.substr(0, text.rfind("Data=")) + "Data=1234567";
    for (int c = 1; c < 10; ++c) text += ", 1234567";
    auto u = Lay(text + "\n", 100, 4);
    EXPECT_EQ(u->table.GetColumn(0)->GetPos().left, 2); EXPECT_EQ(u->table.GetColumn(9)->Width(), 18);
}

// --- Heights of the heading and the stub head (no font: m = 3, L = 22) ----------

TEST(HeadingHeight, LevelsShareTheTallestColumnAndTheBandAndStubHeadTakeTheTallerOne) {
    // Data columns are 600 / 3 = 200 wide. "word" ten times (392 wide) wraps
    // at 194 into two lines: 38 high. Level 1 holds the spanner (22) and that
    // column (38): both become 38. Level 2 keeps 22; the heading is
    // 38 + 22 = 60 high and every data column ends at 22 + 60 = 82.
    std::string tall = "word";
    for (int i = 1; i < 10; ++i) tall += " word";
    auto p = Lay(FlatTableText({"[Residence", "Urban", "Rural", "]", tall}, {}), 800);
    EXPECT_EQ(p->table.GetColumnRoot()->GetChild(0)->GetPos(), CRect(200, 22, 600, 60));
    EXPECT_EQ(p->table.GetColumn(0)->GetPos(), CRect(200, 60, 400, 82));
    EXPECT_EQ(p->table.GetColumn(2)->GetPos(), CRect(600, 22, 800, 82));
    EXPECT_EQ(p->table.ColSize(), CSize(600, 60));
    // A table without rows still gets its heading, and the stub head is as
    // tall as the band once its levels are equalised: 60, not 22 + 22.
    EXPECT_EQ(p->table.RowSize(), CSize(0, 0));
    EXPECT_EQ(p->table.GetStubHead()->GetPos(), CRect(0, 22, 200, 82));

    // Three 24-byte words (192 each) wrap one to a line at 194: the stub head
    // is 48 + 6 = 54 high, taller than the heading (22 + 22). The band
    // becomes 54: the spanner keeps 22 and its columns take the other 32;
    // the rows start below both.
    const std::string head = Word(24, 'a') + " " + Word(24, 'b') + " " + Word(24, 'c');
    auto q = Lay(FlatTableText({"[Group", "a", "b", "]", "c"}, {"r"}, "", head), 800);
    const std::pair<const CTblOb*, CRect> boxes[] = {
        {q->table.GetColumnRoot()->GetChild(0), CRect(200, 22, 600, 44)}, {q->table.GetColumn(0), CRect(200, 44, 400, 76)},
        {q->table.GetColumn(2), CRect(600, 22, 800, 76)},                  {q->table.GetStubHead(), CRect(0, 22, 200, 76)},
        {q->table.GetRow(0), CRect(0, 76, 200, 98)}};
    for (const auto& b : boxes) EXPECT_EQ(b.first->GetPos(), b.second) << b.first->GetText().c_str();
    EXPECT_EQ(q->table.ColSize().cy, 54);
    // Without data columns a stub head with text still has its room above the rows.
    auto h = Lay(FlatTableText({}, {"One"}, "Title", head), 800);
    EXPECT_EQ(h->table.GetRow(0)->GetPos(), CRect(0, 76, 200, 98)); EXPECT_EQ(h->table.ColSize().cy, 54);

    // No data columns: no heading below the title, the rows start at 22.
    auto r = Lay(FlatTableText({}, {"One", "Two"}, "Title"), 800);
    EXPECT_EQ(r->table.ColSize(), CSize(0, 0));
    EXPECT_EQ(r->table.GetRow(1)->GetPos(), CRect(0, 44, 200, 66));
    EXPECT_EQ(r->table.RowSize(), CSize(200, 44));
}
