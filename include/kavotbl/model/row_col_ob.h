// Nodes of the column tree (spanners over data columns) and of the row tree
// (captions over data rows).
#pragma once

#include <vector>

#include "kavotbl/file/cell_mask.h"
#include "kavotbl/host/area.h"
#include "kavotbl/model/tbl_ob.h"
#include "kavotbl/rtf/rtf_row.h"

namespace kavo {

class CFormat;

/// Common base of column and row nodes. A node owns its children; a node
/// without children is a data column or data row.
class CRowColOb : public CTblOb {
    KAVO_DECLARE_DYNAMIC(CRowColOb)
    friend class CTable;

public:
    /// A node without children, parent or cell style and format.
    CRowColOb();
    /// Destroys the children.
    ~CRowColOb() override;
    CRowColOb(const CRowColOb&) = delete;
    CRowColOb& operator=(const CRowColOb&) = delete;

    /// True when the node has no children.
    bool HasData() const { return m_listChildren.empty(); }
    /// The parent node (set by linking), or null for a root.
    CRowColOb* GetParent() const { return m_pParent; }
    /// Style and format of the cells under the node ("CellStyle", "CellFormat").
    CStyle* GetCellStyle() const { return m_pCellStyle; }
    void SetCellStyle(CStyle* pStyle) { m_pCellStyle = pStyle; }
    CFormat* GetCellFormat() const { return m_pCellFormat; }
    void SetCellFormat(CFormat* pFormat) { m_pCellFormat = pFormat; }

    /// Number of children, and child i (i not tested).
    int GetNumChildren() const { return static_cast<int>(m_listChildren.size()); }
    CRowColOb* GetChildAt(int i) const { return m_listChildren[static_cast<std::size_t>(i)]; }
    /// Detaches and destroys child i.
    void RemoveChildAt(int i);
    /// Detaches and destroys every child, first to last.
    void RemoveAllChildren();

    /// Number of leaves below the node (the node itself not counted).
    int GetNumDataChildren() const;
    /// Sum of the widths of the leaves below the node.
    int GetDataChildrenWidth() const;
    /// The leaf numbered n counting depth-first from *pnCounter, in a result
    /// slot shared module-wide (null when there are too few leaves). Callers
    /// start the counter at 0 for every search.
    CRowColOb*& GetDataChild(int n, int* pnCounter);
    /// nLevel for a leaf, else the largest GetDepth(nLevel + 1) of the children.
    int GetDepth(int nLevel) const;

    /// The element operations, on the node and its whole subtree.
    void RemoveAllPages() override;
    void IHateTwips() override;
    void BackupClient(int bSlot) override;
    void RestoreClient(int bSlot) override;
    /// The node, then its children in order: the first hit wins.
    int HitTest(const CPoint& pt, CTblOb*& pHit) override;
    /// Blocks the node and its subtree.
    void Block(CRectArray& rects, int bBlock) override;
    /// Blocks every node below with a blocked child, and this node when it has one.
    void BlockParents(CRectArray& rects, int bBlock);
    /// Sets the shading colour of the node and its subtree.
    void StuffBlockColor(unsigned long cr);
    /// Moves the subtree down by dy.
    void AdjustForTitleSizeChange(int dy);

    using CTblOb::Draw;
    /// Draws the node and its subtree; bRowTree is nonzero for the row tree.
    virtual void Draw(CDC* pDC, int nPage, int bRowTree);
    /// Extent of the subtree as laid out.
    virtual int SpannedHeight() const = 0;
    virtual int SpannedWidth() const = 0;
    /// Gives the subtree its border rectangles, reaching nEdge.
    virtual void SetBorders(int nEdge) = 0;

protected:
    void AddChildNode(CRowColOb* pChild) { m_listChildren.push_back(pChild); }
    void SetParent(CRowColOb* pParent) { m_pParent = pParent; }

