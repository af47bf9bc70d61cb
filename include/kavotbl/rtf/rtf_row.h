// One row of the grid of elements handed to an RTF writer.
#pragma once

#include "kavotbl/host/object.h"

namespace kavo {

class CTblOb;

/// Element pointers of one grid row, left to right; null for an empty
/// position. The row does not own the elements.
class CRTFRow {
public:
    CRTFRow() = default;
    CRTFRow(const CRTFRow& src) = default;
    CRTFRow& operator=(const CRTFRow& src) = default;

    int Add(CTblOb* p) { return m_arrObs.Add(p); }
    int GetSize() const { return m_arrObs.GetSize(); }
    CTblOb*& operator[](int i) { return m_arrObs[i]; }
    CTblOb* operator[](int i) const { return m_arrObs[i]; }

private:
    CArray<CTblOb*, CTblOb*> m_arrObs;
};

using CRTFRowArray = CArray<CRTFRow, CRTFRow&>;

}  // namespace kavo
