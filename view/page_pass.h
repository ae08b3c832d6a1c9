// The drawing rules of one page, written once for every surface: the window and the printer
// (through Canvas, in pixels) and the PDF writer (in points). A surface is a PageTarget; the
// rules convert millimetres to its units with its scale and truncate as the surfaces always
// have, so the same document lands on the same whole units everywhere.
//
// The pass reads the laid-out model and writes only what page drawing owns: skipBefore (when it
// flows text around objects), the anchors of objects that move with the text, the table widths
// turned into millimetres, and the texts of page-number fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"
#include "platform/canvas.h"
#include "view/draw_pages.h"
#include "view/line_rules.h"

namespace paginor {

class TMDIChild;

// A font as the drawing selects it: whole points, FontRec style bits.
struct DrawFont {
  std::string name;  // Windows-1252
  int32_t size = 12;
  uint8_t style = 0;
  uint8_t charset = 1;
  uint16_t attributes = 0;
  bool sameAs(const DrawFont& o) const {
    return size == o.size && style == o.style && charset == o.charset && name == o.name;
  }
};

// The drawing surface of the rules. Units are the surface's (pixels or points), y downwards.
class PageTarget {
 public:
  virtual ~PageTarget() = default;
  // A surface that only lets the pass compute: no text is measured or drawn on it.
  virtual bool drawsNothing() const { return false; }

  virtual void setPen(const CanvasPen& pen) = 0;
  virtual void setBrush(const CanvasBrush& brush) = 0;
  // [left, right) x [top, bottom) in the brush.
  virtual void fillRect(const IntRect& r) = 0;
  // The same for the bars the text rules lay edge to edge: character backgrounds, table cell
  // backgrounds and borders.
  virtual void fillBar(const IntRect& r) { fillRect(r); }
  // Filled with the brush, outlined with the pen.
  virtual void rectangle(const IntRect& r) = 0;
  virtual void ellipse(const IntRect& r) = 0;
  virtual void line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) = 0;
  virtual void picture(int32_t x, int32_t y, int32_t width, int32_t height,
                       const BildRec& picture) = 0;

  virtual void selectFont(const DrawFont& font) = 0;
  virtual void setTextColour(Colour colour) = 0;
  // Text with the top-left corner of its cell at (x, y).
  virtual void textOut(int32_t x, int32_t y, std::string_view text) = 0;
  // The same, told where the rules would place it before truncating x (x <= exactX < x + 1)
  // and whether it follows the text drawn before it without a gap of its own (no skip before
  // it, no stretched space after that text).
  virtual void textOutAt(double exactX, int32_t x, int32_t y, std::string_view text, bool follows) {
    (void)exactX;
    (void)follows;
    textOut(x, y, text);
  }
  virtual int32_t textWidth(std::string_view text) = 0;
  virtual int32_t textHeight(std::string_view text) = 0;
  // How far below the top of its cell the surface puts the text's baseline.
  virtual int32_t baseline(std::string_view text) { return textHeight(text); }
  // Restricts text to a rectangle; nullptr lifts it. Surfaces that cannot clip ignore it.
  virtual void clipText(const IntRect* r) { (void)r; }
};

// Where one page lands on the surface and at which scale.
struct PageFrame {
  int32_t page = 0;
  int32_t originX = 0, originY = 0;
  int32_t frameOffset = 0;        // 1 on the window (the page's outline takes the first pixel)
  int32_t width = 0, height = 0;  // page size in units
  double mmPerUnit = kMmPerInch / 72;
  double unitsPerPoint = 1.0;
};

