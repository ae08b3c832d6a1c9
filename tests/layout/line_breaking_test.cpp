// Line breaking: edits carried through a paragraph, break positions, hyphenation, tab stops,
// numbering, line heights and table rows. Cells are 2 mm wide and 5 mm high unless a case says
// otherwise; the page body's text is 159.81 mm wide, so ten words of seven letters and a space
// (16 mm each) fill a line, the last space hanging past the edge.
#include <numeric>

#include "layout/hyphenation.h"
#include "layout/measure.h"
#include "layout/spelling_marks.h"
#include "layout_test_util.h"

namespace paginor {
namespace {

using test::LayoutTest;
using test::Words;

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// Words [from, to) joined by spaces, with the space that ends the line when it is not the last.
std::string Joined(const std::vector<std::string>& words, size_t from, size_t to, bool last) {
  std::string s;
  for (size_t i = from; i < to; ++i) s += words[i] + (i + 1 < to || !last ? " " : "");
  return s;
}

struct LineBreaking : LayoutTest {
  void InsertCells(int32_t l, int32_t at, const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) line(0, l).chars.insert(at + i, Cell(text[i]));
    line(0, l).dirty = 1;
  }
};

TEST_F(LineBreaking, ATypedWordCarriesTheParagraphDownAndADeletionPullsItBack) {
  const std::string text = Words(25, 7);
  std::vector<std::string> words = Split(text);
  SetLines(0, {Line(text)});
  Layout();
  EXPECT_EQ(Texts(0),
            (std::vector<std::string>{Joined(words, 0, 10, false), Joined(words, 10, 20, false),
                                      Joined(words, 20, 25, true)}))
      << "159.81 mm take ten 16-mm words; 160 mm would take an eleventh letter";
  EXPECT_EQ(line(0, 0).endKind, kEndSoft);
  EXPECT_EQ(line(0, 2).endKind, kEndParagraph);

  // Two letters typed into the second word push the tenth word down, and the line below passes
  // its own last word on to the paragraph's last line.
  InsertCells(0, 8, "XY");
  doc().Cursor = doc().Anchor = CursorPos{0, 0, 10};
  Layout();
  words[1] = "XY" + words[1];
  EXPECT_EQ(Texts(0),
            (std::vector<std::string>{Joined(words, 0, 9, false), Joined(words, 9, 19, false),
                                      Joined(words, 19, 25, true)}));
  EXPECT_EQ(line(0, 2).endKind, kEndParagraph) << "the paragraph end stays on the last line";
  EXPECT_EQ(line(0, 1).endKind, kEndSoft);
  EXPECT_EQ(doc().Cursor, (CursorPos{0, 0, 10}));
  EXPECT_EQ(doc().Anchor, doc().Cursor) << "an empty selection stays empty";

  // Deleting them again: the line takes the next one back, and the words flow up.
  line(0, 0).chars.erase(8, 10);
  line(0, 0).dirty = 1;
  doc().Cursor = doc().Anchor = CursorPos{0, 0, 8};
  Layout();
  words[1] = words[1].substr(2);
  EXPECT_EQ(Texts(0),
            (std::vector<std::string>{Joined(words, 0, 10, false), Joined(words, 10, 20, false),
                                      Joined(words, 20, 25, true)}));
  EXPECT_EQ(field(0).lineCount(), 3);
}

TEST_F(LineBreaking, TheCursorMovesWithItsWordAndLineEndAffinityKeepsItAbove) {
  const std::string text = Words(12, 7);
  SetLines(0, {Line(text)});
  Layout();
  // Typing at the end of the tenth word makes it too long; it moves down with the cursor.
  line(0, 0).chars.insert(79, Cell('X'));
  line(0, 0).chars.insert(80, Cell('Y'));
  line(0, 0).dirty = 1;
  doc().Cursor = doc().Anchor = CursorPos{0, 0, 81};
  Layout();
  EXPECT_EQ(line(0, 0).charCount(), 72);
  EXPECT_EQ(doc().Cursor, (CursorPos{0, 1, 9}));

  // A cursor exactly at the new break belongs to the lower line unless the user ended the upper
  // one (End key): then it stays at the upper line's end.
  for (int affinity : {0, 1}) {
    SetLines(0, {Line(text)});
    Layout();
    line(0, 0).chars.insert(8, Cell('X'));
    line(0, 0).chars.insert(8, Cell('Y'));
    line(0, 0).dirty = 1;
    doc().lineEndAffinity = static_cast<uint8_t>(affinity);
    doc().Cursor = doc().Anchor = CursorPos{0, 0, 74};  // before the tenth word, the new break
    Layout();
    ASSERT_EQ(line(0, 0).charCount(), 74);
    EXPECT_EQ(doc().Cursor, affinity ? (CursorPos{0, 0, 74}) : (CursorPos{0, 1, 0}))
        << "affinity " << affinity;
  }
}

TEST_F(LineBreaking, SpacesHangAndOverlongWordsAreCut) {
  // Five spaces at the end of a full line stay on it, past the right edge.
  SetLines(0, {Line(std::string(78, 'a') + "     bbb")});
  Layout();
  EXPECT_EQ(Texts(0), (std::vector<std::string>{std::string(78, 'a') + "     ", "bbb"}));

  // A word longer than the line is cut at the first cell that does not fit: 79 cells of 2 mm
  // fill 158 mm.
  SetLines(0, {Line(std::string(100, 'a'))});
  Layout();
  EXPECT_EQ(Texts(0), (std::vector<std::string>{std::string(79, 'a'), std::string(21, 'a')}));
  EXPECT_EQ(line(0, 0).endsWithHyphen, 0);

  // A hyphen stays with the part before it.
  SetLines(0, {Line(std::string(70, 'a') + "-" + std::string(20, 'b'))});
  Layout();
  EXPECT_EQ(Texts(0), (std::vector<std::string>{std::string(70, 'a') + "-", std::string(20, 'b')}));

  // One cell wider than the whole line stays alone on its line.
  std::vector<LineRec> lines{Line("ab")};
  lines[0].chars.mut(1).width = 500;
  SetLines(0, std::move(lines));
  Layout();
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"a", "b"}));
}

