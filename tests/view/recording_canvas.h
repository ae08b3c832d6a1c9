// A canvas that records what is drawn on it (and measures text like the others), and a page
// block sink that hands out one per block, for the window drawing tests.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "view/window_view.h"

namespace paginor::test {

class RecordCanvas : public Canvas {
 public:
  enum class Kind { Fill, Rectangle, Ellipse, Line, Invert, Text, Picture, PixelRow, ClipRing };
  struct Op {
    Kind kind = Kind::Fill;
    IntRect r;          // rectangles; lines: (x0, y0)-(x1, y1); text: (x, y)
    Colour colour = 0;  // brush (fills), pen (lines), text colour
    BrushStyle brush = BrushStyle::Solid;
    std::string text;
    std::vector<uint32_t> pixels;      // pixel rows
    const BildRec* picture = nullptr;  // only valid while drawing
    int32_t pictureBits = 0;           // of the picture handed to drawPicture
    int32_t pictureWidth = 0;
  };
  static Op Make(Kind kind, const IntRect& r, Colour colour = 0,
                 BrushStyle brush = BrushStyle::Solid) {
    Op op;
    op.kind = kind;
    op.r = r;
    op.colour = colour;
    op.brush = brush;
    return op;
  }

  RecordCanvas(FontEngine& fonts, int32_t resolution) : fonts_(fonts), res_(resolution) {}
  int32_t resolution() const override { return res_; }
  bool isPrinter() const override { return printer; }
  int32_t colourDepth() const override { return depth; }
  void setPen(const CanvasPen& p) override { pen_ = p; }
  void setBrush(const CanvasBrush& b) override { brush_ = b; }
  void moveTo(int32_t x, int32_t y) override { x_ = x, y_ = y; }
  void lineTo(int32_t x, int32_t y) override {
    if (pen_.style != PenStyle::Clear) ops.push_back(Make(Kind::Line, {x_, y_, x, y}, pen_.colour));
    x_ = x, y_ = y;
  }
  void fillRect(const IntRect& r) override {
    if (brush_.style != BrushStyle::Clear)
      ops.push_back(Make(Kind::Fill, r, brush_.colour, brush_.style));
  }
  void rectangle(const IntRect& r) override {
    ops.push_back(Make(Kind::Rectangle, r, brush_.colour, brush_.style));
  }
  void ellipse(const IntRect& r) override { ops.push_back(Make(Kind::Ellipse, r, brush_.colour)); }
  void invertRect(const IntRect& r) override { ops.push_back(Make(Kind::Invert, r)); }
  void setClip(const IntRect*) override {}
  void setClipRing(const IntRect& outer, const IntRect&) override {
    ops.push_back(Make(Kind::ClipRing, outer));
  }
  void selectFont(FontHandle font, Colour colour) override {
    font_ = font;
    textColour_ = colour;
  }
  void textOut(int32_t x, int32_t y, std::string_view text) override {
    Op op = Make(Kind::Text, {x, y, x, y}, textColour_);
    op.text = std::string(text);
    ops.push_back(op);
  }
  TextExtent textExtent(std::string_view text) override { return fonts_.textExtent(font_, text); }
  void drawPicture(const IntRect& dest, const BildRec& picture) override {
    Op op = Make(Kind::Picture, dest);
    op.picture = &picture;
    op.pictureBits = picture.bitsPerPixel();
    op.pictureWidth = picture.width();
    ops.push_back(op);
  }
  void setPixelRow(int32_t x, int32_t y, const uint32_t* pixels, int32_t count) override {
    Op op = Make(Kind::PixelRow, {x, y, x + count, y + 1});
    op.pixels.assign(pixels, pixels + count);
    ops.push_back(op);
  }

  std::vector<Op> of(Kind kind) const {
    std::vector<Op> out;
    for (const Op& op : ops)
      if (op.kind == kind) out.push_back(op);
    return out;
  }
  // Texts equal to `text`.
  std::vector<Op> texts(const std::string& text) const {
    std::vector<Op> out;
    for (const Op& op : ops)
      if (op.kind == Kind::Text && op.text == text) out.push_back(op);
    return out;
  }
  std::vector<Op> lines(Colour colour) const {
    std::vector<Op> out;
    for (const Op& op : ops)
      if (op.kind == Kind::Line && op.colour == colour) out.push_back(op);
    return out;
  }

  std::vector<Op> ops;
  bool printer = false;
  int32_t depth = 32;

 private:
  FontEngine& fonts_;
  int32_t res_;
  FontHandle font_ = 0;
  Colour textColour_ = 0;
  CanvasPen pen_;
  CanvasBrush brush_;
  int32_t x_ = 0, y_ = 0;
};

// One recording canvas per page block, kept by page.
class RecordSink : public PageBlockSink {
 public:
  RecordSink(FontEngine& fonts, int32_t resolution) : fonts_(fonts), res_(resolution) {}
  Canvas* beginBlock(int32_t page, const IntRect& block) override {
    auto& c = blocks[page];
    c = std::make_unique<RecordCanvas>(fonts_, res_);
    rects[page] = block;
    return c.get();
  }
  void endBlock(int32_t page, const IntRect&) override { ended.push_back(page); }
  RecordCanvas& at(int32_t page) { return *blocks.at(page); }

  std::map<int32_t, std::unique_ptr<RecordCanvas>> blocks;
  std::map<int32_t, IntRect> rects;
  std::vector<int32_t> ended;

 private:
  FontEngine& fonts_;
  int32_t res_;
};

}  // namespace paginor::test
