// Hyphenation data: the pattern tables the application shares between its windows, and the
// per-window cache of split words.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace paginor {

// A pattern's text, at most 20 bytes, held in place: a table has tens of thousands of patterns,
// and reading them at start-up should not cost an allocation each. Longer texts are cut.
class PatternText {
 public:
  static constexpr size_t kMax = 20;

  PatternText() = default;
  PatternText(std::string_view s) { assign(s); }
  PatternText(const char* s) : PatternText(std::string_view(s)) {}
  PatternText(const std::string& s) : PatternText(std::string_view(s)) {}
  PatternText& operator=(std::string_view s) {
    assign(s);
    return *this;
  }
  PatternText& operator=(const std::string& s) { return *this = std::string_view(s); }
  PatternText& operator=(const char* s) { return *this = std::string_view(s); }

  std::string_view view() const { return {b_, n_}; }
  operator std::string_view() const { return view(); }
  operator std::string() const { return std::string(view()); }
  size_t size() const { return n_; }
  bool empty() const { return n_ == 0; }

  friend bool operator==(const PatternText& a, std::string_view b) { return a.view() == b; }
  friend bool operator<(const PatternText& a, const PatternText& b) { return a.view() < b.view(); }
  friend std::ostream& operator<<(std::ostream& o, const PatternText& t) { return o << t.view(); }

 private:
  void assign(std::string_view s) {
    n_ = static_cast<uint8_t>(std::min(s.size(), kMax));
    std::memcpy(b_, s.data(), n_);
  }
  char b_[kMax] = {};
  uint8_t n_ = 0;
};

// A pattern's (position, value) pairs, at most 10, held in place; more are dropped.
class PatternGaps {
 public:
  using Pair = std::pair<uint8_t, uint8_t>;
  static constexpr size_t kMax = 10;

  PatternGaps() = default;
  PatternGaps(std::initializer_list<Pair> pairs) {
    for (const Pair& p : pairs) push_back(p);
  }
  PatternGaps(const std::vector<Pair>& pairs) {
    for (const Pair& p : pairs) push_back(p);
  }

  size_t size() const { return n_; }
  bool empty() const { return n_ == 0; }
  const Pair* begin() const { return p_; }
  const Pair* end() const { return p_ + n_; }
  const Pair& operator[](size_t i) const { return p_[i]; }
  void reserve(size_t) {}
  void push_back(const Pair& p) {
    if (n_ < kMax) p_[n_++] = p;
  }
  void emplace_back(uint8_t pos, uint8_t value) { push_back({pos, value}); }

  friend bool operator==(const PatternGaps& a, const PatternGaps& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  Pair p_[kMax] = {};
  uint8_t n_ = 0;
};

struct HyphenPattern {
  PatternText text;  // at most 20 bytes, Windows-1252, "." marks the word boundary
  // (position, value) pairs: position p is the gap after the pattern's p-th character.
  PatternGaps gaps;  // at most 10
};

// The patterns of one length. An entry has the layout of the pattern file: a length byte, the
// text, a 16-bit little-endian pair count and the pairs; the entries lie one after the other.
// Entries read from a file are used where they lie in the file's bytes (the table keeps them),
// and only every 16th entry's place is noted: reading tens of thousands of patterns then costs
// one pass and a few pages, which is most of what a start costs. Entries added one by one are
// held by the group itself. Texts beyond 20 bytes and pairs beyond 10 are cut when read.
class PatternGroup {
 public:
  static constexpr size_t kStride = 16;  // entries per noted place

  // The pairs of an entry, read in place.
  class Gaps {
   public:
    class iterator {
     public:
      explicit iterator(const char* p) : p_(p) {}
      PatternGaps::Pair operator*() const {
        return {static_cast<uint8_t>(p_[0]), static_cast<uint8_t>(p_[1])};
      }
      iterator& operator++() {
        p_ += 2;
        return *this;
      }
      bool operator!=(const iterator& o) const { return p_ != o.p_; }

