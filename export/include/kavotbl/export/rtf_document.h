// Tables written as an RTF document that word processors open as real
// tables: the title and heading as paragraphs, one table row per row of the
// grid that CTable::LayoutRTF prepares, and the footing below.
#pragma once

#include <cstdio>
#include <iosfwd>
#include <string>

#include "kavotbl/model/table.h"

namespace kavo {

/// Page geometry in twips.
struct CRtfPage {
    int nWidth = 12240;   // letter
    int nHeight = 15840;
    int nMargin = 1440;   // on every side
    bool bAllRuleKinds = false;  // double and thick rules as such, not only single ones
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
    int AddTable(CTable& table, int bBlockedOnly);
    /// The width between the margins.
    int PrintableWidth() const { return m_page.nWidth - 2 * m_page.nMargin; }
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

    CRtfPage m_page;
    std::string m_body;
    std::string m_font = "DejaVu Sans";
    int m_nHalfPoints = 20;
    int m_nTables = 0;
    int m_nLastWidth = 0;
};

}  // namespace kavo
