#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "kavotbl/host/recording_dc.h"

using namespace kavo;

namespace {

// A surface whose extent is a function of the byte count, which records
// the lines that the shared drawing routine hands to the backend.
class LineDC : public CDC {
public:
    struct Drawn {
        std::string text;
        int x, y;
    };
    explicit LineDC(std::function<int(int)> width = [](int n) { return 8 * n; }, int lineHeight = 16)
        : m_width(std::move(width)), m_lineHeight(lineHeight) {}
    std::unique_ptr<CDC> CreateCompatibleDC() const override { return std::make_unique<LineDC>(m_width, m_lineHeight); }

    std::vector<Drawn> drawn;
    mutable long long measuredBytes = 0;

protected:
    CSize OnGetTextExtent(const char*, int nCount) const override {
        measuredBytes += nCount;
        return CSize(m_width(nCount), m_lineHeight);
    }
    void OnTextLine(const char* pText, int nCount, int x, int y) override {
        drawn.push_back({std::string(pText, static_cast<std::size_t>(nCount)), x, y});
    }

private:
    std::function<int(int)> m_width;
    int m_lineHeight;
};

std::vector<std::string> Lines(const CDC& dc, const std::string& text, int width, bool wordBreak = true) {
    std::vector<CTextLine> lines;
    dc.WrapText(text.c_str(), static_cast<int>(text.size()), width, wordBreak, lines);
    std::vector<std::string> out;
    for (const CTextLine& l : lines) out.push_back(text.substr(static_cast<std::size_t>(l.nStart), static_cast<std::size_t>(l.nLength)));
    return out;
}

using Strings = std::vector<std::string>;

constexpr UINT kMeasure = DT_CALCRECT | DT_NOPREFIX | DT_EXTERNALLEADING | DT_WORDBREAK;

}  // namespace

// ---- Recording surface metrics ---------------------------------------------

TEST(RecordingMetrics, DefaultAndFontMetrics) {
    CRecordingDC dc;
    EXPECT_EQ(dc.GetTextExtent("abc", 3), CSize(24, 16));
    EXPECT_EQ(dc.GetTextExtent("abcd", -1), CSize(32, 16));  // -1: up to the zero byte
    LOGFONT lf;
    lf.lfHeight = -25;
    CFont font;
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    EXPECT_EQ(dc.GetCharWidth(), 12);  // 25 / 2
    EXPECT_EQ(dc.GetLineHeight(), 25);
    EXPECT_EQ(dc.GetTextExtent("ab", 2), CSize(24, 25));
    lf.lfHeight = 0;
    CFont zero;
    zero.CreateFontIndirect(&lf);
    dc.SelectObject(&zero);
    EXPECT_EQ(dc.GetTextExtent("ab", 2), CSize(16, 16));
}

TEST(RecordingMetrics, HugeCountsDoNotOverflow) {
    CRecordingDC dc;
    LOGFONT lf;
    lf.lfHeight = INT_MIN;
    CFont font;
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    EXPECT_GT(dc.GetLineHeight(), 0);
    EXPECT_EQ(dc.GetTextExtent("x", 1).cx, INT_MAX / 2);
}

// ---- Measuring wrapped text ---------------------------------------------

TEST(DrawTextMeasure, WrapsAtBlanksInTextMode) {
    CRecordingDC dc;
    CRect rc(0, 0, 20, 0);
    // "ab cd" is 40 wide; at width 20 it becomes "ab" / "cd", each 16 wide.
    EXPECT_EQ(dc.DrawText("ab cd", -1, &rc, kMeasure), 32);
    EXPECT_EQ(rc, CRect(0, 0, 16, 32));
    EXPECT_TRUE(dc.GetCalls().empty());  // measuring draws nothing
}

TEST(DrawTextMeasure, HeightsAreNegativeInTwips) {
    CRecordingDC dc(MM_TWIPS);
    EXPECT_EQ(dc.GetMapMode(), MM_TWIPS);
    CRect rc(100, 500, 120, 500);
    EXPECT_EQ(dc.DrawText("ab cd", -1, &rc, kMeasure), -32);
    EXPECT_EQ(rc, CRect(100, 500, 116, 468));
}

