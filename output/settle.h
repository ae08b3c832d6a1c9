// Settling the layout before output. Text flowing around floating objects and objects anchored
// to the text are computed by the page drawing, which feeds them back into the layout; a window
// gets there over a few repaints. Output made without a window (paginor-cli, tests) settles by
// running the drawing on a canvas that draws nothing, at the screen's resolution and 100 %, as
// the window's first paints would, so that it writes what the desktop program writes.
#pragma once

#include <cstdint>

namespace paginor {

class TMDIChild;

// Passes after which settling gives up. A layout whose gaps keep changing (a header shown on
// several pages that flows around an object on only some of them) would otherwise never end;
// the last layout then stands.
inline constexpr int32_t kMaxSettlePasses = 10;

struct SettleResult {
  int32_t passes = 0;      // drawing passes run
  bool converged = false;  // the last pass found every gap and object in place
};

// Lays out dirty lines, then draws all pages on a canvas that draws nothing and lays out again
// while the drawing changed gaps or moved objects.
SettleResult SettleLayout(TMDIChild& w);

}  // namespace paginor
