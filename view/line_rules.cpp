#include "view/line_rules.h"

#include <algorithm>
#include <cmath>

#include "layout/measure.h"
#include "model/queries.h"
#include "window/document_window.h"

namespace paginor {

namespace {

const LineRec* LineAt(const Document& d, int32_t field, int32_t line) {
  GoToLine(d, field, line);
  if (field < 0 || field >= d.fieldCount()) return nullptr;
  const FieldRec& f = d.fields[field];
  return line >= 0 && line < f.lineCount() ? &f.lines[line] : nullptr;
}

}  // namespace

bool IsParagraphStart(const Document& d, int32_t field, int32_t line) {
  const LineRec& l = d.fields[field].lines[line];
  const LineRec* above = LineAt(d, field, line - std::max(1, l.rowCells));
  return !above || above->endKind == kEndParagraph || above->endKind == kEndPageBreak ||
         l.rowStart || above->rowEnd;
}

bool HasNextLine(const Document& d, int32_t field, int32_t line) {
  return LineAt(d, field, line + 1) != nullptr;
}

double TextAreaWidth(const Document& d, const FieldRec& f) {
  const double width = f.rightFromRight ? d.pageWidth - f.right - f.left : f.right - f.left;
  return width - f.marginLeft - f.marginRight;
}

void UpdatePageNumbers(TMDIChild& w, LineRec& line, int32_t p) {
  const std::string number = std::to_string(p + 1);
  for (int32_t i = 0; i < line.charCount(); ++i) {
    const CharRec& c = line.chars[i];
    if (c.kind != kCharField || c.code() != "page" || c.text() == number) continue;
    CharRec& m = line.chars.mut(i);
    m.setText(number);
    RenderChar(w, m, false, number);
  }
}

LineExtent MeasureLineExtent(const LineRec& line, double x0) {
  LineExtent e{x0, 0};
  const int32_t n = line.charCount();
  const CharRec* cells = line.chars.begin();
  for (int32_t i = 0; i < n; ++i) {
    e.extent += cells[i].width + cells[i].skipBefore;
    if (i < n - 1 && cells[i].kind == kCharText && cells[i].ch == ' ') ++e.spaces;
  }
  return e;
}

int32_t DrawSize(const FontRec& f) {
  double factor = 1.0;
  if (GettingOps(f.attributes, kAttrSmallCaps)) factor *= 0.75;
  if (GettingOps(f.attributes, kAttrSuperscript) || GettingOps(f.attributes, kAttrSubscript))
    factor *= 0.6;
  const double size = RoundHalfEven(f.size * factor);
  return size <= 0 ? 1 : static_cast<int32_t>(std::min(size, 16000.0));
}

int32_t WholeUnits(double points, double unitsPerPoint) {
  const double units = RoundHalfEven(points * unitsPerPoint);
  if (units == 0 && points != 0) return 1;
  return static_cast<int32_t>(std::clamp(units, -16000.0, 16000.0));
}

TableCellSpan NormaliseTableRow(FieldRec& f, int32_t line, double available, double columnLeft,
                                bool& insetsChanged) {
  LineRec& l = f.lines[line];
  const double insetLeft = std::min(l.rowInsetLeft, available - 10);
  // Above 99999 the right inset is the row's width from its left edge, as imported rows carry it.
  const double insetRight =
      l.rowInsetRight > 99999 ? available - insetLeft - (l.rowInsetRight - 99999) : l.rowInsetRight;
  if (insetLeft != l.rowInsetLeft || insetRight != l.rowInsetRight) {
    l.rowInsetLeft = insetLeft;
    l.rowInsetRight = insetRight;
    insetsChanged = true;
  }
  const double rowWidth = std::max(10.0, available - insetLeft - insetRight);

  const int32_t cells = std::max(1, l.rowCells);
  const int32_t column = std::clamp(l.cellColumn, 0, cells - 1);
  const int32_t first = std::max(0, line - column);
  const int32_t last = std::min(f.lineCount(), line - column + cells);
  double sum = 0;
  for (int32_t k = first; k < last; ++k) sum += std::max(0.0, f.lines[k].cellWidth);
  if (sum <= 0) {
    // Cells without any width share the row equally.
    for (int32_t k = first; k < last; ++k) f.lines[k].cellWidth = 1.0;
    sum = last - first;
  }
  TableCellSpan span{columnLeft + insetLeft, 0};
  for (int32_t k = first; k < line; ++k)
    span.left += rowWidth * std::max(0.0, f.lines[k].cellWidth) / sum;
  span.right = span.left + rowWidth * std::max(0.0, l.cellWidth) / sum;
  // From here on the widths are millimetres adding up to the row's width. Widths that already
  // do are left alone, so that drawing a row again does not change it by rounding.
  if (std::abs(sum - rowWidth) > 1e-9 * rowWidth) {
    for (int32_t k = first; k < last; ++k)
      f.lines[k].cellWidth = rowWidth * std::max(0.0, f.lines[k].cellWidth) / sum;
  }
  return span;
}

std::string DisplayText(const CharRec& cell, bool appendHyphen, uint16_t attributes) {
  std::string s;
  if (cell.kind == kCharField)
    s = std::string(cell.text());
  else if (cell.kind == kCharFootnoteRef || cell.kind == kCharFootnoteMark)
    s = std::to_string(cell.number());
  else
    s.assign(1, static_cast<char>(cell.ch));
  if (appendHyphen) s += '-';
  if (GettingOps(attributes, kAttrLowerCase) || GettingOps(attributes, kAttrUpperCase) ||
      GettingOps(attributes, kAttrSmallCaps))
    return ApplyCaseAttributes(s, attributes);
  return s;
}

}  // namespace paginor
