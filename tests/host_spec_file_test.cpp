// The line reader and writer of table files.
#include "host_test_support.h"

using kavo::CKAVOString;
using kavo::CSpecFile;
using namespace kavo_test;

// The key lines, then a whole line if one is given.
static std::string WriteLines(const Lines& lines, const char* pszLine = nullptr) {
    CSpecFile f;
    f.OpenTextWrite();
    for (const Line& l : lines) f.PutLine(CKAVOString(l.first), CKAVOString(l.second));
    if (pszLine) f.PutLine(CKAVOString(pszLine));
    EXPECT_EQ(f.Close(), 1);
    return f.GetText();
}

struct TempFile {  // under the temporary directory, removed at the end of the test
    std::string path;
    explicit TempFile(const char* name, const std::string& bytes = "")
        : path(std::filesystem::temp_directory_path() / ("kavotbl_" + std::to_string(::getpid()) + name)) {
        std::ofstream(path, std::ios::binary) << bytes; }
    ~TempFile() { std::remove(path.c_str()); }
};


TEST(SpecFileForm, LinesReadAsKeysValuesAndHeadingsAwkwardValuesRoundTrip) {
    const std::pair<const char*, Lines> cases[] = {
        {"[Table]\nName=First\n  Size = 3, 4\nBareKey\n",
         {{"[Table]", ""}, {"Name", "First"}, {"Size", "3, 4"}, {"BareKey", ""}}},
        {"  [Row Group]  \r\n[Weird=Heading]\n", {{"[Row Group]", ""}, {"[Weird=Heading]", ""}}},
        {"\n   \n\t\r\nA=1\n\n\r\n  \nB=2\n\n", {{"A", "1"}, {"B", "2"}}},  // blank lines never come back
        {"A=1\r\nB=two words \r\nC=3", {{"A", "1"}, {"B", "two words "}, {"C", "3"}}},
        // A hand-written marked value: "\q" is no escape and a lone final "\" stays.
        {"K= \\a\\qb\\\\c\\nd\\\n", {{"K", "a\\qb\\c\nd\\"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadLines(c.first), c.second) << c.first;
    const Lines garbage = {{std::string("\0\0", 2), std::string("\0", 1)}, {"\xFF\xFE[\x80", ""}};
    EXPECT_EQ(ReadLines(std::string("\0\0=\0\n", 5) + "\xFF\xFE[\x80\n"), garbage);
    // Awkward values read back as written.
    const Lines lines = {
        {"Empty", ""}, {"Equals", "=a=b="}, {"Trailing", "x  "}, {"Utf8", "Z\xC3\xBCrich \xE2\x82\xAC"},
        {"Invalid", "\xFF\xFE\x80"}, {"Backslash", "a\\b\\\\c\\"}, {"LooksEscaped", "\\n is not a break"},
        {"Nul", std::string("a\0b", 3)}, {"Text", "Region, Urban, Rural"}, {"Cr", "a\rb"},
        {"Title", "First line\nSecond line"}, {"Crlf", "one\r\ntwo"}, {"Ends", "\n\ntrailing\n"},
        {"Mixed", "back\\slash\nand \\n literal"},
    };
    const std::string text = WriteLines(lines);
    // Still one physical line per key line, and no CR of the values in the file.
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), lines.size());
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(ReadLines(text), lines);
    // Ordinary values, backslashes included, are written as they are.
    EXPECT_EQ(WriteLines({{"Name", "a=b"}, {"Path", "C:\\dir\\n"}}), "Name=a=b\nPath=C:\\dir\\n\n");
    // Leading blanks of values survive as escapes (blanks in the file are
    // dropped); line breaks in keys and headings do not.
    EXPECT_EQ(ReadLines(WriteLines({{"  Key ", "  a\nb"}, {"Bro\nken", " \tv"}}, "[Head\ning]")),
              (Lines{{"Key", "  a\nb"}, {"Bro ken", " \tv"}, {"[Head ing]", ""}}));
    EXPECT_EQ(WriteLines({{"ThousandSep", " "}}), "ThousandSep= \\\\s\n");
    EXPECT_EQ(ReadLines("A=  v\nB= \\  \\s\\n\n"), (Lines{{"A", "v"}, {"B", " \n"}}));
}

TEST(SpecFileNavigation, UngetLookAheadLineNumbersAndPositions) {
    CSpecFile f;
    f.OpenText("\nA=1\r\n\r\n  \nBB=22\n[H]\n\n \r\n");
    CKAVOString k, v;
    std::vector<std::string> steps;  // key@line/position after each line read
    auto step = [&] {
        steps.push_back(k.str() + "@" + std::to_string(f.GetLineNumber()) + "/" +
                        std::to_string(f.GetPosition()));
    };
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_FALSE(f.IsEOF());  // reads BB ahead, which moves neither line number nor position
    step();
    f.UngetLine(), f.UngetLine();  // one level only
    while (!f.IsEOF()) {  // trailing blank lines are no line
        ASSERT_EQ(f.GetLine(k, v), 0);
        step();
    }
    // "\n" 1 + "A=1\r\n" 5 = 6; + "\r\n" 2 + "  \n" 3 + "BB=22\n" 6 = 17; + "[H]\n" 4 = 21.
    EXPECT_EQ(steps, (std::vector<std::string>{"A@2/6", "A@2/6", "BB@5/17", "[H]@6/21"}));
}

TEST(SpecFileDisk, LinesAcrossTheReadBufferWritingReopeningAndFailures) {
    // Lines of varying length, some longer than any read buffer, so that
    // lines straddle refills, also while a line is held for UngetLine.
    std::string text;
    Lines want;
    for (int i = 0; i < 20000; ++i) {
        std::string value(static_cast<std::size_t>((i * 37) % 200), static_cast<char>('a' + i % 26));
        if (i % 5000 == 0) value.assign(600 * 1024, 'L');
        text += "Key" + std::to_string(i) + "=" + value + (i % 3 ? "\n" : "\r\n");
        want.push_back({"Key" + std::to_string(i), value});
    }
    const TempFile file("big.tbl", text);
    CSpecFile r;
    ASSERT_EQ(r.Open(file.path.c_str(), CSpecFile::modeRead), 1);
    Lines got;
    CKAVOString k, v;
    while (r.GetLine(k, v) == 0) {
        r.IsEOF(), r.UngetLine();  // look ahead and push back at every step
        ASSERT_EQ(r.GetLine(k, v), 0);
        got.push_back({k.str(), v.str()});
        ASSERT_EQ(r.GetLineNumber(), static_cast<int>(got.size()));
    }
    EXPECT_TRUE(got == want);
    EXPECT_EQ(r.GetPosition(), text.size());
    // Writing, reopening and failures.
    const TempFile out("out.tbl"), next("next.tbl", "B=1\n");
    CSpecFile f;
    ASSERT_EQ(f.Open(out.path.c_str(), CSpecFile::modeWrite), 1);
    EXPECT_NE(f.GetLine(k, v), 0);  // nothing to read from a file being written
    f.PutLine(CKAVOString("Title"), CKAVOString("Two\nlines"));
    f.PutLine(CKAVOString("Data"), CKAVOString("1, 2, 3"));
    EXPECT_EQ(f.Close(), 1);
    ASSERT_EQ(f.Open(out.path.c_str(), CSpecFile::modeRead), 1);
    ASSERT_EQ(f.GetLine(k, v), 0);
    EXPECT_EQ(v, "Two\nlines");
    EXPECT_FALSE(f.IsEOF());  // Data is held ahead when the next file is opened
    ASSERT_EQ(f.Open(next.path.c_str(), CSpecFile::modeRead), 1);
    EXPECT_EQ(ReadAll(f), (Lines{{"B", "1"}}));
    EXPECT_EQ(f.GetLineNumber(), 1);
    const std::string missing = out.path + "/none.tbl";
    for (const char* path : {missing.c_str(), "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(f.Open(path, CSpecFile::modeWrite) + f.Open(path, CSpecFile::modeRead), 0);
    EXPECT_EQ(f.Open(std::filesystem::temp_directory_path().c_str(), CSpecFile::modeRead), 0);  // a directory
    if (std::filesystem::exists("/dev/full")) {
        ASSERT_EQ(f.Open("/dev/full", CSpecFile::modeWrite), 1);
        f.PutLine(CKAVOString("Key"), CKAVOString("Value"));
        EXPECT_EQ(f.Close(), 0);
        EXPECT_TRUE(f.HasWriteError());
    }
}
