// The style registry: loading the head of a table file, lookups, fonts,
// the measuring surface and saving.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host_test_support.h"
#include "kavotbl/host/recording_dc.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/style/registry.h"

using namespace kavo;
using kavo_test::Fields;
using kavo_test::Lines;
using kavo_test::ReadLines;
using kavo_test::SavedText;
using Strings = std::vector<std::string>;

namespace {

// A host surface that counts the compatible surfaces asked of it, which may fail.
class HostDC : public CDC {
public:
    explicit HostDC(bool bFail = false) : m_bFail(bFail) {}
    std::unique_ptr<CDC> CreateCompatibleDC() const override {
        ++m_nCreated;
        return m_bFail ? nullptr : std::make_unique<HostDC>();
    }
    mutable int m_nCreated = 0;

protected:
    CSize OnGetTextExtent(const char*, int nCount) const override { return CSize(nCount * 3, 11); }

private:
    bool m_bFail;
};

class RegistryTest : public kavo_test::HostFixture {
protected:
    void Load(CStyleRegistry& reg, const std::string& text) {
        m_file.OpenText(text);
        EXPECT_EQ(reg.Build(m_file), 1);
    }
    template <class F>
    static Strings Labels(int n, F get) {
        Strings labels;
        for (int i = 0; i < n; ++i) labels.push_back(get(i)->GetLabel().str());
        return labels;
    }
    static Strings StyleLabels(const CStyleRegistry& r) { return Labels(r.GetNumStyles(), [&](int i) { return r.GetStyle(i); }); }
    static Strings FormatLabels(const CStyleRegistry& r) { return Labels(r.GetNumFormats(), [&](int i) { return r.GetFormat(i); }); }
};

}  // namespace

TEST_F(RegistryTest, EmptyFileGivesTheDefaultsAndNineComponentStylesThatAreSaved) {
    CStyleRegistry reg;
    Load(reg, "");
    const Strings components = {"Table", "Title", "StubHead", "Footer", "Header", "ColumnGroup", "Column", "RowGroup", "Row"};
    Strings want = {"Default"};
    want.insert(want.end(), components.begin(), components.end());
    EXPECT_EQ(StyleLabels(reg), want);
    EXPECT_EQ(FormatLabels(reg), Strings{"Default"});
    Lines saved;  // all but the defaults at index 0
    for (const std::string& label : components) saved.insert(saved.end(), {{"[Style]", ""}, {"Label", label}});
    EXPECT_EQ(ReadLines(SavedText(reg)), saved);
}

TEST_F(RegistryTest, SectionsLoadInOrderUpToTheTable) {
    CStyleRegistry reg;
    Load(reg,
         "Version=4.1\nLabel=NotAStyle\n[Notes]\nHorJust=Left\n"  // not ours: skipped silently
         "[Format]\nLabel=Money\nDecimals=2\n[Style]\nLabel=Column\nVertJust=Top\n[Format]\nLabel=Pct\n"
         "[Style]\nLabel=row\n[Table]\nName=T\n[Style]\nLabel=Late\n");
    EXPECT_TRUE(m_messages.empty());
    // Component styles that the file has are not added again, whatever their case.
    const Strings want = {"Default", "Column", "row", "Table", "Title", "StubHead", "Footer", "Header", "ColumnGroup", "RowGroup"};
    EXPECT_EQ(StyleLabels(reg), want);
    EXPECT_EQ(reg.GetStyle(1)->m_nVertJust, 0);
    EXPECT_EQ(FormatLabels(reg), (Strings{"Default", "Money", "Pct"}));
    EXPECT_EQ(reg.GetFormat(1)->m_nDecimals, 2);
    EXPECT_EQ(NextKey(), "[Table]");  // left for the table reader
    EXPECT_EQ(NextKey(), "Name");
    // The section readers report, and a file may end inside a section.
    CStyleRegistry other;
    Load(other, "[Style]\nLabel=A\n[Notes]\nx=1\n[Format]\nLabel=F\n[Style]\nLabel=Last");
    EXPECT_EQ(m_messages, Strings{"Invalid section heading at line 3:\n[Notes]"});
    EXPECT_EQ(StyleLabels(other)[2], "Last");
    EXPECT_EQ(StyleLabels(other).back(), "Row");
    EXPECT_EQ(FormatLabels(other), (Strings{"Default", "F"}));
}

TEST_F(RegistryTest, LookupsTakeTheFirstMatchIgnoringCase) {
    CStyleRegistry reg;
    EXPECT_EQ(reg.FindStyle(CKAVOString("")), nullptr);
    Load(reg, "[Style]\nLabel=Twin\n[Style]\nLabel=TWIN\n[Style]\nLineTop=Single\n[Format]\nLabel=Cash\n[Format]\nLabel=cash\n");
    EXPECT_EQ(reg.FindStyle(CKAVOString("twin")), reg.GetStyle(1));
    EXPECT_EQ(reg.FindStyle(CKAVOString("")), reg.GetStyle(3));  // an unlabelled style
    EXPECT_EQ(reg.FindFormat(CKAVOString("CASH")), reg.GetFormat(1));
    EXPECT_EQ(reg.FindFormat(CKAVOString("default")), reg.GetFormat(0));
    EXPECT_EQ(reg.FindStyle(CKAVOString("Twins")), nullptr);
    EXPECT_EQ(reg.FindFormat(CKAVOString("Cas")), nullptr);
    // By the label of a string-table entry; registered objects are copies and keep their index.
    CStyleRegistry ids;
    CStyle style(IDS_PICK_TABLES_TO_SAVE);
    CFormat format(IDS_PICK_TABLES_TO_PRINT);
    EXPECT_EQ(ids.RegisterStyle(&style), 0);
    EXPECT_EQ(ids.RegisterFormat(&format), 0);
    style.m_strLabel = format.m_strLabel = "Changed";
    EXPECT_EQ(ids.FindStyle(IDS_PICK_TABLES_TO_SAVE), ids.GetStyle(0));
    EXPECT_EQ(ids.FindStyle(IDS_PICK_TABLES_TO_PRINT), nullptr);
    EXPECT_EQ(ids.FindFormat(IDS_PICK_TABLES_TO_PRINT), ids.GetFormat(0));
    EXPECT_EQ(ids.FindFormat(IDS_PICK_TABLES_TO_SAVE), nullptr);
    EXPECT_EQ(ids.RegisterStyle(&style), 1);
    EXPECT_NE(ids.GetStyle(0), ids.GetStyle(1));
    Load(ids, "");  // Build appends
    EXPECT_EQ(StyleLabels(ids)[2], "Default");
    EXPECT_EQ(FormatLabels(ids), (Strings{LoadKAVOString(IDS_PICK_TABLES_TO_PRINT).str(), "Default"}));
}