TEST(DrawTextMeasure, ALongWordWidensTheRectangle) {
    CRecordingDC dc;
    CRect rc(5, 0, 25, 0);
    EXPECT_EQ(dc.DrawText("abcdefgh ij", -1, &rc, kMeasure), 32);
    EXPECT_EQ(rc.right, 5 + 64);  // the word is never split
}

TEST(DrawTextMeasure, WithoutWordBreakOnlyLineBreaksSplit) {
    CRecordingDC dc;
    CRect rc(0, 0, 20, 0);
    EXPECT_EQ(dc.DrawText("ab cd\nx", -1, &rc, kMeasure & ~static_cast<UINT>(DT_WORDBREAK)), 32);
    EXPECT_EQ(rc.right, 40);
}

TEST(DrawTextMeasure, EmptyTextIsOneLine) {
    CRecordingDC dc;
    CRect rc(3, 4, 50, 0);
    EXPECT_EQ(dc.DrawText("", 0, &rc, kMeasure), 16);
    EXPECT_EQ(rc, CRect(3, 4, 3, 20));
    EXPECT_EQ(dc.DrawText(nullptr, 5, nullptr, kMeasure), 0);
}

TEST(DrawTextMeasure, SelectedFontSetsTheLineHeight) {
    CRecordingDC dc;
    LOGFONT lf;
    lf.lfHeight = 20;  // 10 a byte
    CFont font;
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    CRect rc(0, 0, 45, 0);
    // "one two three": "one two" is 70 > 45, so three lines of 30, 30 and 50.
    EXPECT_EQ(dc.DrawText("one two three", -1, &rc, kMeasure), 60);
    EXPECT_EQ(rc.right, 50);
}

// ---- The shared wrapping routine -----------------------------------------

TEST(WrapText, BreaksAndBlanks) {
    LineDC dc;
    EXPECT_EQ(Lines(dc, "ab   cd", 20), (Strings{"ab", "cd"}));
    EXPECT_EQ(Lines(dc, "  ab", 100), (Strings{"  ab"}));  // a paragraph keeps its indent
    EXPECT_EQ(Lines(dc, "ab cd ef", 40), (Strings{"ab cd", "ef"}));
    EXPECT_EQ(Lines(dc, "a\nb\r\nc", 100), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Lines(dc, "a\n\nb", 100), (Strings{"a", "", "b"}));
    EXPECT_EQ(Lines(dc, "", 100), (Strings{""}));
    EXPECT_EQ(Lines(dc, "   ", 100), (Strings{""}));
    EXPECT_EQ(Lines(dc, "ab cd", 0), (Strings{"ab", "cd"}));
}

TEST(WrapText, TrailingBlanksDoNotCount) {
    LineDC dc;
    std::vector<CTextLine> lines;
    dc.WrapText("ab   ", 5, 16, true, lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].nWidth, 16);
    EXPECT_EQ(lines[0].nLength, 2);
}

TEST(WrapText, LinesAreMeasuredWhole) {
    // Each measurement costs 5 units on top of 10 a byte, so summing the
    // widths of pieces overstates a line: "ab" 25 + " cd" 35 = 60, but the
    // whole "ab cd" is 55 and fits in 55.
    LineDC over([](int n) { return n ? 10 * n + 5 : 0; });
    EXPECT_EQ(Lines(over, "ab cd", 55), (Strings{"ab cd"}));
    EXPECT_EQ(Lines(over, "ab cd", 54), (Strings{"ab", "cd"}));
    // Here sums understate: 15 + 25 = 40, but "ab cd" measures 45.
    LineDC under([](int n) { return n ? 10 * n - 5 : 0; });
    EXPECT_EQ(Lines(under, "ab cd", 42), (Strings{"ab", "cd"}));
    EXPECT_EQ(Lines(under, "ab cd", 45), (Strings{"ab cd"}));
}

