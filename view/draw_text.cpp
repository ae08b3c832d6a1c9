// The text of a field, line by line: indents, page numbers, columns, table cells, anchored
// objects, alignment and justification, bullets and numbers, then the cells.

#include <string>

#include "model/queries.h"
#include "view/line_rules.h"
#include "view/page_pass.h"
#include "window/document_window.h"

namespace paginor {

namespace {

constexpr Colour kBlack = 0;

}  // namespace

TextEffects EffectsOf(uint16_t attributes, int32_t size, Colour text, Colour shadow,
                      Colour outline) {
  TextEffects e;
  e.size = size;
  e.underline = GettingOps(attributes, kAttrDoubleUnderline) ? 2
                : GettingOps(attributes, kAttrUnderline)     ? 1
                                                             : 0;
  e.text = text;
  e.shadow = shadow;
  e.outline = outline;
  e.shadowed = GettingOps(attributes, kAttrShadow);
  e.outlined = GettingOps(attributes, kAttrOutline);
  return e;
}

void PagePass::drawText(const FieldBox& box) {
  FieldRec& f = d_.fields[box.index];
  // Text stays inside the field, its bottom margin taken off (surfaces that can clip).
  IntRect clip = box.r;
  clip.right += 1;
  clip.bottom -= Units(f.marginBottom, frame_.mmPerUnit);
  if (!t_.drawsNothing()) t_.clipText(&clip);
  LineState s;
  s.y = f.marginTop;
  for (int32_t i = 0; i < f.lineCount(); ++i) {
    s.index = i;
    drawLine(box, f.lines[i], s);
  }
  if (!t_.drawsNothing()) t_.clipText(nullptr);
}

void PagePass::drawLine(const FieldBox& box, LineRec& line, LineState& s) {
  const FieldRec& f = d_.fields[box.index];
  const ParagraphFormat& para = line.para;
  if (para.spaceAbove > 0) s.y += para.spaceAbove;
  s.K = Units(line.lineHeight, frame_.mmPerUnit);
  s.paragraphStart = IsParagraphStart(d_, box.index, s.index);
  s.x = para.indentLeft + (s.paragraphStart ? para.indentFirstLine : 0);

  UpdatePageNumbers(w_, line, frame_.page);
  const LineExtent extent = MeasureLineExtent(line, s.x);
  s.extent = extent.extent;
  s.spaces = extent.spaces;

  placeColumn(box, line, s);
  s.offset += f.marginLeft;
  s.columnOffset = s.offset;
  s.columnAvailable = s.available;
  if (line.inTable) drawTableCell(box, line, s);
  s.x += s.offset;

  const bool body = f.type == kFieldBody;
  if (jobs_.anchors && body && line.lineAnchorId != 0) moveAnchoredObjects(box, line, s);

  const bool listMark = para.listKind != kListNone && s.paragraphStart;
  if (listMark) s.extent += para.listIndent;
  align(box, line, s);
  if (listMark) drawListMark(box, line, s);

  if (jobs_.anchors && body && s.paragraphStart && (!line.inTable || line.rowStart))
    searchAnchor(box, s);

  if (jobs_.observer) observeLine(box, line, s);
  drawCells(box, line, s);
  if (jobs_.observer) {
    const int32_t endX = static_cast<int32_t>(s.x / frame_.mmPerUnit + box.r.left + s.shift);
    if (jobs_.observer->lineEnd(s.place, endX)) fontValid_ = false;
  }
  advance(line, s);
}

void PagePass::placeColumn(const FieldBox& box, const LineRec& line, LineState& s) {
  if (line.columns < 2) {
    s.available = box.textWidth;
    s.offset = 0;
    return;
  }
  s.y -= line.columnTopShift;
  s.available = (box.textWidth - (line.columns - 1) * line.columnGap) / line.columns;
  s.offset = line.columnX;
  // The separator runs beside every line of a column that another column follows.
  if (line.columnLine > 0 && line.columnIndex < line.lastColumn && !t_.drawsNothing()) {
    const double u = frame_.mmPerUnit;
    const FieldRec& f = d_.fields[box.index];
    const int32_t x =
        box.r.left + Units(s.offset + s.available + f.marginLeft + line.columnGap / 2, u);
    usePen(kBlack, static_cast<int32_t>(frame_.unitsPerPoint * 0.75));
    t_.line(x, box.r.top + Units(s.y, u), x, box.r.top + static_cast<int32_t>(s.y / u + s.K) + 1);
    usePen(kBlack, 1);
  }
}

void PagePass::align(const FieldBox& box, const LineRec& line, LineState& s) {
  const double u = frame_.mmPerUnit;
  const double width = s.available - line.para.indentRight;
  const int32_t ae = Units(width, u);
  const int32_t te = Units(s.extent, u);
  s.shift = 0;
  s.extra = 0;
  switch (line.para.alignment) {
    case 1:
      s.shift = (ae - te) / 2;
      break;
    case 2:
      s.shift = ae - te;
      break;
    case 3:
      // Only lines the breaker ended softly are stretched: not a paragraph's last line, not a
      // line without spaces, not the last line of the text.
      if (line.endKind == kEndSoft && s.spaces > 0 && HasNextLine(d_, box.index, s.index))
        s.extra = (width - s.extent) / s.spaces;
      break;
    default:
      break;
  }
}

void PagePass::drawListMark(const FieldBox& box, const LineRec& line, LineState& s) {
  const ParagraphFormat& para = line.para;
  if (!t_.drawsNothing()) {
    const CurrentFormatRec& cf = d_.CurrentFormat;
    DrawFont font;
    TextEffects e;
    std::string text;
    if (para.listKind == kListBullets) {
      font.name = para.bulletFont.empty() ? "Wingdings" : para.bulletFont;
      font.size = 12;
      font.attributes = cf.curAttributes;
      e = EffectsOf(cf.curAttributes, 12, kBlack, cf.curShadowColour, cf.curOutlineColour);
      text.assign(1, static_cast<char>(para.bulletChar));
    } else {
      // Numbers take the font of the line's first cell.
      FontRec f = FontOfCurrentFormat(cf);
      if (line.charCount() > 0 && line.chars[0].fontIndex >= 0 &&
          line.chars[0].fontIndex < d_.fontCount())
        f = d_.fonts[line.chars[0].fontIndex];
      font.name = f.name;
      font.size = static_cast<int32_t>(f.size);
      font.style = f.style;
      font.charset = f.charset;
      font.attributes = f.attributes;
      e = EffectsOf(f.attributes, font.size, f.textColour, f.shadowColour, f.outlineColour);
      text = std::to_string(para.listNumber) + ".";
    }
    useFont(font);
    const double u = frame_.mmPerUnit;
    const int32_t x = static_cast<int32_t>(s.x / u + box.r.left + s.shift);
    const int32_t y = s.K + static_cast<int32_t>(s.y / u + box.r.top) - t_.textHeight(text);
    drawRun(x, y, text, e);
  }
  s.x += para.listIndent;
}

void PagePass::observeLine(const FieldBox& box, const LineRec& line, LineState& s) {
  const double u = frame_.mmPerUnit;
  LinePlace& p = s.place;
  p.page = frame_.page;
  p.field = box.index;
  p.line = s.index;
  p.fieldRect = box.r;
  p.top = static_cast<int32_t>(s.y / u + box.r.top);
  p.bottom = static_cast<int32_t>((s.y + line.lineHeight) / u + box.r.top);
  p.height = s.K;
  p.spanLeft = box.r.left + Units(s.offset, u);
  p.spanRight = box.r.left + Units(s.offset + s.available, u);
  p.columnLeft = box.r.left + Units(s.columnOffset, u);
  p.columnRight = box.r.left + Units(s.columnOffset + s.columnAvailable, u);
  p.spanLeftMm = s.offset - s.columnOffset;
  p.spanRightMm = s.offset + s.available - s.columnOffset;
  const double first = line.charCount() > 0 ? line.chars[0].skipBefore : 0;
  p.textLeft = static_cast<int32_t>((s.x + first) / u + box.r.left + s.shift);
  p.rec = &line;
  jobs_.observer->line(p);
}

void PagePass::advance(const LineRec& line, LineState& s) const {
  // The cell lines of one visual row share one y; the row advances with its last cell.
  if (line.rowCells < 2 || line.cellColumn == line.rowCells - 1) {
    s.y += line.lineHeight;
    if (line.para.spaceBelow > 0) s.y += line.para.spaceBelow;
    if (line.columns > 1) s.y += line.columnTailSpace;
  } else {
    s.y -= line.para.spaceAbove;
  }
}

}  // namespace paginor
