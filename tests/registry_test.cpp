// The style registry: loading the head of a table file, lookups, fonts,
// the measuring surface and saving.
#include "host_test_support.h"
#include "kavotbl/style/house_style.h"

using namespace kavo;
using namespace kavo_test;

// A host surface that counts the compatible surfaces asked of it, which may fail.
class HostDC : public CDC {
public:
    explicit HostDC(bool bFail = false) : m_bFail(bFail) {}
    std::unique_ptr<CDC> CreateCompatibleDC() const override {
        ++m_nCreated;
        return m_bFail ? nullptr : std::make_unique<HostDC>();
    }
    mutable int m_nCreated = 0;
    const bool m_bFail;
protected:
    CSize OnGetTextExtent(const char*, int nCount) const override { return CSize(nCount * 3, 11); }
};

class RegistryTest : public HostFixture {
protected:
    void Load(CStyleRegistry& reg, const std::string& text) {
        m_file.OpenText(text);
        EXPECT_EQ(reg.Build(m_file), 1);
    }
    static Strings Labels(const CStyleRegistry& r, bool bFormats = false) {
        Strings labels;
        for (int i = 0; i < (bFormats ? r.GetNumFormats() : r.GetNumStyles()); ++i)
            labels.push_back((bFormats ? r.GetFormat(i)->GetLabel() : r.GetStyle(i)->GetLabel()).str());
        return labels;
    }
};


TEST_F(RegistryTest, ComponentStylesSectionsInOrderUpToTheTableAndLookups) {
    CStyleRegistry reg, loaded, twins, ids;
    Load(reg, "");
    const Strings labels = Labels(reg);
    EXPECT_EQ(labels, (Strings{"Default", "Table", "Title", "StubHead", "Footer", "Header", "ColumnGroup",
                               "Column", "RowGroup", "Row"}));
    EXPECT_EQ(Labels(reg, true), Strings{"Default"});
    Lines saved;  // all but the defaults at index 0
    for (std::size_t i = 1; i < labels.size(); ++i)
        saved.insert(saved.end(), {{"[Style]", ""}, {"Label", labels[i]}});
    EXPECT_EQ(ReadLines(SavedText(reg)), saved);
    // Sections load in order up to the table.
    Load(loaded,
         "Version=4.1\nLabel=NotAStyle\n[Notes]\nHorJust=Left\n"  // not ours: skipped silently
         "[Format]\nLabel=Money\nDecimals=2\n[Style]\nLabel=Column\nVertJust=Top\n[Format]\nLabel=Pct\n"
         "[Style]\nLabel=row\n[Table]\nName=T\n[Style]\nLabel=Late\n");
    EXPECT_TRUE(m_messages.empty());
    // Component styles that the file has are not added again, whatever their case.
    EXPECT_EQ(Labels(loaded), (Strings{"Default", "Column", "row", "Table", "Title", "StubHead", "Footer",
                                       "Header", "ColumnGroup", "RowGroup"}));
    EXPECT_EQ(Labels(loaded, true), (Strings{"Default", "Money", "Pct"}));
    EXPECT_EQ(NextKey(), "[Table]");  // left for the table reader
    EXPECT_EQ(NextKey(), "Name");
    // Lookups take the first match, ignoring case.
    Load(twins, "[Style]\nLabel=Twin\n[Style]\nLabel=TWIN\n[Style]\nLineTop=Single\n"
                "[Format]\nLabel=Cash\n[Format]\nLabel=cash\n");
    EXPECT_EQ(twins.FindStyle(CKAVOString("twin")), twins.GetStyle(1));
    EXPECT_EQ(twins.FindStyle(CKAVOString("")), twins.GetStyle(3));  // an unlabelled style
    EXPECT_EQ(twins.FindFormat(CKAVOString("CASH")), twins.GetFormat(1));
    EXPECT_EQ(twins.FindFormat(CKAVOString("default")), twins.GetFormat(0));
    EXPECT_EQ(twins.FindStyle(CKAVOString("Twins")), nullptr);
    // By the label of a string-table entry, on a copy that the registry keeps at its index.
    CFormat format(IDS_PICK_TABLES_TO_PRINT);
    EXPECT_EQ(ids.RegisterFormat(&format), 0);
    format.m_strLabel = "Changed";
    EXPECT_EQ(ids.FindFormat(IDS_PICK_TABLES_TO_PRINT), ids.GetFormat(0));
    EXPECT_EQ(ids.FindStyle(IDS_PICK_TABLES_TO_PRINT), nullptr);
}

