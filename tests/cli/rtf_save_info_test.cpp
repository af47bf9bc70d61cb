// kavotbl rtf, save, info and check as a user runs them: RTF documents opened by
// LibreOffice, saves reloaded and saved again, info checked against its
// JSON schema and against layout numbers worked out by hand, and bad input.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using Strings = std::vector<std::string>;

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Without blanks at either end or runs of them; LibreOffice writes a leading
// blank as a no-break space.
std::string Trim(std::string t) {
    for (std::size_t p; (p = t.find("\xC2\xA0")) != std::string::npos;) t.replace(p, 2, " ");
    for (std::size_t p; (p = t.find("  ")) != std::string::npos;) t.erase(p, 1);
    const std::size_t a = t.find_first_not_of(" \t\r");
    return a == std::string::npos ? std::string() : t.substr(a, t.find_last_not_of(" \t\r") - a + 1);
}

// Non-empty lines, trimmed.
Strings Lines(const std::string& text) {
    Strings lines;
    std::stringstream ss(text);
    for (std::string line; std::getline(ss, line);) {
        if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
        if (!(line = Trim(line)).empty()) lines.push_back(line);
    }
    return lines;
}

// The table files of examples/ and of the program tests.
Strings Examples() {
    Strings files;
    for (const fs::path& dir : {fs::path(KAVOTBL_SOURCE_DIR) / "examples", fs::path(KAVOTBL_CLI_DATA_DIR)})
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".tbl") files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::string Data(const std::string& name) { return std::string(KAVOTBL_CLI_DATA_DIR) + "/" + name; }

// The tables of LibreOffice's XHTML, each row as its cells' texts joined
// by "|", a cell over several columns followed by "*" and their number.
std::vector<Strings> HtmlTables(const std::string& html) {
    std::vector<Strings> tables;
    std::string cell;  // the text of the open cell, a tag in it as a blank
    int nSpan = 0;     // of the open cell; 0 outside cells
    for (std::size_t i = 0; i < html.size(); ++i) {
        const std::string tag = html[i] == '<' ? html.substr(i, html.find('>', i) - i) : "";
        const std::size_t span = tag.find("colspan=\"");
        if (nSpan) cell += tag.empty() && !std::isspace(static_cast<unsigned char>(html[i])) ? html[i] : ' ';
        i += tag.size();
        if (tag.rfind("<table", 0) == 0) tables.emplace_back();
        if (tag.rfind("<tr", 0) == 0) tables.back().emplace_back();
        if (tag.rfind("<td", 0) == 0)
            cell.clear(), nSpan = span == std::string::npos ? 1 : std::atoi(&tag[span + 9]);
        if (tag != "</td") continue;
        tables.back().back() += "|" + Trim(cell) + (nSpan > 1 ? "*" + std::to_string(nSpan) : "");
        nSpan = 0;
    }
    for (Strings& table : tables)
        for (std::string& row : table) row.erase(0, 1);
    return tables;
}

struct Result {
    int status;
    std::string out, err;
};

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kavotbl-rsi-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }
    // Runs a shell command; its output goes to files that Files() leaves out.
    Result Shell(const std::string& command) {
        const std::string out = Path(".stdout"), err = Path(".stderr");
        const int rc =
            std::system((command + " >" + Quote(out) + " 2>" + Quote(err) + " </dev/null").c_str());
        return Result{WIFEXITED(rc) ? WEXITSTATUS(rc) : 1000, ReadFile(out), ReadFile(err)};
    }
    // In the sanitizer build a finding ends the program with the status of an
    // ordinary failure, so its report is looked for as well.
    Result Run(const Strings& args) {
        std::string command = Quote(KAVOTBL_PROGRAM);
        for (const std::string& a : args) command += " " + Quote(a);
        const Result r = Shell(command);
        for (const char* report : {"AddressSanitizer", "LeakSanitizer", "runtime error:"})
            EXPECT_EQ(r.err.find(report), std::string::npos) << command << "\n" << r.err.substr(0, 2000);
        return r;
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
    void Write(const std::string& name, const std::string& text) const { std::ofstream(Path(name)) << text; }
    Strings Files() const {
        Strings names;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().filename().string()[0] != '.') names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // info --json as parsed JSON; a failed run fails the test.
    Json Info(Strings args) {
        args.insert(args.begin(), {"info", "--json"});
        const Result r = Run(args);
        EXPECT_EQ(r.status, 0) << r.err;
        const Json j = Json::parse(r.out, nullptr, false);
        EXPECT_FALSE(j.is_discarded()) << r.out.substr(0, 200);
        return j.is_discarded() ? Json::object() : j;
    }
    std::string dir;
};

