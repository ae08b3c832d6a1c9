// Page flow: continuation pages, page breaks, linked text boxes, footnote areas and the field
// indexes that survive removed fields. Lines are one 5-mm cell each, every line a paragraph; a
// page body holds 49 of them (50 mm of margins, 296.86 mm of quantised A4 height).
#include "layout_test_util.h"

namespace paginor {
namespace {

using test::kBodyHeight;
using test::LayoutTest;

struct PageFlow : LayoutTest {
  std::vector<LineRec> Lines(int n) {
    std::vector<LineRec> out;
    for (int i = 0; i < n; ++i)
      out.push_back(Line(std::string(1, static_cast<char>('a' + i % 26))));
    return out;
  }
  // A footnote area for footnote `no` with `lines` lines of 5 mm, the first one starting with the
  // footnote mark.
  int32_t AddFootnoteArea(int32_t no, int lines) {
    const int32_t i = NewPage(doc(), AddLine::No);
    FieldRec& f = field(i);
    f.type = kFieldFooter;
    f.footnoteNo = no;
    f.top = 29.5;
    f.bottom = 24.5;
    f.topFromBottom = f.bottomFromBottom = f.rightFromRight = 1;
    f.marginTop = f.marginBottom = 0;
    for (int k = 0; k < lines; ++k) f.lines.push_back(Line("note"));
    CharRec mark = Cell('1');
    mark.kind = kCharFootnoteMark;
    mark.setFootnoteId(static_cast<uint16_t>(no));
    f.lines[0].chars.insert(0, mark);
    return i;
  }
  void AddReference(int32_t f, int32_t l, int32_t no) {
    CharRec ref = Cell('1');
    ref.kind = kCharFootnoteRef;
    ref.setFootnoteId(static_cast<uint16_t>(no));
    line(f, l).chars.push_back(ref);
    line(f, l).dirty = 1;
  }
  const CharRec& Reference(int32_t f, int32_t l) { return line(f, l).chars.back(); }
  const CharRec& Mark(int32_t area) { return line(area, 0).chars[0]; }
  int32_t TextBox(int32_t page, double top, double bottom) {
    const int32_t i = NewField(doc());
    FieldRec& f = field(i);
    f.type = kFieldTextBox;
    f.page = page;
    f.left = 10;
    f.right = 170;
    f.top = top;
    f.bottom = bottom;
    f.lines.push_back(Line(""));
    return i;
  }
};

TEST_F(PageFlow, OverflowAddsAContinuationPageAndDeletingTheTextRemovesIt) {
  SetLines(0, Lines(60));
  Layout();
  ASSERT_EQ(doc().fieldCount(), 8);
  EXPECT_EQ(field(0).lineCount(), 49) << "50 + 49 x 5 = 295 <= " << kBodyHeight + 50;
  const FieldRec& next = field(7);
  EXPECT_EQ(next.type, kFieldBody);
  EXPECT_EQ(next.page, 1);
  EXPECT_EQ(next.prevField, 0);
  EXPECT_EQ(next.nextField, -1);
  EXPECT_EQ(field(0).nextField, 7);
  EXPECT_EQ(next.lineCount(), 11);
  EXPECT_DOUBLE_EQ(next.marginTop, field(0).marginTop) << "a copy of the page before";
  EXPECT_EQ(GetAnzPages(doc()), 2);

  // The cursor on page 2 moves with its line when the text flows back.
  const std::string fifthOnPage2 = Text(line(7, 5));
  field(0).lines.erase(0, 20);
  line(0, 0).dirty = 1;
  doc().Cursor = doc().Anchor = CursorPos{7, 5, 0};
  Layout();
  EXPECT_EQ(doc().fieldCount(), 7) << "page 2 is gone in the same pass";
  EXPECT_EQ(field(0).nextField, -1);
  EXPECT_EQ(field(0).lineCount(), 40);
  EXPECT_EQ(doc().Cursor, (CursorPos{0, 34, 0}));
  EXPECT_EQ(Text(line(0, 34)), fifthOnPage2);
  EXPECT_EQ(GetAnzPages(doc()), 1);
}

TEST_F(PageFlow, ManyPagesFlowAndFlowBackInOnePass) {
  SetLines(0, Lines(49 * 5 + 3));
  Layout();
  ASSERT_EQ(doc().fieldCount(), 12);
  for (int32_t p = 1; p <= 5; ++p) {
    const int32_t i = 6 + p;
    EXPECT_EQ(field(i).page, p);
    EXPECT_EQ(field(i).prevField, p == 1 ? 0 : i - 1);
    EXPECT_EQ(field(i).lineCount(), p == 5 ? 3 : 49);
  }
  const std::string once = LayoutState();
  Layout();
  EXPECT_EQ(LayoutState(), once);

  // Shorter lines everywhere: everything fits page 1 again.
  for (int32_t f : {0, 7, 8, 9, 10, 11})
    for (LineRec& l : field(f).lines) {
      l.para.lineSpacingMode = 2;
      l.para.lineSpacing = 0.5;
      l.dirty = 1;
    }
  Layout();
  EXPECT_EQ(doc().fieldCount(), 7);
  EXPECT_EQ(field(0).lineCount(), 248);
  EXPECT_EQ(field(0).nextField, -1);
}

TEST_F(PageFlow, APageBreakMovesOnlyTheLinesAfterIt) {
  std::vector<LineRec> lines = Lines(3);
  lines[2].endKind = kEndPageBreak;
  SetLines(0, std::move(lines));
  Layout();
  EXPECT_EQ(doc().fieldCount(), 7) << "nothing follows the page break";

  lines = Lines(4);
  lines[1].endKind = kEndPageBreak;
  SetLines(0, std::move(lines));
  Layout();
  ASSERT_EQ(doc().fieldCount(), 8);
  EXPECT_EQ(field(0).lineCount(), 2);
  EXPECT_EQ(field(7).lineCount(), 2);
  EXPECT_EQ(field(7).page, 1);
}

TEST_F(PageFlow, FootnotesStackAtThePageBottomInReferenceOrder) {
  SetLines(0, Lines(60));
  const int32_t first = AddFootnoteArea(1, 2);   // 10 mm
  const int32_t second = AddFootnoteArea(2, 1);  // 5 mm
  AddReference(0, 2, 1);
  AddReference(0, 5, 2);
  Layout();
  const FieldRec& a = field(first);
  const FieldRec& b = field(second);
  EXPECT_EQ(a.page, 0);
  EXPECT_EQ(b.page, 0);
  // Measured from the page's bottom edge: the second sits on the body's 25 mm margin, the first
  // above it.
  EXPECT_DOUBLE_EQ(b.bottom, 25);
  EXPECT_DOUBLE_EQ(b.top, 30);
  EXPECT_DOUBLE_EQ(a.bottom, 30);
  EXPECT_DOUBLE_EQ(a.top, 40);
  EXPECT_EQ(a.firstFootnote, 1);
  EXPECT_EQ(b.firstFootnote, 0);
  EXPECT_EQ(Reference(0, 2).number(), 1);
  EXPECT_EQ(Reference(0, 5).number(), 2);
  EXPECT_EQ(Mark(first).number(), 1);
  EXPECT_EQ(Mark(second).number(), 2);
  EXPECT_EQ(field(0).lineCount(), 46) << "the body's text area shrinks by 15 mm";
  EXPECT_TRUE(GettingOps(doc().fonts[Reference(0, 2).fontIndex].attributes, kAttrSuperscript));

  // A second pass gives the same and leaves the cells shared with an undo snapshot.
  const std::string once = LayoutState();
  const std::vector<FieldRec> snapshot = doc().fields;
  Layout();
  EXPECT_EQ(LayoutState(), once);
  EXPECT_TRUE(line(0, 2).chars.sameCells(snapshot[0].lines[2].chars));
  EXPECT_TRUE(line(first, 0).chars.sameCells(snapshot[first].lines[0].chars));
}

TEST_F(PageFlow, AFootnoteAreaIsAtMostHalfAPage) {
  SetLines(0, Lines(3));
  const int32_t area = AddFootnoteArea(1, 70);  // 350 mm of lines
  AddReference(0, 1, 1);
  Layout();
  EXPECT_DOUBLE_EQ(field(area).top - field(area).bottom, 148.5);
}

TEST_F(PageFlow, DeletingAReferenceRemovesItsAreaAndRenumbersTheRest) {
  SetLines(0, Lines(10));
  const int32_t a1 = AddFootnoteArea(1, 1);
  const int32_t a2 = AddFootnoteArea(2, 1);
  const int32_t a3 = AddFootnoteArea(3, 1);
  AddReference(0, 1, 1);
  AddReference(0, 2, 2);
  AddReference(0, 3, 3);
  Layout();
  EXPECT_EQ(Reference(0, 3).number(), 3);
  ASSERT_EQ(doc().fieldCount(), 10);

  line(0, 1).chars.erase(1, 2);  // the first reference
  line(0, 1).dirty = 1;
  Layout();
  ASSERT_EQ(doc().fieldCount(), 9) << "the area of footnote 1 is gone";
  EXPECT_EQ(field(a1).footnoteNo, 2) << "the later fields moved down";
  EXPECT_EQ(field(a2).footnoteNo, 3);
  EXPECT_EQ(Reference(0, 2).number(), 1);
  EXPECT_EQ(Reference(0, 3).number(), 2);
  EXPECT_EQ(Mark(a1).number(), 1);
  EXPECT_EQ(Mark(a2).number(), 2);
  EXPECT_EQ(field(a1).firstFootnote, 1);
  EXPECT_DOUBLE_EQ(field(a2).bottom, 25);
  (void)a3;
}

TEST_F(PageFlow, ReferencesInTextBoxesAreNumberedBeforeThoseInTheBody) {
  SetLines(0, Lines(5));
  const int32_t bodyNote = AddFootnoteArea(1, 1);
  const int32_t box = TextBox(0, 100, 150);
  const int32_t boxNote = AddFootnoteArea(2, 1);
  AddReference(0, 3, 1);
  field(box).lines[0] = Line("box");
  AddReference(box, 0, 2);
  Layout();
  EXPECT_EQ(Reference(box, 0).number(), 1);
  EXPECT_EQ(Reference(0, 3).number(), 2);
  EXPECT_EQ(field(boxNote).firstFootnote, 1);
  EXPECT_GT(field(boxNote).bottom, field(bodyNote).bottom) << "placed first, it sits higher";
}

TEST_F(PageFlow, AFootnoteIsPlacedOnThePageItsLineMovesTo) {
  SetLines(0, Lines(60));
  const int32_t area = AddFootnoteArea(1, 2);  // 10 mm
  AddReference(0, 48, 1);                      // the last line that would fit without its footnote
  Layout();
  EXPECT_EQ(field(0).lineCount(), 48) << "line and footnote do not fit together";
  EXPECT_EQ(field(area).page, 1);
  EXPECT_EQ(field(area).firstFootnote, 1);
  EXPECT_DOUBLE_EQ(field(area).bottom, 25);
  const int32_t page2 = field(0).nextField;
  EXPECT_EQ(Reference(page2, 0).number(), 1) << "numbered once, not once per page";
}

TEST_F(PageFlow, AReferenceWithoutAreaIsSkipped) {
  SetLines(0, Lines(3));
  AddReference(0, 1, 7);  // no area 7
  AddReference(0, 2, 0);  // a damaged reference naming no footnote
  Layout();
  EXPECT_EQ(Reference(0, 1).number(), 0);
  EXPECT_EQ(doc().fieldCount(), 7);
  EXPECT_EQ(field(2).page, 0) << "the footers (footnote number 0) are not moved";
  EXPECT_DOUBLE_EQ(field(2).top, 24.5);
}

TEST_F(PageFlow, TextThatRunsPastAFieldKeepsItsFootnotes) {
  // A header has no continuation: its text runs past its bottom edge. A footnote referenced
  // there must not be taken for deleted.
  std::vector<LineRec> header;
  for (int i = 0; i < 10; ++i) header.push_back(Line("h"));
  SetLines(5, std::move(header));
  const int32_t area = AddFootnoteArea(1, 1);
  AddReference(5, 8, 1);
  Layout();
  ASSERT_EQ(doc().fieldCount(), 8);
  EXPECT_EQ(field(area).unreferenced, 0);
  EXPECT_EQ(Reference(5, 8).number(), 1);
  EXPECT_EQ(field(5).lineCount(), 10);
}

TEST_F(PageFlow, AnObjectOnPageFiveMakesFivePages) {
  SetLines(0, Lines(60));
  TextBox(4, 20, 40);
  Layout();
  EXPECT_EQ(GetAnzPages(doc()), 5);
}

TEST_F(PageFlow, LinkedTextBoxesPassTextOn) {
  const int32_t a = TextBox(0, 20, 40);  // 20 mm: four lines
  const int32_t b = TextBox(1, 20, 100);
  field(a).nextField = b;
  field(b).prevField = a;
  std::vector<LineRec> text = Lines(6);
  SetLines(a, std::move(text));
  Layout();
  EXPECT_EQ(field(a).lineCount(), 4);
  ASSERT_EQ(field(b).lineCount(), 3) << "two lines and the line the box was created with";
  EXPECT_EQ(Text(line(b, 0)), "e");
  const std::string once = LayoutState();
  Layout();
  EXPECT_EQ(LayoutState(), once);
}

TEST_F(PageFlow, ABoxLeftEmptyKeepsAPlainLineOfItsOwn) {
  const int32_t a = TextBox(0, 20, 100);
  const int32_t b = TextBox(1, 20, 100);
  field(a).nextField = b;
  field(b).prevField = a;
  LineRec tabbed = Line("y");
  tabbed.para.tabs = {{30, 2, 1}};
  tabbed.para.bulletFont = "Symbol";
  SetLines(b, {});
  field(b).lines.push_back(std::move(tabbed));
  Layout();
  ASSERT_EQ(field(a).lineCount(), 2) << "the text fits the first box";
  EXPECT_EQ(line(a, 1).para.tabs.size(), 1u);
  EXPECT_EQ(line(a, 1).para.bulletFont, "Symbol");
  ASSERT_EQ(field(b).lineCount(), 1);
  const LineRec& placeholder = line(b, 0);
  EXPECT_EQ(placeholder.charCount(), 0);
  EXPECT_EQ(placeholder.endKind, kEndSoft);
  EXPECT_EQ(placeholder.lineAnchorId, 0);
  EXPECT_TRUE(placeholder.para.tabs.empty());
  EXPECT_TRUE(placeholder.para.bulletFont.empty());
}

TEST_F(PageFlow, StoredFieldIndexesFollowTheirFieldsWhenPagesGo) {
  SetLines(0, Lines(60));
  Layout();
  ASSERT_EQ(doc().fieldCount(), 8);  // page 2 is field 7
  const int32_t box = TextBox(0, 100, 150);
  field(box).lines[0] = Line("abcd");
  field(box).anchorWork.field = box;
  field(box).anchorWork.line = 0;
  field(3).anchorWork.field = 7;  // names the page that will go
  field(3).anchorWork.line = 2;
  field(0).lines.erase(0, 30);
  line(0, 0).dirty = 1;
  doc().Cursor = CursorPos{box, 0, 1};
  doc().Anchor = CursorPos{box, 0, 3};
  Layout();
  ASSERT_EQ(doc().fieldCount(), 8) << "page 2 went, the box moved down to index 7";
  EXPECT_EQ(field(7).type, kFieldTextBox);
  EXPECT_EQ(doc().Cursor, (CursorPos{7, 0, 1}));
  EXPECT_EQ(doc().Anchor, (CursorPos{7, 0, 3}));
  EXPECT_EQ(field(7).anchorWork.field, 7);
  EXPECT_EQ(field(3).anchorWork.field, 0) << "the removed page's predecessor";

  // The same when a footnote area goes.
  const int32_t area = AddFootnoteArea(1, 1);
  const int32_t box2 = TextBox(0, 160, 190);
  doc().Cursor = doc().Anchor = CursorPos{box2, 0, 0};
  Layout();  // no reference: the area goes
  EXPECT_EQ(doc().fieldCount(), area + 1);
  EXPECT_EQ(doc().Cursor, (CursorPos{area, 0, 0}));
  EXPECT_EQ(field(area).type, kFieldTextBox);
}

}  // namespace
}  // namespace paginor
