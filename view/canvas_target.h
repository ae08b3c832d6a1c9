// The drawing rules' surface on a Canvas (the window, the printer, a canvas that draws nothing).
#pragma once

#include <string>

#include "layout/measure.h"
#include "platform/font_cache.h"
#include "view/page_pass.h"
#include "view/picture_draw.h"
#include "window/document_window.h"

namespace paginor {

// The drawing rules' surface on a Canvas. Fonts are made with selfont at the canvas resolution
// and the zoom, once each per pass, and released with the pass.
class CanvasTarget : public PageTarget {
 public:
  Canvas& canvas() { return c_; }
  CanvasTarget(TMDIChild& w, Canvas& canvas, int32_t zoom)
      : w_(w), c_(canvas), zoom_(zoom), fonts_(w.app.fonts()) {}
  CanvasTarget(const CanvasTarget&) = delete;
  CanvasTarget& operator=(const CanvasTarget&) = delete;

  bool drawsNothing() const override { return c_.drawsNothing(); }
  void setPen(const CanvasPen& pen) override { c_.setPen(pen); }
  void setBrush(const CanvasBrush& brush) override { c_.setBrush(brush); }
  void fillRect(const IntRect& r) override { c_.fillRect(r); }
  void rectangle(const IntRect& r) override { c_.rectangle(r); }
  void ellipse(const IntRect& r) override { c_.ellipse(r); }
  void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) override {
    c_.moveTo(x0, y0);
    c_.lineTo(x1, y1);
  }
  void picture(int32_t x, int32_t y, int32_t width, int32_t height, const BildRec& p) override {
    DrawDib(c_, x, y, width, height, p, true);
  }
  void selectFont(const DrawFont& f) override {
    // The zoom is the pass's, the same for every key of this cache.
    font_ = fonts_.get({f.name, f.size, f.style, f.charset, c_.resolution()}, [&](FontEngine&) {
      return selfont(w_, f.name, c_.resolution(), f.attributes, f.charset, f.style, f.size, zoom_);
    });
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
  FontCache fonts_;
  FontHandle font_ = 0;
  Colour colour_ = 0;
};

}  // namespace paginor
