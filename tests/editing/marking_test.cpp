// The marking: ordering its ends, the table rules, the text walk in reading order, deleting and
// cutting a block of cells, selecting words and paragraphs, and the statistics.

#include "editing/marking.h"
#include "editing/editor_fixture.h"
#include "editing/refresh.h"
#include "editing/undo.h"

namespace paginor::test {
namespace {

struct Marking : EditorTest {
  void Mark(CursorPos anchor, CursorPos cursor) {
    doc().Anchor = anchor;
    doc().Cursor = cursor;
    FindMarkingStart(w());
  }
  // The marked cells of a line as a string of '.' and 'x'.
  std::string Marks(int32_t f, int32_t l) {
    std::string s;
    for (int32_t c = 0; c < line(f, l).charCount(); ++c)
      s.push_back(isinmarking(w(), f, l, c) ? 'x' : '.');
    return s;
  }
  // A 3 x 3 table, cells "r<row>c<column>", between two paragraphs: row r is lines 1+3r..3+3r.
  void Table3x3() {
    SetParagraphs({"davor", "danach"});
    InsertTable(0, 1, 3, {"c0", "c1", "c2"});
    for (int32_t r = 0; r < 3; ++r)
      for (int32_t c = 0; c < 3; ++c) {
        LineRec& l = line(0, 1 + 3 * r + c);
        l.chars.mut(0).ch = static_cast<uint8_t>('0' + r);  // "0c0", ... as "<r>0" etc.
      }
  }
  int32_t cellLine(int32_t row, int32_t column) { return 1 + 3 * row + column; }
};

TEST_F(Marking, EitherOrderOfAnchorAndCursorGivesTheSameEnds) {
  SetParagraphs({"eins zwei", "drei vier"});
  Mark({0, 1, 2}, {0, 0, 4});
  const CursorPos s = edit().MarkStart, e = edit().MarkEnd;
  EXPECT_EQ(s, (CursorPos{0, 0, 4}));
  EXPECT_EQ(e, (CursorPos{0, 1, 2}));
  Mark({0, 0, 4}, {0, 1, 2});
  EXPECT_EQ(edit().MarkStart, s);
  EXPECT_EQ(edit().MarkEnd, e);
  EXPECT_FALSE(edit().TableMarking);
  EXPECT_EQ(Marks(0, 0), "....xxxxx");
  EXPECT_EQ(Marks(0, 1), "xx.......");
  EXPECT_TRUE(isThereAmarking(w()));
  Mark({0, 1, 2}, {0, 1, 2});
  EXPECT_FALSE(isThereAmarking(w()));
  EXPECT_EQ(Marks(0, 1), ".........");
}

TEST_F(Marking, AMarkingOverTableRowsBecomesARectangleOfWholeCells) {
  Table3x3();
  // From row 0, column 2 to row 2, column 1: columns 1 and 2 of rows 0 to 2.
  Mark({0, cellLine(0, 2), 1}, {0, cellLine(2, 1), 1});
  EXPECT_TRUE(edit().TableMarking);
  EXPECT_TRUE(edit().BlockMarking);
  EXPECT_EQ(edit().FirstMarkedColumn, 1);
  EXPECT_EQ(edit().LastMarkedColumn, 2);
  EXPECT_EQ(edit().MarkStart, (CursorPos{0, cellLine(0, 1), 0}));
  EXPECT_EQ(edit().MarkEnd, (CursorPos{0, cellLine(2, 2), 2}));
  for (int32_t r = 0; r < 3; ++r) {
    EXPECT_EQ(Marks(0, cellLine(r, 0)), "..") << "row " << r;
    EXPECT_EQ(Marks(0, cellLine(r, 1)), "xx") << "row " << r;
    EXPECT_EQ(Marks(0, cellLine(r, 2)), "xx") << "row " << r;
  }
  EXPECT_EQ(Marks(0, 0), ".....");
  EXPECT_EQ(Marks(0, 10), "......");

  // Delete empties exactly those six cells and keeps the table's shape.
  Keys("{Delete}");
  ASSERT_EQ(doc().fields[0].lineCount(), 11);
  for (int32_t r = 0; r < 3; ++r) {
    EXPECT_EQ(Text(0, cellLine(r, 0)), std::string(1, static_cast<char>('0' + r)) + "0");
    EXPECT_EQ(Text(0, cellLine(r, 1)), "");
    EXPECT_EQ(Text(0, cellLine(r, 2)), "");
    EXPECT_EQ(line(0, cellLine(r, 2)).rowCells, 3);
  }
  EXPECT_EQ(cursor(), (CursorPos{0, cellLine(0, 1), 0}));
  ExpectValid();
}

TEST_F(Marking, CutRemovesTheCellsOfABlockFromTheirRows) {
  Table3x3();
  Mark({0, cellLine(0, 2), 1}, {0, cellLine(2, 1), 1});
  MakeCopyForUndo(w(), "Ausschneiden");
  DeleteMarking(w(), EmptiedCells::LeaveRows);
  RefreshDirtyContent(w());
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"davor", "00", "10", "20", "danach"}));
  for (int32_t l = 1; l <= 3; ++l) {
    EXPECT_EQ(line(0, l).rowCells, 1);
    EXPECT_EQ(line(0, l).cellColumn, 0);
    EXPECT_TRUE(line(0, l).rowStart && line(0, l).rowEnd);
  }
  ExpectValid();
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(doc().fields[0].lineCount(), 11) << "undo brings the columns back";
}