struct Hyphenation : LayoutTest {
  Hyphenation() {
    // Boundaries f-g, k-l and p-q.
    HyphenTable& t = w().app.hyphenTables[0];
    t = HyphenTable();
    for (const char* p : {"fg", "kl", "pq"}) t.groups[1].push_back(HyphenPattern{p, {{1, 1}}});
    SortHyphenGroups(t);
    t.loaded = true;
    w().hyphenTable = &t;
    w().hyphenCache.words.clear();
    doc().autoHyphenation = 1;
  }
  // A word of 10-mm letters: 15 of them fill the 159.81 mm.
  void SetWord(const std::string& word) { SetLines(0, {Line(word, kEndParagraph, 10.0)}); }
};

TEST_F(Hyphenation, TheLastSyllableBoundaryBeforeTheOverflowWins) {
  SetWord("abcdefghijklmnopqrst");
  Layout();
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"abcdefghijk", "lmnopqrst"}));
  EXPECT_EQ(line(0, 0).endsWithHyphen, 1);
  EXPECT_EQ(line(0, 1).endsWithHyphen, 0);

  // "Keine Silbentrennung" on the letter after a boundary rules that boundary out.
  FontRec keep = doc().fonts[font];
  SettingOps(keep.attributes, kAttrNoHyphenation, true);
  SetWord("abcdefghijklmnopqrst");
  line(0, 0).chars.mut(11).fontIndex = GetNewFontIndex(doc(), keep);
  Layout();
  EXPECT_EQ(Texts(0).front(), "abcdef");

  // 25 letters are split, 26 are cut.
  SetWord("abcdefghijklmnopqrstuvwxy");
  Layout();
  EXPECT_EQ(Texts(0).front(), "abcdefghijk");
  SetWord("abcdefghijklmnopqrstuvwxyz");
  Layout();
  EXPECT_EQ(Texts(0).front(), "abcdefghijklmno");
  EXPECT_EQ(line(0, 0).endsWithHyphen, 0);

  // Switched off, the word is cut.
  doc().autoHyphenation = 0;
  SetWord("abcdefghijklmnopqrst");
  Layout();
  EXPECT_EQ(Texts(0).front(), "abcdefghijklmno");
}

