// Reading column and row sections: keys, nesting, data values, area codes,
// single-cell masks and the limit on nesting.
#include <gtest/gtest.h>

#include <string>

#include "file/file_util.h"
#include "file_test_support.h"
#include "kavotbl/model/table.h"
#include "kavotbl/resources/strings.h"

using file_test::Load;
using file_test::MessageCapture;
using kavo::CTable;

namespace {

const char* const kStyles =
    "[Style]\nLabel=Bold\n[Style]\nLabel=Italic\n[Format]\nLabel=Pct\nDecimals=1\n[Format]\nLabel=Thousands\n";

class GroupReaderTest : public ::testing::Test {
protected:
    std::unique_ptr<file_test::Loaded> Read(const std::string& body) { return Load(std::string(kStyles) + body); }
    MessageCapture capture;
};

// ---------------------------------------------------------------------------
// Columns

TEST_F(GroupReaderTest, ColumnKeysSetTheNode) {
    auto doc = Read("[Table]\n[Column]\nText=Urban\nStyle=Bold\nCellStyle=Italic\nCellFormat=Pct\n");
    const kavo::CTblColumn* p = (*doc)[0].GetColumn(0);
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(p->GetText(), "Urban");
    EXPECT_EQ(p->GetStyle(), doc->registry.FindStyle("Bold"));
    EXPECT_EQ(p->GetCellStyle(), doc->registry.FindStyle("Italic"));
    EXPECT_EQ(p->GetCellFormat(), doc->registry.FindFormat("Pct"));
}

TEST_F(GroupReaderTest, SpannerAndColumnTakeTheStylesOfTheirKinds) {
    auto doc = Read("[Table]\n[ColumnGroup]\nText=S\n[Column]\nText=A\n[Column]\nText=B\n[EndGroup]\n[Column]\nText=C\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetColumnRoot()->GetNumChildren(), 2);
    EXPECT_EQ(t.GetColumnRoot()->GetChild(0)->GetStyle(), doc->registry.FindStyle("ColumnGroup"));
    EXPECT_EQ(t.GetColumnRoot()->GetChild(0)->GetNumChildren(), 2);
    ASSERT_EQ(t.GetNumDataColumns(), 3);
    EXPECT_EQ(t.GetColumn(0)->GetStyle(), doc->registry.FindStyle("Column"));
    EXPECT_EQ(t.GetColumn(2)->GetText(), "C");
    EXPECT_EQ(t.GetColumn(2)->GetParent(), t.GetColumnRoot());
}

TEST_F(GroupReaderTest, UnknownCellStyleOrFormatClearsAnEarlierOne) {
    auto doc = Read("[Table]\n[Column]\nCellStyle=Bold\nCellStyle=Nope\nCellFormat=Pct\nCellFormat=Nope\nWidth=3\n");
    const kavo::CTblColumn* p = (*doc)[0].GetColumn(0);
    EXPECT_EQ(p->GetCellStyle(), nullptr);
    EXPECT_EQ(p->GetCellFormat(), nullptr);
    ASSERT_EQ(capture.messages.size(), 3u);
    EXPECT_NE(capture.messages[0].text.find("line 13:\nCellStyle"), std::string::npos) << capture.messages[0].text;
    EXPECT_NE(capture.messages[2].text.find("line 16:\nWidth"), std::string::npos) << capture.messages[2].text;
}

TEST_F(GroupReaderTest, EmptyColumnGroupIsADataColumn) {
    auto doc = Read("[Table]\n[ColumnGroup]\nText=Lonely\n[EndGroup]\n[Column]\nText=B\n[Row]\nData=1\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetNumDataColumns(), 2);
    EXPECT_EQ(t.GetColumn(0)->GetText(), "Lonely");
    EXPECT_EQ(t.GetRow(0)->GetNumCells(), 2);
}

TEST_F(GroupReaderTest, RowSectionClosesASpannerWithoutEndGroup) {
    auto doc = Read("[Table]\n[ColumnGroup]\n[Column]\nText=A\n[Column]\nText=B\n[RowGroup]\n[Row]\nData=1, 2\n[EndGroup]\n");
    CTable& t = (*doc)[0];
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(t.GetColumnRoot()->GetNumChildren(), 1);
    EXPECT_EQ(t.GetNumDataColumns(), 2);
    EXPECT_EQ(t.GetNumDataRows(), 1);
}

TEST_F(GroupReaderTest, ColumnSectionsInterleaveWithRowSections) {
    auto doc = Read("[Table]\n[Column]\nText=A\n[Row]\nData=1, 2\n[Column]\nText=B\n[Row]\nData=3, 4\n");
    CTable& t = (*doc)[0];
    ASSERT_EQ(t.GetNumDataColumns(), 2);
    EXPECT_EQ(t.GetColumn(1)->GetText(), "B");
    EXPECT_EQ(t.GetCellData(1, 1), 4);
}

// ---------------------------------------------------------------------------
// Rows

TEST_F(GroupReaderTest, RowKeysSetTheNode) {
    auto doc = Read("[Table]\n[Column]\n[Row]\nText=R\nStyle=Bold\nCellStyle=Italic\nCellFormat=Pct\nAreaName=Here\nData=5\n");
    const kavo::CTblRow* p = (*doc)[0].GetRow(0);
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(p->GetText(), "R");
    EXPECT_EQ(p->GetStyle(), doc->registry.FindStyle("Bold"));
    EXPECT_EQ(p->GetCellStyle(), doc->registry.FindStyle("Italic"));
    EXPECT_EQ(p->GetCellFormat(), doc->registry.FindFormat("Pct"));
    EXPECT_EQ(p->GetAreaName(), "Here");
    EXPECT_FALSE(p->HasArea());
}

TEST_F(GroupReaderTest, DataLinesContinueOneAnother) {
    auto doc = Read("[Table]\n[Column]\n[Column]\n[Column]\n[Column]\n[Column]\n[Column]\n"
                    "[Row]\nData=1, 2, 3\nData=\nData=4, 5, 6\n");
    CTable& t = (*doc)[0];
    EXPECT_TRUE(capture.messages.empty());
    ASSERT_EQ(t.GetRow(0)->GetNumCells(), 6);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(t.GetCellData(0, c), c + 1);
    // The empty line took no cell, and nothing had to be padded.
    EXPECT_EQ(t.GetNumDataCells(), 6);
}

TEST_F(GroupReaderTest, ValuesFillDataColumnsInOrderAndKeepSixtyFourBits) {
    std::string body = "[Table]\n";
    for (int i = 0; i < 6; ++i) body += "[Column]\n";
    body += "[Row]\nData=1, -2, 3\nData=9223372036854775807, -9223372036854775808, 4294967296\n";
    auto doc = Read(body);
    CTable& t = (*doc)[0];
    EXPECT_EQ(t.GetCellData(0, 0), 1);
    EXPECT_EQ(t.GetCellData(0, 1), -2);
    EXPECT_EQ(t.GetCellData(0, 3), INT64_MAX);
    EXPECT_EQ(t.GetCellData(0, 4), INT64_MIN);
    EXPECT_EQ(t.GetCellData(0, 5), std::int64_t{1} << 32);
}

TEST_F(GroupReaderTest, EveryNumericFormOfAValueIsRead) {
    std::string body = "[Table]\n";
    for (int i = 0; i < 8; ++i) body += "[Column]\n";
    body += "[Row]\nData=007, -0, +5, 123456789012345678, 1234567890123456789, -1000000000000000000, 42 , -12\n";
    auto doc = Read(body);
    CTable& t = (*doc)[0];
    ASSERT_EQ(doc->results[0], 1);
    EXPECT_EQ(t.GetCellData(0, 0), 7);
    EXPECT_EQ(t.GetCellData(0, 1), 0);
    EXPECT_EQ(t.GetCellData(0, 2), 5);
    EXPECT_EQ(t.GetCellData(0, 3), 123456789012345678);
    EXPECT_EQ(t.GetCellData(0, 4), 1234567890123456789);
    EXPECT_EQ(t.GetCellData(0, 5), -1000000000000000000);
    EXPECT_EQ(t.GetCellData(0, 6), 42);
    EXPECT_EQ(t.GetCellData(0, 7), -12);
}

TEST_F(GroupReaderTest, ValueBeyondSixtyFourBitsIsNotNumeric) {
    auto doc = Read("[Table]\n[Row]\nData=1, 9223372036854775808\n");
    EXPECT_EQ(doc->results[0], 0);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, "Internal tabluation error.  Data cell is not numeric:  9223372036854775808");
}

TEST_F(GroupReaderTest, AreaCodesIndentTheRowText) {
    auto doc = Read("[Table]\n[Row]\nText=Urban\nAreaCodes=1, 2\n[Row]\nText=Same\nAreaCodes=0, 0\n"
                    "[Row]\nText=Deep\nAreaCodes=0, 0, 0, 0, 0, 0, 0, 5\n");
    CTable& t = (*doc)[0];
    const kavo::CTblRow* p = t.GetRow(0);
    EXPECT_TRUE(p->HasArea());
    EXPECT_EQ(p->GetArea().GetCode(0), 1);
    EXPECT_EQ(p->GetArea().GetCode(1), 2);
    for (int i = 2; i < 8; ++i) EXPECT_EQ(p->GetArea().GetCode(i), 0);
    EXPECT_EQ(p->GetText(), std::string(8, ' ') + "Urban");
    EXPECT_TRUE(t.GetRow(1)->HasArea());
    EXPECT_EQ(t.GetRow(1)->GetText(), "Same");
    EXPECT_EQ(t.GetRow(2)->GetText(), std::string(32, ' ') + "Deep");
}

TEST_F(GroupReaderTest, AreaCodesOfARowGroupDoNotIndent) {
    auto doc = Read("[Table]\n[RowGroup]\nText=Region\nAreaCodes=7, 3\n[Row]\nText=A\n[EndGroup]\n");
    const kavo::CTblRow* p = (*doc)[0].GetRowRoot()->GetChild(0);
    EXPECT_EQ(p->GetText(), "Region");
    EXPECT_EQ(p->GetArea().GetCode(0), 7);
    EXPECT_EQ(p->GetArea().GetCode(1), 3);
}

TEST_F(GroupReaderTest, TextAfterAreaCodesReplacesTheIndentedText) {
    auto doc = Read("[Table]\n[Row]\nText=Old\nAreaCodes=1\nText=New\n");
    EXPECT_EQ((*doc)[0].GetRow(0)->GetText(), "New");
}

TEST_F(GroupReaderTest, MoreThanEightAreaCodesKeepTheFirstEight) {
    auto doc = Read("[Table]\n[Row]\nText=T\nAreaCodes=1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11\nAreaName=N\n");
    const kavo::CTblRow* p = (*doc)[0].GetRow(0);
    EXPECT_EQ(doc->results[0], 1);
    EXPECT_TRUE(capture.messages.empty());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(p->GetArea().GetCode(i), i + 1);
    EXPECT_EQ(p->GetText(), std::string(32, ' ') + "T");
    EXPECT_EQ(p->GetAreaName(), "N");  // the record's neighbours are intact
}

TEST_F(GroupReaderTest, CodesBeyondTheEighthAreStillChecked) {
    auto doc = Read("[Table]\n[Row]\nAreaCodes=1, 2, 3, 4, 5, 6, 7, 8, 9, x\n");
    EXPECT_EQ(doc->results[0], 0);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, "Internal tabluation error.  Area code(s) not numeric.");
    EXPECT_EQ(capture.messages[0].type, kavo::MB_OK | kavo::MB_ICONSTOP);

    capture.messages.clear();
    auto doc2 = Read("[Table]\n[Row]\nAreaCodes=1, 2, 3, 4, 5, 6, 7, 8, , 9\n");
    EXPECT_EQ(doc2->results[0], 0);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, "Internal tabluation error.  Area code(s) missing.");
}

