// Building a table from code: the nodes the reader would make, values kept
// until the table is linked, and the reader's own linkage at the end.
#include "kavotbl/file/table_builder.h"

#include <memory>

#include "file/file_util.h"
#include "kavotbl/model/table.h"
#include "kavotbl/style/registry.h"

namespace kavo {

CTableBuilder::CTableBuilder(CTable& table) : m_table(table), m_pRegistry(table.GetStyleRegistry()) {
    // A table read or built before keeps what it has.
    m_bLinked = table.IsLoaded() || table.GetColumnRoot()->GetNumChildren() > 0 ||
                table.GetRowRoot()->GetNumChildren() > 0;
    if (m_bLinked) return;
    if (m_pRegistry) m_pRegistry->InitDefaults();
    // The reader's defaults: every element has the style of its kind.
    m_table.SetStyle(KindStyle("Table"));
    m_table.m_title.SetStyle(KindStyle("Title"));
    m_table.m_header.SetStyle(KindStyle("Header"));
    m_table.m_footer.SetStyle(KindStyle("Footer"));
    m_table.m_stubHead.SetStyle(KindStyle("StubHead"));
}

CTableBuilder::~CTableBuilder() = default;

CStyle* CTableBuilder::KindStyle(const char* pszKind) const {
    return m_pRegistry ? m_pRegistry->FindStyle(CKAVOString(pszKind)) : nullptr;
}

bool CTableBuilder::Owns(const CRowColOb* pNode, Kind kind) const {
    const auto it = m_nodes.find(pNode);
    return it != m_nodes.end() && it->second.kind == kind;
}

bool CTableBuilder::Owns(const CRowColOb* pNode) const { return m_nodes.count(pNode) != 0; }

int CTableBuilder::Depth(const CRowColOb* pParent) const {
    return pParent ? m_nodes.at(pParent).nDepth + 1 : 1;
}

void CTableBuilder::SetName(const CKAVOString& strName) {
    if (!m_bLinked) m_table.SetName(strName);
}
void CTableBuilder::SetTitle(const CKAVOString& strText) {
    if (!m_bLinked) m_table.m_title.SetText(strText);
}
void CTableBuilder::SetHeading(const CKAVOString& strText) {
    if (!m_bLinked) m_table.m_header.SetText(strText);
}
void CTableBuilder::SetFooting(const CKAVOString& strText) {
    if (!m_bLinked) m_table.m_footer.SetText(strText);
}
void CTableBuilder::SetStubHead(const CKAVOString& strText) {
    if (!m_bLinked) m_table.m_stubHead.SetText(strText);
}
void CTableBuilder::SetAreaLevels(unsigned nLevels) {
    if (!m_bLinked) m_table.m_nAreaLevels = nLevels;
}

CTblColumn* CTableBuilder::AddSpanner(const CKAVOString& strText, CTblColumn* pParent) {
    if (m_bLinked || (pParent && !Owns(pParent, Kind::Spanner))) return nullptr;
    const int nDepth = Depth(pParent);
    if (nDepth > file_detail::kMaxGroupDepth) return nullptr;  // as deep as a file may nest
    auto p = std::make_unique<CTblColumn>();
    p->SetText(strText);
    p->SetStyle(KindStyle("ColumnGroup"));
    CTblColumn* pNode = p.get();
    (pParent ? pParent : m_table.GetColumnRoot())->AddChild(p.release());
    m_nodes.emplace(pNode, Node{Kind::Spanner, nDepth});
    return pNode;
}

CTblColumn* CTableBuilder::AddColumn(const CKAVOString& strText, CTblColumn* pParent) {
    if (m_bLinked || (pParent && !Owns(pParent, Kind::Spanner))) return nullptr;
    auto p = std::make_unique<CTblColumn>();
    p->SetText(strText);
    p->SetStyle(KindStyle("Column"));
    CTblColumn* pNode = p.get();
    (pParent ? pParent : m_table.GetColumnRoot())->AddChild(p.release());
    m_nodes.emplace(pNode, Node{Kind::Column, Depth(pParent)});
    return pNode;
}

CTblRow* CTableBuilder::AddCaption(const CKAVOString& strText, CTblRow* pParent) {
    if (m_bLinked || (pParent && !Owns(pParent, Kind::Caption))) return nullptr;
    const int nDepth = Depth(pParent);
    if (nDepth > file_detail::kMaxGroupDepth) return nullptr;
    auto p = std::make_unique<CTblRow>();
    p->SetText(strText);
    p->SetStyle(KindStyle("RowGroup"));
    CTblRow* pNode = p.get();
    (pParent ? pParent : m_table.GetRowRoot())->AddChild(p.release());
    m_nodes.emplace(pNode, Node{Kind::Caption, nDepth});
    return pNode;
}

CTblRow* CTableBuilder::AddRow(const CKAVOString& strText, const std::vector<std::int64_t>& values,
                               CTblRow* pParent) {
    if (m_bLinked || (pParent && !Owns(pParent, Kind::Caption))) return nullptr;
    auto p = std::make_unique<CTblRow>();
    p->SetText(strText);
    p->SetStyle(KindStyle("Row"));
    CTblRow* pNode = p.get();
    (pParent ? pParent : m_table.GetRowRoot())->AddChild(p.release());
    m_nodes.emplace(pNode, Node{Kind::Row, Depth(pParent)});
    m_values.emplace(pNode, values);
    return pNode;
}

int CTableBuilder::SetArea(CTblRow* pRow, const CAreaStruct& area, const CKAVOString& strName) {
    if (m_bLinked || !pRow || !Owns(pRow)) return 0;
    pRow->m_bHasArea = 1;
    pRow->m_area = area;
    pRow->m_strAreaName = strName;
    // A data row's text is indented by its deepest area level, as reading
    // its "AreaCodes" line indents it.
    if (Owns(pRow, Kind::Row)) {
        int nLast = -1;
        for (int i = 0; i < CAreaStruct::NUM_CODES; ++i)
            if (area.GetCode(i) != 0) nLast = i;
        if (nLast >= 0) pRow->SetText(CKAVOString(4 * (nLast + 1), ' ') + pRow->GetText());
    }
    return 1;
}

int CTableBuilder::SetStyle(CTblOb* pOb, const CKAVOString& strLabel) {
    if (m_bLinked || !pOb || !m_pRegistry) return 0;
    const bool bPiece = pOb == &m_table || pOb == &m_table.m_title || pOb == &m_table.m_header ||
                        pOb == &m_table.m_footer || pOb == &m_table.m_stubHead;
    if (!bPiece && !Owns(dynamic_cast<const CRowColOb*>(pOb))) return 0;
    CStyle* pStyle = m_pRegistry->FindStyle(strLabel);
    if (!pStyle) return 0;
    pOb->SetStyle(pStyle);
    return 1;
}

int CTableBuilder::SetCellStyle(CRowColOb* pNode, const CKAVOString& strLabel) {
    if (m_bLinked || !pNode || !Owns(pNode) || !m_pRegistry) return 0;
    CStyle* pStyle = m_pRegistry->FindStyle(strLabel);
    if (!pStyle) return 0;
    pNode->SetCellStyle(pStyle);
    return 1;
}

int CTableBuilder::SetCellFormat(CRowColOb* pNode, const CKAVOString& strLabel) {
    if (m_bLinked || !pNode || !Owns(pNode) || !m_pRegistry) return 0;
    CFormat* pFormat = m_pRegistry->FindFormat(strLabel);
    if (!pFormat) return 0;
    pNode->SetCellFormat(pFormat);
    return 1;
}

int CTableBuilder::SetCellStyle(CTblRow* pRow, int nCol, const CKAVOString& strLabel) {
    if (m_bLinked || !pRow || !Owns(pRow, Kind::Row) || nCol < 0 || !m_pRegistry) return 0;
    CStyle* pStyle = m_pRegistry->FindStyle(strLabel);
    if (!pStyle) return 0;
    m_masks.push_back(Mask{pRow, nCol, pStyle, nullptr});
    return 1;
}

int CTableBuilder::SetCellFormat(CTblRow* pRow, int nCol, const CKAVOString& strLabel) {
    if (m_bLinked || !pRow || !Owns(pRow, Kind::Row) || nCol < 0 || !m_pRegistry) return 0;
    CFormat* pFormat = m_pRegistry->FindFormat(strLabel);
    if (!pFormat) return 0;
    m_masks.push_back(Mask{pRow, nCol, nullptr, pFormat});
    return 1;
}

int CTableBuilder::Link() {
    if (m_bLinked) return 0;
    CTable& t = m_table;
    const std::int64_t nCols = t.m_pColumnRoot->GetNumDataChildren();
    const std::int64_t nRows = t.m_pRowRoot->GetNumDataChildren();
    if (nCols * nRows > CTable::GetMaxCells()) return 0;
    m_bLinked = true;

    t.OptimizeDataChildren();
    // Cells in data-row order, as a file hands them out; the linkage pads
    // short rows and cuts long ones.
    t.Alloc(CSize(static_cast<int>(nRows), static_cast<int>(nCols)));
    std::unordered_map<const CTblRow*, int> rowNums;
    for (int r = 0; r < t.GetNumDataRows(); ++r) {
        CTblRow* pRow = t.m_arrDataRows[r];
        rowNums.emplace(pRow, r);
        const auto it = m_values.find(pRow);
        if (it == m_values.end()) continue;
        const std::size_t n = it->second.size() < static_cast<std::size_t>(nCols) ? it->second.size()
                                                                                    : static_cast<std::size_t>(nCols);
        pRow->m_arrCells.Reserve(static_cast<int>(nCols));
        for (std::size_t i = 0; i < n; ++i)
            if (CTblCell* pCell = t.AllocCell(it->second[i])) pRow->AddCell(pCell);
    }
    m_values.clear();
    t.SetRowColObParent(t.m_pRowRoot, nullptr);
    t.SetRowColObParent(t.m_pColumnRoot, nullptr);
    t.AdjustCellLinkages();

    CCellMaskArray arrMasks;
    for (const Mask& m : m_masks) {
        const auto it = rowNums.find(m.pRow);
        if (it == rowNums.end()) continue;  // a row that became a caption
        CELL_MASK mask;
        mask.pStyle = m.pStyle;
        mask.pFormat = m.pFormat;
        mask.nRow = it->second;
        mask.nCol = m.nCol;
        arrMasks.Add(mask);
    }
    m_masks.clear();
    t.AdjustMasks(arrMasks);
    t.m_bLoaded = 1;
    return 1;
}

}  // namespace kavo
