// Deleting a marking removes exactly the cells the window draws as marked: inside one table
// row, over table rows, from text into a table, and at a soft line end.

#include <cstdlib>
#include <random>

#include "editing/editor_fixture.h"
#include "editing/marking.h"
#include "model/queries.h"
#include "storage/sbl_format.h"

namespace paginor::test {
namespace {

using MarkedDeletion = EditorTest;

// The cells of a field in reading order (table cells one after the other, each closed by '#'),
// keeping those `keep` allows. Paragraph ends are left out: deleting joins paragraphs.
template <typename Keep>
std::string ReadingOrder(const Document& d, Keep keep, int32_t field = 0) {
  const FieldRec& f = d.fields[field];
  std::string out;
  auto emit = [&](int32_t l) {
    const LineRec& line = f.lines[l];
    for (int32_t c = 0; c < line.charCount(); ++c)
      if (keep(l, c)) out.push_back(static_cast<char>(line.chars[c].ch));
  };
  for (int32_t i = 0; i < f.lineCount();) {
    const LineRec& line = f.lines[i];
    if (!line.inTable || !line.rowStart) {
      emit(i++);
      continue;
    }
    const int32_t n = std::max(1, line.rowCells);
    int32_t visualRows = 1;
    while (!f.lines[i + (visualRows - 1) * n].rowEnd && i + visualRows * n < f.lineCount())
      ++visualRows;
    for (int32_t col = 0; col < n; ++col) {
      for (int32_t v = 0; v < visualRows; ++v) emit(i + v * n + col);
      out.push_back('#');
    }
    i += visualRows * n;
  }
  return out;
}

std::string AllCells(const Document& d, int32_t field = 0) {
  return ReadingOrder(d, [](int32_t, int32_t) { return true; }, field);
}

// Table rows and their cell counts, for "the table keeps its shape".
std::vector<int32_t> TableShape(const Document& d) {
  std::vector<int32_t> shape;
  for (const LineRec& l : d.fields[0].lines)
    if (l.inTable && l.rowStart && l.cellColumn == 0) shape.push_back(l.rowCells);
  return shape;
}

TEST_F(MarkedDeletion, InsideOneRowOnlyTheMarkedColumnLosesText) {
  SetParagraphs({"davor", "danach"});
  // Visual rows: lines 1..3 ("aaaa" "bbbb" "cccc") and 4..6 ("AAAA" "BBBB" "CCCC").
  InsertTable(0, 1, 1, {"aaaa|AAAA", "bbbb|BBBB", "cccc|CCCC"});
  Place(0, 1, 1);
  Keys("{Shift+Down}{Shift+Right}{Delete}");
  EXPECT_EQ(AllCells(doc()), "davoraAA#bbbbBBBB#ccccCCCC#danach");
  EXPECT_EQ(TableShape(doc()), (std::vector<int32_t>{3}));
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 1}));
  ExpectValid();

  // From column 1 down to column 2: column 0 lies between the ends in line order and stays.
  Keys("{Undo}");
  EXPECT_EQ(AllCells(doc()), "davoraaaaAAAA#bbbbBBBB#ccccCCCC#danach");
  doc().Anchor = CursorPos{0, 2, 2};
  doc().Cursor = CursorPos{0, 6, 1};
  Keys("{Delete}");
  EXPECT_EQ(AllCells(doc()), "davoraaaaAAAA#bb#CCC#danach");
  ExpectValid();
}

TEST_F(MarkedDeletion, BackspaceAndTypingOverAMarkingInARowKeepTheOtherColumns) {
  SetParagraphs({"davor", "danach"});
  InsertTable(0, 1, 1, {"aaaa|AAAA", "bbbb|BBBB", "cccc|CCCC"});
  Place(0, 1, 1);
  Keys("{Shift+Down}{Backspace}");
  EXPECT_EQ(AllCells(doc()), "davoraAAA#bbbbBBBB#ccccCCCC#danach");
  Keys("{Undo}");
  Place(0, 1, 1);
  Keys("{Shift+Down}x");
  EXPECT_EQ(AllCells(doc()), "davoraxAAA#bbbbBBBB#ccccCCCC#danach");
  ExpectValid();
}

