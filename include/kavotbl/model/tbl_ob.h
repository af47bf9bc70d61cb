// Base of every visible piece of a table.
#pragma once

#include <cstdint>

#include "kavotbl/host/dc.h"
#include "kavotbl/host/object.h"
#include "kavotbl/host/string.h"
#include "kavotbl/host/types.h"

namespace kavo {

class CStyle;
class CSpecFile;
class CTable;
class CRowColOb;
class CTblColumn;
class CTblRow;
class CTblCell;

using CRectArray = CArray<CRect, CRect&>;

/// Colour in which a blocked element is shaded until SetBlockColor or a
/// table's StuffBlockColor says otherwise: a light blue under which black
/// text stays readable.
constexpr COLORREF kDefaultBlockColor = 0x00F7E4CCu;  // RGB(0xCC, 0xE4, 0xF7)

/// An element's list of printed pages. Most elements show on one page, so
/// the first entry lives inside the list and only a longer list takes
/// memory of its own: printing a large table allocates nothing per cell.
class CPageList {
public:
    CPageList() = default;
    CPageList(const CPageList& src) { *this = src; }
    CPageList& operator=(const CPageList& src);
    ~CPageList() { delete[] m_pMore; }

    int GetSize() const { return m_nSize; }
    /// Entry i (i not tested).
    int operator[](int i) const { return m_pMore ? m_pMore[i] : m_nOne; }
    int& operator[](int i) { return m_pMore ? m_pMore[i] : m_nOne; }
    /// Appends an entry.
    void Add(int nPage);
    /// Makes the list n long; new entries are 0.
    void SetSize(int n);
    /// Empties the list; memory already taken is kept for the next layout.
    void RemoveAll() { m_nSize = 0; }

private:
    void Reserve(int n);

    int m_nSize = 0;
    union {
        int m_nOne = 0;  // the single entry while m_pMore is null
        int m_nCap;      // room in m_pMore
    };
    int* m_pMore = nullptr;
};

/// A table element: text, style, box (position), border rectangle, sizing
/// limits, block mark and colour, printed pages and two saved layouts.
class CTblOb : public CObject {
    KAVO_DECLARE_DYNAMIC(CTblOb)
    friend class CTable;
    friend class CRowColOb;
    friend class CTblColumn;
    friend class CTblRow;
    friend class CTblCell;
    friend struct LayoutTestAccess;  // layout tests reach the sizing internals

public:
    /// An element with a text and a style (not owned); everything else empty.
    explicit CTblOb(const CKAVOString& strText = CKAVOString(), CStyle* pStyle = nullptr);
    /// Copies everything but the block colour.
    CTblOb(const CTblOb& src);
    /// Copies text, style, position, sizes, saved positions and pages; keeps
    /// the target's text height, border, block mark, block colour and saved
    /// text heights.
    void operator=(const CTblOb& src);
    /// Text (case matters), style pointer, position, minimum size and pages.
    bool operator==(const CTblOb& o) const;
    bool operator!=(const CTblOb& o) const { return !(*this == o); }
    /// Releases the text and the page list.
    ~CTblOb() override;

    /// The element's text (a cell's formatted value, a table's name).
    const CKAVOString& GetText() const { return m_strText; }
    /// Replaces the text.
    void SetText(const CKAVOString& strText) { m_strText = strText; }
    /// The drawing style, owned by the registry; may be null.
    CStyle* GetStyle() const { return m_pStyle; }
    /// Replaces the style pointer.
    void SetStyle(CStyle* pStyle) { m_pStyle = pStyle; }

    /// The box on the surface, as laid out (and scrolled).
    const CRect& GetPos() const { return m_rcPos; }
    /// The four edges of the box.
    int Left() const { return m_rcPos.left; }
    int Top() const { return m_rcPos.top; }
    int Right() const { return m_rcPos.right; }
    int Bottom() const { return m_rcPos.bottom; }
    /// Right minus left.
    int Width() const { return m_rcPos.right - m_rcPos.left; }
    /// Negative after the vertical flip of a printer layout.
    int Height() const { return m_rcPos.bottom - m_rcPos.top; }
    /// (Width(), Height()).
    CSize GetSize() const { return CSize(Width(), Height()); }
    /// Sizing limits given by the last layout.
    const CSize& GetMinSize() const { return m_sizeMin; }
    const CSize& GetMaxSize() const { return m_sizeMax; }
    /// The rectangle whose edges carry the style's border rules.
    const CRect& GetBorder() const { return m_rcBorder; }
    /// Height of the text as last measured, signed as the surface gave it.
    int GetTextHeight() const { return m_nTextHeight; }

