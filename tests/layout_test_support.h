// Helpers of the layout tests: access to the sizing and layout internals,
// fixed layout metrics, fonts for the recording surface, and tables loaded
// from text.
//
// The recording surface measures every byte as W units wide and every line as
// H units high: W = 8 and H = 16 without a font, W = |h| / 2 and H = |h| with a
// font of height h. Heights come back negative in MM_TWIPS. Every expected
// number in the layout tests follows from these two rules and the layout
// metrics: with "X" H high, the margin is H / 5 and the line height H + 2 margins.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kavotbl/host/platform.h"
#include "kavotbl/host/recording_dc.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/layout/metrics.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/table.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/style/registry.h"

namespace kavo {

/// Opens the private sizing and layout steps to the tests.
struct LayoutTestAccess {
    static CSize CalcRectSize(CTblOb& ob, CDC* pDC, CSize min, CSize max) { return ob.CalcRectSize(pDC, min, max); }
    static void SetLimits(CTblOb& ob, CSize min, CSize max) {
        ob.SetMinSize(min);
        ob.SetMaxSize(max);
    }
    static void SetPos(CTblOb& ob, const CRect& rc) { ob.m_rcPos = rc; }
    static void SetTextHeight(CTblOb& ob, int n) { ob.m_nTextHeight = n; }

    static CSize CalcLayoutSize(CTblColumn& col, CDC* pDC) { return col.CalcLayoutSize(pDC); }
    static void AdjustWidth(CTblColumn& col, CDC* pDC, int w) { col.AdjustWidth(pDC, w); }
    static void FlushColumns(CTblColumn& col, int nBottom) { col.FlushColumns(nBottom); }
    static void CalcScrOffset(CTblColumn& col, CPoint pt) { col.CalcScrOffset(pt); }
    static void CalcPtrOffset(CTblColumn& col, CPoint pt, int nPage) { col.CalcPtrOffset(pt, nPage); }

    static void CalcLayoutSize(CTblRow& row, CDC* pDC, int nLevel) { row.CalcLayoutSize(pDC, nLevel); }
    static int GetWidestSingleLineRow(const CTblRow& row, CDC* pDC, int nLevel) {
        return row.GetWidestSingleLineRow(pDC, nLevel);
    }
    static void CalcScrOffset(CTblRow& row, int& y, int nLevel) { row.CalcScrOffset(y, nLevel); }
    static void CalcPtrOffset(CTblRow& row, int nBody, int nTop, int& y, int& nPage, int nLevel) {
        row.CalcPtrOffset(nBody, nTop, y, nPage, nLevel);
    }
    static int AddCell(CTblRow& row, CTblCell* pCell) { return row.AddCell(pCell); }
};

}  // namespace kavo

