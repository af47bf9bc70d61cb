// Writing tables: default lines left out, sections and their order, the
// splitting of "Data" lines, single-cell lines, and saves of the block only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_test_support.h"
#include "kavotbl/model/table.h"

using file_test::Items;
using file_test::Lines;
using file_test::Load;
using file_test::MessageCapture;
using file_test::SaveTable;
using file_test::Values;
using kavo::CTable;
using Strings = std::vector<std::string>;

namespace {

const char* const kStyles = "[Style]\nLabel=Bold\n[Style]\nLabel=Italic\n[Format]\nLabel=Pct\nDecimals=1\n";

class WriterTest : public ::testing::Test {
protected:
    std::unique_ptr<file_test::Loaded> Read(const std::string& body) { return Load(std::string(kStyles) + body); }
    // Lines of the table's save after the [Table] section: from the first
    // piece, column or row heading on.
    static Strings Body(const std::string& saved) {
        Strings all = Lines(saved);
        std::size_t i = 2;
        while (i < all.size() && !all[i].empty()) ++i;
        return Strings(all.begin() + static_cast<long>(i), all.end());
    }
    MessageCapture capture;
};

TEST_F(WriterTest, NewTableWritesOnlyItsHeadingAndSize) {
    auto doc = Read("");
    CTable t;
    t.SetStyleRegistry(&doc->registry);
    EXPECT_EQ(Lines(SaveTable(t)), (Strings{"", "[Table]", "Size=0, 0"}));
}

TEST_F(WriterTest, TableKeysAreWrittenOnlyWhenSet) {
    auto doc = Read("[Table]\nAreaLevels=3\nName=Census\nStyle=Bold\n");
    EXPECT_EQ(Lines(SaveTable((*doc)[0])),
              (Strings{"", "[Table]", "Size=0, 0", "AreaLevels=3", "Name=Census", "Style=Bold"}));
}

TEST_F(WriterTest, TableStyleIsComparedAsAnObjectNotByLabel) {
    auto doc = Read("");
    kavo::CStyle other(kavo::CKAVOString("table"));
    const int i = doc->registry.RegisterStyle(&other);
    CTable t;
    t.SetStyleRegistry(&doc->registry);
    t.SetStyle(doc->registry.GetStyle(i));
    EXPECT_EQ(Values(SaveTable(t), "Style"), (Strings{"table"}));
}

TEST_F(WriterTest, PieceWithTextAndDefaultStyleWritesOnlyItsText) {
    auto doc = Read("[Table]\n[Title]\nText=Households\n");
    EXPECT_EQ(Body(SaveTable((*doc)[0])), (Strings{"", "[Title]", "Text=Households"}));
}

TEST_F(WriterTest, PieceWithOnlyAnotherStyleWritesOnlyItsStyle) {
    auto doc = Read("[Table]\n[Footing]\nStyle=italic\n");
    EXPECT_EQ(Body(SaveTable((*doc)[0])), (Strings{"", "[Footing]", "Style=Italic"}));
}

TEST_F(WriterTest, PiecesComeInTheirFixedOrder) {
    auto doc = Read("[Table]\n[Footing]\nText=F\n[Heading]\nText=H\n[StubHead]\nText=S\n[Title]\nText=T\n");
    EXPECT_EQ(Body(SaveTable((*doc)[0])), (Strings{"", "[Title]", "Text=T", "", "[StubHead]", "Text=S", "",
                                                   "[Heading]", "Text=H", "", "[Footing]", "Text=F"}));
}

TEST_F(WriterTest, SpannerEndsDirectlyAfterItsLastColumn) {
    auto doc = Read("[Table]\n[ColumnGroup]\nText=Residence\nCellFormat=Pct\n[Column]\nText=Urban\n"
                    "[Column]\nText=Rural\nStyle=Bold\nCellStyle=Italic\n[EndGroup]\n");
    EXPECT_EQ(Body(SaveTable((*doc)[0])),
              (Strings{"", "[ColumnGroup]", "Text=Residence", "CellFormat=Pct", "", "[Column]", "Text=Urban", "",
                       "[Column]", "Text=Rural", "Style=Bold", "CellStyle=Italic", "[EndGroup]"}));
}

TEST_F(WriterTest, EmptyColumnGroupIsWrittenAsAColumnWithItsGroupStyle) {
    auto doc = Read("[Table]\n[ColumnGroup]\nText=Alone\n[EndGroup]\n");
    EXPECT_EQ(Body(SaveTable((*doc)[0])), (Strings{"", "[Column]", "Text=Alone", "Style=ColumnGroup"}));
}

TEST_F(WriterTest, RowLinesComeInTheirFixedOrder) {
    auto doc = Read("[Table]\n[Column]\n[Column]\n[RowGroup]\nText=G\nCellStyle=Bold\n"
                    "[Row]\nData=1, 2\nCellFormat=Pct\nCellStyle=Italic\nStyle=Bold\nAreaName=Here\nAreaCodes=3\n"
                    "Text=R\nCellFormat=1, Pct\nCellStyle=0, Bold\n[EndGroup]\n");
    EXPECT_EQ(Body(SaveTable((*doc)[0])),
              (Strings{"", "[Column]", "", "[Column]", "", "[RowGroup]", "Text=G", "CellStyle=Bold", "", "[Row]",
                       "Text=R", "AreaCodes=3, 0, 0, 0, 0, 0, 0, 0", "AreaName=Here", "Style=Bold", "CellStyle=Italic",
                       "CellFormat=Pct", "CellStyle=0, Bold", "Data=1, 2", "[EndGroup]"}));
}

TEST_F(WriterTest, AreaInformationIsWrittenWholeEvenWhenEmpty) {
    auto doc = Read("[Table]\n[Row]\nAreaCodes=1, 2\n");
    const Strings body = Body(SaveTable((*doc)[0]));
    // Eight blanks of indent and no text of its own: the text is the indent.
    EXPECT_EQ(body, (Strings{"", "[Row]", "Text=        ", "AreaCodes=1, 2, 0, 0, 0, 0, 0, 0", "AreaName=",
                             "Data="}));
}

// ---------------------------------------------------------------------------
// "Data" lines

std::string RowOf(const std::vector<std::string>& values) {
    std::string s = "[Table]\n";
    for (std::size_t i = 0; i < values.size(); ++i) s += "[Column]\n";
    s += "[Row]\nData=";
    for (std::size_t i = 0; i < values.size(); ++i) s += (i ? ", " : "") + values[i];
    return s + "\n";
}

// Number of values on each "Data" line, and all values in order.
void Split(const std::string& saved, std::vector<std::size_t>& counts, Strings& values) {
    for (const std::string& v : Values(saved, "Data")) {
        const Strings items = Items(v);
        counts.push_back(items.size());
        values.insert(values.end(), items.begin(), items.end());
    }
}

struct SplitCase {
    int nValues;
    const char* pszValue;
    std::vector<std::size_t> counts;
};

class DataSplitTest : public ::testing::TestWithParam<SplitCase> {
protected:
    MessageCapture capture;
};

TEST_P(DataSplitTest, LinesCloseBeforeTheyPassTwoHundredCharacters) {
    const SplitCase& c = GetParam();
    const Strings in(static_cast<std::size_t>(c.nValues), c.pszValue);
    auto doc = Load(RowOf(in));
    std::vector<std::size_t> counts;
    Strings out;
    Split(SaveTable((*doc)[0]), counts, out);
    EXPECT_EQ(counts, c.counts);
    EXPECT_EQ(out, in);
}

// 31 values of 4 digits: 7 + 30 * 6 + 4 + 10 = 201 closes the line at 30.
// 20 values of 20 characters: 7 + 8 * 22 + 20 + 10 = 213 closes it at 8.
// 100 values of 1 digit: 7 + 61 * 3 + 1 + 10 = 201 closes it at 61.
INSTANTIATE_TEST_SUITE_P(Worked, DataSplitTest,
                         ::testing::Values(SplitCase{31, "1234", {30, 1}},
                                           SplitCase{20, "-1234567890123456789", {8, 8, 4}},
                                           SplitCase{100, "7", {61, 39}}, SplitCase{30, "1234", {30}},
                                           SplitCase{61, "7", {61}}));

TEST_F(WriterTest, RowWithoutValuesWritesOneEmptyDataLine) {
    auto doc = Read("[Table]\n[Row]\nText=Nothing\n");
    EXPECT_EQ(Values(SaveTable((*doc)[0]), "Data"), (Strings{""}));
}

// ---------------------------------------------------------------------------
// Single-cell lines

TEST_F(WriterTest, CellStyleLabelledDefaultGetsNoLine) {
    auto doc = Read("[Table]\n[Column]\nCellStyle=Italic\n[Row]\nCellStyle=Bold\nCellStyle=0, Default\n");
    const CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetCell(0, 0)->GetStyle()->GetLabel(), "Default");
    EXPECT_EQ(Values(SaveTable(t), "CellStyle"), (Strings{"Italic", "Bold"}));
}

