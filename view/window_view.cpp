// The window's geometry, the window paint, the status texts, the zoom rules, scrolling and the
// page view.

#include "view/window_view.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "layout/layout.h"
#include "layout/measure.h"
#include "model/queries.h"
#include "view/canvas_target.h"
#include "view/hit_test.h"
#include "view/page_pass.h"
#include "view/window_aids.h"
#include "window/document_window.h"
#include "window/marking.h"

namespace paginor {

namespace {

constexpr Colour kBlack = 0;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kGrey = 0x808080;

int32_t ScreenDpi(const TMDIChild& w) {
  const int32_t dpi = w.app.platform().screenDpi;
  return dpi > 0 ? dpi : 96;
}

double ZoomOf(const TMDIChild& w) {
  return w.doc.zoomPercent > 0 ? w.doc.zoomPercent : 100.0;
}

// Grey around the page, the white page with its outline, and the shadow right and below.
void DrawPageBackground(Canvas& c, const WindowGeometry& g) {
  const int32_t x0 = g.originX, y0 = g.originY;
  const int32_t x1 = x0 + g.pageWidth, y1 = y0 + g.pageHeight;
  c.setClip(nullptr);
  c.setBrush({BrushStyle::Solid, kGrey});
  c.fillRect({0, 0, g.blockWidth(), g.blockHeight()});
  c.setPen({PenStyle::Solid, 1, kBlack});
  c.setBrush({BrushStyle::Solid, kWhite});
  c.rectangle({x0, y0, x1 + 2, y1 + 2});
  c.setBrush({BrushStyle::Solid, kBlack});
  c.fillRect({x1 + 2, y0 + 2, x1 + 4, y1 + 4});
  c.fillRect({x0 + 2, y1 + 2, x1 + 4, y1 + 4});
}

// Caret shown only in text the user types into: page bodies, headers, footers, and text boxes
// that are not selected as objects.
bool CaretField(const Document& d) {
  if (d.Cursor.field < 0 || d.Cursor.field >= d.fieldCount()) return false;
  const FieldRec& f = d.fields[d.Cursor.field];
  return f.type <= kFieldFooter || (f.type == kFieldTextBox && !f.selected);
}

std::string Trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return std::string(s.substr(first, last - first + 1));
}

}  // namespace

int32_t WindowGeometry::pageAt(int64_t y) const {
  const int64_t step = static_cast<int64_t>(pageHeight) + kPageBlockGap;
  if (step <= 0 || y < firstBlockTop) return 0;
  const int64_t page = (y - firstBlockTop) / step;
  return static_cast<int32_t>(std::min<int64_t>(page, std::max(1, pages) - 1));
}

int32_t PagePixels(const TMDIChild& w, int32_t measuringPixels, int32_t dpi, double zoom) {
  const double docRes = w.measure.resolution > 0 ? w.measure.resolution : 600;
  return static_cast<int32_t>(zoom * (dpi * measuringPixels / docRes) / 100);
}

WindowGeometry ComputeWindowGeometry(const TMDIChild& w, const ScrollBoxState& box) {
  WindowGeometry g;
  const int32_t dpi = ScreenDpi(w);
  const double zoom = ZoomOf(w);
  g.pageWidth = PagePixels(w, w.measure.pageWidthPx, dpi, zoom);
  g.pageHeight = PagePixels(w, w.measure.pageHeightPx, dpi, zoom);
  g.pages = std::max(1, GetAnzPages(w.doc));
  g.areaWidth = g.pageWidth + kPageAreaMargin;
  g.areaHeight = g.blockTop(g.pages - 1) + g.pageHeight + kPageAreaMargin;
  const int32_t usableWidth = box.width - box.vScrollBarWidth - 4;
  if (g.areaWidth < usableWidth) {
    g.originX += (usableWidth + 1 - g.areaWidth) / 2;
    g.areaWidth = usableWidth + 1;
  }
  const int32_t usableHeight = box.height - box.hScrollBarHeight - 4;
  if (g.areaHeight < usableHeight) {
    // The whole stack moves down, not the page within each block: a block's bitmap is as high
    // as its origin plus the page, and a grown origin would let each block paint over the page
    // above it.
    g.firstBlockTop = (usableHeight + 1 - g.areaHeight) / 2;
    g.areaHeight = usableHeight + 1;
  }
  return g;
}

