// A deterministic drawing surface that records every drawing call.
#include "kavotbl/host/recording_dc.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace kavo {

namespace {

void AppendRect(std::string& out, const CRect& rc) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "(%d,%d,%d,%d)", rc.left, rc.top, rc.right, rc.bottom);
    out += buf;
}

void AppendPoint(std::string& out, const CPoint& pt) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "(%d,%d)", pt.x, pt.y);
    out += buf;
}

void AppendColor(std::string& out, COLORREF cr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%06X", static_cast<unsigned>(cr));
    out += buf;
}

// Quoted text with control bytes, quotes and backslashes escaped, so that
// every call stays on one line.
void AppendQuoted(std::string& out, const char* p, std::size_t n) {
    out += '"';
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

void AppendFont(std::string& out, const LOGFONT& lf) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "h=%d wt=%d it=%d ul=%d cs=%d face=", lf.lfHeight, lf.lfWeight,
                  lf.lfItalic, lf.lfUnderline, lf.lfCharSet);
    out += buf;
    std::size_t n = 0;
    while (n < sizeof lf.lfFaceName && lf.lfFaceName[n] != '\0') ++n;
    AppendQuoted(out, lf.lfFaceName, n);
}

}  // namespace

CRecordingDC::CRecordingDC(int nMapMode) {
    if (nMapMode != MM_TEXT) {
        const bool bRecord = m_bRecord;
        m_bRecord = false;  // the initial mode is not a drawing call
        SetMapMode(nMapMode);
        m_bRecord = bRecord;
    }
}

std::unique_ptr<CDC> CRecordingDC::CreateCompatibleDC() const { return std::make_unique<CRecordingDC>(MM_TEXT); }

int CRecordingDC::GetLineHeight() const {
    const LOGFONT* lf = GetCurrentLogFont();
    if (!lf || lf->lfHeight == 0) return 16;
    return lf->lfHeight == INT_MIN ? INT_MAX : std::abs(lf->lfHeight);
}

int CRecordingDC::GetCharWidth() const {
    const LOGFONT* lf = GetCurrentLogFont();
    if (!lf || lf->lfHeight == 0) return 8;
    return GetLineHeight() / 2;
}

CSize CRecordingDC::OnGetTextExtent(const char* pText, int nCount) const {
    (void)pText;
    const long long w = static_cast<long long>(GetCharWidth()) * (nCount > 0 ? nCount : 0);
    return CSize(w > INT_MAX ? INT_MAX : static_cast<int>(w), GetLineHeight());
}

void CRecordingDC::Record(const CDCCall& call) {
    if (m_bRecord) m_calls.push_back(call);
}

void CRecordingDC::OnDrawText(const char* pText, int nCount, const CRect& rc, UINT nFormat) {
    if (!m_bRecord) return;
    CDCCall call;
    call.kind = CDCCall::DrawText;
    call.text = CKAVOString(pText, nCount);
    call.rect = rc;
    call.format = nFormat;
    if (const LOGFONT* lf = GetCurrentLogFont()) {
        call.font = *lf;
        call.value = 1;
    }
    m_calls.push_back(call);
}

void CRecordingDC::OnRectangle(const CRect& rc) {
    CDCCall call;
    call.kind = CDCCall::Rectangle;
    call.rect = rc;
    call.color = GetBrushColor();
    Record(call);
}

void CRecordingDC::OnMoveTo(const CPoint& pt) {
    CDCCall call;
    call.kind = CDCCall::MoveTo;
    call.to = pt;
    Record(call);
}

void CRecordingDC::OnLineTo(const CPoint& from, const CPoint& to) {
    CDCCall call;
    call.kind = CDCCall::LineTo;
    call.from = from;
    call.to = to;
    Record(call);
}

