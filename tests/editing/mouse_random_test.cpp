// Random mouse sessions over a document with tables, lists, a footnote, a picture and linked
// text boxes: after every event the model stays valid, a move keeps every cell and a copy adds
// exactly the copied cells.

#include <random>

#include "editing/editor_fixture.h"
#include "editing/fragment.h"
#include "editing/invariants.h"
#include "editing/marking.h"
#include "editing/mouse.h"
#include "editing/undo.h"
#include "model/position.h"

namespace paginor::test {
namespace {

struct MouseRandom : EditorTest {
  WindowView v;
  MouseState s;
  int64_t clock = 1000;
  std::mt19937 rng{20261209};

  MouseEvent At(int32_t x, int64_t y, Modifiers m, MouseButton b = MouseButton::Left) {
    MouseEvent e;
    e.button = b;
    e.modifiers = m;
    e.x = x;
    e.y = y;
    clock += 30 + static_cast<int64_t>(rng() % 600);
    e.timeMs = clock;
    return e;
  }
  // A point on one of the first two pages.
  std::pair<int32_t, int64_t> RandomPoint() {
    UpdateWindowGeometry(w(), v);
    const WindowGeometry& g = v.geometry;
    const int32_t x = static_cast<int32_t>(rng() % static_cast<uint32_t>(g.blockWidth()));
    const int64_t y = static_cast<int64_t>(rng() % static_cast<uint32_t>(2 * g.blockHeight()));
    return {x, y};
  }
  int64_t TextCells() {
    int64_t n = 0;
    for (const FieldRec& f : doc().fields)
      for (const LineRec& l : f.lines) n += l.charCount();
    return n;
  }
  static int64_t TextCells(const Fragment& f) {
    int64_t n = 0;
    for (const FragmentLine& l : f.lines) n += l.line.charCount();
    return n;
  }
  // A footnote reference that is copied brings a new area with a copy of the text.
  static int64_t NoteCells(const Fragment& f) {
    int64_t n = 0;
    for (const FragmentNote& note : f.notes)
      for (const LineRec& l : note.area.lines) n += l.charCount();
    return n;
  }
};

TEST_F(MouseRandom, SessionsKeepTheModelValidAndLoseNoText) {
  BuildMixedDocument(w());
  options().maxUndos = kMaxUndos;  // a drop shows as new undo steps
  v.box.width = v.box.clientWidth = 900;
  v.box.height = v.box.clientHeight = 700;
  int drops = 0;
  for (int step = 0; step < 300; ++step) {
    const auto [x, y] = RandomPoint();
    const auto [x2, y2] = RandomPoint();
    const int action = static_cast<int>(rng() % 6);
    const std::string what = "step " + std::to_string(step) + " action " + std::to_string(action);
    switch (action) {
      case 0:  // click, maybe with Shift or Ctrl
      case 1: {
        const Modifiers m = static_cast<Modifiers>(rng() % 3 == 0 ? kShift : kNoModifier);
        PaintBox1MouseDown(w(), v, s, At(x, y, m));
        PaintBox1MouseUp(w(), v, s, At(x, y, m));
        break;
      }
      case 2:  // drag-select
        PaintBox1MouseDown(w(), v, s, At(x, y, kNoModifier));
        PaintBox1MouseMove(w(), v, s, At((x + x2) / 2, (y + y2) / 2, kNoModifier));
        PaintBox1MouseMove(w(), v, s, At(x2, y2, kNoModifier));
        PaintBox1MouseUp(w(), v, s, At(x2, y2, kNoModifier));
        break;
      case 3:  // double click
        PaintBox1MouseDown(w(), v, s, At(x, y, kNoModifier));
        PaintBox1MouseUp(w(), v, s, At(x, y, kNoModifier));
        PaintBox1DblClick(w(), v, s, At(x, y, kNoModifier));
        PaintBox1MouseDown(w(), v, s, At(x, y, kNoModifier));
        PaintBox1MouseUp(w(), v, s, At(x, y, kNoModifier));
        break;
      case 4:
      case 5: {  // drag the marking somewhere, moving or (with Ctrl) copying
        if (!isThereAmarking(w())) break;
        const Modifiers m = static_cast<Modifiers>(action == 5 ? kCtrl : kNoModifier);
        const int64_t before = TextCells();
        const Fragment f = CopyMarkingToFragment(w());
        const int64_t copied = TextCells(f), notes = NoteCells(f);
        // Press on the middle of the first marked cell.
        FindMarkingStart(w());
        CursorPos a = EditingOf(w()).MarkStart;
        if (a.chr >= LineOf(doc(), a).charCount()) break;
        UpdateWindowGeometry(w(), v);
        const auto p0 = CaretPlaceOf(w(), v, a);
        const auto p1 = CaretPlaceOf(w(), v, CursorPos{a.field, a.line, a.chr + 1});
        if (!p0 || !p1) break;
        const int32_t px = (p0->x + p1->x) / 2;
        const int64_t py = p0->top + p0->height / 2;
        PaintBox1MouseDown(w(), v, s, At(px, py, kNoModifier));
        if (!s.textDrag) {
          PaintBox1MouseUp(w(), v, s, At(px, py, kNoModifier));
          break;
        }
        PaintBox1MouseMove(w(), v, s, At(x2, y2, kNoModifier));
        const size_t steps = w().undo.entries.size();
        PaintBox1MouseUp(w(), v, s, At(x2, y2, m));
        const bool dropped = w().undo.entries.size() != steps;
        drops += dropped;
        // A moved reference takes a copy of its area along; the layout drops the old one.
        const int64_t added = dropped && action == 5 ? copied + notes : 0;
        EXPECT_EQ(TextCells(), before + added) << what;
        break;
      }
    }
    const std::vector<std::string> bad = CheckInvariants(doc());
    ASSERT_TRUE(bad.empty()) << what << "\n" << DescribeViolations(bad);
  }
  // The session must have exercised the drop, or it proves little.
  EXPECT_GT(drops, 0);
}

}  // namespace
}  // namespace paginor::test
