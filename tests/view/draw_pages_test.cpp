// The page drawing on a Canvas: which fields show on which pages, where a field lands in
// pixels, page numbers, tables turned into millimetres, text flowing around an object, and
// objects moving with their paragraph.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "layout/layout.h"
#include "layout/measure.h"
#include "model/primitives.h"
#include "model/queries.h"
#include "output/settle.h"
#include "support/test_support.h"
#include "view/doc_writer.h"
#include "view/draw_pages.h"

namespace paginor {
namespace {

// A canvas that records what is drawn on it and measures text like the others.
class RecordingCanvas : public Canvas {
 public:
  struct Text {
    int32_t x, y;
    std::string text;
  };
  RecordingCanvas(FontEngine& fonts, int32_t resolution) : fonts_(fonts), res_(resolution) {}
  int32_t resolution() const override { return res_; }
  void setPen(const CanvasPen&) override {}
  void setBrush(const CanvasBrush& b) override { brush_ = b; }
  void moveTo(int32_t, int32_t) override {}
  void lineTo(int32_t, int32_t) override {}
  void fillRect(const IntRect& r) override {
    if (brush_.style != BrushStyle::Clear) fills.push_back({r, brush_.colour});
  }
  void rectangle(const IntRect& r) override { fillRect(r); }
  void ellipse(const IntRect&) override {}
  void invertRect(const IntRect&) override {}
  void setClip(const IntRect*) override {}
  void setClipRing(const IntRect&, const IntRect&) override {}
  void selectFont(FontHandle font, Colour) override { font_ = font; }
  void textOut(int32_t x, int32_t y, std::string_view text) override {
    texts.push_back({x, y, std::string(text)});
  }
  TextExtent textExtent(std::string_view text) override { return fonts_.textExtent(font_, text); }
  void drawPicture(const IntRect&, const BildRec&) override {}

  struct Fill {
    IntRect r;
    Colour colour;
  };
  std::vector<Fill> fills;
  std::vector<Text> texts;

 private:
  FontEngine& fonts_;
  int32_t res_;
  FontHandle font_ = 0;
  CanvasBrush brush_;
};

class DrawPagesTest : public ::testing::Test {
 protected:
  DrawPagesTest() : dw(fx.w()) { doc().autoHyphenation = 0; }
  TMDIChild& w() { return fx.w(); }
  Document& doc() { return fx.doc(); }
  FieldRec& field(int32_t i) { return doc().fields[i]; }
  RecordingCanvas Draw(int32_t page, int32_t dpi = 96, int32_t x0 = 0, int32_t y0 = 0) {
    RecordingCanvas c(*fx.host.fonts, dpi);
    DrawPages(w(), c, SheetPage{page, x0, y0});
    return c;
  }
  int32_t Body() { return dw.Font({}); }
  // A long left-aligned paragraph in the page body.
  void Paragraph(int words) {
    std::string text;
    for (int i = 0; i < words; ++i)
      text += (i ? " " : "") + std::string("wort") + char('a' + i % 26);
    dw.Text(0, Body(), text);
    dw.Current(0).endKind = kEndParagraph;
  }
  // `pages` pages of body text "x", separated by page breaks.
  void Pages(int pages) {
    for (int p = 0; p < pages; ++p) {
      dw.Text(0, Body(), "x");
      if (p < pages - 1) dw.End(0, kEndPageBreak);
    }
    dw.Current(0).endKind = kEndParagraph;
  }
  void Layout() {
    SetAllDirtyFlags(doc());
    MakeSoftEnters(w());
  }
  DrawResult WindowPass() {
    NullCanvas c(*fx.host.fonts, 96);
    return DrawPages(w(), c);
  }

