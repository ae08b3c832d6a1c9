// Long runs without spaces (a pasted address, a base64 block, a column of codes) broken into
// lines: cut where they overflow, at soft hyphens, after hyphens, before tabs, and a word after
// such a run split at its syllables; in the page body, in a table cell and in two columns. The
// expected breaks are written out line by line: "79" is a line of 79 cells ending softly, "50-"
// one that ends with a drawn hyphen, "12." one that ends its paragraph. Cells are 2 mm wide, so
// a line of the page body takes 79 of them.
#include <string>
#include <vector>

#include "layout/hyphenation.h"
#include "layout_test_util.h"

namespace paginor {
namespace {

using test::LayoutTest;
using test::Words;

// `n` characters of a base64 text: letters, digits, "+" and "/", never a space or a hyphen.
std::string Base64Run(int n, unsigned seed = 1) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string s;
  unsigned x = seed;
  for (int i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    s.push_back(kAlphabet[(x >> 16) % 64]);
  }
  return s;
}

// Syllable boundaries f-g, k-l and p-q for the window, as the hyphenation cases of the line
// breaker use.
void UseTestPatterns(TMDIChild& w) {
  HyphenTable& t = w.app.hyphenTables[0];
  t = HyphenTable();
  for (const char* p : {"fg", "kl", "pq"}) t.groups[1].push_back(HyphenPattern{p, {{1, 1}}});
  SortHyphenGroups(t);
  t.loaded = true;
  w.hyphenTable = &t;
  w.hyphenCache.words.clear();
}

struct UnspacedRuns : LayoutTest {
  UnspacedRuns() {
    UseTestPatterns(w());
    doc().autoHyphenation = 1;
  }

