// One data cell: a 64-bit value and the number format that shows it.
#pragma once

#include <cstdint>

#include "kavotbl/model/tbl_ob.h"

namespace kavo {

class CFormat;

/// A data cell. Its element text holds the formatted value, rebuilt lazily
/// when the dirty mark is set.
class CTblCell : public CTblOb {
    KAVO_DECLARE_DYNAMIC(CTblCell)
    friend class CTable;

public:
    /// A dirty cell holding nData, without format, column or row.
    explicit CTblCell(std::int64_t nData = 0);
    /// Copies the element part and the format, value, dirty mark and links.
    CTblCell(const CTblCell& src);
    /// Assigns the same.
    CTblCell& operator=(const CTblCell& src);
    /// Releases the element part only.
    ~CTblCell() override;

    /// The 64-bit value.
    std::int64_t GetData() const { return m_nData; }
    /// Stores a different value and marks the cell dirty; an equal value changes nothing.
    void SetData(std::int64_t n) {
        if (n != m_nData) {
            m_nData = n;
            m_nFlags |= kDirty;
        }
    }
    /// The number format that turns the value into text (owned by the registry).
    CFormat* GetFormat() const { return m_pFormat; }
    /// Replaces the format; the text is formatted anew only when the cell is dirty.
    void SetFormat(CFormat* pFormat) { m_pFormat = pFormat; }
    /// Nonzero while the text does not yet show the value.
    int IsDirty() const { return (m_nFlags & kDirty) != 0; }
    /// The data column and data row of the cell (set by linking).
    CTblColumn* GetCol() { return m_pCol; }
    const CTblColumn* GetCol() const { return m_pCol; }
    /// Sets the links.
    void SetCol(CTblColumn* pCol) { m_pCol = pCol; }
    CTblRow* GetRow() { return m_pRow; }
    const CTblRow* GetRow() const { return m_pRow; }
    void SetRow(CTblRow* pRow) { m_pRow = pRow; }

    /// Formats the value if dirty, raises the minimum width to the longest
    /// word, then sizes as any element.
    CSize CalcRectSize(CDC* pDC, CSize sizeMin, CSize sizeMax) override;
    /// Draws the cell as any element.
    void Draw(CDC* pDC, int nPage) override;
    /// Saves the box and text height in a slot, as any element does.
    void BackupClient(int bSlot) override { SaveLayout(bSlot, nullptr); }
    /// Puts them back. A slot the table saved as the box its layout gives
    /// the cell keeps the present box: the table's own RestoreClient puts
    /// such boxes back from the cell's data row and column.
    void RestoreClient(int bSlot) override { LoadLayout(bSlot, nullptr); }

    /// Brings the text up to date when the cell is dirty and clears the mark.
    /// A cell without a format keeps its text.
    void Format();

private:
    // pPlaced: the box the table's layout gives the cell, from its data row
    // and column. A saved box equal to it is not stored but rebuilt.
    void SaveLayout(int bSlot, const CRect* pPlaced);
    void LoadLayout(int bSlot, const CRect* pPlaced);

    // kTallSlot: the saved text height did not fit in 16 bits and is kept
    // in the element's extra part.
    enum : unsigned char { kDirty = 1, kPlacedSlot0 = 2, kPlacedSlot1 = 4, kTallSlot0 = 8, kTallSlot1 = 16 };
    static unsigned char PlacedFlag(int i) { return i == 0 ? kPlacedSlot0 : kPlacedSlot1; }
    static unsigned char TallFlag(int i) { return i == 0 ? kTallSlot0 : kTallSlot1; }
    unsigned char m_nFlags = kDirty;  // first: it fits in the element's tail
    std::int16_t m_nBackupTextHeight[2] = {0, 0};
    CFormat* m_pFormat = nullptr;
    std::int64_t m_nData = 0;
    CTblColumn* m_pCol = nullptr;
    CTblRow* m_pRow = nullptr;
};

}  // namespace kavo
