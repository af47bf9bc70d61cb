// The drawing surface: state, the shared wrapping routine, the recording surface.
#include "host_test_support.h"

using namespace kavo;
using kavo_test::Strings;

// A surface whose extent is a function of the byte count, which records
// the lines that the shared drawing routine hands to the backend as "text@x,y".
class LineDC : public CDC {
public:
    explicit LineDC(std::function<int(int)> w = [](int n) { return 8 * n; }) : m_width(std::move(w)) {}
    std::unique_ptr<CDC> CreateCompatibleDC() const override { return std::make_unique<LineDC>(m_width); }
    Strings drawn;
    mutable long long measuredBytes = 0;
protected:
    CSize OnGetTextExtent(const char*, int nCount) const override {
        return measuredBytes += nCount, CSize(m_width(nCount), 16);
    }
    void OnTextLine(const char* pText, int nCount, int x, int y) override {
        drawn.push_back(std::string(pText, static_cast<std::size_t>(nCount)) + "@" + std::to_string(x) + "," +
                        std::to_string(y));
    }
    std::function<int(int)> m_width;
};

static Strings Lines(const CDC& dc, const std::string& text, int width) {
    std::vector<CTextLine> lines;
    Strings out;
    dc.WrapText(text.c_str(), static_cast<int>(text.size()), width, true, lines);
    for (const CTextLine& l : lines)
        out.push_back(text.substr(static_cast<std::size_t>(l.nStart), static_cast<std::size_t>(l.nLength)));
    return out;
}

static CFont Font(int lfHeight) {
    LOGFONT lf;
    lf.lfHeight = lfHeight, lf.lfWeight = FW_BOLD;
    CFont font;
    return font.CreateFontIndirect(&lf), font;
}

constexpr UINT kMeasure = DT_CALCRECT | DT_NOPREFIX | DT_EXTERNALLEADING | DT_WORDBREAK;


TEST(RecordingSurface, MetricsAndWrappedTextInBothMappingModes) {
    const UINT kNoBreak = kMeasure & ~static_cast<UINT>(DT_WORDBREAK);
    const struct { const char* text; CRect rc; UINT fmt; int mapMode, font, height; CRect want; } cases[] = {
        // "ab cd" is 40 wide; at width 20 it becomes "ab" / "cd", each 16 wide.
        {"ab cd", {0, 0, 20, 0}, kMeasure, MM_TEXT, 0, 32, {0, 0, 16, 32}},
        {"ab cd", {100, 500, 120, 500}, kMeasure, MM_TWIPS, 0, -32, {100, 500, 116, 468}},
        // A word wider than the line is broken: "ab", "cd", "ef", "gh", "ij".
        {"abcdefgh ij", {5, 0, 25, 0}, kMeasure, MM_TEXT, 0, 80, {5, 0, 21, 80}},
        {"ab cd\nx", {0, 0, 20, 0}, kNoBreak, MM_TEXT, 0, 32, {0, 0, 40, 32}},
        {"", {3, 4, 50, 0}, kMeasure, MM_TEXT, 0, 16, {3, 4, 3, 20}},
        // 10 a byte: "one two" is 70 > 45, so lines of 30, 30 and "three" 50,
        // 20 high; kept whole it is wider than the line, else broken after "thre".
        {"one two three", {0, 900, 45, 900}, kMeasure | DT_WHOLEWORDS, MM_TWIPS, 20, -60, {0, 900, 50, 840}},
        {"one two three", {0, 900, 45, 900}, kMeasure, MM_TWIPS, 20, -80, {0, 900, 40, 820}},
    };
    for (const auto& c : cases) {
        CRecordingDC dc(c.mapMode);
        CFont font = Font(c.font);
        if (c.font) dc.SelectObject(&font);
        CRect rc = c.rc;
        EXPECT_EQ(dc.DrawText(c.text, -1, &rc, c.fmt), c.height) << c.text;
        EXPECT_EQ(rc, c.want) << c.text;
        EXPECT_EQ(dc.GetCalls().size(), c.font ? 1u : 0u);  // measuring draws nothing
    }
    EXPECT_EQ(CRecordingDC().DrawText(nullptr, 5, nullptr, kMeasure), 0);
    CRecordingDC dc(MM_TWIPS);  // fixed pitch from the font height
    EXPECT_TRUE(dc.GetCalls().empty());  // the initial mode is no drawing call
    CFont f25 = Font(-25), fMin = Font(INT_MIN);
    dc.SelectObject(&f25);
    EXPECT_EQ(dc.GetTextExtent("abcd", -1), CSize(4 * (25 / 2), 25));  // -1: up to the zero byte
    auto mem = dc.CreateCompatibleDC();  // no font and text mode there
    EXPECT_EQ(mem->GetMapMode(), MM_TEXT);
    EXPECT_EQ(mem->GetTextExtent("ab", 2), CSize(16, 16));
    dc.SelectObject(&fMin);  // huge heights do not overflow
    EXPECT_EQ(dc.GetTextExtent("x", 1), CSize(INT_MAX / 2, INT_MAX));
}

