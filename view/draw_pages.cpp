// DrawPages: the drawing rules on a Canvas, in device pixels.

#include "view/draw_pages.h"

#include <climits>
#include <map>
#include <tuple>

#include "layout/layout.h"
#include "layout/measure.h"
#include "model/document_window.h"
#include "model/queries.h"
#include "view/page_pass.h"

namespace paginor {

namespace {

// Window geometry: each page's block starts with the page at (16, 16); blocks are stacked with
// 21 pixels between the pages.
constexpr int32_t kPageOrigin = 16;
constexpr int32_t kPageGap = 21;

// The drawing rules' surface on a Canvas. Fonts are made with selfont at the canvas resolution
// and the zoom, once each per pass.
class CanvasTarget : public PageTarget {
 public:
  CanvasTarget(TMDIChild& w, Canvas& canvas, int32_t zoom) : w_(w), c_(canvas), zoom_(zoom) {}
  ~CanvasTarget() override {
    for (auto& [key, handle] : fonts_) w_.app.fonts().deleteFont(handle);
  }
  CanvasTarget(const CanvasTarget&) = delete;
  CanvasTarget& operator=(const CanvasTarget&) = delete;

  bool drawsNothing() const override { return c_.drawsNothing(); }
  void setPen(Colour colour, int32_t width, bool clear) override {
    c_.setPen({clear ? PenStyle::Clear : PenStyle::Solid, width, colour});
  }
  void setBrush(Colour colour, bool clear) override {
    c_.setBrush({clear ? BrushStyle::Clear : BrushStyle::Solid, colour});
  }
  void fillRect(const IntRect& r) override { c_.fillRect(r); }
  void rectangle(const IntRect& r) override { c_.rectangle(r); }
  void ellipse(const IntRect& r) override { c_.ellipse(r); }
  void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override {
    c_.moveTo(x0, y0);
    c_.lineTo(x1, y1);
  }
  void picture(int32_t x, int32_t y, int32_t width, int32_t height, const BildRec& p) override {
    c_.drawPicture({x, y, x + width, y + height}, p);
  }
  void selectFont(const DrawFont& f) override {
    auto key = std::make_tuple(f.name, f.size, f.style, f.charset);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
      const FontHandle h =
          selfont(w_, f.name, c_.resolution(), f.attributes, f.charset, f.style, f.size, zoom_);
      it = fonts_.emplace(std::move(key), h).first;
    }
    font_ = it->second;
    c_.selectFont(font_, colour_);
  }
  void setTextColour(Colour colour) override {
    if (colour == colour_) return;
    colour_ = colour;
    c_.selectFont(font_, colour_);
  }
  void textOut(int32_t x, int32_t y, std::string_view text) override { c_.textOut(x, y, text); }
  int32_t textWidth(std::string_view text) override { return c_.textExtent(text).cx; }
  int32_t textHeight(std::string_view text) override { return c_.textExtent(text).cy; }
  void clipText(const IntRect* r) override { c_.setClip(r); }

 private:
  TMDIChild& w_;
  Canvas& c_;
  int32_t zoom_;
  std::map<std::tuple<std::string, int32_t, uint8_t, uint8_t>, FontHandle> fonts_;
  FontHandle font_ = 0;
  Colour colour_ = 0;
};

// The page of the Cursor: its field's page, or the current page for a field shown on several.
int32_t CursorPage(const Document& d) {
  if (d.Cursor.field < 0 || d.Cursor.field >= d.fieldCount()) return d.currentPage;
  const FieldRec& f = d.fields[d.Cursor.field];
  return f.showOn != 0 ? d.currentPage : f.page;
}

}  // namespace

DrawResult DrawPages(TMDIChild& w, Canvas& canvas, bool toOtherCanvas, int32_t originY,
                     int32_t originX, int32_t page, const ViewState& view) {
  const int32_t res = canvas.resolution() > 0 ? canvas.resolution() : 96;
  const double zoom = toOtherCanvas || view.zoomPercent <= 0 ? 100.0 : view.zoomPercent;
  const double docRes = w.measure.resolution > 0 ? w.measure.resolution : 600;
  PageFrame frame;
  frame.mmPerUnit = kMmPerInch / res / zoom * 100;
  frame.unitsPerPoint = zoom * res / 72 / 100;
  frame.width = static_cast<int32_t>(zoom * (res * w.measure.pageWidthPx / docRes) / 100);
  frame.height = static_cast<int32_t>(zoom * (res * w.measure.pageHeightPx / docRes) / 100);

  CanvasTarget target(w, canvas, static_cast<int32_t>(zoom));
  PassJobs jobs;
  jobs.flowAround = true;
  jobs.anchors = !toOtherCanvas;
  PagePass pass(w, target, jobs);

  if (toOtherCanvas) {
    frame.page = page;
    frame.originX = originX;
    frame.originY = originY;
    pass.drawPage(frame);
    return pass.result();
  }

  pass.beginAnchorSearch();
  const int32_t pages = GetAnzPages(w.doc);
  const int32_t cursorPage = CursorPage(w.doc);
  for (int32_t v = 0; v < pages; ++v) {
    const int64_t blockTop = static_cast<int64_t>(frame.height + kPageGap) * v;
    const bool visible =
        blockTop < view.visibleBottom && blockTop + frame.height + kPageGap > view.visibleTop;
    if (!view.drawAllPages && !visible && v != cursorPage) continue;
    frame.page = v;
    frame.originX = kPageOrigin;
    frame.originY = static_cast<int32_t>(blockTop) + kPageOrigin;
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

}  // namespace paginor
