// The grid of elements prepared for RTF export.
#include <gtest/gtest.h>

#include <utility>

#include "draw_test_support.h"

using namespace kavo;

namespace {

// One spanner over two data columns, three data rows without captions.
const char* const kSpanner =
    "[Table]\nSize=3, 2\n[ColumnGroup]\nText=Residence\n[Column]\nText=Urban\n[Column]\nText=Rural\n"
    "[EndGroup]\n[Row]\nText=A\nData=1, 2\n[Row]\nText=B\nData=3, 4\n[Row]\nText=C\nData=5, 6\n";

// Three heading levels and three stub levels.
const std::string kDeep =
    "[Table]\nSize=4, 4\n[ColumnGroup]\nText=Sex\n[ColumnGroup]\nText=Male\n[Column]\nText=Urban\n[Column]\n"
    "Text=Rural\n[EndGroup]\n[Column]\nText=Female\n[EndGroup]\n[Column]\nText=Total\n"
    "[RowGroup]\nText=All\n[RowGroup]\nText=North\n[Row]\nText=Town\nData=1, 2, 3, 4\n[Row]\nText=Village\n"
    "Data=5, 6, 7, 8\n[EndGroup]\n[Row]\nText=South\nData=9, 10, 11, 12\n[EndGroup]\n[Row]\nText=Abroad\n"
    "Data=13, 14, 15, 16\n";

// Values with an implied decimal, a zero mask and no zero before the point.
const char* const kFormatted =
    "[Format]\nLabel=OneDecimal\nDecimals=1\nThousandSep=,\nDecimalSep=.\nZeroMask=nil\n"
    "ZeroBeforeDecimal=No\n[Table]\nSize=2, 2\n[Column]\nText=A\nCellFormat=OneDecimal\n[Column]\nText=B\n"
    "CellFormat=OneDecimal\n[Row]\nText=X\nData=12345, 0\n[Row]\nText=Y\nData=-7, 1000000\n";

// The grid by the texts of its elements: "." for an empty entry, "?" for an
// element without text.
std::vector<std::string> Names(const CRTFRowArray& rows, int nFrom = 0) {
    std::vector<std::string> out;
    for (int g = nFrom; g < rows.GetSize(); ++g) {
        std::string line;
        for (int e = 0; e < rows[g].GetSize(); ++e) {
            const CTblOb* p = rows[g][e];
            const char* name = !p ? "." : p->GetText().IsEmpty() ? "?" : p->GetText().c_str();
            line += (e ? " " : "") + std::string(name);
        }
        out.push_back(line);
    }
    return out;
}

enum Parents { kNoParents, kNodesWithoutRoots, kBlockParents };

struct GridCase {
    const char* what;
    std::string text;
    std::vector<int> cols, rows;               // data columns and rows to block
    std::vector<std::pair<int, int>> cells;   // cells to block
    Parents parents;
    bool bBlockedOnly;
    std::vector<std::string> grid;
};

// Grids worked out by hand: C heading levels, R stub levels, n exported data
// columns and m exported data rows give C + m rows of R + n entries.
const GridCase kGrids[] = {
    // C = 2, R = 1, n = 2, m = 3: the spanner over its first column.
    {"spanner, whole", kSpanner, {}, {}, {}, kNoParents, false,
     {". Residence .", ". Urban Rural", "A 1 2", "B 3 4", "C 5 6"}},
    // C = 3, R = 3, n = 4, m = 4: spanners at their levels, captions beside
    // their first data row, the corner above the stub empty.
    {"deep, whole", kDeep, {}, {}, {}, kNoParents, false,
     {". . . Sex . . .", ". . . Male . . .", ". . . Urban Rural Female Total", "All North Town 1 2 3 4",
      ". . Village 5 6 7 8", ". . South 9 10 11 12", ". . Abroad 13 14 15 16"}},
    // A spanner without text leaves its place empty; its children are placed.
    {"deep, no text on Sex", std::string(kDeep).erase(kDeep.find("Text=Sex\n"), 9), {}, {}, {}, kNoParents,
     false,
     {". . . . . . .", ". . . Male . . .", ". . . Urban Rural Female Total", "All North Town 1 2 3 4",
      ". . Village 5 6 7 8", ". . South 9 10 11 12", ". . Abroad 13 14 15 16"}},
    // Blocked: the second column, every row and their cells; R + 1 entries,
    // and no spanner because the column root is not blocked.
    {"spanner, column block", kSpanner, {1}, {0, 1, 2}, {{0, 1}, {1, 1}, {2, 1}}, kNoParents, true,
     {". .", ". Rural", "A 2", "B 4", "C 6"}},
    // Two blocked cells in a row with one blocked column: the row has room
    // for the first of them only.
    {"spanner, extra cell", kSpanner, {1}, {0}, {{0, 0}, {0, 1}}, kNoParents, true,
     {". .", ". Rural", "A 1"}},
    // "Rural", "Village" and their cell, with the spanner and caption above
    // blocked but not the roots: nothing above is placed.
    {"deep, roots unblocked", kDeep, {1}, {1}, {{1, 1}}, kNodesWithoutRoots, true,
     {". . . .", ". . . .", ". . . Rural", ". . Village 6"}},
    // ... and with every parent blocked, over the first blocked child.
    {"deep, parents blocked", kDeep, {1}, {1}, {{1, 1}}, kBlockParents, true,
     {". . . Sex", ". . . Male", ". . . Rural", "All North Village 6"}},
    // 12345 with one decimal is 1,234.5; 0 is masked; -7 is -0.7 without
    // its zero; 1000000 is 100,000.0.
    {"formatted", kFormatted, {}, {}, {}, kNoParents, false, {". A B", "X 1,234.5 nil", "Y -.7 100,000.0"}},
    {"empty table", "[Table]\n", {}, {}, {}, kNoParents, false, {}},
};

}  // namespace

