// Tables built from code: what they save, that the rest of the library
// treats them as loaded ones, and what the builder refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draw_test_support.h"
#include "file_test_support.h"

using namespace kavo;

namespace {

// Every style, format and node of the table file that the built table saves.
struct Built {
    Built() {
        registry.InitDefaults();
        CStyle bold(CKAVOString("Bold"));
        bold.m_nHorJust = HJUST_CENTER;
        registry.RegisterStyle(&bold);
        CFormat pct(CKAVOString("Pct"));
        pct.m_nDecimals = 1;
        nPct = registry.RegisterFormat(&pct);
        table.SetStyleRegistry(&registry);

        CTableBuilder b(table);
        b.SetName("Households");
        b.SetTitle("Table 1. Households");
        b.SetHeading("Census 2020");
        b.SetFooting("Source: census");
        b.SetStubHead("Size");
        b.SetAreaLevels(2);
        CTblColumn* pResidence = b.AddSpanner("Residence");
        b.AddColumn("Urban", pResidence);
        b.AddColumn("Rural", pResidence);
        b.SetCellFormat(b.AddColumn("Total"), "Pct");
        CTblRow* pAll = b.AddCaption("All households");
        CTblRow* pOne = b.AddRow("One person", {1200, 800, 2000}, pAll);
        b.SetCellStyle(pOne, 1, "Bold");
        b.AddRow("Two persons", {950, 600}, pAll);  // padded with 0
        CTblRow* pNotStated = b.AddRow("Not stated", {5000000000, 1, 2, 99});  // 99 lies beyond the columns
        b.SetStyle(pNotStated, "Bold");
        CAreaStruct area;
        area.SetCode(0, 7), area.SetCode(1, 3);
        b.SetArea(pNotStated, area, "North");
        linked = b.Link();
    }
    std::string Save() const {
        CSpecFile out;
        out.OpenTextWrite();
        registry.Save(out);
        table.Save(out);
        return out.GetText();
    }
    CStyleRegistry registry;
    CTable table;
    int nPct = -1;
    int linked = 0;
};

const char* const kBuiltText =
    "[Style]\nLabel=Table\n[Style]\nLabel=Title\n[Style]\nLabel=StubHead\n[Style]\nLabel=Footer\n"
    "[Style]\nLabel=Header\n[Style]\nLabel=ColumnGroup\n[Style]\nLabel=Column\n[Style]\nLabel=RowGroup\n"
    "[Style]\nLabel=Row\n[Style]\nLabel=Bold\nHorJust=Center\n[Format]\nLabel=Pct\nDecimals=1\n"
    "\n[Table]\nSize=3, 3\nAreaLevels=2\nName=Households\n\n[Title]\nText=Table 1. Households\n"
    "\n[StubHead]\nText=Size\n\n[Heading]\nText=Census 2020\n\n[Footing]\nText=Source: census\n"
    "\n[ColumnGroup]\nText=Residence\n\n[Column]\nText=Urban\n\n[Column]\nText=Rural\n[EndGroup]\n"
    "\n[Column]\nText=Total\nCellFormat=Pct\n\n[RowGroup]\nText=All households\n"
    "\n[Row]\nText=One person\nCellStyle=1, Bold\nData=1200, 800, 2000\n"
    "\n[Row]\nText=Two persons\nData=950, 600, 0\n[EndGroup]\n"
    "\n[Row]\nText=        Not stated\nAreaCodes=7, 3, 0, 0, 0, 0, 0, 0\nAreaName=North\nStyle=Bold\n"
    "Data=5000000000, 1, 2\n";

// Boxes of every node, piece and cell, in a fixed order.
std::vector<CRect> AllBoxes(const CTable& t) {
    std::vector<CRect> out{t.GetTitle()->GetPos(), t.GetStubHead()->GetPos(), t.GetHeader()->GetPos(),
                           t.GetFooter()->GetPos()};
    const auto node = [&](const CRowColOb* n) { out.push_back(n->GetPos()); };
    ForEachNode(t.GetColumnRoot(), node);
    ForEachNode(t.GetRowRoot(), node);
    for (int r = 0; r < t.GetNumDataRows(); ++r)
        for (int c = 0; c < t.GetNumDataColumns(); ++c) out.push_back(t.GetCell(r, c)->GetPos());
    return out;
}

}  // namespace

TEST(TableBuilder, ABuiltTableSavesAsTheFileThatLoadsToIt) {
    Built built;
    ASSERT_EQ(built.linked, 1);
    EXPECT_EQ(built.nPct, 1);  // after the "Default" format, so that saving keeps it
    EXPECT_EQ(built.table.IsLoaded(), 1);
    const std::string text = built.Save();
    EXPECT_EQ(text, kBuiltText);
    EXPECT_EQ(built.table.GetCellData(2, 0), 5000000000);
    EXPECT_EQ(built.table.GetCell(0, 1)->GetStyle()->GetLabel(), "Bold");
    EXPECT_EQ(built.table.GetCell(1, 2)->GetFormat()->GetLabel(), "Pct");
    EXPECT_EQ(built.table.GetRow(1)->GetParent(), built.table.GetRowRoot()->GetChild(0));

    // Loaded again, it saves the same text.
    file_test::MessageCapture capture;
    CTableDocument doc;
    ASSERT_EQ(doc.LoadText(text), 1);
    EXPECT_EQ(doc.SaveText(), text);
    EXPECT_TRUE(capture.messages.empty());
}