  // The breaks of the lines [from, to) of field 0 taking every `step`-th line (the lines of one
  // cell column of a table).
  std::vector<std::string> Breaks(int32_t from = 0, int32_t to = -1, int32_t step = 1) {
    if (to < 0) to = field(0).lineCount();
    std::vector<std::string> out;
    for (int32_t i = from; i < to; i += step) {
      const LineRec& l = line(0, i);
      std::string b = std::to_string(l.charCount());
      if (l.endsWithHyphen) b += '-';
      if (l.endKind == kEndParagraph) b += '.';
      if (l.endKind == kEndLineBreak) b += '/';
      out.push_back(b);
    }
    return out;
  }
  // The text of the same lines, put together again.
  std::string Joined(int32_t from = 0, int32_t to = -1, int32_t step = 1) {
    if (to < 0) to = field(0).lineCount();
    std::string s;
    for (int32_t i = from; i < to; i += step) s += Text(line(0, i));
    return s;
  }
  void MarkSoftHyphens(LineRec& l, std::initializer_list<int32_t> at) {
    for (int32_t i : at) l.chars.mut(i).charFlags = 1u << kFlagSoftHyphen;
  }
  LineRec TableCell(const std::string& text, int32_t cells, int32_t column, bool start, bool end) {
    LineRec l = Line(text, kEndSoft);
    l.inTable = 1;
    l.rowStart = start;
    l.rowEnd = end;
    l.rowCells = cells;
    l.cellColumn = column;
    l.para.indentLeft = l.para.indentRight = 1;
    return l;
  }
};

using Lines = std::vector<std::string>;

TEST_F(UnspacedRuns, ARunIsCutWhereItOverflowsAndAfterItsLastHyphen) {
  const std::string run = Base64Run(1000);
  SetLines(0, {Line(run)});
  Layout();
  EXPECT_EQ(Breaks(),
            (Lines{"79", "79", "79", "79", "79", "79", "79", "79", "79", "79", "79", "79", "52."}));
  EXPECT_EQ(Joined(), run);

  // An address with a few hyphens: a line ends after the last hyphen it holds.
  std::string url = "https://example.org/" + Base64Run(150, 2) + "-" + Base64Run(40, 3) + "-x-" +
                    Base64Run(300, 4);
  SetLines(0, {Line(url)});
  Layout();
  EXPECT_EQ(Breaks(), (Lines{"79", "79", "56", "79", "79", "79", "63."}));
  EXPECT_EQ(Joined(), url);
}

TEST_F(UnspacedRuns, SoftHyphensInARunBreakItButNeverBeforeALinesFirstCell) {
  const std::string run = Base64Run(400, 5);
  std::vector<LineRec> lines{Line(run)};
  // 50 lies before the first overflow (79); 129 is the second line's overflowing cell, which
  // then starts the third line; 150 ends the third line and starts the fourth, where it is no
  // break opportunity; 300 and 310 each end a line.
  MarkSoftHyphens(lines[0], {50, 129, 150, 300, 310});
  SetLines(0, std::move(lines));
  Layout();
  EXPECT_EQ(Breaks(), (Lines{"50-", "79-", "21-", "79", "71-", "10-", "79", "11."}));
  EXPECT_EQ(Joined(), run);
}

// A line that starts inside a run sees the word from its first cell on: with the rest of the run
// 25 letters or less, that word is split at its syllables; with 26 it is cut. Letters of 10 mm,
// 15 a line.
TEST_F(UnspacedRuns, TheRestOfARunIsSplitWhenItIsShortEnough) {
  const std::string letters = "abcdefghijklmnopqrstuvwxyz";
  const std::string run40 = letters + letters.substr(0, 14);  // the second line sees 25
  SetLines(0, {Line(run40, kEndParagraph, 10.0)});
  Layout();
  // "pqrstuvwxyzabcdefghijklmn" has one boundary before its overflow, after the "p".
  EXPECT_EQ(Breaks(), (Lines{"15", "1-", "15", "9."}));
  SetLines(0, {Line(run40 + "o", kEndParagraph, 10.0)});
  Layout();
  EXPECT_EQ(Breaks(), (Lines{"15", "15", "11."}));
  // A space after the run ends the word as the run's end does.
  SetLines(0, {Line(run40 + " " + letters, kEndParagraph, 10.0)});
  Layout();
  EXPECT_EQ(Breaks(), (Lines{"15", "1-", "15", "10", "15", "11."}));
}

TEST_F(UnspacedRuns, AWordAfterARunIsSplitAtItsSyllables) {
  const std::string run = Base64Run(150, 6);
  const std::string word = "abcdefghijklmnopqrst";  // boundaries after f, k and p
  const std::string rest = " " + Words(12, 5);

  // After a space: the word's last syllable before the overflow ends the line.
  SetLines(0, {Line(run + " " + word + rest)});
  Layout();
  EXPECT_EQ(Breaks(), (Lines{"79", "78-", "76-", "10."}));
  EXPECT_EQ(Text(line(0, 1)), run.substr(79) + " abcdef");

  // A word of 25 letters that a hyphen joins to another long run is still split; one of 26 is
  // not, and the line ends at the space before it.
  const std::string tail = "-" + Base64Run(200, 7);
  SetLines(0, {Line(run + " " + "abcdefghijklmnopqrstuvwxy" + tail)});
  Layout();
  EXPECT_EQ(Breaks(), (Lines{"79", "78-", "20", "79", "79", "42."}));
  EXPECT_EQ(Text(line(0, 2)), "ghijklmnopqrstuvwxy-");
  SetLines(0, {Line(run + " " + "abcdefghijklmnopqrstuvwxyz" + tail)});
  Layout();
  EXPECT_EQ(Breaks(), (Lines{"79", "72", "27", "79", "79", "42."}));

  // After a tab the word has no boundary before the overflow: the tab starts the next line.
  SetLines(0, {Line(run + "\t" + word + rest)});
  Layout();
  EXPECT_EQ(Breaks(), (Lines{"79", "71", "73-", "20."}));
  EXPECT_EQ(Text(line(0, 2)).front(), '\t');

  // Joined to the run by a hyphen the word is not split automatically: the line ends after the
  // hyphen.
  SetLines(0, {Line(run + "-" + word + rest)});
  Layout();
  EXPECT_EQ(Breaks(), (Lines{"79", "72", "77-", "15."}));

  // Joined without any mark the word is part of the run, which is cut.
  SetLines(0, {Line(run + word + rest)});
  Layout();
  EXPECT_EQ(Breaks(), (Lines{"79", "79", "79", "5."}));
  EXPECT_EQ(Joined(), run + word + rest);
}

// Row 1: a run with a soft hyphen in the middle cell, words beside it, and a word that is split
// at its syllables in the last cell. Row 2: a run that ends a paragraph inside the first cell,
// followed by an indented paragraph, a short run in the middle cell and an empty last cell.
// Cells of 53.27 mm less 1 mm on either side take 25 cells of 2 mm.
struct RunsInTables : UnspacedRuns {
  void BuildTable() {
    std::vector<LineRec> lines;
    lines.push_back(Line("Davor."));
    lines.push_back(TableCell(Words(9, 5), 3, 0, true, true));
    lines.push_back(TableCell(Base64Run(200, 8), 3, 1, true, true));
    MarkSoftHyphens(lines.back(), {60});
    lines.push_back(TableCell("xxxxxxx abcdefghijklmnopqrst yy", 3, 2, true, true));
    lines.push_back(TableCell(Base64Run(90, 9), 3, 0, true, false));
    lines.back().endKind = kEndParagraph;
    lines.push_back(TableCell(Base64Run(30, 10), 3, 1, true, false));
    lines.push_back(TableCell("", 3, 2, true, false));
    lines.push_back(TableCell(Base64Run(70, 11), 3, 0, false, true));
    lines.back().para.indentLeft = 6;
    lines.push_back(TableCell("z", 3, 1, false, true));
    lines.push_back(TableCell("", 3, 2, false, true));
    lines.push_back(Line("Danach."));
    SetLines(0, std::move(lines));
  }
  // The breaks of field 0 with each visual row of a table in brackets.
  std::string RowBreaks() {
    std::string s;
    const Lines b = Breaks();
    for (int32_t i = 0; i < field(0).lineCount(); ++i) {
      const LineRec& l = line(0, i);
      const bool cell = l.inTable && l.rowCells > 1;
      if (!s.empty()) s += " ";
      if (cell && l.cellColumn == 0) s += "[";
      s += b[static_cast<size_t>(i)];
      if (cell && l.cellColumn == l.rowCells - 1) s += "]";
    }
    return s;
  }
};

TEST_F(RunsInTables, ARunInACellBreaksIntoTheVisualRowsOfItsColumn) {
  BuildTable();
  const std::string middle = Base64Run(200, 8);
  Layout();
  EXPECT_EQ(RowBreaks(),
            "6. [24 25 24-] [24 25 7] [5 10- 0] [0 25 0] [0 25 0] [0 25 0] [0 25 0] [0 25 0] "
            "[0 15 0] [25 25 0] [25 6 0] [25 0 0] [15. 0 0] [23 0 0] [23 0 0] [23 0 0] [1 0 0] "
            "7.");
  EXPECT_EQ(Joined(1, 28, 3), Words(9, 5));
  EXPECT_EQ(Joined(2, 28, 3), middle);
  EXPECT_EQ(Joined(3, 28, 3), "xxxxxxx abcdefghijklmnopqrst yy");
  EXPECT_EQ(Joined(28, 52, 3), Base64Run(90, 9) + Base64Run(70, 11));
  EXPECT_EQ(Joined(29, 52, 3), Base64Run(30, 10) + "z");
  // The paragraph after the end inside the cell keeps its own indent.
  EXPECT_EQ(line(0, 37).para.indentLeft, 1);
  EXPECT_EQ(line(0, 40).para.indentLeft, 6);
  EXPECT_EQ(line(0, 49).para.indentLeft, 6);
  EXPECT_EQ(line(0, 49).rowEnd, 1);
}

// Edits inside the long runs of the cells: the layout after the edit equals a complete one, and
// the Cursor stays behind the character it was behind.
TEST_F(RunsInTables, AnEditInsideARunLaysOutAsACompleteLayoutWould) {
  BuildTable();
  Layout();
  test::Fixture scratch;  // the complete layout, in a window with the same patterns
  UseTestPatterns(scratch.w());
  auto check = [&](const std::string& what) {
    scratch.doc() = doc();
    Layout();
    SetAllDirtyFlags(scratch.doc());
    MakeSoftEnters(scratch.w());
    const Document& full = scratch.doc();
    ASSERT_EQ(field(0).lineCount(), full.fields[0].lineCount()) << what;
    for (int32_t i = 0; i < field(0).lineCount(); ++i) {
      const LineRec& a = line(0, i);
      const LineRec& b = full.fields[0].lines[i];
      EXPECT_EQ(Text(a), Text(b)) << what << " line " << i;
      EXPECT_EQ(a.endKind, b.endKind) << what << " line " << i;
      EXPECT_EQ(a.endsWithHyphen, b.endsWithHyphen) << what << " line " << i;
      EXPECT_EQ(a.lineHeight, b.lineHeight) << what << " line " << i;
      EXPECT_EQ(a.para.indentLeft, b.para.indentLeft) << what << " line " << i;
    }
    EXPECT_EQ(doc().Cursor, full.Cursor) << what;
  };
  // The character before the Cursor, looking into the line above in the same column when the
  // Cursor stands at a line's start.
  auto before = [&]() {
    CursorPos c = doc().Cursor;
    if (c.chr == 0) {
      c.line -= std::max(1, line(0, c.line).rowCells);
      c.chr = line(0, c.line).charCount();
    }
    return line(0, c.line).chars[c.chr - 1].ch;
  };

  // Two letters typed into the middle cell's fifth line (line 14), the Cursor behind them.
  ASSERT_EQ(line(0, 14).cellColumn, 1);
  line(0, 14).chars.insert(4, Cell('Q'));
  line(0, 14).chars.insert(5, Cell('R'));
  line(0, 14).dirty = line(0, 11).dirty = 1;
  doc().Cursor = doc().Anchor = CursorPos{0, 14, 6};
  check("two letters typed into the middle cell");
  EXPECT_EQ(Joined(2, 28, 3).substr(0, 91), Base64Run(200, 8).substr(0, 89) + "QR")
      << "the soft hyphen ends the third line at 60, so the fifth starts at 85";
  EXPECT_EQ(before(), 'R');
  EXPECT_EQ(doc().Cursor, (CursorPos{0, 14, 6}));

  // Five characters deleted from the second row's first cell, at its second line: the cells
  // flow back up the column, the Cursor with them.
  int32_t second = 0;
  while (!(line(0, second).inTable && line(0, second).rowStart && line(0, second).charCount() &&
           line(0, second).chars[0].ch == Base64Run(90, 9)[0]))
    ++second;
  const int32_t at = second + 3;  // the first cell's second line
  ASSERT_EQ(line(0, at).cellColumn, 0);
  const uint8_t kept = line(0, at).chars[1].ch;
  line(0, at).chars.erase(2, 7);
  line(0, at).dirty = line(0, second).dirty = 1;
  doc().Cursor = doc().Anchor = CursorPos{0, at, 2};
  check("five characters deleted from the first cell");
  EXPECT_EQ(before(), kept);
  EXPECT_EQ(Breaks(second, second + 12, 3), (Lines{"25", "25", "25", "10."}));
}

TEST_F(UnspacedRuns, ARunInTwoColumns) {
  LineRec l = Line(Base64Run(300, 12) + " " + "abcdefghijklmnopqrst" + " " + Base64Run(100, 13));
  l.columns = 2;
  MarkSoftHyphens(l, {100});
  SetLines(0, {std::move(l), Line("Danach.")});
  Layout();
  // 73.66-mm columns take 36 cells of 2 mm.
  EXPECT_EQ(Breaks(), (Lines{"36", "36", "28-", "36", "36", "36", "36", "36", "32-", "10", "36",
                             "36", "28.", "7."}));
  std::vector<int32_t> columns;
  for (const LineRec& x : field(0).lines) columns.push_back(x.columnIndex);
  EXPECT_EQ(columns, (std::vector<int32_t>{0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0}));
}

}  // namespace
}  // namespace paginor
