// Presentation styles and their [Style] section.
#include "kavotbl/style/style.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "kavotbl/host/spec_file.h"
#include "kavotbl/resources/strings.h"
#include "style/section_reader.h"

namespace kavo {

KAVO_IMPLEMENT_DYNAMIC(CStyle, CObject)

namespace {

bool IsYesWord(const CKAVOString& strValue) {
    return !strValue.IsEmpty() && (strValue.GetAt(0) == 'Y' || strValue.GetAt(0) == 'y');
}

// "9", "9.5", "10.25" points to tenths (rounded); 0 for anything else or
// a size outside 1 to 1000 points.
int ParseFontSize(const CKAVOString& strValue) {
    const char* p = strValue.c_str();
    long long n = 0;
    int nDigits = 0;
    while (*p >= '0' && *p <= '9' && nDigits < 8) n = n * 10 + (*p++ - '0'), ++nDigits;
    if (nDigits == 0) return 0;
    n *= 10;
    if (*p == '.') {
        ++p;
        if (*p >= '0' && *p <= '9') {
            n += *p++ - '0';
            if (*p >= '5' && *p <= '9') ++n;
            while (*p >= '0' && *p <= '9') ++p;
        }
    }
    if (*p != '\0' || n < 10 || n > 10000) return 0;
    return static_cast<int>(n);
}

CKAVOString FontSizeText(int nTenths) {
    std::string s = std::to_string(nTenths / 10);
    if (nTenths % 10) s += "." + std::to_string(nTenths % 10);
    return s;
}

}  // namespace

// Init leaves the font alone (a copied style keeps its font), so the
// constructors zero it first: a new style holds no stale font data.
CStyle::CStyle(const CKAVOString& strLabel) : m_logFont() {
    Init();
    m_strLabel = strLabel;
}

CStyle::CStyle(int nStringID) : m_logFont() {
    Init();
    m_strLabel = LoadKAVOString(static_cast<unsigned>(nStringID));
}

void CStyle::Init() {
    m_strLabel.Empty();
    m_crColor = RGB(192, 192, 192);
    m_nHorJust = 2;
    m_nVertJust = 2;
    m_logFont.lfHeight = 0;
    m_nTwipsHeight = 0;
    m_lineLeft = m_lineTop = m_lineRight = m_lineBottom = LINE_NONE;
    m_borderLeft = m_borderTop = m_borderRight = m_borderBottom = LINE_NONE;
    m_strFontFace.Empty();
    m_nFontSize = 0;
    m_nFontBold = m_nFontItalic = -1;
    m_bHouseStyle = 0;
}

int CStyle::HasOwnFont() const {
    return !m_strFontFace.IsEmpty() || m_nFontSize > 0 || m_nFontBold >= 0 || m_nFontItalic >= 0;
}

int CStyle::IsAtDefaults() const {
    return m_nHorJust == 2 && m_nVertJust == 2 && !HasOwnFont() && m_lineLeft == LINE_NONE &&
           m_lineTop == LINE_NONE && m_lineRight == LINE_NONE && m_lineBottom == LINE_NONE &&
           m_borderLeft == LINE_NONE && m_borderTop == LINE_NONE && m_borderRight == LINE_NONE &&
           m_borderBottom == LINE_NONE;
}

void CStyle::ApplyOwnFont(const LOGFONT& lfDefault, int nTwipsHeight, int nLogPixelsY) {
    m_logFont = lfDefault;
    m_nTwipsHeight = nTwipsHeight;
    if (!m_strFontFace.IsEmpty()) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(m_strFontFace.GetLength()),
                                                    sizeof m_logFont.lfFaceName - 1);
        std::memcpy(m_logFont.lfFaceName, m_strFontFace.c_str(), n);
        m_logFont.lfFaceName[n] = '\0';
    }
    if (m_nFontBold >= 0) m_logFont.lfWeight = m_nFontBold ? FW_BOLD : FW_NORMAL;
    if (m_nFontItalic >= 0) m_logFont.lfItalic = m_nFontItalic ? 1 : 0;
    if (m_nFontSize > 0) {
        // The record's sign says character or cell height; the size keeps it.
        const long long px = std::max(1LL, (static_cast<long long>(m_nFontSize) * nLogPixelsY + 360) / 720);
        m_logFont.lfHeight = static_cast<int>(lfDefault.lfHeight > 0 ? px : -px);
        const int tw = std::max(1, m_nFontSize * 2);
        m_nTwipsHeight = nTwipsHeight < 0 ? -tw : tw;
    }
}

LINES CStyle::GetLineType(const CKAVOString& strWord) const {
    if (strWord.CompareNoCase("None") == 0) return LINE_NONE;
    if (strWord.CompareNoCase("Thick") == 0) return LINE_THICK;
    if (strWord.CompareNoCase("Double") == 0) return LINE_DOUBLE;
    return LINE_SINGLE;
}

