// The tab stop dialog, the bullets and numbering dialog and the colour buttons: what their
// buttons do to the dialog, what "OK" writes into the paragraphs, that each is one undo step,
// and that key scripts answer them.

#include "editing/commands.h"
#include "editing/editor_fixture.h"
#include "editing/key_script.h"
#include "editing/list_dialog.h"
#include "editing/menu_state.h"
#include "editing/tab_dialog.h"
#include "editing/undo.h"
#include "model/dump_json.h"
#include "model/queries.h"
#include "platform/template_dialogs.h"

namespace paginor::test {
namespace {

struct ParagraphDialogs : EditorTest {
  void Mark(CursorPos anchor, CursorPos cursor) {
    doc().Anchor = anchor;
    doc().Cursor = cursor;
  }
  std::string Dump() { return DumpWithoutFonts(); }
  std::vector<std::string> UndoNames() { return UndoListEntries(w()); }
  // Answers the next dialog with `change` applied to the record, as a user's "OK".
  template <typename Record, typename Change>
  void Answer(Change change) {
    fx.host.dialogs.push([change](Dialog& d) {
      change(dynamic_cast<Record&>(d));
      return true;
    });
  }
};

using Stop = TabDialog::Stop;

// --- Tabstops -----------------------------------------------------------------------------------

TEST(TabDialogButtons, SetzenRefusesWhatIsNoPositionAndKeepsTheListSorted) {
  TabDialog d;
  const std::vector<std::pair<const char*, const char*>> refused = {
      {"0", kTabOutOfRange},     {"-2", kTabOutOfRange},  {"100,5", kTabOutOfRange},
      {"100.5", kTabOutOfRange}, {"abc", kTabNotANumber}, {"", kTabNotANumber},
      {"3 cm", kTabNotANumber},  {"nan", kTabNotANumber},
  };
  for (const auto& [typed, message] : refused) {
    d.positionText = typed;
    EXPECT_EQ(SetTabStop(d), message) << typed;
  }
  EXPECT_TRUE(d.stops.empty()) << "a refused position sets nothing";

  for (const char* typed : {"5", " 1,5 ", "3", "100", "0,01"}) {
    d.positionText = typed;
    EXPECT_EQ(SetTabStop(d), "") << typed;
  }
  EXPECT_EQ(d.stops,
            (std::vector<Stop>{{0.01, 0, 0}, {1.5, 0, 0}, {3, 0, 0}, {5, 0, 0}, {100, 0, 0}}));
  EXPECT_EQ(d.selected, 0) << "the stop just set (0,01) is the chosen one";

  // An equal position only takes the shown kinds.
  d.alignment = 2;
  d.fill = 1;
  d.positionText = "3,0";
  EXPECT_EQ(SetTabStop(d), "");
  ASSERT_EQ(d.stops.size(), 5u);
  EXPECT_EQ(d.stops[2], (Stop{3, 2, 1}));
  EXPECT_EQ(d.selected, 2);
  EXPECT_EQ(d.stops[1], (Stop{1.5, 0, 0})) << "the neighbours keep theirs";
}

TEST(TabDialogButtons, ChoosingKindsChangesTheChosenStopAndLoeschenRemovesIt) {
  TabDialog d;
  d.stops = {{1, 0, 0}, {2, 1, 0}, {4, 3, 2}};
  SelectTabStop(d, 2);
  EXPECT_EQ(d.alignment, 3);
  EXPECT_EQ(d.fill, 2);
  EXPECT_EQ(d.positionText, "4");
  SelectTabStop(d, 1);
  ChooseTabAlignment(d, 2);
  ChooseTabFill(d, 3);
  EXPECT_EQ(d.stops[1], (Stop{2, 2, 3}));
  EXPECT_EQ(d.stops[0], (Stop{1, 0, 0}));

  DeleteTabStop(d);
  EXPECT_EQ(d.stops, (std::vector<Stop>{{1, 0, 0}, {4, 3, 2}}));
  EXPECT_EQ(d.selected, 1) << "the next stop is chosen";
  DeleteTabStop(d);
  DeleteTabStop(d);
  EXPECT_TRUE(d.stops.empty());
  EXPECT_EQ(d.selected, -1);
  DeleteTabStop(d);  // nothing chosen: nothing happens

  d.stops = {{1, 0, 0}, {2, 1, 0}};
  SelectTabStop(d, 0);
  DeleteAllTabStops(d);
  EXPECT_TRUE(d.stops.empty());
  ChooseTabAlignment(d, 1);  // no stop chosen: only what is shown changes
  EXPECT_EQ(d.alignment, 1);
}

TEST_F(ParagraphDialogs, TabstopsOpensInCentimetresAndOkWritesMillimetresAsOneUndoStep) {
  SetParagraphs({"eins", "zwei", "drei"});
  for (int32_t l = 0; l < 3; ++l) {
    line(0, l).para.tabs = TabStops{{50, 1, 0}, {20, 3, 2}};  // a file may hold them unsorted
    line(0, l).para.defaultTabWidth = 10;
  }
  Place(0, 0, 1);
  const TabDialog opened = TabDialogFor(w());
  EXPECT_DOUBLE_EQ(opened.defaultWidth, 1.0);
  EXPECT_EQ(opened.stops, (std::vector<Stop>{{2, 3, 2}, {5, 1, 0}}));
  EXPECT_EQ(opened.selected, 0);
  EXPECT_EQ(opened.alignment, 3);

  Mark({0, 1, 2}, {0, 0, 1});  // into the second paragraph
  const std::string before = Dump();
  Answer<TabDialog>([](TabDialog& d) {
    d.defaultWidth = 2.5;
    d.positionText = "3,5";
    d.alignment = 2;
    d.fill = 2;
    SetTabStop(d);
    SelectTabStop(d, 0);
    DeleteTabStop(d);
  });
  ASSERT_TRUE(RunDocumentCommand(w(), CommandId::FormatTabs));
  EXPECT_EQ(fx.host.dialogs.shown.back(), "Tabstops");
  for (int32_t l = 0; l < 2; ++l) {
    EXPECT_EQ(line(0, l).para.tabs, (TabStops{{35, 2, 2}, {50, 1, 0}})) << "line " << l;
    EXPECT_DOUBLE_EQ(line(0, l).para.defaultTabWidth, 25);
  }
  EXPECT_EQ(line(0, 2).para.tabs, (TabStops{{50, 1, 0}, {20, 3, 2}})) << "not marked";
  EXPECT_EQ(UndoNames(), (std::vector<std::string>{"Absatzformat"}));
  ExpectValid();
  RestoreCopyFromUndo(w(), 0);
  EXPECT_EQ(Dump(), before);

  // "Abbrechen" changes nothing and takes no step.
  ASSERT_TRUE(RunDocumentCommand(w(), CommandId::FormatTabs));
  EXPECT_EQ(Dump(), before);
  EXPECT_TRUE(UndoNames().empty());
}

TEST_F(ParagraphDialogs, ADefaultWidthOutsideTheBoxesRangeIsKeptWithinIt) {
  SetParagraphs({"eins"});
  Place(0, 0, 0);
  TabDialog d = TabDialogFor(w());
  d.defaultWidth = 0;
  ApplyTabDialog(w(), d);
  EXPECT_DOUBLE_EQ(line(0, 0).para.defaultTabWidth, 0.2);
  d.defaultWidth = 1e9;
  ApplyTabDialog(w(), d);
  EXPECT_DOUBLE_EQ(line(0, 0).para.defaultTabWidth, 1000);
}

// --- Nummerierung und Aufzählungen ------------------------------------------------------------

TEST_F(ParagraphDialogs, TheListDialogStoresKindIndentAndTheBulletInItsFont) {
  SetParagraphs({"eins", "zwei"});
  Place(0, 0, 0);
  const ListDialog opened = ListDialogFor(w());
  EXPECT_EQ(opened.kind, 0);
  EXPECT_DOUBLE_EQ(opened.indent, 0.63);
  EXPECT_EQ(opened.bulletFont, "Wingdings") << "a paragraph without a bullet font";
  EXPECT_EQ(opened.bulletText, "\xc5\xb8") << "character 159 of Windows-1252, Ÿ";

  const std::string before = Dump();
  ListDialog d = opened;
  d.kind = 1;
  d.indent = 1.2;
  d.bulletText = "";
  d.bulletFont = "wingdings";
  ApplyListDialog(w(), d);
  const ParagraphFormat& p = line(0, 0).para;
  EXPECT_EQ(p.listKind, kListBullets);
  EXPECT_DOUBLE_EQ(p.listIndent, 12);
  EXPECT_EQ(p.bulletChar, 159) << "an empty box";
  EXPECT_TRUE(p.bulletFont.empty()) << "Wingdings is stored as no font";
  EXPECT_EQ(line(0, 1).para.listKind, kListNone);
  EXPECT_TRUE(fx.host.ui.toolbar.bullets) << "the bullets button follows";
  EXPECT_EQ(UndoNames(), (std::vector<std::string>{"Absatzformat"}));

  d.kind = 2;
  d.bulletText = "\xe2\x80\xa2x";  // "•x": the first character counts
  d.bulletFont = "Symbol";
  d.indent = -3;
  ApplyListDialog(w(), d);
  EXPECT_EQ(line(0, 0).para.listKind, kListNumbers);
  EXPECT_EQ(line(0, 0).para.bulletChar, 0x95);
  EXPECT_EQ(line(0, 0).para.bulletFont.view(), "Symbol");
  EXPECT_DOUBLE_EQ(line(0, 0).para.listIndent, 0.001) << "kept within 0.0001 to 100 cm";
  EXPECT_TRUE(fx.host.ui.toolbar.numbering);
  const ListDialog reopened = ListDialogFor(w());
  EXPECT_EQ(reopened.bulletFont, "Symbol");
  EXPECT_EQ(reopened.bulletText, "\xe2\x80\xa2");

  RestoreCopyFromUndo(w(), 1);
  EXPECT_EQ(Dump(), before);
}

// "Zeichentabelle" in the list dialog opens the special character table on the box's font and
// character; what is chosen there goes into the box and, on OK, into the paragraph.
TEST_F(ParagraphDialogs, TheListDialogsCharacterTableFillsTheBulletBox) {
  SetParagraphs({"eins"});
  Place(0, 0, 0);
  std::string openedFace;
  int openedCode = 0;
  fx.host.dialogs.push([&](Dialog& dlg) {
    auto& list = dynamic_cast<ListDialog&>(dlg);
    EXPECT_TRUE(list.chooseCharacter) << "the button is live";
    fx.host.dialogs.push([&](Dialog& inner) {
      auto& table = dynamic_cast<SpecialCharacterDialog&>(inner);
      openedFace = table.faceName;
      openedCode = table.code;
      table.faceName = "Symbol";
      table.code = 0xB7;
      return true;
    });
    if (!list.chooseCharacter(list.bulletFont, list.bulletText)) return false;
    list.kind = 1;
    return true;
  });
  RunDocumentCommand(w(), CommandId::FormatBulletsDialog);
  EXPECT_EQ(openedFace, "Wingdings");
  EXPECT_EQ(openedCode, 159);
  EXPECT_EQ(line(0, 0).para.listKind, kListBullets);
  EXPECT_EQ(line(0, 0).para.bulletChar, 0xB7);
  EXPECT_EQ(line(0, 0).para.bulletFont.view(), "Symbol");
}

// --- Colour buttons -----------------------------------------------------------------------------

TEST_F(ParagraphDialogs, TheColourButtonsColourTheWordAndWhiteBackgroundIsTransparent) {
  SetParagraphs({"rot und blau"});
  Place(0, 0, 1);  // inside "rot"
  Answer<ColourDialog>([](ColourDialog& d) { d.colour = 0x0000FF; });
  ASSERT_TRUE(RunDocumentCommand(w(), CommandId::TextColour));
  EXPECT_EQ(fx.host.dialogs.shown.back(), "Textfarbe");
  auto font = [&](int32_t c) { return doc().fonts[line(0, 0).chars[c].fontIndex]; };
  for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(font(c).textColour, 0x0000FF) << c;
  EXPECT_EQ(font(3).textColour, 0) << "the space after the word";

  Answer<ColourDialog>([](ColourDialog& d) { d.colour = 0x00FFFF; });
  ASSERT_TRUE(RunDocumentCommand(w(), CommandId::TextBackColour));
  EXPECT_EQ(font(0).backColour, 0x00FFFF);
  EXPECT_EQ(font(0).backTransparent, 0);
  Answer<ColourDialog>([](ColourDialog& d) { d.colour = 0xFFFFFF; });
  ASSERT_TRUE(RunDocumentCommand(w(), CommandId::TextBackColour));
  EXPECT_EQ(font(0).backColour, 0xFFFFFF);
  EXPECT_EQ(font(0).backTransparent, 1);
  EXPECT_EQ(font(0).textColour, 0x0000FF) << "the text colour stays";
  EXPECT_EQ(UndoNames().size(), 3u);
}

TEST_F(ParagraphDialogs, TheDialogsAndColourButtonsAreEnabledInText) {
  SetParagraphs({"abc"});
  MenuInput in;
  in.active = &w();
  const MenuState s = EvaluateMenuState(in);
  for (CommandId id : {CommandId::FormatCharacter, CommandId::FormatParagraph,
                       CommandId::FormatTabs, CommandId::FormatBulletsDialog, CommandId::FontBox,
                       CommandId::SizeBox, CommandId::TextColour, CommandId::TextBackColour})
    EXPECT_TRUE(s.isEnabled(id)) << static_cast<int>(id);
  EXPECT_FALSE(EvaluateMenuState(MenuInput{}).isEnabled(CommandId::FormatTabs));
}

// --- Key scripts --------------------------------------------------------------------------------

TEST_F(ParagraphDialogs, KeyScriptsAnswerTabstopsAndTheListDialog) {
  SetParagraphs({"eins"});
  Place(0, 0, 0);
  Keys("{Dialog:Tabstops set=5 alignment=Dezimal fill=3 set=2 set=abc set=0 default=2}");
  // The kinds chosen after "Setzen" also change the stop just set, as in the dialog.
  EXPECT_EQ(line(0, 0).para.tabs, (TabStops{{20, 3, 2}, {50, 3, 2}}));
  EXPECT_DOUBLE_EQ(line(0, 0).para.defaultTabWidth, 20);
  ASSERT_EQ(fx.host.ui.messages.size(), 2u) << "two error boxes";
  EXPECT_EQ(fx.host.ui.messages[0].text, kTabNotANumber);
  EXPECT_EQ(fx.host.ui.messages[1].text, kTabOutOfRange);
  EXPECT_EQ(fx.host.ui.messages[1].icon, MsgIcon::Error);

  Keys("{Dialog:Tabstops delete=5 alignment=Rechts set=2}");
  EXPECT_EQ(line(0, 0).para.tabs, (TabStops{{20, 2, 2}}));
  Keys("{Dialog:Tabstops clear=1}");
  EXPECT_TRUE(line(0, 0).para.tabs.empty());

  Keys("{Dialog:Nummerierung type=Aufz\xc3\xa4hlung indent=1 char=\"\" font=Wingdings}");
  EXPECT_EQ(line(0, 0).para.listKind, kListBullets);
  EXPECT_DOUBLE_EQ(line(0, 0).para.listIndent, 10);
  EXPECT_EQ(line(0, 0).para.bulletChar, 159);
  EXPECT_TRUE(line(0, 0).para.bulletFont.empty());
  EXPECT_EQ(UndoNames().size(), 4u) << "each answered dialog is one step";

  for (const char* bad : {"{Dialog:Tabstops alignment=Mitte}", "{Dialog:Tabstops fill=5}",
                          "{Dialog:Tabstops delete=x}", "{Dialog:Nummerierung type=Liste}",
                          "{Dialog:Nummerierung bullet=1}"})
    EXPECT_FALSE(ParseKeyScript(bad).ok()) << bad;
}

}  // namespace
}  // namespace paginor::test
