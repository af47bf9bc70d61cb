// The kavotbl program as a user runs it: PDFs checked with poppler's
// pdfinfo and pdftotext, images against a reference, and bad input.
#include <gtest/gtest.h>

#include <cairo.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadFile(const std::string& path) {
    std::stringstream ss;
    ss << std::ifstream(path, std::ios::binary).rdbuf();
    return ss.str();
}

const std::string kExample = std::string(KAVOTBL_CLI_DATA_DIR) + "/households.tbl";

struct Result { int status = -1; std::string out, err; };

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kavotbl-cli-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Runs a command line in the scratch folder with standard output and
    // error captured and standard input from a file.
    Result Shell(const std::string& command, const std::string& input = "/dev/null") {
        const std::string out = dir + "/.stdout", err = dir + "/.stderr";
        const std::string redirected =
            "cd " + Quote(dir) + " && " + command + " >" + Quote(out) + " 2>" + Quote(err) + " <" + Quote(input);
        const int rc = std::system(redirected.c_str());
        Result r{WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, ReadFile(out), ReadFile(err)};
        std::remove(out.c_str());
        std::remove(err.c_str());
        return r;
    }
    static std::string Command(const std::vector<std::string>& args) {
        std::string command = Quote(KAVOTBL_PROGRAM);
        for (const std::string& a : args) command += " " + Quote(a);
        return command;
    }
    Result Run(const std::vector<std::string>& args, const std::string& input = "/dev/null") {
        return Shell(Command(args), input);
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
    void Write(const std::string& name, const std::string& text) { std::ofstream(Path(name)) << text; }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Text of one PDF page (from 1) as pdftotext extracts it.
    std::string PageText(const std::string& pdf, int nPage) {
        const std::string n = std::to_string(nPage);
        const Result r = Shell("pdftotext -f " + n + " -l " + n + " " + Quote(pdf) + " -");
        EXPECT_EQ(r.status, 0) << "pdftotext (poppler-utils) is needed: " << r.err;
        return r.out;
    }
    std::string Info(const std::string& pdf, const std::string& key) {
        const Result r = Shell("pdfinfo " + Quote(pdf));
        EXPECT_EQ(r.status, 0) << "pdfinfo (poppler-utils) is needed: " << r.err;
        const std::size_t at = r.out.find(key + ":");
        if (at == std::string::npos) return std::string();
        const std::size_t from = r.out.find_first_not_of(' ', at + key.size() + 1);
        return r.out.substr(std::min(from, r.out.size()), r.out.find('\n', from) - from);
    }
    std::string dir;
};

// ---------------------------------------------------------------- bad input

TEST_F(Program, BadInputFailsInOneLineAndLeavesTheFilesAlone) {
    Write("bad.tbl", "[Table]\nSize=1, 2\n[Column]\nText=A\n[Column]\nText=B\n[Row]\nText=r\nData=12, x\n");
    Write("notes.txt", "Dear reader,\nthis is a letter, not a table.\n\x01\x02\xff\n");
    Write("out.pdf", "previous contents");
    mkdir(Path("dir.png").c_str(), 0755);
    // before: a message of the library on an earlier line of standard error.
    struct Case { std::vector<std::string> args; int status; std::string reason, before; } cases[] = {
        {{"print", Path("absent.tbl"), "-o", Path("out.pdf")}, 1, "cannot open", ""},
        {{"print", Path("bad.tbl"), "-o", Path("out.pdf")}, 1, "cannot be read", Path("bad.tbl") + ":9: "},
        {{"render", Path("notes.txt"), "-o", Path("out.png")}, 1, "holds no table", ""},
        {{"print", kExample, "--bogus", "-o", Path("o.pdf")}, 2, "unknown option --bogus", ""},
        {{"print", kExample, "--landscape=yes"}, 2, "takes no value", ""},
        {{"print", kExample, "-o"}, 2, "needs a value", ""},
        {{"frobnicate"}, 2, "unknown command 'frobnicate'", ""},
        {{"print", kExample, "-o", Path("no/such/folder/out.pdf")}, 1, "cannot write", ""},
        {{"render", kExample, "-o", dir}, 2, "image type", ""},  // a folder, and no image type
        {{"render", kExample, "-o", Path("dir.png")}, 1, "cannot write", ""},
        {{"print", kExample, "-o", Path("a.pdf"), "--table", "2"}, 1, "no table 2", ""},
        {{"print", kExample, "-o", Path("a.pdf"), "--paper", "b5"}, 2, "unknown paper", ""},
        {{"print", kExample, "-o", Path("a.pdf"), "--margin", "5in"}, 2, "margins", ""},
        // The example has 6 data rows and 4 data columns.
        {{"render", kExample, "-o", Path("a.png"), "--select", "0-6:0-1"}, 2, "outside", ""},
        {{"render", kExample, "-o", Path("a.png"), "--select", "3"}, 2, "ROWS:COLS", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + ": " + c.reason);
        const Result r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        ASSERT_GT(r.err.size(), 1u);
        const std::string last = r.err.substr(r.err.rfind('\n', r.err.size() - 2) + 1);  // npos + 1 is 0
        EXPECT_EQ(last.rfind("kavotbl", 0), 0u) << last;
        EXPECT_NE(last.find(c.reason), std::string::npos) << last;
        // One line, or the library's message before it.
        EXPECT_TRUE(c.before.empty() ? last == r.err : r.err.find(c.before) != std::string::npos) << r.err;
    }
    // The program's version; a command's help on standard output.
    const Result version = Run({"--version"}), help = Run({"save", "--help"});
    EXPECT_EQ(version.status + help.status, 0);
    EXPECT_EQ(version.out, std::string("kavotbl ") + KAVOTBL_VERSION + "\n");
    EXPECT_EQ(help.out.rfind("usage: kavotbl save FILE -o OUT.tbl", 0), 0u) << help.out;
    // No output appeared, none was half written, and the old one is intact.
    EXPECT_EQ(Files(), (std::vector<std::string>{"bad.tbl", "dir.png", "notes.txt", "out.pdf"}));
    EXPECT_EQ(ReadFile(Path("out.pdf")), "previous contents");
}

