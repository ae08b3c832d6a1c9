// Join step: before a field's lines are broken, a dirty line that ends softly takes the line
// below it back, and the visual rows of a table row are joined into the row's first visual row.
// Going upwards, a dirty paragraph collapses into its first line and is broken anew.
//
// Appending line by line would copy a long paragraph's cells once for every line it spans, and
// removing each joined line would shift every later line of the field. The loop therefore only
// decides and adjusts the lines' members; the joined lines' cells are collected in a tree of
// pieces and copied once into their final line, and the joined lines are removed in one sweep.
//
// A table row whose lines are all clean would be joined and broken into the very same lines
// again; doing that on every pass cost most of a pass over a document with tables. Such a row is
// kept as it is whenever nothing outside it can change how it breaks (see keepsRow).

#include <algorithm>
#include <vector>

#include "layout/prefetch.h"
#include "layout/stages.h"
#include "model/queries.h"

namespace paginor {

namespace {

// The cells of one joined line, with the line-end cell put before them and the pieces that
// line had taken in itself.
struct Piece {
  bool hasEndCell = false;
  CharRec endCell;
  CharArray cells;
  int32_t firstChild = -1;
  int32_t nextSibling = -1;
};

class Joiner {
 public:
  Joiner(LayoutWork& work, int32_t field)
      : work_(work), field_(field), lines_(work.d.fields[field].lines), n_(lines_.size()) {}

  FieldLines run() {
    for (int32_t f = n_ - 1; f >= 1; --f) {
      if (f > kPrefetchAhead) PrefetchLine(lines_[f - kPrefetchAhead]);
      LineRec& lf = lines_[f];
      const int32_t q = f - std::max(1, lf.rowCells);
      if (q < 0) continue;
      LineRec& lq = lines_[q];
      if (lf.rowStart || lq.rowEnd) continue;
      const bool softAndDirty = lq.endKind == kEndSoft && lq.dirty;
      if (!softAndDirty && !(lq.inTable && lf.inTable)) continue;
      if (!softAndDirty && keptRow(f)) continue;
      join(q, f);
    }
    std::reverse(work_.keptRows.begin(), work_.keptRows.end());  // found bottom up
    build();
    return compact();
  }

 private:
  // Whether line f lies in a table row that is kept unbroken; decided once per row, when the
  // loop meets the row's last line.
  bool keptRow(int32_t f) {
    if (f < rowLo_ || f > rowHi_) {
      rowLo_ = rowHi_ = f;
      rowKept_ = keepsRow(f);
      if (rowKept_) {
        const LineRec* last = &lines_[rowHi_];
        work_.keptRows.push_back({last, lastCellFont(rowLo_, rowHi_)});
      }
    }
    return rowKept_;
  }

  // The font of the last cell of the row's lines [lo, hi]: breaking the row places that cell
  // last, so it is the measuring font the row leaves behind.
  int32_t lastCellFont(int32_t lo, int32_t hi) {
    for (int32_t i = hi; i >= lo; --i) {
      const LineRec& l = lines_[i];
      if (l.charCount() > 0) return l.chars[l.charCount() - 1].fontIndex;
    }
    return work_.measuringFont;  // not reached: the row's first line has cells
  }

  // Visual row s: n lines of one table row, columns 0..n-1, all with the same row marks.
  bool isVisualRow(int32_t s, int32_t n) {
    if (s < 0 || s > n_ - n) return false;
    const LineRec& head = lines_[s];
    for (int32_t k = 0; k < n; ++k) {
      const LineRec& l = lines_[s + k];
      if (!l.inTable || l.rowCells != n || l.cellColumn != k || l.rowStart != head.rowStart ||
          l.rowEnd != head.rowEnd)
        return false;
    }
    return true;
  }

