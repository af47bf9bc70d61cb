// Paper, margins, page order and page numbers of the program's printed
// pages, and the publishing options that print, render, rtf and info share.
#pragma once

#include <string>
#include <vector>

#include "common.h"

namespace kavotool {

/// How printed pages are set up.
struct PageSetup {
    std::string paper = "letter";  // the name given, for messages and info
    double dPageW = 612, dPageH = 792;                      // points
    double dTop = 36, dRight = 36, dBottom = 36, dLeft = 36;  // margins, points
    bool bDownThenAcross = false;  // page order: the column pages of a row page first, or down first
    enum { kDocument, kTable, kNone } numbering = kDocument;  // "Page n of N" counts the file or each table
    int nFirstPage = 1;
    bool bFootingOnce = false;  // the footing under the last row only, not at the foot of every page
    double PrintW() const { return dPageW - dLeft - dRight; }
    double PrintH() const { return dPageH - dTop - dBottom; }
};

/// --paper, --landscape, --margin, --page-order, --page-numbers,
/// --first-page, --footing.
std::vector<OptionSpec> PageSetupSpecs();
/// --style-sheet, --no-keep-with-next, --continued, --equal-widths,
/// --stub-limit, --no-spread, --no-spanner-cuts, --no-shrink, --single-rules.
std::vector<OptionSpec> PublishingSpecs();
/// Appends the specs of b to a.
std::vector<OptionSpec> operator+(std::vector<OptionSpec> a, const std::vector<OptionSpec>& b);

/// Reads the page-setup options; false after the reason was printed.
bool PageSetupOptions(const OptionParser& opts, PageSetup& ps);
/// Reads the publishing options into o (every option on unless turned
/// off) and applies the style sheet to doc's registry: the house style,
/// none with --style-sheet plain, or the styles of another table file.
/// Call before the fonts are given. False after the reason was printed.
bool PublishingOptions(const OptionParser& opts, Document& doc, kavo::CPrintOptions& o);

/// Where a table goes on its pages, in twips of the printable area.
struct TablePages {
    kavo::CTable* pTable = nullptr;
    int nHeadBand = 0;  // heading and the gap below it
    int nFootBand = 0;  // gap, footing (unless once) and the page-number line
    int nFootText = 0;  // height of the footing text
    int nBody = 0;      // height left for the table on a page
    int nPages = 0;
};
/// The alignment flag of a piece's style.
kavo::UINT Justification(const kavo::CTblOb& piece);
/// Selects the font of an element's style for as long as it lives.
class PieceFont {
public:
    PieceFont(kavo::CDC& dc, const kavo::CTblOb& piece);
    ~PieceFont();
    PieceFont(const PieceFont&) = delete;
    PieceFont& operator=(const PieceFont&) = delete;

private:
    kavo::CDC& m_dc;
    kavo::CFont m_font;
    kavo::CFont* m_pOld = nullptr;
    bool m_bSelected = false;
};
/// Height of a text wrapped to nWidth in the piece's font (0 without text).
int TextHeight(kavo::CDC& dc, const kavo::CTblOb& piece, const kavo::CKAVOString& text, int nWidth);
/// Height of one line in the piece's font.
int LineHeight(kavo::CDC& dc, const kavo::CTblOb& piece);

/// Lays a table out on paper as print prints it, on a twips surface.
TablePages LayoutOnPaper(kavo::CDC& dc, kavo::CTable& table, const PageSetup& ps, const kavo::CPrintOptions& o);

}  // namespace kavotool
