// The command table of the menus and toolbars, the menu enabling, and the commands that act on
// the document window directly.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/document_files.h"
#include "editing/commands.h"
#include "editing/menu_state.h"
#include "editing/undo.h"
#include "support/test_support.h"
#include "window/document_window.h"

namespace paginor {
namespace {

using enum CommandId;

// Every item of the menu bar (sub-menus included) as caption -> how often it occurs.
std::map<std::string, int> menuCaptions() {
  std::map<std::string, int> out;
  std::function<void(const std::vector<MenuEntry>&)> walk = [&](const auto& entries) {
    for (const MenuEntry& e : entries) {
      if (e.kind == MenuEntry::Kind::Submenu) {
        ++out[e.caption];
        walk(e.children);
      } else if (e.kind == MenuEntry::Kind::Item) {
        ++out[CommandInfo(e.id).caption];
      }
    }
  };
  for (const Menu& m : MenuBar()) walk(m.entries);
  return out;
}

TEST(CommandTable, EveryCaptionAndShortcutOfTheMenusIsThere) {
  // Every menu item of the program, and its shortcut where it has one.
  // clang-format off
  const std::vector<std::string> items = {
      "&Neu", "Ö&ffnen", "&Speichern", "Speichern &unter...", "PDF-Export...",
      "Bild scannen (TWAIN)...", "Scanner wählen (TWAIN)...", "Seite ein&richten...",
      "Seitenansic&ht", "&Drucken...", "&Eigenschaften...", "S&chließen", "&Beenden",
      "&Rückgängig", "&Wiederholen", "&Inhalte einfügen...", "Markierung &löschen",
      "&Alles markieren", "&Suchen...", "&Ersetzen...", "&Gehe zu...", "&Lineal", "S&tatuszeile",
      "Seiten&breite", "&Ganze Seite", "Zoom &100%", "&Zoom...", "Manueller &Umbruch",
      "Seiten&zahl", "&Datum und Uhrzeit...", "F&eld...", "F&ormularfeld...", "&Sonderzeichen...",
      "&Fußnote", "&Grafik...", "Te&xtfeld", "&Rechteck", "Elli&pse", "Schräge &Linie",
      "H&orizontale Linie", "V&ertikale Linie", "Gr&afikfeld...", "Objekt nach v&orne",
      "Objekt nach h&inten", "Textfeld &verknüpfen...", "&Zeichen...", "&Absatz...",
      "&Nummerierung und Aufzählungen....", "&Spalten...", "&Tabulator...",
      "Neue &Absatzvorlage...", "Neue &Zeichenvorlage", "&Vorlagen verwalten...",
      "&Feld/Seite/Objekt...", "&Gesamtes Dokument...", "Ab &Schreibmarke...",
      "&Benutzerwörterbuch...", "Beim &Eingeben überprüfen ", "&Deutsch", "&Englisch",
      "&Automatische Silbentrennung", "&Wörter zählen...", "&Formulardialog...", "&Optionen...",
      "&Tabelle einfügen...", "Zeilen e&infügen...", "Zeile &anhängen", "Spalten ein&fügen...",
      "Spalte a&nhängen", "Zellen &löschen", "Zeilen lösc&hen", "Spalten lö&schen",
      "Tabelle &teilen", "Zellen &formatieren...", "Spalten gleichmäßig &verteilen",
      "&Gitternetzlinien", "Datenbank &wählen...", "Datenbank &bearbeiten...",
      "&Zuordnung aufheben", "&Vorheriger Datensatz", "&Nächster Datensatz", "&Erster Datensatz",
      "&Letzter Datensatz", "Ü&berlappend", "Hori&zontal anordnen", "&Vertikal anordnen",
      "&Alle verkleinern", "Alle an&ordnen", "&Inhalt", "&Info..."};
  const std::map<std::string, std::string> shortcuts = {
      {"&Neu", "Ctrl+N"}, {"Ö&ffnen", "Ctrl+O"}, {"&Speichern", "Ctrl+S"},
      {"&Drucken...", "Ctrl+P"}, {"&Beenden", "Alt+F4"}, {"Markierung &löschen", "Del"},
      {"&Alles markieren", "Ctrl+A"}, {"&Suchen...", "Ctrl+F"}, {"&Ersetzen...", "Ctrl+H"},
      {"&Rückgängig", "Ctrl+Z"}, {"&Wiederholen", "Ctrl+Y"},
      {"&Gehe zu...", "Ctrl+G"}, {"&Gesamtes Dokument...", "F7"},
      {"&Vorheriger Datensatz", "Ctrl+Alt+V"}, {"&Nächster Datensatz", "Ctrl+Alt+N"},
      {"&Erster Datensatz", "Ctrl+Alt+E"}, {"&Letzter Datensatz", "Ctrl+Alt+L"}};
  // clang-format on
  const auto captions = menuCaptions();
  for (const std::string& caption : items) {
    SCOPED_TRACE(caption);
    const Command* c = FindCommandByCaption(caption);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(captions.count(caption), 1u);
    const auto sc = shortcuts.find(caption);
    EXPECT_EQ(c->shortcut, sc == shortcuts.end() ? std::string() : sc->second);
  }
  // "&Grafik..." stands in the insert and in the format menu.
  EXPECT_EQ(captions.at("&Grafik..."), 2);
  EXPECT_EQ(captions.at("&Symbolleisten"), 1);
  EXPECT_EQ(captions.at("Format&vorlagen"), 1);
  // No two commands share a shortcut.
  std::set<std::string> used;
  for (const Command& c : AllCommands())
    if (*c.shortcut) {
      EXPECT_TRUE(used.insert(c.shortcut).second) << c.shortcut;
    }
}

TEST(CommandTable, MenusAreInOrderAndEveryIdIsReachable) {
  std::vector<std::string> names;
  for (const Menu& m : MenuBar()) names.push_back(m.caption);
  EXPECT_EQ(names,
            (std::vector<std::string>{"&Datei", "&Bearbeiten", "&Ansicht", "&Einfügen", "Forma&t",
                                      "E&xtras", "Tabe&lle", "&Datenbank", "&Fenster", "&Hilfe"}));
  // The six menus that a closed last window hides.
  std::set<std::string> hidden;
  for (const Menu& m : MenuBar())
    if (m.needsDocument) hidden.insert(m.caption);
  EXPECT_EQ(hidden, (std::set<std::string>{"&Bearbeiten", "&Ansicht", "&Einfügen", "Forma&t",
                                           "E&xtras", "Tabe&lle"}));

  // The table is indexed by id, and every command is in a menu, the context menu or a toolbar.
  std::set<CommandId> placed;
  std::function<void(const std::vector<MenuEntry>&)> walk = [&](const auto& entries) {
    for (const MenuEntry& e : entries) {
      if (e.kind == MenuEntry::Kind::Item) placed.insert(e.id);
      walk(e.children);
    }
  };
  for (const Menu& m : MenuBar()) walk(m.entries);
  walk(ContextMenuWithSuggestions({}));
  for (const Toolbar& t : Toolbars())
    for (CommandId id : t.items) placed.insert(id);
  for (int i = 1; i < kCommandCount; ++i) {
    const Command& c = AllCommands()[i];
    EXPECT_EQ(static_cast<int>(c.id), i);
    EXPECT_TRUE(placed.count(c.id)) << "command " << i << " is nowhere";
    EXPECT_TRUE(*c.caption || *c.hint) << "command " << i << " has no text";
    if (c.toolbar != ToolbarId::None) {
      EXPECT_TRUE(*c.hint) << "button " << i << " has no hint";
    }
  }
}

TEST(CommandTable, ToolbarsCarryTheirButtonsAndHints) {
  ASSERT_EQ(Toolbars().size(), 4u);
  std::vector<std::string> names;
  std::map<std::string, ToolbarId> hints;
  for (const Toolbar& t : Toolbars()) {
    names.push_back(t.caption);
    for (CommandId id : t.items) {
      if (id == None) continue;
      EXPECT_EQ(CommandInfo(id).toolbar, t.id) << CommandInfo(id).hint;
      hints[CommandInfo(id).hint] = t.id;
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Standartleiste", "Formatleiste", "Zeichnenleiste",
                                             "Format erweitert"}));
  using enum ToolbarId;
  // clang-format off
  const std::vector<std::pair<const char*, ToolbarId>> expected = {
      {"Rückgängig", Standard}, {"Wiederholen", Standard}, {"Drucken", Standard},
      {"Seitenansicht ein-/ausschalten", Standard}, {"Nicht druckbare Zeichen anzeigen", Standard},
      {"Linksbündig", Format}, {"Zentriert", Format}, {"Rechtsbündig", Format},
      {"Blocksatz", Format}, {"Aufzählungszeichen", Format}, {"Nummerierung", Format},
      {"Einfacher Zeilenabstand", FormatExtended}, {"1,5 Zeilenabstand", FormatExtended},
      {"Doppelter Zeilenabstand", FormatExtended}, {"Textfeld", Drawing}, {"Rechteck", Drawing},
      {"Ellipse", Drawing}, {"Schräge Linie", Drawing}, {"Horizontale Linie", Drawing},
      {"Vertikale Linie", Drawing}, {"Grafikfeld einfügen...", Drawing}};
  // clang-format on
  for (const auto& [hint, bar] : expected) {
    SCOPED_TRACE(hint);
    ASSERT_TRUE(hints.count(hint));
    EXPECT_EQ(hints[hint], bar);
  }
  EXPECT_STREQ(CommandInfo(Bold).buttonText, "F");
  EXPECT_STREQ(CommandInfo(Italic).buttonText, "K");
  EXPECT_STREQ(CommandInfo(Underline).buttonText, "U");
  EXPECT_TRUE(CommandInfo(EditUndo).dropDown);
  EXPECT_TRUE(CommandInfo(EditRedo).dropDown);
  // The print button prints at once; the menu item opens the dialog.
  EXPECT_NE(FilePrintFast, FilePrint);
  EXPECT_EQ(ZoomBoxEntries().size(), 10u);
  EXPECT_STREQ(ZoomBoxEntries().back(), "Ganze Seite");
}

TEST(CommandTable, SpellingSuggestionsStandAboveTheFixedEntries) {
  const std::vector<std::string> words = {"Haus", "Maus", "Laus", "Baus", "Raus", "Zaus"};
  const auto menu = ContextMenuWithSuggestions(words);
  ASSERT_GE(menu.size(), 9u);
  // Five suggestions, the best directly above the separator.
  EXPECT_STREQ(menu[0].caption, "Raus");
  EXPECT_STREQ(menu[4].caption, "Haus");
  EXPECT_EQ(menu[5].kind, MenuEntry::Kind::Separator);
  EXPECT_STREQ(CommandInfo(menu[6].id).caption, "Wort ignorieren");
  EXPECT_STREQ(CommandInfo(menu[7].id).caption, "Wort lernen");
  EXPECT_EQ(menu[8].kind, MenuEntry::Kind::Separator);
  EXPECT_EQ(menu.size() - 9, ContextMenu().size());
  EXPECT_EQ(ContextMenu().front().id, EditCut);
  EXPECT_EQ(ContextMenu().back().id, TableDeleteColumns);
}

// A document window for the enabling rules.
struct Enabling : test::Fixture {
  Enabling() {
    test::TypeText(w(), "Hallo");
    doc().Anchor = doc().Cursor;
  }
  MenuState rules() {
    in.active = window.get();
    in.settings = &settings;
    return EvaluateMenuRules(in);
  }
  void setFieldType(uint8_t type) { doc().fields[doc().Cursor.field].type = type; }
  MenuInput in;
  AppSettings settings;
};

TEST(MenuEnabling, WithoutADocumentOnlyTheApplicationCommands) {
  MenuInput none;
  const MenuState s = EvaluateMenuState(none);
  for (CommandId id : {FileNew, FileOpen, FileExit, HelpInfo, ShowMarks})
    EXPECT_TRUE(s.isEnabled(id)) << CommandInfo(id).caption << CommandInfo(id).hint;
  for (CommandId id : {FileSave, FileSaveAs, FilePdfExport, FilePrint, FilePrintFast, FilePageView,
                       FilePageSetup, FileClose, EditUndo, EditSelectAll, ViewStatusBar,
                       InsertPageBreak, Bullets, LanguageGerman, WindowCascade})
    EXPECT_FALSE(s.isEnabled(id)) << CommandInfo(id).caption << CommandInfo(id).hint;
  for (MenuId m :
       {MenuId::Edit, MenuId::View, MenuId::Insert, MenuId::Format, MenuId::Tools, MenuId::Table})
    EXPECT_FALSE(s.isVisible(m));
  for (MenuId m : {MenuId::File, MenuId::Database, MenuId::Window, MenuId::Help})
    EXPECT_TRUE(s.isVisible(m));
  EXPECT_EQ(s.undoCaption, "&Rückgängig: Nicht möglich");
  EXPECT_EQ(s.redoCaption, "&Wiederholen: Nicht möglich");
}

TEST(MenuEnabling, FileMenuAndSaveFollowThePathAndTheModifiedFlag) {
  Enabling e;
  MenuState s = e.rules();
  for (CommandId id : {FilePageSetup, FilePageView, FileSaveAs, FilePdfExport, FilePrint,
                       FilePrintFast, FileProperties, FileScanPicture, FileChooseScanner})
    EXPECT_TRUE(s.isEnabled(id)) << CommandInfo(id).caption;
  // A new document has no path: saving is possible.
  EXPECT_TRUE(s.isEnabled(FileSave));
  // A document opened from a file and not modified: "&Speichern" is disabled.
  const std::string path = test::TempDir("menu_save") + "/offen.sbl";
  e.doc().filePath = path;
  ASSERT_TRUE(SaveFile(e.w(), e.settings, 0));
  test::Fixture opened;
  ASSERT_TRUE(OpenFile(opened.w(), e.settings, path, 0));
  MenuInput in;
  in.active = opened.window.get();
  EXPECT_FALSE(EvaluateMenuState(in).isEnabled(FileSave));
  SetFileChanged(opened.w(), true);
  EXPECT_TRUE(EvaluateMenuState(in).isEnabled(FileSave));
}

TEST(MenuEnabling, EditMenuFollowsMarkingClipboardAndUndo) {
  Enabling e;
  MenuState s = e.rules();
  EXPECT_FALSE(s.isEnabled(EditCut));
  EXPECT_FALSE(s.isEnabled(EditCopy));
  EXPECT_FALSE(s.isEnabled(EditPaste));
  e.doc().Anchor = CursorPos{e.doc().Cursor.field, e.doc().Cursor.line, 1};
  s = e.rules();
  EXPECT_TRUE(s.isEnabled(EditCut));
  EXPECT_TRUE(s.isEnabled(EditCopy));
  // A selected floating object counts like a marking.
  e.doc().Anchor = e.doc().Cursor;
  FieldRec& last = e.doc().fields.back();
  const uint8_t type = last.type;
  last.type = kFieldRectangle;
  last.selected = 1;
  EXPECT_TRUE(e.rules().isEnabled(EditCopy));
  last.selected = 0;
  last.type = type;
  EXPECT_FALSE(e.rules().isEnabled(EditCopy));
  for (auto offer :
       {&ClipboardOffer::privateFormat, &ClipboardOffer::text, &ClipboardOffer::bitmap}) {
    e.in.clipboard = {};
    e.in.clipboard.*offer = true;
    s = e.rules();
    EXPECT_TRUE(s.isEnabled(EditPaste));
    EXPECT_TRUE(s.isEnabled(EditPasteSpecial));
  }
  // Clipboard commands do not exist yet: never enabled in what the shell applies.
  e.doc().Anchor = CursorPos{e.doc().Cursor.field, e.doc().Cursor.line, 1};
  EXPECT_FALSE(EvaluateMenuState(e.in).isEnabled(EditCut));
  EXPECT_FALSE(EvaluateMenuState(e.in).isEnabled(EditPaste));

  s = e.rules();
  EXPECT_FALSE(s.isEnabled(EditUndo));
  EXPECT_EQ(s.undoCaption, "&Rückgängig: Nicht möglich");
  MakeCopyForUndo(e.w(), "Eingabe");
  s = e.rules();
  EXPECT_TRUE(s.isEnabled(EditUndo));
  EXPECT_FALSE(s.isEnabled(EditRedo));
  EXPECT_EQ(s.undoCaption, "&Rückgängig: Eingabe");
  EXPECT_EQ(s.redoCaption, "&Wiederholen: Nicht möglich");
  RestoreCopyFromUndo(e.w(), 0);
  s = e.rules();
  EXPECT_TRUE(s.isEnabled(EditRedo));
  EXPECT_EQ(s.redoCaption.rfind("&Wiederholen: ", 0), 0u);
  EXPECT_NE(s.redoCaption, "&Wiederholen: Nicht möglich");
}

TEST(MenuEnabling, InsertAndFormatFollowTheCursorField) {
  Enabling e;
  const std::vector<CommandId> textOnly = {
      InsertPageNumber,    InsertDateTime, InsertPageBreak, InsertField,          InsertFormField,
      InsertSpecialChar,   InsertFootnote, InsertPicture,   FormatCharacter,      FormatParagraph,
      FormatBulletsDialog, FormatColumns,  FormatTabs,      FormatManageTemplates};
  const std::vector<CommandId> anyDocument = {
      InsertTextBox,        InsertRectangle,    InsertEllipse,      InsertSlantedLine,
      InsertHorizontalLine, InsertVerticalLine, InsertPictureField, FormatObject};
  // Page body.
  MenuState s = e.rules();
  for (CommandId id : textOnly) EXPECT_TRUE(s.isEnabled(id)) << CommandInfo(id).caption;
  for (CommandId id : anyDocument) EXPECT_TRUE(s.isEnabled(id)) << CommandInfo(id).caption;
  EXPECT_FALSE(s.isEnabled(LinkTextBoxes));
  EXPECT_FALSE(s.isEnabled(ObjectToFront));
  // Text box: text commands, linking and object order.
  e.setFieldType(kFieldTextBox);
  s = e.rules();
  EXPECT_TRUE(s.isEnabled(LinkTextBoxes));
  EXPECT_TRUE(s.isEnabled(ObjectToFront));
  EXPECT_TRUE(s.isEnabled(ObjectToBack));
  EXPECT_TRUE(s.isEnabled(InsertFootnote));
  // A shape: no text commands.
  e.setFieldType(kFieldRectangle);
  s = e.rules();
  for (CommandId id : textOnly) EXPECT_FALSE(s.isEnabled(id)) << CommandInfo(id).caption;
  for (CommandId id : anyDocument) EXPECT_TRUE(s.isEnabled(id)) << CommandInfo(id).caption;
  EXPECT_FALSE(s.isEnabled(LinkTextBoxes));
  EXPECT_TRUE(s.isEnabled(ObjectToBack));
  // What exists in this build is enabled in a page body; what does not, never.
  e.setFieldType(kFieldBody);
  const MenuState applied = EvaluateMenuState(e.in);
  EXPECT_TRUE(applied.isEnabled(InsertPageBreak));
  EXPECT_TRUE(applied.isEnabled(Bullets));
  EXPECT_FALSE(applied.isEnabled(InsertFootnote));
}

TEST(MenuEnabling, PictureFormatNeedsExactlyOneMarkedPicture) {
  Enabling e;
  const CursorPos c = e.doc().Cursor;
  EXPECT_FALSE(e.rules().isEnabled(FormatPicture));
  e.doc().Anchor = CursorPos{c.field, c.line, 1};
  e.doc().Cursor = CursorPos{c.field, c.line, 2};
  EXPECT_FALSE(e.rules().isEnabled(FormatPicture));  // a text cell
  e.doc().fields[c.field].lines[c.line].chars.mut(1).kind = kCharPicture;
  EXPECT_TRUE(e.rules().isEnabled(FormatPicture));
  std::swap(e.doc().Anchor, e.doc().Cursor);  // marked backwards
  EXPECT_TRUE(e.rules().isEnabled(FormatPicture));
  e.doc().Anchor = CursorPos{c.field, c.line, 0};  // two cells
  EXPECT_FALSE(e.rules().isEnabled(FormatPicture));
}

TEST(MenuEnabling, TableMenuFollowsTheCursorLine) {
  Enabling e;
  const std::vector<CommandId> inTable = {
      TableInsertRows,  TableAppendRow,        TableInsertColumns, TableAppendColumn,
      TableDeleteCells, TableDeleteRows,       TableDeleteColumns, TableSplit,
      TableCellFormat,  TableDistributeColumns};
  MenuState s = e.rules();
  EXPECT_TRUE(s.isEnabled(TableInsert));
  for (CommandId id : inTable) EXPECT_FALSE(s.isEnabled(id)) << CommandInfo(id).caption;
  e.doc().fields[e.doc().Cursor.field].lines[e.doc().Cursor.line].inTable = 1;
  s = e.rules();
  EXPECT_FALSE(s.isEnabled(TableInsert));
  for (CommandId id : inTable) EXPECT_TRUE(s.isEnabled(id)) << CommandInfo(id).caption;
  e.setFieldType(kFieldEllipse);
  s = e.rules();
  for (CommandId id : inTable) EXPECT_FALSE(s.isEnabled(id)) << CommandInfo(id).caption;
  EXPECT_FALSE(s.isEnabled(TableInsert));
}

TEST(MenuEnabling, ViewChecksFollowTheSettingsAndTheDocument) {
  Enabling e;
  e.settings.statusBarVisible = false;
  e.settings.toolbarVisible[2] = false;
  e.settings.showAllMarks = true;
  e.doc().language = 1;
  e.doc().autoHyphenation = 0;
  e.in.pageViewActive = true;
  MenuState s = e.rules();
  EXPECT_TRUE(s.isEnabled(ViewStatusBar));
  EXPECT_TRUE(s.isChecked(ViewRuler));
  EXPECT_FALSE(s.isChecked(ViewStatusBar));
  EXPECT_TRUE(s.isChecked(ViewToolbarFormat));
  EXPECT_FALSE(s.isChecked(ViewToolbarDrawing));
  EXPECT_TRUE(s.isChecked(ShowMarks));
  EXPECT_TRUE(s.isChecked(FilePageView));
  EXPECT_FALSE(s.isChecked(LanguageGerman));
  EXPECT_TRUE(s.isChecked(LanguageEnglish));
  EXPECT_FALSE(s.isChecked(AutoHyphenation));
  for (MenuId m : {MenuId::Edit, MenuId::View, MenuId::Table}) EXPECT_TRUE(s.isVisible(m));

  EXPECT_EQ(s.currentRecordCaption, "Aktueller Datensatz: Keine Datenbank");
  EXPECT_FALSE(s.isEnabled(DatabaseNext));
  e.in.databaseOpen = true;
  e.in.databaseRecord = 12;
  s = e.rules();
  EXPECT_EQ(s.currentRecordCaption, "Aktueller Datensatz: 12");
  EXPECT_TRUE(s.isEnabled(DatabaseNext));
  EXPECT_FALSE(s.isEnabled(DatabaseCurrentRecord));
}

TEST(MenuEnabling, CommandsWithoutOperationAreNeverEnabled) {
  Enabling e;
  e.in.clipboard.text = true;
  e.doc().fields[e.doc().Cursor.field].lines[e.doc().Cursor.line].inTable = 1;
  e.in.active = e.window.get();
  const MenuState s = EvaluateMenuState(e.in);
  int enabled = 0;
  for (const Command& c : AllCommands()) {
    if (!c.implemented) {
      EXPECT_FALSE(s.isEnabled(c.id)) << c.caption << c.hint;
    }
    enabled += s.isEnabled(c.id);
  }
  EXPECT_GT(enabled, 20);
}

TEST(DocumentCommands, LanguageHyphenationPageBreakAndSelectAll) {
  test::Fixture f;
  test::TypeText(f.w(), "Hallo");
  SetFileChanged(f.w(), false);
  ASSERT_TRUE(RunDocumentCommand(f.w(), LanguageEnglish));
  EXPECT_EQ(f.doc().language, 1);
  EXPECT_EQ(f.doc().modified, 1);
  ASSERT_TRUE(RunDocumentCommand(f.w(), LanguageGerman));
  EXPECT_EQ(f.doc().language, 0);
  ASSERT_TRUE(RunDocumentCommand(f.w(), AutoHyphenation));
  EXPECT_EQ(f.doc().autoHyphenation, 0);
  ASSERT_TRUE(RunDocumentCommand(f.w(), AutoHyphenation));
  EXPECT_EQ(f.doc().autoHyphenation, 1);

  const CursorPos c = f.doc().Cursor;
  ASSERT_TRUE(RunDocumentCommand(f.w(), InsertPageBreak));
  EXPECT_EQ(f.doc().fields[c.field].lines[c.line].endKind, kEndPageBreak);
  EXPECT_NE(f.doc().Cursor, c);

  ASSERT_TRUE(RunDocumentCommand(f.w(), EditSelectAll));
  EXPECT_NE(f.doc().Anchor, f.doc().Cursor);
  ASSERT_TRUE(RunDocumentCommand(f.w(), EditDeleteMarking));
  EXPECT_EQ(f.doc().Anchor, f.doc().Cursor);
  ASSERT_TRUE(RunDocumentCommand(f.w(), EditUndo));
  EXPECT_NE(f.doc().Anchor, f.doc().Cursor);  // the marking is back

  EXPECT_FALSE(RunDocumentCommand(f.w(), FileSave));
  EXPECT_FALSE(RunDocumentCommand(f.w(), EditCut));
}

}  // namespace
}  // namespace paginor