namespace layout_test {

using kavo::CRect;
using kavo::CSize;

/// Sets the process-wide layout metrics as a layout would, and puts the
/// previous ones back afterwards.
class MetricsScope {
public:
    MetricsScope(int nMargin, int nLineHeight) : m_nMargin(kavo::g_nMargin), m_nLine(kavo::g_nLineHeight) {
        kavo::g_nMargin = nMargin;
        kavo::g_nLineHeight = nLineHeight;
    }
    ~MetricsScope() {
        kavo::g_nMargin = m_nMargin;
        kavo::g_nLineHeight = m_nLine;
    }
    MetricsScope(const MetricsScope&) = delete;
    MetricsScope& operator=(const MetricsScope&) = delete;

private:
    int m_nMargin;
    int m_nLine;
};

/// Regional settings fixed to the built-in defaults ("," and "."), message
/// boxes swallowed, for as long as the object lives.
class QuietHost {
public:
    QuietHost() {
        m_prevHandler = kavo::SetMessageBoxHandler([](const kavo::CKAVOString&, unsigned) { return kavo::IDOK; });
        m_prevProfile =
            kavo::SetProfileSource([](const std::string&, const std::string&, std::string&) { return false; });
    }
    ~QuietHost() {
        kavo::SetMessageBoxHandler(m_prevHandler);
        kavo::SetProfileSource(m_prevProfile);
    }
    QuietHost(const QuietHost&) = delete;
    QuietHost& operator=(const QuietHost&) = delete;

private:
    kavo::MessageBoxHandler m_prevHandler;
    kavo::ProfileSource m_prevProfile;
};

inline kavo::LOGFONT MakeFont(int nHeight, const char* pszFace = "Serif", int nCharSet = kavo::ANSI_CHARSET) {
    kavo::LOGFONT lf;
    lf.lfHeight = nHeight;
    lf.lfCharSet = static_cast<unsigned char>(nCharSet);
    std::strncpy(lf.lfFaceName, pszFace, sizeof lf.lfFaceName - 1);
    return lf;
}

/// A registry and one table read from text. With nFontHeight nonzero every
/// style gets a font of that height (screen) and nTwipsHeight (printer).
struct LoadedTable {
    QuietHost quiet;
    kavo::CSpecFile file;
    kavo::CStyleRegistry registry;
    kavo::CTable table;
    int result = 0;
};

inline std::unique_ptr<LoadedTable> LoadTable(const std::string& text, int nFontHeight = 0, int nTwipsHeight = 0) {
    auto p = std::make_unique<LoadedTable>();
    p->file.OpenText(text);
    p->registry.Build(p->file);
    if (nFontHeight != 0 || nTwipsHeight != 0) {
        const kavo::LOGFONT lf = MakeFont(nFontHeight);
        p->registry.UpdateFonts(&lf, nTwipsHeight);
    }
    p->table.SetStyleRegistry(&p->registry);
    p->result = p->table.Build(p->file);
    return p;
}

/// Text of a table with one level of data columns and data rows: column
/// captions and row captions as given, every cell 0 (shown as "-").
inline std::string FlatTableText(const std::vector<std::string>& columns, const std::vector<std::string>& rows,
                                 const std::string& title = "", const std::string& stubHead = "") {
    std::string s = "[Table]\nSize=" + std::to_string(rows.size()) + ", " + std::to_string(columns.size()) + "\n";
    if (!title.empty()) s += "\n[Title]\nText=" + title + "\n";
    if (!stubHead.empty()) s += "\n[StubHead]\nText=" + stubHead + "\n";
    for (const std::string& c : columns) s += "\n[Column]\nText=" + c + "\n";
    std::string data;
    for (std::size_t i = 0; i < columns.size(); ++i) data += i ? ", 0" : "0";
    for (const std::string& r : rows) s += "\n[Row]\nText=" + r + "\nData=" + data + "\n";
    return s;
}

/// Box of every element of a table in a fixed order: pieces, column tree and
/// row tree in pre-order, then cells row by row.
inline std::vector<CRect> AllBoxes(const kavo::CTable& t) {
    std::vector<CRect> out;
    out.push_back(t.GetTitle()->GetPos());
    out.push_back(t.GetHeader()->GetPos());
    out.push_back(t.GetFooter()->GetPos());
    out.push_back(t.GetStubHead()->GetPos());
    auto walk = [&out](const kavo::CRowColOb* p, auto& self) -> void {
        out.push_back(p->GetPos());
        for (int i = 0; i < p->GetNumChildren(); ++i) self(p->GetChildAt(i), self);
    };
    walk(t.GetColumnRoot(), walk);
    walk(t.GetRowRoot(), walk);
    for (int r = 0; r < t.GetNumDataRows(); ++r)
        for (int c = 0; c < t.GetNumDataColumns(); ++c) out.push_back(t.GetCell(r, c)->GetPos());
    return out;
}

/// The pages of an element as a vector, for comparisons.
inline std::vector<int> Pages(const kavo::CTblOb* p) {
    std::vector<int> v;
    for (int i = 0; i < p->GetNumPages(); ++i) v.push_back(p->GetPage(i));
    return v;
}

/// A string of n copies of a character: a single word n bytes wide.
inline std::string Word(int n, char ch = 'w') { return std::string(static_cast<std::size_t>(n), ch); }

}  // namespace layout_test
