#include "editing/special_character.h"

#include <string>

#include "editing/keys.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "layout/measure.h"
#include "model/position.h"
#include "model/queries.h"
#include "platform/cp1252.h"
#include "window/application.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

std::string SpecialCharacterLabel(int code) {
  return "Zeichen: " + std::to_string(code);
}

SpecialCharacterDialog SpecialCharacterDialogFor(const TMDIChild& w) {
  SpecialCharacterDialog d;
  d.faceName = cp1252ToUtf8(w.doc.CurrentFormat.curFontName);
  d.code = kFirstSpecialCode;
  return d;
}

void ApplySpecialCharacterDialog(TMDIChild& w, const SpecialCharacterDialog& d) {
  Document& doc = w.doc;
  if (d.code < kFirstSpecialCode || d.code > kLastSpecialCode) return;
  if (!ValidPosition(doc, doc.Cursor)) return;
  // Where the key handler would type nothing, no undo step may be left behind.
  const FieldRec& field = doc.fields[doc.Cursor.field];
  if (field.type > kFieldTextBox || (field.type == kFieldTextBox && field.selected)) return;

  // The step is taken before the face changes, so undo also brings the old format back; the
  // character is a step of its own, not part of the typing before or after it.
  EndTypingRun(w);
  MakeCopyForUndo(w, "Eingabe");
  StartRun(w, RunKind::Typing);
  EditingOf(w).swallowDel = false;  // 127 is a character here, not Ctrl+Backspace's echo
  if (!d.faceName.empty()) doc.CurrentFormat.curFontName = utf8ToCp1252(d.faceName);
  doc.CurrentFormat.curCharset = 1;
  const bool overwrite = EditOptionsOf(w.app).OverwriteMode;
  getkeysKeyPress(w, static_cast<uint8_t>(d.code));
  EndTypingRun(w);
  // Overwriting keeps the old cell and its font; a symbol is only the chosen character in the
  // chosen face, so that cell takes the face and the character set.
  if (overwrite && !d.faceName.empty() && doc.Cursor.chr > 0) {
    CharRec& cell = LineOf(doc, doc.Cursor).chars.mut(doc.Cursor.chr - 1);
    if (cell.fontIndex >= 0 && cell.fontIndex < doc.fontCount()) {
      FontRec font = doc.fonts[cell.fontIndex];
      font.name = doc.CurrentFormat.curFontName;
      font.charset = 1;
      cell.fontIndex = GetNewFontIndex(doc, font);
      RenderChar(w, cell, /*forceSuperscript*/ false, CellText(cell));
      LineOf(doc, doc.Cursor).dirty = 1;
      RefreshDirtyContent(w);
    }
  }
  OvertakeFont(w);
}

void SonderzeichenEinfuegen(TMDIChild& w) {
  SpecialCharacterDialog d = SpecialCharacterDialogFor(w);
  if (!w.app.dialogs().run(d)) return;
  ApplySpecialCharacterDialog(w, d);
}

}  // namespace paginor
