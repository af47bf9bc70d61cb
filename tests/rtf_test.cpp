// The grid of elements prepared for RTF export.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kavotbl/host/spec_file.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/table.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/rtf/rtf_row.h"
#include "kavotbl/style/registry.h"

using namespace kavo;

namespace {

struct LoadedTable {
    explicit LoadedTable(const std::string& text) {
        CSpecFile file;
        file.OpenText(text);
        registry.Build(file);
        table.SetStyleRegistry(&registry);
        loaded = table.Build(file);
    }
    CStyleRegistry registry;
    CTable table;
    int loaded = 0;
};

// One spanner over two data columns, three data rows without captions.
const char* const kSpannerTable = R"([Table]
Size=3, 2

[ColumnGroup]
Text=Residence

[Column]
Text=Urban

[Column]
Text=Rural
[EndGroup]

[Row]
Text=A
Data=1, 2

[Row]
Text=B
Data=3, 4

[Row]
Text=C
Data=5, 6
)";

// Three heading levels and three stub levels.
const char* const kDeepTable = R"([Table]
Size=4, 4

[ColumnGroup]
Text=Sex

[ColumnGroup]
Text=Male

[Column]
Text=Urban

[Column]
Text=Rural
[EndGroup]

[Column]
Text=Female
[EndGroup]

[Column]
Text=Total

[RowGroup]
Text=All

[RowGroup]
Text=North

[Row]
Text=Town
Data=1, 2, 3, 4

[Row]
Text=Village
Data=5, 6, 7, 8
[EndGroup]

[Row]
Text=South
Data=9, 10, 11, 12
[EndGroup]

[Row]
Text=Abroad
Data=13, 14, 15, 16
)";

CRowColOb* Child(CRowColOb* p, int i) { return p->GetChildAt(i); }

// The grid as rows of pointers, for whole-grid comparisons.
std::vector<std::vector<CTblOb*>> Flatten(const CRTFRowArray& rows, int nFrom = 0) {
    std::vector<std::vector<CTblOb*>> out;
    for (int g = nFrom; g < rows.GetSize(); ++g) {
        std::vector<CTblOb*> row;
        for (int e = 0; e < rows[g].GetSize(); ++e) row.push_back(rows[g][e]);
        out.push_back(row);
    }
    return out;
}

class RtfGrid : public ::testing::Test {
protected:
    CRectArray rects;
};

}  // namespace

TEST_F(RtfGrid, SpannerOverTwoColumnsAndThreeRows) {
    LoadedTable doc(kSpannerTable);
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    CRTFRowArray rows;
    t.LayoutRTF(rows, 0);

    // C = 2 heading levels, R = 1 stub level, n = 2, m = 3.
    CTblOb* spanner = Child(t.GetColumnRoot(), 0);
    const std::vector<std::vector<CTblOb*>> expected = {
        {nullptr, spanner, nullptr},
        {nullptr, t.GetColumn(0), t.GetColumn(1)},
        {t.GetRow(0), t.GetCell(0, 0), t.GetCell(0, 1)},
        {t.GetRow(1), t.GetCell(1, 0), t.GetCell(1, 1)},
        {t.GetRow(2), t.GetCell(2, 0), t.GetCell(2, 1)},
    };
    EXPECT_EQ(Flatten(rows), expected);
}

TEST_F(RtfGrid, SpannersAndCaptionsStandAtTheirLevels) {
    LoadedTable doc(kDeepTable);
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    CRTFRowArray rows;
    t.LayoutRTF(rows, 0);

    // C = 3, R = 3, n = 4, m = 4: seven grid rows of seven entries.
    ASSERT_EQ(rows.GetSize(), 7);
    for (int g = 0; g < 7; ++g) ASSERT_EQ(rows[g].GetSize(), 7);
    CRowColOb* sex = Child(t.GetColumnRoot(), 0);
    CRowColOb* male = Child(sex, 0);
    CRowColOb* all = Child(t.GetRowRoot(), 0);
    CRowColOb* north = Child(all, 0);
    // A spanner stands over its first data column, a caption beside its first data row.
    EXPECT_EQ(rows[0][3], sex);
    EXPECT_EQ(rows[1][3], male);
    for (int e = 3; e < 7; ++e) EXPECT_EQ(rows[2][e], t.GetColumn(e - 3));
    EXPECT_EQ(rows[3][0], all);
    EXPECT_EQ(rows[3][1], north);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(rows[3 + k][2], t.GetRow(k));
    // Everything else is empty, the corner above the stub included.
    int nFilled = 0;
    for (int g = 0; g < 7; ++g)
        for (int e = 0; e < 7; ++e) nFilled += rows[g][e] != nullptr;
    EXPECT_EQ(nFilled, 2 + 4 + 2 + 4 + 16);
    for (int g = 0; g < 3; ++g)
        for (int e = 0; e < 3; ++e) EXPECT_EQ(rows[g][e], nullptr);
}