// Where the pass placed a line (units of the surface), for the window's aids and the hit test.
struct LinePlace {
  int32_t page = 0;
  int32_t field = 0;
  int32_t line = 0;
  IntRect fieldRect;     // the field's rectangle
  int32_t top = 0;       // T: Trunc(y / mpp + y1)
  int32_t bottom = 0;    // B: Trunc((y + lineHeight) / mpp + y1)
  int32_t height = 0;    // L
  int32_t spanLeft = 0;  // the column or table cell the line belongs to
  int32_t spanRight = 0;
  // The text column around it (the same as the span outside tables), and the span's edges in
  // millimetres from the column's left edge: the rulers scale the column and mark the cell.
  int32_t columnLeft = 0;
  int32_t columnRight = 0;
  double spanLeftMm = 0;
  double spanRightMm = 0;
  int32_t textLeft = 0;  // where the first cell starts (shift and list indent included)
  const LineRec* rec = nullptr;
};

// Where the pass placed a cell.
struct CellPlace {
  int32_t index = 0;
  int32_t left = 0;    // Trunc(x / mpp + x1 + shift) before the cell
  int32_t right = 0;   // the same after it (justification included)
  int32_t height = 0;  // Trunc(height / mpp)
  int32_t size = 12;   // font size drawn, points
  const CharRec* cell = nullptr;
};

// Watches the pass on the window: draws the aids and finds what lies under the mouse. Hooks
// that return true selected a font of their own (the pass then selects its next font anew).
class PassObserver {
 public:
  virtual ~PassObserver() = default;
  virtual void beginPage(const PageFrame& frame) { (void)frame; }
  virtual void endPage() {}
  // After the field's frame and shape, before its text.
  virtual void field(int32_t index, const IntRect& r) {
    (void)index;
    (void)r;
  }
  // Before the line's cells, after its bullet or number.
  virtual void line(const LinePlace& l) { (void)l; }
  virtual bool cell(const LinePlace& l, const CellPlace& c) {
    (void)l;
    (void)c;
    return false;
  }
  // After the cells; endX is where the text ends.
  virtual bool lineEnd(const LinePlace& l, int32_t endX) {
    (void)l;
    (void)endX;
    return false;
  }
  // A table cell line's cell rectangle (x from its left to its right edge inclusive).
  virtual void tableCell(const LinePlace& l, const IntRect& cell) {
    (void)l;
    (void)cell;
  }
};

// The scales and page size of pages drawn at `resolution` units per inch and `zoom` percent.
PageFrame ScaledFrame(const TMDIChild& w, int32_t resolution, double zoom);

// Which jobs besides drawing the pass does, and which variant of the text decorations it uses.
struct PassJobs {
  bool flowAround = false;  // compute skipBefore; otherwise the stored values are used
  bool anchors = false;     // move anchored objects and look for their anchor lines (window)
  // The PDF variant: underlines below the text box, strike-out drawn as a line, and fields of
  // reduced size stand on the line bottom whether superscript or not.
  bool pdfDecorations = false;
  // The window's aids and hit test; none on other surfaces.
  PassObserver* observer = nullptr;
};

// What the text of a run carries besides its font.
struct TextEffects {
  int32_t size = 12;
  int32_t underline = 0;  // 0 none, 1 single, 2 double
  Colour text = 0;
  Colour shadow = 0x808080;
  Colour outline = 0x00FFFF;
  bool shadowed = false;
  bool outlined = false;
};

// The effects attribute bits give a run of text at `size`.
TextEffects EffectsOf(uint16_t attributes, int32_t size, Colour text, Colour shadow,
                      Colour outline);

// Draws the pages of one document onto one surface. The window's aids (marks of non-printable
// characters, selection, caret, mouse hits) watch it through PassJobs::observer.
class PagePass {
 public:
  PagePass(TMDIChild& w, PageTarget& target, const PassJobs& jobs);
  // Draws the page of `frame`: page bodies, then headers, footers and footnote areas, then the
  // floating objects shown on it.
  void drawPage(const PageFrame& frame);
  // Clears every object's anchor search (start of a window pass).
  void beginAnchorSearch();
  // Gives the objects that found an anchor line their anchor (end of a window pass that moved
  // nothing).
  void assignAnchors();
  const DrawResult& result() const { return result_; }