TEST(WrapText, BreaksBlanksAndLinearWork) {
    LineDC dc;
    const std::pair<std::pair<const char*, int>, Strings> cases[] = {
        // A paragraph keeps its indent; trailing blanks do not count.
        {{"ab   cd", 20}, {"ab", "cd"}}, {{"ab cd ef", 40}, {"ab cd", "ef"}},
        {{"  ab", 100}, {"  ab"}}, {{"ab   ", 16}, {"ab"}}, {{"a\nb\r\nc", 100}, {"a", "b", "c"}},
        {{"a\n\nb", 100}, {"a", "", "b"}}, {{"   ", 9}, {""}},
    };
    for (const auto& c : cases) EXPECT_EQ(Lines(dc, c.first.first, c.first.second), c.second);
    // A word that no line holds is broken between characters, as many as fit
    // and at least one, its rest going on with the words after it; never
    // inside a UTF-8 character ("\xC3\xA9" is one, 16 wide).
    const std::pair<std::pair<const char*, int>, Strings> broken[] = {
        {{"abcdefgh ij", 20}, {"ab", "cd", "ef", "gh", "ij"}}, {{"x abcdef g", 32}, {"x", "abcd", "ef g"}},
        {{"ab cd", 0}, {"a", "b", "c", "d"}}, {{"  abc", 16}, {"  ", "ab", "c"}},
        {{"a\xC3\xA9" "b", 16}, {"a", "\xC3\xA9", "b"}}, {{"a\xC3\xA9" "b", 24}, {"a\xC3\xA9", "b"}}};
    for (const auto& c : broken) EXPECT_EQ(Lines(dc, c.first.first, c.first.second), c.second) << c.first.first;
    // 5 units a measurement on top of 10 a byte: the pieces "ab" 25 + " cd" 35
    // make 60, but the whole "ab cd" is 55 and fits in 55.
    LineDC over([](int n) { return n ? 10 * n + 5 : 0; });
    EXPECT_EQ(Lines(over, "ab cd", 55), (Strings{"ab cd"}));
    EXPECT_EQ(Lines(over, "ab cd", 54), (Strings{"ab", "cd"}));
    // Here the pieces understate: 15 + 25 = 40, but "ab cd" measures 45.
    LineDC under([](int n) { return n ? 10 * n - 5 : 0; });
    EXPECT_EQ(Lines(under, "ab cd", 42), (Strings{"ab", "cd"}));
    EXPECT_EQ(Lines(under, "ab cd", 45), (Strings{"ab cd"}));
    // The work grows linearly with the text, whatever the width.
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "word ";
    for (int width : {100, 1000, INT_MAX}) {
        LineDC fresh;
        std::vector<CTextLine> lines;
        fresh.WrapText(text.c_str(), static_cast<int>(text.size()), width, true, lines);
        EXPECT_LT(fresh.measuredBytes, 6LL * static_cast<long long>(text.size())) << "width " << width;
        for (const CTextLine& l : lines) EXPECT_LE(l.nWidth, width);
    }
}

