#include "layout/columns.h"

namespace paginor {

namespace {

// Trial heights rise by 1 mm from 0; no page is 100 m high, and a section whose lines cannot
// fit any height (a line of infinite height in a damaged file) must still end the search.
constexpr int32_t kMaxTrials = 100'000;

bool SameSection(const LineRec& a, const LineRec& b) {
  return a.columns == b.columns && a.columnLine == b.columnLine && a.columnGap == b.columnGap;
}

}  // namespace

bool isfirstSpaltenrow(const LineSpan& lines, int32_t line) {
  return line == 0 || !SameSection(lines[line - 1], lines[line]);
}

ColumnPlacement getspalteninfo(const LineSpan& lines, int32_t line, double available) {
  ColumnBalancer balancer;
  return balancer.place(lines, line, available);
}

ColumnPlacement ColumnBalancer::place(const LineSpan& lines, int32_t line, double available) {
  const int32_t n = static_cast<int32_t>(entries_.size());
  const bool cached = first_ && start_ >= 0 && start_ < lines.size() && &lines[start_] == first_ &&
                      line >= start_ && line < start_ + n && available == available_;
  if (!cached) {
    int32_t start = line;
    while (start > 0 && SameSection(lines[start - 1], lines[start])) --start;
    balance(lines, start, available);
  }
  const int32_t f = line - start_;
  const int32_t count = static_cast<int32_t>(entries_.size());
  // The flow stops at the first line beyond the last column, so the standing trial stops there
  // too; a line asked beyond it (none in practice) gets the complete walk.
  if (f > placed_) trial(t_, /*record=*/true, /*stopAtBreak=*/false);

  ColumnPlacement p;
  p.columnIndex = column_[f];
  p.lastColumn = lastColumn_;
  p.opensColumn = f == 0 || opens_[f];
  p.closesColumn = f == count - 1 || (f + 1 <= placed_ && opens_[f + 1]);
  p.columnBreak = column_[f] > columns_ - 1;
  p.topShift = topShift_[f];
  p.tailSpace = f == count - 1 ? tail_ : 0;
  p.balancedHeight = t_;
  p.startsAtFieldStart = startsAtFieldStart_;
  p.endsAtFieldEnd = endsAtFieldEnd_;
  return p;
}

void ColumnBalancer::balance(const LineSpan& lines, int32_t start, double available) {
  first_ = &lines[start];
  start_ = start;
  available_ = available;
  columns_ = lines[start].columns;
  entries_.clear();
  int32_t k = start;
  for (; k < lines.size() && (k == start || SameSection(lines[k - 1], lines[k])); ++k) {
    const LineRec& l = lines[k];
    entries_.push_back({l.para.spaceAbove + l.lineHeight + l.para.spaceBelow,
                        !(l.rowCells > 1 && l.cellColumn != 0)});
  }
  startsAtFieldStart_ = start == 0;
  endsAtFieldEnd_ = k == lines.size();

  // A section followed by more text tries heights from 1 mm up until its columns take it; one
  // that runs to the field's end is tried at the available height only.
  double t = endsAtFieldEnd_ ? available - 1 : 0;
  for (int32_t trials = 1;; ++trials) {
    t += 1.0;
    if (trial(t, /*record=*/false, /*stopAtBreak=*/true)) break;
    if (!(t < available) || trials >= kMaxTrials) break;
  }
  t_ = t;
  trial(t, /*record=*/true, /*stopAtBreak=*/true);
}

// One trial at height t. Without `record` it only answers whether the section fits and stops at
// the first failure. With it, it keeps every line's placement; `stopAtBreak` ends the walk at the
// first line beyond the last column, where the page flow moves the rest to the next page.
bool ColumnBalancer::trial(double t, bool record, bool stopAtBreak) {
  const int32_t n = static_cast<int32_t>(entries_.size());
  const int32_t c = columns_;
  if (record) {
    column_.assign(static_cast<size_t>(n), 0);
    topShift_.assign(static_cast<size_t>(n), 0);
    opens_.assign(static_cast<size_t>(n), 0);
    placed_ = n - 1;
  }
  double a = 0;
  int32_t col = 0;
  int32_t last = 0;
  bool fits = true;
  for (int32_t k = 0; k < n; ++k) {
    const Entry& e = entries_[k];
    if (e.advances) a += e.height;
    if (a > t) {  // line k opens a column
      if (record) topShift_[k] = a - e.height;
      a = e.height;
      if (record && col <= c - 1) opens_[k] = 1;
      ++col;
      if (a > t) {  // the line alone is taller than the trial height
        fits = false;
        if (!record) return false;
      }
    }
    if (record) column_[k] = col;
    if (col <= c - 1) last = col;
    if (col > c - 1) {
      fits = false;
      if (!record) return false;
      if (stopAtBreak) {
        placed_ = k;
        break;
      }
    }
  }
  if (record) {
    lastColumn_ = last;
    tail_ = t - a;
  }
  return fits;
}

}  // namespace paginor
