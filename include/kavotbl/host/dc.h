// The drawing surface. CDC keeps the state that callers rely on (mapping
// mode, selected font, pen and brush, background, current position, saved
// states) and forwards the work to protected hooks that a backend overrides.
// Wrapped text is laid out by one shared routine over the backend's
// single-line extent, so every backend measures and draws the same lines.
#pragma once

#include <memory>
#include <vector>

#include "kavotbl/host/string.h"
#include "kavotbl/host/types.h"

#include "kavotbl/host/detail/names_push.h"  // IWYU pragma: keep

namespace kavo {

enum : int { MM_TEXT = 1, MM_TWIPS = 6 };

enum : UINT {
    DT_TOP = 0x0000,
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,
    DT_BOTTOM = 0x0008,
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_EXPANDTABS = 0x0040,
    DT_NOCLIP = 0x0100,
    DT_EXTERNALLEADING = 0x0200,
    DT_CALCRECT = 0x0400,
    DT_NOPREFIX = 0x0800,
    /// With DT_WORDBREAK: a word wider than the line keeps a line of its own,
    /// wider than the rectangle, rather than being broken between characters.
    DT_WHOLEWORDS = 0x01000000,
};

enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int { PS_SOLID = 0 };
enum : int { FW_DONTCARE = 0, FW_NORMAL = 400, FW_BOLD = 700 };
enum : int { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, RUSSIAN_CHARSET = 204 };
enum : int { ERROR_REGION = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };

/// Logical font record. lfHeight is in the surface's logical units
/// (negative: character height, positive: cell height; both are taken as
/// the line height by the backends of this library).
struct LOGFONT {
    int lfHeight = 0;
    int lfWidth = 0;
    int lfEscapement = 0;
    int lfOrientation = 0;
    int lfWeight = 0;
    unsigned char lfItalic = 0;
    unsigned char lfUnderline = 0;
    unsigned char lfStrikeOut = 0;
    unsigned char lfCharSet = 0;
    unsigned char lfOutPrecision = 0;
    unsigned char lfClipPrecision = 0;
    unsigned char lfQuality = 0;
    unsigned char lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};
/// The record under the names that some platform headers map LOGFONT to.
using LOGFONTA = LOGFONT;
using LOGFONTW = LOGFONT;

/// Base of the drawing objects; each is a plain description that a surface
/// reads when it is selected.
class CGdiObject {
public:
    virtual ~CGdiObject() = default;
    bool IsCreated() const { return m_bCreated; }
    /// Releases the object; it may be created again.
    void DeleteObject() { m_bCreated = false; }

protected:
    bool m_bCreated = false;
};

class CFont : public CGdiObject {
public:
    /// Makes the font from a logical font record; 1 on success.
    int CreateFontIndirect(const LOGFONT* pLogFont);
    const LOGFONT& GetLogFont() const { return m_lf; }

private:
    LOGFONT m_lf;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int nStyle, int nWidth, COLORREF cr) { CreatePen(nStyle, nWidth, cr); }
    int CreatePen(int nStyle, int nWidth, COLORREF cr);
    int GetStyle() const { return m_nStyle; }
    int GetWidth() const { return m_nWidth; }
    COLORREF GetColor() const { return m_cr; }

private:
    int m_nStyle = PS_SOLID;
    int m_nWidth = 0;
    COLORREF m_cr = 0;
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF cr) { CreateSolidBrush(cr); }
    int CreateSolidBrush(COLORREF cr);
    COLORREF GetColor() const { return m_cr; }

private:
    COLORREF m_cr = 0;
};

/// One line of wrapped text: bytes [nStart, nStart + nLength) and its width.
struct CTextLine {
    int nStart = 0;
    int nLength = 0;
    int nWidth = 0;
};

/// Abstract drawing surface.
class CDC {
public:
    /// A surface in MM_TEXT with no font, a black pen, a white brush, opaque background.
    CDC();
    /// Releases the saved states; selected objects stay the caller's.
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    /// MM_TEXT (y grows downward) or MM_TWIPS (1/20 point, y grows upward).
    int GetMapMode() const { return m_state.nMapMode; }
    /// Sets the mapping mode (MM_TEXT or MM_TWIPS); returns the previous one.
    int SetMapMode(int nMapMode);

