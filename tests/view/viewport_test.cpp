// The viewport: zoom fitting, the zoom box and dialog, scrolling the caret into view, the mouse
// wheel and the page view.
#include <gtest/gtest.h>

#include "editing/keys.h"
#include "view/window_test_support.h"

namespace paginor {
namespace {

class Viewport : public test::WindowFixture {
 protected:
  // A scroll box whose usable area is `width` x `height` pixels.
  void Usable(int32_t width, int32_t height) {
    v.box.width = width + 17 + 4;
    v.box.height = height + 17 + 4;
  }
  // Paragraphs "Zeile 1" to "Zeile <count>" in the body.
  void Lines(int count) {
    for (int i = 1; i <= count; ++i) {
      dw.Text(0, Body(), "Zeile " + std::to_string(i));
      if (i < count) dw.End(0, kEndParagraph);
    }
    dw.Current(0).endKind = kEndParagraph;
  }
  int32_t BodyOn(int32_t page) {
    for (int32_t i = 0; i < doc().fieldCount(); ++i)
      if (field(i).type == kFieldBody && field(i).page == page) return i;
    return -1;
  }
  // What the window does when its repaint timer fires: the view scrolls to the caret, then the
  // paint.
  void TimerFires() {
    UpdateWindowGeometry(w(), v);
    v.box.scrollY = ScrollCursorinView(w(), v);
    Paint();
  }
  // The painted caret and the band below it lie in the visible part of the page area.
  bool CaretInView() const {
    return v.caret.placed && v.caret.y >= v.box.scrollY &&
           v.caret.y + kCaretScrollBand <= v.box.scrollY + v.box.clientHeight;
  }
};

TEST_F(Viewport, FittingFollowsTheZoomMode) {
  Usable(700, 600);
  doc().zoomPercent = 100;
  doc().zoomMode = kZoomFixed;
  EXPECT_FALSE(FormResize(w(), v)) << "a fixed zoom is not fitted";
  EXPECT_EQ(doc().zoomPercent, 100);

  doc().zoomMode = kZoomPageWidth;
  EXPECT_TRUE(FormResize(w(), v));
  EXPECT_DOUBLE_EQ(doc().zoomPercent, 84.44);  // Round(700 x 10000 / 829) / 100
  EXPECT_EQ(host.timerRestarts, 1);
  EXPECT_FALSE(FormResize(w(), v)) << "unchanged size, unchanged zoom";
  EXPECT_EQ(host.timerRestarts, 1);
  EXPECT_EQ(ZoomBoxText(doc().zoomPercent), "84,44%");

  // The whole page: the smaller of the truncated width fit and the rounded height fit.
  doc().zoomMode = kZoomWholePage;
  EXPECT_TRUE(FormResize(w(), v));
  EXPECT_DOUBLE_EQ(doc().zoomPercent, 51.81);  // Round(600 x 10000 / 1158) / 100
  Usable(700, 6000);
  FormResize(w(), v);
  EXPECT_DOUBLE_EQ(doc().zoomPercent, 84.43) << "the width decides, truncated";

  // A window with no room keeps its zoom.
  Usable(-10, -10);
  EXPECT_FALSE(FormResize(w(), v));
  EXPECT_DOUBLE_EQ(doc().zoomPercent, 84.43);
}

TEST_F(Viewport, ZoomBoxTakesModesAndPercentagesFromTenToTwoHundredFifty) {
  Usable(700, 600);
  doc().zoomPercent = 100;
  EXPECT_EQ(ApplyZoomText(w(), v, "300 %"), ZoomTextResult::Ignored);
  EXPECT_EQ(doc().zoomPercent, 100);
  EXPECT_EQ(host.timerRestarts, 0);
  EXPECT_EQ(ApplyZoomText(w(), v, "25"), ZoomTextResult::Fixed);
  EXPECT_EQ(doc().zoomPercent, 25);
  EXPECT_EQ(host.timerRestarts, 1);
  struct Case {
    const char* text;
    ZoomTextResult result;
    double zoom;
  };
  const Case cases[] = {
      {"10", ZoomTextResult::Fixed, 10},           {"250%", ZoomTextResult::Fixed, 250},
      {" 62,5 % ", ZoomTextResult::Fixed, 62.5},   {"84.44%", ZoomTextResult::Fixed, 84.44},
      {"9,99", ZoomTextResult::Ignored, 84.44},    {"250,01", ZoomTextResult::Ignored, 84.44},
      {"hundert", ZoomTextResult::Ignored, 84.44}, {"12x", ZoomTextResult::Ignored, 84.44},
      {"%", ZoomTextResult::Ignored, 84.44},       {"", ZoomTextResult::Ignored, 84.44}};
  for (const Case& c : cases) {
    EXPECT_EQ(ApplyZoomText(w(), v, c.text), c.result) << c.text;
    EXPECT_DOUBLE_EQ(doc().zoomPercent, c.zoom) << c.text;
    EXPECT_EQ(doc().zoomMode, kZoomFixed) << c.text;
  }
  EXPECT_EQ(ApplyZoomText(w(), v, "Seitenbreite"), ZoomTextResult::PageWidth);
  EXPECT_EQ(doc().zoomMode, kZoomPageWidth);
  EXPECT_DOUBLE_EQ(doc().zoomPercent, 84.44) << "fitted at once";
  EXPECT_EQ(ApplyZoomText(w(), v, "Ganze Seite"), ZoomTextResult::WholePage);
  EXPECT_DOUBLE_EQ(doc().zoomPercent, 51.81);
  // A typed number leaves the fitted mode.
  ApplyZoomText(w(), v, "100");
  EXPECT_EQ(doc().zoomMode, kZoomFixed);
}

TEST_F(Viewport, ZoomDialogIsPresetAndItsAnswerGoesThroughTheZoomBox) {
  Usable(700, 600);
  doc().zoomPercent = 120;
  ZoomDialog d = ZoomDialogFor(w());
  EXPECT_EQ(d.choice, ZoomDialog::Choice::Percent);
  EXPECT_EQ(d.percent, 120);
  d.percent = 33.333;
  EXPECT_EQ(ApplyZoomDialog(w(), v, d), ZoomTextResult::Fixed);
  EXPECT_DOUBLE_EQ(doc().zoomPercent, 33.33) << "two decimals";
  d.percent = 400;
  EXPECT_EQ(ApplyZoomDialog(w(), v, d), ZoomTextResult::Ignored);
  d.choice = ZoomDialog::Choice::PageWidth;
  EXPECT_EQ(ApplyZoomDialog(w(), v, d), ZoomTextResult::PageWidth);
  EXPECT_EQ(ZoomDialogFor(w()).choice, ZoomDialog::Choice::PageWidth);
  d.choice = ZoomDialog::Choice::WholePage;
  ApplyZoomDialog(w(), v, d);
  EXPECT_EQ(doc().zoomMode, kZoomWholePage);
}

TEST_F(Viewport, CaretIsKeptInViewWithTheBandBelowIt) {
  ScrollBoxState box;
  box.clientHeight = 283;
  box.scrollY = 1000;
  // On the last visible line with 10 pixels below its top: scrolled by the missing 12.
  EXPECT_EQ(ScrollToShowCaret(box, 1000 + 283 - 10), 1000 + 12);
  EXPECT_EQ(ScrollToShowCaret(box, 1000 + 283 - 22), 1000) << "exactly fits";
  EXPECT_EQ(ScrollToShowCaret(box, 950), 950) << "above: its top becomes the view's top";
  EXPECT_EQ(ScrollToShowCaret(box, 5000), 5000 + 22 - 283);
}

TEST_F(Viewport, ObjectsOtherThanTextBoxesAndASelectedTextBoxKeepTheView) {
  Pages(3);
  const int32_t rect = dw.Object(kFieldRectangle, 0, 10, 10, 20, 20);
  const int32_t box = dw.Object(kFieldTextBox, 0, 30, 30, 60, 60);
  Layout();
  UpdateWindowGeometry(w(), v);
  v.box.scrollY = 1000;  // the first page's text box lies above the view
  doc().Cursor = doc().Anchor = {rect, 0, 0};
  EXPECT_EQ(ScrollCursorinView(w(), v), 1000);
  // The box's caret where the paint draws it.
  doc().Cursor = doc().Anchor = {box, 0, 0};
  Paint();
  ASSERT_TRUE(v.caret.placed);
  EXPECT_LT(v.caret.y, 1000);
  EXPECT_EQ(ScrollCursorinView(w(), v), v.caret.y);
  field(box).selected = 1;
  EXPECT_EQ(ScrollCursorinView(w(), v), 1000);
}

TEST_F(Viewport, PaintedCaretOnAFarPageScrollsToIt) {
  Pages(3);
  Layout();
  int32_t third = -1;
  for (int32_t i = 0; i < doc().fieldCount(); ++i)
    if (field(i).type == kFieldBody && field(i).page == 2) third = i;
  ASSERT_GE(third, 0);
  doc().Cursor = doc().Anchor = {third, 0, 1};
  Paint();
  ASSERT_TRUE(v.caret.placed);
  EXPECT_GT(v.caret.y, v.geometry.blockTop(2));
  const int64_t y = ScrollCursorinView(w(), v);
  EXPECT_EQ(y, v.caret.y + 22 - v.box.clientHeight);
  v.box.scrollY = y;
  Paint();
  EXPECT_EQ(ScrollCursorinView(w(), v), y) << "in view now";
}

TEST_F(Viewport, AKeyThatTakesTheCursorOntoAnotherPageIsShownThereByTheNextPaint) {
  Lines(120);
  Layout();
  const int32_t first = BodyOn(0);
  ASSERT_GE(first, 0);
  ASSERT_GE(BodyOn(1), 0);
  const int32_t bottom = field(first).lineCount() - 1;  // the first page's last line
  const CursorPos pageEnd{first, bottom, field(first).lines[bottom].charCount()};
  struct Case {
    const char* name;
    int key;
    Modifiers modifiers;
    CursorPos from;
  };
  const Case cases[] = {
      {"Page Down", vk::kNext, kNoModifier, {first, bottom - 5, 0}},
      {"Ctrl+End", vk::kEnd, kCtrl, {first, bottom, 0}},
      {"Enter at the page's end", vk::kReturn, kNoModifier, pageEnd},
  };
  for (const Case& c : cases) {
    // The view shows the caret on the first page, where a paint put it.
    doc().Cursor = doc().Anchor = c.from;
    v.box.scrollY = 0;
    Paint();
    v.box.scrollY = ScrollToShowCaret(v.box, v.caret.y);
    Paint();
    ASSERT_TRUE(CaretInView()) << c.name;
    const int64_t before = v.box.scrollY;
    getkeysKeyDown(w(), c.key, c.modifiers);
    const int32_t page = field(doc().Cursor.field).page;
    ASSERT_GT(page, 0) << c.name;
    TimerFires();
    EXPECT_GT(v.box.scrollY, before) << c.name;
    EXPECT_TRUE(CaretInView()) << c.name << ": the first paint after the key shows the caret";
    EXPECT_EQ(v.geometry.pageAt(v.caret.y), page) << c.name;
  }
}

TEST_F(Viewport, WheelMovesFiftyPixelsWithinTheArea) {
  Pages(2);
  Layout();
  UpdateWindowGeometry(w(), v);
  v.box.scrollY = 0;
  EXPECT_EQ(MouseWheelScroll(v, WheelTurn::Up), 0);
  EXPECT_EQ(MouseWheelScroll(v, WheelTurn::Down), 50);
  v.box.scrollY = 120;
  EXPECT_EQ(MouseWheelScroll(v, WheelTurn::Up), 70);
  const int64_t end = v.geometry.areaHeight - v.box.clientHeight;
  v.box.scrollY = end - 20;
  EXPECT_EQ(MouseWheelScroll(v, WheelTurn::Down), end);
}

TEST_F(Viewport, PageViewRestoresTheZoomAndModeItFound) {
  Usable(700, 600);
  doc().zoomPercent = 75;
  doc().zoomMode = kZoomFixed;
  EXPECT_EQ(Seitenansicht(w(), v, true), "51,81%");
  EXPECT_TRUE(v.pageView);
  EXPECT_EQ(doc().zoomMode, kZoomWholePage);
  EXPECT_EQ(Seitenansicht(w(), v, true), "51,81%") << "switching on twice saves nothing new";
  EXPECT_EQ(Seitenansicht(w(), v, false), "75,00%");
  EXPECT_FALSE(v.pageView);
  EXPECT_EQ(doc().zoomPercent, 75);
  EXPECT_EQ(doc().zoomMode, kZoomFixed);

  // From "Seitenbreite": the mode comes back and fits the window as it is now.
  ApplyZoomText(w(), v, "Seitenbreite");
  Seitenansicht(w(), v, true);
  Usable(400, 600);
  Seitenansicht(w(), v, false);
  EXPECT_EQ(doc().zoomMode, kZoomPageWidth);
  EXPECT_DOUBLE_EQ(doc().zoomPercent, 48.25);  // Round(400 x 10000 / 829) / 100
}

}  // namespace
}  // namespace paginor
