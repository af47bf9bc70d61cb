// Helpers of the layout tests: access to the sizing internals, fixed layout
// metrics, fonts for the recording surface, and tables loaded from text.
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

#include "kavotbl/kavotbl.h"

namespace kavo {

/// Opens the private sizing steps to the tests.
struct LayoutTestAccess {
    static CSize CalcRectSize(CTblOb& ob, CDC* pDC, CSize min, CSize max) {
        return ob.CalcRectSize(pDC, min, max);
    }
    static void SetLimits(CTblOb& ob, CSize min, CSize max) { ob.SetMinSize(min), ob.SetMaxSize(max); }
    static void SetPos(CTblOb& ob, const CRect& rc) { ob.m_rcPos = rc; }
    static void SetTextHeight(CTblOb& ob, int n) { ob.m_nTextHeight = n; }
    static CSize CalcLayoutSize(CTblColumn& col, CDC* pDC) { return col.CalcLayoutSize(pDC); }
};

}  // namespace kavo

namespace layout_test {

inline kavo::LOGFONT MakeFont(int nHeight, const char* pszFace = "Serif", int nCharSet = kavo::ANSI_CHARSET) {
    kavo::LOGFONT lf;
    lf.lfHeight = nHeight, lf.lfCharSet = static_cast<unsigned char>(nCharSet);
    std::strncpy(lf.lfFaceName, pszFace, sizeof lf.lfFaceName - 1);
    return lf;
}

/// A registry and one table read from text, with regional settings fixed to
/// the built-in defaults ("," and ".") and message boxes swallowed for as
/// long as it lives.
struct LoadedTable {
    LoadedTable()
        : prevHandler(
              kavo::SetMessageBoxHandler([](const kavo::CKAVOString&, unsigned) { return kavo::IDOK; })),
          prevProfile(kavo::SetProfileSource(
              [](const std::string&, const std::string&, std::string&) { return false; })) {}
    ~LoadedTable() { kavo::SetMessageBoxHandler(prevHandler), kavo::SetProfileSource(prevProfile); }
    kavo::MessageBoxHandler prevHandler;
    kavo::ProfileSource prevProfile;
    kavo::CSpecFile file;
    kavo::CStyleRegistry registry;
    kavo::CTable table;
    int result = 0;
};

/// With nFontHeight or nTwipsHeight nonzero every style gets a font of height
/// nFontHeight on the screen and nTwipsHeight on a printer.
inline std::unique_ptr<LoadedTable> LoadTable(const std::string& text, int nFontHeight = 0,
                                              int nTwipsHeight = 0) {
    auto p = std::make_unique<LoadedTable>();
    p->file.OpenText(text), p->registry.Build(p->file);
    if (nFontHeight != 0 || nTwipsHeight != 0) {
        const kavo::LOGFONT lf = MakeFont(nFontHeight);
        p->registry.UpdateFonts(&lf, nTwipsHeight);
    }
    p->table.SetStyleRegistry(&p->registry), p->result = p->table.Build(p->file);
    return p;
}

/// A string of n copies of a character: a single word n bytes wide.
inline std::string Word(int n, char ch = 'w') { return std::string(static_cast<std::size_t>(n), ch); }

/// Text of a table with one level of data columns and data rows: column
/// captions and row captions as given, every cell 0 (shown as "-"). A column
/// caption "[" opens a spanner over the columns up to the next "]", whose
/// caption follows the bracket.
using Strings = std::vector<std::string>;
inline std::string FlatTableText(const Strings& columns, const Strings& rows, const std::string& title = "",
                                 const std::string& stubHead = "") {
    std::string s;
    int nData = 0;
    for (const std::string& c : columns) {
        const bool bData = c.empty() || (c[0] != '[' && c != "]");
        nData += bData ? 1 : 0;
        s += c == "]" ? std::string("[EndGroup]\n")
             : bData  ? "\n[Column]\nText=" + c + "\n"
                      : "\n[ColumnGroup]\nText=" + c.substr(1) + "\n";
    }
    std::string data;
    for (int i = 0; i < nData; ++i) data += i ? ", 0" : "0";
    for (const std::string& r : rows) s += "\n[Row]\nText=" + r + "\nData=" + data + "\n";
    std::string head = "[Table]\nSize=" + std::to_string(rows.size()) + ", " + std::to_string(nData) + "\n";
    if (!title.empty()) head += "\n[Title]\nText=" + title + "\n";
    if (!stubHead.empty()) head += "\n[StubHead]\nText=" + stubHead + "\n";
    return head + s;
}

/// Box of every element of a table in a fixed order: pieces, column tree and
/// row tree in pre-order, then cells row by row.
inline std::vector<kavo::CRect> AllBoxes(const kavo::CTable& t) {
    std::vector<kavo::CRect> out;
    for (const kavo::CTblOb* p : {t.GetTitle(), t.GetHeader(), t.GetFooter(), t.GetStubHead()})
        out.push_back(p->GetPos());
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

}  // namespace layout_test
