// Hyphenation data: the pattern tables the application shares between its windows, and the
// per-window cache of split words.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace paginor {

struct HyphenPattern {
  std::string text;  // at most 20 bytes, Windows-1252, "." marks the word boundary
  // (position, value) pairs: position p is the gap after the pattern's p-th character.
  std::vector<std::pair<uint8_t, uint8_t>> gaps;  // at most 10
};

inline constexpr int kHyphenGroups = 20;

struct HyphenTable {
  bool loaded = false;
  // The file ended inside an entry; the table stays empty. Told once, by the first caller that
  // can show it (a table read in the middle of a layout pass waits for that caller).
  bool damaged = false;
  bool damageTold = false;
  // groups[g - 1] holds the patterns of g characters.
  std::array<std::vector<HyphenPattern>, kHyphenGroups> groups;
};

// Words already split by a window, keyed by their upper-case form.
struct HyphenCache {
  std::unordered_map<std::string, std::string> words;
};

}  // namespace paginor
