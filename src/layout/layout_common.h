// Pieces shared by the sizing, screen layout and printer layout code.
#pragma once

#include "kavotbl/host/dc.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/tbl_ob.h"

namespace kavo {

/// Flags of every measuring call: calculate only, ampersands are plain text,
/// external leading counted, lines broken at word boundaries.
constexpr UINT kMeasureFlags = DT_CALCRECT | DT_NOPREFIX | DT_EXTERNALLEADING | DT_WORDBREAK;

/// Horizontal indentation of a row at a tree level (the row root is -1).
int RowIndent(int nLevel);

/// Sets g_nMargin and g_nLineHeight from the height of "X" in the font
/// selected into the surface.
void MeasureLayoutMetrics(CDC* pDC);

/// Selects the font of an element's style into a surface for the lifetime of
/// the object, then selects the previous font again and releases its own. An
/// element without a font leaves the surface's font alone.
class CStyleFontScope {
public:
    CStyleFontScope(const CTblOb& ob, CDC* pDC);
    ~CStyleFontScope();
    CStyleFontScope(const CStyleFontScope&) = delete;
    CStyleFontScope& operator=(const CStyleFontScope&) = delete;

private:
    CDC* m_pDC;
    CFont m_font;
    CFont* m_pOldFont = nullptr;
    bool m_bSelected = false;
};

/// Set while a layout of a table with CPrintOptions::bMeasureInStyleFonts
/// runs: elements are then measured in their own style's font.
extern int g_bMeasureInStyleFonts;

/// While g_bMeasureInStyleFonts is set, selects an element's style font for
/// measuring when it differs from the font in force; otherwise does nothing.
class CMeasureFontScope {
public:
    CMeasureFontScope(const CTblOb& ob, CDC* pDC);
    ~CMeasureFontScope();
    CMeasureFontScope(const CMeasureFontScope&) = delete;
    CMeasureFontScope& operator=(const CMeasureFontScope&) = delete;

private:
    CDC* m_pDC = nullptr;
    CFont m_font;
    CFont* m_pOldFont = nullptr;
};

/// Sets g_bMeasureInStyleFonts for the lifetime of the object.
struct CMeasureModeScope {
    explicit CMeasureModeScope(int bOn) : m_nOld(g_bMeasureInStyleFonts) { g_bMeasureInStyleFonts = bOn; }
    ~CMeasureModeScope() { g_bMeasureInStyleFonts = m_nOld; }
    CMeasureModeScope(const CMeasureModeScope&) = delete;
    CMeasureModeScope& operator=(const CMeasureModeScope&) = delete;
    int m_nOld;
};

/// Percent of the type size at which fonts are made for a twips surface: the
/// printer layout of a table shrunk to fit (CPrintOptions::nMaxShrinkPercent)
/// and the drawing of its pages. 100 outside them.
extern int g_nTypeScale;

/// Sets g_nTypeScale for the lifetime of the object.
struct CTypeScaleScope {
    explicit CTypeScaleScope(int nScale) : m_nOld(g_nTypeScale) { g_nTypeScale = nScale; }
    ~CTypeScaleScope() { g_nTypeScale = m_nOld; }
    CTypeScaleScope(const CTypeScaleScope&) = delete;
    CTypeScaleScope& operator=(const CTypeScaleScope&) = delete;
    int m_nOld;
};

/// The box both layouts give a data cell: its data column across its data row.
inline CRect PlacedBox(const CTblColumn* pCol, const CTblRow* pRow) {
    return CRect(pCol->Left(), pRow->Top(), pCol->Right(), pRow->Bottom());
}

}  // namespace kavo
