// The export module's interface and its writers' edge cases: streams and
// files, failures that leave nothing half written, empty tables, plain
// decimals and the shape of a blocked part.
#include <gtest/gtest.h>

#if defined(KAVOTBL_HAVE_EXPORT)

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "kavotbl/export/export.h"
#include "kavotbl/file/document.h"
#include "shape.h"

namespace kavo {
namespace {

const char kTable[] =
    "[Format]\nLabel=Two\nDecimals=2\n[Table]\nSize=2, 3\nName=T\n[StubHead]\nText=Area\n"
    "[ColumnGroup]\nText=Sex\n[Column]\nText=Male\nCellFormat=Two\n[Column]\nText=Female\n[EndGroup]\n"
    "[Column]\nText=Total\n[RowGroup]\nText=North\n[Row]\nText=A\nData=1, 2, 3\n[EndGroup]\n"
    "[RowGroup]\nText=South\n[Row]\nText=B\nData=4, 5, 9\n[EndGroup]\n";

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct ExportTest : ::testing::Test {
    void SetUp() override {
        ASSERT_EQ(doc.LoadText(kTable), 1);
        char tmpl[] = "/tmp/kavotbl-export-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
    CTableDocument doc;
    std::string dir;
};

TEST_F(ExportTest, StreamsAndFilesHoldTheSameAndFailuresLeaveWhatWasThere) {
    CExportOptions options;
    for (ExportFormat f : {ExportFormat::Rtf, ExportFormat::Csv, ExportFormat::Html, ExportFormat::Xlsx}) {
        options.format = f;
        std::ostringstream out;
        CExportReport report;
        ASSERT_EQ(ExportDocument(doc, out, options, &report), 1) << report.strError;
        const std::string path = dir + "/t." + GetExportFormatName(f);
        ASSERT_EQ(ExportDocument(doc, path.c_str(), options, &report), 1) << report.strError;
        const std::string file = Slurp(path);
        if (f == ExportFormat::Xlsx) {
            EXPECT_EQ(file.compare(0, 2, "PK"), 0);  // a zip; its time stamps differ from run to run
            EXPECT_EQ(out.str().compare(0, 2, "PK"), 0);
        } else {
            EXPECT_EQ(file, out.str()) << GetExportFormatName(f);
        }
        ExportFormat back;
        ASSERT_EQ(FindExportFormat(std::string(GetExportFormatName(f)), back), 1);
        EXPECT_EQ(back, f);
    }
    ExportFormat f;
    EXPECT_EQ(FindExportFormat("HTM", f), 1);
    EXPECT_EQ(f, ExportFormat::Html);
    EXPECT_EQ(FindExportFormat("pdf", f), 0);

    // A folder that does not exist, a folder as the target, no name: a
    // reason, and the old file stays.
    options.format = ExportFormat::Csv;
    const std::string old = dir + "/t.csv", before = Slurp(old);
    CExportReport report;
    EXPECT_EQ(ExportDocument(doc, (dir + "/missing/t.csv").c_str(), options, &report), 0);
    EXPECT_NE(report.strError.find("cannot write " + dir + "/missing/t.csv: "), std::string::npos);
    EXPECT_EQ(ExportDocument(doc, dir.c_str(), options, &report), 0);
    EXPECT_NE(report.strError.find("it is a folder"), std::string::npos);
    EXPECT_EQ(ExportDocument(doc, "", options, &report), 0);
    chmod(dir.c_str(), 0500);
    if (access(dir.c_str(), W_OK) != 0) {  // root writes anyway
        options.format = ExportFormat::Xlsx;
        EXPECT_EQ(ExportDocument(doc, old.c_str(), options, &report), 0);
        EXPECT_EQ(Slurp(old), before);
    }
    chmod(dir.c_str(), 0700);
    // Nothing but the files written is left in the folder.
    std::system(("ls -A '" + dir + "' > '" + dir + ".list'").c_str());
    EXPECT_EQ(Slurp(dir + ".list"), "t.csv\nt.html\nt.rtf\nt.xlsx\n");
    std::remove((dir + ".list").c_str());

    // A FIFO is written in place.
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] { got = Slurp(fifo); });
    options.format = ExportFormat::Csv;
    EXPECT_EQ(ExportDocument(doc, fifo.c_str(), options, &report), 1) << report.strError;
    reader.join();
    EXPECT_EQ(got.substr(0, 28), "Area,Sex: Male,Sex: Female,T");
}

TEST_F(ExportTest, EmptyTablesAndBlockedParts) {
    CTableDocument empty;
    ASSERT_EQ(empty.LoadText("[Table]\nSize=0, 0\nName=[]\n[Title]\nText=Nothing\n"), 1);
    CExportOptions options;
    for (ExportFormat f : {ExportFormat::Rtf, ExportFormat::Csv, ExportFormat::Html, ExportFormat::Xlsx}) {
        options.format = f;
        std::ostringstream out;
        CExportReport report;
        EXPECT_EQ(ExportDocument(empty, out, options, &report), 1) << GetExportFormatName(f);
        if (f == ExportFormat::Html) {
            EXPECT_NE(out.str().find("\">\n<caption"), std::string::npos);
            EXPECT_EQ(out.str().find("<thead>"), std::string::npos);
        }
        if (f == ExportFormat::Csv) {
            EXPECT_EQ(out.str(), "");
        }
        if (f == ExportFormat::Xlsx) {
            EXPECT_EQ(report.arrWarnings.size(), 1u);  // the sheet's name
        }
    }

    // The block: Female and Total of row B; Sex keeps its one column, the
    // North caption goes with its row.
    CTable& t = *doc.GetTable(0);
    CRectArray rects;
    ASSERT_EQ(t.SelectBlock(1, 1, 1, 2, rects), 1);
    export_detail::TableShape shape;
    export_detail::MakeShape(t, 1, shape);
    EXPECT_EQ(shape.columns, (std::vector<int>{1, 2}));
    ASSERT_EQ(shape.head.size(), 3u);
    EXPECT_EQ(std::string(shape.head[0].pColumn->GetText().str()) + " " + std::to_string(shape.head[0].nSpan), "Sex 1");
    EXPECT_EQ(shape.head[1].nRows, 2);  // Total reaches down both heading rows
    EXPECT_EQ(shape.head[2].nLevel, 1);
    ASSERT_EQ(shape.body.size(), 2u);
    EXPECT_EQ(std::string(shape.body[0].pRow->GetText().str()) + shape.body[1].pRow->GetText().str(), "SouthB");
}

TEST(PlainDecimal, ScaledIntegersAsDecimals) {
    const struct {
        std::int64_t v;
        int d;
        const char* text;
    } cases[] = {{0, 0, "0"},     {0, 2, "0.00"},   {123450, 2, "1234.50"}, {-5, 2, "-0.05"},
                 {7, 3, "0.007"}, {-1234, 0, "-1234"}, {12, -2, "1200"},    {INT64_MIN, 0, "-9223372036854775808"},
                 {INT64_MAX, 19, "0.9223372036854775807"}};
    for (const auto& c : cases) {
        std::string s;
        export_detail::AppendPlainDecimal(s, c.v, c.d);
        EXPECT_EQ(s, c.text) << c.v << " " << c.d;
    }
}

}  // namespace
}  // namespace kavo

#else

TEST(Export, NeedsTheExportModule) { GTEST_SKIP() << "the export module was not built"; }

#endif
