// Reading tables: every key and heading, messages with their lines, failures
// and what survives them, the "Size" reservation, progress and cancel.
#include <gtest/gtest.h>

#include <string>

#include "file_test_support.h"

using namespace file_test;
using kavo::CTable;

namespace {

// A progress dialog that records the positions; from the given check on,
// the user has asked to cancel.
struct RecordingProgress : kavo::CProgressDlg {
    explicit RecordingProgress(int n) : nCancelAt(n) {}
    void SetPos(int nPos) override { positions.push_back(nPos); }
    int CheckCancelButton() override { return nCancelAt > 0 && ++nChecks >= nCancelAt ? 1 : 0; }
    std::vector<int> positions;
    int nCancelAt, nChecks = 0;
};

const std::string k3x3 =
    Rep("[Column]\n", 3) + "[Row]\nData=1, 2, 3\n[Row]\nData=4, 5, 6\n[Row]\nData=7, 8, 9\n";
const std::string kStop = "Internal tabluation error.  ";
const unsigned kUnknownKey = kavo::IDS_UNRECOGNIZED_COMMAND, kBadHeading = kavo::IDS_INVALID_SECTION_HEADING;

// Read after a registry of four lines; the message lines count them.
// clang-format off
const std::vector<Case> kKeys = {
    // Keys, headings and names ignore letter case.
    {"[table]\nNAME=Low\nstyle=bold\narealevels=3\n", "tx ts A", "Low|Bold|3"},
    {"[Table]\n[TITLE]\ntext=T\n[stubhead]\nStyle=Bold\n[heading]\nText=H\n[FOOTING]\nText=F\n",
     "Tx Ss Hx Fx", "T|Bold|H|F"},
    {"[Table]\n[Title]\nText=One\nText=Two\n[Footing]\nText=F\n[Title]\nText=Three\n", "Tx Fx", "Three|F", 1, "line 8: \"Text\" is given twice in one section; the later value stands"},
    {"[Table]\n[column]\ntext=Urban\nStyle=Bold\nCellStyle=bold\nCellFormat=PCT\n", "cx cs cC cf",
     "Urban|Bold|Bold|Pct"},
    {"[Table]\n[Row]\nText=R\nStyle=Bold\nCellStyle=Bold\nCellFormat=Pct\nAreaName=Here\n", "rx rs rC rf ra",
     "R|Bold|Bold|Pct|Here"},
    {"[Table]\n[RowGroup]\nText=G\n[Row]\n[EndGroup]\n", "Gx Gs rs #", "G|RowGroup|Row|0x1"},
    // An unknown style keeps the default of each kind; an unknown cell style
    // or format clears an earlier one.
    {"[Table]\nStyle=Bold\nStyle=Missing\n[Title]\nStyle=Missing\n[StubHead]\nStyle=Missing\n[Heading]\n"
     "Style=Bold\nStyle=Missing\n[Footing]\nStyle=Missing\n[ColumnGroup]\nStyle=Missing\n[Column]\n"
     "Style=Bold\nStyle=Missing\n[EndGroup]\n[RowGroup]\nStyle=Missing\n[Row]\nStyle=Missing\n[EndGroup]\n",
     "ts Ts Ss Hs Fs gs cs Gs rs", "Table|Title|StubHead|Header|Footer|ColumnGroup|Column|RowGroup|Row", 13,
     "line 11: no style 'Missing'"},
    {"[Table]\n[Column]\nCellStyle=Bold\nCellStyle=Nope\nCellFormat=Pct\nCellFormat=Nope\nWidth=3\n", "cC cf",
     "-|-", 5, "line 8: no style 'Nope'"},
    // Shapes of the trees: a stray group end at table level closes nothing,
    // an empty spanner is a data column, a row heading closes a spanner and
    // a row inside a row is its sibling.
    {"[Table]\n[EndGroup]\n[ColumnGroup]\nText=Lonely\n[EndGroup]\n[Row]\n[Column]\n[ColumnGroup]\n[Column]\n"
     "[RowGroup]\n[Row]\nText=A\n[Row]\n[EndGroup]\n", "# cx K", "3x3|Lonely|3x2", 3,
     "line 15: row 'A' has 0 values for 3 data columns; the rest are 0"},
    // "Size" reserves up to 4096 cells up front; a larger or malformed claim
    // reserves nothing, and values past the reservation take new cells. A
    // size that is not the table's is reported.
    {"[Table]\nSize=3, 3\n" + k3x3, "N D", "9|1 2 3/4 5 6/7 8 9"},
    {"[Table]\nSize=3, 4\n" + k3x3, "N D", "12|1 2 3/4 5 6/7 8 9", 1,
     "line 6: \"Size\" says 3 rows and 4 columns; the table has 3 rows and 3 columns"},
    {"[Table]\nSize=64, 64\n" + k3x3, "N D", "4096|1 2 3/4 5 6/7 8 9", 1},
    {"[Table]\nSize=1, 1\n" + k3x3, "N D", "9|1 2 3/4 5 6/7 8 9", 1,
     "line 6: \"Size\" says 1 row and 1 column; the table has 3 rows and 3 columns"},
    {"[Table]\nSize=\nSize=abc, x\nSize=-5, 3\nSize=3, -5\nSize=-3, -3\nSize=65, 64\nSize=65536, 65536\n"
     "Size=2000000000, 2000000000\nSize=99999999999999999999, 2\n" + k3x3, "N D", "9|1 2 3/4 5 6/7 8 9", 12,
     "line 7: Size=abc, x is not two whole numbers (rows, columns); taken as 0, 0"},
    // ... nor once cells are handed out: a smaller block would pull them
    // from under the rows. (A stray group end lets table keys follow a row.)
    {"[Table]\n[Column]\n[Column]\n[Row]\nData=11, 22\n[EndGroup]\nSize=0, 0\n[Row]\nData=33, 44\n", "D",
     "11 22/33 44", 1},
    // Unknown keys and misplaced headings are reported; reading goes on.
    {"[Table]\nName=N\n[Title]\nName=Oops\nText=T\n", "tx Tx", "N|T", 1,
     LineMessage(kUnknownKey, 4 + 4, "Name")},
    {"[Table]\nColour=red\nName=After\n", "tx", "After", 1, LineMessage(kUnknownKey, 4 + 2, "Colour")},
    {"[Table]\n[Title]\nText=Kept\n[Column]\n[Title]\nText=Lost\n[Row]\n", "Tx #", "Kept|1x1", 2,
     LineMessage(kBadHeading, 4 + 5, "[Title]")},
    {"[Table]\n[Row]\nText=A\n[Title]\nText=Lost\n[Row]\nText=B\n", "Tx #", "|0x2", 1,
     LineMessage(kBadHeading, 4 + 4, "[Title]")},
    {"[Table]\n[Column]\n[Row]\nCellStyle=0, Nope\n", "#", "1x1", 2, "line 8: no style 'Nope'"},
    // An unknown heading ends the table; a row after it belongs to none.
    {"[Table]\n[Footing]\nText=F\nText=F2\n[Notes]\nData=3\n[Row]\nData=4\n", "Fx #", "F2|0x0", 2,
     LineMessage(kBadHeading, 4 + 5, "[Notes]")},
    // A failure stops the table and keeps what was read: the failing group
    // goes, the row before it stays, no linking runs and the cells handed
    // out stay in the block (1, 2 and 12).
    {"[Table]\nName=N\n[Column]\n[Row]\nText=R1\nData=1\n[RowGroup]\n[Row]\nData=2\n[Row]\nData=12, x\n"
     "[EndGroup]\n", "tx # K Gx N", "N|0x0|1x1|R1|3", 1, kStop + "Data cell is not numeric:  x", 0},
    {"[Table]\n[Row]\nData=1, , 2\n", "#", "0x0", 1, kStop + "Data cell is empty.", 0},
    {"[Table]\n[Row]\nData=1, 9223372036854775808\n", "#", "0x0", 1,
     kStop + "Data cell is not numeric:  9223372036854775808", 0},
    // Codes past the eighth have nowhere to go but are checked.
    {"[Table]\n[Row]\nAreaCodes=1, 2, 3, 4, 5, 6, 7, 8, 9, x\n", "#", "0x0", 1,
     kStop + "Area code(s) not numeric.", 0},
    {"[Table]\n[Row]\nAreaCodes=1, 2, 3, 4, 5, 6, 7, 8, , 9\n", "#", "0x0", 1,
     kStop + "Area code(s) missing.", 0},
    // 5000 x 5000 would need 25 million padding cells from 75 KB of text.
    {"[Table]\n" + Rep("[Column]\n", 5000) + Rep("[Row]\n", 5000), "N", "0", 1,
     "line 10005: the table would hold 25000000 cells, more than the 4800000 allowed; it is not loaded", 0},
};
// clang-format on

TEST(TableReader, EveryKeyAndHeadingAndEveryFailure) {
    CheckCases("[Style]\nLabel=Bold\n[Format]\nLabel=Pct\n", kKeys);
}

TEST(TableReader, TablesAreReadOneCallEachAndWithoutATableOrRegistryGiveZero) {
    MessageCapture capture;
    auto doc = Load("[Table]\nName=First\n[Column]\n[Table]\n[Table]\nName=Third\n[Row]\n", 4);
    EXPECT_EQ(doc->results, (std::vector<int>{1, 1, 1, 0}));
    EXPECT_EQ(Fields((*doc)[0], "tx #") + "/" + Fields((*doc)[1], "# Tx") + "/" + Fields((*doc)[2], "tx #"),
              "First|1x0/0x0|/Third|0x1");
    // Without a table the pieces still have the styles of their kinds.
    EXPECT_EQ(Fields((*doc)[3], "ts Ts Ss Hs Fs"), "Table|Title|StubHead|Header|Footer");
    EXPECT_TRUE(!(*doc)[3].IsLoaded() && capture.messages.empty());
    // A table without a registry reads nothing and leaves the reader where it was.
    kavo::CSpecFile file;
    file.OpenText("[Table]\nName=N\n[Row]\nData=1\n");
    CTable t;
    EXPECT_EQ(t.Build(file), 0);
    EXPECT_EQ(Fields(t, "tx #") + (t.IsLoaded() ? " loaded" : ""), "|0x0");
    kavo::CKAVOString key, value;
    EXPECT_TRUE(file.GetLine(key, value) == 0 && key == "[Table]");
}

TEST(TableReader, ProgressAtTableLevelHeadingsAndACancelThere) {
    MessageCapture capture;
    // The table-level headings are [ColumnGroup] and [Row]; before them lie
    // at least 8 + 300 x 29 and 8 + 600 x 29 + 14 bytes.
    const std::string text = "[Table]\n" + Rep("Name=padding padding padding\n", 300) + "[ColumnGroup]\n" +
                             Rep("Text=padding padding padding\n", 300) + "[Column]\n[EndGroup]\n[Row]\n";
    const char* const kAfter[] = {"1x1|1x1 loaded", "0x0|0x0", "0x0|1x0"};  // no cancel, cancels at 1 and 2
    for (int nCancelAt : {0, 1, 2}) {
        RecordingProgress progress(nCancelAt);
        auto doc = Load(text, 0);
        EXPECT_EQ(doc->Next(&progress), nCancelAt ? 0 : 1);
        // A cancel leaves the table unloaded and its trees unlinked.
        EXPECT_EQ(Fields((*doc)[0], "# K") + ((*doc)[0].IsLoaded() ? " loaded" : ""), kAfter[nCancelAt]);
        if (nCancelAt) continue;
        ASSERT_EQ(progress.positions.size(), 2u);
        EXPECT_GE(progress.positions[0], (8 + 300 * 29) / 100);
        EXPECT_GE(progress.positions[1], (8 + 600 * 29 + 14) / 100);
        EXPECT_LE(progress.positions[1], static_cast<int>(text.size() / 100));
    }
    // A document drops a failed table and reads the next, and stops at a cancel.
    kavo::CTableDocument doc;
    EXPECT_EQ(doc.LoadText("[Style]\nLabel=Bold\n[Table]\nName=A\n[Table]\nName=B\n[Row]\nData=z\n[Row]\n"
                           "[Table]\nName=C\nStyle=Bold\n"),
              0);
    ASSERT_EQ(doc.GetNumTables(), 2);
    EXPECT_EQ(Fields(*doc.GetTable(0), "tx") + "/" + Fields(*doc.GetTable(1), "tx ts"), "A/C|Bold");
    RecordingProgress progress(1);
    EXPECT_EQ(doc.LoadText("[Table]\n[Title]\n[Table]\nName=Second\n[Title]\n", &progress), 0);
    EXPECT_EQ(doc.GetNumTables(), 0);
    EXPECT_EQ(progress.positions.size(), 1u);  // the second table was not read
}

// A document keeps the messages of its last load with their ids and lines.
TEST(TableReader, ADocumentKeepsTheMessagesOfItsLoad) {
    MessageCapture capture;
    const struct {
        std::string text;
        int nResult;
        const char* values;  // "D" of the first table
        const char* messages;  // id@line, blank-separated
    } cases[] = {
        // Values separated by commas without blanks, or with several; a
        // byte-order mark; a size that fits: nothing to say.
        {"\xEF\xBB\xBF[Style]\nLabel=B\n[Table]\nSize=2, 3\n" + Rep("[Column]\n", 3) +
             "[Row]\nData=1,2,3\n[Row]\nData=4,   5,6\n",
         1, "1 2 3/4 5 6", ""},
        {"[Table]\nSize=0, 3\n" + Rep("[Column]\n", 3), 1, "", ""},
        // A short row and a long one; a size the file does not keep.
        {"[Table]\nSize=3, 2\n[Column]\n[Column]\n[Row]\nText=R1\nData=1\n[Row]\nData=1, 2, 3\n", 1,
         "1 0/1 2", "5012@2 5011@5 5011@8"},
        // A file that ends inside groups: one message, at the last line.
        {"[Table]\n[ColumnGroup]\nText=Residence\n[ColumnGroup]\n[Column]\n", 1, "", "5013@5"},
        // Values no keyword knows, names no registry holds, keys twice.
        {"[Style]\nHorJust=Middle\nLineTop=Dotted\n[Format]\nDecimals=one\nHidden=1\n[Table]\nName=A\nName=B\n"
         "[Column]\nCellStyle=NoSuchStyle\nCellFormat=NoSuchFormat\n",
         1, "", "5014@2 5014@3 5014@5 5014@6 5017@9 5015@11 5016@12"},
        // A failed last table fails the load, with a good one before it.
        {"[Table]\n[Table]\n[Column]\n[Row]\nData=1, x\n", 0, "", "5007@5"},
        {"[Style]\nLabel=B\n", 1, "", "5020@0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        kavo::CTableDocument doc;
        EXPECT_EQ(doc.LoadText(c.text), c.nResult);
        std::string got;
        for (const kavo::CLoadMessage& m : doc.GetMessages())
            got += (got.empty() ? "" : " ") + std::to_string(m.nID) + "@" + std::to_string(m.nLine);
        EXPECT_EQ(got, c.messages);
        ASSERT_EQ(capture.messages.size(), doc.GetMessages().size());
        for (std::size_t i = 0; i < capture.messages.size(); ++i)
            EXPECT_EQ(capture.messages[i].text, doc.GetMessages()[i].strText);
        capture.messages.clear();
        if (doc.GetNumTables() > 0) {
            EXPECT_EQ(Fields(*doc.GetTable(0), "D"), c.values);
        }
    }
    // The byte-order mark hid nothing, and a missing file says why.
    kavo::CTableDocument doc;
    EXPECT_EQ(doc.LoadText("\xEF\xBB\xBF[Style]\nLabel=B\n[Table]\nStyle=B\n"), 1);
    EXPECT_EQ(Fields(*doc.GetTable(0), "ts"), "B");
    EXPECT_EQ(doc.LoadFile("/nonexistent/dir/x.tbl"), 0);
    ASSERT_EQ(doc.GetMessages().size(), 1u);
    EXPECT_EQ(doc.GetMessages()[0].strText, "cannot open '/nonexistent/dir/x.tbl': No such file or directory");
}

}  // namespace