TEST_F(RegistryTest, UpdateFontsGivesEveryStyleTheFontOrNone) {
    CStyleRegistry reg;
    Load(reg, "[Style]\nLabel=A\n");
    LOGFONT lf{};
    lf.lfHeight = -17;
    std::strcpy(lf.lfFaceName, "Sans");
    reg.UpdateFonts(&lf, 260);
    reg.UpdateFonts(nullptr, 0);  // no font at all: a zeroed record
    const LOGFONT zero{};
    for (int i = 0; i < reg.GetNumStyles(); ++i) EXPECT_EQ(std::memcmp(&reg.GetStyle(i)->m_logFont, &zero, sizeof zero), 0) << i;
}

TEST_F(RegistryTest, MeasuringSurfaceKeepsNoRecordAndIsMadeOnce) {
    // The surface lives as long as the document; it must not pile up calls.
    CStyleRegistry reg;
    EXPECT_EQ(reg.GetDC()->GetTextExtent("abcd", 4), CSize(4 * 8, 16));  // fixed metrics without a font
    CRect rc(0, 0, 100, 100);
    for (int round = 0; round < 2; ++round) {
        auto* pRec = dynamic_cast<CRecordingDC*>(reg.GetDC());
        ASSERT_NE(pRec, nullptr);
        pRec->DrawText("text", 4, &rc, 0);
        EXPECT_TRUE(pRec->GetCalls().empty());
        // Without a host surface the compatible one is again a recording surface.
        if (round == 0) {
            EXPECT_EQ(reg.CreateCompatibleDC(nullptr), 1);
        }
    }
    CDC* pMade = reg.GetDC();
    HostDC host, failing(true);
    EXPECT_EQ(reg.CreateCompatibleDC(&host), 1);  // made already
    EXPECT_EQ(reg.GetDC(), pMade);
    CStyleRegistry other, third;
    EXPECT_EQ(other.CreateCompatibleDC(&host), 1);
    EXPECT_EQ(host.m_nCreated, 1);
    EXPECT_EQ(other.GetDC()->GetTextExtent("ab", 2), CSize(2 * 3, 11));
    // A failed attempt keeps the first surface and is not repeated.
    EXPECT_EQ(third.CreateCompatibleDC(&failing), 0);
    EXPECT_EQ(third.GetDC()->GetTextExtent("abcd", 4), CSize(4 * 8, 16));
    EXPECT_EQ(third.CreateCompatibleDC(&host), 1);
    EXPECT_EQ(host.m_nCreated + failing.m_nCreated, 2);
}

TEST_F(RegistryTest, RoundTripKeepsEveryStyleAndFormat) {
    const std::string head =
        "Version=KAVO4.1\n[Comment]\nText=made by hand\n"
        "[Style]\nLabel=Heading\nHorJust=Center\nVertJust=Top\nLineBottom=Double\nColor=1\n"
        "[Format]\nLabel=Money\nDecimals=2\nZeroMask=\nHidden=Y\nZeroRound=~\n"
        "[Style]\nLabel=column\nBorderLeft=Thick\nBorderBottom=Single\nLineTop=thick\nLineLeft=Double\n"
        "[Format]\nLabel=Pct\nThousandSep=\nDecimalSep=,\nZeroBeforeDecimal=No\nDecimals=-1\n"
        "[Style]\nHorJust=Left\nVertJust=Center\nLineRight=Single\nBorderTop=Double\nBorderRight=Thick\n"
        "[Table]\nName=T\n";
    CStyleRegistry first;
    Load(first, head);
    ASSERT_EQ(first.GetNumStyles(), 4 + 8);
    ASSERT_EQ(first.GetNumFormats(), 3);
    const std::string saved = SavedText(first);
    const Lines lines = ReadLines(saved);  // styles first, then formats
    EXPECT_EQ(lines[1], (kavo_test::Line{"Label", "Heading"}));
    EXPECT_EQ(lines[lines.size() - 5], (kavo_test::Line{"Label", "Pct"}));
    CStyleRegistry second;
    Load(second, saved);
    EXPECT_TRUE(m_messages.empty());
    ASSERT_EQ(second.GetNumStyles(), first.GetNumStyles());
    ASSERT_EQ(second.GetNumFormats(), first.GetNumFormats());
    for (int i = 0; i < first.GetNumStyles(); ++i) EXPECT_EQ(Fields(*second.GetStyle(i)), Fields(*first.GetStyle(i)));
    for (int i = 0; i < first.GetNumFormats(); ++i) EXPECT_EQ(Fields(*second.GetFormat(i)), Fields(*first.GetFormat(i)));
    EXPECT_EQ(SavedText(second), saved);  // deterministic
}
