#include "layout/spelling_marks.h"

#include <string>
#include <vector>

#include "layout/stages.h"
#include "platform/cp1252.h"

namespace paginor {

WordCheck SpellingWordCheck(TMDIChild& /*w*/) {
  return {};
}

namespace {

bool IsWordCell(const CharRec& c) {
  return c.kind == kCharText && (c.ch == '-' || isCp1252AlphaNumeric(c.ch));
}

constexpr uint8_t kMisspeltBit = 1u << kFlagMisspelt;

}  // namespace

void MarkMisspeltWords(LineRec& line, const WordCheck& check) {
  const int32_t n = line.charCount();
  // The wanted mark of every cell; written afterwards where it differs.
  std::vector<uint8_t> marked(static_cast<size_t>(n), 0);
  std::string word;
  int32_t i = 0;
  while (i < n) {
    if (!IsWordCell(line.chars[i])) {
      ++i;
      continue;
    }
    const int32_t start = i;
    word.clear();
    while (i < n && IsWordCell(line.chars[i]))
      word.push_back(static_cast<char>(line.chars[i++].ch));
    if (!check(word))
      for (int32_t k = start; k < i; ++k) marked[static_cast<size_t>(k)] = 1;
  }
  for (int32_t k = 0; k < n; ++k) {
    const bool has = line.chars[k].charFlags & kMisspeltBit;
    if (has == static_cast<bool>(marked[static_cast<size_t>(k)])) continue;
    CharRec& c = line.chars.mut(k);
    c.charFlags =
        static_cast<uint8_t>(has ? c.charFlags & ~kMisspeltBit : c.charFlags | kMisspeltBit);
  }
}

void MarkFieldSpelling(FieldLines& lines, const WordCheck& check) {
  // Every line, dirty or not: a word added to the user's list changes the marks of clean lines.
  for (int32_t i = 0; i < lines.size(); ++i) MarkMisspeltWords(lines[i], check);
}

}  // namespace paginor
