// The mouse on the page area: clicks before and after a character's middle, Shift+click, the
// margin click, drag-select over lines and pages, double and triple click, text drag and drop
// (move, copy, drop into the marking), the right button and the pointer shapes. Points are
// taken from where the window's drawing puts the text, so the tests follow its geometry.

#include "editing/mouse.h"

#include "editing/editor_fixture.h"
#include "editing/marking.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "layout/measure.h"
#include "model/position.h"
#include "model/queries.h"
#include "platform/pictures/dib.h"

namespace paginor::test {
namespace {

struct Point {
  int32_t x = 0;
  int64_t y = 0;
};

struct MouseTest : EditorTest {
  WindowView v;
  MouseState s;
  int64_t clock = 100000;

  MouseTest() {
    v.box.width = v.box.clientWidth = 1000;
    v.box.height = v.box.clientHeight = 800;
  }

  void Layout() { UpdateWindowGeometry(w(), v); }

  // A point on the left (or right) quarter of the cell at p, halfway down its line.
  Point OnCell(CursorPos p, bool rightHalf = false) {
    Layout();
    const auto a = CaretPlaceOf(w(), v, p);
    const auto b = CaretPlaceOf(w(), v, CursorPos{p.field, p.line, p.chr + 1});
    EXPECT_TRUE(a && b) << "no caret place for " << p.field << "," << p.line << "," << p.chr;
    if (!a || !b) return {};
    EXPECT_GT(b->x - a->x, 3) << "cell too narrow to hit one half";
    const int32_t quarter = (b->x - a->x) / 4;
    return Point{rightHalf ? b->x - quarter : a->x + quarter, a->top + a->height / 2};
  }
  // A point left of a line, in the page's margin.
  Point InMargin(int32_t field, int32_t l) {
    Layout();
    const auto a = CaretPlaceOf(w(), v, CursorPos{field, l, 0});
    EXPECT_TRUE(a.has_value());
    if (!a) return {};
    return Point{v.geometry.originX + 4, a->top + a->height / 2};
  }

