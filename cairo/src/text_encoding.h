// Byte strings of table files as UTF-8: old files were written in the
// Windows Latin-1 code page, new ones in UTF-8.
#pragma once

#include <string>

namespace kavo {
namespace cairo_detail {

/// True when the bytes form valid UTF-8 (no overlong forms, no surrogates,
/// nothing above U+10FFFF).
bool IsValidUtf8(const char* pText, int nCount);

/// The text as UTF-8: valid UTF-8 unchanged, anything else read as
/// Windows-1252 and converted. Bytes that code page leaves undefined
/// become U+FFFD.
std::string ToUtf8(const char* pText, int nCount);

}  // namespace cairo_detail
}  // namespace kavo
