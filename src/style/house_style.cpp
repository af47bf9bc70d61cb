// The house style of unstyled elements, and styles taken from another file.
#include "kavotbl/style/house_style.h"

#include "kavotbl/style/registry.h"

namespace kavo {

namespace {

enum : int { kLeft = 0, kCentre = 1, kRight = 2 };
enum : int { kTop = 0, kBottom = 2 };

void Fill(CStyle& s, const char* pszLabel) {
    const CKAVOString l(pszLabel);
    if (l == "Table") {
        s.m_borderBottom = LINE_SINGLE;  // the closing rule under the last row
    } else if (l == "Title") {
        s.m_nHorJust = kLeft;
        s.m_nFontBold = 1;
    } else if (l == "Header" || l == "Footer" || l == "Row" || l == "RowGroup") {
        s.m_nHorJust = kLeft;
    } else if (l == "StubHead") {
        s.m_nHorJust = kLeft;
        s.m_nVertJust = kBottom;
    } else if (l == "ColumnGroup") {
        s.m_nHorJust = kCentre;
        s.m_lineBottom = LINE_SINGLE;  // trimmed at its ends when drawn (CPrintOptions)
    } else if (l == "Column") {
        s.m_nHorJust = kCentre;
        s.m_nVertJust = kBottom;
    }
}

}  // namespace

int ApplyHouseStyle(CStyleRegistry& registry) {
    static const char* const kLabels[] = {"Table",  "Title",       "StubHead", "Footer", "Header",
                                          "ColumnGroup", "Column", "RowGroup", "Row"};
    int n = 0;
    for (const char* pszLabel : kLabels) {
        CStyle* pStyle = registry.FindStyle(CKAVOString(pszLabel));
        if (!pStyle || pStyle->m_bHouseStyle || !pStyle->IsAtDefaults()) continue;
        Fill(*pStyle, pszLabel);
        pStyle->m_bHouseStyle = 1;
        ++n;
    }
    return n;
}

int TakeStyleSheet(CStyleRegistry& registry, const CStyleRegistry& sheet) {
    int n = 0;
    for (int i = 1; i < sheet.GetNumStyles(); ++i) {
        const CStyle* pFrom = sheet.GetStyle(i);
        CStyle* pTo = registry.FindStyle(pFrom->GetLabel());
        if (!pTo) {
            registry.RegisterStyle(const_cast<CStyle*>(pFrom));
            ++n;
            continue;
        }
        const LOGFONT lf = pTo->m_logFont;
        const int nTwips = pTo->m_nTwipsHeight;
        const COLORREF cr = pTo->m_crColor;
        const CKAVOString strLabel = pTo->m_strLabel;
        *pTo = *pFrom;
        pTo->m_logFont = lf, pTo->m_nTwipsHeight = nTwips, pTo->m_crColor = cr, pTo->m_strLabel = strLabel;
        pTo->m_bHouseStyle = 0;
        ++n;
    }
    return n;
}

}  // namespace kavo
