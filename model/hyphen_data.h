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
// text, a 16-bit little-endian pair count and the pairs. Entries read from a file are used where
// they lie in the file's bytes (the table keeps them), so that reading tens of thousands of
// patterns costs one pass and an index, not a copy: most of what a start costs. Entries added
// one by one are held by the group itself. Texts beyond 20 bytes and pairs beyond 10 are cut
// when read.
class PatternGroup {
 public:
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

  size_t size() const { return at_.size(); }
  bool empty() const { return at_.empty(); }
  // Room for `entries` more entries.
  void reserveMore(size_t entries) { at_.reserve(at_.size() + entries); }
  void push_back(const HyphenPattern& p);
  // Adds an entry from its text and its pairs as bytes (position, value, ...), cut to 20 bytes
  // and 10 pairs.
  void append(std::string_view text, std::string_view pairs);
  // Adds the entry at `offset` in `block`, bytes outside the group that must stay in place as
  // long as the group refers to them (and hold the whole entry). A group refers to one block
  // only: entries of another block, or added to a group that holds its own, are copied.
  void refer(const char* block, uint32_t offset);
  HyphenPattern operator[](size_t i) const { return {text(i), gapsOf(i)}; }

  std::string_view text(size_t i) const {
    const char* e = entry(i);
    return {e + 1, std::min<size_t>(static_cast<uint8_t>(e[0]), PatternText::kMax)};
  }
  Gaps gaps(size_t i) const {
    const char* e = entry(i);
    const char* count = e + 1 + static_cast<uint8_t>(e[0]);
    const size_t n = static_cast<uint8_t>(count[0]) | (static_cast<uint8_t>(count[1]) << 8);
    return {count + 2, std::min<size_t>(n, PatternGaps::kMax)};
  }

  // Orders the entries by text, entries of equal text in the order they came.
  void sortByText();

 private:
  const char* base() const { return outside_ ? outside_ : own_.data(); }
  const char* entry(size_t i) const { return base() + at_[i]; }
  // Copies the entries that lie outside into the group's own bytes.
  void takeOver();
  PatternGaps gapsOf(size_t i) const;
  const char* outside_ = nullptr;  // the block the entries lie in, or null: in own_
  std::string own_;
  std::vector<uint32_t> at_;  // offsets of the entries from base()
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
