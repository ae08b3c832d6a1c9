// Dragging on the horizontal ruler: the indents of the Cursor's paragraph (or of every marked
// paragraph) and its tab stops, and placing new stops of the tab selector's kind. The left
// button snaps to the 5 mm ticks, the right button places freely. Every drop is one undo step
// "Absatzformat"; a tab stop dropped above or below the ruler is removed.
//
// Coordinates are ruler pixels (view/ruler.h). While a drag is in progress the keyboard does
// almost nothing (EditState::rulerDragging) and the page shows a guide line at the dragged
// position (RulerDrag::guideX), which the shell draws across the page view.
#pragma once

#include <cstdint>

#include "editing/mouse.h"
#include "view/ruler.h"

namespace paginor {

class TMDIChild;
struct WindowView;

// A press on the ruler `rulerWidth` pixels wide; `tabKind` is the selector's kind. True when a
// drag started.
bool RulerMouseDown(TMDIChild& w, WindowView& v, int32_t x, int32_t y, MouseButton button,
                    int32_t rulerWidth, int32_t tabKind);
// The pointer moved during a drag: the dragged marker and the guide line follow it (snapped).
// True when the rulers need drawing again.
bool RulerMouseMove(TMDIChild& w, WindowView& v, int32_t x, int32_t y, int32_t rulerWidth);
// The drop: the paragraph format changes with the dragged value and the document is laid out.
// True when the format was applied.
bool RulerMouseUp(TMDIChild& w, WindowView& v, int32_t x, int32_t y, int32_t rulerWidth);
// Ends a drag without changing anything (Esc, or the drag ended elsewhere).
void RulerCancel(TMDIChild& w, WindowView& v);

}  // namespace paginor
