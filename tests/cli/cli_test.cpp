// The kavotbl program as a user runs it: PDFs checked with poppler's
// pdfinfo and pdftotext, images against a reference, and bad input.
#include <gtest/gtest.h>

#include <cairo.h>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "kavotbl/cairo/cairo_dc.h"
#include "kavotbl/kavotbl.h"

namespace {

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

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream ss(text);
    for (std::string line; std::getline(ss, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<std::string> Tokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::stringstream ss(text);
    for (std::string t; ss >> t;) tokens.push_back(t);
    return tokens;
}

struct Result {
    int status = -1;
    std::string out, err;
};

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kavotbl-cli-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::system(("rm -rf " + Quote(dir)).c_str()); }

    // Runs a command line; standard output and error are captured.
    Result Shell(const std::string& command) {
        const std::string out = dir + "/.stdout", err = dir + "/.stderr";
        const int rc = std::system((command + " >" + Quote(out) + " 2>" + Quote(err) + " </dev/null").c_str());
        Result r;
        r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        r.out = ReadFile(out);
        r.err = ReadFile(err);
        std::remove(out.c_str());
        std::remove(err.c_str());
        return r;
    }
    Result Run(const std::vector<std::string>& args) {
        std::string command = Quote(KAVOTBL_PROGRAM);
        for (const std::string& a : args) command += " " + Quote(a);
        return Shell(command);
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d)) {
                const std::string n = e->d_name;
                if (n != "." && n != "..") names.push_back(n);
            }
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // Text of one PDF page (1-based) as pdftotext extracts it.
    std::string PageText(const std::string& pdf, int nPage) {
        const Result r = Shell("pdftotext -f " + std::to_string(nPage) + " -l " + std::to_string(nPage) + " " +
                               Quote(pdf) + " -");
        EXPECT_EQ(r.status, 0) << "pdftotext (poppler-utils) is needed: " << r.err;
        return r.out;
    }
    std::string Info(const std::string& pdf, const std::string& key) {
        const Result r = Shell("pdfinfo " + Quote(pdf));
        EXPECT_EQ(r.status, 0) << "pdfinfo (poppler-utils) is needed: " << r.err;
        for (const std::string& line : Lines(r.out))
            if (line.compare(0, key.size() + 1, key + ":") == 0) {
                std::string v = line.substr(key.size() + 1);
                v.erase(0, v.find_first_not_of(' '));
                return v;
            }
        return std::string();
    }

    std::string dir;
};

// ---------------------------------------------------------------- bad input

using BadInput = Program;

// A failure is one line on standard error, a nonzero status, and no output.
void ExpectCleanFailure(const Result& r, int nStatus, const std::string& reason) {
    EXPECT_EQ(r.status, nStatus) << r.err;
    const std::vector<std::string> lines = Lines(r.err);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines.back().compare(0, 8, "kavotbl ") == 0 || lines.back().compare(0, 8, "kavotbl:") == 0)
        << lines.back();
    EXPECT_NE(lines.back().find(reason), std::string::npos) << lines.back();
}

TEST_F(BadInput, MissingFile) {
    const Result r = Run({"print", Path("absent.tbl"), "-o", Path("out.pdf")});
    ExpectCleanFailure(r, 1, "cannot open");
    EXPECT_EQ(Lines(r.err).size(), 1u);
    EXPECT_TRUE(Files().empty());
}

TEST_F(BadInput, UnknownOptionAndUnknownCommand) {
    Result r = Run({"print", std::string(KAVOTBL_CLI_DATA_DIR) + "/households.tbl", "--bogus", "-o", Path("o.pdf")});
    ExpectCleanFailure(r, 2, "unknown option --bogus");
    EXPECT_EQ(Lines(r.err).size(), 1u);
    r = Run({"frobnicate"});
    ExpectCleanFailure(r, 2, "unknown command 'frobnicate'");
    EXPECT_TRUE(Files().empty());
}

