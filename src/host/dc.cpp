// The drawing surface: state keeping, text wrapping and measuring.
#include "kavotbl/host/dc.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace kavo {

namespace {

constexpr bool IsWrapBlank(char c) { return c == ' ' || c == '\t'; }

int ClampInt(long long v) { return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v)); }

int ResolveCount(const char* pText, int nCount) {
    if (!pText) return 0;
    if (nCount < 0) {
        const std::size_t n = std::strlen(pText);
        return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
    }
    return nCount;
}

// Scratch line lists for the measuring and drawing paths, so that repeated
// measuring does not allocate. A guard takes a list from the pool and gives
// it back, which keeps nested and re-entrant calls safe.
struct ScratchPool {
    std::vector<CTextLine> spare[4];
    int nSpare = 0;
};
ScratchPool& Scratch() {
    static thread_local ScratchPool s_pool;
    return s_pool;
}

struct ScratchGuard {
    std::vector<CTextLine> lines;
    ScratchGuard() {
        ScratchPool& pool = Scratch();
        if (pool.nSpare > 0) lines.swap(pool.spare[--pool.nSpare]);
    }
    ~ScratchGuard() {
        ScratchPool& pool = Scratch();
        lines.clear();
        if (pool.nSpare < 4) lines.swap(pool.spare[pool.nSpare++]);
    }
    ScratchGuard(const ScratchGuard&) = delete;
    ScratchGuard& operator=(const ScratchGuard&) = delete;
};

// The lines DrawText and DrawTextInBox have just wrapped, offered to the
// default OnDrawText, which wraps the same text in the same width again
// otherwise. Only the very call they make finds them, and only while the
// font they were measured in is still selected.
struct WrappedLines {
    const CDC* pDC = nullptr;
    const char* pText = nullptr;
    int nCount = 0;
    int nWidth = 0;
    UINT nFormat = 0;
    const std::vector<CTextLine>* pLines = nullptr;
    int nMapMode = 0;  // a surface may measure without a font by its mapping mode
    bool bFont = false;
    LOGFONT font;
    bool Match(const CDC* p, const char* pT, int n, int w, UINT f) const {
        if (pDC != p || pText != pT || nCount != n || nWidth != w || nFormat != f) return false;
        if (p->GetMapMode() != nMapMode) return false;
        const LOGFONT* pNow = p->GetCurrentLogFont();
        return bFont == (pNow != nullptr) && (!pNow || std::memcmp(pNow, &font, sizeof font) == 0);
    }
};
WrappedLines& Wrapped() {
    static thread_local WrappedLines s_wrapped;
    return s_wrapped;
}

struct WrappedGuard {
    WrappedLines saved;
    WrappedGuard(const CDC* pDC, const char* pText, int nCount, int nWidth, UINT nFormat,
                 const std::vector<CTextLine>& lines)
        : saved(Wrapped()) {
        WrappedLines& w = Wrapped();
        w.pDC = pDC, w.pText = pText, w.nCount = nCount, w.nWidth = nWidth, w.nFormat = nFormat, w.pLines = &lines;
        w.nMapMode = pDC->GetMapMode();
        const LOGFONT* pFont = pDC->GetCurrentLogFont();
        w.bFont = pFont != nullptr;
        if (pFont) w.font = *pFont;
    }
    ~WrappedGuard() { Wrapped() = saved; }
    WrappedGuard(const WrappedGuard&) = delete;
    WrappedGuard& operator=(const WrappedGuard&) = delete;
};

// Whether a line may break before byte i: never inside the bytes of one
// UTF-8 character (a continuation byte is 10xxxxxx).
bool IsCharStart(const char* p, int i) { return (static_cast<unsigned char>(p[i]) & 0xC0) != 0x80; }

