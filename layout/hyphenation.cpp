#include "layout/hyphenation.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <vector>

#include "layout/layout_context.h"
#include "platform/cp1252.h"
#include "platform/file_bytes.h"
#include "window/document_window.h"

namespace paginor {

namespace {

// Reads little-endian values from a byte range, refusing anything past its end.
class ByteReader {
 public:
  explicit ByteReader(std::string_view data) : data_(data) {}
  std::optional<uint8_t> u8() {
    if (pos_ >= data_.size()) return std::nullopt;
    return static_cast<uint8_t>(data_[pos_++]);
  }
  std::optional<uint16_t> u16() {
    if (data_.size() - pos_ < 2) return std::nullopt;
    uint16_t v = static_cast<uint16_t>(byte(0) | (byte(1) << 8));
    pos_ += 2;
    return v;
  }
  std::optional<int32_t> i32() {
    if (data_.size() - pos_ < 4) return std::nullopt;
    uint32_t v =
        byte(0) | (byte(1) << 8) | (byte(2) << 16) | (static_cast<uint32_t>(byte(3)) << 24);
    pos_ += 4;
    return static_cast<int32_t>(v);
  }
  std::optional<std::string_view> bytes(size_t n) {
    if (data_.size() - pos_ < n) return std::nullopt;
    std::string_view s = data_.substr(pos_, n);
    pos_ += n;
    return s;
  }
  size_t remaining() const { return data_.size() - pos_; }

