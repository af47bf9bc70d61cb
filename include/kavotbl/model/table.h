// The table: pieces, column and row trees, data indexes and the cell block.
#pragma once

#include <cstdint>
#include <type_traits>
#include <unordered_set>
#include <vector>

#include "kavotbl/file/cell_mask.h"
#include "kavotbl/layout/print_options.h"
#include "kavotbl/model/cell_block.h"
#include "kavotbl/model/row_col_ob.h"
#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/model/tbl_ob.h"
#include "kavotbl/render/hit.h"
#include "kavotbl/rtf/rtf_row.h"

namespace kavo {

class CStyleRegistry;
class CProgressDlg;

/// A table. Its own element text is its name. It owns its two trees, its
/// four pieces (title, heading, footing, stub head) and every cell; rows,
/// the data arrays and cells only refer. Cells keep their address for the
/// table's whole life.
class CTable : public CTblOb {
    KAVO_DECLARE_DYNAMIC(CTable)
    friend class CTableBuilder;  // links what it built as the reader does
    friend struct LayoutTestAccess;  // layout tests reach the layout internals

public:
    /// An empty table: no registry, no pieces' text, two empty roots, not loaded.
    CTable();
    /// Destroys the trees, the cells and the pieces; not the registry.
    ~CTable() override;
    CTable(const CTable&) = delete;
    CTable& operator=(const CTable&) = delete;

    /// The table's name (its own element text; "Name" in a file).
    const CKAVOString& GetName() const { return m_strText; }
    /// Replaces the name.
    void SetName(const CKAVOString& strName) { m_strText = strName; }
    /// The four pieces, owned by the table: title, heading, footing, stub head.
    CTblOb* GetTitle() { return &m_title; }
    CTblOb* GetHeader() { return &m_header; }
    CTblOb* GetFooter() { return &m_footer; }
    CTblOb* GetStubHead() { return &m_stubHead; }
    /// The same, read-only.
    const CTblOb* GetTitle() const { return &m_title; }
    const CTblOb* GetHeader() const { return &m_header; }
    const CTblOb* GetFooter() const { return &m_footer; }
    const CTblOb* GetStubHead() const { return &m_stubHead; }
    /// Assigns to a piece (text, style, position, sizes and pages).
    void SetTitle(const CTblOb& ob) { m_title = ob; }
    void SetHeader(const CTblOb& ob) { m_header = ob; }
    void SetFooter(const CTblOb& ob) { m_footer = ob; }
    void SetStubHead(const CTblOb& ob) { m_stubHead = ob; }

    /// Roots of the two trees; they carry no text and are never drawn.
    CTblColumn* GetColumnRoot() const { return m_pColumnRoot; }
    CTblRow* GetRowRoot() const { return m_pRowRoot; }
    /// Appends to the column root's (or row root's) children; parents not set.
    void AddChild(CTblColumn* pColumn) { m_pColumnRoot->AddChild(pColumn); }
    void AddChild(CTblRow* pRow) { m_pRowRoot->AddChild(pRow); }

    /// The registry whose styles and formats the table uses; not owned, must outlive the table.
    void SetStyleRegistry(CStyleRegistry* pRegistry) { m_pRegistry = pRegistry; }
    /// The registry given by SetStyleRegistry, or null.
    CStyleRegistry* GetStyleRegistry() const { return m_pRegistry; }
    /// 1 once Build or CTableBuilder::Link has filled the table.
    int IsLoaded() const { return m_bLoaded; }
    /// Number of area levels ("AreaLevels").
    unsigned GetNumAreaLevels() const { return m_nAreaLevels; }
    /// Pages of the last printer layout (0 before one).
    int GetNumPages() const { return m_nNumPages; }
    /// Column pages across of the last printer layout: page = row page x this + column page.
    int GetNumHorzPages() const { return m_nHorzPages; }