    CStyle* m_pCellStyle = nullptr;
    CFormat* m_pCellFormat = nullptr;
    std::vector<CRowColOb*> m_listChildren;
    CRowColOb* m_pParent = nullptr;
    // Children an assignment took out of the tree. A table's data lists and
    // cells may still point at them until it is relinked, so they live on,
    // outside the tree, until this node dies.
    std::vector<CRowColOb*> m_listRetired;
};

/// A column node: a spanner when it has children, else a data column.
class CTblColumn : public CRowColOb {
    KAVO_DECLARE_DYNAMIC(CTblColumn)
    friend class CTable;
    friend struct LayoutTestAccess;  // layout tests reach the sizing internals

public:
    /// A data column (it becomes a spanner when it gets children).
    CTblColumn();
    /// Deep copy of the subtree (pages included; parent links not set).
    CTblColumn(const CTblColumn& src);
    /// Copies text, style, position and sizes, and replaces the children with
    /// new copies of the source's (the old children are destroyed).
    CTblColumn& operator=(const CTblColumn& src);
    /// Text, style, position, minimum and maximum sizes, and the same child
    /// objects (identity) in the same order.
    bool operator==(const CTblColumn& o) const;
    bool operator!=(const CTblColumn& o) const { return !(*this == o); }
    /// Destroys the subtree.
    ~CTblColumn() override;

    /// Child i (i not tested).
    CTblColumn* GetChild(int i) const { return static_cast<CTblColumn*>(GetChildAt(i)); }
    /// Appends a child, which the node then owns; its parent is not set.
    void AddChild(CTblColumn* pChild) { AddChildNode(pChild); }
    /// Inserts before child nIndex, or appends when nIndex is -1 (or past the end).
    void InsertChildBefore(int nIndex, CTblColumn* pChild);
    /// Nonzero for a spanner repeated on further column pages.
    int IsMultiPage() const { return m_bMultiPage; }
    void SetMultiPage() { m_bMultiPage = 1; }

    // Table file.
    /// Reads a [Column] or, with bGroup, a [ColumnGroup] section and its children.
    int Build(CSpecFile& file, CTable* pTable, int bGroup);
    /// Writes the node and its subtree (only blocked nodes with bBlockedOnly).
    void Save(CSpecFile& file, const CTable* pTable, int bBlockedOnly) const;

    // Sizing and layout.
    /// Sizing and pagination steps of the layouts.
    void InitSize(CDC* pDC);
    void GetColumnLvlHeights(CArray<int, int>& levels, int nLevel) const;
    void AlignColumnLvlHeights(const CArray<int, int>& levels, int nLevel);
    int SpannedHeight() const override;
    int SpannedWidth() const override;
    void SetBorders(int nBottom) override;
    void InitSpannerPageNums();
    /// Hands the columns of every continuation copy back to the spanner it
    /// continues and destroys the copies.
    void PruneSpanners();
    void SetPageNums(int nHorzPages, int nRowPages);
    int GetNumSpannedPages() const;

    // Interaction and export.
    /// Moves the node sideways only and its subtree.
    void ScrollBy(int dx, int dy) override;
    /// Places the subtree's spanners in the RTF grid.
    void AddRTFSpanners(CRTFRowArray& rows, int nColumnRow, int bBlockedOnly, int nLevel);

protected:
    int CanDrawBorderLeft() const override;
    int CanDrawBorderRight() const override;

private:
    CSize CalcLayoutSize(CDC* pDC);
    void AdjustWidth(CDC* pDC, int nWidth);
    void FlushColumns(int nBottom);
    void CalcScrOffset(CPoint pt);
    void CalcPtrOffset(CPoint pt, int nPage);

    int m_bMultiPage = 0;
};

/// A row node: a caption when it has children, else a data row with cells.
class CTblRow : public CRowColOb {
    KAVO_DECLARE_DYNAMIC(CTblRow)
    friend class CTable;
    friend class CTableBuilder;  // gives rows their cells and area fields
    friend struct LayoutTestAccess;  // layout tests reach the sizing internals

public:
    /// A data row without cells (a caption once it gets children).
    CTblRow();
    CTblRow(const CTblRow&) = delete;
    /// Copies text, style, position and sizes, shares the source's cells,
    /// replaces the children with new copies (old ones destroyed), and
    /// copies the area fields.
    CTblRow& operator=(const CTblRow& src);
    /// As for columns, with the same cells (identity) before the children.
    bool operator==(const CTblRow& o) const;
    bool operator!=(const CTblRow& o) const { return !(*this == o); }
    /// Releases the cell pointers (cells belong to the table) and destroys the children.
    ~CTblRow() override;