TEST_F(RtfGrid, ASpannerWithoutTextLeavesItsPlaceEmptyButItsChildrenArePlaced) {
    std::string text = kDeepTable;
    text.replace(text.find("Text=Sex\n"), 9, "");
    LoadedTable doc(text);
    ASSERT_EQ(doc.loaded, 1);
    CRTFRowArray rows;
    doc.table.LayoutRTF(rows, 0);
    EXPECT_EQ(rows[0][3], nullptr);
    EXPECT_EQ(rows[1][3], Child(Child(doc.table.GetColumnRoot(), 0), 0));
}

TEST_F(RtfGrid, BlockedOnlyExportsTheBlockedColumnRowsAndCells) {
    LoadedTable doc(kSpannerTable);
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    t.GetColumn(1)->Block(rects, 1);
    for (int r = 0; r < 3; ++r) {
        t.GetRow(r)->Block(rects, 1);
        t.GetCell(r, 1)->Block(rects, 1);
    }
    CRTFRowArray rows;
    t.LayoutRTF(rows, 1);

    // R + 1 entries; the spanner is not placed because its root is not blocked.
    const std::vector<std::vector<CTblOb*>> expected = {
        {nullptr, nullptr},
        {nullptr, t.GetColumn(1)},
        {t.GetRow(0), t.GetCell(0, 1)},
        {t.GetRow(1), t.GetCell(1, 1)},
        {t.GetRow(2), t.GetCell(2, 1)},
    };
    EXPECT_EQ(Flatten(rows), expected);
}

TEST_F(RtfGrid, BlockedParentsArePlacedOverTheFirstBlockedChild) {
    LoadedTable doc(kDeepTable);
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    // Block "Rural" and "Village" with the cell where they cross, then their parents.
    t.GetColumn(1)->Block(rects, 1);
    t.GetRow(1)->Block(rects, 1);
    t.GetCell(1, 1)->Block(rects, 1);
    t.BlockParents(rects, 1);
    CRTFRowArray rows;
    t.LayoutRTF(rows, 1);

    CRowColOb* sex = Child(t.GetColumnRoot(), 0);
    CRowColOb* all = Child(t.GetRowRoot(), 0);
    const std::vector<std::vector<CTblOb*>> expected = {
        {nullptr, nullptr, nullptr, sex},
        {nullptr, nullptr, nullptr, Child(sex, 0)},
        {nullptr, nullptr, nullptr, t.GetColumn(1)},
        {all, Child(all, 0), t.GetRow(1), t.GetCell(1, 1)},
    };
    EXPECT_EQ(Flatten(rows), expected);
}

TEST_F(RtfGrid, WithoutBlockedRootsNoSpannerOrCaptionIsPlaced) {
    LoadedTable doc(kDeepTable);
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    t.GetColumn(1)->Block(rects, 1);
    t.GetRow(1)->Block(rects, 1);
    t.GetCell(1, 1)->Block(rects, 1);
    // The spanners and captions above are blocked, but not the roots.
    Child(t.GetColumnRoot(), 0)->CTblOb::Block(rects, 1);
    Child(t.GetRowRoot(), 0)->CTblOb::Block(rects, 1);
    CRTFRowArray rows;
    t.LayoutRTF(rows, 1);
    ASSERT_EQ(rows.GetSize(), 4);
    EXPECT_EQ(rows[0][3], nullptr);
    EXPECT_EQ(rows[3][0], nullptr);
    EXPECT_EQ(rows[3][2], t.GetRow(1));
}

TEST_F(RtfGrid, CellsAreFormattedBeforeTheyAreHandedOut) {
    const std::string text = R"([Format]
Label=OneDecimal
Decimals=1
ThousandSep=,
DecimalSep=.
ZeroMask=nil
ZeroBeforeDecimal=No

[Table]
Size=2, 2

[Column]
Text=A
CellFormat=OneDecimal

[Column]
Text=B
CellFormat=OneDecimal

[Row]
Text=X
Data=12345, 0

[Row]
Text=Y
Data=-7, 1000000
)";
    LoadedTable doc(text);
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    ASSERT_TRUE(t.GetCell(0, 0)->IsDirty());
    CRTFRowArray rows;
    t.LayoutRTF(rows, 0);
    const char* expected[2][2] = {{"1,234.5", "nil"}, {"-.7", "100,000.0"}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            const CTblCell* cell = t.GetCell(r, c);
            EXPECT_FALSE(cell->IsDirty());
            EXPECT_EQ(cell->GetText().str(), expected[r][c]) << r << "," << c;
            EXPECT_EQ(rows[1 + r][1 + c], cell);
        }
}

