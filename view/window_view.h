// The document window's view: where the pages stand on the page area, what is visible of it,
// the zoom rules, the page view, and the window paint with its editing aids (page background,
// help lines, marks of non-printable characters, spelling marks, selection, caret, object
// handles, table grid lines), the status texts and the mouse zones.
//
// Coordinates: "area pixels" are pixels of the page area (the paint box inside the scroll box),
// (0, 0) at its top-left corner, y downwards. Every page is drawn at the screen's resolution
// (Platform::screenDpi) and the document's zoom (Document::zoomPercent, zoomMode).
//
// Off-screen bitmaps: the paint draws each page block onto a canvas the caller hands out for
// that block (PageBlockSink) and then tells the caller to copy it onto the page area. A block
// canvas uses block coordinates: x as on the page area, y from the block's top (page v's block
// top is WindowGeometry::blockTop(v)). One canvas per block keeps the memory to one page at
// any zoom and document length; the caller may reuse one bitmap for every block.
//
// The view state is not part of TMDIChild: whoever shows the window (the desktop program's
// document widget, a test) owns one WindowView per window and passes it in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/records.h"
#include "platform/canvas.h"
#include "platform/dialogs.h"
#include "view/draw_pages.h"
#include "view/ruler.h"

namespace paginor {

class TMDIChild;

// Page stacking on the page area.
inline constexpr int32_t kPageAreaOrigin = 16;  // page origin within its block
inline constexpr int32_t kPageBlockGap = 21;    // between the bottom of a page and the next
inline constexpr int32_t kPageAreaMargin = 36;  // 16 before and 20 after the page
// Height of the band below the caret that scrolling keeps visible.
inline constexpr int32_t kCaretScrollBand = 22;
// Pixels per mouse wheel event.
inline constexpr int32_t kWheelStep = 50;
// Zoom box limits for typed values.
inline constexpr double kMinZoom = 10;
inline constexpr double kMaxZoom = 250;

// Zoom modes (Document::zoomMode).
inline constexpr int32_t kZoomFixed = 0;
inline constexpr int32_t kZoomPageWidth = 1;  // "Seitenbreite"
inline constexpr int32_t kZoomWholePage = 2;  // "Ganze Seite"

// The scroll box around the page area, as the shell reports it.
struct ScrollBoxState {
  int32_t width = 0;  // outer size of the scroll box, pixels
  int32_t height = 0;
  int32_t vScrollBarWidth = 0;  // the system's scroll bar sizes (taken off whether shown or not)
  int32_t hScrollBarHeight = 0;
  int32_t clientWidth = 0;  // the visible part of the page area
  int32_t clientHeight = 0;
  int64_t scrollX = 0;  // page-area pixel at the client's left / top edge
  int64_t scrollY = 0;
};

// The switches of the window's editing aids. Defaults are the program's defaults.
struct ViewOptions {
  bool helpLines = true;        // "Graue Hilfslinien um Eingabefelder"
  bool markAll = false;         // "Alle" (also the button "Nicht druckbare Zeichen anzeigen")
  bool markTabs = false;        // "Tabstops"
  bool markSpaces = false;      // "Leerzeichen"
  bool markParagraphs = false;  // "Absatzmarken"
  bool gridLines = true;        // "&Gitternetzlinien"
  bool spellingMarks = true;    // "Beim &Eingeben überprüfen "
};

// Where the pages stand at the current zoom.
struct WindowGeometry {
  int32_t pageWidth = 0;  // page size in pixels at the zoom
  int32_t pageHeight = 0;
  int32_t pages = 1;
  int32_t originX = kPageAreaOrigin;  // the page's top-left within its block (centring included)
  int32_t originY = kPageAreaOrigin;
  int32_t areaWidth = 0;  // page-area size
  int64_t areaHeight = 0;
  // Top of the first block: half the height left over when all pages are shorter than the scroll
  // box. The pages are centred as a stack, so each block keeps its own height and none covers
  // the page of the block above it.
  int64_t firstBlockTop = 0;
  // Top of page v's block on the page area.
  int64_t blockTop(int32_t v) const {
    return firstBlockTop + static_cast<int64_t>(pageHeight + kPageBlockGap) * v;
  }
  // Size of one block's bitmap: origin + page + 20 pixels.
  int32_t blockWidth() const { return originX + pageWidth + 20; }
  int32_t blockHeight() const { return originY + pageHeight + 20; }
  // The page whose block holds area row y (clamped to the pages).
  int32_t pageAt(int64_t y) const;
  friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

// Page width and height in pixels at a zoom: Trunc(zoom × (dpi × measuring pixels /
// measuring resolution) / 100).
int32_t PagePixels(const TMDIChild& w, int32_t measuringPixels, int32_t dpi, double zoom);

// The geometry for the window's document, zoom and scroll box: pages stacked from (16, 16),
// the area page width + 36 by (page height + 21) × (pages − 1) + page height + 36, widened to
// the usable width + 1 (and heightened likewise) with the page centred when it is smaller.
WindowGeometry ComputeWindowGeometry(const TMDIChild& w, const ScrollBoxState& box);

// The caret the last paint placed (area pixels).
struct CaretState {
  bool placed = false;   // the Cursor was found on a drawn page
  bool visible = false;  // the rule for showing it held (nothing marked, focus, ...)
  int32_t x = 0;
  int64_t y = 0;      // top of the caret
  int32_t width = 2;  // twice the system border width
  int32_t height = 0;
};

// Mouse zone ids.
enum MouseObjId : int32_t {
  kMouseText = 0,
  kMouseTableBorder = 1,
  kMouseObjectFrame = 2,
  kMouseHandleTopLeft = 3,
  kMouseHandleTopRight = 4,
  kMouseHandleBottomLeft = 5,
  kMouseHandleBottomRight = 6,
  kMouseHandleTopMiddle = 7,
  kMouseHandleBottomMiddle = 8,
  kMouseHandleLeftMiddle = 9,
  kMouseHandleRightMiddle = 10,
};

// A zone the paint registered, in area pixels.
struct MouseObj {
  int32_t id = kMouseText;
  IntRect r;
  int32_t field = -1;  // the object or table field it belongs to
  int32_t line = -1;   // table borders: the cell line
};

// The view state of one document window.
struct WindowView {
  // --- set by the shell
  ScrollBoxState box;
  ViewOptions options;
  bool hasFocus = true;
  // Draw every page on the next paint (mail-merge printing waits for it); cleared by the paint.
  bool drawAllRequest = false;
  // A text drag is in progress: the paint draws the drop caret where a drop at this area point
  // would insert.
  std::optional<std::pair<int32_t, int64_t>> dropPoint;

