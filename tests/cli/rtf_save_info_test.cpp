// kavotbl rtf, save and info as a user runs them: RTF documents opened by
// LibreOffice, saves reloaded and saved again, info checked against its
// JSON schema and against layout numbers worked out by hand, and bad input.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <set>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "kavotbl/file/document.h"
#include "kavotbl/kavotbl.h"

namespace {

using Json = nlohmann::json;

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Trim(const std::string& s) {
    // LibreOffice writes a no-break space for a leading blank.
    std::string t = s;
    for (std::size_t p; (p = t.find("\xC2\xA0")) != std::string::npos;) t.replace(p, 2, " ");
    const std::size_t a = t.find_first_not_of(" \t\r");
    if (a == std::string::npos) return std::string();
    return t.substr(a, t.find_last_not_of(" \t\r") - a + 1);
}

// Non-empty lines, trimmed.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream ss(text);
    for (std::string line; std::getline(ss, line);) {
        if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        line = Trim(line);
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> ListDir(const std::string& dir, const std::string& suffix) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n == "." || n == "..") continue;
            if (n.size() >= suffix.size() && n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0)
                names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The example table files: those shipped under examples/ and those of the
// program tests.
std::vector<std::string> Examples() {
    std::vector<std::string> files;
    const std::string examples = std::string(KAVOTBL_SOURCE_DIR) + "/examples";
    for (const std::string& n : ListDir(examples, ".tbl")) files.push_back(examples + "/" + n);
    for (const std::string& n : ListDir(KAVOTBL_CLI_DATA_DIR, ".tbl")) files.push_back(std::string(KAVOTBL_CLI_DATA_DIR) + "/" + n);
    return files;
}

std::string Data(const std::string& name) { return std::string(KAVOTBL_CLI_DATA_DIR) + "/" + name; }

std::string BaseName(const std::string& path) {
    std::string b = path.substr(path.rfind('/') + 1);
    return b.substr(0, b.rfind('.'));
}

struct Result {
    int status = -1;
    std::string out, err;
};

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kavotbl-rsi-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::system(("rm -rf " + Quote(dir)).c_str()); }

    Result Shell(const std::string& command) {
        const std::string out = dir + "/.stdout", err = dir + "/.stderr";
        const int rc = std::system((command + " >" + Quote(out) + " 2>" + Quote(err) + " </dev/null").c_str());
        Result r;
        r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : 1000 + (WIFSIGNALED(rc) ? WTERMSIG(rc) : 0);
        r.out = ReadFile(out);
        r.err = ReadFile(err);
        std::remove(out.c_str());
        std::remove(err.c_str());
        return r;
    }
    // Runs the program. In the sanitizer build a finding ends it with the
    // status of an ordinary failure, so its report is looked for as well.
    Result Run(const std::vector<std::string>& args) {
        std::string command = Quote(KAVOTBL_PROGRAM);
        for (const std::string& a : args) command += " " + Quote(a);
        Result r = Shell(command);
        for (const char* report : {"AddressSanitizer", "LeakSanitizer", "runtime error:"})
            EXPECT_EQ(r.err.find(report), std::string::npos) << command << "\n" << r.err.substr(0, 2000);
        return r;
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    // info --json as parsed JSON; a failed run fails the test.
    Json InfoJson(const std::vector<std::string>& args) {
        std::vector<std::string> a = {"info", "--json"};
        a.insert(a.end(), args.begin(), args.end());
        const Result r = Run(a);
        EXPECT_EQ(r.status, 0) << r.err;
        const Json j = Json::parse(r.out, nullptr, false);
        EXPECT_FALSE(j.is_discarded()) << r.out.substr(0, 200);
        return j.is_discarded() ? Json::object() : j;
    }

    std::string dir;
};

// A failed command: the status, one line on standard error (after any
// messages of the library, which name the file), and nothing left behind.
void ExpectCleanFailure(const Result& r, int nStatus, const std::string& command, const std::string& reason) {
    EXPECT_EQ(r.status, nStatus) << r.err;
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("kavotbl " + command + ": ", 0), 0u) << lines.back();
    EXPECT_NE(lines.back().find(reason), std::string::npos) << lines.back();
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_NE(lines[i].rfind("kavotbl ", 0), 0u) << "an error line more: " << lines[i];
    EXPECT_EQ(r.out, "");
}

