// Typed characters, Tab, overwrite mode, typographic quotes, typing runs and the special typing
// modes other commands use.

#include "editing/editor_fixture.h"
#include "editing/marking.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "layout/measure.h"
#include "model/queries.h"

namespace paginor::test {
namespace {

using Typing = EditorTest;

TEST_F(Typing, ARunOfTypedCharactersIsOneUndoStepAndAMoveStartsTheNext) {
  Type("abc");
  EXPECT_EQ(Text(0, 0), "abc");
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Eingabe"}));
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 3}));
  EXPECT_EQ(doc().Anchor, cursor());

  Down(vk::kLeft);
  Type("d");
  EXPECT_EQ(Text(0, 0), "abdc");
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Eingabe", "Eingabe"}));

  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Text(0, 0), "abc");
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Text(0, 0), "");
}

TEST_F(Typing, RunsOfEachKindTakeOneSnapshotAndOtherKindsEndThem) {
  Keys("ab{Backspace}{Backspace}x{Enter}{Enter}{Tab}{Tab}");
  EXPECT_EQ(UndoListEntries(w()),
            (std::vector<std::string>{"Eingabe TAB", "Eingabe TAB", "Eingabe Enter", "Eingabe",
                                      "Löschen", "Eingabe"}));
}

TEST_F(Typing, InAnEmptyDocumentBackspaceAndDeleteChangeNothingButTakeASnapshot) {
  const std::string before = State();
  Keys("{Backspace}{Backspace}");
  EXPECT_EQ(State(), before);
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Löschen"}));
  Keys("{Delete}{Delete}");
  EXPECT_EQ(State(), before);
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Löschen", "Löschen"}));
}

TEST_F(Typing, ControlCharactersAreIgnoredAndCtrlBackspaceSwallowsItsCharacter127) {
  Type("a\tb\x01");
  EXPECT_EQ(Text(0, 0), "ab") << "characters up to 31 are no text";
  Keys("c{Ctrl+Backspace}");  // undo, then the platform's character 127
  EXPECT_EQ(Text(0, 0), "");
  getkeysKeyPress(w(), 127);
  EXPECT_EQ(Text(0, 0), "") << "127 is swallowed until another character comes";
  Type("x");
  getkeysKeyPress(w(), 127);
  EXPECT_EQ(Text(0, 0), std::string("x\x7f")) << "after another character 127 is typed again";

  // Alt+Backspace undoes too and produces no character.
  Keys("{Alt+Backspace}");
  EXPECT_EQ(Text(0, 0), "");
}

TEST_F(Typing, TypedCharactersAreMeasuredAtOnceWithTheirCaseAttributes) {
  edit().BatchTyping = true;  // no layout: the width comes from typing alone
  Type("a");
  doc().CurrentFormat.curAttributes = 1u << kAttrUpperCase;
  Type("a");
  doc().CurrentFormat.curAttributes = 0;
  Type("A");
  edit().BatchTyping = false;
  const LineRec& l = line(0, 0);
  ASSERT_EQ(l.charCount(), 3);
  EXPECT_GT(l.chars[0].width, 0);
  EXPECT_LT(l.chars[0].width, l.chars[1].width) << "shown and measured as a capital";
  EXPECT_DOUBLE_EQ(l.chars[1].width, l.chars[2].width);
  EXPECT_EQ(l.chars[1].ch, 'a') << "the cell keeps the character typed";

  // Small capitals are measured at 0.75 of the size: 16 pt measures as 12 pt capitals.
  doc().CurrentFormat.curFontSize = 16;
  doc().CurrentFormat.curAttributes = 1u << kAttrSmallCaps;
  edit().BatchTyping = true;
  Type("a");
  EXPECT_DOUBLE_EQ(line(0, 0).chars[3].width, l.chars[2].width);
  EXPECT_GT(line(0, 0).chars[3].height, l.chars[2].height) << "the height at the full size";
}

TEST_F(Typing, BatchTypingInsertsWithoutLayoutAndNeverOverwrites) {
  options().OverwriteMode = true;
  edit().BatchTyping = true;
  Type(std::string(400, 'x'));
  EXPECT_EQ(doc().fields[0].lineCount(), 1) << "not broken while the batch runs";
  EXPECT_EQ(line(0, 0).charCount(), 400);
  Place(0, 0, 0);
  Type("yy");
  EXPECT_EQ(line(0, 0).charCount(), 402) << "inserted, although overwrite mode is on";
  edit().BatchTyping = false;
  RefreshDirtyContent(w());
  EXPECT_GT(doc().fields[0].lineCount(), 1);
  ExpectValid();
}

TEST_F(Typing, ProgrammaticTypingTakesNoSnapshotKeepsTheMarkingAndLeavesNoRun) {
  Type("Wort");
  FreeAllUndoCops(w());
  doc().Anchor = CursorPos{0, 0, 0};
  doc().Cursor = CursorPos{0, 0, 2};
  edit().ProgrammaticTyping = true;
  Type("x");
  Down(vk::kDelete);
  edit().ProgrammaticTyping = false;
  // The marked "Wo" stayed; "x" went in at the Cursor (the Anchor follows it) and Delete took
  // the "r" after it.
  EXPECT_EQ(Text(0, 0), "Woxt");
  EXPECT_TRUE(UndoListEntries(w()).empty());
  Type("y");
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Eingabe"}))
      << "no run was left active";
}

TEST_F(Typing, TypingReplacesTheMarking) {
  Type("Hallo Welt");
  Place(0, 0, 6);
  Keys("{Shift+End}");
  Type("Leute");
  EXPECT_EQ(Text(0, 0), "Hallo Leute");
}

