// The split: the cells from a line's end on move to the front of the next line of the same cell
// column, which is inserted (with a whole new visual row in a table) when there is none to take
// them. The Cursor and Anchor move with the cells.

#include <algorithm>
#include <iterator>
#include <vector>

#include "layout/stages.h"
#include "model/primitives.h"

namespace paginor {

namespace {

// A new line of a visual row, copying the cell and paragraph values of line `s`, which hands its
// row-end mark on to it.
LineRec RowLineFrom(LineRec& s) {
  LineRec n;
  InitNewLine(n);
  n.rowEnd = s.rowEnd;
  s.rowEnd = 0;
  n.inTable = s.inTable;
  n.rowCells = s.rowCells;
  n.cellColumn = s.cellColumn;
  n.cellWidth = s.cellWidth;
  n.rowInsetLeft = s.rowInsetLeft;
  n.rowInsetRight = s.rowInsetRight;
  n.cellDesign = s.cellDesign;
  n.para = s.para;  // own copies of the tab stops and the bullet font
  n.columns = s.columns;
  n.columnLine = s.columnLine;
  n.columnGap = s.columnGap;
  return n;
}

// In a table row that goes on below (no row end yet), the next line of a cell column is the
// empty line another cell's split made for this visual row in this pass. It takes the cells as a
// new row would; a second new row would leave an empty line inside the other cells' text.
bool IsRowFiller(const LineRec& f, const LineRec& x) {
  return !f.rowEnd && x.inTable && !x.rowStart && x.charCount() == 0 && x.endKind == kEndSoft;
}

int32_t CellCount(const LayoutWork& work, const LineRec& line) {
  return line.charCount() - work.lazyOffset(line);
}

// Moves the cells [base + end, size) of f to the front of x, keeps [base, base + keep) in f.
void MoveCells(LineRec& f, int32_t base, int32_t keep, int32_t end, LineRec& x) {
  std::vector<CharRec>& from = f.chars.edit();
  std::vector<CharRec>& to = x.chars.edit();
  to.insert(to.begin(), std::make_move_iterator(from.begin() + base + end),
            std::make_move_iterator(from.end()));
  from.erase(from.begin() + base + keep, from.end());  // with the line-end cell, if any
  if (base > 0) from.erase(from.begin(), from.begin() + base);
}

// Hands the whole cell array on to an empty line x and gives f a fresh array of the cells it
// keeps. Breaking a paragraph that the join made into one line (in a table cell too) would
// otherwise move the rest of the paragraph once for every line it makes; this way each cell
// moves once. The cells before `base + end` in x's array are dropped when x is broken
// (LayoutWork::handedOn).
void HandOnCells(LayoutWork& work, LineRec& f, int32_t base, int32_t keep, int32_t end,
                 LineRec& x) {
  x.chars = std::move(f.chars);
  CharArray kept;
  if (keep > 0) {
    std::vector<CharRec>& out = kept.edit();
    out.reserve(static_cast<size_t>(keep));
    if (x.chars.shared()) {
      for (int32_t i = 0; i < keep; ++i) out.push_back(x.chars[base + i]);
    } else {
      std::vector<CharRec>& all = x.chars.edit();
      for (int32_t i = 0; i < keep; ++i) out.push_back(std::move(all[base + i]));
    }
  }
  f.chars = std::move(kept);
  work.handedOn.push_back({&x, base + end});
}

}  // namespace

void DropLeadingCells(LineRec& line, int32_t base) {
  // The array holds the whole rest of the paragraph it was handed on with: the line takes a new
  // one of just its own cells, so that neither the cells before `base` are copied (from an array
  // an undo snapshot shares) nor the room of the whole paragraph stays with the line.
  CharArray own;
  const int32_t n = line.charCount() - base;
  if (n > 0) {
    std::vector<CharRec>& out = own.edit();
    out.reserve(static_cast<size_t>(n));
    if (line.chars.shared()) {
      out.assign(line.chars.begin() + base, line.chars.end());
    } else {
      std::vector<CharRec>& all = line.chars.edit();
      out.assign(std::make_move_iterator(all.begin() + base), std::make_move_iterator(all.end()));
    }
  }
  line.chars = std::move(own);
}

void SplitLine(LayoutWork& work, int32_t field, FieldLines& lines, int32_t line, int32_t base,
               const LineEnd& end) {
  const VisualRow row = VisualRowOf(lines, line);
  const int32_t n = row.cells;
  const int32_t next = line + n;
  LineRec& f = lines[line];
  const bool hard = end.kind > kEndSoft;
  const bool xExists = lines.valid(next);
  bool newRow = (hard && xExists && (lines[next].charCount() > 0 || lines[next].endKind != 0)) ||
                f.endKind != kEndSoft || !xExists || f.rowEnd;
  bool filler = false;
  if (newRow && n > 1 && xExists && IsRowFiller(f, lines[next])) {
    newRow = false;
    filler = true;
  }
  if (newRow) {
    for (int32_t c = 0; c < n; ++c) {
      const int32_t at = row.first + n + c;
      lines.insert(at, RowLineFrom(lines[row.first + c]));
      work.tracked.lineInserted(field, at);
    }
  }
  LineRec& x = lines[next];
  x.dirty = 1;
  if (end.kind == kEndParagraph && work.pendingParagraph)
    x.para = std::move(*work.pendingParagraph);
  work.pendingParagraph.reset();  // a page break's carrier is not handed on

  if (!hard) {
    if (newRow || filler) {
      x.endKind = f.endKind;
      f.endKind = kEndSoft;
    }
  } else {
    f.endKind = end.kind;
  }

  const int32_t keep = hard ? end.end - 1 : end.end;  // a hard end drops its line-end cell
  // A new line, or the empty line another cell's split made for this visual row.
  if ((newRow || filler) && x.charCount() == 0)
    HandOnCells(work, f, base, keep, end.end, x);
  else
    MoveCells(f, base, keep, end.end, x);

  const int32_t xCount = CellCount(work, x);
  work.tracked.each([&](CursorPos& p) {
    if (p.field != field || p.line != line) return;
    // At a soft break the place between the lines belongs to the lower line, unless the user
    // put the cursor at the end of the upper one.
    const bool atBreak = p.chr == end.end;
    if (p.chr < end.end || (atBreak && !hard && work.d.lineEndAffinity)) return;
    p.line = next;
    p.chr = std::clamp(p.chr - end.end, 0, xCount);
  });
}

}  // namespace paginor
