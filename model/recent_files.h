// The list of recently used files shown at the end of the File menu: full paths, most recent
// first, at most `maximum` of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace paginor {

inline constexpr int32_t kDefaultRecentMaximum = 4;
// Longest text a menu entry shows of a path, in characters.
inline constexpr size_t kRecentCaptionLength = 25;

class RecentFiles {
 public:
  // Removes every entry equal to `path` (exact comparison), puts the path first and drops
  // entries beyond the maximum from the end.
  void add(const std::string& path);

  // Cuts the list to the maximum by dropping entries from the front (the most recent ones), as
  // the File menu does each time it is rebuilt, e.g. after the maximum was lowered.
  void cutForMenu();

  // The menu captions after cutForMenu(): "&1 " + shortened path, "&2 " + ..., UTF-8.
  std::vector<std::string> menuCaptions();

  const std::vector<std::string>& entries() const { return entries_; }
  // Replaces the list (settings file); no cutting.
  void setEntries(std::vector<std::string> entries) { entries_ = std::move(entries); }

  // Up to 1000; a negative value counts as 0.
  int32_t maximum() const { return maximum_; }
  void setMaximum(int32_t maximum);

 private:
  std::vector<std::string> entries_;
  int32_t maximum_ = kDefaultRecentMaximum;
};

// How a path is shown in the menu: up to 25 characters as it is; longer, its file name; a file
// name still longer than 25 characters is cut to its first 24 followed by "...". Characters are
// counted as UTF-8 characters (bytes when the path is no valid UTF-8).
std::string ShortenRecentPath(std::string_view path);

}  // namespace paginor