// Text of a table file as UTF-8, as the RTF reader shows it: valid UTF-8 as
// it is, anything else as Latin-1.
std::string AsUtf8(const std::string& s) {
    bool bValid = true;
    for (std::size_t i = 0; i < s.size() && bValid;) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (n < 0 || i + static_cast<std::size_t>(n) >= s.size() + (n == 0 ? 1 : 0)) bValid = n == 0;
        for (int k = 1; k <= n && bValid; ++k) bValid = (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80;
        i += static_cast<std::size_t>(n < 0 ? 1 : n + 1);
    }
    if (bValid) return s;
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// ------------------------------------------------------------------ grids

// What the export grid of a table holds, as the tests expect to see it.
struct GridSpanner {
    int nRow, nEntry, nSpan;  // entry counted among the data columns
    std::string text;
};

struct Expected {
    std::vector<std::string> lines;  // in order: title, heading, grid, footing
    std::vector<std::vector<GridSpanner>> spanners;  // per table
};

int LeavesIn(const kavo::CRowColOb* pNode, const std::unordered_set<const kavo::CTblOb*>& exported) {
    if (pNode->HasData()) return exported.count(pNode) ? 1 : 0;
    int n = 0;
    for (int i = 0; i < pNode->GetNumChildren(); ++i) n += LeavesIn(pNode->GetChildAt(i), exported);
    return n;
}

void AddLines(std::vector<std::string>& lines, const kavo::CKAVOString& text) {
    std::stringstream ss(AsUtf8(text.str()));
    for (std::string line; std::getline(ss, line);)
        if (!Trim(line).empty()) lines.push_back(Trim(line));
}

// The texts of every table's export grid in grid order, with the stub head
// in the corner of the last heading row, and each spanner with the number
// of exported data columns below it.
Expected FromGrid(const std::string& path) {
    Expected e;
    kavo::CTableDocument doc;
    EXPECT_EQ(doc.LoadFile(path.c_str()), 1) << path;
    for (int t = 0; t < doc.GetNumTables(); ++t) {
        kavo::CTable& table = *doc.GetTable(t);
        AddLines(e.lines, table.GetTitle()->GetText());
        AddLines(e.lines, table.GetHeader()->GetText());
        kavo::CRTFRowArray grid;
        table.LayoutRTF(grid, 0);
        const int C = table.GetColumnRoot()->GetDepth(0), R = table.GetRowRoot()->GetDepth(0);
        std::unordered_set<const kavo::CTblOb*> exported;
        if (C > 0)
            for (int i = 0; i < grid[C - 1].GetSize(); ++i) exported.insert(grid[C - 1][i]);
        e.spanners.emplace_back();
        for (int g = 0; g < grid.GetSize(); ++g) {
            if (g == C - 1) AddLines(e.lines, table.GetStubHead()->GetText());
            for (int i = 0; i < grid[g].GetSize(); ++i) {
                const kavo::CTblOb* p = grid[g][i];
                if (!p) continue;
                AddLines(e.lines, p->GetText());
                if (g + 1 < C && !p->GetText().IsEmpty())
                    e.spanners.back().push_back(
                        {g, i - R, LeavesIn(static_cast<const kavo::CRowColOb*>(p), exported), AsUtf8(p->GetText().str())});
            }
        }
        AddLines(e.lines, table.GetFooter()->GetText());
    }
    return e;
}

// ------------------------------------------------------------------ HTML

struct HtmlCell {
    int nCol, nSpan;
    std::string text;
};
using HtmlTable = std::vector<std::vector<HtmlCell>>;

std::string StripTags(const std::string& html) {
    std::string out;
    bool bTag = false;
    for (char c : html) {
        if (c == '<') bTag = true;
        else if (c == '>') bTag = false, out += ' ';
        else if (!bTag) out += c;
    }
    const struct {
        const char* from;
        const char* to;
    } entities[] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&apos;", "'"}, {"&nbsp;", " "},
                    {"&amp;", "&"}};
    for (const auto& ent : entities)
        for (std::size_t p; (p = out.find(ent.from)) != std::string::npos;) out.replace(p, std::strlen(ent.from), ent.to);
    std::string collapsed;
    for (char c : Trim(out))
        if (!(c == ' ' && !collapsed.empty() && collapsed.back() == ' ')) collapsed += c;
    return collapsed;
}

// The tables of an HTML export: rows of cells with their first column
// (counting colspans) and their span.
std::vector<HtmlTable> HtmlTables(const std::string& html) {
    std::vector<HtmlTable> tables;
    for (std::size_t t = html.find("<table"); t != std::string::npos; t = html.find("<table", t + 1)) {
        const std::size_t tEnd = html.find("</table>", t);
        HtmlTable table;
        for (std::size_t r = html.find("<tr", t); r != std::string::npos && r < tEnd; r = html.find("<tr", r + 1)) {
            const std::size_t rEnd = html.find("</tr>", r);
            std::vector<HtmlCell> row;
            int nCol = 0;
            for (std::size_t c = html.find("<td", r); c != std::string::npos && c < rEnd; c = html.find("<td", c + 1)) {
                const std::size_t cEnd = html.find("</td>", c);
                const std::size_t tagEnd = html.find('>', c);
                const std::string tag = html.substr(c, tagEnd - c);
                int nSpan = 1;
                const std::size_t cs = tag.find("colspan=\"");
                if (cs != std::string::npos) nSpan = std::atoi(tag.c_str() + cs + 9);
                row.push_back({nCol, nSpan, StripTags(html.substr(tagEnd + 1, cEnd - tagEnd - 1))});
                nCol += nSpan;
            }
            table.push_back(row);
        }
        tables.push_back(table);
    }
    return tables;
}

// Fixtures of the three groups below.
class Saving : public Program {};
class Info : public Program {};
class BadArguments : public Program {};
class Commands : public Program {};

// ------------------------------------------------------------------ rtf

