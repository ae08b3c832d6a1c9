// Deleting: the marking, and the Backspace and Delete keys with their join and table rules.

#include <algorithm>
#include <vector>

#include "editing/key_actions.h"
#include "editing/list_format.h"
#include "editing/marking.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "model/position.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

void RemoveCells(LineRec& line, int32_t from, int32_t to) {
  const int32_t n = line.charCount();
  from = std::clamp(from, 0, n);
  to = std::clamp(to, from, n);
  if (from == to) return;
  // Erasing destroys the cells and with them the texts they own.
  if (from == 0 && to == n)
    line.chars.clear();
  else
    line.chars.erase(from, to);
}

namespace {

// Whether the walk along the chain from `from`'s line reaches `to`'s line.
bool reaches(const Document& d, CursorPos from, const CursorPos& to) {
  int32_t f = from.field, l = from.line;
  for (int32_t guard = 0; guard <= 100'000'000; ++guard) {
    if (f == to.field && l == to.line) return true;
    if (!StepLines(d, f, l, 1)) return false;
  }
  return false;
}

// Takes the table cell lines a block marking emptied out of their visual rows, the last first:
// the rows lose those columns. The lines were noted in chain order, so taking out a later one
// never moves an earlier one.
void removeEmptiedCells(Document& d, const std::vector<CursorPos>& emptied) {
  std::vector<CursorPos> row;
  for (auto it = emptied.rbegin(); it != emptied.rend(); ++it) {
    if (!VisualRowLines(d, *it, row)) continue;  // a damaged row: leave it as it is
    const int32_t column = LineOf(d, *it).cellColumn;
    const int32_t cells = static_cast<int32_t>(row.size());
    for (int32_t i = 0; i < cells; ++i) {
      LineRec& l = LineOf(d, row[static_cast<size_t>(i)]);
      l.rowCells = cells - 1;
      if (i > column) --l.cellColumn;
      l.dirty = 1;
    }
    d.fields[it->field].lines.erase(it->line);
  }
}

// Puts a position back into the document after lines were taken out.
void clampPosition(Document& d, CursorPos& p) {
  if (!ValidField(d, p.field)) p = CursorPos{};
  FieldRec& f = d.fields[p.field];
  if (f.lineCount() == 0) InsertNewLine(d, p.field, 0);
  p.line = std::clamp(p.line, 0, f.lineCount() - 1);
  p.chr = std::clamp(p.chr, 0, f.lines[p.line].charCount());
}

}  // namespace

void DeleteMarking(TMDIChild& w, EmptiedCells emptiedCells) {
  if (!isThereAmarking(w)) return;
  Document& d = w.doc;
  EditState& e = EditingOf(w);
  FindMarkingStart(w);
  const CursorPos s = e.MarkStart;
  const CursorPos m = e.MarkEnd;
  if (!ValidPosition(d, s) || !ValidPosition(d, m) || !reaches(d, s, m)) {
    // Ends on two separate chains: there is no text between them to delete.
    d.Anchor = d.Cursor;
    return;
  }

  std::vector<CursorPos> emptied;
  auto noteEmptied = [&](int32_t f, int32_t l) {
    const LineRec& line = LineOf(d, f, l);
    if (e.BlockMarking && line.inTable && line.charCount() == 0) emptied.push_back({f, l, 0});
  };

  // In a table only the cells drawn as marked go: a line of a column outside the marked ones
  // is skipped whole, even when it lies between the two ends in line order.
  auto columnMarked = [&](int32_t f, int32_t l) {
    const LineRec& line = LineOf(d, f, l);
    if (!e.TableMarking || !line.inTable) return true;
    return line.cellColumn >= e.FirstMarkedColumn && line.cellColumn <= e.LastMarkedColumn;
  };

  if (s.field == m.field && s.line == m.line) {
    LineRec& line = LineOf(d, s);
    RemoveCells(line, s.chr, m.chr);
    line.dirty = 1;
  } else {
    if (columnMarked(s.field, s.line)) {
      LineRec& first = LineOf(d, s);
      RemoveCells(first, s.chr, first.charCount());
      first.endKind = kEndSoft;
      first.dirty = 1;
      noteEmptied(s.field, s.line);
    }

    int32_t f = s.field, l = s.line;
    while (StepLines(d, f, l, 1) && !(f == m.field && l == m.line)) {
      if (!columnMarked(f, l)) continue;
      LineRec& line = LineOf(d, f, l);
      line.chars.clear();
      line.endKind = kEndSoft;
      line.dirty = 1;
      noteEmptied(f, l);
    }

    // The end line keeps its end: the text before and after the marking form one paragraph.
    if (columnMarked(m.field, m.line)) {
      LineRec& last = LineOf(d, m);
      RemoveCells(last, 0, m.chr);
      last.dirty = 1;
      noteEmptied(m.field, m.line);
    }
  }

  d.Cursor = d.Anchor = s;
  if (emptiedCells == EmptiedCells::LeaveRows && !emptied.empty()) {
    removeEmptiedCells(d, emptied);
    clampPosition(d, d.Cursor);
    d.Anchor = d.Cursor;
  }
  FreeBildInListeIfNotNeeded(d, &w.undo);
}

