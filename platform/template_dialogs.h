// The dialogs of templates, text columns and special characters as data: the engine fills them
// (editing/templates.h, editing/columns_dialog.h, editing/special_character.h), the platform
// shows them and writes the answer back.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace paginor {

// The name dialog of a template: one edit field "Name:". Its OK button is enabled only while the
// field is not empty. Creating a template proposes a name in it; renaming shows the old one.
struct TemplateNameDialog : Dialog {
  const char* title() const override { return caption.c_str(); }

  std::string caption = "Formatvorlage umbenennen";
  std::string name;  // "Name:", UTF-8; in: the proposal, out: the entered name
};

// "Formatvorlagen verwalten": the template names with "&Anwenden", "&Umbenennen", "&Löschen" and
// a close button. Renaming and deleting act on the document at once through the engine's
// handlers, which also bring `names` up to date; run() is true when "&Anwenden" closed it.
struct TemplateManagerDialog : Dialog {
  const char* title() const override { return "Formatvorlagen verwalten"; }

  std::vector<std::string> names;  // UTF-8, in list order
  int selected = 0;                // the selected entry (-1: none); out: at "&Anwenden"
  // "&Umbenennen": opens the name dialog for entry i; true when it was renamed.
  std::function<bool(int i)> rename;
  // "&Löschen": removes entry i at once.
  std::function<void(int i)> remove;
};

// "Spalten": text columns of the paragraphs at the Cursor or in the marking.
struct ColumnsDialog : Dialog {
  const char* title() const override { return "Spalten"; }

  int count = 1;        // "Anzahl der Spalten:" (1 to 10)
  double gapCm = 1.25;  // "Abstand zwischen den Spalten:" in cm (0 to 10, steps of 0.1)
  bool lines = false;   // "Linien zwischen den Spalten"
};

// "Sonderzeichen": a grid of 16 × 14 characters (32 to 255) in the chosen font, the label
// "Zeichen: <code>" and a preview at 72 points. A double click in the grid is "OK".
struct SpecialCharacterDialog : Dialog {
  const char* title() const override { return "Sonderzeichen"; }

  std::string faceName;  // UTF-8
  int code = 32;         // Windows-1252, 32 to 255
};

}  // namespace paginor
