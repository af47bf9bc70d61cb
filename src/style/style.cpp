// Presentation styles and their [Style] section.
#include "kavotbl/style/style.h"

#include "kavotbl/host/spec_file.h"
#include "kavotbl/resources/strings.h"
#include "style/section_reader.h"

namespace kavo {

KAVO_IMPLEMENT_DYNAMIC(CStyle, CObject)

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
    return detail::ReadSectionKeys(file, [this](const CKAVOString& strKey, const CKAVOString& strValue) {
        if (strKey.CompareNoCase("Label") == 0) {
            m_strLabel = strValue;
        } else if (strKey.CompareNoCase("HorJust") == 0) {
            m_nHorJust = strValue.CompareNoCase("Left") == 0     ? 0
                         : strValue.CompareNoCase("Center") == 0 ? 1
                                                                 : 2;
        } else if (strKey.CompareNoCase("VertJust") == 0) {
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
        } else {
            return false;
        }
        return true;
    });
}

void CStyle::Save(CSpecFile& file) const {
    file.PutLine("[Style]");
    file.PutLine("Label", m_strLabel);
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
}

}  // namespace kavo
