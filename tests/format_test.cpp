// Number formats: regional defaults, the [Format] reader and writer.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host_test_support.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/style/format.h"

using namespace kavo;
using kavo_test::Fields;
using kavo_test::Lines;
using kavo_test::ReadLines;
using kavo_test::SavedText;

namespace {

class FormatTest : public kavo_test::HostFixture {
protected:
    CFormat Read(const std::string& text) { return ReadSection<CFormat>(text); }
};

// A new format on a machine with these regional settings, field by field.
CFormat Defaults(const char* pszThousand = ",", const char* pszDecimal = ".", int bZero = 1) {
    CFormat f;
    f.m_strLabel = "";
    f.m_nDecimals = f.m_bHidden = 0;
    f.m_strThousandSep = pszThousand;
    f.m_strDecimalSep = pszDecimal;
    f.m_strZeroRound = "(Z)";
    f.m_strZeroMask = "-";
    f.m_bZeroBeforeDecimal = bZero;
    return f;
}

}  // namespace

TEST_F(FormatTest, DefaultsComeFromTheRegionalSettingsAtEveryInit) {
    const struct { std::map<std::string, std::string> profile; const char *thousand, *decimal; int zero; } cases[] = {
        {{}, ",", ".", 1},
        {{{"sThousand", "."}, {"sDecimal", ","}, {"iLZero", "0"}}, ".", ",", 0},
        {{{"sThousand", "'"}, {"sDecimal", "::"}, {"iLZero", "1"}}, "'", "::", 1},
        // The leading zero needs a "1" first; an empty value keeps the built-in default.
        {{{"iLZero", "2"}}, ",", ".", 0}, {{{"iLZero", "10"}}, ",", ".", 1}, {{{"iLZero", "x"}}, ",", ".", 0},
        {{{"sThousand", ""}, {"sDecimal", ""}, {"iLZero", ""}}, ",", ".", 1},
    };
    CFormat f;
    for (const auto& c : cases) {
        f.m_nDecimals = f.m_bHidden = 4;
        f.m_strLabel = f.m_strZeroRound = f.m_strZeroMask = "x";
        m_profile = c.profile;
        f.Init();
        EXPECT_EQ(Fields(f), Fields(Defaults(c.thousand, c.decimal, c.zero)));
    }
    m_profile = {{"sDecimal", ","}};
    CFormat known(IDS_UNRECOGNIZED_COMMAND);
    EXPECT_EQ(known.GetLabel(), LoadKAVOString(IDS_UNRECOGNIZED_COMMAND));
    known.m_strLabel = "";
    EXPECT_EQ(Fields(known), Fields(Defaults(",", ",")));
    EXPECT_TRUE(CFormat(1).GetLabel().IsEmpty());
}

