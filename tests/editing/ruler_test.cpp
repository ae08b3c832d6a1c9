// The rulers: what the window paint publishes for the Cursor's line (a plain column, a table
// cell, the second column of a two-column section), the pictures, and dragging indents and tab
// stops with both buttons. Positions are taken from the published values, so the tests follow
// the window's geometry; the oracle of every drop is the paragraph format it must leave.

#include "editing/ruler.h"

#include <cmath>

#include "editing/editor_fixture.h"
#include "editing/formatting.h"
#include "editing/undo.h"
#include "layout/layout.h"
#include "model/dump_json.h"
#include "view/line_rules.h"
#include "view/recording_canvas.h"
#include "view/window_view.h"

namespace paginor::test {
namespace {

constexpr int32_t kWidth = 1000;  // the ruler's width, as wide as the view

struct RulerTest : EditorTest {
  WindowView v;

  RulerTest() {
    v.box.width = v.box.clientWidth = kWidth;
    v.box.height = v.box.clientHeight = 800;
  }

  const RulerState& S() const { return v.ruler.state; }
  // Paints the window, which publishes the ruler values.
  void Paint() {
    for (int pass = 0; pass < 2; ++pass) {
      RecordSink sink(*fx.host.fonts, 96);
      if (!PaintBox1Paint(w(), v, sink).sizeChanged) return;
    }
    ADD_FAILURE() << "the page area kept changing its size";
  }
  double MmPerPx() const { return S().range() / S().widthPx(); }
  // The ruler x of a value of the scale, rounded to the nearest pixel.
  int32_t XAt(double mm) const {
    return S().leftPx + static_cast<int32_t>(std::lround(mm / MmPerPx()));
  }
  void SetFormat(const ParagraphFormat& p) {
    AbsatzFormat f = getabsatzformat(w());
    f.para = p;
    setabsatzformat(w(), f, AbsatzSwitches{.undo = false});
    Paint();
  }
  // A press, a move to `toX` and the release there.
  static constexpr int32_t kSameRow = -1000;
  bool Drag(int32_t fromX, int32_t y, int32_t toX, MouseButton b = MouseButton::Left,
            int32_t toY = kSameRow, int32_t kind = kTabLeft) {
    if (toY == kSameRow) toY = y;
    if (!RulerMouseDown(w(), v, fromX, y, b, kWidth, kind)) return false;
    RulerMouseMove(w(), v, (fromX + toX) / 2, y, kWidth);
    RulerMouseMove(w(), v, toX, toY, kWidth);
    return RulerMouseUp(w(), v, toX, toY, kWidth);
  }
  const ParagraphFormat& Para(int32_t l = 0) { return line(0, l).para; }
  std::string LastUndoName() {
    const auto entries = UndoListEntries(w());
    return entries.empty() ? std::string() : entries.front();
  }
  // The extent of a label in the ruler's font.
  TextExtent LabelExtent(const std::string& text) {
    LogFont lf;
    lf.face = kRulerFontFace;
    lf.height = kRulerFontHeight;
    const FontHandle h = fx.host.fonts->createFont(lf, 96);
    const TextExtent e = fx.host.fonts->textExtent(h, text);
    fx.host.fonts->deleteFont(h);
    return e;
  }
  std::string Dump() {
    std::string all = DumpDocumentJson(doc());
    if (const size_t m = all.find("\"modified\""); m != std::string::npos)
      all.erase(m, all.find('\n', m) - m);
    return all;
  }
};

// --- What the paint publishes ------------------------------------------------------------------

TEST_F(RulerTest, APlainColumnIsTheScaleWithTheParagraphsIndentsAndStops) {
  SetParagraphs({"Hallo Welt"});
  ParagraphFormat p;
  p.indentLeft = 10;
  p.indentFirstLine = 5;
  p.indentRight = 20;
  p.tabs = TabStops{{30, kTabLeft, 0}, {60, kTabRight, 0}};
  SetFormat(p);
  ASSERT_TRUE(S().hasWidth());
  const FieldRec& body = doc().fields[0];
  const double u = MmPerPx();
  EXPECT_EQ(S().leftMm, 0);
  EXPECT_NEAR(S().rightMm, TextAreaWidth(doc(), body), u) << "the text area's width";
  EXPECT_NEAR(u, 25.4 / 96 * 100 / doc().zoomPercent, 0.01) << "screen pixels at the zoom";
  // The column's left edge is the caret's x at the line's start (no indent then).
  ParagraphFormat plain;
  SetFormat(plain);
  EXPECT_NEAR(v.caret.x, S().leftPx, 1);
  SetFormat(p);
  EXPECT_EQ(S().indentLeftPx, static_cast<int32_t>(10 / u));
  EXPECT_EQ(S().indentFirstLinePx, static_cast<int32_t>(5 / u));
  EXPECT_EQ(S().indentRightPx, static_cast<int32_t>(20 / u));
  // The marker adds the indents truncated one by one, the text their sum truncated once.
  EXPECT_NEAR(v.caret.x, FirstLineMarkerX(S()), 2) << "the first line starts at its marker";
  EXPECT_EQ(S().cellOffsetLeft, 0);
  EXPECT_EQ(S().cellOffsetRight, 0);
  EXPECT_EQ(S().cellLeftMm, 0);
  EXPECT_EQ(S().cellRightMm, S().rightMm);
  EXPECT_EQ(S().tabs, p.tabs);
  // The vertical ruler: the body's text area from its top margin; the body spans the page, so
  // it is as tall as the page less both margins.
  EXPECT_NEAR(S().heightMm, doc().pageHeight - body.marginTop - body.marginBottom, 2 * u);
  EXPECT_NEAR(S().bottomPx - S().topPx, S().heightMm / u, 1);
  EXPECT_LT(S().topPx, static_cast<int32_t>(v.caret.y)) << "the caret stands inside the area";
  // Scrolling moves the scale with the page.
  v.box.scrollX = 7;
  v.box.scrollY = 30;
  const int32_t left = S().leftPx, top = S().topPx;
  Paint();
  EXPECT_EQ(S().leftPx, left - 7);
  EXPECT_EQ(S().topPx, top - 30);
}

TEST_F(RulerTest, InATableCellTheMarkersStandInTheCellOnTheColumnsScale) {
  SetParagraphs({"vor", "nach"});
  InsertTable(0, 1, 1, {"a", "b"});
  Place(0, 0, 0);
  Paint();
  const RulerState column = S();
  int32_t b = -1;
  for (int32_t l = 0; l < doc().fields[0].lineCount(); ++l)
    if (Text(0, l) == "b") b = l;
  ASSERT_GE(b, 0);
  Place(0, b, 1);
  Paint();
  const double u = MmPerPx();
  EXPECT_EQ(S().leftPx, column.leftPx) << "the scale stays the column's";
  EXPECT_EQ(S().rightPx, column.rightPx);
  EXPECT_GT(S().cellOffsetLeft, 0) << "the second cell starts inside the column";
  EXPECT_NEAR(S().cellLeftMm, S().cellOffsetLeft * u, 1e-9);
  EXPECT_NEAR(S().cellRightMm, S().rightMm - S().cellOffsetRight * u, 1e-9);
  EXPECT_NEAR(v.caret.x - line(0, b).chars[0].width / u, LeftMarkerX(S()), 2)
      << "the left marker stands where the cell's text begins";

  // Free-placing the left indent 10 mm into the cell indents that cell's paragraph by 10 mm.
  ASSERT_TRUE(Drag(LeftMarkerX(S()), 20, LeftMarkerX(S()) + static_cast<int32_t>(10 / u),
                   MouseButton::Right));
  EXPECT_NEAR(line(0, b).para.indentLeft, 10, u);
  for (int32_t l = 0; l < doc().fields[0].lineCount(); ++l) {
    if (l != b) {
      EXPECT_EQ(line(0, l).para.indentLeft, 0) << Text(0, l);
    }
  }
  // The right marker of the cell is the cell's right edge; dragging it 5 mm in.
  Paint();
  ASSERT_TRUE(Drag(RightMarkerX(S()), 14, RightMarkerX(S()) - static_cast<int32_t>(5 / u),
                   MouseButton::Right));
  EXPECT_NEAR(line(0, b).para.indentRight, 5, u);
  // A tab stop counts from the cell's left edge, as the line breaker measures it.
  Paint();
  const int32_t at = XAt(S().cellLeftMm + 20);
  ASSERT_TRUE(Drag(at, 15, at, MouseButton::Right));
  ASSERT_EQ(line(0, b).para.tabs.size(), 1u);
  EXPECT_NEAR(line(0, b).para.tabs[0].position, 20, u);
  Paint();
  EXPECT_NEAR(S().tabX(line(0, b).para.tabs[0].position), at, 1);
  ExpectValid();
}

TEST_F(RulerTest, TheSecondColumnOfATwoColumnSectionHasItsOwnScale) {
  std::vector<std::string> paragraphs(120, "Spaltentext in zwei Spalten");
  SetParagraphs(paragraphs);
  AbsatzFormat f = getabsatzformat(w());
  f.columns = 2;
  doc().Anchor = CursorPos{0, 0, 0};
  doc().Cursor = CursorPos{0, doc().fields[0].lineCount() - 1, 1};
  setabsatzformat(w(), f, AbsatzSwitches{.undo = false, .columns = true});
  int32_t second = -1, first = -1;
  for (int32_t l = 0; l < doc().fields[0].lineCount(); ++l) {
    if (line(0, l).columnIndex == 1 && second < 0) second = l;
    if (line(0, l).columnIndex == 0 && first < 0) first = l;
  }
  ASSERT_GE(second, 0) << "the section fills two columns";
  Place(0, first, 1);
  Paint();
  const RulerState left = S();
  Place(0, second, 1);
  Paint();
  const double u = MmPerPx();
  const double gap = line(0, second).columnGap;
  const double width = (TextAreaWidth(doc(), doc().fields[0]) - gap) / 2;
  EXPECT_NEAR(S().rightMm, width, u);
  EXPECT_NEAR(left.rightMm, width, u);
  EXPECT_NEAR(S().leftPx - left.leftPx, (width + gap) / u, 1) << "one column and the gap on";
  EXPECT_NEAR(v.caret.x - line(0, second).chars[0].width / u, S().leftPx, 2);
  // A tab stop placed on the second column's scale lands on that column's paragraph.
  const int32_t at = XAt(40);
  ASSERT_TRUE(Drag(at, 15, at, MouseButton::Left, kSameRow, kTabCentred));
  ASSERT_EQ(line(0, second).para.tabs.size(), 1u);
  EXPECT_EQ(line(0, second).para.tabs[0], (TabStop{40, kTabCentred, 0}));
  EXPECT_TRUE(line(0, first).para.tabs.empty());
}

// --- Dragging ------------------------------------------------------------------------------------

TEST_F(RulerTest, TheLeftIndentSnapsWithTheLeftButtonAndFollowsThePointerWithTheRight) {
  SetParagraphs({"eins", "zwei"});
  ParagraphFormat p;
  p.indentFirstLine = 5;
  SetFormat(p);
  const std::string before = Dump();
  // The lower part of the left marker, dragged to 2.3 cm: the nearest tick is 25 mm, and the
  // first line moves with it.
  ASSERT_TRUE(Drag(LeftMarkerX(S()), 20, XAt(23)));
  EXPECT_EQ(Para().indentLeft, 25);
  EXPECT_EQ(Para().indentFirstLine, 5) << "the first line keeps its distance";
  EXPECT_EQ(Para(1).indentLeft, 0) << "only the Cursor's paragraph";
  EXPECT_EQ(LastUndoName(), "Absatzformat");
  EXPECT_FALSE(EditingOf(w()).rulerDragging);
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Dump(), before) << "undo restores the paragraph exactly";