bool UpdateWindowGeometry(TMDIChild& w, WindowView& v) {
  const WindowGeometry g = ComputeWindowGeometry(w, v.box);
  const bool sizeChanged =
      g.areaWidth != v.geometry.areaWidth || g.areaHeight != v.geometry.areaHeight;
  v.geometry = g;
  return sizeChanged;
}

void AddMouseObj(WindowView& v, int32_t id, const IntRect& r, int32_t field, int32_t line) {
  v.mouseObjs.push_back({id, r, field, line});
}

void FreeMouseObjs(WindowView& v) {
  v.mouseObjs.clear();
}

const MouseObj* MouseObjAt(const WindowView& v, int32_t x, int64_t y) {
  for (auto it = v.mouseObjs.rbegin(); it != v.mouseObjs.rend(); ++it) {
    const IntRect& r = it->r;
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return &*it;
  }
  return nullptr;
}

std::string StatusPageText(const TMDIChild& w) {
  const Document& d = w.doc;
  int32_t p = d.currentPage + 1;
  if (d.Cursor.field >= 0 && d.Cursor.field < d.fieldCount() &&
      d.fields[d.Cursor.field].showOn == 0)
    p = d.fields[d.Cursor.field].page + 1;
  const std::string ps = std::to_string(p);
  return "S " + ps + "     " + ps + "/" + std::to_string(GetAnzPages(d));
}

std::string StatusLineText(const TMDIChild& w) {
  const CursorPos& c = w.doc.Cursor;
  return "Ze " + std::to_string(c.line + 1) + "     Sp " + std::to_string(c.chr + 1);
}

namespace {

// The pages a paint draws: those whose block meets the visible part of the scroll box, the
// Cursor's page, and every page on request.
std::vector<int32_t> PagesToDraw(const TMDIChild& w, const WindowView& v) {
  const WindowGeometry& g = v.geometry;
  const int64_t visibleTop = v.box.scrollY;
  const int64_t visibleBottom = v.box.scrollY + v.box.clientHeight;
  const int32_t cursorPage = CursorPage(w.doc);
  std::vector<int32_t> pages;
  for (int32_t p = 0; p < g.pages; ++p) {
    const int64_t top = g.blockTop(p);
    const bool visible = top < visibleBottom && top + g.pageHeight + kPageBlockGap > visibleTop;
    if (v.drawAllRequest || visible || p == cursorPage) pages.push_back(p);
  }
  return pages;
}

}  // namespace

