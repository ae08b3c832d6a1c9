// Whole-document copies share their cell arrays until one side changes a line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/snapshot.h"
#include "support/test_support.h"

namespace paginor {
namespace {

TEST(Snapshot, CopySharesCellsUntilALineChanges) {
  test::Fixture fx;
  test::TypeText(fx.w(), "Hallo");
  Document& d = fx.doc();
  UndoSnapshot snap{"Eingabe", d.fields, d.Anchor, d.Cursor, d.currentPage, d.CurrentFormat};

  LineRec& live = d.fields[0].lines[0];
  const LineRec& kept = snap.fields[0].lines[0];
  EXPECT_TRUE(live.chars.sameCells(kept.chars));
  EXPECT_TRUE(live.chars.shared());

  // Reading through a non-const line never unshares.
  int sum = 0;
  for (const CharRec& c : live.chars) sum += c.ch;
  EXPECT_GT(sum, 0);
  EXPECT_TRUE(live.chars.sameCells(kept.chars));

  live.chars.mut(0).ch = 'h';
  EXPECT_FALSE(live.chars.sameCells(kept.chars));
  EXPECT_EQ(kept.chars[0].ch, 'H');
  EXPECT_EQ(live.chars[0].ch, 'h');
  EXPECT_FALSE(live.chars.shared());
}

TEST(Snapshot, LineRecordsAndStringsAreOwnedCopies) {
  test::Fixture fx;
  test::TypeText(fx.w(), "x");
  Document& d = fx.doc();
  LineRec& line = d.fields[0].lines[0];
  line.para.tabs.push_back({40.0, 2, 1});
  line.para.bulletFont = "Wingdings";
  line.chars.mut(0).setText("Seite 1");
  std::vector<FieldRec> copy = d.fields;

  line.para.tabs[0].position = 50.0;
  line.para.bulletFont = "Symbol";
  line.chars.mut(0).setText("Seite 2");
  line.dirty = 1;
  const LineRec& old = copy[0].lines[0];
  EXPECT_DOUBLE_EQ(old.para.tabs[0].position, 40.0);
  EXPECT_EQ(old.para.bulletFont, "Wingdings");
  EXPECT_EQ(old.chars[0].text(), "Seite 1");
  EXPECT_EQ(old.dirty, 0);

  // Inserting and removing lines in the copy leaves the document alone.
  copy[0].lines.erase(0);
  EXPECT_EQ(d.fields[0].lineCount(), 1);
}

TEST(Snapshot, CellCopiesDuplicateTheParagraphCarrier) {
  CharRec a;
  ParagraphFormat p;
  p.indentLeft = 7.0;
  a.setParaCarrier(p);
  CharRec b = a;
  ASSERT_TRUE(b.paraCarrier());
  EXPECT_NE(a.paraCarrier(), b.paraCarrier());
  b.paraCarrier()->indentLeft = 9.0;
  EXPECT_DOUBLE_EQ(a.paraCarrier()->indentLeft, 7.0);
}

// What a field or footnote cell holds beside the plain cell belongs to that cell alone: copies
// are equal and independent, a move hands it over, and nothing stays behind when cells go.
TEST(Snapshot, CellExtrasFollowTheirCell) {
  static_assert(sizeof(CharRec) <= 32);
  const size_t before = cell_extras::liveCount();
  {
    CharRec plain;
    plain.setText("");
    plain.setNumber(0);
    EXPECT_EQ(cell_extras::liveCount(), before) << "a plain cell holds no extras";

    CharRec field;
    field.kind = kCharField;
    field.setText("Seite 3");
    field.setCode("page");
    field.setNumber(4);
    field.setFootnoteId(5);
    CharRec copy = field;
    copy.setText("Seite 9");
    EXPECT_EQ(field.text(), "Seite 3");
    EXPECT_EQ(copy.text(), "Seite 9");
    EXPECT_EQ(copy.code(), "page");
    EXPECT_EQ(copy.number(), 4);
    EXPECT_EQ(copy.footnoteId(), 5);

    CharRec moved = std::move(copy);
    EXPECT_EQ(moved.text(), "Seite 9");
    EXPECT_TRUE(copy.text().empty());  // NOLINT(bugprone-use-after-move): moved-from is empty

    std::vector<CharRec> cells(3, field);
    cells.insert(cells.begin() + 1, moved);  // grows and moves the others
    for (int i = 0; i < 50; ++i) cells.push_back(cells[static_cast<size_t>(i % 4)]);
    EXPECT_EQ(cells[1].text(), "Seite 9");
    EXPECT_EQ(cells[53].text(), "Seite 9");
    EXPECT_EQ(cells[52].text(), "Seite 3");

    plain = field;  // assignment over a plain cell copies, over a field cell replaces
    field = CharRec();
    EXPECT_EQ(plain.code(), "page");
    EXPECT_TRUE(field.code().empty());

    // Clearing everything gives the entry back.
    plain.setText("");
    plain.setCode("");
    plain.setNumber(0);
    const size_t held = cell_extras::liveCount();
    plain.setFootnoteId(0);
    EXPECT_EQ(cell_extras::liveCount(), held - 1);
    EXPECT_EQ(plain.footnoteId(), 0);
  }
  EXPECT_EQ(cell_extras::liveCount(), before);
}

// Thousands of field cells take entries from several chunks of the store; each keeps its own
// text, and entries given back are taken again instead of growing the store.
TEST(Snapshot, ManyCellExtrasStayApart) {
  const size_t before = cell_extras::liveCount();
  constexpr int kCells = 10000;  // more than two chunks of entries
  {
    std::vector<CharRec> cells(kCells);
    for (int i = 0; i < kCells; ++i) {
      cells[static_cast<size_t>(i)].kind = kCharField;
      cells[static_cast<size_t>(i)].setText("Feld " + std::to_string(i));
      cells[static_cast<size_t>(i)].setNumber(static_cast<uint16_t>(i));
    }
    EXPECT_EQ(cell_extras::liveCount(), before + kCells);
    std::vector<CharRec> copy = cells;
    cells.erase(cells.begin(), cells.begin() + kCells / 2);
    EXPECT_EQ(cell_extras::liveCount(), before + kCells + kCells / 2);
    for (int i = 0; i < kCells; i += 997) {
      EXPECT_EQ(copy[static_cast<size_t>(i)].text(), "Feld " + std::to_string(i));
      EXPECT_EQ(copy[static_cast<size_t>(i)].number(), i);
    }
    EXPECT_EQ(cells[0].text(), "Feld " + std::to_string(kCells / 2));
  }
  EXPECT_EQ(cell_extras::liveCount(), before);
}

// A snapshot shares a line's cells; changing the carrier of a cell in the document unshares the
// line and leaves the snapshot's carrier as it was.
TEST(Snapshot, ParagraphCarrierOfASharedLine) {
  LineRec line;
  CharRec end;
  end.ch = 13;
  ParagraphFormat p;
  p.spaceAbove = 3.0;
  end.setParaCarrier(p);
  line.chars.edit().push_back(end);
  const LineRec snapshot = line;
  ASSERT_TRUE(line.chars.shared());
  line.chars.mut(0).paraCarrier()->spaceAbove = 8.0;
  line.chars.mut(0).clearParaCarrier();
  ASSERT_NE(snapshot.chars[0].paraCarrier(), nullptr);
  EXPECT_DOUBLE_EQ(snapshot.chars[0].paraCarrier()->spaceAbove, 3.0);
  EXPECT_EQ(line.chars[0].paraCarrier(), nullptr);
}

TEST(RecordArray, MovingRunsOfLinesKeepsTheRecords) {
  RecordArray<LineRec> a, b;
  for (int i = 0; i < 5; ++i) a.push_back(LineRec{}).endKind = i;
  const LineRec* third = &a[2];
  a.moveTo(2, 4, b, 0);
  ASSERT_EQ(a.size(), 3);
  ASSERT_EQ(b.size(), 2);
  EXPECT_EQ(&b[0], third) << "records move, they are not copied";
  EXPECT_EQ(b[1].endKind, 3);
  EXPECT_EQ(a[2].endKind, 4);
}

}  // namespace
}  // namespace paginor