TEST_F(RegistryTest, MeasuringSurfaceKeepsNoRecordAndIsMadeOnce) {
    // The surface lives as long as the document; it must not pile up calls.
    CStyleRegistry reg, other, third;
    auto recorded = [](CDC* pDC) {
        auto* pRec = dynamic_cast<CRecordingDC*>(pDC);
        CRect rc(0, 0, 100, 100);
        return pRec ? (pRec->DrawText("text", 4, &rc, 0), pRec->GetCalls().size()) : 99u;
    };
    EXPECT_EQ(recorded(reg.GetDC()), 0u);
    EXPECT_EQ(reg.CreateCompatibleDC(nullptr), 1);  // without a host: a recording surface again
    EXPECT_EQ(recorded(reg.GetDC()), 0u);
    CDC* pMade = reg.GetDC();
    HostDC host, failing(true);
    EXPECT_EQ(reg.CreateCompatibleDC(&host), 1);  // made already
    EXPECT_EQ(reg.GetDC(), pMade);
    EXPECT_EQ(other.CreateCompatibleDC(&host), 1);
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
        "[Style]\nLabel=Note\nFontFace=Serif\nFontSize=8\nFontItalic=Y\nFontBold=n\n"
        "[Table]\nName=T\n";
    CStyleRegistry first, second;
    Load(first, head);
    const std::string saved = SavedText(first);
    EXPECT_LT(saved.rfind("[Style]"), saved.find("[Format]"));  // styles first, then formats
    Load(second, saved);
    EXPECT_TRUE(m_messages.empty());
    ASSERT_EQ(Labels(second), Labels(first));
    ASSERT_EQ(Labels(second, true), (Strings{"Default", "Money", "Pct"}));
    for (int i = 0; i < first.GetNumStyles(); ++i)
        EXPECT_EQ(Fields(*second.GetStyle(i)), Fields(*first.GetStyle(i)));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Fields(*second.GetFormat(i)), Fields(*first.GetFormat(i)));
    EXPECT_EQ(SavedText(second), saved);  // deterministic
}

TEST_F(RegistryTest, HouseStyleFillsOnlyUnstyledElementsAndIsNotSaved) {
    const std::string head = "[Style]\nLabel=Column\nHorJust=Left\n[Style]\nLabel=Title\n[Style]\nLabel=Bold\n"
                             "FontBold=Yes\n[Table]\n";
    CStyleRegistry reg;
    Load(reg, head);
    const std::string before = SavedText(reg);
    EXPECT_EQ(ApplyHouseStyle(reg), 8);  // every element style but the styled "Column"
    EXPECT_EQ(ApplyHouseStyle(reg), 0);  // a second call finds nothing left to fill
    const auto get = [&](const char* l) { return *reg.FindStyle(CKAVOString(l)); };
    EXPECT_EQ(get("Column").m_nHorJust, 0);  // the file's own
    EXPECT_EQ(get("Title").m_nHorJust, 0);   // written empty: filled
    EXPECT_EQ(get("Title").m_nFontBold, 1);
    EXPECT_EQ(get("StubHead").m_nHorJust, 0);
    EXPECT_EQ(get("Row").m_nHorJust, 0);
    EXPECT_EQ(get("RowGroup").m_nHorJust, 0);
    EXPECT_EQ(get("ColumnGroup").m_nHorJust, 1);
    EXPECT_EQ(get("ColumnGroup").m_lineBottom, LINE_SINGLE);
    EXPECT_EQ(get("Table").m_borderBottom, LINE_SINGLE);
    EXPECT_EQ(get("Default").m_nHorJust, 2);  // cells stay right-aligned
    // Saving writes the file's styles as loaded; asked to, the house style.
    EXPECT_EQ(SavedText(reg), before);
    CSpecFile out;
    out.OpenTextWrite();
    reg.Save(out, 1);
    EXPECT_NE(out.GetText().find("Label=ColumnGroup\nHorJust=Center\nLineBottom=Single\n"), std::string::npos);

    // A style sheet replaces what it names and adds what is missing; fonts
    // given by the host stay until they are given again.
    CStyleRegistry sheet, target;
    Load(sheet, "[Style]\nLabel=title\nHorJust=Center\nFontSize=14\n[Style]\nLabel=Extra\n[Table]\n");
    Load(target, head);
    LOGFONT lf;
    lf.lfHeight = -13;
    target.UpdateStyleFonts(&lf, 200);
    EXPECT_EQ(target.FindStyle(CKAVOString("Bold"))->m_logFont.lfWeight, FW_BOLD);
    EXPECT_EQ(TakeStyleSheet(target, sheet), sheet.GetNumStyles() - 1);
    const CStyle& title = *target.FindStyle(CKAVOString("Title"));
    EXPECT_EQ(title.GetLabel(), "Title");
    EXPECT_EQ(title.m_nHorJust, 1);
    EXPECT_EQ(title.m_logFont.lfHeight, -13);
    target.UpdateStyleFonts(&lf, 200);
    EXPECT_EQ(title.m_logFont.lfHeight, -19);
    EXPECT_EQ(title.m_nTwipsHeight, 280);
    EXPECT_NE(target.FindStyle(CKAVOString("Extra")), nullptr);
}
