// Styles: defaults, the [Style] reader and writer.
#include "host_test_support.h"

using namespace kavo;
using namespace kavo_test;

using StyleTest = HostFixture;

// The defaults of a new style, field by field: grey, right, bottom, no rules.
static CStyle Defaults(const CKAVOString& strLabel = "") {
    CStyle s;
    s.m_strLabel = strLabel, s.m_crColor = RGB(192, 192, 192), s.m_nHorJust = s.m_nVertJust = 2;
    s.m_lineLeft = s.m_lineTop = s.m_lineRight = s.m_lineBottom = LINE_NONE;
    s.m_borderLeft = s.m_borderTop = s.m_borderRight = s.m_borderBottom = LINE_NONE;
    return s;
}


TEST_F(StyleTest, NewAndRebuiltStylesHaveDefaultsAndNoFont) {
    const LOGFONT zero{};
    const std::pair<CStyle, CKAVOString> styles[] = {
        {CStyle(CKAVOString("Body")), "Body"},
        {CStyle(IDS_UNRECOGNIZED_COMMAND), LoadKAVOString(IDS_UNRECOGNIZED_COMMAND)},
        {CStyle(4321), ""},
    };
    for (const auto& s : styles) {
        EXPECT_EQ(Fields(s.first), Fields(Defaults(s.second)));
        EXPECT_EQ(s.first.m_nTwipsHeight, 0);
        EXPECT_EQ(std::memcmp(&s.first.m_logFont, &zero, sizeof zero), 0);
    }
    // Build starts from the defaults but keeps the font record apart from its height.
    CStyle s(CKAVOString("A"));
    s.m_nHorJust = s.m_nVertJust = 1, s.m_crColor = RGB(1, 2, 3), s.m_lineTop = s.m_borderRight = LINE_THICK;
    s.m_nTwipsHeight = 240, s.m_logFont.lfHeight = -13, s.m_logFont.lfWeight = 700;
    m_file.OpenText("Label=New\n");
    EXPECT_EQ(s.Build(m_file), 1);
    EXPECT_EQ(Fields(s), Fields(Defaults("New")));
    EXPECT_EQ(s.m_nTwipsHeight, 0);
    EXPECT_EQ(s.m_logFont.lfHeight, 0);    // no font any more ...
    EXPECT_EQ(s.m_logFont.lfWeight, 700);  // ... but the rest of the record stays
    s.m_nVertJust = 0;
    EXPECT_EQ((m_file.OpenText(""), s.Build(m_file)), 1);  // at end of file at once: defaults only
    EXPECT_EQ(Fields(s), Fields(Defaults()));
}

TEST_F(StyleTest, ReadingAndSavingTheSection) {
    // Each body, and how it changes the defaults.
    const std::pair<const char*, std::function<void(CStyle&)>> cases[] = {
        {"label=Mixed Case %d Label", [](CStyle& s) { s.m_strLabel = "Mixed Case %d Label"; }},
        {"HorJust=Left", [](CStyle& s) { s.m_nHorJust = 0; }},
        {"HorJust=cEnTeR", [](CStyle& s) { s.m_nHorJust = 1; }},
        {"VERTJUST=TOP", [](CStyle& s) { s.m_nVertJust = 0; }},
        {"VertJust=center", [](CStyle& s) { s.m_nVertJust = 1; }},
        // Unknown words, and the other axis's words, give right and bottom; the colour is ignored.
        {"HorJust=Left\nHorJust=Centre\nVertJust=Top\nVertJust=Left", [](CStyle&) {}},
        {"HorJust=Left\nHorJust=\nVertJust=Top\nVertJust=Bottom\nColor=255,0,0", [](CStyle&) {}},
        // "None", "Thick" and "Double" in any case; anything else is a single rule.
        {"LineLeft=Single\nLineTop=DoUbLe\nLineRight=thick\nLineBottom=Bogus\n"
         "BorderLeft=Thick\nBorderTop=\nBorderRight=Double\nBorderBottom=NONE\nLineBottom=Non",
         [](CStyle& s) {
             s.m_lineLeft = s.m_lineBottom = s.m_borderTop = LINE_SINGLE;
             s.m_lineTop = s.m_borderRight = LINE_DOUBLE, s.m_lineRight = s.m_borderLeft = LINE_THICK;
         }},
    };
    for (const auto& c : cases) {
        CStyle want = Defaults();
        c.second(want);
        SCOPED_TRACE(c.first);
        EXPECT_EQ(Fields(ReadSection<CStyle>(std::string("[Style]\n") + c.first + "\n")), Fields(want));
    }
    // Values no keyword knows, and keys given twice, are taken as before and reported.
    ASSERT_FALSE(m_messages.empty());
    EXPECT_EQ(m_messages.front(), "line 3: HorJust=Centre is not one of Left, Center, Right; taken as Right");
    m_messages.clear();
    // Headings of the registry end the section and are read again; they are no error.
    for (const char* heading : {"[format]", "[TABLE]", "[Style]"}) {
        EXPECT_EQ(ReadSection<CStyle>("[Style]\nLabel=A\n" + std::string(heading)).GetLabel(), "A");
        EXPECT_EQ(NextKey(), heading);  // read again one level up
    }
    EXPECT_TRUE(m_messages.empty());
    // Another heading is reported and its section skipped; its keys are not this style's.
    const CStyle skipped = ReadSection<CStyle>("[Style]\nLabel=A\n[Bogus]\nHorJust=Left\n[Format]\n");
    EXPECT_EQ(Fields(skipped), Fields(Defaults("A")));
    EXPECT_EQ(NextKey(), "[Format]");
    // An unknown key is reported verbatim, and reading goes on.
    EXPECT_EQ(ReadSection<CStyle>("[Style]\nLabel=A\n%d%s%n=12\nHorJust=Left\n").m_nHorJust, 0);
    EXPECT_EQ(m_messages, (Strings{"Invalid section heading at line 3:\n[Bogus]",
                                   "Unrecognized command at line 3:\n%d%s%n"}));
    // Save leaves out defaults and writes the rules in a fixed order.
    EXPECT_EQ(ReadLines(SavedText(CStyle())), (Lines{{"[Style]", ""}, {"Label", ""}}));
    CStyle s(CKAVOString("R"));
    // Colour and font are never written.
    s.m_crColor = RGB(1, 1, 1), s.m_logFont.lfHeight = -20, s.m_nTwipsHeight = 300, s.m_nHorJust = 0;
    s.m_nVertJust = 1, s.m_lineBottom = LINE_THICK, s.m_lineLeft = s.m_borderBottom = LINE_SINGLE;
    s.m_lineTop = s.m_borderTop = LINE_DOUBLE;
    const Lines all = {{"[Style]", ""},         {"Label", "R"},          {"HorJust", "Left"},
                       {"VertJust", "Center"},  {"LineLeft", "Single"},  {"LineTop", "Double"},
                       {"LineBottom", "Thick"}, {"BorderTop", "Double"}, {"BorderBottom", "Single"}};
    EXPECT_EQ(ReadLines(SavedText(s)), all);
}