TEST(DrawText, AlignedLinesGoTheWayTheMappingModeSaysAndAreRecordedWhole) {
    // "abc de fghij" in 10..60: "abc de" (48) and "fghij" (40), 16 apart.
    const struct { UINT align; int mapMode; Strings drawn; } cases[] = {
        {DT_CENTER, MM_TEXT, {"abc de@11,100", "fghij@15,116"}},  // 10 + (50 - 48) / 2, 10 + (50 - 40) / 2
        {DT_RIGHT, MM_TEXT, {"abc de@12,100", "fghij@20,116"}},   // 60 - 48, 60 - 40
        {DT_LEFT, MM_TWIPS, {"abc de@10,100", "fghij@10,84"}},
    };
    for (const auto& c : cases) {
        LineDC dc;
        dc.SetMapMode(c.mapMode);
        CRect rc(10, 100, 60, 200);
        EXPECT_EQ(dc.DrawText("abc de fghij", -1, &rc, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP | c.align),
                  c.mapMode == MM_TWIPS ? -32 : 32);
        EXPECT_EQ(rc, CRect(10, 100, 60, 200));  // drawing leaves the rectangle alone
        EXPECT_EQ(dc.drawn, c.drawn);
    }
    // The recording surface keeps text whole with its font, escaped on its line.
    CRecordingDC dc;
    CFont font = Font(-12);
    CRect rc(10, 20, 30, 40);
    dc.SelectObject(&font);
    // 6 units a byte: "Urban" (30) and "area" (24) are broken, two lines
    // each ("Urb", "an", "are", "a"), 12 high.
    EXPECT_EQ(dc.DrawText("Urban area", -1, &rc, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP), 48);
    dc.SelectObject(static_cast<CFont*>(nullptr));
    dc.SetRecording(false), dc.LineTo(4, 5), dc.SetRecording(true);  // nothing recorded, the state kept
    dc.DrawText("say \"hi\"\\\nnow", -1, &rc, 0);
    EXPECT_EQ(dc.Dump(),
              "SelectFont h=-12 wt=700 it=0 ul=0 cs=0 face=\"\"\n"
              "DrawText \"Urban area\" (10,20,30,40) fmt=0x910 font(h=-12 wt=700 it=0 ul=0 cs=0 face=\"\")\n"
              "SelectFont none\n"
              "DrawText \"say \\\"hi\\\"\\\\\\nnow\" (10,20,30,40) fmt=0x0\n");
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(4, 5));
    EXPECT_EQ(dc.GetClipBox(nullptr), ERROR_REGION);
}

