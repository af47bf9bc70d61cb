// Number formats and their [Format] section.
#include "kavotbl/style/format.h"

#include <cctype>
#include <cstdint>
#include <string>

#include "kavotbl/host/platform.h"
#include "kavotbl/host/spec_file.h"
#include "kavotbl/resources/strings.h"
#include "style/section_reader.h"

namespace kavo {

KAVO_IMPLEMENT_DYNAMIC(CFormat, CObject)

namespace {

constexpr int kProfileBufSize = 50;

bool IsYes(const CKAVOString& strValue) {
    return !strValue.IsEmpty() && (strValue.GetAt(0) == 'Y' || strValue.GetAt(0) == 'y');
}

// The regional defaults are read afresh on every call: Save compares against
// what a reader on this machine would get now, not at construction.
int ProfileLeadingZero() {
    char buf[kProfileBufSize];
    if (GetProfileString("intl", "iLZero", "1", buf, kProfileBufSize) > 0) return buf[0] == '1' ? 1 : 0;
    return 1;
}

CKAVOString ProfileSeparator(const char* pszKey, const char* pszDefault) {
    char buf[kProfileBufSize];
    if (GetProfileString("intl", pszKey, pszDefault, buf, kProfileBufSize) > 0) return CKAVOString(buf);
    return CKAVOString(pszDefault);
}

}  // namespace

CFormat::CFormat(const CKAVOString& strLabel) {
    Init();
    m_strLabel = strLabel;
}

CFormat::CFormat(int nStringID) {
    Init();
    m_strLabel = LoadKAVOString(static_cast<unsigned>(nStringID));
}

void CFormat::Init() {
    m_strLabel.Empty();
    m_nDecimals = 0;
    m_strZeroRound = "(Z)";
    m_strZeroMask = "-";
    m_bHidden = 0;
    m_bZeroBeforeDecimal = ProfileLeadingZero();
    m_strDecimalSep = ProfileSeparator("sDecimal", ".");
    m_strThousandSep = ProfileSeparator("sThousand", ",");
}

namespace {

// A yes/no value is yes by its first letter; one that begins with neither
// letter is taken as no, and reported.
void CheckYesNo(const CSpecFile& file, const CKAVOString& strKey, const CKAVOString& strValue) {
    const char c = strValue.IsEmpty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(strValue.GetAt(0))));
    if (c != 'Y' && c != 'N') detail::CheckWord(file, strKey, strValue, {"Yes", "No"}, "No");
}

}  // namespace

int CFormat::Build(CSpecFile& file) {
    Init();
    return detail::ReadSectionKeys(file, [this, &file](const CKAVOString& strKey, const CKAVOString& strValue) {
        if (strKey.CompareNoCase("Label") == 0) {
            m_strLabel = strValue;
        } else if (strKey.CompareNoCase("Decimals") == 0) {
            // Low 32 bits, as the count is stored in 32 bits.
            const auto nLow = static_cast<std::uint32_t>(static_cast<std::uint64_t>(strValue.Val()));
            m_nDecimals = static_cast<std::int32_t>(nLow);
            if (!strValue.IsNumeric())
                ReportLine(IDS_UNKNOWN_VALUE, file.GetLineNumber(),
                           {strKey.str(), strValue.str(), "a whole number", std::to_string(m_nDecimals)});
        } else if (strKey.CompareNoCase("ThousandSep") == 0) {
            m_strThousandSep = strValue;
        } else if (strKey.CompareNoCase("DecimalSep") == 0) {
            m_strDecimalSep = strValue;
        } else if (strKey.CompareNoCase("ZeroRound") == 0) {
            m_strZeroRound = strValue;
        } else if (strKey.CompareNoCase("ZeroMask") == 0) {
            m_strZeroMask = strValue;
        } else if (strKey.CompareNoCase("ZeroBeforeDecimal") == 0) {
            m_bZeroBeforeDecimal = IsYes(strValue) ? 1 : 0;
            CheckYesNo(file, strKey, strValue);
        } else if (strKey.CompareNoCase("Hidden") == 0) {
            m_bHidden = IsYes(strValue) ? 1 : 0;
            CheckYesNo(file, strKey, strValue);
        } else {
            return false;
        }
        return true;
    });
}

void CFormat::Save(CSpecFile& file) const {
    file.PutLine("[Format]");
    file.PutLine("Label", m_strLabel);
    if (m_nDecimals != 0) file.PutLine("Decimals", CKAVOString().Str(m_nDecimals, -1, ' '));
    if (m_strZeroRound != "(Z)") file.PutLine("ZeroRound", m_strZeroRound);
    if (m_strZeroMask != "-") file.PutLine("ZeroMask", m_strZeroMask);
    if (m_bHidden) file.PutLine("Hidden", "Yes");
    if ((m_bZeroBeforeDecimal != 0) != (ProfileLeadingZero() != 0))
        file.PutLine("ZeroBeforeDecimal", m_bZeroBeforeDecimal ? "Yes" : "No");
    if (m_strDecimalSep != ProfileSeparator("sDecimal", ".")) file.PutLine("DecimalSep", m_strDecimalSep);
    if (m_strThousandSep != ProfileSeparator("sThousand", ",")) file.PutLine("ThousandSep", m_strThousandSep);
}

}  // namespace kavo
