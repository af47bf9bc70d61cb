// Number formats: regional defaults, the [Format] reader and writer.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "kavotbl/host/platform.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/style/format.h"

using namespace kavo;

namespace {

struct Line {
    std::string key, value;
    bool operator==(const Line& o) const { return key == o.key && value == o.value; }
};

std::vector<Line> ReadAllLines(const std::string& text) {
    CSpecFile in;
    in.OpenText(text);
    std::vector<Line> lines;
    CKAVOString k, v;
    while (in.GetLine(k, v) == 0) lines.push_back({k.str(), v.str()});
    return lines;
}

// Installs its own regional settings and message capture, so that nothing
// depends on the machine the tests run on.
class FormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_prevProfile = SetProfileSource([this](const std::string& strSection, const std::string& strKey,
                                                std::string& strValue) {
            ++m_nProfileReads;
            if (strSection != "intl") return false;
            auto it = m_profile.find(strKey);
            if (it == m_profile.end()) return false;
            strValue = it->second;
            return true;
        });
        m_prevHandler = SetMessageBoxHandler([this](const CKAVOString& strText, unsigned) {
            m_messages.push_back(strText.str());
            return IDOK;
        });
    }
    void TearDown() override {
        SetProfileSource(std::move(m_prevProfile));
        SetMessageBoxHandler(std::move(m_prevHandler));
    }

    CFormat Read(const std::string& text) {
        m_file.OpenText(text);
        CKAVOString k, v;
        EXPECT_EQ(m_file.GetLine(k, v), 0);
        EXPECT_EQ(k.CompareNoCase("[Format]"), 0);
        CFormat fmt;
        EXPECT_EQ(fmt.Build(m_file), 1);
        return fmt;
    }

    std::string NextKey() {
        CKAVOString k, v;
        if (m_file.GetLine(k, v) != 0) return "<eof>";
        return k.str();
    }

    static std::vector<Line> Saved(const CFormat& fmt) {
        CSpecFile out;
        out.OpenTextWrite();
        fmt.Save(out);
        return ReadAllLines(out.GetText());
    }

    std::map<std::string, std::string> m_profile;
    int m_nProfileReads = 0;
    CSpecFile m_file;
    std::vector<std::string> m_messages;
    ProfileSource m_prevProfile;
    MessageBoxHandler m_prevHandler;
};

void ExpectSameFields(const CFormat& a, const CFormat& b) {
    EXPECT_EQ(a.m_strLabel, b.m_strLabel);
    EXPECT_EQ(a.m_nDecimals, b.m_nDecimals);
    EXPECT_EQ(a.m_strThousandSep, b.m_strThousandSep);
    EXPECT_EQ(a.m_strDecimalSep, b.m_strDecimalSep);
    EXPECT_EQ(a.m_strZeroRound, b.m_strZeroRound);
    EXPECT_EQ(a.m_strZeroMask, b.m_strZeroMask);
    EXPECT_EQ(a.m_bZeroBeforeDecimal, b.m_bZeroBeforeDecimal);
    EXPECT_EQ(a.m_bHidden, b.m_bHidden);
}

}  // namespace

// --- defaults and regional settings --------------------------------------------

TEST_F(FormatTest, DefaultsWithoutRegionalSettings) {
    CFormat f(CKAVOString("Plain"));
    EXPECT_EQ(f.GetLabel(), "Plain");
    EXPECT_EQ(f.m_nDecimals, 0);
    EXPECT_EQ(f.m_strThousandSep, ",");
    EXPECT_EQ(f.m_strDecimalSep, ".");
    EXPECT_EQ(f.m_strZeroRound, "(Z)");
    EXPECT_EQ(f.m_strZeroMask, "-");
    EXPECT_EQ(f.m_bZeroBeforeDecimal, 1);
    EXPECT_EQ(f.m_bHidden, 0);
    EXPECT_GT(m_nProfileReads, 0);
}

