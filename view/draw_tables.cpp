// Table cell lines: the cell's place in its row, its background and its borders.

#include "view/line_rules.h"
#include "view/page_pass.h"

namespace paginor {

namespace {

constexpr Colour kWhite = 0xFFFFFF;

}  // namespace

void PagePass::drawTableCell(const FieldBox& box, LineRec& line, LineState& s) {
  FieldRec& f = d_.fields[box.index];
  bool insetsChanged = false;
  const TableCellSpan span = NormaliseTableRow(f, s.index, s.available, s.offset, insetsChanged);
  if (insetsChanged && jobs_.flowAround) {
    // The row's width changed for the line breaker too.
    line.dirty = 1;
    result_.tablesChanged = true;
  }
  s.offset = span.left;
  s.available = span.right - span.left;
  if (t_.drawsNothing()) return;

  const double u = frame_.mmPerUnit;
  const CellDesign& cd = line.cellDesign;
  const int32_t yt = box.r.top + Units(s.y - line.para.spaceAbove, u);
  const int32_t yb = box.r.top + static_cast<int32_t>((s.y + line.para.spaceBelow) / u + s.K);
  const int32_t xl = box.r.left + Units(span.left, u);
  const int32_t xr = box.r.left + Units(span.right, u);
  auto bar = [&](Colour colour, const IntRect& r) {
    t_.setBrush({BrushStyle::Solid, colour});
    t_.fillBar(r);
  };
  if (!cd.cellTransparent || cd.cellBackColour != kWhite)
    bar(cd.cellBackColour, {xl, yt, xr + 1, yb + 1});
  const double ppp = frame_.unitsPerPoint;
  if (line.rowStart && cd.borderTop) {
    const int32_t t = WholeUnits(cd.borderTopWidth, ppp);
    bar(cd.borderTopColour, {xl, yt, xr + 1, yt + t});
  }
  if (cd.borderLeft) {
    const int32_t t = WholeUnits(cd.borderLeftWidth, ppp);
    bar(cd.borderLeftColour, {xl, yt, xl + t, yb + 1});
  }
  if (cd.borderRight) {
    const int32_t t = WholeUnits(cd.borderRightWidth, ppp);
    bar(cd.borderRightColour, {xr - t + 1, yt, xr + 1, yb + 1});
  }
  if (line.rowEnd && cd.borderBottom) {
    const int32_t t = WholeUnits(cd.borderBottomWidth, ppp);
    bar(cd.borderBottomColour, {xl, yb - t + 1, xr + 1, yb + 1});
  }
  observeTableCell(box, line, s, span);
  usePen(penColour_, 1);
}

void PagePass::observeTableCell(const FieldBox& box, const LineRec& line, const LineState& s,
                                const TableCellSpan& span) {
  if (!jobs_.observer) return;
  const double u = frame_.mmPerUnit;
  LinePlace p;
  p.page = frame_.page;
  p.field = box.index;
  p.line = s.index;
  p.fieldRect = box.r;
  p.rec = &line;
  const IntRect cell{box.r.left + Units(span.left, u),
                     box.r.top + Units(s.y - line.para.spaceAbove, u),
                     box.r.left + Units(span.right, u),
                     box.r.top + static_cast<int32_t>((s.y + line.para.spaceBelow) / u + s.K)};
  jobs_.observer->tableCell(p, cell);
}

}  // namespace paginor
