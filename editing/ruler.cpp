#include "editing/ruler.h"

#include <algorithm>
#include <cstdlib>

#include "editing/formatting.h"
#include "model/position.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

// A press hits a marker within 4 pixels either side of it.
constexpr int32_t kMarkerReach = 4;
// Below this row an empty place on the ruler makes a new tab stop.
constexpr int32_t kNewTabRow = 11;

bool Within(int32_t v, int32_t from, int32_t to) {
  return v >= from && v <= to;
}

// The zone of a tab stop's sign: from its position − a − 2 to its position + b − a + 1.
bool OnTabSign(int32_t kind, int32_t stopX, int32_t x) {
  int32_t a = 0, b = 6;
  if (kind == kTabCentred) a = 4;
  if (kind == kTabRight || kind == kTabDecimal) a = 3, b = 8;
  return Within(x, stopX - a - 2, stopX + b - a + 1);
}

void Follow(WindowView& v, int32_t x, int32_t y, int32_t rulerWidth) {
  RulerDrag& d = v.ruler.drag;
  d.pointerX = x;
  const RulerSnap snap = SnapRuler(v.ruler.state, x, d.freePlacement, rulerWidth);
  d.snappedX = snap.x;
  d.value = snap.value;
  d.offRuler = d.mode == kRulerTabStop && (y < 0 || y >= kRulerSize);
  if (d.offRuler)
    d.guideX.reset();
  else
    d.guideX = d.snappedX;
}

void EndDrag(TMDIChild& w, WindowView& v) {
  v.ruler.drag = RulerDrag{};
  EditingOf(w).rulerDragging = false;
}

// The dragged stop moved to `position`: a stop already there gives way to it, otherwise the
// list keeps its order of position.
TabStops MoveTab(const TabStops& tabs, int32_t index, double position) {
  std::vector<TabStop> list(tabs.begin(), tabs.end());
  TabStop moved = list[index];
  moved.position = position;
  list.erase(list.begin() + index);
  std::erase_if(list, [&](const TabStop& t) { return t.position == position; });
  const auto at = std::upper_bound(list.begin(), list.end(), position,
                                   [](double p, const TabStop& t) { return p < t.position; });
  list.insert(at, moved);
  return TabStops(list);
}

}  // namespace

bool RulerMouseDown(TMDIChild& w, WindowView& v, int32_t x, int32_t y, MouseButton button,
                    int32_t rulerWidth, int32_t tabKind) {
  EditState& e = EditingOf(w);
  RulerDrag& d = v.ruler.drag;
  const RulerState& s = v.ruler.state;
  if (d.mode != kRulerIdle || e.InsertObjectMode || !s.hasWidth() ||
      !ValidPosition(w.doc, w.doc.Cursor))
    return false;
  if (button != MouseButton::Left && button != MouseButton::Right) return false;

  int32_t mode = kRulerIdle;
  int32_t tab = -1;
  auto near = [x](int32_t marker) { return std::abs(x - marker) <= kMarkerReach; };
  // A later zone wins where zones overlap.
  if (near(FirstLineMarkerX(s)) && Within(y, 2, 9)) mode = kRulerFirstLine;
  if (near(LeftMarkerX(s)) && Within(y, 10, 16)) mode = kRulerLeftKeepFirst;
  if (near(LeftMarkerX(s)) && Within(y, 17, 23)) mode = kRulerLeftIndent;
  if (near(RightMarkerX(s)) && Within(y, 10, 17)) mode = kRulerRightIndent;
  if (Within(y, 12, 18)) {
    for (int32_t i = 0; i < static_cast<int32_t>(s.tabs.size()); ++i) {
      if (OnTabSign(s.tabs[i].alignment, s.tabX(s.tabs[i].position), x)) {
        mode = kRulerTabStop;
        tab = i;
      }
    }
  }

  d = RulerDrag{};
  if (mode == kRulerIdle) {
    if (y <= kNewTabRow || x < s.leftPx || x > s.rightPx) return false;
    d.tabs = s.tabs;
    TabStop stop;
    stop.alignment = tabKind >= kTabLeft && tabKind <= kTabDecimal ? tabKind : kTabLeft;
    d.tabs.push_back(stop);
    d.tab = static_cast<int32_t>(d.tabs.size()) - 1;
    d.newTab = true;
    mode = kRulerTabStop;
  } else if (mode == kRulerTabStop) {
    d.tabs = s.tabs;
    d.tab = tab;
  }
  d.mode = mode;
  d.freePlacement = button == MouseButton::Right;
  EndTypingRun(w);
  e.rulerDragging = true;
  Follow(v, x, y, rulerWidth);
  return true;
}

bool RulerMouseMove(TMDIChild& w, WindowView& v, int32_t x, int32_t y, int32_t rulerWidth) {
  RulerDrag& d = v.ruler.drag;
  if (d.mode == kRulerIdle || d.mode == kRulerTableBorder) return false;
  // Esc ended the drag through the keyboard.
  if (!EditingOf(w).rulerDragging) {
    RulerCancel(w, v);
    return true;
  }
  if (x != d.pointerX) d.moved = true;
  Follow(v, x, y, rulerWidth);
  return true;
}

bool RulerMouseUp(TMDIChild& w, WindowView& v, int32_t x, int32_t y, int32_t rulerWidth) {
  RulerDrag& d = v.ruler.drag;
  if (d.mode == kRulerIdle || d.mode == kRulerTableBorder) return false;
  if (!EditingOf(w).rulerDragging) {
    RulerCancel(w, v);
    return false;
  }
  if (x != d.pointerX) d.moved = true;
  Follow(v, x, y, rulerWidth);
  const RulerDrag drag = d;
  const RulerState s = v.ruler.state;
  EndDrag(w, v);

  // A marker clicked without moving stays where it is: snapping it to the nearest tick would
  // move it unasked. A new stop is placed where the click was.
  if (!drag.moved && !drag.newTab && !drag.offRuler) return false;
  // A new stop dropped off the ruler was never there.
  if (drag.offRuler && drag.newTab) return false;

  AbsatzFormat f = getabsatzformat(w);
  ParagraphFormat& p = f.para;
  // Indents count from the cell's left edge.
  const double v0 = drag.value - s.leftMm - s.cellLeftMm;
  switch (drag.mode) {
    case kRulerFirstLine:
      p.indentFirstLine = v0 - p.indentLeft;
      break;
    case kRulerLeftIndent:
      p.indentLeft = v0;
      break;
    case kRulerLeftKeepFirst:
      p.indentFirstLine -= v0 - p.indentLeft;
      p.indentLeft = v0;
      break;
    case kRulerRightIndent:
      p.indentRight = s.cellRightMm - drag.value;
      break;
    case kRulerTabStop: {
      if (drag.tab < 0 || drag.tab >= static_cast<int32_t>(drag.tabs.size())) return false;
      if (drag.offRuler) {
        std::vector<TabStop> list(drag.tabs.begin(), drag.tabs.end());
        list.erase(list.begin() + drag.tab);
        p.tabs = TabStops(list);
      } else {
        // A stop never stands left of the cell it belongs to.
        p.tabs = MoveTab(drag.tabs, drag.tab, std::max(0.0, v0));
      }
      break;
    }
    default:
      return false;
  }
  setabsatzformat(w, f);
  return true;
}

void RulerCancel(TMDIChild& w, WindowView& v) {
  if (v.ruler.drag.mode == kRulerTableBorder) return;
  EndDrag(w, v);
  HostOf(w).restartRepaintTimer();
}

}  // namespace paginor
