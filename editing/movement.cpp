#include "editing/movement.h"

#include <algorithm>

#include "editing/marking.h"
#include "model/position.h"
#include "model/queries.h"
#include "platform/cp1252.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

// Bounds the word steps: one step per cell and line end of the document at most.
int64_t cellLimit(const Document& d) {
  int64_t n = 1;
  for (const FieldRec& f : d.fields)
    for (const LineRec& l : f.lines) n += l.charCount() + 1;
  return n;
}

// An empty line of a shorter table cell that only fills the visual row: Up and Down pass it.
bool isFillerLine(const Document& d, const CursorPos& p, int32_t rowStep) {
  const LineRec& l = LineOf(d, p);
  if (!l.inTable || l.rowStart || l.charCount() != 0) return false;
  int32_t f = p.field, line = p.line;
  if (!StepLines(d, f, line, -rowStep)) return false;
  return LineOf(d, f, line).endKind == kEndSoft;
}

bool atLineEnd(const Document& d, const CursorPos& p) {
  return p.chr >= LineOf(d, p).charCount();
}

bool isWordChar(uint8_t ch) {
  return isCp1252AlphaNumeric(ch);
}

// A word step stops on c when c is no space and a word boundary lies before it.
bool wordBoundary(uint8_t before, uint8_t c) {
  return c != ' ' && (before == ' ' || !isWordChar(before) || !isWordChar(c));
}

}  // namespace

bool CharRight(const Document& d, CursorPos& p) {
  if (!ValidLine(d, p.field, p.line)) return false;
  const LineRec& line = LineOf(d, p);
  ++p.chr;
  if (p.chr <= line.charCount()) return true;
  p.chr = line.charCount();
  const bool leftSoft = line.endKind == kEndSoft;

  bool plain = true;
  int32_t f = p.field, l = p.line + 1;
  if (line.inTable && !line.rowEnd) {
    int32_t tf = p.field, tl = p.line + RowStep(line);
    GoToLine(d, tf, tl);
    if (!ValidLine(d, tf, tl)) ChainLastLine(d, p.field, tf, tl);
    const LineRec& below = LineOf(d, tf, tl);
    // An empty soft line below a soft line is a filler of a shorter cell: the cell's text ended.
    if (!(below.charCount() == 0 && below.endKind == kEndSoft && leftSoft)) {
      f = tf;
      l = tl;
      plain = false;
    }
  }
  GoToLine(d, f, l);
  if (!ValidLine(d, f, l)) return false;  // the chain's end: stay at the line's end

  p.field = f;
  p.line = l;
  // The end of a soft line and the start of the next are one place.
  p.chr = leftSoft ? 1 : 0;
  const LineRec& now = LineOf(d, p);
  if (plain && now.inTable) {
    if (now.cellColumn != 0)
      WalkRows(d, p, RowWalk::Up, [](const LineRec& x) { return x.rowStart != 0; });
    else
      WalkRows(d, p, RowWalk::Down, [](const LineRec& x) { return x.rowStart != 0; });
    p.chr = 0;
    return false;
  }
  p.chr = std::min(p.chr, now.charCount());
  return true;
}

bool CharLeft(const Document& d, CursorPos& p) {
  if (!ValidLine(d, p.field, p.line)) return false;
  --p.chr;
  if (p.chr >= 0) {
    p.chr = std::min(p.chr, LineOf(d, p).charCount());
    return true;
  }
  p.chr = 0;
  const LineRec& line = LineOf(d, p);
  const bool plain = !line.inTable || line.rowStart;
  int32_t f = p.field, l = p.line - (plain ? 1 : RowStep(line));
  GoToLine(d, f, l);
  if (l < 0) {
    if (ValidLine(d, f, 0)) p = CursorPos{f, 0, 0};
    return false;
  }
  if (!ValidLine(d, f, l)) return false;
  p.field = f;
  p.line = l;
  const LineRec& now = LineOf(d, p);
  p.chr = now.charCount();
  // The end of a soft line is shown as the start of the next one.
  if (now.endKind == kEndSoft && now.charCount() >= 1) p.chr = now.charCount() - 1;
  if (plain && now.inTable) {
    WalkRows(d, p, RowWalk::Down, [](const LineRec& x) { return x.rowEnd != 0; });
    p.chr = LineOf(d, p).charCount();
    return false;
  }
  return true;
}