TEST_F(WriterTest, CellThatItsRowStyleGivesGetsNoLine) {
    auto doc = Read("[Table]\n[Column]\n[Column]\n[Row]\nCellStyle=Bold\nCellStyle=1, Bold\nCellFormat=Pct\n"
                    "CellFormat=0, Pct\n");
    EXPECT_EQ(Values(SaveTable((*doc)[0]), "CellStyle"), (Strings{"Bold"}));
    EXPECT_EQ(Values(SaveTable((*doc)[0]), "CellFormat"), (Strings{"Pct"}));
}

TEST_F(WriterTest, CellWithItsColumnsStyleUnderAnotherRowStyleKeepsItsLine) {
    // The reader would give the cell the row's style, so the column's must be
    // written for the cell to come back with it.
    auto doc = Read("[Table]\n[Column]\nCellStyle=Italic\nCellFormat=Pct\n[Column]\nCellStyle=Italic\n"
                    "[Row]\nCellStyle=Bold\nCellStyle=0, Italic\n[Row]\nCellStyle=1, Italic\n");
    const std::string saved = SaveTable((*doc)[0]);
    EXPECT_EQ(Values(saved, "CellStyle"), (Strings{"Italic", "Italic", "Bold", "0, Italic"}));
    auto again = Read(saved);
    const CTable& t = (*again)[0];
    EXPECT_EQ(t.GetCell(0, 0)->GetStyle(), again->registry.FindStyle("Italic"));
    EXPECT_EQ(t.GetCell(0, 1)->GetStyle(), again->registry.FindStyle("Bold"));
    EXPECT_EQ(t.GetCell(1, 1)->GetStyle(), again->registry.FindStyle("Italic"));
}