TEST_F(FormatTest, RegionalSettingsAreTaken) {
    m_profile = {{"sThousand", "."}, {"sDecimal", ","}, {"iLZero", "0"}};
    CFormat f;
    EXPECT_EQ(f.m_strThousandSep, ".");
    EXPECT_EQ(f.m_strDecimalSep, ",");
    EXPECT_EQ(f.m_bZeroBeforeDecimal, 0);

    m_profile = {{"sThousand", "'"}, {"sDecimal", "::"}, {"iLZero", "1"}};
    f.Init();
    EXPECT_EQ(f.m_strThousandSep, "'");
    EXPECT_EQ(f.m_strDecimalSep, "::");
    EXPECT_EQ(f.m_bZeroBeforeDecimal, 1);
}

TEST_F(FormatTest, LeadingZeroNeedsAOneFirst) {
    m_profile = {{"iLZero", "2"}};
    EXPECT_EQ(CFormat().m_bZeroBeforeDecimal, 0);
    m_profile = {{"iLZero", "10"}};
    EXPECT_EQ(CFormat().m_bZeroBeforeDecimal, 1);
    m_profile = {{"iLZero", "x"}};
    EXPECT_EQ(CFormat().m_bZeroBeforeDecimal, 0);
}

TEST_F(FormatTest, EmptyRegionalValuesKeepTheBuiltInDefaults) {
    // An empty value delivers no characters, so the built-in default stays.
    m_profile = {{"sThousand", ""}, {"sDecimal", ""}, {"iLZero", ""}};
    CFormat f;
    EXPECT_EQ(f.m_strThousandSep, ",");
    EXPECT_EQ(f.m_strDecimalSep, ".");
    EXPECT_EQ(f.m_bZeroBeforeDecimal, 1);
}

TEST_F(FormatTest, InitResetsEveryField) {
    CFormat f(CKAVOString("X"));
    f.m_nDecimals = 4;
    f.m_strThousandSep = "_";
    f.m_strDecimalSep = "_";
    f.m_strZeroRound = "r";
    f.m_strZeroMask = "m";
    f.m_bZeroBeforeDecimal = 0;
    f.m_bHidden = 1;
    f.Init();
    ExpectSameFields(f, CFormat());
}

TEST_F(FormatTest, ConstructFromStringTableId) {
    CFormat known(IDS_UNRECOGNIZED_COMMAND);
    EXPECT_FALSE(known.GetLabel().IsEmpty());
    EXPECT_EQ(known.GetLabel(), LoadKAVOString(IDS_UNRECOGNIZED_COMMAND));
    EXPECT_EQ(known.m_strZeroMask, "-");
    EXPECT_TRUE(CFormat(1).GetLabel().IsEmpty());
}

TEST_F(FormatTest, CopyTakesEveryField) {
    CFormat f(CKAVOString("Src"));
    f.m_nDecimals = 3;
    f.m_strThousandSep = " ";
    f.m_strDecimalSep = ",";
    f.m_strZeroRound = "~0";
    f.m_strZeroMask = "";
    f.m_bZeroBeforeDecimal = 0;
    f.m_bHidden = 1;
    CFormat c(f);
    ExpectSameFields(c, f);
    EXPECT_STREQ(c.GetRuntimeClass()->m_lpszClassName, "CFormat");
    EXPECT_TRUE(c.IsKindOf(KAVO_RUNTIME_CLASS(CObject)));
}

// --- reading -------------------------------------------------------------------

