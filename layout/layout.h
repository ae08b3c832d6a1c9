// The layout pass: breaks dirty lines, flows lines over pages and linked boxes, numbers lists
// and footnotes, and clears the dirty flags.
#pragma once

#include "layout/layout_context.h"

namespace paginor {

class TMDIChild;

// The window's pass: the field texts are brought up to date first (they need the window), then
// the document is laid out in the window's context.
void MakeSoftEnters(TMDIChild& w);
// The pass itself.
void MakeSoftEnters(LayoutContext& context);

}  // namespace paginor