 private:
  uint32_t byte(size_t i) const { return static_cast<uint8_t>(data_[pos_ + i]); }
  std::string_view data_;
  size_t pos_ = 0;
};

// Skips the next entry; false when the data ends inside it.
bool skipEntry(ByteReader& in, bool& cut) {
  auto len = in.u8();
  if (!len || !in.bytes(*len)) return false;
  auto count = in.u16();
  if (!count || !in.bytes(2 * size_t{*count})) return false;
  cut = *len > kHyphenMaxText || *count > kHyphenMaxPairs;
  return true;
}

char upperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

HyphenReadResult ReadHyphenPatterns(std::shared_ptr<const void> holder, std::string_view data,
                                    HyphenTable& table) {
  HyphenReadResult result;
  // Entries are found by 32-bit offsets; no pattern file comes near that size.
  if (data.size() > UINT32_MAX) {
    result.complete = false;
    return result;
  }
  ByteReader in(data);
  for (int g = 0; g < kHyphenGroups && result.complete; ++g) {
    auto count = in.i32();
    if (!count) {
      result.complete = false;
      break;
    }
    PatternGroup& group = table.groups[g];
    // An entry takes at least three bytes; a count beyond that cannot be met.
    group.reserveMore(std::min<size_t>(std::max(*count, 0), in.remaining() / 3));
    for (int32_t i = 0; i < *count; ++i) {
      const size_t at = data.size() - in.remaining();
      bool cut = false;
      if (!skipEntry(in, cut)) {
        result.complete = false;
        break;
      }
      group.refer(data.data(), static_cast<uint32_t>(at));
      if (cut) ++result.cutEntries;
      ++result.entries;
    }
  }
  table.bytes.push_back(std::move(holder));
  SortHyphenGroups(table);
  return result;
}

HyphenReadResult ReadHyphenPatterns(std::string_view data, HyphenTable& table) {
  auto copy = std::make_shared<const std::string>(data);
  return ReadHyphenPatterns(copy, *copy, table);
}

void SortHyphenGroups(HyphenTable& table) {
  for (PatternGroup& group : table.groups) group.sortByText();
}

std::string SplitWithTable(const HyphenTable& table, std::string_view word) {
  // The searched string: the word lower-cased (ASCII only) between two boundary marks.
  std::string d;
  d.reserve(word.size() + 2);
  d += '.';
  for (char c : word) d += LowerAscii(c);
  d += '.';
  const size_t n = d.size();
  // values[k] belongs to the gap after the (k + 1)-th character of d.
  std::vector<uint8_t> values(n - 1, 0);
  const size_t longest = std::min(kHyphenMaxSearched, n - 1);
  for (size_t len = 2; len <= longest; ++len) {
    const PatternGroup& group = table.groups[len - 1];
    if (group.empty()) continue;
    for (size_t start = 0; start + len <= n; ++start) {
      std::string_view sub(d.data() + start, len);
      // The first entry whose text is not below sub.
      size_t first = 0;
      for (size_t count = group.size(); count > 0;) {
        const size_t half = count / 2;
        if (group.text(first + half) < sub) {
          first += half + 1;
          count -= half + 1;
        } else {
          count = half;
        }
      }
      for (size_t e = first; e < group.size() && group.text(e) == sub; ++e) {
        for (auto [pos, value] : group.gaps(e)) {
          // The gap after the pattern's pos-th character; pos 0 is the gap before it.
          size_t after = start + pos;  // characters of d before the gap
          if (after < 1 || after > n - 1) continue;
          uint8_t& v = values[after - 1];
          if (value > v) v = value;
        }
      }
    }
  }
  std::string out;
  out.reserve(word.size() * 2);
  for (size_t k = 0; k < word.size(); ++k) {
    out += word[k];
    // Between the word's (k + 1)-th and (k + 2)-th character lies the gap after d's (k + 2)-th.
    if (k + 1 < word.size() && (values[k + 1] & 1)) out += '-';
  }
  return out;
}

const char* HyphenFileName(int language) {
  return language != 0 ? "english0.hyp" : "german0.hyp";
}

namespace {

HyphenTable& bindTable(TMDIChild& w) {
  const int language = w.doc.language != 0 ? 1 : 0;
  HyphenTable& table = w.app.hyphenTables[language];
  w.hyphenTable = &table;
  if (table.loaded) return table;
  // Marked first: a file that cannot be read is not tried again in this run.
  table.loaded = true;
  std::string dir = w.programDir.empty() ? w.app.paths().programDataDir() : w.programDir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  // Far beyond any pattern file; entries are found by 32-bit offsets.
  constexpr size_t kMaxPatternFile = size_t{256} << 20;
  std::shared_ptr<const FileBytes> data =
      FileBytes::read(dir + HyphenFileName(language), kMaxPatternFile);
  if (!data) return table;
  HyphenTable read;
  HyphenReadResult r = ReadHyphenPatterns(data, data->view(), read);
  if (!r.complete) {
    table.damaged = true;
    return table;
  }
  table.groups = std::move(read.groups);
  table.bytes = std::move(read.bytes);
  return table;
}

}  // namespace

void BindHyphenData(TMDIChild& w) {
  bindTable(w);
}

Result OpenHyphenData(TMDIChild& w) {
  HyphenTable& table = bindTable(w);
  if (!table.damaged || table.damageTold) return {};
  table.damageTold = true;
  const char* name = HyphenFileName(w.doc.language != 0 ? 1 : 0);
  Failure f = ReadingFailure(FailureKind::Damaged,
                             std::string("Die Silbentrennungsdatei „") + name +
                                 "“ ist beschädigt. Die automatische Silbentrennung bleibt für "
                                 "diese Sprache ausgeschaltet.");
  f.icon = MsgIcon::Warning;
  f.part = name;
  return Result::DoneWithWarning(std::move(f));
}

void FreeHyphenData(TMDIChild& w) {
  w.hyphenCache.words.clear();
}

std::string Hyphenator::split(std::string_view word) const {
  if (!table) return std::string(word);
  std::string key(word);
  for (char& c : key) c = upperAscii(c);
  if (cache) {
    auto it = cache->words.find(key);
    if (it != cache->words.end()) return it->second;
  }
  std::string result = SplitWithTable(*table, word);
  if (cache) cache->words.emplace(std::move(key), result);
  return result;
}

std::string TrenneSilben(TMDIChild& w, std::string_view word) {
  // A window not bound yet (created before its language was known) binds on first use.
  if (!w.hyphenTable) bindTable(w);
  return Hyphenator{w.hyphenTable, &w.hyphenCache}.split(word);
}

}  // namespace paginor
