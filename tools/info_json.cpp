#include "info_json.h"

#include <cstring>
#include <unordered_map>

#include "kavotbl/export/text.h"

namespace kavotool {

using kavo::TextToUtf8;

namespace {

using kavo::CFormat;
using kavo::CRowColOb;
using kavo::CStyle;
using kavo::CTable;
using kavo::CTblCell;
using kavo::CTblColumn;
using kavo::CTblOb;
using kavo::CTblRow;
using Json = nlohmann::ordered_json;

const char* RuleName(kavo::LINES kind) {
    switch (kind) {
    case kavo::LINE_NONE: return "none";
    case kavo::LINE_SINGLE: return "single";
    case kavo::LINE_DOUBLE: return "double";
    case kavo::LINE_THICK: return "thick";
    }
    return "single";  // the reader takes any other word for a single rule
}

const char* JustName(int nJust, const char* pszMiddle, const char* pszStart, const char* pszEnd) {
    return nJust == 0 ? pszStart : nJust == 1 ? pszMiddle : pszEnd;
}

Json Text(const kavo::CKAVOString& s) { return TextToUtf8(s.str()); }

Json StyleRef(const CStyle* p) { return p ? Text(p->GetLabel()) : Json(); }
Json FormatRef(const CFormat* p) { return p ? Text(p->GetLabel()) : Json(); }

Json Rect(const kavo::CRect& rc) { return Json::array({rc.left, rc.top, rc.right, rc.bottom}); }

Json StyleJson(const CStyle& s) {
    Json j;
    j["label"] = Text(s.GetLabel());
    j["horJust"] = JustName(s.m_nHorJust, "center", "left", "right");
    j["vertJust"] = JustName(s.m_nVertJust, "center", "top", "bottom");
    j["lines"] = {{"left", RuleName(s.m_lineLeft)},
                  {"top", RuleName(s.m_lineTop)},
                  {"right", RuleName(s.m_lineRight)},
                  {"bottom", RuleName(s.m_lineBottom)}};
    j["borders"] = {{"left", RuleName(s.m_borderLeft)},
                    {"top", RuleName(s.m_borderTop)},
                    {"right", RuleName(s.m_borderRight)},
                    {"bottom", RuleName(s.m_borderBottom)}};
    if (s.m_logFont.lfHeight != 0) {
        const char* face = s.m_logFont.lfFaceName;
        j["font"] = {{"face", TextToUtf8(std::string(face, strnlen(face, sizeof s.m_logFont.lfFaceName)))},
                     {"height", s.m_logFont.lfHeight},
                     {"twipsHeight", s.m_nTwipsHeight}};
    } else {
        j["font"] = nullptr;
    }
    return j;
}

Json FormatJson(const CFormat& f) {
    return {{"label", Text(f.GetLabel())},
            {"decimals", f.m_nDecimals},
            {"thousandSep", Text(f.m_strThousandSep)},
            {"decimalSep", Text(f.m_strDecimalSep)},
            {"zeroRound", Text(f.m_strZeroRound)},
            {"zeroMask", Text(f.m_strZeroMask)},
            {"zeroBeforeDecimal", f.m_bZeroBeforeDecimal != 0},
            {"hidden", f.m_bHidden != 0}};
}

void AddLayout(Json& j, const CTblOb& ob) {
    j["box"] = Rect(ob.GetPos());
    j["border"] = Rect(ob.GetBorder());
    Json pages = Json::array();
    for (int i = 0; i < ob.GetNumPages(); ++i) pages.push_back(ob.GetPage(i));
    j["pages"] = std::move(pages);
}

Json PieceJson(const CTblOb& ob, bool bLayout) {
    Json j = {{"text", Text(ob.GetText())}, {"style", StyleRef(ob.GetStyle())}};
    if (bLayout) AddLayout(j, ob);
    return j;
}

// Data column or data row numbers by node, looked up once per table.
using NumberOf = std::unordered_map<const CRowColOb*, int>;

NumberOf DataNumbers(const CTable& table, bool bColumn) {
    NumberOf numbers;
    const int n = bColumn ? table.GetNumDataColumns() : table.GetNumDataRows();
    numbers.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const CRowColOb* p = bColumn ? static_cast<const CRowColOb*>(table.GetColumn(i))
                                     : static_cast<const CRowColOb*>(table.GetRow(i));
        numbers.emplace(p, i);  // the first entry wins, as a search from the start would find
    }
    return numbers;
}

// The node's own record, without children.
Json NodeJson(const NumberOf& numbers, const CRowColOb& node, bool bColumn, bool bLayout) {
    Json j = {{"text", Text(node.GetText())},
              {"style", StyleRef(node.GetStyle())},
              {"cellStyle", StyleRef(node.GetCellStyle())},
              {"cellFormat", FormatRef(node.GetCellFormat())}};
    if (node.HasData()) {
        const auto it = numbers.find(&node);
        j[bColumn ? "dataColumn" : "dataRow"] = it == numbers.end() ? -1 : it->second;
    }
    if (bColumn && static_cast<const CTblColumn&>(node).IsMultiPage()) j["continued"] = true;
    if (!bColumn) {
        const CTblRow& row = static_cast<const CTblRow&>(node);
        if (row.HasArea()) {
            Json codes = Json::array();
            for (int i = 0; i < kavo::CAreaStruct::NUM_CODES; ++i) codes.push_back(row.GetArea().GetCode(i));
            j["area"] = {{"codes", std::move(codes)}, {"name", Text(row.GetAreaName())}};
        }
    }
    if (bLayout) AddLayout(j, node);
    return j;
}

// The children of a root as a list of nested records. Built without
// recursion so that a deep tree from a hostile file cannot exhaust the stack.
Json TreeJson(const CTable& table, const CRowColOb& root, bool bColumn, bool bLayout) {
    struct Frame {
        const CRowColOb* pNode;
        int nNext;
        Json children;
    };
    const NumberOf numbers = DataNumbers(table, bColumn);
    std::vector<Frame> stack;
    stack.push_back({&root, 0, Json::array()});
    for (;;) {
        Frame& f = stack.back();
        if (f.nNext < f.pNode->GetNumChildren()) {
            const CRowColOb* pChild = f.pNode->GetChildAt(f.nNext++);
            stack.push_back({pChild, 0, Json::array()});
            continue;
        }
        if (stack.size() == 1) return std::move(f.children);
        Json j = NodeJson(numbers, *f.pNode, bColumn, bLayout);
        if (!f.pNode->HasData()) j["children"] = std::move(f.children);
        stack.pop_back();
        stack.back().children.push_back(std::move(j));
    }
}

Json CellsJson(const CTable& table, bool bLayout) {
    Json rows = Json::array();
    for (int r = 0; r < table.GetNumDataRows(); ++r) {
        const CTblRow* pRow = table.GetRow(r);
        Json cells = Json::array();
        for (int c = 0; c < pRow->GetNumCells(); ++c) {
            CTblCell* pCell = pRow->GetCell(c);
            if (!pCell) {
                cells.push_back(nullptr);
                continue;
            }
            if (pCell->IsDirty()) pCell->Format();
            Json j = {{"value", pCell->GetData()},
                      {"text", Text(pCell->GetText())},
                      {"style", StyleRef(pCell->GetStyle())},
                      {"format", FormatRef(pCell->GetFormat())}};
            if (bLayout) AddLayout(j, *pCell);
            cells.push_back(std::move(j));
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

Json LayoutJson(const CTable& table, const LayoutInfo& layout) {
    Json j = {{"kind", layout.kind}, {"surface", layout.surface}};
    if (!layout.paper.empty()) j["paper"] = layout.paper;
    j["rect"] = Rect(layout.rect);
    j["margin"] = layout.nMargin;
    j["lineHeight"] = layout.nLineHeight;
    const kavo::CSize size = table.Size(), col = table.ColSize(), row = table.RowSize();
    j["size"] = Json::array({size.cx, size.cy});
    j["columnSize"] = Json::array({col.cx, col.cy});
    j["rowSize"] = Json::array({row.cx, row.cy});
    j["border"] = Rect(table.GetBorder());
    if (layout.kind == "printer") {
        j["pages"] = table.GetNumPages();
        j["horzPages"] = table.GetNumHorzPages();
        Json repeated = Json::array();
        for (int i = 0; i < table.GetNumContinuedCaptions(); ++i)
            repeated.push_back(PieceJson(*table.GetContinuedCaption(i), true));
        j["continuedCaptions"] = std::move(repeated);
    }
    return j;
}

// Adds a style or format to a set kept in registry order.
template <class T>
void Note(const T* p, const std::unordered_map<const T*, int>& index, std::vector<char>& used) {
    if (!p) return;
    const auto it = index.find(p);
    if (it != index.end()) used[static_cast<std::size_t>(it->second)] = 1;
}

}  // namespace

TableSummary Summarize(const CTable& table) {
    TableSummary s;
    s.nDataRows = table.GetNumDataRows();
    s.nDataColumns = table.GetNumDataColumns();
    s.nHeadingLevels = table.GetColumnRoot()->GetDepth(0);
    s.nStubLevels = table.GetRowRoot()->GetDepth(0);
    s.nAreaLevels = table.GetNumAreaLevels();

    const kavo::CStyleRegistry* pRegistry = table.GetStyleRegistry();
    if (!pRegistry) return s;
    std::unordered_map<const CStyle*, int> styleIndex;
    std::unordered_map<const CFormat*, int> formatIndex;
    for (int i = 0; i < pRegistry->GetNumStyles(); ++i) styleIndex.emplace(pRegistry->GetStyle(i), i);
    for (int i = 0; i < pRegistry->GetNumFormats(); ++i) formatIndex.emplace(pRegistry->GetFormat(i), i);
    std::vector<char> styles(static_cast<std::size_t>(pRegistry->GetNumStyles()), 0);
    std::vector<char> formats(static_cast<std::size_t>(pRegistry->GetNumFormats()), 0);

    Note<CStyle>(table.GetStyle(), styleIndex, styles);
    for (const CTblOb* p : {table.GetTitle(), table.GetHeader(), table.GetFooter(), table.GetStubHead()})
        if (!p->GetText().IsEmpty()) Note<CStyle>(p->GetStyle(), styleIndex, styles);
    std::vector<const CRowColOb*> stack{table.GetColumnRoot(), table.GetRowRoot()};
    while (!stack.empty()) {
        const CRowColOb* p = stack.back();
        stack.pop_back();
        Note<CStyle>(p->GetStyle(), styleIndex, styles);
        Note<CStyle>(p->GetCellStyle(), styleIndex, styles);
        Note<CFormat>(p->GetCellFormat(), formatIndex, formats);
        for (int i = 0; i < p->GetNumChildren(); ++i) stack.push_back(p->GetChildAt(i));
    }
    for (int r = 0; r < table.GetNumDataRows(); ++r) {
        const CTblRow* pRow = table.GetRow(r);
        for (int c = 0; c < pRow->GetNumCells(); ++c) {
            const CTblCell* pCell = pRow->GetCell(c);
            if (!pCell) continue;
            Note<CStyle>(pCell->GetStyle(), styleIndex, styles);
            Note<CFormat>(pCell->GetFormat(), formatIndex, formats);
        }
    }
    for (std::size_t i = 0; i < styles.size(); ++i)
        if (styles[i]) s.styles.push_back(TextToUtf8(pRegistry->GetStyle(static_cast<int>(i))->GetLabel().str()));
    for (std::size_t i = 0; i < formats.size(); ++i)
        if (formats[i]) s.formats.push_back(TextToUtf8(pRegistry->GetFormat(static_cast<int>(i))->GetLabel().str()));
    return s;
}

nlohmann::ordered_json DocumentJson(const Document& doc, const std::vector<int>& tableNumbers,
                                    const std::vector<LayoutInfo>* pLayouts) {
    const bool bLayout = pLayouts != nullptr;
    Json j;
    j["file"] = TextToUtf8(doc.path);
    Json styles = Json::array(), formats = Json::array();
    if (doc.registry) {
        for (int i = 0; i < doc.registry->GetNumStyles(); ++i) styles.push_back(StyleJson(*doc.registry->GetStyle(i)));
        for (int i = 0; i < doc.registry->GetNumFormats(); ++i)
            formats.push_back(FormatJson(*doc.registry->GetFormat(i)));
    }
    j["styles"] = std::move(styles);
    j["formats"] = std::move(formats);
    Json messages = Json::array();
    for (const LoadMessage& m : doc.messages) messages.push_back(MessageJson(m));
    j["messages"] = std::move(messages);

    Json tables = Json::array();
    for (std::size_t i = 0; i < tableNumbers.size(); ++i) {
        const int nNumber = tableNumbers[i];
        if (nNumber < 1 || nNumber > static_cast<int>(doc.tables.size())) continue;
        const CTable& t = *doc.tables[static_cast<std::size_t>(nNumber - 1)];
        const TableSummary s = Summarize(t);
        Json jt;
        jt["number"] = nNumber;
        jt["name"] = Text(t.GetName());
        jt["style"] = StyleRef(t.GetStyle());
        jt["title"] = PieceJson(*t.GetTitle(), bLayout);
        jt["heading"] = PieceJson(*t.GetHeader(), bLayout);
        jt["footing"] = PieceJson(*t.GetFooter(), bLayout);
        jt["stubHead"] = PieceJson(*t.GetStubHead(), bLayout);
        jt["dataRows"] = s.nDataRows;
        jt["dataColumns"] = s.nDataColumns;
        jt["headingLevels"] = s.nHeadingLevels;
        jt["stubLevels"] = s.nStubLevels;
        jt["areaLevels"] = s.nAreaLevels;
        jt["stylesUsed"] = s.styles;
        jt["formatsUsed"] = s.formats;
        jt["columns"] = TreeJson(t, *t.GetColumnRoot(), true, bLayout);
        jt["rows"] = TreeJson(t, *t.GetRowRoot(), false, bLayout);
        jt["cells"] = CellsJson(t, bLayout);
        if (bLayout && i < pLayouts->size()) jt["layout"] = LayoutJson(t, (*pLayouts)[i]);
        tables.push_back(std::move(jt));
    }
    j["tables"] = std::move(tables);
    return j;
}

}  // namespace kavotool