PaintResult PaintBox1Paint(TMDIChild& w, WindowView& v, PageBlockSink& sink) {
  PaintResult result;
  if (UpdateWindowGeometry(w, v)) {
    result.sizeChanged = true;
    return result;
  }
  // The pages about to be drawn settle first, as the printer's and the export's do: the text
  // is broken around the objects before it is drawn, at the same scale whatever the zoom, so
  // a paint never asks for another one and never depends on the zoom.
  ViewState settle;
  settle.drawAllPages = v.drawAllRequest;
  settle.onlyPages = PagesToDraw(w, v);
  if (w.changeCount != v.settledAt) v.settledPages.clear();
  const bool settledBefore =
      std::all_of(settle.onlyPages.begin(), settle.onlyPages.end(), [&](int32_t p) {
        return std::find(v.settledPages.begin(), v.settledPages.end(), p) != v.settledPages.end();
      });
  if (!settledBefore) {
    if (settle.drawAllPages) settle.onlyPages.clear();
    const SettleResult settled = SettlePages(w, settle);
    result.draw = settled.changes;
    if (settled.changes.relaidOut) v.settledPages.clear();
    const std::vector<int32_t> drawn = PagesToDraw(w, v);
    v.settledPages.insert(v.settledPages.end(), drawn.begin(), drawn.end());
    v.settledAt = w.changeCount;
  }
  v.drawAllRequest = false;
  if (result.draw.relaidOut && UpdateWindowGeometry(w, v)) {
    result.sizeChanged = true;  // more or fewer pages: the shell resizes and paints again
    return result;
  }

  const WindowGeometry& g = v.geometry;
  FreeMouseObjs(v);
  v.caret = CaretState{};
  v.dropCaret.reset();
  v.pagesDrawn.clear();
  if (isThereAmarking(w)) FindMarkingStart(w);
  if (v.dropPoint) {
    const DropCaret drop = ComputeDropCaret(w, v, v.dropPoint->first, v.dropPoint->second);
    if (drop.found) v.dropCaret = drop.bar;
  }

  const int32_t dpi = ScreenDpi(w);
  const double zoom = ZoomOf(w);
  const auto scale = static_cast<int32_t>(zoom);
  PassJobs jobs;  // the settled gaps and anchors: drawing changes nothing

  const int32_t dropPage = v.dropCaret ? g.pageAt(v.dropCaret->top) : -1;
  std::optional<int64_t> caretBottom;
  PageFrame frame = ScaledFrame(w, dpi, zoom);
  const bool all = settle.drawAllPages;
  v.drawAllRequest = all;  // PagesToDraw reads it once more for the layout that now stands
  const std::vector<int32_t> pages = PagesToDraw(w, v);
  v.drawAllRequest = false;
  for (const int32_t p : pages) {
    const int64_t top = g.blockTop(p);
    const IntRect block{0, static_cast<int32_t>(top), g.blockWidth(),
                        static_cast<int32_t>(top + g.blockHeight())};
    Canvas* canvas = sink.beginBlock(p, block);
    if (!canvas) continue;
    DrawPageBackground(*canvas, g);
    CanvasTarget target(w, *canvas, scale);
    std::optional<IntRect> bar;
    if (p == dropPage) {
      bar = *v.dropCaret;
      bar->top -= block.top;
      bar->bottom -= block.top;
    }
    WindowAids aids(w, v, target, top, bar);
    jobs.observer = &aids;
    PagePass pass(w, target, jobs);
    frame.page = p;
    frame.originX = g.originX;
    frame.originY = g.originY;
    frame.frameOffset = 1;
    pass.drawPage(frame);
    if (aids.caretFieldBottom()) caretBottom = top + *aids.caretFieldBottom();
    sink.endBlock(p, block);
    v.pagesDrawn.push_back(p);
  }

  CaretState& c = v.caret;
  c.visible = c.placed && !isThereAmarking(w) && v.hasFocus && CaretField(w.doc) &&
              (!caretBottom || c.y < *caretBottom);
  v.statusPage = StatusPageText(w);
  v.statusLine = StatusLineText(w);
  w.app.ui().statusText(0, v.statusPage);
  w.app.ui().statusText(1, v.statusLine);
  return result;
}

// --- Zoom

bool FormResize(TMDIChild& w, WindowView& v) {
  Document& d = w.doc;
  if (d.zoomMode != kZoomPageWidth && d.zoomMode != kZoomWholePage) return false;
  const int32_t dpi = ScreenDpi(w);
  const int32_t wp = PagePixels(w, w.measure.pageWidthPx, dpi, 100);
  const int32_t hp = PagePixels(w, w.measure.pageHeightPx, dpi, 100);
  const int64_t usableWidth = v.box.width - v.box.vScrollBarWidth - 4;
  const int64_t usableHeight = v.box.height - v.box.hScrollBarHeight - 4;
  // A window too small to show anything keeps its zoom.
  if (usableWidth <= 0 || (d.zoomMode == kZoomWholePage && usableHeight <= 0)) return false;
  double zoom = RoundHalfEven(usableWidth * 10000.0 / (wp + kPageAreaMargin)) / 100;
  if (d.zoomMode == kZoomWholePage) {
    const double z =
        static_cast<double>(static_cast<int64_t>(usableWidth * 10000.0 / (wp + kPageAreaMargin))) /
        100;
    const double zh = RoundHalfEven(usableHeight * 10000.0 / (hp + kPageAreaMargin)) / 100;
    zoom = std::min(z, zh);
  }
  if (zoom <= 0 || zoom == d.zoomPercent) return false;
  d.zoomPercent = zoom;
  HostOf(w).restartRepaintTimer();
  return true;
}

std::string ZoomBoxText(double percent) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", percent);
  std::string s(buf);
  std::replace(s.begin(), s.end(), '.', ',');
  return s + "%";
}

