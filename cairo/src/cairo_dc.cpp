#include "kavotbl/cairo/cairo_dc.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <set>
#include <unordered_map>
#include <vector>

#include "text_encoding.h"

namespace kavo {

namespace {

constexpr const char* kDefaultFamily = "DejaVu Sans";
constexpr double kTwipsPerUnit = 20.0;
constexpr double kPrintHairline = 0.5;  // points: a pen of width 0 on paper
// Tables align digits by the font's own advances; kerning or ligatures would
// make a string narrower than the sum of its characters, so both are off and
// every string measures as that sum, on every path.
constexpr const char* kFontFeatures = "kern=0,liga=0,clig=0,calt=0";
constexpr int kFirstFast = 0x20;
constexpr int kLastFast = 0x7E;
constexpr std::size_t kMaxCachedWidths = 8192;

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Families known to the font configuration, by lower-case name.
const std::unordered_map<std::string, std::string>& KnownFamilies() {
    static const std::unordered_map<std::string, std::string> families = [] {
        std::unordered_map<std::string, std::string> m;
        PangoFontFamily** list = nullptr;
        int n = 0;
        pango_font_map_list_families(pango_cairo_font_map_get_default(), &list, &n);
        for (int i = 0; i < n; ++i) {
            const char* name = pango_font_family_get_name(list[i]);
            if (name) m.emplace(Lower(name), name);
        }
        g_free(list);
        return m;
    }();
    return families;
}

int CeilUnits(long long nPango) {
    return static_cast<int>((nPango + PANGO_SCALE - 1) / PANGO_SCALE);
}

struct FontKey {
    int nHeight = 0;
    int nWeight = 0;
    int bItalic = 0;
    char szFace[32] = {};

    static FontKey From(const LOGFONT* pLogFont, int nMapMode) {
        FontKey k;
        if (!pLogFont || pLogFont->lfHeight == 0) {
            // No font selected: a 12-point face, as a window or printer starts.
            k.nHeight = nMapMode == MM_TWIPS ? 240 : 16;
            k.nWeight = FW_NORMAL;
            return k;
        }
        // Any record a caller makes stays within sizes Pango can handle.
        k.nHeight = static_cast<int>(std::min<long long>(std::llabs(pLogFont->lfHeight), 1000000));
        k.nWeight = pLogFont->lfWeight == FW_DONTCARE ? FW_NORMAL : std::clamp(pLogFont->lfWeight, 100, 1000);
        k.bItalic = pLogFont->lfItalic ? 1 : 0;
        std::memcpy(k.szFace, pLogFont->lfFaceName, sizeof k.szFace);
        k.szFace[sizeof k.szFace - 1] = '\0';
        return k;
    }
    bool operator==(const FontKey& o) const {
        return nHeight == o.nHeight && nWeight == o.nWeight && bItalic == o.bItalic &&
               std::strncmp(szFace, o.szFace, sizeof szFace) == 0;
    }
};

// A font ready for measuring and drawing: Pango's description, the line
// metrics, and the glyphs of printable ASCII so that the common case (digits,
// Latin captions) is measured and drawn without shaping each string again.
struct Font {
    FontKey key;
    PangoFontDescription* pDesc = nullptr;
    PangoAttrList* pAttrs = nullptr;
    int nLineHeight = 0;
    double dAscent = 0;
    struct Glyph {
        PangoGlyph glyph = 0;
        int nAdvance = 0;  // Pango units
        int nFont = -1;    // index into fonts; -1: shape the string instead
    };
    Glyph ascii[kLastFast - kFirstFast + 1];
    std::vector<PangoFont*> fonts;
    std::unordered_map<std::string, int> widths;  // strings off the fast path
    // For drawing the fast path straight with Cairo: one scaled font per entry
    // of fonts, made for the scale and transformation they were last used at.
    std::vector<cairo_scaled_font_t*> drawFonts;
    double dDrawScale = 0;
    cairo_matrix_t drawCtm{};