TEST_F(Marking, CuttingTheMiddleColumnRenumbersTheColumnsRightOfIt) {
  Table3x3();
  Mark({0, cellLine(0, 1), 0}, {0, cellLine(2, 1), 2});
  EXPECT_TRUE(edit().BlockMarking);
  DeleteMarking(w(), EmptiedCells::LeaveRows);
  RefreshDirtyContent(w());
  EXPECT_EQ(Texts(0),
            (std::vector<std::string>{"davor", "00", "02", "10", "12", "20", "22", "danach"}));
  EXPECT_EQ(line(0, 2).cellColumn, 1);
  EXPECT_EQ(line(0, 2).rowCells, 2);
  ExpectValid();
}

TEST_F(Marking, InsideOneTableRowTheColumnsBetweenTheEndsAreMarkedWithCharacterBounds) {
  SetParagraphs({"davor", "danach"});
  InsertTable(0, 1, 1, {"aaaa|AAAA", "bbbb|BBBB", "cccc|CCCC"});
  // Visual rows: lines 1..3 ("aaaa" "bbbb" "cccc") and 4..6 ("AAAA" "BBBB" "CCCC").
  Mark({0, 1, 2}, {0, 6, 1});
  EXPECT_TRUE(edit().TableMarking);
  EXPECT_FALSE(edit().BlockMarking);
  EXPECT_EQ(edit().FirstMarkedColumn, 0);
  EXPECT_EQ(edit().LastMarkedColumn, 2);
  EXPECT_EQ(Marks(0, 1), "..xx");
  EXPECT_EQ(Marks(0, 2), "xxxx");
  EXPECT_EQ(Marks(0, 5), "xxxx");
  EXPECT_EQ(Marks(0, 6), "x...");

  // Only columns 1 to 2: column 0 stays unmarked in between.
  Mark({0, 2, 1}, {0, 6, 2});
  EXPECT_EQ(edit().FirstMarkedColumn, 1);
  EXPECT_EQ(Marks(0, 4), "....");
  EXPECT_EQ(Marks(0, 5), "xxxx");
}

TEST_F(Marking, TheTextWalkReadsTablesCellByCell) {
  SetParagraphs({"a", "z"});
  InsertTable(0, 1, 1, {"b|c", "d", "e|f"});
  // Lines: "a", row: "b" "d" "e" / "c" "" "f", "z".
  std::string forwards;
  edit().MarkStart = CursorPos{0, 0, 0};
  forwards.push_back(static_cast<char>(line(0, 0).chars[0].ch));
  while (getnextchar(w())) {
    const CursorPos& p = edit().MarkStart;
    forwards.push_back(static_cast<char>(line(0, p.line).chars[p.chr].ch));
  }
  EXPECT_EQ(forwards, "abcdefz");

  std::string backwards;
  while (getPrevsChar(w())) {
    const CursorPos& p = edit().MarkStart;
    backwards.push_back(static_cast<char>(line(0, p.line).chars[p.chr].ch));
  }
  EXPECT_EQ(backwards, "fedcba");

  std::string blind;
  edit().MarkStart = CursorPos{0, 0, 0};
  while (getnextcharTableBlind(w())) {
    const CursorPos& p = edit().MarkStart;
    blind.push_back(static_cast<char>(line(0, p.line).chars[p.chr].ch));
  }
  EXPECT_EQ(blind, "bdecfz") << "line by line";
}