// The example document: a line break in the first cell of the "Äpfel" row, then a marking
// from its second character down into the new visual line, as a user makes it with the keys.
TEST_F(MarkedDeletion, TheExampleTableKeepsQuantityAndPrice) {
  const char* data = std::getenv("PAGINOR_DATA_DIR");
  ASSERT_NE(data, nullptr);
  ASSERT_TRUE(test::Shown(w(), OpenSBLFile(w(), std::string(data) + "/examples/beispiel.sbl")));
  Document& d = doc();
  int32_t field = -1, apples = -1;
  for (int32_t f = 0; f < d.fieldCount() && apples < 0; ++f)
    for (int32_t l = 0; l < d.fields[f].lineCount() && apples < 0; ++l)
      if (Text(f, l).rfind("\xC4pfel", 0) == 0) field = f, apples = l;
  ASSERT_GE(apples, 0);
  ASSERT_TRUE(line(field, apples).inTable);
  const int32_t columns = line(field, apples).rowCells;
  ASSERT_EQ(columns, 3);
  const std::string quantity = Text(field, apples + 1), price = Text(field, apples + 2);
  ASSERT_EQ(quantity, "12 kg");

  Place(field, apples, 6);  // "Äpfel |aus dem Alten Land"
  Keys("{Shift+Enter}{Up}{Home}{Right}{Shift+Down}{Shift+Right}");
  ASSERT_EQ(doc().Anchor.line, apples);
  ASSERT_EQ(cursor(), (CursorPos{field, apples + columns, 2})) << "in the new visual line";
  FindMarkingStart(w());
  // Compare what is drawn as marked with what the deletion removes.
  const std::string kept = ReadingOrder(
      d, [&](int32_t l, int32_t c) { return !isinmarking(w(), field, l, c); }, field);
  for (int32_t col = 1; col < columns; ++col)
    for (int32_t c = 0; c < line(field, apples + col).charCount(); ++c)
      EXPECT_FALSE(isinmarking(w(), field, apples + col, c)) << "column " << col << " drawn marked";
  Keys("{Delete}");
  EXPECT_EQ(AllCells(d, field), kept);
  EXPECT_EQ(Text(field, apples + 1), quantity);
  EXPECT_EQ(Text(field, apples + 2), price);
  ExpectValid();
}

// Random markings over a document with text and a table of multi-line cells: after Delete the
// document holds exactly the cells that were not marked, in the same cells, and the table keeps
// its rows and columns.
TEST_F(MarkedDeletion, RandomMarkingsDeleteExactlyTheMarkedCells) {
  std::mt19937 rng(20261209);
  for (int round = 0; round < 160; ++round) {
    SetParagraphs({"Ein Absatz vor der Tabelle mit etwas Text", "kurz",
                   "Noch ein Absatz nach der Tabelle und ein wenig mehr Text darin"});
    InsertTable(0, 2, 3,
                {"erste Zelle|zweiter Absatz", "mitte", "rechts mit viel mehr Text, damit die "
                                                       "Zelle umbricht|und noch einer"});
    const Document& d = doc();
    const std::vector<int32_t> shape = TableShape(d);
    auto randomPos = [&]() {
      const int32_t l =
          std::uniform_int_distribution<int32_t>(0, d.fields[0].lineCount() - 1)(rng);
      const int32_t c =
          std::uniform_int_distribution<int32_t>(0, d.fields[0].lines[l].charCount())(rng);
      return CursorPos{0, l, c};
    };
    doc().Anchor = randomPos();
    doc().Cursor = randomPos();
    if (!isThereAmarking(w())) continue;
    FindMarkingStart(w());
    const std::string kept =
        ReadingOrder(d, [&](int32_t l, int32_t c) { return !isinmarking(w(), 0, l, c); });
    const std::string what = "round " + std::to_string(round) + " " + State();
    Keys(round % 2 ? "{Delete}" : "{Backspace}");
    ASSERT_EQ(AllCells(d), kept) << what;
    ASSERT_EQ(TableShape(d), shape) << what;
    ExpectValid(what);
  }
}

TEST_F(MarkedDeletion, ShiftEndOnASoftWrappedLineStopsAtItsEnd) {
  SetParagraphs({std::string(70, 'a') + " " + std::string(70, 'b') + " " + std::string(30, 'c')});
  ASSERT_EQ(line(0, 0).endKind, kEndSoft);
  ASSERT_EQ(line(0, 1).endKind, kEndSoft);
  const std::string second = Text(0, 1);
  Keys("{Ctrl+Home}{Shift+End}");
  FindMarkingStart(w());
  EXPECT_FALSE(isinmarking(w(), 0, 1, 0)) << "the next line's first character is not marked";
  Keys("{Delete}");
  EXPECT_EQ(ChainText(), second + std::string(30, 'c') + "|");

  // The same from the middle of the second line: its end, not the third line's start.
  SetParagraphs({std::string(70, 'a') + " " + std::string(70, 'b') + " " + std::string(30, 'c')});
  Place(0, 1, 5);
  Keys("{Shift+End}{Delete}");
  EXPECT_EQ(ChainText(), std::string(70, 'a') + " " + std::string(5, 'b') + std::string(30, 'c') +
                             "|");
}

}  // namespace
}  // namespace paginor::test
