// Display text of data cells: the scaled value through its number format.
#include <cstdint>
#include <cstring>
#include <string>

#include "kavotbl/model/tbl_cell.h"
#include "kavotbl/style/format.h"

namespace kavo {

namespace {

// Decimal places beyond the 20 digits of a 64-bit value are only zeros. The
// count comes from a table file unchecked, so it is capped: a cell text never
// grows past this many decimal places, whatever the file says.
constexpr int kMaxDecimals = 255;

int CountDigits(std::uint64_t u) {
    int n = 1;
    while (u >= 10) {
        u /= 10;
        ++n;
    }
    return n;
}

char* PutBytes(char* p, const std::string& s) {
    p -= s.size();
    if (!s.empty()) std::memcpy(p, s.data(), s.size());
    return p;
}

}  // namespace

// A cell without a format keeps its text and stays dirty, so that it is
// formatted as soon as it is given one.
void CTblCell::Format() {
    if (!m_bDirty || !m_pFormat) return;
    m_bDirty = 0;

    const CFormat& fmt = *m_pFormat;
    std::string& out = m_strText.str();  // rebuilt in place: its capacity is reused

    if (m_nData == 0) {
        out.assign(fmt.m_strZeroMask.str());
        return;
    }
    if (fmt.m_bHidden) {
        out.clear();
        return;
    }

    const bool bNegative = m_nData < 0;
    // Unsigned negation gives the magnitude of every value, the most negative included.
    std::uint64_t mag = bNegative ? 0 - static_cast<std::uint64_t>(m_nData) : static_cast<std::uint64_t>(m_nData);
    const int nDigits = CountDigits(mag);

    int nDecimals = fmt.m_nDecimals;
    if (nDecimals < 0) nDecimals = 0;
    if (nDecimals > kMaxDecimals) nDecimals = kMaxDecimals;

    const std::string& strThousand = fmt.m_strThousandSep.str();
    const std::string& strDecimal = fmt.m_strDecimalSep.str();

    // Integer part: the digits left of the decimal places, or a lone "0" when
    // there are none and the format asks for it.
    const int nIntDigits = nDigits > nDecimals ? nDigits - nDecimals : 0;
    const bool bLeadZero = nIntDigits == 0 && nDecimals > 0 && fmt.m_bZeroBeforeDecimal;
    const int nIntLen = nIntDigits > 0 ? nIntDigits : (bLeadZero ? 1 : 0);
    const int nGroups = nIntLen > 0 ? (nIntLen - 1) / 3 : 0;

    std::size_t nLength = static_cast<std::size_t>(nIntLen) + nGroups * strThousand.size() + (bNegative ? 1 : 0);
    if (nDecimals > 0) nLength += strDecimal.size() + static_cast<std::size_t>(nDecimals);

    out.resize(nLength);
    char* const pBegin = &out[0];
    char* p = pBegin + nLength;  // filled from the right

    if (nDecimals > 0) {
        int i = 0;
        for (; i < nDecimals && mag != 0; ++i) {
            *--p = static_cast<char>('0' + mag % 10);
            mag /= 10;
        }
        // Places beyond the value's digits are zeros.
        p -= nDecimals - i;
        std::memset(p, '0', static_cast<std::size_t>(nDecimals - i));
        p = PutBytes(p, strDecimal);
    }

    if (nIntDigits > 0) {
        for (int i = 0; i < nIntDigits; ++i) {
            if (i > 0 && i % 3 == 0) p = PutBytes(p, strThousand);
            *--p = static_cast<char>('0' + mag % 10);
            mag /= 10;
        }
    } else if (bLeadZero) {
        *--p = '0';
    }

    if (bNegative) *--p = '-';
}

}  // namespace kavo
