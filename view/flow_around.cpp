// Text flowing around floating objects: the drawing measures how far each cell must skip to
// pass the objects that wrap text and stores it in the cell; a changed skip marks the line for
// the next layout, which breaks it with the new gap.

#include "view/draw_pages.h"
#include "view/page_pass.h"

namespace paginor {

std::vector<FlowObstacle> FlowObstacles(const Document& d, int32_t p) {
  std::vector<FlowObstacle> out;
  for (const FieldRec& f : d.fields) {
    if (f.type < kFieldTextBox || !f.wrapText || !istOnAllPagesGedeckt(f.showOn, f.page, p))
      continue;
    FlowObstacle o;
    o.left = f.left;
    o.top = f.topFromBottom && f.bottomFromBottom ? d.pageHeight - f.top : f.top;
    o.right = f.rightFromRight ? d.pageWidth - f.right : f.right;
    o.bottom = f.bottomFromBottom ? d.pageHeight - f.bottom : f.bottom;
    o.distanceX = f.distanceX;
    o.distanceY = f.distanceY;
    o.flowMode = f.flowMode;
    out.push_back(o);
  }
  return out;
}

bool CollideWithObstacles(const std::vector<FlowObstacle>& obstacles, double& x, double w, double y,
                          double h) {
  bool hit = false;
  for (const FlowObstacle& o : obstacles) {
    // Mode 1 (text above and below only) and 2 (text left only) ignore the object's left edge,
    // modes 1 and 3 (text right only) its right edge.
    const int32_t m = o.flowMode;
    const bool pastLeft = x + w >= o.left - o.distanceX || m == 1 || m == 2;
    const bool beforeRight = x <= o.right + o.distanceX || m == 1 || m == 3;
    if (pastLeft && beforeRight && y + h >= o.top - o.distanceY && y <= o.bottom + o.distanceY) {
      // A hit never moves a cell back to the left: behind the object it stays where it is.
      if (o.right + o.distanceX > x) x = o.right + o.distanceX;
      hit = true;
    }
  }
  return hit;
}

bool iscolladingwithfield(const Document& d, int32_t p, double& x, double w, double y, double h) {
  return CollideWithObstacles(FlowObstacles(d, p), x, w, y, h);
}

double PagePass::flowSkip(const FieldBox& box, const LineRec& line, const LineState& s,
                          const CharRec& cell) const {
  if (obstacles_.empty()) return 0;
  // The cell's box on the page: it stands on the line's bottom.
  const double x = box.leftMm + s.x + s.shift * frame_.mmPerUnit;
  const double top = box.topMm + s.y + line.lineHeight - cell.height;
  double moved = x;
  if (!CollideWithObstacles(obstacles_, moved, cell.width, top, cell.height)) return 0;
  return moved - x;
}

void PagePass::storeSkip(LineRec& line, int32_t i, double skip) {
  const float value = static_cast<float>(skip);
  if (line.chars[i].skipBefore == value) return;
  // Written only when it changes: writing gives the line its own cells (undo snapshots).
  line.chars.mut(i).skipBefore = value;
  line.dirty = 1;
  result_.skipChanged = true;
}

}  // namespace paginor
