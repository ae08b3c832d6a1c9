#include "editing/refresh.h"

#include "editing/edit_state.h"
#include "layout/layout.h"
#include "model/document_window.h"
#include "model/primitives.h"

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