TEST(WrapText, WorkGrowsLinearlyWithTheText) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "word ";
    for (int width : {100, 1000, INT_MAX}) {
        LineDC dc;
        std::vector<CTextLine> lines;
        dc.WrapText(text.c_str(), static_cast<int>(text.size()), width, true, lines);
        EXPECT_LT(dc.measuredBytes, 6LL * static_cast<long long>(text.size())) << "width " << width;
        long long bytes = 0;
        for (const CTextLine& l : lines) {
            EXPECT_LE(l.nWidth, width);
            bytes += l.nLength;
        }
        EXPECT_GT(bytes, 0);
    }
}

// ---- Drawing lines ------------------------------------------------------------

class DrawTextLines : public ::testing::Test {
protected:
    // "abc de fghij" at width 50: "abc de" (48) and "fghij" (40).
    std::vector<LineDC::Drawn> Draw(UINT align, int mapMode = MM_TEXT) {
        LineDC dc;
        dc.SetMapMode(mapMode);
        CRect rc(10, 100, 60, 200);
        const int h = dc.DrawText("abc de fghij", -1, &rc, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP | align);
        EXPECT_EQ(h, mapMode == MM_TWIPS ? -32 : 32);
        EXPECT_EQ(rc, CRect(10, 100, 60, 200));  // drawing leaves the rectangle alone
        return dc.drawn;
    }
};

TEST_F(DrawTextLines, Left) {
    const auto d = Draw(DT_LEFT);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].text, "abc de");
    EXPECT_EQ(d[1].text, "fghij");
    EXPECT_EQ(d[0].x, 10);
    EXPECT_EQ(d[1].x, 10);
    EXPECT_EQ(d[0].y, 100);
    EXPECT_EQ(d[1].y, 116);
}

TEST_F(DrawTextLines, Center) {
    const auto d = Draw(DT_CENTER);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].x, 10 + (50 - 48) / 2);
    EXPECT_EQ(d[1].x, 10 + (50 - 40) / 2);
}

TEST_F(DrawTextLines, Right) {
    const auto d = Draw(DT_RIGHT);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].x, 60 - 48);
    EXPECT_EQ(d[1].x, 60 - 40);
}

TEST_F(DrawTextLines, TwipsLinesGoDown) {
    const auto d = Draw(DT_LEFT, MM_TWIPS);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].y, 100);
    EXPECT_EQ(d[1].y, 100 - 16);
}

// ---- Surface state --------------------------------------------------------------

TEST(SurfaceState, SelectObjectReturnsThePrevious) {
    CRecordingDC dc;
    LOGFONT a, b;
    a.lfHeight = -10;
    b.lfHeight = -30;
    CFont fa, fb;
    fa.CreateFontIndirect(&a);
    fb.CreateFontIndirect(&b);
    EXPECT_EQ(dc.SelectObject(&fa), nullptr);
    EXPECT_EQ(dc.SelectObject(&fb), &fa);
    ASSERT_NE(dc.GetCurrentLogFont(), nullptr);
    EXPECT_EQ(dc.GetCurrentLogFont()->lfHeight, -30);
    EXPECT_EQ(dc.SelectObject(static_cast<CFont*>(nullptr)), &fb);
    EXPECT_EQ(dc.GetCurrentLogFont(), nullptr);
    EXPECT_EQ(dc.GetLineHeight(), 16);

    CPen red(PS_SOLID, 0, RGB(255, 0, 0));
    CBrush blue(RGB(0, 0, 255));
    EXPECT_EQ(dc.SelectObject(&red), nullptr);
    EXPECT_EQ(dc.GetPenColor(), 0x0000FFu);
    EXPECT_EQ(dc.SelectObject(&blue), nullptr);
    EXPECT_EQ(dc.GetBrushColor(), 0xFF0000u);
    EXPECT_EQ(dc.SelectObject(static_cast<CBrush*>(nullptr)), &blue);
    EXPECT_EQ(dc.GetBrushColor(), 0xFFFFFFu);
}

TEST(SurfaceState, SelectedFontIsCopied) {
    CRecordingDC dc;
    LOGFONT lf;
    lf.lfHeight = -40;
    {
        CFont font;
        font.CreateFontIndirect(&lf);
        dc.SelectObject(&font);
    }  // the font object is gone; the surface keeps its record
    EXPECT_EQ(dc.GetLineHeight(), 40);
}

