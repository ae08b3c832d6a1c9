// Cursor movement: soft line breaks, keeping the character index, word steps, the page keys,
// table cells, and the line-end affinity.

#include "editing/editor_fixture.h"
#include "editing/movement.h"
#include "editing/undo.h"
#include "model/position.h"

namespace paginor::test {
namespace {

using Movement = EditorTest;

TEST_F(Movement, RightOverASoftBreakLandsAfterTheNextLinesFirstCharacter) {
  SetParagraphs({std::string(60, 'a') + " " + std::string(60, 'b') + " " + std::string(40, 'c')});
  ASSERT_GE(doc().fields[0].lineCount(), 2);
  ASSERT_EQ(line(0, 0).endKind, kEndSoft);
  const int32_t n = line(0, 0).charCount();
  Place(0, 0, n);
  EXPECT_TRUE(GoCharRight(w()));
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 1}));

  // Left from the start of the lower line stops before the upper line's last character: the
  // upper line's end is shown as the lower line's start.
  Place(0, 1, 0);
  EXPECT_TRUE(GoCharLeft(w()));
  EXPECT_EQ(cursor(), (CursorPos{0, 0, n - 1}));

  // Over a paragraph end the step lands at the line's start and end.
  SetParagraphs({"eins", "zwei"});
  Place(0, 0, 4);
  EXPECT_TRUE(GoCharRight(w()));
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 0}));
  EXPECT_TRUE(GoCharLeft(w()));
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 4}));
}

TEST_F(Movement, AtTheChainsEndsTheStepsStopAndSaySo) {
  SetParagraphs({"eins", "zwei"});
  Place(0, 0, 0);
  EXPECT_FALSE(GoCharLeft(w()));
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 0}));
  EXPECT_FALSE(GoLineUp(w()));
  Place(0, 1, 4);
  EXPECT_FALSE(GoCharRight(w()));
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 4}));
  EXPECT_FALSE(GoLineDown(w()));
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 4}));
}

TEST_F(Movement, UpAndDownKeepTheCharacterIndexNotThePosition) {
  SetParagraphs({std::string(30, 'x'), "abcde", std::string(30, 'y'), "ab"});
  Place(0, 0, 20);
  Keys("{Down}");
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 5}));
  Keys("{Down}");
  EXPECT_EQ(cursor(), (CursorPos{0, 2, 5})) << "the index went down to 5 and stays there";
  Keys("{Down}");
  EXPECT_EQ(cursor(), (CursorPos{0, 3, 2}));
  Keys("{Up}{Up}");
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 2}));
}

TEST_F(Movement, UpAndDownMoveBetweenTheVisualRowsOfATableColumn) {
  SetParagraphs({"davor", "danach"});
  InsertTable(0, 1, 2, {"a1", "b1|b2", "c1"});
  // Each row has two visual rows (column 1 holds two paragraphs): row 0 is lines 1..3 and
  // 4..6, row 1 lines 7..9 and 10..12; "danach" is line 13.
  Place(0, 2, 1);
  Keys("{Down}");
  EXPECT_EQ(cursor(), (CursorPos{0, 5, 1})) << "the next visual line of the same cell";
  Keys("{Down}");
  EXPECT_EQ(cursor(), (CursorPos{0, 8, 1})) << "the same column of the next row";
  Keys("{Down}{Down}");
  EXPECT_EQ(cursor(), (CursorPos{0, 13, 1})) << "the text after the table";
  Keys("{Up}");
  EXPECT_EQ(cursor(), (CursorPos{0, 7, 1}))
      << "column 0 of the last visual row is a filler: on to the cell's text above it";

  // Down from column 0 of the first visual row passes the empty filler line of column 0 in the
  // second visual row: column 0's text ended in the first.
  Place(0, 1, 0);
  Keys("{Down}");
  EXPECT_EQ(cursor(), (CursorPos{0, 7, 0}));
  Keys("{Up}");
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 0}));
}

TEST_F(Movement, LeftAndRightCrossTableCellsInReadingOrder) {
  SetParagraphs({"davor", "danach"});
  InsertTable(0, 1, 1, {"aa", "bb", "cc"});
  Place(0, 1, 2);
  EXPECT_FALSE(GoCharRight(w())) << "crossing into the next cell reports false";
  EXPECT_EQ(cursor(), (CursorPos{0, 2, 0}));
  EXPECT_FALSE(GoCharLeft(w()));
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 2}));
  Place(0, 0, 5);
  EXPECT_FALSE(GoCharRight(w())) << "into the table";
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 0}));
  Place(0, 4, 0);
  EXPECT_FALSE(GoCharLeft(w())) << "back into the last cell";
  EXPECT_EQ(cursor(), (CursorPos{0, 3, 2}));
}

