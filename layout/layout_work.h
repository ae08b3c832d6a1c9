// Work state of one layout pass, shared by its stages. Everything here lives only for one call
// of MakeSoftEnters.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "layout/layout_context.h"
#include "model/records.h"

namespace paginor {

// The positions the pass keeps on the same text while it moves cells and lines: the Cursor and
// the Anchor. Moving the Anchor with the text keeps a marking on the text it marked.
class TrackedPositions {
 public:
  explicit TrackedPositions(Document& d) : p_{&d.Cursor, &d.Anchor} {}
  template <typename Fn>
  void each(Fn&& fn) {
    // The Anchor usually equals the Cursor; adjusting it once is enough then, and adjusting it
    // twice would apply a relative change twice.
    const bool same = *p_[0] == *p_[1];
    fn(*p_[0]);
    if (same)
      *p_[1] = *p_[0];
    else
      fn(*p_[1]);
  }
  // A line was inserted at `at` in `field`: later lines of the field move down by one.
  void lineInserted(int32_t field, int32_t at) {
    each([&](CursorPos& p) {
      if (p.field == field && p.line >= at) ++p.line;
    });
  }

 private:
  std::array<CursorPos*, 2> p_;
};

struct LayoutWork {
  explicit LayoutWork(LayoutContext& context);

  LayoutContext& ctx;
  Document& d;
  TrackedPositions tracked;

  // The page size the layout uses: whole screen pixels at 100 %, in millimetres, so that the
  // screen shows the same breaks it draws.
  double pageWidth = 0;
  double pageHeight = 0;

  // The measuring font: the font of the last cell the breaker placed in this pass; -1 stands
  // for the font of the CurrentFormat. Only empty lines ask for it (the height of a space).
  int32_t measuringFont = -1;
  std::unordered_map<int32_t, double> spaceHeights;  // by font index, -1 the CurrentFormat

  // List counters, one per cell column; a counter not used yet reads 1.
  std::vector<int32_t> listCounters;

  // The format a paragraph-end cell carried, handed from the scan to the split.
  std::optional<ParagraphFormat> pendingParagraph;

  // Font of the transient line-end cells (the interned CurrentFormat), made once per pass.
  int32_t lineEndFont = -1;

  // Lines whose cells start at an offset of their array: the rest of a long line handed on by a
  // split without moving it (see SplitLine). Each is the next line of its cell column and is
  // broken before that column splits again, so there is one outside tables and at most one per
  // cell column of the table row being broken.
  struct HandedOn {
    LineRec* line = nullptr;
    int32_t offset = 0;
  };
  std::vector<HandedOn> handedOn;

  // Table rows of the field being broken that the join kept as they were, in line order: the
  // row's last line and the font of its last cell, the measuring font breaking the row would
  // have left. The line loop passes them at `nextKeptRow`.
  struct KeptRow {
    const LineRec* last = nullptr;
    int32_t font = -1;
  };
  std::vector<KeptRow> keptRows;
  size_t nextKeptRow = 0;

  // The check while typing; empty while no word check is installed.
  const WordCheck& wordCheck;

  // Offset of `line`'s first cell while it holds handed-on cells, else 0.
  int32_t lazyOffset(const LineRec& line) const {
    for (const HandedOn& h : handedOn)
      if (h.line == &line) return h.offset;
    return 0;
  }
  // The same, and the hand-on is consumed: the line is being broken.
  int32_t takeLazyOffset(const LineRec& line) {
    for (HandedOn& h : handedOn)
      if (h.line == &line) {
        const int32_t offset = h.offset;
        h = handedOn.back();
        handedOn.pop_back();
        return offset;
      }
    return 0;
  }
};

}  // namespace paginor