  Paint();
  ASSERT_TRUE(Drag(LeftMarkerX(S()), 20, XAt(23), MouseButton::Right));
  EXPECT_NEAR(Para().indentLeft, 23, MmPerPx()) << "up to the pixel resolution";
  EXPECT_NE(Para().indentLeft, 25);
  EXPECT_EQ(Para().indentFirstLine, 5);
}

TEST_F(RulerTest, TheUpperLeftMarkerKeepsTheFirstLineAndTheFirstLineMarkerMovesOnlyIt) {
  SetParagraphs({"eins"});
  ParagraphFormat p;
  p.indentLeft = 10;
  p.indentFirstLine = 5;
  SetFormat(p);
  // Upper part: the left indent to 20 mm, the first line stays at 15 mm.
  ASSERT_TRUE(Drag(LeftMarkerX(S()), 13, XAt(21)));
  EXPECT_EQ(Para().indentLeft, 20);
  EXPECT_EQ(Para().indentLeft + Para().indentFirstLine, 15);
  // The first-line marker to 40 mm: only the first line moves.
  Paint();
  ASSERT_TRUE(Drag(FirstLineMarkerX(S()), 5, XAt(39)));
  EXPECT_EQ(Para().indentLeft, 20);
  EXPECT_EQ(Para().indentFirstLine, 20);
  // The right marker 30 mm in from the column's right edge.
  Paint();
  ASSERT_TRUE(Drag(RightMarkerX(S()), 14, XAt(S().rightMm - 31)));
  const double expected = S().rightMm - 5 * std::round((S().rightMm - 31) / 5);
  EXPECT_NEAR(Para().indentRight, expected, 1e-9) << "the snapped tick's distance from the edge";
  EXPECT_NEAR(Para().indentRight, 30, 2.5);
}

TEST_F(RulerTest, AMarkerClickedWithoutMovingStaysAndEscEndsADragWithoutAChange) {
  SetParagraphs({"eins"});
  ParagraphFormat p;
  p.indentLeft = 12;
  SetFormat(p);
  const int32_t x = LeftMarkerX(S());
  ASSERT_TRUE(RulerMouseDown(w(), v, x, 20, MouseButton::Left, kWidth, kTabLeft));
  EXPECT_TRUE(EditingOf(w()).rulerDragging) << "the keyboard rests during the drag";
  ASSERT_TRUE(v.ruler.drag.guideX.has_value());
  EXPECT_EQ(*v.ruler.drag.guideX, S().xOf(10)) << "the guide line stands at the snapped tick";
  EXPECT_FALSE(RulerMouseUp(w(), v, x, 20, kWidth));
  EXPECT_EQ(Para().indentLeft, 12);
  EXPECT_TRUE(UndoListEntries(w()).empty());

  ASSERT_TRUE(RulerMouseDown(w(), v, x, 20, MouseButton::Left, kWidth, kTabLeft));
  RulerMouseMove(w(), v, XAt(40), 20, kWidth);
  Down(vk::kEscape);
  EXPECT_TRUE(RulerMouseMove(w(), v, XAt(45), 20, kWidth));
  EXPECT_EQ(v.ruler.drag.mode, kRulerIdle);
  EXPECT_FALSE(v.ruler.drag.guideX.has_value()) << "the guide line goes with the drag";
  EXPECT_FALSE(RulerMouseUp(w(), v, XAt(45), 20, kWidth));
  EXPECT_EQ(Para().indentLeft, 12);
  EXPECT_TRUE(UndoListEntries(w()).empty());
}

TEST_F(RulerTest, NewTabStopsTakeTheSelectorsKindAndAStopDroppedOnAnotherReplacesIt) {
  SetParagraphs({"eins"});
  Paint();
  // A click on the empty lower ruler at 4 cm with "Tabstop rechts".
  ASSERT_TRUE(Drag(XAt(40), 15, XAt(40), MouseButton::Left, kSameRow, kTabRight));
  EXPECT_EQ(Para().tabs, (TabStops{{40, kTabRight, 0}}));
  EXPECT_EQ(LastUndoName(), "Absatzformat");
  // The upper half makes nothing.
  Paint();
  EXPECT_FALSE(RulerMouseDown(w(), v, XAt(70), 8, MouseButton::Left, kWidth, kTabLeft));
  // A left stop at 2 cm, then dragged onto the right stop: one stop there, of the dragged kind.
  ASSERT_TRUE(Drag(XAt(20), 15, XAt(20), MouseButton::Left, kSameRow, kTabLeft));
  EXPECT_EQ(Para().tabs, (TabStops{{20, kTabLeft, 0}, {40, kTabRight, 0}}));
  Paint();
  ASSERT_TRUE(Drag(S().tabX(20) + 2, 15, XAt(41)));
  EXPECT_EQ(Para().tabs, (TabStops{{40, kTabLeft, 0}}));
  // Moved past another stop, the list stays in order of position.
  Paint();
  ASSERT_TRUE(Drag(XAt(60), 15, XAt(60), MouseButton::Left, kSameRow, kTabDecimal));
  Paint();
  ASSERT_TRUE(Drag(S().tabX(40), 15, XAt(80)));
  EXPECT_EQ(Para().tabs, (TabStops{{60, kTabDecimal, 0}, {80, kTabLeft, 0}}));
}

TEST_F(RulerTest, AStopDraggedOffTheRulerIsRemovedAndANewOneDroppedThereIsNeverMade) {
  SetParagraphs({"eins", "zwei"});
  ParagraphFormat p;
  p.tabs = TabStops{{25, kTabLeft, 0}, {50, kTabCentred, 0}};
  SetFormat(p);
  const std::string before = Dump();
  // Held below the ruler, the stop disappears from the picture and the guide line goes.
  ASSERT_TRUE(RulerMouseDown(w(), v, S().tabX(50), 15, MouseButton::Left, kWidth, kTabLeft));
  RulerMouseMove(w(), v, S().tabX(50) + 3, kRulerSize + 10, kWidth);
  EXPECT_TRUE(v.ruler.drag.offRuler);
  EXPECT_FALSE(v.ruler.drag.guideX.has_value());
  EXPECT_TRUE(RulerMouseUp(w(), v, S().tabX(50) + 3, kRulerSize + 10, kWidth));
  EXPECT_EQ(Para().tabs, (TabStops{{25, kTabLeft, 0}}));
  EXPECT_EQ(LastUndoName(), "Absatzformat");
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Dump(), before);
  // Above the ruler as well; a new stop dragged off makes no undo step.
  Paint();
  ASSERT_TRUE(Drag(S().tabX(25), 15, S().tabX(25), MouseButton::Left, -3));
  EXPECT_EQ(Para().tabs, (TabStops{{50, kTabCentred, 0}}));
  const size_t steps = UndoListEntries(w()).size();
  Paint();
  EXPECT_FALSE(Drag(XAt(70), 15, XAt(70), MouseButton::Left, kRulerSize + 5));
  EXPECT_EQ(Para().tabs, (TabStops{{50, kTabCentred, 0}}));
  EXPECT_EQ(UndoListEntries(w()).size(), steps);
}