    /// Saves the state; returns a positive level for RestoreDC.
    int SaveDC();
    /// Restores the state saved at that level (-1: the last); 1 on success.
    int RestoreDC(int nSavedDC);

    /// Selects an object and returns the one it replaces (null when none was
    /// selected). Selecting null keeps the surface without that object.
    CFont* SelectObject(CFont* pFont);
    /// Selects a pen or brush; returns the one it replaces.
    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    /// The logical font in force, or null when no font is selected.
    const LOGFONT* GetCurrentLogFont() const { return m_state.bHasFont ? &m_state.font : nullptr; }
    /// Colours of the selected pen and brush.
    COLORREF GetPenColor() const { return m_state.crPen; }
    COLORREF GetBrushColor() const { return m_state.crBrush; }

    /// Background mode (TRANSPARENT or OPAQUE); returns the previous one.
    int SetBkMode(int nMode);
    /// The background mode in force.
    int GetBkMode() const { return m_state.nBkMode; }
    /// Background colour; returns the previous one.
    COLORREF SetBkColor(COLORREF cr);
    /// The background colour in force.
    COLORREF GetBkColor() const { return m_state.crBk; }
    /// Text colour; returns the previous one.
    COLORREF SetTextColor(COLORREF cr);
    /// The text colour in force.
    COLORREF GetTextColor() const { return m_state.crText; }

    /// Draws (or, with DT_CALCRECT, measures) text in a rectangle. Returns the
    /// height of the text, negative in MM_TWIPS. With DT_CALCRECT the
    /// rectangle's right becomes left + the widest line and its bottom top +
    /// the height; nothing is drawn.
    int DrawText(const char* pText, int nCount, CRect* pRect, UINT nFormat);
    /// DrawText of a string.
    int DrawText(const CKAVOString& str, CRect* pRect, UINT nFormat) {
        return DrawText(str.c_str(), str.GetLength(), pRect, nFormat);
    }
    /// Draws text as DrawText does, kept inside the box rcBox that holds
    /// *pRect. When the wrapped lines reach below the rectangle, only those
    /// that fit are drawn (one at least) and the last of them ends in "...";
    /// text that still leaves the rectangle (a line wider than it, or one line
    /// taller) is clipped to rcBox. DT_CALCRECT is ignored. Returns the
    /// height of the lines drawn, negative in MM_TWIPS.
    int DrawTextInBox(const char* pText, int nCount, CRect* pRect, UINT nFormat, const CRect& rcBox);
    /// DrawTextInBox of a string.
    int DrawTextInBox(const CKAVOString& str, CRect* pRect, UINT nFormat, const CRect& rcBox) {
        return DrawTextInBox(str.c_str(), str.GetLength(), pRect, nFormat, rcBox);
    }
    /// Width and line height of one line of text in the selected font.
    CSize GetTextExtent(const char* pText, int nCount) const;
    /// GetTextExtent of a string.
    CSize GetTextExtent(const CKAVOString& str) const { return GetTextExtent(str.c_str(), str.GetLength()); }
    /// GetTextExtent into *pSize; always 1.
    int GetTextExtentPoint32A(const char* pText, int nCount, CSize* pSize) const {
        *pSize = GetTextExtent(pText, nCount);
        return 1;
    }
    /// Breaks text into lines no wider than nWidth at blanks and line breaks;
    /// a word wider than nWidth is broken between characters (never inside
    /// the bytes of one UTF-8 character), each line holding at least one.
    /// Without bWordBreak only line breaks split; without bBreakWords a word
    /// wider than nWidth keeps a line of its own. At least one line comes back.
    void WrapText(const char* pText, int nCount, int nWidth, bool bWordBreak, std::vector<CTextLine>& lines,
                  bool bBreakWords = true) const;