// A backend that draws text in a font of its own gets lines wrapped in that
// font, not the lines DrawText measured in the font selected before.
TEST(DrawText, ABackendThatChangesTheFontGetsLinesWrappedInIt) {
    class OwnFontDC : public LineDC {
    public:
        CFont big = Font(-24);
    protected:
        CSize OnGetTextExtent(const char*, int nCount) const override {
            const LOGFONT* lf = GetCurrentLogFont();
            return CSize((lf && lf->lfHeight == -24 ? 16 : 8) * nCount, 16);
        }
        void OnDrawText(const char* p, int n, const CRect& rc, UINT nFormat) override {
            CFont* pOld = SelectObject(&big);
            CDC::OnDrawText(p, n, rc, nFormat);
            SelectObject(pOld);
        }
    };
    OwnFontDC dc;
    CRect rc(0, 0, 100, 100);
    // 88 wide in no font, one line; 176 in the backend's font, two.
    dc.DrawText("abcde fghij", -1, &rc, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
    dc.DrawTextInBox("abcde fghij", -1, &rc, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP, rc);
    EXPECT_EQ(dc.drawn, (Strings{"abcde@0,0", "fghij@0,16", "abcde@0,0", "fghij@0,16"}));
}

TEST(DrawTextInBox, LinesBelowTheRectangleGiveWayToAnEllipsisAndWhatStillLeavesItIsClipped) {
    // 8 a byte, 16 a line: the rectangle 40 wide holds 5 bytes a line.
    const UINT kFlags = DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP;
    const struct { const char* text; int mapMode; CRect rc; UINT fmt; int height; Strings drawn; } cases[] = {
        // Two lines of four fit: "two" and the ellipsis need 48, so "tw...".
        {"one two three four", MM_TEXT, {10, 100, 50, 132}, kFlags, 32, {"one@10,100", "tw...@10,116"}},
        {"one two three four", MM_TWIPS, {10, 100, 50, 68}, kFlags, -32, {"one@10,100", "tw...@10,84"}},
        // The blank before the cut goes; a rectangle lower than a line still shows one.
        {"ab cdefgh", MM_TEXT, {0, 0, 40, 10}, kFlags | DT_RIGHT, 16, {"ab...@0,0"}},
        // What fits is drawn as DrawText draws it.
        {"one two", MM_TEXT, {10, 100, 50, 132}, kFlags | DT_CENTER, 32, {"one@18,100", "two@18,116"}},
    };
    for (const auto& c : cases) {
        LineDC dc;
        dc.SetMapMode(c.mapMode);
        CRect rc = c.rc;
        EXPECT_EQ(dc.DrawTextInBox(c.text, -1, &rc, c.fmt | DT_CALCRECT, CRect(0, 0, 60, 200)), c.height);
        EXPECT_EQ(rc, c.rc);
        EXPECT_EQ(dc.drawn, c.drawn) << c.text;
    }
    // The recording surface sees the text as it is drawn. Only text that
    // would still leave the rectangle is clipped, to the box, and the clip
    // box comes back with the state.
    CRecordingDC dc;
    dc.SetClipBox(CRect(0, 0, 500, 500));
    CRect rc(13, 23, 53, 39);
    const CRect box(10, 20, 56, 42);
    dc.DrawTextInBox("abc de", -1, &rc, kFlags, box);
    dc.DrawTextInBox("abcdefg", -1, &rc, kFlags | DT_SINGLELINE, box);  // 56 wide in 40
    dc.DrawTextInBox("abc", -1, &rc, kFlags, box);
    EXPECT_EQ(dc.Dump(),
              "DrawText \"ab...\" (13,23,53,39) fmt=0x910\n"
              "SaveDC\nIntersectClipRect (10,20,56,42)\n"
              "DrawText \"abcdefg\" (13,23,53,39) fmt=0x930\nRestoreDC\n"
              "DrawText \"abc\" (13,23,53,39) fmt=0x910\n");
    CRect clip;
    dc.SaveDC(), dc.IntersectClipRect(100, 50, 20, 300);  // either corner order
    EXPECT_EQ(dc.GetClipBox(&clip), SIMPLEREGION); EXPECT_EQ(clip, CRect(20, 50, 100, 300));
    EXPECT_EQ(dc.IntersectClipRect(600, 0, 700, 10), NULLREGION);
    dc.RestoreDC(-1), dc.GetClipBox(&clip);
    EXPECT_EQ(clip, CRect(0, 0, 500, 500));
}

TEST(SurfaceState, SelectionsSavesAndRestores) {
    CRecordingDC dc;
    EXPECT_EQ(dc.RestoreDC(-1), 0);  // nothing saved
    CFont fa = Font(-10), fb = Font(-30);
    EXPECT_EQ(dc.SelectObject(&fa), nullptr);
    EXPECT_EQ(dc.SaveDC(), 1);
    EXPECT_EQ(dc.SelectObject(&fb), &fa);
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_EQ(dc.SaveDC(), 2);
    EXPECT_EQ(dc.MoveTo(7, 8), CPoint(0, 0));
    for (int bad : {3, 0, -3}) EXPECT_EQ(dc.RestoreDC(bad), 0) << bad;
    EXPECT_EQ(dc.RestoreDC(-1), 1);  // back to level 2
    EXPECT_EQ(dc.GetLineHeight(), 30);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(0, 0));
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(dc.SaveDC(), 2);
    dc.ClearCalls();
    EXPECT_EQ(dc.RestoreDC(1), 1);  // pops both levels
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.SelectObject(static_cast<CFont*>(nullptr)), &fa);
    EXPECT_EQ(dc.Dump(), "RestoreDC\nRestoreDC\nSelectFont none\n");
    auto gone = std::make_unique<CFont>(Font(-40));
    dc.SelectObject(gone.get()), gone.reset();  // the surface keeps a copy of the record
    EXPECT_EQ(dc.GetLineHeight(), 40);
}