    /// Numbers of data columns, data rows and cells in the cell block.
    int GetNumDataColumns() const { return m_arrDataColumns.GetSize(); }
    int GetNumDataRows() const { return m_arrDataRows.GetSize(); }
    int GetNumDataCells() const { return static_cast<int>(m_cellBlock.size()); }
    /// Data column i, data row i (indexes not tested).
    CTblColumn*& GetColumn(int i) { return m_arrDataColumns[i]; }
    CTblColumn* GetColumn(int i) const { return m_arrDataColumns[i]; }
    CTblRow*& GetRow(int i) { return m_arrDataRows[i]; }
    CTblRow* GetRow(int i) const { return m_arrDataRows[i]; }
    /// Index of a data column or data row, or -1 when it is none of this table's.
    int GetColumnNum(const CTblColumn* pColumn) const;
    int GetRowNum(const CTblRow* pRow) const;
    /// Cell of data row nRow and data column nCol (indexes not tested).
    CTblCell*& GetCell(int nRow, int nCol) { return m_arrDataRows[nRow]->GetCell(nCol); }
    CTblCell* GetCell(int nRow, int nCol) const { return m_arrDataRows[nRow]->GetCell(nCol); }
    /// Stores nValue (widened with its sign) in the cell of data row nRow and
    /// data column nCol; a different value marks the cell for formatting.
    void SetCellData(int nRow, int nCol, int nValue) { GetCell(nRow, nCol)->SetData(nValue); }
    /// The same for a 64-bit value, stored whole.
    void SetCellData(int nRow, int nCol, std::int64_t nValue) { GetCell(nRow, nCol)->SetData(nValue); }
    /// Any other integer type goes through the 64-bit form, so that neither
    /// a long long nor an unsigned value is ambiguous or cut to 32 bits.
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, int> &&
                                            !std::is_same_v<T, std::int64_t> && !std::is_same_v<T, bool>,
                                        int> = 0>
    void SetCellData(int nRow, int nCol, T nValue) {
        SetCellData(nRow, nCol, static_cast<std::int64_t>(nValue));
    }
    /// The value of the cell of data row nRow and data column nCol.
    std::int64_t GetCellData(int nRow, int nCol) const { return GetCell(nRow, nCol)->GetData(); }

    /// Sets the number of cells in the block to size.cx × size.cy. Cells kept
    /// keep their values and addresses. A negative or overflowing size
    /// reserves nothing, nor does one above 2^20 cells (AllocCell then grows
    /// the block as cells are handed out). Shrinking below the cells handed
    /// out destroys them; the next AllocCell continues at the new end.
    void Alloc(const CSize& size);
    /// Hands out the next cell of the block with the value nData; past the
    /// cells reserved, the block grows by one cell. Null only once INT_MAX
    /// cells have been handed out.
    CTblCell* AllocCell(std::int64_t nData);

    /// Width: column heading + stub; height: title + column heading + body.
    CSize Size() const;
    /// Extent of the column heading and of the stub with the body, as laid out.
    CSize ColSize() const { return m_sizeCol; }
    CSize RowSize() const { return m_sizeRow; }
    /// Sizes of the title's and the stub head's boxes.
    CSize TitleSize() const { return m_title.GetSize(); }
    CSize StubHeadSize() const { return m_stubHead.GetSize(); }

    /// Loaded flag, name, pieces, data counts, then roots by identity.
    bool operator==(const CTable& o) const;
    bool operator!=(const CTable& o) const { return !(*this == o); }

    // Table file.
    /// Reads the next table of the file; 1 when a table was read. A table
    /// whose linked cells would pass its allowance (a few hundred thousand,
    /// more for a longer text, never above GetMaxCells), or whose read runs
    /// out of memory, is reported and gives 0; nothing is thrown.
    int Build(CSpecFile& file, CProgressDlg* pProgress = nullptr);
    /// Most cells (data rows × data columns) that Build lets any one table
    /// hold, 2^24 unless the host sets another; SetMaxCells returns the
    /// ceiling it replaces.
    static std::int64_t GetMaxCells();
    static std::int64_t SetMaxCells(std::int64_t nCells);
    /// Links the table to its trees again after they were edited (children
    /// added, removed or assigned): data lists and parent links anew; each
    /// data row keeps the cells of the data columns still there, in their
    /// new order, drops those of columns gone, and gets cells of value 0
    /// with the default style and format for new columns. LayoutTable does
    /// this by itself when the trees no longer match the lists.
    void Relink();
    /// True when the data lists, parent links and cell lists match the trees.
    bool IsLinked() const;
    /// Reads the keys of one piece section into piece.
    void BuildTblPiece(CSpecFile& file, CTblOb& piece);
    /// Writes the table's sections. With bBlockedOnly, only the block: the
    /// data rows and columns that are blocked or hold a blocked cell, their
    /// cells, and the captions and spanners above them or blocked. Returns
    /// 0, writing nothing, when no data row, data column or cell is
    /// blocked; else 1.
    int Save(CSpecFile& file, int bBlockedOnly = 0) const;

