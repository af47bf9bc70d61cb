// Tables written as an RTF document that word processors open as real
// tables: the title and heading as paragraphs, one table row per row of the
// grid that CTable::LayoutRTF prepares, and the footing below; or, with
// column panels, the column pages of the table's printer layout, each its
// own table that the word processor pages down like print.
#pragma once

#include <cstdio>
#include <iosfwd>
#include <string>
#include <vector>

#include "kavotbl/model/table.h"

namespace kavo {

/// Page geometry in twips, and how tables go onto pages. The defaults write
/// every table as one word-processor table between its paragraphs.
struct CRtfPage {
    int nWidth = 12240;   // letter
    int nHeight = 15840;
    int nMargin = 1440;   // on every side
    bool bAllRuleKinds = false;  // double and thick rules as such, not only single ones
    /// Margins of single sides; a negative one is nMargin.
    int nMarginTop = -1, nMarginRight = -1, nMarginBottom = -1, nMarginLeft = -1;

    /// Tables laid out for print (CTable::LayoutPrinter on the printable
    /// area of this page, or RestoreClient(kPrinterSlot)) are written as
    /// print cuts them: one table per column page with the stub and the
    /// spanners over its part, columns as wide as printed, the title and
    /// the column heading as heading rows that repeat on every page, rows
    /// kept whole and captions with their next row, rules as cell borders.
    /// Each table is a section of its own whose page header holds its
    /// heading and whose footer holds its footing and the page number.
    /// A table without a printer layout is written as without panels.
    bool bColumnPanels = false;
    /// With panels: each panel starts on a new page (false: a blank
    /// paragraph between them, the word processor paging their rows).
    bool bPanelPageBreaks = true;
    /// With panels on new pages: each of print's row pages too is a table
    /// of its own on a new page, with the title and column heading written
    /// again, so that the pages are print's even in word processors that do
    /// not repeat heading rows (false: the word processor pages the rows).
    bool bRowPagesAsPrinted = true;
    /// With print's pages: the row pages of a column page first (false:
    /// the column pages of a row page first, as print orders them).
    bool bDownThenAcross = false;
    /// With panels: the footing once under the table instead of in the page footer.
    bool bFootingOnce = false;
    /// With panels: the page footer's "Page n of N", counting the whole
    /// document or each table from its first page, or none.
    enum PageNumbers { kNoPageNumbers, kDocumentPages, kTablePages };
    PageNumbers pageNumbers = kNoPageNumbers;
    int nFirstPage = 1;  // number of the first page

    int Top() const { return nMarginTop < 0 ? nMargin : nMarginTop; }
    int Right() const { return nMarginRight < 0 ? nMargin : nMarginRight; }
    int Bottom() const { return nMarginBottom < 0 ? nMargin : nMarginBottom; }
    int Left() const { return nMarginLeft < 0 ? nMargin : nMarginLeft; }
};

/// The bands that print keeps above and below a table laid out for print,
/// in twips: the heading with the gap below it, and the gap, the footing
/// and the page-number line. With panels the page header and footer take
/// them, so the word processor has the room print had for the rows. Zero:
/// a line of the table's type for each text.
struct CRtfBands {
    int nHead = 0;
    int nFoot = 0;
};

/// An RTF document of one or more tables. The font is the one the
/// registry gave the first table's style, else DejaVu Sans (Arial where
/// that is missing), at its printed size or 10 points.
class CRtfDocument {
public:
    explicit CRtfDocument(CRtfPage page = CRtfPage());

    /// Appends the table (its block only when bBlockedOnly is nonzero):
    /// title, heading, table, footing. A second table follows after a
    /// blank paragraph. Returns the width of the table in twips (0 when
    /// it has no rows), which may exceed PrintableWidth when its columns
    /// cannot be narrowed enough.
    /// With column panels the printer layout of the table is put in force
    /// and written (bands: see CRtfBands); the width is that of its widest panel.
    int AddTable(CTable& table, int bBlockedOnly, const CRtfBands& bands = CRtfBands());
    /// The width between the margins.
    int PrintableWidth() const { return m_page.nWidth - m_page.Left() - m_page.Right(); }
    /// The whole document.
    std::string Text() const;
    /// Writes the whole document without assembling it in memory first;
    /// false when a write failed.
    bool WriteTo(std::FILE* f) const;
    bool WriteTo(std::ostream& out) const;
    int GetNumTables() const { return m_nTables; }

private:
    void ChooseFont(const CTable& table);
    std::string Head() const;
    int AddPanels(CTable& table, int bBlockedOnly, const CRtfBands& bands);
    /// Index of a face in the font table, added when new (0 is m_font).
    int FontIndex(const std::string& face);

    CRtfPage m_page;
    std::string m_body;
    std::string m_font = "DejaVu Sans";
    int m_nHalfPoints = 20;
    int m_nTables = 0;
    int m_nLastWidth = 0;
    std::vector<std::string> m_extraFonts;  // faces of the font table after m_font
    int m_nSections = 0;                    // sections written with panels
    // Page counts that footers show, known only once the pages are written:
    // where in m_body each goes, and whose pages it counts (-1: the document's).
    struct PageTotal {
        std::size_t nOffset;
        int nTable;
    };
    std::vector<PageTotal> m_pageTotals;
    std::vector<int> m_tablePages;  // pages written for each table with panels
    template <class Put>
    bool PutBody(Put put) const;
};

}  // namespace kavo