// ------------------------------------------------------------------ rtf

TEST_F(Program, LibreOfficeReadsTheCellsInGridOrderWithSpannersOverTheirColumns) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP()
            << "soffice is not installed (libreoffice-writer-nogui, which scripts/setup.sh installs)";
    const std::string households = Data("households.tbl");
    const Strings rtfs = {Path("households.rtf"), Path("block.rtf"), Path("nested.rtf")};
    // One word-processor table per table, in the grid's order.
    ASSERT_EQ(Run({"rtf", households, "--no-panels", "-o", rtfs[0]}).status, 0);
    ASSERT_EQ(Run({"rtf", households, "--no-panels", "-o", rtfs[1], "--select", "0-1:1-2", "--blocked-only"}).status, 0);
    ASSERT_EQ(Run({"rtf", Data("rtf_nested.tbl"), "--no-panels", "-o", rtfs[2], "--paper", "a4"}).status, 0);
    for (const char* filter : {"txt:Text (encoded):UTF8", "html:XHTML Writer File:UTF8"}) {
        std::string command = "HOME=" + Quote(dir) + " soffice -env:UserInstallation=file://" + dir +
                              "/lo --headless --norestore --convert-to " + Quote(filter) + " --outdir " + dir;
        for (const std::string& f : rtfs) command += " " + Quote(f);
        const Result r = Shell(command);
        ASSERT_EQ(r.status, 0) << r.err;
    }
    // Residence over Urban and Rural, Tenure over Owner and Renter; the stub
    // head in the corner below them, a caption beside its first row.
    EXPECT_EQ(HtmlTables(ReadFile(Path("households.html"))),
              (std::vector<Strings>{{"|Residence*2|Tenure*2", "Household size|Urban|Rural|Owner|Renter",
                                     "All households One person|1,200|800|1,100|900",
                                     "Two persons|950|600|1,000|550", "Three persons|720|515|830|405",
                                     "Four persons|610|470|790|290", "Five or more persons|388|402|601|189",
                                     "Total|3,868|2,787|4,321|2,334"}}));
    // In the block each keeps the one column below it.
    EXPECT_EQ(HtmlTables(ReadFile(Path("block.html"))),
              (std::vector<Strings>{{"|Residence|Tenure", "Household size|Rural|Owner",
                                     "All households One person|800|1,100", "Two persons|600|1,000"}}));
    // Sex over Young, Old and Female (after the stub and Total), Male over
    // Young and Old; three heading levels and five data rows. Escaped text
    // survives.
    const std::vector<Strings> nested = HtmlTables(ReadFile(Path("nested.html")));
    ASSERT_TRUE(nested.size() == 1 && nested[0].size() == 8);
    EXPECT_EQ(nested[0][0].substr(0, 7) + " " + nested[0][1].substr(0, 8), "||Sex*3 ||Male*2");
    const Strings text = Lines(ReadFile(Path("nested.txt")));
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text[0],
              "Table 2. Persons by age {group}, sex and region \\ 2021 \xE2\x80\x94 caf\xC3\xA9 \xE2\x82\xAC "
              "\xE4\xBA\xBA\xE5\x8F\xA3 \xF0\x9F\x98\x80");
    EXPECT_EQ(text[1] + " / " + text.back(), "Heading with \\backslash / Footing: 50% of {all}");
}

