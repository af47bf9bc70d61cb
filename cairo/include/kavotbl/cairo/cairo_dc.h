// A drawing surface on Cairo, with text measured and drawn by Pango.
//
// MM_TEXT maps one logical unit to one unit of the context's user space (a
// pixel of an image, a px of an SVG); MM_TWIPS maps one logical unit to 1/20
// point with y growing upward from the viewport origin, for printed pages.
// Fonts are made at |lfHeight| logical units, so text measures the same in
// both modes, and every width that GetTextExtent reports is the width that
// drawing covers.
#pragma once

#include <memory>
#include <string>

#include "kavotbl/host/dc.h"

#include "kavotbl/host/detail/names_push.h"  // IWYU pragma: keep

extern "C" {
typedef struct _cairo cairo_t;
}

namespace kavo {

/// The family that a LOGFONT face name selects: the face itself when the
/// font configuration knows it (a trailing " Cyr" is ignored), else
/// "DejaVu Sans".
std::string CairoFontFamily(const char* pszFaceName);

class CCairoDC : public CDC {
public:
    /// Draws on cr (a reference is kept). nMapMode is MM_TEXT or MM_TWIPS;
    /// the viewport origin starts at the user-space origin of cr.
    explicit CCairoDC(cairo_t* cr, int nMapMode = MM_TEXT);
    /// A surface that draws nowhere, for measuring only.
    static std::unique_ptr<CCairoDC> CreateMeasuringDC(int nMapMode = MM_TEXT);
    ~CCairoDC() override;

    /// Where logical (0, 0) falls in cr's user space (points for a PDF).
    void SetViewportOrg(double x, double y);
    /// The area drawing may touch, in cr's user space; it bounds the clip
    /// box. By default the target surface's extent (or unbounded).
    void SetDeviceBounds(double x, double y, double cx, double cy);

    /// The context, with any gathered text drawn first and Cairo's state
    /// saved for every level SaveDC opened, so that what the caller changes
    /// on it ends with the level's RestoreDC.
    cairo_t* GetContext() const;

    /// Off by default. When on, lines of text in one font and colour are
    /// gathered and shown by one Cairo call when something else is drawn,
    /// a clip ends, or Flush is called: a PDF gets fewer, longer text runs.
    /// Whoever draws on the context directly or shows a page calls Flush
    /// (or GetContext) first; the destructor flushes too.
    void SetGatherText(bool bGather);
    /// Draws the text gathered so far, and saves Cairo's state as GetContext does.
    void Flush();

    std::unique_ptr<CDC> CreateCompatibleDC() const override;

protected:
    CSize OnGetTextExtent(const char* pText, int nCount) const override;
    void OnTextLine(const char* pText, int nCount, int x, int y) override;
    void OnRectangle(const CRect& rc) override;
    void OnLineTo(const CPoint& from, const CPoint& to) override;
    int OnGetClipBox(CRect* pRect) const override;
    int OnExcludeClipRect(const CRect& rc) override;
    int OnIntersectClipRect(const CRect& rc) override;
    void OnSaveDC() override;
    void OnRestoreDC() override;
    void OnSetMapMode(int nMapMode) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

}  // namespace kavo

#include "kavotbl/host/detail/names_pop.h"  // IWYU pragma: keep