TEST_F(Hyphenation, SoftHyphensComeFirstButNeverBreakBeforeALinesFirstCell) {
  const uint8_t soft = 1u << kFlagSoftHyphen;
  // A marked cell before the overflow: the line breaks there, automatic boundaries unused.
  SetWord("abcdefghijklmnopqrst");
  line(0, 0).chars.mut(8).charFlags = soft;
  Layout();
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"abcdefgh", "ijklmnopqrst"}));
  EXPECT_EQ(line(0, 0).endsWithHyphen, 1);

  // The mark on the cell that overflows breaks right there. The line below then starts with the
  // marked cell, which is no break opportunity: it is cut, and the layout ends.
  doc().autoHyphenation = 0;
  SetWord(std::string("abcdefghijklmnopqrstuvwxyzabcdefghijklmn"));
  line(0, 0).chars.mut(15).charFlags = soft;
  Layout();
  EXPECT_EQ(Texts(0),
            (std::vector<std::string>{"abcdefghijklmno", "pqrstuvwxyzabcd", "efghijklmn"}));
  EXPECT_EQ(line(0, 0).endsWithHyphen, 1);
  EXPECT_EQ(line(0, 1).endsWithHyphen, 0);
}

struct Tabs : LayoutTest {
  // The width the tab of a one-line paragraph gets.
  double TabAfter(const std::string& before, const std::string& after, std::vector<TabStop> stops,
                  double cellWidth = 2.0, double defaultWidth = 12.5) {
    LineRec l = Line(before + "\t" + after, kEndParagraph, cellWidth);
    l.para.tabs = std::move(stops);
    l.para.defaultTabWidth = defaultWidth;
    SetLines(0, {std::move(l)});
    Layout();
    return line(0, 0).chars[static_cast<int32_t>(before.size())].width;
  }
};

TEST_F(Tabs, DefaultStops) {
  EXPECT_DOUBLE_EQ(TabAfter(std::string(15, 'a'), "b", {}), 7.5) << "from 30 mm to 37.5 mm";
  EXPECT_DOUBLE_EQ(TabAfter(std::string(15, 'a'), "b", {}, 2.5), 12.5) << "from 37.5 mm to 50 mm";
  // A default distance of 0 or less would put every stop at the tab itself; 12.5 mm stands in.
  EXPECT_DOUBLE_EQ(TabAfter(std::string(15, 'a'), "b", {}, 2.0, 0), 7.5);
  EXPECT_DOUBLE_EQ(TabAfter(std::string(15, 'a'), "b", {}, 2.0, -3), 7.5);
  // Stops left of the tab are passed; the first one beyond it counts.
  EXPECT_DOUBLE_EQ(TabAfter(std::string(15, 'a'), "b", {{10, 0, 0}, {50, 0, 0}}), 20);
}

TEST_F(Tabs, AlignedStopsPullTheTabBackByTheFollowingText) {
  const std::string x40(20, 'a');
  EXPECT_DOUBLE_EQ(TabAfter(x40, "12345", {{100, 2, 0}}), 50) << "right";
  EXPECT_DOUBLE_EQ(TabAfter(x40, "12345", {{100, 1, 0}}), 55) << "centred";
  EXPECT_DOUBLE_EQ(TabAfter(x40, "12,50", {{80, 3, 0}}), 36) << "decimal: ends 4 mm before 80";
  EXPECT_DOUBLE_EQ(TabAfter(x40, "12\t345", {{100, 2, 0}}), 56) << "the next tab ends the text";
  EXPECT_DOUBLE_EQ(TabAfter(x40, std::string(40, 'b'), {{50, 2, 0}}), 0) << "never negative";
  TabAfter(x40, "1", {{100, 0, 2}});
  EXPECT_EQ(line(0, 0).chars[20].tabFill, 2);
}

