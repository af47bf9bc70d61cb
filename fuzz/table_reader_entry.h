// One fuzz input: a whole table file loaded, saved, reloaded and saved again.
// Shared by the libFuzzer target and the test that replays the corpus.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kavotbl/file/document.h"
#include "kavotbl/host/platform.h"
#include "kavotbl/model/table.h"
#include "kavotbl/resources/strings.h"

namespace kavo_fuzz {

namespace detail {

// Data rows, data columns and values of two tables agree; rows and columns
// are those whose IsBlocked answers nonzero in a when bBlockedOnly is set.
inline bool SameCells(const kavo::CTable& a, const kavo::CTable& b, bool bBlockedOnly) {
    std::vector<int> rows, cols;
    for (int r = 0; r < a.GetNumDataRows(); ++r)
        if (!bBlockedOnly || a.GetRow(r)->IsBlocked()) rows.push_back(r);
    for (int c = 0; c < a.GetNumDataColumns(); ++c)
        if (!bBlockedOnly || a.GetColumn(c)->IsBlocked()) cols.push_back(c);
    if (b.GetNumDataRows() != static_cast<int>(rows.size())) return false;
    if (b.GetNumDataColumns() != static_cast<int>(cols.size())) return false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (b.GetRow(static_cast<int>(i))->GetNumCells() != static_cast<int>(cols.size())) return false;
        for (std::size_t j = 0; j < cols.size(); ++j)
            if (a.GetCellData(rows[i], cols[j]) != b.GetCellData(static_cast<int>(i), static_cast<int>(j)))
                return false;
    }
    return true;
}

}  // namespace detail

/// Loads data as a table file with message boxes silenced, then checks that
/// what the writer makes of it loads again to the same tables and saves to
/// the same text, for the whole tables and for a block of each. Returns an
/// empty string, or what went wrong.
inline std::string CheckTableFile(const std::uint8_t* data, std::size_t size) {
    const kavo::MessageBoxHandler prev =
        kavo::SetMessageBoxHandler([](const kavo::CKAVOString&, unsigned) { return kavo::IDOK; });
    // Built-in regional defaults: the same result on every machine, and no
    // locale lookups in the loop.
    const kavo::ProfileSource prevProfile =
        kavo::SetProfileSource([](const std::string&, const std::string&, std::string&) { return false; });
    std::string problem;
    {
        kavo::CTableDocument doc;
        doc.LoadText(std::string(reinterpret_cast<const char*>(data), size));
        const std::string first = doc.SaveText();

        // Every message names a line of the file (0: none) and an entry of
        // the string table.
        const std::size_t nLines =
            static_cast<std::size_t>(std::count(data, data + size, static_cast<std::uint8_t>('\n'))) + 1;
        for (const kavo::CLoadMessage& m : doc.GetMessages())
            if (m.nLine < 0 || static_cast<std::size_t>(m.nLine) > nLines || kavo::LoadKAVOString(m.nID).IsEmpty() ||
                m.strText.empty())
                problem = "a message without its line or text";

        kavo::CTableDocument second;
        if (!problem.empty()) {
        } else if (!second.LoadText(first)) {
            problem = "the saved text does not load";
        } else if (!second.GetMessages().empty() &&
                   !(doc.GetNumTables() == 0 && second.GetMessages().front().nID == kavo::IDS_NO_TABLE)) {
            problem = "the saved text loads with a message: " + second.GetMessages().front().strText;
        } else if (second.GetNumTables() != doc.GetNumTables()) {
            problem = "the saved text holds another number of tables";
        } else {
            for (int i = 0; i < doc.GetNumTables() && problem.empty(); ++i)
                if (!detail::SameCells(*doc.GetTable(i), *second.GetTable(i), false))
                    problem = "a reloaded table has other cells";
            const std::string again = second.SaveText();
            kavo::CTableDocument third;
            third.LoadText(again);
            if (problem.empty() && third.SaveText() != again) problem = "a second save differs from the first";
        }

        // Every other data row and column of each table, saved as the block.
        if (problem.empty()) {
            kavo::CRectArray rects;
            for (int i = 0; i < doc.GetNumTables(); ++i) {
                kavo::CTable& t = *doc.GetTable(i);
                for (int r = 0; r < t.GetNumDataRows(); r += 2) t.GetRow(r)->Block(rects, 1);
                for (int c = 1; c < t.GetNumDataColumns(); c += 2) t.GetColumn(c)->Block(rects, 1);
                t.BlockParents(rects, 1);
            }
            // A table with nothing blocked writes nothing.
            std::vector<const kavo::CTable*> withBlock;
            for (int i = 0; i < doc.GetNumTables(); ++i) {
                const kavo::CTable& t = *doc.GetTable(i);
                if (t.GetNumDataRows() > 0 || t.GetNumDataColumns() > 1) withBlock.push_back(&t);
            }
            kavo::CTableDocument block;
            if (!block.LoadText(doc.SaveText(1)) || block.GetNumTables() != static_cast<int>(withBlock.size())) {
                problem = "the saved block does not load";
            } else {
                for (int i = 0; i < block.GetNumTables() && problem.empty(); ++i)
                    if (!detail::SameCells(*withBlock[static_cast<std::size_t>(i)], *block.GetTable(i), true))
                        problem = "a reloaded block has other cells";
            }
        }
    }
    kavo::SetMessageBoxHandler(prev);
    kavo::SetProfileSource(prevProfile);
    return problem;
}

}  // namespace kavo_fuzz
