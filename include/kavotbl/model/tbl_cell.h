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
            m_bDirty = 1;
        }
    }
    /// The number format that turns the value into text (owned by the registry).
    CFormat* GetFormat() const { return m_pFormat; }
    /// Replaces the format; the text is formatted anew only when the cell is dirty.
    void SetFormat(CFormat* pFormat) { m_pFormat = pFormat; }
    /// Nonzero while the text does not yet show the value.
    int IsDirty() const { return m_bDirty; }
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

    /// Brings the text up to date when the cell is dirty and clears the mark.
    /// A cell without a format keeps its text.
    void Format();

private:
    int m_bDirty = 1;  // first: it fits in the element's tail
    CFormat* m_pFormat = nullptr;
    std::int64_t m_nData = 0;
    CTblColumn* m_pCol = nullptr;
    CTblRow* m_pRow = nullptr;
};

}  // namespace kavo
