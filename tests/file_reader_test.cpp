// Reading tables: the [Table] section, pieces, headings, messages, progress,
// and what a failed read leaves behind.
#include <gtest/gtest.h>

#include <string>

#include "file_test_support.h"
#include "kavotbl/model/table.h"
#include "kavotbl/resources/strings.h"

using file_test::Load;
using file_test::MessageCapture;
using kavo::CTable;

namespace {

// The two-by-two example: a spanner over two columns, a row group over two
// rows, one single-cell style. Line numbers are those of the text.
const char* const kExample =
    "[Style]\n"                          // 1
    "Label=Bold\n"                       // 2
    "\n"                                 // 3
    "[Table]\n"                          // 4
    "Size=2, 2\n"                        // 5
    "AreaLevels=2\n"                     // 6
    "Name=Households\n"                  // 7
    "\n"                                 // 8
    "[Title]\n"                          // 9
    "Text=Table 1. Households by size\n" // 10
    "\n"                                 // 11
    "[ColumnGroup]\n"                    // 12
    "Text=Residence\n"                   // 13
    "\n"                                 // 14
    "[Column]\n"                         // 15
    "Text=Urban\n"                       // 16
    "\n"                                 // 17
    "[Column]\n"                         // 18
    "Text=Rural\n"                       // 19
    "[EndGroup]\n"                       // 20
    "\n"                                 // 21
    "[RowGroup]\n"                       // 22
    "Text=All households\n"              // 23
    "\n"                                 // 24
    "[Row]\n"                            // 25
    "Text=One person\n"                  // 26
    "CellStyle=1, Bold\n"                // 27
    "Data=1200, 800\n"                   // 28
    "\n"                                 // 29
    "[Row]\n"                            // 30
    "Text=Two persons\n"                 // 31
    "Data=950, 600\n"                    // 32
    "[EndGroup]\n";                      // 33

std::string Msg(unsigned nID, int nLine, const char* pszKey) {
    // The string table's text with the line number, a newline and the key.
    std::string text = kavo::LoadKAVOString(nID).str();
    const std::size_t at = text.find("%d");
    text.replace(at, 2, std::to_string(nLine));
    return text + "\n" + pszKey;
}

class TableReaderTest : public ::testing::Test {
protected:
    MessageCapture capture;
};

TEST_F(TableReaderTest, ReadsTheExampleTable) {
    auto doc = Load(kExample);
    CTable& t = (*doc)[0];
    ASSERT_EQ(doc->results[0], 1);
    EXPECT_TRUE(t.IsLoaded());
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(t.GetName(), "Households");
    EXPECT_EQ(t.GetNumAreaLevels(), 2u);
    EXPECT_EQ(t.GetTitle()->GetText(), "Table 1. Households by size");

    ASSERT_EQ(t.GetColumnRoot()->GetNumChildren(), 1);
    const kavo::CTblColumn* pSpanner = t.GetColumnRoot()->GetChild(0);
    EXPECT_EQ(pSpanner->GetText(), "Residence");
    EXPECT_EQ(pSpanner->GetStyle(), doc->registry.FindStyle("ColumnGroup"));
    ASSERT_EQ(t.GetNumDataColumns(), 2);
    EXPECT_EQ(t.GetColumn(0)->GetText(), "Urban");
    EXPECT_EQ(t.GetColumn(1)->GetText(), "Rural");
    EXPECT_EQ(t.GetColumn(1)->GetStyle(), doc->registry.FindStyle("Column"));

    ASSERT_EQ(t.GetNumDataRows(), 2);
    EXPECT_EQ(t.GetRowRoot()->GetChild(0)->GetText(), "All households");
    EXPECT_EQ(t.GetRow(0)->GetText(), "One person");
    EXPECT_EQ(t.GetCellData(0, 0), 1200);
    EXPECT_EQ(t.GetCellData(0, 1), 800);
    EXPECT_EQ(t.GetCellData(1, 0), 950);
    EXPECT_EQ(t.GetCellData(1, 1), 600);
    EXPECT_EQ(t.GetCell(0, 1)->GetStyle(), doc->registry.FindStyle("Bold"));
    EXPECT_EQ(t.GetCell(0, 0)->GetStyle(), doc->registry.GetStyle(0));
    EXPECT_EQ(t.GetNumDataCells(), 4);
}

TEST_F(TableReaderTest, FileWithoutTableGivesZeroAndDefaultStyles) {
    auto doc = Load("[Style]\nLabel=Bold\n[Format]\nLabel=Pct\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(doc->results[0], 0);
    EXPECT_FALSE(t.IsLoaded());
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(t.GetStyle(), doc->registry.FindStyle("Table"));
    EXPECT_EQ(t.GetTitle()->GetStyle(), doc->registry.FindStyle("Title"));
    EXPECT_EQ(t.GetHeader()->GetStyle(), doc->registry.FindStyle("Header"));
    EXPECT_EQ(t.GetFooter()->GetStyle(), doc->registry.FindStyle("Footer"));
    EXPECT_EQ(t.GetStubHead()->GetStyle(), doc->registry.FindStyle("StubHead"));
}

TEST_F(TableReaderTest, TableHeadingAtEndOfFileGivesAnEmptyLoadedTable) {
    auto doc = Load("[Table]\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(doc->results[0], 1);
    EXPECT_TRUE(t.IsLoaded());
    EXPECT_EQ(t.GetNumDataColumns(), 0);
    EXPECT_EQ(t.GetNumDataRows(), 0);
    EXPECT_EQ(t.GetNumDataCells(), 0);
    EXPECT_TRUE(t.GetTitle()->GetText().IsEmpty());
    EXPECT_EQ(t.GetFooter()->GetStyle(), doc->registry.FindStyle("Footer"));
}

TEST_F(TableReaderTest, TwoTablesAreReadOneCallEach) {
    auto doc = Load("[Table]\nName=First\n[Column]\nText=A\n[Table]\nName=Second\n[Row]\nData=5\n", 3);
    EXPECT_EQ(doc->results[0], 1);
    EXPECT_EQ(doc->results[1], 1);
    EXPECT_EQ(doc->results[2], 0);
    EXPECT_EQ((*doc)[0].GetName(), "First");
    EXPECT_EQ((*doc)[0].GetNumDataColumns(), 1);
    EXPECT_EQ((*doc)[0].GetNumDataRows(), 0);
    EXPECT_EQ((*doc)[1].GetName(), "Second");
    EXPECT_EQ((*doc)[1].GetNumDataColumns(), 0);
    EXPECT_EQ((*doc)[1].GetNumDataRows(), 1);
}

TEST_F(TableReaderTest, KeysAndHeadingsIgnoreLetterCase) {
    auto doc = Load(
        "[Style]\nLabel=Bold\n[table]\nSIZE=1, 1\nname=Low\nstyle=BOLD\narealevels=3\n"
        "[TITLE]\ntext=T\n[stubhead]\nTEXT=S\n[heading]\nText=H\n[FOOTING]\nText=F\n"
        "[column]\ntext=C\n[row]\ndata=9\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(doc->results[0], 1);
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(t.GetName(), "Low");
    EXPECT_EQ(t.GetStyle(), doc->registry.FindStyle("Bold"));
    EXPECT_EQ(t.GetNumAreaLevels(), 3u);
    EXPECT_EQ(t.GetTitle()->GetText(), "T");
    EXPECT_EQ(t.GetStubHead()->GetText(), "S");
    EXPECT_EQ(t.GetHeader()->GetText(), "H");
    EXPECT_EQ(t.GetFooter()->GetText(), "F");
    ASSERT_EQ(t.GetNumDataColumns(), 1);
    EXPECT_EQ(t.GetColumn(0)->GetText(), "C");
    EXPECT_EQ(t.GetCellData(0, 0), 9);
}

TEST_F(TableReaderTest, PiecesMayRepeatAndTheLaterTextWins) {
    auto doc = Load("[Table]\n[Title]\nText=One\nText=Two\n[Footing]\nText=F\n[Title]\nText=Three\n");
    EXPECT_EQ((*doc)[0].GetTitle()->GetText(), "Three");
    EXPECT_EQ((*doc)[0].GetFooter()->GetText(), "F");
}

TEST_F(TableReaderTest, StrayEndGroupAtTableLevelIsIgnoredSilently) {
    auto doc = Load("[Table]\n[EndGroup]\n[Column]\nText=A\n");
    EXPECT_EQ(doc->results[0], 1);
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ((*doc)[0].GetNumDataColumns(), 1);
}

// ---------------------------------------------------------------------------
// Messages

TEST_F(TableReaderTest, KeyOfAnotherSectionInAPieceIsReportedWithItsLine) {
    auto doc = Load("[Table]\nName=N\n[Title]\nName=Oops\nText=T\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, Msg(kavo::IDS_UNRECOGNIZED_COMMAND, 4, "Name"));
    EXPECT_EQ(capture.messages[0].type, kavo::MB_OK);
    EXPECT_EQ(t.GetName(), "N");
    EXPECT_EQ(t.GetTitle()->GetText(), "T");
}

TEST_F(TableReaderTest, UnknownKeyInTableSectionIsReportedAndReadingGoesOn) {
    auto doc = Load("[Table]\nColour=red\nName=After\n");
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, Msg(kavo::IDS_UNRECOGNIZED_COMMAND, 2, "Colour"));
    EXPECT_EQ((*doc)[0].GetName(), "After");
}

TEST_F(TableReaderTest, UnknownHeadingEndsTheTableAndSkipsItsSection) {
    // [Notes] is on line 12, at table level (a piece gives headings back).
    const std::string text =
        "[Table]\nName=N\n[Title]\nText=T\n[StubHead]\nText=S\n[Heading]\nText=H\n[Footing]\nText=F\n"
        "Text=F2\n[Notes]\nText=lost\nData=3\n[Row]\nData=4\n[Table]\nName=Next\n[Row]\nData=5\n";
    auto doc = Load(text, 3);
    CTable& t = (*doc)[0];
    EXPECT_EQ(doc->results[0], 1);
    EXPECT_TRUE(t.IsLoaded());
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, Msg(kavo::IDS_INVALID_SECTION_HEADING, 12, "[Notes]"));
    EXPECT_EQ(t.GetFooter()->GetText(), "F2");
    // The row after the skipped section belongs to no table: this call ends
    // at [Notes] and the next one skips to the next [Table].
    EXPECT_EQ(t.GetNumDataRows(), 0);
    EXPECT_EQ(doc->results[1], 1);
    EXPECT_EQ((*doc)[1].GetName(), "Next");
    ASSERT_EQ((*doc)[1].GetNumDataRows(), 1);
    EXPECT_EQ((*doc)[1].GetCellData(0, 0), 5);
    EXPECT_EQ(doc->results[2], 0);
}

TEST_F(TableReaderTest, PieceAfterAColumnIsAnInvalidHeading) {
    auto doc = Load("[Table]\n[Title]\nText=Kept\n[Column]\nText=A\n[Title]\nText=Lost\n[Row]\nData=1\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(doc->results[0], 1);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, Msg(kavo::IDS_INVALID_SECTION_HEADING, 6, "[Title]"));
    EXPECT_EQ(t.GetTitle()->GetText(), "Kept");
    EXPECT_EQ(t.GetNumDataColumns(), 1);
}

TEST_F(TableReaderTest, UnknownStyleKeepsTheDefaultStyleOfEachKind) {
    auto doc = Load(
        "[Style]\nLabel=Bold\n[Table]\nStyle=Bold\nStyle=Missing\n[Title]\nStyle=Missing\n"
        "[StubHead]\nStyle=Missing\n[Heading]\nStyle=Bold\nStyle=Missing\n[Footing]\nStyle=Missing\n"
        "[ColumnGroup]\nStyle=Missing\n[Column]\nStyle=Bold\nStyle=Missing\n[EndGroup]\n"
        "[RowGroup]\nStyle=Missing\n[Row]\nStyle=Missing\nData=1\n[EndGroup]\n");
    CTable& t = (*doc)[0];
    const kavo::CStyleRegistry& reg = doc->registry;
    ASSERT_EQ(doc->results[0], 1);
    EXPECT_EQ(capture.messages.size(), 9u);
    for (const auto& m : capture.messages) EXPECT_NE(m.text.find("\nStyle"), std::string::npos) << m.text;
    EXPECT_EQ(t.GetStyle(), reg.FindStyle("Table"));
    EXPECT_EQ(t.GetTitle()->GetStyle(), reg.FindStyle("Title"));
    EXPECT_EQ(t.GetStubHead()->GetStyle(), reg.FindStyle("StubHead"));
    EXPECT_EQ(t.GetHeader()->GetStyle(), reg.FindStyle("Header"));
    EXPECT_EQ(t.GetFooter()->GetStyle(), reg.FindStyle("Footer"));
    EXPECT_EQ(t.GetColumnRoot()->GetChild(0)->GetStyle(), reg.FindStyle("ColumnGroup"));
    EXPECT_EQ(t.GetColumn(0)->GetStyle(), reg.FindStyle("Column"));
    EXPECT_EQ(t.GetRowRoot()->GetChild(0)->GetStyle(), reg.FindStyle("RowGroup"));
    EXPECT_EQ(t.GetRow(0)->GetStyle(), reg.FindStyle("Row"));
}

// ---------------------------------------------------------------------------
// Failures and what survives them

TEST_F(TableReaderTest, NonNumericDataFailsTheTableAndKeepsWhatWasRead) {
    auto doc = Load("[Table]\nName=N\n[Column]\nText=A\n[Row]\nText=R1\nData=1\n[Row]\nText=R2\nData=12, x\n[Row]\nData=3\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(doc->results[0], 0);
    EXPECT_FALSE(t.IsLoaded());
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, "Internal tabluation error.  Data cell is not numeric:  x");
    EXPECT_EQ(capture.messages[0].type, kavo::MB_OK | kavo::MB_ICONSTOP);
    EXPECT_EQ(t.GetName(), "N");
    EXPECT_EQ(t.GetColumnRoot()->GetNumChildren(), 1);
    // The failing row is destroyed, the one before it stays; no linking ran.
    ASSERT_EQ(t.GetRowRoot()->GetNumChildren(), 1);
    EXPECT_EQ(t.GetRowRoot()->GetChild(0)->GetText(), "R1");
    EXPECT_EQ(t.GetNumDataRows(), 0);
    // Cells handed out stay handed out: 1, then 12 of the failing row.
    EXPECT_EQ(t.GetNumDataCells(), 2);
}

TEST_F(TableReaderTest, EmptyDataItemFailsWithItsOwnMessage) {
    auto doc = Load("[Table]\n[Row]\nData=1, , 2\n");
    EXPECT_EQ(doc->results[0], 0);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, "Internal tabluation error.  Data cell is empty.");
    EXPECT_EQ(capture.messages[0].type, kavo::MB_OK | kavo::MB_ICONSTOP);
}

TEST_F(TableReaderTest, TableWithoutRegistryReadsNothing) {
    MessageCapture quiet;
    kavo::CSpecFile file;
    file.OpenText("[Table]\nName=N\n[Row]\nData=1\n");
    CTable t;
    EXPECT_EQ(t.Build(file), 0);
    EXPECT_FALSE(t.IsLoaded());
    EXPECT_TRUE(t.GetName().IsEmpty());
    // The reader was not moved: the first line is still to come.
    kavo::CKAVOString key, value;
    ASSERT_EQ(file.GetLine(key, value), 0);
    EXPECT_EQ(key, "[Table]");
}

TEST_F(TableReaderTest, TwoTreesTooLargeToLinkAreRefused) {
    // 5000 columns by 5000 rows would need 25 million padding cells.
    std::string text = "[Table]\n";
    for (int i = 0; i < 5000; ++i) text += "[Column]\n";
    for (int i = 0; i < 5000; ++i) text += "[Row]\n";
    auto doc = Load(text);
    EXPECT_EQ(doc->results[0], 0);
    EXPECT_FALSE((*doc)[0].IsLoaded());
    EXPECT_EQ((*doc)[0].GetNumDataCells(), 0);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].type, kavo::MB_OK | kavo::MB_ICONSTOP);
}

// ---------------------------------------------------------------------------
// The "Size" line: a reservation, never a promise the reader relies on

class SizeLineTest : public ::testing::TestWithParam<const char*> {
protected:
    MessageCapture capture;
};

TEST_P(SizeLineTest, ValuesBeyondTheReservationTakeNewCells) {
    // Three rows of three values whatever the size claims.
    const std::string text = std::string("[Table]\n") + GetParam() +
                             "[Column]\n[Column]\n[Column]\n[Row]\nData=1, 2, 3\n[Row]\nData=4, 5, 6\n"
                             "[Row]\nData=7, 8, 9\n";
    auto doc = Load(text);
    CTable& t = (*doc)[0];
    ASSERT_EQ(doc->results[0], 1);
    ASSERT_EQ(t.GetNumDataRows(), 3);
    ASSERT_EQ(t.GetNumDataColumns(), 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(t.GetCellData(r, c), r * 3 + c + 1);
    // Nothing beyond what the file really holds was reserved.
    EXPECT_EQ(t.GetNumDataCells(), 9);
}

INSTANTIATE_TEST_SUITE_P(Claims, SizeLineTest,
                         ::testing::Values("", "Size=1, 1\n", "Size=0, 0\n", "Size=-5, 3\n", "Size=3, -5\n",
                                           "Size=-3, -3\n", "Size=abc, def\n", "Size=\n",
                                           "Size=2000000000, 2000000000\n", "Size=100000, 100000\n",
                                           "Size=65536, 65536\n", "Size=99999999999999999999, 2\n"));

TEST_F(TableReaderTest, ModestSizeIsReservedUpFront) {
    auto doc = Load("[Table]\nSize=3, 4\n[Column]\n[Row]\nData=1\n");
    // Twelve reserved, one value, nothing to pad: the block keeps twelve.
    EXPECT_EQ((*doc)[0].GetNumDataCells(), 12);
    EXPECT_EQ((*doc)[0].GetCellData(0, 0), 1);
}

TEST_F(TableReaderTest, SizeAfterCellsWereHandedOutDoesNotShrinkTheBlock) {
    // A stray group end lets table keys follow a row; shrinking the block
    // then would leave the row pointing at destroyed cells.
    auto doc = Load("[Table]\n[Column]\n[Column]\n[Row]\nData=11, 22\n[EndGroup]\nSize=0, 0\n[Row]\nData=33, 44\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(doc->results[0], 1);
    EXPECT_EQ(t.GetCellData(0, 0), 11);
    EXPECT_EQ(t.GetCellData(0, 1), 22);
    EXPECT_EQ(t.GetCellData(1, 1), 44);
}

// ---------------------------------------------------------------------------
// Progress and cancel

TEST_F(TableReaderTest, ProgressIsReportedAtTableLevelHeadingsOnly) {
    file_test::RecordingProgress progress;
    auto doc = Load(kExample, 0);
    ASSERT_EQ(doc->Next(&progress), 1);
    // [Title], [ColumnGroup] and [RowGroup]; the headings inside the two
    // groups are read by the group readers and report nothing.
    ASSERT_EQ(progress.positions.size(), 3u);
    for (std::size_t i = 1; i < progress.positions.size(); ++i)
        EXPECT_LE(progress.positions[i - 1], progress.positions[i]);
    EXPECT_LE(progress.positions.back(), static_cast<int>(std::string(kExample).size() / 100));
}

TEST_F(TableReaderTest, ProgressPositionIsBytesReadOverAHundred) {
    // Pad the table section so the later headings lie far into the text.
    std::string text = "[Table]\n";
    for (int i = 0; i < 300; ++i) text += "Name=padding padding padding\n";  // 29 bytes each
    text += "[Column]\n";
    for (int i = 0; i < 300; ++i) text += "Text=padding padding padding\n";
    text += "[Row]\n";
    file_test::RecordingProgress progress;
    auto doc = Load(text, 0);
    ASSERT_EQ(doc->Next(&progress), 1);
    ASSERT_EQ(progress.positions.size(), 2u);
    // At [Column] at least 8 + 300 * 29 bytes are behind the reader.
    EXPECT_GE(progress.positions[0], (8 + 300 * 29) / 100);
    EXPECT_GE(progress.positions[1], (8 + 600 * 29 + 9) / 100);
    EXPECT_LE(progress.positions[1], static_cast<int>(text.size() / 100));
}

TEST_F(TableReaderTest, CancelEndsTheReadWithFailure) {
    // Cancel at the second heading: [ColumnGroup] was not yet acted on.
    file_test::RecordingProgress progress(2);
    auto doc = Load(kExample, 0);
    EXPECT_EQ(doc->Next(&progress), 0);
    CTable& t = (*doc)[0];
    EXPECT_FALSE(t.IsLoaded());
    EXPECT_EQ(t.GetTitle()->GetText(), "Table 1. Households by size");
    EXPECT_EQ(t.GetColumnRoot()->GetNumChildren(), 0);
    EXPECT_EQ(t.GetNumDataColumns(), 0);
}

TEST_F(TableReaderTest, CancelAfterTheColumnsKeepsThemUnlinked) {
    file_test::RecordingProgress progress(3);
    auto doc = Load(kExample, 0);
    EXPECT_EQ(doc->Next(&progress), 0);
    CTable& t = (*doc)[0];
    EXPECT_EQ(t.GetColumnRoot()->GetNumChildren(), 1);
    EXPECT_EQ(t.GetRowRoot()->GetNumChildren(), 0);
    EXPECT_EQ(t.GetNumDataColumns(), 0);  // linking did not run
}

}  // namespace

// ---------------------------------------------------------------------------
// A whole document

TEST_F(TableReaderTest, DocumentDropsAFailedTableAndReadsTheNext) {
    kavo::CTableDocument doc;
    EXPECT_EQ(doc.LoadText("[Style]\nLabel=Bold\n[Table]\nName=A\n[Table]\nName=B\n[Row]\nData=z\n[Row]\n"
                           "[Table]\nName=C\nStyle=Bold\n"),
              0);
    ASSERT_EQ(doc.GetNumTables(), 2);
    EXPECT_EQ(doc.GetTable(0)->GetName(), "A");
    EXPECT_EQ(doc.GetTable(1)->GetName(), "C");
    EXPECT_EQ(doc.GetTable(1)->GetStyle(), doc.GetRegistry().FindStyle("Bold"));
    EXPECT_EQ(capture.messages.size(), 1u);
}

TEST_F(TableReaderTest, DocumentStopsAtACancel) {
    file_test::RecordingProgress progress(1);
    kavo::CTableDocument doc;
    EXPECT_EQ(doc.LoadText(std::string(kExample) + "[Table]\nName=Second\n[Title]\nText=T\n", &progress), 0);
    EXPECT_EQ(doc.GetNumTables(), 0);
    EXPECT_EQ(progress.positions.size(), 1u);  // the second table was not read
}