CKAVOString CStyle::GetLineType(LINES kind) const {
    switch (kind) {
        case LINE_NONE: return "None";
        case LINE_THICK: return "Thick";
        case LINE_DOUBLE: return "Double";
        default: return "Single";
    }
}

int CStyle::Build(CSpecFile& file) {
    Init();
    return detail::ReadSectionKeys(file, [this, &file](const CKAVOString& strKey, const CKAVOString& strValue) {
        bool bLine = false;
        for (const char* pszEdge : {"LineTop", "LineLeft", "LineRight", "LineBottom", "BorderTop", "BorderLeft",
                                    "BorderRight", "BorderBottom"})
            bLine = bLine || strKey.CompareNoCase(pszEdge) == 0;
        if (bLine) {
            const LINES kind = GetLineType(strValue);
            detail::CheckWord(file, strKey, strValue, {"None", "Single", "Double", "Thick"},
                              GetLineType(kind).c_str());
        }
        if (strKey.CompareNoCase("Label") == 0) {
            m_strLabel = strValue;
        } else if (strKey.CompareNoCase("HorJust") == 0) {
            detail::CheckWord(file, strKey, strValue, {"Left", "Center", "Right"}, "Right");
            m_nHorJust = strValue.CompareNoCase("Left") == 0     ? 0
                         : strValue.CompareNoCase("Center") == 0 ? 1
                                                                 : 2;
        } else if (strKey.CompareNoCase("VertJust") == 0) {
            detail::CheckWord(file, strKey, strValue, {"Top", "Center", "Bottom"}, "Bottom");
            m_nVertJust = strValue.CompareNoCase("Top") == 0      ? 0
                          : strValue.CompareNoCase("Center") == 0 ? 1
                                                                  : 2;
        } else if (strKey.CompareNoCase("Color") == 0) {
            // Accepted for older files; the colour is not taken from the file.
        } else if (strKey.CompareNoCase("LineTop") == 0) {
            m_lineTop = GetLineType(strValue);
        } else if (strKey.CompareNoCase("LineLeft") == 0) {
            m_lineLeft = GetLineType(strValue);
        } else if (strKey.CompareNoCase("LineRight") == 0) {
            m_lineRight = GetLineType(strValue);
        } else if (strKey.CompareNoCase("LineBottom") == 0) {
            m_lineBottom = GetLineType(strValue);
        } else if (strKey.CompareNoCase("BorderTop") == 0) {
            m_borderTop = GetLineType(strValue);
        } else if (strKey.CompareNoCase("BorderLeft") == 0) {
            m_borderLeft = GetLineType(strValue);
        } else if (strKey.CompareNoCase("BorderRight") == 0) {
            m_borderRight = GetLineType(strValue);
        } else if (strKey.CompareNoCase("BorderBottom") == 0) {
            m_borderBottom = GetLineType(strValue);
        } else if (strKey.CompareNoCase("FontFace") == 0) {
            m_strFontFace = strValue;
        } else if (strKey.CompareNoCase("FontSize") == 0) {
            m_nFontSize = ParseFontSize(strValue);
        } else if (strKey.CompareNoCase("FontBold") == 0) {
            m_nFontBold = IsYesWord(strValue) ? 1 : 0;
        } else if (strKey.CompareNoCase("FontItalic") == 0) {
            m_nFontItalic = IsYesWord(strValue) ? 1 : 0;
        } else {
            return false;
        }
        return true;
    });
}

void CStyle::Save(CSpecFile& file, int bHouseStyle) const {
    file.PutLine("[Style]");
    file.PutLine("Label", m_strLabel);
    // The house style fills only styles at their defaults: label alone.
    if (m_bHouseStyle && !bHouseStyle) return;
    if (m_nHorJust != 2) file.PutLine("HorJust", m_nHorJust == 0 ? "Left" : "Center");
    if (m_nVertJust != 2) file.PutLine("VertJust", m_nVertJust == 0 ? "Top" : "Center");

    const struct {
        const char* pszKey;
        LINES kind;
    } rules[] = {
        {"LineLeft", m_lineLeft},     {"LineTop", m_lineTop},         {"LineRight", m_lineRight},
        {"LineBottom", m_lineBottom}, {"BorderLeft", m_borderLeft},   {"BorderTop", m_borderTop},
        {"BorderRight", m_borderRight}, {"BorderBottom", m_borderBottom},
    };
    for (const auto& rule : rules)
        if (rule.kind != LINE_NONE) file.PutLine(rule.pszKey, GetLineType(rule.kind));
    if (!m_strFontFace.IsEmpty()) file.PutLine("FontFace", m_strFontFace);
    if (m_nFontSize > 0) file.PutLine("FontSize", FontSizeText(m_nFontSize));
    if (m_nFontBold >= 0) file.PutLine("FontBold", m_nFontBold ? "Yes" : "No");
    if (m_nFontItalic >= 0) file.PutLine("FontItalic", m_nFontItalic ? "Yes" : "No");
}

}  // namespace kavo
