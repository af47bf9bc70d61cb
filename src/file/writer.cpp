// Writing a table back to a table file. Only what departs from the reader's
// defaults is written (a label always).
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "file/file_util.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/model/table.h"
#include "kavotbl/style/registry.h"
#include "layout/spanner_copies.h"

namespace kavo {

using file_detail::FindStyle;

namespace {

void PutKey(CSpecFile& file, const char* pszKey, const CKAVOString& strValue) {
    file.PutLine(CKAVOString(pszKey), strValue);
}

void PutHeading(CSpecFile& file, const char* pszHeading) {
    file.PutLine(CKAVOString());
    file.PutLine(CKAVOString(pszHeading));
}

// A "Data" line is closed before a value would take it past 200 characters,
// counting 7 for the key, each value with its ", " and 10 to spare.
constexpr std::size_t kDataLineLimit = 200;
constexpr std::size_t kDataLineKey = 7;
constexpr std::size_t kDataLineSpare = 10;

// The part of a table that a save of the block writes, while CTable::Save
// runs: the data rows and columns of the blocked rows, columns and cells,
// and every caption and spanner above them or blocked itself. Without a
// table's save under way (a node saved on its own), a node's own mark says.
const std::unordered_set<const CRowColOb*>* t_pExported = nullptr;

bool NodeExported(const CRowColOb* pNode) {
    return t_pExported ? t_pExported->count(pNode) != 0 : pNode->IsBlocked() != 0;
}

bool Exported(const CTblCell* pCell, int bBlockedOnly) {
    if (!bBlockedOnly) return true;
    const CTblColumn* pCol = pCell->GetCol();
    return pCol != nullptr && NodeExported(pCol);
}

class ExportScope {
public:
    explicit ExportScope(const std::unordered_set<const CRowColOb*>* pSet) : m_pPrev(t_pExported) {
        t_pExported = pSet;
    }
    ~ExportScope() { t_pExported = m_pPrev; }
    ExportScope(const ExportScope&) = delete;
    ExportScope& operator=(const ExportScope&) = delete;

private:
    const std::unordered_set<const CRowColOb*>* m_pPrev;
};

// Adds to the set every inner node of the tree that is blocked or lies above
// an exported leaf; iterative, so that a deep tree cannot exhaust the stack.
void AddInnerNodes(const CRowColOb* pRoot, std::unordered_set<const CRowColOb*>& set) {
    struct Frame {
        const CRowColOb* pNode;
        int nNext;
        bool bAny;
    };
    std::vector<Frame> stack{{pRoot, 0, false}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.nNext < f.pNode->GetNumChildren()) {
            const CRowColOb* pChild = f.pNode->GetChildAt(f.nNext++);
            if (pChild->HasData())
                f.bAny = f.bAny || set.count(pChild) != 0;
            else
                stack.push_back({pChild, 0, false});
            continue;
        }
        const Frame done = f;
        stack.pop_back();
        const bool bExported = done.bAny || done.pNode->IsBlocked();
        if (bExported) set.insert(done.pNode);
        if (!stack.empty()) stack.back().bAny = stack.back().bAny || bExported;
    }
}

}  // namespace

