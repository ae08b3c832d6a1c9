// Drawing one picture of the document into a rectangle of a canvas. Screens get the picture
// row by row, scaled by nearest neighbour (true-colour and 8-bit pictures), or a dithered 8-bit
// copy when they show 256 colours or fewer; printers and other bit counts stretch it themselves.
#pragma once

#include <cstdint>

#include "model/records.h"
#include "platform/canvas.h"

namespace paginor {

// A part of a picture, in picture pixels from its top-left corner.
struct PictureRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Draws `source` of the picture (the whole picture when null) into destWidth × destHeight
// pixels at (left, top). A source running past the picture is cut to it and the destination
// shrinks in proportion (moving right or down when the cut is on the left or top). Dithering is
// used only when allowed. Pictures without pixels and empty rectangles draw nothing.
void DrawDib(Canvas& c, int32_t left, int32_t top, int32_t destWidth, int32_t destHeight,
             const BildRec& picture, bool allowDither, const PictureRect* source = nullptr);

}  // namespace paginor