  test::Fixture fx;
  test::DocWriter dw;
};

TEST(PageVisibility, ShowOnPicksThePages) {
  // Rows: showOn 0..6 and 99; columns: pages 0..5; the field's own page is 2.
  const char* expected[] = {"001000", "111111", "011111", "010101",
                            "101010", "010101", "001010", "000000"};
  const int32_t values[] = {0, 1, 2, 3, 4, 5, 6, 99};
  for (int k = 0; k < 8; ++k) {
    std::string got;
    for (int32_t p = 0; p < 6; ++p) got += istOnAllPagesGedeckt(values[k], 2, p) ? '1' : '0';
    EXPECT_EQ(got, expected[k]) << "showOn " << values[k];
  }
}

TEST(FlowAround, ObjectsPushCellsPastTheirRightEdge) {
  std::vector<FlowObstacle> objects = {{50, 100, 80, 120, 3, 2, 0}};
  // A cell overlapping the object (with its distance) moves to its right edge plus distance.
  double x = 45;
  EXPECT_TRUE(CollideWithObstacles(objects, x, 3, 110, 5));
  EXPECT_DOUBLE_EQ(x, 83);
  // Left of the distance, above it, below it: untouched.
  for (auto [cx, cy] : {std::pair{40.0, 110.0}, {60.0, 90.0}, {60.0, 122.5}}) {
    double moved = cx;
    EXPECT_FALSE(CollideWithObstacles(objects, moved, 3, cy, 5)) << cx << " " << cy;
    EXPECT_EQ(moved, cx);
  }
  // Mode 2 (text left only) takes every cell of the band left of the right edge, mode 3 (text
  // right only) never moves a cell that is already behind the object.
  objects[0].flowMode = 2;
  x = 10;
  EXPECT_TRUE(CollideWithObstacles(objects, x, 3, 110, 5));
  EXPECT_DOUBLE_EQ(x, 83);
  objects[0].flowMode = 3;
  x = 100;
  EXPECT_TRUE(CollideWithObstacles(objects, x, 3, 110, 5));
  EXPECT_DOUBLE_EQ(x, 100);
  // Objects are tested in order with the moved x: two touching objects are both passed.
  objects = {{50, 100, 80, 120, 3, 2, 0}, {82, 100, 90, 120, 1, 2, 0}};
  x = 60;
  EXPECT_TRUE(CollideWithObstacles(objects, x, 3, 110, 5));
  EXPECT_DOUBLE_EQ(x, 91);
}

TEST_F(DrawPagesTest, OnlyWrappingObjectsOfThePageAreObstacles) {
  const int32_t a = dw.Object(kFieldTextBox, 0, 50, 100, 80, 120);
  const int32_t b = dw.Object(kFieldRectangle, 0, 50, 150, 80, 170);  // does not wrap
  const int32_t c = dw.Object(kFieldTextBox, 1, 50, 200, 80, 220);    // another page
  field(c).showOn = 0;
  (void)b;
  double x = 60;
  EXPECT_TRUE(iscolladingwithfield(doc(), 0, x, 2, 105, 5));
  EXPECT_DOUBLE_EQ(x, 80 + field(a).distanceX);
  x = 60;
  EXPECT_FALSE(iscolladingwithfield(doc(), 0, x, 2, 155, 5));
  EXPECT_FALSE(iscolladingwithfield(doc(), 0, x, 2, 205, 5));
  EXPECT_TRUE(iscolladingwithfield(doc(), 1, x, 2, 205, 5));
}

TEST_F(DrawPagesTest, FieldsLandOnWholePixelsFromTheOrigin) {
  const int32_t r = dw.Object(kFieldRectangle, 0, 10, 20, 60, 40);
  field(r).lineWidth = 0;
  field(r).backColour = 0x0000FF;
  const int32_t full = dw.Object(kFieldRectangle, 0, 0, 0, 0, 0);
  field(full).rightFromRight = field(full).bottomFromBottom = 1;
  field(full).lineWidth = 0;
  field(full).backColour = 0x00FF00;
  Layout();
  RecordingCanvas c = Draw(0, 96, 5, 7);
  ASSERT_EQ(c.fills.size(), 2u);
  const double mpp = kMmPerInch / 96;
  EXPECT_EQ(c.fills[0].r,
            (IntRect{5 + int(10 / mpp), 7 + int(20 / mpp), 5 + int(60 / mpp), 7 + int(40 / mpp)}));
  EXPECT_EQ(c.fills[0].colour, 0x0000FF);
  // A4 at 96 pixels per inch with a 600 dpi measuring resolution: 793 x 1122 pixels.
  EXPECT_EQ(c.fills[1].r, (IntRect{5, 7, 5 + 793 - 1, 7 + 1122 - 1}));

  // The window stacks its pages: the third page's block starts at 2 x (1122 + 21).
  field(r).page = 2;
  field(r).moveWithText = 0;
  Pages(3);
  Layout();
  RecordingCanvas window(*fx.host.fonts, 96);
  DrawPages(w(), window);
  bool found = false;
  for (const auto& f : window.fills)
    if (f.colour == 0x0000FF) {
      EXPECT_EQ(f.r.top, 2286 + 16 + 2 + int(20 / mpp));
      EXPECT_EQ(f.r.left, 16 + 1 + int(10 / mpp));
      found = true;
    }
  EXPECT_TRUE(found);
}

TEST_F(DrawPagesTest, PageNumbersAreMeasuredForEachPage) {
  Pages(3);
  dw.Text(6, Body(), "S");
  dw.FieldChar(6, Body(), "page", "88");
  Layout();
  for (int32_t p = 0; p < 3; ++p) {
    RecordingCanvas c = Draw(p, 600);
    const std::string number = std::to_string(p + 1);
    int shown = 0;
    for (const auto& t : c.texts) shown += t.text == number;
    EXPECT_EQ(shown, 1) << "page " << p + 1;
    const CharRec& cell = field(6).lines[0].chars[1];
    EXPECT_EQ(cell.text(), number);
    CharRec measured = cell;
    RenderChar(w(), measured, false, "88");
    EXPECT_LT(cell.width, measured.width) << "measured for its own number";
  }
}

TEST_F(DrawPagesTest, TableWidthsBecomeMillimetresOnce) {
  const double weights[] = {1, 1, 2};
  for (int c = 0; c < 3; ++c) {
    LineRec& l = dw.Current(0);
    l.inTable = l.rowStart = l.rowEnd = 1;
    l.rowCells = 3;
    l.cellColumn = c;
    l.cellWidth = weights[c];
    l.rowInsetLeft = 5;
    // Above 99999: the row is 100 mm wide from its left edge.
    l.rowInsetRight = 99999 + 100;
    dw.Text(0, Body(), std::string(1, static_cast<char>('a' + c)));
    dw.End(0, kEndParagraph);
  }
  Layout();
  const DrawResult first = WindowPass();
  EXPECT_TRUE(first.tablesChanged);
  EXPECT_TRUE(first.relaidOut);
  const double expected[] = {25, 25, 50};
  for (int c = 0; c < 3; ++c) {
    const LineRec& l = field(0).lines[c];
    EXPECT_DOUBLE_EQ(l.cellWidth, expected[c]);
    EXPECT_DOUBLE_EQ(l.rowInsetLeft, 5);
    EXPECT_DOUBLE_EQ(l.rowInsetRight, 160 - 5 - 100) << "the page's exact text width less both";
  }
  // Drawn again, by the window or for print, nothing changes any more.
  EXPECT_FALSE(WindowPass().changed());
  Draw(0);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(field(0).lines[c].cellWidth, expected[c]);

  // The cells' backgrounds and borders stand where the widths say: the third cell's right
  // border ends at the row's right edge, 5 + 100 mm from the text area's left edge.
  field(0).lines[2].cellDesign.cellTransparent = 0;
  field(0).lines[2].cellDesign.cellBackColour = 0x00FF00;
  RecordingCanvas c = Draw(0, 600);
  const double mpp = kMmPerInch / 600;
  bool found = false;
  for (const auto& f : c.fills)
    if (f.colour == 0x00FF00) {
      EXPECT_EQ(f.r.left, int((25 + 5 + 50) / mpp));
      EXPECT_EQ(f.r.right, int((25 + 5 + 100) / mpp) + 1);
      found = true;
    }
  EXPECT_TRUE(found);
}

TEST_F(DrawPagesTest, TextFlowsAroundATextBoxAndSettles) {
  Paragraph(160);
  const int32_t box = dw.Object(kFieldTextBox, 0, 25, 40, 75, 62);
  const FieldRec& b = field(box);
  Layout();
  const SettleResult settled = SettleLayout(w());
  EXPECT_TRUE(settled.converged);
  EXPECT_GE(settled.passes, 2) << "the first pass finds the gaps";
  EXPECT_FALSE(WindowPass().changed()) << "the next pass finds the same gaps";

  // Walk the body's lines as the drawing does (left-aligned, no indents).
  const FieldRec& body = field(0);
  double y = body.marginTop;
  int besideBox = 0, skipped = 0;
  for (const LineRec& l : body.lines) {
    double x = body.marginLeft;
    bool inBand = false;
    for (const CharRec& c : l.chars) {
      x += c.skipBefore;
      if (c.skipBefore != 0) ++skipped;
      const double top = y + l.lineHeight - c.height;
      if (top + c.height >= b.top - b.distanceY && top <= b.bottom + b.distanceY) {
        inBand = true;
        EXPECT_TRUE(x >= b.right + b.distanceX - 1e-4 || x + c.width < b.left - b.distanceX)
            << "a cell at " << x << " mm overlaps the box";
      } else {
        EXPECT_EQ(c.skipBefore, 0);
      }
      x += c.width;
    }
    besideBox += inBand;
    y += l.lineHeight;
  }
  EXPECT_GE(besideBox, 4) << "text runs on beside the box";
  EXPECT_EQ(skipped, besideBox) << "one gap in each line beside the box";

  // A text box's own text never flows.
  for (const LineRec& l : b.lines)
    for (const CharRec& c : l.chars) EXPECT_EQ(c.skipBefore, 0);
}

TEST_F(DrawPagesTest, AnObjectMovesWithItsParagraph) {
  for (int i = 0; i < 5; ++i) {
    Paragraph(20);
    dw.End(0, kEndParagraph);
  }
  Layout();
  // Beside the third paragraph's first line.
  double y = field(0).marginTop;
  int32_t third = 0;
  for (int paragraphs = 0; paragraphs < 2; ++third) {
    y += field(0).lines[third].lineHeight;
    if (field(0).lines[third].endKind == kEndParagraph) ++paragraphs;
  }
  const int32_t o = dw.Object(kFieldRectangle, 0, 120, y + 1, 160, y + 20);
  SettleLayout(w());
  const int32_t id = field(o).anchorId;
  EXPECT_GE(id, 100);
  EXPECT_EQ(field(0).lines[third].lineAnchorId, id) << "anchored to the nearest paragraph start";
  const double top = field(o).top;
  const double left = field(o).left;

  // Two new paragraphs at the start push the text, and the object, down.
  for (int k = 0; k < 2; ++k) {
    LineRec& l = InsertNewLine(doc(), 0, 0);
    l.chars = field(0).lines[1].chars;
    l.endKind = kEndParagraph;
    l.dirty = 1;
  }
  MakeSoftEnters(w());
  const double added = field(0).lines[0].lineHeight + field(0).lines[1].lineHeight;
  const SettleResult settled = SettleLayout(w());
  EXPECT_TRUE(settled.converged);
  EXPECT_NEAR(field(o).top, top + added, 1e-9);
  EXPECT_NEAR(field(o).bottom - field(o).top, 19, 1e-9);
  EXPECT_DOUBLE_EQ(field(o).left, left);
  EXPECT_EQ(field(o).page, 0);
  EXPECT_GE(field(o).anchorId, 100) << "anchored again";
}

}  // namespace
}  // namespace paginor
