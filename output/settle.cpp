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
  return SettlePages(w);  // every page
}

}  // namespace paginor