namespace {

// One visual row up or down: to the same cell column of the neighbouring visual row (or its
// last column when that row has fewer), keeping the wanted character; filler lines that a cell
// split left behind are passed over.
bool StepVisualRow(const Document& d, CursorPos& p, bool up) {
  if (!ValidLine(d, p.field, p.line)) return false;
  const int32_t want = std::max(0, p.chr);
  for (int32_t guard = LineLimit(d); guard > 0; --guard) {
    const LineRec& cur = LineOf(d, p);
    const int32_t column = std::max(0, cur.cellColumn);
    const int32_t step = RowStep(cur);
    // The last line of the visual row above, or the first line of the one below.
    int32_t nf = p.field, nl = up ? p.line - column - 1 : p.line + step - column;
    GoToLine(d, nf, nl);
    if (!ValidLine(d, nf, nl)) return false;
    const LineRec& next = LineOf(d, nf, nl);
    int32_t tf = nf, tl = nl - std::max(0, next.cellColumn) + std::min(column, RowStep(next) - 1);
    GoToLine(d, tf, tl);
    if (!ValidLine(d, tf, tl)) return false;
    p.field = tf;
    p.line = tl;
    p.chr = std::min(want, LineOf(d, p).charCount());
    if (!isFillerLine(d, p, step)) return true;
  }
  return true;
}

}  // namespace

bool LineUp(const Document& d, CursorPos& p) {
  return StepVisualRow(d, p, /*up*/ true);
}

bool LineDown(const Document& d, CursorPos& p) {
  return StepVisualRow(d, p, /*up*/ false);
}

bool GoCharLeft(TMDIChild& w) {
  return CharLeft(w.doc, w.doc.Cursor);
}
bool GoCharRight(TMDIChild& w) {
  return CharRight(w.doc, w.doc.Cursor);
}
bool GoLineUp(TMDIChild& w) {
  return LineUp(w.doc, w.doc.Cursor);
}
bool GoLineDown(TMDIChild& w) {
  return LineDown(w.doc, w.doc.Cursor);
}

void GoWordLeft(TMDIChild& w, Extend extend) {
  Document& d = w.doc;
  CursorPos& c = d.Cursor;
  if (!ValidPosition(d, c)) return;
  if (extend == Extend::No && isThereAmarking(w)) {
    FindMarkingStart(w);
    c = EditingOf(w).MarkStart;
  }
  for (int64_t guard = cellLimit(d); guard > 0; --guard) {
    if (!CharLeft(d, c) || atLineEnd(d, c)) return;
    const uint8_t here = CellChar(LineOf(d, c).chars[c.chr]);
    CursorPos look = c;
    if (!CharLeft(d, look) || atLineEnd(d, look)) return;
    const uint8_t before = CellChar(LineOf(d, look).chars[look.chr]);
    if (wordBoundary(before, here)) return;
  }
}

void GoWordRight(TMDIChild& w, Extend extend) {
  Document& d = w.doc;
  CursorPos& c = d.Cursor;
  if (!ValidPosition(d, c)) return;
  if (extend == Extend::No && isThereAmarking(w)) {
    FindMarkingStart(w);
    c = EditingOf(w).MarkEnd;
  }
  if (atLineEnd(d, c) && LineOf(d, c).endKind != kEndSoft) {
    CharRight(d, c);
    return;
  }
  // The end of a soft line reads as the start of the next visual line of the same cell.
  auto skipSoftEnds = [&]() {
    for (int32_t guard = LineLimit(d); guard > 0; --guard) {
      const LineRec& l = LineOf(d, c);
      if (!atLineEnd(d, c) || l.endKind != kEndSoft || l.rowEnd) return;
      int32_t f = c.field, line = c.line;
      if (!StepLines(d, f, line, RowStep(l))) return;
      c = CursorPos{f, line, 0};
    }
  };
  skipSoftEnds();
  uint8_t before = atLineEnd(d, c) ? 'a' : CellChar(LineOf(d, c).chars[c.chr]);
  for (int64_t guard = cellLimit(d); guard > 0; --guard) {
    if (!CharRight(d, c)) return;
    skipSoftEnds();
    if (atLineEnd(d, c)) return;
    const uint8_t here = CellChar(LineOf(d, c).chars[c.chr]);
    if (wordBoundary(before, here)) return;
    before = here;
  }
}

}  // namespace paginor
