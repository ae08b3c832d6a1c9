// Undo and redo: the limit, the "Orginal" entry, the lists, hints and menu captions, discarding
// the redo entries, pictures held by snapshots, and the cost of a snapshot in shared cells.

#include "editing/editor_fixture.h"
#include "editing/page_setup.h"
#include "editing/undo.h"
#include "model/dump_json.h"
#include "model/primitives.h"
#include "platform/pictures/dib.h"

namespace paginor::test {
namespace {

struct Undo : EditorTest {
  bool hasOriginalEntry() {
    for (const UndoSnapshot& s : w().undo.entries)
      if (s.name == kOriginalEntryName) return true;
    return false;
  }
};

TEST_F(Undo, WithTheLimitTenTwelveCommandsLeaveElevenSteps) {
  ASSERT_EQ(options().maxUndos, 10);
  for (int i = 0; i < 12; ++i) Down(vk::kTab);
  EXPECT_EQ(UndoListEntries(w()).size(), 11u);
  RestoreCopyFromUndo(w(), 10);
  EXPECT_EQ(Text(0, 0), "\t") << "the oldest command can no longer be undone";
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Text(0, 0), "\t") << "nothing is left to undo";

  options().maxUndos = 2;
  FreeAllUndoCops(w());
  for (int i = 0; i < 5; ++i) Down(vk::kTab);
  EXPECT_EQ(UndoListEntries(w()).size(), 3u);
}

TEST_F(Undo, TypeUndoRedoLeavesNoOriginalEntry) {
  Type("a");
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Text(0, 0), "");
  EXPECT_TRUE(hasOriginalEntry());
  EXPECT_EQ(RedoListEntries(w()), (std::vector<std::string>{"Eingabe"}));
  EXPECT_TRUE(UndoListEntries(w()).empty());

  RestoreBeforeRestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Text(0, 0), "a");
  EXPECT_EQ(cursor(), (CursorPos{0, 0, 1}));
  EXPECT_TRUE(RedoListEntries(w()).empty());
  EXPECT_FALSE(hasOriginalEntry());
  EXPECT_EQ(w().undo.entries.size(), 1u);
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Eingabe"}));
}

TEST_F(Undo, SeveralStepsAtOnceFromTheLists) {
  Type("a");
  Down(vk::kReturn);
  const std::string afterTwo = State();
  Down(vk::kTab);
  EXPECT_EQ(UndoListEntries(w()),
            (std::vector<std::string>{"Eingabe TAB", "Eingabe Enter", "Eingabe"}));
  RestoreCopyFromUndo(w(), 2);
  EXPECT_EQ(ChainText(), "");
  EXPECT_EQ(RedoListEntries(w()),
            (std::vector<std::string>{"Eingabe", "Eingabe Enter", "Eingabe TAB"}));
  RestoreBeforeRestoreCopyFromUndo(w(), 1);
  EXPECT_EQ(State(), afterTwo);
  EXPECT_EQ(RedoListEntries(w()), (std::vector<std::string>{"Eingabe TAB"}));
  // Out-of-range requests only refresh the hints.
  const std::string now = State();
  const int before = host.undoUpdates;
  RestoreCopyFromUndo(w(), 5);
  RestoreBeforeRestoreCopyFromUndo(w(), 1);
  RestoreCopyFromUndo(w(), -1);
  EXPECT_EQ(State(), now);
  EXPECT_EQ(host.undoUpdates, before + 3);
}

TEST_F(Undo, ANewEditDiscardsEveryRedoEntry) {
  Keys("a{Tab}b");
  RestoreCopyFromUndo(w(), 1);
  ASSERT_EQ(RedoListEntries(w()).size(), 2u);
  Type("x");
  EXPECT_TRUE(RedoListEntries(w()).empty());
  EXPECT_EQ(w().undo.position, static_cast<int32_t>(w().undo.entries.size()));
  EXPECT_FALSE(hasOriginalEntry());
  EXPECT_EQ(Text(0, 0), "ax");
}

TEST_F(Undo, HintsAndMenuCaptionsNameTheNeighbouringEntries) {
  EXPECT_EQ(host.undo, UndoButtons{});
  Type("a");
  EXPECT_TRUE(host.undo.undoEnabled);
  EXPECT_FALSE(host.undo.redoEnabled);
  EXPECT_EQ(host.undo.undoHint, "Rückgängig: Eingabe");
  EXPECT_EQ(host.undo.redoHint, "Wiederholen: Nicht möglich");
  EXPECT_EQ(host.undo.undoMenu, "&Rückgängig: Eingabe");
  EXPECT_EQ(host.undo.redoMenu, "&Wiederholen: Nicht möglich");
  Keys("{Backspace}{Undo}");
  EXPECT_EQ(host.undo.undoHint, "Rückgängig: Eingabe");
  EXPECT_EQ(host.undo.redoHint, "Wiederholen: Löschen");
  EXPECT_EQ(host.undo.redoMenu, "&Wiederholen: Löschen");
  EXPECT_TRUE(host.undo.redoEnabled);
  FreeAllUndoCops(w());
  EXPECT_EQ(host.undo, UndoButtons{});
}

TEST_F(Undo, NamesAreKeptInTheDocumentsCodePageAndCutAt255Bytes) {
  MakeCopyForUndo(w(), "Löschen " + std::string(300, 'x'));
  ASSERT_EQ(w().undo.entries.size(), 1u);
  EXPECT_EQ(w().undo.entries[0].name.size(), 255u);
  EXPECT_EQ(w().undo.entries[0].name.substr(0, 2), "L\xf6");
  EXPECT_EQ(UndoListEntries(w())[0].substr(0, 8), "Löschen");
}

