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
  if (count_ % kStride == 0) marks_.push_back(static_cast<uint32_t>(at));
  ++count_;
  end_ = own_.size();
}

void PatternGroup::refer(const char* block, size_t begin, size_t end, size_t count) {
  if (count == 0) return;
  if (count_ == 0) {
    own_.clear();
    marks_.clear();
    marks_.reserve((count + kStride - 1) / kStride);
    outside_ = block;
    const char* p = block + begin;
    for (size_t i = 0; i < count; ++i, p = next(p))
      if (i % kStride == 0) marks_.push_back(static_cast<uint32_t>(p - block));
    count_ = count;
    end_ = end;
    return;
  }
  const char* p = block + begin;
  for (size_t i = 0; i < count; ++i, p = next(p))
    append(std::string_view(p + 1, static_cast<uint8_t>(p[0])),
           std::string_view(p + 3 + static_cast<uint8_t>(p[0]), 2 * pairCount(p)));
}

const char* PatternGroup::entry(size_t i) const {
  const char* p = base() + marks_[i / kStride];
  for (size_t k = i % kStride; k > 0; --k) p = next(p);
  return p;
}

void PatternGroup::takeOver() {
  if (!outside_) return;
  PatternGroup copy;
  for (const char* p = outside_ + marks_[0], *end = outside_ + end_; p < end; p = next(p))
    copy.append(std::string_view(p + 1, static_cast<uint8_t>(p[0])),
                std::string_view(p + 3 + static_cast<uint8_t>(p[0]), 2 * pairCount(p)));
  *this = std::move(copy);
}

PatternGaps PatternGroup::gapsOf(size_t i) const {
  PatternGaps out;
  for (PatternGaps::Pair pair : gaps(i)) out.push_back(pair);
  return out;
}

void PatternGroup::sortByText() {
  if (count_ < 2) return;
  const char* base = this->base();
  const char* end = base + end_;
  // Files come sorted; checking that must not cost an entry list.
  bool sorted = true;
  std::string_view previous = textAt(base + marks_[0]);
  for (const char* p = next(base + marks_[0]); p < end && sorted; p = next(p)) {
    const std::string_view t = textAt(p);
    sorted = !(t < previous);
    previous = t;
  }
  if (sorted) return;
  std::vector<const char*> entries;
  entries.reserve(count_);
  for (const char* p = base + marks_[0]; p < end; p = next(p)) entries.push_back(p);
  std::stable_sort(entries.begin(), entries.end(),
                   [](const char* a, const char* b) { return textAt(a) < textAt(b); });
  PatternGroup ordered;
  for (const char* p : entries)
    ordered.append(std::string_view(p + 1, static_cast<uint8_t>(p[0])),
                   std::string_view(p + 3 + static_cast<uint8_t>(p[0]), 2 * pairCount(p)));
  *this = std::move(ordered);
}

}  // namespace paginor
