// Shared pieces of the kavotbl program: options, values, output files and
// loading a document with its messages.
#include <gtest/gtest.h>

#if defined(KAVOTBL_HAVE_CAIRO) && defined(KAVOTBL_HAVE_TOOLS)

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common.h"

namespace kavotool {
namespace {

// ---------------------------------------------------------------- options

class Options : public ::testing::Test {
protected:
    OptionParser Make() {
        return OptionParser("demo", "FILE", "A demo.",
                            {{"output", 'o', "OUT", "output"}, {"size", 0, "PT", "size"}, {"landscape", 0, nullptr, "flag"}});
    }
    bool Parse(OptionParser& p, std::vector<std::string> args, std::string& error) {
        args.insert(args.begin(), "demo");
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        return p.Parse(static_cast<int>(argv.size()), argv.data(), error);
    }
};

TEST_F(Options, LongShortAndEqualsFormsAllCarryValues) {
    OptionParser p = Make();
    std::string error;
    ASSERT_TRUE(Parse(p, {"in.tbl", "-o", "a.pdf", "--size=12", "--landscape"}, error)) << error;
    EXPECT_EQ(p.Get("output"), "a.pdf");
    EXPECT_EQ(p.Get("size"), "12");
    EXPECT_TRUE(p.Has("landscape"));
    EXPECT_EQ(p.Positionals(), std::vector<std::string>{"in.tbl"});
    OptionParser q = Make();
    ASSERT_TRUE(Parse(q, {"-ob.pdf", "--size", "9", "--output", "c.pdf"}, error));
    EXPECT_EQ(q.Get("output"), "c.pdf");  // the last one wins
    EXPECT_EQ(q.Get("size"), "9");
    EXPECT_FALSE(q.Has("landscape"));
    EXPECT_EQ(q.Get("missing", "dflt"), "dflt");
}

TEST_F(Options, UnknownOptionIsNamedInTheError) {
    OptionParser p = Make();
    std::string error;
    EXPECT_FALSE(Parse(p, {"in.tbl", "--bogus=3"}, error));
    EXPECT_NE(error.find("--bogus"), std::string::npos);
    EXPECT_EQ(error.find('\n'), std::string::npos);
}

TEST_F(Options, MissingValueAndValueOnAFlagAreRefused) {
    OptionParser p = Make();
    std::string error;
    EXPECT_FALSE(Parse(p, {"-o"}, error));
    EXPECT_NE(error.find("needs a value"), std::string::npos);
    OptionParser q = Make();
    EXPECT_FALSE(Parse(q, {"--landscape=yes"}, error));
    EXPECT_NE(error.find("takes no value"), std::string::npos);
}

TEST_F(Options, DoubleDashEndsOptionsAndHelpIsNoted) {
    OptionParser p = Make();
    std::string error;
    ASSERT_TRUE(Parse(p, {"--help", "--", "--size"}, error));
    EXPECT_TRUE(p.HelpRequested());
    EXPECT_EQ(p.Positionals(), std::vector<std::string>{"--size"});
}

// ---------------------------------------------------------------- values

TEST(Values, IntegersMustBeWholeAndInRange) {
    int v = -1;
    EXPECT_TRUE(ParseInt("42", 1, 100, v));
    EXPECT_EQ(v, 42);
    EXPECT_FALSE(ParseInt("0", 1, 100, v));
    EXPECT_FALSE(ParseInt("4x", 1, 100, v));
    EXPECT_FALSE(ParseInt("", 1, 100, v));
    EXPECT_FALSE(ParseInt(" 4", 1, 100, v));
    EXPECT_FALSE(ParseInt("99999999999999999999", 1, 100, v));
}

TEST(Values, LengthsConvertToPoints) {
    double pt = 0;
    ASSERT_TRUE(ParseLength("0.5in", pt));
    EXPECT_DOUBLE_EQ(pt, 36.0);
    ASSERT_TRUE(ParseLength("2.54cm", pt));
    EXPECT_NEAR(pt, 72.0, 1e-9);
    ASSERT_TRUE(ParseLength("25.4mm", pt));
    EXPECT_NEAR(pt, 72.0, 1e-9);
    ASSERT_TRUE(ParseLength("18pt", pt));
    EXPECT_DOUBLE_EQ(pt, 18.0);
    ASSERT_TRUE(ParseLength("1", pt));  // inches by default
    EXPECT_DOUBLE_EQ(pt, 72.0);
    EXPECT_FALSE(ParseLength("-1in", pt));
    EXPECT_FALSE(ParseLength("in", pt));
    EXPECT_FALSE(ParseLength("3furlongs", pt));
}

TEST(Values, RangesAndPairs) {
    int a = -1, b = -1;
    ASSERT_TRUE(ParseRange("2-5", a, b));
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 5);
    ASSERT_TRUE(ParseRange("7", a, b));
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, 7);
    EXPECT_FALSE(ParseRange("5-2", a, b));
    EXPECT_FALSE(ParseRange("-3", a, b));
    EXPECT_FALSE(ParseRange("1-", a, b));
    ASSERT_TRUE(ParsePair("100,-40", a, b));
    EXPECT_EQ(a, 100);
    EXPECT_EQ(b, -40);
    EXPECT_FALSE(ParsePair("100", a, b));
    EXPECT_FALSE(ParsePair("1,2,3", a, b));
}