TEST_F(Undo, ARestoredStateCanBeRestoredAgainAndLaterEditsDoNotReachTheSnapshot) {
  SetParagraphs({"Hallo"});
  Place(0, 0, 5);
  Type(" Welt");
  RestoreCopyFromUndo(w(), 0);
  Place(0, 0, 0);
  Keys("{Delete}{Delete}");  // edits the restored cells
  EXPECT_EQ(Text(0, 0), "llo");
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Text(0, 0), "Hallo");
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Text(0, 0), "Hallo");
  EXPECT_EQ(RedoListEntries(w()), (std::vector<std::string>{"Löschen"}));
}

TEST_F(Undo, ASnapshotSharesTheCellsUntilALineChanges) {
  std::vector<std::string> paragraphs;
  for (int i = 0; i < 200; ++i) paragraphs.push_back("Absatz " + std::to_string(i));
  SetParagraphs(paragraphs);
  MakeCopyForUndo(w(), "Eingabe");
  for (int32_t l = 0; l < doc().fields[0].lineCount(); ++l)
    ASSERT_TRUE(line(0, l).chars.sameCells(w().undo.entries[0].fields[0].lines[l].chars)) << l;
  Place(0, 8, 2);
  Type("x");  // takes a second snapshot
  const std::vector<FieldRec>& kept = w().undo.entries[0].fields;
  int unshared = 0;
  for (int32_t l = 0; l < doc().fields[0].lineCount() && l < kept[0].lineCount(); ++l)
    unshared += !line(0, l).chars.sameCells(kept[0].lines[l].chars);
  EXPECT_EQ(unshared, 1) << "typing unshares the line it changes, not the document";
}

TEST_F(Undo, APictureStaysWhileASnapshotHoldsItsCell) {
  SetParagraphs({"ab"});
  BildRec pic;
  ASSERT_TRUE(newdib(pic, 2, 2, 24, nullptr, 0));
  doc().pictures.push_back(std::move(pic));
  CharRec cell = MeasuredCell(w(), ' ');
  cell.kind = kCharPicture;
  cell.setPictureIndex(0);
  line(0, 0).chars.insert(1, cell);
  Place(0, 0, 2);
  Keys("{Backspace}");
  EXPECT_EQ(Text(0, 0), "ab");
  EXPECT_TRUE(doc().pictures[0].hasBits()) << "the snapshot \"Löschen\" still shows it";

  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Text(0, 0), "a#b");
  RestoreBeforeRestoreCopyFromUndo(w(), 0);
  EXPECT_TRUE(doc().pictures[0].hasBits());

  // Once no snapshot holds the cell any more, the next check releases the picture.
  FreeAllUndoCops(w());
  EXPECT_TRUE(doc().pictures[0].hasBits()) << "released at the next check, not before";
  Type("c");  // the first snapshot of an empty list checks
  EXPECT_FALSE(doc().pictures[0].hasBits());
  EXPECT_EQ(doc().pictureCount(), 1) << "the slot stays, so picture indexes stay valid";
}

// Where two dumps part, with a little context; empty when they are equal.
std::string FirstDifference(const std::string& a, const std::string& b) {
  if (a == b) return {};
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  const size_t from = i > 200 ? i - 200 : 0;
  return "at " + std::to_string(i) + ":\n" + a.substr(from, 300) + "\n--- instead of ---\n" +
         b.substr(from, 300);
}

// Page setup is one undo step that takes the page size, the measuring values and the layout
// back together; redo brings the new page again, and the window repaints at once.
TEST_F(Undo, PageSetupIsUndoneWithItsPageSize) {
  std::string text;
  for (int i = 0; i < 120; ++i) text += "Wort" + std::to_string(i) + " ";
  SetParagraphs({text, "zweiter Absatz"});
  const MeasureState measureBefore = w().measure;
  const std::string before = DumpDocumentJson(doc());

  fx.host.dialogs.push([](Dialog& d) {
    auto& p = static_cast<PageSetupDialog&>(d);
    p.widthCm = 14.8;  // A5
    p.heightCm = 21.0;
    p.marginLeftCm = 1.5;
    p.marginRightCm = 1.5;
    return true;
  });
  const int restartsBefore = host.timerRestarts;
  ASSERT_TRUE(PageSetup(w()));
  EXPECT_GT(host.timerRestarts, restartsBefore) << "the window repaints with the new page";
  EXPECT_EQ(UndoListEntries(w()), (std::vector<std::string>{"Seite einrichten"}));
  EXPECT_DOUBLE_EQ(doc().pageWidth, 148);
  const std::string after = DumpDocumentJson(doc());
  ASSERT_NE(after, before);
  EXPECT_NE(w().measure.pageWidthPx, measureBefore.pageWidthPx);

  RestoreCopyFromUndo(w(), 0);
  EXPECT_DOUBLE_EQ(doc().pageWidth, 210);
  EXPECT_DOUBLE_EQ(doc().pageHeight, 297);
  EXPECT_DOUBLE_EQ(doc().fields[0].marginLeft, 25);
  EXPECT_EQ(w().measure.pageWidthPx, measureBefore.pageWidthPx);
  EXPECT_EQ(w().measure.pageHeightPx, measureBefore.pageHeightPx);
  doc().modified = 0;  // the only difference the undo may leave
  EXPECT_EQ(FirstDifference(DumpDocumentJson(doc()), before), "")
      << "the same page, margins and line breaks";

  RestoreBeforeRestoreCopyFromUndo(w(), 0);
  EXPECT_DOUBLE_EQ(doc().pageWidth, 148);
  doc().modified = 1;
  EXPECT_EQ(FirstDifference(DumpDocumentJson(doc()), after), "");
}

}  // namespace
}  // namespace paginor::test
