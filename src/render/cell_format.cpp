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

constexpr std::uint64_t kPow10[20] = {
    1u,           10u,           100u,           1000u,           10000u,
    100000u,      1000000u,      10000000u,      100000000u,      1000000000u,
    10000000000u, 100000000000u, 1000000000000u, 10000000000000u, 100000000000000u,
    1000000000000000u, 10000000000000000u, 100000000000000000u, 1000000000000000000u,
    10000000000000000000u};

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

int CountDigits(std::uint64_t u) {
    // The bit length gives the digit count to within one (1233 / 4096 is
    // just above log10 2); one comparison settles it, without a loop.
#if defined(__GNUC__) || defined(__clang__)
    const int nBits = 64 - __builtin_clzll(u | 1);
#else
    int nBits = 1;
    while (nBits < 64 && (u >> nBits) != 0) ++nBits;
#endif
    const int t = (nBits * 1233) >> 12;
    return t + (u >= kPow10[t] ? 1 : 0);
}

// Writes the decimal digits of u so that they end just before pEnd: eight at
// a time in 32-bit arithmetic while more than eight remain, then two at a time.
void PutDigits(char* pEnd, std::uint64_t u) {
    char* p = pEnd;
    while (u >= 100000000u) {
        auto r = static_cast<std::uint32_t>(u % 100000000u);
        u /= 100000000u;
        for (int i = 0; i < 4; ++i) {
            p -= 2;
            std::memcpy(p, kDigitPairs + 2 * (r % 100), 2);
            r /= 100;
        }
    }
    auto v = static_cast<std::uint32_t>(u);
    while (v >= 100) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * (v % 100), 2);
        v /= 100;
    }
    if (v >= 10) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * v, 2);
    } else {
        *--p = static_cast<char>('0' + v);
    }
}

char* PutBytes(char* p, const char* pSrc, std::size_t n) {
    p -= n;
    if (n) std::memcpy(p, pSrc, n);
    return p;
}

}  // namespace

// A cell without a format keeps its text and stays dirty, so that it is
// formatted as soon as it is given one.
void CTblCell::Format() {
    if (!(m_nFlags & kDirty) || !m_pFormat) return;
    m_nFlags &= static_cast<unsigned char>(~kDirty);

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
    const std::uint64_t mag = bNegative ? 0 - static_cast<std::uint64_t>(m_nData) : static_cast<std::uint64_t>(m_nData);
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
    char* p = &out[0] + nLength;  // filled from the right

    // The digits go to a small buffer on the stack first; from there they
    // are copied around the separators.
    char digits[20];
    char* const pDigitsEnd = digits + sizeof digits;
    PutDigits(pDigitsEnd, mag);
    const char* pDigit = pDigitsEnd;  // digits not yet copied end here

    if (nDecimals > 0) {
        const int nPlaced = nDigits < nDecimals ? nDigits : nDecimals;
        pDigit -= nPlaced;
        p = PutBytes(p, pDigit, static_cast<std::size_t>(nPlaced));
        // Places beyond the value's digits are zeros.
        p -= nDecimals - nPlaced;
        std::memset(p, '0', static_cast<std::size_t>(nDecimals - nPlaced));
        p = PutBytes(p, strDecimal.data(), strDecimal.size());
    }

    if (nIntDigits > 0) {
        // Full groups of three from the right, a separator before each but the first.
        int nLeft = nIntDigits;
        while (nLeft > 3) {
            pDigit -= 3;
            p = PutBytes(p, pDigit, 3);
            p = PutBytes(p, strThousand.data(), strThousand.size());
            nLeft -= 3;
        }
        pDigit -= nLeft;
        p = PutBytes(p, pDigit, static_cast<std::size_t>(nLeft));
    } else if (bLeadZero) {
        *--p = '0';
    }

    if (bNegative) *--p = '-';
}

}  // namespace kavo