TEST(Values, ExtensionIsLowerCaseAndIgnoresFolderDots) {
    EXPECT_EQ(Extension("out/Table.PNG"), "png");
    EXPECT_EQ(Extension("a.b/c"), "");
    EXPECT_EQ(Extension("name."), "");
    EXPECT_EQ(Extension("x.svg"), "svg");
}

// ---------------------------------------------------------------- files

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kavotbl-tools-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        for (const std::string& f : Files()) std::remove((dir + "/" + f).c_str());
        rmdir(dir.c_str());
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
            closedir(d);
        }
        return names;
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::string dir;
};

using AtomicOutput = TempDir;

TEST_F(AtomicOutput, TargetAppearsOnlyOnCommit) {
    const std::string target = dir + "/out.pdf";
    std::string error;
    {
        AtomicFile out(target);
        ASSERT_TRUE(out.Open(error)) << error;
        std::ofstream(out.TempPath()) << "complete";
        EXPECT_EQ(access(target.c_str(), F_OK), -1);
        ASSERT_TRUE(out.Commit(error)) << error;
    }
    EXPECT_EQ(Read("out.pdf"), "complete");
    EXPECT_EQ(Files(), std::vector<std::string>{"out.pdf"});
}

TEST_F(AtomicOutput, AbandonedOutputLeavesTheOldFileAndNoDebris) {
    Write("out.pdf", "old");
    std::string error;
    {
        AtomicFile out(dir + "/out.pdf");
        ASSERT_TRUE(out.Open(error));
        std::ofstream(out.TempPath()) << "half";
    }
    EXPECT_EQ(Read("out.pdf"), "old");
    EXPECT_EQ(Files(), std::vector<std::string>{"out.pdf"});
}

