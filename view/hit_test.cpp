// The hit test runs the page pass over one page on a canvas that draws nothing and compares the
// point with the lines and cells the pass placed.

#include "view/hit_test.h"

#include <cstdlib>
#include <limits>
#include <vector>

#include "model/position.h"
#include "view/canvas_target.h"
#include "view/page_pass.h"
#include "window/document_window.h"

namespace paginor {

namespace {

struct ProbeLine {
  LinePlace place;
  std::vector<CellPlace> cells;
};

// Records where the pass put the fields, lines and cells of one page.
class HitProbe : public PassObserver {
 public:
  void beginPage(const PageFrame& frame) override { frame_ = frame; }
  void field(int32_t index, const IntRect& r) override { fields.push_back({index, r}); }
  void line(const LinePlace& l) override { lines.push_back({l, {}}); }
  bool cell(const LinePlace&, const CellPlace& c) override {
    if (!lines.empty()) lines.back().cells.push_back(c);
    return false;
  }
  double mmPerPixel() const { return frame_.mmPerUnit; }

  std::vector<std::pair<int32_t, IntRect>> fields;  // in drawing order
  std::vector<ProbeLine> lines;

 private:
  PageFrame frame_;
};

// Runs the pass over page p in area pixels.
void Probe(TMDIChild& w, const WindowView& v, int32_t p, HitProbe& probe) {
  const int32_t dpi = w.app.platform().screenDpi > 0 ? w.app.platform().screenDpi : 96;
  const double zoom = w.doc.zoomPercent > 0 ? w.doc.zoomPercent : 100.0;
  const WindowGeometry& g = v.geometry;
  NullCanvas none(w.app.fonts(), dpi);
  CanvasTarget target(w, none, static_cast<int32_t>(zoom));
  PassJobs jobs;  // stored skips and anchors: the test changes nothing
  jobs.observer = &probe;
  PagePass pass(w, target, jobs);
  PageFrame frame = ScaledFrame(w, dpi, zoom);
  frame.page = p;
  frame.originX = g.originX;
  frame.originY = static_cast<int32_t>(g.blockTop(p) + g.originY);
  frame.frameOffset = 1;
  pass.drawPage(frame);
}

int64_t Distance(int64_t v, int64_t low, int64_t high) {
  if (v < low) return low - v;
  if (v > high) return v - high;
  return 0;
}

// The text field on top at the point, else the nearest one that has lines.
int32_t ChooseField(const Document& d, const HitProbe& probe, int32_t x, int64_t y) {
  auto hasLines = [&](int32_t field) {
    for (const ProbeLine& l : probe.lines)
      if (l.place.field == field) return true;
    return false;
  };
  int32_t chosen = -1;
  int64_t best = std::numeric_limits<int64_t>::max();
  for (const auto& [index, r] : probe.fields) {
    if (d.fields[index].type > kFieldTextBox || !hasLines(index)) continue;
    const int64_t dist = Distance(x, r.left, r.right) + Distance(y, r.top, r.bottom);
    if (dist == 0) {
      chosen = index;  // later fields lie on top
      best = 0;
    } else if (best > 0 && dist < best) {
      chosen = index;
      best = dist;
    }
  }
  return chosen;
}

// The line of the field under the point: lines whose column or cell holds x first, then the
// nearest band.
const ProbeLine* ChooseLine(const HitProbe& probe, int32_t field, int32_t x, int64_t y) {
  const ProbeLine* chosen = nullptr;
  int64_t best = std::numeric_limits<int64_t>::max();
  for (const ProbeLine& l : probe.lines) {
    if (l.place.field != field) continue;
    const int64_t dx = Distance(x, l.place.spanLeft, l.place.spanRight);
    const int64_t dy = Distance(y, l.place.top, l.place.bottom - 1);
    const int64_t score =
        (dx > 0 ? int64_t{1} << 40 : 0) + dy * 65536 + std::min<int64_t>(dx, 65535);
    if (score < best) {
      best = score;
      chosen = &l;
    }
  }
  return chosen;
}

}  // namespace

TextHit HitTestText(TMDIChild& w, const WindowView& v, int32_t x, int64_t y) {
  TextHit hit;
  const WindowGeometry& g = v.geometry;
  if (g.pageHeight <= 0) return hit;
  hit.page = g.pageAt(y);
  HitProbe probe;
  Probe(w, v, hit.page, probe);
  const int32_t field = ChooseField(w.doc, probe, x, y);
  if (field < 0) return hit;
  const ProbeLine* line = ChooseLine(probe, field, x, y);
  if (!line) return hit;

  const LinePlace& l = line->place;
  hit.found = true;
  hit.pos = {l.field, l.line, 0};
  hit.lineBand = {l.spanLeft, l.top, l.spanRight, l.bottom};
  const FieldRec& f = w.doc.fields[field];
  const int32_t textAreaLeft = l.fieldRect.left + Units(f.marginLeft, probe.mmPerPixel());
  if (f.type <= kFieldFooter && x < textAreaLeft) {
    hit.marginClick = true;
    return hit;
  }
  const std::vector<CellPlace>& cells = line->cells;
  if (cells.empty()) return hit;
  if (x >= cells.back().right) {
    hit.pos.chr = static_cast<int32_t>(cells.size());
    return hit;
  }
  // The first cell whose right edge lies beyond x: left of the first cell, or in a skip before a
  // cell, counts as that cell.
  size_t i = 0;
  while (i + 1 < cells.size() && x >= cells[i].right) ++i;
  const CellPlace& c = cells[i];
  const bool after = x * 2 > c.left + c.right;
  hit.pos.chr = c.index + (after ? 1 : 0);
  if (c.cell->kind == kCharPicture && x >= c.left && y >= l.bottom - c.height && y <= l.bottom) {
    hit.pictureHit = true;
    hit.pictureChr = c.index;
    hit.pos.chr = c.index;
  }
  return hit;
}

std::optional<CaretPlace> CaretPlaceOf(TMDIChild& w, const WindowView& v, const CursorPos& pos) {
  const Document& d = w.doc;
  if (!ValidPosition(d, pos) || v.geometry.pageHeight <= 0) return std::nullopt;
  const FieldRec& f = d.fields[pos.field];
  const int32_t page = f.showOn != 0 ? d.currentPage : f.page;
  if (page < 0 || page >= v.geometry.pages) return std::nullopt;
  HitProbe probe;
  Probe(w, v, page, probe);
  for (const ProbeLine& l : probe.lines) {
    if (l.place.field != pos.field || l.place.line != pos.line) continue;
    CaretPlace c;
    c.page = page;
    if (pos.chr == 0 || l.cells.empty()) {
      c.x = l.place.textLeft;
      c.height = l.cells.empty() ? l.place.height : l.cells[0].height;
    } else {
      const size_t k = std::min(static_cast<size_t>(pos.chr), l.cells.size()) - 1;
      c.x = l.cells[k].right;
      c.height = l.cells[k].height;
    }
    c.top = l.place.bottom - c.height;
    return c;
  }
  return std::nullopt;
}

DropCaret ComputeDropCaret(TMDIChild& w, const WindowView& v, int32_t x, int64_t y) {
  DropCaret drop;
  const TextHit hit = HitTestText(w, v, x, y);
  if (!hit.found) return drop;
  const std::optional<CaretPlace> place = CaretPlaceOf(w, v, hit.pos);
  if (!place) return drop;
  drop.found = true;
  drop.pos = hit.pos;
  drop.bar = {place->x, static_cast<int32_t>(place->top), place->x + 2,
              static_cast<int32_t>(place->top + place->height)};
  return drop;
}

}  // namespace paginor
