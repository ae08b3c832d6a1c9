// Selecting a word or a paragraph, the word at the Cursor, and the document statistics.

#include <string>

#include "editing/marking.h"
#include "editing/movement.h"
#include "model/position.h"
#include "model/queries.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

int64_t stepLimit(const Document& d) {
  int64_t n = 1;
  for (const FieldRec& f : d.fields)
    for (const LineRec& l : f.lines) n += l.charCount() + 1;
  return n;
}

const CharRec* cellAt(const Document& d, const CursorPos& p) {
  const LineRec& l = LineOf(d, p);
  return p.chr < l.charCount() ? &l.chars[p.chr] : nullptr;
}

// Select word: a space, a tab or a line end that is not soft separates words; every other cell,
// a picture or a field too, belongs to a word.
bool isSeparator(const Document& d, const CursorPos& p) {
  if (const CharRec* c = cellAt(d, p)) return IsBlank(*c);
  return LineOf(d, p).endKind != kEndSoft;
}
bool isWordCell(const Document& d, const CursorPos& p) {
  return cellAt(d, p) != nullptr && !isSeparator(d, p);
}

// The word at the Cursor for the spelling commands: plain cells only.
bool isPlainWordCell(const Document& d, const CursorPos& p) {
  const CharRec* c = cellAt(d, p);
  return c && c->kind == kCharText && !IsBlank(*c);
}

// One cell to the left, crossing the start of a line when the line above (in the same cell)
// continues the paragraph. Lands on the line end of a line ending in a line or page break.
bool stepLeft(const Document& d, CursorPos& p) {
  if (p.chr > 0) {
    --p.chr;
    return true;
  }
  CursorPos q = p;
  for (int32_t guard = 1000; guard > 0; --guard) {
    const LineRec& line = LineOf(d, q);
    if (line.rowStart) return false;
    int32_t f = q.field, l = q.line;
    if (!StepLines(d, f, l, -RowStep(line))) return false;
    const LineRec& prev = LineOf(d, f, l);
    if (prev.endKind == kEndParagraph) return false;
    q = CursorPos{f, l, prev.charCount()};
    if (prev.endKind != kEndSoft) break;
    if (prev.charCount() > 0) {
      --q.chr;
      break;
    }
    // An empty soft line holds nothing: go on above it.
  }
  p = q;
  return true;
}

// One cell to the right; the end of a soft line is the start of the next line of the same cell.
// False at a line end that is not soft and at the end of the chain or the cell.
bool stepRight(const Document& d, CursorPos& p) {
  const LineRec& line = LineOf(d, p);
  const int32_t n = line.charCount();
  const bool moved = p.chr < n;
  if (moved) ++p.chr;
  if (p.chr < n) return true;
  if (line.endKind != kEndSoft || line.rowEnd) return moved;
  int32_t f = p.field, l = p.line;
  if (!StepLines(d, f, l, RowStep(line))) return moved;  // stays at the chain's end
  p = CursorPos{f, l, 0};
  return true;
}

}  // namespace

void WortMarkieren(TMDIChild& w) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor)) return;
  // The Anchor goes back to the word's first cell; from a separator it goes back over the
  // separators into the word before, so a click just behind a word selects that word.
  CursorPos a = d.Cursor;
  bool cameFromSeparator = isSeparator(d, a);
  for (int64_t guard = stepLimit(d); guard > 0; --guard) {
    CursorPos b = a;
    if (!stepLeft(d, b)) break;
    if (!isWordCell(d, b) && !cameFromSeparator) break;
    cameFromSeparator = isSeparator(d, b);
    a = b;
  }
  d.Anchor = a;

  // The Cursor goes through the word and its trailing separators.
  CursorPos c = d.Cursor;
  int64_t guard = stepLimit(d);
  while (isWordCell(d, c) && guard-- > 0) {
    CursorPos n = c;
    if (!stepRight(d, n) || n == c) break;
    c = n;
  }
  while (isSeparator(d, c) && guard-- > 0) {
    if (cellAt(d, c) == nullptr) break;  // a line end that is not soft
    CursorPos n = c;
    if (!stepRight(d, n) || n == c || !isSeparator(d, n)) break;
    c = n;
  }
  d.Cursor = c;
  GoCharRight(w);
  HostOf(w).restartRepaintTimer();
}

