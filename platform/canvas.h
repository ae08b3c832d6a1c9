// The drawing surface of page drawing. The window (an off-screen page bitmap), the printer and a
// canvas that draws nothing (used to settle text flow around objects headless) implement it, so
// the page-drawing rules are written once. Coordinates are whole device pixels, y downwards.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace paginor {

struct BildRec;
using Colour = int32_t;  // 0x00BBGGRR

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
enum class BrushStyle { Solid, Clear, DiagonalCross };

struct CanvasPen {
  PenStyle style = PenStyle::Solid;
  int32_t width = 1;
  Colour colour = 0;
};

struct CanvasBrush {
  BrushStyle style = BrushStyle::Solid;
  Colour colour = 0xFFFFFF;
};

struct IntRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const IntRect&, const IntRect&) = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Device pixels per inch; fonts are made for this resolution.
  virtual int32_t resolution() const = 0;
  // True for a canvas that only lets the drawing pass compute (text flow, anchors).
  virtual bool drawsNothing() const { return false; }

  virtual void setPen(const CanvasPen& pen) = 0;
  virtual void setBrush(const CanvasBrush& brush) = 0;
  virtual void moveTo(int32_t x, int32_t y) = 0;
  // A line from the pen position to (x, y), the end point excluded.
  virtual void lineTo(int32_t x, int32_t y) = 0;
  // Fills [left, right) x [top, bottom) with the brush.
  virtual void fillRect(const IntRect& r) = 0;
  // Fills with the brush and outlines with the pen.
  virtual void rectangle(const IntRect& r) = 0;
  virtual void ellipse(const IntRect& r) = 0;
  virtual void invertRect(const IntRect& r) = 0;
  // Restricts drawing to a rectangle, or to a ring (outer less inner); nullptr lifts the clip.
  virtual void setClip(const IntRect* r) = 0;
  virtual void setClipRing(const IntRect& outer, const IntRect& inner) = 0;

  // Text: fonts are FontEngine handles made for resolution(); text is Windows-1252, drawn with
  // its cell's top-left corner at (x, y) on a transparent background.
  virtual void selectFont(FontHandle font, Colour textColour) = 0;
  virtual void textOut(int32_t x, int32_t y, std::string_view text) = 0;
  virtual TextExtent textExtent(std::string_view text) = 0;

  // Stretches a picture into the rectangle.
  virtual void drawPicture(const IntRect& dest, const BildRec& picture) = 0;

  // What picture drawing needs to choose its way: a printer stretches pictures itself, a screen
  // gets them row by row (dithered when it has 256 colours or fewer).
  virtual bool isPrinter() const { return false; }
  virtual int32_t colourDepth() const { return 32; }
  // Sets one row of pixels (0x00RRGGBB, left to right) with its left end at (x, y).
  virtual void setPixelRow(int32_t x, int32_t y, const uint32_t* pixels, int32_t count) {
    (void)x;
    (void)y;
    (void)pixels;
    (void)count;
  }
};

// A canvas that draws nothing but measures text like the others.
class NullCanvas : public Canvas {
 public:
  NullCanvas(FontEngine& fonts, int32_t resolution) : fonts_(fonts), resolution_(resolution) {}
  int32_t resolution() const override { return resolution_; }
  bool drawsNothing() const override { return true; }
  void setPen(const CanvasPen&) override {}
  void setBrush(const CanvasBrush&) override {}
  void moveTo(int32_t, int32_t) override {}
  void lineTo(int32_t, int32_t) override {}
  void fillRect(const IntRect&) override {}
  void rectangle(const IntRect&) override {}
  void ellipse(const IntRect&) override {}
  void invertRect(const IntRect&) override {}
  void setClip(const IntRect*) override {}
  void setClipRing(const IntRect&, const IntRect&) override {}
  void selectFont(FontHandle font, Colour) override { font_ = font; }
  void textOut(int32_t, int32_t, std::string_view) override {}
  TextExtent textExtent(std::string_view text) override {
    return font_ ? fonts_.textExtent(font_, text) : TextExtent{};
  }
  void drawPicture(const IntRect&, const BildRec&) override {}

 private:
  FontEngine& fonts_;
  int32_t resolution_;
  FontHandle font_ = 0;
};

}  // namespace paginor