TEST_F(GroupReaderTest, AreaCodesTakeTheLow32BitsOfEachCode) {
    auto doc = Read("[Table]\n[Row]\nAreaCodes=4294967297, -1\n");
    const kavo::CTblRow* p = (*doc)[0].GetRow(0);
    EXPECT_EQ(p->GetArea().GetCode(0), 1);
    EXPECT_EQ(p->GetArea().GetCode(1), -1);
}

TEST_F(GroupReaderTest, RowGroupCellsAreLeftAloneByLinking) {
    auto doc = Read("[Table]\n[Column]\n[Column]\n[RowGroup]\nData=7\n[Row]\nData=1, 2\n[EndGroup]\n");
    const kavo::CTblRow* pGroup = (*doc)[0].GetRowRoot()->GetChild(0);
    ASSERT_EQ(pGroup->GetNumCells(), 1);
    EXPECT_EQ(pGroup->GetCell(0)->GetData(), 7);
    EXPECT_EQ(pGroup->GetCell(0)->GetCol(), nullptr);
}

TEST_F(GroupReaderTest, RowInsideARowBecomesItsSibling) {
    auto doc = Read("[Table]\n[RowGroup]\nText=G\n[Row]\nText=A\n[Row]\nText=B\n[EndGroup]\n");
    const kavo::CTblRow* pGroup = (*doc)[0].GetRowRoot()->GetChild(0);
    ASSERT_EQ(pGroup->GetNumChildren(), 2);
    EXPECT_EQ(pGroup->GetChild(1)->GetText(), "B");
    EXPECT_TRUE(pGroup->GetChild(0)->HasData());
}

