#include "editing/list_format.h"

#include "editing/formatting.h"
#include "model/position.h"
#include "window/document_window.h"

namespace paginor {

void aufzaehlung(TMDIChild& w, int32_t kind) {
  if (!ValidPosition(w.doc, w.doc.Cursor)) return;
  AbsatzFormat format = getabsatzformat(w);
  ParagraphFormat& p = format.para;
  if (kind == kListNone) {
    p.listKind = kListNone;
  } else {
    p.listKind = p.listKind == kind ? uint8_t{kListNone} : static_cast<uint8_t>(kind);
    p.bulletChar = 159;
  }
  setabsatzformat(w, format);
  SmallOvertakeFont(w);
}

}  // namespace paginor
