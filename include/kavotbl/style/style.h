// Presentation style of table elements and its [Style] section.
#pragma once

#include "kavotbl/host/dc.h"
#include "kavotbl/host/object.h"
#include "kavotbl/host/string.h"

namespace kavo {

class CSpecFile;

/// Rule kinds along an edge. Only a single rule is drawn; the others are
/// stored, copied and written back.
enum LINES { LINE_NONE = 0, LINE_SINGLE = 1, LINE_DOUBLE = 2, LINE_THICK = 3 };

/// A named bundle of font, justification, lines and borders shared by table
/// elements. Owned by the style registry. Fields are plain data.
class CStyle : public CObject {
    KAVO_DECLARE_DYNAMIC(CStyle)
public:
    explicit CStyle(const CKAVOString& strLabel = CKAVOString());
    /// Label from a string-table entry (empty for an unknown id).
    explicit CStyle(int nStringID);
    CStyle(const CStyle& src) = default;
    CStyle& operator=(const CStyle& src) = default;
    ~CStyle() override = default;

    const CKAVOString& GetLabel() const { return m_strLabel; }
    /// Empties the label and sets every default.
    void Init();
    /// Reads the body of a [Style] section; always 1.
    int Build(CSpecFile& file);
    /// Writes a whole [Style] section, leaving out default lines.
    void Save(CSpecFile& file) const;
    /// "None", "Thick", "Double" (any case) to their kinds; anything else single.
    LINES GetLineType(const CKAVOString& strWord) const;
    CKAVOString GetLineType(LINES kind) const;

    COLORREF m_crColor;
    int m_nHorJust;   // 0 left, 1 centre, 2 right
    int m_nVertJust;  // 0 top, 1 centre, 2 bottom
    LOGFONT m_logFont;  // height 0: the style has no font
    int m_nTwipsHeight;
    LINES m_lineLeft, m_lineTop, m_lineRight, m_lineBottom;
    LINES m_borderLeft, m_borderTop, m_borderRight, m_borderBottom;
    CKAVOString m_strLabel;
};

}  // namespace kavo
