// Number formats: regional defaults, the [Format] reader and writer.
#include "host_test_support.h"

using namespace kavo;
using namespace kavo_test;

using FormatTest = HostFixture;

// A new format on a machine with these regional settings, field by field.
static CFormat Defaults(const char* pszThousand = ",", const char* pszDecimal = ".", int bZero = 1) {
    CFormat f;
    f.m_strLabel = "", f.m_nDecimals = f.m_bHidden = 0, f.m_strThousandSep = pszThousand;
    f.m_strDecimalSep = pszDecimal, f.m_strZeroRound = "(Z)", f.m_strZeroMask = "-";
    f.m_bZeroBeforeDecimal = bZero;
    return f;
}


TEST_F(FormatTest, DefaultsComeFromTheRegionalSettingsAtEveryInit) {
    const struct { decltype(m_profile) profile; const char *thousand, *decimal; int zero; } cases[] = {
        {{}, ",", ".", 1},
        {{{"sThousand", "'"}, {"sDecimal", "::"}, {"iLZero", "0"}}, "'", "::", 0},
        // The leading zero needs a "1" first; an empty value keeps the built-in default.
        {{{"iLZero", "2"}}, ",", ".", 0}, {{{"iLZero", "10"}}, ",", ".", 1}, {{{"iLZero", "x"}}, ",", ".", 0},
        {{{"sThousand", ""}, {"sDecimal", ""}, {"iLZero", ""}}, ",", ".", 1},
    };
    CFormat f;
    for (const auto& c : cases) {
        f.m_nDecimals = f.m_bHidden = 4, f.m_strLabel = f.m_strZeroRound = f.m_strZeroMask = "x";
        m_profile = c.profile;
        f.Init();
        EXPECT_EQ(Fields(f), Fields(Defaults(c.thousand, c.decimal, c.zero)));
    }
    EXPECT_EQ(CFormat(IDS_UNRECOGNIZED_COMMAND).GetLabel(), LoadKAVOString(IDS_UNRECOGNIZED_COMMAND));
    EXPECT_TRUE(CFormat(1).GetLabel().IsEmpty());
}

TEST_F(FormatTest, ReadingAndSavingTheSection) {
    m_profile = {{"sThousand", " "}, {"sDecimal", ","}, {"iLZero", "0"}};
    const auto same = [](CFormat&) {};  // this machine's defaults
    const auto hidden = [](CFormat& f) { f.m_bHidden = 1; };
    const std::pair<const char*, std::function<void(CFormat&)>> cases[] = {
        {"LABEL=Only", [](CFormat& f) { f.m_strLabel = "Only"; }},
        // Yes only for a first "Y" (the later key wins).
        {"Hidden=Yes", hidden}, {"Hidden=Yellow", hidden}, {"Hidden=Yes\nHidden=1", same},
        {"Hidden=Yes\nHidden=true", same}, {"Hidden=Yes\nHidden=nY", same},
        {"ZeroBeforeDecimal=Y\nzerobeforedecimal=N", same}, {"Decimals=3\nDecimals=x", same},
        {"ZeroBeforeDecimal=yes", [](CFormat& f) { f.m_bZeroBeforeDecimal = 1; }},
        {"ThousandSep=::\nDecimalSep=dec\nZeroRound=~\nZeroMask=n/a", [](CFormat& f) {
             f.m_strThousandSep = "::", f.m_strDecimalSep = "dec";
             f.m_strZeroRound = "~", f.m_strZeroMask = "n/a";
         }},
        {"ZeroMask=\nThousandSep=\nDecimalSep=",
         [](CFormat& f) { f.m_strZeroMask = f.m_strThousandSep = f.m_strDecimalSep = ""; }},
        {"Decimals=-2", [](CFormat& f) { f.m_nDecimals = -2; }},
        // The count keeps the low 32 bits: 2^32 + 2 gives 2, 2^32 - 1 gives -1.
        {"Decimals=4294967298", [](CFormat& f) { f.m_nDecimals = 2; }},
        {"Decimals=4294967295", [](CFormat& f) { f.m_nDecimals = -1; }},
    };
    for (const auto& c : cases) {
        CFormat want = Defaults(" ", ",", 0);
        c.second(want);
        SCOPED_TRACE(c.first);
        EXPECT_EQ(Fields(ReadSection<CFormat>(std::string("[Format]\n") + c.first + "\n")), Fields(want));
    }
    // Values no keyword knows, and keys given twice, are taken as before and reported.
    ASSERT_FALSE(m_messages.empty());
    EXPECT_EQ(m_messages.front(), "line 3: Hidden=1 is not one of Yes, No; taken as No");
    m_messages.clear();
    // Headings of the registry end the section and are read again; they are no error.
    for (const char* heading : {"[table]", "[STYLE]", "[Format]"}) {
        EXPECT_EQ(ReadSection<CFormat>("[Format]\nDecimals=1\n" + std::string(heading)).m_nDecimals, 1);
        EXPECT_EQ(NextKey(), heading);
    }
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(ReadSection<CFormat>("[Format]\nDecimals=1\n[Colours]\nDecimals=9\n[Style]").m_nDecimals, 1);
    EXPECT_EQ(NextKey(), "[Style]");
    // Unknown keys are reported, verbatim, and reading goes on.
    EXPECT_EQ(ReadSection<CFormat>("[Format]\nLabel=F\nPrecision=2\nDecimals=2\n%d%s=up\n").m_nDecimals, 2);
    EXPECT_EQ(m_messages, (Strings{"Invalid section heading at line 3:\n[Colours]",
                                   "Unrecognized command at line 3:\nPrecision",
                                   "Unrecognized command at line 5:\n%d%s"}));
    // Save writes every departure from the regional settings of now.
    m_profile = {{"sThousand", "."}, {"sDecimal", ","}, {"iLZero", "0"}};
    EXPECT_EQ(ReadLines(SavedText(Defaults(".", ",", 0))), (Lines{{"[Format]", ""}, {"Label", ""}}));
    CFormat f = Defaults(",", ".", 1);  // made before the settings changed
    f.m_strLabel = "A";
    EXPECT_EQ(ReadLines(SavedText(f)), (Lines{{"[Format]", ""}, {"Label", "A"}, {"ZeroBeforeDecimal", "Yes"},
                                              {"DecimalSep", "."}, {"ThousandSep", ","}}));
    m_profile.clear();
    f.m_strZeroRound = "(z)";  // differs from the default in case only
    f.m_nDecimals = 2, f.m_strZeroMask = "", f.m_bHidden = 1, f.m_bZeroBeforeDecimal = 0;
    f.m_strDecimalSep = ",", f.m_strThousandSep = "";
    const Lines all = {{"[Format]", ""}, {"Label", "A"}, {"Decimals", "2"}, {"ZeroRound", "(z)"},
                       {"ZeroMask", ""}, {"Hidden", "Yes"}, {"ZeroBeforeDecimal", "No"}, {"DecimalSep", ","},
                       {"ThousandSep", ""}};
    EXPECT_EQ(ReadLines(SavedText(f)), all);
}