TEST_F(BadInput, BrokenTableKeepsTheOldOutputAndLeavesNoDebris) {
    Write("bad.tbl", "[Table]\nSize=1, 2\n[Column]\nText=A\n[Column]\nText=B\n[Row]\nText=r\nData=12, x\n");
    Write("out.pdf", "previous contents");
    const Result r = Run({"print", Path("bad.tbl"), "-o", Path("out.pdf")});
    ExpectCleanFailure(r, 1, "cannot be read");
    // The library's own message names the file and the line.
    EXPECT_NE(r.err.find(Path("bad.tbl") + ":9: "), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(Path("out.pdf")), "previous contents");
    EXPECT_EQ(Files(), (std::vector<std::string>{"bad.tbl", "out.pdf"}));
}

TEST_F(BadInput, NotATableFile) {
    Write("notes.txt", "Dear reader,\nthis is a letter, not a table.\n\x01\x02\xff\n");
    const Result r = Run({"render", Path("notes.txt"), "-o", Path("out.png")});
    ExpectCleanFailure(r, 1, "holds no table");
    EXPECT_FALSE(Exists(Path("out.png")));
}

TEST_F(BadInput, UnwritableOutput) {
    const std::string tbl = std::string(KAVOTBL_CLI_DATA_DIR) + "/households.tbl";
    Result r = Run({"print", tbl, "-o", Path("no/such/folder/out.pdf")});
    ExpectCleanFailure(r, 1, "cannot write");
    r = Run({"render", tbl, "-o", dir});  // a folder, and no image type
    ExpectCleanFailure(r, 2, "image type");
    mkdir(Path("dir.png").c_str(), 0755);
    r = Run({"render", tbl, "-o", Path("dir.png")});
    ExpectCleanFailure(r, 1, "cannot write");
    EXPECT_EQ(Files(), std::vector<std::string>{"dir.png"});
}

TEST_F(BadInput, OutOfRangeValues) {
    const std::string tbl = std::string(KAVOTBL_CLI_DATA_DIR) + "/households.tbl";
    ExpectCleanFailure(Run({"print", tbl, "-o", Path("a.pdf"), "--table", "2"}), 1, "no table 2");
    ExpectCleanFailure(Run({"print", tbl, "-o", Path("a.pdf"), "--paper", "tabloid"}), 2, "unknown paper");
    ExpectCleanFailure(Run({"print", tbl, "-o", Path("a.pdf"), "--margin", "5in"}), 2, "margins");
    // The example has 6 data rows and 4 data columns.
    ExpectCleanFailure(Run({"render", tbl, "-o", Path("a.png"), "--select", "0-6:0-1"}), 2, "outside");
    ExpectCleanFailure(Run({"render", tbl, "-o", Path("a.png"), "--select", "3"}), 2, "ROWS:COLS");
    EXPECT_TRUE(Files().empty());
}

