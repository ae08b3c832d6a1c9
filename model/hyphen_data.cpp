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
  takeOver();
  text = text.substr(0, PatternText::kMax);
  pairs = pairs.substr(0, 2 * PatternGaps::kMax);
  const size_t at = own_.size();
  own_.resize(at + 3 + text.size() + pairs.size());
  char* e = own_.data() + at;
  *e++ = static_cast<char>(text.size());
  std::memcpy(e, text.data(), text.size());
  e += text.size();
  *e++ = static_cast<char>(pairs.size() / 2);
  *e++ = 0;
  std::memcpy(e, pairs.data(), pairs.size());
  at_.push_back(static_cast<uint32_t>(at));
}

void PatternGroup::refer(const char* block, uint32_t offset) {
  if (at_.empty()) {
    outside_ = block;
    own_.clear();
  }
  if (outside_ == block) {
    at_.push_back(offset);
    return;
  }
  const char* e = block + offset;
  const char* count = e + 1 + static_cast<uint8_t>(e[0]);
  const size_t n = static_cast<uint8_t>(count[0]) | (static_cast<uint8_t>(count[1]) << 8);
  append(std::string_view(e + 1, static_cast<uint8_t>(e[0])), std::string_view(count + 2, 2 * n));
}

void PatternGroup::takeOver() {
  if (!outside_) return;
  std::vector<uint32_t> at = std::move(at_);
  const char* from = outside_;
  at_.clear();
  outside_ = nullptr;
  own_.clear();
  for (uint32_t offset : at) {
    const char* e = from + offset;
    const char* count = e + 1 + static_cast<uint8_t>(e[0]);
    const size_t n = static_cast<uint8_t>(count[0]) | (static_cast<uint8_t>(count[1]) << 8);
    append(std::string_view(e + 1, static_cast<uint8_t>(e[0])),
           std::string_view(count + 2, 2 * n));
  }
}

PatternGaps PatternGroup::gapsOf(size_t i) const {
  PatternGaps out;
  for (PatternGaps::Pair pair : gaps(i)) out.push_back(pair);
  return out;
}

void PatternGroup::sortByText() {
  const char* base = this->base();
  auto less = [base](uint32_t a, uint32_t b) {
    const char* x = base + a;
    const char* y = base + b;
    return std::string_view(x + 1, std::min<size_t>(static_cast<uint8_t>(x[0]), PatternText::kMax)) <
           std::string_view(y + 1, std::min<size_t>(static_cast<uint8_t>(y[0]), PatternText::kMax));
  };
  if (!std::is_sorted(at_.begin(), at_.end(), less))
    std::stable_sort(at_.begin(), at_.end(), less);
}

}  // namespace paginor