ZoomTextResult ApplyZoomText(TMDIChild& w, WindowView& v, std::string_view text) {
  std::string s = Trimmed(text);
  Document& d = w.doc;
  if (s == "Seitenbreite" || s == "Ganze Seite") {
    d.zoomMode = s == "Seitenbreite" ? kZoomPageWidth : kZoomWholePage;
    FormResize(w, v);
    HostOf(w).restartRepaintTimer();
    return d.zoomMode == kZoomPageWidth ? ZoomTextResult::PageWidth : ZoomTextResult::WholePage;
  }
  if (!s.empty() && s.back() == '%') s = Trimmed(std::string_view(s).substr(0, s.size() - 1));
  std::replace(s.begin(), s.end(), ',', '.');
  double value = 0;
  const char* end = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(s.data(), end, value);
  if (s.empty() || ec != std::errc() || ptr != end) return ZoomTextResult::Ignored;
  if (!(value >= kMinZoom && value <= kMaxZoom)) return ZoomTextResult::Ignored;
  d.zoomPercent = value;
  d.zoomMode = kZoomFixed;
  HostOf(w).restartRepaintTimer();
  return ZoomTextResult::Fixed;
}

ZoomDialog ZoomDialogFor(const TMDIChild& w) {
  ZoomDialog z;
  z.percent = w.doc.zoomPercent;
  z.choice = w.doc.zoomMode == kZoomPageWidth   ? ZoomDialog::Choice::PageWidth
             : w.doc.zoomMode == kZoomWholePage ? ZoomDialog::Choice::WholePage
                                                : ZoomDialog::Choice::Percent;
  return z;
}

ZoomTextResult ApplyZoomDialog(TMDIChild& w, WindowView& v, const ZoomDialog& d) {
  switch (d.choice) {
    case ZoomDialog::Choice::PageWidth:
      return ApplyZoomText(w, v, "Seitenbreite");
    case ZoomDialog::Choice::WholePage:
      return ApplyZoomText(w, v, "Ganze Seite");
    default:
      return ApplyZoomText(w, v, ZoomBoxText(d.percent));
  }
}

// --- Scrolling

int64_t ScrollToShowCaret(const ScrollBoxState& box, int64_t caretTop) {
  const int64_t current = box.scrollY;
  const int64_t bottom = caretTop + kCaretScrollBand;
  if (caretTop < current) return caretTop;
  if (bottom > current + box.clientHeight) return bottom - box.clientHeight;
  return current;
}

int64_t ScrollCursorinView(TMDIChild& w, const WindowView& v) {
  const Document& d = w.doc;
  const int64_t current = v.box.scrollY;
  if (d.Cursor.field < 0 || d.Cursor.field >= d.fieldCount()) return current;
  const FieldRec& f = d.fields[d.Cursor.field];
  if (f.type > kFieldTextBox || (f.type == kFieldTextBox && f.selected)) return current;
  const std::optional<CaretPlace> caret = CaretPlaceOf(w, v, d.Cursor);
  return caret ? ScrollToShowCaret(v.box, caret->top) : current;
}

int64_t MouseWheelScroll(const WindowView& v, WheelTurn turn) {
  const int64_t limit = std::max<int64_t>(0, v.geometry.areaHeight - v.box.clientHeight);
  const int64_t y = v.box.scrollY + (turn == WheelTurn::Down ? kWheelStep : -kWheelStep);
  return std::clamp<int64_t>(y, 0, limit);
}

// --- Page view

std::string Seitenansicht(TMDIChild& w, WindowView& v, bool on) {
  Document& d = w.doc;
  if (on == v.pageView) return ZoomBoxText(d.zoomPercent);
  if (on) {
    v.pageView = true;
    v.savedZoomPercent = d.zoomPercent;
    v.savedZoomMode = d.zoomMode;
    d.zoomMode = kZoomWholePage;
    FormResize(w, v);
    HostOf(w).restartRepaintTimer();
    return ZoomBoxText(d.zoomPercent);
  }
  v.pageView = false;
  // The saved zoom goes through the zoom box as if typed, then the saved mode fits again.
  const std::string text = ZoomBoxText(v.savedZoomPercent);
  ApplyZoomText(w, v, text);
  d.zoomMode = v.savedZoomMode;
  FormResize(w, v);
  HostOf(w).restartRepaintTimer();
  return ZoomBoxText(d.zoomPercent);
}

}  // namespace paginor