    // Layout.
    /// Lays the table out as one continuous table for the width of rc on pDC,
    /// with the top-left corner at the origin; every box and the metrics are set anew.
    void LayoutTable(const CRect& rc, CDC* pDC);
    /// Sizes one piece to the width of rc and places it at rc's top-left corner;
    /// the title can be measured in its own font (bLoadFont).
    void CalcTitleSize(const CRect& rc, CDC* pDC, int bLoadFont);
    void CalcHeaderSize(const CRect& rc, CDC* pDC);
    void CalcFooterSize(const CRect& rc, CDC* pDC);
    void CalcStubHeadSize(const CRect& rc, CDC* pDC);
    /// Moves the trees and cells down by dy (after the title changed height).
    void AdjustForTitleSizeChange(int dy);
    /// Lays the table out on the printable rectangle rc of a twips surface and
    /// cuts it into pages; the result is kept in slot kPrinterSlot.
    void LayoutPrinter(const CRect& rc, CDC* pDC);
    /// Options of the printer layout and of drawing; the defaults change nothing.
    void SetPrintOptions(const CPrintOptions& options) { m_printOptions = options; }
    const CPrintOptions& GetPrintOptions() const { return m_printOptions; }
    /// While the printer layout is in force, the captions repeated at the top
    /// of the row pages that start inside their groups
    /// (CPrintOptions::bContinuedCaptions): one row per repeated caption, with
    /// the caption's style, its text followed by the suffix, its box (the same
    /// on every page it is repeated on) and those pages. None otherwise.
    int GetNumContinuedCaptions() const;
    const CTblRow* GetContinuedCaption(int i) const;
    /// Keeps the current layout (boxes, text heights, metrics) in a slot
    /// (kScreenSlot or kPrinterSlot).
    void BackupClient(int bSlot) override;
    /// Puts the layout kept in a slot back in force.
    void RestoreClient(int bSlot) override;