TEST_F(GroupReaderTest, UnknownHeadingAfterARowEndsOnlyThatRow) {
    auto doc = Read("[Table]\n[Title]\nText=Kept\n[Row]\nText=A\n[Title]\nText=Lost\n[Row]\nText=B\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(doc->results[0], 1);
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_NE(capture.messages[0].text.find("line 15:\n[Title]"), std::string::npos) << capture.messages[0].text;
    EXPECT_EQ(t.GetTitle()->GetText(), "Kept");
    ASSERT_EQ(t.GetNumDataRows(), 2);
    EXPECT_EQ(t.GetRow(1)->GetText(), "B");
}

TEST_F(GroupReaderTest, FailureInsideAGroupDestroysTheWholeGroup) {
    auto doc = Read("[Table]\n[Row]\nText=Kept\n[RowGroup]\n[Row]\nData=1\n[Row]\nData=q\n[EndGroup]\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(doc->results[0], 0);
    ASSERT_EQ(t.GetRowRoot()->GetNumChildren(), 1);
    EXPECT_EQ(t.GetRowRoot()->GetChild(0)->GetText(), "Kept");
    ASSERT_EQ(capture.messages.size(), 1u);
    EXPECT_EQ(capture.messages[0].text, "Internal tabluation error.  Data cell is not numeric:  q");
}

// ---------------------------------------------------------------------------
// Masks

TEST_F(GroupReaderTest, CellStyleWithAColumnNumberMasksOneCell) {
    auto doc = Read("[Table]\n[Column]\n[Column]\n[Column]\n[Column]\n"
                    "[Row]\nCellStyle=Bold\nCellStyle=3, Italic\nCellFormat=1, Pct\nData=1, 2, 3, 4\n");
    CTable& t = (*doc)[0];
    const kavo::CStyleRegistry& reg = doc->registry;
    EXPECT_EQ(t.GetRow(0)->GetCellStyle(), reg.FindStyle("Bold"));  // the mask left it alone
    EXPECT_EQ(t.GetCell(0, 3)->GetStyle(), reg.FindStyle("Italic"));
    EXPECT_EQ(t.GetCell(0, 2)->GetStyle(), reg.FindStyle("Bold"));
    EXPECT_EQ(t.GetCell(0, 1)->GetFormat(), reg.FindFormat("Pct"));
    EXPECT_EQ(t.GetCell(0, 0)->GetFormat(), reg.GetFormat(0));
}

TEST_F(GroupReaderTest, MaskInAGroupBeforeItsFirstRowCarriesThatRowsNumber) {
    auto doc = Read("[Table]\n[Column]\n[Column]\n[Row]\nText=Zero\n"
                    "[RowGroup]\nCellStyle=1, Bold\n[Row]\nText=One\n[Row]\nText=Two\n[EndGroup]\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(t.GetCell(1, 1)->GetStyle(), doc->registry.FindStyle("Bold"));
    EXPECT_EQ(t.GetCell(0, 1)->GetStyle(), doc->registry.GetStyle(0));
    EXPECT_EQ(t.GetCell(2, 1)->GetStyle(), doc->registry.GetStyle(0));
}

TEST_F(GroupReaderTest, MaskWithAnUnknownNameIsReportedAndGivesNothing) {
    auto doc = Read("[Table]\n[Column]\nCellStyle=Italic\n[Column]\n[Row]\nCellStyle=0, Nope\nCellFormat=0, Nope\nData=1, 2\n");
    CTable& t = (*doc)[0];
    EXPECT_EQ(capture.messages.size(), 2u);
    EXPECT_EQ(t.GetCell(0, 0)->GetStyle(), doc->registry.FindStyle("Italic"));
    EXPECT_EQ(t.GetCell(0, 0)->GetFormat(), doc->registry.GetFormat(0));
}

// ---------------------------------------------------------------------------
// Nesting limit

class NestingTest : public ::testing::TestWithParam<const char*> {
protected:
    MessageCapture capture;
};

TEST_P(NestingTest, DeepGroupsStopAtTheLimitWithoutOverflowingTheStack) {
    const std::string heading = GetParam();
    std::string text = "[Table]\n";
    for (int i = 0; i < 100000; ++i) text += heading + "\n";
    auto doc = Load(text);
    CTable& t = (*doc)[0];
    const int nLimit = kavo::file_detail::kMaxGroupDepth;
    ASSERT_EQ(doc->results[0], 1);
    const kavo::CRowColOb* pRoot = heading == "[ColumnGroup]" ? static_cast<const kavo::CRowColOb*>(t.GetColumnRoot())
                                                               : t.GetRowRoot();
    EXPECT_EQ(pRoot->GetDepth(0), nLimit);
    // The first heading past the limit is line nLimit + 2 (line 1 is [Table]).
    ASSERT_FALSE(capture.messages.empty());
    EXPECT_NE(capture.messages[0].text.find("line " + std::to_string(nLimit + 2) + ":\n" + heading), std::string::npos)
        << capture.messages[0].text;
    // Saving and destroying such a tree recurse too.
    const std::string saved = file_test::SaveTable(t);
    EXPECT_GT(saved.size(), static_cast<std::size_t>(nLimit) * heading.size());
}

INSTANTIATE_TEST_SUITE_P(Trees, NestingTest, ::testing::Values("[ColumnGroup]", "[RowGroup]"));

TEST_F(GroupReaderTest, NestingUpToTheLimitIsReadWhole) {
    const int nDepth = kavo::file_detail::kMaxGroupDepth;
    std::string body = "[Table]\n";
    for (int i = 0; i < nDepth - 1; ++i) body += "[RowGroup]\n";
    body += "[Row]\nData=42\n";
    for (int i = 0; i < nDepth - 1; ++i) body += "[EndGroup]\n";
    body += "[Column]\n";
    auto doc = Read(body);
    CTable& t = (*doc)[0];
    EXPECT_TRUE(capture.messages.empty());
    EXPECT_EQ(t.GetRowRoot()->GetDepth(0), nDepth);
    ASSERT_EQ(t.GetNumDataRows(), 1);
    EXPECT_EQ(t.GetCellData(0, 0), 42);
    EXPECT_EQ(t.GetNumDataColumns(), 1);
}

}  // namespace