TEST_F(Program, LibreOfficePagesAWideTableAsPrintDoes) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0 || std::system("command -v pdftotext >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "soffice or pdftotext is not installed (scripts/setup.sh installs them)";
    // 36 columns of seven-digit numbers under three spanners, 40 rows: at
    // least four column pages.
    std::string tbl = "[Table]\nSize=40, 36\n[Title]\nText=Wide\n[StubHead]\nText=Region\n";
    for (int g = 0; g < 3; ++g) {
        tbl += "[ColumnGroup]\nText=Group " + std::to_string(g) + "\n";
        for (int c = 0; c < 12; ++c) tbl += "[Column]\nText=Y" + std::to_string(2000 + 12 * g + c) + "\n";
        tbl += "[EndGroup]\n";
    }
    for (int r = 0; r < 40; ++r) {
        tbl += "[Row]\nText=Region " + std::to_string(r) + "\nData=";
        for (int c = 0; c < 36; ++c) tbl += (c ? ", " : "") + std::to_string(1000000 + 1000 * r + c);
        tbl += "\n";
    }
    Write("wide.tbl", tbl);
    ASSERT_EQ(Run({"print", Path("wide.tbl"), "-o", Path("print.pdf")}).status, 0);
    ASSERT_EQ(Run({"rtf", Path("wide.tbl"), "-o", Path("wide.rtf")}).status, 0);
    ASSERT_EQ(Shell("HOME=" + Quote(dir) + " soffice -env:UserInstallation=file://" + dir +
                    "/lo --headless --norestore --convert-to pdf --outdir " + Quote(dir) + " " + Quote(Path("wide.rtf")))
                  .status,
              0);
    auto pageWords = [&](const std::string& pdf, int nPage) {
        const Result r = Shell("pdftotext -f " + std::to_string(nPage) + " -l " + std::to_string(nPage) + " " +
                               Quote(pdf) + " -");
        Strings words;
        std::stringstream ss(r.out);
        for (std::string w; ss >> w;) words.push_back(w);
        std::sort(words.begin(), words.end());
        return words;
    };
    int nPages = 0;
    for (int p = 1; p <= 9; ++p) {
        const Strings printed = pageWords(Path("print.pdf"), p);
        const Strings written = pageWords(Path("wide.pdf"), p);
        if (printed.empty() && written.empty()) break;
        ++nPages;
        SCOPED_TRACE(p);
        // The stub on every page, and every number whole.
        EXPECT_NE(std::find(written.begin(), written.end(), "Region"), written.end());
        EXPECT_GE(std::count_if(written.begin(), written.end(), [](const std::string& w) { return w.size() == 9 && w.compare(0, 2, "1,") == 0; }),
                  20);
        EXPECT_EQ(written, printed);
    }
    EXPECT_GE(nPages, 4);
    EXPECT_TRUE(pageWords(Path("wide.pdf"), nPages + 1).empty());
}

// ------------------------------------------------------------------ save

TEST_F(Program, EverySavedExampleReloadsToTheSameModelAndSavesToTheSameText) {
    for (const std::string& tbl : Examples()) {
        SCOPED_TRACE(tbl);
        ASSERT_EQ(Run({"save", tbl, "-o", Path("once.tbl")}).status, 0);
        ASSERT_EQ(Run({"save", Path("once.tbl"), "-o", Path("twice.tbl")}).status, 0);
        EXPECT_EQ(ReadFile(Path("once.tbl")), ReadFile(Path("twice.tbl")));
        Json a = Info({Path("once.tbl")}), b = Info({tbl});
        for (Json* j : {&a, &b}) j->erase("file"), j->erase("messages");
        EXPECT_EQ(a, b);
    }
    // Saving over the input leaves the saved text.
    ASSERT_EQ(Run({"save", Path("once.tbl"), "-o", Path("once.tbl")}).status, 0);
    EXPECT_EQ(ReadFile(Path("once.tbl")), ReadFile(Path("twice.tbl")));
}

// Depth-first texts of a tree of rows or columns, trimmed of area indents.
Strings Texts(const Json& nodes) {
    Strings out;
    for (const Json& n : nodes) {
        out.push_back(Trim(n["text"].get<std::string>()));
        for (const std::string& s : Texts(n.value("children", Json::array()))) out.push_back(s);
    }
    return out;
}

