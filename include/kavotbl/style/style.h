// Presentation style of table elements and its [Style] section.
#pragma once

#include "kavotbl/host/dc.h"
#include "kavotbl/host/object.h"
#include "kavotbl/host/string.h"

namespace kavo {

class CSpecFile;

/// Rule kinds along an edge. By default only a single rule is drawn; a
/// table's CPrintOptions::bAllRuleKinds draws double and thick rules too.
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
    /// Writes a whole [Style] section, leaving out default lines. A style
    /// that the house style filled writes only its label unless bHouseStyle.
    void Save(CSpecFile& file, int bHouseStyle = 0) const;
    /// "None", "Thick", "Double" (any case) to their kinds; anything else single.
    LINES GetLineType(const CKAVOString& strWord) const;
    CKAVOString GetLineType(LINES kind) const;
    /// 1 when the style names a face, size, weight or slant of its own.
    int HasOwnFont() const;
    /// 1 when everything the file can set (label aside) is at its default:
    /// the state of a style that the file left out or left empty.
    int IsAtDefaults() const;
    /// Puts the style's own face, size, weight and slant over a copy of a
    /// default font; nLogPixelsY turns points into the record's height.
    void ApplyOwnFont(const LOGFONT& lfDefault, int nTwipsHeight, int nLogPixelsY);

    COLORREF m_crColor;
    int m_nHorJust;   // 0 left, 1 centre, 2 right
    int m_nVertJust;  // 0 top, 1 centre, 2 bottom
    LOGFONT m_logFont;  // height 0: the style has no font
    int m_nTwipsHeight;
    LINES m_lineLeft, m_lineTop, m_lineRight, m_lineBottom;
    LINES m_borderLeft, m_borderTop, m_borderRight, m_borderBottom;
    CKAVOString m_strLabel;
    // The style's own font ("FontFace", "FontSize", "FontBold", "FontItalic"),
    // put over the host's font by CStyleRegistry::UpdateStyleFonts.
    CKAVOString m_strFontFace;  // empty: the host's face
    int m_nFontSize = 0;        // tenths of a point; 0: the host's size
    int m_nFontBold = -1;       // -1: the host's weight, 0 regular, 1 bold
    int m_nFontItalic = -1;     // -1: the host's slant, 0 upright, 1 italic
    /// Set by ApplyHouseStyle on a style it filled: Save then writes the
    /// style as it was before (label only) unless asked for the house style.
    int m_bHouseStyle = 0;
};

}  // namespace kavo