TEST_F(Marking, MarkedLinesAndTheWalkOverAllFields) {
  SetParagraphs({"eins", "", "drei", "vier"});
  Mark({0, 0, 2}, {0, 2, 1});
  std::vector<int32_t> lines{edit().MarkStart.line};
  while (getnextmarkedline(w())) lines.push_back(edit().MarkStart.line);
  EXPECT_EQ(lines, (std::vector<int32_t>{0, 1, 2})) << "the empty line too";
  // The stop at empty lines is the line walk's alone, also when it is left after one step: the
  // character walk passes the empty line by.
  Mark({0, 0, 2}, {0, 2, 1});
  ASSERT_TRUE(getnextmarkedline(w()));
  edit().MarkStart = CursorPos{0, 0, 3};
  ASSERT_TRUE(getnextchar(w()));
  EXPECT_EQ(edit().MarkStart, (CursorPos{0, 2, 0}));

  // WalkAllFields goes on with every field not visited yet: the headers and footers.
  ClearVisitedMarks(doc());
  doc().fields[0].visited = 1;
  edit().WalkAllFields = true;
  edit().MarkStart = CursorPos{0, 3, 3};
  std::vector<int32_t> fields;
  while (getnextchar(w(), EmptyLines::Stop)) fields.push_back(edit().MarkStart.field);
  EXPECT_EQ(fields, (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
  for (const FieldRec& f : doc().fields) EXPECT_EQ(f.visited, 1);
}

TEST_F(Marking, SelectWordTakesTheWordWithItsTrailingSpaces) {
  SetParagraphs({"Hallo Welt  und mehr"});
  Place(0, 0, 7);  // inside "Welt"
  WortMarkieren(w());
  EXPECT_EQ(doc().Anchor, (CursorPos{0, 0, 6}));
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 12}));
  // A click on the space right after a word selects that word.
  Place(0, 0, 5);
  WortMarkieren(w());
  EXPECT_EQ(doc().Anchor, (CursorPos{0, 0, 0}));
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 6}));
  EXPECT_GT(host.timerRestarts, 0);
}

TEST_F(Marking, SelectParagraphGoesOverALineBreakAndTakesInTheParagraphEnd) {
  SetParagraphs({"erster", "zwei", "drei", "vier"});
  line(0, 1).endKind = kEndLineBreak;
  Place(0, 2, 2);
  AbsatzMarkieren(w());
  EXPECT_EQ(doc().Anchor, (CursorPos{0, 1, 0}));
  EXPECT_EQ(cursor(), (CursorPos{0, 3, 0}));
}

TEST_F(Marking, GetActualWordReadsTheWordAroundTheCursor) {
  SetParagraphs({"Ein \xc4rgernis, sagt er"});
  Place(0, 0, 6);
  EXPECT_EQ(GetActualWord(w(), SelectWord::No), "\xc4rgernis,");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 6}));
  Place(0, 0, 13);  // just after the word
  EXPECT_EQ(GetActualWord(w(), SelectWord::Yes), "\xc4rgernis,");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 4}));
  EXPECT_EQ(doc().Anchor, cursor());
}

TEST_F(Marking, CountWordsCountsEveryField) {
  Keys("ab cd");
  const std::vector<StatisticsRow> rows = CountWords(w());
  // The body's one paragraph and the six empty header and footer fields.
  EXPECT_EQ(rows, (std::vector<StatisticsRow>{{"Bezeichnung", "Wert"},
                                              {"Seiten", "1"},
                                              {"Wörter", "2"},
                                              {"Zeichen (ohne Leerzeichen)", "4"},
                                              {"Zeichen (mit Grafiken)", "5"},
                                              {"Absätze", "7"},
                                              {"Zeilen", "7"}}));

  FreeAllUndoCops(w());
  BuildMixedDocument(w());
  const std::vector<StatisticsRow> mixed = CountWords(w());
  EXPECT_NE(mixed[1][1], "1") << "several pages";
  // A picture and a footnote mark end words and count only with the pictures.
  EXPECT_GT(std::stoi(mixed[4][1]), std::stoi(mixed[3][1]));
}

TEST_F(Marking, CtrlAInAHeaderSelectsTheHeadersChainOnly) {
  BuildMixedDocument(w());
  const int32_t header = 5;  // the header shown on every page
  ASSERT_EQ(doc().fields[header].type, kFieldHeader);
  Place(header, 0, 0);
  Keys("Kopf{Ctrl+A}");
  EXPECT_EQ(doc().Anchor, (CursorPos{header, 0, 0}));
  EXPECT_EQ(cursor(), (CursorPos{header, 0, 4}));
  EXPECT_EQ(UndoListEntries(w()).front(), "Alles markieren");

  Place(0, 3, 2);
  Keys("{Ctrl+Shift+A}");
  EXPECT_EQ(doc().Anchor, (CursorPos{0, 0, 0}));
  EXPECT_NE(cursor().field, 0) << "the body's chain runs over several pages";
  EXPECT_EQ(doc().fields[cursor().field].nextField, -1);
}

}  // namespace
}  // namespace paginor::test
