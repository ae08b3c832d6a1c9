#include "editing/commands.h"

#include <algorithm>
#include <charconv>

#include "editing/character_dialog.h"
#include "editing/format_colours.h"
#include "editing/formatting.h"
#include "editing/keys.h"
#include "editing/list_dialog.h"
#include "editing/list_format.h"
#include "editing/paragraph_dialog.h"
#include "editing/refresh.h"
#include "editing/templates.h"
#include "editing/tab_dialog.h"
#include "editing/undo.h"
#include "layout/hyphenation.h"
#include "model/primitives.h"
#include "window/document_window.h"

namespace paginor {

namespace {

using enum CommandId;
constexpr ToolbarId kNoBar = ToolbarId::None;
constexpr ToolbarId kStd = ToolbarId::Standard;
constexpr ToolbarId kFmt = ToolbarId::Format;
constexpr ToolbarId kDraw = ToolbarId::Drawing;
constexpr ToolbarId kExt = ToolbarId::FormatExtended;
constexpr CommandKind kAct = CommandKind::Action;
constexpr CommandKind kChk = CommandKind::Check;
constexpr CommandKind kRad = CommandKind::Radio;
constexpr CommandKind kBox = CommandKind::ComboBox;
constexpr CommandKind kPal = CommandKind::Palette;
constexpr bool kYes = true;  // the operation exists in this build
constexpr bool kNo = false;

struct Def {
  CommandId id;
  const char* caption;
  const char* shortcut;
  const char* hint;
  ToolbarId toolbar;
  CommandKind kind;
  bool implemented;
  const char* face = "";
  bool dropDown = false;
  bool keyHandler = false;
};

// clang-format off
const Def kDefs[] = {
  // "&Datei"
  {FileNew, "&Neu", "Ctrl+N", "Neu", kStd, kAct, kYes},
  {FileOpen, "Ö&ffnen", "Ctrl+O", "Öffnen", kStd, kAct, kYes},
  {FileSave, "&Speichern", "Ctrl+S", "Speichern", kStd, kAct, kYes},
  {FileSaveAs, "Speichern &unter...", "", "", kNoBar, kAct, kYes},
  {FilePdfExport, "PDF-Export...", "", "PDF-Export", kStd, kAct, kYes},
  {FilePageSetup, "Seite ein&richten...", "", "", kNoBar, kAct, kYes},
  {FilePageView, "Seitenansic&ht", "", "Seitenansicht ein-/ausschalten", kStd, kChk, kYes},
  {FilePrint, "&Drucken...", "Ctrl+P", "", kNoBar, kAct, kYes},
  {FilePrintFast, "", "", "Drucken", kStd, kAct, kYes},
  {FileScanPicture, "Bild scannen (TWAIN)...", "", "", kNoBar, kAct, kNo},
  {FileChooseScanner, "Scanner wählen (TWAIN)...", "", "", kNoBar, kAct, kNo},
  {FileProperties, "&Eigenschaften...", "", "", kNoBar, kAct, kNo},
  {FileClose, "S&chließen", "", "", kNoBar, kAct, kYes},
  {FileExit, "&Beenden", "Alt+F4", "", kNoBar, kAct, kYes},
  // "&Bearbeiten"
  {EditUndo, "&Rückgängig", "Ctrl+Z", "Rückgängig", kStd, kAct, kYes, "", true, true},
  {EditRedo, "&Wiederholen", "Ctrl+Y", "Wiederholen", kStd, kAct, kYes, "", true, true},
  {EditCut, "&Ausschneiden", "Ctrl+X", "Ausschneiden", kStd, kAct, kNo},
  {EditCopy, "&Kopieren", "Ctrl+C", "Kopieren", kStd, kAct, kNo},
  {EditPaste, "&Einfügen", "Ctrl+V", "Einfügen", kStd, kAct, kNo},
  {EditPasteSpecial, "&Inhalte einfügen...", "", "", kNoBar, kAct, kNo},
  {EditDeleteMarking, "Markierung &löschen", "Del", "", kNoBar, kAct, kYes, "", false, true},
  {EditSelectAll, "&Alles markieren", "Ctrl+A", "", kNoBar, kAct, kYes, "", false, true},
  {EditFind, "&Suchen...", "Ctrl+F", "", kNoBar, kAct, kNo},
  {EditReplace, "&Ersetzen...", "Ctrl+H", "", kNoBar, kAct, kNo},
  {EditGoTo, "&Gehe zu...", "Ctrl+G", "", kNoBar, kAct, kNo},
  // "&Ansicht"
  {ViewRuler, "&Lineal", "", "", kNoBar, kChk, kYes},
  {ViewStatusBar, "S&tatuszeile", "", "", kNoBar, kChk, kYes},
  {ViewToolbarStandard, "Standartleiste", "", "", kNoBar, kChk, kYes},
  {ViewToolbarFormat, "Formatleiste", "", "", kNoBar, kChk, kYes},
  {ViewToolbarDrawing, "Zeichnenleiste", "", "", kNoBar, kChk, kYes},
  {ViewToolbarFormatExtended, "Format erweitert", "", "", kNoBar, kChk, kYes},
  {ViewPageWidth, "Seiten&breite", "", "", kNoBar, kAct, kYes},
  {ViewWholePage, "&Ganze Seite", "", "", kNoBar, kAct, kYes},
  {ViewZoom100, "Zoom &100%", "", "", kNoBar, kAct, kYes},
  {ViewZoomDialog, "&Zoom...", "", "", kNoBar, kAct, kYes},
  // "&Einfügen"
  {InsertPageBreak, "Manueller &Umbruch", "", "", kNoBar, kAct, kYes},
  {InsertPageNumber, "Seiten&zahl", "", "", kNoBar, kAct, kNo},
  {InsertDateTime, "&Datum und Uhrzeit...", "", "", kNoBar, kAct, kNo},
  {InsertField, "F&eld...", "", "", kNoBar, kAct, kNo},
  {InsertFormField, "F&ormularfeld...", "", "", kNoBar, kAct, kNo},
  {InsertSpecialChar, "&Sonderzeichen...", "", "", kNoBar, kAct, kYes},
  {InsertFootnote, "&Fußnote", "", "", kNoBar, kAct, kNo},
  {InsertPicture, "&Grafik...", "", "", kNoBar, kAct, kNo},
  {InsertTextBox, "Te&xtfeld", "", "Textfeld", kDraw, kAct, kNo},
  {InsertRectangle, "&Rechteck", "", "Rechteck", kDraw, kAct, kNo},
  {InsertEllipse, "Elli&pse", "", "Ellipse", kDraw, kAct, kNo},
  {InsertSlantedLine, "Schräge &Linie", "", "Schräge Linie", kDraw, kAct, kNo},
  {InsertHorizontalLine, "H&orizontale Linie", "", "Horizontale Linie", kDraw, kAct, kNo},
  {InsertVerticalLine, "V&ertikale Linie", "", "Vertikale Linie", kDraw, kAct, kNo},
  {InsertPictureField, "Gr&afikfeld...", "", "Grafikfeld einfügen...", kDraw, kAct, kNo},
  {ObjectToFront, "Objekt nach v&orne", "", "", kNoBar, kAct, kNo},
  {ObjectToBack, "Objekt nach h&inten", "", "", kNoBar, kAct, kNo},
  {LinkTextBoxes, "Textfeld &verknüpfen...", "", "", kNoBar, kAct, kNo},
  // "Forma&t"
  {FormatCharacter, "&Zeichen...", "", "", kNoBar, kAct, kYes},
  {FormatParagraph, "&Absatz...", "", "", kNoBar, kAct, kYes},
  {FormatBulletsDialog, "&Nummerierung und Aufzählungen....", "", "", kNoBar, kAct, kYes},
  {FormatColumns, "&Spalten...", "", "", kNoBar, kAct, kYes},
  {FormatTabs, "&Tabulator...", "", "", kNoBar, kAct, kYes},
  {FormatNewParagraphTemplate, "Neue &Absatzvorlage...", "", "", kNoBar, kAct, kYes},
  {FormatNewCharacterTemplate, "Neue &Zeichenvorlage", "", "", kNoBar, kAct, kYes},
  {FormatManageTemplates, "&Vorlagen verwalten...", "", "", kNoBar, kAct, kYes},
  {FormatObject, "&Feld/Seite/Objekt...", "", "", kNoBar, kAct, kNo},
  {FormatPicture, "&Grafik...", "", "", kNoBar, kAct, kNo},
  // "E&xtras"
  {SpellWholeDocument, "&Gesamtes Dokument...", "F7", "", kNoBar, kAct, kNo},
  {SpellFromCursor, "Ab &Schreibmarke...", "", "", kNoBar, kAct, kNo},
  {SpellUserDictionary, "&Benutzerwörterbuch...", "", "", kNoBar, kAct, kNo},
  {SpellWhileTyping, "Beim &Eingeben überprüfen ", "", "", kNoBar, kChk, kNo},
  {LanguageGerman, "&Deutsch", "", "", kNoBar, kRad, kYes},
  {LanguageEnglish, "&Englisch", "", "", kNoBar, kRad, kYes},
  {AutoHyphenation, "&Automatische Silbentrennung", "", "", kNoBar, kChk, kYes},
  {WordCount, "&Wörter zählen...", "", "", kNoBar, kAct, kNo},
  {FormDialog, "&Formulardialog...", "", "", kNoBar, kAct, kNo},
  {Options, "&Optionen...", "", "", kNoBar, kAct, kNo},
  // "Tabe&lle"
  {TableInsert, "&Tabelle einfügen...", "", "", kNoBar, kAct, kNo},
  {TableInsertRows, "Zeilen e&infügen...", "", "", kNoBar, kAct, kNo},
  {TableAppendRow, "Zeile &anhängen", "", "", kNoBar, kAct, kNo},
  {TableInsertColumns, "Spalten ein&fügen...", "", "", kNoBar, kAct, kNo},
  {TableAppendColumn, "Spalte a&nhängen", "", "", kNoBar, kAct, kNo},
  {TableDeleteCells, "Zellen &löschen", "", "", kNoBar, kAct, kNo},
  {TableDeleteRows, "Zeilen lösc&hen", "", "", kNoBar, kAct, kNo},
  {TableDeleteColumns, "Spalten lö&schen", "", "", kNoBar, kAct, kNo},
  {TableSplit, "Tabelle &teilen", "", "", kNoBar, kAct, kNo},
  {TableCellFormat, "Zellen &formatieren...", "", "", kNoBar, kAct, kNo},
  {TableDistributeColumns, "Spalten gleichmäßig &verteilen", "", "", kNoBar, kAct, kNo},
  {TableGridLines, "&Gitternetzlinien", "", "", kNoBar, kChk, kNo},
  // "&Datenbank"
  {DatabaseChoose, "Datenbank &wählen...", "", "", kNoBar, kAct, kNo},
  {DatabaseEdit, "Datenbank &bearbeiten...", "", "", kNoBar, kAct, kNo},
  {DatabaseUnbind, "&Zuordnung aufheben", "", "", kNoBar, kAct, kNo},
  {DatabasePrevious, "&Vorheriger Datensatz", "Ctrl+Alt+V", "", kNoBar, kAct, kNo},
  {DatabaseNext, "&Nächster Datensatz", "Ctrl+Alt+N", "", kNoBar, kAct, kNo},
  {DatabaseFirst, "&Erster Datensatz", "Ctrl+Alt+E", "", kNoBar, kAct, kNo},
  {DatabaseLast, "&Letzter Datensatz", "Ctrl+Alt+L", "", kNoBar, kAct, kNo},
  {DatabaseCurrentRecord, "Aktueller Datensatz:", "", "", kNoBar, CommandKind::Info, kNo},
  // "&Fenster"
  {WindowCascade, "Ü&berlappend", "", "Überlappend", kStd, kAct, kYes},
  {WindowTileHorizontal, "Hori&zontal anordnen", "", "Horizontal anordnen", kStd, kAct, kYes},
  {WindowTileVertical, "&Vertikal anordnen", "", "", kNoBar, kAct, kYes},
  {WindowMinimizeAll, "&Alle verkleinern", "", "", kNoBar, kAct, kYes},
  {WindowArrangeIcons, "Alle an&ordnen", "", "", kNoBar, kAct, kYes},
  // "&Hilfe" ("&Inhalt" opens the manual in the desktop's browser)
  {HelpContents, "&Inhalt", "", "", kNoBar, kAct, kYes},
  {HelpInfo, "&Info...", "", "", kNoBar, kAct, kYes},
  // Toolbar only
  {ShowMarks, "", "", "Nicht druckbare Zeichen anzeigen", kStd, kChk, kYes},
  {ZoomBox, "", "", "Zoom", kStd, kBox, kYes},
  {TemplateBox, "", "", "Formatvorlage", kFmt, kBox, kYes},
  {FontBox, "", "", "Schriftart", kFmt, kBox, kYes},
  {SizeBox, "", "", "Schriftgrad", kFmt, kBox, kYes},
  {Bold, "", "Ctrl+Shift+F", "Fett", kFmt, kChk, kYes, "F", false, true},
  {Italic, "", "Ctrl+Shift+K", "Kursiv", kFmt, kChk, kYes, "K", false, true},
  {Underline, "", "Ctrl+Shift+U", "Unterstrichen", kFmt, kChk, kYes, "U", false, true},
  {AlignLeft, "", "Ctrl+L", "Linksbündig", kFmt, kRad, kYes, "", false, true},
  {AlignCenter, "", "Ctrl+E", "Zentriert", kFmt, kRad, kYes, "", false, true},
  {AlignRight, "", "Ctrl+R", "Rechtsbündig", kFmt, kRad, kYes, "", false, true},
  {AlignJustify, "", "Ctrl+B", "Blocksatz", kFmt, kRad, kYes, "", false, true},
  {Numbering, "", "", "Nummerierung", kFmt, kChk, kYes},
  {Bullets, "", "", "Aufzählungszeichen", kFmt, kChk, kYes},
  {TextColour, "", "", "Textfarbe", kFmt, kPal, kYes},
  {TextBackColour, "", "", "Hintergrundfarbe", kFmt, kPal, kYes},
  {LineSpacingSingle, "", "", "Einfacher Zeilenabstand", kExt, kAct, kYes},
  {LineSpacingOneHalf, "", "", "1,5 Zeilenabstand", kExt, kAct, kYes},
  {LineSpacingDouble, "", "", "Doppelter Zeilenabstand", kExt, kAct, kYes},
  {FillColour, "", "", "Füllfarbe", kDraw, kPal, kNo},
  {LineColour, "", "", "Linienfarbe", kDraw, kPal, kNo},
  {LineWidth, "", "", "Linienstärke", kDraw, kPal, kNo},
  // Context menu only
  {SpellIgnoreWord, "Wort ignorieren", "", "", kNoBar, kAct, kNo},
  {SpellLearnWord, "Wort lernen", "", "", kNoBar, kAct, kNo},
};
// clang-format on

std::vector<Command> buildCommands() {
  std::vector<Command> all(static_cast<size_t>(kCommandCount));
  for (size_t i = 0; i < all.size(); ++i) all[i].id = static_cast<CommandId>(i);
  for (const Def& d : kDefs) {
    Command& c = all[static_cast<size_t>(d.id)];
    c.caption = d.caption;
    c.shortcut = d.shortcut;
    c.hint = d.hint;
    c.buttonText = d.face;
    c.toolbar = d.toolbar;
    c.kind = d.kind;
    c.dropDown = d.dropDown;
    c.shortcutInKeyHandler = d.keyHandler;
    c.implemented = d.implemented;
  }
  return all;
}

MenuEntry item(CommandId id) {
  return MenuEntry{MenuEntry::Kind::Item, id, "", {}};
}
MenuEntry sep() {
  return MenuEntry{MenuEntry::Kind::Separator, None, "", {}};
}
MenuEntry sub(const char* caption, std::vector<MenuEntry> children) {
  return MenuEntry{MenuEntry::Kind::Submenu, None, caption, std::move(children)};
}

std::vector<Menu> buildMenuBar() {
  std::vector<Menu> m;
  m.push_back({MenuId::File,
               "&Datei",
               {item(FileNew), item(FileOpen), item(FileSave), item(FileSaveAs),
                item(FilePdfExport), sep(), item(FilePageSetup), item(FilePageView),
                item(FilePrint), sep(), item(FileScanPicture), item(FileChooseScanner), sep(),
                item(FileProperties), sep(), item(FileClose), item(FileExit)},
               false});
  m.push_back({MenuId::Edit,
               "&Bearbeiten",
               {item(EditUndo), item(EditRedo), sep(), item(EditCut), item(EditCopy),
                item(EditPaste), item(EditPasteSpecial), item(EditDeleteMarking), sep(),
                item(EditSelectAll), sep(), item(EditFind), item(EditReplace), item(EditGoTo)},
               true});
  m.push_back(
      {MenuId::View,
       "&Ansicht",
       {item(ViewRuler), item(ViewStatusBar),
        sub("&Symbolleisten", {item(ViewToolbarStandard), item(ViewToolbarFormat),
                               item(ViewToolbarDrawing), item(ViewToolbarFormatExtended)}),
        sep(), item(ViewPageWidth), item(ViewWholePage), item(ViewZoom100), item(ViewZoomDialog)},
       true});
  m.push_back({MenuId::Insert,
               "&Einfügen",
               {item(InsertPageBreak),
                sep(),
                item(InsertPageNumber),
                item(InsertDateTime),
                item(InsertField),
                item(InsertFormField),
                item(InsertFootnote),
                item(InsertSpecialChar),
                sep(),
                item(InsertPicture),
                sep(),
                item(InsertTextBox),
                item(InsertRectangle),
                item(InsertEllipse),
                item(InsertSlantedLine),
                item(InsertHorizontalLine),
                item(InsertVerticalLine),
                item(InsertPictureField),
                sep(),
                item(ObjectToFront),
                item(ObjectToBack),
                item(LinkTextBoxes)},
               true});
  m.push_back(
      {MenuId::Format,
       "Forma&t",
       {item(FormatCharacter), item(FormatParagraph), item(FormatBulletsDialog),
        item(FormatColumns), item(FormatTabs),
        sub("Format&vorlagen", {item(FormatNewParagraphTemplate), item(FormatNewCharacterTemplate),
                                sep(), item(FormatManageTemplates)}),
        sep(), item(FormatObject), item(FormatPicture)},
       true});
  m.push_back(
      {MenuId::Tools,
       "E&xtras",
       {item(SpellWholeDocument), item(SpellFromCursor), item(SpellUserDictionary),
        item(SpellWhileTyping), sep(), item(LanguageGerman), item(LanguageEnglish),
        item(AutoHyphenation), sep(), item(WordCount), item(FormDialog), sep(), item(Options)},
       true});
  m.push_back({MenuId::Table,
               "Tabe&lle",
               {item(TableInsert), sep(), item(TableInsertRows), item(TableAppendRow),
                item(TableInsertColumns), item(TableAppendColumn), sep(), item(TableDeleteCells),
                item(TableDeleteRows), item(TableDeleteColumns), sep(), item(TableSplit),
                item(TableCellFormat), item(TableDistributeColumns), sep(), item(TableGridLines)},
               true});
  m.push_back({MenuId::Database,
               "&Datenbank",
               {item(DatabaseChoose), item(DatabaseEdit), item(DatabaseUnbind), sep(),
                item(DatabasePrevious), item(DatabaseNext), item(DatabaseFirst), item(DatabaseLast),
                sep(), item(DatabaseCurrentRecord)},
               false});
  m.push_back({MenuId::Window,
               "&Fenster",
               {item(WindowCascade), item(WindowTileHorizontal), item(WindowTileVertical),
                item(WindowMinimizeAll), item(WindowArrangeIcons)},
               false});
  m.push_back({MenuId::Help, "&Hilfe", {item(HelpContents), item(HelpInfo)}, false});
  return m;
}

std::vector<MenuEntry> buildContextMenu() {
  return {item(EditCut),
          item(EditCopy),
          item(EditPaste),
          item(EditDeleteMarking),
          sep(),
          item(FormatCharacter),
          item(FormatParagraph),
          item(FormatBulletsDialog),
          sep(),
          item(FormatObject),
          item(FormatPicture),
          item(ObjectToFront),
          item(ObjectToBack),
          item(LinkTextBoxes),
          sep(),
          item(TableCellFormat),
          item(TableInsertRows),
          item(TableInsertColumns),
          item(TableDeleteCells),
          item(TableDeleteRows),
          item(TableDeleteColumns)};
}

std::vector<Toolbar> buildToolbars() {
  // The window buttons close the standard bar, after the zoom box: a window too narrow for the
  // whole bar puts them into its overflow menu and keeps the zoom box in view.
  return {
      {ToolbarId::Standard,
       "Standartleiste",
       {FileNew,
        FileOpen,
        FileSave,
        FilePdfExport,
        None,
        FilePrintFast,
        FilePageView,
        None,
        EditCut,
        EditCopy,
        EditPaste,
        None,
        EditUndo,
        EditRedo,
        None,
        ShowMarks,
        ZoomBox,
        None,
        WindowCascade,
        WindowTileHorizontal}},
      {ToolbarId::Format,
       "Formatleiste",
       {TemplateBox, FontBox, SizeBox, None, Bold, Italic, Underline, None, AlignLeft, AlignCenter,
        AlignRight, AlignJustify, None, Numbering, Bullets, None, TextColour, TextBackColour}},
      {ToolbarId::Drawing,
       "Zeichnenleiste",
       {InsertTextBox, InsertRectangle, InsertEllipse, InsertSlantedLine, InsertHorizontalLine,
        InsertVerticalLine, InsertPictureField, None, FillColour, LineColour, LineWidth}},
      {ToolbarId::FormatExtended,
       "Format erweitert",
       {LineSpacingSingle, LineSpacingOneHalf, LineSpacingDouble}},
  };
}

bool findIn(const std::vector<MenuEntry>& entries, std::string_view caption,
            const Command*& found) {
  for (const MenuEntry& e : entries) {
    if (e.kind == MenuEntry::Kind::Submenu) {
      if (findIn(e.children, caption, found)) return true;
    } else if (e.kind == MenuEntry::Kind::Item && CommandInfo(e.id).caption == caption) {
      found = &CommandInfo(e.id);
      return true;
    }
  }
  return false;
}

}  // namespace

const std::vector<Command>& AllCommands() {
  static const std::vector<Command> all = buildCommands();
  return all;
}

const Command& CommandInfo(CommandId id) {
  const auto& all = AllCommands();
  const auto i = static_cast<size_t>(id);
  return i < all.size() ? all[i] : all[0];
}

const Command* FindCommandByCaption(std::string_view caption) {
  if (caption.empty()) return nullptr;
  const Command* found = nullptr;
  for (const Menu& m : MenuBar())
    if (findIn(m.entries, caption, found)) return found;
  if (findIn(ContextMenu(), caption, found)) return found;
  return nullptr;
}

const std::vector<Menu>& MenuBar() {
  static const std::vector<Menu> bar = buildMenuBar();
  return bar;
}

const std::vector<MenuEntry>& ContextMenu() {
  static const std::vector<MenuEntry> menu = buildContextMenu();
  return menu;
}

std::vector<MenuEntry> ContextMenuWithSuggestions(const std::vector<std::string>& suggestions) {
  std::vector<MenuEntry> menu;
  const size_t n = std::min<size_t>(suggestions.size(), 5);
  // The best suggestion stands directly above the separator, so the list runs backwards.
  for (size_t i = n; i-- > 0;)
    menu.push_back(MenuEntry{MenuEntry::Kind::Item, None, suggestions[i].c_str(), {}});
  menu.push_back(sep());
  menu.push_back(item(SpellIgnoreWord));
  menu.push_back(item(SpellLearnWord));
  menu.push_back(sep());
  const auto& fixed = ContextMenu();
  menu.insert(menu.end(), fixed.begin(), fixed.end());
  return menu;
}

const std::vector<Toolbar>& Toolbars() {
  static const std::vector<Toolbar> bars = buildToolbars();
  return bars;
}

const std::vector<const char*>& ZoomBoxEntries() {
  static const std::vector<const char*> entries = {
      "250%", "200%", "150%", "100%", "75%", "50%", "25%", "10%", "Seitenbreite", "Ganze Seite"};
  return entries;
}

std::optional<double> ZoomStep(double percent, bool larger) {
  std::vector<double> steps;
  for (const char* e : ZoomBoxEntries()) {
    const std::string_view text(e);
    if (text.empty() || text.back() != '%') continue;
    double value = 0;
    if (std::from_chars(text.data(), text.data() + text.size() - 1, value).ec == std::errc())
      steps.push_back(value);
  }
  std::sort(steps.begin(), steps.end());
  // A fitted zoom between two steps goes to the neighbour in the direction asked.
  if (larger) {
    for (double s : steps)
      if (s > percent + 0.005) return s;
  } else {
    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
      if (*it < percent - 0.005) return *it;
  }
  return std::nullopt;
}

CommandId EditShortcutCommand(int virtualKey, uint8_t modifiers) {
  if (!(modifiers & kCtrl) || (modifiers & kAlt)) return None;
  const bool shift = modifiers & kShift;
  if (virtualKey == 'Z') return shift ? EditRedo : EditUndo;
  if (virtualKey == 'Y' && !shift) return EditRedo;
  return None;
}

void SetDocumentLanguage(TMDIChild& w, int32_t language) {
  const int32_t value = language == 0 ? 0 : 1;
  if (w.doc.language == value) return;
  w.doc.language = value;
  FreeHyphenData(w);
  if (const Result hyphenation = OpenHyphenData(w); hyphenation.warning())
    w.app.message(hyphenation.warning()->message, hyphenation.warning()->icon);
  SetAllDirtyFlags(w.doc);
  SetFileChanged(w, true);
  CompleteRefresh(w);
}

void ToggleAutoHyphenation(TMDIChild& w) {
  w.doc.autoHyphenation = w.doc.autoHyphenation ? 0 : 1;
  SetAllDirtyFlags(w.doc);
  SetFileChanged(w, true);
  CompleteRefresh(w);
}

bool RunDocumentCommand(TMDIChild& w, CommandId id) {
  if (RunTemplateCommand(w, id)) return true;
  switch (id) {
    case EditUndo:
      RestoreCopyFromUndo(w, 0);
      return true;
    case EditRedo:
      RestoreBeforeRestoreCopyFromUndo(w, 0);
      return true;
    case EditDeleteMarking:
      getkeysKeyDown(w, vk::kDelete, kNoModifier);
      return true;
    case EditSelectAll:
      getkeysKeyDown(w, 'A', kCtrl);
      return true;
    case InsertPageBreak:
      getkeysKeyDown(w, vk::kReturn, kCtrl);
      return true;
    case Bold:
      ToggleBold(w);
      return true;
    case Italic:
      ToggleItalic(w);
      return true;
    case Underline:
      ToggleUnderline(w);
      return true;
    case AlignLeft:
      formatleft(w);
      return true;
    case AlignCenter:
      formatcenter(w);
      return true;
    case AlignRight:
      formatright(w);
      return true;
    case AlignJustify:
      formatblock(w);
      return true;
    case LineSpacingSingle:
      ZeilenAbstandEinfach(w);
      return true;
    case LineSpacingOneHalf:
      ZeilenAbstandEinEinhalbfach(w);
      return true;
    case LineSpacingDouble:
      ZeilenAbstandZweifach(w);
      return true;
    case Bullets:
      aufzaehlung(w, 1);
      return true;
    case Numbering:
      aufzaehlung(w, 2);
      return true;
    // The format dialogs and the colour buttons.
    case FormatCharacter:
      zeichenformatieren(w);
      return true;
    case FormatParagraph:
      absatzformatieren(w);
      return true;
    case FormatTabs:
      tabulator(w);
      return true;
    case FormatBulletsDialog:
      NummerierungundAufzaehlungen(w);
      return true;
    case TextColour:
      ChooseTextColour(w);
      return true;
    case TextBackColour:
      ChooseBackColour(w);
      return true;
    case LanguageGerman:
      SetDocumentLanguage(w, 0);
      return true;
    case LanguageEnglish:
      SetDocumentLanguage(w, 1);
      return true;
    case AutoHyphenation:
      ToggleAutoHyphenation(w);
      return true;
    default:
      return false;
  }
}

}  // namespace paginor
