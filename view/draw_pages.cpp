// DrawPages: the drawing rules on a Canvas, in device pixels.

#include "view/draw_pages.h"

#include <algorithm>
#include <climits>
#include <map>
#include <tuple>

#include "layout/layout.h"
#include "layout/measure.h"
#include "model/queries.h"
#include "view/canvas_target.h"
#include "view/page_pass.h"
#include "view/window_view.h"
#include "window/document_window.h"

namespace paginor {

int32_t CursorPage(const Document& d) {
  if (d.Cursor.field < 0 || d.Cursor.field >= d.fieldCount()) return d.currentPage;
  const FieldRec& f = d.fields[d.Cursor.field];
  return f.showOn != 0 ? d.currentPage : f.page;
}

PageFrame ScaledFrame(const TMDIChild& w, int32_t res, double zoom) {
  const double docRes = w.measure.resolution > 0 ? w.measure.resolution : 600;
  PageFrame frame;
  frame.mmPerUnit = kMmPerInch / res / zoom * 100;
  frame.unitsPerPoint = zoom * res / 72 / 100;
  frame.width = static_cast<int32_t>(zoom * (res * w.measure.pageWidthPx / docRes) / 100);
  frame.height = static_cast<int32_t>(zoom * (res * w.measure.pageHeightPx / docRes) / 100);
  return frame;
}

void DrawPages(TMDIChild& w, Canvas& canvas, const SheetPage& sheet) {
  const int32_t res = canvas.resolution() > 0 ? canvas.resolution() : 96;
  PageFrame frame = ScaledFrame(w, res, 100.0);
  CanvasTarget target(w, canvas, 100);
  // The layout as settled before: computing the gaps again at the sheet's resolution would
  // move text the layout has not broken for.
  PagePass pass(w, target, PassJobs{});
  frame.page = sheet.page;
  frame.originX = sheet.originX;
  frame.originY = sheet.originY;
  pass.drawPage(frame);
}

DrawResult DrawPages(TMDIChild& w, Canvas& canvas, const ViewState& view) {
  const int32_t res = canvas.resolution() > 0 ? canvas.resolution() : 96;
  const double zoom = view.zoomPercent <= 0 ? 100.0 : view.zoomPercent;
  PageFrame frame = ScaledFrame(w, res, zoom);

  CanvasTarget target(w, canvas, static_cast<int32_t>(zoom));
  PassJobs jobs;
  jobs.flowAround = true;
  jobs.anchors = true;
  PagePass pass(w, target, jobs);

  pass.beginAnchorSearch();
  const int32_t pages = GetAnzPages(w.doc);
  const int32_t cursorPage = CursorPage(w.doc);
  for (int32_t v = 0; v < pages; ++v) {
    const int64_t blockTop = static_cast<int64_t>(frame.height + kPageBlockGap) * v;
    if (!view.onlyPages.empty()) {
      if (std::find(view.onlyPages.begin(), view.onlyPages.end(), v) == view.onlyPages.end())
        continue;
    } else {
      const bool visible = blockTop < view.visibleBottom &&
                           blockTop + frame.height + kPageBlockGap > view.visibleTop;
      if (!view.drawAllPages && !visible && v != cursorPage) continue;
    }
    frame.page = v;
    frame.originX = kPageAreaOrigin;
    frame.originY = static_cast<int32_t>(blockTop) + kPageAreaOrigin;
    frame.frameOffset = 1;
    pass.drawPage(frame);
  }
  DrawResult r = pass.result();
  if (r.changed()) {
    // The gaps or the objects moved: the text is broken again around them, and the caller
    // repaints. Anchors are handed out only by a pass that found everything in place.
    MakeSoftEnters(w);
    r.relaidOut = true;
  } else {
    pass.assignAnchors();
  }
  return r;
}

SettleResult SettlePages(TMDIChild& w, const ViewState& view) {
  const int32_t dpi = w.app.platform().screenDpi > 0 ? w.app.platform().screenDpi : 96;
  NullCanvas canvas(w.app.fonts(), dpi);
  ViewState at100 = view;
  at100.zoomPercent = 100.0;
  SettleResult r;
  while (r.passes < kMaxSettlePasses) {
    ++r.passes;
    const DrawResult pass = DrawPages(w, canvas, at100);
    r.changes.skipChanged |= pass.skipChanged;
    r.changes.anchorsMoved |= pass.anchorsMoved;
    r.changes.tablesChanged |= pass.tablesChanged;
    r.changes.relaidOut |= pass.relaidOut;
    if (!pass.relaidOut) {
      r.converged = true;
      break;
    }
  }
  return r;
}

}  // namespace paginor