class RtfInLibreOffice : public Program {
protected:
    void SetUp() override {
        Program::SetUp();
        if (std::system("command -v soffice >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "soffice is not installed (libreoffice-writer-nogui, which scripts/setup.sh installs): "
                            "the RTF documents are not opened";
    }
    // Converts RTF files with a filter such as "txt:Text (encoded):UTF8";
    // the results go to dir/out with the new extension.
    void Convert(const std::vector<std::string>& files, const std::string& filter) {
        std::string command = "HOME=" + Quote(dir) + " soffice -env:UserInstallation=file://" + dir +
                              "/lo --headless --norestore --convert-to " + Quote(filter) + " --outdir " +
                              Quote(Path("out"));
        for (const std::string& f : files) command += " " + Quote(f);
        const Result r = Shell(command);
        ASSERT_EQ(r.status, 0) << r.err;
    }
    std::vector<std::string> TextLines(const std::string& rtf) {
        return Lines(ReadFile(Path("out/" + BaseName(rtf) + ".txt")));
    }
    std::vector<HtmlTable> Tables(const std::string& rtf) {
        return HtmlTables(ReadFile(Path("out/" + BaseName(rtf) + ".html")));
    }
};

TEST_F(RtfInLibreOffice, EveryExampleOpensWithItsCellsInGridOrderAndSpannersOverTheirColumns) {
    const std::vector<std::string> examples = Examples();
    ASSERT_FALSE(examples.empty());
    std::vector<std::string> rtfs;
    for (const std::string& tbl : examples) {
        // Examples in different folders may share a name.
        rtfs.push_back(Path(std::to_string(rtfs.size()) + "-" + BaseName(tbl) + ".rtf"));
        const Result r = Run({"rtf", tbl, "-o", rtfs.back()});
        ASSERT_EQ(r.status, 0) << tbl << ": " << r.err;
    }
    Convert(rtfs, "txt:Text (encoded):UTF8");
    Convert(rtfs, "html:XHTML Writer File:UTF8");
    for (std::size_t f = 0; f < examples.size(); ++f) {
        SCOPED_TRACE(examples[f]);
        const Expected e = FromGrid(examples[f]);
        EXPECT_EQ(TextLines(rtfs[f]), e.lines);
        const std::vector<HtmlTable> tables = Tables(rtfs[f]);
        ASSERT_EQ(tables.size(), e.spanners.size());
        for (std::size_t t = 0; t < tables.size(); ++t) {
            for (const GridSpanner& s : e.spanners[t]) {
                ASSERT_LT(static_cast<std::size_t>(s.nRow), tables[t].size());
                bool bFound = false;
                for (const HtmlCell& c : tables[t][static_cast<std::size_t>(s.nRow)]) {
                    if (c.nCol != 1 + s.nEntry) continue;  // column 0 is the stub
                    bFound = true;
                    EXPECT_EQ(c.text, s.text);
                    EXPECT_EQ(c.nSpan, s.nSpan) << s.text;
                }
                EXPECT_TRUE(bFound) << s.text << " not at column " << 1 + s.nEntry;
            }
        }
    }
}

TEST_F(RtfInLibreOffice, TheHouseholdsTableReadsAsAStatisticianLaidItOut) {
    const std::string rtf = Path("households.rtf");
    ASSERT_EQ(Run({"rtf", Data("households.tbl"), "-o", rtf}).status, 0);
    Convert({rtf}, "txt:Text (encoded):UTF8");
    Convert({rtf}, "html:XHTML Writer File:UTF8");
    const std::vector<std::string> expected = {
        "Table 1. Households by size and residence, 2020", "Population and housing census",
        "Residence", "Tenure",
        "Household size", "Urban", "Rural", "Owner", "Renter",
        "All households", "One person", "1,200", "800", "1,100", "900",
        "Two persons", "950", "600", "1,000", "550",
        "Three persons", "720", "515", "830", "405",
        "Four persons", "610", "470", "790", "290",
        "Five or more persons", "388", "402", "601", "189",
        "Total", "3,868", "2,787", "4,321", "2,334",
        "Source: census of population and housing, 2020. Figures are counts of private households."};
    EXPECT_EQ(TextLines(rtf), expected);
    const std::vector<HtmlTable> tables = Tables(rtf);
    ASSERT_EQ(tables.size(), 1u);
    ASSERT_EQ(tables[0].size(), 8u);  // two heading rows, six data rows
    // Row 0: the corner, Residence over Urban and Rural, Tenure over Owner and Renter.
    const std::vector<HtmlCell>& top = tables[0][0];
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[1].text, "Residence");
    EXPECT_EQ(top[1].nCol, 1);
    EXPECT_EQ(top[1].nSpan, 2);
    EXPECT_EQ(top[2].text, "Tenure");
    EXPECT_EQ(top[2].nCol, 3);
    EXPECT_EQ(top[2].nSpan, 2);
    for (std::size_t r = 1; r < tables[0].size(); ++r) EXPECT_EQ(tables[0][r].size(), 5u) << "row " << r;
    // The caption shares the stub cell of its first data row.
    EXPECT_EQ(tables[0][2][0].text, "All households One person");
}

TEST_F(RtfInLibreOffice, ABlockKeepsItsRowsColumnsAndTheSpannersAboveThem) {
    const std::string rtf = Path("block.rtf");
    const Result r = Run({"rtf", Data("households.tbl"), "-o", rtf, "--select", "0-1:1-2", "--blocked-only"});
    ASSERT_EQ(r.status, 0) << r.err;
    Convert({rtf}, "txt:Text (encoded):UTF8");
    Convert({rtf}, "html:XHTML Writer File:UTF8");
    const std::vector<std::string> expected = {
        "Table 1. Households by size and residence, 2020", "Population and housing census",
        "Residence", "Tenure", "Household size", "Rural", "Owner",
        "All households", "One person", "800", "1,100",
        "Two persons", "600", "1,000",
        "Source: census of population and housing, 2020. Figures are counts of private households."};
    EXPECT_EQ(TextLines(rtf), expected);
    const std::vector<HtmlTable> tables = Tables(rtf);
    ASSERT_EQ(tables.size(), 1u);
    ASSERT_EQ(tables[0].size(), 4u);
    ASSERT_EQ(tables[0][0].size(), 3u);
    EXPECT_EQ(tables[0][0][1].text, "Residence");
    EXPECT_EQ(tables[0][0][1].nSpan, 1);
    EXPECT_EQ(tables[0][0][2].text, "Tenure");
    EXPECT_EQ(tables[0][0][2].nSpan, 1);
}

TEST_F(RtfInLibreOffice, NestedSpannersAndEscapedTextSurviveTheWordProcessor) {
    const std::string rtf = Path("nested.rtf");
    ASSERT_EQ(Run({"rtf", Data("rtf_nested.tbl"), "-o", rtf, "--paper", "a4"}).status, 0);
    Convert({rtf}, "html:XHTML Writer File:UTF8");
    Convert({rtf}, "txt:Text (encoded):UTF8");
    const std::vector<std::string> lines = TextLines(rtf);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Table 2. Persons by age {group}, sex and region \\ 2021 \xE2\x80\x94 caf\xC3\xA9 \xE2\x82\xAC "
                        "\xE4\xBA\xBA\xE5\x8F\xA3 \xF0\x9F\x98\x80");
    EXPECT_EQ(lines[1], "Heading with \\backslash");
    EXPECT_EQ(lines.back(), "Footing: 50% of {all}");
    const std::vector<HtmlTable> tables = Tables(rtf);
    ASSERT_EQ(tables.size(), 1u);
    ASSERT_EQ(tables[0].size(), 8u);  // three heading levels, five data rows
    // Sex spans Young, Old and Female (columns 2 to 4, after the stub and
    // Total); Male spans Young and Old below it.
    bool bSex = false, bMale = false;
    for (const HtmlCell& c : tables[0][0])
        if (c.text == "Sex") bSex = c.nCol == 2 && c.nSpan == 3;
    for (const HtmlCell& c : tables[0][1])
        if (c.text == "Male") bMale = c.nCol == 2 && c.nSpan == 2;
    EXPECT_TRUE(bSex);
    EXPECT_TRUE(bMale);
    // The hidden row's cells are empty; the one-decimal cell shows its point.
    EXPECT_EQ(tables[0][6][0].text, "South");
    for (std::size_t c = 1; c < tables[0][6].size(); ++c) EXPECT_EQ(tables[0][6][c].text, "");
    EXPECT_EQ(tables[0][4][2].text, "25.5");
}