TEST_F(RtfGrid, BlockedOnlyFormatsEveryCellOfAnExportedRow) {
    LoadedTable doc(kSpannerTable);
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    t.GetRow(0)->Block(rects, 1);
    t.GetColumn(0)->Block(rects, 1);
    t.GetCell(0, 0)->Block(rects, 1);
    CRTFRowArray rows;
    t.LayoutRTF(rows, 1);
    EXPECT_FALSE(t.GetCell(0, 1)->IsDirty());  // not exported, still formatted
    EXPECT_EQ(t.GetCell(0, 1)->GetText().str(), "2");
    EXPECT_TRUE(t.GetCell(1, 0)->IsDirty());  // a row that is not exported is left alone
}

TEST_F(RtfGrid, TheGridIsAppendedToWhatTheArrayHolds) {
    LoadedTable doc(kDeepTable);
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    CRTFRowArray fresh, again;
    t.LayoutRTF(fresh, 0);
    t.LayoutRTF(again, 0);
    EXPECT_EQ(Flatten(fresh), Flatten(again));

    // An earlier grid in the array is left as it was and the new one follows it.
    CRTFRowArray both;
    t.LayoutRTF(both, 0);
    t.LayoutRTF(both, 0);
    ASSERT_EQ(both.GetSize(), 2 * fresh.GetSize());
    EXPECT_EQ(Flatten(both, fresh.GetSize()), Flatten(fresh));
    both.SetSize(fresh.GetSize());
    EXPECT_EQ(Flatten(both), Flatten(fresh));

    // A short foreign row in front does not upset the placement either.
    CRTFRowArray mixed;
    CRTFRow foreign;
    foreign.Add(t.GetTitle());
    mixed.Add(foreign);
    t.LayoutRTF(mixed, 0);
    ASSERT_EQ(mixed.GetSize(), 1 + fresh.GetSize());
    ASSERT_EQ(mixed[0].GetSize(), 1);
    EXPECT_EQ(mixed[0][0], t.GetTitle());
    EXPECT_EQ(Flatten(mixed, 1), Flatten(fresh));
}

TEST_F(RtfGrid, CellsBlockedOutsideTheBlockedColumnsStayWithinTheRow) {
    LoadedTable doc(kSpannerTable);
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    // Two blocked cells in a row but only one blocked column: the row has
    // room for one cell, which is the first blocked one.
    t.GetColumn(1)->Block(rects, 1);
    t.GetRow(0)->Block(rects, 1);
    t.GetCell(0, 0)->Block(rects, 1);
    t.GetCell(0, 1)->Block(rects, 1);
    CRTFRowArray rows;
    t.LayoutRTF(rows, 1);
    ASSERT_EQ(rows.GetSize(), 3);
    for (int g = 0; g < 3; ++g) EXPECT_EQ(rows[g].GetSize(), 2);
    EXPECT_EQ(rows[2][1], t.GetCell(0, 0));
}

TEST_F(RtfGrid, TheNodeOperationsPlaceASubtreeIntoAGivenGrid) {
    LoadedTable doc(kDeepTable);
    ASSERT_EQ(doc.loaded, 1);
    CTable& t = doc.table;
    CRTFRowArray rows;
    t.LayoutRTF(rows, 0);
    const auto full = Flatten(rows);
    // Clear the spanners and captions, then let the roots put them back.
    for (int g = 0; g < 2; ++g)
        for (int e = 0; e < rows[g].GetSize(); ++e) rows[g][e] = nullptr;
    for (int g = 3; g < rows.GetSize(); ++g) rows[g][0] = rows[g][1] = nullptr;
    t.GetColumnRoot()->AddRTFSpanners(rows, 2, 0, -1);
    t.GetRowRoot()->AddRTFCaptions(rows, 2, 0, -1);
    EXPECT_EQ(Flatten(rows), full);

    // Called on a spanner, the level names the grid row of the spanner itself.
    CRTFRowArray grid;
    t.LayoutRTF(grid, 0);
    grid[0][3] = grid[1][3] = nullptr;
    t.GetColumnRoot()->GetChild(0)->AddRTFSpanners(grid, 2, 0, 0);
    EXPECT_EQ(Flatten(grid), full);
}

TEST_F(RtfGrid, AnEmptyTableGivesAnEmptyGrid) {
    LoadedTable doc("[Table]\n");
    ASSERT_EQ(doc.loaded, 1);
    CRTFRowArray rows;
    doc.table.LayoutRTF(rows, 0);
    doc.table.LayoutRTF(rows, 1);
    EXPECT_EQ(rows.GetSize(), 0);
}
