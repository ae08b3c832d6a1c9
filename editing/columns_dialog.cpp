#include "editing/columns_dialog.h"

#include <algorithm>
#include <cmath>

#include "editing/formatting.h"
#include "window/application.h"
#include "window/document_window.h"

namespace paginor {

ColumnsDialog ColumnsDialogFor(const TMDIChild& w) {
  const AbsatzFormat f = getabsatzformat(w);
  ColumnsDialog d;
  d.count = std::clamp(f.columns, 1, kMaxColumns);
  d.gapCm = std::clamp(f.columnGap / 10.0, 0.0, kMaxColumnGapCm);
  d.lines = f.columnLine != 0;
  return d;
}

void ApplyColumnsDialog(TMDIChild& w, const ColumnsDialog& d) {
  if (d.count <= 0) return;
  AbsatzFormat f = getabsatzformat(w);
  f.columns = std::min(d.count, kMaxColumns);
  // The box shows two decimals (the default is 1,25 cm); its arrows step by 0,1.
  const double gap = std::isfinite(d.gapCm) ? std::clamp(d.gapCm, 0.0, kMaxColumnGapCm) : 1.25;
  f.columnGap = std::round(gap * 100.0) / 10.0;
  f.columnLine = d.lines ? 1 : 0;
  setabsatzformat(w, f, AbsatzSwitches{.undo = true, .columns = true});
  SmallOvertakeFont(w);
}

void spaltenformat(TMDIChild& w) {
  ColumnsDialog d = ColumnsDialogFor(w);
  if (!w.app.dialogs().run(d)) return;
  ApplyColumnsDialog(w, d);
}

}  // namespace paginor