  MouseEvent Event(Point p, Modifiers m, MouseButton b = MouseButton::Left) {
    MouseEvent e;
    e.button = b;
    e.modifiers = m;
    e.x = p.x;
    e.y = p.y;
    e.timeMs = clock;
    return e;
  }
  MouseResponse Press(Point p, Modifiers m = kNoModifier, MouseButton b = MouseButton::Left) {
    clock += 50;
    return PaintBox1MouseDown(w(), v, s, Event(p, m, b));
  }
  MouseResponse Move(Point p, Modifiers m = kNoModifier) {
    clock += 20;
    return PaintBox1MouseMove(w(), v, s, Event(p, m, MouseButton::None));
  }
  MouseResponse Release(Point p, Modifiers m = kNoModifier, MouseButton b = MouseButton::Left) {
    clock += 50;
    return PaintBox1MouseUp(w(), v, s, Event(p, m, b));
  }
  void Click(Point p, Modifiers m = kNoModifier) {
    Press(p, m);
    Release(p, m);
  }
  // Press, release, double click and the second press and release, as the platform delivers.
  void DoubleClick(Point p) {
    Click(p);
    clock += 50;
    PaintBox1DblClick(w(), v, s, Event(p, kNoModifier));
    Press(p);
    Release(p);
  }
  void Mark(CursorPos anchor, CursorPos cursor) {
    doc().Anchor = anchor;
    doc().Cursor = cursor;
  }
  void ExpectMarking(CursorPos anchor, CursorPos cursor) {
    EXPECT_EQ(doc().Anchor, anchor);
    EXPECT_EQ(doc().Cursor, cursor);
  }
  // Gives the cells [from, to) of a line a bold font of their own.
  void Embolden(int32_t l, int32_t from, int32_t to) {
    FontRec bold = doc().fonts[line(0, l).chars[from].fontIndex];
    bold.style = 1u << kStyleBold;
    bold.name = "Arial";
    const int32_t index = GetNewFontIndex(doc(), bold);
    for (int32_t c = from; c < to; ++c) {
      CharRec& cell = line(0, l).chars.mut(c);
      cell.fontIndex = index;
      RenderChar(w(), cell, false, CellText(cell));
    }
  }
  bool IsBold(int32_t f, int32_t l, int32_t c) {
    return doc().fonts[line(f, l).chars[c].fontIndex].style & (1u << kStyleBold);
  }
};

// --- Clicks

TEST_F(MouseTest, AClickResolvesBeforeOrAfterTheCharacterByItsMiddle) {
  SetParagraphs({"Hallo Welt", "zweite Zeile"});
  MouseResponse r = Press(OnCell({0, 0, 3}));
  EXPECT_TRUE(r.takeFocus);
  ExpectMarking({0, 0, 3}, {0, 0, 3});
  Release(OnCell({0, 0, 3}));
  Press(OnCell({0, 1, 3}, /*rightHalf*/ true));
  ExpectMarking({0, 1, 4}, {0, 1, 4});
  EXPECT_TRUE(host.repaintPending);
  EXPECT_TRUE(UndoListEntries(w()).empty());  // placing the Cursor is no edit
  ExpectValid();
}

TEST_F(MouseTest, ShiftClickMovesOnlyTheCursor) {
  SetParagraphs({"Hallo Welt", "zweite Zeile"});
  Click(OnCell({0, 0, 2}));
  Click(OnCell({0, 1, 5}, true), kShift);
  ExpectMarking({0, 0, 2}, {0, 1, 6});
  Click(OnCell({0, 0, 0}), kShift);
  ExpectMarking({0, 0, 2}, {0, 0, 0});
}

TEST_F(MouseTest, AMarginClickMarksWholeLinesAndCtrlMarksEverything) {
  SetParagraphs({"eins", "zwei", "drei"});
  Click(InMargin(0, 1));
  EXPECT_TRUE(s.marginClicked);
  ExpectMarking({0, 1, 0}, {0, 2, 0});
  // Shift extends by whole lines from the Anchor, up or down.
  Click(InMargin(0, 2), kShift);
  ExpectMarking({0, 1, 0}, {0, 2, 4});  // the last line: to its end
  Click(InMargin(0, 0), kShift);
  ExpectMarking({0, 1, 0}, {0, 0, 0});
  Click(InMargin(0, 2), kCtrl);
  ExpectMarking({0, 0, 0}, {0, 2, 4});
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Alles markieren"}));
}

TEST_F(MouseTest, CtrlClickIntoTextSelectsTheParagraph) {
  SetParagraphs({"eins zwei", "drei vier", "f\xfcnf"});
  Click(OnCell({0, 1, 6}), kCtrl);
  ExpectMarking({0, 1, 0}, {0, 2, 0});
}

TEST_F(MouseTest, ClickingAPictureMarksItAndItStaysMarkedWhenClickedAgain) {
  SetParagraphs({"ab cd"});
  BildRec pic;
  ASSERT_TRUE(newdib(pic, 8, 8, 24, nullptr, 0));
  doc().pictures.push_back(std::move(pic));
  CharRec cell = MeasuredCell(w(), ' ');
  cell.kind = kCharPicture;
  cell.setPictureIndex(static_cast<uint16_t>(doc().pictureCount() - 1));
  cell.width = 20;
  cell.height = 10;
  line(0, 0).chars.insert(2, cell);
  line(0, 0).dirty = 1;
  RefreshDirtyContent(w());

  const Point onPicture = OnCell({0, 0, 2}, true);
  Press(onPicture);
  EXPECT_TRUE(s.pictureClicked);
  EXPECT_FALSE(s.textDrag);
  ExpectMarking({0, 0, 2}, {0, 0, 3});
  Release(onPicture);
  // A second click on the marked picture starts a drag; released in place it keeps the marking.
  Press(onPicture);
  EXPECT_TRUE(s.textDrag);
  Release(onPicture);
  ExpectMarking({0, 0, 2}, {0, 0, 3});
}

// --- Dragging a marking out

TEST_F(MouseTest, DragSelectFollowsTheMouseOverLines) {
  SetParagraphs({"erste Zeile", "zweite Zeile", "dritte Zeile"});
  Press(OnCell({0, 0, 1}));
  EXPECT_TRUE(s.dragSelect);
  MouseResponse r = Move(OnCell({0, 2, 3}));
  EXPECT_EQ(r.pointer, PointerShape::IBeam);
  EXPECT_TRUE(r.repaint);
  ExpectMarking({0, 0, 1}, {0, 2, 3});
  Move(OnCell({0, 1, 4}, true));
  ExpectMarking({0, 0, 1}, {0, 1, 5});
  Release(OnCell({0, 1, 4}, true));
  EXPECT_FALSE(s.dragSelect);
  // Moving after the release changes nothing.
  Move(OnCell({0, 2, 3}));
  ExpectMarking({0, 0, 1}, {0, 1, 5});
}

TEST_F(MouseTest, DragSelectReachesTheNextPageButNotAnotherChain) {
  std::vector<std::string> paragraphs(70, "Ein Absatz mit etwas Text");
  SetParagraphs(paragraphs);
  const int32_t second = doc().fields[0].nextField;
  ASSERT_GE(second, 0) << "the text must fill more than one page";
  Press(OnCell({0, 0, 1}));
  Move(OnCell({second, 2, 3}));
  ExpectMarking({0, 0, 1}, {second, 2, 3});
  EXPECT_EQ(doc().currentPage, doc().fields[second].page);

  // The first page's header belongs to another chain: the Cursor stays.
  int32_t header = -1;
  for (int32_t f = 0; f < doc().fieldCount(); ++f)
    if (doc().fields[f].type == kFieldHeader && doc().fields[f].showOn != kShowNowhere) header = f;
  ASSERT_GE(header, 0);
  Layout();
  const auto place = CaretPlaceOf(w(), v, CursorPos{header, 0, 0});
  ASSERT_TRUE(place.has_value());
  Move(Point{place->x + 2, place->top + place->height / 2});
  ExpectMarking({0, 0, 1}, {second, 2, 3});
  Release(Point{place->x + 2, place->top + place->height / 2});
  ExpectValid();
}

// --- Double and triple click

TEST_F(MouseTest, DoubleClickSelectsTheWordAndATimelyThirdClickTheParagraph) {
  SetParagraphs({"Hallo sch\xf6ne Welt", "danach"});
  DoubleClick(OnCell({0, 0, 8}));
  ExpectMarking({0, 0, 6}, {0, 0, 13});  // "schoene " with its trailing space
  EXPECT_EQ(s.clickCounter, 2);
  clock = s.doubleClickTime + kTripleClickMs - 1 - 50;  // the press comes 499 ms after it
  Press(OnCell({0, 0, 8}));
  ExpectMarking({0, 0, 0}, {0, 1, 0});
  Release(OnCell({0, 0, 8}));
  EXPECT_EQ(s.clickCounter, 0);
}

TEST_F(MouseTest, AThirdClickAfterHalfASecondIsAPlainClick) {
  SetParagraphs({"Hallo sch\xf6ne Welt", "danach"});
  DoubleClick(OnCell({0, 0, 8}));
  clock = s.doubleClickTime + kTripleClickMs - 50;  // the press comes 500 ms after it
  Press(OnCell({0, 0, 2}));
  EXPECT_EQ(s.clickCounter, 0);
  // The click fell outside the word's marking: it places the Cursor.
  ExpectMarking({0, 0, 2}, {0, 0, 2});
}

TEST_F(MouseTest, ADoubleClickWithAMarkingDoesNothing) {
  SetParagraphs({"Hallo sch\xf6ne Welt"});
  Mark({0, 0, 0}, {0, 0, 3});
  MouseEvent e = Event(OnCell({0, 0, 8}), kNoModifier);
  const MouseResponse r = PaintBox1DblClick(w(), v, s, e);
  EXPECT_FALSE(r.repaint);
  EXPECT_EQ(s.clickCounter, 0);
  ExpectMarking({0, 0, 0}, {0, 0, 3});
}

// --- Text drag and drop

TEST_F(MouseTest, DroppingInsideTheMarkingOnlyPlacesTheCursor) {
  SetParagraphs({"eins zwei drei"});
  Mark({0, 0, 5}, {0, 0, 10});  // "zwei "
  Press(OnCell({0, 0, 6}));
  EXPECT_TRUE(s.textDrag);
  ExpectMarking({0, 0, 5}, {0, 0, 10});  // the press keeps the marking
  MouseResponse r = Move(OnCell({0, 0, 8}));
  EXPECT_EQ(r.pointer, PointerShape::Drag);
  ASSERT_TRUE(v.dropPoint.has_value());
  Release(OnCell({0, 0, 8}));
  EXPECT_FALSE(v.dropPoint.has_value());
  ExpectMarking({0, 0, 8}, {0, 0, 8});
  EXPECT_EQ(ChainText(), "eins zwei drei|");
  EXPECT_TRUE(UndoListEntries(w()).empty());
}

TEST_F(MouseTest, DroppingAtTheMarkingsEndIsAClickToo) {
  SetParagraphs({"eins zwei drei"});
  Mark({0, 0, 0}, {0, 0, 5});
  Press(OnCell({0, 0, 2}));
  Release(OnCell({0, 0, 5}));  // left half of the cell after the marking: its end
  ExpectMarking({0, 0, 5}, {0, 0, 5});
  EXPECT_EQ(ChainText(), "eins zwei drei|");
}

TEST_F(MouseTest, DroppingElsewhereMovesTheTextWithItsFormatInTwoUndoSteps) {
  SetParagraphs({"eins zwei drei", "vier"});
  Embolden(0, 0, 4);
  Mark({0, 0, 0}, {0, 0, 5});  // "eins "
  Press(OnCell({0, 0, 1}));
  Move(OnCell({0, 0, 13}, true));
  Release(OnCell({0, 0, 13}, true));  // after "drei"
  EXPECT_EQ(ChainText(), "zwei dreieins |vier|");
  EXPECT_TRUE(IsBold(0, 0, 9));
  EXPECT_TRUE(IsBold(0, 0, 12));
  EXPECT_FALSE(IsBold(0, 0, 0));
  ExpectMarking({0, 0, 14}, {0, 0, 14});
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Einfügen", "Ausschneiden"}));
  ExpectValid();

  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(ChainText(), "zwei drei|vier|");
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(ChainText(), "eins zwei drei|vier|");
  EXPECT_TRUE(IsBold(0, 0, 0));
  ExpectValid("after undo");
}

TEST_F(MouseTest, AParagraphMovesToTheStartOfALaterParagraph) {
  SetParagraphs({"eins", "zwei", "drei", "vier"});
  Mark({0, 0, 0}, {0, 1, 0});  // "eins" with its paragraph end
  Press(OnCell({0, 0, 1}));
  Release(OnCell({0, 3, 0}));  // before "vier"
  EXPECT_EQ(ChainText(), "zwei|drei|eins|vier|");
  ExpectMarking({0, 3, 0}, {0, 3, 0});
  ExpectValid();
}

TEST_F(MouseTest, TextMovesBackwardsToTheStartOfAWrappedLine) {
  // A paragraph long enough to wrap: a drop at the start of its second line lands where the
  // line breaker puts that place after the cut.
  std::string longText;
  for (int i = 0; i < 30; ++i) longText += "Wort" + std::to_string(i) + " ";
  SetParagraphs({longText, "Ende"});
  ASSERT_EQ(line(0, 0).endKind, kEndSoft) << "the paragraph must wrap";
  const int32_t firstLine = line(0, 0).charCount();
  const int32_t endLine = doc().fields[0].lineCount() - 1;
  Mark({0, endLine, 0}, {0, endLine, 4});  // "Ende"
  Press(OnCell({0, endLine, 1}));
  Release(OnCell({0, 1, 0}));
  std::string expected = longText.substr(0, firstLine) + "Ende" + longText.substr(firstLine) + "||";
  EXPECT_EQ(ChainText(), expected);
  ExpectValid();
}

TEST_F(MouseTest, CtrlDropCopiesAndLeavesTheOriginal) {
  SetParagraphs({"eins zwei", "drei"});
  Embolden(0, 5, 9);
  Mark({0, 0, 5}, {0, 0, 9});  // "zwei"
  Press(OnCell({0, 0, 6}));
  Release(OnCell({0, 1, 0}), kCtrl);
  EXPECT_EQ(ChainText(), "eins zwei|zweidrei|");
  EXPECT_TRUE(IsBold(0, 1, 0));
  EXPECT_TRUE(IsBold(0, 0, 5));
  ExpectMarking({0, 1, 4}, {0, 1, 4});
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Einfügen"}));
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(ChainText(), "eins zwei|drei|");
  ExpectValid();
}

TEST_F(MouseTest, ShiftPressInsideTheMarkingExtendsInsteadOfDragging) {
  SetParagraphs({"eins zwei drei"});
  Mark({0, 0, 0}, {0, 0, 10});
  Press(OnCell({0, 0, 3}), kShift);
  EXPECT_FALSE(s.textDrag);
  ExpectMarking({0, 0, 0}, {0, 0, 3});
}

// --- Right button and pointer

TEST_F(MouseTest, RightClickPlacesTheCursorAndAsksForTheMenu) {
  SetParagraphs({"eins zwei drei"});
  const Point p = OnCell({0, 0, 6});
  MouseResponse r = Press(p, kNoModifier, MouseButton::Right);
  ExpectMarking({0, 0, 6}, {0, 0, 6});
  EXPECT_TRUE(r.contextMenu);
  EXPECT_EQ(r.menuX, p.x);
  EXPECT_EQ(r.menuY, p.y);
  EXPECT_TRUE(r.repaint);
  EXPECT_FALSE(s.dragSelect);
  // Moving with the right button down marks nothing.
  Move(OnCell({0, 0, 12}));
  ExpectMarking({0, 0, 6}, {0, 0, 6});

  // On the marking the marking stays, and nothing needs repainting.
  Mark({0, 0, 0}, {0, 0, 9});
  r = Press(OnCell({0, 0, 3}), kNoModifier, MouseButton::Right);
  ExpectMarking({0, 0, 0}, {0, 0, 9});
  EXPECT_TRUE(r.contextMenu);
  EXPECT_FALSE(r.repaint);
}

TEST_F(MouseTest, RightClickOnATableBorderOpensNoMenu) {
  SetParagraphs({"eins"});
  Layout();
  AddMouseObj(v, kMouseTableBorder, IntRect{100, 100, 104, 140});
  MouseResponse r = Move(Point{102, 120});
  EXPECT_EQ(r.pointer, PointerShape::SizeHorizontal);
  EXPECT_TRUE(s.overTableBorder);
  r = Press(Point{102, 120}, kNoModifier, MouseButton::Right);
  EXPECT_FALSE(r.contextMenu);
}

TEST_F(MouseTest, ThePointerFollowsTheLastZoneUnderTheMouse) {
  SetParagraphs({"eins"});
  Layout();
  AddMouseObj(v, kMouseObjectFrame, IntRect{100, 100, 200, 200});
  AddMouseObj(v, kMouseHandleTopLeft, IntRect{96, 96, 103, 103});
  AddMouseObj(v, kMouseHandleBottomLeft, IntRect{96, 197, 103, 204});
  EXPECT_EQ(Move(Point{150, 150}).pointer, PointerShape::Move);
  EXPECT_EQ(Move(Point{100, 100}).pointer, PointerShape::SizeNwSe);
  EXPECT_EQ(Move(Point{100, 200}).pointer, PointerShape::SizeNeSw);
  EXPECT_EQ(Move(Point{500, 500}).pointer, PointerShape::IBeam);
  EXPECT_FALSE(s.overTableBorder);
  const std::pair<int32_t, PointerShape> expected[] = {
      {kMouseTableBorder, PointerShape::SizeHorizontal},
      {kMouseHandleTopRight, PointerShape::SizeNeSw},
      {kMouseHandleBottomRight, PointerShape::SizeNwSe},
      {kMouseHandleTopMiddle, PointerShape::SizeVertical},
      {kMouseHandleBottomMiddle, PointerShape::SizeVertical},
      {kMouseHandleLeftMiddle, PointerShape::SizeHorizontal},
      {kMouseHandleRightMiddle, PointerShape::SizeHorizontal}};
  for (const auto& [id, shape] : expected) EXPECT_EQ(PointerForZone(id), shape) << id;
}

}  // namespace
}  // namespace paginor::test