  // --- page view ("Seitenansic&ht"); not saved with the document
  bool pageView = false;
  double savedZoomPercent = 100.0;
  int32_t savedZoomMode = kZoomFixed;

  // --- written by the paint
  WindowGeometry geometry;
  CaretState caret;
  std::optional<IntRect> dropCaret;  // the drop caret's bar (area pixels) while dropPoint is set
  std::vector<MouseObj> mouseObjs;
  std::vector<int32_t> pagesDrawn;  // of the last paint
  // The pages settled for drawing, and the window's change count they were settled at.
  std::vector<int32_t> settledPages;
  uint64_t settledAt = ~uint64_t{0};
  std::string statusPage;           // panel 0 as last shown
  std::string statusLine;           // panel 1 as last shown

  // --- the rulers: published by the paint with the caret, dragged by editing/ruler.h
  Ruler ruler;
};

// The mouse zone list.
void AddMouseObj(WindowView& v, int32_t id, const IntRect& r, int32_t field = -1,
                 int32_t line = -1);
void FreeMouseObjs(WindowView& v);
// The last zone containing the point, or nullptr (text).
const MouseObj* MouseObjAt(const WindowView& v, int32_t x, int64_t y);

// Hands out the off-screen canvases of the page blocks.
class PageBlockSink {
 public:
  virtual ~PageBlockSink() = default;
  // The canvas for page `page`'s block: at least `block` wide and high, in block coordinates,
  // at the screen's resolution. nullptr skips the page.
  virtual Canvas* beginBlock(int32_t page, const IntRect& block) = 0;
  // The block is drawn: copy it onto the page area at `block` (area pixels).
  virtual void endBlock(int32_t page, const IntRect& block) = 0;
};

struct PaintResult {
  // The page area's size changed: the pass ended before drawing; resize the paint box to
  // v.geometry.areaWidth × areaHeight and paint again.
  bool sizeChanged = false;
  // What settling the drawn pages changed in the document before they were drawn (the layout
  // then ran again: relaidOut). A paint never asks for another one.
  DrawResult draw;
};

// The window paint ("PaintBox1Paint"): updates the geometry, draws the pages whose block meets
// the visible part of the scroll box, the Cursor's page and, on request, all pages, each with
// the page background and the window's aids (none in page view), places the caret and the
// drop caret, registers the mouse zones, and shows the status texts through Ui::statusText:
// panel 0 "S p     p/n", panel 1 "Ze l     Sp c".
PaintResult PaintBox1Paint(TMDIChild& w, WindowView& v, PageBlockSink& sink);

// Updates v.geometry from the document and v.box; true when the page area's size changed.
bool UpdateWindowGeometry(TMDIChild& w, WindowView& v);

// The status texts for the Cursor (also shown by the paint).
std::string StatusPageText(const TMDIChild& w);
std::string StatusLineText(const TMDIChild& w);

// --- Zoom

// Fits the zoom to the scroll box for zoom modes 1 and 2 ("FormResize"):
//   U = box width − vertical bar − 4, V = box height − horizontal bar − 4, Wp/Hp the page at 100 %;
//   mode 1: Round(U × 10000 / (Wp + 36)) / 100;
//   mode 2: min(Trunc(U × 10000 / (Wp + 36)) / 100, Round(V × 10000 / (Hp + 36)) / 100).
// True when the zoom changed: the zoom box should show ZoomBoxText and the repaint timer has
// been restarted.
bool FormResize(TMDIChild& w, WindowView& v);

// The zoom box's text of a percentage: two decimals and "%", German decimal comma ("84,44%").
std::string ZoomBoxText(double percent);

// What the zoom box text did.
enum class ZoomTextResult { Ignored, Fixed, PageWidth, WholePage };
// The zoom box rules: "Seitenbreite" → mode 1, "Ganze Seite" → mode 2 (both fit at once);
// otherwise a number (a trailing "%" removed, decimal comma or point) between 10 and 250
// inclusive becomes the fixed zoom; anything else changes nothing. A change restarts the
// repaint timer.
ZoomTextResult ApplyZoomText(TMDIChild& w, WindowView& v, std::string_view text);

// The zoom dialog preset from the window, and its answer applied (the percentage goes through
// the zoom box rules as ZoomBoxText writes it).
ZoomDialog ZoomDialogFor(const TMDIChild& w);
ZoomTextResult ApplyZoomDialog(TMDIChild& w, WindowView& v, const ZoomDialog& d);

// --- Scrolling

// The vertical scroll position that shows a caret whose top stands at `caretTop` (area pixels)
// and the 22 pixels below it: a caret above the view comes to its top, one below it brings the
// band's bottom to the view's bottom; otherwise the position stays.
int64_t ScrollToShowCaret(const ScrollBoxState& box, int64_t caretTop);

// The vertical scroll position that keeps the caret visible, with the caret where the layout
// puts the Cursor now (CaretPlaceOf), not where the last paint drew it: after a key that took
// the Cursor onto another page the view gets there before the paint. The current position when
// the Cursor is on no page, or when its field is a floating object other than a text box, or a
// selected text box. The horizontal position never changes. `v.geometry` must be current
// (UpdateWindowGeometry).
int64_t ScrollCursorinView(TMDIChild& w, const WindowView& v);

// The vertical scroll position after one wheel event (50 pixels down or up), kept within the
// page area.
enum class WheelTurn : uint8_t { Up, Down };
int64_t MouseWheelScroll(const WindowView& v, WheelTurn turn);

// --- Page view

// Switches the page view ("Seitenansicht") on or off. On: the zoom and zoom mode are saved and
// the mode becomes "Ganze Seite" (fitted at once). Off: the mode is restored and the saved zoom
// is applied through the zoom box rules (ZoomBoxText of it), then fitted again. Returns the
// zoom box text to show. The aids are left out while it is on.
std::string Seitenansicht(TMDIChild& w, WindowView& v, bool on);

}  // namespace paginor