// ------------------------------------------------------------------ save

// The model parts of info --json that a save must keep.
Json Model(Json j) {
    j.erase("file");
    j.erase("messages");
    return j;
}

TEST_F(Saving, EverySavedExampleReloadsToTheSameModelAndSavesToTheSameText) {
    const std::vector<std::string> examples = Examples();
    ASSERT_FALSE(examples.empty());
    for (std::size_t i = 0; i < examples.size(); ++i) {
        const std::string& tbl = examples[i];
        SCOPED_TRACE(tbl);
        const std::string name = std::to_string(i) + "-" + BaseName(tbl);
        const std::string once = Path(name + ".1.tbl"), twice = Path(name + ".2.tbl");
        Result r = Run({"save", tbl, "-o", once});
        ASSERT_EQ(r.status, 0) << r.err;
        r = Run({"save", once, "-o", twice});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string text = ReadFile(once);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text, ReadFile(twice));
        EXPECT_EQ(Model(InfoJson({once})), Model(InfoJson({tbl})));
    }
}

TEST_F(Saving, ABlockSaveReloadsToExactlyTheBlock) {
    const Json whole = InfoJson({Data("rtf_nested.tbl")})["tables"][0];
    const std::string out = Path("block.tbl");
    const Result r = Run({"save", Data("rtf_nested.tbl"), "-o", out, "--select", "0-3:1-3", "--blocked-only"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json block = InfoJson({out})["tables"][0];
    ASSERT_EQ(block["dataRows"], 4);
    ASSERT_EQ(block["dataColumns"], 3);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            SCOPED_TRACE("cell " + std::to_string(row) + ", " + std::to_string(col));
            const Json& got = block["cells"][row][col];
            const Json& was = whole["cells"][row][col + 1];
            EXPECT_EQ(got["value"], was["value"]);
            EXPECT_EQ(got["text"], was["text"]);
            EXPECT_EQ(got["style"], was["style"]);
            EXPECT_EQ(got["format"], was["format"]);
        }
    // The single-cell style and format moved with their cells: Capital's
    // third column is the block's second, Harbour's second its first.
    EXPECT_EQ(block["cells"][0][1]["style"], "Bold");
    EXPECT_EQ(block["cells"][0][0]["style"], "Default");
    EXPECT_EQ(block["cells"][1][0]["format"], "OneDecimal");
    EXPECT_EQ(block["cells"][1][0]["text"], "25.5");
    EXPECT_EQ(block["cells"][1][1]["format"], "Default");
    EXPECT_EQ(block["cells"][3][2]["format"], "Secret");

    // The captions and spanners above the block come along, nothing else.
    std::vector<std::string> rows, columns;
    std::vector<Json> stack;
    for (const Json& n : block["rows"]) stack.push_back(n);
    for (std::size_t i = 0; i < stack.size(); ++i) {
        rows.push_back(Trim(stack[i]["text"].get<std::string>()));  // area codes indent some
        if (stack[i].contains("children"))
            stack.insert(stack.begin() + static_cast<long>(i) + 1, stack[i]["children"].begin(), stack[i]["children"].end());
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"North", "Cities", "Capital", "Harbour", "Countryside", "South"}));
    stack.assign(block["columns"].begin(), block["columns"].end());
    for (std::size_t i = 0; i < stack.size(); ++i) {
        columns.push_back(stack[i]["text"].get<std::string>());
        if (stack[i].contains("children"))
            stack.insert(stack.begin() + static_cast<long>(i) + 1, stack[i]["children"].begin(), stack[i]["children"].end());
    }
    EXPECT_EQ(columns, (std::vector<std::string>{"Sex", "Male", "Young", "Old", "Female"}));
    EXPECT_EQ(block["title"], whole["title"]);

    const Result again = Run({"save", out, "-o", Path("again.tbl")});
    ASSERT_EQ(again.status, 0);
    EXPECT_EQ(ReadFile(Path("again.tbl")), ReadFile(out));
}

TEST_F(Saving, SavingOverTheInputLeavesTheSavedText) {
    const std::string copy = Path("copy.tbl");
    Write("copy.tbl", ReadFile(Data("rtf_nested.tbl")));
    ASSERT_EQ(Run({"save", Data("rtf_nested.tbl"), "-o", Path("fresh.tbl")}).status, 0);
    const Result r = Run({"save", copy, "-o", copy});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(copy), ReadFile(Path("fresh.tbl")));
    EXPECT_EQ(ListDir(dir, ""), (std::vector<std::string>{"copy.tbl", "fresh.tbl"}));
}

TEST_F(Saving, OneTableOfSeveralIsSavedWithTheStylesAndFormats) {
    Write("two.tbl",
          "[Format]\nLabel=P\nDecimals=1\n[Table]\nSize=1, 1\nName=First\n[Column]\nText=A\n[Row]\nText=R\nData=1\n"
          "[Table]\nSize=1, 1\nName=Second\n[Column]\nText=B\nCellFormat=P\n[Row]\nText=S\nData=25\n");
    ASSERT_EQ(Run({"save", Path("two.tbl"), "-o", Path("second.tbl"), "--table", "2"}).status, 0);
    const Json j = InfoJson({Path("second.tbl")});
    ASSERT_EQ(j["tables"].size(), 1u);
    EXPECT_EQ(j["tables"][0]["name"], "Second");
    EXPECT_EQ(j["tables"][0]["cells"][0][0]["text"], "2.5");
}

// ------------------------------------------------------------------ info