TEST_F(Movement, WordStepsStopAtWordStartsAndPunctuation) {
  SetParagraphs({"foo, bar baz"});
  Place(0, 0, 0);
  std::vector<int32_t> right;
  for (int i = 0; i < 4; ++i) {
    Keys("{Ctrl+Right}");
    right.push_back(cursor().chr);
  }
  EXPECT_EQ(right, (std::vector<int32_t>{3, 5, 9, 12}));
  std::vector<int32_t> left;
  for (int i = 0; i < 4; ++i) {
    Keys("{Ctrl+Left}");
    left.push_back(cursor().chr);
  }
  EXPECT_EQ(left, (std::vector<int32_t>{9, 5, 3, 0}));

  // Letters with accents are word characters of the code page.
  SetParagraphs(
      {"\xfc"
       "ber \xc4rger"});
  Place(0, 0, 0);
  Keys("{Ctrl+Right}");
  EXPECT_EQ(cursor().chr, 5);

  // With a marking and no Shift the step starts from the marking's end.
  SetParagraphs({"eins zwei drei"});
  doc().Anchor = CursorPos{0, 0, 0};
  doc().Cursor = CursorPos{0, 0, 6};
  Keys("{Ctrl+Left}");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 0}));
  EXPECT_EQ(doc().Anchor, cursor());
  // With Shift it extends the marking.
  Keys("{Ctrl+Shift+Right}{Ctrl+Shift+Right}");
  EXPECT_EQ(doc().Anchor, (CursorPos{0, 0, 0}));
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 10}));
}

TEST_F(Movement, ArrowsCollapseAMarkingToItsEnds) {
  SetParagraphs({"eins zwei", "drei vier", "fuenf"});
  doc().Anchor = CursorPos{0, 1, 3};
  doc().Cursor = CursorPos{0, 0, 2};
  Keys("{Right}");
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 3}));
  EXPECT_EQ(doc().Anchor, cursor());
  doc().Anchor = CursorPos{0, 1, 3};
  doc().Cursor = CursorPos{0, 0, 2};
  Keys("{Left}");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 2}));
  // Down from a marking that ends at a line start goes from the line above.
  doc().Anchor = CursorPos{0, 0, 2};
  doc().Cursor = CursorPos{0, 1, 0};
  Keys("{Down}");
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 9}));
  // Shift with an arrow stretches the marking from the unchanged Anchor.
  Keys("{Shift+Up}{Shift+Left}");
  EXPECT_EQ(doc().Anchor, (CursorPos{0, 1, 9}));
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 8}));
}

TEST_F(Movement, HomeAndEndSetTheLineEndAffinityAndShiftEndTakesInTheLineEnd) {
  SetParagraphs({"eins zwei", "drei"});
  Place(0, 0, 3);
  Keys("{End}");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 9}));
  EXPECT_EQ(doc().lineEndAffinity, 1);
  Keys("{Home}");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 0}));
  EXPECT_EQ(doc().lineEndAffinity, 0);
  Keys("{Shift+End}");
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 0}));
  EXPECT_EQ(doc().Anchor, (CursorPos{0, 0, 0}));
  EXPECT_EQ(doc().lineEndAffinity, 1);
}

TEST_F(Movement, CtrlHomeAndCtrlEndGoToTheEndsOfTheChainOverAllPages) {
  BuildMixedDocument(w());
  const int32_t last = ChainLastField(doc(), 0);
  ASSERT_NE(last, 0) << "the document has several pages";
  Place(0, 5, 3);
  Keys("{Ctrl+End}");
  const int32_t lastLine = doc().fields[last].lineCount() - 1;
  EXPECT_EQ(cursor(), (CursorPos{last, lastLine, line(last, lastLine).charCount()}));
  Keys("{Ctrl+Home}");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 0}));
}

TEST_F(Movement, PageKeysMoveTwentyLinesAndScrollWhenTheyCannotMove) {
  std::vector<std::string> paragraphs;
  for (int i = 0; i < 30; ++i) paragraphs.push_back("Zeile " + std::to_string(i));
  SetParagraphs(paragraphs);
  Place(0, 2, 3);
  EXPECT_EQ(Down(vk::kNext).scrollBy, 0);
  EXPECT_EQ(cursor(), (CursorPos{0, 22, 3}));
  EXPECT_EQ(Down(vk::kNext).scrollBy, 12 * 8) << "the steps left after the last line's end";
  EXPECT_EQ(cursor(), (CursorPos{0, 29, 8})) << "the last line, then its end";
  Place(0, 5, 4);
  EXPECT_EQ(Down(vk::kPrior).scrollBy, -14 * 8);
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 0}));
}

TEST_F(Movement, WhileTheRulerIsDraggedOrAnObjectIsInsertedKeysDoAlmostNothing) {
  SetParagraphs({"eins"});
  Place(0, 0, 2);
  edit().rulerDragging = true;
  EXPECT_TRUE(Down(vk::kLeft).forRuler);
  Type("x");
  EXPECT_TRUE(edit().rulerDragging);
  EXPECT_TRUE(Down(vk::kEscape).forRuler);
  EXPECT_FALSE(edit().rulerDragging) << "Esc finished the drag";
  EXPECT_EQ(Text(0, 0), "eins");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 2}));

  edit().InsertObjectMode = true;
  Keys("{Left}{Delete}");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 2}));
  EXPECT_EQ(Text(0, 0), "eins");
  Keys("{Esc}{Left}");
  EXPECT_FALSE(edit().InsertObjectMode);
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 1}));
}

}  // namespace
}  // namespace paginor::test
