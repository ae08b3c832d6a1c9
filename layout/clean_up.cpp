// Clean-up after the flow: footnote areas whose reference was deleted go, and so do
// continuation fields (later page bodies) that no text reached.
//
// Removing a field shifts every later index. Besides the chain links, the Cursor, the Anchor and
// the anchor work data of the fields keep naming the same fields; one that named a removed field
// moves to the end of the field's predecessor in its chain, or to the document's start.

#include <algorithm>
#include <vector>

#include "layout/stages.h"

namespace paginor {

namespace {

class FieldRemoval {
 public:
  explicit FieldRemoval(Document& d) : d_(d), n_(d.fieldCount()) {}

  // Marks the fields to remove; false when there are none.
  bool select() {
    removed_.assign(static_cast<size_t>(n_), 0);
    bool any = false;
    for (int32_t i = 0; i < n_; ++i) {
      const FieldRec& f = d_.fields[i];
      if (f.isFootnoteArea() && f.footnoteNo > 0 && f.unreferenced) removed_[i] = any = true;
    }
    // A continuation whose predecessor was a removed footnote area (a damaged link) lost that
    // link with it and is no continuation any more.
    const std::vector<uint8_t> areas = removed_;
    for (int32_t i = 0; i < n_; ++i) {
      const FieldRec& f = d_.fields[i];
      if (removed_[i] || f.type >= kFieldTextBox || f.lineCount() > 0) continue;
      if (valid(f.prevField) && !areas[f.prevField]) removed_[i] = any = true;
    }
    return any;
  }

  void apply(TrackedPositions& tracked) {
    remap_.assign(static_cast<size_t>(n_), -1);
    int32_t next = 0;
    for (int32_t i = 0; i < n_; ++i)
      if (!removed_[i]) remap_[i] = next++;
    dropped_ = n_ - next;

    tracked.each([&](CursorPos& p) { p = relocate(p); });
    for (FieldRec& f : d_.fields) {
      if (valid(f.anchorWork.field)) {
        const CursorPos moved = relocate({f.anchorWork.field, f.anchorWork.line, 0});
        f.anchorWork.field = moved.field;
        f.anchorWork.line = moved.line;
      }
    }
    std::vector<FieldRec> kept;
    kept.reserve(static_cast<size_t>(next));
    for (int32_t i = 0; i < n_; ++i)
      if (!removed_[i]) kept.push_back(std::move(d_.fields[i]));
    for (FieldRec& f : kept) {
      f.prevField = link(f.prevField);
      f.nextField = link(f.nextField);
    }
    d_.fields = std::move(kept);
  }

 private:
  bool valid(int32_t i) const { return i >= 0 && i < n_; }

  // A chain link after the removal: -1 when its field went.
  int32_t link(int32_t i) const {
    if (i < 0) return i;
    if (i >= n_) return i - dropped_;  // a damaged link beyond the fields shifts like the others
    return remap_[i];
  }

  CursorPos relocate(CursorPos p) const {
    if (!valid(p.field)) return p;
    if (!removed_[p.field]) {
      p.field = remap_[p.field];
      return p;
    }
    int32_t pred = d_.fields[p.field].prevField;
    for (int32_t steps = 0; valid(pred) && removed_[pred] && steps < n_; ++steps)
      pred = d_.fields[pred].prevField;
    if (!valid(pred) || removed_[pred]) return CursorPos{0, 0, 0};
    const FieldRec& f = d_.fields[pred];
    const int32_t line = std::max(0, f.lineCount() - 1);
    return CursorPos{remap_[pred], line, f.lineCount() > 0 ? f.lines[line].charCount() : 0};
  }

  Document& d_;
  const int32_t n_;
  std::vector<uint8_t> removed_;
  std::vector<int32_t> remap_;
  int32_t dropped_ = 0;
};

}  // namespace

void CleanUpFields(LayoutWork& work) {
  FieldRemoval removal(work.d);
  if (removal.select()) removal.apply(work.tracked);
}

}  // namespace paginor
