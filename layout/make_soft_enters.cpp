#include "fields/field_update.h"
#include "layout/layout.h"
#include "layout/spelling_marks.h"
#include "layout/stages.h"
#include "model/primitives.h"

namespace paginor {

LayoutWork::LayoutWork(TMDIChild& window)
    : w(window), d(window.doc), tracked(window.doc), wordCheck(SpellingWordCheck(window)) {
  InitPageSize(*this);
}

// The layout pass. Only dirty lines are broken again; the pages are flowed anew every time.
void MakeSoftEnters(TMDIChild& w) {
  Document& d = w.doc;
  const bool emptySelection = d.Cursor == d.Anchor;
  LayoutWork work(w);  // the measuring font starts as the CurrentFormat's

  FelderAktuallisieren(w);
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
  ++w.changeCount;
}

}  // namespace paginor
