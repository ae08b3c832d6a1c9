// Fragments: copying a marking with its fonts, pictures, paragraph formats and footnotes, and
// inserting it at the Cursor of the same or another document; cut and paste with their undo
// steps.

#include "editing/fragment.h"

#include "editing/editor_fixture.h"
#include "editing/invariants.h"
#include "editing/marking.h"
#include "editing/undo.h"
#include "layout/measure.h"
#include "model/queries.h"
#include "platform/pictures/dib.h"

namespace paginor::test {
namespace {

struct FragmentTest : EditorTest {
  void Mark(CursorPos anchor, CursorPos cursor) {
    doc().Anchor = anchor;
    doc().Cursor = cursor;
  }
  // Gives the cells [from, to) of a line a font of their own.
  void Restyle(int32_t f, int32_t l, int32_t from, int32_t to, const FontRec& font) {
    const int32_t index = GetNewFontIndex(doc(), font);
    for (int32_t c = from; c < to; ++c) {
      CharRec& cell = line(f, l).chars.mut(c);
      cell.fontIndex = index;
      RenderChar(w(), cell, false, CellText(cell));
    }
    line(f, l).dirty = 1;
  }
  const FontRec& FontAt(int32_t f, int32_t l, int32_t c) {
    return doc().fonts[line(f, l).chars[c].fontIndex];
  }
  // The first cell of a kind in the body chain.
  CursorPos FindKind(uint8_t kind) {
    for (int32_t f = 0; f >= 0 && f < doc().fieldCount(); f = doc().fields[f].nextField)
      for (int32_t l = 0; l < doc().fields[f].lineCount(); ++l)
        for (int32_t c = 0; c < line(f, l).charCount(); ++c)
          if (line(f, l).chars[c].kind == kind) return CursorPos{f, l, c};
    ADD_FAILURE() << "no cell of kind " << int(kind);
    return CursorPos{};
  }
  static FontRec Bold(const char* face) {
    FontRec r;
    r.name = face;
    r.size = 14;
    r.style = 1u << kStyleBold;
    r.textColour = 0x0000FF;
    return r;
  }
};

TEST_F(FragmentTest, ThreeCharactersKeepTheirFontsAndAddNoParagraph) {
  SetParagraphs({"abcdefgh", "XYZ"});
  Restyle(0, 0, 3, 4, Bold("Arial"));
  Mark({0, 0, 2}, {0, 0, 5});
  const Fragment f = CopyMarkingToFragment(w());
  ASSERT_EQ(f.lines.size(), 1u);
  EXPECT_FALSE(f.lines[0].endInside);
  EXPECT_EQ(f.plainText(), "cde");
  EXPECT_EQ(ChainText(), "abcdefgh|XYZ|");  // copying changes nothing

  Place(0, 1, 1);
  PasteFragment(w(), f);
  EXPECT_EQ(ChainText(), "abcdefgh|XcdeYZ|");
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 4}));
  EXPECT_EQ(doc().Anchor, cursor());
  EXPECT_EQ(FontAt(0, 1, 2), Bold("Arial"));
  EXPECT_NE(FontAt(0, 1, 1), Bold("Arial"));
  EXPECT_EQ(line(0, 1).chars[2].width, line(0, 0).chars[3].width);
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Einfügen"}));
  ExpectValid();

  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(ChainText(), "abcdefgh|XYZ|");
  ExpectValid("after undo");
}

TEST_F(FragmentTest, ParagraphEndsSplitTheTargetWithTheCopiedEndKindAndFormat) {
  SetParagraphs({"eins zwei", "drei vier", "Ziel"});
  line(0, 0).endKind = kEndLineBreak;
  line(0, 0).para.indentLeft = 10;
  line(0, 1).para.indentLeft = 10;
  line(0, 2).para.indentLeft = 3;
  line(0, 2).para.alignment = 2;
  Mark({0, 1, 4}, {0, 0, 5});  // "zwei/drei", Cursor before Anchor
  const Fragment f = CopyMarkingToFragment(w());
  ASSERT_EQ(f.lines.size(), 2u);
  EXPECT_TRUE(f.lines[0].endInside);
  EXPECT_FALSE(f.lines[1].endInside);
  EXPECT_EQ(f.plainText(), "zwei\r\ndrei");

  Place(0, 2, 2);
  PasteFragment(w(), f);
  EXPECT_EQ(ChainText(), "eins zwei/drei vier|Zizwei/dreiel|");
  EXPECT_EQ(line(0, 2).endKind, kEndLineBreak);
  EXPECT_EQ(line(0, 2).para.indentLeft, 10);  // the copied line's format
  EXPECT_EQ(line(0, 2).para.alignment, 0);
  EXPECT_EQ(line(0, 3).para.indentLeft, 3);  // the rest keeps the target's
  EXPECT_EQ(line(0, 3).para.alignment, 2);
  EXPECT_EQ(cursor(), (CursorPos{0, 3, 4}));
  ExpectValid();
}

