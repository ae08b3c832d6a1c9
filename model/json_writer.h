// A small streaming JSON writer: locale-proof numbers, UTF-8 strings, optional indentation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace paginor {

class JsonWriter {
 public:
  explicit JsonWriter(bool pretty = true) : pretty_(pretty) {}

  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  void key(std::string_view k);

  void value(std::string_view utf8);
  void value(const char* utf8) { value(std::string_view(utf8)); }
  void value(double v);
  void value(int64_t v);
  void value(int32_t v) { value(static_cast<int64_t>(v)); }
  void value(uint32_t v) { value(static_cast<int64_t>(v)); }
  void value(uint16_t v) { value(static_cast<int64_t>(v)); }
  void value(uint8_t v) { value(static_cast<int64_t>(v)); }
  void value(bool v);

  template <typename T>
  void field(std::string_view k, const T& v) {
    key(k);
    value(v);
  }

  const std::string& str() const { return out_; }

 private:
  void separate();
  void newline();
  std::string out_;
  std::vector<bool> first_;  // per open container: no element written yet
  bool pretty_;
  bool afterKey_ = false;
};

}  // namespace paginor