int CTable::CollectBlock(std::unordered_set<const CRowColOb*>& set, int& nRows, int& nCols) const {
    const int nDataRows = GetNumDataRows(), nDataCols = GetNumDataColumns();
    std::vector<char> rowHas(static_cast<std::size_t>(nDataRows)), colHas(static_cast<std::size_t>(nDataCols));
    for (int r = 0; r < nDataRows; ++r) {
        const CTblRow* pRow = m_arrDataRows[r];
        rowHas[static_cast<std::size_t>(r)] = pRow->IsBlocked() != 0;
        const int nCells = pRow->GetNumCells() < nDataCols ? pRow->GetNumCells() : nDataCols;
        for (int c = 0; c < nCells; ++c) {
            const CTblCell* pCell = pRow->GetCell(c);
            if (pCell && pCell->IsBlocked()) rowHas[static_cast<std::size_t>(r)] = colHas[static_cast<std::size_t>(c)] = 1;
        }
    }
    for (int c = 0; c < nDataCols; ++c)
        if (m_arrDataColumns[c]->IsBlocked()) colHas[static_cast<std::size_t>(c)] = 1;
    nRows = nCols = 0;
    for (char b : rowHas) nRows += b;
    for (char b : colHas) nCols += b;
    if (nRows == 0 && nCols == 0) return 0;
    for (int r = 0; r < nDataRows; ++r)
        if (rowHas[static_cast<std::size_t>(r)]) set.insert(m_arrDataRows[r]);
    for (int c = 0; c < nDataCols; ++c)
        if (colHas[static_cast<std::size_t>(c)]) set.insert(m_arrDataColumns[c]);
    AddInnerNodes(m_pColumnRoot, set);
    AddInnerNodes(m_pRowRoot, set);
    return 1;
}

int CTable::Save(CSpecFile& file, int bBlockedOnly) const {
    // The tree is written as loaded, whatever layout is in force: the
    // printer layout's spanner copies step out of it while the save runs.
    SpannerCopies copies;
    copies.Take(m_pColumnRoot);
    struct PutBack {
        SpannerCopies& c;
        CTblColumn* pRoot;
        ~PutBack() { c.PutBack(pRoot, false); }
    } putBack{copies, m_pColumnRoot};
    int nRows = GetNumDataRows();
    int nCols = GetNumDataColumns();
    std::unordered_set<const CRowColOb*> exported;
    if (bBlockedOnly && !CollectBlock(exported, nRows, nCols)) return 0;  // no block: nothing to write
    const ExportScope scope(bBlockedOnly ? &exported : nullptr);

    PutHeading(file, "[Table]");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d, %d", nRows, nCols);
    PutKey(file, "Size", CKAVOString(buf));
    if (m_nAreaLevels != 0) {
        std::snprintf(buf, sizeof buf, "%u", m_nAreaLevels);
        PutKey(file, "AreaLevels", CKAVOString(buf));
    }
    if (!m_strText.IsEmpty()) PutKey(file, "Name", m_strText);
    if (m_pStyle != nullptr && m_pStyle != FindStyle(m_pRegistry, "Table")) PutKey(file, "Style", m_pStyle->GetLabel());

    m_title.Save(file, CKAVOString("[Title]"), FindStyle(m_pRegistry, "Title"), 0);
    m_stubHead.Save(file, CKAVOString("[StubHead]"), FindStyle(m_pRegistry, "StubHead"), 0);
    m_header.Save(file, CKAVOString("[Heading]"), FindStyle(m_pRegistry, "Header"), 0);
    m_footer.Save(file, CKAVOString("[Footing]"), FindStyle(m_pRegistry, "Footer"), 0);

    m_pColumnRoot->Save(file, this, bBlockedOnly);
    m_pRowRoot->Save(file, this, bBlockedOnly);
    return 1;
}

void CTblOb::Save(CSpecFile& file, const CKAVOString& strHeading, const CStyle* pDefaultStyle,
                  int bBlockedOnly) const {
    if (bBlockedOnly && !IsBlocked()) return;
    // A piece without a style (one never loaded) reads back with the default
    // of its kind, so it counts as having that one.
    if (m_strText.IsEmpty() && (m_pStyle == pDefaultStyle || m_pStyle == nullptr)) return;
    file.PutLine(CKAVOString());
    file.PutLine(strHeading);
    if (!m_strText.IsEmpty()) PutKey(file, "Text", m_strText);
    if (m_pStyle != nullptr && m_pStyle != pDefaultStyle) PutKey(file, "Style", m_pStyle->GetLabel());
}

