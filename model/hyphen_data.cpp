#include "model/hyphen_data.h"

namespace paginor {

void PatternGroup::push_back(const HyphenPattern& p) {
  char pairs[2 * PatternGaps::kMax];
  size_t n = 0;
  for (auto [pos, value] : p.gaps) {
    pairs[n++] = static_cast<char>(pos);
    pairs[n++] = static_cast<char>(value);
  }
  append(p.text.view(), std::string_view(pairs, n));
}

void PatternGroup::append(std::string_view text, std::string_view pairs) {
  text = text.substr(0, PatternText::kMax);
  pairs = pairs.substr(0, 2 * PatternGaps::kMax);
  const size_t at = bytes_.size();
  bytes_.resize(at + 2 + text.size() + pairs.size());
  char* e = bytes_.data() + at;
  *e++ = static_cast<char>(text.size());
  std::memcpy(e, text.data(), text.size());
  e += text.size();
  *e++ = static_cast<char>(pairs.size() / 2);
  std::memcpy(e, pairs.data(), pairs.size());
  at_.push_back(static_cast<uint32_t>(at));
}

PatternGaps PatternGroup::gapsOf(size_t i) const {
  PatternGaps out;
  for (PatternGaps::Pair pair : gaps(i)) out.push_back(pair);
  return out;
}

void PatternGroup::sortByText() {
  auto less = [this](uint32_t a, uint32_t b) {
    const char* x = bytes_.data() + a;
    const char* y = bytes_.data() + b;
    return std::string_view(x + 1, static_cast<uint8_t>(x[0])) <
           std::string_view(y + 1, static_cast<uint8_t>(y[0]));
  };
  if (!std::is_sorted(at_.begin(), at_.end(), less))
    std::stable_sort(at_.begin(), at_.end(), less);
}

}  // namespace paginor