TEST_F(Typing, OverwriteModeReplacesTheCellAtTheCursorAndShowsUeB) {
  Type("abc");
  Down(vk::kInsert);
  EXPECT_TRUE(options().OverwriteMode);
  EXPECT_EQ(fx.host.ui.status[2], "ÜB");
  doc().CurrentFormat.curFontName = "Arial";
  Place(0, 0, 0);
  Type("xy");
  EXPECT_EQ(Text(0, 0), "xyc");
  EXPECT_EQ(doc().fonts[line(0, 0).chars[0].fontIndex].name, "Times New Roman")
      << "an overwritten cell keeps its own format";
  Type("zw");
  EXPECT_EQ(Text(0, 0), "xyzw") << "at the line's end characters are added";
  Down(vk::kInsert);
  EXPECT_FALSE(options().OverwriteMode);
  EXPECT_EQ(fx.host.ui.status[2], "");
}

struct QuoteCase {
  int style;
  const char* before;
  uint8_t expected;
};

TEST_F(Typing, DoubleQuotesBecomeTypographicQuotesOfTheQuoteStyle) {
  const QuoteCase cases[] = {
      {1, "", 132},  {1, "a ", 132}, {1, "a", 147}, {1, "a-", 132}, {1, "a\t", 132}, {2, "a ", 187},
      {2, "a", 171}, {3, " ", 187},  {3, "a", 171}, {4, "a ", 147}, {4, "a", 148},   {0, "a ", '"'},
  };
  for (const QuoteCase& c : cases) {
    SetParagraphs({""});
    options().QuoteStyle = c.style;
    for (char ch : std::string(c.before)) {
      if (ch == '\t')
        Down(vk::kTab);
      else
        getkeysKeyPress(w(), static_cast<uint8_t>(ch));
    }
    Type("\"");
    const LineRec& l = line(0, 0);
    EXPECT_EQ(l.chars.back().ch, c.expected)
        << "style " << c.style << " after \"" << c.before << "\"";
  }
}

TEST_F(Typing, AQuoteAtALineStartOpensAfterAParagraphEndAndClosesAfterASoftBreak) {
  options().QuoteStyle = 1;
  SetParagraphs({"erster Absatz", "", std::string(300, 'x')});
  Place(0, 1, 0);
  Type("\"");
  EXPECT_EQ(line(0, 1).chars[0].ch, 132) << "after a paragraph end";
  ASSERT_EQ(line(0, 2).endKind, kEndSoft);
  Place(0, 3, 0);
  Type("\"");
  EXPECT_EQ(line(0, 3).chars[0].ch, 147) << "the line above ends in a letter";
}

TEST_F(Typing, InCourierTheDoubleQuoteStaysPlain) {
  options().QuoteStyle = 1;
  doc().CurrentFormat.curFontName = "Courier";
  Type("a \"");
  EXPECT_EQ(line(0, 0).chars[2].ch, '"');
}

TEST_F(Typing, TabInsertsAProvisionalTabCellAndTakesASnapshotEachTime) {
  Type("a");
  Down(vk::kTab);
  Down(vk::kTab);
  EXPECT_EQ(Text(0, 0), "a\t\t");
  EXPECT_EQ(UndoListEntries(w()),
            (std::vector<std::string>{"Eingabe TAB", "Eingabe TAB", "Eingabe"}));
  EXPECT_DOUBLE_EQ(line(0, 0).chars[1].height, -1.0) << "a tab never makes a line taller";
  EXPECT_GT(line(0, 0).chars[1].width, 0) << "the breaker gave it its width";
  Type("b");
  EXPECT_EQ(UndoListEntries(w()).front(), "Eingabe") << "the tab ended the typing run";
}

TEST_F(Typing, CtrlMinusTogglesTheSoftHyphenMark) {
  SetParagraphs({"Silbentrennung", "zwei"});
  Place(0, 0, 5);
  Down(vk::kOemMinus, kCtrl);
  EXPECT_EQ(line(0, 0).chars[5].charFlags & 1, 1);
  EXPECT_EQ(UndoListEntries(w()).front(), "Weicher Trennstrich");
  Down(vk::kOemMinus, kCtrl);
  EXPECT_EQ(line(0, 0).chars[5].charFlags & 1, 0);
  // At the line's end the mark goes to the next line's first cell.
  Place(0, 0, 14);
  Down(vk::kOemMinus, kCtrl);
  EXPECT_EQ(line(0, 1).chars[0].charFlags & 1, 1);
  Down(vk::kOemMinus, kCtrl | kShift);
  EXPECT_EQ(line(0, 1).chars[0].charFlags & 1, 1) << "not with Shift";
}

TEST_F(Typing, NothingIsTypedIntoObjectsOrASelectedTextBox) {
  BuildMixedDocument(w());
  int32_t box = -1;
  for (int32_t i = 0; i < doc().fieldCount(); ++i)
    if (doc().fields[i].type == kFieldTextBox) box = i;
  ASSERT_GE(box, 0);
  Place(box, 0, 0);
  doc().fields[box].selected = 1;
  const std::string before = State();
  Type("x");
  Down(vk::kLeft);
  EXPECT_EQ(State(), before) << "a selected object takes no text and no movement";
  Down(vk::kDelete);
  EXPECT_EQ(UndoListEntries(w()).front(), "Objekt/Feld löschen");
  for (const FieldRec& f : doc().fields) EXPECT_FALSE(f.type > kFieldFooter && f.selected);
  EXPECT_EQ(cursor().line, 0);
  EXPECT_EQ(cursor().chr, 0);
  ExpectValid();
}

}  // namespace
}  // namespace paginor::test
