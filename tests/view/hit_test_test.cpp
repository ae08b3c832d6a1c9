// The text hit test against what the paint draws: every cell's drawn left edge resolves to the
// position before it, its right part to the position after it, whatever the alignment, the
// columns, table cells or list indents; the margin, pictures, other pages and the drop caret.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/hit_test.h"
#include "view/window_test_support.h"

namespace paginor {
namespace {

using test::RecordCanvas;

class HitTest : public test::WindowFixture {
 protected:
  TextHit Hit(int32_t x, int64_t y) { return HitTestText(w(), v, x, y); }
  // The drawn cells of field 0's lines, line by line (page 0, no marks).
  std::vector<std::vector<RecordCanvas::Op>> DrawnLines() {
    const auto cells = CellTexts(Paint().at(0));
    std::vector<std::vector<RecordCanvas::Op>> out;
    size_t k = 0;
    for (int32_t i = 0; i < field(0).lineCount(); ++i) {
      std::vector<RecordCanvas::Op> line;
      for (int32_t c = 0; c < field(0).lines[i].charCount() && k < cells.size(); ++c)
        line.push_back(cells[k++]);
      out.push_back(line);
    }
    EXPECT_EQ(k, cells.size());
    return out;
  }
  // Checks both halves of every cell of line `i`, and both sides beyond the text.
  void CheckLine(int32_t i, const std::vector<RecordCanvas::Op>& cells, bool leftIsMargin) {
    ASSERT_GE(cells.size(), 2u);
    const int64_t y = cells[0].r.top + 2;
    for (size_t k = 0; k + 1 < cells.size(); ++k) {
      const int32_t left = cells[k].r.left, right = cells[k + 1].r.left;
      if (right - left < 3) continue;
      const TextHit before = Hit(left + 1, y);
      ASSERT_TRUE(before.found);
      EXPECT_EQ(before.pos, (CursorPos{0, i, static_cast<int32_t>(k)})) << "line " << i;
      const TextHit after = Hit(right - 1, y);
      EXPECT_EQ(after.pos, (CursorPos{0, i, static_cast<int32_t>(k + 1)})) << "line " << i;
      EXPECT_FALSE(before.marginClick);
    }
    const TextHit beyond = Hit(cells.back().r.left + 400, y);
    EXPECT_EQ(beyond.pos.chr, field(0).lines[i].charCount()) << "right of the last cell";
    const TextHit leftOf = Hit(cells[0].r.left - 4, y);
    EXPECT_EQ(leftOf.pos, (CursorPos{0, i, 0})) << "left of the first cell";
    EXPECT_EQ(leftOf.marginClick, leftIsMargin) << "line " << i;
  }
};

TEST_F(HitTest, PositionsFollowTheDrawnCellsOnAlignedLines) {
  std::string longText;
  for (int i = 0; i < 30; ++i) longText += "wort" + std::string(1, char('a' + i % 26)) + " ";
  ParagraphFormat p;
  for (uint8_t a : {0, 1, 2, 3}) {
    p.alignment = a;
    dw.Current(0).para = p;
    dw.Text(0, Body(), a == 3 ? longText : "ab cd ef");
    dw.End(0, kEndParagraph, p);
  }
  dw.Text(0, Body(), "z");
  Layout();
  ASSERT_GE(field(0).lineCount(), 5) << "the justified paragraph wraps";
  ASSERT_EQ(field(0).lines[3].endKind, kEndSoft);
  const auto lines = DrawnLines();
  CheckLine(0, lines[0], true);
  CheckLine(1, lines[1], false);
  CheckLine(2, lines[2], false);
  CheckLine(3, lines[3], true);
  EXPECT_GT(lines[1][0].r.left, lines[0][0].r.left + 100) << "centred";
  EXPECT_GT(lines[2][0].r.left, lines[1][0].r.left + 100) << "right-aligned";

  // Below the last line, still in the body: the last line.
  const auto& last = lines.back();
  ASSERT_FALSE(last.empty());
  const TextHit below = Hit(last[0].r.left + 1, last[0].r.top + 80);
  EXPECT_EQ(below.pos, (CursorPos{0, field(0).lineCount() - 1, 0}));
  EXPECT_EQ(below.page, 0);
}

TEST_F(HitTest, ListIndentAndLineBand) {
  ParagraphFormat p;
  p.listKind = kListBullets;
  p.listIndent = 10;
  dw.Current(0).para = p;
  dw.Text(0, Body(), "abc");
  dw.Current(0).endKind = kEndParagraph;
  Layout();
  auto texts = CellTexts(Paint().at(0));
  // The bullet is drawn first; the cells follow the indent.
  ASSERT_EQ(texts.size(), 4u);
  texts.erase(texts.begin());
  const std::vector<std::vector<RecordCanvas::Op>> lines = {texts};
  const TextHit hit = Hit(lines[0][1].r.left + 1, lines[0][1].r.top + 2);
  EXPECT_EQ(hit.pos, (CursorPos{0, 0, 1}));
  EXPECT_LE(hit.lineBand.top, lines[0][1].r.top);
  EXPECT_GT(hit.lineBand.bottom, lines[0][1].r.top);
  doc().Cursor = doc().Anchor = {0, 0, 0};
  Paint();
  EXPECT_EQ(v.caret.x, lines[0][0].r.left) << "the caret too stands after the indent";
}

TEST_F(HitTest, ColumnsAndTableCellsTakeTheLineUnderX) {
  // A row of two cells, then a two-column section.
  for (int c = 0; c < 2; ++c) {
    LineRec& l = dw.Current(0);
    l.inTable = l.rowStart = l.rowEnd = 1;
    l.rowCells = 2;
    l.cellColumn = c;
    dw.Text(0, Body(), c == 0 ? "links" : "rechts");
    dw.End(0, kEndParagraph);
  }
  LineRec& after = dw.Current(0);
  after.inTable = after.rowStart = after.rowEnd = 0;
  after.rowCells = 1;
  after.cellColumn = 0;
  std::string text;
  for (int i = 0; i < 60; ++i) text += "spalte ";
  for (int k = 0; k < 2; ++k) {
    LineRec& l = dw.Current(0);
    l.columns = 2;
    l.columnGap = 10;
    dw.Text(0, Body(), text);
    dw.End(0, kEndParagraph);
  }
  dw.Text(0, Body(), "ende");
  dw.Current(0).endKind = kEndParagraph;
  Layout();

  // The caret the paint places at a line's start is where a click resolves to that line.
  auto caretAt = [&](int32_t line) {
    doc().Cursor = doc().Anchor = {0, line, 0};
    Paint();
    EXPECT_TRUE(v.caret.placed) << line;
    return v.caret;
  };
  const CaretState cell2 = caretAt(1);
  const CaretState cell1 = caretAt(0);
  EXPECT_EQ(cell1.y, cell2.y) << "one visual row";
  EXPECT_EQ(Hit(cell2.x + 1, cell2.y + 2).pos, (CursorPos{0, 1, 0}));
  EXPECT_EQ(Hit(cell1.x + 1, cell1.y + 2).pos, (CursorPos{0, 0, 0}));

  int32_t second = -1;
  for (int32_t i = 0; i < field(0).lineCount(); ++i)
    if (field(0).lines[i].columns > 1 && field(0).lines[i].columnIndex == 1) {
      second = i;
      break;
    }
  ASSERT_GT(second, 2) << "the section was balanced into two columns";
  const CaretState right = caretAt(second);
  const CaretState left = caretAt(2);
  EXPECT_EQ(right.y, left.y) << "both columns start at the same height";
  EXPECT_GT(right.x, left.x + 200);
  EXPECT_EQ(Hit(right.x + 1, right.y + 2).pos, (CursorPos{0, second, 0}));
  EXPECT_EQ(Hit(left.x + 1, left.y + 2).pos, (CursorPos{0, 2, 0}));
}

TEST_F(HitTest, PicturesMarginsAndOtherPages) {
  const int32_t picture = dw.Picture(40, 20);
  dw.Text(0, Body(), "a");
  dw.PictureChar(0, Body(), picture, 20, 10);
  dw.Text(0, Body(), "b");
  dw.End(0, kEndPageBreak);
  dw.Text(0, Body(), "zwei");
  dw.Current(0).endKind = kEndParagraph;
  Layout();
  RecordCanvas& c = Paint().at(0);
  const auto rows = c.of(RecordCanvas::Kind::PixelRow);
  ASSERT_FALSE(rows.empty()) << "the picture is copied row by row";
  const IntRect first = rows.front().r;
  const TextHit onPicture = Hit(first.left + 3, first.top + 3);
  EXPECT_TRUE(onPicture.pictureHit);
  EXPECT_EQ(onPicture.pictureChr, 1);
  EXPECT_EQ(onPicture.pos, (CursorPos{0, 0, 1}));
  const TextHit onText = Hit(first.left - 2, first.top + 3);
  EXPECT_FALSE(onText.pictureHit);

  // In the page's left margin: a margin click on the line there.
  const TextHit margin = Hit(v.geometry.originX + 5, rows.back().r.top);
  EXPECT_TRUE(margin.marginClick);
  EXPECT_EQ(margin.pos, (CursorPos{0, 0, 0}));

  // On the second page: its body.
  const int64_t y = v.geometry.blockTop(1) + v.geometry.originY + 100;
  const TextHit next = Hit(v.geometry.originX + 200, y);
  ASSERT_TRUE(next.found);
  EXPECT_EQ(next.page, 1);
  EXPECT_EQ(field(next.pos.field).page, 1);
  EXPECT_EQ(field(next.pos.field).type, kFieldBody);
}

TEST_F(HitTest, DropCaretStandsWhereTheCaretWouldAndIsPainted) {
  dw.Text(0, Body(), "abcdef");
  dw.Current(0).endKind = kEndParagraph;
  Layout();
  const auto lines = DrawnLines();
  const int32_t x = lines[0][3].r.left + 1;
  const int64_t y = lines[0][3].r.top + 2;
  const DropCaret drop = ComputeDropCaret(w(), v, x, y);
  ASSERT_TRUE(drop.found);
  EXPECT_EQ(drop.pos, (CursorPos{0, 0, 3}));
  EXPECT_EQ(drop.bar.left, lines[0][3].r.left);
  EXPECT_EQ(drop.bar.right - drop.bar.left, 2);

  doc().Cursor = doc().Anchor = {0, 0, 3};
  Paint();
  EXPECT_EQ(drop.bar.left, v.caret.x);
  EXPECT_EQ(drop.bar.top, v.caret.y);
  EXPECT_EQ(drop.bar.bottom - drop.bar.top, v.caret.height);

  v.dropPoint = std::pair<int32_t, int64_t>{x, y};
  RecordCanvas& c = Paint().at(0);
  ASSERT_TRUE(v.dropCaret.has_value());
  EXPECT_EQ(*v.dropCaret, drop.bar);
  bool drawn = false;
  for (const auto& op : c.of(RecordCanvas::Kind::Fill))
    drawn |= op.r == drop.bar && op.colour == 0;  // block 0 starts at the area's top
  EXPECT_TRUE(drawn);
}

}  // namespace
}  // namespace paginor
