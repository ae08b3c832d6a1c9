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
  const int32_t screen = work.ctx.screenDpi > 0 ? work.ctx.screenDpi : 96;
  const int32_t res = work.ctx.device.resolution > 0 ? work.ctx.device.resolution : 600;
  work.pageWidth = Quantise(work.ctx.page.widthPx, res, screen);
  work.pageHeight = Quantise(work.ctx.page.heightPx, res, screen);
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