TEST_F(FragmentTest, AMarkingOverWholeParagraphsInsertsThemBeforeTheTargetParagraph) {
  SetParagraphs({"erster", "zweiter", "dritter"});
  Mark({0, 0, 0}, {0, 1, 0});  // "erster" with its paragraph end
  const Fragment f = CopyMarkingToFragment(w());
  ASSERT_EQ(f.lines.size(), 1u);
  EXPECT_TRUE(f.lines[0].endInside);
  Place(0, 2, 0);
  PasteFragment(w(), f);
  EXPECT_EQ(ChainText(), "erster|zweiter|erster|dritter|");
  EXPECT_EQ(cursor(), (CursorPos{0, 3, 0}));
  ExpectValid();
}

TEST_F(FragmentTest, CutAndPasteBackIsARoundTripWithTwoUndoSteps) {
  SetParagraphs({"Anfang mitte Ende", "zweite Zeile", "dritte"});
  Restyle(0, 0, 7, 12, Bold("Courier New"));
  Restyle(0, 1, 0, 6, Bold("Arial"));
  const std::string text = ChainText();
  Mark({0, 0, 7}, {0, 1, 6});
  Fragment f = CutMarkingToFragment(w());
  EXPECT_EQ(ChainText(), "Anfang  Zeile|dritte|");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 7}));
  EXPECT_EQ(doc().Anchor, cursor());
  ExpectValid("after cut");

  PasteFragment(w(), f);
  EXPECT_EQ(ChainText(), text);
  EXPECT_EQ(FontAt(0, 0, 8), Bold("Courier New"));
  EXPECT_EQ(FontAt(0, 1, 0), Bold("Arial"));
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Einfügen", "Ausschneiden"}));
  ExpectValid("after paste");

  RestoreCopyFromUndo(w(), 1);
  EXPECT_EQ(ChainText(), text);
  EXPECT_EQ(cursor(), (CursorPos{0, 1, 6}));
  EXPECT_EQ(doc().Anchor, (CursorPos{0, 0, 7}));
  EXPECT_EQ(FontAt(0, 0, 8), Bold("Courier New"));
}

TEST_F(FragmentTest, NothingMarkedGivesAnEmptyFragmentAndPastingItChangesNothing) {
  SetParagraphs({"abc"});
  Place(0, 0, 1);
  const Fragment f = CopyMarkingToFragment(w());
  EXPECT_TRUE(f.empty());
  EXPECT_TRUE(CutMarkingToFragment(w()).empty());
  PasteFragment(w(), f);
  EXPECT_EQ(ChainText(), "abc|");
  EXPECT_TRUE(UndoListEntries(w()).empty());
}

TEST_F(FragmentTest, APictureAndAFontTravelByValueIntoAnotherDocument) {
  BuildMixedDocument(w());
  const CursorPos at = FindKind(kCharPicture);
  ASSERT_GT(at.chr, 0);
  const CharRec& source = line(at.field, at.line).chars[at.chr];
  const BildRec picture = doc().pictures[source.pictureIndex()];
  const FontRec font = doc().fonts[line(at.field, at.line).chars[at.chr - 1].fontIndex];
  Mark({at.field, at.line, at.chr - 1}, {at.field, at.line, at.chr + 2});
  const Fragment f = CopyMarkingToFragment(w());
  // The source's tables may change afterwards; the fragment holds its own copies.
  doc().fonts.clear();
  doc().pictures.clear();

  Fixture other;
  TMDIChild& t = other.w();
  const int32_t picturesBefore = t.doc.pictureCount();
  t.doc.Cursor = t.doc.Anchor = CursorPos{0, 0, 0};
  PasteFragment(t, f);
  const LineRec& l = t.doc.fields[0].lines[0];
  ASSERT_EQ(l.charCount(), 3);
  EXPECT_EQ(l.chars[1].kind, kCharPicture);
  ASSERT_EQ(t.doc.pictureCount(), picturesBefore + 1);
  EXPECT_EQ(l.chars[1].pictureIndex(), picturesBefore);
  EXPECT_EQ(t.doc.pictures[l.chars[1].pictureIndex()].pixels, picture.pixels);
  EXPECT_EQ(t.doc.pictures[l.chars[1].pictureIndex()].info, picture.info);
  EXPECT_EQ(l.chars[1].width, 20);
  EXPECT_EQ(t.doc.fonts[l.chars[0].fontIndex], font);
  EXPECT_TRUE(CheckInvariants(t.doc).empty()) << DescribeViolations(CheckInvariants(t.doc));
}