TEST_F(Program, ABlockSaveReloadsToExactlyTheBlock) {
    const Json whole = Info({Data("rtf_nested.tbl")})["tables"][0];
    const std::string out = Path("block.tbl");
    ASSERT_EQ(
        Run({"save", Data("rtf_nested.tbl"), "-o", out, "--select", "0-3:1-3", "--blocked-only"}).status, 0);
    const Json block = Info({out})["tables"][0];
    ASSERT_TRUE(block["dataRows"] == 4 && block["dataColumns"] == 3) << block.dump().substr(0, 200);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col)
            for (const char* key : {"value", "text", "style", "format"})
                EXPECT_EQ(block["cells"][row][col][key], whole["cells"][row][col + 1][key])
                    << row << col << key;
    // Capital's single-cell style on its third column is the block's second
    // column; Harbour's format on its second column the first.
    auto at = [&](int r, int c, const char* key) {
        return block["cells"][r][c][key].get<std::string>() + " ";
    };
    EXPECT_EQ(
        at(0, 1, "style") + at(0, 0, "style") + at(1, 0, "format") + at(1, 0, "text") + at(3, 2, "format"),
        "Bold Default OneDecimal 25.5 Secret ");
    // The captions and spanners above the block come along, nothing else.
    EXPECT_EQ(Texts(block["rows"]),
              (Strings{"North", "Cities", "Capital", "Harbour", "Countryside", "South"}));
    EXPECT_EQ(Texts(block["columns"]), (Strings{"Sex", "Male", "Young", "Old", "Female"}));
    EXPECT_EQ(block["title"], whole["title"]);
    ASSERT_EQ(Run({"save", out, "-o", Path("again.tbl")}).status, 0);
    EXPECT_EQ(ReadFile(Path("again.tbl")), ReadFile(out));
}

// ------------------------------------------------------------------ info

TEST_F(Program, InfoOfEveryExampleValidatesAgainstTheSchemaThatRejectsWhatInfoNeverWrites) {
    if (std::system("python3 -c 'import jsonschema' >/dev/null 2>&1") != 0)
        GTEST_SKIP()
            << "python3 with jsonschema (python3-jsonschema, which scripts/setup.sh installs) is needed";
    Write("validate.py",
          "import json, sys, jsonschema\n"
          "v = jsonschema.Draft202012Validator(json.load(open(sys.argv[1])))\n"
          "v.check_schema(v.schema)\n"
          "bad = [print(p, list(e.absolute_path), e.message[:200])\n"
          "       for p in sys.argv[2:] for e in v.iter_errors(json.load(open(p)))]\n"
          "sys.exit(1 if bad else 0)\n");
    auto validate = [&](const Strings& files) {
        std::string command = "python3 " + Quote(Path("validate.py")) + " " +
                              Quote(std::string(KAVOTBL_SOURCE_DIR) + "/schema/info.schema.json");
        for (const std::string& f : files) command += " " + Quote(f);
        return Shell(command);
    };
    // clang-format off
    const std::vector<Strings> modes = {{}, {"--layout", "screen", "--surface", "fixed"},
        {"--layout", "screen", "--width", "500"}, {"--layout", "printer", "--surface", "fixed"},
        {"--layout", "printer", "--paper", "a4", "--landscape"}};
    // clang-format on
    Strings files;
    for (const std::string& tbl : Examples())
        for (Strings args : modes) {
            args.insert(args.begin(), tbl);
            files.push_back(Path(std::to_string(files.size()) + ".json"));
            std::ofstream(files.back()) << Info(args).dump();
        }
    const Result v = validate(files);
    EXPECT_EQ(v.status, 0) << v.out << v.err;
    std::vector<Json> bad(3, Info({Data("households.tbl"), "--layout", "screen", "--surface", "fixed"}));
    bad[0]["tables"][0]["dataRows"] = "6";
    bad[1]["tables"][0]["cells"][0][0].erase("value");
    bad[2]["tables"][0]["columns"][0]["dataColumn"] = 0;  // a spanner with children is no data column
    for (std::size_t i = 0; i < bad.size(); ++i) {
        Write("bad.json", bad[i].dump());
        EXPECT_NE(validate({Path("bad.json")}).status, 0) << "case " << i;
    }
}

