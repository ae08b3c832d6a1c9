// Settling the whole layout before output. Text flowing around floating objects and objects
// anchored to the text are computed by the page drawing, which feeds them back into the layout.
// The window settles the pages it draws, the printer, the PDF export and opening a file settle
// all of them, by the same step (SettlePages), so every output shows the same line breaks.
#pragma once

#include <cstdint>

#include "view/draw_pages.h"

namespace paginor {

class TMDIChild;

// Lays out dirty lines, then draws all pages on a canvas that draws nothing and lays out again
// while the drawing changed gaps or moved objects. A layout that settled and has not changed
// since (TMDIChild::changeCount) is left as it is: no pass runs.
SettleResult SettleLayout(TMDIChild& w);

}  // namespace paginor
