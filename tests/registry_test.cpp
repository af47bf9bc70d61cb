// The style registry: loading the head of a table file, lookups, fonts,
// the measuring surface and saving.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kavotbl/host/platform.h"
#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/style/registry.h"

using namespace kavo;

namespace {

const char* const kComponents[] = {"Table",       "Title",  "StubHead", "Footer", "Header",
                                   "ColumnGroup", "Column", "RowGroup", "Row"};

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

std::string SaveText(const CStyleRegistry& reg) {
    CSpecFile out;
    out.OpenTextWrite();
    reg.Save(out);
    return out.GetText();
}

void ExpectSameStyle(const CStyle& a, const CStyle& b) {
    auto fields = [](const CStyle& s) {
        return std::vector<int>{static_cast<int>(s.m_crColor), s.m_nHorJust, s.m_nVertJust, s.m_lineLeft,
                                s.m_lineTop, s.m_lineRight, s.m_lineBottom, s.m_borderLeft, s.m_borderTop,
                                s.m_borderRight, s.m_borderBottom};
    };
    EXPECT_EQ(a.m_strLabel, b.m_strLabel);
    EXPECT_EQ(fields(a), fields(b)) << a.m_strLabel.str();
}

void ExpectSameFormat(const CFormat& a, const CFormat& b) {
    EXPECT_EQ(a.m_strLabel, b.m_strLabel);
    EXPECT_EQ(a.m_nDecimals, b.m_nDecimals);
    EXPECT_EQ(a.m_strThousandSep, b.m_strThousandSep);
    EXPECT_EQ(a.m_strDecimalSep, b.m_strDecimalSep);
    EXPECT_EQ(a.m_strZeroRound, b.m_strZeroRound);
    EXPECT_EQ(a.m_strZeroMask, b.m_strZeroMask);
    EXPECT_EQ(a.m_bZeroBeforeDecimal, b.m_bZeroBeforeDecimal);
    EXPECT_EQ(a.m_bHidden, b.m_bHidden);
}

// A host surface whose compatible surfaces can be told apart, or fail.
class MemoryDC : public CDC {
public:
    std::unique_ptr<CDC> CreateCompatibleDC() const override { return std::make_unique<MemoryDC>(); }

protected:
    CSize OnGetTextExtent(const char*, int nCount) const override { return CSize(nCount * 3, 11); }
};

class HostDC : public CDC {
public:
    explicit HostDC(bool bFail) : m_bFail(bFail) {}
    std::unique_ptr<CDC> CreateCompatibleDC() const override {
        ++m_nCreated;
        if (m_bFail) return nullptr;
        return std::make_unique<MemoryDC>();
    }
    mutable int m_nCreated = 0;

protected:
    CSize OnGetTextExtent(const char*, int nCount) const override { return CSize(nCount, 1); }

private:
    bool m_bFail;
};

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_prevProfile = SetProfileSource([](const std::string&, const std::string&, std::string&) { return false; });
        m_prevHandler = SetMessageBoxHandler([this](const CKAVOString& strText, unsigned) {
            m_messages.push_back(strText.str());
            return IDOK;
        });
    }
    void TearDown() override {
        SetProfileSource(std::move(m_prevProfile));
        SetMessageBoxHandler(std::move(m_prevHandler));
    }

    void Load(CStyleRegistry& reg, const std::string& text) {
        m_file.OpenText(text);
        EXPECT_EQ(reg.Build(m_file), 1);
    }

    std::vector<std::string> StyleLabels(const CStyleRegistry& reg) {
        std::vector<std::string> labels;
        for (int i = 0; i < reg.GetNumStyles(); ++i) labels.push_back(reg.GetStyle(i)->GetLabel().str());
        return labels;
    }

    CSpecFile m_file;
    std::vector<std::string> m_messages;
    ProfileSource m_prevProfile;
    MessageBoxHandler m_prevHandler;
};

}  // namespace

// --- loading --------------------------------------------------------------------