Json Ints(std::initializer_list<int> v) { return Json(std::vector<int>(v)); }

TEST_F(Program, FixedSurfaceLayoutsAsWorkedOutByHand) {
    // Without a font the fixed surface makes each byte 8 units wide and a
    // line 16 high: the margin is 16 / 5 = 3 and the line height 16 + 2 x 3.
    Write("small.tbl",
          "[Table]\nSize=2, 2\n[Title]\nText=T\n[Column]\nText=Aa\n[Column]\nText=Bbbb\n"
          "[Row]\nText=One\nData=5, 12345\n[Row]\nText=Two\nData=7, 8\n");
    auto layout = [&](Strings args) {
        args.insert(args.begin(), {Path("small.tbl"), "--surface", "fixed", "--layout"});
        return Info(args)["tables"][0];
    };
    Json t = layout({"screen", "--width", "400"});
    EXPECT_EQ(Json({t["layout"]["margin"], t["layout"]["lineHeight"]}), Ints({3, 22}));
    // Width 400: data budget 300, stub 100; the widest column needs 54
    // ("12,345" is 48 wide, plus 2 x 3), 2 x 54 fits in 300, so each of the
    // two columns is 150 wide. A row's border reaches the table's right.
    EXPECT_EQ(t["columns"][1]["box"], Ints({250, 22, 400, 44}));
    EXPECT_EQ(t["rows"][1]["border"], Ints({0, 66, 400, 88}));
    EXPECT_EQ(t["cells"][1][1]["box"], Ints({250, 66, 400, 88}));
    EXPECT_EQ(t["layout"]["size"], Ints({400, 88}));
    // Width 100: the stub keeps a quarter (25) and the columns their minimum
    // of 54 each: the table is 133 wide and would scroll. "One" and "Two"
    // (24) are broken over two lines in the stub's 19: rows of 38.
    t = layout({"screen", "--width", "100"});
    EXPECT_EQ(t["columns"][0]["box"], Ints({25, 22, 79, 44}));
    EXPECT_EQ(t["layout"]["size"], Ints({133, 120}));
    // Letter less half an inch all round is 10800 x 14400 twips, less the
    // page-number line (16) and half a line above it (8), as print lays it
    // out; with equal widths the stub takes a quarter (2700), the two
    // columns share the rest, and the layout is flipped for a surface whose
    // y grows upwards.
    t = layout({"printer", "--equal-widths", "--style-sheet", "plain"});
    EXPECT_EQ(t["layout"]["rect"], Ints({0, 0, 10800, -14376}));
    EXPECT_EQ(t["columns"][0]["box"], Ints({2700, -22, 6750, -44}));
}

// ------------------------------------------------------------------ check

