// Number format of data cells and its [Format] section.
#pragma once

#include "kavotbl/host/object.h"
#include "kavotbl/host/string.h"

namespace kavo {

class CSpecFile;

/// How a cell's scaled 64-bit value becomes text. Separators and the
/// leading-zero rule default to the regional settings. Fields are plain data.
class CFormat : public CObject {
    KAVO_DECLARE_DYNAMIC(CFormat)
public:
    explicit CFormat(const CKAVOString& strLabel = CKAVOString());
    explicit CFormat(int nStringID);
    CFormat(const CFormat& src) = default;
    CFormat& operator=(const CFormat& src) = default;
    ~CFormat() override = default;

    const CKAVOString& GetLabel() const { return m_strLabel; }
    /// Empties the label and sets the defaults, reading the regional settings.
    void Init();
    /// Reads the body of a [Format] section; always 1.
    int Build(CSpecFile& file);
    /// Writes a whole [Format] section, leaving out what the reader's
    /// defaults (on this machine) would give.
    void Save(CSpecFile& file) const;

    int m_nDecimals;
    CKAVOString m_strThousandSep;
    CKAVOString m_strDecimalSep;
    CKAVOString m_strZeroRound;
    CKAVOString m_strZeroMask;
    int m_bZeroBeforeDecimal;
    int m_bHidden;
    CKAVOString m_strLabel;
};

}  // namespace kavo
