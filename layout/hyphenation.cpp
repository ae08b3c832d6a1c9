#include "layout/hyphenation.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "layout/layout_context.h"
#include "model/document_window.h"

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

// One entry; nullopt when the data ends inside it.
std::optional<HyphenPattern> readEntry(ByteReader& in, bool& cut) {
  auto len = in.u8();
  if (!len) return std::nullopt;
  auto text = in.bytes(*len);
  if (!text) return std::nullopt;
  auto count = in.u16();
  if (!count) return std::nullopt;
  // Each pair is two bytes: a count beyond the data is known to be truncated before reading.
  if (in.remaining() / 2 < *count) return std::nullopt;
  HyphenPattern p;
  p.text = text->substr(0, kHyphenMaxText);
  p.gaps.reserve(std::min<size_t>(*count, kHyphenMaxPairs));
  for (uint16_t k = 0; k < *count; ++k) {
    uint8_t pos = *in.u8();
    uint8_t value = *in.u8();
    if (p.gaps.size() < kHyphenMaxPairs) p.gaps.emplace_back(pos, value);
  }
  cut = *len > kHyphenMaxText || *count > kHyphenMaxPairs;
  return p;
}

bool textLess(const HyphenPattern& a, const HyphenPattern& b) {
  return a.text < b.text;
}

char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char upperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool readFile(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  // One read of the whole file: the tables are read at every start.
  f.seekg(0, std::ios::end);
  const std::streamoff size = f.tellg();
  f.seekg(0, std::ios::beg);
  if (size < 0 || !f) return false;
  out.resize(static_cast<size_t>(size));
  f.read(out.data(), size);
  return f.gcount() == size;
}

}  // namespace

HyphenReadResult ReadHyphenPatterns(std::string_view data, HyphenTable& table) {
  HyphenReadResult result;
  ByteReader in(data);
  for (int g = 0; g < kHyphenGroups && result.complete; ++g) {
    auto count = in.i32();
    if (!count) {
      result.complete = false;
      break;
    }
    std::vector<HyphenPattern>& group = table.groups[g];
    // An entry takes at least three bytes; a count beyond that cannot be met.
    group.reserve(group.size() + std::min<size_t>(std::max(*count, 0), in.remaining() / 3));
    for (int32_t i = 0; i < *count; ++i) {
      bool cut = false;
      auto entry = readEntry(in, cut);
      if (!entry) {
        result.complete = false;
        break;
      }
      if (cut) ++result.cutEntries;
      group.push_back(std::move(*entry));
      ++result.entries;
    }
  }
  SortHyphenGroups(table);
  return result;
}

void SortHyphenGroups(HyphenTable& table) {
  for (auto& group : table.groups) {
    if (!std::is_sorted(group.begin(), group.end(), textLess))
      std::stable_sort(group.begin(), group.end(), textLess);
  }
}

std::string SplitWithTable(const HyphenTable& table, std::string_view word) {
  // The searched string: the word lower-cased (ASCII only) between two boundary marks.
  std::string d;
  d.reserve(word.size() + 2);
  d += '.';
  for (char c : word) d += lowerAscii(c);
  d += '.';
  const size_t n = d.size();
  // values[k] belongs to the gap after the (k + 1)-th character of d.
  std::vector<uint8_t> values(n - 1, 0);
  const size_t longest = std::min(kHyphenMaxSearched, n - 1);
  for (size_t len = 2; len <= longest; ++len) {
    const std::vector<HyphenPattern>& group = table.groups[len - 1];
    if (group.empty()) continue;
    for (size_t start = 0; start + len <= n; ++start) {
      std::string_view sub(d.data() + start, len);
      auto first = std::lower_bound(
          group.begin(), group.end(), sub,
          [](const HyphenPattern& p, std::string_view s) { return p.text.view() < s; });
      for (auto it = first; it != group.end() && it->text == sub; ++it) {
        for (auto [pos, value] : it->gaps) {
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

void OpenHyphenData(TMDIChild& w) {
  const int language = w.doc.language != 0 ? 1 : 0;
  HyphenTable& table = w.app.hyphenTables[language];
  w.hyphenTable = &table;
  if (table.loaded) return;
  // Marked first: a file that cannot be read is not tried again in this run.
  table.loaded = true;
  std::string dir = w.programDir.empty() ? w.app.paths().programDataDir() : w.programDir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  const char* name = HyphenFileName(language);
  std::string data;
  if (!readFile(dir + name, data)) return;
  HyphenTable read;
  HyphenReadResult r = ReadHyphenPatterns(data, read);
  if (!r.complete) {
    w.app.message(std::string("Die Silbentrennungsdatei „") + name +
                      "“ ist beschädigt. Die automatische Silbentrennung bleibt für "
                      "diese Sprache ausgeschaltet.",
                  MsgIcon::Warning);
    return;
  }
  table.groups = std::move(read.groups);
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
  if (!w.hyphenTable) OpenHyphenData(w);
  return Hyphenator{w.hyphenTable, &w.hyphenCache}.split(word);
}

}  // namespace paginor
