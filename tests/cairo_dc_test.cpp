// The Cairo surface: text conversion, font choice, measuring, and what lands
// on the pixels of an image.
#include <gtest/gtest.h>

#ifdef KAVOTBL_HAVE_CAIRO

#include <cairo.h>

#include <cstring>
#include <string>

#include "kavotbl/cairo/cairo_dc.h"
#include "text_encoding.h"

namespace kavo {
namespace {

using cairo_detail::IsValidUtf8;
using cairo_detail::ToUtf8;

std::string Conv(const char* bytes) { return ToUtf8(bytes, static_cast<int>(std::strlen(bytes))); }

// An RGB image filled white, with a surface drawing on it.
class Canvas {
public:
    Canvas(int w, int h, int nMapMode = MM_TEXT) : m_w(w), m_h(h) {
        m_surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
        m_cr = cairo_create(m_surface);
        cairo_set_source_rgb(m_cr, 1, 1, 1);
        cairo_paint(m_cr);
        dc = std::make_unique<CCairoDC>(m_cr, nMapMode);
    }
    ~Canvas() {
        dc.reset();
        cairo_destroy(m_cr);
        cairo_surface_destroy(m_surface);
    }
    // 0x00RRGGBB of a pixel.
    std::uint32_t Pixel(int x, int y) {
        cairo_surface_flush(m_surface);
        const unsigned char* data = cairo_image_surface_get_data(m_surface);
        const int stride = cairo_image_surface_get_stride(m_surface);
        std::uint32_t v;
        std::memcpy(&v, data + y * stride + x * 4, 4);
        return v & 0xFFFFFF;
    }
    bool IsWhite(int x, int y) { return Pixel(x, y) == 0xFFFFFF; }
    // Bounding box of every non-white pixel; empty when there is none.
    CRect Ink() {
        CRect rc(m_w, m_h, -1, -1);
        for (int y = 0; y < m_h; ++y)
            for (int x = 0; x < m_w; ++x)
                if (!IsWhite(x, y)) {
                    rc.left = std::min(rc.left, x);
                    rc.top = std::min(rc.top, y);
                    rc.right = std::max(rc.right, x + 1);
                    rc.bottom = std::max(rc.bottom, y + 1);
                }
        return rc;
    }
    std::unique_ptr<CCairoDC> dc;

private:
    int m_w, m_h;
    cairo_surface_t* m_surface;
    cairo_t* m_cr;
};

LOGFONT Font(int nHeight, const char* face = "DejaVu Sans", int nWeight = FW_NORMAL, bool bItalic = false) {
    LOGFONT lf;
    lf.lfHeight = nHeight;
    lf.lfWeight = nWeight;
    lf.lfItalic = bItalic ? 1 : 0;
    std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
    return lf;
}

// ---------------------------------------------------------------- encoding

TEST(CairoTextEncoding, ValidUtf8PassesUnchanged) {
    const char* text = "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC 5";  // "Größe € 5"
    EXPECT_TRUE(IsValidUtf8(text, static_cast<int>(std::strlen(text))));
    EXPECT_EQ(Conv(text), text);
}

TEST(CairoTextEncoding, LatinLettersOfOldFilesBecomeUtf8) {
    // é is 0xE9 in the code page and U+00E9 (C3 A9) in UTF-8.
    EXPECT_EQ(Conv("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(Conv("\xC5ngstr\xF6m"), "\xC3\x85ngstr\xC3\xB6m");
}

TEST(CairoTextEncoding, SpecialRangeUsesTheCodePageTable) {
    // 0x80 euro sign U+20AC, 0x8A S caron U+0160, 0x96 en dash U+2013,
    // 0x9F Y diaeresis U+0178.
    EXPECT_EQ(Conv("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Conv("\x8A"), "\xC5\xA0");
    EXPECT_EQ(Conv("1990\x96" "2000"), "1990\xE2\x80\x93" "2000");
    EXPECT_EQ(Conv("\x9F"), "\xC5\xB8");
    // 0x81 has no character in the code page.
    EXPECT_EQ(Conv("a\x81"), "a\xEF\xBF\xBD");
}

TEST(CairoTextEncoding, MalformedUtf8IsReadAsTheCodePage) {
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF", 2));      // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80", 3));  // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xE2\x82", 2));      // cut short
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80", 4));  // above U+10FFFF
    // Each byte then stands for itself: C0 is À (C3 80), AF is ¯ (C2 AF).
    EXPECT_EQ(Conv("\xC0\xAF"), "\xC3\x80\xC2\xAF");
    EXPECT_EQ(Conv("\xE2\x82"), "\xC3\xA2\xE2\x80\x9A");
}

// ---------------------------------------------------------------- fonts

TEST(CairoFonts, UnknownOrEmptyFaceFallsBackToDejaVuSans) {
    EXPECT_EQ(CairoFontFamily("No Such Face At All"), "DejaVu Sans");
    EXPECT_EQ(CairoFontFamily(""), "DejaVu Sans");
    EXPECT_EQ(CairoFontFamily(nullptr), "DejaVu Sans");
}

TEST(CairoFonts, KnownFaceIsKeptWithItsOwnSpelling) {
    EXPECT_EQ(CairoFontFamily("dejavu serif"), "DejaVu Serif");
    // The printer layout appends " Cyr" to Cyrillic faces.
    EXPECT_EQ(CairoFontFamily("DejaVu Serif Cyr"), "DejaVu Serif");
}

TEST(CairoFonts, BoldIsWiderThanRegular) {
    auto dc = CCairoDC::CreateMeasuringDC();
    CFont regular, bold;
    LOGFONT lf = Font(-20);
    regular.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    bold.CreateFontIndirect(&lf);
    dc->SelectObject(&regular);
    const int w = dc->GetTextExtent("Households by size").cx;
    dc->SelectObject(&bold);
    EXPECT_GT(dc->GetTextExtent("Households by size").cx, w);
}

TEST(CairoFonts, ItalicDrawsSlantedGlyphs) {
    Canvas upright(40, 40), slanted(40, 40);
    CFont f1, f2;
    LOGFONT lf = Font(-30);
    f1.CreateFontIndirect(&lf);
    lf.lfItalic = 1;
    f2.CreateFontIndirect(&lf);
    upright.dc->SelectObject(&f1);
    slanted.dc->SelectObject(&f2);
    upright.dc->SetBkMode(TRANSPARENT);
    slanted.dc->SetBkMode(TRANSPARENT);
    CRect rc(5, 0, 40, 40);
    upright.dc->DrawText("l", 1, &rc, DT_NOCLIP);
    slanted.dc->DrawText("l", 1, &rc, DT_NOCLIP);
    // An upright l is a vertical bar; a slanted one leans right at its top.
    const CRect a = upright.Ink(), b = slanted.Ink();
    ASSERT_FALSE(a.IsRectEmpty());
    ASSERT_FALSE(b.IsRectEmpty());
    EXPECT_GT(b.Width(), a.Width());
}

// ---------------------------------------------------------------- measuring

class CairoMeasure : public ::testing::Test {
protected:
    void Select(CDC& dc, const LOGFONT& lf) {
        fonts.emplace_back(std::make_unique<CFont>());
        fonts.back()->CreateFontIndirect(&lf);
        dc.SelectObject(fonts.back().get());
    }
    std::vector<std::unique_ptr<CFont>> fonts;
};

TEST_F(CairoMeasure, TwipsAndPixelsMeasureInTheSameUnits) {
    auto text = CCairoDC::CreateMeasuringDC(MM_TEXT);
    auto twips = CCairoDC::CreateMeasuringDC(MM_TWIPS);
    Select(*text, Font(-200));
    Select(*twips, Font(-200));
    EXPECT_EQ(text->GetTextExtent("1,234,567").cx, twips->GetTextExtent("1,234,567").cx);
    EXPECT_EQ(text->GetTextExtent("X").cy, twips->GetTextExtent("X").cy);
    // The drawing routine reports twips heights downward as negative.
    CRect rcText(0, 0, 100000, 0), rcTwips(0, 0, 100000, 0);
    const int h = text->DrawText("X", 1, &rcText, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(twips->DrawText("X", 1, &rcTwips, DT_CALCRECT | DT_WORDBREAK), -h);
}

TEST_F(CairoMeasure, WidthsScaleWithTheFontSize) {
    // Unhinted metrics: doubling the size doubles every width, up to the
    // rounding of each measurement to whole units.
    auto dc = CCairoDC::CreateMeasuringDC();
    Select(*dc, Font(-100));
    const int w1 = dc->GetTextExtent("Total, all households 12,345").cx;
    Select(*dc, Font(-200));
    const int w2 = dc->GetTextExtent("Total, all households 12,345").cx;
    EXPECT_NEAR(w2, 2 * w1, 2);
}

TEST_F(CairoMeasure, LineHeightCoversTheFontAndEmptyTextHasNoWidth) {
    auto dc = CCairoDC::CreateMeasuringDC();
    Select(*dc, Font(-16));
    const CSize empty = dc->GetTextExtent("", 0);
    EXPECT_EQ(empty.cx, 0);
    EXPECT_GE(empty.cy, 16);
    EXPECT_EQ(dc->GetTextExtent("Xg").cy, empty.cy);
}

TEST_F(CairoMeasure, OldFileBytesMeasureAsTheirLetters) {
    auto dc = CCairoDC::CreateMeasuringDC();
    Select(*dc, Font(-20));
    EXPECT_EQ(dc->GetTextExtent("caf\xE9").cx, dc->GetTextExtent("caf\xC3\xA9").cx);
    // The euro sign is one glyph, not three stray bytes.
    EXPECT_EQ(dc->GetTextExtent("\x80").cx, dc->GetTextExtent("\xE2\x82\xAC").cx);
}

TEST_F(CairoMeasure, WrappedTextStacksWholeLines) {
    auto dc = CCairoDC::CreateMeasuringDC();
    Select(*dc, Font(-20));
    const int lineHeight = dc->GetTextExtent("", 0).cy;
    const int wOne = dc->GetTextExtent("Urban").cx;
    const int wBoth = dc->GetTextExtent("Urban areas").cx;
    CRect rc(0, 0, wBoth - 1, 0);  // too narrow for both words
    const int h = dc->DrawText("Urban areas", 11, &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_EQ(h, 2 * lineHeight);
    EXPECT_EQ(rc.right, std::max(wOne, dc->GetTextExtent("areas").cx));
}

TEST_F(CairoMeasure, CompatibleSurfaceMeasuresAlike) {
    Canvas canvas(10, 10);
    Select(*canvas.dc, Font(-18));
    auto mem = canvas.dc->CreateCompatibleDC();
    ASSERT_TRUE(mem);
    EXPECT_EQ(mem->GetMapMode(), MM_TEXT);
    Select(*mem, Font(-18));
    EXPECT_EQ(mem->GetTextExtent("Two persons").cx, canvas.dc->GetTextExtent("Two persons").cx);
}

// ---------------------------------------------------------------- drawing

TEST(CairoDraw, RectangleFillsWithTheBrushLeavingRightAndBottomOut) {
    Canvas c(10, 10);
    CBrush red(RGB(255, 0, 0));
    c.dc->SelectObject(&red);
    c.dc->Rectangle(2, 3, 5, 7);
    EXPECT_EQ(c.Pixel(2, 3), 0xFF0000u);
    EXPECT_EQ(c.Pixel(4, 6), 0xFF0000u);
    EXPECT_TRUE(c.IsWhite(5, 6));
    EXPECT_TRUE(c.IsWhite(4, 7));
    EXPECT_TRUE(c.IsWhite(1, 3));
    EXPECT_EQ(c.Ink(), CRect(2, 3, 5, 7));
}

TEST(CairoDraw, ThinPenCoversOnePixelUpToTheEndPoint) {
    Canvas c(20, 20);
    CPen blue(PS_SOLID, 0, RGB(0, 0, 255));
    c.dc->SelectObject(&blue);
    c.dc->MoveTo(3, 5);
    c.dc->LineTo(12, 5);
    EXPECT_EQ(c.Ink(), CRect(3, 5, 12, 6));
    EXPECT_EQ(c.Pixel(3, 5), 0x0000FFu);
    c.dc->MoveTo(15, 12);
    c.dc->LineTo(15, 2);  // drawn upward: the end point is still left out
    EXPECT_EQ(c.Pixel(15, 12), 0x0000FFu);
    EXPECT_TRUE(c.IsWhite(15, 2));
    EXPECT_EQ(c.Pixel(15, 3), 0x0000FFu);
}

TEST(CairoDraw, ExcludedRectangleStaysUntouchedUntilRestore) {
    Canvas c(20, 20);
    CBrush black(RGB(0, 0, 0));
    c.dc->SelectObject(&black);
    const int saved = c.dc->SaveDC();
    EXPECT_EQ(c.dc->ExcludeClipRect(5, 5, 10, 10), COMPLEXREGION);
    c.dc->Rectangle(0, 0, 20, 20);
    EXPECT_TRUE(c.IsWhite(5, 5));
    EXPECT_TRUE(c.IsWhite(9, 9));
    EXPECT_FALSE(c.IsWhite(10, 10));
    EXPECT_FALSE(c.IsWhite(4, 4));
    ASSERT_EQ(c.dc->RestoreDC(saved), 1);
    CBrush red(RGB(255, 0, 0));
    c.dc->SelectObject(&red);
    c.dc->Rectangle(0, 0, 20, 20);
    EXPECT_EQ(c.Pixel(7, 7), 0xFF0000u);
}

TEST(CairoDraw, TwoExclusionsBothHold) {
    Canvas c(30, 10);
    CBrush black(RGB(0, 0, 0));
    c.dc->SelectObject(&black);
    c.dc->ExcludeClipRect(0, 0, 10, 10);
    c.dc->ExcludeClipRect(20, 0, 30, 10);
    c.dc->Rectangle(0, 0, 30, 10);
    EXPECT_EQ(c.Ink(), CRect(10, 0, 20, 10));
}

TEST(CairoDraw, TwipsGrowUpwardFromTheViewportOrigin) {
    // A 72-dpi image: one pixel is one point, 20 twips.
    Canvas c(40, 40, MM_TWIPS);
    c.dc->SetViewportOrg(10, 10);
    CBrush black(RGB(0, 0, 0));
    c.dc->SelectObject(&black);
    c.dc->Rectangle(0, 0, 200, -100);  // 10 pt wide, 5 pt downward
    EXPECT_EQ(c.Ink(), CRect(10, 10, 20, 15));
}

TEST(CairoDraw, ClipBoxIsTheSurfaceInLogicalUnits) {
    Canvas text(100, 50);
    CRect rc;
    EXPECT_EQ(text.dc->GetClipBox(&rc), SIMPLEREGION);
    EXPECT_EQ(rc, CRect(0, 0, 100, 50));
    Canvas twips(100, 50, MM_TWIPS);
    twips.dc->SetViewportOrg(10, 10);
    twips.dc->GetClipBox(&rc);
    // x from -10 pt to 90 pt, y from +10 pt above the origin to 40 pt below.
    EXPECT_EQ(rc, CRect(-200, 200, 1800, -800));
}

class CairoTextInk : public ::testing::TestWithParam<const char*> {};

TEST_P(CairoTextInk, DrawnTextStaysWithinItsMeasuredWidth) {
    Canvas c(400, 60);
    CFont font;
    LOGFONT lf = Font(-24);
    font.CreateFontIndirect(&lf);
    c.dc->SelectObject(&font);
    c.dc->SetBkMode(TRANSPARENT);
    const char* text = GetParam();
    const int n = static_cast<int>(std::strlen(text));
    const CSize size = c.dc->GetTextExtent(text, n);
    CRect rc(20, 10, 20 + size.cx, 10 + size.cy);
    c.dc->DrawText(text, n, &rc, DT_NOCLIP | DT_NOPREFIX);
    const CRect ink = c.Ink();
    ASSERT_FALSE(ink.IsRectEmpty()) << text;
    // Antialiasing may touch the pixel at either edge, never one beyond.
    EXPECT_GE(ink.left, 20 - 1) << text;
    EXPECT_LE(ink.right, 20 + size.cx + 1) << text;
    // Accents above capitals may rise a little over the font's ascent.
    EXPECT_GE(ink.top, 10 - 3) << text;
    EXPECT_LE(ink.bottom, 10 + size.cy) << text;
}

INSTANTIATE_TEST_SUITE_P(Texts, CairoTextInk,
                         ::testing::Values("1,234,567", "-0.5", "WAVY", "Total, all households",
                                           "caf\xE9 \x80 9", "\xC3\x85ngstr\xC3\xB6m", "(x) [y] {z} |"));

TEST(CairoDraw, RightAlignedTextEndsAtTheRectangle) {
    Canvas c(200, 40);
    CFont font;
    LOGFONT lf = Font(-20);
    font.CreateFontIndirect(&lf);
    c.dc->SelectObject(&font);
    c.dc->SetBkMode(TRANSPARENT);
    CRect rc(10, 5, 150, 35);
    c.dc->DrawText("98,765", 6, &rc, DT_RIGHT | DT_WORDBREAK | DT_NOCLIP);
    const CRect ink = c.Ink();
    EXPECT_LE(ink.right, 151);
    // Right-aligned: the text ends near the right edge, far from the left.
    EXPECT_GT(ink.left, 10 + (140 - c.dc->GetTextExtent("98,765").cx) - 2);
    EXPECT_GE(ink.right, 150 - 3);
}

TEST(CairoDraw, TextUsesTheTextColourAndOpaqueBackground) {
    Canvas c(120, 40);
    CFont font;
    LOGFONT lf = Font(-20);
    font.CreateFontIndirect(&lf);
    c.dc->SelectObject(&font);
    c.dc->SetTextColor(RGB(255, 0, 0));
    c.dc->SetBkMode(OPAQUE);
    c.dc->SetBkColor(RGB(0, 0, 255));
    CRect rc(0, 0, 120, 40);
    c.dc->DrawText("II", 2, &rc, DT_NOCLIP);
    // The opaque background covers the line's box; the strokes are red.
    EXPECT_EQ(c.Pixel(0, 1), 0x0000FFu);
    bool bRed = false;
    for (int x = 0; x < 40 && !bRed; ++x)
        for (int y = 0; y < 30 && !bRed; ++y) bRed = c.Pixel(x, y) == 0xFF0000u;
    EXPECT_TRUE(bRed);
    EXPECT_TRUE(c.IsWhite(110, 35));
}

}  // namespace
}  // namespace kavo

#else

TEST(CairoSurface, NotBuilt) { GTEST_SKIP() << "configured without the Cairo surface"; }

#endif
