// Construction primitives and queries: interning, character insertion, field removal, chains,
// anchors and the picture list.
#include <gtest/gtest.h>

#include "model/primitives.h"
#include "model/queries.h"
#include "platform/pictures/dib.h"
#include "support/test_support.h"

namespace paginor {
namespace {

TEST(FontInterning, EqualFormatsShareAnEntryAndAnyDifferenceAddsOne) {
  test::Fixture fx;
  Document& d = fx.doc();
  const int32_t before = d.fontCount();
  FontRec f = FontOfCurrentFormat(d.CurrentFormat);
  int32_t a = GetNewFontIndex(d, f);
  EXPECT_EQ(GetNewFontIndex(d, f), a);

  FontRec shadow = f;
  shadow.shadowColour = 0x123456;
  int32_t b = GetNewFontIndex(d, shadow);
  EXPECT_NE(b, a);
  FontRec back = f;
  back.backColour = 0x00FF00;
  int32_t c = GetNewFontIndex(d, back);
  EXPECT_NE(c, a);
  EXPECT_NE(c, b);
  // Names compare case-sensitively.
  FontRec lower = f;
  lower.name = "times new roman";
  EXPECT_NE(GetNewFontIndex(d, lower), a);
  EXPECT_EQ(d.fontCount(), before + 3 + (a == before ? 1 : 0));
}

TEST(FontInterning, TwoTypedCharactersShareTheirEntry) {
  test::Fixture fx;
  test::TypeText(fx.w(), "ab");
  const LineRec& l = fx.doc().fields[0].lines[0];
  ASSERT_EQ(l.charCount(), 2);
  EXPECT_EQ(l.chars[0].fontIndex, l.chars[1].fontIndex);
  EXPECT_EQ(l.chars[0].ch, 'a');
  EXPECT_EQ(l.chars[1].ch, 'b');
}

TEST(NewChar, AppendsALineWhenTheCursorStandsBehindTheLastLine) {
  test::Fixture fx;
  Document& d = fx.doc();
  d.Cursor = {0, 1, 0};
  CharRec* c = NewChar(d);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(d.fields[0].lineCount(), 2);
  EXPECT_EQ(d.fields[0].lines[1].charCount(), 1);
  EXPECT_EQ(c->kind, kCharText);
  EXPECT_EQ(c->ch, 'a');
  EXPECT_TRUE(c->text().empty());
  EXPECT_EQ(d.Cursor, (CursorPos{0, 1, 0})) << "NewChar does not move the cursor";
}

TEST(NewChar, InsertsAtTheCursorAndRefusesPositionsOutsideTheDocument) {
  test::Fixture fx;
  Document& d = fx.doc();
  test::TypeText(fx.w(), "ac");
  d.Cursor = {0, 0, 1};
  CharRec* c = NewChar(d);
  ASSERT_NE(c, nullptr);
  c->ch = 'b';
  const LineRec& l = d.fields[0].lines[0];
  EXPECT_EQ(l.chars[0].ch, 'a');
  EXPECT_EQ(l.chars[1].ch, 'b');
  EXPECT_EQ(l.chars[2].ch, 'c');

  for (CursorPos bad : {CursorPos{99, 0, 0}, CursorPos{-1, 0, 0}, CursorPos{0, 5, 0},
                        CursorPos{0, 0, 7}, CursorPos{0, 0, -1}}) {
    d.Cursor = bad;
    EXPECT_EQ(NewChar(d), nullptr);
  }
  EXPECT_EQ(d.fields[0].lines[0].charCount(), 3);
}

TEST(Chains, GoToLineWalksAcrossLinkedFields) {
  test::Fixture fx;
  Document& d = fx.doc();
  // Page 0 body with 3 lines, continued by a body of 2 lines and one of 4 lines.
  for (int i = 0; i < 2; ++i) InsertNewLine(d, 0, 1);
  int32_t p1 = NewPage(d, AddLine::Yes);
  InsertNewLine(d, p1, 1);
  int32_t p2 = NewPage(d, AddLine::Yes);
  for (int i = 0; i < 3; ++i) InsertNewLine(d, p2, 1);
  d.fields[p1].page = 1;
  d.fields[p2].page = 2;
  d.fields[0].nextField = p1;
  d.fields[p1].prevField = 0;
  d.fields[p1].nextField = p2;
  d.fields[p2].prevField = p1;

  int32_t f = 0, l = 4;
  GoToLine(d, f, l);
  EXPECT_EQ(f, p1);
  EXPECT_EQ(l, 1);
  f = 0, l = 6;
  GoToLine(d, f, l);
  EXPECT_EQ(f, p2);
  EXPECT_EQ(l, 1);
  f = p2, l = -1;
  GoToLine(d, f, l);
  EXPECT_EQ(f, p1);
  EXPECT_EQ(l, 1);
  f = p2, l = -4;
  GoToLine(d, f, l);
  EXPECT_EQ(f, 0);
  EXPECT_EQ(l, 1);
  // Off the ends of the chain the index stays outside.
  f = p1, l = -9;
  GoToLine(d, f, l);
  EXPECT_EQ(f, 0);
  EXPECT_EQ(l, -6);
  f = 0, l = 20;
  GoToLine(d, f, l);
  EXPECT_EQ(f, p2);
  EXPECT_EQ(l, 15);

  EXPECT_EQ(GetAnzPages(d), 3);
  EXPECT_EQ(GetFieldofPage(d, 2), p2);
  EXPECT_EQ(GetFieldofPage(d, 7), 0) << "a page no body carries gives field 0";
}

TEST(Chains, GoToLineSurvivesACircularChain) {
  test::Fixture fx;
  Document& d = fx.doc();
  int32_t p1 = NewPage(d, AddLine::Yes);
  d.fields[0].nextField = p1;
  d.fields[p1].nextField = 0;
  d.fields[0].prevField = p1;
  d.fields[p1].prevField = 0;
  int32_t f = 0, l = 1000;
  GoToLine(d, f, l);  // must return despite the loop
  EXPECT_TRUE(f == 0 || f == p1);
}

// Three text boxes, where box b lies between the two linked boxes a and c.
struct LinkedBoxes : ::testing::Test {
  test::Fixture fx;
  int32_t a = 0, b = 0, c = 0;
  void SetUp() override {
    Document& d = fx.doc();
    for (int32_t* idx : {&a, &b, &c}) {
      *idx = NewPage(d, AddLine::Yes);
      d.fields[*idx].type = kFieldTextBox;
    }
    d.fields[a].nextField = c;
    d.fields[c].prevField = a;
  }
};

TEST_F(LinkedBoxes, RemovingAFieldBetweenTheChainKeepsItsLinks) {
  Document& d = fx.doc();
  DeleteField(d, b);
  EXPECT_EQ(d.fieldCount(), 9);
  EXPECT_EQ(d.fields[a].nextField, c - 1);
  EXPECT_EQ(d.fields[c - 1].prevField, a);
  EXPECT_EQ(d.fields[c - 1].type, kFieldTextBox);
}

TEST_F(LinkedBoxes, DeletingTheSecondOfTwoLinkedBoxesUnlinksTheFirst) {
  Document& d = fx.doc();
  DeleteField(d, c);
  EXPECT_EQ(d.fields[a].nextField, -1);
  DeleteField(d, 999);  // outside: nothing happens
  EXPECT_EQ(d.fieldCount(), 9);
}

TEST(Anchors, FreeIdentifiersAndLookup) {
  test::Fixture fx;
  Document& d = fx.doc();
  EXPECT_EQ(getFreeAnkerID(d), 100);
  int32_t x = NewPage(d, AddLine::Yes), y = NewPage(d, AddLine::Yes), z = NewPage(d, AddLine::Yes);
  for (int32_t i : {x, y, z}) {
    d.fields[i].type = kFieldRectangle;
    d.fields[i].moveWithText = 1;
  }
  d.fields[x].anchorId = 101;
  d.fields[y].anchorId = 100;
  d.fields[z].anchorId = 102;
  EXPECT_EQ(getFreeAnkerID(d), 103);
  d.fields[z].moveWithText = 0;  // a field not moving with the text holds no anchor
  EXPECT_EQ(getFreeAnkerID(d), 102);
  EXPECT_EQ(getfieldWithAnkerID(d, 0, 100), y);
  EXPECT_EQ(getfieldWithAnkerID(d, y + 1, 100), -1);
  EXPECT_EQ(getfieldWithAnkerID(d, 0, 102), -1);
  // The page body has anchor flags too, but is not floating.
  d.fields[0].anchorId = 105;
  EXPECT_EQ(getfieldWithAnkerID(d, 0, 105), -1);
}

TEST(Queries, FootnoteFieldsAndBitOperations) {
  test::Fixture fx;
  Document& d = fx.doc();
  EXPECT_EQ(GetFootNoteField(d, 1), -1);
  int32_t n = NewPage(d, AddLine::Yes);
  d.fields[n].type = kFieldFooter;
  d.fields[n].footnoteNo = 1;
  EXPECT_EQ(GetFootNoteField(d, 1), n);

  uint16_t word = 0;
  SettingOps(word, 13, true);
  SettingOps(word, 0, true);
  EXPECT_TRUE(GettingOps(word, 13));
  EXPECT_FALSE(GettingOps(word, 12));
  SettingOps(word, 13, false);
  EXPECT_EQ(word, 1);
  uint8_t flags = 0;
  SettingOpsB(flags, 2, true);
  EXPECT_EQ(flags, 4);
  EXPECT_TRUE(GettingOpsB(flags, 2));
  SettingOpsB(flags, 2, false);
  EXPECT_EQ(flags, 0);

  PString slot;
  SetPCharText(slot, "abc");
  SetPCharText(slot, "abcdef");
  EXPECT_EQ(slot.view(), "abcdef");
  SetPCharText(slot, "");
  EXPECT_FALSE(slot.has()) << "an empty text is stored as none";
}

// A picture cell in the document, a second in a snapshot, a third nowhere.
TEST(Pictures, UnreferencedPicturesAreReleasedAndKeepTheirSlots) {
  test::Fixture fx;
  Document& d = fx.doc();
  for (int i = 0; i < 3; ++i) {
    d.pictures.emplace_back();
    ASSERT_TRUE(newdib(d.pictures.back(), 4, 4, 24, nullptr, 0));
  }
  auto addPicture = [&](uint16_t index) {
    CharRec* c = NewChar(d);
    ASSERT_NE(c, nullptr);
    c->kind = kCharPicture;
    c->setPictureIndex(index);
  };
  addPicture(0);
  FreeBildInListeIfNotNeeded(d, nullptr);
  EXPECT_EQ(d.pictureCount(), 3);
  EXPECT_TRUE(d.pictures[0].hasBits());
  EXPECT_FALSE(d.pictures[1].hasBits());
  EXPECT_FALSE(d.pictures[2].hasBits());

  // A picture only a snapshot still references is kept.
  ASSERT_TRUE(newdib(d.pictures[1], 4, 4, 24, nullptr, 0));
  UndoState undo;
  undo.entries.push_back({"Eingabe", d.fields, d.Anchor, d.Cursor, 0, d.CurrentFormat});
  d.Cursor = {0, 0, 0};
  addPicture(1);
  undo.entries[0].fields = d.fields;
  d.fields[0].lines[0].chars.erase(0, 1);  // the picture 1 cell leaves the document
  FreeBildInListeIfNotNeeded(d, &undo);
  EXPECT_TRUE(d.pictures[1].hasBits());
  undo.entries.clear();
  FreeBildInListeIfNotNeeded(d, &undo);
  EXPECT_FALSE(d.pictures[1].hasBits());
  EXPECT_TRUE(d.pictures[0].hasBits());

  FreeBildInListe(d, 17);  // outside the list: ignored
  FreeBilderListe(d);
  EXPECT_EQ(d.pictureCount(), 0);
}

TEST(DirtyFlags, SetAndClearReachEveryLine) {
  test::Fixture fx;
  Document& d = fx.doc();
  SetAllDirtyFlags(d);
  for (const FieldRec& f : d.fields)
    for (const LineRec& l : f.lines) EXPECT_EQ(l.dirty, 1);
  ClearAllDirtyFlags(d);
  for (const FieldRec& f : d.fields)
    for (const LineRec& l : f.lines) EXPECT_EQ(l.dirty, 0);
}

TEST(NewPage, CopiesFieldZeroWithoutLinesAndLinks) {
  test::Fixture fx;
  Document& d = fx.doc();
  d.fields[0].marginLeft = 31.0;
  d.fields[0].nextField = 3;
  int32_t p = NewPage(d, AddLine::No);
  EXPECT_EQ(d.fields[p].lineCount(), 0);
  EXPECT_DOUBLE_EQ(d.fields[p].marginLeft, 31.0);
  EXPECT_EQ(d.fields[p].prevField, -1);
  EXPECT_EQ(d.fields[p].nextField, -1);
  EXPECT_EQ(d.fields[0].lineCount(), 1) << "field 0 keeps its lines";
}

TEST(SetFileChanged, CaptionCarriesTheModifiedMark) {
  test::Fixture fx;
  fx.doc().fileName = "Brief.sbl";
  int refreshes = fx.host.ui.fileMenuRefreshes;
  SetFileChanged(fx.w(), true);
  EXPECT_EQ(fx.w().caption, "Brief.sbl*");
  EXPECT_EQ(fx.doc().modified, 1);
  SetFileChanged(fx.w(), false);
  EXPECT_EQ(fx.w().caption, "Brief.sbl");
  EXPECT_EQ(fx.host.ui.fileMenuRefreshes, refreshes + 2);
}

}  // namespace
}  // namespace paginor
