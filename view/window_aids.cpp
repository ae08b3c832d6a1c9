#include "view/window_aids.h"

#include <string>

#include "window/document_window.h"
#include "window/marking.h"

namespace paginor {

namespace {

constexpr Colour kBlack = 0;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kLightGrey = 0xC0C0C0;
constexpr Colour kRed = 0x0000FF;
constexpr int32_t kRing = 6;    // the ring around a floating object
constexpr int32_t kHandle = 7;  // handle size

int32_t RoundPx(double v) {
  return static_cast<int32_t>(RoundHalfEven(v));
}

IntRect Grow(const IntRect& r, int32_t by) {
  return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

}  // namespace

WindowAids::WindowAids(TMDIChild& w, WindowView& v, CanvasTarget& target, int64_t blockTop,
                       std::optional<IntRect> dropBar)
    : w_(w), v_(v), t_(target), c_(target.canvas()), blockTop_(blockTop), dropBar_(dropBar) {}

void WindowAids::beginPage(const PageFrame& frame) {
  frame_ = frame;
  marking_ = isThereAmarking(w_);
}

void WindowAids::endPage() {
  if (!dropBar_) return;
  c_.setBrush({BrushStyle::Solid, kBlack});
  c_.fillRect(*dropBar_);
}

void WindowAids::zone(int32_t id, const IntRect& r, int32_t field, int32_t line) {
  const auto top = static_cast<int32_t>(blockTop_);
  AddMouseObj(v_, id, {r.left, r.top + top, r.right, r.bottom + top}, field, line);
}

bool WindowAids::cursorOnThisPage(int32_t field) const {
  const Document& d = w_.doc;
  return d.fields[field].showOn == 0 || d.currentPage == frame_.page;
}

void WindowAids::field(int32_t index, const IntRect& r) {
  const Document& d = w_.doc;
  const FieldRec& f = d.fields[index];
  if (f.type <= kFieldTextBox && f.lineWidth == 0 && aidsOn() && v_.options.helpLines) {
    const double u = frame_.mmPerUnit;
    const int32_t l = r.left + RoundPx(f.marginLeft / u);
    const int32_t rt = r.right - RoundPx(f.marginRight / u);
    const int32_t tp = r.top + RoundPx(f.marginTop / u);
    const int32_t bt = r.bottom - RoundPx(f.marginBottom / u);
    t_.setPen({PenStyle::Solid, 1, kLightGrey});
    t_.line(l, tp, rt, tp);
    t_.line(l, bt, rt, bt);
    t_.line(l, tp, l, bt);
    t_.line(rt, tp, rt, bt);
    t_.setPen({PenStyle::Solid, 1, kBlack});
  }
  if (!f.isFloating()) return;
  zone(kMouseObjectFrame, Grow(r, kRing), index);
  const bool activeBox = f.type == kFieldTextBox && (d.Cursor.field == index || f.selected);
  if (activeBox || f.selected) handles(index, r, activeBox);
}

void WindowAids::handles(int32_t index, const IntRect& r, bool hatch) {
  const IntRect o = Grow(r, kRing);
  if (hatch) {
    c_.setClipRing(o, r);
    c_.setBrush({BrushStyle::Solid, kWhite});
    c_.fillRect(o);
    c_.setBrush({BrushStyle::DiagonalCross, kBlack});
    c_.fillRect(o);
    c_.setClip(nullptr);
  }
  const int32_t mx = o.left + (o.right - o.left) / 2;
  const int32_t my = o.top + (o.bottom - o.top) / 2;
  const int32_t h = kHandle;
  // Zones in the order of their ids; the middles are 6 pixels along their edge.
  const IntRect zones[8] = {
      {o.left, o.top, o.left + h, o.top + h},       {o.right - h, o.top, o.right, o.top + h},
      {o.left, o.bottom - h, o.left + h, o.bottom}, {o.right - h, o.bottom - h, o.right, o.bottom},
      {mx - 3, o.top, mx + 3, o.top + h},           {mx - 3, o.bottom - h, mx + 3, o.bottom},
      {o.left, my - 3, o.left + h, my + 3},         {o.right - h, my - 3, o.right, my + 3}};
  c_.setPen({PenStyle::Solid, 1, kBlack});
  c_.setBrush({BrushStyle::Solid, kWhite});
  for (int32_t k = 0; k < 8; ++k) {
    IntRect box = zones[k];
    // Drawn squares are 7 × 7 everywhere.
    if (k >= 4 && k < 6) box = {mx - 3, box.top, mx + 4, box.bottom};
    if (k >= 6) box = {box.left, my - 3, box.right, my + 4};
    c_.rectangle(box);
    zone(kMouseHandleTopLeft + k, zones[k], index);
  }
}

void WindowAids::placeCaret(const LinePlace& l, int32_t x, int32_t height) {
  CaretState& c = v_.caret;
  c.placed = true;
  c.x = x;
  c.y = blockTop_ + l.bottom - height;
  c.height = height;
  const FieldRec& f = w_.doc.fields[l.field];
  caretFieldBottom_ = l.fieldRect.bottom - Units(f.marginBottom, frame_.mmPerUnit);
  PublishRuler(w_.doc, v_, l, frame_, blockTop_);
}

void WindowAids::line(const LinePlace& l) {
  const CursorPos& cur = w_.doc.Cursor;
  if (cur.field != l.field || cur.line != l.line || cur.chr != 0 || !cursorOnThisPage(l.field))
    return;
  const int32_t h =
      l.rec->charCount() > 0 ? Units(l.rec->chars[0].height, frame_.mmPerUnit) : l.height;
  placeCaret(l, l.textLeft, h);
}

void WindowAids::mark(const char* face, uint8_t charset, int32_t size, uint8_t ch, int32_t x,
                      int32_t bottom, const CellPlace* c) {
  (void)c;
  DrawFont font;
  font.name = face;
  font.size = size > 0 ? size : 1;
  font.charset = charset;
  t_.selectFont(font);
  t_.setTextColour(kBlack);
  const std::string text(1, static_cast<char>(ch));
  t_.textOut(x, bottom - t_.textHeight(text), text);
}

void WindowAids::zigZag(int32_t left, int32_t right, int32_t bottom) {
  t_.setPen({PenStyle::Solid, 1, kRed});
  for (int32_t k = 0; left + 3 * k < right; ++k) {
    const int32_t x = left + 3 * k;
    if (k % 2 == 0)
      t_.line(x, bottom - 2, x + 3, bottom + 1);
    else
      t_.line(x, bottom, x + 3, bottom - 1);
  }
  t_.setPen({PenStyle::Solid, 1, kBlack});
}

bool WindowAids::cell(const LinePlace& l, const CellPlace& c) {
  const CharRec& cell = *c.cell;
  bool fontChanged = false;
  if (!c_.drawsNothing()) {
    const ViewOptions& o = v_.options;
    const int32_t bottom = l.top + l.height;
    if (aidsOn() && cell.kind == kCharText) {
      if (cell.ch == ' ' && (o.markAll || o.markSpaces)) {
        mark("Times New Roman", 1, c.size, 183, c.left, bottom, &c);
        fontChanged = true;
      } else if (cell.ch == '\t' && cell.tabFill == 0 && (o.markAll || o.markTabs)) {
        mark("Symbol", 2, c.size, 174, c.left, bottom, &c);
        fontChanged = true;
      }
    }
    if (aidsOn() && o.spellingMarks && (cell.charFlags >> kFlagMisspelt & 1))
      zigZag(c.left, c.right, l.bottom);
    if (marking_ && isinmarking(w_, l.field, l.line, c.index))
      c_.invertRect({c.left, l.top, c.right, l.bottom});
  }
  const CursorPos& cur = w_.doc.Cursor;
  if (cur.field == l.field && cur.line == l.line && cur.chr == c.index + 1 &&
      cursorOnThisPage(l.field))
    placeCaret(l, c.right, c.height);
  return fontChanged;
}

bool WindowAids::lineEnd(const LinePlace& l, int32_t endX) {
  if (c_.drawsNothing() || l.rec->endKind == kEndSoft) return false;
  bool fontChanged = false;
  const ViewOptions& o = v_.options;
  if (aidsOn() && (o.markAll || o.markParagraphs)) {
    // As tall as the line's text: its last character's height, or the line's when it has no
    // text (a picture would make a giant mark). In points at 100 %: the surface scales the
    // font by the zoom itself.
    double heightMm = l.rec->lineHeight;
    for (int32_t i = l.rec->charCount() - 1; i >= 0; --i) {
      if (l.rec->chars[i].kind != kCharText) continue;
      heightMm = l.rec->chars[i].height;
      break;
    }
    const auto size =
        static_cast<int32_t>(Units(heightMm, frame_.mmPerUnit) / frame_.unitsPerPoint);
    if (l.rec->endKind == kEndLineBreak)
      mark("Symbol", 2, size, 191, endX, l.top + l.height, nullptr);
    else
      mark("Times New Roman", 1, size, 182, endX, l.top + l.height, nullptr);
    fontChanged = true;
  }
  // A marked line end shows as a narrow inverted bar after the text.
  if (marking_ && isinmarking(w_, l.field, l.line, l.rec->charCount()))
    c_.invertRect({endX, l.top, endX + std::max(2, l.height / 4), l.bottom});
  return fontChanged;
}

void WindowAids::tableCell(const LinePlace& l, const IntRect& cell) {
  // Column borders can be dragged: a 4-pixel zone along each cell edge.
  zone(kMouseTableBorder, {cell.left - 2, cell.top, cell.left + 2, cell.bottom + 1}, l.field,
       l.line);
  zone(kMouseTableBorder, {cell.right - 1, cell.top, cell.right + 3, cell.bottom + 1}, l.field,
       l.line);
  if (!aidsOn() || !v_.options.gridLines) return;
  const CellDesign& cd = l.rec->cellDesign;
  t_.setPen({PenStyle::Solid, 1, kLightGrey});
  if (l.rec->rowStart && !cd.borderTop) t_.line(cell.left, cell.top, cell.right + 1, cell.top);
  if (l.rec->rowEnd && !cd.borderBottom)
    t_.line(cell.left, cell.bottom, cell.right + 1, cell.bottom);
  if (!cd.borderLeft) t_.line(cell.left, cell.top, cell.left, cell.bottom + 1);
  if (!cd.borderRight) t_.line(cell.right, cell.top, cell.right, cell.bottom + 1);
  t_.setPen({PenStyle::Solid, 1, kBlack});
}

}  // namespace paginor
