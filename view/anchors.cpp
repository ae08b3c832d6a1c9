// Objects that move with the text. The window's drawing binds each such object to the nearest
// paragraph start of the page body on its page (an anchor id shared by the object and the line)
// and, on later passes, puts the object back at its offsets from that line wherever the line
// went; a moved object asks for a new layout, so the text flows around it at its new place.

#include <cmath>

#include "model/queries.h"
#include "view/page_pass.h"

namespace paginor {

namespace {

// Movements below this are rounding of the offsets, not a move; ignoring them lets the pass
// settle.
constexpr double kMoveTolerance = 1e-6;

double TopMm(const Document& d, const FieldRec& f) {
  return f.topFromBottom && f.bottomFromBottom ? d.pageHeight - f.top : f.top;
}

// Moves a field by (dx, dy) millimetres, whichever edges its values are measured from.
void MoveField(FieldRec& f, double dx, double dy) {
  f.left += dx;
  f.right += f.rightFromRight ? -dx : dx;
  f.top += f.topFromBottom && f.bottomFromBottom ? -dy : dy;
  f.bottom += f.bottomFromBottom ? -dy : dy;
}

bool Anchorable(const FieldRec& f) {
  return f.isFloating() && f.moveWithText;
}

}  // namespace

void PagePass::beginAnchorSearch() {
  for (FieldRec& f : d_.fields)
    if (f.isFloating()) f.anchorWork = AnchorWork{0, 0, -1, -1, -1};
}

void PagePass::moveAnchoredObjects(const FieldBox& box, LineRec& line, const LineState& s) {
  const int32_t id = line.lineAnchorId;
  for (int32_t i = getfieldWithAnkerID(d_, 0, id); i >= 0; i = getfieldWithAnkerID(d_, i + 1, id)) {
    FieldRec& o = d_.fields[i];
    o.anchorId = 0;  // the anchor is handed out again at the end of the pass
    const double dx = box.leftMm + o.anchorOffsetX + s.offset - o.left;
    const double dy = box.topMm + o.anchorOffsetY + s.y - TopMm(d_, o);
    const bool moves = std::abs(dx) > kMoveTolerance || std::abs(dy) > kMoveTolerance;
    if (!moves && o.page == frame_.page) continue;
    if (moves) MoveField(o, dx, dy);
    o.page = frame_.page;
    result_.anchorsMoved = true;
  }
  line.lineAnchorId = 0;
}

void PagePass::searchAnchor(const FieldBox& box, const LineState& s) {
  // The line's start, a millimetre into the text.
  const double px = box.leftMm + s.x + 1;
  const double py = box.topMm + s.y + 1;
  for (int32_t i : anchorables_) {
    FieldRec& o = d_.fields[i];
    const double top = TopMm(d_, o);
    const double distance = std::hypot(o.left - px, top - py);
    AnchorWork& a = o.anchorWork;
    if (a.marker >= 0 && distance >= a.marker) continue;
    a.marker = distance;
    a.field = box.index;
    a.line = s.index;
    a.offsetX = o.left - (box.leftMm + s.offset);
    a.offsetY = top - (box.topMm + s.y);
  }
}

void PagePass::findAnchorables() {
  anchorables_.clear();
  if (!jobs_.anchors) return;
  for (int32_t i = 0; i < d_.fieldCount(); ++i) {
    const FieldRec& f = d_.fields[i];
    if (Anchorable(f) && f.page == frame_.page) anchorables_.push_back(i);
  }
}

void PagePass::assignAnchors() {
  auto foundLine = [&](const FieldRec& o) {
    const AnchorWork& a = o.anchorWork;
    return Anchorable(o) && a.marker >= 0 && a.field >= 0 && a.field < d_.fieldCount() &&
           a.line >= 0 && a.line < d_.fields[a.field].lineCount();
  };
  // Every object that found a line gives up its old id first: the ids handed out then depend
  // only on this pass, not on the ids the objects held before (read from a file, or left by
  // an earlier pass), so the same layout always stores the same ids.
  for (FieldRec& o : d_.fields)
    if (foundLine(o)) o.anchorId = 0;
  for (FieldRec& o : d_.fields) {
    if (!foundLine(o)) continue;
    const AnchorWork& a = o.anchorWork;
    LineRec& l = d_.fields[a.field].lines[a.line];
    o.anchorOffsetX = a.offsetX;
    o.anchorOffsetY = a.offsetY;
    if (l.lineAnchorId != 0) {
      o.anchorId = l.lineAnchorId;  // another object anchored here already
    } else {
      o.anchorId = getFreeAnkerID(d_);
      l.lineAnchorId = o.anchorId;
    }
  }
}

}  // namespace paginor
