#include "text_encoding.h"

#include <cstdint>

namespace kavo {
namespace cairo_detail {

namespace {

// 0x80-0x9F of Windows-1252; 0 marks the five bytes the code page leaves
// undefined. The rest of the code page coincides with Latin-1.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

bool IsValidUtf8(const char* pText, int nCount) {
    const auto* p = reinterpret_cast<const unsigned char*>(pText);
    int i = 0;
    while (i < nCount) {
        const unsigned c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int nTrail;
        std::uint32_t cp;
        std::uint32_t nMin;
        if (c >= 0xC2 && c <= 0xDF) {
            nTrail = 1; cp = c & 0x1F; nMin = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            nTrail = 2; cp = c & 0x0F; nMin = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            nTrail = 3; cp = c & 0x07; nMin = 0x10000;
        } else {
            return false;  // a stray continuation byte, C0/C1 or F5-FF
        }
        if (nCount - i <= nTrail) return false;
        for (int k = 1; k <= nTrail; ++k) {
            const unsigned t = p[i + k];
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if (cp < nMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += nTrail + 1;
    }
    return true;
}

std::string ToUtf8(const char* pText, int nCount) {
    if (nCount <= 0) return std::string();
    if (IsValidUtf8(pText, nCount)) return std::string(pText, static_cast<std::size_t>(nCount));
    std::string out;
    out.reserve(static_cast<std::size_t>(nCount) * 2);
    const auto* p = reinterpret_cast<const unsigned char*>(pText);
    for (int i = 0; i < nCount; ++i) {
        const unsigned c = p[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0xA0) {
            const std::uint16_t cp = kCp1252High[c - 0x80];
            AppendUtf8(out, cp ? cp : 0xFFFD);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

}  // namespace cairo_detail
}  // namespace kavo
