// A deterministic drawing surface that records every drawing call.
#pragma once

#include <string>
#include <vector>

#include "kavotbl/host/dc.h"

#include "kavotbl/host/detail/names_push.h"  // IWYU pragma: keep

namespace kavo {

/// One recorded surface call.
struct CDCCall {
    enum Kind {
        SaveDC,
        RestoreDC,
        SelectFont,
        SelectPen,
        SelectBrush,
        SetBkMode,
        SetBkColor,
        SetMapMode,
        MoveTo,
        LineTo,
        Rectangle,
        DrawText,
        ExcludeClipRect,
        IntersectClipRect,
    };
    Kind kind = SaveDC;
    CKAVOString text;   // DrawText
    CRect rect;         // DrawText, Rectangle, ExcludeClipRect, IntersectClipRect
    UINT format = 0;    // DrawText flags
    CPoint from, to;    // LineTo (from: current position); MoveTo (to)
    COLORREF color = 0; // pen, brush, background, Rectangle (brush colour)
    int value = 0;      // bk mode, map mode, font height; 1 when an object was selected, 0 for null
    LOGFONT font;       // SelectFont, DrawText (font in force)
    int nPenWidth = 0;  // SelectPen
};

/// Fixed-pitch surface: every byte of text is W units wide and a line is H
/// units high. With a font whose lfHeight h is not 0, H = |h| and W = |h| / 2;
/// with no font, W = 8 and H = 16. In MM_TWIPS measured heights are
/// negative. Every drawing call is recorded; the clip box is settable,
/// narrowed by IntersectClipRect and restored with the saved state.
class CRecordingDC : public CDC {
public:
    explicit CRecordingDC(int nMapMode = MM_TEXT);

    const std::vector<CDCCall>& GetCalls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }
    /// Whether calls are recorded (on by default); off for measuring only.
    void SetRecording(bool bRecord) { m_bRecord = bRecord; }
    void SetClipBox(const CRect& rc) { m_rcClip = rc; }
    /// The recorded calls as text, one line per call, for golden files.
    std::string Dump() const;

    std::unique_ptr<CDC> CreateCompatibleDC() const override;

    int GetCharWidth() const;
    int GetLineHeight() const;

protected:
    CSize OnGetTextExtent(const char* pText, int nCount) const override;
    void OnDrawText(const char* pText, int nCount, const CRect& rc, UINT nFormat) override;
    void OnRectangle(const CRect& rc) override;
    void OnMoveTo(const CPoint& pt) override;
    void OnLineTo(const CPoint& from, const CPoint& to) override;
    int OnGetClipBox(CRect* pRect) const override;
    int OnExcludeClipRect(const CRect& rc) override;
    int OnIntersectClipRect(const CRect& rc) override;
    void OnSaveDC() override;
    void OnRestoreDC() override;
    void OnSelectFont(const LOGFONT* pFont) override;
    void OnSelectPen(const CPen* pPen) override;
    void OnSelectBrush(const CBrush* pBrush) override;
    void OnSetBkMode(int nMode) override;
    void OnSetBkColor(COLORREF cr) override;
    void OnSetMapMode(int nMapMode) override;

private:
    void Record(const CDCCall& call);
    std::vector<CDCCall> m_calls;
    CRect m_rcClip{-1000000000, -1000000000, 1000000000, 1000000000};
    std::vector<CRect> m_savedClips;  // the clip box of every saved state
    bool m_bRecord = true;
};

}  // namespace kavo

#include "kavotbl/host/detail/names_pop.h"  // IWYU pragma: keep
