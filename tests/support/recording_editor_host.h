// An editor host for the tests: it records every request, and `fireRepaintTimer` stands for the
// one-shot repaint timer firing.
#pragma once

#include "window/editor_host.h"

namespace paginor::test {

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
};

}  // namespace paginor::test