TEST_F(FragmentTest, ACopiedFootnoteGetsANewNumberAndACopyOfItsText) {
  BuildMixedDocument(w());
  const CursorPos at = FindKind(kCharFootnoteRef);
  ASSERT_GT(at.chr, 0);
  const int32_t fields = doc().fieldCount();
  Mark({at.field, at.line, at.chr - 1}, {at.field, at.line, at.chr + 2});
  const Fragment f = CopyMarkingToFragment(w());
  ASSERT_EQ(f.notes.size(), 1u);
  Place(0, 0, 2);
  PasteFragment(w(), f);

  ASSERT_EQ(doc().fieldCount(), fields + 1);
  const FieldRec& area = doc().fields[fields];
  EXPECT_TRUE(area.isFootnoteArea());
  EXPECT_EQ(area.footnoteNo, 2);
  EXPECT_EQ(doc().footnoteCounter, 2);
  std::string text;
  for (const CharRec& c : area.lines[0].chars)
    if (c.kind == kCharText) text.push_back(static_cast<char>(c.ch));
  EXPECT_EQ(text, " Eine Fu\xdfnote");
  const CharRec& pasted = line(0, 0).chars[3];
  EXPECT_EQ(pasted.kind, kCharFootnoteRef);
  EXPECT_EQ(pasted.footnoteId(), 2);
  EXPECT_NE(GetFootNoteField(doc(), 1), -1);  // the original keeps its own area
  EXPECT_NE(GetFootNoteField(doc(), 1), fields);
  ExpectValid();
}

TEST_F(FragmentTest, AReferencePastedIntoAFootnoteTextBecomesAMark) {
  BuildMixedDocument(w());
  const CursorPos at = FindKind(kCharFootnoteRef);
  Mark({at.field, at.line, at.chr}, {at.field, at.line, at.chr + 1});
  const Fragment f = CopyMarkingToFragment(w());
  const int32_t area = GetFootNoteField(doc(), 1);
  ASSERT_GE(area, 0);
  const int32_t fields = doc().fieldCount();
  Place(area, 0, line(area, 0).charCount());
  PasteFragment(w(), f);
  EXPECT_EQ(doc().fieldCount(), fields);
  EXPECT_EQ(line(area, 0).chars[line(area, 0).charCount() - 1].kind, kCharFootnoteMark);
  ExpectValid();
}

TEST_F(FragmentTest, TableCellsArriveAsParagraphsOfText) {
  SetParagraphs({"davor", "danach"});
  InsertTable(0, 1, 2, {"a1", "b1"});
  // Rows: lines 1-2 and 3-4. From the middle of "davor" into the second row: the marking
  // takes the rows whole.
  Mark({0, 0, 2}, {0, 3, 1});
  const Fragment f = CopyMarkingToFragment(w());
  EXPECT_TRUE(f.block);
  for (const FragmentLine& l : f.lines) EXPECT_FALSE(l.line.inTable);
  EXPECT_EQ(f.plainText(), "vor\r\na1\r\nb1\r\na1\r\nb1");
  Place(0, 5, 6);
  PasteFragment(w(), f);
  EXPECT_EQ(Text(0, 5), "danachvor");
  EXPECT_EQ(Texts(0), (std::vector<std::string>{"davor", "a1", "b1", "a1", "b1", "danachvor", "a1",
                                                "b1", "a1", "b1", ""}));
  for (int32_t l = 5; l < doc().fields[0].lineCount(); ++l) EXPECT_FALSE(line(0, l).inTable) << l;
  ExpectValid();
}

TEST_F(FragmentTest, PastingIntoATableCellGrowsTheCellAsEnterDoes) {
  SetParagraphs({"eins zwei", "danach"});
  InsertTable(0, 1, 1, {"x", "y"});
  Mark({0, 0, 0}, {0, 1, 0});  // "eins zwei" with its paragraph end
  const Fragment f = CopyMarkingToFragment(w());
  Place(0, 1, 1);
  PasteFragment(w(), f);
  // The cell of "x" holds "xeins zwei" and a second visual line; the row keeps two columns.
  EXPECT_EQ(Text(0, 1), "xeins zwei");
  EXPECT_TRUE(line(0, 1).inTable);
  EXPECT_EQ(line(0, 1).rowCells, 2);
  ExpectValid();
}

TEST_F(FragmentTest, CopiesOfRangesAcrossAMixedDocumentLoseNoCellAndKeepTheModelValid) {
  BuildMixedDocument(w());
  auto cells = [&] {
    int64_t n = 0;
    for (const FieldRec& f : doc().fields)
      for (const LineRec& l : f.lines) n += l.charCount();
    return n;
  };
  const int32_t lines = doc().fields[0].lineCount();
  for (int32_t start = 0; start + 3 < lines; start += 4) {
    Mark({0, start, 1}, {0, start + 3, 2});
    const Fragment f = CopyMarkingToFragment(w());
    int64_t copied = 0;
    for (const FragmentLine& l : f.lines) copied += l.line.charCount();
    for (const FragmentNote& n : f.notes)
      for (const LineRec& l : n.area.lines) copied += l.charCount();
    const int64_t before = cells();
    Place(0, (start * 7) % doc().fields[0].lineCount(), 0);
    PasteFragment(w(), f);
    EXPECT_EQ(cells(), before + copied) << "paste of lines " << start;
    ExpectValid("paste of lines " + std::to_string(start));
  }
}

}  // namespace
}  // namespace paginor::test
