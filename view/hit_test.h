// Text hit testing: which text position lies under a point of the page area. The test runs the
// page drawing's own pass over the page under the point on a canvas that draws nothing, so it
// sees every line and cell exactly where the paint puts them (shifts, justification, columns,
// table cells, list indents, skips around objects). It changes nothing in the document.
//
// Rules: the line is found by its vertical band (within the text field on top at the point; in
// columns and table rows the line whose column or cell holds x); above the first line the first
// line, below the last the last. Left of the line's first cell or right of its last the point is
// taken as that cell; the position is before the cell under the point, or after it when the
// point lies right of the cell's middle. A point on an inline picture's cell inside its box hits
// the picture. A point left of the text area of a page body, header or footer is a margin
// click. Floating objects, handles and table borders are not hit here (mouse zones).
#pragma once

#include <cstdint>
#include <optional>

#include "model/records.h"
#include "platform/canvas.h"
#include "view/window_view.h"

namespace paginor {

class TMDIChild;

struct TextHit {
  bool found = false;        // a line was found (false: no text field on any page)
  CursorPos pos;             // the text position the point resolves to
  int32_t page = 0;          // the page under the point (nearest block)
  bool marginClick = false;  // left of the line's text area
  bool pictureHit = false;   // on an inline picture's cell inside its box
  int32_t pictureChr = -1;   // that cell's index in pos's line (pos.chr is the position before it)
  IntRect lineBand;          // the hit line's band (area pixels): its cells' span and T..B
};

// The text position under the area point (x, y). `v.geometry` must be current (a paint or
// UpdateWindowGeometry ran).
TextHit HitTestText(TMDIChild& w, const WindowView& v, int32_t x, int64_t y);

// Where the caret stands for a text position (area pixels): x at the position, top at the line
// bottom minus the height of the cell before it (the first cell's height at a line start, the
// line height on an empty line). std::nullopt when the position is not on a page.
struct CaretPlace {
  int32_t x = 0;
  int64_t top = 0;
  int32_t height = 0;
  int32_t page = 0;
};
std::optional<CaretPlace> CaretPlaceOf(TMDIChild& w, const WindowView& v, const CursorPos& pos);

// The drop caret of a text drag: the position a drop at (x, y) would insert at, and the thin
// bar the paint draws there (2 pixels wide, the caret's height).
struct DropCaret {
  bool found = false;
  CursorPos pos;
  IntRect bar;
};
DropCaret ComputeDropCaret(TMDIChild& w, const WindowView& v, int32_t x, int64_t y);

}  // namespace paginor
