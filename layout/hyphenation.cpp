#include "layout/hyphenation.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "layout/layout_context.h"
#include "platform/cp1252.h"
#include "platform/file_bytes.h"
#include "window/document_window.h"

namespace paginor {

namespace {

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
  // One tight pass over tens of thousands of entries at every start: plain bounds checks.
  const auto* const bytes = reinterpret_cast<const unsigned char*>(data.data());
  const size_t size = data.size();
  size_t pos = 0;
  for (int g = 0; g < kHyphenGroups && result.complete; ++g) {
    if (size - pos < 4) {
      result.complete = false;
      break;
    }
    const auto count = static_cast<int32_t>(bytes[pos] | (bytes[pos + 1] << 8) |
                                            (bytes[pos + 2] << 16) |
                                            (static_cast<uint32_t>(bytes[pos + 3]) << 24));
    pos += 4;
    const size_t begin = pos;
    size_t read = 0;
    for (int32_t i = 0; i < count; ++i) {
      const size_t left = size - pos;
      const size_t len = left > 0 ? bytes[pos] : 0;
      if (left < 3 + len) {
        result.complete = false;
        break;
      }
      const size_t pairs = bytes[pos + 1 + len] | (bytes[pos + 2 + len] << 8);
      const size_t entry = 3 + len + 2 * pairs;
      if (left < entry) {
        result.complete = false;
        break;
      }
      if (len > kHyphenMaxText || pairs > kHyphenMaxPairs) ++result.cutEntries;
      pos += entry;
      ++read;
    }
    table.groups[g].refer(data.data(), begin, pos, read);
    result.entries += read;
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
      group.forEachEqual(sub, [&](PatternGroup::Gaps gaps) {
        for (auto [pos, value] : gaps) {
          // The gap after the pattern's pos-th character; pos 0 is the gap before it.
          size_t after = start + pos;  // characters of d before the gap
          if (after < 1 || after > n - 1) continue;
          uint8_t& v = values[after - 1];
          if (value > v) v = value;
        }
      });
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
