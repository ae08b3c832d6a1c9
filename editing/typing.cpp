// Typed characters (getkeysKeyPress) and the Tab key: a new cell at the Cursor, or in overwrite
// mode the cell at the Cursor, measured at once.

#include <array>

#include "editing/key_actions.h"
#include "editing/keys.h"
#include "editing/marking.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "layout/measure.h"
#include "model/position.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

constexpr uint8_t kTabChar = 9;
constexpr uint8_t kDoubleQuote = 34;
// A tab is given a provisional width; the line breaker sets its real one from the tab stops.
constexpr double kProvisionalTabWidth = 12.5;
constexpr double kTabHeight = -1.0;  // never makes a line taller

struct QuotePair {
  uint8_t opening;
  uint8_t closing;
};
// By quote style 1 "Deutsch", 2 "Schweizer Deutsch", 3 "Französisch", 4 "Englisch".
constexpr std::array<QuotePair, 4> kQuotes = {{{132, 147}, {187, 171}, {187, 171}, {147, 148}}};

// A quote typed after one of these cells opens.
bool quoteOpensAfter(const CharRec& c) {
  return c.kind != kCharText || c.ch == ' ' || c.ch == kTabChar || c.ch == '-';
}

bool quoteOpens(const Document& d, const CursorPos& c) {
  const LineRec& line = LineOf(d, c);
  if (c.chr > 0) return quoteOpensAfter(line.chars[c.chr - 1]);
  if (line.rowStart) return true;
  int32_t pf = c.field, pl = c.line - RowStep(line);
  GoToLine(d, pf, pl);
  if (!ValidLine(d, pf, pl)) return true;  // the chain's first line
  const LineRec& prev = LineOf(d, pf, pl);
  if (prev.rowEnd || prev.endKind == kEndParagraph || prev.endKind == kEndPageBreak) return true;
  return prev.charCount() == 0 || quoteOpensAfter(prev.chars.back());
}

// The character to insert for a typed one: a double quote becomes a typographic quote, except
// in "Courier", whose quote is meant as it is.
uint8_t typedCharacter(TMDIChild& w, uint8_t ch) {
  const int32_t style = EditOptionsOf(w.app).QuoteStyle;
  const Document& d = w.doc;
  if (ch != kDoubleQuote || style < 1 || style > 4 || d.CurrentFormat.curFontName == "Courier")
    return ch;
  const QuotePair& q = kQuotes[static_cast<size_t>(style - 1)];
  return quoteOpens(d, d.Cursor) ? q.opening : q.closing;
}

// The cell a typed character or tab goes into: the one at the Cursor in overwrite mode (keeping
// its own format), else a new one in the CurrentFormat.
CharRec* cellForTyping(TMDIChild& w, bool overwrite) {
  Document& d = w.doc;
  LineRec& line = LineOf(d, d.Cursor);
  if (overwrite && d.Cursor.chr < line.charCount()) {
    CharRec& cell = line.chars.mut(d.Cursor.chr);
    freezeichen(cell);
    cell.setNumber(0);
    cell.setFootnoteId(0);
    return &cell;
  }
  return NewChar(d);
}

}  // namespace

void getkeysKeyPress(TMDIChild& w, uint8_t ch) {
  EditState& e = EditingOf(w);
  Document& d = w.doc;
  if (e.rulerDragging || !ValidPosition(d, d.Cursor)) return;
  const FieldRec& field = d.fields[d.Cursor.field];
  if (field.type > kFieldTextBox || (field.type == kFieldTextBox && field.selected)) return;
  if (e.swallowDel) {
    if (ch == kCtrlBackspaceChar) return;
    e.swallowDel = false;
  }
  if (ch <= 31) return;

  SetFileChanged(w, true);
  if (!e.ProgrammaticTyping && !RunActive(w, RunKind::Typing)) MakeCopyForUndo(w, "Eingabe");
  if (e.ProgrammaticTyping)
    EndTypingRun(w);
  else
    StartRun(w, RunKind::Typing);
  d.lineEndAffinity = 0;
  if (!e.ProgrammaticTyping && isThereAmarking(w)) DeleteMarking(w);
  LineOf(d, d.Cursor).dirty = 1;

  const uint8_t shown = typedCharacter(w, ch);
  const bool overwrite = EditOptionsOf(w.app).OverwriteMode && !e.BatchTyping;
  CharRec* cell = cellForTyping(w, overwrite);
  if (!cell) return;
  cell->kind = kCharText;
  cell->ch = shown;
  RenderChar(w, *cell, /*forceSuperscript*/ false, CellText(*cell));
  ++d.Cursor.chr;
  d.Anchor = d.Cursor;
  if (!e.BatchTyping) RefreshDirtyContent(w);
}

void KeyTab(TMDIChild& w) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor)) return;
  EndTypingRun(w);
  MakeCopyForUndo(w, "Eingabe TAB");
  d.lineEndAffinity = 0;
  if (isThereAmarking(w)) DeleteMarking(w);
  LineOf(d, d.Cursor).dirty = 1;
  CharRec* cell = cellForTyping(w, EditOptionsOf(w.app).OverwriteMode);
  if (!cell) return;
  cell->kind = kCharText;
  cell->ch = kTabChar;
  RenderChar(w, *cell, /*forceSuperscript*/ false, CellText(*cell));
  cell->width = kProvisionalTabWidth;
  cell->height = kTabHeight;
  ++d.Cursor.chr;
  d.Anchor = d.Cursor;
  RefreshDirtyContent(w);
}

}  // namespace paginor
