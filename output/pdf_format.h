// The small text forms of the PDF writer: numbers, colours, strings and names. All of them are
// independent of the locale, so a German desktop never gets "0,5" into a file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace paginor::pdf {

// Appends an integer in decimal, with "-" when negative.
void appendInt(std::string& out, int64_t value);
inline std::string intText(int64_t value) {
  std::string s;
  appendInt(s, value);
  return s;
}

// A colour component 0..255 as the number c / 255 with at most 15 significant digits, trailing
// zeros dropped, no exponent: 0 → "0", 255 → "1", 51 → "0.2", 128 → "0.501960784313725".
std::string colourComponent(int component);
// A 0x00BBGGRR colour as "r g b", each component as above.
std::string colourText(int32_t colour);
void appendColour(std::string& out, int32_t colour);

// A real number with at most `decimals` places after the point, trailing zeros dropped, no
// exponent; a value that rounds to zero is "0".
std::string realText(double value, int decimals);

// A text run as the body of a literal string: "\", "(" and ")" get a backslash, the C escapes
// stand for line feed, carriage return, tab, backspace and form feed, every other byte below 32
// becomes a backslash and three octal digits; bytes 32..255 stay as they are.
std::string escapeString(std::string_view text);
void appendEscaped(std::string& out, std::string_view text);

// A name's characters after the "/": bytes "!".."~" as they are except the delimiters
// # % ( ) / < > [ ] { }, every other byte from 1 to 255 (the space too) as "#" and two upper-case
// hex digits; a NUL byte is dropped.
std::string escapeName(std::string_view name);

// Font style bits of the writer's font and its font list.
inline constexpr uint8_t kStyleBold = 1;
inline constexpr uint8_t kStyleItalic = 2;
inline constexpr uint8_t kStyleUnderline = 4;
inline constexpr uint8_t kStyleStrikeOut = 8;

// The base font name of a named (not embedded) font: the escaped face name followed by
// ",BoldItalic", ",Italic" or ",Bold" as the style has it.
std::string baseFontName(std::string_view faceName, uint8_t style);

}  // namespace paginor::pdf
