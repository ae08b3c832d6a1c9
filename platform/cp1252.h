// Windows code page 1252, the single-byte character set of document text.
#pragma once

#include <string>
#include <string_view>

namespace paginor {

// The Unicode character of a byte; the five undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control of the same value, as Windows does.
char32_t cp1252ToUnicode(unsigned char b);
// The byte of a Unicode character, or -1 when the code page has none.
int unicodeToCp1252(char32_t c);

std::string cp1252ToUtf8(std::string_view s);
// Characters without a byte in the code page become `replacement`; invalid UTF-8 sequences too.
std::string utf8ToCp1252(std::string_view s, char replacement = '?');
// Appends one Unicode character as UTF-8.
void appendUtf8(std::string& out, char32_t c);
// Decodes the UTF-8 sequence that starts at s[i] into `c` and returns its length in bytes, or 0
// when no well-formed sequence starts there: stray continuation bytes, cut sequences, overlong
// forms, surrogates and values above U+10FFFF are all refused, so that text in a single-byte
// code page is not taken for UTF-8 by accident.
size_t decodeUtf8(std::string_view s, size_t i, char32_t& c);

// The code page's letter and digit tests, as the layout and the editor use them for words.
bool isCp1252Alpha(unsigned char b);
bool isCp1252AlphaNumeric(unsigned char b);

// Case partners within the code page: a-z, à-þ (not ÷) and š, œ, ž, ÿ with their capitals.
// Letters without a partner in the code page (ß, ª, º, µ, ƒ) stay as they are.
unsigned char cp1252ToUpper(unsigned char b);
unsigned char cp1252ToLower(unsigned char b);

// A-Z to a-z, nothing else: for names of the program's own (extensions, keys, dialog controls),
// which must not fold the bytes of UTF-8 sequences.
inline char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

}  // namespace paginor
