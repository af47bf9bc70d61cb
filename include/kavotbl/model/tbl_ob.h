// Base of every visible piece of a table.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

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

namespace detail {

/// What only some elements carry: the border rectangle and sizing limits the
/// layouts give rows, columns and the table, the two saved layouts of any
/// element but a table's cell, and a page list longer than one entry. A
/// table's cells never need it, so they do not pay for it.
struct CTblObExtra {
    CRect rcBorder;
    CSize sizeMin;
    CSize sizeMax;
    CRect rcBackupPos[2];
    int nBackupTextHeight[2] = {0, 0};
    std::vector<int> pages;  // the whole page list once it has two entries or more
};

}  // namespace detail

/// A table element: text, style, box (position), border rectangle, sizing
/// limits, block mark and colour, printed pages and two saved layouts. The
/// parts most elements leave empty (border, limits, saved layouts, a long
/// page list) take memory only once they are set.
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
    const CSize& GetMinSize() const { return Ext().sizeMin; }
    const CSize& GetMaxSize() const { return Ext().sizeMax; }
    /// The rectangle whose edges carry the style's border rules.
    const CRect& GetBorder() const { return Ext().rcBorder; }
    /// Height of the text as last measured, signed as the surface gave it.
    int GetTextHeight() const { return m_nTextHeight; }

    /// Nonzero when the element is part of the block.
    virtual int IsBlocked() const { return m_bBlocked; }
    /// kDefaultBlockColor until SetBlockColor or a table's StuffBlockColor sets it.
    COLORREF GetBlockColor() const { return m_crBlock; }
    /// Sets the shading colour of this element.
    void SetBlockColor(unsigned long cr) { m_crBlock = static_cast<COLORREF>(cr); }

    /// Printed pages that show the element (empty: every page).
    int GetNumPages() const {
        return m_nPageState < kPagesInExtra ? m_nPageState : static_cast<int>(m_pExtra->pages.size());
    }
    /// Entry i of the page list (i not tested).
    int GetPage(int i) const {
        return m_nPageState < kPagesInExtra ? m_nPage : m_pExtra->pages[static_cast<std::size_t>(i)];
    }
    /// Appends a page number.
    void AddPage(int nPage);
    /// Empties the page list; memory a long list took is kept for the next layout.
    virtual void RemoveAllPages() { m_nPageState = 0; }

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
    // Setting an empty value where nothing was set takes no memory.
    void SetMinSize(const CSize& size) {
        if (m_pExtra || size != CSize()) Extra().sizeMin = size;
    }
    void SetMaxSize(const CSize& size) {
        if (m_pExtra || size != CSize()) Extra().sizeMax = size;
    }
    void SetBorder(const CRect& rc) {
        if (m_pExtra || rc != CRect()) Extra().rcBorder = rc;
    }
    /// Makes the page list the one page nPage.
    void SetOnePage(int nPage) {
        if (!FitsShort(nPage)) {
            SetPagesInExtra(nPage);
            return;
        }
        m_nPage = static_cast<std::int16_t>(nPage);
        m_nPageState = 1;
    }
    /// The rarely set parts, made on first use.
    detail::CTblObExtra& Extra();
    /// The same for reading: all empty when nothing was set.
    const detail::CTblObExtra& Ext() const { return m_pExtra ? *m_pExtra : NoExtra(); }
    static const detail::CTblObExtra& NoExtra();
    /// Slot 0 of the saved layouts serves bSlot nonzero, slot 1 serves bSlot zero.
    static int SlotIndex(int bSlot) { return bSlot ? 0 : 1; }
    /// Saves or puts back the box only, in the element's own slot i.
    void SaveBox(int i) { Extra().rcBackupPos[i] = m_rcPos; }
    void LoadBox(int i) { m_rcPos = m_pExtra ? m_pExtra->rcBackupPos[i] : CRect(); }
    /// Copies the page list of src.
    void CopyPages(const CTblOb& src);
    void SetWidth(int w) { m_rcPos.right = m_rcPos.left + w; }
    void SetHeight(int h) { m_rcPos.bottom = m_rcPos.top + h; }
    void SetSize(int cx, int cy) { SetWidth(cx); SetHeight(cy); }
    void SetSize(const CSize& size) { SetSize(size.cx, size.cy); }
    void Offset(int dx, int dy) { m_rcPos.OffsetRect(dx, dy); }
    void Offset(const CPoint& pt) { m_rcPos.OffsetRect(pt.x, pt.y); }
    void ResetPos() { m_rcPos.SetRectEmpty(); }

    enum : unsigned char { kPagesInExtra = 2 };  // m_nPageState: 0 or 1 entries inline, or in the extra
    /// Whether n is kept in 16 bits; what is not goes to the extra part.
    static bool FitsShort(int n) { return n >= INT16_MIN && n <= INT16_MAX; }

    // The small fields last, the one page a short list holds in 16 bits and
    // the flags in bits of one byte: a cell's own small fields then fill the
    // tail, and a million cells stay near 120 MB.
    CKAVOString m_strText;
    CStyle* m_pStyle = nullptr;
    CRect m_rcPos;
    std::unique_ptr<detail::CTblObExtra> m_pExtra;
    int m_nTextHeight = 0;
    COLORREF m_crBlock = kDefaultBlockColor;
    std::int16_t m_nPage = 0;         // the page list's entry while it has one
    unsigned char m_nPageState : 2;   // 0 or 1 entries in m_nPage, or kPagesInExtra
    unsigned char m_bBlocked : 1;

private:
    void SetPagesInExtra(int nFirst);
};

}  // namespace kavo