TEST_F(AtomicOutput, MissingFolderOrFolderTargetIsAClearError) {
    std::string error;
    AtomicFile missing(dir + "/no/such/folder/out.pdf");
    EXPECT_FALSE(missing.Open(error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
    EXPECT_NE(error.find("No such file"), std::string::npos);
    AtomicFile folder(dir);
    EXPECT_FALSE(folder.Open(error));
    EXPECT_NE(error.find("folder"), std::string::npos);
}

// ---------------------------------------------------------------- loading

using Loading = TempDir;

const char* const kTwoTables =
    "[Table]\nSize=1, 1\nName=First\n[Column]\nText=A\n[Row]\nText=r\nData=5\n"
    "[Table]\nSize=1, 2\nName=Second\n[Column]\nText=A\n[Column]\nText=B\n[Row]\nText=r\nData=1, 2\n";

TEST_F(Loading, EveryTableOfTheFileIsRead) {
    Write("two.tbl", kTwoTables);
    Document doc;
    std::string error;
    ASSERT_EQ(LoadDocument(dir + "/two.tbl", doc, nullptr, error), LoadStatus::Ok) << error;
    ASSERT_EQ(doc.tables.size(), 2u);
    EXPECT_EQ(doc.tables[1]->GetName(), "Second");
    EXPECT_EQ(doc.tables[1]->GetNumDataColumns(), 2);
    std::vector<kavo::CTable*> picked;
    ASSERT_TRUE(SelectTables(doc, 2, picked, error));
    EXPECT_EQ(picked.front()->GetName(), "Second");
    EXPECT_FALSE(SelectTables(doc, 3, picked, error));
    EXPECT_NE(error.find("no table 3"), std::string::npos);
}

TEST_F(Loading, MessagesCarryFileAndLineAndBadDataFails) {
    Write("bad.tbl", "[Table]\nSize=1, 2\n[Column]\nText=A\n[Column]\nText=B\n[Row]\nText=r\nData=12, x\n");
    Document doc;
    std::string error;
    std::vector<std::string> shown;
    kavo::MessageBoxHandler outer = kavo::SetMessageBoxHandler(nullptr);
    testing::internal::CaptureStderr();
    const LoadStatus status = LoadDocument(dir + "/bad.tbl", doc, nullptr, error);
    const std::string err = testing::internal::GetCapturedStderr();
    kavo::SetMessageBoxHandler(outer);
    EXPECT_EQ(status, LoadStatus::Failed);
    EXPECT_NE(error.find("table 1"), std::string::npos) << error;
    // The data line is the ninth line of the file.
    EXPECT_NE(err.find(dir + "/bad.tbl:9: "), std::string::npos) << err;
    EXPECT_NE(err.find("not numeric"), std::string::npos) << err;
}

TEST_F(Loading, FileWithoutTablesOrMissingFileFails) {
    Write("empty.tbl", "[Style]\nLabel=Bold\n");
    Document doc;
    std::string error;
    EXPECT_EQ(LoadDocument(dir + "/empty.tbl", doc, nullptr, error), LoadStatus::Failed);
    EXPECT_NE(error.find("holds no table"), std::string::npos);
    Document none;
    EXPECT_EQ(LoadDocument(dir + "/absent.tbl", none, nullptr, error), LoadStatus::Failed);
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}

TEST_F(Loading, CtrlCCancelsThroughTheProgressDialog) {
    Write("two.tbl", kTwoTables);
    Document doc;
    std::string error;
    ProgressBar progress("loading", 1);
    g_bInterrupted = 1;
    const LoadStatus status = LoadDocument(dir + "/two.tbl", doc, &progress, error);
    g_bInterrupted = 0;
    EXPECT_EQ(status, LoadStatus::Cancelled);
    EXPECT_EQ(error, "cancelled");
}

TEST(Fonts, RegistryGetsScreenPixelsAndTwipsFromPoints) {
    kavo::CStyleRegistry registry;
    kavo::CSpecFile file;
    file.OpenText("");
    registry.Build(file);
    GiveFont(registry, "DejaVu Serif", 12.0);
    ASSERT_GT(registry.GetNumStyles(), 0);
    for (int i = 0; i < registry.GetNumStyles(); ++i) {
        const kavo::CStyle* s = registry.GetStyle(i);
        EXPECT_EQ(s->m_logFont.lfHeight, -16);  // 12 pt at 96 pixels per inch
        EXPECT_EQ(s->m_nTwipsHeight, 240);      // 12 pt × 20
        EXPECT_STREQ(s->m_logFont.lfFaceName, "DejaVu Serif");
    }
}

}  // namespace
}  // namespace kavotool

#else

TEST(CairoTools, NotBuilt) { GTEST_SKIP() << "configured without the kavotbl program"; }

#endif
