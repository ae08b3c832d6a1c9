// Backspace and Delete with their joins, the table rules, bullets, and Enter in and out of
// tables.

#include "editing/editor_fixture.h"
#include "editing/list_format.h"
#include "editing/undo.h"

namespace paginor::test {
namespace {

using Deletion = EditorTest;

TEST_F(Deletion, BackspaceAndDeleteJoinParagraphs) {
  SetParagraphs({"eins", "zwei", "drei"});
  Place(0, 1, 0);
  Keys("{Backspace}");
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"einszwei", "drei"}));
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 4})) << "the layout carried the Cursor up";
  Keys("{End}{Delete}");
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"einszweidrei"}));
  EXPECT_EQ(line(0, 0).endKind, kEndParagraph) << "the joined paragraph keeps the last end";
  Keys("{Backspace}{Home}{Delete}");
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"inszwedrei"}));
  ExpectValid();
}

TEST_F(Deletion, BackspaceAtASoftBreakDeletesTheUpperLinesLastCharacter) {
  SetParagraphs({std::string(70, 'a') + " " + std::string(70, 'b')});
  ASSERT_EQ(line(0, 0).endKind, kEndSoft);
  const std::string upper = Text(0, 0);
  Place(0, 1, 0);
  Keys("{Backspace}");
  EXPECT_EQ(ChainText(), upper.substr(0, upper.size() - 1) + std::string(70, 'b') + "|");
  EXPECT_EQ(doc().lineEndAffinity, 1);
  ExpectValid();
}

TEST_F(Deletion, DeleteAtASoftLineEndDeletesTheNextLinesFirstCharacter) {
  SetParagraphs({std::string(70, 'a') + " " + std::string(70, 'b')});
  const int32_t n = line(0, 0).charCount();
  Place(0, 0, n);
  Keys("{Delete}");
  EXPECT_EQ(ChainText(), std::string(70, 'a') + " " + std::string(69, 'b') + "|");
}

TEST_F(Deletion, LineAndPageBreaksAreJoinedLikeParagraphEnds) {
  SetParagraphs({"eins", "zwei", "drei"});
  Place(0, 0, 4);
  Keys("{Shift+Enter}");
  EXPECT_EQ(ChainText(), "eins/|zwei|drei|");
  Keys("{Backspace}");
  EXPECT_EQ(ChainText(), "eins|zwei|drei|");
  Place(0, 1, 2);
  Keys("{Ctrl+Enter}");
  EXPECT_EQ(ChainText(), "eins|zw^ei|drei|");
  Keys("{Backspace}");
  EXPECT_EQ(ChainText(), "eins|zwei|drei|");
}

TEST_F(Deletion, ShiftEndThenDeleteTakesTheRestOfTheLineWithItsEnd) {
  SetParagraphs({"erste Zeile", "zweite"});
  Place(0, 0, 5);
  Keys("{Shift+End}{Delete}");
  EXPECT_EQ(ChainText(), "erstezweite|");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 5}));
  EXPECT_EQ(doc().Anchor, cursor());
}

TEST_F(Deletion, DeletingAMarkingOverParagraphsLeavesOneParagraphWithTheSecondsEnd) {
  SetParagraphs({"Anfang Mitte", "Ende hier", "Rest"});
  line(0, 1).endKind = kEndLineBreak;
  doc().Cursor = CursorPos{0, 0, 7};
  doc().Anchor = CursorPos{0, 1, 5};
  Keys("{Delete}");
  EXPECT_EQ(ChainText(), "Anfang hier/Rest|");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 7}));
}

TEST_F(Deletion, BackspaceAtTheStartOfATableRowDeletesNothing) {
  SetParagraphs({"davor", "danach"});
  InsertTable(0, 1, 2, {"aa", "bb", "cc"});
  const std::string before = ChainText();
  for (const CursorPos p : {CursorPos{0, 1, 0}, CursorPos{0, 2, 0}, CursorPos{0, 4, 0}}) {
    Place(p.field, p.line, p.chr);
    Keys("{Backspace}");
    EXPECT_EQ(ChainText(), before) << "at line " << p.line;
  }
  // Nor does Delete at the end of a row's last line.
  Place(0, 3, 2);
  Keys("{Delete}");
  EXPECT_EQ(ChainText(), before);
  // After the table the line above is the last cell's line, which ends soft as table cells
  // do: Backspace takes its last character as at any soft break, and joins nothing.
  Place(0, 7, 0);
  Keys("{Backspace}");
  EXPECT_EQ(ChainText(), "davor|aabbccaabbcdanach|");
  EXPECT_TRUE(line(0, 6).inTable);
  ExpectValid();
}