  // Whether the table row around line f, found bottom up at its last line, breaks into exactly
  // the lines it has. On success sets [rowLo_, rowHi_] to the row's lines; on failure the join
  // takes the row apart as always.
  bool keepsRow(int32_t f) {
    // The word check sees the joined words of a row; kept apart, a word broken between two of
    // its lines would be checked in halves.
    if (work_.wordCheck) return false;
    const int32_t n = std::max(1, lines_[f].rowCells);
    const int32_t bottom = f - lines_[f].cellColumn;
    if (!isVisualRow(bottom, n) || !lines_[bottom].rowEnd) return false;
    int32_t top = bottom;
    while (!lines_[top].rowStart) {
      top -= n;
      if (!isVisualRow(top, n) || lines_[top].rowEnd) return false;
    }
    rowLo_ = top;
    rowHi_ = bottom + n - 1;
    // Joining and splitting move a Cursor or Anchor at a soft break of the row to the line the
    // line-end affinity names; a row holding one is taken apart so that this still happens.
    for (const CursorPos* p : {&work_.d.Cursor, &work_.d.Anchor})
      if (p->field == field_ && p->line >= rowLo_ && p->line <= rowHi_) return false;
    // An empty first cell takes the height of a space in the measuring font that the lines
    // before the row left; the row's own cells decide everything else.
    if (lines_[top].charCount() == 0) return false;
    // A soft-ended line above hands its overflow on to the row's first line.
    if (top > 0 && lines_[top - 1].endKind == kEndSoft && !lines_[top - 1].rowEnd) return false;
    bool lineEnds = false;
    for (int32_t i = rowLo_; i <= rowHi_; ++i) {
      const LineRec& l = lines_[i];
      if (l.dirty) return false;
      // List numbers run on from the text above the table and are copied to the lines a split
      // makes; a numbered paragraph is broken anew so that its lines carry the current number.
      if (l.para.listKind == kListNumbers) return false;
      // The join hands a lower visual row's object anchor up to the first; once it did, the
      // lower rows carry none.
      if (i >= top + n && l.lineAnchorId != 0) return false;
      if (i < bottom && l.endKind > 0) lineEnds = true;
    }
    // Joining would have interned the font of the line-end cells; the font table stays the same
    // whether the row is taken apart or not.
    if (lineEnds && work_.lineEndFont < 0)
      work_.lineEndFont = GetNewFontIndex(work_.d, FontOfCurrentFormat(work_.d.CurrentFormat));
    return true;
  }

  int32_t size(int32_t i) {
    if (sizes_[i] < 0) sizes_[i] = lines_[i].charCount();
    return sizes_[i];
  }

  void prepare() {
    if (!sizes_.empty()) return;
    sizes_.assign(static_cast<size_t>(n_), -1);
    firstPiece_.assign(static_cast<size_t>(n_), -1);
    lastPiece_.assign(static_cast<size_t>(n_), -1);
  }

  // A line end that must survive the join (only in tables) becomes a cell; the paragraph it ends
  // hands its format on through the cell.
  CharRec lineEndCell(int32_t endKind, const LineRec& next) {
    if (work_.lineEndFont < 0)
      work_.lineEndFont = GetNewFontIndex(work_.d, FontOfCurrentFormat(work_.d.CurrentFormat));
    // A damaged end kind beyond the page break counts as a paragraph end.
    const int32_t kind = std::clamp(endKind, 1, 3);
    CharRec c;
    c.kind = kCharText;
    c.ch = static_cast<uint8_t>(kind + 12);
    c.fontIndex = work_.lineEndFont;
    c.width = c.height = 0;
    if (kind == kEndParagraph || kind == kEndPageBreak) c.setParaCarrier(next.para);
    return c;
  }

  void join(int32_t q, int32_t f) {
    prepare();
    LineRec& lq = lines_[q];
    LineRec& lf = lines_[f];
    Piece piece;
    if (lq.endKind > 0) {
      piece.hasEndCell = true;
      piece.endCell = lineEndCell(lq.endKind, lf);
      sizes_[q] = size(q) + 1;
    }
    const int32_t former = size(q);
    const int32_t moved = size(f);
    work_.tracked.each([&](CursorPos& p) {
      if (p.field != field_ || p.line != f) return;
      p.line = q;
      p.chr = std::clamp(p.chr + former, 0, former + moved);
    });
    sizes_[q] = former + moved;

    lq.dirty = 1;
    lq.endKind = lf.endKind;
    if (lq.lineAnchorId == 0 && lf.lineAnchorId > 0) lq.lineAnchorId = lf.lineAnchorId;
    lq.rowEnd = lf.rowEnd;

    piece.cells = std::move(lf.chars);
    piece.firstChild = firstPiece_[f];
    pieces_.push_back(std::move(piece));
    const int32_t id = static_cast<int32_t>(pieces_.size()) - 1;
    if (lastPiece_[q] < 0) {
      firstPiece_[q] = id;
      targets_.push_back(q);
    } else {
      pieces_[lastPiece_[q]].nextSibling = id;
    }
    lastPiece_[q] = id;
    removed_.push_back(f);
  }

