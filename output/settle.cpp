#include "output/settle.h"

#include "layout/layout.h"
#include "view/draw_pages.h"
#include "window/document_window.h"

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
  if (w.settledAt == w.changeCount) return {.passes = 0, .converged = true, .changes = {}};
  SettleResult settled = SettlePages(w);  // every page
  if (settled.converged) w.settledAt = w.changeCount;
  return settled;
}

}  // namespace paginor
