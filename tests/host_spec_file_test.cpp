#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "kavotbl/host/spec_file.h"

using kavo::CKAVOString;
using kavo::CSpecFile;

namespace {

struct Line {
    std::string key;
    std::string value;
    bool operator==(const Line& o) const { return key == o.key && value == o.value; }
};

std::ostream& operator<<(std::ostream& os, const Line& l) { return os << '{' << l.key << '|' << l.value << '}'; }

// Every line a reader returns, until end of file.
std::vector<Line> ReadAll(CSpecFile& f) {
    std::vector<Line> lines;
    CKAVOString key, value;
    while (f.GetLine(key, value) == 0) lines.push_back({key.str(), value.str()});
    return lines;
}

std::vector<Line> ReadText(std::string text) {
    CSpecFile f;
    f.OpenText(std::move(text));
    return ReadAll(f);
}

std::string WriteLines(const std::vector<Line>& lines) {
    CSpecFile f;
    f.OpenTextWrite();
    for (const Line& l : lines) f.PutLine(CKAVOString(l.key), CKAVOString(l.value));
    EXPECT_EQ(f.Close(), 1);
    return f.GetText();
}

class SpecFileDisk : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path() /
                (std::string("kavotbl_specfile_") + info->name() + "_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string PathOf(const char* name) const { return (m_dir / name).string(); }
    static void WriteFile(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::path m_dir;
};

}  // namespace

// ---- Physical form -------------------------------------------------------

TEST(SpecFileForm, KeyLinesHeadingsAndBareKeys) {
    const std::vector<Line> got = ReadText("[Table]\nName=First\n  Size = 3, 4\nBareKey\n");
    const std::vector<Line> want = {{"[Table]", ""}, {"Name", "First"}, {"Size", "3, 4"}, {"BareKey", ""}};
    EXPECT_EQ(got, want);
}

TEST(SpecFileForm, HeadingsComeBackWholeAndTrimmed) {
    const std::vector<Line> got = ReadText("  [Row Group]  \r\n[Weird=Heading]\n");
    const std::vector<Line> want = {{"[Row Group]", ""}, {"[Weird=Heading]", ""}};
    EXPECT_EQ(got, want);
}

TEST(SpecFileForm, BlankLinesAreNeverReturned) {
    const std::vector<Line> got = ReadText("\n   \n\t\r\nA=1\n\n\r\n  \nB=2\n\n");
    const std::vector<Line> want = {{"A", "1"}, {"B", "2"}};
    EXPECT_EQ(got, want);
}

TEST(SpecFileForm, CrlfAcceptedAndLastLineNeedsNoEnd) {
    const std::vector<Line> got = ReadText("A=1\r\nB=two words \r\nC=3");
    const std::vector<Line> want = {{"A", "1"}, {"B", "two words "}, {"C", "3"}};
    EXPECT_EQ(got, want);
}

TEST(SpecFileForm, WriterUsesLfAndTheSimpleForm) {
    CSpecFile f;
    f.OpenTextWrite();
    f.PutLine(CKAVOString("[Table]"));
    f.PutLine(CKAVOString("Name"), CKAVOString("a=b"));
    f.PutLine(CKAVOString(""));
    f.PutLine(CKAVOString("Path"), CKAVOString("C:\\dir\\n"));
    EXPECT_EQ(f.Close(), 1);
    // Ordinary values, backslashes included, are stored as they are.
    EXPECT_EQ(f.GetText(), "[Table]\nName=a=b\n\nPath=C:\\dir\\n\n");
}

// ---- Round trips ---------------------------------------------------------------

TEST(SpecFileRoundTrip, AwkwardValuesReadBackAsWritten) {
    const std::vector<Line> lines = {
        {"Empty", ""},
        {"Equals", "=a=b="},
        {"Trailing", "x  "},
        {"Utf8", "Z\xC3\xBCrich \xE2\x82\xAC"},
        {"Invalid", "\xFF\xFE\x80"},
        {"Backslash", "a\\b\\\\c\\"},
        {"LooksEscaped", "\\n is not a break"},
        {"Nul", std::string("a\0b", 3)},
        {"Text", "Region, Urban, Rural"},
    };
    EXPECT_EQ(ReadText(WriteLines(lines)), lines);
}

TEST(SpecFileRoundTrip, LineBreaksInValues) {
    const std::vector<Line> lines = {
        {"Title", "First line\nSecond line"},
        {"Crlf", "one\r\ntwo"},
        {"Cr", "a\rb"},
        {"Mixed", "back\\slash\nand \\n literal"},
        {"Ends", "\n\ntrailing\n"},
        {"After", "plain"},
    };
    const std::string text = WriteLines(lines);
    // Still one physical line per key line.
    std::size_t newlines = 0;
    for (char c : text) newlines += c == '\n';
    EXPECT_EQ(newlines, lines.size());
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(ReadText(text), lines);
}

TEST(SpecFileRoundTrip, LeadingBlanksOfValuesAreDropped) {
    // An indented row text must not grow at every save and reload.
    std::vector<Line> lines = {{"Text", "    Urban"}};
    for (int round = 0; round < 3; ++round) {
        lines = ReadText(WriteLines(lines));
        lines[0].value = "    " + lines[0].value;
    }
    EXPECT_EQ(ReadText(WriteLines(lines)), (std::vector<Line>{{"Text", "Urban"}}));
    EXPECT_EQ(ReadText(WriteLines({{"Text", "  a\nb"}})), (std::vector<Line>{{"Text", "a\nb"}}));
}

TEST(SpecFileRoundTrip, KeysLoseSurroundingBlanksAndLinesStayWhole) {
    CSpecFile f;
    f.OpenTextWrite();
    f.PutLine(CKAVOString("  Key "), CKAVOString("v"));
    f.PutLine(CKAVOString("Bro\nken"), CKAVOString("v"));
    f.PutLine(CKAVOString("[Head\ning]"));
    f.Close();
    const std::vector<Line> want = {{"Key", "v"}, {"Bro ken", "v"}, {"[Head ing]", ""}};
    EXPECT_EQ(ReadText(f.GetText()), want);
}

// ---- Navigation ----------------------------------------------------------

TEST(SpecFileNavigation, UngetLineReturnsTheSameLineOnce) {
    CSpecFile f;
    f.OpenText("A=1\nB=2\n");
    CKAVOString k, v;
    ASSERT_EQ(f.GetLine(k, v), 0);
    f.UngetLine();
    f.UngetLine();  // one level only
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(k, "A");
    EXPECT_EQ(v, "1");
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(k, "B");
    EXPECT_NE(f.GetLine(k, v), 0);
}

TEST(SpecFileNavigation, UngetAfterLookingAhead) {
    CSpecFile f;
    f.OpenText("A=1\n\nB=2\n");
    CKAVOString k, v;
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_FALSE(f.IsEOF());  // reads B ahead
    f.UngetLine();
    EXPECT_FALSE(f.IsEOF());
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(k, "A");
    EXPECT_EQ(f.GetLineNumber(), 1);
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(k, "B");
    EXPECT_EQ(f.GetLineNumber(), 3);
    EXPECT_TRUE(f.IsEOF());
}

TEST(SpecFileNavigation, SkipSectionStopsAtTheNextHeading) {
    CSpecFile f;
    f.OpenText("[Bogus]\nX=1\nY=2\n\n[Table]\nName=t\n");
    CKAVOString k, v;
    ASSERT_EQ(f.GetLine(k, v), 0);
    ASSERT_EQ(k, "[Bogus]");
    f.SkipSection();
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(k, "[Table]");
    EXPECT_EQ(f.GetLineNumber(), 5);
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(k, "Name");
}

TEST(SpecFileNavigation, SkipSectionToTheEnd) {
    CSpecFile f;
    f.OpenText("[Bogus]\nX=1\nY=2\n");
    CKAVOString k, v;
    ASSERT_EQ(f.GetLine(k, v), 0);
    f.SkipSection();
    EXPECT_TRUE(f.IsEOF());
    EXPECT_NE(f.GetLine(k, v), 0);
}

TEST(SpecFileNavigation, LineNumbersCountBlankLines) {
    CSpecFile f;
    f.OpenText("\nA=1\r\n\r\n  \nB=2\n[H]\n");
    CKAVOString k, v;
    std::vector<int> numbers;
    while (f.GetLine(k, v) == 0) numbers.push_back(f.GetLineNumber());
    EXPECT_EQ(numbers, (std::vector<int>{2, 5, 6}));
}

TEST(SpecFileNavigation, IsEofLooksPastTrailingBlankLines) {
    CSpecFile f;
    f.OpenText("A=1\n\n   \n\r\n");
    CKAVOString k, v;
    EXPECT_FALSE(f.IsEOF());
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(f.GetLineNumber(), 1);  // looking ahead does not move the line number
    EXPECT_TRUE(f.IsEOF());
    EXPECT_EQ(f.GetLineNumber(), 1);
    EXPECT_NE(f.GetLine(k, v), 0);
    CSpecFile empty;
    empty.OpenText("");
    EXPECT_TRUE(empty.IsEOF());
}

TEST(SpecFileNavigation, PositionCountsBytesConsumed) {
    CSpecFile f;
    f.OpenText("A=1\r\n\nBB=22\nC");
    CKAVOString k, v;
    EXPECT_EQ(f.GetPosition(), 0u);
    f.GetLine(k, v);
    EXPECT_EQ(f.GetPosition(), 5u);  // "A=1\r\n"
    EXPECT_FALSE(f.IsEOF());
    EXPECT_EQ(f.GetPosition(), 5u);  // looking ahead consumes nothing
    f.GetLine(k, v);
    EXPECT_EQ(f.GetPosition(), 5u + 1u + 6u);
    f.GetLine(k, v);
    EXPECT_EQ(f.GetPosition(), 13u);
}

TEST(SpecFileNavigation, ReadingAWriterOrClosedFileGivesNothing) {
    CSpecFile f;
    CKAVOString k("old"), v("old");
    EXPECT_NE(f.GetLine(k, v), 0);
    EXPECT_TRUE(f.IsEOF());
    f.OpenTextWrite();
    EXPECT_NE(f.GetLine(k, v), 0);
    EXPECT_TRUE(k.IsEmpty());
}

// ---- Robustness --------------------------------------------------------------

TEST(SpecFileRobustness, BinaryGarbageAndHugeLines) {
    std::string big(3 * 1024 * 1024, 'x');
    std::string text = "K=" + big + "\n";
    text += std::string("\0\0=\0\n", 5);
    text += "\xFF\xFE[\x80\n";
    CSpecFile f;
    f.OpenText(text);
    CKAVOString k, v;
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(v.GetLength(), static_cast<int>(big.size()));
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(k.str(), std::string("\0\0", 2));
    EXPECT_EQ(v.str(), std::string("\0", 1));
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(k.str(), "\xFF\xFE[\x80");
    EXPECT_NE(f.GetLine(k, v), 0);
}

TEST(SpecFileRobustness, UnknownEscapesInAMarkedValueStayLiteral) {
    // Hand-written marked value: "\q" is no escape, a lone final "\" stays.
    const std::vector<Line> got = ReadText("K= \\a\\qb\\\\c\\nd\\\n");
    EXPECT_EQ(got, (std::vector<Line>{{"K", "a\\qb\\c\nd\\"}}));
}

// ---- Files on disk -------------------------------------------------------

TEST_F(SpecFileDisk, WriteThenReadBack) {
    const std::string path = PathOf("t.tbl");
    CSpecFile w;
    ASSERT_EQ(w.Open(path.c_str(), CSpecFile::modeWrite), 1);
    w.PutLine(CKAVOString("[Table]"));
    w.PutLine(CKAVOString("Title"), CKAVOString("Two\nlines"));
    w.PutLine(CKAVOString("Data"), CKAVOString("1, 2, 3"));
    EXPECT_EQ(w.Close(), 1);
    EXPECT_TRUE(w.GetText().empty());

    CSpecFile r;
    ASSERT_EQ(r.Open(path.c_str(), CSpecFile::modeRead), 1);
    const std::vector<Line> want = {{"[Table]", ""}, {"Title", "Two\nlines"}, {"Data", "1, 2, 3"}};
    EXPECT_EQ(ReadAll(r), want);
    EXPECT_EQ(r.GetPosition(), ReadFile(path).size());
    EXPECT_EQ(r.Close(), 1);
}

TEST_F(SpecFileDisk, LinesAcrossTheReadBufferSurvive) {
    // Many lines of varying length, some longer than any read buffer, so that
    // lines straddle refills, also while a line is held for UngetLine.
    std::string text;
    std::vector<Line> want;
    for (int i = 0; i < 20000; ++i) {
        std::string value(static_cast<std::size_t>((i * 37) % 200), static_cast<char>('a' + i % 26));
        if (i % 5000 == 0) value.assign(600 * 1024, 'L');
        text += "Key" + std::to_string(i) + "=" + value + (i % 3 ? "\n" : "\r\n");
        want.push_back({"Key" + std::to_string(i), value});
    }
    const std::string path = PathOf("big.tbl");
    WriteFile(path, text);
    CSpecFile r;
    ASSERT_EQ(r.Open(path.c_str(), CSpecFile::modeRead), 1);
    std::vector<Line> got;
    CKAVOString k, v;
    while (r.GetLine(k, v) == 0) {
        // Exercise the look-ahead and the pushed-back line at every step.
        r.IsEOF();
        r.UngetLine();
        ASSERT_EQ(r.GetLine(k, v), 0);
        got.push_back({k.str(), v.str()});
        EXPECT_EQ(r.GetLineNumber(), static_cast<int>(got.size()));
    }
    ASSERT_EQ(got.size(), want.size());
    EXPECT_TRUE(got == want);
    EXPECT_EQ(r.GetPosition(), text.size());
}

TEST_F(SpecFileDisk, UnopenablePathsFailCleanly) {
    CSpecFile f;
    EXPECT_EQ(f.Open(PathOf("missing/none.tbl").c_str(), CSpecFile::modeRead), 0);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(f.Open(PathOf("missing/none.tbl").c_str(), CSpecFile::modeWrite), 0);
    EXPECT_EQ(f.Open(m_dir.string().c_str(), CSpecFile::modeRead), 0);
    EXPECT_EQ(f.Open(nullptr, CSpecFile::modeRead), 0);
    EXPECT_EQ(f.Open("", CSpecFile::modeRead), 0);
    CKAVOString k, v;
    EXPECT_NE(f.GetLine(k, v), 0);
    f.PutLine(CKAVOString("K"), CKAVOString("V"));  // ignored, no crash
}

TEST_F(SpecFileDisk, CloseReportsAFailedWrite) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    CSpecFile f;
    ASSERT_EQ(f.Open("/dev/full", CSpecFile::modeWrite), 1);
    f.PutLine(CKAVOString("Key"), CKAVOString("Value"));
    EXPECT_EQ(f.Close(), 0);
    EXPECT_TRUE(f.HasWriteError());
}

TEST_F(SpecFileDisk, ReopeningStartsAfresh) {
    const std::string a = PathOf("a.tbl");
    const std::string b = PathOf("b.tbl");
    WriteFile(a, "A=1\nA=2\n");
    WriteFile(b, "B=1\n");
    CSpecFile f;
    ASSERT_EQ(f.Open(a.c_str(), CSpecFile::modeRead), 1);
    CKAVOString k, v;
    f.GetLine(k, v);
    EXPECT_FALSE(f.IsEOF());
    ASSERT_EQ(f.Open(b.c_str(), CSpecFile::modeRead), 1);
    EXPECT_EQ(ReadAll(f), (std::vector<Line>{{"B", "1"}}));
    EXPECT_EQ(f.GetLineNumber(), 1);
}