TEST_F(Tabs, ATabStartsTheNextLine) {
  SetLines(0, {Line(std::string(20, 'a') + "\t" + std::string(80, 'b'))});
  Layout();
  EXPECT_EQ(Texts(0).front(), std::string(20, 'a'));
  EXPECT_EQ(Text(line(0, 1)).front(), '\t');
}

TEST_F(LineBreaking, NumberedListsRestartAfterAnyOtherParagraph) {
  std::vector<LineRec> lines;
  const uint8_t kinds[] = {kListNumbers, kListNumbers, kListNone,   kListNumbers,
                           kListBullets, kListNumbers, kListNumbers};
  for (uint8_t k : kinds) {
    lines.push_back(Line("item"));
    lines.back().para.listKind = k;
  }
  lines.push_back(Line(Words(15, 7)));  // a numbered paragraph of two lines
  lines.back().para.listKind = kListNumbers;
  lines.push_back(Line("item"));
  lines.back().para.listKind = kListNumbers;
  SetLines(0, std::move(lines));
  Layout();
  ASSERT_EQ(field(0).lineCount(), 10);
  const int32_t expected[] = {1, 2, -1, 1, -1, 1, 2, 3, 3, 4};
  for (int32_t i = 0; i < 10; ++i) {
    if (expected[i] > 0) {
      EXPECT_EQ(line(0, i).para.listNumber, expected[i]) << "line " << i;
    }
  }
}

TEST_F(LineBreaking, ListIndentAndFirstLineIndentShortenOnlyTheFirstLine) {
  LineRec l = Line(Words(20, 7));
  l.para.indentFirstLine = 10;
  l.para.listKind = kListBullets;
  l.para.listIndent = 6.3;
  SetLines(0, {std::move(l)});
  Layout();
  // 16.3 mm are gone from the first line: nine words fit there, ten on the next.
  EXPECT_EQ(line(0, 0).charCount(), 72);
  EXPECT_EQ(line(0, 1).charCount(), 80);
}

struct Heights : LayoutTest {
  double SpaceHeight(double size) {
    FontRec f = FontOfCurrentFormat(doc().CurrentFormat);
    FontHandle h = selfont(w(), f.name, 600, 0, f.charset, f.style, size, 100);
    const double mm = w().app.fonts().textExtent(h, " ").cy / 600.0 * kMmPerInch;
    w().app.fonts().deleteFont(h);
    return mm;
  }
};

TEST_F(Heights, AnEmptyLineIsAsHighAsASpaceOfTheLastFontPlaced) {
  FontRec big = FontOfCurrentFormat(doc().CurrentFormat);
  big.size = 20;
  const int32_t bigFont = GetNewFontIndex(doc(), big);
  LineRec text = Line("Text", kEndParagraph, 2, 7);
  for (int32_t i = 0; i < text.charCount(); ++i) text.chars.mut(i).fontIndex = bigFont;
  LineRec empty = Line("");
  empty.para.lineSpacing = 1.5;
  SetLines(0, {std::move(text), std::move(empty)});
  Layout();
  EXPECT_DOUBLE_EQ(line(0, 0).lineHeight, 7);
  EXPECT_DOUBLE_EQ(line(0, 1).lineHeight, SpaceHeight(20) * 1.5);
  EXPECT_GT(SpaceHeight(20), SpaceHeight(12));

  // When only the empty line is broken, no cell was placed before it in this pass: the
  // CurrentFormat's font (12 pt) gives the height.
  line(0, 1).dirty = 1;
  Layout();
  EXPECT_DOUBLE_EQ(line(0, 1).lineHeight, SpaceHeight(12) * 1.5);
}