// The value of "  key   value" under "table N:" in the text summary.
std::string Field(const std::string& out, int nTable, const std::string& key) {
    std::stringstream ss(out);
    bool bIn = false;
    for (std::string line; std::getline(ss, line);) {
        if (line.rfind("table ", 0) == 0) bIn = line.rfind("table " + std::to_string(nTable) + ":", 0) == 0;
        if (bIn && line.rfind("  " + key + " ", 0) == 0) return Trim(line.substr(2 + key.size()));
    }
    return "(missing)";
}

const char kTwoTables[] =
    "[Style]\nLabel=Bold\nHorJust=Center\n"
    "[Format]\nLabel=Share\nDecimals=1\n"
    "[Table]\nSize=2, 3\nName=Households\nAreaLevels=2\n"
    "[Title]\nText=Households by size\n"
    "[StubHead]\nText=Size\n"
    "[ColumnGroup]\nText=Residence\n[Column]\nText=Urban\n[Column]\nText=Rural\n[EndGroup]\n"
    "[Column]\nText=Share\nCellFormat=Share\n"
    "[Row]\nText=One\nData=1, 2, 3\n"
    "[Row]\nText=Two\nData=4, 5, 6\n"
    "[Table]\nSize=1, 1\nName=Total\n"
    "[Column]\nText=All\n"
    "[Row]\nText=Everyone\nCellStyle=Bold\nData=9\n";

