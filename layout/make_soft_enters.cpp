#include "layout/layout.h"

#include "model/document_window.h"
#include "model/primitives.h"

namespace paginor {

// The driver of the pass. Its stages (field update, gathering, breaking, page flow, footnotes,
// clean-up) join here as they are built; until then a pass leaves the breaks as they are and only
// settles the selection and the dirty flags.
void MakeSoftEnters(TMDIChild& w) {
  Document& d = w.doc;
  const bool emptySelection = d.Cursor == d.Anchor;
  if (emptySelection) d.Anchor = d.Cursor;
  ClearAllDirtyFlags(d);
}

}  // namespace paginor