TEST_F(RegistryTest, EmptyFileGivesDefaultsAndTheNineComponentStyles) {
    CStyleRegistry reg;
    Load(reg, "");
    std::vector<std::string> expected = {"Default"};
    expected.insert(expected.end(), std::begin(kComponents), std::end(kComponents));
    EXPECT_EQ(StyleLabels(reg), expected);
    ASSERT_EQ(reg.GetNumFormats(), 1);
    EXPECT_EQ(reg.GetFormat(0)->GetLabel(), "Default");
    for (int i = 0; i < reg.GetNumStyles(); ++i) {
        EXPECT_EQ(reg.GetStyle(i)->m_nHorJust, 2);
        EXPECT_EQ(reg.GetStyle(i)->m_lineTop, LINE_NONE);
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(RegistryTest, ComponentStylesFromTheFileAreNotDuplicated) {
    CStyleRegistry reg;
    Load(reg, "[Style]\nLabel=Column\nHorJust=Left\n[Style]\nLabel=row\n[Table]\n");
    const std::vector<std::string> expected = {"Default", "Column",   "row",    "Table",       "Title",
                                               "StubHead", "Footer", "Header", "ColumnGroup", "RowGroup"};
    EXPECT_EQ(StyleLabels(reg), expected);
    ASSERT_NE(reg.FindStyle(CKAVOString("COLUMN")), nullptr);
    EXPECT_EQ(reg.FindStyle(CKAVOString("COLUMN"))->m_nHorJust, 0);
}

TEST_F(RegistryTest, SectionsLoadInOrderAndTableIsLeftForTheCaller) {
    CStyleRegistry reg;
    Load(reg,
         "[Format]\nLabel=Money\nDecimals=2\n"
         "[Style]\nLabel=Bold\nVertJust=Top\n"
         "[Format]\nLabel=Pct\nDecimals=1\n"
         "[Table]\nName=T\n[Style]\nLabel=Late\n");
    ASSERT_EQ(reg.GetNumFormats(), 3);
    EXPECT_EQ(reg.GetFormat(1)->GetLabel(), "Money");
    EXPECT_EQ(reg.GetFormat(1)->m_nDecimals, 2);
    EXPECT_EQ(reg.GetFormat(2)->GetLabel(), "Pct");
    EXPECT_EQ(reg.GetStyle(1)->GetLabel(), "Bold");
    EXPECT_EQ(reg.GetStyle(1)->m_nVertJust, 0);
    EXPECT_EQ(reg.GetNumStyles(), 2 + 9);
    EXPECT_EQ(reg.FindStyle(CKAVOString("Late")), nullptr);  // after the table: not ours

    CKAVOString k, v;
    ASSERT_EQ(m_file.GetLine(k, v), 0);
    EXPECT_EQ(k, "[Table]");
    ASSERT_EQ(m_file.GetLine(k, v), 0);
    EXPECT_EQ(k, "Name");
}

TEST_F(RegistryTest, StrayLinesAndOtherSectionsAreSkippedSilently) {
    CStyleRegistry reg;
    Load(reg,
         "Version=4.1\nLabel=NotAStyle\n[Notes]\nHorJust=Left\nAnything=at all\n"
         "[Style]\nLabel=Real\n[Table]\n");
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(reg.GetNumStyles(), 2 + 9);
    EXPECT_EQ(reg.GetStyle(1)->GetLabel(), "Real");
    EXPECT_EQ(reg.FindStyle(CKAVOString("NotAStyle")), nullptr);
    EXPECT_EQ(reg.GetStyle(0)->m_nHorJust, 2);
}

TEST_F(RegistryTest, UnknownSectionInsideAStyleIsReportedBySectionReader) {
    CStyleRegistry reg;
    Load(reg, "[Style]\nLabel=A\n[Notes]\nx=1\n[Format]\nLabel=F\n");
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Invalid section heading at line 3:\n[Notes]");
    EXPECT_EQ(reg.GetStyle(1)->GetLabel(), "A");
    ASSERT_EQ(reg.GetNumFormats(), 2);
    EXPECT_EQ(reg.GetFormat(1)->GetLabel(), "F");
}

TEST_F(RegistryTest, FileEndingInsideASectionStillGetsComponents) {
    CStyleRegistry reg;
    Load(reg, "[Style]\nLabel=Last");
    EXPECT_EQ(reg.GetNumStyles(), 2 + 9);
    EXPECT_EQ(reg.GetStyle(1)->GetLabel(), "Last");
    EXPECT_EQ(reg.GetStyle(10)->GetLabel(), "Row");
}

// --- lookups ---------------------------------------------------------------------

TEST_F(RegistryTest, FirstMatchWinsCaseInsensitively) {
    CStyleRegistry reg;
    Load(reg, "[Style]\nLabel=Twin\nHorJust=Left\n[Style]\nLabel=TWIN\nHorJust=Center\n"
              "[Format]\nLabel=Cash\nDecimals=1\n[Format]\nLabel=cash\nDecimals=2\n");
    EXPECT_EQ(reg.GetNumStyles(), 3 + 9);
    EXPECT_EQ(reg.FindStyle(CKAVOString("twin")), reg.GetStyle(1));
    EXPECT_EQ(reg.FindStyle(CKAVOString("twin"))->m_nHorJust, 0);
    EXPECT_EQ(reg.FindFormat(CKAVOString("CASH")), reg.GetFormat(1));
    EXPECT_EQ(reg.FindFormat(CKAVOString("default")), reg.GetFormat(0));
    EXPECT_EQ(reg.FindStyle(CKAVOString("Twins")), nullptr);
    EXPECT_EQ(reg.FindFormat(CKAVOString("Cas")), nullptr);
}

TEST_F(RegistryTest, UnlabelledStyleIsFoundByEmptyName) {
    CStyleRegistry reg;
    EXPECT_EQ(reg.FindStyle(CKAVOString("")), nullptr);
    Load(reg, "[Style]\nLineTop=Single\n");
    CStyle* p = reg.FindStyle(CKAVOString(""));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p, reg.GetStyle(1));
    EXPECT_EQ(p->m_lineTop, LINE_SINGLE);
}

TEST_F(RegistryTest, FindByStringTableId) {
    CStyleRegistry reg;
    CStyle style(IDS_PICK_TABLES_TO_SAVE);
    CFormat format(IDS_PICK_TABLES_TO_PRINT);
    reg.RegisterStyle(&style);
    reg.RegisterFormat(&format);
    EXPECT_EQ(reg.FindStyle(IDS_PICK_TABLES_TO_SAVE), reg.GetStyle(0));
    EXPECT_EQ(reg.FindStyle(IDS_PICK_TABLES_TO_PRINT), nullptr);
    EXPECT_EQ(reg.FindFormat(IDS_PICK_TABLES_TO_PRINT), reg.GetFormat(0));
    EXPECT_EQ(reg.FindFormat(IDS_PICK_TABLES_TO_SAVE), nullptr);
}

// --- registering -----------------------------------------------------------------

TEST_F(RegistryTest, RegisteringKeepsACopy) {
    CStyleRegistry reg;
    CStyle style(CKAVOString("Mine"));
    style.m_nHorJust = 0;
    EXPECT_EQ(reg.RegisterStyle(&style), 0);
    EXPECT_EQ(reg.RegisterStyle(&style), 1);
    style.m_nHorJust = 1;
    style.m_strLabel = "Changed";
    EXPECT_NE(reg.GetStyle(0), &style);
    EXPECT_NE(reg.GetStyle(0), reg.GetStyle(1));
    EXPECT_EQ(reg.GetStyle(0)->GetLabel(), "Mine");
    EXPECT_EQ(reg.GetStyle(0)->m_nHorJust, 0);

    CFormat format(CKAVOString("F"));
    format.m_nDecimals = 2;
    EXPECT_EQ(reg.RegisterFormat(&format), 0);
    format.m_nDecimals = 5;
    EXPECT_EQ(reg.GetFormat(0)->m_nDecimals, 2);
    EXPECT_EQ(reg.GetNumStyles(), 2);
    EXPECT_EQ(reg.GetNumFormats(), 1);
}

TEST_F(RegistryTest, RegisteredStylesKeepTheirIndexAfterBuild) {
    CStyleRegistry reg;
    CStyle style(CKAVOString("Pre"));
    reg.RegisterStyle(&style);
    Load(reg, "");
    // Build appends: what was there stays at its index.
    EXPECT_EQ(reg.GetStyle(0)->GetLabel(), "Pre");
    EXPECT_EQ(reg.GetStyle(1)->GetLabel(), "Default");
    EXPECT_EQ(reg.GetNumStyles(), 2 + 9);
}

// --- fonts and the measuring surface -----------------------------------------------

TEST_F(RegistryTest, UpdateFontsGivesEveryStyleTheFont) {
    CStyleRegistry reg;
    Load(reg, "[Style]\nLabel=A\n");
    LOGFONT lf{};
    lf.lfHeight = -17;
    lf.lfWeight = 700;
    lf.lfItalic = 1;
    std::strcpy(lf.lfFaceName, "Sans");
    reg.UpdateFonts(&lf, 260);
    for (int i = 0; i < reg.GetNumStyles(); ++i) {
        const CStyle* p = reg.GetStyle(i);
        EXPECT_EQ(p->m_logFont.lfHeight, -17);
        EXPECT_EQ(p->m_logFont.lfWeight, 700);
        EXPECT_EQ(p->m_logFont.lfItalic, 1);
        EXPECT_STREQ(p->m_logFont.lfFaceName, "Sans");
        EXPECT_EQ(p->m_nTwipsHeight, 260);
    }
    reg.UpdateFonts(nullptr, 0);  // no font at all
    EXPECT_EQ(reg.GetStyle(3)->m_logFont.lfHeight, 0);
    EXPECT_EQ(reg.GetStyle(3)->m_logFont.lfFaceName[0], 0);
}

TEST_F(RegistryTest, StartsWithAFixedMetricsSurface) {
    CStyleRegistry reg;
    ASSERT_NE(reg.GetDC(), nullptr);
    ASSERT_NE(dynamic_cast<CRecordingDC*>(reg.GetDC()), nullptr);
    // Without a font: 8 units per byte, 16 per line.
    EXPECT_EQ(reg.GetDC()->GetTextExtent("abcd", 4), CSize(32, 16));
}

TEST_F(RegistryTest, MeasuringSurfaceKeepsNoRecord) {
    // The surface lives as long as the document; it must not pile up calls.
    CStyleRegistry reg;
    CRect rc(0, 0, 100, 100);
    reg.GetDC()->DrawText("text", 4, &rc, 0);
    reg.GetDC()->MoveTo(0, 0);
    reg.GetDC()->LineTo(5, 5);
    EXPECT_TRUE(static_cast<CRecordingDC*>(reg.GetDC())->GetCalls().empty());
    // Without a host surface the compatible one is again a recording surface.
    EXPECT_EQ(reg.CreateCompatibleDC(nullptr), 1);
    ASSERT_NE(dynamic_cast<CRecordingDC*>(reg.GetDC()), nullptr);
    reg.GetDC()->DrawText("text", 4, &rc, 0);
    EXPECT_TRUE(static_cast<CRecordingDC*>(reg.GetDC())->GetCalls().empty());
}

TEST_F(RegistryTest, CompatibleSurfaceIsMadeOnce) {
    CStyleRegistry reg;
    HostDC host(false), other(false);
    EXPECT_EQ(reg.CreateCompatibleDC(&host), 1);
    EXPECT_EQ(host.m_nCreated, 1);
    CDC* pFirst = reg.GetDC();
    ASSERT_NE(dynamic_cast<MemoryDC*>(pFirst), nullptr);
    EXPECT_EQ(pFirst->GetTextExtent("ab", 2), CSize(6, 11));

    EXPECT_EQ(reg.CreateCompatibleDC(&other), 1);
    EXPECT_EQ(other.m_nCreated, 0);
    EXPECT_EQ(reg.GetDC(), pFirst);
    EXPECT_EQ(reg.CreateCompatibleDC(nullptr), 1);
    EXPECT_EQ(reg.GetDC(), pFirst);
}

TEST_F(RegistryTest, FailedCompatibleSurfaceIsNotRetried) {
    CStyleRegistry reg;
    HostDC failing(true), good(false);
    EXPECT_EQ(reg.CreateCompatibleDC(&failing), 0);
    EXPECT_EQ(failing.m_nCreated, 1);
    ASSERT_NE(reg.GetDC(), nullptr);  // the first surface stays usable
    EXPECT_EQ(reg.GetDC()->GetTextExtent("abcd", 4), CSize(32, 16));
    EXPECT_EQ(reg.CreateCompatibleDC(&good), 1);
    EXPECT_EQ(good.m_nCreated, 0);
    EXPECT_EQ(failing.m_nCreated, 1);
}

// --- saving ------------------------------------------------------------------------

TEST_F(RegistryTest, SaveAfterEmptyFileWritesNineTwoLineStyles) {
    CStyleRegistry reg;
    Load(reg, "");
    std::vector<Line> expected;
    for (const char* label : kComponents) {
        expected.push_back({"[Style]", ""});
        expected.push_back({"Label", label});
    }
    EXPECT_EQ(ReadAllLines(SaveText(reg)), expected);
}

TEST_F(RegistryTest, SaveWritesStylesThenFormatsButNotTheDefaults) {
    CStyleRegistry reg;
    Load(reg, "[Format]\nLabel=Money\n[Style]\nLabel=Bold\n");
    const std::vector<Line> lines = ReadAllLines(SaveText(reg));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], (Line{"[Style]", ""}));
    EXPECT_EQ(lines[1], (Line{"Label", "Bold"}));
    EXPECT_EQ(lines[lines.size() - 2], (Line{"[Format]", ""}));
    EXPECT_EQ(lines.back(), (Line{"Label", "Money"}));
    for (const Line& l : lines) EXPECT_NE(l.value, "Default");
}

