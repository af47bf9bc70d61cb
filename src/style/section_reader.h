// The key loop shared by the [Style] and [Format] section readers.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "kavotbl/host/spec_file.h"
#include "kavotbl/resources/strings.h"

namespace kavo {
namespace detail {

// Headings that belong to the reader one level up: they end a section and are
// read again by the registry or table reader.
inline bool IsOuterHeading(const CKAVOString& strKey) {
    return strKey.CompareNoCase("[Table]") == 0 || strKey.CompareNoCase("[Style]") == 0 ||
           strKey.CompareNoCase("[Format]") == 0;
}

// Reads the keys of a section up to the end of the file or the next heading.
// handleKey(strKey, strValue) takes one key and returns false for a key it
// does not know, which is reported with its line. An outer heading is pushed
// back for the caller's reader; any other heading is reported and its section
// skipped, as it cannot be read here. Always 1: a section never fails.
template <typename KeyHandler>
int ReadSectionKeys(CSpecFile& file, KeyHandler&& handleKey) {
    if (file.IsEOF()) return 1;

    CKAVOString strKey, strValue;
    std::vector<CKAVOString> seen;  // keys taken so far; a section has few
    while (file.GetLine(strKey, strValue) == 0) {
        if (!strKey.IsEmpty() && strKey.GetAt(0) == '[') {
            if (IsOuterHeading(strKey)) {
                file.UngetLine();
            } else {
                ShowLineMessage(IDS_INVALID_SECTION_HEADING, file.GetLineNumber(), strKey);
                file.SkipSection();
            }
            return 1;
        }
        if (!handleKey(strKey, strValue)) {
            ShowLineMessage(IDS_UNRECOGNIZED_COMMAND, file.GetLineNumber(), strKey);
            continue;
        }
        bool bTwice = false;
        for (const CKAVOString& s : seen) bTwice = bTwice || s.CompareNoCase(strKey.c_str()) == 0;
        if (bTwice)
            ReportLine(IDS_KEY_TWICE, file.GetLineNumber(), {"\"" + strKey.str() + "\""});
        else
            seen.push_back(strKey);
    }
    return 1;
}

// Reports a keyword value that is none of the words the key knows (compared
// case-insensitively), naming what it is taken as.
inline void CheckWord(const CSpecFile& file, const CKAVOString& strKey, const CKAVOString& strValue,
                      std::initializer_list<const char*> words, const char* pszTaken) {
    std::string list = "one of ";
    for (const char* w : words) {
        if (strValue.CompareNoCase(w) == 0) return;
        list += list.size() > 7 ? ", " : "";
        list += w;
    }
    ReportLine(IDS_UNKNOWN_VALUE, file.GetLineNumber(), {strKey.str(), strValue.str(), list, pszTaken});
}

}  // namespace detail
}  // namespace kavo