void CTblColumn::Save(CSpecFile& file, const CTable* pTable, int bBlockedOnly) const {
    const CStyleRegistry* pRegistry = pTable ? pTable->GetStyleRegistry() : nullptr;
    const bool bGroup = !HasData();
    const bool bWrite = m_pStyle != nullptr && !(bBlockedOnly && !NodeExported(this));
    if (bWrite) {
        PutHeading(file, bGroup ? "[ColumnGroup]" : "[Column]");
        if (!m_strText.IsEmpty()) PutKey(file, "Text", m_strText);
        if (m_pStyle != FindStyle(pRegistry, bGroup ? "ColumnGroup" : "Column")) PutKey(file, "Style", m_pStyle->GetLabel());
        if (m_pCellStyle != nullptr) PutKey(file, "CellStyle", m_pCellStyle->GetLabel());
        if (m_pCellFormat != nullptr) PutKey(file, "CellFormat", m_pCellFormat->GetLabel());
    }
    for (const CRowColOb* pChild : m_listChildren)
        static_cast<const CTblColumn*>(pChild)->Save(file, pTable, bBlockedOnly);
    if (bGroup && bWrite) file.PutLine(CKAVOString("[EndGroup]"));
}

namespace {

// The single-cell lines and the "Data" lines of a data row, in one pass over
// its cells: single-cell lines are written as they are met, values gather in
// lines that are written after them.
void SaveCells(CSpecFile& file, const CTblRow& row, const CStyleRegistry* pRegistry, int bBlockedOnly) {
    // The column number of a single-cell line counts the cells written, so
    // that in a save of the block it matches the "Data" values, which the
    // reader numbers afresh. A cell is left out when the reader would give it
    // the same style anyway: the row's, else its column's, else the
    // registry's first.
    const CStyle* pDefaultStyle =
        pRegistry != nullptr && pRegistry->GetNumStyles() > 0 ? pRegistry->GetStyle(0) : nullptr;
    const CFormat* pDefaultFormat =
        pRegistry != nullptr && pRegistry->GetNumFormats() > 0 ? pRegistry->GetFormat(0) : nullptr;
    std::string values;  // the "Data" lines' values, lines separated by '\n'
    values.reserve(static_cast<std::size_t>(row.GetNumCells()) * 8);
    std::size_t nUsed = kDataLineKey;  // the key and the values of the line, with their ", "
    bool bLineEmpty = true;
    char buf[48];
    int nOut = 0;
    const CStyle* pRowStyle = row.GetCellStyle();
    const CFormat* pRowFormat = row.GetCellFormat();
    for (int i = 0; i < row.GetNumCells(); ++i) {
        const CTblCell* pCell = row.GetCell(i);
        if (!Exported(pCell, bBlockedOnly)) continue;
        const CTblColumn* pCol = pCell->GetCol();

        const CStyle* pStyle = pCell->GetStyle();
        const CStyle* pStyleFrom = pRowStyle ? pRowStyle : (pCol ? pCol->GetCellStyle() : nullptr);
        if (pStyleFrom == nullptr) pStyleFrom = pDefaultStyle;
        if (pStyle != nullptr && pStyle != pStyleFrom) {
            std::snprintf(buf, sizeof buf, "%d, ", nOut);
            PutKey(file, "CellStyle", CKAVOString(buf) + pStyle->GetLabel());
        }
        const CFormat* pFormat = pCell->GetFormat();
        const CFormat* pFormatFrom = pRowFormat ? pRowFormat : (pCol ? pCol->GetCellFormat() : nullptr);
        if (pFormatFrom == nullptr) pFormatFrom = pDefaultFormat;
        if (pFormat != nullptr && pFormat != pFormatFrom) {
            std::snprintf(buf, sizeof buf, "%d, ", nOut);
            PutKey(file, "CellFormat", CKAVOString(buf) + pFormat->GetLabel());
        }
        ++nOut;

        char digits[24];
        const std::size_t nLen =
            static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, pCell->GetData()).ptr - digits);
        if (!bLineEmpty && nUsed + nLen + kDataLineSpare > kDataLineLimit) {
            values += '\n';
            nUsed = kDataLineKey;
            bLineEmpty = true;
        }
        if (!bLineEmpty) values += ", ";
        values.append(digits, nLen);
        nUsed += nLen + 2;
        bLineEmpty = false;
    }

    // A row without values still writes one, empty, "Data" line.
    const CKAVOString strKey("Data");
    CKAVOString strLine;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nEnd = values.find('\n', nStart);
        strLine.str().assign(values, nStart, nEnd == std::string::npos ? std::string::npos : nEnd - nStart);
        file.PutLine(strKey, strLine);
        if (nEnd == std::string::npos) break;
        nStart = nEnd + 1;
    }
}

}  // namespace