// End of the longest run of whole characters from nStart, ending before
// nEnd, that measures no wider than nWidth; at least the first character.
template <class Measure>
int BreakWord(const char* p, int nStart, int nEnd, int nWidth, Measure measure) {
    int lo = nStart + 1;
    while (lo < nEnd && !IsCharStart(p, lo)) ++lo;
    int hi = nEnd;  // [nStart, hi) is too wide
    while (hi - lo > 1) {
        int mid = lo + (hi - lo) / 2;
        while (mid < hi && !IsCharStart(p, mid)) ++mid;
        if (mid == hi) {
            mid = lo + (hi - lo) / 2;
            while (mid > lo && !IsCharStart(p, mid)) --mid;
            if (mid == lo) break;  // one character lies between lo and hi
        }
        if (measure(nStart, mid) <= nWidth)
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

constexpr char kEllipsis[] = "...";

}  // namespace

int CFont::CreateFontIndirect(const LOGFONT* pLogFont) {
    if (!pLogFont) return 0;
    m_lf = *pLogFont;
    m_lf.lfFaceName[sizeof(m_lf.lfFaceName) - 1] = '\0';
    m_bCreated = true;
    return 1;
}

int CPen::CreatePen(int nStyle, int nWidth, COLORREF cr) {
    m_nStyle = nStyle;
    m_nWidth = nWidth;
    m_cr = cr;
    m_bCreated = true;
    return 1;
}

int CBrush::CreateSolidBrush(COLORREF cr) {
    m_cr = cr;
    m_bCreated = true;
    return 1;
}

CDC::CDC() = default;
CDC::~CDC() = default;

int CDC::SetMapMode(int nMapMode) {
    const int prev = m_state.nMapMode;
    m_state.nMapMode = nMapMode;
    OnSetMapMode(nMapMode);
    return prev;
}

int CDC::SaveDC() {
    m_saved.push_back(m_state);
    OnSaveDC();
    return static_cast<int>(m_saved.size());
}

int CDC::RestoreDC(int nSavedDC) {
    const int depth = static_cast<int>(m_saved.size());
    // A negative level counts back from the last save (-1: the last).
    const int level = nSavedDC < 0 ? depth + 1 + nSavedDC : nSavedDC;
    if (level < 1 || level > depth) return 0;
    m_state = m_saved[static_cast<std::size_t>(level - 1)];
    for (int i = depth; i >= level; --i) {
        m_saved.pop_back();
        OnRestoreDC();
    }
    return 1;
}

CFont* CDC::SelectObject(CFont* pFont) {
    CFont* prev = m_state.pFont;
    m_state.pFont = pFont;
    m_state.bHasFont = pFont != nullptr && pFont->IsCreated();
    // The record is copied so that the surface never reads the font object later.
    m_state.font = m_state.bHasFont ? pFont->GetLogFont() : LOGFONT();
    OnSelectFont(m_state.bHasFont ? &m_state.font : nullptr);
    return prev;
}

CPen* CDC::SelectObject(CPen* pPen) {
    CPen* prev = m_state.pPen;
    m_state.pPen = pPen;
    m_state.crPen = pPen ? pPen->GetColor() : State().crPen;
    OnSelectPen(pPen);
    return prev;
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    CBrush* prev = m_state.pBrush;
    m_state.pBrush = pBrush;
    m_state.crBrush = pBrush ? pBrush->GetColor() : State().crBrush;
    OnSelectBrush(pBrush);
    return prev;
}

int CDC::SetBkMode(int nMode) {
    const int prev = m_state.nBkMode;
    m_state.nBkMode = nMode;
    OnSetBkMode(nMode);
    return prev;
}

COLORREF CDC::SetBkColor(COLORREF cr) {
    const COLORREF prev = m_state.crBk;
    m_state.crBk = cr;
    OnSetBkColor(cr);
    return prev;
}

COLORREF CDC::SetTextColor(COLORREF cr) {
    const COLORREF prev = m_state.crText;
    m_state.crText = cr;
    return prev;
}

CSize CDC::GetTextExtent(const char* pText, int nCount) const {
    const int n = ResolveCount(pText, nCount);
    return OnGetTextExtent(n ? pText : "", n);
}

void CDC::WrapText(const char* pText, int nCount, int nWidth, bool bWordBreak, std::vector<CTextLine>& lines,
                   bool bBreakWords) const {
    lines.clear();
    const int n = ResolveCount(pText, nCount);
    if (n == 0) {
        lines.push_back(CTextLine());
        return;
    }
    const char* const p = pText;
    auto measure = [&](int from, int to) { return OnGetTextExtent(p + from, to - from).cx; };
    auto emit = [&](int from, int to) {
        CTextLine line;
        line.nStart = from;
        line.nLength = to - from;
        line.nWidth = to > from ? measure(from, to) : 0;
        lines.push_back(line);
    };

    int para = 0;
    while (para <= n) {
        // One paragraph: [para, paraEnd), ending at '\n' (a "\r\n" loses its CR).
        const void* nl = std::memchr(p + para, '\n', static_cast<std::size_t>(n - para));
        const int nlPos = nl ? static_cast<int>(static_cast<const char*>(nl) - p) : n;
        int paraEnd = nlPos;
        if (nl && paraEnd > para && p[paraEnd - 1] == '\r') --paraEnd;

        // Words of the paragraph; trailing blanks never count.
        int end = paraEnd;
        while (end > para && IsWrapBlank(p[end - 1])) --end;
        if (!bWordBreak || end == para) {
            emit(para, end);
        } else {
            // Greedy filling. Widths of the pieces (blanks + word) are summed to
            // find the break cheaply; the line is then measured as a whole and
            // the break corrected, so the result matches whole-line measuring.
            int lineStart = para;  // leading blanks of a paragraph are kept
            while (lineStart < end) {
                int wordEnds = 0;  // words accepted on this line
                int lineEnd = lineStart;
                long long sum = 0;
                int pos = lineStart;
                int lastFitEnd = lineStart;
                // Accumulate pieces while the estimate fits.
                while (pos < end) {
                    int q = pos;
                    while (q < end && IsWrapBlank(p[q])) ++q;
                    while (q < end && !IsWrapBlank(p[q])) ++q;
                    const int w = measure(pos, q);
                    if (wordEnds > 0 && sum + w > nWidth) break;
                    sum += w;
                    ++wordEnds;
                    lastFitEnd = q;
                    pos = q;
                    if (sum > nWidth) break;  // a lone word wider than the line
                }
                lineEnd = lastFitEnd;
                // Correct the estimate with whole-line measurements; a line of
                // one piece was measured whole already.
                int width = wordEnds == 1 ? static_cast<int>(sum) : measure(lineStart, lineEnd);
                while (width > nWidth && wordEnds > 1) {
                    int q = lineEnd;
                    while (q > lineStart && !IsWrapBlank(p[q - 1])) --q;
                    while (q > lineStart && IsWrapBlank(p[q - 1])) --q;
                    lineEnd = q;
                    --wordEnds;
                    width = measure(lineStart, lineEnd);
                }
                while (lineEnd < end && width <= nWidth) {
                    int q = lineEnd;
                    while (q < end && IsWrapBlank(p[q])) ++q;
                    while (q < end && !IsWrapBlank(p[q])) ++q;
                    const int w = measure(lineStart, q);
                    if (w > nWidth) break;
                    lineEnd = q;
                    width = w;
                }
                if (width > nWidth && bBreakWords) {
                    // A lone word wider than the line is broken between
                    // characters: as many as fit, and at least one.
                    lineEnd = BreakWord(p, lineStart, lineEnd, nWidth, measure);
                    width = measure(lineStart, lineEnd);
                }
                CTextLine line;
                line.nStart = lineStart;
                line.nLength = lineEnd - lineStart;
                line.nWidth = width;
                lines.push_back(line);
                // Blanks at the break are dropped.
                lineStart = lineEnd;
                while (lineStart < end && IsWrapBlank(p[lineStart])) ++lineStart;
            }
        }
        if (!nl) break;
        para = nlPos + 1;
    }
}

void CDC::TextLines(const char* pText, int n, int nWidth, UINT nFormat, std::vector<CTextLine>& lines) const {
    if (nFormat & DT_SINGLELINE) {
        lines.clear();
        CTextLine line;
        line.nLength = n;
        line.nWidth = OnGetTextExtent(pText, n).cx;
        lines.push_back(line);
        return;
    }
    WrapText(pText, n, nWidth, (nFormat & DT_WORDBREAK) != 0, lines, (nFormat & DT_WHOLEWORDS) == 0);
}

int CDC::DrawText(const char* pText, int nCount, CRect* pRect, UINT nFormat) {
    if (!pRect) return 0;
    const int n = ResolveCount(pText, nCount);
    const char* text = n ? pText : "";
    ScratchGuard scratch;
    TextLines(text, n, ClampInt(std::max(0LL, static_cast<long long>(pRect->right) - pRect->left)), nFormat,
              scratch.lines);
    const long long lineHeight = OnGetTextExtent("", 0).cy;
    long long height = lineHeight * static_cast<long long>(scratch.lines.size());
    if (height > INT_MAX) height = INT_MAX;
    const int signedHeight = m_state.nMapMode == MM_TWIPS ? -static_cast<int>(height) : static_cast<int>(height);
    if (nFormat & DT_CALCRECT) {
        int widest = 0;
        for (const CTextLine& line : scratch.lines) widest = std::max(widest, line.nWidth);
        pRect->right = ClampInt(static_cast<long long>(pRect->left) + widest);
        pRect->bottom = ClampInt(static_cast<long long>(pRect->top) + signedHeight);
        return signedHeight;
    }
    const WrappedGuard wrapped(this, text, n, ClampInt(std::max(0LL, static_cast<long long>(pRect->right) - pRect->left)),
                               nFormat, scratch.lines);
    OnDrawText(text, n, *pRect, nFormat);
    return signedHeight;
}

int CDC::DrawTextInBox(const char* pText, int nCount, CRect* pRect, UINT nFormat, const CRect& rcBox) {
    if (!pRect) return 0;
    nFormat &= ~static_cast<UINT>(DT_CALCRECT);
    const int n = ResolveCount(pText, nCount);
    const char* text = n ? pText : "";
    ScratchGuard scratch;
    std::vector<CTextLine>& lines = scratch.lines;
    const int nWidth = ClampInt(std::max(0LL, static_cast<long long>(pRect->right) - pRect->left));
    TextLines(text, n, nWidth, nFormat, lines);
    const bool bTwips = m_state.nMapMode == MM_TWIPS;
    const long long lineHeight = OnGetTextExtent("", 0).cy;
    const long long room = bTwips ? static_cast<long long>(pRect->top) - pRect->bottom
                                  : static_cast<long long>(pRect->bottom) - pRect->top;
    // The lines that fit above the rectangle's bottom; one at least.
    std::size_t nShown = lines.size();
    if (lineHeight > 0 && room / lineHeight < static_cast<long long>(nShown))
        nShown = static_cast<std::size_t>(std::max(1LL, room / lineHeight));
    std::string cut;
    if (nShown < lines.size()) {
        // The lines shown, each ending a paragraph now; the last of them ends
        // in an ellipsis, with as much of its text as leaves room for one and
        // without trailing blanks.
        for (std::size_t i = 0; i + 1 < nShown; ++i) {
            cut.append(text + lines[i].nStart, static_cast<std::size_t>(lines[i].nLength));
            cut += '\n';
        }
        const int nFrom = lines[nShown - 1].nStart;
        std::string last;
        auto lastWidth = [&](int nEnd) {
            last.assign(text + nFrom, static_cast<std::size_t>(nEnd - nFrom));
            last += kEllipsis;
            return OnGetTextExtent(last.data(), static_cast<int>(last.size())).cx;
        };
        int lo = nFrom, hi = nFrom + lines[nShown - 1].nLength + 1;  // [nFrom, lo) fits with it
        while (hi - lo > 1) {
            int mid = lo + (hi - lo) / 2;
            while (mid > lo && !IsCharStart(text, mid)) --mid;
            if (mid == lo) break;
            if (lastWidth(mid) <= nWidth)
                lo = mid;
            else
                hi = mid;
        }
        while (lo > nFrom && IsWrapBlank(text[lo - 1])) --lo;
        lines.resize(nShown);
        lines.back().nWidth = lastWidth(lo);
        cut += last;
    }
    int widest = 0;
    for (std::size_t i = 0; i < nShown; ++i) widest = std::max(widest, lines[i].nWidth);
    long long height = lineHeight * static_cast<long long>(nShown);
    const bool bClip = widest > nWidth || height > room;
    if (height > INT_MAX) height = INT_MAX;
    int nSaved = 0;
    if (bClip) {
        nSaved = SaveDC();
        IntersectClipRect(rcBox.left, rcBox.top, rcBox.right, rcBox.bottom);
    }
    if (cut.empty()) {
        const WrappedGuard wrapped(this, text, n, nWidth, nFormat, lines);
        OnDrawText(text, n, *pRect, nFormat);
    } else
        OnDrawText(cut.data(), static_cast<int>(cut.size()), *pRect, nFormat);
    if (bClip) RestoreDC(nSaved);
    return bTwips ? -static_cast<int>(height) : static_cast<int>(height);
}

void CDC::OnDrawText(const char* pText, int nCount, const CRect& rc, UINT nFormat) {
    const int nWidth = ClampInt(std::max(0LL, static_cast<long long>(rc.right) - rc.left));
    const WrappedLines& w = Wrapped();
    ScratchGuard scratch;
    const std::vector<CTextLine>* pLines = &scratch.lines;
    if (w.Match(this, pText, nCount, nWidth, nFormat))
        pLines = w.pLines;
    else
        TextLines(pText, nCount, nWidth, nFormat, scratch.lines);
    const std::vector<CTextLine>& lines = *pLines;
    const long long lineStep = m_state.nMapMode == MM_TWIPS ? -OnGetTextExtent("", 0).cy : OnGetTextExtent("", 0).cy;
    long long y = rc.top;
    for (const CTextLine& line : lines) {
        long long x = rc.left;
        if (nFormat & DT_CENTER)
            x = rc.left + ((static_cast<long long>(rc.right) - rc.left) - line.nWidth) / 2;
        else if (nFormat & DT_RIGHT)
            x = static_cast<long long>(rc.right) - line.nWidth;
        OnTextLine(pText + line.nStart, line.nLength, ClampInt(x), ClampInt(y));
        y += lineStep;
    }
}

int CDC::Rectangle(int l, int t, int r, int b) {
    OnRectangle(CRect(l, t, r, b));
    return 1;
}

CPoint CDC::MoveTo(int x, int y) {
    const CPoint prev = m_state.ptCurrent;
    m_state.ptCurrent = CPoint(x, y);
    OnMoveTo(m_state.ptCurrent);
    return prev;
}

int CDC::LineTo(int x, int y) {
    const CPoint from = m_state.ptCurrent;
    m_state.ptCurrent = CPoint(x, y);
    OnLineTo(from, m_state.ptCurrent);
    return 1;
}

int CDC::GetClipBox(CRect* pRect) const {
    if (!pRect) return ERROR_REGION;
    return OnGetClipBox(pRect);
}

int CDC::ExcludeClipRect(int l, int t, int r, int b) { return OnExcludeClipRect(CRect(l, t, r, b)); }

int CDC::IntersectClipRect(int l, int t, int r, int b) { return OnIntersectClipRect(CRect(l, t, r, b)); }

int CDC::OnGetClipBox(CRect* pRect) const {
    pRect->SetRect(-1000000000, -1000000000, 1000000000, 1000000000);
    return SIMPLEREGION;
}

}  // namespace kavo
