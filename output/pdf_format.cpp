#include "output/pdf_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace paginor::pdf {

void appendInt(std::string& out, int64_t value) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, r.ptr);
}

namespace {

void appendComponent(std::string& out, int component) {
  if (component <= 0) {
    out += '0';
  } else if (component >= 255) {
    out += '1';
  } else {
    // Shortest general form with 15 significant digits; for 1/255 and up it never needs an
    // exponent (general switches to one only below 1e-4).
    char buf[40];
    auto r =
        std::to_chars(buf, buf + sizeof buf, component / 255.0, std::chars_format::general, 15);
    out.append(buf, r.ptr);
  }
}

}  // namespace

std::string colourComponent(int component) {
  std::string s;
  appendComponent(s, component);
  return s;
}

void appendColour(std::string& out, int32_t colour) {
  auto c = static_cast<uint32_t>(colour);
  appendComponent(out, static_cast<int>(c & 0xFF));
  out += ' ';
  appendComponent(out, static_cast<int>((c >> 8) & 0xFF));
  out += ' ';
  appendComponent(out, static_cast<int>((c >> 16) & 0xFF));
}

std::string colourText(int32_t colour) {
  std::string s;
  appendColour(s, colour);
  return s;
}

std::string realText(double value, int decimals) {
  if (!std::isfinite(value)) return "0";
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) return "0";
  std::string s(buf, r.ptr);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

std::string escapeString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  appendEscaped(out, text);
  return out;
}

void appendEscaped(std::string& out, std::string_view text) {
  for (unsigned char b : text) {
    switch (b) {
      case '\\':
        out += "\\\\";
        break;
      case '(':
        out += "\\(";
        break;
      case ')':
        out += "\\)";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        if (b < 32) {
          out += '\\';
          out += static_cast<char>('0' + (b >> 6));
          out += static_cast<char>('0' + ((b >> 3) & 7));
          out += static_cast<char>('0' + (b & 7));
        } else {
          out += static_cast<char>(b);
        }
    }
  }
}

std::string escapeName(std::string_view name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(name.size());
  for (unsigned char b : name) {
    if (b == 0) continue;
    bool plain = b >= '!' && b <= '~' && !std::strchr("#%()/<>[]{}", b);
    if (plain) {
      out += static_cast<char>(b);
    } else {
      out += '#';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

std::string baseFontName(std::string_view faceName, uint8_t style) {
  std::string s = escapeName(faceName);
  bool bold = style & kStyleBold, italic = style & kStyleItalic;
  if (bold && italic)
    s += ",BoldItalic";
  else if (italic)
    s += ",Italic";
  else if (bold)
    s += ",Bold";
  return s;
}

}  // namespace paginor::pdf