void CTblRow::Save(CSpecFile& file, const CTable* pTable, int bBlockedOnly) const {
    const CStyleRegistry* pRegistry = pTable ? pTable->GetStyleRegistry() : nullptr;
    const bool bGroup = !HasData();
    const bool bWrite = m_pStyle != nullptr && !(bBlockedOnly && !NodeExported(this));
    if (bWrite) {
        PutHeading(file, bGroup ? "[RowGroup]" : "[Row]");
        // The reader indents the text of a [Row] read before its "AreaCodes"
        // by 4 blanks per level down to the last nonzero code. A text that
        // carries that indent is written before the codes, as loaded; any
        // other text after them, where it replaces the indented one.
        std::size_t nIndent = 0;
        for (int i = 0; m_bHasArea && !bGroup && i < CAreaStruct::NUM_CODES; ++i)
            if (m_area.GetCode(i) != 0) nIndent = 4 * static_cast<std::size_t>(i + 1);
        const std::string& text = m_strText.str();
        const bool bIndented = nIndent > 0 && text.size() >= nIndent &&
                               text.find_first_not_of(' ') >= nIndent;
        if (bIndented) {
            const std::string_view body = std::string_view(text).substr(nIndent);
            if ((body.empty() || (body[0] != ' ' && body[0] != '\t')) && body.find_first_of("\r\n") == body.npos)
                file.PutLine(CKAVOString("Text=" + text));  // the reader drops the blanks and indents again
            else
                PutKey(file, "Text", CKAVOString(std::string(body)));
        } else if (nIndent == 0 && !text.empty()) {
            PutKey(file, "Text", m_strText);
        }
        if (m_bHasArea) {
            std::string codes;
            char buf[24];
            for (int i = 0; i < CAreaStruct::NUM_CODES; ++i) {
                if (i) codes += ", ";
                codes += i64toa(m_area.GetCode(i), buf);
            }
            PutKey(file, "AreaCodes", CKAVOString(std::move(codes)));
            PutKey(file, "AreaName", m_strAreaName);
        } else if (!m_strAreaName.IsEmpty()) {
            PutKey(file, "AreaName", m_strAreaName);  // a name without codes reads back too
        }
        if (nIndent > 0 && !bIndented) PutKey(file, "Text", m_strText);
        if (m_pStyle != FindStyle(pRegistry, bGroup ? "RowGroup" : "Row")) PutKey(file, "Style", m_pStyle->GetLabel());
        if (m_pCellStyle != nullptr) PutKey(file, "CellStyle", m_pCellStyle->GetLabel());
        if (m_pCellFormat != nullptr) PutKey(file, "CellFormat", m_pCellFormat->GetLabel());

        if (!bGroup) SaveCells(file, *this, pRegistry, bBlockedOnly);
    }
    for (const CRowColOb* pChild : m_listChildren) static_cast<const CTblRow*>(pChild)->Save(file, pTable, bBlockedOnly);
    if (bGroup && bWrite) file.PutLine(CKAVOString("[EndGroup]"));
}

}  // namespace kavo