// ---------------------------------------------------------------------------
// The block only

class BlockSaveTest : public WriterTest {
protected:
    // Columns: [Spanner: A, B, C], D; rows: [Group: r0, r1], r2. Each cell's
    // value is 10 * row + column; cell (1, 3) has its own style and (1, 1)
    // its own format.
    void SetUp() override {
        doc = Read("[Table]\nName=T\n[Title]\nText=Title\n[ColumnGroup]\nText=Spanner\n[Column]\nText=A\n"
                   "[Column]\nText=B\n[Column]\nText=C\n[EndGroup]\n[Column]\nText=D\n"
                   "[RowGroup]\nText=Group\n[Row]\nText=r0\nData=0, 1, 2, 3\n"
                   "[Row]\nText=r1\nCellStyle=3, Bold\nCellFormat=1, Pct\nData=10, 11, 12, 13\n[EndGroup]\n"
                   "[Row]\nText=r2\nData=20, 21, 22, 23\n");
        CTable& t = (*doc)[0];
        t.GetColumn(1)->Block(rects, 1);
        t.GetColumn(3)->Block(rects, 1);
        t.GetRow(1)->Block(rects, 1);
        t.GetRow(2)->Block(rects, 1);
    }
    std::unique_ptr<file_test::Loaded> doc;
    kavo::CRectArray rects;
};

TEST_F(BlockSaveTest, ReloadGivesExactlyTheBlockedRowsColumnsAndValues) {
    CTable& t = (*doc)[0];
    t.BlockParents(rects, 1);
    const std::string saved = SaveTable(t, 1);
    EXPECT_EQ(Values(saved, "Size"), (Strings{"2, 2"}));
    auto again = Read(saved);
    const CTable& b = (*again)[0];
    ASSERT_EQ(again->results[0], 1);
    EXPECT_EQ(b.GetName(), "T");
    EXPECT_EQ(b.GetTitle()->GetText(), "Title");
    ASSERT_EQ(b.GetNumDataColumns(), 2);
    EXPECT_EQ(b.GetColumn(0)->GetText(), "B");
    EXPECT_EQ(b.GetColumn(1)->GetText(), "D");
    ASSERT_EQ(b.GetNumDataRows(), 2);
    EXPECT_EQ(b.GetRow(0)->GetText(), "r1");
    EXPECT_EQ(b.GetRow(1)->GetText(), "r2");
    EXPECT_EQ(b.GetCellData(0, 0), 11);
    EXPECT_EQ(b.GetCellData(0, 1), 13);
    EXPECT_EQ(b.GetCellData(1, 0), 21);
    EXPECT_EQ(b.GetCellData(1, 1), 23);
    // The parents that BlockParents marked keep the tree's shape.
    ASSERT_EQ(b.GetColumnRoot()->GetNumChildren(), 2);
    EXPECT_EQ(b.GetColumnRoot()->GetChild(0)->GetText(), "Spanner");
    EXPECT_EQ(b.GetRowRoot()->GetChild(0)->GetText(), "Group");
}

