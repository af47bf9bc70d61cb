// Building a table from code, as the table reader builds it from a file.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "kavotbl/file/cell_mask.h"
#include "kavotbl/host/area.h"
#include "kavotbl/host/string.h"

namespace kavo {

class CTable;
class CTblOb;
class CRowColOb;
class CTblColumn;
class CTblRow;
class CStyle;
class CFormat;
class CStyleRegistry;

/// Fills a new table with pieces, column and row trees and values, then
/// links it exactly as loading does: afterwards the table is loaded and
/// saves, lays out, draws, prints and exports like a table read from a file.
///
///     CStyleRegistry registry;
///     registry.InitDefaults();
///     CTable table;
///     table.SetStyleRegistry(&registry);
///     CTableBuilder b(table);
///     b.SetTitle("Households by size");
///     CTblColumn* pArea = b.AddSpanner("Residence");
///     b.AddColumn("Urban", pArea), b.AddColumn("Rural", pArea);
///     b.AddRow("One person", {1200, 800});
///     b.Link();
///
/// Every element gets the registry's style of its kind, as the reader gives
/// it. Nodes are added under a spanner or caption that this builder made
/// (null: the top level); values and single-cell styles belong to data rows.
/// Operations that cannot do what they are asked (an unknown label, a
/// foreign parent, anything after Link) change nothing and return 0 or null.
class CTableBuilder {
public:
    /// Builds into pTable, which must be new (nothing read or built into it).
    /// When the table has a registry, the builder makes sure it holds its
    /// "Default" entries and the style of every element kind (InitDefaults).
    explicit CTableBuilder(CTable& table);
    ~CTableBuilder();
    CTableBuilder(const CTableBuilder&) = delete;
    CTableBuilder& operator=(const CTableBuilder&) = delete;

    /// The table's name (the "Name" key).
    void SetName(const CKAVOString& strName);
    /// The texts of the four pieces.
    void SetTitle(const CKAVOString& strText);
    void SetHeading(const CKAVOString& strText);
    void SetFooting(const CKAVOString& strText);
    void SetStubHead(const CKAVOString& strText);
    /// Number of area levels (the "AreaLevels" key).
    void SetAreaLevels(unsigned nLevels);

    /// A spanner (a column node that takes children) under pParent.
    CTblColumn* AddSpanner(const CKAVOString& strText, CTblColumn* pParent = nullptr);
    /// A data column under pParent.
    CTblColumn* AddColumn(const CKAVOString& strText, CTblColumn* pParent = nullptr);
    /// A caption (a row node that takes children) under pParent.
    CTblRow* AddCaption(const CKAVOString& strText, CTblRow* pParent = nullptr);
    /// A data row under pParent with its values, one per data column in
    /// order; a row with fewer values is padded with 0 when linked, values
    /// beyond the last data column are dropped.
    CTblRow* AddRow(const CKAVOString& strText, const std::vector<std::int64_t>& values,
                    CTblRow* pParent = nullptr);
    /// Area codes and name of a row (the "AreaCodes" and "AreaName" keys);
    /// a data row's text is indented by four blanks per level down to its
    /// last nonzero code, as reading the codes indents it.
    int SetArea(CTblRow* pRow, const CAreaStruct& area, const CKAVOString& strName);

    /// Style of the table itself, of one of its pieces or of a node made
    /// here, by label; 0 when the label is not in the registry.
    int SetStyle(CTblOb* pOb, const CKAVOString& strLabel);
    /// Style or format of the cells under a node (the "CellStyle" and
    /// "CellFormat" keys of a column or row).
    int SetCellStyle(CRowColOb* pNode, const CKAVOString& strLabel);
    int SetCellFormat(CRowColOb* pNode, const CKAVOString& strLabel);
    /// Style or format of the one cell of data row pRow in data column nCol.
    int SetCellStyle(CTblRow* pRow, int nCol, const CKAVOString& strLabel);
    int SetCellFormat(CTblRow* pRow, int nCol, const CKAVOString& strLabel);

    /// Links the table as loading does (data columns and rows, parents, one
    /// cell per data column in each data row, styles and formats of the
    /// cells) and marks it loaded. 0 when it was linked already or would
    /// hold more cells than a table file may.
    int Link();

private:
    enum class Kind { Spanner, Column, Caption, Row };
    bool Owns(const CRowColOb* pNode, Kind kind) const;
    bool Owns(const CRowColOb* pNode) const;
    int Depth(const CRowColOb* pParent) const;
    CStyle* KindStyle(const char* pszKind) const;

    CTable& m_table;
    CStyleRegistry* m_pRegistry;
    struct Node {
        Kind kind;
        int nDepth;
    };
    std::unordered_map<const CRowColOb*, Node> m_nodes;
    std::unordered_map<const CTblRow*, std::vector<std::int64_t>> m_values;
    struct Mask {
        const CTblRow* pRow;
        int nCol;
        CStyle* pStyle;
        CFormat* pFormat;
    };
    std::vector<Mask> m_masks;
    bool m_bLinked = false;
};

}  // namespace kavo