    /// Child i (i not tested).
    CTblRow* GetChild(int i) const { return static_cast<CTblRow*>(GetChildAt(i)); }
    /// Appends a child, which the node then owns; its parent is not set.
    void AddChild(CTblRow* pChild) { AddChildNode(pChild); }
    /// Number of cells of a data row, and cell i by data column (i not tested).
    int GetNumCells() const { return m_arrCells.GetSize(); }
    CTblCell*& GetCell(int i) {
        SettleCells();
        return m_arrCells[i];
    }
    CTblCell* GetCell(int i) const {
        SettleCells();
        return m_arrCells[i];
    }
    /// The nearest row carrying area information: this row, then its parents.
    CTblRow* GetAreaParent();
    /// Area codes ("AreaCodes") and name ("AreaName") of the row.
    int HasArea() const { return m_bHasArea; }
    const CAreaStruct& GetArea() const { return m_area; }
    const CKAVOString& GetAreaName() const { return m_strAreaName; }
    /// Line of the file on which the row's section began; 0 when the row was
    /// not read from a file.
    int GetFileLine() const { return m_nFileLine; }

    // Table file.
    /// Reads a [Row] or, with bGroup, a [RowGroup] section and its children.
    int Build(CSpecFile& file, CTable* pTable, CCellMaskArray& arrMasks, int& nDataRow, int bGroup);
    void Save(CSpecFile& file, const CTable* pTable, int bBlockedOnly) const;

    // Sizing and layout.
    /// Sizing and pagination steps of the layouts.
    void InitSize(CDC* pDC, int nWidth);
    int SpannedHeight() const override;
    int SpannedWidth() const override;
    void SetBorders(int nRight) override;
    void SetPageNums(int nHorzPages, int nRowPages);
    /// Among rows of the subtree on page nPage, the bottom of largest magnitude (0 if none).
    int GetVerticalPageSize(int nPage) const;

    // Drawing, interaction and export.
    /// Draws the row's cells in data-column order.
    void DrawCells(CDC* pDC, int nPage);
    void ScrollBy(int dx, int dy) override;
    void AddRTFCaptions(CRTFRowArray& rows, int nRowEntry, int bBlockedOnly, int nLevel);

protected:
    int AddCell(CTblCell* pCell) {
        SettleCells();
        return m_arrCells.Add(pCell);
    }
    void RemoveCellAt(int i) {
        SettleCells();
        m_arrCells.RemoveAt(i);
    }
    void RemoveAllCells() {
        SettleCells();
        m_arrCells.RemoveAll();
    }
    int CanDrawBorderTop() const override;
    int CanDrawBorderBottom() const override;

private:
    void CalcLayoutSize(CDC* pDC, int nLevel);
    int GetWidestSingleLineRow(CDC* pDC, int nLevel) const;
    void CalcScrOffset(int& y, int nLevel);
    void CalcPtrOffset(int nBody, int nTop, int& y, int& nPage, int nLevel);

    // Scrolling moves a row's cells only when they are next reached: a
    // scroll then costs a step per row, not one per cell, and a window
    // reaches only the rows it shows.
    void SettleCells() const {
        if ((m_nCellDx | m_nCellDy) != 0) MoveCells();
    }
    void MoveCells() const;

    CArray<CTblCell*, CTblCell*> m_arrCells;
    mutable int m_nCellDx = 0, m_nCellDy = 0;  // scrolling not yet applied to the cells
    int m_bHasArea = 0;
    CAreaStruct m_area;
    CKAVOString m_strAreaName;
    int m_nFileLine = 0;
};

}  // namespace kavo