TEST_F(RulerTest, ADropAppliesToEveryMarkedParagraph) {
  SetParagraphs({"eins", "zwei", "drei"});
  Paint();
  doc().Anchor = CursorPos{0, 0, 1};
  doc().Cursor = CursorPos{0, 1, 2};
  ASSERT_TRUE(Drag(LeftMarkerX(S()), 20, XAt(15)));
  EXPECT_EQ(Para(0).indentLeft, 15);
  EXPECT_EQ(Para(1).indentLeft, 15);
  EXPECT_EQ(Para(2).indentLeft, 0);
  EXPECT_EQ(UndoListEntries(w()).size(), 1u) << "one step for the drop";
}

// --- Pictures and the tab selector ------------------------------------------------------------

TEST_F(RulerTest, TheHorizontalPictureLabelsOddCentimetresAndDrawsTheDraggedMarkerAtThePointer) {
  SetParagraphs({"eins"});
  ParagraphFormat p;
  p.tabs = TabStops{{30, kTabLeft, 0}};
  SetFormat(p);
  RecordCanvas c(*fx.host.fonts, 96);
  PaintHorizontalRuler(c, *fx.host.fonts, v.ruler, kWidth, 0xF0F0F0);
  // The white band spans the column.
  bool white = false;
  for (const auto& op : c.of(RecordCanvas::Kind::Fill))
    white |= op.colour == 0xFFFFFF && op.r.left == S().leftPx && op.r.right == S().rightPx;
  EXPECT_TRUE(white);
  // Odd centimetres are numbers centred on their tick, even ones are long ticks.
  const auto one = c.texts("1");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_NEAR(one[0].r.left + LabelExtent("1").cx / 2.0, S().xOf(10), 1);
  EXPECT_TRUE(c.texts("3").size() == 1 && c.texts("5").size() == 1);
  EXPECT_TRUE(c.texts("2").empty() && c.texts("4").empty());
  const int32_t x20 = S().xOf(20), x25 = S().xOf(25);
  bool longTick = false, shortTick = false;
  for (const auto& op : c.lines(0)) {
    longTick |= op.r.left == x20 && op.r.top == 10 && op.r.bottom == kRulerSize - 10;
    shortTick |= op.r.left == x25 && op.r.top == 11 && op.r.bottom == kRulerSize - 11;
  }
  EXPECT_TRUE(longTick && shortTick);
  // A stop being dragged is drawn at the snapped pointer, not where it was.
  auto drawnAt = [&](int32_t x) {
    RecordCanvas d(*fx.host.fonts, 96);
    PaintHorizontalRuler(d, *fx.host.fonts, v.ruler, kWidth, 0xF0F0F0);
    for (const auto& op : d.of(RecordCanvas::Kind::Fill))
      if (op.colour == 0 && op.r.left == x && op.r.top == 12 && op.r.bottom == 19) return true;
    return false;
  };
  EXPECT_TRUE(drawnAt(S().tabX(30)));
  ASSERT_TRUE(RulerMouseDown(w(), v, S().tabX(30), 15, MouseButton::Left, kWidth, kTabLeft));
  RulerMouseMove(w(), v, XAt(51), 15, kWidth);
  EXPECT_TRUE(drawnAt(S().xOf(50)));
  EXPECT_FALSE(drawnAt(S().tabX(30)));
  RulerCancel(w(), v);
}

