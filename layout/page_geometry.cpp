#include <cmath>

#include "layout/stages.h"

namespace paginor {

namespace {

// A page length in measuring pixels, as whole screen pixels at 100 % zoom, in millimetres. The
// screen draws whole pixels; laying out on the same length keeps what it shows and what it
// breaks in step.
double Quantise(int32_t measuringPx, int32_t resolution, int32_t screenDpi) {
  const double screenPx = std::trunc(static_cast<double>(screenDpi) * measuringPx / resolution);
  return screenPx * kMmPerInch / screenDpi;
}

}  // namespace

void InitPageSize(LayoutWork& work) {
  // A platform reporting no resolution must not divide by zero: it gets the headless values.
  const int32_t screen = work.w.app.platform().screenDpi > 0 ? work.w.app.platform().screenDpi : 96;
  const int32_t res = work.w.measure.resolution > 0 ? work.w.measure.resolution : 600;
  work.pageWidth = Quantise(work.w.measure.pageWidthPx, res, screen);
  work.pageHeight = Quantise(work.w.measure.pageHeightPx, res, screen);
}

double TextWidth(const LayoutWork& work, const FieldRec& f) {
  const double right = f.rightFromRight ? work.pageWidth - f.right : f.right;
  return right - f.left - f.marginLeft - f.marginRight;
}

double FieldHeight(const LayoutWork& work, const FieldRec& f) {
  if (!f.bottomFromBottom) return f.bottom - f.top;
  if (f.topFromBottom) return f.top - f.bottom;
  return work.pageHeight - f.bottom - f.top;
}

}  // namespace paginor
