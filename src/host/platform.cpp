// Stand-ins for the host platform's services: message boxes, profile values
// and the wait cursor.
#include "kavotbl/host/platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>

#if defined(__unix__) || defined(__APPLE__)
#include <langinfo.h>
#include <locale.h>
#define KAVO_HAVE_NEWLOCALE 1
#endif

namespace kavo {

namespace {

int DefaultMessageBox(const CKAVOString& strText, unsigned nType) {
    (void)nType;
    std::fwrite(strText.c_str(), 1, static_cast<std::size_t>(strText.GetLength()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    return IDOK;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return CKAVOString(a).CompareNoCase(b.c_str()) == 0 && a.size() == b.size();
}

std::string Trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

// Reads key in section of an INI file: "[section]" lines, "key=value" lines,
// ";" comments, names compared without regard to case; the first match wins.
bool ReadIniFile(const char* pszPath, const std::string& strSection, const std::string& strKey,
                 std::string& strValue) {
    std::ifstream in(pszPath, std::ios::binary);
    if (!in) return false;
    std::string line;
    bool bInSection = false;
    while (std::getline(in, line)) {
        const std::string t = Trim(line);
        if (t.empty() || t[0] == ';') continue;
        if (t[0] == '[') {
            const std::size_t close = t.find(']');
            bInSection = EqualNoCase(Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1)),
                                     strSection);
            continue;
        }
        if (!bInSection) continue;
        const std::size_t eq = t.find('=');
        if (eq == std::string::npos) continue;
        if (EqualNoCase(Trim(t.substr(0, eq)), strKey)) {
            strValue = Trim(t.substr(eq + 1));
            return true;
        }
    }
    return false;
}

// Regional settings of the user's locale, read without touching the
// process's own locale. Empty answers count as absent.
bool ReadLocale(const std::string& strSection, const std::string& strKey, std::string& strValue) {
#if KAVO_HAVE_NEWLOCALE
    if (!EqualNoCase(strSection, "intl")) return false;
    const bool bDecimal = EqualNoCase(strKey, "sDecimal");
    const bool bThousand = EqualNoCase(strKey, "sThousand");
    if (!bDecimal && !bThousand) return false;
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return false;
    const char* p = nl_langinfo_l(bDecimal ? RADIXCHAR : THOUSEP, loc);
    std::string v = p ? p : "";
    freelocale(loc);
    if (v.empty()) return false;
    strValue = std::move(v);
    return true;
#else
    (void)strSection;
    (void)strKey;
    (void)strValue;
    return false;
#endif
}

bool DefaultProfileSource(const std::string& strSection, const std::string& strKey, std::string& strValue) {
    if (const char* path = std::getenv("KAVO_WININI"); path && *path)
        return ReadIniFile(path, strSection, strKey, strValue);
    return ReadLocale(strSection, strKey, strValue);
}

MessageBoxHandler& CurrentMessageBoxHandler() {
    static MessageBoxHandler s_handler;
    return s_handler;
}

ProfileSource& CurrentProfileSource() {
    static ProfileSource s_source;
    return s_source;
}

std::function<void()>& WaitBegin() {
    static std::function<void()> s_begin;
    return s_begin;
}

std::function<void()>& WaitEnd() {
    static std::function<void()> s_end;
    return s_end;
}

}  // namespace

int KAVOMessageBox(const CKAVOString& strText, unsigned nType) {
    // Called through a copy, so a handler may replace itself safely.
    const MessageBoxHandler handler = CurrentMessageBoxHandler();
    return handler ? handler(strText, nType) : DefaultMessageBox(strText, nType);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(CurrentMessageBoxHandler(), std::move(handler));
}

ProfileSource SetProfileSource(ProfileSource source) {
    return std::exchange(CurrentProfileSource(), std::move(source));
}

int GetProfileString(const char* pszSection, const char* pszKey, const char* pszDefault, char* buf, int nSize) {
    if (!buf || nSize <= 0) return 0;
    const std::string section = pszSection ? pszSection : "";
    const std::string key = pszKey ? pszKey : "";
    std::string value;
    const ProfileSource source = CurrentProfileSource();
    const bool bFound = source ? source(section, key, value) : DefaultProfileSource(section, key, value);
    if (!bFound) value = pszDefault ? pszDefault : "";
    const std::size_t n = std::min(value.size(), static_cast<std::size_t>(nSize - 1));
    std::memcpy(buf, value.data(), n);
    buf[n] = '\0';
    return static_cast<int>(n);
}

void SetWaitCursorHooks(std::function<void()> begin, std::function<void()> end) {
    WaitBegin() = std::move(begin);
    WaitEnd() = std::move(end);
}

void BeginWaitCursor() {
    if (WaitBegin()) WaitBegin()();
}

void EndWaitCursor() {
    if (WaitEnd()) WaitEnd()();
}

}  // namespace kavo
