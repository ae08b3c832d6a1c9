// Positions in the document's line sequences: lines by index, the chains of linked fields, and
// steps across them. The fields of a chain (the bodies of consecutive pages, linked text boxes)
// form one line sequence for the editor.
#pragma once

#include <cstdint>
#include <vector>

#include "model/records.h"

namespace paginor {

inline bool ValidField(const Document& d, int32_t field) {
  return field >= 0 && field < d.fieldCount();
}
inline bool ValidLine(const Document& d, int32_t field, int32_t line) {
  return ValidField(d, field) && line >= 0 && line < d.fields[field].lineCount();
}
// A position whose line exists and whose character index lies in 0..cell count.
bool ValidPosition(const Document& d, const CursorPos& p);

inline LineRec& LineOf(Document& d, int32_t field, int32_t line) {
  return d.fields[field].lines[line];
}
inline const LineRec& LineOf(const Document& d, int32_t field, int32_t line) {
  return d.fields[field].lines[line];
}
inline LineRec& LineOf(Document& d, const CursorPos& p) {
  return LineOf(d, p.field, p.line);
}
inline const LineRec& LineOf(const Document& d, const CursorPos& p) {
  return LineOf(d, p.field, p.line);
}

// Positions are ordered by field index, then line index, then character index.
inline bool PositionBefore(const CursorPos& a, const CursorPos& b) {
  if (a.field != b.field) return a.field < b.field;
  if (a.line != b.line) return a.line < b.line;
  return a.chr < b.chr;
}

// The first and the last field of the chain a field belongs to.
int32_t ChainFirstField(const Document& d, int32_t field);
int32_t ChainLastField(const Document& d, int32_t field);

// Moves `delta` lines from (field, line) along the chain. False, with the pair left outside its
// field, when the step runs off the chain's start or end.
bool StepLines(const Document& d, int32_t& field, int32_t& line, int32_t delta);

// The last line of a chain as (field, line); line -1 when the last field has no line.
void ChainLastLine(const Document& d, int32_t field, int32_t& lastField, int32_t& lastLine);

// The lines of the visual row holding p's line, column 0 first. A page may end inside a visual
// row, so its lines can lie in two fields of the chain. False when the row's lines do not carry
// the columns 0..rowCells-1 of one row (a damaged row); `out` is then the line alone.
bool VisualRowLines(const Document& d, const CursorPos& p, std::vector<CursorPos>& out);

// A line's rowCells as a step width: at least 1, whatever a damaged line holds.
inline int32_t RowStep(const LineRec& l) {
  return l.rowCells > 0 ? l.rowCells : 1;
}

// Bounds the walks over lines, which a damaged row geometry or chain could otherwise keep going:
// one step per line of the document at most.
inline int32_t LineLimit(const Document& d) {
  int32_t n = 1;
  for (const FieldRec& f : d.fields) n += f.lineCount();
  return n;
}

enum class RowWalk : uint8_t { Up, Down };
// Walks by rowCells lines until a line for which `stop` holds, or the chain's end.
template <typename Stop>
void WalkRows(const Document& d, CursorPos& p, RowWalk direction, Stop stop) {
  for (int32_t guard = LineLimit(d); guard > 0; --guard) {
    const LineRec& l = LineOf(d, p);
    if (stop(l)) return;
    int32_t f = p.field, line = p.line;
    const int32_t step = direction == RowWalk::Up ? -RowStep(l) : RowStep(l);
    if (!StepLines(d, f, line, step)) return;
    p.field = f;
    p.line = line;
  }
}

// The character of a cell as the word rules read it: a non-character cell counts as ".".
inline uint8_t CellChar(const CharRec& c) {
  return c.kind == kCharText ? c.ch : '.';
}

// Whether a cell is a plain space or tab.
inline bool IsBlank(const CharRec& c) {
  return c.kind == kCharText && (c.ch == ' ' || c.ch == 9);
}

}  // namespace paginor
