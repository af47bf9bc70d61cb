// Texts of table files for the documents the writers make: old files were
// written in code page 1252, new ones in UTF-8, and every writer must know
// which one a text is before it escapes it.
#pragma once

#include <cstddef>
#include <string>

namespace kavo {

/// The code points of a text from a table file: valid UTF-8 is decoded,
/// anything else is read as Windows-1252 (the five bytes that code page
/// leaves undefined become U+FFFD).
std::u32string DecodeText(const char* pText, std::size_t nCount);
inline std::u32string DecodeText(const std::string& text) { return DecodeText(text.data(), text.size()); }

/// The same text as UTF-8.
std::string TextToUtf8(const std::string& text);

/// Appends text as RTF body text of code page 1252: backslash and braces
/// escaped, characters of the code page above 127 as \'hh, others as \uN?,
/// a tab as \tab and a line break as \line; other control bytes dropped.
void AppendRtfText(std::string& out, const std::string& text);

}  // namespace kavo
