// The canvases of the desktop program: page drawing through a QPainter, onto the off-screen page
// bitmap of a document window (QtCanvas) or onto a printer's sheet (QtPrinterCanvas).
//
// Text is drawn glyph by glyph where the FontEngine measured it: glyph k of a textOut starts at
// x + the sum of the rounded advances of the glyphs before it, on the baseline y + the font's
// rounded ascent, taken from the very font file the engine measured that byte with, at the same
// em size. So the screen, the printer and the PDF export agree on every line break and position.
#pragma once

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/canvas.h"

namespace paginor {

// Everything but the device: pens, brushes, clips, text and pictures on a QPainter.
class QtPainterCanvas : public Canvas {
 public:
  QtPainterCanvas(FontEngine& fonts, int32_t resolution);
  ~QtPainterCanvas() override;
  QtPainterCanvas(const QtPainterCanvas&) = delete;
  QtPainterCanvas& operator=(const QtPainterCanvas&) = delete;

  int32_t resolution() const override { return resolution_; }
  void setPen(const CanvasPen& pen) override;
  void setBrush(const CanvasBrush& brush) override;
  void moveTo(int32_t x, int32_t y) override;
  void lineTo(int32_t x, int32_t y) override;
  void fillRect(const IntRect& r) override;
  void rectangle(const IntRect& r) override;
  void ellipse(const IntRect& r) override;
  // XOR with white: drawing it twice restores the pixels. A printer cannot invert; it ignores it.
  void invertRect(const IntRect& r) override;
  void setClip(const IntRect* r) override;
  void setClipRing(const IntRect& outer, const IntRect& inner) override;
  void selectFont(FontHandle font, Colour textColour) override;
  void textOut(int32_t x, int32_t y, std::string_view text) override;
  TextExtent textExtent(std::string_view text) override;
  void drawPicture(const IntRect& dest, const BildRec& picture) override;
  void setPixelRow(int32_t x, int32_t y, const uint32_t* pixels, int32_t count) override;

  QPainter& painter() {
    flushText();
    return *painter_;
  }

  // Draws the glyphs textOut has gathered. Text comes a byte at a time, and one glyph run per
  // stretch costs far less than one per byte; anything else drawn, and every read of the
  // device, flushes first, so the order of the pixels stays as called.
  void flushText() const;

 protected:
  // The painter the canvas draws with, active on its device; the subclass owns both.
  void attach(QPainter* painter);

 private:
  struct Selection;  // a selected font: its files, em size and the glyphs looked up so far

  Selection& selectionFor(FontHandle font);
  void applyPen();
  // Text and lines share the painter's pen; it is switched only when the other kind draws next,
  // since a pen change per glyph costs more than the glyph.
  void useLinePen();
  void useTextPen() const;

  FontEngine& fonts_;
  int32_t resolution_;
  QPainter* painter_ = nullptr;
  CanvasPen pen_;
  CanvasBrush brush_;
  int32_t penX_ = 0, penY_ = 0;
  FontHandle font_ = 0;
  QColor textColour_;
  enum class PainterPen { Unknown, Line, Text };
  mutable PainterPen painterPen_ = PainterPen::Unknown;
  Selection* selection_ = nullptr;
  // The glyphs not drawn yet, all of one font file in the text colour, at device positions.
  // Mutable: they count as drawn already, so reading the image draws them.
  mutable QGlyphRun pendingRun_;
  mutable std::vector<quint32> pendingIndexes_;
  mutable std::vector<QPointF> pendingPositions_;
  std::vector<std::unique_ptr<Selection>> selections_;  // most recently used last
};

// The off-screen page bitmap of a document window: a 32-bit image (QImage::Format_RGB32),
// white at the start, at the screen's resolution. The image may be read (and copied onto the
// window) at any time; painting goes straight into it.
class QtCanvas : public QtPainterCanvas {
 public:
  QtCanvas(FontEngine& fonts, int32_t resolution, int32_t width, int32_t height);
  ~QtCanvas() override;

  const QImage& image() const {
    flushText();
    return image_;
  }
  int32_t colourDepth() const override { return 32; }

 private:
  QImage image_;
  QPainter painter_;
};

// A printer's sheet: the painter of a running print job (see QtPrinter), at the printer's
// resolution with the origin at the corner of the printable area.
class QtPrinterCanvas : public QtPainterCanvas {
 public:
  QtPrinterCanvas(FontEngine& fonts, int32_t resolution, QPainter& painter);
  bool isPrinter() const override { return true; }
  int32_t colourDepth() const override { return 24; }
};

// The font engine of the desktop program: measures through another engine and remembers how
// each handle was made, so a canvas can draw it at its exact em size and strike it out.
class DrawingFontEngine : public FontEngine {
 public:
  explicit DrawingFontEngine(std::unique_ptr<FontEngine> inner) : inner_(std::move(inner)) {}
  FontHandle createFont(const LogFont& lf, int32_t resolution) override;
  void deleteFont(FontHandle f) override;
  TextExtent textExtent(FontHandle f, std::string_view text) override {
    return inner_->textExtent(f, text);
  }
  FontMetrics metrics(FontHandle f) override { return inner_->metrics(f); }
  std::string fontFile(FontHandle f, int32_t* faceIndex = nullptr) override {
    return inner_->fontFile(f, faceIndex);
  }
  char32_t unicodeFor(FontHandle f, uint8_t byte) override { return inner_->unicodeFor(f, byte); }
  std::string fontFileFor(FontHandle f, uint8_t byte, int32_t* faceIndex = nullptr) override {
    return inner_->fontFileFor(f, byte, faceIndex);
  }
  int32_t pixelsPerEm(FontHandle f) override;
  bool strikeOut(FontHandle f) override;
  std::vector<std::string> warnings() const override { return inner_->warnings(); }

 private:
  struct Made {
    LogFont lf;
    int32_t resolution = 0;
    int32_t pixelsPerEm = 0;  // 0 until asked
  };
  std::unique_ptr<FontEngine> inner_;
  std::unordered_map<FontHandle, Made> made_;
};

// The em size a handle's glyphs are drawn at: the engine's own figure when it gives one, else
// the size that reproduces the handle's rounded ascent, descent and advances from the font
// file's tables. Exposed for the tests.
int32_t DrawingPixelSize(FontEngine& fonts, FontHandle font);

// A loaded font file at an em size in pixels; invalid when the file cannot be read. Loaded
// files are kept for the whole run, sizes while they are in use.
QRawFont RawFontFor(const std::string& file, int32_t pixelSize);

}  // namespace paginor
