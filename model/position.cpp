#include "model/position.h"

#include "model/queries.h"

namespace paginor {

bool ValidPosition(const Document& d, const CursorPos& p) {
  return ValidLine(d, p.field, p.line) && p.chr >= 0 && p.chr <= LineOf(d, p).charCount();
}

int32_t ChainFirstField(const Document& d, int32_t field) {
  if (!ValidField(d, field)) return field;
  // A damaged chain could link in a circle; no chain is longer than the field count.
  for (int32_t steps = d.fieldCount(); steps > 0 && ValidField(d, d.fields[field].prevField);
       --steps)
    field = d.fields[field].prevField;
  return field;
}

int32_t ChainLastField(const Document& d, int32_t field) {
  if (!ValidField(d, field)) return field;
  for (int32_t steps = d.fieldCount(); steps > 0 && ValidField(d, d.fields[field].nextField);
       --steps)
    field = d.fields[field].nextField;
  return field;
}

bool StepLines(const Document& d, int32_t& field, int32_t& line, int32_t delta) {
  line += delta;
  GoToLine(d, field, line);
  return ValidLine(d, field, line);
}

void ChainLastLine(const Document& d, int32_t field, int32_t& lastField, int32_t& lastLine) {
  lastField = ChainLastField(d, field);
  lastLine = ValidField(d, lastField) ? d.fields[lastField].lineCount() - 1 : -1;
  // Trailing fields without lines (never left by the layout) do not end the chain's text.
  for (int32_t steps = d.fieldCount(); lastLine < 0 && steps > 0 && ValidField(d, lastField) &&
                                       ValidField(d, d.fields[lastField].prevField);
       --steps) {
    lastField = d.fields[lastField].prevField;
    lastLine = d.fields[lastField].lineCount() - 1;
  }
}

bool VisualRowLines(const Document& d, const CursorPos& p, std::vector<CursorPos>& out) {
  out.assign(1, CursorPos{p.field, p.line, 0});
  if (!ValidLine(d, p.field, p.line)) return false;
  const LineRec& line = LineOf(d, p);
  const int32_t cells = line.rowCells, column = line.cellColumn;
  if (cells < 1 || column < 0 || column >= cells) return false;
  std::vector<CursorPos> row;
  row.reserve(static_cast<size_t>(cells));
  for (int32_t i = 0; i < cells; ++i) {
    int32_t f = p.field, l = p.line;
    if (!StepLines(d, f, l, i - column)) return false;
    const LineRec& x = LineOf(d, f, l);
    if (x.rowCells != cells || x.cellColumn != i) return false;
    row.push_back(CursorPos{f, l, 0});
  }
  out = std::move(row);
  return true;
}

}  // namespace paginor
