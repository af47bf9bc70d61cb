// Styles: defaults, line words, the [Style] reader and writer.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "kavotbl/host/platform.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/style/style.h"

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

class StyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_prevHandler = SetMessageBoxHandler([this](const CKAVOString& strText, unsigned) {
            m_messages.push_back(strText.str());
            return IDOK;
        });
    }
    void TearDown() override { SetMessageBoxHandler(std::move(m_prevHandler)); }

    // Reads a [Style] section as the registry does: the heading first, then
    // the style reads the body. The file stays open for inspection.
    CStyle Read(const std::string& text) {
        m_file.OpenText(text);
        CKAVOString k, v;
        EXPECT_EQ(m_file.GetLine(k, v), 0);
        EXPECT_EQ(k.CompareNoCase("[Style]"), 0);
        CStyle style;
        EXPECT_EQ(style.Build(m_file), 1);
        return style;
    }

    std::string NextKey() {
        CKAVOString k, v;
        if (m_file.GetLine(k, v) != 0) return "<eof>";
        return k.str();
    }

    static std::vector<Line> Saved(const CStyle& style) {
        CSpecFile out;
        out.OpenTextWrite();
        style.Save(out);
        return ReadAllLines(out.GetText());
    }

    CSpecFile m_file;
    std::vector<std::string> m_messages;
    MessageBoxHandler m_prevHandler;
};

std::array<LINES, 8> Rules(const CStyle& s) {
    return {s.m_lineLeft,   s.m_lineTop,   s.m_lineRight,   s.m_lineBottom,
            s.m_borderLeft, s.m_borderTop, s.m_borderRight, s.m_borderBottom};
}

const std::array<LINES, 8> kNoRules = {LINE_NONE, LINE_NONE, LINE_NONE, LINE_NONE,
                                       LINE_NONE, LINE_NONE, LINE_NONE, LINE_NONE};

void ExpectSameFields(const CStyle& a, const CStyle& b) {
    EXPECT_EQ(a.m_strLabel, b.m_strLabel);
    EXPECT_EQ(a.m_crColor, b.m_crColor);
    EXPECT_EQ(a.m_nHorJust, b.m_nHorJust);
    EXPECT_EQ(a.m_nVertJust, b.m_nVertJust);
    EXPECT_EQ(Rules(a), Rules(b));
}

}  // namespace

// --- construction and defaults ---------------------------------------------

TEST_F(StyleTest, NewStyleHasDefaults) {
    CStyle s(CKAVOString("Body"));
    EXPECT_EQ(s.GetLabel(), "Body");
    EXPECT_EQ(s.m_crColor, RGB(192, 192, 192));
    EXPECT_EQ(s.m_nHorJust, 2);
    EXPECT_EQ(s.m_nVertJust, 2);
    EXPECT_EQ(s.m_nTwipsHeight, 0);
    EXPECT_EQ(Rules(s), kNoRules);
}

TEST_F(StyleTest, NewStyleHasZeroedFontEvenOnDirtyMemory) {
    // Built over garbage, every member of the font record must come out zero.
    alignas(CStyle) unsigned char raw[sizeof(CStyle)];
    for (int id : {-1, static_cast<int>(IDS_UNRECOGNIZED_COMMAND)}) {
        std::memset(raw, 0xAB, sizeof raw);
        auto* p = id < 0 ? new (raw) CStyle(CKAVOString("x")) : new (raw) CStyle(id);
        const LOGFONT& lf = p->m_logFont;
        EXPECT_EQ(lf.lfHeight | lf.lfWidth | lf.lfEscapement | lf.lfOrientation | lf.lfWeight, 0);
        EXPECT_EQ(lf.lfItalic | lf.lfUnderline | lf.lfStrikeOut | lf.lfCharSet | lf.lfPitchAndFamily, 0);
        for (char ch : lf.lfFaceName) EXPECT_EQ(ch, 0);
        p->~CStyle();
    }
}

TEST_F(StyleTest, ConstructFromStringTableId) {
    CStyle known(IDS_INVALID_SECTION_HEADING);
    EXPECT_FALSE(known.GetLabel().IsEmpty());
    EXPECT_EQ(known.GetLabel(), LoadKAVOString(IDS_INVALID_SECTION_HEADING));
    EXPECT_EQ(known.m_nHorJust, 2);

    CStyle unknown(4321);
    EXPECT_TRUE(unknown.GetLabel().IsEmpty());
}