    /// Fills the rectangle with the brush, right and bottom edges excluded.
    int Rectangle(int l, int t, int r, int b);
    /// Rectangle of a CRect.
    int Rectangle(const CRect* pRect) { return Rectangle(pRect->left, pRect->top, pRect->right, pRect->bottom); }
    /// Moves the current position; returns the previous one.
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(const CPoint& pt) { return MoveTo(pt.x, pt.y); }
    /// Draws a line with the pen from the current position, which moves to (x, y).
    int LineTo(int x, int y);
    int LineTo(const CPoint& pt) { return LineTo(pt.x, pt.y); }
    /// The current position.
    CPoint GetCurrentPosition() const { return m_state.ptCurrent; }

    /// Bounding box of the clip region; returns the region kind.
    int GetClipBox(CRect* pRect) const;
    /// Removes a rectangle from the clip region; returns the region kind.
    int ExcludeClipRect(int l, int t, int r, int b);
    /// Narrows the clip region to its intersection with a rectangle (either
    /// corner order); returns the region kind. RestoreDC widens it again.
    int IntersectClipRect(int l, int t, int r, int b);
    /// ExcludeClipRect of a CRect.
    int ExcludeClipRect(const CRect* pRect) {
        return ExcludeClipRect(pRect->left, pRect->top, pRect->right, pRect->bottom);
    }

    /// A new memory surface compatible with this one (same backend and
    /// metrics, MM_TEXT), for measuring without a window.
    virtual std::unique_ptr<CDC> CreateCompatibleDC() const = 0;

protected:
    // Backend hooks. Coordinates are logical.
    /// Single-line extent of text in the current font; cy is the line height
    /// (positive), also for empty text.
    virtual CSize OnGetTextExtent(const char* pText, int nCount) const = 0;
    /// Draws text into a rectangle (never called with DT_CALCRECT). The
    /// default wraps it with WrapText and calls OnTextLine for every line.
    virtual void OnDrawText(const char* pText, int nCount, const CRect& rc, UINT nFormat);
    /// Draws one line whose top-left corner is (x, y).
    virtual void OnTextLine(const char* pText, int nCount, int x, int y) { (void)pText; (void)nCount; (void)x; (void)y; }
    virtual void OnRectangle(const CRect& rc) { (void)rc; }
    virtual void OnMoveTo(const CPoint& pt) { (void)pt; }
    virtual void OnLineTo(const CPoint& from, const CPoint& to) { (void)from; (void)to; }
    virtual int OnGetClipBox(CRect* pRect) const;
    virtual int OnExcludeClipRect(const CRect& rc) { (void)rc; return SIMPLEREGION; }
    virtual int OnIntersectClipRect(const CRect& rc) { (void)rc; return SIMPLEREGION; }
    virtual void OnSaveDC() {}
    virtual void OnRestoreDC() {}
    virtual void OnSelectFont(const LOGFONT* pFont) { (void)pFont; }
    virtual void OnSelectPen(const CPen* pPen) { (void)pPen; }
    virtual void OnSelectBrush(const CBrush* pBrush) { (void)pBrush; }
    virtual void OnSetBkMode(int nMode) { (void)nMode; }
    virtual void OnSetBkColor(COLORREF cr) { (void)cr; }
    virtual void OnSetMapMode(int nMapMode) { (void)nMapMode; }

    struct State {
        int nMapMode = MM_TEXT;
        CFont* pFont = nullptr;
        CPen* pPen = nullptr;
        CBrush* pBrush = nullptr;
        bool bHasFont = false;
        LOGFONT font;
        COLORREF crPen = 0;         // black
        COLORREF crBrush = 0xFFFFFF;  // white
        int nBkMode = OPAQUE;
        COLORREF crBk = 0xFFFFFF;
        COLORREF crText = 0;
        CPoint ptCurrent;
    };
    const State& GetState() const { return m_state; }

private:
    // The lines text breaks into under nFormat at width nWidth.
    void TextLines(const char* pText, int n, int nWidth, UINT nFormat, std::vector<CTextLine>& lines) const;

    State m_state;
    std::vector<State> m_saved;
};

}  // namespace kavo

#include "kavotbl/host/detail/names_pop.h"  // IWYU pragma: keep
