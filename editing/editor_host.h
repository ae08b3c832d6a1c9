// What the editor asks of the window around it beyond the platform's Ui: the undo and redo
// buttons and menu items, the one-shot repaint timer, scrolling the view, and the ruler while it
// is dragged. The desktop program implements it on its main and document windows; the recording
// host below serves the command-line program and the tests.
#pragma once

#include <string>
#include <vector>

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
  // after which the caret is scrolled into view.
  virtual void restartRepaintTimer() = 0;
  // Scrolls the view vertically so that the caret is visible.
  virtual void scrollCursorIntoView() = 0;
  // Scrolls the view by a number of screen pixels (negative: up).
  virtual void scrollViewBy(int pixels) = 0;
  // A key arrived while the ruler is dragged; Esc (27) finishes the drag.
  virtual void rulerKey(int virtualKey) { (void)virtualKey; }
};

// Records every request; `fireRepaintTimer` stands for the timer firing.
class RecordingEditorHost : public EditorHost {
 public:
  void setUndoButtons(const UndoButtons& state) override {
    undo = state;
    ++undoUpdates;
  }
  void restartRepaintTimer() override {
    repaintPending = true;
    ++timerRestarts;
  }
  void scrollCursorIntoView() override { ++cursorScrolls; }
  void scrollViewBy(int pixels) override { viewScrolls.push_back(pixels); }
  void rulerKey(int virtualKey) override { rulerKeys.push_back(virtualKey); }

  // The timer fires: one paint for any number of restarts since the last one.
  void fireRepaintTimer() {
    if (!repaintPending) return;
    repaintPending = false;
    ++paints;
  }

  UndoButtons undo;
  int undoUpdates = 0;
  bool repaintPending = false;
  int timerRestarts = 0;
  int paints = 0;
  int cursorScrolls = 0;
  std::vector<int> viewScrolls;
  std::vector<int> rulerKeys;
};

}  // namespace paginor