TEST(SurfaceState, SaveAndRestoreBringBackTheSelection) {
    CRecordingDC dc;
    LOGFONT a, b;
    a.lfHeight = -10;
    b.lfHeight = -30;
    CFont fa, fb;
    fa.CreateFontIndirect(&a);
    fb.CreateFontIndirect(&b);
    CPen pen(PS_SOLID, 0, RGB(1, 2, 3));

    dc.SelectObject(&fa);
    EXPECT_EQ(dc.SaveDC(), 1);
    dc.SelectObject(&fb);
    dc.SetBkMode(TRANSPARENT);
    EXPECT_EQ(dc.SaveDC(), 2);
    dc.SelectObject(&pen);
    dc.MoveTo(7, 8);
    EXPECT_EQ(dc.GetLineHeight(), 30);

    EXPECT_EQ(dc.RestoreDC(-1), 1);  // back to level 2
    EXPECT_EQ(dc.GetLineHeight(), 30);
    EXPECT_EQ(dc.GetPenColor(), 0u);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(0, 0));
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(dc.SaveDC(), 2);
    dc.ClearCalls();
    EXPECT_EQ(dc.RestoreDC(1), 1);  // pops both levels
    EXPECT_EQ(dc.GetLineHeight(), 10);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.SelectObject(static_cast<CFont*>(nullptr)), &fa);
    size_t restores = 0;
    for (const CDCCall& c : dc.GetCalls()) restores += c.kind == CDCCall::RestoreDC;
    EXPECT_EQ(restores, 2u);
}

TEST(SurfaceState, InvalidRestoreLevels) {
    CRecordingDC dc;
    EXPECT_EQ(dc.RestoreDC(-1), 0);
    EXPECT_EQ(dc.RestoreDC(1), 0);
    EXPECT_EQ(dc.SaveDC(), 1);
    EXPECT_EQ(dc.RestoreDC(2), 0);
    EXPECT_EQ(dc.RestoreDC(0), 0);
    EXPECT_EQ(dc.RestoreDC(-2), 0);
    EXPECT_EQ(dc.RestoreDC(1), 1);
    EXPECT_EQ(dc.RestoreDC(1), 0);
}

TEST(SurfaceState, PreviousValuesAreReturned) {
    CRecordingDC dc;
    EXPECT_EQ(dc.SetMapMode(MM_TWIPS), MM_TEXT);
    EXPECT_EQ(dc.SetMapMode(MM_TEXT), MM_TWIPS);
    EXPECT_EQ(dc.SetBkMode(TRANSPARENT), OPAQUE);
    EXPECT_EQ(dc.SetBkColor(RGB(1, 1, 1)), 0xFFFFFFu);
    EXPECT_EQ(dc.SetTextColor(RGB(9, 9, 9)), 0u);
    EXPECT_EQ(dc.GetTextColor(), RGB(9, 9, 9));
    EXPECT_EQ(dc.MoveTo(3, 4), CPoint(0, 0));
    EXPECT_EQ(dc.MoveTo(5, 6), CPoint(3, 4));
}

// ---- Recording -------------------------------------------------------------------

