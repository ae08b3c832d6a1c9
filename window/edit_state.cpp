#include "window/edit_state.h"

#include "window/document_window.h"

namespace paginor {

namespace {

class SilentHost : public EditorHost {
 public:
  void setUndoButtons(const UndoButtons&) override {}
  void restartRepaintTimer() override {}
  void scrollCursorIntoView() override {}
};

}  // namespace

EditState& EditingOf(TMDIChild& w) { return w.edit; }

EditOptions& EditOptionsOf(Application& app) { return app.editOptions; }

EditorHost& HostOf(TMDIChild& w) {
  static SilentHost silent;
  return w.host ? *w.host : silent;
}

void EndTypingRun(TMDIChild& w) {
  EditingOf(w).runActive = false;
}

bool RunActive(TMDIChild& w, RunKind kind) {
  const EditState& e = EditingOf(w);
  return e.runActive && e.runKind == kind;
}

void StartRun(TMDIChild& w, RunKind kind) {
  EditState& e = EditingOf(w);
  e.runActive = true;
  e.runKind = kind;
}

}  // namespace paginor
