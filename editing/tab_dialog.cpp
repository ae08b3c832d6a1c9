#include "editing/tab_dialog.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "editing/formatting.h"
#include "editing/typed_number.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {

namespace {

// Positions come back from millimetres divided by ten; a typed "3,5" must still meet a stored
// 35 mm.
constexpr double kSamePosition = 1e-9;

bool validIndex(const TabDialog& d, int i) {
  return i >= 0 && i < static_cast<int>(d.stops.size());
}

}  // namespace

TabDialog TabDialogFor(const TMDIChild& w) {
  const ParagraphFormat p = getabsatzformat(w).para;
  TabDialog d;
  d.defaultWidth = p.defaultTabWidth / 10;
  for (const TabStop& t : p.tabs)
    d.stops.push_back({t.position / 10, std::clamp(t.alignment, 0, 3), std::clamp(t.fill, 0, 3)});
  // A file may hold its stops in any order; the list shows them ascending.
  std::stable_sort(
      d.stops.begin(), d.stops.end(),
      [](const TabDialog::Stop& a, const TabDialog::Stop& b) { return a.position < b.position; });
  SelectTabStop(d, d.stops.empty() ? -1 : 0);
  return d;
}

std::string SetTabStop(TabDialog& d) {
  const std::optional<double> v = TypedNumber(d.positionText);
  if (!v) return kTabNotANumber;
  if (*v <= 0 || *v > TabDialog::kMaxPositionCm) return kTabOutOfRange;
  const TabDialog::Stop stop{*v, d.alignment, d.fill};
  auto at = std::find_if(d.stops.begin(), d.stops.end(), [&](const TabDialog::Stop& s) {
    return s.position >= *v - kSamePosition;
  });
  if (at != d.stops.end() && std::abs(at->position - *v) <= kSamePosition) {
    at->alignment = d.alignment;
    at->fill = d.fill;
  } else {
    at = d.stops.insert(at, stop);
  }
  d.selected = static_cast<int>(at - d.stops.begin());
  return {};
}

void SelectTabStop(TabDialog& d, int index) {
  d.selected = validIndex(d, index) ? index : -1;
  if (d.selected < 0) return;
  const TabDialog::Stop& s = d.stops[static_cast<size_t>(d.selected)];
  d.alignment = s.alignment;
  d.fill = s.fill;
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, s.position);
  d.positionText.assign(buf, res.ptr);
  std::replace(d.positionText.begin(), d.positionText.end(), '.', ',');
}

void ChooseTabAlignment(TabDialog& d, int alignment) {
  d.alignment = std::clamp(alignment, 0, 3);
  if (validIndex(d, d.selected)) d.stops[static_cast<size_t>(d.selected)].alignment = d.alignment;
}

void ChooseTabFill(TabDialog& d, int fill) {
  d.fill = std::clamp(fill, 0, 3);
  if (validIndex(d, d.selected)) d.stops[static_cast<size_t>(d.selected)].fill = d.fill;
}

void DeleteTabStop(TabDialog& d) {
  if (!validIndex(d, d.selected)) return;
  d.stops.erase(d.stops.begin() + d.selected);
  SelectTabStop(d, std::min(d.selected, static_cast<int>(d.stops.size()) - 1));
}

void DeleteAllTabStops(TabDialog& d) {
  d.stops.clear();
  d.selected = -1;
}

void ApplyTabDialog(TMDIChild& w, const TabDialog& d) {
  AbsatzFormat format = getabsatzformat(w);
  ParagraphFormat& p = format.para;
  if (std::isfinite(d.defaultWidth))
    p.defaultTabWidth =
        std::clamp(d.defaultWidth, TabDialog::kMinDefaultCm, TabDialog::kMaxDefaultCm) * 10;
  std::vector<TabStop> stops;
  for (const TabDialog::Stop& s : d.stops) {
    // The buttons let no other value in; a record filled otherwise loses such stops instead
    // of carrying them into the layout.
    if (!std::isfinite(s.position) || s.position <= 0 || s.position > TabDialog::kMaxPositionCm)
      continue;
    stops.push_back({s.position * 10, std::clamp(s.alignment, 0, 3), std::clamp(s.fill, 0, 3)});
  }
  p.tabs = TabStops(stops);
  setabsatzformat(w, format);
  SmallOvertakeFont(w);
}

void tabulator(TMDIChild& w) {
  TabDialog d = TabDialogFor(w);
  if (!w.app.dialogs().run(d)) return;
  ApplyTabDialog(w, d);
}

}  // namespace paginor
