// The mouse on the page area of a document window: placing the Cursor, marking by dragging,
// double and triple click, the margin click, text drag and drop, and the right button with the
// context-menu request.
//
// Positions are resolved by the window's drawing geometry (HitTestText of view/hit_test.h),
// synchronously inside the handler, so a click lands where the paint shows the text. The
// handlers change the document and the MouseState and return what the window around them must
// do; the repaint itself is requested through the EditorHost's repaint timer like every edit.
//
// Order of events: the platform delivers press, release, and for a double click the double-click
// event followed by the second press and release. A platform whose double-click event replaces
// the second press (Qt's mouseDoubleClickEvent) calls PaintBox1DblClick and then
// PaintBox1MouseDown with the same event.
//
// Floating objects (selection, moving, handles), resizing an inline picture by its handles,
// dragging table column borders, linking text boxes and drawing new objects come with the
// object and table commands. Their state members are here already; the handlers do not act on
// them yet.
#pragma once

#include <cstdint>

#include "editing/keys.h"
#include "model/records.h"
#include "view/hit_test.h"
#include "view/window_view.h"

namespace paginor {

class TMDIChild;

enum class MouseButton : uint8_t { None = 0, Left = 1, Right = 2, Middle = 3 };

// One mouse event of the page area.
struct MouseEvent {
  MouseButton button = MouseButton::Left;  // the button that changed (None for a plain move)
  Modifiers modifiers = kNoModifier;       // kShift, kCtrl, kAlt of editing/keys.h
  int32_t x = 0;                           // page-area pixels
  int64_t y = 0;
  int64_t timeMs = 0;  // a monotonic clock in milliseconds (the triple-click rule)
};

// Pointer shapes the page area shows.
enum class PointerShape : uint8_t {
  IBeam,     // text
  Arrow,     // the default
  Move,      // four-way arrow: an object's frame
  SizeNwSe,  // diagonal from top-left to bottom-right
  SizeNeSw,  // diagonal from top-right to bottom-left
  SizeVertical,
  SizeHorizontal,  // table column borders, left and right handles
  Hand,            // text-box link mode
  Cross,           // drawing a new object
  Drag,            // text drag and drop
};

// What the window must do after a handler.
struct MouseResponse {
  bool takeFocus = false;  // give the document window the keyboard focus
  // The view changed (marking, Cursor, text, drop caret). The handler has already restarted the
  // repaint timer; a shell may paint at once for smooth drag feedback.
  bool repaint = false;
  bool setPointer = false;  // show `pointer`
  PointerShape pointer = PointerShape::IBeam;
  bool contextMenu = false;  // open the context menu at (menuX, menuY), page-area pixels
  int32_t menuX = 0;
  int64_t menuY = 0;
};

// The two-step rule of the triple click: the double click sets the counter to 1, the second
// half of the double click advances it to 2, and a press within this time after the double
// click selects the paragraph.
inline constexpr int64_t kTripleClickMs = 500;

// The mouse state of one document window. The window's owner (the shell's document widget, a
// test) keeps one per window and passes it to every handler.
struct MouseState {
  // Last button event.
  int32_t x = 0;
  int64_t y = 0;
  Modifiers modifiers = kNoModifier;
  bool leftDown = false;

  bool dragSelect = false;      // the button is down and the Cursor follows the mouse
  bool rightClick = false;      // the press was the right button
  bool textDrag = false;        // the button went down inside an existing marking
  bool pictureClicked = false;  // the click marked an inline picture
  bool marginClicked = false;   // the click was left of a line's text

  // Triple click.
  int32_t clickCounter = 0;
  int64_t doubleClickTime = 0;

  // Objects, inline-picture handles, table borders, link mode and drawing new objects. Kept
  // for the object and table commands; nothing sets them yet.
  bool objectDrag = false;
  int32_t grabbedField = -1;
  int32_t grabbedHandle = 0;                 // 0 the body, 1 to 8 the handles
  int32_t pictureResizeHandle = 0;           // 0 none, 1 to 8
  IntRect band{-9999, -9999, -9999, -9999};  // the rubber band last drawn; -9999: none yet
  int32_t grabOffsetX = 0;
  int32_t grabOffsetY = 0;
  double mmPerPixel = 0;  // valid for the grabbed object
  bool tableBorderDrag = false;
  int32_t tableBorderLineX = -9999;
  bool overTableBorder = false;  // noted by the last move without a button (zone id 1)
  bool linkMode = false;         // linking text boxes
  int32_t linkSource = -1;
  bool mouseMoved = false;  // drawing a new object: the mouse moved since the press
};

// Left or right button pressed.
MouseResponse PaintBox1MouseDown(TMDIChild& w, WindowView& v, MouseState& s, const MouseEvent& e);
// The mouse moved (with or without a button down).
MouseResponse PaintBox1MouseMove(TMDIChild& w, WindowView& v, MouseState& s, const MouseEvent& e);
// A button was released: ends drag-select, or drops dragged text (move, or copy with Ctrl).
MouseResponse PaintBox1MouseUp(TMDIChild& w, WindowView& v, MouseState& s, const MouseEvent& e);
// Double click: selects the word at the Cursor when nothing is marked.
MouseResponse PaintBox1DblClick(TMDIChild& w, WindowView& v, MouseState& s, const MouseEvent& e);

// The pointer for a mouse zone id (view/window_view.h MouseObjId) when no button is down.
PointerShape PointerForZone(int32_t id);

}  // namespace paginor
