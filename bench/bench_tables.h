// Table files generated for the benchmarks, and a table loaded from one.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "kavotbl/host/spec_file.h"
#include "kavotbl/model/table.h"
#include "kavotbl/style/registry.h"

namespace kavobench {

/// A label made of a word and a number ("Group 3").
inline std::function<std::string(int)> Numbered(const char* pszWord) {
    return [pszWord](int n) { return pszWord + std::to_string(n); };
}

/// What a generated table holds. Data columns sit under spanners of nSpan
/// columns and data rows under captions of nGroupRows rows (0: none).
struct TableSpec {
    int nRows = 0, nCols = 0;
    int nSpan = 0, nGroupRows = 0;
    std::string head;                   // sections before [Table]: styles and formats
    std::string name, title, stubHead;  // left out when empty
    // Labels of the k-th spanner and caption, and of data column c and data row r.
    std::function<std::string(int)> spanner = Numbered("Group "), column = Numbered("Column "),
                                    caption = Numbered("Region "), row = Numbered("Area ");
    // Further lines of a data column's or data row's section, such as "CellFormat=Pct1\n".
    std::function<std::string(int)> columnLines, rowLines;
    // The figure of cell (r, c), asked for once per cell, row by row, so that
    // a random generator may supply it; by default up to six digits that
    // differ from cell to cell.
    std::function<std::int64_t(int, int)> value = [](int r, int c) {
        return (r * 7919 + c * 104729) % 1000000;
    };
    // Data lines of a row are split before they grow past this many
    // characters (0: one line per row).
    int nDataWidth = 0;
};

/// The table file text of a spec.
inline std::string TableText(const TableSpec& spec) {
    std::string s =
        spec.head + "[Table]\nSize=" + std::to_string(spec.nRows) + ", " + std::to_string(spec.nCols) + "\n";
    if (!spec.name.empty()) s += "Name=" + spec.name + "\n";
    if (!spec.title.empty()) s += "\n[Title]\nText=" + spec.title + "\n";
    if (!spec.stubHead.empty()) s += "\n[StubHead]\nText=" + spec.stubHead + "\n";
    for (int c = 0; c < spec.nCols; ++c) {
        if (spec.nSpan && c % spec.nSpan == 0)
            s += "\n[ColumnGroup]\nText=" + spec.spanner(c / spec.nSpan) + "\n";
        s += "\n[Column]\nText=" + spec.column(c) + "\n";
        if (spec.columnLines) s += spec.columnLines(c);
        if (spec.nSpan && (c % spec.nSpan == spec.nSpan - 1 || c == spec.nCols - 1)) s += "[EndGroup]\n";
    }
    std::string line;
    for (int r = 0; r < spec.nRows; ++r) {
        if (spec.nGroupRows && r % spec.nGroupRows == 0)
            s += "\n[RowGroup]\nText=" + spec.caption(r / spec.nGroupRows) + "\n";
        s += "\n[Row]\nText=" + spec.row(r) + "\n";
        if (spec.rowLines) s += spec.rowLines(r);
        line.clear();
        std::size_t nUsed = 7;  // "Data=", the line break and a little room
        for (int c = 0; c < spec.nCols; ++c) {
            const std::string figure = std::to_string(spec.value(r, c));
            if (spec.nDataWidth > 0 && !line.empty() &&
                nUsed + figure.size() + 10 > static_cast<std::size_t>(spec.nDataWidth)) {
                s += "Data=" + line + "\n";
                line.clear();
                nUsed = 7;
            }
            if (!line.empty()) line += ", ";
            line += figure;
            nUsed += figure.size() + 2;
        }
        s += "Data=" + line + "\n";
        if (spec.nGroupRows && (r % spec.nGroupRows == spec.nGroupRows - 1 || r == spec.nRows - 1))
            s += "[EndGroup]\n";
    }
    return s;
}

/// A table read from table file text with its registry, which outlives it.
/// Given a face, every style gets that font at nHeight pixels (200 twips on
/// paper) before the table is read.
struct LoadedTable {
    explicit LoadedTable(const std::string& text, const char* pszFace = nullptr, int nHeight = 0) {
        kavo::CSpecFile file;
        file.OpenText(text);
        registry.Build(file);
        if (pszFace) {
            kavo::LOGFONT lf;
            lf.lfHeight = nHeight;
            std::strncpy(lf.lfFaceName, pszFace, sizeof lf.lfFaceName - 1);
            registry.UpdateFonts(&lf, 200);
        }
        table.SetStyleRegistry(&registry);
        loaded = table.Build(file);
    }
    kavo::CStyleRegistry registry;
    kavo::CTable table;
    int loaded = 0;  // what CTable::Build returned
};

}  // namespace kavobench
