// Column sections: balancing, filling to the page bottom at a field's end, the column break to
// the next page and the column width used for breaking. Lines are one 5-mm cell each. Where the
// height a section takes is not stored, plain lines after it show it: the page body's text area
// is 246.86 mm high, so the number of 5-mm lines that still fit tells the section's height.
#include "layout/columns.h"
#include "layout_test_util.h"

namespace paginor {
namespace {

using test::kBodyTextWidth;
using test::LayoutTest;

struct Columns : LayoutTest {
  // `n` one-cell lines in a section of `columns` columns, then `plain` lines without columns.
  void SetSection(int n, int32_t columns, int plain = 0) {
    std::vector<LineRec> lines;
    for (int i = 0; i < n; ++i) {
      lines.push_back(Line("c"));
      lines.back().columns = columns;
    }
    for (int i = 0; i < plain; ++i) lines.push_back(Line("p"));
    SetLines(0, std::move(lines));
  }
  std::vector<int32_t> ColumnIndexes(int32_t from, int32_t to) {
    std::vector<int32_t> out;
    for (int32_t i = from; i < to; ++i) out.push_back(line(0, i).columnIndex);
    return out;
  }
};

TEST_F(Columns, SixLinesBeforeMoreTextAreBalancedAtFifteenMillimetres) {
  SetSection(6, 2, 60);
  Layout();
  EXPECT_EQ(ColumnIndexes(0, 6), (std::vector<int32_t>{0, 0, 0, 1, 1, 1}));
  EXPECT_DOUBLE_EQ(line(0, 3).columnTopShift, 15);
  EXPECT_DOUBLE_EQ(line(0, 5).columnTailSpace, 0);
  EXPECT_EQ(line(0, 0).opensColumn, 1) << "the section starts at the field's first line";
  EXPECT_EQ(line(0, 3).opensColumn, 1);
  EXPECT_EQ(line(0, 1).opensColumn, 0);
  EXPECT_EQ(line(0, 5).closesColumn, 0) << "more text follows the section";
  EXPECT_EQ(line(0, 4).lastColumn, 1);
  const double columnWidth = (kBodyTextWidth - 12.5) / 2;
  EXPECT_DOUBLE_EQ(line(0, 4).columnX, columnWidth + 12.5);
  EXPECT_DOUBLE_EQ(line(0, 4).separatorLeftX, columnWidth + 12.5 - 6.25);
  EXPECT_DOUBLE_EQ(line(0, 4).separatorRightX, 2 * (columnWidth + 12.5) - 6.25);
  // The text after the section starts 15 mm below its top: 65 + 46 x 5 <= 296.86.
  EXPECT_EQ(field(0).lineCount(), 6 + 46);
  EXPECT_EQ(line(0, 6).columnIndex, 0);
}

TEST_F(Columns, SevenLinesTakeTwentyMillimetres) {
  SetSection(7, 2, 60);
  Layout();
  EXPECT_EQ(ColumnIndexes(0, 7), (std::vector<int32_t>{0, 0, 0, 0, 1, 1, 1}));
  EXPECT_DOUBLE_EQ(line(0, 4).columnTopShift, 20);
  EXPECT_DOUBLE_EQ(line(0, 6).columnTailSpace, 5) << "the shorter column's gap to 20 mm";
  EXPECT_EQ(field(0).lineCount(), 7 + 45);
}

TEST_F(Columns, ASectionAtTheFieldsEndFillsTheFirstColumnToTheBottom) {
  SetSection(6, 2);
  Layout();
  EXPECT_EQ(ColumnIndexes(0, 6), (std::vector<int32_t>(6, 0)));
  EXPECT_EQ(line(0, 0).lastColumn, 0);
  EXPECT_EQ(line(0, 5).closesColumn, 1) << "the section ends at the field's last line";
  // One trial at the available height: the page's 296.86 mm less 50 mm of margins and 1 mm.
  EXPECT_NEAR(line(0, 5).columnTailSpace, 1122 * kMmPerInch / 96 - 51 - 30, 1e-9);

  SetSection(60, 2);
  Layout();
  EXPECT_EQ(line(0, 48).columnIndex, 0) << "49 lines (245 mm) fill the first column";
  EXPECT_EQ(line(0, 49).columnIndex, 1);
  EXPECT_DOUBLE_EQ(line(0, 49).columnTopShift, 245);
  EXPECT_EQ(doc().fieldCount(), 7);
}

TEST_F(Columns, LinesBeyondTheLastColumnMoveToTheNextPage) {
  SetSection(120, 2);
  Layout();
  ASSERT_EQ(doc().fieldCount(), 8);
  EXPECT_EQ(field(0).lineCount(), 98) << "two columns of 49 lines";
  EXPECT_EQ(line(0, 97).columnIndex, 1);
  ASSERT_EQ(field(7).lineCount(), 22);
  // There the section starts again at the field's first line.
  EXPECT_EQ(field(7).lines[0].columnIndex, 0);
  EXPECT_EQ(field(7).lines[0].opensColumn, 1);
  EXPECT_EQ(field(7).lines[21].columnIndex, 0);
  const std::string once = LayoutState();
  Layout();
  EXPECT_EQ(LayoutState(), once);
}

TEST_F(Columns, NeighbouringSectionsAreBalancedEachOnItsOwn) {
  std::vector<LineRec> lines;
  for (int i = 0; i < 10; ++i) {
    lines.push_back(Line("c"));
    lines.back().columns = i < 4 ? 2 : 3;
  }
  for (int i = 0; i < 60; ++i) lines.push_back(Line("p"));
  SetLines(0, std::move(lines));
  Layout();
  EXPECT_EQ(ColumnIndexes(0, 10), (std::vector<int32_t>{0, 0, 1, 1, 0, 0, 1, 1, 2, 2}));
  EXPECT_EQ(line(0, 4).opensColumn, 0) << "the second section does not start the field";
  // 10 mm each, one below the other: the text follows 20 mm below the first section's top.
  EXPECT_EQ(field(0).lineCount(), 10 + 45);
}

TEST_F(Columns, SectionLinesBreakAtTheColumnWidth) {
  LineRec l = Line(std::string(40, 'a'));
  l.columns = 2;
  SetLines(0, {std::move(l)});
  Layout();
  EXPECT_EQ(Texts(0), (std::vector<std::string>{std::string(36, 'a'), std::string(4, 'a')}))
      << "73.66 mm columns take 36 cells of 2 mm";
}

TEST(ColumnBalancing, ALineTallerThanThePageEndsTheSearch) {
  RecordArray<LineRec> lines;
  for (double h : {300.0, 5.0, 5.0}) {
    LineRec l;
    l.columns = 2;
    l.lineHeight = h;
    lines.push_back(std::move(l));
  }
  lines.push_back(LineRec());  // more text after the section
  const LineSpan span = LineSpan::Of(lines);
  EXPECT_TRUE(isfirstSpaltenrow(span, 0));
  EXPECT_FALSE(isfirstSpaltenrow(span, 1));
  EXPECT_TRUE(isfirstSpaltenrow(span, 3));
  // Every trial fails; the last one (at the available height) stands.
  const ColumnPlacement p = getspalteninfo(span, 1, 100);
  EXPECT_DOUBLE_EQ(p.balancedHeight, 100);
  EXPECT_TRUE(p.startsAtFieldStart);
  EXPECT_FALSE(p.endsAtFieldEnd);
  EXPECT_EQ(getspalteninfo(span, 0, 100).columnIndex, 1) << "the tall line opened a column";
  EXPECT_FALSE(getspalteninfo(span, 0, 100).columnBreak);
  EXPECT_TRUE(getspalteninfo(span, 2, 100).columnBreak) << "no room for a third column";
}

TEST(ColumnBalancing, OnlyTheFirstCellOfATableRowAdvances) {
  RecordArray<LineRec> lines;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 2; ++c) {
      LineRec l;
      l.columns = 2;
      l.lineHeight = 5;
      l.rowCells = 2;
      l.cellColumn = c;
      lines.push_back(std::move(l));
    }
  lines.push_back(LineRec());
  const LineSpan span = LineSpan::Of(lines);
  // Four rows of 5 mm balance at 10 mm: two rows in each column.
  EXPECT_DOUBLE_EQ(getspalteninfo(span, 0, 200).balancedHeight, 10);
  EXPECT_EQ(getspalteninfo(span, 3, 200).columnIndex, 0);
  EXPECT_EQ(getspalteninfo(span, 4, 200).columnIndex, 1);
  EXPECT_EQ(getspalteninfo(span, 5, 200).columnIndex, 1);
}

}  // namespace
}  // namespace paginor
