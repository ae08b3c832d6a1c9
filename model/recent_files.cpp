#include "model/recent_files.h"

#include <algorithm>

namespace paginor {

namespace {

// Byte offsets of the UTF-8 characters of `s`; empty when `s` is no valid UTF-8, in which case
// callers count bytes.
std::vector<size_t> characterStarts(std::string_view s) {
  std::vector<size_t> starts;
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    size_t len = b < 0x80           ? 1
                 : (b >> 5) == 0x6  ? 2
                 : (b >> 4) == 0xE  ? 3
                 : (b >> 3) == 0x1E ? 4
                                    : 0;
    if (len == 0 || i + len > s.size()) return {};
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return {};
    starts.push_back(i);
    i += len;
  }
  return starts;
}

size_t characterCount(std::string_view s) {
  const auto starts = characterStarts(s);
  return starts.empty() ? s.size() : starts.size();
}

// The first `n` characters of `s`.
std::string_view firstCharacters(std::string_view s, size_t n) {
  const auto starts = characterStarts(s);
  if (starts.empty()) return s.substr(0, n);
  return n < starts.size() ? s.substr(0, starts[n]) : s;
}

}  // namespace

void RecentFiles::add(const std::string& path) {
  std::erase(entries_, path);
  entries_.insert(entries_.begin(), path);
  if (entries_.size() > static_cast<size_t>(maximum_)) entries_.resize(maximum_);
}

void RecentFiles::cutForMenu() {
  // The menu drops from the front, unlike add(): this is how the File menu has always trimmed
  // a list whose maximum was lowered.
  while (entries_.size() > static_cast<size_t>(maximum_)) entries_.erase(entries_.begin());
}

std::vector<std::string> RecentFiles::menuCaptions() {
  cutForMenu();
  std::vector<std::string> captions;
  for (size_t i = 0; i < entries_.size(); ++i)
    captions.push_back("&" + std::to_string(i + 1) + " " + ShortenRecentPath(entries_[i]));
  return captions;
}

void RecentFiles::setMaximum(int32_t maximum) {
  maximum_ = std::clamp(maximum, 0, 1000);
}

std::string ShortenRecentPath(std::string_view path) {
  if (characterCount(path) <= kRecentCaptionLength) return std::string(path);
  const size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (characterCount(name) <= kRecentCaptionLength) return std::string(name);
  return std::string(firstCharacters(name, kRecentCaptionLength - 1)) + "...";
}

}  // namespace paginor
