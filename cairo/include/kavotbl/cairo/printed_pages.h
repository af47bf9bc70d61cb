// Printed pages of tables as the kavotbl program prints them: every table
// from a new page, its heading at the top of each page, its footing and
// "Page n of N" at the foot. The program, the viewer's print dialog and the
// Python module share it, so their pages are the same.
#pragma once

#include <cstddef>
#include <vector>

#include "kavotbl/cairo/cairo_dc.h"
#include "kavotbl/layout/print_options.h"
#include "kavotbl/model/table.h"

namespace kavo {

/// Paper, margins, page order and page numbers, in points.
struct CPageSetup {
    double dPageW = 612, dPageH = 792;                        // letter
    double dTop = 36, dRight = 36, dBottom = 36, dLeft = 36;  // margins
    /// Page order: the row pages of a column page first, instead of the
    /// column pages of a row page.
    bool bDownThenAcross = false;
    /// "Page n of N" counts the pages of all tables, of each table, or is left out.
    enum Numbering { kDocument, kTable, kNone } numbering = kDocument;
    int nFirstPage = 1;
    /// The footing once, under the last row, instead of at the foot of every page.
    bool bFootingOnce = false;
    double PrintW() const { return dPageW - dLeft - dRight; }
    double PrintH() const { return dPageH - dTop - dBottom; }
};

/// The pages of a list of tables, laid out once and drawn a page at a time.
class CPrintedPages {
public:
    /// Lays each table out with the printer layout on the printable area of
    /// a twips surface pDC (any surface that measures as the drawing one
    /// will). The tables must outlive this object and keep that layout
    /// until their pages are drawn.
    CPrintedPages(CDC& dc, const std::vector<CTable*>& tables, const CPageSetup& setup,
                  const CPrintOptions& options = CPrintOptions());

    /// Pages of all tables, and of table i (at least 1 each).
    int GetNumPages() const { return m_nTotal; }
    int GetNumPages(std::size_t i) const { return m_tables[i].nPages; }
    /// Twips of table i's pages: the height left for the table, the band of
    /// the heading above it (with its gap) and the band below it (gap,
    /// footing unless printed once, page-number line).
    int GetBodyHeight(std::size_t i) const { return m_tables[i].nBody; }
    int GetHeadBand(std::size_t i) const { return m_tables[i].nHeadBand; }
    int GetFootBand(std::size_t i) const { return m_tables[i].nFootBand; }

    /// Draws sheet k (from 0, in print order) on a twips surface whose
    /// device units are points: heading, the table's part, footing and page
    /// number. Starting and ending the sheet is the caller's; so is painting
    /// it white first.
    void DrawPage(CCairoDC& dc, int k) const;

private:
    struct Table {
        CTable* pTable;
        int nHeadBand, nFootBand, nFootText, nBody, nPages, nFirstSheet;
    };
    CPageSetup m_setup;
    std::vector<Table> m_tables;
    int m_nTotal = 0;
};

}  // namespace kavo