TEST_F(BadInput, HelpGoesToStandardOutput) {
    Result r = Run({"print", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: kavotbl print"), std::string::npos);
    EXPECT_NE(r.out.find("--landscape"), std::string::npos);
    r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("render"), std::string::npos);
    r = Run({});
    EXPECT_NE(r.status, 0);
}

// ---------------------------------------------------------------- printing

// A table too wide and too long for one page: 24 data columns under two
// spanners and 60 data rows under three captions. Cell (r, c) holds
// 1000 + 24r + c, so every value is a distinct word "d,ddd".
constexpr int kCols = 24, kHalf = kCols / 2, kRows = 60, kGroups = 3;

int CellValue(int r, int c) { return 1000 + kCols * r + c; }

// The value of a word "d,ddd", or -1.
int ValueWord(const std::string& tok) {
    if (tok.size() != 5 || tok[1] != ',') return -1;
    for (int i : {0, 2, 3, 4})
        if (!std::isdigit(static_cast<unsigned char>(tok[static_cast<std::size_t>(i)]))) return -1;
    return std::atoi(tok.substr(0, 1).c_str()) * 1000 + std::atoi(tok.c_str() + 2);
}

std::string Caption(const char* prefix, int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%02d", prefix, n);
    return buf;
}

std::string BigTable() {
    std::string t = "[Table]\nSize=" + std::to_string(kRows) + ", " + std::to_string(kCols) + "\nName=Big\n";
    t += "[Title]\nText=Table 9. Wide and long\n[Heading]\nText=Survey of everything\n";
    t += "[Footing]\nText=Note: invented figures\n[StubHead]\nText=Place\n";
    for (int g = 0; g < 2; ++g) {
        t += "[ColumnGroup]\nText=" + std::string(g ? "Rural" : "Urban") + "\n";
        for (int c = g * kHalf; c < (g + 1) * kHalf; ++c) t += "[Column]\nText=" + Caption("Col", c) + "\n";
        t += "[EndGroup]\n";
    }
    int r = 0;
    for (int g = 0; g < kGroups; ++g) {
        t += "[RowGroup]\nText=" + Caption("Region", g) + "\n";
        for (int k = 0; k < kRows / kGroups; ++k, ++r) {
            t += "[Row]\nText=" + Caption("Area", r) + "\nData=";
            for (int c = 0; c < kCols; ++c) t += (c ? ", " : "") + std::to_string(CellValue(r, c));
            t += "\n";
        }
        t += "[EndGroup]\n";
    }
    return t;
}

class Printing : public Program {
protected:
    void SetUp() override {
        Program::SetUp();
        Write("big.tbl", BigTable());
    }
};

TEST_F(Printing, PagesFollowTheLayoutsColumnAndRowPages) {
    const Result res = Run({"print", Path("big.tbl"), "-o", Path("big.pdf")});
    ASSERT_EQ(res.status, 0) << res.err;
    const int nPages = std::atoi(Info(Path("big.pdf"), "Pages").c_str());
    ASSERT_GT(nPages, 1);

    // Which columns and rows each page shows, read back from its text.
    std::vector<std::set<int>> cols(static_cast<std::size_t>(nPages)), rows(static_cast<std::size_t>(nPages));
    std::vector<std::string> texts;
    for (int p = 0; p < nPages; ++p) {
        texts.push_back(PageText(Path("big.pdf"), p + 1));
        for (const std::string& tok : Tokens(texts.back())) {
            if (tok.size() == 5 && tok.compare(0, 3, "Col") == 0) cols[p].insert(std::atoi(tok.c_str() + 3));
            if (tok.size() == 6 && tok.compare(0, 4, "Area") == 0) rows[p].insert(std::atoi(tok.c_str() + 4));
        }
    }
    // Column pages repeat for every row page: page = rowPage × H + colPage.
    int nHorz = 1;
    while (nHorz < nPages && cols[static_cast<std::size_t>(nHorz)] != cols[0]) ++nHorz;
    ASSERT_EQ(nPages % nHorz, 0) << "pages do not form a grid of column and row pages";
    const int nRowPages = nPages / nHorz;

    // The same width on a twips surface gives the library's own column pages.
    {
        kavo::CStyleRegistry registry;
        kavo::CSpecFile file;
        file.OpenText(BigTable());
        registry.Build(file);
        kavo::CTable table;
        table.SetStyleRegistry(&registry);
        ASSERT_TRUE(table.Build(file));
        kavo::LOGFONT lf;
        lf.lfHeight = -13;  // 10 pt, the program's default, on screen
        std::strcpy(lf.lfFaceName, "DejaVu Sans");
        registry.UpdateFonts(&lf, 200);  // and on paper
        auto dc = kavo::CCairoDC::CreateMeasuringDC(kavo::MM_TWIPS);
        // Letter paper less half-inch margins: 7.5 in = 10800 twips.
        table.LayoutPrinter(kavo::CRect(0, 0, 10800, -100000000), dc.get());
        EXPECT_EQ(table.GetNumHorzPages(), nHorz);
    }

    std::vector<int> seenCol(kCols, 0), seenRow(kRows, 0);
    for (int p = 0; p < nPages; ++p) {
        const auto& pc = cols[static_cast<std::size_t>(p)];
        const auto& pr = rows[static_cast<std::size_t>(p)];
        SCOPED_TRACE("page " + std::to_string(p + 1));
        EXPECT_EQ(pc, cols[static_cast<std::size_t>(p % nHorz)]);
        EXPECT_EQ(pr, rows[static_cast<std::size_t>(p - p % nHorz)]);
        ASSERT_FALSE(pc.empty());
        ASSERT_FALSE(pr.empty());
        // Contiguous runs, in order: the stub and the columns of this page.
        EXPECT_EQ(*pc.rbegin() - *pc.begin() + 1, static_cast<int>(pc.size()));
        EXPECT_EQ(*pr.rbegin() - *pr.begin() + 1, static_cast<int>(pr.size()));
        if (p % nHorz) {
            EXPECT_EQ(*pc.begin(), *cols[static_cast<std::size_t>(p - 1)].rbegin() + 1);
        }
        for (int c : pc) seenCol[static_cast<std::size_t>(c)]++;
        for (int r : pr) seenRow[static_cast<std::size_t>(r)]++;

        const std::string& text = texts[static_cast<std::size_t>(p)];
        EXPECT_NE(text.find("Table 9. Wide and long"), std::string::npos);
        EXPECT_NE(text.find("Place"), std::string::npos);
        EXPECT_NE(text.find("Survey of everything"), std::string::npos);
        EXPECT_NE(text.find("Note: invented figures"), std::string::npos);
        EXPECT_NE(text.find("Page " + std::to_string(p + 1) + " of " + std::to_string(nPages)), std::string::npos);
        // Every spanner with a column on this page is repeated above it.
        if (*pc.begin() < kHalf) {
            EXPECT_NE(text.find("Urban"), std::string::npos);
        }
        if (*pc.rbegin() >= kHalf) {
            EXPECT_NE(text.find("Rural"), std::string::npos);
        }
        // Exactly the cells where this page's rows and columns cross.
        std::set<int> values;
        for (const std::string& tok : Tokens(text))
            if (ValueWord(tok) >= 0) values.insert(ValueWord(tok));
        std::set<int> expected;
        for (int r : pr)
            for (int c : pc) expected.insert(CellValue(r, c));
        EXPECT_EQ(values, expected);
    }
    for (int c = 0; c < kCols; ++c) EXPECT_EQ(seenCol[static_cast<std::size_t>(c)], nRowPages) << "column " << c;
    for (int r = 0; r < kRows; ++r) EXPECT_EQ(seenRow[static_cast<std::size_t>(r)], nHorz) << "row " << r;
}

TEST_F(Printing, PaperSizeAndOrientation) {
    ASSERT_EQ(Run({"print", Path("big.tbl"), "-o", Path("a4.pdf"), "--paper", "a4", "--landscape"}).status, 0);
    // 297 × 210 mm in points.
    EXPECT_EQ(Info(Path("a4.pdf"), "Page size").substr(0, 17), "841.89 x 595.276 ");
    ASSERT_EQ(Run({"print", Path("big.tbl"), "-o", Path("legal.pdf"), "--paper", "legal"}).status, 0);
    EXPECT_EQ(Info(Path("legal.pdf"), "Page size").substr(0, 11), "612 x 1008 ");
    // Sideways paper is wider and shorter: no fewer columns on a page, and
    // fewer rows.
    ASSERT_EQ(Run({"print", Path("big.tbl"), "-o", Path("letter.pdf")}).status, 0);
    ASSERT_EQ(Run({"print", Path("big.tbl"), "-o", Path("wide.pdf"), "--landscape"}).status, 0);
    auto count = [&](const std::string& pdf, const char* prefix, std::size_t nLength) {
        int n = 0;
        for (const std::string& tok : Tokens(PageText(pdf, 1)))
            if (tok.size() == nLength && tok.compare(0, std::strlen(prefix), prefix) == 0) ++n;
        return n;
    };
    EXPECT_GE(count(Path("wide.pdf"), "Col", 5), count(Path("letter.pdf"), "Col", 5));
    EXPECT_LT(count(Path("wide.pdf"), "Area", 6), count(Path("letter.pdf"), "Area", 6));
}

TEST_F(Printing, EachTableStartsOnANewPageAndTableSelectsOne) {
    Write("two.tbl", std::string(
        "[Table]\nSize=1, 1\n[Title]\nText=First table\n[Column]\nText=A\n[Row]\nText=r\nData=5\n"
        "[Table]\nSize=1, 1\n[Title]\nText=Second table\n[Column]\nText=B\n[Row]\nText=s\nData=6\n"));
    ASSERT_EQ(Run({"print", Path("two.tbl"), "-o", Path("two.pdf")}).status, 0);
    ASSERT_EQ(Info(Path("two.pdf"), "Pages"), "2");
    EXPECT_NE(PageText(Path("two.pdf"), 1).find("First table"), std::string::npos);
    EXPECT_EQ(PageText(Path("two.pdf"), 1).find("Second table"), std::string::npos);
    EXPECT_NE(PageText(Path("two.pdf"), 2).find("Second table"), std::string::npos);
    EXPECT_NE(PageText(Path("two.pdf"), 2).find("Page 2 of 2"), std::string::npos);
    ASSERT_EQ(Run({"print", Path("two.tbl"), "-o", Path("one.pdf"), "--table", "2"}).status, 0);
    ASSERT_EQ(Info(Path("one.pdf"), "Pages"), "1");
    EXPECT_NE(PageText(Path("one.pdf"), 1).find("Second table"), std::string::npos);
    EXPECT_NE(PageText(Path("one.pdf"), 1).find("Page 1 of 1"), std::string::npos);
}

TEST_F(Printing, OldFileLettersReachThePdfAsUnicode) {
    Write("old.tbl", "[Table]\nSize=1, 1\n[Title]\nText=Caf\xE9s and \x80 prices\n"
                     "[Column]\nText=Pi\xF1" "a\n[Row]\nText=M\xFCnchen\nData=7\n");
    ASSERT_EQ(Run({"print", Path("old.tbl"), "-o", Path("old.pdf")}).status, 0);
    const std::string text = PageText(Path("old.pdf"), 1);
    EXPECT_NE(text.find("Caf\xC3\xA9s and \xE2\x82\xAC prices"), std::string::npos) << text;
    EXPECT_NE(text.find("Pi\xC3\xB1" "a"), std::string::npos);
    EXPECT_NE(text.find("M\xC3\xBC" "nchen"), std::string::npos);
}

// ---------------------------------------------------------------- images

struct Image {
    cairo_surface_t* s = nullptr;
    explicit Image(const std::string& path) : s(cairo_image_surface_create_from_png(path.c_str())) {}
    ~Image() { cairo_surface_destroy(s); }
    bool Ok() const { return cairo_surface_status(s) == CAIRO_STATUS_SUCCESS; }
    int W() const { return cairo_image_surface_get_width(s); }
    int H() const { return cairo_image_surface_get_height(s); }
    std::uint32_t Px(int x, int y) const {
        std::uint32_t v;
        std::memcpy(&v, cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s) + x * 4, 4);
        return v & 0xFFFFFF;
    }
    bool RowEquals(const Image& o, int y) const {
        for (int x = 0; x < W(); ++x)
            if (Px(x, y) != o.Px(x, y)) return false;
        return true;
    }
};

