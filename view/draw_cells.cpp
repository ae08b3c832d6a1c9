// The cells of a line: skip, font, background, pictures, tabs with fill characters, text with
// case mapping and hyphen, field texts spread over their width, and the text effects.

#include <optional>
#include <string>

#include "model/queries.h"
#include "view/line_rules.h"
#include "view/page_pass.h"
#include "window/document_window.h"

namespace paginor {

namespace {

constexpr Colour kWhite = 0xFFFFFF;

int32_t Trunc(double v) {
  return static_cast<int32_t>(v);
}

bool IsPlainSpace(const CharRec& c) {
  return c.kind == kCharText && c.ch == ' ';
}

const char* TabFillText(uint8_t fill) {
  switch (fill) {
    case 1:
      return "-";
    case 2:
      return ".";
    case 3:
      return "_";
    default:
      return nullptr;
  }
}

}  // namespace

void PagePass::drawCells(const FieldBox& box, LineRec& line, LineState& s) {
  const FieldRec& f = d_.fields[box.index];
  const double u = frame_.mmPerUnit;
  // Text of page bodies, headers and footers flows around objects; text boxes never do.
  const bool flows = f.type <= kFieldFooter;
  const int32_t n = line.charCount();
  const int32_t yt = Trunc(s.y / u + box.r.top);
  const int32_t yb = Trunc((s.y + line.lineHeight) / u + box.r.top);
  std::optional<FontRec> fallback;  // made only for a cell naming no font of the table
  bool gapAfterPrevious = true;  // the line's start, a stretched space
  for (int32_t i = 0; i < n; ++i) {
    if (jobs_.flowAround) storeSkip(line, i, flows ? flowSkip(box, line, s, line.chars[i]) : 0);
    const CharRec& cell = line.chars[i];
    s.x += cell.skipBefore;
    const double exactX = s.x / u + box.r.left + s.shift;
    const int32_t x = Trunc(exactX);
    s.x += cell.width;
    const bool follows = !gapAfterPrevious && cell.skipBefore == 0;
    gapAfterPrevious = false;
    if (i < n - 1 && IsPlainSpace(cell)) {
      s.x += s.extra;
      gapAfterPrevious = s.extra != 0;
    }
    const int32_t xe = Trunc(s.x / u + box.r.left + s.shift);
    if (t_.drawsNothing()) {
      if (jobs_.observer) observeCell(s, i, cell, x, xe, 0);
      continue;
    }
    const bool known = cell.fontIndex >= 0 && cell.fontIndex < d_.fontCount();
    if (!known && !fallback) fallback = FontOfCurrentFormat(d_.CurrentFormat);
    const FontRec& font = known ? d_.fonts[cell.fontIndex] : *fallback;
    if (!(font.backTransparent && font.backColour == kWhite)) {
      t_.setBrush({BrushStyle::Solid, font.backColour});
      t_.fillBar({x, yt, xe, yb});
    }
    drawCellContent(line, s, cell, font, exactX, yt, i == n - 1, follows);
    if (jobs_.observer) observeCell(s, i, cell, x, xe, DrawSize(font));
  }
}

void PagePass::observeCell(const LineState& s, int32_t i, const CharRec& cell, int32_t left,
                           int32_t right, int32_t size) {
  CellPlace c;
  c.index = i;
  c.left = left;
  c.right = right;
  c.height = Units(cell.height, frame_.mmPerUnit);
  c.size = size;
  c.cell = &cell;
  if (jobs_.observer->cell(s.place, c)) fontValid_ = false;
}

void PagePass::drawCellContent(const LineRec& line, const LineState& s, const CharRec& cell,
                               const FontRec& font, double exactX, int32_t yt, bool last,
                               bool follows) {
  const double u = frame_.mmPerUnit;
  const int32_t x = Trunc(exactX);
  const int32_t ch = Units(cell.height, u);
  const int32_t cw = Units(cell.width, u);
  uint8_t style = font.style;
  uint16_t attributes = font.attributes;
  if (GettingOps(attributes, kAttrUnderlineWords) && cell.kind == kCharText &&
      (cell.ch == ' ' || cell.ch == '\t')) {
    SettingOpsB(style, kStyleUnderline, false);
    SettingOps(attributes, kAttrUnderline, false);
    SettingOps(attributes, kAttrDoubleUnderline, false);
  }
  const int32_t size = DrawSize(font);
  // The font changes only when name, size, style or character set differ from the last one.
  if (!fontValid_ || font_.size != size || font_.style != font.style ||
      font_.charset != font.charset || font_.name != font.name) {
    font_ = DrawFont{font.name, size, style, font.charset, attributes};
    fontValid_ = true;
    t_.selectFont(font_);
  }
  const TextEffects e =
      EffectsOf(attributes, size, font.textColour, font.shadowColour, font.outlineColour);

  if (cell.kind == kCharPicture) {
    if (cell.pictureIndex() < d_.pictureCount() && d_.pictures[cell.pictureIndex()].hasBits())
      t_.picture(x, s.K + yt - ch, cw + 1, ch + 1, d_.pictures[cell.pictureIndex()]);
    return;
  }
  if (cell.kind == kCharText && cell.ch == '\t') {
    t_.setTextColour(font.textColour);
    drawTabFill(cell, x, s.K + yt, cw);
    return;
  }
  const std::string text = DisplayText(cell, last && line.endsWithHyphen, attributes);
  const bool sub = GettingOps(attributes, kAttrSubscript);
  const bool caps = GettingOps(attributes, kAttrSmallCaps);
  const bool sup = GettingOps(attributes, kAttrSuperscript);
  // Reduced text stands on the line bottom; superscript keeps the full-size box and stands high.
  const bool low =
      (cell.kind == kCharField && jobs_.pdfDecorations) ? (sub || caps) : ((sub || caps) && !sup);
  const int32_t y = low ? s.K + yt - t_.textHeight(text) : s.K + yt - ch;
  if (cell.kind == kCharField)
    drawFieldText(text, x, y, cw, e);
  else
    drawRun(x, y, text, e, exactX - x, follows);
}

void PagePass::drawTabFill(const CharRec& cell, int32_t x, int32_t bottom, int32_t width) {
  const char* fill = TabFillText(cell.tabFill);
  if (!fill) return;
  const int32_t fw = t_.textWidth(fill);
  if (fw <= 0) return;
  const int32_t y = bottom - t_.textHeight(fill);
  // A copy ends at every multiple of the fill's width that is not beyond the tab.
  for (int32_t p = fw; p <= width; p += fw) t_.textOut(x + p - fw, y, fill);
}

void PagePass::drawFieldText(std::string_view text, int32_t x, int32_t y, int32_t width,
                             const TextEffects& e) {
  const int64_t n = static_cast<int64_t>(text.size());
  if (n == 0) return;
  // The letters spread over the width the breaker measured for the field.
  const int64_t spare = width - t_.textWidth(text);
  int32_t advance = 0;
  for (int64_t k = 0; k < n; ++k) {
    const std::string_view letter = text.substr(static_cast<size_t>(k), 1);
    drawRun(x + advance + static_cast<int32_t>(spare * k / n), y, letter, e);
    advance += t_.textWidth(letter);
  }
}

void PagePass::drawRun(int32_t x, int32_t y, std::string_view text, const TextEffects& e,
                       double fraction, bool follows) {
  const int32_t d = Trunc(frame_.unitsPerPoint);
  if (e.shadowed) {
    t_.setTextColour(e.shadow);
    const int32_t off = (e.outlined ? 3 : 2) * d;
    t_.textOut(x + off, y + off, text);
  }
  if (e.outlined) {
    t_.setTextColour(e.outline);
    t_.textOut(x - d, y - d, text);
    t_.textOut(x - d, y, text);
    t_.textOut(x, y - d, text);
    t_.textOut(x, y, text);
  }
  t_.setTextColour(e.text);
  t_.textOutAt(x + fraction, x, y, text, follows);

  const bool strike = jobs_.pdfDecorations && GettingOpsB(font_.style, kStyleStrikeOut);
  if (e.underline == 0 && !strike) return;
  const int32_t tw = t_.textWidth(text);
  const int32_t th = t_.textHeight(text);
  // The PDF's lines keep their distance from the baseline.
  const int32_t base = jobs_.pdfDecorations ? y + t_.baseline(text) : y + th;
  if (e.underline != 0) {
    if (jobs_.pdfDecorations) {
      const int32_t u = e.size / 12;
      usePen(e.text, u);
      t_.line(x - 1, base + u + 1, x + tw + 1, base + u + 1);
      if (e.underline == 2) t_.line(x - 1, base - u + 1, x + tw + 1, base - u + 1);
    } else {
      const int32_t u = Trunc(e.size * frame_.unitsPerPoint / 12);
      usePen(e.text, u);
      t_.line(x - 1, y + th - u, x + tw + 1, y + th - u);
      if (e.underline == 2) t_.line(x - 1, y + th - 3 * u, x + tw + 1, y + th - 3 * u);
    }
    usePen(e.text, 1);
  }
  if (strike) {
    usePen(e.text, font_.size / 12);
    const int32_t ly = base - font_.size / 4;
    t_.line(x - 1, ly, x + tw + 1, ly);
    usePen(e.text, 1);
  }
}

void PagePass::useFont(const DrawFont& font) {
  if (fontValid_ && font.sameAs(font_)) return;
  t_.selectFont(font);
  font_ = font;
  fontValid_ = true;
}

}  // namespace paginor
