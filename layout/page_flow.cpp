// Page flow: the broken lines are distributed over the fields of each chain, page by page and
// box by box, with footnote areas reserving room at the bottom of the page of their reference.
// Headers, footers, footnote areas and text boxes flow first (their footnotes are numbered
// first), then the page bodies; a body that overflows continues in the next page's body, which
// is appended when there is none.
//
// A page chain was gathered into its first field. Moving the rest of the chain on at every page
// would move the last page's lines once per page; instead each page's field gets a view of the
// gathered lines, and the lines are moved to their fields once, at the end.

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "layout/columns.h"
#include "layout/footnote_placer.h"
#include "layout/line_span.h"
#include "layout/prefetch.h"
#include "layout/stages.h"

namespace paginor {

namespace {

void StoreColumnData(LineRec& l, const ColumnPlacement& p, double textWidth) {
  const double gap = l.columnGap;
  const double step = (textWidth - (l.columns - 1) * gap) / l.columns + gap;
  l.columnIndex = p.columnIndex;
  l.columnX = step * p.columnIndex;
  l.separatorLeftX = step * p.columnIndex - gap / 2;
  l.separatorRightX = step * (p.columnIndex + 1) - gap / 2;
  l.columnTopShift = p.topShift;
  l.columnTailSpace = p.tailSpace;
  l.opensColumn = p.opensColumn && p.startsAtFieldStart;
  l.closesColumn = p.closesColumn && p.endsAtFieldEnd;
  l.lastColumn = static_cast<uint8_t>(std::clamp(p.lastColumn, 0, 255));
}

class Flow {
 public:
  explicit Flow(LayoutWork& work) : work_(work), d_(work.d), notes_(work) {}

  void run() {
    notes_.sizeAreas();
    views_.resize(static_cast<size_t>(d_.fieldCount()));
    // Each sweep reaches the fields appended while it runs (new pages).
    for (int32_t i = 0; i < d_.fieldCount(); ++i) {
      const uint8_t t = d_.fields[i].type;
      if (t == kFieldHeader || t == kFieldFooter || t == kFieldTextBox) flowField(i);
    }
    for (int32_t i = 0; i < d_.fieldCount(); ++i)
      if (d_.fields[i].type == kFieldBody) flowField(i);
    while (!chains_.empty()) materialise(chains_.begin()->first);
  }

 private:
  // The lines of field i: its own, or its part of a gathered chain.
  struct View {
    int32_t source = -1;
    int32_t begin = 0;
    int32_t end = 0;
  };

  LineSpan spanOf(int32_t i) {
    const View& v = views_[i];
    if (v.source < 0) return LineSpan::Of(d_.fields[i].lines);
    return {&d_.fields[v.source].lines, v.begin, v.end};
  }

  void flowField(int32_t i);
  int32_t fitLines(int32_t i, const LineSpan& lines);
  void placeRest(int32_t i, const LineSpan& lines, int32_t from);
  void overflow(int32_t i, int32_t at);
  int32_t appendPage(int32_t i);
  void moveLines(int32_t i, int32_t at, int32_t next);
  void materialise(int32_t source);

