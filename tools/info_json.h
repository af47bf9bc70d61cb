// What `kavotbl info` tells about a loaded document: a short summary of
// each table, and the whole model as JSON (with every element's box and
// page list once the tables are laid out).
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common.h"

namespace kavotool {

/// The facts about one table that info lists.
struct TableSummary {
    int nDataRows = 0;
    int nDataColumns = 0;
    int nHeadingLevels = 0;  // levels of the column heading
    int nStubLevels = 0;     // levels of the stub
    unsigned nAreaLevels = 0;
    /// Labels, in registry order, of the styles that the table, its shown
    /// pieces, its nodes (and their cell styles) and its cells use.
    std::vector<std::string> styles;
    /// Labels, in registry order, of the formats of its cells and nodes.
    std::vector<std::string> formats;
};

TableSummary Summarize(const kavo::CTable& table);

/// How a table was laid out before DocumentJson looked at it.
struct LayoutInfo {
    std::string kind;     // "screen" or "printer"
    std::string surface;  // "fixed" or "cairo"
    std::string paper;    // printer only
    kavo::CRect rect;     // the rectangle given to the layout
    int nMargin = 0;      // the layout metrics it set
    int nLineHeight = 0;
};

/// The document as JSON: its styles, formats and loading messages, and the
/// tables numbered in `tables` (from 1) with their pieces, column and row
/// trees and cells. With pLayouts (one entry per table listed), elements
/// also carry "box", "border" and "pages", and each table a "layout"
/// record. Texts are given as UTF-8 (old files in code page 1252 are
/// converted). Dirty cells are formatted first.
nlohmann::ordered_json DocumentJson(const Document& doc, const std::vector<int>& tables,
                                    const std::vector<LayoutInfo>* pLayouts);

}  // namespace kavotool