    ~Font() {
        ReleaseDrawFonts();
        for (PangoFont* f : fonts) g_object_unref(f);
        if (pAttrs) pango_attr_list_unref(pAttrs);
        if (pDesc) pango_font_description_free(pDesc);
    }
    void ReleaseDrawFonts() {
        for (cairo_scaled_font_t* sf : drawFonts)
            if (sf) cairo_scaled_font_destroy(sf);
        drawFonts.clear();
    }
    // The scaled font that draws fonts[i] at dScale user units per logical
    // unit on a context whose transformation is ctm; null if Cairo fails.
    cairo_scaled_font_t* DrawFont(std::size_t i, double dScale, const cairo_matrix_t& ctm) {
        if (dScale != dDrawScale || std::memcmp(&ctm, &drawCtm, sizeof ctm) != 0) {
            ReleaseDrawFonts();
            dDrawScale = dScale;
            drawCtm = ctm;
        }
        if (drawFonts.empty()) drawFonts.assign(fonts.size(), nullptr);
        if (!drawFonts[i]) {
            cairo_scaled_font_t* sf = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(fonts[i]));
            if (!sf) return nullptr;
            cairo_matrix_t fm;
            cairo_scaled_font_get_font_matrix(sf, &fm);
            cairo_matrix_t scale;
            cairo_matrix_init_scale(&scale, dScale, dScale);
            cairo_matrix_multiply(&fm, &fm, &scale);
            cairo_font_options_t* opts = cairo_font_options_create();
            cairo_scaled_font_get_font_options(sf, opts);
            cairo_scaled_font_t* made = cairo_scaled_font_create(cairo_scaled_font_get_font_face(sf), &fm, &ctm, opts);
            cairo_font_options_destroy(opts);
            if (cairo_scaled_font_status(made) != CAIRO_STATUS_SUCCESS) {
                cairo_scaled_font_destroy(made);
                return nullptr;
            }
            drawFonts[i] = made;
        }
        return drawFonts[i];
    }
};

}  // namespace

std::string CairoFontFamily(const char* pszFaceName) {
    std::string face = pszFaceName ? std::string(pszFaceName, strnlen(pszFaceName, 32)) : std::string();
    const std::string cyr = " Cyr";
    if (face.size() > cyr.size() && face.compare(face.size() - cyr.size(), cyr.size(), cyr) == 0)
        face.resize(face.size() - cyr.size());
    while (!face.empty() && face.back() == ' ') face.pop_back();
    if (face.empty()) return kDefaultFamily;
    const auto& known = KnownFamilies();
    auto it = known.find(Lower(face));
    return it == known.end() ? std::string(kDefaultFamily) : it->second;
}

struct CCairoDC::Impl {
    cairo_t* cr = nullptr;
    int nMapMode = MM_TEXT;
    double ox = 0, oy = 0;  // viewport origin in cr's user space
    bool bBounded = true;
    double bx = 0, by = 0, bcx = 0, bcy = 0;
    std::vector<int> excluded{0};  // exclusions per saved level
    // Saved levels not yet saved on cr. Drawing changes nothing of cr's
    // state for good but its colour (source), so a level needs Cairo's save
    // only once its clip changes or a caller takes the context; until then
    // closing it puts back the colour it was opened with. Each level holds
    // that colour once it changed, null while it has not: the nulls are the
    // innermost levels.
    std::vector<cairo_pattern_t*> unsaved;
    void OpenLevel() { unsaved.push_back(nullptr); }
    // False when the level was saved on cr, which then restores it.
    bool CloseUnsavedLevel() {
        if (unsaved.empty()) return false;
        if (cairo_pattern_t* source = unsaved.back()) {
            cairo_set_source(cr, source);
            cairo_pattern_destroy(source);
        }
        unsaved.pop_back();
        return true;
    }
    void SaveLevels() {
        if (unsaved.empty()) return;
        cairo_pattern_t* now = cairo_pattern_reference(cairo_get_source(cr));
        for (cairo_pattern_t* source : unsaved) {
            cairo_set_source(cr, source ? source : now);
            cairo_save(cr);
            if (source) cairo_pattern_destroy(source);
        }
        unsaved.clear();
        cairo_set_source(cr, now);
        cairo_pattern_destroy(now);
    }

