#include "output/settle.h"

#include "layout/layout.h"
#include "model/document_window.h"
#include "platform/canvas.h"
#include "view/draw_pages.h"

namespace paginor {

namespace {

bool AnyDirty(const Document& d) {
  for (const FieldRec& f : d.fields)
    for (const LineRec& l : f.lines)
      if (l.dirty) return true;
  return false;
}

}  // namespace

SettleResult SettleLayout(TMDIChild& w) {
  if (AnyDirty(w.doc)) MakeSoftEnters(w);
  const int32_t dpi = w.app.platform().screenDpi > 0 ? w.app.platform().screenDpi : 96;
  NullCanvas canvas(w.app.fonts(), dpi);
  ViewState view;  // 100 %, every page, no aids
  SettleResult r;
  while (r.passes < kMaxSettlePasses) {
    ++r.passes;
    if (!DrawPages(w, canvas, false, 0, 0, 0, view).relaidOut) {
      r.converged = true;
      break;
    }
  }
  return r;
}

}  // namespace paginor
