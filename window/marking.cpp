#include "window/marking.h"

#include <algorithm>
#include <utility>

#include "model/position.h"
#include "model/queries.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

// Walks up by rowCells to the line's row start: the nearest rowStart line at or above it, or the
// chain's first line. Returned as the first line of that visual row, so that the ends of a
// marking in two columns of one table row meet at the same row start.
CursorPos rowStartOf(const Document& d, CursorPos p) {
  for (int32_t guard = LineLimit(d); guard > 0; --guard) {
    const LineRec& l = LineOf(d, p);
    if (l.rowStart) break;
    int32_t f = p.field, line = p.line;
    if (!StepLines(d, f, line, -RowStep(l))) break;
    p.field = f;
    p.line = line;
  }
  int32_t f = p.field, line = p.line;
  if (StepLines(d, f, line, -std::max(0, LineOf(d, p).cellColumn))) {
    p.field = f;
    p.line = line;
  }
  return p;
}

// Moves a table line's position to another column of its visual row.
void toColumn(const Document& d, CursorPos& p, int32_t column) {
  const LineRec& l = LineOf(d, p);
  int32_t f = p.field;
  int32_t line = p.line - std::max(0, l.cellColumn) + std::clamp(column, 0, RowStep(l) - 1);
  GoToLine(d, f, line);
  if (ValidLine(d, f, line)) {
    p.field = f;
    p.line = line;
  }
}

// Whether field f lies on the chain of one of the marking's end fields.
bool onMarkedChain(const Document& d, int32_t f, int32_t startField, int32_t endField) {
  if (f == startField || f == endField) return true;
  for (int32_t g = f, steps = d.fieldCount(); ValidField(d, g) && steps > 0; --steps) {
    g = d.fields[g].prevField;
    if (g == startField || g == endField) return true;
  }
  for (int32_t g = f, steps = d.fieldCount(); ValidField(d, g) && steps > 0; --steps) {
    g = d.fields[g].nextField;
    if (g == startField || g == endField) return true;
  }
  return false;
}

// The answer of onMarkedChain for the field asked last: the drawing and the text walk ask for
// cell after cell of the same field.
struct ChainMemo {
  const Document* doc = nullptr;
  int32_t startField = -1, endField = -1, field = -1;
  bool answer = false;
};
ChainMemo& chainMemo() {
  static ChainMemo memo;
  return memo;
}

}  // namespace

bool isThereAmarking(TMDIChild& w) {
  return !(w.doc.Anchor == w.doc.Cursor);
}

void FindMarkingStart(TMDIChild& w) {
  Document& d = w.doc;
  EditState& e = EditingOf(w);
  const CursorPos& a = d.Anchor;
  const CursorPos& c = d.Cursor;
  if (a == c) {
    e.MarkStart = e.MarkEnd = c;
  } else if (PositionBefore(a, c)) {
    e.MarkStart = a;
    e.MarkEnd = c;
  } else {
    e.MarkStart = c;
    e.MarkEnd = a;
  }
  e.TableMarking = e.BlockMarking = false;
  e.FirstMarkedColumn = e.LastMarkedColumn = 0;
  chainMemo().doc = nullptr;
  if (!ValidPosition(d, e.MarkStart) || !ValidPosition(d, e.MarkEnd)) return;

  bool anyTable = false, anyPlain = false;
  int32_t f = e.MarkStart.field, l = e.MarkStart.line;
  for (int32_t guard = LineLimit(d); guard > 0; --guard) {
    const LineRec& line = LineOf(d, f, l);
    if (line.inTable) {
      anyTable = true;
      e.LastMarkedColumn = std::max(e.LastMarkedColumn, line.rowCells - 1);
    } else {
      anyPlain = true;
    }
    if (f == e.MarkEnd.field && l == e.MarkEnd.line) break;
    if (!StepLines(d, f, l, 1)) break;
  }
  const bool oneLine = e.MarkStart.field == e.MarkEnd.field && e.MarkStart.line == e.MarkEnd.line;
  if (!anyTable || oneLine) return;

  e.TableMarking = true;
  if (!anyPlain) {
    e.FirstMarkedColumn = LineOf(d, e.MarkStart).cellColumn;
    e.LastMarkedColumn = LineOf(d, e.MarkEnd).cellColumn;
  }
  const CursorPos startRow = rowStartOf(d, e.MarkStart);
  const CursorPos endRow = rowStartOf(d, e.MarkEnd);
  if (startRow.field == endRow.field && startRow.line == endRow.line) return;

  // Over table rows: a rectangle of whole cells.
  e.BlockMarking = true;
  if (e.FirstMarkedColumn > e.LastMarkedColumn) std::swap(e.FirstMarkedColumn, e.LastMarkedColumn);
  if (LineOf(d, e.MarkStart).inTable) {
    toColumn(d, e.MarkStart, e.FirstMarkedColumn);
    WalkRows(d, e.MarkStart, RowWalk::Up, [](const LineRec& x) { return x.rowStart != 0; });
    e.MarkStart.chr = 0;
  }
  if (LineOf(d, e.MarkEnd).inTable) {
    toColumn(d, e.MarkEnd, e.LastMarkedColumn);
    // Not beyond the field's last line.
    for (int32_t guard = LineLimit(d); guard > 0; --guard) {
      const LineRec& x = LineOf(d, e.MarkEnd);
      const int32_t next = e.MarkEnd.line + RowStep(x);
      if (x.rowEnd || next >= d.fields[e.MarkEnd.field].lineCount()) break;
      e.MarkEnd.line = next;
    }
    e.MarkEnd.chr = LineOf(d, e.MarkEnd).charCount();
  }
}

bool isinmarking(TMDIChild& w, int32_t field, int32_t line, int32_t chr) {
  const Document& d = w.doc;
  const EditState& e = EditingOf(w);
  const CursorPos& s = e.MarkStart;
  const CursorPos& m = e.MarkEnd;
  if (!ValidLine(d, field, line) || !ValidPosition(d, s) || !ValidPosition(d, m)) return false;
  if (field < s.field || field > m.field) return false;
  ChainMemo& memo = chainMemo();
  if (memo.doc != &d || memo.startField != s.field || memo.endField != m.field ||
      memo.field != field) {
    memo = ChainMemo{&d, s.field, m.field, field, onMarkedChain(d, field, s.field, m.field)};
  }
  if (!memo.answer) return false;

  if (field == s.field) {
    int32_t bound = s.line;
    const LineRec& sl = LineOf(d, s);
    if (e.BlockMarking && sl.inTable)
      bound = s.line - sl.cellColumn + std::min(e.FirstMarkedColumn, RowStep(sl) - 1);
    if (line < bound) return false;
  }
  if (field == m.field) {
    int32_t bound = m.line;
    const LineRec& ml = LineOf(d, m);
    if (e.BlockMarking && ml.inTable)
      bound = m.line - ml.cellColumn + std::min(e.LastMarkedColumn, RowStep(ml) - 1);
    if (line > bound) return false;
  }
  const LineRec& l = LineOf(d, field, line);
  const bool columnMarked =
      l.cellColumn >= e.FirstMarkedColumn && l.cellColumn <= e.LastMarkedColumn;
  if (e.BlockMarking && l.inTable) return columnMarked;
  if (e.TableMarking && l.inTable && !columnMarked) return false;
  if (field == s.field && line == s.line && chr < s.chr) return false;
  if (field == m.field && line == m.line && chr >= m.chr) return false;
  return true;
}

}  // namespace paginor