TEST_F(BlockSaveTest, SingleCellLinesCountOnlyTheExportedColumns) {
    const std::string saved = SaveTable((*doc)[0], 1);
    // Cell (1, 3) is the second cell written and (1, 1) the first.
    EXPECT_EQ(Values(saved, "CellStyle"), (Strings{"1, Bold"}));
    EXPECT_EQ(Values(saved, "CellFormat"), (Strings{"0, Pct"}));
    auto again = Read(saved);
    const CTable& b = (*again)[0];
    ASSERT_EQ(b.GetNumDataColumns(), 2);
    EXPECT_EQ(b.GetCell(0, 1)->GetStyle(), again->registry.FindStyle("Bold"));
    EXPECT_EQ(b.GetCell(0, 0)->GetStyle(), again->registry.GetStyle(0));
    EXPECT_EQ(b.GetCell(0, 0)->GetFormat(), again->registry.FindFormat("Pct"));
    EXPECT_EQ(b.GetCell(0, 1)->GetFormat(), again->registry.GetFormat(0));
}

TEST_F(BlockSaveTest, UnblockedParentsWriteNothingButTheirBlockedChildrenDo) {
    const Strings body = Body(SaveTable((*doc)[0], 1));
    EXPECT_EQ(body, (Strings{"", "[Title]", "Text=Title", "", "[Column]", "Text=B", "", "[Column]", "Text=D", "",
                             "[Row]", "Text=r1", "CellFormat=0, Pct", "CellStyle=1, Bold", "Data=11, 13", "",
                             "[Row]", "Text=r2", "Data=21, 23"}));
}

TEST_F(BlockSaveTest, NothingBlockedWritesAnEmptyTableWithItsPieces) {
    auto fresh = Read("[Table]\nName=T\n[Title]\nText=Title\n[Column]\n[Row]\nData=5\n");
    const std::string saved = SaveTable((*fresh)[0], 1);
    EXPECT_EQ(Lines(saved), (Strings{"", "[Table]", "Size=0, 0", "Name=T", "", "[Title]", "Text=Title"}));
}

// ---------------------------------------------------------------------------
// Round trips

TEST_F(WriterTest, SaveReloadSaveGivesTheSameText) {
    const std::string text =
        "[Table]\nSize=3, 3\nAreaLevels=2\nName=Round\nStyle=Bold\n[Title]\nText=T\n[StubHead]\nStyle=Italic\n"
        "[ColumnGroup]\nText=S\nCellFormat=Pct\n[Column]\nText=A\n[Column]\nText=B\n[EndGroup]\n[Column]\nText=C\n"
        "[RowGroup]\nText=G\nAreaCodes=1\nAreaName=North\n[Row]\nText=r0\nAreaCodes=1, 4\nAreaName=N4\n"
        "CellStyle=2, Bold\nData=-1, 0, 9223372036854775807\n[EndGroup]\n[Row]\nText=r1\nCellFormat=Pct\n"
        "Data=4, 5\n";
    auto first = Read(text);
    const std::string saved = SaveTable((*first)[0]);
    auto second = Read(saved);
    EXPECT_EQ(SaveTable((*second)[0]), saved);
    EXPECT_TRUE(capture.messages.empty());
}

TEST_F(WriterTest, IndentedRowTextDoesNotGrowOverReloads) {
    auto doc = Read("[Table]\n[Row]\nText=Urban\nAreaCodes=1, 2\n");
    std::string saved = SaveTable((*doc)[0]);
    for (int i = 0; i < 3; ++i) {
        auto again = Read(saved);
        EXPECT_EQ((*again)[0].GetRow(0)->GetText(), std::string(8, ' ') + "Urban");
        const std::string next = SaveTable((*again)[0]);
        EXPECT_EQ(next, saved);
        saved = next;
    }
}

TEST_F(WriterTest, TextBytesPassThroughUnchanged) {
    const std::string name = "S\xE3o Paulo \xE9t\xE9 \x80";
    auto doc = Read("[Table]\nName=" + name + "\n[Row]\nText=" + name + "\nAreaName=" + name + "\nAreaCodes=3\n");
    const std::string saved = SaveTable((*doc)[0]);
    EXPECT_EQ(Values(saved, "Name"), (Strings{name}));
    EXPECT_EQ(Values(saved, "AreaName"), (Strings{name}));
    EXPECT_EQ(Values(saved, "Text"), (Strings{"    " + name}));
}

}  // namespace