// One file for each way a file can depart from what the reader takes, with
// the message it must give, after "FILE:" (the place, shown once).
TEST_F(Program, CheckReportsEveryMessageOnceWithItsPlaceAndStrictWritesNothing) {
    const std::string cols = "[Table]\nSize=1, 2\n[Column]\nText=a\n[Column]\nText=b\n";
    const struct {
        const char* name;
        std::string text, message;
    } broken[] = {
        {"short.tbl", cols + "[Row]\nText=R1\nData=1\n", ":7: row 'R1' has 1 value for 2 data columns; the rest are 0"},
        {"size.tbl", "[Table]\nSize=3, 2\n[Column]\nText=a\n[Column]\nText=b\n[Row]\nText=R1\nData=1, 2\n", ":2: \"Size\" says 3 rows and 2 columns; the table has 1 row and 2 columns"},
        {"open.tbl", cols + "[RowGroup]\nText=G\n[Row]\nText=r\nData=1, 2\n", ":11: the file ends inside the group 'G' (no [EndGroup])"},
        {"value.tbl", "[Style]\nLabel=S\nHorJust=Middle\n" + cols + "[Row]\nData=1, 2\n", ":3: HorJust=Middle is not one of Left, Center, Right; taken as Right"},
        {"style.tbl", cols + "[Row]\nText=r\nStyle=NoSuchStyle\nData=1, 2\n", ":9: no style 'NoSuchStyle'"},
        {"twice.tbl", cols + "[Row]\nText=r\nText=s\nData=1, 2\n", ":9: \"Text\" is given twice in one section; the later value stands"},
        {"key.tbl", cols + "[Row]\nText=r\nColour=red\nData=1, 2\n", ":9: Unrecognized command: Colour"},
        {"data.tbl", cols + "[Row]\nText=r\nData=1, x\n", ":9: Internal tabluation error.  Data cell is not numeric:  x"},
        {"none.tbl", "Dear reader,\nthis is a letter.\n", ": the file holds no [Table] section"},
    };
    fs::create_directory(Path("broken"));
    Strings args = {"check"};
    for (const auto& b : broken) {
        std::ofstream(Path("broken/") + b.name) << b.text;
        args.push_back(Path("broken/") + b.name);
    }
    const Result r = Run(args);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "");
    for (const auto& b : broken)
        EXPECT_NE(r.out.find(Path("broken/") + b.name + b.message + "\n"), std::string::npos) << b.name << "\n" << r.out;
    for (const std::string& line : Lines(r.out))  // the place once: no "line 7: " or " at line 7" left in the text
        EXPECT_TRUE(line.find("line ") == std::string::npos) << line;

    // The examples load without a word; a file that cannot be read is status 2.
    Strings examples = {"check"};
    for (const std::string& tbl : Examples()) examples.push_back(tbl);
    const Result clean = Run(examples);
    EXPECT_EQ(clean.status, 0) << clean.out << clean.err;
    EXPECT_EQ(clean.out + clean.err, "");
    EXPECT_EQ(Run({"check", examples[1], Path("missing.tbl"), Path("broken/style.tbl")}).status, 2);

    // --json: a record per file with its messages' ids, lines and texts.
    const Result json = Run({"check", "--json", Path("broken/style.tbl"), examples[1], dir});
    EXPECT_EQ(json.status, 2);
    const Json j = Json::parse(json.out, nullptr, false);
    ASSERT_TRUE(j.is_array() && j.size() == 3) << json.out;
    EXPECT_EQ(j[0]["messages"], Json::parse(R"([{"id": 5015, "line": 9, "text": "no style 'NoSuchStyle'"}])"));
    EXPECT_TRUE(j[0]["readable"] && j[0]["loaded"] && j[0]["tables"] == 1);
    EXPECT_TRUE(j[1]["messages"].empty() && j[1]["readable"]);
    EXPECT_FALSE(j[2]["readable"]);

    // --strict makes any message a failure and writes nothing; without it the
    // table is written. A file ending inside a group is not printed incomplete.
    const std::string style = Path("broken/style.tbl"), open = Path("broken/open.tbl");
    EXPECT_EQ(Run({"rtf", style, "-o", Path("strict.rtf"), "--strict"}).status, 1);
    EXPECT_EQ(Run({"info", style, "--strict"}).out, "");
    EXPECT_EQ(Run({"rtf", style, "-o", Path("lenient.rtf")}).status, 0);
    const Result cut = Run({"print", open, "-o", Path("cut.pdf")});
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("ends inside a group"), std::string::npos) << cut.err;
    EXPECT_EQ(Run({"render", open, "-o", Path("cut.png")}).status, 1);
    EXPECT_EQ(Run({"save", open, "-o", Path("kept.tbl")}).status, 0);  // what was read can still be kept
    // A style sheet's messages are shown with its place and count as the
    // table file's do.
    const std::string sheet = Path("broken/sheet.tbl");
    std::ofstream(sheet) << "[Style]\nLabel=Title\nHorJust=Middle\n";
    const Result strictSheet = Run({"print", examples[1], "-o", Path("sheet.pdf"), "--style-sheet", sheet, "--strict"});
    EXPECT_EQ(strictSheet.status, 1);
    EXPECT_NE(strictSheet.err.find(sheet + ":3: "), std::string::npos) << strictSheet.err;
    EXPECT_EQ(Run({"print", examples[1], "-o", Path("sheet.pdf"), "--style-sheet", sheet}).status, 0);
    EXPECT_EQ(Files(), (Strings{"broken", "kept.tbl", "lenient.rtf", "sheet.pdf"}));
}

