// The text walk: one cell forwards or backwards in reading order from the scan position
// MarkStart. Outside tables reading order is line order; inside a table row it is cell by cell,
// each cell from its first visual line (rowStart) to its last (rowEnd).

#include <algorithm>

#include "editing/marking.h"
#include "model/position.h"
#include "model/queries.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

enum class Tables { Read, Blind };

// The line that follows p's line in reading order (the line index may run past the field).
void leaveLineForwards(const Document& d, CursorPos& p, Tables tables) {
  const LineRec& l = LineOf(d, p);
  if (tables == Tables::Blind || !l.inTable) {
    ++p.line;
  } else if (!l.rowEnd) {
    p.line += RowStep(l);  // the cell goes on below
  } else if (l.cellColumn >= RowStep(l) - 1) {
    ++p.line;  // the last cell of the row: the next row, or the text after the table
  } else {
    // The first line of the next cell: up to the row's first visual row, one column on.
    for (int32_t guard = LineLimit(d); guard > 0; --guard) {
      const LineRec& x = LineOf(d, p);
      if (x.rowStart) break;
      int32_t f = p.field, line = p.line;
      if (!StepLines(d, f, line, -RowStep(x))) break;
      p.field = f;
      p.line = line;
    }
    ++p.line;
  }
  p.chr = 0;
}

// Brings a line index that ran past its field into the chain's next fields, or into the first
// unvisited field under WalkAllFields. False at the end of the walk.
bool settleForwards(Document& d, const EditState& e, CursorPos& p) {
  for (int32_t guard = d.fieldCount() + 1; guard > 0; --guard) {
    if (!ValidField(d, p.field)) return false;
    FieldRec& f = d.fields[p.field];
    if (p.line < f.lineCount()) return true;
    if (ValidField(d, f.nextField)) {
      p.line -= f.lineCount();
      p.field = f.nextField;
      d.fields[p.field].visited = 1;
      continue;
    }
    if (!e.WalkAllFields) return false;
    auto it = std::find_if(d.fields.begin(), d.fields.end(),
                           [](const FieldRec& x) { return !x.visited; });
    if (it == d.fields.end()) return false;
    it->visited = 1;
    p = CursorPos{static_cast<int32_t>(it - d.fields.begin()), 0, 0};
  }
  return false;
}

bool walkForwards(TMDIChild& w, Tables tables, EmptyLines empty) {
  Document& d = w.doc;
  EditState& e = EditingOf(w);
  CursorPos p = e.MarkStart;
  if (!ValidLine(d, p.field, p.line)) return false;
  if (++p.chr < LineOf(d, p).charCount()) {
    e.MarkStart = p;
    return true;
  }
  for (int32_t guard = LineLimit(d) + d.fieldCount(); guard > 0; --guard) {
    leaveLineForwards(d, p, tables);
    if (!settleForwards(d, e, p)) return false;
    const LineRec& l = LineOf(d, p);
    if (l.charCount() > 0 || empty == EmptyLines::Stop) {
      e.MarkStart = p;
      return true;
    }
  }
  return false;
}

// The line that precedes p's line in reading order (the index may run before the field).
void leaveLineBackwards(const Document& d, CursorPos& p) {
  const LineRec& l = LineOf(d, p);
  if (!l.inTable) {
    --p.line;
  } else if (!l.rowStart) {
    p.line -= RowStep(l);  // the cell's line above
  } else if (l.cellColumn <= 0) {
    --p.line;  // the row's first cell: the previous row's last cell, or the text before
  } else {
    // The last line of the previous cell: down to the row's last visual row, one column back.
    for (int32_t guard = LineLimit(d); guard > 0; --guard) {
      const LineRec& x = LineOf(d, p);
      if (x.rowEnd) break;
      int32_t f = p.field, line = p.line;
      if (!StepLines(d, f, line, RowStep(x))) break;
      p.field = f;
      p.line = line;
    }
    --p.line;
  }
}

}  // namespace

bool getnextchar(TMDIChild& w, EmptyLines empty) {
  return walkForwards(w, Tables::Read, empty);
}
bool getnextcharTableBlind(TMDIChild& w, EmptyLines empty) {
  return walkForwards(w, Tables::Blind, empty);
}

bool getPrevsChar(TMDIChild& w, EmptyLines empty) {
  Document& d = w.doc;
  EditState& e = EditingOf(w);
  CursorPos p = e.MarkStart;
  if (!ValidLine(d, p.field, p.line)) return false;
  if (--p.chr >= 0) {
    p.chr = std::min(p.chr, LineOf(d, p).charCount() - 1);
    if (p.chr >= 0) {
      e.MarkStart = p;
      return true;
    }
  }
  for (int32_t guard = LineLimit(d) + d.fieldCount(); guard > 0; --guard) {
    leaveLineBackwards(d, p);
    GoToLine(d, p.field, p.line);
    if (!ValidLine(d, p.field, p.line)) return false;
    const LineRec& l = LineOf(d, p);
    if (l.charCount() > 0 || empty == EmptyLines::Stop) {
      p.chr = std::max(0, l.charCount() - 1);
      e.MarkStart = p;
      return true;
    }
  }
  return false;
}

bool getnextmarkedchar(TMDIChild& w, EmptyLines empty) {
  EditState& e = EditingOf(w);
  const CursorPos from = e.MarkStart;
  while (getnextchar(w, empty))
    if (isinmarking(w, e.MarkStart.field, e.MarkStart.line, e.MarkStart.chr)) return true;
  e.MarkStart = from;
  return false;
}

bool getnextmarkedcharTableBlind(TMDIChild& w, EmptyLines empty) {
  EditState& e = EditingOf(w);
  const CursorPos from = e.MarkStart;
  while (getnextcharTableBlind(w, empty))
    if (isinmarking(w, e.MarkStart.field, e.MarkStart.line, e.MarkStart.chr)) return true;
  e.MarkStart = from;
  return false;
}

namespace {

bool nextMarkedLine(TMDIChild& w, bool (*next)(TMDIChild&, EmptyLines)) {
  EditState& e = EditingOf(w);
  const CursorPos from = e.MarkStart;
  while (next(w, EmptyLines::Stop)) {
    if (e.MarkStart.field != from.field || e.MarkStart.line != from.line) return true;
  }
  return false;
}

}  // namespace

bool getnextmarkedline(TMDIChild& w) {
  return nextMarkedLine(w, getnextmarkedchar);
}
bool getnextmarkedlineTableBlind(TMDIChild& w) {
  return nextMarkedLine(w, getnextmarkedcharTableBlind);
}

void ClearVisitedMarks(Document& d) {
  for (FieldRec& f : d.fields) f.visited = 0;
}

}  // namespace paginor