TEST_F(Info, SummarisesEveryTable) {
    Write("two.tbl", kTwoTables);
    const Result r = Run({"info", Path("two.tbl")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // Default and the nine element styles plus Bold; Default and Share.
    EXPECT_NE(r.out.find("two.tbl: 2 tables, 11 styles, 2 formats"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("table 1: Households"), std::string::npos);
    EXPECT_EQ(Field(r.out, 1, "title"), "Households by size");
    EXPECT_EQ(Field(r.out, 1, "stub head"), "Size");
    EXPECT_EQ(Field(r.out, 1, "data rows"), "2");
    EXPECT_EQ(Field(r.out, 1, "data columns"), "3");
    EXPECT_EQ(Field(r.out, 1, "heading levels"), "2");
    EXPECT_EQ(Field(r.out, 1, "stub levels"), "1");
    EXPECT_EQ(Field(r.out, 1, "area levels"), "2");
    EXPECT_EQ(Field(r.out, 1, "styles used"), "Default, Table, Title, StubHead, ColumnGroup, Column, Row");
    EXPECT_EQ(Field(r.out, 1, "formats used"), "Default, Share");
    EXPECT_EQ(Field(r.out, 2, "title"), "(missing)");
    EXPECT_EQ(Field(r.out, 2, "data rows"), "1");
    EXPECT_EQ(Field(r.out, 2, "heading levels"), "1");
    EXPECT_EQ(Field(r.out, 2, "styles used"), "Bold, Table, Column, Row");
    EXPECT_NE(r.out.find("loading showed no messages"), std::string::npos);

    const Result one = Run({"info", Path("two.tbl"), "--table", "2"});
    EXPECT_EQ(one.out.find("table 1:"), std::string::npos);
    EXPECT_NE(one.out.find("table 2: Total"), std::string::npos);
}

TEST_F(Info, ShowsTheMessagesOfLoadingWithTheirLines) {
    Write("msg.tbl",
          "[Table]\n"         // 1
          "Size=1, 1\n"       // 2
          "Bogus=1\n"         // 3
          "[Column]\n"        // 4
          "Text=A\n"          // 5
          "[Row]\n"           // 6
          "Text=R\n"          // 7
          "Data=1\n"          // 8
          "[Notes]\n"         // 9
          "Text=skipped\n");  // 10
    const Result r = Run({"info", Path("msg.tbl")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("messages while loading:\n  line 3: Unrecognized command at line 3: Bogus\n"
                         "  line 9: Invalid section heading at line 9: [Notes]\n"),
              std::string::npos)
        << r.out;
    const Json j = InfoJson({Path("msg.tbl")});
    ASSERT_EQ(j["messages"].size(), 2u);
    EXPECT_EQ(j["messages"][0]["line"], 3);
    EXPECT_EQ(j["messages"][1]["line"], 9);
    EXPECT_NE(j["messages"][1]["text"].get<std::string>().find("[Notes]"), std::string::npos);
}

// The model of the two-table file, field by field.
TEST_F(Info, JsonCarriesTheModel) {
    Write("two.tbl", kTwoTables);
    const Json j = InfoJson({Path("two.tbl")});
    ASSERT_EQ(j["tables"].size(), 2u);
    const Json& t = j["tables"][0];
    EXPECT_EQ(t["name"], "Households");
    EXPECT_EQ(t["stubHead"]["text"], "Size");
    EXPECT_EQ(t["columns"][0]["text"], "Residence");
    EXPECT_EQ(t["columns"][0]["children"][1]["text"], "Rural");
    EXPECT_EQ(t["columns"][0]["children"][1]["dataColumn"], 1);
    EXPECT_EQ(t["columns"][1]["cellFormat"], "Share");
    EXPECT_EQ(t["rows"][1]["dataRow"], 1);
    EXPECT_EQ(t["cells"][1][2]["value"], 6);
    EXPECT_EQ(t["cells"][1][2]["text"], "0.6");
    EXPECT_EQ(t["cells"][1][2]["format"], "Share");
    EXPECT_EQ(j["tables"][1]["cells"][0][0]["style"], "Bold");
    const Json& bold = j["styles"][1];
    EXPECT_EQ(bold["label"], "Bold");
    EXPECT_EQ(bold["horJust"], "center");
    EXPECT_EQ(bold["vertJust"], "bottom");
    EXPECT_EQ(bold["lines"]["top"], "none");
    EXPECT_FALSE(t.contains("layout"));
    EXPECT_FALSE(t["title"].contains("box"));
}

class InfoSchema : public Program {
protected:
    void SetUp() override {
        Program::SetUp();
        if (std::system("python3 -c 'import jsonschema' >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "python3 with jsonschema (python3-jsonschema, which scripts/setup.sh installs) is "
                            "needed to validate info --json";
    }
    // Validates JSON files against schema/info.schema.json; the failures
    // come back one per line, naming the file.
    Result Validate(const std::vector<std::string>& files) {
        Write("validate.py",
              "import json, sys, jsonschema\n"
              "schema = json.load(open(sys.argv[1]))\n"
              "jsonschema.Draft202012Validator.check_schema(schema)\n"
              "validator = jsonschema.Draft202012Validator(schema)\n"
              "bad = 0\n"
              "for path in sys.argv[2:]:\n"
              "    for e in validator.iter_errors(json.load(open(path))):\n"
              "        print(path, list(e.absolute_path), e.message[:200])\n"
              "        bad += 1\n"
              "sys.exit(1 if bad else 0)\n");
        std::string command = "python3 " + Quote(Path("validate.py")) + " " +
                              Quote(std::string(KAVOTBL_SOURCE_DIR) + "/schema/info.schema.json");
        for (const std::string& f : files) command += " " + Quote(f);
        return Shell(command);
    }
};

TEST_F(InfoSchema, EveryExampleValidatesWithAndWithoutLayouts) {
    const std::vector<std::vector<std::string>> modes = {
        {},
        {"--layout", "screen", "--surface", "fixed"},
        {"--layout", "screen", "--width", "500"},
        {"--layout", "printer", "--surface", "fixed"},
        {"--layout", "printer", "--paper", "a4", "--landscape"},
    };
    std::vector<std::string> files;
    for (const std::string& tbl : Examples()) {
        for (std::size_t m = 0; m < modes.size(); ++m) {
            std::vector<std::string> args = {"info", "--json", tbl};
            args.insert(args.end(), modes[m].begin(), modes[m].end());
            const Result r = Run(args);
            ASSERT_EQ(r.status, 0) << tbl << ": " << r.err;
            files.push_back(Path(std::to_string(files.size()) + ".json"));
            Write(BaseName(files.back()) + ".json", r.out);
        }
    }
    const Result v = Validate(files);
    EXPECT_EQ(v.status, 0) << v.out << v.err;
}

TEST_F(InfoSchema, TheSchemaRejectsWhatInfoNeverWrites) {
    const Result r = Run({"info", "--json", Data("households.tbl"), "--layout", "screen", "--surface", "fixed"});
    ASSERT_EQ(r.status, 0);
    const Json good = Json::parse(r.out);
    std::vector<Json> bad(4, good);
    bad[0]["tables"][0]["dataRows"] = "6";
    bad[1]["tables"][0]["cells"][0][0].erase("value");
    bad[2]["tables"][0]["layout"]["kind"] = "window";
    bad[3]["tables"][0]["columns"][0]["dataColumn"] = 0;  // a spanner with children is no data column
    for (std::size_t i = 0; i < bad.size(); ++i) {
        Write("bad" + std::to_string(i) + ".json", bad[i].dump());
        const Result v = Validate({Path("bad" + std::to_string(i) + ".json")});
        EXPECT_NE(v.status, 0) << "case " << i << " passed: " << v.out;
    }
    Write("good.json", good.dump());
    EXPECT_EQ(Validate({Path("good.json")}).status, 0);
}

// Without a font the fixed surface makes each byte 8 units wide and a line
// 16 high: the margin is 16 / 5 = 3 and the line height 16 + 2 × 3 = 22.
const char kSmall[] =
    "[Table]\nSize=2, 2\n[Title]\nText=T\n"
    "[Column]\nText=Aa\n[Column]\nText=Bbbb\n"
    "[Row]\nText=One\nData=5, 12345\n"
    "[Row]\nText=Two\nData=7, 8\n";

Json Ints(std::initializer_list<int> v) { return Json(std::vector<int>(v)); }

TEST_F(Info, FixedSurfaceScreenLayoutAsWorkedOutByHand) {
    Write("small.tbl", kSmall);
    const Json t = InfoJson({Path("small.tbl"), "--layout", "screen", "--width", "400", "--surface", "fixed"})["tables"][0];
    const Json& layout = t["layout"];
    EXPECT_EQ(layout["margin"], 3);
    EXPECT_EQ(layout["lineHeight"], 22);
    // Width 400: data budget 300, stub 100; the widest column needs 54
    // ("12,345" is 48 wide, its box 48, plus 2 × 3), 2 × 54 fits in 300,
    // so each of the two columns is 150 wide.
    EXPECT_EQ(t["title"]["box"], Ints({0, 0, 400, 22}));
    EXPECT_EQ(t["columns"][0]["box"], Ints({100, 22, 250, 44}));
    EXPECT_EQ(t["columns"][1]["box"], Ints({250, 22, 400, 44}));
    EXPECT_EQ(t["stubHead"]["box"], Ints({0, 22, 100, 44}));
    EXPECT_EQ(t["rows"][0]["box"], Ints({0, 44, 100, 66}));
    EXPECT_EQ(t["rows"][1]["box"], Ints({0, 66, 100, 88}));
    // A row's border reaches the right of the table.
    EXPECT_EQ(t["rows"][1]["border"], Ints({0, 66, 400, 88}));
    EXPECT_EQ(t["cells"][1][1]["box"], Ints({250, 66, 400, 88}));
    EXPECT_EQ(layout["size"], Ints({400, 88}));
    EXPECT_EQ(layout["rowSize"], Ints({100, 44}));
    EXPECT_FALSE(layout.contains("pages"));

    // Width 100: the stub keeps a quarter (25) and the columns their
    // minimum of 54 each: the table is 133 wide and would scroll.
    const Json n = InfoJson({Path("small.tbl"), "--layout", "screen", "--width", "100", "--surface", "fixed"})["tables"][0];
    EXPECT_EQ(n["columns"][0]["box"], Ints({25, 22, 79, 44}));
    EXPECT_EQ(n["columns"][1]["box"], Ints({79, 22, 133, 44}));
    EXPECT_EQ(n["layout"]["size"], Ints({133, 88}));

    const Result text = Run({"info", Path("small.tbl"), "--layout", "screen", "--width", "400", "--surface", "fixed"});
    EXPECT_EQ(Field(text.out, 1, "layout"), "screen, 400 wide: 400 x 88, margin 3, line height 22");
}

TEST_F(Info, FixedSurfacePrinterLayoutAsWorkedOutByHand) {
    Write("small.tbl", kSmall);
    const Json t = InfoJson({Path("small.tbl"), "--layout", "printer", "--surface", "fixed"})["tables"][0];
    const Json& layout = t["layout"];
    // Letter less half an inch all round: 7.5 × 10 inches, in twips.
    EXPECT_EQ(layout["rect"], Ints({0, 0, 10800, -14400}));
    EXPECT_EQ(layout["pages"], 1);
    EXPECT_EQ(layout["horzPages"], 1);
    // The stub takes a quarter (2700), the two columns share the rest; the
    // layout is flipped for a surface whose y grows upwards.
    EXPECT_EQ(t["columns"][0]["box"], Ints({2700, -22, 6750, -44}));
    EXPECT_EQ(t["columns"][1]["box"], Ints({6750, -22, 10800, -44}));
    EXPECT_EQ(t["rows"][1]["box"], Ints({0, -66, 2700, -88}));
    EXPECT_EQ(t["cells"][1][1]["pages"], Ints({0}));
    EXPECT_EQ(t["rows"][0]["pages"], Ints({0}));
    EXPECT_EQ(t["title"]["pages"], Json::array());
}

TEST_F(Info, PrinterPagesOfAWideTableFollowTheirColumnsAndRows) {
    std::string tbl = "[Table]\nSize=250, 30\n[Title]\nText=W\n[ColumnGroup]\nText=Spanner over every column\n";
    for (int c = 0; c < 30; ++c) tbl += "[Column]\nText=Column " + std::to_string(c) + "\n";
    tbl += "[EndGroup]\n";
    for (int r = 0; r < 250; ++r) {
        tbl += "[Row]\nText=Row " + std::to_string(r) + "\nData=";
        for (int c = 0; c < 30; ++c) tbl += (c ? ", " : "") + std::to_string(1000000 + c);
        tbl += "\n";
    }
    Write("wide.tbl", tbl);
    // A margin that leaves one inch (1440 twips) across. Every column needs
    // "1,000,0nn" (72) plus two margins, and 2 x 3 more: 84. The stub needs
    // "Row n" (40) and two margins: 46, which is all it gets, as 30 columns
    // of 84 are wider than the paper. 1394 / 84 = 16 columns go on a page:
    // two column pages, each with 15 after the one column too many is taken
    // off the last page and then the first.
    const Json t = InfoJson({Path("wide.tbl"), "--layout", "printer", "--surface", "fixed", "--margin", "270pt"})["tables"][0];
    const int H = t["layout"]["horzPages"];
    const int nPages = t["layout"]["pages"];
    ASSERT_EQ(H, 2);
    EXPECT_EQ(nPages, 4);
    // Title and column heading take 22 + 44 of the 5040 twips down the
    // paper; row n starts at 66 + 22n, and the first that would end below
    // 5040 is row 226: it starts the second row page (pages 2 and 3).
    EXPECT_EQ(t["rows"][225]["pages"], Ints({0, 1}));
    EXPECT_EQ(t["rows"][226]["pages"], Ints({2, 3}));
    // Every column page has its copy of the spanner, marked as continued.
    ASSERT_EQ(t["columns"].size(), static_cast<std::size_t>(H));
    EXPECT_FALSE(t["columns"][0].contains("continued"));
    EXPECT_EQ(t["columns"][0]["children"].size(), 15u);
    EXPECT_EQ(t["columns"][1]["children"].size(), 15u);
    std::vector<int> firstPages;
    for (const Json& spanner : t["columns"]) {
        if (!firstPages.empty()) {
            EXPECT_EQ(spanner["continued"], true);
        }
        firstPages.push_back(spanner["pages"][0]);
        // A column on column page c is on pages c, c + H, c + 2H, ...
        for (const Json& col : spanner["children"]) {
            const Json& pages = col["pages"];
            ASSERT_EQ(pages.size(), static_cast<std::size_t>(nPages / H));
            for (std::size_t k = 0; k < pages.size(); ++k)
                EXPECT_EQ(pages[k].get<int>(), spanner["pages"][0].get<int>() + static_cast<int>(k) * H);
        }
    }
    std::vector<int> expected(static_cast<std::size_t>(H));
    for (int c = 0; c < H; ++c) expected[static_cast<std::size_t>(c)] = c;
    EXPECT_EQ(firstPages, expected);
    // A cell is on one page: its column's column page plus its row's row page × H.
    std::vector<int> columnPage;
    for (const Json& spanner : t["columns"])
        for (const Json& col : spanner["children"]) columnPage.push_back(col["pages"][0]);
    ASSERT_EQ(columnPage.size(), 30u);
    for (int r = 0; r < 250; ++r)
        for (int c = 0; c < 30; ++c) {
            const int rowPage = t["rows"][r]["pages"][0].get<int>() / H;
            EXPECT_EQ(t["cells"][r][c]["pages"], Ints({columnPage[static_cast<std::size_t>(c)] + rowPage * H}));
        }
}

// ------------------------------------------------------------------ bad input

TEST_F(Commands, TheNewCommandsAreListedWithTheirHelp) {
    const Result r = Run({"--help"});
    ASSERT_EQ(r.status, 0);
    for (const char* c : {"rtf", "save", "info"}) EXPECT_NE(r.out.find(std::string("  ") + c + " "), std::string::npos) << c;
    for (const char* c : {"rtf", "save", "info"}) {
        const Result h = Run({c, "--help"});
        EXPECT_EQ(h.status, 0);
        EXPECT_EQ(h.out.rfind(std::string("usage: kavotbl ") + c, 0), 0u);
    }
}

TEST_F(BadArguments, UnreadableInputFailsInOneLineAndWritesNothing) {
    Write("keep.out", "precious");
    Write("empty.tbl", "");
    Write("registry.tbl", "[Style]\nLabel=X\n");
    Write("baddata.tbl", "[Table]\nSize=1, 2\n[Column]\nText=A\n[Column]\nText=B\n[Row]\nText=R\nData=1, x\n");
    struct Case {
        std::string input, reason;
    } cases[] = {
        {Path("missing.tbl"), "cannot open"},
        {dir, "it is a folder"},
        {Path("empty.tbl"), "holds no table"},
        {Path("registry.tbl"), "holds no table"},
        {Path("baddata.tbl"), "cannot be read"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"rtf", "save", "info"}) {
            SCOPED_TRACE(std::string(command) + " " + c.input);
            std::vector<std::string> args = {command, c.input};
            if (std::string(command) != "info") args.insert(args.end(), {"-o", Path("keep.out")});
            const Result r = Run(args);
            ExpectCleanFailure(r, 1, command, c.reason);
            EXPECT_EQ(ReadFile(Path("keep.out")), "precious");
        }
    }
    // The bad value is reported with its line before the error.
    const Result r = Run({"info", Path("baddata.tbl")});
    EXPECT_NE(r.err.find("baddata.tbl:9: "), std::string::npos) << r.err;
    EXPECT_EQ(ListDir(dir, ""), (std::vector<std::string>{"baddata.tbl", "empty.tbl", "keep.out", "registry.tbl"}));
}

TEST_F(BadArguments, BadOptionsAreUsageErrors) {
    Write("keep.out", "precious");
    const std::string tbl = Data("households.tbl");
    const std::string out = Path("keep.out");
    struct Case {
        std::vector<std::string> args;
        std::string reason;
    } cases[] = {
        {{"rtf", tbl}, "no output file"},
        {{"save", tbl}, "no output file"},
        {{"rtf"}, "no table file"},
        {{"info", tbl, tbl}, "one table file"},
        {{"rtf", tbl, "-o", out, "--select", "1:x"}, "--select needs ROWS:COLS"},
        {{"save", tbl, "-o", out, "--select", "4-2:0"}, "--select needs ROWS:COLS"},
        {{"save", tbl, "-o", out, "--select", "0-6:0"}, "lies outside the table's 6 rows and 4 columns"},
        {{"rtf", tbl, "-o", out, "--select", "0:4"}, "lies outside"},
        {{"save", tbl, "-o", out, "--blocked-only"}, "--blocked-only needs --select"},
        {{"rtf", tbl, "-o", out, "--blocked-only"}, "--blocked-only needs --select"},
        {{"rtf", tbl, "-o", out, "--table", "0"}, "--table needs a table number"},
        {{"rtf", tbl, "-o", out, "--paper", "a3"}, "unknown paper"},
        {{"rtf", tbl, "-o", out, "--font", "Bad{Font}"}, "--font needs"},
        {{"rtf", tbl, "-o", out, "--size", "200"}, "--size needs"},
        {{"save", tbl, "-o", out, "--bogus"}, "unknown option --bogus"},
        {{"info", tbl, "--layout", "window"}, "--layout needs screen or printer"},
        {{"info", tbl, "--width", "300"}, "--width needs --layout"},
        {{"info", tbl, "--layout", "printer", "--width", "300"}, "--width goes with --layout screen"},
        {{"info", tbl, "--layout", "screen", "--paper", "a4"}, "--paper goes with --layout printer"},
        {{"info", tbl, "--layout", "screen", "--surface", "paper"}, "--surface needs cairo or fixed"},
        {{"info", tbl, "--layout", "screen", "--surface", "fixed", "--size", "12"}, "the fixed surface has no fonts"},
        {{"info", tbl, "--layout", "printer", "--margin", "5in"}, "less than an inch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.reason);
        ExpectCleanFailure(Run(c.args), 2, c.args[0], c.reason);
        EXPECT_EQ(ReadFile(out), "precious");
    }
    // A table number past the end is no usage error but a missing table.
    ExpectCleanFailure(Run({"save", tbl, "-o", out, "--table", "2"}), 1, "save", "there is no table 2");
    EXPECT_EQ(ListDir(dir, ""), std::vector<std::string>{"keep.out"});
}

TEST_F(BadArguments, OutputThatCannotBeWrittenFailsInOneLine) {
    const std::string tbl = Data("households.tbl");
    for (const char* command : {"rtf", "save"}) {
        SCOPED_TRACE(command);
        ExpectCleanFailure(Run({command, tbl, "-o", Path("no/such/folder/out")}), 1, command, "cannot write");
        ExpectCleanFailure(Run({command, tbl, "-o", dir}), 1, command, "it is a folder");
    }
    EXPECT_TRUE(ListDir(dir, "").empty());
}

TEST_F(BadArguments, GarbageNeverCrashesAnyCommand) {
    // Bytes of every kind, long lines, stray headings and numbers of every size.
    std::string junk;
    unsigned x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245u + 12345u;
        junk += static_cast<char>(x >> 16);
        if (i % 997 == 0) junk += "\n[Table]\nSize=99999999, 99999999\n[Row]\nData=";
        if (i % 1499 == 0) junk += "\n[ColumnGroup]\n[RowGroup]\nAreaCodes=1, 2, 3, 4, 5, 6, 7, 8, 9\n";
    }
    Write("junk.tbl", junk);
    for (const char* command : {"rtf", "save", "info"}) {
        SCOPED_TRACE(command);
        std::vector<std::string> args = {command, Path("junk.tbl")};
        if (std::string(command) != "info") args.insert(args.end(), {"-o", Path("junk.out")});
        const Result r = Run(args);
        EXPECT_TRUE(r.status == 0 || r.status == 1) << r.status << " " << r.err.substr(0, 300);
    }
    const Result j = Run({"info", "--json", Path("junk.tbl"), "--layout", "printer", "--surface", "fixed"});
    EXPECT_TRUE(j.status == 0 || j.status == 1) << j.status;
    if (j.status == 0) {
        EXPECT_FALSE(Json::parse(j.out, nullptr, false).is_discarded());
    }
}

}  // namespace