TEST_F(Heights, SpacingModes) {
  auto heightOf = [&](uint8_t mode, double spacing, double cellHeight) {
    LineRec l = Line("abc", kEndParagraph, 2, cellHeight);
    l.para.lineSpacingMode = mode;
    l.para.lineSpacing = spacing;
    SetLines(0, {std::move(l)});
    Layout();
    return line(0, 0).lineHeight;
  };
  EXPECT_DOUBLE_EQ(heightOf(0, 2.0, 8), 16) << "multiple";
  EXPECT_DOUBLE_EQ(heightOf(1, 5.0, 8), 8) << "at least: taller lines stay";
  EXPECT_DOUBLE_EQ(heightOf(1, 5.0, 3), 5) << "at least";
  EXPECT_DOUBLE_EQ(heightOf(2, 5.0, 8), 5) << "exactly";
  EXPECT_DOUBLE_EQ(heightOf(2, 5.0, 3), 5) << "exactly";
}

struct Tables : LayoutTest {
  // A text box 160 mm wide without margins, holding the test's lines.
  int32_t Box() {
    const int32_t i = NewField(doc());
    FieldRec& f = field(i);
    f.type = kFieldTextBox;
    f.left = 10;
    f.right = 170;
    f.top = 20;
    f.bottom = 250;
    return i;
  }
  LineRec Cell(const std::string& text, int32_t column, double weight, double height) {
    LineRec l = Line(text, kEndSoft, 2, height);
    l.inTable = l.rowStart = l.rowEnd = 1;
    l.rowCells = 3;
    l.cellColumn = column;
    l.cellWidth = weight;
    return l;
  }
};

TEST_F(Tables, CellsShareTheRowWidthByWeightAndTheRowsHeight) {
  const int32_t box = Box();
  std::vector<LineRec> row;
  row.push_back(Cell(std::string(30, 'a'), 0, 1.0, 5));
  row.push_back(Cell(std::string(10, 'b'), 1, 1.0, 8));
  row.push_back(Cell(std::string(50, 'c'), 2, 2.0, 3));
  SetLines(box, std::move(row));
  Layout();
  // 40, 40 and 80 mm: the first cell breaks after 20 cells, the third after 40; the second
  // visual row carries the rest, and the second cell gets an empty line there.
  EXPECT_EQ(Texts(box), (std::vector<std::string>{std::string(20, 'a'), std::string(10, 'b'),
                                                  std::string(40, 'c'), std::string(10, 'a'), "",
                                                  std::string(10, 'c')}));
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(line(box, i).lineHeight, 8) << "the row is as high as its tallest cell";
    EXPECT_EQ(line(box, i).rowStart, 1);
    EXPECT_EQ(line(box, i).rowEnd, 0) << "the row end moved to the new visual row";
    EXPECT_EQ(line(box, 3 + i).rowStart, 0);
    EXPECT_EQ(line(box, 3 + i).rowEnd, 1);
    EXPECT_EQ(line(box, 3 + i).cellColumn, i);
    EXPECT_EQ(line(box, i + 3).lineHeight, line(box, 3).lineHeight);
  }
  EXPECT_GE(line(box, 3).lineHeight, 5);

  // A second pass keeps the clean row, a complete one joins and breaks it again: both leave it
  // as it is.
  const std::string once = LayoutState();
  Layout();
  EXPECT_EQ(LayoutState(), once);
  SetAllDirtyFlags(doc());
  Layout();
  EXPECT_EQ(LayoutState(), once);
}

TEST_F(Tables, CellsEndingParagraphsKeepTheirTextTogether) {
  const int32_t box = Box();
  std::vector<LineRec> row;
  for (int32_t c = 0; c < 3; ++c) {
    row.push_back(Cell(std::string(c == 2 ? 50 : 30, static_cast<char>('a' + c)), c, 1.0, 5));
    row.back().endKind = kEndParagraph;
  }
  SetLines(box, std::move(row));
  Layout();
  // 53.3 mm a cell: 26 cells fit. All three cells continue in the same new visual row: no
  // empty line inside a cell's text.
  EXPECT_EQ(Texts(box), (std::vector<std::string>{std::string(26, 'a'), std::string(26, 'b'),
                                                  std::string(26, 'c'), std::string(4, 'a'),
                                                  std::string(4, 'b'), std::string(24, 'c')}));
  EXPECT_EQ(line(box, 3).endKind, kEndParagraph);
  const std::string once = LayoutState();
  Layout();
  EXPECT_EQ(LayoutState(), once);
}