int ChannelDiff(std::uint32_t a, std::uint32_t b) {
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return d;
}

using Rendering = Program;

// The reference shows tests/cli/households.tbl in a 640 × 300 window with
// rows 1-2 and columns 0-1 selected. Set KAVOTBL_UPDATE_REFERENCE=1 to
// write a new one on purpose (see tests/data/reference/README.md).
TEST_F(Rendering, SmallExampleMatchesTheReferenceImage) {
    const std::string reference = std::string(KAVOTBL_REFERENCE_DIR) + "/households.png";
    const std::string tbl = std::string(KAVOTBL_CLI_DATA_DIR) + "/households.tbl";
    const std::string png = std::getenv("KAVOTBL_UPDATE_REFERENCE") ? reference : Path("households.png");
    const Result r = Run({"render", tbl, "-o", png, "--width", "640", "--height", "300", "--select", "1-2:0-1"});
    ASSERT_EQ(r.status, 0) << r.err;
    if (png == reference) GTEST_SKIP() << "reference image rewritten: " << reference;
    Image got(png), want(reference);
    ASSERT_TRUE(got.Ok());
    ASSERT_TRUE(want.Ok()) << "missing reference " << reference;
    ASSERT_EQ(got.W(), want.W());
    ASSERT_EQ(got.H(), want.H());
    // Font versions may move antialiasing a little; the table must not move.
    long long nOff = 0, nSum = 0;
    for (int y = 0; y < got.H(); ++y)
        for (int x = 0; x < got.W(); ++x) {
            const int d = ChannelDiff(got.Px(x, y), want.Px(x, y));
            nSum += d;
            if (d > 64) ++nOff;
        }
    const double nPixels = static_cast<double>(got.W()) * got.H();
    EXPECT_LT(nOff / nPixels, 0.005) << nOff << " pixels differ clearly";
    EXPECT_LT(nSum / nPixels, 1.5);
}