  LayoutWork& work_;
  Document& d_;
  FootnotePlacer notes_;
  std::vector<View> views_;
  std::unordered_map<int32_t, std::vector<int32_t>> chains_;  // gathered field -> view fields
  std::vector<FootnoteRef> refs_;
};

void Flow::flowField(int32_t i) {
  const LineSpan lines = spanOf(i);
  if (lines.size() == 0) return;
  const int32_t at = fitLines(i, lines);
  if (at < 0) return;
  const FieldRec& f = d_.fields[i];
  const bool overflows =
      f.type == kFieldBody || (f.type == kFieldTextBox && f.nextField >= 0 &&
                               f.nextField < d_.fieldCount() && f.nextField != i);
  if (overflows)
    overflow(i, at);
  else
    placeRest(i, lines, at);
}

// Adds up the lines' heights until one does not fit; places the footnotes of the lines that
// stay. Returns the first line that must leave, -1 when all fit.
int32_t Flow::fitLines(int32_t i, const LineSpan& lines) {
  const FieldRec& f = d_.fields[i];
  const int32_t page = f.page;
  const double textWidth = TextWidth(work_, f);
  double available = FieldHeight(work_, f) - notes_.reserved(page);
  double used = f.marginTop + f.marginBottom;
  int32_t previousEnd = kEndParagraph;
  bool columnBreak = false;
  double sectionTop = 0;
  ColumnBalancer columns;
  for (int32_t k = 0; k < lines.size(); ++k) {
    if (k + 2 * kPrefetchAhead < lines.size()) PrefetchLine(lines[k + 2 * kPrefetchAhead]);
    LineRec& l = lines[k];
    if (l.para.spaceAbove > 0) used += l.para.spaceAbove;
    if (l.columns >= 2) {
      if (isfirstSpaltenrow(lines, k)) sectionTop = used;
      const ColumnPlacement p = columns.place(lines, k, available - 1 - sectionTop);
      StoreColumnData(l, p, textWidth);
      used = used - p.topShift + p.tailSpace;
      if (p.columnBreak) columnBreak = true;
    }
    // A visual row of a table advances once, with its first cell line.
    if (l.rowCells > 1 && l.cellColumn != 0)
      used -= l.para.spaceAbove;
    else
      used += l.lineHeight + std::max(0.0, l.para.spaceBelow);

    // The line's footnotes need room on the page too. They are placed only when the line stays:
    // a footnote whose line moves on is placed once, on the page the line moves to.
    // Most lines hold no reference and are clean: nothing to look up.
    if (l.dirty || l.footnoteRefs > 0)
      notes_.collect(l, refs_);
    else
      refs_.clear();
    double notes = 0;
    for (const FootnoteRef& r : refs_) notes += r.height;
    // A field always keeps its first line.
    if (k > 0 && (used > available - notes || columnBreak || previousEnd == kEndPageBreak))
      return k;
    for (const FootnoteRef& r : refs_) notes_.place(page, l, r);
    available -= notes;
    previousEnd = l.endKind;
  }
  return -1;
}

// A field that cannot overflow keeps all its lines, its text running past its bottom edge. The
// footnotes of that text are still placed on its page: left unplaced, their areas would count
// as unreferenced and be deleted with their text.
void Flow::placeRest(int32_t i, const LineSpan& lines, int32_t from) {
  const int32_t page = d_.fields[i].page;
  for (int32_t k = from; k < lines.size(); ++k) {
    notes_.collect(lines[k], refs_);
    for (const FootnoteRef& r : refs_) notes_.place(page, lines[k], r);
  }
}

void Flow::overflow(int32_t i, int32_t at) {
  int32_t next = d_.fields[i].nextField;
  if (next < 0 || next >= d_.fieldCount() || next == i) next = appendPage(i);
  // A page body continues in a later, empty body: it gets a view of the rest, which the sweep
  // reaches after this field. Anything else (linked text boxes, a chain that does not run
  // upwards) has its lines moved at once.
  if (d_.fields[i].type == kFieldBody && next > i && d_.fields[next].lineCount() == 0 &&
      views_[next].source < 0) {
    View& cur = views_[i];
    if (cur.source < 0) {
      cur = {i, 0, d_.fields[i].lineCount()};
      chains_[i].push_back(i);
    }
    views_[next] = {cur.source, cur.begin + at, cur.end};
    cur.end = cur.begin + at;
    chains_[cur.source].push_back(next);
    return;
  }
  if (views_[i].source >= 0) materialise(views_[i].source);
  moveLines(i, at, next);
}

// A new page body: a copy of the overflowing field for the next page, linked behind it.
int32_t Flow::appendPage(int32_t i) {
  FieldRec& f = d_.fields[i];
  RecordArray<LineRec> lines = std::move(f.lines);
  FieldRec copy = f;
  f.lines = std::move(lines);
  copy.page = f.page + 1;
  copy.prevField = i;
  copy.nextField = -1;
  d_.fields.push_back(std::move(copy));  // may move the field records; lines stay where they are
  const int32_t added = d_.fieldCount() - 1;
  d_.fields[i].nextField = added;
  views_.resize(static_cast<size_t>(d_.fieldCount()));
  notes_.bodyAdded(added);
  return added;
}

// Lines `at` to the end of field i move to the front of field `next`.
void Flow::moveLines(int32_t i, int32_t at, int32_t next) {
  FieldRec& f = d_.fields[i];
  FieldRec& to = d_.fields[next];
  // A text box that only holds the line it kept when its text was gathered gives it up.
  const bool dropPlaceholder = to.type >= kFieldTextBox && to.lineCount() == 1 &&
                               to.lines[0].endKind == kEndSoft && to.lines[0].charCount() == 0;
  if (dropPlaceholder) to.lines.clear();
  const int32_t moved = f.lineCount() - at;
  work_.tracked.each([&](CursorPos& p) {
    if (p.field != next) return;
    if (dropPlaceholder && p.line == 0) {
      p.chr = 0;  // the start of the box is now the start of the text moved in
      return;
    }
    p.line += moved - (dropPlaceholder ? 1 : 0);
  });
  f.lines.moveTo(at, f.lineCount(), to.lines, 0);
  work_.tracked.each([&](CursorPos& p) {
    if (p.field != i || p.line < at) return;
    p.field = next;
    p.line -= at;
  });
}

// Moves the lines of a gathered chain to the fields whose views hold them, last field first,
// so that each line moves once.
void Flow::materialise(int32_t source) {
  auto node = chains_.extract(source);
  const std::vector<int32_t>& chain = node.mapped();
  RecordArray<LineRec>& all = d_.fields[source].lines;
  work_.tracked.each([&](CursorPos& p) {
    if (p.field != source) return;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      if (p.line < views_[*it].begin) continue;
      p.field = *it;
      p.line -= views_[*it].begin;
      return;
    }
  });
  for (size_t k = chain.size() - 1; k >= 1; --k) {
    const View& v = views_[chain[k]];
    all.moveTo(v.begin, all.size(), d_.fields[chain[k]].lines, 0);
  }
  for (int32_t f : chain) views_[f] = View();
}

}  // namespace

void FlowPages(LayoutWork& work) {
  Flow(work).run();
}

}  // namespace paginor
