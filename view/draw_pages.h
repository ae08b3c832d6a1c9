// Page drawing: the laid-out document drawn onto a canvas (the window, the printer, a canvas that
// draws nothing). The same pass keeps text clear of floating objects (skipBefore) and moves the
// objects anchored to the text; the PDF export draws by the same rules (output/pdf_export.h).
#pragma once

#include <cstdint>
#include <vector>

#include "model/records.h"
#include "platform/canvas.h"

namespace paginor {

class TMDIChild;

// What a window pass without the window's aids draws (settling the layout headless): the zoom
// and which pages. The desktop window paints through view/window_view.h.
struct ViewState {
  double zoomPercent = 100.0;
  // Draw every page; the window otherwise draws only the pages whose block meets the visible
  // part of the page area (pixels from its top) and the cursor's page.
  bool drawAllPages = true;
  int64_t visibleTop = 0;
  int64_t visibleBottom = 0;
  // When not empty: exactly these pages (settling what a window is about to draw).
  std::vector<int32_t> onlyPages;
};

// What a pass changed in the document.
struct DrawResult {
  bool skipChanged = false;    // some cell's skipBefore changed; its line is marked dirty
  bool anchorsMoved = false;   // an object anchored to the text moved
  bool tablesChanged = false;  // a table row's insets were brought into range (lines dirty)
  bool relaidOut = false;      // the window pass ran the layout because of the above
  bool changed() const { return skipChanged || anchorsMoved || tablesChanged; }
};

// Draws the window's pages one below the other at the view's zoom (all of them, or those the
// view names), computing the gaps of text flowing around objects and moving the objects anchored
// to the text; when that changed anything the layout runs again (relaidOut), otherwise the
// objects get their anchors.
DrawResult DrawPages(TMDIChild& w, Canvas& canvas, const ViewState& view = {});

// One page on another canvas (a printer's sheet): the page (0-based) and where its top-left
// corner lands, in the canvas's pixels.
struct SheetPage {
  int32_t page = 0;
  int32_t originX = 0;
  int32_t originY = 0;
};
// Draws that page at 100 %, without any aid, with the gaps and anchors the layout settled on
// (printing).
void DrawPages(TMDIChild& w, Canvas& canvas, const SheetPage& sheet);

// Passes after which settling gives up. A layout whose gaps keep changing (a header shown on
// several pages that flows around an object on only some of them) would otherwise never end;
// the last layout then stands, the same one every time for the same document.
inline constexpr int32_t kMaxSettlePasses = 10;

struct SettleResult {
  int32_t passes = 0;      // drawing passes run
  bool converged = false;  // the last pass found every gap and object in place
  DrawResult changes;      // what the passes changed, merged
};

// The one settle step every output takes before it draws: the pages (all of them, or those of
// view.onlyPages) are drawn on a canvas that draws nothing at the screen's resolution and
// 100 %, and the layout runs again while that changed gaps (text flowing around objects),
// moved objects anchored to the text or brought table rows into range. Computing at one fixed
// scale makes the window at any zoom, the printer and the PDF export break the same lines.
SettleResult SettlePages(TMDIChild& w, const ViewState& view = {});

// The page of the Cursor: its field's page, or the current page for a field shown on several.
int32_t CursorPage(const Document& d);

// Whether a field with this showOn and page is shown on page p (0-based).
bool istOnAllPagesGedeckt(int32_t showOn, int32_t fieldPage, int32_t p);

// A floating object that text flows around: its rectangle on the page (mm), distances and mode.
struct FlowObstacle {
  double left = 0, top = 0, right = 0, bottom = 0;
  double distanceX = 0, distanceY = 0;
  int32_t flowMode = 0;
};
// The objects with wrapText shown on page p, in array order.
std::vector<FlowObstacle> FlowObstacles(const Document& d, int32_t p);
// Tests a cell box (page millimetres) against the obstacles in order; every hit moves x to the
// obstacle's right edge plus its distance. True when any obstacle was hit.
bool CollideWithObstacles(const std::vector<FlowObstacle>& obstacles, double& x, double w, double y,
                          double h);
// The same against every wrapping object shown on page p.
bool iscolladingwithfield(const Document& d, int32_t p, double& x, double w, double y, double h);

}  // namespace paginor