TEST(RtfGrid, GridsWorkedOutByHand) {
    for (const GridCase& c : kGrids) {
        SCOPED_TRACE(c.what);
        LoadedTable doc(c.text);
        CTable& t = doc.table;
        ASSERT_EQ(doc.loaded, 1);
        CRectArray rects;
        for (int col : c.cols) t.GetColumn(col)->Block(rects, 1);
        for (int row : c.rows) t.GetRow(row)->Block(rects, 1);
        for (const auto& rc : c.cells) t.GetCell(rc.first, rc.second)->Block(rects, 1);
        if (c.parents == kBlockParents) t.BlockParents(rects, 1);
        if (c.parents == kNodesWithoutRoots) {
            t.GetColumnRoot()->GetChildAt(0)->CTblOb::Block(rects, 1);
            t.GetRowRoot()->GetChildAt(0)->CTblOb::Block(rects, 1);
        }
        for (int r = 0; r < t.GetNumDataRows(); ++r) ASSERT_TRUE(t.GetCell(r, 0)->IsDirty());
        // The grid is appended to what the array holds, here a short row of
        // someone else's, and a second grid follows the first.
        CRTFRowArray rows;
        CRTFRow foreign;
        foreign.Add(t.GetTitle());
        rows.Add(foreign);
        t.LayoutRTF(rows, c.bBlockedOnly);
        EXPECT_EQ(Names(rows, 1), c.grid);
        t.LayoutRTF(rows, c.bBlockedOnly);
        ASSERT_TRUE(rows.GetSize() == static_cast<int>(1 + 2 * c.grid.size()) && rows[0].GetSize() == 1);
        EXPECT_EQ(Names(rows, static_cast<int>(1 + c.grid.size())), c.grid);
        // Every cell of an exported row is formatted, exported or not; rows
        // left out are left alone.
        for (int r = 0; r < t.GetNumDataRows(); ++r)
            for (int col = 0; col < t.GetNumDataColumns(); ++col)
                EXPECT_EQ(t.GetCell(r, col)->IsDirty(), c.bBlockedOnly && !t.GetRow(r)->IsBlocked())
                    << r << "," << col;
    }
}
