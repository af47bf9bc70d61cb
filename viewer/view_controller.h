// What the viewer does with a table, without a window: layout for the
// window's size, scrolling under the frozen title, heading band and stub,
// hit tests, block selections, the text of the status bar and of the
// clipboard, and saving the selection. The window layer only forwards its
// events here and draws.
#pragma once

#include <cstdint>
#include <string>

#include "kavotbl/kavotbl.h"

namespace kavo {
namespace viewer {

/// The keys that move the view.
enum class ScrollKey { Left, Right, Up, Down, PageUp, PageDown, Home, End, CtrlHome, CtrlEnd };

/// A block of data rows by data columns, both inclusive; empty when nRow0 < 0.
struct BlockRange {
    int nRow0 = -1, nCol0 = -1, nRow1 = -1, nCol1 = -1;
    bool IsEmpty() const { return nRow0 < 0; }
};

/// Gives every style of the registry one font at a point size (96 pixels to
/// the inch on screen, twips on paper).
void GiveFont(CStyleRegistry& registry, const char* pszFamily, double dPoints);

class ViewController {
public:
    /// Works on a table whose registry outlives the controller.
    explicit ViewController(CTable& table);

    CTable& Table() { return m_table; }

    /// Lays the table out for a view of cx by cy pixels and keeps the
    /// scroll position, clamped to the new extent.
    void Layout(CDC* pDC, int cx, int cy);
    /// Size of the view and whether Layout ran.
    int ViewWidth() const { return m_cx; }
    int ViewHeight() const { return m_cy; }
    bool IsLaidOut() const { return m_bLaidOut; }

    // Scrolling: the body moves under the frozen parts; positions are how
    // far it is scrolled right and down, from 0 to the Max values.
    int ScrollX() const { return m_x; }
    int ScrollY() const { return m_y; }
    int MaxScrollX() const;
    int MaxScrollY() const;
    /// The part of the view in which the body scrolls (right of the stub,
    /// below the heading band): the page size of the scroll bars.
    int BodyWidth() const;
    int BodyHeight() const;
    /// The step of an arrow key or a wheel notch: one line of the table font.
    int LineStep() const;
    /// Scrolls to (x, y), clamped; true when the view moved.
    bool ScrollTo(int x, int y);
    bool ScrollBy(int dx, int dy) { return ScrollTo(m_x + dx, m_y + dy); }
    bool ScrollKeyPressed(ScrollKey key);

    /// Draws what the view shows onto pDC (white background not included).
    void Draw(CDC* pDC);

    // Selection.
    /// What a point of the view hits.
    CTblHit Hit(int x, int y);
    /// A click: a cell selects itself (with bExtend, the block from the
    /// anchor to it); a data column or spanner selects every data row of its
    /// data columns, a data row or caption every data column of its data
    /// rows (with bExtend, from the anchor's columns or rows); the title or
    /// stub head the whole table; nothing clears. True when the block changed.
    bool Click(int x, int y, bool bExtend);
    /// Blocks the whole table.
    void SelectAll();
    void ClearSelection();
    /// Selects the block (clamped to the table); false when it does not meet it.
    bool Select(const BlockRange& range);
    /// The block of data rows and columns; empty when nothing is selected.
    const BlockRange& Selection() const { return m_sel; }

    /// The status bar's text for the element at a point: its row and column
    /// captions, the value and the shown text of a cell; "" for nothing.
    std::string StatusText(int x, int y);

    /// The block as tab-separated text: a line per heading level (the stub
    /// head first, spanners above their first column), then a line per
    /// caption and data row. Empty when nothing is selected.
    std::string SelectionAsTsv() const;
    /// The block as an HTML table fragment with merged spanner cells.
    std::string SelectionAsHtml() const;
    /// Writes the registry and the blocked part of the table as a table
    /// file; 1 on success, 0 with a reason in error.
    int SaveSelection(const std::string& path, std::string& error) const;

private:
    void Reapply();
    bool SelectRange(int r0, int c0, int r1, int c1);
    // The first and last data row (or column) under a node.
    static const CRowColOb* FirstLeaf(const CRowColOb* p);
    static const CRowColOb* LastLeaf(const CRowColOb* p);
    void NodeRange(const CTblHit& hit, int& first, int& last) const;

    CTable& m_table;
    int m_cx = 0, m_cy = 0;
    int m_x = 0, m_y = 0;  // scrolled so far
    int m_nLine = 1;       // line height of the last layout
    int m_nMargin = 0;     // and its margin
    bool m_bLaidOut = false;
    BlockRange m_sel;
    int m_nAnchorRow = -1, m_nAnchorCol = -1;  // where the next extension starts
    CRectArray m_rects;  // scratch for the library's changed boxes
};

}  // namespace viewer
}  // namespace kavo
