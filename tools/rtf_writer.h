// Tables written as an RTF document that word processors open as real
// tables: the title and heading as paragraphs, one table row per row of the
// grid that CTable::LayoutRTF prepares, and the footing below.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "kavotbl/kavotbl.h"

namespace kavotool {

/// The code points of a text from a table file: valid UTF-8 is decoded,
/// anything else is read as Windows-1252 (the five bytes that code page
/// leaves undefined become U+FFFD).
std::u32string DecodeText(const char* pText, std::size_t nCount);
inline std::u32string DecodeText(const std::string& text) { return DecodeText(text.data(), text.size()); }

/// The same text as UTF-8.
std::string TextToUtf8(const std::string& text);

/// Appends text as RTF body text of code page 1252: backslash and braces
/// escaped, characters of the code page above 127 as \'hh, others as \uN?,
/// a tab as \tab and a line break as \line; other control bytes dropped.
void AppendRtfText(std::string& out, const std::string& text);

/// Page geometry in twips.
struct RtfPage {
    int nWidth = 12240;   // letter
    int nHeight = 15840;
    int nMargin = 1440;   // on every side
};

/// An RTF document of one or more tables. The font is the one the
/// registry gave the first table's style, else DejaVu Sans (Arial where
/// that is missing), at its printed size or 10 points.
class RtfDocument {
public:
    explicit RtfDocument(RtfPage page = RtfPage());

    /// Appends the table (its block only when bBlockedOnly is nonzero):
    /// title, heading, table, footing. A second table follows after a
    /// blank paragraph. Returns the width of the table in twips (0 when
    /// it has no rows), which may exceed PrintableWidth when its columns
    /// cannot be narrowed enough.
    int AddTable(kavo::CTable& table, int bBlockedOnly);
    /// The width between the margins.
    int PrintableWidth() const { return m_page.nWidth - 2 * m_page.nMargin; }
    /// The whole document.
    std::string Text() const;
    /// Writes the whole document without assembling it in memory first;
    /// false when a write failed.
    bool WriteTo(std::FILE* f) const;
    int GetNumTables() const { return m_nTables; }

private:
    void ChooseFont(const kavo::CTable& table);
    std::string Head() const;

    RtfPage m_page;
    std::string m_body;
    std::string m_font = "DejaVu Sans";
    int m_nHalfPoints = 20;
    int m_nTables = 0;
    int m_nLastWidth = 0;
};

}  // namespace kavotool