TEST_F(StyleTest, InitResetsAllButTheFontRecord) {
    CStyle s(CKAVOString("A"));
    s.m_nHorJust = 0;
    s.m_nVertJust = 1;
    s.m_crColor = RGB(1, 2, 3);
    s.m_lineTop = LINE_THICK;
    s.m_borderRight = LINE_DOUBLE;
    s.m_nTwipsHeight = 240;
    s.m_logFont.lfHeight = -13;
    s.m_logFont.lfWeight = 700;
    std::strcpy(s.m_logFont.lfFaceName, "Serif");

    s.Init();
    EXPECT_TRUE(s.GetLabel().IsEmpty());
    EXPECT_EQ(s.m_nHorJust, 2);
    EXPECT_EQ(s.m_nVertJust, 2);
    EXPECT_EQ(s.m_crColor, RGB(192, 192, 192));
    EXPECT_EQ(s.m_nTwipsHeight, 0);
    EXPECT_EQ(s.m_logFont.lfHeight, 0);  // no font any more ...
    EXPECT_EQ(s.m_logFont.lfWeight, 700);  // ... but the rest of the record stays
    EXPECT_STREQ(s.m_logFont.lfFaceName, "Serif");
    EXPECT_EQ(Rules(s), kNoRules);
}

TEST_F(StyleTest, CopyTakesEveryFieldIncludingFont) {
    CStyle s(CKAVOString("Src"));
    s.m_nHorJust = 1;
    s.m_nVertJust = 0;
    s.m_crColor = RGB(9, 8, 7);
    s.m_lineLeft = LINE_SINGLE;
    s.m_borderBottom = LINE_THICK;
    s.m_nTwipsHeight = 200;
    s.m_logFont.lfHeight = -16;
    std::strcpy(s.m_logFont.lfFaceName, "Mono");

    CStyle c(s);
    ExpectSameFields(c, s);
    EXPECT_EQ(c.m_nTwipsHeight, 200);
    EXPECT_EQ(c.m_logFont.lfHeight, -16);
    EXPECT_STREQ(c.m_logFont.lfFaceName, "Mono");
    EXPECT_STREQ(c.GetRuntimeClass()->m_lpszClassName, "CStyle");
    EXPECT_TRUE(c.IsKindOf(KAVO_RUNTIME_CLASS(CObject)));
}

// --- line words -----------------------------------------------------------

TEST_F(StyleTest, LineWordToKind) {
    CStyle s;
    EXPECT_EQ(s.GetLineType(CKAVOString("None")), LINE_NONE);
    EXPECT_EQ(s.GetLineType(CKAVOString("NONE")), LINE_NONE);
    EXPECT_EQ(s.GetLineType(CKAVOString("thick")), LINE_THICK);
    EXPECT_EQ(s.GetLineType(CKAVOString("DoUbLe")), LINE_DOUBLE);
    EXPECT_EQ(s.GetLineType(CKAVOString("Single")), LINE_SINGLE);
    // Anything unknown, and nothing at all, is a single rule.
    EXPECT_EQ(s.GetLineType(CKAVOString("")), LINE_SINGLE);
    EXPECT_EQ(s.GetLineType(CKAVOString("Dotted")), LINE_SINGLE);
    EXPECT_EQ(s.GetLineType(CKAVOString("Non")), LINE_SINGLE);
}

TEST_F(StyleTest, LineKindToWordAndBack) {
    CStyle s;
    EXPECT_EQ(s.GetLineType(LINE_NONE), "None");
    EXPECT_EQ(s.GetLineType(LINE_SINGLE), "Single");
    EXPECT_EQ(s.GetLineType(LINE_DOUBLE), "Double");
    EXPECT_EQ(s.GetLineType(LINE_THICK), "Thick");
    EXPECT_EQ(s.GetLineType(static_cast<LINES>(7)), "Single");
    for (LINES k : {LINE_NONE, LINE_SINGLE, LINE_DOUBLE, LINE_THICK}) EXPECT_EQ(s.GetLineType(s.GetLineType(k)), k);
}

// --- reading ---------------------------------------------------------------