    /// Nonzero when the element is part of the block.
    virtual int IsBlocked() const { return m_bBlocked; }
    /// kDefaultBlockColor until SetBlockColor or a table's StuffBlockColor sets it.
    COLORREF GetBlockColor() const { return m_crBlock; }
    /// Sets the shading colour of this element.
    void SetBlockColor(unsigned long cr) { m_crBlock = static_cast<COLORREF>(cr); }

    /// Printed pages that show the element (empty: every page).
    int GetNumPages() const { return m_arrPages.GetSize(); }
    /// Entry i of the page list (i not tested).
    int GetPage(int i) const { return m_arrPages[i]; }
    /// Appends a page number.
    void AddPage(int nPage) { m_arrPages.Add(nPage); }
    /// Empties the page list.
    virtual void RemoveAllPages() { m_arrPages.RemoveAll(); }

    /// Moves the box, and the border unless it is empty.
    virtual void ScrollBy(int dx, int dy);
    /// Draws the element on a page (-1: the screen).
    virtual void Draw(CDC* pDC, int nPage);
    /// Sets pHit to this element when pt lies in its box.
    virtual int HitTest(const CPoint& pt, CTblOb*& pHit);
    /// Sets the block mark; appends the box to rects when it changed.
    virtual void Block(CRectArray& rects, int bBlock);
    /// Negates top and bottom of the box.
    virtual void IHateTwips();
    /// Saves box and text height in slot 1 (bSlot nonzero) or slot 0.
    virtual void BackupClient(int bSlot);
    /// Puts back the box and text height saved in that slot.
    virtual void RestoreClient(int bSlot);

    /// Makes the font of the style for the surface (twips height and " Cyr"
    /// on an MM_TWIPS surface); 0 when the style has no font.
    int LoadFont(CDC* pDC, CFont& font) const;
    /// Draws the style's single rules on the box, with the surface's pen.
    void DrawLines(CDC* pDC) const;
    /// Draws the style's single border rules on the border rectangle.
    void DrawBorders(CDC* pDC) const;
    /// Adds the style's horizontal justification to nFormat and moves rcText for
    /// its vertical one.
    void Justify(UINT& nFormat, CRect& rcText) const;
    /// Writes one piece section, leaving it out when the reader's defaults
    /// give the same piece.
    void Save(CSpecFile& file, const CKAVOString& strHeading, const CStyle* pDefaultStyle,
              int bBlockedOnly) const;

protected:
    virtual CSize CalcRectSize(CDC* pDC, CSize sizeMin, CSize sizeMax);
    /// CalcRectSize with further measuring flags (DT_WHOLEWORDS for values).
    CSize WrapToSize(CDC* pDC, CSize sizeMin, CSize sizeMax, UINT nMoreFlags);
    virtual int CanDrawBorderLeft() const { return 1; }
    virtual int CanDrawBorderTop() const { return 1; }
    virtual int CanDrawBorderRight() const { return 1; }
    virtual int CanDrawBorderBottom() const { return 1; }

    CRect& Pos() { return m_rcPos; }
    void SetMinSize(const CSize& size) { m_sizeMin = size; }
    void SetMaxSize(const CSize& size) { m_sizeMax = size; }
    void SetBorder(const CRect& rc) { m_rcBorder = rc; }
    void SetWidth(int w) { m_rcPos.right = m_rcPos.left + w; }
    void SetHeight(int h) { m_rcPos.bottom = m_rcPos.top + h; }
    void SetSize(int cx, int cy) { SetWidth(cx); SetHeight(cy); }
    void SetSize(const CSize& size) { SetSize(size.cx, size.cy); }
    void Offset(int dx, int dy) { m_rcPos.OffsetRect(dx, dy); }
    void Offset(const CPoint& pt) { m_rcPos.OffsetRect(pt.x, pt.y); }
    void ResetPos() { m_rcPos.SetRectEmpty(); }

    // Pointers and rectangles first, the ints last: a cell's own first field
    // then fills the tail, and a million cells are 16 MB smaller.
    CKAVOString m_strText;
    CStyle* m_pStyle = nullptr;
    CRect m_rcPos;
    CRect m_rcBorder;
    CSize m_sizeMin;
    CSize m_sizeMax;
    CPageList m_arrPages;
    CRect m_rcBackupPos[2];
    int m_nTextHeight = 0;
    int m_bBlocked = 0;
    COLORREF m_crBlock = kDefaultBlockColor;
    int m_nBackupTextHeight[2] = {0, 0};
};

}  // namespace kavo
