// The Cairo surface: text conversion, font families, measuring, and what
// lands on the pixels of an image.
#include <gtest/gtest.h>

#ifdef KAVOTBL_HAVE_CAIRO

#include "draw_test_support.h"
#include "text_encoding.h"

namespace kavo {
namespace {

// ---------------------------------------------------------------- text and fonts

TEST(CairoText, OldFileBytesBecomeUtf8AndUtf8StaysAsItIs) {
    const struct { const char* in; const char* out; } cases[] = {
        // "Größe € 5", already UTF-8.
        {"Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC 5", "Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC 5"},
        {"caf\xE9", "caf\xC3\xA9"},                                    // 0xE9 é is U+00E9
        {"\x80\x8A\x9F", "\xE2\x82\xAC\xC5\xA0\xC5\xB8"},              // € U+20AC, Š U+0160, Ÿ U+0178
        {"1990\x96" "2000", "1990\xE2\x80\x93" "2000"},                // en dash U+2013
        {"a\x81", "a\xEF\xBF\xBD"},                                    // 0x81 has no character
        // Malformed UTF-8 is read as the code page, byte by byte: overlong
        // "/" (À ¯), a surrogate (í, no-break space, €), cut short (â ‚),
        // above U+10FFFF (ô, nothing, €, €).
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},
        {"\xF4\x90\x80\x80", "\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cairo_detail::ToUtf8(c.in, static_cast<int>(std::strlen(c.in))), c.out) << c.in;
}

TEST(CairoFonts, UnknownFacesFallBackAndPrinterFacesKeepTheirFamily) {
    // The second is the printer layout's Cyrillic face.
    EXPECT_EQ(CairoFontFamily("No Such Face At All") + "/" + CairoFontFamily("DejaVu Serif Cyr"),
              "DejaVu Sans/DejaVu Serif");
}

// ---------------------------------------------------------------- measuring

TEST(CairoMeasure, TwipsAndPixelsAgreeAndOldFileBytesMeasureAsTheirLetters) {
    auto text = CCairoDC::CreateMeasuringDC(MM_TEXT), twips = CCairoDC::CreateMeasuringDC(MM_TWIPS);
    CFont f1, f2;
    Select(*text, f1, MakeFont("DejaVu Sans", -200));
    Select(*twips, f2, MakeFont("DejaVu Sans", -200));
    EXPECT_EQ(text->GetTextExtent("1,234,567"), twips->GetTextExtent("1,234,567"));
    // Heights measured downward on twips come back negative.
    CRect rcText(0, 0, 100000, 0), rcTwips(0, 0, 100000, 0);
    const int h = text->DrawText("X", 1, &rcText, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(twips->DrawText("X", 1, &rcTwips, DT_CALCRECT | DT_WORDBREAK), -h);
    // Bytes of old files measure as their letters: é, and the euro sign as one glyph.
    EXPECT_EQ(text->GetTextExtent("caf\xE9").cx, text->GetTextExtent("caf\xC3\xA9").cx);
    EXPECT_EQ(text->GetTextExtent("\x80").cx, text->GetTextExtent("\xE2\x82\xAC").cx);
}

// ---------------------------------------------------------------- drawing

TEST(CairoDraw, ExclusionsColoursAndClipsOfALevelEndWithIt) {
    Canvas c(30, 10);
    CBrush black(RGB(0, 0, 0)), red(RGB(255, 0, 0));
    c.dc->SelectObject(&black);
    const int saved = c.dc->SaveDC();
    EXPECT_EQ(c.dc->ExcludeClipRect(0, 0, 10, 10), COMPLEXREGION);
    c.dc->ExcludeClipRect(20, 0, 30, 10);
    c.dc->Rectangle(0, 0, 30, 10);
    EXPECT_EQ(c.Ink(), CRect(10, 0, 20, 10));  // Rectangle leaves its right and bottom edges out
    ASSERT_EQ(c.dc->RestoreDC(saved), 1);
    c.dc->SelectObject(&red);
    c.dc->Rectangle(0, 0, 30, 10);
    EXPECT_EQ(c.Pixel(5, 5), 0xFF0000u);

    // The caller's colour on the context comes back after a level that drew
    // in another, and clipped after drawing or not.
    cairo_t* cr = c.dc->GetContext();
    int level = 0;
    for (const bool bClip : {false, true}) {
        cairo_set_source_rgb(cr, 0, 0, 1);
        level = c.dc->SaveDC();
        c.dc->SelectObject(&red);
        c.dc->Rectangle(0, 0, 30, 10);
        if (bClip) c.dc->IntersectClipRect(0, 0, 30, 10);
        c.dc->RestoreDC(level);
        cairo_paint(c.dc->GetContext());
        EXPECT_EQ(c.Pixel(5, 5), 0x0000FFu) << bClip;
    }
    // A clip set on the context inside a level, once GetContext or Flush
    // handed it out, ends with the level.
    for (const bool bFlush : {false, true}) {
        level = c.dc->SaveDC();
        c.dc->SaveDC();
        cairo_t* inner = cr;
        if (bFlush)
            c.dc->Flush();
        else
            inner = c.dc->GetContext();
        cairo_rectangle(inner, 0, 0, 5, 5);
        cairo_clip(inner);
        c.dc->RestoreDC(level);
        c.dc->SelectObject(bFlush ? &red : &black);
        c.dc->Rectangle(0, 0, 30, 10);
        EXPECT_EQ(c.Pixel(20, 5), bFlush ? 0xFF0000u : 0u) << bFlush;
    }
}

TEST(CairoDraw, GatheredTextLandsAsDrawnLineByLineAndInTheSameOrder) {
    // Numbers (drawn straight with Cairo), a caption Pango shapes, a fill over
    // the first line and a rule: the same pixels whether lines are gathered.
    Canvas plain(160, 60), gathered(160, 60);
    gathered.dc->SetGatherText(true);
    CFont f1, f2;
    CBrush black(RGB(0, 0, 0));
    auto text = [](Canvas* c, int x, int y, const char* psz) {
        CRect rc(x, y, 160, 60);
        c->dc->DrawText(psz, static_cast<int>(std::strlen(psz)), &rc, DT_NOCLIP | DT_NOPREFIX);
    };
    for (Canvas* c : {&plain, &gathered}) {
        Select(*c->dc, c == &plain ? f1 : f2, MakeFont("DejaVu Sans", -14));
        c->dc->SetBkMode(TRANSPARENT);
        text(c, 5, 2, "1,234.5");
        text(c, 70, 2, "-98,765");
        text(c, 5, 20, "caf\xE9 \xC3\x85 total");
        c->dc->SelectObject(&black);
        c->dc->Rectangle(0, 0, 40, 18);  // over the start of the first line
        c->dc->MoveTo(0, 50);
        c->dc->LineTo(160, 50);
        text(c, 5, 36, "42");
    }
    EXPECT_TRUE(gathered.Ink(CRect(0, 34, 160, 49)).IsRectEmpty());  // "42" waits for a flush
    gathered.dc->Flush();
    int nDiffer = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 160; ++x) nDiffer += plain.Pixel(x, y) != gathered.Pixel(x, y);
    EXPECT_EQ(nDiffer, 0);
    EXPECT_EQ(plain.Pixel(20, 9), 0u);  // the fill lies over the text it followed
    EXPECT_FALSE(plain.Ink(CRect(41, 0, 160, 18)).IsRectEmpty());
}

class CairoTextInk : public ::testing::TestWithParam<const char*> {};

TEST_P(CairoTextInk, DrawnTextStaysWithinItsMeasuredWidth) {
    Canvas c(400, 60);
    CFont font;
    Select(*c.dc, font, MakeFont("DejaVu Sans", -24));
    c.dc->SetBkMode(TRANSPARENT);
    const int n = static_cast<int>(std::strlen(GetParam()));
    const CSize size = c.dc->GetTextExtent(GetParam(), n);
    CRect rc(20, 10, 20 + size.cx, 10 + size.cy);
    c.dc->DrawText(GetParam(), n, &rc, DT_NOCLIP | DT_NOPREFIX);
    const CRect ink = c.Ink();
    ASSERT_FALSE(ink.IsRectEmpty());
    // Antialiasing may touch the pixel at either edge, never one beyond;
    // accents above capitals may rise a little over the font's ascent.
    EXPECT_TRUE(ink.left >= 20 - 1 && ink.right <= 20 + size.cx + 1) << ink.left << "-" << ink.right;
    EXPECT_TRUE(ink.top >= 10 - 3 && ink.bottom <= 10 + size.cy) << ink.top << "-" << ink.bottom;
}

INSTANTIATE_TEST_SUITE_P(Texts, CairoTextInk,
                         ::testing::Values("1,234,567", "-0.5", "WAVY", "Total, all households",
                                           "caf\xE9 \x80 9", "\xC3\x85ngstr\xC3\xB6m", "(x) [y] {z} |"));

}  // namespace
}  // namespace kavo

#else

TEST(CairoSurface, NotBuilt) { GTEST_SKIP() << "configured without the Cairo surface"; }

#endif