TEST_F(RegistryTest, RoundTripKeepsEveryStyleAndFormat) {
    const std::string head =
        "Version=KAVO4.1\n"
        "[Comment]\nText=made by hand\n"
        "[Style]\nLabel=Heading\nHorJust=Center\nVertJust=Top\nLineBottom=Double\nColor=1\n"
        "[Format]\nLabel=Money\nDecimals=2\nZeroMask=\nHidden=Y\nZeroRound=~\n"
        "[Style]\nLabel=column\nBorderLeft=Thick\nBorderBottom=Single\nLineTop=thick\n"
        "[Format]\nLabel=Pct\nThousandSep=\nDecimalSep=,\nZeroBeforeDecimal=No\nDecimals=-1\n"
        "[Style]\nHorJust=Left\n"
        "[Table]\nName=T\n";
    CStyleRegistry first;
    Load(first, head);
    EXPECT_TRUE(m_messages.empty());
    ASSERT_EQ(first.GetNumStyles(), 4 + 8);
    ASSERT_EQ(first.GetNumFormats(), 3);

    const std::string saved = SaveText(first);
    CStyleRegistry second;
    Load(second, saved);
    EXPECT_TRUE(m_messages.empty());
    ASSERT_EQ(second.GetNumStyles(), first.GetNumStyles());
    ASSERT_EQ(second.GetNumFormats(), first.GetNumFormats());
    for (int i = 0; i < first.GetNumStyles(); ++i) ExpectSameStyle(*second.GetStyle(i), *first.GetStyle(i));
    for (int i = 0; i < first.GetNumFormats(); ++i) ExpectSameFormat(*second.GetFormat(i), *first.GetFormat(i));

    // Deterministic: saving again, or saving what was read back, gives the same text.
    EXPECT_EQ(SaveText(first), saved);
    EXPECT_EQ(SaveText(second), saved);
}

TEST_F(RegistryTest, RunTimeClass) {
    CStyleRegistry reg;
    EXPECT_STREQ(reg.GetRuntimeClass()->m_lpszClassName, "CStyleRegistry");
    EXPECT_TRUE(reg.IsKindOf(KAVO_RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(reg.IsKindOf(KAVO_RUNTIME_CLASS(CStyle)));
}