    // Drawing, interaction and export.
    /// Draws the title, stub head, trees and cells of page nPage (kScreenPage for
    /// the screen) within rcDraw; leaves the surface's state as it found it.
    void Draw(CDC* pDC, const CRect& rcDraw, int nPage);
    using CTblOb::Draw;
    /// Sets pHit to the element under pt (title, stub head, node or cell); 1 when one was hit.
    int HitTest(const CPoint& pt, CTblOb*& pHit) override;
    /// Blocks (or unblocks) every element; rects gets the boxes that changed.
    void Block(CRectArray& rects, int bBlock) override;
    /// Blocks every caption and spanner with a blocked child, up to the roots.
    void BlockParents(CRectArray& rects, int bBlock);
    /// Nonzero when at least one cell is blocked.
    int IsBlocked() const override;
    /// Sets the shading colour of every element.
    void StuffBlockColor(unsigned long cr);
    /// Makes the block exactly the data rows nFirstRow to nLastRow by the
    /// data columns nFirstCol to nLastCol (inclusive, either order): those
    /// rows, columns and cells, and the captions and spanners above them;
    /// everything else is unblocked. Appends the box of every element whose
    /// mark changed to rects. Returns 0, changing nothing, when the range
    /// does not lie within the table.
    int SelectBlock(int nFirstRow, int nFirstCol, int nLastRow, int nLastCol, CRectArray& rects);
    /// Unblocks every element (Block(rects, 0)).
    void ClearBlock(CRectArray& rects) { Block(rects, 0); }
    /// HitTest, told as the kind of element and its data row and column.
    CTblHit HitTestElement(const CPoint& pt);
    /// Moves the body: columns sideways, rows up and down, cells both ways;
    /// title and stub head stay. Negative values scroll the view right and down.
    /// A row's cells move when they are next reached through their row or the
    /// table (GetCell, hit tests, drawing, layouts, saving), so a scroll costs
    /// a step per row, not per cell: a cell pointer kept across a scroll shows
    /// its new box once its row has been asked for a cell again.
    void ScrollBy(int dx, int dy) override;
    /// Appends the grid of elements for an RTF table (only the blocked part with bBlockedOnly).
    void LayoutRTF(CRTFRowArray& rows, int bBlockedOnly);

protected:
    int CanDrawBorderBottom() const override { return m_bDrawBottomBorder; }
    void CalcOffsets();

private:
    int BuildTable(CSpecFile& file, CProgressDlg* pProgress);
    void ReportRowLengths() const;
    void OptimizeDataChildren();
    // Calls fn(cell, pPlaced) for each cell of the data rows, with the box
    // the layouts give it (null past the data columns).
    template <class Fn>
    void ForEachDataCell(Fn fn);
    void SetRowColObParent(CRowColOb* pNode, CRowColOb* pParent);
    void AdjustCellLinkages();
    void AdjustMasks(const CCellMaskArray& arrMasks);
    void CalcComponentSize(CTblOb& ob, const CRect& rc, CDC* pDC, int bLoadFont);
    // Equal heights on every heading level; the band and the stub head as
    // tall as the taller of the two.
    void AlignHeadingBand();
    // Height of the band the rows start below (negative when flipped).
    int HeadingBandHeight() const;
    // The rows, columns and nodes that a save of the block writes; 0 when
    // nothing is blocked.
    int CollectBlock(std::unordered_set<const CRowColOb*>& set, int& nRows, int& nCols) const;
    // The margin and line height of this table's layout in force become the
    // process-wide metrics, so that tables laid out at other sizes in the
    // same process do not lend it theirs. A table never laid out leaves
    // them alone.
    void PutMetricsInForce() const;
    void KeepMetrics();
    // Continuation copies of spanners belong to the printer layout alone:
    // they leave the column tree when another layout is put in force (kept
    // for slot 0 to bring back) and for as long as a save runs.
    struct SpannerCopies;
    friend class CTblColumn;  // prunes its own copies with the same record
    void StashSpannerCopies();
    void UnstashSpannerCopies();
    void DiscardSpannerCopies();
    // Row pages with captions kept with their rows and captions repeated on
    // the pages that continue their groups; returns the number of row pages.
    int PaginateRows(CDC* pDC, int nBody, int nTop);
    // The repeated captions, flipped, with their pages and borders.
    void FinishContinuedCaptions(int nHorzPages, int nRight);
    void DrawContinuedCaptions(CDC* pDC, int nPage);
    struct ContinuedCaptions;
    void DiscardContinuedCaptions();
    // Widths from content (CPrintOptions::bWidthsFromContent): the screen
    // layout of a printer pass at the type size that fits, the stub width,
    // the data columns' widths with their spanners' words, and column pages
    // cut from them (returns their number).
    void LayoutForPrinter(const CRect& rc, CDC* pDC);
    int ContentStubWidth(int nWidth, int nNeed, int nHeadNeed, long long nColsWidth) const;
    long long ContentColumnWidths(std::vector<int>& widths) const;
    int CutContentColumnPages(CDC* pDC, int nAvailW, std::vector<int>& widths);

    int m_bLoaded = 0;
    unsigned m_nAreaLevels = 0;
    CTblOb m_title;
    CTblOb m_header;
    CTblOb m_footer;
    CTblOb m_stubHead;
    CTblColumn* m_pColumnRoot;
    CTblRow* m_pRowRoot;
    CSize m_sizeCol;
    CSize m_sizeRow;
    CStyleRegistry* m_pRegistry = nullptr;
    int m_nNumPages = 0;
    int m_nHorzPages = 0;
    int m_bDrawBottomBorder = 1;
    CArray<CTblColumn*, CTblColumn*> m_arrDataColumns;
    CArray<CTblRow*, CTblRow*> m_arrDataRows;
    CCellBlock m_cellBlock;  // cells keep their addresses as the block grows
    int m_nNextCell = 0;
    // Metrics of the layout in force, and of the two saved layouts.
    int m_nMargin = 0;
    int m_nLineHeight = 0;
    int m_nBackupMargin[2] = {0, 0};
    int m_nBackupLineHeight[2] = {0, 0};
    CPrintOptions m_printOptions;
    SpannerCopies* m_pSpannerCopies = nullptr;
    ContinuedCaptions* m_pContinued = nullptr;  // of the last printer layout
    int m_bPrinterInForce = 0;                  // that layout is in force
    int m_bPrinterPass = 0;                     // LayoutTable runs for LayoutPrinter
    int m_nTypeScale = 100;                     // type size of the printer layout, in percent
};

}  // namespace kavo