// ------------------------------------------------------------------ bad input

TEST_F(Program, BadInputFailsInOneLineAndWritesNothing) {
    Write("keep.out", "precious");
    Write("empty.tbl", "");
    Write("registry.tbl", "[Style]\nLabel=X\n");
    Write("baddata.tbl",
          "[Table]\nSize=1, 2\n[Column]\nText=A\n[Column]\nText=B\n[Row]\nText=R\nData=1, x\n");
    const std::string tbl = Data("households.tbl"), out = Path("keep.out");
    struct Case {
        Strings args;
        int nStatus;
        std::string reason;
    };
    std::vector<Case> cases = {
        // Usage errors.
        {{"rtf", tbl}, 2, "no output file"},
        {{"rtf"}, 2, "no table file"},
        {{"rtf", tbl, "-o", out, "--select", "1:x"}, 2, "--select needs ROWS:COLS"},
        {{"save", tbl, "-o", out, "--select", "0-6:0"}, 2, "lies outside the table's 6 rows and 4 columns"},
        {{"save", tbl, "-o", out, "--blocked-only"}, 2, "--blocked-only needs --select"},
        {{"rtf", tbl, "-o", out, "--paper", "b7"}, 2, "unknown paper"},
        {{"save", tbl, "-o", out, "--bogus"}, 2, "unknown option --bogus"},
        {{"info", tbl, "--layout", "screen", "--surface", "fixed", "--size", "12"}, 2, "has no fonts"},
        {{"info", tbl, "--layout", "printer", "--margin", "5in"}, 2, "less than an inch"},
        // A table number past the end and outputs that cannot be written.
        {{"save", tbl, "-o", out, "--table", "2"}, 1, "there is no table 2"},
        {{"rtf", tbl, "-o", Path("no/such/folder/out")}, 1, "cannot write"},
        {{"save", tbl, "-o", dir}, 1, "it is a folder"},
    };
    // Inputs that cannot be read, for every command.
    const std::pair<std::string, const char*> inputs[] = {{Path("missing.tbl"), "cannot open"},
                                                          {dir, "it is a folder"},
                                                          {Path("empty.tbl"), "holds no table"},
                                                          {Path("registry.tbl"), "holds no table"},
                                                          {Path("baddata.tbl"), "cannot be read"}};
    for (const auto& in : inputs)
        for (const Strings& args : {Strings{"info", in.first}, Strings{"rtf", in.first, "-o", out},
                                    Strings{"save", in.first, "-o", out}})
            cases.push_back({args, 1, in.second});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + ": " + c.reason);
        // The status, one line on standard error after any messages of the
        // library, and nothing on standard output.
        const Result r = Run(c.args);
        const Strings lines = Lines(r.err);
        EXPECT_EQ(r.status, c.nStatus) << r.err;
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().rfind("kavotbl " + c.args[0] + ": ", 0), 0u) << lines.back();
        EXPECT_NE(lines.back().find(c.reason), std::string::npos) << lines.back();
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            EXPECT_NE(lines[i].rfind("kavotbl ", 0), 0u) << lines[i];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(ReadFile(out), "precious");
    }
    // The bad value is reported with its line before the error.
    EXPECT_NE(Run({"info", Path("baddata.tbl")}).err.find("baddata.tbl:9: "), std::string::npos);
    EXPECT_EQ(Files(), (Strings{"baddata.tbl", "empty.tbl", "keep.out", "registry.tbl"}));
}

}  // namespace
