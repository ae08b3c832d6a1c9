// Owned, zero-terminated string held by a record. "None" is a null pointer, never an empty
// allocation, so a record that holds no text costs eight bytes.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

namespace paginor {

class PString {
 public:
  PString() = default;
  explicit PString(std::string_view s) { set(s); }
  PString(const PString& o) { set(o.view()); }
  PString(PString&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  PString& operator=(const PString& o) {
    if (this != &o) set(o.view());
    return *this;
  }
  PString& operator=(PString&& o) noexcept {
    if (this != &o) {
      delete[] p_;
      p_ = o.p_;
      o.p_ = nullptr;
    }
    return *this;
  }
  ~PString() { delete[] p_; }

  // Stores a copy; an empty text stores none. Text after an embedded zero byte is dropped,
  // as the string is zero-terminated.
  void set(std::string_view s) {
    auto nul = s.find('\0');
    if (nul != std::string_view::npos) s = s.substr(0, nul);
    delete[] p_;
    p_ = nullptr;
    if (s.empty()) return;
    p_ = new char[s.size() + 1];
    std::memcpy(p_, s.data(), s.size());
    p_[s.size()] = '\0';
  }
  void clear() {
    delete[] p_;
    p_ = nullptr;
  }

  bool has() const { return p_ != nullptr; }
  bool empty() const { return p_ == nullptr; }
  std::string_view view() const { return p_ ? std::string_view(p_) : std::string_view(); }
  std::string str() const { return std::string(view()); }
  const char* c_str() const { return p_ ? p_ : ""; }

  friend bool operator==(const PString& a, const PString& b) { return a.view() == b.view(); }

 private:
  char* p_ = nullptr;
};

}  // namespace paginor
