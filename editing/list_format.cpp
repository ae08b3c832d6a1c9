#include "editing/list_format.h"

#include "editing/marking.h"
#include "editing/refresh.h"
#include "editing/undo.h"
#include "model/position.h"
#include "model/queries.h"
#include "window/document_window.h"
#include "window/edit_state.h"

namespace paginor {

namespace {

// The first line of the paragraph holding p's line, walking up inside the same table cell.
// A page break ends the paragraph above it; a line break never does.
CursorPos paragraphStart(const Document& d, CursorPos p) {
  for (int32_t guard = LineLimit(d); guard > 0; --guard) {
    const LineRec& cur = LineOf(d, p);
    if (cur.rowStart) break;
    int32_t f = p.field, l = p.line;
    if (!StepLines(d, f, l, -RowStep(cur))) break;
    const LineRec& prev = LineOf(d, f, l);
    if (prev.endKind == kEndParagraph || prev.endKind == kEndPageBreak) break;
    if (prev.rowEnd && !cur.inTable) break;
    p.field = f;
    p.line = l;
  }
  return p;
}

// Writes the format into every line of the paragraph holding p's line.
void writeParagraph(Document& d, CursorPos p, const ParagraphFormat& format) {
  p = paragraphStart(d, p);
  for (int32_t guard = LineLimit(d); guard > 0; --guard) {
    LineRec& line = LineOf(d, p);
    line.para = format;  // its own copies of the tab stops and the bullet font
    line.dirty = 1;
    if (line.endKind == kEndParagraph || line.rowEnd) return;
    int32_t f = p.field, l = p.line;
    if (!StepLines(d, f, l, RowStep(line))) return;
    if (LineOf(d, f, l).rowStart && !line.inTable) return;
    p.field = f;
    p.line = l;
  }
}

}  // namespace

void aufzaehlung(TMDIChild& w, int32_t kind) {
  Document& d = w.doc;
  if (!ValidPosition(d, d.Cursor)) return;
  ParagraphFormat format = LineOf(d, d.Cursor).para;
  if (kind == kListNone) {
    format.listKind = kListNone;
  } else {
    format.listKind = format.listKind == kind ? uint8_t{kListNone} : static_cast<uint8_t>(kind);
    format.bulletChar = 159;
  }
  MakeCopyForUndo(w, "Absatzformat");
  if (isThereAmarking(w)) {
    FindMarkingStart(w);
    EditState& e = EditingOf(w);
    writeParagraph(d, e.MarkStart, format);
    while (getnextmarkedline(w)) writeParagraph(d, e.MarkStart, format);
  } else {
    writeParagraph(d, d.Cursor, format);
  }
  RefreshDirtyContent(w);
  SmallOvertakeFont(w);
}

}  // namespace paginor