     private:
      const char* p_;
    };
    Gaps(const char* p, size_t n) : p_(p), n_(n) {}
    iterator begin() const { return iterator(p_); }
    iterator end() const { return iterator(p_ + 2 * n_); }
    size_t size() const { return n_; }

   private:
    const char* p_;
    size_t n_;
  };

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  void push_back(const HyphenPattern& p);
  // Adds an entry from its text and its pairs as bytes (position, value, ...), cut to 20 bytes
  // and 10 pairs.
  void append(std::string_view text, std::string_view pairs);
  // Adds the `count` whole entries that lie one after the other in block[begin, end), bytes
  // outside the group that must stay in place as long as the group refers to them. An empty
  // group refers to them; a group that holds entries already takes copies.
  void refer(const char* block, size_t begin, size_t end, size_t count);

  // Entry i, found from the nearest noted place (for lists and tests; the split uses
  // forEachEqual).
  HyphenPattern operator[](size_t i) const { return {textAt(entry(i)), gapsOf(i)}; }
  std::string_view text(size_t i) const { return textAt(entry(i)); }
  Gaps gaps(size_t i) const { return gapsAt(entry(i)); }

  // Calls f(gaps) for every entry whose text is `text`, in order. The group must be sorted.
  template <typename F>
  void forEachEqual(std::string_view text, F&& f) const {
    if (count_ == 0) return;
    const char* base = this->base();
    // The first noted entry whose text is not below `text`; what comes before it that could
    // match lies after the noted entry before.
    size_t lo = 0;
    for (size_t n = marks_.size(); n > 0;) {
      const size_t half = n / 2;
      if (textAt(base + marks_[lo + half]) < text) {
        lo += half + 1;
        n -= half + 1;
      } else {
        n = half;
      }
    }
    const char* end = base + end_;
    for (const char* p = base + marks_[lo == 0 ? 0 : lo - 1]; p < end; p = next(p)) {
      const std::string_view t = textAt(p);
      if (t < text) continue;
      if (t != text) break;
      f(gapsAt(p));
    }
  }

  // Orders the entries by text, entries of equal text in the order they came.
  void sortByText();

 private:
  static std::string_view textAt(const char* e) {
    return {e + 1, std::min<size_t>(static_cast<uint8_t>(e[0]), PatternText::kMax)};
  }
  static size_t pairCount(const char* e) {
    const char* count = e + 1 + static_cast<uint8_t>(e[0]);
    return static_cast<uint8_t>(count[0]) |
           (static_cast<size_t>(static_cast<uint8_t>(count[1])) << 8);
  }
  static Gaps gapsAt(const char* e) {
    return {e + 3 + static_cast<uint8_t>(e[0]), std::min<size_t>(pairCount(e), PatternGaps::kMax)};
  }
  static const char* next(const char* e) {
    return e + 3 + static_cast<uint8_t>(e[0]) + 2 * pairCount(e);
  }
  const char* base() const { return outside_ ? outside_ : own_.data(); }
  const char* entry(size_t i) const;
  // Copies the entries that lie outside into the group's own bytes.
  void takeOver();
  PatternGaps gapsOf(size_t i) const;

  const char* outside_ = nullptr;  // the block the entries lie in, or null: in own_
  std::string own_;
  size_t end_ = 0;  // offset after the last entry
  size_t count_ = 0;
  std::vector<uint32_t> marks_;  // offsets of entries 0, 16, 32, ...
};

inline constexpr int kHyphenGroups = 20;

struct HyphenTable {
  bool loaded = false;
  // The file ended inside an entry; the table stays empty. Told once, by the first caller that
  // can show it (a table read in the middle of a layout pass waits for that caller).
  bool damaged = false;
  bool damageTold = false;
  // groups[g - 1] holds the patterns of g characters.
  std::array<PatternGroup, kHyphenGroups> groups;
  // Whatever holds the file bytes the groups' entries lie in.
  std::vector<std::shared_ptr<const void>> bytes;
};

// Words already split by a window, keyed by their upper-case form.
struct HyphenCache {
  std::unordered_map<std::string, std::string> words;
};

}  // namespace paginor