TEST_F(RulerTest, TheVerticalPictureCountsFromTheTopMargin) {
  SetParagraphs({"eins"});
  Paint();
  RecordCanvas c(*fx.host.fonts, 96);
  PaintVerticalRuler(c, *fx.host.fonts, S(), 800, 0xF0F0F0);
  const double u = S().heightMm / (S().bottomPx - S().topPx);
  const auto one = c.texts("1");
  ASSERT_EQ(one.size(), 1u);
  const int32_t y10 = S().topPx + static_cast<int32_t>(10 / u);
  EXPECT_NEAR(one[0].r.top + LabelExtent("1").cy / 2.0, y10, 1);
  bool tick = false;
  for (const auto& op : c.lines(0))
    tick |= op.r.top == op.r.bottom && op.r.left == 10 && op.r.right == kRulerSize - 10 &&
            std::abs(op.r.top - (S().topPx + 20 / u)) <= 1;
  EXPECT_TRUE(tick) << "a long tick at 2 cm";
}

TEST_F(RulerTest, ValuesFromADamagedFileStayOffTheRulerAndAnUnreadableScaleHasNoTicks) {
  SetParagraphs({"eins"});
  Paint();
  Ruler r = v.ruler;
  r.state.tabs = TabStops{{1e300, kTabLeft, 0}, {-1e300, kTabRight, 0}};
  EXPECT_GT(r.state.tabX(1e300), kWidth);
  EXPECT_LT(r.state.tabX(-1e300), 0);
  // A column of a thousand kilometres on a few pixels: nothing to count.
  r.state.rightMm = 1e9;
  RecordCanvas c(*fx.host.fonts, 96);
  PaintHorizontalRuler(c, *fx.host.fonts, r, kWidth, 0xF0F0F0);
  EXPECT_TRUE(c.lines(0).empty());
  EXPECT_TRUE(c.of(RecordCanvas::Kind::Text).empty());
}

TEST(RulerSelector, FourClicksReturnToLeftAndEachKindHasItsHint) {
  int32_t kind = kTabLeft;
  const char* hints[] = {"Tabstop links", "Tabstop zentiert", "Tabstop rechts", "Tabstop dezimal"};
  for (int i = 0; i < kTabKinds; ++i) {
    EXPECT_STREQ(TabSelectorHint(kind), hints[i]);
    kind = NextTabKind(kind);
  }
  EXPECT_EQ(kind, kTabLeft);
  EXPECT_EQ(NextTabKind(17), kTabLeft) << "an unknown kind starts again";
}

}  // namespace
}  // namespace paginor::test