TEST_F(Deletion, DeleteAtTheEndOfAnEmptyParagraphAboveATableRemovesThatLine) {
  SetParagraphs({"Text", "", "danach"});
  InsertTable(0, 2, 1, {"aa", "bb"});
  const int32_t lines = doc().fields[0].lineCount();
  Place(0, 1, 0);
  Keys("{Delete}");
  EXPECT_EQ(doc().fields[0].lineCount(), lines - 1);
  EXPECT_EQ(Text(0, 0), "Text");
  EXPECT_TRUE(line(0, 1).inTable && line(0, 1).rowStart) << "the table moved up";
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 0}));
  // A line with text above a table stays.
  Place(0, 0, 4);
  Keys("{Delete}");
  EXPECT_EQ(Text(0, 0), "Text");
  EXPECT_TRUE(line(0, 1).inTable);
  ExpectValid();
}

TEST_F(Deletion, EnterInATableCellAddsAVisualLineToEveryCellOfTheRow) {
  SetParagraphs({"davor", "danach"});
  InsertTable(0, 1, 1, {"aa", "bxb", "cc"});
  Place(0, 2, 1);
  Keys("{Enter}");
  ASSERT_EQ(doc().fields[0].lineCount(), 8);
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"davor", "aa", "b", "cc", "", "xb", "", "danach"}));
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(line(0, 1 + i).rowStart, 1);
    EXPECT_EQ(line(0, 1 + i).rowEnd, 0);
    EXPECT_EQ(line(0, 4 + i).rowStart, 0);
    EXPECT_EQ(line(0, 4 + i).rowEnd, 1);
    EXPECT_EQ(line(0, 4 + i).cellColumn, i);
    EXPECT_EQ(line(0, 4 + i).rowCells, 3);
  }
  EXPECT_EQ(line(0, 2).endKind, kEndParagraph);
  EXPECT_EQ(cursor(), (CursorPos{0, 5, 0}));
  EXPECT_EQ(UndoListEntries(w()).front(), "Eingabe Enter");
  ExpectValid();

  // Backspace joins the cell's two paragraphs again; the empty lines of the other cells go.
  Keys("{Backspace}");
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"davor", "aa", "bxb", "cc", "danach"}));
  ExpectValid();
}

TEST_F(Deletion, EnterSplitsALineAndTheNewLineTakesTheFormat) {
  SetParagraphs({"Hallo Welt"});
  line(0, 0).para.indentLeft = 7;
  Place(0, 0, 5);
  Keys("{Enter}");
  EXPECT_EQ(ChainText(), "Hallo| Welt|");
  EXPECT_DOUBLE_EQ(line(0, 1).para.indentLeft, 7);
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 0}));
  Keys("{Enter}{Enter}");
  EXPECT_EQ(ChainText(), "Hallo||| Welt|");
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Eingabe Enter"}));
}

TEST_F(Deletion, BackspaceAtAParagraphStartRemovesItsBulletFirst) {
  SetParagraphs({"eins", "zwei"});
  Place(0, 1, 0);
  aufzaehlung(w(), kListBullets);
  EXPECT_EQ(line(0, 1).para.listKind, kListBullets);
  EXPECT_EQ(line(0, 1).para.bulletChar, 159);
  EXPECT_EQ(line(0, 0).para.listKind, kListNone) << "only the Cursor's paragraph";
  Keys("{Backspace}");
  EXPECT_EQ(line(0, 1).para.listKind, kListNone);
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"eins", "zwei"})) << "the bullet went, no join";
  Keys("{Backspace}");
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"einszwei"}));

  // At the document's start a number goes the same way.
  Place(0, 0, 0);
  aufzaehlung(w(), kListNumbers);
  aufzaehlung(w(), kListNumbers);
  EXPECT_EQ(line(0, 0).para.listKind, kListNone) << "toggled twice";
  aufzaehlung(w(), kListNumbers);
  Keys("{Backspace}");
  EXPECT_EQ(line(0, 0).para.listKind, kListNone);
}

TEST_F(Deletion, ListsApplyToEveryMarkedParagraphAcrossALineBreak) {
  SetParagraphs({"eins", "zwei", "drei", "vier"});
  line(0, 1).endKind = kEndLineBreak;
  doc().Cursor = CursorPos{0, 0, 1};
  doc().Anchor = CursorPos{0, 1, 1};
  aufzaehlung(w(), kListNumbers);
  for (int32_t l = 0; l < 3; ++l) EXPECT_EQ(line(0, l).para.listKind, kListNumbers) << l;
  EXPECT_EQ(line(0, 3).para.listKind, kListNone);
  EXPECT_EQ(UndoListEntries(w()).front(), "Absatzformat");
}

}  // namespace
}  // namespace paginor::test