TEST_F(Rendering, SelectionIsShadedAndScrollingKeepsTheHeadingsInPlace) {
    const std::string tbl = std::string(KAVOTBL_CLI_DATA_DIR) + "/households.tbl";
    ASSERT_EQ(Run({"render", tbl, "-o", Path("plain.png"), "--width", "640", "--height", "300"}).status, 0);
    ASSERT_EQ(Run({"render", tbl, "-o", Path("sel.png"), "--width", "640", "--height", "300", "--select",
                   "0-0:0-0"}).status, 0);
    ASSERT_EQ(Run({"render", tbl, "-o", Path("down.png"), "--width", "640", "--height", "300", "--scroll",
                   "0,44"}).status, 0);
    Image plain(Path("plain.png")), sel(Path("sel.png")), down(Path("down.png"));
    ASSERT_TRUE(plain.Ok() && sel.Ok() && down.Ok());
    // The selection colour (0xCCE0FF) appears only in the selected image.
    auto count = [](const Image& im, std::uint32_t rgb) {
        long long n = 0;
        for (int y = 0; y < im.H(); ++y)
            for (int x = 0; x < im.W(); ++x) n += im.Px(x, y) == rgb;
        return n;
    };
    EXPECT_EQ(count(plain, 0xCCE0FF), 0);
    EXPECT_GT(count(sel, 0xCCE0FF), 100);
    // The title line stays; the body below the headings moved.
    EXPECT_TRUE(plain.RowEquals(down, 5));
    int nChanged = 0;
    for (int y = 0; y < plain.H(); ++y) nChanged += !plain.RowEquals(down, y);
    EXPECT_GT(nChanged, 20);
}

TEST_F(Rendering, UnknownFontFallsBackWithAWarning) {
    const std::string tbl = std::string(KAVOTBL_CLI_DATA_DIR) + "/households.tbl";
    const Result r = Run({"render", tbl, "-o", Path("f.png"), "--font", "No Such Family 42"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("no font family 'No Such Family 42'; using DejaVu Sans"), std::string::npos) << r.err;
    EXPECT_TRUE(Exists(Path("f.png")));
    const Result known = Run({"render", tbl, "-o", Path("g.png"), "--font", "dejavu serif"});
    EXPECT_EQ(known.status, 0);
    EXPECT_EQ(known.err, "");
}

TEST_F(Rendering, SvgByExtension) {
    const std::string tbl = std::string(KAVOTBL_CLI_DATA_DIR) + "/households.tbl";
    ASSERT_EQ(Run({"render", tbl, "-o", Path("t.svg"), "--width", "500", "--height", "200"}).status, 0);
    const std::string svg = ReadFile(Path("t.svg"));
    EXPECT_EQ(svg.compare(0, 5, "<?xml"), 0);
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("width=\"500"), std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

}  // namespace
