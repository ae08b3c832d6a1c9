#include "fields/field_update.h"
#include "layout/layout.h"
#include "layout/spelling_marks.h"
#include "layout/stages.h"
#include "model/primitives.h"
#include "window/document_window.h"

namespace paginor {

LayoutWork::LayoutWork(LayoutContext& context)
    : ctx(context), d(context.doc), tracked(context.doc), wordCheck(context.wordCheck) {
  InitPageSize(*this);
}

LayoutContext LayoutContextOf(TMDIChild& w) {
  return LayoutContext{w.doc,
                       {w.app.fonts(), w.measure.resolution},
                       {w.measure.pageWidthPx, w.measure.pageHeightPx},
                       w.app.platform().screenDpi,
                       Hyphenator{w.hyphenTable, &w.hyphenCache},
                       SpellingWordCheck(w)};
}

void MakeSoftEnters(TMDIChild& w) {
  FelderAktuallisieren(w);
  LayoutContext context = LayoutContextOf(w);
  MakeSoftEnters(context);
  ++w.changeCount;
}

// The layout pass. Only dirty lines are broken again; the pages are flowed anew every time.
void MakeSoftEnters(LayoutContext& context) {
  Document& d = context.doc;
  const bool emptySelection = d.Cursor == d.Anchor;
  LayoutWork work(context);  // the measuring font starts as the CurrentFormat's

  GatherChains(work);

  // Fields are never added or removed while lines are broken, so indexes stay valid.
  for (int32_t i = 0; i < d.fieldCount(); ++i) {
    if (d.fields[i].type > kFieldTextBox) continue;
    const double textWidth = TextWidth(work, d.fields[i]);
    FieldLines lines = JoinLines(work, i);
    if (work.wordCheck) MarkFieldSpelling(lines, work.wordCheck);
    BreakFieldLines(work, i, lines, textWidth);
    d.fields[i].lines = lines.release();
  }
  work.listCounters.clear();

  FlowPages(work);
  CleanUpFields(work);

  if (emptySelection) d.Anchor = d.Cursor;
  ClearAllDirtyFlags(d);
}

}  // namespace paginor
