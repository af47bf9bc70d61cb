// The registry of a document's styles and number formats.
#include "kavotbl/style/registry.h"

#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/resources/strings.h"

namespace kavo {

KAVO_IMPLEMENT_DYNAMIC(CStyleRegistry, CObject)

namespace {

// One style per kind of table element, in the order they are appended.
const char* const kComponentLabels[] = {"Table",  "Title",       "StubHead", "Footer", "Header",
                                        "ColumnGroup", "Column", "RowGroup", "Row"};

// The registry only measures on its surfaces; a recording surface would keep
// every font selection of every layout pass.
void StopRecording(CDC* pDC) {
    if (auto* pRec = dynamic_cast<CRecordingDC*>(pDC)) pRec->SetRecording(false);
}

}  // namespace

CStyleRegistry::CStyleRegistry() : m_pDC(new CRecordingDC()), m_bDCCreated(0) { StopRecording(m_pDC); }

CStyleRegistry::~CStyleRegistry() {
    RemoveAllStyles();
    RemoveAllFormats();
    delete m_pDC;
}

int CStyleRegistry::CreateCompatibleDC(CDC* pDC) {
    if (m_bDCCreated) return 1;
    // Set before trying, so that a failed attempt is not repeated.
    m_bDCCreated = 1;
    std::unique_ptr<CDC> pMem = pDC ? pDC->CreateCompatibleDC() : std::make_unique<CRecordingDC>();
    if (!pMem) return 0;
    StopRecording(pMem.get());
    delete m_pDC;
    m_pDC = pMem.release();
    return 1;
}

int CStyleRegistry::RegisterStyle(CStyle* pStyle) {
    if (!pStyle) return -1;
    return m_styles.Add(new CStyle(*pStyle));
}

int CStyleRegistry::RegisterFormat(CFormat* pFormat) {
    if (!pFormat) return -1;
    return m_formats.Add(new CFormat(*pFormat));
}

CStyle* CStyleRegistry::FindStyle(const CKAVOString& strLabel) const {
    for (CStyle* pStyle : m_styles)
        if (pStyle->GetLabel().CompareNoCase(strLabel) == 0) return pStyle;
    return nullptr;
}

CStyle* CStyleRegistry::FindStyle(int nStringID) const {
    return FindStyle(LoadKAVOString(static_cast<unsigned>(nStringID)));
}

CFormat* CStyleRegistry::FindFormat(const CKAVOString& strLabel) const {
    for (CFormat* pFormat : m_formats)
        if (pFormat->GetLabel().CompareNoCase(strLabel) == 0) return pFormat;
    return nullptr;
}

CFormat* CStyleRegistry::FindFormat(int nStringID) const {
    return FindFormat(LoadKAVOString(static_cast<unsigned>(nStringID)));
}

void CStyleRegistry::UpdateFonts(const LOGFONT* pLogFont, int nTwipsHeight) {
    // A null record means "no font": every style gets a zeroed record.
    const LOGFONT lfNone{};
    const LOGFONT& lf = pLogFont ? *pLogFont : lfNone;
    for (CStyle* pStyle : m_styles) {
        pStyle->m_logFont = lf;
        pStyle->m_nTwipsHeight = nTwipsHeight;
    }
}

void CStyleRegistry::UpdateStyleFonts(const LOGFONT* pLogFont, int nTwipsHeight, int nLogPixelsY) {
    UpdateFonts(pLogFont, nTwipsHeight);
    for (CStyle* pStyle : m_styles)
        if (pStyle->HasOwnFont()) pStyle->ApplyOwnFont(pStyle->m_logFont, nTwipsHeight, nLogPixelsY);
}

int CStyleRegistry::Build(CSpecFile& file) {
    m_styles.Add(new CStyle(CKAVOString("Default")));
    m_formats.Add(new CFormat(CKAVOString("Default")));

    int nResult = 1;
    CKAVOString strKey, strValue;
    while (file.GetLine(strKey, strValue) == 0) {
        if (strKey.CompareNoCase("[Style]") == 0) {
            auto* pStyle = new CStyle();
            nResult |= pStyle->Build(file);
            m_styles.Add(pStyle);
        } else if (strKey.CompareNoCase("[Format]") == 0) {
            auto* pFormat = new CFormat();
            nResult |= pFormat->Build(file);
            m_formats.Add(pFormat);
        } else if (strKey.CompareNoCase("[Table]") == 0) {
            file.UngetLine();
            break;
        }
        // Anything else ahead of the first table is not ours: skipped silently.
    }

    for (const char* pszLabel : kComponentLabels) {
        const CKAVOString strLabel(pszLabel);
        if (!FindStyle(strLabel)) m_styles.Add(new CStyle(strLabel));
    }
    return nResult;
}

int CStyleRegistry::InitDefaults() {
    const CKAVOString strDefault("Default");
    if (m_styles.IsEmpty() || m_styles[0]->GetLabel().Compare(strDefault) != 0)
        m_styles.InsertAt(0, new CStyle(strDefault));
    if (m_formats.IsEmpty() || m_formats[0]->GetLabel().Compare(strDefault) != 0)
        m_formats.InsertAt(0, new CFormat(strDefault));
    for (const char* pszLabel : kComponentLabels) {
        const CKAVOString strLabel(pszLabel);
        if (!FindStyle(strLabel)) m_styles.Add(new CStyle(strLabel));
    }
    return 1;
}

void CStyleRegistry::Save(CSpecFile& file, int bHouseStyle) const {
    for (int i = 1; i < m_styles.GetSize(); ++i) m_styles[i]->Save(file, bHouseStyle);
    for (int i = 1; i < m_formats.GetSize(); ++i) m_formats[i]->Save(file);
}

void CStyleRegistry::RemoveStyleAt(int i) {
    CStyle* pStyle = m_styles[i];
    m_styles.RemoveAt(i);
    delete pStyle;
}

void CStyleRegistry::RemoveFormatAt(int i) {
    CFormat* pFormat = m_formats[i];
    m_formats.RemoveAt(i);
    delete pFormat;
}

// Deletes in index order, as removing the first entry repeatedly would, but
// without moving the rest of the array each time.
void CStyleRegistry::RemoveAllStyles() {
    for (CStyle* pStyle : m_styles) delete pStyle;
    m_styles.RemoveAll();
}

void CStyleRegistry::RemoveAllFormats() {
    for (CFormat* pFormat : m_formats) delete pFormat;
    m_formats.RemoveAll();
}

}  // namespace kavo
