// Reading column and row sections: spanners and data columns, row groups and
// data rows with their values, area codes and single-cell styles and formats.
#include <cstdint>
#include <memory>
#include <string_view>

#include "file/file_util.h"
#include "kavotbl/host/platform.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/table.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/resources/strings.h"
#include "kavotbl/style/registry.h"

namespace kavo {

using file_detail::FindFormat;
using file_detail::FindStyle;
using file_detail::IsHeading;

namespace {

// Names are literals: a length test first spares most case-blind comparisons.
template <std::size_t N>
bool Is(const CKAVOString& strKey, const char (&szName)[N]) {
    return strKey.GetLength() == static_cast<int>(N - 1) && strKey.CompareNoCase(szName) == 0;
}

// Nesting depth of the group readers now running. One reader runs at a time
// per thread, and the readers take no depth argument, so it is kept here.
thread_local int t_nDepth = 0;

class DepthGuard {
public:
    DepthGuard() { ++t_nDepth; }
    ~DepthGuard() { --t_nDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

// A nested group heading past the depth limit: reported like an unknown
// heading, its section skipped, and the group being read ends.
bool TooDeep(CSpecFile& file, const CKAVOString& strKey) {
    if (t_nDepth < file_detail::kMaxGroupDepth) return false;
    ShowLineMessage(IDS_INVALID_SECTION_HEADING, file.GetLineNumber(), strKey);
    file.SkipSection();
    return true;
}

// End of file inside a group: the group is closed as the file ends, and the
// user hears that its "[EndGroup]" never came, once, for the outermost group
// (every group around the last line is open).
int EndOfFile(const CSpecFile& file, int bGroup, const CKAVOString& strText) {
    if (bGroup && t_nDepth == 1) ReportLine(IDS_ENDS_IN_GROUP, file.GetLineNumber(), {file_detail::Quoted(strText)});
    return 1;
}

// The next item of a "Data" line. Besides the ", " the writer puts between
// values, a comma with no blank or several blanks after it separates them
// too, as files written elsewhere have it; an empty item stays empty.
std::string_view NextDataItem(std::string_view& rest) {
    const std::size_t comma = rest.find(',');
    std::string_view item;
    if (comma == std::string_view::npos) {
        item = rest;
        rest = std::string_view();
    } else {
        item = rest.substr(0, comma);
        rest.remove_prefix(comma + 1);
        std::size_t n = 0;
        while (n < rest.size() && rest[n] == ' ') ++n;
        rest.remove_prefix(n);
    }
    return item;
}

// The common form of a value, a "-" and at most 18 digits, read directly;
// it is always numeric and cannot overflow. Anything else takes the string's
// own IsNumeric and Val.
bool PlainDecimal(std::string_view item, std::int64_t& nValue) {
    std::size_t i = 0;
    const bool bNegative = !item.empty() && item[0] == '-';
    if (bNegative) i = 1;
    const std::size_t nDigits = item.size() - i;
    if (nDigits == 0 || nDigits > 18) return false;
    std::int64_t v = 0;
    for (; i < item.size(); ++i) {
        const char c = item[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    nValue = bNegative ? -v : v;
    return true;
}

void StopMessage(const CSpecFile& file, unsigned nID, std::string_view item = std::string_view()) {
    ShowFileMessage(nID, file.GetLineNumber(), FormatItemMessage(nID, CKAVOString(std::string(item))),
                    MB_OK | MB_ICONSTOP);
}

}  // namespace

int CTblColumn::Build(CSpecFile& file, CTable* pTable, int bGroup) {
    const DepthGuard depth;
    const CStyleRegistry* pRegistry = pTable ? pTable->GetStyleRegistry() : nullptr;
    const char* pszKind = bGroup ? "ColumnGroup" : "Column";
    m_strText.Empty();
    m_pStyle = FindStyle(pRegistry, pszKind);

    CKAVOString strKey, strValue;
    file_detail::KeysSeen seen;
    if (file.GetLine(strKey, strValue) != 0) return EndOfFile(file, bGroup, m_strText);
    for (;;) {
        if (IsHeading(strKey)) {
            if (Is(strKey, "[EndGroup]")) {
                if (!bGroup) file.UngetLine();
                return 1;
            }
            if (Is(strKey, "[Table]") || Is(strKey, "[RowGroup]") || Is(strKey, "[Row]")) {
                file.UngetLine();
                return 1;
            }
            const bool bChildGroup = Is(strKey, "[ColumnGroup]");
            if (bChildGroup || Is(strKey, "[Column]")) {
                if (!bGroup) {
                    file.UngetLine();
                    return 1;
                }
                if (TooDeep(file, strKey)) return 1;
                auto pChild = std::make_unique<CTblColumn>();
                if (!pChild->Build(file, pTable, bChildGroup ? 1 : 0)) return 0;
                AddChild(pChild.release());
            } else {
                ShowLineMessage(IDS_INVALID_SECTION_HEADING, file.GetLineNumber(), strKey);
                file.SkipSection();
                return 1;
            }
        } else if (Is(strKey, "Text")) {
            file_detail::CheckTwice(file, strKey, seen, 0);
            m_strText = strValue;
        } else if (Is(strKey, "Style")) {
            file_detail::CheckTwice(file, strKey, seen, 1);
            CStyle* pStyle = FindStyle(pRegistry, strValue);
            if (pStyle == nullptr) {
                file_detail::ReportNoStyle(file, strValue);
                pStyle = FindStyle(pRegistry, pszKind);
            }
            m_pStyle = pStyle;
        } else if (Is(strKey, "CellStyle")) {
            file_detail::CheckTwice(file, strKey, seen, 2);
            m_pCellStyle = FindStyle(pRegistry, strValue);
            if (m_pCellStyle == nullptr) file_detail::ReportNoStyle(file, strValue);
        } else if (Is(strKey, "CellFormat")) {
            file_detail::CheckTwice(file, strKey, seen, 3);
            m_pCellFormat = FindFormat(pRegistry, strValue);
            if (m_pCellFormat == nullptr) file_detail::ReportNoFormat(file, strValue);
        } else {
            ShowLineMessage(IDS_UNRECOGNIZED_COMMAND, file.GetLineNumber(), strKey);
        }
        if (file.GetLine(strKey, strValue) != 0) return EndOfFile(file, bGroup, m_strText);
    }
}

int CTblRow::Build(CSpecFile& file, CTable* pTable, CCellMaskArray& arrMasks, int& nDataRow, int bGroup) {
    const DepthGuard depth;
    const CStyleRegistry* pRegistry = pTable ? pTable->GetStyleRegistry() : nullptr;
    const char* pszKind = bGroup ? "RowGroup" : "Row";
    m_strText.Empty();
    m_pStyle = FindStyle(pRegistry, pszKind);
    m_nFileLine = file.GetLineNumber();

    CKAVOString strKey, strValue;
    file_detail::KeysSeen seen;
    if (file.GetLine(strKey, strValue) != 0) return EndOfFile(file, bGroup, m_strText);
    for (;;) {
        bool bTaken = true;
        if (IsHeading(strKey)) {
            if (Is(strKey, "[EndGroup]")) {
                if (!bGroup) file.UngetLine();
                return 1;
            }
            if (Is(strKey, "[Table]") || Is(strKey, "[ColumnGroup]") || Is(strKey, "[Column]")) {
                file.UngetLine();
                return 1;
            }
            const bool bChildGroup = Is(strKey, "[RowGroup]");
            if (bChildGroup || Is(strKey, "[Row]")) {
                if (!bGroup) {
                    file.UngetLine();
                    return 1;
                }
                if (TooDeep(file, strKey)) return 1;
                auto pChild = std::make_unique<CTblRow>();
                if (!pChild->Build(file, pTable, arrMasks, nDataRow, bChildGroup ? 1 : 0)) return 0;
                AddChild(pChild.release());
                if (!bChildGroup) ++nDataRow;
            } else {
                ShowLineMessage(IDS_INVALID_SECTION_HEADING, file.GetLineNumber(), strKey);
                file.SkipSection();
                return 1;
            }
        } else if (Is(strKey, "Data")) {  // the most frequent key first
            std::string_view rest = file_detail::View(strValue);
            CKAVOString strItem;
            while (!rest.empty()) {
                const std::string_view item = NextDataItem(rest);
                if (item.empty()) {
                    StopMessage(file, IDS_DATA_CELL_EMPTY);
                    return 0;
                }
                std::int64_t nValue = 0;
                if (!PlainDecimal(item, nValue)) {
                    strItem.str().assign(item.data(), item.size());
                    if (!strItem.IsNumeric()) {
                        StopMessage(file, IDS_DATA_CELL_NOT_NUMERIC, item);
                        return 0;
                    }
                    nValue = strItem.Val();
                }
                // Past the cells that "Size" reserved the block grows.
                CTblCell* pCell = pTable ? pTable->AllocCell(nValue) : nullptr;
                if (pCell == nullptr) break;  // no table, or a block that cannot grow
                m_arrCells.Add(pCell);
            }
        } else if (Is(strKey, "Text")) {
            file_detail::CheckTwice(file, strKey, seen, 0);
            m_strText = strValue;
        } else if (Is(strKey, "Style")) {
            file_detail::CheckTwice(file, strKey, seen, 1);
            CStyle* pStyle = FindStyle(pRegistry, strValue);
            if (pStyle == nullptr) {
                file_detail::ReportNoStyle(file, strValue);
                pStyle = FindStyle(pRegistry, pszKind);
            }
            m_pStyle = pStyle;
        } else if (Is(strKey, "CellStyle") || Is(strKey, "CellFormat")) {
            const bool bStyle = Is(strKey, "CellStyle");
            CStyle* pStyle = nullptr;
            CFormat* pFormat = nullptr;
            auto find = [&](const CKAVOString& strName) {
                if (bStyle) return (pStyle = FindStyle(pRegistry, strName)) != nullptr;
                return (pFormat = FindFormat(pRegistry, strName)) != nullptr;
            };
            // The value is a name, or a column number, ", " and a name. Names
            // that hold ", " themselves ("Pct, 1dp") and empty names (a style
            // without a label) are told apart by what the registry holds;
            // otherwise the first two items decide.
            const std::string& value = strValue.str();
            const std::size_t nSep = value.find(", ");
            CKAVOString strName, strFirst(value.substr(0, nSep));
            bool bMask = nSep != std::string::npos, bFound = false;
            if (bMask) {
                const CKAVOString strRest(value.substr(nSep + 2));
                if (!strFirst.IsNumeric() && find(strValue)) {
                    bMask = false;
                    bFound = true;
                } else if (find(strRest)) {
                    bFound = true;
                } else if (strRest.IsEmpty()) {
                    bMask = false;  // "N, " names no style: the name is N
                    bFound = find(strName = strFirst);
                } else {
                    CKAVOString strItems(strRest);
                    bFound = find(strName = strItems.GetNextWord());
                }
            } else {
                bFound = find(strName = strFirst);
            }
            if (!bFound) {
                if (bStyle)
                    file_detail::ReportNoStyle(file, strName);
                else
                    file_detail::ReportNoFormat(file, strName);
            }
            if (!bMask) {
                file_detail::CheckTwice(file, strKey, seen, bStyle ? 2 : 3);
                if (bStyle)
                    m_pCellStyle = pStyle;
                else
                    m_pCellFormat = pFormat;
            } else {
                CELL_MASK mask;
                mask.nCol = file_detail::Low32(strFirst.Val());
                mask.nRow = nDataRow;
                mask.pStyle = pStyle;
                mask.pFormat = pFormat;
                arrMasks.Add(mask);
            }
        } else if (Is(strKey, "AreaCodes")) {
            file_detail::CheckTwice(file, strKey, seen, 4);
            m_bHasArea = 1;
            file_detail::ItemCursor items(file_detail::View(strValue));
            CKAVOString strItem;
            int nCode = 0;
            while (!items.Empty()) {
                const std::string_view item = items.Next();
                if (item.empty()) {
                    StopMessage(file, IDS_AREA_CODES_MISSING);
                    return 0;
                }
                strItem.str().assign(item.data(), item.size());
                if (!strItem.IsNumeric()) {
                    StopMessage(file, IDS_AREA_CODES_NOT_NUMERIC);
                    return 0;
                }
                // The record has eight levels; further codes are checked but
                // have nowhere to go.
                if (nCode < CAreaStruct::NUM_CODES) m_area.SetCode(nCode, file_detail::Low32(strItem.Val()));
                ++nCode;
            }
            // The indent lands on the text read so far. A saved row text
            // carries its indent, but the line reader drops a value's
            // leading blanks, so a reload indents it once, not twice.
            if (!bGroup) {
                int nLast = -1;
                for (int i = 0; i < CAreaStruct::NUM_CODES; ++i)
                    if (m_area.GetCode(i) != 0) nLast = i;
                if (nLast >= 0) m_strText = CKAVOString(4 * (nLast + 1), ' ') + m_strText;
            }
        } else if (Is(strKey, "AreaName")) {
            file_detail::CheckTwice(file, strKey, seen, 5);
            m_strAreaName = strValue;
        } else {
            bTaken = false;
        }
        if (!bTaken) ShowLineMessage(IDS_UNRECOGNIZED_COMMAND, file.GetLineNumber(), strKey);
        if (file.GetLine(strKey, strValue) != 0) return EndOfFile(file, bGroup, m_strText);
    }
}

}  // namespace kavo