 private:
  // Per field being drawn: its rectangle in units and in page millimetres.
  struct FieldBox {
    int32_t index = 0;
    IntRect r;
    double leftMm = 0, topMm = 0;
    double textWidth = 0;  // mm
  };
  // Per line being drawn.
  struct LineState {
    int32_t index = 0;
    double y = 0;       // mm from the field's top
    int32_t K = 0;      // line height in units
    double x = 0;       // running x, mm from the field's left edge
    double extent = 0;  // mm
    int32_t spaces = 0;
    double available = 0;  // column or cell width, mm
    double offset = 0;     // column (and cell) offset, mm, margin included
    double columnOffset = 0;  // the text column alone, before a table cell narrows it
    double columnAvailable = 0;
    int32_t shift = 0;     // alignment shift, units
    double extra = 0;      // justification: mm added to every counted space
    bool paragraphStart = false;
    LinePlace place;  // for the observer
  };

  // draw_fields.cpp
  FieldBox boxOf(int32_t index) const;
  void drawField(int32_t index);
  void drawFrame(const FieldRec& f, const IntRect& r);
  void drawPictureField(const FieldRec& f, const IntRect& r);
  void drawFootnoteSeparator(const FieldRec& f, const IntRect& r);

  // draw_text.cpp
  void drawText(const FieldBox& box);
  void drawLine(const FieldBox& box, LineRec& line, LineState& s);
  void placeColumn(const FieldBox& box, const LineRec& line, LineState& s);
  void align(const FieldBox& box, const LineRec& line, LineState& s);
  void drawListMark(const FieldBox& box, const LineRec& line, LineState& s);
  void advance(const LineRec& line, LineState& s) const;

  // draw_cells.cpp
  void drawCells(const FieldBox& box, LineRec& line, LineState& s);
  void drawCellContent(const LineRec& line, const LineState& s, const CharRec& cell,
                       const FontRec& font, double exactX, int32_t yt, bool last, bool follows);
  void drawTabFill(const CharRec& cell, int32_t x, int32_t bottom, int32_t width);
  void drawFieldText(std::string_view text, int32_t x, int32_t y, int32_t width,
                     const TextEffects& e);
  // A run of text with its effects; `fraction` is what truncating x cut off, `follows` as for
  // PageTarget::textOutAt.
  void drawRun(int32_t x, int32_t y, std::string_view text, const TextEffects& e,
               double fraction = 0, bool follows = false);
  void useFont(const DrawFont& font);
  void usePen(Colour colour, int32_t width);

  // draw_tables.cpp
  void drawTableCell(const FieldBox& box, LineRec& line, LineState& s);
  void observeTableCell(const FieldBox& box, const LineRec& line, const LineState& s,
                        const TableCellSpan& span);

  void observeLine(const FieldBox& box, const LineRec& line, LineState& s);
  void observeCell(const LineState& s, int32_t i, const CharRec& cell, int32_t left, int32_t right,
                   int32_t size);

  // flow_around.cpp
  double flowSkip(const FieldBox& box, const LineRec& line, const LineState& s,
                  const CharRec& cell) const;
  void storeSkip(LineRec& line, int32_t i, double skip);

  // anchors.cpp
  void moveAnchoredObjects(const FieldBox& box, LineRec& line, const LineState& s);
  void searchAnchor(const FieldBox& box, const LineState& s);
  void findAnchorables();

  TMDIChild& w_;
  Document& d_;
  PageTarget& t_;
  PassJobs jobs_;
  PageFrame frame_;
  DrawResult result_;

  std::vector<FlowObstacle> obstacles_;  // of the page being drawn
  std::vector<int32_t> anchorables_;     // objects on the page that move with the text
  DrawFont font_;                        // selected last on this page
  bool fontValid_ = false;
  Colour penColour_ = 0;
  int32_t penWidth_ = 1;
};

// Millimetres to units, truncated toward zero as every position of the drawing is.
inline int32_t Units(double mm, double mmPerUnit) {
  return static_cast<int32_t>(mm / mmPerUnit);
}

}  // namespace paginor
