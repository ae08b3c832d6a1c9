// The measures of page drawing that do not depend on the surface: where paragraphs start, how
// far a line's text reaches, the widths of table cells, the texts the cells show. Lengths are
// millimetres.
#pragma once

#include <cstdint>
#include <string>

#include "model/records.h"

namespace paginor {

class TMDIChild;

// A line starts a paragraph when there is no line above it in its cell column (following the
// field chain), that line ended a paragraph or a page, this line starts a table row or the line
// above ended one.
bool IsParagraphStart(const Document& d, int32_t field, int32_t line);

// Whether another line follows, in this field or a later field of its chain.
bool HasNextLine(const Document& d, int32_t field, int32_t line);

// The width of a field's text area, on the exact page width.
double TextAreaWidth(const Document& d, const FieldRec& f);

// Gives every page-number field of the line the number of page p (0-based) and measures it again.
// Cells whose text already reads so are left alone.
void UpdatePageNumbers(TMDIChild& w, LineRec& line, int32_t p);

struct LineExtent {
  double extent = 0;   // x0 plus every cell's width and skip
  int32_t spaces = 0;  // plain spaces, the line's last cell excepted
};
LineExtent MeasureLineExtent(const LineRec& line, double x0);

// The size a cell's text is drawn at: the font size reduced for small capitals, superscript or
// subscript, in whole points (halves to the even neighbour), at least 1.
int32_t DrawSize(const FontRec& f);

// A width in points as whole units: rounded (halves to the even neighbour), and 1 when it is not
// 0 but would round to 0.
int32_t WholeUnits(double points, double unitsPerPoint);

// Where a table cell stands within its column, mm from the column's left edge (the field's left
// margin included in `columnLeft`).
struct TableCellSpan {
  double left = 0;
  double right = 0;
};
// Brings the row's insets into range and stores them on the line, turns the cell widths of the
// line's visual row into millimetres (once: widths that already add up to the row's width stay),
// and returns the line's cell. `insetsChanged` is set when the insets had to be changed.
TableCellSpan NormaliseTableRow(FieldRec& f, int32_t line, double available, double columnLeft,
                                bool& insetsChanged);

// The text a cell shows: a field's text, a footnote number, or the character; with the
// hyphen of a line broken inside a word, and the case attributes applied.
std::string DisplayText(const CharRec& cell, bool appendHyphen, uint16_t attributes);

}  // namespace paginor