int CRecordingDC::OnGetClipBox(CRect* pRect) const {
    *pRect = m_rcClip;
    return m_rcClip.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CRecordingDC::OnExcludeClipRect(const CRect& rc) {
    CDCCall call;
    call.kind = CDCCall::ExcludeClipRect;
    call.rect = rc;
    Record(call);
    return m_rcClip.IsRectEmpty() ? NULLREGION : COMPLEXREGION;
}

int CRecordingDC::OnIntersectClipRect(const CRect& rc) {
    CDCCall call;
    call.kind = CDCCall::IntersectClipRect;
    call.rect = rc;
    Record(call);
    m_rcClip.SetRect(std::max(m_rcClip.left, std::min(rc.left, rc.right)),
                     std::max(m_rcClip.top, std::min(rc.top, rc.bottom)),
                     std::min(m_rcClip.right, std::max(rc.left, rc.right)),
                     std::min(m_rcClip.bottom, std::max(rc.top, rc.bottom)));
    if (m_rcClip.IsRectEmpty()) {
        m_rcClip.SetRectEmpty();
        return NULLREGION;
    }
    return SIMPLEREGION;
}

void CRecordingDC::OnSaveDC() {
    m_savedClips.push_back(m_rcClip);
    CDCCall call;
    call.kind = CDCCall::SaveDC;
    Record(call);
}

void CRecordingDC::OnRestoreDC() {
    if (!m_savedClips.empty()) {
        m_rcClip = m_savedClips.back();
        m_savedClips.pop_back();
    }
    CDCCall call;
    call.kind = CDCCall::RestoreDC;
    Record(call);
}

void CRecordingDC::OnSelectFont(const LOGFONT* pFont) {
    CDCCall call;
    call.kind = CDCCall::SelectFont;
    if (pFont) {
        call.font = *pFont;
        call.value = 1;
    }
    Record(call);
}

void CRecordingDC::OnSelectPen(const CPen* pPen) {
    CDCCall call;
    call.kind = CDCCall::SelectPen;
    if (pPen) {
        call.color = pPen->GetColor();
        call.value = 1;
        call.nPenWidth = pPen->GetWidth();
    }
    Record(call);
}

void CRecordingDC::OnSelectBrush(const CBrush* pBrush) {
    CDCCall call;
    call.kind = CDCCall::SelectBrush;
    if (pBrush) {
        call.color = pBrush->GetColor();
        call.value = 1;
    }
    Record(call);
}

void CRecordingDC::OnSetBkMode(int nMode) {
    CDCCall call;
    call.kind = CDCCall::SetBkMode;
    call.value = nMode;
    Record(call);
}

void CRecordingDC::OnSetBkColor(COLORREF cr) {
    CDCCall call;
    call.kind = CDCCall::SetBkColor;
    call.color = cr;
    Record(call);
}

void CRecordingDC::OnSetMapMode(int nMapMode) {
    CDCCall call;
    call.kind = CDCCall::SetMapMode;
    call.value = nMapMode;
    Record(call);
}

std::string CRecordingDC::Dump() const {
    std::string out;
    out.reserve(m_calls.size() * 48);
    char buf[48];
    for (const CDCCall& c : m_calls) {
        switch (c.kind) {
            case CDCCall::SaveDC:
                out += "SaveDC";
                break;
            case CDCCall::RestoreDC:
                out += "RestoreDC";
                break;
            case CDCCall::SelectFont:
                out += "SelectFont ";
                if (c.value)
                    AppendFont(out, c.font);
                else
                    out += "none";
                break;
            case CDCCall::SelectPen:
                out += "SelectPen ";
                if (c.value)
                    AppendColor(out, c.color);
                else
                    out += "none";
                break;
            case CDCCall::SelectBrush:
                out += "SelectBrush ";
                if (c.value)
                    AppendColor(out, c.color);
                else
                    out += "none";
                break;
            case CDCCall::SetBkMode:
                out += "SetBkMode ";
                out += c.value == TRANSPARENT ? "transparent" : (c.value == OPAQUE ? "opaque" : std::to_string(c.value));
                break;
            case CDCCall::SetBkColor:
                out += "SetBkColor ";
                AppendColor(out, c.color);
                break;
            case CDCCall::SetMapMode:
                out += "SetMapMode ";
                out += c.value == MM_TWIPS ? "twips" : (c.value == MM_TEXT ? "text" : std::to_string(c.value));
                break;
            case CDCCall::MoveTo:
                out += "MoveTo ";
                AppendPoint(out, c.to);
                break;
            case CDCCall::LineTo:
                out += "LineTo ";
                AppendPoint(out, c.from);
                out += "-";
                AppendPoint(out, c.to);
                break;
            case CDCCall::Rectangle:
                out += "Rectangle ";
                AppendRect(out, c.rect);
                out += " brush=";
                AppendColor(out, c.color);
                break;
            case CDCCall::DrawText:
                out += "DrawText ";
                AppendQuoted(out, c.text.c_str(), static_cast<std::size_t>(c.text.GetLength()));
                out += ' ';
                AppendRect(out, c.rect);
                std::snprintf(buf, sizeof buf, " fmt=0x%X", c.format);
                out += buf;
                if (c.value) {
                    out += " font(";
                    AppendFont(out, c.font);
                    out += ')';
                }
                break;
            case CDCCall::ExcludeClipRect:
                out += "ExcludeClipRect ";
                AppendRect(out, c.rect);
                break;
            case CDCCall::IntersectClipRect:
                out += "IntersectClipRect ";
                AppendRect(out, c.rect);
                break;
        }
        out += '\n';
    }
    return out;
}

}  // namespace kavo