namespace {

// Removes one cell of a line; a picture may now be unused.
void removeOneCell(TMDIChild& w, LineRec& line, int32_t index) {
  if (index < 0 || index >= line.charCount()) return;
  const bool picture = line.chars[index].kind == kCharPicture;
  RemoveCells(line, index, index + 1);
  line.dirty = 1;
  if (picture) FreeBildInListeIfNotNeeded(w.doc, &w.undo);
}

void deletionTail(TMDIChild& w) {
  RefreshDirtyContent(w);
  w.doc.Anchor = w.doc.Cursor;
  OvertakeFont(w);
}

// Backspace at character 0: joins with the line above, or removes the paragraph's bullet.
void backspaceAtLineStart(TMDIChild& w) {
  Document& d = w.doc;
  const CursorPos c = d.Cursor;
  LineRec& line = LineOf(d, c);
  line.dirty = 1;
  const bool listed = line.para.listKind != kListNone;
  const bool rowStart = line.rowStart != 0;
  int32_t pf = c.field, pl = c.line - RowStep(line);
  GoToLine(d, pf, pl);
  if (!ValidLine(d, pf, pl)) {
    if (listed) aufzaehlung(w, kListNone);
    return;
  }
  LineRec& prev = LineOf(d, pf, pl);
  prev.dirty = 1;
  const bool prevEndsParagraph = prev.endKind == kEndParagraph || prev.endKind == kEndPageBreak;
  if (listed && (prevEndsParagraph || rowStart || prev.rowEnd)) {
    aufzaehlung(w, kListNone);
  } else if (prev.endKind == kEndSoft && !rowStart) {
    removeOneCell(w, prev, prev.charCount() - 1);
    d.lineEndAffinity = 1;
  } else if (!rowStart && !prev.rowEnd) {
    prev.endKind = kEndSoft;  // the paragraphs join
  }
  // At the start of a table row nothing is deleted.
}

// Delete at the end of a line: joins with the line below, or removes an empty line above a table.
void deleteAtLineEnd(TMDIChild& w) {
  Document& d = w.doc;
  const CursorPos c = d.Cursor;
  LineRec& line = LineOf(d, c);
  if (line.rowEnd) return;
  line.dirty = 1;
  int32_t nf = c.field, nl = c.line + RowStep(line);
  GoToLine(d, nf, nl);
  if (!ValidLine(d, nf, nl)) return;
  LineRec& next = LineOf(d, nf, nl);
  next.dirty = 1;
  if (line.endKind == kEndSoft) {
    removeOneCell(w, next, 0);
    d.lineEndAffinity = 1;
  } else if (!next.rowStart) {
    line.endKind = kEndSoft;  // the next paragraph joins this one
  } else {
    FieldRec& f = d.fields[c.field];
    if (line.charCount() == 0 && f.lineCount() > 1 && c.line < f.lineCount() - 1) {
      f.lines.erase(c.line);
      d.Cursor.chr = 0;
    }
  }
}

}  // namespace

void KeyBackspace(TMDIChild& w) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor)) return;
  SetFileChanged(w, true);
  if (!RunActive(w, RunKind::Backspace)) MakeCopyForUndo(w, "Löschen");
  StartRun(w, RunKind::Backspace);
  d.lineEndAffinity = 0;
  if (isThereAmarking(w)) {
    DeleteMarking(w);
  } else if (d.Cursor.chr >= 1) {
    removeOneCell(w, LineOf(d, d.Cursor), d.Cursor.chr - 1);
    --d.Cursor.chr;
  } else {
    backspaceAtLineStart(w);
  }
  deletionTail(w);
}

void KeyDelete(TMDIChild& w) {
  Document& d = w.doc;
  EditState& e = EditingOf(w);
  if (!ValidPosition(d, d.Cursor)) return;
  SetFileChanged(w, true);
  if (!e.ProgrammaticTyping && !RunActive(w, RunKind::Delete)) MakeCopyForUndo(w, "Löschen");
  if (e.ProgrammaticTyping)
    EndTypingRun(w);
  else
    StartRun(w, RunKind::Delete);
  d.lineEndAffinity = 0;
  if (!e.ProgrammaticTyping && isThereAmarking(w)) {
    DeleteMarking(w);
  } else if (d.Cursor.chr < LineOf(d, d.Cursor).charCount()) {
    removeOneCell(w, LineOf(d, d.Cursor), d.Cursor.chr);
  } else {
    deleteAtLineEnd(w);
  }
  deletionTail(w);
}

bool AnyObjectSelected(const Document& d) {
  return std::any_of(d.fields.begin(), d.fields.end(),
                     [](const FieldRec& f) { return f.type > kFieldFooter && f.selected; });
}

void DeleteSelectedObjects(TMDIChild& w) {
  Document& d = w.doc;
  MakeCopyForUndo(w, "Objekt/Feld löschen");
  int32_t deleted = 0;
  for (int32_t i = d.fieldCount() - 1; i >= 0; --i) {
    if (d.fields[i].type > kFieldFooter && d.fields[i].selected) {
      DeleteField(d, i);
      ++deleted;
    }
  }
  const int32_t field = std::clamp(d.Cursor.field - deleted, 0, std::max(0, d.fieldCount() - 1));
  d.Cursor = d.Anchor = CursorPos{field, 0, 0};
  HostOf(w).restartRepaintTimer();
}

}  // namespace paginor
