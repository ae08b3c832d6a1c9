// What the editor asks of the window around it beyond the platform's Ui: the undo and redo
// buttons and menu items, the one-shot repaint timer and keeping the caret in view. Each
// document window has its own (TMDIChild::host): the desktop program's document window
// implements it; the command-line program has none, and its requests go nowhere.
#pragma once

#include <string>

namespace paginor {

// The state of the undo and redo buttons and of the two Edit menu items. Texts are UTF-8.
struct UndoButtons {
  bool undoEnabled = false;
  bool redoEnabled = false;
  std::string undoHint = "Rückgängig: Nicht möglich";
  std::string redoHint = "Wiederholen: Nicht möglich";
  std::string undoMenu = "&Rückgängig: Nicht möglich";
  std::string redoMenu = "&Wiederholen: Nicht möglich";
  friend bool operator==(const UndoButtons&, const UndoButtons&) = default;
};

class EditorHost {
 public:
  virtual ~EditorHost() = default;
  // The undo and redo buttons, their hints and the Edit menu captions follow the undo list.
  virtual void setUndoButtons(const UndoButtons& state) = 0;
  // (Re)starts the one-shot repaint timer: several requests before it fires give one paint,
  // which first scrolls the caret into view where the layout then puts it.
  virtual void restartRepaintTimer() = 0;
  // Keeps the caret visible vertically, at the place the layout gives the Cursor now.
  virtual void scrollCursorIntoView() = 0;
};

}  // namespace paginor