TEST_F(FormatTest, LabelOnlyGivesDefaultsOfThisMachine) {
    m_profile = {{"sThousand", " "}, {"sDecimal", ","}, {"iLZero", "0"}};
    CFormat f = Read("[Format]\nLabel=Only\n");
    EXPECT_EQ(f.GetLabel(), "Only");
    EXPECT_EQ(f.m_nDecimals, 0);
    EXPECT_EQ(f.m_strZeroMask, "-");
    EXPECT_EQ(f.m_strZeroRound, "(Z)");
    EXPECT_EQ(f.m_bHidden, 0);
    EXPECT_EQ(f.m_strThousandSep, " ");
    EXPECT_EQ(f.m_strDecimalSep, ",");
    EXPECT_EQ(f.m_bZeroBeforeDecimal, 0);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(FormatTest, HiddenIsYesOnlyForAFirstY) {
    for (const char* yes : {"Yes", "yes", "Y", "y", "Yellow"})
        EXPECT_EQ(Read(std::string("[Format]\nHidden=") + yes + "\n").m_bHidden, 1) << yes;
    for (const char* no : {"No", "1", "true", "", "nY"})
        EXPECT_EQ(Read(std::string("[Format]\nHidden=") + no + "\n").m_bHidden, 0) << no;
}

TEST_F(FormatTest, ZeroBeforeDecimalWord) {
    m_profile = {{"iLZero", "0"}};
    EXPECT_EQ(Read("[Format]\nZeroBeforeDecimal=yes\n").m_bZeroBeforeDecimal, 1);
    m_profile = {{"iLZero", "1"}};
    EXPECT_EQ(Read("[Format]\nZeroBeforeDecimal=No\n").m_bZeroBeforeDecimal, 0);
    EXPECT_EQ(Read("[Format]\nzerobeforedecimal=\n").m_bZeroBeforeDecimal, 0);
}

TEST_F(FormatTest, TextValuesAreTakenUnchanged) {
    CFormat f = Read("[Format]\nThousandSep=::\nDecimalSep=dec\nZeroRound=~\nZeroMask=n/a\nLABEL=Mixed\n");
    EXPECT_EQ(f.m_strThousandSep, "::");
    EXPECT_EQ(f.m_strDecimalSep, "dec");
    EXPECT_EQ(f.m_strZeroRound, "~");
    EXPECT_EQ(f.m_strZeroMask, "n/a");
    EXPECT_EQ(f.GetLabel(), "Mixed");
}

TEST_F(FormatTest, EmptyTextValues) {
    CFormat f = Read("[Format]\nZeroMask=\nThousandSep=\nDecimalSep=\n");
    EXPECT_TRUE(f.m_strZeroMask.IsEmpty());
    EXPECT_TRUE(f.m_strThousandSep.IsEmpty());
    EXPECT_TRUE(f.m_strDecimalSep.IsEmpty());
}

TEST_F(FormatTest, DecimalsTakeTheLow32BitsOfTheValue) {
    EXPECT_EQ(Read("[Format]\nDecimals=3\n").m_nDecimals, 3);
    EXPECT_EQ(Read("[Format]\nDecimals=-2\n").m_nDecimals, -2);
    EXPECT_EQ(Read("[Format]\nDecimals=abc\n").m_nDecimals, 0);
    // 2^32 + 2 keeps only its low word; 2^32 - 1 is -1 in 32 bits.
    EXPECT_EQ(Read("[Format]\nDecimals=4294967298\n").m_nDecimals, 2);
    EXPECT_EQ(Read("[Format]\nDecimals=4294967295\n").m_nDecimals, -1);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(FormatTest, LaterKeyWins) {
    CFormat f = Read("[Format]\nDecimals=2\nHidden=Yes\nDecimals=5\nHidden=No\n");
    EXPECT_EQ(f.m_nDecimals, 5);
    EXPECT_EQ(f.m_bHidden, 0);
}

// --- where a section ends ------------------------------------------------------

TEST_F(FormatTest, RegistryHeadingsEndTheSectionAndAreReadAgain) {
    for (const char* heading : {"[table]", "[STYLE]", "[Format]"}) {
        CFormat f = Read(std::string("[Format]\nDecimals=1\n") + heading + "\nDecimals=2\n");
        EXPECT_EQ(f.m_nDecimals, 1);
        EXPECT_EQ(NextKey(), heading);
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(FormatTest, OtherHeadingIsReportedAndSkipped) {
    CFormat f = Read("[Format]\nLabel=F\nDecimals=1\n[Colours]\nDecimals=9\n[Style]\n");
    EXPECT_EQ(f.m_nDecimals, 1);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Invalid section heading at line 4:\n[Colours]");
    EXPECT_EQ(NextKey(), "[Style]");
}

TEST_F(FormatTest, UnknownKeyIsReportedAndReadingGoesOn) {
    CFormat f = Read("[Format]\nLabel=F\nPrecision=2\nDecimals=2\nRounding=up\n");
    EXPECT_EQ(f.m_nDecimals, 2);
    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(m_messages[0], "Unrecognized command at line 3:\nPrecision");
    EXPECT_EQ(m_messages[1], "Unrecognized command at line 5:\nRounding");
}

TEST_F(FormatTest, KeyIsShownVerbatimNotAsFormat) {
    Read("[Format]\nLabel=F\n%d%s=x\n");
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Unrecognized command at line 3:\n%d%s");
}

// --- writing -------------------------------------------------------------------

TEST_F(FormatTest, DefaultFormatSavesTwoLines) {
    m_profile = {{"sThousand", "."}, {"sDecimal", ","}, {"iLZero", "0"}};
    const std::vector<Line> expected = {{"[Format]", ""}, {"Label", "Plain"}};
    EXPECT_EQ(Saved(CFormat(CKAVOString("Plain"))), expected);
    const std::vector<Line> unlabelled = {{"[Format]", ""}, {"Label", ""}};
    EXPECT_EQ(Saved(CFormat()), unlabelled);
}

TEST_F(FormatTest, EveryDepartureIsWrittenInOrder) {
    CFormat f(CKAVOString("All"));
    f.m_nDecimals = 2;
    f.m_strZeroRound = "(z)";  // differs from the default in case only
    f.m_strZeroMask = "";
    f.m_bHidden = 1;
    f.m_bZeroBeforeDecimal = 0;
    f.m_strDecimalSep = ",";
    f.m_strThousandSep = "";
    const std::vector<Line> expected = {{"[Format]", ""},          {"Label", "All"},
                                        {"Decimals", "2"},         {"ZeroRound", "(z)"},
                                        {"ZeroMask", ""},          {"Hidden", "Yes"},
                                        {"ZeroBeforeDecimal", "No"}, {"DecimalSep", ","},
                                        {"ThousandSep", ""}};
    EXPECT_EQ(Saved(f), expected);
}

TEST_F(FormatTest, NegativeDecimalsAreWrittenAndZeroIsNot) {
    CFormat f(CKAVOString("N"));
    f.m_nDecimals = -3;
    const std::vector<Line> expected = {{"[Format]", ""}, {"Label", "N"}, {"Decimals", "-3"}};
    EXPECT_EQ(Saved(f), expected);
    f.m_nDecimals = 0;
    EXPECT_EQ(Saved(f).size(), 2u);
}

TEST_F(FormatTest, LeadingZeroIsWrittenAgainstTheCurrentRegionalSetting) {
    m_profile = {{"iLZero", "1"}};
    CFormat f(CKAVOString("L"));
    f.m_bZeroBeforeDecimal = 0;
    const std::vector<Line> no = {{"[Format]", ""}, {"Label", "L"}, {"ZeroBeforeDecimal", "No"}};
    EXPECT_EQ(Saved(f), no);
    f.m_bZeroBeforeDecimal = 1;
    EXPECT_EQ(Saved(f).size(), 2u);
    m_profile = {{"iLZero", "0"}};
    const std::vector<Line> yes = {{"[Format]", ""}, {"Label", "L"}, {"ZeroBeforeDecimal", "Yes"}};
    EXPECT_EQ(Saved(f), yes);
}

TEST_F(FormatTest, SeparatorsAreWrittenWhenTheRegionalSettingsChanged) {
    CFormat f(CKAVOString("R"));  // made with "," and "."
    m_profile = {{"sThousand", " "}, {"sDecimal", ","}};
    const std::vector<Line> expected = {
        {"[Format]", ""}, {"Label", "R"}, {"DecimalSep", "."}, {"ThousandSep", ","}};
    EXPECT_EQ(Saved(f), expected);
}

TEST_F(FormatTest, SavedFormatReadsBackEqual) {
    m_profile = {{"sThousand", ","}, {"sDecimal", "."}, {"iLZero", "1"}};
    const char* seps[] = {"", ",", ".", "::", "'"};
    for (int i = 0; i < 10; ++i) {
        CFormat f(CKAVOString(("F" + std::to_string(i)).c_str()));
        f.m_nDecimals = i % 4 == 3 ? -i : i;
        f.m_strThousandSep = seps[i % 5];
        f.m_strDecimalSep = seps[(i + 2) % 5];
        f.m_strZeroRound = i % 2 ? "(Z)" : "rz";
        f.m_strZeroMask = i % 3 ? "-" : "";
        f.m_bZeroBeforeDecimal = i % 2;
        f.m_bHidden = (i / 2) % 2;

        CSpecFile out;
        out.OpenTextWrite();
        f.Save(out);
        CFormat back = Read(out.GetText());
        ExpectSameFields(back, f);
    }
    EXPECT_TRUE(m_messages.empty());
}