TEST_F(FormatTest, KeysOfTheSection) {
    m_profile = {{"sThousand", " "}, {"sDecimal", ","}, {"iLZero", "0"}};
    const std::pair<const char*, std::function<void(CFormat&)>> cases[] = {
        {"LABEL=Only", [](CFormat& f) { f.m_strLabel = "Only"; }},
        {"Hidden=Yes", [](CFormat& f) { f.m_bHidden = 1; }},
        {"Hidden=y", [](CFormat& f) { f.m_bHidden = 1; }},
        {"Hidden=Yellow", [](CFormat& f) { f.m_bHidden = 1; }},  // a first "Y" is enough
        {"Hidden=Yes\nHidden=1", [](CFormat&) {}},
        {"Hidden=Yes\nHidden=true", [](CFormat&) {}},
        {"Hidden=Yes\nhidden=", [](CFormat&) {}},
        {"Hidden=Yes\nHidden=nY", [](CFormat&) {}},
        {"ZeroBeforeDecimal=yes", [](CFormat& f) { f.m_bZeroBeforeDecimal = 1; }},
        {"ZeroBeforeDecimal=yes\nzerobeforedecimal=No", [](CFormat&) {}},
        {"ThousandSep=::\nDecimalSep=dec\nZeroRound=~\nZeroMask=n/a",
         [](CFormat& f) { f.m_strThousandSep = "::", f.m_strDecimalSep = "dec", f.m_strZeroRound = "~", f.m_strZeroMask = "n/a"; }},
        {"ZeroMask=\nThousandSep=\nDecimalSep=", [](CFormat& f) { f.m_strZeroMask = f.m_strThousandSep = f.m_strDecimalSep = ""; }},
        {"Decimals=-2", [](CFormat& f) { f.m_nDecimals = -2; }},
        {"Decimals=3\nDecimals=abc", [](CFormat&) {}},
        // The count keeps the low 32 bits: 2^32 + 2 gives 2, 2^32 - 1 gives -1.
        {"Decimals=4294967298", [](CFormat& f) { f.m_nDecimals = 2; }},
        {"Decimals=4294967295", [](CFormat& f) { f.m_nDecimals = -1; }},
    };
    for (const auto& c : cases) {
        CFormat want = Defaults(" ", ",", 0);
        c.second(want);
        SCOPED_TRACE(c.first);
        EXPECT_EQ(Fields(Read(std::string("[Format]\n") + c.first + "\n")), Fields(want));
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(FormatTest, WhereTheSectionEndsAndWhatIsReported) {
    for (const char* heading : {"[table]", "[STYLE]", "[Format]"}) {
        EXPECT_EQ(Read(std::string("[Format]\nDecimals=1\n") + heading + "\nDecimals=2\n").m_nDecimals, 1);
        EXPECT_EQ(NextKey(), heading);
    }
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(Read("[Format]\nLabel=F\nDecimals=1\n[Colours]\nDecimals=9\n[Style]\n").m_nDecimals, 1);
    EXPECT_EQ(NextKey(), "[Style]");
    // Unknown keys are reported, verbatim, and reading goes on.
    EXPECT_EQ(Read("[Format]\nLabel=F\nPrecision=2\nDecimals=2\n%d%s=up\n").m_nDecimals, 2);
    const std::vector<std::string> want = {"Invalid section heading at line 4:\n[Colours]",
                                           "Unrecognized command at line 3:\nPrecision",
                                           "Unrecognized command at line 5:\n%d%s"};
    EXPECT_EQ(m_messages, want);
}

TEST_F(FormatTest, SaveWritesEveryDepartureFromTheRegionalSettingsOfNow) {
    m_profile = {{"sThousand", "."}, {"sDecimal", ","}, {"iLZero", "0"}};
    EXPECT_EQ(ReadLines(SavedText(Defaults(".", ",", 0))), (Lines{{"[Format]", ""}, {"Label", ""}}));
    CFormat f = Defaults(",", ".", 1);  // made before the settings changed
    f.m_strLabel = "All";
    const Lines changed = {{"[Format]", ""}, {"Label", "All"}, {"ZeroBeforeDecimal", "Yes"}, {"DecimalSep", "."}, {"ThousandSep", ","}};
    EXPECT_EQ(ReadLines(SavedText(f)), changed);
    m_profile.clear();
    f.m_nDecimals = 2;
    f.m_strZeroRound = "(z)";  // differs from the default in case only
    f.m_strZeroMask = "";
    f.m_bHidden = 1;
    f.m_bZeroBeforeDecimal = 0;
    f.m_strDecimalSep = ",";
    f.m_strThousandSep = "";
    const Lines all = {{"[Format]", ""},    {"Label", "All"},  {"Decimals", "2"},
                       {"ZeroRound", "(z)"}, {"ZeroMask", ""},  {"Hidden", "Yes"},
                       {"ZeroBeforeDecimal", "No"}, {"DecimalSep", ","}, {"ThousandSep", ""}};
    EXPECT_EQ(ReadLines(SavedText(f)), all);
    CFormat n(CKAVOString("N"));
    n.m_nDecimals = -3;
    EXPECT_EQ(ReadLines(SavedText(n)), (Lines{{"[Format]", ""}, {"Label", "N"}, {"Decimals", "-3"}}));
}