    PangoContext* pContext = nullptr;
    std::vector<std::unique_ptr<Font>> fonts;
    Font* pLastFont = nullptr;
    LOGFONT lastLogFont;  // the record pLastFont was found for, when bLastLogFont
    bool bLastLogFont = false;

    // Glyphs of text lines not yet shown, all of one scaled font and colour.
    bool bGather = false;
    std::vector<cairo_glyph_t> glyphs;
    cairo_scaled_font_t* pGlyphFont = nullptr;
    COLORREF crGlyphs = 0;

    Impl(cairo_t* c, int mode) : cr(cairo_reference(c)), nMapMode(mode) {
        double x1, y1, x2, y2;
        cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
        SetBounds(x1, y1, x2 - x1, y2 - y1);
        pContext = pango_font_map_create_context(pango_cairo_font_map_get_default());
        // Unhinted metrics make widths independent of the scale at which a
        // surface draws, so a width measured once holds on screen and paper.
        cairo_font_options_t* opts = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(opts, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_antialias(opts, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(pContext, opts);
        cairo_font_options_destroy(opts);
        pango_cairo_context_set_resolution(pContext, 72.0);
    }
    ~Impl() {
        Flush();
        for (cairo_pattern_t* source : unsaved)
            if (source) cairo_pattern_destroy(source);
        fonts.clear();
        if (pContext) g_object_unref(pContext);
        cairo_destroy(cr);
    }

    void SetBounds(double x, double y, double cx, double cy) {
        bx = x; by = y; bcx = cx; bcy = cy;
        bBounded = std::isfinite(x) && std::isfinite(y) && std::isfinite(cx) && std::isfinite(cy) &&
                   cx < 1e7 && cy < 1e7;
    }

    // Logical units to cr's user space.
    double Scale() const { return nMapMode == MM_TWIPS ? 1.0 / kTwipsPerUnit : 1.0; }
    double UX(double x) const { return ox + x * Scale(); }
    double UY(double y) const { return nMapMode == MM_TWIPS ? oy - y / kTwipsPerUnit : oy + y; }
    double LX(double ux) const { return (ux - ox) / Scale(); }
    double LY(double uy) const { return nMapMode == MM_TWIPS ? (oy - uy) * kTwipsPerUnit : uy - oy; }

    void SetColor(COLORREF c) {
        for (auto it = unsaved.rbegin(); it != unsaved.rend() && !*it; ++it)
            *it = cairo_pattern_reference(cairo_get_source(cr));
        cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
    }

    PangoLayout* NewLayout(const Font& f, const std::string& utf8) const {
        PangoLayout* layout = pango_layout_new(pContext);
        pango_layout_set_font_description(layout, f.pDesc);
        pango_layout_set_attributes(layout, f.pAttrs);
        pango_layout_set_single_paragraph_mode(layout, TRUE);
        pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
        return layout;
    }

    Font* GetFont(const LOGFONT* pLogFont) {
        // A surface asks for the font of every string it measures or draws,
        // mostly the one it asked for last: the same record answers at once.
        if (pLogFont && pLastFont && bLastLogFont && std::memcmp(pLogFont, &lastLogFont, sizeof lastLogFont) == 0)
            return pLastFont;
        Font* f = FindFont(FontKey::From(pLogFont, nMapMode));
        bLastLogFont = pLogFont != nullptr;
        if (pLogFont) lastLogFont = *pLogFont;
        return f;
    }

    Font* FindFont(const FontKey& key) {
        if (pLastFont && pLastFont->key == key) return pLastFont;
        for (auto& f : fonts)
            if (f->key == key) return pLastFont = f.get();
        fonts.push_back(MakeFont(key));
        return pLastFont = fonts.back().get();
    }

    std::unique_ptr<Font> MakeFont(const FontKey& key) const {
        auto f = std::make_unique<Font>();
        f->key = key;
        f->pDesc = pango_font_description_new();
        const std::string family = CairoFontFamily(key.szFace);
        pango_font_description_set_family(f->pDesc, family.c_str());
        pango_font_description_set_absolute_size(f->pDesc, static_cast<double>(key.nHeight) * PANGO_SCALE);
        pango_font_description_set_weight(f->pDesc, static_cast<PangoWeight>(key.nWeight));
        pango_font_description_set_style(f->pDesc, key.bItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
        f->pAttrs = pango_attr_list_new();
        pango_attr_list_insert(f->pAttrs, pango_attr_font_features_new(kFontFeatures));

        PangoLayout* probe = NewLayout(*f, "X");
        PangoRectangle logical;
        pango_layout_get_extents(probe, nullptr, &logical);
        f->nLineHeight = std::max(1, CeilUnits(logical.height));
        f->dAscent = static_cast<double>(pango_layout_get_baseline(probe)) / PANGO_SCALE;
        g_object_unref(probe);

        // Shape all of printable ASCII once and keep each character's glyph.
        std::string ascii;
        for (int c = kFirstFast; c <= kLastFast; ++c) ascii += static_cast<char>(c);
        PangoLayout* layout = NewLayout(*f, ascii);
        PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
        for (GSList* l = line ? line->runs : nullptr; l; l = l->next) {
            auto* run = static_cast<PangoGlyphItem*>(l->data);
            PangoFont* font = run->item->analysis.font;
            int nFont = -1;
            for (std::size_t i = 0; i < f->fonts.size(); ++i)
                if (f->fonts[i] == font) nFont = static_cast<int>(i);
            if (nFont < 0) {
                f->fonts.push_back(PANGO_FONT(g_object_ref(font)));
                nFont = static_cast<int>(f->fonts.size()) - 1;
            }
            PangoGlyphString* gs = run->glyphs;
            for (int g = 0; g < gs->num_glyphs; ++g) {
                const int nByte = run->item->offset + gs->log_clusters[g];
                if (nByte < 0 || nByte >= static_cast<int>(ascii.size())) continue;
                Font::Glyph& slot = f->ascii[nByte];
                const PangoGlyphInfo& gi = gs->glyphs[g];
                // A character that takes several glyphs, or none the font has,
                // is left to full shaping.
                const bool bSingle = (g + 1 >= gs->num_glyphs || gs->log_clusters[g + 1] != gs->log_clusters[g]) &&
                                     (g == 0 || gs->log_clusters[g - 1] != gs->log_clusters[g]);
                if (!bSingle || (gi.glyph & PANGO_GLYPH_UNKNOWN_FLAG) || gi.geometry.x_offset || gi.geometry.y_offset) {
                    slot.nFont = -1;
                    continue;
                }
                slot.glyph = gi.glyph;
                slot.nAdvance = gi.geometry.width;
                slot.nFont = nFont;
            }
        }
        g_object_unref(layout);
        return f;
    }

    static bool IsFast(const Font& f, const char* p, int n) {
        for (int i = 0; i < n; ++i) {
            const int c = static_cast<unsigned char>(p[i]);
            if (c < kFirstFast || c > kLastFast || f.ascii[c - kFirstFast].nFont < 0) return false;
        }
        return true;
    }

    // Width in Pango units of one line of text.
    long long WidthUnits(Font& f, const char* p, int n) const {
        if (IsFast(f, p, n)) {
            long long w = 0;
            for (int i = 0; i < n; ++i) w += f.ascii[static_cast<unsigned char>(p[i]) - kFirstFast].nAdvance;
            return w;
        }
        std::string key(p, static_cast<std::size_t>(n));
        auto it = f.widths.find(key);
        if (it != f.widths.end()) return it->second;
        PangoLayout* layout = NewLayout(f, cairo_detail::ToUtf8(p, n));
        PangoRectangle logical;
        pango_layout_get_extents(layout, nullptr, &logical);
        g_object_unref(layout);
        if (f.widths.size() >= kMaxCachedWidths) f.widths.clear();
        f.widths.emplace(std::move(key), logical.width);
        return logical.width;
    }

    // Draws one line whose top-left corner is logical (x, y), in a user space
    // of logical units with y growing downward.
    void DrawLine(Font& f, const char* p, int n, int x, int y, const State& s) {
        if (s.nBkMode == OPAQUE) {
            Flush();  // the background covers what came before it
            cairo_save(cr);
            MoveToLine(x, y);
            SetColor(s.crBk);
            cairo_rectangle(cr, 0, 0, static_cast<double>(CeilUnits(WidthUnits(f, p, n))), f.nLineHeight);
            cairo_fill(cr);
            cairo_restore(cr);
        }
        const bool bFast = IsFast(f, p, n);
        if (bFast && GlyphLine(f, p, n, x, y, s.crText)) return;
        cairo_save(cr);
        MoveToLine(x, y);
        SetColor(s.crText);
        if (bFast) {
            PangoGlyphString* gs = pango_glyph_string_new();
            double xRun = 0;
            int i = 0;
            while (i < n) {
                const int nFont = f.ascii[static_cast<unsigned char>(p[i]) - kFirstFast].nFont;
                int j = i;
                long long nRunWidth = 0;
                while (j < n && f.ascii[static_cast<unsigned char>(p[j]) - kFirstFast].nFont == nFont) ++j;
                pango_glyph_string_set_size(gs, j - i);
                for (int k = i; k < j; ++k) {
                    const Font::Glyph& g = f.ascii[static_cast<unsigned char>(p[k]) - kFirstFast];
                    PangoGlyphInfo& gi = gs->glyphs[k - i];
                    gi.glyph = g.glyph;
                    gi.geometry.width = g.nAdvance;
                    gi.geometry.x_offset = 0;
                    gi.geometry.y_offset = 0;
                    gi.attr.is_cluster_start = 1;
                    gs->log_clusters[k - i] = k - i;
                    nRunWidth += g.nAdvance;
                }
                cairo_move_to(cr, xRun, f.dAscent);
                pango_cairo_show_glyph_string(cr, f.fonts[static_cast<std::size_t>(nFont)], gs);
                xRun += static_cast<double>(nRunWidth) / PANGO_SCALE;
                i = j;
            }
            pango_glyph_string_free(gs);
        } else {
            PangoLayout* layout = NewLayout(f, cairo_detail::ToUtf8(p, n));
            cairo_move_to(cr, 0, f.dAscent - static_cast<double>(pango_layout_get_baseline(layout)) / PANGO_SCALE);
            pango_cairo_show_layout(cr, layout);
            g_object_unref(layout);
        }
        cairo_restore(cr);
    }

    // A user space of logical units from the top-left corner of the line at
    // logical (x, y).
    void MoveToLine(int x, int y) {
        cairo_translate(cr, UX(x), UY(y));
        cairo_scale(cr, Scale(), Scale());
    }

    // Draws a fast-path line whose top-left corner is logical (x, y) with
    // Cairo alone: the glyphs are placed in the context's user space and
    // shown at once, or gathered with those of earlier lines of the same font
    // and colour. False, with nothing drawn, when Cairo has no scaled font
    // for it (the caller then goes through Pango). The context's state is not
    // touched: points are taken to the line's space by hand, which gives the
    // very numbers a moved and scaled context gives.
    bool GlyphLine(Font& f, const char* p, int n, int xLine, int yLine, COLORREF crText) {
        // Each run starts where a move to its origin would put it: Cairo keeps
        // the current point in device space to 1/256, and so placed text
        // lies where Pango would have drawn it, to the last digit of the PDF.
        struct Run {
            int nFont, nFirst, nLast;
            double x, y;
        };
        Run runs[8];
        int nRuns = 0;
        double xRun = 0;
        const double dScale = Scale(), x0 = UX(xLine), y0 = UY(yLine);
        for (int i = 0; i < n;) {
            const int nFont = f.ascii[static_cast<unsigned char>(p[i]) - kFirstFast].nFont;
            int j = i;
            long long nRunWidth = 0;
            for (; j < n && f.ascii[static_cast<unsigned char>(p[j]) - kFirstFast].nFont == nFont; ++j)
                nRunWidth += f.ascii[static_cast<unsigned char>(p[j]) - kFirstFast].nAdvance;
            if (nRuns == 8) return false;  // a mixture of fonts is left to Pango
            double x = x0 + dScale * xRun, y = y0 + dScale * f.dAscent;
            cairo_user_to_device(cr, &x, &y);
            runs[nRuns++] = Run{nFont, i, j, std::nearbyint(x * 256) / 256, std::nearbyint(y * 256) / 256};
            xRun += static_cast<double>(nRunWidth) / PANGO_SCALE;
            i = j;
        }
        double dx = dScale * (1.0 / PANGO_SCALE), dy = 0;
        cairo_user_to_device_distance(cr, &dx, &dy);
        cairo_matrix_t ctm;
        cairo_get_matrix(cr, &ctm);
        cairo_matrix_t inverse = ctm;
        if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) return false;
        cairo_scaled_font_t* runFonts[8];
        for (int r = 0; r < nRuns; ++r)
            if (!(runFonts[r] = f.DrawFont(static_cast<std::size_t>(runs[r].nFont), dScale, ctm))) return false;
        for (int r = 0; r < nRuns; ++r) {
            cairo_scaled_font_t* sf = runFonts[r];
            if (sf != pGlyphFont || crText != crGlyphs) Flush();
            pGlyphFont = sf;
            crGlyphs = crText;
            long long nX = 0;
            for (int i = runs[r].nFirst; i < runs[r].nLast; ++i) {
                const Font::Glyph& g = f.ascii[static_cast<unsigned char>(p[i]) - kFirstFast];
                const double d = static_cast<double>(nX);
                double x = runs[r].x + d * dx, y = runs[r].y + d * dy;
                cairo_matrix_transform_point(&inverse, &x, &y);
                glyphs.push_back(cairo_glyph_t{g.glyph, x, y});
                nX += g.nAdvance;
            }
        }
        if (!bGather) Flush();
        return true;
    }

    // Shows the gathered glyphs in the caller's transformation.
    void Flush() {
        if (glyphs.empty()) return;
        cairo_save(cr);
        cairo_set_scaled_font(cr, pGlyphFont);
        SetColor(crGlyphs);
        cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
        cairo_restore(cr);
        glyphs.clear();
    }
};

CCairoDC::CCairoDC(cairo_t* cr, int nMapMode) : m_pImpl(std::make_unique<Impl>(cr, nMapMode)) {
    SetMapMode(nMapMode);
}

std::unique_ptr<CCairoDC> CCairoDC::CreateMeasuringDC(int nMapMode) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(surface);
    cairo_surface_destroy(surface);
    auto dc = std::make_unique<CCairoDC>(cr, nMapMode);
    cairo_destroy(cr);
    dc->m_pImpl->bBounded = false;
    return dc;
}

CCairoDC::~CCairoDC() = default;

void CCairoDC::SetViewportOrg(double x, double y) {
    m_pImpl->ox = x;
    m_pImpl->oy = y;
}

void CCairoDC::SetDeviceBounds(double x, double y, double cx, double cy) { m_pImpl->SetBounds(x, y, cx, cy); }

cairo_t* CCairoDC::GetContext() const {
    m_pImpl->Flush();
    m_pImpl->SaveLevels();
    return m_pImpl->cr;
}

void CCairoDC::SetGatherText(bool bGather) {
    m_pImpl->bGather = bGather;
    if (!bGather) m_pImpl->Flush();
}

void CCairoDC::Flush() {
    m_pImpl->Flush();
    m_pImpl->SaveLevels();
}

std::unique_ptr<CDC> CCairoDC::CreateCompatibleDC() const { return CreateMeasuringDC(MM_TEXT); }

CSize CCairoDC::OnGetTextExtent(const char* pText, int nCount) const {
    Font* f = m_pImpl->GetFont(GetCurrentLogFont());
    const int cx = nCount > 0 && pText ? CeilUnits(m_pImpl->WidthUnits(*f, pText, nCount)) : 0;
    return CSize(cx, f->nLineHeight);
}

void CCairoDC::OnTextLine(const char* pText, int nCount, int x, int y) {
    if (!pText || nCount <= 0) return;
    Font* f = m_pImpl->GetFont(GetCurrentLogFont());
    m_pImpl->DrawLine(*f, pText, nCount, x, y, GetState());
}

void CCairoDC::OnRectangle(const CRect& rc) {
    Impl& d = *m_pImpl;
    d.Flush();
    const double x1 = d.UX(rc.left), x2 = d.UX(rc.right);
    const double y1 = d.UY(rc.top), y2 = d.UY(rc.bottom);
    if (x1 == x2 || y1 == y2) return;
    d.SetColor(GetBrushColor());
    cairo_rectangle(d.cr, std::min(x1, x2), std::min(y1, y2), std::fabs(x2 - x1), std::fabs(y2 - y1));
    cairo_fill(d.cr);
}

void CCairoDC::OnLineTo(const CPoint& from, const CPoint& to) {
    Impl& d = *m_pImpl;
    d.Flush();
    const CPen* pPen = GetState().pPen;
    const int nWidth = pPen ? pPen->GetWidth() : 0;
    d.SetColor(GetPenColor());
    if (d.nMapMode != MM_TWIPS) {
        // Screen pens cover whole pixels: a line from a to b covers the
        // pixels from a up to, not including, b, as window systems draw it.
        const double w = std::max(1, nWidth);
        if (from.y == to.y || from.x == to.x) {
            // Pixels from the start point inclusive to the end point exclusive,
            // in whichever direction the line runs.
            auto first = [](int a, int b) { return a <= b ? a : b + 1; };
            const double x1 = d.UX(first(from.x, to.x)), y1 = d.UY(first(from.y, to.y));
            const double len = std::abs(to.x - from.x) + std::abs(to.y - from.y);
            if (len == 0) return;
            const double off = std::floor((w - 1) / 2);
            if (from.y == to.y)
                cairo_rectangle(d.cr, x1, y1 - off, len, w);
            else
                cairo_rectangle(d.cr, x1 - off, y1, w, len);
            cairo_fill(d.cr);
            return;
        }
        cairo_save(d.cr);
        cairo_set_line_width(d.cr, w);
        cairo_set_line_cap(d.cr, CAIRO_LINE_CAP_BUTT);
        cairo_move_to(d.cr, d.UX(from.x) + 0.5, d.UY(from.y) + 0.5);
        cairo_line_to(d.cr, d.UX(to.x) + 0.5, d.UY(to.y) + 0.5);
        cairo_stroke(d.cr);
        cairo_restore(d.cr);
        return;
    }
    cairo_save(d.cr);
    cairo_set_line_width(d.cr, nWidth > 0 ? nWidth / kTwipsPerUnit : kPrintHairline);
    // Square caps close the corners where a rule meets the next one.
    cairo_set_line_cap(d.cr, CAIRO_LINE_CAP_SQUARE);
    cairo_move_to(d.cr, d.UX(from.x), d.UY(from.y));
    cairo_line_to(d.cr, d.UX(to.x), d.UY(to.y));
    cairo_stroke(d.cr);
    cairo_restore(d.cr);
}

int CCairoDC::OnGetClipBox(CRect* pRect) const {
    const Impl& d = *m_pImpl;
    if (!d.bBounded) {
        *pRect = CRect(-1000000000, -1000000000, 1000000000, 1000000000);
        return d.excluded.back() ? COMPLEXREGION : SIMPLEREGION;
    }
    const double l = d.LX(d.bx), r = d.LX(d.bx + d.bcx);
    const double t = d.LY(d.by), b = d.LY(d.by + d.bcy);
    auto clampInt = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
    // Whole logical units that cover the bounds; in MM_TWIPS top lies above bottom.
    if (d.nMapMode == MM_TWIPS)
        *pRect = CRect(clampInt(std::floor(l)), clampInt(std::ceil(t)), clampInt(std::ceil(r)), clampInt(std::floor(b)));
    else
        *pRect = CRect(clampInt(std::floor(l)), clampInt(std::floor(t)), clampInt(std::ceil(r)), clampInt(std::ceil(b)));
    if (d.bcx <= 0 || d.bcy <= 0) return NULLREGION;
    return d.excluded.back() ? COMPLEXREGION : SIMPLEREGION;
}

int CCairoDC::OnExcludeClipRect(const CRect& rc) {
    Impl& d = *m_pImpl;
    d.Flush();
    d.SaveLevels();
    const double x1 = d.UX(rc.left), x2 = d.UX(rc.right);
    const double y1 = d.UY(rc.top), y2 = d.UY(rc.bottom);
    double cx1, cy1, cx2, cy2;
    cairo_clip_extents(d.cr, &cx1, &cy1, &cx2, &cy2);
    if (x1 == x2 || y1 == y2) return d.excluded.back() ? COMPLEXREGION : SIMPLEREGION;
    // Clip to the current extent with the hole cut out by the even-odd rule;
    // cairo intersects it with the clip in force.
    cairo_new_path(d.cr);
    cairo_rectangle(d.cr, cx1, cy1, cx2 - cx1, cy2 - cy1);
    cairo_rectangle(d.cr, std::min(x1, x2), std::min(y1, y2), std::fabs(x2 - x1), std::fabs(y2 - y1));
    cairo_set_fill_rule(d.cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(d.cr);
    cairo_set_fill_rule(d.cr, CAIRO_FILL_RULE_WINDING);
    ++d.excluded.back();
    if (std::min(x1, x2) <= cx1 && std::max(x1, x2) >= cx2 && std::min(y1, y2) <= cy1 && std::max(y1, y2) >= cy2)
        return NULLREGION;
    return COMPLEXREGION;
}

int CCairoDC::OnIntersectClipRect(const CRect& rc) {
    Impl& d = *m_pImpl;
    d.Flush();  // what was gathered before lies under the wider clip
    d.SaveLevels();
    const double x1 = d.UX(rc.left), x2 = d.UX(rc.right);
    const double y1 = d.UY(rc.top), y2 = d.UY(rc.bottom);
    cairo_new_path(d.cr);
    cairo_rectangle(d.cr, std::min(x1, x2), std::min(y1, y2), std::fabs(x2 - x1), std::fabs(y2 - y1));
    cairo_clip(d.cr);
    ++d.excluded.back();  // the level's glyphs are shown before the clip ends
    double cx1, cy1, cx2, cy2;
    cairo_clip_extents(d.cr, &cx1, &cy1, &cx2, &cy2);
    return cx2 > cx1 && cy2 > cy1 ? SIMPLEREGION : NULLREGION;
}

void CCairoDC::OnSaveDC() {
    m_pImpl->OpenLevel();
    m_pImpl->excluded.push_back(m_pImpl->excluded.back());
}

void CCairoDC::OnRestoreDC() {
    Impl& d = *m_pImpl;
    if (d.excluded.size() <= 1) return;
    // Gathered glyphs outlive a level unless the clip of that level ends.
    if (d.excluded.back() != d.excluded[d.excluded.size() - 2]) d.Flush();
    if (!d.CloseUnsavedLevel()) cairo_restore(d.cr);
    d.excluded.pop_back();
}

void CCairoDC::OnSetMapMode(int nMapMode) {
    m_pImpl->Flush();
    m_pImpl->nMapMode = nMapMode == MM_TWIPS ? MM_TWIPS : MM_TEXT;
    m_pImpl->pLastFont = nullptr;
}

}  // namespace kavo

// Fontconfig, and Pango's font map on top of it, keep process-wide caches
// that are never freed; the leak checker of sanitizer builds is told so,
// for every program that draws with this surface.
#if defined(__SANITIZE_ADDRESS__)
#define KAVOTBL_LSAN_HOOK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KAVOTBL_LSAN_HOOK 1
#endif
#endif
#ifdef KAVOTBL_LSAN_HOOK
// Keeps a program's standard error its own: no list of the leaks passed over.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libpango-1.0.so\n"
           "leak:libpangoft2-1.0.so\n"
           "leak:libpangocairo-1.0.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libharfbuzz.so\n"
           "leak:libfreetype.so\n";
}
#endif
