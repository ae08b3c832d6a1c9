// The window paint: page stacking and centring, which pages are drawn, the page background, the
// editing aids (and where they are never drawn), selection, caret and status texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "editing/marking.h"
#include "model/dump_json.h"
#include "storage/new_document.h"
#include "view/draw_pages.h"
#include "view/example_document.h"
#include "view/hit_test.h"
#include "view/window_test_support.h"

namespace paginor {
namespace {

using test::RecordCanvas;
using Kind = RecordCanvas::Kind;

class WindowPaint : public test::WindowFixture {};

TEST_F(WindowPaint, PagesStackAtTheirFiguresAndNarrowAreasAreCentred) {
  Pages(3);
  Layout();
  ASSERT_TRUE(UpdateWindowGeometry(w(), v));
  const WindowGeometry& g = v.geometry;
  // A4 at 100 % on 96 pixels per inch, measured at 600: 793 x 1122.
  EXPECT_EQ(g.pageWidth, 793);
  EXPECT_EQ(g.pageHeight, 1122);
  EXPECT_EQ(g.pages, 3);
  EXPECT_EQ(g.areaWidth, 829);
  EXPECT_EQ(g.areaHeight, (1122 + 21) * 2 + 1122 + 36);
  EXPECT_EQ(g.blockTop(2), 2286);
  EXPECT_EQ(g.pageAt(2285), 1);
  EXPECT_EQ(g.pageAt(2286), 2);
  EXPECT_EQ(g.pageAt(999999), 2);
  EXPECT_EQ(g.originX, 16);
  EXPECT_FALSE(UpdateWindowGeometry(w(), v)) << "nothing changed";

  // A wide and tall scroll box: the area grows to the usable size + 1, the page is centred.
  v.box.width = 1200;
  v.box.height = 4000;
  EXPECT_TRUE(UpdateWindowGeometry(w(), v));
  const int32_t usableWidth = 1200 - 17 - 4, usableHeight = 4000 - 17 - 4;
  EXPECT_EQ(v.geometry.areaWidth, usableWidth + 1);
  EXPECT_EQ(v.geometry.originX, 16 + (usableWidth + 1 - 829) / 2);
  EXPECT_EQ(v.geometry.areaHeight, usableHeight + 1);
  // The stack of pages is centred: the first page stands half the height left over lower.
  EXPECT_EQ(v.geometry.blockTop(0) + v.geometry.originY, 16 + (usableHeight + 1 - 3444) / 2);
  EXPECT_EQ(v.geometry.blockTop(1) - v.geometry.blockTop(0), 1122 + 21);

  // At 50 % the page halves (truncated).
  doc().zoomPercent = 50;
  v.box.width = v.box.height = 0;
  UpdateWindowGeometry(w(), v);
  EXPECT_EQ(v.geometry.pageWidth, 396);
  EXPECT_EQ(v.geometry.pageHeight, 561);
}

TEST_F(WindowPaint, OnlyVisibleBlocksAndTheCursorPageAreDrawn) {
  Pages(5);
  Layout();
  doc().Cursor = {0, 0, 0};
  Paint();
  EXPECT_EQ(v.pagesDrawn, (std::vector<int32_t>{0}));

  // Scrolled into page 2's block: page 2 and the Cursor's page 0.
  v.box.scrollY = v.geometry.blockTop(2) + 100;
  test::RecordSink& s = Paint();
  EXPECT_EQ(v.pagesDrawn, (std::vector<int32_t>{0, 2}));
  EXPECT_EQ(s.ended, v.pagesDrawn) << "every block handed out is finished";
  EXPECT_EQ(s.rects.at(2).top, 2286);
  EXPECT_EQ(s.rects.at(2).bottom - s.rects.at(2).top, 16 + 1122 + 20);
  EXPECT_EQ(s.rects.at(2).right, 16 + 793 + 20);

  // A visible range spanning a page gap draws both neighbours.
  v.box.scrollY = v.geometry.blockTop(3) - 10;
  Paint();
  EXPECT_EQ(v.pagesDrawn, (std::vector<int32_t>{0, 2, 3}));

  // A request to draw everything is served once.
  v.drawAllRequest = true;
  Paint();
  EXPECT_EQ(v.pagesDrawn.size(), 5u);
  EXPECT_FALSE(v.drawAllRequest);
  Paint();
  EXPECT_EQ(v.pagesDrawn.size(), 3u);
}

TEST_F(WindowPaint, PageBackgroundOutlineAndShadow) {
  Pages(1);
  Layout();
  RecordCanvas& c = Paint().at(0);
  ASSERT_GE(c.ops.size(), 4u);
  EXPECT_EQ(c.ops[0].kind, Kind::Fill);
  EXPECT_EQ(c.ops[0].colour, 0x808080);
  EXPECT_EQ(c.ops[0].r, (IntRect{0, 0, 16 + 793 + 20, 16 + 1122 + 20}));
  EXPECT_EQ(c.ops[1].kind, Kind::Rectangle);
  EXPECT_EQ(c.ops[1].colour, 0xFFFFFF);
  EXPECT_EQ(c.ops[1].r, (IntRect{16, 16, 16 + 793 + 2, 16 + 1122 + 2}));
  const int32_t right = 16 + 793, bottom = 16 + 1122;
  EXPECT_EQ(c.ops[2].r, (IntRect{right + 2, 18, right + 4, bottom + 4}));
  EXPECT_EQ(c.ops[3].r, (IntRect{18, bottom + 2, right + 4, bottom + 4}));
  EXPECT_EQ(c.ops[2].colour, 0);
  EXPECT_EQ(c.ops[3].colour, 0);
}

TEST_F(WindowPaint, MarksFollowTheirSwitchesAndNeverLeaveTheWindow) {
  dw.Text(0, Body(), "a b");
  dw.Tab(0, Body());
  dw.Text(0, Body(), "c");
  dw.End(0, kEndLineBreak);
  dw.Text(0, Body(), "d");
  dw.Current(0).endKind = kEndParagraph;
  Layout();

  RecordCanvas* c = &Paint().at(0);
  EXPECT_TRUE(c->texts("\xB7").empty()) << "marks are off by default";
  EXPECT_TRUE(c->texts("\xB6").empty());

  v.options.markSpaces = true;
  c = &Paint().at(0);
  const auto cells = CellTexts(*c);
  ASSERT_EQ(cells.size(), 5u);  // a, space, b, c, d: the tab draws no text
  const auto dots = c->texts("\xB7");
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(dots[0].r.left, cells[1].r.left) << "at the space's left";
  EXPECT_TRUE(c->texts("\xAE").empty()) << "tabs have their own switch";

  v.options.markSpaces = false;
  v.options.markTabs = true;
  c = &Paint().at(0);
  EXPECT_TRUE(c->texts("\xB7").empty());
  ASSERT_EQ(c->texts("\xAE").size(), 1u);

  v.options.markTabs = false;
  v.options.markParagraphs = true;
  c = &Paint().at(0);
  EXPECT_EQ(c->texts("\xBF").size(), 1u) << "line break: the return arrow";
  ASSERT_EQ(c->texts("\xB6").size(), 1u) << "paragraph end";
  const auto d = CellTexts(*c).back();
  EXPECT_GT(c->texts("\xB6")[0].r.left, d.r.left) << "after the line's text";

  v.options = {};
  v.options.markAll = true;
  c = &Paint().at(0);
  EXPECT_EQ(c->texts("\xB7").size(), 1u);
  EXPECT_EQ(c->texts("\xAE").size(), 1u);
  EXPECT_EQ(c->texts("\xB6").size(), 1u);

  // Not in the page view, and never onto another canvas.
  Seitenansicht(w(), v, true);
  c = &Paint().at(0);
  EXPECT_TRUE(c->texts("\xB7").empty());
  EXPECT_TRUE(c->texts("\xB6").empty());
  EXPECT_FALSE(CellTexts(*c).empty()) << "the text itself is drawn";
  Seitenansicht(w(), v, false);
  RecordCanvas printer(*fx.host.fonts, 96);
  DrawPages(w(), printer, SheetPage{});
  EXPECT_TRUE(printer.texts("\xB7").empty());
  EXPECT_TRUE(printer.of(Kind::Invert).empty());
}

// The paragraph mark is as tall as the text before it at every zoom, also on a line that holds
// a tall picture.
TEST_F(WindowPaint, LineEndMarksGrowWithTheZoomOnceAndFollowTheText) {
  dw.Text(0, Body(), "Text");
  dw.End(0, kEndParagraph);
  dw.Text(0, Body(), "Bild ");
  dw.PictureChar(0, Body(), dw.Picture(40, 40), 30, 30);
  dw.Text(0, Body(), " x");
  dw.Current(0).endKind = kEndParagraph;
  Layout();
  v.options.markParagraphs = true;
  v.box.width = v.box.clientWidth = 3000;
  v.box.height = v.box.clientHeight = 4000;
  for (const double zoom : {100.0, 250.0}) {
    doc().zoomPercent = zoom;
    RecordCanvas& c = Paint().at(0);
    const auto marks = c.texts("\xB6");
    ASSERT_EQ(marks.size(), 2u) << zoom;
    const auto cells = CellTexts(c);
    // The text's top and the mark's top, both standing on the line's bottom.
    const auto& text = cells[3];  // the "t" ending the first line
    const auto& x = cells.back();  // the "x" after the picture
    EXPECT_NEAR(marks[0].r.top, text.r.top, zoom / 100 * 3) << "zoom " << zoom;
    EXPECT_NEAR(marks[1].r.top, x.r.top, zoom / 100 * 3) << "zoom " << zoom << ", picture line";
  }
}

TEST_F(WindowPaint, MisspeltCellsGetARedZigZagAlongTheLineBottom) {
  dw.Text(0, Body(), "ok fehlr");
  dw.Current(0).endKind = kEndParagraph;
  for (int32_t i = 3; i < 8; ++i) field(0).lines[0].chars.mut(i).charFlags |= 1 << kFlagMisspelt;
  Layout();
  RecordCanvas& c = Paint().at(0);
  const auto cells = CellTexts(c);
  ASSERT_EQ(cells.size(), 8u);
  const auto red = c.lines(0x0000FF);
  ASSERT_FALSE(red.empty());
  // Segments 3 pixels wide, alternately falling and rising, starting at each marked cell.
  EXPECT_EQ(red[0].r.left, cells[3].r.left);
  const int32_t bottom = red[0].r.top + 2;
  EXPECT_EQ(red[0].r, (IntRect{cells[3].r.left, bottom - 2, cells[3].r.left + 3, bottom + 1}));
  EXPECT_EQ(red[1].r, (IntRect{cells[3].r.left + 3, bottom, cells[3].r.left + 6, bottom - 1}));
  for (const auto& seg : red) {
    EXPECT_GE(seg.r.left, cells[3].r.left) << "nothing under the correct word";
    EXPECT_EQ(seg.r.right - seg.r.left, 3);
  }
  v.options.spellingMarks = false;
  EXPECT_TRUE(Paint().at(0).lines(0x0000FF).empty());
}

TEST_F(WindowPaint, MarkedCellsAndMarkedLineEndsAreInverted) {
  dw.Text(0, Body(), "abcd");
  dw.End(0, kEndParagraph);
  dw.Text(0, Body(), "ef");
  dw.Current(0).endKind = kEndParagraph;
  Layout();
  doc().Anchor = {0, 0, 1};
  doc().Cursor = {0, 0, 3};
  RecordCanvas* c = &Paint().at(0);
  auto cells = CellTexts(*c);
  auto inverts = c->of(Kind::Invert);
  ASSERT_EQ(inverts.size(), 2u) << "b and c";
  EXPECT_EQ(inverts[0].r.left, cells[1].r.left);
  EXPECT_EQ(inverts[0].r.right, cells[2].r.left) << "up to the next cell";
  EXPECT_EQ(inverts[1].r.right, cells[3].r.left);
  EXPECT_FALSE(v.caret.visible) << "no caret while something is marked";

  // Over the paragraph end: the rest of the line, its end and the next line's first cell.
  doc().Cursor = {0, 1, 1};
  c = &Paint().at(0);
  cells = CellTexts(*c);
  inverts = c->of(Kind::Invert);
  ASSERT_EQ(inverts.size(), 5u);
  EXPECT_EQ(inverts[3].r.left, inverts[2].r.right) << "the line end follows the text";
  EXPECT_EQ(inverts[4].r.left, cells[4].r.left);
}

TEST_F(WindowPaint, CaretStandsAtLineStartAfterItsCellOrOnAnEmptyLine) {
  dw.Text(0, Body(), "abc");
  dw.End(0, kEndParagraph);
  dw.End(0, kEndParagraph);  // an empty line
  dw.Text(0, Body(), "x");
  dw.Current(0).endKind = kEndParagraph;
  Layout();

  doc().Cursor = doc().Anchor = {0, 0, 0};
  RecordCanvas& c0 = Paint().at(0);
  const auto cells = CellTexts(c0);
  ASSERT_TRUE(v.caret.placed);
  EXPECT_TRUE(v.caret.visible);
  EXPECT_EQ(v.caret.x, cells[0].r.left);
  const int32_t height = v.caret.height;
  EXPECT_GT(height, 10);

  doc().Cursor = doc().Anchor = {0, 0, 2};
  Paint();
  EXPECT_EQ(v.caret.x, cells[2].r.left) << "after b = before c";
  EXPECT_EQ(v.caret.height, height);
  const int64_t lineBottom = v.caret.y + v.caret.height;

  // On the empty line the caret has the line's height and stands below the first line.
  doc().Cursor = doc().Anchor = {0, 1, 0};
  Paint();
  ASSERT_TRUE(v.caret.placed);
  EXPECT_EQ(v.caret.height, static_cast<int32_t>(field(0).lines[1].lineHeight / (kMmPerInch / 96)));
  EXPECT_NEAR(v.caret.y, lineBottom, 1) << "the empty line begins where the first ends";

  v.hasFocus = false;
  Paint();
  EXPECT_TRUE(v.caret.placed);
  EXPECT_FALSE(v.caret.visible) << "without the focus";
}

TEST_F(WindowPaint, StatusTextsNameThePageLineAndColumn) {
  Pages(3);
  Layout();
  doc().Cursor = doc().Anchor = {0, 2, 1};
  Paint();
  const auto& ui = fx.host.ui;
  const std::string page =
      "S " + std::to_string(field(0).page + 1) + "     " + std::to_string(field(0).page + 1) + "/3";
  EXPECT_EQ(ui.status[0], page);
  EXPECT_EQ(ui.status[1], "Ze 3     Sp 2");
  // A header shown on every page reports the current page.
  int32_t header = -1;
  for (int32_t i = 0; i < doc().fieldCount(); ++i)
    if (field(i).type == kFieldHeader && field(i).showOn != 0) header = i;
  ASSERT_GE(header, 0);
  doc().Cursor = doc().Anchor = {header, 0, 0};
  doc().currentPage = 1;
  Paint();
  EXPECT_EQ(ui.status[0], "S 2     2/3");
  EXPECT_EQ(ui.status[1], "Ze 1     Sp 1");
}

TEST_F(WindowPaint, HelpLinesGridLinesAndObjectHandles) {
  const int32_t box = dw.Object(kFieldTextBox, 0, 50, 100, 80, 120);
  field(box).lineWidth = 0;
  field(box).marginLeft = field(box).marginTop = 2;
  field(box).marginRight = field(box).marginBottom = 2;
  field(box).wrapText = 0;
  dw.Text(0, Body(), "a");
  LineRec& l = dw.Current(0);
  l.inTable = l.rowStart = l.rowEnd = 1;
  l.cellDesign.borderLeft = 0;
  dw.Current(0).endKind = kEndParagraph;
  Layout();
  RecordCanvas* c = &Paint().at(0);
  const auto grey = c->lines(0xC0C0C0);
  // The text box's four margin lines, the body's four, and the table cell's missing left border.
  ASSERT_GE(grey.size(), 9u);
  const double mpp = kMmPerInch / 96;
  const int32_t x1 = 16 + 1 + static_cast<int32_t>(50 / mpp);
  const int32_t inner = x1 + static_cast<int32_t>(std::lround(2 / mpp));
  EXPECT_TRUE(std::any_of(grey.begin(), grey.end(), [&](const auto& op) {
    return op.r.left == inner && op.r.right == inner;
  })) << "the left inner margin";
  EXPECT_EQ(v.mouseObjs.size(), 3u) << "the box's frame and the cell's two borders";
  EXPECT_TRUE(c->of(Kind::ClipRing).empty()) << "no ring while not selected or edited";

  v.options.helpLines = v.options.gridLines = false;
  EXPECT_TRUE(Paint().at(0).lines(0xC0C0C0).empty());

  // A selected rectangle: eight 7 x 7 handles; the text box with the Cursor: the hatched ring.
  const int32_t rect = dw.Object(kFieldRectangle, 0, 100, 150, 140, 170);
  field(rect).selected = 1;
  doc().Cursor = doc().Anchor = {box, 0, 0};
  c = &Paint().at(0);
  int32_t handles = 0;
  for (const auto& op : c->of(Kind::Rectangle))
    if (op.r.right - op.r.left == 7 && op.r.bottom - op.r.top == 7) ++handles;
  EXPECT_EQ(handles, 16) << "eight for each";
  ASSERT_EQ(c->of(Kind::ClipRing).size(), 1u);
  bool hatched = false;
  for (const auto& op : c->of(Kind::Fill)) hatched |= op.brush == BrushStyle::DiagonalCross;
  EXPECT_TRUE(hatched);
  // Zones: frame then handles 3..10 per object; the handle wins over the frame.
  const int32_t rx = 16 + 1 + static_cast<int32_t>(100 / mpp) - 6;
  const int32_t ry = 16 + 2 + static_cast<int32_t>(150 / mpp) - 6;
  const MouseObj* corner = MouseObjAt(v, rx + 1, ry + 1);
  ASSERT_NE(corner, nullptr);
  EXPECT_EQ(corner->id, kMouseHandleTopLeft);
  EXPECT_EQ(corner->field, rect);
  const MouseObj* inside = MouseObjAt(v, rx + 30, ry + 3);
  ASSERT_NE(inside, nullptr);
  EXPECT_EQ(inside->id, kMouseObjectFrame);
  EXPECT_EQ(MouseObjAt(v, 5, 5), nullptr);
}

TEST_F(WindowPaint, ExampleDocumentSettlesAndEveryLineStartHitsBack) {
  test::BuildExampleDocument(w());
  v.drawAllRequest = true;
  Paint();
  EXPECT_TRUE(last.draw.relaidOut) << "the first paint breaks the text around the text box";
  EXPECT_EQ(v.pagesDrawn.size(), static_cast<size_t>(v.geometry.pages));
  EXPECT_GE(v.geometry.pages, 2);
  Paint();
  EXPECT_FALSE(last.draw.relaidOut) << "text flow and anchors settled within one paint";

  // Wherever the paint puts the caret at a line's start, a click there resolves to that line:
  // justified text, a table, two columns, a picture, text flowing around a text box.
  const double mpp = kMmPerInch / 96;
  int checked = 0;
  for (int32_t f = 0; f < doc().fieldCount(); ++f) {
    if (field(f).type != kFieldBody) continue;
    for (int32_t i = 0; i < field(f).lineCount(); ++i) {
      const LineRec& l = field(f).lines[i];
      if (l.charCount() > 0 && l.chars[0].width / mpp < 4) continue;
      doc().Cursor = doc().Anchor = {f, i, 0};
      Paint();
      ASSERT_TRUE(v.caret.placed) << f << "/" << i;
      const TextHit hit = HitTestText(w(), v, v.caret.x + 1, v.caret.y + v.caret.height / 2);
      EXPECT_EQ(hit.pos, (CursorPos{f, i, 0})) << "field " << f << " line " << i;
      ++checked;
    }
  }
  EXPECT_GT(checked, 30);
}

// A header shown on every page flows around a text box shown on only one of them: each page
// wants other gaps in the same header lines, so the layout never agrees with every page. A
// paint settles what it draws within a bounded number of passes and never asks for another
// paint; the same document always ends with the same layout.
TEST_F(WindowPaint, AHeaderAroundAnObjectOnOnePageNeedsABoundedNumberOfPaints) {
  auto build = [&](TMDIChild& win) {
    test::DocWriter writer(win);
    for (int p = 0; p < 3; ++p) {
      writer.Text(0, writer.Font({}), "Seite");
      writer.End(0, p < 2 ? kEndPageBreak : kEndParagraph);
    }
    // Field 5 is the header shown on every page.
    std::string header;
    for (int i = 0; i < 40; ++i) header += "Kopf" + std::to_string(i) + " ";
    writer.Text(5, writer.Font({}), header);
    writer.Current(5).endKind = kEndParagraph;
    writer.Object(kFieldTextBox, 1, 40, 8, 70, 30);
    SetAllDirtyFlags(win.doc);
    MakeSoftEnters(win);
  };
  build(w());
  doc().zoomPercent = 25;
  v.box.width = v.box.clientWidth = 1200;
  v.box.height = v.box.clientHeight = 1600;
  Paint();
  int paints = 1;
  while (host.repaintPending && paints < 50) {
    host.fireRepaintTimer();
    Paint();
    ++paints;
  }
  EXPECT_LE(paints, 2) << "the window keeps painting";
  EXPECT_EQ(v.pagesDrawn.size(), 3u);
  // Painting again without a change (a scroll, the caret) keeps the layout as it stands: a
  // layout that swings between two states must not flicker.
  std::vector<std::string> before;
  for (const LineRec& l : field(5).lines) before.push_back(LineTextUtf8(l));
  for (int i = 0; i < 3; ++i) {
    Paint();
    EXPECT_FALSE(last.draw.relaidOut);
  }
  std::vector<std::string> after;
  for (const LineRec& l : field(5).lines) after.push_back(LineTextUtf8(l));
  EXPECT_EQ(after, before);

  const SettleResult again = SettlePages(w());
  EXPECT_FALSE(again.converged) << "the document is one that never settles";
  EXPECT_EQ(again.passes, kMaxSettlePasses);

  // Deterministic: another window with the same document settles on the same layout.
  auto other = std::make_unique<TMDIChild>(fx.app);
  (void)FormCreate(*other);
  other->doc.autoHyphenation = 0;
  build(*other);
  other->doc.zoomPercent = 25;
  WindowView ov;
  ov.box = v.box;
  test::RecordSink otherSink(*fx.host.fonts, 96);
  if (PaintBox1Paint(*other, ov, otherSink).sizeChanged) PaintBox1Paint(*other, ov, otherSink);
  for (int32_t f = 0; f < doc().fieldCount(); ++f) {
    ASSERT_EQ(field(f).lineCount(), other->doc.fields[f].lineCount()) << "field " << f;
    for (int32_t l = 0; l < field(f).lineCount(); ++l)
      EXPECT_EQ(LineTextUtf8(field(f).lines[l]), LineTextUtf8(other->doc.fields[f].lines[l]));
  }
}

}  // namespace
}  // namespace paginor
