#include "editing/menu_state.h"

#include <cstdlib>

#include "editing/key_actions.h"
#include "editing/marking.h"
#include "editing/undo.h"
#include "model/position.h"
#include "window/app_settings.h"
#include "window/document_window.h"

namespace paginor {

namespace {

using enum CommandId;

// What the rules ask of the active window.
struct ActiveFacts {
  bool document = false;
  int32_t fieldType = -1;  // of the Cursor's field; -1 when the Cursor stands nowhere
  bool inTable = false;
  bool markingOrObject = false;
  bool onePictureMarked = false;
};

// Exactly one cell is marked and it is a picture.
bool onePictureMarked(const Document& d) {
  const CursorPos& a = d.Anchor;
  const CursorPos& c = d.Cursor;
  if (a.field != c.field || a.line != c.line || std::abs(a.chr - c.chr) != 1) return false;
  if (!ValidPosition(d, a) || !ValidPosition(d, c)) return false;
  const LineRec& line = LineOf(d, c);
  return line.chars[std::min(a.chr, c.chr)].kind == kCharPicture;
}

ActiveFacts factsOf(TMDIChild* w) {
  ActiveFacts f;
  if (w == nullptr) return f;
  f.document = true;
  Document& d = w->doc;
  if (ValidLine(d, d.Cursor.field, d.Cursor.line)) {
    f.fieldType = d.fields[d.Cursor.field].type;
    f.inTable = LineOf(d, d.Cursor).inTable != 0;
  }
  f.markingOrObject = AnyObjectSelected(d) || (ValidPosition(d, d.Cursor) &&
                                               ValidPosition(d, d.Anchor) && isThereAmarking(*w));
  f.onePictureMarked = onePictureMarked(d);
  return f;
}

void setAll(MenuState& s, std::initializer_list<CommandId> ids, bool on) {
  for (CommandId id : ids) s.enabled[static_cast<size_t>(id)] = on;
}

void check(MenuState& s, CommandId id, bool on) {
  s.checked[static_cast<size_t>(id)] = on;
}

void fileAndEditRules(MenuState& s, const MenuInput& in, const ActiveFacts& f) {
  setAll(s, {FileNew, FileOpen, FileExit, HelpContents, HelpInfo, Options}, true);
  setAll(s,
         {FilePageSetup, FilePageView, FileSaveAs, FilePdfExport, FilePrint, FilePrintFast,
          FileProperties, FileScanPicture, FileChooseScanner, FileClose},
         f.document);
  if (f.document) {
    const Document& d = in.active->doc;
    setAll(s, {FileSave}, d.filePath.empty() || d.modified != 0);
  }
  setAll(s, {EditCut, EditCopy}, f.document && f.markingOrObject);
  const bool clip = in.clipboard.privateFormat || in.clipboard.text || in.clipboard.bitmap;
  setAll(s, {EditPaste, EditPasteSpecial}, f.document && clip);
  // The Edit menu's other items act on the document through the key handler or dialogs.
  setAll(s, {EditDeleteMarking, EditSelectAll, EditFind, EditReplace, EditGoTo}, f.document);

  if (f.document) {
    const UndoButtons u = UndoButtonState(*in.active);
    setAll(s, {EditUndo}, u.undoEnabled);
    setAll(s, {EditRedo}, u.redoEnabled);
    s.undoCaption = u.undoMenu;
    s.redoCaption = u.redoMenu;
  } else {
    const UndoButtons none;
    s.undoCaption = none.undoMenu;
    s.redoCaption = none.redoMenu;
  }
}

void insertFormatTableRules(MenuState& s, const ActiveFacts& f) {
  const bool textField = f.document && f.fieldType >= 0 && f.fieldType < kFieldRectangle;
  setAll(s,
         {InsertTextBox, InsertRectangle, InsertEllipse, InsertSlantedLine, InsertHorizontalLine,
          InsertVerticalLine, InsertPictureField},
         f.document);
  setAll(s, {LinkTextBoxes}, f.document && f.fieldType == kFieldTextBox);
  setAll(s, {ObjectToFront, ObjectToBack}, f.document && f.fieldType > kFieldFooter);
  setAll(s,
         {InsertPageNumber, InsertDateTime, InsertPageBreak, InsertField, InsertFormField,
          InsertSpecialChar, InsertFootnote, InsertPicture},
         textField);

  setAll(s, {FormatObject}, f.document);
  setAll(s,
         {FormatCharacter, FormatParagraph, FormatBulletsDialog, FormatColumns, FormatTabs,
          FormatNewParagraphTemplate, FormatNewCharacterTemplate, FormatManageTemplates},
         textField);
  setAll(s, {FormatPicture}, f.document && f.onePictureMarked);

  setAll(s, {TableInsert}, textField && !f.inTable);
  setAll(s,
         {TableInsertRows, TableAppendRow, TableInsertColumns, TableAppendColumn, TableDeleteCells,
          TableDeleteRows, TableDeleteColumns, TableSplit, TableCellFormat, TableDistributeColumns,
          TableGridLines},
         textField && f.inTable);

  // The format toolbar follows the format commands; the drawing toolbar the shapes.
  setAll(s,
         {TemplateBox, FontBox, SizeBox, Bold, Italic, Underline, AlignLeft, AlignCenter,
          AlignRight, AlignJustify, Numbering, Bullets, TextColour, TextBackColour,
          LineSpacingSingle, LineSpacingOneHalf, LineSpacingDouble},
         textField);
  setAll(s, {FillColour, LineColour, LineWidth}, f.document);
}

void viewToolsRules(MenuState& s, const MenuInput& in, const ActiveFacts& f) {
  static const AppSettings kDefaults;
  const AppSettings& st = in.settings ? *in.settings : kDefaults;
  setAll(s,
         {ViewRuler, ViewStatusBar, ViewToolbarStandard, ViewToolbarFormat, ViewToolbarDrawing,
          ViewToolbarFormatExtended, ViewPageWidth, ViewWholePage, ViewZoom100, ViewZoomDialog,
          ZoomBox},
         f.document);
  check(s, ViewRuler, st.rulerVisible);
  check(s, ViewStatusBar, st.statusBarVisible);
  check(s, ViewToolbarStandard, st.toolbarVisible[0]);
  check(s, ViewToolbarFormat, st.toolbarVisible[1]);
  check(s, ViewToolbarDrawing, st.toolbarVisible[2]);
  check(s, ViewToolbarFormatExtended, st.toolbarVisible[3]);
  // The non-printable characters button is an application switch, usable without a document.
  setAll(s, {ShowMarks}, true);
  check(s, ShowMarks, st.showAllMarks);
  check(s, FilePageView, f.document && in.pageViewActive);
  check(s, SpellWhileTyping, st.spellWhileTyping);
  check(s, TableGridLines, in.gridLines);

  setAll(
      s,
      {SpellWholeDocument, SpellFromCursor, SpellUserDictionary, SpellWhileTyping, LanguageGerman,
       LanguageEnglish, AutoHyphenation, WordCount, FormDialog, SpellIgnoreWord, SpellLearnWord},
      f.document);
  if (f.document) {
    const Document& d = in.active->doc;
    check(s, LanguageGerman, d.language == 0);
    check(s, LanguageEnglish, d.language != 0);
    check(s, AutoHyphenation, d.autoHyphenation != 0);
  }

  setAll(s,
         {WindowCascade, WindowTileHorizontal, WindowTileVertical, WindowMinimizeAll,
          WindowArrangeIcons},
         f.document);
  setAll(s, {DatabaseChoose, DatabaseEdit, DatabaseUnbind}, true);
  setAll(s, {DatabasePrevious, DatabaseNext, DatabaseFirst, DatabaseLast}, in.databaseOpen);
  s.currentRecordCaption = in.databaseOpen
                               ? "Aktueller Datensatz: " + std::to_string(in.databaseRecord)
                               : std::string("Aktueller Datensatz: Keine Datenbank");
}

}  // namespace

MenuState EvaluateMenuRules(const MenuInput& input) {
  MenuState s;
  const ActiveFacts f = factsOf(input.active);
  fileAndEditRules(s, input, f);
  insertFormatTableRules(s, f);
  viewToolsRules(s, input, f);
  // The information line of the database menu is never a command.
  s.enabled[static_cast<size_t>(DatabaseCurrentRecord)] = false;
  for (const Menu& m : MenuBar())
    s.menuVisible[static_cast<size_t>(m.id)] = !m.needsDocument || f.document;
  return s;
}

MenuState EvaluateMenuState(const MenuInput& input) {
  MenuState s = EvaluateMenuRules(input);
  for (const Command& c : AllCommands())
    if (!c.implemented) s.enabled[static_cast<size_t>(c.id)] = false;
  return s;
}

}  // namespace paginor
