#include "view/ruler.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "view/page_pass.h"
#include "view/window_view.h"

namespace paginor {

namespace {

constexpr Colour kBlack = 0;
constexpr Colour kWhite = 0xFFFFFF;

// Whole pixels towards zero. Values from a damaged file (not a number, far off the screen) end
// up far off the ruler instead of overflowing.
int32_t Trunc(double v) {
  constexpr double kFar = 1e8;
  if (!(v > -kFar)) return v != v ? 0 : static_cast<int32_t>(-kFar);
  if (v > kFar) return static_cast<int32_t>(kFar);
  return static_cast<int32_t>(v);
}

// More millimetre values than this on one ruler would be a scale no one can read (and a long
// loop): such a ruler shows no ticks.
constexpr double kMaxMillimetres = 100000;

// A marker drawn row by row: row k spans the columns 4 - h to 3 + h (h = halfWidths[k]) of an
// 8 pixel wide image, outlined in black and filled with the face colour.
void Marker(Canvas& c, int32_t left, int32_t top, const int32_t* halfWidths, int32_t rows,
            Colour face) {
  for (int32_t row = 0; row < rows; ++row) {
    const int32_t h = halfWidths[row];
    const int32_t l = left + 4 - h, r = left + 3 + h;  // inclusive
    const int32_t y = top + row;
    const bool edge = row == 0 || row == rows - 1 || halfWidths[row - 1] < h ||
                      (row + 1 < rows && halfWidths[row + 1] < h);
    c.setBrush({BrushStyle::Solid, edge ? kBlack : face});
    c.fillRect({l, y, r + 1, y + 1});
    if (!edge) {
      c.setBrush({BrushStyle::Solid, kBlack});
      c.fillRect({l, y, l + 1, y + 1});
      c.fillRect({r, y, r + 1, y + 1});
    }
  }
}

// The first-line marker: a box with its point downwards (y 2 to 9).
void FirstLineMarker(Canvas& c, int32_t left, Colour face) {
  static constexpr int32_t kRows[] = {4, 4, 4, 4, 3, 2, 1, 1};
  Marker(c, left, 2, kRows, 8, face);
}

// The left marker: a point upwards (y 10 to 16) over a box (y 17 to 23), the two halves that
// drag with and without the first line.
void LeftMarker(Canvas& c, int32_t left, Colour face) {
  static constexpr int32_t kPoint[] = {1, 1, 2, 3, 4, 4, 4};
  static constexpr int32_t kBox[] = {4, 4, 4, 4, 4, 4, 4};
  Marker(c, left, 10, kPoint, 7, face);
  Marker(c, left, 17, kBox, 7, face);
}

// The right marker: a point upwards (y 10 to 17).
void RightMarker(Canvas& c, int32_t left, Colour face) {
  static constexpr int32_t kRows[] = {1, 1, 2, 3, 4, 4, 4, 4};
  Marker(c, left, 10, kRows, 8, face);
}

// A tab stop's sign: a stem standing at x from `top` down 7 rows and a foot along its last two
// rows, to the right (left stop), both sides (centred, decimal, which has a point) or the left.
void TabSign(Canvas& c, int32_t kind, int32_t x, int32_t top) {
  c.setBrush({BrushStyle::Solid, kBlack});
  c.fillRect({x, top, x + 2, top + 7});
  const int32_t foot = top + 5;
  switch (kind) {
    case kTabCentred:
      c.fillRect({x - 4, foot, x + 6, foot + 2});
      break;
    case kTabRight:
      c.fillRect({x - 5, foot, x + 2, foot + 2});
      break;
    case kTabDecimal:
      c.fillRect({x - 4, foot, x + 6, foot + 2});
      c.fillRect({x + 4, top + 2, x + 6, top + 4});
      break;
    default:
      c.fillRect({x, foot, x + 7, foot + 2});
      break;
  }
}

// The label font, made for the canvas and released after the picture.
class LabelFont {
 public:
  LabelFont(Canvas& c, FontEngine& fonts) : fonts_(fonts) {
    LogFont lf;
    lf.face = kRulerFontFace;
    lf.height = kRulerFontHeight;
    font_ = fonts_.createFont(lf, c.resolution());
    c.selectFont(font_, kBlack);
  }
  ~LabelFont() {
    if (font_) fonts_.deleteFont(font_);
  }
  LabelFont(const LabelFont&) = delete;
  LabelFont& operator=(const LabelFont&) = delete;

