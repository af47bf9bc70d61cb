// Helpers of the drawing, RTF grid, end-to-end and Cairo tests: tables read
// from text, recorded calls, tree walks and, with Cairo, an image to draw on.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/kavotbl.h"

#ifdef KAVOTBL_HAVE_CAIRO
#include <cairo.h>

#include "kavotbl/cairo/cairo_dc.h"
#endif

namespace kavo {

inline LOGFONT MakeFont(const char* pszFace, int nHeight) {
    LOGFONT lf;
    lf.lfHeight = nHeight;
    lf.lfCharSet = ANSI_CHARSET;
    std::strncpy(lf.lfFaceName, pszFace, sizeof lf.lfFaceName - 1);
    return lf;
}

// A registry and one table read from text; the registry outlives the table.
// With a font, every style gets it on the screen and 200 twips on paper.
struct LoadedTable {
    explicit LoadedTable(const std::string& text, const LOGFONT* pFont = nullptr) {
        CSpecFile file;
        file.OpenText(text);
        registry.Build(file);
        if (pFont) registry.UpdateFonts(pFont, 200);
        table.SetStyleRegistry(&registry);
        loaded = table.Build(file);
    }
    CStyleRegistry registry;
    CTable table;
    int loaded = 0;
};

inline std::vector<CDCCall> CallsOf(const CRecordingDC& dc, CDCCall::Kind kind) {
    std::vector<CDCCall> out;
    for (const CDCCall& c : dc.GetCalls())
        if (c.kind == kind) out.push_back(c);
    return out;
}

// The texts drawn, in no particular order.
inline std::multiset<std::string> TextsDrawn(const CRecordingDC& dc) {
    std::multiset<std::string> out;
    for (const CDCCall& c : CallsOf(dc, CDCCall::DrawText)) out.insert(c.text.str());
    return out;
}

// A node and its subtree, parents before children.
inline void ForEachNode(const CRowColOb* n, const std::function<void(const CRowColOb*)>& fn) {
    fn(n);
    for (int i = 0; i < n->GetNumChildren(); ++i) ForEachNode(n->GetChildAt(i), fn);
}

#ifdef KAVOTBL_HAVE_CAIRO
// An RGB image filled white, with a surface drawing on it.
class Canvas {
public:
    Canvas(int w, int h)
        : m_w(w), m_h(h),
          m_surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h), cairo_surface_destroy),
          m_cr(cairo_create(m_surface.get()), cairo_destroy) {
        cairo_set_source_rgb(m_cr.get(), 1, 1, 1);
        cairo_paint(m_cr.get());
        dc = std::make_unique<CCairoDC>(m_cr.get(), MM_TEXT);
    }
    // 0x00RRGGBB of a pixel.
    std::uint32_t Pixel(int x, int y) {
        cairo_surface_flush(m_surface.get());
        const int stride = cairo_image_surface_get_stride(m_surface.get());
        std::uint32_t v;
        std::memcpy(&v, cairo_image_surface_get_data(m_surface.get()) + y * stride + x * 4, 4);
        return v & 0xFFFFFF;
    }
    // Bounding box of every non-white pixel within rc; empty when there is none.
    CRect Ink(CRect rc = CRect(0, 0, 1 << 30, 1 << 30)) {
        CRect ink(m_w, m_h, -1, -1);
        for (int y = std::max(rc.top, 0); y < std::min(rc.bottom, m_h); ++y)
            for (int x = std::max(rc.left, 0); x < std::min(rc.right, m_w); ++x)
                if (Pixel(x, y) != 0xFFFFFF)
                    ink = CRect(std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                                std::max(ink.bottom, y + 1));
        return ink;
    }

private:
    int m_w, m_h;
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> m_surface;
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> m_cr;

public:
    std::unique_ptr<CCairoDC> dc;  // declared last, so that it goes first
};

// Makes the font of lf in f and selects it.
inline void Select(CDC& dc, CFont& f, const LOGFONT& lf) {
    f.CreateFontIndirect(&lf);
    dc.SelectObject(&f);
}
#endif

}  // namespace kavo
