#include "model/json_writer.h"

#include <charconv>
#include <cmath>

namespace paginor {

void JsonWriter::newline() {
  if (!pretty_) return;
  out_ += '\n';
  out_.append(first_.size() * 2, ' ');
}

void JsonWriter::separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
    newline();
  }
}

void JsonWriter::beginObject() {
  separate();
  out_ += '{';
  first_.push_back(true);
}

void JsonWriter::endObject() {
  bool empty = first_.back();
  first_.pop_back();
  if (!empty) newline();
  out_ += '}';
}

void JsonWriter::beginArray() {
  separate();
  out_ += '[';
  first_.push_back(true);
}

void JsonWriter::endArray() {
  bool empty = first_.back();
  first_.pop_back();
  if (!empty) newline();
  out_ += ']';
}

void JsonWriter::key(std::string_view k) {
  separate();
  afterKey_ = true;  // the key's own string must not separate again
  value(k);
  out_ += pretty_ ? ": " : ":";
  afterKey_ = true;
}

void JsonWriter::value(std::string_view s) {
  separate();
  out_ += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"': out_ += "\\\""; break;
      case '\\': out_ += "\\\\"; break;
      case '\n': out_ += "\\n"; break;
      case '\r': out_ += "\\r"; break;
      case '\t': out_ += "\\t"; break;
      default:
        if (c < 0x20) {
          static const char* hex = "0123456789abcdef";
          out_ += "\\u00";
          out_ += hex[c >> 4];
          out_ += hex[c & 15];
        } else {
          out_ += static_cast<char>(c);
        }
    }
  }
  out_ += '"';
}

void JsonWriter::value(double v) {
  separate();
  if (!std::isfinite(v)) {
    out_ += "null";
    return;
  }
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out_.append(buf, r.ptr);
}

void JsonWriter::value(int64_t v) {
  separate();
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out_.append(buf, r.ptr);
}

void JsonWriter::value(bool v) {
  separate();
  out_ += v ? "true" : "false";
}

}  // namespace paginor