TEST(Recording, CallsAreRecordedWithTheirData) {
    CRecordingDC dc;
    CBrush brush(RGB(10, 20, 30));
    CPen pen(PS_SOLID, 0, RGB(1, 2, 3));
    LOGFONT lf;
    lf.lfHeight = -12;
    lf.lfWeight = FW_BOLD;
    CFont font;
    font.CreateFontIndirect(&lf);

    dc.SelectObject(&brush);
    dc.Rectangle(1, 2, 3, 4);
    dc.SelectObject(&pen);
    dc.MoveTo(5, 6);
    dc.LineTo(7, 8);
    dc.SelectObject(&font);
    CRect rc(10, 20, 30, 40);
    EXPECT_EQ(dc.DrawText("Urban area", -1, &rc, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP), 24);
    dc.ExcludeClipRect(1, 1, 2, 2);

    const auto& calls = dc.GetCalls();
    ASSERT_EQ(calls.size(), 8u);
    EXPECT_EQ(calls[0].kind, CDCCall::SelectBrush);
    EXPECT_EQ(calls[1].kind, CDCCall::Rectangle);
    EXPECT_EQ(calls[1].rect, CRect(1, 2, 3, 4));
    EXPECT_EQ(calls[1].color, RGB(10, 20, 30));
    EXPECT_EQ(calls[2].color, RGB(1, 2, 3));
    EXPECT_EQ(calls[3].kind, CDCCall::MoveTo);
    EXPECT_EQ(calls[4].kind, CDCCall::LineTo);
    EXPECT_EQ(calls[4].from, CPoint(5, 6));
    EXPECT_EQ(calls[4].to, CPoint(7, 8));
    EXPECT_EQ(calls[5].kind, CDCCall::SelectFont);
    EXPECT_EQ(calls[5].value, 1);
    EXPECT_EQ(calls[6].kind, CDCCall::DrawText);
    EXPECT_EQ(calls[6].text, "Urban area");  // whole, not broken into lines
    EXPECT_EQ(calls[6].rect, rc);
    EXPECT_EQ(calls[6].format, static_cast<UINT>(DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP));
    EXPECT_EQ(calls[6].font.lfWeight, FW_BOLD);
    EXPECT_EQ(calls[7].rect, CRect(1, 1, 2, 2));
}

TEST(Recording, OffRecordsNothingButStillTracksState) {
    CRecordingDC dc;
    dc.SetRecording(false);
    dc.SetBkMode(TRANSPARENT);
    dc.MoveTo(1, 1);
    dc.LineTo(4, 5);
    CRect rc(0, 0, 100, 100);
    dc.DrawText("x", -1, &rc, 0);
    EXPECT_TRUE(dc.GetCalls().empty());
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(4, 5));
    dc.SetRecording(true);
    dc.SetBkMode(OPAQUE);
    ASSERT_EQ(dc.GetCalls().size(), 1u);
    EXPECT_EQ(dc.GetCalls()[0].value, OPAQUE);
}

TEST(Recording, DumpIsOneLinePerCall) {
    CRecordingDC dc;
    CRect rc(10, 20, 30, 40);
    dc.DrawText("Urban", -1, &rc, 0x910);
    dc.DrawText("say \"hi\"\nnow", -1, &rc, 0);
    dc.SaveDC();
    dc.SetMapMode(MM_TWIPS);
    dc.SelectObject(static_cast<CFont*>(nullptr));
    dc.RestoreDC(-1);
    const std::string dump = dc.Dump();
    std::size_t lines = 0;
    for (char c : dump) lines += c == '\n';
    EXPECT_EQ(lines, dc.GetCalls().size());
    EXPECT_EQ(dump.rfind("DrawText \"Urban\" (10,20,30,40) fmt=0x910\n", 0), 0u) << dump;
    EXPECT_NE(dump.find("\"say \\\"hi\\\"\\nnow\""), std::string::npos) << dump;
    EXPECT_EQ(CRecordingDC().Dump(), "");
}

TEST(Recording, ClipBoxAndCompatibleSurface) {
    CRecordingDC dc(MM_TWIPS);
    EXPECT_TRUE(dc.GetCalls().empty());
    CRect clip;
    EXPECT_EQ(dc.GetClipBox(&clip), SIMPLEREGION);
    EXPECT_TRUE(clip.PtInRect(CPoint(-1000000, 1000000)));
    dc.SetClipBox(CRect(0, 0, 50, 60));
    EXPECT_EQ(dc.GetClipBox(&clip), SIMPLEREGION);
    EXPECT_EQ(clip, CRect(0, 0, 50, 60));
    EXPECT_EQ(dc.GetClipBox(nullptr), ERROR_REGION);

    LOGFONT lf;
    lf.lfHeight = -30;
    CFont font;
    font.CreateFontIndirect(&lf);
    dc.SelectObject(&font);
    auto mem = dc.CreateCompatibleDC();
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(mem->GetMapMode(), MM_TEXT);
    EXPECT_NE(dynamic_cast<CRecordingDC*>(mem.get()), nullptr);
    EXPECT_EQ(mem->GetTextExtent("ab", 2), CSize(16, 16));
}
