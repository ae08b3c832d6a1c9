// Enter, Shift+Enter and Ctrl+Enter: splitting a line. In a table the split adds a whole visual
// row to the table row, so that every cell of the row grows by one line.

#include <algorithm>
#include <vector>

#include "editing/key_actions.h"
#include "editing/keys.h"
#include "editing/marking.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "model/position.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

// A new line of the visual row below `source`'s, in the same column: the table flags, the cell
// design, the paragraph format and the line geometry of the source, without its cells.
LineRec rowLineLike(const LineRec& source, int32_t cells, int32_t column) {
  LineRec n;
  n.inTable = source.inTable;
  n.rowStart = 0;
  n.rowEnd = source.rowEnd;
  n.rowCells = cells;
  n.cellColumn = column;
  n.cellWidth = source.cellWidth;
  n.rowInsetLeft = source.rowInsetLeft;
  n.rowInsetRight = source.rowInsetRight;
  n.cellDesign = source.cellDesign;
  n.para = source.para;
  n.columns = source.columns;
  n.columnLine = source.columnLine;
  n.columnGap = source.columnGap;
  n.endKind = kEndSoft;
  n.dirty = 1;
  return n;
}

}  // namespace

void InsertEnterOnThatPos(TMDIChild& w, int32_t field, int32_t line, int32_t& chr,
                          int32_t endKind) {
  Document& d = w.doc;
  if (!ValidLine(d, field, line)) return;
  // A damaged row geometry splits the line alone.
  std::vector<CursorPos> row;
  const bool wholeRow = VisualRowLines(d, CursorPos{field, line, 0}, row);
  const int32_t cells = static_cast<int32_t>(row.size());
  const int32_t column = wholeRow ? LineOf(d, field, line).cellColumn : 0;

  // One new line per column directly below the visual row; the row's end moves down to it.
  const CursorPos last = row.back();
  FieldRec& target = d.fields[last.field];
  for (int32_t i = 0; i < cells; ++i) {
    LineRec& source = LineOf(d, row[static_cast<size_t>(i)]);
    LineRec n = rowLineLike(source, cells, wholeRow ? i : source.cellColumn);
    if (i == column) n.endKind = source.endKind;
    source.rowEnd = 0;
    target.lines.insert(last.line + 1 + i, std::move(n));
  }

  LineRec& old = LineOf(d, field, line);
  const CursorPos below{last.field, last.line + 1 + column, 0};
  LineRec& fresh = LineOf(d, below);
  const int32_t at = std::clamp(chr, 0, old.charCount());
  if (at == 0) {
    fresh.chars = std::move(old.chars);
  } else if (at < old.charCount()) {
    std::vector<CharRec>& moved = fresh.chars.edit();
    moved.assign(old.chars.begin() + at, old.chars.end());
    old.chars.erase(at, old.charCount());
  }
  old.endKind = endKind;
  old.dirty = 1;  // its height may change with the cells it gave away

  chr = 0;
  d.Cursor = below;
  d.Anchor = d.Cursor;
  OvertakeFont(w);
  RefreshDirtyContent(w);
}

void KeyEnter(TMDIChild& w, int32_t endKind) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor)) return;
  SetFileChanged(w, true);
  if (!RunActive(w, RunKind::Enter)) MakeCopyForUndo(w, "Eingabe Enter");
  StartRun(w, RunKind::Enter);
  d.lineEndAffinity = 0;
  if (isThereAmarking(w)) DeleteMarking(w);
  const CursorPos c = d.Cursor;
  int32_t chr = c.chr;
  InsertEnterOnThatPos(w, c.field, c.line, chr, endKind);
}

}  // namespace paginor