TEST(TableBuilder, ABuiltTableLaysOutDrawsPrintsAndExportsAsTheLoadedOne) {
    Built built;
    CTableDocument doc;
    ASSERT_EQ(doc.LoadText(built.Save()), 1);
    CTable& loaded = *doc.GetTable(0);
    CTable* const tables[] = {&built.table, &loaded};
    std::string screen[2], page[2];
    std::vector<CRect> boxes[2];
    int nPages[2] = {0, 0}, nGrid[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        CTable& t = *tables[i];
        CRecordingDC dc;
        t.LayoutTable(CRect(0, 0, 500, 300), &dc);
        boxes[i] = AllBoxes(t);
        dc.ClearCalls();
        t.Draw(&dc, CRect(0, 0, 500, 300), kScreenPage);
        screen[i] = dc.Dump();
        CRecordingDC printer(MM_TWIPS);
        t.BackupClient(kScreenSlot);
        t.LayoutPrinter(CRect(0, 0, 400, -150), &printer);
        nPages[i] = t.GetNumPages();
        printer.ClearCalls();
        t.Draw(&printer, CRect(0, 0, 400, -150), nPages[i] - 1);
        page[i] = printer.Dump();
        t.RestoreClient(kScreenSlot);
        CRTFRowArray rows;
        t.LayoutRTF(rows, 0);
        nGrid[i] = rows.GetSize();
    }
    EXPECT_EQ(boxes[0], boxes[1]);
    EXPECT_EQ(screen[0], screen[1]);
    EXPECT_GT(nPages[0], 1);
    EXPECT_EQ(nPages[0], nPages[1]);
    EXPECT_EQ(page[0], page[1]);
    EXPECT_EQ(nGrid[0], 2 + 3);  // two heading levels, three data rows
    EXPECT_EQ(nGrid[0], nGrid[1]);
}

TEST(TableBuilder, WhatCannotBeDoneChangesNothing) {
    CStyleRegistry registry;  // given its defaults by the builder
    CTable table, other;
    table.SetStyleRegistry(&registry);
    other.SetStyleRegistry(&registry);
    CTableBuilder b(table), ob(other);
    EXPECT_EQ(registry.GetStyle(0)->GetLabel(), "Default");
    EXPECT_EQ(registry.GetFormat(0)->GetLabel(), "Default");
    EXPECT_NE(registry.FindStyle(CKAVOString("RowGroup")), nullptr);

    CTblColumn* pCol = b.AddColumn("A");
    CTblRow* pRow = b.AddRow("r", {1});
    CTblColumn* pForeign = ob.AddSpanner("S");
    EXPECT_EQ(b.AddColumn("B", pForeign), nullptr);  // another builder's spanner
    EXPECT_EQ(b.AddColumn("B", pCol), nullptr);      // a data column takes no children
    EXPECT_EQ(b.AddRow("s", {}, pRow), nullptr);
    EXPECT_EQ(b.SetStyle(pCol, "No such style"), 0);
    EXPECT_EQ(b.SetCellFormat(pRow, 0, "No such format"), 0);
    EXPECT_EQ(b.SetStyle(pForeign, "Default"), 0);
    EXPECT_EQ(pCol->GetStyle()->GetLabel(), "Column");
    EXPECT_EQ(b.Link(), 1);
    EXPECT_EQ(b.Link(), 0);
    EXPECT_EQ(b.AddColumn("late"), nullptr);
    EXPECT_EQ(table.GetNumDataColumns(), 1);
    EXPECT_EQ(table.GetCellData(0, 0), 1);

    // A table that already holds a table builds nothing more.
    CTableBuilder again(table);
    EXPECT_EQ(again.AddRow("x", {2}), nullptr);
    EXPECT_EQ(again.Link(), 0);
    EXPECT_EQ(table.GetNumDataRows(), 1);

    // Defaults put in front of what a host registered first.
    CStyleRegistry fromCode;
    CFormat pct(CKAVOString("Pct"));
    EXPECT_EQ(fromCode.RegisterFormat(&pct), 0);
    fromCode.InitDefaults();
    EXPECT_EQ(fromCode.GetFormat(0)->GetLabel(), "Default");
    EXPECT_EQ(fromCode.GetFormat(1)->GetLabel(), "Pct");
    EXPECT_EQ(fromCode.GetNumStyles(), 10);
    fromCode.InitDefaults();
    EXPECT_EQ(fromCode.GetNumStyles() + fromCode.GetNumFormats(), 12);
}
