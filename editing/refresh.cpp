#include "editing/refresh.h"

#include "layout/layout.h"
#include "model/primitives.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

void RefreshDirtyContent(TMDIChild& w) {
  MakeSoftEnters(w);
  EditorHost& host = HostOf(w);
  host.restartRepaintTimer();
  host.scrollCursorIntoView();
}

void CompleteRefresh(TMDIChild& w) {
  SetAllDirtyFlags(w.doc);
  RefreshDirtyContent(w);
}

void RefreshContent(TMDIChild& w) {
  SetAllDirtyFlags(w.doc);
  MakeSoftEnters(w);
  HostOf(w).restartRepaintTimer();
}

}  // namespace paginor
