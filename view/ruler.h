// The rulers of a document window and the tab selector: the values the window paint publishes
// when it places the caret, and the pictures of the horizontal ruler (the Cursor's column or
// table cell with its indents and tab stops), the vertical ruler (the text area of the Cursor's
// field) and the tab selector, drawn on any Canvas. Dragging on the ruler is editing/ruler.h.
//
// Ruler pixels are the page area's pixels less the scroll position: the horizontal ruler stands
// exactly above the scroll box's client area and the vertical one exactly left of it.
//
// The scale of the horizontal ruler is the text column's, 0 at its left edge; inside a table the
// markers and tab stops stand relative to the cell, where the text they govern is drawn.
#pragma once

#include <cstdint>
#include <optional>

#include "model/records.h"
#include "platform/canvas.h"

namespace paginor {

struct LinePlace;
struct PageFrame;
struct WindowView;

// Height of the horizontal ruler, width of the vertical one, size of the tab selector.
inline constexpr int32_t kRulerSize = 24;
// The ruler's band (RGB 172, 168, 153).
inline constexpr Colour kRulerBandColour = 0x0099A8AC;
// Labels: "MS Serif", 9 pixels high (substituted through the font configuration).
inline constexpr const char* kRulerFontFace = "MS Serif";
inline constexpr int32_t kRulerFontHeight = -9;

// Kinds of tab stop (TabStop::alignment) the tab selector chooses.
enum TabKind : int32_t { kTabLeft = 0, kTabCentred = 1, kTabRight = 2, kTabDecimal = 3 };
inline constexpr int32_t kTabKinds = 4;

// Drag modes of the horizontal ruler.
enum RulerMode : int32_t {
  kRulerIdle = 0,
  kRulerFirstLine = 1,   // the first-line indent
  kRulerLeftIndent = 2,  // the left indent, the first line moving with it
  kRulerRightIndent = 3,
  kRulerLeftKeepFirst = 4,  // the left indent, the first line staying where it is
  kRulerTableBorder = 99,   // a table column border dragged on the page
  kRulerTabStop = 100,
};

// What the window paint last published about the Cursor's line.
struct RulerState {
  bool placed = false;  // a caret was placed since the window opened
  double leftMm = 0;    // the scale at the column's edges: 0 and the column's width
  double rightMm = 0;
  int32_t leftPx = 0;  // the column's edges in ruler pixels
  int32_t rightPx = 0;
  int32_t cellOffsetLeft = 0;  // the table cell's edges inside the column (0 outside tables)
  int32_t cellOffsetRight = 0;
  int32_t indentLeftPx = 0;  // Trunc(mm / millimetres per pixel)
  int32_t indentFirstLinePx = 0;
  int32_t indentRightPx = 0;
  double cellLeftMm = 0;  // the cell's edges on the scale (the column's outside tables)
  double cellRightMm = 0;
  TabStops tabs;  // the Cursor paragraph's stops
  // The field's text area on the vertical ruler.
  int32_t topPx = 0;
  int32_t bottomPx = 0;
  double heightMm = 0;

  int32_t widthPx() const { return rightPx - leftPx; }
  double range() const { return rightMm - leftMm; }
  bool hasWidth() const { return placed && widthPx() > 0 && range() > 0; }
  // Where a value of the scale stands: Trunc(width px × mm / range + left px).
  int32_t xOf(double mm) const;
  // Where a tab stop of the Cursor's paragraph stands.
  int32_t tabX(double position) const { return xOf(position + cellLeftMm); }
};

// A drag on the horizontal ruler.
struct RulerDrag {
  int32_t mode = kRulerIdle;
  int32_t tab = -1;            // the dragged stop in `tabs`
  bool newTab = false;         // the stop was made by this press
  bool moved = false;          // the pointer moved since the press
  bool freePlacement = false;  // started with the right button: no snapping
  bool offRuler = false;       // a tab stop held above or below the ruler (dropping removes it)
  int32_t pointerX = 0;
  int32_t snappedX = 0;
  double value = 0;               // the scale's value at snappedX
  TabStops tabs;                  // the paragraph's stops while one of them is dragged
  std::optional<int32_t> guideX;  // the guide line across the page, ruler pixels
};

struct Ruler {
  RulerState state;
  RulerDrag drag;
};

// Publishes the ruler values for the caret's line (the window paint calls it when it places the
// caret). `blockTop` turns the line's block coordinates into page-area rows. Nothing is published
// while a table column border is being dragged.
void PublishRuler(const Document& d, WindowView& v, const LinePlace& l, const PageFrame& frame,
                  int64_t blockTop);

// Snapping: with `free` the value at the pointer; otherwise the 5 mm tick of the visible scale
// nearest to the pointer. The ruler must have a width.
struct RulerSnap {
  int32_t x = 0;
  double value = 0;
};
RulerSnap SnapRuler(const RulerState& s, int32_t x, bool free, int32_t rulerWidth);

// The pictures, `width` × kRulerSize and kRulerSize × `height`; `face` is the system's button
// face colour. Labels are made through `fonts` at the canvas's resolution.
void PaintHorizontalRuler(Canvas& c, FontEngine& fonts, const Ruler& r, int32_t width, Colour face);
void PaintVerticalRuler(Canvas& c, FontEngine& fonts, const RulerState& s, int32_t height,
                        Colour face);
void PaintTabSelector(Canvas& c, int32_t kind, int32_t width, int32_t height, Colour face);

// The tab selector's hint ("Tabstop links", ...; UTF-8) and the kind a press selects next.
const char* TabSelectorHint(int32_t kind);
int32_t NextTabKind(int32_t kind);

// Where the markers stand (ruler pixels, their middle) as published, before any drag.
int32_t FirstLineMarkerX(const RulerState& s);
int32_t LeftMarkerX(const RulerState& s);
int32_t RightMarkerX(const RulerState& s);

}  // namespace paginor
