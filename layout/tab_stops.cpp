// Tab widths: a tab reaches the first stop of its paragraph beyond its position, or the next
// default stop. Centred, right and decimal stops pull the tab back by the text that follows it.

#include <cmath>

#include "layout/stages.h"

namespace paginor {

namespace {

// Default stops every 12.5 mm, as a new line has them. A paragraph whose default distance is 0
// or less (or not a number) would put every default stop at the tab's own position and divide
// by zero; it gets this distance instead.
constexpr double kDefaultTabWidth = 12.5;

// The width of the text a tab aligns: the cells after it up to the next tab or the line's end;
// for a decimal stop the first comma ends it too. A line-end cell ends the line here.
double AlignedText(const CharRec* cells, int32_t count, int32_t tab, bool decimal) {
  double sum = 0;
  for (int32_t i = tab + 1; i < count; ++i) {
    const CharRec& c = cells[i];
    if (c.kind == kCharText && (c.ch == 9 || (c.ch >= 13 && c.ch <= 15))) break;
    if (decimal && c.kind == kCharText && c.ch == ',') break;
    sum += c.width;
  }
  return sum;
}

}  // namespace

TabResult TabWidth(const ParagraphFormat& para, const CharRec* cells, int32_t count, int32_t tab,
                   double x) {
  TabResult r;
  for (const TabStop& stop : para.tabs) {
    if (!(stop.position > x)) continue;
    r.width = stop.position - x;
    r.fill = static_cast<uint8_t>(stop.fill);
    if (stop.alignment == 1)
      r.width -= AlignedText(cells, count, tab, false) / 2;
    else if (stop.alignment == 2 || stop.alignment == 3)
      r.width -= AlignedText(cells, count, tab, stop.alignment == 3);
    if (r.width < 0) r.width = 0;
    return r;
  }
  double step = para.defaultTabWidth;
  if (!(step > 0) || !std::isfinite(step)) step = kDefaultTabWidth;
  r.width = (std::trunc(x / step) + 1) * step - x;
  if (!(r.width >= 0)) r.width = 0;
  r.fill = 0;
  return r;
}

}  // namespace paginor