void AbsatzMarkieren(TMDIChild& w) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Anchor)) return;
  d.Cursor = d.Anchor;
  const int64_t limit = stepLimit(d);

  // Only a paragraph end (end kind 1) ends the paragraph here.
  CursorPos a = d.Anchor;
  for (int64_t guard = limit; guard > 0; --guard) {
    const LineRec& line = LineOf(d, a);
    if (line.rowStart) break;
    int32_t f = a.field, l = a.line;
    if (!StepLines(d, f, l, -RowStep(line)) || LineOf(d, f, l).endKind == kEndParagraph) break;
    a = CursorPos{f, l, 0};
  }
  a.chr = 0;

  CursorPos c = d.Cursor;
  for (int64_t guard = limit; guard > 0; --guard) {
    const LineRec& line = LineOf(d, c);
    if (line.endKind == kEndParagraph || line.rowEnd) break;
    int32_t f = c.field, l = c.line;
    if (!StepLines(d, f, l, RowStep(line))) break;
    c = CursorPos{f, l, 0};
  }
  c.chr = LineOf(d, c).charCount();

  d.Anchor = a;
  d.Cursor = c;
  GoCharRight(w);  // takes in the paragraph end
  HostOf(w).restartRepaintTimer();
}

std::string GetActualWord(TMDIChild& w, SelectWord select) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor)) return {};
  const int64_t limit = stepLimit(d);
  CursorPos start = d.Cursor;
  for (int64_t guard = limit; guard > 0; --guard) {
    CursorPos b = start;
    if (!stepLeft(d, b) || !isPlainWordCell(d, b)) break;
    start = b;
  }
  std::string word;
  CursorPos p = start;
  for (int64_t guard = limit; guard > 0 && isPlainWordCell(d, p); --guard) {
    word.push_back(static_cast<char>(cellAt(d, p)->ch));
    CursorPos n = p;
    if (!stepRight(d, n) || n == p) break;
    p = n;
  }
  if (select == SelectWord::Yes) d.Cursor = d.Anchor = start;
  return word;
}

std::vector<StatisticsRow> CountWords(TMDIChild& w) {
  const Document& d = w.doc;
  int64_t words = 0, letters = 0, cells = 0, paragraphs = 0, lines = 0;
  bool inWord = false;
  for (int32_t i = 0; i < d.fieldCount(); ++i) {
    const FieldRec& f = d.fields[i];
    // A word runs on into the next field of its chain only when that field follows directly.
    if (f.prevField != i - 1 || i == 0) inWord = false;
    const bool chainEnds = !ValidField(d, f.nextField);
    for (int32_t l = 0; l < f.lineCount(); ++l) {
      const LineRec& line = f.lines[l];
      ++lines;
      for (const CharRec& c : line.chars) {
        ++cells;
        if (c.kind == kCharText && !IsBlank(c)) {
          ++letters;
          if (!inWord) ++words;
          inWord = true;
        } else {
          inWord = false;
        }
      }
      const bool lastOfChain = chainEnds && l == f.lineCount() - 1;
      if (line.endKind != kEndSoft || lastOfChain) inWord = false;
      if (line.endKind == kEndParagraph || line.endKind == kEndPageBreak) ++paragraphs;
      if (lastOfChain) ++paragraphs;
    }
  }
  return {{"Bezeichnung", "Wert"},
          {"Seiten", std::to_string(GetAnzPages(d))},
          {"Wörter", std::to_string(words)},
          {"Zeichen (ohne Leerzeichen)", std::to_string(letters)},
          {"Zeichen (mit Grafiken)", std::to_string(cells)},
          {"Absätze", std::to_string(paragraphs)},
          {"Zeilen", std::to_string(lines)}};
}

}  // namespace paginor
