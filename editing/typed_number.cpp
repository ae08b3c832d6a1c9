#include "editing/typed_number.h"

#include <charconv>
#include <cmath>
#include <string>

namespace paginor {

std::optional<double> TypedNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  std::string s(text);
  for (char& c : s)
    if (c == ',') c = '.';  // the German decimal comma
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

}  // namespace paginor