TEST_F(StyleTest, LabelOnlyGivesDefaults) {
    CStyle s = Read("[Style]\nLabel=Only\n");
    EXPECT_EQ(s.GetLabel(), "Only");
    EXPECT_EQ(s.m_nHorJust, 2);
    EXPECT_EQ(s.m_nVertJust, 2);
    EXPECT_EQ(Rules(s), kNoRules);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(StyleTest, BuildStartsFromDefaultsEachTime) {
    CStyle s(CKAVOString("Old"));
    s.m_nHorJust = 0;
    s.m_lineTop = LINE_THICK;
    m_file.OpenText("Label=New\n");
    EXPECT_EQ(s.Build(m_file), 1);
    EXPECT_EQ(s.GetLabel(), "New");
    EXPECT_EQ(s.m_nHorJust, 2);
    EXPECT_EQ(s.m_lineTop, LINE_NONE);

    s.m_nVertJust = 0;
    m_file.OpenText("");  // at end of file at once: defaults only
    EXPECT_EQ(s.Build(m_file), 1);
    EXPECT_TRUE(s.GetLabel().IsEmpty());
    EXPECT_EQ(s.m_nVertJust, 2);
}

TEST_F(StyleTest, HorizontalJustificationWords) {
    EXPECT_EQ(Read("[Style]\nHorJust=Left\n").m_nHorJust, 0);
    EXPECT_EQ(Read("[Style]\nHorJust=cEnTeR\n").m_nHorJust, 1);
    EXPECT_EQ(Read("[Style]\nHorJust=CENTER\n").m_nHorJust, 1);
    EXPECT_EQ(Read("[Style]\nHorJust=Right\n").m_nHorJust, 2);
    EXPECT_EQ(Read("[Style]\nHorJust=\n").m_nHorJust, 2);
    EXPECT_EQ(Read("[Style]\nHorJust=Centre\n").m_nHorJust, 2);
    EXPECT_EQ(Read("[Style]\nhorjust=left\n").m_nHorJust, 0);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(StyleTest, VerticalJustificationWords) {
    EXPECT_EQ(Read("[Style]\nVertJust=Top\n").m_nVertJust, 0);
    EXPECT_EQ(Read("[Style]\nVertJust=center\n").m_nVertJust, 1);
    EXPECT_EQ(Read("[Style]\nVertJust=Bottom\n").m_nVertJust, 2);
    EXPECT_EQ(Read("[Style]\nVertJust=Left\n").m_nVertJust, 2);
    EXPECT_EQ(Read("[Style]\nVERTJUST=TOP\n").m_nVertJust, 0);
}

TEST_F(StyleTest, EachRuleKeyReachesItsOwnEdge) {
    CStyle s = Read(
        "[Style]\n"
        "LineLeft=Single\nLineTop=Double\nLineRight=Thick\nLineBottom=Bogus\n"
        "BorderLeft=Thick\nBorderTop=\nBorderRight=Double\nBorderBottom=NONE\n");
    const std::array<LINES, 8> expected = {LINE_SINGLE, LINE_DOUBLE, LINE_THICK,  LINE_SINGLE,
                                           LINE_THICK,  LINE_SINGLE, LINE_DOUBLE, LINE_NONE};
    EXPECT_EQ(Rules(s), expected);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(StyleTest, LaterKeyWinsAndOrderIsFree) {
    CStyle s = Read("[Style]\nHorJust=Left\nLineTop=Thick\nLabel=First\nHorJust=Center\nLabel=Second\nLineTop=None\n");
    EXPECT_EQ(s.GetLabel(), "Second");
    EXPECT_EQ(s.m_nHorJust, 1);
    EXPECT_EQ(s.m_lineTop, LINE_NONE);
    EXPECT_EQ(Read("[Style]\nlabel=Mixed Case %d Label\n").GetLabel(), "Mixed Case %d Label");
}

TEST_F(StyleTest, ColorIsAcceptedAndIgnored) {
    CStyle s = Read("[Style]\nColor=255,0,0\nCOLOR=\n");
    EXPECT_EQ(s.m_crColor, RGB(192, 192, 192));
    EXPECT_TRUE(m_messages.empty());
}

// --- where a section ends ----------------------------------------------------

TEST_F(StyleTest, RegistryHeadingsEndTheSectionAndAreReadAgain) {
    for (const char* heading : {"[format]", "[TABLE]", "[Style]"}) {
        CStyle s = Read(std::string("[Style]\nLabel=A\n") + heading + "\nLabel=B\n");
        EXPECT_EQ(s.GetLabel(), "A");
        EXPECT_EQ(NextKey(), heading);
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(StyleTest, OtherHeadingIsReportedAndSkipped) {
    CStyle s = Read("[Style]\nLabel=A\n[Bogus]\nLabel=B\nHorJust=Left\n[Format]\nLabel=F\n");
    EXPECT_EQ(s.GetLabel(), "A");
    EXPECT_EQ(s.m_nHorJust, 2);  // the skipped section's keys are not this style's
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Invalid section heading at line 3:\n[Bogus]");
    EXPECT_EQ(NextKey(), "[Format]");
}

TEST_F(StyleTest, UnknownKeyIsReportedWithItsLineAndReadingGoesOn) {
    CStyle s = Read("[Style]\nLabel=A\nHorJust=Left\nFontSize=12\nVertJust=Top\n");
    EXPECT_EQ(s.m_nHorJust, 0);
    EXPECT_EQ(s.m_nVertJust, 0);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Unrecognized command at line 4:\nFontSize");
}

TEST_F(StyleTest, KeyIsShownVerbatimNotAsFormat) {
    Read("[Style]\n%d%s%n=1\nLabel=A\n");
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Unrecognized command at line 2:\n%d%s%n");
}

// --- writing -----------------------------------------------------------------

TEST_F(StyleTest, DefaultStyleSavesTwoLines) {
    const std::vector<Line> expected = {{"[Style]", ""}, {"Label", "Plain"}};
    EXPECT_EQ(Saved(CStyle(CKAVOString("Plain"))), expected);
    const std::vector<Line> unlabelled = {{"[Style]", ""}, {"Label", ""}};
    EXPECT_EQ(Saved(CStyle()), unlabelled);
}

TEST_F(StyleTest, ColourAndFontAreNeverWritten) {
    CStyle s(CKAVOString("F"));
    s.m_crColor = RGB(1, 1, 1);
    s.m_logFont.lfHeight = -20;
    s.m_nTwipsHeight = 300;
    EXPECT_EQ(Saved(s).size(), 2u);
}

TEST_F(StyleTest, JustificationWords) {
    CStyle s(CKAVOString("J"));
    s.m_nHorJust = 0;
    s.m_nVertJust = 1;
    const std::vector<Line> expected = {{"[Style]", ""}, {"Label", "J"}, {"HorJust", "Left"}, {"VertJust", "Center"}};
    EXPECT_EQ(Saved(s), expected);

    s.m_nHorJust = 1;
    s.m_nVertJust = 0;
    const std::vector<Line> expected2 = {{"[Style]", ""}, {"Label", "J"}, {"HorJust", "Center"}, {"VertJust", "Top"}};
    EXPECT_EQ(Saved(s), expected2);
}

TEST_F(StyleTest, RulesInFixedOrder) {
    CStyle s(CKAVOString("R"));
    s.m_lineBottom = LINE_THICK;
    s.m_lineLeft = LINE_SINGLE;
    const std::vector<Line> expected = {
        {"[Style]", ""}, {"Label", "R"}, {"LineLeft", "Single"}, {"LineBottom", "Thick"}};
    EXPECT_EQ(Saved(s), expected);

    s.m_borderTop = LINE_DOUBLE;
    s.m_borderBottom = LINE_SINGLE;
    s.m_lineTop = LINE_DOUBLE;
    const std::vector<Line> all = {{"[Style]", ""},           {"Label", "R"},
                                   {"LineLeft", "Single"},    {"LineTop", "Double"},
                                   {"LineBottom", "Thick"},   {"BorderTop", "Double"},
                                   {"BorderBottom", "Single"}};
    EXPECT_EQ(Saved(s), all);
}

TEST_F(StyleTest, SavedStyleReadsBackEqual) {
    const LINES kinds[] = {LINE_NONE, LINE_SINGLE, LINE_DOUBLE, LINE_THICK};
    for (int i = 0; i < 12; ++i) {
        CStyle s(CKAVOString(("S" + std::to_string(i)).c_str()));
        s.m_nHorJust = i % 3;
        s.m_nVertJust = (i / 3) % 3;
        LINES* rules[] = {&s.m_lineLeft,   &s.m_lineTop,   &s.m_lineRight,   &s.m_lineBottom,
                          &s.m_borderLeft, &s.m_borderTop, &s.m_borderRight, &s.m_borderBottom};
        for (int k = 0; k < 8; ++k) *rules[k] = kinds[(i * (k + 1) + k / 2) % 4];
        CSpecFile out;
        out.OpenTextWrite();
        s.Save(out);
        CStyle back = Read(out.GetText());
        ExpectSameFields(back, s);
    }
    EXPECT_TRUE(m_messages.empty());
}