TEST_F(Tables, ALineEndInsideACellSurvivesTheJoin) {
  const int32_t box = Box();
  // One table row of two visual rows: the first cell holds two paragraphs.
  std::vector<LineRec> rows;
  for (int32_t r = 0; r < 2; ++r)
    for (int32_t c = 0; c < 3; ++c) {
      rows.push_back(
          Cell(r == 0 && c == 0 ? "first" : (r == 1 && c == 0 ? "second" : ""), c, 1, 5));
      rows.back().rowStart = r == 0;
      rows.back().rowEnd = r == 1;
    }
  rows[0].endKind = kEndParagraph;
  rows[3].para.indentLeft = 4;  // the second paragraph's own format
  SetLines(box, std::move(rows));
  Layout();
  ASSERT_EQ(field(box).lineCount(), 6);
  EXPECT_EQ(Text(line(box, 0)), "first");
  EXPECT_EQ(line(box, 0).endKind, kEndParagraph);
  EXPECT_EQ(Text(line(box, 3)), "second");
  EXPECT_DOUBLE_EQ(line(box, 3).para.indentLeft, 4) << "handed on through the line-end cell";
  EXPECT_DOUBLE_EQ(line(box, 0).para.indentLeft, 0);
}

TEST_F(LineBreaking, BreakingEverythingAgainGivesTheSameLines) {
  // Long paragraphs between short ones: the join takes many lines out at once and the splits
  // put many back, both in one sweep over the field.
  std::vector<LineRec> lines;
  for (int p = 0; p < 6; ++p) lines.push_back(Line(Words(p % 2 ? 3 : 120, 7)));
  SetLines(0, std::move(lines));
  Layout();
  ASSERT_EQ(field(0).lineCount(), 3 * 12 + 3);
  doc().Cursor = doc().Anchor = CursorPos{0, 17, 30};
  const std::string cursorLine = Text(line(0, 17));
  const std::string once = LayoutState();
  SetAllDirtyFlags(doc());
  Layout();
  EXPECT_EQ(LayoutState(), once);
  EXPECT_EQ(Text(line(0, 17)), cursorLine);
}

TEST_F(LineBreaking, ASecondPassChangesNothingAndUnsharesNoCells) {
  std::vector<LineRec> lines{Line(Words(40, 7)), Line(std::string(15, 'a') + "\tb")};
  lines.push_back(Line(""));
  SetLines(0, std::move(lines));
  Layout();
  const std::string once = LayoutState();
  const std::vector<FieldRec> snapshot = doc().fields;  // shares every cell array
  Layout();
  EXPECT_EQ(LayoutState(), once);
  for (int32_t l = 0; l < field(0).lineCount(); ++l)
    EXPECT_TRUE(line(0, l).chars.sameCells(snapshot[0].lines[l].chars)) << "line " << l;
}

TEST_F(LineBreaking, MisspeltWordsAreMarkedAndMarksThatStandAreNotRewritten) {
  const uint8_t misspelt = 1u << kFlagMisspelt;
  LineRec l = Line("Das Hauss ist-gut, 12x \xE4rger");
  l.chars.mut(0).charFlags = misspelt;  // an old mark on a word now correct
  const WordCheck check = [](std::string_view word) { return word != "Hauss" && word != "12x"; };
  MarkMisspeltWords(l, check);
  std::string marks;
  for (const CharRec& c : l.chars) marks.push_back(c.charFlags & misspelt ? 'x' : '.');
  EXPECT_EQ(marks, "....xxxxx..........xxx......")
      << "words are letters, digits and hyphens of the code page";

  // A second check with the same answers writes no cell: the line stays shared.
  const CharArray shared = l.chars;
  MarkMisspeltWords(l, check);
  EXPECT_TRUE(l.chars.sameCells(shared));
}

}  // namespace
}  // namespace paginor
