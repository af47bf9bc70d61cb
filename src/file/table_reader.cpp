// Reading one table from a table file: the [Table] section, the four text
// pieces and, through the group readers, the column and row trees.
#include <climits>
#include <cstdint>
#include <ctime>
#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "file/file_util.h"
#include "kavotbl/host/platform.h"
#include "kavotbl/host/progress.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/model/table.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/style/registry.h"

namespace kavo {

using file_detail::FindStyle;
using file_detail::IsHeading;

std::int64_t* file_detail::g_pLinkNanoseconds = nullptr;

namespace {

// Names are literals: a length test first spares most case-blind comparisons.
template <std::size_t N>
bool Is(const CKAVOString& strKey, const char (&szName)[N]) {
    return strKey.GetLength() == static_cast<int>(N - 1) && strKey.CompareNoCase(szName) == 0;
}

}  // namespace

namespace {
std::int64_t g_nMaxCells = std::int64_t{1} << 24;
}  // namespace

std::int64_t CTable::GetMaxCells() { return g_nMaxCells; }

std::int64_t CTable::SetMaxCells(std::int64_t nCells) {
    return std::exchange(g_nMaxCells, nCells < 0 ? 0 : nCells);
}

// Memory that runs out while a table is read ends that table, reported; the
// tables read before it are untouched.
int CTable::Build(CSpecFile& file, CProgressDlg* pProgress) {
    try {
        return BuildTable(file, pProgress);
    } catch (const std::bad_alloc&) {
        ReportLine(IDS_OUT_OF_MEMORY, file.GetLineNumber(), {}, MB_OK | MB_ICONSTOP);
        m_bLoaded = 0;
        return 0;
    }
}

// A table without a registry has no styles to give its elements, so it reads
// nothing and answers 0, as for a file without tables.
int CTable::BuildTable(CSpecFile& file, CProgressDlg* pProgress) {
    if (m_pRegistry == nullptr) return 0;

    m_strText.Empty();
    m_title.m_strText.Empty();
    m_header.m_strText.Empty();
    m_footer.m_strText.Empty();
    m_stubHead.m_strText.Empty();
    m_pStyle = FindStyle(m_pRegistry, "Table");
    m_title.m_pStyle = FindStyle(m_pRegistry, "Title");
    m_header.m_pStyle = FindStyle(m_pRegistry, "Header");
    m_footer.m_pStyle = FindStyle(m_pRegistry, "Footer");
    m_stubHead.m_pStyle = FindStyle(m_pRegistry, "StubHead");

    CCellMaskArray arrMasks;
    int nDataRow = 0;
    CKAVOString strKey, strValue;

    for (;;) {
        if (file.GetLine(strKey, strValue) != 0) return 0;
        if (Is(strKey, "[Table]")) break;
    }
    const std::uint64_t nStartPos = file.GetPosition();
    int nSizeLine = 0;
    std::int32_t nSizeRows = 0, nSizeCols = 0;
    file_detail::KeysSeen seen;

    while (file.GetLine(strKey, strValue) == 0) {
        if (IsHeading(strKey)) {
            if (pProgress != nullptr) {
                const std::uint64_t nPos = file.GetPosition() / 100;
                pProgress->SetPos(nPos > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(nPos));
                if (pProgress->CheckCancelButton()) return 0;
            }
            if (Is(strKey, "[Table]")) {
                file.UngetLine();
                break;
            }
            const bool bColumnGroup = Is(strKey, "[ColumnGroup]");
            const bool bRowGroup = Is(strKey, "[RowGroup]");
            if (bColumnGroup || Is(strKey, "[Column]")) {
                auto pColumn = std::make_unique<CTblColumn>();
                if (!pColumn->Build(file, this, bColumnGroup ? 1 : 0)) return 0;
                m_pColumnRoot->AddChild(pColumn.release());
            } else if (bRowGroup || Is(strKey, "[Row]")) {
                auto pRow = std::make_unique<CTblRow>();
                if (!pRow->Build(file, this, arrMasks, nDataRow, bRowGroup ? 1 : 0)) return 0;
                m_pRowRoot->AddChild(pRow.release());
                if (!bRowGroup) ++nDataRow;
            } else if (Is(strKey, "[EndGroup]")) {
                // A stray group end at table level closes nothing.
            } else if (Is(strKey, "[Title]")) {
                BuildTblPiece(file, m_title);
            } else if (Is(strKey, "[Heading]")) {
                BuildTblPiece(file, m_header);
            } else if (Is(strKey, "[Footing]")) {
                BuildTblPiece(file, m_footer);
            } else if (Is(strKey, "[StubHead]")) {
                BuildTblPiece(file, m_stubHead);
            } else {
                ShowLineMessage(IDS_INVALID_SECTION_HEADING, file.GetLineNumber(), strKey);
                file.SkipSection();
                break;
            }
            continue;
        }

        if (Is(strKey, "Name")) {
            file_detail::CheckTwice(file, strKey, seen, 0);
            m_strText = strValue;
        } else if (Is(strKey, "Style")) {
            file_detail::CheckTwice(file, strKey, seen, 1);
            CStyle* pStyle = m_pRegistry->FindStyle(strValue);
            if (pStyle == nullptr) {
                // An unknown name leaves the table with the style of its kind,
                // which sizing and drawing need.
                file_detail::ReportNoStyle(file, strValue);
                pStyle = FindStyle(m_pRegistry, "Table");
            }
            m_pStyle = pStyle;
        } else if (Is(strKey, "Size")) {
            file_detail::CheckTwice(file, strKey, seen, 2);
            CKAVOString strItems(strValue);
            const CKAVOString strRows = strItems.GetNextWord(), strCols = strItems.GetNextWord();
            const std::int32_t nRows = file_detail::Low32(strRows.Val());
            const std::int32_t nCols = file_detail::Low32(strCols.Val());
            if (!strRows.IsNumeric() || !strCols.IsNumeric() || !strItems.IsEmpty())
                ReportLine(IDS_UNKNOWN_VALUE, file.GetLineNumber(),
                           {strKey.str(), strValue.str(), "two whole numbers (rows, columns)",
                            std::to_string(nRows) + ", " + std::to_string(nCols)});
            nSizeLine = file.GetLineNumber();
            nSizeRows = nRows;
            nSizeCols = nCols;
            // The size is a promise the file may not keep: reserve only a
            // modest one, and never once cells are handed out, since shrinking
            // the block would pull cells from under the rows.
            const std::int64_t nCells = std::int64_t{nRows} * nCols;
            if (m_nNextCell == 0 && nRows >= 0 && nCols >= 0 && nCells <= file_detail::kMaxReservedCells)
                Alloc(CSize(nRows, nCols));
        } else if (Is(strKey, "AreaLevels")) {
            file_detail::CheckTwice(file, strKey, seen, 3);
            if (!strValue.IsNumeric())
                ReportLine(IDS_UNKNOWN_VALUE, file.GetLineNumber(),
                           {strKey.str(), strValue.str(), "a whole number", std::to_string(strValue.Val())});
            m_nAreaLevels = static_cast<unsigned>(file_detail::Low32(strValue.Val()));
        } else {
            ShowLineMessage(IDS_UNRECOGNIZED_COMMAND, file.GetLineNumber(), strKey);
        }
    }

    // Linking pads every data row to the number of data columns; a table
    // whose two trees ask for more cells than any table can hold is refused
    // before it takes the memory.
    const std::int64_t nCols = m_pColumnRoot->GetNumDataChildren();
    const std::int64_t nRows = m_pRowRoot->GetNumDataChildren();
    const std::int64_t nBytes = static_cast<std::int64_t>(std::min<std::uint64_t>(
        file.GetPosition() - std::min(file.GetPosition(), nStartPos), std::uint64_t{1} << 40));
    const std::int64_t nAllowed =
        std::min(g_nMaxCells, std::max(file_detail::kMinCellAllowance, nBytes * file_detail::kCellsPerByte));
    if (nCols * nRows > nAllowed) {
        ReportLine(IDS_TOO_MANY_CELLS, file.GetLineNumber(),
                   {std::to_string(nCols * nRows), std::to_string(nAllowed)}, MB_OK | MB_ICONSTOP);
        return 0;
    }
    if (nSizeLine > 0 && (nSizeRows != nRows || nSizeCols != nCols))
        ReportLine(IDS_SIZE_MISMATCH, nSizeLine,
                   {file_detail::Count(nSizeRows, "row", "rows"), file_detail::Count(nSizeCols, "column", "columns"),
                    file_detail::Count(nRows, "row", "rows"), file_detail::Count(nCols, "column", "columns")});

    // Processor time, so that a busy machine does not count against it.
    const std::clock_t linkStart = file_detail::g_pLinkNanoseconds ? std::clock() : 0;
    OptimizeDataChildren();
    ReportRowLengths();
    SetRowColObParent(m_pRowRoot, nullptr);
    SetRowColObParent(m_pColumnRoot, nullptr);
    AdjustCellLinkages();
    AdjustMasks(arrMasks);
    if (file_detail::g_pLinkNanoseconds)
        *file_detail::g_pLinkNanoseconds +=
            static_cast<std::int64_t>(static_cast<double>(std::clock() - linkStart) * 1e9 / CLOCKS_PER_SEC);
    m_bLoaded = 1;
    return 1;
}

void CTable::BuildTblPiece(CSpecFile& file, CTblOb& piece) {
    CKAVOString strKey, strValue;
    file_detail::KeysSeen seen;
    if (file.GetLine(strKey, strValue) != 0) return;
    for (;;) {
        if (IsHeading(strKey)) {
            file.UngetLine();
            return;
        }
        if (Is(strKey, "Text")) {
            file_detail::CheckTwice(file, strKey, seen, 0);
            piece.m_strText = strValue;
        } else if (Is(strKey, "Style")) {
            file_detail::CheckTwice(file, strKey, seen, 1);
            CStyle* pStyle = FindStyle(m_pRegistry, strValue);
            if (pStyle == nullptr) {
                file_detail::ReportNoStyle(file, strValue);
                // Back to the piece's own default; a piece of no known kind
                // keeps what it has.
                const char* pszDefault = &piece == &m_title      ? "Title"
                                         : &piece == &m_header   ? "Header"
                                         : &piece == &m_footer   ? "Footer"
                                         : &piece == &m_stubHead ? "StubHead"
                                                                 : nullptr;
                pStyle = pszDefault ? FindStyle(m_pRegistry, pszDefault) : piece.m_pStyle;
            }
            piece.m_pStyle = pStyle;
        } else {
            ShowLineMessage(IDS_UNRECOGNIZED_COMMAND, file.GetLineNumber(), strKey);
        }
        if (file.GetLine(strKey, strValue) != 0) return;
    }
}

}  // namespace kavo

namespace kavo {

// Linking pads a short row with 0 and drops the values of a long one; the
// user hears of both.
void CTable::ReportRowLengths() const {
    const int nCols = m_pColumnRoot->GetNumDataChildren();
    for (int r = 0; r < m_arrDataRows.GetSize(); ++r) {
        const CTblRow* pRow = m_arrDataRows[r];
        const int nValues = pRow->GetNumCells();
        if (nValues == nCols) continue;
        ReportLine(IDS_ROW_LENGTH, pRow->GetFileLine(),
                   {file_detail::Quoted(pRow->GetText()), file_detail::Count(nValues, "value", "values"),
                    file_detail::Count(nCols, "data column", "data columns"),
                    nValues < nCols ? "the rest are 0" : "the extra ones are dropped"});
    }
}

}  // namespace kavo