  static void moveCells(CharArray& from, std::vector<CharRec>& out) {
    if (from.empty()) return;
    for (CharRec& c : from.edit()) out.push_back(std::move(c));
    from.clear();
  }

  // Each surviving line that took lines gets its cells: its own, then every piece depth first.
  void build() {
    std::vector<int32_t> stack;
    for (int32_t t : targets_) {
      if (isRemoved(t)) continue;  // its cells went on with it to a line above
      std::vector<CharRec>& out = lines_[t].chars.edit();
      out.reserve(static_cast<size_t>(size(t)));
      stack.assign(1, firstPiece_[t]);
      while (!stack.empty()) {
        const int32_t p = stack.back();
        if (p < 0) {
          stack.pop_back();
          continue;
        }
        stack.back() = pieces_[p].nextSibling;
        if (pieces_[p].hasEndCell) out.push_back(std::move(pieces_[p].endCell));
        moveCells(pieces_[p].cells, out);
        if (pieces_[p].firstChild >= 0) stack.push_back(pieces_[p].firstChild);
      }
    }
  }

  bool isRemoved(int32_t i) const {
    return std::binary_search(removed_.rbegin(), removed_.rend(), i);  // removed_ is falling
  }

  FieldLines compact() {
    RecordArray<LineRec>& lines = lines_;
    if (removed_.empty()) return FieldLines(std::move(lines));
    work_.tracked.each([&](CursorPos& p) {
      if (p.field != field_) return;
      p.line -= static_cast<int32_t>(
          std::count_if(removed_.begin(), removed_.end(), [&](int32_t r) { return r < p.line; }));
    });
    // A few removals (an edit) shift the later lines directly.
    if (removed_.size() <= 8) {
      for (int32_t r : removed_) lines.erase(r);  // falling order keeps the indexes valid
      return FieldLines(std::move(lines));
    }
    // Many (a whole field, the tables' visual rows): the runs of kept lines are taken from the
    // end one after the other, which leaves them in reverse order, and then taken from the end
    // again, which restores it. Each run moves in one piece; nothing shifts the lines before it.
    RecordArray<LineRec> runs;
    runs.reserve(n_);
    std::vector<int32_t> lengths;
    size_t next = 0;  // next removed index, falling
    int32_t end = n_;
    while (end > 0) {
      int32_t start = end;
      if (next < removed_.size() && removed_[next] == end - 1) {
        while (next < removed_.size() && removed_[next] == start - 1) {
          --start;
          ++next;
        }
        lines.erase(start, end);
      } else {
        const int32_t stop = next < removed_.size() ? removed_[next] + 1 : 0;
        start = stop;
        lines.moveTo(start, end, runs, runs.size());
        lengths.push_back(end - start);
      }
      end = start;
    }
    RecordArray<LineRec> kept;
    kept.reserve(runs.size());
    for (auto it = lengths.rbegin(); it != lengths.rend(); ++it)  // the first run lies last
      runs.moveTo(runs.size() - *it, runs.size(), kept, kept.size());
    return FieldLines(std::move(kept));
  }

  LayoutWork& work_;
  const int32_t field_;
  RecordArray<LineRec>& lines_;
  const int32_t n_;
  std::vector<int32_t> sizes_;  // cell counts as joined so far; -1 not read yet
  std::vector<int32_t> firstPiece_, lastPiece_;
  std::vector<Piece> pieces_;
  std::vector<int32_t> targets_;     // lines that took pieces, in the order they first did
  std::vector<int32_t> removed_;     // joined lines, falling
  int32_t rowLo_ = -1, rowHi_ = -2;  // the table row keptRow decided last
  bool rowKept_ = false;
};

}  // namespace

FieldLines JoinLines(LayoutWork& work, int32_t field) {
  work.keptRows.clear();
  work.nextKeptRow = 0;
  return Joiner(work, field).run();
}

}  // namespace paginor
