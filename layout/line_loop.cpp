// The line loop of one field: every line is tested for a paragraph start and numbered; dirty
// lines are broken. A split inserts the next line of the same cell column and marks it dirty,
// so an edit is carried down through the rest of its paragraph.

#include <algorithm>

#include "layout/prefetch.h"
#include "layout/stages.h"
#include "model/queries.h"

namespace paginor {

namespace {

// Enough cell columns for any table the editor can make; a damaged column index beyond them
// shares the last counter rather than growing the counters without bound.
constexpr int32_t kMaxCounterColumns = 10'000;

// The line `rowCells` above (the previous visual line of the same cell column), which may lie in
// an earlier field of the chain; nullptr when there is none.
const LineRec* LineAbove(LayoutWork& work, int32_t field, FieldLines& lines, int32_t line) {
  int32_t f = field;
  int32_t p = line - std::max(1, lines[line].rowCells);
  if (p >= 0) return &lines[p];
  GoToLine(work.d, f, p);
  if (p < 0) return nullptr;
  // The field being broken holds its lines in `lines` meanwhile; a damaged chain leading back
  // to it is answered from there.
  if (f == field) return lines.valid(p) ? &lines[p] : nullptr;
  const FieldRec& other = work.d.fields[f];
  return p < other.lineCount() ? &other.lines[p] : nullptr;
}

bool StartsParagraph(LayoutWork& work, int32_t field, FieldLines& lines, int32_t line) {
  const LineRec& l = lines[line];
  const LineRec* above = LineAbove(work, field, lines, line);
  return !above || above->endKind == kEndParagraph || above->endKind == kEndPageBreak ||
         l.rowStart || above->rowEnd;
}

// A numbered list counts on in its cell column; any other paragraph restarts the count.
void NumberParagraph(LayoutWork& work, LineRec& line) {
  const size_t column = static_cast<size_t>(std::clamp(line.cellColumn, 0, kMaxCounterColumns));
  if (work.listCounters.size() <= column) work.listCounters.resize(column + 1, 1);
  int32_t& counter = work.listCounters[column];
  if (line.para.listKind == kListNumbers) {
    line.para.listNumber = counter;
    counter = line.para.listNumber + 1;
  } else {
    counter = 1;
  }
}

// A cell line's height is evened out with the other cells of its visual row when the row's last
// cell line is broken. An edit in one cell therefore breaks the whole visual row, so that a cell
// that shrank cannot keep the row at its old height or leave it lower than another cell's text.
void DirtyWholeVisualRow(FieldLines& lines, int32_t line) {
  if (lines[line].rowCells < 2 || lines[line].cellColumn != 0) return;  // most lines: no row
  const VisualRow row = VisualRowOf(lines, line);
  if (row.cells < 2 || row.column != 0) return;
  bool any = false;
  for (int32_t c = 0; c < row.cells && !any; ++c) any = lines[row.first + c].dirty;
  if (!any) return;
  for (int32_t c = 0; c < row.cells; ++c) lines[row.first + c].dirty = 1;
}

}  // namespace

void BreakFieldLines(LayoutWork& work, int32_t field, FieldLines& lines, double textWidth) {
  for (int32_t f = 0; f < lines.size(); ++f) {
    if (lines.valid(f + kPrefetchAhead)) PrefetchLine(lines[f + kPrefetchAhead]);
    LineRec& line = lines[f];
    const int32_t base = work.takeLazyOffset(line);
    const bool start = StartsParagraph(work, field, lines, f);
    if (start) NumberParagraph(work, line);
    DirtyWholeVisualRow(lines, f);
    if (work.nextKeptRow < work.keptRows.size() && &line == work.keptRows[work.nextKeptRow].last)
      work.measuringFont = work.keptRows[work.nextKeptRow++].font;
    if (!line.dirty) continue;
    const LineEnd end = BreakLine(work, lines, f, base, start, textWidth);
    if (end.found)
      SplitLine(work, field, lines, f, base, end);
    else if (base > 0)
      DropLeadingCells(line, base);
  }
  // Every line holding handed-on cells is dirty and was broken above; a hand-on never outlives
  // its field's loop.
  for (const LayoutWork::HandedOn& h : work.handedOn) DropLeadingCells(*h.line, h.offset);
  work.handedOn.clear();
}

}  // namespace paginor