 private:
  FontEngine& fonts_;
  FontHandle font_ = 0;
};

// The scale of one ruler: `from` and `span` pixels for `range` millimetres, `length` pixels
// long. Calls tick(p, position) for every whole millimetre value visible.
template <typename F>
void ForEachMillimetre(int32_t from, int32_t span, double range, int32_t length, F&& tick) {
  if (span <= 0 || !(range > 0) || range * length / span > kMaxMillimetres) return;
  const int32_t first = -Trunc(range * from / span);
  const int32_t last = Trunc((length - from) * range / span);
  for (int32_t p = first; p <= last; ++p) tick(p, Trunc(span * p / range + from));
}

}  // namespace

int32_t RulerState::xOf(double mm) const {
  return Trunc(widthPx() * (mm - leftMm) / range() + leftPx);
}

int32_t FirstLineMarkerX(const RulerState& s) {
  return s.leftPx + s.cellOffsetLeft + s.indentLeftPx + s.indentFirstLinePx;
}
int32_t LeftMarkerX(const RulerState& s) {
  return s.leftPx + s.cellOffsetLeft + s.indentLeftPx;
}
int32_t RightMarkerX(const RulerState& s) {
  return s.rightPx - s.cellOffsetRight - s.indentRightPx;
}

void PublishRuler(const Document& d, WindowView& v, const LinePlace& l, const PageFrame& frame,
                  int64_t blockTop) {
  Ruler& ruler = v.ruler;
  if (ruler.drag.mode == kRulerTableBorder || !l.rec) return;
  RulerState& s = ruler.state;
  const double u = frame.mmPerUnit;
  const int64_t scrollX = v.box.scrollX, scrollY = v.box.scrollY;
  const ParagraphFormat& para = l.rec->para;
  s.placed = true;
  s.leftMm = 0;
  s.rightMm = (l.columnRight - l.columnLeft) * u;
  s.leftPx = static_cast<int32_t>(l.columnLeft - scrollX);
  s.rightPx = static_cast<int32_t>(l.columnRight - scrollX);
  s.cellOffsetLeft = l.spanLeft - l.columnLeft;
  s.cellOffsetRight = l.columnRight - l.spanRight;
  s.indentLeftPx = Trunc(para.indentLeft / u);
  s.indentFirstLinePx = Trunc(para.indentFirstLine / u);
  s.indentRightPx = Trunc(para.indentRight / u);
  // The scale follows the column's pixels, so a cell edge is read off the same scale.
  s.cellLeftMm = s.cellOffsetLeft * u;
  s.cellRightMm = s.rightMm - s.cellOffsetRight * u;
  s.tabs = para.tabs;
  const FieldRec& f = d.fields[l.field];
  const int64_t top = blockTop + l.fieldRect.top + Units(f.marginTop, u);
  const int64_t bottom = blockTop + l.fieldRect.bottom - Units(f.marginBottom, u);
  s.topPx = static_cast<int32_t>(top - scrollY);
  s.bottomPx = static_cast<int32_t>(bottom - scrollY);
  s.heightMm = (bottom - top) * u;
}

RulerSnap SnapRuler(const RulerState& s, int32_t x, bool free, int32_t rulerWidth) {
  RulerSnap snap{x, s.leftMm};
  if (!s.hasWidth()) return snap;
  if (free) {
    snap.value = s.range() * (x - s.leftPx) / s.widthPx() + s.leftMm;
    return snap;
  }
  bool found = false;
  ForEachMillimetre(s.leftPx, s.widthPx(), s.range(), rulerWidth, [&](int32_t p, int32_t tx) {
    if (p % 5 != 0) return;
    if (!found || std::abs(tx - x) < std::abs(snap.x - x)) {
      snap = {tx, static_cast<double>(p) + s.leftMm};
      found = true;
    }
  });
  if (!found) {
    // A ruler too narrow to show a tick: the nearest multiple of 5 mm.
    const double mm = s.range() * (x - s.leftPx) / s.widthPx() + s.leftMm;
    snap.value = 5 * std::round(mm / 5);
    snap.x = s.xOf(snap.value);
  }
  return snap;
}

void PaintHorizontalRuler(Canvas& c, FontEngine& fonts, const Ruler& r, int32_t width,
                          Colour face) {
  const RulerState& s = r.state;
  const int32_t h = kRulerSize;
  c.setBrush({BrushStyle::Solid, face});
  c.fillRect({0, 0, width, h});
  c.setBrush({BrushStyle::Solid, kRulerBandColour});
  c.fillRect({0, 6, width, h - 6});
  if (!s.placed) return;
  c.setBrush({BrushStyle::Solid, kWhite});
  c.fillRect({s.leftPx, 6, s.rightPx, h - 6});
  if (!s.hasWidth()) return;

  c.setPen({PenStyle::Solid, 1, kBlack});
  {
    LabelFont font(c, fonts);
    ForEachMillimetre(s.leftPx, s.widthPx(), s.range(), width, [&](int32_t p, int32_t x) {
      const int32_t m = std::abs(p) % 10;
      if (m == 5) {
        c.moveTo(x, 11);
        c.lineTo(x, h - 11);
      } else if (m == 0 && (p / 10) % 2 != 0) {
        const std::string label = std::to_string(p / 10);
        c.textOut(x - c.textExtent(label).cx / 2, 6, label);
      } else if (m == 0) {
        c.moveTo(x, 10);
        c.lineTo(x, h - 10);
      }
    });
  }

  const RulerDrag& d = r.drag;
  const bool dragging = d.mode != kRulerIdle && d.mode != kRulerTableBorder;
  int32_t first = FirstLineMarkerX(s), left = LeftMarkerX(s), right = RightMarkerX(s);
  if (dragging) {
    if (d.mode == kRulerFirstLine) first = d.snappedX;
    if (d.mode == kRulerLeftIndent) first = d.snappedX + (first - left);
    if (d.mode == kRulerLeftIndent || d.mode == kRulerLeftKeepFirst) left = d.snappedX;
    if (d.mode == kRulerRightIndent) right = d.snappedX;
  }
  FirstLineMarker(c, first - 4, face);
  LeftMarker(c, left - 4, face);
  RightMarker(c, right - 4, face);

  const bool tabDrag = dragging && d.mode == kRulerTabStop;
  const TabStops& tabs = tabDrag ? d.tabs : s.tabs;
  for (int32_t i = 0; i < static_cast<int32_t>(tabs.size()); ++i) {
    if (tabDrag && i == d.tab) {
      if (!d.offRuler) TabSign(c, tabs[i].alignment, d.snappedX, 12);
      continue;
    }
    TabSign(c, tabs[i].alignment, s.tabX(tabs[i].position), 12);
  }
}

void PaintVerticalRuler(Canvas& c, FontEngine& fonts, const RulerState& s, int32_t height,
                        Colour face) {
  const int32_t w = kRulerSize;
  c.setBrush({BrushStyle::Solid, face});
  c.fillRect({0, 0, w, height});
  c.setBrush({BrushStyle::Solid, kRulerBandColour});
  c.fillRect({6, 0, w - 6, height});
  if (!s.placed) return;
  c.setBrush({BrushStyle::Solid, kWhite});
  c.fillRect({6, s.topPx, w - 6, s.bottomPx});
  const int32_t span = s.bottomPx - s.topPx;
  if (span <= 0 || !(s.heightMm > 0)) return;
  c.setPen({PenStyle::Solid, 1, kBlack});
  LabelFont font(c, fonts);
  ForEachMillimetre(s.topPx, span, s.heightMm, height, [&](int32_t p, int32_t y) {
    const int32_t m = std::abs(p) % 10;
    if (m == 5) {
      c.moveTo(11, y);
      c.lineTo(w - 11, y);
    } else if (m == 0 && (p / 10) % 2 != 0) {
      const std::string label = std::to_string(p / 10);
      const TextExtent e = c.textExtent(label);
      c.textOut((w - e.cx) / 2, y - e.cy / 2, label);
    } else if (m == 0) {
      c.moveTo(10, y);
      c.lineTo(w - 10, y);
    }
  });
}

void PaintTabSelector(Canvas& c, int32_t kind, int32_t width, int32_t height, Colour face) {
  c.setBrush({BrushStyle::Solid, face});
  c.fillRect({0, 0, width, height});
  // The sign is 7 rows high; centred in the box.
  TabSign(c, kind, width / 2 - 1, (height - 7) / 2);
}

const char* TabSelectorHint(int32_t kind) {
  switch (kind) {
    case kTabCentred:
      return "Tabstop zentiert";
    case kTabRight:
      return "Tabstop rechts";
    case kTabDecimal:
      return "Tabstop dezimal";
    default:
      return "Tabstop links";
  }
}

int32_t NextTabKind(int32_t kind) {
  return kind >= kTabLeft && kind < kTabDecimal ? kind + 1 : kTabLeft;
}

}  // namespace paginor