// ---------------------------------------------------------------- outputs

bool IsKind(const std::string& path, mode_t kind) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

TEST_F(Program, OutputsGoWhereUnixToolsSendThem) {
    // "-" is standard output for every command that writes, and standard input for the table file.
    const Result saved = Run({"save", kExample, "-o", "-"});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out.rfind("[Style]", 0), 0u) << saved.out.substr(0, 40);
    EXPECT_EQ(Run({"save", "-", "-o", "-"}, kExample).out, saved.out);
    const struct { std::vector<std::string> args; std::string start; } streams[] = {
        {{"print", kExample, "--output=-"}, "%PDF-"},
        {{"render", kExample, "-o", "-"}, "\x89PNG"},
        {{"render", kExample, "-o", "-", "--format", "svg"}, "<?xml"},
        {{"rtf", kExample, "-o-"}, "{\\rtf1"},
        {{"export", kExample, "-o", "-", "--format", "xlsx"}, "PK\x03\x04"},
    };
    for (const auto& c : streams) {
        const Result r = Run(c.args);
        EXPECT_EQ(r.status, 0) << c.args[0] << ": " << r.err;
        EXPECT_EQ(r.out.substr(0, c.start.size()), c.start) << c.args[0];
    }
    EXPECT_TRUE(Files().empty()) << Files().front();  // no file named "-"

    // A link is written through to its target, which keeps its permissions; a
    // link to a file not there yet makes it.
    Write("real.pdf", "old");
    chmod(Path("real.pdf").c_str(), 0640);
    ASSERT_EQ(symlink("real.pdf", Path("link.pdf").c_str()) + symlink("made.csv", Path("dangling.csv").c_str()), 0);
    EXPECT_EQ(Run({"print", kExample, "-o", Path("link.pdf")}).status, 0);
    EXPECT_EQ(Run({"export", kExample, "-o", Path("dangling.csv")}).status, 0);
    EXPECT_TRUE(IsKind(Path("link.pdf"), S_IFLNK) && IsKind(Path("dangling.csv"), S_IFLNK));
    EXPECT_EQ(ReadFile(Path("real.pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(ReadFile(Path("made.csv")).rfind("Household size,", 0), 0u);
    struct stat st;
    ASSERT_EQ(stat(Path("real.pdf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A FIFO is written in place, never renamed over: by the program's own
    // writers (PNG, table file) and by the export module (CSV).
    const struct { std::string command, fifo, start; } fifos[] = {
        {"render", "pipe.png", "\x89PNG"}, {"save", "pipe.tbl", "[Style]"}, {"export", "pipe.csv", "Household size,"}};
    for (const auto& c : fifos) {
        ASSERT_EQ(mkfifo(Path(c.fifo).c_str(), 0600), 0);
        // The reader gives up after a while, should the program never open the FIFO.
        const Result r = Shell("{ timeout 30 cat " + c.fifo + " >got & " + Command({c.command, kExample, "-o", c.fifo}) +
                               "; s=$?; wait; exit $s; }");
        EXPECT_EQ(r.status, 0) << c.command << ": " << r.err;
        EXPECT_TRUE(IsKind(Path(c.fifo), S_IFIFO)) << c.fifo;
        EXPECT_EQ(ReadFile(Path("got")).substr(0, c.start.size()), c.start) << c.fifo;
    }
    // Nothing was left behind under a temporary name.
    EXPECT_EQ(Files(), (std::vector<std::string>{"dangling.csv", "got", "link.pdf", "made.csv", "pipe.csv",
                                                 "pipe.png", "pipe.tbl", "real.pdf"}));
}

// ---------------------------------------------------------------- printing

// A table too wide and too long for one page: 24 data columns under two
// spanners and 60 data rows under three captions. Cell (r, c) holds
// 1000 + 24r + c, so every value is a distinct word "d,ddd". The title has
// letters of old files (0xE9 é, 0x80 €) that must reach the PDF as Unicode.
constexpr int kCols = 24, kHalf = kCols / 2, kRows = 60;

int CellValue(int r, int c) { return 1000 + kCols * r + c; }

// "Col07", "Area42": two digits, so that every caption is one word of its own length.
std::string Caption(const char* prefix, int n) {
    return prefix + std::string(n < 10 ? "0" : "") + std::to_string(n);
}

std::string BigTable() {
    std::string t = "[Table]\nSize=60, 24\n[Title]\nText=Table 9. Caf\xE9s at \x80 5, wide and long\n"
                    "[Heading]\nText=Survey of everything\n[Footing]\nText=Note: invented figures\n"
                    "[StubHead]\nText=Place\n[ColumnGroup]\nText=Urban\n";
    for (int c = 0; c < kCols; ++c) {
        if (c == kHalf) t += "[EndGroup]\n[ColumnGroup]\nText=Rural\n";
        t += "[Column]\nText=" + Caption("Col", c) + "\n";
    }
    t += "[EndGroup]\n";
    for (int r = 0; r < kRows; ++r) {
        if (r % 20 == 0) t += (r ? "\n[EndGroup]\n" : "") + ("[RowGroup]\nText=" + Caption("Region", r / 20));
        t += "\n[Row]\nText=" + Caption("Area", r) + "\nData=";
        for (int c = 0; c < kCols; ++c) t += (c ? ", " : "") + std::to_string(CellValue(r, c));
    }
    return t + "\n[EndGroup]\n";
}

TEST_F(Program, PrintedPagesFollowTheLayoutsColumnAndRowPages) {
    Write("big.tbl", BigTable());
    ASSERT_EQ(Run({"print", Path("big.tbl"), "-o", Path("big.pdf")}).status, 0);
    const int nPages = std::atoi(Info(Path("big.pdf"), "Pages").c_str());
    ASSERT_GT(nPages, 1);

    // Which columns, rows and values each page shows, read back from its text.
    std::vector<std::set<int>> cols(nPages), rows(nPages), values(nPages);
    std::vector<std::string> texts;
    for (int p = 0; p < nPages; ++p) {
        texts.push_back(PageText(Path("big.pdf"), p + 1));
        std::istringstream words(texts.back());
        for (std::string tok; words >> tok;) {
            if (tok.size() == 5 && tok.compare(0, 3, "Col") == 0) cols[p].insert(std::atoi(tok.c_str() + 3));
            if (tok.size() == 6 && tok.compare(0, 4, "Area") == 0) rows[p].insert(std::atoi(tok.c_str() + 4));
            // A value "d,ddd" without its comma.
            const std::string digits = tok.size() == 5 && tok[1] == ',' ? tok.erase(1, 1) : "";
            if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos)
                values[p].insert(std::stoi(digits));
        }
    }
    // Column pages repeat for every row page: page = rowPage × H + colPage.
    int nHorz = 1;
    while (nHorz < nPages && cols[nHorz] != cols[0]) ++nHorz;
    ASSERT_EQ(nPages % nHorz, 0) << "pages do not form a grid of column and row pages";

    // The column pages together hold every column once, the row pages every row.
    EXPECT_TRUE(*cols[0].begin() == 0 && *cols[nHorz - 1].rbegin() == kCols - 1);
    EXPECT_TRUE(*rows[0].begin() == 0 && *rows[nPages - 1].rbegin() == kRows - 1);
    for (int p = 0; p < nPages; ++p) {
        const std::set<int>&pc = cols[p], &pr = rows[p];
        ASSERT_TRUE(pc == cols[p % nHorz] && pr == rows[p - p % nHorz] && !pc.empty() && !pr.empty())
            << "page " << p + 1;
        // Contiguous runs, in order: the columns of this page, the rows of its row page.
        EXPECT_TRUE(*pc.rbegin() - *pc.begin() + 1 == static_cast<int>(pc.size()) &&
                    *pr.rbegin() - *pr.begin() + 1 == static_cast<int>(pr.size())) << "page " << p + 1;
        EXPECT_TRUE(p % nHorz == 0 || *pc.begin() == *cols[p - 1].rbegin() + 1) << "page " << p + 1;
        EXPECT_TRUE(p < nHorz || *pr.begin() == *rows[p - nHorz].rbegin() + 1) << "page " << p + 1;
        // The title, stub head, heading, footing and page number on every page,
        // every spanner with a column on the page, and exactly the cells where
        // its rows and columns cross.
        const std::string& text = texts[p];
        for (const std::string& s : {std::string("Table 9. Caf\xC3\xA9s at \xE2\x82\xAC 5, wide and long"),
                                     std::string("Place"), std::string("Survey of everything"),
                                     std::string("Note: invented figures"),
                                     "Page " + std::to_string(p + 1) + " of " + std::to_string(nPages)})
            EXPECT_NE(text.find(s), std::string::npos) << s << " on page " << p + 1;
        EXPECT_EQ(text.find("Urban") != std::string::npos, *pc.begin() < kHalf);
        EXPECT_EQ(text.find("Rural") != std::string::npos, *pc.rbegin() >= kHalf);
        std::set<int> expected;
        for (int r : pr)
            for (int c : pc) expected.insert(CellValue(r, c));
        EXPECT_EQ(values[p], expected);
        // The publishing defaults: a page that starts inside a group names it
        // as continued, and every caption a page starts has its rows there.
        const int nFirst = *pr.begin();
        const std::string continued = Caption("Region", nFirst / 20) + " (continued)";
        EXPECT_EQ(text.find(continued) != std::string::npos, nFirst % 20 != 0) << continued << " on page " << p + 1;
        for (int g = 0; g < kRows / 20; ++g)
            if (text.find(Caption("Region", g) + "\n") != std::string::npos) {
                EXPECT_EQ(pr.count(20 * g), 1u) << "Region" << g << " without its first row on page " << p + 1;
            }
    }

    // Down first, numbered from 3, the footing once: the same sheets in the
    // order of the row pages of each column page, the footing on the last only.
    ASSERT_EQ(Run({"print", Path("big.tbl"), "-o", Path("down.pdf"), "--page-order", "down", "--first-page", "3",
                   "--footing", "once"})
                  .status,
              0);
    const int R = nPages / nHorz;
    for (int k = 0; k < nPages; ++k) {
        const std::string text = PageText(Path("down.pdf"), k + 1);
        const int p = (k % R) * nHorz + k / R;
        EXPECT_NE(text.find("Page " + std::to_string(k + 3) + " of " + std::to_string(nPages + 2)),
                  std::string::npos) << "sheet " << k + 1;
        EXPECT_EQ(text.find("Note: invented figures") != std::string::npos, k == nPages - 1) << "sheet " << k + 1;
        std::set<int> c, r;
        std::istringstream words(text);
        for (std::string tok; words >> tok;) {
            if (tok.size() == 5 && tok.compare(0, 3, "Col") == 0) c.insert(std::atoi(tok.c_str() + 3));
            if (tok.size() == 6 && tok.compare(0, 4, "Area") == 0) r.insert(std::atoi(tok.c_str() + 4));
        }
        EXPECT_TRUE(c == cols[p] && r == rows[p]) << "sheet " << k + 1 << " is not page " << p + 1;
    }
}

TEST_F(Program, PaperSizeOrientationAndOneTableAPage) {
    // Each table of a file starts a page of its own; --table picks one.
    Write("two.tbl",
          "[Table]\nSize=1, 1\n[Title]\nText=First table\n[Column]\nText=A\n[Row]\nText=r\nData=5\n"
          "[Table]\nSize=1, 1\n[Title]\nText=Second table\n[Column]\nText=B\n[Row]\nText=s\nData=6\n");
    const std::string two = Path("two.tbl");
    ASSERT_EQ(Run({"print", two, "-o", Path("two.pdf"), "--paper", "a4", "--landscape"}).status, 0);
    ASSERT_EQ(Run({"print", two, "-o", Path("one.pdf"), "--paper", "legal", "--table", "2"}).status, 0);
    EXPECT_EQ(Info(Path("two.pdf"), "Pages") + Info(Path("one.pdf"), "Pages"), "21");
    // Numbered per table, each table counts from its own first page.
    ASSERT_EQ(Run({"print", two, "-o", Path("each.pdf"), "--page-numbers", "table"}).status, 0);
    EXPECT_NE(PageText(Path("each.pdf"), 2).find("Page 1 of 1"), std::string::npos);
    // 297 by 210 mm, and 8.5 by 14 in, in points.
    const std::string a4 = Info(Path("two.pdf"), "Page size"), legal = Info(Path("one.pdf"), "Page size");
    EXPECT_EQ(a4.substr(0, 17) + legal.substr(0, 11), "841.89 x 595.276 612 x 1008 ");
    EXPECT_EQ(PageText(Path("two.pdf"), 1).find("Second table"), std::string::npos);
    EXPECT_NE(PageText(Path("one.pdf"), 1).find("Second table"), std::string::npos);
}

// ---------------------------------------------------------------- images

using Image = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

Image ReadPng(const std::string& path) {
    return Image(cairo_image_surface_create_from_png(path.c_str()), cairo_surface_destroy);
}

// The reference shows tests/cli/households.tbl in a 640 × 300 window with
// rows 1-2 and columns 0-1 selected. Set KAVOTBL_UPDATE_REFERENCE=1 to
// write a new one on purpose (see tests/data/reference/README.md).
TEST_F(Program, RenderingMatchesTheReferenceScrollsTheBodyOnlyAndWritesSvg) {
    const std::string reference = std::string(KAVOTBL_REFERENCE_DIR) + "/households.png";
    const std::string png = std::getenv("KAVOTBL_UPDATE_REFERENCE") ? reference : Path("households.png");
    const std::vector<std::string> size = {"--width", "640", "--height", "300"};
    auto render = [&](const std::string& out, std::vector<std::string> more) {
        more.insert(more.begin(), {"render", kExample, "-o", out});
        more.insert(more.end(), size.begin(), size.end());
        const Result r = Run(more);
        EXPECT_EQ(r.status, 0) << r.err;
        return ReadPng(out);
    };
    const Image got = render(png, {"--select", "1-2:0-1"});
    if (png == reference) GTEST_SKIP() << "reference image rewritten: " << reference;
    const Image want = ReadPng(reference);
    ASSERT_EQ(cairo_surface_status(got.get()), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_surface_status(want.get()), CAIRO_STATUS_SUCCESS) << "missing reference " << reference;
    const int w = cairo_image_surface_get_width(got.get()), h = cairo_image_surface_get_height(got.get());
    ASSERT_EQ(w, cairo_image_surface_get_width(want.get()));
    ASSERT_EQ(h, cairo_image_surface_get_height(want.get()));
    // Font versions may move antialiasing a little; the table must not move.
    const unsigned char* a = cairo_image_surface_get_data(got.get());
    const unsigned char* b = cairo_image_surface_get_data(want.get());
    const int stride = cairo_image_surface_get_stride(got.get());
    long long nOff = 0, nSum = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * stride + x * 4);  // blue, green, red
            const int d = std::max({std::abs(a[i] - b[i]), std::abs(a[i + 1] - b[i + 1]),
                                    std::abs(a[i + 2] - b[i + 2])});
            nSum += d;
            nOff += d > 64;
        }
    EXPECT_LT(nOff / (double(w) * h), 0.005) << nOff << " pixels differ clearly";
    EXPECT_LT(nSum / (double(w) * h), 1.5);

    // Scrolled down by 40: the title (the top 20 rows, above the heading's rule) stays, the body moves.
    const Image still = render(Path("still.png"), {});
    const Image moved = render(Path("moved.png"), {"--scroll", "0,40"});
    ASSERT_EQ(cairo_surface_status(still.get()) + cairo_surface_status(moved.get()), CAIRO_STATUS_SUCCESS);
    const unsigned char *s0 = cairo_image_surface_get_data(still.get());
    const unsigned char *s1 = cairo_image_surface_get_data(moved.get());
    const std::size_t nTop = 20 * stride, nAll = static_cast<std::size_t>(h) * stride;
    EXPECT_TRUE(std::equal(s0, s0 + nTop, s1));
    EXPECT_FALSE(std::equal(s0 + nTop, s0 + nAll, s1 + nTop));

    // An SVG document, whole.
    ASSERT_EQ(Run({"render", kExample, "-o", Path("t.svg")}).status, 0);
    const std::string svg = ReadFile(Path("t.svg"));
    EXPECT_TRUE(svg.rfind("<?xml", 0) == 0 && svg.find("<svg") != std::string::npos) << svg.substr(0, 80);
    EXPECT_EQ(svg.substr(svg.find_last_not_of(" \n") - 5, 6), "</svg>");
}

}  // namespace