TEST_F(StyleTest, OwnFontKeysReadWrittenAndPutOverTheHostFont) {
    CStyle s = ReadSection<CStyle>(
        "[Style]\nLabel=T\nfontface=Serif Pro\nFontSize=12.5\nFontBold=yes\nFontItalic=No\nLineTop=Single\n");
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(s.m_strFontFace, "Serif Pro");
    EXPECT_EQ(s.m_nFontSize, 125);
    EXPECT_EQ(s.m_nFontBold, 1);
    EXPECT_EQ(s.m_nFontItalic, 0);
    EXPECT_FALSE(s.IsAtDefaults());
    // Written after the rules, in a fixed order, and read back the same.
    EXPECT_EQ(ReadLines(SavedText(s)), (Lines{{"[Style]", ""}, {"Label", "T"}, {"LineTop", "Single"},
                                              {"FontFace", "Serif Pro"}, {"FontSize", "12.5"},
                                              {"FontBold", "Yes"}, {"FontItalic", "No"}}));
    // Sizes out of range or not numbers leave the host's size.
    for (const char* bad : {"0", "1001", "12pt", "", "-3", ".5"})
        EXPECT_EQ(ReadSection<CStyle>(std::string("[Style]\nFontSize=") + bad + "\n").m_nFontSize, 0) << bad;
    EXPECT_EQ(ReadSection<CStyle>("[Style]\nFontSize=9.96\n").m_nFontSize, 100);
    // Over a host font of 10 pt (-13 px, 200 twips): face, weight, slant and an absolute size.
    LOGFONT lf;
    lf.lfHeight = -13, lf.lfWeight = FW_NORMAL, lf.lfItalic = 1;
    std::strcpy(lf.lfFaceName, "Sans");
    s.ApplyOwnFont(lf, 200, 96);
    EXPECT_STREQ(s.m_logFont.lfFaceName, "Serif Pro");
    EXPECT_EQ(s.m_logFont.lfHeight, -17);  // 12.5 pt at 96 per inch
    EXPECT_EQ(s.m_nTwipsHeight, 250);
    EXPECT_EQ(s.m_logFont.lfWeight, FW_BOLD);
    EXPECT_EQ(s.m_logFont.lfItalic, 0);
    CStyle plain(CKAVOString("P"));
    plain.m_nFontBold = 1;
    plain.ApplyOwnFont(lf, 200, 96);  // only the weight is its own
    EXPECT_STREQ(plain.m_logFont.lfFaceName, "Sans");
    EXPECT_EQ(plain.m_logFont.lfHeight, -13);
    EXPECT_EQ(plain.m_nTwipsHeight, 200);
    EXPECT_EQ(plain.m_logFont.lfItalic, 1);
}
