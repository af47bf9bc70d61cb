// Texts of table files, which old files wrote in code page 1252 and new
// ones in UTF-8, decoded and escaped for the documents the writers make.
#include "kavotbl/export/text.h"

#include <cstdint>

namespace kavo {

namespace {

// 0x80-0x9F of Windows-1252; 0 marks the five bytes the code page leaves
// undefined.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The byte of code page 1252 for a code point, or -1.
int ToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] != 0 && kCp1252High[i] == cp) return 0x80 + i;
    return -1;
}

// Decodes the strict UTF-8 sequence at p[i] (no overlong forms, no
// surrogates, nothing above U+10FFFF) and moves i past it; false, with i
// unchanged, when the bytes there break the rules.
bool NextUtf8(const unsigned char* p, std::size_t n, std::size_t& i, char32_t& cp) {
    const unsigned c = p[i];
    if (c < 0x80) {
        cp = c;
        ++i;
        return true;
    }
    int nMore;
    char32_t min;
    if ((c & 0xE0) == 0xC0) {
        nMore = 1, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        nMore = 2, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        nMore = 3, cp = c & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (n - i <= static_cast<std::size_t>(nMore)) return false;  // cut short
    for (int k = 1; k <= nMore; ++k) {
        const unsigned t = p[i + static_cast<std::size_t>(k)];
        if ((t & 0xC0) != 0x80) return false;
        cp = (cp << 6) | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(nMore) + 1;
    return true;
}

bool IsUtf8(const unsigned char* p, std::size_t n) {
    char32_t cp;
    for (std::size_t i = 0; i < n;)
        if (!NextUtf8(p, n, i, cp)) return false;
    return true;
}

char32_t FromCp1252(unsigned char c) {
    if (c < 0x80 || c >= 0xA0) return c;
    const std::uint16_t cp = kCp1252High[c - 0x80];
    return cp ? cp : 0xFFFD;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUnicode(std::string& out, unsigned unit) {
    // \uN takes a signed 16-bit number; the '?' is what older readers show.
    const int v = unit > 32767 ? static_cast<int>(unit) - 65536 : static_cast<int>(unit);
    char buf[16];
    char* const end = buf + sizeof buf;
    char* b = end;
    *--b = '?';
    unsigned m = static_cast<unsigned>(v < 0 ? -v : v);
    do {
        *--b = static_cast<char>('0' + m % 10);
        m /= 10;
    } while (m);
    if (v < 0) *--b = '-';
    out += "\\u";
    out.append(b, static_cast<std::size_t>(end - b));
}

void AppendCodePoint(std::string& out, char32_t cp) {
    switch (cp) {
    case '\\': out += "\\\\"; return;
    case '{': out += "\\{"; return;
    case '}': out += "\\}"; return;
    case '\t': out += "\\tab "; return;
    case '\n': out += "\\line "; return;
    default: break;
    }
    if (cp < 0x20 || cp == 0x7F) return;  // other control bytes have no place in a document
    const int b = ToCp1252(cp);
    if (b >= 0 && b < 0x80) {
        out += static_cast<char>(b);
    } else if (b >= 0) {
        static const char hex[] = "0123456789abcdef";
        out += "\\'";
        out += hex[b >> 4];
        out += hex[b & 15];
    } else if (cp < 0x10000) {
        AppendUnicode(out, static_cast<unsigned>(cp));
    } else {
        const char32_t v = cp - 0x10000;
        AppendUnicode(out, static_cast<unsigned>(0xD800 + (v >> 10)));
        AppendUnicode(out, static_cast<unsigned>(0xDC00 + (v & 0x3FF)));
    }
}

}  // namespace

std::u32string DecodeText(const char* pText, std::size_t nCount) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(pText);
    std::u32string out;
    out.reserve(nCount);
    const bool bUtf8 = IsUtf8(p, nCount);
    char32_t cp;
    for (std::size_t i = 0; i < nCount;) {
        if (bUtf8) {
            NextUtf8(p, nCount, i, cp);
        } else {
            cp = FromCp1252(p[i++]);
        }
        out.push_back(cp);
    }
    return out;
}

std::string TextToUtf8(const std::string& text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    if (IsUtf8(p, text.size())) return text;
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size(); ++i) AppendUtf8(out, FromCp1252(p[i]));
    return out;
}

void AppendRtfText(std::string& out, const std::string& text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    bool bHigh = false;
    for (std::size_t i = 0; i < n && !bHigh; ++i) bHigh = p[i] >= 0x80;
    const bool bUtf8 = !bHigh || IsUtf8(p, n);
    for (std::size_t i = 0; i < n;) {
        // Runs of characters that stand for themselves go in whole.
        const std::size_t start = i;
        while (i < n && p[i] >= 0x20 && p[i] < 0x7F && p[i] != '\\' && p[i] != '{' && p[i] != '}') ++i;
        out.append(text, start, i - start);
        if (i >= n) break;
        char32_t cp;
        if (p[i] == '\r') {
            // CR LF is one line break, a CR alone another.
            if (i + 1 < n && p[i + 1] == '\n') ++i;
            cp = U'\n';
            ++i;
        } else if (bUtf8) {
            NextUtf8(p, n, i, cp);
        } else {
            cp = FromCp1252(p[i++]);
        }
        AppendCodePoint(out, cp);
    }
}

}  // namespace kavo
